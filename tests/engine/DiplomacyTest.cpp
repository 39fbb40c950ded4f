// Diplomatic actions, the conquest of a nation with its government in exile, a player's
// surrender, convoys and the free-for-all start, on the kit's world: each with its draws
// scripted, and each replayed from its records on a second world that must end up the same.
#include <gtest/gtest.h>

#include <functional>
#include <limits>

#include "RulesReplay.h"
#include "engine/DiplomacyRules.h"
#include "engine/UnitRules.h"

namespace {

using namespace kit;

enum { Albion, Ruritania, Freedonia, Lichtenburg };

// A host world whose draws are scripted and whose events of these rules are logged.
class DiplomacyTest : public ::testing::Test {
protected:
  void SetUp() override {
    E.SetRandomGenerator(&Script);
    E.SetEngineOptions(1u << 3);
    rules::HookRulesEvents(E, Events);
    E.OnDeclareWar = [this](TBrenmoorEngine*, TNation* A, TNation* B) { Events.push_back("War " + A->GetName() + " " + B->GetName()); };
    E.OnDeclareAllies = [this](TBrenmoorEngine*, TNation* A, TNation* B) { Events.push_back("Allies " + A->GetName() + " " + B->GetName()); };
  }
  void TearDown() override {
    EXPECT_TRUE(Script.Empty()) << "a scripted draw was not made";
    EXPECT_EQ(CheckInvariants(E), "");
  }
  // Runs Setup on a fresh world, replays the host's records there with every draw forbidden,
  // and expects the two games (and the events of these rules) to be the same.
  void ExpectGuestAgrees(const std::function<void(TKitWorld&)>& Setup = {}) {
    TKitWorld Guest;
    TForbiddenRandom None;
    Guest.Engine().SetRandomGenerator(&None);
    Guest.Sink.Host = false;
    Guest.Engine().SetEngineOptions(1u << 3);
    std::vector<std::string> GuestEvents;
    if (Setup) Setup(Guest);
    rules::HookRulesEvents(Guest.Engine(), GuestEvents);
    for (const std::string& Record : UnframeChanges(FrameChanges(1, W.Sink.Records))) Guest.Engine().ApplyStateChange(Record);
    EXPECT_EQ(None.Draws(), 0);
    EXPECT_TRUE(Guest.Sink.Records.empty());
    const TDumpOptions Shared{true, false};
    EXPECT_EQ(FirstDifference(DumpState(E, Shared), DumpState(Guest.Engine(), Shared)), "");
    std::vector<std::string> HostRulesEvents;
    for (const std::string& Event : Events)
      if (Event.rfind("War", 0) != 0 && Event.rfind("Allies", 0) != 0) HostRulesEvents.push_back(Event);
    EXPECT_EQ(GuestEvents, HostRulesEvents);
    EXPECT_EQ(CheckInvariants(Guest.Engine()), "");
  }
  void SetRelation(int A, int B, int Value) {
    W.N(A)->SetRelationDirect(W.N(B), Value);
    W.N(B)->SetRelationDirect(W.N(A), Value);
  }

  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TScriptedRandom Script;
  std::vector<std::string> Events;
};

using TRecords = std::vector<std::string>;

TEST_F(DiplomacyTest, DenouncingDriftsTheTargetAwayFromUsAndFromOurFriends) {
  const auto Setup = [](TKitWorld& X) {
    X.N(Lichtenburg)->SetRelationDirect(X.N(Albion), 50);
    X.N(Albion)->SetRelationDirect(X.N(Lichtenburg), 50);
  };
  Setup(W);
  Script.QueueFloat(0.5);  // Albion's own drift: -30 x 0.5
  Script.QueueFloat(0.6);  // Lichtenburg, at 50 with Albion: -15 x 0.6
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 0);
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::DiplomaticActionUsed(Albion), rec::Relation(Albion, Freedonia, -15), rec::Relation(Lichtenburg, Freedonia, -39),
                                       rec::Diplomacy(Albion, Freedonia, 0)}));
  EXPECT_EQ(W.N(Albion)->GetDiplomaticActions(), 0);
  EXPECT_EQ(Events, (std::vector<std::string>{"Diplomacy 0 2 0"}));
  ExpectGuestAgrees(Setup);
}

