#include "controls/ColorProgressBar.h"
#include "support/GuiTest.h"

namespace {
const QColor Red(255, 0, 0), Yellow(255, 255, 0), Green(0, 128, 0);

struct ColorProgressBarTest : TGuiTest {
  TColorProgressBar Bar;
  ColorProgressBarTest() {
    Bar.setObjectName("pbOrganization");
    Bar.SetColor(QColor(255, 255, 255));
  }
  // The columns of row Y drawn in Colour, as runs [first, last].
  static std::vector<std::pair<int, int>> Runs(const QImage& Picture, int Y, const QColor& Colour) {
    std::vector<std::pair<int, int>> Found;
    for (int X = 0; X < Picture.width(); ++X) {
      if (Picture.pixelColor(X, Y) != Colour) continue;
      if (!Found.empty() && Found.back().second == X - 1)
        Found.back().second = X;
      else
        Found.emplace_back(X, X);
    }
    return Found;
  }
};
}  // namespace

TEST_F(ColorProgressBarTest, StartsAsDesigned) {
  TColorProgressBar Fresh;
  EXPECT_EQ(Fresh.size(), QSize(121, 17));
  EXPECT_EQ(Fresh.Max(), 100);
  EXPECT_EQ(Fresh.TickWidth(), 4);
  EXPECT_EQ(Fresh.ColorLow(), Red);
  EXPECT_EQ(Fresh.ColorMedium(), Yellow);
  EXPECT_EQ(Fresh.ColorHigh(), Green);
}

TEST_F(ColorProgressBarTest, TheBlockColourFollowsTheThresholds) {
  Bar.SetValueLow(30);
  Bar.SetValueMedium(70);
  for (const auto& [Value, Colour] : std::vector<std::pair<int, QColor>>{
           {-5, Red}, {0, Red}, {30, Red}, {31, Yellow}, {70, Yellow}, {71, Green}, {150, Green}}) {
    Bar.SetValue(Value);
    EXPECT_EQ(Bar.BlockColor(), Colour) << Value;
  }
}

TEST_F(ColorProgressBarTest, TheBlocksReachTheRoundedShare) {
  struct Case {
    int Width, Max, Value, Filled;
  };
  for (const Case& C : std::vector<Case>{
           {121, 100, 50, 60},   // 60.5 rounds to even
           {121, 100, 100, 121},
           {100, 8, 1, 12},      // 12.5 rounds to even
           {100, 8, 3, 38},      // 37.5 rounds to even
           {121, 100, 0, 0},
           {121, 100, -20, 0},   // nothing left of the bar
           {121, 100, 250, 121}, // nothing past its end
           {121, 0, 50, 0},      // no maximum: no blocks rather than a division by zero
       }) {
    Bar.resize(C.Width, 17);
    Bar.SetMax(C.Max);
    Bar.SetValue(C.Value);
    EXPECT_EQ(Bar.FilledWidth(), C.Filled) << C.Width << " " << C.Max << " " << C.Value;
  }
}

TEST_F(ColorProgressBarTest, DrawsTickBlocksOneGapApart) {
  Bar.SetValueLow(30);
  Bar.SetValueMedium(70);
  Bar.SetValue(50);
  const QImage Half = GrabToPng(Bar, "half");
  std::vector<std::pair<int, int>> Expected;
  for (int X = 0; X < 60; X += 5) Expected.emplace_back(X, X + 3);
  EXPECT_EQ(Runs(Half, 0, Yellow), Expected);
  EXPECT_EQ(Runs(Half, 16, Yellow), Expected);
  EXPECT_EQ(Half.pixelColor(60, 0), QColor(255, 255, 255));

  // The last block may reach past the filled width: 47 fills Round(56.87) = 57 pixels, and the
  // block that starts at 50 is drawn whole, to 58.
  Bar.SetValue(47);
  Bar.SetTickWidth(9);
  EXPECT_EQ(Bar.FilledWidth(), 57);
  const QImage Part = GrabToPng(Bar, "wide-ticks");
  std::vector<std::pair<int, int>> Wide;
  for (int X = 0; X <= 50; X += 10) Wide.emplace_back(X, X + 8);
  EXPECT_EQ(Runs(Part, 0, Yellow), Wide);

  Bar.SetValue(0);
  const QImage Empty = GrabToPng(Bar, "empty");
  EXPECT_TRUE(Runs(Empty, 0, Red).empty());
  // The text "0%" stands in the middle.
  bool Dark = false;
  for (int X = 45; X < 76; ++X)
    for (int Y = 3; Y < 14; ++Y) Dark = Dark || Empty.pixelColor(X, Y).lightness() < 100;
  EXPECT_TRUE(Dark);
}
