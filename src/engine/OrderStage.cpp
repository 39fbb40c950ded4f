// One impulse on the machine that runs the rules, and its order stage: every queued order
// record, checked against the user who sent it, becomes the units' orders, the zones' builds
// and the nations' choices, each effect going out as a change record for the other machines.
// The order stage draws no random number: the draws of an impulse come in the units' steps
// and the end-of-impulse stages.
#include <algorithm>

#include "engine/BrenmoorEngine.h"
#include "engine/OrderRecord.h"
#include "foundation/NumberText.h"

namespace {

// Resources after a build or improvement: never below zero.
float AfterCost(float Resources, double Cost) { return static_cast<float>(std::max(0.0, static_cast<double>(Resources) - Cost)); }

// The first sea zone among the zone's neighbours, or nullptr.
TBrenmoorZone* FirstSeaNeighbour(const TBrenmoorZone* Zone) {
  if (!Zone) return nullptr;
  for (TZone* Near : Zone->GetNeighbours())
    if (Near->GetSea() != 0) return static_cast<TBrenmoorZone*>(Near);
  return nullptr;
}

}  // namespace

void TBrenmoorEngine::OrderStage() {
  FPendingRandomEvent = nullptr;
  for (TUnit* Unit : FUnits) Unit->ResetImpulseState();
  // The records are taken first: a handler that runs at a pending-message point and queues
  // more orders queues them for the next impulse.
  for (const TQueuedOrder& Order : TakeOrders()) {
    ProcessPendingMessages();
    if (CheckOrder(Order.Record, Order.Sender)) ApplyOrder(Order.Record);
  }
}

void TBrenmoorEngine::ProcessImpulse() {
  TImpulseRun Run(*this);
  const std::int32_t Impulse = GetImpulse();
  OrderStage();
  ExecuteUnits(Impulse);
  const TMapExtent Extent = FZoneMap ? FZoneMap->GetExtent() : TMapExtent{};
  EndOfImpulseStages(Impulse, Extent.Width, Extent.Height);
}

