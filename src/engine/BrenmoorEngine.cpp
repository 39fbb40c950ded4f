#include "engine/BrenmoorEngine.h"

#include "engine/AtomicRules.h"
#include "engine/CombatRules.h"
#include "engine/DiplomacyRules.h"
#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"
#include "engine/RandomEventRules.h"
#include "engine/ReinforcementRules.h"
#include "engine/ResearchRules.h"
#include "engine/SavedFields.h"
#include "engine/SupplyRules.h"
#include "engine/UnitRules.h"
#include "engine/UpkeepRules.h"

#include <algorithm>
#include <iterator>
#include <optional>

#include "foundation/FileText.h"
#include "foundation/ListError.h"
#include "foundation/NumberText.h"
#include "foundation/ProcessMessages.h"

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

// "Scenario file "name", line n, field Key: what"; the file left out for a text without name,
// the line for a key that is missing.
EBrenmoorEngine ScenarioError(const std::string& File, int Line, const std::string& Key, const std::string& What) {
  std::string S = File.empty() ? "Scenario" : "Scenario file \"" + File + "\"";
  if (Line > 0) S += (File.empty() ? " line " : ", line ") + std::to_string(Line);
  return EBrenmoorEngine(S + ", field " + Key + ": " + What);
}

// A name that a saved game writes inside its values: a ";" (which ends a value) or a "~"
// (which ends a field) in it would make the game's save unloadable.
void RefuseSavedGameSeparators(const std::string& Name, const char* What) {
  if (Name.find_first_of(";~") != std::string::npos)
    throw EBrenmoorEngine(std::string("the ") + What + " name '" + Name + "' holds \";\" or \"~\"");
}

// The scenario's "Date": month/day/year; a year of one or two digits is 19yy, and a year of
// 1900 or less is taken a century later.
std::optional<TDateTime> ScenarioDate(const std::string& Text) {
  std::string S = Text;
  const auto M = TryStrToInt(NextToken(S, "/"));
  const auto D = TryStrToInt(NextToken(S, "/"));
  const std::string YearText = S;
  auto Y = TryStrToInt(YearText);
  if (!M || !D || !Y || *Y < 0) return std::nullopt;
  const std::size_t Digits = YearText.size() - (YearText[0] == '+' ? 1 : 0);
  if (Digits <= 2) *Y += 1900;
  if (*Y <= 1900) *Y += 100;
  return TryEncodeDate(*Y, *M, *D);
}

}  // namespace

// What a scenario file gives, read in full before it replaces the game.
struct TBrenmoorEngine::TScenario {
  std::vector<std::unique_ptr<TNation>> Nations;
  std::vector<std::string> Alliances;
  std::vector<std::string> Lines;
  std::vector<std::unique_ptr<TRandomEvent>> RandomEvents;
  std::vector<std::unique_ptr<TVictoryCondition>> VictoryConditions;
  std::vector<std::unique_ptr<TReinforcement>> Reinforcements;
  std::array<std::uint16_t, ResearchGroupCount> ResearchCosts = DefaultResearchCosts;
  int MajorCount = 0;
  int NationCount = 0;
  std::uint8_t EngineOptions = 0;
  bool WrapHorizontal = false;
  bool WrapVertical = false;
  std::string Description;
  TDateTime Date = 0;
  double ImpulseRate = 0;

  TScenario(TBrenmoorEngine& Engine, const std::string& FileName) : FEngine(Engine), FFileName(FileName) {}
  // One line of the file, by its key; other keys are read later or not at all.
  void ReadLine(const std::string& Name, const std::string& Value, int Line);
  // The values looked up by name: the first line of each.
  void ReadNamedValues();
  // Every name a record gives must be there: a condition or event of nobody would do nothing
  // or follow a null nation when it comes due.
  void CheckNames();

private:
  void ReadNationCount(const std::string& Value);
  void ReadNation(const std::string& Value);
  void ReadResearchGroups(const std::string& Value);
  void ReadImpulseRate(int Line);
  int FindLine(const char* Key) const;
  std::string ValueAt(int Line) const { return SplitLine(Lines[static_cast<std::size_t>(Line - 1)]).second; }
  bool NationNamed(const std::string& Name) const;
  bool AllianceNamed(const std::string& Name) const;

