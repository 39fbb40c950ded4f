// The host fights, dives, drops atomic bombs and researches; the guest replays the records and
// stays the same game, impulse after impulse.
#include <gtest/gtest.h>

#include <set>

#include "engine/AtomicRules.h"
#include "engine/CombatRules.h"
#include "engine/ResearchRules.h"
#include "engine/kit/RulesKit.h"

namespace {

using kit::TKitWorld;

// Gives the first air force of each major power a few Atomic Bombers and every nation its
// unit costs, the same on both machines.
void ArmBombers(TKitWorld& W) {
  // Unit costs weight the targets of every shot.
  for (int N = 0; N < W.Engine().GetNationCount(); ++N)
    for (int T = 0; T < UnitTypeCount; ++T) W.N(N)->SetUnitCost(T, UnitTypes[static_cast<std::size_t>(T)].Resources);
  for (int N = 0; N < 3; ++N)
    for (TUnit* U : W.Engine().GetUnits())
      if (U->GetOwner() == W.N(N) && U->GetKind() == ukAirForce) {
        U->SetCount(utAtomicBomber, 2);
        U->GetZone()->ChangeTally(W.N(N)->GetMajorIndex(), utAtomicBomber, 2);
        break;
      }
}

// One impulse of the host: a few orders chosen by the director's own generator, then the
// end-of-impulse stages that combat, losses, reports and research make.
class TDirector {
public:
  explicit TDirector(std::uint64_t Seed) : FPick(Seed) {}

  void operator()(TKitWorld& W, std::int32_t) {
    TBrenmoorEngine& E = W.Engine();
    // As the order stage begins: this impulse's damage and changed flags start clear.
    for (TUnit* U : E.GetUnits()) U->ResetImpulseState();
    const int Actions = FPick.Random(4);
    for (int A = 0; A < Actions; ++A) Act(E);
    for (int I = 0; I < E.GetZoneCount(); ++I) E.GetZone(I)->ResolveCombat();
    std::string Embattled;
    for (int I = 0; I < E.GetZoneCount(); ++I)
      if (E.GetZone(I)->GetEmbattled()) Embattled += std::to_string(I) + "#";
    E.AddChange(chEmbattledZones, Embattled);
    for (int I = E.GetUnitCount() - 1; I >= 0; --I) E.GetUnit(I)->ApplyLosses();
    for (int I = E.GetUnitCount() - 1; I >= 0; --I)
      if (I < E.GetUnitCount()) E.GetUnit(I)->RemoveIfEmpty();
    E.Combat().ReportUnitChanges();
    E.Research().ResearchStage();
  }

private:
  TUnit* AnyUnit(TBrenmoorEngine& E) { return E.GetUnitCount() ? E.GetUnit(FPick.Random(E.GetUnitCount())) : nullptr; }

  void Act(TBrenmoorEngine& E) {
    TUnit* U = AnyUnit(E);
    switch (FPick.Random(6)) {
      case 0: {  // An army attacks into a neighbouring land zone.
        if (!U || U->GetKind() != ukArmy || U->GetTransport()) break;
        TBrenmoorZone* Next = U->GetZone()->GetNeighbor(FPick.Random(U->GetZone()->NeighbourCount()));
        if (Next->GetSea() != 0) break;
        U->SetAttacking(FPick.Random(2) == 0);
        E.SendUnitOrder(U);
        U->MoveToZone(Next, mmImpulse);
        break;
      }
      case 1:  // A unit dives (a fleet or an army is refused).
        if (U) E.Combat().Kamikaze(U);
        break;
      case 2:  // Atomic bombs where the bombers stand.
        if (U && U->GetKind() == ukAirForce && U->GetCount(utAtomicBomber) > 0) E.Atomic().AtomicBomb(U->GetOwner(), U->GetZone(), U);
        break;
      case 3: {  // New research spending.
        TNation* N = E.GetNation(FPick.Random(E.GetMajorCount()));
        std::string Text = std::to_string(FPick.Random(300)) + "#";
        for (int G = 0; G < ResearchGroupCount; ++G) Text += std::to_string(FPick.Random(3) == 0 ? FPick.Random(100) : 0) + "#";
        E.AddChange(chResearchAllocation, N->GetIndex(), Text);
        E.Research().SetResearchAllocation(N, Text);
        break;
      }
      case 4: {  // Air orders that change how a unit fights.
        if (!U || U->GetKind() != ukAirForce) break;
        static const TOrderType Orders[] = {ordNone, ordBomb, ordRecon};
        U->SetOrder(Orders[FPick.Random(3)]);
        E.SendUnitOrder(U);
        break;
      }
      case 5: {  // Fresh troops keep the fighting going.
        if (!U) break;
        int Type = FPick.Random(UnitTypeCount);
        if (UnitTypes[static_cast<std::size_t>(Type)].Kind != U->GetKind()) break;
        const int More = FPick.Random(5) + 1;
        U->SetCount(Type, static_cast<std::uint16_t>(U->GetCount(Type) + More));
        if (U->IsTallied()) U->GetZone()->ChangeTally(U->GetOwner()->GetMajorIndex(), Type, More);
        U->SendStrengths();
        break;
      }
      default: break;
    }
  }

