#pragma once
// What a map click does while the player gives orders, without any window: the seventeen order
// modes with their prompts, what a click on a zone or on a unit of the target list makes of the
// selection (the order records to queue, the refusal to show, the question to ask, the next
// prompt), and what proceeding sends. The main window keeps one of these, shows its results
// and hands the records to the impulse clock.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;
class TUnit;

// The order modes; 0 is the selection, every other mode waits for the click that completes
// its order.
enum TOrderMode : std::uint8_t {
  omNone, omMove, omEmbark, omDisembark, omIntercept, omInvade, omDock, omPatrol, omRouteResources,
  omAutoRoute, omBorderDefense, omAirStrike, omRebase, omBomb, omRecon, omBombard, omAimRockets, omPortZone
};
inline constexpr int OrderModeCount = 18;

// Path costs at which a zone counts as unreachable: moves and resource routes, and the dock and
// bombard paths that search in the engine's path mode.
inline constexpr std::int32_t UnreachableMoveCost = 1000;
inline constexpr std::int32_t UnreachableDockCost = 2000;
// How far rockets reach, and the strongest border defence.
inline constexpr std::int32_t RocketReach = 5;
inline constexpr std::int32_t StrongestBorderDefense = 4;

// What entering a mode shows.
struct TOrderPrompt {
  // The mode was refused (an order mode while no game runs): nothing changed.
  bool Refused = false;
  // The prompt line ("" for the selection).
  std::string Text;
  // The target list is shown.
  bool TargetList = false;
  // The route quantity and its maximum (the selected zone's resources) are shown.
  bool RouteQuantity = false;
  std::int32_t QuantityMax = 0;
};

// What a click on a zone or a target unit, or proceeding, comes to. The window applies it in
// this order: the refusal (error sound, error line, proceed hidden) or the click sound; the
// target list; the question; the records; the mode.
struct TOrderStep {
  // The records to queue now, each "code;field;...;".
  std::vector<std::string> Records;
  // Not empty: the click is refused with this text; the mode stays.
  std::string Refusal;
  // Not empty: a Yes/No question. On Yes the YesRecords are queued and the mode is left (with
  // the click sound); on No nothing happens.
  std::string Question;
  std::vector<std::string> YesRecords;
  // The mode goes back to the selection.
  bool LeaveMode = false;
  // The proceed button shows (else it hides).
  bool ShowProceed = false;
  // The error line hides.
  bool HideError = false;
  // The target list: filled with Targets (the first selected), or hidden.
  bool FillTargets = false;
  bool HideTargets = false;
  std::vector<TUnit*> Targets;
  // The quantity box takes the focus.
  bool FocusQuantity = false;
  // The border defence button hides.
  bool HideBorderDefense = false;
};

// The orders a button gives at once, without a click on the map.
enum TDirectOrder : std::uint8_t {
  doClearOrders, doLaunch, doRetreat, doMerge, doConsolidate, doBaseHere, doAtomic, doReturnToBase,
  doBuildConvoys, doBuildFactory, doSurface, doSubmerge, doBuildRockets, doBuildAirfield, doBuildPort,
  doKamakaze, doGlobalRoute, doGlobalClear
};
inline constexpr int DirectOrderCount = 18;

// What a direct order's button does.
struct TDirectStep {
  std::vector<std::string> Records;
  // The mode goes back to the selection before the records are queued.
  bool LeaveMode = false;
  // The button hides: its order is given and needs no second click.
  bool HideButton = false;
};

class TOrderEntry {
public:
  explicit TOrderEntry(TBrenmoorEngine& Engine) : FEngine(&Engine) {}

  // --- The selection the orders are for ---
  TOrderMode Mode() const { return FMode; }
  TBrenmoorZone* SelectedZone() const { return FSelectedZone; }
  void SetSelectedZone(TBrenmoorZone* Zone) { FSelectedZone = Zone; }
  TNation* CurrentNation() const { return FCurrentNation; }
  void SetCurrentNation(TNation* Nation) { FCurrentNation = Nation; }
  const std::vector<TUnit*>& SelectedUnits() const { return FSelectedUnits; }
  void SetSelectedUnits(std::vector<TUnit*> Units) { FSelectedUnits = std::move(Units); }
  const std::vector<TBrenmoorZone*>& RoutePoints() const { return FRoutePoints; }
  std::int32_t OrderRange() const { return FOrderRange; }
  // The resources to route (the window's quantity box).
  void SetRouteQuantity(std::int32_t Value) { FRouteQuantity = Value; }

