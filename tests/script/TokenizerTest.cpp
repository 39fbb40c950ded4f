#include <gtest/gtest.h>

#include <string>

#include "script/ScriptTokenizer.h"

namespace {

// The tokens as "type:text@position", separated by single blanks.
std::string Render(const TTokenList& Tokens) {
  std::string S;
  for (std::int32_t I = 0; I < Tokens.Count(); ++I) {
    const TToken& T = Tokens.Token(I);
    if (!S.empty()) S += ' ';
    S += std::to_string(T.Type) + ":" + T.Text + "@" + std::to_string(T.Position);
  }
  return S;
}

struct TTokenCase {
  const char* Text;
  const char* Tokens = nullptr;  // when the text scans
  const char* Error = nullptr;   // else the message and its position
  std::int32_t Position = 0;
};

}  // namespace

TEST(TokenizeScript, TextToTokensOrTheErrorAndItsPosition) {
  const TTokenCase Cases[] = {
      // Blanks are tokens of their own, without text or position; "/" alone leaves the next
      // character for the next token.
      {"x := a/b", "5:X@1 1:@-1 39::=@3 1:@-1 5:A@6 29:/@7 5:B@8"},
      {"x := 1", "5:X@1 1:@-1 39::=@3 1:@-1 3:1@6"},
      {"f(1,2);[]", "5:F@1 40:(@2 3:1@3 37:,@4 3:2@5 41:)@6 36:;@7 42:[@8 43:]@9"},
      {"a+-*=b", "5:A@1 26:+@2 27:-@3 28:*@4 30:=@5 5:B@6"},
      {"a <> b", "5:A@1 1:@-1 31:<>@3 1:@-1 5:B@6"},
      {"a<=b>=c<d>e", "5:A@1 35:<=@2 5:B@4 33:>=@5 5:C@7 34:<@8 5:D@9 32:>@10 5:E@11"},
      {"a : b", "5:A@1 1:@-1 38::@3 1:@-1 5:B@5"},
      // Keywords keep their spelling; identifiers are upper-cased.
      {"begin", "8:begin@1"},
      {"Begin1", "5:BEGIN1@1"},
      {"Div MOD all _x9", "23:Div@1 1:@-1 24:MOD@5 1:@-1 55:all@9 1:@-1 5:_X9@13"},
      // Literals.
      {"'it''s'", "2:it's@2"},
      {"''", "2:@-1"},
      {"'abc'#13#10", "2:abc@2 2:\r@7 2:\n@10"},
      {"#65#$42", "2:A@2 2:B@6"},
      {"$FF", "3:255@2"},
      {"$ffffffff", "3:-1@2"},
      {"1.5E-3", "4:1.5E-3@1"},
      {"1e+5 2E5 7.", "4:1e+5@1 1:@-1 4:2E5@6 1:@-1 4:7.@10"},
      // Comments: braces yield nothing, "//" a blank token whose text is "/", ending at a
      // line feed or a carriage return.
      {"{ note } x", "1:@-1 5:X@10"},
      {"a // note\nb", "5:A@1 1:@-1 1:/@3 5:B@11"},
      {"//x\r\ny", "1:/@1 1:@-1 5:Y@6"},
      // What is still open at the end of the text is dropped.
      {"'abc", ""},
      {"x { abc", "5:X@1 1:@-1"},
      {"", ""},

      {"x:=1", nullptr, "Character or number expected (\":\", 58)", 2},
      {"x.y", nullptr, "Character or number expected (\".\", 46)", 2},
      {"12abc", nullptr, "Number, point or exponent expected (\"a\", 97)", 3},
      {"1.5.3", nullptr, "Number or exponent expected (\".\", 46)", 4},
      {"1e;", nullptr, "Number or minus expected (\";\", 59)", 3},
      {"1e-;", nullptr, "Number expected (\";\", 59)", 4},
      {"a<.5", nullptr, "\">\" or \"=\" expected (\".\", 46)", 3},
      {"a>.5", nullptr, "\"=\" expected. (\".\", 46)", 3},
      {"a < .5", nullptr, "Invalid character (\".\", 46)", 5},  // the blank ended "<"
      {"#", nullptr, "Number expected (\" \", 32)", 2},
      {"$G", nullptr, "Hexadezimal number expected (\"G\", 71)", 2},
      {"#$", nullptr, "Hexadezimal number expected (\" \", 32)", 3},
      {"'a'x", nullptr, "String expected (\"x\", 120)", 4},
      {"'abc\r", nullptr, "End of string not found. (\"\r\", 13)", 5},
      {"'ab\ncd'", nullptr, "End of string not found. (\"\n\", 10)", 4},
      {"\x80", nullptr, "Invalid character (\"\x80\", 128)", 1},
      {"a ~ b", nullptr, "Invalid character (\"~\", 126)", 3},
      {"#256", nullptr, "Invalid char constant \"256\"", 5},
      {"#$1FF", nullptr, "Invalid char constant \"511\"", 6},
      {"#99999999999", nullptr, "Invalid char constant \"99999999999\"", 13},
      {"$123456789", nullptr, "Invalid hexadezimal constant \"123456789\"", 11},
      {"#$FFFFFFFFF", nullptr, "Invalid hexadezimal constant \"FFFFFFFFF\"", 12},
  };
  for (const TTokenCase& C : Cases) {
    SCOPED_TRACE(C.Text);
    TTokenList Tokens;
    if (C.Tokens) {
      TokenizeScript(C.Text, Tokens);
      EXPECT_EQ(Render(Tokens), C.Tokens);
    } else {
      try {
        TokenizeScript(C.Text, Tokens);
        ADD_FAILURE() << "no error, tokens " << Render(Tokens);
      } catch (const ESyntaxError& E) {
        EXPECT_EQ(E.Detail(), C.Error);
        EXPECT_EQ(E.Position(), C.Position);
      }
    }
  }
}

