#include "sprites/ZoneSpriteSurface.h"

#include <algorithm>
#include <limits>

#include "foundation/ListError.h"
#include "foundation/Rounding.h"
#include "sprites/ColorPalette.h"
#include "sprites/FontLibrary.h"

TZoneSpriteSurface::TZoneSpriteSurface() : TZoneSpriteSurface(TFontLibrary::Default()) {}

TZoneSpriteSurface::TZoneSpriteSurface(TFontLibrary& Fonts)
    : TSpriteSurface(Fonts),
      FBackgroundEngine(std::make_unique<TSpriteEngine>()),
      FZoneEngine(std::make_unique<TSpriteEngine>()),
      FPreview(std::make_unique<TBitmap>()) {
  SetUseVirtualSize(true);
  FBackgroundEngine->SetPriority(BackgroundPriority);
  FZoneEngine->SetPriority(ZonePriority);
  FBackgroundEngine->SetSpriteSurface(this);
  FZoneEngine->SetSpriteSurface(this);
  FMap.OnZoneAdded = [this](TZoneMap*, TZone* Zone) { ZoneAdded(Zone); };
  // The zone sprites point to their zones: they go first.
  FMap.OnClear = [this](TZoneMap*) { FZoneEngine->Clear(); };
}

TZoneSpriteSurface::~TZoneSpriteSurface() {
  Clear();
  FMap.OnZoneAdded = nullptr;
  FMap.OnClear = nullptr;
}

std::unique_ptr<TZoneSprite> TZoneSpriteSurface::CreateZoneSprite(TZone& Zone) {
  std::unique_ptr<TZoneSprite> Sprite;
  if (!OnCreateZoneSprite) return std::make_unique<TZoneSprite>(Zone);
  OnCreateZoneSprite(*this, &Zone, Sprite);
  if (!Sprite) throw EZoneMap("The zone sprite creation handler gave no sprite");
  return Sprite;
}

void TZoneSpriteSurface::ZoneAdded(TZone* Zone) {
  std::unique_ptr<TZoneSprite> Sprite;
  if (FStagedSprites && FNextStagedSprite < FStagedSprites->size() &&
      &(*FStagedSprites)[FNextStagedSprite]->GetZone() == Zone)
    Sprite = std::move((*FStagedSprites)[FNextStagedSprite++]);
  else
    Sprite = CreateZoneSprite(*Zone);
  Zone->SetZoneSprite(Sprite.get());
  FZoneEngine->AddSprite(std::move(Sprite));
}

void TZoneSpriteSurface::Clear() {
  FBackgroundEngine->Clear();
  FZoneEngine->Clear();
  FElements.clear();
  FMap.Clear();
  FFactories.clear();
}

void TZoneSpriteSurface::SetMapSetFile(const std::string& Value) {
  if (MapSetFileNamePart(Value) == MapSetFileNamePart(FMapSetFile)) return;
  LoadMapSet(Value);
}

