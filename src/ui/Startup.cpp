#include "ui/Startup.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QDir>
#include <QtGlobal>

#include "controls/ElasticPanel.h"
#include "engine/BrenmoorEngine.h"
#include "gamemap/GameArt.h"
#include "platform/FontUtils.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/Help.h"
#include "ui/MainForm.h"

const char* MissingDisplayText() {
  const QByteArray Platform = qgetenv("QT_QPA_PLATFORM");
  const bool NeedsDisplay = Platform.isEmpty() || Platform.startsWith("xcb") || Platform.startsWith("wayland");
  if (!NeedsDisplay || !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
    return nullptr;
  return "Brenmoor needs a display to show its window: start it from a desktop, or on a virtual "
         "display with: xvfb-run -s \"-screen 0 1024x768x24\" ./build/release/bin/brenmoor";
}

void SetUpApplication() {
  InstallFont("rareduvi.ttf");
  QCoreApplication::setApplicationName("Brenmoor");
  QCoreApplication::setOrganizationName("Quillfen");
  SetHelpFolder(QDir(QCoreApplication::applicationDirPath()).filePath(GameArt::HelpFolder));
}

void ShowRequestedScreen(TfrmMain& Main) {
  const QString Name = qEnvironmentVariable("BRENMOOR_SCREEN");
  if (Name.isEmpty()) return;
  TElasticPanel* Screen = Main.findChild<TElasticPanel*>(Name);
  if (!Screen) return;
  if (Screen == Main.pnlGame()) {
    // The Standard scenario's map and zones, no game running.
    Main.brm().SetScenarioFile("Standard.brmscen");
    Main.LoadMapSet("Standard.brmmap");
    Main.brm().LoadZoneData();
    Main.surface().SetActive(true);
  }
  Main.ShowScreen(Screen);
}
