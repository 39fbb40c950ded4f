// The title picture: a landing craft running onto a beach at dawn, warships on the horizon and
// aircraft overhead, with the game's name in its own face. Painted in 24-bit colour with
// integer arithmetic, written as JPEG through libjpeg with the exact integer DCT, so the bytes
// are the same on every machine.
#include <cstdio>
#include <jpeglib.h>

#include <algorithm>
#include <array>
#include <stdexcept>

#include "GameArtDraw.h"
#include "sprites/Canvas.h"
#include "sprites/DIBCanvas.h"
#include "sprites/FontLibrary.h"

namespace {

constexpr int W = 640;
constexpr int H = 450;
constexpr int Horizon = 196;

struct TRgb {
  int R, G, B;
};

TRgb Mix(TRgb A, TRgb B, int T, int Of) {
  return {A.R + (B.R - A.R) * T / Of, A.G + (B.G - A.G) * T / Of, A.B + (B.B - A.B) * T / Of};
}

class TPainting {
public:
  TPainting() : FPixels(std::size_t(W * H)) {}
  void Set(int X, int Y, TRgb C) {
    if (X < 0 || Y < 0 || X >= W || Y >= H) return;
    FPixels[std::size_t(Y * W + X)] = C;
  }
  TRgb Get(int X, int Y) const { return FPixels[std::size_t(std::clamp(Y, 0, H - 1) * W + std::clamp(X, 0, W - 1))]; }
  // Blends C over the pixel by Alpha / 256.
  void Blend(int X, int Y, TRgb C, int Alpha) {
    if (X < 0 || Y < 0 || X >= W || Y >= H) return;
    Set(X, Y, Mix(Get(X, Y), C, Alpha, 256));
  }
  void Rect(int X1, int Y1, int X2, int Y2, TRgb C) {
    for (int Y = Y1; Y <= Y2; ++Y)
      for (int X = X1; X <= X2; ++X) Set(X, Y, C);
  }
  void Polygon(const std::vector<std::pair<int, int>>& P, TRgb C) {
    TPixels Mask(W, H, 0);
    Mask.Polygon(P, 1);
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X)
        if (Mask.Get(X, Y)) Set(X, Y, C);
  }
  // A soft disc: full inside R, fading over the outer quarter.
  void Puff(int CX, int CY, int R, TRgb C, int Alpha) {
    for (int Y = CY - R; Y <= CY + R; ++Y)
      for (int X = CX - R; X <= CX + R; ++X) {
        const int D = (X - CX) * (X - CX) + (Y - CY) * (Y - CY);
        if (D > R * R) continue;
        const int Edge = R * R - D;
        Blend(X, Y, C, std::min(Alpha, Alpha * Edge * 4 / std::max(1, R * R)));
      }
  }
  const std::vector<TRgb>& Pixels() const { return FPixels; }

private:
  std::vector<TRgb> FPixels;
};

// A small generator of our own for the scattered strokes (never the game's).
struct TStrokes {
  std::uint32_t State = 20260612u;
  int Next(int N) {
    State = State * 1664525u + 1013904223u;
    return int((State >> 8) % std::uint32_t(N));
  }
};

// A triangle wave of period P and height A, for the swell.
int Swell(int X, int P, int A) {
  const int T = ((X % P) + P) % P;
  return (T < P / 2 ? T : P - T) * 2 * A / P;
}

void Sky(TPainting& P) {
  const TRgb Top{38, 52, 92}, Mid{150, 120, 128}, Low{246, 178, 110};
  for (int Y = 0; Y < Horizon; ++Y) {
    const TRgb C = Y < 120 ? Mix(Top, Mid, Y, 120) : Mix(Mid, Low, Y - 120, Horizon - 120);
    for (int X = 0; X < W; ++X) P.Set(X, Y, C);
  }
  // The low sun behind the haze.
  P.Puff(470, Horizon - 18, 34, {255, 226, 150}, 220);
  P.Puff(470, Horizon - 18, 18, {255, 246, 210}, 255);
  // Long clouds lit from below.
  TStrokes S;
  for (int I = 0; I < 38; ++I) {
    const int CX = S.Next(W), CY = 30 + S.Next(110), R = 8 + S.Next(16);
    for (int K = -2; K <= 2; ++K) P.Puff(CX + K * R, CY + (K * K) % 3, R, {120 + CY / 2, 100 + CY / 3, 118}, 120);
  }
}

