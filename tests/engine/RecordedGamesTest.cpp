// Seeded games whose every state the rules reached before are kept as hashes of the whole
// state dump and of the change records: the Standard world with its scenario and map set, and
// the seven-nation grid with a thousand units spread out and with three thousand crowded. Any
// change to the rules' speed that changes a game result (a path, a routing's way, the order of
// combat or of removals) shows up here.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "GridWorld.h"
#include "KeptGame.h"
#include "StandardMachine.h"
#include "engine/ImpulseSteps.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

struct TGridMachine {
  grid_world::TSevenNationWorld World{1000};
  TBrenmoorEngine& Engine = World.Engine;
  kit::TKitSink Sink;
};

// Three thousand units on forty land and ten sea zones: crowded zones, combat everywhere.
struct TCrowdedGridMachine {
  grid_world::TSevenNationWorld World{3000, 40};
  TBrenmoorEngine& Engine = World.Engine;
  kit::TKitSink Sink;
};

// One recorded checkpoint: the hashes of the host's whole dump and of every record sent so far.
struct TCheckpoint {
  std::int32_t Impulse;
  std::uint64_t State;
  std::uint64_t Records;
};

// Plays Impulses impulses of the host, Orders' records of each impulse queued as the host
// collects its orders, then After(Impulse) sees the impulse's records in Host.Sink. Stops at the
// first fatal failure.
template <typename TMachine, typename TAfter>
void PlayHost(TMachine& Host, std::uint64_t Seed, kit::TRandomOrders& Orders, int OrdersPerImpulse, std::int32_t Impulses,
              const TAfter& After) {
  Host.Engine.SetChangeSink(&Host.Sink);
  Host.Engine.SetRandomSeed(Seed);
  const TImpulseHooks Hooks = kit::QueueOrdersHooks(Orders, OrdersPerImpulse);
  for (std::int32_t Impulse = 0; Impulse < Impulses; ++Impulse) {
    Host.Sink.Records.clear();
    RunHostImpulse(Host.Engine, Impulse, Hooks);
    After(Impulse);
    if (testing::Test::HasFatalFailure()) return;
  }
}

// Plays host and guest impulse by impulse (the guest replays the framed records) and compares
// the host with the recorded checkpoints and the guest with the host by the hash of the dump.
// BRENMOOR_PRINT_RECORDED=1 prints the checkpoints instead of comparing them.
template <typename TMachine>
void PlayAndCompare(std::uint64_t Seed, std::uint64_t OrderSeed, int OrdersPerImpulse, int HostilePercent,
                    const std::vector<TCheckpoint>& Recorded) {
  TMachine Host, Guest;
  Guest.Sink.Host = false;
  Guest.Engine.SetChangeSink(&Guest.Sink);
  kit::TForbiddenRandom None;
  Guest.Engine.SetRandomGenerator(&None);
  kit::TRandomOrders Orders(OrderSeed);
  Orders.HostilePercent = HostilePercent;
  const bool Print = std::getenv("BRENMOOR_PRINT_RECORDED") != nullptr;
  std::string AllRecords;
  std::size_t Next = 0;
  PlayHost(Host, Seed, Orders, OrdersPerImpulse, Recorded.back().Impulse + 1, [&](std::int32_t Impulse) {
    const std::vector<std::string> Received = kit::UnframeChanges(kit::FrameChanges(Impulse, Host.Sink.Records));
    for (const std::string& Record : Received) {
      AllRecords += Record;
      AllRecords += '~';
    }
    RunGuestImpulse(Guest.Engine, Impulse, Received);
    if (Impulse != Recorded[Next].Impulse) return;
    const kit::TDumpOptions Shared{false, false};
    ASSERT_EQ(kit::CompareStates(Host.Engine, Guest.Engine, Shared), "") << "impulse " << Impulse;
    const std::uint64_t State = kit::DumpHash(kit::DumpState(Host.Engine));
    const std::uint64_t Records = kit::DumpHash(AllRecords);
    if (Print)
      std::printf("    {%d, 0x%016llxULL, 0x%016llxULL},\n", Impulse, static_cast<unsigned long long>(State),
                  static_cast<unsigned long long>(Records));
    else {
      EXPECT_EQ(State, Recorded[Next].State) << "impulse " << Impulse;
      EXPECT_EQ(Records, Recorded[Next].Records) << "impulse " << Impulse;
    }
    ++Next;
  });
}

}  // namespace

