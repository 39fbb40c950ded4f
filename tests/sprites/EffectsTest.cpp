#include <gtest/gtest.h>

#include <cstdlib>

#include "sprites/BombBlastSprite.h"
#include "sprites/Canvas.h"
#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"
#include "sprites/FontLibrary.h"
#include "sprites/StormSprite.h"

namespace {

class EffectsTest : public ::testing::Test {
protected:
  void SetUp() override {
    EffectsRandom().SetSeed(1944);
    Frame.SetWidth(200);
    Frame.SetHeight(200);
    Frame.AllocateBits();
  }
  int Count(std::uint16_t Color) const {
    int N = 0;
    for (int Y = 0; Y < Frame.GetHeight(); ++Y)
      for (int X = 0; X < Frame.GetWidth(); ++X) N += Frame.GetPixel(X, Y) == Color;
    return N;
  }
  TDIBCanvas Frame;
  TColorPalette Palette;
  TCanvas Painter{&Frame, &Palette, TFontLibrary::Default()};
};

}  // namespace

TEST_F(EffectsTest, TheFactoriesMakeEffectsOfTheirSettings) {
  TStormSpriteFactory Storms;
  SetGameStormSettings(Storms);
  auto Snow = Storms.CreateSprite();
  auto& S = dynamic_cast<TStormSprite&>(*Snow);
  EXPECT_EQ(S.GetStormType(), stSnow);
  EXPECT_EQ(S.GetColor(), 246);
  ASSERT_EQ(S.GetParticles().size(), 200u);
  for (const TStormParticle& P : S.GetParticles()) {
    EXPECT_TRUE(P.X >= 0 && P.X < 400 && P.Y >= 0 && P.Y < 250 && P.Speed >= 0 && P.Speed <= 3);
  }
  Storms.SetStormType(stRain);
  EXPECT_EQ(dynamic_cast<TStormSprite&>(*Storms.CreateSprite()).GetColor(), 124);
  S.SetPosition({10, 20});
  TRect R;
  S.GetBoundsRect(R);
  EXPECT_EQ(R, (TRect{10, 20, 410, 270}));

  // The five blast factories of the game.
  struct TRow {
    TBlastKind Kind;
    std::uint16_t Low, High;
    int Expansion;
    std::uint16_t Fill;
    int Life, Particles, Scatter;
  };
  const TRow Rows[] = {{bkBombs, 19, 22, 20, 0, 50, 4, 80},
                       {bkBombardment, 66, 69, 20, 0, 50, 4, 80},
                       {bkAtomic1, 67, 69, 20, 0, 100, 6, 40},
                       {bkAtomic2, 16, 23, 15, 127, 100, 6, 40},
                       {bkAtomic3, 10, 12, 10, 251, 100, 6, 40}};
  for (const TRow& Row : Rows) {
    const TBombBlastSettings B = GameBlastSettings(Row.Kind);
    EXPECT_EQ(B.BubbleColorLow, Row.Low);
    EXPECT_EQ(B.BubbleColorHigh, Row.High);
    EXPECT_EQ(B.ExpansionRate, Row.Expansion);
    EXPECT_EQ(B.FillColorIndex, Row.Fill);
    EXPECT_EQ(B.LifeSpanMin, Row.Life);
    EXPECT_EQ(B.LifeSpanMax, Row.Life);
    EXPECT_EQ(B.Particles, Row.Particles);
    EXPECT_EQ(B.ScatterRate, Row.Scatter);
  }
}