  TBrenmoorEngine& FEngine;
  const std::string& FFileName;
  bool FNationCountRead = false;
  bool FMinorRead = false;
  // The line of each record, for the errors of the checks after the whole file.
  std::vector<int> FEventLines, FConditionLines, FReinforcementLines;
};

void TBrenmoorEngine::TScenario::ReadLine(const std::string& Name, const std::string& Value, int Line) {
  if (Name == "Alliance") {
    RefuseSavedGameSeparators(Value, "alliance");
    Alliances.push_back(Value);
  } else if (Name == "NationCount") {
    ReadNationCount(Value);
  } else if (Name == "Nation") {
    ReadNation(Value);
  } else if (Name == "RandomEvent") {
    auto Event = std::make_unique<TRandomEvent>(FEngine);
    Event->Index = static_cast<std::int32_t>(RandomEvents.size());
    Event->ReadScenarioRecord(Value);
    RandomEvents.push_back(std::move(Event));
    FEventLines.push_back(Line);
  } else if (Name == "VictoryCondition") {
    auto Condition = std::make_unique<TVictoryCondition>(FEngine);
    Condition->ReadScenarioRecord(Value);
    VictoryConditions.push_back(std::move(Condition));
    FConditionLines.push_back(Line);
  } else if (Name == "Reinforcement") {
    auto Reinforcement = std::make_unique<TReinforcement>(FEngine);
    Reinforcement->ReadScenarioRecord(Value);
    Reinforcements.push_back(std::move(Reinforcement));
    FReinforcementLines.push_back(Line);
  } else if (Name == "ResearchGroups") {
    ReadResearchGroups(Value);
  } else if (Name == "EngineOptions") {
    EngineOptions = 0;
    for (std::size_t C = 0; C < Value.size() && C < 8; ++C)
      if (Value[C] == '1') EngineOptions = static_cast<std::uint8_t>(EngineOptions | (1u << C));
  } else if (Name == "Wrapping") {
    std::string Rest = Value;
    WrapHorizontal = NextTokenBool(Rest, ",");
    WrapVertical = NextTokenBool(Rest, ",");
  }
}

void TBrenmoorEngine::TScenario::ReadNationCount(const std::string& Value) {
  if (!Nations.empty()) throw EBrenmoorEngine("a NationCount line after the first Nation line");
  const std::int32_t Count = StrToInt(Value);
  if (Count < 0) throw EBrenmoorEngine("NationCount " + Value + " is below 0");
  // Every nation keeps a relation towards every other.
  if (!FieldRange::NationCount.Holds(Count))
    throw EBrenmoorEngine("NationCount " + Value + " is outside " + SavedValue::RangeText(FieldRange::NationCount));
  NationCount = Count;
  FNationCountRead = true;
}

void TBrenmoorEngine::TScenario::ReadNation(const std::string& Value) {
  if (!FNationCountRead) throw EBrenmoorEngine("a Nation line before NationCount");
  if (static_cast<int>(Nations.size()) >= NationCount)
    throw EBrenmoorEngine("more Nation lines than NationCount " + std::to_string(NationCount));
  auto Nation = std::make_unique<TNation>(FEngine, Value, NationCount);
  RefuseSavedGameSeparators(Nation->GetAlliance(), "alliance");
  if (Nation->GetMajorPower()) {
    // The tallies, the visibility mask and the computer players' turns hold the major
    // powers in rows 0..6, before every minor nation.
    if (FMinorRead) throw EBrenmoorEngine("the major power " + Nation->GetName() + " after a minor nation");
    if (MajorCount == MaxMajorPowers)
      throw EBrenmoorEngine("the major power " + Nation->GetName() + " is one more than " + std::to_string(MaxMajorPowers));
    ++MajorCount;
  } else {
    FMinorRead = true;
  }
  Nation->SetIndex(static_cast<std::int32_t>(Nations.size()));
  Nations.push_back(std::move(Nation));
}

