#pragma once
// The map's sprite surface: a sprite surface that holds a map set. It owns the zone map (the
// zones, links, grid and path search of TZoneMap), the background engine (Priority 101: one
// compressed bitmap sprite per Element line, drawn first), the zone engine (Priority 100: one
// zone sprite per zone, drawn over the background), the sprite factories of the Bitmap lines,
// and a small preview of the whole map for the navigator. A press of the mouse over a zone
// becomes a zone click.
//
// Drawing order: every element and zone sprite has Z 0 and a sprite added to an engine goes
// before those of equal Z, so the element of the last Element line is drawn first and that of
// the first Element line last, on top of the others; the preview is drawn in the same order,
// and so are the zone outlines.
//
// Loading a map set is all or nothing. The file is read and parsed, the zones are made and
// linked and their grid built in a map of their own, every bitmap is decoded and compressed
// into its factory, the element sprites, the zone sprites and the preview are made: only then
// are the old sprites, factories and zones dropped and the new ones put in their place. A
// file that cannot be used raises an error naming the file (and its line) and leaves the map
// that was there whole.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sprites/Bitmap.h"
#include "sprites/CompressedBitmapSprite.h"
#include "sprites/MapSet.h"
#include "sprites/SpriteEngine.h"
#include "sprites/SpriteSurface.h"
#include "sprites/ZoneMap.h"
#include "sprites/ZoneSprite.h"

class TColorPalette;
class TFontLibrary;
class TZoneSpriteSurface;

// Sender is the surface, AZone the zone that is to get the sprite; ASprite is empty on entry
// and must be set to a new TZoneSprite, or a descendant, of AZone. During a load the hook
// runs before the zones join the surface (so that a hook that fails leaves the old map
// whole): AZone is whole then, but its GetIndex is -1 until the load completes.
using TZoneSpriteEvent = std::function<void(TZoneSpriteSurface& Sender, TZone* AZone, std::unique_ptr<TZoneSprite>& ASprite)>;
// Sender is the surface, AZone the zone under the mouse.
using TZoneClickEvent = std::function<void(TZoneSpriteSurface& Sender, TZone* AZone)>;

// One Bitmap line: its value text and the factory of its compressed picture.
struct TMapFactory {
  std::string Text;
  std::unique_ptr<TCompressedBitmapSpriteFactory> Factory;
};

// One Element line: its bitmap text and its sprite (owned by the background engine; the
// sprite's Data is its factory).
struct TMapElement {
  std::string BitmapText;
  TSprite* Sprite = nullptr;
};

// The preview of a map set (TZoneSpriteSurface::GetPreview) of Width x Height from its
// records and its decoded bitmaps (one per Bitmap line, in order). Without bitmaps its
// colours are Palette's (black without one).
std::unique_ptr<TBitmap> MakeMapPreview(std::int32_t Width, std::int32_t Height, const TMapSet& Set,
                                        const std::vector<TBitmap>& Bitmaps, const TColorPalette* Palette);

class TZoneSpriteSurface : public TSpriteSurface {
public:
  static constexpr std::int32_t BackgroundPriority = 101;
  static constexpr std::int32_t ZonePriority = 100;

  // An empty map on a surface that uses its virtual size; preview 0 x 0 until it is given a
  // size. The painter takes its glyphs from Fonts (the program's by default).
  TZoneSpriteSurface();
  explicit TZoneSpriteSurface(TFontLibrary& Fonts);
  // Clears the map set: sprites, zones, links, factories.
  ~TZoneSpriteSurface() override;

  // The zones, links, grid and paths. The map's OnZoneAdded and OnClear are the surface's own
  // (they give every zone its sprite and drop the sprites before their zones go); its
  // OnCreateZone and OnPathCost are the game's hooks.
  TZoneMap& GetZoneMap() { return FMap; }
  const TZoneMap& GetZoneMap() const { return FMap; }
  int ZoneCount() const { return FMap.ZoneCount(); }
  TZone* GetZone(int I) const { return FMap.GetZone(I); }
  int LinkCount() const { return FMap.LinkCount(); }
  TLink* GetLink(int I) const { return FMap.GetLink(I); }
  void FindPath(TZone* ZoneA, TZone* ZoneB) { FMap.FindPath(ZoneA, ZoneB); }
  int PathCount() const { return FMap.PathCount(); }
  TZone* GetPathZone(int I) const { return FMap.GetPathZone(I); }
  std::int32_t PathCost() { return FMap.PathCost(); }

  // The map's outline colours and grid steps (they take effect at the next load).
  std::uint16_t GetColorIndexLand() const { return FMap.GetColorIndexLand(); }
  void SetColorIndexLand(std::uint16_t Value) { FMap.SetColorIndexLand(Value); }
  std::uint16_t GetColorIndexSea() const { return FMap.GetColorIndexSea(); }
  void SetColorIndexSea(std::uint16_t Value) { FMap.SetColorIndexSea(Value); }
  std::int32_t GetGridMarginTop() const { return FMap.GetGridMarginTop(); }
  void SetGridMarginTop(std::int32_t Value) { FMap.SetGridMarginTop(Value); }
  std::int32_t GetGridWidth() const { return FMap.GetGridWidth(); }
  void SetGridWidth(std::int32_t Value) { FMap.SetGridWidth(Value); }
  std::int32_t GetGridHeight() const { return FMap.GetGridHeight(); }
  void SetGridHeight(std::int32_t Value) { FMap.SetGridHeight(Value); }

