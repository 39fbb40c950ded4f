// The main window from start-up to close: the windows made in their order, the first run with
// empty settings, placements, the music switch, the minimum size, an escaped exception, the
// screens (each grabbed to a picture), the window switches, the status bar and the zone
// factories on the Standard map.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QRegularExpression>
#include <QSettings>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/ModalSteps.h"
#include "controls/OwnerDrawListBox.h"
#include "controls/PGDsgFrm.h"
#include "controls/TipFrm.h"
#include "controls/TransparentGlyph.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "engine/BrenmoorEngine.h"
#include "engine/RealTimeEngine.h"
#include "lobby/VexilConnection.h"
#include "foundation/CurrentFolder.h"
#include "platform/RegistryManager.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/WidgetUtils.h"
#include "players/ScriptModule.h"
#include "sound/FakeMediaPlayer.h"
#include "sound/MediaPlayerEx.h"
#include "sprites/StormSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "support/GuiTest.h"
#include "ui/GameScreenRules.h"
#include "ui/GameWindows.h"
#include "ui/Help.h"
#include "ui/Startup.h"
#include "ui/MainForm.h"
#include "ui/OrdersPanel.h"
#include "ui/MapScroller.h"
#include "ui/NavigatorView.h"

namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

struct MainFormTest : TGuiTest {
  // What the music device was told; it outlives the windows.
  TFakePlayer::TState Log;
  std::unique_ptr<TBrenmoorForms> Forms;

  // The program's windows on the test's settings file.
  TfrmMain& Start(const QString& SettingsFile) {
    Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(SettingsFile));
    return Forms->Main();
  }
  TfrmMain& Start() { return Start(Settings.FileName()); }
  // Settings that skip the start-up tip.
  void NoTip() { Settings.Store().WriteString("ShowTip", "1"); }
  TfrmMain& ShowMain(TfrmMain& Main) {
    Main.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main));
    return Main;
  }
  // A press and release of the left button on a caption bar item, as a person clicks it.
  static void ClickItem(TfrmMain& Main, const char* Name) {
    auto* Item = Main.findChild<TPGCaptionBarComponent*>(Name);
    ASSERT_NE(Item, nullptr) << Name;
    const QPoint Global = Item->ScreenRect().center();
    const QPoint Local = Main.mapFromGlobal(Global);
    QMouseEvent Press(QEvent::MouseButtonPress, QPointF(Local), QPointF(Global), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Main, &Press);
    QMouseEvent Release(QEvent::MouseButtonRelease, QPointF(Local), QPointF(Global), Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(&Main, &Release);
  }
  static std::string Stored(const QString& File, const char* Name) {
    QSettings Ini(File, QSettings::IniFormat);
    return Ini.value(QString("Software/Quillfen/Brenmoor/") + Name).toString().toStdString();
  }
};

}  // namespace

