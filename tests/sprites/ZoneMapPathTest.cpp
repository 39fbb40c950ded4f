// The map's path search against the first-in first-out search it must match step for step
// (kept here as it was first written): on many random maps of land and sea, with neighbours
// listed twice and one way, and random step-cost tables (negative, zero, huge), the path, its
// cost, the zones' search state and the cost-only search agree, and every step of the path was
// asked of the cost hook. A search kept as a tree, and one by a table of step costs that ends once
// its target holds its cheapest cost, give every target the path of a whole search of its own.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <random>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "foundation/CurrentFolder.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"

namespace {

using TCostTable = std::map<std::pair<int, int>, std::int32_t>;

// The search as it was: a label-correcting search over the neighbour lists with a first-in
// first-out queue, the built-in or the table's step cost (a negative one counting as 0).
struct TReference {
  std::vector<std::int32_t> Cost;
  std::vector<int> Prev;
  std::vector<std::uint8_t> State;
  std::vector<int> Path;

  static std::int32_t Step(const TZoneMap& Map, const TCostTable* Table, int A, int B) {
    const TZone* Z1 = Map.GetZone(A);
    const TZone* Z2 = Map.GetZone(B);
    std::int32_t C = Z1->GetSea() != Z2->GetSea() ? 1000 : Z1->GetSea() != 0 ? 1 : 10;
    if (Table) {
      const auto It = Table->find({A, B});
      if (It != Table->end()) C = It->second;
      if (C < 0) C = 0;
    }
    return C;
  }

  void Run(const TZoneMap& Map, const TCostTable* Table, int A, int B) {
    const std::size_t N = static_cast<std::size_t>(Map.ZoneCount());
    Path.clear();
    if (A == B) {
      Path.push_back(A);
      return;
    }
    Cost.assign(N, std::numeric_limits<std::int32_t>::max());
    Prev.assign(N, -1);
    State.assign(N, 0);
    std::vector<int> Queue{A};
    std::size_t Head = 0;
    Cost[std::size_t(A)] = 0;
    State[std::size_t(A)] = 1;
    while (Head < Queue.size()) {
      const int Z = Queue[Head++];
      State[std::size_t(Z)] = 2;
      for (TZone* NZone : Map.GetZone(Z)->GetNeighbours()) {
        const int Nb = NZone->GetIndex();
        const std::int64_t C = std::int64_t(Cost[std::size_t(Z)]) + Step(Map, Table, Z, Nb);
        if (C < Cost[std::size_t(Nb)]) {
          Cost[std::size_t(Nb)] = std::int32_t(C);
          Prev[std::size_t(Nb)] = Z;
          if (State[std::size_t(Nb)] != 1) {
            Queue.push_back(Nb);
            State[std::size_t(Nb)] = 1;
          }
        }
      }
    }
    for (int Z = B; Z != -1; Z = Prev[std::size_t(Z)]) Path.push_back(Z);
    if (Path.back() != A) Path.clear();
    std::reverse(Path.begin(), Path.end());
  }

  std::int32_t PathCost(const TZoneMap& Map, const TCostTable* Table) const {
    if (Path.empty()) return TZoneMap::UnreachablePathCost;
    std::int64_t Sum = 0;
    for (std::size_t I = 1; I < Path.size(); ++I) {
      Sum += Step(Map, Table, Path[I - 1], Path[I]);
      if (Sum >= TZoneMap::UnreachablePathCost) return TZoneMap::UnreachablePathCost;
    }
    return std::int32_t(Sum);
  }
};

std::string SquareZone(int I, bool Sea) {
  const int L = (I % 40) * 10, T = (I / 40) * 10;
  return std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 10) + "," + std::to_string(T) + "," +
         std::to_string(L + 10) + "," + std::to_string(T + 10) + ";Z" + std::to_string(I) + ";" + (Sea ? "1" : "0") + ";";
}

// A random map: zones of land and sea, links (both ways) and one-way neighbours, some twice.
void MakeRandomMap(TZoneMap& Map, std::mt19937_64& Random, int Zones) {
  Map.Clear();
  for (int I = 0; I < Zones; ++I) Map.AddZone(Map.CreateZone(SquareZone(I, Random() % 3 == 0)));
  const int Links = Zones * static_cast<int>(1 + Random() % 3);
  for (int L = 0; L < Links; ++L) {
    TZone* A = Map.GetZone(static_cast<int>(Random() % std::uint64_t(Zones)));
    TZone* B = Map.GetZone(static_cast<int>(Random() % std::uint64_t(Zones)));
    switch (Random() % 4) {
      case 0: TZoneMap::AddNeighbour(A, B); break;
      case 1: TZoneMap::MakeMutual(A, B); break;
      default: Map.AddLink(A, B); break;
    }
  }
}

