// The conquest of a nation on a map of 300 zones with 3000 units: the exile host is chosen
// and every unit of the fallen nation is tested against its distance from the capital (one
// path search each); and a round of diplomatic actions between the powers.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "GridWorld.h"
#include "engine/BrenmoorEngine.h"
#include "engine/DiplomacyRules.h"

namespace {

using namespace grid_world;
using TWorld = TThreeNationWorld;

void BM_ConquerNation(benchmark::State& State) {
  std::int64_t Units = 0;
  for (auto _ : State) {
    State.PauseTiming();
    auto World = std::make_unique<TWorld>();
    TBrenmoorEngine& E = World->Engine;
    TNation* North = E.GetNation(0);
    TNation* South = E.GetNation(1);
    North->SetCapital(E.GetZone(1));
    E.GetZone(1)->SetOwner(South);
    for (TUnit* Unit : E.GetUnits()) Units += Unit->GetOwner() == North;
    State.ResumeTiming();
    E.Diplomacy().ConquerNation(South, North, false);
    State.PauseTiming();
    World.reset();
    State.ResumeTiming();
  }
  State.SetItemsProcessed(Units);
}
BENCHMARK(BM_ConquerNation)->Unit(benchmark::kMillisecond);

void BM_DiplomaticActions(benchmark::State& State) {
  TWorld World;
  TBrenmoorEngine& E = World.Engine;
  E.GetNation(2)->SetCapital(E.GetZone(250));
  int Action = 0;
  for (auto _ : State) {
    // Between the two powers that share no alliance and stay far from 100.
    E.GetNation(2)->SetRelationDirect(E.GetNation(0), 0);
    E.GetNation(0)->SetRelationDirect(E.GetNation(2), 0);
    E.Diplomacy().DiplomaticAction(E.GetNation(0), E.GetNation(2), Action++ % 8);
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_DiplomaticActions)->Unit(benchmark::kMicrosecond);

}  // namespace
