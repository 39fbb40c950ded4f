#include "controls/CaptionBarArt.h"

#include <QCoreApplication>
#include <QDir>
#include <cstdio>

QString CaptionArtFolder() { return QDir(QCoreApplication::applicationDirPath()).filePath("art/caption"); }

QImage LoadCaptionArt(const QString& Name) {
  const QString File = QDir(CaptionArtFolder()).filePath(Name + ".bmp");
  QImage Picture(File, "BMP");
  if (Picture.isNull()) {
    std::fprintf(stderr, "Caption bar bitmap %s not found: %s\n", qPrintable(Name), qPrintable(File));
    return {};
  }
  return Picture.convertToFormat(QImage::Format_RGB32);
}
