// The main window's order entry: the order prompt page, the order-mode buttons, the map clicks
// in each mode, proceed and cancel, and the order records handed to the impulse clock. What a
// click decides lives in TOrderEntry; this file only shows its results.
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
#include "ui/MainForm.h"
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

// The zone tab's buttons (pnlZoneOwned), for a land zone played here.
struct TZoneButton {
  const char* Name;
  const char* Caption;
  TButtonAction Action;
  int Value;  // the mode, the direct order or the kind built
};
constexpr std::array<TZoneButton, 14> ZoneButtons{{
    {"btnRouteResources", "Route", baMode, omRouteResources},
    {"btnAutoRoute", "Auto Route", baMode, omAutoRoute},
    {"btnBuildBorderDefense", "Border Defense", baMode, omBorderDefense},
    {"btnPortZone", "Port Zone", baMode, omPortZone},
    {"btnBuildFactory", "Build Factory", baDirect, doBuildFactory},
    {"btnBuildRockets", "Build Rockets", baDirect, doBuildRockets},
    {"btnBuildAirfield", "Build Airfield", baDirect, doBuildAirfield},
    {"btnBuildPort", "Build Port", baDirect, doBuildPort},
    {"btnBuildConvoys", "Build Convoys", baDirect, doBuildConvoys},
    {"btnBuildLand", "Build Land", baBuild, ukArmy},
    {"btnBuildAir", "Build Air", baBuild, ukAirForce},
    {"btnBuildSea", "Build Sea", baBuild, ukNavy},
    {"btnGlobalRoute", "Global Route", baDirect, doGlobalRoute},
    {"btnGlobalClear", "Global Clear", baDirect, doGlobalClear},
}};

// Whether the zone tab's button shows for the zone's panel state.
bool ZoneButtonShown(const char* Name, const TZonePanel& Z) {
  const std::string N = Name;
  if (N == "btnRouteResources") return Z.RouteResources;
  if (N == "btnBuildBorderDefense") return Z.BuildBorderDefense;
  if (N == "btnPortZone") return Z.PortZone;
  if (N == "btnBuildFactory") return Z.BuildFactory;
  if (N == "btnBuildRockets") return Z.BuildRockets;
  if (N == "btnBuildAirfield") return Z.BuildAirfield;
  if (N == "btnBuildPort") return Z.BuildPort;
  if (N == "btnBuildConvoys") return Z.BuildConvoys;
  if (N == "btnBuildLand") return Z.BuildLand;
  if (N == "btnBuildAir") return Z.BuildAir;
  if (N == "btnBuildSea") return Z.BuildSea;
  return true;  // auto route and the global orders: whenever the panel shows
}

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
  explicit TGameKeys(TfrmMain* Main) : QObject(Main), FMain(Main) {}

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
    RunGuarded([&] { Handled = FMain->FormKeyDown(Key->key(), Key->text()); });
    return Handled;
  }

private:
  TfrmMain* FMain;
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
// An order button shows its small picture before the caption (the larger toolbar pictures
// do not fit).
void SetOrderGlyph(TColorButton& Button, const QImage& Glyph) {
  if (!Glyph.isNull() && Glyph.height() <= OrderGlyphHeight)
    Button.SetGlyph(MakeGlyphTransparent(QPixmap::fromImage(Glyph)));
}

