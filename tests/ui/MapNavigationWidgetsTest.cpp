#include <gtest/gtest.h>

#include <QCursor>
#include <QImage>
#include <QPixmap>
#include <QTest>

#include "gamemap/GameArt.h"
#include "sprites/ColorPalette.h"
#include "sprites/CursorFile.h"
#include "sprites/SpriteSurface.h"
#include "ui/MapScroller.h"
#include "ui/NavigatorView.h"

namespace {

// A 400 x 300 window over a 2000 x 1000 map.
struct TMapWindow {
  TMapWindow() {
    Surface.SetColorPalette(&Palette);
    Surface.SetBounds(0, 0, 400, 300);
    Surface.SetUseVirtualSize(true);
    Surface.SetVirtualWidth(2000);
    Surface.SetVirtualHeight(1000);
    Surface.SetOffsetX(800);
    Surface.SetOffsetY(300);
  }
  TColorPalette Palette;
  TSpriteSurface Surface;
};

std::string ProgramFile(const std::string& Path) { return std::string(BRENMOOR_BINARY_DIR) + "/bin/" + Path; }

}  // namespace

TEST(MapScrollerWidget, HoldingTheMouseScrollsEachFrameTowardThePointedSide) {
  TMapWindow Map;
  int Earlier = 0;
  Map.Surface.BeforeRender = [&](TSpriteSurface&) { ++Earlier; };
  TSpriteSurfaceScroller Scroller;
  Scroller.resize(57, 57);
  Scroller.SetSpriteSurface(&Map.Surface);
  int Starts = 0, Ends = 0;
  Scroller.OnScrollStart = [&](TSpriteSurfaceScroller&) { ++Starts; };
  Scroller.OnScrollEnd = [&](TSpriteSurfaceScroller&) { ++Ends; };

  // At the exact centre nothing moves.
  QTest::mousePress(&Scroller, Qt::LeftButton, {}, QPoint(28, 28));
  Map.Surface.BeforeRender(Map.Surface);
  EXPECT_EQ(Map.Surface.GetOffsetX(), 800);
  EXPECT_EQ(Map.Surface.GetOffsetY(), 300);
  // At the right rim: MaxScroll pixels a frame, the surface's own BeforeRender still first.
  QTest::mouseMove(&Scroller, QPoint(56, 28));
  Map.Surface.BeforeRender(Map.Surface);
  EXPECT_EQ(Map.Surface.GetOffsetX(), 900);
  EXPECT_EQ(Earlier, 2);
  // Up and left near the corner (QTest reads (0, 0) as the middle), held at the map's edge.
  QTest::mouseMove(&Scroller, QPoint(1, 1));
  for (int I = 0; I < 20; ++I) Map.Surface.BeforeRender(Map.Surface);
  EXPECT_EQ(Map.Surface.GetOffsetX(), 0);
  EXPECT_EQ(Map.Surface.GetOffsetY(), 0);
  QTest::mouseRelease(&Scroller, Qt::LeftButton, {}, QPoint(56, 56));
  Map.Surface.BeforeRender(Map.Surface);
  EXPECT_EQ(Map.Surface.GetOffsetX(), 0);
  EXPECT_EQ(Starts, 1);
  EXPECT_EQ(Ends, 1);
  // Unset, the surface has its own BeforeRender back.
  Scroller.SetSpriteSurface(nullptr);
  Map.Surface.BeforeRender(Map.Surface);
  EXPECT_EQ(Earlier, 24);
}

TEST(MapScrollerWidget, DoubleClicksJumpToTheEdgesOrCentre) {
  TMapWindow Map;
  TSpriteSurfaceScroller Scroller;
  Scroller.resize(57, 57);
  Scroller.SetSpriteSurface(&Map.Surface);
  int Centred = 0;
  Scroller.OnCenter = [&](TSpriteSurfaceScroller&) { ++Centred; };
  QTest::mouseDClick(&Scroller, Qt::LeftButton, {}, QPoint(55, 55));
  EXPECT_EQ(Map.Surface.GetOffsetX(), 1600);
  EXPECT_EQ(Map.Surface.GetOffsetY(), 700);
  QTest::mouseDClick(&Scroller, Qt::LeftButton, {}, QPoint(2, 2));
  EXPECT_EQ(Map.Surface.GetOffsetX(), 0);
  EXPECT_EQ(Map.Surface.GetOffsetY(), 0);
  EXPECT_EQ(Centred, 0);
  QTest::mouseDClick(&Scroller, Qt::LeftButton, {}, QPoint(28, 28));
  EXPECT_EQ(Centred, 1);
  EXPECT_EQ(Map.Surface.GetOffsetX(), 0);
}

