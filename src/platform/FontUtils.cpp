#include "platform/FontUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFontDatabase>

#include "platform/TextCodec.h"

bool InstallFont(const std::string& FileName) {
  const QString Path = QDir(QCoreApplication::applicationDirPath()).filePath(ToQString(FileName));
  return QFontDatabase::addApplicationFont(Path) >= 0;
}
