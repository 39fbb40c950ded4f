#include "MapCheck.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <sstream>

#include "foundation/CurrentFolder.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "sprites/Bitmap.h"
#include "sprites/Canvas.h"
#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"
#include "sprites/FontLibrary.h"
#include "sprites/ImageFiles.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"
#include "ZoneLabels.h"

namespace {

namespace fs = std::filesystem;


std::string Quoted(const TZone& Z) { return "zone " + std::to_string(Z.GetIndex()) + " \"" + Z.GetName() + "\""; }

int Orientation(TPoint A, TPoint B, TPoint C) {
  const std::int64_t V = std::int64_t(B.X - A.X) * (C.Y - A.Y) - std::int64_t(B.Y - A.Y) * (C.X - A.X);
  return V > 0 ? 1 : V < 0 ? -1 : 0;
}

bool OnSegment(TPoint A, TPoint B, TPoint P) {
  return std::min(A.X, B.X) <= P.X && P.X <= std::max(A.X, B.X) && std::min(A.Y, B.Y) <= P.Y && P.Y <= std::max(A.Y, B.Y);
}

bool SegmentsMeet(TPoint A, TPoint B, TPoint C, TPoint D) {
  const int O1 = Orientation(A, B, C), O2 = Orientation(A, B, D), O3 = Orientation(C, D, A), O4 = Orientation(C, D, B);
  if (O1 != O2 && O3 != O4) return true;
  return (O1 == 0 && OnSegment(A, B, C)) || (O2 == 0 && OnSegment(A, B, D)) || (O3 == 0 && OnSegment(C, D, A)) ||
         (O4 == 0 && OnSegment(C, D, B));
}

// Why the outline is not a simple polygon, or empty.
std::string SimplePolygonProblem(const std::vector<TPoint>& P) {
  const std::size_t N = P.size();
  for (std::size_t I = 0; I < N; ++I) {
    const TPoint A = P[I], B = P[(I + 1) % N], C = P[(I + 2) % N];
    if (A == B) return "corner " + std::to_string(I) + " repeats the one before it";
    // The next edge turning straight back along this one.
    if (N > 2 && Orientation(A, B, C) == 0 && ((B.X - A.X) * (C.X - B.X) + (B.Y - A.Y) * (C.Y - B.Y)) < 0)
      return "the edges at corner " + std::to_string((I + 1) % N) + " fold back on each other";
  }
  for (std::size_t I = 0; I < N; ++I)
    for (std::size_t J = I + 2; J < N; ++J) {
      if (I == 0 && J == N - 1) continue;  // neighbours through corner 0
      if (SegmentsMeet(P[I], P[(I + 1) % N], P[J], P[(J + 1) % N]))
        return "edges " + std::to_string(I) + " and " + std::to_string(J) + " cross or touch";
    }
  return {};
}

std::int64_t Area2(const std::vector<TPoint>& P) {
  std::int64_t S = 0;
  for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++)
    S += std::int64_t(P[J].X) * P[I].Y - std::int64_t(P[I].X) * P[J].Y;
  return S;
}

// Adds 1 to the count of every pixel whose middle lies inside the polygon.
void CountPixels(std::vector<std::uint8_t>& Count, int W, int H, const std::vector<TPoint>& P) {
  int Top = P[0].Y, Bottom = P[0].Y;
  for (const TPoint& Q : P) {
    Top = std::min(Top, Q.Y);
    Bottom = std::max(Bottom, Q.Y);
  }
  std::vector<double> Cross;
  for (int Y = std::max(Top, 0); Y < std::min(Bottom, H); ++Y) {
    const double YC = Y + 0.5;
    Cross.clear();
    for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++) {
      if ((P[J].Y > YC) == (P[I].Y > YC)) continue;
      Cross.push_back(P[J].X + (YC - P[J].Y) * double(P[I].X - P[J].X) / double(P[I].Y - P[J].Y));
    }
    std::sort(Cross.begin(), Cross.end());
    for (std::size_t K = 0; K + 1 < Cross.size(); K += 2) {
      const int X0 = std::max(0, int(std::ceil(Cross[K] - 0.5)));
      const int X1 = std::min(W, int(std::ceil(Cross[K + 1] - 0.5)));
      for (int X = X0; X < X1; ++X) {
        std::uint8_t& C = Count[std::size_t(Y) * std::size_t(W) + std::size_t(X)];
        if (C < 255) ++C;
      }
    }
  }
}

