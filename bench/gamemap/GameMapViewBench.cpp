// What the map window pays for a frame on top of drawing it, at 1920 x 1080 on Qt's offscreen
// platform: the frame shown (its changed part converted to the window's 32-bit picture) and the
// window's paint, for a frame that moved on (storms, blasts, battles) and for a frame like the
// one before (which the window leaves unpainted); and a paint of the whole window.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <memory>

#include "StandardScene.h"
#include "platform/SpriteSurfaceView.h"

namespace {

constexpr int kWidth = 1920;
constexpr int kHeight = 1080;

struct TViewScene {
  TStandardScene Scene{kWidth, kHeight};
  TSpriteSurfaceView View{Scene.Surface};
  TViewScene() {
    View.resize(kWidth, kHeight);
    View.show();
    // The window is painted only once it is shown on the platform.
    QElapsedTimer Clock;
    Clock.start();
    while (!View.windowHandle()->isExposed() && Clock.elapsed() < 5000) QCoreApplication::processEvents();
    Scene.RenderFrame();
    View.repaint();
  }
};

// Made at the first benchmark, gone before the application object.
std::unique_ptr<TViewScene> TheScene;

TViewScene& Scene() {
  if (!TheScene) TheScene = std::make_unique<TViewScene>();
  return *TheScene;
}

}  // namespace

// A frame that moved on: drawn, shown and its changed part painted.
static void BM_GameMapFramePainted(benchmark::State& State) {
  TViewScene& S = Scene();
  for (auto _ : State) {
    S.Scene.RenderFrame();
    // The paint of the part that changed.
    QCoreApplication::sendPostedEvents();
  }
  State.counters["paints"] = double(S.View.Paints());
}
BENCHMARK(BM_GameMapFramePainted)->Unit(benchmark::kMillisecond);

// The same frame shown again: converted where it changed (nowhere) and not painted.
static void BM_GameMapSameFrameShown(benchmark::State& State) {
  TViewScene& S = Scene();
  S.Scene.RenderFrame();
  for (auto _ : State) {
    S.Scene.Surface.GetHost()->ShowFrame(S.Scene.Surface);
    QCoreApplication::sendPostedEvents();
  }
}
BENCHMARK(BM_GameMapSameFrameShown)->Unit(benchmark::kMillisecond);

// A paint of the whole window (as after it was covered), the picture copied as it is.
static void BM_GameMapWholePaint(benchmark::State& State) {
  TViewScene& S = Scene();
  for (auto _ : State) S.View.repaint();
}
BENCHMARK(BM_GameMapWholePaint)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication App(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  TheScene.reset();
  return 0;
}
