#pragma once
// Where the land zones' labels stand. The game draws a land zone's label from the zone's first
// corner rightwards and down: the capital icon of a major power's capital, " name ",
// " industry " and " R resources ", one after the other in "Small Fonts" at size 7. The map
// compiler turns each land zone's corner list (the same polygon, started at another corner) so
// that this box lies inside its zone and clear of the labels of other zones as far as it can;
// the validator measures how well the labels of a map set sit.
//
// The box is measured with the game's own font library. Industry and resources change in a
// game, so the box carries two digits for each, which most zones show at most.
#include <cstdint>
#include <string>
#include <vector>

#include "WorldSource.h"
#include "foundation/Geometry.h"
#include "sprites/FontLibrary.h"

// The game's grid of unit slots: the first row this far below a zone's first corner, then
// steps across and down (as the map surface builds it).
struct TSlotGrid {
  std::int32_t MarginTop = 16;
  std::int32_t Width = 20;
  std::int32_t Height = 26;
};

// The width and height of a zone's label.
struct TLabelSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

class TLabelMeasure {
public:
  // The capital icon, one icon cell.
  static constexpr std::int32_t CapitalIconWidth = 20;
  static constexpr std::int32_t CapitalIconHeight = 16;

  // Measures with the faces of the font table in FontsFolder (raises EFontLibrary when it
  // cannot be read).
  explicit TLabelMeasure(const std::string& FontsFolder);
  // The label of a zone called Name, with the capital icon in front when CapitalIcon.
  TLabelSize Size(const std::string& Name, bool CapitalIcon);

private:
  TFontLibrary FFonts;
};

// Whether the game draws the capital icon in front of the zone's label at the start: the zone
// is the capital of one of the seven major powers of 1939.
bool ShowsCapitalIcon(const std::string& Owner, bool Capital);

// The box of a label of the given size drawn at Corner.
TRect LabelBox(TPoint Corner, TLabelSize Size);

// The share (0 to 1) of the box's pixels whose middles lie inside the polygon.
double ShareInside(const std::vector<TPoint>& Polygon, const TRect& Box);

// The pixels two boxes share.
std::int64_t OverlapArea(const TRect& A, const TRect& B);

// The unit slots the game's grid finds in the polygon, its rows starting below corner 0.
int SlotCount(const std::vector<TPoint>& Polygon, const TSlotGrid& Grid = {});

// Turns every land zone's corner list so that its first corner is where its label sits best:
// the most of the box inside the zone, with a heavy penalty for covering another label,
// keeping at least MinSlots unit slots (or as many as the zone had, if fewer). Zones choose
// from the smallest to the largest, as the small ones have the fewest good places, then choose
// again among all the others' labels for a few passes; ties keep the earlier corner, so a
// label that sits well already stays where it is. Sea zones keep their corners.
void PlaceLabels(TWorldMap& World, TLabelMeasure& Measure, int MinSlots = 3, const TSlotGrid& Grid = {});

// How one land zone's label sits on a map set: the share of its box inside the zone and the
// other land zones whose labels it overlaps.
struct TLabelFit {
  int Zone = 0;
  std::string Name;
  double Inside = 0;
  // The box's pixels and those of them inside the zone.
  std::int64_t BoxPixels = 0;
  std::int64_t InsidePixels = 0;
  // Whole percent inside, rounded down.
  int Percent() const { return BoxPixels > 0 ? int(InsidePixels * 100 / BoxPixels) : 0; }
  std::vector<int> Overlaps;
};

struct TLabelReport {
  std::vector<TLabelFit> Zones;
  // Land zones with at least 90% of the label inside, and pairs of overlapping labels.
  int WellInside = 0;
  int OverlapPairs = 0;
};

// One land zone of a map set: its name, corners as stored, and whether it shows the capital
// icon.
struct TLabelZone {
  int Zone = 0;
  std::string Name;
  std::vector<TPoint> Points;
  bool CapitalIcon = false;
};

TLabelReport MeasureLabels(const std::vector<TLabelZone>& Zones, TLabelMeasure& Measure);
