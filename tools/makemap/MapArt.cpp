#include "MapArt.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <memory>

#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"

namespace {

TRGBQuad Quad(std::uint8_t R, std::uint8_t G, std::uint8_t B) { return TRGBQuad{B, G, R, 0}; }

// Land colours: three close shades per biome, so that neighbouring zones read apart.
constexpr std::uint8_t BiomeBase(char Biome) {
  switch (Biome) {
    case 'd': return 33;
    case 't': return 36;
    case 'j': return 39;
    case 's': return 42;
    default: return 30;
  }
}

std::vector<TRGBQuad> BuildColorTable() {
  std::vector<TRGBQuad> T(256);
  const auto& Static = TColorPalette::StaticColors();
  for (int I = 0; I < 10; ++I) T[std::size_t(I)] = Quad(Static[std::size_t(I)].Red, Static[std::size_t(I)].Green, Static[std::size_t(I)].Blue);
  for (int I = 246; I < 256; ++I)
    T[std::size_t(I)] = Quad(Static[std::size_t(I - 236)].Red, Static[std::size_t(I - 236)].Green, Static[std::size_t(I - 236)].Blue);
  // A neutral grey ramp under everything not named below.
  for (int I = 10; I < 246; ++I) T[std::size_t(I)] = Quad(std::uint8_t(I), std::uint8_t(I), std::uint8_t(I));
  // 10-23: fire, white-hot to deep red (atomic and bomb blasts draw their bubbles from these;
  // 16 is also the colour of the second major power's zones).
  const std::uint8_t Fire[14][3] = {{255, 255, 240}, {255, 255, 200}, {255, 250, 160}, {255, 240, 120}, {255, 220, 80},
                                    {255, 200, 40},  {255, 150, 0},   {255, 136, 0},   {250, 112, 0},   {240, 96, 0},
                                    {230, 72, 0},    {220, 48, 0},    {200, 32, 0},    {180, 16, 0}};
  for (int I = 0; I < 14; ++I) T[std::size_t(10 + I)] = Quad(Fire[I][0], Fire[I][1], Fire[I][2]);
  // 30-44: land, three shades each of temperate, desert, tundra, jungle and steppe.
  const std::uint8_t Land[15][3] = {{122, 160, 86},  {134, 172, 96},  {110, 148, 78},  {218, 196, 136}, {226, 206, 148},
                                    {208, 186, 124}, {206, 212, 204}, {218, 224, 216}, {194, 200, 192}, {70, 128, 62},
                                    {80, 140, 70},   {62, 116, 54},   {180, 176, 102}, {190, 186, 112}, {170, 166, 94}};
  for (int I = 0; I < 15; ++I) T[std::size_t(30 + I)] = Quad(Land[I][0], Land[I][1], Land[I][2]);
  T[MapColors::LandOutline] = Quad(52, 40, 28);   // outlines of land zones
  const std::uint8_t Shell[4][3] = {{255, 210, 90}, {255, 168, 40}, {240, 116, 20}, {216, 64, 8}};
  for (int I = 0; I < 4; ++I) T[std::size_t(66 + I)] = Quad(Shell[I][0], Shell[I][1], Shell[I][2]);  // bombardment
  T[71] = Quad(255, 255, 150);   // supply route dots
  T[77] = Quad(190, 140, 30);    // the fourth major power's zones
  T[106] = Quad(255, 90, 90);    // hazardous sea
  T[124] = Quad(150, 180, 230);  // rain
  T[127] = Quad(70, 70, 70);     // the burnt-out core of an atomic blast
  T[MapColors::Ocean] = Quad(34, 70, 132);
  T[MapColors::Shallows] = Quad(60, 108, 170);
  T[144] = Quad(255, 160, 200);  // the eighth colour slot
  T[MapColors::SeaOutline] = Quad(150, 194, 245);  // outlines of sea zones
  T[244] = Quad(205, 205, 205);  // the minor nations' zones
  return T;
}

// Fills the polygon's pixels whose middles lie inside it (even-odd rule), as the zone map's
// own point test counts them.
void FillPolygon(TBitmap& B, const std::vector<TPoint>& P, std::uint8_t Color) {
  std::int32_t Top = P[0].Y, Bottom = P[0].Y;
  for (const TPoint& Q : P) {
    Top = std::min(Top, Q.Y);
    Bottom = std::max(Bottom, Q.Y);
  }
  Top = std::max(Top, 0);
  Bottom = std::min(Bottom, B.GetHeight());
  std::vector<double> Cross;
  for (std::int32_t Y = Top; Y < Bottom; ++Y) {
    const double YC = Y + 0.5;
    Cross.clear();
    for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++) {
      const TPoint A = P[J], C = P[I];
      if ((A.Y > YC) == (C.Y > YC)) continue;
      Cross.push_back(A.X + (YC - A.Y) * double(C.X - A.X) / double(C.Y - A.Y));
    }
    std::sort(Cross.begin(), Cross.end());
    std::uint8_t* Row = B.ScanLine(Y);
    for (std::size_t K = 0; K + 1 < Cross.size(); K += 2) {
      const auto X0 = std::max<std::int32_t>(0, std::int32_t(std::ceil(Cross[K] - 0.5)));
      const auto X1 = std::min<std::int32_t>(B.GetWidth(), std::int32_t(std::ceil(Cross[K + 1] - 0.5)));
      for (std::int32_t X = X0; X < X1; ++X) Row[X] = Color;
    }
  }
}

}  // namespace