void TBrenmoorEngine::ApplyOrder(const std::string& Record) {
  using namespace OrderRecord;
  TRecordFields F(Record);
  const int Code = F.Int() & 0xFF;
  if (Code >= OrderTypeCount) return;
  const auto Zone = [&]() -> TBrenmoorZone* {
    const std::int32_t I = F.Int();
    return I >= 0 && I < GetZoneCount() ? GetZone(I) : nullptr;
  };
  const auto Nation = [&]() -> TNation* {
    const std::int32_t I = F.Int();
    return I >= 0 && I < GetNationCount() ? GetNation(I) : nullptr;
  };
  const auto Unit = [&]() { return GetUnitByID(F.Int()); };

  switch (static_cast<TOrderType>(Code)) {
    case ordNone: {
      TUnit* U = Unit();
      if (!U) return;
      U->SetOrder(ordNone);
      SendUnitOrder(U);
      return;
    }
    case ordMove: case ordDock: case ordInvade: case ordBombard: {
      TBrenmoorZone* To = Zone();
      TUnit* U = Unit();
      if (!U || !To) return;
      U->SetDestinationZone(To);
      U->SetOrder(static_cast<TOrderType>(Code));
      U->SetAttacking(Code == ordInvade);
      SendUnitOrder(U);
      return;
    }
    case ordLaunch: {
      TUnit* U = Unit();
      if (!U) return;
      if (U->GetPreviousZone())
        U->SetDestinationZone(U->GetPreviousZone());
      else if (TBrenmoorZone* Sea = FirstSeaNeighbour(U->GetZone()))
        U->SetDestinationZone(Sea);
      U->SetOrder(ordLaunch);
      SendUnitOrder(U);
      return;
    }
    case ordRetreat: {
      TUnit* U = Unit();
      if (!U) return;
      U->SetDestinationZone(U->GetPreviousZone());
      U->SetOrder(ordRetreat);
      SendUnitOrder(U);
      return;
    }
    case ordMerge: {
      TBrenmoorZone* From = Zone();
      if (!From) return;
      const std::string List = F.Text();
      if (MergeUnits(From, List)) AddChange(chUnitsMerged, From->GetIndex(), List);
      return;
    }
    case ordDivide: {
      TUnit* U = Unit();
      if (!U) return;
      const std::string Counts = F.Text();
      if (!DivideUnit(U, Counts, nullptr)) return;
      AddUnitChange(U, chUnitDivided, Counts, -1, -1);
      return;
    }
    case ordEmbark: {
      F.Int();  // the zone, not used
      TUnit* U = Unit();
      TUnit* Transport = Unit();
      if (!U || !Transport) return;
      U->SetDestinationZone(Transport->GetZone());
      U->SetDestinationUnit(Transport);
      U->SetOrder(ordEmbark);
      SendUnitOrder(U);
      return;
    }
    case ordDisembark: {
      TBrenmoorZone* To = Zone();
      TUnit* U = Unit();
      if (!U || !To) return;
      U->SetDestinationZone(To);
      U->SetOrder(ordDisembark);
      U->SetAttacking(To->CountAllUnits(U->GetOwner(), false, true, false) || !To->IsAlliedTo(U->GetOwner()));
      SendUnitOrder(U);
      return;
    }
    case ordIntercept: {
      TUnit* U = Unit();
      TUnit* Target = Unit();
      if (!U || !Target || !Target->GetZone()) return;
      if (Target->GetZone()->GetSea() == 0) {
        U->SetOrder(ordNone);
      } else {
        U->SetDestinationZone(Target->GetZone());
        U->SetDestinationUnit(Target);
        U->SetOrder(ordIntercept);
        U->SetAttacking(true);
      }
      SendUnitOrder(U);
      return;
    }
    case ordPatrol: case ordRecon: {
      TUnit* U = Unit();
      if (!U) return;
      std::vector<TBrenmoorZone*> Zones;
      // A list of fewer than two zones, or naming no zone, would leave the patrol nowhere to go.
      if (!ReadZoneList(*this, F.Text(), Zones) || Zones.size() < 2) return;
      std::string List;
      for (const TBrenmoorZone* Z : Zones) List += IntToStr(Z->GetIndex()) + "#";
      U->SetPatrolZones(Zones);
      U->SetOrder(static_cast<TOrderType>(Code));
      U->SetPatrolIndex(0);
      U->SetPatrolStep(1);
      U->SetDestinationZone(Zones[1]);
      AddUnitChange(U, chUnitPatrol, List, Code);
      return;
    }
    case ordRebase: {
      TBrenmoorZone* To = Zone();
      TUnit* U = Unit();
      if (!U || !To) return;
      U->SetOrder(ordNone);
      SendUnitOrder(U);
      U->LeaveBase(To);
      U->MoveToZone(To, mmReplay);
      return;
    }
    case ordAirStrike: {
      TBrenmoorZone* To = Zone();
      TUnit* U = Unit();
      if (!U || !To) return;
      U->SetOrder(ordAirStrike);
      U->MoveToZone(To, mmReplay);
      SendUnitOrder(U);
      Fire(OnAirStrikeZone, U->GetOwner(), To);
      AddChange(chZoneStrike, U->GetOwner() ? U->GetOwner()->GetIndex() : -1, To->GetIndex(), 1);
      return;
    }
    case ordAtomicBomb: case ordBaseHere: return;
    case ordReturnToBase: {
      TUnit* U = Unit();
      if (!U) return;
      U->SetOrder(ordNone);
      if (U->GetBaseUnit())
        U->MoveToZone(U->GetBaseUnit()->GetZone(), mmReplay);
      else if (U->GetBaseZone())
        U->MoveToZone(U->GetBaseZone(), mmReplay);
      SendUnitOrder(U);
      return;
    }
    case ordRoute: {
      TBrenmoorZone* From = Zone();
      TBrenmoorZone* To = Zone();
      std::int32_t Amount = F.Int();
      if (!From || !To) return;
      if (static_cast<double>(Amount) > static_cast<double>(From->GetResources()))
        Amount = static_cast<std::int32_t>(From->GetResources());
      // A zone in debt has nothing to send, and a routing of less than nothing would take from
      // its target; a routing to the zone itself is none. Nothing is taken or recorded then.
      if (Amount <= 0) return;
      if (CreateRouting(From, To, Amount)) AddChange(chRoutingCreated, From->GetIndex(), To->GetIndex(), Amount);
      return;
    }
    case ordAutoRoute: {
      TBrenmoorZone* From = Zone();
      TBrenmoorZone* To = Zone();
      if (!From || !To || !From->IsAlliedTo(To->GetOwner())) return;
      From->SetSupplySource(To);
      AddChange(chSupplySource, From->GetIndex(), To->GetIndex());
      return;
    }
    case ordBuildUnit: {
      TBrenmoorZone* From = Zone();
      const std::int32_t Kind = F.Int() & 0xFF;
      const std::string Text = F.Text();
      if (!From || From->GetBuilding()) return;
      TBuildFigures B = ReadBuild(Text);
      // A computer player builds only what the zone can pay; a human player may overspend.
      if (B.Cost > static_cast<double>(From->GetResources()) && From->GetOwner() && From->GetOwner()->GetComputerPlayer()) return;
      // A conquered zone works for its conqueror at less than its strength.
      if (From->GetOriginalOwner() && !From->GetOriginalOwner()->IsAlliedWith(From->GetOwner())) B.Total = 0.6f * B.Total;
      ApplyModifiers(efUnitCost, B.Cost, From, B.EventKind);
      From->SetBuildKind(Kind);
      for (int T = 0; T < UnitTypeCount; ++T) From->SetBuildQueue(T, B.Counts[static_cast<std::size_t>(T)]);
      From->SetBuildTotal(B.Total);
      From->SetResources(AfterCost(From->GetResources(), B.Cost));
      From->SetBuildProgressPoints(0.0f);
      From->SetBuilding(true);
      // The total goes with the record: the guest cannot know the factors the host applied.
      AddChange(chBuildStarted, From->GetIndex(), Kind, CountsText(B.Counts), From->GetResources(), B.Total);
      return;
    }
    case ordBuildFactory: case ordBuildRocket: case ordBuildAirfield: case ordBuildPort: {
      TBrenmoorZone* From = Zone();
      if (!From || From->GetBuilding()) return;
      TChangeCode Change = chFactoryBuilt;
      switch (Code) {
        case ordBuildFactory:
          if (From->GetFactories() >= From->GetIndustry()) return;
          From->SetFactories(From->GetFactories() + 1);
          Change = chFactoryBuilt;
          break;
        case ordBuildRocket:
          if (From->GetRocketSite()) return;
          From->SetRocketSite(true);
          Change = chRocketSiteBuilt;
          break;
        case ordBuildAirfield:
          if (From->IsAirfield()) return;
          From->SetAirfield(true);
          Change = chAirfieldBuilt;
          break;
        default:
          if (From->IsPort()) return;
          From->SetPort(true);
          Change = chPortBuilt;
          break;
      }
      From->SetResources(AfterCost(From->GetResources(), ImprovementCost));
      AddChange(Change, From->GetIndex(), From->GetResources());
      return;
    }
    case ordBuildBorder: {
      TBrenmoorZone* From = Zone();
      TBrenmoorZone* Neighbour = Zone();
      if (!From || !Neighbour || From->GetBuilding()) return;
      const std::int32_t Level = From->GetBorderDefense(Neighbour);
      if (Level >= 4) return;
      From->SetBorderDefense(Neighbour, Level + 1);
      From->SetResources(AfterCost(From->GetResources(), ImprovementCost));
      AddChange(chBorderDefenceBuilt, From->GetIndex(), Neighbour->GetIndex(), From->GetResources());
      return;
    }
    case ordBomb: {
      TBrenmoorZone* To = Zone();
      TUnit* U = Unit();
      if (!U || !To) return;
      U->SetOrder(ordBomb);
      U->MoveToZone(To, mmReplay);
      SendUnitOrder(U);
      return;
    }
    case ordRebaseCarrier: {
      F.Int();  // the zone, not used
      TUnit* U = Unit();
      TUnit* Carrier = Unit();
      if (!U || !Carrier) return;
      U->SetOrder(ordNone);
      SendUnitOrder(U);
      U->JoinBase(Carrier);
      U->MoveToZone(Carrier->GetZone(), mmReplay);
      return;
    }
    case ordFormations: {
      TNation* N = Nation();
      const std::string Text = F.Text();
      if (!N || !IsFormationText(Text)) return;
      SetFormations(N, Text);
      AddChange(chUnitCosts, N->GetIndex(), Text);
      return;
    }
    case ordDiplomatic: {
      TNation* N = Nation();
      if (!N || N->GetDiplomaticActions() <= 0) return;
      TNation* Target = Nation();
      const std::int32_t Action = F.Int();
      if (!Target) return;
      DiplomaticAction(N, Target, Action);
      return;
    }
    case ordDeclareWar: {
      TNation* N = Nation();
      TNation* Target = Nation();
      if (!N || !Target) return;
      // A relation held at 100, or war on oneself, drifts nowhere: the loop ends with it.
      while (N->GetRelation(Target) > -100)
        if (!DriftRelation(N, Target, -20000)) break;
      return;
    }
    case ordSurface: case ordSubmerge: {
      TUnit* U = Unit();
      if (!U) return;
      U->SetSubmerged(Code == ordSubmerge);
      AddUnitChange(U, chUnitSubmerged, Code == ordSubmerge);
      return;
    }
    case ordResearch: {
      TNation* N = Nation();
      const std::string Text = F.Text();
      if (!N) return;
      SetResearchAllocation(N, Text);
      AddChange(chResearchAllocation, N->GetIndex(), Text);
      return;
    }
    case ordTargetRockets: {
      TBrenmoorZone* Target = Zone();
      TBrenmoorZone* Site = Zone();
      if (!Target || !Site) return;
      Site->SetRocketTarget(Site->GetOwner() == Target->GetOwner() ? nullptr : Target);
      AddChange(chRocketTarget, Target->GetIndex(), Site->GetIndex());
      return;
    }
    case ordEmbarkDivide: case ordRebaseDivide: {
      F.Int();  // the from zone, not used
      TBrenmoorZone* At = Zone();
      TUnit* Ship = Unit();
      const std::string List = F.Text();
      // Air units land in the carrier's zone as the record names it.
      if (!Ship || (Code == ordRebaseDivide && !At)) return;
      LoadShip(Code == ordEmbarkDivide, At, Ship, List);
      return;
    }
    case ordKamakaze: {
      if (TUnit* U = Unit()) Kamikaze(U);
      return;
    }
    case ordRenameUnit: {
      TUnit* U = Unit();
      const std::string Text = F.Text();
      if (!U) return;
      RenameUnit(U, Text);
      AddUnitChange(U, chUnitRenamed, Text);
      return;
    }
    case ordGlobalRoute: {
      TBrenmoorZone* From = Zone();
      const std::int32_t Depth = F.Int();
      if (!From) return;
      ComputeSupply(From, Depth);
      AddChange(chSupplyWalk, From->GetIndex(), Depth);
      return;
    }
    case ordGlobalClear: {
      TNation* N = Nation();
      if (!N) return;
      ResetSupplySources(N);
      AddChange(chSupplyReset, N->GetIndex());
      return;
    }
    case ordPortZone: {
      TBrenmoorZone* From = Zone();
      TBrenmoorZone* To = Zone();
      if (!From || !To) return;
      From->SetPortZone(To);
      AddChange(chPortZone, From->GetIndex(), To->GetIndex());
      return;
    }
    case ordSurrender: {
      const std::string Name = F.Text();
      AddChange(chPlayerRemoved, Name);
      RemovePlayer(Name);
      return;
    }
  }
}

