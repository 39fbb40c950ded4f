#include "engine/Nation.h"

#include <algorithm>
#include <limits>
#include <mutex>
#include <unordered_map>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/DiplomacyRules.h"
#include "engine/SavedFields.h"
#include "engine/Unit.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "foundation/StringUtils.h"

namespace {

// The palette index of each major power's colour slot.
constexpr std::array<std::uint16_t, 8> ColorSlotIndexes{249, 16, 253, 77, 254, 2, 252, 144};
constexpr std::uint16_t MinorColorIndex = 244;

std::int32_t ParseRelation(std::string_view Text) {
  const std::int32_t Value = StrToInt(Text);
  if (Value < -100 || Value > 100)
    throw EBrenmoorEngine("the relation " + std::to_string(Value) + " is outside -100..100");
  return Value;
}

}  // namespace

std::string TNameValueList::Get(const std::string& Name) const {
  for (const auto& Item : FItems)
    if (Item.first == Name) return Item.second;
  return {};
}

void TNameValueList::Set(const std::string& Name, const std::string& Value) {
  for (auto& Item : FItems)
    if (Item.first == Name) {
      Item.second = Value;
      return;
    }
  FItems.emplace_back(Name, Value);
}

void TNameValueList::Delete(const std::string& Name) {
  std::erase_if(FItems, [&](const auto& Item) { return Item.first == Name; });
}

TNation::TNation(TBrenmoorEngine& Engine, const std::string& Line) : TNation(Engine, Line, Engine.GetScenarioNationCount()) {}

TNation::TNation(TBrenmoorEngine& Engine, const std::string& Line, int NationCount) : FEngine(&Engine) {
  FTypeFactors.fill(1.0f);
  FRelations.assign(static_cast<std::size_t>(std::max(0, NationCount)), 0);
  ReadScenarioRecord(Line);
}

void TNation::ReadScenarioRecord(const std::string& Line) {
  std::string Rest = Line;
  FName = NextToken(Rest, ",");
  SetAlliance(NextToken(Rest, ","));
  FMajorPower = NextTokenBool(Rest, ",");
  FAdjective = NextToken(Rest, ",");
  const std::string Where = "Nation " + FName;
  using SavedValue::NextTokenIn;
  FValue5 = NextTokenIn(Rest, ",", FieldRange::NationNumber, Where, "value 5");
  std::string Relations = NextToken(Rest, ",");
  while (!Relations.empty()) {
    std::string Pair = NextToken(Relations, ";");
    const std::string IndexText = NextToken(Pair, "=");
    const std::int32_t Index = StrToInt(IndexText);
    if (Index < 0 || Index >= static_cast<std::int32_t>(FRelations.size()))
      throw EBrenmoorEngine("the relation index " + std::to_string(Index) + " is not below NationCount " +
                            std::to_string(FRelations.size()));
    FRelations[static_cast<std::size_t>(Index)] = static_cast<std::int8_t>(ParseRelation(Pair));
  }
  FText2 = NextToken(Rest, ",");
  FAttackWithoutWar = NextTokenBool(Rest, ",");
  FCountdown = NextTokenIn(Rest, ",", FieldRange::NationNumber, Where, "countdown");
  FStability = NextTokenIn(Rest, ",", FieldRange::NationNumber, Where, "stability");
  FDiplomaticActionInterval = NextTokenIn(Rest, ",", FieldRange::DiplomaticInterval, Where, "diplomatic action interval");
  std::string Factors = NextToken(Rest, ",");
  for (float& Factor : FTypeFactors)
    Factor = Factors.empty() ? 1.0f : NextTokenIn(Factors, ";", FieldRange::TypeFactor, Where, "type factor");
  const std::int32_t Slot = NextTokenInt(Rest, ",");
  if (Slot < 0 || Slot > 7) throw EBrenmoorEngine("the colour slot " + std::to_string(Slot) + " is outside 0..7");
  FColorSlot = static_cast<std::uint8_t>(Slot);
  FKamakazeAllowed = NextTokenBool(Rest, ",");
  FAIScript = NextToken(Rest, ",");
}

// The nation's saved field: 21 values, each followed by "~".
struct TNation::TSavedRecord {
  using TFields = TSavedFields<TNation>;
  using N = TNation;

  using Member = TMemberFields<TNation>;

  // A "#"-list of 16-bit counts.
  template <std::size_t Size>
  static TFields::TField Counts(const char* Name, std::array<std::uint16_t, Size> N::*Member) {
    return TFields::Field(
        Name, [Member](const N& Nation) { return SavedValue::List(Nation.*Member, [](std::uint16_t C) { return IntToStr(C); }); },
        [Member](N& Nation, TSavedValues& R) { SavedValue::ReadIntList(R, Nation.*Member, FieldRange::Count); });
  }

