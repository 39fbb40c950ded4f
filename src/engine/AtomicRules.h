#pragma once
// The atomic bomb: what it destroys by chance on the host, and the state change every machine
// makes from change 44.
#include <cstdint>

#include "engine/BrenmoorEngine.h"

class TAtomicRules {
public:
  explicit TAtomicRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TAtomicRules(const TAtomicRules&) = delete;
  TAtomicRules& operator=(const TAtomicRules&) = delete;

  // The atomic bombs of Unit (of Nation) fall on Zone: industry, resources and factories are
  // lost by chance, units at war with Nation are damaged; change 44 and the relation to the
  // zone's owner falls.
  void AtomicBomb(TNation* Nation, TBrenmoorZone* Zone, TUnit* Unit);
  // The state change of an atomic bomb as change 44 carries it.
  void ApplyAtomicBomb(TNation* Nation, TBrenmoorZone* Zone, TUnit* Unit, std::int32_t Industry, float Resources,
                       std::int32_t Factories);

private:
  TBrenmoorEngine& FEngine;
};
