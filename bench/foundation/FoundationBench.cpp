// Throughput of the delimited-text helpers, the scrambler and the generator: every saved
// game, lobby line and order record goes through them.
#include <benchmark/benchmark.h>

#include "foundation/Random.h"
#include "foundation/StringEncryptor.h"
#include "foundation/StringUtils.h"

static void BM_NextTokenInt(benchmark::State& State) {
  std::string Record;
  for (int I = 0; I < 1000; ++I) Record += std::to_string(I * 7919) + ";";
  for (auto _ : State) {
    std::string S = Record;
    std::int64_t Sum = 0;
    while (!S.empty()) Sum += NextTokenInt(S, ";");
    benchmark::DoNotOptimize(Sum);
  }
  State.SetItemsProcessed(State.iterations() * 1000);
}
BENCHMARK(BM_NextTokenInt);

static void BM_TokenizeUnitRecord(benchmark::State& State) {
  for (auto _ : State) {
    std::string S;
    Tokenize(";", S, 1234, 3, 17, true, 0.75, std::string("Infantry"), 2.5, false);
    benchmark::DoNotOptimize(S);
  }
}
BENCHMARK(BM_TokenizeUnitRecord);

static void BM_ScrambleLine(benchmark::State& State) {
  TStringEncryptor E("MorqTeln");
  std::string Line(static_cast<std::size_t>(State.range(0)), 'x');
  for (auto _ : State) {
    E.EncryptString(Line);
    E.DecryptString(Line);
    benchmark::DoNotOptimize(Line);
  }
  State.SetBytesProcessed(State.iterations() * State.range(0) * 2);
}
BENCHMARK(BM_ScrambleLine)->Arg(64)->Arg(64 * 1024);

static void BM_RandomInt(benchmark::State& State) {
  TRandomGenerator G(1);
  for (auto _ : State) benchmark::DoNotOptimize(G.Random(100));
}
BENCHMARK(BM_RandomInt);
