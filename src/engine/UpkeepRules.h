#pragma once
// The work every machine does around an impulse, identically and without random numbers or
// change records: the impulse preparation, visibility, the after-impulse upkeep with its
// dominations and winner.
#include <cstdint>
#include <string>

#include "engine/BrenmoorEngine.h"

class TUpkeepRules {
public:
  explicit TUpkeepRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TUpkeepRules(const TUpkeepRules&) = delete;
  TUpkeepRules& operator=(const TUpkeepRules&) = delete;

  // Before every impulse: bomb and strike counts, world industry, the units' impulse flags.
  void BeginImpulse();
  // Which major powers see each zone; Impulse is the number of the impulse just run.
  void UpdateVisibility(std::int32_t Impulse);
  // The rest of the upkeep (local only): storm cover, homeless air units, diplomatic actions,
  // countdowns, influence, active events, alliances, players, dominations and the winner.
  void EndImpulseUpkeep(std::int32_t Impulse);
  // Flies an air unit without a home to the first allied land zone within its range, or
  // takes it out of the game. Draws nothing and writes nothing.
  void RebaseHomelessAirUnit(TUnit* Unit);
  // The sum of the world domination of the major powers of the alliance (the research and
  // diplomacy windows show it), counted now.
  std::int32_t GetAllianceDomination(const std::string& AllianceName) const;

private:
  // The stages of EndImpulseUpkeep after the active events.
  void JoinAlliances();
  void RemoveIdlePlayers();
  void FindWinner(std::int32_t Impulse);

  TBrenmoorEngine& FEngine;
};
