#pragma once
// The game's seedable random generator (xoshiro256**, seeded through splitmix64). The rules
// draw from one instance and the visual effects from another, so a seed and the order records
// replay a game exactly on any machine.
#include <array>
#include <cstdint>
#include <string>

class TRandomGenerator {
public:
  explicit TRandomGenerator(std::uint64_t Seed = 0) { SetSeed(Seed); }
  virtual ~TRandomGenerator() = default;
  TRandomGenerator(const TRandomGenerator&) = default;
  TRandomGenerator& operator=(const TRandomGenerator&) = default;

  void SetSeed(std::uint64_t Seed);
  // A uniform integer 0..N-1 (unbiased); 0 when N <= 0.
  // The three draws are virtual so that a test can script them or forbid them.
  virtual std::int32_t Random(std::int32_t N);
  // A uniform float in [0, 1), 53 random bits.
  virtual double Random();
  // The next raw 64 bits.
  virtual std::uint64_t Next();

  // The whole state as text (four numbers each followed by ";"), to save and restore a game.
  std::string GetStateText() const;
  // Restores a state written by GetStateText; false, leaving the state alone, when the text
  // is not one (an all-zero state is refused too: the generator would give only zeros).
  bool SetStateText(const std::string& Text);

private:
  std::array<std::uint64_t, 4> FState{};
};
