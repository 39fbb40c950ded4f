#pragma once
// Reinforcements and placement: where the units of a reinforcement arrive, new units placed
// in a zone, and the distance of two zones.
#include <cstdint>
#include <vector>

#include "engine/BrenmoorEngine.h"

class TReinforcementRules {
public:
  explicit TReinforcementRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TReinforcementRules(const TReinforcementRules&) = delete;
  TReinforcementRules& operator=(const TReinforcementRules&) = delete;

  // Places the reinforcement's units and tallies them, then OnReinforcement (zone) when its
  // nation is played by a human here. A reinforcement of a dead nation brings nothing; one
  // into a land zone that another nation now holds arrives in the nearest land zone of its
  // nation (fewest steps, then the lowest index), or nowhere when it holds none. Returns the
  // zone it arrived in (nullptr for none).
  TBrenmoorZone* ArriveReinforcement(TReinforcement* Reinforcement);
  // Up to three new units of Nation in Zone, one per kind with a count above 0, navy first;
  // an army or air force placed at sea boards or bases on the nation's first fleet there.
  // The tallies are left alone. Returns the units made.
  std::vector<TUnit*> PlaceUnits(TNation* Nation, TBrenmoorZone* Zone, const TUnitCounts& Counts);
  // The Manhattan distance of the zones' centre points, across the map's edges where it wraps.
  std::int32_t ZoneDistance(const TBrenmoorZone* A, const TBrenmoorZone* B) const;

private:
  TBrenmoorEngine& FEngine;
};
