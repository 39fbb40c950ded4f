#include "ui/GameScreenRules.h"

#include <cstdlib>

#include "engine/Nation.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"

std::string FormatThousands(double Value) {
  const std::int64_t Whole = RoundHalfEven(Value);
  std::string Digits = IntToStr(Whole < 0 ? -Whole : Whole);
  std::string Out;
  const std::size_t Lead = Digits.size() % 3 == 0 ? 3 : Digits.size() % 3;
  Out.append(Digits, 0, Lead);
  for (std::size_t I = Lead; I < Digits.size(); I += 3) {
    Out += ',';
    Out.append(Digits, I, 3);
  }
  return Whole < 0 ? "-" + Out : Out;
}

TStatusBarTexts StatusBarTexts(const TNation& Nation) {
  return {" " + FormatThousands(Nation.GetTotalResources()), " " + IntToStr(Nation.GetWorldDomination()) + "%"};
}

TDiplomacyGlyphChange DiplomacyGlyphChange(int ActionsLeft, int ShownTag) {
  TDiplomacyGlyphChange Change;
  if (ActionsLeft == ShownTag) return Change;
  Change.Tag = ActionsLeft;
  if (ActionsLeft >= 0 && ActionsLeft <= 3) Change.Picture = ActionsLeft;
  return Change;
}

TVictoryLine VictoryLine(const std::string& Line) {
  if (!Line.empty() && Line[0] == '*') return {true, Line.substr(1)};
  return {false, Line};
}
