#include "script/ScriptTokenizer.h"

#include <bitset>
#include <initializer_list>
#include <vector>

#include "foundation/NumberText.h"

namespace {

using TCharSet = std::bitset<256>;

TCharSet Chars(std::string_view Members) {
  TCharSet S;
  for (char C : Members) S.set(static_cast<unsigned char>(C));
  return S;
}

TCharSet Range(char From, char To) {
  TCharSet S;
  for (int C = static_cast<unsigned char>(From); C <= static_cast<unsigned char>(To); ++C) S.set(static_cast<std::size_t>(C));
  return S;
}

TCharSet Code(int C) {
  TCharSet S;
  S.set(static_cast<std::size_t>(C));
  return S;
}

// How a transition treats the character it accepts.
enum TMove : std::uint8_t {
  mvLook,  // test only: the character stays for the next state
  mvSkip,  // consume it
  mvTake,  // consume it and add it to the token's text
};

enum TStateId : std::uint8_t {
  stStart, stBlank, stBraceComment, stSlash, stLineComment, stCharHash, stCharDec,
  stCharHexDollar, stCharHex, stIdentifier, stInteger, stFraction, stExponentSign,
  stExponentAfterSign, stExponentDigits, stHexDollar, stHexNumber, stStringBody,
  stStringQuote, stColon, stGreater, stLess, stFinal, stCount
};

struct TTransition {
  TCharSet Set;
  TMove Move;
  TStateId Target;
};

struct TState {
  std::string Name;           // the error text when no transition fits
  std::uint8_t TokenType = 0; // non-zero for a state that decides the token's type
  std::vector<TTransition> Transitions;
};

struct TMachine {
  TState States[stCount];
};

TMachine BuildMachine() {
  const TCharSet Blanks = Code(9) | Code(10) | Code(13) | Code(32);
  const TCharSet Letters = Range('A', 'Z') | Range('a', 'z') | Chars("_");
  const TCharSet Digits = Range('0', '9');
  const TCharSet HexDigits = Digits | Range('A', 'F') | Range('a', 'f');
  const TCharSet IdentChars = Letters | Digits;
  const TCharSet Delimiters = Blanks | Chars("()*+,-/;<=>[]");
  const TCharSet LiteralEnd = Delimiters | Chars("#");
  const TCharSet CharEnd = LiteralEnd | Chars("'");
  const TCharSet RelFollow = Blanks | Chars("#$'()*+,-/:;<=>[]_") | Digits | Range('A', 'Z') | Range('a', 'z');
  const TCharSet Singles = Chars("(),;[]");
  const TCharSet Ops = Chars("*+-=");
  // Script files here end their lines with a line feed alone, so a line feed ends a "//"
  // comment as a carriage return does, and neither may stand inside a string.
  const TCharSet LineEnd = Code(10) | Code(13);

  TMachine M;
  auto Def = [&M](TStateId Id, std::string Name, std::uint8_t Type, std::initializer_list<TTransition> T) {
    M.States[Id].Name = std::move(Name);
    M.States[Id].TokenType = Type;
    M.States[Id].Transitions.assign(T.begin(), T.end());
  };
  Def(stStart, ScriptMessageText(smInvalidCharacter), 0,
      {{Chars("#"), mvSkip, stCharHash},      {Letters, mvTake, stIdentifier},
       {Digits, mvTake, stInteger},           {Chars("'"), mvSkip, stStringBody},
       {Ops, mvTake, stFinal},                {Chars("/"), mvTake, stSlash},
       {Chars("<"), mvTake, stLess},          {Chars(">"), mvTake, stGreater},
       {Chars(":"), mvTake, stColon},         {Singles, mvTake, stFinal},
       {Blanks, mvSkip, stBlank},             {Chars("{"), mvSkip, stBraceComment},
       {Chars("$"), mvSkip, stHexDollar}});
  Def(stBlank, "", ttBlank, {{Blanks, mvSkip, stBlank}, {~Blanks, mvLook, stFinal}});
  Def(stBraceComment, "Comment", 0, {{~Chars("}"), mvSkip, stBraceComment}, {Chars("}"), mvSkip, stStart}});
  Def(stSlash, "SlashComment", 0, {{Chars("/"), mvSkip, stLineComment}, {~Chars("/"), mvLook, stFinal}});
  Def(stLineComment, "SlashComment", ttBlank, {{LineEnd, mvSkip, stFinal}, {~LineEnd, mvSkip, stLineComment}});
  Def(stCharHash, ScriptMessageText(smNumberExpected), 0,
      {{Digits, mvTake, stCharDec}, {Chars("$"), mvSkip, stCharHexDollar}});
  Def(stCharDec, "CharF", ttStringLit, {{Digits, mvTake, stCharDec}, {CharEnd, mvLook, stFinal}});
  Def(stCharHexDollar, ScriptMessageText(smHexNumberExpected), 0, {{HexDigits, mvTake, stCharHex}});
  Def(stCharHex, ScriptMessageText(smHexNumberExpected), ttStringLit,
      {{HexDigits, mvTake, stCharHex}, {CharEnd, mvLook, stFinal}});
  Def(stIdentifier, ScriptMessageText(smCharacterOrNumberExpected), ttIdentifier,
      {{IdentChars, mvTake, stIdentifier}, {Delimiters, mvLook, stFinal}});
  Def(stInteger, ScriptMessageText(smNumberPointOrExponentExpected), ttIntegerLit,
      {{Digits, mvTake, stInteger},
       {Chars("."), mvTake, stFraction},
       {Chars("Ee"), mvTake, stExponentSign},
       {Delimiters, mvLook, stFinal}});
  Def(stFraction, ScriptMessageText(smNumberOrExponentExpected), ttFloatLit,
      {{Digits, mvTake, stFraction}, {Chars("Ee"), mvTake, stExponentSign}, {Delimiters, mvLook, stFinal}});
  Def(stExponentSign, ScriptMessageText(smNumberOrMinusExpected), 0,
      {{Chars("+-"), mvTake, stExponentAfterSign}, {Digits, mvTake, stExponentDigits}});
  Def(stExponentAfterSign, ScriptMessageText(smNumberExpected), 0, {{Digits, mvTake, stExponentDigits}});
  Def(stExponentDigits, ScriptMessageText(smNumberExpected), ttFloatLit,
      {{Digits, mvTake, stExponentDigits}, {Delimiters, mvLook, stFinal}});
  Def(stHexDollar, ScriptMessageText(smHexNumberExpected), 0, {{HexDigits, mvTake, stHexNumber}});
  Def(stHexNumber, ScriptMessageText(smHexNumberExpected), ttIntegerLit,
      {{HexDigits, mvTake, stHexNumber}, {Delimiters, mvLook, stFinal}});
  Def(stStringBody, ScriptMessageText(smEndOfStringNotFound), 0,
      {{Chars("'"), mvSkip, stStringQuote}, {~(LineEnd | Chars("'")), mvTake, stStringBody}});
  Def(stStringQuote, ScriptMessageText(smStringExpected), ttStringLit,
      {{Chars("'"), mvTake, stStringBody}, {LiteralEnd, mvLook, stFinal}});
  Def(stColon, ScriptMessageText(smEqualExpected), 0, {{~Chars("="), mvLook, stFinal}, {Chars("="), mvTake, stFinal}});
  Def(stGreater, ScriptMessageText(smEqualExpected), 0, {{Chars("="), mvTake, stFinal}, {RelFollow, mvLook, stFinal}});
  Def(stLess, ScriptMessageText(smGreaterOrEqualExpected), 0,
      {{Chars("="), mvTake, stFinal}, {Chars(">"), mvTake, stFinal}, {RelFollow, mvLook, stFinal}});
  Def(stFinal, "Final", 0, {});
  return M;
}

// The machine never changes, so it is built once.
const TMachine& Machine() {
  static const TMachine M = BuildMachine();
  return M;
}

// The spellings of token types 6..55, in type order.
constexpr const char* Spellings[] = {
    "SCRIPT", "CONST", "BEGIN", "END", "IF", "THEN", "ELSE", "WHILE", "REPEAT", "UNTIL",
    "FOR", "TO", "DOWNTO", "DO", "AND", "OR", "XOR", "DIV", "MOD", "NOT",
    "+", "-", "*", "/", "=", "<>", ">", ">=", "<", "<=",
    ";", ",", ":", ":=", "(", ")", "[", "]", "VAR", "FUNC",
    "OPEN", "INTEGER", "FLOAT", "STRING", "BOOLEAN", "ADD", "MULT", "ARRAY", "VOID", "ALL"};
static_assert(sizeof(Spellings) / sizeof(Spellings[0]) == 50);

char UpCase(char C) { return C >= 'a' && C <= 'z' ? static_cast<char>(C - 'a' + 'A') : C; }

}  // namespace

