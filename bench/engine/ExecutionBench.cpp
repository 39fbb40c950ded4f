// One impulse of unit execution and the end-of-impulse stages on a map of 300 zones with 3000
// units, each army patrolling between its zone and the next one of its owner.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "GridWorld.h"
#include "engine/BrenmoorEngine.h"
#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"

namespace {

using namespace grid_world;

struct TWorld : TThreeNationEngine {
  TWorld() {
    Engine.SetEngineOptions(6);
    // Each nation holds whole columns, so a patrol to the right-hand neighbour stays at home.
    for (int Z = 0; Z < Engine.GetZoneCount(); ++Z) {
      TBrenmoorZone* Zone = Engine.GetZone(Z);
      if (Zone->GetSea() == 0) Zone->SetOwner(Engine.GetNation((Z / GridWidth) * 3 / GridHeight));
    }
    for (int Z = 0; Z < Engine.GetZoneCount(); ++Z) {
      TBrenmoorZone* Zone = Engine.GetZone(Z);
      if (Zone->GetSea() != 0 || Z % GridWidth == GridWidth - 1) continue;
      TNation* Owner = Zone->GetOwner();
      for (int I = 0; I < 10; ++I) {
        TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, ukArmy), Zone);
        Unit->SetCount(utInfantry, static_cast<std::uint16_t>(I + 1));
        Zone->ChangeTally(Owner->GetMajorIndex(), utInfantry, I + 1);
        Unit->SetPatrolZones({Zone, Engine.GetZone(Z + 1)});
        Unit->SetOrder(ordPatrol);
        Unit->SetPatrolStep(1);
      }
    }
  }
};

void BM_ExecuteUnits(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) World.Engine.Execution().ExecuteUnits(++Impulse);
  State.SetItemsProcessed(State.iterations() * World.Engine.GetUnitCount());
}
BENCHMARK(BM_ExecuteUnits)->Unit(benchmark::kMillisecond);

void BM_EndOfImpulseStages(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) World.Engine.EndOfImpulse().EndOfImpulseStages(++Impulse, 1000, 750);
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_EndOfImpulseStages)->Unit(benchmark::kMillisecond);

}  // namespace
