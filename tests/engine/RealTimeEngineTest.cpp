// The impulse clock on virtual time: pacing, pause, the solo game, the online exchange of
// orders and changes over an in-memory lobby room with latency, drops and removals, runs that
// end in the middle of an impulse, and the clock over the real lobby connection.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/ImpulseSteps.h"
#include "engine/RealTimeEngine.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/FakeScheduler.h"
#include "engine/kit/LobbyHub.h"
#include "engine/kit/RulesKit.h"
#include "foundation/ListError.h"
#include "lobby/VexilConnection.h"

namespace {

using kit::TFakeScheduler;
using kit::TLobbyHub;

std::string I(std::int64_t V) { return std::to_string(V); }

// One machine's clock whose every event writes a line into Log; the During... hooks let a
// test act inside a handler, after its line is written.
struct TMachine {
  explicit TMachine(TFakeScheduler& S, TImpulseConnection* Connection = nullptr, std::string SoloName = "[SOLO]")
      : Scheduler(S), Clock(std::make_unique<TRealTimeEngine>(S)) {
    TRealTimeEngine& C = *Clock;
    C.SetConnection(Connection);
    C.BeforeProcess = [this](TClockRun* R) {
      Note(R, "Before " + I(Clock->GetImpulse()));
      BeforeTimes.push_back(Scheduler.NowMs());
      if (DuringBefore) DuringBefore();
    };
    C.OnCollectOrders = [this](TClockRun* R, const std::string& Text, const std::string& Id) {
      Note(R, "Collect " + Id + " " + Text);
      Collected.push_back(Id + " " + Text);
      if (DuringCollect) DuringCollect(Text);
    };
    C.OnProcessOrders = [this](TClockRun* R) {
      Note(R, "Process " + I(Clock->GetImpulse()));
      if (DuringProcess) DuringProcess();
    };
    C.OnProcessStateChange = [this](TClockRun* R, const std::string& Text) {
      Note(R, "State " + Text);
      States.push_back(Text);
      if (DuringState) DuringState(Text);
    };
    C.OnUserRemoved = [this](TClockRun* R, const TVexilUserPtr& U) { Note(R, "Removed " + U->UserId()); };
    C.AfterProcess = [this](TClockRun* R) {
      Note(R, "After " + I(Clock ? Clock->GetImpulse() : -1));
      if (DuringAfter) DuringAfter();
    };
    C.OnSoloUserInfo = [this, SoloName](TRealTimeEngine* Sender, const TVexilUserPtr& U) {
      ClockSenders.push_back(Sender);
      U->SetUserId(SoloName);
      Log.push_back("Solo");
    };
    C.OnActivate = [this](TRealTimeEngine* Sender) {
      ClockSenders.push_back(Sender);
      Log.push_back("Activate");
    };
    C.OnDeactivate = [this](TRealTimeEngine* Sender) {
      ClockSenders.push_back(Sender);
      Log.push_back("Deactivate");
      if (DuringDeactivate) DuringDeactivate();
    };
  }
  // The clock goes first: its OnDeactivate still writes into the log.
  ~TMachine() { Clock.reset(); }
  TMachine(const TMachine&) = delete;
  TMachine& operator=(const TMachine&) = delete;
  void Note(TClockRun* R, std::string Line) {
    Senders.push_back(R);
    Log.push_back(std::move(Line));
  }
  std::vector<std::string> TakeLog() { return std::exchange(Log, {}); }

