#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QScrollBar>
#include <QTest>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "platform/SpriteSurfaceView.h"
#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/CompressedBitmapSprite.h"
#include "sprites/SpriteEngine.h"

namespace {

void RunFor(int Ms) {
  QElapsedTimer Clock;
  Clock.start();
  while (Clock.elapsed() < Ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// A map of 400 x 300 with one background tile of stripes and a palette of distinct colours.
struct TMapScene {
  TColorPalette Palette;
  TSpriteSurface Surface;
  TCompressedBitmapSpriteFactory Tiles;
  TSpriteEngine Background;
  TMapScene() {
    std::vector<std::string> Lines;
    for (int I = 0; I < 256; ++I)
      Lines.push_back(std::to_string(I) + "," + std::to_string((I * 3) % 256) + "," + std::to_string(255 - I));
    Palette.SetPaletteEntries(Lines);
    Surface.SetColorPalette(&Palette);
    Surface.SetUseVirtualSize(true);
    Surface.SetVirtualWidth(400);
    Surface.SetVirtualHeight(300);
    Surface.SetAutoBlank(true);
    Surface.SetAutoBlankColorIndex(3);
    TBitmap Tile(150, 90, 8);
    std::mt19937 Gen(7);
    for (int Y = 0; Y < 90; ++Y)
      for (int X = 0; X < 150; ++X) Tile.ScanLine(Y)[X] = std::uint8_t((X / 7 + Y / 5) % 9 * 25 + Gen() % 2);
    Tiles.SetBitmap(&Tile);
    Background.SetSpriteSurface(&Surface);
    TSprite* S = Background.AddSprite(Tiles.CreateSprite());
    S->SetX(20);
    S->SetY(10);
  }
};

QRgb PaletteRgb(const TColorPalette& P, int Index) {
  const TPaletteEntry E = P.ColorOf(Index);
  return qRgb(E.Red, E.Green, E.Blue);
}

}  // namespace

TEST(SpriteSurfaceView, AGrabShowsTheBackBufferAndBlackSpareColumns) {
  TMapScene M;
  TSpriteSurfaceView View(M.Surface);
  View.resize(102, 60);
  M.Surface.SetOffsetX(5);
  M.Surface.SetOffsetY(3);
  M.Surface.RenderFrame();
  EXPECT_EQ(M.Surface.GetWidth(), 100);
  EXPECT_EQ(View.FramesShown(), 1);
  const QImage Grab = View.grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(Grab.width(), 102);
  ASSERT_EQ(Grab.height(), 60);
  const TDIBCanvas& Buffer = M.Surface.GetDIBCanvas();
  int Tile = 0;
  for (int Y = 0; Y < 60; ++Y)
    for (int X = 0; X < 102; ++X) {
      const QRgb Want = X < 100 ? PaletteRgb(M.Palette, Buffer.GetPixel(X, Y)) : qRgb(0, 0, 0);
      ASSERT_EQ(Grab.pixel(X, Y), Want) << X << "," << Y;
      if (X < 100 && Buffer.GetPixel(X, Y) != 3) ++Tile;
    }
  // The tile covers window columns 15..99 and rows 7..59.
  EXPECT_EQ(Tile, 85 * 53);
  if (qEnvironmentVariableIsSet("BRENMOOR_KEEP_GRABS")) Grab.save("SpriteSurfaceView.png");
}

TEST(SpriteSurfaceView, AStoppedSurfaceShowsAWhiteFieldWithAFrame) {
  TMapScene M;
  TSpriteSurfaceView View(M.Surface);
  View.resize(40, 20);
  const QImage Grab = View.grab().toImage();
  EXPECT_EQ(Grab.pixel(10, 10), qRgb(255, 255, 255));
  EXPECT_EQ(Grab.pixel(0, 5), qRgb(0, 0, 0));
  EXPECT_EQ(Grab.pixel(39, 19), qRgb(0, 0, 0));
  // A frame rendered while stopped (as the map loader does) is shown until the next stop.
  M.Surface.RenderFrame();
  EXPECT_EQ(View.grab().toImage().pixel(10, 10), PaletteRgb(M.Palette, 3));
  M.Surface.SetActive(true);
  M.Surface.SetActive(false);
  EXPECT_EQ(View.grab().toImage().pixel(10, 10), qRgb(255, 255, 255));
}

TEST(SpriteSurfaceView, FramesRunInTheTimerWhileActiveAndNeverInAPaint) {
  TMapScene M;
  M.Surface.SetAnimationInterval(40);
  TSpriteSurfaceView View(M.Surface);
  View.resize(100, 50);
  View.show();
  int Frames = 0;
  M.Surface.BeforeRender = [&](TSpriteSurface&) { ++Frames; };
  RunFor(60);
  EXPECT_EQ(Frames, 0);
  M.Surface.SetActive(true);
  RunFor(420);
  M.Surface.SetActive(false);
  EXPECT_GE(Frames, 4);
  EXPECT_LE(Frames, 14);
  const int Stopped = Frames;
  View.repaint();
  RunFor(100);
  EXPECT_EQ(Frames, Stopped);
  // Active again: painting still renders nothing by itself.
  M.Surface.SetAnimationInterval(100000);
  M.Surface.SetActive(true);
  RunFor(30);
  EXPECT_EQ(Frames, Stopped + 1);
  View.repaint();
  EXPECT_EQ(Frames, Stopped + 1);
  M.Surface.SetActive(false);
}

TEST(SpriteSurfaceView, AFrameThatFailsStopsTheSurface) {
  TSpriteSurface Surface;
  TSpriteSurfaceView View(Surface);
  EXPECT_THROW(
      {
        Surface.SetActive(true);
        Surface.RenderFrame();
      },
      EFlickwing);
  EXPECT_FALSE(Surface.GetActive());
  RunFor(30);
}

TEST(SpriteSurfaceView, MouseEventsAndSpriteClicksUseVirtualCoordinates) {
  TMapScene M;
  TSpriteSurfaceView View(M.Surface);
  View.resize(100, 60);
  M.Surface.SetOffsetX(10);
  M.Surface.SetOffsetY(4);
  std::vector<std::string> Log;
  M.Surface.OnMouseDown = [&](TSpriteSurface&, TMouseButton B, TShiftState S, int X, int Y) {
    Log.push_back("down " + std::to_string(B) + " " + std::to_string(S & (ssShift | ssRight)) + " " + std::to_string(X) +
                  "," + std::to_string(Y));
  };
  M.Surface.OnMouseUp = [&](TSpriteSurface&, TMouseButton B, TShiftState, int X, int Y) {
    Log.push_back("up " + std::to_string(B) + " " + std::to_string(X) + "," + std::to_string(Y));
  };
  M.Surface.OnSpriteClick = [&](TSpriteSurface&, TSprite& S) { Log.push_back("sprite " + std::to_string(S.GetWidth())); };
  QTest::mouseClick(&View, Qt::RightButton, Qt::ShiftModifier, QPoint(30, 20));
  QTest::mouseClick(&View, Qt::LeftButton, Qt::NoModifier, QPoint(2, 2));
  EXPECT_EQ(Log, (std::vector<std::string>{"down 1 17 40,24", "up 1 40,24", "sprite 150", "down 0 0 12,6", "up 0 12,6"}));
}

TEST(SpriteSurfaceView, ScrollBarsFollowTheOffsetsAndMoveThem) {
  TMapScene M;
  QWidget Window;
  auto* View = new TSpriteSurfaceView(M.Surface, &Window);
  auto* Horz = new QScrollBar(Qt::Horizontal, &Window);
  auto* Vert = new QScrollBar(Qt::Vertical, &Window);
  View->setGeometry(0, 0, 200, 300);
  View->SetScrollBarHorz(Horz);
  View->SetScrollBarVert(Vert);
  Window.show();
  EXPECT_FALSE(Horz->isHidden());
  EXPECT_EQ(Horz->maximum(), 200);
  EXPECT_TRUE(Vert->isHidden());
  int Changes = 0;
  M.Surface.OnOffsetChange = [&](TSpriteSurface&) { ++Changes; };
  // A bar's move sets both offsets from the bars.
  Horz->setValue(120);
  EXPECT_EQ(M.Surface.GetOffsetX(), 120);
  EXPECT_EQ(Changes, 2);
  M.Surface.SetOffsetX(30);
  EXPECT_EQ(Horz->value(), 30);
  EXPECT_EQ(Changes, 3);
  // The window grows past the map: the bar goes.
  View->resize(400, 300);
  EXPECT_TRUE(Horz->isHidden());
  // A bar that is deleted is forgotten.
  delete Horz;
  EXPECT_EQ(M.Surface.GetScrollBarHorz(), nullptr);
  M.Surface.SetOffsetX(10);
  EXPECT_EQ(M.Surface.GetOffsetX(), 10);
}

TEST(SpriteSurfaceView, ASurfaceDestroyedFirstIsForgotten) {
  // As in a window whose surface is a member and whose view is a child widget.
  QWidget Window;
  auto* Horz = new QScrollBar(Qt::Horizontal, &Window);
  TSpriteSurfaceView* View;
  {
    TMapScene M;
    View = new TSpriteSurfaceView(M.Surface, &Window);
    View->resize(100, 60);
    View->SetScrollBarHorz(Horz);
    M.Surface.SetActive(true);
    RunFor(20);
    EXPECT_GE(View->FramesShown(), 1);
  }
  EXPECT_EQ(View->Surface(), nullptr);
  Window.show();
  QTest::mouseClick(View, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  Horz->setValue(3);
  View->resize(80, 40);
  RunFor(30);
  EXPECT_FALSE(View->grab().isNull());
}

// A frame like the one before is not painted again; a frame in which a sprite moved is, and the
// window then shows the new frame everywhere.
TEST(SpriteSurfaceView, OnlyAFrameThatChangedIsPainted) {
  TMapScene M;
  TSpriteSurfaceView View(M.Surface);
  View.resize(200, 120);
  View.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&View));
  M.Surface.RenderFrame();
  RunFor(30);
  const int Painted = View.Paints();
  ASSERT_GE(Painted, 1);
  for (int I = 0; I < 3; ++I) M.Surface.RenderFrame();
  RunFor(30);
  EXPECT_EQ(View.Paints(), Painted);
  EXPECT_EQ(View.FramesShown(), 4);
  TSprite* Tile = M.Surface.GetEngines().front()->GetSprite(0);
  Tile->SetX(Tile->GetX() + 3);
  M.Surface.RenderFrame();
  RunFor(30);
  EXPECT_GT(View.Paints(), Painted);
  const QImage Grab = View.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const TDIBCanvas& Buffer = M.Surface.GetDIBCanvas();
  for (int Y = 0; Y < 120; ++Y)
    for (int X = 0; X < 200; ++X) ASSERT_EQ(Grab.pixel(X, Y), PaletteRgb(M.Palette, Buffer.GetPixel(X, Y))) << X << "," << Y;
}
