// The order functions: the records each writes for a small script, the checks that refuse an
// order, and the stateful functions (patrol route, nearest enemy, brain data, random numbers,
// version, output and chat).
#include <functional>

#include "PlayersFixture.h"
#include "foundation/ProcessMessages.h"

namespace players_test {
namespace {

using kit::kzAlba;
using kit::kzBrae;
using kit::kzChannel;
using kit::kzDunmore;
using kit::kzFerro;
using kit::kzGorse;
using kit::kzHale;
using kit::kzNorthSea;

// The kit's units: Albion's army (5 Infantry, 2 Armor) and fighters (3) in Alba, its fleet
// (2 Transports, 1 Carrier) in the North Sea with an army aboard and 2 fighters based;
// Ruritania's army and bombers in Brae; Freedonia's destroyers in the Channel.
struct TKitUnits {
  explicit TKitUnits(kit::TKitWorld& W)
      : Army(W.UnitIn(kzAlba, 0, ukArmy)),
        Fighters(W.UnitIn(kzAlba, 0, ukAirForce)),
        Fleet(W.UnitIn(kzNorthSea, 0, ukNavy)),
        Cargo(W.UnitIn(kzNorthSea, 0, ukArmy)),
        Based(W.UnitIn(kzNorthSea, 0, ukAirForce)),
        RuriArmy(W.UnitIn(kzBrae, 1, ukArmy)),
        RuriBombers(W.UnitIn(kzBrae, 1, ukAirForce)),
        Destroyers(W.UnitIn(kzChannel, 2, ukNavy)) {}
  TUnit* Army;
  TUnit* Fighters;
  TUnit* Fleet;
  TUnit* Cargo;
  TUnit* Based;
  TUnit* RuriArmy;
  TUnit* RuriBombers;
  TUnit* Destroyers;
};

struct TOrderCase {
  const char* Name;
  int Nation;
  // Prepares the world and gives the script and the records it must issue, in order.
  std::function<std::pair<std::string, std::vector<std::string>>(TPlayersFixture& F, TKitUnits& U)> Make;
  // What the records did once the rules carried them out in an impulse (none: nothing
  // further checked than that the rules take them).
  std::function<void(TPlayersFixture& F, TKitUnits& U)> Effect = nullptr;
};

std::ostream& operator<<(std::ostream& S, const TOrderCase& C) { return S << C.Name; }

void BuildingAllowed(TPlayersFixture& F, float Resources) {
  F.Engine().SetEngineOptions(0x80);
  F.World.Z(kzAlba)->SetResources(Resources);
}

// Albion also holds Hale (not a port, not an airfield, on the Channel's coast).
void AlbionHoldsHale(TPlayersFixture& F) { F.World.Z(kzHale)->SetOwner(F.World.N(0)); }

const std::string NoCounts = "0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#";

const TOrderCase OrderCases[] = {
    {"Clear", 0, [](auto& F, auto& U) {
       U.Army->SetOrder(ordMove);
       return std::pair{"OrderUnitClear(" + F.I(U.Army) + ")", std::vector{"0;" + Id(U.Army) + ";"}}; }},
    {"Move", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitMove(" + F.I(U.Army) + ", 1)", std::vector{"1;1;" + Id(U.Army) + ";"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(U.Army->GetDestinationZone(), F.World.Z(kzBrae));
     }},
    {"Invade", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitInvade(" + F.I(U.Army) + ", 1)", std::vector{"10;1;" + Id(U.Army) + ";"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(U.Army->GetOrder(), ordInvade); EXPECT_TRUE(U.Army->GetAttacking());
     }},
    {"AirStrike", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitAirStrike(" + F.I(U.Fighters) + ", 1)", std::vector{"13;1;" + Id(U.Fighters) + ";"}};
     }},
    {"Bomb", 1,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitBomb(" + F.I(U.RuriBombers, 1) + ", 0)", std::vector{"22;0;" + Id(U.RuriBombers) + ";"}};
     }},
    {"DividePctRoundsHalvesToEven", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitDividePct(" + F.I(U.Army) + ", 50)",
                        std::vector{"6;" + Id(U.Army) + ";0#0#0#2#1#0#0#0#0#0#0#0#0#0#0#0#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(U.Army->GetCount(utInfantry), 3); EXPECT_EQ(U.Army->GetCount(utArmor), 1);
       ASSERT_EQ(F.World.Z(kzAlba)->GetUnitCount(), 3); const TUnit* Split = F.World.Z(kzAlba)->GetUnit(2);
       EXPECT_EQ(Split->GetCount(utInfantry), 2); EXPECT_EQ(Split->GetCount(utArmor), 1);
     }},
    {"Merge", 0,
     [](auto& F, auto& U) {
       TUnit* Other = F.World.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}});
       return std::pair{"OrderUnitMerge(" + F.I(U.Army) + ", " + F.I(Other) + ")",
                        std::vector{"4;0;" + Id(U.Army) + "#" + Id(Other) + "#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(F.World.Z(kzAlba)->GetUnitCount(), 2); EXPECT_EQ(F.World.UnitIn(kzAlba, 0, ukArmy)->GetCount(utInfantry), 6);
     }},
    {"ConsolidateByKindArmyNavyAir", 0,
     [](auto& F, auto& U) {
       TUnit* Other = F.World.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}});
       return std::pair{std::string("OrderZoneConsolidate(0)"),
                        std::vector{"4;0;" + Id(U.Army) + "#" + Id(Other) + "#;", "4;0;" + Id(U.Fighters) + "#;"}};
     }},
    {"RebaseOntoCarrierDividing", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitRebaseCarrier(" + F.I(U.Fighters) + ", " + F.I(U.Fleet) + ", true)",
                        std::vector{"37;0;2;" + Id(U.Fleet) + ";" + Id(U.Fighters) + "#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(U.Fighters->GetCount(utFighter), 2); EXPECT_EQ(U.Fleet->GetBasedCount(), 2); EXPECT_EQ(U.Fleet->GetCarrierRoom(), 0);
     }},
    {"RebaseOntoCarrierWhole", 0,
     [](auto& F, auto& U) {
       TUnit* One = F.World.MakeUnit(0, ukAirForce, kzAlba, {{utFighter, 1}});
       return std::pair{"OrderUnitRebaseCarrier(" + F.I(U.Fighters) + ", " + F.I(U.Fleet) + ", false); " +
                            "OrderUnitRebaseCarrier(" + F.I(One) + ", " + F.I(U.Fleet) + ", false)",
                        std::vector{"24;2;" + Id(One) + ";" + Id(U.Fleet) + ";"}};
     }},
    {"DisembarkAll", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitDisembarkAll(" + F.I(U.Fleet) + ", 0)", std::vector{"8;0;" + Id(U.Cargo) + ";"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(U.Cargo->GetOrder(), ordDisembark);
     }},
    {"Disembark", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitDisembark(" + F.I(U.Cargo) + ", 0)", std::vector{"8;0;" + Id(U.Cargo) + ";"}};
     }},
    {"Embark", 0,
     [](auto& F, auto& U) {
       TUnit* Small = F.World.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}});
       // The big army outweighs the transports' room of 2.
       return std::pair{"OrderUnitEmbark(" + F.I(U.Army) + ", " + F.I(U.Fleet) + "); OrderUnitEmbark(" + F.I(Small) + ", " +
                            F.I(U.Fleet) + ")",
                        std::vector{"7;2;" + Id(Small) + ";" + Id(U.Fleet) + ";"}};
     }},
    {"Patrol", 0,
     [](auto& F, auto& U) {
       return std::pair{"ClearPatrolZones(2); AddPatrolZone(3); AddPatrolZone(7); AddPatrolZone(3); OrderUnitPatrol(" +
                            F.I(U.Fleet) + ")",
                        std::vector{"11;" + Id(U.Fleet) + ";3#7#3#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(U.Fleet->GetOrder(), ordPatrol); ASSERT_EQ(U.Fleet->GetPatrolZoneCount(), 3);
       EXPECT_EQ(U.Fleet->GetPatrolZone(1), F.World.Z(kzHale));
     }},
    {"PatrolIgnoresAZoneThatIsNoNeighbour", 0,
     [](auto& F, auto& U) {
       return std::pair{"ClearPatrolZones(2); AddPatrolZone(3); AddPatrolZone(0); AddPatrolZone(2); OrderUnitPatrol(" +
                            F.I(U.Fleet) + ")",
                        std::vector{"11;" + Id(U.Fleet) + ";3#2#;"}};
     }},
    {"Recon", 0,
     [](auto& F, auto& U) {
       return std::pair{"ClearPatrolZones(0); AddPatrolZone(1); AddPatrolZone(0); OrderUnitRecon(" + F.I(U.Fighters) + ")",
                        std::vector{"16;" + Id(U.Fighters) + ";1#0#;"}};
     }},
    {"Rebase", 0,
     [](auto& F, auto& U) {
       AlbionHoldsHale(F);
       F.World.Z(kzHale)->SetAirfield(true);
       return std::pair{"OrderUnitRebase(" + F.I(U.Fighters) + ", 7)", std::vector{"12;7;" + Id(U.Fighters) + ";"}};
     }},
    {"Dock", 0,
     [](auto& F, auto& U) { return std::pair{"OrderUnitDock(" + F.I(U.Fleet) + ", 0)", std::vector{"5;0;" + Id(U.Fleet) + ";"}}; }},
    {"Bombard", 0,
     [](auto& F, auto& U) {
       // Only battleships bombard.
       TUnit* Battleships = F.World.MakeUnit(0, ukNavy, kzNorthSea, {{utBattleship, 1}});
       return std::pair{"OrderUnitBombard(" + F.I(U.Fleet) + ", 1); OrderUnitBombard(" + F.I(Battleships) + ", 1)",
                        std::vector{"23;1;" + Id(Battleships) + ";"}};
     }},
    {"Intercept", 2,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitIntercept(" + F.I(U.Destroyers, 2) + ", " + F.I(U.Fleet, 2) + ")",
                        std::vector{"9;" + Id(U.Destroyers) + ";" + Id(U.Fleet) + ";"}};
     }},
    {"Submerge", 2,
     [](auto& F, auto&) {
       TUnit* Subs = F.World.MakeUnit(2, ukNavy, kzChannel, {{utSubmarine, 2}});
       return std::pair{"OrderUnitSubmerge(" + F.I(Subs, 2) + ")", std::vector{"30;" + Id(Subs) + ";"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_TRUE(F.World.Z(kzChannel)->GetUnit(F.World.Z(kzChannel)->GetUnitCount() - 1)->GetSubmerged());
     }},
    {"RouteLowersTheAmountToTheWholeResources", 0,
     [](auto& F, auto&) {
       AlbionHoldsHale(F);
       return std::pair{std::string("OrderRouteResources(0, 7, 100)"), std::vector<std::string>{"17;0;7;12;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       ASSERT_EQ(F.Engine().GetRoutingCount(), 1); EXPECT_EQ(F.Engine().GetRouting(0)->Amount, 12);
     }},
    {"AutoRoute", 0,
     [](auto& F, auto&) {
       AlbionHoldsHale(F);
       return std::pair{std::string("OrderAutoRouteResources(0, 7)"), std::vector<std::string>{"18;0;7;"}};
     }},
    {"BuildArmyCosting18", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 18);
       return std::pair{std::string("OrderBuildArmy(0, 0, 0, 5, 2)"),
                        std::vector<std::string>{"19;0;0;0#0#0#5#2#0#0#0#0#0#0#0#0#0#0#0#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_TRUE(F.World.Z(kzAlba)->GetBuilding());
     }},
    {"BuildNavyOfMerchantsWithoutFactories", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 20);
       F.World.Z(kzAlba)->SetFactories(0);
       return std::pair{std::string("OrderBuildNavy(0, 0, 1, 0, 0, 0, 0, 0); OrderBuildNavy(0, 2, 0, 0, 0, 0, 0, 0)"),
                        std::vector<std::string>{"19;0;2;2#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#;"}};
     }},
    {"BuildAirForceWithoutJetsOrAtomicBombersUnresearched", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 100);
       F.World.Z(kzAlba)->SetFactories(0);
       return std::pair{std::string("OrderBuildAirForce(0, 1, 0, 0, 1, 1)"),
                        std::vector<std::string>{"19;0;1;0#0#0#0#0#1#0#0#0#0#0#0#0#0#0#0#;"}};
     }},
    {"BuildFactory", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 25);
       return std::pair{std::string("OrderBuildFactory(0)"), std::vector<std::string>{"20;0;"}};
     }},
    {"BuildBorderDefense", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 30);
       return std::pair{std::string("OrderBuildBorderDefense(0, 2); OrderBuildBorderDefense(0, 1)"),
                        std::vector<std::string>{"21;0;2;", "21;0;1;"}};
     }},
    {"TargetRocketWritesTheTargetFirst", 0,
     [](auto& F, auto&) {
       F.World.Z(kzAlba)->SetRocketSite(true);
       return std::pair{std::string("OrderTargetRocket(0, 1)"), std::vector<std::string>{"32;1;0;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(F.World.Z(kzAlba)->GetRocketTarget(), F.World.Z(kzBrae));
     }},
    {"TargetRocketAtItsOwnSite", 0,
     [](auto& F, auto&) {
       F.World.Z(kzAlba)->SetRocketSite(true);
       return std::pair{std::string("OrderTargetRocket(0, 0)"), std::vector<std::string>{"32;0;0;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(F.World.Z(kzAlba)->GetRocketTarget(), nullptr);
     }},
    {"BuildRocket", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 30);
       F.World.N(0)->SetResearchProgress(7, 60);
       return std::pair{std::string("OrderBuildRocket(0)"), std::vector<std::string>{"33;0;"}};
     }},
    {"BuildAirfieldAndPort", 0,
     [](auto& F, auto&) {
       F.Engine().SetEngineOptions(0x80);
       AlbionHoldsHale(F);
       F.World.Z(kzHale)->SetResources(30);
       return std::pair{std::string("OrderBuildAirfield(0); OrderBuildAirfield(7); OrderBuildPort(0); OrderBuildPort(7)"),
                        std::vector<std::string>{"34;7;", "35;7;"}};
     }},
    {"GlobalRouteAndClear", 0,
     [](auto&, auto&) {
       return std::pair{std::string("OrderGlobalRouteResources(0, 3); OrderGlobalClearResources(99)"),
                        std::vector<std::string>{"40;0;3;", "41;0;"}};
     }},
    {"Formations", 0,
     [](auto&, auto&) {
       return std::pair{std::string("OrderChangeFormations(10, 15, 20, 25, 30, 35, 40, 45, 50, 55, 60, 65, 70, 75, 200)"),
                        std::vector<std::string>{"25;0;45#10#15#20#25#30#35#40#-#50#55#60#65#70#75#-#;"}};
     }},
    {"Diplomatic", 0,
     [](auto&, auto&) { return std::pair{std::string("OrderDiplomatic(2, 1)"), std::vector<std::string>{"27;0;2;1;"}}; },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(F.World.N(0)->GetDiplomaticActions(), 0);
     }},
    {"ResearchSpendingHeldTo100", 0,
     [](auto& F, auto&) {
       for (int G = 0; G < ResearchGroupCount; ++G) F.World.N(0)->SetResearchSpending(G, static_cast<std::uint8_t>(G));
       return std::pair{std::string("OrderChangeResearchSpending(150)"), std::vector<std::string>{"31;0;100#0#1#2#3#4#5#6#7#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(F.World.N(0)->GetResearchSpendingTotal(), 100);
     }},
    {"ResearchLevelHeldTo10", 0,
     [](auto& F, auto&) {
       for (int G = 0; G < ResearchGroupCount; ++G) F.World.N(0)->SetResearchSpending(G, static_cast<std::uint8_t>(G));
       F.World.N(0)->SetResearchSpendingTotal(40);
       return std::pair{std::string("OrderChangeResearchLevel(2, 12)"), std::vector<std::string>{"31;0;40#0#1#10#3#4#5#6#7#;"}};
     },
     [](auto& F, auto& U) {
       (void)F, (void)U;
       EXPECT_EQ(F.World.N(0)->GetResearchSpending(2), 10);
     }},
};

class TOrderTable : public TPlayersFixture, public ::testing::WithParamInterface<TOrderCase> {};

TEST_P(TOrderTable, WritesExactlyTheRecordsOfTheOrder) {
  TKitUnits U(World);
  auto [Script, Expected] = GetParam().Make(*this, U);
  EXPECT_EQ(Run(Script, GetParam().Nation), Expected) << Script;
}

TEST_P(TOrderTable, TheRulesTakeTheRecordsAndCarryThemOut) {
  TKitUnits U(World);
  for (int N = 0; N < 3; ++N) World.N(N)->SetComputerPlayer(true);
  auto [Script, Expected] = GetParam().Make(*this, U);
  for (const std::string& Record : Run(Script, GetParam().Nation)) {
    EXPECT_EQ(Engine().CheckOrder(Record, "Host"), TOrderRefusal::None) << Record;
    Engine().QueueOrder(Record, "Host");
  }
  Engine().ProcessImpulse();
  EXPECT_EQ(kit::CheckInvariants(Engine()), "");
  if (GetParam().Effect) GetParam().Effect(*this, U);
}

INSTANTIATE_TEST_SUITE_P(Orders, TOrderTable, ::testing::ValuesIn(OrderCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

// Scripts whose orders fail a check: nothing is issued and the run goes on.
const TOrderCase RefusedCases[] = {
    {"AnotherNationsUnit", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitMove(" + F.I(U.RuriArmy) + ", 0); OrderUnitDividePct(" + F.I(U.RuriArmy) + ", 50)",
                        std::vector<std::string>{}};
     }},
    {"DividePctOutside0To100", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitDividePct(" + F.I(U.Army) + ", 101); OrderUnitDividePct(" + F.I(U.Army) + ", -50)",
                        std::vector<std::string>{}};
     }},
    {"NegativeBuildCounts", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 20);
       return std::pair{std::string("OrderBuildArmy(0, -5, 0, 5, 2); OrderBuildNavy(0, 0, 0, 0, 0, 0, 0, -1); "
                                    "OrderBuildAirForce(0, -1, 0, 0, 0, 0)"),
                        std::vector<std::string>{}};
     }},
    {"BuildCostAboveTheResources", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 17.5f);
       return std::pair{std::string("OrderBuildArmy(0, 0, 0, 5, 2)"), std::vector<std::string>{}};
     }},
    {"BuildingNeedsTheEngineOption", 0,
     [](auto& F, auto&) {
       F.World.Z(kzAlba)->SetResources(100);
       return std::pair{std::string("OrderBuildArmy(0, 0, 0, 1, 0); OrderBuildFactory(0)"), std::vector<std::string>{}};
     }},
    {"ArmyAndWarshipsNeedFactories", 0,
     [](auto& F, auto&) {
       BuildingAllowed(F, 100);
       F.World.Z(kzAlba)->SetFactories(0);
       return std::pair{std::string("OrderBuildArmy(0, 0, 0, 1, 0); OrderBuildNavy(0, 1, 0, 1, 0, 0, 0, 0)"),
                        std::vector<std::string>{}};
     }},
    {"RouteAmountOfZeroOrLess", 0,
     [](auto& F, auto&) {
       AlbionHoldsHale(F);
       return std::pair{std::string("OrderRouteResources(0, 7, 0); OrderRouteResources(0, 7, -20)"), std::vector<std::string>{}};
     }},
    {"RouteToAZoneOfNoAlly", 0,
     [](auto&, auto&) { return std::pair{std::string("OrderRouteResources(0, 1, 5)"), std::vector<std::string>{}}; }},
    {"MergeWithAnotherNationsUnit", 0,
     [](auto& F, auto& U) {
       TUnit* Foreign = F.World.MakeUnit(1, ukArmy, kzAlba, {{utInfantry, 1}});
       return std::pair{"OrderUnitMerge(" + F.I(U.Army) + ", " + F.I(Foreign) + "); OrderUnitMerge(" + F.I(Foreign) + ", " +
                            F.I(U.Army) + ")",
                        std::vector<std::string>{}};
     }},
    {"MergeAcrossZones", 0,
     [](auto& F, auto& U) {
       TUnit* Away = F.World.MakeUnit(0, ukArmy, kzBrae, {{utInfantry, 1}});
       return std::pair{"OrderUnitMerge(" + F.I(U.Army) + ", " + F.I(Away) + ")", std::vector<std::string>{}};
     }},
    {"DiplomaticTargetOrActionOutOfRange", 0,
     [](auto&, auto&) {
       return std::pair{std::string("OrderDiplomatic(0, 1); OrderDiplomatic(4, 1); OrderDiplomatic(-1, 1); "
                                    "OrderDiplomatic(2, 8); OrderDiplomatic(2, -1)"),
                        std::vector<std::string>{}};
     }},
    {"DiplomaticWithoutActionsLeft", 0,
     [](auto& F, auto&) {
       F.World.N(0)->SetDiplomaticActions(0);
       return std::pair{std::string("OrderDiplomatic(2, 1)"), std::vector<std::string>{}};
     }},
    {"InvadeNoNeighbourOrOwnOrNone", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitInvade(" + F.I(U.Army) + ", 6); OrderUnitInvade(" + F.I(U.Army) + ", 0); OrderUnitInvade(" +
                            F.I(U.Army) + ", -1)",
                        std::vector<std::string>{}};
     }},
    {"AirStrikeOnAZoneThatCannotBeAttacked", 0,
     [](auto& F, auto& U) {
       return std::pair{"OrderUnitAirStrike(" + F.I(U.Fighters) + ", 4); OrderUnitAirStrike(" + F.I(U.Fighters) + ", -1)",
                        std::vector<std::string>{}};
     }},
    {"TargetRocketWithoutSite", 0,
     [](auto&, auto&) { return std::pair{std::string("OrderTargetRocket(0, 1)"), std::vector<std::string>{}}; }},
    {"PatrolRouteOfAnotherGamesMap", 0,
     [](auto& F, auto& U) {
       F.Module.PatrolStart = 40;
       F.Module.PatrolZones = {41, 42};
       return std::pair{"OrderUnitPatrol(" + F.I(U.Fleet) + "); AddPatrolZone(3); OrderUnitRecon(" + F.I(U.Fighters) + ")",
                        std::vector<std::string>{}};
     }},
    {"PatrolOfFewerThanTwoZones", 0,
     [](auto& F, auto& U) {
       return std::pair{"ClearPatrolZones(2); AddPatrolZone(3); OrderUnitPatrol(" + F.I(U.Fleet) + ")", std::vector<std::string>{}};
     }},
};

