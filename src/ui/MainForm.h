#pragma once
// The main window: the composition root of the game. It owns the rules engine, the impulse
// clock and its schedule, the map surface with its view and effects, the lobby connection, the
// scrambler, the settings store, the sound mixer with the game's sounds, the music player, the
// timers, the tip and about dialogs, and the six screens of the game, one in front at a time.
// Its handlers stay thin: what they decide lives in GameScreenRules.h and the core.
#include <QCursor>
#include <QPointer>
#include <QWidget>
#include <array>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "platform/RegistryManager.h"
#include "sprites/BombBlastSprite.h"
#include "ui/GameScreenControls.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPainter;
class QStackedWidget;
class QTabWidget;
class QTimer;
class TAboutDialog;
class TBrenmoorEngine;
class TBrenmoorBrain;
class TBrenmoorForms;
class TGameWindow;
class TColorMemo;
class TGraphicPanel;
class TGameSession;
struct TGameSetUp;
struct TGameStart;
class TBrenmoorZone;
class TCellImage;
class TClockRun;
class TColorButton;
class TColorPalette;
class TElasticPanel;
class TImpulseAssigner;
class TMediaPlayer;
class TMediaPlayerEx;
class TNation;
class TOSKTipDlg;
class TOrdersPanel;
struct TGameBars;
class TBrenmoorUnitListBox;
class TOwnerDrawListBox;
class TPGCaptionBar;
class TPGCaptionBarButton;
class TQtImpulseScheduler;
class TRealTimeEngine;
class TSoundBuffer;
class TSprite;
class TLobbyLogin;
class TLobbyScreen;
class TScriptEditorScreen;
class TSetupScreen;
class TfrmNews;
class TfrmScores;
struct TWarNotice;
class TSpriteEngine;
class TStorm;
class TRandomEvent;
class TSpriteSurfaceNavigator;
class TSpriteSurfaceScroller;
class TStormSpriteFactory;
class TSpriteSurfaceView;
class TStringEncryptor;
class TSurfaceMapSetLoader;
class TWindowOrderSink;
class TThreadedTimer;
class TUnit;
class TVexilConnection;
class TVexilUser;
class TVexilImpulseConnection;
class TWaveMixer;
class TZoneSpriteSurface;

class TfrmMain : public QWidget {
  Q_OBJECT
public:
  // The main window's message that shows the tip of the day once the window is on screen.
  static constexpr int WM_SHOWSTARTUPTIP = 1025;
  // The game's sounds, by component name, and the files of the program folder's "sounds".
  static const std::vector<std::pair<std::string, std::string>>& SoundFiles();

  // Settings: the store to keep the settings in (nullptr: the user's own).
  explicit TfrmMain(std::unique_ptr<TRegistryManager> Settings = nullptr, QWidget* Parent = nullptr);
  ~TfrmMain() override;

  // The windows made after this one at start-up (navigator, news, scores...), not owned.
  void SetForms(TBrenmoorForms* Forms);
  TBrenmoorForms* Forms() const { return FForms; }
  // Runs when the window has closed and written its settings: ends the program.
  std::function<void()> OnTerminate;

  // --- Owned components ---
  TBrenmoorEngine& brm() { return *FEngine; }
  TRealTimeEngine& rte() { return *FClock; }
  TImpulseAssigner& impulses() { return *FImpulses; }
  TZoneSpriteSurface& surface() { return *FSurface; }
  TSpriteSurfaceView& surfaceView() { return *FSurfaceView; }
  TSpriteEngine& engineEffects() { return *FEffects; }
  // The storm factory and the five blast factories of the map's effects.
  TStormSpriteFactory& factStorm() { return *FStormFactory; }
  TBombBlastSpriteFactory& BlastFactory(TBlastKind Kind) { return *FBlastFactories.at(Kind); }
  TSpriteSurfaceScroller& scroller() { return *FScroller; }
  // The navigator in the navigator window (nullptr before the windows are made).
  TSpriteSurfaceNavigator* navigator() const { return FNavigator; }
  TColorPalette& palMain() { return *FPalette; }
  TVexilConnection& vexil() { return *FVexil; }
  TStringEncryptor& encrypt() { return *FEncrypt; }
  TRegistryManager& reg() { return *FSettings; }
  TWaveMixer& mixer() { return *FMixer; }
  TMediaPlayerEx& midi() { return *FMidi; }
  // The music player plays through Device from now on (the synthesiser by default).
  void SetMusicDevice(std::unique_ptr<TMediaPlayer> Device);
  TThreadedTimer& timerExplosions() { return *FTimerExplosions; }
  QTimer& timerImage() { return *FTimerImage; }
  // The sound buffer of that name (sndButton, sndClick...); nullptr for another name.
  TSoundBuffer* Sound(const std::string& Name) const;
  // Screen cursors: 1 the target cursor, 2 the busy cursor (the default arrow when its file is
  // missing).
  QCursor ScreenCursor(int Index) const;

