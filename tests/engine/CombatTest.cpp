// Combat in a zone: the strength of a shot under every modifier, who may fire at whom, the
// scripted hit roll, the seeded hit and artillery rates, the kamikaze attack and the reports
// of organisation and experience.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <map>

#include "engine/CombatRules.h"
#include "engine/kit/RulesKit.h"
#include "foundation/NumberText.h"

namespace {

using namespace kit;

class CombatTest : public ::testing::Test {
protected:
  CombatTest() {
    // Hale: an empty land zone of Freedonia, with no terrain defence, storm or event.
    W.Z(kzHale)->SetTerrainDefense(0);
    W.Z(kzHale)->SetStorm(false);
  }
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  bool Targets(const TUnit* A, const TUnit* B) {
    const auto& List = A->GetOpponents();
    return std::find(List.begin(), List.end(), B) != List.end();
  }
};

// Draws counted by their bound, from a seeded generator.
class TCountingRandom : public TRandomGenerator {
public:
  explicit TCountingRandom(std::uint64_t Seed) : TRandomGenerator(Seed) {}
  std::int32_t Random(std::int32_t N) override {
    ++Calls[N];
    return TRandomGenerator::Random(N);
  }
  double Random() override { return TRandomGenerator::Random(); }
  std::map<std::int32_t, int> Calls;
};

}  // namespace

TEST_F(CombatTest, ShotStrengthAppliesEveryModifier) {
  struct TCase {
    const char* Name;
    TUnitKind AttackerKind;
    TUnitType AttackType;
    int TargetZone;
    TUnitKind TargetKind;
    TUnitType TargetType;
    std::function<void(TKitWorld&, TUnit* A, TUnit* B)> Setup;
    float Expected;
  };
  const auto None = [](TKitWorld&, TUnit*, TUnit*) {};
  const TCase Cases[] = {
      {"infantry at infantry: 15 less 20 percent", ukArmy, utInfantry, kzHale, ukArmy, utInfantry, None, 12.0f},
      {"AA gun at air: double", ukArmy, utAAGun, kzHale, ukAirForce, utFighter, None, 30.0f},
      {"AA gun at ground: half", ukArmy, utAAGun, kzHale, ukArmy, utInfantry, None, 8.0f},
      {"army at air: three quarters", ukArmy, utInfantry, kzHale, ukAirForce, utFighter, None, 8.4375f},
      {"army at a bomber on its run: a tenth", ukArmy, utInfantry, kzHale, ukAirForce, utBomber,
       [](TKitWorld&, TUnit*, TUnit* B) { B->SetOrder(ordBomb); }, 1.5f * 0.95f},
      {"army at recon: a tenth", ukArmy, utInfantry, kzHale, ukAirForce, utBomber,
       [](TKitWorld&, TUnit*, TUnit* B) { B->SetOrder(ordRecon); }, 1.5f * 0.95f},
      {"radar level 5 against air", ukAirForce, utFighter, kzHale, ukAirForce, utFighter,
       [](TKitWorld& W, TUnit*, TUnit*) { W.N(0)->SetResearchLevel(4, 5); }, 33.75f},
      {"radar does not help against ground", ukAirForce, utFighter, kzHale, ukArmy, utInfantry,
       [](TKitWorld& W, TUnit*, TUnit*) { W.N(0)->SetResearchLevel(4, 5); }, 24.0f},
      {"a fleet in port is hit four times as hard", ukNavy, utDestroyer, kzHale, ukNavy, utBattleship, None, 30.0f},
      {"terrain shelters an attacked army", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld& W, TUnit* A, TUnit*) {
         W.Z(kzHale)->SetTerrainDefense(20);
         A->SetAttacking(true);
       },
       9.6f},
      {"terrain does not shelter from a defender", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld& W, TUnit*, TUnit*) { W.Z(kzHale)->SetTerrainDefense(20); }, 12.0f},
      {"terrain does not shelter air", ukArmy, utAAGun, kzHale, ukAirForce, utFighter,
       [](TKitWorld& W, TUnit* A, TUnit*) {
         W.Z(kzHale)->SetTerrainDefense(20);
         A->SetAttacking(true);
       },
       30.0f},
      {"storm: air fires at 70 percent", ukAirForce, utFighter, kzHale, ukAirForce, utFighter,
       [](TKitWorld& W, TUnit*, TUnit*) { W.Z(kzHale)->SetStorm(true); }, 15.75f},
      {"storm: an attacking army at 80 percent", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld& W, TUnit* A, TUnit*) {
         W.Z(kzHale)->SetStorm(true);
         A->SetAttacking(true);
       },
       9.6f},
      {"storm: a defending army is not slowed", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld& W, TUnit*, TUnit*) { W.Z(kzHale)->SetStorm(true); }, 12.0f},
      {"organisation and experience", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld&, TUnit* A, TUnit*) {
         A->SetOrganizationDirect(50);
         A->SetExperience(1.5f);
       },
       9.0f},
      {"type factors of both sides", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld&, TUnit* A, TUnit* B) {
         A->SetTypeFactor(utInfantry, 2.0f);
         B->SetTypeFactor(utInfantry, 2.0f);
       },
       18.0f},
      {"a defence above 100 can never be hit", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld&, TUnit*, TUnit* B) { B->SetTypeFactor(utInfantry, 6.0f); }, -3.0f},
      {"an attack event of the attacker", ukArmy, utInfantry, kzHale, ukArmy, utInfantry,
       [](TKitWorld& W, TUnit*, TUnit*) {
         auto Event = std::make_unique<TActiveEvent>(W.Engine());
         Event->Effect = efCombat;
         Event->AreaKind = eaEverywhere;
         Event->NationFilter = efNation;
         Event->FilterNation = W.N(0);
         Event->Kinds = KindBit(ukArmy);
         Event->Factor = 2.0f;
         W.Engine().AddActiveEvent(std::move(Event));
       },
       24.0f},
  };
  for (const TCase& C : Cases) {
    TKitWorld World;
    World.Z(kzHale)->SetTerrainDefense(0);
    TUnit* A = World.MakeUnit(0, C.AttackerKind, kzHale, {{C.AttackType, 1}});
    TUnit* B = World.MakeUnit(1, C.TargetKind, C.TargetZone, {{C.TargetType, 1}});
    C.Setup(World, A, B);
    EXPECT_FLOAT_EQ(World.Z(kzHale)->ShotStrength(A, C.AttackType, B, C.TargetType), C.Expected) << C.Name;
  }
}

