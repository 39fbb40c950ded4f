#pragma once
// Storms on the map: rain or snow drifting inside a rectangle. The storm factory makes one
// storm sprite from its settings; the main window places it over a zone when the rules report
// a storm there. Every draw comes from the visual effects' generator (EffectsRandom), never
// the rules' one: a storm on screen cannot change the game.
#include <cstdint>
#include <memory>
#include <vector>

#include "sprites/SpriteEngine.h"
#include "sprites/StormType.h"

struct TStormParticle {
  // Offsets inside the storm rectangle.
  std::int32_t X = 0;
  std::int32_t Y = 0;
  // 0..3: how fast it falls and, for snow, how big the flake is.
  std::int32_t Speed = 0;
  // 0..255: which of a snow flake's side pixels are drawn.
  std::uint8_t Mask = 0;
};

class TStormSprite : public TSprite {
public:
  // Count particles, each at a random place inside Width x Height with a random speed and
  // mask; none for a size below 1.
  TStormSprite(TStormType Type, std::int32_t Width, std::int32_t Height, std::int32_t Count, std::uint16_t Color);

  // (0, 0, Width, Height) moved by the rounded position.
  void GetBoundsRect(TRect& R) const override;
  // One frame: every particle moves (rain falls 4 to 7 pixels and wavers, snow drifts) and
  // is drawn on the DIB canvas in the storm's colour.
  void Render(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override;

  TStormType GetStormType() const { return FType; }
  std::int32_t GetStormWidth() const { return FWidth; }
  std::int32_t GetStormHeight() const { return FHeight; }
  std::uint16_t GetColor() const { return FColor; }
  const std::vector<TStormParticle>& GetParticles() const { return FParticles; }
  std::vector<TStormParticle>& Particles() { return FParticles; }

private:
  void RainFrame(TDIBCanvas& DIBCanvas);
  void SnowFrame(TDIBCanvas& DIBCanvas);

  TStormType FType;
  std::int32_t FWidth;
  std::int32_t FHeight;
  std::uint16_t FColor;
  std::vector<TStormParticle> FParticles;
};

class TStormSpriteFactory : public TSpriteFactory {
public:
  TBitDepths GetBitDepths() const override { return BitDepthSet(bd8) | BitDepthSet(bd15) | BitDepthSet(bd16); }
  // A storm of the factory's type, size and particle count, in ColorIndexRain for rain and
  // ColorIndexSnow for snow.
  std::unique_ptr<TSprite> CreateSprite() override;

  TStormType GetStormType() const { return FStormType; }
  void SetStormType(TStormType Value) { FStormType = Value; }
  std::int32_t GetStormWidth() const { return FStormWidth; }
  void SetStormWidth(std::int32_t Value) { FStormWidth = Value; }
  std::int32_t GetStormHeight() const { return FStormHeight; }
  void SetStormHeight(std::int32_t Value) { FStormHeight = Value; }
  std::int32_t GetParticles() const { return FParticles; }
  void SetParticles(std::int32_t Value) { FParticles = Value; }
  std::uint16_t GetColorIndexSnow() const { return FColorIndexSnow; }
  void SetColorIndexSnow(std::uint16_t Value) { FColorIndexSnow = Value; }
  std::uint16_t GetColorIndexRain() const { return FColorIndexRain; }
  void SetColorIndexRain(std::uint16_t Value) { FColorIndexRain = Value; }

private:
  TStormType FStormType = stSnow;
  std::int32_t FStormWidth = 0;
  std::int32_t FStormHeight = 0;
  std::int32_t FParticles = 0;
  std::uint16_t FColorIndexSnow = 0;
  std::uint16_t FColorIndexRain = 0;
};

// The main window's storm factory: snow, 400 x 250, 200 particles, snow colour 246, rain 124.
void SetGameStormSettings(TStormSpriteFactory& Factory);