  // --- Screens ---
  TElasticPanel* pnlTitle() const { return FTitle; }
  TElasticPanel* pnlGameSetup() const { return FGameSetup; }
  TElasticPanel* pnlGame() const { return FGame; }
  TElasticPanel* pnlLobby() const { return FLobby; }
  TElasticPanel* pnlHallOfFame() const { return FHallOfFame; }
  TElasticPanel* pnlEditor() const { return FEditor; }
  // Brings Screen to the front.
  void ShowScreen(TElasticPanel* Screen);
  // The screen in front.
  TElasticPanel* FrontScreen() const;

  // --- State read by the game's windows ---
  TNation* CurrentNation() const { return FCurrentNation; }
  TBrenmoorZone* SelectedZone() const { return FSelectedZone; }
  std::vector<TUnit*>& SelectedUnits() { return FSelectedUnits; }

  // --- Operations the other windows call ---
  // Plays Sound only while the caption bar's sound switch is down.
  void PlaySoundIfEnabled(TSoundBuffer* Sound);
  bool SoundOn() const;
  bool MusicOn() const;
  // Leaves the running game: the lists and the selection emptied, music and clock stopped,
  // the game's dialogs cancelled and its tool windows hidden; the lobby or the title screen in
  // front.
  void CloseGame();
  // The map set FileName (relative to the current folder) on the map surface: each map zone
  // becomes one zone of the rules engine with its game sprite.
  void LoadMapSet(const std::string& FileName);
  // The current nation's texts on the status bar and the diplomacy button's glyph.
  void UpdateStatusBar();
  // The locally played nations to choose the current one from (filled when a game starts).
  void SetLocalNations(const std::vector<TNation*>& Nations);

  // --- The war's record: the banner over the map, the score history, the news ---
  // The banner drawn over the map ("P A U S E D", a victory...); an empty text draws none.
  void SetBannerText(const std::string& Text);
  const std::string& BannerText() const { return FBannerText; }
  // A point of the score history (taken every 30 impulses).
  void AddScorePoint();
  // A new game: the score history and the news, standing actions too, start empty.
  void ClearWarRecord();
  // After every impulse: the news window lets its standing actions expire.
  void ExpireStandingActions();

  // --- Happenings on the game screen (MainFormEvents.cpp) ---
  // The message panel at the top and the notice panel at the bottom of the game screen: the
  // text in Color (a window-system colour value) and shown.
  void ShowMessagePanel(const std::string& Text, std::uint32_t Color);
  void ShowNotify(const std::string& Text, std::uint32_t Color);
  // The zones where battle goes on, counted after each impulse: the explosion sounds follow it.
  int ZonesUnderAttack() const { return FZonesUnderAttack; }
  void SetZonesUnderAttack(int Value) { FZonesUnderAttack = Value; }
  // The random event the rules last raised, waiting for the player to read it.
  bool RandomEventPending() const { return FRandomEventNotice == rnUnread; }
  TRandomEvent* PendingRandomEvent() const { return FPendingRandomEvent; }
  // Shows the pending event in the event window, modally.
  void btnRandomEventClick();
  // The battle sounds and the pending event's blinking button.
  void timerExplosionsTimer();

