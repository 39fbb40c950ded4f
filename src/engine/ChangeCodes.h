#pragma once
// The change codes: what a change record of the host says happened, the first field of every
// record that the replay on the other machines reads. The numbers are the records' own and
// never change (saved logs, peers of the same version and the replay rely on them).
#include <cstdint>
#include <string>
#include <vector>

enum TChangeCode : std::int32_t {
  chUnitMove = 0,  // U; zone
  chUnitOrganization = 1,  // list of triples: zone, unit, organisation (float)
  chZoneStrike = 2,  // nation; zone; kind
  chUnitOrder = 3,  // U; order (ordinal of `TOrderType`); destination zone or -1; destination unit or -1; attacking flag
  chUnitBase = 4,  // U; zone; carrier unit or -1
  chUnitPatrol = 5,  // U; list of zones; order
  chEmbattledZones = 6,  // list of zones
  chCombatEnded = 7,  // zone
  chFactoryBuilt = 8,  // zone; resources (float)
  chBorderDefenceBuilt = 9,  // zone; neighbour zone; resources (float)
  chRoutingCreated = 10,  // source zone; target zone; amount (int)
  chSupplySource = 11,  // zone; source zone
  chBuildStarted = 12,  // zone; kind (0 army, 1 air force, 2 navy); list of 16 counts, one per unit type in type order; resources (float)
  chUnitDivided = 13,  // U; list of 16 counts; zone or -1; unit or -1
  chUnitsMerged = 14,  // zone; list of units
  chConvoyDelivered = 15,  // U
  chUnitEmbarked = 16,  // U
  chUnitDisembarked = 17,  // U
  chPatrolPosition = 18,  // U; patrol position (int); patrol step (+1 or -1); destination zone
  chZoneBombed = 19,  // nation (the bomber's owner); zone; bombing count (int); resources (float)
  chZoneBombarded = 20,  // zone; bombardment count (int)
  chUnitsBuilt = 21,  // zone
  chBuildProgress = 22,  // zone; progress (float)
  chUnitStrength = 23,  // U; list of 16 counts; score deduction (int)
  chUnitRemoved = 24,  // U
  chStormRemoved = 25,  // storm index
  chStormMoved = 26,  // storm index; X; Y
  chStormCreated = 27,  // the storm's saved-game text (one field, Part 4.104)
  chUnitCosts = 28,  // nation; list of 16 costs, "-" for a cost left unchanged
  chStability = 29,  // acting nation or -1; target nation; stability (int)
  chRelation = 30,  // nation; other nation; relation (int)
  chInfluence = 31,  // nation; other nation; value (int)
  chCountdown = 32,  // nation; countdown (int)
  chNationConquered = 33,  // conqueror; conquered nation; exile host nation or -1; annex flag; list of the identifiers of the units caught (text)
  chCoup = 34,  // nation; strength (int)
  chDiplomaticActionUsed = 35,  // nation
  chUnitExperience = 36,  // list of triples: zone, unit, experience (float)
  chUnitSubmerged = 37,  // U; flag
  chRandomEvent = 38,  // random event index; the active event's saved-game text
  chResourceEffects = 39,  // list of pairs: zone, resources (float)
  chResearchAllocation = 40,  // nation; allocation text
  chResearchProgress = 41,  // list of pairs: nation, research group
  chResearchLevel = 42,  // list of triples: nation, research group, pick value (0..99)
  chZoneConquered = 43,  // zone; conqueror; new owner
  chAtomicBomb = 44,  // nation; zone; unit; industry (int); resources (float); factories (int)
  chRocketTarget = 45,  // target zone; rocket zone
  chRocketHit = 46,  // rocket zone; damage (int)
  chAirfieldBuilt = 47,  // zone; resources (float)
  chPortBuilt = 48,  // zone; resources (float)
  chRocketSiteBuilt = 49,  // zone; resources (float)
  chReinforcement = 50,  // reinforcement index
  chUnitRenamed = 51,  // U; name (text)
  chDiplomacy = 52,  // nation; target nation; action (int)
  chSupplyWalk = 53,  // zone; depth (int)
  chSupplyReset = 54,  // nation
  chPortZone = 55,  // zone; sea zone
  chPlayerRemoved = 56,  // player name (text)
  chConvoyLaunched = 57,  // zone; ship count (int); resources (float); port zone
  chFreeForAll = 58,  // (none): every major power against every other
};

// The number of change codes (0 .. ChangeCodeCount - 1).
constexpr std::int32_t ChangeCodeCount = 59;

// What one field of a change record holds.
enum class TChangeFieldKind : std::uint8_t {
  Unit,              // a unit's identifier
  Zone,              // a zone's index in the engine's zone list
  Nation,            // a nation's index in the engine's nation list
  Storm,             // a storm's index in the engine's storm list
  RandomEvent,       // a random event's index
  Reinforcement,     // a reinforcement's index
  Int,               // a decimal integer
  Float,             // a number with "." as its decimal separator, within a float's range
  Flag,              // "1" or "0"
  Text,              // the rest of one field, whatever it holds
  ZoneList,          // "#"-list of zone indices
  UnitList,          // "#"-list of unit identifiers
  IntList,           // "#"-list of integers
  Counts,            // "#"-list of one count per unit type, in type order (0 .. 65535)
  Costs,             // "#"-list of up to one cost per unit type, "-" for a cost left as it is
  ZoneUnitValues,    // "#"-list of triples: zone, unit, value (a number)
  ZoneValues,        // "#"-list of pairs: zone, value (a number)
  NationGroups,      // "#"-list of pairs: nation, research group
  NationGroupPicks,  // "#"-list of triples: nation, research group, pick (0 .. 99)
};

// One field after the code. Min and Max bound an integer field where the replay relies on a
// range (-1 as the least of a unit, zone or nation field is "none"). A field left out at the
// end is one that older hosts, or some of the host's writers, do not send.
struct TChangeField {
  const char* Name;
  TChangeFieldKind Kind;
  std::int32_t Min;
  std::int32_t Max;
  bool LeftOut = false;
};

// The description of one change code: its name (the enumerator's), whether its first field is
// the unit it addresses (a record whose unit does not exist is skipped whole) and its fields.
struct TChangeShape {
  TChangeCode Code;
  const char* Name;
  bool UnitAddressed;
  std::vector<TChangeField> Fields;
};

// The description of Code (0 .. ChangeCodeCount - 1).
const TChangeShape& ChangeShape(TChangeCode Code);
// The number of fields that every record of Code carries after the code (the unit of a
// unit-addressed record included): the fields before the first one that may be left out.
std::int32_t RequiredChangeFields(TChangeCode Code);
// "" when Record is a change record as the host writes it (a known code, every field followed
// by ";", no field missing but those that may be left out, none too many, each field of its
// kind and range); else what is wrong with it. The indices are not looked up in any game.
std::string CheckChangeShape(const std::string& Record);
