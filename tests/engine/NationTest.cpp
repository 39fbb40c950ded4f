#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "foundation/NumberText.h"

namespace {

class NationTest : public WorldFixture {};

}  // namespace

TEST_F(NationTest, ScenarioRecordFillsEveryField) {
  LoadWorld(false);
  ASSERT_EQ(Engine.GetNationCount(), 4);
  EXPECT_EQ(Engine.GetMajorCount(), 3);
  TNation* A = N(0);
  EXPECT_EQ(A->GetIndex(), 0);
  EXPECT_EQ(A->GetName(), "Albion");
  EXPECT_EQ(A->GetAlliance(), "Allies");
  EXPECT_TRUE(A->GetMajorPower());
  EXPECT_EQ(A->GetAdjective(), "Albish");
  EXPECT_EQ(A->GetValue5(), 5);
  EXPECT_EQ(A->GetText2(), "notes");
  EXPECT_FALSE(A->GetAttackWithoutWar());
  EXPECT_EQ(A->GetCountdown(), 3);
  EXPECT_EQ(A->GetStability(), 80);
  EXPECT_EQ(A->GetDiplomaticActionInterval(), 4);
  EXPECT_FLOAT_EQ(A->GetTypeFactor(0), 1.5f);
  EXPECT_FLOAT_EQ(A->GetTypeFactor(1), 0.5f);
  for (int T = 2; T < UnitTypeCount; ++T) EXPECT_FLOAT_EQ(A->GetTypeFactor(T), 1.0f) << T;
  EXPECT_EQ(A->GetColorSlot(), 2);
  EXPECT_TRUE(A->GetKamakazeAllowed());
  EXPECT_EQ(A->GetAIScript(), "albion.brmai");
  // Defaults of what the line does not give.
  EXPECT_TRUE(A->GetAlive());
  EXPECT_EQ(A->GetDiplomaticActions(), 1);
  EXPECT_EQ(A->GetCapital(), Z(zAlba));
  EXPECT_TRUE(N(1)->GetAttackWithoutWar());
  EXPECT_EQ(Engine.FindNation("Freedonia"), N(2));
  EXPECT_EQ(Engine.FindNation("freedonia"), nullptr);
}

TEST_F(NationTest, AllianceRelationsAndTheSecondPassKeepTheLinesPairs) {
  // Freedonia and Lichtenburg name each other at -30 on their lines.
  LoadWorld(false);
  EXPECT_EQ(N(0)->GetRelation(N(0)), 100);
  EXPECT_EQ(N(0)->GetRelation(N(1)), -100);
  EXPECT_EQ(N(1)->GetRelation(N(0)), -100);
  EXPECT_EQ(N(2)->GetRelation(N(3)), -30);
  EXPECT_EQ(N(3)->GetRelation(N(2)), -30);
  EXPECT_EQ(N(2)->GetRelation(N(2)), 0);
  EXPECT_EQ(N(0)->GetRelation(N(2)), 0);
  EXPECT_EQ(N(0)->GetRelation(nullptr), 0);

  // A pair named on a nation's line keeps that value after the alliances are set.
  TBrenmoorEngine Other;
  Other.ReadScenario("NationCount=2\nNation=A,Allies,1,A,0,1=20;\nNation=B,Axis,1,B,0,\nImpulseRate=1\n");
  EXPECT_EQ(Other.GetNation(0)->GetRelation(Other.GetNation(1)), -100);
  Other.LoadZoneData();
  EXPECT_EQ(Other.GetNation(0)->GetRelation(Other.GetNation(1)), 20);
  EXPECT_EQ(Other.GetNation(1)->GetRelation(Other.GetNation(0)), -100);
}

TEST_F(NationTest, RelationTextFollowsAlliancesThenTheNumber) {
  LoadWorld(false);
  EXPECT_EQ(N(0)->RelationText(N(0)), "N/A");
  EXPECT_EQ(N(0)->RelationText(N(1)), "War");
  N(0)->SetRelationDirect(N(1), 100);
  EXPECT_EQ(N(0)->RelationText(N(1)), "War");
  EXPECT_TRUE(N(0)->IsAtWarWith(N(1)));
  struct Case {
    int Relation;
    const char* Text;
  };
  const Case Cases[] = {{100, "Allied"}, {99, "Friendly"}, {75, "Friendly"}, {74, "Good"}, {50, "Good"},
                        {49, "Warm"},    {25, "Warm"},     {24, "Neutral"},  {0, "Neutral"}, {-24, "Neutral"},
                        {-25, "Cool"},   {-49, "Cool"},    {-50, "Poor"},    {-75, "Enemy"}, {-99, "Enemy"},
                        {-100, "War"}};
  for (const Case& C : Cases) {
    N(2)->SetRelationDirect(N(3), C.Relation);
    EXPECT_EQ(N(2)->RelationText(N(3)), C.Text) << C.Relation;
    EXPECT_EQ(N(2)->IsAlliedWith(N(3)), C.Relation >= 100) << C.Relation;
    EXPECT_EQ(N(2)->IsAtWarWith(N(3)), C.Relation <= -100) << C.Relation;
  }
  EXPECT_TRUE(N(2)->IsAlliedWith(N(2)));
  EXPECT_FALSE(N(2)->IsAlliedWith(nullptr));
}

