#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <set>
#include <string>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/Canvas.h"
#include "sprites/ColorPalette.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

// The colours of the test's bitmaps: entry I is (I, 255 - I, 3I), so no entry of 10..245 is
// black or white and the painter's black and white are the static entries 0 and 255.
std::vector<TRGBQuad> MapColors() {
  std::vector<TRGBQuad> T(256);
  for (int I = 0; I < 256; ++I) T[std::size_t(I)] = {std::uint8_t(3 * I), std::uint8_t(255 - I), std::uint8_t(I), 0};
  return T;
}

constexpr std::uint8_t SeaPixel = 20;
constexpr std::uint8_t LandPixel = 30;
constexpr std::uint8_t Black = 0;
constexpr std::uint8_t White = 255;

void WriteBitmap(const fs::path& Name, std::int32_t Width, std::int32_t Height, std::uint8_t Pixel) {
  TBitmap B(Width, Height, 8);
  B.SetColorTable(MapColors());
  for (std::int32_t Y = 0; Y < Height; ++Y)
    for (std::int32_t X = 0; X < Width; ++X) B.ScanLine(Y)[X] = Pixel;
  B.SaveToFile(Name.string());
}

void Write(const fs::path& Name, const std::string& Text) { std::ofstream(Name, std::ios::binary) << Text; }

// The six zones: two land squares with a concave (L-shaped) land zone between them, two sea
// zones (the second overlapping the first), and an island nothing links to; zone 0 and 1 name
// each other twice (neighbour text and a Link line). The background: a land picture of the
// first Element line over the sea picture of the second, which covers the whole 480 x 360 map.
const char* const Zones =
    "Zone=0,0,100,0,100,100,0,100;Alba;0;1#2#\n"
    "Zone=100,0,200,0,200,40,140,40,140,100,100,100;Brae;0;0#4#\n"
    "Zone=0,100,200,100,200,160,0,160;North Sea;1;0#3#\n"
    "Zone=150,200,150,60,260,60,260,200;Channel;1;2#4\n"
    "Zone=260,0,360,0,360,100,260,100;Dunmore;0;1#3#\n"
    "Zone=400,300,450,300,450,350;Isle;0;\n"
    "Link=0,1\n"
    "Link=3,0\n";
const std::string Fixture = std::string("Bitmap=art/sea.bmp\n"
                                        "Bitmap=art\\land.bmp\n"
                                        "Element=ART\\LAND.BMP:45,25\n"
                                        "Element=art/sea.bmp:0,0\n") +
                            Zones;

class ZoneSurface : public ::testing::Test {
protected:
  void SetUp() override {
    fs::create_directories(Root / "art");
    fs::create_directories(Root / "maps");
    WriteBitmap(Root / "art" / "sea.bmp", 480, 360, SeaPixel);
    WriteBitmap(Root / "art" / "land.bmp", 120, 100, LandPixel);
    Write(Root / "maps" / "europe.map", Fixture);

    S.SetColorPalette(&Palette);
    S.SetBounds(0, 0, 480, 360);
    S.SetColorIndexLand(62);
    S.SetColorIndexSea(156);
    S.SetGridMarginTop(16);
    S.SetGridWidth(20);
    S.SetGridHeight(26);
    S.SetPreviewWidth(48);
    S.SetPreviewHeight(36);
  }
  void Load() {
    S.SetMapSetFile("maps/europe.map");
    ASSERT_EQ(S.ZoneCount(), 6);
  }
  std::uint16_t Pixel(std::int32_t X, std::int32_t Y) { return S.GetDIBCanvas().GetPixel(X, Y); }
  TZone* Z(int I) { return S.GetZone(I); }

  // A folder of its own, current for the test's life: the map set names its bitmaps from there.
  const TScratchFolder Scratch{"brenmoor-zonesurface", scCurrent};
  const fs::path Root = Scratch.Path();
  TColorPalette Palette;
  TZoneSpriteSurface S;
};

// What a load leaves behind, to show that a refused load changed nothing.
struct TSnapshot {
  std::vector<TZone*> Zones;
  std::vector<TZoneSprite*> Sprites;
  int Links = 0;
  std::vector<TSprite*> Elements;
  std::int32_t BackgroundSprites = 0, ZoneSprites = 0;
  std::int32_t VirtualWidth = 0, VirtualHeight = 0;
  std::string MapSetFile;
  const TBitmap* Preview = nullptr;
  std::uint32_t PaletteChanges = 0;
  friend bool operator==(const TSnapshot&, const TSnapshot&) = default;
};

