// Searches kept for later paths from the same zone: every change of what a step costs (a
// zone's owner, an alliance, a relation into or out of alliance, the map's links and sea)
// lets go of them, so a path found from a kept search is the path a search of its own finds;
// and whole seeded games play alike with searches kept and with every path searched afresh.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "GridWorld.h"
#include "engine/SupplyRules.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

using namespace grid_world;

int At(int X, int Y) { return Y * GridWidth + X; }

// Every path of the three-nation grid that the step costs decide: a North army's from its
// zone, and one without a path unit (each step under the owner of the zone it leaves) from a
// North zone and from an East zone, to every zone.
std::vector<std::vector<int>> AllPaths(TThreeNationEngine& W, TUnit* Army) {
  std::vector<std::vector<int>> Paths;
  const auto Record = [&] {
    std::vector<int> Path;
    for (TZone* Z : W.Map.GetPath()) Path.push_back(Z->GetIndex());
    Paths.push_back(std::move(Path));
  };
  for (int Z = 0; Z < W.Engine.GetZoneCount(); ++Z) {
    Army->FindPathTo(W.Engine.GetZone(Z));
    Record();
    for (int From : {At(5, 2), At(5, 12)}) {
      W.Engine.SetPathUnit(nullptr);
      W.Engine.FindPath(W.Engine.GetZone(From), W.Engine.GetZone(Z));
      Record();
    }
  }
  return Paths;
}

}  // namespace

TEST(KeptPathsTest, EveryChangeOfAStepCostGivesThePathsOfAFreshSearch) {
  TThreeNationEngine W;
  TBrenmoorEngine& E = W.Engine;
  // North holds rows 0-4, South 5-9, East 10-14 (column 0 is sea).
  for (int Z = 0; Z < E.GetZoneCount(); ++Z)
    if (E.GetZone(Z)->GetSea() == 0) E.GetZone(Z)->SetOwner(E.GetNation(Z / GridWidth / 5));
  TNation* North = E.GetNation(0);
  TNation* South = E.GetNation(1);
  TNation* East = E.GetNation(2);
  TUnit* Army = E.AddUnit(std::make_unique<TUnit>(E, North, ukArmy), E.GetZone(At(5, 2)));
  Army->SetCount(utInfantry, 1);

  const std::pair<const char*, std::function<void()>> Changes[] = {
      {"a zone on the way falls to the enemy", [&] { E.GetZone(At(6, 2))->SetOwner(South); }},
      {"a nation joins an alliance", [&] { East->SetAlliance("A"); }},
      {"a nation leaves it", [&] { East->SetAlliance(""); }},
      {"a relation reaches alliance", [&] { North->SetRelation(East, 100); }},
      {"a relation falls from alliance", [&] { North->SetRelation(East, 60); }},
      {"a zone is given up", [&] { E.GetZone(At(6, 2))->SetOwner(nullptr); }},
      {"a land zone turns to sea", [&] { E.GetZone(At(7, 3))->SetSea(1); }},
      {"a new link", [&] { W.Map.AddLink(E.GetZone(At(1, 1)), E.GetZone(At(18, 13))); }},
  };
  std::vector<std::vector<int>> Before = AllPaths(W, Army);
  for (const auto& [Name, Change] : Changes) {
    SCOPED_TRACE(Name);
    ASSERT_TRUE(E.GetKeepPathSearches());
    // The searches of the last round are kept when the change comes.
    AllPaths(W, Army);
    Change();
    const std::vector<std::vector<int>> Kept = AllPaths(W, Army);
    E.SetKeepPathSearches(false);
    const std::vector<std::vector<int>> Fresh = AllPaths(W, Army);
    E.SetKeepPathSearches(true);
    ASSERT_EQ(Kept, Fresh);
    // Each change moves some path: the comparison above could tell a stale search.
    EXPECT_NE(Kept, Before);
    Before = Kept;
  }
  // A relation that moves without reaching or leaving alliance changes no step.
  AllPaths(W, Army);
  North->SetRelation(South, 40);
  EXPECT_EQ(AllPaths(W, Army), Before);
}

// Seeded games on the seven-nation grid, spread out and crowded, one machine keeping its
// searches and one searching every path afresh: the same whole state after every impulse.
TEST(KeptPathsTest, SeededGamesPlayAlikeWithSearchesKeptAndSearchedAfresh) {
  struct TCase {
    int Units, ZonesUsed, Impulses, HostilePercent;
    std::uint64_t Seed;
  };
  for (const TCase C : {TCase{1000, 0, kit::LongGameImpulses(150), 5, 71}, TCase{3000, 40, kit::LongGameImpulses(60), 30, 72}}) {
    SCOPED_TRACE(testing::Message() << C.Units << " units, seed " << C.Seed);
    TSevenNationWorld Kept(C.Units, C.ZonesUsed), Fresh(C.Units, C.ZonesUsed);
    Fresh.Engine.SetKeepPathSearches(false);
    kit::TKitSink KeptSink, FreshSink;
    Kept.Engine.SetChangeSink(&KeptSink);
    Fresh.Engine.SetChangeSink(&FreshSink);
    kit::TRandomOrders KeptOrders(C.Seed), FreshOrders(C.Seed);
    KeptOrders.HostilePercent = FreshOrders.HostilePercent = C.HostilePercent;
    for (TSevenNationWorld* W : {&Kept, &Fresh}) W->Engine.SetRandomSeed(C.Seed);
    for (std::int32_t Impulse = 0; Impulse < C.Impulses; ++Impulse) {
      for (auto [W, Orders] : {std::pair{&Kept, &KeptOrders}, std::pair{&Fresh, &FreshOrders}}) {
        TBrenmoorEngine& E = W->Engine;
        E.SetImpulse(Impulse);
        E.Upkeep().BeginImpulse();
        for (const kit::TGeneratedOrder& O : Orders->Generate(E, 20)) E.QueueOrder(O.Record, O.Sender);
        E.ProcessImpulse();
        E.Supply().SupplyUpkeep();
        E.Upkeep().UpdateVisibility(Impulse);
        E.Upkeep().EndImpulseUpkeep(Impulse);
        E.AdvanceDate();
      }
      ASSERT_EQ(KeptSink.Records, FreshSink.Records) << "impulse " << Impulse;
      ASSERT_EQ(kit::StateHash(Kept.Engine), kit::StateHash(Fresh.Engine)) << "impulse " << Impulse;
      KeptSink.Records.clear();
      FreshSink.Records.clear();
    }
  }
}
