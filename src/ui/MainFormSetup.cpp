// The main window's set-up screen and the start of a game: the scenario list with its
// description, date, victory conditions and flags, the nations to play (solo) or the number of
// players (online), the set-up's refusals and the duel question, and StartGame for a new or a
// loaded game.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTabWidget>
#include <QTreeWidget>
#include <algorithm>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/GameRecords.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/UpkeepRules.h"
#include "foundation/DateUtils.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "screens/GameSession.h"
#include "screens/GameSetupRules.h"
#include "screens/GameStart.h"
#include "screens/ScriptEditorRules.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/TextCodec.h"
#include "platform/ThreadTimer.h"
#include "platform/WidgetUtils.h"
#include "players/ScriptModule.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/FormParts.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/NavigatorView.h"
#include "ui/UnitLists.h"

namespace {

const char* const ListStyle =
    "color: rgb(0,255,0); background: black; border: 1px solid rgb(0,128,0);"
    "selection-background-color: rgb(0,96,0); selection-color: rgb(255,255,0);";

// The busy cursor while a scenario or a game is read; the default one again when it goes.
class TBusyCursor {
public:
  TBusyCursor(QWidget& Window, const QCursor& Busy) : FWindow(Window) { FWindow.setCursor(Busy); }
  ~TBusyCursor() { FWindow.unsetCursor(); }
  TBusyCursor(const TBusyCursor&) = delete;
  TBusyCursor& operator=(const TBusyCursor&) = delete;

private:
  QWidget& FWindow;
};

// Hides the label when it goes (the "Loading" label, also when a step on the way throws).
struct TLabelHider {
  QLabel* Label;
  ~TLabelHider() { Label->hide(); }
};

// The computer-player script each nation of the scenario was last given (a setting per
// scenario and nation index).
void ApplyScriptSettings(TBrenmoorEngine& Engine, const TRegistryManager& Settings, bool MajorsOnly) {
  for (int I = 0; I < Engine.GetNationCount(); ++I) {
    TNation* Nation = Engine.GetNation(I);
    if (MajorsOnly && !Nation->GetMajorPower()) continue;
    const std::string Script = Settings.ReadString(AIScriptSettingName(Engine.GetScenarioFile(), I));
    if (!Script.empty()) Nation->SetAIScript(Script);
  }
}

// A panel of the set-up's options under its explaining text.
QWidget* OptionsPanel(QWidget* Setup, const char* Name, const char* LabelName, const char* Text, int TextHeight) {
  auto* Panel = new QWidget(Setup);
  Panel->setObjectName(Name);
  Panel->setGeometry(16, 250, 300, 160);
  QLabel* Label = MakeFormLabel(Panel, LabelName, Text, {0, 0, 300, TextHeight});
  Label->setWordWrap(true);
  Label->setFont(GameFont("Arial", 9));
  return Panel;
}

// The online set-up's number of players.
QWidget* MakeOnlineOptions(QWidget* Setup) {
  QWidget* Online = OptionsPanel(Setup, "pnlMultiPlayerGameOptions", "lblMultiPlayerGameOptions",
                                 "Select the number of Players that will participate in this Game.  Once all of the "
                                 "Players enter the Game, you will be able to assign them Nations.",
                                 50);
  auto* Players = new QSpinBox(Online);
  Players->setObjectName("spinPlayers");
  Players->setGeometry(0, 56, 60, 24);
  Players->setRange(2, 7);
  Players->setValue(2);
  return Online;
}

// The solo set-up's major powers to tick, each with its flag and alliance.
void MakeMajorPowersList(QWidget* Solo, const QFont& ListFont) {
  auto* Powers = new QTreeWidget(Solo);
  Powers->setObjectName("lvMajorPowers");
  Powers->setGeometry(0, 36, 300, 124);
  Powers->setColumnCount(2);
  Powers->setHeaderLabels({"Nation", "Alliance"});
  Powers->setRootIsDecorated(false);
  Powers->setFont(ListFont);
  Powers->setStyleSheet(QString("QTreeWidget {") + ListStyle +
                        "} QHeaderView::section { color: rgb(0,255,0); background: rgb(0,64,0); border: 0px; }"
                        " QTreeWidget::indicator { width: 11px; height: 11px; border: 1px solid rgb(0,255,0);"
                        " background: black; } QTreeWidget::indicator:checked { background: rgb(0,255,0); }");
  Powers->setIconSize(QSize(24, 16));
  Powers->header()->resizeSection(0, 160);
}

// The status bar's controls of the current nation.
constexpr const char* NationControls[] = {"imPlayerFlag",      "lblNationResources", "lblNationScore",
                                          "imNationResources", "imNationValue",      "cmbCurrentNation"};

}  // namespace

