#include "foundation/StringUtils.h"

void NextToken(std::string& S, std::string_view Delim, std::string& Token) {
  const std::size_t P = Delim.empty() ? std::string::npos : S.find(Delim);
  if (P == std::string::npos) {
    Token = std::move(S);
    S.clear();
    return;
  }
  Token = S.substr(0, P);
  S.erase(0, P + 1);
}

std::string NextToken(std::string& S, std::string_view Delim) {
  std::string Token;
  NextToken(S, Delim, Token);
  return Token;
}

std::int32_t NextTokenInt(std::string& S, std::string_view Delim) {
  return StrToIntDef(NextToken(S, Delim), 0);
}

bool NextTokenBool(std::string& S, std::string_view Delim) { return NextToken(S, Delim) == "1"; }

long double NextTokenFloat(std::string& S, std::string_view Delim) {
  return StrToFloat(NextToken(S, Delim));
}

void JoinStrings(const std::vector<std::string>& Strings, std::string_view Delim, std::string& S) {
  S.clear();
  for (const std::string& Item : Strings) {
    S += Item;
    S += Delim;
  }
}

std::string JoinStrings(const std::vector<std::string>& Strings, std::string_view Delim) {
  std::string S;
  JoinStrings(Strings, Delim, S);
  return S;
}
