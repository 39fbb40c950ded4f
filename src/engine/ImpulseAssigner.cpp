#include "engine/ImpulseAssigner.h"

#include <algorithm>

void TImpulseAssigner::SetImpulses(std::int32_t N) {
  FImpulses = N;
  FImpulseActions.clear();
  if (N < 1) return;
  const auto Count = static_cast<std::size_t>(N);
  FImpulseActions.reserve(Count);
  for (std::int32_t R = 1; R <= N; ++R) {
    std::string Row;
    Row.reserve(Count);
    if (R == 1) {
      Row.assign(Count - 1, '0');
      Row += '1';
    } else if (R == N) {
      Row.assign(Count, '1');
    } else {
      const long double Step = static_cast<long double>(R) / static_cast<long double>(N);
      long double Accumulator = 0;
      for (std::int32_t I = 0; I < N; ++I) {
        Accumulator += Step;
        if (Accumulator >= 1) {
          Row += '1';
          Accumulator -= 1;
        } else {
          Row += '0';
        }
      }
    }
    FImpulseActions.push_back(std::move(Row));
  }
}

bool TImpulseAssigner::IsActionImpulse(std::int32_t Position, int Row) const {
  if (Row < 0 || static_cast<std::size_t>(Row) >= FImpulseActions.size()) return false;
  const std::string& Line = FImpulseActions[static_cast<std::size_t>(Row)];
  const std::int64_t Index = std::max<std::int64_t>(Position, 1) - 1;
  return Index < static_cast<std::int64_t>(Line.size()) && Line[static_cast<std::size_t>(Index)] == '1';
}

TImpulseAssigner TImpulseAssigner::Standard() {
  TImpulseAssigner Assigner;
  Assigner.SetImpulses(10);
  Assigner.LoadImpulseActions({StoredImpulseActions.begin(), StoredImpulseActions.end()});
  return Assigner;
}
