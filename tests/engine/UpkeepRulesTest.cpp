// Division, merging, drift, formations, path cost, supply and the upkeep over the kit's world.
#include <gtest/gtest.h>

#include <limits>

#include "engine/DiplomacyRules.h"
#include "engine/SupplyRules.h"
#include "engine/UnitRules.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RulesKit.h"
#include "foundation/ListError.h"

namespace {

using namespace kit;

class RulesTest : public ::testing::Test {
protected:
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
};

}  // namespace

TEST_F(RulesTest, DivideSplitsCountsAndKeepsTallies) {
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  Army->SetOrganizationDirect(80);
  TUnit* New = E.UnitRules().DivideUnit(Army, "0#0#0#2#1#", nullptr);
  EXPECT_EQ(New->GetCount(utInfantry), 2);
  EXPECT_EQ(New->GetCount(utArmor), 1);
  EXPECT_EQ(Army->GetCount(utInfantry), 3);
  EXPECT_EQ(New->GetOrganization(), 80.0f);
  EXPECT_EQ(New->GetZone(), W.Z(kzAlba));
  EXPECT_EQ(CheckInvariants(E), "");
  // An army divided towards a ship is ordered to embark on it; an air unit joins the carrier.
  TUnit* Carrier = W.UnitIn(kzNorthSea, 0, ukNavy);
  TUnit* Boarder = E.UnitRules().DivideUnit(Army, "0#0#0#1#", Carrier);
  EXPECT_EQ(Boarder->GetOrder(), ordEmbark);
  EXPECT_EQ(Boarder->GetDestinationUnit(), Carrier);
  TUnit* Fighters = W.UnitIn(kzAlba, 0, ukAirForce);
  TUnit* Flight = E.UnitRules().DivideUnit(Fighters, "0#0#0#0#0#1#", Carrier);
  EXPECT_EQ(Flight->GetZone(), W.Z(kzNorthSea));
  EXPECT_EQ(Flight->GetBaseUnit(), Carrier);
  EXPECT_EQ(CheckInvariants(E), "");
}

TEST_F(RulesTest, MergeOrdersByDeadCreatorThenIdentifierAndSkipsDuplicates) {
  TUnit* A = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 2}});
  TUnit* B = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 2}});
  const std::int32_t Old = W.UnitIn(kzAlba, 0, ukArmy)->ID;
  // Identifiers beyond 1000 sort as numbers, not as "1000 more".
  const std::int32_t BID = B->ID;
  EXPECT_TRUE(E.UnitRules().MergeUnits(nullptr, std::to_string(BID) + "#" + std::to_string(A->ID) + "#" + std::to_string(BID) + "#;x"));
  EXPECT_EQ(E.GetUnitByID(BID), nullptr);
  EXPECT_EQ(A->GetCount(utInfantry), 4);
  EXPECT_NE(E.GetUnitByID(Old), nullptr);
  EXPECT_EQ(CheckInvariants(E), "");
  // A unit whose creating nation is gone is absorbed even with the lower identifier.
  TUnit* Orphan = W.MakeUnit(3, ukArmy, kzAlba, {{utInfantry, 1}});
  TUnit* Young = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}});
  Orphan->ChangeOwner(W.N(0));
  W.N(3)->SetAlive(false);
  // A dead nation owns nothing: its zone and army go to Albion.
  W.UnitIn(kzFerro, 3, ukArmy)->ChangeOwner(W.N(0));
  W.Z(kzFerro)->SetOwner(W.N(0));
  const std::int32_t OrphanID = Orphan->ID;
  EXPECT_TRUE(E.UnitRules().MergeUnits(nullptr, std::to_string(OrphanID) + "#" + std::to_string(Young->ID) + "#"));
  EXPECT_EQ(E.GetUnitByID(OrphanID), nullptr);
  EXPECT_EQ(Young->GetCount(utInfantry), 2);
  // An identifier past 1000 of a living creator still comes before a fallen creator's unit.
  auto Loaded = std::make_unique<TUnit>(E, W.N(0), ukArmy);
  Loaded->ID = 1500;
  Loaded->SetZone(W.Z(kzAlba));
  Loaded->SetCount(utInfantry, 1);
  W.Z(kzAlba)->ChangeTally(0, utInfantry, 1);
  TUnit* Late = E.AddLoadedUnit(std::move(Loaded));
  TUnit* Fallen = W.MakeUnit(3, ukArmy, kzAlba, {{utInfantry, 1}});
  Fallen->ChangeOwner(W.N(0));
  const std::int32_t FallenID = Fallen->ID;
  EXPECT_TRUE(E.UnitRules().MergeUnits(nullptr, std::to_string(FallenID) + "#1500#"));
  EXPECT_EQ(E.GetUnitByID(FallenID), nullptr);
  EXPECT_EQ(Late->GetCount(utInfantry), 2);
  // Kinds or owners that differ: nothing happens.
  TUnit* Fighters = W.UnitIn(kzAlba, 0, ukAirForce);
  EXPECT_FALSE(E.UnitRules().MergeUnits(nullptr, std::to_string(A->ID) + "#" + std::to_string(Fighters->ID) + "#"));
  EXPECT_EQ(E.GetUnitByID(Fighters->ID), Fighters);
  EXPECT_EQ(CheckInvariants(E), "");
}

