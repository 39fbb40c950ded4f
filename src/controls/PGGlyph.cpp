#include "controls/PGGlyph.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPainter>
#include <QPalette>
#include <algorithm>

#include "controls/Bevel.h"

namespace {
QFont DrawingFont(const QFont& Font) {
  // Hard-edged text, so that no blended pixel escapes the transparent colour.
  QFont Out = Font;
  Out.setStyleStrategy(QFont::NoAntialias);
  return Out;
}

QImage WithColourMaskedOut(const QImage& Image, QRgb Colour) {
  QImage Out = Image.convertToFormat(QImage::Format_ARGB32);
  Colour |= 0xFF000000u;
  for (int Y = 0; Y < Out.height(); ++Y) {
    auto* Line = reinterpret_cast<QRgb*>(Out.scanLine(Y));
    for (int X = 0; X < Out.width(); ++X)
      if ((Line[X] | 0xFF000000u) == Colour) Line[X] = 0;
  }
  return Out;
}

QColor ButtonFaceColour() { return QApplication::palette().color(QPalette::Button); }
}  // namespace

QImage EmbossImage(const QImage& Image, const QColor& Background, const QColor& Face) {
  const QImage Source = Image.convertToFormat(QImage::Format_RGB32);
  QImage Out(Source.size(), QImage::Format_RGB32);
  Out.fill(Face);
  const QRgb Back = Background.rgb() | 0xFF000000u;
  const QRgb Shadow = QApplication::palette().color(QPalette::Dark).rgb();
  auto Stamp = [&](int DX, int DY, QRgb Colour) {
    for (int Y = 0; Y < Source.height(); ++Y)
      for (int X = 0; X < Source.width(); ++X)
        if ((Source.pixel(X, Y) | 0xFF000000u) != Back && Out.rect().contains(X + DX, Y + DY))
          Out.setPixel(X + DX, Y + DY, Colour);
  };
  Stamp(1, 1, qRgb(255, 255, 255));
  Stamp(0, 0, Shadow);
  return Out;
}

QRect DrawButtonFace(QPainter& Canvas, const QRect& Rect, int BevelWidth, bool Pressed, TButtonStyle Style) {
  const QPalette Colours = QApplication::palette();
  Canvas.save();
  Canvas.translate(Rect.topLeft());
  Canvas.fillRect(QRect(QPoint(0, 0), Rect.size()), Colours.color(QPalette::Button));
  int Ring = 0;
  if (Style == bsWin31) DrawBevelRing(Canvas, Rect.width(), Rect.height(), Ring++, Qt::black, Qt::black);
  const QColor Light = Colours.color(QPalette::Light);
  const QColor Midlight = Colours.color(QPalette::Midlight);
  const QColor Dark = Colours.color(QPalette::Dark);
  const QColor Shadow = Colours.color(QPalette::Shadow);
  for (int I = 0; I < BevelWidth; ++I, ++Ring) {
    if (Pressed)
      DrawBevelRing(Canvas, Rect.width(), Rect.height(), Ring, I == 0 ? Shadow : Dark, I == 0 ? Light : Midlight);
    else
      DrawBevelRing(Canvas, Rect.width(), Rect.height(), Ring, I == 0 ? Light : Midlight, I == 0 ? Shadow : Dark);
  }
  Canvas.restore();
  QRect Inner = Rect.adjusted(Ring, Ring, -Ring, -Ring);
  if (Pressed) Inner.translate(1, 1);
  return Inner;
}

QImage ShrinkIconToGlyph(const QImage& Icon) {
  QImage Source = Icon.convertToFormat(QImage::Format_RGB32);
  if (Source.size() != QSize(32, 32)) Source = Source.scaled(32, 32, Qt::IgnoreAspectRatio, Qt::FastTransformation);
  TIconPixels Pixels{};
  for (int Y = 0; Y < 32; ++Y)
    for (int X = 0; X < 32; ++X) Pixels[Y * 32 + X] = Source.pixel(X, Y) & 0xFFFFFFu;
  const TGlyphPixels Glyph = ShrinkIconToGlyph(Pixels);
  QImage Out(16, 16, QImage::Format_RGB32);
  for (int Y = 0; Y < 16; ++Y)
    for (int X = 0; X < 16; ++X) Out.setPixel(X, Y, Glyph[Y * 16 + X] | 0xFF000000u);
  return Out;
}

TPGGlyphEngine::TPGGlyphEngine() = default;