TEST_F(MainFormTest, StartUpMakesTheMainWindowAndThenEveryWindowInOrder) {
  TfrmMain& Main = Start();
  std::vector<std::string> Expected = {"frmMain", "frmNavigator", "frmDivideUnit", "frmBuildUnit", "frmNews",
                                       "frmLogin", "frmAssignPlayers", "frmFormations", "frmScores",
                                       "frmDiplomacy", "frmResearch", "frmEvent", "frmComms", "dmScript",
                                       "frmFinalScores", "frmAIScripts", "frmDebug"};
  EXPECT_EQ(Forms->CreationOrder(), Expected);
  EXPECT_EQ(Main.objectName(), "frmMain");
  EXPECT_EQ(Main.windowTitle(), "Brenmoor 4.0");
  std::vector<std::string> TopLevel;
  for (QWidget* W : QApplication::topLevelWidgets()) TopLevel.push_back(W->objectName().toStdString());
  for (const std::string& Name : Expected) {
    if (Name == "frmMain" || Name == "dmScript") continue;
    ASSERT_NE(Forms->Form(Name), nullptr) << Name;
    EXPECT_EQ(Forms->Form(Name)->objectName().toStdString(), Name);
    EXPECT_NE(std::find(TopLevel.begin(), TopLevel.end(), Name), TopLevel.end()) << Name;
  }
  // The script module plays on the main window's engine.
  EXPECT_EQ(Forms->dmScript().GetBrenmoorEngine(), &Main.brm());
  // Components as the window keeps them.
  EXPECT_EQ(Main.rte().GetInterval(), 4000);
  EXPECT_NE(Main.rte().GetConnection(), nullptr);
  EXPECT_EQ(Main.vexil().SubjectCode(), "Brenmoor");
  EXPECT_EQ(Main.vexil().Host(), "localhost");
  EXPECT_EQ(Main.vexil().Port(), 0);
  EXPECT_FALSE(Main.reg().LazyWrite());
  EXPECT_EQ(Main.reg().SubKey(), "Software\\Quillfen\\Brenmoor\\");
  for (const auto& [Name, File] : TfrmMain::SoundFiles()) EXPECT_NE(Main.Sound(Name), nullptr) << Name;
  EXPECT_EQ(Main.Sound("sndNothing"), nullptr);
  EXPECT_EQ(Main.FrontScreen(), Main.pnlTitle());
}

TEST_F(MainFormTest, AFirstRunShowsTheTipOnceTheWindowIsUpAndWritesTheSettingsOnClose) {
  TfrmMain& Main = Start();
  bool UpWhenTipShowed = false;
  std::string TipCaption;
  auto Armed = WhenModal([&](QDialog& Window) {
    UpWhenTipShowed = Main.isVisible();
    TipCaption = Window.windowTitle().toStdString();
    auto* Tips = qobject_cast<TTipsForm*>(&Window);
    ASSERT_NE(Tips, nullptr);
    Tips->OKBtnClick();
  });
  ShowMain(Main);
  ASSERT_TRUE(RunUntil([&] { return !TipCaption.empty(); }));
  EXPECT_TRUE(UpWhenTipShowed);
  EXPECT_EQ(TipCaption, "Brenmoor Tips");
  EXPECT_TRUE(Main.SoundOn());
  EXPECT_TRUE(Main.MusicOn());
  // The tip is written at once; the rest when the window closes.
  EXPECT_EQ(Stored(Settings.FileName(), "ShowTip"), "0");
  EXPECT_EQ(Stored(Settings.FileName(), "TipNum"), "1");
  EXPECT_EQ(Stored(Settings.FileName(), "Sound"), "");
  bool Terminated = false;
  Main.OnTerminate = [&] { Terminated = true; };
  Main.move(40, 30);
  Forms->Form("frmNews")->move(300, 200);
  Main.close();
  EXPECT_TRUE(Terminated);
  EXPECT_EQ(Stored(Settings.FileName(), "Sound"), "0");
  EXPECT_EQ(Stored(Settings.FileName(), "Music"), "0");
  EXPECT_EQ(Stored(Settings.FileName(), "MainLeft"), std::to_string(Main.x()));
  EXPECT_EQ(Stored(Settings.FileName(), "MainWidth"), std::to_string(Main.width()));
  EXPECT_EQ(Stored(Settings.FileName(), "frmNewsLeft"), "300");
  for (const char* Prefix : {"frmNavigator", "frmScores", "frmComms"})
    EXPECT_NE(Stored(Settings.FileName(), (std::string(Prefix) + "Height").c_str()), "") << Prefix;
  EXPECT_TRUE(Prompter.Prompts().empty());
}

