// The game screen's decisions without windows: the status bar's number pattern, the diplomacy
// button's picture and the victory-condition lines.
#include <gtest/gtest.h>

#include "ui/GameScreenRules.h"

TEST(GameScreenRules, ResourcesAreWholeNumbersWithThousandsSeparators) {
  struct Case {
    double Value;
    const char* Text;
  };
  const Case Cases[] = {{0, "0"},          {7.4, "7"},       {999, "999"},           {999.5, "1,000"},
                        {1000, "1,000"},   {12.5, "12"},     {13.5, "14"},           {123456, "123,456"},
                        {1234567.4, "1,234,567"}, {-1234.5, "-1,234"}, {-0.4, "0"}, {-999999, "-999,999"}};
  for (const Case& C : Cases) EXPECT_EQ(FormatThousands(C.Value), C.Text) << C.Value;
}

TEST(GameScreenRules, TheDiplomacyGlyphChangesOnlyForZeroToThreeActions) {
  struct Case {
    int Actions, Shown;
    std::optional<int> Tag, Picture;
  };
  const Case Cases[] = {
      {1, -1, 1, 1},                        // the first number shown
      {2, 2, std::nullopt, std::nullopt},   // unchanged: nothing to do
      {5, 1, 5, std::nullopt},              // five actions keep the glyph, the Tag takes 5
      {2, 5, 2, 2},                         // back to two: the second picture
      {0, 2, 0, 0},
      {3, 0, 3, 3},
      {4, 3, 4, std::nullopt},
      {-1, 3, -1, std::nullopt},
  };
  for (const Case& C : Cases) {
    const TDiplomacyGlyphChange Change = DiplomacyGlyphChange(C.Actions, C.Shown);
    EXPECT_EQ(Change.Tag, C.Tag) << C.Actions << " after " << C.Shown;
    EXPECT_EQ(Change.Picture, C.Picture) << C.Actions << " after " << C.Shown;
  }
}

TEST(GameScreenRules, AVictoryLineStartingWithAStarIsAHeading) {
  EXPECT_EQ(VictoryLine("*Axis Victory").Heading, true);
  EXPECT_EQ(VictoryLine("*Axis Victory").Text, "Axis Victory");
  EXPECT_EQ(VictoryLine("Hold Paris for 20 impulses").Heading, false);
  EXPECT_EQ(VictoryLine("Hold Paris for 20 impulses").Text, "Hold Paris for 20 impulses");
  EXPECT_EQ(VictoryLine("a * in the middle").Heading, false);
  EXPECT_EQ(VictoryLine("").Heading, false);
  EXPECT_EQ(VictoryLine("*").Text, "");
}

TEST(GameScreenRules, SwitchesAreSavedAsZeroWhileOn) {
  EXPECT_EQ(SwitchSetting(true), 0);
  EXPECT_EQ(SwitchSetting(false), 1);
  EXPECT_TRUE(SwitchFromSetting(0));
  EXPECT_FALSE(SwitchFromSetting(1));
  EXPECT_FALSE(SwitchFromSetting(7));
}
