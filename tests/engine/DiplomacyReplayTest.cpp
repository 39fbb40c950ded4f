// Host and guest stay one game over hundreds of impulses of diplomatic actions, conquests of
// nations, surrenders, convoys, random event effects and a free-for-all start.
#include <gtest/gtest.h>

#include <set>

#include "RulesReplay.h"
#include "engine/DiplomacyRules.h"
#include "engine/RandomEventRules.h"

namespace {

using kit::TKitWorld;

// What the host's rules do in one impulse, chosen by a generator of the test's own.
class TDiplomat {
public:
  explicit TDiplomat(std::uint64_t Seed) : FPick(Seed) {}

  void operator()(TKitWorld& W, std::int32_t Impulse) {
    TBrenmoorEngine& E = W.Engine();
    if (Impulse == 250) E.Diplomacy().StartFreeForAll();
    const int Actions = FPick.Random(4);
    for (int A = 0; A < Actions; ++A) Act(W, E);
    rules::ReportLossesAndOrganization(E);
  }

private:
  TNation* AliveNation(TBrenmoorEngine& E, bool MajorOnly, const TNation* Not = nullptr) {
    std::vector<TNation*> Candidates;
    for (int I = 0; I < E.GetNationCount(); ++I)
      if (E.GetNation(I)->GetAlive() && E.GetNation(I) != Not && (!MajorOnly || E.GetNation(I)->GetMajorPower()))
        Candidates.push_back(E.GetNation(I));
    return Candidates.empty() ? nullptr : Candidates[static_cast<std::size_t>(FPick.Random(static_cast<std::int32_t>(Candidates.size())))];
  }

  void Act(TKitWorld& W, TBrenmoorEngine& E) {
    switch (FPick.Random(12)) {
      case 0: case 1: case 2: case 3: case 4: {
        TNation* N = AliveNation(E, true);
        TNation* T = AliveNation(E, false, N);
        if (N && T) E.Diplomacy().DiplomaticAction(N, T, FPick.Random(9));
        break;
      }
      case 5: {  // A capital falls, or a nation is annexed.
        if (FPick.Random(3) != 0) break;
        TNation* A = AliveNation(E, false);
        TNation* B = AliveNation(E, false, A);
        if (!A || !B || E.Diplomacy().GetLivingNationCount() < 2) break;
        if (TBrenmoorZone* Capital = B->GetCapital(); Capital && Capital->GetOwner() == B) {
          E.AddChange(chZoneConquered, Capital->GetIndex(), A->GetIndex(), A->GetIndex());
          Capital->SetOwner(A);
          E.Fire(E.OnConquerZone, A, Capital);
        }
        E.Diplomacy().ConquerNation(A, B, FPick.Random(2) == 0);
        break;
      }
      case 6: {  // A convoy from a zone with resources.
        TBrenmoorZone* Zone = W.Z(FPick.Random(E.GetZoneCount()));
        if (Zone->GetSea() == 0 && Zone->GetResources() > 5.0f) E.Diplomacy().LaunchConvoy(Zone);
        break;
      }
      case 7: {  // Resources grow, so that convoys have something to carry.
        TBrenmoorZone* Zone = W.Z(FPick.Random(E.GetZoneCount()));
        const float Resources = Zone->GetResources() + static_cast<float>(FPick.Random(20));
        E.AddChange(chResourceEffects, std::to_string(Zone->GetIndex()) + "#" + FormatTwoDecimals(Resources) + "#");
        Zone->SetResources(static_cast<float>(StrToFloat(FormatTwoDecimals(Resources))));
        break;
      }
      case 8: {  // A random event strikes.
        TActiveEvent A(E);
        A.Effect = static_cast<std::uint8_t>(std::array{0, 1, 5}[static_cast<std::size_t>(FPick.Random(3))]);
        A.AreaKind = static_cast<std::uint8_t>(FPick.Random(6));
        A.Factor = 0.5f + static_cast<float>(FPick.Random(100)) / 100.0f;
        A.AreaZone = W.Z(FPick.Random(E.GetZoneCount()));
        A.AreaNation = W.N(FPick.Random(E.GetNationCount()));
        A.AreaAlliance = FPick.Random(2);
        A.Area = TRect{0, 0, 250, 150};
        E.RandomEvents().ApplyRandomEventEffect(A);
        break;
      }
      case 9: {  // A player surrenders, now and then.
        if (FPick.Random(20) != 0) break;
        const std::string Name = W.N(FPick.Random(3))->GetPlayerName();
        E.AddChange(chPlayerRemoved, Name);
        E.Diplomacy().RemovePlayer(Name);
        break;
      }
      case 10: {  // A major power courts the minor nation, which may join it.
        TNation* Minor = W.N(3);
        TNation* N = AliveNation(E, true);
        if (!N || !Minor->GetAlive()) break;
        N->SetRelation(Minor, 90 + FPick.Random(10));
        E.Diplomacy().DiplomaticAction(N, Minor, 3);
        break;
      }
      default: {  // Stability and countdowns move, so that the chances vary.
        TNation* N = AliveNation(E, false);
        if (!N) break;
        N->SetCountdown(FPick.Random(100));
        E.AddChange(chCountdown, N->GetIndex(), N->GetCountdown());
        break;
      }
    }
  }

  TRandomGenerator FPick;
};

TEST(DiplomacyReplayTest, HostAndGuestStayOneGameThroughDiplomacyConquestAndSurrender) {
  for (std::uint64_t Seed : {3u, 8u, 1941u}) {
    kit::TTwoEngineHarness Harness(Seed);
    std::vector<std::string> HostEvents, GuestEvents;
    for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) {
      W->Engine().SetEngineOptions(1u << 3);
      W->N(0)->SetPlayerName("ann");
      W->N(1)->SetPlayerName("bob");
      W->N(2)->SetPlayerName("cid");
    }
    rules::HookRulesEvents(Harness.Host().Engine(), HostEvents);
    rules::HookRulesEvents(Harness.Guest().Engine(), GuestEvents);
    TDiplomat Diplomat(Seed * 17 + 1);
    std::set<int> Codes;
    for (int I = 0; I < kit::LongGameImpulses(400); ++I) {
      HostEvents.clear();
      GuestEvents.clear();
      ASSERT_EQ(Harness.RunImpulse(std::ref(Diplomat)), "") << "seed " << Seed;
      ASSERT_EQ(HostEvents, GuestEvents) << "seed " << Seed << " impulse " << I;
      for (const std::string& Record : Harness.LastRecords()) {
        Codes.insert(std::stoi(Record));
        ASSERT_EQ(CheckChangeShape(Record), "") << "seed " << Seed << " record " << Record;
      }
    }
    // What the whole game went through (a sanitizer build's shortened one only keeps step).
    if (!kit::LongGamesRunInFull) continue;
    for (TChangeCode Code : {chUnitOrganization, chUnitStrength, chStability, chRelation, chInfluence, chCountdown, chNationConquered,
                             chDiplomaticActionUsed, chResourceEffects, chDiplomacy, chConvoyLaunched, chFreeForAll})
      EXPECT_TRUE(Codes.count(Code)) << "seed " << Seed << " record " << ChangeShape(Code).Name;
  }
}

}  // namespace
