#pragma once
// The tests' one world: its map, its two scenarios and the code that makes a map and an engine
// of them. The small world is the first six zones of the map (four land, two sea); the full
// world adds the land zones Gorse and Hale beyond Channel and Ferro.
#include <array>
#include <initializer_list>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "sprites/MapSet.h"

namespace kit {

// --- The map ---

// Alba - Brae - Dunmore - Ferro - Gorse on land; North Sea off Alba and Brae; Channel off Brae,
// Dunmore and Hale; Hale also borders Gorse. In the small world Ferro is inland.
enum TKitZone { kzAlba, kzBrae, kzNorthSea, kzChannel, kzDunmore, kzFerro, kzGorse, kzHale };
constexpr int SmallWorldZones = 6;
constexpr int KitWorldZones = 8;

// One zone of the map: its corners, name, whether it is sea, and its neighbours (-1 ends the
// list), in the order the map lists them.
struct TWorldZone {
  const char* Corners;
  const char* Name;
  bool Sea;
  std::array<int, 4> Neighbours;
};

inline constexpr TWorldZone WorldZones[KitWorldZones] = {
    {"0,0,100,0,100,100,0,100", "Alba", false, {kzBrae, kzNorthSea, -1, -1}},
    {"100,0,200,0,200,100,100,100", "Brae", false, {kzAlba, kzNorthSea, kzChannel, kzDunmore}},
    {"0,100,200,100,200,200,0,200", "North Sea", true, {kzAlba, kzBrae, kzChannel, -1}},
    {"200,100,300,100,300,200,200,200", "Channel", true, {kzNorthSea, kzBrae, kzDunmore, kzHale}},
    {"200,0,300,0,300,100,200,100", "Dunmore", false, {kzBrae, kzChannel, kzFerro, -1}},
    {"300,0,400,0,400,100,300,100", "Ferro", false, {kzDunmore, kzGorse, -1, -1}},
    {"400,0,500,0,500,100,400,100", "Gorse", false, {kzFerro, kzHale, -1, -1}},
    {"300,100,400,100,400,200,300,200", "Hale", false, {kzChannel, kzGorse, -1, -1}},
};

// The map text of the world's first Zones zones ("Zone=corners;name;sea;neighbours#..."), the
// links to zones beyond them left out.
inline std::string WorldMapText(int Zones) {
  std::string Text;
  for (int I = 0; I < Zones; ++I) {
    const TWorldZone& Zone = WorldZones[I];
    Text += std::string("Zone=") + Zone.Corners + ";" + Zone.Name + ";" + (Zone.Sea ? "1" : "0") + ";";
    for (const int Neighbour : Zone.Neighbours)
      if (Neighbour >= 0 && Neighbour < Zones) Text += std::to_string(Neighbour) + "#";
    Text += "\n";
  }
  return Text;
}

inline const std::string SmallMapText = WorldMapText(SmallWorldZones);
inline const std::string KitMapText = WorldMapText(KitWorldZones);

// --- The scenarios ---
// Both have the major powers Albion (Allies), Ruritania (Axis) and Freedonia (no alliance) and
// the minor Lichtenburg; Albion and Ruritania are at war by their alliances.

// The small world's: fewer units than the full world's, and Dunmore's line ends early (the
// fields it leaves out read as their defaults).
inline constexpr const char* SmallScenarioText =
    "Description=A small world\n"
    "NationCount=4\n"
    "Alliance=Allies\n"
    "Alliance=Axis\n"
    "Nation=Albion,Allies,1,Albish,5,,notes,0,3,80,4,1.5;0.5;,2,1,albion.brmai\n"
    "Nation=Ruritania,Axis,1,Ruritanian,0,,,1,0,100,0,,1,0,\n"
    "Nation=Freedonia,,1,Freedonian,0,3=-30;,,0,0,100,0,,3,0,\n"
    "Nation=Lichtenburg,,0,Lichtenburgish,0,2=-30;,,0,0,100,0,,0,0,\n"
    "Zone=Alba;10;2;0;3;x;0;0#3#5#0#4#2#;;1;12.5;1;2#1#;1;0;0;0;\n"
    "Zone=Brae;6;1;0;0;x;1;1#3#4#;0;0;6;0;;0;0;0;0;\n"
    "Zone=North Sea;0;0;0;0;x;-1;0#9#2#0#3#2#;;0;0;0;;0;0;0;0;\n"
    "Zone=Channel;0;0;0;0;x;-1;;;0;0;0;;0;0;25;0;\n"
    "Zone=Dunmore;4;0;0;0;x;2;2#11#3#;;1\n"
    "Zone=Ferro;3;0;0;0;x;3;7#3#2#;;1;3;0;;0;1;0;1;\n"
    "ImpulseRate=3\n";

// The full world's: each side has an army, Albion also fighters at home and a carrier fleet
// with fighters at sea, Ruritania bombers, Freedonia submarines and destroyers.
inline constexpr const char* KitScenarioText =
    "Description=The kit's world\n"
    "NationCount=4\n"
    "Alliance=Allies\n"
    "Alliance=Axis\n"
    "Nation=Albion,Allies,1,Albish,5,,notes,0,3,80,4,1.5;0.5;,2,1,albion.brmai\n"
    "Nation=Ruritania,Axis,1,Ruritanian,0,,,1,0,100,3,,1,0,\n"
    "Nation=Freedonia,,1,Freedonian,0,3=-30;,,0,0,100,5,,3,0,\n"
    "Nation=Lichtenburg,,0,Lichtenburgish,0,2=-30;,,0,0,100,0,,0,0,\n"
    "Zone=Alba;10;2;0;3;x;0;0#3#5#0#4#2#0#5#3#;;1;12.5;1;2#1#;1;1;0;0;\n"
    "Zone=Brae;6;1;0;0;x;1;1#3#4#1#7#2#;0;0;6;0;;0;1;0;0;\n"
    "Zone=North Sea;0;0;0;0;x;-1;0#9#2#0#13#1#0#3#2#0#5#2#;;0;0;0;;0;0;0;0;\n"
    "Zone=Channel;0;0;0;0;x;-1;2#10#2#;;0;0;0;;0;0;25;0;\n"
    "Zone=Dunmore;4;0;0;0;x;2;2#11#3#2#3#3#;;1;4;0;;0;0;0;0;\n"
    "Zone=Ferro;3;0;0;0;x;3;7#3#2#;;1;3;0;;0;1;0;1;\n"
    "Zone=Gorse;5;1;0;0;x;1;1#4#2#;;0;5;0;;0;0;10;0;\n"
    "Zone=Hale;2;0;0;0;x;2;;;0;2;0;;0;0;0;0;\n"
    "ImpulseRate=3\n";

// --- The world's engine ---

// Keeps the records; host and active unless told otherwise.
class TKitSink : public TChangeSink {
public:
  bool IsHost() const override { return Host; }
  bool IsActive() const override { return Active; }
  void AddChange(const std::string& Record) override { Records.push_back(Record); }
  bool Host = true;
  bool Active = true;
  std::vector<std::string> Records;
};

// A map loaded and no scenario read yet (LoadScenario reads one): MapName is the name the map's
// errors give.
struct TMapOnly {
  std::string MapText = SmallMapText;
  std::string MapName = "world.map";
};

// A map and an engine that writes its records to the sink, its rules generator seeded with
// 1940; made with a scenario, that scenario read and its units placed.
class TKitWorld {
public:
  explicit TKitWorld(const TMapOnly& MapOnly) {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = FEngine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(MapOnly.MapText, MapOnly.MapName));
    FEngine.SetZoneMap(&Map);
    FEngine.SetChangeSink(&Sink);
    FEngine.SetRandomSeed(1940);
  }
  // ScenarioFile: the name the engine keeps for the scenario (a saved game names it, and a
  // machine that loads the saved game looks for that file in its current folder). The records
  // of the placement are dropped.
  explicit TKitWorld(const std::string& Scenario = KitScenarioText, const std::string& MapText = KitMapText,
                     const std::string& ScenarioFile = {})
      : TKitWorld(TMapOnly{MapText, "kit.map"}) {
    LoadScenario(Scenario, true, ScenarioFile);
    Sink.Records.clear();
  }
  ~TKitWorld() { FEngine.SetZoneMap(nullptr); }
  TKitWorld(const TKitWorld&) = delete;
  TKitWorld& operator=(const TKitWorld&) = delete;