TEST_F(CombatTest, WhoFiresAtWhomFollowsTheRelations) {
  // Albion and Ruritania are at war; Albion and Freedonia neither at war nor allied.
  TUnit* Albish = W.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 1}});
  TUnit* Freedonian = W.MakeUnit(2, ukArmy, kzHale, {{utInfantry, 1}});
  E.SetRandomSeed(5);
  W.Z(kzHale)->ResolveCombat();
  // On land it is enough not to be allied.
  EXPECT_TRUE(Targets(Albish, Freedonian));
  EXPECT_TRUE(Targets(Freedonian, Albish));
  EXPECT_TRUE(W.Z(kzHale)->GetEmbattled());
  // A unit on reconnaissance fights only a nation at war.
  TUnit* Scout = W.MakeUnit(0, ukAirForce, kzHale, {{utFighter, 1}});
  Scout->SetOrder(ordRecon);
  W.Z(kzHale)->ResolveCombat();
  EXPECT_FALSE(Targets(Freedonian, Scout));

  // At sea only war or an interception opens fire.
  TKitWorld Sea;
  TUnit* Fleet0 = Sea.MakeUnit(0, ukNavy, kzChannel, {{utDestroyer, 1}});
  TUnit* Fleet2 = Sea.MakeUnit(2, ukNavy, kzChannel, {{utDestroyer, 1}});
  Sea.Engine().SetRandomSeed(5);
  Sea.Z(kzChannel)->ResolveCombat();
  EXPECT_FALSE(Targets(Fleet0, Fleet2));
  Fleet0->SetOrder(ordIntercept);
  Fleet0->SetDestinationUnit(Fleet2);
  Sea.Z(kzChannel)->ResolveCombat();
  EXPECT_TRUE(Targets(Fleet0, Fleet2));
  EXPECT_TRUE(Targets(Fleet2, Fleet0));
}