  // Enters Mode: any order mode is refused while no game runs (ClockActive false). Mode 0
  // clears the route; patrol and recon start their route at the selected zone; air strike,
  // rebase, bomb and recon take their range from the selected units.
  TOrderPrompt EnterMode(TOrderMode Mode, bool ClockActive);
  // The map click on Zone in an order mode (nothing in the selection).
  TOrderStep ZoneClick(TBrenmoorZone* Zone);
  // A unit chosen in the target list (embark, intercept, rebase onto a carrier).
  TOrderStep TargetClick(TUnit* Target);
  // The proceed button with the target list's chosen unit (nullptr for none): embark,
  // intercept and rebase onto a carrier with a target, patrol and recon with their routes.
  TOrderStep Proceed(TUnit* Target);

  // The records of a direct order for the selection; Depth is the global route's depth.
  TDirectStep Direct(TDirectOrder Order, std::int32_t Depth = 0) const;

  // "Click Destination Zone"... the prompt of a mode with the range it shows.
  static std::string PromptText(TOrderMode Mode, std::int32_t Range);
  // Each unit's identifier followed by "#".
  static std::string UnitListText(const std::vector<TUnit*>& Units);
  // Each zone's index followed by "#".
  static std::string RouteText(const std::vector<TBrenmoorZone*>& Zones);

private:
  // One record per selected unit: code and the unit.
  std::vector<std::string> EachUnitAlone(int Code) const;
  // One record per selected unit: code, the zone's index and the unit.
  std::vector<std::string> EachUnit(int Code, const TBrenmoorZone* Zone) const;
  TOrderStep Refuse(std::string Text) const;
  TOrderStep Leave(std::vector<std::string> Records);
  // The selection's invasion refusal of Zone.
  std::string InvasionRefusal(const TBrenmoorZone* Zone) const;
  // The selection's Need fits the target's Room: proceed; some room: the question of dividing
  // with order DivideCode; none: the Full refusal.
  TOrderStep FitTarget(TUnit* Target, std::int32_t Need, std::int32_t Room, int DivideCode, const char* Question,
                       const char* Full, bool HideError) const;
  // The target list filled with Targets, the first judged, a single fitting target sent.
  TOrderStep OfferTargets(std::vector<TUnit*> Targets, const char* NoneText);
  bool MayAttack(const TBrenmoorZone* Zone) const;
  std::int32_t MovePathCost(TBrenmoorZone* Zone);
  std::int32_t DockPathCost(TBrenmoorZone* From, TBrenmoorZone* To);
  TUnit* FirstUnit() const { return FSelectedUnits.empty() ? nullptr : FSelectedUnits.front(); }

  TBrenmoorEngine* FEngine;
  TOrderMode FMode = omNone;
  TBrenmoorZone* FSelectedZone = nullptr;
  TNation* FCurrentNation = nullptr;
  std::vector<TUnit*> FSelectedUnits;
  std::vector<TBrenmoorZone*> FRoutePoints;
  std::int32_t FOrderRange = 0;
  std::int32_t FRouteQuantity = 0;
  // Where the rebasing units may base: on land only, or on carriers too (every selected unit
  // may base on a carrier, and the target list is offered).
  enum TRebaseBases : std::uint8_t { rbLand, rbLandAndCarriers } FRebaseBases = rbLand;
};

// Why a unit may not take the name a player typed: empty, or holding a character that would
// break the order record (";", "~", "|", "#", "^", "`", "%" or a line break). Nothing when the
// name may go into order 39.
std::optional<std::string> UnitNameRefusal(const std::string& Name);

// What renaming Unit to the name a player typed comes to: order 39 with the unit and the name,
// nothing when the name is unchanged, or the refusal of a name the record cannot carry.
struct TRenameStep {
  std::string Record;
  std::string Refusal;
};
TRenameStep RenameUnit(const TUnit& Unit, const std::string& NewName);

// --- The orders the policy windows give ---

// The colours of the notices on the game screen (window-system colour values).
enum TNoticeColor : std::uint32_t { ncRed = 255, ncGreen = 65280, ncYellow = 65535, ncCyan = 16776960 };

// What the diplomacy window's chosen action comes to: the notice shown (always) and the order
// record (none when the action is refused or no action is left this time).
struct TDiplomacyStep {
  std::string Notice;
  TNoticeColor Color = ncCyan;
  std::string Record;
};
// Current takes diplomatic action Action (a TDiplomaticAction) towards Target: order 27 with a notice in cyan
// naming the action and the nation, while Current has actions left. Pressure on a major power
// and tightening security in a nation whose capital Current does not hold are refused in red.
TDiplomacyStep DiplomacyStep(const TNation& Current, const TNation& Target, int Action);
// The formations order (25) for each of Nations, all with the same weights.
std::vector<std::string> FormationRecords(const std::vector<TNation*>& Nations, const std::string& FormationText);
