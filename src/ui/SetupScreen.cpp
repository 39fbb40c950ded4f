#include "ui/SetupScreen.h"

#include <QDir>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTreeWidget>
#include <algorithm>
#include <optional>
#include <vector>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/GameRecords.h"
#include "engine/Nation.h"
#include "foundation/DateUtils.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/RegistryManager.h"
#include "platform/TextCodec.h"
#include "screens/GameSetupRules.h"
#include "screens/GameStart.h"
#include "screens/ScriptEditorRules.h"
#include "ui/FormParts.h"

namespace {

const char* const ListStyle =
    "color: rgb(0,255,0); background: black; border: 1px solid rgb(0,128,0);"
    "selection-background-color: rgb(0,96,0); selection-color: rgb(255,255,0);";

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
QSpinBox* MakePlayersSpin(QWidget* Online) {
  auto* Players = new QSpinBox(Online);
  Players->setObjectName("spinPlayers");
  Players->setGeometry(0, 56, 60, 24);
  Players->setRange(2, 7);
  Players->setValue(2);
  return Players;
}

// The solo set-up's major powers to tick, each with its flag and alliance.
QTreeWidget* MakeMajorPowersList(QWidget* Solo, const QFont& ListFont) {
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
  return Powers;
}

}  // namespace

TBusyCursor::TBusyCursor(QWidget& Window, const QCursor& Busy) : FWindow(Window) { FWindow.setCursor(Busy); }

TBusyCursor::~TBusyCursor() { FWindow.unsetCursor(); }

TShownLabel::TShownLabel(QLabel& Label) : FLabel(Label) {
  FLabel.show();
  FLabel.repaint();
}

TShownLabel::~TShownLabel() { FLabel.hide(); }

TSetupScreen::TSetupScreen(QWidget& Window, TElasticPanel& Panel, TBrenmoorEngine& Engine, TRegistryManager& Settings,
                           TCellImage& Flags, THooks Hooks)
    : FWindow(Window), FEngine(Engine), FSettings(Settings), FFlags(Flags), FHooks(std::move(Hooks)) {
  CreateControls(Panel);
}

