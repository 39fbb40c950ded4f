#include "script/ScriptFunctions.h"

void AddBuiltinFunctions(TFuncs& Funcs) {
  // The language's built-in functions are added here, in their fixed order, with
  // Funcs.AddBuiltin. None are defined yet.
  (void)Funcs;
}
