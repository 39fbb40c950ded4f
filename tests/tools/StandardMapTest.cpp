#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "MapCheck.h"
#include "support/GeneratedData.h"

namespace {

namespace fs = std::filesystem;

using generated_data::ReadAll;

const fs::path Data = fs::path(BRENMOOR_SOURCE_DIR) / "data";

}  // namespace

TEST(StandardMap, RegeneratingTheMapSetChangesNothing) {
  ExpectRegeneratesData(BRENMOOR_MAKEMAP, {"Standard.brmmap", "maps"},
                        {"--fonts", Data.string() + "/fonts", std::string(BRENMOOR_SOURCE_DIR) + "/tools/makemap/Standard.world"});
}

TEST(StandardMap, PassesEveryCheckOfTheGameAndDrawsAPicture) {
  const TMapCheckResult R = CheckMapSet(Data.string(), "Standard.brmmap");
  for (const std::string& P : R.Problems) ADD_FAILURE() << P;
  EXPECT_GE(R.Width, 1600);
  EXPECT_GE(R.LandZones, 150);
  EXPECT_GE(R.SeaZones, 60);
  // The whole map with outlines and names, for a person to look at.
  const fs::path Png = fs::path(BRENMOOR_BINARY_DIR) / "maps" / "Standard.png";
  fs::remove(Png);
  WriteMapPicture(Data.string(), "Standard.brmmap", (Data / "fonts").string(), Png.string());
  EXPECT_GT(fs::file_size(Png), 10000u);
}

TEST(StandardMap, EveryNationOf1939OwnsLandAndExactlyOneCapital) {
  // The scenario's 48 nations: the seven major powers and 41 minor nations.
  std::istringstream In(ReadAll(Data / "maps" / "Standard.owners.txt"));
  std::map<std::string, int> Zones, Capitals;
  std::set<std::string> ZoneNames;
  std::string Line;
  while (std::getline(In, Line)) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.empty() || Line[0] == '#') continue;
    const std::size_t A = Line.find(';'), B = Line.rfind(';');
    ASSERT_TRUE(A != std::string::npos && B > A) << Line;
    EXPECT_TRUE(ZoneNames.insert(Line.substr(0, A)).second) << Line;
    const std::string Owner = Line.substr(A + 1, B - A - 1);
    ++Zones[Owner];
    if (Line.substr(B + 1) == "1") ++Capitals[Owner];
  }
  EXPECT_EQ(Zones.size(), 48u);
  for (const char* Major : {"Germany", "Italy", "Japan", "United Kingdom", "France", "USSR", "United States"})
    EXPECT_TRUE(Zones.count(Major)) << Major;
  for (const auto& [Owner, Count] : Zones) EXPECT_EQ(Capitals[Owner], 1) << Owner;
  // The side file lists exactly the land zones of the map set.
  std::set<std::string> LandZones;
  std::istringstream Map(ReadAll(Data / "Standard.brmmap"));
  while (std::getline(Map, Line)) {
    if (Line.rfind("Zone=", 0) != 0) continue;
    const std::size_t A = Line.find(';'), B = Line.find(';', A + 1);
    if (Line.substr(B + 1, 1) == "0") LandZones.insert(Line.substr(A + 1, B - A - 1));
  }
  EXPECT_EQ(ZoneNames, LandZones);
}