TEST_F(DiplomacyTest, PropagandaShakesTheTargetsUnitsAndMayBeNoticed) {
  W.N(Freedonia)->SetCountdown(50);
  Script.QueueFloat(0.0);  // the drift towards Albion: nothing
  Script.QueueFloat(0.5);  // Freedonia's fleet in Dunmore
  Script.QueueFloat(1.0);  // and its army there
  Script.QueueInt(49);     // noticed (49 < 50)
  Script.QueueFloat(0.5);  // the drift of resentment: -10
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 1);
  TUnit* Fleet = W.UnitIn(kzDunmore, Freedonia, ukNavy);
  TUnit* Army = W.UnitIn(kzDunmore, Freedonia, ukArmy);
  EXPECT_FLOAT_EQ(Fleet->GetOrganization(), 92.5f);
  EXPECT_FLOAT_EQ(Army->GetOrganization(), 85.0f);
  EXPECT_TRUE(Army->GetOrganizationChanged());
  EXPECT_EQ(W.N(Freedonia)->GetRelation(W.N(Albion)), -10);
  EXPECT_EQ(Events, (std::vector<std::string>{"Diplomacy 0 2 1"}));
  // The organisation travels in the end-of-impulse report.
  rules::ReportLossesAndOrganization(E);
  ExpectGuestAgrees([](TKitWorld& X) { X.N(Freedonia)->SetCountdown(50); });
}

TEST_F(DiplomacyTest, IntimidationSucceedsOnceInThreeHundredWithNoTroopsNear) {
  // Albion has no unit around Dunmore: Count 0, and only a draw of 0 succeeds.
  Script.QueueInt(0);
  Script.QueueFloat(0.5);
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 2);
  EXPECT_EQ(W.N(Freedonia)->GetRelation(W.N(Albion)), 100);
  EXPECT_EQ(Events, (std::vector<std::string>{"Diplomacy 0 2 3", "Allies Freedonia Albion"}));
  EXPECT_TRUE(W.N(Freedonia)->GetAlive());  // two major powers: no annexation
  Events.clear();
  W.N(Albion)->SetDiplomaticActions(1);
  SetRelation(Freedonia, Albion, 0);
  Script.QueueInt(1);
  Script.QueueFloat(0.5);
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 2);
  EXPECT_EQ(W.N(Freedonia)->GetRelation(W.N(Albion)), -10);
  EXPECT_EQ(Events, (std::vector<std::string>{"Diplomacy 0 2 2"}));
  // A nation that may attack without war brings a random count now and then.
  W.N(Albion)->SetDiplomaticActions(1);
  W.N(Albion)->SetAttackWithoutWar(true);
  Script.QueueInt(3);    // below 4: a random count
  Script.QueueInt(250);  // Count 250
  Script.QueueInt(250);  // 250 <= 250: success
  Script.QueueFloat(0.5);
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 2);
  EXPECT_EQ(W.N(Freedonia)->GetRelation(W.N(Albion)), 100);
  // A target without capital: the action is spent and nothing else happens.
  const std::size_t Before = W.Sink.Records.size();
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Ruritania), 2);
  EXPECT_EQ(TRecords(W.Sink.Records.begin() + static_cast<std::ptrdiff_t>(Before), W.Sink.Records.end()), (TRecords{rec::DiplomaticActionUsed(Albion)}));
}

TEST_F(DiplomacyTest, IntimidatingAMinorToOneHundredAnnexesItAndTheGuestConquersItOnce) {
  Script.QueueInt(0);      // success
  Script.QueueFloat(0.5);  // the relation goes to 100
  Script.QueueInt(5);      // Lichtenburg's army in its capital is caught (5 > 0 steps)
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Lichtenburg), 2);
  EXPECT_FALSE(W.N(Lichtenburg)->GetAlive());
  EXPECT_EQ(W.Z(kzFerro)->GetOwner(), W.N(Albion));
  EXPECT_EQ(W.UnitIn(kzFerro, Albion, ukArmy)->ID, 10);
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::DiplomaticActionUsed(Albion), rec::Diplomacy(Albion, Lichtenburg, 3), rec::Relation(Lichtenburg, Albion, 100),
                                       rec::NationConquered(Albion, Lichtenburg, -1, true, rec::Units({rec::TUnitId(10)}))}));
  EXPECT_EQ(Events, (std::vector<std::string>{"Diplomacy 0 3 3", "Allies Lichtenburg Albion", "ConquerNation 3 0"}));
  // The relation record only sets the relation: the conquest comes from its own record, so
  // the guest draws nothing and hears of the conquest once.
  ExpectGuestAgrees();
}