TEST_F(NationTest, SetRelationWritesBothSidesOnceWithItsRecordAndEvents) {
  LoadWorld(false);
  std::vector<std::string> Events;
  Engine.OnDeclareWar = [&](TBrenmoorEngine*, TNation* A, TNation* B) { Events.push_back("war " + A->GetName() + " " + B->GetName()); };
  Engine.OnDeclareAllies = [&](TBrenmoorEngine*, TNation* A, TNation* B) { Events.push_back("allies " + A->GetName() + " " + B->GetName()); };

  N(2)->SetRelation(N(3), -30);  // The current value: nothing.
  EXPECT_TRUE(Sink.Records.empty());
  N(2)->SetRelation(N(3), -100);
  EXPECT_EQ(N(3)->GetRelation(N(2)), -100);
  N(0)->SetRelation(N(2), 100);   // Two majors: the event only.
  N(3)->SetRelation(N(2), 100);   // A minor and a major: the event, then the minor joins.
  N(2)->SetRelation(N(3), 250);   // Held to 100: the current value again.
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{rec::Relation(2, 3, -100), rec::Relation(0, 2, 100), rec::Relation(3, 2, 100),
                                                    rec::NationConquered(2, 3, -1, true, "")}));
  EXPECT_FALSE(N(3)->GetAlive());
  EXPECT_EQ(Events, (std::vector<std::string>{"war Freedonia Lichtenburg", "allies Albion Freedonia",
                                              "allies Lichtenburg Freedonia"}));

  // A dead nation's relations no longer change.
  N(3)->SetAlive(false);
  N(2)->SetRelation(N(3), 10);
  EXPECT_EQ(N(2)->GetRelation(N(3)), 100);
  // A client (or the upkeep) writes no record, but the relation changes.
  Sink.Records.clear();
  Sink.Host = false;
  N(0)->SetRelation(N(2), 40);
  EXPECT_EQ(N(2)->GetRelation(N(0)), 40);
  EXPECT_TRUE(Sink.Records.empty());
}

TEST_F(NationTest, QueriesOverTheZonesAndTheSimpleSetters) {
  LoadWorld(false);
  TNation* A = N(0);
  EXPECT_EQ(A->GetTotalIndustry(), 10);
  EXPECT_DOUBLE_EQ(A->GetTotalResources(), 12.5);
  EXPECT_EQ(A->GetWorldDomination(), 0);  // No world total yet.
  Engine.SetWorldIndustry(40);
  EXPECT_EQ(A->GetWorldDomination(), 25);
  Engine.SetWorldIndustry(16);            // 62.5 rounds to the even 62.
  EXPECT_EQ(A->GetWorldDomination(), 62);
  Engine.SetWorldIndustry(48);            // 20.83 rounds to 21.
  EXPECT_EQ(A->GetWorldDomination(), 21);
  A->SetScoreDeduction(15);
  EXPECT_EQ(A->GetScore(), 185);
  A->SetAlive(false);
  EXPECT_EQ(A->GetTotalIndustry(), 0);

  EXPECT_EQ(N(0)->GetMajorIndex(), 0);
  EXPECT_EQ(N(3)->GetMajorIndex(), 7);
  EXPECT_EQ(N(3)->GetColorIndex(), 244);
  EXPECT_EQ(N(0)->GetColorIndex(), 253);  // Slot 2.
  EXPECT_EQ(N(1)->GetColorIndex(), 16);   // Slot 1.

  A->SetStability(150);
  EXPECT_EQ(A->GetStability(), 100);
  A->SetStability(-5);
  EXPECT_EQ(A->GetStability(), 0);
  A->SetResearchSpendingTotal(300);       // 300 mod 256 = 44.
  EXPECT_EQ(A->GetResearchSpendingTotal(), 300);
  EXPECT_FLOAT_EQ(A->GetResearchSpendingFraction(), 0.44f);
  // A total beyond what a saved game holds is held, and the fraction is the held total's
  // (1000000 mod 256 = 64), as on a machine that is sent or loads the held total.
  A->SetResearchSpendingTotal(1000095);
  EXPECT_EQ(A->GetResearchSpendingTotal(), 1000000);
  EXPECT_FLOAT_EQ(A->GetResearchSpendingFraction(), 0.64f);

  A->SetInfluence(N(2), 7);
  A->SetInfluence(N(1), 3);
  A->SetInfluence(N(2), 0);
  EXPECT_EQ(A->GetInfluence(N(2)), 0);
  EXPECT_EQ(A->GetInfluence(N(1)), 3);
  EXPECT_EQ(A->GetInfluenceList().Count(), 1);
  A->SetBrainData("target", "Brae");
  A->SetBrainData("mood", "bold");
  A->SetBrainData("target", "Ferro");
  EXPECT_EQ(A->GetBrainData("target"), "Ferro");
  EXPECT_EQ(A->GetBrainData("none"), "");
  EXPECT_EQ(A->GetBrainDataList().Items().front().first, "target");

  A->SetPlayerName("Ann");
  A->SetAIScript("a.brmai");
  EXPECT_EQ(A->GetDisplayName(), "Ann");
  A->SetComputerPlayer(true);
  EXPECT_EQ(A->GetDisplayName(), "a.brmai");
}

