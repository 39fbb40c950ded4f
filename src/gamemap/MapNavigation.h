#pragma once
// The arithmetic of moving around the map, without windows: the compass scroller's step and
// double click, the navigator's box and the point a drag in it centres on, and the direction
// pointer that classifies the direction from one point to another into eight compass points.
// The scroller and navigator widgets only feed these their sizes and mouse positions.
#include <cstdint>

#include "foundation/Geometry.h"

// Compass directions; Y grows downward.
enum TCompassDirection : std::uint8_t {
  cdUp,
  cdUpRight,
  cdRight,
  cdDownRight,
  cdDown,
  cdDownLeft,
  cdLeft,
  cdUpLeft
};

class TDirectionPointer {
public:
  std::int32_t GetX1() const { return FX1; }
  void SetX1(std::int32_t Value) { FX1 = Value; }
  std::int32_t GetY1() const { return FY1; }
  void SetY1(std::int32_t Value) { FY1 = Value; }
  std::int32_t GetX2() const { return FX2; }
  void SetX2(std::int32_t Value) { FX2 = Value; }
  std::int32_t GetY2() const { return FY2; }
  void SetY2(std::int32_t Value) { FY2 = Value; }
  // From (X1, Y1) toward (X2, Y2): straight up or down on one column, left or right on one
  // row (the same point reads up); otherwise by r = |dx| / |dy|: a diagonal for 0.75 <= r <=
  // 1.5, vertical below, horizontal above.
  TCompassDirection GetDirection() const { return Direction(FX1, FY1, FX2, FY2); }
  static TCompassDirection Direction(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2);

private:
  std::int32_t FX1 = 0;
  std::int32_t FY1 = 0;
  std::int32_t FX2 = 0;
  std::int32_t FY2 = 0;
};

struct TScrollDelta {
  std::int32_t DX = 0;
  std::int32_t DY = 0;
  friend bool operator==(const TScrollDelta&, const TScrollDelta&) = default;
};

// The scroll of one frame while the mouse is held at (X, Y) on a scroller of Width x Height:
// toward the side pointed at, Round(MaxScroll x the distance from the centre over half the
// size) on each axis (halves to even), at most MaxScroll. A scroller less than 2 pixels across
// an axis does not scroll along it.
TScrollDelta ScrollerStep(std::int32_t Width, std::int32_t Height, std::int32_t X, std::int32_t Y,
                          std::int32_t MaxScroll);

// An offset moved by Delta and kept within 0 .. Virtual - View (0 when the view is larger).
std::int32_t ClampOffset(std::int32_t Offset, std::int32_t Delta, std::int32_t Virtual, std::int32_t View);

// A double click at (X, Y) on the scroller: which edges of the map it jumps to. Within a
// quarter of the width from the right or left edge, a quarter of the height from the bottom or
// top; none of them asks the owner to centre.
struct TScrollerJump {
  bool Right = false;
  bool Left = false;
  bool Bottom = false;
  bool Top = false;
  bool Centre() const { return !Right && !Left && !Bottom && !Top; }
  friend bool operator==(const TScrollerJump&, const TScrollerJump&) = default;
};
TScrollerJump ScrollerDoubleClick(std::int32_t Width, std::int32_t Height, std::int32_t X, std::int32_t Y);

// The navigator of Width x Height over a virtual area of VirtualWidth x VirtualHeight whose
// window shows ViewWidth x ViewHeight from (OffsetX, OffsetY): the box of the visible part,
// each corner rounded half to even; Right and Bottom lie just outside the frame, which is drawn
// on the pixels before them. Empty (all 0) for a virtual area without size.
TRect NavigatorBox(std::int32_t Width, std::int32_t Height, std::int32_t VirtualWidth, std::int32_t VirtualHeight,
                   std::int32_t OffsetX, std::int32_t OffsetY, std::int32_t ViewWidth, std::int32_t ViewHeight);
// The virtual point a drag at (X, Y) in the navigator centres the map on (the surface keeps
// the offsets within the virtual area). (0, 0) for a navigator without size.
TPoint NavigatorCentre(std::int32_t Width, std::int32_t Height, std::int32_t VirtualWidth,
                       std::int32_t VirtualHeight, std::int32_t X, std::int32_t Y);