  // --- Orders ---
  // The orders and panels beside the map (OrdersPanel.h): the units and zone tabs, the order
  // prompt, the order modes and the orders given through the policy windows.
  TOrdersPanel& Orders() { return *FOrders; }
  // The order records, the order mode, the panels' refresh, the selected units, the zone click
  // and a unit leaving the game, as the game's steps and the computer players reach them.
  void IssueOrder(std::uint8_t Code, const std::vector<std::string>& Values);
  void IssueOrderRecord(const std::string& Record);
  void EnterOrderMode(int Mode);
  void UpdateInfoPanels();
  TUnit* SelectedUnit(int Index) const;
  void surfaceZoneClick(TBrenmoorZone* Zone);
  void brmRemoveUnit(TUnit* Unit);

  // --- Handlers (public so that the game's windows and tests can call them as a click does) ---
  void ShowStartupTip();
  void imTipsClick();
  void btnAboutClick();
  void btnExitClick();
  void btnHelpClick();
  void btnScenarioEditorClick();
  void cbtnMidiClick();
  void timerMidiTimer();
  void timerImageTimer();
  void cmbCurrentNationClick(int Index);
  void btnFinalScoreClick();

  // --- A game from its set-up to its end ---
  // The title screen's solo game: the set-up screen with the solo options.
  void btnNewGameClick();
  // The set-up screen (SetupScreen.h) in front, its scenario list brought up to date.
  void ShowSetupPanel();
  // The game screen for the game of SetUp: a new game (the scenario's zones and units, the
  // powers handed out) or a loaded one (its own state, players and impulse), the rules taking
  // orders only from the game's players; the clock starts. A set-up the start refuses is said
  // and starts nothing (false).
  bool StartGame(const TGameSetUp& SetUp);
  // The impulse clock's step after the rules ran: the upkeep, the map's blasts, the date, a victory.
  void rteAfterProcess();
  void btnPauseClick();
  void btnFastAIDuelClick();
  void btnSurrenderClick();
  void brmPlayerSurrender(const std::string& PlayerName);
  void brmRemovePlayer(const std::string& PlayerName);
  // The game's end: the banner, for a victory the final scores and the free-for-all question,
  // the clock stopped when Stop (or when the victory does not go on), the selection mode.
  void EndGame(const std::string& Message, bool IsVictory, bool Stop);
  bool GameOver() const { return FPhase == TGamePhase::Over; }
  // --- Saved games ---
  // Asks for the file and writes the scrambled state text whole (the old file stays until the
  // new one is complete).
  void SaveGame();
  void btnSaveClick();
  // Leaving a game under way (the Exit button, or closing the window) asks first whether to
  // leave and then whether to save; false when the player stays.
  bool ConfirmLeavingGame();
  void btnExitGameClick();
  // Asks for a saved game and loads it into the engine: true when one was loaded. A file that
  // cannot be read, or a text the engine refuses, is said and leaves the game as it was.
  bool LoadGameFile();
  // A saved game's state text (already descrambled) into the engine; a text it refuses is said
  // and leaves the game as it was.
  bool LoadGameText(const std::string& Text);
  void btnOpenSavedGameClick();
  // --- The script editor screen (ScriptEditorScreen.h) ---
  TColorMemo* memoScript() const;
  void btnEditorClick();
  // The set-up screen's choice of the major powers' script files for the engine's scenario:
  // on Proceed into the nations and the settings.
  void SpecifyAIScripts();
  // The navigator window's marks over the small map: owners' squares and embattled outlines.
  void navigatorCustomPaint(TSpriteSurfaceNavigator& Sender, QPainter& Canvas);

