#include <gtest/gtest.h>

#include "lobby/VexilUser.h"
#include "ServerTestSupport.h"

namespace {

const TLines kWelcome(const std::string& Name, const std::string& Lobby) {
  return {"LOGIN|SUCCESS|" + Name, "CUSTOM|BRMVERSION|4|2", "SUBJECTS|Lobby Chat",
          "JOINSUBJECT|Lobby Chat|" + Lobby};
}

}  // namespace

TEST(LobbyServer, NewUsersLogInAndJoinTheLobbyChat) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann");
  const TLines AnnRaw = F.Raw(Ann);
  ASSERT_EQ(AnnRaw.size(), 4u);
  TVexilUser Record;
  Record.LoadFromString(AnnRaw[0].substr(std::string("LOGIN|SUCCESS|").size()));
  EXPECT_EQ(Record.UserId(), "ann");
  EXPECT_EQ(Record.Password(), "");  // never sent to anyone
  EXPECT_EQ(Record.FirstName(), "First");
  EXPECT_EQ(Record.InfoByName("BRMWins"), "0");
  EXPECT_EQ(Record.InfoByName("BRMRank"), "Recruit");
  EXPECT_EQ(Record.FirstDate(), VexilToday());
  EXPECT_EQ(ShortenRecords(AnnRaw[3]), "JOINSUBJECT|Lobby Chat|ann");

  const TSessionId Bob = F.NewUser("bob");
  EXPECT_EQ(F.Lines(Bob), kWelcome("bob", "ann|bob"));
  EXPECT_EQ(F.Lines(Ann), (TLines{"ADDGUEST|Lobby Chat|bob"}));

  F.Core->Closed(Bob, F.Now);
  EXPECT_EQ(F.Lines(Ann), (TLines{"REMOVEGUEST|bob"}));

  const TSessionId Bob2 = F.Connect();
  F.Say(Bob2, "LOGIN|bob|Brenmoor|pw-bob");
  EXPECT_EQ(F.Lines(Bob2), kWelcome("bob", "ann|bob"));
}

TEST(LobbyServer, RefusedLogIns) {
  TCoreFixture F;
  F.NewUser("ann");
  struct TCase {
    std::string Line, Answer;
  } Cases[] = {
      {"LOGIN|ann|Brenmoor|wrong", "LOGIN|FAIL|Unknown user name or wrong password"},
      {"LOGIN|nobody|Brenmoor|pw", "LOGIN|FAIL|Unknown user name or wrong password"},
      {"LOGIN|ANN|Brenmoor|pw-ANN", "LOGIN|FAIL|Unknown user name or wrong password"},
      {"LOGINNEW|Ann|Brenmoor|" + TCoreFixture::NewRecord("x"), "LOGIN|FAIL|The user name Ann is taken"},
      {"LOGINNEW|a,b|Brenmoor|" + TCoreFixture::NewRecord("x"),
       "LOGIN|FAIL|A user name has 1 to 24 letters, digits and simple marks"},
      {"LOGINNEW||Brenmoor|" + TCoreFixture::NewRecord("x"),
       "LOGIN|FAIL|A user name has 1 to 24 letters, digits and simple marks"},
      {"LOGINNEW|cat|Brenmoor|" + TCoreFixture::NewRecord(""), "LOGIN|FAIL|A password has 1 to 64 characters"},
      {"LOGINNEW|cat|Brenmoor|cat^pw^^^^^^^^^^not a number^^^^", "LOGIN|FAIL|The new user's record does not read"},
  };
  for (const TCase& C : Cases) {
    const TSessionId S = F.Connect("10.0.0." + std::to_string(&C - Cases + 2));
    F.Say(S, C.Line);
    EXPECT_EQ(F.Lines(S), (TLines{C.Answer})) << C.Line;
  }
  // Log-in names are unique without regard to case, and the account keeps its own spelling.
  const TSessionId S = F.Connect();
  F.Say(S, "LOGIN|ANN|Brenmoor|pw-ann");
  EXPECT_EQ(F.Lines(S).front(), "LOGIN|SUCCESS|ann");
}

