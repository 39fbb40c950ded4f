#include "platform/QtImpulseScheduler.h"

#include <algorithm>
#include <utility>

#include "platform/Application.h"

TQtImpulseScheduler::TQtImpulseScheduler(QObject* Parent) : QObject(Parent) { FClock.start(); }

TQtImpulseScheduler::~TQtImpulseScheduler() = default;

TImpulseScheduler::THandle TQtImpulseScheduler::Post(std::int32_t DelayMs, std::function<void()> Step) {
  const THandle Handle = ++FNextHandle;
  // A timer that has fired is handed to deleteLater; with the scheduler as parent it goes with
  // it at the latest.
  auto Timer = std::make_unique<QTimer>(this);
  Timer->setSingleShot(true);
  Timer->setTimerType(Qt::PreciseTimer);
  connect(Timer.get(), &QTimer::timeout, this, [this, Handle] { Fire(Handle); });
  Timer->start(std::max(DelayMs, 0));
  FSteps.emplace(Handle, TPending{std::move(Timer), std::move(Step)});
  return Handle;
}

void TQtImpulseScheduler::Cancel(THandle Handle) { FSteps.erase(Handle); }

void TQtImpulseScheduler::Fire(THandle Handle) {
  const auto It = FSteps.find(Handle);
  if (It == FSteps.end()) return;
  // The step leaves the list before it runs: it may post, cancel or destroy what it likes.
  QTimer* Timer = It->second.Timer.release();
  std::function<void()> Step = std::move(It->second.Step);
  FSteps.erase(It);
  Timer->deleteLater();
  RunGuarded([&] { Step(); });
}