  TRandomGenerator FPick;
};

}  // namespace

TEST(CombatTwoEngineTest, TheGuestReplaysCombatResearchAndAtomicBombsToTheHostsGame) {
  std::set<int> All;
  for (std::uint64_t Seed : {2u, 11u, 1941u}) {
    kit::TTwoEngineHarness Harness(Seed);
    ArmBombers(Harness.Host());
    ArmBombers(Harness.Guest());
    // The events of bombs and research fire alike on both machines.
    std::vector<std::string> Logs[2];
    for (int M = 0; M < 2; ++M) {
      TBrenmoorEngine& E = M == 0 ? Harness.Host().Engine() : Harness.Guest().Engine();
      std::vector<std::string>& Log = Logs[M];
      E.OnAtomicBomb = [&Log](TBrenmoorEngine*, TNation* N, TBrenmoorZone* Z) {
        Log.push_back("AtomicBomb " + std::to_string(N->GetIndex()) + " " + std::to_string(Z->GetIndex()));
      };
      E.OnUpgradeTech = [&Log](TBrenmoorEngine*, TNation* N, int G) {
        Log.push_back("UpgradeTech " + std::to_string(N->GetIndex()) + " " + std::to_string(G));
      };
      E.OnUpgradeUnitType = [&Log](TBrenmoorEngine*, TNation* N, TUnitType T) {
        Log.push_back("UpgradeUnitType " + std::to_string(N->GetIndex()) + " " + std::to_string(T));
      };
    }
    TDirector Director(Seed * 17 + 3);
    std::set<int> Codes;
    for (int I = 0; I < kit::LongGameImpulses(400); ++I) {
      const std::string Fault = Harness.RunImpulse(std::ref(Director));
      ASSERT_EQ(Fault, "") << "seed " << Seed;
      ASSERT_EQ(Logs[0], Logs[1]) << "seed " << Seed << " impulse " << I;
      for (const std::string& Record : Harness.LastRecords()) Codes.insert(std::stoi(Record));
    }
    // Combat, losses, reports, research and atomic bombs all went through (in the whole games;
    // a sanitizer build's shortened ones only keep host and guest together).
    All.insert(Codes.begin(), Codes.end());
    if (!kit::LongGamesRunInFull) continue;
    for (int Code : {1, 6, 23, 36, 40, 41}) EXPECT_TRUE(Codes.count(Code)) << "seed " << Seed << " record " << Code;
    EXPECT_FALSE(Logs[0].empty()) << "seed " << Seed;
  }
  if (!kit::LongGamesRunInFull) return;
  // Over the three games: combats ended, units fell, levels were reached, bombs fell.
  for (int Code : {7, 24, 42, 44}) EXPECT_TRUE(All.count(Code)) << "record " << Code;
}

TEST(CombatTwoEngineTest, ArmiesThatFightBringTheirNationsToWarOnHostAndGuest) {
  // Albion and Freedonia stand at 0; their armies meet in Hale and fight impulse after impulse.
  kit::TTwoEngineHarness Harness(7);
  for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) {
    W->MakeUnit(0, ukArmy, kit::kzHale, {{utInfantry, 30}});
    W->MakeUnit(2, ukArmy, kit::kzHale, {{utInfantry, 30}});
  }
  ASSERT_EQ(Harness.Host().N(0)->GetRelation(Harness.Host().N(2)), 0);
  std::vector<int> Relations;
  for (int I = 0; I < 10; ++I) {
    ASSERT_EQ(Harness.RunImpulse([](TKitWorld& H, std::int32_t Impulse) {
      H.Engine().SetImpulse(Impulse);
      H.Engine().ProcessImpulse();
    }),
              "")
        << "impulse " << I;
    Relations.push_back(Harness.Guest().N(0)->GetRelation(Harness.Guest().N(2)));
  }
  // The first impulse's combat already drifted them apart, and they end at war.
  EXPECT_LT(Relations.front(), 0);
  EXPECT_EQ(Relations.back(), -100);
  EXPECT_TRUE(Harness.Guest().N(0)->IsAtWarWith(Harness.Guest().N(2)));
}
