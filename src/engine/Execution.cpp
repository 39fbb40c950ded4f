// The acting units of an impulse and the step of each standing order. Runs on the host only;
// every change goes out as a change record before or as the host makes it.
#include <algorithm>
#include <cmath>

#include "engine/AtomicRules.h"
#include "engine/DiplomacyRules.h"
#include "engine/ExecutionRules.h"
#include "foundation/Rounding.h"

const std::array<const char*, 10> TExecutionRules::ImpulseActions = {
    "0000000001", "0000010000", "0001001001", "0010010100", "0010101010",
    "0101101011", "0110110110", "0111011110", "0111111110", "1111111111"};

bool TExecutionRules::IsActionImpulse(std::int32_t Impulse, int Speed) {
  const int Row = std::clamp(Speed, 0, 9);
  int Column = Impulse % 10;
  if (Column < 0) Column += 10;
  return ImpulseActions[static_cast<std::size_t>(Row)][std::max(Column, 1) - 1] == '1';
}

std::vector<std::int32_t> TExecutionRules::SelectActingUnits(std::int32_t Impulse) {
  std::vector<TUnit*> Acting;
  for (TUnit* Unit : FEngine.GetUnits()) {
    Unit->SetSortKey(static_cast<float>(FEngine.GetRandom().Random()));
    if (IsActionImpulse(Impulse, Unit->UnitSpeed())) Acting.push_back(Unit);
  }
  // A strict ordering: the key, equal keys by identifier.
  std::sort(Acting.begin(), Acting.end(), [](const TUnit* A, const TUnit* B) {
    if (A->GetSortKey() != B->GetSortKey()) return A->GetSortKey() < B->GetSortKey();
    return A->ID < B->ID;
  });
  std::vector<std::int32_t> IDs;
  IDs.reserve(Acting.size());
  for (const TUnit* Unit : Acting) IDs.push_back(Unit->ID);
  return IDs;
}

void TExecutionRules::ExecuteUnits(std::int32_t Impulse) {
  FEngine.SetPendingRandomEvent(nullptr);
  for (const std::int32_t ID : SelectActingUnits(Impulse)) {
    FEngine.ProcessPendingMessages();
    // A step before may have freed the unit (a convoy that unloaded, a fleet sunk).
    if (TUnit* Unit = FEngine.GetUnitByID(ID)) ExecuteUnit(Unit);
  }
}

