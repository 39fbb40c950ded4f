// The way to the script editor screen (ScriptEditorScreen.cpp), the set-up's choice of each
// major power's script file, and the navigator window's marks on the small map.
#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QSaveFile>
#include <QTextBlock>

#include "controls/ColMemo.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/GraphicPanel.h"
#include "engine/BrenmoorEngine.h"
#include "gamemap/NavigatorMarks.h"
#include "screens/ScriptEditorRules.h"
#include "platform/Fonts.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "players/Brain.h"
#include "players/ScriptModule.h"
#include "players/ScriptTestCompile.h"
#include "sprites/ColorPalette.h"
#include "sprites/ZoneSpriteSurface.h"
#include "ui/AIScriptsForm.h"
#include "ui/FormParts.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/NavigatorView.h"

void TfrmMain::btnEditorClick() { ShowScreen(FEditor); }

// --- The set-up's computer-player scripts ---

void TfrmMain::SpecifyAIScripts() {
  TfrmAIScripts* Window = FForms ? &FForms->AIScripts() : nullptr;
  if (!Window) return;
  Window->ShowNations(*FEngine);
  if (Window->exec() != mrOk) return;
  Window->StoreScripts(*FEngine);
  for (const auto& [Name, File] : AIScriptSettings(*FEngine)) FSettings->WriteString(Name, File);
}

// --- The navigator window ---

void TfrmMain::navigatorCustomPaint(TSpriteSurfaceNavigator& Sender, QPainter& Canvas) {
  const auto Marks = NavigatorMarks(*FEngine, Sender.width(), Sender.height(), FSurface->GetVirtualWidth(),
                                    FSurface->GetVirtualHeight());
  Canvas.save();
  for (const TNavigatorMark& Mark : Marks) {
    if (Mark.OwnerColorIndex >= 0) {
      const TPaletteEntry C = FPalette->ColorOf(Mark.OwnerColorIndex);
      Canvas.fillRect(Mark.X - 2, Mark.Y - 2, 4, 4, QColor(C.Red, C.Green, C.Blue));
    }
    if (Mark.Embattled) {
      Canvas.setPen(Qt::white);
      Canvas.setBrush(Qt::NoBrush);
      Canvas.drawRect(Mark.X - 3, Mark.Y - 3, 5, 5);
    }
  }
  Canvas.restore();
}
