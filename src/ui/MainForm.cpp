#include "ui/MainForm.h"
#include "ui/GameBars.h"
#include "ui/OrdersPanel.h"
#include "ui/ScriptEditorScreen.h"
#include "ui/SetupScreen.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QProcess>
#include <QTimer>
#include <QVBoxLayout>
#include <cstring>
#include <string_view>

#include "controls/AboutDialog.h"
#include "controls/CaptionBarArt.h"
#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/OwnerDrawListBox.h"
#include "controls/PGDsgFrm.h"
#include "controls/TipDialog.h"
#include "controls/TransparentGlyph.h"
#include "engine/BrenmoorEngine.h"
#include "engine/ImpulseAssigner.h"
#include "engine/RealTimeEngine.h"
#include "screens/GameSession.h"
#include "foundation/StringEncryptor.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "gamemap/GameArt.h"
#include "gamemap/GameMapHooks.h"
#include "screens/OrderEntry.h"
#include "lobby/VexilConnection.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "platform/LobbyTransport.h"
#include "platform/QtImpulseScheduler.h"
#include "platform/RegistryManager.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/TextCodec.h"
#include "platform/ThreadTimer.h"
#include "platform/WidgetUtils.h"
#include "players/ScriptModule.h"
#include "sound/MediaPlayerEx.h"
#include "sound/WaveMixer.h"
#include "sprites/ColorPalette.h"
#include "sprites/CursorFile.h"
#include "sprites/StormSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/GameScreenRules.h"
#include "ui/FormParts.h"
#include "ui/GameWindows.h"
#include "ui/Help.h"
#include "ui/LobbyDialogs.h"
#include "ui/LobbyLogin.h"
#include "ui/LobbyScreen.h"
#include "ui/LoginForm.h"
#include "ui/MapScroller.h"
#include "ui/NavigatorView.h"

namespace {

// The window as it was designed: its client area, which every screen fills.
constexpr int DesignWidth = 632;
constexpr int DesignHeight = 449;

// The colours of the game's buttons and panels.
const QColor DarkGreen(0, 64, 0);
const QColor Green(0, 255, 0);
const QColor Navy(0, 0, 128);

// The scrambling key of the lobby lines, the saved games and the server address file.
constexpr const char* ScramblerKey = "MorqTeln";
constexpr const char* ScenarioEditorFiles[] = {"BrenmoorScenarioEditor", "BrenmoorScenarioEditor.exe"};

QString ProgramFolder() { return QCoreApplication::applicationDirPath(); }
std::string ProgramFile(const QString& Name) { return FromQString(QDir(ProgramFolder()).filePath(Name)); }

// A cursor from a cursor file, its hot spot kept; nothing when the file is missing or cannot be
// read.
std::optional<QCursor> LoadCursorFile(const QString& FileName) {
  QFile File(FileName);
  if (!File.open(QIODevice::ReadOnly)) return std::nullopt;
  const QByteArray Bytes = File.readAll();
  try {
    const TCursorPicture Cursor =
        ReadCursorFile(std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())), FromQString(FileName));
    QImage Picture(Cursor.Width, Cursor.Height, QImage::Format_ARGB32);
    for (int Y = 0; Y < Cursor.Height; ++Y)
      for (int X = 0; X < Cursor.Width; ++X)
        Picture.setPixel(X, Y, Cursor.Pixels[static_cast<std::size_t>(Y * Cursor.Width + X)]);
    return QCursor(QPixmap::fromImage(Picture), Cursor.HotX, Cursor.HotY);
  } catch (const std::exception&) {
    return std::nullopt;
  }
}

QLabel* MakeLabel(QWidget* Parent, const char* Name, const QString& Text, const QRect& Bounds) {
  auto* Label = new QLabel(Text, Parent);
  Label->setObjectName(Name);
  Label->setGeometry(Bounds);
  return Label;
}

TElasticPanel* MakeScreen(QWidget* Parent, const char* Name) {
  auto* Panel = new TElasticPanel(Parent);
  Panel->setObjectName(Name);
  Panel->setGeometry(0, 0, DesignWidth, DesignHeight);
  Panel->SetDTWidth(DesignWidth);
  Panel->SetDTHeight(DesignHeight);
  Panel->setAutoFillBackground(true);
  QPalette Colors = Panel->palette();
  Colors.setColor(QPalette::Window, Qt::black);
  Colors.setColor(QPalette::WindowText, Green);
  Panel->setPalette(Colors);
  return Panel;
}

