// The main window's order entry: the order prompt page, the order-mode buttons, the map clicks
// in each mode, proceed and cancel, and the order records handed to the impulse clock. What a
// click decides lives in TOrderEntry; this file only shows its results.
#include <QComboBox>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QListWidget>
#include <QShortcut>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <optional>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "engine/RealTimeEngine.h"
#include "gamemap/MapOverlay.h"
#include "gamemap/OrderEntry.h"
#include "gamemap/PanelRules.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/TextCodec.h"
#include "sprites/Canvas.h"
#include "sprites/DIBCanvas.h"
#include "sprites/ZoneSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/FormParts.h"
#include "ui/MainForm.h"
#include "ui/UnitLists.h"

namespace {

// The order-mode buttons, in mode order from 1.
constexpr std::array<std::pair<const char*, const char*>, OrderModeCount - 1> ModeButtons{{
    {"btnMove", "Move"},          {"btnEmbark", "Embark"},         {"btnDisembark", "Disembark"},
    {"btnIntercept", "Intercept"}, {"btnInvade", "Invade"},         {"btnDock", "Dock"},
    {"btnPatrol", "Patrol"},      {"btnRouteResources", "Route"},  {"btnAutoRoute", "Auto Route"},
    {"btnBuildBorderDefense", "Border"}, {"btnAirStrike", "Air Strike"}, {"btnRebase", "Rebase"},
    {"btnBomb", "Bomb"},          {"btnRecon", "Recon"},           {"btnBombard", "Bombard"},
    {"btnAimRockets", "Rockets"}, {"btnPortZone", "Port Zone"},
}};

// The order each mode's button stands for on the units tab; the zone's modes (routes, border
// defence, port zone) and the rockets follow the zone instead.
constexpr std::array<TOrderType, OrderModeCount> ModeOrders{
    ordNone,    ordMove,      ordEmbark, ordDisembark, ordIntercept, ordInvade, ordDock, ordPatrol, ordRoute,
    ordAutoRoute, ordBuildBorder, ordAirStrike, ordRebase, ordBomb, ordRecon, ordBombard, ordTargetRockets, ordPortZone};

// The buttons that give their order at once: on the units tab the orders of the selected
// units, on the zone tab those of the selected zone. Order is what the units tab shows them for.
struct TDirectButton {
  const char* Name;
  const char* Caption;
  TDirectOrder Direct;
  bool ZoneTab;
  TOrderType Order;
};
constexpr std::array<TDirectButton, DirectOrderCount> DirectButtons{{
    {"btnClearOrders", "Clear", doClearOrders, false, ordNone},
    {"btnLaunch", "Launch", doLaunch, false, ordLaunch},
    {"btnRetreat", "Retreat", doRetreat, false, ordRetreat},
    {"btnMerge", "Merge", doMerge, false, ordMerge},
    {"btnConsolidate", "Consolidate", doConsolidate, false, ordMerge},
    {"btnBaseHere", "Base Here", doBaseHere, false, ordBaseHere},
    {"btnAtomic", "Atomic", doAtomic, false, ordAtomicBomb},
    {"btnReturnToBase", "Return", doReturnToBase, false, ordReturnToBase},
    {"btnBuildConvoys", "Build Convoys", doBuildConvoys, true, ordBuildUnit},
    {"btnBuildFactory", "Build Factory", doBuildFactory, true, ordBuildFactory},
    {"btnSurface", "Surface", doSurface, false, ordSurface},
    {"btnSubmerge", "Submerge", doSubmerge, false, ordSubmerge},
    {"btnBuildRockets", "Build Rockets", doBuildRockets, true, ordBuildRocket},
    {"btnBuildAirfield", "Build Airfield", doBuildAirfield, true, ordBuildAirfield},
    {"btnBuildPort", "Build Port", doBuildPort, true, ordBuildPort},
    {"btnKamakaze", "Kamikaze", doKamakaze, false, ordKamakaze},
    {"btnGlobalRoute", "Global Route", doGlobalRoute, true, ordGlobalRoute},
    {"btnGlobalClear", "Global Clear", doGlobalClear, true, ordGlobalClear},
}};

}  // namespace

