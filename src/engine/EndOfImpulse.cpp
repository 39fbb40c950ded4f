// The end-of-impulse stages of the host that build units, age and raise storms, and the coup.
#include <algorithm>

#include "engine/CombatRules.h"
#include "engine/FieldRanges.h"
#include "engine/DiplomacyRules.h"
#include "engine/EndOfImpulseRules.h"
#include "engine/RandomEventRules.h"
#include "engine/ReinforcementRules.h"
#include "engine/ResearchRules.h"
#include "foundation/Rounding.h"

bool TEndOfImpulseRules::BuildUnitInZone(TBrenmoorZone* Zone) {
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
  auto Unit = std::make_unique<TUnit>(FEngine, Zone->GetOwner(), static_cast<TUnitKind>(Kind));
  const int Row = Zone->GetOwner()->GetMajorIndex();
  for (int T = 0; T < UnitTypeCount; ++T) {
    Unit->SetCount(T, Zone->GetBuildQueue(T));
    if (Zone->GetBuildQueue(T) != 0) Place->ChangeTally(Row, T, Zone->GetBuildQueue(T));
  }
  FEngine.AddUnit(std::move(Unit), Place);
  // The order is done: no queue is left behind for a saved game to lose and a machine that
  // joins later to miss.
  for (int T = 0; T < UnitTypeCount; ++T) Zone->SetBuildQueue(T, 0);
  return true;
}

void TEndOfImpulseRules::Coup(TNation* Nation, std::int32_t Strength) {
  if (!Nation) return;
  FEngine.Fire(FEngine.OnCoup, Nation);
  const auto Turn = [Strength](std::int32_t Value) {
    const std::int32_t Negated = -Value;
    if (Negated == 100) return Strength;
    if (Negated == -100) return -Strength;
    return Negated;
  };
  for (const auto& Other : FEngine.GetNations()) Nation->SetRelationDirect(Other.get(), Turn(Nation->GetRelation(Other.get())));
  for (const auto& Other : FEngine.GetNations()) Other->SetRelationDirect(Nation, Turn(Other->GetRelation(Nation)));
  FEngine.AddChange(chCoup, Nation->GetIndex(), Strength);
  for (const auto& Event : FEngine.GetRandomEvents()) {
    if (!Event->Fired && Event->Trigger == 1 && Event->TriggerName == Nation->GetName()) {
      FEngine.SetPendingRandomEvent(Event.get());
      break;
    }
  }
}

void TEndOfImpulseRules::ProductionStage() {
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = FEngine.GetZone(I);
    if (!Zone->GetBuilding()) continue;
    const std::int32_t Add = Zone->GetFactories() > 0 ? Zone->GetFactories() : 1;
    Zone->SetBuildProgressPoints(static_cast<float>(Zone->GetBuildProgressPoints() + Add));
    FEngine.AddChange(chBuildProgress, Zone->GetIndex(), Zone->GetBuildProgressPoints());
    if (Zone->GetBuildProgressPoints() > Zone->GetBuildTotal()) {
      // The record goes out only for a unit that was built, so the guest builds the same.
      if (BuildUnitInZone(Zone)) FEngine.AddChange(chUnitsBuilt, Zone->GetIndex());
    }
  }
}

void TEndOfImpulseRules::StormStage() {
  for (int I = FEngine.GetStormCount() - 1; I >= 0; --I) {
    FEngine.ProcessPendingMessages();
    if (I >= FEngine.GetStormCount()) continue;
    TStorm* Storm = FEngine.GetStorm(I);
    Storm->Lifetime -= 1;
    if (Storm->Lifetime <= 0) {
      FEngine.AddChange(chStormRemoved, I);
      FEngine.Fire(FEngine.OnRemoveStorm, Storm);
      FEngine.DeleteStorm(Storm);
      continue;
    }
    const std::int32_t OldX = Storm->X;
    const std::int32_t OldY = Storm->Y;
    // A storm far off the map stops at the edge of what a saved game holds.
    const auto Step = [](std::int32_t& Place, std::int32_t By) {
      Place = static_cast<std::int32_t>(std::clamp<std::int64_t>(std::int64_t{Place} + By, FieldRange::MapPlace.Min, FieldRange::MapPlace.Max));
    };
    if (FEngine.GetRandom().Random(100) < Storm->ChanceUp) Step(Storm->Y, -10);
    if (FEngine.GetRandom().Random(100) < Storm->ChanceDown) Step(Storm->Y, 10);
    if (FEngine.GetRandom().Random(100) < Storm->ChanceLeft) Step(Storm->X, -10);
    if (FEngine.GetRandom().Random(100) < Storm->ChanceRight) Step(Storm->X, 10);
    // Up and down (or left and right) in one impulse leave it where it was: no move.
    const bool Moved = Storm->X != OldX || Storm->Y != OldY;
    // Every surviving storm's record carries its lifetime, so a guest ages it the same; only a
    // storm that moved is news.
    if (Moved) FEngine.Fire(FEngine.OnMoveStorm, Storm);
    FEngine.AddChange(chStormMoved, I, Storm->X, Storm->Y, Storm->Lifetime);
  }
}

