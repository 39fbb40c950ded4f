#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <vector>

#include "controls/ButtonEdit.h"
#include "support/GuiTest.h"

namespace {

const QColor Key(255, 0, 255), Left(255, 0, 0), Right(0, 0, 255);

// A 32 x 16 strip: a red square on the left image, a blue one on the right, on the
// transparent colour.
QPixmap Strip() {
  QPixmap Picture(32, 16);
  Picture.fill(Key);
  QPainter Canvas(&Picture);
  Canvas.fillRect(4, 4, 8, 8, Left);
  Canvas.fillRect(20, 4, 8, 8, Right);
  return Picture;
}

struct ButtonEditTest : TGuiTest {
  QWidget Window;
  QLineEdit* Other = new QLineEdit(&Window);
  TButtonEdit* Edit = new TButtonEdit(&Window);
  int Clicks = 0;
  QPalette Colors = QApplication::palette();

  ButtonEditTest() {
    Window.resize(200, 60);
    Other->setGeometry(0, 0, 120, 21);
    Edit->setObjectName("edtScript0");
    Edit->setGeometry(0, 30, 120, 21);
    Edit->OnButtonClick = [this](TButtonEdit* Sender) {
      EXPECT_EQ(Sender, Edit);
      ++Clicks;
    };
    // Sizes reach a widget's handlers once it is on screen.
    Window.show();
    Window.activateWindow();
    EXPECT_TRUE(QTest::qWaitForWindowActive(&Window));
  }
  // A colour of the palette as the screen shows it.
  QColor Shown(QPalette::ColorRole Role) const { return QColor::fromRgb(Colors.color(Role).rgb()); }
  TButtonEditButton& Button() { return *Edit->Button(); }
  void Move(const QPoint& At) {
    QMouseEvent Event(QEvent::MouseMove, At, Button().mapToGlobal(At), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&Button(), &Event);
  }
};

}  // namespace

TEST_F(ButtonEditTest, TheButtonSitsAtTheRightOfTheClientArea) {
  // Client coordinates start inside the edit's border.
  EXPECT_EQ(Button().geometry().translated(-kButtonEditBorder, -kButtonEditBorder), QRect(100, 0, 16, 17));
  Edit->resize(200, 30);
  EXPECT_EQ(Button().geometry().translated(-kButtonEditBorder, -kButtonEditBorder), QRect(180, 0, 16, 26));

  EXPECT_TRUE(Button().isVisible());
  Edit->SetButtonVisible(false);
  EXPECT_FALSE(Button().isVisible());
  Edit->SetButtonVisible(true);
  EXPECT_TRUE(Button().isVisible());
}

