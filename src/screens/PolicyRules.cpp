#include "screens/PolicyRules.h"

#include <algorithm>

#include "engine/Nation.h"
#include "foundation/NumberText.h"
#include "screens/ForcesRules.h"

std::string RelationLineText(const TNation& Current, const TNation& Other) {
  return "[" + IntToStr(Current.GetRelation(&Other)) + "] (" + Current.RelationText(&Other) + ")";
}

TRelationColor RelationColor(std::int32_t Relation, const std::string& Word, bool Selected) {
  if (Selected) return rcWhite;
  if (Relation >= 1 || Word == "Allied") return rcGreen;
  if (Relation < 0) return rcRed;
  return Word == "War" ? rcRed : rcFontColor;
}

bool DeclareWarOffered(const TNation* Current, const TNation* Chosen) {
  if (!Current || !Chosen || Chosen == Current || !Current->GetAttackWithoutWar()) return false;
  const std::int32_t Relation = Current->GetRelation(Chosen);
  return Relation != 100 && Relation != -100;
}

std::optional<std::string> DeclareWarRefusal(const TNation* Current, const TNation* Chosen) {
  if (!Chosen) return std::string(SelectNationFirst);
  const std::int32_t Relation = Current ? Current->GetRelation(Chosen) : 0;
  if (Relation == 100) return std::string("You cannot Declare War on an Allied Nation");
  if (Relation == -100) return std::string("You are already at war with this Nation");
  return std::nullopt;
}

std::string DeclareWarQuestion(const TNation& Chosen) { return "Declare War on " + Chosen.GetName() + "?"; }

std::string ResearchProgressText(std::int32_t Progress, std::int32_t Cost) {
  if (Cost == 0) return "N/A";
  const std::int64_t Percent = static_cast<std::int64_t>(Progress) * 100 / Cost;
  return IntToStr(std::min<std::int64_t>(Percent, 100)) + "%";
}

bool IsCompletingResearchGroup(std::int32_t Group) { return Group == 3 || Group == 6 || Group == 7; }

bool IsUpgradeResearchGroup(std::int32_t Group) { return Group >= 0 && Group < ResearchGroupCount && !IsCompletingResearchGroup(Group); }

std::string OrdinalSuffix(std::int32_t N) {
  // The teens of every hundred read "th": 11th, 112th.
  if (N % 100 >= 10 && N % 100 <= 19) return "th";
  switch (N % 10) {
    case 1: return "st";
    case 2: return "nd";
    case 3: return "rd";
    default: return "th";
  }
}

std::string UpgradeText(std::int32_t Level) {
  const std::int32_t N = Level + 1;
  return IntToStr(N) + OrdinalSuffix(N) + " Upgrade";
}

std::string ResearchSpendingText(std::int32_t Total, const std::array<std::int32_t, ResearchGroupCount>& Groups) {
  std::string Text = IntToStr(Total) + "#";
  for (const std::int32_t G : Groups) Text += IntToStr(G) + "#";
  return Text;
}

std::string FormationText(const std::array<std::optional<std::int32_t>, UnitTypeCount>& Weights) {
  std::string Text;
  for (const auto& W : Weights) Text += (W ? IntToStr(*W) : std::string("-")) + "#";
  return Text;
}

bool JetFormationShown(const TNation& Nation) { return ResearchComplete(Nation, 6); }