TEST_F(MainFormTest, ASwitchTurnedOffStaysOffAtTheNextStart) {
  NoTip();
  Settings.Store().WriteString("Sound", "1");
  TfrmMain& Main = ShowMain(Start());
  EXPECT_FALSE(Main.SoundOn());
  EXPECT_TRUE(Main.MusicOn());
  ClickItem(Main, "cbtnMidi");
  EXPECT_FALSE(Main.MusicOn());
  Main.close();
  EXPECT_EQ(Stored(Settings.FileName(), "Sound"), "1");
  EXPECT_EQ(Stored(Settings.FileName(), "Music"), "1");
}

TEST_F(MainFormTest, PlacementsAreRestoredOnlyWhenTheirLeftIsAboveZero) {
  NoTip();
  TRegistryManager& S = Settings.Store();
  struct TPlace {
    const char* Prefix;
    int Left, Top, Width, Height;
  };
  const TPlace Places[] = {{"Main", 120, 90, 700, 520}, {"frmNavigator", 0, 90, 300, 200},
                           {"frmNews", -20, 40, 500, 220}, {"frmScores", 1, 2, 490, 330}};
  for (const TPlace& P : Places) {
    S.WriteInteger(std::string(P.Prefix) + "Left", P.Left);
    S.WriteInteger(std::string(P.Prefix) + "Top", P.Top);
    S.WriteInteger(std::string(P.Prefix) + "Width", P.Width);
    S.WriteInteger(std::string(P.Prefix) + "Height", P.Height);
  }
  TfrmMain& Main = Start();
  const QSize NavigatorSize = Forms->Form("frmNavigator")->size();
  const QSize NewsSize = Forms->Form("frmNews")->size();
  ShowMain(Main);
  EXPECT_EQ(Main.geometry().size(), QSize(700, 520));
  EXPECT_EQ(Main.pos(), QPoint(120, 90));
  EXPECT_EQ(Forms->Form("frmNavigator")->size(), NavigatorSize);
  EXPECT_EQ(Forms->Form("frmNews")->size(), NewsSize);
  EXPECT_EQ(Forms->Form("frmScores")->size(), QSize(490, 330));
  EXPECT_EQ(Forms->Form("frmScores")->pos(), QPoint(1, 2));
}

TEST_F(MainFormTest, ReleasingTheMusicSwitchStopsTheMusicAtOnce) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  Main.SetMusicDevice(std::make_unique<TFakePlayer>(Log));
  Main.midi().PlayFile("march.mid");
  ASSERT_TRUE(Log.Playing);
  Log.Calls.clear();
  ClickItem(Main, "cbtnMidi");
  EXPECT_FALSE(Main.MusicOn());
  EXPECT_FALSE(Log.Playing);
  EXPECT_EQ(Log.Calls, (std::vector<std::string>{"stop", "close"}));
  // Pressed again, the music waits for a game: the timer plays nothing while none runs.
  ClickItem(Main, "cbtnMidi");
  EXPECT_TRUE(Main.MusicOn());
  Log.Calls.clear();
  Main.timerMidiTimer();
  EXPECT_TRUE(Log.Calls.empty());
  // While a game runs the next tick starts a piece of the program folder's music.
  Main.rte().SetActive(true);
  Main.timerMidiTimer();
  ASSERT_EQ(Log.Calls.size(), 2u);
  EXPECT_EQ(Log.Calls[1], "play");
  ASSERT_EQ(Log.Played.size(), 2u);
  EXPECT_NE(Log.Played[1].find("/music/"), std::string::npos) << Log.Played[1];
  // Closing the window during a game asks as the game's Exit does: staying keeps the game and
  // the window; leaving (here without saving) ends the game.
  Prompter.AnswerNo();
  EXPECT_FALSE(Main.close());
  EXPECT_TRUE(Main.rte().GetActive());
  EXPECT_TRUE(Main.isVisible());
  Prompter.AnswerYes().AnswerNo();
  Main.close();
  EXPECT_FALSE(Main.rte().GetActive());
  ASSERT_EQ(Prompter.Prompts().size(), 3u);
  EXPECT_EQ(Prompter.Prompts()[0].Text, "Are you sure you want to Exit the Game now?");
  EXPECT_EQ(Prompter.Prompts()[2].Text, "Do you want to Save this Game?");
}

