// The lobby's decisions: room names and the names shown for them, the version check, the
// caption, the refused delimiters, the player list and the assign window's validation, the
// join buttons and the join checks, where a game chat line shows, a restored game's players, the
// decode chance, the result sent at a victory, the version notice, the hall of fame's reply and
// the steps of the phase with the lobby.
#include "screens/LobbyRules.h"

#include <gtest/gtest.h>

#include <optional>

#include "engine/Nation.h"
#include "gamemap/StandardGameFixture.h"
#include "screens/GameStart.h"

namespace {

TEST(LobbyRulesTest, RoomNamesAndTheirDisplayNames) {
  EXPECT_EQ(NewGameRoomName("Big War", "Standard.brmscen"), "~Big War;Standard.brmscen;4");
  EXPECT_EQ(RestoredGameRoomName("mygame.old.brm", {"ann", "bob"}), "%mygame,ann,bob");
  struct TCase {
    const char* Room;
    TRoomKind Kind;
    const char* Shown;
    const char* Scenario;
    const char* Version;
  };
  const TCase Cases[] = {
      {"~Big War;Standard.brmscen;4", rkNewGame, "Big War", "Standard.brmscen", "4"},
      {"~Solo;Other.brmscen;4.0", rkNewGame, "Solo", "Other.brmscen", "4.0"},
      {"~NoFields", rkNewGame, "NoFields", "", ""},
      {"%mygame,ann,bob", rkRestoredGame, "mygame", "", ""},
      {"%lonely", rkRestoredGame, "lonely", "", ""},
      {"Lobby Chat", rkChat, "Lobby Chat", "", ""},
      {"Tea; and, cake", rkChat, "Tea; and, cake", " and, cake", ""},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Room);
    EXPECT_EQ(RoomKindOf(C.Room), C.Kind);
    EXPECT_EQ(RoomDisplayName(C.Room), C.Shown);
    if (C.Kind == rkNewGame) {
      EXPECT_EQ(RoomScenarioFile(C.Room), C.Scenario);
      EXPECT_EQ(RoomVersionText(C.Room), C.Version);
    }
  }
  EXPECT_EQ(RestoredRoomPlayers("%mygame,ann,bob"), (std::vector<std::string>{"ann", "bob"}));
  EXPECT_TRUE(RestoredRoomPlayers("%lonely").empty());
}

TEST(LobbyRulesTest, OnlyVersionFourJoins) {
  for (const char* Joins : {"4", "4.0", "4.00"}) EXPECT_TRUE(VersionJoins(Joins)) << Joins;
  for (const char* Refused : {"3", "3.9", "4.1", "5", "", "four", "40"}) EXPECT_FALSE(VersionJoins(Refused)) << Refused;
  EXPECT_EQ(VersionRefusal("4.1"), "This Game was created with Brenmoor version 4.1, and you have version 4");
}

TEST(LobbyRulesTest, CaptionCountsPlayers) {
  EXPECT_EQ(SubjectCaption(1, "Lobby Chat"), "1 Player in Lobby Chat");
  EXPECT_EQ(SubjectCaption(2, "Big War"), "2 Players in Big War");
  EXPECT_EQ(SubjectCaption(0, "Empty"), "0 Players in Empty");
}

TEST(LobbyRulesTest, DelimitersAndLineBreaksAreRefused) {
  for (const char* Bad : {"a;b", "a~b", "a%b", "a,b", "two\nlines", "cr\r"}) {
    const auto Refusal = DelimiterRefusal(Bad, "Game name");
    ASSERT_TRUE(Refusal) << Bad;
    EXPECT_EQ(*Refusal, "The Game name may not contain any of ; ~ % , or a line break.");
  }
  EXPECT_FALSE(DelimiterRefusal("Big War 2 (rematch)!", "Game name"));
  // Chat only refuses line breaks when its delimiters are none.
  EXPECT_FALSE(DelimiterRefusal("a;b,c", "Chat text", ""));
  EXPECT_TRUE(DelimiterRefusal("a\nb", "Chat text", ""));
}

