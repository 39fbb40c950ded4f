// The replay of change records on a machine that does not run the rules.
#include <gtest/gtest.h>

#include "engine/kit/RulesKit.h"
#include "foundation/ListError.h"

namespace {

using namespace kit;

class ReplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    W.Sink.Host = false;
    E.SetRandomGenerator(&None);
  }
  void TearDown() override {
    EXPECT_EQ(None.Draws(), 0);
    EXPECT_TRUE(W.Sink.Records.empty());
    EXPECT_EQ(CheckInvariants(E), "");
  }
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TForbiddenRandom None;
};

}  // namespace

TEST_F(ReplayTest, UnitRecordsFindTheirUnitOrAreSkipped) {
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  const std::string ID = std::to_string(Army->ID);
  E.ApplyStateChange("0;" + ID + ";1;");
  EXPECT_EQ(Army->GetZone(), W.Z(kzBrae));
  EXPECT_EQ(Army->GetOrganization(), 100.0f);  // the replayed move draws no loss
  const std::string Before = DumpState(E);
  for (const char* Record : {"0;999;1;", "59;1;", "-1;", "x;", "", "24;999;"}) E.ApplyStateChange(Record);
  EXPECT_EQ(DumpState(E), Before);
  // An order record without destinations is the host's unit without them: whatever the guest
  // had goes.
  Army->SetDestinationZone(W.Z(kzDunmore));
  Army->SetDestinationUnit(W.UnitIn(kzBrae, 1, ukArmy));
  E.ApplyStateChange("3;" + ID + ";10;-1;-1;1;");
  EXPECT_EQ(Army->GetOrder(), ordInvade);
  EXPECT_EQ(Army->GetDestinationZone(), nullptr);
  EXPECT_EQ(Army->GetDestinationUnit(), nullptr);
  EXPECT_TRUE(Army->GetAttacking());
  // A unit removed takes its counts out of the tallies.
  E.ApplyStateChange("24;" + ID + ";");
  EXPECT_EQ(E.GetUnitByID(std::stoi(ID)), nullptr);
}

TEST_F(ReplayTest, ZoneAndNationRecords) {
  W.Z(kzAlba)->SetEmbattled(true);
  E.ApplyStateChange("6;;");
  EXPECT_FALSE(W.Z(kzAlba)->GetEmbattled());
  E.ApplyStateChange("6;1#4#;");
  EXPECT_TRUE(W.Z(kzBrae)->GetEmbattled());
  EXPECT_TRUE(W.Z(kzDunmore)->GetEmbattled());
  TNation* N = W.N(1);
  for (int T = 0; T < UnitTypeCount; ++T) N->SetUnitCost(T, 3);
  E.ApplyStateChange("28;1;-#-#-#-#-#-#-#12#-#-#-#-#-#-#-#-#;");
  EXPECT_EQ(N->GetUnitCost(utBomber), 12);
  EXPECT_EQ(N->GetUnitCost(utAtomicBomber), 12);
  EXPECT_EQ(N->GetUnitCost(utFighter), 3);
  // A rocket target of the zone's own owner is none.
  E.ApplyStateChange("45;6;1;");
  EXPECT_EQ(W.Z(kzBrae)->GetRocketTarget(), nullptr);
  E.ApplyStateChange("45;0;1;");
  EXPECT_EQ(W.Z(kzBrae)->GetRocketTarget(), W.Z(kzAlba));
  // Diplomatic actions never wrap below none.
  W.N(0)->SetDiplomaticActions(0);
  E.ApplyStateChange("35;0;");
  E.ApplyStateChange("29;0;2;40;");
  EXPECT_EQ(W.N(0)->GetDiplomaticActions(), 0);
  EXPECT_EQ(W.N(2)->GetStability(), 40);
  // A relation record fires the war event as on the host.
  std::vector<int> War;
  E.OnDeclareWar = [&](TBrenmoorEngine*, TNation* A, TNation* B) { War = {A->GetIndex(), B->GetIndex()}; };
  E.ApplyStateChange("30;2;3;-100;");
  EXPECT_EQ(W.N(3)->GetRelation(W.N(2)), -100);
  EXPECT_EQ(War, (std::vector<int>{2, 3}));
  // A routing to its own zone is refused and takes nothing.
  const float Resources = W.Z(kzAlba)->GetResources();
  E.ApplyStateChange("10;0;0;5;");
  EXPECT_EQ(E.GetRoutingCount(), 0);
  EXPECT_EQ(W.Z(kzAlba)->GetResources(), Resources);
  E.ApplyStateChange("10;0;1;5;");
  EXPECT_EQ(E.GetRoutingCount(), 1);
  EXPECT_FLOAT_EQ(W.Z(kzAlba)->GetResources(), Resources - 5);
  // An index outside its list raises the list's error.
  EXPECT_THROW(E.ApplyStateChange("11;0;99;"), EListError);
  EXPECT_THROW(E.ApplyStateChange("32;9;1;"), EListError);
}