std::uint8_t TokenTypeOf(std::string_view Lexeme) {
  for (std::size_t I = 0; I < 50; ++I) {
    const std::string_view S = Spellings[I];
    if (S.size() != Lexeme.size()) continue;
    bool Same = true;
    for (std::size_t K = 0; K < S.size() && Same; ++K) Same = UpCase(Lexeme[K]) == S[K];
    if (Same) return static_cast<std::uint8_t>(ttScript + I);
  }
  return ttIdentifier;
}

std::uint32_t HexToInt(std::string_view Text) {
  std::uint32_t Sum = 0;
  std::uint32_t Place = 1;
  for (std::size_t I = Text.size(); I-- > 0;) {
    const char C = Text[I];
    std::uint32_t Digit = 0;
    if (C >= '0' && C <= '9') Digit = static_cast<std::uint32_t>(C - '0');
    else if (C >= 'A' && C <= 'F') Digit = static_cast<std::uint32_t>(C - 'A' + 10);
    else if (C >= 'a' && C <= 'f') Digit = static_cast<std::uint32_t>(C - 'a' + 10);
    Sum += Digit * Place;
    Place *= 16;
  }
  return Sum;
}

void TokenizeScript(std::string_view Source, TTokenList& Tokens) {
  const TMachine& M = Machine();
  std::string Text(Source);
  Text += ' ';  // so that the last token ends
  Tokens.SetLastTokenPosition(-1);
  Tokens.Reserve(Source.size() / 4 + 1);  // about as many tokens as a script of this length has

  std::size_t Pos = 1;
  TStateId State = stStart;
  std::string Lexeme;
  std::int32_t Start = -1;
  std::uint8_t Type = 0;

  while (Pos <= Text.size()) {
    const unsigned char Ch = static_cast<unsigned char>(Text[Pos - 1]);
    const TState& Current = M.States[State];
    const TTransition* Taken = nullptr;
    for (const TTransition& T : Current.Transitions)
      if (T.Set.test(Ch)) {
        Taken = &T;
        break;
      }
    if (!Taken) {
      // A NUL byte is shown by its code alone, so the message stays one readable text.
      const std::string Shown = Ch == 0 ? std::string() : std::string(1, static_cast<char>(Ch));
      throw ESyntaxError(FormatText("%s (\"%s\", %d)", Current.Name, Shown, static_cast<int>(Ch)),
                         static_cast<std::int32_t>(Pos));
    }
    if (Taken->Move == mvTake) {
      if (Start == -1) Start = static_cast<std::int32_t>(Pos);
      Lexeme += static_cast<char>(Ch);
    }
    if (Taken->Move != mvLook) ++Pos;

    if (Taken->Target != stFinal) {
      const std::uint8_t TargetType = M.States[Taken->Target].TokenType;
      if (TargetType != 0) Type = TargetType;
      State = Taken->Target;
      continue;
    }

    // The token ends here.
    if (State == stHexNumber || State == stCharHex) {
      if (Lexeme.size() > 8)
        throw ESyntaxError(ScriptMessage(smInvalidHexConstant, Lexeme), static_cast<std::int32_t>(Pos));
      Lexeme = IntToStr(static_cast<std::int32_t>(HexToInt(Lexeme)));
    }
    if (State == stCharDec || State == stCharHex) {
      const auto Code = TryStrToInt(Lexeme);
      if (!Code || *Code < 0 || *Code > 255)
        throw ESyntaxError(ScriptMessage(smInvalidCharConstant, Lexeme), static_cast<std::int32_t>(Pos));
      Lexeme = std::string(1, static_cast<char>(static_cast<unsigned char>(*Code)));
    }
    TToken Token;
    Token.Type = (Type == 0 || Type == ttIdentifier) ? TokenTypeOf(Lexeme) : Type;
    if (Token.Type == ttIdentifier)
      for (char& C : Lexeme) C = UpCase(C);
    Token.Text = std::move(Lexeme);
    Token.Position = Start;
    Tokens.Add(std::move(Token));

    Lexeme.clear();
    Start = -1;
    Type = 0;
    State = stStart;
  }
  // A token still open here (an unterminated string or comment) is dropped.
}

bool TTokenList::IsNext(std::uint8_t Type) {
  while (!Empty() && FTokens[FFirst].Type == ttBlank) ++FFirst;
  if (Empty()) return false;
  FLastTokenPosition = FTokens[FFirst].Position;
  return FTokens[FFirst].Type == Type;
}

bool TTokenList::Accept(std::uint8_t Type) {
  if (!IsNext(Type)) return false;
  ++FFirst;
  return true;
}

bool TTokenList::IsNextButOne(std::uint8_t Type) const {
  for (std::size_t I = FFirst + 1; I < FTokens.size(); ++I)
    if (FTokens[I].Type != ttBlank) return FTokens[I].Type == Type;
  return false;
}

void TTokenList::RaiseSyntaxError(const std::string& Message) const { throw ESyntaxError(Message, FLastTokenPosition); }
