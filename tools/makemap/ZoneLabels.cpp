#include "ZoneLabels.h"

#include <algorithm>
#include <limits>

namespace {

// A pixel of a label that covers another label weighs as much as this many pixels of the
// label off its zone: labels keep clear of each other wherever a corner allows it.
constexpr std::int64_t OverlapWeight = 10;
// Passes in which every zone chooses its corner again among all the other labels.
constexpr int RefinePasses = 4;

// The label's font as the zone sprite sets it.
constexpr const char* LabelFont = "Small Fonts";
constexpr std::int32_t LabelFontSize = 7;

// Exact products of the point test: doubled 32-bit coordinates need 34 bits.
using TWide = __int128;

struct TCrossing {
  std::int64_t AX, AY, BX, BY;
};

TRect BoundsOf(const std::vector<TPoint>& P) {
  TRect B{std::numeric_limits<std::int32_t>::max(), std::numeric_limits<std::int32_t>::max(),
          std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::min()};
  for (const TPoint& Q : P) {
    B.Left = std::min(B.Left, Q.X);
    B.Top = std::min(B.Top, Q.Y);
    B.Right = std::max(B.Right, Q.X);
    B.Bottom = std::max(B.Bottom, Q.Y);
  }
  return B;
}

// The edges that cross the horizontal line through the middles of pixel row Y, doubled so
// that the middles have odd coordinates (the zone map's own point test).
void RowCrossings(const std::vector<TPoint>& P, std::int32_t Y, std::vector<TCrossing>& Out) {
  Out.clear();
  const std::int64_t PY = 2 * std::int64_t(Y) + 1;
  for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++) {
    const std::int64_t AY = 2 * std::int64_t(P[J].Y), BY = 2 * std::int64_t(P[I].Y);
    if ((AY > PY) == (BY > PY)) continue;
    Out.push_back({2 * std::int64_t(P[J].X), AY, 2 * std::int64_t(P[I].X), BY});
  }
}

// Whether the middle of pixel (X, Y) lies inside, given the crossings of its row: as
// TZone::ContainsPoint counts them.
bool InsideRow(const std::vector<TCrossing>& Row, std::int32_t X, std::int32_t Y) {
  const std::int64_t PX = 2 * std::int64_t(X) + 1, PY = 2 * std::int64_t(Y) + 1;
  bool Inside = false;
  for (const TCrossing& C : Row) {
    const TWide Left = TWide(PX - C.AX) * TWide(C.BY - C.AY);
    const TWide Right = TWide(PY - C.AY) * TWide(C.BX - C.AX);
    if (C.BY > C.AY ? Left < Right : Left > Right) Inside = !Inside;
  }
  return Inside;
}

std::int64_t PixelsInside(const std::vector<TPoint>& Polygon, const TRect& Box) {
  if (Polygon.size() < 3 || Box.IsEmpty()) return 0;
  std::vector<TCrossing> Row;
  std::int64_t Count = 0;
  for (std::int32_t Y = Box.Top; Y < Box.Bottom; ++Y) {
    RowCrossings(Polygon, Y, Row);
    if (Row.empty()) continue;
    for (std::int32_t X = Box.Left; X < Box.Right; ++X) Count += InsideRow(Row, X, Y) ? 1 : 0;
  }
  return Count;
}

// The slots of the grid whose rows start below a first corner at height FirstY.
int SlotsFrom(const std::vector<TPoint>& P, const TRect& B, std::int32_t FirstY, const TSlotGrid& G) {
  if (G.Width < 1 || G.Height < 1) return 0;
  std::int64_t Y = std::int64_t(FirstY) + G.MarginTop;
  if (Y < B.Top) Y += (std::int64_t(B.Top) - Y + G.Height - 1) / G.Height * G.Height;
  int Count = 0;
  std::vector<TCrossing> Row;
  for (; Y < std::int64_t(B.Bottom) - G.Height; Y += G.Height) {
    RowCrossings(P, std::int32_t(Y), Row);
    for (std::int64_t X = B.Left; X < std::int64_t(B.Right) - G.Width; X += G.Width)
      Count += InsideRow(Row, std::int32_t(X), std::int32_t(Y)) ? 1 : 0;
  }
  return Count;
}

std::int64_t Area2(const std::vector<TPoint>& P) {
  std::int64_t S = 0;
  for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++)
    S += std::int64_t(P[J].X) * P[I].Y - std::int64_t(P[I].X) * P[J].Y;
  return S < 0 ? -S : S;
}

std::int64_t BoxArea(const TRect& B) { return B.IsEmpty() ? 0 : std::int64_t(B.Width()) * B.Height(); }

}  // namespace

TLabelMeasure::TLabelMeasure(const std::string& FontsFolder) : FFonts(FontsFolder) {}

TLabelSize TLabelMeasure::Size(const std::string& Name, bool CapitalIcon) {
  TFontFace& Face = FFonts.GetFace(LabelFont, false, TFontLibrary::PointsToPixels(LabelFontSize));
  TLabelSize S;
  S.Width = Face.TextWidth(" " + Name + " ") + Face.TextWidth(" 00 ") + Face.TextWidth(" R00 ");
  S.Height = Face.GetHeight();
  if (CapitalIcon) {
    S.Width += CapitalIconWidth;
    S.Height = std::max(S.Height, CapitalIconHeight);
  }
  return S;
}

bool ShowsCapitalIcon(const std::string& Owner, bool Capital) {
  if (!Capital) return false;
  for (const char* Major : {"Germany", "Italy", "Japan", "United Kingdom", "France", "USSR", "United States"})
    if (Owner == Major) return true;
  return false;
}