double Distance(const TRGBQuad& A, const TRGBQuad& B) {
  const double R = A.Red - B.Red, G = A.Green - B.Green, Bl = A.Blue - B.Blue;
  return std::sqrt(R * R + G * G + Bl * Bl);
}

std::string ReadAll(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

struct TLoaded {
  TMapSet Set;
  std::vector<TBitmap> Bitmaps;
};

void SetupMap(TZoneMap& Map, const TMapCheckOptions& O) {
  Map.SetColorIndexLand(62);
  Map.SetColorIndexSea(156);
  Map.SetGridMarginTop(O.GridMarginTop);
  Map.SetGridWidth(O.GridWidth);
  Map.SetGridHeight(O.GridHeight);
}

// The background as the map surface shows it: each element's bitmap at its place, the first
// Element line on top.
TBitmap AssembleBackground(const TMapSet& Set, const std::vector<TBitmap>& Bitmaps, TMapExtent Extent) {
  TBitmap Whole(Extent.Width, Extent.Height, 8);
  if (!Bitmaps.empty()) Whole.SetColorTable(Bitmaps[0].GetColorTable());
  for (int E = Set.ElementCount() - 1; E >= 0; --E) {
    const TMapSetRecord& R = Set.GetElement(E);
    const TBitmap& B = Bitmaps[std::size_t(R.Bitmap)];
    for (int Y = 0; Y < B.GetHeight(); ++Y) {
      const int WY = R.Y + Y;
      if (WY < 0 || WY >= Whole.GetHeight()) continue;
      for (int X = 0; X < B.GetWidth(); ++X) {
        const int WX = R.X + X;
        if (WX >= 0 && WX < Whole.GetWidth()) Whole.ScanLine(WY)[WX] = B.ScanLine(Y)[X];
      }
    }
  }
  return Whole;
}

}  // namespace

