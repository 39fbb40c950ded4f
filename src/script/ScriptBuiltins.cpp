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

void RunStatements(const TArgList& Args, std::int32_t From) {
  TValue Dropped;
  for (std::int32_t K = From; K < Args.Count(); ++K) Args.GetArg(K)->Eval(Dropped);
}

// A loop whose pass runs no call at all (an empty body and a condition that is a constant or a
// variable) would never meet the stop flag nor let the window breathe: such a pass checks the
// flag and processes pending messages itself.
void EmptyPass(const TFuncs* Registry) {
  if (Registry && Registry->Stopped()) throw EStop();
  ProcessMessages();
}

std::int32_t Wrap(std::int64_t V) { return static_cast<std::int32_t>(static_cast<std::uint32_t>(V)); }

// A built-in whose Eval is a plain function of its arguments.
class TSimpleFunc : public TFunction {
public:
  using TBody = void (*)(std::int32_t Pat, const TArgList& Args, TValue& Result);
  TSimpleFunc(const char* Name, std::vector<std::vector<TTypeBits>> Patterns, TTypeBits ResultType, TBody Run)
      : TFunction(Name, ResultType), FRun(Run) {
    for (auto& P : Patterns) AddPattern(TTypes(std::move(P)));
  }
  void Eval(std::int32_t Pat, const TArgList& Args, TValue& Result) override { FRun(Pat, Args, Result); }

private:
  TBody FRun;
};

// "Script" and "Begin": the statements in order.
class TBeginFunc : public TFunction {
public:
  explicit TBeginFunc(const char* Name) : TFunction(Name, {Body}, tbVoid) {}
  void Eval(std::int32_t, const TArgList& Args, TValue&) override { RunStatements(Args, 0); }
};

// "While" and "Repeat": the condition (argument 0) is read afresh in every pass.
class TLoopFunc : public TFunction {
public:
  TLoopFunc(const char* Name, bool TestFirst, const TFuncs* Registry)
      : TFunction(Name, tbVoid), FTestFirst(TestFirst), FRegistry(Registry) {
    AddPattern({tbFunc | B, Body});
    AddPattern({B, Body});
  }
  bool KeepsArgumentUnevaluated(std::int32_t ArgIndex) const override { return ArgIndex == 0; }
  void Eval(std::int32_t, const TArgList& Args, TValue&) override {
    TExpr* Condition = Args.GetArg(0);
    TValue C;
    const bool Empty = Args.Count() <= 1;
    if (FTestFirst) {
      for (;;) {
        Condition->Eval(C);
        if (!C.AsBoolean()) break;
        RunStatements(Args, 1);
        if (Empty) EmptyPass(FRegistry);
      }
    } else {
      do {
        RunStatements(Args, 1);
        if (Empty) EmptyPass(FRegistry);
        Condition->Eval(C);
      } while (!C.AsBoolean());
    }
  }

private:
  bool FTestFirst;
  const TFuncs* FRegistry;
};

// "For" (variable, start, end, step, body): the variable is read afresh at each test.
class TForFunc : public TFunction {
public:
  explicit TForFunc(const TFuncs* Registry)
      : TFunction("For", {tbVar | I | tbVoid, I, I, I, Body}, tbVoid), FRegistry(Registry) {}
  void Eval(std::int32_t, const TArgList& Args, TValue&) override {
    TVarExpr& V = Variable(Args, 0);
    const std::int32_t Start = Value(Args, 1).AsInteger();
    const std::int32_t End = Value(Args, 2).AsInteger();
    const std::int32_t Step = Value(Args, 3).AsInteger();
    V.Assign(TValue(Start));
    TValue Current;
    for (;;) {
      V.Eval(Current);
      const std::int32_t C = Current.AsInteger();
      if (Step > 0 ? (C < Start || C > End) : (C > Start || C < End)) break;
      RunStatements(Args, 4);
      if (Args.Count() <= 4) EmptyPass(FRegistry);
      V.Eval(Current);
      V.Assign(TValue(Wrap(static_cast<std::int64_t>(Current.AsInteger()) + Step)));
    }
  }

private:
  const TFuncs* FRegistry;
};