void TfrmMain::CreateOrderControls(TElasticPanel* Game) {
  FOrderEntry = std::make_unique<TOrderEntry>(*FEngine);
  FSurface->AfterSpriteRender = [this](TSpriteSurface&, TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
    surfaceAfterSpriteRender(Canvas, DIBCanvas);
  };
  FSurface->OnZoneClick = [this](TZoneSpriteSurface&, TZone* Zone) {
    RunGuarded([&] { surfaceZoneClick(static_cast<TBrenmoorZone*>(Zone)); });
  };

  // The selected zone's units (several may be chosen) and the forces of the chosen ones.
  auto* Units = findChild<QWidget*>("tabUnits");
  FUnits = new TBrenmoorUnitListBox(Units);
  FUnits->setObjectName("lbUnits");
  FUnits->setGeometry(2, 2, 176, 92);
  FUnits->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FUnits->SetBrenmoorEngine(FEngine.get());
  FUnits->SetCellFlags(FArtwork->findChild<TCellImage*>("cellFlags"));
  connect(FUnits, &QListWidget::itemSelectionChanged, this, [this] { RunGuarded([&] { lbUnitsClick(); }); });
  connect(FUnits, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* Item) {
    RunGuarded([&] { lbUnitsDblClick(FUnits->Units(FUnits->row(Item))); });
  });
  FForces = new TBrenmoorForcesListBox(Units);
  FForces->setObjectName("lbForces");
  FForces->setGeometry(2, 96, 176, 82);
  FForces->setSelectionMode(QAbstractItemView::NoSelection);
  FForces->SetBrenmoorEngine(FEngine.get());
  FForces->SetCellForces(MakeUnitIcons(Units));

  // The order-mode buttons on the units tab.
  auto* Control = new QWidget(Units);
  Control->setObjectName("pnlUnitControl");
  Control->setGeometry(2, 180, 176, 190);
  // Three columns: the mode buttons, then the unit buttons that order at once.
  const auto Cell = [](int I) { return QRect{(I % 3) * 59, (I / 3) * 19, 57, 18}; };
  for (std::size_t I = 0; I < ModeButtons.size(); ++I) {
    TColorButton* Button = MakeButton(Control, ModeButtons[I].first, ModeButtons[I].second, Cell(static_cast<int>(I)));
    Button->setFont(GameFont("Arial", 7, true));
    const int Mode = static_cast<int>(I) + 1;
    Button->OnClick = [this, Mode](TGraphicControl*) { EnterOrderMode(Mode); };
  }
  // The zone's own buttons on the zone tab, shown for a zone played here.
  auto* Owned = new QWidget(findChild<QWidget*>("tabZone"));
  Owned->setObjectName("pnlZoneOwned");
  Owned->setGeometry(2, 180, 176, 190);
  Owned->hide();
  int UnitCell = static_cast<int>(ModeButtons.size());
  int ZoneCell = 0;
  for (const TDirectButton& D : DirectButtons) {
    const QRect Bounds = D.ZoneTab ? QRect{(ZoneCell % 2) * 88, (ZoneCell / 2) * 21, 86, 20} : Cell(UnitCell);
    (D.ZoneTab ? ZoneCell : UnitCell)++;
    TColorButton* Button = MakeButton(D.ZoneTab ? Owned : Control, D.Name, D.Caption, Bounds);
    Button->setFont(GameFont("Arial", D.ZoneTab ? 8 : 7, true));
    const TDirectOrder Order = D.Direct;
    Button->OnClick = [this, Order, Button](TGraphicControl*) { RunGuarded([&] { DirectOrderClick(Order, Button); }); };
  }
  FGlobalRouteDepth = new QSpinBox(Owned);
  FGlobalRouteDepth->setObjectName("spinGlobalRouteDepth");
  FGlobalRouteDepth->setGeometry(88, (ZoneCell / 2 + 1) * 21, 86, 20);
  FGlobalRouteDepth->setRange(1, 99);
  FGlobalRouteDepth->setValue(3);

  // The order prompt page, in front of the tabs while an order waits for its click.
  FOrderTarget = new QWidget(Game);
  FOrderTarget->setObjectName("pnlOrderTarget");
  FOrderTarget->setGeometry(452, 28, 180, 397);
  FOrderTarget->setStyleSheet("background: black;");
  FOrderTarget->hide();
  FOrderPrompt = new QLabel(FOrderTarget);
  FOrderPrompt->setObjectName("lblOrderTarget");
  FOrderPrompt->setGeometry(4, 4, 172, 84);
  FOrderPrompt->setWordWrap(true);
  FOrderPrompt->setFont(GameFont("Arial", 12, true));
  FOrderPrompt->setStyleSheet("color: rgb(0,255,0);");
  FUnitTarget = new TBrenmoorUnitListBox(FOrderTarget);
  FUnitTarget->setObjectName("lbUnitTarget");
  FUnitTarget->setGeometry(4, 92, 172, 140);
  FUnitTarget->hide();
  connect(FUnitTarget, &QListWidget::itemClicked, this, [this] { RunGuarded([&] { lbUnitTargetClick(); }); });
  connect(FUnitTarget, &QListWidget::itemDoubleClicked, this, [this] {
    RunGuarded([&] {
      if (FOrderProceed->isVisible()) btnOrderProceedClick();
    });
  });
  FRouteQtyLabel = new QLabel("Quantity:", FOrderTarget);
  FRouteQtyLabel->setObjectName("lblRouteQty");
  FRouteQtyLabel->setGeometry(4, 238, 80, 20);
  FRouteQtyLabel->setStyleSheet("color: rgb(0,255,0);");
  FRouteQtyLabel->hide();
  FRouteQty = new QSpinBox(FOrderTarget);
  FRouteQty->setObjectName("spinRouteQty");
  FRouteQty->setGeometry(88, 236, 84, 22);
  FRouteQty->hide();
  FOrderError = new QLabel(FOrderTarget);
  FOrderError->setObjectName("lblOrderError");
  FOrderError->setGeometry(4, 262, 172, 70);
  FOrderError->setWordWrap(true);
  FOrderError->setStyleSheet("color: rgb(255,0,0);");
  FOrderError->hide();
  FOrderProceed = MakeButton(FOrderTarget, "btnOrderProceed", "Proceed", {4, 340, 82, 25});
  FOrderProceed->OnClick = [this](TGraphicControl*) { btnOrderProceedClick(); };
  FOrderProceed->hide();
  FOrderCancel = MakeButton(FOrderTarget, "btnOrderCancel", "Cancel", {94, 340, 82, 25});
  FOrderCancel->OnClick = [this](TGraphicControl*) { btnOrderCancelClick(); };

  // Esc cancels and Enter proceeds while an order waits, each only when its button shows.
  auto Key = [this](const char* Name, QKeySequence Sequence, TColorButton* Button, void (TfrmMain::*Handler)()) {
    auto* Shortcut = new QShortcut(Sequence, this);
    Shortcut->setObjectName(Name);
    connect(Shortcut, &QShortcut::activated, this, [this, Button, Handler] {
      if (!FClock->GetActive() || OrderMode() == omNone || !Button->isVisible()) return;
      RunGuarded([&] { (this->*Handler)(); });
    });
  };
  Key("keyEscape", QKeySequence(Qt::Key_Escape), FOrderCancel, &TfrmMain::btnOrderCancelClick);
  Key("keyReturn", QKeySequence(Qt::Key_Return), FOrderProceed, &TfrmMain::btnOrderProceedClick);
  Key("keyEnter", QKeySequence(Qt::Key_Enter), FOrderProceed, &TfrmMain::btnOrderProceedClick);
  // Outside an order mode the space bar centres the map on the current nation's capital.
  auto* Space = new QShortcut(QKeySequence(Qt::Key_Space), this);
  Space->setObjectName("keySpace");
  connect(Space, &QShortcut::activated, this, [this] {
    if (FClock->GetActive() && OrderMode() == omNone) RunGuarded([&] { scrollerCenter(); });
  });
}