TEST_F(DiplomacyTest, NegotiationFailsByTheBadBloodOrGainsABonus) {
  struct TCase {
    int Relation, FailDraw, BonusDraw, Report, After;
  };
  // Drifts at 0.5: -40 gives -20, 200 gives 100, 50 gives 25.
  for (const TCase C : {TCase{-50, 49, 99, 4, -70}, TCase{-50, 50, 99, 6, -25}, TCase{0, 9, 0, 4, -20}, TCase{0, 10, 4, 5, 100},
                        TCase{0, 10, 5, 6, 25}}) {
    SetRelation(Albion, Freedonia, C.Relation);
    W.N(Albion)->SetDiplomaticActions(1);
    Events.clear();
    Script.QueueInt(C.FailDraw);
    Script.QueueInt(C.BonusDraw);
    Script.QueueFloat(0.5);
    E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 3);
    EXPECT_EQ(Events.front(), "Diplomacy 0 2 " + std::to_string(C.Report)) << C.Relation << " " << C.FailDraw;
    EXPECT_EQ(W.N(Albion)->GetRelation(W.N(Freedonia)), C.After) << C.Relation << " " << C.FailDraw;
  }
}

TEST_F(DiplomacyTest, EspionageAddsInfluenceSharedOverTheTargetsZonesNeverNothing) {
  Script.QueueInt(150);  // Freedonia holds Dunmore and Hale: 75
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 4);
  EXPECT_EQ(W.N(Albion)->GetInfluence(W.N(Freedonia)), 75);
  // A nation without land: the draw counts whole, and 0 still gives 1.
  W.N(Albion)->SetDiplomaticActions(1);
  E.Diplomacy().TransferZones(W.N(Lichtenburg), W.N(Ruritania));
  Script.QueueInt(0);
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Lichtenburg), 4);
  EXPECT_EQ(W.N(Albion)->GetInfluence(W.N(Lichtenburg)), 1);
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::DiplomaticActionUsed(Albion), rec::Influence(Albion, Freedonia, 75), rec::DiplomaticActionUsed(Albion),
                                       rec::Influence(Albion, Lichtenburg, 1)}));
  Events.clear();  // no report for espionage
}

TEST_F(DiplomacyTest, CounterEspionageSharpensTheEyeAndCutsTheOthersInfluence) {
  const auto Setup = [](TKitWorld& X) {
    X.N(Ruritania)->SetInfluence(X.N(Freedonia), 30);
    X.N(Lichtenburg)->SetInfluence(X.N(Freedonia), 80);
    X.N(Albion)->SetInfluence(X.N(Freedonia), 40);
  };
  Setup(W);
  Script.QueueInt(40);  // Albion's countdown 3 + 40
  Script.QueueInt(50);  // Ruritania 30 - 50: gone
  Script.QueueInt(20);  // Lichtenburg 80 - 20
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 5);
  EXPECT_EQ(W.N(Albion)->GetCountdown(), 43);
  EXPECT_EQ(W.N(Ruritania)->GetInfluence(W.N(Freedonia)), 0);
  EXPECT_EQ(W.N(Lichtenburg)->GetInfluence(W.N(Freedonia)), 60);
  EXPECT_EQ(W.N(Albion)->GetInfluence(W.N(Freedonia)), 40);  // its own stays
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::DiplomaticActionUsed(Albion), rec::Countdown(Albion, 43), rec::Influence(Ruritania, Freedonia, 0),
                                       rec::Diplomacy(Albion, Freedonia, 7), rec::Influence(Lichtenburg, Freedonia, 60)}));
  ExpectGuestAgrees(Setup);
}

