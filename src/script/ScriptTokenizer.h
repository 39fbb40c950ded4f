#pragma once
// The tokenizer of the script language: a table-driven state machine that turns the text of a
// script, or of a host-function declaration, into tokens; and the token-list operations the
// parsers read them with. Positions are 1-based byte positions in the text.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "script/ScriptExceptions.h"

// Token types. The keyword and operator types 6..55 follow the order of their spellings.
enum TTokenType : std::uint8_t {
  ttBlank = 1,  // a run of blanks or a "//" comment; the parsers skip it
  ttStringLit = 2,
  ttIntegerLit = 3,
  ttFloatLit = 4,
  ttIdentifier = 5,
  ttScript = 6, ttConst, ttBegin, ttEnd, ttIf, ttThen, ttElse, ttWhile, ttRepeat, ttUntil,
  ttFor, ttTo, ttDownto, ttDo, ttAnd, ttOr, ttXor, ttDiv, ttMod, ttNot,
  ttPlus = 26, ttMinus, ttTimes, ttSlash, ttEqual, ttUnequal, ttGreater, ttGreaterEqual,
  ttLess, ttLessEqual, ttSemicolon, ttComma, ttColon, ttAssign, ttOpenParen, ttCloseParen,
  ttOpenBracket, ttCloseBracket,
  ttVar = 44, ttFunc, ttOpen, ttIntegerWord, ttFloatWord, ttStringWord, ttBooleanWord,
  ttAddWord, ttMultWord, ttArrayWord, ttVoidWord, ttAllWord = 55,
};

struct TToken {
  std::uint8_t Type = 0;
  // An identifier upper-cased; a literal's value (quotes removed, a character code made the
  // character, a hexadecimal integer in decimal); anything else as written.
  std::string Text;
  // Of the first character taken into Text; -1 when none was (blanks, an empty string '').
  std::int32_t Position = -1;
};

// The tokens of one text, read from the front by the parsers. It also keeps the last token
// position: where the parser last looked, which every syntax error it raises reports. Each
// compile has its own list, so two compiles never share that position.
class TTokenList {
public:
  bool Empty() const { return FFirst == FTokens.size(); }
  std::int32_t Count() const { return static_cast<std::int32_t>(FTokens.size() - FFirst); }
  const TToken& Token(std::int32_t I) const { return FTokens[FFirst + static_cast<std::size_t>(I)]; }
  void Add(TToken T) { FTokens.push_back(std::move(T)); }
  // Room for Extra more tokens without moving those already there.
  void Reserve(std::size_t Extra) { FTokens.reserve(FTokens.size() + Extra); }
  void InsertFirst(TToken T) {
    if (FFirst > 0)
      FTokens[--FFirst] = std::move(T);
    else
      FTokens.insert(FTokens.begin(), std::move(T));
  }
  // Removes the first token (nothing when the list is empty).
  void RemoveFirst() {
    if (!Empty()) ++FFirst;
  }
  void Clear() {
    FTokens.clear();
    FFirst = 0;
  }

  std::int32_t LastTokenPosition() const { return FLastTokenPosition; }
  void SetLastTokenPosition(std::int32_t P) { FLastTokenPosition = P; }

  // Removes every leading blank token; false when nothing is left, else records the first
  // token's position as the last token position and answers whether it has type Type.
  bool IsNext(std::uint8_t Type);
  // IsNext, and when true removes that token.
  bool Accept(std::uint8_t Type);
  // Whether the first non-blank token after the first token has type Type (nothing is
  // removed); false when there is none. Used right after IsNext.
  bool IsNextButOne(std::uint8_t Type) const;
  // The first token; the list must not be empty.
  const TToken& FirstToken() const { return FTokens[FFirst]; }
  // Raises ESyntaxError with Message at the last token position.
  [[noreturn]] void RaiseSyntaxError(const std::string& Message) const;

private:
  // The tokens in one block; those before FFirst have been read and removed.
  std::vector<TToken> FTokens;
  std::size_t FFirst = 0;
  std::int32_t FLastTokenPosition = -1;
};

// Appends the tokens of Text to Tokens and resets their last token position to -1. Raises
// ESyntaxError at the first character that cannot be read; the tokens before it stay.
void TokenizeScript(std::string_view Text, TTokenList& Tokens);
// The keyword or operator type of a lexeme (any case), or ttIdentifier.
std::uint8_t TokenTypeOf(std::string_view Lexeme);
// The value of hexadecimal digits (either case), most significant first, wrapping at 32 bits;
// 0 for an empty text.
std::uint32_t HexToInt(std::string_view Text);
