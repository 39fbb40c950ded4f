#include "lobby/LobbyProtocol.h"

#include "foundation/NumberText.h"
#include "lobby/VexilUtils.h"

namespace {

constexpr TLobbyDirection S = ldToServer;
constexpr TLobbyDirection C = ldToClient;

// How many fields a row's field names list.
constexpr int CountFields(const char* Names) {
  if (!Names || !*Names) return 0;
  int N = 1;
  for (const char* P = Names; *P; ++P)
    if (*P == '|') ++N;
  return N;
}

constexpr TLobbyCommandRow MakeRow(TLobbyCommand Command, const char* Word, TLobbyDirection Direction,
                               const char* FieldNames, TLobbyLastField Last = lfToken,
                               bool TrailingDelimiter = false) {
  return {Command, Word, Direction, FieldNames, CountFields(FieldNames), Last, TrailingDelimiter};
}

constexpr std::array<TLobbyCommandRow, lcCommandCount> Rows{{
    MakeRow(lcLogin, "LOGIN", S, "name|product code|password", lfRest),
    MakeRow(lcLoginNew, "LOGINNEW", S, "name|product code|record", lfRest),
    MakeRow(lcCreateSubject, "CREATESUBJECT", S, "room|player count", lfToken, true),
    MakeRow(lcJoinSubject, "JOINSUBJECT", S, "room", lfRest),
    MakeRow(lcServerStats, "SERVERSTATS", S, "", lfToken, true),
    MakeRow(lcUserInfo, "USERINFO", S, "user", lfToken, true),
    MakeRow(lcSend, "SEND", S, "kind|text", lfRest),
    MakeRow(lcCustom, "CUSTOM", S, "type|text", lfRest),
    MakeRow(lcUserUpdate, "USERUPDATE", S, "user|record", lfToken, true),
    MakeRow(lcPingReply, "PING", S, "", lfToken, true),
    MakeRow(lcLoginResult, "LOGIN", C, "result|record or reason", lfRest),
    MakeRow(lcSent, "SEND", C, "from|kind|text", lfRest),
    MakeRow(lcPing, "PING", C, "user and milliseconds pairs", lfRest),
    MakeRow(lcSubjects, "SUBJECTS", C, "rooms", lfList),
    MakeRow(lcAddSubject, "ADDSUBJECT", C, "room"),
    MakeRow(lcRemoveSubject, "REMOVESUBJECT", C, "room"),
    MakeRow(lcJoinedSubject, "JOINSUBJECT", C, "room|records", lfList),
    MakeRow(lcAddGuest, "ADDGUEST", C, "room|record", lfRest),
    MakeRow(lcRemoveGuest, "REMOVEGUEST", C, "user", lfRest),
    MakeRow(lcBeginSubject, "BEGINSUBJECT", C, ""),
    MakeRow(lcServerStatsReply, "SERVERSTATS", C, "statistics", lfRest),
    MakeRow(lcUserInfoReply, "USERINFO", C, "record", lfRest),
    MakeRow(lcShout, "SHOUT", C, "text", lfRest),
    MakeRow(lcError, "ERROR", C, "reason", lfRest),
    MakeRow(lcCustomReply, "CUSTOM", C, "type|text", lfRest),
}};

constexpr bool RowsInOrder() {
  for (std::size_t I = 0; I < Rows.size(); ++I)
    if (static_cast<std::size_t>(Rows[I].Command) != I) return false;
  return true;
}
static_assert(RowsInOrder(), "the lobby's commands are listed in TLobbyCommand's order");

constexpr bool WordsOnce() {
  for (std::size_t I = 0; I < Rows.size(); ++I)
    for (std::size_t J = I + 1; J < Rows.size(); ++J)
      if (Rows[I].Direction == Rows[J].Direction && std::string_view(Rows[I].Word) == Rows[J].Word) return false;
  return true;
}
static_assert(WordsOnce(), "a word names one command each way");

// The fields a line must hold: a list may be empty.
int RequiredFields(const TLobbyCommandRow& Row) { return Row.Last == lfList ? Row.Fields - 1 : Row.Fields; }

std::string Join(const TLobbyCommandRow& Row, std::initializer_list<std::string_view> Fixed,
                 const std::vector<std::string>* Items) {
  std::size_t Size = std::string_view(Row.Word).size() + 1;
  for (const std::string_view F : Fixed) Size += F.size() + 1;
  if (Items)
    for (const std::string& F : *Items) Size += F.size() + 1;
  std::string Line;
  Line.reserve(Size);
  Line += Row.Word;
  for (const std::string_view F : Fixed) {
    Line += kVexilDelimiter;
    Line += F;
  }
  if (Items)
    for (const std::string& F : *Items) {
      Line += kVexilDelimiter;
      Line += F;
    }
  if (Row.TrailingDelimiter) Line += kVexilDelimiter;
  return Line;
}

[[noreturn]] void WrongCount(const TLobbyCommandRow& Row, std::size_t Given) {
  throw ELobbyProtocol("A " + std::string(Row.Word) + " line was built with " + IntToStr(static_cast<int>(Given)) +
                       " fields; it has " + IntToStr(Row.Fields) + ": " + Row.FieldNames);
}

}  // namespace