void TfrmMain::CreateSetupScreen() {
  TElasticPanel* Setup = FGameSetup;
  const QFont ListFont = GameFont("Arial", 11, true);
  MakeFormLabel(Setup, "lblGameSetup", "New Game", {16, 8, 300, 24});
  MakeFormLabel(Setup, "lblScenarios", "Scenario", {16, 36, 300, 18});
  auto* Scenarios = new QListWidget(Setup);
  Scenarios->setObjectName("lbScenarios");
  Scenarios->setGeometry(16, 56, 300, 70);
  Scenarios->setFont(ListFont);
  Scenarios->setStyleSheet(ListStyle);
  connect(Scenarios, &QListWidget::currentRowChanged, this, [this](int Row) {
    if (Row >= 0) RunGuarded([this] { lbScenariosClick(); });
  });
  auto* Description = new QPlainTextEdit(Setup);
  Description->setObjectName("memoScenarioDesc");
  Description->setGeometry(16, 132, 300, 96);
  Description->setReadOnly(true);
  Description->setFont(GameFont("Arial", 10));
  Description->setStyleSheet(ListStyle);
  MakeFormLabel(Setup, "lblStartingDate", "", {16, 230, 300, 18});

  // Solo: the nations to play here; online: the number of players.
  QWidget* Solo = OptionsPanel(Setup, "pnlSoloGameOptions", "lblSoloGameOptions",
                               "Select the Nation(s) that you want to control in this game.  The remaining Nations "
                               "will be controlled by the Computer.",
                               34);
  MakeMajorPowersList(Solo, ListFont);
  MakeOnlineOptions(Setup)->hide();

  MakeFormLabel(Setup, "lblVictoryConditions", "Victory Conditions", {330, 36, 290, 18});
  auto* Victory = new TOwnerDrawListBox(Setup);
  Victory->setObjectName("lbVictoryConditions");
  Victory->setGeometry(330, 56, 290, 354);
  Victory->SetColor(Qt::black);
  Victory->SetFontColor(QColor(0, 255, 0));
  Victory->SetItemHeight(18);
  Victory->setFont(GameFont("Arial", 11, true));
  Victory->SetDefaultDrawing(false);
  Victory->setEnabled(false);
  Victory->OnCustomDraw = [this](TOwnerDrawListBox* Control, QPainter& Canvas, int Index, const QRect& Rect,
                                 TOwnerDrawState State) {
    lbVictoryConditionsCustomDraw(Control, Canvas, Index, Rect, State);
  };
  auto* Loading = MakeFormLabel(Setup, "lblLoadingScenario", "Loading Scenario...", {216, 200, 200, 24});
  Loading->setStyleSheet("color: rgb(255,255,0); background: black;");
  Loading->setAlignment(Qt::AlignCenter);
  Loading->hide();

  MakeButton(Setup, "btnSpecifyAI", "Computer Players", {330, 416, 120, 25})->hide();
  MakeButton(Setup, "btnOkNewGame", "Start", {456, 416, 78, 25});
  MakeButton(Setup, "btnCancelSetup", "Cancel", {540, 416, 80, 25});
  BindClick("btnSpecifyAI", &TfrmMain::btnSpecifyAIClick);
  BindClick("btnOkNewGame", &TfrmMain::btnOkNewGameClick);
  findChild<TColorButton*>("btnCancelSetup")->OnClick = [this](TGraphicControl*) {
    ShowScreen(FVexil->LoggedIn() ? FLobby : FTitle);
  };
}

