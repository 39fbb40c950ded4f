// The main of every test program that needs Qt: the game's application object on the
// offscreen platform, so tests draw with the game's style and fonts and need no display. A
// test that wants to answer questions installs a TScriptedPrompter; any other question fails
// the test at once instead of waiting for a dialog that nobody will close. Qt keeps what it
// remembers (the file dialogs' history, settings made without a file) in a configuration folder
// of the test's own, never in the user's.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "platform/Application.h"
#include "platform/Prompter.h"

namespace {
class TRefusingPrompter : public TPrompter {
public:
  void ShowMessage(const std::string& Text) override { ADD_FAILURE() << "unexpected message: \"" << Text << "\""; }
  bool Confirm(const std::string& Text) override {
    ADD_FAILURE() << "unexpected confirmation: \"" << Text << "\"";
    return false;
  }
  std::optional<std::string> InputText(const std::string&, const std::string& Prompt, const std::string&) override {
    ADD_FAILURE() << "unexpected text input: \"" << Prompt << "\"";
    return std::nullopt;
  }
  std::optional<std::string> OpenFile(const TFileDialogOptions& Options) override {
    ADD_FAILURE() << "unexpected open dialog: \"" << Options.Title << "\"";
    return std::nullopt;
  }
  std::optional<std::string> SaveFile(const TFileDialogOptions& Options) override {
    ADD_FAILURE() << "unexpected save dialog: \"" << Options.Title << "\"";
    return std::nullopt;
  }
};
}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  ::testing::InitGoogleTest(&argc, argv);
  QTemporaryDir Config;
  if (!Config.isValid()) return 1;
  qputenv("XDG_CONFIG_HOME", Config.path().toLocal8Bit());
  // The player's own data folder (saved games...) is the test's too.
  qputenv("XDG_DATA_HOME", (Config.path() + "/data").toLocal8Bit());
  TApplication App(argc, argv);
  TRefusingPrompter Refusing;
  SetPrompter(&Refusing);
  const int Result = RUN_ALL_TESTS();
  SetPrompter(nullptr);
  return Result;
}