TEST(LobbyServer, FailedLogInsFromOneAddressArePaced) {
  TCoreFixture F;
  F.NewUser("ann", "10.9.9.9");
  const TSessionId S = F.Connect("10.0.0.7");
  for (int I = 0; I < 5; ++I) F.Say(S, "LOGIN|ann|Brenmoor|guess" + std::to_string(I));
  F.Quiet({S});
  F.Say(S, "LOGIN|ann|Brenmoor|pw-ann");  // even the right password waits
  EXPECT_EQ(F.Lines(S), (TLines{"LOGIN|FAIL|Too many failed log-ins from your address; please wait a minute"}));
  const TSessionId Other = F.Connect("10.0.0.8");  // another address is not held up
  F.Say(Other, "LOGIN|ann|Brenmoor|pw-ann");
  EXPECT_EQ(F.Lines(Other).front(), "LOGIN|SUCCESS|ann");
  F.Now += 60'000;
  F.Say(S, "LOGIN|ann|Brenmoor|pw-ann");
  EXPECT_EQ(F.Lines(S).front(), "LOGIN|SUCCESS|ann");
  EXPECT_TRUE(F.Core->WantsClose(Other));  // the same user logged in again elsewhere
  EXPECT_EQ(F.Lines(Other), (TLines{"ERROR|You have logged in from another place"}));
}

TEST(LobbyServer, GameRoomsFillBeginAndRefuseLateJoiners) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob"), Cid = F.NewUser("cid");
  F.Quiet({Ann, Bob, Cid});
  const std::string Room = "~War;Standard.brmscen;4";
  F.Say(Ann, "CREATESUBJECT|" + Room + "|2|");
  EXPECT_EQ(F.Lines(Ann), (TLines{"ADDSUBJECT|" + Room, "JOINSUBJECT|" + Room + "|ann"}));
  EXPECT_EQ(F.Lines(Bob), (TLines{"ADDSUBJECT|" + Room, "REMOVEGUEST|ann"}));
  F.Say(Cid, "CREATESUBJECT|" + Room + "|3|");
  EXPECT_EQ(F.Lines(Cid), (TLines{"ADDSUBJECT|" + Room, "REMOVEGUEST|ann",
                                  "ERROR|A room named \"" + Room + "\" already exists"}));

  F.Say(Bob, "JOINSUBJECT|" + Room);
  EXPECT_EQ(F.Lines(Bob), (TLines{"JOINSUBJECT|" + Room + "|ann|bob", "BEGINSUBJECT",
                                  "REMOVESUBJECT|" + Room}));
  EXPECT_EQ(F.Lines(Ann), (TLines{"ADDGUEST|" + Room + "|bob", "BEGINSUBJECT", "REMOVESUBJECT|" + Room}));
  EXPECT_EQ(F.Lines(Cid), (TLines{"REMOVEGUEST|bob", "REMOVESUBJECT|" + Room}));

  F.Say(Cid, "JOINSUBJECT|" + Room);
  EXPECT_EQ(F.Lines(Cid), (TLines{"ERROR|The game in \"" + Room + "\" has already begun"}));
  F.Say(Cid, "JOINSUBJECT|Nowhere");
  EXPECT_EQ(F.Lines(Cid), (TLines{"ERROR|There is no room named \"Nowhere\""}));

  // A new log-in sees the begun room no more; the room goes when its last guest leaves.
  const TSessionId Dee = F.NewUser("dee");
  EXPECT_EQ(F.Lines(Dee)[2], "SUBJECTS|Lobby Chat");
  F.Say(Ann, "JOINSUBJECT|Lobby Chat");
  EXPECT_EQ(F.Lines(Bob), (TLines{"REMOVEGUEST|ann"}));
  F.Core->Closed(Bob, F.Now);
  EXPECT_EQ(F.Core->RoomNames(), (std::vector<std::string>{"Lobby Chat"}));

  // A chat room has no limit and leaves the list when it empties.
  F.Quiet({Ann, Cid, Dee});
  F.Say(Cid, "CREATESUBJECT|Talk|0|");
  F.Say(Dee, "JOINSUBJECT|Talk");
  F.Quiet({Ann, Cid, Dee});
  F.Say(Cid, "JOINSUBJECT|Lobby Chat");
  F.Say(Dee, "JOINSUBJECT|Lobby Chat");
  EXPECT_EQ(F.Lines(Ann), (TLines{"ADDGUEST|Lobby Chat|cid", "REMOVESUBJECT|Talk", "ADDGUEST|Lobby Chat|dee"}));
}

