#pragma once
// The path searches the engine keeps, by start zone and step cost, for later paths from the
// same zone under the same step cost. They are good while the map, its link version and the
// step cost version are those they were made at; the engine asks Refresh before each use.
#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <unordered_set>

#include "sprites/ZoneMap.h"

class TNation;

class TKeptPaths {
public:
  // One step cost from one start zone (Start -1 for the step cost alone).
  struct TKey {
    std::int32_t Start;
    std::int32_t Mode;
    bool All;
    // The step cost asks the owner of the zone being left when there is no path unit.
    bool ByZoneOwner;
    const TNation* Nation;
    friend bool operator==(const TKey&, const TKey&) = default;
  };

  // Forgets every kept search when Map, its links or the step cost changed since they were made.
  void Refresh(const TZoneMap& Map);
  // Forgets every kept search.
  void Clear();
  // The kept search of Key, or nullptr.
  const TPathTree* Find(const TKey& Key) const;
  // The table of Key's step cost (made now from Map when there is none); nullptr when the map
  // has none.
  const TStepCostTable* StepCostTable(TZoneMap& Map, const TKey& Key);
  // True the first time a path is asked under Key (for a second path to keep its search).
  bool FirstAsked(const TKey& Key) { return FAsked.insert(Key).second; }
  // Map's search from A under Key's step cost (Table's, when there is one), kept now.
  TPathTree& Keep(TZoneMap& Map, TZone* A, const TKey& Key, const TStepCostTable* Table);

private:
  struct THash {
    std::size_t operator()(const TKey& K) const;
  };
  std::unordered_map<TKey, TPathTree, THash> FTrees;
  // Every step's cost under one step cost (keyed with Start -1), for the searches that follow.
  std::unordered_map<TKey, TStepCostTable, THash> FStepCostTables;
  // The zones and step costs a path was searched from.
  std::unordered_set<TKey, THash> FAsked;
  const TZoneMap* FMap = nullptr;
  std::uint64_t FLinks = 0;
  std::uint64_t FVersion = 0;
};
