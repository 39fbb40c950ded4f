#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/ProcessMessages.h"
#include "script/Script.h"
#include "script/ScriptLibrary.h"

namespace {

// "I:3", "F:1.5", "S:abc", "B:True", "A:2" (an array of two), "-" (empty).
std::string Show(const TValue& V) {
  switch (V.Kind()) {
    case vkEmpty: return "-";
    case vkBoolean: return "B:" + V.AsString();
    case vkInteger: return "I:" + V.AsString();
    case vkFloat: return "F:" + V.AsString();
    case vkString: return "S:" + V.AsString();
    case vkArray: return "A:" + std::to_string(V.ArrayItems().size());
  }
  return "?";
}

// Runs Text and gives R's value, or the text of the error it raised.
std::string RunScript(const std::string& Text) {
  TFuncs Funcs;
  TScript S;
  S.SetFunctions(&Funcs);
  S.SetText(Text);
  try {
    if (!S.Execute()) return "refused";
  } catch (const std::exception& E) {
    return E.what();
  }
  TDataItem* R = S.FindDataItem("R");
  return R ? Show(R->Value()) : "no R";
}

struct TCase {
  const char* Text;
  const char* Expected;
};

void RunTable(const std::vector<TCase>& Cases) {
  for (const TCase& C : Cases) EXPECT_EQ(RunScript(C.Text), C.Expected) << C.Text;
}

}  // namespace

TEST(ScriptLanguage, OperatorsGroupingAndFolding) {
  RunTable({
      {"r := 10 - 4 - 3", "I:3"},
      {"a := 10; b := 4; c := 3; r := a - b - c", "I:3"},
      {"r := 8 / 4 / 2", "F:1"},
      {"r := 7 / 2", "F:3.5"},
      {"r := 2 + 3 * 4", "I:14"},
      {"r := (2 + 3) * 4", "I:20"},
      {"r := 2 * 3 mod 4", "I:2"},
      {"r := 100 div 10 div 5", "I:2"},
      {"r := 7 div 2", "I:3"},
      {"r := -7 div 2", "I:-3"},
      {"r := -7 mod 2", "I:-1"},
      {"r := 2147483647 + 1", "I:-2147483648"},
      {"x := 2147483647; r := x * 2", "I:-2"},
      {"r := 1 + 2.5", "F:3.5"},
      {"r := - -3", "I:3"},
      {"x := 4; r := -x", "I:-4"},
      {"r := +5", "I:5"},
      {"r := 'ab' + 'cd'", "S:abcd"},
      {"r := 3 > 2", "B:True"},
      {"r := 'a' < 'b'", "B:True"},
      {"r := false < true", "B:True"},
      {"r := 2 = 2.0", "B:True"},
      {"r := 2 <> 2", "B:False"},
      {"r := 3 >= 3", "B:True"},
      {"r := 3 <= 2", "B:False"},
      {"r := not true", "B:False"},
      {"r := true and not false", "B:True"},
      {"r := true xor true", "B:False"},
      {"r := false or true", "B:True"},
      {"a := 1; b := 1; c := 2; d := 2; r := (a = b) and (c = d)", "B:True"},
      {"r := 1 / 0", "Runtimeerror: Division by zero [Position 8]"},
      {"r := 1 div 0", "Runtimeerror: Division by zero [Position 8]"},
      {"x := 0; r := 5 mod x", "Runtimeerror: Division by zero [Position 16]"},
      {"r := 'a' + 1",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (STRING, INTEGER)\n\r"
       "Parameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + [Position 10]"},
      {"r := 1 < 2 < 3", "Syntaxerror: \";\" expected. [Position 12]"},
      {"if a = b and c = d then x := 1", "Syntaxerror: THEN expected. [Position 16]"},
  });
}

