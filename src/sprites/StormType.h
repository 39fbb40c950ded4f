#pragma once
// The two kinds of storm: what the rules report for a zone and what the map's storm effect draws.
#include <cstdint>

enum TStormType : std::int32_t { stSnow = 0, stRain = 1 };