TEST_F(NationTest, CanAttackZoneByOwnerAndFlag) {
  LoadWorld(false);
  // Albion (no attack without war) and Ruritania (attack without war) against zones of
  // nobody, an enemy, an ally and a neutral nation, calm and embattled.
  N(0)->SetRelationDirect(N(2), 100);
  EXPECT_TRUE(N(0)->CanAttackZone(Z(zNorthSea)));
  EXPECT_TRUE(N(0)->CanAttackZone(Z(zBrae)));       // At war.
  EXPECT_FALSE(N(0)->CanAttackZone(Z(zDunmore)));   // Allied by relation, calm.
  Z(zDunmore)->SetEmbattled(true);
  EXPECT_TRUE(N(0)->CanAttackZone(Z(zDunmore)));
  EXPECT_FALSE(N(0)->CanAttackZone(Z(zFerro)));     // Neutral.
  EXPECT_TRUE(N(1)->CanAttackZone(Z(zFerro)));      // Not allied.
  EXPECT_FALSE(N(1)->CanAttackZone(Z(zBrae)));      // Its own zone, calm.
}

TEST_F(NationTest, TallyOfKindsReadsTheNationsRow) {
  LoadWorld(false);
  EXPECT_EQ(N(0)->TallyOfKinds(Z(zAlba), KindBit(ukArmy)), 7);
  EXPECT_EQ(N(0)->TallyOfKinds(Z(zNorthSea), KindBit(ukNavy)), 2);
  EXPECT_EQ(N(0)->TallyOfKinds(Z(zNorthSea), AllUnitKinds), 4);
  EXPECT_EQ(N(3)->TallyOfKinds(Z(zFerro), KindBit(ukArmy)), 2);
  EXPECT_EQ(N(1)->TallyOfKinds(Z(zAlba), AllUnitKinds), 0);
}

TEST_F(NationTest, SavedFieldWritesItsTwentyOneValues) {
  LoadWorld(false);
  TNation* A = N(0);
  A->SetUnitCost(utInfantry, 3);
  A->SetUnitCost(utBomber, 12);
  A->SetInfluence(N(3), -4);
  A->SetPlayerName("[SOLO]");
  A->SetResearchProgress(0, 5);
  A->SetResearchSpending(0, 2);
  A->SetResearchLevel(0, 1);
  A->SetResearchLevel(7, 3);
  A->SetResearchSpendingTotal(40);
  A->SetScoreDeduction(9);
  A->NextKindOrdinal(ukNavy);
  EXPECT_EQ(A->SaveToString(),
            "10#10#10#3#10#10#10#12#10#10#10#10#10#10#10#10#~"
            "0=100#1=-100#~"
            "1.50#0.50#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#~"
            "0#0#1#~1~Allies~0~1~4~0~0~3~80~5~3=-4#~0~[SOLO]~40~"
            "5#2#1#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#0#3#~2~9~");
  // Without influence entries field 15 is empty; without capital field 16 is -1.
  N(3)->SetCapital(nullptr);
  const std::string Minor = N(3)->SaveToString();
  EXPECT_NE(Minor.find("~100~0~~-1~"), std::string::npos) << Minor;
}