void TBrenmoorEngine::LoadShip(bool Transport, TBrenmoorZone* At, TUnit* Ship, const std::string& IDs) {
  std::int32_t Room = Transport ? Ship->GetTransportRoom() : Ship->GetCarrierRoom();
  std::string List = IDs;
  while (!List.empty() && Room > 0) {
    TUnit* U = GetUnitByID(StrToIntDef(NextToken(List, "#"), -1));
    if (!U || U == Ship) continue;
    const std::int32_t Size = Transport ? U->GetTransportWeight() : U->GetTotalCount();
    if (Size <= Room) {
      if (Transport) {
        U->SetDestinationZone(Ship->GetZone());
        U->SetDestinationUnit(Ship);
        U->SetOrder(ordEmbark);
        SendUnitOrder(U);
      } else {
        U->SetOrder(ordNone);
        SendUnitOrder(U);
        U->JoinBase(Ship);
        U->MoveToZone(At, mmReplay);
      }
      Room -= Size;
      continue;
    }
    // Too big for what is left: as much of it as fits is split off and goes aboard.
    std::string Counts;
    bool Any = false;
    for (int T = 0; T < UnitTypeCount; ++T) {
      std::int32_t N = 0;
      const std::int32_t Weight = UnitTypes[static_cast<std::size_t>(T)].Weight;
      for (int Piece = 0; Piece < U->GetCount(T); ++Piece) {
        if (Transport) {
          if (Weight > 0 && Weight <= Room) {
            Room -= Weight;
            ++N;
          }
        } else if (Room > 0) {
          Room -= 1;
          ++N;
        }
      }
      Any = Any || N > 0;
      Counts += IntToStr(N) + "#";
    }
    if (!Any) continue;
    AddUnitChange(U, chUnitDivided, Counts, ZoneIndexOrNone(Ship->GetZone()), Ship->ID);
    DivideUnit(U, Counts, Ship);
  }
}

void TBrenmoorEngine::RenameUnit(TUnit* Unit, const std::string& Name) {
  Unit->SetCustomName(Name);
  for (TUnit* Other : FUnits)
    if (Other->GetDestinationUnit() == Unit) Other->RefreshDestinationUnitName();
}
