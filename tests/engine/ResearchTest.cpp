// Research: the allocation, the level gained with the unit type it improves, the research
// stage and the replay of its records on a guest, and the atomic bomb.
#include <gtest/gtest.h>

#include <cmath>

#include "engine/AtomicRules.h"
#include "engine/ResearchRules.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RulesKit.h"
#include "foundation/ListError.h"

namespace {

using namespace kit;

class ResearchTest : public ::testing::Test {
protected:
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
};

// The type a conventional advance of the group improves, found by the factor that moved.
int ImprovedType(TKitWorld& W, int Group, std::int32_t Pick) {
  TNation* N = W.N(0);
  const auto Before = N->GetTypeFactors();
  EXPECT_TRUE(W.Engine().Research().AdvanceResearch(N, Group, Pick));
  for (int T = 0; T < UnitTypeCount; ++T)
    if (N->GetTypeFactor(T) != Before[static_cast<std::size_t>(T)] && T != utAtomicBomber) return T;
  return -1;
}

}  // namespace

TEST_F(ResearchTest, AllocationSetsTheTotalAndTheGroups) {
  E.Research().SetResearchAllocation(W.N(0), "100#50#50#0#0#0#0#0#0#");
  EXPECT_EQ(W.N(0)->GetResearchSpendingTotal(), 100);
  EXPECT_EQ(W.N(0)->GetResearchSpending(0), 50);
  EXPECT_EQ(W.N(0)->GetResearchSpending(1), 50);
  for (int G = 2; G < ResearchGroupCount; ++G) EXPECT_EQ(W.N(0)->GetResearchSpending(G), 0);
}

TEST_F(ResearchTest, ConventionalAdvancesPickTheirTypeByThePick) {
  struct TCase {
    int Group;
    std::int32_t Pick;
    bool JetComplete;
    int Type;
  };
  const TCase Cases[] = {
      {0, 7, false, utArmor},         // 7 mod 4 among Artillery, AA Gun, Infantry, Armor
      {0, 0, false, utArtillery},
      {1, 2, false, utBomber},        // Fighter, Dive Bomber, Bomber: never the Atomic Bomber
      {1, 3, false, utFighter},       // without jets 3 mod 3 = 0
      {1, 3, true, utJetFighter},     // with jets 3 mod 4 = 3
      {2, 0, false, utMerchantShip},  // every navy type
      {2, 4, false, utCruiser},       // Merchant Ship, Transport, Destroyer, Submarine, Cruiser, ...
      {2, 99, false, utTransport},    // 99 mod 7 = 1
  };
  for (const TCase& C : Cases) {
    TKitWorld World;
    if (C.JetComplete) World.N(0)->SetResearchProgress(6, World.Engine().GetResearchCost(6));
    const float Old = World.N(0)->GetTypeFactor(C.Type);
    EXPECT_EQ(ImprovedType(World, C.Group, C.Pick), C.Type) << "group " << C.Group << " pick " << C.Pick;
    EXPECT_FLOAT_EQ(World.N(0)->GetTypeFactor(C.Type), Old + 0.1f);
    EXPECT_EQ(World.N(0)->GetResearchLevel(C.Group), 1);
  }
  // The Atomic Bomber follows the Bomber.
  TKitWorld World;
  World.Engine().Research().AdvanceResearch(World.N(0), 1, 2);
  EXPECT_EQ(World.N(0)->GetTypeFactor(utAtomicBomber), World.N(0)->GetTypeFactor(utBomber));
}

