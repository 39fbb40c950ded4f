#pragma once
// The units' steps of an impulse: which units act (by speed and a random key), and one step
// of each acting unit's standing order.
#include <array>
#include <cstdint>
#include <vector>

#include "engine/BrenmoorEngine.h"

class TExecutionRules {
public:
  explicit TExecutionRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TExecutionRules(const TExecutionRules&) = delete;
  TExecutionRules& operator=(const TExecutionRules&) = delete;

  // Ten rows of ten "0"/"1", one per unit speed 0..9: the impulses of ten in which a unit acts.
  static const std::array<const char*, 10> ImpulseActions;
  // Whether a unit of Speed acts in the impulse: the character of the speed's row at the
  // 1-based position Impulse mod 10 (position 0 reads the first). Speeds above 9 act as 9.
  static bool IsActionImpulse(std::int32_t Impulse, int Speed);
  // Draws every unit's random key (list order) and returns the identifiers of the units that
  // act in the impulse, ordered by key, equal keys by identifier.
  std::vector<std::int32_t> SelectActingUnits(std::int32_t Impulse);
  // One step of the unit's standing order.
  void ExecuteUnit(TUnit* Unit);
  // Selection, then each acting unit's step (pending messages before each); a unit freed by
  // an earlier step is skipped.
  void ExecuteUnits(std::int32_t Impulse);

private:
  TBrenmoorEngine& FEngine;
};
