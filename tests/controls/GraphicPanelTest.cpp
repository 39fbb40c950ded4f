#include <QTest>

#include "controls/GraphicPanel.h"
#include "support/GuiTest.h"

namespace {
const QColor Face(200, 200, 200), Light(255, 255, 255), Shadow(100, 100, 100), Ink(0, 0, 0);

struct GraphicPanelTest : TGuiTest {
  TGraphicPanel Panel;
  GraphicPanelTest() {
    Panel.setObjectName("gpnlZoneInfo");
    Panel.SetColor(Face);
    Panel.SetColorHighlight(Light);
    Panel.SetColorShadow(Shadow);
    Panel.SetFontColor(Ink);
  }
  // The leftmost column of dark caption pixels.
  static int FirstInkColumn(const QImage& Picture) {
    for (int X = 0; X < Picture.width(); ++X)
      for (int Y = 8; Y < Picture.height() - 8; ++Y)
        if (Picture.pixelColor(X, Y).lightness() < 90) return X;
    return -1;
  }
};
}  // namespace

TEST_F(GraphicPanelTest, DrawsItsRingsFromTheOutsideIn) {
  EXPECT_EQ(Panel.size(), QSize(185, 41));
  const QImage Raised = GrabToPng(Panel, "raised");
  EXPECT_EQ(Raised.pixelColor(0, 0), Light);
  EXPECT_EQ(Raised.pixelColor(184, 40), Shadow);
  EXPECT_EQ(Raised.pixelColor(184, 0), Shadow);
  EXPECT_EQ(Raised.pixelColor(1, 1), Face);

  // Border, lowered outer bevel, two rings of border width, raised inner bevel.
  Panel.SetBorderStyle(bsSingle);
  Panel.SetBevelOuter(bvLowered);
  Panel.SetBorderWidth(2);
  Panel.SetBevelInner(bvRaised);
  const QImage Rings = GrabToPng(Panel, "all-rings");
  const std::vector<std::pair<QColor, QColor>> Expected = {
      {Ink, QColor(255, 255, 255)}, {Shadow, Light}, {Face, Face}, {Face, Face}, {Light, Shadow}, {Face, Face}};
  for (int I = 0; I < static_cast<int>(Expected.size()); ++I) {
    SCOPED_TRACE(I);
    EXPECT_EQ(Rings.pixelColor(I, 20), Expected[I].first);       // left side
    EXPECT_EQ(Rings.pixelColor(90, I), Expected[I].first);       // top side
    EXPECT_EQ(Rings.pixelColor(184 - I, 20), Expected[I].second);  // right side
    EXPECT_EQ(Rings.pixelColor(90, 40 - I), Expected[I].second);   // bottom side
  }

  // A space bevel draws nothing and takes no room.
  Panel.SetBorderStyle(bsNone);
  Panel.SetBorderWidth(0);
  Panel.SetBevelOuter(bvSpace);
  Panel.SetBevelInner(bvNone);
  const QImage Flat = Panel.grab().toImage();
  EXPECT_EQ(Flat.pixelColor(0, 0), Face);
  EXPECT_EQ(Flat.pixelColor(184, 40), Face);
}

TEST_F(GraphicPanelTest, PlacesTheCaptionByItsAlignment) {
  Panel.SetCaption("Western Front");
  Panel.SetBevelWidth(2);
  const int Width = QFontMetrics(Panel.font()).horizontalAdvance("Western Front");
  struct Case {
    TAlignment Alignment;
    int X;
  };
  for (const Case& C : std::vector<Case>{{taLeftJustify, 3}, {taRightJustify, 185 - Width - 3}, {taCenter, (185 - Width) / 2}}) {
    Panel.SetAlignment(C.Alignment);
    const QImage Picture = GrabToPng(Panel, QString::number(C.Alignment));
    const int Ink = FirstInkColumn(Picture);
    EXPECT_GE(Ink, C.X) << C.Alignment;
    EXPECT_LE(Ink, C.X + 2) << C.Alignment;
  }
}

TEST_F(GraphicPanelTest, ReportsClicks) {
  int Clicks = 0;
  TGraphicControl* Sender = nullptr;
  Panel.OnClick = [&](TGraphicControl* S) {
    ++Clicks;
    Sender = S;
  };
  QTest::mouseClick(&Panel, Qt::LeftButton, {}, QPoint(20, 20));
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Sender, &Panel);
}
