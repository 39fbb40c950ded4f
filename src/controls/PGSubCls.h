#pragma once
// A hook on a window's procedure (WindowHook.h): it sees the window's messages before the
// hooks below it and the window's own handling. Several hooks share one window, the newest on
// top; any of them may leave in any order, the ones above and below it then joined directly;
// and when the widget's native window is destroyed and created again (a change of its window
// flags), the top hook puts the chain back on the new window within a few 1 ms timer ticks.
#include <QPointer>
#include <QTimer>
#include <QWidget>
#include <memory>

#include "controls/WindowHook.h"

class TPGSubclass : public QObject {
  Q_OBJECT
public:
  explicit TPGSubclass(QObject* Owner = nullptr);
  // A hooked subclasser leaves the chain first.
  ~TPGSubclass() override;

  bool Active() const { return FActive; }
  // Hooks the window when set, unhooks it when cleared.
  virtual void SetActive(bool Value);
  QWidget* WindowControl() const { return FWindowControl; }
  // The window to hook; a hooked subclasser moves from the chain of the old window to the new one.
  virtual void SetWindowControl(QWidget* Control);
  virtual void HookWindow();
  virtual void UnhookWindow();

  // Hooked: this subclasser's procedure exists.
  bool Hooked() const { return FHooked; }
  // The next procedure down the chain: the subclasser below, or none (the window's own).
  TPGSubclass* SavedProcedure() const { return FSavedProcedure; }
  // Passes a message to this subclasser's procedure and returns its result.
  std::intptr_t Perform(int Msg, std::intptr_t WParam = 0, std::intptr_t LParam = 0);
  // Walks the chain: returns how many subclassers hook the window and leaves the lowest one
  // in BottomSubclass of the top one.
  int UpdateChain();
  TPGSubclass* GetTopSubclass();
  TPGSubclass* BottomSubclass() const { return FBottomSubclass; }
  // Waiting for the new native window after the old one was destroyed.
  bool RehookPending() const { return FRehookTimer.isActive(); }
  // The native window handle last recorded.
  WId RecordedHandle() const { return FWindowHandle; }

  // True when one of Owner's children is of class T (or derived from it).
  template <class T>
  static bool HasComponentOfClass(const QObject* Owner) {
    for (QObject* Child : Owner->children())
      if (qobject_cast<T*>(Child)) return true;
    return false;
  }

protected:
  // The hooked procedure: the chain's own messages, then Dispatch.
  virtual void WndProc(TMessage& Message);
  // The message handlers of the class; what they leave goes to DefaultHandler. A descendant
  // handles its messages and calls its parent's Dispatch for the rest.
  virtual void Dispatch(TMessage& Message) { DefaultHandler(Message); }
  // Calls the saved procedure (the next one down, or the window's own handling). The chain
  // walk adds what comes back to Result; the top query answers this subclasser.
  virtual void DefaultHandler(TMessage& Message);
  // The re-hook timer: once the widget has a new native window, the chain is put back on it.
  virtual void RehookTimer();
  // Sends a message to the window (through its whole chain).
  std::intptr_t SendToWindow(int Msg, std::intptr_t WParam = 0, std::intptr_t LParam = 0);
  // The window (or this subclasser) is being destroyed.
  bool Destroying() const { return FDestroying || FWindowDestroying; }
  TWindowHookChain* Chain() const { return FChain; }

private:
  friend class TWindowHookChain;
  void UnlinkFromChain(TPGSubclass* Subclass);
  void StartRehookWait();

  TPGSubclass* FSavedProcedure = nullptr;
  QTimer FRehookTimer;
  QPointer<QWidget> FWindowControl;
  WId FWindowHandle = 0;
  QPointer<TWindowHookChain> FChain;
  bool FHooked = false;
  bool FActive = false;
  TPGSubclass* FBottomSubclass = nullptr;
  bool FDestroying = false;
  bool FWindowDestroying = false;
  QMetaObject::Connection FWindowDestroyed;
};

// A subclasser bound to the form that owns it, with mouse capture.
class TPGFormSubclass : public TPGSubclass {
  Q_OBJECT
public:
  // Owner is the form; the subclasser is its child.
  explicit TPGFormSubclass(QWidget* Owner);

  QWidget* Form() const { return FForm; }
  bool MouseCapture() const { return FMouseCapture; }
  // Every mouse event goes to the form while set (the press that started it already gives
  // the form the mouse until the release).
  void SetMouseCapture(bool Value) { FMouseCapture = Value; }

private:
  QPointer<QWidget> FForm;
  bool FMouseCapture = false;
};
