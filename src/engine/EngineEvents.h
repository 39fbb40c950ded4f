#pragma once
// The game's events that the engine raises (each fired only when assigned, the engine as
// Sender; TBrenmoorEngine::Fire), for the windows, the players and the sound to follow the
// game.
#include <functional>
#include <string>

#include "engine/EngineTypes.h"

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;
class TRandomEvent;
class TStorm;
class TUnit;
class TZone;

using TEngineUnitEvent = std::function<void(TBrenmoorEngine* Sender, TUnit* AUnit)>;
using TEngineNationZoneEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TBrenmoorZone* AZone)>;
using TEngineNationsEvent = std::function<void(TBrenmoorEngine* Sender, TNation* Nation1, TNation* Nation2)>;
using TEngineNationEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation)>;
using TEngineStormEvent = std::function<void(TBrenmoorEngine* Sender, TStorm* AStorm)>;
using TEngineRandomEventEvent = std::function<void(TBrenmoorEngine* Sender, TRandomEvent* AnEvent)>;
// AGroup: the research group (0..7).
using TEngineResearchEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, int AGroup)>;
using TEngineUnitTypeEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TUnitType AUnitType)>;
using TEngineZoneEvent = std::function<void(TBrenmoorEngine* Sender, TZone* AZone)>;
using TEngineDiplomacyEvent = std::function<void(TBrenmoorEngine* Sender, TNation* ANation, TNation* TargetNation, int n)>;
using TEngineTextEvent = std::function<void(TBrenmoorEngine* Sender, const std::string& Text)>;

struct TEngineEvents {
  TEngineUnitEvent OnRemoveUnit;
  TEngineNationZoneEvent OnInvadeZone;
  TEngineNationZoneEvent OnConquerZone;
  TEngineStormEvent OnCreateStorm;
  TEngineStormEvent OnRemoveStorm;
  TEngineStormEvent OnMoveStorm;
  TEngineRandomEventEvent OnRandomEvent;
  TEngineNationsEvent OnConquerNation;
  TEngineResearchEvent OnUpgradeTech;
  TEngineUnitTypeEvent OnUpgradeUnitType;
  TEngineNationZoneEvent OnAtomicBomb;
  TEngineNationZoneEvent OnBombardZone;
  TEngineNationZoneEvent OnAirStrikeZone;
  TEngineNationZoneEvent OnRocketAttack;
  TEngineNationZoneEvent OnBombZone;
  TEngineZoneEvent OnReinforcement;
  TEngineNationsEvent OnDeclareWar;
  TEngineNationsEvent OnDeclareAllies;
  TEngineNationEvent OnAlliance;
  TEngineNationsEvent OnExileGovt;
  TEngineNationEvent OnCoup;
  TEngineDiplomacyEvent OnDiplomacy;
  TEngineTextEvent OnRemovePlayer;
  TEngineTextEvent OnPlayerSurrender;
  // A notice for the player that does not stop the load ("Zone x not found").
  std::function<void(TBrenmoorEngine* Sender, const std::string& Text)> OnMessage;
  // A note for whoever debugs a game, not for the player: a replayed change record that no
  // host writes was dropped.
  std::function<void(TBrenmoorEngine* Sender, const std::string& Text)> OnDebugNote;
};
