#include <gtest/gtest.h>

#include "StandardScene.h"
#include "sprites/ImageFiles.h"

// The Standard map with the game layer at 1920 x 1080 for a person to look at; the frame holds
// the icons, the labels and the effects that the scene placed.
TEST(StandardMapPicture, TheGameLayerDrawsOverTheStandardMap) {
  TStandardScene Scene(1920, 1080);
  ASSERT_GE(Scene.Engine.GetUnitCount(), 500);
  for (int I = 0; I < 12; ++I) Scene.RenderFrame();
  const TDIBCanvas& Frame = Scene.Surface.GetDIBCanvas();
  // Some pixels of the effects' colours (the snow's 246, the bombs' fire) and of the icon tiles.
  int Snow = 0, Fire = 0, Tiles = 0;
  for (int Y = 0; Y < Frame.GetHeight(); ++Y)
    for (int X = 0; X < Frame.GetWidth(); ++X) {
      const std::uint16_t V = Frame.GetPixel(X, Y);
      Snow += V == 246;
      Fire += V >= 10 && V <= 23;
      Tiles += V == TBrenmoorZoneSprite::IconCanvas(isTallies)->GetTransparentColor();
    }
  EXPECT_GT(Snow, 100);
  EXPECT_GT(Fire, 100);
  EXPECT_GT(Tiles, 20 * 16 * 20);
  SaveCanvasToPng(Frame, &Scene.Palette, std::string(BRENMOOR_BINARY_DIR) + "/gamemap_standard.png");
}
