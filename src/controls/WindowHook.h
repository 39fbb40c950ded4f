#pragma once
// The window procedure of a widget on our own layer. Every event that reaches a hooked widget
// goes first to the procedure in place, the newest hook, which passes what it does not take
// on to the one below it; the lowest passes it to the widget's own event handling. The chain
// lives in one event filter per widget (TWindowHookChain) that holds the procedure in place,
// so the order of the hooks and the walk down the chain stay ours and can be looked at.
//
// Messages are Qt events (their type is the message number) or our own registered messages,
// numbers handed out by name in the range of Qt's user event types, which travel the chain
// without an event.
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <functional>

class TPGSubclass;

// A message on its way down a window's chain. Event is the Qt event it stands for, or none for
// a registered message. Result is what the sender gets back.
struct TMessage {
  int Msg = 0;
  std::intptr_t WParam = 0;
  std::intptr_t LParam = 0;
  std::intptr_t Result = 0;
  QEvent* Event = nullptr;
};

// The number registered for Name: the same name always gets the same number, a new one the
// next free Qt user event type; 0 when none is left. Only the low 16 bits count.
int RegisterWindowMessage(const QString& Name);
// Register(Name), or Default when the low word of the result is 0; the low word is kept.
int RegisterMessageOrDefault(const QString& Name, int Default,
                             const std::function<int(const QString&)>& Register = RegisterWindowMessage);

// The hooks' own messages, registered once by name.
int UnlinkRequestMessage();  // "Counts subclass components", else $464
int ChainWalkMessage();      // "Updates subclass components WndProcs", else $465
int TopQueryMessage();       // "Gets the top subclass component in the list", else $466

// The chain of one widget: an event filter, a child of the widget, found by For.
class TWindowHookChain : public QObject {
  Q_OBJECT
public:
  // The chain of Window; created when Create is set and there is none yet.
  static TWindowHookChain* For(QWidget* Window, bool Create);

  QWidget* Window() const { return FWindow; }
  // The window procedure in place: the top hook, or none (the widget's own handling).
  TPGSubclass* Procedure() const { return FProcedure; }
  void SetProcedure(TPGSubclass* Procedure) { FProcedure = Procedure; }

  // Sends Message to the window: to the procedure in place, else to the widget's own handling.
  void Send(TMessage& Message);
  // The widget's own handling of Message: its event handler for an event; a registered message
  // is answered with 0.
  void CallWindowOwn(TMessage& Message);
  // While the widget has no native window (destroyed, not yet created again) events bypass the
  // hooks, as a new native window starts with its own procedure; Attach hooks the chain on the
  // new window and puts the filter in front of every other filter of the widget again.
  bool Detached() const { return FDetached; }
  void Attach();

protected:
  bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
  explicit TWindowHookChain(QWidget* Window);
  QPointer<QWidget> FWindow;
  TPGSubclass* FProcedure = nullptr;
  bool FDetached = false;
};
