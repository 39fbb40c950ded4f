#include "engine/TargetPicker.h"

#include "engine/Unit.h"

void TTargetPicker::Reset(const std::vector<TUnit*>& Opponents) {
  FSize = static_cast<int>(Opponents.size());
  FTree.assign(static_cast<std::size_t>(FSize) + 1, 0);
  FTotal = 0;
  for (int I = 0; I < FSize; ++I) {
    const std::int64_t Value = Opponents[static_cast<std::size_t>(I)]->GetValue();
    FTotal += Value;
    // Linear build: each node takes its own value, then hands its sum to its parent.
    FTree[static_cast<std::size_t>(I) + 1] += Value;
    const int Parent = (I + 1) + ((I + 1) & -(I + 1));
    if (Parent <= FSize) FTree[static_cast<std::size_t>(Parent)] += FTree[static_cast<std::size_t>(I) + 1];
  }
  FHighBit = 1;
  while (FHighBit * 2 <= FSize) FHighBit *= 2;
}

int TTargetPicker::Pick(std::int64_t R) const {
  if (FSize == 0 || R > FTotal) return -1;
  // The last position whose running sum stays below R; the target is the next one.
  int Pos = 0;
  std::int64_t Left = R;
  for (int Step = FHighBit; Step > 0; Step /= 2) {
    const int Next = Pos + Step;
    if (Next <= FSize && FTree[static_cast<std::size_t>(Next)] < Left) {
      Pos = Next;
      Left -= FTree[static_cast<std::size_t>(Next)];
    }
  }
  return Pos < FSize ? Pos : -1;
}

void TTargetPicker::Lower(int I, std::int64_t Amount) {
  FTotal -= Amount;
  for (int K = I + 1; K <= FSize; K += K & -K) FTree[static_cast<std::size_t>(K)] -= Amount;
}

int PickTargetByWalk(const std::vector<TUnit*>& Opponents, std::int64_t R) {
  std::int64_t Sum = 0;
  for (std::size_t I = 0; I < Opponents.size(); ++I) {
    Sum += Opponents[I]->GetValue();
    if (Sum >= R) return static_cast<int>(I);
  }
  return -1;
}
