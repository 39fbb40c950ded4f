#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/SpriteEngine.h"
#include "sprites/SpriteSurface.h"

namespace {

using Names = std::vector<std::string>;

class TLogHost : public TSurfaceHost {
public:
  explicit TLogHost(Names& Log) : FLog(Log) {}
  void FrameStarting(TSpriteSurface&) override { FLog.push_back("host start frame"); }
  void ActiveChanged(TSpriteSurface& S) override { FLog.push_back(S.GetActive() ? "host start" : "host stop"); }
  void ShowFrame(TSpriteSurface&) override { FLog.push_back("host show"); }
  void SurfaceGone(TSpriteSurface&) override { FLog.push_back("host gone"); }

private:
  Names& FLog;
};

// A sprite that logs its passes and plots its colour at its position.
class TDotSprite : public TSprite {
public:
  TDotSprite(Names& Log, std::uint8_t Color) : FLog(Log), FColor(Color) {}
  void GetBoundsRect(TRect& R) const override {
    const TPoint P = GetPosition();
    R = {P.X, P.Y, P.X, P.Y};
  }
  void Move() override {
    FLog.push_back("move");
    TSprite::Move();
  }
  void Render(TCanvas&, TDIBCanvas& C) override {
    FLog.push_back("render");
    const TRect R = GetViewBounds();
    C.Plot(R.Left, R.Top, FColor);
  }

private:
  Names& FLog;
  std::uint8_t FColor;
};

// A scroll bar that, as a window's bar does, reports every change of its position.
class TFakeBar : public TSurfaceScrollBar {
public:
  TSpriteSurface* Surface = nullptr;
  bool Visible = false;
  std::int32_t Max = -1, Position = 0;
  int Reports = 0;
  void SetVisible(bool V) override { Visible = V; }
  void SetMax(std::int32_t V) override { Max = V; }
  std::int32_t GetPosition() const override { return Position; }
  void SetPosition(std::int32_t V) override {
    Position = V;
    ++Reports;
    if (Surface) Surface->ScrollBarChange(this);
  }
};

TColorPalette RampPalette() {
  TColorPalette P;
  std::vector<std::string> Lines;
  for (int I = 0; I < 256; ++I)
    Lines.push_back(std::to_string(I) + "," + std::to_string(255 - I) + "," + std::to_string((I * 7) % 256));
  P.SetPaletteEntries(Lines);
  return P;
}

}  // namespace

TEST(SpriteSurface, StartsAtItsDefaultSizeWithoutABuffer) {
  TSpriteSurface S;
  EXPECT_EQ(S.GetWidth(), 184);
  EXPECT_EQ(S.GetHeight(), 41);
  EXPECT_EQ(S.GetVirtualWidth(), 185);
  EXPECT_EQ(S.GetVirtualHeight(), 41);
  EXPECT_FALSE(S.GetActive());
  EXPECT_EQ(S.GetBitDepth(), bd8);
  EXPECT_EQ(S.GetBackBuffer(), nullptr);
}

TEST(SpriteSurface, FrameStepsRunInOrder) {
  Names Log;
  TLogHost Host(Log);
  TColorPalette P;
  TSpriteSurface S;
  S.SetHost(&Host);
  S.SetColorPalette(&P);
  S.SetBounds(0, 0, 16, 8);
  TSpriteEngine E;
  E.SetSpriteSurface(&S);
  E.AddSprite(std::make_unique<TDotSprite>(Log, 5));
  E.AddCollisionEngine(&E);
  E.AddSprite(std::make_unique<TDotSprite>(Log, 6));
  E.OnCollision = [&](TSpriteEngine&, TSprite&, TSprite&) { Log.push_back("collision"); };
  S.BeforeRender = [&](TSpriteSurface& Sender) {
    EXPECT_EQ(&Sender, &S);
    Log.push_back("before render");
  };
  S.BeforeSpriteRender = [&](TSpriteSurface&, TCanvas& C, TDIBCanvas& D) {
    EXPECT_EQ(&C, &S.GetCanvas());
    EXPECT_EQ(&D, &S.GetDIBCanvas());
    Log.push_back("before sprites");
  };
  S.AfterSpriteRender = [&](TSpriteSurface&, TCanvas&, TDIBCanvas&) { Log.push_back("after sprites"); };
  S.AfterRender = [&](TSpriteSurface&) { Log.push_back("after render"); };
  S.RenderFrame();
  EXPECT_EQ(Log, (Names{"host start frame", "before render", "before sprites", "move", "move", "render", "render", "collision",
                        "after sprites", "host show", "after render"}));
  EXPECT_EQ(S.GetFrameCount(), 1);
}