// Step costs for some of the map's steps: mostly the game's own values, now and then a
// negative, a zero or a huge one.
TCostTable RandomCosts(const TZoneMap& Map, std::mt19937_64& Random) {
  static const std::int32_t Values[] = {1, 1, 1, 10, 10, 1000, 1000, 0, -5, 3, 7, 2000000000, std::numeric_limits<std::int32_t>::max()};
  TCostTable Table;
  for (int Z = 0; Z < Map.ZoneCount(); ++Z)
    for (TZone* N : Map.GetZone(Z)->GetNeighbours())
      if (Random() % 2 == 0) Table[{Z, N->GetIndex()}] = Values[Random() % std::size(Values)];
  return Table;
}

// Searches of the map against the reference from random zones, with the built-in step costs
// or (Hooked) with a random table asked through OnPathCost.
void CompareSearches(TZoneMap& Map, std::mt19937_64& Random, bool Hooked, int Searches) {
  TReference Ref;
  std::set<std::pair<int, int>> Asked;
  const TCostTable Table = Hooked ? RandomCosts(Map, Random) : TCostTable{};
  if (Hooked)
    Map.OnPathCost = [&](TZoneMap*, TZone* Z1, TZone* Z2, std::int32_t& Cost) {
      Asked.insert({Z1->GetIndex(), Z2->GetIndex()});
      const auto It = Table.find({Z1->GetIndex(), Z2->GetIndex()});
      if (It != Table.end()) Cost = It->second;
    };
  else
    Map.OnPathCost = nullptr;
  const int Zones = Map.ZoneCount();
  for (int Search = 0; Search < Searches; ++Search) {
    const int A = static_cast<int>(Random() % std::uint64_t(Zones));
    const int B = Search == 0 ? A : static_cast<int>(Random() % std::uint64_t(Zones));
    SCOPED_TRACE(testing::Message() << A << " to " << B);
    Ref.Run(Map, Hooked ? &Table : nullptr, A, B);
    const std::int32_t RefCost = Ref.PathCost(Map, Hooked ? &Table : nullptr);
    Asked.clear();
    Map.FindPath(Map.GetZone(A), Map.GetZone(B));
    std::vector<int> Path;
    for (TZone* Z : Map.GetPath()) Path.push_back(Z->GetIndex());
    ASSERT_EQ(Path, Ref.Path);
    for (std::size_t I = 1; Hooked && I < Path.size(); ++I) ASSERT_TRUE(Asked.count({Path[I - 1], Path[I]}));
    ASSERT_EQ(Map.PathCost(), RefCost);
    if (A != B)
      for (int Z = 0; Z < Zones; ++Z) {
        const TZone* Zone = Map.GetZone(Z);
        ASSERT_EQ(Zone->GetPathCost(), Ref.Cost[std::size_t(Z)]) << "zone " << Z;
        ASSERT_EQ(Zone->GetPathState(), Ref.State[std::size_t(Z)]) << "zone " << Z;
        ASSERT_EQ(Zone->GetPathPrev() ? Zone->GetPathPrev()->GetIndex() : -1, Ref.Prev[std::size_t(Z)]) << "zone " << Z;
      }
    // The cost-only search answers the same cost and leaves the path list alone; below a
    // limit it answers the cost or, for a path that costs the limit or more, no path.
    const std::vector<TZone*> Kept = Map.GetPath();
    ASSERT_EQ(Map.FindPathCost(Map.GetZone(A), Map.GetZone(B)), RefCost);
    ASSERT_EQ(Map.FindPathCost(Map.GetZone(A), Map.GetZone(B), 1000), RefCost < 1000 ? RefCost : TZoneMap::UnreachablePathCost);
    ASSERT_EQ(Map.GetPath(), Kept);

    // The search kept as a tree: the reference's costs and ways for every zone, and for any
    // target the path list of a search of its own.
    TPathTree Tree;
    Map.FindPathTree(Map.GetZone(A), Tree);
    ASSERT_EQ(Tree.Start, A);
    if (A != B) {
      ASSERT_EQ(Tree.Cost, Ref.Cost);
      ASSERT_EQ(Tree.Prev, Ref.Prev);
    }
    // The same search reading every step's cost from a table asked beforehand.
    TStepCostTable Steps;
    Map.FillStepCostTable(Steps);
    ASSERT_EQ(Steps.Start.size(), std::size_t(Zones) + 1);
    TPathTree FromTable;
    Map.FindPathTree(Map.GetZone(A), FromTable, &Steps);
    ASSERT_EQ(FromTable.Prev, Tree.Prev);
    ASSERT_EQ(FromTable.Cost, Tree.Cost);
    for (int Target : {B, A, static_cast<int>(Random() % std::uint64_t(Zones)), static_cast<int>(Random() % std::uint64_t(Zones))}) {
      Map.FindPath(Map.GetZone(A), Map.GetZone(Target));
      const std::vector<TZone*> Searched = Map.GetPath();
      Map.SetPathFromTree(Tree, Map.GetZone(Target));
      ASSERT_EQ(Map.GetPath(), Searched) << "to " << Target;
      // The search that ends once the target holds its cheapest cost leaves the same way.
      Map.FindPath(Map.GetZone(A), Map.GetZone(Target), Steps);
      ASSERT_EQ(Map.GetPath(), Searched) << "to " << Target << " by the table";
    }
  }
  Map.OnPathCost = nullptr;
}

}  // namespace

