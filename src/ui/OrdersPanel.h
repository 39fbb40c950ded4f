#pragma once
// The game screen's orders and panels beside the map: the units tab (the selected zone's units,
// their forces, one unit's details and the order buttons), the zone tab (what a land zone is and
// the orders of a zone played here), the order prompt page in front of them while an order
// waits for its click, the map's zone clicks in each order mode, the orders given through the
// policy windows, the game's keys and the order lines drawn over the map. What a click decides
// lives in TOrderEntry and the panel rules; this class only shows their results and hands the
// order records to the impulse clock.
#include <QObject>
#include <QString>
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "screens/OrderEntry.h"
#include "screens/PanelRules.h"

class QLabel;
class QSpinBox;
class QTabWidget;
class QWidget;
class TBrenmoorForcesListBox;
class TBrenmoorOrderButton;
class TBrenmoorUnitListBox;
class TBrenmoorZone;
class TCanvas;
class TColorButton;
class TColorProgressBar;
class TDIBCanvas;
class TElasticPanel;
class TGraphicPanel;
class TUnit;
class TfrmMain;
struct TGameBars;
enum TUnitKind : std::uint8_t;

// A QObject so that the list and tab connections end with it.
class TOrdersPanel : public QObject {
public:
  // Builds the tabs' contents on Pages (its units and zone pages) and the order prompt page on
  // Game, and takes the map's zone clicks and frames and the game's keys. Bars: the toolbar and
  // status bar widgets the panels show into.
  TOrdersPanel(TfrmMain& Main, TElasticPanel& Game, QTabWidget& Pages, TGameBars& Bars);
  ~TOrdersPanel() override;
  TOrdersPanel(const TOrdersPanel&) = delete;
  TOrdersPanel& operator=(const TOrdersPanel&) = delete;

  // The selected zone's units and the target list (the start and the close of a game empty them).
  TBrenmoorUnitListBox* UnitsList() const { return FUnits; }
  TBrenmoorUnitListBox* TargetList() const { return FUnitTarget; }
  TBrenmoorForcesListBox* ForcesList() const { return FForces; }

  // --- Order records ---
  // One order record: Code ";" then each value followed by ";", handed to the impulse clock,
  // which queues it for the next impulse (the rules judge it then).
  void IssueOrder(std::uint8_t Code, const std::vector<std::string>& Values);
  void IssueOrderRecord(const std::string& Record);

  // --- The order mode ---
  // Mode 0 is the selection; modes 1..17 wait for the map click (or the target) that
  // completes their order. An order mode is refused while no game runs.
  void EnterOrderMode(int Mode);
  int OrderMode() const { return FEntry->Mode(); }
  // The map's zone click: the selection in mode 0, else the order mode's click.
  void surfaceZoneClick(TBrenmoorZone* Zone);
  void btnOrderProceedClick();
  void btnOrderCancelClick();
  // A button that gives its order at once (clear orders, launch... global clear); a button
  // whose order needs no second click hides.
  void DirectOrderClick(TDirectOrder Order, QWidget* Button);
  // The target list's chosen unit in the embark, intercept and carrier modes.
  void lbUnitTargetClick();
  // A double click on a target proceeds when proceeding is offered.
  void lbUnitTargetDblClick();
  // A double click on the quantity to route: all the zone's resources.
  void spinRouteQtyDblClick();

  // --- The panels ---
  // The selected zone's units listed again (keeping those still selected), then the
  // selection's state rebuilt as by a click in the list.
  void UpdateInfoPanels();
  // The units list's selection changed: the selected units and their forces follow it, and a
  // unit of another nation played here makes that nation current.
  void lbUnitsClick();
  // The unit of the Index-th selected line of the units list (nullptr when fewer are selected).
  TUnit* SelectedUnit(int Index) const;
  int SelectedUnitCount() const;
  // The order buttons that the selected zone and units allow.
  void UpdateUnitPanel();
  // A double click on a unit of a nation played here asks for its new name.
  void lbUnitsDblClick(TUnit* Unit);
  // The tab in front while no order waits: the units tab or the zone tab.
  enum TControlTab : std::uint8_t { ctUnits, ctZone };
  TControlTab ControlTab() const { return FControlTab; }
  bool UnitsTabShowing() const { return FControlTab == ctUnits; }
  void pageControlsChange(int Index);
  // The map centred on the current nation's capital (the compass and the space bar).
  void scrollerCenter();