TEST_F(MainFormTest, HelpOpensTheMainTopicAndAboutShowsTheVersion) {
  const QString TestName = QCoreApplication::applicationName();
  SetUpApplication();
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  EXPECT_FALSE(Main.findChild<TColorButton*>("btnScenarioEditor")->isVisible());
  std::vector<QUrl> Opened;
  SetHelpBrowser([&](const QUrl& Page) {
    Opened.push_back(Page);
    return true;
  });
  ClickControl(Main.findChild<TColorButton*>("btnHelp"));
  SetHelpBrowser(nullptr);
  ASSERT_EQ(Opened.size(), 1u);
  EXPECT_TRUE(Opened[0].toLocalFile().endsWith("/help/Dezavuvi10.html")) << Opened[0].toString().toStdString();
  EXPECT_TRUE(QFileInfo(Opened[0].toLocalFile()).isFile());
  std::string Version, Caption;
  auto Armed = WhenModal([&](QDialog& Window) {
    Caption = Window.windowTitle().toStdString();
    Version = Window.findChild<QLabel*>("lblVersion")->text().toStdString();
  });
  ClickControl(Main.findChild<TColorButton*>("btnAbout"));
  EXPECT_EQ(Caption, "About Brenmoor");
  EXPECT_EQ(Version, "Version 4.0 Build 2");
  QCoreApplication::setApplicationName(TestName);
}

TEST_F(MainFormTest, TheHelpNamesTheTitleScreensButtonsAsTheyRead) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  QStringList Captions;
  for (const TColorButton* B : Main.findChild<QWidget*>("pnlTitle")->findChildren<TColorButton*>()) Captions << B->Caption();
  const QDir Help(QCoreApplication::applicationDirPath() + "/help");
  const QRegularExpression Named(R"(title screen choose <b>([^<]+)</b>|[Cc]hoose <b>([^<]+)</b> on the title screen)");
  int Found = 0;
  for (const QString& Page : Help.entryList({"*.html"})) {
    QFile File(Help.filePath(Page));
    ASSERT_TRUE(File.open(QIODevice::ReadOnly)) << Page.toStdString();
    const QString Text = QString::fromLatin1(File.readAll()).simplified();
    for (auto It = Named.globalMatch(Text); It.hasNext();) {
      const QRegularExpressionMatch M = It.next();
      const QString Button = M.captured(1).isEmpty() ? M.captured(2) : M.captured(1);
      EXPECT_TRUE(Captions.contains(Button)) << Page.toStdString() << " names \"" << Button.toStdString() << "\"";
      ++Found;
    }
  }
  EXPECT_GT(Found, 0);
}

TEST_F(MainFormTest, TheWindowCannotBeMadeSmallerThan640By480) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  EXPECT_EQ(Main.minimumSize(), QSize(640, 480));
  Main.resize(300, 200);
  EXPECT_EQ(Main.size(), QSize(640, 480));
  // The screens fill the client area inside the caption bar and frame.
  EXPECT_EQ(Main.pnlTitle()->geometry(), Main.contentsRect());
  Main.resize(900, 700);
  QApplication::processEvents();
  EXPECT_EQ(Main.pnlGame()->geometry(), Main.contentsRect());
}

TEST_F(MainFormTest, AnExceptionInAHandlerIsShownAsTheInternalErrorAndTheGameGoesOn) {
  // A settings file that cannot be written: saving the tip's choice fails.
  QFile Blocker(QFileInfo(Settings.FileName()).dir().filePath("blocker"));
  ASSERT_TRUE(Blocker.open(QIODevice::WriteOnly));
  Blocker.close();
  TfrmMain& Main = Start(Blocker.fileName() + "/settings.ini");
  auto Armed = WhenModal([](QDialog& Window) { Window.accept(); });
  ShowMain(Main);
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty(); }));
  EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"An internal error has occured: Failed to set data for 'ShowTip'"});
  // The window still answers.
  ClickControl(Main.findChild<TColorButton*>("btnEditor"));
  EXPECT_EQ(Main.FrontScreen(), Main.pnlEditor());
}

