// A scenario file: it is read onto the kit's map, its zones and units placed, or it is refused
// with the engine's error. A game it starts holds together and saves and loads again.
#include "EngineFuzz.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text = fuzz::Text(Data, Size);
  fuzz::TFuzzWorld Folder;  // the current folder the scenario is written to
  std::unique_ptr<kit::TKitWorld> W;
  try {
    W = std::make_unique<kit::TKitWorld>(Text, kit::KitMapText, "fuzzed.brmscen");
  } catch (const EBrenmoor&) {
    return 0;
  }
  fuzz::Require(kit::CheckInvariants(W->Engine()));
  fuzz::Require(fuzz::CheckSavesAndLoads(W->Engine(), Text));
  return 0;
}
