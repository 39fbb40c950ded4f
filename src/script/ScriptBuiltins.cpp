// The built-in functions of the script language: the statements (blocks, assignment, IF and
// the loops), the operators and the small library of number, text and date functions. Every
// call is checked against the patterns before Eval runs, so Eval may rely on them: a plain
// formal arrives as a constant node holding its value, a VAR formal as the variable or
// element node, a FUNC formal as the unevaluated call.
#include <cmath>
#include <limits>

#include "foundation/NumberText.h"
#include "foundation/ProcessMessages.h"
#include "script/ScriptFunctions.h"
#include "script/ScriptLibrary.h"

namespace {

constexpr TTypeBits B = tbBoolean, I = tbInteger, F = tbFloat, S = tbString, Mult = tbMult, Add = tbAdd,
                    All = tbAll;
constexpr TTypeBits Body = tbFunc | tbAll | tbOpen;  // statements, evaluated in order

// The value of a plain argument.
const TValue& Value(const TArgList& Args, std::int32_t Index) {
  TExpr* E = Args.GetArg(Index);
  if (!E || E->Kind() != ekConst) throw ERTE("Invalid argument");
  return static_cast<TConstExpr*>(E)->Value();
}

TVarExpr& Variable(const TArgList& Args, std::int32_t Index) {
  TVarExpr* V = Args.Variable(Index);
  if (!V) throw ERTE("Invalid argument");
  return *V;
}

// An argument read in place where it can be: a constant's value, a variable's or an element's
// (checked as their Eval checks them); any other node is evaluated into Temp.
inline const TValue& ReadArg(TExpr* E, TValue& Temp) {
  const TExprKind Kind = E->Kind();
  if (Kind == ekVariable) return static_cast<TVarExpr*>(E)->Read();
  if (Kind == ekConst) return static_cast<TConstExpr*>(E)->Value();
  if (Kind == ekElement) return static_cast<TArrayExpr*>(E)->Element();
  E->Eval(Temp);
  return Temp;
}

// A call node's own argument nodes, read as a TArgList is.
class TNodeArgs {
public:
  explicit TNodeArgs(const std::vector<std::unique_ptr<TExpr>>& Args) : FArgs(Args) {}
  std::int32_t Count() const { return static_cast<std::int32_t>(FArgs.size()); }
  TExpr* GetArg(std::int32_t I) const { return FArgs[static_cast<std::size_t>(I)].get(); }

private:
  const std::vector<std::unique_ptr<TExpr>>& FArgs;
};

template <class TArgs>
void RunStatements(const TArgs& Args, std::int32_t From) {
  TValue Dropped;
  for (std::int32_t K = From; K < Args.Count(); ++K) Args.GetArg(K)->Eval(Dropped);
}

// A loop whose pass runs no call at all (an empty body and a condition that is a constant or a
// variable) would never meet the stop flag nor the step budget nor let the window breathe:
// such a pass is a step of its own, checks the flag and processes pending messages itself.
void EmptyPass(TFuncs* Registry) {
  if (Registry) {
    if (Registry->Stopped()) throw EStop();
    Registry->Step();
  }
  ProcessMessages();
}

using ValueDetail::Wrap;

// "While" and "Repeat": the condition (argument 0, unevaluated) is read afresh in every pass.
template <class TArgs>
void RunLoop(const TArgs& Args, bool TestFirst, TFuncs* Registry) {
  TExpr* Condition = Args.GetArg(0);
  TValue C;
  const bool Empty = Args.Count() <= 1;
  if (TestFirst) {
    while (ReadArg(Condition, C).AsBoolean()) {
      RunStatements(Args, 1);
      if (Empty) EmptyPass(Registry);
    }
  } else {
    do {
      RunStatements(Args, 1);
      if (Empty) EmptyPass(Registry);
    } while (!ReadArg(Condition, C).AsBoolean());
  }
}

// "For" (variable, start, end, step, body): the variable is read afresh at each test.
template <class TArgs>
void RunFor(const TArgs& Args, TVarExpr& V, std::int32_t Start, std::int32_t End, std::int32_t Step,
            TFuncs* Registry) {
  V.Assign(TValue(Start));
  TValue Current;
  for (;;) {
    V.Eval(Current);
    const std::int32_t C = Current.AsInteger();
    if (Step > 0 ? (C < Start || C > End) : (C > Start || C < End)) break;
    RunStatements(Args, 4);
    if (Args.Count() <= 4) EmptyPass(Registry);
    V.Eval(Current);
    V.Assign(TValue(Wrap(static_cast<std::int64_t>(Current.AsInteger()) + Step)));
  }
}

// A built-in whose Eval is a plain function of its arguments.
class TSimpleFunc : public TFunction {
public:
  using TBody = void (*)(std::int32_t Pat, const TArgList& Args, TValue& Result);
  TSimpleFunc(const char* Name, std::vector<std::vector<TTypeBits>> Patterns, TTypeBits ResultType, TBody Run,
              TBuiltinOp Op = boNone)
      : TFunction(Name, ResultType), FRun(Run) {
    for (auto& P : Patterns) AddPattern(TTypes(std::move(P)));
    SetBuiltin(Op);
  }
  void Eval(std::int32_t Pat, const TArgList& Args, TValue& Result) override { FRun(Pat, Args, Result); }

private:
  TBody FRun;
};

// "Script" and "Begin": the statements in order.
class TBeginFunc : public TFunction {
public:
  explicit TBeginFunc(const char* Name) : TFunction(Name, {Body}, tbVoid) { SetBuiltin(boBegin); }
  void Eval(std::int32_t, const TArgList& Args, TValue&) override { RunStatements(Args, 0); }
};

class TLoopFunc : public TFunction {
public:
  TLoopFunc(const char* Name, bool TestFirst, TFuncs* Registry)
      : TFunction(Name, tbVoid), FTestFirst(TestFirst), FRegistry(Registry) {
    AddPattern({tbFunc | B, Body});
    AddPattern({B, Body});
    SetBuiltin(TestFirst ? boWhile : boRepeat);
  }
  bool KeepsArgumentUnevaluated(std::int32_t ArgIndex) const override { return ArgIndex == 0; }
  void Eval(std::int32_t, const TArgList& Args, TValue&) override { RunLoop(Args, FTestFirst, FRegistry); }

private:
  bool FTestFirst;
  TFuncs* FRegistry;
};

class TForFunc : public TFunction {
public:
  explicit TForFunc(TFuncs* Registry)
      : TFunction("For", {tbVar | I | tbVoid, I, I, I, Body}, tbVoid), FRegistry(Registry) {
    SetBuiltin(boFor);
  }
  void Eval(std::int32_t, const TArgList& Args, TValue&) override {
    TVarExpr& V = Variable(Args, 0);
    const std::int32_t Start = Value(Args, 1).AsInteger();
    const std::int32_t End = Value(Args, 2).AsInteger();
    const std::int32_t Step = Value(Args, 3).AsInteger();
    RunFor(Args, V, Start, End, Step, FRegistry);
  }

private:
  TFuncs* FRegistry;
};

// An operator as a plain function of its arguments.
template <TBuiltinOp Op>
void Binary(std::int32_t, const TArgList& Args, TValue& R) {
  R = ApplyOperator(Op, Value(Args, 0), Value(Args, 1));
}
template <TBuiltinOp Op>
void Unary(std::int32_t, const TArgList& Args, TValue& R) {
  const TValue& A = Value(Args, 0);
  R = ApplyOperator(Op, A, A);
}

template <TBuiltinOp Op>
void AddComparison(TFuncs& Funcs, const char* Name) {
  Funcs.AddBuiltin(std::make_unique<TSimpleFunc>(Name, std::vector<std::vector<TTypeBits>>{{Mult, Mult}, {S, S}, {B, B}},
                                                 B, Binary<Op>, Op));
}

void AddStep(const TArgList& Args, std::int32_t Pat, bool Up) {
  TVarExpr& V = Variable(Args, 0);
  const TValue Step = Pat == 0 ? TValue(std::int32_t{1}) : Value(Args, 1);
  const TValue Current = V.Evaluate();
  V.Assign(Up ? ValueAdd(Current, Step) : ValueSubtract(Current, Step));
}

std::int32_t Length(const std::string& Text) {
  if (Text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max()))
    throw EValueError("String too long");
  return static_cast<std::int32_t>(Text.size());
}