  TFakeScheduler& Scheduler;
  std::unique_ptr<TRealTimeEngine> Clock;
  std::vector<std::string> Log;
  std::vector<TClockRun*> Senders;
  std::vector<TRealTimeEngine*> ClockSenders;
  std::vector<std::int64_t> BeforeTimes;
  std::vector<std::string> Collected;
  std::vector<std::string> States;
  std::function<void()> DuringBefore, DuringProcess, DuringAfter, DuringDeactivate;
  std::function<void(const std::string&)> DuringCollect, DuringState;
};

using TLog = std::vector<std::string>;

// --- Pacing ---

TEST(RealTimeEngine, SleepsTheRestOfTheIntervalAfterTheProcessing) {
  struct TCase {
    std::int32_t Interval;
    std::int64_t Work;
    std::int32_t Sleep;
  };
  for (const TCase& Case : {TCase{4000, 0, 4000}, TCase{4000, 300, 3700}, TCase{4000, 4000, 0},
                            TCase{4000, 4500, 0}, TCase{TRealTimeEngine::FastDuelInterval, 30, 70}}) {
    SCOPED_TRACE("interval " + I(Case.Interval) + ", work " + I(Case.Work));
    TFakeScheduler S;
    TMachine M(S);
    M.Clock->SetInterval(Case.Interval);
    M.DuringProcess = [&] { S.Advance(Case.Work); };
    M.Clock->SetActive(true);
    S.RunUntil(0);
    ASSERT_EQ(M.Clock->GetImpulse(), 1);
    // The step after the impulse waits for the rest of the interval, nothing else is pending.
    EXPECT_EQ(S.PostedDelays().back(), Case.Sleep);
    EXPECT_EQ(S.PendingCount(), 1u);
    S.RunUntil(3 * (Case.Work + Case.Sleep));
    const std::int64_t Period = Case.Work + Case.Sleep;
    EXPECT_EQ(M.BeforeTimes, (std::vector<std::int64_t>{0, Period, 2 * Period, 3 * Period}));
  }
}

TEST(RealTimeEngine, PausedWaitsInSteps100MsAfterTheImpulseAndGoesOnWhenReleased) {
  TFakeScheduler S;
  TMachine M(S);
  M.DuringAfter = [&] {
    if (M.Clock->GetImpulse() == 1) M.Clock->SetPaused(true);
  };
  M.Clock->SetActive(true);
  S.RunUntil(10050);
  // Impulse 1 ran to its end; the clock sleeps the interval and then checks every 100 ms.
  EXPECT_EQ(M.BeforeTimes, (std::vector<std::int64_t>{0}));
  EXPECT_EQ(M.Clock->GetImpulse(), 1);
  const std::vector<std::int32_t>& D = S.PostedDelays();
  ASSERT_EQ(D.size(), 2u + 61u);  // the start, the interval, 4100..10100 in 100 ms steps
  EXPECT_EQ(D[1], 4000);
  for (std::size_t K = 2; K < D.size(); ++K) EXPECT_EQ(D[K], 100) << K;
  M.Clock->SetPaused(false);
  S.RunUntil(14100);
  EXPECT_EQ(M.BeforeTimes, (std::vector<std::int64_t>{0, 10100, 14100}));
}

// --- Solo ---

TEST(RealTimeEngine, SoloGameCollectsItsOwnOrdersAndSendsNothing) {
  TFakeScheduler S;
  TMachine M(S);
  TRealTimeEngine& C = *M.Clock;
  EXPECT_EQ(C.GetUserName(), "User");
  EXPECT_TRUE(C.IsHost());
  C.AddOrder("1;40;12;");
  C.AddOrder("31;0;");
  EXPECT_EQ(C.GetOrdersBuffer(), "1;40;12;~31;0;~");
  M.DuringProcess = [&] { C.AddChange("3;12;1;40;-1;0;"); };
  C.SetActive(true);
  EXPECT_EQ(M.TakeLog(), (TLog{"Solo", "Activate"}));
  EXPECT_EQ(C.GetUserName(), "[SOLO]");
  ASSERT_EQ(C.GetUserCount(), 1);
  EXPECT_EQ(C.GetUserName(0), "[SOLO]");
  EXPECT_TRUE(C.IsHost());
  S.RunUntil(0);
  EXPECT_EQ(M.TakeLog(), (TLog{"Before 0", "Collect [SOLO] 1;40;12;", "Collect [SOLO] 31;0;", "Process 0", "After 1"}));
  // The changes of a solo game go nowhere.
  EXPECT_EQ(C.GetChangesBuffer(), "");
  S.RunUntil(8000);
  EXPECT_EQ(M.TakeLog(), (TLog{"Before 1", "Process 1", "After 2", "Before 2", "Process 2", "After 3"}));
  EXPECT_TRUE(M.States.empty());
  // Every per-impulse event carries the run, the others the clock.
  const std::shared_ptr<TClockRun> Run = C.GetRun()->shared_from_this();
  EXPECT_TRUE(Run->IsCurrent());
  EXPECT_EQ(Run->GetClock(), &C);
  for (TClockRun* R : M.Senders) EXPECT_EQ(R, Run.get());
  for (TRealTimeEngine* R : M.ClockSenders) EXPECT_EQ(R, &C);

  C.SetActive(false);
  EXPECT_EQ(M.TakeLog(), (TLog{"Deactivate"}));
  EXPECT_EQ(C.GetRun(), nullptr);
  EXPECT_FALSE(Run->IsCurrent());
  EXPECT_EQ(C.GetUserCount(), 0);
  EXPECT_EQ(C.GetUserName(), "User");
  EXPECT_EQ(S.PendingCount(), 0u);
  EXPECT_THROW(C.GetUser(0), EListError);
  // A run kept by a handler tells that the clock it belonged to is gone.
  M.Clock.reset();
  EXPECT_EQ(Run->GetClock(), nullptr);
  EXPECT_FALSE(Run->IsCurrent());
}

TEST(RealTimeEngine, AloneInTheRoomTheHostSendsNothing) {
  TFakeScheduler S;
  TLobbyHub Hub(S);
  TMachine M(S, &Hub.Join("host"));
  M.DuringProcess = [&] { M.Clock->AddChange("24;7;"); };
  M.Clock->AddOrder("1;2;3;");
  M.Clock->SetActive(true);
  S.RunUntil(12000);
  EXPECT_EQ(M.Clock->GetImpulse(), 4);
  EXPECT_TRUE(Hub.Sent.empty());
  EXPECT_TRUE(M.States.empty());
  EXPECT_EQ(M.Collected, (TLog{"host 1;2;3;"}));
}

TEST(RealTimeEngine, ImpulseIsWrittenOnlyWhileInactive) {
  TFakeScheduler S;
  TMachine M(S);
  M.Clock->SetImpulse(40);
  M.Clock->SetActive(true);
  M.Clock->SetImpulse(7);
  EXPECT_EQ(M.Clock->GetImpulse(), 40);
  S.RunUntil(0);
  EXPECT_EQ(M.Clock->GetImpulse(), 41);
  M.DuringProcess = [&] { M.Clock->SetImpulse(0); };
  S.RunUntil(4000);
  EXPECT_EQ(M.Clock->GetImpulse(), 42);
  M.Clock->SetActive(false);
  M.Clock->SetImpulse(7);
  EXPECT_EQ(M.Clock->GetImpulse(), 7);
}

// --- Online ---

// A host and two clients in one room; the latencies differ so the messages cross.
struct TRoom {
  TRoom() : Hub(S) {
    for (const char* Name : {"host", "anna", "bert"}) Hub.Join(Name);
    Hub.SetLatency("anna", "host", 50);
    Hub.SetLatency("bert", "host", 10);
    Hub.SetLatency("host", "anna", 20);
    Hub.SetLatency("host", "bert", 25);
  }
  TImpulseConnection* Link(const std::string& Name) { return &Hub.Connection(Name); }

