#include "gamemap/MapNavigation.h"

#include <algorithm>
#include <cstdlib>

#include "foundation/Rounding.h"

TCompassDirection TDirectionPointer::Direction(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2) {
  if (X2 == X1) return Y2 <= Y1 ? cdUp : cdDown;
  if (Y2 == Y1) return X1 >= X2 ? cdLeft : cdRight;
  const double R = double(std::llabs(std::int64_t(X1) - X2)) / double(std::llabs(std::int64_t(Y1) - Y2));
  const bool Diagonal = R >= 0.75 && R <= 1.5, Vertical = R < 0.75;
  const bool Leftward = X2 < X1;
  if (Y2 < Y1) {
    if (Diagonal) return Leftward ? cdUpLeft : cdUpRight;
    if (Vertical) return cdUp;
    return Leftward ? cdLeft : cdRight;
  }
  if (Diagonal) return Leftward ? cdDownLeft : cdDownRight;
  if (Vertical) return cdDown;
  return Leftward ? cdLeft : cdRight;
}

namespace {

std::int32_t AxisStep(std::int32_t Size, std::int32_t At, std::int32_t MaxScroll) {
  const std::int32_t Centre = Size / 2;
  if (Centre < 1) return 0;
  const double F = double(std::llabs(std::int64_t(At) - Centre)) / double(Centre);
  const std::int32_t Step = std::int32_t(std::min<std::int64_t>(RoundHalfEven(double(MaxScroll) * F), MaxScroll));
  return At < Centre ? -Step : Step;
}


}  // namespace

TScrollDelta ScrollerStep(std::int32_t Width, std::int32_t Height, std::int32_t X, std::int32_t Y,
                          std::int32_t MaxScroll) {
  return {AxisStep(Width, X, MaxScroll), AxisStep(Height, Y, MaxScroll)};
}

std::int32_t ClampOffset(std::int32_t Offset, std::int32_t Delta, std::int32_t Virtual, std::int32_t View) {
  const std::int64_t Moved = std::int64_t(Offset) + Delta;
  const std::int64_t Most = std::max<std::int64_t>(0, std::int64_t(Virtual) - View);
  return std::int32_t(std::clamp<std::int64_t>(Moved, 0, Most));
}

TScrollerJump ScrollerDoubleClick(std::int32_t Width, std::int32_t Height, std::int32_t X, std::int32_t Y) {
  const std::int32_t QX = Width / 4, QY = Height / 4;
  TScrollerJump J;
  J.Right = X > Width - QX;
  J.Left = X < QX;
  J.Bottom = Y > Height - QY;
  J.Top = Y < QY;
  return J;
}

TRect NavigatorBox(std::int32_t Width, std::int32_t Height, std::int32_t VirtualWidth, std::int32_t VirtualHeight,
                   std::int32_t OffsetX, std::int32_t OffsetY, std::int32_t ViewWidth, std::int32_t ViewHeight) {
  if (VirtualWidth <= 0 || VirtualHeight <= 0) return {0, 0, 0, 0};
  const double SX = double(Width) / VirtualWidth, SY = double(Height) / VirtualHeight;
  const std::int32_t Left = Clamp32(RoundHalfEven(OffsetX * SX));
  const std::int32_t Top = Clamp32(RoundHalfEven(OffsetY * SY));
  return {Left, Top, Clamp32(RoundHalfEven(ViewWidth * SX + Left)), Clamp32(RoundHalfEven(ViewHeight * SY + Top))};
}

TPoint NavigatorCentre(std::int32_t Width, std::int32_t Height, std::int32_t VirtualWidth,
                       std::int32_t VirtualHeight, std::int32_t X, std::int32_t Y) {
  if (Width <= 0 || Height <= 0) return {0, 0};
  return {Clamp32(RoundHalfEven(double(VirtualWidth) / Width * X)),
          Clamp32(RoundHalfEven(double(VirtualHeight) / Height * Y))};
}
