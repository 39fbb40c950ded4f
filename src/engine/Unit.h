#pragma once
// One military unit: an army, an air force or a fleet of one owner, holding a count of each of
// the sixteen unit types. It stands in one zone (which owns it), carries one order with its
// destination, may ride a transport, be based on a carrier or at an air base, and keeps its
// organisation and experience. Its identifier, from the engine's unit list, names it in files
// and messages and is the same on every machine.
#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/EngineTypes.h"
#include "engine/FieldRanges.h"
#include "foundation/RandomAccessList.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;

// Why a unit moves: the host's impulse rules (which draw the organisation loss of the move) or
// a replay or upkeep that only repeats what the host decided (which draw nothing).
enum TMoveMode : std::uint8_t { mmImpulse, mmReplay };

class TUnit;

// The units one or more units may fire at in their zone's combat, in the order they were
// collected. Attackers that share their targets share one list; each unit it names knows the
// list and its place there, so a unit leaving the game is taken out of only the lists that
// name it (keeping the others' order) and a list let go leaves only the units it names.
class TOpponentList {
public:
  explicit TOpponentList(std::vector<TUnit*> Units);
  ~TOpponentList();
  TOpponentList(const TOpponentList&) = delete;
  TOpponentList& operator=(const TOpponentList&) = delete;
  const std::vector<TUnit*>& GetUnits() const { return FUnits; }

private:
  friend class TUnit;
  // Every place of Unit taken out, the rest in their order.
  void Erase(const TUnit* Unit);
  std::vector<TUnit*> FUnits;
  // For each place, the position of this list's entry among that unit's naming lists.
  std::vector<std::uint32_t> FSlots;
};

class TUnit : public TRandomAccessListItem {
public:
  // A new unit of Owner (may be nullptr) and Kind: organisation 100, experience 1.0, the
  // owner's type factors, and the next ordinal of the owner's series of that kind.
  TUnit(TBrenmoorEngine& Engine, TNation* Owner, TUnitKind Kind);
  // An empty unit for LoadFromString.
  explicit TUnit(TBrenmoorEngine& Engine);
  // Unlinks the unit from the units that refer to it, leaves the engine's list and fires the
  // engine's OnRemoveUnit. The zone that owns it has already let it go.
  ~TUnit();
  TUnit(const TUnit&) = delete;
  TUnit& operator=(const TUnit&) = delete;

  // Takes the unit out of the game's links: unit change 24 when SendChange; releases its
  // cargo and based air units, clears every unit's aim at it, leaves its base and transport.
  // The caller then frees it (TBrenmoorEngine::FreeUnit).
  void Remove(bool SendChange);

  // --- Queries ---
  std::uint16_t GetCount(int Type) const { return FCounts.at(static_cast<std::size_t>(Type)); }
  std::int32_t GetTotalCount() const;
  std::int32_t GetEffectiveCount() const;
  // The undamaged units' formation weights summed: up to 16 x 65,535 x 65,535, so 64 bits.
  std::int64_t GetValue() const;
  std::uint16_t UnitSpeed() const;
  std::uint16_t GetRange() const;
  std::int32_t GetTransportWeight() const;
  std::int32_t GetTransportRoom() const;
  std::int32_t GetCarrierRoom() const;
  bool IsCarrierCapable() const;
  bool IsSubsOnly() const;
  float GetOrganization() const { return FOrganization; }
  float GetTypeFactor(int Type) const { return FTypeFactors.at(static_cast<std::size_t>(Type)); }
  void SetTypeFactor(int Type, float Value) { FTypeFactors.at(static_cast<std::size_t>(Type)) = Value; }
  bool IsVisibleTo(const TNation* Nation) const;
  bool CanAttack(const TUnit* Other) const;
  // Whether a bombarding fleet of this unit's owner may shell Other: an army of a nation the
  // owner is at war with, or of any nation not allied with it when the owner attacks without war.
  bool CanAttackArmy(const TUnit* Other) const;
  std::string GetName() const;
  std::string ExperienceText() const;
  std::string OrderText() const;
  TOrderSet CanTakeOrder() const;
  // True when this machine counts the unit in its zone's tallies (not a submerged fleet of a
  // nation played elsewhere).
  bool IsTallied() const;
  // True when the unit rides on Carrier: on its transport or carrier, or on what carries
  // that, at any depth.
  bool RidesOn(const TUnit* Carrier) const;