  TFakeScheduler S;
  TLobbyHub Hub;
};

TEST(RealTimeEngine, HostCollectsEveryPlayersOrdersAndClientsReplayItsChanges) {
  TRoom R;
  TMachine Host(R.S, R.Link("host")), Anna(R.S, R.Link("anna")), Bert(R.S, R.Link("bert"));
  EXPECT_FALSE(Host.Clock->GetActive());
  Host.Clock->AddOrder("1;4;10;");
  Anna.Clock->AddOrder("1;2;11;");
  Anna.Clock->AddOrder("28;1;2;");
  Host.DuringProcess = [&] {
    if (Host.Clock->GetImpulse() > 0) return;
    Host.Clock->AddChange("3;10;1;4;-1;0;");
    Host.Clock->AddChange("24;7;");
  };
  // A client writes no change records.
  Anna.DuringState = [&](const std::string&) { Anna.Clock->AddChange("24;9;"); };
  for (TMachine* M : {&Host, &Anna, &Bert}) {
    M->Clock->SetActive(true);
    EXPECT_EQ(M->TakeLog(), (TLog{"Activate"}));
  }
  EXPECT_TRUE(Host.Clock->IsHost());
  EXPECT_FALSE(Anna.Clock->IsHost());
  EXPECT_EQ(Anna.Clock->GetUserName(), "anna");
  ASSERT_EQ(Anna.Clock->GetUserCount(), 3);
  EXPECT_EQ(Anna.Clock->GetUserName(0), "host");

  R.S.RunUntil(1000);
  // Arrival order: the host's own, bert's (10 ms), anna's (50 ms).
  EXPECT_EQ(Host.TakeLog(), (TLog{"Before 0", "Collect host 1;4;10;", "Collect anna 1;2;11;", "Collect anna 28;1;2;",
                                  "Process 0", "After 1"}) )
      << "bert's message is empty, anna's came last";
  EXPECT_EQ(Anna.TakeLog(), (TLog{"Before 0", "State 3;10;1;4;-1;0;", "State 24;7;", "After 1"}));
  EXPECT_EQ(Bert.TakeLog(), (TLog{"Before 0", "State 3;10;1;4;-1;0;", "State 24;7;", "After 1"}));
  EXPECT_EQ(Anna.Clock->GetChangesBuffer(), "");
  const std::vector<std::pair<std::string, std::string>> Messages = {
      {"anna", "ORDERS|anna|0|1;2;11;~28;1;2;~"},
      {"bert", "ORDERS|bert|0|"},
      {"host", "CHANGES|0|3;10;1;4;-1;0;~24;7;~"}};
  EXPECT_EQ(R.Hub.Sent, Messages);

  // The next impulses go the same way, each machine on its own interval.
  R.S.RunUntil(19000);
  for (TMachine* M : {&Host, &Anna, &Bert}) EXPECT_EQ(M->Clock->GetImpulse(), 5);
  EXPECT_EQ(R.Hub.Sent.size(), 3u * 5u);
  EXPECT_EQ(R.Hub.Sent.back(), (std::pair<std::string, std::string>{"host", "CHANGES|4|"}));

  Host.Clock->RemoveUser("nobody");
  EXPECT_EQ(Host.Clock->GetUserCount(), 3);
  Host.Clock->RemoveUser("anna");
  ASSERT_EQ(Host.Clock->GetUserCount(), 2);
  EXPECT_EQ(Host.Clock->GetUserName(1), "bert");
}

TEST(RealTimeEngine, HostWaitsForEveryPlayerAndCountsNoOtherMessage) {
  TRoom R;
  // Bert's machine is played by the test.
  TMachine Host(R.S, R.Link("host")), Anna(R.S, R.Link("anna"));
  Anna.Clock->AddOrder("1;2;11;");
  Host.Clock->SetActive(true);
  Anna.Clock->SetActive(true);
  R.S.RunUntil(0);
  R.Hub.SendTo("mallory", "host", "ORDERS|mallory|0|66;~");   // not a player
  R.Hub.SendTo("anna", "host", "ORDERS|anna|0|77;~");         // anna's second message
  R.Hub.SendTo("anna", "host", "ORDERS|bert|0|99;~");         // anna in bert's name
  R.Hub.SendTo("bert", "host", "ORDERS|bert|5|88;~");         // another impulse
  R.Hub.SendTo("bert", "host", "ORDERS|bert|-1|88;~");
  R.Hub.SendTo("bert", "host", "ORDERS|bert|x|88;~");
  R.Hub.SendTo("bert", "host", "CHANGES|0|1;~");             // the host takes no changes
  R.S.RunUntil(30000);
  EXPECT_EQ(Host.Clock->GetImpulse(), 0);
  EXPECT_EQ(Host.TakeLog(), (TLog{"Activate", "Before 0"}));
  EXPECT_EQ(Anna.Clock->GetImpulse(), 0);

  R.Hub.SendTo("bert", "host", "ORDERS|bert|0|3;~");
  R.S.RunFor(100);
  EXPECT_EQ(Host.Collected, (TLog{"anna 1;2;11;", "bert 3;"}));
  EXPECT_EQ(Host.Clock->GetImpulse(), 1);
  EXPECT_EQ(R.S.NowMs(), 30100);
  R.S.RunFor(100);
  EXPECT_EQ(Anna.Clock->GetImpulse(), 1);
  // The next impulse starts at once (the wait took longer than the interval) and waits for
  // bert again: his message for impulse 5 stays out of it.
  EXPECT_EQ(Host.BeforeTimes.back(), 30020);
  R.S.RunFor(10000);
  EXPECT_EQ(Host.Clock->GetImpulse(), 1);
}

TEST(RealTimeEngine, ClientTakesChangesOnlyFromTheHostAndForItsImpulse) {
  TRoom R;
  // Host and bert are played by the test.
  TMachine Anna(R.S, R.Link("anna"));
  Anna.Clock->SetActive(true);
  R.S.RunUntil(0);
  R.Hub.SendTo("bert", "anna", "CHANGES|0|1;~");
  R.Hub.SendTo("mallory", "anna", "CHANGES|0|1;~");
  R.Hub.SendTo("host", "anna", "CHANGES|1|2;~");
  R.Hub.SendTo("host", "anna", "CHANGES|-1|2;~");
  R.Hub.SendTo("host", "anna", "CHANGES|zero|2;~");
  R.S.RunUntil(9000);
  EXPECT_EQ(Anna.Clock->GetImpulse(), 0);
  EXPECT_TRUE(Anna.States.empty());
  EXPECT_EQ(R.Hub.Sent.size(), 1u);  // anna's orders, once

  R.Hub.SendTo("host", "anna", "CHANGES|0|3;4;~5;~");
  R.S.RunFor(100);
  EXPECT_EQ(Anna.States, (TLog{"3;4;", "5;"}));
  EXPECT_EQ(Anna.Clock->GetImpulse(), 1);
  // A late copy of the same message is not played again.
  R.Hub.SendTo("host", "anna", "CHANGES|0|3;4;~5;~");
  R.S.RunFor(9000);
  EXPECT_EQ(Anna.States.size(), 2u);
  EXPECT_EQ(Anna.Clock->GetImpulse(), 1);
}

TEST(RealTimeEngine, OtherDataMessagesGoToTheHandlerTheClockReplaced) {
  TFakeScheduler S;
  TLobbyHub Hub(S);
  Hub.Join("host");
  kit::TLobbyConnection& Anna = Hub.Join("anna");
  TLog Window;
  Anna.OwnData = [&](const std::string& Text, const std::string& From) { Window.push_back(From + ": " + Text); };
  TMachine M(S, &Anna);
  EXPECT_TRUE(Anna.Linked());
  Hub.SendTo("host", "anna", "BRMPLAYERS|host,anna,#COMP#,");
  Hub.SendTo("host", "anna", "ORDERS|host|0|");
  Hub.SendTo("host", "anna", "CHANGES|0|");
  Hub.SendTo("host", "anna", "GAMECHAT|Albion;0;hello|there");
  Hub.SendTo("host", "anna", "ORDERSX|1");
  S.RunFor(100);
  EXPECT_EQ(Window, (TLog{"host: BRMPLAYERS|host,anna,#COMP#,", "host: GAMECHAT|Albion;0;hello|there", "host: ORDERSX|1"}));
  // Unlinked, the connection's own handler has every message again.
  M.Clock->SetConnection(nullptr);
  EXPECT_FALSE(Anna.Linked());
  Hub.SendTo("host", "anna", "ORDERS|host|0|");
  S.RunFor(100);
  EXPECT_EQ(Window.back(), "host: ORDERS|host|0|");
}

// --- Drops and removals ---

TEST(RealTimeEngine, PlayerWhoLeavesTheRoomIsDroppedAtOnceAndNotWaitedFor) {
  TRoom R;
  TMachine Host(R.S, R.Link("host")), Anna(R.S, R.Link("anna")), Bert(R.S, R.Link("bert"));
  for (TMachine* M : {&Host, &Anna, &Bert}) M->Clock->SetActive(true);
  R.S.RunUntil(3000);
  ASSERT_EQ(Host.Clock->GetImpulse(), 1);
  // Bert's machine stops, and his orders stop with it.
  Bert.Clock->SetActive(false);
  R.S.RunUntil(20000);
  EXPECT_EQ(Host.Clock->GetImpulse(), 1);
  Host.TakeLog();
  Anna.TakeLog();

  R.Hub.Leave("bert");
  EXPECT_EQ(Host.TakeLog(), (TLog{"Removed bert"}));
  EXPECT_EQ(Host.Clock->GetUserCount(), 2);
  EXPECT_EQ(Anna.Clock->GetUserCount(), 2);
  EXPECT_FALSE(Host.Clock->DropUser("bert"));
  R.S.RunFor(60);
  EXPECT_EQ(Host.Clock->GetImpulse(), 2);
  EXPECT_EQ(Anna.Clock->GetImpulse(), 2);
  // A message of his that comes late counts for nothing; the game goes on at its pace.
  R.Hub.SendTo("bert", "host", "ORDERS|bert|2|1;1;1;~");
  R.S.RunUntil(31000);
  EXPECT_EQ(Host.Clock->GetImpulse(), 5);
  EXPECT_EQ(Anna.Clock->GetImpulse(), 5);
  for (const std::string& C : Host.Collected) EXPECT_NE(C.substr(0, 4), "bert") << C;
}

TEST(RealTimeEngine, WhenTheHostLeavesTheNextPlayerTakesOverTheImpulse) {
  TRoom R;
  TMachine Host(R.S, R.Link("host")), Anna(R.S, R.Link("anna")), Bert(R.S, R.Link("bert"));
  for (TMachine* M : {&Host, &Anna, &Bert}) M->Clock->SetActive(true);
  R.S.RunUntil(3000);
  Host.Clock->SetActive(false);
  Anna.Clock->AddOrder("1;2;11;");
  Bert.Clock->AddOrder("1;5;12;");
  Anna.DuringProcess = [&] { Anna.Clock->AddChange("3;12;1;5;-1;0;"); };
  R.S.RunUntil(9000);
  EXPECT_EQ(Anna.Clock->GetImpulse(), 1);
  R.Hub.Leave("host");
  EXPECT_TRUE(Anna.Clock->IsHost());
  EXPECT_FALSE(Bert.Clock->IsHost());
  R.S.RunFor(80);
  // Anna had bert's orders: every player sends them to the whole room. His came first.
  EXPECT_EQ(Anna.Collected, (TLog{"bert 1;5;12;", "anna 1;2;11;"}));
  EXPECT_EQ(Bert.States, (TLog{"3;12;1;5;-1;0;"}));
  EXPECT_EQ(Anna.Clock->GetImpulse(), 2);
  EXPECT_EQ(Bert.Clock->GetImpulse(), 2);
}

TEST(RealTimeEngine, UserMarkedByTheRulesLeavesAfterTheImpulse) {
  TRoom R;
  TMachine Host(R.S, R.Link("host")), Anna(R.S, R.Link("anna")), Bert(R.S, R.Link("bert"));
  // The rules on every machine find that anna plays nothing any more.
  for (TMachine* M : {&Host, &Anna, &Bert})
    M->DuringAfter = [M] {
      if (M->Clock && M->Clock->GetImpulse() == 2) M->Clock->MarkUserRemoved("anna");
    };
  for (TMachine* M : {&Host, &Anna, &Bert}) M->Clock->SetActive(true);
  R.S.RunUntil(4500);
  EXPECT_EQ(Host.Clock->GetUserCount(), 3);
  for (TMachine* M : {&Host, &Anna, &Bert}) M->TakeLog();
  R.S.RunUntil(8500);
  EXPECT_EQ(Host.TakeLog(), (TLog{"Before 2", "Process 2", "Removed anna", "After 3"}));
  EXPECT_EQ(Bert.TakeLog(), (TLog{"Before 2", "Removed anna", "After 3"}));
  // Anna's own clock stops after its removal step; AfterProcess still ends the impulse, once.
  EXPECT_EQ(Anna.TakeLog(), (TLog{"Before 2", "Removed anna", "Deactivate", "After 3"}));
  EXPECT_FALSE(Anna.Clock->GetActive());
  EXPECT_EQ(Host.Clock->GetUserCount(), 2);
  EXPECT_EQ(Host.Clock->GetUserName(1), "bert");
  // The host does not wait for her.
  R.S.RunUntil(16500);
  EXPECT_EQ(Host.Clock->GetImpulse(), 5);
  EXPECT_EQ(Bert.Clock->GetImpulse(), 5);
  EXPECT_TRUE(Anna.TakeLog().empty());
}

TEST(RealTimeEngine, OwnUserRemovedInASoloGameEndsTheClockAfterThatImpulse) {
  TFakeScheduler S;
  TMachine M(S);
  bool AfterRunCurrent = true;
  TRealTimeEngine* AfterRunClock = nullptr;
  M.DuringAfter = [&] {
    if (M.Clock->GetImpulse() == 2) M.Clock->MarkUserRemoved("[SOLO]");
    if (M.Clock->GetImpulse() == 3) {
      AfterRunCurrent = M.Senders.back()->IsCurrent();
      AfterRunClock = M.Senders.back()->GetClock();
    }
  };
  M.Clock->SetActive(true);
  S.RunUntil(4000);
  M.TakeLog();
  S.RunUntil(8000);
  EXPECT_EQ(M.TakeLog(), (TLog{"Before 2", "Process 2", "Removed [SOLO]", "Deactivate", "After 3"}));
  EXPECT_FALSE(M.Clock->GetActive());
  EXPECT_EQ(S.PendingCount(), 0u);
  // AfterProcess carries the run that has just ended.
  EXPECT_FALSE(AfterRunCurrent);
  EXPECT_EQ(AfterRunClock, M.Clock.get());
  // A name that is no user's marks nobody.
  M.Clock->SetActive(true);
  M.Clock->MarkUserRemoved("nobody");
  S.RunFor(100);
  EXPECT_TRUE(M.Clock->GetActive());
  EXPECT_EQ(M.Clock->GetUserCount(), 1);
}

TEST(RealTimeEngine, OwnUserLeavingTheRoomStopsTheClock) {
  TRoom R;
  TMachine Anna(R.S, R.Link("anna"));
  Anna.Clock->SetActive(true);
  R.S.RunUntil(100);
  R.Hub.Leave("host");  // anna is the host now
  EXPECT_TRUE(Anna.Clock->IsHost());
  EXPECT_TRUE(Anna.Clock->DropUser("anna"));
  EXPECT_FALSE(Anna.Clock->GetActive());
  EXPECT_EQ(Anna.TakeLog(), (TLog{"Activate", "Before 0", "Removed host", "Removed anna", "Deactivate"}));
}

// --- Runs that end in the middle ---

TEST(RealTimeEngine, DeactivatedInAHandlerTheRunEndsThere) {
  struct TCase {
    const char* Where;
    TLog Log;
  };
  for (const TCase& Case :
       {TCase{"collect", {"Before 0", "Collect [SOLO] 1;1;", "Deactivate"}},
        TCase{"process", {"Before 0", "Collect [SOLO] 1;1;", "Collect [SOLO] 2;2;", "Process 0", "Deactivate"}},
        TCase{"before", {"Before 0", "Deactivate"}},
        TCase{"after", {"Before 0", "Collect [SOLO] 1;1;", "Collect [SOLO] 2;2;", "Process 0", "After 1", "Deactivate"}}}) {
    SCOPED_TRACE(Case.Where);
    TFakeScheduler S;
    TMachine M(S);
    const std::string Where = Case.Where;
    const auto Stop = [&] { M.Clock->SetActive(false); };
    if (Where == "collect") M.DuringCollect = [&](const std::string&) { Stop(); };
    if (Where == "process") M.DuringProcess = Stop;
    if (Where == "before") M.DuringBefore = Stop;
    if (Where == "after") M.DuringAfter = Stop;
    M.Clock->AddOrder("1;1;");
    M.Clock->AddOrder("2;2;");
    M.Clock->SetActive(true);
    M.TakeLog();
    S.RunUntil(20000);
    EXPECT_EQ(M.TakeLog(), Case.Log);
    EXPECT_EQ(S.PendingCount(), 0u);
    EXPECT_EQ(M.Clock->GetImpulse(), Where == "after" ? 1 : 0);
  }
}

TEST(RealTimeEngine, ClientDeactivatedWhileReplayingChangesStopsReplaying) {
  TRoom R;
  TMachine Anna(R.S, R.Link("anna"));
  Anna.DuringState = [&](const std::string&) { Anna.Clock->SetActive(false); };
  Anna.Clock->SetActive(true);
  R.Hub.SendTo("host", "anna", "CHANGES|0|1;~2;~");
  R.S.RunUntil(9000);
  EXPECT_EQ(Anna.States, (TLog{"1;"}));
  EXPECT_EQ(Anna.Clock->GetImpulse(), 0);
}

TEST(RealTimeEngine, ReactivatedInAHandlerTheOldRunNeverOverlapsTheNew) {
  TFakeScheduler S;
  TMachine M(S);
  bool Restarted = false;
  M.DuringProcess = [&] {
    if (Restarted) return;
    Restarted = true;
    M.Clock->SetActive(false);
    M.Clock->SetImpulse(100);
    M.Clock->SetActive(true);
  };
  M.Clock->SetActive(true);
  const std::shared_ptr<TClockRun> First = M.Clock->GetRun()->shared_from_this();
  M.TakeLog();
  S.RunUntil(0);
  const std::shared_ptr<TClockRun> Second = M.Clock->GetRun()->shared_from_this();
  EXPECT_NE(First, Second);
  // The old run ends in OnProcessOrders; the new one starts at once, from impulse 100.
  EXPECT_EQ(M.TakeLog(), (TLog{"Before 0", "Process 0", "Deactivate", "Solo", "Activate", "Before 100", "Process 100", "After 101"}));
  EXPECT_EQ(M.Senders[0], First.get());
  EXPECT_FALSE(First->IsCurrent());
  for (std::size_t K = 2; K < M.Senders.size(); ++K) EXPECT_EQ(M.Senders[K], Second.get());
  EXPECT_EQ(S.PendingCount(), 1u);
  S.RunUntil(8000);
  EXPECT_EQ(M.BeforeTimes, (std::vector<std::int64_t>{0, 0, 4000, 8000}));
}

TEST(RealTimeEngine, DeactivatedBetweenImpulsesTheSleepEndsAndANewRunStartsAtOnce) {
  TFakeScheduler S;
  TMachine M(S);
  M.Clock->SetActive(true);
  S.RunUntil(1000);
  M.Clock->SetActive(false);
  EXPECT_EQ(S.PendingCount(), 0u);
  S.RunUntil(2500);
  M.Clock->SetActive(true);
  S.RunUntil(9000);
  // No impulse at 4000 from the old run's sleep.
  EXPECT_EQ(M.BeforeTimes, (std::vector<std::int64_t>{0, 2500, 6500}));
}

TEST(RealTimeEngine, DestroyedInAHandlerTheStepTouchesNothingMore) {
  for (const char* Where : {"collect", "process", "after", "deactivate-in-after"}) {
    SCOPED_TRACE(Where);
    TFakeScheduler S;
    TLobbyHub Hub(S);
    kit::TLobbyConnection& Own = Hub.Join("host");
    Hub.Join("anna");
    TMachine M(S, &Own);
    const std::string W = Where;
    const auto Destroy = [&] { M.Clock.reset(); };
    if (W == "collect") M.DuringCollect = [&](const std::string&) { Destroy(); };
    if (W == "process") M.DuringProcess = Destroy;
    if (W == "after") M.DuringAfter = Destroy;
    if (W == "deactivate-in-after") {
      M.DuringAfter = [&] { M.Clock->SetActive(false); };
      M.DuringDeactivate = Destroy;
    }
    M.Clock->AddOrder("1;1;");
    M.Clock->SetActive(true);
    Hub.SendTo("anna", "host", "ORDERS|anna|0|2;2;~");
    S.RunUntil(20000);
    EXPECT_EQ(M.Clock, nullptr);
    EXPECT_EQ(M.Log.back(), "Deactivate");
    EXPECT_FALSE(Own.Linked());
    EXPECT_EQ(S.PendingCount(), 0u);
    // The changes go out only when the impulse got that far.
    const bool Sent = W == "after" || W == "deactivate-in-after";
    EXPECT_EQ(Hub.Sent.size(), Sent ? 1u : 0u);
  }
}

TEST(RealTimeEngine, DestroyedWhileWaitingThePendingStepGoesWithIt) {
  TRoom R;
  TMachine Anna(R.S, R.Link("anna"));
  Anna.Clock->SetActive(true);
  R.S.RunUntil(100);
  Anna.Clock.reset();
  EXPECT_EQ(Anna.Log.back(), "Deactivate");
  R.Hub.SendTo("host", "anna", "CHANGES|0|1;~");
  R.S.RunUntil(20000);
  EXPECT_EQ(R.S.PendingCount(), 0u);
  EXPECT_TRUE(Anna.States.empty());
}

TEST(RealTimeEngine, FailingHandlerDoesNotStopTheGame) {
  TFakeScheduler S;
  TMachine M(S);
  M.DuringCollect = [&](const std::string& Record) {
    if (Record == "bad;") throw std::runtime_error("broken record");
  };
  M.Clock->AddOrder("bad;");
  M.Clock->AddOrder("good;");
  M.Clock->SetActive(true);
  M.TakeLog();
  EXPECT_THROW(S.RunUntil(0), std::runtime_error);
  // The step went on and posted the next impulse before it raised the failure.
  EXPECT_EQ(M.TakeLog(), (TLog{"Before 0", "Collect [SOLO] bad;", "Collect [SOLO] good;", "Process 0", "After 1"}));
  EXPECT_EQ(S.PendingCount(), 1u);
  S.RunUntil(4000);
  EXPECT_EQ(M.Clock->GetImpulse(), 2);
}

// --- The real lobby connection ---

class TScriptTransport : public TLobbyTransport {
public:
  void Connect(const std::string&, bool, int) override {}
  std::int64_t Write(std::string_view Bytes) override {
    Sent.append(Bytes);
    return static_cast<std::int64_t>(Bytes.size());
  }
  bool Connected() const override { return IsConnected; }
  void Close() override { IsConnected = false; }
  void Accept() {
    IsConnected = true;
    OnConnected(this);
  }
  void Receive(const std::string& Line) { OnBytesReceived(this, Line + "\n"); }
  std::string Sent;
  bool IsConnected = false;
};

const char* const kAnnRecord = "ann^^^^^^^^^01/01/2000^01/01/2000^1^^0`0`^^";
const char* const kBobRecord = "bob^^^^^^^^^01/01/2000^01/01/2000^2^^0`0`^^";

TEST(RealTimeEngine, OverTheLobbyConnectionTheClockTakesItsMessagesAndHearsOfDrops) {
  TFakeScheduler S;
  auto Owned = std::make_unique<TScriptTransport>();
  TScriptTransport& T = *Owned;
  TVexilConnection Vexil(std::move(Owned));
  TLog Window;
  TRealTimeEngine* Seen = nullptr;
  std::unique_ptr<TMachine> M;
  // The main window's own handlers: its data messages, and its drop of a departing player.
  Vexil.OnDataReceived = [&](TVexilConnection* Sender, const std::string& Text, const std::string& From) {
    Window.push_back(std::string(Sender == &Vexil ? "" : "?") + From + ": " + Text);
  };
  Vexil.OnRemoveUser = [&](TVexilConnection*, const TVexilUserPtr& U) {
    Window.push_back("left " + U->UserId() + (Seen && Seen->DropUser(U->UserId()) ? " (dropped)" : ""));
  };
  Vexil.SetActive(true);
  T.Accept();
  T.Receive(std::string("LOGIN|SUCCESS|") + kBobRecord);
  T.Receive(std::string("JOINSUBJECT|~War;kit.brmscen;4|") + kAnnRecord + "|" + kBobRecord);
  T.Sent.clear();

  auto Adapter = std::make_unique<TVexilImpulseConnection>(Vexil);
  M = std::make_unique<TMachine>(S, Adapter.get());
  TRealTimeEngine& C = *M->Clock;
  Seen = &C;
  C.AddOrder("1;2;3;");
  C.SetActive(true);
  EXPECT_EQ(C.GetUserName(), "bob");
  EXPECT_FALSE(C.IsHost());
  ASSERT_EQ(C.GetUserCount(), 2);
  EXPECT_EQ(C.GetUser(0), Vexil.Users(0));
  S.RunUntil(0);
  EXPECT_EQ(T.Sent, "SEND|DATA|ORDERS|bob|0|1;2;3;~\n");

  T.Receive("SEND|ann|DATA|BRMPLAYERS|ann,bob,");
  T.Receive("SEND|ann|DATA|CHANGES|0|24;7;~");
  S.RunFor(100);
  EXPECT_EQ(Window, (TLog{"ann: BRMPLAYERS|ann,bob,"}));
  EXPECT_EQ(M->States, (TLog{"24;7;"}));

  // The window's handler drops ann first; the clock's own drop then finds her gone.
  T.Receive("REMOVEGUEST|ann");
  EXPECT_EQ(Window.back(), "left ann (dropped)");
  EXPECT_EQ(C.GetUserCount(), 1);
  EXPECT_TRUE(C.IsHost());
  // Without the window's drop the clock drops by itself.
  T.Receive(std::string("ADDGUEST|x|") + kAnnRecord);
  C.SetActive(false);
  C.SetActive(true);
  ASSERT_EQ(C.GetUserCount(), 2);
  Seen = nullptr;
  T.Receive("REMOVEGUEST|ann");
  EXPECT_EQ(Window.back(), "left ann");
  EXPECT_EQ(C.GetUserCount(), 1);

  // Unlinked, the connection has its own handlers back.
  C.SetConnection(nullptr);
  T.Receive("SEND|ann|DATA|ORDERS|ann|5|");
  EXPECT_EQ(Window.back(), "ann: ORDERS|ann|5|");
  // An adapter that goes while linked leaves the clock without connection.
  C.SetConnection(Adapter.get());
  Adapter.reset();
  EXPECT_EQ(C.GetConnection(), nullptr);
  T.Receive("SEND|ann|DATA|CHANGES|9|");
  EXPECT_EQ(Window.back(), "ann: CHANGES|9|");
  M.reset();
}

}  // namespace

