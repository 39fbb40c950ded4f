#pragma once
// Small pieces of the lobby line protocol shared by the game's connection and the lobby server:
// cutting fields at "|", the framing of scrambled lines and the host-name test.
#include <optional>
#include <string>
#include <string_view>

// Fields of a lobby line are separated by "|".
inline constexpr char kVexilDelimiter = '|';
// A lobby line ends with a line feed.
inline constexpr char kVexilLineEnd = '\n';
// Escape character of the line framing: a scrambled line can hold any byte, so after scrambling
// ESC is written as ESC ESC and a line feed as ESC "n". Printable ASCII never scrambles to
// either, so plain ASCII lines look the same on the wire as before.
inline constexpr char kVexilEscape = '\x1b';

// Token := the text before the first "|"; S := the text after it. Without "|": all of S.
std::string Split(std::string& S);

// The framing of one scrambled line (without its line feed) and its reverse. UnescapeLine gives
// nothing for a line with a lone or unknown escape, which no sender of ours writes.
std::string EscapeLine(std::string_view Line);
std::optional<std::string> UnescapeLine(std::string_view Wire);

// True when Host splits at "." into exactly four parts that are each an integer.
bool IsDottedAddress(std::string_view Host);