TMapCheckResult CheckMapSet(const std::string& Folder, const std::string& MapSetName, const TMapCheckOptions& O) {
  TMapCheckResult Result;
  auto& Problems = Result.Problems;
  TCurrentFolder Current(Folder);

  // The text itself: every Zone line's fields as the game cuts them.
  const std::string Text = ReadAll(MapSetName);
  if (Text.empty()) {
    Problems.push_back("The map set \"" + MapSetName + "\" is missing or empty");
    return Result;
  }

  TZoneMap Map;
  SetupMap(Map, O);
  TMapSet Set;
  try {
    Set = LoadZoneMapFromFile(Map, MapSetName);
  } catch (const std::exception& E) {
    Problems.push_back(std::string("The game cannot load the map set: ") + E.what());
    return Result;
  }

  // Zone lines: the polygon's numbers come in pairs, the name is clean ASCII, the sea value is
  // 0 or 1 and the neighbour text names zones of the map.
  std::set<std::string> Names;
  for (int I = 0; I < Set.ZoneCount(); ++I) {
    const TMapSetRecord& R = Set.GetZone(I);
    const std::string Where = "Line " + std::to_string(R.Line) + " (zone " + std::to_string(I) + ")";
    std::string Rest = R.Value;
    const std::string Polygon = NextToken(Rest, ";");
    const std::string Name = NextToken(Rest, ";");
    const std::string Sea = NextToken(Rest, ";");
    std::string Neighbours = NextToken(Rest, ";");
    if (!Rest.empty()) Problems.push_back(Where + ": text after the neighbours");
    int Numbers = 0;
    for (std::string P = Polygon; !P.empty();) {
      const std::string N = NextToken(P, ",");
      if (!TryStrToInt(N)) Problems.push_back(Where + ": corner value \"" + N + "\" is no integer");
      ++Numbers;
    }
    if (Numbers % 2) Problems.push_back(Where + ": the corners end in a lone number");
    if (Name.empty()) Problems.push_back(Where + ": the zone has no name");
    for (char C : Name)
      if (C < 32 || C > 126 || std::string(";,~#=|%").find(C) != std::string::npos) {
        Problems.push_back(Where + ": the name \"" + Name + "\" holds the character '" + std::string(1, C) + "'");
        break;
      }
    if (!Name.empty() && (Name.front() == ' ' || Name.back() == ' '))
      Problems.push_back(Where + ": the name \"" + Name + "\" starts or ends with a space");
    if (!Names.insert(Name).second) Problems.push_back(Where + ": the name \"" + Name + "\" is used twice");
    if (Sea != "0" && Sea != "1") Problems.push_back(Where + ": the sea value \"" + Sea + "\" is neither 0 nor 1");
    while (!Neighbours.empty()) {
      const std::string N = NextToken(Neighbours, "#");
      const auto V = TryStrToInt(N);
      if (!V || *V < 0 || *V >= Set.ZoneCount() || *V == I)
        Problems.push_back(Where + ": neighbour \"" + N + "\" names no other zone");
    }
  }
  // Link lines name zones of earlier lines only (the reader checks this; a link must also join
  // two different zones).
  for (int I = 0; I < Set.LinkCount(); ++I) {
    const TMapSetRecord& R = Set.GetLink(I);
    if (R.ZoneA == R.ZoneB) Problems.push_back("Line " + std::to_string(R.Line) + ": a link joins a zone to itself");
    int Before = 0;
    for (int Z = 0; Z < Set.ZoneCount(); ++Z)
      if (Set.GetZone(Z).Line < R.Line) ++Before;
    if (R.ZoneA >= Before || R.ZoneB >= Before || R.ZoneA < 0 || R.ZoneB < 0)
      Problems.push_back("Line " + std::to_string(R.Line) + ": a link names a zone of a later line");
  }

  // The extent and the tiles.
  const TMapExtent Extent = Map.GetExtent();
  Result.Width = Extent.Width;
  Result.Height = Extent.Height;
  if (Extent.Width < O.MinWidth)
    Problems.push_back("The map is " + std::to_string(Extent.Width) + " pixels wide; storms need at least " +
                       std::to_string(O.MinWidth));
  std::vector<TBitmap> Bitmaps;
  for (int I = 0; I < Set.BitmapCount(); ++I) {
    try {
      Bitmaps.push_back(TBitmap::LoadFromFile(Set.GetBitmap(I).FileName));
    } catch (const std::exception& E) {
      Problems.push_back(E.what());
      return Result;
    }
  }
  if (Bitmaps.empty()) {
    Problems.push_back("The map set names no bitmap");
    return Result;
  }
  for (std::size_t I = 0; I < Bitmaps.size(); ++I) {
    if (Bitmaps[I].GetBitsPerPixel() != 8) Problems.push_back(Set.GetBitmap(int(I)).Value + " is not of 8 bits per pixel");
    for (int C = 10; C < 246; ++C)
      if (!(Bitmaps[I].GetColor(C) == Bitmaps[0].GetColor(C))) {
        Problems.push_back(Set.GetBitmap(int(I)).Value + ": palette entry " + std::to_string(C) + " differs from " +
                           Set.GetBitmap(0).Value + "'s");
        break;
      }
  }
  const TBitmap Whole = AssembleBackground(Set, Bitmaps, Extent);

  // Zones: geometry, neighbours, slots.
  const int W = Extent.Width, H = Extent.Height;
  std::vector<std::uint8_t> Cover(std::size_t(std::max(W, 0)) * std::size_t(std::max(H, 0)), 0);
  std::map<std::pair<std::pair<int, int>, std::pair<int, int>>, std::vector<TZone*>> Edges;
  std::set<int> LandColors, SeaColors;
  Result.FewestLandSlots = 1 << 30;
  for (int I = 0; I < Map.ZoneCount(); ++I) {
    TZone& Z = *Map.GetZone(I);
    (Z.GetSea() ? Result.SeaZones : Result.LandZones)++;
    const auto& P = Z.GetPoints();
    const std::string Simple = SimplePolygonProblem(P);
    if (!Simple.empty()) Problems.push_back(Quoted(Z) + " is no simple polygon: " + Simple);
    if (Area2(P) == 0) Problems.push_back(Quoted(Z) + " has no area");
    for (const TPoint& Q : P)
      if (Q.X < 0 || Q.Y < 0 || Q.X > W || Q.Y > H) {
        Problems.push_back(Quoted(Z) + " reaches outside the map");
        break;
      }
    for (std::size_t K = 0; K < P.size(); ++K) {
      const TPoint A = P[K], B = P[(K + 1) % P.size()];
      const auto KA = std::make_pair(A.X, A.Y), KB = std::make_pair(B.X, B.Y);
      Edges[KA < KB ? std::make_pair(KA, KB) : std::make_pair(KB, KA)].push_back(&Z);
    }
    if (W > 0 && H > 0) CountPixels(Cover, W, H, P);
    if (!Z.GetSea()) {
      if (Z.GridPointCount() < O.MinLandSlots)
        Problems.push_back(Quoted(Z) + " has " + std::to_string(Z.GridPointCount()) + " unit slots; a land zone needs " +
                           std::to_string(O.MinLandSlots));
      if (Z.GridPointCount() < Result.FewestLandSlots) {
        Result.FewestLandSlots = Z.GridPointCount();
        Result.FewestSlotsZone = Z.GetName();
      }
    }
    // The neighbour list: symmetric and without repeats.
    std::set<TZone*> Seen;
    for (TZone* N : Z.GetNeighbours()) {
      if (!Seen.insert(N).second) Problems.push_back(Quoted(Z) + " lists " + Quoted(*N) + " twice");
      if (!N->IsNeighbour(&Z)) Problems.push_back(Quoted(Z) + " has " + Quoted(*N) + " as neighbour but not the other way");
    }
  }
  // The pixels of every zone, and the art under each kind of zone.
  if (W > 0 && H > 0) {
    long Gaps = 0, Overlaps = 0;
    TPoint FirstGap{-1, -1}, FirstOverlap{-1, -1};
    for (int Y = 0; Y < H; ++Y)
      for (int X = 0; X < W; ++X) {
        const std::uint8_t C = Cover[std::size_t(Y) * std::size_t(W) + std::size_t(X)];
        if (C == 0 && Gaps++ == 0) FirstGap = {X, Y};
        if (C > 1 && Overlaps++ == 0) FirstOverlap = {X, Y};
        const std::uint8_t Pixel = Whole.ScanLine(Y)[X];
        if (Pixel < 10 || Pixel > 245) {
          Problems.push_back("The background uses the static palette entry " + std::to_string(Pixel) + " at (" +
                             std::to_string(X) + "," + std::to_string(Y) + ")");
          Y = H;
          break;
        }
      }
    if (Gaps)
      Problems.push_back(std::to_string(Gaps) + " pixels lie in no zone, the first at (" + std::to_string(FirstGap.X) +
                         "," + std::to_string(FirstGap.Y) + ")");
    if (Overlaps)
      Problems.push_back(std::to_string(Overlaps) + " pixels lie in more than one zone, the first at (" +
                         std::to_string(FirstOverlap.X) + "," + std::to_string(FirstOverlap.Y) + ")");
    for (int I = 0; I < Map.ZoneCount(); ++I) {
      const TZone& Z = *Map.GetZone(I);
      const TRect& B = Z.GetBounds();
      for (int Y = std::max(B.Top, 0); Y < std::min(B.Bottom, H); Y += 3)
        for (int X = std::max(B.Left, 0); X < std::min(B.Right, W); X += 3)
          if (Z.ContainsPoint({X, Y})) (Z.GetSea() ? SeaColors : LandColors).insert(Whole.ScanLine(Y)[X]);
    }
  }
  // Zones that share an edge are neighbours; a neighbour that shares no edge came from a link.
  std::map<std::pair<TZone*, TZone*>, bool> Shared;
  for (const auto& [E, Users] : Edges) {
    if (Users.size() > 2) Problems.push_back("An edge is shared by more than two zones, one of them " + Quoted(*Users[0]));
    if (Users.size() == 2) {
      Shared[{Users[0], Users[1]}] = Shared[{Users[1], Users[0]}] = true;
      if (!Users[0]->IsNeighbour(Users[1]))
        Problems.push_back(Quoted(*Users[0]) + " and " + Quoted(*Users[1]) + " share an edge but are no neighbours");
    }
    if (Users.size() == 1 && !Users[0]->GetSea()) {
      const bool Frame = (E.first.first == E.second.first && (E.first.first == 0 || E.first.first == W)) ||
                         (E.first.second == E.second.second && (E.first.second == 0 || E.first.second == H));
      if (!Frame)
        Problems.push_back(Quoted(*Users[0]) + " has a coast at (" + std::to_string(E.first.first) + "," +
                           std::to_string(E.first.second) + ") that faces no sea zone");
    }
  }
  std::set<std::pair<TZone*, TZone*>> Linked;
  for (int I = 0; I < Map.LinkCount(); ++I) {
    Linked.insert({Map.GetLink(I)->GetZoneA(), Map.GetLink(I)->GetZoneB()});
    Linked.insert({Map.GetLink(I)->GetZoneB(), Map.GetLink(I)->GetZoneA()});
  }
  Result.Links = Map.LinkCount();
  for (int I = 0; I < Map.ZoneCount(); ++I) {
    TZone* Z = Map.GetZone(I);
    for (TZone* N : Z->GetNeighbours())
      if (!Shared.count({Z, N}) && !Linked.count({Z, N}))
        Problems.push_back(Quoted(*Z) + " has " + Quoted(*N) + " as neighbour without a shared edge or a link");
  }
  // One connected graph.
  if (Map.ZoneCount() > 0) {
    std::vector<TZone*> Queue{Map.GetZone(0)};
    std::set<TZone*> Reached{Map.GetZone(0)};
    for (std::size_t Q = 0; Q < Queue.size(); ++Q)
      for (TZone* N : Queue[Q]->GetNeighbours())
        if (Reached.insert(N).second) Queue.push_back(N);
    for (int I = 0; I < Map.ZoneCount(); ++I)
      if (!Reached.count(Map.GetZone(I))) {
        Problems.push_back(Quoted(*Map.GetZone(I)) + " cannot be reached from " + Quoted(*Map.GetZone(0)));
        break;
      }
  }
  // The palette entries the game draws with: coloured (not the neutral grey the palette starts
  // with), and the outlines standing out from the art they are drawn on.
  const TBitmap& First = Bitmaps[0];
  // 10-23 and 66-69 blasts (16 also a major power), 62 and 156 outlines, 71 supply routes, 77 and 144
  // major powers, 106 hazardous seas, 124 rain, 127 the atomic core, 244 the minor nations.
  const int GameEntries[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 62, 66, 67, 68, 69, 71, 77, 106, 124, 127, 144, 156, 244};
  for (int C : GameEntries) {
    const TRGBQuad Q = First.GetColor(C);
    if (Q.Red == C && Q.Green == C && Q.Blue == C)
      Problems.push_back("Palette entry " + std::to_string(C) + ", which the game draws with, is left grey");
  }
  auto Contrast = [&](int Entry, const std::set<int>& Under, const char* What) {
    for (int C : Under)
      if (Distance(First.GetColor(Entry), First.GetColor(C)) < 80)
        Problems.push_back("The " + std::string(What) + " outline colour " + std::to_string(Entry) +
                           " is too close to the background colour " + std::to_string(C));
  };
  Contrast(62, LandColors, "land");
  Contrast(156, SeaColors, "sea");
  if (Result.FewestLandSlots == 1 << 30) Result.FewestLandSlots = 0;
  return Result;
}