TEST(LobbyServer, ALineShortOfItsCommandsFieldsIsRefusedAsABadLine) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann");
  F.Quiet({Ann});
  const std::pair<std::string, std::string> Cases[] = {
      {"CREATESUBJECT|Room", "ERROR|A CREATESUBJECT line has 2 fields: room|player count"},
      {"USERUPDATE|ann", "ERROR|A USERUPDATE line has 2 fields: user|record"},
      {"SEND|CHAT", "ERROR|A SEND line has 2 fields: kind|text"},
      {"LOGIN|ann", "ERROR|You are logged in already"},
  };
  for (const auto& [Line, Answer] : Cases) {
    F.Say(Ann, Line);
    EXPECT_EQ(F.Lines(Ann), (TLines{Answer})) << Line;
  }
  const TSessionId Newcomer = F.Connect("10.0.0.9");
  F.Say(Newcomer, "LOGIN|ann|Brenmoor");
  EXPECT_EQ(F.Lines(Newcomer), (TLines{"ERROR|A LOGIN line has 3 fields: name|product code|password"}));
}

TEST(LobbyServer, RoomRequestsThatAreRefused) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann");
  F.Quiet({Ann});
  const std::pair<std::string, std::string> Cases[] = {
      {"CREATESUBJECT|Room|x|", "ERROR|The player count of a room is 0 to 32"},
      {"CREATESUBJECT|Room|-1|", "ERROR|The player count of a room is 0 to 32"},
      {"CREATESUBJECT|Room|33|", "ERROR|The player count of a room is 0 to 32"},
      {"CREATESUBJECT||2|", "ERROR|A room's name has 1 to 200 characters"},
      {"CREATESUBJECT|" + std::string(201, 'r') + "|2|", "ERROR|A room's name has 1 to 200 characters"},
      {"CREATESUBJECT|Lobby Chat|0|", "ERROR|A room named \"Lobby Chat\" already exists"},
  };
  for (const auto& [Line, Answer] : Cases) {
    F.Say(Ann, Line);
    EXPECT_EQ(F.Lines(Ann), (TLines{Answer})) << Line;
  }
  for (int I = 0; I < 5; ++I) F.Say(Ann, "CREATESUBJECT|Room " + std::to_string(I) + "|0|");
  F.Quiet({Ann});
  F.Say(Ann, "CREATESUBJECT|One more|0|");
  EXPECT_EQ(F.Lines(Ann), (TLines{"ERROR|You are creating rooms too fast; please wait a minute"}));
}

TEST(LobbyServer, ChatAndDataGoToTheOtherGuestsInOrder) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob"), Cid = F.NewUser("cid");
  F.Say(Cid, "CREATESUBJECT|Elsewhere|0|");
  F.Quiet({Ann, Bob, Cid});
  F.Say(Ann, "SEND|CHAT|hello | all");
  F.Say(Bob, "SEND|DATA|ORDERS|3|1;5;~");
  F.Say(Ann, "SEND|DATA|GAMECHAT|Germany;0;hi");
  F.Say(Ann, "SEND|OTHER|x");
  EXPECT_EQ(F.Lines(Bob), (TLines{"SEND|ann|CHAT|hello | all", "SEND|ann|DATA|GAMECHAT|Germany;0;hi"}));
  EXPECT_EQ(F.Lines(Ann), (TLines{"SEND|bob|DATA|ORDERS|3|1;5;~", "ERROR|Only CHAT and DATA can be sent"}));
  EXPECT_EQ(F.Lines(Cid), TLines{});
}

TEST(LobbyServer, ChatIsPacedButDataIsNot) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob");
  F.Quiet({Ann, Bob});
  for (int I = 0; I < 25; ++I) F.Say(Ann, "SEND|CHAT|" + std::to_string(I));
  for (int I = 0; I < 100; ++I) F.Say(Ann, "SEND|DATA|" + std::to_string(I));
  const TLines ToBob = F.Lines(Bob);
  EXPECT_EQ(ToBob.size(), 120u);  // the first 20 chat lines, and every data line
  EXPECT_EQ(ToBob[19], "SEND|ann|CHAT|19");
  EXPECT_EQ(F.Lines(Ann).size(), 5u);
  F.Now += 1000;  // four more a second
  for (int I = 0; I < 5; ++I) F.Say(Ann, "SEND|CHAT|later");
  EXPECT_EQ(F.Lines(Bob).size(), 4u);
}

