// One impulse of unit execution and the end-of-impulse stages on a map of 300 zones with 3000
// units, each army patrolling between its zone and the next one of its owner.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "sprites/MapSet.h"

namespace {

constexpr int GridWidth = 20;
constexpr int GridHeight = 15;

std::string GridMapText() {
  std::string Text;
  const auto Index = [](int X, int Y) { return std::to_string(Y * GridWidth + X); };
  for (int Y = 0; Y < GridHeight; ++Y)
    for (int X = 0; X < GridWidth; ++X) {
      const int L = X * 50, T = Y * 50;
      Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 50) + "," + std::to_string(T) + "," +
              std::to_string(L + 50) + "," + std::to_string(T + 50) + "," + std::to_string(L) + "," + std::to_string(T + 50) + ";Z" +
              Index(X, Y) + ";" + (X == 0 ? "1" : "0") + ";";
      if (X + 1 < GridWidth) Text += Index(X + 1, Y) + "#";
      if (X > 0) Text += Index(X - 1, Y) + "#";
      if (Y + 1 < GridHeight) Text += Index(X, Y + 1) + "#";
      if (Y > 0) Text += Index(X, Y - 1) + "#";
      Text += "\n";
    }
  return Text;
}

struct TWorld {
  TWorld() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(GridMapText(), "grid.map"));
    Engine.SetZoneMap(&Map);
    Engine.ReadScenario(
        "NationCount=3\nAlliance=A\nAlliance=B\nNation=North,A,1,Northern,0,,,0,0,100,5,\nNation=South,B,1,Southern,0,,,0,0,100,5,\n"
        "Nation=East,,1,Eastern,0,,,0,0,100,5,\nImpulseRate=3\n");
    Engine.LoadZoneData();
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
  ~TWorld() { Engine.SetZoneMap(nullptr); }
  TBrenmoorEngine Engine;
  TZoneMap Map;
};

void BM_ExecuteUnits(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) World.Engine.ExecuteUnits(++Impulse);
  State.SetItemsProcessed(State.iterations() * World.Engine.GetUnitCount());
}
BENCHMARK(BM_ExecuteUnits)->Unit(benchmark::kMillisecond);

void BM_EndOfImpulseStages(benchmark::State& State) {
  TWorld World;
  std::int32_t Impulse = 0;
  for (auto _ : State) World.Engine.EndOfImpulseStages(++Impulse, 1000, 750);
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_EndOfImpulseStages)->Unit(benchmark::kMillisecond);

}  // namespace