TEST(ScriptLanguage, LiteralsConstantsAndConversions) {
  RunTable({
      {"r := 'it''s'", "S:it's"},
      {"r := length('abc'#13#10)", "I:5"},
      {"r := 'abc' #65", "Syntaxerror: \";\" expected. [Position 13]"},
      {"r := $FF + 1", "I:256"},
      {"r := $FFFFFFFF", "I:-1"},
      {"r := 1.5E1", "F:15"},
      {"r := 0.25", "F:0.25"},
      {"r := 99999999999", "Syntaxerror: '99999999999' is not a valid integer value [Position 6]"},
      {"r := 1e999", "Syntaxerror: '1e999' is not a valid floating point value [Position 6]"},
      {"const A = 1; const B = A + 1; r := B", "I:2"},
      {"const S = 'abc'; r := S", "S:abc"},
      {"CONST A = 1; B = 2;", "Syntaxerror: Function B is not defined [Position 14]"},
      {"const X = 1; X := 2", "Syntaxerror: Can't assign value to a constant [Position 14]"},
      {"const X 1;", "Syntaxerror: \"=\" expected. [Position 9]"},
      {"const X = 1 r := 2", "Syntaxerror: \";\" expected. [Position 13]"},
      {"const X = 1 div 0;", "Runtimeerror: Division by zero [Position 13]"},
      {"r := TRUE", "B:True"},
      {"r := tSTRING + tINTEGER + tFLOAT + tBOOLEAN", "I:30"},
      {"r := Round(2.5)", "I:2"},
      {"r := Round(3.5)", "I:4"},
      {"r := Round(-2.5)", "I:-2"},
      {"r := Round(5)",
       "Runtimeerror: Funktion ROUND expects type FLOAT instead of type INTEGER at argument 1 [Position 6]"},
      {"r := Round(1e20)", "Runtimeerror: Could not convert variant of type (Double) into type (Integer) [Position 6]"},
      {"r := Trunc(-2.7)", "I:-2"},
      {"r := Int(2.7)", "F:2"},
      {"r := Frac(2.5)", "F:0.5"},
      {"r := StrToInt('42')", "I:42"},
      {"r := StrToInt('4x')", "Runtimeerror: '4x' is not a valid integer value [Position 6]"},
      {"r := IntToStr(-5)", "S:-5"},
      {"x := 1.5; r := Type(x) = tFLOAT", "B:True"},
      {"r := Type(never)", "I:1"},
      {"SetArray(a, 1); r := Type(a)", "I:65"},
  });
}

