// Scheduled reinforcements at sea and on land, into lost zones and for fallen nations, their
// replay on a guest, and the zone distance across the map's wrapped edges.
#include <gtest/gtest.h>

#include "RulesReplay.h"
#include "engine/DiplomacyRules.h"
#include "engine/ReinforcementRules.h"

namespace {

using namespace kit;

// The kit's world with a schedule: 0 Freedonia's infantry with a transport at sea; 1 Albion's
// fighters at home; 2 nothing for Ruritania; 3 Albion's infantry into Freedonia's capital;
// 4 Lichtenburg's infantry at home; all at impulse 2 but the last two at impulse 3.
std::string Scenario() {
  return std::string(KitScenarioText) +                                                        //
         "Reinforcement=" + CountsText({{utInfantry, 2}, {utTransport, 1}}) + ",2,2,North Sea\n" +  //
         "Reinforcement=" + CountsText({{utFighter, 3}}) + ",2,0,Alba\n" +                          //
         "Reinforcement=" + CountsText({}) + ",2,1,Gorse\n" +                                       //
         "Reinforcement=" + CountsText({{utInfantry, 1}}) + ",3,0,Dunmore\n" +                      //
         "Reinforcement=" + CountsText({{utInfantry, 4}}) + ",3,3,Ferro\n";
}

class ReinforcementTest : public ::testing::Test {
protected:
  void SetUp() override {
    E.SetRandomGenerator(&None);
    E.OnReinforcement = [this](TBrenmoorEngine*, TZone* Z) { Arrivals.push_back(Z->GetName()); };
  }
  void TearDown() override {
    EXPECT_EQ(None.Draws(), 0);
    EXPECT_EQ(CheckInvariants(E), "");
  }
  TKitWorld W{Scenario()};
  TBrenmoorEngine& E = W.Engine();
  TForbiddenRandom None;
  std::vector<std::string> Arrivals;
};

TEST_F(ReinforcementTest, AtSeaTheFleetComesFirstAndTheArmyBoardsIt) {
  const int Before = E.GetUnitCount();
  W.N(2)->SetLocalPlayer(true);
  EXPECT_EQ(E.Reinforcements().ArriveReinforcement(E.GetReinforcement(0)), W.Z(kzNorthSea));
  ASSERT_EQ(E.GetUnitCount(), Before + 2);
  TUnit* Fleet = E.GetUnit(Before);
  TUnit* Army = E.GetUnit(Before + 1);
  EXPECT_EQ(Fleet->GetKind(), ukNavy);
  EXPECT_EQ(Fleet->GetCount(utTransport), 1);
  EXPECT_EQ(Army->GetCount(utInfantry), 2);
  EXPECT_EQ(Army->GetTransport(), Fleet);
  EXPECT_EQ(Fleet->GetBoardedCount(), 1);
  EXPECT_EQ(W.Z(kzNorthSea)->GetTally(2, utInfantry), 2);
  EXPECT_EQ(Arrivals, (std::vector<std::string>{"North Sea"}));
}

TEST_F(ReinforcementTest, OnLandFightersAreBasedOnTheZoneAndAnEmptyOneStillBringsNews) {
  W.N(0)->SetLocalPlayer(true);
  W.N(1)->SetLocalPlayer(true);
  const int Before = E.GetUnitCount();
  E.Reinforcements().ArriveReinforcement(E.GetReinforcement(1));
  ASSERT_EQ(E.GetUnitCount(), Before + 1);
  TUnit* Air = E.GetUnit(Before);
  EXPECT_EQ(Air->GetKind(), ukAirForce);
  EXPECT_EQ(Air->GetBaseZone(), W.Z(kzAlba));
  EXPECT_EQ(Air->GetBaseUnit(), nullptr);
  EXPECT_EQ(Air->GetCount(utFighter), 3);
  E.Reinforcements().ArriveReinforcement(E.GetReinforcement(2));
  EXPECT_EQ(E.GetUnitCount(), Before + 1);
  // News for a local human player only: not for a computer's nation nor another machine's.
  W.N(1)->SetComputerPlayer(true);
  E.Reinforcements().ArriveReinforcement(E.GetReinforcement(2));
  E.Reinforcements().ArriveReinforcement(E.GetReinforcement(0));
  EXPECT_EQ(Arrivals, (std::vector<std::string>{"Alba", "Gorse"}));
}

TEST_F(ReinforcementTest, IntoALostZoneTheUnitsGoToTheNearestZoneStillHeldOrNowhere) {
  // Dunmore is Freedonia's: Albion's nearest land is Alba, two steps away (Brae is Ruritania's).
  const int Before = E.GetUnitCount();
  EXPECT_EQ(E.Reinforcements().ArriveReinforcement(E.GetReinforcement(3)), W.Z(kzAlba));
  ASSERT_EQ(E.GetUnitCount(), Before + 1);
  EXPECT_EQ(E.GetUnit(Before)->GetZone(), W.Z(kzAlba));
  EXPECT_EQ(W.Z(kzDunmore)->GetTally(0, utInfantry), 0);
  // Ruritania's Brae is next to Dunmore (Gorse is farther).
  TReinforcement R(E);
  R.Nation = W.N(1);
  R.ZoneName = "Dunmore";
  R.Counts[utInfantry] = 1;
  EXPECT_EQ(E.Reinforcements().ArriveReinforcement(&R), W.Z(kzBrae));
  // A nation that holds no land anywhere gets nothing.
  E.Diplomacy().TransferZones(W.N(0), W.N(1));
  EXPECT_EQ(E.Reinforcements().ArriveReinforcement(E.GetReinforcement(3)), nullptr);
  EXPECT_EQ(E.GetUnitCount(), Before + 2);
  // Nor does a fallen nation, even at home.
  W.N(3)->SetAlive(false);
  E.Diplomacy().TransferZones(W.N(3), W.N(1));
  for (TUnit* U : E.GetUnits())
    if (U->GetOwner() == W.N(3)) U->ChangeOwner(W.N(1));
  EXPECT_EQ(E.Reinforcements().ArriveReinforcement(E.GetReinforcement(4)), nullptr);
  EXPECT_EQ(E.Reinforcements().ArriveReinforcement(nullptr), nullptr);
  EXPECT_EQ(E.GetUnitCount(), Before + 2);
  EXPECT_TRUE(Arrivals.empty());
}

TEST_F(ReinforcementTest, AReplayedArrivalMakesTheHostsUnitsAndABadIndexIsRefused) {
  W.Sink.Host = false;
  for (const char* Record : {"50;5;", "50;-1;", "50;99;"}) {
    try {
      E.ApplyStateChange(Record);
      ADD_FAILURE() << Record;
    } catch (const EBrenmoorEngine& Error) {
      EXPECT_STREQ(Error.what(), "Invalid Reinforcement");
    }
  }
}

TEST(ReinforcementReplayTest, TheScheduleArrivesAlikeOnHostAndGuest) {
  TTwoEngineHarness Harness(11, Scenario());
  std::vector<std::string> HostNews, GuestNews;
  Harness.Host().Engine().OnReinforcement = [&](TBrenmoorEngine*, TZone* Z) { HostNews.push_back(Z->GetName()); };
  Harness.Guest().Engine().OnReinforcement = [&](TBrenmoorEngine*, TZone* Z) { GuestNews.push_back(Z->GetName()); };
  // Lichtenburg has fallen to Ruritania before its reinforcement is due.
  const auto Step = [](TKitWorld& W, std::int32_t Impulse) {
    TBrenmoorEngine& E = W.Engine();
    if (Impulse == 1) {
      W.Z(kzFerro)->SetOwner(W.N(1));
      E.AddChange(chZoneConquered, static_cast<int>(kzFerro), 1, 1);
      E.Fire(E.OnConquerZone, W.N(1), W.Z(kzFerro));
      E.Diplomacy().ConquerNation(W.N(1), W.N(3), false);
    }
    for (int I = 0; I < E.GetReinforcementCount(); ++I)
      if (E.GetReinforcement(I)->ArrivalImpulse == Impulse) {
        E.Reinforcements().ArriveReinforcement(E.GetReinforcement(I));
        E.AddChange(chReinforcement, I);
      }
  };
  for (int I = 0; I < 5; ++I) ASSERT_EQ(Harness.RunImpulse(Step), "");
  // Each machine hears of its own nation's: the host plays Albion, the guest Freedonia.
  EXPECT_EQ(HostNews, (std::vector<std::string>{"Alba", "Alba"}));
  EXPECT_EQ(GuestNews, (std::vector<std::string>{"North Sea"}));
  EXPECT_EQ(Harness.Host().Z(kzFerro)->GetTally(MinorTallyRow, utInfantry), 0);
}

TEST(ZoneDistanceTest, WrappedEdgesBringFarZonesClose) {
  struct TCase {
    const char* Wrapping;
    int A, B, Expected;
  };
  // Alba (50,50), Gorse (450,50), Hale (350,150); the map is 500 by 150.
  for (const TCase C : {TCase{"0,0", kzAlba, kzGorse, 400}, TCase{"1,0", kzAlba, kzGorse, 100}, TCase{"1,0", kzGorse, kzAlba, 100},
                        TCase{"0,1", kzAlba, kzHale, 350}, TCase{"1,0", kzAlba, kzHale, 300}, TCase{"1,1", kzAlba, kzHale, 300},
                        TCase{"1,1", kzAlba, kzAlba, 0}}) {
    TKitWorld W(std::string(KitScenarioText) + "Wrapping=" + C.Wrapping + "\n");
    W.Map.SetExtent({500, 150});
    EXPECT_EQ(W.Engine().Reinforcements().ZoneDistance(W.Z(C.A), W.Z(C.B)), C.Expected) << C.Wrapping << " " << C.A << " " << C.B;
  }
}

}  // namespace
