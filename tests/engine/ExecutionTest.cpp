// The impulse schedule, the order of the acting units, each order's step and the
// end-of-impulse stages that build units, move storms and turn a nation over in a coup.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"
#include "engine/kit/RulesKit.h"

namespace {

using kit::TKitWorld;
using namespace kit;

bool HasRecord(const TKitWorld& W, const std::string& Record) {
  return std::find(W.Sink.Records.begin(), W.Sink.Records.end(), Record) != W.Sink.Records.end();
}

bool HasCode(const TKitWorld& W, int Code) {
  const std::string Prefix = std::to_string(Code) + ";";
  return std::any_of(W.Sink.Records.begin(), W.Sink.Records.end(),
                     [&](const std::string& R) { return R.rfind(Prefix, 0) == 0; });
}

TEST(ExecutionTest, EachSpeedActsItsCountOfImpulsesInTen) {
  const int Expected[10] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 10};
  for (int Speed = 0; Speed < 10; ++Speed) {
    int Count = 0;
    for (int Impulse = 100; Impulse < 110; ++Impulse) Count += TExecutionRules::IsActionImpulse(Impulse, Speed);
    EXPECT_EQ(Count, Expected[Speed]) << "speed " << Speed;
  }
  std::vector<int> Columns;
  for (int Impulse = 0; Impulse < 10; ++Impulse)
    if (TExecutionRules::IsActionImpulse(Impulse, 2)) Columns.push_back(Impulse);
  EXPECT_EQ(Columns, (std::vector<int>{4, 7}));
  // Faster than the fastest row still acts as the fastest.
  EXPECT_TRUE(TExecutionRules::IsActionImpulse(3, 12));
}

TEST(ExecutionTest, ActingUnitsGoByKeyAndEqualKeysByIdentifier) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  kit::TScriptedRandom Script;
  E.SetRandomGenerator(&Script);
  // Every key equal: identifiers in ascending order, whatever the list order.
  for (int I = 0; I < E.GetUnitCount(); ++I) Script.QueueFloat(0.25);
  std::vector<std::int32_t> Acting = E.Execution().SelectActingUnits(9);
  ASSERT_FALSE(Acting.empty());
  EXPECT_TRUE(std::is_sorted(Acting.begin(), Acting.end()));
  // Falling keys: the last unit of the list goes first.
  for (int I = 0; I < E.GetUnitCount(); ++I) Script.QueueFloat(0.9 - 0.01 * I);
  std::vector<std::int32_t> Reversed = E.Execution().SelectActingUnits(9);
  EXPECT_EQ(Reversed.size(), Acting.size());
  EXPECT_TRUE(std::is_sorted(Reversed.rbegin(), Reversed.rend()));
  // Impulse 0 (column 0) only the speed 9 units act.
  for (int I = 0; I < E.GetUnitCount(); ++I) Script.QueueFloat(0.5);
  for (std::int32_t ID : E.Execution().SelectActingUnits(10)) EXPECT_EQ(E.GetUnitByID(ID)->UnitSpeed(), 9);
  E.SetRandomGenerator(nullptr);
}

TEST(ExecutionTest, APatrolBouncesBetweenTheEndsOfItsList) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TUnit* U = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 2}});
  // The zones all the unit's own, so the patrol's positions are all that moves.
  U->SetPatrolZones({W.Z(kzAlba), W.Z(kzAlba), W.Z(kzAlba)});
  U->SetOrder(ordPatrol);
  U->SetPatrolIndex(0);
  U->SetPatrolStep(1);
  kit::TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  std::vector<int> Positions;
  for (int I = 0; I < 6; ++I) {
    E.Execution().ExecuteUnit(U);
    Positions.push_back(U->GetPatrolIndex());
  }
  EXPECT_EQ(Positions, (std::vector<int>{1, 2, 1, 0, 1, 2}));
  EXPECT_TRUE(HasRecord(W, rec::PatrolPosition(U, 2, 1, kzAlba)));
  // A patrol in an embattled zone waits; a recon flight goes on.
  W.Z(kzAlba)->SetEmbattled(true);
  E.Execution().ExecuteUnit(U);
  EXPECT_EQ(U->GetPatrolIndex(), 2);
  U->SetOrder(ordRecon);
  E.Execution().ExecuteUnit(U);
  EXPECT_EQ(U->GetPatrolIndex(), 1);
  // A list too short to patrol does nothing.
  U->SetPatrolZones({W.Z(kzAlba)});
  E.Execution().ExecuteUnit(U);
  EXPECT_EQ(U->GetPatrolIndex(), 1);
  EXPECT_EQ(None.Draws(), 0);
  E.SetRandomGenerator(nullptr);
}

