// Whole impulses on a world of 300 zones with seven major powers and five minors, storms and
// random events on and a synthetic stream of orders (mostly sound, one in twenty hostile):
// the host's impulses per second with the time of each stage, the guest's replay and upkeep,
// the records and bytes per impulse, the growth with units and with units per zone, and a
// long run whose time per impulse and memory stay flat.
//
// A figure printer rather than a set of timing loops: the figures are distributions over many
// impulses of one game, which a timing loop that repeats one call does not show. Run by CTest
// (with its --benchmark_min_time argument, which is ignored) it plays short games; with
// --long it plays the full ones, the 10,000-impulse run among them.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <string>
#include <vector>

#include "GridWorld.h"
#include "engine/BrenmoorEngine.h"
#include "engine/kit/RandomOrders.h"

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
  TGame(int Units, int ZonesUsed, std::uint64_t Seed)
      : FHost(Units, ZonesUsed), FGuest(Units, ZonesUsed), FHostSink(true), FGuestSink(false), FOrders(Seed) {
    FHost.Engine.SetChangeSink(&FHostSink);
    FGuest.Engine.SetChangeSink(&FGuestSink);
    FHost.Engine.SetRandomSeed(Seed);
    const TMapExtent Extent = FHost.Map.GetExtent();
    FWidth = Extent.Width;
    FHeight = Extent.Height;
    for (TBrenmoorEngine* E : {&FHost.Engine, &FGuest.Engine}) E->UpdateVisibility(0);
  }

  // One impulse: the host's stages timed one by one (the steps of ProcessImpulse in their
  // order), the framed records to the guest, the upkeep on both.
  TImpulseTimes Run() {
    TImpulseTimes T;
    TBrenmoorEngine& H = FHost.Engine;
    TBrenmoorEngine& G = FGuest.Engine;
    FHostSink.Records.clear();
    const std::int32_t Impulse = FImpulse++;
    for (TBrenmoorEngine* E : {&H, &G}) {
      E->SetImpulse(Impulse);
      E->BeginImpulse();
    }
    for (const kit::TGeneratedOrder& O : FOrders.Generate(H, 20)) H.QueueOrder(O.Record, O.Sender);
    auto Start = Clock::now();
    {
      TBrenmoorEngine::TImpulseRun Running(H);
      H.OrderStage();
      auto Next = Clock::now();
      T.Orders = Ms(Next - Start);
      Start = Next;
      H.ExecuteUnits(Impulse);
      Next = Clock::now();
      T.Units = Ms(Next - Start);
      Start = Next;
      H.EndOfImpulseStages(Impulse, FWidth, FHeight);
      Next = Clock::now();
      T.End = Ms(Next - Start);
      Start = Next;
    }
    H.SupplyUpkeep();
    H.UpdateVisibility(Impulse);
    H.EndImpulseUpkeep(Impulse);
    H.AdvanceDate();
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
    while (!Rest.empty()) G.ApplyStateChange(NextToken(Rest, "~"));
    G.SupplyUpkeep();
    G.UpdateVisibility(Impulse);
    G.EndImpulseUpkeep(Impulse);
    G.AdvanceDate();
    T.Guest = Ms(Clock::now() - Start);
    return T;
  }

  TBrenmoorEngine& Host() { return FHost.Engine; }
  TBrenmoorEngine& Guest() { return FGuest.Engine; }

private:
  grid_world::TSevenNationWorld FHost;
  grid_world::TSevenNationWorld FGuest;
  TSink FHostSink;
  TSink FGuestSink;
  kit::TRandomOrders FOrders;
  std::int32_t FImpulse = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
};

// Plays Impulses impulses after a warm-up and prints the figures of the game.
TStats Play(const char* Title, int Units, int ZonesUsed, int Impulses, bool Check) {
  TGame Game(Units, ZonesUsed, 1000 + static_cast<std::uint64_t>(Units));
  for (int I = 0; I < 20; ++I) Game.Run();
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
  std::printf("%s: %d units at the start, %d at the end, %d impulses\n", Title, Units, Game.Host().GetUnitCount(), Impulses);
  std::printf("  host impulse (rules and upkeep): median %.3f ms, 95th %.3f ms, worst %.3f ms; %.0f impulses/s at the median\n",
              Host.Median(), Host.Quantile(0.95), Host.Worst(), Host.Median() > 0 ? 1000.0 / Host.Median() : 0.0);
  std::printf("    order stage %.3f ms, unit execution %.3f ms, end-of-impulse stages %.3f ms, upkeep %.3f ms (means)\n",
              Orders.Mean(), Execution.Mean(), End.Mean(), Upkeep.Mean());
  std::printf("  guest replay and upkeep: median %.3f ms, 95th %.3f ms, worst %.3f ms; %.0f impulses/s at the median\n",
              Guest.Median(), Guest.Quantile(0.95), Guest.Worst(), Guest.Median() > 0 ? 1000.0 / Guest.Median() : 0.0);
  std::printf("  records per impulse: mean %.1f, worst %.0f; bytes per impulse: mean %.0f, worst %.0f\n", Records.Mean(),
              Records.Worst(), Bytes.Mean(), Bytes.Worst());
  if (Check)
    std::printf("  10 ms budget for rules and upkeep: %s (95th percentile %.3f ms)\n", Host.Quantile(0.95) <= 10.0 ? "kept" : "EXCEEDED",
                Host.Quantile(0.95));
  std::fflush(stdout);
  return Host;
}

// A long game: the time per impulse and the resident set at its start and at its end.
void LongRun(int Impulses) {
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
}

}  // namespace

int main(int argc, char** argv) {
  bool Long = false;
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--long") == 0)
      Long = true;
    else if (std::strncmp(argv[I], "--benchmark_", 12) != 0) {
      std::fprintf(stderr, "usage: %s [--long]\n", argv[0]);
      return 2;
    }
  }
  const int N = Long ? 1000 : 60;
  Play("1000 units over every zone", 1000, 0, N, true);
  Play("3000 units over every zone", 3000, 0, N, false);
  // The same units on fewer zones: more units meet in each zone.
  Play("1000 units on 40 land and 10 sea zones", 1000, 40, N, false);
  Play("3000 units on 40 land and 10 sea zones", 3000, 40, N, false);
  LongRun(Long ? 10000 : 200);
  return 0;
}
