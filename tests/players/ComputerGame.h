#pragma once
// A headless game of computer players only, as the main window runs it: on the host, at every
// impulse, the brain of the impulse plays (the module's turn), its orders are queued and the
// rules run the impulse; a guest replays the host's change records; both run the upkeep. The
// guest is optional (the benchmark and the tournament play the host alone). The world is the
// generated seven-power world unless another scenario and map set are given.
#include <array>
#include <chrono>
#include <ctime>
#include <map>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "SevenPowerWorld.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RulesKit.h"
#include "engine/ImpulseSteps.h"
#include "players/ScriptModule.h"
#include "screens/GameStart.h"

namespace players_test {

class TQueueingOrders : public TOrderSink {
public:
  void IssueOrder(const std::string& Record) override { Records.push_back(Record); }
  std::vector<std::string> Records;
};

// The texts of a world: its scenario, its map set and the scenario's file name.
struct TWorldText {
  std::string Scenario;
  std::string Map;
  std::string ScenarioFile;
};

inline TWorldText SevenPowerWorld() { return {seven_power_world::ScenarioText(), seven_power_world::MapText(), {}}; }

class TComputerGame {
public:
  // The sender of the host's own orders: the first impulse user, the machine that runs the rules.
  static constexpr const char* HostName = "Host";

  TComputerGame(std::uint64_t Seed, bool WithGuest, const TWorldText& World = SevenPowerWorld())
      : FHost(StartedWorld(World, WithGuest ? smHost : smDuel, Seed, FHostUsers)) {
    Module.GetRandom().SetSeed(Seed + 1);
    if (WithGuest) {
      // The guest starts the same new game from the same scenario, then only replays.
      FGuest = StartedWorld(World, smGuest, std::nullopt, FGuestUsers);
      FGuest->Sink.Host = false;
      FGuest->Engine().SetRandomGenerator(&FGuestRandom);
      GuestModule.SetBrenmoorEngine(&FGuest->Engine());
    }
    for (kit::TKitWorld* W : Worlds()) W->Engine().Upkeep().UpdateVisibility(0);
    Module.SetBrenmoorEngine(&FHost->Engine());
    Module.SetOrderSink(&Orders);
    Module.OnShowMessage = [this](const std::string& Text) { Messages.push_back(Text); };
    GuestModule.OnShowMessage = [this](const std::string& Text) { Messages.push_back("guest: " + Text); };
    Module.OnReport = [this](const TBrainReport& Report) { Reports.push_back(Report); };
    GuestModule.OnReport = [this](const TBrainReport& Report) { Reports.push_back(Report); };
  }

  kit::TKitWorld& Host() { return *FHost; }
  kit::TKitWorld* Guest() { return FGuest.get(); }
  std::int32_t GetImpulse() const { return FImpulse; }

  // One impulse; "" when it ran and (with a guest) both machines agree, else a report. The
  // two games are compared in full when Compare is set (the dump is the dear part).
  std::string RunImpulse(bool Compare = true) {
    const std::int32_t Impulse = FImpulse++;
    const std::string Where = "Impulse " + std::to_string(Impulse) + ": ";
    TBrenmoorEngine& H = FHost->Engine();
    FHost->Sink.Records.clear();
    using Clock = std::chrono::steady_clock;
    const auto Seconds = [](Clock::time_point From) { return std::chrono::duration<double>(Clock::now() - From).count(); };
    const auto ImpulseStart = Clock::now();
    double Guest = 0;
    try {
      // The clock's first step on every machine, as the window runs it through the module: the
      // impulse number, the date, the brain (host only), the reset.
      const auto TurnStart = std::chrono::steady_clock::now();
      const double CpuStart = ThreadCpuSeconds();
      Module.BeforeProcess(Impulse, true);
      LastTurnSeconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - TurnStart).count();
      LastTurnCpuSeconds = ThreadCpuSeconds() - CpuStart;
      LastTurnSteps = Module.LastTurnSteps();
      LastTurnOverBudget = Module.LastTurnOverBudget();
      if (FGuest) {
        const auto Start = Clock::now();
        GuestModule.BeforeProcess(Impulse, false);
        Guest += Seconds(Start);
      }
      for (const std::string& Record : Orders.Records) {
        ++OrdersByCode[std::stoi(Record)];
        ++OrdersByPower[static_cast<std::size_t>(Impulse % 7)][std::stoi(Record)];
        H.QueueOrder(Record, HostName);
      }
      Orders.Records.clear();
      H.ProcessImpulse();
      if (FGuest) {
        const auto Start = Clock::now();
        TBrenmoorEngine& G = FGuest->Engine();
        ReplayChanges(G, kit::UnframeChanges(kit::FrameChanges(Impulse, FHost->Sink.Records)));
        Guest += Seconds(Start);
      }
      for (kit::TKitWorld* W : Worlds()) {
        const auto Start = Clock::now();
        AfterImpulse(W->Engine());
        if (W == FGuest.get()) Guest += Seconds(Start);
      }
      LastGuestSeconds = Guest;
      LastHostSeconds = Seconds(ImpulseStart) - Guest;
    } catch (const std::exception& Error) {
      return Where + Error.what();
    }
    if (!Messages.empty()) return Where + "a brain reported: " + Messages.front();
    if (!FGuest) return {};
    if (!FGuest->Sink.Records.empty()) return Where + "the guest wrote " + FGuest->Sink.Records.front();
    if (FGuestRandom.Draws() > 0) return Where + "the guest drew a random number";
    if (!Compare) return {};
    for (kit::TKitWorld* W : Worlds())
      if (std::string Fault = kit::CheckInvariants(W->Engine()); !Fault.empty()) return Where + Fault;
    const kit::TDumpOptions Shared{false, false};
    const std::string DH = SharedGame(kit::DumpState(H, Shared));
    const std::string DG = SharedGame(kit::DumpState(FGuest->Engine(), Shared));
    if (DH != DG) return Where + kit::FirstDifference(DH, DG);
    return {};
  }

