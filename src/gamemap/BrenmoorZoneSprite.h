#pragma once
// The sprite of a game zone on the map: the zone sprite of the map surface bound to the rules
// engine's zone, drawing the game's state over the outline each frame. An embattled zone's
// outline shakes by up to a pixel; borders with a border defence carry a band of blocks, denser
// for higher levels; a land zone's label gives its name, industry and resources; the zone's
// grid slots fill with icons (factories, rich resources, port, airfield, rocket site and every
// nation's unit tallies), with "[more]" under the last slot when they run out.
//
// The icons come from seven icon sheets shared by every zone sprite (LoadIconCanvases): cells
// of 20 x 16 pixels, copied opaque into the frame. Only texts use the painter.
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "sprites/Bitmap.h"
#include "sprites/ZoneSprite.h"

class TBrenmoorZone;
class TCanvas;
class TDIBCanvas;

// The icon sheets in the order LoadIconCanvases takes them.
enum TIconSheet : std::uint8_t {
  isFactories,
  isRichResources,
  isTallies,
  isCapital,
  isPort,
  isAirfield,
  isRocketSite,
  IconSheetCount
};

class TBrenmoorZoneSprite : public TZoneSprite {
public:
  static constexpr std::int32_t CellWidth = 20;
  static constexpr std::int32_t CellHeight = 16;
  // The labels' and counts' font.
  static constexpr const char* FontName = "Small Fonts";
  static constexpr std::int32_t FontSize = 7;
  // A count stands this far below its slot; "[more]" this far below the last slot.
  static constexpr std::int32_t CountDrop = 15;
  static constexpr std::int32_t MoreDrop = 20;

  // The sprite of the game zone, which must outlive it.
  explicit TBrenmoorZoneSprite(TBrenmoorZone& Zone);

  // The icon sheets from seven pictures, in TIconSheet order (each copied: the pictures need
  // not stay). Each width must be a multiple of 4 and 8 bits per pixel (else EDIBCanvas /
  // EInvalidWidth, and the sheets stay as they were); each sheet's transparent colour is its
  // picture's bottom-left pixel.
  static void LoadIconCanvases(const std::array<const TBitmap*, IconSheetCount>& Images);
  // The seven sheets from the artwork of the program folder (GameArt::IconSheets under
  // Folder); raises EBitmap naming a file that cannot be read.
  static void LoadIconCanvasesFromFolder(const std::string& Folder);
  // Forgets the sheets: zones draw no icons (their counts and labels still show).
  static void ClearIconCanvases();
  // Sheet I, or nullptr before the sheets are loaded.
  static const TDIBCanvas* IconCanvas(TIconSheet Sheet);

  TBrenmoorZone& GetGameZone() const { return *FGameZone; }

  // The owner's colour; the outline shaken by Random(3) - 1 on each axis (the effects'
  // generator) while the zone is embattled; then the border-defence bands.
  void DrawOutline(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override;
  // The land zone's label, then the icons in the grid slots and "[more]".
  void DrawLabel(TCanvas& Canvas, TDIBCanvas& DIBCanvas) override;

  // Points walked between two blocks of a border-defence band: (5 - level) x 5 for levels 1
  // to 4; a level outside them draws as the nearest of them (a damaged or a future value
  // never gives a step of 0 or less).
  static std::int32_t BandStep(std::int32_t Level);

private:
  void DrawBands(TDIBCanvas& DIBCanvas);
  void DrawZoneLabel(TCanvas& Canvas, TDIBCanvas& DIBCanvas, bool Visible);
  void DrawIcons(TCanvas& Canvas, TDIBCanvas& DIBCanvas, bool Visible);

  TBrenmoorZone* FGameZone;
};
