#include "engine/KeptPaths.h"

#include <functional>

#include "engine/EngineTypes.h"

std::size_t TKeptPaths::THash::operator()(const TKey& K) const {
  std::size_t H = std::hash<const TNation*>()(K.Nation);
  H ^= (std::size_t(std::uint32_t(K.Start)) << 8) ^ (std::size_t(std::uint32_t(K.Mode)) << 1) ^ std::size_t(K.All) ^
       (std::size_t(K.ByZoneOwner) << 2);
  return H * 0x9E3779B97F4A7C15ull;
}

void TKeptPaths::Refresh(const TZoneMap& Map) {
  if (FMap != &Map || FLinks != Map.GetLinkVersion() || FVersion != TStepCostVersion::Value) {
    Clear();
    FMap = &Map;
    FLinks = Map.GetLinkVersion();
    FVersion = TStepCostVersion::Value;
  }
}

void TKeptPaths::Clear() {
  FTrees.clear();
  FStepCostTables.clear();
  FAsked.clear();
}

const TPathTree* TKeptPaths::Find(const TKey& Key) const {
  const auto It = FTrees.find(Key);
  return It == FTrees.end() ? nullptr : &It->second;
}

const TStepCostTable* TKeptPaths::StepCostTable(TZoneMap& Map, const TKey& Key) {
  TKey TableKey = Key;
  TableKey.Start = -1;
  auto Table = FStepCostTables.find(TableKey);
  if (Table == FStepCostTables.end()) {
    Table = FStepCostTables.emplace(TableKey, TStepCostTable{}).first;
    Map.FillStepCostTable(Table->second);
  }
  return Table->second.Start.empty() ? nullptr : &Table->second;
}

TPathTree& TKeptPaths::Keep(TZoneMap& Map, TZone* A, const TKey& Key, const TStepCostTable* Table) {
  // A few thousand searches of the largest maps: beyond that they are searched afresh.
  constexpr std::size_t MaxKeptZones = std::size_t(1) << 22;
  if ((FTrees.size() + 1) * static_cast<std::size_t>(Map.ZoneCount()) > MaxKeptZones) FTrees.clear();
  TPathTree& Tree = FTrees[Key];
  Map.FindPathTree(A, Tree, Table);
  return Tree;
}
