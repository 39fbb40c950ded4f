// What a click makes of the selection in each order mode, on the Standard scenario: the order
// records, every refusal, the questions of the invasion and the divided boarding and landing,
// the target list, the routes of patrol and recon, and the names a unit may be given.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kit/Records.h"
#include "foundation/NumberText.h"
#include "screens/OrderEntry.h"
#include "gamemap/StandardGameFixture.h"

namespace {

using TRecords = std::vector<std::string>;

class OrderEntryTest : public ::testing::Test {
protected:
  TStandardGame G;
  TOrderEntry Entry{G.Engine};

  // The Baltic starts empty: each test puts the fleets it needs there.
  void SetUp() override { G.Zone("Baltic Sea")->FreeUnits(); }

  int Idx(const char* Zone) { return G.Zone(Zone)->GetIndex(); }
  static std::string Id(const TUnit* Unit) { return IntToStr(Unit->ID); }
  // The first unit of that kind that stands in the zone at the start.
  TUnit* Starting(const char* Zone, TUnitKind Kind) {
    TBrenmoorZone* Z = G.Zone(Zone);
    for (int I = 0; I < Z->GetUnitCount(); ++I)
      if (Z->GetUnit(I)->GetKind() == Kind) return Z->GetUnit(I);
    return nullptr;
  }
  // Germany's units selected in Zone, then the mode entered while a game runs.
  TOrderPrompt Select(const char* Zone, std::vector<TUnit*> Units, TOrderMode Mode) {
    Entry.SetCurrentNation(G.Nation("Germany"));
    Entry.SetSelectedZone(G.Zone(Zone));
    Entry.SetSelectedUnits(std::move(Units));
    return Entry.EnterMode(Mode, true);
  }
  TOrderStep Click(const char* Zone) { return Entry.ZoneClick(G.Zone(Zone)); }
};

// A click that sends its records and leaves the mode.
void ExpectSent(const TOrderStep& Step, const TRecords& Records, TOrderEntry& Entry) {
  EXPECT_EQ(Step.Refusal, "");
  EXPECT_EQ(Step.Question, "");
  EXPECT_EQ(Step.Records, Records);
  EXPECT_TRUE(Step.LeaveMode);
  EXPECT_EQ(Entry.Mode(), omNone);
}

// A click that is refused with the text and keeps the mode.
void ExpectRefused(const TOrderStep& Step, const std::string& Text, TOrderEntry& Entry, TOrderMode Mode) {
  EXPECT_EQ(Step.Refusal, Text);
  EXPECT_TRUE(Step.Records.empty());
  EXPECT_FALSE(Step.LeaveMode);
  EXPECT_FALSE(Step.ShowProceed);
  EXPECT_EQ(Entry.Mode(), Mode);
}

TEST_F(OrderEntryTest, EveryModeHasItsPromptAndNoneIsTakenWhileNoGameRuns) {
  TUnit* Air = Starting("Berlin", ukAirForce);
  Entry.SetSelectedZone(G.Zone("Berlin"));
  Entry.SetSelectedUnits({Air});
  EXPECT_TRUE(Entry.EnterMode(omMove, false).Refused);
  EXPECT_EQ(Entry.Mode(), omNone);
  EXPECT_FALSE(Entry.EnterMode(omNone, false).Refused);

  const struct {
    TOrderMode Mode;
    const char* Prompt;
    bool Targets;
  } Cases[] = {
      {omMove, "Click Destination Zone", false},
      {omEmbark, "Select Fleet to Board", true},
      {omDisembark, "Select Land Zone to Disembark onto", false},
      {omIntercept, "Select enemy Fleet to Intercept", true},
      {omInvade, "Click adjacent enemy Zone to Invade", false},
      {omDock, "Click adjacent Land Zone to Dock into", false},
      {omPatrol, "Click next point along Patrol Route", false},
      {omRouteResources, "Click Zone to Route Resources to", false},
      {omAutoRoute,
       "Click Adjacent Land Zone to Route Resources to, or click the same Land Zone to cancel current Routing", false},
      {omBorderDefense, "Click Adjacent Zone to build Border Defense", false},
      {omAirStrike, "Click a target Zone within 4 Zones of your Base", false},
      // The 3rd Air Force holds bombers, which cannot base on carriers: no target list.
      {omRebase, "Click a new Base Zone within 12 Zones of your current position", false},
      {omBomb, "Click enemy Land Zone within 4 to Bomb", false},
      {omRecon, "Click the next point along the Recon Route", false},
      {omBombard, "Click enemy Land Zone to Bombard", false},
      {omAimRockets, "Click enemy Land Zone within 5 Zones to Target, or re-click Base Zone to cancel Rocket Attacks", false},
      {omPortZone, "Click the adjacent Sea Zone in which to build Sea Units", false},
  };
  for (const auto& C : Cases) {
    const TOrderPrompt P = Entry.EnterMode(C.Mode, true);
    EXPECT_FALSE(P.Refused) << C.Prompt;
    EXPECT_EQ(P.Text, C.Prompt);
    EXPECT_EQ(P.TargetList, C.Targets) << C.Prompt;
    EXPECT_EQ(P.RouteQuantity, C.Mode == omRouteResources) << C.Prompt;
    EXPECT_EQ(Entry.Mode(), C.Mode);
  }
  // The resources to route start at the zone's resources, truncated.
  G.Zone("Berlin")->SetResources(20.9f);
  EXPECT_EQ(Entry.EnterMode(omRouteResources, true).QuantityMax, 20);
  // A carrier-capable air force offers the carriers.
  Entry.SetSelectedUnits({Starting("Ruhr", ukAirForce)});
  EXPECT_TRUE(Entry.EnterMode(omRebase, true).TargetList);
  // The selection clears the route.
  Entry.EnterMode(omPatrol, true);
  ASSERT_EQ(Entry.RoutePoints().size(), 1u);
  Entry.EnterMode(omNone, true);
  EXPECT_TRUE(Entry.RoutePoints().empty());
}

TEST_F(OrderEntryTest, AMoveSendsOneRecordPerUnitOrAsksToInvadeAnAdjacentEnemyZone) {
  TUnit* A = Starting("Berlin", ukArmy);
  TUnit* B = G.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 2}});
  Select("Berlin", {A, B}, omMove);
  ExpectSent(Click("Ruhr"), {rec::Move(A, Idx("Ruhr")), rec::Move(B, Idx("Ruhr"))}, Entry);

  Select("Berlin", {A, B}, omMove);
  const TOrderStep Invade = Click("Poznan");
  EXPECT_EQ(Invade.Question, "Invade Poznan?");
  EXPECT_TRUE(Invade.Records.empty());
  EXPECT_EQ(Invade.YesRecords, (TRecords{rec::Invade(A, Idx("Poznan")), rec::Invade(B, Idx("Poznan"))}));
  EXPECT_EQ(Entry.Mode(), omMove);

  // No question from an embattled zone, nor for a zone that is not next to it.
  G.Zone("Berlin")->SetEmbattled(true);
  ExpectRefused(Click("Poznan"), "Unit cannot reach the Destination Zone", Entry, omMove);
  G.Zone("Berlin")->SetEmbattled(false);
  ExpectRefused(Click("Warsaw"), "Unit cannot reach the Destination Zone", Entry, omMove);
}

