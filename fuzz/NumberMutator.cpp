// The mutator of the targets whose inputs are records of numbers (saved games, scenarios, the
// host's orders, a guest's changes): half of the time it replaces one number of the input by
// a value at an edge of what readers and rules meet (0, -1, the ends of 8, 16, 32 and 64 bits,
// one beyond them, huge, fractions, beyond a float) or by the number moved by one, doubled or
// negated; the other half libFuzzer mutates the bytes as it always does. Byte-level mutation
// alone seldom turns "14" into "2147483647"; the rules' overflows sit exactly there.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <utility>
#include <vector>

extern "C" std::size_t LLVMFuzzerMutate(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize);

namespace {

const char* const EdgeValues[] = {
    "0",          "-1",          "1",           "2",          "7",           "8",           "127",        "128",
    "255",        "256",         "-128",        "32767",      "32768",       "65535",       "65536",      "-32768",
    "2147483647", "-2147483648", "2147483648",  "-2147483649", "4294967295", "4294967296",  "9223372036854775807",
    "-9223372036854775808",      "99999999999999999999",      "1000000",     "1000001",     "-1000000",   "100000000",
    "0.5",        "-0.5",        "1.5",         "1e-45",      "1e38",        "3.4e38",      "3.5e38",     "1e39",
    "-1e39",      "1e308",       "1e400",       "NAN",        "INF",         "-0",          "00",         "",
};

bool IsDigit(std::uint8_t C) { return C >= '0' && C <= '9'; }

// The numbers of the input: where each begins and how long it is (a sign, digits, a fraction
// and an exponent).
std::vector<std::pair<std::size_t, std::size_t>> Numbers(const std::uint8_t* Data, std::size_t Size) {
  std::vector<std::pair<std::size_t, std::size_t>> Found;
  for (std::size_t I = 0; I < Size;) {
    if (!IsDigit(Data[I])) {
      ++I;
      continue;
    }
    std::size_t Start = I > 0 && Data[I - 1] == '-' ? I - 1 : I;
    while (I < Size && IsDigit(Data[I])) ++I;
    if (I + 1 < Size && Data[I] == '.' && IsDigit(Data[I + 1]))
      for (++I; I < Size && IsDigit(Data[I]);) ++I;
    if (I + 1 < Size && (Data[I] == 'e' || Data[I] == 'E') && (IsDigit(Data[I + 1]) || Data[I + 1] == '-'))
      for (I += 2; I < Size && IsDigit(Data[I]);) ++I;
    Found.emplace_back(Start, I - Start);
  }
  return Found;
}

// A value for the number Old: an edge value, or Old moved by one, doubled or negated.
std::string NewValue(const std::string& Old, std::minstd_rand& Random) {
  const unsigned Pick = Random() % 8;
  if (Pick < 5) return EdgeValues[Random() % (sizeof EdgeValues / sizeof EdgeValues[0])];
  long long V = 0;
  try {
    V = std::stoll(Old);
  } catch (...) {
  }
  // Far from the ends of 64 bits, where moving, doubling and negating stay within.
  if (V > (1LL << 61) || V < -(1LL << 61)) return EdgeValues[Random() % (sizeof EdgeValues / sizeof EdgeValues[0])];
  switch (Pick) {
    case 5: return std::to_string(V + (Random() % 2 ? 1 : -1));
    case 6: return std::to_string(V * 2);
    default: return V == 0 ? "-1" : std::to_string(-V);
  }
}

}  // namespace

extern "C" std::size_t LLVMFuzzerCustomMutator(std::uint8_t* Data, std::size_t Size, std::size_t MaxSize, unsigned int Seed) {
  std::minstd_rand Random(Seed);
  if (Random() % 2 == 0) return LLVMFuzzerMutate(Data, Size, MaxSize);
  const auto Found = Numbers(Data, Size);
  if (Found.empty()) return LLVMFuzzerMutate(Data, Size, MaxSize);
  // One number, or now and then a few at once (a value and the count beside it).
  const int Times = Random() % 4 == 0 ? 3 : 1;
  std::string Text(reinterpret_cast<const char*>(Data), Size);
  for (int T = 0; T < Times; ++T) {
    const auto InText = T == 0 ? Found : Numbers(reinterpret_cast<const std::uint8_t*>(Text.data()), Text.size());
    if (InText.empty()) break;
    const auto [Start, Length] = InText[Random() % InText.size()];
    const std::string Value = NewValue(Text.substr(Start, Length), Random);
    Text.replace(Start, Length, Value);
  }
  if (Text.size() > MaxSize) return LLVMFuzzerMutate(Data, Size, MaxSize);
  std::memcpy(Data, Text.data(), Text.size());
  return Text.size();
}
