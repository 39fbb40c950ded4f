#pragma once
// The Standard world on the game's map surface as a game shows it: the scenario and its map set
// from the program folder, every zone with the game's zone sprite and the icon sheets, 500 units,
// border defences, a few battles, two storms and ten blasts in the effects engine over the
// window. The frame benchmark and the map's picture test draw it.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/CurrentFolder.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "gamemap/GameMapHooks.h"
#include "sprites/BombBlastSprite.h"
#include "sprites/ColorPalette.h"
#include "sprites/FontLibrary.h"
#include "sprites/MapSet.h"
#include "sprites/StormSprite.h"
#include "sprites/ZoneSpriteSurface.h"

class TStandardScene {
public:
  class TQuietSink : public TChangeSink {
  public:
    bool IsHost() const override { return true; }
    bool IsActive() const override { return false; }
    void AddChange(const std::string&) override {}
  };

  static std::filesystem::path ProgramFolder() { return std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin"; }

  TStandardScene(std::int32_t Width, std::int32_t Height)
      : Fonts((ProgramFolder() / "fonts").string()), Surface(Fonts) {
    Surface.SetColorPalette(&Palette);
    Surface.SetBounds(0, 0, Width, Height);
    Surface.SetGridMarginTop(16);
    Surface.SetGridWidth(20);
    Surface.SetGridHeight(26);
    InstallGameZoneHooks(Surface, Engine);
    Engine.SetZoneMap(&Surface.GetZoneMap());
    Engine.SetChangeSink(&Sink);
    {
      const TCurrentFolder In(ProgramFolder());
      Engine.SetScenarioFile("Standard.brmscen");
      Surface.LoadMapSet(MapSetFileNamePart(Engine.GetMapSet()));
      Engine.LoadZoneData();
      Engine.PlaceInitialUnits();
    }
    Engine.SetAllComputer(true);
    TBrenmoorZoneSprite::LoadIconCanvasesFromFolder(ProgramFolder().string());
    AddUnits(500);
    AddBandsAndBattles();
    // The window over western Europe and the Atlantic.
    Surface.CenterOn(Surface.GetVirtualWidth() * 47 / 100, Surface.GetVirtualHeight() * 30 / 100);
    AddEffects();
  }
  ~TStandardScene() {
    TBrenmoorZoneSprite::ClearIconCanvases();
    Surface.Clear();
    Engine.SetZoneMap(nullptr);
  }
  TStandardScene(const TStandardScene&) = delete;
  TStandardScene& operator=(const TStandardScene&) = delete;

  // One frame of the game: a blast that burnt out is replaced by a new one, as the impulses
  // of a war keep bringing them, so the window always holds two storms and ten blasts.
  void RenderFrame() {
    const int Blasts = Effects.SpriteCount() - 2;
    for (int I = Blasts; I < 10; ++I) AddBlast(NextBlast++);
    Surface.RenderFrame();
  }

  TFontLibrary Fonts;
  TColorPalette Palette;
  TBrenmoorEngine Engine;
  TQuietSink Sink;
  TZoneSpriteSurface Surface;
  TSpriteEngine Effects;
  TStormSpriteFactory Storms;
  TBombBlastSpriteFactory Blasts;

private:
  // Units of every major power spread over the zones it owns and the seas beside them, until the
  // engine holds Count of them.
  void AddUnits(int Count) {
    int Next = 0;
    const int Zones = Engine.GetZoneCount();
    for (int I = 0; Engine.GetUnitCount() < Count && I < 100000; ++I) {
      TBrenmoorZone* Zone = Engine.GetZone((I * 37) % Zones);
      TNation* Owner = Zone->GetOwner();
      if (!Owner || !Owner->GetMajorPower()) continue;
      const bool Sea = (Next % 3) == 2 && Zone->NeighbourCount() > 0;
      TBrenmoorZone* At = Sea ? Zone->GetNeighbor(0) : Zone;
      const TUnitKind Kind = Sea && At->GetSea() ? ukNavy : (Next % 3 == 1 ? ukAirForce : ukArmy);
      TUnit* Unit = Engine.AddUnit(std::make_unique<TUnit>(Engine, Owner, Kind), At);
      const int First = Kind == ukNavy ? utTransport : Kind == ukAirForce ? utFighter : utArtillery;
      const int Types = Kind == ukNavy ? 6 : Kind == ukAirForce ? 3 : 4;
      const int Type = First + Next % Types;
      Unit->SetCount(Type, std::uint16_t(1 + Next % 9));
      if (Unit->IsTallied()) At->ChangeTally(Owner->GetMajorIndex(), Type, 1 + Next % 9);
      ++Next;
    }
  }
  void AddBandsAndBattles() {
    for (int I = 0; I < Engine.GetZoneCount(); ++I) {
      TBrenmoorZone* Zone = Engine.GetZone(I);
      if (Zone->GetSea() || Zone->NeighbourCount() == 0) continue;
      if (I % 3 == 0) Zone->SetBorderDefense(Zone->GetNeighbor(0), 1 + I % 4);
      if (I % 11 == 0) Zone->SetEmbattled(true);
    }
  }
  void AddEffects() {
    Effects.SetPriority(0);
    Effects.SetSpriteSurface(&Surface);
    SetGameStormSettings(Storms);
    Storms.SetSpriteSurface(&Surface);
    const std::int32_t X = Surface.GetOffsetX(), Y = Surface.GetOffsetY();
    for (TStormType Type : {stRain, stSnow}) {
      Storms.SetStormType(Type);
      TSprite* Storm = Effects.AddSprite(Storms.CreateSprite());
      Storm->SetX(float(X + (Type == stRain ? 200 : 900)));
      Storm->SetY(float(Y + 300));
    }
    Blasts.SetSpriteSurface(&Surface);
    for (; NextBlast < 10; ++NextBlast) AddBlast(NextBlast);
  }
  // Blast I of the scene's run: the five kinds in turn, at ten places over the window.
  void AddBlast(int I) {
    Blasts.SetSettings(GameBlastSettings(TBlastKind(I % BlastKindCount)));
    TSprite* Blast = Effects.AddSprite(Blasts.CreateSprite());
    Blast->SetX(float(Surface.GetOffsetX() + 150 + (I % 10) * 160));
    Blast->SetY(float(Surface.GetOffsetY() + 200 + (I % 3) * 250));
  }
  int NextBlast = 0;
};
