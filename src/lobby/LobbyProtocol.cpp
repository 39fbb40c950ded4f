#include "lobby/LobbyProtocol.h"

#include "foundation/NumberText.h"
#include "lobby/VexilUtils.h"

namespace {

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
