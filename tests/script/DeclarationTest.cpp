#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "script/ScriptFunctions.h"

namespace {

std::string PatternsText(const std::vector<TTypes>& Patterns) {
  std::string S;
  for (const TTypes& P : Patterns) S += (S.empty() ? "" : " ") + P.ToText();
  return S;
}

}  // namespace

TEST(TypeToText, NamesBaseBitsAndModifiersInTheirOrder) {
  const struct {
    TTypeBits Bits;
    const char* Text;
  } Cases[] = {
      {tbInteger, "INTEGER"},
      {tbMult, "INTEGER/FLOAT"},
      {tbAdd | tbBoolean, "INTEGER/FLOAT/STRING/BOOLEAN"},
      {tbVar | tbArray | tbInteger, "ARRAY VAR INTEGER"},
      {tbFunc | tbVar | tbBoolean, "VAR FUNC BOOLEAN"},
      {tbString | tbOpen, "STRING OPEN"},
      {tbAll | tbFunc | tbOpen, "VOID"},  // VOID hides everything else
      {tbVoid | tbVar | tbArray, "VOID"},
      {0, ""},
  };
  for (const auto& C : Cases) EXPECT_EQ(TypeToText(C.Bits), C.Text) << C.Bits;
  EXPECT_EQ(TTypes().ToText(), "()");
  EXPECT_EQ(TTypes({tbBoolean, tbVar | tbString}).ToText(), "(BOOLEAN, VAR STRING)");
  EXPECT_EQ(TTypes({tbInteger}).GetType(1), tbVoid);
}

TEST(TypeFits, NeedsACommonBaseBitAndEveryModifierOfTheFormal) {
  EXPECT_TRUE(TypeFits(tbMult, tbInteger));
  EXPECT_TRUE(TypeFits(tbMult, tbFloat | tbVar));
  EXPECT_FALSE(TypeFits(tbMult, tbString));
  EXPECT_FALSE(TypeFits(tbVar | tbAll, tbInteger));
  EXPECT_TRUE(TypeFits(tbVar | tbAll, tbInteger | tbVar));
  EXPECT_TRUE(TypeFits(tbFunc | tbBoolean, tbBoolean | tbFunc));
  EXPECT_FALSE(TypeFits(tbFunc | tbBoolean, tbVoid | tbFunc));
}

TEST(FuncDeclaration, TextToNamePatternsAndResultOrTheExactError) {
  const struct {
    const char* Text;
    const char* Name;
    const char* Patterns;
    TTypeBits Result;
    const char* Error;
  } Cases[] = {
      {"GetZoneCount(): integer", "GETZONECOUNT", "()", tbInteger, nullptr},
      {"Random( mult, mult ): integer", "RANDOM", "(INTEGER/FLOAT, INTEGER/FLOAT)", tbInteger, nullptr},
      {"GetZoneForceCount( mult, boolean, boolean, boolean, boolean, boolean, boolean ): integer",
       "GETZONEFORCECOUNT", "(INTEGER/FLOAT, BOOLEAN, BOOLEAN, BOOLEAN, BOOLEAN, BOOLEAN, BOOLEAN)", tbInteger,
       nullptr},
      {"Print( string )", "PRINT", "(STRING)", tbVoid, nullptr},
      {"F( mult ), ( string ): integer", "F", "(INTEGER/FLOAT) (STRING)", tbInteger, nullptr},
      {"g(var array integer, array string, func boolean, add open, float):void", "G",
       "(ARRAY VAR INTEGER, ARRAY STRING, FUNC BOOLEAN, INTEGER/FLOAT/STRING OPEN, FLOAT)", tbVoid, nullptr},
      {"H(var all): string open", "H", "(VOID)", tbString | tbOpen, nullptr},
      {"(integer)", nullptr, nullptr, 0, "Syntaxerror: Name expected [Position 1]"},
      {"Begin()", nullptr, nullptr, 0, "Syntaxerror: Name expected [Position 1]"},
      {"F integer", nullptr, nullptr, 0, "Syntaxerror: \"(\" expected. [Position 3]"},
      {"F(integer), string", nullptr, nullptr, 0, "Syntaxerror: \"(\" expected. [Position 13]"},
      {"F(integer", nullptr, nullptr, 0, "Syntaxerror: \")\" expected. [Position 3]"},
      {"F(integer string)", nullptr, nullptr, 0, "Syntaxerror: \")\" expected. [Position 11]"},
      {"F(foo)", nullptr, nullptr, 0, "Syntaxerror: Name of a type or \")\" expected [Position 3]"},
      {"F(var func integer)", nullptr, nullptr, 0, "Syntaxerror: Name of a type or \")\" expected [Position 7]"},
      {"F(integer,)", nullptr, nullptr, 0, "Syntaxerror: Name of a type or \")\" expected [Position 11]"},
      {"F(): bogus", nullptr, nullptr, 0, "Syntaxerror: Name of a type or \")\" expected [Position 6]"},
      {"F(x:=1)", nullptr, nullptr, 0, "Syntaxerror: Character or number expected (\":\", 58) [Position 4]"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Text);
    TFunc F;
    if (C.Name) {
      F.SetDeclaration(C.Text);
      EXPECT_EQ(F.Declaration(), C.Text);
      EXPECT_EQ(F.Name(), C.Name);
      EXPECT_EQ(PatternsText(F.Patterns()), C.Patterns);
      EXPECT_EQ(F.ResultType(), C.Result);
    } else {
      try {
        F.SetDeclaration(C.Text);
        ADD_FAILURE() << "accepted";
      } catch (const ESyntaxError& E) {
        EXPECT_STREQ(E.what(), C.Error);
      }
      EXPECT_EQ(F.Name(), "");
      EXPECT_TRUE(F.Patterns().empty());
    }
  }
}