TEST_F(ResearchTest, TechAdvancesFireTheirEventAndKeepOrClearProgress) {
  std::vector<int> Techs;
  std::vector<int> Types;
  E.OnUpgradeTech = [&](TBrenmoorEngine*, TNation*, int G) { Techs.push_back(G); };
  E.OnUpgradeUnitType = [&](TBrenmoorEngine*, TNation*, TUnitType T) { Types.push_back(T); };
  TNation* N = W.N(0);
  N->SetResearchProgress(4, 15);
  N->SetResearchProgress(3, 200);
  N->SetResearchProgress(0, 25);
  EXPECT_TRUE(E.Research().AdvanceResearch(N, 4, 0));
  EXPECT_TRUE(E.Research().AdvanceResearch(N, 3, 0));
  EXPECT_TRUE(E.Research().AdvanceResearch(N, 0, 3));
  EXPECT_EQ(Techs, (std::vector<int>{4, 3}));
  EXPECT_EQ(Types, std::vector<int>{utArmor});
  EXPECT_EQ(N->GetResearchProgress(4), 0);
  EXPECT_EQ(N->GetResearchProgress(3), 200);
  EXPECT_EQ(N->GetResearchProgress(0), 0);
  EXPECT_EQ(N->GetResearchLevel(4), 1);
  // A negative pick or a group of none is refused, changing nothing.
  EXPECT_FALSE(E.Research().AdvanceResearch(N, 1, -1));
  EXPECT_FALSE(E.Research().AdvanceResearch(N, 8, 0));
  EXPECT_EQ(N->GetResearchLevel(1), 0);
}

TEST_F(ResearchTest, LevelRecordsWithABadPickAreRefusedWhole) {
  E.ApplyStateChange(rec::ResearchLevel({{0, 4, 5}, {0, 1, -3}}));
  EXPECT_EQ(W.N(0)->GetResearchLevel(4), 0);
  EXPECT_EQ(W.N(0)->GetResearchLevel(1), 0);
  E.ApplyStateChange(rec::ResearchLevel({{0, 4, 5}, {0, 9, 1}}));
  EXPECT_EQ(W.N(0)->GetResearchLevel(4), 0);
  E.ApplyStateChange(rec::ResearchLevel({{0, 4, 5}, {1, 0, 99}}));
  EXPECT_EQ(W.N(0)->GetResearchLevel(4), 1);
  EXPECT_EQ(W.N(1)->GetResearchLevel(0), 1);
  EXPECT_THROW(E.ApplyStateChange(rec::ResearchLevel({{9, 4, 5}})), EListError);
  // Progress and allocation records.
  E.ApplyStateChange(rec::ResearchProgress({{0, 6}, {0, 6}, {2, 3}}));
  EXPECT_EQ(W.N(0)->GetResearchProgress(6), 2);
  EXPECT_EQ(W.N(2)->GetResearchProgress(3), 1);
  E.ApplyStateChange(rec::ResearchAllocation(2, "30#1#2#3#4#5#6#7#8#"));
  EXPECT_EQ(W.N(2)->GetResearchSpendingTotal(), 30);
  EXPECT_EQ(W.N(2)->GetResearchSpending(7), 8);
}