  static const TFields& Fields() {
    using F = TFields;
    using V = TSavedValues;
    static const TFields Table('~', {
      Counts("unit costs", &N::FUnitCosts),
      // Every relation that is not 0, as index "=" value.
      F::Field("relations",
               [](const N& Nation) {
                 std::string List;
                 for (std::size_t I = 0; I < Nation.FRelations.size(); ++I)
                   if (Nation.FRelations[I] != 0) List += IntToStr(static_cast<std::int64_t>(I)) + "=" + IntToStr(Nation.FRelations[I]) + "#";
                 return List;
               },
               [](N& Nation, V& R) {
                 std::fill(Nation.FRelations.begin(), Nation.FRelations.end(), std::int8_t{0});
                 TTokenReader L(R.Next());
                 while (!L.AtEnd()) {
                   TTokenReader Pair(L.Next('#'));
                   const std::int32_t Index = StrToIntDef(Pair.Next('='), -1);
                   if (Index < 0 || Index >= static_cast<std::int32_t>(Nation.FRelations.size()))
                     throw EBrenmoorEngine("Nation " + Nation.FName + ": the relation index " + std::to_string(Index) +
                                           " is not below NationCount " + std::to_string(Nation.FRelations.size()));
                   Nation.FRelations[static_cast<std::size_t>(Index)] = static_cast<std::int8_t>(ParseRelation(Pair.Rest()));
                 }
               }),
      F::Field("type factors", [](const N& Nation) { return SavedValue::List(Nation.FTypeFactors, [](float F) { return FormatTwoDecimals(F); }); },
               [](N& Nation, V& R) { SavedValue::ReadFloatList(R, Nation.FTypeFactors, FieldRange::TypeFactor); }),
      Counts("kind counters", &N::FKindCounters),
      Member::Flag("alive", &N::FAlive),
      F::Field("alliance", [](const N& Nation) { return Nation.FAlliance; }, [](N& Nation, V& R) { Nation.SetAlliance(std::string(R.Next())); }),
      Member::Flag("computer player", &N::FComputerPlayer),
      F::Field("diplomatic actions", [](const N& Nation) { return IntToStr(Nation.FDiplomaticActions); },
               [](N& Nation, V& R) { Nation.FDiplomaticActions = static_cast<std::uint8_t>(std::clamp(R.NextInt(), 0, 255)); }),
      Member::Int("diplomatic action interval", &N::FDiplomaticActionInterval, FieldRange::DiplomaticInterval),
      Member::Flag("attack without war", &N::FAttackWithoutWar),
      // The nation's place in the list, which the scenario gave already.
      F::Field("index", [](const N& Nation) { return IntToStr(Nation.FIndex); }, [](N&, V& R) { R.Next(); }),
      Member::Int("countdown", &N::FCountdown, FieldRange::NationNumber),
      Member::Int("stability", &N::FStability, FieldRange::NationNumber),
      Member::Int("value 5", &N::FValue5, FieldRange::NationNumber),
      F::Field("influence",
               [](const N& Nation) {
                 std::string List;
                 for (const auto& Item : Nation.FInfluence.Items()) List += Item.first + "=" + Item.second + "#";
                 return List;
               },
               [](N& Nation, V& R) {
                 Nation.FInfluence.Clear();
                 TTokenReader L(R.Next());
                 while (!L.AtEnd()) {
                   TTokenReader Pair(L.Next('#'));
                   const std::string Name(Pair.Next('='));
                   Nation.FInfluence.Set(Name, std::string(Pair.Rest()));
                 }
               }),
      // Resolved once every zone is read.
      Member::Int("capital", &N::FCapitalIndex, FieldRange::Index),
      Member::Text("player name", &N::FPlayerName),
      F::Field("research spending total", [](const N& Nation) { return IntToStr(Nation.FResearchSpendingTotal); },
               [](N& Nation, V& R) { Nation.SetResearchSpendingTotal(SavedValue::LenientInt(R, FieldRange::ResearchSpendingTotal)); }),
      // Progress, spending and level of each research group in turn.
      F::Field("research",
               [](const N& Nation) {
                 std::string List;
                 for (int G = 0; G < ResearchGroupCount; ++G)
                   List += IntToStr(Nation.FResearchProgress[G]) + "#" + IntToStr(Nation.FResearchSpending[G]) + "#" +
                           IntToStr(Nation.FResearchLevel[G]) + "#";
                 return List;
               },
               [](N& Nation, V& R) {
                 std::array<std::int32_t, 3 * ResearchGroupCount> Items{};
                 SavedValue::ReadIntList(R, Items, FieldRange::Count);
                 for (std::size_t G = 0; G < ResearchGroupCount; ++G) {
                   if (Items[3 * G + 1] > 255)
                     throw R.Error("the spending " + IntToStr(Items[3 * G + 1]) + " of " + ResearchGroupNames[G] + " is outside 0..255");
                   Nation.FResearchProgress[G] = static_cast<std::uint16_t>(Items[3 * G]);
                   Nation.FResearchSpending[G] = static_cast<std::uint8_t>(Items[3 * G + 1]);
                   Nation.FResearchLevel[G] = static_cast<std::uint16_t>(Items[3 * G + 2]);
                 }
               }),
      F::Field("colour slot", [](const N& Nation) { return IntToStr(Nation.FColorSlot); },
               [](N& Nation, V& R) {
                 const std::int32_t Slot = R.NextInt();
                 if (Slot < 0 || Slot > 7)
                   throw EBrenmoorEngine("Nation " + Nation.FName + ": the colour slot " + std::to_string(Slot) + " is outside 0..7");
                 Nation.FColorSlot = static_cast<std::uint8_t>(Slot);
               }),
      Member::Int("score deduction", &N::FScoreDeduction, FieldRange::ScoreDeduction),
    });
    return Table;
  }
};

