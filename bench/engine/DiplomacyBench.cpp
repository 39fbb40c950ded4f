// The conquest of a nation on a map of 300 zones with 3000 units: the exile host is chosen
// and every unit of the fallen nation is tested against its distance from the capital (one
// path search each); and a round of diplomatic actions between the powers.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "sprites/MapSet.h"

namespace {

constexpr int GridWidth = 20;
constexpr int GridHeight = 15;

// A grid of 300 square zones (the left column sea), each joined both ways to its right and
// lower neighbours.
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
    for (int Z = 0; Z < Engine.GetZoneCount(); ++Z) {
      TBrenmoorZone* Zone = Engine.GetZone(Z);
      if (Zone->GetSea() == 0) {
        Zone->SetOwner(Engine.GetNation((Z / GridWidth) * 3 / GridHeight));
        Zone->SetIndustry(5 + Z % 7);
        Zone->SetResources(20);
        if (Z % 3 == 0 && Z + 1 < Engine.GetZoneCount()) Zone->SetSupplySource(Engine.GetZone(Z + 1));
      }
      for (int I = 0; I < 10; ++I) {
        TNation* Owner = Engine.GetNation(I % 3);
        const TUnitKind Kind = Zone->GetSea() != 0 ? ukNavy : (I == 9 ? ukAirForce : ukArmy);
        TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, Kind), Zone);
        const TUnitType Type = Kind == ukNavy ? utDestroyer : (Kind == ukAirForce ? utFighter : utInfantry);
        Unit->SetCount(Type, static_cast<std::uint16_t>(I + 1));
        Unit->SetOrganizationDirect(60.0f + I);
        Zone->ChangeTally(Owner->GetMajorIndex(), Type, I + 1);
      }
    }
    for (int R = 0; R < 20; ++R)
      Engine.CreateRouting(Engine.GetZone(R * 13 % 300 + 1), Engine.GetZone((R * 13 + 40) % 300 + 1), 1);
  }
  ~TWorld() { Engine.SetZoneMap(nullptr); }
  TBrenmoorEngine Engine;
  TZoneMap Map;
};

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
    E.ConquerNation(South, North, false);
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
    E.DiplomaticAction(E.GetNation(0), E.GetNation(2), Action++ % 8);
  }
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_DiplomaticActions)->Unit(benchmark::kMicrosecond);

}  // namespace
