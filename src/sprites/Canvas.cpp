#include "sprites/Canvas.h"

#include <algorithm>
#include <cstring>

#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"
#include "sprites/FontLibrary.h"
#include "sprites/LineWalk.h"

namespace {

const TColorPalette& DefaultPalette() {
  static const TColorPalette Palette;
  return Palette;
}

std::uint16_t PackColor(TColor C, TBitDepth Depth) {
  const std::uint16_t R = GetRValue(C), G = GetGValue(C), B = GetBValue(C);
  if (Depth == bd16) return std::uint16_t(((R >> 3) << 11) | ((G >> 2) << 5) | (B >> 3));
  return std::uint16_t(((R >> 3) << 10) | ((G >> 3) << 5) | (B >> 3));
}

// The on/off pattern of a pen style: pixels on, then pixels off.
struct TPattern {
  std::int64_t On;
  std::int64_t Period;
};
TPattern PatternOf(TPenStyle Style) {
  switch (Style) {
    case psDot:
      return {3, 6};
    case psDash:
      return {18, 24};
    default:
      return {1, 1};
  }
}

}  // namespace

TCanvas::TCanvas(TDIBCanvas* Target, const TColorPalette* Palette, TFontLibrary& Fonts)
    : FTarget(Target), FPalette(Palette), FFonts(Fonts) {}

TCanvas::~TCanvas() = default;

void TCanvas::SetPalette(const TColorPalette* Value) {
  FPalette = Value;
  FMapped.fill({});
}

std::uint16_t TCanvas::DeviceColor(TColor Color) {
  const TColorPalette& Palette = FPalette ? *FPalette : DefaultPalette();
  const TBitDepth Depth = FTarget ? FTarget->GetBitDepth() : bd8;
  if (Depth != bd8) return PackColor(IsPaletteIndexColor(Color) ? Palette.ColorValueOf(int(Color & 0xFF)) : Color, Depth);
  if (IsPaletteIndexColor(Color)) return std::uint16_t(Color & 0xFF);
  if (Palette.GetChangeCount() != FMappedPalette) {
    FMapped.fill({});
    FMappedPalette = Palette.GetChangeCount();
  }
  TMapped& M = FMapped[(Color ^ (Color >> 7) ^ (Color >> 14)) & (FMapped.size() - 1)];
  if (!M.Valid || M.Color != Color) M = {Color, Palette.NearestIndex(Color), true};
  return M.Value;
}

void TCanvas::FillBox(std::int64_t Left, std::int64_t Top, std::int64_t Right, std::int64_t Bottom, std::uint16_t Color) {
  if (!FTarget || !FTarget->GetBits()) return;
  Left = std::max<std::int64_t>(Left, 0);
  Top = std::max<std::int64_t>(Top, 0);
  Right = std::min<std::int64_t>(Right, FTarget->GetWidth());
  Bottom = std::min<std::int64_t>(Bottom, FTarget->GetHeight());
  if (Left >= Right || Top >= Bottom) return;
  const std::size_t Count = std::size_t(Right - Left);
  for (std::int64_t Y = Top; Y < Bottom; ++Y) {
    std::uint8_t* Row = FTarget->ScanLine(std::int32_t(Y));
    if (FTarget->GetBitDepth() == bd8) {
      std::memset(Row + Left, std::uint8_t(Color), Count);
    } else {
      for (std::size_t I = 0; I < Count; ++I) std::memcpy(Row + 2 * (std::size_t(Left) + I), &Color, 2);
    }
  }
}

void TCanvas::PenPoint(std::int32_t X, std::int32_t Y, std::uint16_t Color) {
  const std::int64_t W = std::max(FPen.GetWidth(), 1);
  const std::int64_t Left = std::int64_t(X) - W / 2, Top = std::int64_t(Y) - W / 2;
  FillBox(Left, Top, Left + W, Top + W, Color);
}

void TCanvas::MoveTo(std::int32_t X, std::int32_t Y) {
  FPenPos = {X, Y};
  FPatternPos = 0;
}

