// The game model's bulk work: writing and reading every unit's saved field, recounting the
// tallies of the whole map, and a unit's move with its cargo.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "GridWorld.h"
#include "sprites/MapSet.h"

namespace {

using namespace grid_world;

// 300 zones with ten units each, owned by two nations.
struct TWorld {
  TWorld() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(GridMapText(), "grid.map"));
    Engine.SetZoneMap(&Map);
    Engine.ReadScenario("NationCount=2\nNation=North,A,1,Northern,0,\nNation=South,B,1,Southern,0,\nImpulseRate=3\n");
    Engine.LoadZoneData();
    for (int Z = 0; Z < Engine.GetZoneCount(); ++Z)
      for (int I = 0; I < 10; ++I) {
        TNation* Owner = Engine.GetNation(I % 2);
        TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, ukArmy), Engine.GetZone(Z));
        Unit->SetCount(utInfantry, static_cast<std::uint16_t>(I + 1));
        Unit->SetCount(utArmor, 2);
        Engine.GetZone(Z)->ChangeTally(Owner->GetMajorIndex(), utInfantry, I + 1);
        Engine.GetZone(Z)->ChangeTally(Owner->GetMajorIndex(), utArmor, 2);
      }
  }
  ~TWorld() { Engine.SetZoneMap(nullptr); }
  TBrenmoorEngine Engine;
  TZoneMap Map;
};

void BM_SaveAllUnits(benchmark::State& State) {
  TWorld World;
  for (auto _ : State) {
    std::size_t Size = 0;
    for (TUnit* Unit : World.Engine.GetUnits()) Size += Unit->SaveToString().size();
    benchmark::DoNotOptimize(Size);
  }
  State.SetItemsProcessed(State.iterations() * World.Engine.GetUnitCount());
}
BENCHMARK(BM_SaveAllUnits);

void BM_LoadAllUnits(benchmark::State& State) {
  TWorld World;
  std::vector<std::string> Saved;
  for (TUnit* Unit : World.Engine.GetUnits()) Saved.push_back(Unit->SaveToString());
  for (auto _ : State) {
    for (const std::string& Text : Saved) {
      TUnit Unit(World.Engine);
      Unit.LoadFromString(Text);
      benchmark::DoNotOptimize(Unit.GetTotalCount());
    }
  }
  State.SetItemsProcessed(State.iterations() * static_cast<std::int64_t>(Saved.size()));
}
BENCHMARK(BM_LoadAllUnits);

void BM_CheckAllTallies(benchmark::State& State) {
  TWorld World;
  for (auto _ : State) benchmark::DoNotOptimize(World.Engine.CheckTallies());
  State.SetItemsProcessed(State.iterations() * World.Engine.GetZoneCount());
}
BENCHMARK(BM_CheckAllTallies);

void BM_MoveUnitAndBack(benchmark::State& State) {
  TWorld World;
  TBrenmoorZone* A = World.Engine.GetZone(1);
  TBrenmoorZone* B = World.Engine.GetZone(2);
  TUnit* Unit = A->GetUnit(0);
  for (auto _ : State) {
    Unit->MoveToZone(B, mmImpulse);
    Unit->MoveToZone(A, mmImpulse);
  }
  State.SetItemsProcessed(State.iterations() * 2);
}
BENCHMARK(BM_MoveUnitAndBack);

// A scenario for the grid: seven major powers, a minor, and a Zone line for every zone with
// tallies of two rows, read in both passes and placed.
std::string GridScenarioText() {
  std::string Text = "Description=Grid\nNationCount=8\nAlliance=A\nAlliance=B\nDate=9/1/1939\nImpulseRate=3\n";
  for (int N = 0; N < 7; ++N) Text += "Nation=Major" + std::to_string(N) + "," + (N % 2 ? "A" : "B") + ",1,M,0,,,0,0,100,0,,0,0,\n";
  Text += "Nation=Minor,,0,m,0,,,0,0,100,0,,0,0,\n";
  for (int R = 0; R < 20; ++R)
    Text += "RandomEvent=0~111~~0~1~5~10~~~~~~Event " + std::to_string(R) + "~0~\nReinforcement=0#0#0#5#,10," +
            std::to_string(R % 7) + ",Z" + std::to_string(R) + "\n";
  for (int Z = 0; Z < GridWidth * GridHeight; ++Z)
    Text += "Zone=Z" + std::to_string(Z) + ";5;1;0;0;x;" + std::to_string(Z % 8) + ";" + std::to_string(Z % 7) + "#3#4#" +
            (Z % 8 == 7 ? "7#4#1#" : "") + ";;0;5;0;;0;0;0;0;\n";
  return Text;
}

void BM_LoadScenarioIntoTheMap(benchmark::State& State) {
  TWorld World;
  const std::string Text = GridScenarioText();
  for (auto _ : State) {
    World.Engine.ReadScenario(Text, "grid.brmscen");
    World.Engine.LoadZoneData();
    World.Engine.PlaceInitialUnits();
    benchmark::DoNotOptimize(World.Engine.GetUnitCount());
  }
  State.SetItemsProcessed(State.iterations() * World.Engine.GetZoneCount());
}
BENCHMARK(BM_LoadScenarioIntoTheMap);

}  // namespace
