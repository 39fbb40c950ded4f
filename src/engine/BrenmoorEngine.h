#pragma once
// The rules engine: the game's state (TGameState: nations, units, storms, routings, events,
// victory conditions, reinforcements) with the steps over it. It borrows the zones of the
// linked zone map, reads scenario files, queues order records, writes change records for the
// impulse clock, draws every random number of the rules and raises the game's events
// (TEngineEvents). The rules of an impulse live in classes of their own (ExecutionRules.h,
// SupplyRules.h, ...) that the engine owns; they and the windows, players, scripts and order
// and replay code reach each other through its public face (Engine.Supply().X()).
//
// A scenario is read into new state and takes the place of the old game only when the whole
// file could be used: a file that cannot be read is refused with a message naming the file,
// the line and the field, and the game that was there stays as it was.
//
// While an impulse runs (TImpulseRun) the engine lets the window system process pending
// messages at fixed points; nothing may then load, save or clear the game: those entry points
// raise EBrenmoorEngine.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/BrenmoorZone.h"
#include "engine/ChangeCodes.h"
#include "engine/EngineEvents.h"
#include "engine/EngineTypes.h"
#include "engine/GameRecords.h"
#include "engine/GameState.h"
#include "engine/KeptPaths.h"
#include "engine/OrderRefusal.h"
#include "engine/Unit.h"
#include "foundation/Random.h"
#include "sprites/ZoneMap.h"

class TAtomicRules;
class TCombatRules;
class TDiplomacyRules;
class TEndOfImpulseRules;
class TExecutionRules;
class TRandomEventRules;
class TReinforcementRules;
class TResearchRules;
class TSupplyRules;
class TUnitRules;
class TUpkeepRules;

// The online users of a game, as the impulse clock knows them (the first is the host).
class TImpulseUsers {
public:
  virtual ~TImpulseUsers() = default;
  virtual int GetUserCount() const = 0;
  virtual std::string GetUserName(int I) const = 0;
  // The user is taken out after the current impulse.
  virtual void MarkUserRemoved(const std::string& Name) = 0;
};

class TBrenmoorEngine : public TGameState, public TEngineEvents {
public:
  TBrenmoorEngine();
  ~TBrenmoorEngine();
  TBrenmoorEngine(const TBrenmoorEngine&) = delete;
  TBrenmoorEngine& operator=(const TBrenmoorEngine&) = delete;

  // --- Zones (borrowed from the map) ---
  // Links the zone map whose zones are the game's zones and takes its path-cost event. Every
  // zone of the map must have been made by CreateZone (through the map's OnCreateZone). The
  // map must outlive the link: unlink it (nullptr) before it goes. Whenever the map frees its
  // zones (a new map set, Clear) the engine first frees every unit and forgets every pointer
  // into a zone (capitals, routings, active events, the path unit); the nations and the
  // scenario's records stay for the next zone pass. The window must not reload the map set
  // while an impulse runs.
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
  static std::int32_t ZoneIndexOrNone(const TBrenmoorZone* Zone) { return Zone ? Zone->GetIndex() : -1; }
  // nullptr for -1; another index outside the zones raises EListError.
  TBrenmoorZone* ZoneOrNone(std::int32_t Index) const { return Index == -1 ? nullptr : GetZone(Index); }

  // --- Units ---
  // A new unit takes the next identifier, joins the engine's list and Zone's units (SetZone).
  // Tallies are the caller's: they may already hold the unit's counts.
  TUnit* AddUnit(std::unique_ptr<TUnit> Unit, TBrenmoorZone* Zone);
  // A unit read from a saved game keeps its identifier and joins the zone it names.
  TUnit* AddLoadedUnit(std::unique_ptr<TUnit> Unit);
  // Takes the unit out of its zone and frees it (its destructor leaves the engine's list and
  // fires OnRemoveUnit). Call TUnit::Remove first where the rules say so.
  void FreeUnit(TUnit* Unit);
  // Called by a unit's destructor: leaves the engine's list, then OnRemoveUnit (for a unit of
  // the game).
  void UnitDestroyed(TUnit* Unit);