void TfrmMain::IssueOrder(std::uint8_t Code, const std::vector<std::string>& Values) {
  std::string Record = std::to_string(Code) + ";";
  for (const std::string& Value : Values) Record += Value + ";";
  IssueOrderRecord(Record);
}

void TfrmMain::IssueOrderRecord(const std::string& Record) { FClock->AddOrder(Record); }

int TfrmMain::OrderMode() const { return FOrderEntry ? FOrderEntry->Mode() : 0; }

void TfrmMain::ShowOrderPrompt(bool Prompt) {
  auto* Pages = findChild<QTabWidget*>("pageControls");
  if (Prompt) {
    FOrderTarget->show();
    FOrderTarget->raise();
    Pages->hide();
  } else {
    FOrderTarget->hide();
    Pages->show();
    Pages->raise();
    Pages->setCurrentIndex(FUnitsTabShowing ? 0 : 1);
  }
}

void TfrmMain::EnterOrderMode(int Mode) {
  if (Mode < 0 || Mode >= OrderModeCount) return;
  FRouteQtyLabel->hide();
  FRouteQty->hide();
  FOrderError->hide();
  FOrderEntry->SetSelectedZone(FSelectedZone);
  FOrderEntry->SetSelectedUnits(FSelectedUnits);
  FOrderEntry->SetCurrentNation(FCurrentNation);
  const TOrderPrompt Prompt = FOrderEntry->EnterMode(static_cast<TOrderMode>(Mode), FClock->GetActive());
  if (Prompt.Refused) return;
  FRoutePoints = FOrderEntry->RoutePoints();
  if (Mode == omNone) {
    FSurfaceView->setCursor(Qt::ArrowCursor);
    FUnitTarget->hide();
    ShowOrderPrompt(false);
    return;
  }
  FSurfaceView->setCursor(ScreenCursor(1));
  ShowOrderPrompt(true);
  FOrderPrompt->setText(ToQString(Prompt.Text));
  FOrderProceed->hide();
  FUnitTarget->clear();
  FUnitTarget->setVisible(Prompt.TargetList);
  if (Prompt.RouteQuantity) {
    FRouteQtyLabel->show();
    FRouteQty->setMaximum(Prompt.QuantityMax);
    FRouteQty->setValue(Prompt.QuantityMax);
    FRouteQty->show();
  }
}