TEST_F(OrderEntryTest, AnArmyBoardsAFleetNextToItAndIsAskedToDivideWhenItDoesNotFit) {
  TUnit* Army = Starting("Berlin", ukArmy);  // transport weight 14
  Select("Berlin", {Army}, omEmbark);
  TOrderStep Step = Click("Poznan");
  ExpectRefused(Step, "You can only Embark onto a Fleet that is next to your Army", Entry, omEmbark);
  EXPECT_TRUE(Step.HideTargets);
  Step = Click("Baltic Sea");
  ExpectRefused(Step, "There are no friendly Fleets in this Zone", Entry, omEmbark);
  EXPECT_TRUE(Step.FillTargets);

  // An enemy fleet is no target; a single fleet with room takes the army at once.
  G.MakeUnit("United Kingdom", ukNavy, "Baltic Sea", {{utTransport, 10}});
  TUnit* Big = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utTransport, 7}});
  Step = Click("Baltic Sea");
  EXPECT_EQ(Step.Targets, std::vector<TUnit*>{Big});
  EXPECT_TRUE(Step.HideError);
  ExpectSent(Step, {rec::Embark(Army, Big, Idx("Baltic Sea"))}, Entry);

  // With two fleets the first is judged and the player chooses.
  TUnit* Small = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utTransport, 2}});
  Select("Berlin", {Army}, omEmbark);
  Step = Click("Baltic Sea");
  EXPECT_EQ(Step.Targets, (std::vector<TUnit*>{Big, Small}));
  EXPECT_TRUE(Step.ShowProceed);
  EXPECT_TRUE(Step.Records.empty());
  Step = Entry.TargetClick(Small);
  EXPECT_EQ(Step.Question, "Divide this Unit and board as many troops as possible?");
  EXPECT_EQ(Step.YesRecords, (TRecords{rec::EmbarkDivide(Idx("Berlin"), Small, Idx("Baltic Sea"), rec::Units({Army}))}));
  TUnit* Empty = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utDestroyer, 2}});
  ExpectRefused(Entry.TargetClick(Empty), "The Transports in this Fleet are already full", Entry, omEmbark);
  ExpectSent(Entry.Proceed(Big), {rec::Embark(Army, Big, Idx("Baltic Sea"))}, Entry);
}

