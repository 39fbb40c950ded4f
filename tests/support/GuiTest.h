#pragma once
// Helpers for tests of windows and controls, which run on Qt's offscreen platform under the
// game's application object (see QtTestMain.cpp).
#include <gtest/gtest.h>

#include <QImage>
#include <QString>
#include <QTemporaryDir>
#include <functional>
#include <memory>

#include "platform/RegistryManager.h"
#include "support/ScriptedPrompter.h"

class QWidget;

// Runs the event loop until Done, for at most DeadlineMs; true when Done came.
bool RunUntil(const std::function<bool()>& Done, int DeadlineMs = 5000);

// A settings store in a file of a temporary folder, removed with it.
class TTemporarySettings {
public:
  TTemporarySettings();
  TRegistryManager& Store() { return *FStore; }
  QString FileName() const { return FDir.filePath("settings.ini"); }

private:
  QTemporaryDir FDir;
  std::unique_ptr<TRegistryManager> FStore;
};

// The folder of the running test program's pictures: "test-output/<test suite>" of the
// build tree.
QString TestOutputFolder();
// The file a grab named Name of the running test goes to: "<test name>[-Name].png" there.
QString TestOutputFile(const QString& Name = {});
// Paints Widget as it would appear, writes the picture to TestOutputFile(Name) for a person to
// look at, and returns it for pixel checks.
QImage GrabToPng(QWidget& Widget, const QString& Name = {});

// The fixture of widget tests: a scripted prompter (so an unexpected question fails the test
// instead of waiting) and a settings store of its own.
class TGuiTest : public ::testing::Test {
protected:
  TScriptedPrompter Prompter;
  TTemporarySettings Settings;
};
