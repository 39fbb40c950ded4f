#include <gtest/gtest.h>

#include <algorithm>

#include "EngineFixture.h"
#include "engine/ReinforcementRules.h"

namespace {

class UnitTest : public WorldFixture {
protected:
  void SetUp() override {
    WorldFixture::SetUp();
    LoadWorld();
    Sink.Records.clear();
    ArmyAlba = UnitIn(zAlba, 0, ukArmy);
    Ruritanians = UnitIn(zBrae, 1, ukArmy);
    Transports = UnitIn(zNorthSea, 0, ukNavy);
    Aboard = UnitIn(zNorthSea, 0, ukArmy);
    Subs = UnitIn(zDunmore, 2, ukNavy);
    ASSERT_TRUE(ArmyAlba && Ruritanians && Transports && Aboard && Subs);
  }
  TUnit* ArmyAlba = nullptr;
  TUnit* Ruritanians = nullptr;
  TUnit* Transports = nullptr;
  TUnit* Aboard = nullptr;
  TUnit* Subs = nullptr;
};

}  // namespace

TEST_F(UnitTest, ScenarioPlacesOneUnitPerKindAndArmiesAtSeaBoard) {
  EXPECT_EQ(Engine.GetUnitCount(), 6);
  // Zone by zone, navy before army: identifiers in that order.
  EXPECT_EQ(ArmyAlba->ID, 0);
  EXPECT_EQ(Transports->ID, 2);
  EXPECT_EQ(Aboard->ID, 3);
  EXPECT_EQ(Engine.GetUnitByID(3), Aboard);
  EXPECT_EQ(Engine.GetUnitByID(-1), nullptr);
  EXPECT_EQ(Engine.GetUnitByID(99), nullptr);
  EXPECT_EQ(ArmyAlba->GetCount(utInfantry), 5);
  EXPECT_EQ(ArmyAlba->GetCount(utArmor), 2);
  EXPECT_EQ(ArmyAlba->GetBaseZone(), Z(zAlba));
  EXPECT_EQ(Aboard->GetTransport(), Transports);
  EXPECT_EQ(Transports->GetBoardedCount(), 1);
  EXPECT_EQ(UnitIn(zFerro, 3, ukArmy)->GetCount(utInfantry), 2);  // Row 7 for the minor owner.
  EXPECT_EQ(Aboard->GetName(), "Albish 2nd Army");
  EXPECT_EQ(Transports->GetName(), "Albish 1st Fleet");
  EXPECT_EQ(Aboard->GetOrganization(), 100.0f);
  EXPECT_EQ(Aboard->GetExperience(), 1.0f);
  EXPECT_FLOAT_EQ(ArmyAlba->GetTypeFactor(utMerchantShip), 1.5f);  // The owner's factors.
  ExpectTalliesHold();
}

TEST_F(UnitTest, FiguresOverTheTypesPresent) {
  struct Case {
    std::vector<std::pair<TUnitType, int>> Counts;
    int Speed, Range, Weight;
    bool Carrier, SubsOnly;
  };
  const Case Cases[] = {
      {{}, 0, 0, 0, true, false},
      {{{utInfantry, 2}, {utArmor, 1}}, 3, 0, 4, false, false},
      {{{utFighter, 2}, {utJetFighter, 1}}, 9, 4, 0, true, false},
      {{{utFighter, 1}, {utBomber, 1}}, 9, 4, 0, false, false},
      {{{utSubmarine, 2}}, 7, 0, 0, false, true},
      {{{utSubmarine, 2}, {utDestroyer, 1}}, 7, 0, 0, false, false},
      {{{utBattleship, 1}, {utMerchantShip, 1}}, 5, 0, 0, false, false},
  };
  for (const Case& C : Cases) {
    TUnit Unit(Engine, N(0), ukArmy);
    for (const auto& [Type, Count] : C.Counts) Unit.SetCount(Type, static_cast<std::uint16_t>(Count));
    EXPECT_EQ(Unit.UnitSpeed(), C.Speed);
    EXPECT_EQ(Unit.GetRange(), C.Range);
    EXPECT_EQ(Unit.GetTransportWeight(), C.Weight);
    EXPECT_EQ(Unit.IsCarrierCapable(), C.Carrier);
    EXPECT_EQ(Unit.IsSubsOnly(), C.SubsOnly);
  }
  // Value and effective count leave this impulse's damage out.
  N(0)->SetUnitCost(utInfantry, 3);
  N(0)->SetUnitCost(utArmor, 5);
  ArmyAlba->SetDamaged(utInfantry, 2);
  EXPECT_EQ(ArmyAlba->GetTotalCount(), 7);
  EXPECT_EQ(ArmyAlba->GetEffectiveCount(), 5);
  EXPECT_EQ(ArmyAlba->GetValue(), 3 * 3 + 2 * 5);
  EXPECT_EQ(Transports->GetTransportRoom(), 2 * 2 - 2);
  ArmyAlba->ResetImpulseState();
  EXPECT_EQ(ArmyAlba->GetEffectiveCount(), 7);
}