TRect LabelBox(TPoint Corner, TLabelSize Size) {
  return {Corner.X, Corner.Y, Clamp32(std::int64_t(Corner.X) + Size.Width), Clamp32(std::int64_t(Corner.Y) + Size.Height)};
}

double ShareInside(const std::vector<TPoint>& Polygon, const TRect& Box) {
  const std::int64_t Area = BoxArea(Box);
  return Area ? double(PixelsInside(Polygon, Box)) / double(Area) : 0.0;
}

std::int64_t OverlapArea(const TRect& A, const TRect& B) {
  const TRect I{std::max(A.Left, B.Left), std::max(A.Top, B.Top), std::min(A.Right, B.Right), std::min(A.Bottom, B.Bottom)};
  return BoxArea(I);
}

int SlotCount(const std::vector<TPoint>& Polygon, const TSlotGrid& Grid) {
  if (Polygon.size() < 3) return 0;
  return SlotsFrom(Polygon, BoundsOf(Polygon), Polygon[0].Y, Grid);
}

void PlaceLabels(TWorldMap& World, TLabelMeasure& Measure, int MinSlots, const TSlotGrid& Grid) {
  std::vector<std::size_t> Order;
  for (std::size_t I = 0; I < World.Zones.size(); ++I)
    if (!World.Zones[I].Sea && World.Zones[I].Points.size() >= 3) Order.push_back(I);
  std::vector<std::int64_t> Areas(World.Zones.size(), 0);
  for (std::size_t I : Order) Areas[I] = Area2(World.Zones[I].Points);
  std::stable_sort(Order.begin(), Order.end(), [&](std::size_t A, std::size_t B) { return Areas[A] < Areas[B]; });

  struct TPlacement {
    TLabelSize Size;
    TRect Bounds;
    int Need = 0;
    bool Placed = false;
    TRect Box;
  };
  std::vector<TPlacement> Labels(World.Zones.size());
  for (std::size_t I : Order) {
    const TWorldZone& Z = World.Zones[I];
    TPlacement& L = Labels[I];
    L.Size = Measure.Size(Z.Name, ShowsCapitalIcon(Z.Owner, Z.Capital));
    L.Bounds = BoundsOf(Z.Points);
    L.Need = std::min(MinSlots, SlotsFrom(Z.Points, L.Bounds, Z.Points[0].Y, Grid));
  }
  // The corner whose box holds the most pixels of the zone, less OverlapWeight times those
  // that cover another label placed so far (every candidate box of a zone has the same area,
  // so pixels compare as shares do); ties keep the earlier corner.
  auto Choose = [&](std::size_t I) {
    TWorldZone& Z = World.Zones[I];
    TPlacement& L = Labels[I];
    std::vector<TPoint>& P = Z.Points;
    std::size_t Best = 0;
    std::int64_t BestScore = std::numeric_limits<std::int64_t>::min();
    for (std::size_t K = 0; K < P.size(); ++K) {
      if (SlotsFrom(P, L.Bounds, P[K].Y, Grid) < L.Need) continue;
      const TRect Box = LabelBox(P[K], L.Size);
      std::int64_t Score = PixelsInside(P, Box);
      for (std::size_t J : Order)
        if (J != I && Labels[J].Placed) Score -= OverlapWeight * OverlapArea(Box, Labels[J].Box);
      if (Score > BestScore) {
        BestScore = Score;
        Best = K;
      }
    }
    std::rotate(P.begin(), P.begin() + std::ptrdiff_t(Best), P.end());
    L.Box = LabelBox(P[0], L.Size);
    L.Placed = true;
    return Best != 0;
  };
  // Greedy from the smallest zone, then a few passes in which each zone chooses again among
  // all the others' labels, until none moves.
  for (std::size_t I : Order) Choose(I);
  for (int Pass = 0; Pass < RefinePasses; ++Pass) {
    bool Moved = false;
    for (std::size_t I : Order) Moved = Choose(I) || Moved;
    if (!Moved) break;
  }
}

TLabelReport MeasureLabels(const std::vector<TLabelZone>& Zones, TLabelMeasure& Measure) {
  TLabelReport R;
  std::vector<TRect> Boxes;
  for (const TLabelZone& Z : Zones)
    Boxes.push_back(Z.Points.empty() ? TRect{} : LabelBox(Z.Points[0], Measure.Size(Z.Name, Z.CapitalIcon)));
  for (std::size_t I = 0; I < Zones.size(); ++I) {
    TLabelFit Fit;
    Fit.Zone = Zones[I].Zone;
    Fit.Name = Zones[I].Name;
    Fit.BoxPixels = BoxArea(Boxes[I]);
    Fit.InsidePixels = PixelsInside(Zones[I].Points, Boxes[I]);
    Fit.Inside = Fit.BoxPixels ? double(Fit.InsidePixels) / double(Fit.BoxPixels) : 0.0;
    for (std::size_t J = 0; J < Zones.size(); ++J)
      if (J != I && OverlapArea(Boxes[I], Boxes[J]) > 0) {
        Fit.Overlaps.push_back(Zones[J].Zone);
        if (J > I) ++R.OverlapPairs;
      }
    // At least 90%, counted in whole pixels so that no rounding decides it.
    if (Fit.BoxPixels > 0 && Fit.InsidePixels * 10 >= Fit.BoxPixels * 9) ++R.WellInside;
    R.Zones.push_back(std::move(Fit));
  }
  return R;
}
