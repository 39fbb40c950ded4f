#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/MapSet.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// A folder of its own under the temporary folder, made current for the test's life (relative
// names in a map set are resolved against the current folder).
class MapSetFolder : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(Root / "art");
    fs::create_directories(Root / "maps");
  }
  static void Write(const fs::path& Name, const std::string& Text) {
    std::ofstream Out(Name, std::ios::binary);
    Out << Text;
  }
  static void WriteBitmap(const fs::path& Name, std::int32_t Width, std::int32_t Height, int Bits = 8) {
    TBitmap(Width, Height, Bits).SaveToFile(Name.string());
  }
  const TScratchFolder Scratch{"brenmoor-mapset", scCurrent};
  const fs::path Root = Scratch.Path();
};

const char* const Square = "0,0,100,0,100,100,0,100";

}  // namespace

TEST_F(MapSetFolder, AMapSetRoundTripsThroughTheReader) {
  WriteBitmap(Root / "art" / "west.bmp", 128, 96);
  WriteBitmap(Root / "art" / "east.bmp", 100, 150);
  // Every kind of line end, keys of another case or unknown ignored, names with "\" and with
  // "/", a bitmap text looked up regardless of case, no line end after the last line.
  const std::string Text = std::string("; the western front\r\n") +
                           "Bitmap=art\\west.bmp\r\n"
                           "Bitmap=art/east.bmp\r"
                           "Palette=ignored\n"
                           "bitmap=art\\west.bmp\n"
                           "Element=ART\\WEST.BMP:0,0\n"
                           "Element=art/east.bmp:120,-10\n"
                           "Element=art\\west.bmp:x,40\n"
                           "\n"
                           "Zone=" + Square + ";Alba;0;1#\n"
                           "Zone=100,0,200,0,200,100,100,100;Firth;1;\n"
                           "Link=1,0";
  Write(Root / "maps" / "test.map", Text);

  TZoneMap Map;
  Map.SetGridMarginTop(16);
  Map.SetGridWidth(20);
  Map.SetGridHeight(26);
  const TMapSet Set = LoadZoneMapFromFile(Map, "maps\\test.map");
  EXPECT_EQ(Set.GetFileName(), "maps\\test.map");

  std::vector<std::pair<TMapSetKind, int>> Kinds;
  for (const TMapSetRecord& R : Set.GetRecords()) Kinds.emplace_back(R.Kind, R.Line);
  const std::vector<std::pair<TMapSetKind, int>> Expected = {{mkBitmap, 2},  {mkBitmap, 3},  {mkElement, 6}, {mkElement, 7},
                                                             {mkElement, 8}, {mkZone, 10},   {mkZone, 11},   {mkLink, 12}};
  EXPECT_EQ(Kinds, Expected);

  // Bitmap names are resolved against the current folder, not the map set's own.
  ASSERT_EQ(Set.BitmapCount(), 2);
  EXPECT_EQ(Set.GetBitmap(0).Value, "art\\west.bmp");
  EXPECT_EQ(fs::path(Set.GetBitmap(0).FileName), Root / "art" / "west.bmp");
  EXPECT_EQ(Set.GetBitmap(1).Index, 1);
  EXPECT_EQ(Set.GetBitmap(1).Width, 100);
  EXPECT_EQ(Set.GetBitmap(1).Height, 150);
  EXPECT_EQ(Set.GetBitmap(1).BitsPerPixel, 8);

  ASSERT_EQ(Set.ElementCount(), 3);
  EXPECT_EQ(Set.GetElement(0).BitmapText, "ART\\WEST.BMP");
  EXPECT_EQ(Set.GetElement(0).Bitmap, 0);
  EXPECT_EQ(Set.GetElement(1).Bitmap, 1);
  EXPECT_EQ(Set.GetElement(1).X, 120);
  EXPECT_EQ(Set.GetElement(1).Y, -10);
  EXPECT_EQ(Set.GetElement(2).X, 0);
  EXPECT_EQ(Set.GetElement(2).Y, 40);
  // East reaches farthest right (120 + 100) and down (-10 + 150).
  EXPECT_EQ(Set.GetExtent(), (TMapExtent{220, 140}));
  EXPECT_EQ(Map.GetExtent(), (TMapExtent{220, 140}));

  ASSERT_EQ(Map.ZoneCount(), 2);
  TZone* Alba = Map.GetZone(0);
  TZone* Firth = Map.GetZone(1);
  EXPECT_EQ(Alba->GetName(), "Alba");
  EXPECT_EQ(Firth->GetSea(), 1);
  // The link put each in the other's list; Alba's text named Firth once more.
  EXPECT_EQ(Alba->GetNeighbours(), (std::vector<TZone*>{Firth, Firth}));
  EXPECT_EQ(Firth->GetNeighbours(), (std::vector<TZone*>{Alba}));
  ASSERT_EQ(Map.LinkCount(), 1);
  EXPECT_EQ(Map.GetLink(0)->GetZoneA(), Firth);
  EXPECT_EQ(Alba->GridPointCount(), 12);
  EXPECT_EQ(Map.FindZoneAt({150, 50}), Firth);
  Map.FindPath(Alba, Firth);
  EXPECT_EQ(Map.PathCost(), 1000);
}