TEST_F(RulesTest, AMergeThatWouldHoldMoreThanAUnitCanIsRefusedWhole) {
  TUnit* A = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 40000}, {utArmor, 3}});
  TUnit* B = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 25535}});
  TUnit* C = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}, {utArmor, 1}});
  const std::string Ids = std::to_string(A->ID) + "#" + std::to_string(B->ID) + "#";
  // Exactly 65,535 of a type still fits in one unit.
  EXPECT_TRUE(E.UnitRules().CanMergeUnits({A, B}));
  // One more does not: neither the check nor the merge takes units beyond that.
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({A, B, C}));
  EXPECT_FALSE(E.UnitRules().MergeUnits(nullptr, Ids + std::to_string(C->ID) + "#"));
  EXPECT_EQ(A->GetCount(utInfantry), 40000);
  EXPECT_EQ(B->GetCount(utInfantry), 25535);
  EXPECT_EQ(C->GetCount(utInfantry), 1);
  EXPECT_EQ(E.GetUnitByID(C->ID), C);
  // A unit named twice counts once.
  EXPECT_TRUE(E.UnitRules().CanMergeUnits({A, B, B}));
  EXPECT_TRUE(E.UnitRules().MergeUnits(nullptr, Ids));
  EXPECT_EQ(A->GetCount(utInfantry), 65535);
  EXPECT_EQ(A->GetCount(utArmor), 3);
  EXPECT_EQ(CheckInvariants(E), "");
}

TEST_F(RulesTest, MergeAcrossZonesCarriesTalliesAndCargo) {
  TUnit* Fleet = W.UnitIn(kzNorthSea, 0, ukNavy);
  TUnit* Other = W.MakeUnit(0, ukNavy, kzChannel, {{utTransport, 1}});
  EXPECT_TRUE(E.UnitRules().MergeUnits(nullptr, std::to_string(Other->ID) + "#" + std::to_string(Fleet->ID) + "#"));
  EXPECT_EQ(Fleet->GetCount(utTransport), 3);
  EXPECT_EQ(W.Z(kzChannel)->GetTally(0, utTransport), 0);
  EXPECT_EQ(W.Z(kzNorthSea)->GetTally(0, utTransport), 3);
  EXPECT_EQ(CheckInvariants(E), "");
}

