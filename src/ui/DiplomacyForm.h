#pragma once
// "Diplomacy/Espionage Options": the current nation chooses a nation of lbNations (filled by
// the main window) and one of eight actions, which closes the window with OK, or declares war
// on it, which closes it with Yes after the player confirms. The main window reads Target and
// Action and issues the order.
#include <QPointer>

#include "ui/GameWindows.h"

class TBrenmoorOrderButton;
class TCellImage;
class TColorProgressBar;
class TNation;
class TOwnerDrawListBox;

class TfrmDiplomacy : public TGameWindow {
  Q_OBJECT
public:
  TfrmDiplomacy();

  // The nation the local player commands; set before the window is shown.
  TNation* CurrentNation() const { return FCurrent; }
  void SetCurrentNation(TNation* Value) { FCurrent = Value; }
  // The nations' flags (the main window's picture grid, column = nation index). Not owned.
  void SetCellFlags(TCellImage* Value);
  // A line for the nation in lbNations.
  void AddNation(TNation* Nation);
  TNation* NationOf(int Row) const;
  // Selects the line of that nation.
  void SelectNation(TNation* Nation);
  // The chosen nation (nullptr before one is chosen).
  TNation* ChosenNation() const;
  // The choice the window closed with: a TDiplomaticAction, or -1 for a declaration of war.
  TNation* Target() const { return FTarget; }
  int Action() const { return FAction; }

protected:
  void showEvent(QShowEvent* Event) override;

private:
  void DrawNation(QPainter& Canvas, int Index, const QRect& Rect, bool Selected);
  void ChooseNation();
  void ActionClick(TBrenmoorOrderButton* Button);
  void DeclareWarClick();

  TOwnerDrawListBox* FNations;
  TColorProgressBar* FStability;
  TBrenmoorOrderButton* FDeclareWar;
  QPointer<TCellImage> FFlags;
  TNation* FCurrent = nullptr;
  TNation* FTarget = nullptr;
  int FAction = -1;
};
