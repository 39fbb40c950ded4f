#pragma once
// The ranges of the numbers that a scenario file and a saved game give, each declared once and
// read by both readers: a value outside refuses the whole file. They are generous (far beyond
// any game the rules play) yet small enough that every sum and product the rules form of them
// stays within its type: an effective industry is industry plus rich resources, a world's
// industry is summed over the zones in 64 bits, an impulse counts on by one, a unit's strength
// multiplies counts, experience, organisation and type factors.
#include <cstdint>

// The integers Min..Max.
struct TValueRange {
  std::int64_t Min;
  std::int64_t Max;
  constexpr bool Holds(std::int64_t V) const { return V >= Min && V <= Max; }
};

// The finite floating point numbers Min..Max.
struct TFloatRange {
  double Min;
  double Max;
  constexpr bool Holds(double V) const { return V >= Min && V <= Max; }
};

namespace FieldRange {

// Whatever the rules count on, a zone's industry or a nation's stability: far beyond a game,
// and the product of two still fits 64 bits, the sum of a million 32 bits.
inline constexpr std::int64_t Large = 1000000;

// An index into the game's nations, zones or units, -1 for none (checked against the game's
// own counts where it is resolved).
inline constexpr TValueRange Index{-1, Large};
// A unit's identifier: the list files units under it and counts on from the highest.
inline constexpr TValueRange UnitID{0, 100000000};
inline constexpr TValueRange UnitIDOrNone{-1, 100000000};

// A 16-bit count: of a unit type in a unit, a tally, a nation's unit costs and research.
inline constexpr TValueRange Count{0, 65535};

// A scenario's number of nations: every nation keeps a relation towards every other.
inline constexpr TValueRange NationCount{0, 1000};

// A zone's.
inline constexpr TValueRange Industry{0, Large};
inline constexpr TValueRange Factories{0, Large};
inline constexpr TValueRange RichResources{0, Large};
inline constexpr TValueRange Income{-Large, Large};
inline constexpr TValueRange StrikeCount{0, Large};
inline constexpr TValueRange BorderCount{0, 10000};
inline constexpr TValueRange BorderLevel{-Large, Large};
inline constexpr TValueRange TerrainDefense{0, 255};
inline constexpr TValueRange BuildKind{-1, 255};
inline constexpr TFloatRange Resources{-1e9, 1e9};
inline constexpr TFloatRange BuildAmount{-1e9, 1e9};

// A nation's.
inline constexpr TValueRange NationNumber{-10000, 10000};  // value 5, countdown, stability
inline constexpr TValueRange DiplomaticInterval{0, 10000};
inline constexpr TValueRange ResearchSpendingTotal{0, Large};
inline constexpr TValueRange ScoreDeduction{-100000000, 100000000};

// A unit's.
inline constexpr TValueRange Ordinal{0, Large};
inline constexpr TValueRange PatrolPlace{-Large, Large};
// Experience grows without end in a long game: any float.
inline constexpr TFloatRange Experience{-3.4e38, 3.4e38};
inline constexpr TFloatRange Organization{-1e4, 1e4};
// A nation's or a unit's factor of a unit type's strength.
inline constexpr TFloatRange TypeFactor{-1e4, 1e4};
inline constexpr TFloatRange SortKey{-1e9, 1e9};

// A storm's, a routing's, an active event's: places and sizes on the map and counts of impulses.
inline constexpr TValueRange MapPlace{-Large, Large};
inline constexpr TValueRange MapSize{0, Large};
inline constexpr TValueRange Impulses{-Large, Large};
inline constexpr TValueRange Chance{-Large, Large};
inline constexpr TValueRange Amount{-Large, Large};
inline constexpr TValueRange AllianceKey{-1, Large};
// A random event's change in per cent and the factor of an active event made of it.
inline constexpr TValueRange Percent{-Large, Large};
inline constexpr TFloatRange Factor{-1e4, 1e4};
// A victory condition's share of the world in per cent, or its impulses to survive.
inline constexpr TValueRange VictoryTarget{-Large, Large};

// The game's: the impulse counts on by one each impulse; a date is days since 30 December 1899
// within the years 1..9999.
inline constexpr TValueRange Impulse{0, 100000000};
inline constexpr TFloatRange Date{-693593, 2958465};

}  // namespace FieldRange
