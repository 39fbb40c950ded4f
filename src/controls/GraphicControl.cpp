#include "controls/GraphicControl.h"

#include <QMouseEvent>

#include "platform/Application.h"

TGraphicControl::TGraphicControl(QWidget* Parent) : QWidget(Parent) {
  // Moves are reported with no button held too.
  setMouseTracking(true);
}

void TGraphicControl::MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (OnMouseDown) OnMouseDown(this, Button, Shift, X, Y);
}

void TGraphicControl::MouseMove(Qt::KeyboardModifiers Shift, int X, int Y) {
  if (OnMouseMove) OnMouseMove(this, Shift, X, Y);
}

void TGraphicControl::MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) {
  if (OnMouseUp) OnMouseUp(this, Button, Shift, X, Y);
}

void TGraphicControl::Click() {
  if (OnClick) OnClick(this);
}

void TGraphicControl::DblClick() {
  if (OnDblClick) OnDblClick(this);
}

void TGraphicControl::mousePressEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  if (Event->button() == Qt::LeftButton) FClicked = true;
  RunGuarded([&] { MouseDown(Event->button(), Event->modifiers(), At.x(), At.y()); });
}

void TGraphicControl::mouseDoubleClickEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  if (Event->button() == Qt::LeftButton) RunGuarded([&] { DblClick(); });
  RunGuarded([&] { MouseDown(Event->button(), Event->modifiers(), At.x(), At.y()); });
}

void TGraphicControl::mouseMoveEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  RunGuarded([&] { MouseMove(Event->modifiers(), At.x(), At.y()); });
}

void TGraphicControl::mouseReleaseEvent(QMouseEvent* Event) {
  const QPoint At = Event->position().toPoint();
  if (Event->button() == Qt::LeftButton && FClicked) {
    FClicked = false;
    if (rect().contains(At)) RunGuarded([&] { Click(); });
  }
  RunGuarded([&] { MouseUp(Event->button(), Event->modifiers(), At.x(), At.y()); });
}