  // --- Random numbers of the rules ---
  // Every draw of the rules comes from here; seed it to replay a game.
  TRandomGenerator& GetRandom() { return *FRules; }
  void SetRandomSeed(std::uint64_t Seed) { FRules->SetSeed(Seed); }
  // Draws from Generator instead of the engine's own (nullptr: the own again); the caller
  // keeps it alive while it is set. Tests script draws or forbid them this way.
  void SetRandomGenerator(TRandomGenerator* Generator) { FRules = Generator ? Generator : &FRandom; }

  // --- Impulses ---
  // Marks an impulse as running for the life of the object: loading, saving or clearing the
  // game is refused meanwhile (a window handler that runs at a pending-message point must not
  // pull the game away under the rules).
  class TImpulseRun {
  public:
    explicit TImpulseRun(TBrenmoorEngine& Engine);
    ~TImpulseRun();
    TImpulseRun(const TImpulseRun&) = delete;
    TImpulseRun& operator=(const TImpulseRun&) = delete;

  private:
    TBrenmoorEngine& FEngine;
    bool FOld;
  };
  bool IsImpulseRunning() const { return FImpulseRunning; }
  // Lets the window system process pending messages (the rules' fixed points in an impulse).
  void ProcessPendingMessages();
  // Raises EBrenmoorEngine "The game cannot be <Action> while an impulse runs" during one.
  void CheckNoImpulse(const char* Action) const;

  // --- Order records and the whole impulse (OrderStage.cpp, OrderCheck.cpp) ---
  // One queued order record and the user who sent it (a player name as the impulse clock
  // knows it).
  struct TQueuedOrder {
    std::string Record;
    std::string Sender;
    friend bool operator==(const TQueuedOrder&, const TQueuedOrder&) = default;
  };
  // Appends an order record of Sender for the coming impulse (arrival order). Every record
  // comes with its sender: the host checks it against that user (CheckOrder); records of this
  // machine's own user carry that user's name.
  void QueueOrder(const std::string& Record, const std::string& Sender) { FOrders.push_back({Record, Sender}); }
  int GetOrderCount() const { return static_cast<int>(FOrders.size()); }
  const std::vector<TQueuedOrder>& GetOrders() const { return FOrders; }
  // Hands the queue over and leaves it empty (the order stage).
  std::vector<TQueuedOrder> TakeOrders() { return std::exchange(FOrders, {}); }
  void ClearOrders() { FOrders.clear(); }
  // One impulse on the machine that runs the rules, at the engine's impulse number: the
  // pending random event is cleared, every unit's impulse state reset, every queued record
  // checked against its sender and carried out in queue order, the queue emptied, then the
  // units act and the end-of-impulse stages run. Runs as an impulse (TImpulseRun).
  void ProcessImpulse();
  // The first stages of ProcessImpulse: the pending random event cleared, every unit's impulse
  // state reset, every queued record checked and carried out, the queue emptied.
  void OrderStage();
  // Carries out one order record as the order stage does, without asking who sent it: a
  // record naming no unit, zone or nation that exists, a code above 43, or a patrol of fewer
  // than two zones does nothing. Draws no random number. Returns None when the order acted,
  // else why it did nothing.
  TOrderRefusal ApplyOrder(const std::string& Record);
  // Whether Sender may give the order (None), else why not: what it names belongs to one of
  // the sender's powers, the unit may take the order, counts are within what there is, texts
  // are clean and lists name each unit once. A record that fails is skipped by the order stage.
  TOrderRefusal CheckOrder(const std::string& Record, const std::string& Sender) const;
  // While set, the order stage keeps a line "<record> refused: <reason>" for every record it
  // refused or that did nothing (a debug aid of the host; off by default, nothing is written
  // then). Setting it either way empties the log.
  void SetRefusalLog(bool Value);
  const std::vector<std::string>& GetRefusalLog() const { return FRefusalLog; }
  // Whether Sender plays the nation: a human-played nation whose player name is Sender, or a
  // nation the computer plays (and every minor nation) when Sender is the machine that runs
  // the rules (the first impulse user, or anyone in a game without impulse users).
  bool SenderPlays(const std::string& Sender, const TNation* Nation) const;
  // The loading of a transport (Transport) or a carrier (else) Ship from the "#"-list of unit
  // identifiers: each unit that fits goes aboard whole, one too big has what fits split off
  // (change 13), until the room is used up. At: the carrier's zone, where air units land.
  void LoadShip(bool Transport, TBrenmoorZone* At, TUnit* Ship, const std::string& IDs);
  // The unit's custom name := Name; the units aiming at it know it by the new name (their
  // order texts and saved games show it), on every machine alike.
  void RenameUnit(TUnit* Unit, const std::string& Name);
  // What a factory, border defence level, airfield, port or rocket site costs the zone.
  static constexpr double ImprovementCost = 25.0;

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
  // Code ";" then each field followed by ";", only when WritesChanges.
  template <class... Ts>
  void AddChange(TChangeCode Code, const Ts&... Fields) {
    if (WritesChanges()) FChangeSink->AddChange(ChangeRecord(Code, Fields...));
  }
  // Code ";" the unit's identifier ";" then each field followed by ";", under the same
  // conditions.
  template <class... Ts>
  void AddUnitChange(const TUnit* Unit, TChangeCode Code, const Ts&... Fields) {
    if (WritesChanges()) FChangeSink->AddChange(ChangeRecord(Code, Unit->ID, Fields...));
  }
  // Unit change 3: order code, destination zone (-1), destination unit (-1), attacking.
  void SendUnitOrder(const TUnit* Unit);
  // Replays one change record of the host (see Replay.cpp for the codes).
  void ApplyStateChange(const std::string& Record);

