// A cursor file (".cur"): it is read or refused with the bitmap's error; a picture read has
// its size within 1..256, its hotspot inside and a pixel for every place, and it is written
// as a cursor file that reads back the same picture.
#include "FuzzTarget.h"
#include "sprites/Bitmap.h"
#include "sprites/CursorFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TCursorPicture Picture;
  try {
    Picture = ReadCursorFile(fuzz::Text(Data, Size), "fuzzed.cur");
  } catch (const EBrenmoor&) {
    return 0;
  }
  fuzz::Require(Picture.Width >= 1 && Picture.Width <= 256 && Picture.Height >= 1 && Picture.Height <= 256, "a cursor of no size read");
  fuzz::Require(Picture.HotX >= 0 && Picture.HotX < Picture.Width && Picture.HotY >= 0 && Picture.HotY < Picture.Height,
                "a cursor with its hotspot outside read");
  fuzz::Require(Picture.Pixels.size() == static_cast<std::size_t>(Picture.Width) * static_cast<std::size_t>(Picture.Height),
                "a cursor without a pixel for every place read");
  const TCursorPicture Again = ReadCursorFile(WriteCursorFile(Picture), "again.cur");
  fuzz::Require(Again.Width == Picture.Width && Again.Height == Picture.Height && Again.HotX == Picture.HotX &&
                    Again.HotY == Picture.HotY && Again.Pixels == Picture.Pixels,
                "a cursor written does not read back the same");
  return 0;
}
