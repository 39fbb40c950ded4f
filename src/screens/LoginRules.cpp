#include "screens/LoginRules.h"

#include <cctype>


namespace {

bool Blank(std::string_view Text) {
  for (const char C : Text)
    if (!std::isspace(static_cast<unsigned char>(C))) return false;
  return true;
}

std::string Lower(std::string_view Text) {
  std::string Out(Text);
  for (char& C : Out) C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
  return Out;
}

constexpr const char* MarksText = "\"|\" or \"^\"";

}  // namespace

bool HoldsRecordMark(std::string_view Text) {
  return Text.find_first_of("|^\r\n") != std::string_view::npos;
}

std::optional<TLoginRefusal> LoginRefusal(const TLoginEntry& Entry) {
  if (!Entry.NewUser) {
    if (Entry.UserName.empty()) return TLoginRefusal{"Please enter a User Name.", lfUserName};
    if (HoldsRecordMark(Entry.UserName))
      return TLoginRefusal{std::string("A User Name cannot hold ") + MarksText + ".", lfUserName};
    if (Entry.Password.empty()) return TLoginRefusal{"Please enter a Password.", lfPassword};
    if (HoldsRecordMark(Entry.Password))
      return TLoginRefusal{std::string("A Password cannot hold ") + MarksText + ".", lfPassword};
  }
  if (Entry.AnotherServer) {
    if (Blank(Entry.HostAddress)) return TLoginRefusal{"Please enter a Host Address.", lfHostAddress};
    return std::nullopt;
  }
  if (Entry.ServerListAddress.empty())
    return TLoginRefusal{"No address of the Quillfen's server list is set: please choose another VexilServer.",
                         lfServerChoice};
  if (!IsWebAddress(Entry.ServerListAddress))
    return TLoginRefusal{"The Quillfen's server list address \"" + Entry.ServerListAddress +
                             "\" is not an http or https address: please choose another VexilServer.",
                         lfServerChoice};
  return std::nullopt;
}

std::optional<TLoginRefusal> UserInfoRefusal(const TUserInfoEntry& Entry) {
  if (Entry.UserId.empty()) return TLoginRefusal{"Please provide a User ID.", lfUserId};
  if (HoldsRecordMark(Entry.UserId))
    return TLoginRefusal{std::string("A User ID cannot hold ") + MarksText + ".", lfUserId};
  if (Entry.Password1.empty() || Entry.Password2.empty() || Entry.Password1 != Entry.Password2)
    return TLoginRefusal{"Please make sure the Password fields match.", lfPassword1};
  if (HoldsRecordMark(Entry.Password1))
    return TLoginRefusal{std::string("A Password cannot hold ") + MarksText + ".", lfPassword1};
  for (const auto& [Caption, Text] : Entry.Fields)
    if (HoldsRecordMark(Text))
      return TLoginRefusal{"The " + Caption + " cannot hold " + MarksText + ".", lfField};
  return std::nullopt;
}

bool IsWebAddress(std::string_view Address) {
  const std::string Text = Lower(Address);
  std::size_t Start = 0;
  if (Text.starts_with("http://"))
    Start = 7;
  else if (Text.starts_with("https://"))
    Start = 8;
  else
    return false;
  for (const char C : Text)
    if (static_cast<unsigned char>(C) <= ' ' || C == '\x7f' || C == '\\') return false;
  std::string_view Rest = std::string_view(Text).substr(Start);
  Rest = Rest.substr(0, Rest.find_first_of("/?#"));
  // A user part before the host is not taken: it can make an address look like another.
  if (Rest.find('@') != std::string_view::npos) return false;
  const std::string_view Host = Rest.substr(0, Rest.starts_with('[') ? Rest.find(']') + 1 : Rest.find(':'));
  return !Host.empty() && Host != "[]";
}

std::optional<std::string> ServerHostFromList(std::string_view Descrambled) {
  const std::size_t First = Descrambled.find_first_not_of(" \t\r\n");
  if (First == std::string_view::npos) return std::nullopt;
  const std::size_t Last = Descrambled.find_last_not_of(" \t\r\n");
  const std::string_view Host = Descrambled.substr(First, Last - First + 1);
  if (Host.size() > 253) return std::nullopt;
  for (const char C : Host)
    if (!std::isalnum(static_cast<unsigned char>(C)) && C != '.' && C != '-' && C != '_' && C != ':')
      return std::nullopt;
  return std::string(Host);
}

bool GlyphNeedsScaling(int Width, int Height) {
  return Width > MaxGlyphSize || Height > MaxGlyphSize;
}
