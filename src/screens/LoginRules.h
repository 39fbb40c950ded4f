#pragma once
// What the log-in window and the user information dialog decide, without Qt: the log-in's
// refusals, the new user's identifier and password checks, which web addresses the game opens
// or fetches, and the server address read from the server list file.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

// The port of the Quillfen's lobby server.
constexpr int QuillfenServerPort = 4000;
// The longest wait for the server list file, in milliseconds.
constexpr int ServerListTimeoutMs = 10000;
// The server list file holds one short line; a longer answer is not a server list.
constexpr std::size_t ServerListMaxBytes = 4096;

// The control a refusal puts the focus on.
enum TLoginField : std::uint8_t {
  lfUserName,
  lfPassword,
  lfHostAddress,
  lfServerChoice,
  lfUserId,
  lfPassword1,
  lfField
};

struct TLoginRefusal {
  std::string Message;
  TLoginField Focus = lfUserName;
  bool operator==(const TLoginRefusal&) const = default;
};

// What the log-in window holds when Proceed is pressed.
struct TLoginEntry {
  std::string UserName;
  std::string Password;
  // True for "Another VexilServer:", false for the Quillfen's.
  bool AnotherServer = false;
  std::string HostAddress;
  // The web address of the Quillfen's server list, as the settings keep it.
  std::string ServerListAddress;
  // A new user has just been made: its record carries the name and the password.
  bool NewUser = false;
};

// The first reason the log-in cannot go on, nothing when it can.
std::optional<TLoginRefusal> LoginRefusal(const TLoginEntry& Entry);

// A user record's fields are "^"-terminated and a log-in line is "|"-separated: a text that
// holds either mark, or a line break, would break them.
bool HoldsRecordMark(std::string_view Text);

// The user information dialog's OK while editing: the first reason the record cannot be taken.
// Fields are the other texts of the record (names, city, e-mail...) with their captions.
struct TUserInfoEntry {
  std::string UserId;
  std::string Password1;
  std::string Password2;
  // Caption and text of each other field.
  std::vector<std::pair<std::string, std::string>> Fields;
};
std::optional<TLoginRefusal> UserInfoRefusal(const TUserInfoEntry& Entry);

// True for an "http" or "https" address with a host (any case of the scheme), and nothing else:
// never a file, a program or another kind of link.
bool IsWebAddress(std::string_view Address);

// The server list's answer, descrambled, as a host name or address: surrounding blanks and line
// ends dropped; nothing when what is left is empty, too long or holds anything but letters,
// digits, ".", "-", "_" and ":".
std::optional<std::string> ServerHostFromList(std::string_view Descrambled);

// The side of a user's glyph.
constexpr int MaxGlyphSize = 32;
// A glyph up to 32 x 32 is taken as it is; anything larger is drawn scaled to 32 x 32.
bool GlyphNeedsScaling(int Width, int Height);
