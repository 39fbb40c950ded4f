#pragma once
// One description per order code: its name and the fields its record carries after the code,
// in the order every writer writes them and the rules read them. The writer of order records,
// the host's shape check and the reading of the fields by the order rules all come from it.
#include <array>
#include <cstdint>
#include <limits>
#include <string>
#include <string_view>

#include "engine/EngineTypes.h"
#include "engine/OrderRefusal.h"

// What one field of an order record holds.
enum class TOrderFieldKind : std::uint8_t {
  Zone,       // a zone index
  Nation,     // a nation index
  Unit,       // a unit identifier
  Int,        // an integer
  Text,       // a text (a unit's name, a player's name)
  ZoneList,   // zone indices, each followed by "#"
  UnitList,   // unit identifiers, each followed by "#"
  Counts,     // a count per unit type, each followed by "#"
  Research,   // the research share, then the allocation of each group, each followed by "#"
  Formation,  // a weight per unit type ("-" keeps it), each followed by "#"
};

// Whether a field of the kind is one integer (a zone, a nation, a unit or a number).
constexpr bool IsIntegerField(TOrderFieldKind Kind) { return Kind <= TOrderFieldKind::Int; }

struct TOrderField {
  const char* Name = "";
  TOrderFieldKind Kind = TOrderFieldKind::Int;
  // The range the rules allow an integer, or each count of a list.
  std::int32_t Lowest = std::numeric_limits<std::int32_t>::min();
  std::int32_t Highest = std::numeric_limits<std::int32_t>::max();
};

struct TOrderCode {
  TOrderType Code = ordNone;
  const char* Name = "";
  // The fields every writer writes after the code.
  std::array<TOrderField, 4> Fields{};
  std::uint8_t FieldCount = 0;
  // The leading fields the rules read whatever the game's state: the diplomatic order reads
  // its target and action only while the nation has actions left, and the atomic bomb's
  // fields are read by nobody in the order stage.
  std::uint8_t ReadCount = 0;
};

// Whether a table with one entry per order code holds them in code order (entry I for code I).
template <class TTable>
constexpr bool InOrderCodeOrder(const TTable& Table) {
  for (std::size_t I = 0; I < Table.size(); ++I)
    if (static_cast<std::size_t>(Table[I].Code) != I) return false;
  return Table.size() == OrderTypeCount;
}

// The description of a code of 0..OrderTypeCount-1.
const TOrderCode& OrderCodeOf(TOrderType Code);

// Whether the record (code ";" then fields, each ended by ";") holds the code's first Count
// fields, each integer field readable as an integer: MissingField, NotANumber or None. With
// Exact, a field after them is an ExtraField. The host reads only ReadCount fields and takes
// a record with more, as the rules then read none of them.
TOrderRefusal OrderShapeRefusal(std::string_view Record, const TOrderCode& Code, std::size_t Count, bool Exact);
