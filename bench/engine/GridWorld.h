#pragma once
// The benchmarks' worlds: map set texts of 300 square zones in a grid of 20 x 15, the left
// column sea, and a world of three nations with 3000 units on it; a grid with sea lanes and a
// world of seven major powers and five minors with any number of units.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/SupplyRules.h"
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
      Engine.Supply().CreateRouting(Engine.GetZone(R * 13 % 300 + 1), Engine.GetZone((R * 13 + 40) % 300 + 1), 1);
  }
};

// The both-ways grid with more sea: the left and right columns and the middle row (but for
// two land bridges) are sea, so fleets, convoys and landings have room. Width by Height
// zones, 20 by 15 unless asked otherwise.
inline bool IsSeaCell(int X, int Y, int Width = GridWidth, int Height = GridHeight) {
  return X == 0 || X == Width - 1 || (Y == Height / 2 && X != Width / 4 && X != Width * 7 / 10);
}

inline std::string SeaLaneGridMapText(int Width = GridWidth, int Height = GridHeight) {
  std::string Text;
  const auto Index = [Width](int X, int Y) { return std::to_string(Y * Width + X); };
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const int L = X * 50, T = Y * 50;
      Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 50) + "," +
              std::to_string(T) + "," + std::to_string(L + 50) + "," + std::to_string(T + 50) + "," +
              std::to_string(L) + "," + std::to_string(T + 50) + ";Z" + Index(X, Y) + ";" + (IsSeaCell(X, Y, Width, Height) ? "1" : "0") + ";";
      if (X + 1 < Width) Text += Index(X + 1, Y) + "#";
      if (X > 0) Text += Index(X - 1, Y) + "#";
      if (Y + 1 < Height) Text += Index(X, Y + 1) + "#";
      if (Y > 0) Text += Index(X, Y - 1) + "#";
      Text += "\n";
    }
  return Text;
}

// Seven major powers in two alliances and a neutral, five minor nations, random events by
// chance and new storms of both kinds.
inline std::string SevenNationScenarioText() {
  std::string Text = "NationCount=12\nAlliance=West\nAlliance=East\nEngineOptions=01110000\nImpulseRate=1\n";
  const char* const Majors[] = {"Avalon", "Borea", "Caledon", "Dacia", "Elysia", "Fennia", "Galt"};
  const char* const Alliances[] = {"West", "West", "West", "East", "East", "East", ""};
  for (int I = 0; I < 7; ++I)
    Text += std::string("Nation=") + Majors[I] + "," + Alliances[I] + ",1," + Majors[I] + "n,0,,,1,0,100,4,,"  + std::to_string(I) + ",0,\n";
  for (int I = 0; I < 5; ++I)
    Text += "Nation=Minor" + std::to_string(I) + ",,0,Minor,0,,,0,0," + std::to_string(40 + 10 * I) + ",0,,0,0,\n";
  Text +=
      "RandomEvent=0~111~Windfall~0~5~0~20~x~~~~~Windfall~0~\n"
      "RandomEvent=0~111~Plague~0~1~0~-20~~~~~~Plague~0~\n"
      "RandomEvent=0~100~Mutiny~2~0~0~10~~~~~Borea~Mutiny~0~\n"
      "RandomEvent=0~111~Shortage~0~6~20~20~~~~~~Shortage~0~\n"
      "RandomEvent=0~011~Fog~0~2~10~-30~~~~~~Fog~0~\n";
  return Text;
}

