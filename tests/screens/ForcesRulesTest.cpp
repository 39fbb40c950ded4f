// What the unit and forces lists and the divide and build windows decide: the forces lines and
// their texts, where a unit joins a unit list, setting quantities, moving forces between the
// parent and the new unit, fitting them to the unit after an impulse, and the build's types,
// cost, turns and the most the zone can pay, on the Standard scenario.
#include <gtest/gtest.h>

#include "engine/GameRecords.h"
#include "screens/ForcesRules.h"
#include "gamemap/StandardGameFixture.h"

namespace {

TEST(ForcesRulesTest, ACountReadsTheTypeNameInThePluralExceptForArtilleryInfantryAndArmor) {
  const struct {
    int Type;
    int Quantity;
    const char* Text;
  } Cases[] = {
      {utBomber, 1, "1 Bomber"},         {utInfantry, 2, "2 Infantry"},  {utDestroyer, 3, "3 Destroyers"},
      {utArtillery, 0, "0 Artillery"},   {utArmor, 5, "5 Armor"},        {utAAGun, 2, "2 AA Guns"},
      {utMerchantShip, 1, "1 Merchant Ship"}, {utJetFighter, 4, "4 Jet Fighters"}, {utAtomicBomber, 0, "0 Atomic Bombers"},
  };
  for (const auto& C : Cases) EXPECT_EQ(ForcesCountText(C.Type, C.Quantity), C.Text) << C.Text;
}

TEST(ForcesRulesTest, TheVeteranLevelCountsTenthsAboveOneAndTenForEachPointAboveTwo) {
  const struct {
    const char* Strength;
    const char* Text;
  } Cases[] = {{"1", ""},     {"1.0", ""},    {"2", "v11"},   {"1.1", "v2"},  {"1.2", "v3"},  {"1.3", "v4"},
               {"1.5", "v6"}, {"2.5", "v16"}, {"3", "v21"},   {"0.9", ""},    {"", ""},       {"x", ""}};
  for (const auto& C : Cases) EXPECT_EQ(VeteranLevelText(C.Strength), C.Text) << C.Strength;
  // A factor grown by tenths in single precision still reads its tenths.
  float Factor = 1.0f;
  for (int Step = 1; Step <= 9; ++Step) {
    Factor += 0.1f;
    const TForcesLine Line = ParseForcesLine(UnitForcesLineText(0, utArmor, 1, Factor));
    EXPECT_EQ(VeteranLevel(Line.Strength), Step) << Line.Strength;
  }
}

TEST(ForcesRulesTest, LinesOfAUnitCarryTheStrengthAndLinesOfAQuantityDoNot) {
  EXPECT_EQ(UnitForcesLineText(3, utArmor, 7, 1.1f), "3;4;7;1.1;");
  EXPECT_EQ(QuantityLineText(3, utArmor, 7), "3;4;7");
  const TForcesLine Unit = ParseForcesLine("3;4;7;1.1;");
  EXPECT_EQ(Unit.Owner, 3);
  EXPECT_EQ(Unit.Type, utArmor);
  EXPECT_EQ(Unit.Quantity, 7);
  EXPECT_EQ(Unit.Strength, "1.1");
  const TForcesLine Plain = ParseForcesLine("12;0;1000");
  EXPECT_EQ(Plain.Owner, 12);
  EXPECT_EQ(Plain.Type, utMerchantShip);
  EXPECT_EQ(Plain.Quantity, 1000);
  EXPECT_EQ(Plain.Strength, "");
  const std::vector<std::string> Lines{"1;3;2", "0;3;5;1;", "0;4;1", "0;3;9"};
  EXPECT_EQ(FindForcesLine(Lines, utInfantry, 0), 1);
  EXPECT_EQ(FindForcesLine(Lines, utInfantry, 1), 0);
  EXPECT_EQ(FindForcesLine(Lines, utArmor, 1), -1);
}

TEST(ForcesRulesTest, SettingAQuantityDeletesRewritesOrAppendsByKeepZeroForces) {
  const struct {
    bool Found;
    int Quantity;
    bool Keep;
    TSetQuantityStep Step;
  } Cases[] = {
      {true, 0, false, sqDelete},   {true, 0, true, sqRewrite},  {true, 3, false, sqRewrite},
      {true, -1, false, sqRewrite}, {false, 0, false, sqNothing}, {false, -2, false, sqNothing},
      {false, 0, true, sqAppend},   {false, 1, false, sqAppend}, {false, -1, true, sqAppend},
  };
  for (const auto& C : Cases)
    EXPECT_EQ(SetQuantityStep(C.Found, C.Quantity, C.Keep), C.Step) << C.Found << " " << C.Quantity << " " << C.Keep;
}

TEST(ForcesRulesTest, ALocalPlayersUnitGoesBeforeTheFirstUnitThatIsNotAndOthersGoLast) {
  const struct {
    std::vector<bool> Local;
    bool New;
    int Position;
  } Cases[] = {
      {{}, true, 0},           {{}, false, 0},          {{true, true, false, false}, true, 2},
      {{true, true}, true, 2}, {{false}, true, 0},      {{true, false}, false, 2},
      {{false, true}, true, 0},
  };
  for (const auto& C : Cases) EXPECT_EQ(UnitInsertPosition(C.Local, C.New), C.Position);
}

TEST(ForcesRulesTest, ForcesMoveOneOrAllAtATimeAndProceedNeedsBothSides) {
  std::int32_t From = 1, To = 0;
  EXPECT_TRUE(MoveOneForce(From, To));
  EXPECT_EQ(From, 0);
  EXPECT_EQ(To, 1);
  EXPECT_FALSE(MoveOneForce(From, To));
  EXPECT_EQ(To, 1);
  From = 7;
  MoveAllForces(From, To);
  EXPECT_EQ(From, 0);
  EXPECT_EQ(To, 8);

  TDivideForces F;
  F.Parent[utInfantry] = 3;
  EXPECT_FALSE(DivideCanProceed(F));
  MoveAllForces(F.Parent[utInfantry], F.New[utInfantry]);
  // A unit of one type moved whole leaves an empty parent: no division.
  EXPECT_FALSE(DivideCanProceed(F));
  MoveOneForce(F.New[utInfantry], F.Parent[utInfantry]);
  EXPECT_TRUE(DivideCanProceed(F));
  EXPECT_EQ(ForceCountsText(F.New), "0#0#0#2#0#0#0#0#0#0#0#0#0#0#0#0#");
}

class ForcesRulesGameTest : public ::testing::Test {
protected:
  // An event in effect everywhere that makes armies cost Factor times as much.
  void AddArmyCostEvent(float Factor) {
    auto Event = std::make_unique<TActiveEvent>(Game.Engine);
    Event->Effect = efUnitCost;
    Event->Kinds = KindBit(ukArmy);
    Event->Factor = Factor;
    Event->Duration = -1;
    Game.Engine.AddActiveEvent(std::move(Event));
  }
  TStandardGame Game;
};

TEST_F(ForcesRulesGameTest, AfterAnImpulseLossesComeOffTheNewUnitFirstAndGainsJoinTheParent) {
  TUnit* Unit = Game.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 10}, {utArmor, 4}});
  const struct {
    int Infantry;
    int Parent;
    int New;
    int ParentAfter;
    int NewAfter;
  } Cases[] = {
      {8, 4, 6, 4, 4}, {3, 4, 6, 3, 0}, {12, 4, 6, 6, 6}, {10, 4, 6, 4, 6}, {0, 4, 6, 0, 0},
  };
  for (const auto& C : Cases) {
    Unit->SetCount(utInfantry, static_cast<std::uint16_t>(C.Infantry));
    TDivideForces F;
    F.Parent[utInfantry] = C.Parent;
    F.New[utInfantry] = C.New;
    F.Parent[utArmor] = 4;
    FitDivideToUnit(F, *Unit);
    EXPECT_EQ(F.Parent[utInfantry], C.ParentAfter) << C.Infantry;
    EXPECT_EQ(F.New[utInfantry], C.NewAfter) << C.Infantry;
    EXPECT_EQ(F.Parent[utArmor], 4);
  }
  TDivideForces F;
  F.Parent[utArmor] = 4;
  EXPECT_TRUE(DivideStaysOpen(Unit, F));
  EXPECT_FALSE(DivideStaysOpen(nullptr, F));
  EXPECT_FALSE(DivideStaysOpen(Unit, TDivideForces{}));
  Unit->GetZone()->SetEmbattled(true);
  EXPECT_FALSE(DivideStaysOpen(Unit, F));
}

