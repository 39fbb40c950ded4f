// The main window's set-up screen (SetupScreen.h) and the start of a game: StartGame for a new
// or a loaded game, from the set-up screen, a saved game or an online room.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/UpkeepRules.h"
#include "foundation/DateUtils.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "screens/GameSession.h"
#include "screens/GameSetupRules.h"
#include "screens/GameStart.h"
#include "platform/Prompter.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/TextCodec.h"
#include "platform/ThreadTimer.h"
#include "players/ScriptModule.h"
#include "lobby/VexilConnection.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/GameScreenControls.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/NavigatorView.h"
#include "ui/SetupScreen.h"
#include "ui/UnitLists.h"

void TfrmMain::CreateSetupScreen() {
  TSetupScreen::THooks Hooks;
  Hooks.MakeButton = [this](QWidget* Parent, const char* Name, const QString& Caption, const QRect& Bounds) {
    return MakeButton(Parent, Name, Caption, Bounds);
  };
  Hooks.DrawVictoryLine = [this](TOwnerDrawListBox* Control, QPainter& Canvas, int Index, const QRect& Rect,
                                 unsigned State) { lbVictoryConditionsCustomDraw(Control, Canvas, Index, Rect, State); };
  Hooks.BusyCursor = [this] { return ScreenCursor(2); };
  Hooks.IsSolo = [this] { return FSoloSetup; };
  Hooks.OnCancel = [this] { ShowScreen(FVexil->LoggedIn() ? FLobby : FTitle); };
  // The scripts window of the computer players is made with the script editor's screens.
  Hooks.OnSpecifyAI = [this] { SpecifyAIScripts(); };
  Hooks.OnNewGameRoom = [this](const std::string& GameName) { CreateNewGameRoom(GameName); };
  Hooks.OnStart = [this](const TGameSetUp& SetUp) {
    FClock->SetConnection(nullptr);
    StartGame(SetUp);
  };
  FSetup = std::make_unique<TSetupScreen>(*this, *FGameSetup, *FEngine, *FSettings,
                                          *FArtwork->findChild<TCellImage*>("cellFlags"), std::move(Hooks));
}

void TfrmMain::btnNewGameClick() {
  FSoloSetup = true;
  FSetup->ShowOptions(true);
  ShowSetupPanel();
}

void TfrmMain::ShowSetupPanel() {
  FPhase = TGamePhase::SetUp;
  ShowScreen(FGameSetup);
  FSetup->ListScenarios();
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
    // The label goes when the game's screen is ready, and when a step on the way throws.
    const TShownLabel Loading(FSetup->LoadingLabel());
    FSetup->ApplyScriptSettings(true);
    if (FForms) {
      FForms->dmScript().SetBrenmoorEngine(FEngine.get());
      FForms->dmScript().NewGame();
    }
    ShowPlayedNations(Start);
    FSetup->LoadFlags();
    if (FNavigator) FNavigator->SetBackground(ImageOfBitmap(FSurface->GetPreview()));
    FEngine->Upkeep().UpdateVisibility(FEngine->GetImpulse());
  }
  FSurface->SetActive(true);
  ShowScreen(FGame);
  // A loaded game goes on from its own impulse; before its first impulse the date label shows
  // the date the game starts at.
  FClock->SetImpulse(Start.Impulse);
  FControls.Date->setText(ToQString(LongDateToStr(FEngine->GetDate())));
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
  FPhase = TGamePhase::Running;
  FControls.FinalScore->hide();
  FMessage->hide();
  FNotify->hide();
  if (FNavigator) FNavigator->InvalidateBackground();
  FUnits->clear();
  FUnitTarget->clear();
  FImpulsesSinceScorePoint = ScorePointImpulses;
  SetBannerText("");
  // The last game's event is gone with its rules: no button, nothing to show.
  FRandomEventButton->hide();
  FRandomEventNotice = rnNone;
  FPendingRandomEvent = nullptr;
  ClearWarRecord();
  FControls.Pages->raise();
  FTimerExplosions->SetEnabled(true);
}

void TfrmMain::ShowPlayedNations(const TGameStart& Start) {
  FCurrentNation = nullptr;
  SetLocalNations(Start.LocalNations);
  if (!Start.LocalNations.empty()) {
    FControls.CurrentNation->setCurrentIndex(0);
    cmbCurrentNationClick(0);
  }
  const TGameControls Shown = GameControlsShown(FEngine->GetEngineOptions(), Start.AllComputer, FVexil->LoggedIn());
  const TGameScreenControls& C = FControls;
  for (auto [Button, Visible] : {std::pair{C.News, Shown.News}, std::pair{C.Research, Shown.Research},
                                 std::pair{C.Diplomacy, Shown.Diplomacy}, std::pair{C.Formations, Shown.Formations},
                                 std::pair{C.Communicate, Shown.Communicate}, std::pair{C.Pause, Shown.Pause},
                                 std::pair{C.Surrender, Shown.Surrender}, std::pair{C.FastAIDuel, Shown.FastAIDuel}})
    Button->setVisible(Visible);
  for (QWidget* Control : C.NationControls) Control->setVisible(Shown.NationControls);
  if (Start.AllComputer)
    btnFastAIDuelClick();
  else
    FClock->SetInterval(TRealTimeEngine::DefaultInterval);
}