TEST_F(MainFormTest, EachScreenComesToTheFrontAndIsGrabbed) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  Main.resize(800, 600);
  {
    const TCurrentFolder In(ProgramFolder);
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    Main.brm().LoadZoneData();
  }
  Main.surface().SetActive(true);
  ASSERT_TRUE(RunUntil([&] { return !Main.timerImage().isActive(); }));
  EXPECT_FALSE(Main.findChild<QLabel*>("imTitle")->pixmap().isNull());
  for (TElasticPanel* Screen : {Main.pnlTitle(), Main.pnlGameSetup(), Main.pnlGame(), Main.pnlLobby(),
                                Main.pnlHallOfFame(), Main.pnlEditor()}) {
    Main.ShowScreen(Screen);
    EXPECT_EQ(Main.FrontScreen(), Screen) << Screen->objectName().toStdString();
    EXPECT_EQ(Screen->geometry(), Main.contentsRect());
    if (Screen == Main.pnlGame()) {
      ASSERT_TRUE(RunUntil([&] { return Main.surfaceView().FramesShown() > 1; }));
    }
    GrabToPng(Main, Screen->objectName());
  }
  Main.surface().SetActive(false);
}

TEST_F(MainFormTest, TheToolbarSwitchesShowAndHideTheCompanionWindows) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  Main.ShowScreen(Main.pnlGame());
  for (auto [Button, Form] : {std::pair{"btnNavigator", "frmNavigator"}, std::pair{"btnNews", "frmNews"},
                              std::pair{"btnScores", "frmScores"}, std::pair{"btnCommunicate", "frmComms"}}) {
    auto* Switch = Main.findChild<TColorButton*>(Button);
    TGameWindow* Window = Forms->Form(Form);
    ClickControl(Switch);
    EXPECT_TRUE(Switch->Down()) << Button;
    EXPECT_TRUE(Window->isVisible()) << Form;
    ClickControl(Switch);
    EXPECT_FALSE(Window->isVisible()) << Form;
    // The window's own close releases the switch.
    ClickControl(Switch);
    Window->close();
    EXPECT_FALSE(Switch->Down()) << Button;
  }
  // F5 turns between the units and the zone tab while a game runs (and does nothing before).
  auto* Pages = Main.findChild<QTabWidget*>("pageControls");
  EXPECT_TRUE(Main.Orders().UnitsTabShowing());
  Main.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&Main));
  QTest::keyClick(&Main, Qt::Key_F5);
  EXPECT_EQ(Pages->currentIndex(), 0);
  Main.rte().SetActive(true);
  QTest::keyClick(&Main, Qt::Key_F5);
  EXPECT_EQ(Pages->currentIndex(), 1);
  EXPECT_FALSE(Main.Orders().UnitsTabShowing());
  QTest::keyClick(&Main, Qt::Key_F5);
  EXPECT_TRUE(Main.Orders().UnitsTabShowing());
  Main.rte().SetActive(false);
}