// The map surface on Palette: its land and sea colours, the zone grid and the small map.
std::unique_ptr<TZoneSpriteSurface> MakeMapSurface(TColorPalette& Palette) {
  auto Surface = std::make_unique<TZoneSpriteSurface>();
  Surface->SetColorPalette(&Palette);
  Surface->SetColorIndexLand(62);
  Surface->SetColorIndexSea(156);
  Surface->SetGridMarginTop(16);
  Surface->SetGridWidth(20);
  Surface->SetGridHeight(26);
  Surface->SetPreviewWidth(200);
  Surface->SetPreviewHeight(150);
  Surface->SetAutoBlank(true);
  Surface->SetAutoBlankColorIndex(0);
  // A frame every 80 ms at most: without a pace the frames would run back to back.
  Surface->SetAnimationInterval(80);
  return Surface;
}

// One of the game's sounds from the program folder's "sounds" (silent when it cannot be read).
std::unique_ptr<TSoundBuffer> LoadGameSound(TWaveMixer& Mixer, const std::string& File) {
  auto Buffer = std::make_unique<TSoundBuffer>();
  Buffer->SetWaveMixer(&Mixer);
  RunGuarded([&] { Buffer->LoadFromFile(ProgramFile("sounds/" + ToQString(File))); });
  return Buffer;
}

// The lobby connection over TLS (the server's certificate trusted as the settings keep it),
// its lines scrambled with the game's key.
std::unique_ptr<TVexilConnection> MakeLobbyConnection(TRegistryManager& Settings, TStringEncryptor& Encrypt) {
  auto Vexil = std::make_unique<TVexilConnection>(
      std::make_unique<TTcpLobbyTransport>(std::make_unique<TRegistryTrustStore>(Settings)));
  Vexil->SetSubjectCode("Brenmoor");
  Vexil->SetHost("localhost");
  Vexil->SetPort(0);
  Vexil->OnEncryptString = [&Encrypt](TVexilConnection*, std::string& Line) { Encrypt.EncryptString(Line); };
  Vexil->OnDecryptString = [&Encrypt](TVexilConnection*, std::string& Line) { Encrypt.DecryptString(Line); };
  return Vexil;
}

std::unique_ptr<TAboutDialog> MakeAboutDialog() {
  auto About = std::make_unique<TAboutDialog>();
  About->SetVersion("4.0 Build 2");
  About->SetCredits({"Brenmoor", "", "A game of the Second World War", "", "Design and programming",
                     "Quillfen", "", "Map, sounds and music", "made by the game's own tools", "",
                     "Thank you for playing!"});
  return About;
}

}  // namespace

const std::vector<std::pair<std::string, std::string>>& TfrmMain::SoundFiles() {
  static const std::vector<std::pair<std::string, std::string>> Files = {
      {"sndButton", "button.wav"},       {"sndClick", "click.wav"},     {"sndError", "error.wav"},
      {"sndExplosion", "explosion.wav"}, {"sndBombard", "bombard.wav"}, {"sndAtomic", "atomic.wav"},
      {"sndRockets", "rockets.wav"},     {"sndBuzz", "buzz.wav"}};
  return Files;
}

TfrmMain::TfrmMain(std::unique_ptr<TRegistryManager> Settings, QWidget* Parent) : QWidget(Parent) {
  setObjectName("frmMain");
  setWindowTitle("Brenmoor 4.0");
  setFont(GameFont("Imprint MT Shadow", 16));
  QPalette Colors = palette();
  Colors.setColor(QPalette::WindowText, Navy);
  setPalette(Colors);
  setProperty("HelpContext", 10);
  FSettings = Settings ? std::move(Settings) : std::make_unique<TRegistryManager>();
  FSettings->SetSubKey("Software\\Quillfen\\Brenmoor\\");
  FSettings->SetLazyWrite(false);
  CreateComponents();
  CreateCaptionBar();
  CreateScreens();
  // FormCreate: the title screen first.
  ShowScreen(FTitle);
  setMinimumSize(640, 480);
  resize(DesignWidth + 8, DesignHeight + 31);
}