TEST(ScriptLanguage, VariablesArraysAndStrings) {
  RunTable({
      {"i := 0; inc(i, 2); r := i", "I:2"},
      {"i := 5; dec(i); r := i", "I:4"},
      {"x := 1.5; inc(x); r := x", "F:2.5"},
      {"inc(i)",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (VOID)\n\rParameter patterns:\n\r"
       "(VAR INTEGER/FLOAT)\n\r(VAR INTEGER/FLOAT, INTEGER/FLOAT)\n\rFunction: INC [Position 1]"},
      {"i := 0; inc(i, 0.5)", "Runtimeerror: Variable I expects type VAR INTEGER instead of type FLOAT. [Position 9]"},
      {"x := 1; x := 2.5", "Runtimeerror: Variable X expects type VAR INTEGER instead of type FLOAT. [Position 9]"},
      {"r := y", "Runtimeerror: Variable Y is not defined. [Position 6]"},
      {"SetArray(a, 2); a[0] := 5; a[1] := 6; SetArray(a, 3); a[2] := 7; r := a[0] + a[1] + a[2]", "I:18"},
      {"SetArray(a, 3); a[3] := 'y'", "Runtimeerror: Array index out of bounds (A[3]) [Position 17]"},
      {"SetArray(a, 3); a[0] := 1; r := a[2]", "Runtimeerror: Variable A[2] is not defined. [Position 28]"},
      {"SetArray(a, 3); a[0] := 'x'; a[1] := 5",
       "Runtimeerror: Variable A expects type VOID instead of type INTEGER. [Position 30]"},
      {"SetArray(a, 3); a[0] := 'x'; a[0] := 5",
       "Runtimeerror: Variable A expects type STRING instead of type INTEGER. [Position 30]"},
      {"SetArray(a, 3); SetArray(a, 4)", "Runtimeerror: Variable A is not defined. [Position 17]"},
      {"x := 1; SetArray(x, 4)", "Runtimeerror: Variant is not an array [Position 9]"},
      {"SetArray(a, 2); a[0] := 'x'; r := length(a)", "I:2"},
      {"SetArray(a, 2); a[1] := 'x'; SetArray(a, 1); r := a[1]", "Runtimeerror: Array index out of bounds (A[1]) [Position 46]"},
      {"s := 'abc'; insert('X', s, 2); r := s", "S:aXbc"},
      {"s := 'abc'; insert('X', s, 0); r := s", "S:Xabc"},
      {"s := 'abc'; insert('X', s, 9); r := s", "S:abcX"},
      {"s := 'abcdef'; delete(s, 2, 3); r := s", "S:aef"},
      {"s := 'abcdef'; delete(s, 5, 10); r := s", "S:abcd"},
      {"s := 'abcdef'; delete(s, 0, 2); r := s", "S:abcdef"},
      {"r := copy('abcdef', 2, 3)", "S:bcd"},
      {"r := copy('abc', 0, 2)", "S:ab"},
      {"r := copy('abc', 5, 1)", "S:"},
      {"r := pos('b', 'abc')", "I:2"},
      {"r := pos('B', 'abc')", "I:0"},
      {"r := length('')", "I:0"},
      {"s := 'ab'; while true do s := s + s", "Runtimeerror: String too long [Position 33]"},
      {"r := copy := 1", "Syntaxerror: \";\" expected. [Position 11]"},
      {"copy := 1", "Syntaxerror: Name \"COPY\" is already existing [Position 1]"},
      {"x", "Syntaxerror: Function X is not defined [Position 1]"},
      {"r := foo(1)", "Syntaxerror: Function FOO not found [Position 6]"},
      {"r := ", "Syntaxerror: Expression expected. [Position 3]"},
      {"r := (1 + 2", "Syntaxerror: \")\" expected. [Position 11]"},
      {"x := copy('abc', 1, 2", "Syntaxerror: \")\" expected. [Position 21]"},
      {"a[] := 1", "Syntaxerror: Array index expected [Position 3]"},
      {"a[1 := 1", "Syntaxerror: Closing bracket \"]\" expected [Position 5]"},
      {"5 := 1", "Syntaxerror: Variable expected. [Position 1]"},
      {"r 1", "Syntaxerror: Function R is not defined [Position 1]"},
      {"(r)", "Syntaxerror: Name expected [Position 1]"},
  });
}

TEST(ScriptLanguage, FormatPiecesAndDates) {
  RunTable({
      {"r := format('a=%d b=%s', 1, 'x')", "S:a=1 b=x"},
      {"r := format('abc')", "S:"},
      {"r := format('abc', 1)", "S:abc"},
      {"r := format('[%5.1f|%-4d|%.3d]', 3.14159, 7, 7)", "S:[  3.1|7   |007]"},
      {"r := format('%x %s %u', 255, 12, -1)", "S:FF 12 4294967295"},
      {"r := format('%d%% of %d', 50, 8)", "S:50% of 8"},
      {"r := format('a%d b%d c%d', 1, 2)", "S:a1 b2 c"},
      {"r := format('%e', 1234.5)", "S:1.23450000000000E+003"},
      {"r := format('%g|%g|%.3g', 0.5, 1e20, 2.0/3)", "S:0.5|1E20|0.667"},
      {"r := format('%n|%m|%m', 1234567.891, -5, 12.5)", "S:1,234,567.89|($5.00)|$12.50"},
      {"r := format('%.2s', 'abcdef')", "S:ab"},
      {"r := format('%d', 1.5)", "Runtimeerror: Format '%d' invalid or incompatible with argument [Position 6]"},
      {"r := format('%f', 'x')", "Runtimeerror: Format '%f' invalid or incompatible with argument [Position 6]"},
      {"r := format('%p', 1)", "Runtimeerror: Format '%p' invalid or incompatible with argument [Position 6]"},
      {"r := format('%d %d', 1)", "S:1 "},
      {"r := format('%', 1)", "Runtimeerror: Format '%' invalid or incompatible with argument [Position 6]"},
      {"r := format('%99999d', 1)", "Runtimeerror: Format '%99999d' invalid or incompatible with argument [Position 6]"},
      {"r := formatdatetime('mmmm d, yyyy', 14916.75)", "S:November 1, 1940"},
      {"r := formatdatetime('dddd ddd dd/mm/yy hh:nn:ss', 14916.75)", "S:Friday Fri 01/11/40 18:00:00"},
      {"r := formatdatetime('h:nn am/pm \"at\" c', 14916.75)", "S:6:00 pm at 11/1/1940 6:00:00 PM"},
      {"r := formatdatetime('ddddd|dddddd|mmm', 14916.5)", "S:11/1/1940|Friday, November 1, 1940|Nov"},
      {"r := formatdatetime('hh:mm:ss.zzz a/p|t|tt', 14916.0 + 0.5 / 24)", "S:12:30:00.000 a|12:30 AM|12:30:00 AM"},
      {"r := formatdatetime('', 14916.0)", "S:11/1/1940"},
      {"r := formatdatetime('yyyy', 1e10)", "Runtimeerror: Invalid date value [Position 6]"},
      {"r := format('%0:d-%0:d', 4)", "S:4-"},
      {"r := format('%1:d', 4)", "Runtimeerror: Format '%1:d' invalid or incompatible with argument [Position 6]"},
  });
  const std::string Now = RunScript("r := now");
  ASSERT_EQ(Now.substr(0, 2), "F:");
  EXPECT_NEAR(std::stod(Now.substr(2)), NowDateTime(), 1.0 / 24);
}