TEST(RecordedGamesTest, TheStandardWorldReachesTheRecordedStates) {
  PlayAndCompare<TStandardMachine>(1939, 917, 12, 0,
                                   {
                                       {49, 0xdb7a0f3ba28d03b8ULL, 0x76e9e358b27c135cULL},
                                       {99, 0x11f4769cd5cccc6dULL, 0x60f4808ee4223f7dULL},
                                       {149, 0x6d9b42df1dc70a93ULL, 0x7e00406c69ea567fULL},
                                       {199, 0x98acbc52b92ae2b0ULL, 0xb55796c6a78c7afdULL},
                                       {249, 0x6146af9acb9859dcULL, 0x49a2be58816569ebULL},
                                       {299, 0xf63f11a58eb3df55ULL, 0x60318cd3273430cdULL},
                                       {349, 0x3740d7aa5b28ed74ULL, 0x17b887020a6a5a87ULL},
                                       {399, 0xbd380fd4c5a3a13fULL, 0x57bd64872973ff3aULL},
                                       {449, 0xdff163fe153cd26aULL, 0xbce67a959a3891b5ULL},
                                       {499, 0xe87c46efa1360fb2ULL, 0xe2763a40516bf426ULL},
                                       {549, 0xeae2bb3ce76c15e5ULL, 0xf1e069a4aba641edULL},
                                       {599, 0x4706859b97a8fac5ULL, 0xadc5a37330d3df1fULL},
                                   });
}

TEST(RecordedGamesTest, TheSevenNationGridReachesTheRecordedStates) {
  PlayAndCompare<TGridMachine>(1077, 55, 20, 5,
                               {
                                   {49, 0x083cb44c12d5637fULL, 0xc0f8ac70ac9373b0ULL},
                                   {99, 0x8bf199cbc5f79cb6ULL, 0x328d886d7e8e4de1ULL},
                                   {149, 0x138976132dd3e4e9ULL, 0x6842fa4468a7bb1eULL},
                                   {199, 0xd45fa9a535f37af6ULL, 0x8983f8b871278186ULL},
                                   {249, 0xc078f253e1cdbab6ULL, 0xea7f8fadfe023651ULL},
                                   {299, 0xc1cd95af0159ad18ULL, 0x2a572eb2b5ed39dfULL},
                                   {349, 0x096584577924b07aULL, 0x0539e760f5095b9aULL},
                                   {399, 0xa18bdf75488d7b71ULL, 0x2135587838bde15cULL},
                                   {449, 0x10124eba060bcfb7ULL, 0x4bf506b76ccb13d8ULL},
                               });
}

TEST(RecordedGamesTest, TheCrowdedSevenNationGridReachesTheRecordedStates) {
  PlayAndCompare<TCrowdedGridMachine>(1941, 66, 20, 5,
                                      {
                                          {29, 0x3e0d093f0867aa97ULL, 0x9133de36de326871ULL},
                                          {59, 0x4832e2db51dd2a69ULL, 0x47c486a2d6384718ULL},
                                          {89, 0xda685dfc3732d938ULL, 0xaafdbc2741c5e4baULL},
                                          {119, 0xecc5e6795b97304cULL, 0x50ee4cafc2406751ULL},
                                          {149, 0xe0a34e9f2d121651ULL, 0x97974c993410143bULL},
                                          {179, 0x82c783d74ddc8145ULL, 0xac09205d935673ccULL},
                                          {209, 0x69d19bc79732eb4cULL, 0x0ea9e04fd38182abULL},
                                          {239, 0x7527b66e3a888815ULL, 0x0efe561f54118bcfULL},
                                      });
}

// The Standard world's seeded game kept as text: every record of 150 impulses and the saved
// game at impulses 75 and 150, each saved game read back by a new machine and saved again
// unchanged.
TEST(RecordedGamesTest, TheStandardWorldWritesTheKeptRecordsAndSavedGames) {
  TStandardMachine Host;
  kit::TRandomOrders Orders(917);
  std::string Records;
  PlayHost(Host, 1939, Orders, 12, 150, [&](std::int32_t Impulse) {
    Records += "impulse " + std::to_string(Impulse) + "\n";
    for (const std::string& Record : Host.Sink.Records) Records += Record + "\n";
    if (Impulse != 74 && Impulse != 149) return;
    const std::string Saved = Host.Engine.SaveToString();
    kept::ExpectKept("standard-saved-" + std::to_string(Impulse + 1) + ".txt", Saved);
    TStandardMachine Reader;
    {
      const TCurrentFolder In(std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin");
      Reader.Engine.LoadFromString(Saved);
    }
    EXPECT_EQ(kit::FirstDifference(Reader.Engine.SaveToString(), Saved), "") << "impulse " << Impulse;
  });
  kept::ExpectKept("standard-records.txt", Records);
}