TSnapshot Snapshot(TZoneSpriteSurface& S) {
  TSnapshot R;
  for (int I = 0; I < S.ZoneCount(); ++I) {
    R.Zones.push_back(S.GetZone(I));
    R.Sprites.push_back(S.GetZone(I)->GetZoneSprite());
  }
  R.Links = S.LinkCount();
  for (const TMapElement& E : S.GetElements()) R.Elements.push_back(E.Sprite);
  R.BackgroundSprites = S.GetBackgroundEngine().SpriteCount();
  R.ZoneSprites = S.GetZoneEngine().SpriteCount();
  R.VirtualWidth = S.GetVirtualWidth();
  R.VirtualHeight = S.GetVirtualHeight();
  R.MapSetFile = S.GetMapSetFile();
  R.Preview = &S.GetPreview();
  R.PaletteChanges = S.GetColorPalette() ? S.GetColorPalette()->GetChangeCount() : 0;
  return R;
}

}  // namespace

TEST_F(ZoneSurface, ALoadBuildsTheEnginesFactoriesAndZones) {
  Load();
  EXPECT_EQ(S.GetMapSetFile(), "maps/europe.map");
  EXPECT_EQ(S.GetVirtualWidth(), 480);
  EXPECT_EQ(S.GetVirtualHeight(), 360);
  EXPECT_EQ(S.GetBackgroundEngine().GetPriority(), 101);
  EXPECT_EQ(S.GetZoneEngine().GetPriority(), 100);
  ASSERT_EQ(S.GetEngines().size(), 2u);
  EXPECT_EQ(S.GetEngines()[0], &S.GetBackgroundEngine());

  // One factory per Bitmap line under its value text; one sprite per Element line, its Data
  // the factory of its bitmap (looked up regardless of case).
  ASSERT_EQ(S.GetFactories().size(), 2u);
  EXPECT_EQ(S.GetFactories()[1].Text, "art\\land.bmp");
  EXPECT_EQ(S.GetFactories()[1].Factory->GetWidth(), 120);
  EXPECT_EQ(S.GetFactories()[0].Factory->GetSpriteSurface(), &S);
  ASSERT_EQ(S.GetElements().size(), 2u);
  EXPECT_EQ(S.GetElements()[0].BitmapText, "ART\\LAND.BMP");
  EXPECT_EQ(S.GetElements()[0].Sprite->GetData(), S.GetFactories()[1].Factory.get());
  EXPECT_EQ(S.GetElements()[0].Sprite->GetPosition(), (TPoint{45, 25}));
  EXPECT_EQ(S.GetElements()[1].Sprite->GetData(), S.GetFactories()[0].Factory.get());
  EXPECT_EQ(S.GetBackgroundEngine().SpriteCount(), 2);

  // Every zone has its sprite in the zone engine, bound to it.
  EXPECT_EQ(S.GetZoneEngine().SpriteCount(), 6);
  for (int I = 0; I < 6; ++I) {
    ASSERT_NE(Z(I)->GetZoneSprite(), nullptr);
    EXPECT_EQ(&Z(I)->GetZoneSprite()->GetZone(), Z(I));
    EXPECT_EQ(Z(I)->GetZoneSprite()->GetEngine(), &S.GetZoneEngine());
    EXPECT_EQ(&Z(I)->GetMap(), &S.GetZoneMap());
  }
  // The map's own part: neighbours (duplicates kept), grid and paths.
  EXPECT_EQ(Z(0)->NeighbourCount(), 4);
  EXPECT_EQ(Z(1)->GridPointCount(), 8);
  S.FindPath(Z(0), Z(4));
  EXPECT_EQ(S.PathCount(), 3);
  EXPECT_EQ(S.PathCost(), 20);
  S.FindPath(Z(0), Z(5));
  EXPECT_EQ(S.PathCount(), 0);

  // The palette took entries 10 to 245 from the bitmaps; the static colours stayed.
  const TRGBQuad C = MapColors()[SeaPixel];
  EXPECT_EQ(Palette.ColorOf(SeaPixel), (TPaletteEntry{C.Red, C.Green, C.Blue, 4}));
  EXPECT_EQ(Palette.ColorOf(White), (TPaletteEntry{255, 255, 255, 0}));

  // A zone added by code gets its sprite at once.
  TZone* Extra = S.AddZone(std::make_unique<TZone>(S.GetZoneMap(), "0,0,5,0,5,5;Extra;0;"));
  ASSERT_NE(Extra->GetZoneSprite(), nullptr);
  EXPECT_EQ(S.GetZoneEngine().SpriteCount(), 7);

  S.Clear();
  EXPECT_EQ(S.ZoneCount(), 0);
  EXPECT_EQ(S.GetZoneEngine().SpriteCount(), 0);
  EXPECT_EQ(S.GetBackgroundEngine().SpriteCount(), 0);
  EXPECT_TRUE(S.GetFactories().empty());
  EXPECT_TRUE(S.GetElements().empty());
}

