#pragma once
// The rules engine: owns the game model (nations, units, storms, routings, random and active
// events, victory conditions, reinforcements), borrows the zones of the linked zone map, reads
// scenario files, queues order records, writes change records for the impulse clock, draws
// every random number of the rules from its own generator and raises the game's events.
//
// A scenario is read into new state and takes the place of the old game only when the whole
// file could be used: a file that cannot be read is refused with a message naming the file,
// the line and the field, and the game that was there stays as it was.
//
// While an impulse runs (TImpulseRun) the engine lets the window system process pending
// messages at fixed points; nothing may then load, save or clear the game: those entry points
// raise EBrenmoorEngine.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <utility>
#include <vector>

#include "engine/BrenmoorZone.h"
#include "engine/ChangeCodes.h"
#include "engine/EngineTypes.h"
#include "engine/GameRecords.h"
#include "engine/Nation.h"
#include "engine/OrderRefusal.h"
#include "engine/Unit.h"
#include "foundation/DateUtils.h"
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

// The online users of a game, as the impulse clock knows them (the first is the host).
class TImpulseUsers {
public:
  virtual ~TImpulseUsers() = default;
  virtual int GetUserCount() const = 0;
  virtual std::string GetUserName(int I) const = 0;
  // The user is taken out after the current impulse.
  virtual void MarkUserRemoved(const std::string& Name) = 0;
};

