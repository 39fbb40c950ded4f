#pragma once
// "Specify AI Scripts": for each major power of the scenario, the computer-player script file
// it plays with, typed or chosen through the open dialog (named without its folder: scripts are
// looked up by name in the game's folder). Proceed closes with OK, Cancel with Cancel; the main
// window then stores the files into the nations and the settings.
#include <array>
#include <string>

#include "screens/ScriptEditorRules.h"
#include "ui/GameWindows.h"

class QLabel;
class TBrenmoorEngine;
class TButtonEdit;

class TfrmAIScripts : public TGameWindow {
  Q_OBJECT
public:
  TfrmAIScripts();

  // Row i: major power i's name and script file; the rows beyond the major powers hidden.
  void ShowNations(const TBrenmoorEngine& Engine);
  // Each major power's script := the file-name part of its row.
  void StoreScripts(TBrenmoorEngine& Engine) const;
  // The files of the seven rows as they stand.
  std::array<std::string, AIScriptRowCount> Files() const;
  // A row's button: the open dialog; a chosen file's name, without folder, goes into the row.
  void EditButtonClick(int Row);

protected:
  // Every empty row gets the default script.
  void showEvent(QShowEvent* Event) override;

private:
  std::array<QLabel*, AIScriptRowCount> FLabels{};
  std::array<TButtonEdit*, AIScriptRowCount> FEdits{};
};
