// Whole games through the main window: a solo game of the Standard scenario set up by clicks,
// played with orders and impulses, saved, closed and opened again from the title screen; a
// duel of computer players at full speed to its victory; the end of a victory with and without
// free-for-all; and the saved game that cannot be read or written.
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QStyle>
#include <QStyleOptionViewItem>
#include <QTreeWidget>
#include <filesystem>
#include <functional>
#include <QImage>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "controls/ColorButton.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/EngineTypes.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/Unit.h"
#include "foundation/CurrentFolder.h"
#include "foundation/StringEncryptor.h"
#include "platform/RegistryManager.h"
#include "platform/WidgetUtils.h"
#include "support/GuiTest.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/OrdersPanel.h"
#include "ui/UnitLists.h"

namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

struct SoloGameTest : TGuiTest {
  std::unique_ptr<TBrenmoorForms> Forms;
  // Impulses run, counted by the after-impulse step.
  int ImpulsesRun = 0;

  TfrmMain& ShowMain() {
    Settings.Store().WriteString("ShowTip", "1");
    Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
    TfrmMain& Main = Forms->Main();
    Main.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main));
    // Every impulse ends paused, so that the test lets the clock run one impulse at a time.
    TRealTimeEngine& Clock = Main.rte();
    Clock.AfterProcess = [&Clock, &Main, this, Step = Clock.AfterProcess](TClockRun* Run) {
      Step(Run);
      ++ImpulsesRun;
      if (!StepByStep) return;
      Clock.SetPaused(true);
      (void)Main;
    };
    return Main;
  }
  // The clock's pause is the test's: impulses follow each other at once while it lets them.
  bool StepByStep = true;
  // Runs Count impulses of the running clock, no waiting for its interval.
  static void RunImpulses(TfrmMain& Main, int Count, int& Counter) {
    Main.rte().SetInterval(0);
    for (int I = 0; I < Count; ++I) {
      const int Before = Counter;
      Main.rte().SetPaused(false);
      ASSERT_TRUE(RunUntil([&] { return Counter > Before; }, 60000)) << "impulse " << I;
    }
  }
  static void Click(TfrmMain& Main, const char* Name) {
    auto* Button = Main.findChild<TColorButton*>(Name);
    ASSERT_NE(Button, nullptr) << Name;
    ASSERT_TRUE(Button->isVisible()) << Name;
    ClickControl(Button);
  }
  // A click on the tick box of the nation's line in the set-up list.
  static void Tick(TfrmMain& Main, const char* Nation) {
    auto* Powers = Main.findChild<QTreeWidget*>("lvMajorPowers");
    const QList<QTreeWidgetItem*> Found = Powers->findItems(Nation, Qt::MatchExactly, 0);
    ASSERT_EQ(Found.size(), 1) << Nation;
    QStyleOptionViewItem Option;
    Option.initFrom(Powers);
    Option.rect = Powers->visualRect(Powers->indexFromItem(Found.front(), 0));
    Option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay |
                      QStyleOptionViewItem::HasDecoration;
    Option.decorationSize = Powers->iconSize();
    const QRect Box = Powers->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &Option, Powers);
    QTest::mouseClick(Powers->viewport(), Qt::LeftButton, {}, Box.center());
  }
  static std::vector<std::string> Ticked(TfrmMain& Main) {
    auto* Powers = Main.findChild<QTreeWidget*>("lvMajorPowers");
    std::vector<std::string> Names;
    for (int I = 0; I < Powers->topLevelItemCount(); ++I)
      if (Powers->topLevelItem(I)->checkState(0) == Qt::Checked) Names.push_back(Powers->topLevelItem(I)->text(0).toStdString());
    return Names;
  }
  static std::string Text(TfrmMain& Main, const char* Label) { return Main.findChild<QLabel*>(Label)->text().toStdString(); }
  static bool Shown(TfrmMain& Main, const char* Name) { return Main.findChild<QWidget*>(Name)->isVisible(); }
  // Chooses Units in the units list as a player's clicks do.
  static void Select(TfrmMain& Main, const std::vector<TUnit*>& Units) {
    auto* List = Main.findChild<TBrenmoorUnitListBox*>("lbUnits");
    List->clearSelection();
    for (int I = 0; I < List->count(); ++I)
      if (std::find(Units.begin(), Units.end(), List->Units(I)) != Units.end()) List->item(I)->setSelected(true);
  }
  std::string Scrambled(const std::string& FileName) {
    std::ifstream In(FileName, std::ios::binary);
    std::stringstream Bytes;
    Bytes << In.rdbuf();
    return Bytes.str();
  }
};