TEST_F(MainFormTest, TheZoneFactoriesMakeEachZoneOfTheStandardMapOneEngineZoneWithItsSprite) {
  NoTip();
  TfrmMain& Main = Start();
  {
    const TCurrentFolder In(ProgramFolder);
    Main.LoadMapSet("Standard.brmmap");
  }
  TZoneSpriteSurface& Surface = Main.surface();
  ASSERT_GT(Surface.ZoneCount(), 50);
  ASSERT_EQ(Main.brm().GetZoneCount(), Surface.ZoneCount());
  for (int I = 0; I < Surface.ZoneCount(); ++I) {
    auto* Zone = dynamic_cast<TBrenmoorZone*>(Surface.GetZone(I));
    ASSERT_NE(Zone, nullptr) << I;
    EXPECT_EQ(Main.brm().GetZone(I), Zone);
    auto* Sprite = dynamic_cast<TBrenmoorZoneSprite*>(Zone->GetZoneSprite());
    ASSERT_NE(Sprite, nullptr) << Zone->GetName();
    EXPECT_EQ(&Sprite->GetGameZone(), Zone);
  }
  EXPECT_EQ(Surface.GetZoneEngine().SpriteCount(), Surface.ZoneCount());
}

TEST_F(MainFormTest, TheStatusBarShowsTheCurrentNationAndTheDiplomacyGlyphFollowsTheActionsLeft) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  {
    const TCurrentFolder In(ProgramFolder);
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    Main.brm().LoadZoneData();
  }
  std::vector<TNation*> Majors;
  for (int I = 0; I < Main.brm().GetMajorCount(); ++I) Majors.push_back(Main.brm().GetNation(I));
  ASSERT_GE(Majors.size(), 2u);
  Main.SetLocalNations(Majors);
  auto* Combo = Main.findChild<QComboBox*>("cmbCurrentNation");
  EXPECT_EQ(Combo->count(), static_cast<int>(Majors.size()));
  TNation* Nation = Majors[1];
  Nation->SetDiplomaticActions(1);
  Main.cmbCurrentNationClick(1);
  EXPECT_EQ(Main.CurrentNation(), Nation);
  auto Text = [&](const char* Name) { return Main.findChild<QLabel*>(Name)->text().toStdString(); };
  ASSERT_GT(Nation->GetTotalResources(), 0);
  EXPECT_EQ(Text("lblNationResources"), " " + FormatThousands(Nation->GetTotalResources()));
  EXPECT_EQ(Text("lblNationScore"), " " + std::to_string(Nation->GetWorldDomination()) + "%");

  auto* Diplomacy = Main.findChild<TColorButton*>("btnDiplomacy");
  auto Picture = [&](int N) {
    return MakeGlyphTransparent(Main.findChild<QLabel*>("imDiplomacy" + QString::number(N))->pixmap()).toImage();
  };
  EXPECT_EQ(ComponentTag(Diplomacy), 1);
  ASSERT_FALSE(Picture(1).isNull());
  ASSERT_NE(Picture(1), Picture(2));
  EXPECT_EQ(Diplomacy->Glyph().toImage(), Picture(1));
  Nation->SetDiplomaticActions(5);
  Main.UpdateStatusBar();
  EXPECT_EQ(ComponentTag(Diplomacy), 5);
  EXPECT_EQ(Diplomacy->Glyph().toImage(), Picture(1));
  Nation->SetDiplomaticActions(2);
  Main.UpdateStatusBar();
  EXPECT_EQ(ComponentTag(Diplomacy), 2);
  EXPECT_EQ(Diplomacy->Glyph().toImage(), Picture(2));
  // Without nations to play the list is empty and the bar keeps its texts.
  const std::string Score = Text("lblNationScore");
  Main.SetLocalNations({});
  EXPECT_EQ(Combo->count(), 0);
  EXPECT_EQ(Text("lblNationScore"), Score);
  GrabToPng(*Main.findChild<QWidget*>("pnlStatusBar"));
}

