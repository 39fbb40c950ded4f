// Combat in a zone, the kamikaze attack and the end-of-impulse reports of organisation and
// experience. Combat only marks damaged units; the losses stage turns them into losses and
// sends the new strengths.
#include <algorithm>
#include <limits>

#include "engine/CombatRules.h"
#include "engine/DiplomacyRules.h"
#include "engine/TargetPicker.h"
#include "foundation/NumberText.h"

namespace {

bool IsAirType(int Type) { return UnitTypes[static_cast<std::size_t>(Type)].Kind == ukAirForce; }
bool IsArmyType(int Type) { return UnitTypes[static_cast<std::size_t>(Type)].Kind == ukArmy; }

// A uniform draw 0..N-1 (0 when N <= 0). Values within the generator's 32-bit range take its
// ordinary draw; larger ones (a zone of huge units at high formation weights) draw 64 bits,
// rejecting the top slice that would favour low values.
std::int64_t DrawBelow(TRandomGenerator& Random, std::int64_t N) {
  if (N <= std::numeric_limits<std::int32_t>::max()) return Random.Random(static_cast<std::int32_t>(std::max<std::int64_t>(N, 0)));
  const std::uint64_t Range = static_cast<std::uint64_t>(N);
  const std::uint64_t Limit = std::numeric_limits<std::uint64_t>::max() - std::numeric_limits<std::uint64_t>::max() % Range;
  std::uint64_t Bits = Random.Next();
  while (Bits >= Limit) Bits = Random.Next();
  return static_cast<std::int64_t>(Bits % Range);
}

// The target type of a shot at Target: R := Random(Target's value), then the types in order,
// each undamaged unit adding its cost, until the sum reaches R. Within a type the units add
// the same cost, so the type's whole share is added at once: the first type whose sum
// reaches R is the one the unit-by-unit walk ends in. Infantry when the walk ends without.
int PickTargetType(const TUnit* Target, std::int64_t R) {
  const TNation* Owner = Target->GetOwner();
  std::int64_t Sum = 0;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::int32_t Undamaged = Target->GetCount(T) - Target->GetDamaged(T);
    if (Undamaged <= 0) continue;
    Sum += static_cast<std::int64_t>(Undamaged) * (Owner ? Owner->GetUnitCost(T) : 0);
    if (Sum >= R) return T;
  }
  return utInfantry;
}

}  // namespace

// --- Combat ---

float TBrenmoorZone::ShotStrength(const TUnit* A, int T, const TUnit* B, int T2) const {
  const auto& Attack = UnitTypes[static_cast<std::size_t>(T)];
  float Strength = A->GetTypeFactor(T);
  Strength = Strength * static_cast<float>(Attack.Attack);
  Strength = Strength * (A->GetOrganization() / 100.0f);
  Strength = Strength * A->GetExperience();
  const bool TargetAir = B->GetKind() == ukAirForce;
  if (B->GetKind() == ukNavy && GetSea() == 0) Strength = Strength * 4.0f;
  if (T == utAAGun)
    Strength = Strength * (TargetAir ? 2.0f : 0.5f);
  else if (IsArmyType(T) && TargetAir)
    Strength = Strength * (B->GetOrder() == ordRecon || B->GetOrder() == ordBomb ? 0.1f : 0.75f);
  if (TargetAir) {
    const TNation* Owner = A->GetOwner();
    const float Radar = 1.0f + static_cast<float>(Owner ? Owner->GetResearchLevel(4) : 0) / 10.0f;
    Strength = Strength * Radar;
  }
  float Defence = B->GetTypeFactor(T2);
  Defence = Defence * static_cast<float>(UnitTypes[static_cast<std::size_t>(T2)].Defense);
  Defence = Defence * (B->GetOrganization() / 100.0f);
  Defence = Defence * B->GetExperience();
  Strength = Strength * ((100.0f - Defence) / 100.0f);
  if (GetTerrainDefense() > 0 && A->GetAttacking() && B->GetKind() == ukArmy)
    Strength = Strength * (1.0f - static_cast<float>(GetTerrainDefense()) / 100.0f);
  if (GetStorm()) {
    if (IsAirType(T))
      Strength = Strength * 0.7f;
    else if (IsArmyType(T) && A->GetAttacking())
      Strength = Strength * 0.8f;
  }
  double Value = Strength;
  FEngine->ApplyModifiers(efCombat, Value, A);
  return static_cast<float>(Value);
}

void TBrenmoorZone::DriftHostileRelations() {
  // A drift may bring two owners to war, which the later pairs then see. Owners at war (or
  // allied) by their relation have nothing left to drift: the pair is passed over before the
  // attack test, as the drift itself would pass it.
  for (const auto& First : FUnits) {
    TNation* A = First->GetOwner();
    for (const auto& Second : FUnits) {
      TNation* B = Second->GetOwner();
      if (!A || !B || A == B) continue;
      const std::int32_t Relation = A->GetRelation(B);
      if (Relation == 100 || Relation == -100) continue;
      if (First->CanAttack(Second.get())) FEngine->Diplomacy().DriftRelation(A, B, -100);
    }
  }
}

