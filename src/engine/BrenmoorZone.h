#pragma once
// The rules engine's zone: a map zone with the game's state on it. The map makes one per zone
// of the map set through its OnCreateZone event, so the rules and the map share the objects.
// The zone owns the units standing in it and keeps, per tally row (the major powers by index,
// row 7 for every minor nation) and unit type, the count of units this machine knows there.
// A tally is read as a 16-bit count, but it is kept whole: units that hold up to 65535 of a
// type each can stand together, and a tally held to 65535 would lose what passes it: then
// the first of them to leave would take the others' counts with it.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/FieldRanges.h"
#include "sprites/ZoneMap.h"

class TBrenmoorEngine;
class TNation;
class TUnit;

using TTallyRow = std::array<std::int32_t, UnitTypeCount>;
using TTallies = std::array<TTallyRow, TallyRowCount>;

class TBrenmoorZone : public TZone {
public:
  TBrenmoorZone(TBrenmoorEngine& Engine, TZoneMap& Map, const std::string& Text);
  ~TBrenmoorZone() override;

  // 106 for a hazardous sea zone; else the owner's colour; else the map's land or sea colour.
  std::uint16_t GetColorIndex() const override;

  TBrenmoorEngine& GetEngine() const { return *FEngine; }
  // The engine's number of the zone (its place in the map, once the scenario has numbered
  // the zones); -1 before.
  std::int32_t GetIndex() const { return FIndex; }
  void SetIndex(std::int32_t Value) { FIndex = Value; }
  TBrenmoorZone* GetNeighbor(int I) const;

  // --- Scenario and saved game ---
  // The record of a scenario "Zone" line after its name (16 fields each followed by ";").
  // Raises EBrenmoorEngine for an owner or original owner of no nation, a capital without
  // owner, a tally outside the rows, types or 16-bit counts, a tally row of no major power,
  // and a row-7 tally in a zone that no minor nation owns.
  void ReadScenarioRecord(const std::string& Record);
  // Border text of the scenario (BorderCount pairs level "#" zone index "#") into border
  // defences, once every zone is numbered. A zone index of no zone raises EBrenmoorEngine.
  void ApplyScenarioBorders();
  // The saved-game field: 22 values each followed by "~", then the port and airfield flags.
  std::string SaveToString() const;
  // Reads a saved field (older texts without the port and airfield flags keep the scenario's).
  void LoadFromString(std::string_view Text);
  // After every object of a saved game is read: tallies from the units, supply source, border
  // defences and rocket target.
  void ResolveLoadedReferences();
  // Zeroes the game state before a scenario is read, freeing the units: the zone is as the
  // map made it.
  void ResetGameState();
  // Frees every unit of the zone, then the border defences.
  void FreeUnits();

  // --- Tallies ---
  // The count of one row and type, 65535 when more stand there.
  std::uint16_t GetTally(int Row, int Type) const;
  void SetTally(int Row, int Type, std::uint16_t Count) { FTallies.at(static_cast<std::size_t>(Row)).at(static_cast<std::size_t>(Type)) = Count; }
  // Adds Delta; a unit this machine never counted cannot take a tally below zero.
  void ChangeTally(int Row, int Type, std::int32_t Delta);
  // The whole counts, beyond 65535 too.
  const TTallies& GetTallies() const { return FTallies; }
  bool HasTallyOfKinds(int Row, TUnitKinds Kinds) const;
  // The tallies as this machine should hold them: every unit's counts in its owner's row,
  // except submerged fleets of nations not played here.
  TTallies RecountTallies() const;
  // "" when the tallies equal the recount; else the first difference.
  std::string CheckTallies() const;

  // --- Units (owned) ---
  int GetUnitCount() const { return static_cast<int>(FUnits.size()); }
  TUnit* GetUnit(int I) const;
  int IndexOfUnit(const TUnit* Unit) const;
  // Appends the unit to the zone's units.
  TUnit* AdoptUnit(std::unique_ptr<TUnit> Unit);
  // Takes the unit out of the zone's units and hands it over; nullptr when it is not here.
  std::unique_ptr<TUnit> ReleaseUnit(const TUnit* Unit);

