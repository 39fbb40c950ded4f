// A scenario file: it is read onto the kit's map, its zones and units placed, or it is refused
// with the engine's error. A game it starts holds together, saves and loads again, and plays
// two impulses (as a saved game does: a number the reader let through must not overflow in
// the rules).
#include "EngineFuzz.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text = fuzz::Text(Data, Size);
  fuzz::TFuzzWorld Folder;  // the current folder the scenario is written to
  kit::TKitUsers Users;
  std::unique_ptr<kit::TKitWorld> W;
  try {
    W = std::make_unique<kit::TKitWorld>(Text, kit::KitMapText, "fuzzed.brmscen");
  } catch (const EBrenmoor&) {
    return 0;
  }
  fuzz::Require(kit::CheckInvariants(W->Engine()));
  fuzz::Require(fuzz::CheckSavesAndLoads(W->Engine(), Text));
  if (W->Engine().GetNationCount() >= 3) fuzz::SetPlayers(*W, Users);
  for (std::int32_t Impulse = 0; Impulse < 2; ++Impulse) {
    // A rule that refuses the state it meets raises the engine's error, which ends the impulse.
    try {
      RunHostImpulse(W->Engine(), Impulse);
    } catch (const EBrenmoor&) {
    }
    fuzz::Require(fuzz::LoadedGameFault(W->Engine()));
  }
  return 0;
}
