#pragma once
// Points and rectangles in integer map or screen coordinates.
#include <algorithm>
#include <cstdint>
#include <limits>

struct TPoint {
  std::int32_t X = 0;
  std::int32_t Y = 0;
  friend bool operator==(const TPoint&, const TPoint&) = default;
};

// A rectangle whose Right and Bottom edges lie just outside it, as the window system's are.
struct TRect {
  std::int32_t Left = 0;
  std::int32_t Top = 0;
  std::int32_t Right = 0;
  std::int32_t Bottom = 0;
  std::int32_t Width() const { return Right - Left; }
  std::int32_t Height() const { return Bottom - Top; }
  bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
  bool Contains(TPoint P) const { return P.X >= Left && P.X < Right && P.Y >= Top && P.Y < Bottom; }
  friend bool operator==(const TRect&, const TRect&) = default;
};

// A coordinate worked out in 64 bits, held within what a point holds (a far-off zone or offset
// draws at the edge of the range instead of wrapping round).
inline std::int32_t Clamp32(std::int64_t V) {
  return static_cast<std::int32_t>(
      std::clamp<std::int64_t>(V, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}