TEST_F(OrderEntryTest, AFleetInterceptsAnEnemyFleetInASeaZone) {
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utDestroyer, 3}});
  Select("Baltic Sea", {Fleet}, omIntercept);
  TOrderStep Step = Click("Hamburg");
  ExpectRefused(Step, "Select an enemy Fleet in a Sea Zone", Entry, omIntercept);
  EXPECT_TRUE(Step.HideTargets);
  ExpectRefused(Click("Baltic Sea"), "There are no enemy Fleets in this Zone", Entry, omIntercept);
  TUnit* Enemy = G.MakeUnit("United Kingdom", ukNavy, "Baltic Sea", {{utCruiser, 1}});
  ExpectSent(Click("Baltic Sea"), {rec::Intercept(Fleet, Enemy)}, Entry);
}

TEST_F(OrderEntryTest, LandingsAndInvasionsNeedAnAdjacentLandZoneTheNationMayAttack) {
  TUnit* Army = Starting("Berlin", ukArmy);
  TUnit* Carried = G.MakeUnit("Germany", ukArmy, "Baltic Sea", {{utInfantry, 2}});
  Select("Baltic Sea", {Carried}, omDisembark);
  ExpectRefused(Click("Bavaria"), "You can only Disembark onto a Land Zone next to your Army", Entry, omDisembark);
  ExpectRefused(Click("North Sea"), "You can only Disembark onto a Land Zone next to your Army", Entry, omDisembark);
  ExpectSent(Click("Hamburg"), {rec::Disembark(Carried, Idx("Hamburg"))}, Entry);

  Select("Berlin", {Army}, omInvade);
  ExpectRefused(Click("Ruhr"), "You can only invade an adjacent enemy Land Zone", Entry, omInvade);
  ExpectRefused(Click("Warsaw"), "You can only invade an adjacent enemy Land Zone", Entry, omInvade);
  ExpectRefused(Click("Baltic Sea"), "You can only invade an adjacent enemy Land Zone", Entry, omInvade);
  ExpectSent(Click("Poznan"), {rec::Invade(Army, Idx("Poznan"))}, Entry);

  // A nation that may not attack without war names itself in the refusal.
  TNation* Germany = G.Nation("Germany");
  Germany->SetAttackWithoutWar(false);
  ASSERT_FALSE(Germany->CanAttackZone(G.Zone("Denmark")));
  Select("Hamburg", {Starting("Hamburg", ukArmy)}, omInvade);
  ExpectRefused(Click("Denmark"), "Germany does not support an invasion of Denmark", Entry, omInvade);
  Select("Baltic Sea", {Carried}, omDisembark);
  ExpectRefused(Click("Denmark"), "Germany does not support an invasion of Denmark", Entry, omDisembark);
}

