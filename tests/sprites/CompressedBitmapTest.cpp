#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/CompressedBitmapSprite.h"
#include "sprites/SpriteSurface.h"

namespace {

// An 8-bit bitmap of W x H whose pixels come in runs of random colours and lengths (long
// runs, single pixels and runs across the ends of rows all occur).
std::unique_ptr<TBitmap> RandomBitmap(std::mt19937& Gen, std::int32_t W, std::int32_t H) {
  auto B = std::make_unique<TBitmap>(W, H, 8, Gen() % 2 == 0);
  std::uint8_t Color = 0;
  std::int32_t Left = 0;
  const int Colors = 1 + int(Gen() % 6);
  for (std::int32_t Y = 0; Y < H; ++Y)
    for (std::int32_t X = 0; X < W; ++X) {
      if (Left-- <= 0) {
        Color = std::uint8_t(Gen() % Colors * 41);
        Left = Gen() % 3 == 0 ? int(Gen() % 3) : int(Gen() % (2 * W + 1));
      }
      B->ScanLine(Y)[X] = Color;
    }
  return B;
}

std::unique_ptr<TDIBCanvas> Canvas(std::int32_t W, std::int32_t H, bool BottomUp, std::uint8_t Fill) {
  auto C = std::make_unique<TDIBCanvas>();
  C->SetWidth(W);
  C->SetHeight(H);
  C->SetBottomUp(BottomUp);
  C->AllocateBits();
  C->Fill(Fill);
  return C;
}

// Every pixel of the bitmap copied at (X, Y) one by one, cut to the canvas.
void ReferenceCopy(TDIBCanvas& C, const TBitmap& B, std::int32_t X, std::int32_t Y) {
  for (std::int32_t R = 0; R < B.GetHeight(); ++R)
    for (std::int32_t Col = 0; Col < B.GetWidth(); ++Col) {
      const std::int64_t PX = std::int64_t(X) + Col, PY = std::int64_t(Y) + R;
      if (PX >= 0 && PY >= 0 && PX < C.GetWidth() && PY < C.GetHeight())
        C.ScanLine(std::int32_t(PY))[PX] = B.ScanLine(R)[Col];
    }
}

std::string Bytes(const TCompressedBitmap& B) { return B.WriteBitmapData(); }

std::string Header(std::int32_t W, std::int32_t H, std::int32_t Size, std::int32_t Runs) {
  std::string S;
  for (std::int32_t V : {W, H, Size, Runs})
    for (int I = 0; I < 4; ++I) S.push_back(char((std::uint32_t(V) >> (8 * I)) & 0xFF));
  return S;
}

std::string RunBytes(std::uint16_t Count, std::uint16_t Color) {
  return {char(Count & 0xFF), char(Count >> 8), char(Color & 0xFF), char(Color >> 8)};
}

}  // namespace

TEST(CompressedBitmap, CompressThenBlitReproducesAnyBitmapAtAnyPosition) {
  std::mt19937 Gen(20261210);
  std::int64_t Cases = 0, Partial = 0;
  for (int Trial = 0; Trial < 400; ++Trial) {
    const std::int32_t W = 1 + std::int32_t(Gen() % 70), H = 1 + std::int32_t(Gen() % 40);
    auto B = RandomBitmap(Gen, W, H);
    const TCompressedBitmap C(B.get());
    ASSERT_EQ(C.GetWidth(), W);
    ASSERT_EQ(C.GetSize(), C.GetRunCount() * 4);
    auto Back = C.Decompress();
    for (std::int32_t Y = 0; Y < H; ++Y) ASSERT_EQ(std::memcmp(Back->ScanLine(Y), B->ScanLine(Y), std::size_t(W)), 0) << Trial;
    for (int Place = 0; Place < 8; ++Place) {
      const std::int32_t CW = 4 * (1 + std::int32_t(Gen() % 16)), CH = 1 + std::int32_t(Gen() % 30);
      const std::int32_t X = std::int32_t(Gen() % (CW + 2 * W + 1)) - W - 1;
      const std::int32_t Y = std::int32_t(Gen() % (CH + 2 * H + 1)) - H - 1;
      const bool BottomUp = Gen() % 2 == 0;
      auto Got = Canvas(CW, CH, BottomUp, 7), Want = Canvas(CW, CH, BottomUp, 7);
      const std::int64_t Written = C.Blit(*Got, X, Y);
      ReferenceCopy(*Want, *B, X, Y);
      ASSERT_EQ(std::memcmp(Got->GetBits(), Want->GetBits(), std::size_t(Got->GetImageSize())), 0)
          << "trial " << Trial << " at " << X << "," << Y << " on " << CW << "x" << CH;
      const std::int64_t Visible = std::max<std::int64_t>(0, std::min<std::int64_t>(X + W, CW) - std::max(X, 0)) *
                                   std::max<std::int64_t>(0, std::min<std::int64_t>(Y + H, CH) - std::max(Y, 0));
      ASSERT_EQ(Written, Visible);
      ++Cases;
      if (Visible > 0 && Visible < std::int64_t(W) * H) ++Partial;
    }
  }
  // The positions cut the bitmaps on every side often enough to mean something.
  EXPECT_GT(Partial, Cases / 4);
}

