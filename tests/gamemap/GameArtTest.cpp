#include <gtest/gtest.h>

#include <cstdio>
#include <jpeglib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <set>

#include "gamemap/BrenmoorZoneSprite.h"
#include "gamemap/GameArt.h"
#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/CursorFile.h"
#include "sprites/DIBCanvas.h"
#include "sprites/ImageFiles.h"
#include "support/GeneratedData.h"

namespace {

namespace fs = std::filesystem;

// The program folder, where the game finds its data.
std::string ProgramFile(const std::string& Path) { return std::string(BRENMOOR_BINARY_DIR) + "/bin/" + Path; }

std::string ReadFile(const std::string& Path) {
  std::ifstream In(Path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

TBitmap Picture(const std::string& Name) { return TBitmap::LoadFromFile(ProgramFile(GameArt::PicturePath(Name))); }

struct TPictureCase {
  std::string Name;
  std::int32_t Width;
  std::int32_t Height;
};

std::vector<TPictureCase> EveryPicture() {
  std::vector<TPictureCase> Cases = {
      {"imFactory", 20, 16}, {"imResource", 20, 16}, {"cellUnits", 320, 128}, {"imCapital", 12, 12},
      {"imPort", 20, 16},    {"imAirStrip", 20, 16}, {"imRockets", 20, 16},   {GameArt::GreenBullet, 12, 12},
      {GameArt::Gradient, 256, 16}, {GameArt::SubmergedGlyph, 20, 12}, {GameArt::CompassGlyph, 57, 57},
      {GameArt::NationResources, 16, 16}, {GameArt::NationValue, 16, 16}, {GameArt::ZoneResourceBonus, 20, 16}};
  for (const char* Name : GameArt::DiplomacyGlyphs) Cases.push_back({Name, 24, 24});
  for (const char* Name : GameArt::OrderGlyphs) Cases.push_back({Name, 20, 16});
  for (const char* Name : GameArt::ToolbarGlyphs) Cases.push_back({Name, 24, 24});
  return Cases;
}

}  // namespace

TEST(GameArt, RegeneratingTheArtworkChangesNothing) {
  ExpectRegeneratesData(BRENMOOR_MAKEART,
                        {"art/game", GameArt::TargetCursor, GameArt::BusyCursor, GameArt::TitlePicture, "help"},
                        {std::string(BRENMOOR_SOURCE_DIR) + "/data/fonts"});
}

TEST(GameArt, EveryPictureTheWindowsNameLoadsAtItsSize) {
  std::set<std::string> Seen;
  for (const TPictureCase& Case : EveryPicture()) {
    SCOPED_TRACE(Case.Name);
    EXPECT_TRUE(Seen.insert(Case.Name).second) << "named twice";
    const TBitmap B = Picture(Case.Name);
    EXPECT_EQ(B.GetWidth(), Case.Width);
    EXPECT_EQ(B.GetHeight(), Case.Height);
    EXPECT_EQ(B.GetBitsPerPixel(), 8);
    // The colour left out when drawn is the bottom-left pixel's, and it frames the picture:
    // the top-left pixel has it too (the compass and the gradient are drawn opaque).
    if (Case.Name != GameArt::CompassGlyph && Case.Name != GameArt::Gradient) {
      EXPECT_EQ(B.GetPixelColor(0, 0), B.GetPixelColor(0, B.GetHeight() - 1));
    }
  }
  // Every picture in the folder is one the windows name.
  for (const auto& Entry : fs::directory_iterator(ProgramFile(GameArt::PictureFolder)))
    EXPECT_TRUE(Seen.count(Entry.path().stem().string())) << Entry.path().filename() << " is named by no window";
}

TEST(GameArt, TheIconSheetsBecomeCanvasesWithTheirTransparentColour) {
  TBrenmoorZoneSprite::LoadIconCanvasesFromFolder(std::string(BRENMOOR_BINARY_DIR) + "/bin");
  for (int I = 0; I < IconSheetCount; ++I) {
    const TDIBCanvas* Sheet = TBrenmoorZoneSprite::IconCanvas(TIconSheet(I));
    ASSERT_NE(Sheet, nullptr);
    EXPECT_EQ(Sheet->GetWidth() % 4, 0);
    EXPECT_EQ(Sheet->GetTransparentColor(), Sheet->GetPixel(0, Sheet->GetHeight() - 1));
  }
  // The tally sheet: 16 unit types across, 8 colour slots down, each cell a shape on the tile.
  const TDIBCanvas& Tallies = *TBrenmoorZoneSprite::IconCanvas(isTallies);
  const std::uint16_t Tile = Tallies.GetTransparentColor();
  for (int Row = 0; Row < 8; ++Row)
    for (int Type = 0; Type < 16; ++Type) {
      int Drawn = 0;
      for (int Y = 0; Y < 16; ++Y)
        for (int X = 0; X < 20; ++X) Drawn += Tallies.GetPixel(Type * 20 + X, Row * 16 + Y) != Tile;
      EXPECT_GT(Drawn, 30) << "type " << Type << " row " << Row;
    }
  // The same shape in two colour slots differs only in its body colour.
  int Differ = 0;
  for (int Y = 0; Y < 16; ++Y)
    for (int X = 0; X < 20; ++X) Differ += Tallies.GetPixel(80 + X, Y) != Tallies.GetPixel(80 + X, 16 + Y);
  EXPECT_GT(Differ, 20);
  TBrenmoorZoneSprite::ClearIconCanvases();
}

TEST(GameArt, TheTitlePictureDecodesThroughLibjpeg) {
  const std::string Bytes = ReadFile(ProgramFile(GameArt::TitlePicture));
  ASSERT_FALSE(Bytes.empty());
  jpeg_decompress_struct Info;
  jpeg_error_mgr Errors;
  Info.err = jpeg_std_error(&Errors);
  jpeg_create_decompress(&Info);
  jpeg_mem_src(&Info, reinterpret_cast<const unsigned char*>(Bytes.data()), Bytes.size());
  ASSERT_EQ(jpeg_read_header(&Info, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&Info);
  EXPECT_EQ(Info.output_width, 640u);
  EXPECT_EQ(Info.output_height, 450u);
  EXPECT_EQ(Info.output_components, 3);
  std::vector<unsigned char> Row(std::size_t(Info.output_width) * 3);
  long Sum = 0;
  while (Info.output_scanline < Info.output_height) {
    JSAMPROW Rows[1] = {Row.data()};
    jpeg_read_scanlines(&Info, Rows, 1);
    for (unsigned char V : Row) Sum += V;
  }
  jpeg_finish_decompress(&Info);
  jpeg_destroy_decompress(&Info);
  // A painted scene, neither black nor white.
  const long Mean = Sum / (640L * 450L * 3L);
  EXPECT_GT(Mean, 40);
  EXPECT_LT(Mean, 220);
}

TEST(GameArt, TheCursorsKeepTheirHotspots) {
  for (const char* Path : {GameArt::TargetCursor, GameArt::BusyCursor}) {
    SCOPED_TRACE(Path);
    const TCursorPicture C = ReadCursorFile(ReadFile(ProgramFile(Path)), Path);
    EXPECT_EQ(C.Width, 32);
    EXPECT_EQ(C.Height, 32);
    EXPECT_EQ(C.HotX, 15);
    EXPECT_EQ(C.HotY, 15);
    // See-through corners, a drawn middle.
    EXPECT_EQ(C.Pixels[0] >> 24, 0u);
    EXPECT_EQ(C.Pixels[std::size_t(15 * 32 + 15)] >> 24, 0xFFu);
  }
}

TEST(GameArt, TheHelpBookLinksOnlyToItsOwnTopics) {
  std::set<std::string> Topics(GameArt::HelpTopics.begin(), GameArt::HelpTopics.end());
  EXPECT_TRUE(Topics.count(GameArt::MainHelpTopic));
  const std::regex Link("href=\"([^\"]+)\\.html\"");
  for (const std::string& Topic : Topics) {
    const std::string Page = ReadFile(ProgramFile(GameArt::HelpPath(Topic)));
    ASSERT_FALSE(Page.empty()) << Topic;
    EXPECT_NE(Page.find("<h1>"), std::string::npos) << Topic;
    for (std::sregex_iterator It(Page.begin(), Page.end(), Link), End; It != End; ++It)
      EXPECT_TRUE(Topics.count((*It)[1].str())) << Topic << " links to " << (*It)[1].str();
  }
}

// A contact sheet of every picture, twice its size, on a neutral grey, for a person to look at.
TEST(GameArt, ContactSheetForAPersonToLookAt) {
  const std::vector<TPictureCase> Cases = EveryPicture();
  constexpr int Width = 1200, Scale = 2, Gap = 8;
  std::vector<std::pair<TBitmap, TPoint>> Placed;
  int X = Gap, Y = Gap, RowHeight = 0;
  for (const TPictureCase& Case : Cases) {
    TBitmap B = Picture(Case.Name);
    const int W = B.GetWidth() * Scale, H = B.GetHeight() * Scale;
    if (X + W + Gap > Width) {
      X = Gap;
      Y += RowHeight + Gap;
      RowHeight = 0;
    }
    Placed.push_back({std::move(B), {X, Y}});
    X += W + Gap;
    RowHeight = std::max(RowHeight, H);
  }
  TDIBCanvas Sheet;
  Sheet.SetWidth(Width);
  Sheet.SetHeight(Y + RowHeight + Gap);
  Sheet.AllocateBits();
  Sheet.Fill(140);
  TColorPalette Palette;
  Palette.SetFromBitmap(Placed.front().first);
  for (const auto& [B, At] : Placed)
    for (int SY = 0; SY < B.GetHeight() * Scale; ++SY)
      for (int SX = 0; SX < B.GetWidth() * Scale; ++SX)
        Sheet.Plot(At.X + SX, At.Y + SY, B.ScanLine(SY / Scale)[SX / Scale]);
  const std::string Path = std::string(BRENMOOR_BINARY_DIR) + "/gamemap_artwork.png";
  SaveCanvasToPng(Sheet, &Palette, Path);
  EXPECT_TRUE(fs::exists(Path));
}
