#pragma once
// "Specify Formations": a weight of 10 to 100 for each unit type but the Atomic Bomber (the jet
// row only once the nation has jets); types with higher weights stand nearer the front. Proceed
// closes with OK; the main window sets the spin edits (found by their Tag, the unit type) before
// and reads them after.
#include <array>
#include <string>

#include "engine/EngineTypes.h"
#include "ui/GameWindows.h"

class QLabel;
class QSpinBox;
class TNation;

class TfrmFormations : public TGameWindow {
  Q_OBJECT
public:
  TfrmFormations();

  // The nation the local player commands; set before the window is shown.
  TNation* CurrentNation() const { return FCurrent; }
  void SetCurrentNation(TNation* Value) { FCurrent = Value; }
  // The spin edit of a unit type (nullptr for the Atomic Bomber).
  QSpinBox* Spin(int Type) const { return FSpins[static_cast<std::size_t>(Type)]; }
  // The weights as the formations order carries them.
  std::string FormationText() const;

protected:
  void showEvent(QShowEvent* Event) override;

private:
  std::array<QSpinBox*, UnitTypeCount> FSpins{};
  QLabel* FJetLabel = nullptr;
  TNation* FCurrent = nullptr;
};
