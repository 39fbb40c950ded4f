// Online games through two main windows in one test program against the real lobby server:
// they meet and chat in the lobby, one makes a room for a new game of the Standard scenario and
// the other joins it, the host assigns the powers and both games run in step; they chat in the
// game, one drops and the other plays on to a victory that the hall of fame then shows. A game
// saved online is restored by its host and joined by its other player, and by nobody else. A
// third player who speaks the lobby's lines by hand sends what no game window would, and none
// of it takes effect on either screen.
#include <QDir>
#include <algorithm>
#include <functional>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QSpinBox>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QTreeWidget>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/GraphicPanel.h"
#include "controls/ModalSteps.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/Unit.h"
#include "foundation/CurrentFolder.h"
#include "foundation/StringEncryptor.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUser.h"
#include "platform/LobbyTransport.h"
#include "platform/RegistryManager.h"
#include "platform/WidgetUtils.h"
#include "server/LoopbackConnection.h"
#include "server/ServerProcess.h"
#include "support/GuiTest.h"
#include "ui/AssignPlayersForm.h"
#include "ui/CommsForm.h"
#include "ui/GameWindows.h"
#include "ui/LobbyDialogs.h"
#include "ui/LobbyLogin.h"
#include "ui/LobbyScreen.h"
#include "ui/MainForm.h"
#include "ui/TitleLogIn.h"

namespace {

namespace fs = std::filesystem;
const fs::path ProgramFolder = fs::path(BRENMOOR_BINARY_DIR) / "bin";

// The program folder's game data in a folder of its own whose "Standard.brmscen" is the
// Standard scenario with one victory condition: Germany wins at impulse VictoryImpulse.
class TStandardFolder {
public:
  explicit TStandardFolder(int VictoryImpulse) {
    const fs::path Dir = Folder();
    for (const char* Name : {"Standard.brmmap", "maps", "Default.brmai", "art", "sounds", "StandardFlags.bmp"})
      if (fs::exists(ProgramFolder / Name)) fs::create_symlink(ProgramFolder / Name, Dir / Name);
    std::ifstream In(ProgramFolder / "Standard.brmscen", std::ios::binary);
    std::ofstream Out(Dir / "Standard.brmscen", std::ios::binary);
    std::string Line;
    while (std::getline(In, Line))
      if (Line.rfind("VictoryCondition=", 0) != 0) Out << Line << "\n";
    Out << "VictoryCondition=Germany~1~4~Germany~" << VictoryImpulse << "~\n";
  }
  fs::path Folder() const { return FDir.path().toStdString(); }

private:
  QTemporaryDir FDir;
};

// One player: the program's windows with a settings store of their own, and the impulses it
// has run (each ends paused, so the test lets both machines go one impulse at a time).
struct TPlayer {
  explicit TPlayer(std::string AName) : Name(std::move(AName)) {}
  std::string Name;
  TTemporarySettings Settings;
  std::unique_ptr<TBrenmoorForms> Forms;
  int Impulses = 0;
  // The impulses it has begun.
  int Begun = 0;

  TfrmMain& Main() const { return Forms->Main(); }
  void Open() {
    Settings.Store().WriteString("ShowTip", "1");
    Forms = std::make_unique<TBrenmoorForms>(std::make_unique<TRegistryManager>(Settings.FileName()));
    Main().show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&Main()));
    TRealTimeEngine& Clock = Main().rte();
    Clock.AfterProcess = [&Clock, this, Step = Clock.AfterProcess](TClockRun* Run) {
      Step(Run);
      ++Impulses;
      Clock.SetPaused(true);
    };
    Clock.BeforeProcess = [this, Step = Clock.BeforeProcess](TClockRun* Run) {
      ++Begun;
      Step(Run);
    };
  }
  // Logs in through the title screen's log-in window to the server at Port; a new user makes
  // its account through the window's user information form.
  bool LogIn(int Port, bool NewUser) {
    LogInFromTitle(Main(), {Name, "pw-" + Name, Port, NewUser, Name, "", nullptr});
    return RunUntil([&] { return Vexil().LoggedIn() && Main().FrontScreen() == Main().pnlLobby(); }, 15000);
  }
  TVexilConnection& Vexil() const { return Main().vexil(); }
  template <class T>
  T* Find(const char* Name) const {
    return Main().findChild<T*>(Name);
  }
  std::string Caption(const char* Panel) const { return Find<TGraphicPanel>(Panel)->Caption().toStdString(); }
  std::string Chat() const { return Find<QPlainTextEdit>("memoChat")->toPlainText().toStdString(); }
  void Say(const std::string& Text) {
    auto* Edit = Find<QLineEdit>("edtChat");
    Edit->setText(QString::fromStdString(Text));
    QTest::keyClick(Edit, Qt::Key_Return);
  }
  // Chooses the room in the room list and clicks its join button.
  void Join(const std::string& Room, const char* Button = "btnVexilJoinGame") {
    auto* Rooms = Find<TOwnerDrawListBox>("lbVexilSubjects");
    const QList<QListWidgetItem*> Found = Rooms->findItems(QString::fromStdString(Room), Qt::MatchExactly);
    ASSERT_EQ(Found.size(), 1) << Room;
    Rooms->setCurrentItem(Found.front());
    Main().lobby().lbVexilSubjectsClick();
    auto* Join = Find<TColorButton>(Button);
    ASSERT_TRUE(Join->isVisible()) << Button;
    ClickControl(Join);
  }
  bool InRoom(const std::string& Room, int Users) const {
    return RunUntil([&] { return Vexil().CurrentSubject() == Room && Vexil().UserCount() == Users; }, 15000);
  }
  TfrmComms& Comms() const { return *dynamic_cast<TfrmComms*>(Forms->Form("frmComms")); }
};