TEST_F(DiplomacyTest, SubversionAndAidMoveTheTargetsStabilityWithinItsBounds) {
  W.N(Freedonia)->SetCountdown(100);
  Script.QueueInt(30);     // stability 100 - 30
  Script.QueueInt(0);      // noticed
  Script.QueueFloat(0.5);  // resentment: -40, damped by Albion's 5 percent to -38, halved
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 6);
  EXPECT_EQ(W.N(Freedonia)->GetStability(), 70);
  EXPECT_EQ(W.N(Freedonia)->GetRelation(W.N(Albion)), -19);
  W.N(Albion)->SetDiplomaticActions(1);
  Script.QueueInt(49);     // 70 + 49, held to 100
  Script.QueueFloat(0.5);  // +19
  Script.QueueInt(99);     // noticed, reported
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 7);
  EXPECT_EQ(W.N(Freedonia)->GetStability(), 100);
  EXPECT_EQ(W.N(Freedonia)->GetRelation(W.N(Albion)), 0);
  EXPECT_EQ(Events, (std::vector<std::string>{"Diplomacy 0 2 8", "Diplomacy 0 2 9"}));
  EXPECT_EQ(W.Sink.Records[1], rec::Stability(-1, Freedonia, 70));
  // An action of no kind only spends the action.
  W.Sink.Records.clear();
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 8);
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::DiplomaticActionUsed(Albion)}));
  EXPECT_EQ(W.N(Albion)->GetDiplomaticActions(), 0);
  // Without the report option nothing is announced.
  E.SetEngineOptions(0);
  Events.clear();
  W.N(Albion)->SetDiplomaticActions(1);
  Script.QueueInt(0);
  Script.QueueInt(0);
  Script.QueueFloat(0.0);
  E.Diplomacy().DiplomaticAction(W.N(Albion), W.N(Freedonia), 6);
  EXPECT_TRUE(Events.empty());
}

TEST_F(DiplomacyTest, AFallenCapitalSendsTheGovernmentIntoExileAndTheUnitsNearItToTheConqueror) {
  const auto Setup = [](TKitWorld& X) {
    X.Z(kzDunmore)->SetOwner(X.N(Ruritania));
    X.N(Freedonia)->SetRelationDirect(X.N(Albion), 60);
    X.N(Albion)->SetRelationDirect(X.N(Freedonia), 60);
  };
  Setup(W);
  Script.QueueFloat(0.1);  // Albion: 60 x (0.8 + 0.1) = 54, the best
  Script.QueueFloat(0.5);  // Ruritania: 0
  Script.QueueFloat(0.5);  // Lichtenburg: -30
  Script.QueueInt(0);      // the fleet in the Channel, 1 step away: free
  Script.QueueInt(5);      // the fleet in Dunmore: caught
  Script.QueueInt(0);      // the army in Dunmore: free (0 is not above 0 steps)
  E.Diplomacy().ConquerNation(W.N(Ruritania), W.N(Freedonia), false);
  EXPECT_FALSE(W.N(Freedonia)->GetAlive());
  EXPECT_EQ(W.Z(kzHale)->GetOwner(), W.N(Albion));
  EXPECT_EQ(E.GetUnitByID(8)->GetOwner(), W.N(Ruritania));
  EXPECT_EQ(E.GetUnitByID(7)->GetOwner(), W.N(Albion));
  EXPECT_EQ(E.GetUnitByID(9)->GetOwner(), W.N(Albion));
  // Albion stood at war with Ruritania already: its anger moves nothing.
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::NationConquered(Ruritania, Freedonia, Albion, false, rec::Units({rec::TUnitId(8)}))}));
  EXPECT_EQ(Events, (std::vector<std::string>{"ExileGovt 2 0", "ConquerNation 2 1"}));
  ExpectGuestAgrees(Setup);
}

TEST_F(DiplomacyTest, TheConqueredNationCannotHostItsOwnGovernment) {
  // Albion stands at 100 with itself; once it falls it must keep no land.
  E.SetRandomGenerator(nullptr);
  W.Z(kzAlba)->SetOwner(W.N(Ruritania));
  W.Z(kzHale)->SetOwner(W.N(Albion));
  E.Diplomacy().ConquerNation(W.N(Ruritania), W.N(Albion), false);
  EXPECT_FALSE(W.N(Albion)->GetAlive());
  EXPECT_EQ(W.Z(kzHale)->GetOwner(), W.N(Ruritania));
  EXPECT_EQ(W.Sink.Records.at(0).rfind("33;1;0;-1;0;", 0), 0u) << W.Sink.Records.at(0);
  EXPECT_EQ(Events.back(), "ConquerNation 0 1");
}

