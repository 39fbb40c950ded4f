#pragma once
// What the program checks and does around the main window's start.
#include <string>

class TfrmMain;

// Nothing when the window system can start; otherwise the one line that says a display is
// needed (an X or Wayland display, or a virtual one from xvfb-run). Offscreen and other
// platforms chosen by QT_QPA_PLATFORM need none.
const char* MissingDisplayText();

// The program's steps before its windows: the game font installed from the program folder, the
// application's title "Brenmoor" (and its maker, whose settings folder the store uses), and the
// help book of the program folder.
void SetUpApplication();

// The screen the screenshot tool asks for in BRENMOOR_SCREEN (a screen's name: "pnlTitle",
// "pnlGame"...), brought to the front; the game screen shows the Standard map. Nothing when
// the variable is not set.
void ShowRequestedScreen(TfrmMain& Main);
