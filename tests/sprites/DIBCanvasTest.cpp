#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "CanvasPictures.h"
#include "sprites/Bitmap.h"
#include "sprites/DIBCanvas.h"
#include "sprites/LineWalk.h"

TEST(DIBCanvas, PlotLeavesOutTheLastColumnAndRow) {
  auto C = MakeCanvas(8, 6);
  const struct {
    int X, Y;
    bool Drawn;
  } Cases[] = {
      {0, 0, true}, {6, 4, true}, {7, 0, false}, {0, 5, false}, {7, 5, false}, {-1, 0, false}, {0, -1, false}, {100, 2, false},
  };
  for (const auto& P : Cases) {
    C->Fill(0);
    C->Plot(P.X, P.Y, 3);
    EXPECT_EQ(C->GetPixel(P.X, P.Y) == 3, P.Drawn) << P.X << "," << P.Y;
  }
}

TEST(DIBCanvas, ClipRectAndSizesFollowTheDepth) {
  auto C = MakeCanvas(8, 6);
  EXPECT_EQ(C->GetClipRect(), (TRect{0, 0, 7, 5}));
  EXPECT_EQ(C->GetImageSize(), 48);
  EXPECT_EQ(C->GetPixelCount(), 48);
  C->SetBitDepth(bd16);
  EXPECT_EQ(C->GetImageSize(), 96);
  EXPECT_EQ(C->GetBytesPerPixel(), 2);
  EXPECT_EQ(C->GetRowBytes(), 16);
  TDIBCanvas Empty;
  EXPECT_EQ(Empty.GetClipRect(), (TRect{0, 0, -1, -1}));
}

TEST(DIBCanvas, WidthMustBeAMultipleOfFour) {
  TDIBCanvas C;
  try {
    C.SetWidth(30);
    FAIL() << "30 was taken";
  } catch (const EInvalidWidth& E) {
    EXPECT_STREQ(E.what(), "Width must be a multiple of 4");
  }
  EXPECT_EQ(C.GetWidth(), 0);
  C.SetWidth(32);
  EXPECT_EQ(C.GetWidth(), 32);
  TBitmap Narrow(30, 4, 8);
  EXPECT_THROW(TDIBCanvas::CreateFromBitmap(Narrow), EInvalidWidth);
}

TEST(DIBCanvas, LinesCoverBothEndsAndStepTheMinorAxisAtHalves) {
  const struct {
    int X1, Y1, X2, Y2;
    std::vector<std::string> Expected;
  } Cases[] = {
      {0, 0, 7, 0, {"11111111", "........", "........", "........"}},  // reaches the last column
      {0, 0, 4, 1, {"11......", "..111...", "........", "........"}},  // the step at the exact half
      {4, 1, 0, 0, {"111.....", "...11...", "........", "........"}},  // the other way round
      {0, 0, 3, 3, {"1.......", ".1......", "..1.....", "...1...."}},
      {1, 0, 2, 3, {".1......", ".1......", "..1.....", "..1....."}},  // steep
      {5, 2, 5, 2, {"........", "........", ".....1..", "........"}},  // a point
  };
  for (const auto& L : Cases) {
    auto C = MakeCanvas(8, 4);
    C->SetPenColor(1);
    C->MoveTo(L.X1, L.Y1);
    C->LineTo(L.X2, L.Y2);
    EXPECT_EQ(PictureText(*C), PictureText(L.Expected)) << L.X1 << "," << L.Y1 << " to " << L.X2 << "," << L.Y2;
    EXPECT_EQ(C->GetPenPos(), (TPoint{L.X2, L.Y2}));
  }
}

// A line clipped to a small canvas must set exactly the pixels that the same line sets inside
// that window of a canvas large enough to hold it whole.
TEST(DIBCanvas, AClippedLineIsTheVisiblePartOfTheWholeLine) {
  constexpr int Margin = 40;
  auto Small = MakeCanvas(8, 8);
  auto Large = MakeCanvas(8 + 2 * Margin, 8 + 2 * Margin);
  Small->SetPenColor(1);
  Large->SetPenColor(1);
  std::mt19937 Gen(7);
  std::uniform_int_distribution<int> Coord(-30, 37);
  int Drawn = 0;
  for (int N = 0; N < 3000; ++N) {
    const int X1 = Coord(Gen), Y1 = Coord(Gen), X2 = Coord(Gen), Y2 = Coord(Gen);
    Small->Fill(0);
    Large->Fill(0);
    Small->MoveTo(X1, Y1);
    Small->LineTo(X2, Y2);
    Large->MoveTo(X1 + Margin, Y1 + Margin);
    Large->LineTo(X2 + Margin, Y2 + Margin);
    bool Any = false;
    for (int Y = 0; Y < 8; ++Y)
      for (int X = 0; X < 8; ++X) {
        ASSERT_EQ(Small->GetPixel(X, Y), Large->GetPixel(X + Margin, Y + Margin))
            << "line " << X1 << "," << Y1 << " to " << X2 << "," << Y2 << " at " << X << "," << Y;
        Any = Any || Small->GetPixel(X, Y);
      }
    Drawn += Any;
  }
  EXPECT_GT(Drawn, 500);  // the random lines do cross the canvas
}