// Characters Index.. (1-based), Count of them, clipped to the text.
std::string CopyText(const std::string& Text, std::int32_t Index, std::int32_t Count) {
  const std::int64_t Len = static_cast<std::int64_t>(Text.size());
  std::int64_t From = Index < 1 ? 1 : Index;
  if (From > Len || Count <= 0) return std::string();
  const std::int64_t N = std::min<std::int64_t>(Count, Len - From + 1);
  return Text.substr(static_cast<std::size_t>(From - 1), static_cast<std::size_t>(N));
}

}  // namespace

void AddBuiltinFunctions(TFuncs& Funcs) {
  using P = std::vector<std::vector<TTypeBits>>;
  auto Simple = [&Funcs](const char* Name, P Patterns, TTypeBits Result, TSimpleFunc::TBody Run,
                         TBuiltinOp Op = boNone) {
    Funcs.AddBuiltin(std::make_unique<TSimpleFunc>(Name, std::move(Patterns), Result, Run, Op));
  };

  Funcs.AddBuiltin(std::make_unique<TBeginFunc>("Script"));
  Funcs.AddBuiltin(std::make_unique<TBeginFunc>("Begin"));
  Simple(
      "Set", P{{tbVar | All, All}}, tbVoid,
      [](std::int32_t, const TArgList& Args, TValue&) { Variable(Args, 0).Assign(Value(Args, 1)); }, boSet);
  Simple("SetArray", P{{tbVar | All, I}}, tbVoid, [](std::int32_t, const TArgList& Args, TValue&) {
    TVarExpr& V = Variable(Args, 0);
    const std::int32_t N = Value(Args, 1).AsInteger();
    if (V.Item().Type() == (tbVoid | tbVar))
      V.Assign(TValue::MakeArray(N));
    else
      V.ResizeArray(N - 1);
  });
  Simple("Type", P{{tbVar | All}}, I, [](std::int32_t, const TArgList& Args, TValue& R) {
    TVarExpr& V = Variable(Args, 0);
    R = V.Kind() == ekElement ? VariantTypeBits(V.Evaluate()) : VariantTypeBits(V.Item().Value());
  });
  Simple(
      "If", P{{B, tbFunc | All}}, tbVoid,
      [](std::int32_t, const TArgList& Args, TValue&) {
        if (Value(Args, 0).AsBoolean()) Args.GetArg(1)->Evaluate();
      },
      boIf);
  Simple(
      "Else", P{{B, tbFunc | All, tbFunc | All}}, tbVoid,
      [](std::int32_t, const TArgList& Args, TValue&) { Args.GetArg(Value(Args, 0).AsBoolean() ? 1 : 2)->Evaluate(); },
      boElse);
  Funcs.AddBuiltin(std::make_unique<TLoopFunc>("While", true, &Funcs));
  Funcs.AddBuiltin(std::make_unique<TLoopFunc>("Repeat", false, &Funcs));
  Funcs.AddBuiltin(std::make_unique<TForFunc>(&Funcs));

  AddComparison<boGreater>(Funcs, ">");
  AddComparison<boLess>(Funcs, "<");
  AddComparison<boEqual>(Funcs, "=");
  AddComparison<boUnequal>(Funcs, "<>");
  AddComparison<boGreaterEqual>(Funcs, ">=");
  AddComparison<boLessEqual>(Funcs, "<=");

  Simple("not", P{{B}}, B, Unary<boNot>, boNot);
  Simple("and", P{{B, B}}, B, Binary<boAnd>, boAnd);
  Simple("or", P{{B, B}}, B, Binary<boOr>, boOr);
  Simple("xor", P{{B, B}}, B, Binary<boXor>, boXor);
  Simple("~", P{{Mult}}, Mult, Unary<boNegate>, boNegate);
  Simple("+", P{{Mult, Mult}, {S, S}}, Add, Binary<boAdd>, boAdd);
  Simple("-", P{{Mult, Mult}}, Mult, Binary<boSubtract>, boSubtract);
  Simple("*", P{{Mult, Mult}}, Mult, Binary<boMultiply>, boMultiply);
  Simple("/", P{{Mult, Mult}}, F, Binary<boDivide>, boDivide);
  Simple("div", P{{I, I}}, I, Binary<boDiv>, boDiv);
  Simple("mod", P{{I, I}}, I, Binary<boMod>, boMod);
  Simple("inc", P{{tbVar | Mult}, {tbVar | Mult, Mult}}, tbVoid,
         [](std::int32_t Pat, const TArgList& Args, TValue&) { AddStep(Args, Pat, true); });
  Simple("dec", P{{tbVar | Mult}, {tbVar | Mult, Mult}}, tbVoid,
         [](std::int32_t Pat, const TArgList& Args, TValue&) { AddStep(Args, Pat, false); });

  Simple("Round", P{{F}}, I, [](std::int32_t, const TArgList& Args, TValue& R) {
    R = TValue(Value(Args, 0).AsFloat()).AsInteger();  // half to even, within 32 bits
  });
  Simple("Trunc", P{{F}}, I, [](std::int32_t, const TArgList& Args, TValue& R) {
    const double D = std::trunc(Value(Args, 0).AsFloat());
    if (!(D >= -2147483648.0 && D <= 2147483647.0)) throw EValueError("Invalid floating point operation");
    R = static_cast<std::int32_t>(D);
  });
  Simple("Int", P{{F}}, F, [](std::int32_t, const TArgList& Args, TValue& R) { R = std::trunc(Value(Args, 0).AsFloat()); });
  Simple("Frac", P{{F}}, F, [](std::int32_t, const TArgList& Args, TValue& R) {
    const double D = Value(Args, 0).AsFloat();
    R = D - std::trunc(D);
  });

  Simple("length", P{{S}}, I, [](std::int32_t, const TArgList& Args, TValue& R) {
    const TValue& V = Value(Args, 0);
    R = V.IsArray() ? V.ArrayHighBound() + 1 : Length(V.AsString());
  });
  Simple("insert", P{{S, tbVar | S, I}}, tbVoid, [](std::int32_t, const TArgList& Args, TValue&) {
    TVarExpr& V = Variable(Args, 1);
    std::string Text = V.Evaluate().AsString();
    const std::int32_t Index = Value(Args, 2).AsInteger();
    const std::size_t At = Index < 1 ? 0 : std::min<std::size_t>(static_cast<std::size_t>(Index) - 1, Text.size());
    const std::string Inserted = Value(Args, 0).AsString();
    if (Text.size() + Inserted.size() > TValue::MaxStringLength) throw EValueError("String too long");
    Text.insert(At, Inserted);
    V.Assign(TValue(std::move(Text)));
  });
  Simple("delete", P{{tbVar | S, I, I}}, tbVoid, [](std::int32_t, const TArgList& Args, TValue&) {
    TVarExpr& V = Variable(Args, 0);
    std::string Text = V.Evaluate().AsString();
    const std::int32_t Index = Value(Args, 1).AsInteger();
    const std::int32_t Count = Value(Args, 2).AsInteger();
    if (Index < 1 || static_cast<std::size_t>(Index) > Text.size() || Count <= 0) return;
    Text.erase(static_cast<std::size_t>(Index) - 1, static_cast<std::size_t>(Count));
    V.Assign(TValue(std::move(Text)));
  });
  Simple("copy", P{{S, I, I}}, S, [](std::int32_t, const TArgList& Args, TValue& R) {
    R = CopyText(Value(Args, 0).AsString(), Value(Args, 1).AsInteger(), Value(Args, 2).AsInteger());
  });
  Simple("pos", P{{S, S}}, I, [](std::int32_t, const TArgList& Args, TValue& R) {
    const std::string Sub = Value(Args, 0).AsString();
    const std::string Text = Value(Args, 1).AsString();
    const std::size_t At = Sub.empty() ? std::string::npos : Text.find(Sub);
    R = At == std::string::npos ? 0 : static_cast<std::int32_t>(At) + 1;
  });
  Simple("StrToInt", P{{S}}, I, [](std::int32_t, const TArgList& Args, TValue& R) { R = StrToInt(Value(Args, 0).AsString()); });
  Simple("IntToStr", P{{I}}, S, [](std::int32_t, const TArgList& Args, TValue& R) { R = IntToStr(Value(Args, 0).AsInteger()); });
  Simple("format", P{{S, Add | tbOpen}}, S, [](std::int32_t, const TArgList& Args, TValue& R) {
    std::vector<const TValue*> Values;
    for (std::int32_t K = 1; K < Args.Count(); ++K) Values.push_back(&Value(Args, K));
    R = FormatPiecewise(Value(Args, 0).AsString(), Values);
  });
  Simple("now", P{std::vector<TTypeBits>{}}, F, [](std::int32_t, const TArgList&, TValue& R) { R = NowDateTime(); });
  Simple("formatdatetime", P{{S, F}}, S, [](std::int32_t, const TArgList& Args, TValue& R) {
    R = FormatDateTime(Value(Args, 0).AsString(), Value(Args, 1).AsFloat());
  });
}