// A scenario folder of the Standard map whose game is won quickly: Germany wins by surviving
// until impulse Target. The map, its pictures, flags and script are the program folder's.
class TQuickScenario {
public:
  // Edit may change each line of the scenario; Flags, when given, is the flags' picture.
  explicit TQuickScenario(int Target, const std::function<void(std::string& Line)>& Edit = {},
                          const QImage& Flags = {}) {
    namespace fs = std::filesystem;
    const fs::path Dir = FDir.path().toStdString();
    for (const char* Name : {"Standard.brmmap", "maps", "Default.brmai", "art", "sounds"})
      if (fs::exists(ProgramFolder / Name)) fs::create_symlink(ProgramFolder / Name, Dir / Name);
    if (Flags.isNull())
      fs::create_symlink(ProgramFolder / "StandardFlags.bmp", Dir / "QuickFlags.bmp");
    else
      EXPECT_TRUE(Flags.save(QString::fromStdString((Dir / "QuickFlags.bmp").string()), "BMP"));
    std::ifstream In(ProgramFolder / "Standard.brmscen", std::ios::binary);
    std::ofstream Out(Dir / "Quick.brmscen", std::ios::binary);
    std::string Line;
    while (std::getline(In, Line)) {
      if (Line.rfind("VictoryCondition=", 0) == 0) continue;
      if (Edit) Edit(Line);
      Out << Line << "\n";
    }
    Out << "VictoryCondition=Germany~1~4~Germany~" << Target << "~\n";
  }
  std::filesystem::path Folder() const { return FDir.path().toStdString(); }

private:
  QTemporaryDir FDir;
};