TfrmMain::~TfrmMain() {
  // The map's widgets let go of the surface before it goes.
  if (FScroller) FScroller->SetSpriteSurface(nullptr);
  if (FNavigator) FNavigator->SetSpriteSurface(nullptr);
  // The clock goes first (it deactivates itself), then the engine lets go of the map.
  FClock.reset();
  FVexilImpulses.reset();
  if (FEngine) FEngine->SetZoneMap(nullptr);
  if (FMidi) {
    FMidi->Stop();
    FMidi->Close();
  }
}

void TfrmMain::CreateComponents() {
  FEncrypt = std::make_unique<TStringEncryptor>(ScramblerKey);
  const std::uint64_t Seed = static_cast<std::uint64_t>(QDateTime::currentMSecsSinceEpoch());
  EffectsRandom().SetSeed(Seed);

  // The map: its palette, surface and the effects over the zones.
  FPalette = std::make_unique<TColorPalette>();
  FSurface = MakeMapSurface(*FPalette);
  FEffects = std::make_unique<TSpriteEngine>();
  FEffects->SetPriority(1);
  FEffects->SetSpriteSurface(FSurface.get());
  FStormFactory = std::make_unique<TStormSpriteFactory>();
  SetGameStormSettings(*FStormFactory);
  for (int Kind = 0; Kind < BlastKindCount; ++Kind) {
    FBlastFactories[std::size_t(Kind)] = std::make_unique<TBombBlastSpriteFactory>();
    FBlastFactories[std::size_t(Kind)]->SetSettings(GameBlastSettings(TBlastKind(Kind)));
  }

  // The rules engine shares the map's zones: each map zone is made as one of its zones.
  FEngine = std::make_unique<TBrenmoorEngine>();
  FEngine->SetRandomSeed(Seed);
  InstallGameZoneHooks(*FSurface, *FEngine);
  FEngine->SetZoneMap(&FSurface->GetZoneMap());
  FImpulses = std::make_unique<TImpulseAssigner>(TImpulseAssigner::Standard());

  // The lobby connection, scrambled with the game's key; the port comes with the log-in.
  FVexil = MakeLobbyConnection(*FSettings, *FEncrypt);
  // The lobby's events are in place before the impulse clock links to the connection, so
  // that the clock hands back every message that is not its own.
  FSession = std::make_unique<TGameSession>(*FEngine);
  FLobbyScreen = std::make_unique<TLobbyScreen>(*this);
  FVexilImpulses = std::make_unique<TVexilImpulseConnection>(*FVexil);

  // The impulse clock on the window system's timers.
  FScheduler = std::make_unique<TQtImpulseScheduler>(this);
  FClock = std::make_unique<TRealTimeEngine>(*FScheduler);
  FClock->SetInterval(TRealTimeEngine::DefaultInterval);
  FClock->SetConnection(FVexilImpulses.get());
  FEngine->SetChangeSink(FClock.get());
  WireEngineEvents();
  WireClockEvents();
  FLobbyLogin = std::make_unique<TLobbyLogin>(*this);

  // Sound and music.
  FMixer = std::make_unique<TWaveMixer>();
  FMixer->Loaded();
  for (const auto& [Name, File] : SoundFiles()) FSounds[Name] = LoadGameSound(*FMixer, File);
  SetMusicDevice(nullptr);

  // Dialogs.
  FTips = std::make_unique<TOSKTipDlg>();
  SetUpBrenmoorTips(*FTips);
  FAbout = MakeAboutDialog();
  CreateTimers();

  // Screen cursors, by file name from the current folder.
  if (auto Target = LoadCursorFile(GameArt::TargetCursor)) FCursors[1] = *Target;
  if (auto Busy = LoadCursorFile(GameArt::BusyCursor)) FCursors[2] = *Busy;
}

void TfrmMain::CreateTimers() {
  FTimerMidi = new TThreadedTimer(this);
  FTimerMidi->setObjectName("timerMidi");
  FTimerMidi->SetInterval(5000);
  FTimerMidi->SetThreadPriority(tpLower);
  FTimerMidi->OnTimer = [this](TThreadedTimer*) { timerMidiTimer(); };
  FTimerExplosions = new TThreadedTimer(this);
  FTimerExplosions->setObjectName("timerExplosions");
  FTimerExplosions->SetInterval(500);
  FTimerImage = new QTimer(this);
  FTimerImage->setObjectName("timerImage");
  FTimerImage->setInterval(50);
  FTimerImage->setSingleShot(true);
  connect(FTimerImage, &QTimer::timeout, this, [this] { RunGuarded([this] { timerImageTimer(); }); });
}