TEST(ExecutionTest, ADockingConvoyUnloadsAndKeepsItsOrder) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TUnit* U = W.MakeUnit(0, ukNavy, kzNorthSea, {{utMerchantShip, 3}, {utDestroyer, 1}});
  U->SetOrder(ordDock);
  U->SetDestinationZone(W.Z(kzAlba));
  const float Before = W.Z(kzAlba)->GetResources();
  E.Execution().ExecuteUnit(U);
  ASSERT_EQ(U->GetZone(), W.Z(kzAlba));
  EXPECT_FLOAT_EQ(W.Z(kzAlba)->GetResources(), Before + 15.0f);
  EXPECT_EQ(U->GetCount(utMerchantShip), 0);
  EXPECT_EQ(U->GetOrder(), ordDock);
  EXPECT_TRUE(HasRecord(W, rec::ConvoyDelivered(U)));
  EXPECT_EQ(E.CheckTallies(), "");
}

TEST(ExecutionTest, OrdersThatActOnceRecordTheirEndBeforeActing) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  // A launch without a destination heads for the first sea neighbour, and says so.
  TUnit* Fleet = W.MakeUnit(0, ukNavy, kzNorthSea, {{utDestroyer, 1}});
  Fleet->SetOrder(ordLaunch);
  E.Execution().ExecuteUnit(Fleet);
  EXPECT_EQ(Fleet->GetOrder(), ordNone);
  const std::string Order = rec::UnitOrder(Fleet, ordNone, Fleet->GetDestinationZone()->GetIndex(), -1, false);
  EXPECT_TRUE(HasRecord(W, Order)) << Order;
  EXPECT_EQ(Fleet->GetDestinationZone()->GetSea(), 1);
}

TEST(ExecutionTest, AnInterceptWaitsForATargetOutOfReach) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  kit::TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  TUnit* Hunter = W.MakeUnit(0, ukNavy, kzNorthSea, {{utDestroyer, 1}});
  TUnit* Prey = W.MakeUnit(1, ukArmy, kzBrae, {{utInfantry, 1}});
  Hunter->SetOrder(ordIntercept);
  Hunter->SetDestinationUnit(Prey);
  E.Execution().ExecuteUnit(Hunter);  // on land: nothing
  Hunter->SetDestinationUnit(nullptr);
  E.Execution().ExecuteUnit(Hunter);  // gone: nothing
  EXPECT_EQ(Hunter->GetZone(), W.Z(kzNorthSea));
  EXPECT_EQ(Hunter->GetOrder(), ordIntercept);
  EXPECT_TRUE(W.Sink.Records.empty());
  E.SetRandomGenerator(nullptr);
}

TEST(ExecutionTest, BombersWithoutClearanceDoNothingAndWithItHitTheZone) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TUnit* U = W.MakeUnit(1, ukAirForce, kzAlba, {{utBomber, 3}});
  U->SetOrder(ordBomb);
  kit::TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  E.Execution().ExecuteUnit(U);
  EXPECT_TRUE(W.Sink.Records.empty());
  EXPECT_EQ(U->GetOrder(), ordBomb);
  E.SetRandomGenerator(nullptr);
  U->SetCombatFlag(1);
  const float Before = W.Z(kzAlba)->GetResources();
  E.Execution().ExecuteUnit(U);
  EXPECT_EQ(W.Z(kzAlba)->GetBombCount(), 6);
  EXPECT_LT(W.Z(kzAlba)->GetResources(), Before);
  EXPECT_TRUE(HasCode(W, 19));
}

TEST(ExecutionTest, ABombardmentOfAnEmptyZoneStillStrikesAndDamagesNothing) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TUnit* U = W.MakeUnit(0, ukNavy, kzChannel, {{utBattleship, 3}});
  U->SetOrder(ordBombard);
  U->SetDestinationZone(W.Z(kzHale));
  ASSERT_EQ(W.Z(kzHale)->GetUnitCount(), 0);
  E.Execution().ExecuteUnit(U);
  EXPECT_EQ(W.Z(kzHale)->GetStrikeCount(), 3);
  EXPECT_TRUE(HasRecord(W, rec::ZoneStrike(0, kzHale, rec::stBombardment)));
  EXPECT_TRUE(HasRecord(W, rec::ZoneBombarded(kzHale, 3)));
  // An empty army (no strength to share the fire among) is no reason to divide by nothing.
  TUnit* Empty = W.MakeUnit(2, ukArmy, kzHale, {});
  W.N(0)->SetRelation(W.N(2), -100);
  E.Execution().ExecuteUnit(U);
  EXPECT_EQ(Empty->GetOrganization(), 100.0f);
}