void WriteMapPicture(const std::string& Folder, const std::string& MapSetName, const std::string& FontsFolder,
                     const std::string& PngFile) {
  const fs::path Png = fs::absolute(PngFile);
  TFontLibrary Fonts(FontsFolder);
  TZoneMap Map;
  SetupMap(Map, TMapCheckOptions{});
  TMapSet Set;
  std::vector<TBitmap> Bitmaps;
  {
    TCurrentFolder Current(Folder);
    Set = LoadZoneMapFromFile(Map, MapSetName);
    for (int I = 0; I < Set.BitmapCount(); ++I) Bitmaps.push_back(TBitmap::LoadFromFile(Set.GetBitmap(I).FileName));
  }
  if (Bitmaps.empty()) throw EMapSet("The map set names no bitmap");
  const TMapExtent Extent = Map.GetExtent();
  TBitmap Whole = AssembleBackground(Set, Bitmaps, {(Extent.Width + 3) / 4 * 4, Extent.Height});
  TColorPalette Palette;
  Palette.SetFromBitmap(Bitmaps[0]);
  auto Dib = TDIBCanvas::CreateFromBitmap(Whole);
  TCanvas Canvas(Dib.get(), &Palette, Fonts);
  // Outlines as the zone sprite draws them: each corner 2 pixels in toward the zone's middle.
  for (int I = Map.ZoneCount() - 1; I >= 0; --I) {
    const TZone& Z = *Map.GetZone(I);
    Dib->SetPenColor(Z.GetColorIndex());
    auto Inset = [&](TPoint P) {
      return TPoint{P.X < Z.GetCenterX() ? P.X + 2 : P.X - 2, P.Y < Z.GetCenterY() ? P.Y + 2 : P.Y - 2};
    };
    const TPoint Start = Inset(Z.Point(0));
    Dib->MoveTo(Start.X, Start.Y);
    for (int K = 1; K < Z.PointCount(); ++K) {
      const TPoint P = Inset(Z.Point(K));
      Dib->LineTo(P.X, P.Y);
    }
    Dib->LineTo(Start.X, Start.Y);
  }
  for (int I = 0; I < Map.ZoneCount(); ++I) {
    const TZone& Z = *Map.GetZone(I);
    Dib->SetBrushColor(Z.GetSea() ? 156 : 0);
    for (int K = 0; K < Z.GridPointCount(); ++K) {
      TPoint P;
      Z.GetGridPoint(K, P);
      Dib->FillCircle(P.X + 10, P.Y + 8, 1);
    }
  }
  // Names: land zones as the game labels them, sea zones in light blue at their middles.
  Canvas.Font().SetName("Arial");
  Canvas.Font().SetSize(8);
  for (int I = 0; I < Map.ZoneCount(); ++I) {
    const TZone& Z = *Map.GetZone(I);
    const std::string Label = " " + Z.GetName() + " ";
    if (Z.GetSea()) {
      Canvas.Brush().SetStyle(bsClear);
      Canvas.Font().SetColor(PaletteIndexColor(156));
      Canvas.TextOut(Z.GetCenterX() - Canvas.TextWidth(Label) / 2, Z.GetCenterY() - 6, Label);
    } else {
      Canvas.Brush().SetColor(clBlack);
      Canvas.Brush().SetStyle(bsSolid);
      Canvas.Font().SetColor(clWhite);
      Canvas.TextOut(Z.Point(0).X, Z.Point(0).Y, Label);
    }
  }
  fs::create_directories(Png.parent_path());
  SaveCanvasToPng(*Dib, &Palette, Png.string());
}

