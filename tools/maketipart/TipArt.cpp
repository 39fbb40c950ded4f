#include "TipArt.h"

#include <cstdlib>

namespace {

TRGBQuad Rgb(int Red, int Green, int Blue) {
  return TRGBQuad{std::uint8_t(Blue), std::uint8_t(Green), std::uint8_t(Red), 0};
}

// The bulb's colour table.
enum : std::uint8_t {
  cBackground,  // left out when drawn
  cOutline,
  cGlassWhite,
  cGlass1,
  cGlass2,
  cGlass3,
  cGlass4,
  cGlass5,
  cFilament,
  cMetalLight,
  cMetalMid,
  cMetalDark,
  cTip,
  cRay,
  cBulbColours
};

constexpr int kBulbWidth = 56;
constexpr int kBulbHeight = 60;
// The glass is a circle about (kCentreX, kCentreY); coordinates are doubled so that the centre
// lies between two pixels and the bulb is symmetric.
constexpr int kCentreX = 28;
constexpr int kCentreY = 24;
constexpr int kRadius = 16;

bool InGlass(int X, int Y) {
  const int DX = 2 * X + 1 - 2 * kCentreX;
  const int DY = 2 * Y + 1 - 2 * kCentreY;
  return DX * DX + DY * DY <= 4 * kRadius * kRadius;
}

// Half the width of the narrowing neck below the glass, in doubled pixels; 0 outside it.
int NeckHalf(int Y) {
  if (Y < 34 || Y > 41) return 0;
  return 2 * 12 - (Y - 34) * 8 / 7;
}

bool Within(int X, int Half) { return Half > 0 && std::abs(2 * X + 1 - 2 * kCentreX) <= Half; }

}  // namespace

TBitmap TipBulb() {
  TBitmap Picture(kBulbWidth, kBulbHeight, 8);
  Picture.SetColorTable({Rgb(255, 0, 255), Rgb(48, 36, 0), Rgb(255, 255, 255), Rgb(255, 252, 200),
                         Rgb(255, 244, 140), Rgb(255, 230, 80), Rgb(240, 204, 40), Rgb(214, 172, 20),
                         Rgb(255, 140, 0), Rgb(208, 208, 208), Rgb(156, 156, 156), Rgb(104, 104, 104),
                         Rgb(60, 60, 60), Rgb(255, 220, 0)});
  std::vector<std::uint8_t> Shape(std::size_t(kBulbWidth * kBulbHeight), cBackground);
  auto At = [&](int X, int Y) -> std::uint8_t& { return Shape[std::size_t(Y * kBulbWidth + X)]; };

  // Glass and neck, lit from the upper left.
  const int LightX = kCentreX - 6, LightY = kCentreY - 7;
  for (int Y = 0; Y < kBulbHeight; ++Y)
    for (int X = 0; X < kBulbWidth; ++X) {
      if (!InGlass(X, Y) && !Within(X, NeckHalf(Y))) continue;
      const int D = (X - LightX) * (X - LightX) + (Y - LightY) * (Y - LightY);
      At(X, Y) = D < 10 ? cGlassWhite : D < 45 ? cGlass1 : D < 120 ? cGlass2 : D < 240 ? cGlass3 : D < 400 ? cGlass4 : cGlass5;
    }
  // The screw base: ridges two rows high, darker on the right.
  for (int Y = 42; Y <= 51; ++Y)
    for (int X = 0; X < kBulbWidth; ++X) {
      if (!Within(X, 2 * 8)) continue;
      const bool Ridge = ((Y - 42) / 2) % 2 == 0;
      const bool Right = X >= kCentreX + 3;
      At(X, Y) = Ridge ? (Right ? cMetalMid : cMetalLight) : (Right ? cMetalDark : cMetalMid);
    }
  // The contact at the bottom.
  for (int Y = 52; Y <= 55; ++Y)
    for (int X = 0; X < kBulbWidth; ++X)
      if (Within(X, 2 * (5 - (Y - 52) / 2))) At(X, Y) = cTip;

  // Outline: every pixel of the bulb beside the background.
  std::vector<std::uint8_t> Lined = Shape;
  for (int Y = 0; Y < kBulbHeight; ++Y)
    for (int X = 0; X < kBulbWidth; ++X) {
      if (At(X, Y) == cBackground) continue;
      const bool Edge = X == 0 || Y == 0 || X == kBulbWidth - 1 || Y == kBulbHeight - 1 || At(X - 1, Y) == cBackground ||
                        At(X + 1, Y) == cBackground || At(X, Y - 1) == cBackground || At(X, Y + 1) == cBackground;
      if (Edge) Lined[std::size_t(Y * kBulbWidth + X)] = cOutline;
    }
  Shape = Lined;

  // The filament: two wires up from the neck and a zigzag between them.
  for (int Y = 25; Y <= 36; ++Y) {
    At(kCentreX - 5, Y) = cMetalDark;
    At(kCentreX + 4, Y) = cMetalDark;
  }
  for (int X = kCentreX - 5; X <= kCentreX + 4; ++X) {
    const int Step = (X - (kCentreX - 5)) % 4;
    At(X, 22 + (Step < 2 ? Step : 4 - Step)) = cFilament;
  }

  // Rays of light, two pixels thick: up, the two upper diagonals, left and right.
  for (int R = 19; R <= 23; ++R) {
    At(kCentreX - 1, kCentreY - R) = At(kCentreX, kCentreY - R) = cRay;
    At(kCentreX - 1 - R, kCentreY - 1) = At(kCentreX - 1 - R, kCentreY) = cRay;
    At(kCentreX + R, kCentreY - 1) = At(kCentreX + R, kCentreY) = cRay;
  }
  for (int T = 13; T <= 16; ++T) {
    At(kCentreX - 1 - T, kCentreY - 1 - T) = At(kCentreX - 2 - T, kCentreY - 1 - T) = cRay;
    At(kCentreX + T, kCentreY - 1 - T) = At(kCentreX + 1 + T, kCentreY - 1 - T) = cRay;
  }

  for (int Y = 0; Y < kBulbHeight; ++Y) {
    std::uint8_t* Line = Picture.ScanLine(Y);
    for (int X = 0; X < kBulbWidth; ++X) Line[X] = At(X, Y);
  }
  return Picture;
}

TBitmap ButtonEditGlyph() {
  enum : std::uint8_t { cKey, cInk, cGrey, cWhite };
  TBitmap Picture(24, 12, 8);
  Picture.SetColorTable({Rgb(255, 0, 255), Rgb(0, 0, 0), Rgb(128, 128, 128), Rgb(255, 255, 255)});
  auto Dot = [&](int X, int Y, std::uint8_t Colour) {
    for (int DY = 0; DY < 2; ++DY)
      for (int DX = 0; DX < 2; ++DX) Picture.ScanLine(Y + DY)[X + DX] = Colour;
  };
  for (int X : {2, 5, 8}) {
    Dot(X, 7, cInk);              // enabled: black dots
    Dot(12 + X + 1, 8, cWhite);   // disabled: a white shadow below right...
    Dot(12 + X, 7, cGrey);        // ...under grey dots
  }
  return Picture;
}

std::vector<TControlArt> ControlArt() {
  std::vector<TControlArt> Art;
  Art.push_back({"TIPBMP.bmp", TipBulb()});
  Art.push_back({"ButtonEditGlyph.bmp", ButtonEditGlyph()});
  return Art;
}
