#pragma once
// The game's fixed tables and small shared types: the sixteen unit types with their kinds and
// figures, the eight research groups, the 44 order codes and the engine's exception class.
#include <array>
#include <bitset>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Exception.h"

// Raised by the rules engine and its model: a file record that cannot be used, a rule that
// meets a state it cannot handle. The game screen shows the message.
class EBrenmoorEngine : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// The player name of the powers a person plays in a game on this machine alone (and the
// impulse clock's only user then).
inline constexpr const char* SoloPlayerName = "[SOLO]";

// Counts every change of what a path's step cost reads besides the map's links: a zone's
// owner, a nation's alliance, a relation crossing into or out of alliance, a nation made,
// renumbered or read. Every engine of the process counts on the one number (there are no
// threads in the rules): a kept path search is good while the number stays the same, and a
// change in another engine only costs a search again.
struct TStepCostVersion {
  static inline std::uint64_t Value = 0;
  static void Changed() { ++Value; }
};

constexpr int UnitTypeCount = 16;
constexpr int UnitKindCount = 3;
constexpr int ResearchGroupCount = 8;
// Rows of a zone's tallies: 0..6 the major powers by index, 7 every minor nation.
constexpr int TallyRowCount = 8;
constexpr int MaxMajorPowers = 7;
constexpr int MinorTallyRow = 7;

enum TUnitType : std::uint8_t {
  utMerchantShip, utArtillery, utAAGun, utInfantry, utArmor, utFighter, utDiveBomber, utBomber,
  utAtomicBomber, utTransport, utDestroyer, utSubmarine, utCruiser, utCarrier, utBattleship,
  utJetFighter
};

enum TUnitKind : std::uint8_t { ukArmy, ukAirForce, ukNavy };

// A set of unit kinds: bit k for kind k.
using TUnitKinds = std::uint8_t;
constexpr TUnitKinds KindBit(TUnitKind Kind) { return static_cast<TUnitKinds>(1u << Kind); }
constexpr TUnitKinds AllUnitKinds = 7;

struct TUnitTypeInfo {
  const char* Name;
  TUnitKind Kind;
  std::uint16_t Speed;
  std::uint16_t Range;
  std::uint16_t Weight;
  std::uint16_t Attack;
  std::uint16_t Defense;
  std::uint16_t Resources;
  float Production;
  std::uint16_t Carrier;
};

inline constexpr std::array<TUnitTypeInfo, UnitTypeCount> UnitTypes{{
    {"Merchant Ship", ukNavy, 6, 0, 0, 2, 0, 5, 0.0f, 0},
    {"Artillery", ukArmy, 3, 0, 1, 20, 0, 2, 1.2f, 0},
    {"AA Gun", ukArmy, 3, 0, 1, 20, 0, 2, 1.2f, 0},
    {"Infantry", ukArmy, 3, 0, 1, 15, 20, 2, 1.0f, 0},
    {"Armor", ukArmy, 5, 0, 2, 20, 35, 4, 2.0f, 0},
    {"Fighter", ukAirForce, 9, 4, 0, 30, 25, 8, 4.0f, 1},
    {"Dive Bomber", ukAirForce, 9, 4, 0, 40, 15, 12, 4.0f, 1},
    {"Bomber", ukAirForce, 9, 5, 0, 40, 5, 15, 8.0f, 0},
    {"Atomic Bomber", ukAirForce, 9, 5, 0, 40, 5, 40, 8.0f, 0},
    {"Transport", ukNavy, 5, 0, 0, 5, 5, 2, 2.0f, 0},
    {"Destroyer", ukNavy, 9, 0, 0, 15, 10, 3, 3.0f, 0},
    {"Submarine", ukNavy, 7, 0, 0, 20, 30, 4, 4.0f, 0},
    {"Cruiser", ukNavy, 6, 0, 0, 25, 25, 5, 6.0f, 0},
    {"Carrier", ukNavy, 5, 0, 0, 10, 30, 10, 20.0f, 0},
    {"Battleship", ukNavy, 5, 0, 0, 40, 50, 15, 30.0f, 0},
    {"Jet Fighter", ukAirForce, 9, 8, 0, 30, 50, 8, 12.0f, 1},
}};