TEST_F(SoloGameTest, ASoloGameOfTheStandardScenarioIsSetUpPlayedSavedClosedAndGoesOnWhenOpenedAgain) {
  const TCurrentFolder In(ProgramFolder);
  QTemporaryDir Saves;
  const std::string SaveFile = QDir(Saves.path()).filePath("war.brm").toStdString();
  TfrmMain& Main = ShowMain();

  // The set-up: the first scenario is chosen and shown.
  Click(Main, "btnNewGame");
  ASSERT_EQ(Main.FrontScreen(), Main.pnlGameSetup());
  auto* Scenarios = Main.findChild<QListWidget*>("lbScenarios");
  ASSERT_NE(Scenarios->currentItem(), nullptr);
  EXPECT_EQ(Scenarios->currentItem()->text(), "Standard.brmscen");
  EXPECT_EQ(Main.findChild<QPlainTextEdit*>("memoScenarioDesc")->toPlainText().toStdString(), Main.brm().GetDescription());
  EXPECT_EQ(Text(Main, "lblStartingDate"), "Starting Date: 9/1/1939");
  EXPECT_FALSE(Shown(Main, "lblLoadingScenario"));
  EXPECT_TRUE(Shown(Main, "btnSpecifyAI"));
  EXPECT_TRUE(Shown(Main, "pnlSoloGameOptions"));
  EXPECT_FALSE(Shown(Main, "pnlMultiPlayerGameOptions"));
  auto* Victory = Main.findChild<TOwnerDrawListBox*>("lbVictoryConditions");
  ASSERT_EQ(Victory->count(), 2 * Main.brm().GetVictoryConditionCount());
  EXPECT_EQ(Victory->item(0)->text().left(1), "*");
  auto* Powers = Main.findChild<QTreeWidget*>("lvMajorPowers");
  ASSERT_EQ(Powers->topLevelItemCount(), 7);
  EXPECT_EQ(Powers->topLevelItem(0)->text(0), "Germany");
  EXPECT_EQ(Powers->topLevelItem(0)->text(1), "Axis");
  EXPECT_EQ(Powers->topLevelItem(1)->text(1), "[Italy]");
  EXPECT_FALSE(Powers->topLevelItem(0)->icon(0).isNull());

  // Two nations of different alliances are refused; nothing starts.
  Tick(Main, "Germany");
  Tick(Main, "United Kingdom");
  EXPECT_EQ(Ticked(Main), (std::vector<std::string>{"Germany", "United Kingdom"}));
  Click(Main, "btnOkNewGame");
  EXPECT_EQ(Prompter.Messages(), (std::vector<std::string>{"The Nations that you select must all belong to the same Alliance."}));
  EXPECT_EQ(Main.FrontScreen(), Main.pnlGameSetup());
  EXPECT_FALSE(Main.rte().GetActive());
  Tick(Main, "United Kingdom");
  EXPECT_EQ(Ticked(Main), (std::vector<std::string>{"Germany"}));
  GrabToPng(Main, "setup");

  // Germany played here, the rest by the computer.
  Click(Main, "btnOkNewGame");
  ASSERT_EQ(Main.FrontScreen(), Main.pnlGame());
  ASSERT_TRUE(Main.rte().GetActive());
  EXPECT_EQ(Main.rte().GetConnection(), nullptr);
  EXPECT_EQ(Main.rte().GetInterval(), 4000);
  TBrenmoorEngine& E = Main.brm();
  TNation* Germany = E.FindNation("Germany");
  EXPECT_TRUE(Germany->GetLocalPlayer());
  EXPECT_FALSE(Germany->GetComputerPlayer());
  EXPECT_EQ(Germany->GetPlayerName(), "[SOLO]");
  EXPECT_TRUE(E.FindNation("Italy")->GetComputerPlayer());
  EXPECT_FALSE(E.GetAllComputer());
  EXPECT_EQ(Main.CurrentNation(), Germany);
  EXPECT_EQ(Main.SelectedZone(), Germany->GetCapital());
  EXPECT_TRUE(Shown(Main, "btnPause"));
  EXPECT_FALSE(Shown(Main, "btnFastAIDuel"));
  EXPECT_FALSE(Shown(Main, "btnSurrender"));
  EXPECT_FALSE(Shown(Main, "btnCommunicate"));
  EXPECT_TRUE(Shown(Main, "cmbCurrentNation"));
  EXPECT_FALSE(Shown(Main, "btnFinalScore"));

  // An order by clicks: the army of Berlin moves to the Ruhr.
  TBrenmoorZone* Berlin = E.FindZoneByName("Berlin");
  TBrenmoorZone* Ruhr = E.FindZoneByName("Ruhr");
  TUnit* Army = Berlin->GetUnit(0);
  ASSERT_EQ(Army->GetKind(), ukArmy);
  Select(Main, {Army});
  Click(Main, "btnMove");
  Main.surfaceZoneClick(Ruhr);
  EXPECT_EQ(Main.Orders().OrderMode(), 0);
  EXPECT_NE(Main.rte().GetOrdersBuffer().find("1;" + std::to_string(Ruhr->GetIndex()) + ";" + std::to_string(Army->ID) + ";"),
            std::string::npos);

  RunImpulses(Main, 12, ImpulsesRun);
  EXPECT_EQ(Main.rte().GetImpulse(), 12);
  EXPECT_EQ(E.GetImpulse(), 12);
  EXPECT_EQ(Army->GetZone(), Ruhr);
  // The selection went with the army.
  EXPECT_EQ(Main.SelectedZone(), Ruhr);
  // The computer players took their turns (powers 1 to 6 at impulses 1 to 6); Germany is played here.
  for (int N = 1; N < 7; ++N) EXPECT_TRUE(E.GetNation(N)->GetScriptLoaded()) << N;
  EXPECT_FALSE(Germany->GetScriptLoaded());
  // The date label shows the impulse's date, before it advanced.
  EXPECT_EQ(Text(Main, "lblDate"), LongDateToStr(E.GetDate() - E.GetImpulseRate()));
  EXPECT_EQ(Main.BannerText(), "");
  GrabToPng(Main, "game");

  // Pause shows its banner until it is released.
  Click(Main, "btnPause");
  EXPECT_TRUE(Main.rte().GetPaused());
  EXPECT_EQ(Main.BannerText(), "P A U S E D");
  Click(Main, "btnPause");
  EXPECT_FALSE(Main.rte().GetPaused());
  EXPECT_EQ(Main.BannerText(), "");
  Main.rte().SetPaused(true);

  // Saved through the dialog: the file is the scrambled state text.
  const std::string Saved = E.SaveToString();
  const std::string DateText = LongDateToStr(E.GetDate());
  Prompter.ChooseFile(SaveFile);
  Click(Main, "btnSave");
  ASSERT_EQ(Prompter.Prompts().back().Kind, pkMessage);
  EXPECT_EQ(Prompter.Prompts().back().Text, "       Game Saved       ");
  const TFileDialogOptions& Dialog = Prompter.Prompts()[Prompter.Prompts().size() - 2].Options;
  EXPECT_EQ(Dialog.Title, "Select Save Game File");
  EXPECT_EQ(Dialog.Filter, "Brenmoor Files (*.brm)|*.brm");
  EXPECT_EQ(Dialog.DefaultExt, "brm");
  // The first dialog starts in the player's own saved games, made for it; the next in the
  // folder last saved to.
  const QString OwnFolder = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + "/Brenmoor/Saved Games";
  EXPECT_EQ(Dialog.InitialDir, OwnFolder.toStdString());
  EXPECT_TRUE(QFileInfo(OwnFolder).isDir());
  std::string Plain = Scrambled(SaveFile);
  EXPECT_EQ(Plain.size(), Saved.size());
  EXPECT_NE(Plain, Saved);
  Main.encrypt().DecryptString(Plain);
  EXPECT_EQ(Plain, Saved);

  // Leaving: Yes to the exit, No to saving again.
  Prompter.AnswerYes().AnswerNo();
  Click(Main, "btnExitGame");
  EXPECT_EQ(Prompter.Prompts()[Prompter.Prompts().size() - 2].Text, "Are you sure you want to Exit the Game now?");
  EXPECT_EQ(Prompter.Prompts().back().Text, "Do you want to Save this Game?");
  EXPECT_EQ(Main.FrontScreen(), Main.pnlTitle());
  EXPECT_FALSE(Main.rte().GetActive());
  EXPECT_EQ(Main.SelectedZone(), nullptr);
  EXPECT_TRUE(Main.SelectedUnits().empty());

  // Opened from the title screen: the same impulse, date and game.
  Prompter.ChooseFile(SaveFile);
  Click(Main, "btnOpenSavedGame");
  EXPECT_EQ(Prompter.Prompts().back().Options.Title, "Select Saved Game File");
  EXPECT_EQ(Prompter.Prompts().back().Options.InitialDir, QFileInfo(QString::fromStdString(SaveFile)).absolutePath().toStdString());
  ASSERT_EQ(Main.FrontScreen(), Main.pnlGame());
  ASSERT_TRUE(Main.rte().GetActive());
  EXPECT_EQ(Main.rte().GetImpulse(), 12);
  EXPECT_EQ(E.GetImpulse(), 12);
  EXPECT_EQ(LongDateToStr(E.GetDate()), DateText);
  EXPECT_EQ(E.SaveToString(), Saved);
  Germany = E.FindNation("Germany");
  EXPECT_TRUE(Germany->GetLocalPlayer());
  EXPECT_EQ(Main.CurrentNation(), Germany);
  EXPECT_EQ(Main.SelectedZone(), Germany->GetCapital());
  RunImpulses(Main, 1, ImpulsesRun);
  EXPECT_EQ(Main.rte().GetImpulse(), 13);
  EXPECT_EQ(Text(Main, "lblDate"), DateText);

  // A finished game closes without questions. (Surrender, which the solo toolbar does not
  // show, ends this one.)
  const std::size_t Asked = Prompter.Prompts().size();
  Prompter.AnswerYes();
  Main.btnSurrenderClick();
  EXPECT_FALSE(Main.rte().GetActive());
  EXPECT_EQ(Main.BannerText(), "S U R R E N D E R E D");
  ASSERT_EQ(Prompter.Prompts().size(), Asked + 1);
  Click(Main, "btnExitGame");
  EXPECT_EQ(Prompter.Prompts().size(), Asked + 1);
  EXPECT_EQ(Main.FrontScreen(), Main.pnlTitle());
}