std::string TNation::SaveToString() {
  FCapitalIndex = FCapital ? FCapital->GetIndex() : -1;
  return TSavedRecord::Fields().Write(*this);
}

void TNation::LoadFromString(std::string_view Text) { TSavedRecord::Fields().Read(*this, Text, "Nation " + FName); }

void TNation::ResolveCapital() {
  if (FCapitalIndex < 0) {
    FCapital = nullptr;
    return;
  }
  if (FCapitalIndex >= FEngine->GetZoneCount())
    throw EBrenmoorEngine("Nation " + FName + ": the capital " + std::to_string(FCapitalIndex) + " is no zone");
  FCapital = FEngine->GetZone(FCapitalIndex);
}

namespace {

// The alliances' numbers by name, shared by every engine of the process (a host and its guests
// in one process name the same alliances): 1 for the first name seen, and so on.
std::uint32_t AllianceKey(const std::string& Name) {
  if (Name.empty()) return 0;
  static std::mutex Guard;
  static std::unordered_map<std::string, std::uint32_t> Keys;
  const std::lock_guard<std::mutex> Lock(Guard);
  const auto [It, Added] = Keys.try_emplace(Name, static_cast<std::uint32_t>(Keys.size() + 1));
  return It->second;
}

}  // namespace

void TNation::SetAlliance(const std::string& Value) {
  FAlliance = Value;
  FAllianceKey = AllianceKey(Value);
  TStepCostVersion::Changed();
}

std::string TNation::RelationText(const TNation* Other) const {
  if (Other == this) return "N/A";
  if (Other && !FAlliance.empty() && !Other->FAlliance.empty())
    return FAlliance == Other->FAlliance ? "Allied" : "War";
  const int R = GetRelation(Other);
  if (R >= 100) return "Allied";
  if (R >= 75) return "Friendly";
  if (R >= 50) return "Good";
  if (R >= 25) return "Warm";
  if (R <= -100) return "War";
  if (R <= -75) return "Enemy";
  if (R <= -50) return "Poor";
  if (R >= -24) return "Neutral";
  return "Cool";
}

int TNation::GetMajorIndex() const {
  return FIndex >= 0 && FIndex < FEngine->GetMajorCount() ? FIndex : MinorTallyRow;
}

std::uint16_t TNation::GetColorIndex() const {
  if (GetMajorIndex() == MinorTallyRow) return MinorColorIndex;
  return ColorSlotIndexes[FColorSlot & 7u];
}

double TNation::GetTotalResources() const {
  double Total = 0;
  for (int I = 0; I < FEngine->GetZoneCount(); ++I) {
    const TBrenmoorZone* Zone = FEngine->GetZone(I);
    if (Zone->GetOwner() == this) Total += Zone->GetResources();
  }
  return Total;
}

std::int32_t TNation::GetTotalIndustry() const {
  if (!FAlive) return 0;
  // Summed wide: a map of many zones of the largest industry passes 32 bits.
  std::int64_t Total = 0;
  for (int I = 0; I < FEngine->GetZoneCount(); ++I) {
    const TBrenmoorZone* Zone = FEngine->GetZone(I);
    if (Zone->GetOwner() == this) Total += Zone->GetIndustry();
  }
  return static_cast<std::int32_t>(std::min<std::int64_t>(Total, std::numeric_limits<std::int32_t>::max()));
}

