#pragma once
// Our own reader and writer of the window system's cursor files (".cur"): one picture of 32-bit
// pixels with its alpha, the AND mask made from the alpha, and the hotspot, the point of the
// picture that the mouse position stands for. The game's cursors are such files; the window
// layer makes its cursors from what ReadCursorFile gives.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

struct TCursorPicture {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t HotX = 0;
  std::int32_t HotY = 0;
  // Width x Height pixels $AARRGGBB, rows top-down; alpha 0 is see-through.
  std::vector<std::uint32_t> Pixels;
};

// The file's bytes. Width and Height must be 1 to 256 and the hotspot inside the picture, and
// there must be Width x Height pixels (else EBitmap).
std::string WriteCursorFile(const TCursorPicture& Picture);
// Reads the first picture of a cursor file of 32-bit pixels; raises EBitmap naming Name for
// anything else (another kind of file, a cut file, a hotspot outside the picture).
TCursorPicture ReadCursorFile(std::string_view Bytes, const std::string& Name);
