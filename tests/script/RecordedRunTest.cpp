// Whole programs with everything a run leaves behind: every variable's value, the error text
// with its position, and how many times pending messages were processed. The expected texts
// were recorded from the interpreter as it evaluated every operator through the full checked
// call, so the faster evaluation of operators and statements must give the same bytes.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "foundation/ProcessMessages.h"
#include "script/Script.h"

namespace {

// "-" for empty, else the kind's letter and the text ("I:3"); an array with its elements.
std::string Show(const TValue& V) {
  if (V.IsArray()) {
    std::string S = "A[";
    for (const TValue& E : V.ArrayItems()) S += (S.size() > 2 ? "," : "") + Show(E);
    return S + "]";
  }
  static const char* const Letters[] = {"-", "B:", "I:", "F:", "S:"};
  return V.IsEmpty() ? "-" : Letters[V.Kind()] + V.AsString();
}

class RecordedRun : public ::testing::Test {
protected:
  RecordedRun() {
    // Bump(v): v := v + 1, and the new value.
    Host("Bump(var integer): integer", [](TFunc*, const TArgList& Args, TValue& R) {
      TVarExpr* V = Args.Variable(0);
      V->Assign(TValue(V->Evaluate().AsInteger() + 1));
      R = V->Evaluate();
    });
    Host("Twice(integer): integer", [](TFunc*, const TArgList& Args, TValue& R) { R = Args.Value(0).AsInteger() * 2; });
    // Half(n): an integer for an even n, else a float.
    Host("Half(integer): mult", [](TFunc*, const TArgList& Args, TValue& R) {
      const std::int32_t N = Args.Value(0).AsInteger();
      R = N % 2 == 0 ? TValue(N / 2) : TValue(N / 2.0);
    });
    Host("Fail(integer): integer", [](TFunc*, const TArgList& Args, TValue& R) {
      if (Args.Value(0).AsInteger() < 0) throw EValueError("host failed");
      R = Args.Value(0);
    });
    Host("Stop()", [this](TFunc*, const TArgList&, TValue&) { Funcs.SetStopped(true); });
    // Wrong(): declared Boolean, gives an integer.
    Host("Wrong(): boolean", [](TFunc*, const TArgList&, TValue& R) { R = 1; });
    // Again(f): evaluates its call argument twice and gives the second value.
    Host("Again(func all): all", [](TFunc*, const TArgList& Args, TValue& R) {
      Args.GetArg(0)->Evaluate();
      R = Args.GetArg(0)->Evaluate();
    });
    S.SetFunctions(&Funcs);
  }
  ~RecordedRun() override { SetProcessMessagesHook(nullptr); }

  void Host(const char* Declaration, TFunc::TOnEvalEvent Handler) {
    Hosts.push_back(std::make_unique<TFunc>());
    Hosts.back()->SetDeclaration(Declaration);
    Hosts.back()->SetFuncs(&Funcs);
    Hosts.back()->SetOnEval(std::move(Handler));
  }

  // Compiles and runs Text (setting the stop flag at pump StopAt when it is not 0), then gives
  // the variables in order of creation, the error and the pumps.
  std::string Record(const std::string& Text, int StopAt = 0) {
    int Pumps = 0;
    SetProcessMessagesHook([&] {
      if (++Pumps == StopAt) Funcs.SetStopped(true);
    });
    S.SetText(Text);
    std::string Out;
    try {
      if (!S.Execute()) Out = "refused";
    } catch (const std::exception& E) {
      Out = E.what();
    }
    SetProcessMessagesHook(nullptr);
    for (std::int32_t I = 0; I < S.DataItemCount(); ++I) {
      const TDataItem* Item = S.DataItems(I);
      if (Item->IsConstant()) continue;
      Out += " " + Item->Name() + "=" + Show(Item->Value()) + "/" + TypeToText(Item->Type());
    }
    return Out + " pumps=" + std::to_string(Pumps);
  }

  struct TCase {
    const char* Text;
    const char* Expected;
    int StopAt = 0;
  };
  void RunTable(const std::vector<TCase>& Cases) {
    for (const TCase& C : Cases) {
      EXPECT_EQ(Record(C.Text, C.StopAt), C.Expected) << C.Text;
    }
  }