TEST(ScriptLanguage, StatementForms) {
  RunTable({
      {"", "no R"},
      {"{ a } r := 1 // c", "I:1"},
      {"r := 1;", "I:1"},
      {"r := 1;; r := 2", "Syntaxerror: \";\" expected. [Position 10]"},
      {"r := 1;; ", "I:1"},
      {"begin r := 1; r := r + 1; end", "I:2"},
      {"begin r := 1 r := 2 end", "Syntaxerror: \";\" expected. [Position 14]"},
      {"begin r := 1", "Syntaxerror: \";\" expected. [Position 12]"},
      {"if 1 > 2 then r := 1 else r := 2", "I:2"},
      {"if true then if false then r := 1 else r := 2", "I:2"},
      {"if 1 then r := 1", "Runtimeerror: Funktion IF expects type BOOLEAN instead of type INTEGER at argument 1 [Position 1]"},
      {"if true r := 1", "Syntaxerror: THEN expected. [Position 9]"},
      {"flag := true; n := 0; while flag do begin flag := false; n := n + 1 end; r := n", "I:1"},
      {"n := 0; while n < 5 do n := n + 1; r := n", "I:5"},
      {"while true r := 1", "Syntaxerror: DO expected. [Position 12]"},
      {"n := 0; repeat n := n + 1; until n >= 3; r := n", "I:3"},
      {"n := 0; repeat n := n + 1 n := 2 until true", "Syntaxerror: \";\" expected. [Position 27]"},
      {"r := ''; for i := 3 downto 1 do r := r + IntToStr(i); r := r + IntToStr(i)", "S:3210"},
      {"r := 0; for i := 1 to 0 do r := r + 1", "I:0"},
      {"r := 0; for i := 1 to 4 do r := r + i; r := r * 100 + i", "I:1005"},
      {"r := 0; for i := 1 to 10 do begin r := r + 1; i := i + 1 end", "I:5"},
      {"for i = 1 to 3 do x := 1", "Syntaxerror: Assignment\":=\" expected. [Position 7]"},
      {"for i := 1 downfrom 3 do x := 1", "Syntaxerror: TO expected. [Position 12]"},
      {"x := 1.5; for x := 1 to 2 do ;",
       "Runtimeerror: Funktion FOR expects type VOID instead of type VAR FLOAT at argument 1 [Position 11]"},
      {"r := 2147483646; for i := 2147483646 to 2147483647 do r := r + 1", "I:-2147483648"},
  });
}

