#pragma once
// What the navigator window paints over the small map, without windows: a square in its
// owner's colour on every land zone a major power holds and an outline around every embattled
// land zone, at the zone's centre scaled from the map to the navigator.
#include <cstdint>
#include <vector>

class TBrenmoorEngine;

struct TNavigatorMark {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  // The palette index of the owner's colour; -1 when no major power owns the zone.
  std::int32_t OwnerColorIndex = -1;
  bool Embattled = false;
  friend bool operator==(const TNavigatorMark&, const TNavigatorMark&) = default;
};

// The marks of the engine's land zones on a navigator of NavWidth x NavHeight showing a map of
// MapWidth x MapHeight; a zone with neither an owning major power nor a battle has none.
// Nothing while the map has no size.
std::vector<TNavigatorMark> NavigatorMarks(const TBrenmoorEngine& Engine, std::int32_t NavWidth,
                                           std::int32_t NavHeight, std::int32_t MapWidth, std::int32_t MapHeight);