TValue ApplyOperator(TBuiltinOp Op, const TValue& A, const TValue& B) {
  switch (Op) {
    case boGreater: return TValue(ValueCompare(A, B) > 0);
    case boLess: return TValue(ValueCompare(A, B) < 0);
    case boEqual: return TValue(ValueCompare(A, B) == 0);
    case boUnequal: return TValue(ValueCompare(A, B) != 0);
    case boGreaterEqual: return TValue(ValueCompare(A, B) >= 0);
    case boLessEqual: return TValue(ValueCompare(A, B) <= 0);
    case boAnd: return TValue(A.AsBoolean() && B.AsBoolean());
    case boOr: return TValue(A.AsBoolean() || B.AsBoolean());
    case boXor: {
      const bool X = A.AsBoolean();
      return TValue(X != B.AsBoolean());
    }
    case boAdd: return ValueAdd(A, B);
    case boSubtract: return ValueSubtract(A, B);
    case boMultiply: return ValueMultiply(A, B);
    case boDivide: return ValueDivide(A, B);
    case boDiv: return ValueIntDiv(A, B);
    case boMod: return ValueMod(A, B);
    case boNot: return ValueNot(A);
    case boNegate: return ValueNegate(A);
    default: break;
  }
  throw EValueError("Invalid variant operation");
}

