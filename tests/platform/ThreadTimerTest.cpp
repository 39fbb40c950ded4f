#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/Exception.h"
#include "platform/ThreadTimer.h"
#include "support/GuiTest.h"
#include "support/ScriptedPrompter.h"

// Every wait has a deadline and the checks are bounds that hold however loaded the machine
// is: a pause is never shorter than it must be, and a burst never has more calls than the
// pauses allow.
namespace {
// Runs the event loop for Ms milliseconds.
void RunFor(int Ms) {
  QElapsedTimer Clock;
  Clock.start();
  while (Clock.elapsed() < Ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

}  // namespace

TEST(ThreadedTimer, FiresAtOnceAndThenEveryInterval) {
  TThreadedTimer Timer;
  Timer.SetInterval(50);
  std::vector<qint64> Starts;
  QElapsedTimer Clock;
  Clock.start();
  TThreadedTimer* Sender = nullptr;
  Timer.OnTimer = [&](TThreadedTimer* S) {
    Starts.push_back(Clock.elapsed());
    Sender = S;
  };
  EXPECT_FALSE(Timer.Enabled());
  Timer.SetEnabled(true);
  EXPECT_TRUE(Timer.Enabled());
  ASSERT_TRUE(RunUntil([&] { return Starts.size() >= 1; }));
  EXPECT_EQ(Sender, &Timer);
  ASSERT_TRUE(RunUntil([&] { return Starts.size() >= 4; }));
  for (std::size_t I = 1; I < Starts.size(); ++I) EXPECT_GE(Starts[I] - Starts[I - 1], 45) << I;
  Timer.SetEnabled(false);
  const std::size_t Stopped = Starts.size();
  RunFor(120);
  EXPECT_EQ(Starts.size(), Stopped);
}

TEST(ThreadedTimer, ASlowHandlerIsFollowedByAPauseNotABurst) {
  TThreadedTimer Timer;
  Timer.SetInterval(20);
  std::vector<qint64> Starts, Ends;
  QElapsedTimer Clock;
  Clock.start();
  Timer.OnTimer = [&](TThreadedTimer*) {
    Starts.push_back(Clock.elapsed());
    QThread::msleep(40);
    Ends.push_back(Clock.elapsed());
  };
  Timer.SetEnabled(true);
  ASSERT_TRUE(RunUntil([&] { return Starts.size() >= 4; }));
  Timer.SetEnabled(false);
  for (std::size_t I = 1; I < Starts.size(); ++I) EXPECT_GE(Starts[I] - Ends[I - 1], 9) << I;
}

TEST(ThreadedTimer, IntervalZeroPausesTenMilliseconds) {
  TThreadedTimer Timer;
  Timer.SetInterval(0);
  std::vector<qint64> Starts;
  QElapsedTimer Clock;
  Clock.start();
  Timer.OnTimer = [&](TThreadedTimer*) { Starts.push_back(Clock.elapsed()); };
  Timer.SetEnabled(true);
  ASSERT_TRUE(RunUntil([&] { return Starts.size() >= 5; }));
  Timer.SetEnabled(false);
  for (std::size_t I = 1; I < Starts.size(); ++I) EXPECT_GE(Starts[I] - Starts[I - 1], 9) << I;
}

TEST(ThreadedTimer, QuickDisableAndEnableLeavesExactlyOneFiring) {
  TThreadedTimer Timer;
  Timer.SetInterval(30);
  std::vector<qint64> Starts;
  QElapsedTimer Clock;
  Clock.start();
  Timer.OnTimer = [&](TThreadedTimer*) { Starts.push_back(Clock.elapsed()); };
  for (int I = 0; I < 5; ++I) {
    Timer.SetEnabled(false);
    Timer.SetEnabled(true);
  }
  ASSERT_TRUE(RunUntil([&] { return Starts.size() >= 4; }));
  Timer.SetEnabled(false);
  for (std::size_t I = 1; I < Starts.size(); ++I) EXPECT_GE(Starts[I] - Starts[I - 1], 25) << I;
}

TEST(ThreadedTimer, ATimerDestroyedWhileEnabledStops) {
  int Fired = 0;
  {
    auto Timer = std::make_unique<TThreadedTimer>();
    Timer->SetInterval(10);
    Timer->OnTimer = [&](TThreadedTimer*) { ++Fired; };
    Timer->SetEnabled(true);
    ASSERT_TRUE(RunUntil([&] { return Fired >= 1; }));
  }
  const int AtDestruction = Fired;
  RunFor(50);
  EXPECT_EQ(Fired, AtDestruction);
}

TEST(ThreadedTimer, AFailingHandlerIsShownAndTheTimerGoesOn) {
  TScriptedPrompter Prompts;
  TThreadedTimer Timer;
  Timer.SetInterval(10);
  int Fired = 0;
  Timer.OnTimer = [&](TThreadedTimer*) {
    if (++Fired == 1) throw EBrenmoor("jukebox failed");
  };
  Timer.SetEnabled(true);
  ASSERT_TRUE(RunUntil([&] { return Fired >= 3; }));
  Timer.SetEnabled(false);
  ASSERT_EQ(Prompts.Messages().size(), 1u);
  EXPECT_EQ(Prompts.Messages()[0], "An internal error has occured: jukebox failed");
}