TEST(DIBCanvas, LinesCrossingOnTheEdgesAreDrawnInside) {
  const struct {
    int X1, Y1, X2, Y2;
    std::vector<std::string> Expected;
  } Cases[] = {
      // Along the last row from far outside on both sides.
      {-50, 3, 60, 3, {"........", "........", "........", "11111111"}},
      // Along the last column, both ends outside.
      {7, -9, 7, 9, {".......1", ".......1", ".......1", ".......1"}},
      // A crossing of the left edge exactly on row 1 (odd).
      {-2, 0, 2, 2, {"........", "1.......", ".11.....", "........"}},
      // Entering at the last row's far end.
      {9, 5, 5, 1, {"........", ".....1..", "......1.", ".......1"}},
      // Wholly outside: nothing.
      {-5, -1, 20, -1, {"........", "........", "........", "........"}},
  };
  for (const auto& L : Cases) {
    auto C = MakeCanvas(8, 4);
    C->SetPenColor(1);
    C->MoveTo(L.X1, L.Y1);
    C->LineTo(L.X2, L.Y2);
    EXPECT_EQ(PictureText(*C), PictureText(L.Expected)) << L.X1 << "," << L.Y1 << " to " << L.X2 << "," << L.Y2;
  }
}

TEST(DIBCanvas, FarAwayLinesCostOnlyTheirVisiblePart) {
  auto C = MakeCanvas(8, 4);
  C->SetPenColor(1);
  C->MoveTo(-2000000000, 1);
  C->LineTo(2000000000, 2);
  EXPECT_EQ(PictureText(*C), PictureText({"........", "........", "11111111", "........"}));
  C->Fill(0);
  C->MoveTo(-2147483647, -2147483647);
  C->LineTo(2147483647, 2147483647);  // through the canvas's diagonal
  EXPECT_EQ(PictureText(*C), PictureText({"1.......", ".1......", "..1.....", "...1...."}));
}

TEST(DIBCanvas, LineWalkLeavesOutTheSecondEnd) {
  std::vector<TPoint> Points;
  LineDDA(0, 0, 4, 1, [&](std::int32_t X, std::int32_t Y) { Points.push_back({X, Y}); });
  EXPECT_EQ(Points, (std::vector<TPoint>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}));
  Points.clear();
  LineDDA(3, 3, 3, 3, [&](std::int32_t X, std::int32_t Y) { Points.push_back({X, Y}); });
  EXPECT_TRUE(Points.empty());
  Points.clear();
  LineDDA(-1, 2, -1, -1, [&](std::int32_t X, std::int32_t Y) { Points.push_back({X, Y}); });
  EXPECT_EQ(Points, (std::vector<TPoint>{{-1, 2}, {-1, 1}, {-1, 0}}));
}

TEST(DIBCanvas, FillRectTakesRightAndBottomAsOutside) {
  const struct {
    TRect R;
    std::vector<std::string> Expected;
  } Cases[] = {
      {{2, 1, 5, 3}, {"........", "..222...", "..222...", "........"}},
      {{-3, -2, 2, 2}, {"22......", "22......", "........", "........"}},
      {{6, 2, 20, 9}, {"........", "........", "......22", "......22"}},
      {{3, 1, 3, 4}, {"........", "........", "........", "........"}},
      {{9, 0, 12, 4}, {"........", "........", "........", "........"}},
      {{0, 0, 8, 4}, {"22222222", "22222222", "22222222", "22222222"}},
  };
  for (const auto& F : Cases) {
    auto C = MakeCanvas(8, 4);
    C->SetBrushColor(2);
    C->FillRect(F.R);
    EXPECT_EQ(PictureText(*C), PictureText(F.Expected)) << F.R.Left << "," << F.R.Top << "," << F.R.Right << "," << F.R.Bottom;
  }
}

