#include "engine/GameRecords.h"

#include <cmath>
#include <cstdlib>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/DateUtils.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "foundation/StringUtils.h"

namespace {

// Reads the fields of a record one by one, counting them, so that a value that cannot be used
// is refused with its number and name ("field 6 (Duration): ...").
class TFieldReader {
public:
  TFieldReader(const std::string& Text, char Delim) : FReader(Text), FDelim(Delim) {}
  std::string Text(const char* Name) {
    Begin(Name);
    return std::string(FReader.Next(FDelim));
  }
  // An integer within Min..Max; an empty field reads as 0.
  std::int32_t Int(const char* Name, std::int64_t Min = INT32_MIN, std::int64_t Max = INT32_MAX) {
    Begin(Name);
    const std::string_view T = FReader.Next(FDelim);
    if (T.empty() && Min <= 0 && Max >= 0) return 0;
    const auto V = TryStrToInt(T);
    if (!V) throw Error("'" + std::string(T) + "' is not a valid integer value");
    if (*V < Min || *V > Max)
      throw Error("the value " + IntToStr(*V) + " is outside " + IntToStr(Min) + ".." + IntToStr(Max));
    return *V;
  }
  bool Bool(const char* Name) {
    Begin(Name);
    return FReader.Next(FDelim) == "1";
  }
  float Float(const char* Name) {
    Begin(Name);
    const std::string_view T = FReader.Next(FDelim);
    if (!TryStrToFloat(T)) throw Error("'" + std::string(T) + "' is not a valid floating point value");
    const auto V = TryStrToSingle(T);
    if (!V) throw Error("'" + std::string(T) + "' is out of range for a floating point value");
    return *V;
  }
  EBrenmoorEngine Error(const std::string& What) const {
    return EBrenmoorEngine("field " + std::to_string(FNumber) + " (" + FName + "): " + What);
  }

private:
  void Begin(const char* Name) {
    ++FNumber;
    FName = Name;
  }
  TTokenReader FReader;
  char FDelim;
  int FNumber = 0;
  std::string FName;
};

TNation* NationByIndex(const TBrenmoorEngine& Engine, std::int32_t Index, const char* What) {
  if (Index < 0) return nullptr;
  if (Index >= Engine.GetNationCount()) throw EBrenmoorEngine(std::string("the ") + What + " " + IntToStr(Index) + " is no nation");
  return Engine.GetNation(Index);
}

TBrenmoorZone* ZoneByIndex(const TBrenmoorEngine& Engine, std::int32_t Index, const char* What) {
  if (Index < 0) return nullptr;
  if (Index >= Engine.GetZoneCount()) throw EBrenmoorEngine(std::string("the ") + What + " " + IntToStr(Index) + " is no zone");
  return Engine.GetZone(Index);
}

std::int32_t IndexOfNation(const TNation* Nation) { return Nation ? Nation->GetIndex() : -1; }
std::int32_t IndexOfZone(const TBrenmoorZone* Zone) { return Zone ? Zone->GetIndex() : -1; }

// Left, top, right and bottom of a rectangle area: four integers separated by ",".
bool ReadRectangle(const std::string& Text, TRect& Area) {
  std::string Rest = Text;
  std::int32_t* Parts[] = {&Area.Left, &Area.Top, &Area.Right, &Area.Bottom};
  for (int I = 0; I < 4; ++I) {
    const auto V = TryStrToInt(NextToken(Rest, ","));
    if (!V) return false;
    *Parts[I] = *V;
  }
  return Rest.empty();
}

}  // namespace

std::string KindSetToText(TUnitKinds Kinds) {
  std::string S;
  for (int K = 0; K < UnitKindCount; ++K) S += (Kinds >> K) & 1u ? '1' : '0';
  return S;
}

TUnitKinds TextToKindSet(const std::string& Text) {
  TUnitKinds Kinds = 0;
  for (std::size_t K = 0; K < Text.size() && K < static_cast<std::size_t>(UnitKindCount); ++K)
    if (Text[K] == '1') Kinds = static_cast<TUnitKinds>(Kinds | (1u << K));
  return Kinds;
}

// --- TStorm ---

std::string TStorm::SaveToString() const {
  return Tokenize("%", Height, Lifetime, X, Y, StormType, Width, ChanceDown, ChanceLeft, ChanceRight, ChanceUp);
}

void TStorm::LoadFromString(const std::string& Text) {
  try {
    TFieldReader R(Text, '%');
    Height = R.Int("Height");
    Lifetime = R.Int("Lifetime");
    X = R.Int("X");
    Y = R.Int("Y");
    StormType = R.Int("StormType", stSnow, stRain);
    Width = R.Int("Width");
    ChanceDown = R.Int("chance down");
    ChanceLeft = R.Int("chance left");
    ChanceRight = R.Int("chance right");
    ChanceUp = R.Int("chance up");
  } catch (const EBrenmoorEngine& E) {
    throw EBrenmoorEngine(std::string("Storm: ") + E.what());
  }
}

// --- TRouting ---

std::string TRouting::SaveToString() const { return Tokenize("~", IndexOfZone(FromZone), Amount, IndexOfZone(ToZone)); }

