// A map set file: it is parsed and its zones and links loaded into the engine's map (with the
// kit's scenario read onto it), or it is refused with the map set's or the engine's error.
#include "EngineFuzz.h"
#include "FuzzTarget.h"
#include "sprites/MapSet.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  const std::string Text = fuzz::Text(Data, Size);
  try {
    const TMapSet Set = TMapSet::Parse(Text, "fuzzed.map");
    TZoneMap Map;
    LoadZoneMap(Map, Set);
    for (int I = 0; I + 1 < Map.ZoneCount(); ++I) Map.FindPath(Map.GetZone(I), Map.GetZone(I + 1));
  } catch (const EBrenmoor&) {
    return 0;
  }
  try {
    kit::TKitWorld W(kit::KitScenarioText, Text);
    fuzz::Require(kit::CheckInvariants(W.Engine()));
  } catch (const EBrenmoor&) {
  }
  return 0;
}