TEST_F(MapSetFolder, AFailedLoadKeepsTheMapThatWasThere) {
  WriteBitmap(Root / "art" / "west.bmp", 64, 64);
  WriteBitmap(Root / "art" / "deep.bmp", 64, 64, 24);
  Write(Root / "good.map", "Bitmap=art/west.bmp\nElement=art/west.bmp:10,20\nZone=" + std::string(Square) + ";Alba;0;\n");
  TZoneMap Map;
  LoadZoneMapFromFile(Map, "good.map");
  ASSERT_EQ(Map.ZoneCount(), 1);
  TZone* Alba = Map.GetZone(0);
  EXPECT_EQ(Map.GetExtent(), (TMapExtent{74, 84}));

  const std::string Deep = (Root / "art" / "deep.bmp").string();
  const std::string Lost = (Root / "art" / "lost.bmp").string();
  struct Case {
    std::string Name, Text, Message;
  };
  const Case Cases[] = {
      {"nowhere/none.map", "", "Map set file \"nowhere/none.map\" does not exist"},
      {"art", "", "Map set file \"art\" does not exist"},
      {"deep.map", "Zone=" + std::string(Square) + ";New;0;\nBitmap=art/deep.bmp\n",
       "Map set \"deep.map\", line 2: Bitmap \"" + Deep + "\": 24 bits per pixel (a map's bitmaps have 8)"},
      {"lost.map", "Bitmap=art\\lost.bmp\n", "Map set \"lost.map\", line 1: Bitmap \"" + Lost + "\": the file cannot be opened"},
      {"thin.map", "Zone=" + std::string(Square) + ";New;0;\nZone=0,0,9,9,5;Thin;0;\n",
       "Map set \"thin.map\", line 2: A zone needs at least 3 corners (2 given)"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (!C.Text.empty()) Write(Root / C.Name, C.Text);
    try {
      LoadZoneMapFromFile(Map, C.Name);
      ADD_FAILURE() << "loaded";
    } catch (const EMapSet& E) {
      EXPECT_EQ(E.what(), C.Message);
    }
    ASSERT_EQ(Map.ZoneCount(), 1);
    EXPECT_EQ(Map.GetZone(0), Alba);
    EXPECT_EQ(Map.GetExtent(), (TMapExtent{74, 84}));
  }
}

TEST(MapSetText, LineEndsAndElementPlaces) {
  // CR LF, CR, LF, and LF CR (two line ends with an empty line between).
  const TMapSet Set = TMapSet::Parse("Zone=a\r\nZone=b\rZone=c\n\rZone=d\n\nLink=0,3\r\n", "t.map");
  std::vector<int> Lines;
  for (const TMapSetRecord& R : Set.GetRecords()) Lines.push_back(R.Line);
  EXPECT_EQ(Lines, (std::vector<int>{1, 2, 3, 5, 7}));
  EXPECT_EQ(Set.GetZone(3).Value, "d");
  EXPECT_EQ(Set.GetLink(0).ZoneB, 3);

  // Only the first "=" cuts; the place follows the last ":", so a drive letter may stand in
  // the bitmap text.
  const TMapSet Art = TMapSet::Parse("Bitmap=C:\\art\\a=b.bmp\nElement=c:\\art\\A=B.bmp:5,6\nZone\nZone=\n", "t.map");
  EXPECT_EQ(Art.GetBitmap(0).Value, "C:\\art\\a=b.bmp");
  EXPECT_EQ(Art.GetElement(0).BitmapText, "c:\\art\\A=B.bmp");
  EXPECT_EQ(Art.GetElement(0).X, 5);
  EXPECT_EQ(Art.GetElement(0).Y, 6);
  // Headers not read yet: the bitmap counts as 0 x 0.
  EXPECT_EQ(Art.GetExtent(), (TMapExtent{5, 6}));
  // A key without "=" has an empty value: two Zone lines that make no zone.
  EXPECT_EQ(Art.ZoneCount(), 2);
  EXPECT_EQ(Art.GetZone(0).Value, "");
  TZoneMap Map;
  EXPECT_THROW(LoadZoneMap(Map, Art), EMapSet);

  // No elements: the extent is 0 x 0.
  EXPECT_EQ(TMapSet::Parse("Bitmap=a.bmp\n", "t.map").GetExtent(), (TMapExtent{0, 0}));
}

TEST(MapSetText, FileNamePart) {
  const std::pair<const char*, const char*> Cases[] = {
      {"maps\\Europe.map", "Europe.map"}, {"C:Europe.map", "Europe.map"}, {"a/b/c.map", "c.map"},
      {"plain.map", "plain.map"},         {"dir/", ""},
  };
  for (const auto& [Name, Part] : Cases) EXPECT_EQ(MapSetFileNamePart(Name), Part) << Name;
}