TEST_F(ForcesRulesGameTest, ALinesColourRowIsItsMajorPowersSlotAndSevenForAnyOtherOwner) {
  const TNation* Germany = Game.Nation("Germany");
  EXPECT_EQ(ForcesColorRow(Game.Engine, Germany->GetIndex()), Germany->GetColorSlot());
  EXPECT_EQ(ForcesColorRow(Game.Engine, Game.Nation("Poland")->GetIndex()), MinorTallyRow);
  EXPECT_EQ(ForcesColorRow(Game.Engine, -1), MinorTallyRow);
  EXPECT_EQ(ForcesColorRow(Game.Engine, 999), MinorTallyRow);

  const TUnit* Unit = Game.MakeUnit("Germany", ukArmy, "Berlin", {{utArtillery, 1}, {utInfantry, 2}});
  EXPECT_FALSE(IsLastForcesLineOfUnit(*Unit, utArtillery));
  EXPECT_TRUE(IsLastForcesLineOfUnit(*Unit, utInfantry));
}

TEST_F(ForcesRulesGameTest, TheBuildOffersTheKindsTypesWithAtomsAndJetsOnlyOnceResearched) {
  TNation* Germany = Game.Nation("Germany");
  TBrenmoorZone* Berlin = Game.Zone("Berlin");
  Berlin->SetFactories(3);
  using V = std::vector<std::int32_t>;
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukArmy), (V{utArtillery, utAAGun, utInfantry, utArmor}));
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukAirForce), (V{utFighter, utDiveBomber, utBomber}));
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukNavy),
            (V{utMerchantShip, utTransport, utDestroyer, utSubmarine, utCruiser, utCarrier, utBattleship}));
  Germany->SetResearchProgress(3, Game.Engine.GetResearchCost(3));
  Germany->SetResearchProgress(6, static_cast<std::uint16_t>(Game.Engine.GetResearchCost(6) - 1));
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukAirForce),
            (V{utFighter, utDiveBomber, utBomber, utAtomicBomber}));
  Germany->SetResearchProgress(6, Game.Engine.GetResearchCost(6));
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukAirForce),
            (V{utFighter, utDiveBomber, utBomber, utAtomicBomber, utJetFighter}));

  // Without factories, or in a game that does not build, only merchant ships.
  Berlin->SetFactories(0);
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukNavy), V{utMerchantShip});
  Berlin->SetFactories(3);
  Game.Engine.SetEngineOptions(static_cast<std::uint8_t>(Game.Engine.GetEngineOptions() & ~(1u << 7)));
  EXPECT_EQ(BuildableTypes(Game.Engine, *Germany, *Berlin, ukArmy), V{utMerchantShip});
}

