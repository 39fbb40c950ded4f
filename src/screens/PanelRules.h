#pragma once
// What the control tabs beside the map show for the selected zone and units, without any
// window: the zone tab's texts and which of its build buttons apply, the units listed, and the
// units tab's details of one unit and the order buttons every selected unit allows.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineTypes.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;
class TUnit;

// The resources a zone needs before its improvements can be built.
inline constexpr float ImprovementResources = 25.0f;

struct TZonePanel {
  bool Land = false;
  // Land zones only.
  std::string Name;
  std::string IndustryText;
  bool ResourceBonus = false;
  std::string ResourceBonusText;
  bool TerrainDefense = false;
  std::string TerrainDefenseText;
  std::string FactoriesText;
  // A land zone of a nation played here: its resources and buttons.
  bool Owned = false;
  std::string ResourcesText;
  bool RouteResources = false;
  bool BuildFactory = false;
  bool BuildBorderDefense = false;
  bool BuildRockets = false;
  bool BuildAirfield = false;
  bool BuildPort = false;
  bool PortZone = false;
  bool BuildConvoys = false;
  bool BuildLand = false;
  bool BuildAir = false;
  bool BuildSea = false;
  bool Building = false;
  std::int32_t BuildProgress = 0;
  // Land and sea: the owner's flag (its nation index) and hint.
  bool Flag = false;
  std::int32_t FlagNation = -1;
  std::string FlagHint;
  // The route quantity's maximum: the resources, truncated.
  std::int32_t QuantityMax = 0;
};

// "No", "Light", "Moderate" or "Heavy" + " Industry [" industry "]".
std::string IndustryText(std::int32_t Industry);
// The zone tab for Zone with Current the nation whose orders are entered.
TZonePanel ZonePanelState(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, const TNation* Current);
// The units the zone's list shows, in the zone's order: every unit but the submerged fleets of
// nations played elsewhere.
std::vector<TUnit*> ListedUnits(const TBrenmoorZone& Zone);

struct TUnitPanel {
  // No nation played here sees the zone (in a game with human players): the order controls hide.
  bool Hidden = false;
  // Exactly one unit selected, of a nation played here: its details.
  bool One = false;
  std::int32_t Organization = 0;
  std::string Experience;
  std::string OrderText;
  // The orders every selected unit allows: empty when a unit of a nation played elsewhere is
  // selected after one played here.
  TOrderSet Allowed;
  bool AimRockets = false;
  bool Divide = false;
  bool Merge = false;
  bool Consolidate = false;
};
TUnitPanel UnitPanelState(const TBrenmoorEngine& Engine, const TBrenmoorZone& Zone, const std::vector<TUnit*>& Selected,
                          const TNation* Current);

// The selected units that stay selected when the zone's list is filled again: those still
// listed, in the selection's order; the rest leave the selection.
std::vector<TUnit*> KeptSelection(const std::vector<TUnit*>& Listed, const std::vector<TUnit*>& Selected);
// The nation whose orders are entered after Selected are chosen: each selected unit whose
// owner is one of the nations played here (Local) but not the current one makes its owner
// current, so the last such unit decides; Current otherwise.
TNation* NationOfSelection(const std::vector<TUnit*>& Selected, TNation* Current, const std::vector<TNation*>& Local);

// The zone tab's buttons, in their order on the tab.
enum TZoneButtonKind : std::uint8_t {
  zbRouteResources, zbAutoRoute, zbBorderDefense, zbPortZone, zbBuildFactory, zbBuildRockets, zbBuildAirfield,
  zbBuildPort, zbBuildConvoys, zbBuildLand, zbBuildAir, zbBuildSea, zbGlobalRoute, zbGlobalClear
};
inline constexpr int ZoneButtonCount = 14;
// Whether the zone tab shows the button for the zone's panel: the automatic route and the
// global orders whenever the panel shows, the others as the zone allows.
bool ZoneButtonShown(TZoneButtonKind Button, const TZonePanel& Zone);
// The zone tab's button that a key presses (the upper-case letter): R routes, A routes
// automatically, G and C give the global route and clear; nothing for another letter.
std::optional<TZoneButtonKind> ZoneButtonOfKey(char Upper);