TEST(CompressedBitmap, RunsCrossRowsAndHoldAtMost65535Pixels) {
  TBitmap Plain(100, 2, 8);
  std::memset(Plain.GetBits(), 9, std::size_t(Plain.GetRowBytes()) * 2);
  const TCompressedBitmap One(&Plain);
  EXPECT_EQ(One.GetRuns(), (std::vector<TBitmapRun>{{200, 9}}));
  EXPECT_EQ(One.GetSize(), 4);

  TBitmap Large(700, 100, 8);
  const TCompressedBitmap Two(&Large);
  EXPECT_EQ(Two.GetRuns(), (std::vector<TBitmapRun>{{65535, 0}, {4465, 0}}));

  TBitmap Mixed(3, 2, 8, true);
  const std::uint8_t Pixels[2][3] = {{1, 1, 2}, {2, 2, 1}};
  for (int Y = 0; Y < 2; ++Y) std::memcpy(Mixed.ScanLine(Y), Pixels[Y], 3);
  EXPECT_EQ(TCompressedBitmap(&Mixed).GetRuns(), (std::vector<TBitmapRun>{{2, 1}, {3, 2}, {1, 1}}));
}

TEST(CompressedBitmap, OnlyEightBitBitmapsWithPixelsCanBeCompressed) {
  const struct {
    std::int32_t W, H;
    int Bits;
    const char* Message;
  } Cases[] = {
      {4, 4, 16, "Only 256 color bitmaps are supported"},
      {4, 4, 24, "Only 256 color bitmaps are supported"},
      {0, 4, 8, "Bitmap must have size > 0"},
      {4, 0, 8, "Bitmap must have size > 0"},
  };
  for (const auto& C : Cases) {
    TBitmap B(C.W, C.H, C.Bits);
    try {
      TCompressedBitmap Compressed(&B);
      ADD_FAILURE() << C.W << "x" << C.H << " at " << C.Bits;
    } catch (const ECompressedBitmapSprite& E) {
      EXPECT_STREQ(E.what(), C.Message);
    }
  }
  const TCompressedBitmap Empty(nullptr);
  EXPECT_EQ(Empty.GetWidth(), 0);
  EXPECT_EQ(Empty.GetHeight(), 0);
  EXPECT_EQ(Empty.GetSize(), 0);
}

TEST(CompressedBitmap, BitmapDataRoundTripsAndIsLittleEndian) {
  std::mt19937 Gen(4);
  auto B = RandomBitmap(Gen, 37, 11);
  const TCompressedBitmap C(B.get());
  const std::string Data = Bytes(C);
  ASSERT_EQ(Data.size(), 16u + std::size_t(C.GetSize()));
  EXPECT_EQ(Data.substr(0, 16), Header(37, 11, C.GetSize(), C.GetRunCount()));
  EXPECT_EQ(Data.substr(16, 4), RunBytes(C.GetRuns()[0].Count, C.GetRuns()[0].Color));
  auto Read = TCompressedBitmap::ReadBitmapData(Data);
  EXPECT_EQ(Read->GetRuns(), C.GetRuns());
  EXPECT_EQ(Bytes(*Read), Data);
  // It draws as the original does, cut at the top (from its row index).
  auto Got = Canvas(40, 8, false, 0), Want = Canvas(40, 8, false, 0);
  Read->Blit(*Got, 2, -5);
  ReferenceCopy(*Want, *B, 2, -5);
  EXPECT_EQ(std::memcmp(Got->GetBits(), Want->GetBits(), 320), 0);

  const TCompressedBitmap Empty;
  EXPECT_EQ(Bytes(Empty), Header(0, 0, 0, 0));
  EXPECT_EQ(TCompressedBitmap::ReadBitmapData(Header(0, 0, 0, 0))->GetRunCount(), 0);
}

