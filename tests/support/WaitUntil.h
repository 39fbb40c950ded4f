#pragma once
// Runs the event loop until Done holds or Ms milliseconds have passed (a deadline a loaded
// machine keeps); whether it held. For tests whose sockets and timers deliver on the main
// thread.
#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>

inline bool WaitUntil(const std::function<bool()>& Done, int Ms = 15000) {
  QDeadlineTimer Deadline(Ms);
  while (!Done()) {
    if (Deadline.hasExpired()) return false;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 20);
  }
  return true;
}