// Where two state texts first differ, with a little of each around it ("" when equal).
std::string FirstDifference(const std::string& A, const std::string& B) {
  const auto At = std::mismatch(A.begin(), A.end(), B.begin(), B.end());
  if (At.first == A.end() && At.second == B.end()) return "";
  const std::size_t I = static_cast<std::size_t>(At.first - A.begin());
  const std::size_t From = I < 60 ? 0 : I - 60;
  return "at " + std::to_string(I) + ": " + A.substr(From, 120) + "\n  vs " + B.substr(From, 120);
}

// The state text of a game as both machines keep it: the units' sort keys are the host's own
// draw of one impulse's acting order, drawn again at every impulse and never sent, so they
// are left out of the comparison.
std::string StateText(TBrenmoorEngine& Engine) {
  for (int I = 0; I < Engine.GetUnitCount(); ++I) Engine.GetUnit(I)->SetSortKey(0);
  return Engine.SaveToString();
}

bool HasRoom(const TPlayer& P, const std::string& Room) {
  return !P.Find<TOwnerDrawListBox>("lbVexilSubjects")->findItems(QString::fromStdString(Room), Qt::MatchExactly).isEmpty();
}

struct OnlineGameTest : TGuiTest {
  QTemporaryDir Db;
  TServerProcess Server{QDir(Db.path()).filePath("lobby.db").toStdString()};
  TPlayer Ann{"ann"}, Bob{"bob"};

