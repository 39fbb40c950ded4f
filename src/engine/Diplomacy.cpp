// The rules between nations: the diplomatic actions, the conquest of a whole nation with its
// government in exile, a player's surrender, convoys of merchant ships, the free-for-all
// start and the small queries around them. The draws are the host's; every other machine
// reaches the same state through the change records (ApplyConquest, ApplyFreeForAll, the
// relation replay).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "engine/BrenmoorEngine.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"

namespace {

// The option bit that reports diplomatic actions.
constexpr int ReportDiplomacyOption = 3;

}  // namespace

// --- Relations ---

void TNation::ReplayRelation(TNation* Other, std::int32_t Value) {
  if (!Other || !FAlive || !Other->FAlive) return;
  Value = std::clamp(Value, -100, 100);
  if (Value == GetRelation(Other)) return;
  SetRelationDirect(Other, Value);
  Other->SetRelationDirect(this, Value);
  if (Value == 100)
    FEngine->Fire(FEngine->OnDeclareAllies, this, Other);
  else if (Value == -100)
    FEngine->Fire(FEngine->OnDeclareWar, this, Other);
}

// --- Diplomatic actions ---

void TBrenmoorEngine::DiplomaticAction(TNation* N, TNation* T, int Action) {
  if (!N || !T) return;
  if (N->GetDiplomaticActions() > 0) N->SetDiplomaticActions(static_cast<std::uint8_t>(N->GetDiplomaticActions() - 1));
  AddChange(chDiplomaticActionUsed, N->GetIndex());
  const auto Report = [&](int Code) {
    if (!HasEngineOption(ReportDiplomacyOption)) return;
    Fire(OnDiplomacy, N, T, Code);
    AddChange(chDiplomacy, N->GetIndex(), T->GetIndex(), Code);
  };
  switch (Action) {
    case 0: {  // Denounce: the target's standing falls with us and with our friends.
      DriftRelation(N, T, -30);
      for (const auto& X : FNations) {
        if (X.get() == N) continue;
        const std::int32_t Relation = X->GetRelation(N);
        if (Relation > 0) DriftRelation(X.get(), T, -RoundHalfEven(Relation / 100.0 * 30.0));
      }
      Report(0);
      break;
    }
    case 1: {  // Propaganda: the target's units waver, its friends' with us grow bolder.
      DriftRelation(T, N, 10);
      for (int I = 0; I < GetZoneCount(); ++I) {
        TBrenmoorZone* Zone = GetZone(I);
        if (Zone->GetOwner() != T) continue;
        for (int K = 0; K < Zone->GetUnitCount(); ++K) {
          TUnit* Unit = Zone->GetUnit(K);
          const double R = GetRandom().Random();
          const double Factor = Unit->GetOwner() && Unit->GetOwner()->IsAlliedWith(N) ? 1.0 + R * 0.15 : 1.0 - R * 0.15;
          Unit->SetOrganization(static_cast<float>(Unit->GetOrganization() * Factor));
        }
      }
      if (PercentChance(T)) {
        Report(1);
        DriftRelation(T, N, -20);
      }
      break;
    }
    case 2: {  // Intimidation: troops around the capital may bring the target over.
      TBrenmoorZone* Capital = T->GetCapital();
      if (!Capital) break;
      std::int64_t Count = 0;
      const auto CountIn = [&](const TBrenmoorZone* Zone) {
        for (int K = 0; K < Zone->GetUnitCount(); ++K)
          if (Zone->GetUnit(K)->GetOwner() == N) Count += Zone->GetUnit(K)->GetTotalCount();
      };
      CountIn(Capital);
      for (int K = 0; K < Capital->NeighbourCount(); ++K) CountIn(Capital->GetNeighbor(K));
      if (!N->GetAttackWithoutWar())
        Count /= 10;
      else if (GetRandom().Random(100) < 4)
        Count = GetRandom().Random(500);
      if (GetRandom().Random(300) <= Count) {
        Report(3);
        DriftRelation(T, N, std::numeric_limits<std::int32_t>::max());
      } else {
        Report(2);
        DriftRelation(T, N, -20);
      }
      break;
    }
    case 3: {  // Negotiation: the worse the relation, the likelier it fails.
      const std::int32_t R = N->GetRelation(T);
      const bool Failed = R < 0 ? GetRandom().Random(100) < std::abs(R) : GetRandom().Random(100) < 10;
      const bool Bonus = GetRandom().Random(100) < 5;
      if (Failed) {
        Report(4);
        DriftRelation(N, T, -40);
      } else if (Bonus) {
        Report(5);
        DriftRelation(N, T, 200);
      } else {
        Report(6);
        DriftRelation(N, T, 50);
      }
      break;
    }
    case 4: {  // Espionage: influence on the target, less the more land it has.
      std::int32_t V = GetRandom().Random(200);
      std::int32_t Zones = 0;
      for (int I = 0; I < GetZoneCount(); ++I)
        if (GetZone(I)->GetOwner() == T) ++Zones;
      if (Zones > 0) V /= Zones;
      V = std::max(V, 1);
      const std::int32_t Influence = N->GetInfluence(T) + V;
      N->SetInfluence(T, Influence);
      AddChange(chInfluence, N->GetIndex(), T->GetIndex(), Influence);
      break;
    }
    case 5: {  // Counter-espionage: our watchfulness grows, the others' influence shrinks.
      N->SetCountdown(N->GetCountdown() + GetRandom().Random(100));
      AddChange(chCountdown, N->GetIndex(), N->GetCountdown());
      for (const auto& X : FNations) {
        if (X->IsAlliedWith(N) || X->GetInfluence(T) <= 0) continue;
        const std::int32_t Influence = std::max(0, X->GetInfluence(T) - GetRandom().Random(100));
        X->SetInfluence(T, Influence);
        AddChange(chInfluence, X->GetIndex(), T->GetIndex(), Influence);
        if (Influence == 0) Report(7);
      }
      break;
    }
    case 6: {  // Subversion: the target's government totters; caught, it resents us.
      T->SetStability(T->GetStability() - GetRandom().Random(50));
      AddChange(chStability, -1, T->GetIndex(), T->GetStability());
      if (PercentChance(T)) {
        DriftRelation(T, N, -40);
        Report(8);
      }
      break;
    }
    case 7: {  // Aid: the target's government steadies and warms to us.
      T->SetStability(T->GetStability() + GetRandom().Random(50));
      AddChange(chStability, -1, T->GetIndex(), T->GetStability());
      DriftRelation(T, N, 40);
      if (PercentChance(T)) Report(9);
      break;
    }
    default: break;
  }
}