TEST(LobbyServer, ResultsOnlyFromTheHostOfABegunRoomOnceForItsMembers) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob"), Cid = F.NewUser("cid");
  const std::string Room = "~War;Standard.brmscen;4";
  F.Say(Ann, "CUSTOM|BRMLOGIT|Standard;Axis;ann,;bob,;");
  F.Say(Ann, "CREATESUBJECT|" + Room + "|2|");
  F.Say(Bob, "JOINSUBJECT|" + Room);
  F.Quiet({Ann, Bob, Cid});
  const std::string NotHost = "ERROR|Only the host of a game that has begun reports its result";
  F.Say(Bob, "CUSTOM|BRMLOGIT|Standard;Allies;bob,;ann,;");
  F.Say(Cid, "CUSTOM|BRMSCORE|cid;999;");
  EXPECT_EQ(F.Lines(Bob), (TLines{NotHost}));
  EXPECT_EQ(F.Lines(Cid), (TLines{NotHost}));

  F.Say(Ann, "CUSTOM|BRMLOGIT|Standard;Axis;ann,Default.brmai,;bob,cid,;");
  F.Say(Ann, "CUSTOM|BRMSCORE|ann;120;Default.brmai;50;x;0;bob;-3;cid;500;");
  F.Say(Ann, "CUSTOM|BRMLOGIT|Standard;Axis;ann,;bob,;");  // only once
  EXPECT_EQ(F.Lines(Ann), (TLines{"ERROR|The result of this game is in already"}));
  F.Say(Ann, "CUSTOM|BRMHOF|");
  // Hall of fame: only members' scores, in their slots; the game log; no schedules yet.
  const std::string Today = DateToStr(VexilToday());
  EXPECT_EQ(F.Raw(Ann), (TLines{"CUSTOM|BRMHOF|120;ann;" + Today + ";~~~-3;bob;" + Today + ";~~~~`" +
                                Today + ";Standard;Axis;ann,Default.brmai,;bob,cid,;``"}));
  F.Say(Cid, "USERINFO|ann|");
  TVexilUser A;
  A.LoadFromString(F.Raw(Cid).at(0).substr(9));
  EXPECT_EQ(A.InfoByName("BRMWins"), "1");
  EXPECT_EQ(A.InfoByName("BRMScore"), "120");
  EXPECT_EQ(A.InfoByName("BRMRank"), "Private");
  F.Say(Cid, "USERINFO|cid|");
  TVexilUser C;
  C.LoadFromString(F.Raw(Cid).at(0).substr(9));
  EXPECT_EQ(C.InfoByName("BRMLosses"), "0");  // not in that game
  EXPECT_EQ(C.InfoByName("BRMScore"), "0");

  // A single nation's victory, and the schedule.
  F.Say(Cid, "CUSTOM|BRMSCHEDULE|Evenings; weekends`~%");  // answered with the new lists
  const std::string Hof = F.Raw(Cid).at(0);
  const std::string Schedule = "`cid%Evenings weekends;`";
  EXPECT_EQ(Hof.substr(0, 14), "CUSTOM|BRMHOF|");
  EXPECT_EQ(Hof.substr(Hof.size() - Schedule.size()), Schedule);
}