void TfrmMain::WireEngineEvents() {
  // The game's happenings: news, notices, map effects and sounds (MainFormEvents.cpp).
  WireWarEvents();
  TBrenmoorEngine& E = *FEngine;
  E.OnRemovePlayer = [this](TBrenmoorEngine*, const std::string& Name) { brmRemovePlayer(Name); };
  E.OnPlayerSurrender = [this](TBrenmoorEngine*, const std::string& Name) { brmPlayerSurrender(Name); };
}

void TfrmMain::CreateCaptionBar() {
  FCaptionBar = new TPGCaptionBar(this);
  FCaptionBar->setObjectName("dfCaption");
  FCaptionBar->SetOptions(cboButtonsSameHeight | cboCaptionBarAutosize | cboDesignTimeEnhancements |
                          cboDesignTimeTips);
  FCaptionBar->SetHeight(23);
  FCaptionBar->SetActiveColor(Qt::black);
  FCaptionBar->SetInactiveColor(Qt::black);
  FCaptionBar->SetMinWidth(640);
  FCaptionBar->SetMinHeight(480);
  auto* SysMenu = new TPGCaptionBarSystemButton(this);
  SysMenu->setObjectName("cbtnSysMenu");
  SysMenu->SetKind(sbkSystemMenu);
  auto* Title = new TPGCaptionBarGlyph(this);
  Title->setObjectName("dfCaptionGlyph");
  Title->SetCaption(windowTitle());
  FCaptionBar->SetTitle(Title);
  for (auto [Name, Kind] : {std::pair{"cbtnClose", sbkSystemClose}, std::pair{"cbtnMaximize", sbkMaximize},
                            std::pair{"cbtnMinimize", sbkMinimize}}) {
    auto* Button = new TPGCaptionBarSystemButton(this);
    Button->setObjectName(Name);
    Button->SetKind(Kind);
  }
  for (auto [Name, Glyph] : {std::pair{"cbtnSound", "SOUND"}, std::pair{"cbtnMidi", "MUSIC"}}) {
    auto* Switch = new TPGCaptionBarButton(this);
    Switch->setObjectName(Name);
    Switch->SetButtonType(cctToggleButton);
    Switch->SetAlign(lrRightJustify);
    Switch->SetGlyph(LoadCaptionArt(Glyph));
    (std::strcmp(Name, "cbtnSound") == 0 ? FSoundSwitch : FMidiSwitch) = Switch;
  }
  FMidiSwitch->OnClick = [this](TPGCaptionBarComponent*) { cbtnMidiClick(); };
}

TColorButton* TfrmMain::MakeButton(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Bounds,
                                   bool Toggle, TColorButton* Made) {
  TColorButton* Button = Made ? Made : new TColorButton(Parent);
  Button->setObjectName(Name);
  Button->setGeometry(Bounds);
  Button->SetCaption(Caption);
  Button->SetColor(DarkGreen);
  Button->SetColorHighlight(Green);
  Button->SetColorShadow(Qt::black);
  Button->SetColorHot(Qt::yellow);
  Button->SetFontColor(Green);
  Button->setFont(GameFont("Arial", 12, true));
  if (Toggle) Button->SetStayDown(true);
  // btnMoveMouseUp: every button of the window clicks.
  Button->OnMouseUp = [this](TGraphicControl*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    PlaySoundIfEnabled(Sound("sndButton"));
  };
  return Button;
}

void TfrmMain::BindClick(const char* ButtonName, void (TfrmMain::*Handler)()) {
  findChild<TColorButton*>(ButtonName)->OnClick = [this, Handler](TGraphicControl*) { (this->*Handler)(); };
}