TEST_F(CombatTest, AlliesAloneEndTheCombatAndClearTheAttackers) {
  W.N(0)->SetRelationDirect(W.N(2), 100);
  W.N(2)->SetRelationDirect(W.N(0), 100);
  TUnit* A = W.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 3}});
  TUnit* B = W.MakeUnit(2, ukArmy, kzHale, {{utInfantry, 3}});
  A->SetAttacking(true);
  B->SetAttacking(true);
  W.Z(kzHale)->SetEmbattled(true);
  TForbiddenRandom Forbidden;
  E.SetRandomGenerator(&Forbidden);
  W.Z(kzHale)->ResolveCombat();
  EXPECT_FALSE(W.Z(kzHale)->GetEmbattled());
  EXPECT_FALSE(A->GetAttacking());
  EXPECT_FALSE(B->GetAttacking());
  EXPECT_EQ(W.Sink.Records, std::vector<std::string>{rec::CombatEnded(kzHale)});
  // Not embattled before: nothing to report.
  W.Sink.Records.clear();
  W.Z(kzHale)->ResolveCombat();
  EXPECT_TRUE(W.Sink.Records.empty());
  E.SetRandomGenerator(nullptr);
}

TEST_F(CombatTest, FleetsInPortBombersAndSubmarines) {
  // A fleet in port never fires; the enemy army fires at it.
  TUnit* Docked = W.MakeUnit(0, ukNavy, kzHale, {{utDestroyer, 2}});
  TUnit* Army = W.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 2}});
  E.SetRandomSeed(9);
  W.Z(kzHale)->ResolveCombat();
  EXPECT_TRUE(Docked->GetOpponents().empty());
  EXPECT_TRUE(Targets(Army, Docked));

  // A bomber on its run over an enemy zone without enemy air may bomb and does not fight.
  TKitWorld B;
  TUnit* Bombers = B.MakeUnit(1, ukAirForce, kzHale, {{utBomber, 2}});
  Bombers->SetOrder(ordBomb);
  TUnit* Defenders = B.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 2}});
  B.Engine().SetRandomSeed(9);
  B.Z(kzHale)->ResolveCombat();
  EXPECT_EQ(Bombers->GetCombatFlag(), 1);
  EXPECT_TRUE(Bombers->GetOpponents().empty());
  EXPECT_TRUE(Targets(Defenders, Bombers));
  // With enemy fighters there it fights them, and only them.
  TUnit* Fighters = B.MakeUnit(0, ukAirForce, kzHale, {{utFighter, 2}});
  B.Z(kzHale)->ResolveCombat();
  EXPECT_EQ(Bombers->GetCombatFlag(), 0);
  EXPECT_TRUE(Targets(Bombers, Fighters));
  EXPECT_FALSE(Targets(Bombers, Defenders));

  // A submerged submarine neither fires nor is hit; one that surfaced fires but is no target.
  TKitWorld S;
  TUnit* Sub = S.MakeUnit(0, ukNavy, kzChannel, {{utSubmarine, 2}});
  TUnit* Hunter = S.MakeUnit(1, ukNavy, kzChannel, {{utDestroyer, 2}});
  Sub->SetSubmerged(true);
  S.Engine().SetRandomSeed(9);
  S.Z(kzChannel)->ResolveCombat();
  EXPECT_TRUE(Sub->GetOpponents().empty());
  EXPECT_FALSE(Targets(Hunter, Sub));
  Sub->SetSubmerged(false);
  Sub->SetSurfaced(true);
  S.Z(kzChannel)->ResolveCombat();
  EXPECT_TRUE(Targets(Sub, Hunter));
  EXPECT_FALSE(Targets(Hunter, Sub));
  // An army carried at sea takes no part.
  TUnit* Carried = S.MakeUnit(1, ukArmy, kzChannel, {{utInfantry, 1}});
  S.Z(kzChannel)->ResolveCombat();
  EXPECT_TRUE(Carried->GetOpponents().empty());
  EXPECT_FALSE(Targets(Sub, Carried));
}