  int GetBoardedCount() const { return static_cast<int>(FBoardedUnits.size()); }
  TUnit* GetBoarded(int I) const { return FBoardedUnits.at(static_cast<std::size_t>(I)); }
  int GetBasedCount() const { return static_cast<int>(FBasedUnits.size()); }
  TUnit* GetBased(int I) const { return FBasedUnits.at(static_cast<std::size_t>(I)); }
  int GetPatrolZoneCount() const { return static_cast<int>(FPatrolZones.size()); }
  TBrenmoorZone* GetPatrolZone(int I) const { return FPatrolZones.at(static_cast<std::size_t>(I)); }
  void SetPatrolZones(std::vector<TBrenmoorZone*> Zones) { FPatrolZones = std::move(Zones); }
  // The units this one fired at or may fire at in its zone's last combat.
  const std::vector<TUnit*>& GetOpponents() const;
  // Takes Units as the unit's opponents; a list shared with other attackers is named once.
  void SetOpponents(std::vector<TUnit*> Units);
  void SetOpponents(std::shared_ptr<TOpponentList> List);
  void ClearOpponents();

  // --- Fields ---
  TBrenmoorEngine& GetEngine() const { return *FEngine; }
  void SetCount(int Type, std::uint16_t N) { FCounts.at(static_cast<std::size_t>(Type)) = N; }
  TNation* GetOwner() const { return FOwner; }
  void SetOwner(TNation* Value) { FOwner = Value; }
  TUnitKind GetKind() const { return FKind; }
  void SetKind(TUnitKind Value) { FKind = Value; }
  float GetExperience() const { return FExperience; }
  void SetExperience(float Value) { FExperience = Value; }
  TBrenmoorZone* GetZone() const { return FZone; }
  // Also makes the zone the unit's base zone when it has neither base zone nor base unit.
  void SetZone(TBrenmoorZone* Zone);
  TOrderType GetOrder() const { return FOrder; }
  void SetOrder(TOrderType Value) { FOrder = Value; }
  TBrenmoorZone* GetDestinationZone() const { return FDestinationZone; }
  void SetDestinationZone(TBrenmoorZone* Value) { FDestinationZone = Value; }
  TBrenmoorZone* GetPreviousZone() const { return FPreviousZone; }
  void SetPreviousZone(TBrenmoorZone* Value) { FPreviousZone = Value; }
  bool GetAttacking() const { return FAttacking; }
  void SetAttacking(bool Value) { FAttacking = Value; }
  TUnit* GetDestinationUnit() const { return FDestinationUnit; }
  // Stores the unit and its name ("" for none); aimed at its target again, the unit keeps the
  // name it took.
  void SetDestinationUnit(TUnit* Unit);
  // The target's name as it is now (the target was renamed).
  void RefreshDestinationUnitName();
  const std::string& GetDestinationUnitName() const { return FDestinationUnitName; }
  float GetSortKey() const { return FSortKey; }
  void SetSortKey(float Value) { FSortKey = Value; }
  std::int32_t GetPatrolIndex() const { return FPatrolIndex; }
  // Held within what a saved game holds, whatever a change record gives.
  void SetPatrolIndex(std::int32_t Value) {
    FPatrolIndex = static_cast<std::int32_t>(std::clamp<std::int64_t>(Value, FieldRange::PatrolPlace.Min, FieldRange::PatrolPlace.Max));
  }
  std::int32_t GetPatrolStep() const { return FPatrolStep; }
  void SetPatrolStep(std::int32_t Value) {
    FPatrolStep = static_cast<std::int32_t>(std::clamp<std::int64_t>(Value, FieldRange::PatrolPlace.Min, FieldRange::PatrolPlace.Max));
  }
  std::int32_t GetOrdinal() const { return FOrdinal; }
  void SetOrdinal(std::int32_t Value) { FOrdinal = Value; }
  std::uint16_t GetDamaged(int Type) const { return FDamaged.at(static_cast<std::size_t>(Type)); }
  void SetDamaged(int Type, std::uint16_t Value) { FDamaged.at(static_cast<std::size_t>(Type)) = Value; }
  std::uint8_t GetCombatFlag() const { return FCombatFlag; }
  void SetCombatFlag(std::uint8_t Value) { FCombatFlag = Value; }
  // The unit's place in its zone's unit list during the zone's combat (set there, read there).
  int GetCombatPlace() const { return FCombatPlace; }
  void SetCombatPlace(int Value) { FCombatPlace = Value; }
  bool GetOrganizationChanged() const { return FOrganizationChanged; }
  // The end-of-impulse report is to carry the organisation as it is.
  void MarkOrganizationChanged() { FOrganizationChanged = true; }
  // Held to 25..100; a new value also sets OrganizationChanged.
  void SetOrganization(float Value);
  TNation* GetCreatingNation() const { return FCreatingNation; }
  bool GetFought() const { return FFought; }
  // The experience-changed flag, cleared before every impulse.
  void SetFought(bool Value) { FFought = Value; }
  // Stores the organisation as it is: no clamping, the changed flag untouched (merging and the
  // replay of the host's values).
  void SetOrganizationDirect(float Value) { FOrganization = Value; }
  bool GetSubmerged() const { return FSubmerged; }
  bool GetSurfaced() const { return FSurfaced; }
  void SetSurfaced(bool Value) { FSurfaced = Value; }
  const std::string& GetCustomName() const { return FCustomName; }
  void SetCustomName(const std::string& Value) { FCustomName = Value; }
  TUnit* GetBaseUnit() const { return FBaseUnit; }
  TUnit* GetTransport() const { return FTransport; }
  TBrenmoorZone* GetBaseZone() const { return FBaseZone; }
  void SetBaseZone(TBrenmoorZone* Value) { FBaseZone = Value; }
  // Stores the transport; the cargo list is the transport's (AddBoarded).
  void SetTransport(TUnit* Value) { FTransport = Value; }
  // Stores the carrier and, for one, clears the base zone; the based list is the carrier's
  // (AddBased).
  void SetBaseUnit(TUnit* Value) {
    FBaseUnit = Value;
    if (Value) FBaseZone = nullptr;
  }

