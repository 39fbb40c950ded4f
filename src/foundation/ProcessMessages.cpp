#include "foundation/ProcessMessages.h"

namespace {
std::function<void()>& Hook() {
  static std::function<void()> H;
  return H;
}
}  // namespace

void ProcessMessages() {
  if (Hook()) Hook()();
}

void SetProcessMessagesHook(std::function<void()> H) { Hook() = std::move(H); }
