#pragma once
// The saved-game state text, which the engine writes and reads (TBrenmoorEngine's SaveToString
// and LoadFromString); the map set a saved game names is loaded through the loader the window
// gives the engine (TBrenmoorEngine::TMapSetLoader).
#include <string>

#include "engine/BrenmoorEngine.h"

// The file-name part of a name stored in a saved game: the text after its last "\", ":" or
// "/" (a saved game made on another machine names that machine's folders).
std::string SavedFileNamePart(const std::string& FileName);