// --- Conquest of a nation ---

void TBrenmoorEngine::ConquerNation(TNation* A, TNation* B, bool Annex) {
  if (!A || !B || A == B || !A->GetAlive() || !B->GetAlive()) return;
  TBrenmoorZone* Capital = B->GetCapital();
  TNation* Host = nullptr;
  bool OwnsZone = false;
  for (int I = 0; I < GetZoneCount() && !OwnsZone; ++I) OwnsZone = GetZone(I)->GetOwner() == B;
  if (!Annex && OwnsZone) {
    // The government goes to the friendliest steady nation that is no friend of the
    // conqueror. The conquered nation itself cannot take it in: it is about to die.
    std::int32_t Best = 0;
    for (const auto& X : FNations) {
      if (!X->GetAlive() || X.get() == B) continue;
      const double F = std::min(X->GetStability() / 100.0 + GetRandom().Random(), 1.0);
      const double Score = B->GetRelation(X.get()) * F;
      if (Score > Best && !X->IsAlliedWith(A)) {
        Best = static_cast<std::int32_t>(std::trunc(Score));
        Host = X.get();
      }
    }
  }
  // Units near the capital are caught by the conqueror.
  std::string UnitList;
  if (Capital) {
    std::vector<TUnit*> Units;
    for (TUnit* Unit : FUnits)
      if (Unit->GetOwner() == B) Units.push_back(Unit);
    for (TUnit* Unit : Units) {
      const std::int32_t D = FindPathLength(Capital, Unit->GetZone());
      if (GetRandom().Random(10) > D) UnitList += IntToStr(Unit->ID) + "#";
    }
  }
  ApplyConquest(A, B, Host, Annex, UnitList);
  AddChange(chNationConquered, A->GetIndex(), B->GetIndex(), Host ? Host->GetIndex() : -1, Annex, UnitList);
  if (!Annex)
    for (const auto& X : FNations) {
      if (X.get() == B) continue;
      const std::int32_t Relation = X->GetRelation(B);
      if (Relation > 0) DriftRelation(X.get(), A, -2 * static_cast<std::int64_t>(Relation));
    }
}