TEST_F(SoloGameTest, AComputerDuelRunsAtFullSpeedUntilItsVictoryIsShownOnceAndTheClockStops) {
  const TQuickScenario Scenario(8);
  const TCurrentFolder In(Scenario.Folder());
  StepByStep = false;
  TfrmMain& Main = ShowMain();
  Click(Main, "btnNewGame");
  ASSERT_EQ(Main.findChild<QListWidget*>("lbScenarios")->currentItem()->text(), "Quick.brmscen");
  // Nobody ticked: the duel is asked for, No stays on the set-up.
  Prompter.AnswerNo();
  Click(Main, "btnOkNewGame");
  EXPECT_EQ(Prompter.Prompts().back().Text, "You have not selected to control any Nations.  Do you want to conduct an AI Duel?");
  EXPECT_EQ(Main.FrontScreen(), Main.pnlGameSetup());
  Prompter.AnswerYes();
  Click(Main, "btnOkNewGame");
  ASSERT_EQ(Main.FrontScreen(), Main.pnlGame());
  EXPECT_TRUE(Main.brm().GetAllComputer());
  EXPECT_TRUE(Shown(Main, "btnFastAIDuel"));
  for (const char* Hidden : {"btnFormations", "btnResearch", "btnDiplomacy", "cmbCurrentNation", "lblNationScore", "imPlayerFlag"})
    EXPECT_FALSE(Shown(Main, Hidden)) << Hidden;
  EXPECT_EQ(Main.CurrentNation(), nullptr);
  EXPECT_EQ(Main.rte().GetInterval(), 4000);
  Click(Main, "btnFastAIDuel");
  EXPECT_EQ(Main.rte().GetInterval(), 100);

  // The impulses come every 100 ms until Germany has survived to impulse 8.
  std::vector<std::string> Banners;
  Main.rte().AfterProcess = [&, Step = Main.rte().AfterProcess](TClockRun* Run) {
    Step(Run);
    Banners.push_back(Main.BannerText());
  };
  ASSERT_TRUE(RunUntil([&] { return !Main.rte().GetActive(); }, 60000));
  EXPECT_EQ(Main.BannerText(), "Germany is VICTORIOUS!");
  // Once: the victory came at the impulse that ended the game, nothing ran after it.
  ASSERT_FALSE(Banners.empty());
  EXPECT_EQ(Banners.back(), "Germany is VICTORIOUS!");
  EXPECT_EQ(std::count(Banners.begin(), Banners.end(), "Germany is VICTORIOUS!"), 1);
  EXPECT_EQ(Main.rte().GetImpulse(), 9);
  QTest::qWait(300);
  EXPECT_EQ(Main.rte().GetImpulse(), 9);
  EXPECT_TRUE(Main.GameOver());
  EXPECT_TRUE(Shown(Main, "btnFinalScore"));
  // No free-for-all question in a duel of computer players.
  EXPECT_EQ(Prompter.Prompts().size(), 2u);
  GrabToPng(Main, "victory");
}

