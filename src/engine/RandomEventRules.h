#pragma once
// The immediate effects of a random event that has just fired, and the event's area.
#include "engine/BrenmoorEngine.h"

class TRandomEventRules {
public:
  explicit TRandomEventRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TRandomEventRules(const TRandomEventRules&) = delete;
  TRandomEventRules& operator=(const TRandomEventRules&) = delete;

  // The immediate effect of an event that has just fired: units destroyed (damage for the
  // losses stage), organisation, or resources (change 39); the other effects act later.
  void ApplyRandomEventEffect(const TActiveEvent& Event);
  // Whether the event's area holds the unit, or the zone (an owned zone only).
  bool EventHitsUnit(const TActiveEvent& Event, const TUnit* Unit) const;
  bool EventHitsZone(const TActiveEvent& Event, const TBrenmoorZone* Zone) const;

private:
  TBrenmoorEngine& FEngine;
};