void TBrenmoorEngine::ApplyConquest(TNation* A, TNation* B, TNation* Host, bool Annex, const std::string& UnitList) {
  if (!A || !B) return;
  B->SetAlive(false);
  // The units of B, taken first: changing owners does not reorder the list, but a unit named
  // in the list is looked up by identifier.
  std::vector<TUnit*> Units;
  for (TUnit* Unit : FUnits)
    if (Unit->GetOwner() == B) Units.push_back(Unit);
  if (Annex) {
    TransferZones(B, A);
    for (TUnit* Unit : Units) Unit->ChangeOwner(A);
  } else {
    if (Host) {
      Fire(OnExileGovt, B, Host);
      TransferZones(B, Host);
    } else {
      TransferZones(B, A);
    }
    std::string Rest = UnitList;
    while (!Rest.empty()) {
      TUnit* Unit = GetUnitByID(StrToIntDef(NextToken(Rest, "#"), -1));
      // Only the conquered nation's units can be caught.
      if (Unit && Unit->GetOwner() == B) Unit->ChangeOwner(A);
    }
    for (TUnit* Unit : Units)
      if (Unit->GetOwner() == B) Unit->ChangeOwner(Host ? Host : A);
  }
  Fire(OnConquerNation, B, A);
}

void TBrenmoorEngine::TransferZones(const TNation* From, TNation* To) {
  if (!To) return;
  for (int I = 0; I < GetZoneCount(); ++I)
    if (GetZone(I)->GetOwner() == From) GetZone(I)->SetOwner(To);
}

// --- Players ---

void TBrenmoorEngine::RemovePlayer(const std::string& PlayerName) {
  for (int N = 0; N < std::min(FMajorCount, GetNationCount()); ++N) {
    TNation* Nation = GetNation(N);
    if (!Nation->GetMajorPower() || !Nation->GetAlive() || Nation->GetPlayerName() != PlayerName) continue;
    for (int I = FUnits.Count() - 1; I >= 0; --I) {
      if (I >= FUnits.Count()) continue;
      TUnit* Unit = FUnits.Items(I);
      if (Unit->GetOwner() != Nation) continue;
      UntallyUnit(Unit);
      Unit->Remove(false);
      FreeUnit(Unit);
    }
  }
  if (FImpulseUsers) FImpulseUsers->MarkUserRemoved(PlayerName);
  Fire(OnPlayerSurrender, PlayerName);
}

int TBrenmoorEngine::CollectPlayerNames() {
  FPlayerNames.clear();
  for (const auto& Nation : FNations) {
    if (!Nation->GetMajorPower() || !Nation->GetAlive() || Nation->GetComputerPlayer()) continue;
    if (std::find(FPlayerNames.begin(), FPlayerNames.end(), Nation->GetPlayerName()) == FPlayerNames.end())
      FPlayerNames.push_back(Nation->GetPlayerName());
  }
  return static_cast<int>(FPlayerNames.size());
}

// --- Convoys ---

