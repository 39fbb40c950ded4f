#pragma once
// The game's music: short tunes for the jukebox, in the note text of MidiWriter.h.
#include <vector>

#include "MidiWriter.h"

const std::vector<TMidiTune>& Tunes();