TEST(DIBCanvas, FillCoversTheMemoryAndKeepsTheBrush) {
  for (TBitDepth Depth : {bd8, bd15, bd16}) {
    auto C = MakeCanvas(8, 3, Depth);
    C->SetBrushColor(5);
    const std::uint16_t Color = Depth == bd8 ? 7 : 0x1234;
    C->Fill(Color);
    for (int Y = 0; Y < 3; ++Y)
      for (int X = 0; X < 8; ++X) EXPECT_EQ(C->GetPixel(X, Y), Color);
    EXPECT_EQ(C->GetBrushColor(), 5);
  }
}

TEST(DIBCanvas, FilledCircles) {
  const struct {
    int X, Y, Radius;
    std::vector<std::string> Expected;
  } Cases[] = {
      {3, 2, 0, {"........", "........", "...4....", "........", "........"}},
      {3, 2, 1, {"........", "...4....", "..444...", "...4....", "........"}},
      {3, 2, 2, {"..444...", ".44444..", ".44444..", ".44444..", "..444..."}},
      {0, 0, 2, {"444.....", "444.....", "44......", "........", "........"}},  // clipped
      {7, 4, 1, {"........", "........", "........", ".......4", "......44"}},  // the last row and column
      {3, 2, -1, {"........", "........", "........", "........", "........"}},
  };
  for (const auto& F : Cases) {
    auto C = MakeCanvas(8, 5);
    C->SetBrushColor(4);
    C->FillCircle(F.X, F.Y, F.Radius);
    EXPECT_EQ(PictureText(*C), PictureText(F.Expected)) << F.X << "," << F.Y << " radius " << F.Radius;
  }
}

namespace {

// A 4 x 4 source: row Y holds the values 1 + Y*4 .. 4 + Y*4, with 0 (the key) at (1, 1).
std::unique_ptr<TDIBCanvas> Icon() {
  auto S = MakeCanvas(4, 4);
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 4; ++X) S->Plot(X, Y, std::uint16_t(1 + X + Y * 4));
  for (int Y = 0; Y < 4; ++Y) {
    S->ScanLine(Y)[3] = std::uint8_t(4 + Y * 4);  // Plot leaves out the last column and row
  }
  std::memcpy(S->ScanLine(3), "\x0d\x0e\x0f\x10", 4);
  S->ScanLine(1)[1] = 0;
  S->SetTransparentColor(0);
  return S;
}

}  // namespace

TEST(DIBCanvas, CopiesAreClippedToBothCanvases) {
  const struct {
    int X, Y;
    TRect Src;
    bool Transparent;
    std::vector<std::string> Expected;
  } Cases[] = {
      {1, 0, {0, 0, 2, 2}, false, {".12.....", ".5......", "........", "........"}},
      {1, 0, {0, 0, 2, 2}, true, {"91299999", "95999999", "99999999", "99999999"}},  // the key keeps the 9
      {-1, -1, {0, 0, 3, 3}, false, {".7......", "##......", "........", "........"}},
      {6, 2, {0, 0, 4, 4}, false, {"........", "........", "......12", "......5."}},
      // A source rectangle reaching outside the source reads nothing outside it.
      {0, 0, {-2, -1, 2, 9}, false, {"........", "..12....", "..5.....", "..9#...."}},
      {0, 0, {3, 3, 9, 9}, false, {"#.......", "........", "........", "........"}},
      {0, 0, {2, 2, 1, 3}, false, {"........", "........", "........", "........"}},
  };
  for (const auto& K : Cases) {
    auto S = Icon();
    auto C = MakeCanvas(8, 4);
    if (K.Transparent) C->Fill(9);
    C->CopyFrom(K.X, K.Y, K.Src, *S, K.Transparent);
    EXPECT_EQ(PictureText(*C), PictureText(K.Expected)) << K.X << "," << K.Y << " from " << K.Src.Left << "," << K.Src.Top;
  }
}

