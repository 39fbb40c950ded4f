#pragma once
// "Build Unit": how many of each unit type of one kind a zone is to build. The window shows each
// type's unit cost, the total cost with the events' factors, the zone's resources and the turns
// the factories need; Proceed closes with OK only while the zone can pay. A double click on the
// list or the quantity takes the most the zone can pay. The main window then reads lbForces
// (Quantities) and issues the build order.
#include "screens/ForcesRules.h"
#include "ui/GameWindows.h"

class QSpinBox;
class TBrenmoorForcesListBox;
class TBrenmoorOrderButton;
class TBrenmoorZone;
class TCellImage;
class TGraphicPanel;
class TNation;

class TfrmBuildUnit : public TGameWindow {
  Q_OBJECT
public:
  TfrmBuildUnit();

  // Kind: 0 Army, 1 Air Force, 2 Navy.
  void Prepare(TUnitKind Kind, TNation* Nation, TBrenmoorZone* Zone);
  // The quantity of each of the sixteen types in lbForces.
  TForceCounts Quantities() const;
  // What the window shows now.
  const TBuildEstimate& Estimate() const { return FEstimate; }

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  int Owner() const;
  void UpdateCost();
  void ChooseRow();
  void QuantityChanged(int Value);
  void TakeMostAffordable();
  void SetSpin(int Value);

  TBrenmoorForcesListBox* FForces;
  QSpinBox* FQty;
  TGraphicPanel* FCost;
  TGraphicPanel* FAvailable;
  TGraphicPanel* FETA;
  TGraphicPanel* FUnitCost;
  TBrenmoorOrderButton* FProceed;
  TCellImage* FIcons;
  TUnitKind FKind = ukArmy;
  TNation* FNation = nullptr;
  TBrenmoorZone* FZone = nullptr;
  TBuildEstimate FEstimate;
  // Set while the window sets spinQty itself, so its change handler stays out.
  bool FSettingSpin = false;
};
