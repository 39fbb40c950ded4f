#include "platform/FontUtils.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFontDatabase>

#include "platform/TextCodec.h"

bool InstallFont(const std::string& FileName) {
  // The program folder, then its "fonts" folder, where the bundled faces are kept.
  const QDir Folder(QCoreApplication::applicationDirPath());
  for (const QString& Path : {Folder.filePath(ToQString(FileName)), Folder.filePath("fonts/" + ToQString(FileName))}) {
    if (QFile::exists(Path)) return QFontDatabase::addApplicationFont(Path) >= 0;
  }
  return false;
}
