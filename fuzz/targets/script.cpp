// A script of the script language with its built-in functions: it compiles or is refused
// with a script error. Compiling alone runs nothing, so no script can loop the target.
#include "FuzzTarget.h"
#include "script/Script.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TFuncs Funcs;
  TScript Script;
  Script.SetFunctions(&Funcs);
  Script.SetText(fuzz::Text(Data, Size));
  try {
    Script.Compile();
  } catch (const EBrenmoor&) {
  }
  return 0;
}
