#include "platform/MessagePump.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include "foundation/ProcessMessages.h"

namespace {
constexpr qint64 kPumpEveryMs = 5;
}

void InstallMessagePump() {
  SetProcessMessagesHook([] {
    static QElapsedTimer Clock;
    if (Clock.isValid() && Clock.elapsed() < kPumpEveryMs) return;
    Clock.start();
    QCoreApplication::processEvents();
  });
}
