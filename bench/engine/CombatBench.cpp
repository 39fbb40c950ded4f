// One combat in a land zone with 10, 100 and 1000 units a side, the drift of relations before
// it, and the pick of a shot's target among that many opponents: the running sums against the
// walk over every opponent.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "engine/TargetPicker.h"
#include "sprites/MapSet.h"

namespace {

struct TBattle {
  explicit TBattle(int PerSide) {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse("Zone=0,0,100,0,100,100,0,100;Field;0;1#\n"
                                    "Zone=100,0,200,0,200,100,100,100;Ridge;0;0#\n",
                                    "battle.map"));
    Engine.SetZoneMap(&Map);
    Engine.ReadScenario("NationCount=2\nAlliance=A\nAlliance=B\nNation=North,A,1,Northern,0,,,0,0,100,5,\n"
                        "Nation=South,B,1,Southern,0,,,0,0,100,5,\nImpulseRate=3\n");
    Engine.LoadZoneData();
    Zone = Engine.GetZone(0);
    Zone->SetOwner(Engine.GetNation(0));
    for (int N = 0; N < 2; ++N)
      for (int T = 0; T < UnitTypeCount; ++T) Engine.GetNation(N)->SetUnitCost(T, UnitTypes[static_cast<std::size_t>(T)].Resources);
    for (int I = 0; I < 2 * PerSide; ++I) {
      TNation* Owner = Engine.GetNation(I % 2);
      TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, ukArmy), Zone);
      Unit->SetCount(utInfantry, 5);
      Unit->SetCount(utArmor, 2);
      Unit->SetCount(utArtillery, 1);
      Unit->SetAttacking(I % 2 == 1);
    }
  }
  ~TBattle() { Engine.SetZoneMap(nullptr); }
  // The units as they stood before the combat.
  void Restore() {
    for (TUnit* Unit : Engine.GetUnits()) {
      Unit->ResetImpulseState();
      Unit->SetOrganizationDirect(100);
      Unit->SetExperience(1);
    }
  }
  TBrenmoorEngine Engine;
  TZoneMap Map;
  TBrenmoorZone* Zone = nullptr;
};

void BM_CombatInAZone(benchmark::State& State) {
  TBattle Battle(static_cast<int>(State.range(0)));
  Battle.Engine.SetRandomSeed(1940);
  for (auto _ : State) {
    Battle.Restore();
    Battle.Zone->ResolveCombat();
  }
  State.SetComplexityN(State.range(0));
  State.counters["units a side"] = static_cast<double>(State.range(0));
}
BENCHMARK(BM_CombatInAZone)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

// The drift of hostile relations that comes before the combat: every ordered pair of the
// zone's units (the two sides are at war, so no relation moves and nothing is drawn).
void BM_HostileDriftInAZone(benchmark::State& State) {
  TBattle Battle(static_cast<int>(State.range(0)));
  for (auto _ : State) Battle.Zone->DriftHostileRelations();
  State.SetComplexityN(State.range(0));
  State.counters["units a side"] = static_cast<double>(State.range(0));
}
BENCHMARK(BM_HostileDriftInAZone)->Arg(10)->Arg(100)->Arg(1000)->Unit(benchmark::kMillisecond)->Complexity();

// One pick and one hit, as a shot does, among Range(0) opponents.
template <bool Tree>
void BM_PickTarget(benchmark::State& State) {
  TBattle Battle(static_cast<int>(State.range(0)));
  std::vector<TUnit*> Opponents;
  for (TUnit* Unit : Battle.Engine.GetUnits())
    if (Unit->GetOwner() == Battle.Engine.GetNation(1)) Opponents.push_back(Unit);
  TTargetPicker Picker;
  Picker.Reset(Opponents);
  TRandomGenerator Random(5);
  const std::int64_t Total = Picker.Total();
  for (auto _ : State) {
    const std::int64_t R = Random.Random(static_cast<std::int32_t>(Total));
    benchmark::DoNotOptimize(Tree ? Picker.Pick(R) : PickTargetByWalk(Opponents, R));
  }
  State.SetComplexityN(State.range(0));
}
BENCHMARK(BM_PickTarget<false>)->Name("BM_PickTargetByWalk")->Arg(10)->Arg(100)->Arg(1000)->Complexity();
BENCHMARK(BM_PickTarget<true>)->Name("BM_PickTargetByRunningSums")->Arg(10)->Arg(100)->Arg(1000)->Complexity();

}  // namespace