std::int32_t TNation::GetWorldDomination() const {
  const std::int32_t World = FEngine->GetWorldIndustry();
  if (World == 0) return 0;
  return RoundHalfEven32(static_cast<double>(GetTotalIndustry()) / World * 100.0);
}

std::int32_t TNation::GetScore() const {
  const std::int64_t Score = 20 * std::int64_t{GetTotalIndustry()} - FScoreDeduction;
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(Score, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

std::int32_t TNation::GetInfluence(const TNation* Other) const {
  if (!Other) return 0;
  return StrToIntDef(FInfluence.Get(IntToStr(Other->FIndex)), 0);
}

std::int32_t TNation::TallyOfKinds(const TBrenmoorZone* Zone, TUnitKinds Kinds) const {
  const int Row = GetMajorIndex();
  std::int32_t Total = 0;
  for (int T = 0; T < UnitTypeCount; ++T)
    if (Kinds & KindBit(UnitTypes[static_cast<std::size_t>(T)].Kind)) Total += Zone->GetTally(Row, T);
  return Total;
}

bool TNation::CanAttackZone(const TBrenmoorZone* Zone) const {
  const TNation* Owner = Zone->GetOwner();
  if (!Owner) return true;
  if (FAttackWithoutWar) return Zone->GetEmbattled() || !IsAlliedWith(Owner);
  return (IsAlliedWith(Owner) && Zone->GetEmbattled()) || IsAtWarWith(Owner);
}

void TNation::SetLocalPlayer(bool Value) {
  if (Value == FLocalPlayer) return;
  // A submerged fleet is in its zone's tallies only where its nation is played: the machine
  // that starts or stops playing this nation starts or stops counting its submarines.
  const int Row = GetMajorIndex();
  for (TUnit* Unit : FEngine->GetUnits())
    if (Unit->GetOwner() == this && Unit->GetSubmerged() && Unit->GetZone())
      Unit->GetZone()->ChangeTally(Row, utSubmarine, Value ? Unit->GetCount(utSubmarine) : -Unit->GetCount(utSubmarine));
  FLocalPlayer = Value;
}

void TNation::SetStability(std::int32_t Value) { FStability = std::clamp(Value, 0, 100); }

void TNation::SetResearchSpendingTotal(std::int32_t Value) {
  // Held within what a saved game holds, whatever an order asks. The fraction comes from the
  // total held, not the one asked for: the total is what the host sends on (when the research
  // stage spreads a nation's spending) and saves, and every machine must reckon its research
  // points from the same fraction.
  FResearchSpendingTotal = static_cast<std::int32_t>(
      std::clamp<std::int64_t>(Value, FieldRange::ResearchSpendingTotal.Min, FieldRange::ResearchSpendingTotal.Max));
  FResearchSpendingFraction = static_cast<float>(static_cast<std::uint8_t>(FResearchSpendingTotal)) / 100.0f;
}

void TNation::SetInfluence(const TNation* Other, std::int32_t Value) {
  if (!Other) return;
  const std::string Name = IntToStr(Other->FIndex);
  if (Value == 0)
    FInfluence.Delete(Name);
  else
    FInfluence.Set(Name, IntToStr(Value));
}

void TNation::SetRelationDirect(const TNation* Other, std::int32_t Value) {
  const int Slot = RelationSlot(Other);
  if (Slot < 0) return;
  std::int8_t& Relation = FRelations[static_cast<std::size_t>(Slot)];
  const std::int8_t New = static_cast<std::int8_t>(std::clamp(Value, -100, 100));
  // Only alliance changes a path's step cost.
  if ((Relation >= 100) != (New >= 100)) TStepCostVersion::Changed();
  Relation = New;
}

void TNation::SetRelation(TNation* Other, std::int32_t Value) {
  if (!Other || !FAlive || !Other->FAlive) return;
  Value = std::clamp(Value, -100, 100);
  if (Value == GetRelation(Other)) return;
  SetRelationDirect(Other, Value);
  Other->SetRelationDirect(this, Value);
  FEngine->AddChange(chRelation, FIndex, Other->FIndex, Value);
  if (Value == 100) {
    if (FEngine->OnDeclareAllies) FEngine->OnDeclareAllies(FEngine, this, Other);
    if (FMajorPower != Other->FMajorPower) {
      TNation* Major = FMajorPower ? this : Other;
      TNation* Minor = FMajorPower ? Other : this;
      FEngine->Diplomacy().ConquerNation(Major, Minor, true);
    }
  } else if (Value == -100) {
    if (FEngine->OnDeclareWar) FEngine->OnDeclareWar(FEngine, this, Other);
  }
}
