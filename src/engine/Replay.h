#pragma once
// The replay of the host's change records on every other machine: one record at a time, in
// the order the host wrote them, each code by a rule of its own.
#include <array>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "engine/ChangeCodes.h"
#include "engine/FieldRanges.h"
#include "engine/OrderRecord.h"

class TReplayRules {
public:
  TReplayRules(TBrenmoorEngine& Engine, const std::string& Record);
  // Replays the record (see TBrenmoorEngine::ApplyStateChange).
  void Apply();
  // Whether the replay of Code reads the record's first field as the unit it addresses.
  static bool AddressesUnit(TChangeCode Code);

private:
  using TFields = OrderRecord::TRecordFields;
  // The rule of a unit-addressed record, given its unit, and the rule of any other record.
  using TUnitRule = void (TReplayRules::*)(TUnit* Unit, TFields& F);
  using TRecordRule = void (TReplayRules::*)(TFields& F);
  struct TRule {
    TUnitRule OfUnit = nullptr;
    TRecordRule OfRecord = nullptr;
  };
  static const std::array<TRule, ChangeCodeCount>& Rules();

  // The record goes whole, with a note on OnDebugNote saying why.
  void Drop(const char* Why);
  TBrenmoorZone* ZoneAt(std::int32_t I) const { return FEngine.GetZone(I); }
  TBrenmoorZone* ZoneOrNone(std::int32_t I) const { return I < 0 ? nullptr : FEngine.GetZone(I); }
  TNation* NationAt(std::int32_t I) const { return FEngine.GetNation(I); }
  TNation* NationOrNone(std::int32_t I) const { return I == -1 ? nullptr : FEngine.GetNation(I); }
  // The organisation or experience of the units of a list of zone, unit, value triples.
  void SetUnitValues(TFields& F, void (TUnit::*Set)(float), TFloatRange Range);
  // A zone's new airfield, port or rocket site and the resources it leaves.
  void ZoneBuilt(TFields& F, void (TBrenmoorZone::*Set)(bool));

  // Unit-addressed records.
  void UnitMove(TUnit* Unit, TFields& F);
  void UnitOrder(TUnit* Unit, TFields& F);
  void UnitBase(TUnit* Unit, TFields& F);
  void UnitPatrol(TUnit* Unit, TFields& F);
  void UnitDivided(TUnit* Unit, TFields& F);
  void ConvoyDelivered(TUnit* Unit, TFields& F);
  void UnitEmbarked(TUnit* Unit, TFields& F);
  void UnitDisembarked(TUnit* Unit, TFields& F);
  void PatrolPosition(TUnit* Unit, TFields& F);
  void UnitStrength(TUnit* Unit, TFields& F);
  void UnitRemoved(TUnit* Unit, TFields& F);
  void UnitSubmerged(TUnit* Unit, TFields& F);
  void UnitRenamed(TUnit* Unit, TFields& F);
  // Lists of units.
  void UnitOrganization(TFields& F);
  void UnitExperience(TFields& F);
  void UnitsMerged(TFields& F);
  // Zones.
  void ZoneStrike(TFields& F);
  void EmbattledZones(TFields& F);
  void CombatEnded(TFields& F);
  void FactoryBuilt(TFields& F);
  void BorderDefenceBuilt(TFields& F);
  void RoutingCreated(TFields& F);
  void SupplySource(TFields& F);
  void BuildStarted(TFields& F);
  void ZoneBombed(TFields& F);
  void ZoneBombarded(TFields& F);
  void UnitsBuilt(TFields& F);
  void BuildProgress(TFields& F);
  void ResourceEffects(TFields& F);
  void ZoneConquered(TFields& F);
  void RocketTarget(TFields& F);
  void RocketHit(TFields& F);
  void AirfieldBuilt(TFields& F);
  void PortBuilt(TFields& F);
  void RocketSiteBuilt(TFields& F);
  void SupplyWalk(TFields& F);
  void SupplyReset(TFields& F);
  void PortZone(TFields& F);
  void ConvoyLaunched(TFields& F);
  // Storms.
  void StormRemoved(TFields& F);
  void StormMoved(TFields& F);
  void StormCreated(TFields& F);
  // Nations.
  void UnitCosts(TFields& F);
  void Stability(TFields& F);
  void Relation(TFields& F);
  void Influence(TFields& F);
  void Countdown(TFields& F);
  void NationConquered(TFields& F);
  void Coup(TFields& F);
  void DiplomaticActionUsed(TFields& F);
  void Diplomacy(TFields& F);
  void PlayerRemoved(TFields& F);
  void FreeForAll(TFields& F);
  // Research, the atomic bomb, random events and reinforcements.
  void ResearchAllocation(TFields& F);
  void ResearchProgress(TFields& F);
  void ResearchLevel(TFields& F);
  void AtomicBomb(TFields& F);
  void RandomEvent(TFields& F);
  void Reinforcement(TFields& F);

  TBrenmoorEngine& FEngine;
  const std::string& FRecord;
};
