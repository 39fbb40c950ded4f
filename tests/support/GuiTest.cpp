#include "support/GuiTest.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QPixmap>
#include <QWidget>

TTemporarySettings::TTemporarySettings()
    : FStore(std::make_unique<TRegistryManager>(FDir.filePath("settings.ini"))) {
  FStore->SetSubKey("Software\\Quillfen\\Brenmoor\\");
}

namespace {
QString FileNamePart(QString Name) {
  for (QChar& C : Name)
    if (!C.isLetterOrNumber() && C != '-' && C != '_' && C != '.') C = '_';
  return Name;
}
}  // namespace

QString TestOutputFolder() {
  const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
  const QString Suite = Info ? FileNamePart(Info->test_suite_name()) : QString("no-test");
  return QDir(BRENMOOR_BINARY_DIR).filePath("test-output/" + Suite);
}

QString TestOutputFile(const QString& Name) {
  const ::testing::TestInfo* Info = ::testing::UnitTest::GetInstance()->current_test_info();
  QString File = Info ? FileNamePart(Info->name()) : QString("grab");
  if (!Name.isEmpty()) File += '-' + FileNamePart(Name);
  return QDir(TestOutputFolder()).filePath(File + ".png");
}

QImage GrabToPng(QWidget& Widget, const QString& Name) {
  const QImage Picture = Widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
  const QString File = TestOutputFile(Name);
  if (!QDir().mkpath(QFileInfo(File).path()) || !Picture.save(File, "PNG"))
    ADD_FAILURE() << "the picture could not be written to " << File.toStdString();
  return Picture;
}

bool RunUntil(const std::function<bool()>& Done, int DeadlineMs) {
  QElapsedTimer Clock;
  Clock.start();
  while (!Done()) {
    if (Clock.elapsed() > DeadlineMs) return false;
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
  }
  return true;
}