TUnit* TBrenmoorEngine::LaunchConvoy(TBrenmoorZone* Zone) {
  if (!Zone || !Zone->GetOwner()) return nullptr;
  TBrenmoorZone* Place = Zone->GetPortZone();
  for (int K = 0; K < Zone->NeighbourCount() && !Place; ++K)
    if (Zone->GetNeighbor(K)->GetSea() != 0) Place = Zone->GetNeighbor(K);
  // No sea to sail: the resources stay where they are.
  if (!Place) return nullptr;
  const std::int32_t Ships = static_cast<std::int32_t>(std::trunc(Zone->GetResources())) / 5;
  if (Ships <= 0) return nullptr;
  const float Resources = static_cast<float>(Zone->GetResources() - Ships * 5.0);
  TUnit* Convoy = ReplayConvoy(Zone, Ships, Resources, Place);
  AddChange(chConvoyLaunched, Zone->GetIndex(), Ships, Resources, Place->GetIndex());
  return Convoy;
}

TUnit* TBrenmoorEngine::ReplayConvoy(TBrenmoorZone* Zone, std::int32_t Ships, float Resources, TBrenmoorZone* Place) {
  if (!Zone || !Place || !Zone->GetOwner()) return nullptr;
  Zone->SetResources(Resources);
  TNation* Owner = Zone->GetOwner();
  TUnit* Convoy = AddUnit(std::make_unique<TUnit>(*this, Owner, ukNavy), Place);
  const auto Count = static_cast<std::uint16_t>(std::clamp(Ships, 0, 65535));
  Convoy->SetCount(utMerchantShip, Count);
  Place->ChangeTally(Owner->GetMajorIndex(), utMerchantShip, Count);
  Convoy->SetOrder(ordDock);
  Convoy->SetDestinationZone(Zone->GetSupplySource());
  return Convoy;
}

// --- Free for all ---

bool TBrenmoorEngine::StartFreeForAll() {
  if (FChangeSink && !FChangeSink->IsHost()) return false;
  AddChange(chFreeForAll);
  ApplyFreeForAll();
  const int Majors = std::min(FMajorCount, GetNationCount());
  for (int I = 0; I < Majors; ++I)
    for (int K = I + 1; K < Majors; ++K) GetNation(I)->SetRelation(GetNation(K), -100);
  return true;
}

void TBrenmoorEngine::ApplyFreeForAll() {
  FFreeForAll = true;
  const int Majors = std::min(FMajorCount, GetNationCount());
  for (int I = 0; I < Majors; ++I) {
    TNation* Nation = GetNation(I);
    Nation->SetAttackWithoutWar(true);
    Nation->SetAlliance({});
  }
  // A dead power hears no declaration: its relations are set without record or event.
  for (int I = 0; I < Majors; ++I)
    for (int K = I + 1; K < Majors; ++K) {
      TNation* A = GetNation(I);
      TNation* B = GetNation(K);
      if (A->GetAlive() && B->GetAlive()) continue;
      A->SetRelationDirect(B, -100);
      B->SetRelationDirect(A, -100);
    }
}

int TBrenmoorEngine::GetLivingNationCount() const {
  int Count = 0;
  for (const auto& Nation : FNations)
    if (Nation->GetMajorPower() && Nation->GetAlive()) ++Count;
  return Count;
}

bool TBrenmoorEngine::CanContinueFreeForAll() const { return !FAllComputer && GetLivingNationCount() >= 2; }

void TBrenmoorEngine::StoreIndustryTotals() {
  for (const auto& Nation : FNations)
    if (Nation->GetMajorPower()) Nation->SetTag(Nation->GetTotalIndustry());
}

// --- Merging ---

bool TBrenmoorEngine::CanMergeUnits(const std::vector<TUnit*>& Units) const {
  if (Units.empty() || !Units.front() || !Units.front()->GetZone() || Units.front()->GetZone()->GetEmbattled()) return false;
  const TUnit* First = Units.front();
  for (const TUnit* Unit : Units) {
    if (!Unit || !Unit->GetZone()) return false;
    if (Unit->GetKind() != First->GetKind() || Unit->GetOwner() != First->GetOwner()) return false;
    const bool AtSea = Unit->GetZone()->GetSea() != 0;
    if (Unit->GetKind() == ukArmy && AtSea) return false;
    if (Unit->GetKind() == ukAirForce && (AtSea || Unit->GetOrder() != ordNone)) return false;
    if (Unit->GetKind() == ukNavy && Unit->GetSubmerged()) return false;
  }
  return MergedCountsFit(Units);
}