// ---- The built-ins a call node runs itself ----
//
// The call has been checked (stop flag, pattern) as every call is, so the arguments are what
// the pattern says: plain operands, a variable node for a VAR formal, call nodes for FUNC
// formals. Each does what its TFunction's Eval does, in the same order, but reads constants,
// variables and elements in place instead of copying them into the call's slots first.

// Result serves as the first operand's room: the caller reads it only once the node is done.
template <TBuiltinOp Op>
void TFuncExpr::RunBinary(TFuncExpr& Node, TValue& Result) {
  const TValue* A = &ReadArg(Node.FArgs[0].get(), Result);
  // The second operand is evaluated after the first was read, as when the first is copied.
  if (Node.FSnapshotLeft && A != &Result) {
    Result = *A;
    A = &Result;
  }
  TValue Second;
  const TValue& B = ReadArg(Node.FArgs[1].get(), Second);
  if constexpr (Op != boDivide && Op != boAnd && Op != boOr && Op != boXor) {
    if (A->Kind() == vkInteger && B.Kind() == vkInteger) {
      const std::int32_t X = A->AsInteger(), Y = B.AsInteger();
      if constexpr (Op == boGreater) Result = TValue(X > Y);
      if constexpr (Op == boLess) Result = TValue(X < Y);
      if constexpr (Op == boEqual) Result = TValue(X == Y);
      if constexpr (Op == boUnequal) Result = TValue(X != Y);
      if constexpr (Op == boGreaterEqual) Result = TValue(X >= Y);
      if constexpr (Op == boLessEqual) Result = TValue(X <= Y);
      if constexpr (Op == boAdd) Result = TValue(Wrap(std::int64_t{X} + Y));
      if constexpr (Op == boSubtract) Result = TValue(Wrap(std::int64_t{X} - Y));
      if constexpr (Op == boMultiply) Result = TValue(Wrap(std::int64_t{X} * Y));
      if constexpr (Op == boDiv) Result = TValue(ValueDetail::IntDiv(X, Y));
      if constexpr (Op == boMod) Result = TValue(ValueDetail::IntMod(X, Y));
      return;
    }
  }
  TValue R = ApplyOperator(Op, *A, B);
  Node.FFunc->CheckResult(R);
  Result = std::move(R);
}

