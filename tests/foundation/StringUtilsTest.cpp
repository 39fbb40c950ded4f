#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/StringUtils.h"

TEST(NextToken, CutsTokensUntilTheTextIsEmpty) {
  std::string S = "12;34;";
  EXPECT_EQ(NextToken(S, ";"), "12");
  EXPECT_EQ(S, "34;");
  EXPECT_EQ(NextToken(S, ";"), "34");
  EXPECT_EQ(S, "");
  EXPECT_EQ(NextToken(S, ";"), "");
  EXPECT_EQ(S, "");
}

TEST(NextToken, WithoutTheDelimiterTakesTheWholeText) {
  std::string S = "abc";
  std::string Token;
  NextToken(S, "|", Token);
  EXPECT_EQ(Token, "abc");
  EXPECT_EQ(S, "");
}

TEST(NextToken, KeepsAnyByteInsideTokens) {
  std::string S = std::string("a\0b", 3) + "~\xff~";
  EXPECT_EQ(NextToken(S, "~"), std::string("a\0b", 3));
  EXPECT_EQ(NextToken(S, "~"), "\xff");
}

TEST(NextTokenInt, AcceptsOnlyASignAndDigitsWithin32Bits) {
  const struct {
    const char* Text;
    std::int32_t Expected;
  } Cases[] = {
      {"42;", 42},           {"-7;", -7},         {"+7;", 7},         {";", 0},
      {"abc;", 0},           {"12x;", 0},         {" 5;", 0},         {"5 ;", 0},
      {"$1F;", 0},           {"-;", 0},           {"2147483647;", 2147483647},
      {"-2147483648;", std::numeric_limits<std::int32_t>::min()},
      {"2147483648;", 0},    {"-2147483649;", 0}, {"99999999999999999999;", 0},
  };
  for (const auto& C : Cases) {
    std::string S = C.Text;
    EXPECT_EQ(NextTokenInt(S, ";"), C.Expected) << C.Text;
    EXPECT_EQ(S, "") << C.Text;
  }
}

TEST(NextTokenBool, IsTrueOnlyForOne) {
  for (const char* Text : {";", "0;", "2;", "true;", "01;", "1 ;"}) {
    std::string S = Text;
    EXPECT_FALSE(NextTokenBool(S, ";")) << Text;
  }
  std::string S = "1;";
  EXPECT_TRUE(NextTokenBool(S, ";"));
}

TEST(NextTokenFloat, ReadsNumbersAndRaisesForAnythingElse) {
  const struct {
    const char* Text;
    long double Expected;
  } Good[] = {{"2.5", 2.5L}, {"-0.125", -0.125L}, {"+3", 3.0L}, {"1E3", 1000.0L},
              {"1.5e-7", 1.5e-7L}, {".5", 0.5L}, {"5.", 5.0L}, {"0", 0.0L}};
  for (const auto& C : Good) {
    std::string S = std::string(C.Text) + ";rest";
    EXPECT_EQ(NextTokenFloat(S, ";"), C.Expected) << C.Text;
    EXPECT_EQ(S, "rest");
  }
  for (const char* Bad : {"", "abc", "1,5", "1.5.2", "e5", "1e", "1e+", " 1", "1 ", ".", "-", "INF", "nan"}) {
    std::string S = std::string(Bad) + ";";
    try {
      NextTokenFloat(S, ";");
      ADD_FAILURE() << "no error for '" << Bad << "'";
    } catch (const EConvertError& E) {
      EXPECT_EQ(std::string(E.what()), "'" + std::string(Bad) + "' is not a valid floating point value");
    }
  }
}

TEST(NextTokenFloat, SaturatesNumbersBeyondRange) {
  std::string S = "1e99999;1e-99999;";
  EXPECT_TRUE(std::isinf(NextTokenFloat(S, ";")));
  EXPECT_EQ(NextTokenFloat(S, ";"), 0.0L);
}

TEST(Tokenize, WritesEveryValueFollowedByTheDelimiter) {
  EXPECT_EQ(Tokenize(";", 5, true, "ab", 2.5), "5;1;ab;2.5;");
  EXPECT_EQ(Tokenize(";"), "");
  EXPECT_EQ(Tokenize("#", std::string(), 'x', false, -12L), "#x#0#-12#");
  std::string S = "old";
  Tokenize("|", S, 1, 2);
  EXPECT_EQ(S, "1|2|");
}

TEST(FloatToStr, Gives15SignificantDigitsAndExponentOnlyForExtremeSizes) {
  const struct {
    long double Value;
    const char* Text;
  } Cases[] = {
      {2.5L, "2.5"},
      {0.0L, "0"},
      {-0.0L, "0"},
      {100.0L, "100"},
      {-3.0L, "-3"},
      {0.1L, "0.1"},
      {1.0L / 3.0L, "0.333333333333333"},
      {2.0L / 3.0L, "0.666666666666667"},
      {0.00001L, "0.00001"},
      {0.000001L, "1E-6"},
      {1.5e-7L, "1.5E-7"},
      {1e15L, "1E15"},
      {123456789012345.0L, "123456789012345"},
      {1234567890123456.0L, "1.23456789012346E15"},
      {-2.5e20L, "-2.5E20"},
      {0.1 + 0.2, "0.3"},
      {std::numeric_limits<long double>::infinity(), "INF"},
      {-std::numeric_limits<long double>::infinity(), "-INF"},
      {std::numeric_limits<long double>::quiet_NaN(), "NAN"},
  };
  for (const auto& C : Cases) EXPECT_EQ(FloatToStr(C.Value), C.Text) << C.Text;
}

TEST(FloatToStr, ReadsBackThroughTheTokenReader) {
  for (long double V : {2.5L, -1234.0625L, 1.5e-7L, 7e300L, 0.75L}) {
    std::string S = Tokenize(";", V);
    EXPECT_EQ(NextTokenFloat(S, ";"), V);
  }
}

TEST(JoinStrings, FollowsEveryItemWithTheDelimiter) {
  EXPECT_EQ(JoinStrings({}, ","), "");
  EXPECT_EQ(JoinStrings({"a", "b"}, ","), "a,b,");
  EXPECT_EQ(JoinStrings({""}, ","), ",");
}

TEST(TokenReader, ReadsLikeNextToken) {
  const std::string Text = "12;abc;1;2.5;;tail";
  TTokenReader R(Text);
  EXPECT_EQ(R.NextInt(';'), 12);
  EXPECT_EQ(R.Next(';'), "abc");
  EXPECT_TRUE(R.NextBool(';'));
  EXPECT_EQ(R.NextFloat(';'), 2.5L);
  EXPECT_EQ(R.Next(';'), "");
  EXPECT_EQ(R.Rest(), "tail");
  EXPECT_EQ(R.Next(';'), "tail");
  EXPECT_TRUE(R.AtEnd());
  EXPECT_EQ(R.Next(';'), "");
  EXPECT_THROW(R.NextFloat(';'), EConvertError);
}
