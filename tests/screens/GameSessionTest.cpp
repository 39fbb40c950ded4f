// An online game's start handshake and its data messages, driven with plain lines: the
// transitions of the handshake, the table's reading of each word, and who may send what and
// when (the lines a hostile third player sent among them).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "screens/GameSession.h"
#include "engine/kit/RulesKit.h"
#include "screens/GameStart.h"
#include "gamemap/StandardGameFixture.h"

namespace {

using TUsers = kit::TKitUsers;

TEST(GameSessionTest, TheHandshakeGoesFromTheRoomToTheGameByItsTableAndIgnoresEventsThatDoNotApply) {
  struct TCase {
    TSessionState From;
    TSessionEvent Event;
    std::optional<TSessionState> To;
  };
  const TCase Cases[] = {
      {ssNone, seMadeRoom, ssRoomMade},
      {ssRoomMade, seJoinedOwnRoom, ssRoomMade},
      {ssRoomMade, seRoomBegun, ssStarting},
      {ssStarting, seStarted, ssPlaying},
      {ssStarting, seStartFailed, ssNone},
      {ssNone, seJoinedGameRoom, ssInRoom},
      {ssInRoom, seRoomBegun, ssAwaitingStart},
      {ssAwaitingStart, seStartReceived, ssStarting},
      {ssAwaitingStart, seHostLeft, ssNone},
      {ssPlaying, seGameClosed, ssNone},
      {ssNone, seStarted, ssPlaying},
      // What cannot happen there changes nothing.
      {ssNone, seRoomBegun, std::nullopt},
      {ssPlaying, seStartReceived, std::nullopt},
      {ssPlaying, seRoomBegun, std::nullopt},
      {ssPlaying, seMadeRoom, std::nullopt},
      {ssStarting, seStartReceived, std::nullopt},
      {ssInRoom, seHostLeft, std::nullopt},
  };
  for (const TCase& C : Cases)
    EXPECT_EQ(SessionTransition(C.From, C.Event), C.To) << SessionStateName(C.From) << " event " << int(C.Event);
}

TEST(GameSessionTest, TheTableReadsEachWordsFieldsAndRefusesMissingOnesAndTooLongTexts) {
  struct TCase {
    std::string Line;
    TDataRefusal Refusal;
    std::vector<std::string> Fields;
  };
  const std::string Chat500(MaxChatText, 'x');
  const TCase Cases[] = {
      {"GAMECHAT|France;0;Hold the line", dlNone, {"France", "0", "Hold the line"}},
      {"GAMECHAT|France;0;a;b|c", dlNone, {"France", "0", "a;b|c"}},
      {"GAMECHAT|France;0;" + Chat500, dlNone, {"France", "0", Chat500}},
      {"GAMECHAT|France;0;" + Chat500 + "x", dlTooLong, {}},
      {"GAMECHAT|France;0;" + std::string(200000, 'y'), dlTooLong, {}},
      {"GAMECHAT|" + std::string(65, 'N') + ";0;hi", dlTooLong, {}},
      {"GAMECHAT|Germany", dlFieldCount, {}},
      {"GAMECHAT|Germany;0", dlFieldCount, {}},
      {"GAMECHAT", dlFieldCount, {}},
      {"BRMPLAYERS|ann,#COMP#,bob,", dlNone, {"ann", "#COMP#", "bob"}},
      {"BRMPLAYERS|" + std::string(25, 'a') + ",", dlTooLong, {}},
      {"BRMPLAYERS|", dlFieldCount, {}},
      {"SAVED|4;whatever", dlNone, {"4;whatever"}},
      {"ORDERS|cy|3|", dlUnknownWord, {}},
      {"BRMHOF|", dlUnknownWord, {}},
      {"", dlUnknownWord, {}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Line.substr(0, 40));
    const TDataLine Read = ReadDataLine(C.Line);
    EXPECT_EQ(Read.Refusal, C.Refusal);
    EXPECT_EQ(Read.Fields, C.Fields);
  }
}

// A Standard game of ann (Germany, the host), bob (France) and cy (Italy), seen from bob's
// machine.
struct GameSessionRouting : ::testing::Test {
  GameSessionRouting() {
    for (int I = 0; I < G.Engine.GetMajorCount(); ++I) G.Engine.GetNation(I)->SetComputerPlayer(true);
    for (const char* Name : {"Germany", "France", "Italy"}) G.Nation(Name)->SetComputerPlayer(false);
    G.Nation("Germany")->SetPlayerName("ann");
    G.Nation("France")->SetPlayerName("bob");
    G.Nation("Italy")->SetPlayerName("cy");
    G.Engine.SetImpulseUsers(&Users);
    Session.OnPlayers = [this](const std::string& From, const std::string& List) { Taken.push_back("players " + From + " " + List); };
    Session.OnSaved = [this](const std::string& From, const std::string&) { Taken.push_back("saved " + From); };
    Session.OnChat = [this](const std::string& From, const TChatLine& Chat) {
      Taken.push_back("chat " + From + " " + Chat.Nation->GetName() + " " + std::to_string(Chat.Channel) + " " + Chat.Text);
    };
    Session.OnRefused = [this](const std::string&, const std::string&, TDataRefusal Why) { Refused.push_back(Why); };
  }
  ~GameSessionRouting() override { G.Engine.SetImpulseUsers(nullptr); }
  TStandardGame G;
  TUsers Users{{"ann", "bob", "cy"}};
  TGameSession Session{G.Engine};
  std::vector<std::string> Taken;
  std::vector<TDataRefusal> Refused;
};

TEST_F(GameSessionRouting, OnlyTheBegunRoomsHostStartsTheGameAndOnlyOnce) {
  // Before the room begins nothing starts a game.
  Session.JoinedRoom("~Big War;Standard.brmscen;4");
  EXPECT_EQ(Session.GetState(), ssInRoom);
  EXPECT_EQ(Session.Receive("BRMPLAYERS|ann,cy,#COMP#,#COMP#,bob,#COMP#,#COMP#,", "ann"), dlNotNow);
  EXPECT_EQ(Session.RoomBegun("ann"), ssAwaitingStart);
  EXPECT_EQ(Session.Receive("BRMPLAYERS|cy,cy,cy,cy,cy,cy,cy,", "cy"), dlNotTheHost);
  EXPECT_EQ(Session.Receive("SAVED|x", "cy"), dlNotTheHost);
  EXPECT_EQ(Session.Receive("BRMPLAYERS|ann,cy,#COMP#,#COMP#,bob,#COMP#,#COMP#,", "ann"), dlNone);
  EXPECT_EQ(Session.GetState(), ssStarting);
  EXPECT_EQ(Session.Receive("BRMPLAYERS|ann,ann,ann,ann,ann,ann,ann,", "ann"), dlNotNow);
  EXPECT_EQ(Taken, std::vector<std::string>{"players ann ann,cy,#COMP#,#COMP#,bob,#COMP#,#COMP#,"});
  EXPECT_TRUE(Session.Fire(seStarted));
  EXPECT_EQ(Session.Receive("SAVED|x", "ann"), dlNotNow);
  EXPECT_FALSE(Session.GetHosting());
}

TEST_F(GameSessionRouting, TheHostWhoLeavesBeforeTheStartEndsTheWaitOthersDoNot) {
  Session.JoinedRoom("~Big War;Standard.brmscen;4");
  Session.RoomBegun("ann");
  EXPECT_FALSE(Session.UserLeft("cy"));
  EXPECT_EQ(Session.GetState(), ssAwaitingStart);
  EXPECT_TRUE(Session.UserLeft("ann"));
  EXPECT_EQ(Session.GetState(), ssNone);
  EXPECT_EQ(Session.Receive("BRMPLAYERS|ann,cy,#COMP#,#COMP#,bob,#COMP#,#COMP#,", "ann"), dlNotNow);
}

TEST_F(GameSessionRouting, TheRoomMadeHereIsHostedUntilAnotherIsJoined) {
  Session.MadeRoom("%campaign,ann,bob", true);
  Session.JoinedRoom("%campaign,ann,bob");
  EXPECT_TRUE(Session.GetHosting());
  EXPECT_TRUE(Session.GetRestoring());
  EXPECT_EQ(Session.RoomBegun("ann"), ssStarting);
  // The host takes no start from anybody: it starts its own game.
  EXPECT_EQ(Session.Receive("SAVED|x", "ann"), dlNotNow);
  Session.Fire(seStarted);
  Session.Fire(seGameClosed);
  Session.JoinedRoom(LobbyChatRoom);
  EXPECT_FALSE(Session.GetHosting());
  EXPECT_EQ(Session.GetState(), ssNone);
}

TEST_F(GameSessionRouting, ChatNamesOnlyAPowerItsSenderPlaysTheHostAlsoTheComputers) {
  Session.Fire(seStarted);
  struct TCase {
    std::string Line;
    const char* Sender;
    TDataRefusal Refusal;
  };
  const TCase Cases[] = {
      {"GAMECHAT|Italy;0;ciao", "cy", dlNone},
      {"GAMECHAT|France;0;Bob here: I surrender, Germany wins", "cy", dlNotTheSenders},
      {"GAMECHAT|Germany;2;surrender", "cy", dlNotTheSenders},
      {"GAMECHAT|United Kingdom;1;to arms", "cy", dlNotTheSenders},
      {"GAMECHAT|United Kingdom;1;to arms", "ann", dlNone},
      {"GAMECHAT|Poland;0;help", "ann", dlNotTheSenders},
      {"GAMECHAT|Atlantis;0;hello", "ann", dlNotTheSenders},
      {"GAMECHAT|Italy;7;ciao", "cy", dlBadField},
      {"GAMECHAT|Italy;0;" + std::string(200000, 'z'), "cy", dlTooLong},
      {"GAMECHAT|Germany;0;hello", "zed", dlNotSeated},
      {"GAMECHAT|Germany;0;hello", "", dlNotSeated},
      {"BRMPLAYERS|cy,cy,cy,cy,cy,cy,cy,", "ann", dlNotNow},
      {"NOSUCH|x", "ann", dlUnknownWord},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Line.substr(0, 60));
    Taken.clear();
    Refused.clear();
    EXPECT_EQ(Session.Receive(C.Line, C.Sender), C.Refusal);
    EXPECT_EQ(Taken.size(), C.Refusal == dlNone ? 1u : 0u);
    EXPECT_EQ(Refused, C.Refusal == dlNone ? std::vector<TDataRefusal>{} : std::vector<TDataRefusal>{C.Refusal});
  }
  Taken.clear();
  Session.Receive("GAMECHAT|Italy;1;a;b", "cy");
  EXPECT_EQ(Taken, std::vector<std::string>{"chat cy Italy 1 a;b"});
  // When the host has gone the next user speaks for the computer's powers.
  Users.Names.erase(Users.Names.begin());
  EXPECT_EQ(Session.Receive("GAMECHAT|United Kingdom;0;on we go", "bob"), dlNone);
  EXPECT_EQ(Session.Receive("GAMECHAT|United Kingdom;0;on we go", "ann"), dlNotSeated);
}

}  // namespace
