#pragma once
// The rules engine: owns the game model (nations and units), borrows the zones of the linked
// zone map, draws every random number of the rules from its own generator, writes change records
// for the impulse clock and raises the game's events. This is the part of the engine the model
// needs: the lists and their lookups, the flags the model reads, the change-record writers, the
// path searches and the scenario's nation and zone lines with the initial placement of units.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorZone.h"
#include "engine/EngineTypes.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/Random.h"
#include "foundation/RandomAccessList.h"
#include "foundation/StringUtils.h"
#include "sprites/ZoneMap.h"

// Where change records go: the impulse clock. A record is written only when the clock is the
// host and is active (and the engine's local-only switch is clear).
class TChangeSink {
public:
  virtual ~TChangeSink() = default;
  virtual bool IsHost() const = 0;
  virtual bool IsActive() const = 0;
  // Record: the change record (code and fields, each followed by ";").
  virtual void AddChange(const std::string& Record) = 0;
};

class TBrenmoorEngine;
using TEngineUnitEvent = std::function<void(TBrenmoorEngine* Sender, TUnit* AUnit)>;
using TEngineNationZoneEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TBrenmoorZone* AZone)>;
using TEngineNationsEvent = std::function<void(TBrenmoorEngine* Sender, TNation* Nation1, TNation* Nation2)>;

// The counts of a new unit placement, one per unit type.
using TUnitCounts = std::array<std::uint16_t, UnitTypeCount>;

class TBrenmoorEngine {
public:
  TBrenmoorEngine();
  ~TBrenmoorEngine();
  TBrenmoorEngine(const TBrenmoorEngine&) = delete;
  TBrenmoorEngine& operator=(const TBrenmoorEngine&) = delete;

  // --- Zones (borrowed from the map) ---
  // Links the zone map whose zones are the game's zones and takes its path-cost event. Every
  // zone of the map must have been made by CreateZone (through the map's OnCreateZone). The
  // map must outlive the link: unlink it (nullptr) before it goes.
  void SetZoneMap(TZoneMap* Map);
  TZoneMap* GetZoneMap() const { return FZoneMap; }
  // A game zone for the map's OnCreateZone handler.
  std::unique_ptr<TBrenmoorZone> CreateZone(TZoneMap& Map, const std::string& Text);
  // 0 without map.
  int GetZoneCount() const;
  // Zone I; an index outside raises EListError.
  TBrenmoorZone* GetZone(int I) const;
  // The first zone with exactly that name, or nullptr.
  TBrenmoorZone* FindZoneByName(const std::string& Name) const;

  // --- Nations ---
  int GetNationCount() const { return static_cast<int>(FNations.size()); }
  // Nation I; an index outside raises EListError.
  TNation* GetNation(int I) const;
  TNation* FindNation(const std::string& Name) const;
  // Appends the nation (its index is its position) and counts it as a major when it is one.
  TNation* AddNation(std::unique_ptr<TNation> Nation);
  int GetMajorCount() const { return FMajorCount; }
  // The scenario's "NationCount": the size of every nation's relation array.
  int GetScenarioNationCount() const { return FScenarioNationCount; }
  void SetScenarioNationCount(int Value) { FScenarioNationCount = Value; }

  // --- Units ---
  int GetUnitCount() const { return FUnits.Count(); }
  TUnit* GetUnit(int I) const { return FUnits.Items(I); }
  // nullptr for -1 or an identifier no unit bears.
  TUnit* GetUnitByID(std::int32_t ID) const { return ID < 0 ? nullptr : FUnits.ItemByID(ID); }
  const TRandomAccessList<TUnit>& GetUnits() const { return FUnits; }
  // A new unit takes the next identifier, joins the engine's list and Zone's units (SetZone).
  // Tallies are the caller's: they may already hold the unit's counts.
  TUnit* AddUnit(std::unique_ptr<TUnit> Unit, TBrenmoorZone* Zone);
  // A unit read from a saved game keeps its identifier and joins the zone it names.
  TUnit* AddLoadedUnit(std::unique_ptr<TUnit> Unit);
  // Takes the unit out of its zone and frees it (its destructor leaves the engine's list and
  // fires OnRemoveUnit). Call TUnit::Remove first where the rules say so.
  void FreeUnit(TUnit* Unit);
  // Up to three new units of Nation in Zone, one per kind with a count above 0, navy first;
  // an army or air force placed at sea boards or bases on the nation's first fleet there.
  // The tallies are left alone. Returns the units made.
  std::vector<TUnit*> PlaceUnits(TNation* Nation, TBrenmoorZone* Zone, const TUnitCounts& Counts);

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

  // --- Random numbers of the rules ---
  TRandomGenerator& GetRandom() { return FRandom; }

