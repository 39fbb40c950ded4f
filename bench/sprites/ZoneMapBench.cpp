// The zone map on a generated map of 300 zones (20 columns, 15 rows of jagged eight-cornered
// zones, a sea band down the middle and along the bottom, nine 800 x 500 background tiles of
// short runs): loading the map set without pixels (reading and parsing the file, the
// bitmaps' headers, zones, links, neighbours and grid), one path across the map, the path
// from every zone to every other, and the hit test; then the map surface: the whole load
// (the same, and the bitmaps decoded and compressed, the element and zone sprites, the
// preview and the first frame), each of its steps alone, and frames of the zone engine.
// Each figure is given per operation and per zone.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <algorithm>
#include <fstream>
#include <map>
#include <memory>
#include <random>
#include <string>

#include "sprites/Bitmap.h"
#include "sprites/ColorPalette.h"
#include "sprites/CompressedBitmapSprite.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneSpriteSurface.h"
#include "support/ScratchFolder.h"

namespace fs = std::filesystem;

namespace {

constexpr int Columns = 20;
constexpr int Rows = 15;
constexpr int Zones = Columns * Rows;
constexpr int CellWidth = 120;
constexpr int CellHeight = 100;

bool IsSea(int Col, int Row) { return Col == 9 || Col == 10 || Row == Rows - 1; }

// The map set in a folder of its own, made once and removed when the program ends.
class TGeneratedMap {
public:
  TGeneratedMap() {
    std::string Text;
    // Nine background tiles of 800 x 500 cover the 2400 x 1500 map: rows of runs of 1 to 48
    // pixels in colours of the map's range, about as many runs as a drawn map has.
    std::mt19937 Art(11);
    for (int I = 0; I < 9; ++I) {
      TBitmap Tile(800, 500, 8);
      std::vector<TRGBQuad> Colors(256);
      for (int C = 0; C < 256; ++C) Colors[std::size_t(C)] = {std::uint8_t(C), std::uint8_t(255 - C), std::uint8_t(C * 7), 0};
      Tile.SetColorTable(Colors);
      for (std::int32_t Y = 0; Y < Tile.GetHeight(); ++Y)
        for (std::int32_t X = 0; X < Tile.GetWidth();) {
          const std::int32_t Run = std::min<std::int32_t>(std::int32_t(Art() % 48) + 1, Tile.GetWidth() - X);
          std::fill_n(Tile.ScanLine(Y) + X, Run, std::uint8_t(10 + Art() % 236));
          X += Run;
        }
      const std::string Name = (Folder / ("tile" + std::to_string(I) + ".bmp")).string();
      Tile.SaveToFile(Name);
      Text += "Bitmap=" + Name + "\r\n";
      Text += "Element=" + Name + ":" + std::to_string(800 * (I % 3)) + "," + std::to_string(500 * (I / 3)) + "\r\n";
    }
    std::mt19937 Gen(7);
    auto Jag = [&] { return int(Gen() % 9) - 4; };
    for (int Row = 0; Row < Rows; ++Row)
      for (int Col = 0; Col < Columns; ++Col) {
        const int L = Col * CellWidth, T = Row * CellHeight, R = L + CellWidth, B = T + CellHeight;
        const int MX = L + CellWidth / 2 + Jag(), MY = T + CellHeight / 2 + Jag();
        Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(MX) + "," + std::to_string(T + Jag()) +
                "," + std::to_string(R) + "," + std::to_string(T) + "," + std::to_string(R + Jag()) + "," + std::to_string(MY) + "," +
                std::to_string(R) + "," + std::to_string(B) + "," + std::to_string(MX) + "," + std::to_string(B + Jag()) + "," +
                std::to_string(L) + "," + std::to_string(B) + "," + std::to_string(L + Jag()) + "," + std::to_string(MY);
        Text += ";Zone " + std::to_string(Row * Columns + Col) + ";" + (IsSea(Col, Row) ? "1" : "0") + ";";
        // Right and lower neighbours by the neighbour text; the Link lines below join the rest.
        if (Col + 1 < Columns) Text += std::to_string(Row * Columns + Col + 1) + "#";
        if (Row + 1 < Rows) Text += std::to_string((Row + 1) * Columns + Col) + "#";
        Text += "\r\n";
      }
    for (int Row = 0; Row + 1 < Rows; ++Row)
      for (int Col = 0; Col + 1 < Columns; Col += 2)
        Text += "Link=" + std::to_string(Row * Columns + Col) + "," + std::to_string((Row + 1) * Columns + Col + 1) + "\r\n";
    FileName = (Folder / "generated.map").string();
    std::ofstream(FileName, std::ios::binary) << Text;
  }
  static void Setup(TZoneMap& Map) {
    Map.SetGridMarginTop(16);
    Map.SetGridWidth(20);
    Map.SetGridHeight(26);
  }
  const TScratchFolder Scratch{"brenmoor-zonemap-bench"};
  const fs::path Folder = Scratch.Path();
  std::string FileName;
};

TGeneratedMap& Generated() {
  static TGeneratedMap Map;
  return Map;
}

TZoneMap& Loaded() {
  static TZoneMap Map;
  if (Map.ZoneCount() == 0) {
    TGeneratedMap::Setup(Map);
    LoadZoneMapFromFile(Map, Generated().FileName);
  }
  return Map;
}

void PerZone(benchmark::State& State, double ZonesPerIteration) {
  State.counters["per_zone"] = benchmark::Counter(ZonesPerIteration, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

}  // namespace

static void BM_MapSetLoad(benchmark::State& State) {
  TZoneMap Map;
  TGeneratedMap::Setup(Map);
  for (auto _ : State) {
    LoadZoneMapFromFile(Map, Generated().FileName);
    benchmark::DoNotOptimize(Map.GetZone(Zones - 1));
  }
  if (Map.ZoneCount() != Zones) State.SkipWithError("the generated map did not load whole");
  PerZone(State, Zones);
}
BENCHMARK(BM_MapSetLoad)->Unit(benchmark::kMillisecond);

static void BM_FindPathAcross(benchmark::State& State) {
  TZoneMap& Map = Loaded();
  TZone* From = Map.GetZone(0);
  TZone* To = Map.GetZone((Rows - 2) * Columns + Columns - 1);
  for (auto _ : State) {
    Map.FindPath(From, To);
    benchmark::DoNotOptimize(Map.PathCost());
  }
  State.counters["steps"] = double(Map.PathCount() - 1);
  PerZone(State, Zones);
}
BENCHMARK(BM_FindPathAcross)->Unit(benchmark::kMicrosecond);

// The same path with the step costs read from a table asked beforehand: the search on the
// zones' numbers that ends once the target holds its cheapest cost, and the whole search kept
// as a tree.
static void BM_FindPathAcrossByTable(benchmark::State& State) {
  TZoneMap& Map = Loaded();
  TZone* From = Map.GetZone(0);
  TZone* To = Map.GetZone((Rows - 2) * Columns + Columns - 1);
  TStepCostTable Table;
  Map.FillStepCostTable(Table);
  for (auto _ : State) {
    Map.FindPath(From, To, Table);
    benchmark::DoNotOptimize(Map.PathCount());
  }
  State.counters["steps"] = double(Map.PathCount() - 1);
  PerZone(State, Zones);
}
BENCHMARK(BM_FindPathAcrossByTable)->Unit(benchmark::kMicrosecond);

static void BM_PathTreeByTable(benchmark::State& State) {
  TZoneMap& Map = Loaded();
  TStepCostTable Table;
  Map.FillStepCostTable(Table);
  TPathTree Tree;
  for (auto _ : State) {
    Map.FindPathTree(Map.GetZone(0), Tree, &Table);
    benchmark::DoNotOptimize(Tree.Prev.data());
  }
  PerZone(State, Zones);
}
BENCHMARK(BM_PathTreeByTable)->Unit(benchmark::kMicrosecond);

static void BM_AllPairs(benchmark::State& State) {
  TZoneMap& Map = Loaded();
  std::int64_t Reached = 0;
  for (auto _ : State)
    for (int A = 0; A < Zones; ++A)
      for (int B = 0; B < Zones; ++B) {
        Map.FindPath(Map.GetZone(A), Map.GetZone(B));
        Reached += Map.PathCount() > 0;
      }
  benchmark::DoNotOptimize(Reached);
  State.counters["per_search"] = benchmark::Counter(double(Zones) * Zones, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
  PerZone(State, Zones);
}
BENCHMARK(BM_AllPairs)->Unit(benchmark::kMillisecond);

static void BM_HitTest(benchmark::State& State) {
  TZoneMap& Map = Loaded();
  const TMapExtent Extent = Map.GetExtent();
  if (Extent.Width <= 0 || Extent.Height <= 0) {
    State.SkipWithError("the generated map has no extent");
    return;
  }
  std::mt19937 Gen(3);
  std::vector<TPoint> Points(1024);
  for (TPoint& P : Points) P = {std::int32_t(Gen() % std::uint32_t(Extent.Width)), std::int32_t(Gen() % std::uint32_t(Extent.Height))};
  std::size_t I = 0;
  for (auto _ : State) {
    benchmark::DoNotOptimize(Map.FindZoneAt(Points[I]));
    I = (I + 1) % Points.size();
  }
  PerZone(State, Zones);
}
BENCHMARK(BM_HitTest)->Unit(benchmark::kMicrosecond);

// ---------------------------------------------------------------------------------------------
// The map surface

namespace {

TColorPalette& BenchPalette() {
  static TColorPalette Palette;
  return Palette;
}

void SetupSurface(TZoneSpriteSurface& S, std::int32_t Width, std::int32_t Height) {
  S.SetColorPalette(&BenchPalette());
  S.SetBounds(0, 0, Width, Height);
  S.SetColorIndexLand(62);
  S.SetColorIndexSea(156);
  S.SetGridMarginTop(16);
  S.SetGridWidth(20);
  S.SetGridHeight(26);
  S.SetPreviewWidth(150);
  S.SetPreviewHeight(200);
}

// The generated map on a surface of the given size.
TZoneSpriteSurface& LoadedSurface(std::int32_t Width, std::int32_t Height) {
  static std::map<std::pair<std::int32_t, std::int32_t>, std::unique_ptr<TZoneSpriteSurface>> Surfaces;
  auto& S = Surfaces[{Width, Height}];
  if (!S) {
    S = std::make_unique<TZoneSpriteSurface>();
    SetupSurface(*S, Width, Height);
    S->LoadMapSet(Generated().FileName);
  }
  return *S;
}

std::vector<TBitmap> DecodeTiles(const TMapSet& Set) {
  std::vector<TBitmap> Bitmaps;
  for (int I = 0; I < Set.BitmapCount(); ++I) Bitmaps.push_back(TBitmap::LoadFromFile(Set.GetBitmap(I).FileName));
  return Bitmaps;
}

}  // namespace

static void BM_SurfaceLoad(benchmark::State& State) {
  TZoneSpriteSurface S;
  SetupSurface(S, 1024, 768);
  for (auto _ : State) {
    S.LoadMapSet(Generated().FileName);
    benchmark::DoNotOptimize(S.GetPreview().GetBits());
  }
  if (S.ZoneCount() != Zones || S.GetBackgroundEngine().SpriteCount() != 9) State.SkipWithError("the generated map did not load whole");
  PerZone(State, Zones);
}
BENCHMARK(BM_SurfaceLoad)->Unit(benchmark::kMillisecond);

static void BM_SurfaceLoadParse(benchmark::State& State) {
  for (auto _ : State) benchmark::DoNotOptimize(TMapSet::LoadFromFile(Generated().FileName).ZoneCount());
  PerZone(State, Zones);
}
BENCHMARK(BM_SurfaceLoadParse)->Unit(benchmark::kMillisecond);

static void BM_SurfaceLoadDecode(benchmark::State& State) {
  const TMapSet Set = TMapSet::LoadFromFile(Generated().FileName);
  for (auto _ : State) benchmark::DoNotOptimize(DecodeTiles(Set).size());
  PerZone(State, Zones);
}
BENCHMARK(BM_SurfaceLoadDecode)->Unit(benchmark::kMillisecond);

static void BM_SurfaceLoadCompress(benchmark::State& State) {
  const TMapSet Set = TMapSet::LoadFromFile(Generated().FileName);
  const std::vector<TBitmap> Bitmaps = DecodeTiles(Set);
  TCompressedBitmapSpriteFactory Factory;
  std::int64_t Runs = 0;
  for (auto _ : State)
    for (const TBitmap& B : Bitmaps) {
      Factory.SetBitmap(&B);
      Runs += Factory.GetCompressedBitmap().GetRunCount();
    }
  State.counters["runs_per_tile"] = double(Runs) / double(State.iterations() * Bitmaps.size());
  PerZone(State, Zones);
}
BENCHMARK(BM_SurfaceLoadCompress)->Unit(benchmark::kMillisecond);

static void BM_SurfaceLoadGrid(benchmark::State& State) {
  TZoneMap& Map = Loaded();
  for (auto _ : State) {
    Map.BuildGrid();
    benchmark::DoNotOptimize(Map.GetZone(0)->GridPointCount());
  }
  PerZone(State, Zones);
}
BENCHMARK(BM_SurfaceLoadGrid)->Unit(benchmark::kMicrosecond);

static void BM_SurfaceLoadPreview(benchmark::State& State) {
  const TMapSet Set = TMapSet::LoadFromFile(Generated().FileName);
  const std::vector<TBitmap> Bitmaps = DecodeTiles(Set);
  for (auto _ : State) benchmark::DoNotOptimize(MakeMapPreview(150, 200, Set, Bitmaps, &BenchPalette()));
  PerZone(State, Zones);
}
BENCHMARK(BM_SurfaceLoadPreview)->Unit(benchmark::kMicrosecond);

// One frame of the map: the background and the zones in view, or the zones alone. At 1024 x
// 768 about 70 zones are in view; the whole map of 2400 x 1500 shows all 300.
static void BM_SurfaceFrame(benchmark::State& State) {
  const std::int32_t Width = std::int32_t(State.range(0)), Height = std::int32_t(State.range(1));
  const bool Background = State.range(2) != 0;
  TZoneSpriteSurface& S = LoadedSurface(Width, Height);
  S.SetShowBackground(Background);
  S.SetOffsetX(0);
  S.SetOffsetY(0);
  int InView = 0;
  const TRect View{0, 0, Width - 1, Height - 1};
  for (int I = 0; I < S.ZoneCount(); ++I) {
    const TRect& B = S.GetZone(I)->GetBounds();
    InView += B.Left <= View.Right && B.Right >= View.Left && B.Top <= View.Bottom && B.Bottom >= View.Top;
  }
  for (auto _ : State) S.RenderFrame();
  S.SetShowBackground(true);
  State.counters["zones_in_view"] = InView;
  State.counters["per_zone"] = benchmark::Counter(InView, benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SurfaceFrame)
    ->ArgNames({"width", "height", "background"})
    ->Args({1024, 768, 1})
    ->Args({1024, 768, 0})
    ->Args({2400, 1500, 0})
    ->Unit(benchmark::kMicrosecond);
