#pragma once
// The scenario validator: loads a scenario into a real rules engine with its real map set, as
// the game starts a new game (the scenario, the map set it names, the zone-data pass, the
// starting units), and checks everything the game relies on at the start. Each problem is one
// line of text naming the nation, zone or record.
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "sprites/Bitmap.h"
#include "sprites/ZoneMap.h"

struct TScenarioCheckResult {
  std::vector<std::string> Problems;
  int Nations = 0;
  int Majors = 0;
  int ZoneLines = 0;
  int Units = 0;
  int RandomEvents = 0;
  int VictoryConditions = 0;
  int Reinforcements = 0;
  bool Ok() const { return Problems.empty(); }
};

// The seven major powers in the slot order of the hall of fame.
extern const char* const MajorPowerSlots[7];

// A scenario loaded as the game starts a new game: the map linked to the engine, the scenario
// file, the map set it names (from the current folder), the zone-data pass and the starting
// units. Messages the engine shows on the way (a zone line naming no zone) are kept.
class TLoadedScenario {
public:
  // Raises what the engine or the map set reader raises.
  explicit TLoadedScenario(const std::string& ScenarioFile);
  ~TLoadedScenario();
  TLoadedScenario(const TLoadedScenario&) = delete;
  TLoadedScenario& operator=(const TLoadedScenario&) = delete;

  TBrenmoorEngine Engine;
  TZoneMap Map;
  std::vector<std::string> Messages;
  // The colour table of the map set's first tile (empty without tiles).
  std::vector<TRGBQuad> MapColors;
};

// Checks ScenarioFile (relative to Folder or absolute) with the map set it names, which is
// read from Folder, the program folder of the game; and the flags bitmap named after the
// scenario beside it.
TScenarioCheckResult CheckScenario(const std::string& Folder, const std::string& ScenarioFile);
