#pragma once
// The game's application object. It gives every machine the same picture (the Fusion style
// with its own palette, the bundled fonts standing in for the game's font names, the game's
// dialog font as the default) and keeps exceptions from crossing Qt's event loop: one that
// escapes an event handler is shown as the game's internal-error message and the game goes on.
#include <QApplication>
#include <string>
#include <vector>

class TApplication : public QApplication {
  Q_OBJECT
public:
  // The fonts come from the "fonts" folder of the program folder.
  TApplication(int& Argc, char** Argv);

  // The message an escaped exception shows: "An internal error has occured: " + Message.
  static std::string InternalErrorText(const std::string& Message);

  // Delivers Event; an exception thrown while it is handled is shown by ShowException. This is
  // the last resort: Qt's own code is built without exception support, so an exception that
  // unwinds through it skips its clean-up. The game's controls therefore run their handlers
  // through RunGuarded, which stops the exception in the game's own code.
  bool notify(QObject* Receiver, QEvent* Event) override;
  // Shows the internal-error message for Message through the prompter. An exception raised
  // while that message is on screen (a window behind it that fails each time it is painted)
  // is only written to the error output, so the messages do not pile up without end.
  static void ShowException(const std::string& Message);
  // ShowException for the exception being handled (inside a catch block).
  static void ShowCurrentException();

  // What went wrong registering the bundled fonts (nothing when all is well).
  const std::vector<std::string>& FontProblems() const { return FFontProblems; }

private:
  std::vector<std::string> FFontProblems;
};

// Runs Handler (a handler of the game, fired by a control from within a Qt event); an
// exception it throws is shown as the internal-error message and goes no further.
template <class F>
void RunGuarded(F&& Handler) {
  try {
    Handler();
  } catch (...) {
    TApplication::ShowCurrentException();
  }
}