TEST(LobbyRulesTest, PlayerListRoundTripsAndRefusesWrongLengths) {
  const std::vector<TPowerAssignment> Powers = {{"ann"}, {""}, {"bob"}};
  EXPECT_EQ(PlayerListText(Powers), "ann,#COMP#,bob,");
  const auto Read = ParsePlayerList("ann,#COMP#,bob,", 3);
  ASSERT_TRUE(Read);
  ASSERT_EQ(Read->size(), 3u);
  EXPECT_EQ((*Read)[0].Player, "ann");
  EXPECT_TRUE((*Read)[1].Computer());
  EXPECT_EQ((*Read)[2].Player, "bob");
  struct TCase {
    const char* List;
    int Majors;
  };
  for (const TCase& C : {TCase{"ann,bob,", 3}, TCase{"ann,bob,cy,dee,", 3}, TCase{"ann,,bob,", 3}, TCase{"", 1}}) {
    std::string Error;
    EXPECT_FALSE(ParsePlayerList(C.List, C.Majors, &Error)) << C.List;
    EXPECT_FALSE(Error.empty()) << C.List;
  }
}

TEST(LobbyRulesTest, AssignmentsValidation) {
  const char* Mixed = "Do not Assign a Player to Nations that belong to different Alliances";
  const char* Missing = "Please Assign each Player to at least 1 Nation";
  struct TCase {
    const char* Name;
    std::vector<TAssignRow> Rows;
    int Users;
    std::string Expected;
  };
  const TCase Cases[] = {
      {"one each", {{"Axis", "ann"}, {"Allies", "bob"}, {"Allies", ""}}, 2, ""},
      {"two of one alliance", {{"Axis", "ann"}, {"Axis", "ann"}, {"Allies", "bob"}}, 2, ""},
      {"two alliances", {{"Axis", "ann"}, {"Allies", "ann"}, {"Allies", "bob"}}, 2, Mixed},
      {"two without alliance", {{"[Spain]", "ann"}, {"[Turkey]", "ann"}, {"Allies", "bob"}}, 2, Mixed},
      {"a user left out", {{"Axis", "ann"}, {"Allies", "bob"}, {"Allies", ""}}, 3, Missing},
      {"nobody", {{"Axis", ""}, {"Allies", ""}}, 2, Missing},
  };
  for (const TCase& C : Cases) EXPECT_EQ(ValidateAssignments(C.Rows, C.Users), C.Expected) << C.Name;
}

TEST(LobbyRulesTest, DecodeChance) {
  struct TCase {
    int Own, Sender, Draw;
    bool Decoded;
  };
  const TCase Cases[] = {{0, 0, 10, true}, {0, 0, 11, false}, {3, 0, 13, true}, {3, 0, 14, false},
                         {0, 1, 0, false}, {40, 1, 20, true}, {40, 1, 21, false}, {0, 0, 0, true}};
  for (const TCase& C : Cases)
    EXPECT_EQ(CanDecodeEnemyChat(C.Own, C.Sender, C.Draw), C.Decoded) << C.Own << " " << C.Sender << " " << C.Draw;
}

TEST(LobbyRulesTest, GameChatReadsBack) {
  EXPECT_EQ(GameChatMessage("France", 1, "attack; now"), "GAMECHAT|France;1;attack; now");
  const auto Chat = ParseGameChat("France;1;attack; now");
  ASSERT_TRUE(Chat);
  EXPECT_EQ(Chat->Nation, "France");
  EXPECT_EQ(Chat->Channel, "1");
  EXPECT_EQ(Chat->Text, "attack; now");
  EXPECT_FALSE(ParseGameChat("France;1"));
}

std::vector<TPowerResult> Powers() {
  return {{"Germany", "ann", "Axis", true, true, 1200},      {"Italy", "Italy.brmai", "Axis", false, false, 40},
          {"France", "bob", "Allies", true, true, 300},      {"USSR", "USSR.brmai", "Allies", true, false, 900},
          {"Spain", "Spain.brmai", "", true, false, 5}};
}

