#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "platform/QtImpulseScheduler.h"
#include "support/GuiTest.h"
#include "support/ScriptedPrompter.h"

// Every wait has a deadline and the checks are bounds that hold however loaded the machine is:
// a step never runs before its delay, and steps due earlier run earlier.

TEST(QtImpulseScheduler, RunsEachStepOnceNotBeforeItsDelayInTheOrderTheyAreDue) {
  TQtImpulseScheduler S;
  std::string Order;
  std::vector<std::int64_t> Late;
  const auto Post = [&](char Name, std::int32_t Delay) {
    const std::int64_t At = S.NowMs();
    return S.Post(Delay, [&, Name, At, Delay] {
      Order += Name;
      // The clock counts whole milliseconds: allow the one lost to truncation.
      Late.push_back(S.NowMs() - At - Delay + 1);
    });
  };
  Post('a', 60);
  Post('b', 0);
  Post('c', 25);
  EXPECT_EQ(S.PendingCount(), 3u);
  EXPECT_TRUE(Order.empty());
  ASSERT_TRUE(RunUntil([&] { return Order.size() == 3; }));
  EXPECT_EQ(Order, "bca");
  for (std::int64_t L : Late) EXPECT_GE(L, 0);
  EXPECT_EQ(S.PendingCount(), 0u);
  // Each ran once.
  bool Later = false;
  S.Post(20, [&] { Later = true; });
  ASSERT_TRUE(RunUntil([&] { return Later; }));
  EXPECT_EQ(Order, "bca");
}

TEST(QtImpulseScheduler, CancelledStepsNeverRunAndStepsMayPostAndCancel) {
  TQtImpulseScheduler S;
  std::string Order;
  const TImpulseScheduler::THandle Gone = S.Post(10, [&] { Order += 'x'; });
  S.Cancel(Gone);
  S.Cancel(Gone);
  S.Cancel(12345);
  TImpulseScheduler::THandle Victim = 0;
  S.Post(5, [&] {
    Order += 'a';
    S.Cancel(Victim);
    S.Post(0, [&] { Order += 'b'; });
  });
  Victim = S.Post(40, [&] { Order += 'v'; });
  S.Post(80, [&] { Order += 'z'; });
  ASSERT_TRUE(RunUntil([&] { return Order.find('z') != std::string::npos; }));
  EXPECT_EQ(Order, "abz");
  // A step that has run is not there to cancel.
  S.Cancel(Victim);
  EXPECT_EQ(S.PendingCount(), 0u);
}

TEST(QtImpulseScheduler, PendingStepsGoWithTheScheduler) {
  bool Ran = false;
  {
    TQtImpulseScheduler S;
    S.Post(10, [&] { Ran = true; });
  }
  bool Probe = false;
  TQtImpulseScheduler Other;
  Other.Post(40, [&] { Probe = true; });
  ASSERT_TRUE(RunUntil([&] { return Probe; }));
  EXPECT_FALSE(Ran);
}

TEST(QtImpulseScheduler, AFailingStepIsShownAndTheOthersRun) {
  TScriptedPrompter Prompts;
  TQtImpulseScheduler S;
  bool After = false;
  S.Post(0, [] { throw EBrenmoor("clock step failed"); });
  S.Post(20, [&] { After = true; });
  ASSERT_TRUE(RunUntil([&] { return After; }));
  ASSERT_EQ(Prompts.Messages().size(), 1u);
  EXPECT_EQ(Prompts.Messages()[0], "An internal error has occured: clock step failed");
}

TEST(QtImpulseScheduler, TimeNeverRunsBackwards) {
  TQtImpulseScheduler S;
  std::int64_t Last = S.NowMs();
  int Steps = 0;
  std::function<void()> Step = [&] {
    EXPECT_GE(S.NowMs(), Last);
    Last = S.NowMs();
    if (++Steps < 20) S.Post(1, Step);
  };
  S.Post(0, Step);
  ASSERT_TRUE(RunUntil([&] { return Steps == 20; }));
  EXPECT_GE(Last, 19);
}
