#include <gtest/gtest.h>

#include "engine/EngineFixture.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "sprites/Canvas.h"
#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"
#include "sprites/FontLibrary.h"

namespace {

// The world of the engine tests drawn zone by zone onto a blank 8-bit canvas.
class ZoneSpriteTest : public WorldFixture {
protected:
  void SetUp() override {
    WorldFixture::SetUp();
    LoadWorld();
    // The game map's slots: rows 26 apart from 16 below the first corner, 20 across.
    Map.SetGridMarginTop(16);
    Map.SetGridWidth(20);
    Map.SetGridHeight(26);
    Map.BuildGrid();
    Frame.SetWidth(420);
    Frame.SetHeight(220);
    Frame.AllocateBits();
    TBrenmoorZoneSprite::LoadIconCanvasesFromFolder(std::string(BRENMOOR_BINARY_DIR) + "/bin");
  }
  void TearDown() override {
    TBrenmoorZoneSprite::ClearIconCanvases();
    WorldFixture::TearDown();
  }
  // Draws the zone's sprite (outline and label) on a cleared frame.
  void Draw(int Zone) {
    Frame.Fill(Blank);
    TBrenmoorZoneSprite Sprite(*Z(Zone));
    Sprite.Render(Painter, Frame);
  }
  int CountIn(const TRect& R, std::uint16_t Color) const {
    int N = 0;
    for (int Y = R.Top; Y < R.Bottom; ++Y)
      for (int X = R.Left; X < R.Right; ++X) N += Frame.GetPixel(X, Y) == Color;
    return N;
  }
  std::uint16_t Device(TColor C) { return Painter.DeviceColor(C); }

  static constexpr std::uint16_t Blank = 200;
  TDIBCanvas Frame;
  TColorPalette Palette;
  TCanvas Painter{&Frame, &Palette, TFontLibrary::Default()};
};

}  // namespace

TEST(ZoneSpriteBands, TheStepIsClampedToTheLevelsThatHaveBands) {
  const std::pair<int, int> Cases[] = {{-3, 20}, {0, 20}, {1, 20}, {2, 15}, {3, 10}, {4, 5}, {5, 5}, {200, 5}};
  for (const auto& [Level, Step] : Cases) EXPECT_EQ(TBrenmoorZoneSprite::BandStep(Level), Step) << Level;
}

TEST_F(ZoneSpriteTest, BorderDefenceBandsAreDenserForHigherLevels) {
  // Alba's border with Brae runs down x = 100; inside Alba it is walked from (98, 2) to
  // (98, 98): 96 points, a 4 x 4 block at every step-th point, covering columns 96 to 99.
  const std::uint16_t Colour = Z(zAlba)->GetColorIndex();
  const std::pair<int, int> Cases[] = {{1, 4}, {2, 6}, {3, 9}, {4, 19}, {5, 19}, {200, 19}};
  for (const auto& [Level, Blocks] : Cases) {
    Z(zAlba)->SetBorderDefense(Z(zBrae), Level);
    Draw(zAlba);
    // Four pixels of each block lie on column 96 (rows 2 and 98 are the outline's).
    EXPECT_EQ(CountIn({96, 3, 97, 98}, Colour), 4 * Blocks) << "level " << Level;
  }
  // Without a border defence there is no band (the outline lies on column 98).
  Z(zAlba)->SetBorderDefense(Z(zBrae), 0);
  Draw(zAlba);
  EXPECT_EQ(CountIn({96, 3, 97, 98}, Colour), 0);
  EXPECT_GT(CountIn({98, 3, 99, 98}, Colour), 90);
}

TEST_F(ZoneSpriteTest, AnEmbattledZoneShakesByAtMostAPixelAndKeepsItsPlace) {
  TBrenmoorZoneSprite Sprite(*Z(zFerro));
  Z(zFerro)->SetEmbattled(true);
  const std::uint16_t Colour = Z(zFerro)->GetColorIndex();
  bool Moved = false;
  for (int I = 0; I < 20; ++I) {
    Frame.Fill(Blank);
    Sprite.DrawOutline(Painter, Frame);
    EXPECT_EQ(Sprite.GetPosition(), TPoint(0, 0));
    // The top edge lies on row 2, give or take the shake.
    EXPECT_EQ(CountIn({300, 0, 400, 1}, Colour) + CountIn({300, 4, 400, 100}, Colour) > 0, true);
    Moved |= CountIn({303, 2, 397, 3}, Colour) == 0;
  }
  EXPECT_TRUE(Moved) << "the outline never left its row in 20 frames";
}

TEST_F(ZoneSpriteTest, ResourcesShowOnOliveOrOnRedWhenNegative) {
  Engine.SetAllComputer(true);
  const TRect LabelRow{100, 0, 220, 14};
  Z(zBrae)->SetResources(7.5f);
  Draw(zBrae);
  EXPECT_GT(CountIn(LabelRow, Device(clOlive)), 20);
  EXPECT_EQ(CountIn(LabelRow, Device(clRed)), 0);
  Z(zBrae)->SetResources(-7.5f);
  Draw(zBrae);
  EXPECT_GT(CountIn(LabelRow, Device(clRed)), 20);
  EXPECT_EQ(CountIn(LabelRow, Device(clOlive)), 0);
  // Unseen by every player here, the resources are not shown.
  Engine.SetAllComputer(false);
  Draw(zBrae);
  EXPECT_EQ(CountIn(LabelRow, Device(clRed)), 0);
}