namespace {

// The attackers of a zone whose targets depend on nothing but their owner, whether they
// reconnoitre and whether enemy planes are about share one list of targets and one picker:
// the picker is built when the first of them fires and from then on lowered by every hit in
// the zone, so it holds the values a fresh one would take at each attacker's turn.
struct TTargetGroup {
  const TNation* Owner;
  bool Recon;
  bool EnemyAir;
  // The targets, shared as the opponent list of every attacker of the group.
  std::shared_ptr<TOpponentList> Targets;
  // The position in Targets of each unit of the zone (by its place in the zone), -1 for none.
  std::vector<int> Place;
  TTargetPicker Picker;
};

}  // namespace

void TBrenmoorZone::ResolveCombat() {
  TRandomGenerator& Random = FEngine->GetRandom();
  const bool Sea = GetSea() != 0;
  bool Embattled = false;
  TTargetPicker Picker;
  // Interceptions at sea tie targets to single units: such a zone takes every attacker alone.
  bool Grouped = true;
  if (Sea)
    for (const auto& Unit : FUnits)
      if (Unit->GetOrder() == ordIntercept) Grouped = false;
  std::vector<TTargetGroup> Groups;
  std::vector<std::pair<const TNation*, bool>> EnemyAirOf;
  // The units' places in the zone, given when the first group forms.
  bool Placed = false;
  for (const auto& Owned : FUnits) {
    TUnit* A = Owned.get();
    A->ClearOpponents();
    bool EnemyAir = false;
    const TNation* Owner = A->GetOwner();
    if (A->GetKind() == ukAirForce) {
      A->SetCombatFlag(0);
      // Whether enemy planes are about depends on the owner alone.
      const auto Known = std::find_if(EnemyAirOf.begin(), EnemyAirOf.end(), [&](const auto& E) { return E.first == Owner; });
      if (Known != EnemyAirOf.end()) {
        EnemyAir = Known->second;
      } else {
        EnemyAir = CountUnits(Owner, false, true, false, KindBit(ukAirForce));
        EnemyAirOf.emplace_back(Owner, EnemyAir);
      }
      if (A->GetOrder() == ordBomb && !IsAlliedTo(Owner) && !EnemyAir) A->SetCombatFlag(1);
    }
    if (A->GetKind() == ukNavy && !Sea) continue;
    if (A->GetKind() == ukArmy && Sea) continue;
    if ((A->GetOrder() == ordRecon || A->GetOrder() == ordBomb) && !EnemyAir) continue;
    if (A->GetSubmerged()) continue;

    const auto Collect = [&](std::vector<TUnit*>& Into) {
      for (const auto& Other : FUnits) {
        TUnit* B = Other.get();
        if (B == A || !A->CanAttack(B)) continue;
        if (EnemyAir && B->GetKind() != ukAirForce) continue;
        if (B->GetSurfaced() || B->GetSubmerged()) continue;
        if (B->GetKind() == ukArmy && Sea) continue;
        Into.push_back(B);
      }
    };
    // A unit of an owner at war with himself could fire at his own units: it goes alone.
    TTargetGroup* Group = nullptr;
    if (Grouped && Owner && Owner->GetRelation(Owner) > -100) {
      const bool Recon = A->GetOrder() == ordRecon;
      for (TTargetGroup& G : Groups)
        if (G.Owner == Owner && G.Recon == Recon && G.EnemyAir == EnemyAir) Group = &G;
      if (!Group) {
        if (!Placed)
          for (std::size_t I = 0; I < FUnits.size(); ++I) FUnits[I]->SetCombatPlace(static_cast<int>(I));
        Placed = true;
        Groups.push_back(TTargetGroup{Owner, Recon, EnemyAir, {}, {}, {}});
        Group = &Groups.back();
        std::vector<TUnit*> Targets;
        Collect(Targets);
        Group->Targets = std::make_shared<TOpponentList>(std::move(Targets));
        const std::vector<TUnit*>& Shared = Group->Targets->GetUnits();
        if (!Shared.empty()) {
          Group->Place.assign(FUnits.size(), -1);
          for (std::size_t I = 0; I < Shared.size(); ++I)
            Group->Place[static_cast<std::size_t>(Shared[I]->GetCombatPlace())] = static_cast<int>(I);
          Group->Picker.Reset(Shared);
        }
      }
      A->SetOpponents(Group->Targets);
    } else {
      std::vector<TUnit*> Alone;
      Collect(Alone);
      A->SetOpponents(std::move(Alone));
    }
    const std::vector<TUnit*>& Opponents = A->GetOpponents();
    if (Opponents.empty()) continue;
    Embattled = true;
    TTargetPicker& Chooser = Group ? Group->Picker : Picker;
    if (!Group) Picker.Reset(Opponents);
    const std::int64_t TargetValue = Chooser.Total();

    A->LoseOrganization(0.1);
    A->GainExperience();
    for (int T = 0; T < UnitTypeCount; ++T) {
      const std::uint16_t Count = A->GetCount(T);
      for (std::uint16_t Unit = 0; Unit < Count; ++Unit) {
        int Shots = 1;
        if (T == utArtillery && static_cast<double>(Random.Random(100)) < (static_cast<double>(A->GetExperience()) - 1.0) * 10.0 + 10.0)
          Shots = Random.Random(4) + 1;
        for (int Shot = 0; Shot < Shots; ++Shot) {
          // The target unit, weighted by the value each target has now (hits taken earlier in
          // this combat lower it, so the walk may end without one: the shot is lost).
          const int Index = Chooser.Pick(DrawBelow(Random, TargetValue));
          if (Index < 0) continue;
          TUnit* B = Opponents[static_cast<std::size_t>(Index)];
          const int T2 = PickTargetType(B, DrawBelow(Random, B->GetValue()));
          if (B->GetCount(T2) <= B->GetDamaged(T2)) continue;
          const float Strength = ShotStrength(A, T, B, T2);
          if (Random.Random() * 100.0 <= static_cast<double>(Strength)) {
            B->SetDamaged(T2, static_cast<std::uint16_t>(B->GetDamaged(T2) + 1));
            const std::int64_t Lost = B->GetOwner() ? B->GetOwner()->GetUnitCost(T2) : 0;
            if (!Group) Picker.Lower(Index, Lost);
            // Every group that may fire at the unit sees its value fall.
            if (Groups.empty()) continue;
            const int Place = B->GetCombatPlace();
            for (TTargetGroup& G : Groups) {
              if (G.Place.empty()) continue;
              const int At = G.Place[static_cast<std::size_t>(Place)];
              if (At >= 0) G.Picker.Lower(At, Lost);
            }
          }
        }
      }
    }
  }
  if (!Embattled && FEmbattled) {
    for (const auto& Unit : FUnits) Unit->SetAttacking(false);
    FEngine->AddChange(chCombatEnded, FIndex);
  }
  SetEmbattled(Embattled);
}

