// The rules between nations: the diplomatic actions, the conquest of a whole nation with its
// government in exile, a player's surrender, convoys of merchant ships, the free-for-all
// start, the random drift of a relation and the small queries around them. The draws are the host's; every other machine
// reaches the same state through the change records (ApplyConquest, ApplyFreeForAll, the
// relation replay).
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

#include "engine/DiplomacyRules.h"
#include "engine/UnitRules.h"
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

void TDiplomacyRules::DiplomaticAction(TNation* N, TNation* T, int Action) {
  if (!N || !T) return;
  if (N->GetDiplomaticActions() > 0) N->SetDiplomaticActions(static_cast<std::uint8_t>(N->GetDiplomaticActions() - 1));
  FEngine.AddChange(chDiplomaticActionUsed, N->GetIndex());
  const auto Report = [&](TDiplomacyOutcome Outcome) {
    if (!FEngine.HasEngineOption(ReportDiplomacyOption)) return;
    const int Code = Outcome;
    FEngine.Fire(FEngine.OnDiplomacy, N, T, Code);
    FEngine.AddChange(chDiplomacy, N->GetIndex(), T->GetIndex(), Code);
  };
  switch (Action) {
    case daDenounce: {  // Denounce: the target's standing falls with us and with our friends.
      DriftRelation(N, T, -30);
      for (const auto& X : FEngine.GetNations()) {
        if (X.get() == N) continue;
        const std::int32_t Relation = X->GetRelation(N);
        if (Relation > 0) DriftRelation(X.get(), T, -RoundHalfEven(Relation / 100.0 * 30.0));
      }
      Report(drDenounced);
      break;
    }
    case daPropaganda: {  // Propaganda: the target's units waver, its friends' with us grow bolder.
      DriftRelation(T, N, 10);
      for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
        TBrenmoorZone* Zone = FEngine.GetZone(I);
        if (Zone->GetOwner() != T) continue;
        for (int K = 0; K < Zone->GetUnitCount(); ++K) {
          TUnit* Unit = Zone->GetUnit(K);
          const double R = FEngine.GetRandom().Random();
          const double Factor = Unit->GetOwner() && Unit->GetOwner()->IsAlliedWith(N) ? 1.0 + R * 0.15 : 1.0 - R * 0.15;
          Unit->SetOrganization(static_cast<float>(Unit->GetOrganization() * Factor));
        }
      }
      if (PercentChance(T)) {
        Report(drPropagandaFound);
        DriftRelation(T, N, -20);
      }
      break;
    }
    case daExertPressure: {  // Intimidation: troops around the capital may bring the target over.
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
      else if (FEngine.GetRandom().Random(100) < 4)
        Count = FEngine.GetRandom().Random(500);
      if (FEngine.GetRandom().Random(300) <= Count) {
        Report(drPressureYielded);
        DriftRelation(T, N, std::numeric_limits<std::int32_t>::max());
      } else {
        Report(drPressureResisted);
        DriftRelation(T, N, -20);
      }
      break;
    }
    case daArrangeSummit: {  // Negotiation: the worse the relation, the likelier it fails.
      const std::int32_t R = N->GetRelation(T);
      const bool Failed = R < 0 ? FEngine.GetRandom().Random(100) < std::abs(R) : FEngine.GetRandom().Random(100) < 10;
      const bool Bonus = FEngine.GetRandom().Random(100) < 5;
      if (Failed) {
        Report(drSummitFailed);
        DriftRelation(N, T, -40);
      } else if (Bonus) {
        Report(drSummitTriumph);
        DriftRelation(N, T, 200);
      } else {
        Report(drSummitAgreed);
        DriftRelation(N, T, 50);
      }
      break;
    }
    case daInfiltrate: {  // Espionage: influence on the target, less the more land it has.
      std::int32_t V = FEngine.GetRandom().Random(200);
      std::int32_t Zones = 0;
      for (int I = 0; I < FEngine.GetZoneCount(); ++I)
        if (FEngine.GetZone(I)->GetOwner() == T) ++Zones;
      if (Zones > 0) V /= Zones;
      V = std::max(V, 1);
      const std::int32_t Influence = N->GetInfluence(T) + V;
      N->SetInfluence(T, Influence);
      FEngine.AddChange(chInfluence, N->GetIndex(), T->GetIndex(), Influence);
      break;
    }
    case daTightenSecurity: {  // Counter-espionage: our watchfulness grows, the others' influence shrinks.
      N->SetCountdown(N->GetCountdown() + FEngine.GetRandom().Random(100));
      FEngine.AddChange(chCountdown, N->GetIndex(), N->GetCountdown());
      for (const auto& X : FEngine.GetNations()) {
        if (X->IsAlliedWith(N) || X->GetInfluence(T) <= 0) continue;
        const std::int32_t Influence = std::max(0, X->GetInfluence(T) - FEngine.GetRandom().Random(100));
        X->SetInfluence(T, Influence);
        FEngine.AddChange(chInfluence, X->GetIndex(), T->GetIndex(), Influence);
        if (Influence == 0) Report(drAgentCaught);
      }
      break;
    }
    case daAidRebels: {  // Subversion: the target's government totters; caught, it resents us.
      T->SetStability(T->GetStability() - FEngine.GetRandom().Random(50));
      FEngine.AddChange(chStability, -1, T->GetIndex(), T->GetStability());
      if (PercentChance(T)) {
        DriftRelation(T, N, -40);
        Report(drRebelAidFound);
      }
      break;
    }
    case daAidGovernment: {  // Aid: the target's government steadies and warms to us.
      T->SetStability(T->GetStability() + FEngine.GetRandom().Random(50));
      FEngine.AddChange(chStability, -1, T->GetIndex(), T->GetStability());
      DriftRelation(T, N, 40);
      if (PercentChance(T)) Report(drGovernmentAidFound);
      break;
    }
    default: break;
  }
}

