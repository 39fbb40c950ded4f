// What the player reads of the war, on the Standard scenario: the happenings' texts with their
// panels and colours, the diplomacy outcomes, the news lines of every letter, the standing
// actions that keep a long attack to one line, the score points, the final score figures and
// the battle sounds' pace.
#include "screens/WarNews.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "foundation/Random.h"
#include "gamemap/StandardGameFixture.h"
#include "engine/UpkeepRules.h"

namespace {

struct WarNewsTest : ::testing::Test {
  TStandardGame Game;
  TNation* Germany = Game.Nation("Germany");
  TNation* Italy = Game.Nation("Italy");
  TNation* Poland = Game.Nation("Poland");
  TNation* Canada = Game.Nation("Canada");
  TBrenmoorZone* Warsaw = Game.Zone("Warsaw");
  TBrenmoorZone* Berlin = Game.Zone("Berlin");

  // The lines of the record, newest first.
  std::vector<std::string> Lines(const TWarNews& News) const {
    std::vector<std::string> Out;
    for (const TNewsItem& Item : News.Items()) Out.push_back(NewsLine(Game.Engine, Item.Text));
    return Out;
  }
};

// Draws scripted as the smallest or the largest value each time.
class TEdgeRandom : public TRandomGenerator {
public:
  explicit TEdgeRandom(bool Largest) : FLargest(Largest) {}
  std::int32_t Random(std::int32_t N) override { return FLargest ? N - 1 : 0; }
  using TRandomGenerator::Random;

private:
  bool FLargest;
};

}  // namespace

TEST_F(WarNewsTest, EveryHappeningHasItsTextPanelAndColour) {
  ASSERT_TRUE(Germany && Italy && Poland && Canada && Warsaw && Berlin);
  Germany->SetLocalPlayer(true);
  struct TCase {
    const char* What;
    TWarNotice Notice;
    TWarNotice Expected;
  };
  const TCase Cases[] = {
      {"reinforcement", ReinforcementNotice("Berlin"), {"Reinforcements arrived at Berlin", npNotify, NoticeYellow, false}},
      {"unit type upgrade here", UnitTypeUpgradeNotice(*Germany, utInfantry),
       {"Germany Received Tech Upgrade for Infantry", npNotify, NoticeGreen, false}},
      {"unit type upgrade elsewhere", UnitTypeUpgradeNotice(*Italy, utInfantry), {}},
      {"tech upgrade here", TechUpgradeNotice(*Germany, 1),
       {std::string("Germany Recieved Tech Upgrade in ") + ResearchGroupNames[1], npNotify, NoticeGreen, false}},
      {"tech upgrade elsewhere", TechUpgradeNotice(*Italy, 1), {}},
      {"allies with a major", AlliesNotice(*Poland, *Germany), {"Poland has allied with Germany!", npMessage, NoticeCyan, true}},
      {"allies of minors", AlliesNotice(*Poland, *Canada), {"Poland has allied with Canada!", npNone, 0, true}},
      {"war by a major", WarNotice(*Germany, *Poland), {"Germany has declared war on Poland!", npMessage, NoticeCyan, true}},
      {"war of minors", WarNotice(*Canada, *Poland), {"Canada has declared war on Poland!", npNone, 0, true}},
      {"alliance", AllianceNotice(*Poland), {"Poland has joined Allies", npMessage, NoticeYellow, true}},
      {"exile", ExileNotice(*Poland, *Canada), {"Poland has set up a govt in exile in Canada", npNone, 0, true}},
      {"coup", CoupNotice(*Italy),
       {"A coup has occurred in Italy and a new government has taken power", npNone, 0, true}},
      {"atomic bomb", AtomicBombNotice(*Germany, "Warsaw"), {"Germany has dropped an Atomic Bomb on Warsaw!", npNone, 0, true}},
      {"conquest", ConquestNotice(*Poland, *Germany), {"Poland has been conquered by Germany!", npMessage, NoticeRed, true}},
  };
  for (const TCase& C : Cases) EXPECT_EQ(C.Notice, C.Expected) << C.What;
  // An annexation (relation 100 to the conqueror) is told nowhere.
  Poland->SetRelationDirect(Germany, 100);
  EXPECT_EQ(ConquestNotice(*Poland, *Germany), TWarNotice{});
}