namespace {

// The line and column of a position, with each way a line may end.
TEST(ScriptLanguage, APositionIsALineAndAColumn) {
  const struct {
    const char* Text;
    std::int32_t Position;
    std::int32_t Line, Column;
  } Cases[] = {{"x := 1", 1, 1, 1},          {"x := 1", 6, 1, 6},          {"a\nbc", 3, 2, 1},
               {"a\nbc", 4, 2, 2},          {"a\r\nbc", 4, 2, 1},         {"a\rb\rc", 5, 3, 1},
               {"\n\n\nx", 4, 4, 1},        {"ab", 9, 1, 3},              {"ab", -1, 1, 1}};
  for (const auto& C : Cases) {
    const TScriptPlace P = ScriptPlace(C.Text, C.Position);
    EXPECT_EQ(P.Line, C.Line) << C.Text << " at " << C.Position;
    EXPECT_EQ(P.Column, C.Column) << C.Text << " at " << C.Position;
  }
}

class ScriptComponent : public ::testing::Test {
protected:
  ScriptComponent() {
    S.SetFunctions(&Funcs);
    S.OnShowMessage = [this](TScript* Sender, const std::string& Text) {
      EXPECT_EQ(Sender, &S);
      Shown.push_back(Text);
    };
  }
  ~ScriptComponent() override { SetProcessMessagesHook(nullptr); }

  TValue Value(const char* Name) {
    TDataItem* Item = S.FindDataItem(Name);
    return Item ? Item->Value() : TValue();
  }

  TFuncs Funcs;
  TScript S;
  std::vector<std::string> Shown;
};

}  // namespace

TEST_F(ScriptComponent, EmptyAndCommentOnlyTextsCompile) {
  EXPECT_FALSE(S.Compiled());
  EXPECT_TRUE(S.Execute());
  ASSERT_NE(S.Root(), nullptr);
  EXPECT_EQ(S.Root()->Name(), "SCRIPT");
  EXPECT_EQ(S.Root()->Args().size(), 0u);
  EXPECT_EQ(S.DataItemCount(), 6);  // TRUE FALSE tSTRING tINTEGER tFLOAT tBOOLEAN
  EXPECT_EQ(S.DataItems(2)->Name(), "TSTRING");

  S.SetText("{ a } // only comments\n");
  EXPECT_FALSE(S.Compiled());
  EXPECT_TRUE(S.Execute());
  EXPECT_TRUE(S.Compiled());
}

TEST_F(ScriptComponent, ConstantOperandsFoldAndOperatorsStandAtTheirPosition) {
  S.SetText("r := 1 + 2 + x; q := x + 1 + 2");
  ASSERT_TRUE(S.Compile());
  const auto& Statements = S.Root()->Args();
  ASSERT_EQ(Statements.size(), 2u);
  // (1 + 2) + x: the constant part is folded.
  auto* First = static_cast<TFuncExpr*>(static_cast<TFuncExpr&>(*Statements[0]).Args()[1].get());
  EXPECT_EQ(First->Name(), "+");
  EXPECT_EQ(First->Position(), 12);
  ASSERT_TRUE(First->Args()[0]->IsConstant());
  EXPECT_EQ(static_cast<TConstExpr&>(*First->Args()[0]).Value(), TValue(3));
  EXPECT_EQ(First->Args()[0]->Position(), 8);
  // (x + 1) + 2: nothing to fold.
  auto* Second = static_cast<TFuncExpr*>(static_cast<TFuncExpr&>(*Statements[1]).Args()[1].get());
  EXPECT_EQ(Second->Args()[0]->Kind(), ekCall);
  EXPECT_EQ(Second->Position(), 28);
}

TEST_F(ScriptComponent, VariablesKeepTheirValuesAcrossRunsUntilTheNextCompile) {
  S.SetText("if Type(n) = tINTEGER then n := n + 1 else n := 1");
  EXPECT_TRUE(S.Execute());
  EXPECT_TRUE(S.Execute());
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("N"), TValue(3));
  ASSERT_TRUE(S.Compile());
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("N"), TValue(1));
  S.SetText("n := 10");  // Execute compiles the new text first
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("N"), TValue(10));
}