void TBrenmoorEngine::TScenario::ReadResearchGroups(const std::string& Value) {
  std::string Rest = Value;
  for (int G = 0; G < ResearchGroupCount; ++G) {
    const std::string Cost = NextToken(Rest, "#");
    const auto V = TryStrToInt(Cost);
    if (!V || *V < 0 || *V > 65535)
      throw EBrenmoorEngine("the cost '" + Cost + "' of " + ResearchGroupNames[static_cast<std::size_t>(G)] + " is not an integer 0..65535");
    ResearchCosts[static_cast<std::size_t>(G)] = static_cast<std::uint16_t>(*V);
  }
}

int TBrenmoorEngine::TScenario::FindLine(const char* Key) const {
  for (std::size_t I = 0; I < Lines.size(); ++I)
    if (SplitLine(Lines[I]).first == Key) return static_cast<int>(I) + 1;
  return 0;
}

void TBrenmoorEngine::TScenario::ReadNamedValues() {
  if (const int Line = FindLine("Description")) Description = ValueAt(Line);
  Date = EncodeDate(1940, 11, 1);
  if (const int Line = FindLine("Date")) {
    const auto Read = ScenarioDate(ValueAt(Line));
    if (!Read) throw ScenarioError(FFileName, Line, "Date", "'" + ValueAt(Line) + "' is not a date month/day/year");
    Date = *Read;
  }
  const int Line = FindLine("ImpulseRate");
  if (!Line) throw ScenarioError(FFileName, 0, "ImpulseRate", "the scenario gives no ImpulseRate");
  ReadImpulseRate(Line);
}

void TBrenmoorEngine::TScenario::ReadImpulseRate(int Line) {
  const std::string Value = ValueAt(Line);
  const auto Rate = TryStrToFloat(Value);
  if (!Rate) throw ScenarioError(FFileName, Line, "ImpulseRate", "'" + Value + "' is not a valid floating point value");
  if (!(*Rate > 0)) throw ScenarioError(FFileName, Line, "ImpulseRate", "the impulse rate " + Value + " is not above 0 days");
  // The date moves on by it, and a date beyond a double is no date a saved game can hold.
  if (!(*Rate <= 36525)) throw ScenarioError(FFileName, Line, "ImpulseRate", "the impulse rate " + Value + " is above a century");
  ImpulseRate = static_cast<double>(*Rate);
}

bool TBrenmoorEngine::TScenario::NationNamed(const std::string& Name) const {
  return std::any_of(Nations.begin(), Nations.end(), [&](const auto& N) { return N->GetName() == Name; });
}

bool TBrenmoorEngine::TScenario::AllianceNamed(const std::string& Name) const {
  return std::find(Alliances.begin(), Alliances.end(), Name) != Alliances.end() ||
         std::any_of(Nations.begin(), Nations.end(), [&](const auto& N) { return !Name.empty() && N->GetAlliance() == Name; });
}