void Sea(TPainting& P) {
  const TRgb Far{92, 104, 128}, Near{22, 48, 74};
  for (int Y = Horizon; Y < H; ++Y) {
    const TRgb Base = Mix(Far, Near, Y - Horizon, H - Horizon);
    for (int X = 0; X < W; ++X) P.Set(X, Y, Base);
  }
  // Glints under the sun and the swell's crests, longer nearer the viewer.
  TStrokes S;
  for (int I = 0; I < 900; ++I) {
    const int Y = Horizon + 2 + S.Next(H - Horizon - 2);
    const int Depth = Y - Horizon;
    const int X = S.Next(W), Len = 3 + Depth / 6 + S.Next(4 + Depth / 5);
    const int NearSun = std::max(0, 120 - std::abs(X - 470)) * std::max(0, 90 - Depth);
    const TRgb Crest = NearSun > 2000 ? TRgb{255, 214, 150} : TRgb{130, 150, 172};
    for (int K = 0; K < Len; ++K) P.Blend(X + K, Y + Swell(X + K, 40, 2), Crest, 150);
  }
}

void Beach(TPainting& P) {
  // The shore rises from the right: sand, a line of surf, dunes and a bluff.
  std::vector<std::pair<int, int>> Sand{{W, 250}, {520, 262}, {420, 300}, {360, 340}, {330, 380}, {320, H}, {W, H}};
  P.Polygon(Sand, {196, 170, 120});
  std::vector<std::pair<int, int>> Bluff{{W, 206}, {600, 200}, {560, 214}, {520, 230}, {500, 246}, {540, 250}, {W, 244}};
  P.Polygon(Bluff, {86, 96, 62});
  for (int Y = 250; Y < H; ++Y) {
    // The surf: a pale band along the water's edge of the sand.
    const int Edge = 320 + (H - Y) * 200 / (H - 250);
    for (int X = Edge - 6 - (Y % 7); X < Edge + 2; ++X) P.Blend(X, Y, {232, 238, 240}, 170);
  }
  // Obstacles on the beach: steel crosses.
  for (int I = 0; I < 7; ++I) {
    const int X = 430 + I * 30, Y = 300 + (I % 3) * 14;
    for (int K = 0; K < 9; ++K) {
      P.Set(X + K, Y + K, {40, 34, 30});
      P.Set(X + 8 - K, Y + K, {40, 34, 30});
      P.Set(X + K + 1, Y + K, {40, 34, 30});
    }
  }
}

void Warship(TPainting& P, int X, int Y, int Len, TRgb C) {
  P.Polygon({{X, Y}, {X + Len, Y}, {X + Len - Len / 12, Y + 4}, {X + Len / 14, Y + 4}}, C);
  P.Rect(X + Len * 3 / 10, Y - 5, X + Len * 6 / 10, Y - 1, C);
  P.Rect(X + Len * 4 / 10, Y - 11, X + Len * 5 / 10, Y - 6, C);
  P.Rect(X + Len * 45 / 100, Y - 16, X + Len * 45 / 100 + 1, Y - 12, C);
  P.Rect(X + Len / 8, Y - 3, X + Len / 4, Y - 1, C);
  P.Rect(X + Len * 7 / 10, Y - 3, X + Len * 85 / 100, Y - 1, C);
}

void Plane(TPainting& P, int X, int Y, int S, TRgb C) {
  // Seen from below: wings, fuselage, tail.
  P.Rect(X - 6 * S, Y, X + 6 * S, Y + S - 1, C);
  P.Rect(X - S / 2, Y - 3 * S, X + S / 2, Y + 4 * S, C);
  P.Rect(X - 2 * S, Y + 3 * S, X + 2 * S, Y + 3 * S + S / 2, C);
}

void LandingCraft(TPainting& P) {
  // A boxy craft heading for the beach, seen three-quarter from behind, its ramp dropping.
  const TRgb Hull{70, 80, 70}, Shade{44, 52, 46}, Ramp{92, 100, 86};
  P.Polygon({{60, 330}, {250, 300}, {300, 318}, {300, 372}, {110, 410}, {60, 384}}, Hull);
  P.Polygon({{60, 384}, {110, 410}, {300, 372}, {300, 384}, {112, 424}, {60, 396}}, Shade);
  P.Polygon({{250, 300}, {300, 318}, {300, 372}, {250, 352}}, Shade);
  // The ramp at the bow, lowered toward the surf.
  P.Polygon({{300, 318}, {344, 334}, {346, 388}, {300, 372}}, Ramp);
  // The open well and the troops in it: helmets in rows.
  P.Polygon({{78, 334}, {246, 308}, {288, 322}, {120, 352}}, {30, 34, 30});
  for (int Row = 0; Row < 3; ++Row)
    for (int I = 0; I < 11; ++I) {
      const int CX = 104 + I * 15 + Row * 12, CY = 330 - I * 2 + Row * 7;
      P.Puff(CX, CY, 5, {88, 98, 64}, 255);
      P.Rect(CX - 3, CY + 3, CX + 3, CY + 6, {60, 66, 44});
    }
  // The wake behind the stern.
  TStrokes S;
  for (int I = 0; I < 220; ++I) {
    const int T = S.Next(120);
    const int X = 58 - T - S.Next(10), Y = 392 + T / 3 + S.Next(12) - 6;
    P.Blend(X, Y, {230, 236, 240}, 140);
    P.Blend(X + 1, Y, {230, 236, 240}, 110);
  }
  // Spray at the bow.
  for (int I = 0; I < 160; ++I) P.Blend(300 + S.Next(60), 360 + S.Next(40), {240, 244, 246}, 120);
}