void TfrmMain::btnNewGameClick() {
  FSoloSetup = true;
  findChild<QWidget*>("pnlSoloGameOptions")->show();
  findChild<QWidget*>("pnlMultiPlayerGameOptions")->hide();
  ShowSetupPanel();
}

void TfrmMain::ShowSetupPanel() {
  ShowScreen(FGameSetup);
  // The scenario files of the current folder, the chosen one kept.
  auto* Scenarios = findChild<QListWidget*>("lbScenarios");
  const QString Chosen = Scenarios->currentItem() ? Scenarios->currentItem()->text() : QString();
  const QStringList Files = QDir::current().entryList({"*.brmscen"}, QDir::Files, QDir::Name);
  if (Files != [&] {
        QStringList Listed;
        for (int I = 0; I < Scenarios->count(); ++I) Listed << Scenarios->item(I)->text();
        return Listed;
      }()) {
    const QSignalBlocker Quiet(Scenarios);
    Scenarios->clear();
    Scenarios->addItems(Files);
    Scenarios->setCurrentRow(static_cast<int>(Files.indexOf(Chosen)));
  }
  if (!Scenarios->currentItem() && Scenarios->count() > 0) Scenarios->setCurrentRow(0);
}

void TfrmMain::lbScenariosClick() {
  auto* Scenarios = findChild<QListWidget*>("lbScenarios");
  if (!Scenarios->currentItem()) return;
  auto* Description = findChild<QPlainTextEdit*>("memoScenarioDesc");
  auto* Loading = findChild<QLabel*>("lblLoadingScenario");
  auto* Powers = findChild<QTreeWidget*>("lvMajorPowers");
  auto* Victory = findChild<TOwnerDrawListBox*>("lbVictoryConditions");
  Description->clear();
  Powers->clear();
  Victory->clear();
  findChild<QLabel*>("lblStartingDate")->clear();
  Loading->show();
  Loading->repaint();
  {
    const TBusyCursor Busy(*this, ScreenCursor(2));
    const TLabelHider HideLoading{Loading};
    FEngine->SetScenarioFile(FromQString(Scenarios->currentItem()->text()));
    Description->setPlainText(ToQString(FEngine->GetDescription()));
    Description->moveCursor(QTextCursor::Start);
    LoadFlags();
  }
  findChild<QLabel*>("lblStartingDate")->setText("Starting Date: " + ToQString(DateToStr(FEngine->GetDate())));
  ApplyScriptSettings(*FEngine, *FSettings, false);
  auto* Flags = FArtwork->findChild<TCellImage*>("cellFlags");
  for (int I = 0; I < FEngine->GetNationCount(); ++I) {
    const TNation* Nation = FEngine->GetNation(I);
    if (!Nation->GetMajorPower()) continue;
    auto* Item = new QTreeWidgetItem(Powers, {ToQString(Nation->GetName()),
                                              ToQString(AllianceColumnText(Nation->GetName(), Nation->GetAlliance()))});
    Item->setData(0, Qt::UserRole, I);
    Item->setCheckState(0, Qt::Unchecked);
    if (const QPixmap* Flag = Flags->GetCell(I, 0)) Item->setIcon(0, QIcon(*Flag));
  }
  auto* Players = findChild<QSpinBox*>("spinPlayers");
  const int Majors = FEngine->GetMajorCount();
  if (Players->value() > Majors) Players->setValue(2);
  Players->setMaximum(std::max(Majors, Players->minimum()));
  for (int I = 0; I < FEngine->GetVictoryConditionCount(); ++I)
    for (const std::string& Line : VictoryConditionLines(FEngine->GetVictoryCondition(I)->GetDescription()))
      Victory->addItem(ToQString(Line));
  findChild<QWidget*>("btnSpecifyAI")->show();
}