  // --- Paths (the step cost reads the path unit, mode and all-switch of the state) ---
  // The path's cost from A to B under the engine's step cost (no path unit); with a Limit,
  // UnreachablePathCost for every path that costs Limit or more. The map's path list stays.
  std::int32_t FindPathCost(TBrenmoorZone* A, TBrenmoorZone* B, std::int64_t Limit = TZoneMap::UnreachablePathCost);
  // The number of steps from A to B (every step costing 1); UnreachablePathCost without a way.
  // The map's path list stays.
  std::int32_t FindPathLength(TBrenmoorZone* A, TBrenmoorZone* B);
  // The map's path list from A to B, as the map's FindPath gives it under the present step
  // cost (path unit, path mode), from a kept search when one from A is at hand.
  void FindPath(TBrenmoorZone* A, TBrenmoorZone* B);
  // The kept search from A under the present step cost; nullptr when there is none (it makes
  // none), without a map, or for a zone not in it.
  const TPathTree* KeptPathTree(TBrenmoorZone* A);
  // Whether searches are kept for later paths from the same zone under the same step costs
  // (on by default; off, every path is searched afresh, with the same results).
  bool GetKeepPathSearches() const { return FKeepPathSearches; }
  void SetKeepPathSearches(bool Value);

  // --- Scenario ---
  // Frees the game: units, nations, alliances, storms, routings, active and random events,
  // victory conditions, reinforcements, the order queue and the zones' game state. Refused
  // while an impulse runs.
  void ClearGame();
  // The scenario file as set ("" before).
  const std::string& GetScenarioFile() const { return FScenarioFile; }
  // Reads the file (ReadScenario). A file that does not exist raises EBrenmoorEngine "File
  // does not exist: " + name; like every refusal it leaves the game that was there.
  void SetScenarioFile(const std::string& FileName);
  // The text of a scenario file; a file that does not exist raises EBrenmoorEngine "File does
  // not exist: " + name, one that cannot be read "Scenario file "name" cannot be read".
  static std::string ReadScenarioText(const std::string& FileName);
  // The first pass over a scenario's lines "name=value", into new state: "Alliance",
  // "NationCount", "Nation", "RandomEvent", "VictoryCondition", "Reinforcement",
  // "ResearchGroups", "EngineOptions", "Wrapping"; then "Description", "Date" (default
  // 11/1/1940) and "ImpulseRate" (required, above 0), and the alliance relations. Only when
  // all of it can be used does it replace the game (ClearGame first). A line that cannot be
  // used raises EBrenmoorEngine "Scenario file "name", line n, field Key: what" (the file
  // left out when FileName is ""); a missing key names no line.
  void ReadScenario(const std::string& Text, const std::string& FileName = {});
  // The whole scenario file, line by line, as read.
  const std::vector<std::string>& GetScenarioLines() const { return FScenarioLines; }
  // The value of the scenario's first "MapSet" line ("" without one).
  std::string GetMapSet() const;
  // The second pass, once the map is loaded: "Zone" lines into their zones (a name of no zone
  // is reported through OnMessage and skipped), every "Nation" line again into its nation,
  // then the zones are numbered and their border texts become border defences; the random
  // events are marked not fired and all-computer is set. A reinforcement in a zone the map
  // lacks, a random event in an area zone it lacks, or a record that cannot be used raises
  // EBrenmoorEngine naming the line, and the half-read game is cleared.
  void LoadZoneData();
  // The scenario's starting units from every zone's tallies (rows of majors, row 7 for the
  // zone's minor owner).
  void PlaceInitialUnits();
  // After the objects of a saved game are read: capitals, then each zone's tallies, supply
  // source, border defences and rocket target, then each unit's destination, based and
  // boarded units.
  void ResolveLoadedReferences();

