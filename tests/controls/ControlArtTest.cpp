#include <gtest/gtest.h>

#include <QImage>

#include "controls/ButtonEdit.h"
#include "controls/TipFrm.h"
#include "support/GeneratedData.h"

TEST(ControlArt, RegeneratingThePicturesChangesNothing) {
  ExpectRegeneratesData(BRENMOOR_MAKETIPART, {"art/controls"});
}

TEST(ControlArt, TheControlsFindTheirPicturesInTheProgramFolder) {
  const QImage Bulb = LoadTipBitmap();
  ASSERT_FALSE(Bulb.isNull());
  EXPECT_EQ(Bulb.size(), QSize(56, 60));
  // The background, left out when drawn, is the bottom-left pixel's colour; it frames the bulb.
  const QColor Background = Bulb.pixelColor(0, 59);
  EXPECT_EQ(Bulb.pixelColor(0, 0), Background);
  EXPECT_EQ(Bulb.pixelColor(55, 59), Background);
  EXPECT_NE(Bulb.pixelColor(28, 24), Background);

  const QPixmap Glyph = ButtonEditGlyph();
  ASSERT_FALSE(Glyph.isNull());
  EXPECT_EQ(Glyph.size(), QSize(24, 12)) << "two 12 x 12 images side by side";
}