TEST_F(ResearchTest, TheStageWritesProgressBeforeEachLevelSoTheGuestGainsTheSameType) {
  // Albion researches air and jets, both one point short; the chance is certain.
  TKitWorld Guest;
  for (TKitWorld* World : {&W, &Guest})
    for (int I = 0; I < World->Engine().GetNationCount(); ++I) World->Engine().Research().SetResearchAllocation(World->N(I), "0#0#0#0#0#0#0#0#0#");
  TNation* N = W.N(0);
  E.Research().SetResearchAllocation(N, "100#0#1#0#0#0#0#1#0#");
  Guest.Engine().Research().SetResearchAllocation(Guest.N(0), "100#0#1#0#0#0#0#1#0#");
  for (TKitWorld* World : {&W, &Guest}) {
    World->N(0)->SetResearchProgress(1, World->Engine().GetResearchCost(1) - 1);
    World->N(0)->SetResearchProgress(6, World->Engine().GetResearchCost(6) - 1);
  }
  N->SetResearchPoints(1000);
  Guest.N(0)->SetResearchPoints(1000);
  TScriptedRandom Script;
  for (int G = 0; G < ResearchGroupCount; ++G) {
    Script.QueueInt(0);
    if (G == 1 || G == 6) Script.QueueInt(3);  // the pick
  }
  E.SetRandomGenerator(&Script);
  E.Research().ResearchStage();
  E.SetRandomGenerator(nullptr);
  EXPECT_TRUE(Script.Empty());
  // When the air level came, the jets were not complete yet: 3 mod 3 chose the Fighter.
  EXPECT_FLOAT_EQ(N->GetTypeFactor(utFighter), 1.1f);
  EXPECT_FLOAT_EQ(N->GetTypeFactor(utJetFighter), 1.0f);
  EXPECT_EQ(W.Sink.Records, (std::vector<std::string>{"41;0#1#;", "42;0#1#3#;", "41;0#6#;", "42;0#6#3#;"}));
  for (const std::string& R : W.Sink.Records) Guest.Engine().ApplyStateChange(R);
  const TDumpOptions Shared{false, false};
  EXPECT_EQ(FirstDifference(DumpState(E, Shared), DumpState(Guest.Engine(), Shared)), "");
}

TEST_F(ResearchTest, ANationWithoutGroupsSpendsOnAllEight) {
  for (int I = 0; I < E.GetNationCount(); ++I) E.Research().SetResearchAllocation(W.N(I), "0#0#0#0#0#0#0#0#0#");
  E.Research().SetResearchAllocation(W.N(1), "256#0#0#0#0#0#0#0#0#");  // low byte 0: no research
  E.Research().SetResearchAllocation(W.N(2), "40#0#0#0#0#0#0#0#0#");
  W.N(2)->SetResearchPoints(0);
  E.SetRandomSeed(4);
  E.Research().ResearchStage();
  EXPECT_EQ(W.Sink.Records, std::vector<std::string>{"40;2;40#1#1#1#1#1#1#1#1#;"});
  for (int G = 0; G < ResearchGroupCount; ++G) EXPECT_EQ(W.N(2)->GetResearchSpending(G), 1);
  EXPECT_EQ(W.N(1)->GetResearchSpending(0), 0);
}

TEST_F(ResearchTest, AllianceDominationSumsItsMajorPowers) {
  EXPECT_EQ(E.Upkeep().GetAllianceDomination(std::string("Allies")), W.N(0)->GetWorldDomination());
  EXPECT_EQ(E.Upkeep().GetAllianceDomination(std::string("Axis")), W.N(1)->GetWorldDomination());
  // Freedonia and the minor Lichtenburg share the empty alliance name; only the major counts.
  EXPECT_EQ(E.Upkeep().GetAllianceDomination(std::string()), W.N(2)->GetWorldDomination());
  EXPECT_EQ(E.Upkeep().GetAllianceDomination(std::string("Nobody")), 0);
}

// --- The atomic bomb ---