  // Reads the scenario's both passes; with Place also its starting units.
  void LoadScenario(const std::string& Text, bool Place = true, const std::string& ScenarioFile = {}) {
    FEngine.ReadScenario(Text, ScenarioFile);
    FEngine.LoadZoneData();
    if (Place) FEngine.PlaceInitialUnits();
  }

  TBrenmoorEngine& Engine() { return FEngine; }
  TBrenmoorZone* Z(int I) { return FEngine.GetZone(I); }
  TNation* N(int I) { return FEngine.GetNation(I); }
  // A new unit standing in Zone, its counts in the tallies (no record).
  TUnit* MakeUnit(int Nation, TUnitKind Kind, int Zone, std::initializer_list<std::pair<TUnitType, int>> Counts) {
    TUnit* Unit = FEngine.AddUnit(std::make_unique<TUnit>(FEngine, N(Nation), Kind), Z(Zone));
    for (const auto& [Type, Count] : Counts) {
      Unit->SetCount(Type, static_cast<std::uint16_t>(Count));
      if (Unit->IsTallied()) Z(Zone)->ChangeTally(N(Nation)->GetMajorIndex(), Type, Count);
    }
    return Unit;
  }
  // The first unit of the nation and kind in the zone, or nullptr.
  TUnit* UnitIn(int Zone, int Nation, TUnitKind Kind) {
    for (int I = 0; I < Z(Zone)->GetUnitCount(); ++I) {
      TUnit* Unit = Z(Zone)->GetUnit(I);
      if (Unit->GetOwner() == N(Nation) && Unit->GetKind() == Kind) return Unit;
    }
    return nullptr;
  }

  TZoneMap Map;
  TKitSink Sink;

private:
  TBrenmoorEngine FEngine;
};

}  // namespace kit