void TfrmMain::CreateScreens() {
  CreateArtwork();
  CreateTitleScreen();
  FGameSetup = MakeScreen(this, "pnlGameSetup");
  CreateSetupScreen();
  FGame = MakeScreen(this, "pnlGame");
  CreateGameScreen();
  FLobby = MakeScreen(this, "pnlLobby");
  FLobbyScreen->CreateLobby(*FLobby);
  FHallOfFame = MakeScreen(this, "pnlHallOfFame");
  FLobbyScreen->CreateHallOfFame(*FHallOfFame);
  FEditor = MakeScreen(this, "pnlEditor");
  FScriptEditor = std::make_unique<TScriptEditorScreen>(
      *FEditor,
      [this](QWidget* Parent, const char* Name, const QString& Caption, const QRect& Bounds) {
        return MakeButton(Parent, Name, Caption, Bounds);
      },
      [this] { ShowScreen(FTitle); });
  for (TElasticPanel* Screen : {FTitle, FGameSetup, FGame, FLobby, FHallOfFame, FEditor}) Screen->Loaded();
  std::array<const char*, 4> Switches{};
  for (std::size_t I = 0; I < Switches.size(); ++I) Switches[I] = ToolWindowSwitches[I].ButtonName;
  FControls = TGameScreenControls::Find(*FGame, *FArtwork, Switches);
}

QImage TfrmMain::LoadArt(const QString& Name) const {
  return QImage(GamePicturePath(FromQString(Name)));
}

void TfrmMain::CreateArtwork() {
  // A hidden panel that only carries the game's pictures.
  FArtwork = new QWidget(this);
  FArtwork->setObjectName("pnlArtwork");
  FArtwork->hide();
  for (const char* Name : {"imFactory", "imResource", "imCapital", "imDiplomacy0", "imDiplomacy1", "imDiplomacy2",
                           "imDiplomacy3", "imPort", "imAirStrip", "imRockets", "imGreenBullet"}) {
    auto* Image = new QLabel(FArtwork);
    Image->setObjectName(Name);
    Image->setPixmap(QPixmap::fromImage(LoadArt(Name)));
  }
  for (const char* Name : {"cellFlags", "cellUnits", "cellGradient1"}) {
    auto* Cells = new TCellImage(FArtwork);
    Cells->setObjectName(Name);
    Cells->SetPicture(QPixmap::fromImage(LoadArt(Name)));
  }
}

void TfrmMain::CreateTitleScreen() {
  FTitle = MakeScreen(this, "pnlTitle");
  FTitlePicture = MakeLabel(FTitle, "imTitle", "", {0, 0, DesignWidth, DesignHeight});
  FTitlePicture->setScaledContents(true);
  struct TTitleButton {
    const char* Name;
    const char* Caption;
  };
  const TTitleButton Buttons[] = {{"btnNewGame", "Solo Game"},         {"btnLogin", "Online Game"},
                                  {"btnOpenSavedGame", "Saved Game"},   {"btnEditor", "Script Editor"},
                                  {"btnScenarioEditor", "Scenario Editor"}, {"btnAbout", "About"},
                                  {"btnHelp", "Help"},                  {"btnExit", "Exit"}};
  int Top = 120;
  for (const TTitleButton& B : Buttons) {
    TColorButton* Button = MakeButton(FTitle, B.Name, B.Caption, {492, Top, 124, 28});
    if (B.Name == std::string_view("btnLogin")) FLobbyLogin->UseLoginButton(*Button);
    Top += 36;
  }
  BindClick("btnAbout", &TfrmMain::btnAboutClick);
  BindClick("btnExit", &TfrmMain::btnExitClick);
  BindClick("btnHelp", &TfrmMain::btnHelpClick);
  BindClick("btnScenarioEditor", &TfrmMain::btnScenarioEditorClick);
  BindClick("btnNewGame", &TfrmMain::btnNewGameClick);
  BindClick("btnOpenSavedGame", &TfrmMain::btnOpenSavedGameClick);
  BindClick("btnEditor", &TfrmMain::btnEditorClick);
  auto* Tips = new TColorButton(FTitle);
  Tips->setObjectName("imTips");
  Tips->setGeometry(16, 397, 40, 40);
  Tips->SetGlyph(MakeGlyphTransparent(QPixmap::fromImage(LoadTipBitmap())));
  Tips->SetStretch(true);
  Tips->SetColor(Qt::black);
  Tips->SetColorHighlight(Qt::black);
  Tips->SetColorShadow(Qt::black);
  Tips->SetColorHot(Qt::yellow);
  Tips->setToolTip("Tip of the day");
  Tips->OnClick = [this](TGraphicControl*) { imTipsClick(); };
}

TColorMemo* TfrmMain::memoScript() const { return FScriptEditor->Memo(); }