TEST_F(UnitTest, NamesTakeOrdinalSuffixesByTheLastTwoDigits) {
  struct Case {
    int Ordinal;
    const char* Name;
  };
  const Case Cases[] = {{1, "Albish 1st Army"},     {2, "Albish 2nd Army"},     {3, "Albish 3rd Army"},
                        {4, "Albish 4th Army"},     {11, "Albish 11th Army"},   {12, "Albish 12th Army"},
                        {13, "Albish 13th Army"},   {21, "Albish 21st Army"},   {22, "Albish 22nd Army"},
                        {101, "Albish 101st Army"}, {111, "Albish 111th Army"}, {112, "Albish 112th Army"},
                        {213, "Albish 213th Army"}, {1000, "Albish 1000th Army"}};
  for (const Case& C : Cases) {
    ArmyAlba->SetOrdinal(C.Ordinal);
    EXPECT_EQ(ArmyAlba->GetName(), C.Name);
  }
  Transports->SetCount(utMerchantShip, 1);
  EXPECT_EQ(Transports->GetName(), "Albish 1st Convoy");
  TUnit Air(Engine, N(1), ukAirForce);
  EXPECT_EQ(Air.GetName(), "Ruritanian 1st Air Force");
  Air.ChangeOwner(N(0));  // The name keeps the nation that raised it.
  EXPECT_EQ(Air.GetName(), "Ruritanian 1st Air Force");
  Air.SetCustomName("The Few");
  EXPECT_EQ(Air.GetName(), "The Few");
  EXPECT_EQ(N(1)->GetKindCounter(ukAirForce), 1);
}

TEST_F(UnitTest, OrganisationAndExperience) {
  TUnit* U = ArmyAlba;
  U->SetOrganization(100.0f);
  EXPECT_FALSE(U->GetOrganizationChanged());
  U->SetOrganization(10.0f);
  EXPECT_EQ(U->GetOrganization(), 25.0f);
  EXPECT_TRUE(U->GetOrganizationChanged());
  U->SetOrganization(150.0f);
  EXPECT_EQ(U->GetOrganization(), 100.0f);
  struct Case {
    float Experience;
    const char* Text;
  };
  const Case Cases[] = {{1.0f, "Green"}, {1.1f, "Rookie"}, {1.3f, "Seasoned"}, {1.49f, "Seasoned"},
                        {1.5f, "Veteran"}, {1.8f, "Crack"}, {2.0f, "Crack"}};
  for (const Case& C : Cases) {
    U->SetExperience(C.Experience);
    EXPECT_EQ(U->ExperienceText(), C.Text) << C.Experience;
  }
  U->SetExperience(1.0f);
  U->GainExperience();
  EXPECT_TRUE(U->GetFought());
  EXPECT_GE(U->GetExperience(), 1.0f);
  EXPECT_LE(U->GetExperience(), 1.05f);
}

TEST_F(UnitTest, MovingCarriesTheTalliesTheCargoAndTheRecord) {
  Transports->SetOrder(ordMove);
  Transports->MoveToZone(Z(zChannel), mmReplay);
  EXPECT_EQ(Transports->GetZone(), Z(zChannel));
  EXPECT_EQ(Aboard->GetZone(), Z(zChannel));
  EXPECT_EQ(Transports->GetPreviousZone(), Z(zNorthSea));
  EXPECT_EQ(Z(zNorthSea)->GetUnitCount(), 0);
  EXPECT_EQ(Z(zChannel)->GetTally(0, utTransport), 2);
  EXPECT_EQ(Z(zChannel)->GetTally(0, utInfantry), 2);
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{"0;3;3;", "0;2;3;"}));
  ExpectTalliesHold();

  // A fleet does not sail onto land unless it docks, and never from land to land.
  Transports->MoveToZone(Z(zDunmore), mmReplay);
  EXPECT_EQ(Transports->GetZone(), Z(zChannel));
  Transports->SetOrder(ordDock);
  Transports->MoveToZone(Z(zDunmore), mmReplay);
  EXPECT_EQ(Transports->GetZone(), Z(zDunmore));
  Transports->MoveToZone(Z(zBrae), mmReplay);
  EXPECT_EQ(Transports->GetZone(), Z(zDunmore));
  ExpectTalliesHold();
}

TEST_F(UnitTest, OnlyTheHostsImpulseDrawsTheOrganisationLossOfAMove) {
  // Replay and upkeep moves draw nothing: organisation and the generator stay as they are.
  const std::string Before = Engine.GetRandom().GetStateText();
  ArmyAlba->MoveToZone(Z(zBrae), mmReplay);
  EXPECT_EQ(ArmyAlba->GetOrganization(), 100.0f);
  EXPECT_EQ(Engine.GetRandom().GetStateText(), Before);
  ArmyAlba->MoveToZone(Z(zAlba), mmReplay);

  // The impulse draws 0.02 for a move into Brae, which has no border defence.
  ArmyAlba->MoveToZone(Z(zBrae), mmImpulse);
  const float AfterStep = ArmyAlba->GetOrganization();
  EXPECT_LT(AfterStep, 100.0f);
  EXPECT_GE(AfterStep, 98.0f);
  // Back into Alba, now Ruritania's: its border defence of level 2 towards Brae costs an
  // army coming from Brae two more draws of 0.2.
  Z(zAlba)->SetOwner(N(1));
  TBrenmoorEngine& E = Engine;
  TRandomGenerator Copy = E.GetRandom();
  ArmyAlba->MoveToZone(Z(zAlba), mmImpulse);
  double Expected = AfterStep;
  for (double F : {0.02, 0.2, 0.2}) Expected = static_cast<float>((1.0 - Copy.Random() * F) * Expected);
  EXPECT_FLOAT_EQ(ArmyAlba->GetOrganization(), static_cast<float>(std::max(25.0, Expected)));
  EXPECT_EQ(E.GetRandom().GetStateText(), Copy.GetStateText());
}