TEST_F(ForcesRulesGameTest, TheBuildCostsTheUnitCostsTimesTheEventsAndProceedsWhileTheZoneCanPay) {
  TBrenmoorZone* Berlin = Game.Zone("Berlin");
  Berlin->SetFactories(3);
  TForceCounts Counts{};
  Counts[utInfantry] = 2;
  Counts[utArmor] = 1;
  const struct {
    float Resources;
    bool Proceed;
    std::int64_t Available;
  } Cases[] = {{8.0f, true, 8}, {7.9f, false, 7}, {100.5f, true, 100}, {0.0f, false, 0}};
  for (const auto& C : Cases) {
    Berlin->SetResources(C.Resources);
    const TBuildEstimate E = EstimateBuild(Game.Engine, *Berlin, ukArmy, Counts);
    EXPECT_DOUBLE_EQ(E.Cost, 8.0);
    EXPECT_EQ(E.CostShown, 8);
    EXPECT_EQ(E.Available, C.Available);
    EXPECT_EQ(E.CanProceed, C.Proceed) << C.Resources;
    // Production 2 x 1.0 + 2.0 over three factories.
    EXPECT_EQ(E.Turns, 1);
  }
  // Turns round half to even; a zone without factories counts one.
  TForceCounts Five{};
  Five[utInfantry] = 5;
  Berlin->SetFactories(2);
  EXPECT_EQ(EstimateBuild(Game.Engine, *Berlin, ukArmy, Five).Turns, 2);
  Berlin->SetFactories(0);
  EXPECT_EQ(EstimateBuild(Game.Engine, *Berlin, ukArmy, Five).Turns, 5);

  // An event that makes armies dearer there: the cost shown is rounded up.
  AddArmyCostEvent(1.25f);
  Berlin->SetResources(10.0f);
  const TBuildEstimate Dear = EstimateBuild(Game.Engine, *Berlin, ukArmy, Five);
  EXPECT_DOUBLE_EQ(Dear.Cost, 12.5);
  EXPECT_EQ(Dear.CostShown, 13);
  EXPECT_FALSE(Dear.CanProceed);
  // A navy is not touched by it.
  TForceCounts Ships{};
  Ships[utMerchantShip] = 2;
  EXPECT_DOUBLE_EQ(EstimateBuild(Game.Engine, *Berlin, ukNavy, Ships).Cost, 10.0);
}

TEST_F(ForcesRulesGameTest, TheMostAffordableQuantityIsTheHighestTheZoneCanPayWithTheOtherCounts) {
  TBrenmoorZone* Berlin = Game.Zone("Berlin");
  TForceCounts Counts{};
  Counts[utArmor] = 1;
  Counts[utInfantry] = 9;
  const struct {
    float Resources;
    int Infantry;
  } Cases[] = {{11.0f, 3}, {12.0f, 4}, {4.0f, 0}, {3.0f, 0}, {1.0e6f, MaxBuildQuantity}};
  for (const auto& C : Cases) {
    Berlin->SetResources(C.Resources);
    EXPECT_EQ(MostAffordableQuantity(Game.Engine, *Berlin, ukArmy, Counts, utInfantry), C.Infantry) << C.Resources;
  }
  // With the events' factors: (4 + 2 q) x 1.5 <= 11 gives one.
  AddArmyCostEvent(1.5f);
  Berlin->SetResources(11.0f);
  EXPECT_EQ(MostAffordableQuantity(Game.Engine, *Berlin, ukArmy, Counts, utInfantry), 1);
}

}  // namespace
