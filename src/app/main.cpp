// Brenmoor: start-up. The application object brings the game's style and bundled fonts and
// shows escaped exceptions as the internal-error message; the game font is installed, the
// application's title and help set, the main window and then every other window of the game
// made in their order, and the message loop runs. The program reads no arguments.
#include <QDir>
#include <cstdio>
#include <cstdlib>

#include "platform/Application.h"
#include "platform/AudioDevice.h"
#include "platform/MessagePump.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/Startup.h"

int main(int argc, char* argv[]) {
  // Without a display the window system cannot start: say so in one line, not in Qt's abort.
  if (const char* Problem = MissingDisplayText()) {
    std::fprintf(stderr, "%s\n", Problem);
    return 1;
  }
  TApplication App(argc, argv);
  // The game finds its files beside the program, whatever folder it was started from.
  QDir::setCurrent(QCoreApplication::applicationDirPath());
  SetUpApplication();
  InstallMessagePump();
  // The sound library leaves the interrupt and terminate signals alone, so they end the game.
  qputenv("SDL_NO_SIGNAL_HANDLERS", "1");
  OpenGameAudio();
  int Result = 0;
  {
    TBrenmoorForms Forms;
    Forms.Main().OnTerminate = [] { QCoreApplication::quit(); };
    Forms.Main().show();
    ShowRequestedScreen(Forms.Main());
    Result = TApplication::exec();
  }
  CloseGameAudio();
  return Result;
}