  TdmScript Module;
  TdmScript GuestModule;
  TQueueingOrders Orders;
  std::vector<std::string> Messages;
  // What the players would be told of the brains' failures (once per power and error).
  std::vector<TBrainReport> Reports;
  std::map<int, int> OrdersByCode;
  // The same per major power (the power whose brain gave them: the power of the impulse).
  std::array<std::map<int, int>, 7> OrdersByPower;
  // The time the host's start of the last impulse took (the date, the brain's turn, the
  // reset): on the clock, and the processor time of this thread (which other programs on a
  // busy machine do not inflate as much).
  double LastTurnSeconds = 0;
  double LastTurnCpuSeconds = 0;
  // The script steps of the last impulse's turn (of the brain that ran last).
  std::uint64_t LastTurnSteps = 0;
  bool LastTurnOverBudget = false;
  // The last impulse's time on the host (the brain's turn, the rules, the upkeep) and on the
  // guest (its module's step, the replay, the upkeep), the comparison left out.
  double LastHostSeconds = 0;
  double LastGuestSeconds = 0;

private:
  static double ThreadCpuSeconds() {
    timespec T{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &T);
    return static_cast<double>(T.tv_sec) + static_cast<double>(T.tv_nsec) * 1e-9;
  }

  // The dump without what only the machine that runs the brains keeps: the brains' script
  // names, whether they are loaded, and their private data.
  static std::string SharedGame(const std::string& Dump) {
    std::string Out;
    std::size_t From = 0;
    while (From < Dump.size()) {
      std::size_t To = Dump.find('\n', From);
      if (To == std::string::npos) To = Dump.size();
      const std::string_view Line(Dump.data() + From, To - From);
      if (Line.find(".aiScript=") == std::string_view::npos && Line.find(".scriptLoaded=") == std::string_view::npos &&
          Line.find(".brainData=") == std::string_view::npos) {
        Out.append(Line);
        Out += '\n';
      }
      From = To + 1;
    }
    return Out;
  }

  std::vector<kit::TKitWorld*> Worlds() {
    std::vector<kit::TKitWorld*> W{FHost.get()};
    if (FGuest) W.push_back(FGuest.get());
    return W;
  }

  // The world's scenario read and its game started as the program starts one: every major
  // power played by the computer, HostName the first impulse user (the sender of the host's
  // orders). The records of the placement are dropped.
  static std::unique_ptr<kit::TKitWorld> StartedWorld(const TWorldText& World, TStartMode Mode,
                                                      std::optional<std::uint64_t> Seed, kit::TKitUsers& Users) {
    auto W = std::make_unique<kit::TKitWorld>(kit::TMapOnly{World.Map, "kit.map"});
    W->Engine().ReadScenario(World.Scenario, World.ScenarioFile);
    TGameSetUp SetUp;
    SetUp.Mode = Mode;
    SetUp.Powers = SoloPowers(W->Engine(), {});
    SetUp.OwnPlayer = HostName;
    SetUp.Seed = Seed;
    const TGameStart Start = StartGameRules(W->Engine(), Users, SetUp);
    if (!Start.Started()) throw std::runtime_error("The computer game did not start: " + Start.Refusal);
    W->Sink.Records.clear();
    return W;
  }

  // Before the worlds: their engines keep pointers to these.
  kit::TKitUsers FHostUsers{std::vector<std::string>{HostName}};
  kit::TKitUsers FGuestUsers{std::vector<std::string>{HostName}};
  kit::TForbiddenRandom FGuestRandom;
  std::unique_ptr<kit::TKitWorld> FHost;
  std::unique_ptr<kit::TKitWorld> FGuest;
  std::int32_t FImpulse = 0;
};

}  // namespace players_test
