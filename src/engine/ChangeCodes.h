#pragma once
// The change codes: what a change record of the host says happened, the first field of every
// record that the replay on the other machines reads. The numbers are the records' own and
// never change (saved logs, peers of the same version and the replay rely on them). The fields
// of each code's record are described once, by ChangeShape (ChangeCodes.cpp).
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

enum TChangeCode : std::int32_t {
  chUnitMove = 0,
  chUnitOrganization = 1,
  chZoneStrike = 2,
  chUnitOrder = 3,
  chUnitBase = 4,
  chUnitPatrol = 5,
  chEmbattledZones = 6,
  chCombatEnded = 7,
  chFactoryBuilt = 8,
  chBorderDefenceBuilt = 9,
  chRoutingCreated = 10,
  chSupplySource = 11,
  chBuildStarted = 12,
  chUnitDivided = 13,
  chUnitsMerged = 14,
  chConvoyDelivered = 15,
  chUnitEmbarked = 16,
  chUnitDisembarked = 17,
  chPatrolPosition = 18,
  chZoneBombed = 19,
  chZoneBombarded = 20,
  chUnitsBuilt = 21,
  chBuildProgress = 22,
  chUnitStrength = 23,
  chUnitRemoved = 24,
  chStormRemoved = 25,
  chStormMoved = 26,
  chStormCreated = 27,
  chUnitCosts = 28,
  chStability = 29,
  chRelation = 30,
  chInfluence = 31,
  chCountdown = 32,
  chNationConquered = 33,
  chCoup = 34,
  chDiplomaticActionUsed = 35,
  chUnitExperience = 36,
  chUnitSubmerged = 37,
  chRandomEvent = 38,
  chResourceEffects = 39,
  chResearchAllocation = 40,
  chResearchProgress = 41,
  chResearchLevel = 42,
  chZoneConquered = 43,
  chAtomicBomb = 44,
  chRocketTarget = 45,
  chRocketHit = 46,
  chAirfieldBuilt = 47,
  chPortBuilt = 48,
  chRocketSiteBuilt = 49,
  chReinforcement = 50,
  chUnitRenamed = 51,
  chDiplomacy = 52,
  chSupplyWalk = 53,
  chSupplyReset = 54,
  chPortZone = 55,
  chPlayerRemoved = 56,
  chConvoyLaunched = 57,
  chFreeForAll = 58,  // every major power against every other
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

// The text of one field of a record: integers in decimal, booleans "1"/"0", a float32 in
// its shortest form, other floats as the joiner writes them, texts as they are.
template <class T>
std::string ChangeFieldText(const T& Value) {
  if constexpr (std::is_same_v<T, float>)
    return SingleToStr(Value);
  else
    return TokenText(Value);
}
// Code ";" then each field followed by ";".
template <class... Ts>
std::string ChangeRecord(int Code, const Ts&... Fields) {
  std::string S = IntToStr(Code) + ";";
  ((S += ChangeFieldText(Fields), S += ';'), ...);
  return S;
}