TEST_F(DiplomacyTest, WithoutCapitalNoUnitIsCaughtAndAfterwardsTheFriendsTurnOnTheConqueror) {
  W.N(Freedonia)->SetCapital(nullptr);
  SetRelation(Freedonia, Lichtenburg, 40);
  Script.QueueFloat(0.0);  // Albion 0
  Script.QueueFloat(0.0);  // Ruritania 0
  Script.QueueFloat(0.0);  // Lichtenburg: 40 x 1.0 = 40, the host
  Script.QueueFloat(0.5);  // Lichtenburg's anger at Ruritania: -80 x 0.5
  E.Diplomacy().ConquerNation(W.N(Ruritania), W.N(Freedonia), false);
  for (int ID : {7, 8, 9}) EXPECT_EQ(E.GetUnitByID(ID)->GetOwner(), W.N(Lichtenburg));
  EXPECT_EQ(W.Z(kzDunmore)->GetOwner(), W.N(Lichtenburg));
  EXPECT_EQ(W.N(Lichtenburg)->GetRelation(W.N(Ruritania)), -40);
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::NationConquered(Ruritania, Freedonia, Lichtenburg, false, ""),
                                       rec::Relation(Lichtenburg, Ruritania, -40)}));
  // Nothing more for a nation already fallen, nor by a fallen conqueror, nor between nobody.
  TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  W.Sink.Records.clear();
  E.Diplomacy().ConquerNation(W.N(Ruritania), W.N(Freedonia), false);
  E.Diplomacy().ConquerNation(W.N(Freedonia), W.N(Albion), false);
  E.Diplomacy().ConquerNation(nullptr, W.N(Albion), true);
  EXPECT_TRUE(W.Sink.Records.empty());
  EXPECT_EQ(None.Draws(), 0);
  E.SetRandomGenerator(&Script);
}

// The impulse clock's users, for the surrender's mark.
class TUsers : public TImpulseUsers {
public:
  int GetUserCount() const override { return 0; }
  std::string GetUserName(int) const override { return {}; }
  void MarkUserRemoved(const std::string& Name) override { Marked.push_back(Name); }
  std::vector<std::string> Marked;
};

TEST_F(DiplomacyTest, ASurrenderTakesThePlayersUnitsOutAndLeavesHisLand) {
  const auto Setup = [](TKitWorld& X) {
    X.N(Albion)->SetPlayerName("ann");
    X.N(Freedonia)->SetPlayerName("bob");
  };
  Setup(W);
  TUsers Users;
  E.SetImpulseUsers(&Users);
  const int Before = E.GetUnitCount();
  E.AddChange(chPlayerRemoved, std::string("ann"));
  E.Diplomacy().RemovePlayer("ann");
  EXPECT_EQ(E.GetUnitCount(), Before - 5);
  for (TUnit* U : E.GetUnits()) EXPECT_NE(U->GetOwner(), W.N(Albion));
  EXPECT_TRUE(W.N(Albion)->GetAlive());
  EXPECT_EQ(W.Z(kzAlba)->GetOwner(), W.N(Albion));
  // A name nobody plays removes nothing, but is still marked and announced.
  E.Diplomacy().RemovePlayer("nobody");
  EXPECT_EQ(E.GetUnitCount(), Before - 5);
  EXPECT_EQ(Users.Marked, (std::vector<std::string>{"ann", "nobody"}));
  EXPECT_EQ(Events, (std::vector<std::string>{"Surrender ann", "Surrender nobody"}));
  E.SetImpulseUsers(nullptr);
  Events.pop_back();
  ExpectGuestAgrees(Setup);
}