TEST(SpriteSurface, AnEightBitSurfaceWithoutPaletteStopsAndRaises) {
  Names Log;
  TLogHost Host(Log);
  TSpriteSurface S;
  S.SetHost(&Host);
  S.SetActive(true);
  S.SetActive(true);
  EXPECT_EQ(Log, (Names{"host start"}));
  try {
    S.RenderFrame();
    FAIL() << "no exception";
  } catch (const EFlickwing& E) {
    EXPECT_STREQ(E.what(), "ColorPalette property must be assigned");
  }
  EXPECT_FALSE(S.GetActive());
  EXPECT_EQ(Log, (Names{"host start", "host start frame", "host stop"}));
  TBitmap Flag(4, 4, 24);
  EXPECT_THROW(S.CreateSurfaceBitmap(Flag), EFlickwing);
  // A 16-bit surface needs none.
  S.SetBitDepth(bd16);
  EXPECT_NO_THROW(S.RenderFrame());
  EXPECT_NO_THROW(S.CreateSurfaceBitmap(Flag));
}

TEST(SpriteSurface, TheBufferFollowsTheSizeAndThePaletteOnRebuild) {
  TColorPalette P = RampPalette();
  TSpriteSurface S;
  S.SetColorPalette(&P);
  S.SetBounds(0, 0, 20, 10);
  S.RenderFrame();
  const TBitmap* B = S.GetBackBuffer();
  ASSERT_NE(B, nullptr);
  EXPECT_EQ(B->GetWidth(), 20);
  EXPECT_EQ(B->GetHeight(), 10);
  EXPECT_EQ(B->GetBitsPerPixel(), 8);
  EXPECT_TRUE(B->GetTopDown());
  EXPECT_EQ(S.GetDIBCanvas().GetBits(), B->GetBits());
  EXPECT_EQ(B->GetColor(200), (TRGBQuad{(200 * 7) % 256, 55, 200, 0}));

  // The same size keeps the buffer; a palette change shows only after RebuildFrame.
  P.SetPaletteEntries(std::vector<std::string>(256, "1,2,3"));
  S.RenderFrame();
  EXPECT_EQ(S.GetBackBuffer(), B);
  EXPECT_EQ(S.GetBackBuffer()->GetColor(200).Red, 200);
  S.RebuildFrame();
  EXPECT_EQ(S.GetBackBuffer()->GetColor(200), (TRGBQuad{3, 2, 1, 0}));

  S.SetBounds(0, 0, 33, 7);
  S.RenderFrame();
  EXPECT_EQ(S.GetBackBuffer()->GetWidth(), 32);
  EXPECT_EQ(S.GetDIBCanvas().GetWidth(), 32);
  EXPECT_EQ(S.GetDIBCanvas().GetHeight(), 7);

  // A new depth is taken at the next frame.
  const struct {
    TBitDepth Depth;
    std::uint32_t Green;
  } Depths[] = {{bd15, 0x3E0}, {bd16, 0x7E0}};
  for (const auto& D : Depths) {
    S.SetBitDepth(D.Depth);
    S.RenderFrame();
    EXPECT_EQ(S.GetBackBuffer()->GetBitsPerPixel(), 16);
    EXPECT_EQ(S.GetBackBuffer()->GetGreenMask(), D.Green);
    EXPECT_EQ(S.GetDIBCanvas().GetBitDepth(), D.Depth);
  }
}

TEST(SpriteSurface, AutoBlankFillsEachFrame) {
  TColorPalette P;
  TSpriteSurface S;
  S.SetColorPalette(&P);
  S.SetBounds(0, 0, 8, 4);
  S.RenderFrame();
  S.GetDIBCanvas().Plot(1, 1, 77);
  S.RenderFrame();
  EXPECT_EQ(S.GetDIBCanvas().GetPixel(1, 1), 77);
  S.SetAutoBlank(true);
  S.SetAutoBlankColorIndex(9);
  S.RenderFrame();
  for (int Y = 0; Y < 4; ++Y)
    for (int X = 0; X < 8; ++X) EXPECT_EQ(S.GetDIBCanvas().GetPixel(X, Y), 9);
}

TEST(SpriteSurface, WidthsAreRoundedDownToMultiplesOfFour) {
  TSpriteSurface S;
  const struct {
    int In, Out;
  } Cases[] = {{433, 432}, {432, 432}, {0, 0}, {3, 0}, {4, 4}, {-5, 0}};
  for (const auto& C : Cases) {
    S.SetBounds(1, 2, C.In, 10);
    EXPECT_EQ(S.GetWidth(), C.Out) << C.In;
    EXPECT_EQ(S.GetVirtualWidth(), C.Out);
    EXPECT_EQ(S.GetLeft(), 1);
    EXPECT_EQ(S.GetTop(), 2);
  }
}

