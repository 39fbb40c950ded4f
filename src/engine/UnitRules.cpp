// The unit rules that the impulse stages and the replay of change records share: dividing and
// merging units, formation values and the path step cost.
#include <algorithm>
#include <limits>

#include "engine/UnitRules.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"

namespace {

// Adds (Sign +1) or takes (Sign -1) the unit's counts to or from its zone's tallies, for a
// unit this machine counts.
void ChangeUnitTallies(const TUnit* Unit, int Sign) {
  if (!Unit->IsTallied() || !Unit->GetZone()) return;
  const int Row = Unit->GetOwner()->GetMajorIndex();
  for (int T = 0; T < UnitTypeCount; ++T)
    if (Unit->GetCount(T) != 0) Unit->GetZone()->ChangeTally(Row, T, Sign * Unit->GetCount(T));
}

}  // namespace

void TUnitRules::UntallyUnit(const TUnit* Unit) { ChangeUnitTallies(Unit, -1); }

// --- Division and merging ---

TUnit* TUnitRules::DivideUnit(TUnit* Unit, const std::string& Counts, TUnit* Carrier) {
  if (!Unit || !Unit->GetZone()) return nullptr;
  Unit->SetOrder(ordNone);
  TUnit* New = FEngine.AddUnit(std::make_unique<TUnit>(FEngine, Unit->GetOwner(), Unit->GetKind()), Unit->GetZone());
  New->SetExperience(Unit->GetExperience());
  New->SetOrganizationDirect(Unit->GetOrganization());
  New->SetBaseZone(Unit->GetBaseZone());
  std::string Rest = Counts;
  for (int T = 0; T < UnitTypeCount; ++T) {
    // A count is never more than the unit holds: what the divide window offers. A record
    // asking for more takes what there is, so that counts never wrap below zero.
    const std::int32_t Asked = NextTokenInt(Rest, "#");
    const std::uint16_t N = static_cast<std::uint16_t>(std::clamp<std::int32_t>(Asked, 0, Unit->GetCount(T)));
    New->SetCount(T, N);
    Unit->SetCount(T, static_cast<std::uint16_t>(Unit->GetCount(T) - N));
    New->SetTypeFactor(T, Unit->GetTypeFactor(T));
  }
  // Submarines split off a submerged fleet stay under water. A machine that does not play the
  // owner never counted them: they join the tallies only to leave them as they submerge.
  if (Unit->GetSubmerged()) {
    if (New->GetOwner() && !New->GetOwner()->GetLocalPlayer())
      New->GetZone()->ChangeTally(New->GetOwner()->GetMajorIndex(), utSubmarine, New->GetCount(utSubmarine));
    New->SetSubmerged(true);
  }
  // A guest divides and merges when it replays the records, before the impulse's report of
  // organisation arrives, so it starts from the values the units had before the impulse: a unit
  // made from one whose organisation the host changed earlier in the impulse (propaganda, a
  // move) is reported, to come out the same.
  if (Unit->GetOrganizationChanged()) New->MarkOrganizationChanged();
  if (Carrier) {
    if (New->GetKind() != ukArmy) {
      New->SetOrder(ordNone);
      New->MoveToZone(Carrier->GetZone(), mmReplay);
      Carrier->AddBased(New);
      New->SetBaseUnit(Carrier);
    } else {
      New->SetDestinationZone(Carrier->GetZone());
      New->SetDestinationUnit(Carrier);
      New->SetOrder(ordEmbark);
    }
  }
  return New;
}

bool TUnitRules::MergedCountsFit(const std::vector<TUnit*>& Units) {
  std::array<std::int64_t, UnitTypeCount> Sums{};
  for (auto It = Units.begin(); It != Units.end(); ++It) {
    // A unit named twice is still one unit.
    if (!*It || std::find(Units.begin(), It, *It) != It) continue;
    for (int T = 0; T < UnitTypeCount; ++T) Sums[static_cast<std::size_t>(T)] += (*It)->GetCount(T);
  }
  return std::all_of(Sums.begin(), Sums.end(), [](std::int64_t Sum) { return Sum <= std::numeric_limits<std::uint16_t>::max(); });
}