TEST_F(DiplomacyTest, AConvoyShipsTheWholeFivesFromThePortOrTheFirstSeaNeighbour) {
  const auto Setup = [](TKitWorld& X) {
    X.Z(kzAlba)->SetResources(12.7f);
    X.Z(kzAlba)->SetSupplySource(X.Z(kzDunmore));
  };
  Setup(W);
  TUnit* Convoy = E.Diplomacy().LaunchConvoy(W.Z(kzAlba));
  ASSERT_NE(Convoy, nullptr);
  EXPECT_EQ(Convoy->GetZone(), W.Z(kzNorthSea));
  EXPECT_EQ(Convoy->GetCount(utMerchantShip), 2);
  EXPECT_EQ(Convoy->GetOwner(), W.N(Albion));
  EXPECT_EQ(Convoy->GetOrder(), ordDock);
  EXPECT_EQ(Convoy->GetDestinationZone(), W.Z(kzDunmore));
  EXPECT_NEAR(W.Z(kzAlba)->GetResources(), 2.7, 1e-5);
  // With a port zone the convoy sails from there.
  W.Z(kzAlba)->SetPortZone(W.Z(kzChannel));
  W.Z(kzAlba)->SetResources(10.0f);
  EXPECT_EQ(E.Diplomacy().LaunchConvoy(W.Z(kzAlba))->GetZone(), W.Z(kzChannel));
  EXPECT_EQ(W.Z(kzAlba)->GetResources(), 0.0f);
  ASSERT_EQ(W.Sink.Records.size(), 2u);
  EXPECT_EQ(W.Sink.Records[1], "57;0;2;0;3;");
  // Land-locked Gorse and a zone with less than five keep what they have.
  W.Z(kzGorse)->SetResources(50.0f);
  EXPECT_EQ(E.Diplomacy().LaunchConvoy(W.Z(kzGorse)), nullptr);
  EXPECT_EQ(W.Z(kzGorse)->GetResources(), 50.0f);
  W.Z(kzAlba)->SetResources(4.9f);
  EXPECT_EQ(E.Diplomacy().LaunchConvoy(W.Z(kzAlba)), nullptr);
  EXPECT_EQ(W.Sink.Records.size(), 2u);
  W.Z(kzAlba)->SetResources(0.0f);
  ExpectGuestAgrees([&](TKitWorld& X) {
    Setup(X);
    X.Z(kzAlba)->SetPortZone(X.Z(kzChannel));
    X.Z(kzGorse)->SetResources(50.0f);
  });
}

TEST_F(DiplomacyTest, FreeForAllSetsEveryMajorAgainstEveryOtherDeadOrAlive) {
  const auto Setup = [](TKitWorld& X) { X.N(Freedonia)->SetAlive(false); };
  Setup(W);
  W.Z(kzDunmore)->SetOwner(W.N(Ruritania));
  W.Z(kzHale)->SetOwner(W.N(Ruritania));
  for (int ID : {7, 8, 9}) E.GetUnitByID(ID)->ChangeOwner(W.N(Ruritania));
  EXPECT_TRUE(E.Diplomacy().StartFreeForAll());
  EXPECT_TRUE(E.GetFreeForAll());
  for (int A : {Albion, Ruritania, Freedonia}) {
    EXPECT_TRUE(W.N(A)->GetAttackWithoutWar());
    EXPECT_EQ(W.N(A)->GetAlliance(), "");
    for (int B : {Albion, Ruritania, Freedonia})
      if (A != B) {
        EXPECT_EQ(W.N(A)->GetRelation(W.N(B)), -100) << A << " " << B;
      }
  }
  EXPECT_EQ(W.N(Lichtenburg)->GetRelation(W.N(Freedonia)), -30);  // minors stay out of it
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::FreeForAll()}));  // Albion and Ruritania were at war already
  ExpectGuestAgrees([](TKitWorld& X) {
    X.N(Freedonia)->SetAlive(false);
    X.Z(kzDunmore)->SetOwner(X.N(Ruritania));
    X.Z(kzHale)->SetOwner(X.N(Ruritania));
    for (int ID : {7, 8, 9}) X.Engine().GetUnitByID(ID)->ChangeOwner(X.N(Ruritania));
  });
  // The guest does not decide: the host's record brings it.
  TKitWorld Guest;
  Guest.Sink.Host = false;
  EXPECT_FALSE(Guest.Engine().Diplomacy().StartFreeForAll());
  EXPECT_FALSE(Guest.Engine().GetFreeForAll());
  EXPECT_EQ(Guest.N(Albion)->GetAlliance(), "Allies");
}