template <class Test>
void AddComparison(TFuncs& Funcs, const char* Name) {
  Funcs.AddBuiltin(std::make_unique<TSimpleFunc>(
      Name, std::vector<std::vector<TTypeBits>>{{Mult, Mult}, {S, S}, {B, B}}, B,
      [](std::int32_t, const TArgList& Args, TValue& R) { R = Test()(ValueCompare(Value(Args, 0), Value(Args, 1)), 0); }));
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
  auto Simple = [&Funcs](const char* Name, P Patterns, TTypeBits Result, TSimpleFunc::TBody Run) {
    Funcs.AddBuiltin(std::make_unique<TSimpleFunc>(Name, std::move(Patterns), Result, Run));
  };

  Funcs.AddBuiltin(std::make_unique<TBeginFunc>("Script"));
  Funcs.AddBuiltin(std::make_unique<TBeginFunc>("Begin"));
  Simple("Set", P{{tbVar | All, All}}, tbVoid,
         [](std::int32_t, const TArgList& Args, TValue&) { Variable(Args, 0).Assign(Value(Args, 1)); });
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
  Simple("If", P{{B, tbFunc | All}}, tbVoid, [](std::int32_t, const TArgList& Args, TValue&) {
    if (Value(Args, 0).AsBoolean()) Args.GetArg(1)->Evaluate();
  });
  Simple("Else", P{{B, tbFunc | All, tbFunc | All}}, tbVoid, [](std::int32_t, const TArgList& Args, TValue&) {
    Args.GetArg(Value(Args, 0).AsBoolean() ? 1 : 2)->Evaluate();
  });
  Funcs.AddBuiltin(std::make_unique<TLoopFunc>("While", true, &Funcs));
  Funcs.AddBuiltin(std::make_unique<TLoopFunc>("Repeat", false, &Funcs));
  Funcs.AddBuiltin(std::make_unique<TForFunc>(&Funcs));

  AddComparison<std::greater<int>>(Funcs, ">");
  AddComparison<std::less<int>>(Funcs, "<");
  AddComparison<std::equal_to<int>>(Funcs, "=");
  AddComparison<std::not_equal_to<int>>(Funcs, "<>");
  AddComparison<std::greater_equal<int>>(Funcs, ">=");
  AddComparison<std::less_equal<int>>(Funcs, "<=");

  Simple("not", P{{B}}, B, [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueNot(Value(Args, 0)); });
  Simple("and", P{{B, B}}, B, [](std::int32_t, const TArgList& Args, TValue& R) {
    R = Value(Args, 0).AsBoolean() && Value(Args, 1).AsBoolean();
  });
  Simple("or", P{{B, B}}, B, [](std::int32_t, const TArgList& Args, TValue& R) {
    R = Value(Args, 0).AsBoolean() || Value(Args, 1).AsBoolean();
  });
  Simple("xor", P{{B, B}}, B, [](std::int32_t, const TArgList& Args, TValue& R) {
    R = Value(Args, 0).AsBoolean() != Value(Args, 1).AsBoolean();
  });
  Simple("~", P{{Mult}}, Mult, [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueNegate(Value(Args, 0)); });
  Simple("+", P{{Mult, Mult}, {S, S}}, Add,
         [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueAdd(Value(Args, 0), Value(Args, 1)); });
  Simple("-", P{{Mult, Mult}}, Mult,
         [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueSubtract(Value(Args, 0), Value(Args, 1)); });
  Simple("*", P{{Mult, Mult}}, Mult,
         [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueMultiply(Value(Args, 0), Value(Args, 1)); });
  Simple("/", P{{Mult, Mult}}, F,
         [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueDivide(Value(Args, 0), Value(Args, 1)); });
  Simple("div", P{{I, I}}, I,
         [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueIntDiv(Value(Args, 0), Value(Args, 1)); });
  Simple("mod", P{{I, I}}, I,
         [](std::int32_t, const TArgList& Args, TValue& R) { R = ValueMod(Value(Args, 0), Value(Args, 1)); });
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