TEST(LobbyServer, UserInfoAndUpdatesOfOnesOwnRecordOnly) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob");
  F.Quiet({Ann, Bob});
  F.Say(Bob, "USERINFO|ann|");
  EXPECT_EQ(F.Lines(Bob), (TLines{"USERINFO|ann"}));
  F.Say(Bob, "USERINFO|zed|");
  EXPECT_EQ(F.Lines(Bob), (TLines{"ERROR|There is no user named \"zed\""}));
  F.Say(Bob, "USERUPDATE|ann|ann^^^^Evil^^^^^01/01/2000^01/01/2000^1^^0`0`^^|");
  EXPECT_EQ(F.Lines(Bob), (TLines{"ERROR|You can change only your own record"}));
  F.Say(Bob, "USERUPDATE|bob|bob^newpw^B^^Paris^^^^^01/01/2000^01/01/2000^77^BRMWins=99`^0`0`^^|");
  const TLines Reply = F.Raw(Bob);
  ASSERT_EQ(Reply.size(), 1u);
  TVexilUser B;
  B.LoadFromString(Reply[0].substr(9));
  EXPECT_EQ(B.City(), "Paris");
  EXPECT_EQ(B.InfoByName("BRMWins"), "0");  // results are the server's
  EXPECT_NE(B.ServerNumber(), 77);
  const TSessionId Again = F.Connect("10.0.0.2");
  F.Say(Again, "LOGIN|bob|Brenmoor|newpw");
  EXPECT_EQ(F.Lines(Again).front(), "LOGIN|SUCCESS|bob");
}

TEST(LobbyServer, PingsMeasureLatencyAndCutOffTheSilent) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob");
  F.Quiet({Ann, Bob});
  F.Now += 15'000;
  F.Core->Tick(F.Now);
  EXPECT_EQ(F.Lines(Ann), (TLines{"PING|"}));
  F.Say(Ann, "PING|");  // answered at once: 1 ms at least
  F.Now += 40;
  F.Say(Bob, "PING|");
  F.Now += 15'000;
  F.Core->Tick(F.Now);
  EXPECT_EQ(F.Lines(Ann), (TLines{"PING|ann|1|bob|40"}));
  F.Say(Ann, "PING|");
  F.Now += 60'000;
  F.Core->Tick(F.Now);
  EXPECT_TRUE(F.Core->WantsClose(Bob));
  EXPECT_FALSE(F.Core->WantsClose(Ann));
}