TEST_F(OrderEntryTest, AFleetDocksInAFriendlyPortItCanReach) {
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utDestroyer, 3}});
  Select("Baltic Sea", {Fleet}, omDock);
  ExpectRefused(Click("Poznan"), "You can only Dock into a friendly Land Zone", Entry, omDock);
  ExpectRefused(Click("North Sea"), "You can only Dock into a friendly Land Zone", Entry, omDock);
  ExpectRefused(Click("Bohemia"), "This Zone does not contain a Port", Entry, omDock);
  ExpectSent(Click("Hamburg"), {rec::Dock(Fleet, Idx("Hamburg"))}, Entry);
}

TEST_F(OrderEntryTest, APatrolCollectsConnectedSeaZonesUntilProceed) {
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utDestroyer, 3}});
  Select("Baltic Sea", {Fleet}, omPatrol);
  ExpectRefused(Click("Hamburg"), "The Patrol route must be a series of connected Sea Zones", Entry, omPatrol);
  const TOrderStep Step = Click("North Sea");
  EXPECT_TRUE(Step.ShowProceed);
  EXPECT_TRUE(Step.Records.empty());
  ExpectSent(Entry.Proceed(nullptr),
             {rec::Patrol(Fleet, rec::Zones({Idx("Baltic Sea"), Idx("North Sea")}))}, Entry);
}

TEST_F(OrderEntryTest, AReconRouteEndsByItselfAtTheRange) {
  TUnit* Air = Starting("Berlin", ukAirForce);  // range 4
  Select("Berlin", {Air}, omRecon);
  ExpectRefused(Click("Warsaw"), "The Recon route must be a series of connected Zones", Entry, omRecon);
  for (const char* Zone : {"Poznan", "Warsaw", "East Prussia"}) {
    const TOrderStep Step = Click(Zone);
    EXPECT_TRUE(Step.ShowProceed) << Zone;
    EXPECT_FALSE(Step.LeaveMode) << Zone;
  }
  EXPECT_EQ(Entry.OrderRange(), 1);
  ExpectSent(Click("Baltic Sea"),
             {rec::Recon(Air, rec::Zones({Idx("Berlin"), Idx("Poznan"), Idx("Warsaw"), Idx("East Prussia"), Idx("Baltic Sea")}))},
             Entry);
}

TEST_F(OrderEntryTest, ResourcesAreRoutedByQuantityOrAutomaticallyToAFriendlyLandZone) {
  Select("Berlin", {}, omRouteResources);
  Entry.SetRouteQuantity(0);
  TOrderStep Step = Click("Ruhr");
  ExpectRefused(Step, "Specify a Quantity of Resources to Route", Entry, omRouteResources);
  EXPECT_TRUE(Step.FocusQuantity);
  Entry.SetRouteQuantity(5);
  ExpectRefused(Click("Berlin"), "This is not a Friendly Land Zone", Entry, omRouteResources);
  ExpectRefused(Click("Baltic Sea"), "This is not a Friendly Land Zone", Entry, omRouteResources);
  ExpectSent(Click("Ruhr"), {rec::Route(Idx("Berlin"), Idx("Ruhr"), 5)}, Entry);

  const struct {
    const char* Zone;
    bool Taken;
  } Cases[] = {{"Ruhr", true}, {"Berlin", true}, {"East Prussia", true}, {"Poznan", false}, {"Baltic Sea", false},
               {"Austria", false}};
  for (const auto& C : Cases) {
    Select("Berlin", {}, omAutoRoute);
    Step = Click(C.Zone);
    if (C.Taken)
      ExpectSent(Step, {rec::AutoRoute(Idx("Berlin"), Idx(C.Zone))}, Entry);
    else
      ExpectRefused(Step, "This is not an Adjacent Friendly Land Zone", Entry, omAutoRoute);
  }
}