TEST(DIBCanvas, TransparentCopiesSkipExactlyTheKey) {
  std::mt19937 Gen(11);
  for (TBitDepth Depth : {bd8, bd16}) {
    auto S = MakeCanvas(40, 6, Depth);
    auto D = MakeCanvas(44, 8, Depth);
    const std::uint16_t Key = Depth == bd8 ? 0x80 : 0x8080;
    S->SetTransparentColor(Key);
    for (int Y = 0; Y < 6; ++Y)
      for (int X = 0; X < 40; ++X) {
        // The key, values one bit off it, and others.
        const std::uint16_t Near[] = {Key, std::uint16_t(Key ^ 1), std::uint16_t(Key ^ 0x80), std::uint16_t(Key ^ 0x100), std::uint16_t(Gen())};
        std::uint16_t V = Near[Gen() % 5];
        if (Depth == bd8) V &= 0xFF;
        std::memcpy(S->ScanLine(Y) + X * S->GetBytesPerPixel(), &V, std::size_t(S->GetBytesPerPixel()));
      }
    D->Fill(Depth == bd8 ? 0x33 : 0x3333);
    D->CopyFrom(3, 1, {1, 0, 40, 6}, *S, true);
    for (int Y = 0; Y < 8; ++Y)
      for (int X = 0; X < 44; ++X) {
        const bool Inside = X >= 3 && X < 42 && Y >= 1 && Y < 7;
        const std::uint16_t From = Inside ? S->GetPixel(X - 2, Y - 1) : Key;
        const std::uint16_t Expected = From == Key ? (Depth == bd8 ? 0x33 : 0x3333) : From;
        ASSERT_EQ(D->GetPixel(X, Y), Expected) << Depth << " at " << X << "," << Y;
      }
  }
}

TEST(DIBCanvas, DrawLeavesOutTheSourcesLastColumnAndRow) {
  TBitmap Sheet(32, 32, 8);
  for (int Y = 0; Y < 32; ++Y) std::memset(Sheet.ScanLine(Y), 7, 32);
  auto S = TDIBCanvas::CreateFromBitmap(Sheet);
  auto C = MakeCanvas(40, 40);
  C->Draw(2, 3, *S, false);
  int Count = 0;
  for (int Y = 0; Y < 40; ++Y)
    for (int X = 0; X < 40; ++X) Count += C->GetPixel(X, Y) == 7;
  EXPECT_EQ(Count, 31 * 31);
  EXPECT_EQ(C->GetPixel(2, 3), 7);
  EXPECT_EQ(C->GetPixel(32, 33), 7);
  EXPECT_EQ(C->GetPixel(33, 33), 0);
  EXPECT_EQ(C->GetPixel(32, 34), 0);
}

TEST(DIBCanvas, CopyWithinOneCanvasReadsEachRowBeforeWritingIt) {
  auto C = MakeCanvas(8, 4);
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 8; ++X) C->ScanLine(Y)[X] = std::uint8_t(1 + X);
  C->CopyFrom(1, 1, {0, 0, 6, 3}, *C, false);
  EXPECT_EQ(PictureText(*C), PictureText({"12345678", "11234568", "11234568", "11234568"}));
  C->CopyFrom(0, 0, {1, 1, 8, 4}, *C, false);
  EXPECT_EQ(PictureText(*C), PictureText({"12345688", "12345688", "12345688", "11234568"}));
}

TEST(DIBCanvas, CopyBetweenDepthsIsRefused) {
  auto A = MakeCanvas(4, 4, bd8);
  auto B = MakeCanvas(4, 4, bd16);
  auto C = MakeCanvas(4, 4, bd15);
  EXPECT_THROW(A->CopyFrom(0, 0, {0, 0, 4, 4}, *B, false), EDIBCanvas);
  EXPECT_THROW(B->Draw(0, 0, *A, true), EDIBCanvas);
  B->Fill(0x7C00);
  C->Draw(0, 0, *B, false);  // both 16 bits: copied as they are
  EXPECT_EQ(C->GetPixel(2, 2), 0x7C00);
}

TEST(DIBCanvas, RowOrderDecidesWhereRowsLieInMemory) {
  for (bool BottomUp : {false, true}) {
    for (TBitDepth Depth : {bd8, bd16}) {
      auto C = MakeCanvas(4, 3, Depth, BottomUp);
      C->Plot(1, 0, 9);
      const auto* Bits = static_cast<const std::uint8_t*>(C->GetBits());
      const int Row = BottomUp ? 2 : 0;
      const int Bpp = Depth == bd8 ? 1 : 2;
      EXPECT_EQ(Bits[Row * 4 * Bpp + Bpp], 9) << BottomUp;
      EXPECT_EQ(C->ScanLine(0), Bits + Row * 4 * Bpp);
      EXPECT_EQ(C->ScanLine(3), nullptr);
    }
  }
}

