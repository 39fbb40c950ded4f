#pragma once
// The saved game's map set loader for the window: the map surface that owns the zone map the
// engine is linked to. A saved game whose scenario names another map set reloads it here.
#include <string>

#include "engine/BrenmoorEngine.h"
#include "sprites/ZoneSpriteSurface.h"

class TSurfaceMapSetLoader : public TBrenmoorEngine::TMapSetLoader {
public:
  explicit TSurfaceMapSetLoader(TZoneSpriteSurface& Surface) : FSurface(&Surface) {}
  std::string GetMapSetFile() const override { return FSurface->GetMapSetFile(); }
  void SetMapSetFile(const std::string& FileName) override { FSurface->SetMapSetFile(FileName); }

private:
  TZoneSpriteSurface* FSurface;
};
