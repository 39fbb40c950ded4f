#pragma once
// Reading order and change records: the fields of a record front to back, the "#"-lists
// inside a field, and the figures of a build order. Shared by the order stage, the host's
// check of a record against its sender and the replay of change records, so that all of them
// read a record alike.
#include <array>
#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/OrderCodes.h"
#include "foundation/NumberText.h"

namespace OrderRecord {

// An order record: the order's code, then each field's text followed by ";" (as change
// records are written). The fields are those the code's description names, in its order.
std::string OrderFieldsText(TOrderType Code, const std::vector<std::string>& Fields);

// The same from the fields' values: integers (zones and nations by index, units by
// identifier), flags and texts, joined as change records are joined.
template <class... Ts>
std::string OrderText(TOrderType Code, const Ts&... Fields) {
  assert(sizeof...(Fields) == OrderCodeOf(Code).FieldCount && "an order record holds the fields its code describes");
  return ChangeRecord(static_cast<int>(Code), Fields...);
}

// The fields of one record; a missing or non-numeric field reads as 0, "" or false.
class TRecordFields {
public:
  explicit TRecordFields(const std::string& Record) : FRest(Record) {}
  std::int32_t Int() { return NextTokenInt(FRest, ";"); }
  std::string Text() { return NextToken(FRest, ";"); }
  bool Bool() { return NextTokenBool(FRest, ";"); }
  float Float() {
    const std::string Field = NextToken(FRest, ";");
    return Field.empty() ? 0.0f : StrToSingle(Field);
  }

private:
  std::string FRest;
};

// The zones of a "#"-list of zone indices; false when an item is no index of a zone.
bool ReadZoneList(const TBrenmoorEngine& Engine, std::string List, std::vector<TBrenmoorZone*>& Zones);
// The integers of a "#"-list; false when an item is no integer.
bool ReadIntList(std::string List, std::vector<std::int32_t>& Values);

// A build order's 16 counts (held to 0..65535), its production points (before the factor of
// a conquered zone), its resource cost (before the events) and the unit kind of the last type
// with a count, which the events' cost factors look at.
struct TBuildFigures {
  std::array<std::uint16_t, UnitTypeCount> Counts{};
  float Total = 0.0f;
  double Cost = 0.0;
  TUnitKind EventKind = ukArmy;
};
TBuildFigures ReadBuild(std::string List);
// Each count followed by "#".
std::string CountsText(const std::array<std::uint16_t, UnitTypeCount>& Counts);

// A formation text SetFormations can read: 16 "#"-fields each "-" or an integer (missing
// fields at the end read as 0).
bool IsFormationText(std::string Text);
// A formation text whose every weight is one the formations window offers (10 to 100 in steps
// of 5; "-" keeps a weight).
bool IsFormationChoice(std::string Text);

}  // namespace OrderRecord