TEST_F(UnitTest, EmbarkAndDisembark) {
  // Brae neighbours the North Sea, where two transports (room 4) carry 2 Infantry: room 2 is
  // left, and 1 Infantry with 1 Armor (weight 3) does not fit.
  TUnit* Landed = MakeUnit(0, ukArmy, zBrae, {{utInfantry, 1}, {utArmor, 1}});
  Landed->SetDestinationUnit(Transports);
  Landed->Embark(mmReplay);
  EXPECT_EQ(Landed->GetZone(), Z(zBrae));
  EXPECT_TRUE(Sink.Records.empty());
  Landed->SetCount(utArmor, 0);
  Z(zBrae)->ChangeTally(0, utArmor, -1);
  Z(zNorthSea)->SetEmbattled(true);
  Landed->Embark(mmReplay);
  EXPECT_EQ(Landed->GetZone(), Z(zBrae));
  Z(zNorthSea)->SetEmbattled(false);
  Landed->Embark(mmReplay);
  EXPECT_EQ(Landed->GetZone(), Z(zNorthSea));
  EXPECT_EQ(Landed->GetTransport(), Transports);
  EXPECT_EQ(Transports->GetBoardedCount(), 2);
  EXPECT_EQ(Transports->GetTransportRoom(), 1);
  ExpectTalliesHold();

  Aboard->SetDestinationZone(Z(zFerro));  // Not a neighbour of the North Sea.
  Aboard->Disembark(mmReplay);
  EXPECT_EQ(Aboard->GetZone(), Z(zNorthSea));
  Aboard->SetDestinationZone(Z(zAlba));
  Aboard->Disembark(mmReplay);
  EXPECT_EQ(Aboard->GetZone(), Z(zAlba));
  EXPECT_EQ(Aboard->GetTransport(), nullptr);
  EXPECT_EQ(Transports->GetBoardedCount(), 1);
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{rec::UnitEmbarked(Landed), rec::UnitMove(Landed, zNorthSea),
                                                     rec::UnitDisembarked(Aboard), rec::UnitMove(Aboard, zAlba)}));
  ExpectTalliesHold();
}

TEST_F(UnitTest, CarrierBasingAndTheBasedAirUnitsOnAMove) {
  TUnit* Carrier = MakeUnit(0, ukNavy, zNorthSea, {{utCarrier, 1}});
  TUnit* Wing = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 2}});
  TUnit* Patrol = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 1}});
  Wing->JoinBase(Carrier);
  Patrol->JoinBase(Carrier);
  EXPECT_EQ(Wing->GetBaseUnit(), Carrier);
  EXPECT_EQ(Wing->GetBaseZone(), nullptr);
  EXPECT_EQ(Carrier->GetCarrierRoom(), 0);
  // The patrol flies a mission in Brae, within its range of the Channel (2 steps).
  Patrol->SetOrder(ordAirStrike);
  Patrol->MoveToZone(Z(zBrae), mmReplay);
  Sink.Records.clear();
  Carrier->MoveToZone(Z(zChannel), mmReplay);
  EXPECT_EQ(Wing->GetZone(), Z(zChannel));
  EXPECT_EQ(Patrol->GetZone(), Z(zBrae));
  EXPECT_EQ(Patrol->GetOrder(), ordAirStrike);
  // Out of range (range 0 for this test) it loses its order and comes along.
  Patrol->SetCount(utFighter, 0);
  Patrol->SetCount(utArmor, 1);  // A figure of range 0 keeps the test on the rule.
  Z(zBrae)->ChangeTally(0, utFighter, -1);
  Z(zBrae)->ChangeTally(0, utArmor, 1);
  Sink.Records.clear();
  Carrier->MoveToZone(Z(zNorthSea), mmReplay);
  EXPECT_EQ(Patrol->GetZone(), Z(zNorthSea));
  EXPECT_EQ(Patrol->GetOrder(), ordNone);
  EXPECT_NE(std::find(Sink.Records.begin(), Sink.Records.end(), rec::UnitOrder(Patrol, ordNone, -1, -1, false)), Sink.Records.end());
  ExpectTalliesHold();

  Wing->LeaveBase(Z(zAlba));
  EXPECT_EQ(Wing->GetBaseUnit(), nullptr);
  EXPECT_EQ(Wing->GetBaseZone(), Z(zAlba));
  EXPECT_EQ(Carrier->GetBasedCount(), 1);
  EXPECT_EQ(Sink.Records.back(), rec::UnitBase(Wing, zAlba, -1));
}

TEST_F(UnitTest, SubmergedFleetsOfNationsPlayedElsewhereStayOutOfTheTallies) {
  // Freedonia is played elsewhere: its submerged submarines are not counted here, moving or
  // losing them leaves the tallies alone, and they never take a tally below zero.
  TUnit* Sea = MakeUnit(2, ukNavy, zChannel, {{utSubmarine, 3}});
  TUnit* Other = MakeUnit(2, ukNavy, zChannel, {{utSubmarine, 1}});
  Sea->SetSubmerged(true);
  EXPECT_EQ(Z(zChannel)->GetTally(2, utSubmarine), 1);
  ExpectTalliesHold();
  Sea->MoveToZone(Z(zNorthSea), mmReplay);
  EXPECT_EQ(Z(zNorthSea)->GetTally(2, utSubmarine), 0);
  Sea->MoveToZone(Z(zChannel), mmReplay);
  Sea->SetDamaged(utSubmarine, 2);
  Sea->ApplyLosses();
  EXPECT_EQ(Sea->GetCount(utSubmarine), 1);
  EXPECT_EQ(Z(zChannel)->GetTally(2, utSubmarine), 1);  // Other's submarine only.
  ExpectTalliesHold();
  Sea->SetSubmerged(false);
  EXPECT_TRUE(Sea->GetSurfaced());
  EXPECT_EQ(Z(zChannel)->GetTally(2, utSubmarine), 2);
  ExpectTalliesHold();
  // Played here, a submerged fleet stays counted; taking the nation over counts it.
  Sea->SetSubmerged(true);
  N(2)->SetLocalPlayer(true);
  EXPECT_EQ(Z(zChannel)->GetTally(2, utSubmarine), 2);
  ExpectTalliesHold();
  Other->SetSubmerged(true);
  EXPECT_EQ(Z(zChannel)->GetTally(2, utSubmarine), 2);
  N(2)->SetLocalPlayer(false);
  EXPECT_EQ(Z(zChannel)->GetTally(2, utSubmarine), 0);
  ExpectTalliesHold();
  // A submerged fleet is seen only by its owner's allies.
  Z(zChannel)->SetSeenBy(0x07);
  EXPECT_FALSE(Sea->IsVisibleTo(N(0)));
  EXPECT_TRUE(Sea->IsVisibleTo(N(2)));
  EXPECT_FALSE(Transports->IsVisibleTo(N(1)));  // The North Sea is seen by nobody.
}

