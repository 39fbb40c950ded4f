#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdlib>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "MapArt.h"
#include "MapCheck.h"
#include "WorldSource.h"
#include "ZoneLabels.h"

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

namespace {

const std::string FontsFolder = std::string(BRENMOOR_SOURCE_DIR) + "/data/fonts";

TWorldZone LandZone(const std::string& Name, std::vector<TPoint> Points) {
  TWorldZone Z;
  Z.Name = Name;
  Z.Owner = "Poland";
  Z.Points = std::move(Points);
  return Z;
}

// Whether B is A started at another corner.
bool IsRotationOf(const std::vector<TPoint>& A, const std::vector<TPoint>& B) {
  if (A.size() != B.size()) return false;
  for (std::size_t S = 0; S < A.size(); ++S) {
    bool Same = true;
    for (std::size_t I = 0; I < A.size() && Same; ++I) Same = A[(I + S) % A.size()] == B[I];
    if (Same) return true;
  }
  return false;
}

}  // namespace

TEST(ZoneLabels, EachLandZoneStartsWhereItsLabelFitsKeepingItsSlotsAndClearOfOtherLabels) {
  TLabelMeasure Measure(FontsFolder);
  const TLabelSize Small = Measure.Size("Bo", false);
  ASSERT_GT(Small.Width, 56);
  ASSERT_LT(Measure.Size("Westmark", false).Width, 200);
  TWorldMap World;
  World.Width = 1600;
  World.Height = 400;
  // The top corner is the right end of the top edge: a label there would stand off the zone.
  World.Zones.push_back(LandZone("Westmark", {{300, 100}, {300, 300}, {100, 300}, {100, 120}}));
  // Two good corners on the left edge; the upper one is covered by the small zone's label.
  World.Zones.push_back(LandZone("Eastmark", {{500, 100}, {800, 100}, {800, 300}, {500, 300}, {500, 200}}));
  World.Zones.push_back(LandZone("Bo", {{450, 95}, {500, 95}, {500, 125}, {450, 125}}));
  // Its only good corner lies too low to leave the zone any unit slot.
  World.Zones.push_back(LandZone("Lowmark", {{1300, 100}, {1300, 160}, {1100, 160}, {1100, 130}}));
  TWorldZone Sea;
  Sea.Name = "Sea";
  Sea.Sea = true;
  Sea.Points = {{900, 0}, {900, 50}, {1000, 50}, {1000, 0}};
  World.Zones.push_back(Sea);
  const TWorldMap Before = World;

  PlaceLabels(World, Measure);
  for (std::size_t I = 0; I < World.Zones.size(); ++I)
    EXPECT_TRUE(IsRotationOf(Before.Zones[I].Points, World.Zones[I].Points)) << World.Zones[I].Name;
  EXPECT_EQ(World.Zones[0].Points[0], (TPoint{100, 120}));
  EXPECT_EQ(World.Zones[1].Points[0], (TPoint{500, 200}));
  EXPECT_EQ(World.Zones[2].Points[0], (TPoint{450, 95}));
  EXPECT_EQ(World.Zones[3].Points[0], (TPoint{1300, 100}));
  EXPECT_EQ(SlotCount(World.Zones[3].Points), 4);
  EXPECT_EQ(World.Zones[4].Points, Before.Zones[4].Points);
  EXPECT_DOUBLE_EQ(ShareInside(World.Zones[0].Points, LabelBox(World.Zones[0].Points[0], Measure.Size("Westmark", false))), 1.0);

  // The same input gives the same corners.
  TWorldMap Again = Before;
  PlaceLabels(Again, Measure);
  for (std::size_t I = 0; I < World.Zones.size(); ++I) EXPECT_EQ(Again.Zones[I].Points, World.Zones[I].Points);

  // The measure of the placed labels: the small zone's label is too wide for it and covers no
  // other label any more.
  std::vector<TLabelZone> Zones;
  for (int I = 0; I < 4; ++I) Zones.push_back({I, World.Zones[std::size_t(I)].Name, World.Zones[std::size_t(I)].Points, false});
  const TLabelReport R = MeasureLabels(Zones, Measure);
  ASSERT_EQ(R.Zones.size(), 4u);
  EXPECT_EQ(R.Zones[2].Percent(), 50 * Small.Height * 100 / (Small.Width * Small.Height));
  EXPECT_EQ(R.WellInside, 2);  // Westmark and Eastmark; Lowmark keeps its slots instead
  EXPECT_EQ(R.OverlapPairs, 0);
  Zones[1].Points = Before.Zones[1].Points;
  const TLabelReport Crowded = MeasureLabels(Zones, Measure);
  EXPECT_EQ(Crowded.OverlapPairs, 1);
  EXPECT_EQ(Crowded.Zones[1].Overlaps, (std::vector<int>{2}));
  EXPECT_EQ(Crowded.Zones[2].Overlaps, (std::vector<int>{1}));
}

TEST(MapValidator, MeasuresTheLabelsOfAMapSetAndTakesItsArgumentsSafely) {
  const fs::path Dir = WriteSmallWorld("brenmoor_mapcheck_labels");
  // The fixture has no owners' side file, so no label carries the capital icon.
  const TLabelReport R = CheckLabels(Dir.string(), "Standard.brmmap", FontsFolder);
  ASSERT_EQ(R.Zones.size(), 2u);
  EXPECT_EQ(R.Zones[0].Name, "Westland");
  EXPECT_EQ(R.Zones[1].Name, "Eastland");
  TLabelMeasure Measure(FontsFolder);
  const TLabelSize West = Measure.Size("Westland", false);
  // Westland runs from x 711 to 800 below its first corner (711,111).
  EXPECT_EQ(R.Zones[0].BoxPixels, std::int64_t(West.Width) * West.Height);
  EXPECT_EQ(R.Zones[0].InsidePixels, std::int64_t(std::min(West.Width, 89)) * West.Height);
  EXPECT_EQ(R.OverlapPairs, West.Width > 89 ? 1 : 0);

  const std::string Tool = BRENMOOR_CHECKMAP;
  auto Run = [&](const std::string& Arguments) {
    const int Status = std::system(("\"" + Tool + "\" " + Arguments + " > /dev/null 2>&1").c_str());
    return WIFEXITED(Status) ? WEXITSTATUS(Status) : -1;
  };
  EXPECT_EQ(Run("--help"), 0);
  EXPECT_EQ(Run(""), 2);
  EXPECT_EQ(Run("--bogus"), 2);
  EXPECT_EQ(Run("\"" + (Dir / "no such folder").string() + "\""), 2);
  EXPECT_EQ(Run("--labels"), 2);
  EXPECT_EQ(Run("--labels \"" + (Dir / "none.brmmap").string() + "\""), 2);
  EXPECT_EQ(Run("--labels \"" + Dir.string() + "\""), 2);  // no fonts folder there
  EXPECT_EQ(Run("--labels \"" + (Dir / "Standard.brmmap").string() + "\" --fonts \"" + FontsFolder + "\""), 0);
  fs::remove_all(Dir);
}