TEST_F(ZoneSurface, OutlinesAndLabelsAreDrawnInTheirPaletteIndexes) {
  Load();
  // The load drew a frame. Alba's outline lies 2 pixels inside its corners, in the land index.
  EXPECT_EQ(Pixel(60, 2), 62);
  EXPECT_EQ(Pixel(98, 50), 62);
  EXPECT_EQ(Pixel(2, 50), 62);
  EXPECT_EQ(Pixel(60, 98), 62);
  EXPECT_EQ(Pixel(60, 1), SeaPixel);
  EXPECT_EQ(Pixel(60, 3), SeaPixel);
  EXPECT_EQ(Pixel(99, 50), LandPixel);
  // The concave zone's outline follows its notch; the sea zones are in the sea index.
  EXPECT_EQ(Pixel(170, 2), 62);
  EXPECT_EQ(Pixel(198, 20), 62);
  EXPECT_EQ(Pixel(142, 70), 62);
  EXPECT_EQ(Pixel(141, 70), LandPixel);
  EXPECT_EQ(Pixel(150, 158), 156);
  EXPECT_EQ(Pixel(258, 150), 156);
  // The island's slope: corner (400, 300) moves to (402, 302), (450, 350) to (448, 348).
  EXPECT_EQ(Pixel(425, 325), 62);

  // A land zone's label: " name " on black in white at its first corner, over its outline.
  TCanvas& C = S.GetCanvas();
  C.Font().SetName("Arial");
  C.Font().SetSize(8);
  C.Font().SetStyle(0);
  const TTextSize Cell = C.TextExtent(" Alba ");
  ASSERT_GT(Cell.Width, 10);
  ASSERT_LT(Cell.Width, 60);
  int WhitePixels = 0;
  std::set<std::uint16_t> Seen;
  for (std::int32_t Y = 0; Y < Cell.Height; ++Y)
    for (std::int32_t X = 0; X < Cell.Width; ++X) {
      Seen.insert(Pixel(X, Y));
      WhitePixels += Pixel(X, Y) == White;
    }
  EXPECT_EQ(Seen, (std::set<std::uint16_t>{Black, White}));
  EXPECT_GT(WhitePixels, 10);
  EXPECT_EQ(Pixel(Cell.Width, 5), SeaPixel);
  // Sea zones have no label: below North Sea's first corner the sea shows.
  EXPECT_EQ(Pixel(10, 105), SeaPixel);
  EXPECT_EQ(Pixel(1, 101), SeaPixel);

  // Selected: white, 2 pixels wide (the rows 1 and 2 of the top edge), with the painter.
  Z(0)->GetZoneSprite()->SetSelected(true);
  S.RenderFrame();
  EXPECT_EQ(Pixel(60, 1), White);
  EXPECT_EQ(Pixel(60, 2), White);
  EXPECT_EQ(Pixel(60, 3), SeaPixel);
  EXPECT_EQ(Pixel(97, 50), White);
  EXPECT_EQ(Pixel(98, 50), White);
  EXPECT_EQ(S.GetCanvas().Pen().GetWidth(), 1);

  // Hidden engines are not drawn (the blank colour shows where nothing is drawn).
  S.SetAutoBlank(true);
  S.SetAutoBlankColorIndex(7);
  S.SetShowBackground(false);
  S.RenderFrame();
  EXPECT_FALSE(S.GetShowBackground());
  EXPECT_EQ(Pixel(100, 80), 7);
  EXPECT_EQ(Pixel(150, 158), 156);
  S.SetShowBackground(true);
  S.SetShowZones(false);
  S.RenderFrame();
  EXPECT_EQ(Pixel(150, 158), SeaPixel);
  EXPECT_EQ(Pixel(5, 5), SeaPixel);
}

