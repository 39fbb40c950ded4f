#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include "ModalSteps.h"
#include "controls/AboutDialog.h"
#include "controls/StringHolder.h"
#include "support/GuiTest.h"

namespace {

struct AboutDialogTest : TGuiTest {
  TfrmAboutBox Box;
  int Height() const { return Box.pbCredits()->height(); }
  // Paints the credits once (each paint moves them one pixel up).
  QImage Paint() { return Box.pbCredits()->grab().toImage(); }
  // The rows of Picture holding aqua text.
  static std::vector<int> InkRows(const QImage& Picture) {
    std::vector<int> Rows;
    for (int Y = 0; Y < Picture.height(); ++Y)
      for (int X = 0; X < Picture.width(); ++X)
        if (Picture.pixelColor(X, Y).green() > 100) {
          Rows.push_back(Y);
          break;
        }
    return Rows;
  }
};

}  // namespace

TEST_F(AboutDialogTest, TheCreditsScrollUpAndStartAgainFromBelow) {
  Box.strCredits()->SetStrings({"WWWW", "Maps and rules", "Scripts"});
  const int Line = Box.LineHeight();
  EXPECT_EQ(Box.ScrollOffset(), -Height()) << "the first line starts below the box";
  EXPECT_EQ(Box.timerScroll()->interval(), 45);

  // Until the first line reaches the top nothing but black shows above it.
  for (int I = 1; I < Height(); ++I) Paint();
  EXPECT_EQ(Box.ScrollOffset(), -1);
  const QImage AtTop = GrabToPng(*Box.pbCredits(), "first-line-at-top");
  EXPECT_EQ(Box.ScrollOffset(), 0);
  const std::vector<int> Rows = InkRows(AtTop);
  ASSERT_FALSE(Rows.empty());
  EXPECT_LT(Rows.front(), Line);
  EXPECT_GE(Rows.back(), 2 * Line) << "three lines show";
  EXPECT_LT(Rows.back(), 3 * Line);
  EXPECT_EQ(AtTop.pixelColor(5, Line / 2), QColor(0, 0, 0)) << "lines start at x 10";
  EXPECT_EQ(AtTop.pixelColor(100, Height() - 1), QColor(0, 0, 0));

  // The offset keeps growing until the last line has gone above the top, then restarts.
  while (Box.ScrollOffset() < 3 * Line) Paint();
  EXPECT_EQ(Box.ScrollOffset(), 3 * Line);
  EXPECT_TRUE(InkRows(Paint()).empty());
  EXPECT_EQ(Box.ScrollOffset(), -Height());
  Paint();
  EXPECT_EQ(Box.ScrollOffset(), -Height() + 1);
}

TEST_F(AboutDialogTest, NoCreditsScrollNothingAndRestartAtOnce) {
  for (int I = 0; I < Height(); ++I) EXPECT_TRUE(InkRows(Paint()).empty());
  EXPECT_EQ(Box.ScrollOffset(), 0);
  Paint();
  EXPECT_EQ(Box.ScrollOffset(), -Height()) << "past the end of no lines at all";
}

TEST_F(AboutDialogTest, ExecuteShowsTheTitleVersionAndCredits) {
  const QString OldName = QGuiApplication::applicationDisplayName();
  QGuiApplication::setApplicationDisplayName("Brenmoor");
  TAboutDialog Dialog;
  Dialog.SetVersion("4.0 Build 2");
  Dialog.SetCredits({"Brenmoor 4.0", "", "Design and rules", "Maps"});
  std::string Caption, Name, Version;
  std::vector<std::string> Credits;
  auto Armed = WhenModal([&](QDialog& Window) {
    auto* Shown = qobject_cast<TfrmAboutBox*>(&Window);
    ASSERT_NE(Shown, nullptr);
    EXPECT_EQ(Shown, Dialog.Form());
    Caption = Shown->windowTitle().toStdString();
    Name = Shown->lblProgramName()->text().toStdString();
    Version = Shown->lblVersion()->text().toStdString();
    Credits = Shown->strCredits()->Strings();
    EXPECT_EQ(Shown->size(), QSize(304, 263));
    for (int I = 0; I < Shown->pbCredits()->height() + 20; ++I) Shown->pbCredits()->grab();
    GrabToPng(*Shown);
    Shown->btnOK()->click();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr) << "OK closes the box";
  });
  Dialog.Execute();
  QGuiApplication::setApplicationDisplayName(OldName);
  EXPECT_EQ(Dialog.Form(), nullptr);
  EXPECT_EQ(Caption, "About Brenmoor");
  EXPECT_EQ(Name, "Brenmoor");
  EXPECT_EQ(Version, "Version 4.0 Build 2");
  EXPECT_EQ(Credits, Dialog.Credits());
}
