// Brenmoor: start-up. The application object brings the game's style and bundled fonts (the
// game font among them) and shows escaped exceptions as the internal-error message; then the
// main window is created and the message loop runs. The program reads no arguments.
#include "platform/Application.h"
#include "platform/MessagePump.h"
#include "ui/MainForm.h"

int main(int argc, char* argv[]) {
  TApplication App(argc, argv);
  TApplication::setApplicationName("Brenmoor");
  TApplication::setOrganizationName("Quillfen");
  InstallMessagePump();
  TfrmMain Main;
  Main.show();
  return TApplication::exec();
}