// The scripts window of the computer players is made with the script editor's screens; until
// then the button shows and does nothing.
void TfrmMain::btnSpecifyAIClick() { SpecifyAIScripts(); }

void TfrmMain::LoadFlags() {
  auto* Flags = FArtwork->findChild<TCellImage*>("cellFlags");
  const QString File = ToQString(ScenarioBaseName(FEngine->GetScenarioFile()) + "Flags.bmp");
  // Missing flags draw none; a picture of fewer cells than nations only draws narrower ones.
  Flags->SetPicture(QPixmap(QDir::current().filePath(File)));
  Flags->SetNumCellsX(FEngine->GetNationCount());
  Flags->SetNumCellsY(1);
}

void TfrmMain::btnOkNewGameClick() {
  auto* Scenarios = findChild<QListWidget*>("lbScenarios");
  auto* Players = findChild<QSpinBox*>("spinPlayers");
  auto* Powers = findChild<QTreeWidget*>("lvMajorPowers");
  Scenarios->setFocus();
  TSetupChoice Choice;
  Choice.ScenarioSelected = Scenarios->currentItem() != nullptr;
  Choice.Solo = FSoloSetup;
  Choice.Players = Players->value();
  std::vector<int> Ticked;
  for (int I = 0; I < Powers->topLevelItemCount(); ++I) {
    const QTreeWidgetItem* Item = Powers->topLevelItem(I);
    if (Item->checkState(0) != Qt::Checked) continue;
    Choice.TickedAlliances.push_back(FromQString(Item->text(1)));
    Ticked.push_back(Item->data(0, Qt::UserRole).toInt());
  }
  if (!Choice.ScenarioSelected) {
    Prompter().ShowMessage(JudgeSetup(Choice).Message);
    Scenarios->setFocus();
    return;
  }
  // The scenario is read again: the game starts from its file as it is now.
  FEngine->SetScenarioFile(FromQString(Scenarios->currentItem()->text()));
  const TSetupDecision Decision = JudgeSetup(Choice);
  switch (Decision.Verdict) {
    case svRefuse:
      Prompter().ShowMessage(Decision.Message);
      if (Decision.ResetPlayers) {
        Players->setFocus();
        Players->setValue(2);
      }
      return;
    case svAskGameName:
      if (const std::optional<std::string> Name = Prompter().InputText("New Game", "Enter a Name for this Game:", ""))
        CreateNewGameRoom(*Name);
      return;
    case svAskAIDuel:
      if (!Prompter().Confirm(Decision.Message)) return;
      break;
    case svStart:
      break;
  }
  TGameSetUp SetUp;
  SetUp.Mode = Ticked.empty() ? smDuel : smSolo;
  SetUp.Powers = SoloPowers(*FEngine, Ticked);
  FClock->SetConnection(nullptr);
  StartGame(SetUp);
}