void TEndOfImpulseRules::NewStormStage(std::int32_t MapWidth, std::int32_t MapHeight) {
  if (FEngine.GetRandom().Random(100) >= 5 || !(FEngine.HasEngineOption(1) || FEngine.HasEngineOption(2))) return;
  auto Storm = std::make_unique<TStorm>(FEngine);
  Storm->Width = FEngine.GetRandom().Random(600) + 200;
  Storm->Height = FEngine.GetRandom().Random(400) + 100;
  // A map narrower than the storm and its margin gives no room to choose: the left edge.
  const std::int32_t Room = MapWidth - Storm->Width - 50;
  Storm->X = Room > 0 ? FEngine.GetRandom().Random(Room) : 0;
  if (FEngine.GetRandom().Random(100) < 50 && FEngine.HasEngineOption(1)) {
    Storm->StormType = stSnow;
    const int Month = DecodeDate(FEngine.GetDate()).Month;
    Storm->Y = Month <= 3 || Month >= 10 ? FEngine.GetRandom().Random(100) : Storm->Height - FEngine.GetRandom().Random(100);
  } else {
    Storm->StormType = stRain;
    const std::int32_t Quarter = std::max(MapHeight / 4, 1);
    Storm->Y = FEngine.GetRandom().Random(Quarter) - MapHeight / 8 + MapHeight / 2;
  }
  Storm->Lifetime = FEngine.GetRandom().Random(40) + 5;
  Storm->ChanceUp = FEngine.GetRandom().Random(100);
  Storm->ChanceDown = FEngine.GetRandom().Random(100);
  Storm->ChanceLeft = FEngine.GetRandom().Random(100);
  Storm->ChanceRight = FEngine.GetRandom().Random(100);
  TStorm* Added = FEngine.AddStorm(std::move(Storm));
  FEngine.Fire(FEngine.OnCreateStorm, Added);
  FEngine.AddChange(chStormCreated, Added->SaveToString());
}

void TEndOfImpulseRules::SupplyRouteStage() {
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = FEngine.GetZone(I);
    TBrenmoorZone* Source = Zone->GetSupplySource();
    if (Zone->GetSea() != 0 || Zone->GetEmbattled() || !Source || Source == Zone) continue;
    if (Source->IsAlliedTo(Zone->GetOwner())) {
      if (!Zone->IsNeighbour(Source) && Zone->GetResources() > 5.0f) FEngine.Diplomacy().LaunchConvoy(Zone);
    } else {
      Zone->SetSupplySource(Zone);
      FEngine.AddChange(chSupplySource, Zone->GetIndex(), Zone->GetIndex());
    }
  }
}

void TEndOfImpulseRules::NationOfImpulseStage(std::int32_t Impulse) {
  if (FEngine.GetNations().empty()) return;
  TNation* N = FEngine.GetNation(Impulse % FEngine.GetNationCount());
  if (!N->GetAlive()) return;
  if (N->GetStability() < 100 && !N->GetMajorPower()) {
    const double R = FEngine.GetRandom().Random(100) * FEngine.GetRandom().Random();
    if (N->GetStability() < R) {
      N->SetStability(FEngine.GetRandom().Random(50) + 50);
      FEngine.AddChange(chStability, -1, N->GetIndex(), N->GetStability());
      Coup(N, FEngine.GetRandom().Random(50) + 50);
    }
  }
  // Every living nation N likes pulls on N's relations, N itself among them when it likes
  // itself (a nation in an alliance stands at 100 towards itself): its own leanings deepen.
  for (const auto& M : FEngine.GetNations()) {
    if (!M->GetAlive() || N->GetRelation(M.get()) <= 0) continue;
    const double Factor = N->GetRelation(M.get()) / 100.0;
    for (const auto& K : FEngine.GetNations()) {
      if (!K->GetAlive() || K.get() == N || K.get() == M.get() || M->GetRelation(K.get()) == 0) continue;
      FEngine.ProcessPendingMessages();
      const int Own = N->GetRelation(K.get());
      if (Own == 100 || Own == -100) continue;
      FEngine.Diplomacy().DriftRelation(N, K.get(), RoundHalfEven(M->GetRelation(K.get()) * Factor * 0.2));
    }
  }
}