TEST_F(UnitTest, PlacementBasesAirForcesOnTheFirstFleetAtSeaAndOnTheZoneAshore) {
  TUnitCounts Counts{};
  Counts[utFighter] = 2;
  Counts[utCarrier] = 1;
  const std::vector<TUnit*> AtSea = Engine.Reinforcements().PlaceUnits(N(1), Z(zChannel), Counts);
  ASSERT_EQ(AtSea.size(), 2u);
  EXPECT_EQ(AtSea[0]->GetKind(), ukNavy);
  EXPECT_EQ(AtSea[1]->GetBaseUnit(), AtSea[0]);
  EXPECT_EQ(AtSea[1]->GetBaseZone(), nullptr);
  EXPECT_EQ(AtSea[0]->GetBasedCount(), 1);
  Counts[utCarrier] = 0;
  const std::vector<TUnit*> Ashore = Engine.Reinforcements().PlaceUnits(N(1), Z(zBrae), Counts);
  ASSERT_EQ(Ashore.size(), 1u);
  EXPECT_EQ(Ashore[0]->GetBaseUnit(), nullptr);
  EXPECT_EQ(Ashore[0]->GetBaseZone(), Z(zBrae));
  EXPECT_TRUE(Engine.Reinforcements().PlaceUnits(N(1), Z(zBrae), TUnitCounts{}).empty());
}

TEST_F(UnitTest, ChangeRecordsGoOutOnlyFromAnActiveHostOutsideTheUpkeep) {
  Engine.SetLocalOnly(true);
  ArmyAlba->MoveToZone(Z(zBrae), mmReplay);
  Engine.SetLocalOnly(false);
  Sink.Active = false;
  ArmyAlba->MoveToZone(Z(zAlba), mmReplay);
  Sink.Active = true;
  Sink.Host = false;
  Engine.SendUnitOrder(ArmyAlba);
  EXPECT_TRUE(Sink.Records.empty());
  Engine.SetChangeSink(nullptr);
  ArmyAlba->Remove(true);
  Engine.SetChangeSink(&Sink);
  Sink.Host = true;
  Engine.AddUnitChange(ArmyAlba, chUnitRemoved);
  Engine.SendUnitOrder(Aboard);
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{"24;0;", "3;3;0;-1;-1;0;"}));
  ExpectTalliesHold();
}

TEST_F(UnitTest, LossesComeOffCountsTalliesAndScore) {
  ArmyAlba->SetDamaged(utInfantry, 2);
  ArmyAlba->SetDamaged(utArmor, 5);  // More than it has: all of them.
  ArmyAlba->ApplyLosses();
  EXPECT_EQ(ArmyAlba->GetCount(utInfantry), 3);
  EXPECT_EQ(ArmyAlba->GetCount(utArmor), 0);
  EXPECT_EQ(ArmyAlba->GetDamaged(utInfantry), 0);
  EXPECT_EQ(N(0)->GetScoreDeduction(), 4);
  EXPECT_EQ(Sink.Records, std::vector<std::string>{"23;0;0#0#0#3#0#0#0#0#0#0#0#0#0#0#0#0#;4;"});
  ExpectTalliesHold();
  // In a free-for-all no score is lost; without damage nothing happens.
  Engine.SetFreeForAll(true);
  ArmyAlba->SetDamaged(utInfantry, 1);
  ArmyAlba->ApplyLosses();
  EXPECT_EQ(N(0)->GetScoreDeduction(), 4);
  Sink.Records.clear();
  ArmyAlba->ApplyLosses();
  EXPECT_TRUE(Sink.Records.empty());
}

TEST_F(UnitTest, SunkTransportsCutTheirCargoToTheRoomLeft) {
  // Three transports (room 6) carry 2 Infantry (2) and 2 Armor (4); two sink: room 2.
  Transports->SetCount(utTransport, 3);
  Z(zNorthSea)->ChangeTally(0, utTransport, 1);
  TUnit* Tanks = MakeUnit(0, ukArmy, zNorthSea, {{utArmor, 2}});
  Transports->AddBoarded(Tanks);
  Tanks->SetTransport(Transports);
  ASSERT_EQ(Transports->GetTransportRoom(), 0);
  Transports->SetDamaged(utTransport, 2);
  Transports->ApplyLosses();
  EXPECT_GE(Transports->GetTransportRoom(), 0);
  EXPECT_LE(Aboard->GetTransportWeight() + Tanks->GetTransportWeight(), 2);
  // Pieces are at most a type's weight: every loss is whole pieces, each a deduction.
  const int Lost = (2 - Aboard->GetCount(utInfantry)) + (2 - Tanks->GetCount(utArmor));
  EXPECT_EQ(N(0)->GetScoreDeduction(), 2 + Lost);
  ExpectTalliesHold();
  // The transport's strengths first, then those of each cargo unit that lost something.
  EXPECT_EQ(Sink.Records.front().substr(0, 5), "23;2;");
  EXPECT_GE(Sink.Records.size(), 2u);

  // A boarded unit that is no army stops the impulse.
  TUnit* Wing = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 1}});
  Transports->AddBoarded(Wing);
  Transports->SetDamaged(utTransport, 1);
  EXPECT_EQ(EngineError([&] { Transports->ApplyLosses(); }),
            "Non-Land Unit Boarded (Albish 1st Fleet, Albish 1st Air Force)");
}