TEST(ZoneMapPathTest, TheSearchGivesThePathsCostsAndStateOfTheFirstInFirstOutSearchOnRandomMaps) {
  std::mt19937_64 Random(4242);
  TZoneMap Map;
  for (int Round = 0; Round < 400; ++Round) {
    SCOPED_TRACE(testing::Message() << "round " << Round);
    MakeRandomMap(Map, Random, 2 + static_cast<int>(Random() % 120));
    CompareSearches(Map, Random, Round % 4 != 0, 12);
  }
}

TEST(ZoneMapPathTest, TheSearchGivesThePathsOfTheFirstInFirstOutSearchOnTheStandardMap) {
  TZoneMap Map;
  {
    // The map set names its pictures from the program folder.
    const TCurrentFolder In(std::string(BRENMOOR_BINARY_DIR) + "/bin");
    LoadZoneMapFromFile(Map, "Standard.brmmap");
  }
  ASSERT_GT(Map.ZoneCount(), 100);
  std::mt19937_64 Random(1939);
  CompareSearches(Map, Random, false, 60);
  for (int Table = 0; Table < 4; ++Table) CompareSearches(Map, Random, true, 30);
}


TEST(ZoneMapPathTest, EveryChangeOfTheZonesTheirLinksOrTheirSeaValuesCountsAsALinkChange) {
  TZoneMap Map;
  TZone* A = Map.AddZone(Map.CreateZone(SquareZone(0, false)));
  TZone* B = Map.AddZone(Map.CreateZone(SquareZone(1, true)));
  const std::pair<const char*, std::function<void()>> Changes[] = {
      {"a zone added", [&] { Map.AddZone(Map.CreateZone(SquareZone(2, false))); }},
      {"a link", [&] { Map.AddLink(A, B); }},
      {"a one-way neighbour", [&] { TZoneMap::AddNeighbour(B, A); }},
      {"a mutual link", [&] { TZoneMap::MakeMutual(A, Map.GetZone(2)); }},
      {"land turned to sea", [&] { A->SetSea(1); }},
      {"the map cleared", [&] { Map.Clear(); }},
  };
  for (const auto& [Name, Change] : Changes) {
    const std::uint64_t Before = Map.GetLinkVersion();
    TStepCostTable Steps;
    Map.FillStepCostTable(Steps);
    Change();
    EXPECT_NE(Map.GetLinkVersion(), Before) << Name;
    // A table of the links before is refused.
    TPathTree Tree;
    if (Map.ZoneCount() > 0) {
      EXPECT_THROW(Map.FindPathTree(Map.GetZone(0), Tree, &Steps), EZoneMap) << Name;
    }
  }
  // A zone's own sea value set again changes nothing.
  TZone* C = Map.AddZone(Map.CreateZone(SquareZone(0, true)));
  const std::uint64_t Before = Map.GetLinkVersion();
  C->SetSea(1);
  EXPECT_EQ(Map.GetLinkVersion(), Before);
  // A tree from a zone outside the map, or read for another map's zone, is refused.
  TPathTree Tree;
  TZoneMap Other;
  TZone* Stranger = Other.AddZone(Other.CreateZone(SquareZone(0, false)));
  Other.AddZone(Other.CreateZone(SquareZone(1, false)));
  EXPECT_THROW(Map.FindPathTree(Stranger, Tree), EZoneMap);
  Other.FindPathTree(Stranger, Tree);
  EXPECT_THROW(Map.SetPathFromTree(Tree, Stranger), EZoneMap);
  // A map whose zone names a neighbour of another map has no table.
  TZoneMap::AddNeighbour(C, Stranger);
  TStepCostTable Steps;
  Map.FillStepCostTable(Steps);
  EXPECT_TRUE(Steps.Start.empty());
}
