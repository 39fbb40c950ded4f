// The order stage and the whole impulse on the machine that runs the rules: each order code's
// record in, the state and change records out, refusals included; and each order's records
// replayed on a guest into the same game.
//
// The kit's world: Alba (Albion, units 0 army, 1 fighters), Brae (Ruritania, taken from
// Albion; 2 army, 3 bombers), North Sea (Albion's fleet 4 of transports and a carrier, army 5
// aboard, fighters 6 based on it), Channel (Freedonia's destroyers 7), Dunmore (Freedonia;
// submarines 8 docked, army 9), Ferro (Lichtenburg's rocket site; army 10), Gorse (Ruritania;
// armour 11), Hale (Freedonia). New units take the identifiers from 12 on.
#include <gtest/gtest.h>

#include <functional>
#include <optional>
#include <set>

#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

using namespace kit;
using TRecords = std::vector<std::string>;
using R = TOrderRefusal;

// Albion is played by "Ann", Freedonia by "Bob", Ruritania by the computer.
void SetPlayers(TKitWorld& W) {
  W.N(0)->SetPlayerName("Ann");
  W.N(2)->SetPlayerName("Bob");
  W.N(1)->SetComputerPlayer(true);
}

struct TOrderRow {
  const char* Name;
  std::function<void(TKitWorld&)> Setup;
  std::string Record;
  // The change records the order writes; nullopt: the check looks at them.
  std::optional<TRecords> Records;
  std::function<void(TKitWorld&, const TRecords&)> Check;
  // What the order stage answers: None when the order acted, else why it did nothing.
  TOrderRefusal Refusal = TOrderRefusal::None;
};

// A unit-cost event that halves every price.
void HalfPriceEvent(TKitWorld& W) {
  auto Event = std::make_unique<TActiveEvent>(W.Engine());
  Event->Effect = efUnitCost;
  Event->Kinds = AllUnitKinds;
  Event->AreaKind = eaEverywhere;
  Event->Factor = 0.5f;
  Event->Duration = 5;
  W.Engine().AddActiveEvent(std::move(Event));
}