TEST(TokenizeScript, SyntaxErrorTextNamesMessageAndPosition) {
  TTokenList Tokens;
  try {
    TokenizeScript("ab\ncd x:=1", Tokens);
    FAIL();
  } catch (const ESyntaxError& E) {
    EXPECT_STREQ(E.what(), "Syntaxerror: Character or number expected (\":\", 58) [Position 8]");
  } catch (...) {
    FAIL();
  }
}

TEST(TokenizeScript, ANulByteIsReportedByItsCode) {
  TTokenList Tokens;
  try {
    TokenizeScript(std::string("a \0", 3), Tokens);
    FAIL();
  } catch (const ESyntaxError& E) {
    EXPECT_STREQ(E.what(), "Syntaxerror: Invalid character (\"\", 0) [Position 3]");
  }
}

TEST(TokenizeScript, KeepsTokensBeforeAnErrorAndAppendsToTheList) {
  TTokenList Tokens;
  TokenizeScript("a", Tokens);
  EXPECT_THROW(TokenizeScript("b c.", Tokens), ESyntaxError);
  EXPECT_EQ(Render(Tokens), "5:A@1 5:B@1 1:@-1");
}

TEST(TokenTypeOf, MatchesKeywordsAndOperatorsInAnyCase) {
  EXPECT_EQ(TokenTypeOf("script"), ttScript);
  EXPECT_EQ(TokenTypeOf("DownTo"), ttDownto);
  EXPECT_EQ(TokenTypeOf(":="), ttAssign);
  EXPECT_EQ(TokenTypeOf("]"), ttCloseBracket);
  EXPECT_EQ(TokenTypeOf("all"), ttAllWord);
  EXPECT_EQ(TokenTypeOf("Alls"), ttIdentifier);
  EXPECT_EQ(TokenTypeOf(""), ttIdentifier);
}

TEST(HexToInt, ReadsEitherCaseAndWrapsAt32Bits) {
  EXPECT_EQ(HexToInt(""), 0u);
  EXPECT_EQ(HexToInt("ff"), 255u);
  EXPECT_EQ(HexToInt("aB1"), 0xAB1u);
  EXPECT_EQ(HexToInt("FFFFFFFF"), 0xFFFFFFFFu);
  EXPECT_EQ(HexToInt("123456789"), 0x23456789u);
}

TEST(TokenList, SkipsBlanksAndRemembersWhereItLooked) {
  TTokenList Tokens;
  TokenizeScript("x := f ( 1 )", Tokens);
  EXPECT_EQ(Tokens.LastTokenPosition(), -1);

  EXPECT_TRUE(Tokens.IsNext(ttIdentifier));
  EXPECT_EQ(Tokens.LastTokenPosition(), 1);
  EXPECT_TRUE(Tokens.IsNextButOne(ttAssign));  // over the blank after X
  EXPECT_FALSE(Tokens.Accept(ttAssign));
  EXPECT_EQ(Tokens.FirstToken().Text, "X");
  EXPECT_TRUE(Tokens.Accept(ttIdentifier));
  EXPECT_TRUE(Tokens.Accept(ttAssign));
  EXPECT_EQ(Tokens.LastTokenPosition(), 3);
  EXPECT_TRUE(Tokens.IsNext(ttIdentifier));
  EXPECT_EQ(Tokens.LastTokenPosition(), 6);
  EXPECT_EQ(Tokens.FirstToken().Type, ttIdentifier);  // the blank before F is gone

  try {
    Tokens.RaiseSyntaxError("Expression expected.");
    FAIL();
  } catch (const ESyntaxError& E) {
    EXPECT_EQ(E.Position(), 6);
    EXPECT_EQ(E.Detail(), "Expression expected.");
  }

  for (std::uint8_t T : {ttIdentifier, ttOpenParen, ttIntegerLit, ttCloseParen}) EXPECT_TRUE(Tokens.Accept(T));
  EXPECT_FALSE(Tokens.IsNext(ttBlank));
  EXPECT_FALSE(Tokens.IsNextButOne(ttCloseParen));
  EXPECT_TRUE(Tokens.Empty());
  EXPECT_EQ(Tokens.LastTokenPosition(), 12);  // an empty list leaves the position alone
}