// --- A whole online game ---

namespace {

// One player's machine as the main window runs it: the rules engine linked to the clock, the
// impulse handlers, and a player who gives a few orders to his own units every impulse. Every
// machine keeps the dump of its game after each impulse.
struct TPlayerMachine {
  TPlayerMachine(TFakeScheduler& S, kit::TLobbyConnection& Connection, int Nation, std::uint64_t Seed, bool Host)
      : Clock(S), Pick(Seed), NationIndex(Nation) {
    TBrenmoorEngine& E = World.Engine();
    E.SetChangeSink(&Clock);
    E.SetImpulseUsers(&Clock);
    if (Host)
      E.SetRandomSeed(Seed);
    else
      E.SetRandomGenerator(&Forbidden);
    World.N(Nation)->SetLocalPlayer(true);
    E.Upkeep().UpdateVisibility(0);
    Clock.SetConnection(&Connection);
    Name = Connection.GetOwnUserId();
    Clock.BeforeProcess = [this](TClockRun*) {
      Guard([&] {
        BeforeImpulse(World.Engine(), Clock.GetImpulse(), Clock.IsHost());
        GiveOrders();
      });
    };
    Clock.OnCollectOrders = [this](TClockRun*, const std::string& Record, const std::string& Id) {
      World.Engine().QueueOrder(Record, Id);
      ++CollectedFrom[Id];
    };
    Clock.OnProcessOrders = [this](TClockRun*) { Guard([&] { World.Engine().ProcessImpulse(); }); };
    Clock.OnProcessStateChange = [this](TClockRun*, const std::string& Record) {
      Guard([&] { World.Engine().ApplyStateChange(Record); });
    };
    Clock.AfterProcess = [this](TClockRun*) {
      Guard([&] {
        TBrenmoorEngine& G = World.Engine();
        const std::int32_t Impulse = Clock.GetImpulse() - 1;
        AfterImpulse(G);
        Dumps[Impulse] = kit::DumpState(G, kit::TDumpOptions{false, false});
        if (std::string Fault = kit::CheckInvariants(G); !Fault.empty()) Faults.push_back(I(Impulse) + ": " + Fault);
      });
    };
  }
  template <class F>
  void Guard(F&& Body) {
    try {
      Body();
    } catch (const std::exception& Error) {
      Faults.push_back(Name + " at impulse " + I(Clock.GetImpulse()) + ": " + Error.what());
    }
  }
  // Moves and invasions of the player's own units to any zone; the host's rules refuse what
  // cannot be done.
  void GiveOrders() {
    TBrenmoorEngine& E = World.Engine();
    std::vector<TUnit*> Own;
    for (TUnit* U : E.GetUnits())
      if (U->GetOwner() == World.N(NationIndex)) Own.push_back(U);
    if (Own.empty()) return;
    const int Count = Pick.Random(3);
    for (int K = 0; K < Count; ++K) {
      TUnit* U = Own[static_cast<std::size_t>(Pick.Random(static_cast<std::int32_t>(Own.size())))];
      const int Code = Pick.Random(2) == 0 ? ordMove : ordInvade;
      const std::string Record = I(Code) + ";" + I(Pick.Random(E.GetZoneCount())) + ";" + I(U->ID) + ";";
      Clock.AddOrder(Record);
      ++Orders;
    }
  }

