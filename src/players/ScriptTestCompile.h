#pragma once
// The script editor's test compile: a script compiled against the script module's registry of
// game functions, so that it is judged by the same names the computer players call, without
// touching a game that may be running. Constants of a script are evaluated while it compiles
// and may call game functions; during a test compile there is no computer player and no game
// (such a call fails with its reason), no order or output leaves the module, and the module's
// random numbers, patrol route and run state are as they were afterwards.
#include <cstdint>
#include <string>

class TBrenmoorBrain;
class TdmScript;

struct TTestCompileResult {
  bool Ok = false;
  // The error as the user sees it ("Script Error: ... Position: n"); empty when Ok.
  std::string Message;
  // The 1-based character position of a script error in the text; 0 when there is none.
  std::int32_t Position = 0;
};

// Compiles Text in Brain (the editor's test brain, never run) against Module's registry.
TTestCompileResult TestCompileScript(TdmScript& Module, TBrenmoorBrain& Brain, const std::string& Text);
