#include "controls/ColorButton.h"

#include <QApplication>
#include <QImage>
#include <QPainter>

#include "controls/Bevel.h"
#include "controls/TransparentGlyph.h"

TColorButton::TColorButton(QWidget* Parent) : TGraphicControl(Parent) {
  const QPalette Colors = QApplication::palette();
  FColor = Colors.color(QPalette::Button);
  FColorHighlight = Colors.color(QPalette::Light);
  FColorShadow = Colors.color(QPalette::Dark);
  FColorHot = QColor(0, 0, 0);
  FFontColor = Colors.color(QPalette::ButtonText);
  resize(75, 25);
}

void TColorButton::SetBevelWidth(int Value) {
  if (Value == FBevelWidth) return;
  FBevelWidth = Value;
  update();
}

void TColorButton::SetColor(const QColor& Value) {
  if (Value == FColor) return;
  FColor = Value;
  update();
}

void TColorButton::SetColorHighlight(const QColor& Value) {
  if (Value == FColorHighlight) return;
  FColorHighlight = Value;
  update();
}

void TColorButton::SetColorShadow(const QColor& Value) {
  if (Value == FColorShadow) return;
  FColorShadow = Value;
  update();
}

void TColorButton::SetColorHot(const QColor& Value) {
  FColorHot = Value;
  update();
}

void TColorButton::SetCaption(const QString& Value) {
  if (Value == FCaption) return;
  FCaption = Value;
  update();
}

void TColorButton::SetFontColor(const QColor& Value) {
  FFontColor = Value;
  update();
}

void TColorButton::SetDown(bool Value) {
  if (!FStayDown) return;
  FDown = Value;
  update();
}

void TColorButton::SetGlyph(const QPixmap& Value) {
  FGlyph = Value;
  FTransparentGlyph = MakeGlyphTransparent(FGlyph);
  update();
}

void TColorButton::SetStretch(bool Value) {
  FStretch = Value;
  update();
}

void TColorButton::SetStayDown(bool Value) {
  FStayDown = Value;
  FDown = false;
  update();
}

void TColorButton::SetHighlightChar(QChar Value) {
  FHighlightChar = Value;
  update();
}

void TColorButton::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  TGraphicControl::MouseDown(Button, Shift, X, Y);
  if (!isEnabled()) return;
  FDown = FStayDown ? !FDown : true;
  update();
}

void TColorButton::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  TGraphicControl::MouseUp(Button, Shift, X, Y);
  if (FStayDown) return;
  FDown = false;
  update();
}

void TColorButton::enterEvent(QEnterEvent* Event) {
  TGraphicControl::enterEvent(Event);
  FHot = true;
  update();
}

void TColorButton::leaveEvent(QEvent* Event) {
  TGraphicControl::leaveEvent(Event);
  FHot = false;
  update();
}

void TColorButton::paintEvent(QPaintEvent*) {
  QPainter Canvas(this);
  const int W = width();
  const int H = height();
  const int Shift = FDown ? 1 : 0;

  // The face.
  const QPixmap* Cell = FCellImage ? FCellImage->GetCell(FDown ? FIndexDown : FIndexUp, 0) : nullptr;
  if (Cell && !Cell->isNull())
    Canvas.drawPixmap(rect(), *Cell);
  else
    Canvas.fillRect(rect(), FDown ? FColorShadow : FColor);

  // The bevel.
  const QColor TopLeft = FDown ? FColorShadow : FHot ? FColorHot : FColorHighlight;
  const QColor BottomRight = FDown ? FColorHighlight : FHot ? FColorHot : FColorShadow;
  for (int Ring = 0; Ring < FBevelWidth; ++Ring) DrawBevelRing(Canvas, W, H, Ring, TopLeft, BottomRight);

  if (FCaption.isEmpty()) {
    if (FGlyph.isNull()) return;
    if (FStretch)
      Canvas.drawPixmap(QRect(QPoint(FBevelWidth, FBevelWidth), QPoint(W - FBevelWidth - 2, H - FBevelWidth - 2)),
                        FGlyph);
    else
      Canvas.drawPixmap((W - FGlyph.width()) / 2 + Shift, (H - FGlyph.height()) / 2 + Shift, FGlyph);
    return;
  }

  // The caption.
  Canvas.setFont(font());
  const QFontMetrics Metrics(font());
  const bool HasGlyph = FGlyph.width() > 1;
  int X = HasGlyph ? FGlyph.width() + FBevelWidth + 4 : (W - Metrics.horizontalAdvance(FCaption)) / 2;
  int Y = (H - Metrics.height()) / 2;
  const QColor TextColor = FDown && FInvertFontColor ? FColor : FFontColor;
  X += Shift;
  Y += Shift;
  const int Baseline = Y + Metrics.ascent();
  auto DrawPart = [&](const QString& Part, const QColor& Colour) {
    if (Part.isEmpty()) return;
    Canvas.setPen(Colour);
    Canvas.drawText(X, Baseline, Part);
    X += Metrics.horizontalAdvance(Part);
  };
  if (FHighlightChar.isNull()) {
    DrawPart(FCaption, TextColor);
  } else if (const qsizetype At = FCaption.indexOf(FHighlightChar); At < 0) {
    DrawPart(FCaption, TextColor);
    DrawPart(QString(FHighlightChar), FColorHot);
  } else {
    DrawPart(FCaption.left(At), TextColor);
    DrawPart(QString(FHighlightChar), FColorHot);
    DrawPart(FCaption.mid(At + 1), TextColor);
  }

  if (HasGlyph)
    Canvas.drawPixmap(FBevelWidth + 1 + Shift, (H - FGlyph.height()) / 2 + Shift, FTransparentGlyph);
}