TEST_F(WarNewsTest, TheTenDiplomacyOutcomesAreNewsAndNoOtherOutcomeIsTold) {
  const char* Expected[] = {
      "Germany denounces the recent actions of Poland.",
      "It has been learned that Germany has undertakne a propaganda campaign in Poland.",
      "Germany pressures Poland, but Poland is not moved by the demands.",
      "Germany pressures Poland to capitulate, and Poland gives in to the demands.",
      "Germany and Poland concluded a Summit, but could not agreee on several important matters.",
      "Germany and Poland concluded a Summit, and made some astounding strides forward!",
      "Germany and Poland concluded a Summit, and found common ground on many important issues.",
      "Germany has apprehended an enemy agent in Poland.",
      "Germany was discovered aiding the Rebels in Poland.",
      "It has been discovered that Germany has been offering aid to Poland.",
  };
  for (int Outcome = 0; Outcome < 10; ++Outcome)
    EXPECT_EQ(DiplomacyNotice(*Germany, Outcome, *Poland), (TWarNotice{Expected[Outcome], npNone, 0, true})) << Outcome;
  for (int Outcome : {-1, 10, 255}) EXPECT_EQ(DiplomacyNotice(*Germany, Outcome, *Poland), TWarNotice{}) << Outcome;
}

TEST_F(WarNewsTest, EachLetterDrawsItsLineWithTheDateNewestFirst) {
  TWarNews News(Game.Engine);
  std::vector<const TNewsItem*> Told;
  News.OnInsert = [&](const TNewsItem& Item) { Told.push_back(&Item); };
  News.AddAirStrike(Germany, Warsaw);
  News.AddBombardment(Italy, Warsaw);
  News.AddConquest(Germany, Warsaw);
  News.AddInvasion(Germany, Berlin);
  News.AddRocketAttack(Germany, Warsaw);
  News.AddLiberation(Warsaw);
  News.AddMessage("Peace in our time", Berlin);
  News.AddBombingRaid(Germany, Warsaw);
  // The date is the game's day, whatever its time of day.
  Game.Engine.SetDate(Game.Engine.GetDate() + 3.75);
  News.ExpireStandingActions();  // Berlin holds no enemy: the invasion was repulsed.
  const std::vector<std::string> Expected = {
      "9/4/1939- Attacking forces were repulsed at Berlin.",
      "9/1/1939- Germany has launched a bombing raid into Warsaw!",
      "9/1/1939- Peace in our time",
      "9/1/1939- Warsaw has been Liberated!",
      "9/1/1939- Germany has launched a rocket attack into Warsaw!",
      "9/1/1939- Germany has invaded Berlin!",
      "9/1/1939- Germany has conquered Warsaw!",
      "9/1/1939- Italy is bombarding Warsaw!",
      "9/1/1939- Germany has launched an air strike into Warsaw!",
  };
  EXPECT_EQ(Lines(News), Expected);
  EXPECT_EQ(Told.size(), Expected.size());
  // Each item's zone is the one a double click centres on.
  EXPECT_EQ(News.Items()[2].Zone, Berlin->GetIndex());
  EXPECT_EQ(News.Items()[3].Zone, Warsaw->GetIndex());
  EXPECT_EQ(News.Items().back().Text, "A;" + std::to_string(int(EncodeDate(1939, 9, 1))) + ";" +
                                          std::to_string(Germany->GetIndex()) + ";" + std::to_string(Warsaw->GetIndex()) + ";");
  // Indexes of nothing and letters of nothing draw without harm.
  EXPECT_EQ(NewsLine(Game.Engine, "C;1;999;-5;"), "12/31/1899- ? has conquered ?!");
  EXPECT_EQ(NewsLine(Game.Engine, "Z;1;"), "");
  EXPECT_EQ(NewsLine(Game.Engine, ""), "");
  News.ClearItems();
  EXPECT_TRUE(News.Items().empty());
}

TEST_F(WarNewsTest, AFreeMessageShowsUpToItsFirstSemicolonAndKeepsItsFieldsApart) {
  TWarNews News(Game.Engine);
  News.AddMessage("Warsaw falls;C;1;2;3;", Warsaw);
  News.AddMessage(";", nullptr);
  ASSERT_EQ(News.Items().size(), 2u);
  EXPECT_EQ(NewsLine(Game.Engine, News.Items()[1].Text), "9/1/1939- Warsaw falls");
  EXPECT_EQ(News.Items()[1].Text, NewsMessageItem(int(Game.Engine.GetDate()), "Warsaw falls"));
  EXPECT_EQ(std::count(News.Items()[1].Text.begin(), News.Items()[1].Text.end(), ';'), 3);
  EXPECT_EQ(NewsLine(Game.Engine, News.Items()[0].Text), "9/1/1939- ");
  EXPECT_EQ(News.Items()[0].Zone, -1);
}

