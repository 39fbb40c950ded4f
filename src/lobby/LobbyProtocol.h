#pragma once
// The lobby's line protocol as one table: every command's word, the fields it carries and the
// way it travels (game to server or server to game). The game's connection and the lobby
// server both build their lines and cut the lines they receive through it, so a command and
// its fields are written here once. A line is the command's word, then each field after a
// "|"; a command's last field may take the rest of the line ("|" included) or be a list.
#include <array>
#include <cstddef>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Exception.h"

// Raised when a line is built with other fields than its command carries: a fault of the
// program, never of what came over the network.
class ELobbyProtocol : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

enum TLobbyDirection { ldToServer, ldToClient };

// How a command's last field reads.
enum TLobbyLastField {
  lfToken,  // a field like the others; anything after it is ignored
  lfRest,   // the rest of the line, "|" included
  lfList,   // any number of items, each up to the next "|"
};

enum TLobbyCommand {
  // game to server
  lcLogin, lcLoginNew, lcCreateSubject, lcJoinSubject, lcServerStats, lcUserInfo, lcSend, lcCustom,
  lcUserUpdate, lcPingReply,
  // server to game
  lcLoginResult, lcSent, lcPing, lcSubjects, lcAddSubject, lcRemoveSubject, lcJoinedSubject, lcAddGuest,
  lcRemoveGuest, lcBeginSubject, lcServerStatsReply, lcUserInfoReply, lcShout, lcError, lcCustomReply,
  lcCommandCount
};

struct TLobbyCommandRow {
  TLobbyCommand Command;
  const char* Word;
  TLobbyDirection Direction;
  // The fields, "|" separated; their count is the command's field count (a list counts as
  // one field, which may hold no item).
  const char* FieldNames;
  TLobbyLastField Last = lfToken;
  // Written with a "|" after the last field.
  bool TrailingDelimiter = false;
  int Fields = 0;
};

namespace LobbyProtocolDetail {
constexpr int CountFields(const char* Names) {
  if (!*Names) return 0;
  int N = 1;
  for (const char* P = Names; *P; ++P)
    if (*P == '|') ++N;
  return N;
}
constexpr TLobbyCommandRow Row(TLobbyCommand Command, const char* Word, TLobbyDirection Direction,
                               const char* FieldNames, TLobbyLastField Last = lfToken,
                               bool TrailingDelimiter = false) {
  return {Command, Word, Direction, FieldNames, Last, TrailingDelimiter, CountFields(FieldNames)};
}
}  // namespace LobbyProtocolDetail

// The commands in TLobbyCommand's order. A new command is a value above and a row here; the
// game's connection and the server then build and read it through this row.
inline constexpr std::array<TLobbyCommandRow, lcCommandCount> LobbyCommands = [] {
  using LobbyProtocolDetail::Row;
  constexpr TLobbyDirection S = ldToServer;
  constexpr TLobbyDirection C = ldToClient;
  return std::array<TLobbyCommandRow, lcCommandCount>{{
      Row(lcLogin, "LOGIN", S, "name|product code|password", lfRest),
      Row(lcLoginNew, "LOGINNEW", S, "name|product code|record", lfRest),
      Row(lcCreateSubject, "CREATESUBJECT", S, "room|player count", lfToken, true),  // 0: a chat room
      Row(lcJoinSubject, "JOINSUBJECT", S, "room", lfRest),
      Row(lcServerStats, "SERVERSTATS", S, "", lfToken, true),
      Row(lcUserInfo, "USERINFO", S, "user", lfToken, true),
      Row(lcSend, "SEND", S, "kind|text", lfRest),  // kind: LobbyChatKind or LobbyDataKind
      Row(lcCustom, "CUSTOM", S, "type|text", lfRest),
      Row(lcUserUpdate, "USERUPDATE", S, "user|record", lfToken, true),  // the own user only
      Row(lcPingReply, "PING", S, "", lfToken, true),
      Row(lcLoginResult, "LOGIN", C, "result|record or reason", lfRest),  // SUCCESS and the record
      Row(lcSent, "SEND", C, "from|kind|text", lfRest),
      Row(lcPing, "PING", C, "user and milliseconds pairs", lfRest),
      Row(lcSubjects, "SUBJECTS", C, "rooms", lfList),
      Row(lcAddSubject, "ADDSUBJECT", C, "room"),
      Row(lcRemoveSubject, "REMOVESUBJECT", C, "room"),
      Row(lcJoinedSubject, "JOINSUBJECT", C, "room|records", lfList),  // the guests, the joiner too
      Row(lcAddGuest, "ADDGUEST", C, "room|record", lfRest),
      Row(lcRemoveGuest, "REMOVEGUEST", C, "user", lfRest),
      Row(lcBeginSubject, "BEGINSUBJECT", C, ""),  // the room's game begins
      Row(lcServerStatsReply, "SERVERSTATS", C, "statistics", lfRest),
      Row(lcUserInfoReply, "USERINFO", C, "record", lfRest),
      Row(lcShout, "SHOUT", C, "text", lfRest),  // the operator's message to everyone
      Row(lcError, "ERROR", C, "reason", lfRest),
      Row(lcCustomReply, "CUSTOM", C, "type|text", lfRest),
  }};
}();

