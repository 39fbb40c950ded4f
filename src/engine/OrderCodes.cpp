#include "engine/OrderCodes.h"

#include <cassert>
#include <ostream>

#include "foundation/NumberText.h"

namespace {

using K = TOrderFieldKind;
constexpr std::int32_t IntMax = std::numeric_limits<std::int32_t>::max();

constexpr TOrderField Unit{"unit", K::Unit};
constexpr TOrderField Zone{"zone", K::Zone};
constexpr TOrderField Nation{"nation", K::Nation};

constexpr TOrderCode Describe(TOrderType Code, const char* Name, std::array<TOrderField, 4> Fields, std::uint8_t Count) {
  return {Code, Name, Fields, Count, Count};
}
constexpr TOrderCode Describe(TOrderType Code, const char* Name, std::array<TOrderField, 4> Fields, std::uint8_t Count,
                              std::uint8_t Read) {
  return {Code, Name, Fields, Count, Read};
}

constexpr std::array<TOrderCode, OrderTypeCount> OrderCodes = {{
    Describe(ordNone, "none", {Unit}, 1),
    Describe(ordMove, "move", {TOrderField{"to", K::Zone}, Unit}, 2),
    Describe(ordLaunch, "launch", {Unit}, 1),
    Describe(ordRetreat, "retreat", {Unit}, 1),
    Describe(ordMerge, "merge", {Zone, TOrderField{"units", K::UnitList}}, 2),
    Describe(ordDock, "dock", {TOrderField{"port", K::Zone}, Unit}, 2),
    Describe(ordDivide, "divide", {Unit, TOrderField{"counts", K::Counts}}, 2),
    Describe(ordEmbark, "embark", {TOrderField{"transport zone", K::Zone}, Unit, TOrderField{"transport", K::Unit}}, 3),
    Describe(ordDisembark, "disembark", {TOrderField{"to", K::Zone}, Unit}, 2),
    Describe(ordIntercept, "intercept", {Unit, TOrderField{"target", K::Unit}}, 2),
    Describe(ordInvade, "invade", {TOrderField{"to", K::Zone}, Unit}, 2),
    Describe(ordPatrol, "patrol", {Unit, TOrderField{"zones", K::ZoneList}}, 2),
    Describe(ordRebase, "rebase", {TOrderField{"base", K::Zone}, Unit}, 2),
    Describe(ordAirStrike, "air strike", {TOrderField{"target", K::Zone}, Unit}, 2),
    Describe(ordAtomicBomb, "atomic bomb", {Nation, TOrderField{"target", K::Zone}}, 2, 0),
    Describe(ordReturnToBase, "return to base", {Unit}, 1),
    Describe(ordRecon, "recon", {Unit, TOrderField{"zones", K::ZoneList}}, 2),
    Describe(ordRoute, "route", {TOrderField{"from", K::Zone}, TOrderField{"to", K::Zone}, TOrderField{"amount", K::Int, 1, IntMax}}, 3),
    Describe(ordAutoRoute, "auto route", {TOrderField{"from", K::Zone}, TOrderField{"source", K::Zone}}, 2),
    Describe(ordBuildUnit, "build unit",
             {Zone, TOrderField{"kind", K::Int, ukArmy, ukNavy}, TOrderField{"counts", K::Counts, 0, 65535}}, 3),
    Describe(ordBuildFactory, "build factory", {Zone}, 1),
    Describe(ordBuildBorder, "build border", {Zone, TOrderField{"neighbour", K::Zone}}, 2),
    Describe(ordBomb, "bomb", {TOrderField{"target", K::Zone}, Unit}, 2),
    Describe(ordBombard, "bombard", {TOrderField{"target", K::Zone}, Unit}, 2),
    Describe(ordRebaseCarrier, "rebase carrier", {TOrderField{"carrier zone", K::Zone}, Unit, TOrderField{"carrier", K::Unit}}, 3),
    Describe(ordFormations, "formations", {Nation, TOrderField{"weights", K::Formation, FormationWeightLowest, FormationWeightHighest}}, 2),
    Describe(ordBaseHere, "base here", {}, 0),
    Describe(ordDiplomatic, "diplomatic", {Nation, TOrderField{"target", K::Nation}, TOrderField{"action", K::Int}}, 3, 1),
    Describe(ordDeclareWar, "declare war", {Nation, TOrderField{"target", K::Nation}}, 2),
    Describe(ordSurface, "surface", {Unit}, 1),
    Describe(ordSubmerge, "submerge", {Unit}, 1),
    Describe(ordResearch, "research", {Nation, TOrderField{"allocation", K::Research, 0, IntMax}}, 2),
    Describe(ordTargetRockets, "target rockets", {TOrderField{"target", K::Zone}, TOrderField{"site", K::Zone}}, 2),
    Describe(ordBuildRocket, "build rocket", {Zone}, 1),
    Describe(ordBuildAirfield, "build airfield", {Zone}, 1),
    Describe(ordBuildPort, "build port", {Zone}, 1),
    Describe(ordEmbarkDivide, "embark divide",
             {TOrderField{"from", K::Zone}, TOrderField{"transport zone", K::Zone}, TOrderField{"transport", K::Unit},
              TOrderField{"units", K::UnitList}},
             4),
    Describe(ordRebaseDivide, "rebase divide",
             {TOrderField{"from", K::Zone}, TOrderField{"carrier zone", K::Zone}, TOrderField{"carrier", K::Unit},
              TOrderField{"units", K::UnitList}},
             4),
    Describe(ordKamakaze, "kamikaze", {Unit}, 1),
    Describe(ordRenameUnit, "rename unit", {Unit, TOrderField{"name", K::Text}}, 2),
    Describe(ordGlobalRoute, "global route", {Zone, TOrderField{"depth", K::Int, 1, IntMax}}, 2),
    Describe(ordGlobalClear, "global clear", {Nation}, 1),
    Describe(ordPortZone, "port zone", {Zone, TOrderField{"port zone", K::Zone}}, 2),
    Describe(ordSurrender, "surrender", {TOrderField{"player", K::Text}}, 1),
}};

static_assert(InOrderCodeOrder(OrderCodes), "one description per order code, in code order");

}  // namespace

