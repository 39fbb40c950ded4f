#pragma once
// Bomb blasts on the map: bubbles of fire that scatter from a point, grow now and then and burn
// out, drawn as filled circles with a darker core. The blast factory makes one blast sprite from
// its settings; the main window places it over a zone that is bombed, bombarded or hit by an
// atomic bomb. Every draw comes from the visual effects' generator (EffectsRandom).
#include <cstdint>
#include <memory>
#include <vector>

#include "sprites/SpriteEngine.h"

struct TBlastBubble {
  // Relative to the sprite's position; they start at 0.
  float X = 0;
  float Y = 0;
  // Each (Random - 0.5) x 0.5.
  float DX = 0;
  float DY = 0;
  std::int32_t Radius = 0;
};

struct TBombBlastSettings {
  // Percent chance per frame that a bubble grows by a pixel.
  std::int32_t ExpansionRate = 1;
  std::int32_t LifeSpanMin = 30;
  std::int32_t LifeSpanMax = 40;
  std::int32_t Particles = 10;
  // Percent of a bubble's velocity it moves per frame.
  std::int32_t ScatterRate = 100;
  std::uint16_t BubbleColorLow = 0;
  std::uint16_t BubbleColorHigh = 0;
  std::uint16_t FillColorIndex = 0;
};

class TBombBlastSprite : public TSprite {
public:
  // Particles bubbles at the sprite's position, each of radius Random(4) + 1 and a random
  // velocity; none for a count below 1.
  explicit TBombBlastSprite(const TBombBlastSettings& Settings);

  // The rounded position +- 50 pixels on each axis.
  void GetBoundsRect(TRect& R) const override;
  // One frame: the bubbles move and grow and are drawn in one colour of the bubble range,
  // then every core of a radius above 0 in the fill colour.
  void Render(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override;

  const std::vector<TBlastBubble>& GetBubbles() const { return FBubbles; }
  std::vector<TBlastBubble>& Bubbles() { return FBubbles; }

private:
  std::int32_t FExpansionRate;
  float FScatter;
  std::uint16_t FColorLow;
  std::uint16_t FColorHigh;
  std::uint16_t FFillColor;
  std::vector<TBlastBubble> FBubbles;
};

class TBombBlastSpriteFactory : public TSpriteFactory {
public:
  TBitDepths GetBitDepths() const override { return BitDepthSet(bd8); }
  // A blast of the factory's settings living Random(LifeSpanMax - LifeSpanMin) + LifeSpanMin
  // frames.
  std::unique_ptr<TSprite> CreateSprite() override;

  const TBombBlastSettings& GetSettings() const { return FSettings; }
  void SetSettings(const TBombBlastSettings& Value) { FSettings = Value; }

private:
  TBombBlastSettings FSettings;
};

// The main window's five blast factories.
enum TBlastKind : std::uint8_t { bkBombs, bkBombardment, bkAtomic1, bkAtomic2, bkAtomic3, BlastKindCount };
TBombBlastSettings GameBlastSettings(TBlastKind Kind);
