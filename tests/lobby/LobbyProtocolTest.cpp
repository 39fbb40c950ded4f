#include "lobby/LobbyProtocol.h"

#include <gtest/gtest.h>

namespace {

using TFields = std::vector<std::string>;

}  // namespace

TEST(LobbyProtocol, EveryCommandReadsBackWhatItWasBuiltWith) {
  // One line per command as the game and the server write it, and its fields as read back.
  const struct {
    TLobbyCommand Command;
    TFields Fields;
    const char* Line;
  } Cases[] = {
      {lcLogin, {"bob", "Brenmoor", "se|cret"}, "LOGIN|bob|Brenmoor|se|cret"},
      {lcLoginNew, {"ann", "Brenmoor", "ann^pw^^"}, "LOGINNEW|ann|Brenmoor|ann^pw^^"},
      {lcCreateSubject, {"~War;Standard.brmscen;4", "3"}, "CREATESUBJECT|~War;Standard.brmscen;4|3|"},
      {lcJoinSubject, {"Lobby Chat"}, "JOINSUBJECT|Lobby Chat"},
      {lcServerStats, {}, "SERVERSTATS|"},
      {lcUserInfo, {"ann"}, "USERINFO|ann|"},
      {lcSend, {"DATA", "ORDERS|3|1;5;~"}, "SEND|DATA|ORDERS|3|1;5;~"},
      {lcCustom, {"BRMHOF", ""}, "CUSTOM|BRMHOF|"},
      {lcUserUpdate, {"bob", "bob^^"}, "USERUPDATE|bob|bob^^|"},
      {lcPingReply, {}, "PING|"},
      {lcLoginResult, {"FAIL", "Bad password|try again"}, "LOGIN|FAIL|Bad password|try again"},
      {lcSent, {"ann", "CHAT", "hello | there"}, "SEND|ann|CHAT|hello | there"},
      {lcPing, {""}, "PING|"},
      {lcPing, {"ann|40|bob|20"}, "PING|ann|40|bob|20"},
      {lcSubjects, {"Lobby Chat", "Talk"}, "SUBJECTS|Lobby Chat|Talk"},
      {lcSubjects, {}, "SUBJECTS"},
      {lcAddSubject, {"Talk"}, "ADDSUBJECT|Talk"},
      {lcRemoveSubject, {"Talk"}, "REMOVESUBJECT|Talk"},
      {lcJoinedSubject, {"Room", "ann^^", "bob^^"}, "JOINSUBJECT|Room|ann^^|bob^^"},
      {lcJoinedSubject, {"Room"}, "JOINSUBJECT|Room"},
      {lcAddGuest, {"Room", "ann^^"}, "ADDGUEST|Room|ann^^"},
      {lcRemoveGuest, {"ann"}, "REMOVEGUEST|ann"},
      {lcBeginSubject, {}, "BEGINSUBJECT"},
      {lcServerStatsReply, {"5`1`77`"}, "SERVERSTATS|5`1`77`"},
      {lcUserInfoReply, {"ann^^"}, "USERINFO|ann^^"},
      {lcShout, {"Server going down"}, "SHOUT|Server going down"},
      {lcError, {"No such room|really"}, "ERROR|No such room|really"},
      {lcCustomReply, {"BRMVERSION", "4|2"}, "CUSTOM|BRMVERSION|4|2"},
  };
  bool Seen[lcCommandCount] = {};
  for (const auto& C : Cases) {
    const TLobbyCommandRow& Row = LobbyCommandRow(C.Command);
    SCOPED_TRACE(C.Line);
    Seen[C.Command] = true;
    std::string Built;
    if (Row.Last == lfList) {
      const TFields Items(C.Fields.begin() + (Row.Fields - 1), C.Fields.end());
      Built = Row.Fields == 1 ? LobbyListLine(C.Command, {}, Items) : LobbyListLine(C.Command, {C.Fields[0]}, Items);
    } else {
      switch (C.Fields.size()) {
        case 0: Built = LobbyLine(C.Command); break;
        case 1: Built = LobbyLine(C.Command, {C.Fields[0]}); break;
        case 2: Built = LobbyLine(C.Command, {C.Fields[0], C.Fields[1]}); break;
        default: Built = LobbyLine(C.Command, {C.Fields[0], C.Fields[1], C.Fields[2]}); break;
      }
    }
    EXPECT_EQ(Built, C.Line);
    const TLobbyReadResult Read = ReadLobbyLine(C.Line, Row.Direction);
    ASSERT_EQ(Read.Result, lrRead);
    EXPECT_EQ(Read.Message.Command, C.Command);
    EXPECT_EQ(Read.Message.Fields, C.Fields);
  }
  for (int I = 0; I < lcCommandCount; ++I) EXPECT_TRUE(Seen[I]) << LobbyCommands[static_cast<std::size_t>(I)].Word;
}