TEST_F(ButtonEditTest, AClickFocusesTheEditAndFiresOnButtonClick) {
  Other->setFocus();
  ASSERT_EQ(Window.focusWidget(), Other);
  QTest::mouseClick(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(Clicks, 1);
  EXPECT_EQ(Window.focusWidget(), Edit);

  // A read-only edit ignores its button; a right click or a release elsewhere is no click.
  Other->setFocus();
  Edit->setReadOnly(true);
  QTest::mouseClick(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(Clicks, 1);
  Edit->setReadOnly(false);
  QTest::mouseClick(&Button(), Qt::RightButton, {}, QPoint(8, 8));
  QTest::mousePress(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  QTest::mouseRelease(&Button(), Qt::LeftButton, {}, QPoint(40, 8));
  EXPECT_EQ(Clicks, 1);

  // A failing handler shows the internal-error message and leaves the button up.
  Edit->OnButtonClick = [](TButtonEdit*) { throw std::runtime_error("no script folder"); };
  QTest::mouseClick(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"An internal error has occured: no script folder"});
  EXPECT_FALSE(Button().Pressed());
}

TEST_F(ButtonEditTest, TheButtonFollowsTheMouseWhileItIsHeld) {
  QTest::mousePress(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_TRUE(Button().Pressed());
  Move(QPoint(30, 8));  // out
  EXPECT_FALSE(Button().Pressed());
  EXPECT_TRUE(Button().MouseHeld());
  Move(QPoint(8, 9));  // back in
  EXPECT_TRUE(Button().Pressed());
  EXPECT_FALSE(Button().MouseHeld());
  Move(QPoint(30, 8));
  QTest::mouseRelease(&Button(), Qt::LeftButton, {}, QPoint(30, 8));
  EXPECT_FALSE(Button().Pressed());
  EXPECT_FALSE(Button().MouseHeld());
  EXPECT_EQ(Clicks, 0);

  // Back over the button before the release: a click.
  QTest::mousePress(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  Move(QPoint(30, 8));
  Move(QPoint(8, 8));
  QTest::mouseRelease(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  EXPECT_EQ(Clicks, 1);
}

TEST_F(ButtonEditTest, DrawsItsBevelUpAndItsFrameDown) {
  const QColor Face = Shown(QPalette::Button), Light = Shown(QPalette::Light), Dark = Shown(QPalette::Dark),
               Darkest = Shown(QPalette::Shadow);
  const QImage Up = GrabToPng(Button(), "up");
  QTest::mousePress(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  const QImage Down = GrabToPng(Button(), "down");
  QTest::mouseRelease(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  struct Case {
    int X, Y;
    QColor Up, Down;
  };
  const std::vector<Case> Cases = {
      {0, 0, Face, Dark},      {0, 8, Face, Dark},    {8, 0, Face, Dark},   // outer ring, top and left
      {15, 8, Darkest, Dark},  {8, 16, Darkest, Dark}, {15, 16, Darkest, Dark},  // outer ring, right and bottom
      {1, 1, Light, Face},     {1, 8, Light, Face},   {14, 8, Dark, Face},  {14, 15, Dark, Face},  // inner ring
      {8, 8, Face, Face},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.X << "," << C.Y);
    EXPECT_EQ(Up.pixelColor(C.X, C.Y), C.Up);
    EXPECT_EQ(Down.pixelColor(C.X, C.Y), C.Down);
  }
}

TEST_F(ButtonEditTest, ShowsTheLeftHalfOfItsGlyphWhileEnabledAndTheRightWhileDisabled) {
  Edit->SetGlyph(Strip());
  const QColor Face = Shown(QPalette::Button);
  // The 16 x 16 half on the 16 x 17 button: at (0, 0), one pixel further while pressed.
  const QImage Enabled = GrabToPng(Button(), "enabled");
  EXPECT_EQ(Enabled.pixelColor(4, 4), Left);
  EXPECT_EQ(Enabled.pixelColor(11, 11), Left);
  EXPECT_EQ(Enabled.pixelColor(12, 12), Face) << "the glyph's background is transparent";
  QTest::mousePress(&Button(), Qt::LeftButton, {}, QPoint(8, 8));
  const QImage Pressed = Button().grab().toImage();
  EXPECT_EQ(Pressed.pixelColor(4, 4), Face);
  EXPECT_EQ(Pressed.pixelColor(12, 12), Left);
  QTest::mouseRelease(&Button(), Qt::LeftButton, {}, QPoint(8, 8));

  Edit->setEnabled(false);
  EXPECT_FALSE(Button().isEnabled());
  const QImage Disabled = GrabToPng(Button(), "disabled");
  EXPECT_EQ(Disabled.pixelColor(4, 4), Right);
  Edit->setEnabled(true);
  EXPECT_TRUE(Button().isEnabled());

  // A glyph that is not a strip is not drawn.
  QPixmap Square(16, 16);
  Square.fill(Left);
  Edit->SetGlyph(Square);
  EXPECT_EQ(Button().grab().toImage().pixelColor(8, 8), Face);

  // The game's own glyph: three dots.
  Edit->SetGlyph(ButtonEditGlyph());
  Edit->setText("Default.brmai");
  ASSERT_EQ(Edit->Glyph().size(), QSize(24, 12));
  GrabToPng(Window, "with-text");
  const QImage Dots = Button().grab().toImage();
  // The 12 x 12 half at (2, 2): its first dot at (2, 7) of the image.
  EXPECT_EQ(Dots.pixelColor(4, 9), QColor(0, 0, 0));
  EXPECT_EQ(Dots.pixelColor(8, 5), Face);
}
