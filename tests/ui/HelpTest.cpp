// The help book opens in the program's own viewer unless a browser is set for it, and a topic
// the book lacks falls back to its index.
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTextBrowser>

#include "support/GuiTest.h"
#include "ui/Help.h"

namespace {
struct HelpTest : TGuiTest {
  QTemporaryDir Book;
  HelpTest() {
    for (const char* Name : {"index.html", "Orders.html"}) {
      QFile Page(QDir(Book.path()).filePath(Name));
      EXPECT_TRUE(Page.open(QIODevice::WriteOnly));
      Page.write(QByteArray("<html><body><p>") + Name + "</p></body></html>");
    }
    SetHelpFolder(Book.path());
  }
  ~HelpTest() override {
    SetHelpFolder({});
    SetHelpBrowser(nullptr);
  }
  static QTextBrowser* Viewer() {
    for (QWidget* Window : QApplication::topLevelWidgets())
      if (Window->objectName() == "frmHelp" && Window->isVisible()) return Window->findChild<QTextBrowser*>("htmlHelp");
    return nullptr;
  }
};
}  // namespace

TEST_F(HelpTest, TopicsOpenInTheProgramsOwnViewerUnlessABrowserTakesThem) {
  ShowHelpTopic("Orders");
  ASSERT_NE(Viewer(), nullptr);
  EXPECT_TRUE(Viewer()->source().toLocalFile().endsWith("/Orders.html"));
  EXPECT_TRUE(Viewer()->toPlainText().contains("Orders.html"));
  ShowHelpTopic("NoSuchTopic");
  EXPECT_TRUE(Viewer()->source().toLocalFile().endsWith("/index.html"));
  Viewer()->window()->hide();

  std::vector<QString> Taken;
  SetHelpBrowser([&](const QUrl& Page) {
    Taken.push_back(Page.toLocalFile());
    return true;
  });
  ShowHelpTopic("Orders");
  ASSERT_EQ(Taken.size(), 1u);
  EXPECT_TRUE(Taken[0].endsWith("/Orders.html"));
  EXPECT_EQ(Viewer(), nullptr);
  // A browser that cannot open the page leaves it to the viewer.
  SetHelpBrowser([](const QUrl&) { return false; });
  ShowHelpTopic("Orders");
  EXPECT_NE(Viewer(), nullptr);
}