void TfrmMain::ApplyOrderStep(const TOrderStep& Step) {
  FRoutePoints = FOrderEntry->RoutePoints();
  if (!Step.Refusal.empty()) {
    PlaySoundIfEnabled(Sound("sndError"));
    FOrderError->setText(ToQString(Step.Refusal));
    FOrderError->show();
    FOrderProceed->hide();
    if (Step.FocusQuantity) FRouteQty->setFocus();
  } else {
    PlaySoundIfEnabled(Sound("sndClick"));
    if (Step.HideError) FOrderError->hide();
    FOrderProceed->setVisible(Step.ShowProceed);
  }
  if (Step.HideTargets) FUnitTarget->hide();
  if (Step.FillTargets) {
    FUnitTarget->clear();
    for (TUnit* Unit : Step.Targets) FUnitTarget->AddUnit(Unit);
    if (FUnitTarget->count() > 0) FUnitTarget->setCurrentRow(0);
  }
  if (Step.HideBorderDefense)
    if (auto* Border = findChild<QWidget*>("btnBuildBorderDefense")) Border->hide();
  if (!Step.Question.empty() && Prompter().Confirm(Step.Question)) {
    for (const std::string& Record : Step.YesRecords) IssueOrderRecord(Record);
    EnterOrderMode(omNone);
    return;
  }
  for (const std::string& Record : Step.Records) IssueOrderRecord(Record);
  if (Step.LeaveMode) EnterOrderMode(omNone);
}

void TfrmMain::surfaceZoneClick(TBrenmoorZone* Zone) {
  if (!Zone) return;
  if (OrderMode() == omNone) {
    PlaySoundIfEnabled(Sound("sndClick"));
    if (FSelectedZone && FSelectedZone->GetZoneSprite()) FSelectedZone->GetZoneSprite()->SetSelected(false);
    FSelectedZone = Zone;
    if (Zone->GetZoneSprite()) Zone->GetZoneSprite()->SetSelected(true);
    FOrderEntry->SetSelectedZone(Zone);
    UpdateInfoPanels();
    // The zone's first unit is chosen, as if clicked in the list.
    if (FUnits->count() > 0) {
      const QSignalBlocker Quiet(FUnits);
      FUnits->clearSelection();
      FUnits->setCurrentRow(0);
      FUnits->item(0)->setSelected(true);
    }
    lbUnitsClick();
    if (Zone->GetOwner() && Zone->GetOwner()->GetLocalPlayer())
      for (std::size_t I = 0; I < FLocalNations.size(); ++I)
        if (FLocalNations[I] == Zone->GetOwner()) cmbCurrentNationClick(static_cast<int>(I));
    return;
  }
  FOrderEntry->SetRouteQuantity(FRouteQty->value());
  ApplyOrderStep(FOrderEntry->ZoneClick(Zone));
}

