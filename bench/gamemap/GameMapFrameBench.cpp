// One animation frame of the game's map at 1920 x 1080: the Standard map with every zone
// sprite (outlines, labels, icons, the tallies of 500 units, border-defence bands), two storms
// and ten blasts; and the frame's conversion to the window's 32-bit image, whole or only where
// it changed. Reported per frame:
// the median and 99th percentile in ms.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "StandardScene.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

void Report(benchmark::State& State, std::vector<double>& Ms) {
  std::sort(Ms.begin(), Ms.end());
  const auto At = [&](double Q) { return Ms.empty() ? 0 : Ms[std::min(Ms.size() - 1, std::size_t(Q * double(Ms.size())))]; };
  State.counters["median_ms"] = At(0.5);
  State.counters["p99_ms"] = At(0.99);
}

template <class TStep>
void Frames(benchmark::State& State, TStep&& Step) {
  std::vector<double> Ms;
  for (auto _ : State) {
    const auto Start = std::chrono::steady_clock::now();
    Step();
    Ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
  }
  Report(State, Ms);
}

TStandardScene& Scene() {
  static TStandardScene S(kWidth, kHeight);
  return S;
}

}  // namespace

static void BM_GameMapRender(benchmark::State& State) {
  TStandardScene& S = Scene();
  S.RenderFrame();
  Frames(State, [&] {
    S.RenderFrame();
    benchmark::DoNotOptimize(S.Surface.GetDIBCanvas().GetBits());
  });
}
BENCHMARK(BM_GameMapRender)->Unit(benchmark::kMillisecond);

static void BM_GameMapToRGB(benchmark::State& State) {
  TStandardScene& S = Scene();
  S.RenderFrame();
  std::vector<std::uint32_t> Out(std::size_t(kWidth) * kHeight);
  Frames(State, [&] {
    CopyFrameToRGB32(*S.Surface.GetBackBuffer(), Out.data(), kWidth, kWidth, kHeight);
    benchmark::DoNotOptimize(Out.data());
  });
}
BENCHMARK(BM_GameMapToRGB)->Unit(benchmark::kMillisecond);

// The changed-only converter over the frame of the frame before: its cost over an unchanged
// frame, and over a frame whose effects and battles moved on.
static void BM_GameMapToRGBChangedOnly(benchmark::State& State) {
  TStandardScene& S = Scene();
  std::vector<std::uint32_t> Out(std::size_t(kWidth) * kHeight);
  TFrameConverter Converter;
  S.RenderFrame();
  Converter.Convert(*S.Surface.GetBackBuffer(), Out.data(), kWidth, kWidth, kHeight);
  const bool Moving = State.range(0) != 0;
  std::vector<double> Ms;
  for (auto _ : State) {
    if (Moving) {
      State.PauseTiming();
      S.RenderFrame();
      State.ResumeTiming();
    }
    const auto Start = std::chrono::steady_clock::now();
    Converter.Convert(*S.Surface.GetBackBuffer(), Out.data(), kWidth, kWidth, kHeight);
    Ms.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - Start).count());
    benchmark::DoNotOptimize(Out.data());
  }
  Report(State, Ms);
}
BENCHMARK(BM_GameMapToRGBChangedOnly)->Arg(0)->Arg(1)->ArgName("moving")->Unit(benchmark::kMillisecond);

static void BM_GameMapWholeFrame(benchmark::State& State) {
  TStandardScene& S = Scene();
  std::vector<std::uint32_t> Out(std::size_t(kWidth) * kHeight);
  Frames(State, [&] {
    S.RenderFrame();
    CopyFrameToRGB32(*S.Surface.GetBackBuffer(), Out.data(), kWidth, kWidth, kHeight);
    benchmark::DoNotOptimize(Out.data());
  });
}
BENCHMARK(BM_GameMapWholeFrame)->Unit(benchmark::kMillisecond);

// The same with the window's converter, which writes only the pixels of blocks that changed.
static void BM_GameMapWholeFrameChangedOnly(benchmark::State& State) {
  TStandardScene& S = Scene();
  std::vector<std::uint32_t> Out(std::size_t(kWidth) * kHeight);
  TFrameConverter Converter;
  Frames(State, [&] {
    S.RenderFrame();
    Converter.Convert(*S.Surface.GetBackBuffer(), Out.data(), kWidth, kWidth, kHeight);
    benchmark::DoNotOptimize(Out.data());
  });
}
BENCHMARK(BM_GameMapWholeFrameChangedOnly)->Unit(benchmark::kMillisecond);
