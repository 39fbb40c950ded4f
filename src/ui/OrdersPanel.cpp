// The game screen's orders and panels beside the map: the order prompt page, the units and zone
// tabs with their order buttons, the map clicks in each mode, proceed and cancel, and the order
// records handed to the impulse clock. What a click decides lives in TOrderEntry and the panel
// rules; this file only shows their results.
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTextEdit>
#include <QTimer>
#include <QLabel>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QListWidget>
#include <QSpinBox>
#include <QTabWidget>
#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <optional>
#include <string_view>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ColorProgressBar.h"
#include "controls/GraphicPanel.h"
#include "controls/TransparentGlyph.h"
#include "controls/ElasticPanel.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/OrderRecord.h"
#include "engine/Unit.h"
#include "engine/RealTimeEngine.h"
#include "foundation/NumberText.h"
#include "gamemap/GameArt.h"
#include "gamemap/MapOverlay.h"
#include "screens/OrderEntry.h"
#include "screens/PanelRules.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/TextCodec.h"
#include "sprites/Bitmap.h"
#include "sprites/Canvas.h"
#include "sprites/DIBCanvas.h"
#include "sprites/ZoneSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/FormParts.h"
#include "ui/BuildUnitForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/DivideUnitForm.h"
#include "ui/FormationsForm.h"
#include "ui/GameWindows.h"
#include "ui/GameBars.h"
#include "ui/MainForm.h"
#include "ui/OrdersPanel.h"
#include "ui/ResearchForm.h"
#include "ui/UnitLists.h"

namespace {

// What a button of the control tabs does: enter an order mode, give a direct order, open the
// divide window or the build window of a kind.
enum TButtonAction : std::uint8_t { baMode, baDirect, baDivide, baBuild };

// The units tab's order buttons (pnlUnitControl): each stands for the order it gives, shows only
// while every selected unit may take it, and is clicked by its hot letter.
struct TUnitButton {
  const char* Name;
  const char* Caption;
  char Hot;
  TOrderType Order;
  TButtonAction Action;
  int Value;  // the mode or the direct order
};
constexpr std::array<TUnitButton, 25> UnitButtons{{
    {"btnMove", "Move", 'M', ordMove, baMode, omMove},
    {"btnEmbark", "Embark", 'E', ordEmbark, baMode, omEmbark},
    {"btnDisembark", "Disembark", 'D', ordDisembark, baMode, omDisembark},
    {"btnIntercept", "Intercept", 'I', ordIntercept, baMode, omIntercept},
    {"btnInvade", "Invade", 'V', ordInvade, baMode, omInvade},
    {"btnDock", "Dock", 'K', ordDock, baMode, omDock},
    {"btnPatrol", "Patrol", 'P', ordPatrol, baMode, omPatrol},
    {"btnAirStrike", "Air Strike", 'S', ordAirStrike, baMode, omAirStrike},
    {"btnRebase", "Rebase", 'B', ordRebase, baMode, omRebase},
    {"btnBomb", "Bomb", 'O', ordBomb, baMode, omBomb},
    {"btnRecon", "Recon", 'N', ordRecon, baMode, omRecon},
    {"btnBombard", "Bombard", 'R', ordBombard, baMode, omBombard},
    {"btnAimRockets", "Rockets", 'T', ordTargetRockets, baMode, omAimRockets},
    {"btnClearOrders", "Clear", 'C', ordNone, baDirect, doClearOrders},
    {"btnLaunch", "Launch", 'L', ordLaunch, baDirect, doLaunch},
    {"btnRetreat", "Retreat", 'A', ordRetreat, baDirect, doRetreat},
    {"btnMerge", "Merge", 'G', ordMerge, baDirect, doMerge},
    {"btnConsolidate", "Consolidate", 'Q', ordMerge, baDirect, doConsolidate},
    {"btnDivide", "Divide", 'W', ordDivide, baDivide, 0},
    {"btnBaseHere", "Base Here", 'H', ordBaseHere, baDirect, doBaseHere},
    {"btnAtomic", "Atomic", 'X', ordAtomicBomb, baDirect, doAtomic},
    {"btnReturnToBase", "Return", 'U', ordReturnToBase, baDirect, doReturnToBase},
    {"btnSurface", "Surface", 'F', ordSurface, baDirect, doSurface},
    {"btnSubmerge", "Submerge", 'Y', ordSubmerge, baDirect, doSubmerge},
    {"btnKamakaze", "Kamikaze", 'Z', ordKamakaze, baDirect, doKamakaze},
}};

// The pictures of the order buttons are this high at most.
constexpr int OrderGlyphHeight = 16;
// The zone tab's buttons stand in two columns under the zone's resources.
QRect ZoneButtonCell(int I) { return QRect{(I % 2) * 88, 20 + (I / 2) * 21, 86, 20}; }
// The units tab's order buttons stand in two columns under the unit's details.
QRect UnitButtonCell(int I) { return QRect{(I % 2) * 88, 38 + (I / 2) * 19, 86, 18}; }

// The zone tab's buttons (pnlZoneOwned), for a land zone played here, in the order of their
// kinds.
struct TZoneButton {
  TZoneButtonKind Kind;
  const char* Name;
  const char* Caption;
  TButtonAction Action;
  int Value;  // the mode, the direct order or the kind built
};
constexpr std::array<TZoneButton, ZoneButtonCount> ZoneButtons{{
    {zbRouteResources, "btnRouteResources", "Route", baMode, omRouteResources},
    {zbAutoRoute, "btnAutoRoute", "Auto Route", baMode, omAutoRoute},
    {zbBorderDefense, "btnBuildBorderDefense", "Border Defense", baMode, omBorderDefense},
    {zbPortZone, "btnPortZone", "Port Zone", baMode, omPortZone},
    {zbBuildFactory, "btnBuildFactory", "Build Factory", baDirect, doBuildFactory},
    {zbBuildRockets, "btnBuildRockets", "Build Rockets", baDirect, doBuildRockets},
    {zbBuildAirfield, "btnBuildAirfield", "Build Airfield", baDirect, doBuildAirfield},
    {zbBuildPort, "btnBuildPort", "Build Port", baDirect, doBuildPort},
    {zbBuildConvoys, "btnBuildConvoys", "Build Convoys", baDirect, doBuildConvoys},
    {zbBuildLand, "btnBuildLand", "Build Land", baBuild, ukArmy},
    {zbBuildAir, "btnBuildAir", "Build Air", baBuild, ukAirForce},
    {zbBuildSea, "btnBuildSea", "Build Sea", baBuild, ukNavy},
    {zbGlobalRoute, "btnGlobalRoute", "Global Route", baDirect, doGlobalRoute},
    {zbGlobalClear, "btnGlobalClear", "Global Clear", baDirect, doGlobalClear},
}};

QLabel* PanelLabel(QWidget* Parent, const char* Name, const QRect& Bounds, int Size = 8) {
  return MakeGreenLabel(Parent, Name, Bounds, Size);
}

TGraphicPanel* InfoPanel(QWidget* Parent, const char* Name, const QRect& Bounds) {
  auto* Panel = new TGraphicPanel(Parent);
  Panel->setObjectName(Name);
  Panel->setGeometry(Bounds);
  Panel->SetColor(QColor(0, 64, 0));
  Panel->SetFontColor(QColor(0, 255, 0));
  Panel->SetColorHighlight(Qt::black);
  Panel->SetColorShadow(QColor(0, 255, 0));
  Panel->setFont(GameFont("Arial", 7, true));
  return Panel;
}

TColorProgressBar* ProgressBar(QWidget* Parent, const char* Name, const QRect& Bounds) {
  auto* Bar = new TColorProgressBar(Parent);
  Bar->setObjectName(Name);
  Bar->setGeometry(Bounds);
  Bar->SetMax(100);
  Bar->SetValueLow(33);
  Bar->SetValueMedium(66);
  return Bar;
}

}  // namespace

