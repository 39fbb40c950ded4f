#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "foundation/ProcessMessages.h"
#include "script/ScriptFunctions.h"

namespace {

// A built-in as the statements are made: evaluates its call arguments in order.
class TSequenceFunc : public TFunction {
public:
  TSequenceFunc() : TFunction("SEQ", {tbFunc | tbAll | tbOpen}, tbVoid) {}
  void Eval(std::int32_t, const TArgList& Args, TValue&) override {
    for (std::int32_t I = 0; I < Args.Count(); ++I) Args.GetArg(I)->Evaluate();
  }
};

// A loop as "while" is made: its condition (a plain Boolean formal) is read afresh each pass.
class TLoopFunc : public TFunction {
public:
  TLoopFunc() : TFunction("LOOP", {tbBoolean, tbFunc | tbAll | tbOpen}, tbVoid) {}
  bool KeepsArgumentUnevaluated(std::int32_t I) const override { return I == 0; }
  void Eval(std::int32_t, const TArgList& Args, TValue&) override {
    while (Args.Value(0).AsBoolean())
      for (std::int32_t I = 1; I < Args.Count(); ++I) Args.GetArg(I)->Evaluate();
  }
};

class ScriptEvaluation : public ::testing::Test {
protected:
  ScriptEvaluation() {
    Funcs.AddBuiltin(std::make_unique<TSequenceFunc>());
    Funcs.AddBuiltin(std::make_unique<TLoopFunc>());
    // SETTO(v, x): v := x, as an assignment statement does.
    Host("SetTo(var all, all)", [](TFunc*, const TArgList& Args, TValue&) {
      Args.Variable(0)->Assign(Args.Value(1));
    });
    Host("Echo(all): all", [](TFunc*, const TArgList& Args, TValue& R) { R = Args.Value(0); });
  }
  ~ScriptEvaluation() override { SetProcessMessagesHook(nullptr); }

  TFunc& Host(const char* Declaration, TFunc::TOnEvalEvent Handler) {
    Hosts.push_back(std::make_unique<TFunc>());
    TFunc& F = *Hosts.back();
    F.SetDeclaration(Declaration);
    F.SetFuncs(&Funcs);
    if (Handler) F.SetOnEval(std::move(Handler));
    return F;
  }
  TVariable& Var(const char* Name) {
    Items.push_back(std::make_unique<TVariable>(Name));
    return *Items.back();
  }
  // An array variable of N elements, as "SetArray" makes it.
  TVariable& ArrayVar(const char* Name, std::int32_t N) {
    TVariable& V = Var(Name);
    V.SetValue(TValue::MakeArray(N));
    V.SetType(tbVoid | tbVar | tbArray);
    return V;
  }

  static std::unique_ptr<TExpr> Const(TValue V, std::int32_t Position = -1) {
    return std::make_unique<TConstExpr>(std::move(V), Position);
  }
  static std::unique_ptr<TExpr> Ref(TVariable& V, std::int32_t Position = -1) {
    return std::make_unique<TVarExpr>(V, Position);
  }
  static std::unique_ptr<TExpr> Element(TVariable& V, TValue Index, std::int32_t Position = -1) {
    return std::make_unique<TArrayExpr>(V, Position, Const(std::move(Index)));
  }
  template <class... Ts>
  std::unique_ptr<TFuncExpr> Call(std::int32_t Position, const char* Name, Ts... Args) {
    auto E = std::make_unique<TFuncExpr>(&Funcs, Position, Name);
    (E->AddArg(std::move(Args)), ...);
    return E;
  }
  // The text of the run-time error that evaluating E raises ("" when it runs).
  static std::string RunError(TExpr& E) {
    try {
      E.Evaluate();
    } catch (const ERuntimeError& Error) {
      return Error.what();
    }
    return "";
  }

  TFuncs Funcs;
  std::vector<std::unique_ptr<TFunc>> Hosts;
  std::vector<std::unique_ptr<TVariable>> Items;
};

}  // namespace

TEST_F(ScriptEvaluation, PlainArgumentsArriveEvaluatedOnceAsConstants) {
  int Calls = 0;
  Host("Count(): integer", [&](TFunc*, const TArgList&, TValue& R) { R = ++Calls; });
  Host("Twice(mult, integer): integer", [](TFunc* Sender, const TArgList& Args, TValue& R) {
    EXPECT_EQ(Sender->Name(), "TWICE");
    EXPECT_TRUE(Args.GetArg(0)->IsConstant());
    EXPECT_EQ(Args.GetArg(2), nullptr);
    EXPECT_EQ(Args.GetArg(-1), nullptr);
    R = Args.Value(0).AsInteger() + Args.Value(0).AsInteger() + Args.Value(1).AsInteger();
  });
  TVariable& X = Var("x");
  X.SetValue(10);
  X.SetType(tbInteger | tbVar);
  auto E = Call(1, "twice", Call(7, "COUNT"), Ref(X));
  EXPECT_EQ(E->GetType(), tbInteger);
  EXPECT_EQ(E->ActualType(), tbInteger | tbFunc);
  EXPECT_EQ(E->Evaluate().AsInteger(), 12);
  EXPECT_EQ(Calls, 1);
}

