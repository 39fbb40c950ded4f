#pragma once
// The script editor screen's controls and steps: the script in the colour memo, new, load,
// save and save as through the prompter (the two dialogs share the file name), the caret
// position and the way back to it, and the test compile against the script module's registry.
// What the buttons show is decided by TScriptEditorState; this class only shows it.
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "screens/ScriptEditorRules.h"

class QLineEdit;
class QRect;
class QWidget;
class TBrenmoorBrain;
class TColorButton;
class TColorMemo;
class TGraphicPanel;
class TdmScript;

class TScriptEditorScreen {
public:
  // Makes one of the game's buttons (styled, with the click sound).
  using TButtonMaker =
      std::function<TColorButton*(QWidget* Parent, const char* Name, const QString& Caption, const QRect& Bounds)>;

  // Screen: the panel the controls go on (it owns them). OnClose: the Close button's way back.
  TScriptEditorScreen(QWidget& Screen, const TButtonMaker& MakeButton, std::function<void()> OnClose);
  ~TScriptEditorScreen();
  TScriptEditorScreen(const TScriptEditorScreen&) = delete;
  TScriptEditorScreen& operator=(const TScriptEditorScreen&) = delete;

  TColorMemo* Memo() const { return FMemo; }
  // The editor colours Module's function names and tests against its registry.
  void UseScriptModule(TdmScript& Module);

private:
  void CreateMemo(QWidget& Screen);
  void CreateButtons(QWidget& Screen, const TButtonMaker& MakeButton);
  void ShowState();
  // The memo's lines into FileName, said in a message; false (the error said) when it failed.
  bool SaveTo(const std::string& FileName);
  void NewScript();
  void LoadScript();
  void SaveScript();
  void SaveScriptAs();
  void TestScript();
  // The caret position into the position box.
  void ShowCaret();
  // The caret to the position typed in the position box, one character selected.
  void GoToPosition();

  std::function<void()> FOnClose;
  TdmScript* FModule = nullptr;
  TColorMemo* FMemo = nullptr;
  TGraphicPanel* FDescription = nullptr;
  QLineEdit* FPosition = nullptr;
  TColorButton* FTest = nullptr;
  TColorButton* FSave = nullptr;
  TColorButton* FSaveAs = nullptr;
  TScriptEditorState FState;
  std::unique_ptr<TScriptColorizer> FColorizer;
  std::vector<TScriptColorKey> FKeys;
  // The file names the save and open dialogs share.
  std::string FSaveName;
  std::string FOpenName;
  // The test brain: compiled against the script module's registry, never run.
  std::unique_ptr<TBrenmoorBrain> FTestBrain;
};