namespace {
// Looks at the keys of the main window before its controls do (a list would take a letter for
// its search): the game's keys act only while a game runs; text boxes keep their keys.
class TGameKeys : public QObject {
public:
  TGameKeys(TOrdersPanel& Panel, const TfrmMain& Main) : QObject(&Panel), FPanel(Panel), FMain(&Main) {}

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override {
    if (Event->type() != QEvent::KeyPress) return false;
    auto* Widget = qobject_cast<QWidget*>(Watched);
    if (!Widget || Widget->window() != FMain) return false;
    if (qobject_cast<QLineEdit*>(Widget) || qobject_cast<QAbstractSpinBox*>(Widget) ||
        qobject_cast<QTextEdit*>(Widget) || qobject_cast<QPlainTextEdit*>(Widget))
      return false;
    const auto* Key = static_cast<QKeyEvent*>(Event);
    bool Handled = false;
    RunGuarded([&] { Handled = FPanel.FormKeyDown(Key->key(), Key->text()); });
    return Handled;
  }

private:
  TOrdersPanel& FPanel;
  const TfrmMain* FMain;
};
}  // namespace

namespace {
// Calls OnDouble on a double click into the watched control.
class TDoubleClicks : public QObject {
public:
  TDoubleClicks(QObject* Parent, std::function<void()> OnDouble) : QObject(Parent), FOnDouble(std::move(OnDouble)) {}

protected:
  bool eventFilter(QObject*, QEvent* Event) override {
    if (Event->type() != QEvent::MouseButtonDblClick) return false;
    RunGuarded(FOnDouble);
    return true;
  }

private:
  std::function<void()> FOnDouble;
};
}  // namespace

namespace {
// The port picture drawn on the selected zone's port zone (nullptr when its file is missing).
const TBitmap* PortPicture() {
  static const std::optional<TBitmap> Picture = []() -> std::optional<TBitmap> {
    try {
      return TBitmap::LoadFromFile(FromQString(GamePicturePath(GameArt::IconSheets[4])));
    } catch (const std::exception&) {
      return std::nullopt;
    }
  }();
  return Picture ? &*Picture : nullptr;
}
void DrawOverlay(TCanvas& Canvas, TDIBCanvas& DIBCanvas, const TOverlayShapes& Shapes);
// An order button shows its small picture before the caption (the larger toolbar pictures
// do not fit).
void SetOrderGlyph(TColorButton& Button, const QImage& Glyph) {
  if (!Glyph.isNull() && Glyph.height() <= OrderGlyphHeight)
    Button.SetGlyph(MakeGlyphTransparent(QPixmap::fromImage(Glyph)));
}


constexpr bool ZoneButtonsInKindOrder() {
  for (std::size_t I = 0; I < ZoneButtons.size(); ++I)
    if (static_cast<std::size_t>(ZoneButtons[I].Kind) != I) return false;
  return true;
}
static_assert(ZoneButtonsInKindOrder());
// The unit buttons whose showing the zone and the selection's size decide.
constexpr std::size_t UnitButtonIndex(std::string_view Name) {
  for (std::size_t I = 0; I < UnitButtons.size(); ++I)
    if (Name == UnitButtons[I].Name) return I;
  return UnitButtons.size();
}
constexpr std::size_t AimRocketsButton = UnitButtonIndex("btnAimRockets");
constexpr std::size_t DivideButton = UnitButtonIndex("btnDivide");
constexpr std::size_t MergeButton = UnitButtonIndex("btnMerge");
constexpr std::size_t ConsolidateButton = UnitButtonIndex("btnConsolidate");
static_assert(AimRocketsButton < UnitButtons.size() && DivideButton < UnitButtons.size() &&
              MergeButton < UnitButtons.size() && ConsolidateButton < UnitButtons.size());

}  // namespace