TEST_F(ScriptEvaluation, VarFormalsGetTheNodeAndFuncFormalsTheUnevaluatedCall) {
  int Runs = 0;
  Host("Thrice(func all)", [&](TFunc*, const TArgList& Args, TValue&) {
    EXPECT_FALSE(Args.GetArg(0)->IsConstant());
    for (int I = 0; I < 3; ++I) Args.GetArg(0)->Evaluate();
  });
  Host("Bump(var integer)", [&](TFunc*, const TArgList& Args, TValue&) {
    ++Runs;
    TVarExpr* V = Args.Variable(0);
    ASSERT_NE(V, nullptr);
    V->Assign(V->Evaluate().AsInteger() + 1);
  });
  TVariable& X = Var("X");
  Call(1, "SETTO", Ref(X), Const(40))->Evaluate();
  EXPECT_EQ(X.Type(), tbInteger | tbVar);
  Call(1, "THRICE", Call(8, "BUMP", Ref(X)))->Evaluate();
  EXPECT_EQ(Runs, 3);
  EXPECT_EQ(X.Value().AsInteger(), 43);
}

TEST_F(ScriptEvaluation, FirstAssignmentFixesTheTypeAndUnassignedReadsFailAtTheVariable) {
  TVariable& X = Var("X");
  EXPECT_EQ(RunError(*Call(3, "ECHO", Ref(X, 8))), "Runtimeerror: Variable X is not defined. [Position 8]");
  EXPECT_EQ(RunError(*Call(3, "SETTO", Ref(X), Const(1))), "");
  EXPECT_EQ(RunError(*Call(3, "SETTO", Ref(X), Const(2))), "");
  EXPECT_EQ(RunError(*Call(3, "SETTO", Ref(X), Const(2.5))),
            "Runtimeerror: Variable X expects type VAR INTEGER instead of type FLOAT. [Position 3]");
  EXPECT_EQ(X.Value().AsInteger(), 2);  // what was stored before the failure stays
  EXPECT_EQ(RunError(*Call(3, "SETTO", Const(1), Const(2))),
            "Runtimeerror: Funktion SETTO expects type VOID instead of type INTEGER at argument 1 [Position 3]");
}

TEST_F(ScriptEvaluation, ArrayElementsAreCheckedOnReadAndStore) {
  TVariable& A = ArrayVar("A", 3);
  EXPECT_EQ(RunError(*Call(1, "ECHO", Element(A, 0))), "Runtimeerror: Variable A is not defined. [Position 1]");
  EXPECT_EQ(RunError(*Call(1, "SETTO", Element(A, 0), Const("x"))), "");
  EXPECT_EQ(A.Type(), tbString | tbVar | tbArray);
  EXPECT_EQ(Element(A, 0)->ActualType(), tbString | tbVar | tbArray);
  EXPECT_EQ(Call(1, "ECHO", Element(A, 0.0))->Evaluate().AsString(), "x");  // a float index is converted
  EXPECT_EQ(RunError(*Call(1, "SETTO", Element(A, 1), Const(5))),
            "Runtimeerror: Variable A expects type VOID instead of type INTEGER. [Position 1]");
  EXPECT_EQ(RunError(*Call(1, "SETTO", Element(A, 3), Const("y"))),
            "Runtimeerror: Array index out of bounds (A[3]) [Position 1]");
  EXPECT_EQ(RunError(*Call(1, "SETTO", Element(A, -1), Const("y"))),
            "Runtimeerror: Array index out of bounds (A[-1]) [Position 1]");
  EXPECT_EQ(RunError(*Call(1, "ECHO", Element(A, 2))), "Runtimeerror: Variable A[2] is not defined. [Position 1]");
  EXPECT_EQ(RunError(*Call(1, "ECHO", Element(A, 9))), "Runtimeerror: Array index out of bounds (A[9]) [Position 1]");
  EXPECT_EQ(RunError(*Call(1, "ECHO", Element(A, "z"))),
            "Runtimeerror: Could not convert variant of type (String) into type (Integer) [Position 1]");

  TVarExpr Whole(A, 1);
  Whole.ResizeArray(0);
  EXPECT_EQ(A.Value().ArrayHighBound(), 0);
  EXPECT_EQ(A.Value().ArrayItems()[0].AsString(), "x");
  EXPECT_THROW(Whole.ResizeArray(TValue::MaxArrayLength), EValueError);
  TVarExpr Fresh(ArrayVar("B", 2), 1);
  EXPECT_THROW(Fresh.ResizeArray(5), ERTE);

  TVariable& X = Var("X");
  EXPECT_EQ(RunError(*Call(1, "SETTO", Element(X, 0), Const(1))), "Runtimeerror: Variable X is not defined. [Position 1]");
  Call(1, "SETTO", Ref(X), Const(1))->Evaluate();
  EXPECT_EQ(RunError(*Call(1, "ECHO", Element(X, 0))), "Runtimeerror: Variable X is not defined. [Position 1]");
}