void TBrenmoorEngine::TScenario::CheckNames() {
  for (std::size_t I = 0; I < RandomEvents.size(); ++I) {
    const TRandomEvent& E = *RandomEvents[I];
    const auto Refuse = [&](const std::string& What) { return ScenarioError(FFileName, FEventLines[I], "RandomEvent", What); };
    if (E.NationFilter == efNation && !NationNamed(E.FilterName)) throw Refuse("the filter nation '" + E.FilterName + "' is no nation");
    if (E.NationFilter == efAlliance && !AllianceNamed(E.FilterName))
      throw Refuse("the filter alliance '" + E.FilterName + "' is no alliance");
    if ((E.AreaKind == eaOwnedBy || E.AreaKind == eaOriginallyOwnedBy) && !NationNamed(E.AreaValue))
      throw Refuse("the area nation '" + E.AreaValue + "' is no nation");
    if (E.AreaKind == eaAlliance && !AllianceNamed(E.AreaValue)) throw Refuse("the area alliance '" + E.AreaValue + "' is no alliance");
  }
  for (std::size_t I = 0; I < VictoryConditions.size(); ++I) {
    const TVictoryCondition& C = *VictoryConditions[I];
    const auto Refuse = [&](const std::string& What) { return ScenarioError(FFileName, FConditionLines[I], "VictoryCondition", What); };
    if (C.WinnerIsNation ? !NationNamed(C.Winner) : !AllianceNamed(C.Winner))
      throw Refuse("the winner '" + C.Winner + "' is no " + (C.WinnerIsNation ? "nation" : "alliance"));
    if (C.SubjectIsNation() ? !NationNamed(C.Subject) : !AllianceNamed(C.Subject))
      throw Refuse("the subject '" + C.Subject + "' is no " + (C.SubjectIsNation() ? "nation" : "alliance"));
  }
  for (std::size_t I = 0; I < Reinforcements.size(); ++I) {
    TReinforcement& R = *Reinforcements[I];
    if (R.NationIndex < 0 || R.NationIndex >= static_cast<int>(Nations.size()))
      throw ScenarioError(FFileName, FReinforcementLines[I], "Reinforcement", "the nation " + std::to_string(R.NationIndex) + " is no nation");
    R.Nation = Nations[static_cast<std::size_t>(R.NationIndex)].get();
  }
}

TBrenmoorEngine::TBrenmoorEngine()
    : FExecutionRules(std::make_unique<TExecutionRules>(*this)),
      FEndOfImpulseRules(std::make_unique<TEndOfImpulseRules>(*this)),
      FCombatRules(std::make_unique<TCombatRules>(*this)),
      FAtomicRules(std::make_unique<TAtomicRules>(*this)),
      FSupplyRules(std::make_unique<TSupplyRules>(*this)),
      FUpkeepRules(std::make_unique<TUpkeepRules>(*this)),
      FDiplomacyRules(std::make_unique<TDiplomacyRules>(*this)),
      FResearchRules(std::make_unique<TResearchRules>(*this)),
      FRandomEventRules(std::make_unique<TRandomEventRules>(*this)),
      FReinforcementRules(std::make_unique<TReinforcementRules>(*this)),
      FUnitRules(std::make_unique<TUnitRules>(*this)) {}

TBrenmoorEngine::~TBrenmoorEngine() {
  FreeGame();
  if (FZoneMap) {
    FZoneMap->OnPathCost = nullptr;
    FZoneMap->SetPathCostFunction(nullptr, nullptr);
    FZoneMap->RemoveClearListener(FClearListener);
  }
}

TBrenmoorEngine::TImpulseRun::TImpulseRun(TBrenmoorEngine& Engine) : FEngine(Engine), FOld(Engine.FImpulseRunning) {
  FEngine.FImpulseRunning = true;
}

TBrenmoorEngine::TImpulseRun::~TImpulseRun() { FEngine.FImpulseRunning = FOld; }

void TBrenmoorEngine::ProcessPendingMessages() { ProcessMessages(); }

void TBrenmoorEngine::CheckNoImpulse(const char* Action) const {
  if (FImpulseRunning) throw EBrenmoorEngine(std::string("The game cannot be ") + Action + " while an impulse runs");
}

// --- Zones ---