TEST_F(CombatTest, AScriptedShotHitsAtOrUnderItsStrength) {
  // One infantry each side: strength 12 both ways while organisation and experience stay.
  for (const auto& [Roll, Hit] : {std::pair{0.1199, true}, std::pair{0.1201, false}, std::pair{0.0, true}}) {
    TKitWorld World;
    TUnit* A = World.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 1}});
    TUnit* B = World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 1}});
    TScriptedRandom Script;
    for (int Side = 0; Side < 2; ++Side) {
      Script.QueueFloat(0.0);  // organisation kept
      Script.QueueFloat(0.0);  // experience kept
      Script.QueueInt(0);      // the target unit
      Script.QueueInt(0);      // the target type
      Script.QueueFloat(Side == 0 ? Roll : 0.99);
    }
    World.Engine().SetRandomGenerator(&Script);
    World.Z(kzHale)->ResolveCombat();
    EXPECT_TRUE(Script.Empty());
    EXPECT_EQ(B->GetDamaged(utInfantry), Hit ? 1 : 0) << Roll;
    // A damaged infantry still fires: B's shot was drawn, A took no hit.
    EXPECT_EQ(A->GetDamaged(utInfantry), 0);
    World.Engine().SetRandomGenerator(nullptr);
  }
}

TEST_F(CombatTest, HitsComeAtTheStatedRate) {
  for (std::uint64_t Seed : {1u, 2u, 3u}) {
    TKitWorld World;
    TUnit* A = World.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 2000}});
    TUnit* B = World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 2000}});
    World.Engine().SetRandomSeed(Seed);
    World.Z(kzHale)->ResolveCombat();
    // A fired before B lost organisation; B fired at A as A stood after its own loss.
    const double PA = 15.0 * A->GetOrganization() / 100.0 * A->GetExperience() * 0.8 / 100.0;
    const double PB = World.Z(kzHale)->ShotStrength(B, utInfantry, A, utInfantry) / 100.0;
    // A shot whose target walk passes the value already lost misses its mark, so the hits
    // thin out as they mount: 2000 x (1 - e^-P) on average rather than 2000 x P.
    for (const auto& [Hits, P] : {std::pair{B->GetDamaged(utInfantry), PA}, std::pair{A->GetDamaged(utInfantry), PB}}) {
      const double Mean = 2000 * (1 - std::exp(-P));
      EXPECT_NEAR(Hits, Mean, 4 * std::sqrt(2000 * P * (1 - P))) << "seed " << Seed;
    }
  }
}

TEST_F(CombatTest, ArtilleryFiresExtraShotsByExperience) {
  for (const float Experience : {1.0f, 2.0f}) {
    TKitWorld World;
    TUnit* Guns = World.MakeUnit(0, ukArmy, kzHale, {{utArtillery, 3000}});
    Guns->SetExperience(Experience);
    World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 50000}});
    TCountingRandom Counting(77);
    World.Engine().SetRandomGenerator(&Counting);
    World.Z(kzHale)->ResolveCombat();
    // The chance is read after this combat's gain in experience: below 10 + 10 x (experience - 1).
    const double P = std::ceil((Guns->GetExperience() - 1.0) * 10.0 + 10.0) / 100.0;
    EXPECT_NEAR(Counting.Calls[4], 3000 * P, 4 * std::sqrt(3000 * P * (1 - P))) << Experience;
    EXPECT_GE(P, Experience == 1.0f ? 0.10 : 0.20);
    EXPECT_LE(P, Experience == 1.0f ? 0.11 : 0.20);
    World.Engine().SetRandomGenerator(nullptr);
  }
}