class TRefusedOrders : public TPlayersFixture, public ::testing::WithParamInterface<TOrderCase> {};

TEST_P(TRefusedOrders, IssueNothingAndTheRunGoesOn) {
  TKitUnits U(World);
  auto [Script, Expected] = GetParam().Make(*this, U);
  EXPECT_EQ(Run(Script + "; Print('after')", GetParam().Nation), Expected) << Script;
  ASSERT_EQ(Chat.Printed.size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(Orders, TRefusedOrders, ::testing::ValuesIn(RefusedCases),
                         [](const auto& Info) { return std::string(Info.param.Name); });

TEST_F(TPlayersFixture, AnIndexOutsideItsListEndsTheRunWithAScriptError) {
  TKitUnits U(World);
  for (const std::string& Script : {std::string("OrderUnitClear(99)"), "OrderUnitMove(" + I(U.Army) + ", 8)",
                                    std::string("OrderBuildFactory(8)"), std::string("AddPatrolZone(-1)")}) {
    EXPECT_NE(RunError(Script + "; Print('after')"), "") << Script;
    EXPECT_TRUE(Chat.Printed.empty()) << Script;
  }
}

TEST_F(TPlayersFixture, AGameFunctionWithoutARunningBrainIsAScriptError) {
  TScript Script;
  Script.SetFunctions(&Module.GetFuncs());
  Script.SetText("x := Random(1, 10)");
  Module.CurrentBrain = nullptr;
  EXPECT_THROW(Script.Execute(), ERuntimeError);
  Script.SetText("OrderGlobalClearResources(0)");
  EXPECT_THROW(Script.Execute(), ERuntimeError);
  EXPECT_TRUE(Orders.Records.empty());
}

// --- The nearest enemy zone ---

class TNearestEnemy : public TPlayersFixture {
public:
  std::int32_t Find(int Zone, int Rings, int Nation = 0) {
    Run("Print(IntToStr(FindClosestEnemyZone(" + IntToStr(Zone) + ", " + IntToStr(Rings) + ")))", Nation);
    const std::string Line = Chat.Printed.back();
    return StrToInt(Line.substr(Line.rfind(':') + 1));
  }
};

TEST_F(TNearestEnemy, LooksRingByRingOverLandFromLandAndOverSeaFromSea) {
  EXPECT_EQ(Find(kzAlba, 0), -1);
  EXPECT_EQ(Find(kzAlba, 1), kzBrae);
  EXPECT_EQ(Module.CurrentZone, World.Z(kzAlba));
  // Albion holds Brae; the way on leads over Dunmore (Freedonia's, at peace) to the unowned Ferro.
  World.Z(kzBrae)->SetOwner(World.N(0));
  World.Z(kzFerro)->SetOwner(nullptr);
  EXPECT_EQ(Find(kzAlba, 1), -1);
  EXPECT_EQ(Find(kzAlba, 2), -1);
  EXPECT_EQ(Find(kzAlba, 3), kzFerro);
  // From the sea: the Channel's coast. Hale, unowned, lies on it.
  World.Z(kzHale)->SetOwner(nullptr);
  EXPECT_EQ(Find(kzNorthSea, 1), -1);
  EXPECT_EQ(Find(kzNorthSea, 2), kzHale);
  // No zone, and a search that runs out of zones long before its rings.
  EXPECT_EQ(Find(-1, 5), -1);
  World.Z(kzFerro)->SetOwner(World.N(0));
  World.Z(kzGorse)->SetOwner(World.N(0));
  World.Z(kzHale)->SetOwner(World.N(0));
  EXPECT_EQ(Find(kzAlba, 2000000000), -1);
}

// --- The other stateful functions ---

TEST_F(TPlayersFixture, RandomDrawsFromTheLowerBoundBelowTheUpper) {
  Run("for i := 1 to 500 do begin r := Random(1, 100); if (r < 1) or (r > 99) then Print('out') end; "
      "if Random(5, 5) <> 5 then Print('empty'); if Random(5, 2) <> 5 then Print('reversed')");
  EXPECT_TRUE(Chat.Printed.empty());
  // The module's generator alone: seeded, it repeats its draws.
  Module.GetRandom().SetSeed(11);
  Run("Print(IntToStr(Random(0, 1000000)))");
  Module.GetRandom().SetSeed(11);
  Run("Print(IntToStr(Random(0, 1000000)))");
  ASSERT_EQ(Chat.Printed.size(), 2u);
  EXPECT_EQ(Chat.Printed[0], Chat.Printed[1]);
}

TEST_F(TPlayersFixture, VersionRefusesANewerScript) {
  EXPECT_EQ(RunError("Version(4.0); Version(4); Version(3.5)"), "");
  const std::string Error = RunError("OrderGlobalClearResources(0); Version(4.5); OrderGlobalClearResources(0)");
  EXPECT_NE(Error.find("This Script file was created for version 4.5 of Brenmoor, and you have version 4.  Please upgrade "
                       "Brenmoor before attempting to use this Script."),
            std::string::npos)
      << Error;
  // The order before the failure stays issued.
  EXPECT_EQ(Orders.Records, std::vector<std::string>{"41;0;"});
}

TEST_F(TPlayersFixture, BrainDataLivesInTheNation) {
  Run("SetBrainData('12', 'D'); SetBrainData('x', 'y'); SetBrainData('12', 'E'); Print(GetBrainData('12') + GetBrainData('none'))", 1);
  EXPECT_EQ(World.N(1)->GetBrainData("12"), "E");
  EXPECT_EQ(World.N(1)->GetBrainData("x"), "y");
  EXPECT_EQ(World.N(0)->GetBrainData("12"), "");
  Module.SetCurrentImpulse(15);
  Run("Print(GetBrainData('12'))", 1);
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"1:0:E", "1:15:E"}));
}