TEST(FuncDeclaration, EmptyTextIsRefusedAndKeepsTheOldDeclaration) {
  TFunc F;
  F.SetDeclaration("Print( string )");
  try {
    F.SetDeclaration("");
    FAIL();
  } catch (const EScriptUsage& E) {
    EXPECT_STREQ(E.what(), "Invalid expression for declaration \"\"");
  }
  EXPECT_EQ(F.Name(), "PRINT");
}

TEST(PatternMatch, ActualTypesToThePatternOrTheExactError) {
  const std::string NoFit = "The arguments don't fit to a parameter pattern:\n\rArguments: ";
  const struct {
    const char* Declaration;
    TTypes Actuals;
    std::int32_t Pattern;  // -1: the error below
    std::string Error;
  } Cases[] = {
      {"F( mult ), ( string ): integer", {tbInteger}, 0, ""},
      {"F( mult ), ( string ): integer", {tbFloat | tbVar}, 0, ""},
      {"F( mult ), ( string ): integer", {tbString}, 1, ""},
      {"F( mult ), ( string ): integer", {tbBoolean}, -1,
       NoFit + "(BOOLEAN)\n\rParameter patterns:\n\r(INTEGER/FLOAT)\n\r(STRING)\n\rFunction: F"},
      {"F( mult ), ( string ): integer", {}, -1,
       NoFit + "()\n\rParameter patterns:\n\r(INTEGER/FLOAT)\n\r(STRING)\n\rFunction: F"},
      {"FindClosestEnemyZone( mult, mult ): integer", {tbInteger}, -1,
       "Not enough arguments for function FINDCLOSESTENEMYZONE (1 instead of 2)."},
      {"FindClosestEnemyZone( mult, mult ): integer", {tbInteger, tbInteger, tbInteger}, -1,
       "Too many arguments for function FINDCLOSESTENEMYZONE!"},
      {"FindClosestEnemyZone( mult, mult ): integer", {tbInteger, tbString}, -1,
       "Funktion FINDCLOSESTENEMYZONE expects type INTEGER/FLOAT instead of type STRING at argument 2"},
      {"P(integer open, string)", {tbInteger, tbInteger, tbString}, 0, ""},
      {"P(integer open, string)", {tbString}, 0, ""},
      {"P(integer open, string)", {tbInteger, tbString, tbString}, -1, "Too many arguments for function P!"},
      {"P(integer open, string)", {tbInteger}, -1, "Not enough arguments for function P (1 instead of 2)."},
      {"P(integer open, string)", {tbInteger, tbBoolean}, -1,
       "Funktion P expects type STRING instead of type BOOLEAN at argument 2"},
      {"Q(integer open)", {}, 0, ""},
      {"Q(integer open)", {tbInteger, tbInteger | tbVar, tbInteger}, 0, ""},
      {"V(var integer)", {tbInteger}, -1, "Funktion V expects type VAR INTEGER instead of type INTEGER at argument 1"},
      {"V(var integer)", {tbInteger | tbVar}, 0, ""},
      {"A(var array string)", {tbString | tbVar}, -1,
       "Funktion A expects type ARRAY VAR STRING instead of type VAR STRING at argument 1"},
      {"B(func boolean)", {tbBoolean | tbFunc}, 0, ""},
      {"B(func boolean)", {tbBoolean}, -1, "Funktion B expects type FUNC BOOLEAN instead of type BOOLEAN at argument 1"},
      {"N()", {}, 0, ""},
      {"N()", {tbInteger}, -1, "Too many arguments for function N!"},
      {"W(func boolean, all open), (boolean, all open)", {tbBoolean, tbVoid | tbFunc}, 1, ""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(std::string(C.Declaration) + " " + C.Actuals.ToText());
    TFunc F;
    F.SetDeclaration(C.Declaration);
    TFuncs Funcs;
    F.SetFuncs(&Funcs);
    std::vector<TTypeBits> Narrowed;
    if (C.Pattern >= 0) {
      EXPECT_EQ(F.Registered()->MatchPattern(C.Actuals, Narrowed), C.Pattern);
    } else {
      try {
        F.Registered()->MatchPattern(C.Actuals, Narrowed);
        ADD_FAILURE() << "fits";
      } catch (const ERTE& E) {
        EXPECT_EQ(E.what(), C.Error);
      }
    }
  }
}

TEST(PatternMatch, NarrowsEachActualToTheModifiersOfItsFormal) {
  TFunc F;
  F.SetDeclaration("N(var all, mult, func all open)");
  TFuncs Funcs;
  F.SetFuncs(&Funcs);
  std::vector<TTypeBits> Narrowed;
  const TTypes Actuals = {tbInteger | tbVar, tbFloat | tbVar | tbArray, tbVoid | tbFunc, tbInteger | tbFunc};
  ASSERT_EQ(F.Registered()->MatchPattern(Actuals, Narrowed), 0);
  EXPECT_EQ(Narrowed, (std::vector<TTypeBits>{tbInteger | tbVar, tbFloat, tbVoid | tbFunc, tbInteger | tbFunc}));
}