  // --- Saved game (SavedGame.cpp) ---
  // The version a saved game is written with, and the newest one this program reads.
  static constexpr double SavedGameVersion = 4.0;
  // Loads the map set that a saved game's scenario names: the window's map surface (its
  // SetMapSetFile reloads only a map set of another file name).
  class TMapSetLoader {
  public:
    virtual ~TMapSetLoader() = default;
    // The map set's name as it was last loaded ("" before).
    virtual std::string GetMapSetFile() const = 0;
    // Loads the map set into the linked zone map, all or nothing.
    virtual void SetMapSetFile(const std::string& FileName) = 0;
  };
  // Without a loader the linked map stays whatever map set the scenario names.
  void SetMapSetLoader(TMapSetLoader* Loader) { FMapSetLoader = Loader; }
  TMapSetLoader* GetMapSetLoader() const { return FMapSetLoader; }
  // The number of the impulse the game has reached (0 for a new game). The impulse clock
  // counts it; a saved game keeps it.
  std::int32_t GetImpulse() const { return FImpulse; }
  void SetImpulse(std::int32_t Value) { FImpulse = Value; }
  // The whole game as one line of values each followed by ";". The live game stays exactly
  // as it is (a submerged fleet is written surfaced and stays submerged). Refused while an
  // impulse runs.
  std::string SaveToString();
  // Replaces the game by a saved one: the scenario it names is read again from the current
  // folder, the map set reloaded when the scenario names another, the objects read and their
  // references resolved. A text that cannot be used (a newer version, an empty game, a
  // missing scenario, counts that do not fit the scenario or the map, a value that cannot be
  // read) raises an error with a message and leaves the game that was there as it was.
  // Refused while an impulse runs.
  void LoadFromString(const std::string& Text);

  // --- Online users ---
  // The online users of the game, for the upkeep's removal of players who play nothing.
  void SetImpulseUsers(TImpulseUsers* Users) { FImpulseUsers = Users; }
  TImpulseUsers* GetImpulseUsers() const { return FImpulseUsers; }

  // --- Checks ---
  // "" when every zone's tallies equal a recount of its units; else the first difference.
  std::string CheckTallies() const;

  // --- Events (EngineEvents.h) ---
  // Fires Event with the engine as Sender when it is assigned.
  template <class TEvent, class... Ts>
  void Fire(const TEvent& Event, Ts&&... Args) {
    if (Event) Event(this, std::forward<Ts>(Args)...);
  }