TEST_F(RulesTest, DriftIsDampedHeldAndEnds) {
  TNation* Free = W.N(2);
  TNation* Lich = W.N(3);
  struct Case {
    int Start, Value5;
    std::int64_t Amount;
    double Draw;
    int Expected;
    bool Changed;
  };
  const Case Cases[] = {
      {0, 0, 50, 0.5, 25, true},
      {90, 0, 200, 0.99, 100, true},  // stops at 100
      {-30, 100, -20000, 0.9, -30, false},  // full resistance: nothing
      {-30, 150, -20000, 0.9, -30, false},  // resistance beyond 100: checked for bounds below
      {0, 0, std::numeric_limits<std::int32_t>::max(), 0.5, 100, true},
      {0, 0, std::numeric_limits<std::int32_t>::min(), 0.5, -100, true},
      {100, 0, -50, 0.5, 100, false},  // at a bound nothing moves
  };
  TScriptedRandom Script;
  E.SetRandomGenerator(&Script);
  for (const Case& C : Cases) {
    // Lichtenburg counts as a major power here, so that reaching 100 annexes nothing.
    auto Line = "Nation=Lichtenburg,,1,L," + std::to_string(C.Value5) + ",,,0,0,100,0,,0,0,";
    Lich->ReadScenarioRecord(Line.substr(7));
    Free->SetRelationDirect(Lich, C.Start);
    Lich->SetRelationDirect(Free, C.Start);
    if (C.Start != 100 && C.Start != -100) Script.QueueFloat(C.Draw);
    const bool Changed = E.Diplomacy().DriftRelation(Free, Lich, C.Amount);
    if (C.Value5 == 150) {
      // A resistance above 100 pushes the other way; the relation stays in its bounds.
      EXPECT_GE(Free->GetRelation(Lich), -100);
      EXPECT_LE(Free->GetRelation(Lich), 100);
      continue;
    }
    EXPECT_EQ(Free->GetRelation(Lich), C.Expected) << C.Start << " " << C.Amount;
    EXPECT_EQ(Changed, C.Changed) << C.Start << " " << C.Amount;
  }
  EXPECT_TRUE(Script.Empty());
  // No nation on one side, or the same nation: nothing, and nothing drawn.
  EXPECT_FALSE(E.Diplomacy().DriftRelation(nullptr, Free, -50));
  EXPECT_FALSE(E.Diplomacy().DriftRelation(Free, nullptr, -50));
  EXPECT_FALSE(E.Diplomacy().DriftRelation(Free, Free, -50));
  E.SetRandomGenerator(nullptr);
}

TEST_F(RulesTest, DeclaringWarAgainstFullResistanceEnds) {
  // The declare-war loop drifts until -100 or until nothing moves.
  TNation* Free = W.N(2);
  TNation* Lich = W.N(3);
  Lich->ReadScenarioRecord("Lichtenburg,,0,L,100,,,0,0,100,0,,0,0,");
  int Passes = 0;
  while (Free->GetRelation(Lich) > -100 && E.Diplomacy().DriftRelation(Free, Lich, -20000)) ++Passes;
  EXPECT_EQ(Passes, 0);
}

TEST_F(RulesTest, FormationsKeepDashesCopyTheBomberAndRefuseWholeTexts) {
  TNation* N = W.N(1);
  for (int T = 0; T < UnitTypeCount; ++T) N->SetUnitCost(T, 9);
  E.UnitRules().SetFormations(N, "1#2#-#-#-#-#-#7#-#-#-#-#-#-#-#-#");
  EXPECT_EQ(N->GetUnitCost(0), 1);
  EXPECT_EQ(N->GetUnitCost(1), 2);
  EXPECT_EQ(N->GetUnitCost(2), 9);
  EXPECT_EQ(N->GetUnitCost(utAtomicBomber), 7);
  EXPECT_THROW(E.UnitRules().SetFormations(N, "5#x#"), EConvertError);
  EXPECT_EQ(N->GetUnitCost(0), 1);  // nothing of a refused text
}