void TEndOfImpulseRules::ConquestStage() {
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    TBrenmoorZone* Z = FEngine.GetZone(I);
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
      for (const auto& M : FEngine.GetNations()) {
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
      FEngine.Fire(FEngine.OnConquerZone, Conqueror, Z);
      FEngine.AddChange(chZoneConquered, Z->GetIndex(), Conqueror->GetIndex(), NewOwner->GetIndex());
      const bool Liberated = Original && (NewOwner == Original || NewOwner->IsAlliedWith(Original));
      for (const auto& Event : FEngine.GetRandomEvents()) {
        if (!Event->Fired && Event->TriggerName == Z->GetName() && Event->Trigger == (Liberated ? 3 : 2)) {
          FEngine.SetPendingRandomEvent(Event.get());
          break;
        }
      }
      if (Z->GetCapital() && Previous && Original == Previous) FEngine.Diplomacy().ConquerNation(Conqueror, Previous, false);
    }
    TBrenmoorZone* Target = Z->GetRocketTarget();
    if (!Z->GetRocketSite() || FEngine.GetRandom().Random(30) >= Z->GetIndustry()) continue;
    Owner = Z->GetOwner();
    if (!Target || !Owner || (Target->GetOwner() && Owner->IsAlliedWith(Target->GetOwner())) ||
        !Owner->CanAttackZone(Target) || Z->GetResources() <= 3.0f)
      continue;
    const std::int32_t Damage = FEngine.GetRandom().Random(6) + 1;
    Target->SetResources(static_cast<float>(Target->GetResources() - static_cast<double>(Damage)));
    FEngine.Fire(FEngine.OnRocketAttack, Owner, Target);
    Z->SetResources(Z->GetResources() - 3.0f);
    FEngine.AddChange(chRocketHit, Z->GetIndex(), Damage);
    FEngine.Diplomacy().DriftRelation(Owner, Target->GetOwner(), -200);
  }
}

void TEndOfImpulseRules::RandomEventStage() {
  TRandomEvent* Event = FEngine.GetPendingRandomEvent();
  if (!Event && FEngine.GetDate() > FEngine.GetLastRandomEventDate() + 30.0 && !FEngine.GetRandomEvents().empty() && FEngine.GetRandom().Random(100) < 3) {
    for (int Try = 0; Try < 51; ++Try) {
      TRandomEvent* Candidate = FEngine.GetRandomEvent(FEngine.GetRandom().Random(FEngine.GetRandomEventCount()));
      FEngine.ProcessPendingMessages();
      if (!Candidate->Fired && Candidate->Trigger == 0) {
        Event = Candidate;
        break;
      }
    }
  }
  FEngine.SetPendingRandomEvent(nullptr);
  if (!Event) return;
  FEngine.SetLastRandomEventDate(FEngine.GetDate());
  Event->Fired = true;
  TActiveEvent* Active = FEngine.AddActiveEvent(Event->Execute());
  FEngine.RandomEvents().ApplyRandomEventEffect(*Active);
  std::int32_t Index = 0;
  while (Index < FEngine.GetRandomEventCount() && FEngine.GetRandomEvent(Index) != Event) ++Index;
  FEngine.AddChange(chRandomEvent, Index, Active->SaveToString());
  FEngine.Fire(FEngine.OnRandomEvent, Event);
}

void TEndOfImpulseRules::ReinforcementStage(std::int32_t Impulse) {
  for (int I = 0; I < FEngine.GetReinforcementCount(); ++I) {
    TReinforcement* R = FEngine.GetReinforcement(I);
    if (R->ArrivalImpulse != Impulse) continue;
    FEngine.Reinforcements().ArriveReinforcement(R);
    FEngine.AddChange(chReinforcement, I);
  }
}

void TEndOfImpulseRules::EndOfImpulseStages(std::int32_t Impulse, std::int32_t MapWidth, std::int32_t MapHeight) {
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    FEngine.GetZone(I)->DriftHostileRelations();
    FEngine.GetZone(I)->ResolveCombat();
    FEngine.ProcessPendingMessages();
  }
  ProductionStage();
  SupplyRouteStage();
  std::string Embattled;
  for (int I = 0; I < FEngine.GetZoneCount(); ++I)
    if (FEngine.GetZone(I)->GetEmbattled()) Embattled += std::to_string(I) + "#";
  FEngine.AddChange(chEmbattledZones, Embattled);
  FEngine.ProcessPendingMessages();
  StormStage();
  NewStormStage(MapWidth, MapHeight);
  NationOfImpulseStage(Impulse);
  ConquestStage();
  RandomEventStage();
  for (int I = FEngine.GetUnitCount() - 1; I >= 0; --I) FEngine.GetUnit(I)->ApplyLosses();
  for (int I = FEngine.GetUnitCount() - 1; I >= 0; --I)
    if (I < FEngine.GetUnitCount()) FEngine.GetUnit(I)->RemoveIfEmpty();
  FEngine.Combat().ReportUnitChanges();
  FEngine.Research().ResearchStage();
  ReinforcementStage(Impulse);
}
