#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QThread>
#include <memory>
#include <vector>

#include "platform/ThreadTimer.h"

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
  int Fired = 0;
  TThreadedTimer* Sender = nullptr;
  Timer.OnTimer = [&](TThreadedTimer* S) {
    ++Fired;
    Sender = S;
  };
  EXPECT_FALSE(Timer.Enabled());
  Timer.SetEnabled(true);
  EXPECT_TRUE(Timer.Enabled());
  RunFor(20);
  EXPECT_EQ(Fired, 1);
  EXPECT_EQ(Sender, &Timer);
  RunFor(260);
  EXPECT_GE(Fired, 3);
  EXPECT_LE(Fired, 7);
  Timer.SetEnabled(false);
  const int Stopped = Fired;
  RunFor(120);
  EXPECT_EQ(Fired, Stopped);
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
  RunFor(400);
  Timer.SetEnabled(false);
  ASSERT_GE(Starts.size(), 3u);
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
  RunFor(200);
  Timer.SetEnabled(false);
  ASSERT_GE(Starts.size(), 3u);
  EXPECT_LE(Starts.size(), 21u);
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
  RunFor(200);
  Timer.SetEnabled(false);
  ASSERT_GE(Starts.size(), 2u);
  for (std::size_t I = 1; I < Starts.size(); ++I) EXPECT_GE(Starts[I] - Starts[I - 1], 25) << I;
}

TEST(ThreadedTimer, ATimerDestroyedWhileEnabledStops) {
  int Fired = 0;
  {
    auto Timer = std::make_unique<TThreadedTimer>();
    Timer->SetInterval(10);
    Timer->OnTimer = [&](TThreadedTimer*) { ++Fired; };
    Timer->SetEnabled(true);
    RunFor(30);
  }
  const int AtDestruction = Fired;
  EXPECT_GE(AtDestruction, 1);
  RunFor(50);
  EXPECT_EQ(Fired, AtDestruction);
}