  // --- Change records ---
  void SetChangeSink(TChangeSink* Sink) { FChangeSink = Sink; }
  TChangeSink* GetChangeSink() const { return FChangeSink; }
  // While set no change record is written (the upkeep that every machine runs alone).
  bool GetLocalOnly() const { return FLocalOnly; }
  void SetLocalOnly(bool Value) { FLocalOnly = Value; }
  // True when a change record written now would go out.
  bool WritesChanges() const {
    return FChangeSink && FChangeSink->IsHost() && !FLocalOnly && FChangeSink->IsActive();
  }
  // Code ";" then each field followed by ";".
  template <class... Ts>
  void AddChange(int Code, const Ts&... Fields) {
    if (WritesChanges()) FChangeSink->AddChange(Tokenize(";", Code, Fields...));
  }
  // Code ";" the unit's identifier ";" then each field followed by ";".
  template <class... Ts>
  void AddUnitChange(const TUnit* Unit, int Code, const Ts&... Fields) {
    if (WritesChanges()) FChangeSink->AddChange(Tokenize(";", Code, Unit->ID, Fields...));
  }
  // Unit change 3: order code, destination zone (-1), destination unit (-1), attacking.
  void SendUnitOrder(const TUnit* Unit);

  // --- Paths ---
  // The unit whose rules the step cost applies while a path is searched (nullptr for none).
  TUnit* GetPathUnit() const { return FPathUnit; }
  void SetPathUnit(TUnit* Unit) { FPathUnit = Unit; }
  // While set every step of a path costs 1.
  bool GetPathAll() const { return FPathAll; }
  void SetPathAll(bool Value) { FPathAll = Value; }
  // 0 normal, 1 for dock and bombard paths.
  std::int32_t GetPathMode() const { return FPathMode; }
  void SetPathMode(std::int32_t Value) { FPathMode = Value; }
  // The path's cost from A to B under the engine's step cost (no path unit).
  std::int32_t FindPathCost(TBrenmoorZone* A, TBrenmoorZone* B);
  // The number of steps from A to B (every step costing 1); UnreachablePathCost without a way.
  std::int32_t FindPathLength(TBrenmoorZone* A, TBrenmoorZone* B);

  // --- Rules of other parts the model calls ---
  // The conquest of a whole nation; Annex for a minor that joins a major peacefully. The
  // conquest itself (zones, units, exile) comes with the diplomacy rules; until then nothing
  // changes.
  void ConquerNation(TNation* Conqueror, TNation* Conquered, bool Annex);

  // --- Scenario ---
  // Frees the game: units, nations, the zones' game state.
  void ClearGame();
  // The first pass over a scenario's lines "name=value": "NationCount", "Nation" (created in
  // order) and "Alliance"; then the alliance relations. The lines are kept for LoadZoneData.
  // A record that cannot be used raises EBrenmoorEngine naming the line ("Scenario line n: ").
  void ReadScenario(const std::string& Text);
  // The second pass, once the map is loaded: "Zone" lines into their zones (a name of no zone
  // is reported through OnMessage and skipped), every "Nation" line again into its nation,
  // then the zones are numbered and their border texts become border defences.
  void LoadZoneData();
  // The scenario's starting units from every zone's tallies (rows of majors, row 7 for the
  // zone's minor owner).
  void PlaceInitialUnits();
  // After the objects of a saved game are read: capitals, then each zone's tallies, supply
  // source, border defences and rocket target, then each unit's destination, based and
  // boarded units.
  void ResolveLoadedReferences();

  // --- Checks ---
  // "" when every zone's tallies equal a recount of its units; else the first difference.
  std::string CheckTallies() const;

  // --- Events (each fired only when assigned, the engine as Sender) ---
  TEngineUnitEvent OnRemoveUnit;
  TEngineNationZoneEvent OnInvadeZone;
  TEngineNationsEvent OnDeclareWar;
  TEngineNationsEvent OnDeclareAllies;
  // A notice for the player that does not stop the load ("Zone x not found").
  std::function<void(TBrenmoorEngine* Sender, const std::string& Text)> OnMessage;

  // Called by a unit's destructor: leaves the engine's list, then OnRemoveUnit (for a unit of
  // the game).
  void UnitDestroyed(TUnit* Unit);
  // True while ClearGame frees every unit (the units skip unlinking from each other).
  bool IsClearing() const { return FClearing; }

private:
  void PathCost(TZone* Zone1, TZone* Zone2, std::int32_t& Cost);
  EBrenmoorEngine LineError(int Line, const std::string& What) const;

  TZoneMap* FZoneMap = nullptr;
  std::vector<std::unique_ptr<TNation>> FNations;
  TRandomAccessList<TUnit> FUnits;
  std::vector<std::string> FScenarioLines;
  std::vector<std::string> FAlliances;
  int FMajorCount = 0;
  int FScenarioNationCount = 0;
  std::uint8_t FEngineOptions = 0;
  bool FFreeForAll = false;
  std::int32_t FWorldIndustry = 0;
  TRandomGenerator FRandom;
  TChangeSink* FChangeSink = nullptr;
  bool FLocalOnly = false;
  TUnit* FPathUnit = nullptr;
  bool FPathAll = false;
  std::int32_t FPathMode = 0;
  bool FClearing = false;
};