TEST_F(ScriptComponent, ErrorsAreShownInsteadOfRaisedWhenExceptionsIsOff) {
  S.SetExceptions(false);
  S.SetText("x := ;");
  EXPECT_FALSE(S.Execute());
  EXPECT_FALSE(S.Compiled());
  EXPECT_EQ(Shown, (std::vector<std::string>{
                       "Script Error: Syntaxerror: Expression expected. [Position 6] Position: 6",
                       "Script isn't compiled!"}));
  Shown.clear();
  S.SetText("y := 0; x := 1 div y");
  EXPECT_FALSE(S.Execute());
  EXPECT_FALSE(S.Running());
  EXPECT_TRUE(S.Compiled());
  EXPECT_EQ(Shown, (std::vector<std::string>{"Script Error: Runtimeerror: Division by zero [Position 16] Position: 16"}));
  // An operator of constants is evaluated while compiling, so its error is the compile's.
  Shown.clear();
  S.SetText("x := 1 div 0");
  EXPECT_FALSE(S.Compile());
  EXPECT_EQ(Shown, (std::vector<std::string>{"Script Error: Runtimeerror: Division by zero [Position 8] Position: 8"}));
}

TEST_F(ScriptComponent, WithoutARegistryNothingCompiles) {
  TScript Lone;
  Lone.SetText("x := 1");
  EXPECT_THROW(
      {
        try {
          Lone.Compile();
        } catch (const EScriptUsage& E) {
          EXPECT_STREQ(E.what(), "Property \"Functions\" is not defined");
          throw;
        }
      },
      EScriptUsage);
  EXPECT_THROW(Lone.Execute(), EScriptUsage);
  EXPECT_FALSE(Lone.Running());
}

TEST_F(ScriptComponent, ARegistryDestroyedFirstIsForgotten) {
  auto Own = std::make_unique<TFuncs>();
  TScript Other;
  Other.SetFunctions(Own.get());
  Other.SetText("x := 1 + y");
  ASSERT_TRUE(Other.Compile());
  Own.reset();
  EXPECT_EQ(Other.Functions(), nullptr);
  EXPECT_EQ(Other.Root(), nullptr);
  EXPECT_FALSE(Other.Compiled());
}

TEST_F(ScriptComponent, RunAndCompileAreRefusedFromInsideAPump) {
  int Pumps = 0;
  bool WasRunning = false;
  SetProcessMessagesHook([&] {
    ++Pumps;
    WasRunning = WasRunning || S.Running();
    EXPECT_FALSE(S.Execute());
    EXPECT_FALSE(S.Compile());
  });
  S.SetText("x := 1 + 2; y := x * 2");  // the folding of 1 + 2 pumps during the compile
  EXPECT_TRUE(S.Compile());
  EXPECT_EQ(Pumps, 1);
  EXPECT_TRUE(S.Compiled());
  EXPECT_TRUE(S.Execute());
  EXPECT_TRUE(WasRunning);
  EXPECT_FALSE(S.Running());
  EXPECT_EQ(Value("Y"), TValue(6));
  EXPECT_EQ(Pumps, 5);  // and after SCRIPT, SET, "*" and SET
}

TEST_F(ScriptComponent, TheStopFlagEndsAnEndlessLoopAtTheNextCall) {
  int Pumps = 0;
  int PumpsAfterStop = 0;
  SetProcessMessagesHook([&] {
    if (Funcs.Stopped()) ++PumpsAfterStop;
    if (++Pumps == 1000) Funcs.SetStopped(true);
  });
  S.SetText("while true do ;");
  try {
    S.Execute();
    ADD_FAILURE() << "the loop ran on";
  } catch (const ERuntimeError& E) {
    EXPECT_STREQ(E.what(), "Runtimeerror: Script stopped. [Position 15]");
  }
  EXPECT_EQ(Pumps, 1000);
  EXPECT_EQ(PumpsAfterStop, 0);
  EXPECT_FALSE(S.Running());
  // Running again clears the flag.
  S.SetText("x := 1");
  EXPECT_TRUE(S.Execute());
  EXPECT_FALSE(Funcs.Stopped());
}