TEST_F(CombatTest, KamikazeSpendsAPlaneForEveryHitAndOnlyPlanesDive) {
  TUnit* Fleet = W.MakeUnit(0, ukNavy, kzChannel, {{utDestroyer, 2}, {utCruiser, 3}});
  TUnit* Planes = W.MakeUnit(1, ukAirForce, kzChannel, {{utFighter, 2}, {utDiveBomber, 1}});
  // A fleet ordered to dive is refused: it would spend nothing and sink every ship.
  TUnit* Ships = W.MakeUnit(1, ukNavy, kzChannel, {{utBattleship, 1}});
  TForbiddenRandom Forbidden;
  E.SetRandomGenerator(&Forbidden);
  EXPECT_FALSE(E.Combat().Kamikaze(Ships));
  EXPECT_EQ(Fleet->GetEffectiveCount(), 5);
  E.SetRandomGenerator(nullptr);
  E.SetRandomSeed(3);
  EXPECT_TRUE(E.Combat().Kamikaze(Planes));
  EXPECT_EQ(Planes->GetEffectiveCount(), 0);
  EXPECT_EQ(Planes->GetDamaged(utFighter), 2);
  EXPECT_EQ(Planes->GetDamaged(utDiveBomber), 1);
  EXPECT_EQ(Fleet->GetEffectiveCount(), 2);
  EXPECT_EQ(Ships->GetEffectiveCount(), 1);

  // Without an enemy fleet nothing happens and nothing is drawn.
  TKitWorld Calm;
  TUnit* Alone = Calm.MakeUnit(1, ukAirForce, kzHale, {{utFighter, 2}});
  Calm.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 2}});
  Calm.Engine().SetRandomGenerator(&Forbidden);
  EXPECT_TRUE(Calm.Engine().Combat().Kamikaze(Alone));
  EXPECT_EQ(Alone->GetEffectiveCount(), 2);
  Calm.Engine().SetRandomGenerator(nullptr);
}

TEST_F(CombatTest, ReportsCarryTwoDecimalsAndTheHostKeepsWhatItSent) {
  TUnit* A = W.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 1}});
  A->SetOrganization(87.3456f);
  A->SetExperience(1.23456f);
  A->SetFought(true);
  E.Combat().ReportUnitChanges();
  const std::string Prefix = "7#" + std::to_string(A->ID) + "#";
  ASSERT_EQ(W.Sink.Records.size(), 2u);
  EXPECT_EQ(W.Sink.Records[0].rfind("1;", 0), 0u);
  EXPECT_NE(W.Sink.Records[0].find(Prefix + "87.35#"), std::string::npos) << W.Sink.Records[0];
  EXPECT_EQ(W.Sink.Records[1], "36;" + Prefix + "1.23#;");
  EXPECT_EQ(A->GetOrganization(), static_cast<float>(StrToFloat("87.35")));
  EXPECT_EQ(A->GetExperience(), static_cast<float>(StrToFloat("1.23")));
  // The guest reads the same values.
  TKitWorld Guest;
  TUnit* G = Guest.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 1}});
  ASSERT_EQ(G->ID, A->ID);
  for (const std::string& R : W.Sink.Records) Guest.Engine().ApplyStateChange(R);
  EXPECT_EQ(G->GetOrganization(), A->GetOrganization());
  EXPECT_EQ(G->GetExperience(), A->GetExperience());
}

