#pragma once
// Why an order record was not carried out: the host's check of a record against its sender
// and the order stage's effect each name the first thing that stopped it.
#include <iosfwd>
#include <string_view>

enum class TOrderRefusal {
  None,               // the order is given (or was carried out)
  UncleanText,        // a field carries "~" or "|", the delimiters of the messages around it
  NoCode,             // the record does not start with a number
  UnknownCode,        // a code above the last order
  MissingField,       // a field the order reads is missing
  NotANumber,         // a field that must be a number is not
  ExtraField,         // more fields than the order's writer writes
  NoSuchZone,         // a zone index outside the map
  NoSuchNation,       // a nation index outside the nations
  NoSuchUnit,         // a unit identifier no unit has
  NotTheSenders,      // the unit, zone or nation belongs to no power the sender plays
  CannotTakeOrder,    // the unit cannot take this order now
  OutOfRange,         // a number outside what the order allows
  CountAboveHolding,  // a count above what the unit holds, or below zero
  NothingCounted,     // every count is zero
  TooManyItems,       // a list longer than the unit types or research groups
  WrongUnitKind,      // a count of a unit type of another kind than the order's
  UnitNamedTwice,     // a list names one unit twice
  UnitsApart,         // a unit to merge is not in the merge's zone
  CannotMerge,        // the units cannot be merged into one
  CannotDivide,       // the unit cannot be divided so
  NotAShip,           // the transport or carrier is no fleet, or is the unit itself
  NotAnAirUnit,       // only air units land on a carrier
  NotTheCarriersZone, // the air units would land where the carrier is not
  TooFewZones,        // a patrol or recon route of fewer than two zones
  NotANeighbour,      // the zone does not border the other
  NotASeaNeighbour,   // a port zone must be a sea zone beside the zone
  BadFormation,       // formation weights the formations window does not offer or cannot read
  NotTheSender,       // a surrender in another player's name
  UnitNowhere,        // the target unit stands in no zone
  AlreadyBuilding,    // the zone is building already
  CannotPay,          // a computer player's build costs more than the zone holds
  AlreadyBuilt,       // the zone has this improvement already, or as much of it as it can hold
  NothingToSend,      // a routing of nothing, or to the zone itself
  NotAllied,          // the supply source is no ally of the zone
  NoDiplomaticAction, // the nation has no diplomatic action left
  NoEffect,           // an order that the order stage leaves to other steps
};

// A short text of the reason ("" for None), for the host's debug log of refused records.
std::string_view OrderRefusalText(TOrderRefusal Refusal);
// The reason's text on a stream (test failures, debug output).
std::ostream& operator<<(std::ostream& Out, TOrderRefusal Refusal);