  // --- Online play (LobbyLogin.h, LobbyScreen.h) ---
  // The log-in to the lobby, its dialogs and the link's state.
  TLobbyLogin& login() { return *FLobbyLogin; }
  // The lobby and hall-of-fame screens, online rooms and the start of an online game.
  TLobbyScreen& lobby() { return *FLobbyScreen; }
  // The own lobby identifier ("" before the log-in).
  std::string OwnUserId() const;
  // The online options of the set-up screen asked for a game name: the new game's room.
  void CreateNewGameRoom(const std::string& GameName);
  // A victory hosted here goes to the server's game log and, in the Standard scenario, its
  // hall of fame.
  void SendGameResult();

protected:
  bool event(QEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void closeEvent(QCloseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;

private:
  // The tool windows' switches on the game screen, each with the window it shows.
  struct TToolWindowSwitch {
    const char* ButtonName;
    TGameWindow& (*Window)(TBrenmoorForms& Forms);
  };
  static const std::array<TToolWindowSwitch, 4> ToolWindowSwitches;

  void CreateComponents();
  void CreateTimers();
  void CreateCaptionBar();
  void CreateScreens();
  void CreateTitleScreen();
  void CreateGameScreen();
  void CreateGameToolbar(TElasticPanel* Game);
  void CreateSetupScreen();
  // The steps of StartGame: the last game's traces off the game screen; the nations played
  // here and the controls the game shows.
  void ResetGameScreen();
  void ShowPlayedNations(const TGameStart& Start);
  // Bomb and bombardment blasts at each zone hit in this impulse; the embattled zones counted.
  void AddImpulseBlasts();
  // The selection follows the first selected unit to its new zone.
  void FollowSelectedUnit();
  // The refreshes after an impulse.
  void RefreshAfterImpulse();
  // The computer players' orders go through this window to the clock (MainFormImpulse.cpp).
  void ConnectScriptOrders();
  // The navigator and its Close button in the navigator window.
  void CreateNavigator(class TGameWindow& Window);
  void CreateArtwork();
  void WireEngineEvents();
  // The handlers of the rules' happenings (MainFormEvents.cpp).
  void WireWarEvents();
  void CreateNoticePanels(TElasticPanel* Game);
  // The news, score, final score and event windows on this window's engine, map and flags.
  void ConnectWarWindows();
  TfrmNews* NewsWindow() const;
  TfrmScores* ScoresWindow() const;
  // A happening's text where it belongs: the news (centred on NewsZone) and a panel.
  void TellNotice(const TWarNotice& Notice, TBrenmoorZone* NewsZone);
  // One blast of Kind at the zone's centre moved by (DX, DY), at Z order Z.
  void AddBlast(TBlastKind Kind, const TBrenmoorZone* Zone, int DX, int DY, int Z);
  void WireClockEvents();
  void FormShow();
  void FormClose();
  // The panels that fill the client area take its rectangle.
  void PlaceScreens();
  // A colour button of the game screens, with the click sound.
  // Made: a button of a derived class, already made, to style instead of a new one.
  TColorButton* MakeButton(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Bounds,
                           bool Toggle = false, TColorButton* Made = nullptr);
  // Binds the button's click to one of the window's handlers.
  void BindClick(const char* ButtonName, void (TfrmMain::*Handler)());
  QImage LoadArt(const QString& Name) const;
  void lbVictoryConditionsCustomDraw(TOwnerDrawListBox* Control, class QPainter& Canvas, int Index,
                                     const QRect& Rect, unsigned State);

  TBrenmoorForms* FForms = nullptr;
  bool FShownOnce = false;

  // Components, in the order they are made (and so freed last first).
  std::unique_ptr<TRegistryManager> FSettings;
  std::unique_ptr<TStringEncryptor> FEncrypt;
  std::unique_ptr<TColorPalette> FPalette;
  std::unique_ptr<TZoneSpriteSurface> FSurface;
  std::unique_ptr<TSpriteEngine> FEffects;
  std::unique_ptr<TStormSpriteFactory> FStormFactory;
  std::array<std::unique_ptr<TBombBlastSpriteFactory>, BlastKindCount> FBlastFactories;
  std::unique_ptr<TBrenmoorEngine> FEngine;
  std::unique_ptr<TImpulseAssigner> FImpulses;
  std::unique_ptr<TVexilConnection> FVexil;
  std::unique_ptr<TVexilImpulseConnection> FVexilImpulses;
  std::unique_ptr<TQtImpulseScheduler> FScheduler;
  std::unique_ptr<TRealTimeEngine> FClock;
  std::unique_ptr<TWaveMixer> FMixer;
  std::map<std::string, std::unique_ptr<TSoundBuffer>> FSounds;
  std::unique_ptr<TMediaPlayerEx> FMidi;
  std::unique_ptr<TOSKTipDlg> FTips;
  std::unique_ptr<TAboutDialog> FAbout;
  TThreadedTimer* FTimerMidi = nullptr;
  TThreadedTimer* FTimerExplosions = nullptr;
  QTimer* FTimerImage = nullptr;
  std::map<int, QCursor> FCursors;

  // The caption bar and its switches.
  TPGCaptionBar* FCaptionBar = nullptr;
  TPGCaptionBarButton* FSoundSwitch = nullptr;
  TPGCaptionBarButton* FMidiSwitch = nullptr;

  // Screens.
  TElasticPanel* FTitle = nullptr;
  TElasticPanel* FGameSetup = nullptr;
  TElasticPanel* FGame = nullptr;
  TElasticPanel* FLobby = nullptr;
  TElasticPanel* FHallOfFame = nullptr;
  TElasticPanel* FEditor = nullptr;
  QWidget* FArtwork = nullptr;
  TSpriteSurfaceView* FSurfaceView = nullptr;
  TSpriteSurfaceScroller* FScroller = nullptr;
  TSpriteSurfaceNavigator* FNavigator = nullptr;
  QLabel* FTitlePicture = nullptr;

  // Game screen state.
  TNation* FCurrentNation = nullptr;
  std::vector<TNation*> FLocalNations;
  TBrenmoorZone* FSelectedZone = nullptr;
  std::vector<TUnit*> FSelectedUnits;
  std::string FBannerText;
  // The toolbar's and status bar's widgets that change in a game, and the orders panel, which
  // keeps the selection above up to date (it is the game screen's, shared with the impulse and
  // start steps).
  std::unique_ptr<TGameBars> FBars;
  std::unique_ptr<TOrdersPanel> FOrders;
  friend class TOrdersPanel;
  // The orders panel's lists, which the start and the close of a game empty.
  TBrenmoorUnitListBox* FUnitTarget = nullptr;
  TBrenmoorUnitListBox* FUnits = nullptr;
  class TBrenmoorForcesListBox* FForces = nullptr;

  // Happenings.
  QLabel* FMessage = nullptr;
  QLabel* FNotify = nullptr;
  TColorButton* FRandomEventButton = nullptr;
  // The random event the rules last raised in this game (nullptr: none yet) and where its
  // button stands: hidden, blinking until read, steady once read (a click shows it again).
  TRandomEvent* FPendingRandomEvent = nullptr;
  enum TRandomEventNotice : std::uint8_t { rnNone, rnUnread, rnRead } FRandomEventNotice = rnNone;
  // A game from its set-up to its end: whether the set-up (and so the game) is one of this
  // machine alone or an online one, and where the game stands. Over: its end is shown (a
  // victory, a surrender, a conquest), though the clock may run on, until a game starts again.
  bool FSoloSetup = true;
  enum class TGamePhase : std::uint8_t { NoGame, SetUp, Running, Over } FPhase = TGamePhase::NoGame;
  // The set-up screen's controls and steps on pnlGameSetup.
  std::unique_ptr<TSetupScreen> FSetup;
  // The game screen's controls that a game's start, impulses and end reach.
  TGameScreenControls FControls;
  bool FBombardSoundDue = false;
  // The date of the impulse under way (the date label shows it once the impulse is over).
  double FImpulseDate = 0;
  int FImpulsesSinceScorePoint = 0;
  int FZonesUnderAttack = 0;
  // Shared pointers: their classes are complete only where they are made.
  std::shared_ptr<TSurfaceMapSetLoader> FMapSetLoader;
  std::shared_ptr<TWindowOrderSink> FScriptOrders;
  // The script editor screen's controls and steps on pnlEditor.
  std::unique_ptr<TScriptEditorScreen> FScriptEditor;
  // Online play: the start handshake (the room made here, the begun room's host...) and the
  // game's data messages; the log-in and the lobby's screens, which reach this window's parts.
  std::unique_ptr<TGameSession> FSession;
  friend class TLobbyLogin;
  friend class TLobbyScreen;
  std::unique_ptr<TLobbyLogin> FLobbyLogin;
  std::unique_ptr<TLobbyScreen> FLobbyScreen;
  // The file the last saved game was opened from.
  std::string FSavedGameFile;
};
