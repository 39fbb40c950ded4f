// The end-of-impulse stages of the host that build units, age and raise storms, and the coup.
#include <algorithm>

#include "engine/BrenmoorEngine.h"
#include "foundation/Rounding.h"

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
  // The order is done: no queue is left behind for a saved game to lose and a machine that
  // joins later to miss.
  for (int T = 0; T < UnitTypeCount; ++T) Zone->SetBuildQueue(T, 0);
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
  AddChange(chCoup, Nation->GetIndex(), Strength);
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
    AddChange(chBuildProgress, Zone->GetIndex(), Zone->GetBuildProgressPoints());
    if (Zone->GetBuildProgressPoints() > Zone->GetBuildTotal()) {
      // The record goes out only for a unit that was built, so the guest builds the same.
      if (BuildUnitInZone(Zone)) AddChange(chUnitsBuilt, Zone->GetIndex());
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
      AddChange(chStormRemoved, I);
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
    AddChange(chStormMoved, I, Storm->X, Storm->Y, Storm->Lifetime);
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
  AddChange(chStormCreated, Added->SaveToString());
}

void TBrenmoorEngine::SupplyRouteStage() {
  for (int I = 0; I < GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = GetZone(I);
    TBrenmoorZone* Source = Zone->GetSupplySource();
    if (Zone->GetSea() != 0 || Zone->GetEmbattled() || !Source || Source == Zone) continue;
    if (Source->IsAlliedTo(Zone->GetOwner())) {
      if (!Zone->IsNeighbour(Source) && Zone->GetResources() > 5.0f) LaunchConvoy(Zone);
    } else {
      Zone->SetSupplySource(Zone);
      AddChange(chSupplySource, Zone->GetIndex(), Zone->GetIndex());
    }
  }
}

void TBrenmoorEngine::NationOfImpulseStage(std::int32_t Impulse) {
  if (FNations.empty()) return;
  TNation* N = GetNation(Impulse % GetNationCount());
  if (!N->GetAlive()) return;
  if (N->GetStability() < 100 && !N->GetMajorPower()) {
    const double R = GetRandom().Random(100) * GetRandom().Random();
    if (N->GetStability() < R) {
      N->SetStability(GetRandom().Random(50) + 50);
      AddChange(chStability, -1, N->GetIndex(), N->GetStability());
      Coup(N, GetRandom().Random(50) + 50);
    }
  }
  // Every living nation N likes pulls on N's relations, N itself among them when it likes
  // itself (a nation in an alliance stands at 100 towards itself): its own leanings deepen.
  for (const auto& M : FNations) {
    if (!M->GetAlive() || N->GetRelation(M.get()) <= 0) continue;
    const double Factor = N->GetRelation(M.get()) / 100.0;
    for (const auto& K : FNations) {
      if (!K->GetAlive() || K.get() == N || K.get() == M.get() || M->GetRelation(K.get()) == 0) continue;
      ProcessPendingMessages();
      const int Own = N->GetRelation(K.get());
      if (Own == 100 || Own == -100) continue;
      DriftRelation(N, K.get(), RoundHalfEven(M->GetRelation(K.get()) * Factor * 0.2));
    }
  }
}