void TCanvas::LineTo(std::int32_t X, std::int32_t Y) {
  const TPoint From = FPenPos;
  FPenPos = {X, Y};
  const std::int64_t Points = std::max(std::llabs(std::int64_t(X) - From.X), std::llabs(std::int64_t(Y) - From.Y));
  const std::int64_t PatternStart = FPatternPos;
  FPatternPos += Points;
  if (!FTarget || !FTarget->GetBits() || FPen.GetStyle() == psClear) return;
  const std::uint16_t Color = DeviceColor(FPen.GetColor());
  const std::int32_t W = std::max(FPen.GetWidth(), 1);
  // A wide pen's squares reach into the canvas from points just outside it.
  const TRect Clip{-W, -W, FTarget->GetWidth() - 1 + W, FTarget->GetHeight() - 1 + W};
  const TPattern P = PatternOf(FPen.GetStyle());
  WalkClippedLine(From.X, From.Y, X, Y, Clip, false, [&](std::int32_t PX, std::int32_t PY, std::int64_t Step) {
    if ((PatternStart + Step) % P.Period < P.On) PenPoint(PX, PY, Color);
  });
}

void TCanvas::Rectangle(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2) {
  if (X2 < X1) std::swap(X1, X2);
  if (Y2 < Y1) std::swap(Y1, Y2);
  if (X1 == X2 || Y1 == Y2) return;
  if (FBrush.GetStyle() != bsClear) FillBox(X1, Y1, X2, Y2, DeviceColor(FBrush.GetColor()));
  if (FPen.GetStyle() == psClear) return;
  const TPoint Kept = FPenPos;
  const std::int64_t KeptPattern = FPatternPos;
  MoveTo(X1, Y1);
  LineTo(X2 - 1, Y1);
  LineTo(X2 - 1, Y2 - 1);
  LineTo(X1, Y2 - 1);
  LineTo(X1, Y1);
  FPenPos = Kept;
  FPatternPos = KeptPattern;
}

void TCanvas::FillRect(const TRect& R) {
  if (FBrush.GetStyle() == bsClear) return;
  FillBox(R.Left, R.Top, R.Right, R.Bottom, DeviceColor(FBrush.GetColor()));
}

void TCanvas::FrameRect(const TRect& R) {
  if (FBrush.GetStyle() == bsClear || R.Right <= R.Left || R.Bottom <= R.Top) return;
  const std::uint16_t Color = DeviceColor(FBrush.GetColor());
  FillBox(R.Left, R.Top, R.Right, R.Top + 1, Color);
  FillBox(R.Left, R.Bottom - 1, R.Right, R.Bottom, Color);
  FillBox(R.Left, R.Top, R.Left + 1, R.Bottom, Color);
  FillBox(R.Right - 1, R.Top, R.Right, R.Bottom, Color);
}

TFontFace& TCanvas::CurrentFace() {
  if (FFace && FFaceChanges == FFont.GetChanges()) return *FFace;
  const bool Bold = (FFont.GetStyle() & fsBold) != 0;
  // Underline alone, or a name set again, keeps the face.
  if (!FFace || Bold != FFaceBold || FFont.GetSize() != FFaceSize || FFont.GetName() != FFaceName) {
    FFace = &FFonts.GetFace(FFont.GetName(), Bold, TFontLibrary::PointsToPixels(FFont.GetSize()));
    FFaceName = FFont.GetName();
    FFaceBold = Bold;
    FFaceSize = FFont.GetSize();
  }
  FFaceChanges = FFont.GetChanges();
  return *FFace;
}

void TCanvas::TextOut(std::int32_t X, std::int32_t Y, std::string_view Text) {
  if (!FTarget || !FTarget->GetBits()) return;
  TFontFace& Face = CurrentFace();
  const std::int32_t Width = Face.TextWidth(Text);
  if (FBrush.GetStyle() != bsClear)
    FillBox(X, Y, std::int64_t(X) + Width, std::int64_t(Y) + Face.GetHeight(), DeviceColor(FBrush.GetColor()));
  const std::uint16_t Color = DeviceColor(FFont.GetColor());
  std::int64_t PenX = X;
  for (char C : Text) {
    const TGlyph& G = Face.Glyph(std::uint8_t(C));
    const std::int64_t GX = PenX + G.OffsetX, GY = std::int64_t(Y) + G.OffsetY;
    for (const TGlyphSpan& S : G.Spans) FillBox(GX + S.Left, GY + S.Row, GX + S.Left + S.Length, GY + S.Row + 1, Color);
    PenX += G.Advance;
  }
  if (FFont.GetStyle() & fsUnderline) {
    const std::int64_t Top = std::int64_t(Y) + Face.GetUnderlineTop();
    FillBox(X, Top, std::int64_t(X) + Width, Top + Face.GetUnderlineThickness(), Color);
  }
}