TEST_F(WarNewsTest, ALongInvasionIsOneLineAndItsRepulseAnother) {
  TWarNews News(Game.Engine);
  TUnit* Army = Game.MakeUnit("Germany", ukArmy, "Warsaw", {{utInfantry, 5}});
  for (int Impulse = 1; Impulse <= 20; ++Impulse) {
    Game.Engine.SetImpulse(Impulse);
    News.AddInvasion(Germany, Warsaw);
    News.ExpireStandingActions();
  }
  EXPECT_EQ(Lines(News), std::vector<std::string>{"9/1/1939- Germany has invaded Warsaw!"});
  EXPECT_EQ(News.FindStandingAction(skInvasion, Germany, Warsaw), 0);
  EXPECT_EQ(News.FindStandingAction(skInvasion, Italy, Warsaw), -1);
  // The invaders are gone and Poland still holds Warsaw.
  Game.Engine.FreeUnit(Army);
  News.ExpireStandingActions();
  News.ExpireStandingActions();
  EXPECT_EQ(Lines(News), (std::vector<std::string>{"9/1/1939- Attacking forces were repulsed at Warsaw.",
                                                   "9/1/1939- Germany has invaded Warsaw!"}));
  EXPECT_EQ(News.FindStandingAction(skInvasion, Germany, Warsaw), -1);
  // A conquest ends the invasion without a repulse; a new invasion is told again.
  News.AddInvasion(Germany, Warsaw);
  News.AddConquest(Germany, Warsaw);
  News.ExpireStandingActions();
  News.AddInvasion(Germany, Warsaw);
  EXPECT_EQ(Lines(News).size(), 5u);
  EXPECT_EQ(Lines(News)[1], "9/1/1939- Germany has conquered Warsaw!");
}

TEST_F(WarNewsTest, BombardmentsAndRocketsAreRenewedOrToldAgainAsTheirImpulsesPass) {
  TWarNews News(Game.Engine);
  auto Count = [&] { return News.Items().size(); };
  Game.Engine.SetImpulse(100);
  News.AddBombardment(Italy, Warsaw);
  ASSERT_EQ(Count(), 1u);
  // Renewed every 8 impulses for 40 impulses: one line.
  for (int Impulse = 108; Impulse <= 140; Impulse += 8) {
    Game.Engine.SetImpulse(Impulse);
    News.ExpireStandingActions();
    News.AddBombardment(Italy, Warsaw);
  }
  EXPECT_EQ(Count(), 1u);
  EXPECT_EQ(News.Standing(skBombardment).front().Impulse, 140);
  // Ten impulses after the last renewal it still stands; eleven after, it is over.
  Game.Engine.SetImpulse(150);
  News.ExpireStandingActions();
  EXPECT_EQ(News.FindStandingAction(skBombardment, Italy, Warsaw), 0);
  Game.Engine.SetImpulse(151);
  News.ExpireStandingActions();
  EXPECT_EQ(News.FindStandingAction(skBombardment, Italy, Warsaw), -1);
  News.AddBombardment(Italy, Warsaw);
  EXPECT_EQ(Count(), 2u);

  // A rocket attack stands for 30 impulses, whatever comes meanwhile; it is not renewed.
  News.AddRocketAttack(Germany, Berlin);
  EXPECT_EQ(Count(), 3u);
  for (int Impulse = 152; Impulse <= 181; ++Impulse) {
    Game.Engine.SetImpulse(Impulse);
    News.ExpireStandingActions();
    News.AddRocketAttack(Germany, Berlin);
  }
  EXPECT_EQ(Count(), 3u);
  Game.Engine.SetImpulse(182);
  News.ExpireStandingActions();
  News.AddRocketAttack(Germany, Berlin);
  EXPECT_EQ(Count(), 4u);
}

TEST_F(WarNewsTest, AnAirStrikeOnAZoneAlreadyInvadedOrStruckIsNotToldAgain) {
  TWarNews News(Game.Engine);
  Game.MakeUnit("Germany", ukArmy, "Warsaw", {{utInfantry, 5}});
  News.AddInvasion(Germany, Warsaw);
  News.AddAirStrike(Germany, Warsaw);
  News.AddBombardment(Germany, Warsaw);
  EXPECT_EQ(News.Items().size(), 1u);
  // Another zone: told once while German aircraft are over it.
  TBrenmoorZone* Krakow = Game.Zone("Krakow");
  const int Row = Germany->GetMajorIndex();
  ASSERT_FALSE(Krakow->HasTallyOfKinds(Row, KindBit(ukAirForce)));
  Krakow->SetTally(Row, utFighter, 4);
  News.AddAirStrike(Germany, Krakow);
  News.ExpireStandingActions();
  News.AddAirStrike(Germany, Krakow);
  News.AddBombardment(Germany, Krakow);
  EXPECT_EQ(News.Items().size(), 2u);
  // The aircraft left: the strike is over and a new one is told.
  Krakow->SetTally(Row, utFighter, 0);
  News.ExpireStandingActions();
  EXPECT_EQ(News.FindStandingAction(skAirStrike, Germany, Krakow), -1);
  News.AddAirStrike(Germany, Krakow);
  EXPECT_EQ(News.Items().size(), 3u);
}

