// The "BitmapData" of a compressed bitmap: it is read or refused; data read is written back
// the same, decompressed, and drawn onto a small canvas at a few places.
#include "FuzzTarget.h"
#include "sprites/Bitmap.h"
#include "sprites/CompressedBitmapSprite.h"
#include "sprites/DIBCanvas.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Bytes = fuzz::Text(Data, Size);
  std::unique_ptr<TCompressedBitmap> Bitmap;
  try {
    Bitmap = TCompressedBitmap::ReadBitmapData(Bytes);
  } catch (const EBrenmoor&) {
    return 0;
  }
  const std::string Written = Bitmap->WriteBitmapData();
  fuzz::Require(TCompressedBitmap::ReadBitmapData(Written)->WriteBitmapData() == Written, "the data is not read back as written");
  if (std::int64_t(Bitmap->GetWidth()) * Bitmap->GetHeight() <= (1 << 20)) Bitmap->Decompress();
  TDIBCanvas Canvas;
  Canvas.SetWidth(32);
  Canvas.SetHeight(24);
  Canvas.AllocateBits();
  for (const auto& [X, Y] : {std::pair{0, 0}, {-5, -3}, {30, 20}, {-100000, 7}}) Bitmap->Blit(Canvas, X, Y);
  return 0;
}
