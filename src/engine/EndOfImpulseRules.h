#pragma once
// The stages after the units' steps, in their fixed order: production, storms, supply routes,
// the nation of the impulse, conquest, research, random events and reinforcements.
#include <cstdint>

#include "engine/BrenmoorEngine.h"

class TEndOfImpulseRules {
public:
  explicit TEndOfImpulseRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TEndOfImpulseRules(const TEndOfImpulseRules&) = delete;
  TEndOfImpulseRules& operator=(const TEndOfImpulseRules&) = delete;

  // The zone's queued units become a new unit of its owner (a fleet in its port zone or first
  // sea neighbour). A build kind that is no unit kind builds nothing (false).
  bool BuildUnitInZone(TBrenmoorZone* Zone);
  // A coup in the nation: its relations are turned over (Strength 50..99), change 34, and a
  // coup event of the nation becomes the pending random event.
  void Coup(TNation* Nation, std::int32_t Strength);
  // Production: progress of every building zone, change 22, and a unit built (change 21)
  // once the progress passes the total.
  void ProductionStage();
  // Every storm from the last to the first ages and drifts (changes 25 and 26).
  void StormStage();
  // Perhaps a new storm on a map of the size (change 27); a map too narrow for the storm
  // starts it at the left edge.
  void NewStormStage(std::int32_t MapWidth, std::int32_t MapHeight);
  // Land zones send their resources towards a supply source across the sea (change 57); a
  // source no longer allied gives way to the zone itself (change 11).
  void SupplyRouteStage();
  // The nation of the impulse: a coup by chance, then its friends' relations pull on its own.
  void NationOfImpulseStage(std::int32_t Impulse);
  // Land zones held by enemy armies only change hands (change 43), rocket sites fire (46).
  void ConquestStage();
  // The pending random event, or one by chance a month after the last, fires (change 38).
  void RandomEventStage();
  // The reinforcements due in the impulse arrive (change 50).
  void ReinforcementStage(std::int32_t Impulse);
  // Every stage after the units' steps, in its fixed order; the map size places new storms.
  void EndOfImpulseStages(std::int32_t Impulse, std::int32_t MapWidth, std::int32_t MapHeight);

private:
  TBrenmoorEngine& FEngine;
};
