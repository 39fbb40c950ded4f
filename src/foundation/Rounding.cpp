#include "foundation/Rounding.h"

#include <cmath>
#include <limits>

std::int64_t RoundHalfEven(double Value) {
  if (std::isnan(Value)) return 0;
  // 2^63 is exactly representable; anything at or above it cannot be held.
  if (Value >= 9223372036854775808.0) return std::numeric_limits<std::int64_t>::max();
  if (Value < -9223372036854775808.0) return std::numeric_limits<std::int64_t>::min();
  const double Floor = std::floor(Value);
  const double Fraction = Value - Floor;  // exact for doubles
  double Result = Floor;
  if (Fraction > 0.5) {
    Result = Floor + 1;
  } else if (Fraction == 0.5) {
    Result = std::fmod(Floor, 2.0) == 0 ? Floor : Floor + 1;
  }
  if (Result >= 9223372036854775808.0) return std::numeric_limits<std::int64_t>::max();
  return static_cast<std::int64_t>(Result);
}

std::int32_t RoundHalfEven32(double Value) {
  const std::int64_t R = RoundHalfEven(Value);
  if (R > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (R < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(R);
}
