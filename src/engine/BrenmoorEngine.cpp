#include "engine/BrenmoorEngine.h"

#include <algorithm>

#include "foundation/ListError.h"
#include "foundation/NumberText.h"

namespace {

// Sets a flag for the life of the guard.
class TFlagGuard {
public:
  explicit TFlagGuard(bool& Flag) : FFlag(Flag), FOld(Flag) { FFlag = true; }
  ~TFlagGuard() { FFlag = FOld; }
  TFlagGuard(const TFlagGuard&) = delete;
  TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
  bool& FFlag;
  bool FOld;
};

// The lines of a text that ends them with CR, LF or CR LF.
std::vector<std::string> SplitLines(const std::string& Text) {
  std::vector<std::string> Lines;
  std::size_t Start = 0;
  for (std::size_t I = 0; I <= Text.size(); ++I) {
    if (I == Text.size() || Text[I] == '\r' || Text[I] == '\n') {
      if (I < Text.size() || I > Start) Lines.push_back(Text.substr(Start, I - Start));
      if (I + 1 < Text.size() && Text[I] == '\r' && Text[I + 1] == '\n') ++I;
      Start = I + 1;
    }
  }
  return Lines;
}

// The line cut at its first "=".
std::pair<std::string, std::string> SplitLine(const std::string& Line) {
  const std::size_t P = Line.find('=');
  if (P == std::string::npos) return {Line, {}};
  return {Line.substr(0, P), Line.substr(P + 1)};
}

}  // namespace

TBrenmoorEngine::TBrenmoorEngine() = default;

TBrenmoorEngine::~TBrenmoorEngine() {
  ClearGame();
  if (FZoneMap) FZoneMap->OnPathCost = nullptr;
}

// --- Zones ---

void TBrenmoorEngine::SetZoneMap(TZoneMap* Map) {
  if (Map == FZoneMap) return;
  ClearGame();
  if (FZoneMap) FZoneMap->OnPathCost = nullptr;
  FZoneMap = Map;
  if (FZoneMap)
    FZoneMap->OnPathCost = [this](TZoneMap*, TZone* Zone1, TZone* Zone2, std::int32_t& Cost) { PathCost(Zone1, Zone2, Cost); };
}

std::unique_ptr<TBrenmoorZone> TBrenmoorEngine::CreateZone(TZoneMap& Map, const std::string& Text) {
  return std::make_unique<TBrenmoorZone>(*this, Map, Text);
}

int TBrenmoorEngine::GetZoneCount() const { return FZoneMap ? FZoneMap->ZoneCount() : 0; }

TBrenmoorZone* TBrenmoorEngine::GetZone(int I) const {
  if (!FZoneMap) throw EListError::IndexOutOfBounds(I);
  return static_cast<TBrenmoorZone*>(FZoneMap->GetZone(I));
}

TBrenmoorZone* TBrenmoorEngine::FindZoneByName(const std::string& Name) const {
  for (int I = 0; I < GetZoneCount(); ++I)
    if (GetZone(I)->GetName() == Name) return GetZone(I);
  return nullptr;
}

// --- Nations ---

TNation* TBrenmoorEngine::GetNation(int I) const {
  if (I < 0 || I >= GetNationCount()) throw EListError::IndexOutOfBounds(I);
  return FNations[static_cast<std::size_t>(I)].get();
}

TNation* TBrenmoorEngine::FindNation(const std::string& Name) const {
  for (const auto& Nation : FNations)
    if (Nation->GetName() == Name) return Nation.get();
  return nullptr;
}

TNation* TBrenmoorEngine::AddNation(std::unique_ptr<TNation> Nation) {
  Nation->SetIndex(GetNationCount());
  if (Nation->GetMajorPower()) ++FMajorCount;
  FNations.push_back(std::move(Nation));
  return FNations.back().get();
}

// --- Units ---

TUnit* TBrenmoorEngine::AddUnit(std::unique_ptr<TUnit> Unit, TBrenmoorZone* Zone) {
  if (!Unit || !Zone) throw EBrenmoorEngine("A unit needs a zone to stand in");
  FUnits.Add(Unit.get());
  TUnit* Result = Zone->AdoptUnit(std::move(Unit));
  Result->SetZone(Zone);
  return Result;
}

TUnit* TBrenmoorEngine::AddLoadedUnit(std::unique_ptr<TUnit> Unit) {
  if (!Unit || !Unit->GetZone()) throw EBrenmoorEngine("A unit needs a zone to stand in");
  if (Unit->ID >= 0 && FUnits.ItemByID(Unit->ID))
    throw EBrenmoorEngine("Unit " + std::to_string(Unit->ID) + " is there twice");
  FUnits.InsertWithID(Unit.get());
  TBrenmoorZone* Zone = Unit->GetZone();
  return Zone->AdoptUnit(std::move(Unit));
}

