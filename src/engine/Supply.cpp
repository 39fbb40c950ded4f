// Supply sources, resource income, reorganisation and routings. SupplyUpkeep runs after every
// impulse on every machine alike: it draws no random number and writes no change record.
#include <algorithm>

#include "engine/FieldRanges.h"
#include "engine/SupplyRules.h"

void TSupplyRules::SupplyUpkeep() {
  // Every nation's points start again from nothing: a minor nation never spends them, and
  // points that piled up impulse after impulse would be a value that a saved game does not
  // hold, so a machine that joins from it would count others.
  for (const auto& Nation : FEngine.GetNations()) Nation->SetResearchPoints(0.0f);

  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = FEngine.GetZone(I);
    if (Zone->GetSea() != 0) continue;
    TNation* Owner = Zone->GetOwner();
    TBrenmoorZone* Source = Zone->GetSupplySource();
    if (!Zone->GetEmbattled() && Source && Source != Zone) {
      if (Source->IsAlliedTo(Owner)) {
        // A neighbour takes the resources now; a distant source is served by convoys.
        if (Source->IsNeighbour(Zone)) {
          Source->SetResources(Source->GetResources() + Zone->GetResources());
          Zone->SetResources(0.0f);
        }
      } else {
        Zone->SetSupplySource(Zone);
      }
    }
    Zone->SetIncome(0);
    if (Owner) {
      double Income = Zone->GetEffectiveIndustry() * 0.05;
      const float Fraction = Owner->GetResearchSpendingFraction();
      if (Fraction > 0) {
        const double Part = Income * Fraction;
        Income -= Part;
        Owner->SetResearchPoints(static_cast<float>(Owner->GetResearchPoints() + Part * 50));
      }
      // A minor nation's zone stops growing at twice its industry.
      if (Owner->GetMajorPower() || Zone->GetResources() < 2.0 * Zone->GetIndustry())
        Zone->SetResources(static_cast<float>(Zone->GetResources() + Income));
    }

    // Reorganisation from the zone's resources, up to its industry in steps per upkeep.
    if (Zone->GetSea() != 0 || !(Zone->GetResources() > 0)) continue;
    for (int U = 0; U < Zone->GetUnitCount(); ++U) {
      TUnit* Unit = Zone->GetUnit(U);
      if (!Unit->GetOwner() || !Unit->GetOwner()->IsAlliedWith(Owner)) continue;
      if (!(Unit->GetOrganization() < 95) || Unit->GetOrder() == ordRecon) continue;
      const std::int32_t Room = Zone->GetIndustry() - Zone->GetIncome();
      if (Room <= 0) continue;
      const double Organization = Unit->GetOrganization();
      std::int32_t K = Room;
      if (Organization + 2.0 * K > 100) {
        // The largest k with organisation + 2k at most 100, at least 1.
        K = static_cast<std::int32_t>(std::clamp((100 - Organization) / 2, 1.0, static_cast<double>(Room)));
        while (K < Room && Organization + 2.0 * (K + 1) <= 100) ++K;
        while (K > 1 && Organization + 2.0 * K > 100) --K;
      }
      const float Cost = static_cast<float>(static_cast<double>(Unit->GetTotalCount()) * K * 0.1);
      if (Cost < Zone->GetResources()) {
        Zone->SetIncome(Zone->GetIncome() + K);
        Zone->SetResources(Zone->GetResources() - Cost);
      } else if (Cost > 0) {
        K = static_cast<std::int32_t>(static_cast<double>(Zone->GetResources()) / Cost * K);
        Zone->SetIncome(Zone->GetIncome() + K);
        Zone->SetResources(0.0f);
      } else {
        continue;
      }
      Unit->SetOrganization(static_cast<float>(std::min(100.0, Organization + 2.0 * K + 2)));
    }
  }

  // Routings move one zone per upkeep along a path through the sender's side.
  for (int I = FEngine.GetRoutingCount() - 1; I >= 0; --I) {
    TRouting* Routing = FEngine.GetRouting(I);
    if (!Routing->FromZone || !Routing->ToZone) {
      FEngine.DeleteRouting(Routing);
      continue;
    }
    if (Routing->FromZone == Routing->ToZone) {
      // One standing in its target (read from an older game) has arrived.
      Routing->ToZone->SetResources(static_cast<float>(Routing->ToZone->GetResources() + static_cast<double>(Routing->Amount)));
      FEngine.DeleteRouting(Routing);
      continue;
    }
    // A routing whose target lies at sea or has fallen to a side other than that of the zone
    // it stands in can never arrive (each step must enter a zone allied with the one it leaves):
    // it ends there and puts its resources down, instead of waiting and searching a path in
    // every upkeep for good.
    const TNation* Holder = Routing->FromZone->GetOwner();
    const TBrenmoorZone* Target = Routing->ToZone;
    if (Target->GetSea() != 0 || (Holder && Target->GetOwner() && !Target->IsAlliedTo(Holder))) {
      Routing->FromZone->SetResources(static_cast<float>(Routing->FromZone->GetResources() + static_cast<double>(Routing->Amount)));
      FEngine.DeleteRouting(Routing);
      continue;
    }
    // Whether the side has a way at all is a search that stops at the target or at the first
    // blocked step (or a kept search from the zone); the way itself (whose first step the full
    // search's order decides) is looked up only for a routing that can move, and the routings
    // that stand in one zone share one search as long as nothing the step cost reads changes.
    FEngine.SetPathUnit(nullptr);
    FEngine.SetPathAll(false);
    const int To = Routing->ToZone->GetIndex();
    const TPathTree* Tree = To >= 0 ? FEngine.KeptPathTree(Routing->FromZone) : nullptr;
    const std::int32_t Cost = Tree ? Tree->Cost[static_cast<std::size_t>(To)]
                                   : FEngine.FindPathCost(Routing->FromZone, Routing->ToZone, TZoneMap::TerrainChangeStepCost);
    if (Cost >= TZoneMap::TerrainChangeStepCost) continue;
    if (Tree)
      FEngine.GetZoneMap()->SetPathFromTree(*Tree, Routing->ToZone);
    else
      FEngine.FindPath(Routing->FromZone, Routing->ToZone);
    if (FEngine.GetZoneMap()->PathCount() <= 1) continue;
    auto* Next = static_cast<TBrenmoorZone*>(FEngine.GetZoneMap()->GetPathZone(1));
    if (Next == Routing->ToZone) {
      Routing->ToZone->SetResources(static_cast<float>(Routing->ToZone->GetResources() + static_cast<double>(Routing->Amount)));
      FEngine.DeleteRouting(Routing);
    } else {
      Routing->FromZone = Next;
    }
  }
}

