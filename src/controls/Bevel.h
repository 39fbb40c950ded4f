#pragma once
// The bevels of the game's painted controls, drawn pixel by pixel so that every machine and
// every style draws the same picture.
#include <QColor>

class QPainter;

// Ring Ring (0 the outermost) of a Width x Height bevel: the left and top sides, from the
// bottom-left corner up to the top-left one and on to the top-right one, in TopLeft; the right
// and bottom sides, on down to the bottom-right corner and back to the bottom-left one, in
// BottomRight. As a pen walking these lines, each side ends one pixel short of the next corner,
// so the top-left corner belongs to the top side and the other three corners to the sides
// that start there.
void DrawBevelRing(QPainter& Canvas, int Width, int Height, int Ring, const QColor& TopLeft,
                   const QColor& BottomRight);