// --- Conquest of a nation ---

void TDiplomacyRules::ConquerNation(TNation* A, TNation* B, bool Annex) {
  if (!A || !B || A == B || !A->GetAlive() || !B->GetAlive()) return;
  TBrenmoorZone* Capital = B->GetCapital();
  TNation* Host = nullptr;
  bool OwnsZone = false;
  for (int I = 0; I < FEngine.GetZoneCount() && !OwnsZone; ++I) OwnsZone = FEngine.GetZone(I)->GetOwner() == B;
  if (!Annex && OwnsZone) {
    // The government goes to the friendliest steady nation that is no friend of the
    // conqueror. The conquered nation itself cannot take it in: it is about to die.
    std::int32_t Best = 0;
    for (const auto& X : FEngine.GetNations()) {
      if (!X->GetAlive() || X.get() == B) continue;
      const double F = std::min(X->GetStability() / 100.0 + FEngine.GetRandom().Random(), 1.0);
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
    for (TUnit* Unit : FEngine.GetUnits())
      if (Unit->GetOwner() == B) Units.push_back(Unit);
    for (TUnit* Unit : Units) {
      const std::int32_t D = FEngine.FindPathLength(Capital, Unit->GetZone());
      if (FEngine.GetRandom().Random(10) > D) UnitList += IntToStr(Unit->ID) + "#";
    }
  }
  ApplyConquest(A, B, Host, Annex, UnitList);
  FEngine.AddChange(chNationConquered, A->GetIndex(), B->GetIndex(), Host ? Host->GetIndex() : -1, Annex, UnitList);
  if (!Annex)
    for (const auto& X : FEngine.GetNations()) {
      if (X.get() == B) continue;
      const std::int32_t Relation = X->GetRelation(B);
      if (Relation > 0) DriftRelation(X.get(), A, -2 * static_cast<std::int64_t>(Relation));
    }
}

void TDiplomacyRules::ApplyConquest(TNation* A, TNation* B, TNation* Host, bool Annex, const std::string& UnitList) {
  if (!A || !B) return;
  B->SetAlive(false);
  // The units of B, taken first: changing owners does not reorder the list, but a unit named
  // in the list is looked up by identifier.
  std::vector<TUnit*> Units;
  for (TUnit* Unit : FEngine.GetUnits())
    if (Unit->GetOwner() == B) Units.push_back(Unit);
  if (Annex) {
    TransferZones(B, A);
    for (TUnit* Unit : Units) Unit->ChangeOwner(A);
  } else {
    if (Host) {
      FEngine.Fire(FEngine.OnExileGovt, B, Host);
      TransferZones(B, Host);
    } else {
      TransferZones(B, A);
    }
    std::string Rest = UnitList;
    while (!Rest.empty()) {
      TUnit* Unit = FEngine.GetUnitByID(StrToIntDef(NextToken(Rest, "#"), -1));
      // Only the conquered nation's units can be caught.
      if (Unit && Unit->GetOwner() == B) Unit->ChangeOwner(A);
    }
    for (TUnit* Unit : Units)
      if (Unit->GetOwner() == B) Unit->ChangeOwner(Host ? Host : A);
  }
  FEngine.Fire(FEngine.OnConquerNation, B, A);
}

void TDiplomacyRules::TransferZones(const TNation* From, TNation* To) {
  if (!To) return;
  for (int I = 0; I < FEngine.GetZoneCount(); ++I)
    if (FEngine.GetZone(I)->GetOwner() == From) FEngine.GetZone(I)->SetOwner(To);
}

// --- Players ---

void TDiplomacyRules::RemovePlayer(const std::string& PlayerName) {
  for (int N = 0; N < std::min(FEngine.GetMajorCount(), FEngine.GetNationCount()); ++N) {
    TNation* Nation = FEngine.GetNation(N);
    if (!Nation->GetMajorPower() || !Nation->GetAlive() || Nation->GetPlayerName() != PlayerName) continue;
    for (int I = FEngine.GetUnits().Count() - 1; I >= 0; --I) {
      if (I >= FEngine.GetUnits().Count()) continue;
      TUnit* Unit = FEngine.GetUnits().Items(I);
      if (Unit->GetOwner() != Nation) continue;
      TUnitRules::UntallyUnit(Unit);
      Unit->Remove(false);
      FEngine.FreeUnit(Unit);
    }
  }
  if (FEngine.GetImpulseUsers()) FEngine.GetImpulseUsers()->MarkUserRemoved(PlayerName);
  FEngine.Fire(FEngine.OnPlayerSurrender, PlayerName);
}

int TDiplomacyRules::CollectPlayerNames() {
  std::vector<std::string> Names;
  for (const auto& Nation : FEngine.GetNations()) {
    if (!Nation->GetMajorPower() || !Nation->GetAlive() || Nation->GetComputerPlayer()) continue;
    if (std::find(Names.begin(), Names.end(), Nation->GetPlayerName()) == Names.end()) Names.push_back(Nation->GetPlayerName());
  }
  const int Count = static_cast<int>(Names.size());
  FEngine.SetPlayerNames(std::move(Names));
  return Count;
}

// --- Convoys ---

TUnit* TDiplomacyRules::LaunchConvoy(TBrenmoorZone* Zone) {
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
  FEngine.AddChange(chConvoyLaunched, Zone->GetIndex(), Ships, Resources, Place->GetIndex());
  return Convoy;
}

TUnit* TDiplomacyRules::ReplayConvoy(TBrenmoorZone* Zone, std::int32_t Ships, float Resources, TBrenmoorZone* Place) {
  if (!Zone || !Place || !Zone->GetOwner()) return nullptr;
  Zone->SetResources(Resources);
  TNation* Owner = Zone->GetOwner();
  TUnit* Convoy = FEngine.AddUnit(std::make_unique<TUnit>(FEngine, Owner, ukNavy), Place);
  const auto Count = static_cast<std::uint16_t>(std::clamp(Ships, 0, 65535));
  Convoy->SetCount(utMerchantShip, Count);
  Place->ChangeTally(Owner->GetMajorIndex(), utMerchantShip, Count);
  Convoy->SetOrder(ordDock);
  Convoy->SetDestinationZone(Zone->GetSupplySource());
  return Convoy;
}

// --- Free for all ---

bool TDiplomacyRules::StartFreeForAll() {
  if (FEngine.GetChangeSink() && !FEngine.GetChangeSink()->IsHost()) return false;
  FEngine.AddChange(chFreeForAll);
  ApplyFreeForAll();
  const int Majors = std::min(FEngine.GetMajorCount(), FEngine.GetNationCount());
  for (int I = 0; I < Majors; ++I)
    for (int K = I + 1; K < Majors; ++K) FEngine.GetNation(I)->SetRelation(FEngine.GetNation(K), -100);
  return true;
}

void TDiplomacyRules::ApplyFreeForAll() {
  FEngine.SetFreeForAll(true);
  const int Majors = std::min(FEngine.GetMajorCount(), FEngine.GetNationCount());
  for (int I = 0; I < Majors; ++I) {
    TNation* Nation = FEngine.GetNation(I);
    Nation->SetAttackWithoutWar(true);
    Nation->SetAlliance({});
  }
  // A dead power hears no declaration: its relations are set without record or event.
  for (int I = 0; I < Majors; ++I)
    for (int K = I + 1; K < Majors; ++K) {
      TNation* A = FEngine.GetNation(I);
      TNation* B = FEngine.GetNation(K);
      if (A->GetAlive() && B->GetAlive()) continue;
      A->SetRelationDirect(B, -100);
      B->SetRelationDirect(A, -100);
    }
}

int TDiplomacyRules::GetLivingNationCount() const {
  int Count = 0;
  for (const auto& Nation : FEngine.GetNations())
    if (Nation->GetMajorPower() && Nation->GetAlive()) ++Count;
  return Count;
}

bool TDiplomacyRules::CanContinueFreeForAll() const { return FreeForAllMayGoOn(GetLivingNationCount(), FEngine.GetAllComputer()); }

void TDiplomacyRules::StoreIndustryTotals() {
  for (const auto& Nation : FEngine.GetNations())
    if (Nation->GetMajorPower()) Nation->SetTag(Nation->GetTotalIndustry());
}

// --- Relations ---

bool TDiplomacyRules::DriftRelation(TNation* A, TNation* B, std::int64_t Amount) {
  // A zone without owner has no nation to drift towards.
  if (!A || !B || A == B) return false;
  const std::int32_t Old = A->GetRelation(B);
  if (Old == 100 || Old == -100) return false;
  const float Damping = 1.0f - static_cast<float>(B->GetValue5()) / 100.0f;
  const std::int64_t Step = RoundHalfEven(static_cast<double>(Damping * static_cast<float>(Amount)));
  const double U = FEngine.GetRandom().Random();
  const std::int64_t Shift = RoundHalfEven(U * static_cast<double>(Step));
  const std::int64_t New = std::clamp<std::int64_t>(Old + Shift, -100, 100);
  if (New == A->GetRelation(B)) return false;
  A->SetRelation(B, static_cast<std::int32_t>(New));
  return A->GetRelation(B) != Old;
}

bool TDiplomacyRules::PercentChance(const TNation* Nation) {
  return Nation && FEngine.GetRandom().Random(100) < Nation->GetCountdown();
}