// Loops whose passes call nothing at all: an empty body under a constant or variable condition.
TEST_F(ScriptComponent, TheStopFlagEndsALoopThatCallsNothing) {
  for (const char* Text : {"repeat until false", "x := false; repeat until x", "x := true; while x do",
                           "for i := 1 to 2000000000 do"}) {
    int Pumps = 0;
    SetProcessMessagesHook([&] {
      if (++Pumps == 1000) Funcs.SetStopped(true);
    });
    S.SetText(Text);
    try {
      S.Execute();
      ADD_FAILURE() << Text << ": the loop ran on";
    } catch (const ERuntimeError& E) {
      EXPECT_NE(std::string(E.what()).find("Script stopped."), std::string::npos) << Text << ": " << E.what();
    } catch (const ESyntaxError& E) {
      // A loop form the language does not have is no loop that can hang.
      ADD_FAILURE() << Text << ": " << E.what();
    }
    EXPECT_FALSE(S.Running()) << Text;
  }
  SetProcessMessagesHook(nullptr);
}

// Every loop form, with a body or without, ends at the step after the budget's last as the
// run-time error of its own kind, at the same place in every run; the next run counts afresh.
TEST_F(ScriptComponent, TheStepBudgetEndsEveryEndlessLoopAtTheSameStep) {
  Funcs.SetStepBudget(10000);
  for (const char* Text : {"x := 0; while true do x := x + 1;", "repeat until false", "x := true; while x do",
                           "for i := 1 to 2000000000 do", "repeat x := 1 until false", "for i := 1 to 2000000000 do x := i",
                           "while true do while true do ;", "while true do begin if true then x := 1 else x := 2 end"}) {
    S.SetText(Text);
    std::string First;
    for (int Run = 0; Run < 2; ++Run) {
      try {
        S.Execute();
        ADD_FAILURE() << Text << ": the loop ran on";
      } catch (const EStepsSpent& E) {
        EXPECT_EQ(E.Detail(), "The run took more than 10000 steps") << Text;
        EXPECT_GE(E.Position(), 1) << Text;
        if (Run == 0) First = E.what();
        EXPECT_EQ(E.what(), First) << Text;
      }
      EXPECT_EQ(S.LastSteps(), 10000u) << Text;
      EXPECT_FALSE(S.Running()) << Text;
    }
  }
  // A run of exactly the budget's steps ends as it should; one step fewer is not enough.
  S.SetText("for i := 1 to 100 do x := i * 2");
  Funcs.SetStepBudget(0);
  ASSERT_TRUE(S.Execute());
  const std::uint64_t Needed = S.LastSteps();
  EXPECT_GT(Needed, 200u);
  Funcs.SetStepBudget(Needed);
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("X"), TValue(200));
  Funcs.SetStepBudget(Needed - 1);
  EXPECT_THROW(S.Execute(), EStepsSpent);
  // Without a budget a run takes what it takes.
  Funcs.SetStepBudget(0);
  S.SetText("for i := 1 to 100000 do x := i");
  EXPECT_TRUE(S.Execute());
  EXPECT_GT(S.LastSteps(), 100000u);
}

// Another script that the message processing runs on the same registry counts its own steps
// and leaves the count of the run it interrupted as it was.
TEST_F(ScriptComponent, ARunInsideAPumpDoesNotSpendTheStepsOfTheRunItInterrupted) {
  TScript Other;
  Other.SetFunctions(&Funcs);
  Other.SetText("for j := 1 to 50 do y := j");
  S.SetText("for i := 1 to 100 do x := i");
  ASSERT_TRUE(S.Execute());
  Funcs.SetStepBudget(S.LastSteps());
  int Inner = 0;
  SetProcessMessagesHook([&] {
    if (!Other.Running() && Other.Execute()) ++Inner;
  });
  EXPECT_TRUE(S.Execute());
  EXPECT_GT(Inner, 0);
  EXPECT_EQ(Value("X"), TValue(100));
}

