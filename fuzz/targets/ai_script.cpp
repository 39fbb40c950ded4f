// A computer player's script file: it compiles against the 129 game functions, for a brain
// that plays the kit's world, or is refused with a script error.
#include "EngineFuzz.h"
#include "FuzzTarget.h"
#include "players/ScriptModule.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  fuzz::TFuzzWorld W;
  TdmScript Module;
  Module.SetBrenmoorEngine(&W.Engine());
  TBrenmoorBrain& Brain = Module.GetBrain(1);
  Brain.SetExceptions(true);
  Brain.SetText(fuzz::Text(Data, Size));
  try {
    Brain.Prepare();
    Brain.Compile();
  } catch (const EBrenmoor&) {
  }
  return 0;
}