TEST_F(UnitTest, ConvoysUnloadAndEmptyUnitsGo) {
  std::vector<int> Removed;
  Engine.OnRemoveUnit = [&](TBrenmoorEngine*, TUnit* Unit) { Removed.push_back(Unit->ID); };
  TUnit* Convoy = MakeUnit(0, ukNavy, zAlba, {{utMerchantShip, 3}});
  TUnit* Cargo = MakeUnit(0, ukArmy, zAlba, {{utInfantry, 1}});
  Convoy->AddBoarded(Cargo);
  Cargo->SetTransport(Convoy);
  Cargo->SetOrder(ordDisembark);
  const int ConvoyID = Convoy->ID;
  EXPECT_TRUE(Convoy->UnloadMerchants());
  EXPECT_FLOAT_EQ(Z(zAlba)->GetResources(), 27.5f);
  EXPECT_EQ(Cargo->GetTransport(), nullptr);
  EXPECT_EQ(Cargo->GetOrder(), ordNone);
  EXPECT_EQ(Removed, std::vector<int>{ConvoyID});
  EXPECT_EQ(Engine.GetUnitByID(ConvoyID), nullptr);
  EXPECT_TRUE(Sink.Records.empty());  // Unloading writes no removal.
  ExpectTalliesHold();

  // A convoy with escorts stays.
  TUnit* Escorted = MakeUnit(0, ukNavy, zAlba, {{utMerchantShip, 1}, {utDestroyer, 1}});
  EXPECT_FALSE(Escorted->UnloadMerchants());
  EXPECT_EQ(Escorted->GetCount(utDestroyer), 1);
  ExpectTalliesHold();

  // An emptied unit goes with record 24; the links to it go with it.
  TUnit* Hunter = MakeUnit(1, ukNavy, zNorthSea, {{utDestroyer, 1}});
  Hunter->SetOrder(ordIntercept);
  Hunter->SetDestinationUnit(Transports);
  EXPECT_EQ(Hunter->OrderText(), "Intercept Albish 1st Fleet");
  Transports->SetCount(utTransport, 0);
  Z(zNorthSea)->ChangeTally(0, utTransport, -2);
  EXPECT_TRUE(Transports->RemoveIfEmpty());
  EXPECT_EQ(Sink.Records.back(), "24;2;");
  EXPECT_EQ(Hunter->GetDestinationUnit(), nullptr);
  EXPECT_EQ(Aboard->GetTransport(), nullptr);
  EXPECT_FALSE(ArmyAlba->RemoveIfEmpty());
  ExpectTalliesHold();
  Engine.OnRemoveUnit = nullptr;
}

TEST_F(UnitTest, InvadingStepsAlongThePathAndOnlyInvadesItsTarget) {
  std::vector<std::string> Invasions;
  Engine.OnInvadeZone = [&](TBrenmoorEngine*, TNation* N, TBrenmoorZone* Z) { Invasions.push_back(N->GetName() + " " + Z->GetName()); };
  // Albion's army moving to Brae (not allied): no step without the invade order.
  ArmyAlba->SetOrder(ordMove);
  ArmyAlba->SetDestinationZone(Z(zBrae));
  ArmyAlba->InvadeZone(mmReplay);
  EXPECT_EQ(ArmyAlba->GetZone(), Z(zAlba));
  ArmyAlba->SetOrder(ordInvade);
  ArmyAlba->InvadeZone(mmReplay);
  EXPECT_EQ(ArmyAlba->GetZone(), Z(zBrae));
  EXPECT_EQ(Invasions, std::vector<std::string>{"Albion Brae"});
  EXPECT_EQ(Sink.Records, (std::vector<std::string>{"2;0;1;", "0;0;1;"}));
  // Into its own zones an army steps freely, one zone at a time.
  Sink.Records.clear();
  Ruritanians->SetOrder(ordMove);
  Z(zDunmore)->SetOwner(N(1));
  Z(zFerro)->SetOwner(N(1));
  Ruritanians->SetDestinationZone(Z(zFerro));
  Ruritanians->InvadeZone(mmReplay);
  EXPECT_EQ(Ruritanians->GetZone(), Z(zDunmore));
  Ruritanians->InvadeZone(mmReplay);
  EXPECT_EQ(Ruritanians->GetZone(), Z(zFerro));
  Ruritanians->InvadeZone(mmReplay);  // There already.
  EXPECT_EQ(Ruritanians->GetZone(), Z(zFerro));
  EXPECT_EQ(Invasions.size(), 1u);
  ExpectTalliesHold();
}