  // --- Presence and visibility ---
  // True when a unit of one of Kinds stands here in an asked relation to Nation: its own
  // (Own), an enemy's (Enemy) or a neutral's (Neutral); with an alliance by the alliances,
  // without one by the relations (100 own side, -100 enemy).
  bool CountUnits(const TNation* Nation, bool Own, bool Enemy, bool Neutral, TUnitKinds Kinds) const;
  bool CountAllUnits(const TNation* Nation, bool Own, bool Enemy, bool Neutral) const {
    return CountUnits(Nation, Own, Enemy, Neutral, AllUnitKinds);
  }
  // The nation's bit of SeenBy (nations beyond index 7 see nothing).
  bool IsVisibleTo(const TNation* Nation) const;
  void SetVisibleTo(const TNation* Nation, bool Value);
  // A major power that a human plays on this machine sees the zone.
  bool IsVisibleToLocalPlayer() const;
  // The steps of the path to Other (every step costing 1).
  std::int32_t GetTrueDistance(TBrenmoorZone* Other);

  // --- Combat (Combat.cpp) ---
  // Before the zone's combat: for every ordered pair of its units (a unit with itself too)
  // where the first may attack the second, the first's owner's relation towards the second's
  // drifts towards war (bound -100; change 30 when it moves).
  void DriftHostileRelations();
  // This impulse's combat in the zone: every unit with hostile units beside it fires, and the
  // hits are marked as damaged units. A zone whose combat ended clears its units' attacking
  // flags (change 7). The zone's embattled flag says whether anyone fought.
  void ResolveCombat();
  // The strength (hit chance in percent) of one shot of Attacker's AttackType at a unit of
  // TargetType in Target, with every modifier of the zone, the units and the events.
  float ShotStrength(const TUnit* Attacker, int AttackType, const TUnit* Target, int TargetType) const;

  // --- Queries ---
  bool IsAlliedTo(const TNation* Nation) const;
  bool IsEnemyOf(const TNation* Nation) const;
  std::int32_t GetBorderDefense(const TBrenmoorZone* Zone) const;
  int GetBorderDefenseCount() const { return static_cast<int>(FBorderDefenses.size()); }
  TBrenmoorZone* GetBorderDefenseZone(int I) const;
  std::int32_t GetBorderDefenseValue(int I) const;
  // Percent of the build order's production points reached; 100 for an empty queue.
  std::int32_t GetBuildProgress() const;
  std::int32_t GetEffectiveIndustry() const { return FIndustry + FRichResources; }
  bool IsPort() const;
  bool IsAirfield() const;
  std::uint8_t GetTerrainDefense() const { return GetSea() != 0 ? 0 : FTerrainDefense; }
  bool IsHazardousSea() const { return GetSea() != 0 && FTerrainDefense > 0; }

