#pragma once
// A timer that runs OnTimer and then waits for the rest of its interval, at least 10 ms, so a
// slow handler is followed by a short pause and never by a burst of catch-up calls. It fires
// first as soon as it is enabled. Everything runs on the main thread.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <functional>

enum TThreadPriority { tpIdle, tpLowest, tpLower, tpNormal, tpHigher, tpHighest, tpTimeCritical };

class TThreadedTimer : public QObject {
  Q_OBJECT
public:
  explicit TThreadedTimer(QObject* Parent = nullptr);

  bool Enabled() const { return FRunning; }
  void SetEnabled(bool Value);
  int Interval() const { return FInterval; }
  void SetInterval(int Value) { FInterval = Value; }
  // Kept for the main window's settings; the pacing runs on the main thread whatever it is.
  TThreadPriority ThreadPriority() const { return FThreadPriority; }
  void SetThreadPriority(TThreadPriority Value) { FThreadPriority = Value; }

  std::function<void(TThreadedTimer* Sender)> OnTimer;

  static constexpr int MinimumPause = 10;

private:
  void Fire();

  QTimer FTimer;
  int FInterval = 1000;
  TThreadPriority FThreadPriority = tpNormal;
  bool FRunning = false;
  // Counts enablings, so a handler that disables and re-enables its own timer is not re-armed
  // twice when it returns.
  unsigned FGeneration = 0;
};