TOrdersPanel::TOrdersPanel(TfrmMain& Main, TElasticPanel& Game, QTabWidget& Pages, TGameBars& Bars)
    : FMain(Main), FBars(Bars), FPages(Pages), FEntry(std::make_unique<TOrderEntry>(Main.brm())) {
  TZoneSpriteSurface& Surface = FMain.surface();
  Surface.AfterSpriteRender = [this](TSpriteSurface&, TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
    surfaceAfterSpriteRender(Canvas, DIBCanvas);
  };
  Surface.OnZoneClick = [this](TZoneSpriteSurface&, TZone* Zone) {
    RunGuarded([&] { surfaceZoneClick(static_cast<TBrenmoorZone*>(Zone)); });
  };
  connect(&FPages, &QTabWidget::currentChanged, this, [this](int Index) { pageControlsChange(Index); });

  CreateUnitsTab(*FPages.widget(0));
  CreateZoneTab(*FPages.widget(1));
  CreateOrderPrompt(Game);

  // The game's keys, seen before the controls see them.
  qApp->installEventFilter(new TGameKeys(*this, FMain));
  // The toolbar's policy windows.
  FBars.Diplomacy->OnClick = [this](TGraphicControl*) { btnDiplomacyClick(); };
}

TOrdersPanel::~TOrdersPanel() {
  // The map outlives the panel: it no longer reports to it.
  FMain.surface().AfterSpriteRender = nullptr;
  FMain.surface().OnZoneClick = nullptr;
}

void TOrdersPanel::CreateUnitsTab(QWidget& Units) {
  // The selected zone's units (several may be chosen) and the forces of the chosen ones.
  FUnits = new TBrenmoorUnitListBox(&Units);
  FUnits->setObjectName("lbUnits");
  FUnits->setGeometry(2, 2, 176, 80);
  FUnits->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FUnits->SetBrenmoorEngine(&FMain.brm());
  FUnits->SetCellFlags(FBars.Flags);
  connect(FUnits, &QListWidget::itemSelectionChanged, this, [this] { RunGuarded([&] { lbUnitsClick(); }); });
  connect(FUnits, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* Item) {
    RunGuarded([&] { lbUnitsDblClick(FUnits->Units(FUnits->row(Item))); });
  });
  FForces = new TBrenmoorForcesListBox(&Units);
  FForces->setObjectName("lbForces");
  FForces->setGeometry(2, 84, 176, 66);
  FForces->setSelectionMode(QAbstractItemView::NoSelection);
  FForces->SetBrenmoorEngine(&FMain.brm());
  FForces->SetCellForces(MakeUnitIcons(&Units));

  // The units tab: the details of one selected unit above its order buttons.
  FUnitControl = new QWidget(&Units);
  QWidget* Control = FUnitControl;
  Control->setObjectName("pnlUnitControl");
  Control->setGeometry(2, 152, 176, 220);
  FOrgLabel = PanelLabel(Control, "lblOrg", {0, 1, 24, 14}, 7);
  FOrgLabel->setText("Org:");
  FOrganization = ProgressBar(Control, "progOrganization", {24, 1, 62, 14});
  FExpLabel = PanelLabel(Control, "lblExp", {90, 1, 24, 14}, 7);
  FExpLabel->setText("Exp:");
  FExperience = InfoPanel(Control, "gpnlExperienceLevel", {114, 0, 62, 16});
  FOrderDesc = InfoPanel(Control, "gpnlOrderDesc", {0, 18, 176, 16});
  CreateUnitButtons();
  // Nothing is chosen yet: no details and no orders.
  HideUnitControl();
}

void TOrdersPanel::CreateUnitButtons() {
  QWidget* Control = FUnitControl;
  // Two columns of order buttons, in the table's order.
  for (std::size_t I = 0; I < UnitButtons.size(); ++I) {
    const TUnitButton& B = UnitButtons[I];
    auto* Button = new TBrenmoorOrderButton(Control);
    FUnitButtons[I] = Button;
    FMain.MakeButton(Control, B.Name, B.Caption, UnitButtonCell(static_cast<int>(I)), false, Button);
    Button->setFont(GameFont("Arial", 7, true));
    SetOrderGlyph(*Button, FMain.LoadArt(Button->objectName()));
    Button->SetOrder(B.Order);
    // The hot letter lights up in the caption where the caption holds it.
    const qsizetype At = QString(B.Caption).indexOf(QChar(B.Hot), 0, Qt::CaseInsensitive);
    if (At >= 0) Button->SetHighlightChar(QString(B.Caption).at(At));
    const TButtonAction Action = B.Action;
    const int Value = B.Value;
    Button->OnClick = [this, Action, Value, Button](TGraphicControl*) {
      RunGuarded([&] {
        if (Action == baMode) EnterOrderMode(Value);
        else if (Action == baDivide) btnDivideClick();
        else DirectOrderClick(static_cast<TDirectOrder>(Value), Button);
      });
    };
  }
}

void TOrdersPanel::HideUnitControl() {
  for (QWidget* Detail : std::initializer_list<QWidget*>{FOrgLabel, FOrganization, FExpLabel, FExperience, FOrderDesc})
    Detail->hide();
  for (TBrenmoorOrderButton* Button : FUnitButtons) Button->hide();
}