TEST_F(TPlayersFixture, BrainDataOfAUnitGoesWithTheUnit) {
  TUnit* Kept = World.MakeUnit(1, ukArmy, kit::kzGorse, {{utInfantry, 2}});
  TUnit* Lost = World.MakeUnit(1, ukArmy, kit::kzGorse, {{utInfantry, 2}});
  const std::string KeptID = IntToStr(Kept->ID), LostID = IntToStr(Lost->ID);
  const std::string Future = IntToStr(Engine().GetUnits().NextID() + 5);
  Run("SetBrainData('" + KeptID + "', 'D'); SetBrainData('" + LostID + "', 'D'); SetBrainData('0" + LostID +
          "', 'z'); SetBrainData('" + Future + "', 'f'); SetBrainData('x', 'y')",
      1);
  ASSERT_EQ(World.N(1)->GetBrainData(LostID), "D");
  // The unit is destroyed between two runs: the next run finds nothing kept on it.
  Lost->GetZone()->ChangeTally(1, utInfantry, -2);
  Lost->Remove(true);
  Engine().FreeUnit(Lost);
  Run("Print(GetBrainData('" + LostID + "') + '|' + GetBrainData('" + KeptID + "'))", 1);
  EXPECT_EQ(Chat.Printed.back(), "1:0:|D");
  // What names no unit that has gone stays: another form of the number, a number no unit has
  // had yet, a word.
  EXPECT_EQ(World.N(1)->GetBrainDataList().Count(), 4);
  EXPECT_EQ(World.N(1)->GetBrainData("0" + LostID), "z");
  EXPECT_EQ(World.N(1)->GetBrainData(Future), "f");
  EXPECT_EQ(World.N(1)->GetBrainData("x"), "y");
}

TEST_F(TPlayersFixture, ChatGoesToTheLobbyAndTheChannelWithoutLineBreaks) {
  Run("OrderChat('Attack'#13#10'now', 1); OrderChat('hello', 5)");
  EXPECT_EQ(Chat.Sent, (std::vector<std::string>{"GAMECHAT|Albion;1;Attacknow", "GAMECHAT|Albion;5;hello"}));
  EXPECT_EQ(Chat.Shown, (std::vector<std::string>{"1:Albion> Attacknow", "5:Albion> hello"}));
}

}  // namespace
}  // namespace players_test
