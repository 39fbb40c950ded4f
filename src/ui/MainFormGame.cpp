// The main window's game screen: the toolbar and its window switches, the map with its zone
// factories, the control tabs, the status bar and the current nation, and the set-up screen's
// victory-condition list.
#include <QComboBox>
#include <QImage>
#include <cstring>
#include <QLabel>
#include <QPainter>
#include <QShortcut>
#include <QTabBar>
#include <QTabWidget>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/OwnerDrawListBox.h"
#include "controls/TransparentGlyph.h"
#include "engine/BrenmoorEngine.h"
#include "gamemap/GameArt.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/TextCodec.h"
#include "platform/WidgetUtils.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/CommsForm.h"
#include "ui/FinalScoresForm.h"
#include "ui/FormParts.h"
#include "ui/GameScreenRules.h"
#include "ui/GameWindows.h"
#include "ui/NewsForm.h"
#include "ui/ScoresForm.h"
#include "ui/MainForm.h"
#include "ui/MapScroller.h"
#include "ui/NavigatorView.h"

namespace {

const QColor TabFace(0, 64, 0);  // 16384
const QColor TabText(0, 255, 0);  // 65280

// The control tabs' bar: each tab a dark green rectangle with its caption in green, centred
// across and 2 pixels below the top.
class TDrawnTabBar : public QTabBar {
public:
  using QTabBar::QTabBar;

protected:
  void paintEvent(QPaintEvent*) override {
    QPainter Canvas(this);
    Canvas.fillRect(rect(), Qt::black);
    for (int I = 0; I < count(); ++I) {
      const QRect Tab = tabRect(I);
      Canvas.fillRect(Tab.adjusted(0, 0, -1, 0), I == currentIndex() ? TabFace.lighter(150) : TabFace);
      Canvas.setPen(TabText);
      const int Width = Canvas.fontMetrics().horizontalAdvance(tabText(I));
      Canvas.drawText(Tab.left() + (Tab.width() - Width) / 2, Tab.top() + 2 + Canvas.fontMetrics().ascent(), tabText(I));
    }
  }
};

class TPageControl : public QTabWidget {
public:
  explicit TPageControl(QWidget* Parent) : QTabWidget(Parent) { setTabBar(new TDrawnTabBar(this)); }
};

QLabel* StatusLabel(QWidget* Parent, const char* Name, const QRect& Bounds) {
  return MakeGreenLabel(Parent, Name, Bounds, 12);
}

QLabel* StatusImage(QWidget* Parent, const char* Name, const QRect& Bounds) {
  auto* Image = new QLabel(Parent);
  Image->setObjectName(Name);
  Image->setGeometry(Bounds);
  Image->setScaledContents(true);
  return Image;
}

}  // namespace

void TfrmMain::CreateGameScreen() {
  const QPalette Colors = FGame->palette();
  CreateGameToolbar(FGame);

  FSurfaceView = new TSpriteSurfaceView(*FSurface, FGame);
  FSurfaceView->setObjectName("surface");
  FSurfaceView->setGeometry(0, 28, 452, 397);
  // The compass over the map's top-left corner.
  FScroller = new TSpriteSurfaceScroller(FGame);
  FScroller->setObjectName("scroller");
  FScroller->setGeometry(4, 32, 57, 57);
  FScroller->SetColorHighlight(Qt::black);
  FScroller->SetColorShadow(Qt::black);
  FScroller->SetGlyph(QPixmap::fromImage(LoadArt(GameArt::CompassGlyph)));
  FScroller->SetSpriteSurface(FSurface.get());
  FScroller->OnCenter = [this](TSpriteSurfaceScroller&) { scrollerCenter(); };

  auto* Pages = new TPageControl(FGame);
  Pages->setObjectName("pageControls");
  Pages->setGeometry(452, 28, 180, 397);
  Pages->setFont(GameFont("Arial", 12, true));
  Pages->setStyleSheet("QTabWidget::pane { border: 1px solid rgb(0,64,0); background: black; }");
  for (auto [Name, Caption] : {std::pair{"tabUnits", "Units"}, std::pair{"tabZone", "Zone"}}) {
    auto* Page = new QWidget;
    Page->setObjectName(Name);
    Page->setAutoFillBackground(true);
    Page->setPalette(Colors);
    Pages->addTab(Page, Caption);
  }
  connect(Pages, &QTabWidget::currentChanged, this, [this](int Index) { pageControlsChange(Index); });

  CreateStatusBar(FGame);
  CreateOrderControls(FGame);
  CreateNoticePanels(FGame);
}