  void SetUp() override {
    Server.Start();
    Ann.Open();
    Bob.Open();
  }
  static void Choose(QTreeWidget& List, const char* Text) {
    const QList<QTreeWidgetItem*> Found = List.findItems(Text, Qt::MatchExactly, 0);
    ASSERT_EQ(Found.size(), 1) << Text;
    List.setCurrentItem(Found.front());
  }
  static void Choose(QListWidget& List, const char* Text) {
    const QList<QListWidgetItem*> Found = List.findItems(Text, Qt::MatchExactly);
    ASSERT_EQ(Found.size(), 1) << Text;
    List.setCurrentItem(Found.front());
  }
  // Both log in and meet in the lobby: Ann as a new user, Bob with the account made before.
  void Meet() {
    ASSERT_TRUE(Bob.LogIn(Server.Port(), true));
    Bob.Vexil().SetActive(false);
    ASSERT_TRUE(Ann.LogIn(Server.Port(), true));
    ASSERT_TRUE(Bob.LogIn(Server.Port(), false));
    ASSERT_TRUE(Ann.InRoom("Lobby Chat", 2));
    ASSERT_TRUE(RunUntil([&] { return Ann.Find<QListWidget>("lbVexilUsers")->count() == 2; }));
  }
  // Ann makes a room for a new Standard game of two players, Bob joins it, Ann gives Germany
  // to herself and France to Bob: both games start. Grab: a picture of the assign window.
  void StartStandardGame(bool Grab) {
    Ann.Main().lobby().btnVexilNewGameClick();
    Choose(*Ann.Find<QListWidget>("lbScenarios"), "Standard.brmscen");
    Ann.Find<QSpinBox>("spinPlayers")->setValue(2);
    Prompter.AnswerText("Big War");
    ClickControl(Ann.Find<TColorButton>("btnOkNewGame"));
    ASSERT_TRUE(Ann.Main().lobby().Hosting());
    const std::string Room = "~Big War;Standard.brmscen;4";
    ASSERT_TRUE(Ann.InRoom(Room, 1));
    ASSERT_TRUE(RunUntil([&] { return HasRoom(Bob, Room); }));
    auto& Assign = *dynamic_cast<TfrmAssignPlayers*>(Ann.Forms->Form("frmAssignPlayers"));
    const auto Armed = WhenModal([&](QDialog&) {
      auto& Powers = *Assign.findChild<QTreeWidget*>("lvMajorPowers");
      auto& Players = *Assign.findChild<QListWidget*>("lbPlayers");
      EXPECT_EQ(Players.count(), 2);
      // Nobody assigned yet: refused, and the window stays.
      ClickControl(Assign.findChild<TColorButton*>("btnProceed"));
      EXPECT_EQ(Prompter.Messages().back(), "Please Assign each Player to at least 1 Nation");
      Choose(Powers, "Germany");
      Choose(Players, "ann");
      ClickControl(Assign.findChild<TColorButton*>("btnLeftArrow"));
      Choose(Powers, "France");
      Choose(Players, "bob");
      ClickControl(Assign.findChild<TColorButton*>("btnLeftArrow"));
      EXPECT_EQ(Powers.findItems("France", Qt::MatchExactly, 0).front()->text(2), "(bob)");
      if (Grab) GrabToPng(Assign, "assign");
      // A player list from anybody but the room's host is not taken: once the room's beginning
      // has reached Bob, his game still waits for Ann's list.
      RunUntil([] { return false; }, 1000);
      Bob.Main().lobby().vexilDataReceived("BRMPLAYERS|bob,bob,bob,bob,bob,bob,bob,", "bob");
      EXPECT_FALSE(Bob.Main().rte().GetActive());
      ClickControl(Assign.findChild<TColorButton*>("btnProceed"));
    });
    Bob.Join(Room);
    ASSERT_TRUE(RunUntil([&] { return Ann.Main().rte().GetActive() && Bob.Main().rte().GetActive(); }, 30000));
    EXPECT_FALSE(Assign.isVisible());
    EXPECT_TRUE(Bob.Main().brm().FindNation("France")->GetLocalPlayer());
    EXPECT_FALSE(Bob.Main().brm().FindNation("Germany")->GetLocalPlayer());
    EXPECT_EQ(Bob.Main().brm().FindNation("Germany")->GetPlayerName(), "ann");
    EXPECT_TRUE(Bob.Main().brm().FindNation("Italy")->GetComputerPlayer());
    EXPECT_EQ(Ann.Main().CurrentNation(), Ann.Main().brm().FindNation("Germany"));
  }
  // Both machines run their next impulse; their games stay in step.
  void RunInStep(int Count) {
    for (TPlayer* P : {&Ann, &Bob}) P->Main().rte().SetInterval(0);
    for (int I = 0; I < Count; ++I) {
      const int A = Ann.Impulses, B = Bob.Impulses;
      for (TPlayer* P : {&Ann, &Bob}) P->Main().rte().SetPaused(false);
      ASSERT_TRUE(RunUntil([&] { return Ann.Impulses > A && Bob.Impulses > B; }, 60000)) << "impulse " << I;
      ASSERT_EQ(Ann.Main().brm().GetImpulse(), Bob.Main().brm().GetImpulse());
      ASSERT_EQ(FirstDifference(StateText(Ann.Main().brm()), StateText(Bob.Main().brm())), "")
          << "impulse " << I;
    }
  }
};