  // --- Operations with effects ---
  // Into Zone with the unit's cargo and based air units (those on a mission within range
  // stay), the tallies following; the host's impulse draws the loss of organisation. A fleet
  // goes ashore only to dock, and never from land to land. Unit change 0.
  void MoveToZone(TBrenmoorZone* Zone, TMoveMode Mode);
  // One step along the path to the destination zone.
  void InvadeZone(TMoveMode Mode);
  void Embark(TMoveMode Mode);
  void Disembark(TMoveMode Mode);
  void JoinBase(TUnit* Carrier);
  void LeaveBase(TBrenmoorZone* Zone);
  // Submerging and surfacing; the machine that does not play the owner stops or starts
  // counting the submarines.
  void SetSubmerged(bool Value);
  void ChangeOwner(TNation* Nation);
  void LoseOrganization(double Factor);
  void GainExperience();
  void ResetImpulseState();
  // This impulse's damage off the counts, then the cargo cut to the transports' room. Raises
  // EBrenmoorEngine "Non-Land Unit Boarded (transport, unit)" when a boarded unit is no army.
  void ApplyLosses();
  void SendStrengths();
  // Merchant ships deliver their resources to the zone; an empty unit is freed. Returns true
  // when the unit was freed (the pointer is then gone).
  bool UnloadMerchants();
  // A unit without any type is removed (change 24) and freed; returns true when it was.
  bool RemoveIfEmpty();
  // The map's path search from the unit's zone under its own step costs.
  void FindPathTo(TBrenmoorZone* Zone);

