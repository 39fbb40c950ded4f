// Calls per second through the function registry (pattern check, argument copies, the
// message pump after every call) and the tokenizer's speed on a script-sized text.
#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>

#include "foundation/ProcessMessages.h"
#include "script/ScriptFunctions.h"
#include "script/ScriptTokenizer.h"

namespace {

// Evaluates its call arguments in order, as a block does.
class TSequenceFunc : public TFunction {
public:
  TSequenceFunc() : TFunction("SEQ", {tbFunc | tbAll | tbOpen}, tbVoid) {}
  void Eval(std::int32_t, const TArgList& Args, TValue&) override {
    for (std::int32_t I = 0; I < Args.Count(); ++I) Args.GetArg(I)->Evaluate();
  }
};

// The pump as the program sets it: a look at a monotonic clock, the window system only
// every few milliseconds.
void SetCheapPump() {
  SetProcessMessagesHook([Last = std::chrono::steady_clock::now()]() mutable {
    const auto Now = std::chrono::steady_clock::now();
    if (Now - Last >= std::chrono::milliseconds(5)) Last = Now;
  });
}

// SEQ(SETTO(x, ADD(x, 1)), ... 100 times): 201 checked calls per iteration.
void BM_HostCalls(benchmark::State& State) {
  SetCheapPump();
  TFuncs Funcs;
  Funcs.AddBuiltin(std::make_unique<TSequenceFunc>());
  TFunc Add, SetTo;
  Add.SetDeclaration("Add2( mult, mult ): mult");
  Add.SetFuncs(&Funcs);
  Add.SetOnEval([](TFunc*, const TArgList& Args, TValue& R) { R = ValueAdd(Args.Value(0), Args.Value(1)); });
  SetTo.SetDeclaration("SetTo( var all, all )");
  SetTo.SetFuncs(&Funcs);
  SetTo.SetOnEval([](TFunc*, const TArgList& Args, TValue&) { Args.Variable(0)->Assign(Args.Value(1)); });

  TVariable X("X");
  X.SetValue(0);
  X.SetType(tbInteger | tbVar);
  auto Root = std::make_unique<TFuncExpr>(&Funcs, 1, "SEQ");
  for (int I = 0; I < 100; ++I) {
    auto Sum = std::make_unique<TFuncExpr>(&Funcs, 2, "ADD2");
    Sum->AddArg(std::make_unique<TVarExpr>(X, 3));
    Sum->AddArg(std::make_unique<TConstExpr>(TValue(1), 4));
    auto Set = std::make_unique<TFuncExpr>(&Funcs, 5, "SETTO");
    Set->AddArg(std::make_unique<TVarExpr>(X, 6));
    Set->AddArg(std::move(Sum));
    Root->AddArg(std::move(Set));
  }
  for (auto _ : State) {
    TValue R;
    Root->Eval(R);
    benchmark::DoNotOptimize(R);
  }
  State.SetItemsProcessed(State.iterations() * 201);
  SetProcessMessagesHook(nullptr);
}
BENCHMARK(BM_HostCalls);

// A function of three patterns called with arguments that fit only the last.
void BM_PatternSearch(benchmark::State& State) {
  TFuncs Funcs;
  TFunc F;
  F.SetDeclaration("Pick( boolean, boolean ), ( string, string ), ( mult, mult ): integer");
  F.SetFuncs(&Funcs);
  std::vector<TTypeBits> Narrowed;
  const TTypes Actuals = {tbInteger, tbFloat | tbVar};
  for (auto _ : State) benchmark::DoNotOptimize(F.Registered()->MatchPattern(Actuals, Narrowed));
  State.SetItemsProcessed(State.iterations());
}
BENCHMARK(BM_PatternSearch);

void BM_Tokenize(benchmark::State& State) {
  std::string Text;
  for (int I = 0; I < 200; ++I)
    Text += "// move the army\nif (GetZoneCount() > 3) and Ready then\n  x := x + $1F * 2.5E-1; s := 'it''s'#13#10;\n";
  for (auto _ : State) {
    TTokenList Tokens;
    TokenizeScript(Text, Tokens);
    benchmark::DoNotOptimize(Tokens.Count());
  }
  State.SetBytesProcessed(State.iterations() * static_cast<std::int64_t>(Text.size()));
}
BENCHMARK(BM_Tokenize);

}  // namespace