TEST_F(OnlineGameTest, TwoPlayersMeetPlayAStandardGameInStepOneDropsAndTheVictoryReachesTheHallOfFame) {
  const TStandardFolder Data(9);
  const TCurrentFolder In(Data.Folder());
  Meet();
  EXPECT_EQ(Ann.Caption("gpnlSubjectName"), "2 Players in Lobby Chat");
  Ann.Say("hello bob");
  ASSERT_TRUE(RunUntil([&] { return Bob.Chat().find("ann: hello bob") != std::string::npos; }));
  EXPECT_NE(Ann.Chat().find("ann> hello bob"), std::string::npos);
  // A chat room is made and listed; a game name with a delimiter is refused.
  Prompter.AnswerText("Tea; Room");
  Ann.Main().lobby().btnVexilNewChatClick();
  EXPECT_EQ(Prompter.Messages().back(), "The Room name may not contain any of ; ~ % , or a line break.");
  Prompter.AnswerText("Tea Room");
  ClickControl(Ann.Find<TColorButton>("btnVexilNewChat"));
  ASSERT_TRUE(Ann.InRoom("Tea Room", 1));
  EXPECT_EQ(Ann.Caption("gpnlSubjectName"), "1 Player in Tea Room");
  EXPECT_EQ(Ann.Caption("gpnlServerMessage"), "You just joined Subject \"Tea Room\"");
  ASSERT_TRUE(RunUntil([&] { return HasRoom(Bob, "Tea Room"); }));
  Bob.Join("Tea Room", "btnVexilJoinChat");
  ASSERT_TRUE(Ann.InRoom("Tea Room", 2));
  ASSERT_TRUE(RunUntil([&] { return Ann.Find<QListWidget>("lbVexilUsers")->count() == 2; }));
  Bob.Say("tea, anyone?");
  ASSERT_TRUE(RunUntil([&] { return Ann.Chat() == "bob: tea, anyone?"; }));
  Ann.Main().resize(640, 480);
  GrabToPng(*Ann.Main().pnlLobby(), "lobby");
  for (TPlayer* P : {&Ann, &Bob}) P->Vexil().JoinSubject("Lobby Chat");
  ASSERT_TRUE(Ann.InRoom("Lobby Chat", 2));

  StartStandardGame(true);
  RunInStep(3);

  // Chat in the game: the general channel reaches the other player's window.
  Ann.Comms().show();
  Ann.Comms().findChild<QLineEdit*>("edtChat")->setText("Hold the line");
  ClickControl(Ann.Comms().findChild<TColorButton*>("btnSend"));
  EXPECT_EQ(Ann.Comms().Lines(0), "Germany: Hold the line");
  ASSERT_TRUE(RunUntil([&] { return Bob.Comms().Lines(0) == "Germany: Hold the line"; }));
  // What reaches Bob's France: allied lines from allies, enemy lines from enemies at war, and
  // an enemy's allied line only when his code breaking reads it; nothing from nations not in
  // the game, and nothing while no nation is viewed.
  TBrenmoorEngine& B = Bob.Main().brm();
  const std::uint16_t FranceKept = B.FindNation("France")->GetResearchLevel(5);
  const std::uint16_t GermanyKept = B.FindNation("Germany")->GetResearchLevel(5);
  struct TChat {
    const char* Line;
    int FranceCodes, GermanyCodes;
    const char* Allied;
    const char* Enemy;
  };
  const TChat Chats[] = {
      {"GAMECHAT|United Kingdom;1;to arms", 0, 0, "United Kingdom: to arms", ""},
      {"GAMECHAT|Germany;2;surrender", 0, 0, "", "Germany: surrender"},
      {"GAMECHAT|United Kingdom;2;not for you", 0, 0, "", ""},
      {"GAMECHAT|Germany;1;plans", 90, 0, "", "[Decoded] Germany: plans"},
      {"GAMECHAT|Germany;1;plans", 0, 4, "", ""},
      {"GAMECHAT|Atlantis;0;hello", 0, 0, "", ""},
      {"GAMECHAT|Germany", 0, 0, "", ""},
  };
  for (const TChat& C : Chats) {
    SCOPED_TRACE(C.Line);
    Bob.Comms().mniClearClick();
    B.FindNation("France")->SetResearchLevel(5, static_cast<std::uint16_t>(C.FranceCodes));
    B.FindNation("Germany")->SetResearchLevel(5, static_cast<std::uint16_t>(C.GermanyCodes));
    Bob.Main().lobby().vexilDataReceived(C.Line, "ann");
    EXPECT_EQ(Bob.Comms().Lines(0), "");
    EXPECT_EQ(Bob.Comms().Lines(1), C.Allied);
    EXPECT_EQ(Bob.Comms().Lines(2), C.Enemy);
  }
  B.FindNation("France")->SetResearchLevel(5, FranceKept);
  B.FindNation("Germany")->SetResearchLevel(5, GermanyKept);

  // Bob drops: Ann is told, and her game goes on alone to its victory.
  Bob.Vexil().SetActive(false);
  Bob.Main().CloseGame();
  ASSERT_TRUE(RunUntil([&] { return !Prompter.Messages().empty() && Prompter.Messages().back() == "bob has dropped from the Game!"; }, 15000));
  EXPECT_EQ(Ann.Main().rte().GetUserCount(), 1);
  Prompter.OnPrompt = [&](const TPrompt& Prompt) {
    if (Prompt.Kind == pkConfirm) Prompter.AnswerNo();
  };
  Ann.Main().rte().SetPaused(false);
  for (int Guard = 0; Guard < 20 && !Ann.Main().GameOver(); ++Guard) {
    const int A = Ann.Impulses;
    Ann.Main().rte().SetPaused(false);
    ASSERT_TRUE(RunUntil([&] { return Ann.Impulses > A; }, 60000));
  }
  ASSERT_TRUE(Ann.Main().GameOver());
  Prompter.OnPrompt = nullptr;
  Ann.Main().CloseGame();
  ASSERT_TRUE(Ann.InRoom("Lobby Chat", 1));

  // The hall of fame: Germany's slot holds Ann's score, the game log names the winner.
  ClickControl(Ann.Find<TColorButton>("btnSchedule"));
  EXPECT_EQ(Ann.Main().FrontScreen(), Ann.Main().pnlHallOfFame());
  auto* Hall = Ann.Find<TOwnerDrawListBox>("lbHallOfFame");
  ASSERT_TRUE(RunUntil([&] { return Hall->count() > 7; }, 15000));
  EXPECT_EQ(Hall->item(0)->text(), "*0");
  EXPECT_TRUE(Hall->item(1)->text().contains(";ann;")) << Hall->item(1)->text().toStdString();
  auto* Log = Ann.Find<QTreeWidget>("lvGameLog");
  ASSERT_EQ(Log->topLevelItemCount(), 1);
  EXPECT_EQ(Log->topLevelItem(0)->text(1), "Standard");
  EXPECT_EQ(Log->topLevelItem(0)->text(2), "Germany");
  EXPECT_EQ(Log->topLevelItem(0)->text(3), "ann,");
  Prompter.AnswerText("evenings");
  ClickControl(Ann.Find<TColorButton>("btnSubmitSchedule"));
  auto* Schedule = Ann.Find<QTreeWidget>("lvSchedule");
  ASSERT_TRUE(RunUntil([&] { return Schedule->topLevelItemCount() == 1; }, 15000));
  EXPECT_EQ(Schedule->topLevelItem(0)->text(1), "evenings");
  GrabToPng(*Ann.Main().pnlHallOfFame(), "hall-of-fame");
  ClickControl(Ann.Find<TColorButton>("btnReturn"));
  EXPECT_EQ(Ann.Main().FrontScreen(), Ann.Main().pnlLobby());
}

