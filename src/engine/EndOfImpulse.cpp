// The end-of-impulse stages of the host that build units, age and raise storms, and the coup.
#include <algorithm>

#include "engine/BrenmoorEngine.h"

bool TBrenmoorEngine::BuildUnitInZone(TBrenmoorZone* Zone) {
  if (!Zone) return false;
  Zone->SetBuilding(false);
  // The build order's kind comes from a peer's record: only the three unit kinds build.
  const std::int32_t Kind = Zone->GetBuildKind();
  if (Kind < ukArmy || Kind > ukNavy || !Zone->GetOwner()) return false;
  TBrenmoorZone* Place = Zone;
  if (Kind == ukNavy) {
    if (Zone->GetPortZone()) {
      Place = Zone->GetPortZone();
    } else {
      for (TZone* Near : Zone->GetNeighbours()) {
        if (Near->GetSea() != 0) {
          Place = static_cast<TBrenmoorZone*>(Near);
          break;
        }
      }
    }
  }
  auto Unit = std::make_unique<TUnit>(*this, Zone->GetOwner(), static_cast<TUnitKind>(Kind));
  const int Row = Zone->GetOwner()->GetMajorIndex();
  for (int T = 0; T < UnitTypeCount; ++T) {
    Unit->SetCount(T, Zone->GetBuildQueue(T));
    if (Zone->GetBuildQueue(T) != 0) Place->ChangeTally(Row, T, Zone->GetBuildQueue(T));
  }
  AddUnit(std::move(Unit), Place);
  return true;
}

void TBrenmoorEngine::Coup(TNation* Nation, std::int32_t Strength) {
  if (!Nation) return;
  Fire(OnCoup, Nation);
  const auto Turn = [Strength](std::int32_t Value) {
    const std::int32_t Negated = -Value;
    if (Negated == 100) return Strength;
    if (Negated == -100) return -Strength;
    return Negated;
  };
  for (const auto& Other : FNations) Nation->SetRelationDirect(Other.get(), Turn(Nation->GetRelation(Other.get())));
  for (const auto& Other : FNations) Other->SetRelationDirect(Nation, Turn(Other->GetRelation(Nation)));
  AddChange(34, Nation->GetIndex(), Strength);
  for (const auto& Event : FRandomEvents) {
    if (!Event->Fired && Event->Trigger == 1 && Event->TriggerName == Nation->GetName()) {
      FPendingRandomEvent = Event.get();
      break;
    }
  }
}

void TBrenmoorEngine::ProductionStage() {
  for (int I = 0; I < GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = GetZone(I);
    if (!Zone->GetBuilding()) continue;
    const std::int32_t Add = Zone->GetFactories() > 0 ? Zone->GetFactories() : 1;
    Zone->SetBuildProgressPoints(static_cast<float>(Zone->GetBuildProgressPoints() + Add));
    AddChange(22, Zone->GetIndex(), Zone->GetBuildProgressPoints());
    if (Zone->GetBuildProgressPoints() > Zone->GetBuildTotal()) {
      // The record goes out only for a unit that was built, so the guest builds the same.
      if (BuildUnitInZone(Zone)) AddChange(21, Zone->GetIndex());
    }
  }
}

void TBrenmoorEngine::StormStage() {
  for (int I = GetStormCount() - 1; I >= 0; --I) {
    ProcessPendingMessages();
    if (I >= GetStormCount()) continue;
    TStorm* Storm = GetStorm(I);
    Storm->Lifetime -= 1;
    if (Storm->Lifetime <= 0) {
      AddChange(25, I);
      Fire(OnRemoveStorm, Storm);
      DeleteStorm(Storm);
      continue;
    }
    const std::int32_t OldX = Storm->X;
    const std::int32_t OldY = Storm->Y;
    if (GetRandom().Random(100) < Storm->ChanceUp) Storm->Y -= 10;
    if (GetRandom().Random(100) < Storm->ChanceDown) Storm->Y += 10;
    if (GetRandom().Random(100) < Storm->ChanceLeft) Storm->X -= 10;
    if (GetRandom().Random(100) < Storm->ChanceRight) Storm->X += 10;
    // Up and down (or left and right) in one impulse leave it where it was: no move.
    const bool Moved = Storm->X != OldX || Storm->Y != OldY;
    // Every surviving storm's record carries its lifetime, so a guest ages it the same; only a
    // storm that moved is news.
    if (Moved) Fire(OnMoveStorm, Storm);
    AddChange(26, I, Storm->X, Storm->Y, Storm->Lifetime);
  }
}

void TBrenmoorEngine::NewStormStage(std::int32_t MapWidth, std::int32_t MapHeight) {
  if (GetRandom().Random(100) >= 5 || !(HasEngineOption(1) || HasEngineOption(2))) return;
  auto Storm = std::make_unique<TStorm>(*this);
  Storm->Width = GetRandom().Random(600) + 200;
  Storm->Height = GetRandom().Random(400) + 100;
  // A map narrower than the storm and its margin gives no room to choose: the left edge.
  const std::int32_t Room = MapWidth - Storm->Width - 50;
  Storm->X = Room > 0 ? GetRandom().Random(Room) : 0;
  if (GetRandom().Random(100) < 50 && HasEngineOption(1)) {
    Storm->StormType = stSnow;
    const int Month = DecodeDate(GetDate()).Month;
    Storm->Y = Month <= 3 || Month >= 10 ? GetRandom().Random(100) : Storm->Height - GetRandom().Random(100);
  } else {
    Storm->StormType = stRain;
    const std::int32_t Quarter = std::max(MapHeight / 4, 1);
    Storm->Y = GetRandom().Random(Quarter) - MapHeight / 8 + MapHeight / 2;
  }
  Storm->Lifetime = GetRandom().Random(40) + 5;
  Storm->ChanceUp = GetRandom().Random(100);
  Storm->ChanceDown = GetRandom().Random(100);
  Storm->ChanceLeft = GetRandom().Random(100);
  Storm->ChanceRight = GetRandom().Random(100);
  TStorm* Added = AddStorm(std::move(Storm));
  Fire(OnCreateStorm, Added);
  AddChange(27, Added->SaveToString());
}
