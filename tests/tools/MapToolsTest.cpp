#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MapArt.h"
#include "MapCheck.h"
#include "WorldSource.h"

namespace {

namespace fs = std::filesystem;

// Two land zones sharing a border on an island between two seas that meet along the equator;
// the map is 1600 pixels wide in two tiles.
const char* const SmallWorld = R"(
size | 1600 | 400
tiles | 800 | 400
xmap | -180:0 180:1600
ymap | 45:0 -45:400
vertex | A 0,20 B 0,-20 W -20,0 E 20,0
land | Westland | Germany* | g | -20,20 A B -20,-20 W
land | Eastland | Poland* | d | A 20,20 E 20,-20 B
sea | North Sea | 180,45 -180,45 -180,0 W ~W..E 180,0
sea | South Sea | -180,0 -180,-45 180,-45 180,0 E ~E..W
)";

std::string ReadAll(const fs::path& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

void WriteAll(const fs::path& Path, const std::string& Text) {
  std::ofstream Out(Path, std::ios::binary);
  Out << Text;
}

// Writes the small world's map set into a fresh folder and returns it.
fs::path WriteSmallWorld(const std::string& Folder) {
  // Under the build folder, so that the builds of two presets never share it.
  const fs::path Dir = fs::path(BRENMOOR_BINARY_DIR) / "test_tmp" / Folder;
  fs::remove_all(Dir);
  fs::create_directories(Dir / "maps");
  const TMapSetFiles Files = MakeMapSetFiles(CompileWorld(SmallWorld, "small"), "Standard");
  for (const auto& [File, Tile] : Files.Tiles) Tile.SaveToFile((Dir / File).string());
  WriteAll(Dir / "Standard.brmmap", Files.MapSet);
  return Dir;
}

void Replace(std::string& S, const std::string& From, const std::string& To) {
  const std::size_t At = S.find(From);
  ASSERT_NE(At, std::string::npos) << From;
  S.replace(At, From.size(), To);
}

bool HasProblem(const TMapCheckResult& R, const std::string& Part) {
  for (const std::string& P : R.Problems)
    if (P.find(Part) != std::string::npos) return true;
  return false;
}

std::string AllProblems(const TMapCheckResult& R) {
  std::string S;
  for (const std::string& P : R.Problems) S += P + "\n";
  return S;
}

}  // namespace

TEST(MapCompiler, SharedBordersAndCoastsBecomeNeighboursAndCornersStartAtTheTop) {
  const TWorldMap W = CompileWorld(SmallWorld, "small");
  ASSERT_EQ(W.Zones.size(), 4u);
  EXPECT_EQ(W.Zones[0].Neighbours, (std::vector<int>{1, 2, 3}));
  EXPECT_EQ(W.Zones[1].Neighbours, (std::vector<int>{0, 2, 3}));
  EXPECT_EQ(W.Zones[2].Neighbours, (std::vector<int>{0, 1, 3}));
  EXPECT_TRUE(W.Links.empty());
  for (const TWorldZone& Z : W.Zones)
    for (const TPoint& P : Z.Points)
      EXPECT_TRUE(P.Y > Z.Points[0].Y || (P.Y == Z.Points[0].Y && P.X >= Z.Points[0].X)) << Z.Name;
  EXPECT_TRUE(W.Zones[0].Capital);
  EXPECT_EQ(W.Zones[0].Owner, "Germany");
}

TEST(MapCompiler, RefusesSourcesItCannotDrawWithTheLine) {
  struct TCase {
    std::string From, To, Message;
  };
  const std::vector<TCase> Cases = {
      {"sea | North Sea | 180,45 -180,45 -180,0 W ~W..E 180,0", "sea | North Sea | 180,0 ~E..W -180,0 -180,45 180,45",
       "line 9: sea zone \"North Sea\" runs clockwise"},
      {"A 20,20 E", "A 20,20 F", "line 8: no corner named \"F\""},
      {"land | Eastland | Poland* | d", "land | Westland | Poland* | d", "line 8: zone \"Westland\" is named twice"},
      {"~E..W", "~0,40..W", "line 10: no coast runs on from corner 0,40"},
      {"~E..W", "~E..30,30", "line 10: the coast from 20,0 never reaches 30,30"},
      {"| g |", "| x |", "line 7: biome \"x\""},
      {"~E..W\n", "~E..W\nlink | North Sea | Westland\n", "line 11: \"North Sea\" and \"Westland\" already share an edge"},
  };
  for (const TCase& C : Cases) {
    std::string Text = SmallWorld;
    Replace(Text, C.From, C.To);
    try {
      CompileWorld(Text, "small");
      ADD_FAILURE() << "no error for " << C.To;
    } catch (const EWorldSource& E) {
      EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
    }
  }
}