void TBrenmoorEngine::ConquestStage() {
  for (int I = 0; I < GetZoneCount(); ++I) {
    TBrenmoorZone* Z = GetZone(I);
    if (Z->GetSea() != 0) continue;
    TNation* Owner = Z->GetOwner();
    bool Defended = false;
    bool Invaded = false;
    for (int U = 0; U < Z->GetUnitCount(); ++U) {
      const TUnit* Unit = Z->GetUnit(U);
      const bool Friendly = Owner && Unit->GetOwner() && (Unit->GetOwner() == Owner || Unit->GetOwner()->IsAlliedWith(Owner));
      if (Friendly && Unit->GetKind() != ukNavy) Defended = true;
      if (!Friendly && Unit->GetKind() == ukArmy) Invaded = true;
    }
    if (!Defended && Invaded) {
      TNation* Conqueror = nullptr;
      std::int32_t Best = 0;
      for (const auto& M : FNations) {
        if (!M->GetMajorPower() || (Owner && (M.get() == Owner || M->IsAlliedWith(Owner)))) continue;
        const std::int32_t Tally = M->TallyOfKinds(Z, KindBit(ukArmy));
        if (Tally > Best) {
          Best = Tally;
          Conqueror = M.get();
        }
      }
      if (!Conqueror) continue;
      TNation* Previous = Owner;
      TNation* Original = Z->GetOriginalOwner();
      TNation* NewOwner = Original && Original->GetAlive() && Original->GetMajorPower() &&
                                  (Original == Conqueror || Original->IsAlliedWith(Conqueror))
                              ? Original
                              : Conqueror;
      Z->SetOwner(NewOwner);
      Fire(OnConquerZone, Conqueror, Z);
      AddChange(chZoneConquered, Z->GetIndex(), Conqueror->GetIndex(), NewOwner->GetIndex());
      const bool Liberated = Original && (NewOwner == Original || NewOwner->IsAlliedWith(Original));
      for (const auto& Event : FRandomEvents) {
        if (!Event->Fired && Event->TriggerName == Z->GetName() && Event->Trigger == (Liberated ? 3 : 2)) {
          FPendingRandomEvent = Event.get();
          break;
        }
      }
      if (Z->GetCapital() && Previous && Original == Previous) ConquerNation(Conqueror, Previous, false);
    }
    TBrenmoorZone* Target = Z->GetRocketTarget();
    if (!Z->GetRocketSite() || GetRandom().Random(30) >= Z->GetIndustry()) continue;
    Owner = Z->GetOwner();
    if (!Target || !Owner || (Target->GetOwner() && Owner->IsAlliedWith(Target->GetOwner())) ||
        !Owner->CanAttackZone(Target) || Z->GetResources() <= 3.0f)
      continue;
    const std::int32_t Damage = GetRandom().Random(6) + 1;
    Target->SetResources(static_cast<float>(Target->GetResources() - static_cast<double>(Damage)));
    Fire(OnRocketAttack, Owner, Target);
    Z->SetResources(Z->GetResources() - 3.0f);
    AddChange(chRocketHit, Z->GetIndex(), Damage);
    DriftRelation(Owner, Target->GetOwner(), -200);
  }
}

void TBrenmoorEngine::RandomEventStage() {
  TRandomEvent* Event = FPendingRandomEvent;
  if (!Event && GetDate() > FLastRandomEventDate + 30.0 && !FRandomEvents.empty() && GetRandom().Random(100) < 3) {
    for (int Try = 0; Try < 51; ++Try) {
      TRandomEvent* Candidate = GetRandomEvent(GetRandom().Random(GetRandomEventCount()));
      ProcessPendingMessages();
      if (!Candidate->Fired && Candidate->Trigger == 0) {
        Event = Candidate;
        break;
      }
    }
  }
  FPendingRandomEvent = nullptr;
  if (!Event) return;
  FLastRandomEventDate = GetDate();
  Event->Fired = true;
  TActiveEvent* Active = AddActiveEvent(Event->Execute());
  ApplyRandomEventEffect(*Active);
  std::int32_t Index = 0;
  while (Index < GetRandomEventCount() && GetRandomEvent(Index) != Event) ++Index;
  AddChange(chRandomEvent, Index, Active->SaveToString());
  Fire(OnRandomEvent, Event);
}

void TBrenmoorEngine::ReinforcementStage(std::int32_t Impulse) {
  for (int I = 0; I < GetReinforcementCount(); ++I) {
    TReinforcement* R = GetReinforcement(I);
    if (R->ArrivalImpulse != Impulse) continue;
    ArriveReinforcement(R);
    AddChange(chReinforcement, I);
  }
}

void TBrenmoorEngine::EndOfImpulseStages(std::int32_t Impulse, std::int32_t MapWidth, std::int32_t MapHeight) {
  for (int I = 0; I < GetZoneCount(); ++I) {
    GetZone(I)->DriftHostileRelations();
    GetZone(I)->ResolveCombat();
    ProcessPendingMessages();
  }
  ProductionStage();
  SupplyRouteStage();
  std::string Embattled;
  for (int I = 0; I < GetZoneCount(); ++I)
    if (GetZone(I)->GetEmbattled()) Embattled += std::to_string(I) + "#";
  AddChange(chEmbattledZones, Embattled);
  ProcessPendingMessages();
  StormStage();
  NewStormStage(MapWidth, MapHeight);
  NationOfImpulseStage(Impulse);
  ConquestStage();
  RandomEventStage();
  for (int I = GetUnitCount() - 1; I >= 0; --I) GetUnit(I)->ApplyLosses();
  for (int I = GetUnitCount() - 1; I >= 0; --I)
    if (I < GetUnitCount()) GetUnit(I)->RemoveIfEmpty();
  ReportUnitChanges();
  ResearchStage();
  ReinforcementStage(Impulse);
}
