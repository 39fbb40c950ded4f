#pragma once
// What paces the impulse clock: a monotonic clock and single steps posted after a delay, all
// run on the main thread. The platform layer gives the program's; tests drive virtual time.
#include <cstdint>
#include <functional>

class TImpulseScheduler {
public:
  // 0 stands for no step.
  using THandle = std::uint64_t;
  virtual ~TImpulseScheduler() = default;
  // Milliseconds of a monotonic clock.
  virtual std::int64_t NowMs() const = 0;
  // Runs Step once, on the main thread, DelayMs (0 or more) from now, never before Post has
  // returned; the handle cancels it.
  virtual THandle Post(std::int32_t DelayMs, std::function<void()> Step) = 0;
  // A step that has run or was cancelled is not there any more: nothing happens.
  virtual void Cancel(THandle Handle) = 0;
};