TEST_F(RulesTest, PathCostFollowsTerrainAndSides) {
  struct Case {
    int From, To, Mode;
    std::int32_t Cost;
  };
  // Albion's land: Alba. Brae is Ruritania's (at war): the land step into it is blocked.
  const Case Cases[] = {
      {kzAlba, kzAlba, 0, 0},
      {kzNorthSea, kzChannel, 0, 1},
      {kzAlba, kzBrae, 0, 1000},
      // Each step is judged for the owner of the zone being left: Ruritania into Dunmore,
      // Freedonia into Ferro, Lichtenburg into Gorse, none of them allied.
      {kzBrae, kzGorse, 0, 3000},
      {kzAlba, kzNorthSea, 0, 1000},
      {kzNorthSea, kzChannel, 1, 1},
      {kzAlba, kzNorthSea, 1, 1000},
  };
  for (const Case& C : Cases) {
    E.SetPathMode(C.Mode);
    EXPECT_EQ(E.FindPathCost(W.Z(C.From), W.Z(C.To)), C.Cost) << C.From << ">" << C.To;
  }
  E.SetPathMode(0);
  // Steps counted, and an allied zone is open land.
  EXPECT_EQ(E.FindPathLength(W.Z(kzAlba), W.Z(kzHale)), 3);
  W.Z(kzBrae)->SetOwner(W.N(0));
  EXPECT_EQ(E.FindPathCost(W.Z(kzAlba), W.Z(kzBrae)), 1);
}

TEST_F(RulesTest, AZoneOffTheMapIsUnreachableNotCheap) {
  TKitWorld Island("NationCount=1\nNation=A,,1,A,0,,,0,0,100,0,,0,0,\nImpulseRate=1\n",
                   "Zone=0,0,10,0,10,10;One;0;\nZone=20,0,30,0,30,10;Two;0;\n");
  EXPECT_EQ(Island.Engine().FindPathCost(Island.Z(0), Island.Z(1)), TZoneMap::UnreachablePathCost);
  EXPECT_EQ(Island.Z(0)->GetTrueDistance(Island.Z(1)), TZoneMap::UnreachablePathCost);
}

TEST_F(RulesTest, SupplyHandsOverIncomeAndStopsMinors) {
  // Brae, now Albion's, has its neighbour Alba as source.
  TBrenmoorZone* Alba = W.Z(kzAlba);
  TBrenmoorZone* Brae = W.Z(kzBrae);
  Brae->SetOwner(W.N(0));
  Brae->SetSupplySource(Alba);
  Brae->SetResources(4);
  Alba->SetResources(1);
  E.Supply().SupplyUpkeep();
  // Brae hands 4 to Alba, then grows by its own income 0.3.
  EXPECT_FLOAT_EQ(Brae->GetResources(), 0.3f);
  // Albion spends 0 on research: Alba's income 10 x 0.05 + 4 handed over; its army and
  // fighters are at 100 and need nothing.
  EXPECT_FLOAT_EQ(Alba->GetResources(), 5.5f + 0.15f);
  // A minor's zone at twice its industry does not grow.
  TBrenmoorZone* Ferro = W.Z(kzFerro);
  Ferro->SetResources(6);
  E.Supply().SupplyUpkeep();
  EXPECT_FLOAT_EQ(Ferro->GetResources(), 6.0f);
  // A source that is no longer allied is dropped.
  Brae->SetOwner(W.N(1));
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(Brae->GetSupplySource(), Brae);
}

TEST_F(RulesTest, ReorganisationTakesStepsUpToTheIndustry) {
  TBrenmoorZone* Dunmore = W.Z(kzDunmore);  // industry 4, Freedonia
  TUnit* Army = W.UnitIn(kzDunmore, 2, ukArmy);
  TUnit* Subs = W.UnitIn(kzDunmore, 2, ukNavy);
  Subs->SetOrganizationDirect(100);
  Army->SetOrganizationDirect(94);
  Dunmore->SetResources(50);
  E.Supply().SupplyUpkeep();
  // k = 3 (94 + 6 <= 100): cost 3 units x 3 x 0.1 = 0.9; organisation 94 + 8 held at 100.
  EXPECT_EQ(Army->GetOrganization(), 100.0f);
  EXPECT_EQ(Dunmore->GetIncome(), 3);
  EXPECT_FLOAT_EQ(Dunmore->GetResources(), 50.0f + 0.2f - 0.9f);
  // A recon unit and one of a nation not allied with the owner are left alone.
  TUnit* Stranger = W.MakeUnit(1, ukArmy, kzDunmore, {{utInfantry, 1}});
  Stranger->SetOrganizationDirect(50);
  Army->SetOrganizationDirect(50);
  Army->SetOrder(ordRecon);
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(Stranger->GetOrganization(), 50.0f);
  EXPECT_EQ(Army->GetOrganization(), 50.0f);
  // Too few resources: the steps that can be paid.
  Army->SetOrder(ordNone);
  Dunmore->SetResources(0.35f - 0.2f);
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(Dunmore->GetResources(), 0.0f);
  EXPECT_EQ(Army->GetOrganization(), 50.0f + 2 * 1 + 2);
}

