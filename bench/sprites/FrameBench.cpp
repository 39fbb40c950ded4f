// One animation frame of the map: a background of compressed tiles under 500 small sprites,
// at the window sizes the game runs in. The game animates every 80 ms on the thread that also
// runs the rules and the scripts, so a frame must stay far below that. Reported per frame:
// the median and 99th percentile in ms, the runs walked and the pixels written; and the cost
// of turning the finished 8-bit frame into RGB for the window.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <memory>
#include <random>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/CompressedBitmapSprite.h"
#include "sprites/FontLibrary.h"
#include "sprites/SpriteEngine.h"
#include "sprites/SpriteSurface.h"

namespace {

constexpr int kTile = 512;
constexpr int kMapWidth = 5600;
constexpr int kMapHeight = 3584;

TFontLibrary& Fonts() {
  static TFontLibrary Library(std::string(BRENMOOR_SOURCE_DIR) + "/data/fonts");
  return Library;
}

// Map-like artwork: smooth regions of a few colours (land, sea, borders), and with Texture a
// share of speckled pixels as hand-drawn terrain has, which cuts the runs short.
std::unique_ptr<TBitmap> MapTile(std::mt19937& Gen, double Texture) {
  auto B = std::make_unique<TBitmap>(kTile, kTile, 8);
  const double PX = double(Gen() % 1000), PY = double(Gen() % 1000);
  std::uniform_real_distribution<double> U(0, 1);
  for (int Y = 0; Y < kTile; ++Y) {
    std::uint8_t* Row = B->ScanLine(Y);
    for (int X = 0; X < kTile; ++X) {
      const double V = std::sin((X + PX) / 53.0) + std::sin((Y + PY) / 41.0) + std::sin((X + Y + PX) / 97.0);
      std::uint8_t C = std::uint8_t(20 + int((V + 3) * 1.5) * 12);
      if (U(Gen) < Texture) C = std::uint8_t(C + 1 + Gen() % 3);
      Row[X] = C;
    }
  }
  return B;
}

std::unique_ptr<TBitmap> Icon(std::mt19937& Gen) {
  auto B = std::make_unique<TBitmap>(20, 16, 8);
  const std::uint8_t Back = std::uint8_t(Gen()), Fore = std::uint8_t(Gen());
  for (int Y = 0; Y < 16; ++Y)
    for (int X = 0; X < 20; ++X) B->ScanLine(Y)[X] = (X > 3 && X < 16 && Y > 3 && Y < 12) ? Fore : Back;
  return B;
}

struct TMap {
  TColorPalette Palette;
  TSpriteSurface Surface{Fonts()};
  std::vector<std::unique_ptr<TCompressedBitmapSpriteFactory>> Factories;
  TSpriteEngine Background;
  TSpriteEngine Effects;

  TMap(int Width, int Height, double Texture) {
    Surface.SetColorPalette(&Palette);
    Surface.SetBounds(0, 0, Width, Height);
    Surface.SetUseVirtualSize(true);
    Surface.SetVirtualWidth(kMapWidth);
    Surface.SetVirtualHeight(kMapHeight);
    // Not on a tile corner, so tiles are cut on every side.
    Surface.SetOffsetX(1300);
    Surface.SetOffsetY(700);
    Background.SetPriority(1);
    Background.SetSpriteSurface(&Surface);
    Effects.SetSpriteSurface(&Surface);
    std::mt19937 Gen(1);
    for (int Y = 0; Y < kMapHeight; Y += kTile)
      for (int X = 0; X < kMapWidth; X += kTile) {
        auto F = std::make_unique<TCompressedBitmapSpriteFactory>();
        F->SetBitmap(MapTile(Gen, Texture).get());
        TSprite* S = Background.AddSprite(F->CreateSprite());
        S->SetX(float(X));
        S->SetY(float(Y));
        Factories.push_back(std::move(F));
      }
    for (int I = 0; I < 8; ++I) {
      auto F = std::make_unique<TCompressedBitmapSpriteFactory>();
      F->SetBitmap(Icon(Gen).get());
      Factories.push_back(std::move(F));
    }
    // 500 small sprites spread over the window, on top of the background.
    for (int I = 0; I < 500; ++I) {
      TSprite* S = Effects.AddSprite(Factories[Factories.size() - 1 - std::size_t(I % 8)]->CreateSprite());
      S->SetX(float(1300 + int(Gen() % std::uint32_t(Width - 20))));
      S->SetY(float(700 + int(Gen() % std::uint32_t(Height - 16))));
      S->SetZ(int(Gen() % 4));
    }
    Surface.RenderFrame();
  }
};

void ReportFrames(benchmark::State& State, std::vector<double>& Ms, std::int64_t Runs, std::int64_t Pixels) {
  std::sort(Ms.begin(), Ms.end());
  const auto At = [&](double Q) { return Ms.empty() ? 0 : Ms[std::min(Ms.size() - 1, std::size_t(Q * double(Ms.size())))]; };
  State.counters["median_ms"] = At(0.5);
  State.counters["p99_ms"] = At(0.99);
  const double Frames = double(std::max<std::size_t>(Ms.size(), 1));
  State.counters["runs"] = double(Runs) / Frames;
  State.counters["pixels"] = double(Pixels) / Frames;
}

void FrameSizes(benchmark::internal::Benchmark* B) {
  B->Args({1024, 768, 0})->Args({1920, 1080, 0})->Args({1024, 768, 10})->Args({1920, 1080, 10});
  B->ArgNames({"w", "h", "texture%"});
  B->Unit(benchmark::kMillisecond);
}

}  // namespace

static void BM_MapFrame(benchmark::State& State) {
  TMap Map(int(State.range(0)), int(State.range(1)), double(State.range(2)) / 100);
  std::vector<double> Ms;
  TCompressedBitmapSprite::RunsWalked = 0;
  TCompressedBitmapSprite::PixelsWritten = 0;
  for (auto _ : State) {
    const auto Start = std::chrono::steady_clock::now();
    Map.Surface.RenderFrame();
    Ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
    benchmark::DoNotOptimize(Map.Surface.GetDIBCanvas().GetBits());
  }
  ReportFrames(State, Ms, TCompressedBitmapSprite::RunsWalked, TCompressedBitmapSprite::PixelsWritten);
}
BENCHMARK(BM_MapFrame)->Apply(FrameSizes);

static void BM_FrameToRGB(benchmark::State& State) {
  TMap Map(int(State.range(0)), int(State.range(1)), double(State.range(2)) / 100);
  const int W = int(State.range(0)), H = int(State.range(1));
  std::vector<std::uint32_t> Out(std::size_t(W) * std::size_t(H));
  std::vector<double> Ms;
  for (auto _ : State) {
    const auto Start = std::chrono::steady_clock::now();
    CopyFrameToRGB32(*Map.Surface.GetBackBuffer(), Out.data(), W, W, H);
    Ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
    benchmark::DoNotOptimize(Out.data());
  }
  ReportFrames(State, Ms, 0, std::int64_t(W) * H * std::int64_t(Ms.size()));
}
BENCHMARK(BM_FrameToRGB)->Args({1024, 768, 0})->Args({1920, 1080, 0})->ArgNames({"w", "h", "texture%"})->Unit(benchmark::kMillisecond);
