// Whole impulses on sea-lane grids of 300, 1,200 and 2,400 zones with seven major powers and
// five minors, storms and random events on and a synthetic stream of orders (mostly sound, one
// in twenty hostile), at 1,000, 4,000 and 8,000 units: the median and 95th percentile of the
// host's impulse with the time of each stage, the same of the replaying guest, the records and
// bytes per impulse; the growth with units per zone; and a long run whose time per impulse and
// memory stay flat; the Standard world with seven computer players' turns. After each run the guest's state must hash as the host's (the text dump
// shows the first difference otherwise): a desync ends the program with 1.
//
// A figure printer rather than a set of timing loops: the figures are distributions over many
// impulses of one game, which a timing loop that repeats one call does not show. Run by CTest
// (with its --benchmark_min_time argument, which is ignored) it plays short games; with
// --long it plays the full ones, the 10,000-impulse run among them. --only TEXT plays only the
// worlds whose title holds TEXT ("Grid 40x30, 1000 units", "Standard", "Long run"), for a
// profile of one world.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "ComputerGame.h"
#include "GridWorld.h"
#include "foundation/CurrentFolder.h"
#include "foundation/FileText.h"
#include "engine/BrenmoorEngine.h"
#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"
#include "engine/ImpulseSteps.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

using Clock = std::chrono::steady_clock;

double Ms(Clock::duration D) { return std::chrono::duration<double, std::milli>(D).count(); }

// The resident set of the process in KiB.
long ResidentKiB() {
  std::ifstream Status("/proc/self/status");
  std::string Line;
  while (std::getline(Status, Line))
    if (Line.rfind("VmRSS:", 0) == 0) return std::atol(Line.c_str() + 6);
  return -1;
}

class TSink : public TChangeSink {
public:
  explicit TSink(bool Host) : FHost(Host) {}
  bool IsHost() const override { return FHost; }
  bool IsActive() const override { return true; }
  void AddChange(const std::string& Record) override { Records.push_back(Record); }
  std::vector<std::string> Records;

private:
  bool FHost;
};

struct TStats {
  std::vector<double> Values;
  void Add(double V) { Values.push_back(V); }
  double Quantile(double Q) {
    if (Values.empty()) return 0;
    std::vector<double> S = Values;
    std::sort(S.begin(), S.end());
    return S[std::min(S.size() - 1, static_cast<std::size_t>(Q * static_cast<double>(S.size())))];
  }
  double Median() { return Quantile(0.5); }
  double Worst() { return Values.empty() ? 0 : *std::max_element(Values.begin(), Values.end()); }
  double Mean() const {
    double Sum = 0;
    for (double V : Values) Sum += V;
    return Values.empty() ? 0 : Sum / static_cast<double>(Values.size());
  }
};

struct TImpulseTimes {
  double Orders = 0, Units = 0, End = 0, Upkeep = 0, Guest = 0;
  std::size_t Records = 0, Bytes = 0;
  double Host() const { return Orders + Units + End + Upkeep; }
};

// Host and guest of one game, the host's orders from a seeded stream.
class TGame {
public:
  TGame(int Units, int ZonesUsed, std::uint64_t Seed, int Width = grid_world::GridWidth, int Height = grid_world::GridHeight)
      : FHost(Units, ZonesUsed, Width, Height), FGuest(Units, ZonesUsed, Width, Height), FHostSink(true), FGuestSink(false), FOrders(Seed) {
    FHost.Engine.SetChangeSink(&FHostSink);
    FGuest.Engine.SetChangeSink(&FGuestSink);
    FGuest.Engine.SetRandomGenerator(&FNone);
    FHost.Engine.SetRandomSeed(Seed);
    const TMapExtent Extent = FHost.Map.GetExtent();
    FWidth = Extent.Width;
    FHeight = Extent.Height;
    for (TBrenmoorEngine* E : {&FHost.Engine, &FGuest.Engine}) E->Upkeep().UpdateVisibility(0);
  }