TEST_F(CombatTest, TargetsAndTypesAreWeightedByValue) {
  struct TCase {
    std::int32_t TargetDraw;
    std::int32_t TypeDraw;
    int Unit;  // 1 or 2
    TUnitType Type;
  };
  // B1 holds 2 Infantry (value 4), B2 1 Infantry and 1 Armor (value 2 + 4).
  const TCase Cases[] = {{0, 0, 1, utInfantry}, {4, 3, 1, utInfantry}, {5, 2, 2, utInfantry}, {9, 3, 2, utArmor}, {9, 5, 2, utArmor}};
  for (const TCase& C : Cases) {
    TKitWorld World;
    for (int N = 0; N < 2; ++N) {
      World.N(N)->SetUnitCost(utInfantry, 2);
      World.N(N)->SetUnitCost(utArmor, 4);
    }
    World.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 1}});
    TUnit* B1 = World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 2}});
    TUnit* B2 = World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 1}, {utArmor, 1}});
    TScriptedRandom Script;
    const auto Unit = [&](int Shots, std::int32_t Target, std::int32_t Type, double Roll) {
      Script.QueueFloat(0.0);
      Script.QueueFloat(0.0);
      for (int S = 0; S < Shots; ++S) {
        Script.QueueInt(Target);
        Script.QueueInt(Type);
        Script.QueueFloat(Roll);
      }
    };
    Unit(1, C.TargetDraw, C.TypeDraw, 0.0);  // the Albish infantry hits
    Unit(2, 0, 0, 0.99);                     // the Ruritanian shots miss
    Unit(2, 0, 0, 0.99);
    World.Engine().SetRandomGenerator(&Script);
    World.Z(kzHale)->ResolveCombat();
    World.Engine().SetRandomGenerator(nullptr);
    EXPECT_TRUE(Script.Empty());
    const TUnit* Hit = C.Unit == 1 ? B1 : B2;
    const TUnit* Missed = C.Unit == 1 ? B2 : B1;
    EXPECT_EQ(Hit->GetDamaged(C.Type), 1) << C.TargetDraw << "/" << C.TypeDraw;
    EXPECT_EQ(Missed->GetEffectiveCount(), 2);
  }
}

TEST_F(CombatTest, PresenceByRelationFollowsAlliancesOrRelations) {
  struct TCase {
    const char* Name;
    int Nation;
    int Owner;
    TUnitKinds Kinds;
    bool Own, Enemy, Neutral;
    bool Expected;
  };
  const TUnitKinds Army = KindBit(ukArmy), Air = KindBit(ukAirForce);
  // Albion is of the Allies, Ruritania of the Axis; Freedonia and Lichtenburg have no alliance.
  const TCase Cases[] = {
      {"own unit counts as own", 0, 0, Army, true, false, false, true},
      {"own unit is no enemy", 0, 0, Army, false, true, true, false},
      {"other alliance is enemy", 0, 1, Army, false, true, false, true},
      {"other alliance is not own", 0, 1, Army, true, false, false, false},
      {"other alliance is not neutral", 0, 1, Army, false, false, true, false},
      {"no alliance is neutral", 0, 2, Army, false, false, true, true},
      {"no alliance is an enemy of an alliance", 0, 2, Army, false, true, false, true},
      {"the kind must be asked", 0, 1, Air, false, true, false, false},
      {"without alliance: relation 100 is own", 2, 0, Army, true, false, false, true},
      {"without alliance: relation -100 is enemy", 2, 3, Army, false, true, false, true},
      {"without alliance: relation -30 is no enemy", 2, 1, Army, false, true, false, false},
      {"without alliance: anyone else is neutral", 2, 1, Army, false, false, true, true},
      {"without alliance: oneself is not neutral", 2, 2, Army, false, false, true, false},
  };
  for (const TCase& C : Cases) {
    TKitWorld World;
    World.N(2)->SetRelationDirect(World.N(0), 100);
    World.N(2)->SetRelationDirect(World.N(3), -100);
    World.N(2)->SetRelationDirect(World.N(1), -30);
    World.MakeUnit(C.Owner, ukArmy, kzHale, {{utInfantry, 1}});
    EXPECT_EQ(World.Z(kzHale)->CountUnits(World.N(C.Nation), C.Own, C.Enemy, C.Neutral, C.Kinds), C.Expected) << C.Name;
  }
}