void TfrmMain::UpdateInfoPanels() {
  const int Top = FUnits->verticalScrollBar()->value();
  {
    const QSignalBlocker Quiet(FUnits);
    FUnits->clear();
    if (!FSelectedZone) return;
    // The quantity to route never exceeds the zone's resources.
    FRouteQty->setMaximum(static_cast<int>(std::trunc(FSelectedZone->GetResources())));
    const std::vector<TUnit*> Listed = ListedUnits(*FSelectedZone);
    for (TUnit* Unit : Listed) FUnits->AddUnit(Unit);
    // The units still here stay selected.
    FSelectedUnits = KeptSelection(Listed, FSelectedUnits);
    for (int I = 0; I < FUnits->count(); ++I)
      if (std::find(FSelectedUnits.begin(), FSelectedUnits.end(), FUnits->Units(I)) != FSelectedUnits.end())
        FUnits->item(I)->setSelected(true);
  }
  FUnits->verticalScrollBar()->setValue(Top);
  lbUnitsClick();
}

TUnit* TfrmMain::SelectedUnit(int Index) const {
  int Seen = 0;
  for (int I = 0; I < FUnits->count(); ++I)
    if (FUnits->item(I)->isSelected() && Seen++ == Index) return FUnits->Units(I);
  return nullptr;
}

int TfrmMain::SelectedUnitCount() const { return static_cast<int>(FSelectedUnits.size()); }

void TfrmMain::lbUnitsClick() {
  FSelectedUnits.clear();
  // The forces list keeps its scroll position.
  const int ForcesTop = FForces->verticalScrollBar()->value();
  FForces->clear();
  for (int I = 0; I < FUnits->count(); ++I) {
    if (!FUnits->item(I)->isSelected()) continue;
    TUnit* Unit = FUnits->Units(I);
    FForces->AddForcesOf(Unit);
    FSelectedUnits.push_back(Unit);
  }
  FForces->verticalScrollBar()->setValue(ForcesTop);
  TNation* Chosen = NationOfSelection(FSelectedUnits, FCurrentNation, FLocalNations);
  if (Chosen != FCurrentNation)
    for (std::size_t I = 0; I < FLocalNations.size(); ++I)
      if (FLocalNations[I] == Chosen) {
        findChild<QComboBox*>("cmbCurrentNation")->setCurrentIndex(static_cast<int>(I));
        cmbCurrentNationClick(static_cast<int>(I));
      }
  FOrderEntry->SetSelectedUnits(FSelectedUnits);
  UpdateUnitPanel();
}

void TfrmMain::UpdateUnitPanel() {
  if (!FSelectedZone) return;
  const TUnitPanel Units = UnitPanelState(*FEngine, *FSelectedZone, FSelectedUnits, FCurrentNation);
  const TZonePanel Zone = ZonePanelState(*FEngine, *FSelectedZone, FCurrentNation);
  for (int Mode = 1; Mode < OrderModeCount; ++Mode) {
    auto* Button = findChild<TColorButton*>(ModeButtons[static_cast<std::size_t>(Mode - 1)].first);
    bool Shown = !Units.Hidden && Units.Allowed.Contains(ModeOrders[static_cast<std::size_t>(Mode)]);
    switch (Mode) {
    case omRouteResources: Shown = Zone.Owned && Zone.RouteResources; break;
    case omAutoRoute: Shown = Zone.Owned; break;
    case omBorderDefense: Shown = Zone.Owned && Zone.BuildBorderDefense; break;
    case omPortZone: Shown = Zone.Owned && Zone.PortZone; break;
    case omAimRockets: Shown = Units.AimRockets; break;
    default: break;
    }
    Button->setVisible(Shown);
  }
  for (const TDirectButton& D : DirectButtons) {
    auto* Button = findChild<TColorButton*>(D.Name);
    bool Shown = false;
    switch (D.Direct) {
    case doMerge: Shown = !Units.Hidden && Units.Merge; break;
    case doConsolidate: Shown = !Units.Hidden && Units.Consolidate; break;
    case doBuildConvoys: Shown = Zone.BuildConvoys; break;
    case doBuildFactory: Shown = Zone.BuildFactory; break;
    case doBuildRockets: Shown = Zone.BuildRockets; break;
    case doBuildAirfield: Shown = Zone.BuildAirfield; break;
    case doBuildPort: Shown = Zone.BuildPort; break;
    case doGlobalRoute:
    case doGlobalClear: Shown = Zone.Owned; break;
    default: Shown = !Units.Hidden && Units.Allowed.Contains(D.Order); break;
    }
    Button->setVisible(Shown);
  }
  findChild<QWidget*>("pnlZoneOwned")->setVisible(Zone.Owned);
}