TEST(ExecutionTest, ABombardmentShellsOnlyTheArmiesItsNationMayFight) {
  struct TCase {
    const char* Name;
    int Fleet;  // the bombarding fleet's nation
    std::vector<std::pair<int, TUnitKind>> Units;  // in Hale, Freedonia's zone
    std::vector<bool> Shelled;
  };
  // Albion is at war with Ruritania (their alliances) and at peace with Freedonia; Ruritania
  // attacks without war.
  const TCase Cases[] = {
      {"at war: the enemy army, not a neutral army, a fleet in port or an air wing", 0,
       {{1, ukArmy}, {2, ukArmy}, {1, ukNavy}, {1, ukAirForce}}, {true, false, false, false}},
      {"attacking without war: every army not of its own side", 1,
       {{2, ukArmy}, {0, ukArmy}, {1, ukArmy}, {3, ukArmy}}, {true, true, false, true}},
  };
  for (const TCase& C : Cases) {
    TKitWorld W;
    TUnit* Fleet = W.MakeUnit(C.Fleet, ukNavy, kzChannel, {{utBattleship, 4}});
    Fleet->SetOrder(ordBombard);
    Fleet->SetDestinationZone(W.Z(kzHale));
    std::vector<TUnit*> Units;
    for (const auto& [Nation, Kind] : C.Units) {
      const TUnitType Type = Kind == ukArmy ? utInfantry : Kind == ukNavy ? utDestroyer : utFighter;
      Units.push_back(W.MakeUnit(Nation, Kind, kzHale, {{Type, 10}}));
    }
    W.Engine().SetRandomSeed(4);
    W.Engine().Execution().ExecuteUnit(Fleet);
    ASSERT_EQ(W.Z(kzHale)->GetStrikeCount(), 4) << C.Name;
    for (std::size_t I = 0; I < Units.size(); ++I)
      EXPECT_EQ(Units[I]->GetOrganization() < 100.0f, C.Shelled[I]) << C.Name << ", unit " << I;
  }
}

TEST(ExecutionTest, ProductionBuildsOnceTheProgressPassesTheTotal) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TBrenmoorZone* Z = W.Z(kzHale);
  Z->SetFactories(0);
  Z->SetBuilding(true);
  Z->SetBuildKind(ukArmy);
  Z->SetBuildQueue(utInfantry, 4);
  Z->SetBuildTotal(2.0f);
  Z->SetBuildProgressPoints(0.0f);
  const int Units = E.GetUnitCount();
  E.EndOfImpulse().ProductionStage();
  E.EndOfImpulse().ProductionStage();  // exactly the total: not yet
  EXPECT_EQ(E.GetUnitCount(), Units);
  E.EndOfImpulse().ProductionStage();
  ASSERT_EQ(E.GetUnitCount(), Units + 1);
  EXPECT_FALSE(Z->GetBuilding());
  EXPECT_TRUE(HasRecord(W, rec::UnitsBuilt(kzHale)));
  EXPECT_EQ(Z->GetUnit(Z->GetUnitCount() - 1)->GetCount(utInfantry), 4);
  EXPECT_EQ(E.CheckTallies(), "");
  // A build kind that is no unit kind builds nothing.
  Z->SetBuilding(true);
  Z->SetBuildKind(7);
  W.Sink.Records.clear();
  E.EndOfImpulse().ProductionStage();
  EXPECT_EQ(E.GetUnitCount(), Units + 1);
  EXPECT_FALSE(HasCode(W, 21));
}

TEST(ExecutionTest, StormsAgeFromTheLastAndANarrowMapStartsThemAtTheEdge) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  for (int Life : {1, 1, 3}) {
    auto S = std::make_unique<TStorm>(E);
    S->Lifetime = Life;
    E.AddStorm(std::move(S));
  }
  kit::TScriptedRandom Script;
  E.SetRandomGenerator(&Script);
  for (int I = 0; I < 4; ++I) Script.QueueInt(99);  // the long-lived storm stays where it is
  E.EndOfImpulse().StormStage();
  ASSERT_EQ(E.GetStormCount(), 1);
  EXPECT_EQ(E.GetStorm(0)->Lifetime, 2);
  EXPECT_TRUE(Script.Empty());
  // A new storm wider than the map.
  E.SetEngineOptions(4);
  for (int V : {0, 0, 0, 5, 0, 1, 2, 3, 4, 5}) Script.QueueInt(V);
  E.EndOfImpulse().NewStormStage(200, 200);
  ASSERT_EQ(E.GetStormCount(), 2);
  EXPECT_EQ(E.GetStorm(1)->X, 0);
  EXPECT_EQ(E.GetStorm(1)->StormType, stRain);
  EXPECT_TRUE(HasCode(W, 27));
  E.SetRandomGenerator(nullptr);
}