TEST(SpriteSurface, OffsetsMoveOnlyOverAVirtualArea) {
  TSpriteSurface S;
  TFakeBar H, V;
  H.Surface = V.Surface = &S;
  S.SetScrollBarHorz(&H);
  S.SetScrollBarVert(&V);
  int Changes = 0;
  S.OnOffsetChange = [&](TSpriteSurface&) { ++Changes; };
  S.SetOffsetX(50);
  S.SetOffsetY(5);
  EXPECT_EQ(S.GetOffsetX(), 0);
  EXPECT_EQ(S.GetOffsetY(), 0);
  EXPECT_EQ(Changes, 0);
  EXPECT_EQ(H.Reports, 0);

  S.SetUseVirtualSize(true);
  S.SetBounds(0, 0, 432, 300);
  S.SetVirtualWidth(5600);
  S.SetVirtualHeight(200);
  EXPECT_TRUE(H.Visible);
  EXPECT_EQ(H.Max, 5600 - 432);
  EXPECT_FALSE(V.Visible);
  // Not clamped; the bar follows without feeding back.
  S.SetOffsetX(-40);
  EXPECT_EQ(S.GetOffsetX(), -40);
  EXPECT_EQ(H.Position, -40);
  EXPECT_EQ(Changes, 1);
  // The player moves the bar.
  H.Position = 300;
  S.ScrollBarChange(&H);
  EXPECT_EQ(S.GetOffsetX(), 300);
  EXPECT_EQ(S.GetOffsetY(), 0);

  S.CenterOn(5590, 10);
  EXPECT_EQ(S.GetOffsetX(), 5168);
  EXPECT_EQ(S.GetOffsetY(), 0);  // the window is taller than the area
  S.CenterOn(10, 10);
  EXPECT_EQ(S.GetOffsetX(), 0);
  S.CenterOn(1000, 10);
  EXPECT_EQ(S.GetOffsetX(), 1000 - 216);

  // Back to the window's own size: offsets 0, no event.
  const int Before = Changes;
  S.SetUseVirtualSize(false);
  EXPECT_EQ(S.GetOffsetX(), 0);
  EXPECT_EQ(S.GetVirtualWidth(), 432);
  EXPECT_EQ(Changes, Before);
  S.SetVirtualWidth(9999);
  EXPECT_EQ(S.GetVirtualWidth(), 432);
  EXPECT_FALSE(H.Visible);
}