void TOrdersPanel::CreateLandZonePanel(QWidget& ZoneTab) {
  // The flag of the zone's owner and the panel of what a land zone is; beside the zone's bonus
  // the status bar's resources picture.
  FZoneFlagMain = new QLabel(&ZoneTab);
  FZoneFlagMain->setObjectName("imZoneFlagMain");
  FZoneFlagMain->setGeometry(146, 4, 28, 20);
  FZoneFlagMain->setScaledContents(true);
  FZoneFlagMain->hide();
  auto* LandZone = new TElasticPanel(&ZoneTab);
  FLandZone = LandZone;
  LandZone->setObjectName("pnlLandZone");
  LandZone->setGeometry(2, 2, 142, 104);
  FZoneNameMain = PanelLabel(LandZone, "lblZoneNameMain", {2, 2, 140, 22}, 11);
  FZoneValue = PanelLabel(LandZone, "lblZoneValue", {2, 26, 140, 16});
  FResourceBonusPicture = new QLabel(LandZone);
  FResourceBonusPicture->setObjectName("imZoneResourceBonus");
  FResourceBonusPicture->setGeometry(2, 44, 16, 16);
  FResourceBonusPicture->setScaledContents(true);
  if (FBars.ResourcesPicture) FResourceBonusPicture->setPixmap(FBars.ResourcesPicture->pixmap());
  FResourceBonus = PanelLabel(LandZone, "lblZoneResourceBonus", {20, 44, 122, 16});
  FTerrainDefense = PanelLabel(LandZone, "lblTerrainDefense", {2, 62, 140, 16});
  FZoneFactories = PanelLabel(LandZone, "lblZoneFactories", {2, 80, 140, 16});
  LandZone->hide();
}

void TOrdersPanel::CreateZoneTab(QWidget& ZoneTab) {
  // The zone tab: what a land zone is, then the orders of a zone played here.
  CreateLandZonePanel(ZoneTab);
  FZoneOwned = new QWidget(&ZoneTab);
  QWidget* Owned = FZoneOwned;
  Owned->setObjectName("pnlZoneOwned");
  Owned->setGeometry(2, 108, 176, 264);
  Owned->hide();
  FZoneResources = PanelLabel(Owned, "lblZoneResources", {2, 0, 172, 18}, 10);
  for (std::size_t I = 0; I < ZoneButtons.size(); ++I) {
    const TZoneButton& B = ZoneButtons[I];
    TColorButton* Button = FMain.MakeButton(Owned, B.Name, B.Caption, ZoneButtonCell(static_cast<int>(I)));
    FZoneButtons[I] = Button;
    Button->setFont(GameFont("Arial", 7, true));
    SetOrderGlyph(*Button, FMain.LoadArt(Button->objectName()));
    const TButtonAction Action = B.Action;
    const int Value = B.Value;
    Button->OnClick = [this, Action, Value, Button](TGraphicControl*) {
      RunGuarded([&] {
        if (Action == baMode) EnterOrderMode(Value);
        else if (Action == baBuild) BuildUnits(static_cast<TUnitKind>(Value));
        else DirectOrderClick(static_cast<TDirectOrder>(Value), Button);
      });
    };
  }
  FGlobalRouteDepth = new QSpinBox(Owned);
  FGlobalRouteDepth->setObjectName("spinGlobalRouteDepth");
  FGlobalRouteDepth->setGeometry(ZoneButtonCell(static_cast<int>(ZoneButtons.size())));
  FGlobalRouteDepth->setRange(1, 99);
  FGlobalRouteDepth->setValue(3);
  FGlobalRouteDepth->setToolTip("Depth of the global route");
  const int BuildingTop = ZoneButtonCell(static_cast<int>(ZoneButtons.size())).bottom() + 6;
  FBuilding = InfoPanel(Owned, "gpnlBuilding", {2, BuildingTop, 172, 16});
  FBuilding->SetCaption("Building...");
  FBuildProgress = ProgressBar(Owned, "progBuilding", {2, BuildingTop + 18, 172, 14});
}

void TOrdersPanel::CreateOrderPrompt(TElasticPanel& Game) {
  // The order prompt page, in front of the tabs while an order waits for its click.
  FOrderTarget = new QWidget(&Game);
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
  connect(FUnitTarget, &QListWidget::itemDoubleClicked, this, [this] { RunGuarded([&] { lbUnitTargetDblClick(); }); });
  FRouteQtyLabel = new QLabel("Quantity:", FOrderTarget);
  FRouteQtyLabel->setObjectName("lblRouteQty");
  FRouteQtyLabel->setGeometry(4, 238, 80, 20);
  FRouteQtyLabel->setFont(GameFont("Arial", 12, true));
  FRouteQtyLabel->setStyleSheet("color: rgb(0,255,0);");
  FRouteQtyLabel->hide();
  FRouteQty = new QSpinBox(FOrderTarget);
  FRouteQty->setObjectName("spinRouteQty");
  FRouteQty->setGeometry(88, 236, 84, 22);
  // A double click on the quantity routes all the zone's resources.
  FRouteQty->findChild<QLineEdit*>()->installEventFilter(new TDoubleClicks(FRouteQty, [this] { spinRouteQtyDblClick(); }));
  FRouteQty->hide();
  FOrderError = new QLabel(FOrderTarget);
  FOrderError->setObjectName("lblOrderError");
  FOrderError->setGeometry(4, 262, 172, 70);
  FOrderError->setWordWrap(true);
  // In the prompt's face: the window's own is the title's display face.
  FOrderError->setFont(GameFont("Arial", 12, true));
  FOrderError->setStyleSheet("color: rgb(255,0,0);");
  FOrderError->hide();
  FOrderProceed = FMain.MakeButton(FOrderTarget, "btnOrderProceed", "Proceed", {4, 340, 82, 25});
  FOrderProceed->OnClick = [this](TGraphicControl*) { btnOrderProceedClick(); };
  FOrderProceed->hide();
  FOrderCancel = FMain.MakeButton(FOrderTarget, "btnOrderCancel", "Cancel", {94, 340, 82, 25});
  FOrderCancel->OnClick = [this](TGraphicControl*) { btnOrderCancelClick(); };
}

void TOrdersPanel::IssueOrder(std::uint8_t Code, const std::vector<std::string>& Values) {
  IssueOrderRecord(OrderRecord::OrderFieldsText(static_cast<TOrderType>(Code), Values));
}

void TOrdersPanel::IssueOrderRecord(const std::string& Record) { FMain.rte().AddOrder(Record); }

