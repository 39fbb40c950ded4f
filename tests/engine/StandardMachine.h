#pragma once
// One machine with the Standard world loaded as the game's start loads it (its scenario and map
// set from the program folder): the scenario, its map set, the zone pass, the starting units.
#include <filesystem>
#include <memory>

#include "engine/UpkeepRules.h"
#include "engine/kit/RulesKit.h"
#include "foundation/CurrentFolder.h"
#include "sprites/MapSet.h"

struct TStandardMachine {
  TStandardMachine() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    Engine.SetZoneMap(&Map);
    Engine.SetChangeSink(&Sink);
    const TCurrentFolder In(std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin");
    Engine.SetScenarioFile("Standard.brmscen");
    LoadZoneMapFromFile(Map, MapSetFileNamePart(Engine.GetMapSet()));
    Engine.LoadZoneData();
    Engine.PlaceInitialUnits();
    Engine.Upkeep().UpdateVisibility(0);
  }
  ~TStandardMachine() { Engine.SetZoneMap(nullptr); }
  TStandardMachine(const TStandardMachine&) = delete;
  TStandardMachine& operator=(const TStandardMachine&) = delete;

  TZoneMap Map;
  TBrenmoorEngine Engine;
  kit::TKitSink Sink;
};
