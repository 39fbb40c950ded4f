// The upkeep every machine runs after each impulse, on a map of 300 zones with 3000 units:
// supply and reorganisation, visibility, and the end-of-impulse upkeep.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "GridWorld.h"
#include "engine/BrenmoorEngine.h"
#include "engine/ImpulseSteps.h"
#include "engine/UpkeepRules.h"

namespace {

using namespace grid_world;
using TWorld = TThreeNationWorld;

void BM_AfterImpulseUpkeep(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  // The steps of an impulse without its rules: the reset before, the upkeep after.
  for (auto _ : State) {
    BeforeImpulse(World.Engine, Impulse++, false);
    AfterImpulse(World.Engine);
  }
  State.SetItemsProcessed(State.iterations() * World.Engine.GetZoneCount());
}
BENCHMARK(BM_AfterImpulseUpkeep)->Unit(benchmark::kMicrosecond);

void BM_UpdateVisibility(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) World.Engine.Upkeep().UpdateVisibility(Impulse++);
  State.SetItemsProcessed(State.iterations() * World.Engine.GetZoneCount());
}
BENCHMARK(BM_UpdateVisibility)->Unit(benchmark::kMicrosecond);

}  // namespace