  // The map set's name as it was last loaded ("" before the first load).
  const std::string& GetMapSetFile() const { return FMapSetFile; }
  // Loads the map set (LoadMapSet) unless the new name's file-name part (after the last "\",
  // "/" or ":") is exactly that of the current name: a file of the same name in another
  // folder, or the same file changed, loads nothing.
  void SetMapSetFile(const std::string& Value);
  // Loads the map set whatever its name (see above). Raises EMapSet naming the file for a
  // missing file, and naming the line for a line that cannot be used or a bitmap that cannot
  // be read; EFlickwing "ColorPalette property must be assigned" for a map set with Bitmap
  // lines on a surface without a palette. Nothing changes when it raises. On success the
  // palette takes entries 10 to 245 from each bitmap in turn, the virtual size becomes the
  // map's extent, and one frame is drawn (when the surface can draw: an 8-bit surface needs
  // its palette).
  void LoadMapSet(const std::string& FileName);

  // The size of the preview the next load makes.
  std::int32_t GetPreviewWidth() const { return FPreviewWidth; }
  void SetPreviewWidth(std::int32_t Value) { FPreviewWidth = Value; }
  std::int32_t GetPreviewHeight() const { return FPreviewHeight; }
  void SetPreviewHeight(std::int32_t Value) { FPreviewHeight = Value; }
  // The whole map scaled to PreviewWidth x PreviewHeight at 8 bits with the colours of the
  // first Bitmap line's picture: each element stretched to (Round(X sx), Round(Y sy)),
  // Round(width sx) + 1 by Round(height sy) + 1 pixels (sx, sy the preview's size over the
  // map's, halves rounded to even), in drawing order. A map without elements (extent 0)
  // leaves it black; without Bitmap lines its colours are the surface palette's (black
  // without one). Empty (0 x 0) while either size is below 1.
  const TBitmap& GetPreview() const { return *FPreview; }

  // The Visible of the background and of the zone engine.
  bool GetShowBackground() const { return FBackgroundEngine->GetVisible(); }
  void SetShowBackground(bool Value) { FBackgroundEngine->SetVisible(Value); }
  bool GetShowZones() const { return FZoneEngine->GetVisible(); }
  void SetShowZones(bool Value) { FZoneEngine->SetVisible(Value); }

  // CenterOn the zone's centre; nothing for nullptr.
  void CenterOnZone(const TZone* Zone);
  // The surface's own mouse event first; then, when OnZoneClick is assigned, the first zone
  // in list order whose bounds (right and bottom edges excluded) and polygon hold the
  // virtual point goes to it. Any button counts; no zone, no event.
  void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) override;

  // Adds a zone made by code: it joins the zone list and gets its sprite at once.
  TZone* AddZone(std::unique_ptr<TZone> Zone) { return FMap.AddZone(std::move(Zone)); }
  // Frees every sprite, link, zone and factory; the map set's name and size stay.
  void Clear();

  TSpriteEngine& GetBackgroundEngine() { return *FBackgroundEngine; }
  TSpriteEngine& GetZoneEngine() { return *FZoneEngine; }
  const std::vector<TMapFactory>& GetFactories() const { return FFactories; }
  const std::vector<TMapElement>& GetElements() const { return FElements; }

  TZoneSpriteEvent OnCreateZoneSprite;
  TZoneClickEvent OnZoneClick;

private:
  // A new sprite for the zone: OnCreateZoneSprite's when assigned (raises EZoneMap "The zone
  // sprite creation handler gave no sprite" when it gives none), else a plain TZoneSprite.
  std::unique_ptr<TZoneSprite> CreateZoneSprite(TZone& Zone);
  // The map's OnZoneAdded: the zone gets the sprite made for it during the load, or a new one.
  void ZoneAdded(TZone* Zone);

  // Declared first so that it goes last: the engines and their sprites go before the zones.
  TZoneMap FMap;
  std::unique_ptr<TSpriteEngine> FBackgroundEngine;
  std::unique_ptr<TSpriteEngine> FZoneEngine;
  std::vector<TMapFactory> FFactories;
  std::vector<TMapElement> FElements;
  std::unique_ptr<TBitmap> FPreview;
  std::string FMapSetFile;
  std::int32_t FPreviewWidth = 0;
  std::int32_t FPreviewHeight = 0;
  // While a load hands its zones over: the sprites made for them, in zone order.
  std::vector<std::unique_ptr<TZoneSprite>>* FStagedSprites = nullptr;
  std::size_t FNextStagedSprite = 0;
};
