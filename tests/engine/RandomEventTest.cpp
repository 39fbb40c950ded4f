// The immediate effects of a random event over each kind of area: units destroyed, their
// organisation and the zones' resources, and what a guest makes of their records.
#include <gtest/gtest.h>

#include "RulesReplay.h"
#include "engine/RandomEventRules.h"

namespace {

using namespace kit;

enum { Albion, Ruritania, Freedonia, Lichtenburg };

class RandomEventTest : public ::testing::Test {
protected:
  TActiveEvent Event(int Effect, int Area, float Factor) {
    TActiveEvent A(E);
    A.Effect = static_cast<std::uint8_t>(Effect);
    A.AreaKind = static_cast<std::uint8_t>(Area);
    A.Factor = Factor;
    return A;
  }
  // The identifiers of the units the event's area holds, in list order.
  std::vector<int> UnitsHit(const TActiveEvent& A) {
    std::vector<int> IDs;
    for (const TUnit* U : E.GetUnits())
      if (E.RandomEvents().EventHitsUnit(A, U)) IDs.push_back(U->ID);
    return IDs;
  }
  std::vector<int> ZonesHit(const TActiveEvent& A) {
    std::vector<int> Zones;
    for (int I = 0; I < E.GetZoneCount(); ++I)
      if (E.RandomEvents().EventHitsZone(A, W.Z(I))) Zones.push_back(I);
    return Zones;
  }
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
};

TEST_F(RandomEventTest, EachAreaKindHitsItsUnitsAndItsOwnedZones) {
  // Units 0, 1 in Alba (Albion); 2, 3 in Brae (Ruritania, first Albion's); 4, 5, 6 in the North
  // Sea (Albion); 7 in the Channel, 8, 9 in Dunmore (Freedonia); 10 in Ferro (Lichtenburg);
  // 11 in Gorse (Ruritania).
  TActiveEvent A = Event(efOrganization, eaEverywhere, 1.0f);
  EXPECT_EQ(UnitsHit(A).size(), 12u);
  EXPECT_EQ(ZonesHit(A), (std::vector<int>{kzAlba, kzBrae, kzDunmore, kzFerro, kzGorse, kzHale}));  // no sea zone
  A = Event(efOrganization, eaZone, 1.0f);
  A.AreaZone = W.Z(kzNorthSea);
  EXPECT_EQ(UnitsHit(A), (std::vector<int>{4, 5, 6}));
  EXPECT_TRUE(ZonesHit(A).empty());  // a sea zone has no owner
  A.AreaZone = W.Z(kzDunmore);
  EXPECT_EQ(ZonesHit(A), (std::vector<int>{kzDunmore}));
  A = Event(efOrganization, eaOwnedBy, 1.0f);
  A.AreaNation = W.N(Ruritania);
  EXPECT_EQ(UnitsHit(A), (std::vector<int>{2, 3, 11}));
  EXPECT_EQ(ZonesHit(A), (std::vector<int>{kzBrae, kzGorse}));
  // First owned by Albion: every nation's units standing there.
  A = Event(efDestroyUnits, eaOriginallyOwnedBy, 1.0f);
  A.AreaNation = W.N(Albion);
  EXPECT_EQ(UnitsHit(A), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_EQ(ZonesHit(A), (std::vector<int>{kzAlba, kzBrae}));
  A = Event(efOrganization, eaAlliance, 1.0f);
  A.AreaAlliance = E.IndexOfAlliance("Axis");
  EXPECT_EQ(UnitsHit(A), (std::vector<int>{2, 3, 11}));
  EXPECT_EQ(ZonesHit(A), (std::vector<int>{kzBrae, kzGorse}));
  A.AreaAlliance = -1;  // no alliance: not the nations without one
  EXPECT_TRUE(UnitsHit(A).empty());
  EXPECT_TRUE(ZonesHit(A).empty());
  // A rectangle over the centres of Alba (50,50) and Brae (150,50); never a zone.
  A = Event(efResources, eaRectangle, 1.0f);
  A.Area = TRect{0, 0, 200, 100};
  EXPECT_EQ(UnitsHit(A), (std::vector<int>{0, 1, 2, 3}));
  EXPECT_TRUE(ZonesHit(A).empty());
}

TEST_F(RandomEventTest, ResourcesChangeByThePercentAndTheRecordCarriesWhatTheHostKeeps) {
  E.SetRandomGenerator(nullptr);
  TActiveEvent A = Event(efResources, eaOwnedBy, 0.9f);
  A.AreaNation = W.N(Freedonia);
  W.Z(kzHale)->SetResources(2.345f);
  E.RandomEvents().ApplyRandomEventEffect(A);
  // Dunmore 4 - 10, Hale 2.345 - 10: below 0 is allowed.
  EXPECT_EQ(W.Sink.Records, (std::vector<std::string>{"39;4#-6.00#7#-7.66#;"}));
  EXPECT_FLOAT_EQ(W.Z(kzDunmore)->GetResources(), -6.0f);
  EXPECT_FLOAT_EQ(W.Z(kzHale)->GetResources(), -7.66f);
  // The guest reads back exactly what the host holds.
  TKitWorld Guest;
  Guest.Sink.Host = false;
  Guest.Engine().ApplyStateChange(W.Sink.Records[0]);
  EXPECT_EQ(Guest.Z(kzHale)->GetResources(), W.Z(kzHale)->GetResources());
  // A rectangle touches no zone: nothing, and no record.
  W.Sink.Records.clear();
  A = Event(efResources, eaRectangle, 2.0f);
  A.Area = TRect{0, 0, 1000, 1000};
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_TRUE(W.Sink.Records.empty());
  EXPECT_FLOAT_EQ(W.Z(kzAlba)->GetResources(), 12.5f);
}

TEST_F(RandomEventTest, OrganisationIsScaledWithinTheSettersLimits) {
  TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  TActiveEvent A = Event(efOrganization, eaZone, 0.5f);
  A.AreaZone = W.Z(kzAlba);
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_FLOAT_EQ(E.GetUnitByID(0)->GetOrganization(), 50.0f);
  EXPECT_FLOAT_EQ(E.GetUnitByID(1)->GetOrganization(), 50.0f);
  EXPECT_FLOAT_EQ(E.GetUnitByID(2)->GetOrganization(), 100.0f);
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_FLOAT_EQ(E.GetUnitByID(0)->GetOrganization(), 25.0f);  // not below 25
  A.Factor = 3.0f;
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_FLOAT_EQ(E.GetUnitByID(0)->GetOrganization(), 75.0f);
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_FLOAT_EQ(E.GetUnitByID(0)->GetOrganization(), 100.0f);  // nor above 100
  EXPECT_TRUE(W.Sink.Records.empty());  // the end-of-impulse report carries it
  // The modifiers act later: nothing here.
  for (int Effect : {int{efCombat}, int{efBombingDamage}, int{efBombardment}, int{efUnitCost}, 9}) E.RandomEvents().ApplyRandomEventEffect(Event(Effect, eaEverywhere, 5.0f));
  EXPECT_FLOAT_EQ(E.GetUnitByID(5)->GetOrganization(), 100.0f);
  EXPECT_EQ(None.Draws(), 0);
  E.SetRandomGenerator(nullptr);
}

TEST_F(RandomEventTest, UnitsDestroyedTakeTheirWholePercentEvenFromAFloatFactor) {
  // 30 percent is a factor of 1.3, which a float holds as 1.2999999: still 30 percent, so a
  // draw of 29 damages and one of 30 does not.
  TScriptedRandom Script;
  E.SetRandomGenerator(&Script);
  TActiveEvent A = Event(efDestroyUnits, eaOriginallyOwnedBy, 1.3f);
  A.AreaNation = W.N(Albion);
  int Pieces = 0;
  for (int ID : {0, 1, 2, 3}) Pieces += E.GetUnitByID(ID)->GetTotalCount();
  for (int I = 0; I < Pieces; ++I) Script.QueueInt(I % 2 == 0 ? 29 : 30);
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_TRUE(Script.Empty());
  int Damaged = 0;
  for (const TUnit* U : E.GetUnits())
    for (int T = 0; T < UnitTypeCount; ++T) {
      EXPECT_LE(U->GetDamaged(T), U->GetCount(T));
      if (U->ID > 3) {
        EXPECT_EQ(U->GetDamaged(T), 0) << U->ID;
      }
      Damaged += U->GetDamaged(T);
    }
  EXPECT_EQ(Damaged, (Pieces + 1) / 2);
  // A factor of 1.0 or less damages nothing and draws nothing.
  TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  A.Factor = 1.0f;
  E.RandomEvents().ApplyRandomEventEffect(A);
  A.Factor = 0.5f;
  E.RandomEvents().ApplyRandomEventEffect(A);
  EXPECT_EQ(None.Draws(), 0);
  E.SetRandomGenerator(nullptr);
}

TEST(RandomEventReplayTest, TheGuestFollowsEveryEffectThroughTheRecords) {
  for (std::uint64_t Seed : {2u, 19u}) {
    TTwoEngineHarness Harness(Seed);
    const auto Step = [](TKitWorld& W, std::int32_t Impulse) {
      TBrenmoorEngine& E = W.Engine();
      TActiveEvent A(E);
      A.Effect = static_cast<std::uint8_t>(std::array{efDestroyUnits, efOrganization, efResources}[static_cast<std::size_t>(Impulse % 3)]);
      A.AreaKind = static_cast<std::uint8_t>(Impulse % 6);
      A.Factor = Impulse % 3 == 1 ? 0.8f : 1.25f;
      A.AreaZone = W.Z(Impulse % 8);
      A.AreaNation = W.N(Impulse % 4);
      A.AreaAlliance = Impulse % 2;
      A.Area = TRect{0, 0, 300, 200};
      E.RandomEvents().ApplyRandomEventEffect(A);
      rules::ReportLossesAndOrganization(E);
    };
    for (int I = 0; I < 30; ++I) ASSERT_EQ(Harness.RunImpulse(Step), "") << "seed " << Seed;
  }
}

}  // namespace
