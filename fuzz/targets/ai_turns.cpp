// A computer player's script file played: it becomes the script of Ruritania, the kit world's
// computer-played power, which takes its turns in the impulses of a game (three of them) with
// its orders queued as the host's collection queues them. A script that does not compile, or
// fails as it runs, is reported and the game goes on; one that runs on and on is stopped after
// many calls, as the window stops it when the game ends. The game holds together and saves
// and loads again.
#include <fstream>

#include "EngineFuzz.h"
#include "FuzzTarget.h"
#include "foundation/ProcessMessages.h"
#include "players/ScriptModule.h"

namespace {

// The brain's orders go into the host's queue, as the collection step hands them over.
class TQueueOrders : public TOrderSink {
public:
  explicit TQueueOrders(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  void IssueOrder(const std::string& Record) override { FEngine.QueueOrder(Record, "Host"); }

private:
  TBrenmoorEngine& FEngine;
};

constexpr int CallsPerRun = 200000;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  fuzz::TFuzzWorld W;
  TBrenmoorEngine& E = W.Engine();
  std::ofstream("fuzzed.brmai", std::ios::binary | std::ios::trunc) << fuzz::Text(Data, Size);
  W.World().N(1)->SetAIScript("fuzzed.brmai");
  TdmScript Module;
  Module.SetBrenmoorEngine(&E);
  TQueueOrders Orders(E);
  Module.SetOrderSink(&Orders);
  Module.OnShowMessage = [](const std::string&) {};
  int Calls = 0;
  SetProcessMessagesHook([&] {
    if (++Calls == CallsPerRun) Module.StopScripts();
  });
  TImpulseHooks Hooks;
  Hooks.OnComputerTurn = [&](TBrenmoorEngine*, std::int32_t Impulse) {
    Calls = 0;
    Module.SetCurrentImpulse(Impulse);
    Module.RunTurn(Impulse, true);
  };
  // Ruritania is the major power of impulses 1, 8 and 15.
  for (std::int32_t Impulse = 0; Impulse < 16; ++Impulse) {
    try {
      RunHostImpulse(E, Impulse, Hooks);
    } catch (const EBrenmoor&) {
      // A rule that refuses the state it meets ends the impulse.
    }
    fuzz::Require(fuzz::LoadedGameFault(E));
  }
  SetProcessMessagesHook(nullptr);
  fuzz::Require(fuzz::CheckSavesAndLoads(E));
  return 0;
}