const std::vector<TOrderRow>& OrderRows() {
  static const std::vector<TOrderRow> Rows = {
      {"none", [](TKitWorld& W) { W.Engine().ApplyOrder("1;1;0;"); }, "0;0;", TRecords{"3;0;0;1;-1;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Engine().GetUnitByID(0)->GetOrder(), ordNone); }},
      {"none of no unit", nullptr, "0;999;", TRecords{}, nullptr, R::NoSuchUnit},
      {"move", nullptr, "1;1;0;", TRecords{"3;0;1;1;-1;0;"},
       [](TKitWorld& W, const TRecords&) {
         TUnit* U = W.Engine().GetUnitByID(0);
         EXPECT_EQ(U->GetOrder(), ordMove);
         EXPECT_EQ(U->GetDestinationZone(), W.Z(kzBrae));
         EXPECT_FALSE(U->GetAttacking());
       }},
      {"move of unit -1", nullptr, "1;1;-1;", TRecords{}, nullptr, R::NoSuchUnit},
      {"move to a zone outside the map", nullptr, "1;99;0;", TRecords{},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Engine().GetUnitByID(0)->GetOrder(), ordNone); }, R::NoSuchZone},
      {"a code's low byte counts", nullptr, "257;1;0;", TRecords{"3;0;1;1;-1;0;"}, nullptr},
      {"launch towards the first sea neighbour", nullptr, "2;8;", TRecords{"3;8;2;3;-1;0;"}, nullptr},
      {"launch back where it came from", [](TKitWorld& W) { W.Engine().GetUnitByID(8)->SetPreviousZone(W.Z(kzNorthSea)); }, "2;8;",
       TRecords{"3;8;2;2;-1;0;"}, nullptr},
      {"retreat", [](TKitWorld& W) { W.Engine().GetUnitByID(2)->SetPreviousZone(W.Z(kzGorse)); }, "3;2;",
       TRecords{"3;2;3;6;-1;0;"}, nullptr},
      {"merge", [](TKitWorld& W) { W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}}); }, "4;0;0#12#;", TRecords{"14;0;0#12#;"},
       [](TKitWorld& W, const TRecords&) {
         EXPECT_EQ(W.Engine().GetUnitByID(12), nullptr);
         EXPECT_EQ(W.Engine().GetUnitByID(0)->GetCount(utInfantry), 6);
       }},
      {"merge of an army with fighters", nullptr, "4;0;0#1#;", TRecords{},
       [](TKitWorld& W, const TRecords&) { EXPECT_NE(W.Engine().GetUnitByID(1), nullptr); }, R::CannotMerge},
      {"dock", nullptr, "5;0;4;", TRecords{"3;4;5;0;-1;0;"}, nullptr},
      {"divide", nullptr, "6;0;" + CountsText({{utInfantry, 2}, {utArmor, 1}}) + ";", TRecords{"13;0;" + CountsText({{utInfantry, 2}, {utArmor, 1}}) + ";-1;-1;"},
       [](TKitWorld& W, const TRecords&) {
         TUnit* New = W.Engine().GetUnitByID(12);
         ASSERT_NE(New, nullptr);
         EXPECT_EQ(New->GetZone(), W.Z(kzAlba));
         EXPECT_EQ(New->GetCount(utInfantry), 2);
         EXPECT_EQ(W.Engine().GetUnitByID(0)->GetCount(utInfantry), 3);
         EXPECT_EQ(W.Engine().GetUnitByID(0)->GetCount(utArmor), 1);
       }},
      {"divide a submerged fleet", [](TKitWorld& W) { W.Engine().GetUnitByID(8)->SetSubmerged(true); }, "6;8;" + CountsText({{utSubmarine, 1}}) + ";",
       TRecords{"13;8;" + CountsText({{utSubmarine, 1}}) + ";-1;-1;"},
       [](TKitWorld& W, const TRecords&) {
         ASSERT_NE(W.Engine().GetUnitByID(12), nullptr);
         EXPECT_TRUE(W.Engine().GetUnitByID(12)->GetSubmerged());
       }},
      {"embark", nullptr, "7;0;0;4;", TRecords{"3;0;7;2;4;0;"}, nullptr},
      {"embark on no transport", nullptr, "7;0;0;999;", TRecords{}, nullptr, R::NoSuchUnit},
      {"disembark into an enemy zone attacks", nullptr, "8;1;5;", TRecords{"3;5;8;1;-1;1;"}, nullptr},
      {"disembark at home", nullptr, "8;0;5;", TRecords{"3;5;8;0;-1;0;"}, nullptr},
      {"intercept a fleet at sea", nullptr, "9;4;7;", TRecords{"3;4;9;3;7;1;"}, nullptr},
      {"intercept a fleet in port stops", nullptr, "9;4;8;", TRecords{"3;4;0;-1;-1;0;"}, nullptr},
      {"invade", nullptr, "10;1;0;", TRecords{"3;0;10;1;-1;1;"}, nullptr},
      {"patrol", nullptr, "11;4;2#3#;", TRecords{"5;4;2#3#;11;"},
       [](TKitWorld& W, const TRecords&) {
         TUnit* U = W.Engine().GetUnitByID(4);
         EXPECT_EQ(U->GetOrder(), ordPatrol);
         EXPECT_EQ(U->GetPatrolZoneCount(), 2);
         EXPECT_EQ(U->GetPatrolIndex(), 0);
         EXPECT_EQ(U->GetPatrolStep(), 1);
         EXPECT_EQ(U->GetDestinationZone(), W.Z(kzChannel));
       }},
      {"patrol of one zone", nullptr, "11;4;2#;", TRecords{}, nullptr, R::TooFewZones},
      {"patrol through no zone", nullptr, "11;4;2#99#;", TRecords{}, nullptr, R::NoSuchZone},
      {"rebase off the carrier", nullptr, "12;0;6;", TRecords{"3;6;0;-1;-1;0;", "4;6;0;-1;", "0;6;0;"},
       [](TKitWorld& W, const TRecords&) {
         TUnit* U = W.Engine().GetUnitByID(6);
         EXPECT_EQ(U->GetZone(), W.Z(kzAlba));
         EXPECT_EQ(U->GetBaseUnit(), nullptr);
         EXPECT_EQ(U->GetBaseZone(), W.Z(kzAlba));
         EXPECT_EQ(W.Engine().GetUnitByID(4)->GetBasedCount(), 0);
       }},
      {"air strike flies at once", nullptr, "13;1;1;", TRecords{"0;1;1;", "3;1;13;-1;-1;0;", "2;0;1;1;"},
       [](TKitWorld& W, const TRecords&) {
         EXPECT_EQ(W.Engine().GetUnitByID(1)->GetZone(), W.Z(kzBrae));
         EXPECT_EQ(W.Engine().GetUnitByID(1)->GetOrganization(), 100.0f);  // the order stage draws nothing
       }},
      {"atomic bomb is no order", nullptr, "14;3;", TRecords{}, nullptr, R::NoEffect},
      {"return to the base zone", [](TKitWorld& W) { W.Engine().ApplyOrder("13;1;1;"); }, "15;1;", TRecords{"0;1;0;", "3;1;0;-1;-1;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Engine().GetUnitByID(1)->GetZone(), W.Z(kzAlba)); }},
      {"return to the carrier", [](TKitWorld& W) { W.Engine().ApplyOrder("13;1;6;"); }, "15;6;", TRecords{"0;6;2;", "3;6;0;-1;-1;0;"}, nullptr},
      {"recon", nullptr, "16;1;0#1#;", TRecords{"5;1;0#1#;16;"}, nullptr},
      {"route", nullptr, "17;0;6;5;", TRecords{"10;0;6;5;"},
       [](TKitWorld& W, const TRecords&) {
         EXPECT_EQ(W.Engine().GetRoutingCount(), 1);
         EXPECT_EQ(W.Z(kzAlba)->GetResources(), 7.5f);
       }},
      {"route of more than the zone holds", nullptr, "17;0;6;20;", TRecords{"10;0;6;12;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzAlba)->GetResources(), 0.5f); }},
      {"route from a zone in debt", [](TKitWorld& W) { W.Z(kzAlba)->SetResources(-3.5f); }, "17;0;6;5;", TRecords{},
       [](TKitWorld& W, const TRecords&) {
         EXPECT_EQ(W.Engine().GetRoutingCount(), 0);
         EXPECT_EQ(W.Z(kzAlba)->GetResources(), -3.5f);
       }, R::NothingToSend},
      {"auto route to a friend", nullptr, "18;1;6;", TRecords{"11;1;6;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzGorse)); }},
      {"auto route to an enemy", nullptr, "18;0;1;", TRecords{}, nullptr, R::NotAllied},
      {"build", nullptr, "19;0;0;" + CountsText({{utInfantry, 2}, {utArmor, 1}}) + ";",
       TRecords{"12;0;0;" + CountsText({{utInfantry, 2}, {utArmor, 1}}) + ";4.5;4;"},
       [](TKitWorld& W, const TRecords&) {
         TBrenmoorZone* Z = W.Z(kzAlba);
         EXPECT_TRUE(Z->GetBuilding());
         EXPECT_EQ(Z->GetBuildKind(), ukArmy);
         EXPECT_EQ(Z->GetBuildQueue(utInfantry), 2);
         EXPECT_EQ(Z->GetBuildTotal(), 4.0f);
         EXPECT_EQ(Z->GetBuildProgressPoints(), 0.0f);
         EXPECT_EQ(Z->GetResources(), 4.5f);
       }},
      {"build in a conquered zone", nullptr, "19;1;0;" + CountsText({{utInfantry, 2}}) + ";", TRecords{"12;1;0;" + CountsText({{utInfantry, 2}}) + ";2;1.2;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzBrae)->GetBuildTotal(), 0.6f * 2.0f); }},
      {"the computer's build beyond its means", nullptr, "19;1;0;" + CountsText({{utArmor, 2}}) + ";", TRecords{},
       [](TKitWorld& W, const TRecords&) {
         TBrenmoorZone* Z = W.Z(kzBrae);
         EXPECT_FALSE(Z->GetBuilding());
         EXPECT_EQ(Z->GetBuildQueue(utArmor), 0);
         EXPECT_EQ(Z->GetResources(), 6.0f);
       }, R::CannotPay},
      {"a player's build beyond his means", nullptr, "19;0;2;" + CountsText({{utBattleship, 1}}) + ";", TRecords{"12;0;2;" + CountsText({{utBattleship, 1}}) + ";0;30;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_TRUE(W.Z(kzAlba)->GetBuilding()); }},
      {"build at half price", HalfPriceEvent, "19;0;0;" + CountsText({{utArmor, 2}}) + ";", TRecords{"12;0;0;" + CountsText({{utArmor, 2}}) + ";8.5;4;"}, nullptr},
      {"build while building", [](TKitWorld& W) { W.Z(kzAlba)->SetBuilding(true); }, "19;0;0;" + CountsText({{utInfantry, 1}}) + ";", TRecords{},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzAlba)->GetBuildQueue(utInfantry), 0); }, R::AlreadyBuilding},
      {"factory", nullptr, "20;0;", TRecords{"8;0;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzAlba)->GetFactories(), 3); }},
      {"factory at the zone's industry", [](TKitWorld& W) { W.Z(kzAlba)->SetFactories(10); }, "20;0;", TRecords{},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzAlba)->GetResources(), 12.5f); }, R::AlreadyBuilt},
      {"border defence", nullptr, "21;0;1;", TRecords{"9;0;1;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzAlba)->GetBorderDefense(W.Z(kzBrae)), 3); }},
      {"border defence at level 4", [](TKitWorld& W) { W.Z(kzAlba)->SetBorderDefense(W.Z(kzBrae), 4); }, "21;0;1;", TRecords{}, nullptr, R::AlreadyBuilt},
      {"bomb", nullptr, "22;4;3;", TRecords{"0;3;4;", "3;3;22;-1;-1;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Engine().GetUnitByID(3)->GetZone(), W.Z(kzDunmore)); }},
      {"bombard", nullptr, "23;1;4;", TRecords{"3;4;23;1;-1;0;"}, nullptr},
      {"rebase on a carrier", nullptr, "24;0;1;4;", TRecords{"3;1;0;-1;-1;0;", "4;1;2;4;", "0;1;2;"},
       [](TKitWorld& W, const TRecords&) {
         EXPECT_EQ(W.Engine().GetUnitByID(1)->GetBaseUnit(), W.Engine().GetUnitByID(4));
         EXPECT_EQ(W.Engine().GetUnitByID(1)->GetZone(), W.Z(kzNorthSea));
       }},
      {"formations", nullptr, "25;1;-#-#-#-#-#-#-#12#-#-#-#-#-#-#-#-#;", TRecords{"28;1;-#-#-#-#-#-#-#12#-#-#-#-#-#-#-#-#;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.N(1)->GetUnitCost(utAtomicBomber), 12); }},
      {"formations that cannot be read", nullptr, "25;1;x#;", TRecords{}, nullptr, R::BadFormation},
      {"base here is no order", nullptr, "26;", TRecords{}, nullptr, R::NoEffect},
      {"diplomatic action", nullptr, "27;0;3;99;", TRecords{"35;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.N(0)->GetDiplomaticActions(), 0); }},
      {"diplomatic action with none left", [](TKitWorld& W) { W.N(0)->SetDiplomaticActions(0); }, "27;0;3;99;", TRecords{}, nullptr, R::NoDiplomaticAction},
      {"declare war", nullptr, "28;2;3;", std::nullopt,
       [](TKitWorld& W, const TRecords& Records) {
         EXPECT_EQ(W.N(2)->GetRelation(W.N(3)), -100);
         ASSERT_FALSE(Records.empty());
         for (const std::string& R : Records) EXPECT_EQ(R.rfind("30;", 0), 0u) << R;
       }},
      {"declare war on oneself", nullptr, "28;2;2;", TRecords{}, nullptr},
      {"declare war on a friend held at 100", [](TKitWorld& W) {
         W.N(2)->SetRelationDirect(W.N(3), 100);
         W.N(3)->SetRelationDirect(W.N(2), 100);
       },
       "28;2;3;", TRecords{}, nullptr},
      {"submerge", nullptr, "30;8;", TRecords{"37;8;1;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_TRUE(W.Engine().GetUnitByID(8)->GetSubmerged()); }},
      {"surface", [](TKitWorld& W) { W.Engine().GetUnitByID(8)->SetSubmerged(true); }, "29;8;", TRecords{"37;8;0;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_FALSE(W.Engine().GetUnitByID(8)->GetSubmerged()); }},
      {"research", nullptr, "31;0;10#1#2#3#4#5#6#7#8#;", TRecords{"40;0;10#1#2#3#4#5#6#7#8#;"},
       [](TKitWorld& W, const TRecords&) {
         EXPECT_EQ(W.N(0)->GetResearchSpendingTotal(), 10);
         EXPECT_EQ(W.N(0)->GetResearchSpending(7), 8);
       }},
      {"rockets at an enemy", nullptr, "32;1;5;", TRecords{"45;1;5;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzFerro)->GetRocketTarget(), W.Z(kzBrae)); }},
      {"rockets at the site's own owner", [](TKitWorld& W) { W.Z(kzFerro)->SetRocketTarget(W.Z(kzBrae)); }, "32;5;5;", TRecords{"45;5;5;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzFerro)->GetRocketTarget(), nullptr); }},
      {"rocket site", nullptr, "33;0;", TRecords{"49;0;0;"}, [](TKitWorld& W, const TRecords&) { EXPECT_TRUE(W.Z(kzAlba)->GetRocketSite()); }},
      {"a second rocket site", nullptr, "33;5;", TRecords{}, nullptr, R::AlreadyBuilt},
      {"airfield", nullptr, "34;4;", TRecords{"47;4;0;"}, [](TKitWorld& W, const TRecords&) { EXPECT_TRUE(W.Z(kzDunmore)->IsAirfield()); }},
      {"a second airfield", nullptr, "34;0;", TRecords{}, nullptr, R::AlreadyBuilt},
      {"port", nullptr, "35;4;", TRecords{"48;4;0;"}, [](TKitWorld& W, const TRecords&) { EXPECT_TRUE(W.Z(kzDunmore)->IsPort()); }},
      {"a second port", nullptr, "35;0;", TRecords{}, nullptr, R::AlreadyBuilt},
      {"embark and divide into a room of 3",
       [](TKitWorld& W) {
         W.MakeUnit(0, ukNavy, kzNorthSea, {{utTransport, 2}});               // 12, room 4
         W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}});                    // 13, fits whole
         W.MakeUnit(0, ukArmy, kzAlba, {{utArmor, 2}, {utInfantry, 1}});      // 14, then room 3
         ASSERT_EQ(W.Engine().GetUnitByID(12)->GetTransportRoom(), 4);
       },
       "36;0;2;12;13#14#;", TRecords{"3;13;7;2;12;0;", "13;14;" + CountsText({{utInfantry, 1}, {utArmor, 1}}) + ";2;12;"},
       [](TKitWorld& W, const TRecords&) {
         TUnit* Split = W.Engine().GetUnitByID(15);
         ASSERT_NE(Split, nullptr);
         EXPECT_EQ(Split->GetCount(utArmor), 1);
         EXPECT_EQ(Split->GetCount(utInfantry), 1);
         EXPECT_EQ(Split->GetOrder(), ordEmbark);
         EXPECT_EQ(Split->GetDestinationUnit(), W.Engine().GetUnitByID(12));
         EXPECT_EQ(W.Engine().GetUnitByID(14)->GetCount(utArmor), 1);
         EXPECT_EQ(W.Engine().GetUnitByID(14)->GetCount(utInfantry), 0);
       }},
      {"carrier takes a whole wing", [](TKitWorld& W) { W.MakeUnit(0, ukAirForce, kzAlba, {{utFighter, 1}}); }, "37;0;2;4;12#1#;",
       TRecords{"3;12;0;-1;-1;0;", "4;12;2;4;", "0;12;2;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Engine().GetUnitByID(1)->GetZone(), W.Z(kzAlba)); }},
      {"carrier takes part of a wing", nullptr, "37;0;2;4;1#;", TRecords{"13;1;" + CountsText({{utFighter, 1}}) + ";2;4;", "0;12;2;"},
       [](TKitWorld& W, const TRecords&) {
         TUnit* Split = W.Engine().GetUnitByID(12);
         ASSERT_NE(Split, nullptr);
         EXPECT_EQ(Split->GetBaseUnit(), W.Engine().GetUnitByID(4));
         EXPECT_EQ(Split->GetCount(utFighter), 1);
         EXPECT_EQ(W.Engine().GetUnitByID(1)->GetCount(utFighter), 2);
       }},
      {"kamikaze of an army", nullptr, "38;0;", TRecords{}, nullptr, R::CannotTakeOrder},
      {"rename", nullptr, "39;0;Old Guard;", TRecords{"51;0;Old Guard;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Engine().GetUnitByID(0)->GetCustomName(), "Old Guard"); }},
      {"global route", nullptr, "40;1;2;", TRecords{"53;1;2;"}, nullptr},
      {"global clear", [](TKitWorld& W) { W.Z(kzBrae)->SetSupplySource(W.Z(kzGorse)); }, "41;1;", TRecords{"54;1;"},
       [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzBrae)); }},
      {"port zone", nullptr, "42;0;2;", TRecords{"55;0;2;"}, [](TKitWorld& W, const TRecords&) { EXPECT_EQ(W.Z(kzAlba)->GetPortZone(), W.Z(kzNorthSea)); }},
      {"surrender", nullptr, "43;Ann;", TRecords{"56;Ann;"},
       [](TKitWorld& W, const TRecords&) {
         for (const TUnit* U : W.Engine().GetUnits()) EXPECT_NE(U->GetOwner(), W.N(0)) << U->ID;
       }},
      {"code 44", nullptr, "44;0;", TRecords{}, nullptr, R::UnknownCode},
  };
  return Rows;
}

}  // namespace

TEST(OrderStageTest, EachOrderCodeGivesItsStateAndRecords) {
  std::set<int> Codes;
  for (const TOrderRow& Row : OrderRows()) {
    SCOPED_TRACE(Row.Name);
    TKitWorld W;
    SetPlayers(W);
    if (Row.Setup) Row.Setup(W);
    W.Sink.Records.clear();
    // The order stage draws no random number, except a declaration of war's drift.
    TForbiddenRandom None;
    if (Row.Record.rfind("28;", 0) != 0) W.Engine().SetRandomGenerator(&None);
    EXPECT_EQ(W.Engine().ApplyOrder(Row.Record), Row.Refusal) << Row.Record;
    W.Engine().SetRandomGenerator(nullptr);
    if (Row.Records) {
      EXPECT_EQ(W.Sink.Records, *Row.Records);
    }
    if (Row.Check) Row.Check(W, W.Sink.Records);
    EXPECT_EQ(CheckInvariants(W.Engine()), "");
    Codes.insert(std::atoi(Row.Record.c_str()) & 0xFF);
  }
  for (int Code = 0; Code < OrderTypeCount; ++Code) EXPECT_TRUE(Codes.count(Code)) << "order code " << Code;
}

TEST(OrderStageTest, EachOrdersRecordsReplayOnAGuestIntoTheSameGame) {
  for (const TOrderRow& Row : OrderRows()) {
    SCOPED_TRACE(Row.Name);
    TTwoEngineHarness Harness(7);
    for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) {
      SetPlayers(*W);
      if (Row.Setup) Row.Setup(*W);
    }
    const std::string Fault = Harness.RunImpulse([&](TKitWorld& H, std::int32_t Impulse) {
      H.Engine().ApplyOrder(Row.Record);
      H.Engine().Execution().ExecuteUnits(Impulse);
      H.Engine().EndOfImpulse().EndOfImpulseStages(Impulse, 500, 200);
    });
    EXPECT_EQ(Fault, "");
  }
}

TEST(OrderStageTest, AUnitAimedAtIsKnownByItsNewNameOnEveryMachine) {
  TTwoEngineHarness Harness(3);
  for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) W->Engine().ApplyOrder("9;4;7;");
  // The rename, then an order record of the fleet that still aims at the destroyers.
  const std::string Fault = Harness.RunImpulse([](TKitWorld& H, std::int32_t) {
    H.Engine().ApplyOrder("39;7;Raider;");
    H.Engine().SendUnitOrder(H.Engine().GetUnitByID(4));
  });
  EXPECT_EQ(Fault, "");
  EXPECT_EQ(Harness.Host().Engine().GetUnitByID(4)->GetDestinationUnitName(), "Raider");
}

TEST(OrderStageTest, FiveImprovementsOnAHundredLeaveNothingAndNeverLess) {
  TKitWorld W;
  TBrenmoorZone* Hale = W.Z(kzHale);
  Hale->SetResources(100.0f);
  for (const char* Record : {"20;7;", "21;7;6;", "21;7;3;", "34;7;", "35;7;"}) W.Engine().ApplyOrder(Record);
  EXPECT_EQ(Hale->GetResources(), 0.0f);
  EXPECT_EQ(W.Sink.Records, (TRecords{"8;7;75;", "9;7;6;50;", "9;7;3;25;", "47;7;0;", "48;7;0;"}));
}

TEST(OrderStageTest, ASurrenderIsRecordedBeforeThePlayersUnitsGo) {
  TKitWorld W;
  SetPlayers(W);
  std::vector<std::size_t> RecordsAtRemoval;
  W.Engine().OnRemoveUnit = [&](TBrenmoorEngine*, TUnit*) { RecordsAtRemoval.push_back(W.Sink.Records.size()); };
  W.Engine().ApplyOrder("43;Ann;");
  W.Engine().OnRemoveUnit = nullptr;
  ASSERT_FALSE(RecordsAtRemoval.empty());
  EXPECT_EQ(RecordsAtRemoval.front(), 1u);
  EXPECT_EQ(W.Sink.Records, (TRecords{"56;Ann;"}));
}

TEST(OrderStageTest, AnImpulseRunsTheCheckedOrdersThenTheUnitsAndTheStages) {
  TKitWorld W;
  SetPlayers(W);
  TBrenmoorEngine& E = W.Engine();
  E.SetImpulse(9);
  E.SetPendingRandomEvent(nullptr);
  E.GetUnitByID(0)->SetDamaged(utInfantry, 2);
  // Ann moves her army; Bob's record for Ann's army is not his to give.
  E.QueueOrder("1;1;0;", "Ann");
  E.QueueOrder("10;1;0;", "Bob");
  bool Running = false;
  E.OnAirStrikeZone = [&](TBrenmoorEngine* Sender, TNation*, TBrenmoorZone*) { Running = Sender->IsImpulseRunning(); };
  E.QueueOrder("13;1;1;", "Ann");
  E.ProcessImpulse();
  EXPECT_TRUE(Running);
  EXPECT_FALSE(E.IsImpulseRunning());
  EXPECT_EQ(E.GetOrderCount(), 0);
  TUnit* Army = E.GetUnitByID(0);
  // The impulse's damage was cleared before the units fought.
  EXPECT_EQ(Army->GetCount(utInfantry), 5);
  EXPECT_EQ(Army->GetOrder(), ordMove);
  EXPECT_FALSE(Army->GetAttacking());
  ASSERT_GE(W.Sink.Records.size(), 2u);
  EXPECT_EQ(W.Sink.Records[0], "3;0;1;1;-1;0;");
  EXPECT_EQ(W.Sink.Records[1], "0;1;1;");
  // The end-of-impulse stages ran: the embattled zones' record goes out every impulse.
  EXPECT_NE(std::find_if(W.Sink.Records.begin(), W.Sink.Records.end(), [](const std::string& R) { return R.rfind("6;", 0) == 0; }),
            W.Sink.Records.end());
}

TEST(OrderStageTest, BombersClearedByCombatBombInTheNextImpulseAndTheGuestFollows) {
  TTwoEngineHarness Harness(11);
  for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) SetPlayers(*W);
  int Bombings = 0;
  for (int I = 0; I < 4; ++I) {
    const std::string Fault = Harness.RunImpulse([&](TKitWorld& H, std::int32_t Impulse) {
      if (Impulse == 0) H.Engine().QueueOrder("22;4;3;", "");
      H.Engine().SetImpulse(Impulse);
      H.Engine().ProcessImpulse();
    });
    ASSERT_EQ(Fault, "");
    for (const std::string& R : Harness.LastRecords())
      if (R.rfind("19;1;4;", 0) == 0) ++Bombings;
    // Combat clears the bombers over Dunmore at the end of the first impulse; they bomb from
    // the second on.
    if (I == 0) {
      EXPECT_EQ(Bombings, 0);
    }
  }
  EXPECT_EQ(Bombings, 3);
  EXPECT_LT(Harness.Guest().Z(kzDunmore)->GetResources(), 4.0f);
}

namespace {

// "Host" runs the rules; "Ann" plays Albion and "Bob" Freedonia.
struct TUsers : TKitUsers {
  TUsers() { Names = {"Host", "Ann", "Bob"}; }
};

// The harness's step: a few seeded records each impulse, mostly what their senders may give
// and now and then one they may not, then the impulse on the host.
class TOrderStream {
public:
  explicit TOrderStream(std::uint64_t Seed) : FOrders(Seed) { FOrders.Users = TUsers().Names; }

  void operator()(TKitWorld& W, std::int32_t) {
    TBrenmoorEngine& E = W.Engine();
    for (const TGeneratedOrder& O : FOrders.Generate(E, FOrders.Pick().Random(5))) {
      Hostiles += O.Hostile;
      E.QueueOrder(O.Record, O.Sender);
    }
    E.ProcessImpulse();
  }
  int Hostiles = 0;

private:
  TRandomOrders FOrders;
};

}  // namespace

TEST(OrderStageTest, AGuestFollowsLongGamesOfCheckedOrdersImpulseByImpulse) {
  std::set<int> Changes;
  for (std::uint64_t Seed : {5u, 77u, 2024u}) {
    TTwoEngineHarness Harness(Seed);
    TUsers HostUsers, GuestUsers;
    SetPlayers(Harness.Host());
    SetPlayers(Harness.Guest());
    Harness.Host().Engine().SetImpulseUsers(&HostUsers);
    Harness.Guest().Engine().SetImpulseUsers(&GuestUsers);
    TOrderStream Stream(Seed * 13 + 1);
    for (int I = 0; I < LongGameImpulses(800); ++I) {
      // Late in one game Bob gives up.
      if (Seed == 77u && I == LongGameImpulses(600)) Harness.Host().Engine().QueueOrder("43;Bob;", "Bob");
      const std::string Fault = Harness.RunImpulse(std::ref(Stream));
      ASSERT_EQ(Fault, "") << "seed " << Seed;
      for (const std::string& Record : Harness.LastRecords()) Changes.insert(std::stoi(Record));
    }
    EXPECT_GT(Stream.Hostiles, 0);
    Harness.Host().Engine().SetImpulseUsers(nullptr);
    Harness.Guest().Engine().SetImpulseUsers(nullptr);
  }
  // Every record that an order writes went through, and the stages' records with them (in
  // the whole games; a sanitizer build's shortened ones only keep host and guest together).
  if (!LongGamesRunInFull) return;
  for (int Code : {0, 1, 2, 3, 4, 5, 6, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24, 28, 29, 30, 31,
                   32, 33, 35, 36, 37, 40, 41, 42, 43, 45, 46, 47, 48, 49, 51, 53, 54, 55, 56})
    EXPECT_TRUE(Changes.count(Code)) << "change " << Code;
}

TEST(OrderStageTest, ALateJoinerLoadsTheHostsSavedGameAndFollowsItsRecords) {
  const TScenarioFolder Folder("kit.brmscen", KitScenarioText);
  TTwoEngineHarness Harness(91, KitScenarioText, "kit.brmscen");
  TUsers HostUsers, GuestUsers;
  SetPlayers(Harness.Host());
  SetPlayers(Harness.Guest());
  Harness.Host().Engine().SetImpulseUsers(&HostUsers);
  Harness.Guest().Engine().SetImpulseUsers(&GuestUsers);
  TOrderStream Stream(4242);
  // The late machine's game, draws, records and events are compared with the host's after
  // every impulse from its join on.
  for (int I = 0; I < LongGameImpulses(400); ++I) {
    if (I == LongGameImpulses(150)) Harness.JoinLate();
    ASSERT_EQ(Harness.RunImpulse(std::ref(Stream)), "") << "impulse " << I;
  }
  ASSERT_NE(Harness.Late(), nullptr);
  Harness.Host().Engine().SetImpulseUsers(nullptr);
  Harness.Guest().Engine().SetImpulseUsers(nullptr);
}
