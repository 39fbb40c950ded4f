#pragma once
// What the map draws over its zones each frame, without any canvas: the selected zone's port
// link, the rocket target, the order lines of the units played here with their labels or
// squares, the air forces' base lines, the route being entered and the supply routes with
// their moving dots. The window draws the shapes in the order given. Computing them never
// changes the game: drawn end points are worked out locally.
#include <cstdint>
#include <string>
#include <vector>

#include "foundation/Geometry.h"
#include "sprites/Colors.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TUnit;

enum TOverlayPen : std::uint8_t { opSolid, opDot, opDash };

struct TOverlayLine {
  TPoint From;
  TPoint To;
  TColor Color = 0;
  TOverlayPen Pen = opSolid;
  friend bool operator==(const TOverlayLine&, const TOverlayLine&) = default;
};

// A label on a solid box of Color, centred across At with its top at At.Y (a selected unit's
// order), or a filled square of 5 x 5 around At (Filled) or a hollow one (the rocket target).
struct TOverlayMark {
  TPoint At;
  TColor Color = 0;
  std::string Label;
  bool Filled = true;
  friend bool operator==(const TOverlayMark&, const TOverlayMark&) = default;
};

// A supply route on the palette canvas: its line and the dots of this frame.
struct TSupplyRoute {
  TPoint From;
  TPoint To;
  std::vector<TPoint> Dots;
};

struct TOverlayShapes {
  // The port link's line and the port picture's top-left corner (HasPort).
  bool HasPort = false;
  TPoint PortIcon;
  // Lines and marks in drawing order (the marks of a line follow it).
  std::vector<TOverlayLine> Lines;
  std::vector<TOverlayMark> Marks;
  std::vector<TSupplyRoute> SupplyRoutes;
};

struct TOverlayView {
  std::int32_t OffsetX = 0;
  std::int32_t OffsetY = 0;
  std::int32_t VirtualWidth = 0;
  std::int32_t VirtualHeight = 0;
};

// The banner's font and the labels' font.
inline constexpr const char* BannerFont = "Imprint MT Shadow";
inline constexpr std::int32_t BannerFontSize = 22;
inline constexpr std::int32_t BannerShadowOffset = 2;
inline constexpr const char* LabelFont = "Arial";
inline constexpr std::int32_t LabelFontSize = 8;

// The colour a supply route is drawn in (palette index).
inline constexpr std::uint8_t SupplyRouteColorIndex = 71;
// Ends of a supply route are pulled this far toward each other; a dot every this many points.
inline constexpr std::int32_t SupplyRouteInset = 20;
inline constexpr std::int32_t SupplyDotSpacing = 20;

class TMapOverlay {
public:
  explicit TMapOverlay(const TBrenmoorEngine& Engine) : FEngine(&Engine) {}

  // The shapes of one frame. Phase is the animation phase of this frame (already decremented);
  // ShowOrders is the orders switch.
  TOverlayShapes Compute(const TBrenmoorZone* SelectedZone, const std::vector<TUnit*>& SelectedUnits,
                         const std::vector<TBrenmoorZone*>& RoutePoints, bool ShowOrders, const TOverlayView& View,
                         std::int32_t Phase) const;

  // The map point of a zone: its centre less the view's offset.
  static TPoint ZonePoint(const TBrenmoorZone* Zone, const TOverlayView& View);
  // Where an order line from Origin ends: Target's point, taken across a wrapping edge of the
  // map when that way is shorter.
  TPoint WrappedTarget(const TBrenmoorZone* Origin, const TBrenmoorZone* Target, const TOverlayView& View) const;
  // The zone an order line of the unit points at, or nullptr: the destination unit's zone for
  // an embarkation, an interception's target only while its zone is seen and it is not
  // submerged, else the destination zone.
  static const TBrenmoorZone* OrderTarget(const TUnit& Unit);
  // Where the banner's text cell starts: centred on the surface, halves rounded toward zero
  // (a text wider than the surface starts left of it). Its white copy is drawn 2 pixels right
  // and down of the navy one.
  static TPoint BannerPoint(std::int32_t SurfaceWidth, std::int32_t SurfaceHeight, std::int32_t TextWidth,
                            std::int32_t TextHeight);

private:
  void AddOrderLine(TOverlayShapes& Shapes, const TBrenmoorZone* Origin, const TBrenmoorZone* Target, bool Selected,
                    TColor Color, const char* Label, const TOverlayView& View) const;

  const TBrenmoorEngine* FEngine;
};