TEST_F(UnitTest, OrdersAUnitMayTake) {
  const auto Has = [](const TOrderSet& S, std::initializer_list<TOrderType> Orders) {
    for (TOrderType O : Orders)
      if (!S.Contains(O)) return false;
    return true;
  };
  // An army in a calm coastal zone of its own.
  TOrderSet S = ArmyAlba->CanTakeOrder();
  EXPECT_TRUE(Has(S, {ordMove, ordInvade, ordEmbark, ordDivide}));
  EXPECT_FALSE(S.Contains(ordNone));
  EXPECT_EQ(S.Count(), 4);
  // Attacking from its previous zone into an embattled one: only retreat.
  ArmyAlba->SetPreviousZone(Z(zBrae));
  ArmyAlba->SetAttacking(true);
  ArmyAlba->SetOrder(ordMove);
  Z(zAlba)->SetEmbattled(true);
  EXPECT_EQ(ArmyAlba->CanTakeOrder(), (TOrderSet{ordRetreat, ordNone}));
  // Aboard at sea: disembark.
  EXPECT_EQ(Aboard->CanTakeOrder(), (TOrderSet{ordDisembark}));
  // A fleet in port launches; at sea it moves, docks, intercepts, patrols and divides.
  EXPECT_EQ(Subs->CanTakeOrder(), (TOrderSet{ordLaunch}));
  EXPECT_EQ(Transports->CanTakeOrder(), (TOrderSet{ordMove, ordDock, ordIntercept, ordPatrol}));
  TUnit* Wolfpack = MakeUnit(2, ukNavy, zChannel, {{utSubmarine, 2}});
  EXPECT_EQ(Wolfpack->CanTakeOrder(), (TOrderSet{ordMove, ordDock, ordIntercept, ordPatrol, ordSubmerge, ordDivide}));
  Wolfpack->SetSubmerged(true);
  EXPECT_TRUE(Wolfpack->CanTakeOrder().Contains(ordSurface));
  TUnit* Battle = MakeUnit(2, ukNavy, zChannel, {{utBattleship, 1}});
  EXPECT_TRUE(Battle->CanTakeOrder().Contains(ordBombard));
  // An air force without order; with bombers, on an airfield of its own.
  TUnit* Bombers = MakeUnit(3, ukAirForce, zFerro, {{utBomber, 1}, {utAtomicBomber, 1}});
  EXPECT_EQ(Bombers->CanTakeOrder(), (TOrderSet{ordRebase, ordAirStrike, ordRecon, ordBomb, ordDivide}));
  Bombers->SetBaseZone(Z(zAlba));
  Bombers->SetOrder(ordBomb);
  EXPECT_EQ(Bombers->CanTakeOrder(), (TOrderSet{ordReturnToBase, ordBaseHere, ordAtomicBomb}));
  EXPECT_EQ(Bombers->OrderText(), "Bomb Ferro");
  // Albion may fly kamikaze over an embattled sea.
  TUnit* Wing = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 1}});
  Z(zNorthSea)->SetEmbattled(true);
  EXPECT_TRUE(Wing->CanTakeOrder().Contains(ordKamakaze));
}

TEST_F(UnitTest, WhoMayAttackWhom) {
  TUnit* Hunter = MakeUnit(2, ukNavy, zNorthSea, {{utDestroyer, 1}});
  // At sea only war or an interception; on land anyone not allied.
  EXPECT_FALSE(Hunter->CanAttack(Transports));
  Hunter->SetOrder(ordIntercept);
  Hunter->SetDestinationUnit(Transports);
  EXPECT_TRUE(Hunter->CanAttack(Transports));
  EXPECT_TRUE(Transports->CanAttack(Hunter));
  EXPECT_TRUE(ArmyAlba->CanAttack(Ruritanians));
  TUnit* Neutral = MakeUnit(2, ukArmy, zAlba, {{utInfantry, 1}});
  EXPECT_TRUE(ArmyAlba->CanAttack(Neutral));
  // Recon fights only at war.
  Neutral->SetOrder(ordRecon);
  EXPECT_FALSE(ArmyAlba->CanAttack(Neutral));
  EXPECT_TRUE(Ruritanians->CanAttackArmy(Neutral));  // Ruritania attacks without war.
  EXPECT_FALSE(ArmyAlba->CanAttackArmy(Neutral));
  EXPECT_TRUE(ArmyAlba->CanAttackArmy(Ruritanians));
  EXPECT_FALSE(ArmyAlba->CanAttackArmy(Transports));
}

TEST_F(UnitTest, OwnersChangeWithTheirTallies) {
  Ruritanians->ChangeOwner(N(0));
  EXPECT_EQ(Z(zBrae)->GetTally(1, utInfantry), 0);
  EXPECT_EQ(Z(zBrae)->GetTally(0, utInfantry), 4);
  ExpectTalliesHold();
}

