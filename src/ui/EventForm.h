#pragma once
// "Event": a random event's picture, its name, what it does and its historical note. The main
// window fills it and shows it modally; Close closes it.
#include <QString>

#include "ui/GameWindows.h"

class QLabel;
class QPlainTextEdit;
class TBrenmoorOrderButton;
class TRandomEvent;

class TfrmEvent : public TGameWindow {
  Q_OBJECT
public:
  TfrmEvent();

  // The event's texts; its picture from PictureFile when that file exists (else none); the
  // historical note scrolled to the top.
  void ShowRandomEvent(const TRandomEvent& Event, const QString& PictureFile);

  QLabel* imImage() const { return FImage; }
  QLabel* lblDescription() const { return FDescription; }
  QLabel* lblEffects() const { return FEffects; }
  QPlainTextEdit* memoHistorical() const { return FHistorical; }

private:
  QLabel* FImage;
  QLabel* FDescription;
  QLabel* FEffects;
  QPlainTextEdit* FHistorical;
  TBrenmoorOrderButton* FFocus;
};
