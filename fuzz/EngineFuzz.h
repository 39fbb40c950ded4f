#pragma once
// The game the engine's fuzz targets play on: the test kit's small world, its scenario in a
// folder of its own that is the current folder for the whole run (a saved game names its
// scenario, which is read from there), three players with their users, and the checks that
// must hold after every input: the model holds together and a game saves and loads again.
#include <cstdint>
#include <memory>
#include <string>
#include <utility>

#include "engine/BrenmoorEngine.h"
#include "engine/ImpulseSteps.h"
#include "engine/kit/RulesKit.h"

namespace fuzz {

// The kit's scenario under the name the worlds keep, in the current folder.
inline constexpr const char* ScenarioFile = "kit.brmscen";
// The Standard scenario and its map set, in the current folder too.
inline constexpr const char* StandardScenarioFile = "Standard.brmscen";

// Loads the map set a saved game's scenario names from the current folder into the world's
// map, as the map surface does.
class TFolderMapSetLoader : public TBrenmoorEngine::TMapSetLoader {
public:
  TFolderMapSetLoader(TZoneMap* Map, std::string Name) : FMap(Map), FName(std::move(Name)) {}
  std::string GetMapSetFile() const override { return FName; }
  void SetMapSetFile(const std::string& FileName) override;

private:
  TZoneMap* FMap;
  std::string FName;
};

// A world of the kit whose engine names ScenarioFile, which is there to be read again;
// Ann plays Albion, Bob Freedonia, the host plays Ruritania by computer. A saved game of
// another map set (the Standard world's) loads that map set into the world's map.
class TFuzzWorld {
public:
  TFuzzWorld();
  kit::TKitWorld& World() { return *FWorld; }
  TBrenmoorEngine& Engine() { return FWorld->Engine(); }
  kit::TKitUsers Users;

private:
  std::unique_ptr<kit::TKitWorld> FWorld;
  TFolderMapSetLoader FLoader;
};

// The users of the kit's game, the host first.
void SetPlayers(kit::TKitWorld& World, kit::TKitUsers& Users);

// The kit's invariants of a game loaded from a saved game: a saved game may name a nation out
// of the game as the owner of a zone or a unit, which the game lives with; the tallies must
// still equal the units.
std::string LoadedGameFault(const TBrenmoorEngine& Engine);

// "" when the game saves, the text loads on another machine and saves there the same;
// else what went wrong. A game of another scenario than the kit's names ScenarioFile, written
// into the current folder first from ScenarioText.
std::string CheckSavesAndLoads(TBrenmoorEngine& Engine, const std::string& ScenarioText = {});

}  // namespace fuzz
