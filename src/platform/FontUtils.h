#pragma once
#include <string>

// Adds the font file FileName of the program's folder (or of its "fonts" folder) to the fonts the game can use. A missing
// or broken file is passed over (false), as the game starts without its font all the same.
bool InstallFont(const std::string& FileName);
