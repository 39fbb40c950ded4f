#pragma once
// The benchmarks' worlds: map set texts of 300 square zones in a grid of 20 x 15, the left
// column sea, and a world of three nations with 3000 units on it.
#include <memory>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "sprites/MapSet.h"

namespace grid_world {

constexpr int GridWidth = 20;
constexpr int GridHeight = 15;

// Each zone names its right and lower neighbours (the map's links make them mutual).
inline std::string GridMapText() {
  std::string Text;
  for (int Y = 0; Y < GridHeight; ++Y)
    for (int X = 0; X < GridWidth; ++X) {
      const int L = X * 50, T = Y * 50;
      Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 50) + "," +
              std::to_string(T) + "," + std::to_string(L + 50) + "," + std::to_string(T + 50) + "," +
              std::to_string(L) + "," + std::to_string(T + 50) + ";Z" + std::to_string(Y * GridWidth + X) + ";" +
              (X == 0 ? "1" : "0") + ";";
      if (X + 1 < GridWidth) Text += std::to_string(Y * GridWidth + X + 1) + "#";
      if (Y + 1 < GridHeight) Text += std::to_string((Y + 1) * GridWidth + X) + "#";
      Text += "\n";
    }
  return Text;
}

// Each zone names all four of its neighbours.
inline std::string BothWaysGridMapText() {
  std::string Text;
  const auto Index = [](int X, int Y) { return std::to_string(Y * GridWidth + X); };
  for (int Y = 0; Y < GridHeight; ++Y)
    for (int X = 0; X < GridWidth; ++X) {
      const int L = X * 50, T = Y * 50;
      Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 50) + "," +
              std::to_string(T) + "," + std::to_string(L + 50) + "," + std::to_string(T + 50) + "," +
              std::to_string(L) + "," + std::to_string(T + 50) + ";Z" + Index(X, Y) + ";" + (X == 0 ? "1" : "0") + ";";
      if (X + 1 < GridWidth) Text += Index(X + 1, Y) + "#";
      if (X > 0) Text += Index(X - 1, Y) + "#";
      if (Y + 1 < GridHeight) Text += Index(X, Y + 1) + "#";
      if (Y > 0) Text += Index(X, Y - 1) + "#";
      Text += "\n";
    }
  return Text;
}

// The engine on the both-ways grid with the three nations North and South (allied each to its
// own side) and East, their zones in bands of rows.
struct TThreeNationEngine {
  TThreeNationEngine() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(BothWaysGridMapText(), "grid.map"));
    Engine.SetZoneMap(&Map);
    Engine.ReadScenario(
        "NationCount=3\nAlliance=A\nAlliance=B\nNation=North,A,1,Northern,0,,,0,0,100,5,\nNation=South,B,1,Southern,0,,,0,0,100,5,\n"
        "Nation=East,,1,Eastern,0,,,0,0,100,5,\nImpulseRate=3\n");
    Engine.LoadZoneData();
  }
  ~TThreeNationEngine() { Engine.SetZoneMap(nullptr); }
  TThreeNationEngine(const TThreeNationEngine&) = delete;
  TThreeNationEngine& operator=(const TThreeNationEngine&) = delete;

  TBrenmoorEngine Engine;
  TZoneMap Map;
};

// Ten units in every zone (armies and a fighter on land, destroyers at sea), owners taking turns,
// industry, resources, supply sources and 20 routings.
struct TThreeNationWorld : TThreeNationEngine {
  TThreeNationWorld() {
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
};

}  // namespace grid_world