TEST(ExecutionTest, TheNationOfTheImpulseCountsItselfAmongTheNationsItLikes) {
  // Albion (impulse 0 of 4 nations) stands at 100 towards itself, its alliance's rule, and at
  // 40 towards Freedonia, at -100 towards Ruritania and at 0 towards Lichtenburg.
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TNation* Albion = W.N(0);
  ASSERT_EQ(Albion->GetRelation(Albion), 100);
  Albion->SetRelationDirect(W.N(2), 40);
  W.N(2)->SetRelationDirect(Albion, 40);
  kit::TScriptedRandom Script;
  // In nation order: Albion itself pulls its 40 towards Freedonia by 40 x 1 x 0.2 = 8, x 0.5:
  // +4; then Freedonia, liked at 44 by now, pulls on Lichtenburg, whom it holds at -30:
  // -30 x 0.44 x 0.2 = -2.64, to -3, x 0.5 = -1.5, to even -2. Ruritania, at war, is left alone.
  Script.QueueFloat(0.5);
  Script.QueueFloat(0.5);
  E.SetRandomGenerator(&Script);
  E.EndOfImpulse().NationOfImpulseStage(0);
  E.SetRandomGenerator(nullptr);
  EXPECT_TRUE(Script.Empty());
  EXPECT_EQ(Albion->GetRelation(W.N(2)), 44);
  EXPECT_EQ(Albion->GetRelation(W.N(3)), -2);
  EXPECT_EQ(Albion->GetRelation(W.N(1)), -100);

  // Freedonia, of no alliance, stands at 0 towards itself: it is not among those it likes.
  TKitWorld Other;
  Other.N(2)->SetRelationDirect(Other.N(3), 50);
  Other.N(3)->SetRelationDirect(Other.N(2), 50);
  kit::TForbiddenRandom None;
  Other.Engine().SetRandomGenerator(&None);
  Other.Engine().EndOfImpulse().NationOfImpulseStage(2);
  Other.Engine().SetRandomGenerator(nullptr);
  EXPECT_EQ(None.Draws(), 0);
}

TEST(ExecutionTest, ACoupTurnsTheRelationsOver) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  W.N(3)->SetRelationDirect(W.N(0), 100);
  W.N(0)->SetRelationDirect(W.N(3), -100);
  W.N(3)->SetRelationDirect(W.N(1), 40);
  E.EndOfImpulse().Coup(W.N(3), 70);
  EXPECT_EQ(W.N(3)->GetRelation(W.N(0)), -70);
  EXPECT_EQ(W.N(0)->GetRelation(W.N(3)), 70);
  EXPECT_EQ(W.N(3)->GetRelation(W.N(1)), -40);
  EXPECT_TRUE(HasRecord(W, rec::Coup(3, 70)));
}

}  // namespace

namespace {

TEST(ExecutionTest, OnlyAnArmyTakesAZoneAndALostZoneGoesBackToItsOwner) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TBrenmoorZone* Z = W.Z(kzHale);
  Z->SetRocketSite(false);
  W.MakeUnit(0, ukNavy, kzHale, {{utDestroyer, 2}});
  E.EndOfImpulse().ConquestStage();
  EXPECT_EQ(Z->GetOwner(), W.N(2));
  W.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 2}});
  E.EndOfImpulse().ConquestStage();
  EXPECT_EQ(Z->GetOwner(), W.N(0));
  EXPECT_TRUE(HasRecord(W, rec::ZoneConquered(kzHale, 0, 0)));
  // Held by another with Albion's armies in it again: Albion's own zone comes home.
  Z->SetOwner(W.N(1));
  Z->SetOriginalOwner(W.N(0));
  E.EndOfImpulse().ConquestStage();
  EXPECT_EQ(Z->GetOwner(), W.N(0));
}

TEST(ExecutionTest, AnInvasionOfAnOwnedZoneCostsTheInvaderItsRelations) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TUnit* U = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 2}});
  U->SetOrder(ordInvade);
  U->SetDestinationZone(W.Z(kzBrae));
  const int Before = W.N(0)->GetRelation(W.N(1));
  E.Execution().ExecuteUnit(U);
  ASSERT_EQ(U->GetZone(), W.Z(kzBrae));
  EXPECT_LT(W.N(0)->GetRelation(W.N(1)), std::max(Before, -99));
  EXPECT_EQ(U->GetOrder(), ordNone);
  EXPECT_TRUE(HasRecord(W, rec::ZoneInvaded(0, kzBrae)));
}

}  // namespace