TEST_F(CombatTest, ArmiesOfNationsAtPeaceDriftTheirOwnersTowardsWarBeforeTheyFight) {
  // Albion (relation resistance 5) and Freedonia (0) stand at 0: neither allied nor at war.
  TUnit* Albish = W.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 3}});
  W.MakeUnit(2, ukArmy, kzHale, {{utInfantry, 3}});
  ASSERT_EQ(W.N(0)->GetRelation(W.N(2)), 0);
  TScriptedRandom Script;
  // Albish towards Freedonian: -100 x 0.25 = -25. Freedonian towards Albish: -100 damped to
  // -95, x 0.5 = -47.5, to even -48. A unit and itself, and allies, are no pair.
  Script.QueueFloat(0.25);
  Script.QueueFloat(0.5);
  E.SetRandomGenerator(&Script);
  W.Z(kzHale)->DriftHostileRelations();
  E.SetRandomGenerator(nullptr);
  EXPECT_TRUE(Script.Empty());
  EXPECT_EQ(W.N(0)->GetRelation(W.N(2)), -73);
  EXPECT_EQ(W.N(2)->GetRelation(W.N(0)), -73);
  EXPECT_EQ(W.Sink.Records, (std::vector<std::string>{rec::Relation(0, 2, -25), rec::Relation(2, 0, -73)}));

  // Nations at war drift no further, and draw nothing.
  W.Sink.Records.clear();
  W.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 1}});
  W.N(0)->SetRelation(W.N(2), -100);
  W.N(1)->SetRelation(W.N(2), -100);
  W.Sink.Records.clear();
  TForbiddenRandom None;
  E.SetRandomGenerator(&None);
  W.Z(kzHale)->DriftHostileRelations();
  // At sea only nations at war may attack: fleets at peace side by side drift nothing either.
  W.MakeUnit(0, ukNavy, kzChannel, {{utDestroyer, 1}});
  W.MakeUnit(3, ukNavy, kzChannel, {{utDestroyer, 1}});
  W.Z(kzChannel)->DriftHostileRelations();
  E.SetRandomGenerator(nullptr);
  EXPECT_EQ(None.Draws(), 0);
  EXPECT_TRUE(W.Sink.Records.empty());
  EXPECT_EQ(Albish->GetOwner()->GetRelation(W.N(3)), 0);
}

TEST_F(CombatTest, AValuePastThirtyTwoBitsStillDrawsTheTargetByValue) {
  // 40,000 Infantry at weight 65,535 are worth 2,621,400,000: more than a 32-bit int holds.
  for (int N = 0; N < 2; ++N) W.N(N)->SetUnitCost(utInfantry, 65535);
  W.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 2000}});
  TUnit* Few = W.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 5}});
  TUnit* Many = W.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 40000}});
  EXPECT_EQ(Many->GetValue(), 40000LL * 65535);
  E.SetRandomSeed(3);
  W.Z(kzHale)->ResolveCombat();
  // The few hold one part in 8,000 of the value: nearly every hit falls on the many.
  EXPECT_GT(Many->GetDamaged(utInfantry), 150);
  EXPECT_LE(Few->GetDamaged(utInfantry), 1);
}

TEST_F(CombatTest, TheScenariosStartingWeightsShareTheHitsByStrength) {
  // Nobody set formations: the weights are the scenario's start, 10 for every type.
  for (int N = 0; N < E.GetNationCount(); ++N)
    for (int T = 0; T < UnitTypeCount; ++T) ASSERT_EQ(W.N(N)->GetUnitCost(T), StartingFormationWeight) << N << " " << T;
  int FewHits = 0, ManyHits = 0;
  for (std::uint64_t Seed = 1; Seed <= 20; ++Seed) {
    TKitWorld World;
    World.Z(kzHale)->SetTerrainDefense(0);
    World.Z(kzHale)->SetStorm(false);
    World.MakeUnit(0, ukArmy, kzHale, {{utInfantry, 100}});
    TUnit* Few = World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 5}});
    TUnit* Many = World.MakeUnit(1, ukArmy, kzHale, {{utInfantry, 50}});
    World.Engine().SetRandomSeed(Seed);
    World.Z(kzHale)->ResolveCombat();
    FewHits += Few->GetDamaged(utInfantry);
    ManyHits += Many->GetDamaged(utInfantry);
  }
  // About 240 hits over the twenty rounds, one in eleven on the five listed first.
  EXPECT_GT(ManyHits, 150);
  EXPECT_GT(FewHits, 5);
  EXPECT_LT(FewHits * 4, ManyHits);
}