// The zone tab's flag of the zone's owner and its panel of what a land zone is; Resources is
// the status bar's resources picture, shown beside the zone's bonus.
void MakeLandZonePanel(QWidget* ZoneTab, const QLabel* Resources) {
  auto* FlagMain = new QLabel(ZoneTab);
  FlagMain->setObjectName("imZoneFlagMain");
  FlagMain->setGeometry(146, 4, 28, 20);
  FlagMain->setScaledContents(true);
  FlagMain->hide();
  auto* LandZone = new TElasticPanel(ZoneTab);
  LandZone->setObjectName("pnlLandZone");
  LandZone->setGeometry(2, 2, 142, 104);
  PanelLabel(LandZone, "lblZoneNameMain", {2, 2, 140, 22}, 11);
  PanelLabel(LandZone, "lblZoneValue", {2, 26, 140, 16});
  auto* Bonus = new QLabel(LandZone);
  Bonus->setObjectName("imZoneResourceBonus");
  Bonus->setGeometry(2, 44, 16, 16);
  Bonus->setScaledContents(true);
  if (Resources) Bonus->setPixmap(Resources->pixmap());
  PanelLabel(LandZone, "lblZoneResourceBonus", {20, 44, 122, 16});
  PanelLabel(LandZone, "lblTerrainDefense", {2, 62, 140, 16});
  PanelLabel(LandZone, "lblZoneFactories", {2, 80, 140, 16});
  LandZone->hide();
}

}  // namespace

void TfrmMain::CreateOrderControls(TElasticPanel* Game) {
  FOrderEntry = std::make_unique<TOrderEntry>(*FEngine);
  FSurface->AfterSpriteRender = [this](TSpriteSurface&, TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
    surfaceAfterSpriteRender(Canvas, DIBCanvas);
  };
  FSurface->OnZoneClick = [this](TZoneSpriteSurface&, TZone* Zone) {
    RunGuarded([&] { surfaceZoneClick(static_cast<TBrenmoorZone*>(Zone)); });
  };

  CreateUnitsTab();
  CreateZoneTab();
  CreateOrderPrompt(Game);

  // The game's keys, seen before the controls see them.
  qApp->installEventFilter(new TGameKeys(this));
  // The toolbar's policy windows.
  BindClick("btnDiplomacy", &TfrmMain::btnDiplomacyClick);
  BindClick("btnResearch", &TfrmMain::btnResearchClick);
  BindClick("btnFormations", &TfrmMain::btnFormationsClick);
}

void TfrmMain::CreateUnitsTab() {
  // The selected zone's units (several may be chosen) and the forces of the chosen ones.
  auto* Units = findChild<QWidget*>("tabUnits");
  FUnits = new TBrenmoorUnitListBox(Units);
  FUnits->setObjectName("lbUnits");
  FUnits->setGeometry(2, 2, 176, 80);
  FUnits->setSelectionMode(QAbstractItemView::ExtendedSelection);
  FUnits->SetBrenmoorEngine(FEngine.get());
  FUnits->SetCellFlags(FArtwork->findChild<TCellImage*>("cellFlags"));
  connect(FUnits, &QListWidget::itemSelectionChanged, this, [this] { RunGuarded([&] { lbUnitsClick(); }); });
  connect(FUnits, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* Item) {
    RunGuarded([&] { lbUnitsDblClick(FUnits->Units(FUnits->row(Item))); });
  });
  FForces = new TBrenmoorForcesListBox(Units);
  FForces->setObjectName("lbForces");
  FForces->setGeometry(2, 84, 176, 66);
  FForces->setSelectionMode(QAbstractItemView::NoSelection);
  FForces->SetBrenmoorEngine(FEngine.get());
  FForces->SetCellForces(MakeUnitIcons(Units));

  // The units tab: the details of one selected unit above its order buttons.
  auto* Control = new QWidget(Units);
  Control->setObjectName("pnlUnitControl");
  Control->setGeometry(2, 152, 176, 220);
  PanelLabel(Control, "lblOrg", {0, 1, 24, 14}, 7)->setText("Org:");
  ProgressBar(Control, "progOrganization", {24, 1, 62, 14});
  PanelLabel(Control, "lblExp", {90, 1, 24, 14}, 7)->setText("Exp:");
  InfoPanel(Control, "gpnlExperienceLevel", {114, 0, 62, 16});
  InfoPanel(Control, "gpnlOrderDesc", {0, 18, 176, 16});
  // Three columns of order buttons, in the table's order.
  for (std::size_t I = 0; I < UnitButtons.size(); ++I) {
    const TUnitButton& B = UnitButtons[I];
    auto* Button = new TBrenmoorOrderButton(Control);
    MakeButton(Control, B.Name, B.Caption, UnitButtonCell(static_cast<int>(I)), false, Button);
    Button->setFont(GameFont("Arial", 7, true));
    SetOrderGlyph(*Button, LoadArt(Button->objectName()));
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

  // Nothing is chosen yet: no details and no orders.
  for (QWidget* Child : Control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) Child->hide();
}