  TFuncs Funcs;
  std::vector<std::unique_ptr<TFunc>> Hosts;
  TScript S;
};

TEST_F(RecordedRun, ArithmeticComparisonsAndTheirErrors) {
  RunTable({
      {"a := 7; b := 2; r := a + b * 3 - a div b + a mod b; f := a / b; n := -a",
       " A=I:7/VAR INTEGER B=I:2/VAR INTEGER R=I:11/VAR INTEGER F=F:3.5/VAR FLOAT N=I:-7/VAR INTEGER pumps=14"},
      {"a := 1.5; b := 2; r := a + b; s := a * b - b / 4; t := b - a; c := a > b; d := a = 1.5; e := b <= a",
       " A=F:1.5/VAR FLOAT B=I:2/VAR INTEGER R=F:3.5/VAR FLOAT S=F:2.5/VAR FLOAT T=F:0.5/VAR FLOAT C=B:False/VAR BOOLEAN D=B:True/VAR BOOLEAN E=B:False/VAR BOOLEAN pumps=17"},
      {"a := 2147483647; b := a + 1; c := a * a; x := 0 - 2147483647 - 1; y := -x; z := x - 1",
       " A=I:2147483647/VAR INTEGER B=I:-2147483648/VAR INTEGER C=I:1/VAR INTEGER X=I:-2147483648/VAR INTEGER Y=I:-2147483648/VAR INTEGER Z=I:2147483647/VAR INTEGER pumps=13"},
      {"a := 0; r := 5 div a", "Runtimeerror: Division by zero [Position 16] A=I:0/VAR INTEGER R=-/VOID pumps=1"},
      {"a := 0; r := 1 + (2 * (3 mod a))",
       "Runtimeerror: Division by zero [Position 26] A=I:0/VAR INTEGER R=-/VOID pumps=1"},
      {"a := -2147483647 - 1; b := -1; r := a div b",
       "Runtimeerror: Integer overflow [Position 39] A=I:-2147483648/VAR INTEGER B=I:-1/VAR INTEGER R=-/VOID pumps=3"},
      {"a := 0; r := 1 / a", "Runtimeerror: Division by zero [Position 16] A=I:0/VAR INTEGER R=-/VOID pumps=1"},
      {"a := 1e300; r := a * a",
       "Runtimeerror: Floating point overflow [Position 20] A=F:1E300/VAR FLOAT R=-/VOID pumps=1"},
      {"a := 7.6; r := a div 2",
       "Runtimeerror: Funktion DIV expects type INTEGER instead of type VAR FLOAT at argument 1 [Position 18] A=F:7.6/VAR FLOAT R=-/VOID pumps=1"},
      {"a := 5; r := not a",
       "Runtimeerror: Funktion NOT expects type BOOLEAN instead of type VAR INTEGER at argument 1 [Position 14] A=I:5/VAR INTEGER R=-/VOID pumps=1"},
      {"a := 2.5; r := -a; b := 3; s := -b; c := a <> b; d := b >= 3",
       " A=F:2.5/VAR FLOAT R=F:-2.5/VAR FLOAT B=I:3/VAR INTEGER S=I:-3/VAR INTEGER C=B:True/VAR BOOLEAN D=B:True/VAR BOOLEAN pumps=11"},
      {"a := 3; r := ((a + 1) * (a - 1)) div (a mod 2 + 1) - (a * a) + a * 2.5",
       " A=I:3/VAR INTEGER R=F:2.5/VAR FLOAT pumps=13"},
      {"const K = 3; a := K; r := K * 2 + a; s := a * K",
       " A=I:3/VAR INTEGER R=I:9/VAR INTEGER S=I:9/VAR INTEGER pumps=7"},
      {"r := q + 1",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (VOID, INTEGER)\n\rParameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + [Position 8] R=-/VOID Q=-/VOID pumps=0"},
      {"r := 1; r := 'a'",
       "Runtimeerror: Variable R expects type VAR INTEGER instead of type STRING. [Position 9] R=I:1/VAR INTEGER pumps=1"},
      {"r := 1.5; r := 2",
       "Runtimeerror: Variable R expects type VAR FLOAT instead of type INTEGER. [Position 11] R=F:1.5/VAR FLOAT pumps=1"},
  });
}

TEST_F(RecordedRun, BooleansAndTexts) {
  RunTable({
      {"a := true; b := false; r := a and b; s := a or b; t := a xor b; u := not b; c := a > b; d := a = b",
       " A=B:True/VAR BOOLEAN B=B:False/VAR BOOLEAN R=B:False/VAR BOOLEAN S=B:True/VAR BOOLEAN T=B:True/VAR BOOLEAN U=B:True/VAR BOOLEAN C=B:True/VAR BOOLEAN D=B:False/VAR BOOLEAN pumps=15"},
      {"s := 'ab'; t := s + 'cd'; c := s < t; e := s = 'ab'; l := length(t); u := copy(t, 2, 2); p := pos('c', t)",
       " S=S:ab/VAR STRING T=S:abcd/VAR STRING C=B:True/VAR BOOLEAN E=B:True/VAR BOOLEAN L=I:4/VAR INTEGER U=S:bc/VAR STRING P=I:3/VAR INTEGER pumps=14"},
      {"s := 'ab'; r := s + 1",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (VAR STRING, INTEGER)\n\rParameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + [Position 19] S=S:ab/VAR STRING R=-/VOID pumps=1"},
      {"a := 'x'; b := 1; r := a < b",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (VAR STRING, VAR INTEGER)\n\rParameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\r(BOOLEAN, BOOLEAN)\n\rFunction: < [Position 26] A=S:x/VAR STRING B=I:1/VAR INTEGER R=-/VOID pumps=2"},
      {"a := 1; if a then b := 2",
       "Runtimeerror: Funktion IF expects type BOOLEAN instead of type VAR INTEGER at argument 1 [Position 9] A=I:1/VAR INTEGER B=-/VOID pumps=1"},
      {"s := 'a'; for i := 1 to 3 do s := s + s; t := s + IntToStr(length(s))",
       " S=S:aaaaaaaa/VAR STRING I=I:4/VAR INTEGER T=S:aaaaaaaa8/VAR STRING pumps=13"},
      {"r := format('%d-%s', 3, 'x'); n := StrToInt('42') + 1", " R=S:3-x/VAR STRING N=I:43/VAR INTEGER pumps=6"},
      {"x := 'ab'; x := x; y := x + x; x := y + x", " X=S:ababab/VAR STRING Y=S:abab/VAR STRING pumps=7"},
  });
}

TEST_F(RecordedRun, StatementsAndLoops) {
  RunTable({
      {"s := 0; for i := 1 to 10 do if i mod 2 = 0 then s := s + i else s := s - 1; j := 10; repeat j := j - 3 until j < 0; k := 0; while k < 5 do k := k + 2",
       " S=I:25/VAR INTEGER I=I:11/VAR INTEGER J=I:-2/VAR INTEGER K=I:6/VAR INTEGER pumps=79"},
      {"s := ''; for i := 5 downto 1 do s := s + IntToStr(i)", " S=S:54321/VAR STRING I=I:0/VAR INTEGER pumps=18"},
      {"n := 0; for i := 1 to 10 do begin i := i + 1; n := n + 1 end",
       " N=I:5/VAR INTEGER I=I:11/VAR INTEGER pumps=28"},
      {"x := 'a'; for x := 1 to 3 do ;",
       "Runtimeerror: Funktion FOR expects type VOID instead of type VAR STRING at argument 1 [Position 11] X=S:a/VAR STRING pumps=1"},
      {"i := 0; while i < 3 do begin if i = 1 then v := 10; if i > 1 then w := v + i; i := i + 1 end",
       " I=I:3/VAR INTEGER V=I:10/VAR INTEGER W=I:12/VAR INTEGER pumps=31"},
      {"i := 0; while i < 3 do begin w := v + i; v := 1; i := i + 1 end",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (VOID, VAR INTEGER)\n\rParameter patterns:\n\r(INTEGER/FLOAT, INTEGER/FLOAT)\n\r(STRING, STRING)\n\rFunction: + [Position 37] I=I:0/VAR INTEGER W=-/VOID V=-/VOID pumps=2"},
      {"a := 1; inc(a); inc(a, 5); dec(a); f := 1.5; inc(f, 2); dec(f, 0.25)",
       " A=I:6/VAR INTEGER F=F:3.25/VAR FLOAT pumps=8"},
      {"a := 1; while a do a := 0",
       "Runtimeerror: The arguments don't fit to a parameter pattern:\n\rArguments: (VAR INTEGER, VOID)\n\rParameter patterns:\n\r(FUNC BOOLEAN, VOID)\n\r(BOOLEAN, VOID)\n\rFunction: WHILE [Position 9] A=I:1/VAR INTEGER pumps=1"},
      {"i := 0; repeat i := i + 1; if i = 2 then j := i until i >= 4", " I=I:4/VAR INTEGER J=I:2/VAR INTEGER pumps=24"},
      {"begin end; ; begin ; x := 1; end", "Syntaxerror: \";\" expected. [Position 14] pumps=0"},
  });
}

TEST_F(RecordedRun, Arrays) {
  RunTable({
      {"SetArray(a, 5); for i := 0 to 4 do a[i] := i * i; s := 0; for i := 0 to 4 do s := s + a[i]; t := Type(a); e := Type(a[2])",
       " A=A[I:0,I:1,I:4,I:9,I:16]/ARRAY VAR INTEGER I=I:5/VAR INTEGER S=I:30/VAR INTEGER T=I:65/VAR INTEGER E=I:4/VAR INTEGER pumps=29"},
      {"SetArray(b, 3); b[0] := 'x'; b[1] := b[0] + 'y'; n := length(b)",
       " B=A[S:x,S:xy,-]/ARRAY VAR STRING N=I:3/VAR INTEGER pumps=7"},
      {"SetArray(a, 3); a[3] := 1",
       "Runtimeerror: Array index out of bounds (A[3]) [Position 17] A=A[-,-,-]/VOID pumps=1"},
      {"SetArray(a, 3); a[0] := 1; r := a[1]",
       "Runtimeerror: Variable A[1] is not defined. [Position 28] A=A[I:1,-,-]/ARRAY VAR INTEGER R=-/VOID pumps=2"},
      {"SetArray(a, 3); a[0] := 1; a[1] := 'x'",
       "Runtimeerror: Variable A expects type VOID instead of type STRING. [Position 28] A=A[I:1,-,-]/ARRAY VAR INTEGER pumps=2"},
      {"SetArray(a, 2); a[0] := 1; a[1] := 2; r := a[0] + a[5]",
       "Runtimeerror: Array index out of bounds (A[5]) [Position 49] A=A[I:1,I:2]/ARRAY VAR INTEGER R=-/VOID pumps=3"},
      {"SetArray(a, 2); a[0] := 1; a[1] := 2; r := a[-1] * 2",
       "Runtimeerror: Array index out of bounds (A[-1]) [Position 50] A=A[I:1,I:2]/ARRAY VAR INTEGER R=-/VOID pumps=3"},
      {"SetArray(a, 3); a[1.4] := 7; r := a[1]; a[a[1] - 5] := 3",
       " A=A[-,I:7,I:3]/ARRAY VAR INTEGER R=I:7/VAR INTEGER pumps=6"},
      {"SetArray(a, 2); a[0] := 1; a[1] := 2; b := a; b[0] := 5; r := a[0]; s := b[0]; a := b",
       " A=A[I:5,I:2]/ARRAY VAR INTEGER B=A[I:5,I:2]/ARRAY VAR INTEGER R=I:1/VAR INTEGER S=I:5/VAR INTEGER pumps=9"},
      {"SetArray(a, 2); a[0] := 1.5; a[1] := a[0] * 2; SetArray(a, 3); a[2] := a[1] + a[0]",
       " A=A[F:1.5,F:3,F:4.5]/ARRAY VAR FLOAT pumps=8"},
      {"x := 1; r := x[0]", "Runtimeerror: Variable X is not defined. [Position 9] X=I:1/VAR INTEGER R=-/VOID pumps=1"},
      {"SetArray(a, 2); a[0] := 2; a[1] := 3; r := a[a[0] - 1] + a[a[1] - 3]",
       " A=A[I:2,I:3]/ARRAY VAR INTEGER R=I:5/VAR INTEGER pumps=8"},
  });
}

TEST_F(RecordedRun, HostCallsAmongTheOperators) {
  RunTable({
      {"x := 1; r := x + Bump(x); s := Bump(x) + x; t := x * Bump(x) - x",
       " X=I:4/VAR INTEGER R=I:3/VAR INTEGER S=I:6/VAR INTEGER T=I:8/VAR INTEGER pumps=12"},
      {"i := 0; while Twice(i) < 10 do i := i + 1", " I=I:5/VAR INTEGER pumps=25"},
      {"r := Half(3) + 1; s := Half(4) * 2; t := Half(5) > Half(4)",
       " R=F:2.5/VAR FLOAT S=I:4/VAR INTEGER T=B:True/VAR BOOLEAN pumps=11"},
      {"r := 1 + Fail(-1)", "Runtimeerror: host failed [Position 10] R=-/VOID pumps=0"},
      {"a := 2; r := a * Fail(a - 5) + 1",
       "Runtimeerror: host failed [Position 18] A=I:2/VAR INTEGER R=-/VOID pumps=2"},
      {"i := 0; while true do begin i := i + 1; if i = 3 then Stop() end",
       "Runtimeerror: Script stopped. [Position 23] I=I:3/VAR INTEGER pumps=17"},
      {"i := 0; while true do begin i := i + 1; if i > 2 then begin Stop(); j := i * 2 end end",
       "Runtimeerror: Script stopped. [Position 69] I=I:3/VAR INTEGER J=-/VOID pumps=15"},
      {"r := Wrong(); s := 1",
       "Runtimeerror: Function WRONG returns type INTEGER instead of BOOLEAN [Position 6] R=-/VOID S=-/VOID pumps=0"},
      {"a := 1; if Wrong() then b := 2",
       "Runtimeerror: Function WRONG returns type INTEGER instead of BOOLEAN [Position 12] A=I:1/VAR INTEGER B=-/VOID pumps=1"},
      {"x := 1; r := Again(Bump(x)) + Again(x + 1)", " X=I:3/VAR INTEGER R=I:7/VAR INTEGER pumps=10"},
      {"x := 1; r := Again(x + Bump(x))", " X=I:3/VAR INTEGER R=I:5/VAR INTEGER pumps=8"},
  });
}

TEST_F(RecordedRun, TheStopFlagSetByTheWindowSystem) {
  RunTable({
      {"i := 0; s := 0; while i < 100 do begin if i mod 3 = 0 then s := s + 2 * (i mod 100) else s := s - 1; i := i + 1 end",
       "Runtimeerror: Script stopped. [Position 102] I=I:0/VAR INTEGER S=I:0/VAR INTEGER pumps=10", 7},
      {"i := 0; s := 0; while i < 100 do begin if i mod 3 = 0 then s := s + 2 * (i mod 100) else s := s - 1; i := i + 1 end",
       "Runtimeerror: Script stopped. [Position 25] I=I:4/VAR INTEGER S=I:4/VAR INTEGER pumps=42", 40},
      {"i := 0; s := 0; while i < 100 do begin if i mod 3 = 0 then s := s + 2 * (i mod 100) else s := s - 1; i := i + 1 end",
       " I=I:100/VAR INTEGER S=I:3300/VAR INTEGER pumps=973"},
      {"SetArray(a, 10); for i := 0 to 9 do a[i] := i mod 3; s := 0; for i := 9 downto 0 do s := s + a[i]",
       "Runtimeerror: Script stopped. [Position 62] A=A[I:0,I:1,I:2,I:0,I:1,I:2,I:0,I:1,I:2,I:0]/ARRAY VAR INTEGER I=I:10/VAR INTEGER S=I:0/VAR INTEGER pumps=23", 23},
      {"x := 0; repeat until x = 1", "Runtimeerror: Script stopped. [Position 24] X=I:0/VAR INTEGER pumps=50", 50},
      {"for i := 1 to 2000000000 do", "Runtimeerror: Script stopped. [Position 26] I=I:31/VAR INTEGER pumps=30", 30},
      {"s := ''; while length(s) < 10 do s := s + 'ab'",
       "Runtimeerror: Script stopped. [Position 26] S=S:abab/VAR STRING pumps=9", 9},
  });
}

}  // namespace

namespace {

TEST(CallSiteMatch, AVariableGivenAnotherTypeByTheHostIsMatchedAfresh) {
  TFuncs Funcs;
  TScript S;
  S.SetFunctions(&Funcs);
  S.SetText("r := x + y");
  ASSERT_TRUE(S.Compile());
  auto Give = [&S](const char* Name, TValue V) {
    TVariable* Var = S.GetVariable(Name);
    Var->SetType(VariantTypeBits(V) | tbVar);
    Var->SetValue(std::move(V));
  };
  Give("X", TValue(1));
  Give("Y", TValue(2));
  ASSERT_TRUE(S.Execute());
  EXPECT_EQ(S.FindDataItem("R")->Value(), TValue(3));

  Give("Y", TValue("a"));
  try {
    S.Execute();
    ADD_FAILURE() << "an integer and a text were added";
  } catch (const ERuntimeError& E) {
    EXPECT_NE(std::string(E.what()).find("Arguments: (VAR INTEGER, VAR STRING)"), std::string::npos) << E.what();
    EXPECT_EQ(E.Position(), 8);
  }

  Give("X", TValue("b"));
  Give("R", TValue("-"));
  ASSERT_TRUE(S.Execute());
  EXPECT_EQ(S.FindDataItem("R")->Value(), TValue("ba"));
}

}  // namespace
