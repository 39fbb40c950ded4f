#pragma once
// The controls' pictures, drawn with integer arithmetic only, so every machine makes the same
// bytes.
#include <string>
#include <vector>

#include "sprites/Bitmap.h"

struct TControlArt {
  // The file's name in art/controls, as the controls load it.
  std::string FileName;
  TBitmap Picture;
};

// The light bulb of the tip of the day ("TIPBMP"): 56 x 60, 8 bits; its bottom-left pixel
// gives the colour left out when it is drawn.
TBitmap TipBulb();
// The button edit's glyph strip: two 12 x 12 images side by side, three dots in black (while
// enabled) and in embossed grey (while disabled), on a background given by the bottom-left pixel.
TBitmap ButtonEditGlyph();

// Every picture the tool writes.
std::vector<TControlArt> ControlArt();