TEST_F(SoloGameTest, ANewGameForgetsTheLastGamesRandomEvent) {
  const TQuickScenario Scenario(8);
  const TCurrentFolder In(Scenario.Folder());
  StepByStep = false;
  TfrmMain& Main = ShowMain();
  const auto StartDuel = [&] {
    Click(Main, "btnNewGame");
    Prompter.AnswerYes();
    Click(Main, "btnOkNewGame");
    ASSERT_EQ(Main.FrontScreen(), Main.pnlGame());
  };
  StartDuel();
  TBrenmoorEngine& E = Main.brm();
  ASSERT_GT(E.GetRandomEventCount(), 0);
  E.OnRandomEvent(&E, E.GetRandomEvent(0));
  ASSERT_TRUE(Main.RandomEventPending());
  Main.CloseGame();

  // The scenario is read again for the new game: the old event is not kept nor shown.
  StartDuel();
  EXPECT_FALSE(Main.RandomEventPending());
  EXPECT_EQ(Main.PendingRandomEvent(), nullptr);
  EXPECT_FALSE(Shown(Main, "btnRandomEvent"));
  Main.CloseGame();
}

TEST_F(SoloGameTest, AVictoryGoesOnInFreeForAllOnlyWhenAskedAndAgreedElseItEndsTheGameOnce) {
  const TQuickScenario Scenario(3);
  const TCurrentFolder In(Scenario.Folder());
  const struct {
    const char* Name;
    bool Offered;
    bool Agree;
  } Cases[] = {{"agreed", true, true}, {"refused", true, false}, {"not offered", false, false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TScriptedPrompter Answers;
    ImpulsesRun = 0;
    TfrmMain& Main = ShowMain();
    Click(Main, "btnNewGame");
    Tick(Main, "Germany");
    Click(Main, "btnOkNewGame");
    ASSERT_EQ(Main.FrontScreen(), Main.pnlGame());
    TBrenmoorEngine& E = Main.brm();
    // Only Germany keeps industry: no free-for-all to offer.
    if (!C.Offered)
      for (int I = 0; I < E.GetZoneCount(); ++I)
        if (E.GetZone(I)->GetOwner() != E.FindNation("Germany")) E.GetZone(I)->SetIndustry(0);
    if (C.Offered) {
      if (C.Agree)
        Answers.AnswerYes();
      else
        Answers.AnswerNo();
    }
    RunImpulses(Main, 4, ImpulsesRun);
    ASSERT_EQ(ImpulsesRun, 4);
    std::vector<std::string> Asked;
    for (const TPrompt& P : Answers.Prompts()) Asked.push_back(P.Text);
    if (C.Offered) {
      ASSERT_FALSE(Asked.empty());
      EXPECT_EQ(Asked.front(), "Germany is VICTORIOUS!  Do you want to continue in Free For All Mode?");
    } else {
      EXPECT_TRUE(Asked.empty());
    }
    if (C.Agree) {
      EXPECT_EQ(Asked.back(), "FFA will commece after all non-FFA players have left the game.");
      EXPECT_TRUE(E.GetFreeForAll());
      EXPECT_TRUE(Main.rte().GetActive());
      EXPECT_FALSE(Main.GameOver());
      EXPECT_EQ(Main.BannerText(), "");
      // The game goes on and the scenario's victory is not told again.
      RunImpulses(Main, 2, ImpulsesRun);
      EXPECT_EQ(Answers.Prompts().size(), 2u);
      EXPECT_EQ(Main.BannerText(), "");
    } else {
      EXPECT_FALSE(Main.rte().GetActive());
      EXPECT_TRUE(Main.GameOver());
      EXPECT_EQ(Main.BannerText(), "Germany is VICTORIOUS!");
      const int At = Main.rte().GetImpulse();
      QTest::qWait(250);
      EXPECT_EQ(Main.rte().GetImpulse(), At);
    }
    EXPECT_TRUE(Shown(Main, "btnFinalScore"));
    Forms.reset();
  }
}

TEST_F(SoloGameTest, ASavedGameThatCannotBeReadOrWrittenIsSaidAndLosesNothing) {
  const TCurrentFolder In(ProgramFolder);
  QTemporaryDir Files;
  const std::string Damaged = QDir(Files.path()).filePath("damaged.brm").toStdString();
  const std::string Newer = QDir(Files.path()).filePath("newer.brm").toStdString();
  std::ofstream(Damaged, std::ios::binary) << "not a game at all";
  TfrmMain& Main = ShowMain();
  {
    // A game of a newer version, scrambled as this program scrambles.
    std::string Text = "9.5;";
    Main.encrypt().EncryptString(Text);
    std::ofstream(Newer, std::ios::binary) << Text;
  }
  const std::string Missing = QDir(Files.path()).filePath("missing.brm").toStdString();
  for (const std::string& File : {Damaged, Newer, Missing}) {
    SCOPED_TRACE(File);
    const std::size_t Before = Prompter.Prompts().size();
    Prompter.ChooseFile(File);
    Click(Main, "btnOpenSavedGame");
    ASSERT_EQ(Prompter.Prompts().size(), Before + 2);
    EXPECT_EQ(Prompter.Prompts().back().Kind, pkMessage);
    EXPECT_FALSE(Prompter.Prompts().back().Text.empty());
    EXPECT_EQ(Main.FrontScreen(), Main.pnlTitle());
    EXPECT_FALSE(Main.rte().GetActive());
  }

  // A running game stays as it was when a file is refused, and goes on.
  Click(Main, "btnNewGame");
  Tick(Main, "France");
  Click(Main, "btnOkNewGame");
  RunImpulses(Main, 2, ImpulsesRun);
  const std::string State = Main.brm().SaveToString();
  Prompter.ChooseFile(Damaged);
  EXPECT_FALSE(Main.LoadGameFile());
  EXPECT_EQ(Main.brm().SaveToString(), State);
  EXPECT_TRUE(Main.rte().GetActive());
  EXPECT_EQ(Main.CurrentNation(), Main.brm().FindNation("France"));

  // Another player's surrender is told in the message panel, and the game goes on.
  Main.brm().OnPlayerSurrender(&Main.brm(), "Quillon");
  const auto* Message = Main.findChild<QLabel*>("pnlMessage");
  ASSERT_NE(Message, nullptr);
  EXPECT_EQ(Message->text().toStdString(), "Quillon has Surrendered!");
  EXPECT_FALSE(Main.GameOver());
  EXPECT_TRUE(Main.rte().GetActive());

  // The conquest of the player here ends the game for him; the clock runs on, and leaving asks
  // nothing.
  Main.brm().OnRemovePlayer(&Main.brm(), "[SOLO]");
  EXPECT_EQ(Main.BannerText(), "C O N Q U E R E D !");
  EXPECT_TRUE(Main.GameOver());
  EXPECT_TRUE(Main.rte().GetActive());

  // A save into a folder that is not there is said and the game goes on.
  Prompter.ChooseFile(QDir(Files.path()).filePath("no such folder/war.brm").toStdString());
  Click(Main, "btnSave");
  EXPECT_EQ(Prompter.Prompts().back().Text.rfind("An Error occured saving the Game: ", 0), 0u) << Prompter.Prompts().back().Text;
  EXPECT_TRUE(Main.rte().GetActive());
  RunImpulses(Main, 1, ImpulsesRun);
  EXPECT_EQ(Main.rte().GetImpulse(), 3);
  const std::size_t Asked = Prompter.Prompts().size();
  Click(Main, "btnExitGame");
  EXPECT_EQ(Prompter.Prompts().size(), Asked);
  EXPECT_EQ(Main.FrontScreen(), Main.pnlTitle());
  EXPECT_FALSE(Main.rte().GetActive());
}

TEST_F(SoloGameTest, NineAlliancesAndTooFewFlagsAreListedAndPlayedAndAnEighthPowerIsRefused) {
  // Seven more alliances, Poland in one of them, and a flags picture of two cells for the
  // scenario's 48 nations.
  QImage Flags(40, 12, QImage::Format_RGB32);
  Flags.fill(Qt::red);
  const auto MoreAlliances = [](std::string& Line) {
    if (Line.rfind("Nation=Poland,Allies,", 0) == 0) Line.replace(0, 20, "Nation=Poland,Far");
    if (Line.rfind("Alliance=Allies", 0) == 0)
      for (const char* Extra : {"North", "South", "East", "West", "Centre", "Middle", "Far"})
        Line += std::string("\nAlliance=") + Extra;
  };
  {
    const TQuickScenario Scenario(100, MoreAlliances, Flags);
    const TCurrentFolder In(Scenario.Folder());
    TfrmMain& Main = ShowMain();
    Click(Main, "btnNewGame");
    ASSERT_TRUE(Prompter.Messages().empty()) << Prompter.Messages().front();
    EXPECT_EQ(Main.brm().GetAllianceCount(), 9);
    EXPECT_EQ(Main.brm().FindNation("Poland")->GetAlliance(), "Far");
    auto* Powers = Main.findChild<QTreeWidget*>("lvMajorPowers");
    ASSERT_EQ(Powers->topLevelItemCount(), 7);
    EXPECT_FALSE(Powers->topLevelItem(0)->icon(0).isNull());
    GrabToPng(Main, "setup");
    Tick(Main, "France");
    Click(Main, "btnOkNewGame");
    ASSERT_EQ(Main.FrontScreen(), Main.pnlGame());
    EXPECT_EQ(Main.CurrentNation(), Main.brm().FindNation("France"));
    RunImpulses(Main, 8, ImpulsesRun);
    EXPECT_EQ(Main.rte().GetImpulse(), 8);
    GrabToPng(Main, "game");
    Forms.reset();
  }
  // An eighth major power: the scenario is refused with the engine's reason and nothing starts.
  const TQuickScenario Eight(6, [](std::string& Line) {
    if (Line.rfind("Nation=Poland,Allies,0,", 0) == 0) Line.replace(0, 23, "Nation=Poland,Allies,1,");
  });
  const TCurrentFolder In(Eight.Folder());
  TScriptedPrompter Answers;
  TfrmMain& Main = ShowMain();
  Click(Main, "btnNewGame");
  ASSERT_EQ(Answers.Messages().size(), 1u);
  EXPECT_NE(Answers.Messages().front().find("Poland is one more than 7"), std::string::npos) << Answers.Messages().front();
  EXPECT_EQ(Main.findChild<QTreeWidget*>("lvMajorPowers")->topLevelItemCount(), 0);
  Click(Main, "btnOkNewGame");
  EXPECT_EQ(Answers.Messages().size(), 2u);
  EXPECT_EQ(Main.FrontScreen(), Main.pnlGameSetup());
  EXPECT_FALSE(Main.rte().GetActive());
}

TEST_F(SoloGameTest, APowersScriptChosenForTheScenarioIsTheOneItsNewGamePlays) {
  const TCurrentFolder In(ProgramFolder);
  // The script window keeps its choice as the scenario's setting for power 2.
  Settings.Store().WriteString("Standard2", "Aggressive.brmai");
  TfrmMain& Main = ShowMain();
  Click(Main, "btnNewGame");
  ASSERT_EQ(Main.FrontScreen(), Main.pnlGameSetup());
  EXPECT_EQ(Main.brm().GetNation(2)->GetAIScript(), "Aggressive.brmai");
  Tick(Main, "Germany");
  Click(Main, "btnOkNewGame");
  ASSERT_TRUE(Main.rte().GetActive());
  EXPECT_EQ(Main.brm().GetNation(2)->GetAIScript(), "Aggressive.brmai");
  EXPECT_EQ(Main.brm().GetNation(1)->GetAIScript(), "");
  Main.CloseGame();
}

}  // namespace
