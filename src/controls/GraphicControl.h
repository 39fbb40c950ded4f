#pragma once
// Base of the game's windowless painted controls (colour button, graphic panel): the mouse
// events in the order the game's handlers expect them. A press fires OnMouseDown; releasing
// the left button over the control after pressing it there fires OnClick and then OnMouseUp;
// a double click fires OnDblClick and then OnMouseDown again (and no second OnClick).
// Subclasses override MouseDown, MouseUp and MouseMove and call the base first, which fires
// the event. An exception out of a handler is shown as the internal-error message and does not
// stop the rest: a failing OnClick still lets the button come up.
#include <QWidget>
#include <functional>

class TGraphicControl : public QWidget {
  Q_OBJECT
public:
  explicit TGraphicControl(QWidget* Parent = nullptr);

  using TNotifyEvent = std::function<void(TGraphicControl* Sender)>;
  using TMouseEvent = std::function<void(TGraphicControl* Sender, Qt::MouseButton Button,
                                         Qt::KeyboardModifiers Shift, int X, int Y)>;
  using TMouseMoveEvent = std::function<void(TGraphicControl* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;

protected:
  virtual void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
  virtual void Click();
  virtual void DblClick();

  void mousePressEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

private:
  // The left button went down here and a click is due when it comes up over the control.
  bool FClicked = false;
};
