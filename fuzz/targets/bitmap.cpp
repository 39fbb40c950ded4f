// A ".bmp" file: it is read or refused with the bitmap's error; a bitmap read is written back
// byte for byte, and its pixels are read at every corner.
#include "FuzzTarget.h"
#include "sprites/Bitmap.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Bytes = fuzz::Text(Data, Size);
  try {
    const TBitmap B = TBitmap::LoadFromBytes(Bytes, "fuzzed.bmp");
    fuzz::Require(B.SaveToBytes() == Bytes, "the bitmap is not written back as read");
    for (const std::int32_t Y : {0, B.GetHeight() - 1})
      for (const std::int32_t X : {0, B.GetWidth() - 1}) B.GetPixelColor(X, Y);
  } catch (const EBrenmoor&) {
  }
  return 0;
}
