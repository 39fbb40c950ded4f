// A saved game from anywhere (a file, or the text a host sends to a player who joins): it
// loads or is refused with the engine's error, and a game it loads holds together, saves and
// loads again the same, and plays an impulse.
#include <vector>

#include "EngineFuzz.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  fuzz::TFuzzWorld W;
  TBrenmoorEngine& E = W.Engine();
  const std::string Before = E.SaveToString();
  try {
    E.LoadFromString(fuzz::Text(Data, Size));
  } catch (const EBrenmoor&) {
    // Refused: the game that was there stays.
    fuzz::Require(E.SaveToString() == Before, "a refused saved game changed the game");
    return 0;
  }
  fuzz::Require(fuzz::LoadedGameFault(E));
  fuzz::Require(fuzz::CheckSavesAndLoads(E));
  // Every unit moves once, taking what it carries along (a move into the zone it stands in
  // goes through the same steps).
  std::vector<TUnit*> Units;
  for (TUnit* Unit : E.GetUnits()) Units.push_back(Unit);
  for (TUnit* Unit : Units) Unit->MoveToZone(Unit->GetZone(), mmReplay);
  fuzz::Require(fuzz::LoadedGameFault(E));
  // The game goes on: an impulse without orders moves, fights and upkeeps whatever it holds.
  // A rule that refuses the state it meets raises the engine's error, which ends the impulse.
  try {
    RunHostImpulse(E, E.GetImpulse());
  } catch (const EBrenmoor&) {
  }
  return 0;
}
