#pragma once
// A value shown as a row of tick blocks whose colour tells whether it is low (red), medium
// (yellow) or high (green), with the value followed by "%" in the middle: a unit's
// organisation, building progress, a nation's stability.
#include <QColor>
#include <QWidget>

class TColorProgressBar : public QWidget {
  Q_OBJECT
public:
  // 121 x 17.
  explicit TColorProgressBar(QWidget* Parent = nullptr);

  int Value() const { return FValue; }
  void SetValue(int Value);
  // Kept; the blocks run from 0 whatever it is.
  int Min() const { return FMin; }
  void SetMin(int Value);
  // The value that fills the whole width.
  int Max() const { return FMax; }
  void SetMax(int Value);
  // Values up to ValueLow are low, values above ValueMedium high, the others medium.
  int ValueLow() const { return FValueLow; }
  void SetValueLow(int Value);
  int ValueMedium() const { return FValueMedium; }
  void SetValueMedium(int Value);
  QColor ColorLow() const { return FColorLow; }
  void SetColorLow(const QColor& Value);
  QColor ColorMedium() const { return FColorMedium; }
  void SetColorMedium(const QColor& Value);
  QColor ColorHigh() const { return FColorHigh; }
  void SetColorHigh(const QColor& Value);
  // The width of a block; blocks are one pixel apart.
  int TickWidth() const { return FTickWidth; }
  void SetTickWidth(int Value);
  // The background.
  QColor Color() const { return FColor; }
  void SetColor(const QColor& Value);
  // The colour of the text (its face is the widget's font).
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& Value);

  // The colour of the blocks for the current value.
  QColor BlockColor() const;
  // How far the blocks reach: Round(Width / Max x Value), halves to even, kept within the bar
  // (nothing when Max is not above 0); blocks start while their left edge lies below it.
  int FilledWidth() const;

protected:
  void paintEvent(QPaintEvent* Event) override;

private:
  int FValue = 0;
  int FMin = 0;
  int FMax = 100;
  int FValueLow = 0;
  int FValueMedium = 0;
  QColor FColorLow{255, 0, 0};
  QColor FColorMedium{255, 255, 0};
  QColor FColorHigh{0, 128, 0};
  int FTickWidth = 4;
  QColor FColor;
  QColor FFontColor;
};