void Smoke(TPainting& P) {
  TStrokes S;
  for (int I = 0; I < 26; ++I) {
    const int T = I * 4;
    P.Puff(560 - T + S.Next(8), 226 - T * 2 / 2 - S.Next(6), 10 + T / 6, {70, 66, 64}, 150);
  }
  P.Puff(556, 232, 9, {255, 150, 40}, 200);
}

void Title(TPainting& P, const std::string& FontsFolder) {
  TFontLibrary Fonts(FontsFolder);
  TDIBCanvas Mask;
  Mask.SetWidth(W);
  Mask.SetHeight(120);
  Mask.AllocateBits();
  TCanvas Painter(&Mask, nullptr, Fonts);
  Painter.Brush().SetStyle(bsClear);
  Painter.Font().SetName("Imprint MT Shadow");
  Painter.Font().SetSize(60);
  Painter.Font().SetColor(clWhite);
  const std::string Name = "BRENMOOR";
  const int TextW = Painter.TextWidth(Name);
  Painter.TextOut((W - TextW) / 2, 10, Name);
  const std::uint8_t Lit = Painter.DeviceColor(clWhite);
  // A dark shadow down and right, then the letters in pale gold.
  for (int Pass = 0; Pass < 2; ++Pass)
    for (int Y = 0; Y < 120; ++Y)
      for (int X = 0; X < W; ++X) {
        if (std::uint8_t(Mask.GetPixel(X, Y)) != Lit) continue;
        if (Pass == 0)
          P.Blend(X + 4, Y + 20 + 4, {10, 14, 30}, 200);
        else
          P.Set(X, Y + 20, Mix({255, 236, 170}, {214, 150, 60}, Y, 120));
      }
}

std::string WriteJpeg(const TPainting& P) {
  jpeg_compress_struct Info;
  jpeg_error_mgr Errors;
  Info.err = jpeg_std_error(&Errors);
  Errors.error_exit = [](j_common_ptr) { throw std::runtime_error("the title picture could not be written as JPEG"); };
  jpeg_create_compress(&Info);
  unsigned char* Buffer = nullptr;
  unsigned long Size = 0;
  jpeg_mem_dest(&Info, &Buffer, &Size);
  Info.image_width = W;
  Info.image_height = H;
  Info.input_components = 3;
  Info.in_color_space = JCS_RGB;
  jpeg_set_defaults(&Info);
  Info.dct_method = JDCT_ISLOW;
  jpeg_set_quality(&Info, 88, TRUE);
  jpeg_start_compress(&Info, TRUE);
  std::vector<unsigned char> Row(std::size_t(W * 3));
  while (Info.next_scanline < Info.image_height) {
    const int Y = int(Info.next_scanline);
    for (int X = 0; X < W; ++X) {
      const TRgb C = P.Pixels()[std::size_t(Y * W + X)];
      Row[std::size_t(3 * X)] = std::uint8_t(std::clamp(C.R, 0, 255));
      Row[std::size_t(3 * X + 1)] = std::uint8_t(std::clamp(C.G, 0, 255));
      Row[std::size_t(3 * X + 2)] = std::uint8_t(std::clamp(C.B, 0, 255));
    }
    JSAMPROW Rows[1] = {Row.data()};
    jpeg_write_scanlines(&Info, Rows, 1);
  }
  jpeg_finish_compress(&Info);
  std::string Out(reinterpret_cast<const char*>(Buffer), Size);
  jpeg_destroy_compress(&Info);
  std::free(Buffer);
  return Out;
}

}  // namespace

std::string TitlePictureJpeg(const std::string& FontsFolder) {
  TPainting P;
  Sky(P);
  Sea(P);
  for (int I = 0; I < 5; ++I) Warship(P, 40 + I * 86, Horizon - 2 + (I % 2), 50 + (I % 3) * 14, {58, 62, 78});
  Beach(P);
  Smoke(P);
  LandingCraft(P);
  Plane(P, 180, 150, 2, {40, 40, 52});
  Plane(P, 230, 130, 2, {40, 40, 52});
  Plane(P, 276, 158, 2, {40, 40, 52});
  Title(P, FontsFolder);
  return WriteJpeg(P);
}