TEST_F(ZoneSurface, TheEarlierElementAndZoneAreDrawnOnTop) {
  // Zones coloured by their place in the file, so that crossing outlines show which is on top.
  S.GetZoneMap().OnCreateZone = [](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& Text) {
    struct TColoured : TZone {
      TColoured(TZoneMap& Map, const std::string& Text, std::uint16_t Color) : TZone(Map, Text), Color(Color) {}
      std::uint16_t GetColorIndex() const override { return Color; }
      std::uint16_t Color;
    };
    static std::uint16_t Next = 100;
    AZone = std::make_unique<TColoured>(*Sender, Text, Next++);
  };
  Load();
  const std::uint16_t First = Z(0)->GetColorIndex();
  // North Sea's top edge (y 102) crosses Channel's left edge (x 152): North Sea comes first.
  EXPECT_EQ(Pixel(152, 102), First + 2);
  EXPECT_EQ(Pixel(152, 130), First + 3);
  EXPECT_EQ(Pixel(170, 102), First + 2);
  // Land covers sea where the two pictures overlap, and only there.
  EXPECT_EQ(Pixel(100, 80), LandPixel);
  EXPECT_EQ(Pixel(164, 124), LandPixel);
  EXPECT_EQ(Pixel(165, 124), SeaPixel);
  EXPECT_EQ(Pixel(44, 80), SeaPixel);

  // The preview, 48 x 36 of 480 x 360 (a tenth): the land at (Round(4.5), Round(2.5)) =
  // (4, 2), halves going to the even side, and Round(12) + 1 by Round(10) + 1 pixels.
  const TBitmap& P = S.GetPreview();
  ASSERT_EQ(P.GetWidth(), 48);
  ASSERT_EQ(P.GetHeight(), 36);
  EXPECT_EQ(P.GetBitsPerPixel(), 8);
  EXPECT_EQ(P.GetColorTable(), MapColors());
  auto At = [&](std::int32_t X, std::int32_t Y) { return P.ScanLine(Y)[X]; };
  EXPECT_EQ(At(4, 2), LandPixel);
  EXPECT_EQ(At(16, 12), LandPixel);
  EXPECT_EQ(At(3, 2), SeaPixel);
  EXPECT_EQ(At(17, 2), SeaPixel);
  EXPECT_EQ(At(4, 1), SeaPixel);
  EXPECT_EQ(At(4, 13), SeaPixel);
  EXPECT_EQ(At(47, 35), SeaPixel);
  EXPECT_EQ(At(0, 0), SeaPixel);
}

TEST_F(ZoneSurface, ClicksGoToTheFirstZoneUnderTheMouse) {
  Load();
  S.SetBounds(0, 0, 200, 160);
  S.SetOffsetX(10);
  S.SetOffsetY(5);
  std::vector<std::string> Log;
  S.OnMouseDown = [&](TSpriteSurface&, TMouseButton, TShiftState, std::int32_t X, std::int32_t Y) {
    Log.push_back("mouse " + std::to_string(X) + "," + std::to_string(Y));
  };
  S.OnZoneClick = [&](TZoneSpriteSurface& Sender, TZone* Zone) {
    EXPECT_EQ(&Sender, &S);
    Log.push_back("zone " + Zone->GetName());
  };
  struct Case {
    TMouseButton Button;
    std::int32_t X, Y;  // in the window
    std::vector<std::string> Log;
  };
  const Case Cases[] = {
      {mbLeft, 40, 45, {"mouse 50,50", "zone Alba"}},
      {mbRight, 160, 115, {"mouse 170,120", "zone North Sea"}},  // in both sea zones: the earlier
      {mbMiddle, 220, 115, {"mouse 230,120", "zone Channel"}},
      {mbLeft, 160, 15, {"mouse 170,20", "zone Brae"}},
      {mbLeft, 160, 75, {"mouse 170,80", "zone Channel"}},  // in Brae's bounds, in its notch
      {mbLeft, 90, 45, {"mouse 100,50", "zone Brae"}},       // the shared edge is the right-hand zone's
      {mbLeft, 190, 45, {"mouse 200,50"}},                   // Brae's right edge, no zone
      {mbLeft, 400, 325, {"mouse 410,330"}},                 // in the island's bounds, off its slope
      {mbLeft, -20, -10, {"mouse -10,-5"}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.X << "," << C.Y);
    Log.clear();
    S.MouseDown(C.Button, 0, C.X, C.Y);
    EXPECT_EQ(Log, C.Log);
  }
  // Without a click handler only the mouse event runs.
  S.OnZoneClick = nullptr;
  Log.clear();
  S.MouseDown(mbLeft, 0, 40, 45);
  EXPECT_EQ(Log, (std::vector<std::string>{"mouse 50,50"}));
}

