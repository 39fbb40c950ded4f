#include "foundation/Random.h"

#include <charconv>

#include "foundation/StringUtils.h"

namespace {

std::uint64_t SplitMix64(std::uint64_t& X) {
  std::uint64_t Z = (X += 0x9E3779B97F4A7C15ULL);
  Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBULL;
  return Z ^ (Z >> 31);
}

std::uint64_t Rotl(std::uint64_t X, int K) { return (X << K) | (X >> (64 - K)); }

}  // namespace

void TRandomGenerator::SetSeed(std::uint64_t Seed) {
  for (auto& Word : FState) Word = SplitMix64(Seed);
}

std::uint64_t TRandomGenerator::Next() {
  const std::uint64_t Result = Rotl(FState[1] * 5, 7) * 9;
  const std::uint64_t T = FState[1] << 17;
  FState[2] ^= FState[0];
  FState[3] ^= FState[1];
  FState[1] ^= FState[2];
  FState[0] ^= FState[3];
  FState[2] ^= T;
  FState[3] = Rotl(FState[3], 45);
  return Result;
}

std::int32_t TRandomGenerator::Random(std::int32_t N) {
  if (N <= 0) return 0;
  // Multiply-and-shift of the high 32 bits, rejecting the few values that would bias it.
  const std::uint32_t Range = static_cast<std::uint32_t>(N);
  std::uint64_t M = (Next() >> 32) * Range;
  std::uint32_t Low = static_cast<std::uint32_t>(M);
  if (Low < Range) {
    const std::uint32_t Threshold = (0u - Range) % Range;
    while (Low < Threshold) {
      M = (Next() >> 32) * Range;
      Low = static_cast<std::uint32_t>(M);
    }
  }
  return static_cast<std::int32_t>(M >> 32);
}

double TRandomGenerator::Random() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }

std::string TRandomGenerator::GetStateText() const {
  std::string S;
  for (std::uint64_t Word : FState) {
    char Buf[24];
    const auto R = std::to_chars(Buf, Buf + sizeof Buf, Word);
    S.append(Buf, R.ptr);
    S += ';';
  }
  return S;
}

bool TRandomGenerator::SetStateText(const std::string& Text) {
  std::string S = Text;
  std::array<std::uint64_t, 4> State{};
  for (auto& Word : State) {
    const std::string Token = NextToken(S, ";");
    const auto R = std::from_chars(Token.data(), Token.data() + Token.size(), Word);
    if (Token.empty() || R.ec != std::errc() || R.ptr != Token.data() + Token.size()) return false;
  }
  if (!S.empty() || (State[0] | State[1] | State[2] | State[3]) == 0) return false;
  FState = State;
  return true;
}