TLabelReport CheckLabels(const std::string& Folder, const std::string& MapSetName, const std::string& FontsFolder) {
  const fs::path Dir(Folder);
  const std::string Text = ReadAll((Dir / MapSetName).string());
  if (Text.empty()) throw EMapSet("The map set \"" + (Dir / MapSetName).string() + "\" is missing or empty");
  TZoneMap Map;
  LoadZoneMap(Map, TMapSet::Parse(Text, MapSetName));
  // The capitals and their owners from the owners' side file beside the tiles, when there is one.
  std::map<std::string, bool> CapitalIcon;
  const std::string Stem = fs::path(MapSetName).stem().string();
  std::istringstream Owners(ReadAll((Dir / "maps" / (Stem + ".owners.txt")).string()));
  for (std::string Line; std::getline(Owners, Line);) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.empty() || Line[0] == '#') continue;
    std::string Rest = Line;
    const std::string Zone = NextToken(Rest, ";");
    const std::string Owner = NextToken(Rest, ";");
    CapitalIcon[Zone] = ShowsCapitalIcon(Owner, Rest == "1");
  }
  std::vector<TLabelZone> Zones;
  for (int I = 0; I < Map.ZoneCount(); ++I) {
    const TZone& Z = *Map.GetZone(I);
    if (Z.GetSea()) continue;
    const auto It = CapitalIcon.find(Z.GetName());
    Zones.push_back({I, Z.GetName(), Z.GetPoints(), It != CapitalIcon.end() && It->second});
  }
  TLabelMeasure Measure(FontsFolder);
  return MeasureLabels(Zones, Measure);
}
