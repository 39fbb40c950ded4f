#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/SpriteSurface.h"

namespace {

std::vector<TRGBQuad> Colors(std::uint8_t Shift) {
  std::vector<TRGBQuad> T(256);
  for (int I = 0; I < 256; ++I) T[std::size_t(I)] = {std::uint8_t(I), std::uint8_t(255 - I), std::uint8_t(I + Shift), 0};
  return T;
}

}  // namespace

// Frame after frame, the converter gives exactly the pixels of a whole conversion: frames that
// change in a few places, everywhere, in the colour table, in size, and into another target.
TEST(FrameConverter, GivesThePixelsOfAWholeConversionFrameAfterFrame) {
  std::mt19937 Gen(5);
  TFrameConverter Converter;
  for (int Size = 0; Size < 2; ++Size) {
    const int W = Size == 0 ? 100 : 123, H = Size == 0 ? 60 : 41, Stride = W + 3;
    const int OutW = W + 2, OutH = H + 1;  // columns and rows beyond the frame are black
    TBitmap Frame(W, H, 8);
    Frame.SetColorTable(Colors(0));
    std::vector<std::uint32_t> Shown(std::size_t(Stride) * OutH, 0x12345678u), Expected(Shown.size(), 0x12345678u);
    for (int Step = 0; Step < 40; ++Step) {
      if (Step == 20) Frame.SetColorTable(Colors(7));
      const int Changes = Step % 10 == 3 ? W * H : int(Gen() % 50);
      for (int I = 0; I < Changes; ++I) Frame.ScanLine(int(Gen() % H))[Gen() % W] = std::uint8_t(Gen());
      Converter.Convert(Frame, Shown.data(), Stride, OutW, OutH);
      CopyFrameToRGB32(Frame, Expected.data(), Stride, OutW, OutH);
      for (int Y = 0; Y < OutH; ++Y)
        for (int X = 0; X < OutW; ++X)
          ASSERT_EQ(Shown[std::size_t(Y * Stride + X)], Expected[std::size_t(Y * Stride + X)])
              << "step " << Step << " at (" << X << ", " << Y << ")";
    }
    // Another target gets the whole frame.
    std::vector<std::uint32_t> Other(Shown.size(), 0);
    Converter.Convert(Frame, Other.data(), Stride, OutW, OutH);
    EXPECT_EQ(Other[std::size_t(5 * Stride + 7)], Expected[std::size_t(5 * Stride + 7)]);
    // After Invalidate a target written by someone else is mended whole.
    Other.assign(Other.size(), 0);
    Converter.Invalidate();
    Converter.Convert(Frame, Other.data(), Stride, OutW, OutH);
    EXPECT_EQ(Other[std::size_t(5 * Stride + 7)], Expected[std::size_t(5 * Stride + 7)]);
  }
}
