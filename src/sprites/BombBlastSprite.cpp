#include "sprites/BombBlastSprite.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "foundation/Rounding.h"
#include "sprites/DIBCanvas.h"
#include "sprites/SpriteSurface.h"

namespace {

constexpr std::int32_t BoundsReach = 50;

std::int32_t RoundCoordinate(double V) {
  if (!std::isfinite(V)) return 0;
  return RoundHalfEven32(std::clamp(V, -1.0e9, 1.0e9));
}

}  // namespace

TBombBlastSprite::TBombBlastSprite(const TBombBlastSettings& S)
    : FExpansionRate(S.ExpansionRate),
      FScatter(float(S.ScatterRate) / 100.0f),
      FColorLow(S.BubbleColorLow),
      FColorHigh(S.BubbleColorHigh),
      FFillColor(S.FillColorIndex) {
  if (S.Particles < 1) return;
  FBubbles.resize(std::size_t(S.Particles));
  for (TBlastBubble& B : FBubbles) {
    B.DX = float((EffectsRandom().Random() - 0.5) * 0.5);
    B.DY = float((EffectsRandom().Random() - 0.5) * 0.5);
    B.Radius = EffectsRandom().Random(4) + 1;
  }
}

void TBombBlastSprite::GetBoundsRect(TRect& R) const {
  const TPoint At = GetPosition();
  R = {At.X - BoundsReach, At.Y - BoundsReach, At.X + BoundsReach, At.Y + BoundsReach};
}

void TBombBlastSprite::Render(TCanvas&, TDIBCanvas& DIBCanvas) {
  const double OX = GetSurface() ? GetSurface()->GetOffsetX() : 0;
  const double OY = GetSurface() ? GetSurface()->GetOffsetY() : 0;
  const double PX = GetX(), PY = GetY();
  const auto Colour = std::uint16_t(FColorLow + EffectsRandom().Random(std::int32_t(FColorHigh) - FColorLow));
  DIBCanvas.SetBrushColor(Colour);
  for (TBlastBubble& B : FBubbles) {
    B.X += B.DX * FScatter;
    B.Y += B.DY * FScatter;
    if (EffectsRandom().Random(100) < FExpansionRate) ++B.Radius;
    DIBCanvas.FillCircle(RoundCoordinate(PX + B.X - OX), RoundCoordinate(PY + B.Y - OY), B.Radius);
  }
  DIBCanvas.SetBrushColor(FFillColor);
  for (const TBlastBubble& B : FBubbles) {
    const std::int32_t Core = B.Radius - EffectsRandom().Random(3) - 1;
    if (Core > 0) DIBCanvas.FillCircle(RoundCoordinate(PX + B.X - OX), RoundCoordinate(PY + B.Y - OY), Core);
  }
}

std::unique_ptr<TSprite> TBombBlastSpriteFactory::CreateSprite() {
  auto Blast = std::make_unique<TBombBlastSprite>(FSettings);
  Blast->SetLifeSpan(EffectsRandom().Random(FSettings.LifeSpanMax - FSettings.LifeSpanMin) + FSettings.LifeSpanMin);
  return Blast;
}

TBombBlastSettings GameBlastSettings(TBlastKind Kind) {
  // Bubble colours low and high, expansion rate, fill colour, life span, particles, scatter.
  struct TRow {
    std::uint16_t Low, High;
    std::int32_t Expansion;
    std::uint16_t Fill;
    std::int32_t Life, Particles, Scatter;
  };
  static constexpr std::array<TRow, BlastKindCount> Rows{{{19, 22, 20, 0, 50, 4, 80},
                                                         {66, 69, 20, 0, 50, 4, 80},
                                                         {67, 69, 20, 0, 100, 6, 40},
                                                         {16, 23, 15, 127, 100, 6, 40},
                                                         {10, 12, 10, 251, 100, 6, 40}}};
  const TRow& R = Rows[Kind < BlastKindCount ? Kind : bkBombs];
  TBombBlastSettings S;
  S.BubbleColorLow = R.Low;
  S.BubbleColorHigh = R.High;
  S.ExpansionRate = R.Expansion;
  S.FillColorIndex = R.Fill;
  S.LifeSpanMin = S.LifeSpanMax = R.Life;
  S.Particles = R.Particles;
  S.ScatterRate = R.Scatter;
  return S;
}