void TfrmMain::CreateGameToolbar(TElasticPanel* Game) {
  auto* Toolbar = new TElasticPanel(Game);
  Toolbar->setObjectName("pnlToolbar");
  Toolbar->setGeometry(0, 0, 632, 28);
  struct TTool {
    const char* Name;
    const char* Caption;
    bool Toggle;
    const char* Hint;
  };
  const TTool Tools[] = {
      {"btnNavigator", "Map", true, "Show the navigator"},
      {"btnNews", "News", true, "Show the world news"},
      {"btnScores", "Scores", true, "Show the score history"},
      {"btnCommunicate", "Chat", true, "Talk with the other players"},
      {"btnShowOrders", "Orders", true, "Show the orders of your units on the map"},
      {"btnPause", "Pause", true, "Pause the game"},
      {"btnFastAIDuel", "Fast", true, "Let the computer players duel at full speed"},
      {"btnDiplomacy", "", false, "Diplomacy"},
      {"btnResearch", "Research", false, "Research"},
      {"btnFormations", "Forms", false, "Formations"},
      {"btnFinalScore", "Final", false, "Final scores"},
      {"btnSurrender", "Give up", false, "Surrender"},
      {"btnSave", "Save", false, "Save the game"},
      {"btnExitGame", "Exit", false, "Leave the game"},
  };
  // Each button shows its picture (a caption only where the picture is missing).
  int Left = 2;
  for (const TTool& T : Tools) {
    const QImage Glyph = LoadArt(T.Name);
    TColorButton* Button = MakeButton(Toolbar, T.Name, Glyph.isNull() ? T.Caption : "", {Left, 1, 30, 26}, T.Toggle);
    Button->setFont(GameFont("Arial", 11, true));
    Button->setToolTip(T.Hint);
    if (!Glyph.isNull()) Button->SetGlyph(MakeGlyphTransparent(QPixmap::fromImage(Glyph)));
    // A gap between the switches and the actions.
    Left += std::strcmp(T.Name, "btnFastAIDuel") == 0 ? 40 : 32;
  }
  auto* Diplomacy = findChild<TColorButton*>("btnDiplomacy");
  // The diplomacy button shows the actions left; none shown yet.
  SetComponentTag(Diplomacy, -1);
  if (auto* One = FArtwork->findChild<QLabel*>("imDiplomacy1")) Diplomacy->SetGlyph(MakeGlyphTransparent(One->pixmap()));
  for (const TToolWindowSwitch& Switch : ToolWindowSwitches)
    findChild<TColorButton*>(Switch.ButtonName)->OnClick = [this, &Switch](TGraphicControl*) { SwitchWindow(Switch); };
  BindClick("btnFinalScore", &TfrmMain::btnFinalScoreClick);
  BindClick("btnPause", &TfrmMain::btnPauseClick);
  BindClick("btnFastAIDuel", &TfrmMain::btnFastAIDuelClick);
  BindClick("btnSurrender", &TfrmMain::btnSurrenderClick);
  BindClick("btnSave", &TfrmMain::btnSaveClick);
  BindClick("btnExitGame", &TfrmMain::btnExitGameClick);
  Toolbar->Loaded();
}

void TfrmMain::CreateStatusBar(TElasticPanel* Game) {
  auto* Bar = new TElasticPanel(Game);
  Bar->setObjectName("pnlStatusBar");
  Bar->setGeometry(0, 425, 632, 24);
  Bar->setAutoFillBackground(true);
  QPalette Colors = Bar->palette();
  Colors.setColor(QPalette::Window, Qt::black);
  Bar->setPalette(Colors);
  StatusImage(Bar, "imPlayerFlag", {3, 3, 24, 18});
  auto* Nations = new QComboBox(Bar);
  Nations->setObjectName("cmbCurrentNation");
  Nations->setGeometry(30, 1, 120, 22);
  Nations->setFont(GameFont("Arial", 11, true));
  Nations->setStyleSheet("QComboBox { color: rgb(0,255,0); background: rgb(0,64,0); border: 1px solid rgb(0,255,0); }"
                         "QComboBox QAbstractItemView { color: rgb(0,255,0); background: black; }");
  connect(Nations, &QComboBox::activated, this, [this](int Index) { RunGuarded([&] { cmbCurrentNationClick(Index); }); });
  StatusImage(Bar, "imNationResources", {156, 4, 16, 16})->setToolTip("Resources");
  StatusLabel(Bar, "lblNationResources", {172, 2, 84, 20});
  StatusImage(Bar, "imNationValue", {258, 4, 16, 16})->setToolTip("World domination");
  StatusLabel(Bar, "lblNationScore", {274, 2, 50, 20});
  StatusLabel(Bar, "lblDate", {326, 2, 128, 20});
  StatusImage(Bar, "imZoneFlag", {456, 3, 24, 18});
  StatusLabel(Bar, "lblZoneName", {484, 2, 146, 20});
  for (auto [Image, Art] : {std::pair{"imNationResources", "imNationResources"}, std::pair{"imNationValue", "imNationValue"}})
    Bar->findChild<QLabel*>(Image)->setPixmap(MakeGlyphTransparent(QPixmap::fromImage(LoadArt(Art))));
  Bar->Loaded();
}

