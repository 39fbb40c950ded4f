// The main window's part in every impulse and the end of a game: the impulse clock's steps
// (the date, the computer player's turn, the rules or the host's changes, the upkeep, the
// blasts, the victory check and the refreshes), pause and the computer players' fast duel,
// EndGame with the free-for-all question, surrender, the conquest of this machine's player and
// CloseGame.
#include <QComboBox>
#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <algorithm>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/DiplomacyRules.h"
#include "engine/EngineTypes.h"
#include "engine/ImpulseSteps.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/Unit.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "screens/GameSession.h"
#include "screens/GameSetupRules.h"
#include "screens/WarNews.h"
#include "lobby/LobbyProtocol.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUser.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "platform/ThreadTimer.h"
#include "players/ScriptModule.h"
#include "sound/MediaPlayerEx.h"
#include "sprites/SpriteEngine.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/BuildUnitForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/DivideUnitForm.h"
#include "ui/EventForm.h"
#include "ui/FormationsForm.h"
#include "ui/GameWindows.h"
#include "ui/ResearchForm.h"
#include "ui/MainForm.h"
#include "ui/NavigatorView.h"
#include "ui/UnitLists.h"

// The computer players' orders go the way a person's do: through the main window to the clock.
class TWindowOrderSink : public TOrderSink {
public:
  explicit TWindowOrderSink(TfrmMain& Main) : FMain(Main) {}
  void IssueOrder(const std::string& Record) override { FMain.IssueOrderRecord(Record); }

private:
  TfrmMain& FMain;
};

namespace {

Q_LOGGING_CATEGORY(OrderLog, "brenmoor.orders")

}  // namespace

// --- The impulse clock's steps ---

void TfrmMain::ConnectScriptOrders() {
  // The computer player's orders go the way a person's do, into this impulse's orders.
  if (!FScriptOrders) FScriptOrders = std::make_shared<TWindowOrderSink>(*this);
  FForms->dmScript().SetOrderSink(FScriptOrders.get());
}

void TfrmMain::WireClockEvents() {
  // The impulse's steps on this machine.
  TRealTimeEngine& C = *FClock;
  C.BeforeProcess = [this](TClockRun*) {
    TImpulseHooks Hooks;
    if (FForms) Hooks.OnComputerTurn = FForms->dmScript().TurnHook();
    // The date label follows once the impulse is over: a guest starts an impulse as soon as the
    // host's changes of the one before came, while the host still waits out that impulse's
    // interval, so a label set here would run one impulse ahead of the host's.
    FImpulseDate = BeforeImpulse(*FEngine, FClock->GetImpulse(), FClock->IsHost(), Hooks);
    FBombardSoundDue = false;
  };
  C.OnCollectOrders = [this](TClockRun*, const std::string& Record, const std::string& Sender) {
    FEngine->QueueOrder(Record, Sender);
  };
  C.OnProcessOrders = [this](TClockRun*) {
    FEngine->ProcessImpulse();
    // The order that a player may not give, or that does nothing, is dropped and goes to the
    // program's log; the game goes on.
    for (const std::string& Line : FEngine->GetRefusalLog()) qCInfo(OrderLog, "%.200s", Line.c_str());
    if (!FEngine->GetRefusalLog().empty()) FEngine->SetRefusalLog(true);
  };
  C.OnProcessStateChange = [this](TClockRun*, const std::string& Record) { FEngine->ApplyStateChange(Record); };
  C.OnUserRemoved = [](TClockRun*, const TVexilUserPtr&) {};
  C.AfterProcess = [this](TClockRun*) { rteAfterProcess(); };
  C.OnSoloUserInfo = [](TRealTimeEngine*, const TVexilUserPtr& User) { User->SetUserId(SoloPlayerName); };
  C.OnActivate = [](TRealTimeEngine*) {};
  C.OnDeactivate = [this](TRealTimeEngine*) { FZonesUnderAttack = 0; };
}


void TfrmMain::rteAfterProcess() {
  // The upkeep around the map's blasts; the engine goes on to the next impulse's number, so a
  // game saved now goes on from there.
  TImpulseHooks Hooks;
  Hooks.OnMapWork = [this](TBrenmoorEngine*, std::int32_t) { AddImpulseBlasts(); };
  AfterImpulse(*FEngine, Hooks);
  // The date of the impulse just played: the same on every machine once it is over.
  FControls.Date->setText(ToQString(LongDateToStr(FImpulseDate)));
  if (FBombardSoundDue) PlaySoundIfEnabled(Sound("sndBombard"));
  // A game that is over for this machine has shown its end; the victory is not told again.
  if (FPhase != TGamePhase::Over)
    if (const std::optional<TGameEnd> End = VictoryAfterImpulse(VictoryStateOf(*FEngine)))
      EndGame(End->Message, End->IsVictory, End->Stop);
  FollowSelectedUnit();
  RefreshAfterImpulse();
  const TScorePointStep Score = ScorePointAfterImpulse(FImpulsesSinceScorePoint);
  FImpulsesSinceScorePoint = Score.Counter;
  if (Score.AddPoint) AddScorePoint();
}

void TfrmMain::AddImpulseBlasts() {
  FZonesUnderAttack = 0;
  TRandomGenerator& Random = EffectsRandom();
  for (int I = 0; I < FEngine->GetZoneCount(); ++I) {
    const TBrenmoorZone* Zone = FEngine->GetZone(I);
    if (Zone->GetEmbattled()) ++FZonesUnderAttack;
    const auto Blast = [&](TBlastKind Kind) {
      std::unique_ptr<TSprite> Sprite = BlastFactory(Kind).CreateSprite();
      Sprite->SetX(static_cast<float>(Zone->GetCenterX() + Random.Random(20) - 10));
      Sprite->SetY(static_cast<float>(Zone->GetCenterY() + Random.Random(20) - 10));
      FEffects->AddSprite(std::move(Sprite));
    };
    for (int Hit = 0; Hit < Zone->GetBombCount(); ++Hit) Blast(bkBombs);
    for (int Hit = 0; Hit < Zone->GetStrikeCount(); ++Hit) {
      Blast(bkBombardment);
      FBombardSoundDue = true;
    }
  }
}