void TOrdersPanel::ShowOrderPrompt(bool Prompt) {
  if (Prompt) {
    FOrderTarget->show();
    FOrderTarget->raise();
    FPages.hide();
  } else {
    FOrderTarget->hide();
    FPages.show();
    FPages.raise();
    FPages.setCurrentIndex(FControlTab == ctUnits ? 0 : 1);
  }
}

void TOrdersPanel::ShareSelection() {
  FEntry->SetSelectedZone(FMain.FSelectedZone);
  FEntry->SetSelectedUnits(FMain.FSelectedUnits);
  FEntry->SetCurrentNation(FMain.FCurrentNation);
}

void TOrdersPanel::EnterOrderMode(int Mode) {
  if (Mode < 0 || Mode >= OrderModeCount) return;
  FRouteQtyLabel->hide();
  FRouteQty->hide();
  FOrderError->hide();
  ShareSelection();
  const TOrderPrompt Prompt = FEntry->EnterMode(static_cast<TOrderMode>(Mode), FMain.rte().GetActive());
  if (Prompt.Refused) return;
  FRoutePoints = FEntry->RoutePoints();
  if (Mode == omNone) {
    FMain.surfaceView().setCursor(Qt::ArrowCursor);
    FUnitTarget->hide();
    ShowOrderPrompt(false);
    return;
  }
  FMain.surfaceView().setCursor(FMain.ScreenCursor(1));
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

void TOrdersPanel::ApplyOrderStep(const TOrderStep& Step) {
  FRoutePoints = FEntry->RoutePoints();
  if (!Step.Refusal.empty()) {
    FMain.PlaySoundIfEnabled(FMain.Sound("sndError"));
    FOrderError->setText(ToQString(Step.Refusal));
    FOrderError->show();
    FOrderProceed->hide();
    if (Step.FocusQuantity) FRouteQty->setFocus();
  } else {
    FMain.PlaySoundIfEnabled(FMain.Sound("sndClick"));
    if (Step.HideError) FOrderError->hide();
    FOrderProceed->setVisible(Step.ShowProceed);
  }
  if (Step.HideTargets) FUnitTarget->hide();
  if (Step.FillTargets) {
    FUnitTarget->clear();
    for (TUnit* Unit : Step.Targets) FUnitTarget->AddUnit(Unit);
    if (FUnitTarget->count() > 0) FUnitTarget->setCurrentRow(0);
  }
  if (Step.HideBorderDefense) FZoneButtons[zbBorderDefense]->hide();
  if (!Step.Question.empty() && Prompter().Confirm(Step.Question)) {
    for (const std::string& Record : Step.YesRecords) IssueOrderRecord(Record);
    EnterOrderMode(omNone);
    return;
  }
  for (const std::string& Record : Step.Records) IssueOrderRecord(Record);
  if (Step.LeaveMode) EnterOrderMode(omNone);
}

void TOrdersPanel::surfaceZoneClick(TBrenmoorZone* Zone) {
  if (!Zone) return;
  if (OrderMode() == omNone) {
    FMain.PlaySoundIfEnabled(FMain.Sound("sndClick"));
    TBrenmoorZone*& Selected = FMain.FSelectedZone;
    if (Selected && Selected->GetZoneSprite()) Selected->GetZoneSprite()->SetSelected(false);
    Selected = Zone;
    if (Zone->GetZoneSprite()) Zone->GetZoneSprite()->SetSelected(true);
    FEntry->SetSelectedZone(Zone);
    UpdateInfoPanels();
    // The zone's first unit is chosen, as if clicked in the list.
    if (FUnits->count() > 0) {
      const QSignalBlocker Quiet(FUnits);
      FUnits->clearSelection();
      FUnits->setCurrentRow(0);
      FUnits->item(0)->setSelected(true);
    }
    lbUnitsClick();
    if (Zone->GetOwner() && Zone->GetOwner()->GetLocalPlayer()) {
      const std::vector<TNation*>& Local = FMain.FLocalNations;
      for (std::size_t I = 0; I < Local.size(); ++I)
        if (Local[I] == Zone->GetOwner()) FMain.cmbCurrentNationClick(static_cast<int>(I));
    }
    return;
  }
  FEntry->SetRouteQuantity(FRouteQty->value());
  ApplyOrderStep(FEntry->ZoneClick(Zone));
}

void TOrdersPanel::UpdateInfoPanels() {
  TBrenmoorZone* Zone = FMain.FSelectedZone;
  std::vector<TUnit*>& Selected = FMain.FSelectedUnits;
  const int Top = FUnits->verticalScrollBar()->value();
  {
    const QSignalBlocker Quiet(FUnits);
    FUnits->clear();
    if (!Zone) return;
    // The quantity to route never exceeds the zone's resources.
    FRouteQty->setMaximum(static_cast<int>(std::trunc(Zone->GetResources())));
    const std::vector<TUnit*> Listed = ListedUnits(*Zone);
    for (TUnit* Unit : Listed) FUnits->AddUnit(Unit);
    // The units still here stay selected.
    Selected = KeptSelection(Listed, Selected);
    for (int I = 0; I < FUnits->count(); ++I)
      if (std::find(Selected.begin(), Selected.end(), FUnits->Units(I)) != Selected.end())
        FUnits->item(I)->setSelected(true);
  }
  FUnits->verticalScrollBar()->setValue(Top);
  lbUnitsClick();
  UpdateZoneTab();
}

void TOrdersPanel::UpdateZoneTab() {
  const TZonePanel Zone = ZonePanelState(FMain.brm(), *FMain.FSelectedZone, FMain.FCurrentNation);
  FLandZone->setVisible(Zone.Land);
  FZoneOwned->setVisible(Zone.Owned);
  if (Zone.Land) {
    FBars.ZoneName->setText(ToQString(Zone.Name));
    FZoneNameMain->setText(ToQString(Zone.Name));
    FZoneValue->setText(ToQString(Zone.IndustryText));
    FResourceBonusPicture->setVisible(Zone.ResourceBonus);
    FResourceBonus->setVisible(Zone.ResourceBonus);
    FResourceBonus->setText(ToQString(Zone.ResourceBonusText));
    FTerrainDefense->setVisible(Zone.TerrainDefense);
    FTerrainDefense->setText(ToQString(Zone.TerrainDefenseText));
    FZoneFactories->setText(ToQString(Zone.FactoriesText));
  }
  if (Zone.Owned) {
    FZoneResources->setText(ToQString(Zone.ResourcesText));
    // The buttons that apply close up in the table's order, the route depth and the
    // production in progress after them.
    int Cell = 0;
    for (std::size_t I = 0; I < ZoneButtons.size(); ++I) {
      TColorButton* Button = FZoneButtons[I];
      Button->setVisible(ZoneButtonShown(ZoneButtons[I].Kind, Zone));
      if (!Button->isHidden()) Button->setGeometry(ZoneButtonCell(Cell++));
    }
    FGlobalRouteDepth->setGeometry(ZoneButtonCell(Cell));
    const int BuildingTop = ZoneButtonCell(Cell).bottom() + 6;
    FBuilding->setVisible(Zone.Building);
    FBuilding->move(2, BuildingTop);
    FBuildProgress->setVisible(Zone.Building);
    FBuildProgress->move(2, BuildingTop + 18);
    if (Zone.Building) FBuildProgress->SetValue(Zone.BuildProgress);
  }
  // The owner's flag, on the status bar and on the tab, for land and sea.
  const QPixmap* Flag = Zone.Flag && FBars.Flags ? FBars.Flags->GetCell(Zone.FlagNation, 0) : nullptr;
  for (QLabel* Image : {FBars.ZoneFlag, FZoneFlagMain}) {
    Image->setVisible(Zone.Flag);
    Image->setPixmap(Flag ? *Flag : QPixmap());
  }
  FBars.ZoneFlag->setToolTip(ToQString(Zone.FlagHint));
}

TUnit* TOrdersPanel::SelectedUnit(int Index) const {
  int Seen = 0;
  for (int I = 0; I < FUnits->count(); ++I)
    if (FUnits->item(I)->isSelected() && Seen++ == Index) return FUnits->Units(I);
  return nullptr;
}

int TOrdersPanel::SelectedUnitCount() const { return static_cast<int>(FMain.FSelectedUnits.size()); }

void TOrdersPanel::lbUnitsClick() {
  std::vector<TUnit*>& Selected = FMain.FSelectedUnits;
  Selected.clear();
  // The forces list keeps its scroll position.
  const int ForcesTop = FForces->verticalScrollBar()->value();
  FForces->clear();
  for (int I = 0; I < FUnits->count(); ++I) {
    if (!FUnits->item(I)->isSelected()) continue;
    TUnit* Unit = FUnits->Units(I);
    FForces->AddForcesOf(Unit);
    Selected.push_back(Unit);
  }
  FForces->verticalScrollBar()->setValue(ForcesTop);
  const std::vector<TNation*>& Local = FMain.FLocalNations;
  TNation* Chosen = NationOfSelection(Selected, FMain.FCurrentNation, Local);
  if (Chosen != FMain.FCurrentNation)
    for (std::size_t I = 0; I < Local.size(); ++I)
      if (Local[I] == Chosen) {
        FBars.Nations->setCurrentIndex(static_cast<int>(I));
        FMain.cmbCurrentNationClick(static_cast<int>(I));
      }
  FEntry->SetSelectedUnits(Selected);
  UpdateUnitPanel();
}

void TOrdersPanel::UpdateUnitPanel() {
  if (!FMain.FSelectedZone) return;
  const TUnitPanel Units = UnitPanelState(FMain.brm(), *FMain.FSelectedZone, FMain.FSelectedUnits, FMain.FCurrentNation);
  if (Units.Hidden) {
    HideUnitControl();
    return;
  }
  FUnits->show();
  FForces->show();
  for (QWidget* Detail : std::initializer_list<QWidget*>{FOrganization, FExperience, FOrderDesc, FOrgLabel, FExpLabel})
    Detail->setVisible(Units.One);
  if (Units.One) {
    FOrganization->SetValue(Units.Organization);
    FExperience->SetCaption(ToQString(Units.Experience));
    FOrderDesc->SetCaption(ToQString(Units.OrderText));
  }
  // The order buttons every selected unit allows, then the buttons the zone and the
  // selection's size decide.
  for (TBrenmoorOrderButton* Button : FUnitButtons) Button->setVisible(Units.Allowed.Contains(Button->Order()));
  FUnitButtons[AimRocketsButton]->setVisible(Units.AimRockets);
  FUnitButtons[DivideButton]->setVisible(Units.Divide);
  FUnitButtons[MergeButton]->setVisible(Units.Merge);
  FUnitButtons[ConsolidateButton]->setVisible(Units.Consolidate);
  if (Units.Merge) FUnitButtons[MergeButton]->raise();
  // The buttons shown close up in the table's order.
  int Cell = 0;
  for (TBrenmoorOrderButton* Button : FUnitButtons)
    if (!Button->isHidden()) Button->setGeometry(UnitButtonCell(Cell++));
}

void TOrdersPanel::lbUnitTargetClick() {
  TUnit* Target = FUnitTarget->currentRow() >= 0 ? FUnitTarget->Units(FUnitTarget->currentRow()) : nullptr;
  if (!Target) return;
  FOrderProceed->hide();
  ApplyOrderStep(FEntry->TargetClick(Target));
}

void TOrdersPanel::btnOrderProceedClick() {
  TUnit* Target = FUnitTarget->isVisible() && FUnitTarget->currentRow() >= 0 ? FUnitTarget->Units(FUnitTarget->currentRow())
                                                                           : nullptr;
  const TOrderStep Step = FEntry->Proceed(Target);
  for (const std::string& Record : Step.Records) IssueOrderRecord(Record);
  if (Step.LeaveMode) EnterOrderMode(omNone);
}

void TOrdersPanel::DirectOrderClick(TDirectOrder Order, QWidget* Button) {
  ShareSelection();
  const TDirectStep Step = FEntry->Direct(Order, FGlobalRouteDepth->value());
  if (Step.HideButton) Button->hide();
  if (Step.LeaveMode) EnterOrderMode(omNone);
  for (const std::string& Record : Step.Records) IssueOrderRecord(Record);
}

void TOrdersPanel::lbUnitsDblClick(TUnit* Unit) {
  if (!Unit || !Unit->GetOwner() || !Unit->GetOwner()->GetLocalPlayer()) return;
  const std::optional<std::string> Typed = Prompter().InputText("Rename Unit", "New Name:", Unit->GetName());
  if (!Typed) return;
  const TRenameStep Step = RenameUnit(*Unit, *Typed);
  if (!Step.Refusal.empty()) Prompter().ShowMessage(Step.Refusal);
  if (!Step.Record.empty()) IssueOrderRecord(Step.Record);
}

void TOrdersPanel::btnOrderCancelClick() { EnterOrderMode(omNone); }

void TOrdersPanel::pageControlsChange(int Index) { FControlTab = Index == 0 ? ctUnits : ctZone; }

void TOrdersPanel::scrollerCenter() {
  const TNation* Nation = FMain.FCurrentNation;
  if (Nation && Nation->GetCapital()) FMain.surface().CenterOnZone(Nation->GetCapital());
}

void TOrdersPanel::surfaceAfterSpriteRender(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  TZoneSpriteSurface& Surface = FMain.surface();
  Canvas.Brush().SetStyle(bsClear);
  --FAnimationPhase;
  const TOverlayView View{Surface.GetOffsetX(), Surface.GetOffsetY(), Surface.GetVirtualWidth(), Surface.GetVirtualHeight()};
  const TOverlayShapes Shapes = TMapOverlay(FMain.brm()).Compute(FMain.FSelectedZone, FMain.FSelectedUnits, FRoutePoints,
                                                                 FBars.ShowOrders->Down(), View, FAnimationPhase);
  DrawOverlay(Canvas, DIBCanvas, Shapes);
  const std::string& Banner = FMain.BannerText();
  if (!Banner.empty()) {
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Font().SetName(BannerFont);
    Canvas.Font().SetSize(BannerFontSize);
    const TPoint At = TMapOverlay::BannerPoint(Surface.GetWidth(), Surface.GetHeight(), Canvas.TextWidth(Banner),
                                               Canvas.TextHeight(Banner));
    Canvas.Font().SetColor(clNavy);
    Canvas.TextOut(At.X, At.Y, Banner);
    Canvas.Font().SetColor(clWhite);
    Canvas.TextOut(At.X + BannerShadowOffset, At.Y + BannerShadowOffset, Banner);
  }
}

namespace {
// The overlay's order lines (the port picture on the port link), marks and supply routes.
void DrawOverlay(TCanvas& Canvas, TDIBCanvas& DIBCanvas, const TOverlayShapes& Shapes) {
  static constexpr TPenStyle Pens[] = {psSolid, psDot, psDash};
  for (std::size_t I = 0; I < Shapes.Lines.size(); ++I) {
    const TOverlayLine& Line = Shapes.Lines[I];
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Pen().SetColor(Line.Color);
    Canvas.Pen().SetStyle(Pens[Line.Pen]);
    Canvas.MoveTo(Line.From.X, Line.From.Y);
    Canvas.LineTo(Line.To.X, Line.To.Y);
    Canvas.Pen().SetStyle(psSolid);
    // The port picture sits on the end of the port link, the first line.
    if (I == 0 && Shapes.HasPort)
      if (const TBitmap* Port = PortPicture()) Canvas.Draw(Shapes.PortIcon.X, Shapes.PortIcon.Y, *Port, true);
  }
  Canvas.Font().SetName(LabelFont);
  Canvas.Font().SetSize(LabelFontSize);
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
}  // namespace

// --- The orders given through a window ---

void TOrdersPanel::btnDivideClick() {
  TUnit* Unit = SelectedUnit(0);
  TfrmDivideUnit* Form = FMain.Forms() ? &FMain.Forms()->DivideUnit() : nullptr;
  if (!Unit || !Form) return;
  const std::int32_t ID = Unit->ID;
  Form->SetUnit(Unit);
  if (Form->exec() != mrOk || !Form->Unit()) return;
  // Both sides must keep forces: the parent unit stays and the new one has something in it.
  // (The divide window keeps its two lists to itself: they are found by their names.)
  const auto* Parent = Form->findChild<TBrenmoorForcesListBox*>("lbParent");
  const auto* New = Form->findChild<TBrenmoorForcesListBox*>("lbNew");
  if (Parent && New && Parent->count() > 0 && New->count() > 0) IssueOrder(ordDivide, {IntToStr(ID), Form->NewForcesText()});
}

void TOrdersPanel::BuildUnits(TUnitKind Kind) {
  TfrmBuildUnit* Form = FMain.Forms() ? &FMain.Forms()->BuildUnit() : nullptr;
  TBrenmoorZone* Zone = FMain.FSelectedZone;
  if (!FMain.rte().GetActive() || !Zone || !Form) return;
  Form->Prepare(Kind, Zone->GetOwner(), Zone);
  if (Form->exec() != mrOk || FMain.FSelectedZone != Zone) return;
  IssueOrder(ordBuildUnit, {IntToStr(Zone->GetIndex()), IntToStr(Kind), ForceCountsText(Form->Quantities())});
}

void TOrdersPanel::btnFormationsClick() {
  TfrmFormations* Form = FMain.Forms() ? &FMain.Forms()->Formations() : nullptr;
  TNation* Nation = FMain.FCurrentNation;
  if (!FMain.rte().GetActive() || !Nation || !Form) return;
  Form->SetCurrentNation(Nation);
  // Each weight starts at the nation's own.
  for (int T = 0; T < UnitTypeCount; ++T)
    if (QSpinBox* Spin = Form->Spin(T)) Spin->setValue(Nation->GetUnitCost(T));
  if (Form->exec() != mrOk) return;
  for (const std::string& Record : FormationRecords(FMain.FLocalNations, Form->FormationText())) IssueOrderRecord(Record);
}

void TOrdersPanel::btnResearchClick() {
  TfrmResearch* Form = FMain.Forms() ? &FMain.Forms()->Research() : nullptr;
  TNation* Nation = FMain.FCurrentNation;
  if (!FMain.rte().GetActive() || !Nation || !Form) return;
  Form->Prepare(Nation);
  if (Form->exec() != mrOk) return;
  IssueOrder(ordResearch, {IntToStr(Nation->GetIndex()), Form->SpendingText()});
}

void TOrdersPanel::btnDiplomacyClick() {
  TfrmDiplomacy* Form = FMain.Forms() ? &FMain.Forms()->Diplomacy() : nullptr;
  TNation* Nation = FMain.FCurrentNation;
  if (!FMain.rte().GetActive() || !Nation || !Form) return;
  Form->SetCurrentNation(Nation);
  Form->SetCellFlags(FBars.Flags);
  const int Result = Form->exec();
  if (!Form->Target()) return;
  if (Result == mrYes) {
    IssueOrder(ordDeclareWar, {IntToStr(Nation->GetIndex()), IntToStr(Form->Target()->GetIndex())});
  } else if (Result == mrOk) {
    const TDiplomacyStep Step = DiplomacyStep(*Nation, *Form->Target(), Form->Action());
    FMain.ShowNotify(Step.Notice, Step.Color);
    if (!Step.Record.empty()) IssueOrderRecord(Step.Record);
  }
}

// --- The target list, the quantity and the units that leave the game ---

void TOrdersPanel::lbUnitTargetDblClick() {
  if (FOrderProceed->isVisibleTo(FOrderTarget)) btnOrderProceedClick();
}

void TOrdersPanel::spinRouteQtyDblClick() { FRouteQty->setValue(FRouteQty->maximum()); }

void TOrdersPanel::brmRemoveUnit(TUnit* Unit) {
  // The unit is going: no list or selection may keep it.
  for (TBrenmoorUnitListBox* List : {FUnits, FUnitTarget}) {
    const QSignalBlocker Quiet(List);
    for (int I = List->count() - 1; I >= 0; --I)
      if (List->Units(I) == Unit) delete List->takeItem(I);
  }
  std::vector<TUnit*>& Selected = FMain.FSelectedUnits;
  const auto Gone = std::find(Selected.begin(), Selected.end(), Unit);
  if (Gone == Selected.end()) return;
  Selected.erase(Gone);
  FEntry->SetSelectedUnits(Selected);
  {
    const QSignalBlocker Quiet(FForces);
    for (int I = FForces->count() - 1; I >= 0; --I)
      if (FForces->UnitOf(I) == Unit) delete FForces->takeItem(I);
  }
  if (!FMain.rte().GetActive()) return;
  TfrmDivideUnit* Divide = FMain.Forms() ? &FMain.Forms()->DivideUnit() : nullptr;
  if (Divide && Divide->isVisible() && Divide->Unit() == Unit) Divide->RefreshForUnit(nullptr);
  EnterOrderMode(omNone);
  UpdateInfoPanels();
}

// --- Keys ---

bool TOrdersPanel::FormKeyDown(int Key, const QString& Text) {
  if (!FMain.rte().GetActive() || FMain.FrontScreen() != FMain.pnlGame()) return false;
  if (Key == Qt::Key_F5) {
    FPages.setCurrentIndex(FPages.currentIndex() == 0 ? 1 : 0);
    FControlTab = FPages.currentIndex() == 0 ? ctUnits : ctZone;
    return true;
  }
  if (OrderMode() != omNone) {
    if (Key == Qt::Key_Escape) {
      if (FOrderCancel->isVisibleTo(FOrderTarget)) btnOrderCancelClick();
      return true;
    }
    if (Key == Qt::Key_Return || Key == Qt::Key_Enter) {
      if (FOrderProceed->isVisibleTo(FOrderTarget)) btnOrderProceedClick();
      return true;
    }
    return false;
  }
  const QString Upper = Text.toUpper();
  const bool Letter = Upper.size() == 1 && Upper[0] >= 'A' && Upper[0] <= 'Z';
  if (Key != Qt::Key_Space && !Letter) return false;
  ShowOrderPrompt(false);
  if (Key == Qt::Key_Space) {
    scrollerCenter();
    return true;
  }
  auto Press = [](TColorButton* Button) {
    if (Button && Button->OnClick) Button->OnClick(Button);
    return Button != nullptr;
  };
  if (FPages.currentIndex() == 0) {
    for (std::size_t I = 0; I < UnitButtons.size(); ++I)
      if (QChar(UnitButtons[I].Hot) == Upper[0] && FUnitButtons[I]->isVisibleTo(FUnitControl) &&
          FUnitControl->isVisibleTo(&FMain))
        return Press(FUnitButtons[I]);
    return false;
  }
  if (!FZoneOwned->isVisibleTo(&FMain)) return false;
  const std::optional<TZoneButtonKind> Pressed = ZoneButtonOfKey(Upper[0].toLatin1());
  if (!Pressed) return false;
  TColorButton* Button = FZoneButtons[*Pressed];
  if (*Pressed == zbRouteResources && !Button->isVisibleTo(FZoneOwned)) return false;
  return Press(Button);
}