TEST(DIBCanvas, SixteenBitRoutinesWriteWholeWords) {
  auto C = MakeCanvas(8, 4, bd16, true);
  C->SetPenColor(0x1F3E);
  C->MoveTo(0, 0);
  C->LineTo(7, 3);
  EXPECT_EQ(C->GetPixel(0, 0), 0x1F3E);
  EXPECT_EQ(C->GetPixel(7, 3), 0x1F3E);
  C->SetBrushColor(0xABCD);
  C->FillRect({1, 1, 8, 2});  // seven words: a run of eight bytes and three single words
  for (int X = 1; X < 8; ++X) EXPECT_EQ(C->GetPixel(X, 1), 0xABCD) << X;
  EXPECT_EQ(C->GetPixel(0, 1), 0);
  C->FillCircle(4, 2, 1);
  EXPECT_EQ(C->GetPixel(4, 3), 0xABCD);

  auto S = MakeCanvas(4, 4, bd16);
  S->Fill(0x0102);
  S->SetTransparentColor(0x0102);
  S->Plot(1, 1, 0x0201);  // differs from the key only in byte order
  auto D = MakeCanvas(4, 4, bd16);
  D->Fill(0x5555);
  D->Draw(0, 0, *S, true);
  EXPECT_EQ(D->GetPixel(1, 1), 0x0201);
  EXPECT_EQ(D->GetPixel(0, 0), 0x5555);
}

TEST(DIBCanvas, CanvasOverABitmap) {
  TBitmap Bmp(8, 3, 8);
  std::memset(Bmp.ScanLine(0), 1, 8);
  std::memset(Bmp.ScanLine(1), 2, 8);
  std::memset(Bmp.ScanLine(2), 3, 8);
  Bmp.ScanLine(2)[0] = 6;
  auto C = TDIBCanvas::CreateFromBitmap(Bmp);
  EXPECT_TRUE(C->GetBottomUp());
  EXPECT_EQ(C->GetBitDepth(), bd8);
  EXPECT_EQ(C->GetBits(), Bmp.GetBits());
  EXPECT_EQ(C->GetTransparentColor(), 6);  // the bottom-left pixel
  EXPECT_EQ(C->GetPixel(5, 0), 1);
  C->Plot(0, 0, 9);
  EXPECT_EQ(Bmp.ScanLine(0)[0], 9);

  auto Owned = std::make_unique<TBitmap>(4, 2, 16, true);
  Owned->SetBitFields(0xF800, 0x7E0, 0x1F);
  auto C16 = TDIBCanvas::CreateFromBitmap(std::move(Owned));
  EXPECT_EQ(C16->GetBitDepth(), bd16);
  EXPECT_FALSE(C16->GetBottomUp());
  C16->Fill(0x1234);  // the canvas keeps the bitmap alive
  EXPECT_EQ(C16->GetPixel(3, 1), 0x1234);

  TBitmap Rgb(4, 2, 24);
  EXPECT_THROW(TDIBCanvas::CreateFromBitmap(Rgb), EDIBCanvas);
}

TEST(DIBCanvas, WithoutPixelsNothingIsDrawn) {
  TDIBCanvas C;
  C.SetWidth(8);
  C.SetHeight(8);
  C.Plot(1, 1, 1);
  C.MoveTo(0, 0);
  C.LineTo(7, 7);
  C.FillRect({0, 0, 8, 8});
  C.Fill(3);
  C.FillCircle(3, 3, 2);
  auto S = MakeCanvas(8, 8);
  C.Draw(0, 0, *S, false);
  S->Draw(0, 0, C, false);
  EXPECT_EQ(C.GetPixel(1, 1), 0);
  EXPECT_EQ(C.ScanLine(0), nullptr);
  EXPECT_EQ(C.GetPenPos(), (TPoint{7, 7}));
}

TEST(DIBCanvas, OwnMemoryFollowsChangesOfSize) {
  auto C = MakeCanvas(8, 2);
  C->Fill(1);
  C->SetHeight(5);
  C->SetBitDepth(bd15);
  EXPECT_EQ(C->GetImageSize(), 80);
  C->Fill(0x7FFF);
  EXPECT_EQ(C->GetPixel(7, 4), 0x7FFF);
  std::vector<std::uint8_t> Memory(80, 0);
  C->SetBits(Memory.data());
  EXPECT_FALSE(C->GetOwnsBits());
  C->Plot(0, 0, 0x0101);
  EXPECT_EQ(Memory[0], 1);
  EXPECT_THROW(C->SetHeight(1 << 30), EDIBCanvas);
  EXPECT_EQ(C->GetHeight(), 5);
}
