#include "engine/GameRecords.h"

#include <cmath>
#include <cstdlib>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/SavedFields.h"
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
  TFieldReader(const std::string& Text, char Delim) : FValues(Text, Delim) {}
  std::string Text(const char* Name) {
    FValues.BeginField(Name);
    return std::string(FValues.Next());
  }
  // An integer within Min..Max; an empty field reads as 0.
  std::int32_t Int(const char* Name, TValueRange Range) {
    FValues.BeginField(Name);
    return SavedValue::Int(FValues, Range);
  }
  bool Bool(const char* Name) {
    FValues.BeginField(Name);
    return FValues.NextFlag();
  }
  float Float(const char* Name) {
    FValues.BeginField(Name);
    return SavedValue::Float(FValues);
  }
  EBrenmoorEngine Error(const std::string& What) const { return FValues.Error(What); }

private:
  TSavedValues FValues;
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

// An integer field of a saved record, within Min..Max.
template <class TRecord, class M>
typename TSavedFields<TRecord>::TField SavedInt(const char* Name, M TRecord::*Member, TValueRange Range) {
  return TSavedFields<TRecord>::Field(
      Name, [Member](const TRecord& R) { return IntToStr(static_cast<std::int64_t>(R.*Member)); },
      [Member, Range](TRecord& R, TSavedValues& V) { R.*Member = static_cast<M>(SavedValue::Int(V, Range)); });
}

// A field of a saved record naming a nation or a zone by its index (-1 none).
template <class TRecord, class TObject>
typename TSavedFields<TRecord>::TField SavedIndexOf(const char* Name, TObject* TRecord::*Member) {
  return TSavedFields<TRecord>::Field(
      Name, [Member](const TRecord& R) { return SavedValue::IndexOf(R.*Member); },
      [Member, Name](TRecord& R, TSavedValues& V) {
        if constexpr (std::is_same_v<TObject, TNation>)
          R.*Member = NationByIndex(R.GetEngine(), SavedValue::Int(V, FieldRange::Index), Name);
        else
          R.*Member = ZoneByIndex(R.GetEngine(), SavedValue::Int(V, FieldRange::Index), Name);
      });
}

// A storm's saved field: 10 values, each followed by "%".
const TSavedFields<TStorm>& StormFields() {
  using S = TStorm;
  static const TSavedFields<TStorm> Table('%', {
    SavedInt("Height", &S::Height, FieldRange::MapSize),
    SavedInt("Lifetime", &S::Lifetime, FieldRange::Impulses),
    SavedInt("X", &S::X, FieldRange::MapPlace),
    SavedInt("Y", &S::Y, FieldRange::MapPlace),
    SavedInt("StormType", &S::StormType, {stSnow, stRain}),
    SavedInt("Width", &S::Width, FieldRange::MapSize),
    SavedInt("chance down", &S::ChanceDown, FieldRange::Chance),
    SavedInt("chance left", &S::ChanceLeft, FieldRange::Chance),
    SavedInt("chance right", &S::ChanceRight, FieldRange::Chance),
    SavedInt("chance up", &S::ChanceUp, FieldRange::Chance),
  });
  return Table;
}

// A routing's saved field: 3 values, each followed by "~".
const TSavedFields<TRouting>& RoutingFields() {
  using R = TRouting;
  static const TSavedFields<TRouting> Table('~', {
    SavedIndexOf("from-zone", &R::FromZone),
    SavedInt("amount", &R::Amount, FieldRange::Amount),
    SavedIndexOf("to-zone", &R::ToZone),
  });
  return Table;
}