void TPGGlyphEngine::SetBevelWidth(int Value) {
  FBevelWidth = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetButton(bool Value) {
  FButton = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetButtonStyle(TButtonStyle Value) {
  FButtonStyle = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetCaption(const QString& Value) {
  FCaption = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetFont(const QFont& Value) {
  FFont = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetFontColor(const QColor& Value) {
  FFontColor = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetLayout(TPGGlyphLayout Value) {
  FLayout = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetMargin(int Value) {
  FMargin = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetSpacing(int Value) {
  FSpacing = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetNumGlyphs(int Value) {
  FNumGlyphs = std::clamp(Value, 0, 4);
  RefreshDrawings();
}

void TPGGlyphEngine::SetPicture(const QImage& Value) {
  FPicture = Value.convertToFormat(QImage::Format_RGB32);
  FNumGlyphs = GlyphCountFor(FPicture.width(), FPicture.height());
  RefreshDrawings();
}

void TPGGlyphEngine::SetState(TPGGlyphState Value) { FState = Value; }

void TPGGlyphEngine::SetTransparent(bool Value) {
  FTransparent = Value;
  RefreshDrawings();
}

void TPGGlyphEngine::SetTransparentColor(const QColor& Value) {
  FTransparentColor = Value;
  RefreshDrawings();
}

TGlyphDrawingLayout TPGGlyphEngine::CalcLayout() const {
  int TextWidth = 0;
  int TextHeight = 0;
  if (!FCaption.isEmpty()) {
    const QFontMetrics Metrics(DrawingFont(FFont));
    TextWidth = Metrics.horizontalAdvance(FCaption);
    TextHeight = Metrics.height();
  }
  const int GlyphWidth = FPicture.isNull() ? 0 : FCellWidth;
  const int GlyphHeight = FPicture.isNull() ? 0 : FCellHeight;
  return CalcGlyphLayout(FLayout, GlyphWidth, GlyphHeight, TextWidth, TextHeight, FMargin, FSpacing);
}

QImage TPGGlyphEngine::RenderDrawing(TPGGlyphState State) const {
  const TGlyphDrawingLayout Layout = CalcLayout();
  QImage Drawing(std::max(Layout.Width, 1), std::max(Layout.Height, 1), QImage::Format_RGB32);
  Drawing.fill(FTransparentColor);
  if (!FCaption.isEmpty()) {
    QPainter Canvas(&Drawing);
    const QFont Font = DrawingFont(FFont);
    Canvas.setFont(Font);
    Canvas.setPen(FFontColor);
    Canvas.drawText(Layout.Text.X, Layout.Text.Y + QFontMetrics(Font).ascent(), FCaption);
  }
  const QColor EmbossFace = FButton && FTransparent ? ButtonFaceColour() : FTransparentColor;
  if (State == gsDisabled) Drawing = EmbossImage(Drawing, FTransparentColor, EmbossFace);
  if (!FPicture.isNull() && FNumGlyphs > 0) {
    const int Cell = GlyphCellFor(State, FNumGlyphs);
    const TRect R = GlyphCellRect(Cell, FCellWidth, FCellHeight);
    QImage Copy = FPicture.copy(R.Left, R.Top, R.Width(), R.Height());
    if (State == gsDisabled && Cell != static_cast<int>(State))
      Copy = EmbossImage(Copy, QColor::fromRgb(Copy.pixel(0, 0)), EmbossFace);
    QPainter Canvas(&Drawing);
    Canvas.drawImage(Layout.Glyph.X, Layout.Glyph.Y, WithColourMaskedOut(Copy, Copy.pixel(0, 0)));
  }
  return Drawing;
}

const QImage& TPGGlyphEngine::Drawing(TPGGlyphState State) {
  QImage& Slot = FDrawings[static_cast<std::size_t>(State)];
  if (Slot.isNull()) Slot = RenderDrawing(State);
  return Slot;
}

void TPGGlyphEngine::Draw(QPainter& Canvas, const QRect& Dest) {
  const QImage& Picture = Drawing(FState);
  const bool Down = FState == gsDown;
  QRect Inner = Dest;
  if (FButton) Inner = DrawButtonFace(Canvas, Dest, FBevelWidth, Down, FButtonStyle);
  int X = Inner.left() + (Inner.width() - Picture.width()) / 2;
  int Y = Inner.top() + (Inner.height() - Picture.height()) / 2;
  if (Down && !FButton) {
    ++X;
    ++Y;
  }
  Canvas.save();
  Canvas.setClipRect(Inner, Qt::IntersectClip);
  if (FTransparent)
    Canvas.drawImage(X, Y, WithColourMaskedOut(Picture, FTransparentColor.rgb()));
  else
    Canvas.drawImage(X, Y, Picture);
  Canvas.restore();
}

void TPGGlyphEngine::RefreshDrawings() {
  if (FPicture.isNull() || FNumGlyphs <= 0) {
    FCellWidth = FCellHeight = 0;
  } else {
    FCellWidth = FPicture.width() / FNumGlyphs;
    FCellHeight = FPicture.height();
  }
  for (std::size_t I = 0; I < FDrawings.size(); ++I)
    if (!FDrawings[I].isNull()) FDrawings[I] = RenderDrawing(static_cast<TPGGlyphState>(I));
  // Last, so that a listener that sizes its item sees the new cells.
  if (OnRefreshDrawings) OnRefreshDrawings(this);
}