TEST_F(NationTest, SavedFieldReadsBackIntoTheReReadScenario) {
  LoadWorld(false);
  TNation* A = N(0);
  A->SetUnitCost(utArmor, 7);
  A->SetRelationDirect(N(2), -60);
  A->SetRelationDirect(N(0), 0);
  A->SetInfluence(N(2), 11);
  A->SetAlive(false);
  A->SetComputerPlayer(true);
  A->SetStability(33);
  A->SetCountdown(9);
  A->SetDiplomaticActions(2);
  A->SetCapital(Z(zBrae));
  A->SetResearchLevel(4, 6);
  A->SetResearchSpendingTotal(120);
  A->NextKindOrdinal(ukArmy);
  A->NextKindOrdinal(ukArmy);
  const std::string Saved = A->SaveToString();

  LoadWorld(false);
  TNation* B = N(0);
  B->LoadFromString(Saved);
  Engine.ResolveLoadedReferences();
  EXPECT_EQ(B->GetUnitCost(utArmor), 7);
  EXPECT_EQ(B->GetRelation(N(2)), -60);
  EXPECT_EQ(B->GetRelation(N(0)), 0);   // Reading sets every relation first.
  EXPECT_EQ(B->GetRelation(N(1)), -100);
  EXPECT_EQ(B->GetInfluence(N(2)), 11);
  EXPECT_FALSE(B->GetAlive());
  EXPECT_TRUE(B->GetComputerPlayer());
  EXPECT_EQ(B->GetStability(), 33);
  EXPECT_EQ(B->GetCountdown(), 9);
  EXPECT_EQ(B->GetDiplomaticActions(), 2);
  EXPECT_EQ(B->GetCapital(), Z(zBrae));
  EXPECT_EQ(B->GetResearchLevel(4), 6);
  EXPECT_FLOAT_EQ(B->GetResearchSpendingFraction(), 1.2f);
  EXPECT_EQ(B->GetKindCounter(ukArmy), 2);
  EXPECT_EQ(B->SaveToString(), Saved);
  // What the field does not hold comes from the scenario.
  EXPECT_EQ(B->GetAdjective(), "Albish");
  EXPECT_EQ(B->GetAIScript(), "albion.brmai");
}

TEST_F(NationTest, RecordsThatWouldOverrunTheModelAreRefusedNamingTheLine) {
  struct Case {
    const char* Line;
    const char* Message;
  };
  const Case Cases[] = {
      {"Nation=X,,1,X,0,,,0,0,100,0,,8,0,", "Scenario line 2, field Nation: the colour slot 8 is outside 0..7"},
      {"Nation=X,,1,X,0,,,0,0,100,0,,-1,0,", "Scenario line 2, field Nation: the colour slot -1 is outside 0..7"},
      {"Nation=X,,1,X,0,1=101;,,0,0,100,0,,0,0,", "Scenario line 2, field Nation: the relation 101 is outside -100..100"},
      {"Nation=X,,1,X,0,1=-101;,,0,0,100,0,,0,0,", "Scenario line 2, field Nation: the relation -101 is outside -100..100"},
      {"Nation=X,,1,X,0,2=5;,,0,0,100,0,,0,0,", "Scenario line 2, field Nation: the relation index 2 is not below NationCount 2"},
      {"Nation=X,,1,X,0,1=lots;,,0,0,100,0,,0,0,", "Scenario line 2, field Nation: 'lots' is not a valid integer value"},
      {"Nation=X,,1,X,0,,,0,0,100,0,1.0;x;,0,0,", "Scenario line 2, field Nation: 'x' is not a valid floating point value"},
  };
  for (const Case& C : Cases) {
    TBrenmoorEngine Other;
    EXPECT_EQ(EngineError([&] { Other.ReadScenario(std::string("NationCount=2\n") + C.Line + "\n"); }), C.Message) << C.Line;
  }
  TBrenmoorEngine Other;
  EXPECT_EQ(EngineError([&] { Other.ReadScenario("Alliance=A\nNation=X,,1,X\nNationCount=2\n"); }),
            "Scenario line 2, field Nation: a Nation line before NationCount");
  // A saved field too: a relation index beyond the array, a colour slot beyond 7.
  LoadWorld(false);
  std::string Saved = N(0)->SaveToString();
  std::string Bad = Saved;
  Bad.replace(Bad.find("0=100#"), 6, "9=100#");
  EXPECT_EQ(EngineError([&] { N(0)->LoadFromString(Bad); }), "Nation Albion: the relation index 9 is not below NationCount 4");
  Bad = Saved;
  Bad.replace(Bad.rfind("~2~"), 3, "~8~");
  EXPECT_EQ(EngineError([&] { N(0)->LoadFromString(Bad); }), "Nation Albion: the colour slot 8 is outside 0..7");
}
