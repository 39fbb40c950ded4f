#include "platform/Application.h"

#include <QDir>
#include <QStyle>
#include <QStyleFactory>
#include <exception>

#include "platform/Fonts.h"
#include "platform/Prompter.h"

namespace {
// The game's windows were laid out for this face and size.
constexpr const char* kDialogFont = "MS Sans Serif";
constexpr int kDialogFontPixels = 11;
}  // namespace

TApplication::TApplication(int& Argc, char** Argv) : QApplication(Argc, Argv) {
  if (QStyle* Fusion = QStyleFactory::create("Fusion")) {
    setStyle(Fusion);
    // The style's own palette, not the desktop's colour scheme.
    setPalette(Fusion->standardPalette());
  }
  FFontProblems = RegisterBundledFonts(QDir(applicationDirPath()).filePath("fonts"));
  for (const std::string& Problem : FFontProblems) qWarning("Brenmoor fonts: %s", Problem.c_str());
  setFont(GameFont(kDialogFont, kDialogFontPixels));
}

std::string TApplication::InternalErrorText(const std::string& Message) {
  return "An internal error has occured: " + Message;
}

bool TApplication::notify(QObject* Receiver, QEvent* Event) {
  try {
    return QApplication::notify(Receiver, Event);
  } catch (...) {
    ShowCurrentException();
  }
  return false;
}

void TApplication::ShowCurrentException() {
  try {
    throw;
  } catch (const std::exception& E) {
    ShowException(E.what());
  } catch (...) {
    ShowException("Unknown exception");
  }
}

void TApplication::ShowException(const std::string& Message) {
  static bool Showing = false;
  if (Showing) {
    qWarning("%s", InternalErrorText(Message).c_str());
    return;
  }
  Showing = true;
  try {
    Prompter().ShowMessage(InternalErrorText(Message));
  } catch (...) {
    qWarning("%s", InternalErrorText(Message).c_str());
  }
  Showing = false;
}
