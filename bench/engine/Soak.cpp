// The soak: seeded games of the seven-nation grid played impulse after impulse on a host and a
// replaying guest, the two compared by a hash of their whole shared state after every impulse.
// A mismatch prints the first line where the two states differ and ends the run with 1. A
// game runs for --game impulses, then a new one starts from the next seed, so the run keeps
// playing wars rather than the quiet of a decided game.
//
//   bench_engine_soak [--impulses N] [--game N] [--units N] [--seed N]
//
// Run by CTest (with its --benchmark_min_time argument) it plays a short run.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "GridWorld.h"
#include "engine/ImpulseSteps.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

struct TOptions {
  long long Impulses = 2000;
  long long Game = 5000;
  int Units = 1000;
  std::uint64_t Seed = 1;
};

// Host and guest of one seeded game.
class TSoakGame {
public:
  TSoakGame(int Units, std::uint64_t Seed) : FHost(Units), FGuest(Units), FOrders(Seed * 7919 + 1) {
    FGuestSink.Host = false;
    FHost.Engine.SetChangeSink(&FHostSink);
    FGuest.Engine.SetChangeSink(&FGuestSink);
    FGuest.Engine.SetRandomGenerator(&FNone);
    FHost.Engine.SetRandomSeed(Seed);
    for (TBrenmoorEngine* E : {&FHost.Engine, &FGuest.Engine}) E->Upkeep().UpdateVisibility(0);
    FHostHooks.OnCollectOrders = [this](TBrenmoorEngine* E, std::int32_t) {
      for (const kit::TGeneratedOrder& O : FOrders.Generate(*E, 20)) E->QueueOrder(O.Record, O.Sender);
    };
  }

  // One impulse on both machines; "" when they agree afterwards, else the first difference.
  std::string Play() {
    TBrenmoorEngine& H = FHost.Engine;
    TBrenmoorEngine& G = FGuest.Engine;
    const std::int32_t Impulse = FImpulse++;
    FHostSink.Records.clear();
    RunHostImpulse(H, Impulse, FHostHooks);
    RunGuestImpulse(G, Impulse, kit::UnframeChanges(kit::FrameChanges(Impulse, FHostSink.Records)));
    if (FNone.Draws() != 0) return "the guest drew a random number";
    if (!FGuestSink.Records.empty()) return "the guest wrote a change record";
    const kit::TDumpOptions Shared{false, false};
    return kit::CompareStates(H, G, Shared);
  }

  int UnitCount() { return FHost.Engine.GetUnitCount(); }

private:
  grid_world::TSevenNationWorld FHost;
  grid_world::TSevenNationWorld FGuest;
  kit::TKitSink FHostSink;
  kit::TKitSink FGuestSink;
  kit::TForbiddenRandom FNone;
  kit::TRandomOrders FOrders;
  TImpulseHooks FHostHooks;
  std::int32_t FImpulse = 0;
};

bool ReadNumber(int argc, char** argv, int& I, long long& Value) {
  if (I + 1 >= argc) return false;
  char* End = nullptr;
  Value = std::strtoll(argv[++I], &End, 10);
  return End && *End == 0 && Value > 0;
}

}  // namespace

int main(int argc, char** argv) {
  TOptions Options;
  for (int I = 1; I < argc; ++I) {
    long long Value = 0;
    const char* Name = argv[I];
    if (std::strncmp(Name, "--benchmark_", 12) == 0) {
      Options.Impulses = 120;
      Options.Game = 60;
      continue;
    }
    const bool Known = std::strcmp(Name, "--impulses") == 0 || std::strcmp(Name, "--game") == 0 || std::strcmp(Name, "--units") == 0 ||
                       std::strcmp(Name, "--seed") == 0;
    if (!Known || !ReadNumber(argc, argv, I, Value)) {
      std::fprintf(stderr, "usage: %s [--impulses N] [--game N] [--units N] [--seed N] (every N above 0)\n", argv[0]);
      return 2;
    }
    if (std::strcmp(Name, "--impulses") == 0) Options.Impulses = Value;
    if (std::strcmp(Name, "--game") == 0) Options.Game = Value;
    if (std::strcmp(Name, "--units") == 0) Options.Units = static_cast<int>(std::min<long long>(Value, 100000));
    if (std::strcmp(Name, "--seed") == 0) Options.Seed = static_cast<std::uint64_t>(Value);
  }

  const auto Start = std::chrono::steady_clock::now();
  std::unique_ptr<TSoakGame> Game;
  std::uint64_t Seed = Options.Seed;
  long long Games = 0;
  for (long long Impulse = 0; Impulse < Options.Impulses; ++Impulse) {
    if (Impulse % Options.Game == 0) {
      Game = std::make_unique<TSoakGame>(Options.Units, Seed++);
      ++Games;
    }
    const std::string Difference = Game->Play();
    if (!Difference.empty()) {
      std::printf("DESYNC at impulse %lld (game %lld, seed %llu, its impulse %lld): %s\n", Impulse, Games,
                  static_cast<unsigned long long>(Seed - 1), Impulse % Options.Game, Difference.c_str());
      return 1;
    }
    if ((Impulse + 1) % 100000 == 0) {
      const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
      std::printf("  %lld impulses, %lld games, %.0f s, %d units in the current game\n", Impulse + 1, Games, Seconds, Game->UnitCount());
      std::fflush(stdout);
    }
  }
  const double Seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - Start).count();
  std::printf("Soak: %lld impulses in %lld games, 0 desyncs, %.1f s (%.3f ms per impulse on host and guest with the state compare)\n",
              Options.Impulses, Games, Seconds, Seconds * 1000.0 / static_cast<double>(Options.Impulses));
  return 0;
}
