#include "controls/ElasticPanel.h"

#include <QAbstractSpinBox>
#include <QLineEdit>
#include <QResizeEvent>

#include "foundation/Rounding.h"
#include "platform/WidgetUtils.h"

TElasticPanel::TElasticPanel(QWidget* Parent) : QFrame(Parent) {
  setFrameStyle(QFrame::Panel | QFrame::Raised);
  setLineWidth(1);
}

void TElasticPanel::Loaded() {
  FRects.clear();
  for (QObject* Child : children())
    if (auto* Control = qobject_cast<QWidget*>(Child); Control && !Control->isWindow())
      FRects.push_back({Control, Control->geometry()});
  if (FDTWidth <= 0) FDTWidth = width();
  if (FDTHeight <= 0) FDTHeight = height();
  FReference = QSize(FDTWidth, FDTHeight);
  FReady = true;
}

void TElasticPanel::Rescale() {
  if (!FReady) return;
  const bool Horizontal = FElasticHorizontal && FReference.width() > 0;
  const bool Vertical = FElasticVertical && FReference.height() > 0;
  const double RX = Horizontal ? static_cast<double>(width()) / FReference.width() : 1.0;
  const double RY = Vertical ? static_cast<double>(height()) / FReference.height() : 1.0;
  for (const TRectHolder& Holder : FRects) {
    QWidget* Child = Holder.Child;
    if (!Child) continue;
    const QRect& R = Holder.Bounds;
    QRect Bounds = Child->geometry();
    int Left = Bounds.left(), Top = Bounds.top(), Width = Bounds.width(), Height = Bounds.height();
    if (Horizontal) {
      Left = RoundHalfEven32(R.left() * RX);
      Width = RoundHalfEven32(R.width() * RX);
    }
    if (Vertical) {
      Top = RoundHalfEven32(R.top() * RY);
      const bool IsEdit = qobject_cast<QLineEdit*>(Child) || qobject_cast<QAbstractSpinBox*>(Child);
      const bool KeepsHeight = ComponentTag(Child) == -1 || (IsEdit && !FResizeEditHeights);
      if (!KeepsHeight) Height = RoundHalfEven32(R.height() * RY);
    }
    if (Left != Bounds.left() || Top != Bounds.top() || Width != Bounds.width() || Height != Bounds.height())
      Child->setGeometry(Left, Top, Width, Height);
  }
}

void TElasticPanel::resizeEvent(QResizeEvent* Event) {
  QFrame::resizeEvent(Event);
  Rescale();
}
