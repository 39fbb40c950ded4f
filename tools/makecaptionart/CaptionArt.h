#pragma once
// The caption bar's pictures: each a name and a bitmap in 24 bits.
#include <string>
#include <vector>

#include "sprites/Bitmap.h"

struct TCaptionPicture {
  std::string Name;  // the file is Name + ".bmp"
  TBitmap Bitmap;
};

// Every picture, in a fixed order. Raises EBrenmoor for a drawing whose rows differ in length
// or that uses a letter without a colour.
std::vector<TCaptionPicture> MakeCaptionPictures();
