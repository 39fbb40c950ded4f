#pragma once
// The game's generated data (sounds, music, pictures, the map) is committed; a test runs the
// generator again into a fresh folder and checks that nothing differs from what is committed.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace generated_data {

namespace fs = std::filesystem;

inline std::string ReadAll(const fs::path& Path) {
  std::ifstream File(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(File)), std::istreambuf_iterator<char>());
}

inline std::set<std::string> Names(const fs::path& Folder) {
  std::set<std::string> Out;
  for (const auto& Entry : fs::directory_iterator(Folder)) Out.insert(Entry.path().filename().string());
  return Out;
}

}  // namespace generated_data

// Runs `Generator <folder>` into a fresh temporary folder; each of Folders (relative to data/)
// must then hold exactly the committed files, byte for byte.
inline void ExpectRegeneratesData(const std::string& Generator, const std::vector<std::string>& Folders) {
  namespace fs = std::filesystem;
  using namespace generated_data;
  const fs::path Temp = fs::temp_directory_path() /
                        ("brenmoor_" + fs::path(Generator).filename().string() + "_" + std::to_string(getpid()));
  fs::remove_all(Temp);
  const std::string Command = "\"" + Generator + "\" \"" + Temp.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  for (const std::string& Folder : Folders) {
    const fs::path Committed = fs::path(BRENMOOR_SOURCE_DIR) / "data" / Folder;
    const fs::path Fresh = Temp / Folder;
    ASSERT_EQ(Names(Fresh), Names(Committed)) << Folder;
    for (const std::string& Name : Names(Fresh))
      EXPECT_TRUE(ReadAll(Fresh / Name) == ReadAll(Committed / Name)) << Folder << "/" << Name << " differs";
  }
  fs::remove_all(Temp);
}