const TOrderCode& OrderCodeOf(TOrderType Code) {
  assert(static_cast<std::size_t>(Code) < OrderCodes.size());
  return OrderCodes[static_cast<std::size_t>(Code)];
}

TOrderRefusal OrderShapeRefusal(std::string_view Record, const TOrderCode& Code, std::size_t Count, bool Exact) {
  std::size_t At = Record.find(';');
  if (At == std::string_view::npos) return TOrderRefusal::MissingField;
  for (std::size_t I = 0; I < Count; ++I) {
    const std::size_t End = Record.find(';', At + 1);
    if (End == std::string_view::npos) return TOrderRefusal::MissingField;
    if (IsIntegerField(Code.Fields[I].Kind) && !TryStrToInt(Record.substr(At + 1, End - At - 1))) return TOrderRefusal::NotANumber;
    At = End;
  }
  if (Exact && At + 1 < Record.size()) return TOrderRefusal::ExtraField;
  return TOrderRefusal::None;
}

std::string_view OrderRefusalText(TOrderRefusal Refusal) {
  switch (Refusal) {
    case TOrderRefusal::None: return "";
    case TOrderRefusal::UncleanText: return "a field holds a message delimiter";
    case TOrderRefusal::NoCode: return "no order code";
    case TOrderRefusal::UnknownCode: return "no such order code";
    case TOrderRefusal::MissingField: return "a field is missing";
    case TOrderRefusal::NotANumber: return "a field is no number";
    case TOrderRefusal::ExtraField: return "a field too many";
    case TOrderRefusal::NoSuchZone: return "no such zone";
    case TOrderRefusal::NoSuchNation: return "no such nation";
    case TOrderRefusal::NoSuchUnit: return "no such unit";
    case TOrderRefusal::NotTheSenders: return "not the sender's";
    case TOrderRefusal::CannotTakeOrder: return "the unit cannot take the order now";
    case TOrderRefusal::OutOfRange: return "a number out of range";
    case TOrderRefusal::CountAboveHolding: return "a count above what the unit holds";
    case TOrderRefusal::NothingCounted: return "every count is zero";
    case TOrderRefusal::TooManyItems: return "a list too long";
    case TOrderRefusal::WrongUnitKind: return "a unit type of another kind";
    case TOrderRefusal::UnitNamedTwice: return "a unit named twice";
    case TOrderRefusal::UnitsApart: return "a unit outside the zone";
    case TOrderRefusal::CannotMerge: return "the units cannot merge";
    case TOrderRefusal::CannotDivide: return "the unit cannot divide so";
    case TOrderRefusal::NotAShip: return "no ship to board";
    case TOrderRefusal::NotAnAirUnit: return "not an air unit";
    case TOrderRefusal::NotTheCarriersZone: return "not the carrier's zone";
    case TOrderRefusal::TooFewZones: return "fewer than two zones";
    case TOrderRefusal::NotANeighbour: return "not a neighbour";
    case TOrderRefusal::NotASeaNeighbour: return "not a sea zone beside the zone";
    case TOrderRefusal::BadFormation: return "formation weights not offered";
    case TOrderRefusal::NotTheSender: return "in another player's name";
    case TOrderRefusal::UnitNowhere: return "the target is in no zone";
    case TOrderRefusal::AlreadyBuilding: return "the zone is building";
    case TOrderRefusal::CannotPay: return "the zone cannot pay";
    case TOrderRefusal::AlreadyBuilt: return "already built";
    case TOrderRefusal::NothingToSend: return "nothing to send";
    case TOrderRefusal::NotAllied: return "not allied";
    case TOrderRefusal::NoDiplomaticAction: return "no diplomatic action left";
    case TOrderRefusal::NoEffect: return "no effect in the order stage";
  }
  return "unknown reason";
}

std::ostream& operator<<(std::ostream& Out, TOrderRefusal Refusal) {
  return Out << (Refusal == TOrderRefusal::None ? std::string_view("given") : OrderRefusalText(Refusal));
}
