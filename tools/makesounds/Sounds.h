#pragma once
// The game's sound effects, one function each, by the names of the main window's sounds.
#include <string>
#include <vector>

#include "Synth.h"

struct TSoundEffect {
  std::string FileName;
  TSamples (*Make)();
};

const std::vector<TSoundEffect>& SoundEffects();