class TBrenmoorEngine;
using TEngineUnitEvent = std::function<void(TBrenmoorEngine* Sender, TUnit* AUnit)>;
using TEngineNationZoneEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TBrenmoorZone* AZone)>;
using TEngineNationsEvent = std::function<void(TBrenmoorEngine* Sender, TNation* Nation1, TNation* Nation2)>;
using TEngineNationEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation)>;
using TEngineStormEvent = std::function<void(TBrenmoorEngine* Sender, TStorm* AStorm)>;
using TEngineRandomEventEvent = std::function<void(TBrenmoorEngine* Sender, TRandomEvent* AnEvent)>;
// AGroup: the research group (0..7).
using TEngineResearchEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, int AGroup)>;
using TEngineUnitTypeEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TUnitType AUnitType)>;
using TEngineZoneEvent = std::function<void(TBrenmoorEngine* Sender, TZone* AZone)>;
using TEngineDiplomacyEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TNation* TargetNation, int n)>;
using TEngineTextEvent = std::function<void(TBrenmoorEngine* Sender, const std::string& Text)>;

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

  // --- Storms, routings, events, victory conditions, reinforcements ---
  int GetStormCount() const { return static_cast<int>(FStorms.size()); }
  TStorm* GetStorm(int I) const;
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
  int GetVictoryConditionCount() const { return static_cast<int>(FVictoryConditions.size()); }
  TVictoryCondition* GetVictoryCondition(int I) const;
  int GetReinforcementCount() const { return static_cast<int>(FReinforcements.size()); }
  TReinforcement* GetReinforcement(int I) const;

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
  // The text of one field of a record: integers in decimal, booleans "1"/"0", a float32 in
  // its shortest form, other floats as the joiner writes them, texts as they are.
  template <class T>
  static std::string FieldText(const T& Value) {
    if constexpr (std::is_same_v<T, float>)
      return SingleToStr(Value);
    else
      return TokenText(Value);
  }
  // Code ";" then each field followed by ";".
  template <class... Ts>
  static std::string ChangeRecord(int Code, const Ts&... Fields) {
    std::string S = IntToStr(Code) + ";";
    ((S += FieldText(Fields), S += ';'), ...);
    return S;
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
  // The path's cost from A to B under the engine's step cost (no path unit); with a Limit,
  // UnreachablePathCost for every path that costs Limit or more. The map's path list stays.
  std::int32_t FindPathCost(TBrenmoorZone* A, TBrenmoorZone* B, std::int64_t Limit = TZoneMap::UnreachablePathCost);
  // The number of steps from A to B (every step costing 1); UnreachablePathCost without a way.
  // The map's path list stays.
  std::int32_t FindPathLength(TBrenmoorZone* A, TBrenmoorZone* B);
  // The map's path list from A to B, as the map's FindPath gives it under the present step
  // cost (path unit, path mode), from a kept search when one from A is at hand.
  void FindPath(TBrenmoorZone* A, TBrenmoorZone* B);
  // The map's search from A under the present step cost: a kept one, or one made and kept
  // now (nullptr without a map, or for a zone not in it). KeptPathTree makes none.
  const TPathTree* PathTreeFrom(TBrenmoorZone* A);
  const TPathTree* KeptPathTree(TBrenmoorZone* A);
  // Whether searches are kept for later paths from the same zone under the same step costs
  // (on by default; off, every path is searched afresh, with the same results).
  bool GetKeepPathSearches() const { return FKeepPathSearches; }
  void SetKeepPathSearches(bool Value);

  // --- Rules of other parts the model calls ---
  // The conquest of a whole nation (Diplomacy.cpp); Annex for a minor that joins a major
  // peacefully. Draws on the host: the exile host and the units caught near the capital; then
  // ApplyConquest and change 33; after a conquest by arms the conquered's friends turn on the
  // conqueror. Nothing for a nation that is missing or dead.
  void ConquerNation(TNation* Conqueror, TNation* Conquered, bool Annex);

  // --- Diplomacy, exile, surrender, convoys, free-for-all (Diplomacy.cpp) ---
  // Spends one diplomatic action of Nation (change 35) and carries out Action 0..7 against
  // Target; another action value spends the action only.
  void DiplomaticAction(TNation* Nation, TNation* Target, int Action);
  // The state change of a conquest, the same on every machine (change 33): Conquered dies, its
  // zones go to the exile host or the conqueror, the units caught (UnitList: identifiers each
  // followed by "#") to the conqueror and the rest to the host or the conqueror.
  void ApplyConquest(TNation* Conqueror, TNation* Conquered, TNation* ExileHost, bool Annex, const std::string& UnitList);
  // Every zone of From becomes To's; nothing when To is nullptr.
  void TransferZones(const TNation* From, TNation* To);
  // The player surrenders or leaves: every unit of the living major powers he plays goes out
  // of the game (their zones stay theirs); the impulse users mark him removed;
  // OnPlayerSurrender. The order stage writes change 56 before it.
  void RemovePlayer(const std::string& PlayerName);
  // Ships Zone's whole 5.0 resources as Merchant Ships from its port zone (else its first sea
  // neighbour) towards its supply source (change 57). A zone with neither sea zone, or with
  // less than 5.0 resources, ships nothing: nullptr.
  TUnit* LaunchConvoy(TBrenmoorZone* Zone);
  // Every major power against every other (on the machine that runs the rules): the flag,
  // attack without war, no alliance, relations -100 (change 58, then the relation records). A
  // machine whose change sink is a guest's decides nothing (false): the host's record brings it.
  bool StartFreeForAll();
  // The state part of the free-for-all start (the replay of change 58): the flag, attack
  // without war and no alliance for every major power, -100 between a dead major and every
  // other major (the living pairs follow in the host's relation records).
  void ApplyFreeForAll();
  // The number of major powers alive.
  int GetLivingNationCount() const;
  // False in a game of computer players only; else at least two major powers live.
  bool CanContinueFreeForAll() const;
  // Every major power's Tag := its total industry (at the game's end).
  void StoreIndustryTotals();
  // The player names := the distinct player names of the living human-played major powers, in
  // nation order; returns how many there are.
  int CollectPlayerNames();
  const std::vector<std::string>& GetPlayerNames() const { return FPlayerNames; }
  // True when the units may merge: some, in a zone without battle, one kind and one owner,
  // none an army or air force at sea, an air force under orders or a submerged fleet, and
  // together no more of a type than a unit holds (65,535).
  bool CanMergeUnits(const std::vector<TUnit*>& Units) const;
  // Whether the distinct units among Units hold together at most 65,535 of every type.
  static bool MergedCountsFit(const std::vector<TUnit*>& Units);
  static std::int32_t ZoneIndexOrNone(const TBrenmoorZone* Zone) { return Zone ? Zone->GetIndex() : -1; }
  static std::int32_t UnitIDOrNone(const TUnit* Unit) { return Unit ? Unit->ID : -1; }
  // nullptr for -1; another index outside the zones raises EListError.
  TBrenmoorZone* ZoneOrNone(std::int32_t Index) const { return Index == -1 ? nullptr : GetZone(Index); }
  // The replay of change 57: the convoy that the host launched from Zone.
  TUnit* ReplayConvoy(TBrenmoorZone* Zone, std::int32_t Ships, float Resources, TBrenmoorZone* Place);

  // --- Reinforcements and placement (Reinforcements.cpp) ---
  // Places the reinforcement's units and tallies them, then OnReinforcement (zone) when its
  // nation is played by a human here. A reinforcement of a dead nation brings nothing; one
  // into a land zone that another nation now holds arrives in the nearest land zone of its
  // nation (fewest steps, then the lowest index), or nowhere when it holds none. Returns the
  // zone it arrived in (nullptr for none).
  TBrenmoorZone* ArriveReinforcement(TReinforcement* Reinforcement);
  // The Manhattan distance of the zones' centre points, across the map's edges where it wraps.
  std::int32_t ZoneDistance(const TBrenmoorZone* A, const TBrenmoorZone* B) const;

  // --- Random event effects (RandomEvents.cpp) ---
  // The immediate effect of an event that has just fired: units destroyed (damage for the
  // losses stage), organisation, or resources (change 39); the other effects act later.
  void ApplyRandomEventEffect(const TActiveEvent& Event);
  // Whether the event's area holds the unit, or the zone (an owned zone only).
  bool EventHitsUnit(const TActiveEvent& Event, const TUnit* Unit) const;
  bool EventHitsZone(const TActiveEvent& Event, const TBrenmoorZone* Zone) const;

private:
  std::vector<std::string> FPlayerNames;

public:

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

private:
  struct TSavedGame;
  // Reads the saved game into this engine's game (the scenario's text given).
  void ReadSavedGame(const TSavedGame& Saved, const std::string& ScenarioText);
  std::int32_t FImpulse = 0;
  TMapSetLoader* FMapSetLoader = nullptr;

public:
  // --- Rules every machine runs: division, merging, drift, formations, supply, upkeep ---
  // Splits off a new unit of Unit's owner and kind with the counts of the "#"-text; with a
  // carrier, an air force or fleet joins its base list and an army is ordered to embark.
  TUnit* DivideUnit(TUnit* Unit, const std::string& Counts, TUnit* Carrier);
  // Merges the units named in the first ";"-field ("#"-separated identifiers; unknown and
  // repeated ones are skipped) into one: false, changing nothing, when two differ in kind or
  // owner. The unit kept is the first by (creator dead, identifier). Zone is not used.
  bool MergeUnits(TBrenmoorZone* Zone, const std::string& IDs);
  // A random shift of A's relation to B by up to Amount, damped by B's Value5, held to
  // -100..100 (64-bit arithmetic: any 32-bit amount is safe). Does nothing without both
  // nations, for A = B and at -100 or 100. True when the relation changed, so that a caller
  // that drifts until a bound is reached can stop when nothing moves.
  bool DriftRelation(TNation* A, TNation* B, std::int64_t Amount);
  // The 16 formation values from "#"-fields ("-" keeps one); the Atomic Bomber takes the
  // Bomber's. A field that is neither raises EConvertError.
  void SetFormations(TNation* Nation, const std::string& Text);
  // The rules' step cost of the path search from Zone1 into Zone2 (the map's OnPathCost).
  void PathCostHandler(TZone* Zone1, TZone* Zone2, std::int32_t& Cost);
  void AddAlliance(const std::string& Name);
  // A draw 0..99 below the nation's Countdown.
  bool PercentChance(const TNation* Nation);
  void ApplyUnitEventModifiers(int Effect, double& Value, const TUnit* Unit) const { ApplyModifiers(Effect, Value, Unit); }
  // After every impulse on every machine, without draws or change records: income, research
  // points, supply hand-over, reorganisation, the routings' step.
  void SupplyUpkeep();
  // Points the owner's connected zones around Zone (Depth steps) at it.
  void ComputeSupply(TBrenmoorZone* Zone, std::int32_t Depth);
  // A routing of Amount from From to To, taken from From now (no lower bound); refused
  // (nullptr, nothing taken) without both zones or from a zone to itself.
  TRouting* CreateRouting(TBrenmoorZone* From, TBrenmoorZone* To, std::int32_t Amount);
  // Every zone of the nation becomes its own supply source.
  void ResetSupplySources(const TNation* Nation);
  // Before every impulse: bomb and strike counts, world industry, the units' impulse flags.
  void BeginImpulse();
  // Which major powers see each zone; Impulse is the number of the impulse just run.
  void UpdateVisibility(std::int32_t Impulse);
  // The rest of the upkeep (local only): storm cover, homeless air units, diplomatic actions,
  // countdowns, influence, active events, alliances, players, dominations and the winner.
  void EndImpulseUpkeep(std::int32_t Impulse);
  // Flies an air unit without a home to the first allied land zone within its range, or
  // takes it out of the game. Draws nothing and writes nothing.
  void RebaseHomelessAirUnit(TUnit* Unit);
  // The online users of the game, for the upkeep's removal of players who play nothing.
  void SetImpulseUsers(TImpulseUsers* Users) { FImpulseUsers = Users; }
  TImpulseUsers* GetImpulseUsers() const { return FImpulseUsers; }
  // The winner found by the last upkeep: an alliance name or a nation ("" and nullptr for none).
  const std::string& GetWinnerName() const { return FWinnerName; }
  TNation* GetWinnerNation() const { return FWinnerNation; }
  // Alliance I's domination as the last upkeep summed it (0 before).
  std::int32_t GetAllianceDomination(int I) const;
  // Takes the unit's counts out of its zone's tallies: a unit leaving the game with them.
  static void UntallyUnit(const TUnit* Unit);
  // Replays one change record of the host (see Replay.cpp for the codes).
  void ApplyStateChange(const std::string& Record);

  // --- Combat, research and the atomic bomb (Combat.cpp, Research.cpp, Atomic.cpp) ---
  // The kamikaze attack of an air unit: one of its planes falls for every hit it marks on the
  // last enemy fleet of its zone, until it has none left or no fleet is left to hit. A unit
  // that is no air force is refused (false, nothing changes).
  bool Kamikaze(TUnit* Unit);
  // The end-of-impulse reports: every unit whose organisation or experience changed goes out
  // in change 1 and change 36, with two decimals; the host keeps exactly the value it sent.
  void ReportUnitChanges();
  // The total and eight group spendings from "total#g0#...#g7#" (the groups as bytes).
  void SetResearchAllocation(TNation* Nation, const std::string& Text);
  // One level gained in the group; Pick chooses the unit type a conventional group improves.
  // A group outside 0..7 or a negative pick is refused (false, nothing changes).
  bool AdvanceResearch(TNation* Nation, int Group, std::int32_t Pick);
  // The research stage of an impulse: progress by chance for every living major power that
  // spends, and the levels reached. Change 41 goes out before each change 42, so that a
  // guest replays the progress in the order the host made it.
  void ResearchStage();
  // Applies the triples of a change 42 ("nation#group#pick#..."): a list naming a group
  // outside 0..7 or a pick outside 0..99 is refused whole (false).
  bool ApplyResearchLevels(const std::string& List);
  // The sum of the world domination of the major powers of the alliance (the research and
  // diplomacy windows show it), counted now.
  std::int32_t GetAllianceDomination(const std::string& AllianceName) const;
  // The atomic bombs of Unit (of Nation) fall on Zone: industry, resources and factories are
  // lost by chance, units at war with Nation are damaged; change 44 and the relation to the
  // zone's owner falls.
  void AtomicBomb(TNation* Nation, TBrenmoorZone* Zone, TUnit* Unit);
  // The state change of an atomic bomb as change 44 carries it.
  void ApplyAtomicBomb(TNation* Nation, TBrenmoorZone* Zone, TUnit* Unit, std::int32_t Industry, float Resources,
                       std::int32_t Factories);

  // --- Unit execution and the end-of-impulse stages (Execution.cpp, EndOfImpulse.cpp) ---
  // Ten rows of ten "0"/"1", one per unit speed 0..9: the impulses of ten in which a unit acts.
  static const std::array<const char*, 10> ImpulseActions;
  // Whether a unit of Speed acts in the impulse: the character of the speed's row at the
  // 1-based position Impulse mod 10 (position 0 reads the first). Speeds above 9 act as 9.
  static bool IsActionImpulse(std::int32_t Impulse, int Speed);
  // Draws every unit's random key (list order) and returns the identifiers of the units that
  // act in the impulse, ordered by key, equal keys by identifier.
  std::vector<std::int32_t> SelectActingUnits(std::int32_t Impulse);
  // One step of the unit's standing order.
  void ExecuteUnit(TUnit* Unit);
  // Selection, then each acting unit's step (pending messages before each); a unit freed by
  // an earlier step is skipped.
  void ExecuteUnits(std::int32_t Impulse);
  // The zone's queued units become a new unit of its owner (a fleet in its port zone or first
  // sea neighbour). A build kind that is no unit kind builds nothing (false).
  bool BuildUnitInZone(TBrenmoorZone* Zone);
  // A coup in the nation: its relations are turned over (Strength 50..99), change 34, and a
  // coup event of the nation becomes the pending random event.
  void Coup(TNation* Nation, std::int32_t Strength);
  // Production: progress of every building zone, change 22, and a unit built (change 21)
  // once the progress passes the total.
  void ProductionStage();
  // Every storm from the last to the first ages and drifts (changes 25 and 26).
  void StormStage();
  // Perhaps a new storm on a map of the size (change 27); a map too narrow for the storm
  // starts it at the left edge.
  void NewStormStage(std::int32_t MapWidth, std::int32_t MapHeight);
  // Land zones send their resources towards a supply source across the sea (change 57); a
  // source no longer allied gives way to the zone itself (change 11).
  void SupplyRouteStage();
  // The nation of the impulse: a coup by chance, then its friends' relations pull on its own.
  void NationOfImpulseStage(std::int32_t Impulse);
  // Land zones held by enemy armies only change hands (change 43), rocket sites fire (46).
  void ConquestStage();
  // The pending random event, or one by chance a month after the last, fires (change 38).
  void RandomEventStage();
  // The reinforcements due in the impulse arrive (change 50).
  void ReinforcementStage(std::int32_t Impulse);
  // Every stage after the units' steps, in its fixed order; the map size places new storms.
  void EndOfImpulseStages(std::int32_t Impulse, std::int32_t MapWidth, std::int32_t MapHeight);
  // The random event that fires this impulse (set by a coup or conquest), or nullptr.
  TRandomEvent* GetPendingRandomEvent() const { return FPendingRandomEvent; }
  void SetPendingRandomEvent(TRandomEvent* Event) { FPendingRandomEvent = Event; }

private:
  TRandomEvent* FPendingRandomEvent = nullptr;

public:
  // --- Checks ---
  // "" when every zone's tallies equal a recount of its units; else the first difference.
  std::string CheckTallies() const;

  // --- Events (each fired only when assigned, the engine as Sender) ---
  TEngineUnitEvent OnRemoveUnit;
  TEngineNationZoneEvent OnInvadeZone;
  TEngineNationZoneEvent OnConquerZone;
  TEngineStormEvent OnCreateStorm;
  TEngineStormEvent OnRemoveStorm;
  TEngineStormEvent OnMoveStorm;
  TEngineRandomEventEvent OnRandomEvent;
  TEngineNationsEvent OnConquerNation;
  TEngineResearchEvent OnUpgradeTech;
  TEngineUnitTypeEvent OnUpgradeUnitType;
  TEngineNationZoneEvent OnAtomicBomb;
  TEngineNationZoneEvent OnBombardZone;
  TEngineNationZoneEvent OnAirStrikeZone;
  TEngineNationZoneEvent OnRocketAttack;
  TEngineNationZoneEvent OnBombZone;
  TEngineZoneEvent OnReinforcement;
  TEngineNationsEvent OnDeclareWar;
  TEngineNationsEvent OnDeclareAllies;
  TEngineNationEvent OnAlliance;
  TEngineNationsEvent OnExileGovt;
  TEngineNationEvent OnCoup;
  TEngineDiplomacyEvent OnDiplomacy;
  TEngineTextEvent OnRemovePlayer;
  TEngineTextEvent OnPlayerSurrender;
  // Fires Event with the engine as Sender when it is assigned.
  template <class TEvent, class... Ts>
  void Fire(const TEvent& Event, Ts&&... Args) {
    if (Event) Event(this, std::forward<Ts>(Args)...);
  }
  // A notice for the player that does not stop the load ("Zone x not found").
  std::function<void(TBrenmoorEngine* Sender, const std::string& Text)> OnMessage;
  // A note for whoever debugs a game, not for the player: a replayed change record that no
  // host writes was dropped.
  std::function<void(TBrenmoorEngine* Sender, const std::string& Text)> OnDebugNote;

  // Called by a unit's destructor: leaves the engine's list, then OnRemoveUnit (for a unit of
  // the game).
  void UnitDestroyed(TUnit* Unit);
  // True while ClearGame frees every unit (the units skip unlinking from each other).
  bool IsClearing() const { return FClearing; }

private:
  struct TScenario;
  void PathCost(TZone* Zone1, TZone* Zone2, std::int32_t& Cost);
  // The game goes, whether or not an impulse runs (the destructor, a refused zone pass).
  void FreeGame();
  void ReadZoneData();
  // The map is about to free its zones: every unit and every pointer into a zone goes.
  void DropZoneReferences();

  TZoneMap* FZoneMap = nullptr;
  int FClearListener = 0;
  std::vector<std::unique_ptr<TNation>> FNations;
  std::vector<std::string> FAlliances;
  std::vector<std::string> FScenarioLines;
  std::string FScenarioFile;
  // The name of the file whose lines are held, for the zone pass's errors.
  std::string FScenarioName;
  TDateTime FDate = 0;
  std::string FDescription;
  std::vector<TQueuedOrder> FOrders;
  bool FLogRefusals = false;
  std::vector<std::string> FRefusalLog;
  TRandomAccessList<TUnit> FUnits;
  std::vector<std::unique_ptr<TStorm>> FStorms;
  std::vector<std::unique_ptr<TRandomEvent>> FRandomEvents;
  std::vector<std::unique_ptr<TRouting>> FRoutings;
  int FMajorCount = 0;
  int FScenarioNationCount = 0;
  double FSavedVersion = 0;
  TDateTime FLastRandomEventDate = 0;
  std::vector<std::unique_ptr<TActiveEvent>> FActiveEvents;
  std::vector<std::unique_ptr<TVictoryCondition>> FVictoryConditions;
  double FImpulseRate = 1;
  std::vector<std::unique_ptr<TReinforcement>> FReinforcements;
  std::array<std::uint16_t, ResearchGroupCount> FResearchCosts = DefaultResearchCosts;
  bool FWrapVertical = false;
  bool FWrapHorizontal = false;
  bool FAllComputer = false;
  bool FImpulseRunning = false;
  std::uint8_t FEngineOptions = 0;
  bool FFreeForAll = false;
  std::int32_t FWorldIndustry = 0;
  TRandomGenerator FRandom;
  TRandomGenerator* FRules = &FRandom;
  TChangeSink* FChangeSink = nullptr;
  bool FLocalOnly = false;
  TUnit* FPathUnit = nullptr;
  bool FPathAll = false;
  std::int32_t FPathMode = 0;
  // The kept searches by start zone and step cost, good while the map's link version and the
  // step cost version are those they were made at.
  struct TPathTreeKey {
    std::int32_t Start;
    std::int32_t Mode;
    bool All;
    // The step cost asks the owner of the zone being left when there is no path unit.
    bool ByZoneOwner;
    const TNation* Nation;
    friend bool operator==(const TPathTreeKey&, const TPathTreeKey&) = default;
  };
  struct TPathTreeKeyHash {
    std::size_t operator()(const TPathTreeKey& K) const;
  };
  bool FKeepPathSearches = true;
  std::unordered_map<TPathTreeKey, TPathTree, TPathTreeKeyHash> FPathTrees;
  // Every step's cost under one step cost (keyed with Start -1), for the searches that follow.
  std::unordered_map<TPathTreeKey, TStepCostTable, TPathTreeKeyHash> FStepCostTables;
  // The zones and step costs a path was searched from (for a second path to keep its search).
  std::unordered_set<TPathTreeKey, TPathTreeKeyHash> FPathsAsked;
  // The table of Key's step cost (made now when there is none); nullptr when the map has none.
  const TStepCostTable* StepCostTableFor(const TPathTreeKey& Key);
  const TZoneMap* FPathTreesMap = nullptr;
  std::uint64_t FPathTreesLinks = 0;
  std::uint64_t FPathTreesVersion = 0;
  // Keys the present step cost from A; false when the map's step cost is not the engine's.
  bool PathTreeKey(TBrenmoorZone* A, TPathTreeKey& Key);
  bool FClearing = false;
  // Scratch lists of merging and the supply walk; nothing lives in them between calls.
  std::vector<TUnit*> FScratchUnits;
  std::vector<TBrenmoorZone*> FScratchZones;
  TImpulseUsers* FImpulseUsers = nullptr;
  std::string FWinnerName;
  TNation* FWinnerNation = nullptr;
  std::vector<std::int32_t> FAllianceDomination;
  void SupplyWalkA(TBrenmoorZone* Zone, std::int32_t Depth);
  void SupplyWalkB(TBrenmoorZone* Zone, TBrenmoorZone* Root, std::int32_t Depth);
};
