#pragma once
// "Divide Unit": the player moves forces of one unit into a new unit, one at a time with the
// arrows (held down they repeat faster and faster) or a whole type with a double click. Proceed
// closes with OK while both sides hold forces; the main window then issues the divide order with
// NewForcesText. After each impulse the main window calls RefreshForUnit, which keeps the two
// sides true to the unit, or closes the window as cancelled when the unit is gone or in battle.
#include "screens/ForcesRules.h"
#include "ui/GameWindows.h"

class TBrenmoorForcesListBox;
class TBrenmoorOrderButton;
class TCellImage;
class TNation;
class TThreadedTimer;
class TUnit;

class TfrmDivideUnit : public TGameWindow {
  Q_OBJECT
public:
  TfrmDivideUnit();

  // Keeps the unit and its owner and puts the unit's forces on the parent side.
  void SetUnit(TUnit* Unit);
  TUnit* Unit() const { return FUnit; }
  // The new unit's counts for the divide order: each type's quantity followed by "#".
  std::string NewForcesText() const;
  // Called after each impulse while the window is open, with the unit (nullptr when it is gone).
  void RefreshForUnit(TUnit* Unit);
  // One of the selected type of From moves to To.
  void MoveOne(TBrenmoorForcesListBox* From, TBrenmoorForcesListBox* To);

  // The repeat of a held arrow: its first step comes at once, then every Interval (500 ms at
  // first, each step 0.8 of the last, down to 100 ms).
  TThreadedTimer& timerDivide() const { return *FTimer; }

protected:
  void showEvent(QShowEvent* Event) override;
  void hideEvent(QHideEvent* Event) override;

private:
  TDivideForces Forces() const;
  void UpdateProceed();
  void ArrowDown(TBrenmoorOrderButton* Arrow);
  void ArrowUp();
  void TimerTick();
  void MoveAll(TBrenmoorForcesListBox* From, TBrenmoorForcesListBox* To, int Row);

  TBrenmoorForcesListBox* FParent;
  TBrenmoorForcesListBox* FNew;
  TBrenmoorOrderButton* FRight;
  TBrenmoorOrderButton* FLeft;
  TBrenmoorOrderButton* FProceed;
  TCellImage* FIcons;
  TThreadedTimer* FTimer;
  TBrenmoorOrderButton* FHeldArrow = nullptr;
  TUnit* FUnit = nullptr;
  TNation* FOwner = nullptr;
};