TEST_F(RulesTest, RoutingsStepWaitAndArrive) {
  TBrenmoorZone* Alba = W.Z(kzAlba);
  TBrenmoorZone* Brae = W.Z(kzBrae);
  TBrenmoorZone* Dunmore = W.Z(kzDunmore);
  Brae->SetOwner(W.N(0));
  Dunmore->SetOwner(W.N(0));
  Alba->SetResources(20);
  ASSERT_NE(E.Supply().CreateRouting(Alba, Dunmore, 5), nullptr);
  EXPECT_FLOAT_EQ(Alba->GetResources(), 15);
  EXPECT_EQ(E.Supply().CreateRouting(Alba, Alba, 5), nullptr);  // would never arrive
  EXPECT_FLOAT_EQ(Alba->GetResources(), 15);
  const float Before = Dunmore->GetResources();
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(E.GetRouting(0)->FromZone, Brae);
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(E.GetRoutingCount(), 0);
  EXPECT_GT(Dunmore->GetResources(), Before + 5 - 0.01f);
}

TEST_F(RulesTest, SupplyWalksPointTheNetworkAtTheZone) {
  // Albion holds Alba, Brae and Dunmore in a row.
  W.Z(kzBrae)->SetOwner(W.N(0));
  W.Z(kzDunmore)->SetOwner(W.N(0));
  E.Supply().ComputeSupply(W.Z(kzAlba), 1);
  EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzAlba));
  EXPECT_EQ(W.Z(kzDunmore)->GetSupplySource(), W.Z(kzDunmore));
  E.Supply().ComputeSupply(W.Z(kzAlba), 3);
  EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzAlba));
  EXPECT_EQ(W.Z(kzDunmore)->GetSupplySource(), W.Z(kzBrae));
  EXPECT_EQ(W.Z(kzAlba)->GetSupplySource(), W.Z(kzAlba));
  E.Supply().ResetSupplySources(W.N(0));
  EXPECT_EQ(W.Z(kzDunmore)->GetSupplySource(), W.Z(kzDunmore));
  // A zone without owner has no network.
  E.Supply().ComputeSupply(W.Z(kzNorthSea), 5);
  EXPECT_EQ(W.Z(kzChannel)->GetSupplySource(), W.Z(kzChannel));
}

TEST_F(RulesTest, VisibilityOfOwnersAlliesDestroyersAndInfluence) {
  E.Upkeep().UpdateVisibility(0);
  const auto Sees = [&](int Zone, int Nation) { return W.Z(Zone)->IsVisibleTo(W.N(Nation)); };
  EXPECT_TRUE(Sees(kzAlba, 0));
  EXPECT_TRUE(Sees(kzBrae, 0));      // a neighbour of an owned zone
  EXPECT_FALSE(Sees(kzGorse, 0));
  EXPECT_TRUE(Sees(kzNorthSea, 0));  // its fleet
  EXPECT_FALSE(Sees(kzAlba, 2));
  // Ten destroyers see every sea zone around them; two at impulse 0 see zones whose
  // index times 0 is 0 < 20.
  W.MakeUnit(1, ukNavy, kzBrae, {{utDestroyer, 10}});
  E.Upkeep().UpdateVisibility(7);
  EXPECT_TRUE(Sees(kzNorthSea, 1));
  EXPECT_TRUE(Sees(kzChannel, 1));
  // Influence over a nation shows its zones; an ally of the viewer sees them too.
  W.N(2)->SetInfluence(W.N(3), 2);
  W.N(2)->SetRelationDirect(W.N(0), 100);
  E.Upkeep().UpdateVisibility(0);
  EXPECT_FALSE(Sees(kzHale, 0));  // allied only when Albion stands at 100 with Freedonia too
  W.N(0)->SetRelationDirect(W.N(2), 100);
  E.Upkeep().UpdateVisibility(0);
  EXPECT_TRUE(Sees(kzFerro, 2));
  EXPECT_TRUE(Sees(kzHale, 0));  // Freedonia's zone, seen by Albion through the 100 relation
  // Presence queries.
  EXPECT_TRUE(W.Z(kzBrae)->CountUnits(W.N(0), false, true, false, KindBit(ukAirForce)));
  EXPECT_FALSE(W.Z(kzBrae)->CountUnits(W.N(0), true, false, false, AllUnitKinds));
  EXPECT_TRUE(W.Z(kzDunmore)->CountAllUnits(W.N(0), false, false, true));
}

