#include "controls/GraphicPanel.h"

#include <QApplication>
#include <QPainter>

#include "controls/Bevel.h"

namespace {
template <class T>
bool Change(T& Field, const T& Value) {
  if (Field == Value) return false;
  Field = Value;
  return true;
}
}  // namespace

TGraphicPanel::TGraphicPanel(QWidget* Parent) : TGraphicControl(Parent) {
  const QPalette Colors = QApplication::palette();
  FColorHighlight = Colors.color(QPalette::Light);
  FColorShadow = Colors.color(QPalette::Dark);
  FColor = Colors.color(QPalette::Button);
  FFontColor = Colors.color(QPalette::WindowText);
  resize(185, 41);
}

void TGraphicPanel::SetAlignment(TAlignment Value) {
  if (Change(FAlignment, Value)) update();
}
void TGraphicPanel::SetBevelInner(TPanelBevel Value) {
  if (Change(FBevelInner, Value)) update();
}
void TGraphicPanel::SetBevelOuter(TPanelBevel Value) {
  if (Change(FBevelOuter, Value)) update();
}
void TGraphicPanel::SetBorderStyle(TBorderStyle Value) {
  if (Change(FBorderStyle, Value)) update();
}
void TGraphicPanel::SetBorderWidth(int Value) {
  if (Change(FBorderWidth, Value)) update();
}
void TGraphicPanel::SetBevelWidth(int Value) {
  if (Change(FBevelWidth, Value)) update();
}
void TGraphicPanel::SetColorHighlight(const QColor& Value) {
  if (Change(FColorHighlight, Value)) update();
}
void TGraphicPanel::SetColorShadow(const QColor& Value) {
  if (Change(FColorShadow, Value)) update();
}
void TGraphicPanel::SetCaption(const QString& Value) {
  if (Change(FCaption, Value)) update();
}
void TGraphicPanel::SetColor(const QColor& Value) {
  if (Change(FColor, Value)) update();
}
void TGraphicPanel::SetFontColor(const QColor& Value) {
  if (Change(FFontColor, Value)) update();
}

void TGraphicPanel::paintEvent(QPaintEvent*) {
  QPainter Canvas(this);
  const int W = width();
  const int H = height();
  Canvas.fillRect(rect(), FColor);
  int Inset = 0;
  auto Rings = [&](int Count, const QColor& TopLeft, const QColor& BottomRight) {
    for (int N = 0; N < Count; ++N) DrawBevelRing(Canvas, W, H, Inset++, TopLeft, BottomRight);
  };
  auto Bevel = [&](TPanelBevel Kind) {
    if (Kind == bvLowered) Rings(FBevelWidth, FColorShadow, FColorHighlight);
    if (Kind == bvRaised) Rings(FBevelWidth, FColorHighlight, FColorShadow);
  };
  if (FBorderStyle == bsSingle) Rings(1, QColor(0, 0, 0), QApplication::palette().color(QPalette::Base));
  Bevel(FBevelOuter);
  Rings(FBorderWidth, FColor, FColor);
  Bevel(FBevelInner);

  if (FCaption.isEmpty()) return;
  Canvas.setFont(font());
  const QFontMetrics Metrics(font());
  const int TextWidth = Metrics.horizontalAdvance(FCaption);
  int X = Inset + 1;
  if (FAlignment == taRightJustify) X = W - TextWidth - Inset - 1;
  if (FAlignment == taCenter) X = (W - TextWidth) / 2;
  const int Y = (H - Metrics.height()) / 2;
  // The caption stands on the panel's colour.
  Canvas.fillRect(X, Y, TextWidth, Metrics.height(), FColor);
  Canvas.setPen(FFontColor);
  Canvas.drawText(X, Y + Metrics.ascent(), FCaption);
}
