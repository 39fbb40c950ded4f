// The saved game of a large map: 300 zones and 3000 units written as one line, and a game
// loaded from it (the scenario read again, the whole load tried first, then made).
#include <benchmark/benchmark.h>

#include <fstream>
#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "GridWorld.h"
#include "sprites/MapSet.h"
#include "support/ScratchFolder.h"

namespace {

using namespace grid_world;

std::string GridScenarioText() {
  std::string Text = "NationCount=8\nAlliance=A\nAlliance=B\nDate=9/1/1939\nImpulseRate=3\n";
  for (int N = 0; N < 7; ++N) Text += "Nation=Major" + std::to_string(N) + "," + (N % 2 ? "A" : "B") + ",1,M,0,,,0,0,100,0,,0,0,\n";
  Text += "Nation=Minor,,0,m,0,,,0,0,100,0,,0,0,\n";
  for (int Z = 0; Z < GridWidth * GridHeight; ++Z)
    Text += "Zone=Z" + std::to_string(Z) + ";5;1;0;0;x;" + std::to_string(Z % 8) + ";;;0;5;0;;0;0;0;0;\n";
  return Text;
}

// The grid's game at impulse 40 with ten units in every zone, its scenario in the current
// folder.
struct TSavedWorld {
  TSavedWorld() {
    std::ofstream("grid.brmscen", std::ios::binary) << GridScenarioText();
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(GridMapText(), "grid.map"));
    Engine.SetZoneMap(&Map);
    Engine.SetScenarioFile("grid.brmscen");
    Engine.LoadZoneData();
    for (int Z = 0; Z < Engine.GetZoneCount(); ++Z)
      for (int I = 0; I < 10; ++I) {
        TNation* Owner = Engine.GetNation(I % 7);
        TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, ukArmy), Engine.GetZone(Z));
        Unit->SetCount(utInfantry, static_cast<std::uint16_t>(I + 1));
        Unit->SetCount(utArmor, 2);
        Unit->SetOrganization(90.5f);
      }
    Engine.SetImpulse(40);
  }
  ~TSavedWorld() {
    Engine.SetZoneMap(nullptr);
  }
  TScratchFolder Folder{"brenmoor-bench-saved", scCurrent};
  TZoneMap Map;
  TBrenmoorEngine Engine;
};

void BM_SaveGame(benchmark::State& State) {
  TSavedWorld World;
  std::size_t Size = 0;
  for (auto _ : State) {
    const std::string Text = World.Engine.SaveToString();
    Size = Text.size();
    benchmark::DoNotOptimize(Size);
  }
  State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(Size));
  State.counters["units"] = World.Engine.GetUnitCount();
}
BENCHMARK(BM_SaveGame)->Unit(benchmark::kMillisecond);

void BM_LoadGame(benchmark::State& State) {
  TSavedWorld World;
  const std::string Text = World.Engine.SaveToString();
  for (auto _ : State) {
    World.Engine.LoadFromString(Text);
    benchmark::DoNotOptimize(World.Engine.GetUnitCount());
  }
  State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(Text.size()));
  State.counters["units"] = World.Engine.GetUnitCount();
}
BENCHMARK(BM_LoadGame)->Unit(benchmark::kMillisecond);

}  // namespace
