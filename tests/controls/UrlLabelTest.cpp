#include <QDesktopServices>
#include <QTest>
#include <QUrl>
#include <vector>

#include "controls/UrlLabel.h"
#include "support/GuiTest.h"

namespace {

// Stands in for the desktop's web browser.
class TBrowser : public QObject {
  Q_OBJECT
public:
  std::vector<std::string>* Log = nullptr;
  Q_INVOKABLE void Open(const QUrl& Link) { Log->push_back("open " + Link.toString().toStdString()); }
};

struct UrlLabelTest : TGuiTest {
  std::vector<std::string> Log;
  TBrowser Browser;
  TUrlLabel Label;
  UrlLabelTest() {
    Browser.Log = &Log;
    QDesktopServices::setUrlHandler("http", &Browser, "Open");
    QDesktopServices::setUrlHandler("https", &Browser, "Open");
    Label.setObjectName("lblWeb");
    Label.resize(200, 16);
    Label.OnClick = [this](TUrlLabel* Sender) {
      EXPECT_EQ(Sender, &Label);
      Log.push_back("click");
    };
  }
  ~UrlLabelTest() override {
    QDesktopServices::unsetUrlHandler("http");
    QDesktopServices::unsetUrlHandler("https");
  }
};

}  // namespace

TEST_F(UrlLabelTest, LooksLikeALink) {
  EXPECT_EQ(Label.palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_TRUE(Label.font().underline());
  EXPECT_EQ(Label.cursor().shape(), Qt::PointingHandCursor);
  Label.setText("https://www.brenmoor.example/");
  GrabToPng(Label);
}

TEST_F(UrlLabelTest, AClickOpensAWebAddressInTheBrowser) {
  for (const char* Caption : {"https://www.brenmoor.example/", "http://brenmoor.example/lobby?room=1"}) {
    Log.clear();
    Label.setText(Caption);
    QTest::mouseClick(&Label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Log, (std::vector<std::string>{"click", std::string("open ") + Caption}));
  }
  // Pressed here but released elsewhere, or another button: no click.
  Log.clear();
  QTest::mousePress(&Label, Qt::LeftButton, {}, QPoint(5, 5));
  QTest::mouseRelease(&Label, Qt::LeftButton, {}, QPoint(500, 5));
  QTest::mouseClick(&Label, Qt::RightButton, {}, QPoint(5, 5));
  EXPECT_TRUE(Log.empty());
  EXPECT_TRUE(Prompter.Messages().empty());
}

TEST_F(UrlLabelTest, ACaptionThatIsNoWebAddressIsReportedAndNotOpened) {
  for (const char* Caption : {"Brenmoor", "", "file:///etc/passwd", "ftp://brenmoor.example/", "BrenmoorScenarioEditor.exe",
                              "http://", "javascript:alert(1)"}) {
    SCOPED_TRACE(Caption);
    Log.clear();
    Label.setText(Caption);
    QTest::mouseClick(&Label, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(Log, std::vector<std::string>{"click"});
    EXPECT_EQ(Prompter.Messages().back(), TUrlLabel::CannotOpenText(Caption));
  }
  EXPECT_EQ(TUrlLabel::CannotOpenText("Brenmoor"), "Cannot open \"Brenmoor\".");
}

#include "UrlLabelTest.moc"
