#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/OrderRecord.h"

namespace {

class OrdersTest : public WorldFixture {
protected:
  void SetUp() override {
    WorldFixture::SetUp();
    LoadWorld();
    Sink.Records.clear();
  }
};

}  // namespace

TEST_F(OrdersTest, OrdersQueueInArrivalOrderUntilTheOrderStageTakesThem) {
  EXPECT_EQ(Engine.GetOrderCount(), 0);
  // A move of unit 12 to zone 40, then a declaration of war of nation 0 on nation 1.
  const std::string Move = OrderRecord::OrderText(ordMove, 12, 40);
  EXPECT_EQ(Move, "1;12;40;");
  Engine.QueueOrder(Move, "Ann");
  Engine.QueueOrder(OrderRecord::OrderText(ordDeclareWar, 0, 1), "Bob");
  Engine.QueueOrder(Tokenize(";", int(ordSurrender), 2), "Ann");
  using Q = TBrenmoorEngine::TQueuedOrder;
  EXPECT_EQ(Engine.GetOrders(), (std::vector<Q>{{"1;12;40;", "Ann"}, {"28;0;1;", "Bob"}, {"43;2;", "Ann"}}));
  EXPECT_EQ(Engine.TakeOrders().size(), 3u);
  EXPECT_EQ(Engine.GetOrderCount(), 0);
  // A new game starts with an empty queue.
  Engine.QueueOrder(Move, "Ann");
  LoadWorld(false);
  EXPECT_EQ(Engine.GetOrderCount(), 0);
}

TEST_F(OrdersTest, ChangeRecordsAreTheCodeAndEachFieldFollowedBySemicolons) {
  Engine.AddChange(chRelation, 0, 1, -100);
  Engine.AddChange(chDiplomacy);
  Engine.AddChange(chStormCreated, true, false, std::string("North Sea"), 0.1f, 2.5, std::int8_t{-3}, std::uint16_t{65535});
  while (!Engine.GetUnitByID(7)) MakeUnit(0, ukArmy, zAlba, {{utInfantry, 1}});
  TUnit* Seventh = Engine.GetUnitByID(7);
  ASSERT_NE(Seventh, nullptr);
  Engine.AddUnitChange(Seventh, chUnitRemoved);
  Engine.AddUnitChange(Seventh, chBorderDefenceBuilt, 1.05f, "Kestrel");
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{"30;0;1;-100;", "52;", "27;1;0;North Sea;0.1;2.5;-3;65535;", "24;7;",
                                                    "9;7;1.05;Kestrel;"}));
  // The same text whether or not it goes out.
  EXPECT_EQ(ChangeRecord(9, 7, 1.05f, "Kestrel"), "9;7;1.05;Kestrel;");
}

TEST_F(OrdersTest, AUnitsOrderGoesOutWithItsDestinationsOrMinusOne) {
  TUnit* Army = UnitIn(zAlba, 0, ukArmy);
  TUnit* Enemy = UnitIn(zBrae, 1, ukArmy);
  ASSERT_NE(Army, nullptr);
  ASSERT_NE(Enemy, nullptr);
  const std::string Id = std::to_string(Army->ID);
  Engine.SendUnitOrder(Army);
  Army->SetOrder(ordInvade);
  Army->SetDestinationZone(Z(zBrae));
  Army->SetDestinationUnit(Enemy);
  Army->SetAttacking(true);
  Engine.SendUnitOrder(Army);
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{"3;" + Id + ";0;-1;-1;0;", "3;" + Id + ";10;1;" + std::to_string(Enemy->ID) + ";1;"}));

  // The upkeep that every machine runs alone writes nothing, also for a unit it moves.
  Sink.Records.clear();
  Engine.SetLocalOnly(true);
  Army->MoveToZone(Z(zBrae), mmReplay);
  Engine.SendUnitOrder(Army);
  Engine.AddChange(chZoneConquered, 0, 1);
  Engine.SetLocalOnly(false);
  EXPECT_TRUE(Sink.Records.empty());
}