TEST_F(UnitTest, SavedUnitsReadBackWithTheirIdentifiersAndLinks) {
  TUnit* Carrier = MakeUnit(0, ukNavy, zNorthSea, {{utCarrier, 1}});
  TUnit* Wing = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 2}});
  Wing->JoinBase(Carrier);
  Engine.FreeUnit(UnitIn(zFerro, 3, ukArmy));  // A gap in the identifiers.
  TUnit* Hunter = MakeUnit(1, ukNavy, zChannel, {{utSubmarine, 2}});
  Hunter->SetOrder(ordIntercept);
  Hunter->SetDestinationUnit(Carrier);
  Hunter->SetPatrolZones({Z(zChannel), Z(zNorthSea)});
  Hunter->SetSubmerged(true);
  Hunter->SetCustomName("Grey Wolves");
  Hunter->SetSortKey(0.25f);
  Hunter->SetExperience(1.05f);
  const std::int32_t SubsTally = Z(zChannel)->GetTally(1, utSubmarine);

  std::vector<std::string> Saved;
  std::vector<std::int32_t> IDs;
  for (TUnit* Unit : Engine.GetUnits()) {
    Saved.push_back(Unit->SaveToString());
    IDs.push_back(Unit->ID);
  }
  // Saving leaves the live game alone: the submarines stay down and uncounted.
  EXPECT_TRUE(Hunter->GetSubmerged());
  EXPECT_EQ(Z(zChannel)->GetTally(1, utSubmarine), SubsTally);
  EXPECT_EQ(Saved.back(),
            "0#0#0#0#0#0#0#0#0#0#0#2#0#0#0#0#~1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#1.00#"
            "1.00#1.00#~0~3~6~-1~Albish 2nd Fleet~1.05~8~1~9~100~1~1~0~0~2~3~-1~~~3#2#~0.25~0~Grey Wolves~");

  // Read into the re-read scenario: zones without units, then every unit at its identifier.
  LoadWorld(false);
  for (int I = 0; I < Engine.GetZoneCount(); ++I) Z(I)->LoadFromString(Z(I)->SaveToString());
  for (const std::string& Text : Saved) {
    auto Unit = std::make_unique<TUnit>(Engine);
    Unit->LoadFromString(Text);
    Engine.AddLoadedUnit(std::move(Unit));
  }
  Engine.ResolveLoadedReferences();
  ExpectTalliesHold();
  for (std::size_t I = 0; I < IDs.size(); ++I) EXPECT_EQ(Engine.GetUnit(static_cast<int>(I))->ID, IDs[I]);
  TUnit* C = Engine.GetUnitByID(6);
  TUnit* W = Engine.GetUnitByID(7);
  TUnit* H = Engine.GetUnitByID(8);
  ASSERT_TRUE(C && W && H);
  EXPECT_EQ(W->GetBaseUnit(), C);
  EXPECT_EQ(C->GetBasedCount(), 1);
  EXPECT_EQ(Engine.GetUnitByID(3)->GetTransport(), Engine.GetUnitByID(2));
  EXPECT_EQ(Engine.GetUnitByID(2)->GetBoardedCount(), 1);
  EXPECT_EQ(H->GetDestinationUnit(), C);
  EXPECT_EQ(H->GetPatrolZoneCount(), 2);
  EXPECT_FALSE(H->GetSubmerged());  // Written surfaced.
  EXPECT_EQ(Z(zChannel)->GetTally(1, utSubmarine), 2);
  EXPECT_EQ(H->GetName(), "Grey Wolves");
  EXPECT_FLOAT_EQ(H->GetExperience(), 1.05f);
  // New units follow the largest identifier read.
  EXPECT_EQ(MakeUnit(0, ukArmy, zAlba, {{utInfantry, 1}})->ID, 9);
  for (std::size_t I = 0; I + 1 < Saved.size(); ++I)
    EXPECT_EQ(Engine.GetUnitByID(IDs[I])->SaveToString(), Saved[I]) << I;

  // A field naming a zone or nation that is not there, or a second unit with one identifier.
  auto Bad = std::make_unique<TUnit>(Engine);
  std::string Text = Saved.back();
  Text.replace(Text.find("~2~3~-1~"), 8, "~2~30~-1~");
  EXPECT_EQ(EngineError([&] { Bad->LoadFromString(Text); }), "Unit 8: the zone 30 is no zone");
  auto Twice = std::make_unique<TUnit>(Engine);
  Twice->LoadFromString(Saved.back());
  EXPECT_EQ(EngineError([&] { Engine.AddLoadedUnit(std::move(Twice)); }), "Unit 8 is there twice");
}

TEST_F(UnitTest, ClearingTheGameReportsEveryUnitAndARefusedReadingNone) {
  std::vector<int> Removed;
  Engine.OnRemoveUnit = [&](TBrenmoorEngine*, TUnit* Unit) { Removed.push_back(Unit->ID); };
  {
    auto Scratch = std::make_unique<TUnit>(Engine);
    std::string Text = ArmyAlba->SaveToString();
    Text.replace(Text.find("~0~-1~~~"), 8, "~99~-1~~~");  // The zone 99 of no map.
    EXPECT_NE(EngineError([&] { Scratch->LoadFromString(Text); }), "");
  }
  EXPECT_TRUE(Removed.empty());
  TUnit* Wing = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 1}});
  Wing->JoinBase(Transports);
  Engine.ClearGame();
  std::sort(Removed.begin(), Removed.end());
  EXPECT_EQ(Removed, (std::vector<int>{0, 1, 2, 3, 4, 5, 6}));
  EXPECT_EQ(Engine.GetUnitCount(), 0);
  EXPECT_EQ(Engine.GetNationCount(), 0);
  for (int I = 0; I < Engine.GetZoneCount(); ++I) EXPECT_EQ(Z(I)->GetUnitCount(), 0);
  Engine.OnRemoveUnit = nullptr;
}