inline constexpr std::array<const char*, UnitKindCount> UnitKindNames{"Army", "Air Force", "Navy"};

inline constexpr std::array<const char*, ResearchGroupCount> ResearchGroupNames{
    "Conventional Land", "Conventional Air", "Conventional Sea", "Atomic",
    "Radar",             "Code Breaking",    "Jet Technology",   "Rocket Technology"};

// The order codes, 0..43: a unit's current order and the first field of an order record.
enum TOrderType : std::uint8_t {
  ordNone, ordMove, ordLaunch, ordRetreat, ordMerge, ordDock, ordDivide, ordEmbark, ordDisembark,
  ordIntercept, ordInvade, ordPatrol, ordRebase, ordAirStrike, ordAtomicBomb, ordReturnToBase,
  ordRecon, ordRoute, ordAutoRoute, ordBuildUnit, ordBuildFactory, ordBuildBorder, ordBomb,
  ordBombard, ordRebaseCarrier, ordFormations, ordBaseHere, ordDiplomatic, ordDeclareWar,
  ordSurface, ordSubmerge, ordResearch, ordTargetRockets, ordBuildRocket, ordBuildAirfield,
  ordBuildPort, ordEmbarkDivide, ordRebaseDivide, ordKamakaze, ordRenameUnit, ordGlobalRoute,
  ordGlobalClear, ordPortZone, ordSurrender
};
constexpr int OrderTypeCount = 44;

// A set of order codes (bit i for code i).
class TOrderSet {
public:
  TOrderSet() = default;
  TOrderSet(std::initializer_list<TOrderType> Orders) {
    for (TOrderType O : Orders) Include(O);
  }
  void Include(TOrderType O) { FBits.set(O); }
  bool Contains(TOrderType O) const { return FBits.test(O); }
  bool Empty() const { return FBits.none(); }
  int Count() const { return static_cast<int>(FBits.count()); }
  friend bool operator==(const TOrderSet&, const TOrderSet&) = default;

private:
  std::bitset<OrderTypeCount> FBits;
};

// A float32 in its shortest decimal form (the fewest digits that read back to the same value),
// written with the game's number helpers: "." as decimal separator whatever the locale.
std::string SingleToStr(float Value);
// A value with two decimals and at least one digit before the point ("1.00", "-0.50").
std::string FormatTwoDecimals(double Value);
// The number of a float32 field of a saved game or change record: none when the text is no
// number, or a number that is not finite or lies beyond a float32's range (the game would
// write it as "INF", which no machine reads back).
std::optional<float> TryStrToSingle(std::string_view Text);
// The same, raising EConvertError "'x' is not a valid floating point value" for a text that
// is no number and "'x' is out of range for a floating point value" for one too large.
float StrToSingle(std::string_view Text);
// A double field (a game date): a finite number within a double's range, else EConvertError.
double StrToFiniteDouble(std::string_view Text);

// Formation weights (a nation's unit costs) as the formations window offers them: 10 to 100
// in steps of 5, each type starting at 10. A scenario's nations start with these; a saved game
// keeps its own.
constexpr std::uint16_t FormationWeightLowest = 10;
constexpr std::uint16_t FormationWeightHighest = 100;
constexpr std::uint16_t FormationWeightStep = 5;
constexpr std::uint16_t StartingFormationWeight = 10;

// The research costs of the eight groups (points to complete a level) until a scenario's
// "ResearchGroups" line replaces them for that scenario.
inline constexpr std::array<std::uint16_t, ResearchGroupCount> DefaultResearchCosts{25, 20, 20, 200, 15, 10, 60, 60};

// A date in the game's long form "mmmm d, yyyy" ("November 1, 1940"), whatever the locale.
std::string LongDateToStr(double Date);

// The counts of a new unit placement, one per unit type.
using TUnitCounts = std::array<std::uint16_t, UnitTypeCount>;
