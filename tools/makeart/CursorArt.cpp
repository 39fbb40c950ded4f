// The game's two cursors: the target cross of an order waiting for its target, and the
// hourglass shown while a scenario loads.
#include "GameArtDraw.h"
#include "sprites/CursorFile.h"

namespace C = ArtColors;

namespace {

// The board's pixels as a cursor: the key colour is see-through, every other index opaque.
std::string CursorOf(const TPixels& P, int HotX, int HotY) {
  TCursorPicture Picture;
  Picture.Width = P.Width();
  Picture.Height = P.Height();
  Picture.HotX = HotX;
  Picture.HotY = HotY;
  for (int Y = 0; Y < P.Height(); ++Y)
    for (int X = 0; X < P.Width(); ++X) {
      const std::uint8_t V = P.Get(X, Y);
      const TRGBQuad Q = ArtColorTable()[V];
      Picture.Pixels.push_back(V == C::GlyphKey ? 0u
                                                : 0xFF000000u | (std::uint32_t(Q.Red) << 16) |
                                                      (std::uint32_t(Q.Green) << 8) | Q.Blue);
    }
  return WriteCursorFile(Picture);
}

}  // namespace

std::string TargetCursorFile() {
  // A red ring and cross hairs outlined in white, the gap at the middle over the target.
  TPixels P(32, 32, C::GlyphKey);
  P.Ring2(31, 31, 22, 17, C::Red);
  P.Rect(15, 2, 15, 11, C::Red);
  P.Rect(15, 19, 15, 28, C::Red);
  P.Rect(2, 15, 11, 15, C::Red);
  P.Rect(19, 15, 28, 15, C::Red);
  P.Set(15, 15, C::Red);
  P.OutlineShapes(0, 0, 31, 31, C::GlyphKey, C::White);
  return CursorOf(P, 15, 15);
}

std::string BusyCursorFile() {
  // An hourglass: brass ends, glass in black outline, sand running down.
  TPixels P(32, 32, C::GlyphKey);
  P.Rect(7, 3, 23, 5, C::Brown);
  P.Rect(7, 26, 23, 28, C::Brown);
  P.Polygon({{9, 6}, {22, 6}, {16, 15}, {16, 16}, {22, 26}, {9, 26}, {15, 16}, {15, 15}}, C::White);
  P.Polygon({{11, 8}, {20, 8}, {16, 14}, {15, 14}}, C::Gold);
  P.Rect(15, 14, 15, 22, C::Gold);
  P.Polygon({{11, 26}, {20, 26}, {16, 21}, {15, 21}}, C::Gold);
  P.OutlineShapes(0, 0, 31, 31, C::GlyphKey, C::Black);
  return CursorOf(P, 15, 15);
}
