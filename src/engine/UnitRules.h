#pragma once
// The unit rules that the impulse stages and the replay of change records share: dividing and
// merging units, formation values and the path step cost.
#include <cstdint>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"

class TUnitRules {
public:
  explicit TUnitRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TUnitRules(const TUnitRules&) = delete;
  TUnitRules& operator=(const TUnitRules&) = delete;

  // Takes the unit's counts out of its zone's tallies: a unit leaving the game with them.
  static void UntallyUnit(const TUnit* Unit);
  // Splits off a new unit of Unit's owner and kind with the counts of the "#"-text; with a
  // carrier, an air force or fleet joins its base list and an army is ordered to embark.
  TUnit* DivideUnit(TUnit* Unit, const std::string& Counts, TUnit* Carrier);
  // Merges the units named in the first ";"-field ("#"-separated identifiers; unknown and
  // repeated ones are skipped) into one: false, changing nothing, when two differ in kind or
  // owner. The unit kept is the first by (creator dead, identifier). Zone is not used.
  bool MergeUnits(TBrenmoorZone* Zone, const std::string& IDs);
  // True when the units may merge: some, in a zone without battle, one kind and one owner,
  // none an army or air force at sea, an air force under orders or a submerged fleet, and
  // together no more of a type than a unit holds (65,535).
  bool CanMergeUnits(const std::vector<TUnit*>& Units) const;
  // Whether the distinct units among Units hold together at most 65,535 of every type.
  static bool MergedCountsFit(const std::vector<TUnit*>& Units);
  // The 16 formation values from "#"-fields ("-" keeps one); the Atomic Bomber takes the
  // Bomber's. A field that is neither raises EConvertError.
  void SetFormations(TNation* Nation, const std::string& Text);
  // The rules' step cost of the path search from Zone1 into Zone2 (the map's OnPathCost).
  void PathCostHandler(TZone* Zone1, TZone* Zone2, std::int32_t& Cost);

private:
  TBrenmoorEngine& FEngine;
  // The units being merged; nothing lives in it between calls.
  std::vector<TUnit*> FScratchUnits;
};
