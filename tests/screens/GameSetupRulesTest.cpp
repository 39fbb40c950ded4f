// What the set-up and a game's start and end decide: the set-up's refusals and questions, the
// toolbar and status bar by the engine's options, the interval, the score history's timing, the
// victory after an impulse, the free-for-all offer and the zone the map starts on.
#include <gtest/gtest.h>

#include "engine/RealTimeEngine.h"
#include "screens/GameSetupRules.h"
#include "gamemap/StandardGameFixture.h"

namespace {

TEST(GameSetupRulesTest, TheSetUpRefusesWhatCannotStartAndAsksBeforeADuel) {
  const struct {
    TSetupChoice Choice;
    TSetupVerdict Verdict;
    const char* Message;
    bool ResetPlayers;
  } Cases[] = {
      {{false, true, 2, {"Axis"}}, svRefuse, NoScenarioMessage, false},
      {{false, false, 4, {}}, svRefuse, NoScenarioMessage, false},
      {{true, false, 1, {}}, svRefuse, TooFewPlayersMessage, true},
      {{true, false, 2, {}}, svAskGameName, "", false},
      {{true, false, 7, {"Axis", "Allies"}}, svAskGameName, "", false},
      {{true, true, 2, {}}, svAskAIDuel, AIDuelQuestion, false},
      {{true, true, 2, {"Axis"}}, svStart, "", false},
      {{true, true, 2, {"Allies", "Allies", "Allies"}}, svStart, "", false},
      {{true, true, 2, {"Axis", "Allies"}}, svRefuse, MixedAlliancesMessage, false},
      // The mismatch is found wherever it is in the list.
      {{true, true, 2, {"Allies", "Allies", "Axis"}}, svRefuse, MixedAlliancesMessage, false},
      // A nation without alliance only alone.
      {{true, true, 2, {"[Italy]"}}, svStart, "", false},
      {{true, true, 2, {"[Italy]", "Axis"}}, svRefuse, MixedAlliancesMessage, false},
      {{true, true, 2, {"[Italy]", "[Japan]"}}, svRefuse, MixedAlliancesMessage, false},
  };
  for (const auto& C : Cases) {
    const TSetupDecision D = JudgeSetup(C.Choice);
    SCOPED_TRACE(testing::Message() << "solo " << C.Choice.Solo << " players " << C.Choice.Players << " ticked "
                                    << C.Choice.TickedAlliances.size());
    EXPECT_EQ(D.Verdict, C.Verdict);
    EXPECT_EQ(D.Message, C.Message);
    EXPECT_EQ(D.ResetPlayers, C.ResetPlayers);
  }
  EXPECT_EQ(AllianceColumnText("Germany", "Axis"), "Axis");
  EXPECT_EQ(AllianceColumnText("Italy", ""), "[Italy]");
}

TEST(GameSetupRulesTest, TheToolbarAndStatusBarFollowTheOptionsTheLobbyAndTheComputerDuel) {
  // Bits: 0 diplomacy, 3 news, 4 research.
  constexpr std::uint8_t All = 0xFF, None = 0, NewsOnly = 8, DiplomacyAndResearch = 1 | 16;
  struct TCase {
    std::uint8_t Options;
    bool AllComputer, LoggedIn;
    TGameControls Shown;  // News, Research, Diplomacy, Formations, Communicate, Pause, Surrender, Duel, Nation
  };
  const TCase Cases[] = {
      {All, false, false, {true, true, true, true, false, true, false, false, true}},
      {All, true, false, {true, false, false, false, false, true, false, true, false}},
      {All, false, true, {true, true, true, true, true, false, true, false, true}},
      {All, true, true, {true, false, false, false, true, false, false, true, false}},
      {None, false, false, {false, false, false, true, false, true, false, false, true}},
      {NewsOnly, false, false, {true, false, false, true, false, true, false, false, true}},
      {DiplomacyAndResearch, false, false, {false, true, true, true, false, true, false, false, true}},
  };
  for (const TCase& C : Cases) {
    const TGameControls G = GameControlsShown(C.Options, C.AllComputer, C.LoggedIn);
    SCOPED_TRACE(testing::Message() << "options " << int(C.Options) << " all-computer " << C.AllComputer << " logged in "
                                    << C.LoggedIn);
    EXPECT_EQ(G.News, C.Shown.News);
    EXPECT_EQ(G.Research, C.Shown.Research);
    EXPECT_EQ(G.Diplomacy, C.Shown.Diplomacy);
    EXPECT_EQ(G.Formations, C.Shown.Formations);
    EXPECT_EQ(G.Communicate, C.Shown.Communicate);
    EXPECT_EQ(G.Pause, C.Shown.Pause);
    EXPECT_EQ(G.Surrender, C.Shown.Surrender);
    EXPECT_EQ(G.FastAIDuel, C.Shown.FastAIDuel);
    EXPECT_EQ(G.NationControls, C.Shown.NationControls);
  }
  EXPECT_EQ(ImpulseInterval(true, true), TRealTimeEngine::FastDuelInterval);
  EXPECT_EQ(ImpulseInterval(true, false), TRealTimeEngine::DefaultInterval);
  EXPECT_EQ(ImpulseInterval(false, true), TRealTimeEngine::DefaultInterval);
}

TEST(GameSetupRulesTest, TheFirstScorePointComesAfterTheFirstImpulseThenEveryThirty) {
  int Counter = ScorePointImpulses;  // a new game
  std::vector<int> PointsAfter;
  for (int Impulse = 1; Impulse <= 100; ++Impulse) {
    const TScorePointStep Step = ScorePointAfterImpulse(Counter);
    Counter = Step.Counter;
    if (Step.AddPoint) PointsAfter.push_back(Impulse);
  }
  EXPECT_EQ(PointsAfter, (std::vector<int>{1, 31, 61, 91}));
  // A count that is somehow past the mark still takes its point at once.
  EXPECT_TRUE(ScorePointAfterImpulse(45).AddPoint);
  EXPECT_EQ(ScorePointAfterImpulse(28).Counter, 29);
}

TEST(GameSetupRulesTest, AVictoryNamesItsWinnerAndStopsWhenTheGameCannotGoOnInFreeForAll) {
  const struct {
    TVictoryState State;
    bool Ends;
    const char* Message;
    bool IsVictory, Stop;
  } Cases[] = {
      {{false, "", "", true, 7, "Germany"}, false, "", false, false},
      {{false, "Germany", "", true, 5, "Germany"}, true, "Germany is VICTORIOUS!", true, false},
      {{false, "Germany", "", false, 5, "Germany"}, true, "Germany is VICTORIOUS!", true, true},
      {{false, "", "Allies", true, 3, "France"}, true, "Allies are VICTORIOUS!", true, false},
      {{false, "", "Allies", false, 1, "France"}, true, "Allies are VICTORIOUS!", true, true},
      // In free-for-all only the last power standing wins; the scenario's winners no longer count.
      {{true, "Germany", "", true, 3, "Germany"}, false, "", false, false},
      {{true, "", "", false, 1, "Japan"}, true, "Japan has won the FFA!", false, true},
      {{true, "", "", false, 0, ""}, false, "", false, false},
  };
  for (const auto& C : Cases) {
    const std::optional<TGameEnd> End = VictoryAfterImpulse(C.State);
    SCOPED_TRACE(testing::Message() << "winner '" << C.State.WinnerNation << C.State.WinnerAlliance << "' ffa "
                                    << C.State.FreeForAll << " living " << C.State.LivingMajors);
    ASSERT_EQ(End.has_value(), C.Ends);
    if (!End) continue;
    EXPECT_EQ(End->Message, C.Message);
    EXPECT_EQ(End->IsVictory, C.IsVictory);
    EXPECT_EQ(End->Stop, C.Stop);
  }
  // Free-for-all is offered only to a game of people with two powers alive and at work.
  const struct {
    TFreeForAllState State;
    bool Offered;
  } Offers[] = {{{2, false, 2}, true}, {{3, false, 1}, false}, {{2, true, 2}, false}, {{1, false, 1}, false}, {{5, false, 3}, true}};
  for (const auto& O : Offers) EXPECT_EQ(OffersFreeForAll(O.State), O.Offered) << O.State.LivingMajors << " " << O.State.LivingMajorsWithIndustry;
}

TEST(GameSetupRulesTest, AVictoryConditionIsAHeadingAndItsText) {
  EXPECT_EQ(VictoryConditionLines("Axis: domination reaches 55%"),
            (std::vector<std::string>{"*Axis:", " domination reaches 55%"}));
  EXPECT_EQ(VictoryConditionLines("A: b: c"), (std::vector<std::string>{"*A:", " b: c"}));
  EXPECT_EQ(VictoryConditionLines("No colon"), (std::vector<std::string>{"*No colon:", ""}));
}

TEST(GameSetupRulesTest, TheGameStartsOnTheCapitalElseTheRichestZonePlayedHere) {
  TStandardGame G;
  TNation* Germany = G.Nation("Germany");
  EXPECT_EQ(StartingZone(G.Engine, Germany), Germany->GetCapital());
  // Nobody plays here and no nation is current: zone 0.
  EXPECT_EQ(StartingZone(G.Engine, nullptr), G.Engine.GetZone(0));
  // Without a capital: the zone of highest industry among those played here, the first of equals.
  Germany->SetLocalPlayer(true);
  Germany->SetCapital(nullptr);
  TBrenmoorZone* Ruhr = G.Zone("Ruhr");
  TBrenmoorZone* Berlin = G.Zone("Berlin");
  TBrenmoorZone* London = G.Zone("London");
  for (int I = 0; I < G.Engine.GetZoneCount(); ++I) G.Engine.GetZone(I)->SetIndustry(1);
  Ruhr->SetIndustry(9);
  Berlin->SetIndustry(9);
  London->SetIndustry(12);  // richer, but not played here
  TBrenmoorZone* First = Ruhr->GetIndex() < Berlin->GetIndex() ? Ruhr : Berlin;
  EXPECT_EQ(StartingZone(G.Engine, Germany), First);
  EXPECT_EQ(StartingZone(G.Engine, nullptr), First);
  Berlin->SetIndustry(10);
  EXPECT_EQ(StartingZone(G.Engine, Germany), Berlin);
}

}  // namespace
