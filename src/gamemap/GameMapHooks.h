#pragma once
// The map surface's two creation hooks for a game: every zone of the map set becomes a zone of
// the rules engine, and every such zone gets the game's zone sprite. The main window installs
// them before it loads a scenario's map set.
class TBrenmoorEngine;
class TZoneSpriteSurface;

// Sets the surface's zone map's OnCreateZone (a TBrenmoorZone of Engine) and the surface's
// OnCreateZoneSprite (a TBrenmoorZoneSprite of that zone). Engine must outlive the surface's
// zones.
void InstallGameZoneHooks(TZoneSpriteSurface& Surface, TBrenmoorEngine& Engine);