TEST_F(OnlineGameTest, CancelInTheAssignWindowEndsTheGameBeforeItStartsForEveryone) {
  const TStandardFolder Data(50);
  const TCurrentFolder In(Data.Folder());
  Meet();
  Ann.Main().lobby().btnVexilNewGameClick();
  Choose(*Ann.Find<QListWidget>("lbScenarios"), "Standard.brmscen");
  Prompter.AnswerText("Short War");
  ClickControl(Ann.Find<TColorButton>("btnOkNewGame"));
  const std::string Room = "~Short War;Standard.brmscen;4";
  ASSERT_TRUE(RunUntil([&] { return HasRoom(Bob, Room); }, 15000));
  auto& Assign = *dynamic_cast<TfrmAssignPlayers*>(Ann.Forms->Form("frmAssignPlayers"));
  const auto Armed = WhenModal([&](QDialog&) { ClickControl(Assign.findChild<TColorButton*>("btnCancel")); });
  Bob.Join(Room);
  ASSERT_TRUE(RunUntil([&] { return Ann.Vexil().CurrentSubject() == "Lobby Chat" && Bob.Vexil().CurrentSubject() == "Lobby Chat"; }, 15000));
  EXPECT_FALSE(Ann.Main().rte().GetActive());
  EXPECT_FALSE(Bob.Main().rte().GetActive());
  EXPECT_FALSE(Ann.Main().lobby().Hosting());
  EXPECT_EQ(Prompter.Messages().back(), "The host ann has left the Game before it started.");
}

