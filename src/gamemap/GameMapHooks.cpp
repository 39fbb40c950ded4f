#include "gamemap/GameMapHooks.h"

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "gamemap/BrenmoorZoneSprite.h"
#include "sprites/ZoneSpriteSurface.h"

void InstallGameZoneHooks(TZoneSpriteSurface& Surface, TBrenmoorEngine& Engine) {
  Surface.GetZoneMap().OnCreateZone = [&Engine](TZoneMap* Sender, std::unique_ptr<TZone>& AZone,
                                                const std::string& Text) { AZone = Engine.CreateZone(*Sender, Text); };
  Surface.OnCreateZoneSprite = [](TZoneSpriteSurface&, TZone* AZone, std::unique_ptr<TZoneSprite>& ASprite) {
    // Every zone of a game map is the engine's; a zone made otherwise keeps the plain sprite.
    if (auto* Game = dynamic_cast<TBrenmoorZone*>(AZone))
      ASprite = std::make_unique<TBrenmoorZoneSprite>(*Game);
    else
      ASprite = std::make_unique<TZoneSprite>(*AZone);
  };
}
