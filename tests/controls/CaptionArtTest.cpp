// The caption bar's bitmaps: regenerating them changes nothing, and the program folder holds
// every bitmap the system buttons ask for.
#include <gtest/gtest.h>

#include <string>

#include "controls/CaptionBarArt.h"
#include "controls/CaptionBarRules.h"
#include "support/GeneratedData.h"

TEST(CaptionArt, RegeneratingTheBitmapsChangesNothing) {
  ExpectRegeneratesData(BRENMOOR_MAKECAPTIONART, {"art/caption"});
}

TEST(CaptionArt, EverySystemButtonFindsItsBitmapInTheProgramFolder) {
  for (TPGSystemButtonKind Kind : {sbkSystemClose, sbkMaximize, sbkMinimize, sbkSystemMenu})
    for (bool Maximized : {false, true})
      for (bool NewStyle : {false, true}) {
        // The new system-menu button shows the form's icon instead.
        if (Kind == sbkSystemMenu && NewStyle) continue;
        const std::string Name = SystemGlyphResourceName(Kind, Maximized, NewStyle);
        const QImage Picture = LoadCaptionArt(QString::fromStdString(Name));
        EXPECT_FALSE(Picture.isNull()) << Name;
        EXPECT_EQ(Picture.pixelColor(0, 0), QColor(255, 0, 255)) << Name << ": its corner is the transparent colour";
      }
  for (const char* Name : {"MAINICON", "SOUND", "MUSIC"}) EXPECT_FALSE(LoadCaptionArt(Name).isNull()) << Name;
  EXPECT_EQ(LoadCaptionArt("MAINICON").size(), QSize(32, 32));
  EXPECT_TRUE(LoadCaptionArt("NO_SUCH_BITMAP").isNull());
}