TEST_F(ZoneSpriteTest, ALandZoneWithoutIndustryHasNoName) {
  Engine.SetAllComputer(true);
  Draw(zBrae);
  const int Named = CountIn({100, 0, 200, 14}, Device(clBlack));
  Z(zBrae)->SetIndustry(0);
  Draw(zBrae);
  EXPECT_LT(CountIn({100, 0, 200, 14}, Device(clBlack)), Named);
}

TEST_F(ZoneSpriteTest, ArmiesAtSeaAreCountedInCyanAndShipsInWhite) {
  Engine.SetAllComputer(true);
  // The North Sea holds Albion's 2 infantry (slot 1 after the factories) and 2 transports (slot 2).
  Draw(zNorthSea);
  TPoint Infantry, Transports;
  Z(zNorthSea)->GetGridPoint(1, Infantry);
  Z(zNorthSea)->GetGridPoint(2, Transports);
  const TRect InfantryText{Infantry.X, Infantry.Y + 15, Infantry.X + 20, Infantry.Y + 27};
  const TRect TransportText{Transports.X, Transports.Y + 15, Transports.X + 20, Transports.Y + 27};
  EXPECT_GT(CountIn(InfantryText, Device(clAqua)), 3);
  EXPECT_EQ(CountIn(InfantryText, Device(clWhite)), 0);
  EXPECT_GT(CountIn(TransportText, Device(clWhite)), 3);
  EXPECT_EQ(CountIn(TransportText, Device(clAqua)), 0);
  // The icon cells are copied opaque from the tally sheet: cell (infantry, Albion's slot).
  const TDIBCanvas& Tallies = *TBrenmoorZoneSprite::IconCanvas(isTallies);
  const int Slot = N(0)->GetColorSlot();
  for (int Y = 0; Y < 15; ++Y)
    for (int X = 0; X < 20; ++X)
      ASSERT_EQ(Frame.GetPixel(Infantry.X + X, Infantry.Y + Y), Tallies.GetPixel(utInfantry * 20 + X, Slot * 16 + Y));
}

TEST_F(ZoneSpriteTest, AZoneOutOfSlotsShowsMoreUnderItsLastSlot) {
  // One row of slots only: Alba's factories, rich resources, port and two tallies need five.
  Map.SetGridHeight(80);
  Map.BuildGrid();
  Engine.SetAllComputer(true);
  const int Slots = Z(zAlba)->GridPointCount();
  ASSERT_EQ(Slots, 4);
  Draw(zAlba);
  TPoint Last;
  Z(zAlba)->GetGridPoint(Slots - 1, Last);
  EXPECT_GT(CountIn({Last.X, Last.Y + 20, Last.X + 30, Last.Y + 32}, Device(clYellow)), 40);
  // With room for every entry there is no "[more]".
  Map.SetGridHeight(26);
  Map.BuildGrid();
  Draw(zAlba);
  for (int I = 0; I < Z(zAlba)->GridPointCount(); ++I) {
    Z(zAlba)->GetGridPoint(I, Last);
    EXPECT_EQ(CountIn({Last.X, Last.Y + 20, Last.X + 30, Last.Y + 26}, Device(clYellow)), 0) << "slot " << I;
  }
}

TEST_F(ZoneSpriteTest, ATallyOutsideTheSheetDrawsNothingAndTakesNoSlot) {
  Engine.SetAllComputer(true);
  // A tally sheet of two colour rows: Albion's slot lies outside it.
  ASSERT_GE(N(0)->GetColorSlot(), 2);
  TBitmap Small(320, 32, 8);
  Small.ScanLine(31)[0] = 5;
  std::array<TBitmap, IconSheetCount> Pictures;
  std::array<const TBitmap*, IconSheetCount> Images{};
  for (int I = 0; I < IconSheetCount; ++I) {
    Pictures[std::size_t(I)] = I == isTallies ? Small : TBitmap(20, 16, 8);
    Images[std::size_t(I)] = &Pictures[std::size_t(I)];
  }
  TBrenmoorZoneSprite::LoadIconCanvases(Images);
  Draw(zAlba);
  // Factories, rich resources and port take slots 0 to 2; Albion's two tallies draw nothing.
  TPoint P;
  Z(zAlba)->GetGridPoint(3, P);
  EXPECT_EQ(CountIn({P.X, P.Y, P.X + 20, P.Y + 27}, Blank), 20 * 27);
  Z(zAlba)->GetGridPoint(2, P);
  EXPECT_EQ(CountIn({P.X, P.Y, P.X + 20, P.Y + 16}, Blank), 0);
}

TEST(ZoneSpriteSheets, ASheetThatCannotBeACanvasLeavesTheSheetsAlone) {
  TBrenmoorZoneSprite::ClearIconCanvases();
  std::array<TBitmap, IconSheetCount> Pictures;
  std::array<const TBitmap*, IconSheetCount> Images{};
  for (int I = 0; I < IconSheetCount; ++I) {
    Pictures[std::size_t(I)] = TBitmap(I == isPort ? 18 : 20, 16, 8);
    Images[std::size_t(I)] = &Pictures[std::size_t(I)];
  }
  EXPECT_THROW(TBrenmoorZoneSprite::LoadIconCanvases(Images), EInvalidWidth);
  EXPECT_EQ(TBrenmoorZoneSprite::IconCanvas(isFactories), nullptr);
}
