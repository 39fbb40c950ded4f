#pragma once
// A small 8-bit drawing board for the game's artwork: palette indexes in a grid, drawn with
// integer arithmetic only (or exactly representable halves), so every machine makes the same
// bytes. Pictures are drawn here and then become BMP files in the map's colour table.
#include <cstdint>
#include <string>
#include <vector>

#include "sprites/Bitmap.h"

class TPixels {
public:
  TPixels(int Width, int Height, std::uint8_t Fill);

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  std::uint8_t Get(int X, int Y) const;
  // Outside the board nothing is set.
  void Set(int X, int Y, std::uint8_t C);
  // Inclusive corners.
  void Rect(int X1, int Y1, int X2, int Y2, std::uint8_t C);
  void Frame(int X1, int Y1, int X2, int Y2, std::uint8_t C);
  // The pixels whose middles lie within R of (CX, CY); the centre in half pixels (2 CX = the
  // left edge of pixel CX), so a disc may be centred on a pixel or between two.
  void Disc2(int CX2, int CY2, int R2, std::uint8_t C);
  void Ring2(int CX2, int CY2, int ROuter2, int RInner2, std::uint8_t C);
  // A line of square dots Thick pixels wide.
  void Line(int X1, int Y1, int X2, int Y2, std::uint8_t C, int Thick = 1);
  // The polygon's pixels whose middles lie inside it (even-odd), corners in pixel units.
  void Polygon(const std::vector<std::pair<int, int>>& Corners, std::uint8_t C);
  // Rows of characters at (X, Y): each character found in Keys is drawn in the index at the
  // same place of Colors; any other character leaves the pixel.
  void Ascii(int X, int Y, const std::vector<std::string>& Rows, const std::string& Keys,
             const std::vector<std::uint8_t>& Colors);
  // Every pixel of colour Background beside (4-neighbour) a pixel of another colour that is
  // not Outline becomes Outline, within the rectangle (inclusive).
  void OutlineShapes(int X1, int Y1, int X2, int Y2, std::uint8_t Background, std::uint8_t Outline);
  // Another board's pixels at (X, Y); pixels of Skip are left out when Skip >= 0.
  void Paste(int X, int Y, const TPixels& Source, int Skip = -1);

  // An 8-bit bitmap of the board with the colour table.
  TBitmap ToBitmap(const std::vector<TRGBQuad>& Colors) const;

private:
  int FWidth;
  int FHeight;
  std::vector<std::uint8_t> FPixels;
};