void TfrmMain::CreateZoneTab() {
  // The zone tab: what a land zone is, then the orders of a zone played here.
  auto* ZoneTab = findChild<QWidget*>("tabZone");
  MakeLandZonePanel(ZoneTab, FArtwork->findChild<QLabel*>("imNationResources"));
  auto* Owned = new QWidget(ZoneTab);
  Owned->setObjectName("pnlZoneOwned");
  Owned->setGeometry(2, 108, 176, 264);
  Owned->hide();
  PanelLabel(Owned, "lblZoneResources", {2, 0, 172, 18}, 10);
  for (std::size_t I = 0; I < ZoneButtons.size(); ++I) {
    const TZoneButton& B = ZoneButtons[I];
    TColorButton* Button = MakeButton(Owned, B.Name, B.Caption, ZoneButtonCell(static_cast<int>(I)));
    Button->setFont(GameFont("Arial", 7, true));
    SetOrderGlyph(*Button, LoadArt(Button->objectName()));
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
  InfoPanel(Owned, "gpnlBuilding", {2, BuildingTop, 172, 16})->SetCaption("Building...");
  ProgressBar(Owned, "progBuilding", {2, BuildingTop + 18, 172, 14});
}

void TfrmMain::CreateOrderPrompt(TElasticPanel* Game) {
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
  connect(FUnitTarget, &QListWidget::itemDoubleClicked, this, [this] { RunGuarded([&] { lbUnitTargetDblClick(); }); });
  FRouteQtyLabel = new QLabel("Quantity:", FOrderTarget);
  FRouteQtyLabel->setObjectName("lblRouteQty");
  FRouteQtyLabel->setGeometry(4, 238, 80, 20);
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
  FOrderError->setStyleSheet("color: rgb(255,0,0);");
  FOrderError->hide();
  FOrderProceed = MakeButton(FOrderTarget, "btnOrderProceed", "Proceed", {4, 340, 82, 25});
  FOrderProceed->OnClick = [this](TGraphicControl*) { btnOrderProceedClick(); };
  FOrderProceed->hide();
  FOrderCancel = MakeButton(FOrderTarget, "btnOrderCancel", "Cancel", {94, 340, 82, 25});
  FOrderCancel->OnClick = [this](TGraphicControl*) { btnOrderCancelClick(); };
}

void TfrmMain::IssueOrder(std::uint8_t Code, const std::vector<std::string>& Values) {
  IssueOrderRecord(OrderRecord::OrderFieldsText(static_cast<TOrderType>(Code), Values));
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
  UpdateZoneTab();
}

void TfrmMain::UpdateZoneTab() {
  const TZonePanel Zone = ZonePanelState(*FEngine, *FSelectedZone, FCurrentNation);
  auto Label = [this](const char* Name) { return findChild<QLabel*>(Name); };
  findChild<QWidget*>("pnlLandZone")->setVisible(Zone.Land);
  auto* Owned = findChild<QWidget*>("pnlZoneOwned");
  Owned->setVisible(Zone.Owned);
  if (Zone.Land) {
    Label("lblZoneName")->setText(ToQString(Zone.Name));
    Label("lblZoneNameMain")->setText(ToQString(Zone.Name));
    Label("lblZoneValue")->setText(ToQString(Zone.IndustryText));
    Label("imZoneResourceBonus")->setVisible(Zone.ResourceBonus);
    Label("lblZoneResourceBonus")->setVisible(Zone.ResourceBonus);
    Label("lblZoneResourceBonus")->setText(ToQString(Zone.ResourceBonusText));
    Label("lblTerrainDefense")->setVisible(Zone.TerrainDefense);
    Label("lblTerrainDefense")->setText(ToQString(Zone.TerrainDefenseText));
    Label("lblZoneFactories")->setText(ToQString(Zone.FactoriesText));
  }
  if (Zone.Owned) {
    Label("lblZoneResources")->setText(ToQString(Zone.ResourcesText));
    // The buttons that apply close up in the table's order, the route depth and the
    // production in progress after them.
    int Cell = 0;
    for (const TZoneButton& B : ZoneButtons) {
      auto* Button = findChild<QWidget*>(B.Name);
      Button->setVisible(ZoneButtonShown(B.Name, Zone));
      if (!Button->isHidden()) Button->setGeometry(ZoneButtonCell(Cell++));
    }
    FGlobalRouteDepth->setGeometry(ZoneButtonCell(Cell));
    const int BuildingTop = ZoneButtonCell(Cell).bottom() + 6;
    auto* Building = findChild<QWidget*>("gpnlBuilding");
    Building->setVisible(Zone.Building);
    Building->move(2, BuildingTop);
    auto* Progress = findChild<TColorProgressBar*>("progBuilding");
    Progress->setVisible(Zone.Building);
    Progress->move(2, BuildingTop + 18);
    if (Zone.Building) Progress->SetValue(Zone.BuildProgress);
  }
  // The owner's flag, on the status bar and on the tab, for land and sea.
  auto* Flags = FArtwork->findChild<TCellImage*>("cellFlags");
  const QPixmap* Flag = Zone.Flag && Flags ? Flags->GetCell(Zone.FlagNation, 0) : nullptr;
  for (const char* Name : {"imZoneFlag", "imZoneFlagMain"}) {
    QLabel* Image = Label(Name);
    Image->setVisible(Zone.Flag);
    Image->setPixmap(Flag ? *Flag : QPixmap());
  }
  Label("imZoneFlag")->setToolTip(ToQString(Zone.FlagHint));
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
  auto* Control = findChild<QWidget*>("pnlUnitControl");
  if (Units.Hidden) {
    for (QWidget* Child : Control->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) Child->hide();
    return;
  }
  FUnits->show();
  FForces->show();
  auto* Organization = findChild<TColorProgressBar*>("progOrganization");
  auto* Experience = findChild<TGraphicPanel*>("gpnlExperienceLevel");
  auto* OrderDesc = findChild<TGraphicPanel*>("gpnlOrderDesc");
  for (QWidget* Detail : std::initializer_list<QWidget*>{Organization, Experience, OrderDesc, findChild<QWidget*>("lblOrg"),
                                                         findChild<QWidget*>("lblExp")})
    Detail->setVisible(Units.One);
  if (Units.One) {
    Organization->SetValue(Units.Organization);
    Experience->SetCaption(ToQString(Units.Experience));
    OrderDesc->SetCaption(ToQString(Units.OrderText));
  }
  // The order buttons every selected unit allows, then the buttons the zone and the
  // selection's size decide.
  for (TBrenmoorOrderButton* Button : Control->findChildren<TBrenmoorOrderButton*>())
    Button->setVisible(Units.Allowed.Contains(Button->Order()));
  findChild<QWidget*>("btnAimRockets")->setVisible(Units.AimRockets);
  auto* Divide = findChild<QWidget*>("btnDivide");
  auto* Merge = findChild<QWidget*>("btnMerge");
  Divide->setVisible(Units.Divide);
  Merge->setVisible(Units.Merge);
  findChild<QWidget*>("btnConsolidate")->setVisible(Units.Consolidate);
  if (Units.Merge) Merge->raise();
  // The buttons shown close up in the table's order.
  int Cell = 0;
  for (const TUnitButton& B : UnitButtons) {
    auto* Button = findChild<QWidget*>(B.Name);
    if (!Button->isHidden()) Button->setGeometry(UnitButtonCell(Cell++));
  }
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
  if (!FBannerText.empty()) {
    Canvas.Brush().SetStyle(bsClear);
    Canvas.Font().SetName(BannerFont);
    Canvas.Font().SetSize(BannerFontSize);
    const TPoint At = TMapOverlay::BannerPoint(FSurface->GetWidth(), FSurface->GetHeight(), Canvas.TextWidth(FBannerText),
                                               Canvas.TextHeight(FBannerText));
    Canvas.Font().SetColor(clNavy);
    Canvas.TextOut(At.X, At.Y, FBannerText);
    Canvas.Font().SetColor(clWhite);
    Canvas.TextOut(At.X + BannerShadowOffset, At.Y + BannerShadowOffset, FBannerText);
  }
}

// --- The orders given through a window ---

void TfrmMain::btnDivideClick() {
  TUnit* Unit = SelectedUnit(0);
  TfrmDivideUnit* Form = FForms ? &FForms->DivideUnit() : nullptr;
  if (!Unit || !Form) return;
  const std::int32_t ID = Unit->ID;
  Form->SetUnit(Unit);
  if (Form->exec() != mrOk || !Form->Unit()) return;
  // Both sides must keep forces: the parent unit stays and the new one has something in it.
  const auto* Parent = Form->findChild<TBrenmoorForcesListBox*>("lbParent");
  const auto* New = Form->findChild<TBrenmoorForcesListBox*>("lbNew");
  if (Parent && New && Parent->count() > 0 && New->count() > 0) IssueOrder(ordDivide, {IntToStr(ID), Form->NewForcesText()});
}

void TfrmMain::BuildUnits(TUnitKind Kind) {
  TfrmBuildUnit* Form = FForms ? &FForms->BuildUnit() : nullptr;
  if (!FClock->GetActive() || !FSelectedZone || !Form) return;
  TBrenmoorZone* Zone = FSelectedZone;
  Form->Prepare(Kind, Zone->GetOwner(), Zone);
  if (Form->exec() != mrOk || FSelectedZone != Zone) return;
  IssueOrder(ordBuildUnit, {IntToStr(Zone->GetIndex()), IntToStr(Kind), ForceCountsText(Form->Quantities())});
}

void TfrmMain::btnFormationsClick() {
  TfrmFormations* Form = FForms ? &FForms->Formations() : nullptr;
  if (!FClock->GetActive() || !FCurrentNation || !Form) return;
  Form->SetCurrentNation(FCurrentNation);
  // Each weight starts at the nation's own.
  for (int T = 0; T < UnitTypeCount; ++T)
    if (QSpinBox* Spin = Form->Spin(T)) Spin->setValue(FCurrentNation->GetUnitCost(T));
  if (Form->exec() != mrOk) return;
  for (const std::string& Record : FormationRecords(FLocalNations, Form->FormationText())) IssueOrderRecord(Record);
}

void TfrmMain::btnResearchClick() {
  TfrmResearch* Form = FForms ? &FForms->Research() : nullptr;
  if (!FClock->GetActive() || !FCurrentNation || !Form) return;
  TNation* Nation = FCurrentNation;
  Form->Prepare(Nation);
  if (Form->exec() != mrOk) return;
  IssueOrder(ordResearch, {IntToStr(Nation->GetIndex()), Form->SpendingText()});
}

void TfrmMain::btnDiplomacyClick() {
  TfrmDiplomacy* Form = FForms ? &FForms->Diplomacy() : nullptr;
  if (!FClock->GetActive() || !FCurrentNation || !Form) return;
  TNation* Nation = FCurrentNation;
  Form->SetCurrentNation(Nation);
  Form->SetCellFlags(FArtwork->findChild<TCellImage*>("cellFlags"));
  const int Result = Form->exec();
  if (!Form->Target()) return;
  if (Result == mrYes) {
    IssueOrder(ordDeclareWar, {IntToStr(Nation->GetIndex()), IntToStr(Form->Target()->GetIndex())});
  } else if (Result == mrOk) {
    const TDiplomacyStep Step = DiplomacyStep(*Nation, *Form->Target(), Form->Action());
    ShowNotify(Step.Notice, Step.Color);
    if (!Step.Record.empty()) IssueOrderRecord(Step.Record);
  }
}

// --- The target list, the quantity and the units that leave the game ---

void TfrmMain::lbUnitTargetDblClick() {
  if (FOrderProceed->isVisibleTo(FOrderTarget)) btnOrderProceedClick();
}

void TfrmMain::spinRouteQtyDblClick() { FRouteQty->setValue(FRouteQty->maximum()); }

void TfrmMain::brmRemoveUnit(TUnit* Unit) {
  // The window is closing: its clock is gone and the game is being freed.
  if (!FClock) return;
  // The unit is going: no list or selection may keep it.
  for (TBrenmoorUnitListBox* List : {FUnits, FUnitTarget}) {
    const QSignalBlocker Quiet(List);
    for (int I = List->count() - 1; I >= 0; --I)
      if (List->Units(I) == Unit) delete List->takeItem(I);
  }
  const auto Gone = std::find(FSelectedUnits.begin(), FSelectedUnits.end(), Unit);
  const bool Selected = Gone != FSelectedUnits.end();
  if (!Selected) return;
  FSelectedUnits.erase(Gone);
  FOrderEntry->SetSelectedUnits(FSelectedUnits);
  {
    const QSignalBlocker Quiet(FForces);
    for (int I = FForces->count() - 1; I >= 0; --I)
      if (FForces->UnitOf(I) == Unit) delete FForces->takeItem(I);
  }
  if (!FClock->GetActive()) return;
  if (TfrmDivideUnit* Divide = FForms ? &FForms->DivideUnit() : nullptr; Divide && Divide->isVisible() && Divide->Unit() == Unit)
    Divide->RefreshForUnit(nullptr);
  EnterOrderMode(omNone);
  UpdateInfoPanels();
}

// --- Keys ---


bool TfrmMain::FormKeyDown(int Key, const QString& Text) {
  if (!FClock->GetActive() || FrontScreen() != FGame) return false;
  auto* Pages = findChild<QTabWidget*>("pageControls");
  if (Key == Qt::Key_F5) {
    Pages->setCurrentIndex(Pages->currentIndex() == 0 ? 1 : 0);
    FUnitsTabShowing = Pages->currentIndex() == 0;
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
  if (Pages->currentIndex() == 0) {
    auto* Control = findChild<QWidget*>("pnlUnitControl");
    for (const TUnitButton& B : UnitButtons) {
      auto* Button = findChild<TColorButton*>(B.Name);
      if (QChar(B.Hot) == Upper[0] && Button->isVisibleTo(Control) && Control->isVisibleTo(this))
        return Press(Button);
    }
    return false;
  }
  auto* Owned = findChild<QWidget*>("pnlZoneOwned");
  if (!Owned->isVisibleTo(this)) return false;
  const char* Name = Upper == "R" ? "btnRouteResources" : Upper == "A" ? "btnAutoRoute" : Upper == "G" ? "btnGlobalRoute"
                                                         : Upper == "C" ? "btnGlobalClear" : nullptr;
  auto* Button = Name ? findChild<TColorButton*>(Name) : nullptr;
  if (!Button || (Upper == "R" && !Button->isVisibleTo(Owned))) return false;
  return Press(Button);
}