void TRouting::LoadFromString(const std::string& Text) {
  try {
    TFieldReader R(Text, '~');
    FromZone = ZoneByIndex(*FEngine, R.Int("from-zone"), "from-zone");
    Amount = R.Int("amount");
    ToZone = ZoneByIndex(*FEngine, R.Int("to-zone"), "to-zone");
  } catch (const EBrenmoorEngine& E) {
    throw EBrenmoorEngine(std::string("Routing: ") + E.what());
  }
}

// --- TActiveEvent ---

bool TActiveEvent::Applies(int AEffect, const TNation* Owner, const TBrenmoorZone* Zone, TUnitKind Kind) const {
  if (AEffect != Effect || !(Kinds & KindBit(Kind))) return false;
  switch (NationFilter) {
    case efNation:
      if (!Owner || Owner != FilterNation) return false;
      break;
    case efAlliance:
      if (!Owner || FEngine->IndexOfAlliance(Owner->GetAlliance()) != FilterAlliance) return false;
      break;
    default:
      break;
  }
  switch (AreaKind) {
    case eaZone:
      return Zone && Zone == AreaZone;
    case eaOwnedBy:
      return Zone && AreaNation && Zone->GetOwner() == AreaNation;
    case eaOriginallyOwnedBy:
      return Zone && AreaNation && Zone->GetOriginalOwner() == AreaNation;
    case eaAlliance:
      return Zone && Zone->GetOwner() && FEngine->IndexOfAlliance(Zone->GetOwner()->GetAlliance()) == AreaAlliance;
    case eaRectangle:
      return Zone && Area.Contains(TPoint{Zone->GetCenterX(), Zone->GetCenterY()});
    case eaEverywhere:
      return true;
    default:
      return false;
  }
}

void TActiveEvent::ApplyModifier(int AEffect, double& Value, const TBrenmoorZone* Zone, TUnitKind Kind) const {
  if (Applies(AEffect, Zone ? Zone->GetOwner() : nullptr, Zone, Kind)) Value *= static_cast<double>(Factor);
}

void TActiveEvent::ApplyModifier(int AEffect, double& Value, const TUnit* Unit) const {
  if (Unit && Applies(AEffect, Unit->GetOwner(), Unit->GetZone(), Unit->GetKind())) Value *= static_cast<double>(Factor);
}

std::string TActiveEvent::SaveToString() const {
  std::string S = Tokenize("#", NationFilter, AreaAlliance, FilterAlliance, IndexOfNation(AreaNation), IndexOfNation(FilterNation),
                           IndexOfZone(AreaZone), Effect, AreaKind, Duration, KindSetToText(Kinds));
  S += SingleToStr(Factor) + "#";
  S += Tokenize("#", Area.Left, Area.Top, Area.Right, Area.Bottom);
  return S;
}

void TActiveEvent::LoadFromString(const std::string& Text) {
  try {
    TFieldReader R(Text, '#');
    NationFilter = static_cast<std::uint8_t>(R.Int("NationFilter", 0, 255));
    AreaAlliance = R.Int("area alliance");
    FilterAlliance = R.Int("filter alliance");
    AreaNation = NationByIndex(*FEngine, R.Int("area nation"), "area nation");
    FilterNation = NationByIndex(*FEngine, R.Int("filter nation"), "filter nation");
    AreaZone = ZoneByIndex(*FEngine, R.Int("area zone"), "area zone");
    Effect = static_cast<std::uint8_t>(R.Int("Effect", 0, 255));
    AreaKind = static_cast<std::uint8_t>(R.Int("AreaKind", 0, 255));
    Duration = R.Int("Duration");
    Kinds = TextToKindSet(R.Text("Kinds"));
    Factor = R.Float("Factor");
    Area.Left = R.Int("Area left");
    Area.Top = R.Int("Area top");
    Area.Right = R.Int("Area right");
    Area.Bottom = R.Int("Area bottom");
  } catch (const EBrenmoorEngine& E) {
    throw EBrenmoorEngine(std::string("Active event: ") + E.what());
  }
}

// --- TRandomEvent ---

void TRandomEvent::ReadScenarioRecord(const std::string& Line) {
  TFieldReader R(Line, '~');
  NationFilter = static_cast<std::uint8_t>(R.Int("NationFilter", 0, 2));
  Kinds = TextToKindSet(R.Text("Kinds"));
  History = R.Text("History");
  AreaKind = static_cast<std::uint8_t>(R.Int("AreaKind", 0, 5));
  Effect = static_cast<std::uint8_t>(R.Int("Effect", 0, 255));
  Duration = R.Int("Duration");
  Percent = R.Int("Percent");
  R.Text("unused");
  TriggerName = R.Text("TriggerName");
  Picture = R.Text("Picture");
  FilterName = R.Text("FilterName");
  AreaValue = R.Text("AreaValue");
  if (AreaKind == eaRectangle) {
    TRect Area;
    if (!ReadRectangle(AreaValue, Area)) throw R.Error("the rectangle '" + AreaValue + "' is not four integers left,top,right,bottom");
  }
  Title = R.Text("Title");
  Trigger = R.Int("Trigger", 0, 3);
}

