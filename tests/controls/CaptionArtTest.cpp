// The caption bar's bitmaps: regenerating them changes nothing, and the program folder holds
// every bitmap the system buttons ask for.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

#include "controls/CaptionBarArt.h"
#include "controls/CaptionBarRules.h"

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

TEST(CaptionArt, RegeneratingTheBitmapsChangesNothing) {
  const fs::path Temp = fs::temp_directory_path() / "brenmoor_makecaptionart_check";
  fs::remove_all(Temp);
  const std::string Command =
      std::string("\"") + BRENMOOR_MAKECAPTIONART + "\" \"" + Temp.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  const fs::path Committed = fs::path(BRENMOOR_SOURCE_DIR) / "data" / "art" / "caption";
  const fs::path Fresh = Temp / "art" / "caption";
  ASSERT_EQ(Names(Fresh), Names(Committed));
  for (const std::string& Name : Names(Fresh))
    EXPECT_TRUE(ReadAll(Fresh / Name) == ReadAll(Committed / Name)) << Name << " differs";
  fs::remove_all(Temp);
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