TEST(MapValidator, AcceptsASoundMapSet) {
  const fs::path Dir = WriteSmallWorld("brenmoor_mapcheck_ok");
  const TMapCheckResult R = CheckMapSet(Dir.string(), "Standard.brmmap");
  EXPECT_TRUE(R.Ok()) << AllProblems(R);
  EXPECT_EQ(R.LandZones, 2);
  EXPECT_EQ(R.SeaZones, 2);
  EXPECT_EQ(R.Width, 1600);
  fs::remove_all(Dir);
}

TEST(MapValidator, FindsEachFaultOfADamagedMapSet) {
  struct TCase {
    const char* What;
    std::string From, To, Problem;
  };
  // The small world's lines, as the compiler writes them.
  const std::string Westland = "Zone=711,111,711,200,711,289,800,289,800,111;Westland;0;1#2#3#";
  const std::vector<TCase> Cases = {
      {"one-way neighbour", ";Eastland;0;0#2#3#", ";Eastland;0;2#3#", "as neighbour but not the other way"},
      {"link before its zones", "", "Link=0,1\r\n", "cannot load the map set"},
      {"name with a separator", ";Eastland;", ";East,land;", "holds the character ','"},
      {"name used twice", ";Eastland;", ";Westland;", "is used twice"},
      {"crossed polygon", Westland, "Zone=711,111,800,289,711,289,800,111;Westland;0;1#2#3#", "is no simple polygon"},
      {"lone number", Westland, "Zone=711,111,711,200,711,289,800,289,800,111,5;Westland;0;1#2#3#", "lone number"},
      {"too narrow for storms", "Element=maps/Standard_1.bmp:800,0\r\n", "", "storms need at least 1600"},
      {"sea value", ";South Sea;1;", ";South Sea;2;", "neither 0 nor 1"},
      {"no slots", Westland, "Zone=711,250,711,289,800,289,800,250;Westland;0;1#2#3#", "unit slots"},
  };
  for (const TCase& C : Cases) {
    const fs::path Dir = WriteSmallWorld("brenmoor_mapcheck_bad");
    std::string Text = ReadAll(Dir / "Standard.brmmap");
    Replace(Text, C.From, C.To);
    WriteAll(Dir / "Standard.brmmap", Text);
    const TMapCheckResult R = CheckMapSet(Dir.string(), "Standard.brmmap");
    EXPECT_TRUE(HasProblem(R, C.Problem)) << C.What << ":\n" << AllProblems(R);
  }
  fs::remove_all(fs::path(BRENMOOR_BINARY_DIR) / "test_tmp" / "brenmoor_mapcheck_bad");
}

TEST(MapValidator, FindsTilesWhosePalettesDifferAndOutlinesLostInTheArt) {
  const fs::path Dir = WriteSmallWorld("brenmoor_mapcheck_palette");
  {
    TBitmap Tile = TBitmap::LoadFromFile((Dir / "maps" / "Standard_1.bmp").string());
    std::vector<TRGBQuad> Table = Tile.GetColorTable();
    Table[100] = TRGBQuad{1, 2, 3, 0};
    Tile.SetColorTable(Table);
    Tile.SaveToFile((Dir / "maps" / "Standard_1.bmp").string());
    TBitmap First = TBitmap::LoadFromFile((Dir / "maps" / "Standard_0.bmp").string());
    Table = First.GetColorTable();
    Table[156] = Table[MapColors::Ocean];
    Table[62] = TRGBQuad{62, 62, 62, 0};
    First.SetColorTable(Table);
    First.SaveToFile((Dir / "maps" / "Standard_0.bmp").string());
  }
  const TMapCheckResult R = CheckMapSet(Dir.string(), "Standard.brmmap");
  EXPECT_TRUE(HasProblem(R, "maps/Standard_1.bmp: palette entry")) << AllProblems(R);
  EXPECT_TRUE(HasProblem(R, "sea outline colour 156 is too close")) << AllProblems(R);
  EXPECT_TRUE(HasProblem(R, "Palette entry 62, which the game draws with, is left grey")) << AllProblems(R);
  fs::remove_all(Dir);
}
