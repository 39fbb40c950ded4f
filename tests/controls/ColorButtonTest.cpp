#include <QEnterEvent>
#include <QPainter>
#include <QTest>
#include <string>
#include <vector>

#include "controls/ColorButton.h"
#include "foundation/Exception.h"
#include "support/GuiTest.h"

namespace {
const QColor Face(200, 200, 200), Light(255, 255, 255), Shadow(100, 100, 100), Hot(255, 0, 0);

struct ColorButtonTest : TGuiTest {
  TColorButton Button;
  std::vector<std::string> Log;

  ColorButtonTest() {
    Button.setObjectName("btnMove");
    Button.SetColor(Face);
    Button.SetColorHighlight(Light);
    Button.SetColorShadow(Shadow);
    Button.SetColorHot(Hot);
    auto Note = [this](const char* What) { Log.push_back(std::string(What) + (Button.Down() ? "(down)" : "(up)")); };
    Button.OnMouseDown = [Note](TGraphicControl*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { Note("MouseDown"); };
    Button.OnMouseUp = [Note](TGraphicControl*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { Note("MouseUp"); };
    Button.OnClick = [Note](TGraphicControl*) { Note("Click"); };
    Button.OnDblClick = [Note](TGraphicControl*) { Note("DblClick"); };
  }
  void Enter() {
    QEnterEvent Event(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
    QCoreApplication::sendEvent(&Button, &Event);
  }
  void Leave() {
    QEvent Event(QEvent::Leave);
    QCoreApplication::sendEvent(&Button, &Event);
  }
};

QPixmap TwoCells(const QColor& Left, const QColor& Right) {
  QPixmap Picture(20, 10);
  QPainter Canvas(&Picture);
  Canvas.fillRect(0, 0, 10, 10, Left);
  Canvas.fillRect(10, 0, 10, 10, Right);
  return Picture;
}
}  // namespace

TEST_F(ColorButtonTest, StartsAsAPlainPushButton) {
  TColorButton Fresh;
  EXPECT_EQ(Fresh.size(), QSize(75, 25));
  EXPECT_EQ(Fresh.BevelWidth(), 1);
  EXPECT_EQ(Fresh.Caption(), "");
  EXPECT_FALSE(Fresh.Down());
  EXPECT_FALSE(Fresh.StayDown());
  EXPECT_FALSE(Fresh.Hot());
  EXPECT_TRUE(Fresh.InvertFontColor());
  EXPECT_EQ(Fresh.ColorHot(), QColor(0, 0, 0));
  EXPECT_EQ(Fresh.CellImage(), nullptr);
}

TEST_F(ColorButtonTest, APushButtonIsDownOnlyWhileTheMouseIsHeld) {
  Button.SetDown(true);
  EXPECT_FALSE(Button.Down()) << "a push button cannot be put down";

  QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Button.Down());
  const QImage Pressed = GrabToPng(Button, "pressed");
  QTest::mouseRelease(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(Button.Down());
  // The handlers see the press before it takes effect, the click while the button is still down.
  EXPECT_EQ(Log, (std::vector<std::string>{"MouseDown(up)", "Click(down)", "MouseUp(down)"}));
  EXPECT_EQ(Pressed.pixelColor(37, 20), Shadow) << "a pressed face is drawn in ColorShadow";
}

TEST_F(ColorButtonTest, AToggleButtonFlipsOnEveryPress) {
  Button.SetStayDown(true);
  QTest::mouseClick(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_TRUE(Button.Down());
  QTest::mouseClick(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_FALSE(Button.Down());
  EXPECT_EQ(Log, (std::vector<std::string>{"MouseDown(up)", "Click(down)", "MouseUp(down)", "MouseDown(down)",
                                           "Click(up)", "MouseUp(up)"}));

  Button.SetDown(true);
  EXPECT_TRUE(Button.Down());
  Button.SetStayDown(true);
  EXPECT_FALSE(Button.Down()) << "setting StayDown puts the button up";
}

TEST_F(ColorButtonTest, ReleasingOutsideTheButtonIsNoClick) {
  QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  QTest::mouseRelease(&Button, Qt::LeftButton, {}, QPoint(200, 10));
  EXPECT_EQ(Log, (std::vector<std::string>{"MouseDown(up)", "MouseUp(down)"}));
  EXPECT_FALSE(Button.Down());

  Log.clear();
  QTest::mouseClick(&Button, Qt::RightButton, {}, QPoint(10, 10));
  EXPECT_EQ(Log, (std::vector<std::string>{"MouseDown(up)", "MouseUp(down)"})) << "only the left button clicks";
}

TEST_F(ColorButtonTest, ADoubleClickClicksOnceAndPressesTwice) {
  // Through the window, as the window system reports it: press, release, double click, release.
  Button.show();
  QTest::mouseDClick(Button.windowHandle(), Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(Log, (std::vector<std::string>{"MouseDown(up)", "Click(down)", "MouseUp(down)", "DblClick(up)",
                                           "MouseDown(up)", "MouseUp(down)"}));
  EXPECT_FALSE(Button.Down());
}

TEST_F(ColorButtonTest, TheBevelLightsUpInColorHotWhileTheMouseIsOver) {
  Button.resize(40, 20);
  Button.SetBevelWidth(2);
  const QImage Up = GrabToPng(Button, "up");
  Enter();
  EXPECT_TRUE(Button.Hot());
  const QImage HotPicture = GrabToPng(Button, "hot");
  Leave();
  EXPECT_FALSE(Button.Hot());
  QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  const QImage Down = GrabToPng(Button, "down");
  QTest::mouseRelease(&Button, Qt::LeftButton, {}, QPoint(10, 10));

  // Pixels of the two rings: corners, sides, and the face inside them.
  struct Case {
    int X, Y;
    QColor Up, Down;
    bool Bevel;
  };
  const std::vector<Case> Cases = {
      {0, 0, Light, Shadow, true},     // top-left corner: the top side
      {39, 0, Shadow, Light, true},    // top-right corner: the right side
      {0, 19, Light, Shadow, true},    // bottom-left corner: the left side
      {39, 19, Shadow, Light, true},   // bottom-right corner: the bottom side
      {20, 0, Light, Shadow, true},    // top side
      {20, 19, Shadow, Light, true},   // bottom side
      {0, 10, Light, Shadow, true},    // left side
      {39, 10, Shadow, Light, true},   // right side
      {1, 1, Light, Shadow, true},     // second ring, top-left
      {38, 1, Shadow, Light, true},    // second ring, top-right
      {1, 18, Light, Shadow, true},    // second ring, bottom-left
      {38, 18, Shadow, Light, true},   // second ring, bottom-right
      {2, 2, Face, Shadow, false},     // the face
      {37, 17, Face, Shadow, false},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "pixel " << C.X << "," << C.Y);
    EXPECT_EQ(Up.pixelColor(C.X, C.Y), C.Up);
    EXPECT_EQ(Down.pixelColor(C.X, C.Y), C.Down);
    EXPECT_EQ(HotPicture.pixelColor(C.X, C.Y), C.Bevel ? Hot : Face);
  }
}

TEST_F(ColorButtonTest, TheFaceIsACellOfTheCellImage) {
  auto Cells = std::make_unique<TCellImage>();
  Cells->SetPicture(TwoCells(QColor(0, 0, 255), QColor(0, 200, 0)));
  Cells->SetNumCellsX(2);
  Cells->SetNumCellsY(1);
  Button.SetCellImage(Cells.get());
  Button.SetIndexUp(0);
  Button.SetIndexDown(1);

  EXPECT_EQ(GrabToPng(Button, "up").pixelColor(37, 12), QColor(0, 0, 255));
  QTest::mousePress(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(GrabToPng(Button, "down").pixelColor(37, 12), QColor(0, 200, 0));
  QTest::mouseRelease(&Button, Qt::LeftButton, {}, QPoint(10, 10));

  // A cell beyond the grid leaves the plain face; a removed image is forgotten.
  Button.SetIndexUp(5);
  EXPECT_EQ(Button.grab().toImage().pixelColor(37, 12), Face);
  Cells.reset();
  EXPECT_EQ(Button.CellImage(), nullptr);
  EXPECT_EQ(Button.grab().toImage().pixelColor(37, 12), Face);
}

TEST_F(ColorButtonTest, TheHighlightCharIsDrawnInColorHot) {
  Button.resize(90, 25);
  Button.SetCaption("Move");
  auto HotColumns = [&](const QImage& Picture) {
    int First = -1, Last = -1;
    for (int X = 1; X < Picture.width() - 1; ++X)
      for (int Y = 1; Y < Picture.height() - 1; ++Y) {
        const QColor C = Picture.pixelColor(X, Y);
        if (C.red() > 200 && C.green() < 90 && C.blue() < 90) {
          if (First < 0) First = X;
          Last = X;
        }
      }
    return std::pair(First, Last);
  };
  const QFontMetrics Metrics(Button.font());
  const int Left = (90 - Metrics.horizontalAdvance("Move")) / 2;

  EXPECT_EQ(HotColumns(GrabToPng(Button, "plain")).first, -1);

  Button.SetHighlightChar('o');
  const auto [First, Last] = HotColumns(GrabToPng(Button, "highlighted"));
  EXPECT_GE(First, Left + Metrics.horizontalAdvance("M") - 1);
  EXPECT_LE(Last, Left + Metrics.horizontalAdvance("Mo") + 1);

  // A character the caption lacks follows the caption.
  Button.SetHighlightChar('x');
  const auto After = HotColumns(GrabToPng(Button, "appended"));
  EXPECT_GE(After.first, Left + Metrics.horizontalAdvance("Move") - 1);
  EXPECT_LE(After.second, Left + Metrics.horizontalAdvance("Movex") + 1);
}

TEST_F(ColorButtonTest, AGlyphBesideTheCaptionIsTransparentInItsCornerColour) {
  QPixmap Glyph(8, 8);
  Glyph.fill(QColor(255, 0, 255));
  {
    QPainter Canvas(&Glyph);
    Canvas.fillRect(2, 2, 4, 4, QColor(0, 128, 0));
  }
  Button.SetGlyph(Glyph);
  Button.SetCaption("Build");
  const QImage Picture = GrabToPng(Button);
  const int Top = (25 - 8) / 2;
  EXPECT_EQ(Picture.pixelColor(2, Top), Face) << "the corner colour is transparent";
  EXPECT_EQ(Picture.pixelColor(2 + 3, Top + 3), QColor(0, 128, 0));

  // Without a caption the glyph is centred, one pixel further while down, and drawn whole.
  Button.SetCaption("");
  EXPECT_EQ(Button.grab().toImage().pixelColor(33, 8), QColor(255, 0, 255));
  Button.SetStretch(true);
  const QImage Stretched = GrabToPng(Button, "stretched");
  EXPECT_EQ(Stretched.pixelColor(1, 1), QColor(255, 0, 255));
  EXPECT_EQ(Stretched.pixelColor(72, 22), QColor(255, 0, 255));
  EXPECT_EQ(Stretched.pixelColor(73, 23), Face);
}

TEST_F(ColorButtonTest, AFailingHandlerShowsTheInternalErrorAndTheButtonComesUp) {
  Button.OnClick = [](TGraphicControl*) { throw EBrenmoor("Unit cannot reach the Destination Zone"); };
  QTest::mouseClick(&Button, Qt::LeftButton, {}, QPoint(10, 10));
  EXPECT_EQ(Prompter.Messages(),
            std::vector<std::string>{"An internal error has occured: Unit cannot reach the Destination Zone"});
  EXPECT_FALSE(Button.Down());
  EXPECT_EQ(Log, (std::vector<std::string>{"MouseDown(up)", "MouseUp(down)"}));
}

TEST_F(ColorButtonTest, PlacesTheCaptionAndShiftsItWhileDown) {
  Button.SetFontColor(QColor(0, 0, 0));
  Button.SetCaption("Move");
  auto FirstDarkColumn = [](const QImage& Picture, const QColor& FaceColour) {
    for (int X = 1; X < Picture.width() - 1; ++X)
      for (int Y = 1; Y < Picture.height() - 1; ++Y)
        if (Picture.pixelColor(X, Y) != FaceColour && Picture.pixelColor(X, Y).lightness() < 60) return X;
    return -1;
  };
  auto FirstTextColumn = [](const QImage& Picture, const QColor& FaceColour) {
    for (int X = 1; X < Picture.width() - 1; ++X)
      for (int Y = 1; Y < Picture.height() - 1; ++Y)
        if (Picture.pixelColor(X, Y) != FaceColour) return X;
    return -1;
  };
  const int Centred = (75 - QFontMetrics(Button.font()).horizontalAdvance("Move")) / 2;
  const QImage Up = GrabToPng(Button, "up");
  const int UpColumn = FirstTextColumn(Up, Face);
  EXPECT_GE(UpColumn, Centred);
  EXPECT_LE(UpColumn, Centred + 2);
  const int UpDark = FirstDarkColumn(Up, Face);
  EXPECT_GE(UpDark, UpColumn) << "the caption is drawn in the font colour";
  EXPECT_LE(UpDark, UpColumn + 1);

  // Down, the caption moves one pixel right and is drawn in Color on the ColorShadow face.
  Button.SetStayDown(true);
  Button.SetDown(true);
  const QImage Down = GrabToPng(Button, "down");
  EXPECT_EQ(FirstTextColumn(Down, Shadow), UpColumn + 1);
  EXPECT_EQ(FirstDarkColumn(Down, Shadow), -1);
  Button.SetInvertFontColor(false);
  EXPECT_EQ(FirstDarkColumn(Button.grab().toImage(), Shadow), UpDark + 1);

  // Beside a glyph the caption starts after it: glyph width + BevelWidth + 4.
  Button.SetDown(false);
  QPixmap Glyph(8, 8);
  Glyph.fill(QColor(255, 0, 255));
  Button.SetGlyph(Glyph);
  const QImage WithGlyph = GrabToPng(Button, "glyph");
  const int GlyphColumn = FirstDarkColumn(WithGlyph, Face);
  EXPECT_GE(GlyphColumn, 8 + 1 + 4);
  EXPECT_LE(GlyphColumn, 8 + 1 + 4 + 2);
}
