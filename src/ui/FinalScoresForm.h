#pragma once
// "Final Scores": one line per major power at the game's end: its flag and name, its industry
// total stored at the end times 20, its casualties and its final score.
#include <QPointer>
#include <array>
#include <string>

#include "ui/GameWindows.h"

class TBrenmoorEngine;
class TCellImage;
class TNation;
class TOwnerDrawListBox;

// The three figures of a power's line: "Value x 20", "Casualties" and "Final Score" (the last
// with thousands separators).
std::array<std::string, 3> FinalScoreTexts(const TNation& Nation);

class TfrmFinalScores : public TGameWindow {
  Q_OBJECT
public:
  TfrmFinalScores();

  // The nations' flags (the main window's picture grid, column = nation index). Not owned.
  void SetCellFlags(TCellImage* Value);
  // Empties the list and adds one line per major power of the engine, in nation order.
  void Fill(const TBrenmoorEngine& Engine);
  TNation* NationOf(int Row) const;

private:
  void DrawNation(QPainter& Canvas, int Index, const QRect& Rect);

  TOwnerDrawListBox* FNations;
  QPointer<TCellImage> FFlags;
};