TEST_F(OrderEntryTest, ABorderDefenceIsBuiltTowardsANeighbourUpToTheStrongest) {
  Select("Berlin", {}, omBorderDefense);
  ExpectRefused(Click("Warsaw"), "This Zone is not Adjacent", Entry, omBorderDefense);
  G.Zone("Berlin")->SetBorderDefense(G.Zone("Krakow"), 4);
  ExpectRefused(Click("Krakow"), "You have already built the strongest possible Defense on this Border", Entry,
                omBorderDefense);
  const TOrderStep Step = Click("Poznan");
  ExpectSent(Step, {rec::BuildBorder(Idx("Berlin"), Idx("Poznan"))}, Entry);
  EXPECT_TRUE(Step.HideBorderDefense);
}

TEST_F(OrderEntryTest, AirStrikesAndBombsReachTheRangeOfTheShortestRangedUnit) {
  TUnit* Air = Starting("Berlin", ukAirForce);
  for (const TOrderMode Mode : {omAirStrike, omBomb}) {
    const auto Record = Mode == omAirStrike ? rec::AirStrike : rec::Bomb;
    Select("Berlin", {Air}, Mode);
    ExpectRefused(Click("Irkutsk"), "This Zone is too far from your Base", Entry, Mode);
    ExpectRefused(Click("Ruhr"), "Germany does not support an invasion of Ruhr", Entry, Mode);
    ExpectSent(Click("Poznan"), {Record(Air, Idx("Poznan"))}, Entry);
  }
  Select("Berlin", {Air}, omBomb);
  ExpectRefused(Click("Baltic Sea"), "You can only Bomb enemy Land Zones", Entry, omBomb);
  Select("Berlin", {Air}, omAirStrike);
  EXPECT_EQ(Click("Baltic Sea").Records, (TRecords{rec::AirStrike(Air, Idx("Baltic Sea"))}));
}

TEST_F(OrderEntryTest, AirForcesRebaseToAnAlliedAirfieldOrOntoAFriendlyCarrier) {
  TUnit* Bombers = Starting("Berlin", ukAirForce);
  // Every zone lies within three times an air force's range; an army in the selection has none.
  Select("Berlin", {Bombers, Starting("Berlin", ukArmy)}, omRebase);
  ExpectRefused(Click("Hamburg"), "This Zone is too far from your current position", Entry, omRebase);
  Select("Berlin", {Bombers}, omRebase);
  ExpectRefused(Click("Poznan"), "This is not an Allied Land Zone", Entry, omRebase);
  ExpectRefused(Click("Bohemia"), "This Zone does not contain an Airfield", Entry, omRebase);
  ExpectRefused(Click("Baltic Sea"), "Bombers cannot base on Carriers", Entry, omRebase);
  ExpectSent(Click("Hamburg"), {rec::Rebase(Bombers, Idx("Hamburg"))}, Entry);

  TUnit* Fighters = G.MakeUnit("Germany", ukAirForce, "Ruhr", {{utFighter, 5}});
  Select("Ruhr", {Fighters}, omRebase);
  ExpectRefused(Click("Baltic Sea"), "There are no friendly Carriers in this Sea Zone", Entry, omRebase);
  G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utDestroyer, 2}});
  ExpectRefused(Click("Baltic Sea"), "There are no Carriers in this Fleet", Entry, omRebase);
  TUnit* Small = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utCarrier, 1}});
  TUnit* Big = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utCarrier, 2}});
  const TOrderStep Step = Entry.TargetClick(Small);
  EXPECT_EQ(Step.Question, "Divide this Unit and land as many planes as possible?");
  EXPECT_EQ(Step.YesRecords, (TRecords{rec::RebaseDivide(Idx("Ruhr"), Small, Idx("Baltic Sea"), rec::Units({Fighters}))}));
  EXPECT_TRUE(Entry.TargetClick(Big).ShowProceed);
  ExpectSent(Entry.Proceed(Big), {rec::RebaseCarrier(Fighters, Big, Idx("Baltic Sea"))}, Entry);
}

