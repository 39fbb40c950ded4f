#pragma once
// The impulse clock's scheduler in the program: each step a precise single-shot timer of the
// main thread's event loop, the time a monotonic clock. A step that fails is shown as the
// internal-error message and goes no further than the event loop.
#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>

#include "engine/ImpulseScheduler.h"

class TQtImpulseScheduler : public QObject, public TImpulseScheduler {
public:
  explicit TQtImpulseScheduler(QObject* Parent = nullptr);
  // Steps still pending never run. A step must not destroy the scheduler that runs it.
  ~TQtImpulseScheduler() override;

  // Milliseconds since the scheduler was made.
  std::int64_t NowMs() const override { return FClock.elapsed(); }
  THandle Post(std::int32_t DelayMs, std::function<void()> Step) override;
  void Cancel(THandle Handle) override;
  std::size_t PendingCount() const { return FSteps.size(); }

private:
  struct TPending {
    std::unique_ptr<QTimer> Timer;
    std::function<void()> Step;
  };
  void Fire(THandle Handle);

  QElapsedTimer FClock;
  THandle FNextHandle = 0;
  std::map<THandle, TPending> FSteps;
};
