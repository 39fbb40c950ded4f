#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "sound/Wave.h"

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

TEST(GeneratedData, RegeneratingTheSoundsAndMusicChangesNothing) {
  const fs::path Temp = fs::temp_directory_path() / "brenmoor_makesounds_check";
  fs::remove_all(Temp);
  const std::string Command = std::string("\"") + BRENMOOR_MAKESOUNDS + "\" \"" + Temp.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  for (const char* Folder : {"sounds", "music"}) {
    const fs::path Committed = fs::path(BRENMOOR_SOURCE_DIR) / "data" / Folder;
    const fs::path Fresh = Temp / Folder;
    ASSERT_EQ(Names(Fresh), Names(Committed)) << Folder;
    for (const std::string& Name : Names(Fresh)) {
      EXPECT_TRUE(ReadAll(Fresh / Name) == ReadAll(Committed / Name)) << Folder << "/" << Name << " differs";
    }
  }
  fs::remove_all(Temp);
}

TEST(GeneratedData, EveryEffectOfTheMainWindowIsAWaveTheMixerPlays) {
  for (const char* Name : {"click", "error", "button", "explosion", "buzz", "atomic", "bombard", "rockets"}) {
    TWave Wave;
    ASSERT_NO_THROW(Wave.LoadFromFile(std::string(BRENMOOR_SOURCE_DIR) + "/data/sounds/" + Name + ".wav")) << Name;
    EXPECT_TRUE(IsPlayableFormat(Wave.GetWaveFormat())) << Name;
    EXPECT_EQ(Wave.Channels(), 1) << Name;
    EXPECT_EQ(Wave.BitsPerSample(), 16) << Name;
    EXPECT_GT(Wave.WaveSize(), 1000u) << Name;
  }
}

TEST(GeneratedData, TheEffectsAreFoundByNameInTheProgramFolder) {
  // The build copies the data beside the program; the names are matched without regard to case.
  for (const char* Name : {"Click", "ERROR", "button", "Explosion", "buzz", "Atomic", "bombard", "ROCKETS"}) {
    TWave Wave;
    EXPECT_NO_THROW(Wave.LoadFromResourceName(Name)) << Name;
    EXPECT_TRUE(Wave.HasWaveData()) << Name;
  }
}