TEST_F(OrderEntryTest, AFleetBombardsAnEnemyLandZoneItCanReach) {
  TUnit* Fleet = G.MakeUnit("Germany", ukNavy, "Baltic Sea", {{utBattleship, 2}});
  Select("Baltic Sea", {Fleet}, omBombard);
  ExpectRefused(Click("North Sea"), "This is not an Enemy Land Zone", Entry, omBombard);
  ExpectRefused(Click("Bavaria"), "Unit cannot reach the Destination Zone", Entry, omBombard);
  ExpectRefused(Click("East Prussia"), "Germany does not support an invasion of East Prussia", Entry, omBombard);
  ExpectSent(Click("Lithuania"), {rec::Bombard(Fleet, Idx("Lithuania"))}, Entry);
}

TEST_F(OrderEntryTest, RocketsAimAtAnEnemyZoneWithinFiveAndTheBaseZoneCancelsThem) {
  Select("Berlin", {}, omAimRockets);
  ExpectSent(Click("Berlin"), {rec::TargetRockets(Idx("Berlin"), Idx("Berlin"))}, Entry);
  Select("Berlin", {}, omAimRockets);
  ExpectRefused(Click("Ruhr"), "This is not an Enemy Land Zone", Entry, omAimRockets);
  ExpectRefused(Click("Baltic Sea"), "This is not an Enemy Land Zone", Entry, omAimRockets);
  ExpectRefused(Click("Irkutsk"), "This Zone is too far for your Rockets to reach", Entry, omAimRockets);
  ExpectSent(Click("Warsaw"), {rec::TargetRockets(Idx("Warsaw"), Idx("Berlin"))}, Entry);
}

TEST_F(OrderEntryTest, APortZoneIsAnAdjacentSeaZone) {
  Select("Berlin", {}, omPortZone);
  ExpectRefused(Click("Poznan"), "This is not an adjacent Sea Zone", Entry, omPortZone);
  ExpectRefused(Click("North Sea"), "This is not an adjacent Sea Zone", Entry, omPortZone);
  ExpectSent(Click("Baltic Sea"), {rec::PortZone(Idx("Berlin"), Idx("Baltic Sea"))}, Entry);
}

TEST_F(OrderEntryTest, AClickOutsideAnOrderModeSendsNothing) {
  Entry.SetSelectedZone(G.Zone("Berlin"));
  const TOrderStep Step = Click("Ruhr");
  EXPECT_TRUE(Step.Records.empty());
  EXPECT_EQ(Step.Refusal, "");
  EXPECT_TRUE(Entry.Proceed(nullptr).Records.empty());
}