void TBrenmoorEngine::FreeUnit(TUnit* Unit) {
  if (!Unit || !Unit->GetZone()) return;
  std::unique_ptr<TUnit> Owned = Unit->GetZone()->ReleaseUnit(Unit);
  Owned.reset();
}

void TBrenmoorEngine::UnitDestroyed(TUnit* Unit) {
  // Only a unit of the game is reported: not one made for reading a saved field and refused.
  // While the game is cleared the list is already empty and every unit is reported.
  const int I = FUnits.IndexOf(Unit);
  if (I >= 0) FUnits.Delete(I);
  if (FPathUnit == Unit) FPathUnit = nullptr;
  if ((I >= 0 || FClearing) && OnRemoveUnit) OnRemoveUnit(this, Unit);
}

std::vector<TUnit*> TBrenmoorEngine::PlaceUnits(TNation* Nation, TBrenmoorZone* Zone, const TUnitCounts& Counts) {
  std::vector<TUnit*> Placed;
  for (TUnitKind Kind : {ukNavy, ukArmy, ukAirForce}) {
    bool Any = false;
    for (int T = 0; T < UnitTypeCount; ++T)
      if (UnitTypes[static_cast<std::size_t>(T)].Kind == Kind && Counts[static_cast<std::size_t>(T)] > 0) Any = true;
    if (!Any) continue;
    TUnit* Unit = AddUnit(std::make_unique<TUnit>(*this, Nation, Kind), Zone);
    for (int T = 0; T < UnitTypeCount; ++T)
      if (UnitTypes[static_cast<std::size_t>(T)].Kind == Kind) Unit->SetCount(T, Counts[static_cast<std::size_t>(T)]);
    Placed.push_back(Unit);
    if (Kind == ukNavy || Zone->GetSea() == 0) continue;
    // At sea an army boards, and an air force is based on, the nation's first fleet there.
    TUnit* Ship = nullptr;
    for (int I = 0; I < Zone->GetUnitCount() && !Ship; ++I)
      if (Zone->GetUnit(I)->GetOwner() == Nation && Zone->GetUnit(I)->GetKind() == ukNavy) Ship = Zone->GetUnit(I);
    if (!Ship) continue;
    if (Kind == ukArmy) {
      Ship->AddBoarded(Unit);
      Unit->SetTransport(Ship);
    } else {
      Ship->AddBased(Unit);
      Unit->SetBaseUnit(Ship);
    }
  }
  return Placed;
}

// --- Change records ---

void TBrenmoorEngine::SendUnitOrder(const TUnit* Unit) {
  const TBrenmoorZone* Zone = Unit->GetDestinationZone();
  const TUnit* Target = Unit->GetDestinationUnit();
  AddUnitChange(Unit, 3, static_cast<int>(Unit->GetOrder()), Zone ? Zone->GetIndex() : -1, Target ? Target->ID : -1,
                Unit->GetAttacking());
}

// --- Paths ---

void TBrenmoorEngine::PathCost(TZone*, TZone*, std::int32_t& Cost) {
  // The rules' own step costs come with the path-cost rules; here every step of a counted
  // path costs 1 and the map's built-in cost stands otherwise.
  if (FPathAll) Cost = 1;
}

std::int32_t TBrenmoorEngine::FindPathCost(TBrenmoorZone* A, TBrenmoorZone* B) {
  if (!FZoneMap) return TZoneMap::UnreachablePathCost;
  FPathUnit = nullptr;
  FPathAll = false;
  FZoneMap->FindPath(A, B);
  return FZoneMap->PathCost();
}

std::int32_t TBrenmoorEngine::FindPathLength(TBrenmoorZone* A, TBrenmoorZone* B) {
  if (!FZoneMap) return TZoneMap::UnreachablePathCost;
  TUnit* OldUnit = FPathUnit;
  FPathUnit = nullptr;
  TFlagGuard All(FPathAll);
  FZoneMap->FindPath(A, B);
  FPathUnit = OldUnit;
  return FZoneMap->PathCost();
}

void TBrenmoorEngine::ConquerNation(TNation*, TNation*, bool) {}

// --- Scenario ---

void TBrenmoorEngine::ClearGame() {
  {
    TFlagGuard Clearing(FClearing);
    FUnits.Clear();
    for (int I = 0; I < GetZoneCount(); ++I) GetZone(I)->ResetGameState();
  }
  FUnits.Clear();
  FPathUnit = nullptr;
  FNations.clear();
  FAlliances.clear();
  FScenarioLines.clear();
  FMajorCount = 0;
  FScenarioNationCount = 0;
}

