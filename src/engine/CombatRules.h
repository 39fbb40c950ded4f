#pragma once
// The engine's part of combat: the kamikaze attack and the units' end-of-impulse reports (a
// zone's own battle is the zone's ResolveCombat).
#include <vector>

#include "engine/BrenmoorEngine.h"

class TCombatRules {
public:
  explicit TCombatRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TCombatRules(const TCombatRules&) = delete;
  TCombatRules& operator=(const TCombatRules&) = delete;

  // The kamikaze attack of an air unit: one of its planes falls for every hit it marks on the
  // last enemy fleet of its zone, until it has none left or no fleet is left to hit. A unit
  // that is no air force is refused (false, nothing changes).
  bool Kamikaze(TUnit* Unit);
  // The end-of-impulse reports: every unit whose organisation or experience changed goes out
  // in change 1 and change 36, with two decimals; the host keeps exactly the value it sent.
  void ReportUnitChanges();

private:
  TBrenmoorEngine& FEngine;
  // The fleets a kamikaze attack may hit; nothing lives in it between calls.
  std::vector<TUnit*> FScratchUnits;
};
