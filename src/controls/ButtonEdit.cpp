#include "controls/ButtonEdit.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>

#include "controls/Bevel.h"
#include "controls/TransparentGlyph.h"
#include "platform/Application.h"

namespace {
constexpr int kButtonWidth = 16;
// Room the button takes at the right of the client area, with the gap before the border.
constexpr int kButtonRoom = kButtonWidth + 4;
}  // namespace

TButtonEditButton::TButtonEditButton(TButtonEdit* Edit) : QWidget(Edit), FEdit(Edit) {
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::ArrowCursor);
  move(kButtonEditBorder, kButtonEditBorder);
}

void TButtonEditButton::Click() {
  if (FEdit->isReadOnly()) return;
  FEdit->setFocus(Qt::MouseFocusReason);
  if (FEdit->OnButtonClick) FEdit->OnButtonClick(FEdit);
}

void TButtonEditButton::paintEvent(QPaintEvent*) {
  QPainter Canvas(this);
  const QPalette Colors = QApplication::palette();
  const int W = width();
  const int H = height();
  Canvas.fillRect(rect(), Colors.color(QPalette::Button));
  int Offset = 0;
  if (FPressed) {
    DrawBevelRing(Canvas, W, H, 0, Colors.color(QPalette::Dark), Colors.color(QPalette::Dark));
    Offset = 1;
  } else {
    DrawBevelRing(Canvas, W, H, 0, Colors.color(QPalette::Button), Colors.color(QPalette::Shadow));
    DrawBevelRing(Canvas, W, H, 1, Colors.color(QPalette::Light), Colors.color(QPalette::Dark));
  }
  const QPixmap& Glyph = FEdit->TransparentGlyph();
  if (Glyph.width() <= Glyph.height()) return;
  const int Half = Glyph.width() / 2;
  const QRect Source(FEdit->isEnabled() ? 0 : Half, 0, Half, Glyph.height());
  Canvas.drawPixmap(QPoint((W - Half) / 2 + Offset, (H - Glyph.height()) / 2 + Offset), Glyph, Source);
}

void TButtonEditButton::mousePressEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  FPressed = true;
  FMouseHeld = false;
  FInside = true;
  repaint();
}

void TButtonEditButton::MouseLeft() {
  FInside = false;
  if (!FPressed) return;
  FPressed = false;
  FMouseHeld = true;
  repaint();
}

void TButtonEditButton::MouseCameBack() {
  FInside = true;
  if (!FMouseHeld) return;
  FMouseHeld = false;
  FPressed = true;
  repaint();
}

void TButtonEditButton::mouseMoveEvent(QMouseEvent* Event) {
  // While the left button is held the window system keeps the mouse here and reports no
  // leaving or entering, so the moves tell them.
  if (!(Event->buttons() & Qt::LeftButton) || (!FPressed && !FMouseHeld)) return;
  const bool Inside = rect().contains(Event->position().toPoint());
  if (Inside == FInside) return;
  if (Inside)
    MouseCameBack();
  else
    MouseLeft();
}

void TButtonEditButton::mouseReleaseEvent(QMouseEvent* Event) {
  if (Event->button() != Qt::LeftButton) return;
  const bool Clicked = (FPressed || FMouseHeld) && rect().contains(Event->position().toPoint());
  FPressed = false;
  FMouseHeld = false;
  FInside = false;
  repaint();
  if (Clicked) RunGuarded([this] { Click(); });
}

void TButtonEditButton::enterEvent(QEnterEvent* Event) {
  QWidget::enterEvent(Event);
  MouseCameBack();
}

void TButtonEditButton::leaveEvent(QEvent* Event) {
  QWidget::leaveEvent(Event);
  MouseLeft();
}

TButtonEdit::TButtonEdit(QWidget* Parent) : QLineEdit(Parent), FButton(new TButtonEditButton(this)) {
  FButton->show();
  // The text stops short of the button instead of running under it.
  setTextMargins(0, 0, kButtonRoom, 0);
}

void TButtonEdit::SetGlyph(const QPixmap& Value) {
  FGlyph = Value;
  FTransparentGlyph = MakeGlyphTransparent(FGlyph);
  FButton->update();
}

void TButtonEdit::SetButtonVisible(bool Value) {
  FButtonVisible = Value;
  FButton->setVisible(Value);
  setTextMargins(0, 0, Value ? kButtonRoom : 0, 0);
}

void TButtonEdit::changeEvent(QEvent* Event) {
  QLineEdit::changeEvent(Event);
  if (Event->type() != QEvent::EnabledChange) return;
  FButton->setEnabled(isEnabled());
  FButton->update();
}

void TButtonEdit::resizeEvent(QResizeEvent* Event) {
  FButton->setGeometry(kButtonEditBorder + width() - kButtonRoom, kButtonEditBorder, kButtonWidth, height() - 4);
  FButton->update();
  QLineEdit::resizeEvent(Event);
}

QPixmap ButtonEditGlyph() {
  return QPixmap(QDir(QCoreApplication::applicationDirPath()).filePath("art/controls/ButtonEditGlyph.bmp"));
}