TEST(MapScrollerWidget, TheCompassGlyphFillsTheScroller) {
  TSpriteSurfaceScroller Scroller;
  Scroller.resize(57, 57);
  const QPixmap Compass(QString::fromStdString(ProgramFile(GameArt::PicturePath(GameArt::CompassGlyph))));
  ASSERT_FALSE(Compass.isNull());
  Scroller.SetGlyph(Compass);
  const QImage Shot = Scroller.grab().toImage();
  EXPECT_EQ(Shot.pixelColor(28, 28), Compass.toImage().pixelColor(28, 28));
  Shot.save(QString::fromStdString(std::string(BRENMOOR_BINARY_DIR) + "/ui_scroller.png"));
}

TEST(NavigatorWidget, DraggingCentresTheMapAndTheBoxFollows) {
  TMapWindow Map;
  TSpriteSurfaceNavigator Navigator;
  EXPECT_EQ(Navigator.size(), QSize(185, 41));
  Navigator.resize(200, 100);
  Navigator.SetSpriteSurface(&Map.Surface);
  QImage Sea(40, 20, QImage::Format_RGB32);
  Sea.fill(QColor(20, 40, 120));
  Navigator.SetBackground(Sea);
  Navigator.SetBoxColor(Qt::yellow);

  // A click without movement does not centre.
  QTest::mousePress(&Navigator, Qt::LeftButton, {}, QPoint(100, 50));
  QTest::mouseRelease(&Navigator, Qt::LeftButton, {}, QPoint(100, 50));
  EXPECT_EQ(Map.Surface.GetOffsetX(), 800);
  // A drag to (150, 25) centres on (1500, 250): offsets (1300, 100).
  QTest::mousePress(&Navigator, Qt::LeftButton, {}, QPoint(100, 50));
  QTest::mouseMove(&Navigator, QPoint(150, 25));
  EXPECT_EQ(Map.Surface.GetOffsetX(), 1300);
  EXPECT_EQ(Map.Surface.GetOffsetY(), 100);
  // Past the edge the surface stays within its virtual area.
  QTest::mouseMove(&Navigator, QPoint(250, 150));
  EXPECT_EQ(Map.Surface.GetOffsetX(), 1600);
  EXPECT_EQ(Map.Surface.GetOffsetY(), 700);
  QTest::mouseRelease(&Navigator, Qt::LeftButton, {}, QPoint(250, 150));

  // The box: (1600, 700) at a tenth is (160, 70) to (200, 100).
  const QImage Shot = Navigator.grab().toImage();
  EXPECT_EQ(Shot.pixelColor(160, 70), QColor(Qt::yellow));
  EXPECT_EQ(Shot.pixelColor(180, 70), QColor(Qt::yellow));
  EXPECT_EQ(Shot.pixelColor(180, 85), QColor(20, 40, 120));
  EXPECT_EQ(Shot.pixelColor(10, 10), QColor(20, 40, 120));
}

TEST(GameCursors, QtLoadsTheCursorsAndOurReaderGivesTheirHotspots) {
  for (const char* Path : {GameArt::TargetCursor, GameArt::BusyCursor}) {
    SCOPED_TRACE(Path);
    const QImage Image(QString::fromStdString(ProgramFile(Path)), "CUR");
    ASSERT_FALSE(Image.isNull());
    EXPECT_EQ(Image.size(), QSize(32, 32));
    EXPECT_TRUE(Image.hasAlphaChannel());
    QFile File(QString::fromStdString(ProgramFile(Path)));
    ASSERT_TRUE(File.open(QIODevice::ReadOnly));
    const QByteArray Bytes = File.readAll();
    const TCursorPicture C = ReadCursorFile(std::string_view(Bytes.constData(), std::size_t(Bytes.size())), Path);
    const QCursor Cursor(QPixmap::fromImage(Image), C.HotX, C.HotY);
    EXPECT_EQ(Cursor.hotSpot(), QPoint(15, 15));
  }
}
