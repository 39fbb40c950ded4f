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
#include "ui/GameBars.h"
#include "ui/GameScreenRules.h"
#include "ui/GameWindows.h"
#include "ui/NewsForm.h"
#include "ui/ScoresForm.h"
#include "ui/MainForm.h"
#include "ui/MapScroller.h"
#include "ui/NavigatorView.h"
#include "ui/OrdersPanel.h"

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

}  // namespace

void TfrmMain::CreateGameScreen() {
  FBars = std::make_unique<TGameBars>();
  FBars->TakeArtwork(*FArtwork);
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
  FScroller->OnCenter = [this](TSpriteSurfaceScroller&) { FOrders->scrollerCenter(); };

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

  FBars->MakeStatusBar(*FGame, [this](const QString& Name) { return LoadArt(Name); });
  connect(FBars->Nations, &QComboBox::activated, this, [this](int Index) { RunGuarded([&] { cmbCurrentNationClick(Index); }); });
  FOrders = std::make_unique<TOrdersPanel>(*this, *FGame, *Pages, *FBars);
  FUnits = FOrders->UnitsList();
  FUnitTarget = FOrders->TargetList();
  FForces = FOrders->ForcesList();
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
    // The click of an action (the switches show their windows; diplomacy is the orders panel's).
    std::function<void()> Click;
  };
  const TTool Tools[] = {
      {"btnNavigator", "Map", true, "Show the navigator", nullptr},
      {"btnNews", "News", true, "Show the world news", nullptr},
      {"btnScores", "Scores", true, "Show the score history", nullptr},
      {"btnCommunicate", "Chat", true, "Talk with the other players", nullptr},
      {"btnShowOrders", "Orders", true, "Show the orders of your units on the map", nullptr},
      {"btnPause", "Pause", true, "Pause the game", [this] { btnPauseClick(); }},
      {"btnFastAIDuel", "Fast", true, "Let the computer players duel at full speed", [this] { btnFastAIDuelClick(); }},
      {"btnDiplomacy", "", false, "Diplomacy", nullptr},
      {"btnResearch", "Research", false, "Research", [this] { FOrders->btnResearchClick(); }},
      {"btnFormations", "Forms", false, "Formations", [this] { FOrders->btnFormationsClick(); }},
      {"btnFinalScore", "Final", false, "Final scores", [this] { btnFinalScoreClick(); }},
      {"btnSurrender", "Give up", false, "Surrender", [this] { btnSurrenderClick(); }},
      {"btnSave", "Save", false, "Save the game", [this] { btnSaveClick(); }},
      {"btnExitGame", "Exit", false, "Leave the game", [this] { btnExitGameClick(); }},
  };
  // Each button shows its picture (a caption only where the picture is missing).
  int Left = 2;
  for (const TTool& T : Tools) {
    const QImage Glyph = LoadArt(T.Name);
    TColorButton* Button = MakeButton(Toolbar, T.Name, Glyph.isNull() ? T.Caption : "", {Left, 1, 30, 26}, T.Toggle);
    Button->setFont(GameFont("Arial", 11, true));
    Button->setToolTip(T.Hint);
    if (!Glyph.isNull()) Button->SetGlyph(MakeGlyphTransparent(QPixmap::fromImage(Glyph)));
    if (T.Click) Button->OnClick = [Click = T.Click](TGraphicControl*) { Click(); };
    // A switch shows or hides its companion window as it stands.
    for (const TToolWindowSwitch& Switch : ToolWindowSwitches)
      if (std::strcmp(T.Name, Switch.ButtonName) == 0)
        Button->OnClick = [this, &Switch, Button](TGraphicControl*) {
          if (FForms) Switch.Window(*FForms).setVisible(Button->Down());
        };
    if (std::strcmp(T.Name, "btnDiplomacy") == 0) FBars->Diplomacy = Button;
    if (std::strcmp(T.Name, "btnShowOrders") == 0) FBars->ShowOrders = Button;
    // A gap between the switches and the actions.
    Left += std::strcmp(T.Name, "btnFastAIDuel") == 0 ? 40 : 32;
  }
  // The diplomacy button shows the actions left; none shown yet.
  SetComponentTag(FBars->Diplomacy, -1);
  if (QLabel* One = FBars->DiplomacyPictures[1]) FBars->Diplomacy->SetGlyph(MakeGlyphTransparent(One->pixmap()));
  Toolbar->Loaded();
}

// --- The map ---

void TfrmMain::LoadMapSet(const std::string& FileName) {
  FSurface->LoadMapSet(FileName);
  if (FNavigator) FNavigator->SetBackground(ImageOfBitmap(FSurface->GetPreview()));
}

// --- The current nation and the status bar ---

void TfrmMain::SetLocalNations(const std::vector<TNation*>& Nations) {
  FLocalNations = Nations;
  QComboBox* Combo = FBars->Nations;
  Combo->clear();
  for (TNation* Nation : Nations) Combo->addItem(ToQString(Nation->GetName()));
  Combo->setCurrentIndex(-1);
}

void TfrmMain::cmbCurrentNationClick(int Index) {
  if (Index < 0 || Index >= static_cast<int>(FLocalNations.size())) return;
  FCurrentNation = FLocalNations[static_cast<std::size_t>(Index)];
  const QPixmap* Flag = FBars->Flags ? FBars->Flags->GetCell(FCurrentNation->GetIndex(), 0) : nullptr;
  FBars->PlayerFlag->setPixmap(Flag ? *Flag : QPixmap());
  UpdateStatusBar();
}

void TfrmMain::UpdateStatusBar() {
  if (!FCurrentNation) return;
  const TStatusBarTexts Texts = StatusBarTexts(*FCurrentNation);
  FBars->Resources->setText(ToQString(Texts.Resources));
  FBars->Score->setText(ToQString(Texts.Score));
  TColorButton* Diplomacy = FBars->Diplomacy;
  const TDiplomacyGlyphChange Change = DiplomacyGlyphChange(FCurrentNation->GetDiplomaticActions(), ComponentTag(Diplomacy));
  if (!Change.Tag) return;
  SetComponentTag(Diplomacy, *Change.Tag);
  if (Change.Picture) {
    const QString Name = "imDiplomacy" + QString::number(*Change.Picture);
    if (QLabel* Picture = FBars->DiplomacyPictures.at(static_cast<std::size_t>(*Change.Picture)))
      Diplomacy->SetGlyph(MakeGlyphTransparent(Picture->pixmap()));
    Diplomacy->setProperty("GlyphName", Name);
  }
  Diplomacy->update();
}

// --- The window switches ---

const std::array<TfrmMain::TToolWindowSwitch, 4> TfrmMain::ToolWindowSwitches{{
    {"btnNavigator", [](TBrenmoorForms& F) -> TGameWindow& { return F.Navigator(); }},
    {"btnNews", [](TBrenmoorForms& F) -> TGameWindow& { return F.News(); }},
    {"btnCommunicate", [](TBrenmoorForms& F) -> TGameWindow& { return F.Comms(); }},
    {"btnScores", [](TBrenmoorForms& F) -> TGameWindow& { return F.Scores(); }},
}};

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
  if (const QLabel* Bullet = FBars ? FBars->GreenBullet : nullptr)
    Canvas.drawPixmap(Rect.left(), Rect.top() + 4, MakeGlyphTransparent(Bullet->pixmap()));
  Canvas.drawText(Rect.left() + 16, Baseline, ToQString(Line.Text));
}