TEST_F(ScriptComponent, HostFunctionsAndTheirErrors) {
  TFunc F;
  F.SetDeclaration("Mix( mult, mult ): integer");
  F.SetFuncs(&Funcs);
  F.SetOnEval([](TFunc*, const TArgList& Args, TValue& R) {
    if (Args.Value(1).AsInteger() < 0) throw EValueError("negative step");
    R = Args.Value(0).AsInteger() + Args.Value(1).AsInteger();
  });
  S.SetText("x := 0; i := 0; while i < 100 do begin x := Mix(x, i) mod 1000; i := i + 1 end");
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("X"), TValue(4950 % 1000));
  S.SetText("x := Mix(1, -1)");
  try {
    S.Execute();
    ADD_FAILURE();
  } catch (const ERuntimeError& E) {
    EXPECT_STREQ(E.what(), "Runtimeerror: negative step [Position 6]");
  }
  S.SetText("x := Mix(1)");
  EXPECT_THROW(S.Execute(), ERuntimeError);
}

TEST_F(ScriptComponent, ACallSiteMatchesAgainWhenAVariableGetsItsType) {
  S.SetText("for i := 1 to 2 do begin r := Type(v); v := 2.5 end");
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("R"), TValue(tbFloat));
  // A condition that first fits one pattern of WHILE and then the other is no concern:
  // the same node is either a call or not. A variable's first value changes its type.
  S.SetText("n := 0; while n < 3 do begin inc(n); if n = 2 then s := 'x' end; r := s + 'y'");
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("R"), TValue("xy"));
}

TEST_F(ScriptComponent, AHandlerMayEvaluateItsOwnCallAgain) {
  TFunc F;
  F.SetDeclaration("Nest(): integer");
  F.SetFuncs(&Funcs);
  int Level = 0;
  F.SetOnEval([&](TFunc*, const TArgList&, TValue& R) {
    if (Level == 3) {
      R = 0;
      return;
    }
    ++Level;
    auto& Set = static_cast<TFuncExpr&>(*S.Root()->Args()[0]);
    R = Set.Args()[1]->Evaluate().AsInteger() + 10;
  });
  S.SetText("r := Nest()");
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("R"), TValue(30));
}

TEST_F(ScriptComponent, DeepNestingIsASyntaxErrorNotAStackOverflow) {
  auto CompileError = [this](const std::string& Text) -> std::string {
    S.SetText(Text);
    try {
      S.Compile();
    } catch (const ESyntaxError& E) {
      return E.Detail();
    }
    return "";
  };
  const std::string TooDeep = "Script nested too deeply (more than 500 levels)";
  EXPECT_EQ(CompileError("r := " + std::string(20000, '(') + "1" + std::string(20000, ')')), TooDeep);
  std::string Chain = "x := 1; r := x";
  for (int I = 0; I < 20000; ++I) Chain += " + x";
  EXPECT_EQ(CompileError(Chain), TooDeep);
  std::string Nots = "b := true; r := ";
  for (int I = 0; I < 20000; ++I) Nots += "not ";
  EXPECT_EQ(CompileError(Nots + "b"), TooDeep);
  std::string Blocks;
  for (int I = 0; I < 20000; ++I) Blocks += "begin ";
  EXPECT_EQ(CompileError(Blocks), TooDeep);
  std::string Ifs;
  for (int I = 0; I < 20000; ++I) Ifs += "if true then ";
  EXPECT_EQ(CompileError(Ifs + "r := 1"), TooDeep);

  // Up to the limit they compile and run: SCRIPT, SET and 497 additions are 500 levels.
  std::string Long = "x := 1; r := x";
  for (int I = 0; I < 497; ++I) Long += " + x";
  S.SetText(Long);
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("R"), TValue(498));
  EXPECT_EQ(CompileError(Long + " + x"), TooDeep);
  std::string DeepIfs;
  for (int I = 0; I < 490; ++I) DeepIfs += "if true then ";
  S.SetText(DeepIfs + "r := 7");
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("R"), TValue(7));
  S.SetText("x := 2; r := " + std::string(240, '(') + "x" + std::string(240, ')') + " * 3");
  EXPECT_TRUE(S.Execute());
  EXPECT_EQ(Value("R"), TValue(6));
}