  // Cargo and based units; for the rules that set them up outside Embark and JoinBase.
  void AddBoarded(TUnit* Unit);
  void RemoveBoarded(const TUnit* Unit);
  void AddBased(TUnit* Unit);
  void RemoveBased(const TUnit* Unit);

  // --- Saved game ---
  // 25 values each followed by "~". A submerged fleet is written surfaced and stays as it is.
  std::string SaveToString() const;
  // Raises EBrenmoorEngine for a zone or nation index of no zone or nation, EConvertError for
  // a float that is not a number.
  void LoadFromString(std::string_view Text);
  // After every unit is read: the destination unit, the based and the boarded units.
  void ResolveLoadedReferences();
  // The zone index read by LoadFromString (-1 before).
  std::int32_t GetLoadedZoneIndex() const { return FLoadedZoneIndex; }

private:
  friend class TOpponentList;
  // The table of the saved field, which writes and reads it (Unit.cpp).
  struct TSavedRecord;
  void MoveTallies(TBrenmoorZone* From, TBrenmoorZone* To);
  void ChangeTallies(int Sign);
  void Unlink();
  // Points the unit at Target (nullptr for none) and keeps Target's list of its aimers.
  void Aim(TUnit* Target);
  // Every aim at the unit cleared, the unit out of every opponent list.
  void DropReferencesToThis();

  float FOrganization = 100.0f;
  TNation* FOwner = nullptr;
  TUnitKind FKind = ukArmy;
  std::array<std::uint16_t, UnitTypeCount> FCounts{};
  float FExperience = 1.0f;
  TBrenmoorZone* FZone = nullptr;
  TBrenmoorEngine* FEngine;
  TOrderType FOrder = ordNone;
  TBrenmoorZone* FDestinationZone = nullptr;
  TBrenmoorZone* FPreviousZone = nullptr;
  bool FAttacking = false;
  std::vector<TBrenmoorZone*> FPatrolZones;
  TUnit* FDestinationUnit = nullptr;
  float FSortKey = 0.0f;
  std::int32_t FPatrolIndex = 0;
  std::int32_t FPatrolStep = 0;
  std::int32_t FOrdinal = 0;
  std::array<float, UnitTypeCount> FTypeFactors;
  std::shared_ptr<TOpponentList> FOpponents;
  // The units whose destination unit this is, in no particular order.
  std::vector<TUnit*> FAimedBy;
  // The opponent lists that name this unit, with the place in each (one entry a place).
  struct TNaming {
    TOpponentList* List;
    std::uint32_t Place;
  };
  std::vector<TNaming> FNamedIn;
  std::array<std::uint16_t, UnitTypeCount> FDamaged{};
  std::uint8_t FCombatFlag = 0;
  int FCombatPlace = -1;
  bool FOrganizationChanged = false;
  std::string FDestinationUnitName;
  TNation* FCreatingNation = nullptr;
  std::int32_t FDestinationUnitID = -1;
  std::string FBasedIDs;
  std::string FBoardedIDs;
  bool FFought = false;
  bool FSubmerged = false;
  bool FSurfaced = false;
  std::string FCustomName;
  TUnit* FBaseUnit = nullptr;
  TUnit* FTransport = nullptr;
  TBrenmoorZone* FBaseZone = nullptr;
  std::vector<TUnit*> FBasedUnits;
  std::vector<TUnit*> FBoardedUnits;
  std::int32_t FLoadedZoneIndex = -1;
};