TEST_F(WarNewsTest, ABombingRaidLastsWhileABomberOfTheNationBombsAZoneItMayAttack) {
  TWarNews News(Game.Engine);
  Germany->SetRelation(Poland, -100);
  TUnit* Bombers = Game.MakeUnit("Germany", ukAirForce, "Warsaw", {{utBomber, 3}});
  Bombers->SetOrder(ordBomb);
  News.AddBombingRaid(Germany, Warsaw);
  News.ExpireStandingActions();
  News.AddBombingRaid(Germany, Warsaw);
  EXPECT_EQ(News.Items().size(), 1u);
  Bombers->SetOrder(ordNone);
  News.ExpireStandingActions();
  EXPECT_EQ(News.FindStandingAction(skBombingRaid, Germany, Warsaw), -1);
  // A new game starts with no items and nothing standing.
  News.AddBombingRaid(Germany, Warsaw);
  News.AddInvasion(Germany, Warsaw);
  News.ClearNews();
  EXPECT_TRUE(News.Items().empty());
  for (int Kind = 0; Kind < StandingKindCount; ++Kind) EXPECT_TRUE(News.Standing(TStandingKind(Kind)).empty()) << Kind;
}

TEST_F(WarNewsTest, TheExplosionsComeFasterTheMoreZonesAreEmbattled) {
  struct TCase {
    int Zones;
    int Shortest;
    int Longest;
  };
  const TCase Cases[] = {{1, 5000, 5099}, {4, 2500, 2599}, {12, 1250, 1349}, {36, 500, 599},
                         {40, 200, 598},  {100, 200, 598}, {1000, 200, 598}};
  for (const TCase& C : Cases) {
    TEdgeRandom Low(false), High(true);
    EXPECT_EQ(ExplosionInterval(C.Zones, Low), C.Shortest) << C.Zones;
    EXPECT_EQ(ExplosionInterval(C.Zones, High), C.Longest) << C.Zones;
  }
  // Real draws stay inside the bounds.
  TRandomGenerator Random(7);
  for (int I = 0; I < 200; ++I) {
    const int Interval = ExplosionInterval(12, Random);
    EXPECT_TRUE(Interval >= 1250 && Interval <= 1349) << Interval;
  }
}

TEST_F(WarNewsTest, AScorePointHoldsEveryPowerAndAllianceWithTheMonthOfTheDate) {
  const std::pair<TDateTime, const char*> Dates[] = {{EncodeDate(1939, 9, 1), "Sep-1939"},
                                                     {EncodeDate(1940, 1, 31) + 0.9, "Jan-1940"},
                                                     {EncodeDate(1945, 12, 1), "Dec-1945"},
                                                     {EncodeDate(812, 5, 2), "May-0812"}};
  for (const auto& [Date, Label] : Dates) EXPECT_EQ(ScoreDateLabel(Date), Label);
  Game.Engine.Upkeep().BeginImpulse();
  Game.Engine.Upkeep().EndImpulseUpkeep(1);
  const TScorePoint Point = TakeScorePoint(Game.Engine);
  EXPECT_EQ(Point.Label, "Sep-1939");
  ASSERT_EQ(Point.Nations.size(), 7u);
  EXPECT_EQ(Point.Nations[0], Germany->GetWorldDomination());
  EXPECT_GT(Point.Nations[0], 0);
  ASSERT_EQ(Point.Alliances.size(), 2u);
  EXPECT_EQ(Point.Alliances[0].first, "Axis");
  EXPECT_EQ(Point.Alliances[1].second, Game.Engine.GetAllianceDomination(1));
  EXPECT_EQ(LeftOutNote(0, "powers"), "");
  EXPECT_EQ(LeftOutNote(2, "alliances"), "(2 more alliances not charted)");
}

TEST_F(WarNewsTest, AFinalScoreIsTheStoredIndustryTimesTwentyLessTheCasualties) {
  Germany->SetTag(100);
  Germany->SetScoreDeduction(250);
  EXPECT_EQ(FinalScoreOf(*Germany), (TFinalScore{2000, -250, 1750}));
  Italy->SetTag(0);
  Italy->SetScoreDeduction(0);
  EXPECT_EQ(FinalScoreOf(*Italy), (TFinalScore{0, 0, 0}));
}