TEST_F(MainFormTest, TheCompassCentresOnTheCapitalAndTheEffectsDrawOverTheStandardMap) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  Main.resize(800, 600);
  Main.ShowScreen(Main.pnlGame());
  {
    const TCurrentFolder In(ProgramFolder);
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    Main.brm().LoadZoneData();
  }
  ASSERT_NE(Main.navigator(), nullptr);
  EXPECT_FALSE(Main.navigator()->Background().isNull());
  TNation* Nation = Main.brm().GetNation(0);
  ASSERT_NE(Nation->GetCapital(), nullptr);
  Main.SetLocalNations({Nation});
  Main.cmbCurrentNationClick(0);
  // The compass's double click in its middle asks for the capital.
  TSpriteSurfaceScroller& Compass = Main.scroller();
  QTest::mouseDClick(&Compass, Qt::LeftButton, Qt::NoModifier, QPoint(28, 28));
  TZoneSpriteSurface& Surface = Main.surface();
  const TBrenmoorZone& Capital = *Nation->GetCapital();
  EXPECT_NEAR(Surface.GetOffsetX() + Surface.GetWidth() / 2, Capital.GetCenterX(), 2);
  EXPECT_NEAR(Surface.GetOffsetY() + Surface.GetHeight() / 2, Capital.GetCenterY(), 2);

  // A storm and each kind of blast over the capital, drawn for a while.
  TSprite* Storm = Main.engineEffects().AddSprite(Main.factStorm().CreateSprite());
  Storm->SetX(float(Capital.GetCenterX() - 200));
  Storm->SetY(float(Capital.GetCenterY() - 125));
  for (int Kind = 0; Kind < BlastKindCount; ++Kind) {
    TSprite* Blast = Main.engineEffects().AddSprite(Main.BlastFactory(TBlastKind(Kind)).CreateSprite());
    Blast->SetX(float(Capital.GetCenterX() - 60 + 30 * Kind));
    Blast->SetY(float(Capital.GetCenterY()));
  }
  EXPECT_EQ(Main.engineEffects().SpriteCount(), 1 + BlastKindCount);
  Surface.SetActive(true);
  const int Start = Main.surfaceView().FramesShown();
  ASSERT_TRUE(RunUntil([&] { return Main.surfaceView().FramesShown() > Start + 10; }));
  GrabToPng(Main);
  Surface.SetActive(false);
}

TEST_F(MainFormTest, TheScreenCursorsComeFromTheCursorFilesOfTheCurrentFolder) {
  NoTip();
  {
    const TCurrentFolder In(ProgramFolder);
    TfrmMain& Main = Start();
    for (int Index : {1, 2}) {
      const QCursor Cursor = Main.ScreenCursor(Index);
      EXPECT_EQ(Cursor.shape(), Qt::BitmapCursor) << Index;
      EXPECT_FALSE(Cursor.pixmap().isNull()) << Index;
      EXPECT_TRUE(QRect(QPoint(0, 0), Cursor.pixmap().size()).contains(Cursor.hotSpot())) << Index;
    }
  }
  // Elsewhere the files are missing: the cursors stay the arrow.
  Forms.reset();
  TfrmMain& Main = Start();
  EXPECT_EQ(Main.ScreenCursor(1).shape(), Qt::ArrowCursor);
  EXPECT_EQ(Main.ScreenCursor(2).shape(), Qt::ArrowCursor);
}

TEST_F(MainFormTest, AVictoryConditionGetsAGreenBulletAndAHeadingNone) {
  NoTip();
  TfrmMain& Main = ShowMain(Start());
  Main.ShowScreen(Main.pnlGameSetup());
  auto* List = Main.findChild<TOwnerDrawListBox*>("lbVictoryConditions");
  // An empty heading and an empty condition: only the bullet can draw.
  List->addItems({"*", ""});
  const QImage Picture = GrabToPng(*List);
  const int Row = List->ItemHeight();
  auto Greenish = [&](int X0, int Y0, int W, int H) {
    for (int Y = Y0; Y < Y0 + H; ++Y)
      for (int X = X0; X < X0 + W; ++X)
        if (QColor(Picture.pixel(X + List->viewport()->x(), Y + List->viewport()->y())).green() > 128) return true;
    return false;
  };
  EXPECT_FALSE(Greenish(0, 0, 16, Row));
  EXPECT_TRUE(Greenish(0, Row + 4, 16, Row - 4));
}
