// The test programs run under the game's application object (tests/support/QtTestMain.cpp).
#include <gtest/gtest.h>

#include <QApplication>
#include <QFontInfo>
#include <QPushButton>
#include <QStyle>
#include <QTest>
#include <QTimer>

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

TEST(Application, AnExceptionInAHandlerShowsTheInternalErrorAndTheGameGoesOn) {
  TScriptedPrompter Prompter;
  QPushButton Button("Move");
  int Clicks = 0;
  QObject::connect(&Button, &QPushButton::clicked, [&] {
    if (++Clicks == 1) throw EBrenmoor("Unit cannot reach the Destination Zone");
    if (Clicks == 2) throw 42;
  });
  QTest::mouseClick(&Button, Qt::LeftButton);
  ASSERT_EQ(Prompter.Messages(),
            std::vector<std::string>{"An internal error has occured: Unit cannot reach the Destination Zone"});
  QTest::mouseClick(&Button, Qt::LeftButton);
  EXPECT_EQ(Prompter.Messages().back(), "An internal error has occured: Unknown exception");
  QTest::mouseClick(&Button, Qt::LeftButton);
  EXPECT_EQ(Clicks, 3);
  EXPECT_EQ(Prompter.Messages().size(), 2u);

  // Timers and posted work are events too.
  QTimer::singleShot(0, [] { throw EBrenmoor("Invalid Reinforcement"); });
  QTest::qWait(20);
  EXPECT_EQ(Prompter.Messages().back(), "An internal error has occured: Invalid Reinforcement");
}

TEST(Application, AFailureWhileTheMessageIsShownDoesNotPileUpMessages) {
  TScriptedPrompter Prompter;
  QPushButton Failing("Broken");
  QObject::connect(&Failing, &QPushButton::clicked, [] { throw EBrenmoor("again"); });
  // While the message is up, the window behind it fails once more.
  Prompter.OnPrompt = [&](const TPrompt&) { QTest::mouseClick(&Failing, Qt::LeftButton); };
  QTest::mouseClick(&Failing, Qt::LeftButton);
  EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"An internal error has occured: again"});
  Prompter.OnPrompt = nullptr;
  QTest::mouseClick(&Failing, Qt::LeftButton);
  EXPECT_EQ(Prompter.Messages().size(), 2u) << "the next failure shows again";
}
