#include "platform/ThreadTimer.h"

#include <algorithm>

#include "platform/Application.h"

TThreadedTimer::TThreadedTimer(QObject* Parent) : QObject(Parent) {
  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Fire(); });
}

void TThreadedTimer::SetEnabled(bool Value) {
  if (Value) {
    if (FRunning) return;
    FRunning = true;
    ++FGeneration;
    FTimer.start(0);
  } else {
    FRunning = false;
    FTimer.stop();
  }
}

void TThreadedTimer::Fire() {
  if (!FRunning) return;
  const unsigned Generation = FGeneration;
  QElapsedTimer Clock;
  Clock.start();
  // A failing handler is shown as the internal-error message here, before it could unwind
  // through Qt's timer code; the timer goes on.
  if (OnTimer) RunGuarded([this] { OnTimer(this); });
  if (!FRunning || Generation != FGeneration) return;
  const qint64 Rest = static_cast<qint64>(FInterval) - Clock.elapsed();
  FTimer.start(static_cast<int>(std::max<qint64>(MinimumPause, Rest)));
}
