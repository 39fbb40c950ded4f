#pragma once
// The impulse schedule: in which impulses of a turn a unit of a given speed acts. Row r is the
// row of speed r, one character "1" (acts) or "0" per impulse of the turn.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/ExecutionRules.h"

class TImpulseAssigner {
public:
  // The rows the game keeps with its main window: ten rows of ten, speed 0 first (the rules'
  // own table). They replace the rows that Impulses = 10 generates.
  static inline const std::array<const char*, 10>& StoredImpulseActions = TExecutionRules::ImpulseActions;

  std::int32_t GetImpulses() const { return FImpulses; }
  // Stores N and generates N rows of N characters (none for N below 1): the first row is N-1
  // "0" then "1", the last N "1"; a row r between spreads r actions over the N impulses by an
  // accumulator of r/N in extended precision.
  void SetImpulses(std::int32_t N);
  // Row I is the row of speed I.
  const std::vector<std::string>& GetImpulseActions() const { return FImpulseActions; }
  // The rows as stored with the game, in place of the generated ones.
  void LoadImpulseActions(std::vector<std::string> Rows) { FImpulseActions = std::move(Rows); }
  // Whether the character at the 1-based Position of row Row is "1": a Position below 1 reads
  // the first character, one past the row's end reads nothing (false), and so does a row that
  // is not there.
  bool IsActionImpulse(std::int32_t Position, int Row) const;

  // The schedule of the game: Impulses = 10, then the stored rows.
  static TImpulseAssigner Standard();

private:
  std::int32_t FImpulses = 0;
  std::vector<std::string> FImpulseActions;
};