void TSetupScreen::CreateControls(TElasticPanel& Panel) {
  QWidget* Setup = &Panel;
  const QFont ListFont = GameFont("Arial", 11, true);
  MakeFormLabel(Setup, "lblGameSetup", "New Game", {16, 8, 300, 24});
  MakeFormLabel(Setup, "lblScenarios", "Scenario", {16, 36, 300, 18});
  FScenarios = new QListWidget(Setup);
  FScenarios->setObjectName("lbScenarios");
  FScenarios->setGeometry(16, 56, 300, 70);
  FScenarios->setFont(ListFont);
  FScenarios->setStyleSheet(ListStyle);
  QObject::connect(FScenarios, &QListWidget::currentRowChanged, FScenarios, [this](int Row) {
    if (Row >= 0) RunGuarded([this] { ScenarioChosen(); });
  });
  FDescription = new QPlainTextEdit(Setup);
  FDescription->setObjectName("memoScenarioDesc");
  FDescription->setGeometry(16, 132, 300, 96);
  FDescription->setReadOnly(true);
  FDescription->setFont(GameFont("Arial", 10));
  FDescription->setStyleSheet(ListStyle);
  FStartingDate = MakeFormLabel(Setup, "lblStartingDate", "", {16, 230, 300, 18});

  // Solo: the nations to play here; online: the number of players.
  FSoloOptions = OptionsPanel(Setup, "pnlSoloGameOptions", "lblSoloGameOptions",
                              "Select the Nation(s) that you want to control in this game.  The remaining Nations "
                              "will be controlled by the Computer.",
                              34);
  FPowers = MakeMajorPowersList(FSoloOptions, ListFont);
  FOnlineOptions = OptionsPanel(Setup, "pnlMultiPlayerGameOptions", "lblMultiPlayerGameOptions",
                                "Select the number of Players that will participate in this Game.  Once all of the "
                                "Players enter the Game, you will be able to assign them Nations.",
                                50);
  FPlayers = MakePlayersSpin(FOnlineOptions);
  FOnlineOptions->hide();

  MakeFormLabel(Setup, "lblVictoryConditions", "Victory Conditions", {330, 36, 290, 18});
  FVictory = new TOwnerDrawListBox(Setup);
  FVictory->setObjectName("lbVictoryConditions");
  FVictory->setGeometry(330, 56, 290, 354);
  FVictory->SetColor(Qt::black);
  FVictory->SetFontColor(QColor(0, 255, 0));
  FVictory->SetItemHeight(18);
  FVictory->setFont(GameFont("Arial", 11, true));
  FVictory->SetDefaultDrawing(false);
  FVictory->setEnabled(false);
  FVictory->OnCustomDraw = [this](TOwnerDrawListBox* Control, QPainter& Canvas, int Index, const QRect& Rect,
                                  TOwnerDrawState State) { FHooks.DrawVictoryLine(Control, Canvas, Index, Rect, State); };
  FLoading = MakeFormLabel(Setup, "lblLoadingScenario", "Loading Scenario...", {216, 200, 200, 24});
  FLoading->setStyleSheet("color: rgb(255,255,0); background: black;");
  FLoading->setAlignment(Qt::AlignCenter);
  FLoading->hide();

  FSpecifyAI = FHooks.MakeButton(Setup, "btnSpecifyAI", "Computer Players", {330, 416, 120, 25});
  FSpecifyAI->hide();
  FSpecifyAI->OnClick = [this](TGraphicControl*) { FHooks.OnSpecifyAI(); };
  FHooks.MakeButton(Setup, "btnOkNewGame", "Start", {456, 416, 78, 25})->OnClick = [this](TGraphicControl*) { Proceed(); };
  FHooks.MakeButton(Setup, "btnCancelSetup", "Cancel", {540, 416, 80, 25})->OnClick = [this](TGraphicControl*) {
    FHooks.OnCancel();
  };
}

void TSetupScreen::ShowOptions(bool Solo) {
  FSoloOptions->setVisible(Solo);
  FOnlineOptions->setVisible(!Solo);
}

void TSetupScreen::ListScenarios() {
  const QString Chosen = FScenarios->currentItem() ? FScenarios->currentItem()->text() : QString();
  const QStringList Files = QDir::current().entryList({"*.brmscen"}, QDir::Files, QDir::Name);
  QStringList Listed;
  for (int I = 0; I < FScenarios->count(); ++I) Listed << FScenarios->item(I)->text();
  if (Files != Listed) {
    const QSignalBlocker Quiet(FScenarios);
    FScenarios->clear();
    FScenarios->addItems(Files);
    FScenarios->setCurrentRow(static_cast<int>(Files.indexOf(Chosen)));
  }
  if (!FScenarios->currentItem() && FScenarios->count() > 0) FScenarios->setCurrentRow(0);
}