TEST_F(ReplayTest, DivisionAndMergeGiveTheHostsIdentifiers) {
  TKitWorld Host;
  TUnit* HostArmy = Host.UnitIn(kzAlba, 0, ukArmy);
  TUnit* HostNew = Host.Engine().DivideUnit(HostArmy, "0#0#0#2#", nullptr);
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  E.ApplyStateChange("13;" + std::to_string(Army->ID) + ";0#0#0#2#;-1;-1;");
  TUnit* New = E.GetUnitByID(HostNew->ID);
  ASSERT_NE(New, nullptr);
  EXPECT_EQ(New->GetCount(utInfantry), 2);
  const std::int32_t NewID = New->ID;
  E.ApplyStateChange("14;0;" + std::to_string(NewID) + "#" + std::to_string(Army->ID) + "#;");
  EXPECT_EQ(E.GetUnitByID(NewID), nullptr);
  EXPECT_EQ(Army->GetCount(utInfantry), 5);
  // Supply walks and resets.
  W.Z(kzBrae)->SetOwner(W.N(0));
  E.ApplyStateChange("53;0;1;");
  EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzAlba));
  E.ApplyStateChange("54;0;");
  EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzBrae));
}

TEST_F(ReplayTest, ABuildStartsWithTheTotalTheHostComputed) {
  // A conquered zone builds at 0.6 of the production points: the host's total comes along.
  E.ApplyStateChange("12;1;0;0#0#0#2#0#0#0#0#0#0#0#0#0#0#0#0#;2;1.2;");
  TBrenmoorZone* Brae = W.Z(kzBrae);
  EXPECT_TRUE(Brae->GetBuilding());
  EXPECT_EQ(Brae->GetBuildKind(), ukArmy);
  EXPECT_EQ(Brae->GetBuildQueue(utInfantry), 2);
  EXPECT_EQ(Brae->GetBuildTotal(), 1.2f);
  EXPECT_EQ(Brae->GetResources(), 2.0f);
  EXPECT_EQ(Brae->GetBuildProgressPoints(), 0.0f);
  // A record of an older host without it: the plain sum of the production points.
  E.ApplyStateChange("12;0;2;0#0#0#0#0#0#0#0#0#0#0#0#0#1#1#0#;0;");
  EXPECT_EQ(W.Z(kzAlba)->GetBuildTotal(), 50.0f);
  EXPECT_EQ(W.Z(kzAlba)->GetBuildKind(), ukNavy);
}

TEST_F(ReplayTest, ARecordCutShortChangesNothing) {
  const std::string Before = DumpState(E);
  // Every code without its fields (58, the free-for-all start, has none).
  for (int Code = 0; Code < 58; ++Code) EXPECT_NO_THROW(E.ApplyStateChange(std::to_string(Code) + ";")) << Code;
  for (const char* Record : {"8;0;", "9;0;1;", "0;0;", "3;0;1;1;", "12;0;0;0#0#0#1#;", "44;0;0;0;0;0;", "57;0;1;1;", "13;0;0#0#0#1#;-1;"})
    EXPECT_NO_THROW(E.ApplyStateChange(Record)) << Record;
  EXPECT_EQ(FirstDifference(DumpState(E), Before), "");
}
