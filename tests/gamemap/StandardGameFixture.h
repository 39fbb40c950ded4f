#pragma once
// The Standard scenario on its map, without any picture: the rules engine with its nations,
// zones and starting units, for the tests of what the game's windows decide.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/CurrentFolder.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"

class TStandardGame {
public:
  static std::filesystem::path ProgramFolder() { return std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin"; }

  TStandardGame() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    Engine.SetZoneMap(&Map);
    const TCurrentFolder In(ProgramFolder());
    Engine.SetScenarioFile("Standard.brmscen");
    LoadZoneMapFromFile(Map, MapSetFileNamePart(Engine.GetMapSet()));
    Engine.LoadZoneData();
    Engine.PlaceInitialUnits();
  }
  ~TStandardGame() { Engine.SetZoneMap(nullptr); }
  TStandardGame(const TStandardGame&) = delete;
  TStandardGame& operator=(const TStandardGame&) = delete;

  TNation* Nation(const char* Name) const { return Engine.FindNation(Name); }
  TBrenmoorZone* Zone(const char* Name) const { return Engine.FindZoneByName(Name); }
  // A new unit of the nation in the zone with those counts (left out of the tallies).
  TUnit* MakeUnit(const char* NationName, TUnitKind Kind, const char* ZoneName,
                  std::initializer_list<std::pair<TUnitType, int>> Counts) {
    TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Nation(NationName), Kind), Zone(ZoneName));
    for (const auto& [Type, Count] : Counts) Unit->SetCount(Type, static_cast<std::uint16_t>(Count));
    return Unit;
  }

  TBrenmoorEngine Engine;
  TZoneMap Map;
};
