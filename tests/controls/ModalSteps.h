#pragma once
// Driving a modal window in a test: the steps run as soon as the window is up (from inside its
// event loop), and whatever they leave open is closed, so a test never waits for a person.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QTimer>
#include <functional>
#include <memory>

// Arms Steps for the next modal window. Destroy the returned timer to disarm it.
inline std::unique_ptr<QTimer> WhenModal(std::function<void(QDialog& Window)> Steps) {
  auto Timer = std::make_unique<QTimer>();
  Timer->setInterval(0);
  QTimer* Raw = Timer.get();
  QObject::connect(Raw, &QTimer::timeout, Raw, [Raw, Steps] {
    auto* Window = qobject_cast<QDialog*>(QApplication::activeModalWidget());
    if (!Window) return;  // not up yet
    Raw->stop();
    Steps(*Window);
    if (auto* Open = qobject_cast<QDialog*>(QApplication::activeModalWidget())) Open->reject();
  });
  Timer->start();
  return Timer;
}