  // Before the world: its engine points at both until it is gone.
  kit::TForbiddenRandom Forbidden;
  TRealTimeEngine Clock;
  kit::TKitWorld World;
  TRandomGenerator Pick;
  int NationIndex;
  std::string Name;
  int Orders = 0;
  // On the host: the order records collected, by sender.
  std::map<std::string, int> CollectedFrom;
  std::map<std::int32_t, std::string> Dumps;
  std::vector<std::string> Faults;
};

// Every impulse both machines ran ends in the same game.
void ExpectSameGames(const TPlayerMachine& A, const TPlayerMachine& B, std::int32_t From, std::int32_t To) {
  for (std::int32_t K = From; K <= To; ++K) {
    const auto IA = A.Dumps.find(K), IB = B.Dumps.find(K);
    ASSERT_TRUE(IA != A.Dumps.end() && IB != B.Dumps.end()) << A.Name << "/" << B.Name << " impulse " << K;
    ASSERT_EQ(IA->second, IB->second) << A.Name << "/" << B.Name << " impulse " << K << ": "
                                      << kit::FirstDifference(IA->second, IB->second);
  }
}

}  // namespace

TEST(RealTimeEngine, HostAndTwoClientsPlayTheSameGameOverTheLobby) {
  TFakeScheduler S;
  TLobbyHub Hub(S);
  kit::TLobbyConnection* Links[3] = {&Hub.Join("host"), &Hub.Join("anna"), &Hub.Join("bert")};
  Hub.SetLatency("anna", "host", 45);
  Hub.SetLatency("bert", "host", 15);
  Hub.SetLatency("host", "anna", 20);
  Hub.SetLatency("host", "bert", 35);
  TPlayerMachine Host(S, *Links[0], 0, 1940, true), Anna(S, *Links[1], 1, 7, false), Bert(S, *Links[2], 2, 11, false);
  for (TPlayerMachine* M : {&Host, &Anna, &Bert}) {
    for (int N = 0; N < 3; ++N) {
      M->World.N(N)->SetComputerPlayer(false);
      M->World.N(N)->SetPlayerName(N == 0 ? "host" : N == 1 ? "anna" : "bert");
    }
    ASSERT_FALSE(M->World.Engine().IsSoloGame());
  }
  const std::string Start = kit::DumpState(Host.World.Engine(), kit::TDumpOptions{false, false});
  ASSERT_EQ(Start, kit::DumpState(Anna.World.Engine(), kit::TDumpOptions{false, false}));
  // The engine writes change records only through the active host's clock.
  EXPECT_FALSE(Host.World.Engine().WritesChanges());
  for (TPlayerMachine* M : {&Host, &Anna, &Bert}) M->Clock.SetActive(true);
  EXPECT_TRUE(Host.World.Engine().WritesChanges());
  EXPECT_FALSE(Anna.World.Engine().WritesChanges());

  const TDateTime StartDate = Host.World.Engine().GetDate();
  S.RunUntil(11 * 4000 + 1000);
  for (TPlayerMachine* M : {&Host, &Anna, &Bert}) {
    EXPECT_TRUE(M->Faults.empty()) << M->Faults.front();
    EXPECT_EQ(M->Clock.GetImpulse(), 12) << M->Name;
    // The impulse steps of the clock's handlers: the date moved on once per impulse.
    EXPECT_EQ(M->World.Engine().GetDate(), StartDate + 12 * M->World.Engine().GetImpulseRate()) << M->Name;
    EXPECT_EQ(M->World.Engine().GetImpulse(), 12) << M->Name;
  }
  ExpectSameGames(Host, Anna, 0, 11);
  ExpectSameGames(Host, Bert, 0, 11);
  // The game moved: orders were given on every machine and the host sent what they did.
  EXPECT_GT(Anna.Orders, 0);
  EXPECT_GT(Bert.Orders, 0);
  // Not one order was lost on the way.
  EXPECT_EQ(Host.CollectedFrom, (std::map<std::string, int>{{"host", Host.Orders}, {"anna", Anna.Orders}, {"bert", Bert.Orders}}));
  std::size_t Changes = 0;
  for (const auto& [From, Text] : Hub.Sent)
    if (Text.rfind("CHANGES|", 0) == 0) Changes += static_cast<std::size_t>(std::count(Text.begin(), Text.end(), '~'));
  EXPECT_GT(Changes, 20u) << Changes;
  EXPECT_EQ(Anna.Forbidden.Draws(), 0);
  EXPECT_EQ(Bert.Forbidden.Draws(), 0);
  EXPECT_NE(Host.Dumps.at(11), Start);

  // Bert's machine goes and he leaves the room: the other two play on without waiting.
  Bert.Clock.SetActive(false);
  Hub.Leave("bert");
  S.RunUntil(23 * 4000 + 1000);
  for (TPlayerMachine* M : {&Host, &Anna}) {
    EXPECT_TRUE(M->Faults.empty()) << M->Faults.front();
    EXPECT_EQ(M->Clock.GetImpulse(), 24) << M->Name;
    EXPECT_EQ(M->Clock.GetUserCount(), 2);
  }
  ExpectSameGames(Host, Anna, 12, 23);
  EXPECT_EQ(Host.CollectedFrom["anna"], Anna.Orders);
  EXPECT_EQ(Host.CollectedFrom["host"], Host.Orders);
  EXPECT_EQ(Anna.Forbidden.Draws(), 0);
}