void TfrmMain::SetForms(TBrenmoorForms* Forms) {
  // The navigator goes with its window.
  if (FNavigator) FNavigator->SetSpriteSurface(nullptr);
  FNavigator = nullptr;
  FForms = Forms;
  if (!FForms) return;
  FForms->dmScript().SetBrenmoorEngine(FEngine.get());
  ConnectScriptOrders();
  ConnectWarWindows();
  FLobbyScreen->ConnectCommsWindow(FForms->Comms());
  FScriptEditor->UseScriptModule(FForms->dmScript());
  // The navigator window shows the whole map.
  CreateNavigator(FForms->Navigator());
  // Closing a tool window releases the switch that showed it.
  for (std::size_t I = 0; I < ToolWindowSwitches.size(); ++I) {
    ToolWindowSwitches[I].Window(*FForms).OnClose = [Button = QPointer<TColorButton>(FControls.Switches[I])](TGameWindow*) {
      if (Button) Button->SetDown(false);
    };
  }
}

void TfrmMain::CreateNavigator(TGameWindow& Window) {
  FNavigator = new TSpriteSurfaceNavigator(&Window);
  FNavigator->setObjectName("navigator");
  FNavigator->SetBoxColor(QColor(0, 255, 255));
  auto* Close = new TColorButton(&Window);
  Close->setObjectName("btnClose");
  Close->SetCaption("Close");
  Close->setFixedSize(75, 25);
  Close->OnClick = [Form = QPointer<TGameWindow>(&Window)](TGraphicControl*) {
    if (Form) Form->close();
  };
  auto* Layout = new QVBoxLayout(&Window);
  Layout->setContentsMargins(4, 4, 4, 4);
  Layout->addWidget(FNavigator, 1);
  Layout->addWidget(Close, 0, Qt::AlignRight);
  FNavigator->SetSpriteSurface(FSurface.get());
  FNavigator->SetBackground(ImageOfBitmap(FSurface->GetPreview()));
  FNavigator->OnCustomPaint = [this](TSpriteSurfaceNavigator& Sender, QPainter& Canvas) {
    navigatorCustomPaint(Sender, Canvas);
  };
}

void TfrmMain::SetMusicDevice(std::unique_ptr<TMediaPlayer> Device) {
  if (FMidi) {
    FMidi->Stop();
    FMidi->Close();
  }
  FMidi = std::make_unique<TMediaPlayerEx>(std::move(Device));
  FMidi->SetDirectory(ProgramFile("music"));
  FMidi->SetRandomGenerator(&EffectsRandom());
}

TSoundBuffer* TfrmMain::Sound(const std::string& Name) const {
  const auto It = FSounds.find(Name);
  return It == FSounds.end() ? nullptr : It->second.get();
}

QCursor TfrmMain::ScreenCursor(int Index) const {
  const auto It = FCursors.find(Index);
  return It == FCursors.end() ? QCursor(Qt::ArrowCursor) : It->second;
}

// --- Screens ---

void TfrmMain::ShowScreen(TElasticPanel* Screen) {
  if (!Screen) return;
  Screen->show();
  Screen->raise();
}

TElasticPanel* TfrmMain::FrontScreen() const {
  // The last of the window's children among the screens is the one on top.
  TElasticPanel* Front = nullptr;
  for (QObject* Child : children())
    if (auto* Panel = qobject_cast<TElasticPanel*>(Child); Panel && Panel->isVisibleTo(this)) Front = Panel;
  return Front;
}

void TfrmMain::PlaceScreens() {
  const QRect Client = contentsRect();
  for (TElasticPanel* Screen : {FTitle, FGameSetup, FGame, FLobby, FHallOfFame, FEditor})
    if (Screen) Screen->setGeometry(Client);
}

void TfrmMain::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  PlaceScreens();
}

bool TfrmMain::event(QEvent* Event) {
  if (Event->type() == QEvent::Type(WM_SHOWSTARTUPTIP)) {
    RunGuarded([this] { ShowStartupTip(); });
    return true;
  }
  if (Event->type() == QEvent::ContentsRectChange) PlaceScreens();
  return QWidget::event(Event);
}

// --- Showing and closing ---

void TfrmMain::showEvent(QShowEvent* Event) {
  QWidget::showEvent(Event);
  if (FShownOnce) return;
  FShownOnce = true;
  RunGuarded([this] { FormShow(); });
}