TEST_F(ScriptEvaluation, FailuresBecomeRunTimeErrorsAtTheInnermostCall) {
  Host("Boom(): integer", [](TFunc*, const TArgList&, TValue&) { throw std::runtime_error("boom"); });
  Host("Zero(integer): integer", [](TFunc*, const TArgList& Args, TValue& R) { R = ValueIntDiv(1, Args.Value(0)); });
  Host("Quiet()", [](TFunc*, const TArgList&, TValue& R) { R = 1; });
  Host("Empty(): integer", [](TFunc*, const TArgList&, TValue&) {});
  Host("NoHandler()", nullptr);
  Host("Pair(mult, mult)", [](TFunc*, const TArgList&, TValue&) {});

  EXPECT_EQ(RunError(*Call(1, "ECHO", Call(6, "BOOM"))), "Runtimeerror: boom [Position 6]");
  EXPECT_EQ(RunError(*Call(2, "ZERO", Const(0))), "Runtimeerror: Division by zero [Position 2]");
  EXPECT_EQ(RunError(*Call(2, "QUIET")), "Runtimeerror: Function QUIET returns type INTEGER instead of VOID [Position 2]");
  EXPECT_EQ(RunError(*Call(2, "EMPTY")), "Runtimeerror: Function EMPTY returns type VOID instead of INTEGER [Position 2]");
  EXPECT_EQ(RunError(*Call(2, "NOHANDLER")),
            "Runtimeerror: Can't evaluate function NOHANDLER. Event OnEval/OnExEval not definied! [Position 2]");
  EXPECT_EQ(RunError(*Call(4, "PAIR", Const(1))),
            "Runtimeerror: Not enough arguments for function PAIR (1 instead of 2). [Position 4]");

  try {
    TFuncExpr E(&Funcs, 4, "nope");
    FAIL();
  } catch (const ESyntaxError& Error) {
    EXPECT_STREQ(Error.what(), "Syntaxerror: Function NOPE is not defined [Position 4]");
  }
}

TEST_F(ScriptEvaluation, TheStopFlagEndsTheRunBeforeTheNextCallBuiltInOrHost) {
  int Marks = 0;
  Host("Mark()", [&](TFunc*, const TArgList&, TValue&) { ++Marks; });
  Host("StopNow()", [this](TFunc*, const TArgList&, TValue&) { Funcs.SetStopped(true); });

  auto Run = Call(1, "SEQ", Call(5, "MARK"), Call(12, "STOPNOW"), Call(20, "MARK"));
  EXPECT_EQ(RunError(*Run), "Runtimeerror: Script stopped. [Position 20]");
  EXPECT_EQ(Marks, 1);
  EXPECT_EQ(RunError(*Call(1, "SEQ")), "Runtimeerror: Script stopped. [Position 1]");  // a built-in too
  Funcs.SetStopped(false);
  EXPECT_EQ(RunError(*Call(1, "SEQ", Call(5, "MARK"))), "");
  EXPECT_EQ(Marks, 2);
}

TEST_F(ScriptEvaluation, PendingMessagesAreProcessedAfterEveryCall) {
  int Pumps = 0;
  std::vector<int> MarksAtPump;
  int Marks = 0;
  Host("Mark()", [&](TFunc*, const TArgList&, TValue&) { ++Marks; });
  SetProcessMessagesHook([&] {
    ++Pumps;
    MarksAtPump.push_back(Marks);
  });
  Call(1, "SEQ", Call(5, "MARK"), Call(12, "MARK"))->Evaluate();
  EXPECT_EQ(Pumps, 3);
  EXPECT_EQ(MarksAtPump, (std::vector<int>{1, 2, 2}));
}

TEST_F(ScriptEvaluation, LoopConditionIsPassedUnevaluatedAndReadEachPass) {
  TVariable& Flag = Var("FLAG");
  Call(1, "SETTO", Ref(Flag), Const(true))->Evaluate();
  int Passes = 0;
  Host("Pass()", [&](TFunc*, const TArgList&, TValue&) { ++Passes; });
  Call(1, "LOOP", Ref(Flag), Call(2, "PASS"), Call(3, "SETTO", Ref(Flag), Const(false)))->Evaluate();
  EXPECT_EQ(Passes, 1);
}

