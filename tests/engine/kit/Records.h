#pragma once
// Order and change records by what they say: one builder per order a test sends and per change
// a test looks for, which writes the fields in the record's own order with the game's own
// record writers. A test that sends a record which no program writes (cut short, with words for
// numbers) keeps it as text.
#include <array>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <utility>

#include "engine/BrenmoorEngine.h"
#include "engine/ChangeCodes.h"
#include "engine/OrderRecord.h"

namespace rec {

// A unit as a record names it: by its identifier, from the unit or (explicitly) from a number,
// e.g. -1 for no unit or the identifier a test kept from another machine.
struct TUnitId {
  TUnitId(const TUnit* Unit) : ID(Unit->ID) {}
  explicit TUnitId(std::int32_t Id) : ID(Id) {}
  std::int32_t ID;
};

// The "#"-list of sixteen unit counts (unit-type order), the types not listed 0: what divide,
// build, strength and reinforcement records carry.
inline std::string Counts(std::initializer_list<std::pair<TUnitType, int>> Pieces) {
  std::array<int, UnitTypeCount> N{};
  for (const auto& [Type, Count] : Pieces) N[static_cast<std::size_t>(Type)] = Count;
  std::string S;
  for (int C : N) S += std::to_string(C) + "#";
  return S;
}

// The "#"-list of the units' identifiers.
inline std::string Units(std::initializer_list<TUnitId> Units) {
  std::string S;
  for (const TUnitId& U : Units) S += std::to_string(U.ID) + "#";
  return S;
}

// The "#"-list of the groups' numbers, group after group.
template <std::size_t N>
std::string IntList(std::initializer_list<std::array<int, N>> Groups) {
  std::string S;
  for (const auto& Group : Groups)
    for (const int V : Group) S += std::to_string(V) + "#";
  return S;
}

// --- Orders (what a player's machine sends the host) ---
// The arguments name the unit first, then where it goes; the record keeps its own order.

using OrderRecord::OrderText;

// The "#"-list of zone indices: a patrol's or recon flight's route.
inline std::string Zones(std::initializer_list<int> Zones) {
  std::string S;
  for (const int Z : Zones) S += std::to_string(Z) + "#";
  return S;
}

// The unit's order is cleared.
inline std::string None(TUnitId U) { return OrderText(ordNone, U.ID); }
inline std::string Move(TUnitId U, int Zone) { return OrderText(ordMove, Zone, U.ID); }
inline std::string Launch(TUnitId U) { return OrderText(ordLaunch, U.ID); }
inline std::string Retreat(TUnitId U) { return OrderText(ordRetreat, U.ID); }
// The units (a "#"-list, see Units) in Zone become one.
inline std::string Merge(int Zone, const std::string& UnitList) { return OrderText(ordMerge, Zone, UnitList); }
inline std::string Dock(TUnitId U, int Zone) { return OrderText(ordDock, Zone, U.ID); }
// A new unit with the counts (a "#"-list, see Counts) splits off the unit.
inline std::string Divide(TUnitId U, const std::string& CountList) { return OrderText(ordDivide, U.ID, CountList); }
// The unit boards Ship, which stands in ShipZone.
inline std::string Embark(TUnitId U, TUnitId Ship, int ShipZone) { return OrderText(ordEmbark, ShipZone, U.ID, Ship.ID); }
inline std::string Disembark(TUnitId U, int Zone) { return OrderText(ordDisembark, Zone, U.ID); }
inline std::string Intercept(TUnitId U, TUnitId Target) { return OrderText(ordIntercept, U.ID, Target.ID); }
inline std::string Invade(TUnitId U, int Zone) { return OrderText(ordInvade, Zone, U.ID); }
// The route is a "#"-list of zones (see Zones).
inline std::string Patrol(TUnitId U, const std::string& Route) { return OrderText(ordPatrol, U.ID, Route); }
inline std::string Rebase(TUnitId U, int Zone) { return OrderText(ordRebase, Zone, U.ID); }
inline std::string AirStrike(TUnitId U, int Zone) { return OrderText(ordAirStrike, Zone, U.ID); }
inline std::string AtomicBomb(int Nation, int Zone) { return OrderText(ordAtomicBomb, Nation, Zone); }
inline std::string ReturnToBase(TUnitId U) { return OrderText(ordReturnToBase, U.ID); }
inline std::string Recon(TUnitId U, const std::string& Route) { return OrderText(ordRecon, U.ID, Route); }
inline std::string Route(int From, int To, int Amount) { return OrderText(ordRoute, From, To, Amount); }
inline std::string AutoRoute(int From, int To) { return OrderText(ordAutoRoute, From, To); }
// Zone's production is spent on units of Kind with the counts (a "#"-list, see Counts).
inline std::string BuildUnit(int Zone, TUnitKind Kind, const std::string& CountList) {
  return OrderText(ordBuildUnit, Zone, static_cast<int>(Kind), CountList);
}
inline std::string BuildFactory(int Zone) { return OrderText(ordBuildFactory, Zone); }
inline std::string BuildBorder(int Zone, int Neighbour) { return OrderText(ordBuildBorder, Zone, Neighbour); }
inline std::string Bomb(TUnitId U, int Zone) { return OrderText(ordBomb, Zone, U.ID); }
inline std::string Bombard(TUnitId U, int Zone) { return OrderText(ordBombard, Zone, U.ID); }
// The air unit bases on Carrier, which stands in CarrierZone.
inline std::string RebaseCarrier(TUnitId U, TUnitId Carrier, int CarrierZone) {
  return OrderText(ordRebaseCarrier, CarrierZone, U.ID, Carrier.ID);
}
inline std::string Formations(int Nation, const std::string& Weights) { return OrderText(ordFormations, Nation, Weights); }
// Nation acts on Target (a nation) with the diplomatic action.
inline std::string Diplomatic(int Nation, int Target, int Action) { return OrderText(ordDiplomatic, Nation, Target, Action); }
inline std::string DeclareWar(int Nation, int Target) { return OrderText(ordDeclareWar, Nation, Target); }
inline std::string Surface(TUnitId U) { return OrderText(ordSurface, U.ID); }
inline std::string Submerge(TUnitId U) { return OrderText(ordSubmerge, U.ID); }
inline std::string Research(int Nation, const std::string& Allocation) { return OrderText(ordResearch, Nation, Allocation); }
// The rockets of Site fire at Target; Site itself as the target stops them.
inline std::string TargetRockets(int Target, int Site) { return OrderText(ordTargetRockets, Target, Site); }
inline std::string BuildRocket(int Zone) { return OrderText(ordBuildRocket, Zone); }
inline std::string BuildAirfield(int Zone) { return OrderText(ordBuildAirfield, Zone); }
inline std::string BuildPort(int Zone) { return OrderText(ordBuildPort, Zone); }
// The units (a "#"-list, see Units) of Zone board Ship, which stands in ShipZone.
inline std::string EmbarkDivide(int Zone, TUnitId Ship, int ShipZone, const std::string& UnitList) {
  return OrderText(ordEmbarkDivide, Zone, ShipZone, Ship.ID, UnitList);
}
// The air units (a "#"-list) of Zone base on Carrier, which stands in CarrierZone.
inline std::string RebaseDivide(int Zone, TUnitId Carrier, int CarrierZone, const std::string& UnitList) {
  return OrderText(ordRebaseDivide, Zone, CarrierZone, Carrier.ID, UnitList);
}
inline std::string Kamakaze(TUnitId U) { return OrderText(ordKamakaze, U.ID); }
inline std::string RenameUnit(TUnitId U, const std::string& Name) { return OrderText(ordRenameUnit, U.ID, Name); }
// Zone's supply, reckoned Depth steps deep.
inline std::string GlobalRoute(int Zone, int Depth) { return OrderText(ordGlobalRoute, Zone, Depth); }
// Nation's resources stop flowing along its routes.
inline std::string GlobalClear(int Nation) { return OrderText(ordGlobalClear, Nation); }
// Zone builds its sea units in the sea zone beside it.
inline std::string PortZone(int Zone, int Sea) { return OrderText(ordPortZone, Zone, Sea); }
inline std::string Surrender(const std::string& Player) { return OrderText(ordSurrender, Player); }

// --- Changes (what the host's rules say happened) ---

template <class... Ts>
std::string Change(TChangeCode Code, const Ts&... Fields) {
  return ChangeRecord(Code, Fields...);
}

inline std::string UnitMove(TUnitId U, int Zone) { return Change(chUnitMove, U.ID, Zone); }
// What struck a zone, as a strike record's last field says it.
enum TStrike { stInvasion = 0, stAirStrike = 1, stBombardment = 2 };
inline std::string ZoneStrike(int Nation, int Zone, TStrike Strike) {
  return Change(chZoneStrike, Nation, Zone, static_cast<int>(Strike));
}
// An army's invasion names no kind of strike: the missing field reads as an invasion.
inline std::string ZoneInvaded(int Nation, int Zone) { return Change(chZoneStrike, Nation, Zone); }
// The unit's order, its destination zone and unit (-1 for none) and whether it attacks.
inline std::string UnitOrder(TUnitId U, TOrderType Order, int Zone, int DestinationUnit, bool Attacking) {
  return Change(chUnitOrder, U.ID, static_cast<int>(Order), Zone, DestinationUnit, Attacking);
}
inline std::string UnitBase(TUnitId U, int Zone, int Carrier) { return Change(chUnitBase, U.ID, Zone, Carrier); }
inline std::string CombatEnded(int Zone) { return Change(chCombatEnded, Zone); }
inline std::string ConvoyDelivered(TUnitId U) { return Change(chConvoyDelivered, U.ID); }
inline std::string UnitEmbarked(TUnitId U) { return Change(chUnitEmbarked, U.ID); }
inline std::string UnitDisembarked(TUnitId U) { return Change(chUnitDisembarked, U.ID); }
inline std::string PatrolPosition(TUnitId U, int Position, int Step, int Zone) {
  return Change(chPatrolPosition, U.ID, Position, Step, Zone);
}
inline std::string ZoneBombarded(int Zone, int Count) { return Change(chZoneBombarded, Zone, Count); }
inline std::string UnitsBuilt(int Zone) { return Change(chUnitsBuilt, Zone); }
inline std::string UnitStrength(TUnitId U, const std::string& CountList, int Deduction) {
  return Change(chUnitStrength, U.ID, CountList, Deduction);
}
inline std::string UnitRemoved(TUnitId U) { return Change(chUnitRemoved, U.ID); }
// Target's stability, set by Acting (-1 for none).
inline std::string Stability(int Acting, int Target, int Value) { return Change(chStability, Acting, Target, Value); }
// Nation's relation with Other.
inline std::string Relation(int Nation, int Other, int Value) { return Change(chRelation, Nation, Other, Value); }
// Nation's influence in Other.
inline std::string Influence(int Nation, int Other, int Value) { return Change(chInfluence, Nation, Other, Value); }
inline std::string Countdown(int Nation, int Value) { return Change(chCountdown, Nation, Value); }
// Conquered falls to Conqueror; its government goes into exile with Exile (-1 for none), or
// it is annexed; the units caught are a "#"-list of identifiers (see Units).
inline std::string NationConquered(int Conqueror, int Conquered, int Exile, bool Annexed, const std::string& Caught) {
  return Change(chNationConquered, Conqueror, Conquered, Exile, Annexed, Caught);
}
inline std::string Coup(int Nation, int Strength) { return Change(chCoup, Nation, Strength); }
inline std::string DiplomaticActionUsed(int Nation) { return Change(chDiplomaticActionUsed, Nation); }
// Nation's research allocation text.
inline std::string ResearchAllocation(int Nation, const std::string& Allocation) {
  return Change(chResearchAllocation, Nation, Allocation);
}
// Each nation's research group that gained a point: pairs of nation, research group.
inline std::string ResearchProgress(std::initializer_list<std::array<int, 2>> Pairs) {
  return Change(chResearchProgress, IntList(Pairs));
}
// Each nation's research group that rose a level: triples of nation, research group, pick value.
inline std::string ResearchLevel(std::initializer_list<std::array<int, 3>> Triples) {
  return Change(chResearchLevel, IntList(Triples));
}
// Nation's diplomatic action on Target, as the other machines report it.
inline std::string Diplomacy(int Nation, int Target, int Action) { return Change(chDiplomacy, Nation, Target, Action); }
// Every major power against every other.
inline std::string FreeForAll() { return Change(chFreeForAll); }
inline std::string ZoneConquered(int Zone, int Conqueror, int Owner) { return Change(chZoneConquered, Zone, Conqueror, Owner); }

}  // namespace rec
