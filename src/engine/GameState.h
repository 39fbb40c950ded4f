#pragma once
// The game's state that the engine keeps and its rules read and change: nations, alliances,
// the units' list, storms, routings, random and active events, victory conditions,
// reinforcements, the date and pace, the flags of the model, what the last upkeep found
// (player names, winner, dominations) and whose step cost a path search applies. The rules
// classes reach it through the public accessors of TBrenmoorEngine, which is this state with
// the steps over it; only the engine's own steps (the scenario and saved-game readers, the
// zone pass, clearing the game) fill the fields directly.
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/GameRecords.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/DateUtils.h"
#include "foundation/RandomAccessList.h"

class TBrenmoorZone;

class TGameState {
public:
  // --- Nations ---
  int GetNationCount() const { return static_cast<int>(FNations.size()); }
  // Nation I; an index outside raises EListError.
  TNation* GetNation(int I) const;
  const std::vector<std::unique_ptr<TNation>>& GetNations() const { return FNations; }
  TNation* FindNation(const std::string& Name) const;
  // Appends the nation (its index is its position) and counts it as a major when it is one.
  TNation* AddNation(std::unique_ptr<TNation> Nation);
  int GetMajorCount() const { return FMajorCount; }
  // The scenario's "NationCount": the size of every nation's relation array.
  int GetScenarioNationCount() const { return FScenarioNationCount; }
  void SetScenarioNationCount(int Value) { FScenarioNationCount = Value; }
  // True when every major power is computer-played or has the player name "[SOLO]".
  bool IsSoloGame() const;
  // Every major power is computer-played (LoadZoneData sets it).
  bool GetAllComputer() const { return FAllComputer; }
  void SetAllComputer(bool Value) { FAllComputer = Value; }

  // --- Alliances ---
  int GetAllianceCount() const { return static_cast<int>(FAlliances.size()); }
  const std::string& GetAlliance(int I) const;
  const std::vector<std::string>& GetAlliances() const { return FAlliances; }
  // The alliance's place among the names, -1 when it is none of them.
  int IndexOfAlliance(const std::string& Name) const;
  void SetAlliances(std::vector<std::string> Names) { FAlliances = std::move(Names); }
  void AddAlliance(const std::string& Name) { FAlliances.push_back(Name); }

  // --- Units (the engine adds and frees them) ---
  int GetUnitCount() const { return FUnits.Count(); }
  TUnit* GetUnit(int I) const { return FUnits.Items(I); }
  // nullptr for -1 or an identifier no unit bears.
  TUnit* GetUnitByID(std::int32_t ID) const { return ID < 0 ? nullptr : FUnits.ItemByID(ID); }
  const TRandomAccessList<TUnit>& GetUnits() const { return FUnits; }
  static std::int32_t UnitIDOrNone(const TUnit* Unit) { return Unit ? Unit->ID : -1; }
  // True while ClearGame frees every unit (the units skip unlinking from each other).
  bool IsClearing() const { return FClearing; }

  // --- Storms, routings, events, victory conditions, reinforcements ---
  int GetStormCount() const { return static_cast<int>(FStorms.size()); }
  TStorm* GetStorm(int I) const;
  const std::vector<std::unique_ptr<TStorm>>& GetStorms() const { return FStorms; }
  TStorm* AddStorm(std::unique_ptr<TStorm> Storm);
  // Frees the storm (nothing for a storm not in the list).
  void DeleteStorm(TStorm* Storm);
  int GetRoutingCount() const { return static_cast<int>(FRoutings.size()); }
  TRouting* GetRouting(int I) const;
  TRouting* AddRouting(std::unique_ptr<TRouting> Routing);
  void DeleteRouting(TRouting* Routing);
  int GetActiveEventCount() const { return static_cast<int>(FActiveEvents.size()); }
  TActiveEvent* GetActiveEvent(int I) const;
  TActiveEvent* AddActiveEvent(std::unique_ptr<TActiveEvent> Event);
  void DeleteActiveEvent(TActiveEvent* Event);
  // Every active event's ApplyModifier in turn.
  void ApplyModifiers(int Effect, double& Value, const TBrenmoorZone* Zone, TUnitKind Kind) const;
  void ApplyModifiers(int Effect, double& Value, const TUnit* Unit) const;
  int GetRandomEventCount() const { return static_cast<int>(FRandomEvents.size()); }
  TRandomEvent* GetRandomEvent(int I) const;
  const std::vector<std::unique_ptr<TRandomEvent>>& GetRandomEvents() const { return FRandomEvents; }
  int GetVictoryConditionCount() const { return static_cast<int>(FVictoryConditions.size()); }
  TVictoryCondition* GetVictoryCondition(int I) const;
  const std::vector<std::unique_ptr<TVictoryCondition>>& GetVictoryConditions() const { return FVictoryConditions; }
  int GetReinforcementCount() const { return static_cast<int>(FReinforcements.size()); }
  TReinforcement* GetReinforcement(int I) const;
  // The random event that fires this impulse (set by a coup or conquest), or nullptr.
  TRandomEvent* GetPendingRandomEvent() const { return FPendingRandomEvent; }
  void SetPendingRandomEvent(TRandomEvent* Event) { FPendingRandomEvent = Event; }

