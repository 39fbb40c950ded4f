#include <gtest/gtest.h>

#include <QFontDatabase>
#include <QStringList>

#include "platform/FontUtils.h"

TEST(InstallFont, AddsTheGameFontFromTheProgramFolder) {
  EXPECT_TRUE(InstallFont("rareduvi.ttf"));
  EXPECT_TRUE(QFontDatabase::families().contains("Liberation Serif"));
  EXPECT_FALSE(InstallFont("no-such-font.ttf"));
}
