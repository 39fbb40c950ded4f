#pragma once
// "Research Options": the share of the nation's production spent on research and its breakdown
// over the eight research groups, with each group's progress and next upgrade. Proceed closes
// with OK; the main window then issues the research order with SpendingText.
#include <array>
#include <string>

#include "engine/EngineTypes.h"
#include "ui/GameWindows.h"

class QLabel;
class QSlider;
class TNation;

class TfrmResearch : public TGameWindow {
  Q_OBJECT
public:
  TfrmResearch();

  // Shows the nation's spending, progress and levels.
  void Prepare(TNation* Nation);
  // The research allocation: trackPct's position "#", then each group's position followed by "#".
  std::string SpendingText() const;

private:
  QSlider* FPct;
  QLabel* FPctLabel;
  std::array<QSlider*, ResearchGroupCount> FGroups{};
};