// --- The map ---

void TfrmMain::LoadMapSet(const std::string& FileName) {
  FSurface->LoadMapSet(FileName);
  if (FNavigator) FNavigator->SetBackground(ImageOfBitmap(FSurface->GetPreview()));
}

// --- The current nation and the status bar ---

void TfrmMain::SetLocalNations(const std::vector<TNation*>& Nations) {
  FLocalNations = Nations;
  auto* Combo = findChild<QComboBox*>("cmbCurrentNation");
  Combo->clear();
  for (TNation* Nation : Nations) Combo->addItem(ToQString(Nation->GetName()));
  Combo->setCurrentIndex(-1);
}

void TfrmMain::cmbCurrentNationClick(int Index) {
  if (Index < 0 || Index >= static_cast<int>(FLocalNations.size())) return;
  FCurrentNation = FLocalNations[static_cast<std::size_t>(Index)];
  auto* Flags = FArtwork->findChild<TCellImage*>("cellFlags");
  const QPixmap* Flag = Flags ? Flags->GetCell(FCurrentNation->GetIndex(), 0) : nullptr;
  findChild<QLabel*>("imPlayerFlag")->setPixmap(Flag ? *Flag : QPixmap());
  UpdateStatusBar();
}

void TfrmMain::UpdateStatusBar() {
  if (!FCurrentNation) return;
  const TStatusBarTexts Texts = StatusBarTexts(*FCurrentNation);
  findChild<QLabel*>("lblNationResources")->setText(ToQString(Texts.Resources));
  findChild<QLabel*>("lblNationScore")->setText(ToQString(Texts.Score));
  auto* Diplomacy = findChild<TColorButton*>("btnDiplomacy");
  const TDiplomacyGlyphChange Change = DiplomacyGlyphChange(FCurrentNation->GetDiplomaticActions(), ComponentTag(Diplomacy));
  if (!Change.Tag) return;
  SetComponentTag(Diplomacy, *Change.Tag);
  if (Change.Picture) {
    const QString Name = "imDiplomacy" + QString::number(*Change.Picture);
    if (auto* Picture = FArtwork->findChild<QLabel*>(Name)) Diplomacy->SetGlyph(MakeGlyphTransparent(Picture->pixmap()));
    Diplomacy->setProperty("GlyphName", Name);
  }
  Diplomacy->update();
}

void TfrmMain::scrollerCenter() {
  if (FCurrentNation && FCurrentNation->GetCapital()) FSurface->CenterOnZone(FCurrentNation->GetCapital());
}

void TfrmMain::pageControlsChange(int Index) { FUnitsTabShowing = Index == 0; }

// --- The window switches ---

const std::array<TfrmMain::TToolWindowSwitch, 4> TfrmMain::ToolWindowSwitches{{
    {"btnNavigator", [](TBrenmoorForms& F) -> TGameWindow& { return F.Navigator(); }},
    {"btnNews", [](TBrenmoorForms& F) -> TGameWindow& { return F.News(); }},
    {"btnCommunicate", [](TBrenmoorForms& F) -> TGameWindow& { return F.Comms(); }},
    {"btnScores", [](TBrenmoorForms& F) -> TGameWindow& { return F.Scores(); }},
}};

void TfrmMain::SwitchWindow(const TToolWindowSwitch& Switch) {
  if (!FForms) return;
  Switch.Window(*FForms).setVisible(findChild<TColorButton*>(Switch.ButtonName)->Down());
}

void TfrmMain::btnFinalScoreClick() {
  TfrmFinalScores* Form = FForms ? &FForms->FinalScores() : nullptr;
  if (!Form) return;
  Form->Fill(*FEngine);
  Form->exec();
}

// --- The set-up screen's victory conditions ---

void TfrmMain::lbVictoryConditionsCustomDraw(TOwnerDrawListBox* Control, QPainter& Canvas, int Index,
                                             const QRect& Rect, unsigned) {
  const TVictoryLine Line = VictoryLine(FromQString(Control->item(Index)->text()));
  Canvas.setPen(Control->FontColor());
  const int Baseline = Rect.top() + Canvas.fontMetrics().ascent();
  if (Line.Heading) {
    Canvas.drawText(Rect.left(), Baseline, ToQString(Line.Text));
    return;
  }
  if (auto* Bullet = FArtwork->findChild<QLabel*>("imGreenBullet"))
    Canvas.drawPixmap(Rect.left(), Rect.top() + 4, MakeGlyphTransparent(Bullet->pixmap()));
  Canvas.drawText(Rect.left() + 16, Baseline, ToQString(Line.Text));
}