std::unique_ptr<TBitmap> MakeMapPreview(std::int32_t Width, std::int32_t Height, const TMapSet& Set,
                                        const std::vector<TBitmap>& Bitmaps, const TColorPalette* Palette) {
  const TMapExtent Extent = Set.GetExtent();
  if (Width < 1 || Height < 1) return std::make_unique<TBitmap>();
  auto Preview = std::make_unique<TBitmap>(Width, Height, 8);
  if (!Bitmaps.empty()) {
    Preview->SetColorTable(Bitmaps.front().GetColorTable());
  } else if (Palette) {
    std::vector<TRGBQuad> Table(256);
    for (int I = 0; I < 256; ++I) {
      const TPaletteEntry E = Palette->ColorOf(I);
      Table[std::size_t(I)] = {E.Blue, E.Green, E.Red, 0};
    }
    Preview->SetColorTable(std::move(Table));
  }
  // A map without elements has no size to scale by: the preview stays black.
  if (Extent.Width <= 0 || Extent.Height <= 0) return Preview;
  const double SX = double(Width) / Extent.Width, SY = double(Height) / Extent.Height;
  auto Clamp = [](std::int64_t V) {
    return std::int32_t(std::clamp<std::int64_t>(V, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  };
  // The engine's drawing order: the last Element line first.
  for (int I = Set.ElementCount() - 1; I >= 0; --I) {
    const TMapSetRecord& E = Set.GetElement(I);
    if (E.Bitmap < 0 || std::size_t(E.Bitmap) >= Bitmaps.size()) throw EListError::IndexOutOfBounds(E.Bitmap);
    const TBitmap& B = Bitmaps[std::size_t(E.Bitmap)];
    // The sprite's rounded position: the place as a float, as the sprite holds it.
    const std::int32_t X = RoundHalfEven32(double(float(E.X))), Y = RoundHalfEven32(double(float(E.Y)));
    const std::int64_t Left = RoundHalfEven(X * SX), Top = RoundHalfEven(Y * SY);
    const TRect Dest{Clamp(Left), Clamp(Top), Clamp(Left + RoundHalfEven(B.GetWidth() * SX) + 1),
                     Clamp(Top + RoundHalfEven(B.GetHeight() * SY) + 1)};
    Preview->StretchDraw(Dest, B);
  }
  return Preview;
}

void TZoneSpriteSurface::LoadMapSet(const std::string& FileName) {
  // Everything that can fail, into temporaries.
  const TMapSet Set = TMapSet::LoadFromFile(FileName);
  if (Set.BitmapCount() > 0 && !GetColorPalette()) throw EFlickwing("ColorPalette property must be assigned");
  std::unique_ptr<TZoneMap> Staged = StageZoneMap(FMap, Set);
  const TMapExtent Extent = Staged->GetExtent();

  std::vector<TBitmap> Bitmaps;
  std::vector<TMapFactory> Factories;
  Bitmaps.reserve(std::size_t(Set.BitmapCount()));
  for (int I = 0; I < Set.BitmapCount(); ++I) {
    const TMapSetRecord& R = Set.GetBitmap(I);
    try {
      Bitmaps.push_back(TBitmap::LoadFromFile(R.FileName));
      auto Factory = std::make_unique<TCompressedBitmapSpriteFactory>();
      Factory->SetBitmap(&Bitmaps.back());
      Factories.push_back({R.Value, std::move(Factory)});
    } catch (const EBrenmoor& E) {
      throw Set.LineError(R.Line, E.what());
    }
  }

  std::vector<std::unique_ptr<TSprite>> Sprites;
  std::vector<TMapElement> Elements;
  for (int I = 0; I < Set.ElementCount(); ++I) {
    const TMapSetRecord& E = Set.GetElement(I);
    TCompressedBitmapSpriteFactory* Factory = Factories[std::size_t(E.Bitmap)].Factory.get();
    std::unique_ptr<TSprite> Sprite = Factory->CreateSprite();
    Sprite->SetX(float(E.X));
    Sprite->SetY(float(E.Y));
    Sprite->SetData(Factory);
    Elements.push_back({E.BitmapText, Sprite.get()});
    Sprites.push_back(std::move(Sprite));
  }

  std::vector<std::unique_ptr<TZoneSprite>> ZoneSprites;
  for (int I = 0; I < Staged->ZoneCount(); ++I) ZoneSprites.push_back(CreateZoneSprite(*Staged->GetZone(I)));

  std::unique_ptr<TBitmap> Preview = MakeMapPreview(FPreviewWidth, FPreviewHeight, Set, Bitmaps, GetColorPalette());

  // The whole map set is there: the old one goes and the new one takes its place.
  FBackgroundEngine->Clear();
  FZoneEngine->Clear();
  FElements.clear();
  FStagedSprites = &ZoneSprites;
  FNextStagedSprite = 0;
  FMap.ReplaceWith(*Staged);
  FStagedSprites = nullptr;
  FFactories = std::move(Factories);
  FElements = std::move(Elements);
  for (TMapFactory& F : FFactories) F.Factory->SetSpriteSurface(this);
  for (std::unique_ptr<TSprite>& Sprite : Sprites) FBackgroundEngine->AddSprite(std::move(Sprite));
  FPreview = std::move(Preview);
  FMapSetFile = FileName;
  SetVirtualWidth(Extent.Width);
  SetVirtualHeight(Extent.Height);
  for (const TBitmap& B : Bitmaps) GetColorPalette()->SetFromBitmap(B);
  Bitmaps.clear();

  // The new map on the screen; the back buffer takes the new colours.
  if (GetBitDepth() == bd8 && !GetColorPalette()) return;
  if (Set.BitmapCount() > 0)
    RebuildFrame();
  else
    RenderFrame();
}

void TZoneSpriteSurface::CenterOnZone(const TZone* Zone) {
  if (Zone) CenterOn(Zone->GetCenterX(), Zone->GetCenterY());
}

void TZoneSpriteSurface::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  TSpriteSurface::MouseDown(Button, Shift, X, Y);
  if (!OnZoneClick) return;
  auto Clamp = [](std::int64_t V) {
    return std::int32_t(std::clamp<std::int64_t>(V, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
  };
  const TPoint P{Clamp(std::int64_t(X) + GetOffsetX()), Clamp(std::int64_t(Y) + GetOffsetY())};
  if (TZone* Zone = FMap.FindZoneAt(P)) OnZoneClick(*this, Zone);
}
