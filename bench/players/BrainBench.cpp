// The computer players' cost: one brain's turn of the default script on the seven-power world
// (the whole turn, and the same turn with the time inside the game functions measured apart
// from the interpreter's), and the whole impulse of such a game with and without the brain.
#include <benchmark/benchmark.h>

#include <chrono>

#include "ComputerGame.h"

namespace {

using players_test::TComputerGame;

// A game well under way: 140 impulses played, so every power has run its script twenty times.
std::unique_ptr<TComputerGame> GameUnderWay() {
  auto Game = std::make_unique<TComputerGame>(1941, false);
  for (int I = 0; I < 140; ++I)
    if (const std::string Fault = Game->RunImpulse(); !Fault.empty()) throw std::runtime_error(Fault);
  return Game;
}

// One brain's turn per iteration, the seven powers in turn; the orders are dropped, so every
// turn reads the same game.
void BM_BrainTurn(benchmark::State& State) {
  auto Game = GameUnderWay();
  std::int32_t Impulse = Game->GetImpulse();
  for (auto _ : State) {
    benchmark::DoNotOptimize(Game->Module.RunTurn(Impulse++, true));
    Game->Orders.Records.clear();
  }
  State.SetLabel("default script, 7 powers, " + std::to_string(Game->Host().Engine().GetUnitCount()) + " units");
}
BENCHMARK(BM_BrainTurn);

// The cost of reading the clock once, to take the timing's own cost out of the split.
double ClockReadNs() {
  constexpr int Reads = 100000;
  const auto T0 = std::chrono::steady_clock::now();
  std::int64_t Sink = 0;
  for (int I = 0; I < Reads; ++I) Sink += std::chrono::steady_clock::now().time_since_epoch().count() & 1;
  benchmark::DoNotOptimize(Sink);
  return static_cast<double>(std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - T0).count()) / Reads;
}

// The same turn with every game function's handler timed: the counters give the time per turn
// spent inside the game functions and the rest, the interpreter's, each less the clock reads
// that fall into it (one per call each).
void BM_BrainTurnSplit(benchmark::State& State) {
  auto Game = GameUnderWay();
  TdmScript& M = Game->Module;
  std::int64_t FunctionNs = 0;
  std::int64_t Calls = 0;
  for (std::int32_t I = 0; I < M.GameFunctionCount(); ++I) {
    TFunc& F = M.GameFunction(I);
    TFunc::TOnEvalEvent Inner = F.OnEval();
    F.SetOnEval([Inner, &FunctionNs, &Calls](TFunc* Sender, const TArgList& Args, TValue& Result) {
      const auto T0 = std::chrono::steady_clock::now();
      Inner(Sender, Args, Result);
      FunctionNs += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - T0).count();
      ++Calls;
    });
  }
  std::int32_t Impulse = Game->GetImpulse();
  std::int64_t TotalNs = 0;
  for (auto _ : State) {
    const auto T0 = std::chrono::steady_clock::now();
    benchmark::DoNotOptimize(M.RunTurn(Impulse++, true));
    TotalNs += std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - T0).count();
    Game->Orders.Records.clear();
  }
  const double Turns = static_cast<double>(State.iterations());
  const double Clock = ClockReadNs() * static_cast<double>(Calls);
  State.counters["game_functions_us"] = (static_cast<double>(FunctionNs) - Clock) / Turns / 1000.0;
  State.counters["interpreter_us"] = (static_cast<double>(TotalNs - FunctionNs) - Clock) / Turns / 1000.0;
  State.counters["calls_per_turn"] = static_cast<double>(Calls) / Turns;
}
BENCHMARK(BM_BrainTurnSplit);

// The whole impulse on the host: the brain of the impulse, the order stage, the units, the
// end-of-impulse stages and the upkeep, averaged over impulses 140 to 279 of the game (the
// armies that the script builds keep growing, so the game starts again after that stretch).
// Without the brain no power is computer-played and the turn finds none to run.
void ImpulseStretch(benchmark::State& State, bool WithBrain) {
  auto Start = [WithBrain] {
    auto Game = GameUnderWay();
    if (!WithBrain)
      for (int N = 0; N < 7; ++N) Game->Host().N(N)->SetComputerPlayer(false);
    return Game;
  };
  auto Game = Start();
  std::int64_t Units = 0;
  for (auto _ : State) {
    if (Game->GetImpulse() == 280) {
      State.PauseTiming();
      Game = Start();
      State.ResumeTiming();
    }
    if (const std::string Fault = Game->RunImpulse(false); !Fault.empty()) State.SkipWithError(Fault.c_str());
    Units += Game->Host().Engine().GetUnitCount();
  }
  State.counters["units"] = static_cast<double>(Units) / static_cast<double>(State.iterations());
}

void BM_ImpulseWithBrain(benchmark::State& State) { ImpulseStretch(State, true); }
BENCHMARK(BM_ImpulseWithBrain);

void BM_ImpulseWithoutBrain(benchmark::State& State) { ImpulseStretch(State, false); }
BENCHMARK(BM_ImpulseWithoutBrain);

}  // namespace