  // --- The game's date and pace ---
  TDateTime GetDate() const { return FDate; }
  void SetDate(TDateTime Value) { FDate = Value; }
  // Days the date advances per impulse (the scenario's "ImpulseRate", above 0).
  double GetImpulseRate() const { return FImpulseRate; }
  void SetImpulseRate(double Value) { FImpulseRate = Value; }
  // Date += ImpulseRate (at every impulse).
  void AdvanceDate() { FDate += FImpulseRate; }
  // The date on which a random event last fired by chance (0 none; every scenario load
  // resets it).
  TDateTime GetLastRandomEventDate() const { return FLastRandomEventDate; }
  void SetLastRandomEventDate(TDateTime Value) { FLastRandomEventDate = Value; }
  const std::string& GetDescription() const { return FDescription; }
  // The version number of the saved game read last.
  double GetSavedVersion() const { return FSavedVersion; }
  void SetSavedVersion(double Value) { FSavedVersion = Value; }
  // Points a research group needs for its next level: the defaults unless the scenario's
  // "ResearchGroups" line gave others.
  std::uint16_t GetResearchCost(int Group) const { return FResearchCosts.at(static_cast<std::size_t>(Group)); }
  bool GetWrapHorizontal() const { return FWrapHorizontal; }
  bool GetWrapVertical() const { return FWrapVertical; }

  // --- Flags the model reads ---
  // Bit 5: every zone is an airfield; bit 6: ports follow the map's coastal test; the others
  // belong to the impulse rules.
  std::uint8_t GetEngineOptions() const { return FEngineOptions; }
  void SetEngineOptions(std::uint8_t Value) { FEngineOptions = Value; }
  bool HasEngineOption(int Bit) const { return (FEngineOptions >> Bit) & 1u; }
  bool GetFreeForAll() const { return FFreeForAll; }
  void SetFreeForAll(bool Value) { FFreeForAll = Value; }
  std::int32_t GetWorldIndustry() const { return FWorldIndustry; }
  void SetWorldIndustry(std::int32_t Value) { FWorldIndustry = Value; }

  // --- Players, winner and dominations (the diplomacy and upkeep rules keep them) ---
  // The player names the diplomacy rules collected last: the distinct player names of the
  // living human-played major powers, in nation order.
  const std::vector<std::string>& GetPlayerNames() const { return FPlayerNames; }
  void SetPlayerNames(std::vector<std::string> Names) { FPlayerNames = std::move(Names); }
  // The winner found by the last upkeep: an alliance name or a nation ("" and nullptr for none).
  const std::string& GetWinnerName() const { return FWinnerName; }
  TNation* GetWinnerNation() const { return FWinnerNation; }
  void SetWinner(std::string Name, TNation* Nation) {
    FWinnerName = std::move(Name);
    FWinnerNation = Nation;
  }
  // Alliance I's domination as the last upkeep summed it (0 before); the upkeep stores one
  // per alliance.
  std::int32_t GetAllianceDomination(int I) const;
  void SetAllianceDominations(std::vector<std::int32_t> Values) { FAllianceDomination = std::move(Values); }

  // --- The step cost's context while a path is searched ---
  // The unit whose rules the step cost applies while a path is searched (nullptr for none).
  TUnit* GetPathUnit() const { return FPathUnit; }
  void SetPathUnit(TUnit* Unit) { FPathUnit = Unit; }
  // While set every step of a path costs 1.
  bool GetPathAll() const { return FPathAll; }
  void SetPathAll(bool Value) { FPathAll = Value; }
  // 0 normal, 1 for dock and bombard paths.
  std::int32_t GetPathMode() const { return FPathMode; }
  void SetPathMode(std::int32_t Value) { FPathMode = Value; }

protected:
  TGameState() = default;
  ~TGameState() = default;
  TGameState(const TGameState&) = delete;
  TGameState& operator=(const TGameState&) = delete;

  // --- The scenario's figures ---
  std::string FDescription;
  std::array<std::uint16_t, ResearchGroupCount> FResearchCosts = DefaultResearchCosts;
  bool FWrapVertical = false;
  bool FWrapHorizontal = false;
  double FSavedVersion = 0;

  // --- Nations, alliances and players ---
  std::vector<std::unique_ptr<TNation>> FNations;
  std::vector<std::string> FAlliances;
  int FMajorCount = 0;
  int FScenarioNationCount = 0;
  bool FAllComputer = false;
  std::vector<std::string> FPlayerNames;
  std::string FWinnerName;
  TNation* FWinnerNation = nullptr;
  std::vector<std::int32_t> FAllianceDomination;

  // --- Units ---
  TRandomAccessList<TUnit> FUnits;
  bool FClearing = false;

  // --- Storms, routings, events, victory conditions, reinforcements ---
  std::vector<std::unique_ptr<TStorm>> FStorms;
  std::vector<std::unique_ptr<TRouting>> FRoutings;
  std::vector<std::unique_ptr<TActiveEvent>> FActiveEvents;
  std::vector<std::unique_ptr<TRandomEvent>> FRandomEvents;
  TRandomEvent* FPendingRandomEvent = nullptr;
  TDateTime FLastRandomEventDate = 0;
  std::vector<std::unique_ptr<TVictoryCondition>> FVictoryConditions;
  std::vector<std::unique_ptr<TReinforcement>> FReinforcements;

  // --- The date and the pace ---
  TDateTime FDate = 0;
  double FImpulseRate = 1;

  // --- The path search's context ---
  TUnit* FPathUnit = nullptr;
  bool FPathAll = false;
  std::int32_t FPathMode = 0;

  // --- Flags ---
  std::uint8_t FEngineOptions = 0;
  bool FFreeForAll = false;
  std::int32_t FWorldIndustry = 0;
};