TEST_F(DiplomacyTest, FreeForAllBetweenLivingPowersDeclaresEachWar) {
  SetRelation(Albion, Freedonia, 20);
  EXPECT_TRUE(E.Diplomacy().StartFreeForAll());
  EXPECT_EQ(W.Sink.Records, (TRecords{rec::FreeForAll(), rec::Relation(Albion, Freedonia, -100), rec::Relation(Ruritania, Freedonia, -100)}));
  EXPECT_EQ(Events, (std::vector<std::string>{"War Albion Freedonia", "War Ruritania Freedonia"}));
  ExpectGuestAgrees([](TKitWorld& X) {
    X.N(Albion)->SetRelationDirect(X.N(Freedonia), 20);
    X.N(Freedonia)->SetRelationDirect(X.N(Albion), 20);
  });
}

TEST_F(DiplomacyTest, QueriesAroundTheGamesEnd) {
  EXPECT_EQ(E.Diplomacy().GetLivingNationCount(), 3);
  E.SetAllComputer(false);
  EXPECT_TRUE(E.Diplomacy().CanContinueFreeForAll());
  E.SetAllComputer(true);
  EXPECT_FALSE(E.Diplomacy().CanContinueFreeForAll());
  E.SetAllComputer(false);
  W.N(Ruritania)->SetAlive(false);
  W.N(Freedonia)->SetAlive(false);
  EXPECT_EQ(E.Diplomacy().GetLivingNationCount(), 1);
  EXPECT_FALSE(E.Diplomacy().CanContinueFreeForAll());
  W.N(Freedonia)->SetAlive(true);
  E.Diplomacy().StoreIndustryTotals();
  EXPECT_EQ(W.N(Albion)->GetTag(), 10);
  EXPECT_EQ(W.N(Freedonia)->GetTag(), 6);
  EXPECT_EQ(W.N(Ruritania)->GetTag(), 0);  // a dead power has no industry
  W.N(Albion)->SetPlayerName("ann");
  W.N(Ruritania)->SetPlayerName("cid");
  W.N(Freedonia)->SetPlayerName("ann");
  EXPECT_EQ(E.Diplomacy().CollectPlayerNames(), 1);
  EXPECT_EQ(E.GetPlayerNames(), (std::vector<std::string>{"ann"}));
  W.N(Albion)->SetComputerPlayer(true);
  W.N(Freedonia)->SetPlayerName("bob");
  EXPECT_EQ(E.Diplomacy().CollectPlayerNames(), 1);
  EXPECT_EQ(E.GetPlayerNames(), (std::vector<std::string>{"bob"}));
  EXPECT_EQ(E.ZoneOrNone(-1), nullptr);
  EXPECT_EQ(E.ZoneOrNone(3), W.Z(kzChannel));
  EXPECT_EQ(TBrenmoorEngine::ZoneIndexOrNone(nullptr), -1);
  EXPECT_EQ(TBrenmoorEngine::UnitIDOrNone(E.GetUnitByID(4)), 4);
  EXPECT_EQ(TBrenmoorEngine::UnitIDOrNone(nullptr), -1);
  W.N(Ruritania)->SetAlive(true);
}

TEST_F(DiplomacyTest, WhichUnitsMayMerge) {
  TUnit* ArmyA = W.UnitIn(kzAlba, Albion, ukArmy);
  TUnit* ArmyB = W.MakeUnit(Albion, ukArmy, kzAlba, {{utInfantry, 1}});
  TUnit* AirA = W.UnitIn(kzAlba, Albion, ukAirForce);
  TUnit* SeaArmy = W.UnitIn(kzNorthSea, Albion, ukArmy);
  TUnit* SeaAir = W.UnitIn(kzNorthSea, Albion, ukAirForce);
  TUnit* Fleet = W.UnitIn(kzNorthSea, Albion, ukNavy);
  TUnit* Foreign = W.MakeUnit(Ruritania, ukArmy, kzAlba, {{utInfantry, 1}});
  EXPECT_TRUE(E.UnitRules().CanMergeUnits({ArmyA, ArmyB}));
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({}));
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({ArmyA, AirA}));
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({ArmyA, Foreign}));
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({SeaArmy}));
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({SeaAir}));
  EXPECT_TRUE(E.UnitRules().CanMergeUnits({Fleet}));
  AirA->SetOrder(ordRecon);
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({AirA}));
  W.Z(kzAlba)->SetEmbattled(true);
  EXPECT_FALSE(E.UnitRules().CanMergeUnits({ArmyA, ArmyB}));
}

}  // namespace
