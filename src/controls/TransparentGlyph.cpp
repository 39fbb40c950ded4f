#include "controls/TransparentGlyph.h"

#include <QImage>

QPixmap MakeGlyphTransparent(const QPixmap& Glyph) {
  if (Glyph.isNull()) return QPixmap();
  QImage Picture = Glyph.toImage().convertToFormat(QImage::Format_ARGB32);
  const QRgb Transparent = Picture.pixel(0, Picture.height() - 1);
  for (int Y = 0; Y < Picture.height(); ++Y) {
    auto* Line = reinterpret_cast<QRgb*>(Picture.scanLine(Y));
    for (int X = 0; X < Picture.width(); ++X)
      if (Line[X] == Transparent) Line[X] = 0;
  }
  return QPixmap::fromImage(Picture);
}
