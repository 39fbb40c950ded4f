#include "platform/MessagePump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "foundation/ProcessMessages.h"

namespace {
constexpr qint64 kPumpEveryMs = 5;
// Reading the clock costs more than a script call itself, so it is read only every few calls;
// the core's pump points are never so slow that this many of them keep the window waiting.
constexpr unsigned kCallsPerClockRead = 64;
}  // namespace

void InstallMessagePump() {
  SetProcessMessagesHook([Calls = 0u, Clock = QElapsedTimer()]() mutable {
    if (++Calls % kCallsPerClockRead != 1) return;
    if (Clock.isValid() && Clock.elapsed() < kPumpEveryMs) return;
    Clock.start();
    QCoreApplication::processEvents();
  });
}