void TfrmMain::lbUnitTargetClick() {
  TUnit* Target = FUnitTarget->currentRow() >= 0 ? FUnitTarget->Units(FUnitTarget->currentRow()) : nullptr;
  if (!Target) return;
  FOrderProceed->hide();
  ApplyOrderStep(FOrderEntry->TargetClick(Target));
}

void TfrmMain::btnOrderProceedClick() {
  TUnit* Target = FUnitTarget->isVisible() && FUnitTarget->currentRow() >= 0 ? FUnitTarget->Units(FUnitTarget->currentRow())
                                                                           : nullptr;
  const TOrderStep Step = FOrderEntry->Proceed(Target);
  for (const std::string& Record : Step.Records) IssueOrderRecord(Record);
  if (Step.LeaveMode) EnterOrderMode(omNone);
}

void TfrmMain::DirectOrderClick(TDirectOrder Order, QWidget* Button) {
  FOrderEntry->SetSelectedZone(FSelectedZone);
  FOrderEntry->SetSelectedUnits(FSelectedUnits);
  FOrderEntry->SetCurrentNation(FCurrentNation);
  const TDirectStep Step = FOrderEntry->Direct(Order, FGlobalRouteDepth->value());
  if (Step.HideButton) Button->hide();
  if (Step.LeaveMode) EnterOrderMode(omNone);
  for (const std::string& Record : Step.Records) IssueOrderRecord(Record);
}

void TfrmMain::lbUnitsDblClick(TUnit* Unit) {
  if (!Unit || !Unit->GetOwner() || !Unit->GetOwner()->GetLocalPlayer()) return;
  const std::optional<std::string> Typed = Prompter().InputText("Rename Unit", "New Name:", Unit->GetName());
  if (!Typed) return;
  const TRenameStep Step = RenameUnit(*Unit, *Typed);
  if (!Step.Refusal.empty()) Prompter().ShowMessage(Step.Refusal);
  if (!Step.Record.empty()) IssueOrderRecord(Step.Record);
}

void TfrmMain::btnOrderCancelClick() { EnterOrderMode(omNone); }

void TfrmMain::surfaceAfterSpriteRender(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  Canvas.Brush().SetStyle(bsClear);
  --FAnimationPhase;
  const TOverlayView View{FSurface->GetOffsetX(), FSurface->GetOffsetY(), FSurface->GetVirtualWidth(),
                          FSurface->GetVirtualHeight()};
  auto* ShowOrders = findChild<TColorButton*>("btnShowOrders");
  const TOverlayShapes Shapes = TMapOverlay(*FEngine).Compute(FSelectedZone, FSelectedUnits, FRoutePoints,
                                                              ShowOrders && ShowOrders->Down(), View, FAnimationPhase);
  static constexpr TPenStyle Pens[] = {psSolid, psDot, psDash};
  for (const TOverlayLine& Line : Shapes.Lines) {
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Pen().SetColor(Line.Color);
    Canvas.Pen().SetStyle(Pens[Line.Pen]);
    Canvas.MoveTo(Line.From.X, Line.From.Y);
    Canvas.LineTo(Line.To.X, Line.To.Y);
    Canvas.Pen().SetStyle(psSolid);
  }
  for (const TOverlayMark& Mark : Shapes.Marks) {
    const TPoint P = Mark.At;
    if (!Mark.Filled) {
      Canvas.Brush().SetStyle(bsClear);
      Canvas.Pen().SetColor(Mark.Color);
      Canvas.Rectangle(P.X - 2, P.Y - 2, P.X + 2, P.Y + 2);
    } else if (!Mark.Label.empty()) {
      Canvas.Brush().SetColor(Mark.Color);
      Canvas.Font().SetColor(clBlack);
      Canvas.TextOut(P.X - Canvas.TextWidth(Mark.Label) / 2, P.Y, Mark.Label);
    } else {
      Canvas.Brush().SetColor(Mark.Color);
      Canvas.FillRect({P.X - 2, P.Y - 2, P.X + 2, P.Y + 2});
    }
  }
  DIBCanvas.SetPenColor(SupplyRouteColorIndex);
  DIBCanvas.SetBrushColor(SupplyRouteColorIndex);
  for (const TSupplyRoute& Route : Shapes.SupplyRoutes) {
    DIBCanvas.MoveTo(Route.From.X, Route.From.Y);
    DIBCanvas.LineTo(Route.To.X, Route.To.Y);
    for (const TPoint& Dot : Route.Dots) DIBCanvas.FillCircle(Dot.X, Dot.Y, 2);
  }
}
