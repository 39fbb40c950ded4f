#pragma once
// The rules between nations: the diplomatic actions, the conquest of a whole nation with its
// government in exile, a player's surrender, convoys of merchant ships, the free-for-all
// start and the random drift of a relation.
#include <cstdint>
#include <string>

#include "engine/BrenmoorEngine.h"
#include "engine/DiplomacyTypes.h"

class TDiplomacyRules {
public:
  explicit TDiplomacyRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TDiplomacyRules(const TDiplomacyRules&) = delete;
  TDiplomacyRules& operator=(const TDiplomacyRules&) = delete;

  // Spends one diplomatic action of Nation (change 35) and carries out Action (a
  // TDiplomaticAction) against Target; another action value spends the action only.
  void DiplomaticAction(TNation* Nation, TNation* Target, int Action);
  // The conquest of a whole nation; Annex for a minor that joins a major peacefully. Draws on
  // the host: the exile host and the units caught near the capital; then ApplyConquest and
  // change 33; after a conquest by arms the conquered's friends turn on the conqueror.
  // Nothing for a nation that is missing or dead.
  void ConquerNation(TNation* Conqueror, TNation* Conquered, bool Annex);
  // The state change of a conquest, the same on every machine (change 33): Conquered dies, its
  // zones go to the exile host or the conqueror, the units caught (UnitList: identifiers each
  // followed by "#") to the conqueror and the rest to the host or the conqueror.
  void ApplyConquest(TNation* Conqueror, TNation* Conquered, TNation* ExileHost, bool Annex, const std::string& UnitList);
  // Every zone of From becomes To's; nothing when To is nullptr.
  void TransferZones(const TNation* From, TNation* To);
  // The player surrenders or leaves: every unit of the living major powers he plays goes out
  // of the game (their zones stay theirs); the impulse users mark him removed;
  // OnPlayerSurrender. The order stage writes change 56 before it.
  void RemovePlayer(const std::string& PlayerName);
  // The engine's player names := the distinct player names of the living human-played major
  // powers, in nation order; returns how many there are.
  int CollectPlayerNames();
  // Ships Zone's whole 5.0 resources as Merchant Ships from its port zone (else its first sea
  // neighbour) towards its supply source (change 57). A zone with neither sea zone, or with
  // less than 5.0 resources, ships nothing: nullptr.
  TUnit* LaunchConvoy(TBrenmoorZone* Zone);
  // The replay of change 57: the convoy that the host launched from Zone.
  TUnit* ReplayConvoy(TBrenmoorZone* Zone, std::int32_t Ships, float Resources, TBrenmoorZone* Place);
  // Every major power against every other (on the machine that runs the rules): the flag,
  // attack without war, no alliance, relations -100 (change 58, then the relation records). A
  // machine whose change sink is a guest's decides nothing (false): the host's record brings it.
  bool StartFreeForAll();
  // The state part of the free-for-all start (the replay of change 58): the flag, attack
  // without war and no alliance for every major power, -100 between a dead major and every
  // other major (the living pairs follow in the host's relation records).
  void ApplyFreeForAll();
  // The number of major powers alive.
  int GetLivingNationCount() const;
  // FreeForAllMayGoOn for this game: not all-computer, at least two major powers alive.
  bool CanContinueFreeForAll() const;
  // Every major power's Tag := its total industry (at the game's end).
  void StoreIndustryTotals();
  // A random shift of A's relation to B by up to Amount, damped by B's Value5, held to
  // -100..100 (64-bit arithmetic: any 32-bit amount is safe). Does nothing without both
  // nations, for A = B and at -100 or 100. True when the relation changed, so that a caller
  // that drifts until a bound is reached can stop when nothing moves.
  bool DriftRelation(TNation* A, TNation* B, std::int64_t Amount);

private:
  // A draw 0..99 below the nation's Countdown.
  bool PercentChance(const TNation* Nation);

  TBrenmoorEngine& FEngine;
};
