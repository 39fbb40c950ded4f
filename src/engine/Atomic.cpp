// The atomic bomb: the bombs of an air unit fall on a zone, each destroying industry,
// resources and factories by chance and damaging the units of the nations at war with the
// bomber's owner; the bombers come back as ordinary bombers.
#include "engine/AtomicRules.h"
#include "engine/DiplomacyRules.h"

namespace {

// The unit's Atomic Bombers become Bombers, the zone's tallies following.
void ConvertAtomicBombers(TUnit* Unit, TBrenmoorZone* Zone, const TNation* Nation) {
  if (!Unit) return;
  const std::uint16_t A = Unit->GetCount(utAtomicBomber);
  if (A == 0) return;
  Unit->SetCount(utBomber, static_cast<std::uint16_t>(Unit->GetCount(utBomber) + A));
  Unit->SetCount(utAtomicBomber, 0);
  if (Zone && Nation && Unit->IsTallied()) {
    Zone->ChangeTally(Nation->GetMajorIndex(), utBomber, A);
    Zone->ChangeTally(Nation->GetMajorIndex(), utAtomicBomber, -A);
  }
}

// Random(100) > 50: 49 chances in 100.
bool Destroyed(TRandomGenerator& Random) { return Random.Random(100) > 50; }

}  // namespace

void TAtomicRules::AtomicBomb(TNation* N, TBrenmoorZone* Z, TUnit* U) {
  if (!N || !Z || !U) return;
  TRandomGenerator& Random = FEngine.GetRandom();
  const std::uint16_t Bombs = U->GetCount(utAtomicBomber);
  ConvertAtomicBombers(U, Z, N);
  for (std::uint16_t Bomb = 0; Bomb < Bombs; ++Bomb) {
    for (std::int32_t K = Z->GetIndustry(); K >= 1; --K)
      if (Destroyed(Random)) Z->SetIndustry(Z->GetIndustry() - 1);
    for (std::int64_t K = static_cast<std::int64_t>(Z->GetResources()); K >= 1; --K)
      if (Destroyed(Random)) Z->SetResources(Z->GetResources() - 1.0f);
    for (std::int32_t K = Z->GetFactories(); K >= 1; --K)
      if (Destroyed(Random)) Z->SetFactories(Z->GetFactories() - 1);
    for (int I = 0; I < Z->GetUnitCount(); ++I) {
      TUnit* V = Z->GetUnit(I);
      if (!V->GetOwner() || !N->IsAtWarWith(V->GetOwner())) continue;
      for (int T = 0; T < UnitTypeCount; ++T) {
        const std::int32_t Undamaged = V->GetCount(T) - V->GetDamaged(T);
        for (std::int32_t K = 0; K < Undamaged; ++K)
          if (Destroyed(Random)) V->SetDamaged(T, static_cast<std::uint16_t>(V->GetDamaged(T) + 1));
      }
    }
  }
  FEngine.Fire(FEngine.OnAtomicBomb, N, Z);
  FEngine.AddChange(chAtomicBomb, N->GetIndex(), Z->GetIndex(), U->ID, Z->GetIndustry(), Z->GetResources(), Z->GetFactories());
  if (Z->GetOwner()) FEngine.Diplomacy().DriftRelation(N, Z->GetOwner(), -20000);
}

void TAtomicRules::ApplyAtomicBomb(TNation* N, TBrenmoorZone* Z, TUnit* U, std::int32_t Industry, float Resources,
                                      std::int32_t Factories) {
  ConvertAtomicBombers(U, Z, N);
  Z->SetIndustry(Industry);
  Z->SetResources(Resources);
  Z->SetFactories(Factories);
  FEngine.Fire(FEngine.OnAtomicBomb, N, Z);
}