TEST(LobbyRulesTest, GameLogOfAnAllianceAndOfANation) {
  EXPECT_EQ(GameLogText("Standard.brmscen", Powers(), "Axis", "", 2),
            "Standard;Axis;ann,;bob,USSR.brmai,;");
  EXPECT_EQ(GameLogText("Standard.brmscen", Powers(), "", "France", 2),
            "Standard;France;bob;ann;Italy.brmai;USSR.brmai;;");
  // One alliance only: the powers without one count among the defeated.
  EXPECT_EQ(GameLogText("Standard.brmscen", Powers(), "", "France", 1),
            "Standard;France;bob;ann;Italy.brmai;USSR.brmai;Spain.brmai;;");
  // No human-played power lost: nothing is sent.
  std::vector<TPowerResult> AllHumansWin = Powers();
  AllHumansWin[0].Alliance = "Allies";
  EXPECT_FALSE(GameLogText("Standard.brmscen", AllHumansWin, "Allies", "", 2));
  EXPECT_EQ(ScoreText(Powers()), "ann;1200;Italy.brmai;40;bob;300;USSR.brmai;900;Spain.brmai;5;");
}

TEST(LobbyRulesTest, VersionNotice) {
  const std::string Web = "http://quillfen.example";
  EXPECT_EQ(VersionNotice("4.5|1", Web),
            "Version 4.5 of Brenmoor is now available. You currently have Version 4.  Visit the Quillfen Web Site at "
            "http://quillfen.example to download the latest Version.");
  EXPECT_EQ(VersionNotice("4.0|3", Web),
            "Build 3 has been released, and you have Build 2.  Visit the Quillfen Web Site at "
            "http://quillfen.example to download the latest Build.");
  for (const char* Current : {"4|2", "4.0|1", "3|2", "", "x|y"}) EXPECT_EQ(VersionNotice(Current, Web), "") << Current;
}

TEST(LobbyRulesTest, HallOfFameReplyReadsIntoLines) {
  const THallOfFame H = ParseHallOfFame(
      "1200;ann;12/1/2026;300;bob;12/2/2026;~~~~~~~`12/1/2026;Standard;Axis;ann,;bob,;`ann%evenings;bob%never;`");
  const std::vector<std::string> Expected = {"*0", "1200;ann;12/1/2026", "300;bob;12/2/2026", "*1", "*2", "*3",
                                             "*4", "*5",                 "*6"};
  EXPECT_EQ(H.Lines, Expected);
  ASSERT_EQ(H.GameLog.size(), 1u);
  EXPECT_EQ(H.GameLog[0].Winner, "Axis");
  EXPECT_EQ(H.GameLog[0].Victors, "ann,");
  EXPECT_EQ(H.GameLog[0].Defeated, "bob,");
  ASSERT_EQ(H.Schedule.size(), 2u);
  EXPECT_EQ(H.Schedule[1].Player, "bob");
  EXPECT_EQ(H.Schedule[1].Times, "never");
  // A short or empty reply still gives the seven headings.
  EXPECT_EQ(ParseHallOfFame("").Lines.size(), 7u);

  const THallOfFameLine Heading = ReadHallOfFameLine("*3");
  EXPECT_TRUE(Heading.Heading);
  EXPECT_EQ(HallOfFameNation(Heading.Slot), "United Kingdom");
  EXPECT_EQ(HallOfFameNation(7), "?");
  const THallOfFameLine Entry = ReadHallOfFameLine("1200;ann;12/1/2026");
  EXPECT_FALSE(Entry.Heading);
  EXPECT_EQ(Entry.Entry.Score, 1200);
  EXPECT_EQ(Entry.Entry.Name, "ann");
  EXPECT_EQ(Entry.Entry.Third, "12/1/2026");
}

TEST(LobbyRulesTest, AChosenRoomShowsItsJoinButtonAndWhatItHolds) {
  struct TCase {
    const char* Room;
    const char* Current;
    TRoomChoice Choice;
  };
  const TCase Cases[] = {
      {"~Big War;Standard.brmscen;4", "Lobby Chat", {true, false, "Scenario: Standard.brmscen"}},
      {"%mygame,ann,bob", "Lobby Chat", {true, false, "Restored Game"}},
      {"Tea Room", "Lobby Chat", {false, true, ""}},
      // The room this machine is in offers no join.
      {"Tea Room", "Tea Room", {false, false, ""}},
      {"~Big War;Standard.brmscen;4", "~Big War;Standard.brmscen;4", {false, false, ""}},
  };
  for (const TCase& C : Cases) EXPECT_EQ(RoomChoice(C.Room, C.Current), C.Choice) << C.Room << " in " << C.Current;
}