// Units of the seven-nation world over the land and sea zones: Units in all, spread over the
// first ZonesUsed land zones and a quarter as many sea zones (all of them when 0), owners and
// kinds taking turns; every land zone owned (majors in bands, the minors in between), with
// industry, resources and a capital per nation. On the sea-lane grid of Width by Height zones.
struct TSevenNationWorld {
  explicit TSevenNationWorld(int Units, int ZonesUsed = 0, int Width = GridWidth, int Height = GridHeight) {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(SeaLaneGridMapText(Width, Height), "lanes.map"));
    Engine.SetZoneMap(&Map);
    Engine.ReadScenario(SevenNationScenarioText());
    Engine.LoadZoneData();
    for (int N = 0; N < Engine.GetNationCount(); ++N) {
      Engine.GetNation(N)->SetComputerPlayer(N < 7);
      Engine.GetNation(N)->SetResearchSpendingTotal(N < 7 ? 20 : 0);
      for (int T = 0; T < UnitTypeCount; ++T) Engine.GetNation(N)->SetUnitCost(T, UnitTypes[static_cast<std::size_t>(T)].Resources);
    }
    Engine.SetAllComputer(true);
    std::vector<TBrenmoorZone*> Land, Sea;
    for (int Z = 0; Z < Engine.GetZoneCount(); ++Z) (Engine.GetZone(Z)->GetSea() != 0 ? Sea : Land).push_back(Engine.GetZone(Z));
    // Bands of land for the majors, every fifth zone of a band a minor's.
    for (std::size_t I = 0; I < Land.size(); ++I) {
      TBrenmoorZone* Zone = Land[I];
      const int Band = static_cast<int>(I * 7 / Land.size());
      TNation* Owner = Engine.GetNation(I % 5 == 2 ? 7 + static_cast<int>(I / 5) % 5 : Band);
      Zone->SetOwner(Owner);
      Zone->SetOriginalOwner(Owner);
      Zone->SetIndustry(3 + static_cast<int>(I % 7));
      Zone->SetFactories(static_cast<int>(I % 3));
      Zone->SetResources(20.0f + static_cast<float>(I % 11));
      Zone->SetAirfield(I % 4 == 0);
      if (!Owner->GetCapital()) {
        Zone->SetCapital(true);
        Owner->SetCapital(Zone);
      }
    }
    // Fleets keep to a quarter as many sea zones.
    const auto Pick = [&](const std::vector<TBrenmoorZone*>& Zones, int Limit, int I) {
      const int Used = Limit > 0 ? std::min<int>(Limit, static_cast<int>(Zones.size())) : static_cast<int>(Zones.size());
      return Zones[static_cast<std::size_t>((I * 37) % Used)];
    };
    for (int I = 0; I < Units; ++I) {
      const int Kind = I % 10 < 6 ? ukArmy : I % 10 < 8 ? ukAirForce : ukNavy;
      TBrenmoorZone* Zone = Kind == ukNavy ? Pick(Sea, ZonesUsed > 0 ? std::max(1, ZonesUsed / 4) : 0, I / 10) : Pick(Land, ZonesUsed, I);
      TNation* Owner = Kind == ukNavy ? Engine.GetNation(I % 7) : Zone->GetOwner();
      TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, static_cast<TUnitKind>(Kind)), Zone);
      const auto Give = [&](TUnitType Type, int Count) {
        if (Count <= 0) return;
        Unit->SetCount(Type, static_cast<std::uint16_t>(Count));
        Zone->ChangeTally(Owner->GetMajorIndex(), Type, Count);
      };
      if (Kind == ukArmy) {
        Give(utInfantry, 3 + I % 5);
        Give(utArmor, I % 3);
        Give(utArtillery, I % 4 == 0 ? 1 : 0);
      } else if (Kind == ukAirForce) {
        Give(utFighter, 2 + I % 3);
        Give(utBomber, I % 5 == 0 ? 2 : 0);
      } else {
        Give(utDestroyer, 1 + I % 3);
        Give(utTransport, I % 4 == 0 ? 2 : 0);
        Give(I % 6 == 0 ? utSubmarine : utCruiser, 1);
      }
    }
  }
  ~TSevenNationWorld() { Engine.SetZoneMap(nullptr); }
  TSevenNationWorld(const TSevenNationWorld&) = delete;
  TSevenNationWorld& operator=(const TSevenNationWorld&) = delete;

  TBrenmoorEngine Engine;
  TZoneMap Map;
};

}  // namespace grid_world