  // --- The rules ---
  // Each rules class works over this engine's state; its header says what each rule does.
  // Code outside the rules calls their entry points through these (Engine.Supply().X()).
  TExecutionRules& Execution() { return *FExecutionRules; }
  TEndOfImpulseRules& EndOfImpulse() { return *FEndOfImpulseRules; }
  TCombatRules& Combat() { return *FCombatRules; }
  TAtomicRules& Atomic() { return *FAtomicRules; }
  TSupplyRules& Supply() { return *FSupplyRules; }
  TUpkeepRules& Upkeep() { return *FUpkeepRules; }
  const TUpkeepRules& Upkeep() const { return *FUpkeepRules; }
  TDiplomacyRules& Diplomacy() { return *FDiplomacyRules; }
  const TDiplomacyRules& Diplomacy() const { return *FDiplomacyRules; }
  TResearchRules& Research() { return *FResearchRules; }
  TRandomEventRules& RandomEvents() { return *FRandomEventRules; }
  const TRandomEventRules& RandomEvents() const { return *FRandomEventRules; }
  TReinforcementRules& Reinforcements() { return *FReinforcementRules; }
  const TReinforcementRules& Reinforcements() const { return *FReinforcementRules; }
  TUnitRules& UnitRules() { return *FUnitRules; }
  const TUnitRules& UnitRules() const { return *FUnitRules; }

private:
  // --- Reading the scenario and saved games ---
  struct TScenario;
  struct TSavedGame;
  // The game goes, whether or not an impulse runs (the destructor, a refused zone pass).
  void FreeGame();
  void ReadZoneData();
  // Reads the saved game into this engine's game (the scenario's text given).
  void ReadSavedGame(const TSavedGame& Saved, const std::string& ScenarioText);
  // The map is about to free its zones: every unit and every pointer into a zone goes.
  void DropZoneReferences();

  // Keys the present step cost from A; false when the map's step cost is not the engine's.
  bool PathTreeKey(TBrenmoorZone* A, TKeptPaths::TKey& Key);

  // --- The zone map and paths ---
  TZoneMap* FZoneMap = nullptr;
  int FClearListener = 0;
  bool FKeepPathSearches = true;
  TKeptPaths FKeptPaths;

  // --- The scenario and the saved game ---
  std::vector<std::string> FScenarioLines;
  std::string FScenarioFile;
  // The name of the file whose lines are held, for the zone pass's errors.
  std::string FScenarioName;
  TMapSetLoader* FMapSetLoader = nullptr;

  // --- Online users ---
  TImpulseUsers* FImpulseUsers = nullptr;

  // --- The impulse and the order queue ---
  std::int32_t FImpulse = 0;
  bool FImpulseRunning = false;
  std::vector<TQueuedOrder> FOrders;
  bool FLogRefusals = false;
  std::vector<std::string> FRefusalLog;

  // --- Random numbers and change records ---
  TRandomGenerator FRandom;
  TRandomGenerator* FRules = &FRandom;
  TChangeSink* FChangeSink = nullptr;
  bool FLocalOnly = false;

  // --- The rules (made in the constructor) ---
  std::unique_ptr<TExecutionRules> FExecutionRules;
  std::unique_ptr<TEndOfImpulseRules> FEndOfImpulseRules;
  std::unique_ptr<TCombatRules> FCombatRules;
  std::unique_ptr<TAtomicRules> FAtomicRules;
  std::unique_ptr<TSupplyRules> FSupplyRules;
  std::unique_ptr<TUpkeepRules> FUpkeepRules;
  std::unique_ptr<TDiplomacyRules> FDiplomacyRules;
  std::unique_ptr<TResearchRules> FResearchRules;
  std::unique_ptr<TRandomEventRules> FRandomEventRules;
  std::unique_ptr<TReinforcementRules> FReinforcementRules;
  std::unique_ptr<TUnitRules> FUnitRules;
};