// An active event's saved field: 15 values, each followed by "#".
const TSavedFields<TActiveEvent>& ActiveEventFields() {
  using A = TActiveEvent;
  using F = TSavedFields<TActiveEvent>;
  static const F Table('#', {
    SavedInt("NationFilter", &A::NationFilter, {0, 255}),
    SavedInt("area alliance", &A::AreaAlliance, FieldRange::AllianceKey),
    SavedInt("filter alliance", &A::FilterAlliance, FieldRange::AllianceKey),
    SavedIndexOf("area nation", &A::AreaNation),
    SavedIndexOf("filter nation", &A::FilterNation),
    SavedIndexOf("area zone", &A::AreaZone),
    SavedInt("Effect", &A::Effect, {0, 255}),
    SavedInt("AreaKind", &A::AreaKind, {0, 255}),
    SavedInt("Duration", &A::Duration, FieldRange::Impulses),
    F::Field("Kinds", [](const A& E) { return KindSetToText(E.Kinds); }, [](A& E, TSavedValues& V) { E.Kinds = TextToKindSet(std::string(V.Next())); }),
    F::Field("Factor", [](const A& E) { return SingleToStr(E.Factor); }, [](A& E, TSavedValues& V) { E.Factor = SavedValue::Float(V, FieldRange::Factor); }),
    F::Field("Area left", [](const A& E) { return IntToStr(E.Area.Left); }, [](A& E, TSavedValues& V) { E.Area.Left = SavedValue::Int(V, FieldRange::MapPlace); }),
    F::Field("Area top", [](const A& E) { return IntToStr(E.Area.Top); }, [](A& E, TSavedValues& V) { E.Area.Top = SavedValue::Int(V, FieldRange::MapPlace); }),
    F::Field("Area right", [](const A& E) { return IntToStr(E.Area.Right); }, [](A& E, TSavedValues& V) { E.Area.Right = SavedValue::Int(V, FieldRange::MapPlace); }),
    F::Field("Area bottom", [](const A& E) { return IntToStr(E.Area.Bottom); },
             [](A& E, TSavedValues& V) { E.Area.Bottom = SavedValue::Int(V, FieldRange::MapPlace); }),
  });
  return Table;
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

std::string TStorm::SaveToString() const { return StormFields().Write(*this); }

void TStorm::LoadFromString(std::string_view Text) {
  try {
    StormFields().Read(*this, Text);
  } catch (const EBrenmoorEngine& E) {
    throw EBrenmoorEngine(std::string("Storm: ") + E.what());
  }
}

// --- TRouting ---

std::string TRouting::SaveToString() const { return RoutingFields().Write(*this); }

void TRouting::LoadFromString(std::string_view Text) {
  try {
    RoutingFields().Read(*this, Text);
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

std::string TActiveEvent::SaveToString() const { return ActiveEventFields().Write(*this); }

void TActiveEvent::LoadFromString(std::string_view Text) {
  try {
    ActiveEventFields().Read(*this, Text);
  } catch (const EBrenmoorEngine& E) {
    throw EBrenmoorEngine(std::string("Active event: ") + E.what());
  }
}

// --- TRandomEvent ---

void TRandomEvent::ReadScenarioRecord(const std::string& Line) {
  TFieldReader R(Line, '~');
  NationFilter = static_cast<std::uint8_t>(R.Int("NationFilter", {0, 2}));
  Kinds = TextToKindSet(R.Text("Kinds"));
  History = R.Text("History");
  AreaKind = static_cast<std::uint8_t>(R.Int("AreaKind", {0, 5}));
  Effect = static_cast<std::uint8_t>(R.Int("Effect", {0, 255}));
  Duration = R.Int("Duration", FieldRange::Impulses);
  Percent = R.Int("Percent", FieldRange::Percent);
  R.Text("unused");
  TriggerName = R.Text("TriggerName");
  Picture = R.Text("Picture");
  FilterName = R.Text("FilterName");
  AreaValue = R.Text("AreaValue");
  if (AreaKind == eaRectangle) {
    TRect Area;
    if (!ReadRectangle(AreaValue, Area)) throw R.Error("the rectangle '" + AreaValue + "' is not four integers left,top,right,bottom");
    for (const std::int32_t Side : {Area.Left, Area.Top, Area.Right, Area.Bottom})
      if (!FieldRange::MapPlace.Holds(Side))
        throw R.Error("the rectangle '" + AreaValue + "' has a side outside " + IntToStr(FieldRange::MapPlace.Min) + ".." +
                      IntToStr(FieldRange::MapPlace.Max));
  }
  Title = R.Text("Title");
  Trigger = R.Int("Trigger", {0, 3});
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
  Kind = static_cast<std::uint8_t>(R.Int("Kind", {0, 4}));
  Subject = R.Text("Subject");
  Target = R.Int("Target", FieldRange::VictoryTarget);
}

std::string TVictoryCondition::GetDescription() const {
  std::string S = Winner + ":";
  switch (Kind) {
    case 0:
    case 1: S += Subject != Winner ? Subject + " must Achieve" : "Achieve"; break;
    case 2:
    case 3: S += "Reduce " + Subject + " to"; break;
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
      for (std::uint16_t& Count : Counts) Count = static_cast<std::uint16_t>(C.Int("count", {0, 65535}));
    } catch (const EBrenmoorEngine& E) {
      throw R.Error(E.what());
    }
  }
  ArrivalImpulse = R.Int("ArrivalImpulse", FieldRange::Impulse);
  NationIndex = R.Int("nation", FieldRange::Index);
  ZoneName = R.Text("zone");
}

TBrenmoorZone* TReinforcement::GetZone() const { return FEngine->FindZoneByName(ZoneName); }