TEST_F(EffectsTest, SnowOfSpeedZeroFallsAPixelNowAndThenAndDriftsAPixelAtMost) {
  TStormSprite Snow(stSnow, 50, 1000, 1, 246);
  TStormParticle& P = Snow.Particles()[0];
  P = {25, 10, 0, 0xFF};
  int Falls = 0;
  const int Frames = 2000;
  for (int I = 0; I < Frames; ++I) {
    const TStormParticle Before = P;
    Frame.Fill(0);
    Snow.Render(Painter, Frame);
    const int Fell = P.Y - Before.Y;
    ASSERT_TRUE(Fell == 0 || Fell == 1) << Fell;
    Falls += Fell;
    const int Drift = std::abs(P.X - Before.X);
    ASSERT_TRUE(Drift <= 1 || Drift == 49) << Drift;  // 49: wrapped across the width
    // A flake of speed 0 is one pixel.
    if (P.Y > 0 && P.Y < 199 && P.X < 199) {
      EXPECT_EQ(Count(246), 1);
    }
    if (P.Y >= 900) P.Y = 10;
  }
  EXPECT_NEAR(double(Falls) / Frames, 0.30, 0.05);
}

TEST_F(EffectsTest, RainFallsFourPixelsAndMoreAndDrawsItsStreak) {
  TStormSprite Rain(stRain, 100, 150, 1, 124);
  TStormParticle& P = Rain.Particles()[0];
  P = {50, 20, 2, 0};
  Rain.Render(Painter, Frame);
  EXPECT_EQ(P.Y, 26);
  EXPECT_LE(std::abs(P.X - 50), 1);
  // A streak of 2 x (speed + 1) + 1 pixels down from the drop.
  EXPECT_EQ(Count(124), 7);
  EXPECT_EQ(Frame.GetPixel(P.X, 26), 124);
  EXPECT_EQ(Frame.GetPixel(P.X, 32), 124);
  // Past the storm's height it starts again at the top.
  P.Y = 148;
  Rain.Render(Painter, Frame);
  EXPECT_EQ(P.Y, 4);
}

TEST_F(EffectsTest, ABlastOfFiftyFramesLivesExactlyFiftyFrames) {
  TBombBlastSpriteFactory Bombs;
  Bombs.SetSettings(GameBlastSettings(bkBombs));
  TSpriteEngine Effects;
  Effects.AddSprite(Bombs.CreateSprite());
  for (int Frame = 1; Frame < 50; ++Frame) {
    Effects.MoveSprites();
    ASSERT_EQ(Effects.SpriteCount(), 1) << "frame " << Frame;
  }
  Effects.MoveSprites();
  EXPECT_EQ(Effects.SpriteCount(), 0);
}

TEST_F(EffectsTest, ABubbleOfRadiusOneShowsNoCore) {
  TBombBlastSettings S = GameBlastSettings(bkAtomic3);
  S.ExpansionRate = 0;
  S.ScatterRate = 0;
  TBombBlastSprite Blast(S);
  Blast.SetPosition({100, 100});
  for (TBlastBubble& B : Blast.Bubbles()) B.Radius = 1;
  for (int I = 0; I < 50; ++I) {
    Frame.Fill(0);
    Blast.Render(Painter, Frame);
    ASSERT_EQ(Count(251), 0);
    ASSERT_GT(Count(10) + Count(11), 0);
  }
  // A large bubble burns out in the middle.
  for (TBlastBubble& B : Blast.Bubbles()) B.Radius = 8;
  Frame.Fill(0);
  Blast.Render(Painter, Frame);
  EXPECT_GT(Count(251), 0);
  EXPECT_EQ(Frame.GetPixel(100, 100), 251);
}

TEST_F(EffectsTest, EffectsDrawOnlyFromTheirOwnGenerator) {
  // The same seed of the effects' generator gives the same storm, whatever else was drawn.
  EffectsRandom().SetSeed(7);
  const auto First = TStormSprite(stSnow, 400, 250, 20, 246).GetParticles();
  EffectsRandom().SetSeed(7);
  TRandomGenerator Rules(7);
  for (int I = 0; I < 10; ++I) Rules.Random(100);
  const auto Again = TStormSprite(stSnow, 400, 250, 20, 246).GetParticles();
  for (std::size_t I = 0; I < First.size(); ++I) EXPECT_EQ(First[I].X, Again[I].X);
}
