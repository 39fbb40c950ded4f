#pragma once
// Supply sources, resource income, reorganisation and routings.
#include <cstdint>
#include <vector>

#include "engine/BrenmoorEngine.h"

class TSupplyRules {
public:
  explicit TSupplyRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TSupplyRules(const TSupplyRules&) = delete;
  TSupplyRules& operator=(const TSupplyRules&) = delete;

  // After every impulse on every machine, without draws or change records: income, research
  // points, supply hand-over, reorganisation, the routings' step.
  void SupplyUpkeep();
  // Points the owner's connected zones around Zone (Depth steps) at it.
  void ComputeSupply(TBrenmoorZone* Zone, std::int32_t Depth);
  // A routing of Amount from From to To, taken from From now (no lower bound); refused
  // (nullptr, nothing taken) without both zones or from a zone to itself.
  TRouting* CreateRouting(TBrenmoorZone* From, TBrenmoorZone* To, std::int32_t Amount);
  // Every zone of the nation becomes its own supply source.
  void ResetSupplySources(const TNation* Nation);

private:
  // The two walks of ComputeSupply: every owned zone within Depth becomes its own source,
  // then each points at the zone it was reached from.
  void SupplyWalkA(TBrenmoorZone* Zone, std::int32_t Depth);
  void SupplyWalkB(TBrenmoorZone* Zone, TBrenmoorZone* Root, std::int32_t Depth);

  TBrenmoorEngine& FEngine;
  // The zones a supply walk has visited; nothing lives in it between calls.
  std::vector<TBrenmoorZone*> FScratchZones;
};
