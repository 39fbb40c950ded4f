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

  // Delivers Event; an exception thrown while it is handled is shown by ShowException.
  bool notify(QObject* Receiver, QEvent* Event) override;
  // Shows the internal-error message for Message through the prompter. An exception raised
  // while that message is on screen (a window behind it that fails each time it is painted)
  // is only written to the error output, so the messages do not pile up without end.
  void ShowException(const std::string& Message);

  // What went wrong registering the bundled fonts (nothing when all is well).
  const std::vector<std::string>& FontProblems() const { return FFontProblems; }

private:
  std::vector<std::string> FFontProblems;
  bool FShowingException = false;
};
