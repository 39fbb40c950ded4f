// The chain of hooks on one window: the newest first, leaving in any order, and back on the
// window after its native window is made again.
#include <QCoreApplication>
#include <QTest>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "controls/PGSubCls.h"
#include "support/GuiTest.h"

namespace {

// An event only the test sends.
const QEvent::Type ProbeEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

// A window that notes when its own handling sees the probe.
class TProbeWindow : public QWidget {
public:
  std::vector<std::string>* Log = nullptr;

protected:
  bool event(QEvent* Event) override {
    if (Event->type() == ProbeEvent && Log) Log->push_back("window");
    return QWidget::event(Event);
  }
};

// A hook that notes its name for every probe and passes it on.
class TNamedHook : public TPGSubclass {
public:
  TNamedHook(std::string Name, std::vector<std::string>& Log) : FName(std::move(Name)), FLog(Log) {}

protected:
  void Dispatch(TMessage& Message) override {
    if (Message.Event && Message.Event->type() == ProbeEvent) FLog.push_back(FName);
    TPGSubclass::Dispatch(Message);
  }

private:
  std::string FName;
  std::vector<std::string>& FLog;
};

struct WindowHookTest : TGuiTest {
  std::vector<std::string> Log;
  TProbeWindow Window;
  std::map<std::string, std::unique_ptr<TNamedHook>> Hooks;

  WindowHookTest() { Window.Log = &Log; }

  TNamedHook& Hook(const std::string& Name) {
    auto& Slot = Hooks[Name];
    Slot = std::make_unique<TNamedHook>(Name, Log);
    Slot->SetWindowControl(&Window);
    Slot->SetActive(true);
    return *Slot;
  }
  std::vector<std::string> Probe() {
    Log.clear();
    QEvent Event(ProbeEvent);
    QCoreApplication::sendEvent(&Window, &Event);
    return Log;
  }
  TWindowHookChain* Chain() { return TWindowHookChain::For(&Window, false); }
};

}  // namespace

TEST_F(WindowHookTest, TheNewestHookSeesMessagesFirst) {
  EXPECT_EQ(Probe(), std::vector<std::string>{"window"});
  Hook("bottom");
  Hook("middle");
  TNamedHook& Top = Hook("top");
  EXPECT_EQ(Probe(), (std::vector<std::string>{"top", "middle", "bottom", "window"}));
  EXPECT_EQ(Chain()->Procedure(), &Top);
  EXPECT_EQ(Top.SavedProcedure(), Hooks["middle"].get());
  EXPECT_EQ(Hooks["bottom"]->SavedProcedure(), nullptr) << "the lowest calls the window's own handling";

  // The chain walk counts the hooks and tells the top one the lowest; the top query finds the top.
  EXPECT_EQ(Top.UpdateChain(), 3);
  EXPECT_EQ(Top.BottomSubclass(), Hooks["bottom"].get());
  EXPECT_EQ(Hooks["bottom"]->GetTopSubclass(), &Top);
  EXPECT_TRUE(TPGSubclass::HasComponentOfClass<TWindowHookChain>(&Window));
}

TEST_F(WindowHookTest, AnyHookLeavesAndTheOthersStayJoined) {
  struct Case {
    std::string Leaving;
    std::vector<std::string> Order;
    std::string Top;
    std::string BelowTop;  // "" for the window's own handling
  };
  const std::vector<Case> Cases = {
      {"top", {"middle", "bottom", "window"}, "middle", "bottom"},
      {"middle", {"top", "bottom", "window"}, "top", "bottom"},
      {"bottom", {"top", "middle", "window"}, "top", "middle"},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE("leaving: " + C.Leaving);
    Hooks.clear();
    Hook("bottom");
    Hook("middle");
    Hook("top");
    Hooks[C.Leaving]->SetActive(false);
    EXPECT_FALSE(Hooks[C.Leaving]->Hooked());
    EXPECT_EQ(Probe(), C.Order);
    TNamedHook* Top = Hooks[C.Top].get();
    EXPECT_EQ(Chain()->Procedure(), Top);
    EXPECT_EQ(Top->SavedProcedure(), C.BelowTop.empty() ? nullptr : Hooks[C.BelowTop].get());
    EXPECT_EQ(Top->UpdateChain(), 2);
    // The last two leave as well: the window is back to its own handling.
    for (auto& [Name, H] : Hooks) H->SetActive(false);
    EXPECT_EQ(Probe(), std::vector<std::string>{"window"});
    EXPECT_EQ(Chain()->Procedure(), nullptr);
  }
}

