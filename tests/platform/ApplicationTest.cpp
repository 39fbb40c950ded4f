// The test programs run under the game's application object (tests/support/QtTestMain.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QStyle>
#include <functional>

#include "foundation/Exception.h"
#include "platform/Application.h"
#include "platform/Fonts.h"
#include "support/ScriptedPrompter.h"

namespace {
TApplication* App() { return qobject_cast<TApplication*>(QCoreApplication::instance()); }
}  // namespace

TEST(Application, DrawsWithTheGameStyleAndFonts) {
  ASSERT_NE(App(), nullptr);
  EXPECT_EQ(QApplication::style()->name().toLower(), "fusion");
  EXPECT_TRUE(App()->FontProblems().empty()) << App()->FontProblems().front();
  EXPECT_EQ(QFontInfo(QApplication::font()).family(), "Liberation Sans");
  EXPECT_EQ(QFontInfo(QApplication::font()).pixelSize(), 11);
}

namespace {
// A receiver whose handler of user events is the test's.
class TReceiver : public QObject {
public:
  std::function<void()> OnUserEvent;
  bool event(QEvent* Event) override {
    if (Event->type() != QEvent::User) return QObject::event(Event);
    OnUserEvent();
    return true;
  }
};
}  // namespace

TEST(Application, AnExceptionInAHandlerShowsTheInternalErrorAndTheGameGoesOn) {
  TScriptedPrompter Prompter;
  TReceiver Receiver;
  int Handled = 0;
  Receiver.OnUserEvent = [&] {
    if (++Handled == 1) throw EBrenmoor("Unit cannot reach the Destination Zone");
    if (Handled == 3) throw 42;
  };
  QEvent Event(QEvent::User);
  QCoreApplication::sendEvent(&Receiver, &Event);
  EXPECT_EQ(Prompter.Messages(),
            std::vector<std::string>{"An internal error has occured: Unit cannot reach the Destination Zone"});
  QCoreApplication::sendEvent(&Receiver, &Event);
  EXPECT_EQ(Handled, 2) << "the next event is handled as usual";
  EXPECT_EQ(Prompter.Messages().size(), 1u);

  // Posted events come through the same way; so does an exception of no known class.
  QCoreApplication::postEvent(&Receiver, new QEvent(QEvent::User));
  QCoreApplication::sendPostedEvents(&Receiver);
  EXPECT_EQ(Handled, 3);
  EXPECT_EQ(Prompter.Messages().back(), "An internal error has occured: Unknown exception");
}

TEST(Application, AGuardedHandlerStopsItsExceptionAtOnce) {
  TScriptedPrompter Prompter;
  bool After = false;
  RunGuarded([] { throw EBrenmoor("Invalid Reinforcement"); });
  RunGuarded([&] { After = true; });
  EXPECT_TRUE(After);
  EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"An internal error has occured: Invalid Reinforcement"});
}

TEST(Application, AFailureWhileTheMessageIsShownDoesNotPileUpMessages) {
  TScriptedPrompter Prompter;
  // While the message is up, the window behind it fails once more.
  Prompter.OnPrompt = [](const TPrompt&) { RunGuarded([] { throw EBrenmoor("again"); }); };
  RunGuarded([] { throw EBrenmoor("first"); });
  EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"An internal error has occured: first"});
  Prompter.OnPrompt = nullptr;
  RunGuarded([] { throw EBrenmoor("later"); });
  EXPECT_EQ(Prompter.Messages().back(), "An internal error has occured: later") << "the next failure shows again";
}