TRouting* TSupplyRules::CreateRouting(TBrenmoorZone* From, TBrenmoorZone* To, std::int32_t Amount) {
  // A routing to the zone it starts from would never arrive and its resources would be lost.
  if (!From || !To || From == To) return nullptr;
  // Held within what a saved game holds, whatever a change record asks: the zone gives up
  // what the routing carries, no more.
  Amount = static_cast<std::int32_t>(std::clamp<std::int64_t>(Amount, FieldRange::Amount.Min, FieldRange::Amount.Max));
  From->SetResources(static_cast<float>(From->GetResources() - static_cast<double>(Amount)));
  return FEngine.AddRouting(std::make_unique<TRouting>(FEngine, From, Amount, To));
}

void TSupplyRules::SupplyWalkA(TBrenmoorZone* Zone, std::int32_t Depth) {
  FScratchZones.push_back(Zone);
  Zone->SetSupplySource(Zone);
  TNation* Owner = Zone->GetOwner();
  if (!Owner) return;
  for (int I = 0; I < Zone->NeighbourCount(); ++I) {
    TBrenmoorZone* N = Zone->GetNeighbor(I);
    if (N->GetOwner() != Owner) continue;
    N->SetSupplySource(N);
    if (Depth > 1 && std::find(FScratchZones.begin(), FScratchZones.end(), N) == FScratchZones.end()) SupplyWalkA(N, Depth - 1);
  }
}

void TSupplyRules::SupplyWalkB(TBrenmoorZone* Zone, TBrenmoorZone* Root, std::int32_t Depth) {
  FScratchZones.push_back(Zone);
  TNation* Owner = Zone->GetOwner();
  if (!Owner) return;
  for (int I = 0; I < Zone->NeighbourCount(); ++I) {
    TBrenmoorZone* N = Zone->GetNeighbor(I);
    if (N->GetOwner() == Owner && N->GetSupplySource() == N && N != Root) N->SetSupplySource(Zone);
  }
  if (Depth < 2) return;
  for (int I = 0; I < Zone->NeighbourCount(); ++I) {
    TBrenmoorZone* N = Zone->GetNeighbor(I);
    if (N->GetOwner() == Owner && std::find(FScratchZones.begin(), FScratchZones.end(), N) == FScratchZones.end())
      SupplyWalkB(N, Root, Depth - 1);
  }
}

void TSupplyRules::ComputeSupply(TBrenmoorZone* Zone, std::int32_t Depth) {
  if (!Zone) return;
  FScratchZones.clear();
  SupplyWalkA(Zone, Depth);
  FScratchZones.clear();
  SupplyWalkB(Zone, Zone, Depth);
  FScratchZones.clear();
}

void TSupplyRules::ResetSupplySources(const TNation* Nation) {
  if (!Nation) return;
  for (int I = 0; I < FEngine.GetZoneCount(); ++I)
    if (FEngine.GetZone(I)->GetOwner() == Nation) FEngine.GetZone(I)->SetSupplySource(FEngine.GetZone(I));
}