TEST(LobbyRulesTest, JoiningNeedsTheScenarioTheVersionAndForARestoredGameAPlaceInIt) {
  struct TCase {
    const char* Room;
    bool ScenarioThere;
    std::optional<std::string> Refusal;
  };
  const TCase Cases[] = {
      {"~Big War;Standard.brmscen;4", true, std::nullopt},
      {"~Big War;Standard.brmscen;4.0", true, std::nullopt},
      {"~Big War;Standard.brmscen;4", false, "You do not have the Scenario File: Standard.brmscen"},
      // A room without a scenario is refused even when a file of no name were "there".
      {"~NoFields", true, "You do not have the Scenario File: "},
      // The scenario is asked about before the version.
      {"~Old;Standard.brmscen;3", false, "You do not have the Scenario File: Standard.brmscen"},
      {"~Old;Standard.brmscen;3", true, VersionRefusal("3")},
      {"%mygame,ann,bob", false, std::nullopt},
      {"%mygame,bob,cy", false, std::string(NotInThisGameMessage)},
      {"%lonely", true, std::string(NotInThisGameMessage)},
      {"Tea Room", false, std::nullopt},
  };
  for (const TCase& C : Cases) EXPECT_EQ(JoinRefusal(C.Room, "ann", C.ScenarioThere), C.Refusal) << C.Room;
}

TEST(LobbyRulesTest, AGameChatLineShowsByItsChannelAndTheSendersStanding) {
  struct TCase {
    int Channel;
    bool Allied, AtWar, Decoded;
    std::optional<TChatDelivery> Shown;
    bool DrawAsked;
  };
  const TCase Cases[] = {
      {0, false, true, false, TChatDelivery{0, false}, false},
      {1, true, false, true, TChatDelivery{1, false}, false},
      {1, false, true, true, TChatDelivery{2, true}, true},
      {1, false, true, false, std::nullopt, true},
      {2, false, true, true, TChatDelivery{2, false}, false},
      {2, true, false, true, std::nullopt, false},
      {2, false, false, true, std::nullopt, false},
      {3, false, true, true, std::nullopt, false},
  };
  for (const TCase& C : Cases) {
    bool Asked = false;
    const auto Shown = ChatDelivery(C.Channel, C.Allied, C.AtWar, [&] {
      Asked = true;
      return C.Decoded;
    });
    EXPECT_EQ(Shown, C.Shown) << "channel " << C.Channel << " allied " << C.Allied << " at war " << C.AtWar;
    // The decoding chance is drawn only where it decides.
    EXPECT_EQ(Asked, C.DrawAsked) << "channel " << C.Channel;
  }
}

TEST(LobbyRulesTest, PlayersListLines) {
  EXPECT_EQ(LatencyText(0), "Latency Unknown");
  EXPECT_EQ(LatencyText(87), "Latency: 87 milliseconds");
  EXPECT_EQ(UserListText("ann", "", "General"), "ann");
  EXPECT_EQ(UserListText("ann", "1200", "General"), "ann (1200) General");
}