TEST(CompressedBitmap, InconsistentBitmapDataIsRefused) {
  const std::string Good = Header(4, 2, 8, 2) + RunBytes(5, 1) + RunBytes(3, 2);
  ASSERT_NO_THROW(TCompressedBitmap::ReadBitmapData(Good));
  const struct {
    std::string Data;
    const char* Fault;
  } Cases[] = {
      {"", "cut short"},
      {Good.substr(0, 15), "cut short"},
      {Good.substr(0, 20), "bytes of runs announced"},
      {Good + "x", "bytes of runs announced"},
      {Header(4, 2, 12, 2) + RunBytes(5, 1) + RunBytes(3, 2), "does not hold"},
      {Header(4, 2, 4, 2) + RunBytes(5, 1), "does not hold"},
      {Header(4, 2, 8, 2) + RunBytes(5, 1) + RunBytes(2, 2), "the runs hold 7 pixels"},
      {Header(4, 2, 8, 2) + RunBytes(5, 1) + RunBytes(60000, 2), "the runs hold 60005 pixels"},
      {Header(4, 2, 8, 2) + RunBytes(5, 1) + RunBytes(3, 256), "colour 256"},
      {Header(-4, -2, 8, 2) + RunBytes(5, 1) + RunBytes(3, 2), "negative"},
      {Header(4, 2, -8, -2), "negative"},
      {Header(0, 0, 4, 1) + RunBytes(1, 1), "the runs hold 1 pixels"},
      {Header(65536, 65536, 4, 1) + RunBytes(0, 1), "too large"},
      {Header(1, 32768, 4, 1) + RunBytes(0, 1), "the runs hold 0 pixels"},
  };
  for (const auto& C : Cases) {
    try {
      TCompressedBitmap::ReadBitmapData(C.Data);
      ADD_FAILURE() << C.Fault;
    } catch (const ECompressedBitmapSprite& E) {
      EXPECT_NE(std::string(E.what()).find(C.Fault), std::string::npos) << E.what();
      EXPECT_EQ(std::string(E.what()).rfind("BitmapData: ", 0), 0u);
    }
  }
}

TEST(CompressedBitmapSprite, DrawsOnlyItsVisiblePartAtTheSurfaceOffsets) {
  TColorPalette P;
  TSpriteSurface S;
  S.SetColorPalette(&P);
  S.SetBounds(0, 0, 16, 8);
  S.SetUseVirtualSize(true);
  S.SetVirtualWidth(100);
  S.SetVirtualHeight(100);
  S.SetOffsetX(10);
  S.SetOffsetY(20);
  S.SetAutoBlank(true);
  std::mt19937 Gen(9);
  auto B = RandomBitmap(Gen, 9, 12);
  TCompressedBitmapSpriteFactory F;
  F.SetSpriteSurface(&S);
  F.SetBitmap(B.get());
  TSpriteEngine E;
  E.SetSpriteSurface(&S);
  TSprite* Sprite = E.AddSprite(F.CreateSprite());
  // Half outside the left edge, the top rows above the window.
  Sprite->SetX(5.5f);
  Sprite->SetY(15);
  TRect R;
  Sprite->GetBoundsRect(R);
  EXPECT_EQ(R, (TRect{6, 15, 14, 26}));
  TCompressedBitmapSprite::PixelsWritten = 0;
  S.RenderFrame();
  auto Want = Canvas(16, 8, false, 0);
  ReferenceCopy(*Want, *B, 6 - 10, 15 - 20);
  EXPECT_EQ(std::memcmp(S.GetDIBCanvas().GetBits(), Want->GetBits(), 128), 0);
  EXPECT_EQ(TCompressedBitmapSprite::PixelsWritten, 5 * 7);
  // On a 16-bit canvas a compressed sprite draws nothing.
  auto Wide = std::make_unique<TDIBCanvas>();
  Wide->SetBitDepth(bd16);
  Wide->SetWidth(16);
  Wide->SetHeight(8);
  Wide->AllocateBits();
  EXPECT_EQ(F.GetCompressedBitmap().Blit(*Wide, 0, 0), 0);
}

TEST(CompressedBitmapSpriteFactory, KeepsItsBitmapThroughBadInput) {
  TCompressedBitmapSpriteFactory F;
  EXPECT_EQ(F.GetCompression(), 0);
  EXPECT_EQ(F.GetSize(), 0);
  EXPECT_EQ(F.BitDepths(), BitDepthSet(bd8));
  TBitmap B(100, 2, 8);
  F.SetBitmap(&B);
  EXPECT_EQ(F.GetWidth(), 100);
  EXPECT_EQ(F.GetHeight(), 2);
  EXPECT_EQ(F.GetSize(), 4);
  EXPECT_FLOAT_EQ(F.GetCompression(), 50);
  auto Sprite = F.CreateSprite();
  const std::string Data = F.WriteBitmapData();
  TBitmap Wrong(4, 4, 24);
  EXPECT_THROW(F.SetBitmap(&Wrong), ECompressedBitmapSprite);
  EXPECT_THROW(F.ReadBitmapData(Data.substr(0, 17)), ECompressedBitmapSprite);
  EXPECT_EQ(F.WriteBitmapData(), Data);
  // A sprite keeps the bitmap it was made with when the factory gets another.
  F.ReadBitmapData(Header(4, 1, 4, 1) + RunBytes(4, 3));
  EXPECT_EQ(F.GetWidth(), 4);
  EXPECT_EQ(static_cast<TCompressedBitmapSprite&>(*Sprite).GetBitmap().GetWidth(), 100);
  F.SetBitmap(nullptr);
  EXPECT_EQ(F.GetWidth(), 0);
}
