#include "engine/ImpulseSteps.h"
#include "engine/SupplyRules.h"
#include "engine/UpkeepRules.h"

TDateTime BeforeImpulse(TBrenmoorEngine& Engine, std::int32_t Impulse, bool Host, const TImpulseHooks& Hooks) {
  Engine.SetImpulse(Impulse);
  const TDateTime Shown = Engine.GetDate();
  Engine.AdvanceDate();
  if (Host && Hooks.OnComputerTurn) Hooks.OnComputerTurn(&Engine, Impulse);
  Engine.Upkeep().BeginImpulse();
  return Shown;
}

void ReplayChanges(TBrenmoorEngine& Engine, const std::vector<std::string>& Records) {
  for (const std::string& Record : Records) Engine.ApplyStateChange(Record);
}

void AfterImpulse(TBrenmoorEngine& Engine, const TImpulseHooks& Hooks) {
  const std::int32_t Impulse = Engine.GetImpulse();
  Engine.Supply().SupplyUpkeep();
  Engine.Upkeep().UpdateVisibility(Impulse);
  if (Hooks.OnMapWork) Hooks.OnMapWork(&Engine, Impulse);
  Engine.Upkeep().EndImpulseUpkeep(Impulse);
  Engine.SetImpulse(Impulse + 1);
}

TDateTime RunHostImpulse(TBrenmoorEngine& Engine, std::int32_t Impulse, const TImpulseHooks& Hooks) {
  const TDateTime Shown = BeforeImpulse(Engine, Impulse, true, Hooks);
  if (Hooks.OnCollectOrders) Hooks.OnCollectOrders(&Engine, Impulse);
  Engine.ProcessImpulse();
  AfterImpulse(Engine, Hooks);
  return Shown;
}

TDateTime RunGuestImpulse(TBrenmoorEngine& Engine, std::int32_t Impulse, const std::vector<std::string>& Records,
                          const TImpulseHooks& Hooks) {
  const TDateTime Shown = BeforeImpulse(Engine, Impulse, false, Hooks);
  ReplayChanges(Engine, Records);
  AfterImpulse(Engine, Hooks);
  return Shown;
}