void TSetupScreen::ScenarioChosen() {
  if (!FScenarios->currentItem()) return;
  FDescription->clear();
  FPowers->clear();
  FVictory->clear();
  FStartingDate->clear();
  {
    const TBusyCursor Busy(FWindow, FHooks.BusyCursor());
    const TShownLabel Loading(*FLoading);
    FEngine.SetScenarioFile(FromQString(FScenarios->currentItem()->text()));
    FDescription->setPlainText(ToQString(FEngine.GetDescription()));
    FDescription->moveCursor(QTextCursor::Start);
    LoadFlags();
  }
  FStartingDate->setText("Starting Date: " + ToQString(DateToStr(FEngine.GetDate())));
  ApplyScriptSettings(false);
  for (int I = 0; I < FEngine.GetNationCount(); ++I) {
    const TNation* Nation = FEngine.GetNation(I);
    if (!Nation->GetMajorPower()) continue;
    auto* Item = new QTreeWidgetItem(FPowers, {ToQString(Nation->GetName()),
                                               ToQString(AllianceColumnText(Nation->GetName(), Nation->GetAlliance()))});
    Item->setData(0, Qt::UserRole, I);
    Item->setCheckState(0, Qt::Unchecked);
    if (const QPixmap* Flag = FFlags.GetCell(I, 0)) Item->setIcon(0, QIcon(*Flag));
  }
  const int Majors = FEngine.GetMajorCount();
  if (FPlayers->value() > Majors) FPlayers->setValue(2);
  FPlayers->setMaximum(std::max(Majors, FPlayers->minimum()));
  for (int I = 0; I < FEngine.GetVictoryConditionCount(); ++I)
    for (const std::string& Line : VictoryConditionLines(FEngine.GetVictoryCondition(I)->GetDescription()))
      FVictory->addItem(ToQString(Line));
  FSpecifyAI->show();
}

void TSetupScreen::LoadFlags() {
  const QString File = ToQString(ScenarioBaseName(FEngine.GetScenarioFile()) + "Flags.bmp");
  // Missing flags draw none; a picture of fewer cells than nations only draws narrower ones.
  FFlags.SetPicture(QPixmap(QDir::current().filePath(File)));
  FFlags.SetNumCellsX(FEngine.GetNationCount());
  FFlags.SetNumCellsY(1);
}

void TSetupScreen::ApplyScriptSettings(bool MajorsOnly) {
  for (int I = 0; I < FEngine.GetNationCount(); ++I) {
    TNation* Nation = FEngine.GetNation(I);
    if (MajorsOnly && !Nation->GetMajorPower()) continue;
    const std::string Script = FSettings.ReadString(AIScriptSettingName(FEngine.GetScenarioFile(), I));
    if (!Script.empty()) Nation->SetAIScript(Script);
  }
}

void TSetupScreen::Proceed() {
  FScenarios->setFocus();
  TSetupChoice Choice;
  Choice.ScenarioSelected = FScenarios->currentItem() != nullptr;
  Choice.Solo = FHooks.IsSolo();
  Choice.Players = FPlayers->value();
  std::vector<int> Ticked;
  for (int I = 0; I < FPowers->topLevelItemCount(); ++I) {
    const QTreeWidgetItem* Item = FPowers->topLevelItem(I);
    if (Item->checkState(0) != Qt::Checked) continue;
    Choice.TickedAlliances.push_back(FromQString(Item->text(1)));
    Ticked.push_back(Item->data(0, Qt::UserRole).toInt());
  }
  if (!Choice.ScenarioSelected) {
    Prompter().ShowMessage(JudgeSetup(Choice).Message);
    FScenarios->setFocus();
    return;
  }
  // The scenario is read again: the game starts from its file as it is now.
  FEngine.SetScenarioFile(FromQString(FScenarios->currentItem()->text()));
  const TSetupDecision Decision = JudgeSetup(Choice);
  switch (Decision.Verdict) {
    case svRefuse:
      Prompter().ShowMessage(Decision.Message);
      if (Decision.ResetPlayers) {
        FPlayers->setFocus();
        FPlayers->setValue(2);
      }
      return;
    case svAskGameName:
      if (const std::optional<std::string> Name = Prompter().InputText("New Game", "Enter a Name for this Game:", ""))
        FHooks.OnNewGameRoom(*Name);
      return;
    case svAskAIDuel:
      if (!Prompter().Confirm(Decision.Message)) return;
      break;
    case svStart:
      break;
  }
  TGameSetUp SetUp;
  SetUp.Mode = Ticked.empty() ? smDuel : smSolo;
  SetUp.Powers = SoloPowers(FEngine, Ticked);
  FHooks.OnStart(SetUp);
}