  // One impulse: the host's stages timed one by one (the steps of ProcessImpulse in their
  // order), the framed records to the guest, the upkeep on both.
  TImpulseTimes Run() {
    TImpulseTimes T;
    TBrenmoorEngine& H = FHost.Engine;
    TBrenmoorEngine& G = FGuest.Engine;
    FHostSink.Records.clear();
    const std::int32_t Impulse = FImpulse++;
    // The steps before the impulse on both machines (untimed: no computer player plays here).
    for (TBrenmoorEngine* E : {&H, &G}) BeforeImpulse(*E, Impulse, E == &H);
    for (const kit::TGeneratedOrder& O : FOrders.Generate(H, 20)) H.QueueOrder(O.Record, O.Sender);
    auto Start = Clock::now();
    {
      TBrenmoorEngine::TImpulseRun Running(H);
      H.OrderStage();
      auto Next = Clock::now();
      T.Orders = Ms(Next - Start);
      Start = Next;
      H.Execution().ExecuteUnits(Impulse);
      Next = Clock::now();
      T.Units = Ms(Next - Start);
      Start = Next;
      H.EndOfImpulse().EndOfImpulseStages(Impulse, FWidth, FHeight);
      Next = Clock::now();
      T.End = Ms(Next - Start);
      Start = Next;
    }
    AfterImpulse(H);
    T.Upkeep = Ms(Clock::now() - Start);

    // The "CHANGES|" message as the clock builds it, cut up again on the guest.
    std::string Message = "CHANGES|" + std::to_string(Impulse) + "|";
    for (const std::string& R : FHostSink.Records) Message += R + "~";
    T.Records = FHostSink.Records.size();
    T.Bytes = Message.size();
    Start = Clock::now();
    std::string Rest = Message;
    NextToken(Rest, "|");
    NextToken(Rest, "|");
    std::vector<std::string> Received;
    while (!Rest.empty()) Received.push_back(NextToken(Rest, "~"));
    ReplayChanges(G, Received);
    AfterImpulse(G);
    T.Guest = Ms(Clock::now() - Start);
    return T;
  }

  TBrenmoorEngine& Host() { return FHost.Engine; }
  TBrenmoorEngine& Guest() { return FGuest.Engine; }

  // "" when the guest replayed the host's game: it drew nothing, wrote nothing and its state
  // hashes as the host's; else what went wrong.
  std::string Desync() {
    if (FNone.Draws() != 0) return "the guest drew a random number";
    if (!FGuestSink.Records.empty()) return "the guest wrote a change record";
    return kit::CompareStates(FHost.Engine, FGuest.Engine, kit::TDumpOptions{false, false});
  }

private:
  grid_world::TSevenNationWorld FHost;
  grid_world::TSevenNationWorld FGuest;
  TSink FHostSink;
  TSink FGuestSink;
  kit::TForbiddenRandom FNone;
  kit::TRandomOrders FOrders;
  std::int32_t FImpulse = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
};

// A desync: the run's name and the first difference.
bool Desynced(TGame& Game, const std::string& Title) {
  const std::string Fault = Game.Desync();
  if (Fault.empty()) return false;
  std::printf("DESYNC in %s: %s\n", Title.c_str(), Fault.c_str());
  std::fflush(stdout);
  return true;
}

struct TGrid {
  int Width = grid_world::GridWidth;
  int Height = grid_world::GridHeight;
};