TEST(LobbyProtocol, AWordMeansOneCommandEachWay) {
  EXPECT_EQ(ReadLobbyLine("LOGIN|bob|Brenmoor|pw", ldToServer).Message.Command, lcLogin);
  EXPECT_EQ(ReadLobbyLine("LOGIN|SUCCESS|bob^^", ldToClient).Message.Command, lcLoginResult);
  EXPECT_EQ(FindLobbyCommand("BEGINSUBJECT", ldToServer), nullptr);  // only the server begins a game
  EXPECT_EQ(FindLobbyCommand("login", ldToServer), nullptr);         // words are case-sensitive
  const TLobbyReadResult Unknown = ReadLobbyLine("NONSENSE|1|2", ldToClient);
  EXPECT_EQ(Unknown.Result, lrUnknownCommand);
  EXPECT_EQ(Unknown.Word, "NONSENSE");
  EXPECT_EQ(ReadLobbyLine("", ldToClient).Result, lrUnknownCommand);
}

TEST(LobbyProtocol, ALineShortOfItsFieldsIsRefused) {
  const struct {
    const char* Line;
    TLobbyDirection Direction;
    TLobbyRead Result;
  } Cases[] = {
      {"LOGIN|bob|Brenmoor", ldToServer, lrWrongFieldCount},
      {"LOGIN|bob|Brenmoor|", ldToServer, lrRead},  // an empty password is a field
      {"CREATESUBJECT|Room", ldToServer, lrWrongFieldCount},
      {"CREATESUBJECT|Room|2", ldToServer, lrRead},  // the closing "|" may be left out
      {"JOINSUBJECT", ldToServer, lrWrongFieldCount},
      {"JOINSUBJECT|", ldToServer, lrRead},
      {"SEND|CHAT", ldToServer, lrWrongFieldCount},
      {"USERUPDATE|bob", ldToServer, lrWrongFieldCount},
      {"PING", ldToServer, lrRead},
      {"LOGIN|FAIL", ldToClient, lrWrongFieldCount},
      {"SEND|ann|DATA", ldToClient, lrWrongFieldCount},
      {"ADDGUEST|Room", ldToClient, lrWrongFieldCount},
      {"ERROR", ldToClient, lrWrongFieldCount},
      {"JOINSUBJECT", ldToClient, lrWrongFieldCount},
      {"SUBJECTS", ldToClient, lrRead},  // a list may be empty
      {"SUBJECTS|", ldToClient, lrRead},
      {"BEGINSUBJECT|extra", ldToClient, lrRead},  // what follows the last field is ignored
  };
  for (const auto& C : Cases) EXPECT_EQ(ReadLobbyLine(C.Line, C.Direction).Result, C.Result) << C.Line;
  // What a short line holds is kept, the missing fields empty, for a reader that goes on.
  const TLobbyReadResult Short = ReadLobbyLine("SEND|ann", ldToClient);
  EXPECT_FALSE(Short.Message.Complete);
  EXPECT_EQ(Short.Message.Fields, (TFields{"ann", "", ""}));
  EXPECT_EQ(ReadLobbyLine("USERINFO|ann|more", ldToServer).Message.Fields, TFields{"ann"});
  EXPECT_EQ(ReadLobbyLine("SUBJECTS|a||b|", ldToClient).Message.Fields, (TFields{"a", "", "b"}));
  EXPECT_EQ(LobbyFieldCountError(LobbyCommandRow(lcCreateSubject)),
            "A CREATESUBJECT line has 2 fields: room|player count");
}

TEST(LobbyProtocol, ALineIsBuiltOnlyWithItsCommandsFields) {
  EXPECT_THROW(LobbyLine(lcLogin, {"bob", "Brenmoor"}), ELobbyProtocol);
  EXPECT_THROW(LobbyLine(lcBeginSubject, {"x"}), ELobbyProtocol);
  EXPECT_THROW(LobbyLine(lcError), ELobbyProtocol);
  EXPECT_THROW(LobbyLine(lcJoinedSubject), ELobbyProtocol);  // the room comes before the list
  EXPECT_THROW(LobbyListLine(lcError, {}, {"x"}), ELobbyProtocol);  // not a list
  EXPECT_THROW(LobbyListLine(lcJoinedSubject, {}, {"x"}), ELobbyProtocol);
  EXPECT_EQ(LobbyLine(lcJoinedSubject, {"Room", "ann^^"}), "JOINSUBJECT|Room|ann^^");
}
