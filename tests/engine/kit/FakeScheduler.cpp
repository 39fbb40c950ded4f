#include "engine/kit/FakeScheduler.h"

#include <algorithm>

namespace kit {

TImpulseScheduler::THandle TFakeScheduler::Post(std::int32_t DelayMs, std::function<void()> Step) {
  const THandle Handle = ++FNextHandle;
  const std::int64_t Due = FNow + std::max(DelayMs, 0);
  FQueue.emplace(std::make_pair(Due, Handle), std::move(Step));
  FDue.emplace(Handle, Due);
  FDelays.push_back(DelayMs);
  return Handle;
}

void TFakeScheduler::Cancel(THandle Handle) {
  const auto It = FDue.find(Handle);
  if (It == FDue.end()) return;
  FQueue.erase({It->second, Handle});
  FDue.erase(It);
}

bool TFakeScheduler::RunNext() {
  if (FQueue.empty()) return false;
  auto It = FQueue.begin();
  const auto [Due, Handle] = It->first;
  // The step leaves the queue before it runs: it may post, cancel or destroy anything.
  std::function<void()> Step = std::move(It->second);
  FQueue.erase(It);
  FDue.erase(Handle);
  FNow = std::max(FNow, Due);
  ++FStepsRun;
  Step();
  return true;
}

void TFakeScheduler::RunUntil(std::int64_t Time) {
  while (!FQueue.empty() && FQueue.begin()->first.first <= Time) RunNext();
  FNow = std::max(FNow, Time);
}

std::optional<std::int64_t> TFakeScheduler::NextDue() const {
  if (FQueue.empty()) return std::nullopt;
  return FQueue.begin()->first.first;
}

}  // namespace kit
