#pragma once
// The one line walk every line of the game's pictures follows: Bresenham from the first end
// to the second, the minor axis stepping when the error term is not negative, so a line
// covers the pixel nearest to the true line at every step of its major axis (an exact half
// rounds away from the first end).
//
// WalkClippedLine visits, in order, exactly those points of the whole line that lie inside a
// rectangle, however far outside it the ends are: a clipped line is the visible part of the
// unclipped one, pixel for pixel, and a line that crosses the rectangle is always drawn.
// Its cost is the number of points visited, not the length of the line.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <functional>

#include "foundation/Geometry.h"

namespace LineWalkDetail {

// Steps along the minor axis after I steps along the major one: floor((2 I Minor + Major) / (2 Major)).
inline std::int64_t MinorAt(std::int64_t I, std::int64_t Major, std::int64_t Minor) {
  if (Major == 0) return 0;
  return std::int64_t((__int128(2) * I * Minor + Major) / (__int128(2) * Major));
}

// The first step I >= 0 at which MinorAt(I) >= K (0 < K <= Minor).
inline std::int64_t FirstStepReaching(std::int64_t K, std::int64_t Major, std::int64_t Minor) {
  const __int128 Num = __int128(2) * Major * K - Major;
  const __int128 Den = __int128(2) * Minor;
  return std::int64_t((Num + Den - 1) / Den);
}

// The last step I at which MinorAt(I) <= K (0 <= K < Minor).
inline std::int64_t LastStepWithin(std::int64_t K, std::int64_t Major, std::int64_t Minor) {
  const __int128 M = __int128(2) * Major * (K + 1) - Major;
  return std::int64_t((M - 1) / (__int128(2) * Minor));
}

}  // namespace LineWalkDetail

// Visits the points of the line (X1, Y1)-(X2, Y2) that lie in Clip, whose Right and Bottom
// are inclusive here (the last column and row of the rectangle). Visit(X, Y, Step) gets each
// point with its step number along the major axis (0 at the first end). With IncludeLast
// false the second end is left out, as the window system's lines and line walk do.
template <class TVisit>
void WalkClippedLine(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2, const TRect& Clip,
                     bool IncludeLast, TVisit&& Visit) {
  using namespace LineWalkDetail;
  if (Clip.Right < Clip.Left || Clip.Bottom < Clip.Top) return;
  const std::int64_t DX = std::llabs(std::int64_t(X2) - X1), DY = std::llabs(std::int64_t(Y2) - Y1);
  const bool XMajor = DX >= DY;
  // Walk in (major, minor) terms; A is the major coordinate, B the minor one.
  const std::int64_t Major = XMajor ? DX : DY, Minor = XMajor ? DY : DX;
  const std::int64_t A1 = XMajor ? X1 : Y1, B1 = XMajor ? Y1 : X1;
  const std::int64_t SA = (XMajor ? X2 >= X1 : Y2 >= Y1) ? 1 : -1;
  const std::int64_t SB = (XMajor ? Y2 >= Y1 : X2 >= X1) ? 1 : -1;
  const std::int64_t ALo = XMajor ? Clip.Left : Clip.Top, AHi = XMajor ? Clip.Right : Clip.Bottom;
  const std::int64_t BLo = XMajor ? Clip.Top : Clip.Left, BHi = XMajor ? Clip.Bottom : Clip.Right;

  std::int64_t First = 0, Last = IncludeLast ? Major : Major - 1;
  if (Last < First) return;
  // The major coordinate A1 + SA * I within [ALo, AHi].
  if (SA > 0) {
    First = std::max(First, ALo - A1);
    Last = std::min(Last, AHi - A1);
  } else {
    First = std::max(First, A1 - AHi);
    Last = std::min(Last, A1 - ALo);
  }
  if (First > Last) return;
  // The minor steps K with B1 + SB * K within [BLo, BHi].
  std::int64_t KLo = SB > 0 ? BLo - B1 : B1 - BHi;
  std::int64_t KHi = SB > 0 ? BHi - B1 : B1 - BLo;
  if (KHi < 0 || KLo > Minor) return;
  if (KLo > 0) First = std::max(First, FirstStepReaching(KLo, Major, Minor));
  if (KHi < Minor) Last = std::min(Last, LastStepWithin(KHi, Major, Minor));
  if (First > Last) return;

  std::int64_t K = MinorAt(First, Major, Minor);
  std::int64_t Error = std::int64_t(__int128(2) * Minor * (First + 1) - Major - __int128(2) * Major * K);
  std::int64_t A = A1 + SA * First;
  for (std::int64_t I = First; I <= Last; ++I) {
    const std::int64_t B = B1 + SB * K;
    if (XMajor)
      Visit(std::int32_t(A), std::int32_t(B), I);
    else
      Visit(std::int32_t(B), std::int32_t(A), I);
    if (Error >= 0) {
      ++K;
      Error -= 2 * Major;
    }
    Error += 2 * Minor;
    A += SA;
  }
}

// The window system's line walk: calls Visit(X, Y) at every point of the line from
// (X1, Y1) towards (X2, Y2), the second end left out. Used for dotted bands and moving dots
// along a line.
void LineDDA(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
             const std::function<void(std::int32_t X, std::int32_t Y)>& Visit);
