#include "players/ScriptModule.h"

// The game functions that give orders, and those with state of their own.
void TdmScript::RegisterOrderFunctions() {}