template <TBuiltinOp Op>
void TFuncExpr::RunUnary(TFuncExpr& Node, TValue& Result) {
  const TValue& A = ReadArg(Node.FArgs[0].get(), Result);
  if (Op == boNegate && A.Kind() == vkInteger) {
    Result = TValue(Wrap(-static_cast<std::int64_t>(A.AsInteger())));
    return;
  }
  TValue R = ApplyOperator(Op, A, A);
  Node.FFunc->CheckResult(R);
  Result = std::move(R);
}

void TFuncExpr::RunSet(TFuncExpr& Node, TValue& Result) {
  Result = TValue();
  TVarExpr& Target = *static_cast<TVarExpr*>(Node.FArgs[0].get());
  TValue Taken;
  const TValue& Source = ReadArg(Node.FArgs[1].get(), Taken);
  if (&Source != &Taken) {
    // A variable takes it straight; an element's index is evaluated first, which might
    // change what Source reads, so it gets a copy as a call's slot holds one.
    if (Target.Kind() == ekVariable) {
      Target.Assign(Source);
      return;
    }
    Taken = Source;
  }
  Target.AssignTaken(std::move(Taken));
}

void TFuncExpr::RunFor(TFuncExpr& Node, TValue& Result) {
  Result = TValue();
  TValue Bounds[3];
  for (std::size_t K = 0; K < 3; ++K) {
    const TValue& V = ReadArg(Node.FArgs[K + 1].get(), Bounds[K]);
    if (&V != &Bounds[K]) Bounds[K] = V;
  }
  const std::int32_t Start = Bounds[0].AsInteger();
  const std::int32_t End = Bounds[1].AsInteger();
  const std::int32_t Step = Bounds[2].AsInteger();
  ::RunFor(TNodeArgs(Node.FArgs), *static_cast<TVarExpr*>(Node.FArgs[0].get()), Start, End, Step, Node.FFuncs);
}