  // --- The orders given through a window ---
  // Divide the first selected unit; build units of a kind in the selected zone; the formations
  // of every nation played here; the research and the diplomacy of the current nation (with
  // its notice).
  void btnDivideClick();
  void BuildUnits(TUnitKind Kind);
  void btnFormationsClick();
  void btnResearchClick();
  void btnDiplomacyClick();

  // The engine's report of a unit leaving the game: no list keeps it; when it was selected
  // while a game runs, the order mode ends and the panels are refreshed.
  void brmRemoveUnit(TUnit* Unit);
  // A key of the game screen (seen before its controls): Esc and Enter in an order mode, the
  // space bar, the order buttons' letters, R/A/G/C on the zone tab, F5. Only while a game
  // runs; true when the key was used.
  bool FormKeyDown(int Key, const QString& Text);
  // Each rendered frame, after the sprites: the port link, rocket target, order lines, the
  // route being entered and the supply routes with their moving dots, and the banner.
  void surfaceAfterSpriteRender(TCanvas& Canvas, TDIBCanvas& DIBCanvas);

private:
  void CreateUnitsTab(QWidget& Units);
  // The units tab's order buttons, each giving its order or entering its mode.
  void CreateUnitButtons();
  // The units tab shows no details and no order buttons.
  void HideUnitControl();
  void CreateZoneTab(QWidget& ZoneTab);
  void CreateLandZonePanel(QWidget& ZoneTab);
  void CreateOrderPrompt(TElasticPanel& Game);
  // Shows what a click in an order mode came to: the refusal or the click sound, the target
  // list, the question, the records and the mode.
  void ApplyOrderStep(const TOrderStep& Step);
  // The order prompt page in front (an order mode) or the control tabs (the selection).
  void ShowOrderPrompt(bool Prompt);
  // The zone tab for the selected zone.
  void UpdateZoneTab();
  // The window's selection and current nation handed to the order entry.
  void ShareSelection();

  TfrmMain& FMain;
  TGameBars& FBars;
  QTabWidget& FPages;
  std::unique_ptr<TOrderEntry> FEntry;
  TControlTab FControlTab = ctUnits;
  // The route being entered, as the order entry last left it.
  std::vector<TBrenmoorZone*> FRoutePoints;
  // Falls by one each rendered frame: the supply routes' dots travel with it.
  std::int32_t FAnimationPhase = 0;

  // The units tab.
  TBrenmoorUnitListBox* FUnits = nullptr;
  TBrenmoorForcesListBox* FForces = nullptr;
  QWidget* FUnitControl = nullptr;
  QLabel* FOrgLabel = nullptr;
  TColorProgressBar* FOrganization = nullptr;
  QLabel* FExpLabel = nullptr;
  TGraphicPanel* FExperience = nullptr;
  TGraphicPanel* FOrderDesc = nullptr;
  std::array<TBrenmoorOrderButton*, 25> FUnitButtons{};
  // The zone tab.
  QLabel* FZoneFlagMain = nullptr;
  QWidget* FLandZone = nullptr;
  QLabel* FZoneNameMain = nullptr;
  QLabel* FZoneValue = nullptr;
  QLabel* FResourceBonusPicture = nullptr;
  QLabel* FResourceBonus = nullptr;
  QLabel* FTerrainDefense = nullptr;
  QLabel* FZoneFactories = nullptr;
  QWidget* FZoneOwned = nullptr;
  QLabel* FZoneResources = nullptr;
  std::array<TColorButton*, ZoneButtonCount> FZoneButtons{};
  QSpinBox* FGlobalRouteDepth = nullptr;
  TGraphicPanel* FBuilding = nullptr;
  TColorProgressBar* FBuildProgress = nullptr;
  // The order prompt page.
  QWidget* FOrderTarget = nullptr;
  QLabel* FOrderPrompt = nullptr;
  QLabel* FOrderError = nullptr;
  QLabel* FRouteQtyLabel = nullptr;
  QSpinBox* FRouteQty = nullptr;
  TBrenmoorUnitListBox* FUnitTarget = nullptr;
  TColorButton* FOrderProceed = nullptr;
  TColorButton* FOrderCancel = nullptr;
};