TEST_F(ScriptEvaluation, ExEvalReceivesTheMatchedPatternAndEachHandlerClearsTheOther) {
  TFunc& F = Host("Pick(mult), (string), (boolean): integer", nullptr);
  F.SetOnExEval([](TFunc*, std::int32_t Pat, const TArgList&, TValue& R) { R = Pat; });
  EXPECT_EQ(Call(1, "PICK", Const("a"))->Evaluate().AsInteger(), 1);
  EXPECT_EQ(Call(1, "PICK", Const(false))->Evaluate().AsInteger(), 2);
  F.SetOnEval([](TFunc*, const TArgList&, TValue& R) { R = 99; });
  EXPECT_FALSE(F.OnExEval());
  EXPECT_EQ(Call(1, "PICK", Const("a"))->Evaluate().AsInteger(), 99);
  F.SetOnExEval([](TFunc*, std::int32_t Pat, const TArgList&, TValue& R) { R = Pat; });
  EXPECT_FALSE(F.OnEval());
  EXPECT_EQ(Call(1, "PICK", Const(1.5))->Evaluate().AsInteger(), 0);
}

TEST(FuncRegistration, RefusesTakenNamesAndFollowsTheComponentsLifetime) {
  TFuncs Funcs;
  Funcs.AddBuiltin(std::make_unique<TSequenceFunc>());
  auto Print = std::make_unique<TFunc>();
  Print->SetDeclaration("Print( string )");
  Print->SetFuncs(&Funcs);
  Print->SetOnEval([](TFunc*, const TArgList&, TValue&) {});
  ASSERT_NE(Print->Registered(), nullptr);
  EXPECT_EQ(Print->Registered()->Funcs(), &Funcs);
  EXPECT_EQ(Funcs.FindFunction("PRINT"), Print->Registered());
  EXPECT_EQ(Funcs.FindFunction("SEQ")->Funcs(), nullptr);  // built-ins belong to no registry

  for (const char* Taken : {"print(integer)", "Seq()"}) {
    TFunc Again;
    Again.SetDeclaration(Taken);
    try {
      Again.SetFuncs(&Funcs);
      ADD_FAILURE() << Taken;
    } catch (const EScriptUsage& E) {
      EXPECT_EQ(E.what(), "A function with this name (\"" + Again.Name() + "\") is already existing");
    }
    EXPECT_EQ(Again.Funcs(), nullptr);
    EXPECT_EQ(Again.Registered(), nullptr);
  }

  // A later declaration does not change what was registered.
  Print->SetDeclaration("Show( integer )");
  EXPECT_NE(Funcs.FindFunction("PRINT"), nullptr);
  EXPECT_EQ(Funcs.FindFunction("SHOW"), nullptr);

  // A call made before the function left the registry finds that it is gone.
  auto Node = std::make_unique<TFuncExpr>(&Funcs, 1, "PRINT");
  Node->AddArg(std::make_unique<TConstExpr>(TValue("hi"), 7));
  Print.reset();
  EXPECT_EQ(Funcs.FindFunction("PRINT"), nullptr);
  try {
    Node->Evaluate();
    FAIL();
  } catch (const ERuntimeError& E) {
    EXPECT_STREQ(E.what(), "Runtimeerror: Function PRINT is not defined [Position 1]");
  }
  // ...and the one registered under that name later.
  int Printed = 0;
  TFunc Replacement;
  Replacement.SetDeclaration("Print( string )");
  Replacement.SetFuncs(&Funcs);
  Replacement.SetOnEval([&](TFunc*, const TArgList& Args, TValue&) { Printed += Args.Value(0).AsString() == "hi"; });
  Node->Evaluate();
  EXPECT_EQ(Printed, 1);

  Replacement.SetFuncs(nullptr);
  EXPECT_EQ(Funcs.FindFunction("PRINT"), nullptr);
}

TEST(FuncRegistration, AComponentForgetsARegistryThatGoesAway) {
  TFunc F;
  F.SetDeclaration("GetZoneCount(): integer");
  {
    TFuncs Funcs;
    F.SetFuncs(&Funcs);
    EXPECT_EQ(F.Funcs(), &Funcs);
  }
  EXPECT_EQ(F.Funcs(), nullptr);
  EXPECT_EQ(F.Registered(), nullptr);
  TFuncs Other;
  F.SetFuncs(&Other);
  EXPECT_NE(Other.FindFunction("GETZONECOUNT"), nullptr);
}
