#pragma once
// The game's generated data (sounds, music, pictures, the map) is committed; a test runs the
// generator again into a fresh folder and checks that nothing differs from what is committed.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "support/ScratchFolder.h"

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

// Runs `Generator [Arguments...] <folder>` into a fresh temporary folder; each of Paths (files or
// folders, relative to data/) must then hold exactly the committed bytes (a folder: the same
// files, each the same).
inline void ExpectRegeneratesData(const std::string& Generator, const std::vector<std::string>& Paths,
                                  const std::vector<std::string>& Arguments = {}) {
  namespace fs = std::filesystem;
  using namespace generated_data;
  const TScratchFolder Scratch("brenmoor-" + fs::path(Generator).filename().string());
  const fs::path Temp = Scratch.Path() / "data";
  std::string Command = "\"" + Generator + "\"";
  for (const std::string& Argument : Arguments) Command += " \"" + Argument + "\"";
  Command += " \"" + Temp.string() + "\" > /dev/null";
  ASSERT_EQ(std::system(Command.c_str()), 0) << Command;
  for (const std::string& Path : Paths) {
    const fs::path Committed = fs::path(BRENMOOR_SOURCE_DIR) / "data" / Path;
    const fs::path Fresh = Temp / Path;
    if (!fs::is_directory(Committed)) {
      EXPECT_TRUE(ReadAll(Fresh) == ReadAll(Committed)) << Path << " differs";
      continue;
    }
    ASSERT_EQ(Names(Fresh), Names(Committed)) << Path;
    for (const std::string& Name : Names(Fresh))
      EXPECT_TRUE(ReadAll(Fresh / Name) == ReadAll(Committed / Name)) << Path << "/" << Name << " differs";
  }
}