// The opponent lists stay as the combat left them until a unit named there leaves the game:
// then it goes from every list that names it, the others keep their order, and a unit that
// leaves lets go of its own list and its aim; units aimed at a unit that leaves aim at nothing.
// A combat between the departures gives every unit a fresh list and lets the old ones go.
TEST_F(CombatTest, AUnitLeavingTheGameLeavesEveryListAndAimThatNameIt) {
  W.N(1)->SetRelationDirect(W.N(2), -100);
  W.N(2)->SetRelationDirect(W.N(1), -100);
  std::vector<TUnit*> Units;
  for (int Nation : {0, 0, 1, 1, 1, 2, 2}) Units.push_back(W.MakeUnit(Nation, ukArmy, kzHale, {{utInfantry, 2}}));
  TUnit* Scout = W.MakeUnit(1, ukAirForce, kzHale, {{utFighter, 1}});
  Scout->SetOrder(ordRecon);
  Units.push_back(Scout);
  E.SetRandomSeed(5);
  std::vector<std::vector<TUnit*>> Lists(Units.size());
  const auto Fight = [&] {
    W.Z(kzHale)->ResolveCombat();
    for (std::size_t I = 0; I < Units.size(); ++I)
      if (Units[I]) Lists[I] = Units[I]->GetOpponents();
  };
  const auto Leave = [&](std::size_t Which) {
    TUnit* Gone = Units[Which];
    Units[Which] = nullptr;
    Lists[Which].clear();
    for (std::vector<TUnit*>& List : Lists) std::erase(List, Gone);
    E.FreeUnit(Gone);
    for (std::size_t I = 0; I < Units.size(); ++I) {
      if (!Units[I]) continue;
      EXPECT_EQ(Units[I]->GetOpponents(), Lists[I]) << "unit " << I << " after unit " << Which << " left";
    }
  };
  Fight();
  ASSERT_EQ(Lists[0].size(), 6u);
  ASSERT_EQ(Lists[0], Lists[1]) << "one owner's armies share their targets";
  ASSERT_EQ(Lists[2].size(), 4u);
  Units[5]->SetDestinationUnit(Units[3]);
  Units[2]->SetDestinationUnit(Units[3]);
  Units[0]->SetDestinationUnit(Units[4]);
  // A target in the middle of the shared lists, then one of the units sharing a list.
  Leave(3);
  EXPECT_EQ(Units[5]->GetDestinationUnit(), nullptr);
  EXPECT_EQ(Units[2]->GetDestinationUnit(), nullptr);
  EXPECT_EQ(Units[2]->GetDestinationUnitName(), "");
  EXPECT_EQ(Units[0]->GetDestinationUnit(), Units[4]);
  Leave(0);
  Fight();
  Leave(5);
  Leave(7);
  Fight();
  // Aimed again, then the aimer gone first: its target leaves without a stale aimer.
  Units[1]->SetDestinationUnit(Units[4]);
  Units[1]->SetDestinationUnit(Units[2]);
  Leave(2);
  EXPECT_EQ(Units[1]->GetDestinationUnit(), nullptr);
  Units[1]->SetDestinationUnit(Units[4]);
  Fight();
  Leave(1);
  Leave(4);
  EXPECT_TRUE(Units[6]->GetOpponents().empty());
  Fight();
  Leave(6);
}
