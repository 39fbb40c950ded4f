// A frameless window with the game's caption bar as the main window sets it up: the system
// menu, the title, close, maximise and minimise, and the sound and music switches. It runs
// until it is closed; tools/screenshot-caption.sh photographs it under a virtual display.
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "controls/CaptionBarArt.h"
#include "controls/PGDsgFrm.h"
#include "platform/Application.h"
#include "platform/Fonts.h"

int main(int argc, char* argv[]) {
  TApplication App(argc, argv);
  TApplication::setApplicationName("Brenmoor");

  QWidget Form;
  Form.setObjectName("frmMain");
  Form.setWindowTitle("Brenmoor 4.0");
  Form.resize(640, 480);
  Form.move(40, 30);

  // The bar first, then its items in their order.
  auto* Bar = new TPGCaptionBar(&Form);
  Bar->setObjectName("dfCaption");
  Bar->SetOptions(cboButtonsSameHeight | cboCaptionBarAutosize | cboDesignTimeEnhancements | cboDesignTimeTips);
  Bar->SetHeight(23);
  Bar->SetActiveColor(Qt::black);
  Bar->SetInactiveColor(Qt::black);
  Bar->SetMinWidth(640);
  Bar->SetMinHeight(480);

  auto* SysMenu = new TPGCaptionBarSystemButton(&Form);
  SysMenu->setObjectName("cbtnSysMenu");
  SysMenu->SetKind(sbkSystemMenu);

  auto* Title = new TPGCaptionBarGlyph(&Form);
  Title->setObjectName("dfCaptionGlyph");
  Title->SetCaption("Brenmoor 4.0");
  Bar->SetTitle(Title);

  for (auto [Name, Kind] : {std::pair{"cbtnClose", sbkSystemClose}, std::pair{"cbtnMaximize", sbkMaximize},
                            std::pair{"cbtnMinimize", sbkMinimize}}) {
    auto* Button = new TPGCaptionBarSystemButton(&Form);
    Button->setObjectName(Name);
    Button->SetKind(Kind);
  }
  for (auto [Name, Glyph] : {std::pair{"cbtnSound", "SOUND"}, std::pair{"cbtnMidi", "MUSIC"}}) {
    auto* Switch = new TPGCaptionBarButton(&Form);
    Switch->setObjectName(Name);
    Switch->SetButtonType(cctToggleButton);
    Switch->SetAlign(lrRightJustify);
    Switch->SetGlyph(LoadCaptionArt(Glyph));
    Switch->SetDown(true);
  }

  auto* Layout = new QVBoxLayout(&Form);
  auto* Client = new QLabel("The game's own caption bar: drag the bar, size the bottom edge,\n"
                            "double-click the bar, click the switches, press Alt+Space.");
  Client->setAlignment(Qt::AlignCenter);
  Client->setFont(GameFont("Arial", 14));
  Layout->addWidget(Client);

  Form.show();
  return TApplication::exec();
}
