#pragma once
// A small world built in code: six zones (four land, two sea), four nations (three major
// powers, one minor) and a scenario that places their units, with a change sink that keeps
// every change record the engine writes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "sprites/MapSet.h"

// Alba - Brae - Dunmore - Ferro on land; North Sea off Alba and Brae; Channel off Brae and
// Dunmore. Ferro is inland.
inline const char* const WorldMapText =
    "Zone=0,0,100,0,100,100,0,100;Alba;0;1#2#\n"
    "Zone=100,0,200,0,200,100,100,100;Brae;0;0#2#3#4#\n"
    "Zone=0,100,200,100,200,200,0,200;North Sea;1;0#1#3#\n"
    "Zone=200,100,300,100,300,200,200,200;Channel;1;2#1#4#\n"
    "Zone=200,0,300,0,300,100,200,100;Dunmore;0;1#3#5#\n"
    "Zone=300,0,400,0,400,100,300,100;Ferro;0;4#\n";

enum { zAlba, zBrae, zNorthSea, zChannel, zDunmore, zFerro };

// Albion and Ruritania are at war by their alliances; Freedonia has none; Lichtenburg is minor.
inline const char* const WorldScenarioText =
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

// Keeps every change record; host and active unless told otherwise.
class TRecordingSink : public TChangeSink {
public:
  bool IsHost() const override { return Host; }
  bool IsActive() const override { return Active; }
  void AddChange(const std::string& Record) override { Records.push_back(Record); }
  bool Host = true;
  bool Active = true;
  std::vector<std::string> Records;
};

class WorldFixture : public ::testing::Test {
protected:
  void SetUp() override {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(WorldMapText, "world.map"));
    Engine.SetZoneMap(&Map);
    Engine.SetChangeSink(&Sink);
    Engine.GetRandom().SetSeed(1940);
  }
  void TearDown() override { Engine.SetZoneMap(nullptr); }

  // Reads the scenario's both passes; with Place also its starting units.
  void LoadWorld(bool Place = true, const std::string& Text = WorldScenarioText) {
    Engine.ReadScenario(Text);
    Engine.LoadZoneData();
    if (Place) Engine.PlaceInitialUnits();
  }
  TBrenmoorZone* Z(int I) { return Engine.GetZone(I); }
  TNation* N(int I) { return Engine.GetNation(I); }
  // A new unit in a zone, its counts in the tallies.
  TUnit* MakeUnit(int Nation, TUnitKind Kind, int Zone, std::initializer_list<std::pair<TUnitType, int>> Counts) {
    TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, N(Nation), Kind), Z(Zone));
    for (const auto& [Type, Count] : Counts) {
      Unit->SetCount(Type, static_cast<std::uint16_t>(Count));
      if (Unit->IsTallied()) Z(Zone)->ChangeTally(N(Nation)->GetMajorIndex(), Type, Count);
    }
    return Unit;
  }
  // The first unit of a nation and kind in a zone.
  TUnit* UnitIn(int Zone, int Nation, TUnitKind Kind) {
    for (int I = 0; I < Z(Zone)->GetUnitCount(); ++I) {
      TUnit* Unit = Z(Zone)->GetUnit(I);
      if (Unit->GetOwner() == N(Nation) && Unit->GetKind() == Kind) return Unit;
    }
    return nullptr;
  }
  void ExpectTalliesHold() { EXPECT_EQ(Engine.CheckTallies(), ""); }

  TBrenmoorEngine Engine;
  TZoneMap Map;
  TRecordingSink Sink;
};

// The message of the engine error that Action raises ("" when it raises none).
template <class F>
std::string EngineError(F&& Action) {
  try {
    Action();
  } catch (const EBrenmoorEngine& E) {
    return E.what();
  }
  return {};
}