TEST(LobbyRulesTest, ARestoredGamesPlayersAndAVictorysResultsComeFromTheGame) {
  TStandardGame G;
  for (int I = 0; I < G.Engine.GetMajorCount(); ++I) G.Engine.GetNation(I)->SetComputerPlayer(true);
  for (const char* Name : {"Germany", "France", "Italy", "Japan"}) G.Nation(Name)->SetComputerPlayer(false);
  G.Nation("Germany")->SetPlayerName("ann");
  G.Nation("France")->SetPlayerName("bob");
  G.Nation("Italy")->SetPlayerName("ann");
  G.Nation("Japan")->SetPlayerName("cy");
  G.Nation("Japan")->SetAlive(false);
  // Each living human player once, in nation order; the computer's powers and the fallen are
  // no seat of the restored game.
  EXPECT_EQ(RestoredGamePlayers(G.Engine), (std::vector<std::string>{"ann", "bob"}));

  const std::vector<TPowerResult> Powers = PowerResults(G.Engine);
  ASSERT_EQ(static_cast<int>(Powers.size()), G.Engine.GetMajorCount());
  for (const TPowerResult& P : Powers) {
    const TNation* N = G.Nation(P.Name.c_str());
    ASSERT_NE(N, nullptr) << P.Name;
    EXPECT_TRUE(N->GetMajorPower()) << P.Name;
    EXPECT_EQ(P.Human, !N->GetComputerPlayer()) << P.Name;
    EXPECT_EQ(P.Alive, N->GetAlive()) << P.Name;
    EXPECT_EQ(P.DisplayName, N->GetDisplayName()) << P.Name;
    EXPECT_EQ(P.Alliance, N->GetAlliance()) << P.Name;
  }
}

// Every state against every event: the whole table, so a step added or lost is seen.
TEST(LobbyRulesTest, LobbyPhaseStepsForEveryPhaseAndEvent) {
  using enum TLobbyPhase;
  using enum TLobbyEvent;
  constexpr std::optional<TLobbyPhase> No = std::nullopt;
  struct TCase {
    TLobbyPhase From;
    // After leLoginStarted, leConnected, leUserInfoAsked, leUserInfoAnswered, leDisconnected.
    std::optional<TLobbyPhase> To[5];
  };
  const TCase Cases[] = {
      {lpOffline, {lpConnecting, lpOnline, No, No, lpOffline}},
      {lpConnecting, {lpConnecting, lpOnline, No, No, lpOffline}},
      {lpOnline, {lpConnecting, lpOnline, lpUserInfoAsked, No, lpOffline}},
      {lpUserInfoAsked, {lpConnecting, lpOnline, lpUserInfoAsked, lpOnline, lpOffline}},
  };
  const TLobbyEvent Events[] = {leLoginStarted, leConnected, leUserInfoAsked, leUserInfoAnswered, leDisconnected};
  for (const TCase& C : Cases)
    for (int E = 0; E < 5; ++E)
      EXPECT_EQ(LobbyPhaseTransition(C.From, Events[E]), C.To[E]) << LobbyPhaseName(C.From) << " event " << E;
}

TEST(LobbyRulesTest, APresenceForgetsAUserInformationQuestionWhenTheConnectionClosesOrReconnects) {
  using enum TLobbyEvent;
  TLobbyPresence Presence;
  EXPECT_FALSE(Presence.Reached());
  // Asked before the server was reached: nothing is waiting for an answer.
  EXPECT_FALSE(Presence.Fire(leUserInfoAsked));
  Presence.Fire(leLoginStarted);
  EXPECT_FALSE(Presence.Reached());
  EXPECT_FALSE(Presence.Fire(leUserInfoAsked));
  Presence.Fire(leConnected);
  EXPECT_TRUE(Presence.Reached());
  ASSERT_TRUE(Presence.Fire(leUserInfoAsked));
  EXPECT_TRUE(Presence.UserInfoAsked());
  EXPECT_TRUE(Presence.Reached());
  // One answer is taken; a second one finds no question.
  EXPECT_TRUE(Presence.Fire(leUserInfoAnswered));
  EXPECT_FALSE(Presence.UserInfoAsked());
  EXPECT_FALSE(Presence.Fire(leUserInfoAnswered));
  // A question left open when the player leaves is gone on the next connection.
  Presence.Fire(leUserInfoAsked);
  Presence.Fire(leDisconnected);
  EXPECT_FALSE(Presence.UserInfoAsked());
  EXPECT_FALSE(Presence.Reached());
  Presence.Fire(leLoginStarted);
  Presence.Fire(leConnected);
  EXPECT_FALSE(Presence.UserInfoAsked());
  EXPECT_FALSE(Presence.Fire(leUserInfoAnswered));
}

}  // namespace
