#pragma once
// The weighted pick of a shot's target: a draw R below the opponents' total value, and the
// target is the first opponent at which the running sum of their values (as they stand now,
// after the hits of this combat) reaches R. The picker keeps the running sums in a Fenwick
// tree, so that a pick and the value lost by a hit cost a few steps instead of a walk over
// every opponent; it gives the same target as the walk for every draw.
#include <cstdint>
#include <vector>

class TUnit;

class TTargetPicker {
public:
  // Takes the opponents' values as they are now (the storage is kept for the next use).
  void Reset(const std::vector<TUnit*>& Opponents);
  // The index of the first opponent at which the running sum reaches R; -1 when the sum of
  // all stays below R.
  int Pick(std::int64_t R) const;
  // Opponent I lost Amount of its value.
  void Lower(int I, std::int64_t Amount);
  std::int64_t Total() const { return FTotal; }

private:
  std::vector<std::int64_t> FTree;
  int FSize = 0;
  int FHighBit = 0;
  std::int64_t FTotal = 0;
};

// The walk itself: the opponents' values summed in order until the sum reaches R (-1 none).
int PickTargetByWalk(const std::vector<TUnit*>& Opponents, std::int64_t R);