TEST(SpriteSurface, MouseEventsGetVirtualCoordinates) {
  TSpriteSurface S;
  S.SetUseVirtualSize(true);
  S.SetVirtualWidth(1000);
  S.SetVirtualHeight(1000);
  S.SetOffsetX(100);
  S.SetOffsetY(200);
  std::vector<std::string> Log;
  S.OnMouseDown = [&](TSpriteSurface&, TMouseButton B, TShiftState Sh, int X, int Y) {
    Log.push_back("down " + std::to_string(B) + " " + std::to_string(Sh) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  S.OnMouseMove = [&](TSpriteSurface&, TShiftState, int X, int Y) {
    Log.push_back("move " + std::to_string(X) + "," + std::to_string(Y));
  };
  S.OnMouseUp = [&](TSpriteSurface&, TMouseButton B, TShiftState, int X, int Y) {
    Log.push_back("up " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  S.MouseDown(mbRight, ssShift, 1, 2);
  S.MouseMove(0, 3, 4);
  S.MouseUp(mbLeft, 0, 5, 6);
  EXPECT_EQ(Log, (Names{"down 1 1 101,202", "move 103,204", "up 0 105,206"}));
}

TEST(SpriteSurface, PerformanceCounterIsDrawnAtTheTopLeft) {
  TColorPalette P;
  TSpriteSurface S;
  S.SetColorPalette(&P);
  S.SetBounds(0, 0, 64, 32);
  S.SetAutoBlank(true);
  S.SetAutoBlankColorIndex(100);
  S.SetShowPerformance(true);
  S.RenderFrame();
  S.RenderFrame();
  EXPECT_EQ(S.GetFramesShown(), 1);
  int Drawn = 0;
  for (int Y = 0; Y < 32; ++Y)
    for (int X = 0; X < 64; ++X) {
      if (S.GetDIBCanvas().GetPixel(X, Y) == 100) continue;
      ++Drawn;
      EXPECT_GE(X, 4);
      EXPECT_GE(Y, 4);
    }
  EXPECT_GT(Drawn, 10);
}

TEST(SpriteSurface, CreateSurfaceBitmapConvertsToTheSurfaceFormat) {
  TColorPalette P = RampPalette();
  TSpriteSurface S;
  S.SetColorPalette(&P);
  TBitmap Flag(30, 3, 24);
  for (int X = 0; X < 30; ++X) {
    // Entry 40 of the ramp palette is (40, 215, 24).
    Flag.ScanLine(1)[3 * X + 0] = 24;
    Flag.ScanLine(1)[3 * X + 1] = 215;
    Flag.ScanLine(1)[3 * X + 2] = 40;
  }
  auto B = S.CreateSurfaceBitmap(Flag);
  EXPECT_EQ(B->GetWidth(), 30);
  EXPECT_EQ(B->GetHeight(), 3);
  EXPECT_EQ(B->GetBitsPerPixel(), 8);
  EXPECT_EQ(B->GetColor(40), (TRGBQuad{24, 215, 40, 0}));
  for (int X = 0; X < 30; ++X) EXPECT_EQ(B->ScanLine(1)[X], 40) << X;
  S.SetBitDepth(bd15);
  auto C = S.CreateSurfaceBitmap(Flag);
  EXPECT_EQ(C->GetBitsPerPixel(), 16);
  EXPECT_EQ(C->GetGreenMask(), 0x3E0u);
  const std::uint16_t Word = std::uint16_t(C->ScanLine(1)[58] | (C->ScanLine(1)[59] << 8));
  EXPECT_EQ(Word, ((40 >> 3) << 10) | ((215 >> 3) << 5) | (24 >> 3));
}

TEST(SpriteSurface, FramesArePacedToStartAnIntervalApart) {
  EXPECT_EQ(FrameDelay(80, 30), 50);
  EXPECT_EQ(FrameDelay(80, 80), 0);
  EXPECT_EQ(FrameDelay(80, 130), 0);
  EXPECT_EQ(FrameDelay(0, 3), 0);
}

TEST(SpriteSurface, FramesConvertToRGBWithBlackBeyondTheBuffer) {
  TBitmap B(4, 2, 8, true);
  std::vector<TRGBQuad> Table(256);
  Table[7] = {1, 2, 3, 0};
  B.SetColorTable(Table);
  B.ScanLine(1)[2] = 7;
  std::vector<std::uint32_t> Out(6 * 3, 0x12345678);
  CopyFrameToRGB32(B, Out.data(), 6, 6, 3);
  EXPECT_EQ(Out[1 * 6 + 2], 0xFF030201u);
  EXPECT_EQ(Out[1 * 6 + 1], 0xFF000000u);
  EXPECT_EQ(Out[0 * 6 + 5], 0xFF000000u);
  EXPECT_EQ(Out[2 * 6 + 0], 0xFF000000u);

  TBitmap W(4, 1, 16, true);
  W.SetBitFields(0xF800, 0x7E0, 0x1F);
  W.ScanLine(0)[0] = 0xFF;  // 0xFFFF: white
  W.ScanLine(0)[1] = 0xFF;
  W.ScanLine(0)[2] = 0x00;  // 0xF800: red
  W.ScanLine(0)[3] = 0xF8;
  CopyFrameToRGB32(W, Out.data(), 4, 2, 1);
  EXPECT_EQ(Out[0], 0xFFFFFFFFu);
  EXPECT_EQ(Out[1], 0xFFFF0000u);
}

TEST(SpriteFactory, RefusesASurfaceOfADepthItCannotDraw) {
  class TDotFactory : public TSpriteFactory {
  public:
    TBitDepths GetBitDepths() const override { return BitDepthSet(bd15) | BitDepthSet(bd16); }
    std::unique_ptr<TSprite> CreateSprite() override { return nullptr; }
  };
  std::vector<std::string> Notices;
  SetSpriteMessageHook([&](const std::string& M) { Notices.push_back(M); });
  TDotFactory F;
  {
    TSpriteSurface S;
    F.SetSpriteSurface(&S);
    EXPECT_EQ(F.GetSpriteSurface(), nullptr);
    EXPECT_EQ(Notices, (Names{"This TSpriteFactory does not support the TSpriteSurface's BitDepth"}));
    S.SetBitDepth(bd16);
    F.SetSpriteSurface(&S);
    EXPECT_EQ(F.GetSpriteSurface(), &S);
    S.SetBitDepth(bd8);
    F.Loaded();
    EXPECT_EQ(F.GetSpriteSurface(), nullptr);
    S.SetBitDepth(bd15);
    F.SetSpriteSurface(&S);
  }
  // The surface went first: the factory forgets it.
  EXPECT_EQ(F.GetSpriteSurface(), nullptr);
  EXPECT_EQ(Notices.size(), 2u);
  SetSpriteMessageHook(nullptr);
}