TEST_F(OrderEntryTest, TheDirectOrdersGiveTheirRecordsAtOnceForTheSelection) {
  TUnit* Army = Starting("Berlin", ukArmy);
  TUnit* Air = Starting("Berlin", ukAirForce);
  TUnit* Army2 = G.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 1}});
  G.MakeUnit("Poland", ukArmy, "Berlin", {{utInfantry, 1}});  // never consolidated with Germany's
  G.Zone("Berlin")->SetResources(37.9f);
  Select("Berlin", {Army, Air}, omNone);
  const int B = Idx("Berlin");
  const TUnit* const A = Army;
  const TUnit* const F = Air;
  const int Germany = G.Nation("Germany")->GetIndex();
  // The armies and the air forces of Germany in Berlin, in the zone's order.
  std::string Armies, Airs;
  TBrenmoorZone* Berlin = G.Zone("Berlin");
  for (int I = 0; I < Berlin->GetUnitCount(); ++I) {
    const TUnit* U = Berlin->GetUnit(I);
    if (U->GetOwner() != G.Nation("Germany")) continue;
    if (U->GetKind() == ukArmy) Armies += rec::Units({U});
    if (U->GetKind() == ukAirForce) Airs += rec::Units({U});
  }
  ASSERT_NE(Armies.find(Id(Army2)), std::string::npos);

  const struct {
    TDirectOrder Order;
    TRecords Records;
    bool Hide;
    bool Leave;
  } Cases[] = {
      {doClearOrders, {rec::None(A), rec::None(F)}, true, false},
      {doLaunch, {rec::Launch(A), rec::Launch(F)}, false, false},
      {doRetreat, {rec::Retreat(A), rec::Retreat(F)}, false, false},
      {doMerge, {rec::Merge(B, rec::Units({A, F}))}, false, false},
      {doConsolidate, {rec::Merge(B, Armies), rec::Merge(B, Airs)}, false, false},
      {doBaseHere, {rec::Rebase(A, B), rec::Rebase(F, B)}, false, true},
      {doAtomic, {rec::AtomicBomb(Germany, B)}, false, false},
      {doReturnToBase, {rec::ReturnToBase(A), rec::ReturnToBase(F)}, true, false},
      {doBuildConvoys, {rec::BuildUnit(B, ukNavy, rec::Counts({{utMerchantShip, 7}}))}, true, false},
      {doBuildFactory, {rec::BuildFactory(B)}, true, false},
      {doSurface, {rec::Surface(A), rec::Surface(F)}, false, false},
      {doSubmerge, {rec::Submerge(A), rec::Submerge(F)}, false, false},
      {doBuildRockets, {rec::BuildRocket(B)}, true, false},
      {doBuildAirfield, {rec::BuildAirfield(B)}, true, false},
      {doBuildPort, {rec::BuildPort(B)}, true, false},
      {doKamakaze, {rec::Kamakaze(A), rec::Kamakaze(F)}, false, false},
      {doGlobalRoute, {rec::GlobalRoute(B, 3)}, false, false},
      {doGlobalClear, {rec::GlobalClear(Germany)}, false, false},
  };
  for (const auto& C : Cases) {
    const TDirectStep Step = Entry.Direct(C.Order, 3);
    EXPECT_EQ(Step.Records, C.Records) << int(C.Order);
    EXPECT_EQ(Step.HideButton, C.Hide) << int(C.Order);
    EXPECT_EQ(Step.LeaveMode, C.Leave) << int(C.Order);
  }

  // Without a selected zone nothing of the zone is ordered.
  Entry.SetSelectedZone(nullptr);
  EXPECT_TRUE(Entry.Direct(doBuildFactory).Records.empty());
  EXPECT_TRUE(Entry.Direct(doConsolidate).Records.empty());
  // Without selected units the unit orders send nothing.
  Entry.SetSelectedUnits({});
  EXPECT_TRUE(Entry.Direct(doLaunch).Records.empty());
}

TEST_F(OrderEntryTest, ARenameSendsTheNewNameUnlessUnchangedOrUnfitForTheRecord) {
  TUnit* Army = Starting("Berlin", ukArmy);
  const std::string Name = Army->GetName();
  const struct {
    std::string Typed;
    std::string Record;
    bool Refused;
  } Cases[] = {
      {"Panzer Group North", rec::RenameUnit(Army, "Panzer Group North"), false},
      {Name, "", false},
      {"", "", true},
      {"North;South", "", true},
      {"Two\nLines", "", true},
  };
  for (const auto& C : Cases) {
    const TRenameStep Step = RenameUnit(*Army, C.Typed);
    EXPECT_EQ(Step.Record, C.Record) << C.Typed;
    EXPECT_EQ(!Step.Refusal.empty(), C.Refused) << C.Typed;
  }
}

