#pragma once
// A scheduler on virtual time for the impulse clock's tests: nothing runs until the test lets
// time pass, and a step may make time pass inside itself (work that takes that long).
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <utility>
#include <vector>

#include "engine/RealTimeEngine.h"

namespace kit {

class TFakeScheduler : public TImpulseScheduler {
public:
  std::int64_t NowMs() const override { return FNow; }
  THandle Post(std::int32_t DelayMs, std::function<void()> Step) override;
  void Cancel(THandle Handle) override;

  // Work of Ms milliseconds, inside a step.
  void Advance(std::int64_t Ms) { FNow += Ms; }
  // Runs the earliest step (equal times in the order they were posted); time moves to it
  // unless a step before has already taken it further. False when nothing is pending.
  bool RunNext();
  // Runs every step due up to Time, those they post included; time then stands at Time (or
  // later, when a step took it further).
  void RunUntil(std::int64_t Time);
  void RunFor(std::int64_t Ms) { RunUntil(FNow + Ms); }
  std::size_t PendingCount() const { return FQueue.size(); }
  std::optional<std::int64_t> NextDue() const;
  // Every delay ever posted, in order, and how many steps have run.
  const std::vector<std::int32_t>& PostedDelays() const { return FDelays; }
  int StepsRun() const { return FStepsRun; }

private:
  std::int64_t FNow = 0;
  THandle FNextHandle = 0;
  // (due, handle) orders equal times by posting order.
  std::map<std::pair<std::int64_t, THandle>, std::function<void()>> FQueue;
  std::map<THandle, std::int64_t> FDue;
  std::vector<std::int32_t> FDelays;
  int FStepsRun = 0;
};

}  // namespace kit
