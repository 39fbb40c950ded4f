#include "platform/WidgetUtils.h"

#include <QCoreApplication>
#include <QMouseEvent>

void ClickControl(QWidget* Control) {
  if (!Control) return;
  const QPointF Local(0, 0);
  const QPointF Global = Control->mapToGlobal(Local);
  QMouseEvent Press(QEvent::MouseButtonPress, Local, Global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Control, &Press);
  QMouseEvent Release(QEvent::MouseButtonRelease, Local, Global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QCoreApplication::sendEvent(Control, &Release);
}
