// The upkeep every machine runs after each impulse, on a map of 300 zones with 3000 units:
// supply and reorganisation, visibility, and the end-of-impulse upkeep.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "GridWorld.h"
#include "engine/BrenmoorEngine.h"

namespace {

using namespace grid_world;
using TWorld = TThreeNationWorld;

void BM_AfterImpulseUpkeep(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) {
    World.Engine.BeginImpulse();
    World.Engine.SupplyUpkeep();
    World.Engine.UpdateVisibility(Impulse);
    World.Engine.EndImpulseUpkeep(Impulse);
    ++Impulse;
  }
  State.SetItemsProcessed(State.iterations() * World.Engine.GetZoneCount());
}
BENCHMARK(BM_AfterImpulseUpkeep)->Unit(benchmark::kMicrosecond);

void BM_UpdateVisibility(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) World.Engine.UpdateVisibility(Impulse++);
  State.SetItemsProcessed(State.iterations() * World.Engine.GetZoneCount());
}
BENCHMARK(BM_UpdateVisibility)->Unit(benchmark::kMicrosecond);

}  // namespace
