// Brenmoor: start-up. Installs the game's font, creates the main window and runs the
// message loop. The program reads no arguments.
#include <QApplication>

#include "platform/FontUtils.h"
#include "platform/MessagePump.h"
#include "ui/MainForm.h"

int main(int argc, char* argv[]) {
  QApplication App(argc, argv);
  QApplication::setApplicationName("Brenmoor");
  QApplication::setOrganizationName("Quillfen");
  InstallFont("rareduvi.ttf");
  InstallMessagePump();
  TfrmMain Main;
  Main.show();
  return QApplication::exec();
}