  // --- Fields ---
  std::int32_t GetIndustry() const { return FIndustry; }
  void SetIndustry(std::int32_t Value) { FIndustry = Value; }
  std::int32_t GetFactories() const { return FFactories; }
  void SetFactories(std::int32_t Value) { FFactories = Value; }
  TNation* GetOwner() const { return FOwner; }
  void SetOwner(TNation* Value) {
    if (FOwner == Value) return;
    FOwner = Value;
    TStepCostVersion::Changed();
  }
  std::int32_t GetRichResources() const { return FRichResources; }
  void SetRichResources(std::int32_t Value) { FRichResources = Value; }
  TNation* GetOriginalOwner() const { return FOriginalOwner; }
  void SetOriginalOwner(TNation* Value) { FOriginalOwner = Value; }
  bool GetCapital() const { return FCapital; }
  void SetCapital(bool Value) { FCapital = Value; }
  bool GetEmbattled() const { return FEmbattled; }
  void SetEmbattled(bool Value) { if (FEmbattled != Value) FEmbattled = Value; }
  std::int32_t GetIncome() const { return FIncome; }
  void SetIncome(std::int32_t Value) { FIncome = Value; }
  float GetResources() const { return FResources; }
  // Held within what a saved game holds, whatever a rule or a change record makes of it.
  void SetResources(float Value) {
    FResources = static_cast<float>(std::clamp(static_cast<double>(Value), FieldRange::Resources.Min, FieldRange::Resources.Max));
  }
  TBrenmoorZone* GetSupplySource() const { return FSupplySource; }
  void SetSupplySource(TBrenmoorZone* Value) { FSupplySource = Value; }
  // Level towards a neighbour: with no entry, only a level above 0 adds one; an entry is
  // overwritten by a non-zero level and deleted by 0.
  void SetBorderDefense(TBrenmoorZone* Zone, std::int32_t Level);
  std::int32_t GetBorderCount() const { return FBorderCount; }
  const std::string& GetBorderText() const { return FBorderText; }
  bool GetBuilding() const { return FBuilding; }
  void SetBuilding(bool Value) { FBuilding = Value; }
  std::uint16_t GetBuildQueue(int Type) const { return FBuildQueue.at(static_cast<std::size_t>(Type)); }
  void SetBuildQueue(int Type, std::uint16_t Value) { FBuildQueue.at(static_cast<std::size_t>(Type)) = Value; }
  float GetBuildProgressPoints() const { return FBuildProgress; }
  void SetBuildProgressPoints(float Value) { FBuildProgress = HeldBuildAmount(Value); }
  float GetBuildTotal() const { return FBuildTotal; }
  void SetBuildTotal(float Value) { FBuildTotal = HeldBuildAmount(Value); }
  // A build amount within what a saved game holds, whatever a change record makes of it.
  static float HeldBuildAmount(float Value) {
    return static_cast<float>(std::clamp(static_cast<double>(Value), FieldRange::BuildAmount.Min, FieldRange::BuildAmount.Max));
  }
  std::int32_t GetBuildKind() const { return FBuildKind; }
  // Held within what a saved game holds, whatever a change record gives.
  void SetBuildKind(std::int32_t Value) {
    FBuildKind = std::clamp(Value, static_cast<std::int32_t>(FieldRange::BuildKind.Min), static_cast<std::int32_t>(FieldRange::BuildKind.Max));
  }
  std::int32_t GetBombCount() const { return FBombCount; }
  void SetBombCount(std::int32_t Value) { FBombCount = HeldCount(Value); }
  std::int32_t GetStrikeCount() const { return FStrikeCount; }
  void SetStrikeCount(std::int32_t Value) { FStrikeCount = HeldCount(Value); }
  // A count of strikes or bombings within what a saved game holds, whatever a change record gives.
  static std::int32_t HeldCount(std::int32_t Value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(Value, FieldRange::StrikeCount.Min, FieldRange::StrikeCount.Max));
  }
  std::uint8_t GetSeenBy() const { return FSeenBy; }
  void SetSeenBy(std::uint8_t Value) { FSeenBy = Value; }
  bool GetStorm() const { return FStorm; }
  void SetStorm(bool Value) { FStorm = Value; }
  bool GetPort() const { return FPort; }
  void SetPort(bool Value) { FPort = Value; }
  bool GetAirfield() const { return FAirfield; }
  void SetAirfield(bool Value) { FAirfield = Value; }
  std::uint8_t GetTerrainDefenseValue() const { return FTerrainDefense; }
  void SetTerrainDefense(std::uint8_t Value) { FTerrainDefense = Value; }
  bool GetRocketSite() const { return FRocketSite; }
  void SetRocketSite(bool Value) { FRocketSite = Value; }
  TBrenmoorZone* GetRocketTarget() const { return FRocketTarget; }
  void SetRocketTarget(TBrenmoorZone* Value) { FRocketTarget = Value; }
  TBrenmoorZone* GetPortZone() const { return FPortZone; }
  void SetPortZone(TBrenmoorZone* Value) { FPortZone = Value; }

private:
  // The table of the saved field, which writes and reads it (BrenmoorZone.cpp).
  struct TSavedRecord;
  TNation* NationOf(std::int32_t Index, const char* What) const;
  TBrenmoorZone* ZoneOf(std::int32_t Index, const char* What) const;

  std::int32_t FIndustry = 0;
  std::int32_t FFactories = 0;
  TNation* FOwner = nullptr;
  TTallies FTallies{};
  std::int32_t FRichResources = 0;
  TNation* FOriginalOwner = nullptr;
  bool FCapital = false;
  std::vector<std::unique_ptr<TUnit>> FUnits;
  std::int32_t FIndex = -1;
  bool FEmbattled = false;
  std::int32_t FIncome = 0;
  float FResources = 0.0f;
  TBrenmoorZone* FSupplySource;
  std::vector<std::pair<TBrenmoorZone*, std::int32_t>> FBorderDefenses;
  std::int32_t FBorderCount = 0;
  std::string FBorderText;
  // The identifiers of the zone's units in their order, as a saved game gives them ("" for a
  // game saved without); consumed when the loaded references are resolved.
  std::string FUnitOrderText;
  bool FBuilding = false;
  std::array<std::uint16_t, UnitTypeCount> FBuildQueue{};
  float FBuildProgress = 0.0f;
  float FBuildTotal = 0.0f;
  std::int32_t FBuildKind = 0;
  std::int32_t FBombCount = 0;
  std::int32_t FStrikeCount = 0;
  std::uint8_t FSeenBy = 0;
  bool FStorm = false;
  std::int32_t FSupplySourceIndex = -1;
  bool FPort = false;
  bool FAirfield = false;
  std::uint8_t FTerrainDefense = 0;
  bool FRocketSite = false;
  TBrenmoorZone* FRocketTarget = nullptr;
  std::int32_t FRocketTargetIndex = -1;
  TBrenmoorZone* FPortZone = nullptr;
  TBrenmoorEngine* FEngine;
};
