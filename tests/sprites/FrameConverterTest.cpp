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

// What the converter says it wrote: the whole target after a whole conversion, nothing for a
// frame like the one before, else the bounds of the 16-pixel blocks (and the pixels of a row's
// end beyond the last whole block) that changed.
TEST(FrameConverter, SaysWhichPartOfTheTargetItWrote) {
  const int W = 100, H = 30;
  TBitmap Frame(W, H, 8);
  Frame.SetColorTable(Colors(0));
  std::vector<std::uint32_t> Shown(std::size_t(W) * H);
  TFrameConverter Converter;
  EXPECT_EQ(Converter.Convert(Frame, Shown.data(), W, W, H), (TRect{0, 0, W, H}));
  EXPECT_TRUE(Converter.Convert(Frame, Shown.data(), W, W, H).IsEmpty());
  struct TCase {
    std::vector<std::pair<int, int>> Pixels;
    TRect Written;
  } Cases[] = {
      {{{0, 0}}, {0, 0, 16, 1}},
      {{{17, 4}}, {16, 4, 32, 5}},
      {{{17, 4}, {40, 9}}, {16, 4, 48, 10}},
      // Columns 96..99 lie beyond the last whole block: only the pixel itself.
      {{{98, 29}}, {98, 29, 99, 30}},
      {{{5, 2}, {98, 20}}, {0, 2, 99, 21}},
  };
  for (const TCase& C : Cases) {
    for (auto [X, Y] : C.Pixels) ++Frame.ScanLine(Y)[X];
    EXPECT_EQ(Converter.Convert(Frame, Shown.data(), W, W, H), C.Written) << C.Pixels.front().first;
  }
  // A new colour table changes every pixel.
  Frame.SetColorTable(Colors(9));
  EXPECT_EQ(Converter.Convert(Frame, Shown.data(), W, W, H), (TRect{0, 0, W, H}));
  // A 16-bit frame is converted whole every time.
  TBitmap Wide(W, H, 16);
  Wide.SetBitFields(0xF800, 0x7E0, 0x1F);
  EXPECT_EQ(Converter.Convert(Wide, Shown.data(), W, W, H), (TRect{0, 0, W, H}));
  EXPECT_EQ(Converter.Convert(Wide, Shown.data(), W, W, H), (TRect{0, 0, W, H}));
}
