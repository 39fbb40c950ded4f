#include <gtest/gtest.h>

#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"

namespace {

std::vector<std::string> Lines(int Count, const std::string& Line) { return std::vector<std::string>(std::size_t(Count), Line); }

}  // namespace

TEST(ColorPalette, StartsWithTheStaticColoursAndAGreyRamp) {
  TColorPalette P;
  const struct {
    int Index;
    TPaletteEntry Entry;
  } Cases[] = {
      {0, {0, 0, 0, 0}},          {1, {128, 0, 0, 0}},       {7, {192, 192, 192, 0}}, {8, {192, 220, 192, 0}},
      {9, {166, 202, 240, 0}},    {10, {10, 10, 10, 4}},     {128, {128, 128, 128, 4}}, {245, {245, 245, 245, 4}},
      {246, {255, 251, 240, 0}},  {247, {160, 160, 164, 0}}, {249, {255, 0, 0, 0}},    {251, {255, 255, 0, 0}},
      {254, {0, 255, 255, 0}},    {255, {255, 255, 255, 0}},
  };
  for (const auto& C : Cases) EXPECT_EQ(P.ColorOf(C.Index), C.Entry) << C.Index;
  ASSERT_EQ(P.GetPaletteEntries().size(), 256u);
  EXPECT_EQ(P.GetPaletteEntries()[9], "166,202,240");
  EXPECT_EQ(P.GetPaletteEntries()[100], "100,100,100");
  EXPECT_EQ(P.ColorOf(256), P.ColorOf(0));
  EXPECT_EQ(P.ColorOf(-1), P.ColorOf(255));
  EXPECT_EQ(P.ColorValueOf(249), clRed);
}

TEST(ColorPalette, EntriesMustBeExactly256Lines) {
  TColorPalette P;
  try {
    P.SetPaletteEntries(Lines(255, "1,2,3"));
    FAIL() << "255 lines were taken";
  } catch (const EPalette& E) {
    EXPECT_STREQ(E.what(), "Exactly 256 entries must exist");
  }
  EXPECT_THROW(P.SetPaletteEntries(Lines(257, "1,2,3")), EPalette);
  const TColorPalette Fresh;
  P.SetPaletteEntries({});
  for (int I = 0; I < 256; ++I) EXPECT_EQ(P.ColorOf(I), Fresh.ColorOf(I));
}

TEST(ColorPalette, ReadsEveryEntryWithTheEntryFlag) {
  for (TPalEntryFlag Flag : {pcNoCollapse, pcReserved}) {
    TColorPalette P;
    P.SetPalEntryFlag(Flag);
    std::vector<std::string> L;
    for (int I = 0; I < 256; ++I) L.push_back(std::to_string(255 - I) + "," + std::to_string(I) + ", 7");
    P.SetPaletteEntries(L);
    const std::uint8_t F = Flag == pcNoCollapse ? 4 : 1;
    EXPECT_EQ(P.ColorOf(0), (TPaletteEntry{255, 0, 7, 0}));
    EXPECT_EQ(P.ColorOf(9), (TPaletteEntry{246, 9, 7, 0}));
    EXPECT_EQ(P.ColorOf(10), (TPaletteEntry{245, 10, 7, F}));
    EXPECT_EQ(P.ColorOf(245), (TPaletteEntry{10, 245, 7, F}));
    EXPECT_EQ(P.ColorOf(246), (TPaletteEntry{9, 246, 7, 0}));
    EXPECT_EQ(P.GetPaletteEntries(), L);  // kept as given, not rewritten
  }
}

