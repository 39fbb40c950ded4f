#include "ui/Help.h"

#include <QCoreApplication>
#include <QDialog>
#include <QDir>
#include <QFileInfo>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/Prompter.h"
#include "platform/TextCodec.h"

namespace {
QString& Folder() {
  static QString Value;
  return Value;
}
// The book is shown in the program's own viewer unless another browser is set: a desktop
// without a browser for local pages would otherwise take the page and show nothing.
bool NoBrowser(const QUrl&) { return false; }
std::function<bool(const QUrl&)>& Browser() {
  static std::function<bool(const QUrl&)> Value = NoBrowser;
  return Value;
}

// The program's own viewer: one window, kept for the next topic.
void ShowInViewer(const QString& File) {
  static QDialog* Viewer = nullptr;
  static QTextBrowser* Text = nullptr;
  if (!Viewer) {
    Viewer = new QDialog(nullptr, Qt::Window);
    Viewer->setObjectName("frmHelp");
    Viewer->setWindowTitle("Brenmoor Help");
    Viewer->resize(640, 480);
    Text = new QTextBrowser(Viewer);
    Text->setObjectName("htmlHelp");
    Text->setOpenExternalLinks(true);
    auto* Layout = new QVBoxLayout(Viewer);
    Layout->setContentsMargins(0, 0, 0, 0);
    Layout->addWidget(Text);
    QObject::connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, [] {
      delete Viewer;
      Viewer = nullptr;
    });
  }
  Text->setSource(QUrl::fromLocalFile(File));
  Viewer->show();
  Viewer->raise();
}
}  // namespace

QString HelpFolder() {
  return Folder().isEmpty() ? QDir(QCoreApplication::applicationDirPath()).filePath("help") : Folder();
}

void SetHelpFolder(const QString& Value) { Folder() = Value; }

QString HelpTopicFile(const std::string& Topic) {
  const QDir Book(HelpFolder());
  for (const QString& Name : {ToQString(Topic) + ".html", QString("index.html")}) {
    if (!Topic.empty() || Name == "index.html")
      if (QFileInfo(Book.filePath(Name)).isFile()) return Book.filePath(Name);
  }
  return {};
}

void SetHelpBrowser(std::function<bool(const QUrl& Page)> Value) {
  Browser() = Value ? std::move(Value) : NoBrowser;
}

void ShowHelpTopic(const std::string& Topic) {
  const QString File = HelpTopicFile(Topic);
  if (File.isEmpty()) {
    Prompter().ShowMessage("The help for \"" + Topic + "\" is missing from " + FromQString(HelpFolder()));
    return;
  }
  if (!Browser()(QUrl::fromLocalFile(File))) ShowInViewer(File);
}