TEST_F(OnlineGameTest, ASavedOnlineGameIsRestoredByItsHostAndJoinedByItsPlayerOnly) {
  const TStandardFolder Data(500);
  const TCurrentFolder In(Data.Folder());
  QTemporaryDir Saves;
  const std::string SaveFile = QDir(Saves.path()).filePath("campaign.brm").toStdString();
  Meet();
  StartStandardGame(false);
  RunInStep(2);
  Prompter.ChooseFile(SaveFile);
  Ann.Main().SaveGame();
  for (TPlayer* P : {&Ann, &Bob}) P->Main().CloseGame();
  ASSERT_TRUE(Ann.InRoom("Lobby Chat", 2));

  Prompter.ChooseFile(SaveFile);
  ClickControl(Ann.Find<TColorButton>("btnVexilOpenGame"));
  const std::string Room = "%campaign,ann,bob";
  ASSERT_TRUE(Ann.InRoom(Room, 1));
  EXPECT_TRUE(Ann.Main().lobby().Hosting());
  EXPECT_TRUE(Ann.Main().lobby().RestoringSavedGame());
  ASSERT_TRUE(RunUntil([&] { return HasRoom(Bob, Room); }));

  // A third player who was not in the game may not join it.
  TPlayer Cy{"cy"};
  Cy.Open();
  ASSERT_TRUE(Cy.LogIn(Server.Port(), true));
  ASSERT_TRUE(RunUntil([&] { return HasRoom(Cy, Room) && Cy.Vexil().CurrentSubject() == "Lobby Chat"; }));
  Cy.Join(Room);
  EXPECT_EQ(Prompter.Messages().back(), "You were not originally in this Game");
  EXPECT_EQ(Cy.Vexil().CurrentSubject(), "Lobby Chat");

  Bob.Join(Room);
  ASSERT_TRUE(RunUntil([&] { return Ann.Main().rte().GetActive() && Bob.Main().rte().GetActive(); }, 30000));
  EXPECT_TRUE(Bob.Main().brm().FindNation("France")->GetLocalPlayer());
  EXPECT_FALSE(Bob.Main().brm().FindNation("Germany")->GetLocalPlayer());
  RunInStep(1);
}

// A third player seated at the table who speaks the lobby's lines by hand: the game's own
// connection over the real transport, without any window, sending what no game window would.
// He answers every impulse with his "ORDERS|" message when the test lets him.
struct THostileClient {
  explicit THostileClient(int Port) {
    C = LoopbackConnection(Port, Scrambler);
    C->OnLoginSuccess = [this](auto*, const TVexilUserPtr&) { LoggedIn = true; };
    C->OnAddSubject = [this](auto*, const std::string& S) { Rooms.push_back(S); };
    C->OnDataReceived = [this](auto*, const std::string& Text, const std::string&) {
      // The game started (a player list) or an impulse ended (the host's changes): the
      // orders of the next impulse are due.
      if (Text.rfind("BRMPLAYERS|", 0) == 0) Due = 0;
      if (Text.rfind("CHANGES|", 0) == 0) {
        std::string Rest = Text.substr(8);
        Due = std::stoi(NextToken(Rest, "|")) + 1;
      }
    };
  }
  bool LogIn(const std::string& Name) {
    C->OnConnected = [=, this](auto*) {
      C->LoginNew(Name, Name + "^pw-" + Name + "^First^Last^^^^^^01/01/2000^01/01/2000^0^^0`0`^^");
    };
    C->SetActive(true);
    return RunUntil([&] { return LoggedIn; }, 15000);
  }
  // Lines first, then his orders for the impulse due.
  void Play(const std::vector<std::string>& Lines, const std::string& Orders) {
    for (const std::string& Line : Lines) C->SendData(Line);
    C->SendData("ORDERS|cy|" + std::to_string(Due) + "|" + Orders);
    Sent = Due;
  }
  TStringEncryptor Scrambler{"MorqTeln"};
  std::unique_ptr<TVexilConnection> C;
  bool LoggedIn = false;
  std::vector<std::string> Rooms;
  int Due = -1;
  int Sent = -1;
};