namespace {

// Below 0 turns back to 1, the end of the list back to its last but one.
void Bounce(std::int32_t& Position, std::int32_t& Step, std::int32_t Count) {
  if (Position < 0) {
    Step = 1;
    Position = 1;
  } else if (Position >= Count) {
    Step = -1;
    Position = Count - 2;
  }
}

void PatrolStep(TBrenmoorEngine& E, TUnit* Unit) {
  if (!Unit->GetZone()) return;
  if (Unit->GetZone()->GetEmbattled() && Unit->GetOrder() != ordRecon) return;
  const std::int32_t Count = Unit->GetPatrolZoneCount();
  // The order stage gives a patrol at least two zones; a shorter list cannot step.
  if (Count < 2) return;
  std::int32_t Position = Unit->GetPatrolIndex() + Unit->GetPatrolStep();
  std::int32_t Step = Unit->GetPatrolStep();
  Bounce(Position, Step, Count);
  Unit->SetPatrolIndex(Position);
  Unit->SetPatrolStep(Step);
  Unit->SetDestinationZone(Unit->GetPatrolZone(Position));
  Unit->InvadeZone(mmImpulse);
  std::int32_t Next = Position + Step;
  std::int32_t NextStep = Step;
  Bounce(Next, NextStep, Count);
  Unit->SetDestinationZone(Unit->GetPatrolZone(Next));
  E.AddUnitChange(Unit, chPatrolPosition, Position, Step, Unit->GetDestinationZone()->GetIndex());
}

void BombStep(TBrenmoorEngine& E, TUnit* Unit) {
  TBrenmoorZone* Zone = Unit->GetZone();
  if (!Zone || Unit->GetCombatFlag() == 0) return;
  TNation* Owner = Unit->GetOwner();
  if (const int Bombers = Unit->GetCount(utBomber); Bombers > 0) {
    Zone->SetBombCount(Zone->GetBombCount() + Bombers);
    for (int I = 0; I < Bombers; ++I) {
      Zone->SetBombCount(Zone->GetBombCount() + 1);
      double Damage = E.GetRandom().Random() * Unit->GetOrganization() / 100.0;
      E.ApplyModifiers(efBombingDamage, Damage, Unit);
      Zone->SetResources(static_cast<float>(Zone->GetResources() - Damage));
    }
    Unit->LoseOrganization(0.02);
    E.Fire(E.OnBombZone, Owner, Zone);
    E.AddChange(chZoneBombed, Owner ? Owner->GetIndex() : -1, Zone->GetIndex(), Zone->GetBombCount(), Zone->GetResources());
    E.Diplomacy().DriftRelation(Zone->GetOwner(), Owner, -50);
  }
  if (Unit->GetCount(utAtomicBomber) > 0) E.Atomic().AtomicBomb(Owner, Zone, Unit);
}

void BombardStep(TBrenmoorEngine& E, TUnit* Unit) {
  TBrenmoorZone* Target = Unit->GetDestinationZone();
  TBrenmoorZone* Zone = Unit->GetZone();
  if (!Target || !Zone) return;
  if (!Zone->IsNeighbour(Target)) {
    Unit->InvadeZone(mmImpulse);
    return;
  }
  TNation* Owner = Unit->GetOwner();
  if (Target->IsAlliedTo(Owner) || Zone->GetEmbattled()) return;
  E.Fire(E.OnBombardZone, Owner, Target);
  E.AddChange(chZoneStrike, Owner ? Owner->GetIndex() : -1, Target->GetIndex(), 2);
  Unit->LoseOrganization(0.05);
  std::vector<TUnit*> Victims;
  double Total = 0;
  for (int I = 0; I < Target->GetUnitCount(); ++I) {
    TUnit* Victim = Target->GetUnit(I);
    // Only armies are shelled, and only those the fleet's owner may fight.
    if (!Unit->CanAttackArmy(Victim)) continue;
    Victims.push_back(Victim);
    Total += Victim->GetTotalCount();
  }
  Total /= 10.0;
  for (int I = 0; I < Unit->GetCount(utBattleship); ++I) {
    Target->SetStrikeCount(Target->GetStrikeCount() + 1);
    // Without a target of any strength there is nothing to share the fire among.
    if (Total <= 0) continue;
    for (TUnit* Victim : Victims) {
      double Damage = E.GetRandom().Random() * 0.1 * Unit->GetOrganization() / 100.0 * (1.0 / Total);
      E.ApplyModifiers(efBombardment, Damage, Unit);
      Victim->LoseOrganization(Damage);
    }
  }
  E.AddChange(chZoneBombarded, Target->GetIndex(), Target->GetStrikeCount());
  E.Diplomacy().DriftRelation(Target->GetOwner(), Owner, -30);
}

void ArriveStep(TBrenmoorEngine& E, TUnit* Unit) {
  if (Unit->GetKind() == ukNavy && Unit->GetZone() && Unit->GetZone()->GetEmbattled() && Unit->GetPreviousZone()) return;
  Unit->InvadeZone(mmImpulse);
  TBrenmoorZone* Zone = Unit->GetZone();
  if (!Zone || Zone != Unit->GetDestinationZone()) return;
  if (Unit->GetOrder() == ordDock) {
    E.AddUnitChange(Unit, chConvoyDelivered);
    Unit->UnloadMerchants();  // may free the unit
    return;
  }
  if (Unit->GetOrder() == ordInvade && Zone->GetOwner()) {
    TNation* Owner = Unit->GetOwner();
    TNation* Victim = Zone->GetOwner();
    E.Diplomacy().DriftRelation(Owner, Victim, -1000);
    for (int K = 0; K < E.GetNationCount(); ++K) {
      TNation* Friend = E.GetNation(K);
      if (Friend == Victim) continue;
      const int Relation = Friend->GetRelation(Victim);
      if (Relation <= 0) continue;
      const std::int64_t Amount = std::max<std::int64_t>(10, RoundHalfEven(Relation / 100.0 * 50.0));
      E.Diplomacy().DriftRelation(Friend, Owner, -Amount);
    }
  }
  Unit->SetOrder(ordNone);
  E.SendUnitOrder(Unit);
}

}  // namespace

void TExecutionRules::ExecuteUnit(TUnit* Unit) {
  switch (Unit->GetOrder()) {
    case ordMove: case ordDock: case ordInvade: ArriveStep(FEngine, Unit); break;
    case ordLaunch: {
      Unit->SetOrder(ordNone);
      // The destination is settled before the order record goes out, so that the guest has it.
      if (!Unit->GetDestinationZone() && Unit->GetZone()) {
        for (TZone* Near : Unit->GetZone()->GetNeighbours()) {
          auto* Sea = static_cast<TBrenmoorZone*>(Near);
          if (Sea->GetSea() != 0) {
            Unit->SetDestinationZone(Sea);
            break;
          }
        }
      }
      FEngine.SendUnitOrder(Unit);
      if (Unit->GetDestinationZone()) Unit->InvadeZone(mmImpulse);
      break;
    }
    case ordRetreat:
      Unit->SetOrder(ordNone);
      FEngine.SendUnitOrder(Unit);
      Unit->InvadeZone(mmImpulse);
      break;
    case ordEmbark:
      Unit->SetOrder(ordNone);
      FEngine.SendUnitOrder(Unit);
      Unit->Embark(mmImpulse);
      break;
    case ordDisembark:
      Unit->SetOrder(ordNone);
      FEngine.SendUnitOrder(Unit);
      Unit->Disembark(mmImpulse);
      break;
    case ordIntercept: {
      TUnit* Target = Unit->GetDestinationUnit();
      if (!Target || !Target->GetZone() || Target->GetZone()->GetSea() == 0 || !Target->GetZone()->IsVisibleTo(Unit->GetOwner()))
        break;
      if (Unit->GetDestinationZone() != Target->GetZone()) {
        Unit->SetDestinationZone(Target->GetZone());
        FEngine.SendUnitOrder(Unit);
      }
      Unit->InvadeZone(mmImpulse);
      break;
    }
    case ordPatrol: case ordRecon: PatrolStep(FEngine, Unit); break;
    case ordAirStrike: Unit->LoseOrganization(0.02); break;
    case ordBomb: BombStep(FEngine, Unit); break;
    case ordBombard: BombardStep(FEngine, Unit); break;
    default: break;
  }
}
