#pragma once
// What the game's unit and forces lists and its divide and build windows decide, without any
// window: the text of a forces line and what it shows, where a unit joins a unit list, how a
// quantity is set, how forces move between a parent unit and a new one, and what a build costs,
// whether it can be paid and how long it takes. The windows only show these results.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/EngineTypes.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;
class TUnit;

// One count per unit type, in type order.
using TForceCounts = std::array<std::int32_t, UnitTypeCount>;

// --- Forces lines ---

// A forces line: owner (nation index) ";" type ";" quantity, with the strength ";" after it for
// a line made from a unit ("" for a line without).
struct TForcesLine {
  std::int32_t Owner = 0;
  std::int32_t Type = 0;
  std::int32_t Quantity = 0;
  std::string Strength;
};
TForcesLine ParseForcesLine(const std::string& Text);
// The line of a unit's type: owner, type, count and the unit's factor for it, each followed by ";".
std::string UnitForcesLineText(std::int32_t Owner, std::int32_t Type, std::int32_t Quantity, float Strength);
// The line a quantity is set to: owner ";" type ";" quantity, without a final ";".
std::string QuantityLineText(std::int32_t Owner, std::int32_t Type, std::int32_t Quantity);
// "1 Bomber", "2 Infantry", "3 Destroyers": the quantity and the type's name, plural with an
// "s" except for Artillery, Infantry and Armor.
std::string ForcesCountText(std::int32_t Type, std::int32_t Quantity);
// The veteran level a strength stands for: every whole point above 2 counts 10, the tenths of
// the rest count one each (strength 2.0 is level 10). 0 for no strength.
std::int32_t VeteranLevel(const std::string& Strength);
// "v" and the level + 1 when the level is above 0, else "".
std::string VeteranLevelText(const std::string& Strength);
// The row of the unit-type icons a line of Owner takes: the nation's colour slot for a major
// power, 7 for every other index.
std::int32_t ForcesColorRow(const TBrenmoorEngine& Engine, std::int32_t Owner);
// True when Type is the last type of the unit with a count above 0: its line ends the unit's
// lines and carries the separator.
bool IsLastForcesLineOfUnit(const TUnit& Unit, std::int32_t Type);
// The index of the first line of Owner and Type, -1 when none.
std::int32_t FindForcesLine(const std::vector<std::string>& Lines, std::int32_t Type, std::int32_t Owner);

// What setting a quantity does to a forces list.
enum TSetQuantityStep { sqNothing, sqDelete, sqRewrite, sqAppend };
// Found: the line of that owner and type exists. A quantity of 0 deletes a found line and a
// quantity below 1 adds none, unless KeepZeroForces; otherwise the line is rewritten or appended.
TSetQuantityStep SetQuantityStep(bool Found, std::int32_t Quantity, bool KeepZeroForces);

// --- Unit lists ---

// Where a unit joins a unit list whose units' nations are or are not played here (Local, in
// list order): a local player's unit goes before the first unit that is not, so the local
// units stay on top in the order they came; any other unit goes at the end.
std::int32_t UnitInsertPosition(const std::vector<bool>& Local, bool NewIsLocal);

// --- Dividing a unit ---

// The forces of the parent unit and of the new unit being split off.
struct TDivideForces {
  TForceCounts Parent{};
  TForceCounts New{};
};
// One of a type from one side to the other: false (nothing moves) when From holds none.
bool MoveOneForce(std::int32_t& From, std::int32_t& To);
// All of a type from one side to the other.
void MoveAllForces(std::int32_t& From, std::int32_t& To);
// Both sides hold forces: only then can the unit be divided.
bool DivideCanProceed(const TDivideForces& Forces);
// After an impulse: the two sides are fitted to the unit's counts as they are now. Forces it
// lost come off the new unit first, then off the parent (never below 0); forces it gained join
// the parent.
void FitDivideToUnit(TDivideForces& Forces, const TUnit& Unit);
// Counts as the divide and build orders carry them: each type's quantity followed by "#".
std::string ForceCountsText(const TForceCounts& Counts);
// Whether an open divide window stays open after an impulse: the unit still exists (Unit is
// not nullptr), its zone is not embattled and its forces are not all gone.
bool DivideStaysOpen(const TUnit* Unit, const TDivideForces& Forces);

// --- Building units ---

// The highest quantity of one type the build window takes.
inline constexpr std::int32_t MaxBuildQuantity = 1000;
// True when the nation's progress in the research group reaches its cost.
bool ResearchComplete(const TNation& Nation, std::int32_t Group);
// The types the build window offers for Kind in the zone: every type of the kind, in type
// order, when the game allows building (EngineOptions bit 7) and the zone has factories, the
// Atomic Bomber only once Atomic research is complete and the Jet Fighter only once Jet
// Technology is; otherwise the Merchant Ship alone.
std::vector<std::int32_t> BuildableTypes(const TBrenmoorEngine& Engine, const TNation& Nation,
                                         const TBrenmoorZone& Zone, TUnitKind Kind);
// What the build window shows for the chosen counts.
struct TBuildEstimate {
  // The cost in resources, the active events' build-cost factors for the kind and zone applied.
  double Cost = 0;
  // The cost rounded up; the zone's resources truncated.
  std::int64_t CostShown = 0;
  std::int64_t Available = 0;
  // The cost is at most the zone's resources.
  bool CanProceed = false;
  // The build time of the counts over the zone's factories (one without), rounded.
  std::int32_t Turns = 0;
};
TBuildEstimate EstimateBuild(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, TUnitKind Kind,
                             const TForceCounts& Counts);
// The quantity of Type the zone can pay with the other counts as they are: the highest that
// keeps the build affordable, 0 when none does, at most MaxBuildQuantity.
std::int32_t MostAffordableQuantity(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, TUnitKind Kind,
                                    TForceCounts Counts, std::int32_t Type);