std::int32_t TCanvas::TextWidth(std::string_view Text) { return CurrentFace().TextWidth(Text); }

std::int32_t TCanvas::TextHeight(std::string_view) { return CurrentFace().GetHeight(); }

TTextSize TCanvas::TextExtent(std::string_view Text) { return {TextWidth(Text), TextHeight(Text)}; }

void TCanvas::StretchDraw(const TRect& Dest, const TDIBCanvas& Source) {
  if (!FTarget) return;
  if ((FTarget->GetBitDepth() == bd8) != (Source.GetBitDepth() == bd8))
    throw EDIBCanvas("A canvas cannot be copied onto a canvas of another bit depth");
  if (!FTarget->GetBits() || !Source.GetBits() || Source.GetWidth() == 0 || Source.GetHeight() == 0) return;
  const std::int64_t DW = std::int64_t(Dest.Right) - Dest.Left, DH = std::int64_t(Dest.Bottom) - Dest.Top;
  if (DW <= 0 || DH <= 0) return;
  const std::int64_t Left = std::max<std::int64_t>(Dest.Left, 0), Right = std::min<std::int64_t>(Dest.Right, FTarget->GetWidth());
  const std::int64_t Top = std::max<std::int64_t>(Dest.Top, 0), Bottom = std::min<std::int64_t>(Dest.Bottom, FTarget->GetHeight());
  const std::size_t Bpp = std::size_t(FTarget->GetBytesPerPixel());
  for (std::int64_t Y = Top; Y < Bottom; ++Y) {
    const std::int64_t SY = (Y - Dest.Top) * Source.GetHeight() / DH;
    const std::uint8_t* From = Source.ScanLine(std::int32_t(SY));
    std::uint8_t* To = FTarget->ScanLine(std::int32_t(Y));
    for (std::int64_t X = Left; X < Right; ++X) {
      const std::int64_t SX = (X - Dest.Left) * Source.GetWidth() / DW;
      std::memcpy(To + std::size_t(X) * Bpp, From + std::size_t(SX) * Bpp, Bpp);
    }
  }
}

void TCanvas::Draw(std::int32_t X, std::int32_t Y, const TBitmap& Picture, bool Transparent) {
  if (!FTarget || !FTarget->GetBits() || Picture.GetWidth() == 0 || Picture.GetHeight() == 0) return;
  const std::int64_t Left = std::max<std::int64_t>(X, 0), Right = std::min<std::int64_t>(std::int64_t(X) + Picture.GetWidth(), FTarget->GetWidth());
  const std::int64_t Top = std::max<std::int64_t>(Y, 0), Bottom = std::min<std::int64_t>(std::int64_t(Y) + Picture.GetHeight(), FTarget->GetHeight());
  const std::uint32_t Key = Picture.GetPixelColor(0, Picture.GetHeight() - 1);
  const bool Eight = Picture.GetBitsPerPixel() == 8;
  const std::uint8_t KeyIndex = Eight ? Picture.ScanLine(Picture.GetHeight() - 1)[0] : 0;
  // An 8-bit picture's indexes are mapped once each, at first use.
  std::array<std::uint16_t, 256> Mapped{};
  std::array<bool, 256> Known{};
  for (std::int64_t DY = Top; DY < Bottom; ++DY) {
    const std::int32_t SY = std::int32_t(DY - Y);
    const std::uint8_t* From = Picture.ScanLine(SY);
    for (std::int64_t DX = Left; DX < Right; ++DX) {
      const std::int32_t SX = std::int32_t(DX - X);
      std::uint16_t Value;
      if (Eight) {
        const std::uint8_t Index = From[SX];
        if (Transparent && Index == KeyIndex) continue;
        if (!Known[Index]) {
          Mapped[Index] = DeviceColor(Picture.GetPixelColor(SX, SY));
          Known[Index] = true;
        }
        Value = Mapped[Index];
      } else {
        const std::uint32_t Color = Picture.GetPixelColor(SX, SY);
        if (Transparent && Color == Key) continue;
        Value = DeviceColor(Color);
      }
      FillBox(DX, DY, DX + 1, DY + 1, Value);
    }
  }
}