EBrenmoorEngine TBrenmoorEngine::LineError(int Line, const std::string& What) const {
  return EBrenmoorEngine("Scenario line " + std::to_string(Line) + ": " + What);
}

void TBrenmoorEngine::ReadScenario(const std::string& Text) {
  ClearGame();
  FScenarioLines = SplitLines(Text);
  bool NationCountRead = false;
  for (std::size_t I = 0; I < FScenarioLines.size(); ++I) {
    const int Line = static_cast<int>(I) + 1;
    const auto [Name, Value] = SplitLine(FScenarioLines[I]);
    try {
      if (Name == "Alliance") {
        FAlliances.push_back(Value);
      } else if (Name == "NationCount") {
        const std::int32_t Count = StrToInt(Value);
        if (Count < 0) throw EBrenmoorEngine("NationCount " + Value + " is below 0");
        FScenarioNationCount = Count;
        NationCountRead = true;
      } else if (Name == "Nation") {
        if (!NationCountRead) throw EBrenmoorEngine("a Nation line before NationCount");
        AddNation(std::make_unique<TNation>(*this, Value));
      }
    } catch (const EBrenmoor& E) {
      throw LineError(Line, E.what());
    }
  }
  // Alliance relations: 100 within an alliance (a nation towards itself too), -100 between two.
  for (const auto& A : FNations)
    for (const auto& B : FNations)
      if (!A->GetAlliance().empty() && !B->GetAlliance().empty())
        A->SetRelationDirect(B.get(), A->GetAlliance() == B->GetAlliance() ? 100 : -100);
}

void TBrenmoorEngine::LoadZoneData() {
  FFreeForAll = false;
  for (int I = 0; I < GetZoneCount(); ++I)
    if (!dynamic_cast<TBrenmoorZone*>(FZoneMap->GetZone(I)))
      throw EBrenmoorEngine("Zone " + FZoneMap->GetZone(I)->GetName() + " was not made by the rules engine");
  std::vector<int> ZoneLines(static_cast<std::size_t>(GetZoneCount()), 0);
  int NationNumber = 0;
  for (std::size_t I = 0; I < FScenarioLines.size(); ++I) {
    const int Line = static_cast<int>(I) + 1;
    const auto [Name, Value] = SplitLine(FScenarioLines[I]);
    try {
      if (Name == "Zone") {
        std::string Record = Value;
        const std::string ZoneName = NextToken(Record, ";");
        TBrenmoorZone* Zone = FindZoneByName(ZoneName);
        if (!Zone) {
          if (OnMessage) OnMessage(this, "Zone " + ZoneName + " not found");
          continue;
        }
        Zone->ReadScenarioRecord(Record);
        ZoneLines[static_cast<std::size_t>(FZoneMap->IndexOfZone(Zone))] = Line;
      } else if (Name == "Nation") {
        if (NationNumber < GetNationCount()) GetNation(NationNumber)->ReadScenarioRecord(Value);
        ++NationNumber;
      }
    } catch (const EBrenmoor& E) {
      throw LineError(Line, E.what());
    }
  }
  for (int I = 0; I < GetZoneCount(); ++I) GetZone(I)->SetIndex(I);
  for (int I = 0; I < GetZoneCount(); ++I) {
    try {
      GetZone(I)->ApplyScenarioBorders();
    } catch (const EBrenmoor& E) {
      throw LineError(ZoneLines[static_cast<std::size_t>(I)], E.what());
    }
  }
}

void TBrenmoorEngine::PlaceInitialUnits() {
  for (int I = 0; I < GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = GetZone(I);
    for (int Row = 0; Row < TallyRowCount; ++Row) {
      TNation* Nation = nullptr;
      if (Row < MinorTallyRow) {
        if (Row < FMajorCount) Nation = GetNation(Row);
      } else if (Zone->GetOwner() && Zone->GetOwner()->GetMajorIndex() == MinorTallyRow) {
        Nation = Zone->GetOwner();
      }
      if (!Nation) continue;
      TUnitCounts Counts = Zone->GetTallies()[static_cast<std::size_t>(Row)];
      PlaceUnits(Nation, Zone, Counts);
    }
  }
}

void TBrenmoorEngine::ResolveLoadedReferences() {
  for (const auto& Nation : FNations) Nation->ResolveCapital();
  for (int I = 0; I < GetZoneCount(); ++I) GetZone(I)->ResolveLoadedReferences();
  for (TUnit* Unit : FUnits) Unit->ResolveLoadedReferences();
}

std::string TBrenmoorEngine::CheckTallies() const {
  for (int I = 0; I < GetZoneCount(); ++I) {
    std::string Problem = GetZone(I)->CheckTallies();
    if (!Problem.empty()) return Problem;
  }
  return {};
}