TEST(LobbyServer, BadInputIsCountedAndCutOff) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann");
  F.Quiet({Ann});

  const TSessionId Shy = F.Connect("10.0.0.2");
  F.Now += 29'999;
  F.Core->Tick(F.Now);
  EXPECT_FALSE(F.Core->WantsClose(Shy));
  F.Now += 1;
  F.Core->Tick(F.Now);
  EXPECT_EQ(F.Lines(Shy), (TLines{"ERROR|Please log in within 30 seconds"}));
  EXPECT_TRUE(F.Core->WantsClose(Shy));

  const TSessionId Noisy = F.Connect("10.0.0.3");
  F.Say(Noisy, "SEND|CHAT|before logging in");
  EXPECT_EQ(F.Lines(Noisy), (TLines{"ERROR|Please log in first"}));
  F.Core->Receive(Noisy, "\x1bx\n", F.Now);
  EXPECT_EQ(F.Lines(Noisy), (TLines{"ERROR|That line is not framed as a lobby line"}));
  for (int I = 0; I < 8; ++I) F.Core->Receive(Noisy, "garbage\n", F.Now);
  EXPECT_FALSE(F.Core->WantsClose(Noisy));
  F.Core->Receive(Noisy, "garbage\n", F.Now);
  EXPECT_TRUE(F.Core->WantsClose(Noisy));
  EXPECT_EQ(F.Lines(Noisy).back(), "ERROR|Too many bad lines");
  F.Say(Noisy, "LOGIN|ann|Brenmoor|pw-ann");  // closing: nothing more is heard
  EXPECT_EQ(F.Lines(Noisy), TLines{});

  const TSessionId Long = F.NewUser("long", "10.0.0.4");
  F.Quiet({Long});
  F.Say(Long, "SEND|CHAT|" + std::string(64 << 10, 'x'));
  EXPECT_EQ(F.Lines(Long), (TLines{"ERROR|Line too long"}));

  const TSessionId Endless = F.Connect("10.0.0.5");
  for (int I = 0; I < 20 && !F.Core->WantsClose(Endless); ++I)
    F.Core->Receive(Endless, std::string(16 << 10, 'A'), F.Now);
  EXPECT_TRUE(F.Core->WantsClose(Endless));
  // The same unframed bytes end with their line feed in one piece: they meet the same cap.
  const TSessionId Whole = F.Connect("10.0.0.7");
  F.Core->Receive(Whole, std::string(20 * (16 << 10), 'A') + "\n", F.Now);
  EXPECT_TRUE(F.Core->WantsClose(Whole));
  EXPECT_EQ(F.Lines(Whole), (TLines{"ERROR|Line too long"}));

  // A data line may be far longer than a command, up to its own cap, in as many pieces as it takes.
  const TSessionId Big = F.NewUser("big", "10.0.0.6");
  F.Quiet({Big, Ann});
  const std::string Data = "SEND|DATA|" + std::string((1 << 20) - 10, 'd');
  const std::string Wire = F.Core->EncodeLine(Data);
  for (std::size_t I = 0; I < Wire.size(); I += 100'000)
    F.Core->Receive(Big, std::string_view(Wire).substr(I, 100'000), F.Now);
  EXPECT_FALSE(F.Core->WantsClose(Big));
  EXPECT_EQ(F.Raw(Ann), (TLines{"SEND|big|DATA|" + std::string((1 << 20) - 10, 'd')}));
  F.Say(Big, Data + "d");
  EXPECT_TRUE(F.Core->WantsClose(Big));
  EXPECT_FALSE(F.Core->WantsClose(Ann));
}

TEST(LobbyServer, ConnectionLimits) {
  TServerConfig C = TCoreFixture::TestConfig();
  C.MaxConnections = 4;
  C.MaxConnectionsPerAddress = 2;
  TCoreFixture F(C);
  const TSessionId A1 = F.Connect("10.0.0.1"), A2 = F.Connect("10.0.0.1"), A3 = F.Connect("10.0.0.1");
  EXPECT_FALSE(F.Core->WantsClose(A1));
  EXPECT_FALSE(F.Core->WantsClose(A2));
  EXPECT_EQ(F.Lines(A3), (TLines{"ERROR|Too many connections from your address"}));
  F.Core->Closed(A3, F.Now);
  F.Connect("10.0.0.2");
  F.Connect("10.0.0.3");
  const TSessionId Full = F.Connect("10.0.0.4");
  EXPECT_EQ(F.Lines(Full), (TLines{"ERROR|The lobby is full; please try again later"}));
}

TEST(LobbyServer, StatisticsShoutsAndAccountsThatOutliveARestart) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann");
  F.Say(Ann, "CREATESUBJECT|Talk|0|");
  F.Quiet({Ann});
  F.Now += 90'061'000;
  F.Say(Ann, "SERVERSTATS|");
  const TLines Stats = F.Lines(Ann);
  ASSERT_EQ(Stats.size(), 1u);
  EXPECT_EQ(Stats[0].rfind("SERVERSTATS|90061`1`1`1`1`1`", 0), 0u) << Stats[0];
  F.Core->Shout("Down for upkeep at noon");
  EXPECT_EQ(F.Lines(Ann), (TLines{"SHOUT|Down for upkeep at noon"}));

  F.Core.reset();
  F.Store = std::make_unique<TAccountStore>(F.Dir.File("lobby.db"));
  F.Core = std::make_unique<TLobbyServer>(TCoreFixture::TestConfig(), *F.Store, F.Now);
  const TSessionId Back = F.Connect();
  F.Say(Back, "LOGIN|ann|Brenmoor|pw-ann");
  EXPECT_EQ(F.Lines(Back), kWelcome("ann", "ann"));
}

TEST(LobbyServer, LinesAreScrambledWithTheGamesKey) {
  TCoreFixture F;
  const TSessionId Ann = F.NewUser("ann"), Bob = F.NewUser("bob");
  F.Quiet({Ann, Bob});
  std::string Chat = "SEND|CHAT|";
  for (int C = 1; C < 256; ++C) Chat += std::string(8, static_cast<char>(C));
  F.Say(Ann, Chat);
  const std::string Wire = F.Core->TakeOutput(Bob);
  EXPECT_EQ(Wire.find("SEND|"), std::string::npos);
  EXPECT_EQ(Wire.find('\n'), Wire.size() - 1);
  EXPECT_EQ(F.Core->DecodeLine(std::string_view(Wire).substr(0, Wire.size() - 1)),
            "SEND|ann|CHAT|" + Chat.substr(10));
}