void TfrmMain::FollowSelectedUnit() {
  // Units the impulse destroyed leave the selection (their pointers are only compared).
  std::erase_if(FSelectedUnits, [this](const TUnit* Selected) {
    for (int I = 0; I < FEngine->GetUnitCount(); ++I)
      if (FEngine->GetUnit(I) == Selected) return false;
    return true;
  });
  if (FSelectedUnits.empty()) return;
  TBrenmoorZone* Zone = FSelectedUnits.front()->GetZone();
  if (!Zone || Zone == FSelectedZone) return;
  if (FSelectedZone && FSelectedZone->GetZoneSprite()) FSelectedZone->GetZoneSprite()->SetSelected(false);
  FSelectedZone = Zone;
  if (Zone->GetZoneSprite()) Zone->GetZoneSprite()->SetSelected(true);
}

void TfrmMain::RefreshAfterImpulse() {
  UpdateInfoPanels();
  UpdateStatusBar();
  if (FForms) {
    if (TfrmDivideUnit& Divide = FForms->DivideUnit(); Divide.isVisible()) Divide.RefreshForUnit(SelectedUnit(0));
  }
  if (FNavigator && FNavigator->isVisible()) FNavigator->update();
  ExpireStandingActions();
}

// --- Pause and the duel ---

void TfrmMain::btnPauseClick() {
  const bool Paused = FControls.Pause->Down();
  FClock->SetPaused(Paused);
  SetBannerText(Paused ? "P A U S E D" : "");
}

void TfrmMain::btnFastAIDuelClick() {
  FClock->SetInterval(ImpulseInterval(true, FControls.FastAIDuel->Down()));
}

// --- The end ---

void TfrmMain::EndGame(const std::string& Message, bool IsVictory, bool Stop) {
  SetBannerText(Message);
  if (IsVictory) {
    FEngine->Diplomacy().StoreIndustryTotals();
    // The host of an online game tells the server, once, before the game may go on.
    if (FPhase != TGamePhase::Over) SendGameResult();
    FControls.FinalScore->show();
    if (!Stop && OffersFreeForAll(FreeForAllStateOf(*FEngine))) {
      if (Prompter().Confirm(Message + FreeForAllQuestion)) {
        SetBannerText("");
        FEngine->Diplomacy().StartFreeForAll();
        Prompter().ShowMessage(FreeForAllNotice);
        return;
      }
    }
    // A victory that does not go on in free-for-all ends the game, once.
    Stop = true;
    FPhase = TGamePhase::Over;
  }
  if (Stop) FClock->SetActive(false);
  EnterOrderMode(0);
}

void TfrmMain::btnSurrenderClick() {
  if (!FClock->GetActive()) return;
  if (!Prompter().Confirm("Are you sure you want to Surrender?")) return;
  if (!FSoloSetup) {
    IssueOrder(ordSurrender, {FClock->GetUserName()});
    return;
  }
  EndGame("S U R R E N D E R E D", false, true);
}

void TfrmMain::brmPlayerSurrender(const std::string& PlayerName) {
  // Another player's surrender: told in the message panel, and the game goes on here.
  if (PlayerName != OwnUserId()) {
    ShowMessagePanel(PlayerName + " has Surrendered!", NoticeYellow);
    return;
  }
  EndGame("S U R R E N D E R E D", false, false);
  FPhase = TGamePhase::Over;
}

void TfrmMain::brmRemovePlayer(const std::string& PlayerName) {
  if (!FEngine->IsSoloGame() && PlayerName != OwnUserId()) return;
  EndGame("C O N Q U E R E D !", false, false);
  FPhase = TGamePhase::Over;
}

void TfrmMain::CloseGame() {
  if (FSelectedZone && FSelectedZone->GetZoneSprite()) FSelectedZone->GetZoneSprite()->SetSelected(false);
  FSelectedZone = nullptr;
  FUnits->clear();
  FUnitTarget->clear();
  FForces->clear();
  FZonesUnderAttack = 0;
  if (FMidi->IsPlaying()) FMidi->Stop();
  FMidi->Close();
  FSelectedUnits.clear();
  EnterOrderMode(0);
  if (FForms) FForms->dmScript().StopScripts();
  FClock->SetActive(false);
  FPhase = TGamePhase::NoGame;
  FSession->Fire(seGameClosed);
  FSurface->SetActive(false);
  FTimerExplosions->SetEnabled(false);
  QCoreApplication::processEvents();
  if (FVexil->Active()) {
    ShowScreen(FLobby);
    FVexil->JoinSubject(LobbyChatRoom);
  } else {
    ShowScreen(FTitle);
  }
  if (!FForms) return;
  for (TGameWindow* Form : std::initializer_list<TGameWindow*>{&FForms->BuildUnit(), &FForms->Diplomacy(), &FForms->DivideUnit(),
                                                              &FForms->Event(), &FForms->Formations(), &FForms->Research()})
    if (Form->isVisible()) Form->reject();
  for (std::size_t I = 0; I < ToolWindowSwitches.size(); ++I) {
    ToolWindowSwitches[I].Window(*FForms).hide();
    FControls.Switches[I]->SetDown(false);
  }
}
