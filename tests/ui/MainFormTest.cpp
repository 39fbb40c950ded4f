#include <gtest/gtest.h>

#include "ui/MainForm.h"

TEST(MainForm, ShowsTheGameWindow) {
  TfrmMain Main;
  Main.show();
  EXPECT_EQ(Main.objectName(), "frmMain");
  EXPECT_EQ(Main.windowTitle(), "Brenmoor");
  EXPECT_TRUE(Main.isVisible());
}