// Plays Impulses impulses after Warm-up ones and prints the figures of the game; false on a
// desync.
bool Play(const std::string& Title, int Units, int ZonesUsed, int Warm, int Impulses, TGrid Grid = {}) {
  TGame Game(Units, ZonesUsed, 1000 + static_cast<std::uint64_t>(Units), Grid.Width, Grid.Height);
  for (int I = 0; I < Warm; ++I) Game.Run();
  TStats Host, Orders, Execution, End, Upkeep, Guest, Records, Bytes;
  for (int I = 0; I < Impulses; ++I) {
    const TImpulseTimes T = Game.Run();
    Host.Add(T.Host());
    Orders.Add(T.Orders);
    Execution.Add(T.Units);
    End.Add(T.End);
    Upkeep.Add(T.Upkeep);
    Guest.Add(T.Guest);
    Records.Add(static_cast<double>(T.Records));
    Bytes.Add(static_cast<double>(T.Bytes));
  }
  std::printf("%s: %d zones, %d units at the start, %d at the end, %d impulses after %d\n", Title.c_str(), Game.Host().GetZoneCount(), Units,
              Game.Host().GetUnitCount(), Impulses, Warm);
  std::printf("  host impulse (rules and upkeep): median %.3f ms, 95th %.3f ms, worst %.3f ms; %.0f impulses/s at the median\n",
              Host.Median(), Host.Quantile(0.95), Host.Worst(), Host.Median() > 0 ? 1000.0 / Host.Median() : 0.0);
  std::printf("    order stage %.3f ms, unit execution %.3f ms, end-of-impulse stages %.3f ms, upkeep %.3f ms (means)\n",
              Orders.Mean(), Execution.Mean(), End.Mean(), Upkeep.Mean());
  std::printf("  guest replay and upkeep: median %.3f ms, 95th %.3f ms, worst %.3f ms; %.0f impulses/s at the median\n",
              Guest.Median(), Guest.Quantile(0.95), Guest.Worst(), Guest.Median() > 0 ? 1000.0 / Guest.Median() : 0.0);
  std::printf("  records per impulse: mean %.1f, worst %.0f; bytes per impulse: mean %.0f, worst %.0f\n", Records.Mean(),
              Records.Worst(), Bytes.Mean(), Bytes.Worst());
  std::fflush(stdout);
  if (Desynced(Game, Title)) return false;
  std::printf("  guest in step with the host\n");
  return true;
}

// The Standard world of the program folder as the game runs it: at every impulse the brain of
// the impulse's major power plays the default script and its orders are queued, the rules run
// and a guest replays the records. Median and 95th percentile of host (brain included) and
// guest; the whole games compared at the end. False on a desync or a fault.
bool PlayStandard(int Warm, int Impulses) {
  const std::filesystem::path Folder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";
  std::string Scenario, Map;
  if (ReadFileText((Folder / "Standard.brmscen").string(), Scenario) != ftRead || ReadFileText((Folder / "Standard.brmmap").string(), Map) != ftRead) {
    std::printf("The Standard world: its files are not in %s\n", Folder.string().c_str());
    return false;
  }
  const TCurrentFolder In(Folder);
  players_test::TComputerGame Game(1939, true, {Scenario, Map, "Standard.brmscen"});
  TStats Host, Guest, Turn;
  for (int I = 0; I < Warm + Impulses; ++I) {
    const bool Last = I + 1 == Warm + Impulses;
    if (const std::string Fault = Game.RunImpulse(Last); !Fault.empty()) {
      std::printf("DESYNC in the Standard world: %s\n", Fault.c_str());
      return false;
    }
    if (I < Warm) continue;
    Host.Add(Game.LastHostSeconds * 1000.0);
    Guest.Add(Game.LastGuestSeconds * 1000.0);
    Turn.Add(Game.LastTurnSeconds * 1000.0);
  }
  const TBrenmoorEngine& E = Game.Host().Engine();
  std::printf("The Standard world, seven computer players: %d zones, %d units at the end, %d impulses after %d\n", E.GetZoneCount(),
              E.GetUnitCount(), Impulses, Warm);
  std::printf("  host impulse (brain's turn, rules and upkeep): median %.3f ms, 95th %.3f ms, worst %.3f ms; the brain's turn median %.3f ms, 95th %.3f ms\n",
              Host.Median(), Host.Quantile(0.95), Host.Worst(), Turn.Median(), Turn.Quantile(0.95));
  std::printf("  guest replay and upkeep: median %.3f ms, 95th %.3f ms, worst %.3f ms\n", Guest.Median(), Guest.Quantile(0.95), Guest.Worst());
  std::printf("  guest in step with the host\n");
  std::fflush(stdout);
  return true;
}

