#include "engine/BrenmoorZone.h"

#include <algorithm>
#include <limits>
#include <unordered_map>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/SavedFields.h"
#include "engine/Unit.h"
#include "foundation/ListError.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

namespace {

constexpr std::uint16_t HazardousSeaColorIndex = 106;

// A tally plus Delta, never below zero. No zone can hold units enough to pass the upper end.
std::int32_t AddToTally(std::int32_t Tally, std::int64_t Delta) {
  return static_cast<std::int32_t>(std::clamp<std::int64_t>(Tally + Delta, 0, std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

TBrenmoorZone::TBrenmoorZone(TBrenmoorEngine& Engine, TZoneMap& Map, const std::string& Text)
    : TZone(Map, Text), FSupplySource(this), FEngine(&Engine) {}

TBrenmoorZone::~TBrenmoorZone() { FreeUnits(); }

std::uint16_t TBrenmoorZone::GetColorIndex() const {
  if (IsHazardousSea()) return HazardousSeaColorIndex;
  if (FOwner) return FOwner->GetColorIndex();
  return TZone::GetColorIndex();
}

TBrenmoorZone* TBrenmoorZone::GetNeighbor(int I) const { return static_cast<TBrenmoorZone*>(GetNeighbour(I)); }

TNation* TBrenmoorZone::NationOf(std::int32_t Index, const char* What) const {
  if (Index < 0) return nullptr;
  if (Index >= FEngine->GetNationCount())
    throw EBrenmoorEngine("Zone " + GetName() + ": the " + What + " " + std::to_string(Index) + " is no nation");
  return FEngine->GetNation(Index);
}

TBrenmoorZone* TBrenmoorZone::ZoneOf(std::int32_t Index, const char* What) const {
  if (Index < 0) return nullptr;
  if (Index >= FEngine->GetZoneCount())
    throw EBrenmoorEngine("Zone " + GetName() + ": the " + What + " " + std::to_string(Index) + " is no zone");
  return FEngine->GetZone(Index);
}

void TBrenmoorZone::ReadScenarioRecord(const std::string& Record) {
  using SavedValue::NextTokenIn;
  const std::string Where = "Zone " + GetName();
  std::string Rest = Record;
  FIndustry = NextTokenIn(Rest, ";", FieldRange::Industry, Where, "industry");
  FFactories = NextTokenIn(Rest, ";", FieldRange::Factories, Where, "factories");
  NextToken(Rest, ";");
  FRichResources = NextTokenIn(Rest, ";", FieldRange::RichResources, Where, "rich resources");
  NextToken(Rest, ";");
  FOwner = NationOf(NextTokenIn(Rest, ";", FieldRange::Index, Where, "owner"), "owner");
  TStepCostVersion::Changed();

  for (TTallyRow& Row : FTallies) Row.fill(0);
  std::string Tallies = NextToken(Rest, ";");
  while (!Tallies.empty()) {
    const std::int32_t Row = NextTokenInt(Tallies, "#");
    const std::int32_t Type = NextTokenInt(Tallies, "#");
    const std::int32_t Count = NextTokenInt(Tallies, "#");
    const std::string Where = "Zone " + GetName() + ": the tally row " + std::to_string(Row) + " type " + std::to_string(Type);
    if (Row < 0 || Row >= TallyRowCount) throw EBrenmoorEngine(Where + " has a row outside 0..7");
    if (Type < 0 || Type >= UnitTypeCount) throw EBrenmoorEngine(Where + " has a type outside 0..15");
    if (Count < 0 || Count > 65535) throw EBrenmoorEngine(Where + " has a count outside 0..65535");
    if (Row == MinorTallyRow) {
      if (Count > 0 && (!FOwner || FOwner->GetMajorIndex() != MinorTallyRow))
        throw EBrenmoorEngine(Where + " is a minor nation's row in a zone no minor nation owns");
    } else if (Row >= FEngine->GetMajorCount() && Count > 0) {
      throw EBrenmoorEngine(Where + " is the row of no major power");
    }
    FTallies[static_cast<std::size_t>(Row)][static_cast<std::size_t>(Type)] = Count;
  }

  const std::string Original = NextToken(Rest, ";");
  const std::int32_t OriginalIndex = Original.empty() ? -1 : StrToIntDef(Original, -1);
  FOriginalOwner = OriginalIndex < 0 ? FOwner : NationOf(OriginalIndex, "original owner");

  FCapital = NextTokenBool(Rest, ";");
  if (FCapital) {
    if (!FOwner) throw EBrenmoorEngine("Zone " + GetName() + " is a capital without owner");
    FOwner->SetCapital(this);
  }
  if (Rest.empty()) {
    FResources = static_cast<float>(FIndustry);
  } else {
    const std::string Resources = NextToken(Rest, ";");
    FResources = Resources.empty() ? static_cast<float>(FIndustry) : SavedValue::ValueIn(Resources, FieldRange::Resources, Where, "resources");
  }
  FBorderCount = NextTokenIn(Rest, ";", FieldRange::BorderCount, Where, "border count");
  FBorderText = NextToken(Rest, ";");
  FPort = NextTokenBool(Rest, ";");
  FAirfield = NextTokenBool(Rest, ";");
  FTerrainDefense = static_cast<std::uint8_t>(NextTokenIn(Rest, ";", FieldRange::TerrainDefense, Where, "terrain defence"));
  FRocketSite = NextTokenBool(Rest, ";");
}

void TBrenmoorZone::ApplyScenarioBorders() {
  std::string Rest = FBorderText;
  const std::string Where = "Zone " + GetName();
  for (std::int32_t I = 0; I < FBorderCount; ++I) {
    const std::int32_t Level = SavedValue::NextTokenIn(Rest, "#", FieldRange::BorderLevel, Where, "border defence");
    const std::int32_t Index = SavedValue::NextTokenIn(Rest, "#", FieldRange::Index, Where, "border defence zone");
    if (Index >= 0) SetBorderDefense(ZoneOf(Index, "border defence towards zone"), Level);
  }
}

// The zone's saved field: 22 values each followed by "~", and what later versions added.
struct TBrenmoorZone::TSavedRecord {
  using TFields = TSavedFields<TBrenmoorZone>;
  using Z = TBrenmoorZone;

  using Member = TMemberFields<TBrenmoorZone>;

  static const TFields& Fields() {
    using F = TFields;
    using V = TSavedValues;
    static const TFields Table('~', {
      // Written only while building; an empty field leaves the queue as it is.
      F::Field("build queue",
               [](const Z& Zone) {
                 return Zone.FBuilding ? SavedValue::List(Zone.FBuildQueue, [](std::uint16_t C) { return IntToStr(C); }) : std::string();
               },
               [](Z& Zone, V& R) {
                 const std::string_view Queue = R.Next();
                 if (!Queue.empty()) SavedValue::ReadIntList(R, Queue, Zone.FBuildQueue, FieldRange::Count);
               }),
      Member::Flag("building", &Z::FBuilding),
      Member::Flag("capital", &Z::FCapital),
      Member::Int("factories", &Z::FFactories, FieldRange::Factories),
      // The zone's place in the map, numbered by the scenario already.
      F::Field("index", [](const Z& Zone) { return IntToStr(Zone.FIndex); }, [](Z&, V& R) { R.Next(); }),
      F::Field("original owner", [](const Z& Zone) { return SavedValue::IndexOf(Zone.FOriginalOwner); },
               [](Z& Zone, V& R) { Zone.FOriginalOwner = Zone.NationOf(SavedValue::LenientInt(R, FieldRange::Index), "original owner"); }),
      F::Field("owner", [](const Z& Zone) { return SavedValue::IndexOf(Zone.FOwner); },
               [](Z& Zone, V& R) {
                 Zone.FOwner = Zone.NationOf(SavedValue::LenientInt(R, FieldRange::Index), "owner");
                 TStepCostVersion::Changed();
               }),
      Member::Int("rich resources", &Z::FRichResources, FieldRange::RichResources),
      // Resolved once every zone is read.
      F::Field("supply source", [](const Z& Zone) { return SavedValue::IndexOf(Zone.FSupplySource); },
               [](Z& Zone, V& R) {
                 Zone.FSupplySourceIndex = SavedValue::LenientInt(R, FieldRange::Index);
                 if (Zone.FSupplySourceIndex >= Zone.FEngine->GetZoneCount()) Zone.ZoneOf(Zone.FSupplySourceIndex, "supply source");
               }),
      Member::Single("resources", &Z::FResources, FieldRange::Resources),
      F::Field("unused", [](const Z&) { return std::string("0"); }, [](Z&, V& R) { R.Next(); }),
      Member::Int("industry", &Z::FIndustry, FieldRange::Industry),
      Member::Int("strike count", &Z::FStrikeCount, FieldRange::StrikeCount),
      Member::Int("bomb count", &Z::FBombCount, FieldRange::StrikeCount),
      Member::Int("income", &Z::FIncome, FieldRange::Income),
      // Resolved once every zone is read.
      F::Field("border defences",
               [](const Z& Zone) {
                 std::string List;
                 for (const auto& [Other, Level] : Zone.FBorderDefenses) List += IntToStr(Other->GetIndex()) + "=" + IntToStr(Level) + "#";
                 return List;
               },
               [](Z& Zone, V& R) { Zone.FBorderText = std::string(R.Next()); }),
      Member::Int("build kind", &Z::FBuildKind, FieldRange::BuildKind),
      Member::Single("build total", &Z::FBuildTotal, FieldRange::BuildAmount),
      Member::Single("build progress", &Z::FBuildProgress, FieldRange::BuildAmount),
      Member::Flag("rocket site", &Z::FRocketSite),
      // Resolved once every zone is read.
      F::Field("rocket target", [](const Z& Zone) { return SavedValue::IndexOf(Zone.FRocketTarget); },
               [](Z& Zone, V& R) {
                 Zone.FRocketTargetIndex = SavedValue::LenientInt(R, FieldRange::Index);
                 if (Zone.FRocketTargetIndex >= Zone.FEngine->GetZoneCount()) Zone.ZoneOf(Zone.FRocketTargetIndex, "rocket target");
               }),
      F::Field("port zone", [](const Z& Zone) { return SavedValue::IndexOf(Zone.FPortZone); },
               [](Z& Zone, V& R) {
                 const std::int32_t PortZone = SavedValue::LenientInt(R, FieldRange::Index);
                 if (PortZone >= 0) Zone.FPortZone = Zone.ZoneOf(PortZone, "port zone");
               }),
      // Built ports and airfields would vanish on loading without these two; a text from before
      // they were kept leaves the scenario's.
      F::Later(1, "port", [](const Z& Zone) { return TokenText(Zone.FPort); }, [](Z& Zone, V& R) { Zone.FPort = R.NextFlag(); }, nullptr),
      F::Later(1, "airfield", [](const Z& Zone) { return TokenText(Zone.FAirfield); }, [](Z& Zone, V& R) { Zone.FAirfield = R.NextFlag(); },
               nullptr),
      // The order of the zone's units: the engine's list is saved in identifier order, but a
      // zone lists its units in the order they came in, and the rules read that order (the first
      // fleet that an army placed at sea boards, the air units rehomed first). A text from before
      // it was kept leaves the units in the engine's order.
      F::Later(2, "unit order",
               [](const Z& Zone) {
                 std::string List;
                 for (const auto& Unit : Zone.FUnits) List += IntToStr(Unit->ID) + "#";
                 return List;
               },
               [](Z& Zone, V& R) { Zone.FUnitOrderText = std::string(R.Next()); }, [](Z& Zone) { Zone.FUnitOrderText.clear(); }),
    });
    return Table;
  }
};

std::string TBrenmoorZone::SaveToString() const { return TSavedRecord::Fields().Write(*this); }

void TBrenmoorZone::LoadFromString(std::string_view Text) {
  FreeUnits();
  TSavedRecord::Fields().Read(*this, Text, "Zone " + GetName());
}

void TBrenmoorZone::ResolveLoadedReferences() {
  // The units go back into their saved order; one the list does not name (a game saved
  // without the order) keeps its place after the named ones.
  if (!FUnitOrderText.empty()) {
    std::unordered_map<std::int32_t, std::size_t> Place;
    TTokenReader L(FUnitOrderText);
    while (!L.AtEnd()) Place.emplace(L.NextInt('#'), Place.size());
    const auto Rank = [&Place](const std::unique_ptr<TUnit>& Unit) {
      const auto It = Place.find(Unit->ID);
      return It == Place.end() ? Place.size() : It->second;
    };
    std::stable_sort(FUnits.begin(), FUnits.end(),
                     [&Rank](const std::unique_ptr<TUnit>& A, const std::unique_ptr<TUnit>& B) { return Rank(A) < Rank(B); });
    FUnitOrderText.clear();
  }
  FTallies = RecountTallies();
  FSupplySource = ZoneOf(FSupplySourceIndex, "supply source");
  std::string Rest = FBorderText;
  while (!Rest.empty()) {
    std::string Pair = NextToken(Rest, "#");
    const std::string Where = "Zone " + GetName();
    const std::int32_t Index = SavedValue::NextTokenIn(Pair, "=", FieldRange::Index, Where, "border defence zone");
    const std::int32_t Level = SavedValue::NextTokenIn(Pair, "=", FieldRange::BorderLevel, Where, "border defence");
    if (Index >= 0) SetBorderDefense(ZoneOf(Index, "border defence towards zone"), Level);
  }
  FRocketTarget = ZoneOf(FRocketTargetIndex, "rocket target");
}

void TBrenmoorZone::ResetGameState() {
  FreeUnits();
  for (TTallyRow& Row : FTallies) Row.fill(0);
  FFactories = 0;
  FOwner = nullptr;
  TStepCostVersion::Changed();
  FOriginalOwner = nullptr;
  FRichResources = 0;
  FIndustry = 0;
  FCapital = false;
  FBuilding = false;
  FResources = static_cast<float>(FIndustry);
  FSupplySource = this;
  // Everything else of the last game goes too: a zone that the next scenario does not name
  // must not keep its combat, build order, hits, port, airfield or rocket site.
  FEmbattled = false;
  FIncome = 0;
  FBorderCount = 0;
  FBorderText.clear();
  FBuildQueue.fill(0);
  FBuildProgress = 0.0f;
  FBuildTotal = 0.0f;
  FBuildKind = 0;
  FBombCount = 0;
  FStrikeCount = 0;
  FSeenBy = 0;
  FStorm = false;
  FSupplySourceIndex = -1;
  FPort = false;
  FAirfield = false;
  FTerrainDefense = 0;
  FRocketSite = false;
  FRocketTarget = nullptr;
  FRocketTargetIndex = -1;
  FPortZone = nullptr;
}

void TBrenmoorZone::FreeUnits() {
  while (!FUnits.empty()) {
    std::unique_ptr<TUnit> Unit = std::move(FUnits.back());
    FUnits.pop_back();
    Unit.reset();
  }
  FBorderDefenses.clear();
}

std::uint16_t TBrenmoorZone::GetTally(int Row, int Type) const {
  return static_cast<std::uint16_t>(std::min<std::int32_t>(FTallies.at(static_cast<std::size_t>(Row)).at(static_cast<std::size_t>(Type)), 65535));
}

void TBrenmoorZone::ChangeTally(int Row, int Type, std::int32_t Delta) {
  std::int32_t& Tally = FTallies.at(static_cast<std::size_t>(Row)).at(static_cast<std::size_t>(Type));
  Tally = AddToTally(Tally, Delta);
}

bool TBrenmoorZone::HasTallyOfKinds(int Row, TUnitKinds Kinds) const {
  for (int T = 0; T < UnitTypeCount; ++T)
    if (GetTally(Row, T) != 0 && (Kinds & KindBit(UnitTypes[static_cast<std::size_t>(T)].Kind))) return true;
  return false;
}

TTallies TBrenmoorZone::RecountTallies() const {
  TTallies Result{};
  for (const auto& Unit : FUnits) {
    if (!Unit->IsTallied()) continue;
    TTallyRow& Row = Result[static_cast<std::size_t>(Unit->GetOwner()->GetMajorIndex())];
    for (int T = 0; T < UnitTypeCount; ++T)
      Row[static_cast<std::size_t>(T)] = AddToTally(Row[static_cast<std::size_t>(T)], Unit->GetCount(T));
  }
  return Result;
}

std::string TBrenmoorZone::CheckTallies() const {
  const TTallies Recount = RecountTallies();
  for (int Row = 0; Row < TallyRowCount; ++Row)
    for (int T = 0; T < UnitTypeCount; ++T) {
      const std::int32_t Held = FTallies[static_cast<std::size_t>(Row)][static_cast<std::size_t>(T)];
      const std::int32_t Counted = Recount[static_cast<std::size_t>(Row)][static_cast<std::size_t>(T)];
      if (Held != Counted)
        return "Zone " + GetName() + ": the tally of row " + std::to_string(Row) + " type " + UnitTypes[static_cast<std::size_t>(T)].Name +
               " is " + std::to_string(Held) + ", its units count " + std::to_string(Counted);
    }
  return {};
}

TUnit* TBrenmoorZone::GetUnit(int I) const {
  if (I < 0 || I >= GetUnitCount()) throw EListError::IndexOutOfBounds(I);
  return FUnits[static_cast<std::size_t>(I)].get();
}

int TBrenmoorZone::IndexOfUnit(const TUnit* Unit) const {
  for (std::size_t I = 0; I < FUnits.size(); ++I)
    if (FUnits[I].get() == Unit) return static_cast<int>(I);
  return -1;
}

TUnit* TBrenmoorZone::AdoptUnit(std::unique_ptr<TUnit> Unit) {
  FUnits.push_back(std::move(Unit));
  return FUnits.back().get();
}

std::unique_ptr<TUnit> TBrenmoorZone::ReleaseUnit(const TUnit* Unit) {
  const int I = IndexOfUnit(Unit);
  if (I < 0) return nullptr;
  std::unique_ptr<TUnit> Result = std::move(FUnits[static_cast<std::size_t>(I)]);
  FUnits.erase(FUnits.begin() + I);
  return Result;
}

bool TBrenmoorZone::IsAlliedTo(const TNation* Nation) const {
  return GetSea() == 0 && FOwner && FOwner->IsAlliedWith(Nation);
}

bool TBrenmoorZone::IsEnemyOf(const TNation* Nation) const {
  return GetSea() == 0 && FOwner && FOwner->IsAtWarWith(Nation);
}

std::int32_t TBrenmoorZone::GetBorderDefense(const TBrenmoorZone* Zone) const {
  for (const auto& [Other, Level] : FBorderDefenses)
    if (Other == Zone) return Level;
  return 0;
}

TBrenmoorZone* TBrenmoorZone::GetBorderDefenseZone(int I) const {
  if (I < 0 || I >= GetBorderDefenseCount()) throw EListError::IndexOutOfBounds(I);
  return FBorderDefenses[static_cast<std::size_t>(I)].first;
}

std::int32_t TBrenmoorZone::GetBorderDefenseValue(int I) const {
  if (I < 0 || I >= GetBorderDefenseCount()) throw EListError::IndexOutOfBounds(I);
  return FBorderDefenses[static_cast<std::size_t>(I)].second;
}

void TBrenmoorZone::SetBorderDefense(TBrenmoorZone* Zone, std::int32_t Level) {
  for (auto It = FBorderDefenses.begin(); It != FBorderDefenses.end(); ++It)
    if (It->first == Zone) {
      if (Level != 0)
        It->second = Level;
      else
        FBorderDefenses.erase(It);
      return;
    }
  if (Level > 0 && Zone) FBorderDefenses.emplace_back(Zone, Level);
}

std::int32_t TBrenmoorZone::GetBuildProgress() const {
  double Total = 0;
  for (int T = 0; T < UnitTypeCount; ++T) Total += FBuildQueue[static_cast<std::size_t>(T)] * static_cast<double>(UnitTypes[static_cast<std::size_t>(T)].Production);
  if (Total == 0) return 100;
  return static_cast<std::int32_t>(FBuildProgress / Total * 100.0);
}

bool TBrenmoorZone::IsPort() const { return FEngine->HasEngineOption(6) ? IsCoastal() : FPort; }

bool TBrenmoorZone::IsAirfield() const { return FEngine->HasEngineOption(5) || FAirfield; }