const std::array<TLobbyCommandRow, lcCommandCount> LobbyCommands = Rows;

const TLobbyCommandRow* FindLobbyCommand(std::string_view Word, TLobbyDirection Direction) {
  for (const TLobbyCommandRow& R : LobbyCommands)
    if (R.Direction == Direction && Word == R.Word) return &R;
  return nullptr;
}

std::string LobbyLine(TLobbyCommand Command, std::initializer_list<std::string_view> Fields) {
  const TLobbyCommandRow& R = LobbyCommandRow(Command);
  const bool Fits = R.Last == lfList ? static_cast<int>(Fields.size()) >= RequiredFields(R)
                                     : static_cast<int>(Fields.size()) == R.Fields;
  if (!Fits) WrongCount(R, Fields.size());
  return Join(R, Fields, nullptr);
}

std::string LobbyListLine(TLobbyCommand Command, std::initializer_list<std::string_view> Fixed,
                          const std::vector<std::string>& Items) {
  const TLobbyCommandRow& R = LobbyCommandRow(Command);
  if (R.Last != lfList || static_cast<int>(Fixed.size()) != RequiredFields(R)) WrongCount(R, Fixed.size() + 1);
  return Join(R, Fixed, &Items);
}

TLobbyMessage ReadLobbyFields(const TLobbyCommandRow& Row, bool HasParams, std::string Params) {
  TLobbyMessage M;
  M.Command = Row.Command;
  const int Fixed = RequiredFields(Row);
  M.Fields.reserve(static_cast<std::size_t>(Fixed));
  bool More = HasParams;
  for (int I = 0; I < Fixed; ++I) {
    if (!More) {
      M.Complete = false;
      M.Fields.resize(static_cast<std::size_t>(Fixed));
      return M;
    }
    if (I == Fixed - 1 && Row.Last == lfRest) {
      M.Fields.push_back(std::move(Params));
      return M;
    }
    More = Params.find(kVexilDelimiter) != std::string::npos;
    M.Fields.push_back(Split(Params));
  }
  if (Row.Last == lfList && More)
    while (!Params.empty()) M.Fields.push_back(Split(Params));
  return M;
}

TLobbyReadResult ReadLobbyLine(std::string Line, TLobbyDirection Direction) {
  TLobbyReadResult R;
  const std::size_t Bar = Line.find(kVexilDelimiter);
  R.Word = Line.substr(0, Bar);
  const TLobbyCommandRow* Row = FindLobbyCommand(R.Word, Direction);
  if (!Row) return R;
  const bool HasParams = Bar != std::string::npos;
  Line.erase(0, HasParams ? Bar + 1 : Line.size());
  R.Message = ReadLobbyFields(*Row, HasParams, std::move(Line));
  R.Result = R.Message.Complete ? lrRead : lrWrongFieldCount;
  return R;
}

std::string LobbyFieldCountError(const TLobbyCommandRow& Row) {
  return "A " + std::string(Row.Word) + " line has " + IntToStr(RequiredFields(Row)) + " fields: " + Row.FieldNames;
}