TFuncExpr::TRunner TFuncExpr::RunnerOf(TBuiltinOp Op) {
  switch (Op) {
    case boNone: return nullptr;
    case boBegin:
      return [](TFuncExpr& Node, TValue& Result) {
        Result = TValue();
        RunStatements(TNodeArgs(Node.FArgs), 0);
      };
    case boSet: return RunSet;
    case boIf:
      return [](TFuncExpr& Node, TValue& Result) {
        if (ReadArg(Node.FArgs[0].get(), Result).AsBoolean()) Node.FArgs[1]->Evaluate();
        Result = TValue();
      };
    case boElse:
      return [](TFuncExpr& Node, TValue& Result) {
        Node.FArgs[ReadArg(Node.FArgs[0].get(), Result).AsBoolean() ? 1 : 2]->Evaluate();
        Result = TValue();
      };
    case boWhile:
      return [](TFuncExpr& Node, TValue& Result) {
        Result = TValue();
        RunLoop(TNodeArgs(Node.FArgs), true, Node.FFuncs);
      };
    case boRepeat:
      return [](TFuncExpr& Node, TValue& Result) {
        Result = TValue();
        RunLoop(TNodeArgs(Node.FArgs), false, Node.FFuncs);
      };
    case boFor: return RunFor;
    case boGreater: return RunBinary<boGreater>;
    case boLess: return RunBinary<boLess>;
    case boEqual: return RunBinary<boEqual>;
    case boUnequal: return RunBinary<boUnequal>;
    case boGreaterEqual: return RunBinary<boGreaterEqual>;
    case boLessEqual: return RunBinary<boLessEqual>;
    case boAnd: return RunBinary<boAnd>;
    case boOr: return RunBinary<boOr>;
    case boXor: return RunBinary<boXor>;
    case boAdd: return RunBinary<boAdd>;
    case boSubtract: return RunBinary<boSubtract>;
    case boMultiply: return RunBinary<boMultiply>;
    case boDivide: return RunBinary<boDivide>;
    case boDiv: return RunBinary<boDiv>;
    case boMod: return RunBinary<boMod>;
    case boNot: return RunUnary<boNot>;
    case boNegate: return RunUnary<boNegate>;
  }
  return nullptr;
}
