#pragma once
// An array of bits with a run-length text form (the script module's bit functions keep their
// sets as this text). Bit i lives in byte i / 8 under the mask 1 << (i % 8).
#include <cstdint>
#include <string>
#include <vector>

class TBitSet {
public:
  TBitSet() = default;

  // ByteCount * 8.
  std::int32_t Capacity() const { return static_cast<std::int32_t>(FBytes.size() * 8); }
  // Room for N bits, rounded up to whole bytes; every bit cleared. N <= 0 leaves no storage.
  void SetCapacity(std::int32_t N);

  char Delimiter() const { return FDelimiter; }
  void SetDelimiter(char D) { FDelimiter = D; }

  // Bits outside the capacity read as false and are not written.
  bool GetBit(std::int32_t I) const;
  void SetBit(std::int32_t I, bool Value);
  void SetAll(bool Value);

  // The first character is "1" when bit 0 is set, else "0"; then the length of each run of
  // equal bits from bit 0 on, each followed by the delimiter.
  std::string GetAsText() const;
  // Sets bits from a run-length text; bits after the last run keep their values, and runs
  // that reach past the capacity stop at its end.
  void SetAsText(const std::string& S);
  // Copies Source's bits through its text; the capacity stays as it is.
  void Assign(const TBitSet& Source);

private:
  std::vector<std::uint8_t> FBytes;
  char FDelimiter = ':';
};
