#pragma once
// What every fuzz target shares: the libFuzzer entry point each target defines, the input as
// text, and the check of what must hold, which stops the run loudly (a fuzzer keeps the input
// that stopped it; the regression run fails on it).
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size);

namespace fuzz {

inline std::string Text(const std::uint8_t* Data, std::size_t Size) {
  return std::string(reinterpret_cast<const char*>(Data), Size);
}

// Stops the run when Fault is not empty: something that must hold did not.
inline void Require(const std::string& Fault) {
  if (Fault.empty()) return;
  std::fprintf(stderr, "fuzz check failed: %s\n", Fault.c_str());
  std::abort();
}

inline void Require(bool Holds, const std::string& What) {
  if (!Holds) Require(What.empty() ? std::string("a check") : What);
}

}  // namespace fuzz