void TfrmMain::FormShow() {
  bool EditorThere = false;
  for (const char* Name : ScenarioEditorFiles) EditorThere = EditorThere || QFileInfo(ToQString(ProgramFile(Name))).isFile();
  findChild<TColorButton*>("btnScenarioEditor")->setVisible(EditorThere);
  // The zone sprites' icon sheets: factories, rich resources, unit tallies, capital, port,
  // airfield and rocket site. A sheet that cannot be read is said, and the rest goes on.
  RunGuarded([] { TBrenmoorZoneSprite::LoadIconCanvasesFromFolder(FromQString(ProgramFolder())); });
  // The title picture loads just after the window first shows.
  FTimerImage->start();
  QCoreApplication::postEvent(this, new QEvent(QEvent::Type(WM_SHOWSTARTUPTIP)));
  FSettings->RestoreBounds(*this, "Main");
  if (FForms)
    for (const char* Prefix : PlacementPrefixes)
      if (TGameWindow* Form = FForms->Form(Prefix)) FSettings->RestoreBounds(*Form, Prefix);
  FSoundSwitch->SetDown(SwitchFromSetting(FSettings->ReadInteger("Sound")));
  FMidiSwitch->SetDown(SwitchFromSetting(FSettings->ReadInteger("Music")));
  FTimerMidi->SetEnabled(true);
}

void TfrmMain::closeEvent(QCloseEvent* Event) {
  // A game under way is left only as the Exit button leaves it: asked, and offered a save.
  bool Stay = false;
  RunGuarded([&] { Stay = !ConfirmLeavingGame(); });
  if (Stay) {
    Event->ignore();
    return;
  }
  RunGuarded([this] { FormClose(); });
  Event->accept();
  if (OnTerminate) OnTerminate();
}

void TfrmMain::FormClose() {
  CloseGame();
  FTimerMidi->SetEnabled(false);
  FSettings->SaveBounds(*this, "Main");
  if (FForms)
    for (const char* Prefix : PlacementPrefixes)
      if (TGameWindow* Form = FForms->Form(Prefix)) FSettings->SaveBounds(*Form, Prefix);
  FSettings->WriteInteger("Sound", SwitchSetting(SoundOn()));
  FSettings->WriteInteger("Music", SwitchSetting(MusicOn()));
}

// --- The war's record ---

void TfrmMain::SetBannerText(const std::string& Text) {
  FBannerText = Text;
  if (FSurfaceView) FSurfaceView->update();
}

// --- The title screen's actions ---

void TfrmMain::ShowStartupTip() { RunTipOfTheDay(*FTips, *FSettings, true); }
void TfrmMain::imTipsClick() { RunTipOfTheDay(*FTips, *FSettings, false); }
void TfrmMain::btnAboutClick() { FAbout->Execute(); }
void TfrmMain::btnExitClick() { close(); }
void TfrmMain::btnHelpClick() { ShowHelpTopic(GameArt::MainHelpTopic); }

void TfrmMain::btnScenarioEditorClick() {
  for (const char* Name : ScenarioEditorFiles) {
    const QString File = ToQString(ProgramFile(Name));
    if (QFileInfo(File).isFile()) {
      QProcess::startDetached(File, {}, ProgramFolder());
      return;
    }
  }
}

void TfrmMain::timerImageTimer() {
  FTimerImage->stop();
  FTitlePicture->setPixmap(QPixmap(QDir(ProgramFolder()).filePath(GameArt::TitlePicture)));
}

// --- Sound and music ---

bool TfrmMain::SoundOn() const { return FSoundSwitch->Down(); }
bool TfrmMain::MusicOn() const { return FMidiSwitch->Down(); }

void TfrmMain::PlaySoundIfEnabled(TSoundBuffer* Sound) {
  if (Sound && SoundOn()) Sound->Play();
}

void TfrmMain::cbtnMidiClick() {
  if (MusicOn()) return;
  if (FMidi->IsPlaying()) FMidi->Stop();
  FMidi->Close();
}

void TfrmMain::timerMidiTimer() {
  if (FClock->GetActive() && MusicOn()) FMidi->PlayNextIfIdle();
  if (FVexil->Active() && FVexil->LoggedIn() && !FClock->GetActive() && FLobbyScreen->BuzzerOn() &&
      FVexil->UserCount() >= 2)
    if (TSoundBuffer* Buzz = Sound("sndBuzz")) Buzz->Play();
}
