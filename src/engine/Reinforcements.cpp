// Scheduled reinforcements, the placement of new units (shared with the scenario's starting
// units) and the zone distance that honours the map's wrap-around.
#include <algorithm>

#include "engine/ReinforcementRules.h"
#include "foundation/MyUtils.h"

namespace {

// The nearest land zone that Nation holds, by steps from Start (every step counting 1), the
// lowest index among the equally near; nullptr when it holds none that can be reached.
TBrenmoorZone* NearestOwnedZone(const TBrenmoorEngine& Engine, const TNation* Nation, TBrenmoorZone* Start) {
  std::vector<char> Seen(static_cast<std::size_t>(Engine.GetZoneCount()), 0);
  std::vector<TBrenmoorZone*> Ring{Start};
  Seen[static_cast<std::size_t>(Start->GetIndex())] = 1;
  while (!Ring.empty()) {
    TBrenmoorZone* Best = nullptr;
    for (TBrenmoorZone* Zone : Ring)
      if (Zone->GetSea() == 0 && Zone->GetOwner() == Nation && (!Best || Zone->GetIndex() < Best->GetIndex())) Best = Zone;
    if (Best) return Best;
    std::vector<TBrenmoorZone*> Next;
    for (TBrenmoorZone* Zone : Ring)
      for (int K = 0; K < Zone->NeighbourCount(); ++K) {
        TBrenmoorZone* N = Zone->GetNeighbor(K);
        const auto I = static_cast<std::size_t>(N->GetIndex());
        if (I >= Seen.size() || Seen[I]) continue;
        Seen[I] = 1;
        Next.push_back(N);
      }
    Ring = std::move(Next);
  }
  return nullptr;
}

}  // namespace

TBrenmoorZone* TReinforcementRules::ArriveReinforcement(TReinforcement* R) {
  if (!R) return nullptr;
  TNation* Nation = R->Nation;
  TBrenmoorZone* Zone = R->GetZone();
  // A fallen nation gets nothing; a zone lost to another nation sends the units to the
  // nearest zone still held (every machine finds the same one).
  if (!Nation || !Nation->GetAlive() || !Zone) return nullptr;
  if (Zone->GetSea() == 0 && Zone->GetOwner() && Zone->GetOwner() != Nation) {
    Zone = NearestOwnedZone(FEngine, Nation, Zone);
    if (!Zone) return nullptr;
  }
  const int Row = Nation->GetMajorIndex();
  TUnitCounts Counts{};
  for (int T = 0; T < UnitTypeCount; ++T) {
    Counts[static_cast<std::size_t>(T)] = R->GetCount(T);
    Zone->ChangeTally(Row, T, R->GetCount(T));
  }
  PlaceUnits(Nation, Zone, Counts);
  if (Nation->GetLocalPlayer() && !Nation->GetComputerPlayer()) FEngine.Fire(FEngine.OnReinforcement, Zone);
  return Zone;
}

std::int32_t TReinforcementRules::ZoneDistance(const TBrenmoorZone* A, const TBrenmoorZone* B) const {
  if (!A || !B) return 0;
  const TPoint PA{A->GetCenterX(), A->GetCenterY()};
  const TPoint PB{B->GetCenterX(), B->GetCenterY()};
  std::int32_t D = ManhattanDistance(PA, PB);
  const TMapExtent Extent = FEngine.GetZoneMap() ? FEngine.GetZoneMap()->GetExtent() : TMapExtent{};
  if (FEngine.GetWrapHorizontal()) {
    TPoint MA = PA, MB = PB;
    (MA.X < MB.X ? MA : MB).X += Extent.Width;
    D = std::min(D, ManhattanDistance(MA, MB));
  }
  if (FEngine.GetWrapVertical()) {
    TPoint MA = PA, MB = PB;
    (MA.Y < MB.Y ? MA : MB).Y += Extent.Height;
    D = std::min(D, ManhattanDistance(MA, MB));
  }
  return D;
}

std::vector<TUnit*> TReinforcementRules::PlaceUnits(TNation* Nation, TBrenmoorZone* Zone, const TUnitCounts& Counts) {
  std::vector<TUnit*> Placed;
  for (TUnitKind Kind : {ukNavy, ukArmy, ukAirForce}) {
    bool Any = false;
    for (int T = 0; T < UnitTypeCount; ++T)
      if (UnitTypes[static_cast<std::size_t>(T)].Kind == Kind && Counts[static_cast<std::size_t>(T)] > 0) Any = true;
    if (!Any) continue;
    TUnit* Unit = FEngine.AddUnit(std::make_unique<TUnit>(FEngine, Nation, Kind), Zone);
    for (int T = 0; T < UnitTypeCount; ++T)
      if (UnitTypes[static_cast<std::size_t>(T)].Kind == Kind) Unit->SetCount(T, Counts[static_cast<std::size_t>(T)]);
    Placed.push_back(Unit);
    if (Kind == ukNavy || Zone->GetSea() == 0) continue;
    // At sea an army boards, and an air force is based on, the nation's first fleet there.
    TUnit* Ship = nullptr;
    for (int I = 0; I < Zone->GetUnitCount() && !Ship; ++I)
      if (Zone->GetUnit(I)->GetOwner() == Nation && Zone->GetUnit(I)->GetKind() == ukNavy) Ship = Zone->GetUnit(I);
    if (!Ship) continue;
    if (Kind == ukArmy) {
      Ship->AddBoarded(Unit);
      Unit->SetTransport(Ship);
    } else {
      Ship->AddBased(Unit);
      Unit->SetBaseUnit(Ship);
    }
  }
  return Placed;
}
