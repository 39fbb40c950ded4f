#include "controls/Bevel.h"

#include <QPainter>

void DrawBevelRing(QPainter& Canvas, int Width, int Height, int Ring, const QColor& TopLeft,
                   const QColor& BottomRight) {
  const int I = Ring;
  const int Across = Width - 2 * I - 1;  // pixels of a top or bottom side
  const int Down = Height - 2 * I - 1;   // pixels of a left or right side
  if (Down > 0) Canvas.fillRect(I, I + 1, 1, Down, TopLeft);                   // left, upwards
  if (Across > 0) Canvas.fillRect(I, I, Across, 1, TopLeft);                   // top, rightwards
  if (Down > 0) Canvas.fillRect(Width - I - 1, I, 1, Down, BottomRight);       // right, downwards
  if (Across > 0) Canvas.fillRect(I + 1, Height - I - 1, Across, 1, BottomRight);  // bottom, leftwards
}