TEST_F(WindowHookTest, ADestroyedHookLeavesTheChainFirst) {
  Hook("bottom");
  Hook("middle");
  Hook("top");
  Hooks.erase("middle");
  EXPECT_EQ(Probe(), (std::vector<std::string>{"top", "bottom", "window"}));
  Hooks.erase("top");
  EXPECT_EQ(Probe(), (std::vector<std::string>{"bottom", "window"}));
}

TEST_F(WindowHookTest, TheHooksSurviveANewNativeWindow) {
  Window.resize(200, 100);
  Window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
  Hook("bottom");
  Hook("middle");
  TNamedHook& Top = Hook("top");

  // New window flags destroy the native window; until the new one exists the window handles
  // its messages alone, as a new native window starts with its own procedure.
  Window.setWindowFlags(Window.windowFlags() | Qt::WindowStaysOnTopHint);
  EXPECT_EQ(Window.internalWinId(), WId(0));
  EXPECT_TRUE(Top.RehookPending());
  EXPECT_EQ(Probe(), std::vector<std::string>{"window"});
  Window.show();
  ASSERT_NE(Window.internalWinId(), WId(0));
  QTRY_VERIFY_WITH_TIMEOUT(!Top.RehookPending(), 2000);
  EXPECT_EQ(Probe(), (std::vector<std::string>{"top", "middle", "bottom", "window"}));
  EXPECT_EQ(Top.UpdateChain(), 3);
}

TEST_F(WindowHookTest, TheTopHookLeavingWhileTheWindowIsMadeAgainHandsOverTheWait) {
  Window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Window));
  Hook("bottom");
  Hook("middle");
  Hook("top");
  Window.setWindowFlags(Window.windowFlags() | Qt::WindowStaysOnTopHint);
  ASSERT_TRUE(Hooks["top"]->RehookPending());
  Hooks.erase("top");
  EXPECT_TRUE(Hooks["middle"]->RehookPending());
  Window.show();
  QTRY_VERIFY_WITH_TIMEOUT(!Hooks["middle"]->RehookPending(), 2000);
  EXPECT_EQ(Probe(), (std::vector<std::string>{"middle", "bottom", "window"}));
}

TEST(WindowMessages, RegisteredByNameWithAFallback) {
  const int First = RegisterWindowMessage("Brenmoor test message");
  EXPECT_NE(First, 0);
  EXPECT_EQ(RegisterWindowMessage("Brenmoor test message"), First) << "the same name, the same number";
  EXPECT_NE(RegisterWindowMessage("Another Brenmoor test message"), First);

  auto Gives = [](int Number) { return [Number](const QString&) { return Number; }; };
  EXPECT_EQ(RegisterMessageOrDefault("x", 0x464, Gives(0)), 0x464);
  EXPECT_EQ(RegisterMessageOrDefault("x", 0x465, Gives(0x30000)), 0x465) << "only the low word counts";
  EXPECT_EQ(RegisterMessageOrDefault("x", 0x466, Gives(0x3C123)), 0xC123);

  // The hooks' own messages are three different numbers.
  EXPECT_NE(UnlinkRequestMessage(), ChainWalkMessage());
  EXPECT_NE(ChainWalkMessage(), TopQueryMessage());
  EXPECT_NE(UnlinkRequestMessage(), TopQueryMessage());
}