TEST_F(RulesTest, BeginImpulseClearsCountsAndSumsIndustry) {
  W.Z(kzAlba)->SetBombCount(3);
  W.Z(kzBrae)->SetStrikeCount(2);
  W.UnitIn(kzDunmore, 2, ukNavy)->SetSurfaced(true);
  W.UnitIn(kzDunmore, 2, ukNavy)->SetFought(true);
  E.Upkeep().BeginImpulse();
  EXPECT_EQ(W.Z(kzAlba)->GetBombCount(), 0);
  EXPECT_EQ(W.Z(kzBrae)->GetStrikeCount(), 0);
  EXPECT_EQ(E.GetWorldIndustry(), 10 + 6 + 4 + 3 + 5 + 2);
  EXPECT_FALSE(W.UnitIn(kzDunmore, 2, ukNavy)->GetSurfaced());
  EXPECT_FALSE(W.UnitIn(kzDunmore, 2, ukNavy)->GetFought());
}

TEST_F(RulesTest, UpkeepCountsDownAndEndsWhatIsDue) {
  TNation* Albion = W.N(0);
  Albion->SetInfluence(W.N(3), 1);
  Albion->SetInfluence(W.N(2), 3);
  Albion->SetCountdown(2);
  Albion->SetDiplomaticActions(0);
  for (int Duration : {0, 1, 2, -1}) {
    auto Event = std::make_unique<TActiveEvent>(E);
    Event->Duration = Duration;
    E.AddActiveEvent(std::move(Event));
  }
  W.Sink.Records.clear();
  E.Upkeep().EndImpulseUpkeep(8);  // Albion's interval is 4
  EXPECT_EQ(Albion->GetInfluence(W.N(3)), 0);
  EXPECT_EQ(Albion->GetInfluence(W.N(2)), 2);
  EXPECT_EQ(Albion->GetCountdown(), 1);
  EXPECT_EQ(Albion->GetDiplomaticActions(), 1);
  ASSERT_EQ(E.GetActiveEventCount(), 2);  // 0 and 1 end, 2 becomes 1, -1 lasts
  EXPECT_EQ(E.GetActiveEvent(0)->Duration, 1);
  EXPECT_EQ(E.GetActiveEvent(1)->Duration, -1);
  E.Upkeep().EndImpulseUpkeep(9);
  EXPECT_EQ(Albion->GetDiplomaticActions(), 1);
  EXPECT_TRUE(W.Sink.Records.empty());
  EXPECT_FALSE(E.GetLocalOnly());
}

TEST_F(RulesTest, StormCoverNeedsACornerInside) {
  auto Storm = std::make_unique<TStorm>(E);
  Storm->X = 50;  // over Alba's inside only, no corner of Brae in it
  Storm->Y = 20;
  Storm->Width = 60;
  Storm->Height = 60;
  E.AddStorm(std::move(Storm));
  E.Upkeep().EndImpulseUpkeep(1);
  EXPECT_FALSE(W.Z(kzAlba)->GetStorm());  // Alba's corners are at 0 and 100
  EXPECT_FALSE(W.Z(kzBrae)->GetStorm());
  E.GetStorm(0)->X = 90;
  E.GetStorm(0)->Y = 90;
  E.Upkeep().EndImpulseUpkeep(1);
  EXPECT_TRUE(W.Z(kzAlba)->GetStorm());
  EXPECT_TRUE(W.Z(kzBrae)->GetStorm());
  EXPECT_FALSE(W.Z(kzNorthSea)->GetStorm());  // its bounds meet the storm, no corner does
}

