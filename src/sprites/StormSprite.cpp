#include "sprites/StormSprite.h"

#include <algorithm>

#include "sprites/DIBCanvas.h"
#include "sprites/SpriteSurface.h"

namespace {

// Percent chances of a particle's steps.
constexpr std::int32_t RainWaver = 30;
constexpr std::int32_t SnowFall = 30;
constexpr std::int32_t SnowDrift = 20;

bool Chance(std::int32_t Percent) { return EffectsRandom().Random(100) < Percent; }

// V wrapped into 0 .. Size - 1.
std::int32_t Wrap(std::int64_t V, std::int32_t Size) {
  const std::int64_t M = V % Size;
  return std::int32_t(M < 0 ? M + Size : M);
}

// A particle's place in view coordinates: the storm's position plus the particle's offset minus
// the surface's offsets, held far inside 32 bits so the flake's neighbours stay in range.
TPoint ViewPoint(const TStormSprite& Storm, const TStormParticle& P) {
  const TPoint At = Storm.GetPosition();
  const std::int64_t OX = Storm.GetSurface() ? Storm.GetSurface()->GetOffsetX() : 0;
  const std::int64_t OY = Storm.GetSurface() ? Storm.GetSurface()->GetOffsetY() : 0;
  return {std::int32_t(std::clamp<std::int64_t>(At.X + P.X - OX, INT32_MIN / 2, INT32_MAX / 2)),
          std::int32_t(std::clamp<std::int64_t>(At.Y + P.Y - OY, INT32_MIN / 2, INT32_MAX / 2))};
}

}  // namespace

TStormSprite::TStormSprite(TStormType Type, std::int32_t Width, std::int32_t Height, std::int32_t Count,
                           std::uint16_t Color)
    : FType(Type), FWidth(Width), FHeight(Height), FColor(Color) {
  if (Width < 1 || Height < 1 || Count < 1) return;
  FParticles.resize(std::size_t(Count));
  for (TStormParticle& P : FParticles) {
    P.X = EffectsRandom().Random(Width);
    P.Y = EffectsRandom().Random(Height);
    P.Speed = EffectsRandom().Random(4);
    P.Mask = std::uint8_t(EffectsRandom().Random(256));
  }
}

void TStormSprite::GetBoundsRect(TRect& R) const {
  const TPoint At = GetPosition();
  R = {At.X, At.Y, At.X + FWidth, At.Y + FHeight};
}

void TStormSprite::Render(TCanvas&, TDIBCanvas& DIBCanvas) {
  if (FParticles.empty()) return;
  if (FType == stRain)
    RainFrame(DIBCanvas);
  else
    SnowFrame(DIBCanvas);
}

void TStormSprite::RainFrame(TDIBCanvas& DIBCanvas) {
  DIBCanvas.SetPenColor(FColor);
  for (TStormParticle& P : FParticles) {
    P.Y += P.Speed + 4;
    if (P.Y > FHeight) P.Y -= FHeight;
    if (Chance(RainWaver)) {
      P.X = P.X + 1 >= FWidth ? 0 : P.X + 1;
    } else if (Chance(RainWaver)) {
      P.X = P.X - 1 < 0 ? FWidth - 1 : P.X - 1;
    }
    const TPoint S = ViewPoint(*this, P);
    DIBCanvas.MoveTo(S.X, S.Y);
    DIBCanvas.LineTo(S.X, S.Y + 2 * (P.Speed + 1));
  }
}

void TStormSprite::SnowFrame(TDIBCanvas& DIBCanvas) {
  for (TStormParticle& P : FParticles) {
    if (Chance(SnowFall)) {
      P.Y += EffectsRandom().Random(P.Speed) + 1;
      if (P.Y >= FHeight) P.Y -= FHeight;
    }
    if (Chance(SnowDrift)) {
      const std::int32_t Drift = EffectsRandom().Random(P.Speed + 1) + 1;
      P.X = Wrap(std::int64_t(P.X) + (EffectsRandom().Random(2) == 0 ? -Drift : Drift), FWidth);
    }
    const TPoint S = ViewPoint(*this, P);
    const std::int32_t SX = S.X, SY = S.Y;
    if (SY <= 0) continue;
    DIBCanvas.Plot(SX, SY, FColor);
    if (P.Speed >= 1 && (P.Mask & 1)) DIBCanvas.Plot(SX + 1, SY, FColor);
    if (P.Speed >= 2) {
      if (P.Mask & 2) DIBCanvas.Plot(SX, SY - 1, FColor);
      if (P.Mask & 4) DIBCanvas.Plot(SX, SY + 1, FColor);
    }
    if (P.Speed >= 3) {
      if (P.Mask & 8) DIBCanvas.Plot(SX - 1, SY, FColor);
      if (P.Mask & 16) DIBCanvas.Plot(SX + 2, SY, FColor);
    }
  }
}

std::unique_ptr<TSprite> TStormSpriteFactory::CreateSprite() {
  return std::make_unique<TStormSprite>(FStormType, FStormWidth, FStormHeight, FParticles,
                                        FStormType == stRain ? FColorIndexRain : FColorIndexSnow);
}

void SetGameStormSettings(TStormSpriteFactory& Factory) {
  Factory.SetStormType(stSnow);
  Factory.SetStormWidth(400);
  Factory.SetStormHeight(250);
  Factory.SetParticles(200);
  Factory.SetColorIndexSnow(246);
  Factory.SetColorIndexRain(124);
}
