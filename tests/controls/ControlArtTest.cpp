#include <gtest/gtest.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "controls/ButtonEdit.h"
#include "controls/TipFrm.h"

namespace {

namespace fs = std::filesystem;

std::string ReadAll(const fs::path& Path) {
  std::ifstream File(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
}

std::set<std::string> Names(const fs::path& Folder) {
  std::set<std::string> Out;
  for (const auto& Entry : fs::directory_iterator(Folder)) Out.insert(Entry.path().filename().string());
  return Out;
}

}  // namespace

TEST(ControlArt, RegeneratingThePicturesChangesNothing) {
  const fs::path Temp = fs::temp_directory_path() / "brenmoor_maketipart_check";
  fs::remove_all(Temp);
  const std::string Command = std::string("\"") + BRENMOOR_MAKETIPART + "\" \"" + Temp.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  const fs::path Committed = fs::path(BRENMOOR_SOURCE_DIR) / "data" / "art" / "controls";
  const fs::path Fresh = Temp / "art" / "controls";
  ASSERT_EQ(Names(Fresh), Names(Committed));
  for (const std::string& Name : Names(Fresh))
    EXPECT_TRUE(ReadAll(Fresh / Name) == ReadAll(Committed / Name)) << Name << " differs";
  fs::remove_all(Temp);
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