std::unique_ptr<TActiveEvent> TRandomEvent::Execute() const {
  auto Event = std::make_unique<TActiveEvent>(*FEngine);
  Event->NationFilter = NationFilter;
  if (NationFilter == efNation) Event->FilterNation = FEngine->FindNation(FilterName);
  if (NationFilter == efAlliance) Event->FilterAlliance = FEngine->IndexOfAlliance(FilterName);
  Event->Effect = Effect;
  Event->Factor = static_cast<float>(1.0 + Percent / 100.0);
  Event->AreaKind = AreaKind;
  switch (AreaKind) {
    case eaZone:
      Event->AreaZone = FEngine->FindZoneByName(AreaValue);
      break;
    case eaOwnedBy:
    case eaOriginallyOwnedBy:
      Event->AreaNation = FEngine->FindNation(AreaValue);
      break;
    case eaAlliance:
      Event->AreaAlliance = FEngine->IndexOfAlliance(AreaValue);
      break;
    case eaRectangle:
      ReadRectangle(AreaValue, Event->Area);
      break;
    default:
      break;
  }
  Event->Duration = Duration;
  Event->Kinds = Kinds;
  return Event;
}

std::string TRandomEvent::GetDescription() const {
  const std::string P = IntToStr(Percent);
  std::string U;
  if ((Kinds & AllUnitKinds) == AllUnitKinds)
    U = "All Units";
  else if (Kinds & KindBit(ukArmy))
    U = "Land Units";
  else if (Kinds & KindBit(ukAirForce))
    U = "Air Units";
  else
    U = "Sea Units";
  std::string N = " ";
  if (NationFilter == efNation) N = " owned by " + FilterName + " ";
  if (NationFilter == efAlliance) N = " of " + FilterName + " ";
  std::string A;
  switch (AreaKind) {
    case eaZone: A = "in " + AreaValue + " "; break;
    case eaOwnedBy: A = "in Zones Owned by " + AreaValue + " "; break;
    case eaOriginallyOwnedBy: A = "in Zones Originally Owned by " + AreaValue + " "; break;
    case eaAlliance: A = "in Zones Controlled by " + AreaValue + " "; break;
    case eaRectangle: A = "in " + TriggerName + " "; break;
    default: break;
  }
  std::string D;
  if (Duration < 0) D = "permanently";
  if (Duration > 0) D = "for " + IntToStr(RoundHalfEven(Duration * FEngine->GetImpulseRate())) + " days";
  const std::string Plus = Percent > 0 ? "+" : "";
  switch (Effect) {
    case efDestroyUnits: return P + "% of " + U + N + A + " are Destroyed";
    case efOrganization: return Plus + P + "% to Organizational Level of " + U + N + A + D;
    case efCombat: return Plus + P + "% to Combat Level of " + U + N + A + D;
    case efBombingDamage: return Plus + P + "% to Bombing Damage of " + U + N + A + D;
    case efBombardment: return Plus + P + "% to Bombardment Level of " + U + N + A + D;
    case efResources: return Plus + P + " Resources " + A;
    case efUnitCost:
      return std::string(Percent <= 0 ? "+" : "-") + IntToStr(std::llabs(static_cast<long long>(Percent))) + "% to Unit Cost for " + U + N +
             "built " + A + D;
    default: return {};
  }
}

// --- TVictoryCondition ---

void TVictoryCondition::ReadScenarioRecord(const std::string& Line) {
  TFieldReader R(Line, '~');
  Winner = R.Text("Winner");
  WinnerIsNation = R.Bool("WinnerIsNation");
  Kind = static_cast<std::uint8_t>(R.Int("Kind", 0, 4));
  Subject = R.Text("Subject");
  Target = R.Int("Target");
}

std::string TVictoryCondition::GetDescription() const {
  std::string S = Winner + ":";
  switch (Kind) {
    case 0:
    case 1: S += Subject != Winner ? Subject + " must Achieve" : "Achieve"; break;
    case 2:
    case 3: S += "Reduce " + Subject + " to "; break;
    case 4:
      S += Subject != Winner ? Subject + " must Survive until " : "Survive until ";
      S += DateToStr(FEngine->GetDate() + Target * FEngine->GetImpulseRate());
      return S;
    default: break;
  }
  return S + " " + IntToStr(Target) + "% World Domination";
}

// --- TReinforcement ---

void TReinforcement::ReadScenarioRecord(const std::string& Line) {
  TFieldReader R(Line, ',');
  {
    const std::string CountText = R.Text("counts");
    TFieldReader C(CountText, '#');
    try {
      for (std::uint16_t& Count : Counts) Count = static_cast<std::uint16_t>(C.Int("count", 0, 65535));
    } catch (const EBrenmoorEngine& E) {
      throw R.Error(E.what());
    }
  }
  ArrivalImpulse = R.Int("ArrivalImpulse");
  NationIndex = R.Int("nation");
  ZoneName = R.Text("zone");
}

TBrenmoorZone* TReinforcement::GetZone() const { return FEngine->FindZoneByName(ZoneName); }