bool TfrmMain::StartGame(const TGameSetUp& SetUp) {
  // The powers to their players, a new game's zones and units, and the rules taking orders
  // from the game's players only; a set-up the start refuses starts nothing.
  TGameStart Start;
  {
    const TBusyCursor Busy(*this, ScreenCursor(2));
    FSurface->SetMapSetFile(FEngine->GetMapSet());
    Start = StartGameRules(*FEngine, *FClock, SetUp);
  }
  if (!Start.Started()) {
    FSession->Fire(seStartFailed);
    Prompter().ShowMessage(Start.Refusal);
    return false;
  }
  ResetGameScreen();
  {
    const TBusyCursor Busy(*this, ScreenCursor(2));
    auto* Loading = findChild<QLabel*>("lblLoadingScenario");
    Loading->show();
    Loading->repaint();
    // The label goes when the game's screen is ready, and when a step on the way throws.
    const TLabelHider HideLoading{Loading};
    ApplyScriptSettings(*FEngine, *FSettings, true);
    if (FForms) {
      FForms->dmScript().SetBrenmoorEngine(FEngine.get());
      FForms->dmScript().NewGame();
    }
    ShowPlayedNations(Start);
    LoadFlags();
    if (FNavigator) FNavigator->SetBackground(ImageOfBitmap(FSurface->GetPreview()));
    FEngine->Upkeep().UpdateVisibility(FEngine->GetImpulse());
  }
  FSurface->SetActive(true);
  ShowScreen(FGame);
  // A loaded game goes on from its own impulse; before its first impulse the date label shows
  // the date the game starts at.
  FClock->SetImpulse(Start.Impulse);
  findChild<QLabel*>("lblDate")->setText(ToQString(LongDateToStr(FEngine->GetDate())));
  FSession->Fire(seStarted);
  FClock->SetActive(true);

  if (TBrenmoorZone* Home = StartingZone(*FEngine, FCurrentNation)) {
    FSurface->CenterOnZone(Home);
    surfaceZoneClick(Home);
  }
  // The diplomacy window's nations: every living one.
  if (TfrmDiplomacy* Diplomacy = FForms ? &FForms->Diplomacy() : nullptr) {
    Diplomacy->findChild<QListWidget*>("lbNations")->clear();
    for (int I = 0; I < FEngine->GetNationCount(); ++I)
      if (FEngine->GetNation(I)->GetAlive()) Diplomacy->AddNation(FEngine->GetNation(I));
  }
  return true;
}

void TfrmMain::ResetGameScreen() {
  FGameOver = false;
  findChild<QWidget*>("btnFinalScore")->hide();
  for (const char* Panel : {"pnlMessage", "pnlNotify"})
    if (auto* Widget = findChild<QWidget*>(Panel)) Widget->hide();
  if (FNavigator) FNavigator->InvalidateBackground();
  FUnits->clear();
  FUnitTarget->clear();
  FImpulsesSinceScorePoint = ScorePointImpulses;
  SetBannerText("");
  // The last game's event is gone with its rules: no button, nothing to show.
  findChild<QWidget*>("btnRandomEvent")->hide();
  FRandomEventNotice = rnNone;
  FPendingRandomEvent = nullptr;
  ClearWarRecord();
  findChild<QWidget*>("pageControls")->raise();
  FTimerExplosions->SetEnabled(true);
}

void TfrmMain::ShowPlayedNations(const TGameStart& Start) {
  FCurrentNation = nullptr;
  SetLocalNations(Start.LocalNations);
  if (!Start.LocalNations.empty()) {
    findChild<QComboBox*>("cmbCurrentNation")->setCurrentIndex(0);
    cmbCurrentNationClick(0);
  }
  const TGameControls Shown = GameControlsShown(FEngine->GetEngineOptions(), Start.AllComputer, FVexil->LoggedIn());
  for (auto [Name, Visible] : {std::pair{"btnNews", Shown.News}, std::pair{"btnResearch", Shown.Research},
                               std::pair{"btnDiplomacy", Shown.Diplomacy}, std::pair{"btnFormations", Shown.Formations},
                               std::pair{"btnCommunicate", Shown.Communicate}, std::pair{"btnPause", Shown.Pause},
                               std::pair{"btnSurrender", Shown.Surrender}, std::pair{"btnFastAIDuel", Shown.FastAIDuel}})
    findChild<QWidget*>(Name)->setVisible(Visible);
  for (const char* Name : NationControls) findChild<QWidget*>(Name)->setVisible(Shown.NationControls);
  if (Start.AllComputer)
    btnFastAIDuelClick();
  else
    FClock->SetInterval(TRealTimeEngine::DefaultInterval);
}