TEST_F(ResearchTest, AnAtomicBombTurnsItsBombersAndRecordsTheZone) {
  // Ruritania bombs Albion's capital Alba.
  TUnit* Bombers = W.MakeUnit(1, ukAirForce, kzAlba, {{utBomber, 1}, {utAtomicBomber, 2}});
  TUnit* Enemy = W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 100}});
  TUnit* Neutral = W.MakeUnit(2, ukArmy, kzAlba, {{utInfantry, 100}});
  int Fired = 0;
  E.OnAtomicBomb = [&](TBrenmoorEngine*, TNation* N, TBrenmoorZone* Z) {
    EXPECT_EQ(N, W.N(1));
    EXPECT_EQ(Z, W.Z(kzAlba));
    ++Fired;
  };
  TKitWorld Guest;
  Guest.MakeUnit(1, ukAirForce, kzAlba, {{utBomber, 1}, {utAtomicBomber, 2}});
  Guest.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 100}});
  Guest.MakeUnit(2, ukArmy, kzAlba, {{utInfantry, 100}});
  W.N(0)->SetRelationDirect(W.N(1), -50);  // drift can still move it
  W.N(1)->SetRelationDirect(W.N(0), -50);
  Guest.N(0)->SetRelationDirect(Guest.N(1), -50);
  Guest.N(1)->SetRelationDirect(Guest.N(0), -50);
  E.SetRandomSeed(11);
  E.Atomic().AtomicBomb(W.N(1), W.Z(kzAlba), Bombers);
  EXPECT_EQ(Fired, 1);
  EXPECT_EQ(Bombers->GetCount(utBomber), 3);
  EXPECT_EQ(Bombers->GetCount(utAtomicBomber), 0);
  EXPECT_EQ(CheckInvariants(E), "");
  EXPECT_GT(Enemy->GetDamaged(utInfantry), 50);
  EXPECT_EQ(Neutral->GetDamaged(utInfantry), 0);
  EXPECT_LE(W.Z(kzAlba)->GetIndustry(), 10);
  ASSERT_GE(W.Sink.Records.size(), 1u);
  EXPECT_EQ(W.Sink.Records[0].rfind("44;1;0;" + std::to_string(Bombers->ID) + ";", 0), 0u) << W.Sink.Records[0];
  EXPECT_LT(W.N(1)->GetRelation(W.N(0)), -50);
  // The guest gets the same zone, bombers and relation from the records.
  Guest.Engine().OnAtomicBomb = [&](TBrenmoorEngine*, TNation* N, TBrenmoorZone* Z) {
    EXPECT_EQ(N, Guest.N(1));
    EXPECT_EQ(Z, Guest.Z(kzAlba));
    ++Fired;
  };
  for (const std::string& R : W.Sink.Records) Guest.Engine().ApplyStateChange(R);
  EXPECT_EQ(Fired, 2);
  const TDumpOptions Shared{true, false};
  EXPECT_EQ(FirstDifference(DumpState(E, Shared), DumpState(Guest.Engine(), Shared)), "");
}

TEST_F(ResearchTest, TwoBombsLeaveAboutAQuarterOfTheIndustry) {
  TUnit* Bombers = W.MakeUnit(1, ukAirForce, kzHale, {{utAtomicBomber, 2}});
  double Total = 0;
  constexpr int Trials = 400;
  E.SetRandomSeed(21);
  for (int I = 0; I < Trials; ++I) {
    Bombers->SetCount(utAtomicBomber, 2);
    Bombers->SetCount(utBomber, 0);
    W.Z(kzHale)->SetIndustry(10);
    W.Z(kzHale)->SetResources(0);
    W.Z(kzHale)->SetFactories(0);
    E.Atomic().AtomicBomb(W.N(1), W.Z(kzHale), Bombers);
    Total += W.Z(kzHale)->GetIndustry();
  }
  EXPECT_NEAR(Total / Trials, 10 * 0.51 * 0.51, 0.3);
}

TEST_F(ResearchTest, ABomberWithoutBombsStillReportsAndAnUnownedZoneKeepsRelations) {
  TUnit* Empty = W.MakeUnit(1, ukAirForce, kzNorthSea, {{utBomber, 1}});
  int Fired = 0;
  E.OnAtomicBomb = [&](TBrenmoorEngine*, TNation*, TBrenmoorZone*) { ++Fired; };
  TForbiddenRandom Forbidden;
  E.SetRandomGenerator(&Forbidden);
  E.Atomic().AtomicBomb(W.N(1), W.Z(kzNorthSea), Empty);
  E.SetRandomGenerator(nullptr);
  EXPECT_EQ(Fired, 1);
  ASSERT_EQ(W.Sink.Records.size(), 1u);
  EXPECT_EQ(W.Sink.Records[0].rfind("44;1;2;", 0), 0u);
  EXPECT_EQ(Empty->GetCount(utBomber), 1);
}