TEST_F(OnlineGameTest, AHostileThirdPlayerCommandsNoPowerButHisOwnSpeaksForNoneAndTheGameGoesOn) {
  const TStandardFolder Data(500);
  const TCurrentFolder In(Data.Folder());
  Meet();
  THostileClient Cy(Server.Port());
  ASSERT_TRUE(Cy.LogIn("cy"));
  // A Standard game of three: Germany to Ann (the host), France to Bob, Italy to Cy.
  Ann.Main().lobby().btnVexilNewGameClick();
  Choose(*Ann.Find<QListWidget>("lbScenarios"), "Standard.brmscen");
  Ann.Find<QSpinBox>("spinPlayers")->setValue(3);
  Prompter.AnswerText("Three Way");
  ClickControl(Ann.Find<TColorButton>("btnOkNewGame"));
  const std::string Room = "~Three Way;Standard.brmscen;4";
  ASSERT_TRUE(Ann.InRoom(Room, 1));
  ASSERT_TRUE(RunUntil([&] { return HasRoom(Bob, Room); }));
  auto& Assign = *dynamic_cast<TfrmAssignPlayers*>(Ann.Forms->Form("frmAssignPlayers"));
  const auto Armed = WhenModal([&](QDialog&) {
    auto& Powers = *Assign.findChild<QTreeWidget*>("lvMajorPowers");
    auto& Players = *Assign.findChild<QListWidget*>("lbPlayers");
    for (auto [Power, Player] : {std::pair{"Germany", "ann"}, std::pair{"France", "bob"}, std::pair{"Italy", "cy"}}) {
      Choose(Powers, Power);
      Choose(Players, Player);
      ClickControl(Assign.findChild<TColorButton*>("btnLeftArrow"));
    }
    ClickControl(Assign.findChild<TColorButton*>("btnProceed"));
  });
  Bob.Join(Room);
  ASSERT_TRUE(Bob.InRoom(Room, 2));
  Cy.C->JoinSubject(Room);
  ASSERT_TRUE(RunUntil([&] { return Ann.Main().rte().GetActive() && Bob.Main().rte().GetActive() && Cy.Due == 0; }, 30000));
  for (TPlayer* P : {&Ann, &Bob}) P->Main().rte().SetInterval(0);
  TBrenmoorEngine& A = Ann.Main().brm();
  TBrenmoorEngine& B = Bob.Main().brm();
  ASSERT_EQ(B.FindNation("Italy")->GetPlayerName(), "cy");
  ASSERT_TRUE(B.FindNation("United States")->GetComputerPlayer());
  const auto Relation = [](TBrenmoorEngine& E, const char* From, const char* To) {
    return static_cast<int>(E.FindNation(From)->GetRelation(E.FindNation(To)));
  };
  const auto ShownOn = [](TPlayer& P, const std::string& Text) {
    for (int C = 0; C < 3; ++C)
      if (P.Comms().Lines(C).find(Text) != std::string::npos) return true;
    return false;
  };
  // A unit of Bob's France and how it stands, for the orders given in his name.
  const TUnit* French = nullptr;
  for (int I = 0; I < A.GetUnitCount() && !French; ++I)
    if (A.GetUnit(I)->GetOwner() == A.FindNation("France") && A.GetUnit(I)->GetZone()) French = A.GetUnit(I);
  ASSERT_NE(French, nullptr);
  const int FrenchId = French->ID;
  const auto FrenchOrder = French->GetOrder();
  const std::string FrenchMove = "1;" + std::to_string(French->GetZone()->GetIndex()) + ";" + std::to_string(FrenchId) + ";~";

  struct THostile {
    const char* What;
    std::vector<std::string> Lines;
    std::string Orders;
    std::function<void(TPlayer&)> Holds;
  };
  std::string Renames;
  for (int Id = 0; Id < 400; ++Id) Renames += "39;" + std::to_string(Id) + ";Traitor;~";
  const std::string Long(200000, 'x');
  const THostile Cases[] = {
      {"orders for the computer's powers", {}, "28;3;4;~28;6;4;~",
       [&](TPlayer& P) {
         EXPECT_GT(Relation(P.Main().brm(), "United Kingdom", "France"), -100);
         EXPECT_GT(Relation(P.Main().brm(), "United States", "France"), -100);
       }},
      {"orders for a minor nation", {}, "28;7;19;~",
       [&](TPlayer& P) { EXPECT_GT(Relation(P.Main().brm(), "Poland", "Sweden"), -100); }},
      {"orders for another player's power", {}, "28;4;6;~" + FrenchMove,
       [&](TPlayer& P) {
         EXPECT_GT(Relation(P.Main().brm(), "France", "United States"), -100);
         EXPECT_EQ(P.Main().brm().GetUnitByID(FrenchId)->GetOrder(), FrenchOrder);
       }},
      {"400 renames, his own units' only taken", {}, Renames,
       [&](TPlayer& P) {
         TBrenmoorEngine& E = P.Main().brm();
         for (int I = 0; I < E.GetUnitCount(); ++I)
           if (E.GetUnit(I)->GetCustomName() == "Traitor") {
             EXPECT_EQ(E.GetUnit(I)->GetOwner(), E.FindNation("Italy"));
           }
       }},
      {"orders in another player's name", {"ORDERS|bob|#IMPULSE#|28;4;6;~"}, "",
       [&](TPlayer& P) { EXPECT_GT(Relation(P.Main().brm(), "France", "United States"), -100); }},
      {"chat under another power's name", {"GAMECHAT|France;0;Bob here: I surrender, Germany wins"}, "",
       [&](TPlayer& P) { EXPECT_FALSE(ShownOn(P, "I surrender")); }},
      {"a chat line of 200,000 characters", {"GAMECHAT|Italy;0;" + Long}, "",
       [&](TPlayer& P) { EXPECT_FALSE(ShownOn(P, "xxxxxxxxxx")); }},
      {"a player list in the game", {"BRMPLAYERS|cy,cy,cy,cy,cy,cy,cy,"}, "",
       [&](TPlayer& P) { EXPECT_EQ(P.Main().brm().FindNation("Germany")->GetPlayerName(), "ann"); }},
      {"a saved game in the game", {"SAVED|" + A.SaveToString()}, "",
       [&](TPlayer& P) { EXPECT_TRUE(P.Main().rte().GetActive()); }},
      {"his own chat, which is his to say", {"GAMECHAT|Italy;0;ciao"}, "",
       [&](TPlayer& P) { EXPECT_TRUE(ShownOn(P, "Italy: ciao")); }},
  };
  for (const THostile& C : Cases) {
    SCOPED_TRACE(C.What);
    ASSERT_TRUE(RunUntil([&] { return Cy.Due == Ann.Main().rte().GetImpulse() && Cy.Due > Cy.Sent; }, 30000));
    const int Impulse = Cy.Due;
    std::vector<std::string> Lines = C.Lines;
    for (std::string& Line : Lines)
      if (const std::size_t At = Line.find("#IMPULSE#"); At != std::string::npos) Line.replace(At, 9, std::to_string(Impulse));
    Cy.Play(Lines, C.Orders);
    for (TPlayer* P : {&Ann, &Bob}) P->Main().rte().SetPaused(false);
    ASSERT_TRUE(RunUntil([&] { return Ann.Impulses > Impulse && Bob.Impulses > Impulse; }, 60000));
    // The data lines went before the orders: they have been seen by now.
    RunUntil([] { return false; }, 200);
    for (TPlayer* P : {&Ann, &Bob}) {
      SCOPED_TRACE(P->Name);
      EXPECT_TRUE(P->Main().rte().GetActive());
      C.Holds(*P);
    }
    ASSERT_EQ(A.GetImpulse(), Impulse + 1);
    ASSERT_EQ(B.GetImpulse(), Impulse + 1);
    EXPECT_EQ(Ann.Main().findChild<QLabel*>("lblDate")->text().toStdString(), Bob.Main().findChild<QLabel*>("lblDate")->text().toStdString());
    ASSERT_EQ(FirstDifference(StateText(A), StateText(B)), "");
    // The guest goes on to the next impulse and waits there for the host, who is still in
    // this one: both show the date of the impulse that is over.
    Bob.Main().rte().SetPaused(false);
    ASSERT_TRUE(RunUntil([&] { return Bob.Begun > Impulse + 1; }, 30000));
    EXPECT_EQ(Bob.Main().findChild<QLabel*>("lblDate")->text().toStdString(), Ann.Main().findChild<QLabel*>("lblDate")->text().toStdString());
  }
  EXPECT_TRUE(Bob.Main().brm().FindNation("France")->GetLocalPlayer());
  EXPECT_EQ(Ann.Main().rte().GetUserCount(), 3);

  // The lobby server goes away in the middle of the game: each player is told once, his game
  // ends, and no question of the game follows.
  const std::size_t Asked = Prompter.Prompts().size();
  Server.Stop();
  ASSERT_TRUE(RunUntil([&] { return Prompter.Prompts().size() >= Asked + 2; }, 15000));
  RunUntil([] { return false; }, 500);
  ASSERT_EQ(Prompter.Prompts().size(), Asked + 2);
  for (std::size_t I = Asked; I < Prompter.Prompts().size(); ++I) {
    EXPECT_EQ(Prompter.Prompts()[I].Kind, pkMessage);
    EXPECT_EQ(Prompter.Prompts()[I].Text, "You have been disconnected from VexilServer");
  }
  for (TPlayer* P : {&Ann, &Bob}) {
    EXPECT_FALSE(P->Main().rte().GetActive());
    EXPECT_EQ(P->Main().FrontScreen(), P->Main().pnlTitle());
  }
}

}  // namespace