TEST_F(RulesTest, HomelessAirUnitsFlyHomeOrGoWithoutDrawing) {
  TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  TUnit* Bombers = W.UnitIn(kzBrae, 1, ukAirForce);
  // Brae falls to Albion: Ruritania's bombers fly to the neighbour Dunmore, now Ruritania's.
  W.Z(kzBrae)->SetOwner(W.N(0));
  W.Z(kzDunmore)->SetOwner(W.N(1));
  E.Upkeep().EndImpulseUpkeep(1);
  EXPECT_EQ(Bombers->GetZone(), W.Z(kzDunmore));
  EXPECT_EQ(Bombers->GetBaseZone(), W.Z(kzDunmore));
  EXPECT_EQ(Bombers->GetOrganization(), 100.0f);
  // With no Ruritanian land left in reach they are gone.
  W.Z(kzDunmore)->SetOwner(W.N(0));
  W.Z(kzGorse)->SetOwner(W.N(2));
  const std::int32_t ID = Bombers->ID;
  E.Upkeep().EndImpulseUpkeep(2);
  EXPECT_EQ(E.GetUnitByID(ID), nullptr);
  // An overloaded carrier loses the first of its air units until it has room.
  TUnit* Carrier = W.UnitIn(kzNorthSea, 0, ukNavy);
  TUnit* Extra = W.MakeUnit(0, ukAirForce, kzNorthSea, {{utFighter, 2}});
  Carrier->AddBased(Extra);
  Extra->SetBaseUnit(Carrier);
  const TUnit* First = Carrier->GetBased(0);
  E.Upkeep().EndImpulseUpkeep(3);
  EXPECT_EQ(First->GetZone(), W.Z(kzAlba));
  EXPECT_EQ(Extra->GetBaseUnit(), Carrier);
  EXPECT_EQ(None.Draws(), 0);
  EXPECT_EQ(CheckInvariants(E), "");
  E.SetRandomGenerator(nullptr);
}

TEST_F(RulesTest, ANationWithFullRelationsJoinsOneAlliance) {
  TNation* Free = W.N(2);
  Free->SetRelationDirect(W.N(0), 100);
  W.N(0)->SetRelationDirect(Free, 100);
  std::vector<std::string> Joined;
  E.OnAlliance = [&](TBrenmoorEngine*, TNation* N) { Joined.push_back(N->GetName()); };
  E.Upkeep().EndImpulseUpkeep(1);
  EXPECT_EQ(Free->GetAlliance(), "Allies");
  EXPECT_EQ(Free->GetRelation(W.N(1)), -100);
  EXPECT_EQ(W.N(1)->GetRelation(Free), -100);
  EXPECT_EQ(Joined, std::vector<std::string>{"Freedonia"});
  // In a free-for-all nobody joins.
  TKitWorld Other;
  Other.Engine().SetFreeForAll(true);
  Other.N(2)->SetRelationDirect(Other.N(0), 100);
  Other.N(0)->SetRelationDirect(Other.N(2), 100);
  Other.Engine().Upkeep().EndImpulseUpkeep(1);
  EXPECT_EQ(Other.N(2)->GetAlliance(), "");
}