const std::vector<TRGBQuad>& MapColorTable() {
  static const std::vector<TRGBQuad> Table = BuildColorTable();
  return Table;
}

TBitmap DrawWorld(const TWorldMap& World) {
  TBitmap B(World.Width, World.Height, 8);
  B.SetColorTable(MapColorTable());
  auto Canvas = TDIBCanvas::CreateFromBitmap(B);
  Canvas->Fill(MapColors::Ocean);
  // Shallow water along every coast: the land zones' edges that no other land zone shares.
  std::map<std::pair<std::pair<int, int>, std::pair<int, int>>, int> Count;
  auto Key = [](TPoint A, TPoint C) {
    const auto KA = std::make_pair(A.X, A.Y), KC = std::make_pair(C.X, C.Y);
    return KA < KC ? std::make_pair(KA, KC) : std::make_pair(KC, KA);
  };
  for (const TWorldZone& Z : World.Zones)
    if (!Z.Sea)
      for (std::size_t I = 0; I < Z.Points.size(); ++I) ++Count[Key(Z.Points[I], Z.Points[(I + 1) % Z.Points.size()])];
  Canvas->SetBrushColor(MapColors::Shallows);
  for (const TWorldZone& Z : World.Zones) {
    if (Z.Sea) continue;
    for (std::size_t I = 0; I < Z.Points.size(); ++I) {
      const TPoint A = Z.Points[I], C = Z.Points[(I + 1) % Z.Points.size()];
      if (Count[Key(A, C)] != 1) continue;
      const int Steps = std::max(std::abs(C.X - A.X), std::abs(C.Y - A.Y));
      for (int S = 0; S <= Steps; S += 2) {
        const double T = Steps ? double(S) / Steps : 0;
        Canvas->FillCircle(std::int32_t(std::lround(A.X + T * (C.X - A.X))), std::int32_t(std::lround(A.Y + T * (C.Y - A.Y))), 5);
      }
    }
  }
  for (std::size_t I = 0; I < World.Zones.size(); ++I) {
    const TWorldZone& Z = World.Zones[I];
    if (!Z.Sea) FillPolygon(B, Z.Points, std::uint8_t(BiomeBase(Z.Biome) + I % 3));
  }
  return B;
}

TMapSetFiles MakeMapSetFiles(const TWorldMap& World, const std::string& Name) {
  TMapSetFiles Files;
  const TBitmap Whole = DrawWorld(World);
  std::string Bitmaps, Elements;
  for (std::int32_t TY = 0; TY < World.Height; TY += World.TileHeight)
    for (std::int32_t TX = 0; TX < World.Width; TX += World.TileWidth) {
      const std::int32_t W = std::min(World.TileWidth, World.Width - TX), H = std::min(World.TileHeight, World.Height - TY);
      TBitmap Tile(W, H, 8);
      Tile.SetColorTable(MapColorTable());
      for (std::int32_t Y = 0; Y < H; ++Y) std::copy_n(Whole.ScanLine(TY + Y) + TX, W, Tile.ScanLine(Y));
      const std::string File = "maps/" + Name + "_" + std::to_string(Files.Tiles.size()) + ".bmp";
      Bitmaps += "Bitmap=" + File + "\r\n";
      Elements += "Element=" + File + ":" + std::to_string(TX) + "," + std::to_string(TY) + "\r\n";
      Files.Tiles.emplace_back(File, std::move(Tile));
    }
  Files.MapSet = Bitmaps + Elements;
  for (const TWorldZone& Z : World.Zones) {
    std::string Line = "Zone=";
    for (std::size_t I = 0; I < Z.Points.size(); ++I)
      Line += (I ? "," : "") + std::to_string(Z.Points[I].X) + "," + std::to_string(Z.Points[I].Y);
    Line += ";" + Z.Name + ";" + (Z.Sea ? "1" : "0") + ";";
    for (int N : Z.Neighbours) Line += std::to_string(N) + "#";
    Files.MapSet += Line + "\r\n";
  }
  for (const TWorldLink& L : World.Links)
    Files.MapSet += "Link=" + std::to_string(L.ZoneA) + "," + std::to_string(L.ZoneB) + "\r\n";
  Files.Owners = "# The land zones of the " + Name +
                 " map and their owners in 1939: zone;owner;1 for the owner's capital\r\n";
  for (const TWorldZone& Z : World.Zones)
    if (!Z.Sea) Files.Owners += Z.Name + ";" + Z.Owner + ";" + (Z.Capital ? "1" : "0") + "\r\n";
  return Files;
}
