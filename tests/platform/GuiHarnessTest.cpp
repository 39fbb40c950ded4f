#include <QDir>
#include <QFileInfo>
#include <QLabel>

#include "support/GuiTest.h"

using GuiHarness = TGuiTest;

TEST_F(GuiHarness, GrabsAWidgetToAPngUnderTheTestOutputFolder) {
  QLabel Label("Brenmoor");
  Label.resize(80, 20);
  Label.setStyleSheet("background: rgb(0, 0, 128); color: white;");
  const QString File = TestOutputFile("label");
  QFile::remove(File);
  const QImage Picture = GrabToPng(Label, "label");
  EXPECT_EQ(File, QDir(BRENMOOR_BINARY_DIR).filePath("test-output/GuiHarness/GrabsAWidgetToAPngUnderTheTestOutputFolder-label.png"));
  ASSERT_TRUE(QFileInfo::exists(File));
  EXPECT_EQ(QImage(File).convertToFormat(QImage::Format_RGB32), Picture);
  EXPECT_EQ(Picture.size(), QSize(80, 20));
  EXPECT_EQ(Picture.pixelColor(1, 1), QColor(0, 0, 128));
}

TEST_F(GuiHarness, KeepsTheSettingsInATemporaryFile) {
  Settings.Store().WriteInteger("ShowTip", 1);
  EXPECT_EQ(Settings.Store().ReadInteger("ShowTip"), 1);
  EXPECT_TRUE(QFileInfo::exists(Settings.FileName()));
  TTemporarySettings Other;
  EXPECT_NE(Other.FileName(), Settings.FileName());
  EXPECT_EQ(Other.Store().ReadInteger("ShowTip"), 0);
}
