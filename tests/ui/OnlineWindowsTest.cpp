// The windows of online play on their own: the assign-players window's refusals and its
// Cancel, the communications window's channels, and the lobby screen's refusals to join a
// room or to name one, without a server.
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTreeWidget>
#include <string>
#include <vector>

#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "foundation/CurrentFolder.h"
#include "platform/WidgetUtils.h"
#include "ui/AssignPlayersForm.h"
#include "ui/CommsForm.h"
#include "ui/FormParts.h"
#include "ui/GameWindows.h"
#include "ui/LobbyLogin.h"
#include "ui/LobbyScreen.h"
#include "ui/MainForm.h"
#include "StandardWindowsFixture.h"

namespace {

class OnlineWindowsTest : public StandardWindowsTest {
protected:
  // Gives Nation to Player ("" for the computer) as the window's clicks do.
  static void Assign(TfrmAssignPlayers& Window, const char* Nation, const char* Player) {
    auto* Powers = Window.findChild<QTreeWidget*>("lvMajorPowers");
    Powers->setCurrentItem(Powers->findItems(Nation, Qt::MatchExactly, 0).front());
    if (!*Player) return ClickControl(Window.findChild<TColorButton*>("btnComputer"));
    auto* Players = Window.findChild<QListWidget*>("lbPlayers");
    Players->setCurrentItem(Players->findItems(Player, Qt::MatchExactly).front());
    ClickControl(Window.findChild<TColorButton*>("btnLeftArrow"));
  }
};

TEST_F(OnlineWindowsTest, AssignWindowRefusesIncompleteOrMixedAssignmentsAndCancelAlwaysCloses) {
  TfrmAssignPlayers Window;
  Window.Fill(Game.Engine, {"ann", "bob", "cy"});
  auto* Powers = Window.findChild<QTreeWidget*>("lvMajorPowers");
  ASSERT_EQ(Powers->topLevelItemCount(), Game.Engine.GetMajorCount());
  EXPECT_EQ(Powers->topLevelItem(1)->text(1), "[Italy]");
  EXPECT_EQ(Powers->topLevelItem(1)->text(2), "(Computer)");
  // Nothing chosen: each button says what is missing.
  ClickControl(Window.findChild<TColorButton*>("btnLeftArrow"));
  ClickControl(Window.findChild<TColorButton*>("btnComputer"));
  Powers->setCurrentItem(Powers->topLevelItem(0));
  ClickControl(Window.findChild<TColorButton*>("btnLeftArrow"));
  EXPECT_EQ(Prompter.Messages(),
            (std::vector<std::string>{"First Select a Major Power", "First Select a Major Power", "First Select a Player"}));

  struct TCase {
    const char* Name;
    std::vector<std::pair<const char*, const char*>> Steps;
    const char* Refusal;
  };
  const TCase Cases[] = {
      {"a user left out", {{"Germany", "ann"}, {"France", "bob"}}, "Please Assign each Player to at least 1 Nation"},
      {"two alliances", {{"Germany", "ann"}, {"France", "ann"}, {"USSR", "bob"}, {"Japan", "cy"}},
       "Do not Assign a Player to Nations that belong to different Alliances"},
      {"two without alliance", {{"Italy", "ann"}, {"Japan", "ann"}, {"France", "bob"}, {"Germany", "cy"}},
       "Do not Assign a Player to Nations that belong to different Alliances"},
      {"taken back by the computer", {{"Germany", "ann"}, {"France", "bob"}, {"USSR", "cy"}, {"USSR", ""}},
       "Please Assign each Player to at least 1 Nation"},
      {"complete", {{"Germany", "ann"}, {"France", "bob"}, {"United Kingdom", "bob"}, {"USSR", "cy"}}, nullptr},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Window.Fill(Game.Engine, {"ann", "bob", "cy"});
    for (const auto& [Nation, Player] : C.Steps) Assign(Window, Nation, Player);
    const std::size_t Before = Prompter.Messages().size();
    // A refused Proceed leaves the window up; Cancel then closes it.
    const int Result = RunModal(Window, [&](QDialog&) {
      ClickControl(Window.findChild<TColorButton*>("btnProceed"));
      if (Window.isVisible()) ClickControl(Window.findChild<TColorButton*>("btnCancel"));
    });
    if (C.Refusal) {
      EXPECT_EQ(Result, mrCancel);
      ASSERT_EQ(Prompter.Messages().size(), Before + 1);
      EXPECT_EQ(Prompter.Messages().back(), C.Refusal);
    } else {
      EXPECT_EQ(Result, mrOk);
      EXPECT_EQ(Window.PlayerList(), "ann,#COMP#,#COMP#,bob,bob,cy,#COMP#,");
    }
  }
  // Cancel closes at once with nothing assigned, and says nothing.
  Window.Fill(Game.Engine, {"ann", "bob"});
  const std::size_t Before = Prompter.Messages().size();
  EXPECT_EQ(RunModal(Window, [&](QDialog&) { ClickControl(Window.findChild<TColorButton*>("btnCancel")); }), mrCancel);
  EXPECT_TRUE(Window.Cancelling());
  EXPECT_EQ(Prompter.Messages().size(), Before);
  // Chat typed in the window goes on to the lobby.
  std::string Said;
  Window.OnChat = [&](const std::string& Text) { Said = Text; };
  auto* Chat = Window.findChild<QLineEdit*>("edtChat");
  Chat->setText("ready?");
  QTest::keyClick(Chat, Qt::Key_Return);
  EXPECT_EQ(Said, "ready?");
  EXPECT_TRUE(Chat->text().isEmpty());
}

TEST_F(OnlineWindowsTest, CommsWindowSendsOnTheChannelWhoseButtonIsDown) {
  TfrmComms Window;
  TNation* Current = nullptr;
  std::vector<std::string> Sent;
  Window.CurrentNation = [&] { return Current; };
  Window.OnSendData = [&](const std::string& Line) { Sent.push_back(Line); };
  Window.show();
  EXPECT_EQ(Window.Channel(), 0);
  auto* Edit = Window.findChild<QLineEdit*>("edtChat");
  // No nation viewed: nothing is sent.
  Edit->setText("anyone?");
  ClickControl(Window.findChild<TColorButton*>("btnSend"));
  EXPECT_TRUE(Sent.empty());
  Current = Game.Engine.FindNation("France");
  const struct {
    const char* Button;
    int Channel;
  } Channels[] = {{"btnAllied", 1}, {"btnEnemy", 2}, {"btnGeneral", 0}};
  for (const auto& C : Channels) {
    ClickControl(Window.findChild<TColorButton*>(C.Button));
    EXPECT_EQ(Window.Channel(), C.Channel);
    for (const char* Other : {"btnGeneral", "btnAllied", "btnEnemy"})
      EXPECT_EQ(Window.findChild<TColorButton*>(Other)->Down(), std::string(Other) == C.Button) << Other;
    Edit->setText("line");
    ClickControl(Window.findChild<TColorButton*>("btnSend"));
    EXPECT_EQ(Sent.back(), "GAMECHAT|France;" + std::to_string(C.Channel) + ";line");
    EXPECT_EQ(Window.Lines(C.Channel), "France: line");
    EXPECT_TRUE(Edit->text().isEmpty());
  }
  // A line holds at most 500 characters, as the edit says; a longer text is cut there.
  EXPECT_EQ(Edit->maxLength(), 500);
  EXPECT_TRUE(Edit->placeholderText().contains("500"));
  Edit->setText(QString(600, 'w'));
  ClickControl(Window.findChild<TColorButton*>("btnSend"));
  EXPECT_EQ(Sent.back(), "GAMECHAT|France;0;" + std::string(500, 'w'));
  Window.mniClearClick();
  for (int C = 0; C < 3; ++C) EXPECT_EQ(Window.Lines(C), "");
  GrabToPng(Window, "chat");
}

TEST_F(OnlineWindowsTest, LobbyRefusesRoomsItCannotJoinAndNamesWithDelimiters) {
  const TCurrentFolder In(TStandardGame::ProgramFolder());
  TBrenmoorForms Forms(std::make_unique<TRegistryManager>(Settings.FileName()));
  TfrmMain& Main = Forms.Main();
  auto* Rooms = Main.findChild<TOwnerDrawListBox*>("lbVexilSubjects");
  struct TCase {
    const char* Room;
    const char* Refusal;
    const char* Shown;
  };
  const TCase Cases[] = {
      {"~War;Missing.brmscen;4", "You do not have the Scenario File: Missing.brmscen", "Scenario: Missing.brmscen"},
      {"~War;Standard.brmscen;3", "This Game was created with Brenmoor version 3, and you have version 4",
       "Scenario: Standard.brmscen"},
      {"~War;Standard.brmscen;4.5", "This Game was created with Brenmoor version 4.5, and you have version 4",
       "Scenario: Standard.brmscen"},
      {"%campaign,ann,bob", "You were not originally in this Game", "Restored Game"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Room);
    Main.lobby().vexilAddSubject(C.Room);
    Rooms->setCurrentRow(Rooms->count() - 1);
    Main.lobby().lbVexilSubjectsClick();
    EXPECT_TRUE(Main.findChild<QWidget*>("btnVexilJoinGame")->isVisibleTo(Main.pnlLobby()));
    EXPECT_FALSE(Main.findChild<QWidget*>("btnVexilJoinChat")->isVisibleTo(Main.pnlLobby()));
    Main.lobby().lbVexilSubjectsDblClick();
    EXPECT_EQ(Prompter.Messages().back(), C.Refusal);
  }
  Main.lobby().vexilAddSubject("Tea Room");
  Rooms->setCurrentRow(Rooms->count() - 1);
  Main.lobby().lbVexilSubjectsClick();
  EXPECT_TRUE(Main.findChild<QWidget*>("btnVexilJoinChat")->isVisibleTo(Main.pnlLobby()));
  Main.lobby().vexilRemoveSubject("Tea Room");
  EXPECT_TRUE(Rooms->findItems("Tea Room", Qt::MatchExactly).isEmpty());

  // Names that would break a room name or the server's fields are refused.
  for (const char* Name : {"North;South", "50%", "a,b", "tilde~", "two\nlines"}) {
    Main.CreateNewGameRoom(Name);
    EXPECT_EQ(Prompter.Messages().back(), "The Game name may not contain any of ; ~ % , or a line break.") << Name;
    EXPECT_FALSE(Main.lobby().Hosting());
  }
  Prompter.AnswerText("evenings; weekends");
  Main.lobby().btnSubmitScheduleClick();
  EXPECT_EQ(Prompter.Messages().back(), "The Schedule may not contain any of ; ~ % , or a line break.");
  // The server's notice of a newer version or build.
  Main.lobby().vexilCustomMessage("BRMVERSION", "4|3");
  EXPECT_EQ(Prompter.Messages().back().substr(0, 48), "Build 3 has been released, and you have Build 2.");
  const std::size_t Before = Prompter.Messages().size();
  Main.lobby().vexilCustomMessage("BRMVERSION", "4.0|2");
  EXPECT_EQ(Prompter.Messages().size(), Before);
}

}  // namespace