TEST(ColorPalette, AnUnreadableLineEndsTheReading) {
  const char* BadLines[] = {"1,green,3", "1,2", "", "1,2,256", "-1,2,3", "1;2;3"};
  for (const char* Bad : BadLines) {
    TColorPalette P;
    std::vector<std::string> Errors;
    P.OnLoadError = [&](TColorPalette& Sender, const std::string& Message) {
      EXPECT_EQ(&Sender, &P);
      Errors.push_back(Message);
    };
    auto L = Lines(256, "50,60,70");
    L[12] = Bad;
    P.SetPaletteEntries(L);
    EXPECT_EQ(Errors, std::vector<std::string>{"Error Loading Palette Data"}) << Bad;
    EXPECT_EQ(P.ColorOf(0), (TPaletteEntry{50, 60, 70, 0}));
    EXPECT_EQ(P.ColorOf(11), (TPaletteEntry{50, 60, 70, 4}));
    EXPECT_EQ(P.ColorOf(12), (TPaletteEntry{12, 12, 12, 4})) << Bad;  // the old entries stay
    EXPECT_EQ(P.ColorOf(255), (TPaletteEntry{255, 255, 255, 0}));
  }
  TColorPalette Silent;  // without a handler the reading ends all the same
  auto L = Lines(256, "50,60,70");
  L[0] = "x";
  Silent.SetPaletteEntries(L);
  EXPECT_EQ(Silent.ColorOf(1), (TPaletteEntry{128, 0, 0, 0}));
}

TEST(ColorPalette, LoadedReadsTheTextAndRewritesIt) {
  TColorPalette P;
  auto L = Lines(256, "1, 2 ,3");
  P.SetPaletteEntries(L);
  P.Loaded();
  EXPECT_EQ(P.ColorOf(100), (TPaletteEntry{1, 2, 3, 4}));
  EXPECT_EQ(P.GetPaletteEntries()[100], "1,2,3");
}

TEST(ColorPalette, AssignTakesTheTextAndFlag) {
  TColorPalette Source;
  Source.SetPalEntryFlag(pcReserved);
  Source.SetPaletteEntries(Lines(256, "9,8,7"));
  TColorPalette P;
  const auto Before = P.GetChangeCount();
  P.Assign(Source);
  EXPECT_EQ(P.GetPalEntryFlag(), pcReserved);
  EXPECT_EQ(P.ColorOf(50), (TPaletteEntry{9, 8, 7, 1}));
  EXPECT_EQ(P.ColorOf(5), (TPaletteEntry{9, 8, 7, 0}));
  EXPECT_GT(P.GetChangeCount(), Before);
}

TEST(ColorPalette, TakesEntries10To245FromABitmap) {
  TBitmap Bmp(4, 4, 8);
  std::vector<TRGBQuad> Colors(256);
  for (int I = 0; I < 256; ++I) Colors[std::size_t(I)] = {std::uint8_t(I), 1, std::uint8_t(255 - I), 0};  // blue, green, red
  Bmp.SetColorTable(Colors);
  TColorPalette P;  // made in code, never given a list: the bitmap's colours must not be lost
  const auto Before = P.GetChangeCount();
  P.SetFromBitmap(Bmp);
  EXPECT_EQ(P.ColorOf(10), (TPaletteEntry{245, 1, 10, 4}));
  EXPECT_EQ(P.ColorOf(245), (TPaletteEntry{10, 1, 245, 4}));
  EXPECT_EQ(P.ColorOf(9), (TPaletteEntry{166, 202, 240, 0}));
  EXPECT_EQ(P.ColorOf(246), (TPaletteEntry{255, 251, 240, 0}));
  EXPECT_EQ(P.GetPaletteEntries()[10], "245,1,10");
  EXPECT_GT(P.GetChangeCount(), Before);
  P.RebuildPalette(false);
  EXPECT_EQ(P.ColorOf(10), (TPaletteEntry{245, 1, 10, 4}));

  TBitmap Short(4, 4, 8);
  Short.SetColorTable({{1, 2, 3, 0}});  // entries beyond the table are black
  P.SetFromBitmap(Short);
  EXPECT_EQ(P.ColorOf(10), (TPaletteEntry{0, 0, 0, 4}));
}

TEST(ColorPalette, NearestEntry) {
  TColorPalette P;
  const struct {
    TColor Color;
    int Index;
  } Cases[] = {
      {clYellow, 251}, {clRed, 249},    {clWhite, 255}, {clBlack, 0},
      {RGBColor(254, 1, 0), 249},        {RGBColor(128, 128, 128), 128},  // ramp before the static 248
      {RGBColor(100, 101, 99), 100},     {PaletteIndexColor(71), 71},     {PaletteIndexColor(0), 0},
  };
  for (const auto& C : Cases) EXPECT_EQ(P.NearestIndex(C.Color), C.Index) << std::hex << C.Color;
}