bool TUnitRules::MergeUnits(TBrenmoorZone*, const std::string& IDs) {
  FScratchUnits.clear();
  std::string Rest = IDs;
  std::string List = NextToken(Rest, ";");
  while (!List.empty()) {
    const std::string Item = NextToken(List, "#");
    const auto ID = TryStrToInt(Item);
    TUnit* Unit = ID ? FEngine.GetUnitByID(*ID) : nullptr;
    // A unit named twice would be merged into itself and freed while still in use.
    if (Unit && std::find(FScratchUnits.begin(), FScratchUnits.end(), Unit) == FScratchUnits.end()) FScratchUnits.push_back(Unit);
  }
  // Units of different kinds or owners do not merge, nor units whose counts of a type would
  // pass what one unit holds: nothing changes, so no unit is lost.
  const bool Alike = std::all_of(FScratchUnits.begin(), FScratchUnits.end(), [this](const TUnit* Unit) {
    return Unit->GetKind() == FScratchUnits.front()->GetKind() && Unit->GetOwner() == FScratchUnits.front()->GetOwner();
  });
  if (!Alike || !MergedCountsFit(FScratchUnits)) {
    FScratchUnits.clear();
    return false;
  }
  if (FScratchUnits.size() < 2) {
    FScratchUnits.clear();
    return true;
  }
  // Units whose creating nation is gone are absorbed first; among the rest the oldest stays.
  const auto CreatorGone = [](const TUnit* Unit) { return !Unit->GetCreatingNation() || !Unit->GetCreatingNation()->GetAlive(); };
  std::stable_sort(FScratchUnits.begin(), FScratchUnits.end(), [&](const TUnit* A, const TUnit* B) {
    const bool GoneA = CreatorGone(A), GoneB = CreatorGone(B);
    if (GoneA != GoneB) return !GoneA;
    return A->ID < B->ID;
  });
  TUnit* Keep = FScratchUnits.front();
  for (std::size_t I = FScratchUnits.size() - 1; I >= 1; --I) {
    TUnit* Other = FScratchUnits[I];
    const std::int32_t Total = Keep->GetTotalCount() + Other->GetTotalCount();
    if (Total <= 0) continue;
    // The counts join Keep's zone: both units leave the tallies and Keep comes back whole.
    ChangeUnitTallies(Keep, -1);
    ChangeUnitTallies(Other, -1);
    const double WeightKeep = static_cast<double>(Keep->GetTotalCount()) / Total;
    const double WeightOther = static_cast<double>(Other->GetTotalCount()) / Total;
    Keep->SetExperience(static_cast<float>(Other->GetExperience() * WeightOther + Keep->GetExperience() * WeightKeep));
    const bool Changed = Keep->GetOrganizationChanged() || Other->GetOrganizationChanged();
    Keep->SetOrganizationDirect(static_cast<float>(Keep->GetOrganization() * WeightKeep + Other->GetOrganization() * WeightOther));
    if (Changed) Keep->MarkOrganizationChanged();
    for (int T = 0; T < UnitTypeCount; ++T) {
      const std::int32_t N = Keep->GetCount(T) + Other->GetCount(T);
      if (N <= 0) continue;
      Keep->SetTypeFactor(T, static_cast<float>(Other->GetTypeFactor(T) * (static_cast<double>(Other->GetCount(T)) / N) +
                                                Keep->GetTypeFactor(T) * (static_cast<double>(Keep->GetCount(T)) / N)));
      Keep->SetCount(T, static_cast<std::uint16_t>(N));
    }
    while (Other->GetBoardedCount() > 0) {
      TUnit* Cargo = Other->GetBoarded(0);
      Other->RemoveBoarded(Cargo);
      Keep->AddBoarded(Cargo);
      Cargo->SetTransport(Keep);
    }
    while (Other->GetBasedCount() > 0) {
      TUnit* Air = Other->GetBased(0);
      Other->RemoveBased(Air);
      Keep->AddBased(Air);
      Air->SetBaseUnit(Keep);
    }
    ChangeUnitTallies(Keep, +1);
    Other->Remove(false);
    FEngine.FreeUnit(Other);
  }
  FScratchUnits.clear();
  return true;
}

// --- Formations ---

void TUnitRules::SetFormations(TNation* Nation, const std::string& Text) {
  if (!Nation) return;
  // Every field is read before any value changes: a text that cannot be read changes nothing.
  std::array<std::uint16_t, UnitTypeCount> Costs{};
  std::string Rest = Text;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::string Field = NextToken(Rest, "#");
    Costs[static_cast<std::size_t>(T)] =
        Field == "-" ? Nation->GetUnitCost(T) : static_cast<std::uint16_t>(std::clamp<std::int32_t>(StrToInt(Field), 0, 65535));
  }
  for (int T = 0; T < UnitTypeCount; ++T) Nation->SetUnitCost(T, Costs[static_cast<std::size_t>(T)]);
  Nation->SetUnitCost(utAtomicBomber, Nation->GetUnitCost(utBomber));
}

// --- Paths ---

void TUnitRules::PathCostHandler(TZone* Zone1, TZone* Zone2, std::int32_t& Cost) {
  constexpr std::int32_t Blocked = TZoneMap::TerrainChangeStepCost;
  if (FEngine.GetPathAll()) {
    Cost = 1;
    return;
  }
  auto* A = static_cast<TBrenmoorZone*>(Zone1);
  auto* B = static_cast<TBrenmoorZone*>(Zone2);
  const bool SeaA = A->GetSea() != 0, SeaB = B->GetSea() != 0;
  if (FEngine.GetPathMode() == 1) {
    Cost = SeaA && SeaB ? 1 : Blocked;
    return;
  }
  if (SeaA != SeaB) {
    Cost = Blocked;
    return;
  }
  if (SeaA) {
    Cost = 1;
    return;
  }
  const TNation* Nation = FEngine.GetPathUnit() ? FEngine.GetPathUnit()->GetOwner() : A->GetOwner();
  // B is land here: IsAlliedTo is its owner's alliance test.
  Cost = !Nation || !B->GetOwner() || B->GetOwner()->IsAlliedWith(Nation) ? 1 : Blocked;
}

// --- Whether units may merge ---

bool TUnitRules::CanMergeUnits(const std::vector<TUnit*>& Units) const {
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
