#include "sprites/ZoneSprite.h"

#include <algorithm>
#include <limits>
#include <string>

#include "foundation/Geometry.h"
#include "sprites/Canvas.h"
#include "sprites/DIBCanvas.h"
#include "sprites/SpriteSurface.h"

TZoneSprite::TZoneSprite(TZone& Zone) : FZone(&Zone) {}

void TZoneSprite::GetBoundsRect(TRect& R) const { R = FZone->GetBounds(); }

void TZoneSprite::Render(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  DrawOutline(Canvas, DIBCanvas);
  DrawLabel(Canvas, DIBCanvas);
}

std::int32_t TZoneSprite::SurfaceOffsetX() const { return GetSurface() ? GetSurface()->GetOffsetX() : 0; }

std::int32_t TZoneSprite::SurfaceOffsetY() const { return GetSurface() ? GetSurface()->GetOffsetY() : 0; }

TPoint TZoneSprite::OutlinePoint(int I) const {
  const TPoint Corner = FZone->Point(I);
  const TPoint At = GetPosition();
  const std::int64_t X = std::int64_t(Corner.X) + (Corner.X < FZone->GetCenterX() ? OutlineInset : -OutlineInset);
  const std::int64_t Y = std::int64_t(Corner.Y) + (Corner.Y < FZone->GetCenterY() ? OutlineInset : -OutlineInset);
  return {Clamp32(X - SurfaceOffsetX() + At.X), Clamp32(Y - SurfaceOffsetY() + At.Y)};
}

void TZoneSprite::DrawOutline(TCanvas& Canvas, TDIBCanvas& DIBCanvas) {
  const int Count = FZone->PointCount();
  const TPoint First = OutlinePoint(0);
  if (FSelected) {
    TPen& Pen = Canvas.Pen();
    Pen.SetStyle(psSolid);
    Pen.SetColor(SelectedColor);
    Pen.SetWidth(SelectedPenWidth);
    Canvas.MoveTo(First.X, First.Y);
    for (int I = 1; I < Count; ++I) {
      const TPoint P = OutlinePoint(I);
      Canvas.LineTo(P.X, P.Y);
    }
    Canvas.LineTo(First.X, First.Y);
    Pen.SetWidth(1);
    return;
  }
  DIBCanvas.SetPenColor(FZone->GetColorIndex());
  DIBCanvas.MoveTo(First.X, First.Y);
  for (int I = 1; I < Count; ++I) {
    const TPoint P = OutlinePoint(I);
    DIBCanvas.LineTo(P.X, P.Y);
  }
  DIBCanvas.LineTo(First.X, First.Y);
}

void TZoneSprite::DrawLabel(TCanvas& Canvas, TDIBCanvas&) {
  if (FZone->GetSea() != 0) return;
  const TPoint Corner = FZone->Point(0);
  Canvas.Brush().SetStyle(bsSolid);
  Canvas.Brush().SetColor(clBlack);
  TFont& Font = Canvas.Font();
  Font.SetColor(clWhite);
  Font.SetStyle(0);
  Font.SetName(LabelFontName);
  Font.SetSize(LabelFontSize);
  Canvas.TextOut(Clamp32(std::int64_t(Corner.X) - SurfaceOffsetX()), Clamp32(std::int64_t(Corner.Y) - SurfaceOffsetY()),
                 " " + FZone->GetName() + " ");
  Font.SetColor(clBlack);
  Font.SetStyle(fsBold);
  Canvas.Brush().SetColor(PaletteIndexColor(std::uint8_t(FZone->GetColorIndex())));
}