namespace LobbyProtocolDetail {
constexpr bool RowsInOrder() {
  for (std::size_t I = 0; I < LobbyCommands.size(); ++I)
    if (static_cast<std::size_t>(LobbyCommands[I].Command) != I) return false;
  return true;
}
constexpr bool WordsOnce() {
  for (std::size_t I = 0; I < LobbyCommands.size(); ++I)
    for (std::size_t J = I + 1; J < LobbyCommands.size(); ++J)
      if (LobbyCommands[I].Direction == LobbyCommands[J].Direction &&
          std::string_view(LobbyCommands[I].Word) == LobbyCommands[J].Word)
        return false;
  return true;
}
}  // namespace LobbyProtocolDetail
static_assert(LobbyProtocolDetail::RowsInOrder(), "the lobby's commands are listed in TLobbyCommand's order");
static_assert(LobbyProtocolDetail::WordsOnce(), "a word names one command each way");

inline const TLobbyCommandRow& LobbyCommandRow(TLobbyCommand Command) {
  return LobbyCommands[static_cast<std::size_t>(Command)];
}
// The command of a word travelling the given way, nothing for a word not in the table (words
// are compared case-sensitively).
const TLobbyCommandRow* FindLobbyCommand(std::string_view Word, TLobbyDirection Direction);

// The kinds of a "SEND" line.
inline constexpr const char* LobbyChatKind = "CHAT";
inline constexpr const char* LobbyDataKind = "DATA";
// The result word of a log-in the server accepted.
inline constexpr const char* LobbyLoginSuccess = "SUCCESS";
// The result word of a log-in the server refused.
inline constexpr const char* LobbyLoginFail = "FAIL";

// The room every logged-in user meets in, and where everybody goes after a game.
inline constexpr const char* LobbyChatRoom = "Lobby Chat";

// The types of the custom messages between the game and the server.
inline constexpr const char* LobbyVersionMessage = "BRMVERSION";     // the newest version "|" build
inline constexpr const char* LobbyHallOfFameMessage = "BRMHOF";      // asked for; the lists as answer
inline constexpr const char* LobbyScheduleMessage = "BRMSCHEDULE";   // the times a player plays
inline constexpr const char* LobbyGameResultMessage = "BRMLOGIT";    // the host's game log entry
inline constexpr const char* LobbyGameScoreMessage = "BRMSCORE";     // the host's scores per power
// The items the server writes into the info of a user's record.
inline constexpr const char* LobbyWinsInfo = "BRMWins";
inline constexpr const char* LobbyLossesInfo = "BRMLosses";
inline constexpr const char* LobbyScoreInfo = "BRMScore";
inline constexpr const char* LobbyRankInfo = "BRMRank";

// One line of a command with exactly its fields (for a list command: its fixed fields, then
// Items). Raises ELobbyProtocol for any other count.
std::string LobbyLine(TLobbyCommand Command, std::initializer_list<std::string_view> Fields = {});
std::string LobbyListLine(TLobbyCommand Command, std::initializer_list<std::string_view> Fixed,
                          const std::vector<std::string>& Items);

// A received line cut into its command's fields (a list's items follow the fixed fields).
struct TLobbyMessage {
  TLobbyCommand Command = lcCommandCount;
  std::vector<std::string> Fields;
  // False when the line was short of its command's fields; the missing ones read as empty.
  bool Complete = true;
  const std::string& operator[](std::size_t Index) const { return Fields.at(Index); }
};

// The fields of a line whose word named Row, from Params (the text after the word's "|";
// HasParams false when the word stood alone).
TLobbyMessage ReadLobbyFields(const TLobbyCommandRow& Row, bool HasParams, std::string Params);

enum TLobbyRead {
  lrRead,
  lrUnknownCommand,
  // Short of its command's fields: the server refuses such a line; the game reads the missing
  // fields as empty, as it always has.
  lrWrongFieldCount,
};
struct TLobbyReadResult {
  TLobbyRead Result = lrUnknownCommand;
  std::string Word;
  TLobbyMessage Message;
};
// A whole received line travelling the given way.
TLobbyReadResult ReadLobbyLine(std::string Line, TLobbyDirection Direction);
// "The lobby's WORD line has N fields: names" for a refused line.
std::string LobbyFieldCountError(const TLobbyCommandRow& Row);