TEST_F(ZoneSurface, CenterOnZoneMovesTheOutlinesWithTheView) {
  Load();
  S.SetBounds(0, 0, 200, 160);
  // Dunmore's centre is (310, 50): the view starts 100 to its left, and at the top.
  S.CenterOnZone(Z(4));
  EXPECT_EQ(S.GetOffsetX(), 210);
  EXPECT_EQ(S.GetOffsetY(), 0);
  S.CenterOnZone(nullptr);
  EXPECT_EQ(S.GetOffsetX(), 210);
  S.SetOffsetY(5);
  S.RenderFrame();
  // Dunmore's left outline at x 262, its bottom one at y 98, in view coordinates.
  EXPECT_EQ(Pixel(262 - 210, 50 - 5), 62);
  EXPECT_EQ(Pixel(300 - 210, 98 - 5), 62);
  EXPECT_EQ(Pixel(300 - 210, 97 - 5), SeaPixel);
  // Its label at its first corner, moved the same way: (260, 0) lies 5 rows above the view,
  // so the cell's lower rows show at the top of the window.
  EXPECT_EQ(Pixel(260 - 210, 0), Black);
  EXPECT_EQ(Pixel(260 - 210 - 1, 0), SeaPixel);
}

TEST_F(ZoneSurface, ZoneSpritesComeFromTheHookAndDescendantsFindTheLabelState) {
  struct TState {
    TColor FontColor = 0, BrushColor = 0;
    TFontStyles Style = 0;
    int Labels = 0;
  };
  struct TGameSprite : TZoneSprite {
    TGameSprite(TZone& Zone, TState& State) : TZoneSprite(Zone), State(State) {}
    void DrawLabel(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override {
      TZoneSprite::DrawLabel(Canvas, DIBCanvas);
      if (GetZone().GetSea() != 0) return;
      ++State.Labels;
      State.FontColor = Canvas.Font().GetColor();
      State.Style = Canvas.Font().GetStyle();
      State.BrushColor = Canvas.Brush().GetColor();
    }
    TState& State;
  };
  TState State;
  std::vector<std::string> Asked;
  S.OnCreateZoneSprite = [&](TZoneSpriteSurface& Sender, TZone* AZone, std::unique_ptr<TZoneSprite>& ASprite) {
    EXPECT_EQ(&Sender, &S);
    EXPECT_EQ(ASprite, nullptr);
    Asked.push_back(AZone->GetName());
    ASprite = std::make_unique<TGameSprite>(*AZone, State);
  };
  Load();
  EXPECT_EQ(Asked, (std::vector<std::string>{"Alba", "Brae", "North Sea", "Channel", "Dunmore", "Isle"}));
  for (int I = 0; I < 6; ++I) EXPECT_NE(dynamic_cast<TGameSprite*>(Z(I)->GetZoneSprite()), nullptr);
  EXPECT_EQ(State.Labels, 4);
  EXPECT_EQ(State.FontColor, clBlack);
  EXPECT_EQ(State.Style, fsBold);
  EXPECT_EQ(State.BrushColor, PaletteIndexColor(62));

  // A hook that gives no sprite refuses the load, and the map stays as it was.
  const TSnapshot Before = Snapshot(S);
  S.OnCreateZoneSprite = [](TZoneSpriteSurface&, TZone*, std::unique_ptr<TZoneSprite>&) {};
  Write(Root / "maps" / "asia.map", Fixture);
  EXPECT_THROW(S.SetMapSetFile("maps/asia.map"), EZoneMap);
  EXPECT_EQ(Snapshot(S), Before);
}

TEST_F(ZoneSurface, ARefusedLoadLeavesTheOldMapWhole) {
  Load();
  const TSnapshot Before = Snapshot(S);
  const std::vector<std::uint8_t> PreviewPixels(S.GetPreview().GetBits(), S.GetPreview().GetBits() + 48 * 36);

  // A bitmap whose header is sound but whose pixels are cut short, and one of 24 bits.
  {
    TBitmap B(64, 64, 8);
    const std::string Bytes = B.SaveToBytes();
    Write(Root / "art" / "short.bmp", Bytes.substr(0, Bytes.size() - 100));
    TBitmap(64, 64, 24).SaveToFile((Root / "art" / "deep.bmp").string());
  }
  const std::string Good = "Bitmap=art/sea.bmp\nElement=art/sea.bmp:0,0\n";
  struct Case {
    std::string Name, Text, Message;
  };
  const Case Cases[] = {
      {"none.map", "", "Map set file \"none.map\" does not exist"},
      {"thin.map", Good + "Zone=0,0,9,9,5;Thin;0;\n", "Map set \"thin.map\", line 3: A zone needs at least 3 corners (2 given)"},
      {"link.map", Good + Zones + "Link=0,6\n",
       "Map set \"link.map\", line 11: the link names zone 6, which no earlier Zone line gives"},
      {"element.map", Good + "Element=art/land.bmp:0,0\n",
       "Map set \"element.map\", line 3: no earlier Bitmap line gives \"art/land.bmp\""},
      {"deep.map", Good + "Bitmap=art/deep.bmp\n",
       "Map set \"deep.map\", line 3: Bitmap \"" + (Root / "art" / "deep.bmp").string() +
           "\": 24 bits per pixel (a map's bitmaps have 8)"},
      {"short.map", Good + "Bitmap=art/short.bmp\n" + Zones, ""},
      {"huge.map", Good + "Zone=0,0,2000000000,0,2000000000,2000000000;Huge;1;\n",
       "Map set \"huge.map\", line 3: A zone of 2000000000 x 2000000000 pixels is too large for grid slots of 20 x 26 "
       "(more than 1048576 places to test)"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    if (!C.Text.empty()) Write(Root / C.Name, C.Text);
    try {
      S.SetMapSetFile(C.Name);
      ADD_FAILURE() << "loaded";
    } catch (const EMapSet& E) {
      if (C.Message.empty())
        EXPECT_EQ(std::string(E.what()).rfind("Map set \"short.map\", line 3: Bitmap \"", 0), 0u) << E.what();
      else
        EXPECT_EQ(E.what(), C.Message);
    }
    EXPECT_EQ(Snapshot(S), Before);
    EXPECT_EQ(std::vector<std::uint8_t>(S.GetPreview().GetBits(), S.GetPreview().GetBits() + 48 * 36), PreviewPixels);
  }
  // The old map still draws and answers.
  S.RenderFrame();
  EXPECT_EQ(Pixel(60, 2), 62);
  S.FindPath(Z(0), Z(4));
  EXPECT_EQ(S.PathCost(), 20);

  // A surface without a palette refuses a map set with bitmaps before anything changes.
  S.SetColorPalette(nullptr);
  Write(Root / "maps" / "asia.map", Fixture);
  EXPECT_THROW(S.SetMapSetFile("maps/asia.map"), EFlickwing);
  S.SetColorPalette(&Palette);
  EXPECT_EQ(Snapshot(S), Before);
}

TEST_F(ZoneSurface, AMapSetOfTheSameFileNameLoadsNothing) {
  Load();
  TZone* Alba = Z(0);
  fs::create_directories(Root / "other");
  Write(Root / "other" / "europe.map", "Zone=0,0,10,0,10,10;Other;0;\n");
  Write(Root / "maps" / "asia.map", "Zone=0,0,10,0,10,10;Asia;0;\n");
  // Another folder, another separator, a drive: the file-name part is the same.
  for (const char* Name : {"other/europe.map", "other\\europe.map", "C:europe.map", "maps/europe.map", "europe.map"}) {
    SCOPED_TRACE(Name);
    S.SetMapSetFile(Name);
    EXPECT_EQ(S.GetMapSetFile(), "maps/europe.map");
    EXPECT_EQ(S.GetZone(0), Alba);
  }
  // The comparison is exact: a name in other letters is another map set (here a missing one).
  EXPECT_THROW(S.SetMapSetFile("maps/EUROPE.MAP"), EMapSet);
  EXPECT_EQ(S.GetZone(0), Alba);
  // Another name loads, and then the first name loads again.
  S.SetMapSetFile("maps\\asia.map");
  EXPECT_EQ(S.GetMapSetFile(), "maps\\asia.map");
  ASSERT_EQ(S.ZoneCount(), 1);
  EXPECT_EQ(S.GetZone(0)->GetName(), "Asia");
  S.SetMapSetFile("other/europe.map");
  EXPECT_EQ(S.GetZone(0)->GetName(), "Other");
  // LoadMapSet loads whatever the name.
  S.LoadMapSet("maps/europe.map");
  EXPECT_EQ(S.ZoneCount(), 6);
}

TEST_F(ZoneSurface, AMapWithoutElementsOrBitmapsGetsABlankPreview) {
  // No Element line: extent 0, nothing drawn on the preview (which is not divided by 0).
  Write(Root / "maps" / "bare.map", std::string("Bitmap=art/land.bmp\n") + Zones);
  S.SetMapSetFile("maps/bare.map");
  EXPECT_EQ(S.ZoneCount(), 6);
  EXPECT_EQ(S.GetVirtualWidth(), 0);
  EXPECT_EQ(S.GetVirtualHeight(), 0);
  const TBitmap& P = S.GetPreview();
  ASSERT_EQ(P.GetWidth(), 48);
  EXPECT_EQ(P.GetColorTable(), MapColors());
  for (std::int32_t Y = 0; Y < 36; ++Y)
    for (std::int32_t X = 0; X < 48; ++X) ASSERT_EQ(P.ScanLine(Y)[X], 0);

  // No Bitmap line either: the preview takes the surface palette's colours.
  Write(Root / "maps" / "zones.map", Zones);
  S.SetMapSetFile("maps/zones.map");
  EXPECT_EQ(S.GetPreview().GetColor(White), (TRGBQuad{255, 255, 255, 0}));
  EXPECT_EQ(S.GetPreview().GetColor(SeaPixel).Red, Palette.ColorOf(SeaPixel).Red);
  // ... and without a palette it is black; the zones load all the same.
  TZoneSpriteSurface Bare;
  Bare.SetPreviewWidth(8);
  Bare.SetPreviewHeight(8);
  Bare.SetMapSetFile("maps/zones.map");
  EXPECT_EQ(Bare.ZoneCount(), 6);
  EXPECT_EQ(Bare.GetPreview().GetColor(White), (TRGBQuad{0, 0, 0, 0}));
  // A preview size below 1 gives an empty preview.
  Bare.SetPreviewWidth(0);
  Bare.LoadMapSet("maps/zones.map");
  EXPECT_EQ(Bare.GetPreview().GetWidth(), 0);
  EXPECT_EQ(Bare.ZoneCount(), 6);
}

TEST(ZoneGrid, AZoneTooLargeForTheGridIsRefusedBeforeAnyZoneChanges) {
  TZoneMap Map;
  Map.SetGridMarginTop(16);
  Map.SetGridWidth(20);
  Map.SetGridHeight(26);
  Map.AddZone(std::make_unique<TZone>(Map, "0,0,100,0,100,100,0,100;Alba;0;"));
  Map.AddZone(std::make_unique<TZone>(Map, "0,0,30000,0,30000,30000;Wide;1;"));
  EXPECT_EQ(Map.GetZone(0)->GridPlaces(16, 20, 26), 12);
  EXPECT_EQ(Map.GetZone(1)->GridPlaces(16, 20, 26), 1499LL * 1153);
  EXPECT_EQ(Map.GetZone(1)->GridPlaces(16, 0, 26), 0);
  EXPECT_THROW(Map.BuildGrid(), EZoneMap);
  EXPECT_EQ(Map.GetZone(0)->GetGridPoints(), nullptr);
  // Coarser steps bring it within the limit.
  Map.SetGridWidth(200);
  Map.SetGridHeight(260);
  Map.BuildGrid();
  EXPECT_GT(Map.GetZone(1)->GridPointCount(), 1000);
  // The largest zone the 32-bit corners allow counts its places without overflowing.
  TZone Huge(Map, "-2147483648,-2147483648,2147483647,-2147483648,2147483647,2147483647;Huge;0;");
  EXPECT_EQ(Huge.GridPlaces(0, 1, 1), std::numeric_limits<std::int64_t>::max());
}