bool TCombatRules::Kamikaze(TUnit* A) {
  // Only planes dive: a unit without any would spend nothing and hit every fleet.
  if (!A || A->GetKind() != ukAirForce || !A->GetZone()) return false;
  TBrenmoorZone* Zone = A->GetZone();
  while (A->GetEffectiveCount() > 0) {
    FScratchUnits.clear();
    for (int I = 0; I < Zone->GetUnitCount(); ++I) {
      TUnit* V = Zone->GetUnit(I);
      if (V->GetKind() == ukNavy && V->GetEffectiveCount() > 0 && A->CanAttack(V)) FScratchUnits.push_back(V);
    }
    if (FScratchUnits.empty()) break;
    TUnit* B = FScratchUnits.back();
    FScratchUnits.clear();
    const std::int32_t R = FEngine.GetRandom().Random(B->GetEffectiveCount());
    std::int32_t Sum = 0;
    for (int T = 0; T < UnitTypeCount; ++T) {
      Sum += B->GetCount(T) - B->GetDamaged(T);
      if (Sum > R) {
        B->SetDamaged(T, static_cast<std::uint16_t>(B->GetDamaged(T) + 1));
        break;
      }
    }
    bool Spent = false;
    for (int T = 0; T < UnitTypeCount && !Spent; ++T)
      if (IsAirType(T) && A->GetCount(T) > A->GetDamaged(T)) {
        A->SetDamaged(T, static_cast<std::uint16_t>(A->GetDamaged(T) + 1));
        Spent = true;
      }
    if (!Spent) break;
  }
  return true;
}

// --- Reports ---

void TCombatRules::ReportUnitChanges() {
  std::string Organization, Experience;
  for (TUnit* Unit : FEngine.GetUnits()) {
    FEngine.ProcessPendingMessages();
    const std::string Prefix = IntToStr(Unit->GetZone() ? Unit->GetZone()->GetIndex() : -1) + "#" + IntToStr(Unit->ID) + "#";
    // The record carries two decimals; the host keeps the value the guests read from it, so
    // that every machine's upkeep starts from the same organisation and experience.
    if (Unit->GetOrganizationChanged()) {
      const std::string Text = FormatTwoDecimals(Unit->GetOrganization());
      Unit->SetOrganizationDirect(static_cast<float>(StrToFloat(Text)));
      Organization += Prefix + Text + "#";
    }
    if (Unit->GetFought()) {
      const std::string Text = FormatTwoDecimals(Unit->GetExperience());
      Unit->SetExperience(static_cast<float>(StrToFloat(Text)));
      Experience += Prefix + Text + "#";
    }
  }
  if (!Organization.empty()) FEngine.AddChange(chUnitOrganization, Organization);
  if (!Experience.empty()) FEngine.AddChange(chUnitExperience, Experience);
}