TEST(UnitNameTest, ANameThatWouldBreakTheOrderRecordIsRefused) {
  EXPECT_EQ(UnitNameRefusal(""), "A unit's name cannot be empty");
  for (const char* Name : {"A;B", "A~B", "A|B", "A#B", "A^B", "A`B", "A%B", "A\nB", "A\rB"})
    EXPECT_EQ(UnitNameRefusal(Name), "A unit's name cannot hold any of these characters: ; ~ | # ^ ` % or a line break")
        << Name;
  EXPECT_EQ(UnitNameRefusal("Afrika Korps 2"), std::nullopt);
}


TEST_F(OrderEntryTest, ADiplomaticActionNamesItsTargetOrIsRefusedInRed) {
  TNation* Germany = G.Nation("Germany");
  TNation* Sweden = G.Nation("Sweden");
  TNation* Britain = G.Nation("United Kingdom");
  ASSERT_TRUE(Britain->GetMajorPower());
  ASSERT_FALSE(Sweden->GetMajorPower());
  TNation* Poland = G.Nation("Poland");
  auto Rec = [&](TNation* Target, int Action) { return rec::Diplomatic(Germany->GetIndex(), Target->GetIndex(), Action); };
  // Germany holds Poland's capital for the security case.
  Poland->GetCapital()->SetOwner(Germany);
  Germany->SetDiplomaticActions(1);
  const struct {
    TNation* Target;
    int Action;
    std::string Notice;
    TNoticeColor Color;
    std::string Record;
  } Cases[] = {
      {Sweden, 0, "Denounced Recent Actions of Sweden", ncCyan, Rec(Sweden, 0)},
      {Sweden, 1, "Launched Propaganda Campaign in Sweden", ncCyan, Rec(Sweden, 1)},
      {Sweden, 2, "Exerted Diplomatic Pressure on Sweden", ncCyan, Rec(Sweden, 2)},
      {Britain, 2, "You cannot Pressure Major Powers", ncRed, ""},
      {Britain, 3, "Conducted Summit Meeting with United Kingdom", ncCyan, Rec(Britain, 3)},
      {Britain, 4, "Infiltrated United Kingdom", ncCyan, Rec(Britain, 4)},
      {Poland, 5, "Tightened Security in Poland", ncCyan, Rec(Poland, 5)},
      {Sweden, 5, "Cannot Tighten Security in Sweden", ncRed, ""},
      {Sweden, 6, "Aided Rebels Sweden", ncCyan, Rec(Sweden, 6)},
      {Sweden, 7, "Aided Government in Sweden", ncCyan, Rec(Sweden, 7)},
  };
  for (const auto& C : Cases) {
    const TDiplomacyStep Step = DiplomacyStep(*Germany, *C.Target, C.Action);
    EXPECT_EQ(Step.Notice, C.Notice) << C.Action;
    EXPECT_EQ(Step.Color, C.Color) << C.Action;
    EXPECT_EQ(Step.Record, C.Record) << C.Action;
  }
  // Without actions left nothing is sent, whatever was chosen.
  Germany->SetDiplomaticActions(0);
  const TDiplomacyStep None = DiplomacyStep(*Germany, *Sweden, 1);
  EXPECT_EQ(None.Notice, "No Diplomatic Actions at this time");
  EXPECT_EQ(None.Color, ncRed);
  EXPECT_EQ(None.Record, "");
}

TEST_F(OrderEntryTest, TheFormationsGoToEveryNationPlayedHere) {
  const std::string Text = "10#20#30#40#50#60#70#80#-#10#20#30#40#50#60#70#";
  TNation* Germany = G.Nation("Germany");
  TNation* Italy = G.Nation("Italy");
  EXPECT_EQ(FormationRecords({Germany, Italy}, Text),
            (TRecords{rec::Formations(Germany->GetIndex(), Text), rec::Formations(Italy->GetIndex(), Text)}));
  EXPECT_TRUE(FormationRecords({}, Text).empty());
}

} // namespace
