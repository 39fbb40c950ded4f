#include "controls/WindowHook.h"

#include <QEvent>
#include <map>

#include "controls/PGSubCls.h"
#include "platform/Application.h"

namespace {
std::map<QString, int>& RegisteredMessages() {
  static std::map<QString, int> Messages;
  return Messages;
}
}  // namespace

int RegisterWindowMessage(const QString& Name) {
  auto& Messages = RegisteredMessages();
  if (const auto Found = Messages.find(Name); Found != Messages.end()) return Found->second;
  const int Type = QEvent::registerEventType();
  if (Type < 0) return 0;
  return Messages[Name] = Type & 0xFFFF;
}

int RegisterMessageOrDefault(const QString& Name, int Default, const std::function<int(const QString&)>& Register) {
  const int Number = Register(Name) & 0xFFFF;
  return Number == 0 ? Default & 0xFFFF : Number;
}

int UnlinkRequestMessage() {
  static const int Number = RegisterMessageOrDefault("Counts subclass components", 0x464);
  return Number;
}

int ChainWalkMessage() {
  static const int Number = RegisterMessageOrDefault("Updates subclass components WndProcs", 0x465);
  return Number;
}

int TopQueryMessage() {
  static const int Number = RegisterMessageOrDefault("Gets the top subclass component in the list", 0x466);
  return Number;
}

TWindowHookChain::TWindowHookChain(QWidget* Window) : QObject(Window), FWindow(Window) {
  setObjectName("WindowHookChain");
  Window->installEventFilter(this);
}

TWindowHookChain* TWindowHookChain::For(QWidget* Window, bool Create) {
  if (!Window) return nullptr;
  for (QObject* Child : Window->children())
    if (auto* Chain = qobject_cast<TWindowHookChain*>(Child)) return Chain;
  return Create ? new TWindowHookChain(Window) : nullptr;
}

void TWindowHookChain::Send(TMessage& Message) {
  if (FProcedure)
    FProcedure->WndProc(Message);
  else
    CallWindowOwn(Message);
}

void TWindowHookChain::CallWindowOwn(TMessage& Message) {
  if (!Message.Event || !FWindow) {
    Message.Result = 0;
    return;
  }
  // The widget's own event handler, past every filter: QObject::event is public.
  QObject* Own = FWindow.data();
  Message.Result = Own->event(Message.Event) ? 1 : 0;
}

void TWindowHookChain::Attach() {
  FDetached = false;
  if (!FWindow) return;
  FWindow->removeEventFilter(this);
  FWindow->installEventFilter(this);
}

bool TWindowHookChain::eventFilter(QObject* Watched, QEvent* Event) {
  if (Watched != FWindow || !FProcedure || FDetached) return false;
  // Deleting the widget later is no window message: it goes straight to the widget, so that
  // no hook is still at work when the widget and its hooks are gone.
  if (Event->type() == QEvent::DeferredDelete) return false;
  // The native window is destroyed: the hooks see it go, then the new one starts without them.
  const bool NativeGone = Event->type() == QEvent::WinIdChange && FWindow->internalWinId() == 0;
  TMessage Message;
  Message.Msg = Event->type();
  Message.Event = Event;
  RunGuarded([&] { FProcedure->WndProc(Message); });
  if (NativeGone) FDetached = true;
  // The chain delivered the event, to the widget's own handling too when the hooks passed it on.
  return true;
}