void TBrenmoorEngine::SetZoneMap(TZoneMap* Map) {
  if (Map == FZoneMap) return;
  ClearGame();
  if (FZoneMap) {
    FZoneMap->OnPathCost = nullptr;
    FZoneMap->SetPathCostFunction(nullptr, nullptr);
    FZoneMap->RemoveClearListener(FClearListener);
    FClearListener = 0;
  }
  FZoneMap = Map;
  if (FZoneMap) {
    // The search calls the plain function; OnPathCost answers alike for whoever calls it.
    FZoneMap->OnPathCost = [this](TZoneMap*, TZone* Zone1, TZone* Zone2, std::int32_t& Cost) { FUnitRules->PathCostHandler(Zone1, Zone2, Cost); };
    FZoneMap->SetPathCostFunction(
        [](void* Context, TZone* Zone1, TZone* Zone2, std::int32_t& Cost) {
          static_cast<TBrenmoorEngine*>(Context)->FUnitRules->PathCostHandler(Zone1, Zone2, Cost);
        },
        this);
    FClearListener = FZoneMap->AddClearListener([this](TZoneMap*) { DropZoneReferences(); });
  }
}

void TBrenmoorEngine::DropZoneReferences() {
  // The units stand in the zones and point at zones; they go first, while every zone is
  // whole. The nations, alliances and the scenario's records stay: a new map set may follow
  // the scenario, and its zone pass then fills the new zones.
  {
    TFlagGuard Clearing(FClearing);
    FUnits.Clear();
    // Only the engine's own zones hold units (a map may have been filled without the engine's
    // zone maker).
    for (int I = 0; I < GetZoneCount(); ++I)
      if (auto* Zone = dynamic_cast<TBrenmoorZone*>(FZoneMap->GetZone(I))) Zone->FreeUnits();
  }
  FUnits.Clear();
  FPathUnit = nullptr;
  FRoutings.clear();
  FActiveEvents.clear();
  for (const auto& Nation : FNations) Nation->SetCapital(nullptr);
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

// --- Change records ---

void TBrenmoorEngine::SendUnitOrder(const TUnit* Unit) {
  const TBrenmoorZone* Zone = Unit->GetDestinationZone();
  const TUnit* Target = Unit->GetDestinationUnit();
  AddUnitChange(Unit, chUnitOrder, static_cast<int>(Unit->GetOrder()), Zone ? Zone->GetIndex() : -1, Target ? Target->ID : -1,
                Unit->GetAttacking());
}

// --- Paths ---

std::int32_t TBrenmoorEngine::FindPathCost(TBrenmoorZone* A, TBrenmoorZone* B, std::int64_t Limit) {
  if (!FZoneMap) return TZoneMap::UnreachablePathCost;
  FPathUnit = nullptr;
  FPathAll = false;
  return FZoneMap->FindPathCost(A, B, Limit);
}

std::int32_t TBrenmoorEngine::FindPathLength(TBrenmoorZone* A, TBrenmoorZone* B) {
  if (!FZoneMap) return TZoneMap::UnreachablePathCost;
  TUnit* OldUnit = FPathUnit;
  FPathUnit = nullptr;
  TFlagGuard All(FPathAll);
  const std::int32_t Cost = FZoneMap->FindPathCost(A, B);
  FPathUnit = OldUnit;
  return Cost;
}

bool TBrenmoorEngine::PathTreeKey(TBrenmoorZone* A, TKeptPaths::TKey& Key) {
  if (!FKeepPathSearches || !FZoneMap || !A || FZoneMap->GetPathCostContext() != this || !FZoneMap->GetPathCostFunction())
    return false;
  const int Start = A->GetIndex();
  if (Start < 0) return false;
  FKeptPaths.Refresh(*FZoneMap);
  Key = {Start, FPathMode, FPathAll, FPathUnit == nullptr, FPathUnit ? FPathUnit->GetOwner() : nullptr};
  return true;
}

const TPathTree* TBrenmoorEngine::KeptPathTree(TBrenmoorZone* A) {
  TKeptPaths::TKey Key;
  if (!PathTreeKey(A, Key)) return nullptr;
  return FKeptPaths.Find(Key);
}

void TBrenmoorEngine::FindPath(TBrenmoorZone* A, TBrenmoorZone* B) {
  if (!FZoneMap) return;
  TKeptPaths::TKey Key;
  if (A && B && A != B && B->GetIndex() >= 0 && PathTreeKey(A, Key)) {
    if (const TPathTree* Tree = FKeptPaths.Find(Key)) {
      FZoneMap->SetPathFromTree(*Tree, B);
      return;
    }
    // The first path from a zone under these step costs searches only until its target is
    // settled; a second one keeps the whole search for those that follow.
    const TStepCostTable* Table = FKeptPaths.StepCostTable(*FZoneMap, Key);
    if (Table && FKeptPaths.FirstAsked(Key)) {
      FZoneMap->FindPath(A, B, *Table);
      return;
    }
    FZoneMap->SetPathFromTree(FKeptPaths.Keep(*FZoneMap, A, Key, Table), B);
    return;
  }
  FZoneMap->FindPath(A, B);
}

void TBrenmoorEngine::SetKeepPathSearches(bool Value) {
  FKeepPathSearches = Value;
  FKeptPaths.Clear();
}

// --- Scenario ---

void TBrenmoorEngine::ClearGame() {
  CheckNoImpulse("cleared");
  FreeGame();
}

void TBrenmoorEngine::FreeGame() {
  FPendingRandomEvent = nullptr;
  {
    TFlagGuard Clearing(FClearing);
    FUnits.Clear();
    for (int I = 0; I < GetZoneCount(); ++I)
      if (auto* Zone = dynamic_cast<TBrenmoorZone*>(FZoneMap->GetZone(I))) Zone->ResetGameState();
  }
  FUnits.Clear();
  FPathUnit = nullptr;
  FStorms.clear();
  FRoutings.clear();
  FActiveEvents.clear();
  FRandomEvents.clear();
  FVictoryConditions.clear();
  FReinforcements.clear();
  FOrders.clear();
  FNations.clear();
  FAlliances.clear();
  FScenarioLines.clear();
  FMajorCount = 0;
  FScenarioNationCount = 0;
  FImpulse = 0;
  FWinnerName.clear();
  FWinnerNation = nullptr;
  FAllianceDomination.clear();
}

std::string TBrenmoorEngine::ReadScenarioText(const std::string& FileName) {
  std::string Text;
  switch (ReadFileText(FileName, Text)) {
    case ftRead: return Text;
    case ftMissing: throw EBrenmoorEngine("File does not exist: " + FileName);
    case ftUnreadable: break;
  }
  throw EBrenmoorEngine("Scenario file \"" + FileName + "\" cannot be read");
}

void TBrenmoorEngine::SetScenarioFile(const std::string& FileName) {
  CheckNoImpulse("loaded");
  ReadScenario(ReadScenarioText(FileName), FileName);
}

void TBrenmoorEngine::ReadScenario(const std::string& Text, const std::string& FileName) {
  CheckNoImpulse("loaded");
  TScenario New(*this, FileName);
  New.Lines = SplitLines(Text);
  for (std::size_t I = 0; I < New.Lines.size(); ++I) {
    const int Line = static_cast<int>(I) + 1;
    const auto [Name, Value] = SplitLine(New.Lines[I]);
    try {
      New.ReadLine(Name, Value, Line);
    } catch (const EBrenmoor& E) {
      throw ScenarioError(FileName, Line, Name, E.what());
    }
  }
  New.ReadNamedValues();
  New.CheckNames();

  // Alliance relations: 100 within an alliance (a nation towards itself too), -100 between two.
  for (const auto& A : New.Nations)
    for (const auto& B : New.Nations)
      if (!A->GetAlliance().empty() && !B->GetAlliance().empty())
        A->SetRelationDirect(B.get(), A->GetAlliance() == B->GetAlliance() ? 100 : -100);

  // Every nation starts with the formations window's weights: with none set, every shot of a
  // combat would fall on the first opponent listed. A saved game read after this sets its own.
  for (const auto& Nation : New.Nations)
    for (int T = 0; T < UnitTypeCount; ++T) Nation->SetUnitCost(T, StartingFormationWeight);

  // The whole file can be used: it replaces the game.
  FreeGame();
  FNations = std::move(New.Nations);
  FAlliances = std::move(New.Alliances);
  FScenarioLines = std::move(New.Lines);
  FRandomEvents = std::move(New.RandomEvents);
  FVictoryConditions = std::move(New.VictoryConditions);
  FReinforcements = std::move(New.Reinforcements);
  FResearchCosts = New.ResearchCosts;
  FMajorCount = New.MajorCount;
  FScenarioNationCount = New.NationCount;
  FEngineOptions = New.EngineOptions;
  FWrapHorizontal = New.WrapHorizontal;
  FWrapVertical = New.WrapVertical;
  FDescription = std::move(New.Description);
  FDate = New.Date;
  FImpulseRate = New.ImpulseRate;
  FLastRandomEventDate = 0;
  FScenarioFile = FileName;
  FScenarioName = FileName;
}

std::string TBrenmoorEngine::GetMapSet() const {
  for (const std::string& Line : FScenarioLines) {
    const auto [Name, Value] = SplitLine(Line);
    if (Name == "MapSet") return Value;
  }
  return {};
}

void TBrenmoorEngine::LoadZoneData() {
  CheckNoImpulse("loaded");
  try {
    ReadZoneData();
  } catch (...) {
    // No half-read game stays behind.
    FreeGame();
    throw;
  }
}

void TBrenmoorEngine::ReadZoneData() {
  FFreeForAll = false;
  for (int I = 0; I < GetZoneCount(); ++I)
    if (!dynamic_cast<TBrenmoorZone*>(FZoneMap->GetZone(I)))
      throw EBrenmoorEngine("Zone " + FZoneMap->GetZone(I)->GetName() + " was not made by the rules engine");
  std::vector<int> ZoneLines(static_cast<std::size_t>(GetZoneCount()), 0);
  int NationNumber = 0;
  std::size_t EventNumber = 0;
  std::size_t ReinforcementNumber = 0;
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
      } else if (Name == "RandomEvent" && EventNumber < FRandomEvents.size()) {
        const TRandomEvent& Event = *FRandomEvents[EventNumber++];
        if (Event.AreaKind == eaZone && !FindZoneByName(Event.AreaValue))
          throw EBrenmoorEngine("the area zone '" + Event.AreaValue + "' is no zone of the map");
      } else if (Name == "Reinforcement" && ReinforcementNumber < FReinforcements.size()) {
        const TReinforcement& R = *FReinforcements[ReinforcementNumber++];
        if (!R.GetZone()) throw EBrenmoorEngine("the zone '" + R.ZoneName + "' is no zone of the map");
      }
    } catch (const EBrenmoor& E) {
      throw ScenarioError(FScenarioName, Line, Name, E.what());
    }
  }
  for (int I = 0; I < GetZoneCount(); ++I) GetZone(I)->SetIndex(I);
  for (int I = 0; I < GetZoneCount(); ++I) {
    try {
      GetZone(I)->ApplyScenarioBorders();
    } catch (const EBrenmoor& E) {
      throw ScenarioError(FScenarioName, ZoneLines[static_cast<std::size_t>(I)], "Zone", E.what());
    }
  }
  for (const auto& Event : FRandomEvents) Event->Fired = false;
  FAllComputer = true;
  for (const auto& Nation : FNations)
    if (Nation->GetMajorPower() && !Nation->GetComputerPlayer()) FAllComputer = false;
}

void TBrenmoorEngine::PlaceInitialUnits() {
  CheckNoImpulse("loaded");
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
      // A scenario's tallies are counts of one unit each (0..65535).
      TUnitCounts Counts{};
      for (int T = 0; T < UnitTypeCount; ++T) Counts[static_cast<std::size_t>(T)] = Zone->GetTally(Row, T);
      FReinforcementRules->PlaceUnits(Nation, Zone, Counts);
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
