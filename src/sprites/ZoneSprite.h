#pragma once
// The sprite of one zone of the map: its outline, drawn each frame 2 pixels inside the zone's
// corners in the zone's palette index (white and 2 pixels wide while the zone is selected),
// and the name of a land zone at its first corner. The map surface's zone engine owns the
// sprites; a zone only points to its own. The game's zone sprite derives from this one and
// draws the game's state over it (DrawOutline and DrawLabel are its hooks).
#include <cstdint>

#include "foundation/Geometry.h"
#include "sprites/Colors.h"
#include "sprites/SpriteEngine.h"
#include "sprites/ZoneMap.h"

class TZoneSprite : public TSprite {
public:
  // The label of a land zone.
  static constexpr const char* LabelFontName = "Arial";
  static constexpr std::int32_t LabelFontSize = 8;
  // The outline of a selected zone, drawn with the painter.
  static constexpr TColor SelectedColor = clWhite;
  static constexpr std::int32_t SelectedPenWidth = 2;
  // How far the outline lies inside the zone's corners, on each axis.
  static constexpr std::int32_t OutlineInset = 2;

  // The sprite of Zone, which must outlive it (the map surface frees a zone's sprite before
  // the zone). Not selected, at (0, 0).
  explicit TZoneSprite(TZone& Zone);

  // The zone's bounds (the sprite's position does not move them).
  void GetBoundsRect(TRect& R) const override;
  // DrawOutline, then DrawLabel, with the same canvases.
  void Render(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override;
  // The closed outline through every OutlinePoint: with the painter in white, pen width 2,
  // when Selected (the pen's width is 1 again afterwards), else on the DIB canvas in the
  // zone's GetColorIndex.
  virtual void DrawOutline(TCanvas& Canvas, TDIBCanvas& DIBCanvas);
  // A land zone (Sea 0) only: " name " in white "Arial" 8 on black at the first corner in
  // view coordinates (no inset, no sprite position). Afterwards the font is black and bold
  // and the brush is the palette colour of GetColorIndex, as a descendant's drawing expects.
  virtual void DrawLabel(TCanvas& Canvas, TDIBCanvas& DIBCanvas);

  TZone& GetZone() const { return *FZone; }
  bool GetSelected() const { return FSelected; }
  // Stores the value; the next frame shows it.
  void SetSelected(bool Value) { FSelected = Value; }

  // Outline point I in view coordinates: corner I moved 2 pixels toward the zone's centre on
  // each axis (X + 2 when X is left of CenterX, else X - 2; the same for Y), minus the
  // surface's offsets, plus the sprite's rounded position (0, 0 unless a descendant shakes
  // it). An index outside the corners raises EListError.
  TPoint OutlinePoint(int I) const;
  // The surface's offsets; 0 while the sprite is on no surface.
  std::int32_t SurfaceOffsetX() const;
  std::int32_t SurfaceOffsetY() const;

private:
  TZone* FZone;
  bool FSelected = false;
};
