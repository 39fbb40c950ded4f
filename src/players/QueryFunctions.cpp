#include "players/ScriptModule.h"

// The game functions that only read the game.
void TdmScript::RegisterQueryFunctions() {}
