#pragma once
// Game values are rounded to integers half to even, the same on every machine and whatever
// the floating-point rounding mode. NaN gives 0; values beyond 64 bits saturate.
#include <cstdint>

std::int64_t RoundHalfEven(double Value);
// The same, saturated to 32 bits, for the many game values held in 32-bit integers.
std::int32_t RoundHalfEven32(double Value);
