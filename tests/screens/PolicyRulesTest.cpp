// What the diplomacy, research and formations windows decide: relation lines and colours, when
// war may be declared and why not, progress texts, upgrade ordinals, and the texts of the
// research and formations orders.
#include <gtest/gtest.h>

#include "screens/ForcesRules.h"
#include "screens/PolicyRules.h"
#include "gamemap/StandardGameFixture.h"

namespace {

TEST(PolicyRulesTest, UpgradeLabelsReadTheNextLevelAsAnOrdinal) {
  const struct {
    int Level;
    const char* Text;
  } Cases[] = {{0, "1st Upgrade"},   {1, "2nd Upgrade"},   {2, "3rd Upgrade"},    {3, "4th Upgrade"},
               {9, "10th Upgrade"},  {10, "11th Upgrade"}, {11, "12th Upgrade"},  {12, "13th Upgrade"},
               {19, "20th Upgrade"}, {20, "21st Upgrade"}, {21, "22nd Upgrade"},  {22, "23rd Upgrade"},
               {100, "101st Upgrade"}, {110, "111th Upgrade"}, {111, "112th Upgrade"}};
  for (const auto& C : Cases) EXPECT_EQ(UpgradeText(C.Level), C.Text);
}

TEST(PolicyRulesTest, ProgressIsAWholePercentOfTheCostAtMostAHundredOrNAWithoutCost) {
  const struct {
    int Progress;
    int Cost;
    const char* Text;
  } Cases[] = {{0, 25, "0%"}, {10, 25, "40%"}, {24, 25, "96%"}, {25, 25, "100%"},
               {30, 25, "100%"}, {1, 3, "33%"}, {5, 0, "N/A"}, {0, 0, "N/A"}};
  for (const auto& C : Cases) EXPECT_EQ(ResearchProgressText(C.Progress, C.Cost), C.Text);
  for (int G = 0; G < ResearchGroupCount; ++G)
    EXPECT_NE(IsCompletingResearchGroup(G), IsUpgradeResearchGroup(G)) << G;
  EXPECT_TRUE(IsCompletingResearchGroup(3));
  EXPECT_TRUE(IsCompletingResearchGroup(6));
  EXPECT_TRUE(IsCompletingResearchGroup(7));
}

TEST(PolicyRulesTest, TheOrdersTextsListEveryValueFollowedByAHash) {
  EXPECT_EQ(ResearchSpendingText(100, {50, 50, 0, 0, 0, 0, 0, 0}), "100#50#50#0#0#0#0#0#0#");
  std::array<std::optional<std::int32_t>, UnitTypeCount> Weights;
  for (int T = 0; T < UnitTypeCount; ++T)
    if (T != utAtomicBomber) Weights[static_cast<std::size_t>(T)] = 10 + 5 * T;
  EXPECT_EQ(FormationText(Weights), "10#15#20#25#30#35#40#45#-#55#60#65#70#75#80#85#");
}

TEST(PolicyRulesTest, ARelationIsGreenAboveNothingOrAlliedAndRedBelowOrAtWar) {
  const struct {
    int Relation;
    const char* Word;
    bool Selected;
    TRelationColor Color;
  } Cases[] = {
      {80, "Friendly", false, rcGreen}, {1, "Neutral", false, rcGreen},  {0, "Allied", false, rcGreen},
      {-1, "Neutral", false, rcRed},   {-30, "Allied", false, rcGreen}, {0, "War", false, rcRed},
      {0, "Neutral", false, rcFontColor}, {-100, "War", true, rcWhite}, {50, "Good", true, rcWhite},
  };
  for (const auto& C : Cases) EXPECT_EQ(RelationColor(C.Relation, C.Word, C.Selected), C.Color) << C.Relation << C.Word;
}

class PolicyRulesGameTest : public ::testing::Test {
protected:
  void SetUp() override {
    Germany = Game.Nation("Germany");
    Sweden = Game.Nation("Sweden");
    ASSERT_TRUE(Germany && Sweden);
  }
  TStandardGame Game;
  TNation* Germany = nullptr;
  TNation* Sweden = nullptr;
};

TEST_F(PolicyRulesGameTest, ANationLineShowsTheRelationAndItsWord) {
  Germany->SetRelationDirect(Sweden, 80);
  EXPECT_EQ(RelationLineText(*Germany, *Sweden), "[80] (Friendly)");
  Germany->SetRelationDirect(Sweden, -100);
  EXPECT_EQ(RelationLineText(*Germany, *Sweden), "[-100] (War)");
  Germany->SetRelationDirect(Sweden, 0);
  EXPECT_EQ(RelationLineText(*Germany, *Sweden), "[0] (Neutral)");
}

TEST_F(PolicyRulesGameTest, WarIsOfferedOnlyToANationThatMayAttackAgainstAnotherNotAlliedNorAtWar) {
  Germany->SetAttackWithoutWar(true);
  const struct {
    int Relation;
    bool Offered;
    const char* Refusal;
  } Cases[] = {{100, false, "You cannot Declare War on an Allied Nation"},
               {-100, false, "You are already at war with this Nation"},
               {99, true, nullptr},
               {-99, true, nullptr},
               {0, true, nullptr}};
  for (const auto& C : Cases) {
    Germany->SetRelationDirect(Sweden, C.Relation);
    EXPECT_EQ(DeclareWarOffered(Germany, Sweden), C.Offered) << C.Relation;
    const auto Refusal = DeclareWarRefusal(Germany, Sweden);
    EXPECT_EQ(Refusal.has_value(), C.Refusal != nullptr) << C.Relation;
    if (C.Refusal && Refusal) {
      EXPECT_EQ(*Refusal, C.Refusal);
    }
  }
  EXPECT_EQ(DeclareWarRefusal(Germany, nullptr), std::optional<std::string>("First Select a Nation"));
  EXPECT_FALSE(DeclareWarOffered(Germany, nullptr));
  EXPECT_FALSE(DeclareWarOffered(Germany, Germany));
  EXPECT_EQ(DeclareWarQuestion(*Sweden), "Declare War on Sweden?");
  Germany->SetAttackWithoutWar(false);
  EXPECT_FALSE(DeclareWarOffered(Germany, Sweden));
}

TEST_F(PolicyRulesGameTest, JetsAndCompleteGroupsFollowTheProgressAgainstTheGroupsCost) {
  const int Cost = Game.Engine.GetResearchCost(6);
  Germany->SetResearchProgress(6, static_cast<std::uint16_t>(Cost - 1));
  EXPECT_FALSE(JetFormationShown(*Germany));
  EXPECT_FALSE(ResearchComplete(*Germany, 6));
  Germany->SetResearchProgress(6, static_cast<std::uint16_t>(Cost));
  EXPECT_TRUE(JetFormationShown(*Germany));
  EXPECT_TRUE(ResearchComplete(*Germany, 6));
}

}  // namespace