namespace {

// A second machine with the same world, which only replays the host's moves.
struct TClientWorld {
  // A machine that writes no records.
  TClientWorld() { Engine.SetChangeSink(nullptr); }
  // The unit records this test needs: moves, embarkings and landings.
  void Replay(const std::vector<std::string>& Records) {
    for (std::string Record : Records) {
      const int Code = NextTokenInt(Record, ";");
      TUnit* Unit = Engine.GetUnitByID(NextTokenInt(Record, ";"));
      if (!Unit) continue;
      if (Code == chUnitMove) Unit->MoveToZone(Engine.GetZone(NextTokenInt(Record, ";")), mmReplay);
      if (Code == chUnitEmbarked) Unit->Embark(mmReplay);
      if (Code == chUnitDisembarked) Unit->Disembark(mmReplay);
    }
  }
  kit::TKitWorld World{WorldScenarioText, WorldMapText};
  TBrenmoorEngine& Engine = World.Engine();
};

// Each zone's units by identifier, with each unit's previous zone.
std::string Standing(const TBrenmoorEngine& Engine) {
  std::string S;
  for (int I = 0; I < Engine.GetZoneCount(); ++I) {
    S += Engine.GetZone(I)->GetName() + ":";
    for (int J = 0; J < Engine.GetZone(I)->GetUnitCount(); ++J) {
      const TUnit* Unit = Engine.GetZone(I)->GetUnit(J);
      S += " " + std::to_string(Unit->ID) + "<" + (Unit->GetPreviousZone() ? Unit->GetPreviousZone()->GetName() : "-");
    }
    S += "\n";
  }
  return S;
}

}  // namespace

// A unit takes its target's name when it is aimed at it; aimed at the same target again, as a
// replayed order aims it, it keeps that name, so that host and guest show the same whatever
// became of the target's ships; only a rename of the target refreshes it.
TEST_F(UnitTest, AUnitKeepsTheNameItsTargetHadWhenItWasAimed) {
  TUnit* Hunter = MakeUnit(1, ukNavy, zNorthSea, {{utDestroyer, 1}});
  Hunter->SetDestinationUnit(Transports);
  const std::string Taken = Transports->GetName();
  Transports->SetCustomName("Relief Convoy");
  Hunter->SetDestinationUnit(Transports);
  EXPECT_EQ(Hunter->GetDestinationUnitName(), Taken);
  Hunter->RefreshDestinationUnitName();
  EXPECT_EQ(Hunter->GetDestinationUnitName(), "Relief Convoy");
  Hunter->SetDestinationUnit(nullptr);
  EXPECT_EQ(Hunter->GetDestinationUnitName(), "");
  Hunter->SetDestinationUnit(Transports);
  EXPECT_EQ(Hunter->GetDestinationUnitName(), "Relief Convoy");
}

TEST_F(UnitTest, AClientReplayingTheMovesStandsAsTheHost) {
  TClientWorld Client;
  // Boarding from Brae, sailing with the cargo, then landing in Dunmore.
  TUnit* Landed = MakeUnit(0, ukArmy, zBrae, {{utInfantry, 1}});
  TUnit* Copy = Client.Engine.AddUnit(std::make_unique<TUnit>(Client.Engine, Client.Engine.GetNation(0), ukArmy),
                                      Client.Engine.GetZone(zBrae));
  Copy->SetCount(utInfantry, 1);
  Client.Engine.GetZone(zBrae)->ChangeTally(0, utInfantry, 1);
  Landed->SetDestinationUnit(Transports);
  Copy->SetDestinationUnit(Client.Engine.GetUnitByID(Transports->ID));
  Landed->Embark(mmImpulse);
  Transports->MoveToZone(Z(zChannel), mmImpulse);
  Landed->SetDestinationZone(Z(zDunmore));
  Copy->SetDestinationZone(Client.Engine.GetZone(zDunmore));
  Client.Replay(Sink.Records);
  Sink.Records.clear();
  Landed->Disembark(mmImpulse);
  Client.Replay(Sink.Records);
  EXPECT_EQ(Standing(Client.Engine), Standing(Engine));
  EXPECT_EQ(Client.Engine.CheckTallies(), "");
  ExpectTalliesHold();
}

TEST_F(UnitTest, ASavedFieldThatCannotBeUsedIsRefusedNamingTheUnit) {
  const std::string Saved = ArmyAlba->SaveToString();
  std::vector<std::string> Fields;
  for (std::string Rest = Saved; !Rest.empty();) Fields.push_back(NextToken(Rest, "~"));
  ASSERT_EQ(Fields.size(), 25u);
  ASSERT_EQ(Fields[8], "0");
  // The field of that number (from 1) replaced.
  const auto With = [&Fields](std::size_t Number, const std::string& Value) {
    std::vector<std::string> F = Fields;
    F[Number - 1] = Value;
    std::string S;
    for (const std::string& X : F) S += X + "~";
    return S;
  };
  const struct {
    std::string Text, Message;
  } Cases[] = {
      {With(4, "30"), "Unit 0: the base zone 30 is no zone"},
      // The zones before the identifier are checked once it is read, and name it.
      {With(6, "30"), "Unit 0: the destination zone 30 is no zone"},
      {With(11, "99"), "Unit 0: the order 99 is no order"},
      {With(11, "-1"), "Unit 0: the order -1 is no order"},
      {With(13, "9"), "Unit 0: the creating nation 9 is no nation"},
      {With(14, "-1"), "Unit 0 has no owner"},
      {With(17, "3"), "Unit 0: the kind 3 is no unit kind"},
      {With(18, "-1"), "Unit 0 stands in no zone"},
      {With(19, "30"), "Unit 0: the previous zone 30 is no zone"},
      {With(22, "1#30#"), "Unit 0: the patrol zone 30 is no zone"},
  };
  for (const auto& Case : Cases) {
    auto Unit = std::make_unique<TUnit>(Engine);
    EXPECT_EQ(EngineError([&] { Unit->LoadFromString(Case.Text); }), Case.Message) << Case.Text;
  }
  // A float that is no number is the conversion error.
  auto Unit = std::make_unique<TUnit>(Engine);
  EXPECT_THROW(Unit->LoadFromString(With(12, "much")), EConvertError);
}