TEST_F(RulesTest, PlayersWhoPlayNothingLeaveAndVictoryNamesTheWinner) {
  struct TUsers : TImpulseUsers {
    int GetUserCount() const override { return static_cast<int>(Names.size()); }
    std::string GetUserName(int I) const override { return Names[static_cast<std::size_t>(I)]; }
    void MarkUserRemoved(const std::string& Name) override { Removed.push_back(Name); }
    std::vector<std::string> Names{"ann", "bob", "cy"};
    std::vector<std::string> Removed;
  } Users;
  W.N(0)->SetPlayerName("ann");
  W.N(1)->SetPlayerName("bob");
  W.N(2)->SetPlayerName("cy");
  W.N(2)->SetAlive(false);
  E.SetImpulseUsers(&Users);
  std::vector<std::string> Gone;
  E.OnRemovePlayer = [&](TBrenmoorEngine*, const std::string& Name) { Gone.push_back(Name); };
  E.Upkeep().EndImpulseUpkeep(1);
  EXPECT_EQ(Users.Removed, std::vector<std::string>{"cy"});
  EXPECT_EQ(Gone, std::vector<std::string>{"cy"});

  TKitWorld Won(std::string(KitScenarioText) + "VictoryCondition=Axis~0~1~Axis~10~\nVictoryCondition=Albion~1~4~Albion~5~\n");
  Won.Engine().Upkeep().BeginImpulse();
  Won.Engine().Upkeep().EndImpulseUpkeep(4);
  EXPECT_EQ(Won.Engine().GetWinnerName(), "Axis");  // Ruritania's 11 of 30
  EXPECT_EQ(Won.Engine().GetAllianceDomination(1), 37);
}

TEST_F(RulesTest, OnlyANationStillAliveSurvivesUntilItsDate) {
  // Freedonia wins when it lives at impulse 5.
  for (const bool Alive : {true, false}) {
    TKitWorld World(std::string(KitScenarioText) + "VictoryCondition=Freedonia~1~4~Freedonia~5~\n");
    World.N(2)->SetAlive(Alive);
    World.Engine().Upkeep().EndImpulseUpkeep(4);
    EXPECT_EQ(World.Engine().GetWinnerNation(), nullptr) << "before the date";
    World.Engine().Upkeep().EndImpulseUpkeep(10);
    EXPECT_EQ(World.Engine().GetWinnerNation(), Alive ? World.N(2) : nullptr) << (Alive ? "alive" : "fallen");
  }
}

TEST_F(RulesTest, ARoutingWaitsForABlockedWayButEndsWhenItsTargetFalls) {
  TBrenmoorZone* Alba = W.Z(kzAlba);
  TBrenmoorZone* Brae = W.Z(kzBrae);
  TBrenmoorZone* Dunmore = W.Z(kzDunmore);
  TBrenmoorZone* Ferro = W.Z(kzFerro);
  for (TBrenmoorZone* Z : {Brae, Dunmore, Ferro}) Z->SetOwner(W.N(0));
  Alba->SetResources(20);
  ASSERT_NE(E.Supply().CreateRouting(Alba, Ferro, 5), nullptr);
  E.Supply().SupplyUpkeep();
  ASSERT_EQ(E.GetRouting(0)->FromZone, Brae);
  // An enemy zone on the way: it waits where it stands.
  Dunmore->SetOwner(W.N(1));
  E.Supply().SupplyUpkeep();
  ASSERT_EQ(E.GetRoutingCount(), 1);
  EXPECT_EQ(E.GetRouting(0)->FromZone, Brae);
  // The target falls to the enemy: no path can reach it again while it is theirs, so the
  // routing ends where it stands and leaves its resources there.
  Ferro->SetOwner(W.N(1));
  const float AtBrae = Brae->GetResources();
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(E.GetRoutingCount(), 0);
  EXPECT_GT(Brae->GetResources(), AtBrae + 5 - 0.01f);

  // So does one whose own zone falls (its target is then the enemy's), and one to the sea.
  for (TBrenmoorZone* Z : {Brae, Dunmore, Ferro}) Z->SetOwner(W.N(0));
  Alba->SetResources(20);
  ASSERT_NE(E.Supply().CreateRouting(Alba, Ferro, 5), nullptr);
  ASSERT_NE(E.Supply().CreateRouting(Alba, W.Z(kzNorthSea), 5), nullptr);
  Alba->SetOwner(W.N(1));
  const float AtAlba = Alba->GetResources();
  E.Supply().SupplyUpkeep();
  EXPECT_EQ(E.GetRoutingCount(), 0);
  EXPECT_GT(Alba->GetResources(), AtAlba + 10 - 0.01f);
}
