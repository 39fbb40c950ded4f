#pragma once
// The engine tests' fixture: the small world of the tests' map (six zones, four land and two
// sea), four nations (three major powers, one minor) and a scenario that places their units,
// with a change sink that keeps every change record the engine writes.
#include <gtest/gtest.h>

#include <string>

#include "engine/BrenmoorEngine.h"
#include "engine/kit/Records.h"
#include "engine/kit/TestWorld.h"

// The tests' small world: the first six zones of the tests' map and the small world's scenario.
// Alba - Brae - Dunmore - Ferro on land; North Sea off Alba and Brae; Channel off Brae and
// Dunmore. Ferro is inland.
inline const std::string& WorldMapText = kit::SmallMapText;

enum { zAlba = kit::kzAlba, zBrae = kit::kzBrae, zNorthSea = kit::kzNorthSea, zChannel = kit::kzChannel,
       zDunmore = kit::kzDunmore, zFerro = kit::kzFerro };

// Albion and Ruritania are at war by their alliances; Freedonia has none; Lichtenburg is minor.
inline constexpr const char* WorldScenarioText = kit::SmallScenarioText;

// Keeps every change record; host and active unless told otherwise.
using TRecordingSink = kit::TKitSink;

// The small world's map loaded into an engine that writes to Sink; a test reads the scenario
// (LoadWorld) when it wants it, and the records of the placement stay in Sink.
class WorldFixture : public ::testing::Test {
protected:
  // Reads the scenario's both passes; with Place also its starting units.
  void LoadWorld(bool Place = true, const std::string& Text = WorldScenarioText) { World.LoadScenario(Text, Place); }
  TBrenmoorZone* Z(int I) { return World.Z(I); }
  TNation* N(int I) { return World.N(I); }
  // A new unit in a zone, its counts in the tallies.
  TUnit* MakeUnit(int Nation, TUnitKind Kind, int Zone, std::initializer_list<std::pair<TUnitType, int>> Counts) {
    return World.MakeUnit(Nation, Kind, Zone, Counts);
  }
  // The first unit of a nation and kind in a zone.
  TUnit* UnitIn(int Zone, int Nation, TUnitKind Kind) { return World.UnitIn(Zone, Nation, Kind); }
  void ExpectTalliesHold() { EXPECT_EQ(Engine.CheckTallies(), ""); }

  kit::TKitWorld World{kit::TMapOnly{}};
  TBrenmoorEngine& Engine = World.Engine();
  TZoneMap& Map = World.Map;
  TRecordingSink& Sink = World.Sink;
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
