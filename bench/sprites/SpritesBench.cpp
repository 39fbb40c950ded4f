// Full-frame drawing at the map's sizes: every animation frame of the map fills, copies icons
// with a colour key, draws outlines and routes, and writes short labels through the painter.
// Each figure is given as megapixels (or operations) per second of one frame's work.
#include <benchmark/benchmark.h>

#include <random>

#include "sprites/Canvas.h"
#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"
#include "sprites/FontLibrary.h"

namespace {

std::unique_ptr<TDIBCanvas> Frame(std::int64_t Width, std::int64_t Height) {
  auto C = std::make_unique<TDIBCanvas>();
  C->SetWidth(std::int32_t(Width));
  C->SetHeight(std::int32_t(Height));
  C->SetBottomUp(true);
  C->AllocateBits();
  return C;
}

TFontLibrary& Fonts() {
  static TFontLibrary Library(std::string(BRENMOOR_SOURCE_DIR) + "/data/fonts");
  return Library;
}

void FrameSizes(benchmark::internal::Benchmark* B) { B->Args({1024, 768})->Args({1920, 1080}); }

}  // namespace

static void BM_Fill(benchmark::State& State) {
  auto C = Frame(State.range(0), State.range(1));
  std::uint16_t Color = 0;
  for (auto _ : State) {
    C->Fill(++Color);
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Mpixels"] = benchmark::Counter(double(C->GetPixelCount()) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Fill)->Apply(FrameSizes);

static void BM_CopyKeyed256(benchmark::State& State) {
  auto C = Frame(State.range(0), State.range(1));
  auto Icon = Frame(256, 256);
  std::mt19937 Gen(1);
  for (std::int32_t Y = 0; Y < 256; ++Y)
    for (std::int32_t X = 0; X < 256; ++X) Icon->ScanLine(Y)[X] = std::uint8_t(Gen() % 4 == 0 ? 0 : Gen());
  Icon->SetTransparentColor(0);
  std::int32_t X = 0;
  for (auto _ : State) {
    C->CopyFrom(X, 100, {0, 0, 256, 256}, *Icon, true);
    X = (X + 7) % 700;
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Mpixels"] = benchmark::Counter(256.0 * 256.0 * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_CopyKeyed256)->Apply(FrameSizes);

static void BM_Lines1000(benchmark::State& State) {
  auto C = Frame(State.range(0), State.range(1));
  std::mt19937 Gen(2);
  // Outlines and routes: mostly inside the frame, some reaching far outside it.
  std::uniform_int_distribution<int> XS(-200, int(State.range(0)) + 200), YS(-200, int(State.range(1)) + 200);
  std::vector<TRect> Lines(1000);
  for (auto& L : Lines) L = {XS(Gen), YS(Gen), XS(Gen), YS(Gen)};
  std::int64_t Pixels = 0;
  for (const auto& L : Lines) Pixels += std::max(std::abs(L.Right - L.Left), std::abs(L.Bottom - L.Top)) + 1;
  for (auto _ : State) {
    for (const auto& L : Lines) {
      C->SetPenColor(std::uint16_t(L.Left));
      C->MoveTo(L.Left, L.Top);
      C->LineTo(L.Right, L.Bottom);
    }
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Lines"] = benchmark::Counter(1000, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["Mpixels"] = benchmark::Counter(double(Pixels) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_Lines1000)->Apply(FrameSizes);

// The zone labels and tallies: " 12 " and names in "Small Fonts" 7 (a 9-pixel em) on a solid
// brush, the glyphs already cached.
static void BM_TextOut1000(benchmark::State& State) {
  TColorPalette Palette;
  auto C = Frame(State.range(0), State.range(1));
  TCanvas Painter(C.get(), &Palette, Fonts());
  Painter.Font().SetName("Small Fonts");
  Painter.Font().SetSize(7);
  Painter.Font().SetColor(clWhite);
  Painter.Brush().SetColor(clBlack);
  const char* Texts[] = {" 12 ", " Berlin ", " 3  ", " R7 ", "[more]", " Warsaw "};
  Painter.TextOut(0, 0, "0123456789 BerlinWasawR[more]");
  std::mt19937 Gen(3);
  std::vector<TPoint> At(1000);
  for (auto& P : At) P = {int(Gen() % std::uint32_t(State.range(0) - 40)), int(Gen() % std::uint32_t(State.range(1) - 12))};
  std::int64_t Pixels = 0;
  for (std::size_t I = 0; I < At.size(); ++I) Pixels += std::int64_t(Painter.TextWidth(Texts[I % 6])) * Painter.TextHeight("");
  for (auto _ : State) {
    for (std::size_t I = 0; I < At.size(); ++I) Painter.TextOut(At[I].X, At[I].Y, Texts[I % 6]);
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Texts"] = benchmark::Counter(1000, benchmark::Counter::kIsIterationInvariantRate);
  State.counters["Mpixels"] = benchmark::Counter(double(Pixels) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_TextOut1000)->Apply(FrameSizes)->Unit(benchmark::kMicrosecond);

static void BM_FillCircle1000(benchmark::State& State) {
  auto C = Frame(State.range(0), State.range(1));
  C->SetBrushColor(22);
  std::mt19937 Gen(4);
  std::vector<TPoint> At(1000);
  for (auto& P : At) P = {int(Gen() % std::uint32_t(State.range(0))), int(Gen() % std::uint32_t(State.range(1)))};
  for (auto _ : State) {
    for (const auto& P : At) C->FillCircle(P.X, P.Y, 4);
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Circles"] = benchmark::Counter(1000, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_FillCircle1000)->Apply(FrameSizes);

// Order lines of the overlay: dotted, through the painter.
static void BM_PainterDottedLines1000(benchmark::State& State) {
  TColorPalette Palette;
  auto C = Frame(State.range(0), State.range(1));
  TCanvas Painter(C.get(), &Palette, Fonts());
  Painter.Pen().SetStyle(psDot);
  Painter.Pen().SetColor(clAqua);
  std::mt19937 Gen(5);
  std::uniform_int_distribution<int> XS(0, int(State.range(0)) - 1), YS(0, int(State.range(1)) - 1);
  std::vector<TRect> Lines(1000);
  for (auto& L : Lines) L = {XS(Gen), YS(Gen), XS(Gen), YS(Gen)};
  for (auto _ : State) {
    for (const auto& L : Lines) {
      Painter.MoveTo(L.Left, L.Top);
      Painter.LineTo(L.Right, L.Bottom);
    }
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Lines"] = benchmark::Counter(1000, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_PainterDottedLines1000)->Apply(FrameSizes)->Unit(benchmark::kMicrosecond);

// A map frame's labels: 300 zones, each switching fonts as the zone sprite does (underlined
// capitals, a plain name, a number on another brush) before its texts.
static void BM_ZoneLabels300(benchmark::State& State) {
  TColorPalette Palette;
  auto C = Frame(1024, 768);
  TCanvas Painter(C.get(), &Palette, Fonts());
  for (auto _ : State) {
    for (int Z = 0; Z < 300; ++Z) {
      const int X = (Z * 37) % 980, Y = (Z * 53) % 740;
      Painter.Brush().SetColor(clBlack);
      Painter.Font().SetName("Small Fonts");
      Painter.Font().SetSize(7);
      Painter.Font().SetStyle(Z % 10 == 0 ? fsUnderline : 0);
      Painter.Font().SetColor(clWhite);
      Painter.TextOut(X, Y, " K\xf6nigsberg ");
      Painter.Font().SetStyle(0);
      Painter.Font().SetColor(clBlack);
      Painter.Brush().SetColor(clWhite);
      Painter.TextOut(X + 50, Y, " 3 ");
      Painter.Font().SetName("Arial");
      Painter.Font().SetSize(8);
      Painter.Font().SetStyle(fsBold);
      Painter.TextOut(X, Y + 12, " 12  ");
    }
    benchmark::DoNotOptimize(C->GetBits());
  }
  State.counters["Zones"] = benchmark::Counter(300, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(BM_ZoneLabels300)->Unit(benchmark::kMicrosecond);
