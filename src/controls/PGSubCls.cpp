#include "controls/PGSubCls.h"

#include "platform/Application.h"

namespace {
// Ends the unlink request's walk once a subclasser has taken over the leaving one's link.
struct TChainAbort {};
}  // namespace

TPGSubclass::TPGSubclass(QObject* Owner) : QObject(Owner) {
  FRehookTimer.setInterval(1);
  connect(&FRehookTimer, &QTimer::timeout, this, [this] { RunGuarded([this] { RehookTimer(); }); });
}

TPGSubclass::~TPGSubclass() {
  FDestroying = true;
  if (FHooked) {
    // Leaves the chain while the window lives, so that no procedure points into this object.
    FDestroying = false;
    UnhookWindow();
    FDestroying = true;
  }
  FRehookTimer.stop();
}

void TPGSubclass::SetActive(bool Value) {
  FActive = Value;
  if (!FWindowControl) return;
  if (Value)
    HookWindow();
  else
    UnhookWindow();
}

void TPGSubclass::SetWindowControl(QWidget* Control) {
  // A hook moves to another window by leaving the old one's chain first.
  const bool Rehook = FHooked;
  if (FHooked) UnhookWindow();
  if (FWindowDestroyed) disconnect(FWindowDestroyed);
  FWindowControl = Control;
  FWindowDestroying = false;
  FWindowHandle = Control ? Control->internalWinId() : 0;
  if (Control)
    FWindowDestroyed = connect(Control, &QObject::destroyed, this, [this] { FWindowDestroying = true; });
  if (Rehook && FActive) HookWindow();
}

void TPGSubclass::HookWindow() {
  if (!FWindowControl || FHooked) return;
  FChain = TWindowHookChain::For(FWindowControl, true);
  FSavedProcedure = FChain->Procedure();
  FChain->SetProcedure(this);
  FHooked = true;
}

void TPGSubclass::UnhookWindow() {
  if (!FHooked) return;
  if (!Destroying() && FChain) {
    const bool WasWaiting = RehookPending();
    UnlinkFromChain(this);
    // The top one leaves while the chain waits for the new native window: the next one takes
    // over the wait, or the chain goes back on the window at once when none is left.
    if (WasWaiting) {
      if (TPGSubclass* Top = FChain->Procedure())
        Top->StartRehookWait();
      else
        FChain->Attach();
    }
  }
  FRehookTimer.stop();
  FHooked = false;
  FSavedProcedure = nullptr;
  FBottomSubclass = nullptr;
}

std::intptr_t TPGSubclass::Perform(int Msg, std::intptr_t WParam, std::intptr_t LParam) {
  TMessage Message{Msg & 0xFFFF, WParam, LParam, 0, nullptr};
  WndProc(Message);
  return Message.Result;
}

std::intptr_t TPGSubclass::SendToWindow(int Msg, std::intptr_t WParam, std::intptr_t LParam) {
  TMessage Message{Msg & 0xFFFF, WParam, LParam, 0, nullptr};
  if (FChain) FChain->Send(Message);
  return Message.Result;
}

int TPGSubclass::UpdateChain() {
  FBottomSubclass = nullptr;
  return static_cast<int>(SendToWindow(ChainWalkMessage()));
}

TPGSubclass* TPGSubclass::GetTopSubclass() {
  return reinterpret_cast<TPGSubclass*>(SendToWindow(TopQueryMessage()));
}

void TPGSubclass::WndProc(TMessage& Message) {
  if (!Message.Event && Message.Msg == ChainWalkMessage()) {
    Message.Result += 1;
    if (FChain && FChain->Procedure()) FChain->Procedure()->FBottomSubclass = this;
  } else if (!Message.Event && Message.Msg == UnlinkRequestMessage()) {
    auto* Leaving = reinterpret_cast<TPGSubclass*>(Message.LParam);
    if (Leaving && Leaving != this && FSavedProcedure == Leaving) {
      FSavedProcedure = Leaving->FSavedProcedure;
      throw TChainAbort{};
    }
  } else if (Message.Event && Message.Msg == QEvent::WinIdChange && FWindowControl &&
             FWindowControl->internalWinId() == 0 && !Destroying() && FChain && FChain->Procedure() == this) {
    UpdateChain();
    FWindowHandle = FWindowControl->internalWinId();
    StartRehookWait();
  }
  Dispatch(Message);
}

void TPGSubclass::DefaultHandler(TMessage& Message) {
  TMessage Lower{Message.Msg, Message.WParam, Message.LParam, 0, Message.Event};
  if (FSavedProcedure)
    FSavedProcedure->WndProc(Lower);
  else if (FChain)
    FChain->CallWindowOwn(Lower);
  if (!Message.Event && Message.Msg == ChainWalkMessage())
    Message.Result += Lower.Result;
  else
    Message.Result = Lower.Result;
  if (!Message.Event && Message.Msg == TopQueryMessage()) Message.Result = reinterpret_cast<std::intptr_t>(this);
}

void TPGSubclass::UnlinkFromChain(TPGSubclass* Subclass) {
  bool TakenOver = false;
  try {
    SendToWindow(UnlinkRequestMessage(), 0, reinterpret_cast<std::intptr_t>(Subclass));
  } catch (const TChainAbort&) {
    TakenOver = true;
  }
  if (!TakenOver && FChain && FChain->Procedure() == Subclass) FChain->SetProcedure(Subclass->FSavedProcedure);
}

void TPGSubclass::StartRehookWait() {
  if (FWindowControl) FWindowHandle = FWindowControl->internalWinId();
  FRehookTimer.start();
}

void TPGSubclass::RehookTimer() {
  if (!FWindowControl || !FChain) {
    FRehookTimer.stop();
    return;
  }
  const WId Handle = FWindowControl->internalWinId();
  if (Handle == FWindowHandle) return;
  FWindowHandle = Handle;
  FRehookTimer.stop();
  // The lowest hook calls the new native window's own procedure.
  UpdateChain();
  if (FBottomSubclass) FBottomSubclass->FSavedProcedure = nullptr;
  FBottomSubclass = nullptr;
  FChain->Attach();
}

TPGFormSubclass::TPGFormSubclass(QWidget* Owner) : TPGSubclass(Owner), FForm(Owner) {
  SetWindowControl(Owner);
}