// A long game: the time per impulse and the resident set at its start and at its end; false on
// a desync.
bool LongRun(int Impulses) {
  const int Block = std::max(1, Impulses / 10);
  TGame Game(1000, 0, 77);
  std::printf("Long run: %d impulses, 1000 units at the start\n", Impulses);
  TStats First, Last, Now, HostNow, RecordsNow;
  long RssFirst = 0, RssLast = 0;
  for (int I = 0; I < Impulses; ++I) {
    const TImpulseTimes T = Game.Run();
    if (I < Block) First.Add(T.Host() + T.Guest);
    if (I >= Impulses - Block) Last.Add(T.Host() + T.Guest);
    Now.Add(T.Host() + T.Guest);
    HostNow.Add(T.Host());
    RecordsNow.Add(static_cast<double>(T.Records));
    if (I == Block - 1) RssFirst = ResidentKiB();
    if ((I + 1) % Block == 0) {
      TBrenmoorEngine& H = Game.Host();
      int Alive = 0;
      for (int N = 0; N < H.GetNationCount(); ++N) Alive += H.GetNation(N)->GetAlive();
      std::printf("  impulses %5d..%5d: host and guest %.3f ms per impulse (mean), host %.3f, records %.0f; %d units, %d routings, "
                  "%d storms, %d active events, %d nations alive; RSS %ld KiB\n",
                  I + 1 - Block, I, Now.Mean(), HostNow.Mean(), RecordsNow.Mean(), H.GetUnitCount(), H.GetRoutingCount(),
                  H.GetStormCount(), H.GetActiveEventCount(), Alive, ResidentKiB());
      Now.Values.clear();
      HostNow.Values.clear();
      RecordsNow.Values.clear();
    }
  }
  RssLast = ResidentKiB();
  std::printf("  first %d: median %.3f ms, 95th %.3f ms, worst %.3f ms; RSS %ld KiB\n", Block, First.Median(), First.Quantile(0.95),
              First.Worst(), RssFirst);
  std::printf("  last %d: median %.3f ms, 95th %.3f ms, worst %.3f ms; RSS %ld KiB\n", Block, Last.Median(), Last.Quantile(0.95),
              Last.Worst(), RssLast);
  std::fflush(stdout);
  return !Desynced(Game, "the long run");
}

}  // namespace

int main(int argc, char** argv) {
  bool Long = false;
  std::string Only;
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--long") == 0)
      Long = true;
    else if (std::strcmp(argv[I], "--only") == 0 && I + 1 < argc)
      Only = argv[++I];
    else if (std::strncmp(argv[I], "--benchmark_", 12) != 0) {
      std::fprintf(stderr, "usage: %s [--long] [--only TEXT]\n", argv[0]);
      return 2;
    }
  }
  const auto Chosen = [&Only](const std::string& Title) { return Title.find(Only) != std::string::npos; };
  // Briefly under CTest: every world plays a few impulses, its desync check included.
  const int N = Long ? 300 : 4;
  const int Warm = Long ? 20 : 2;
  bool Sound = true;
  for (const TGrid Grid : {TGrid{20, 15}, TGrid{40, 30}, TGrid{60, 40}})
    for (const int Units : {1000, 4000, 8000}) {
      const std::string Title = "Grid " + std::to_string(Grid.Width) + "x" + std::to_string(Grid.Height) + ", " + std::to_string(Units) + " units";
      if (Chosen(Title)) Sound = Play(Title, Units, 0, Warm, N, Grid) && Sound;
    }
  // The same units on fewer zones: more units meet in each zone.
  for (const int Units : {1000, 3000}) {
    const std::string Title = std::to_string(Units) + " units on 40 land and 10 sea zones";
    if (Chosen(Title)) Sound = Play(Title, Units, 40, Warm, N) && Sound;
  }
  if (Chosen("Standard")) Sound = PlayStandard(Warm, Long ? 700 : N) && Sound;
  if (Chosen("Long run")) Sound = LongRun(Long ? 10000 : 20) && Sound;
  return Sound ? 0 : 1;
}
