#pragma once
// Delimited text: everything the game stores or sends is values each followed by a delimiter.
// NextToken and its typed variants cut values off the front; Tokenize and JoinStrings write them.
#include <concepts>
#include <cstdint>
#include <string>
#include <string_view>
#include <type_traits>
#include <vector>

#include "foundation/NumberText.h"

// Token := the text of S before the first occurrence of Delim; S := the text after the one
// character at which Delim begins. Without Delim in S: Token := S and S := empty.
void NextToken(std::string& S, std::string_view Delim, std::string& Token);
std::string NextToken(std::string& S, std::string_view Delim);
// The next token as an integer; 0 when it is not one (empty included).
std::int32_t NextTokenInt(std::string& S, std::string_view Delim);
// True exactly when the next token is "1".
bool NextTokenBool(std::string& S, std::string_view Delim);
// The next token as a number; raises EConvertError when it is not one.
long double NextTokenFloat(std::string& S, std::string_view Delim);

// The text Tokenize writes for one value.
inline std::string TokenText(bool V) { return V ? "1" : "0"; }
inline std::string TokenText(char V) { return std::string(1, V); }
inline std::string TokenText(std::string_view V) { return std::string(V); }
inline std::string TokenText(const std::string& V) { return V; }
inline std::string TokenText(const char* V) { return V ? std::string(V) : std::string(); }
template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, char>)
std::string TokenText(T V) {
  return IntToStr(static_cast<std::int64_t>(V));
}
template <std::floating_point T>
std::string TokenText(T V) {
  return FloatToStr(static_cast<long double>(V));
}

// S := each value's text followed by Delim, in order (the last one too).
template <class... Ts>
void Tokenize([[maybe_unused]] std::string_view Delim, std::string& S, const Ts&... Args) {
  S.clear();
  ((S += TokenText(Args), S += Delim), ...);
}
template <class... Ts>
std::string Tokenize(std::string_view Delim, const Ts&... Args) {
  std::string S;
  Tokenize(Delim, S, Args...);
  return S;
}

// Each item followed by Delim.
void JoinStrings(const std::vector<std::string>& Strings, std::string_view Delim, std::string& S);
std::string JoinStrings(const std::vector<std::string>& Strings, std::string_view Delim);

// NextToken over a long text without copying what is left: each call hands back the next
// token as a view into Text (which must outlive the reader). For big texts such as a saved
// game's unit section, where cutting the front off a string each time would cost O(n^2).
class TTokenReader {
public:
  explicit TTokenReader(std::string_view Text) : FRest(Text) {}
  // The text before the next Delim (one character); the rest after it. Without Delim: all.
  std::string_view Next(char Delim) {
    const std::size_t P = FRest.find(Delim);
    std::string_view Token = FRest.substr(0, P);
    FRest = P == std::string_view::npos ? std::string_view() : FRest.substr(P + 1);
    return Token;
  }
  std::int32_t NextInt(char Delim) { return StrToIntDef(Next(Delim), 0); }
  bool NextBool(char Delim) { return Next(Delim) == "1"; }
  long double NextFloat(char Delim) { return StrToFloat(Next(Delim)); }
  bool AtEnd() const { return FRest.empty(); }
  std::string_view Rest() const { return FRest; }

private:
  std::string_view FRest;
};
