#include "controls/ColorProgressBar.h"

#include <QApplication>
#include <QPainter>
#include <algorithm>

#include "foundation/Rounding.h"

TColorProgressBar::TColorProgressBar(QWidget* Parent) : QWidget(Parent) {
  const QPalette Colors = QApplication::palette();
  FColor = Colors.color(QPalette::Button);
  FFontColor = Colors.color(QPalette::WindowText);
  resize(121, 17);
}

void TColorProgressBar::SetValue(int Value) {
  FValue = Value;
  update();
}
void TColorProgressBar::SetMin(int Value) {
  FMin = Value;
  update();
}
void TColorProgressBar::SetMax(int Value) {
  FMax = Value;
  update();
}
void TColorProgressBar::SetValueLow(int Value) {
  FValueLow = Value;
  update();
}
void TColorProgressBar::SetValueMedium(int Value) {
  FValueMedium = Value;
  update();
}
void TColorProgressBar::SetColorLow(const QColor& Value) {
  FColorLow = Value;
  update();
}
void TColorProgressBar::SetColorMedium(const QColor& Value) {
  FColorMedium = Value;
  update();
}
void TColorProgressBar::SetColorHigh(const QColor& Value) {
  FColorHigh = Value;
  update();
}
void TColorProgressBar::SetTickWidth(int Value) {
  FTickWidth = Value;
  update();
}
void TColorProgressBar::SetColor(const QColor& Value) {
  FColor = Value;
  update();
}
void TColorProgressBar::SetFontColor(const QColor& Value) {
  FFontColor = Value;
  update();
}

QColor TColorProgressBar::BlockColor() const {
  if (FValue <= FValueLow) return FColorLow;
  if (FValue > FValueMedium) return FColorHigh;
  return FColorMedium;
}

int TColorProgressBar::FilledWidth() const {
  // A bar without a maximum would divide by zero; a value past the maximum would draw blocks
  // far beyond the bar.
  if (FMax <= 0) return 0;
  const int Filled = RoundHalfEven32(static_cast<double>(width()) / FMax * FValue);
  return std::clamp(Filled, 0, width());
}

void TColorProgressBar::paintEvent(QPaintEvent*) {
  QPainter Canvas(this);
  const int W = width();
  const int H = height();
  Canvas.fillRect(rect(), FColor);
  if (FTickWidth > 0) {
    const int Filled = FilledWidth();
    const QColor Block = BlockColor();
    for (int X = 0; X < Filled; X += FTickWidth + 1) Canvas.fillRect(X, 0, FTickWidth, H, Block);
  }
  const QString Text = QString::number(FValue) + '%';
  Canvas.setFont(font());
  Canvas.setPen(FFontColor);
  const QFontMetrics Metrics(font());
  const int X = W / 2 - Metrics.horizontalAdvance(Text) / 2;
  const int Y = H / 2 - Metrics.height() / 2;
  Canvas.drawText(X, Y + Metrics.ascent(), Text);
}
