#pragma once
// A computer player: a script that plays one major power through the game functions of the
// script module. At the start of every run it looks up its nation and the units that nation
// sees; a unit's place in that list is its script unit index for the run.
#include <cstdint>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "script/Script.h"

class TBrenmoorBrain : public TScript {
public:
  TBrenmoorBrain() = default;

  // The nation slot the brain plays (0..6).
  std::int32_t GetPlayerIndex() const { return FPlayerIndex; }
  void SetPlayerIndex(std::int32_t Value) { FPlayerIndex = Value; }
  TBrenmoorEngine* GetBrenmoorEngine() const { return FEngine; }
  void SetBrenmoorEngine(TBrenmoorEngine* Engine) { FEngine = Engine; }

  // Runs the script for the player: Prepare, then the script (compiled first when it is
  // not). The result is the script's.
  bool Execute();
  // Looks up the player (the nation of PlayerIndex) and the units it sees, in the engine's
  // list order, after dropping from the player's private store what it kept on units that
  // have gone. The turn calls it before compiling too, so that constants that call game
  // functions read this player's game.
  void Prepare();

  // The nation of the run (nullptr before the first run).
  TNation* GetPlayer() const { return FPlayer; }
  std::int32_t UnitCount() const { return static_cast<std::int32_t>(FSeenUnits.size()); }
  // Unit I of the seen-unit list; an index outside raises EListError.
  TUnit* GetUnit(std::int32_t I) const;
  // The unit's script index, -1 when it is not in the list (also for nullptr).
  std::int32_t IndexOfUnit(const TUnit* Unit) const;

private:
  // A store entry named by a unit's identifier (as IntToStr writes it) belongs to that unit:
  // identifiers are never given again, so the entries of units that are gone are dropped, and
  // the store does not grow with every unit the game ever had.
  void ForgetGoneUnits();

  std::int32_t FPlayerIndex = 0;
  TBrenmoorEngine* FEngine = nullptr;
  TNation* FPlayer = nullptr;
  std::vector<TUnit*> FSeenUnits;
};