// A broken or hostile host sends records that make units carry themselves: they come over the
// lobby and through the clock into the replay, which drops them; the player's game goes on.
TEST(RealTimeEngine, AClientLivesThroughAHostsRecordsOfUnitsCarryingThemselves) {
  TFakeScheduler S;
  TLobbyHub Hub(S);
  Hub.Join("host");
  kit::TLobbyConnection& Link = Hub.Join("anna");
  TPlayerMachine Anna(S, Link, 1, 7, false);
  std::vector<std::string> Notes;
  Anna.World.Engine().OnDebugNote = [&](TBrenmoorEngine*, const std::string& Text) { Notes.push_back(Text); };
  Anna.Clock.SetActive(true);
  S.RunUntil(0);
  Hub.SendTo("host", "anna", "CHANGES|0|4;;;;~4;1;0;2;~4;2;0;1;~0;1;1;~0;2;1;~");
  S.RunFor(100);
  EXPECT_EQ(Anna.Clock.GetImpulse(), 1);
  EXPECT_TRUE(Anna.Faults.empty()) << Anna.Faults.front();
  EXPECT_EQ(Notes.size(), 2u);
  TBrenmoorEngine& E = Anna.World.Engine();
  EXPECT_NE(E.GetUnitByID(0)->GetBaseUnit(), E.GetUnitByID(0));
  EXPECT_NE(E.GetUnitByID(2)->GetBaseUnit(), E.GetUnitByID(1));
}
