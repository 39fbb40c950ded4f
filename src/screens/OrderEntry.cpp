#include "screens/OrderEntry.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <limits>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/DiplomacyTypes.h"
#include "engine/Nation.h"
#include "engine/OrderRecord.h"
#include "engine/Unit.h"
#include "foundation/NumberText.h"
#include "sprites/ZoneMap.h"

namespace {

bool Land(const TBrenmoorZone* Zone) { return Zone->GetSea() == 0; }
bool Sea(const TBrenmoorZone* Zone) { return Zone->GetSea() != 0; }

// Whether the zone's owner is allied with the nation (false for an unowned zone).
bool OwnerAlliedWith(const TBrenmoorZone* Zone, const TNation* Nation) {
  return Zone->GetOwner() && Nation && Zone->GetOwner()->IsAlliedWith(Nation);
}

bool AlliedOwners(const TUnit* Unit, const TNation* Nation) {
  return Unit->GetOwner() && Nation && Unit->GetOwner()->IsAlliedWith(Nation);
}

// The range factor of the modes that reach from the units' base.
std::int32_t RangeFactor(TOrderMode Mode) {
  switch (Mode) {
  case omAirStrike:
  case omBomb:
  case omRecon:
    return 1;
  case omRebase:
    return 3;
  default:
    return 0;
  }
}

} // namespace

std::string TOrderEntry::PromptText(TOrderMode Mode, std::int32_t Range) {
  const std::string R = IntToStr(Range);
  switch (Mode) {
  case omNone: return "";
  case omMove: return "Click Destination Zone";
  case omEmbark: return "Select Fleet to Board";
  case omDisembark: return "Select Land Zone to Disembark onto";
  case omIntercept: return "Select enemy Fleet to Intercept";
  case omInvade: return "Click adjacent enemy Zone to Invade";
  case omDock: return "Click adjacent Land Zone to Dock into";
  case omPatrol: return "Click next point along Patrol Route";
  case omRouteResources: return "Click Zone to Route Resources to";
  case omAutoRoute:
    return "Click Adjacent Land Zone to Route Resources to, or click the same Land Zone to cancel current Routing";
  case omBorderDefense: return "Click Adjacent Zone to build Border Defense";
  case omAirStrike: return "Click a target Zone within " + R + " Zones of your Base";
  case omRebase: return "Click a new Base Zone within " + R + " Zones of your current position";
  case omBomb: return "Click enemy Land Zone within " + R + " to Bomb";
  case omRecon: return "Click the next point along the Recon Route";
  case omBombard: return "Click enemy Land Zone to Bombard";
  case omAimRockets:
    return "Click enemy Land Zone within " + IntToStr(RocketReach) +
           " Zones to Target, or re-click Base Zone to cancel Rocket Attacks";
  case omPortZone: return "Click the adjacent Sea Zone in which to build Sea Units";
  }
  return "";
}

std::string TOrderEntry::UnitListText(const std::vector<TUnit*>& Units) {
  std::string S;
  for (const TUnit* Unit : Units) S += IntToStr(Unit->ID) + "#";
  return S;
}

std::string TOrderEntry::RouteText(const std::vector<TBrenmoorZone*>& Zones) {
  std::string S;
  for (const TBrenmoorZone* Zone : Zones) S += IntToStr(Zone->GetIndex()) + "#";
  return S;
}

TOrderPrompt TOrderEntry::EnterMode(TOrderMode Mode, bool ClockActive) {
  TOrderPrompt Prompt;
  if (Mode != omNone && !ClockActive) {
    Prompt.Refused = true;
    return Prompt;
  }
  FMode = Mode;
  FRouteQuantity = 0;
  if (Mode == omNone) {
    FRoutePoints.clear();
    return Prompt;
  }
  if (Mode == omPatrol || Mode == omRecon) FRoutePoints.assign(1, FSelectedZone);
  if (const std::int32_t Factor = RangeFactor(Mode); Factor > 0) {
    std::int32_t Lowest = 0;
    bool Any = false;
    for (const TUnit* Unit : FSelectedUnits) {
      Lowest = Any ? std::min<std::int32_t>(Lowest, Unit->GetRange()) : Unit->GetRange();
      Any = true;
    }
    FOrderRange = Lowest * Factor;
  }
  Prompt.Text = PromptText(Mode, FOrderRange);
  if (Mode == omEmbark || Mode == omIntercept) Prompt.TargetList = true;
  if (Mode == omRebase) {
    const bool CarrierCapable = !FSelectedUnits.empty() &&
                                std::all_of(FSelectedUnits.begin(), FSelectedUnits.end(),
                                            [](const TUnit* Unit) { return Unit->IsCarrierCapable(); });
    FRebaseBases = CarrierCapable ? rbLandAndCarriers : rbLand;
    Prompt.TargetList = FRebaseBases == rbLandAndCarriers;
  }
  if (Mode == omRouteResources) {
    Prompt.RouteQuantity = true;
    Prompt.QuantityMax = FSelectedZone ? static_cast<std::int32_t>(std::trunc(FSelectedZone->GetResources())) : 0;
    FRouteQuantity = Prompt.QuantityMax;
  }
  return Prompt;
}

std::vector<std::string> TOrderEntry::EachUnit(int Code, const TBrenmoorZone* Zone) const {
  std::vector<std::string> Records;
  for (const TUnit* Unit : FSelectedUnits)
    Records.push_back(OrderRecord::OrderText(static_cast<TOrderType>(Code), Zone->GetIndex(), Unit->ID));
  return Records;
}

TOrderStep TOrderEntry::Refuse(std::string Text) const {
  TOrderStep Step;
  Step.Refusal = std::move(Text);
  return Step;
}

TOrderStep TOrderEntry::Leave(std::vector<std::string> Records) {
  TOrderStep Step;
  Step.Records = std::move(Records);
  Step.LeaveMode = true;
  FMode = omNone;
  FRoutePoints.clear();
  return Step;
}

bool TOrderEntry::MayAttack(const TBrenmoorZone* Zone) const { return FCurrentNation && FCurrentNation->CanAttackZone(Zone); }

std::string TOrderEntry::InvasionRefusal(const TBrenmoorZone* Zone) const {
  const TNation* Owner = FirstUnit() ? FirstUnit()->GetOwner() : FCurrentNation;
  return (Owner ? Owner->GetName() : std::string()) + " does not support an invasion of " + Zone->GetName();
}

std::int32_t TOrderEntry::MovePathCost(TBrenmoorZone* Zone) {
  TUnit* Unit = FirstUnit();
  TZoneMap* Map = FEngine->GetZoneMap();
  if (!Unit || !Map) return TZoneMap::UnreachablePathCost;
  TUnit* Before = FEngine->GetPathUnit();
  Unit->FindPathTo(Zone);
  const std::int32_t Cost = Map->PathCost();
  FEngine->SetPathUnit(Before);
  return Cost;
}

std::int32_t TOrderEntry::DockPathCost(TBrenmoorZone* From, TBrenmoorZone* To) {
  const std::int32_t Before = FEngine->GetPathMode();
  FEngine->SetPathMode(1);
  const std::int32_t Cost = FEngine->FindPathCost(From, To);
  FEngine->SetPathMode(Before);
  return Cost;
}

TOrderStep TOrderEntry::OfferTargets(std::vector<TUnit*> Targets, const char* NoneText) {
  if (Targets.empty()) {
    TOrderStep Step = Refuse(NoneText);
    Step.FillTargets = true;
    return Step;
  }
  TOrderStep Step = TargetClick(Targets.front());
  if (Step.Refusal.empty()) Step.HideError = true;
  if (Targets.size() == 1 && Step.ShowProceed) {
    TOrderStep Sent = Proceed(Targets.front());
    Step.Records = std::move(Sent.Records);
    Step.LeaveMode = Sent.LeaveMode;
  }
  Step.FillTargets = true;
  Step.Targets = std::move(Targets);
  return Step;
}

TOrderStep TOrderEntry::ZoneClick(TBrenmoorZone* Z) {
  TBrenmoorZone* S = FSelectedZone;
  if (!Z || !S || FMode == omNone) return {};
  TUnit* U0 = FirstUnit();
  switch (FMode) {
  case omNone:
    return {};
  case omMove:
    if (MovePathCost(Z) < UnreachableMoveCost) return Leave(EachUnit(ordMove, Z));
    if (Land(Z) && Z->IsNeighbour(S) && MayAttack(Z) && !S->GetEmbattled()) {
      TOrderStep Step;
      Step.Question = "Invade " + Z->GetName() + "?";
      Step.YesRecords = EachUnit(ordInvade, Z);
      return Step;
    }
    return Refuse("Unit cannot reach the Destination Zone");
  case omEmbark:
  case omIntercept: {
    const bool Embark = FMode == omEmbark;
    if (!Sea(Z) || (Embark && !Z->IsNeighbour(S))) {
      TOrderStep Step = Refuse(Embark ? "You can only Embark onto a Fleet that is next to your Army"
                                      : "Select an enemy Fleet in a Sea Zone");
      Step.HideTargets = true;
      return Step;
    }
    const TNation* Side = U0 ? U0->GetOwner() : FCurrentNation;
    std::vector<TUnit*> Targets;
    for (int I = 0; I < Z->GetUnitCount(); ++I) {
      TUnit* T = Z->GetUnit(I);
      if (Embark ? (T->GetKind() == ukNavy && AlliedOwners(T, Side)) : !AlliedOwners(T, Side)) Targets.push_back(T);
    }
    return OfferTargets(std::move(Targets),
                        Embark ? "There are no friendly Fleets in this Zone" : "There are no enemy Fleets in this Zone");
  }
  case omDisembark:
    if (!Land(Z) || !Z->IsNeighbour(S)) return Refuse("You can only Disembark onto a Land Zone next to your Army");
    if (!MayAttack(Z) && !OwnerAlliedWith(Z, FCurrentNation)) return Refuse(InvasionRefusal(Z));
    return Leave(EachUnit(ordDisembark, Z));
  case omInvade:
    if (!Land(Z) || !Z->IsNeighbour(S) || OwnerAlliedWith(Z, FCurrentNation))
      return Refuse("You can only invade an adjacent enemy Land Zone");
    if (!MayAttack(Z)) return Refuse(InvasionRefusal(Z));
    return Leave(EachUnit(ordInvade, Z));
  case omDock:
    for (const TUnit* Unit : FSelectedUnits)
      if (!Land(Z) || !Z->IsAlliedTo(Unit->GetOwner())) return Refuse("You can only Dock into a friendly Land Zone");
    if (!Z->IsPort()) return Refuse("This Zone does not contain a Port");
    if (DockPathCost(Z, S) >= UnreachableDockCost) return Refuse("Unit cannot reach the Destination Zone");
    return Leave(EachUnit(ordDock, Z));
  case omPatrol: {
    if (!Sea(Z) || FRoutePoints.empty() || !Z->IsNeighbour(FRoutePoints.back()))
      return Refuse("The Patrol route must be a series of connected Sea Zones");
    FRoutePoints.push_back(Z);
    TOrderStep Step;
    Step.ShowProceed = true;
    return Step;
  }
  case omRouteResources: {
    if (FRouteQuantity <= 0) {
      TOrderStep Step = Refuse("Specify a Quantity of Resources to Route");
      Step.FocusQuantity = true;
      return Step;
    }
    if (!Land(Z) || Z == S) return Refuse("This is not a Friendly Land Zone");
    if (FEngine->FindPathCost(Z, S) >= UnreachableMoveCost) return Refuse("Unit cannot reach the Destination Zone");
    return Leave({OrderRecord::OrderText(ordRoute, S->GetIndex(), Z->GetIndex(), FRouteQuantity)});
  }
  case omAutoRoute: {
    const bool Target = Z == S || (Land(Z) && Z->GetOwner() && S->GetOwner() && Z->GetOwner()->IsAlliedWith(S->GetOwner()) &&
                                   (Z->IsNeighbour(S) || (Z->IsCoastal() && S->IsCoastal())));
    if (!Target) return Refuse("This is not an Adjacent Friendly Land Zone");
    return Leave({OrderRecord::OrderText(ordAutoRoute, S->GetIndex(), Z->GetIndex())});
  }
  case omBorderDefense: {
    if (!Z->IsNeighbour(S)) return Refuse("This Zone is not Adjacent");
    if (S->GetBorderDefense(Z) >= StrongestBorderDefense)
      return Refuse("You have already built the strongest possible Defense on this Border");
    TOrderStep Step = Leave({OrderRecord::OrderText(ordBuildBorder, S->GetIndex(), Z->GetIndex())});
    Step.HideBorderDefense = true;
    return Step;
  }
  case omAirStrike:
    if (Z->GetTrueDistance(S) > FOrderRange) return Refuse("This Zone is too far from your Base");
    if (!MayAttack(Z)) return Refuse(InvasionRefusal(Z));
    return Leave(EachUnit(ordAirStrike, Z));
  case omRebase:
    if (Z->GetTrueDistance(S) > FOrderRange) return Refuse("This Zone is too far from your current position");
    if (Sea(Z)) {
      if (FRebaseBases != rbLandAndCarriers) return Refuse("Bombers cannot base on Carriers");
      const TNation* Side = U0 ? U0->GetOwner() : FCurrentNation;
      std::vector<TUnit*> Targets;
      for (int I = 0; I < Z->GetUnitCount(); ++I)
        if (TUnit* T = Z->GetUnit(I); T->GetKind() == ukNavy && AlliedOwners(T, Side)) Targets.push_back(T);
      return OfferTargets(std::move(Targets), "There are no friendly Carriers in this Sea Zone");
    }
    if (!OwnerAlliedWith(Z, FCurrentNation)) return Refuse("This is not an Allied Land Zone");
    if (!Z->IsAirfield()) return Refuse("This Zone does not contain an Airfield");
    return Leave(EachUnit(ordRebase, Z));
  case omBomb:
    if (Z->GetTrueDistance(S) > FOrderRange) return Refuse("This Zone is too far from your Base");
    if (!Land(Z)) return Refuse("You can only Bomb enemy Land Zones");
    if (!MayAttack(Z)) return Refuse(InvasionRefusal(Z));
    return Leave(EachUnit(ordBomb, Z));
  case omRecon: {
    if (FRoutePoints.empty() || !Z->IsNeighbour(FRoutePoints.back()))
      return Refuse("The Recon route must be a series of connected Zones");
    FRoutePoints.push_back(Z);
    --FOrderRange;
    if (FOrderRange <= 0) return Proceed(nullptr);
    TOrderStep Step;
    Step.ShowProceed = true;
    return Step;
  }
  case omBombard:
    if (!Land(Z)) return Refuse("This is not an Enemy Land Zone");
    if (DockPathCost(Z, S) >= UnreachableDockCost) return Refuse("Unit cannot reach the Destination Zone");
    if (!MayAttack(Z)) return Refuse(InvasionRefusal(Z));
    return Leave(EachUnit(ordBombard, Z));
  case omAimRockets:
    if (Z == S) return Leave({OrderRecord::OrderText(ordTargetRockets, S->GetIndex(), S->GetIndex())});
    if (!Land(Z) || !MayAttack(Z)) return Refuse("This is not an Enemy Land Zone");
    if (Z->GetTrueDistance(S) > RocketReach) return Refuse("This Zone is too far for your Rockets to reach");
    return Leave({OrderRecord::OrderText(ordTargetRockets, Z->GetIndex(), S->GetIndex())});
  case omPortZone:
    if (!Sea(Z) || !Z->IsNeighbour(S)) return Refuse("This is not an adjacent Sea Zone");
    return Leave({OrderRecord::OrderText(ordPortZone, S->GetIndex(), Z->GetIndex())});
  }
  return {};
}

TOrderStep TOrderEntry::FitTarget(TUnit* T, std::int32_t Need, std::int32_t Room, int DivideCode, const char* Question,
                                  const char* Full, bool HideError) const {
  TOrderStep Step;
  if (Need <= Room) {
    Step.ShowProceed = true;
    Step.HideError = HideError;
  } else if (Room > 0) {
    Step.Question = Question;
    Step.YesRecords = {OrderRecord::OrderText(static_cast<TOrderType>(DivideCode), FSelectedZone->GetIndex(),
                                              T->GetZone()->GetIndex(), T->ID, UnitListText(FSelectedUnits))};
  } else {
    return Refuse(Full);
  }
  return Step;
}

TOrderStep TOrderEntry::TargetClick(TUnit* T) {
  if (!T || !FSelectedZone) return {};
  TOrderStep Step;
  switch (FMode) {
  case omEmbark: {
    std::int32_t Weight = 0;
    for (const TUnit* Unit : FSelectedUnits) Weight += Unit->GetTransportWeight();
    return FitTarget(T, Weight, T->GetTransportRoom(), ordEmbarkDivide, "Divide this Unit and board as many troops as possible?",
                     "The Transports in this Fleet are already full", true);
  }
  case omIntercept:
    Step.ShowProceed = true;
    return Step;
  case omRebase: {
    if (T->GetCount(utCarrier) == 0) return Refuse("There are no Carriers in this Fleet");
    std::int32_t Planes = 0;
    for (const TUnit* Unit : FSelectedUnits) Planes += Unit->GetTotalCount();
    return FitTarget(T, Planes, T->GetCarrierRoom(), ordRebaseDivide, "Divide this Unit and land as many planes as possible?",
                     "The Carriers in this Fleet are already full", false);
  }
  default:
    return {};
  }
}

TOrderStep TOrderEntry::Proceed(TUnit* T) {
  std::vector<std::string> Records;
  switch (FMode) {
  case omEmbark:
    if (T)
      for (const TUnit* Unit : FSelectedUnits)
        Records.push_back(OrderRecord::OrderText(ordEmbark, T->GetZone()->GetIndex(), Unit->ID, T->ID));
    break;
  case omIntercept:
    if (T)
      for (const TUnit* Unit : FSelectedUnits) Records.push_back(OrderRecord::OrderText(ordIntercept, Unit->ID, T->ID));
    break;
  case omPatrol:
  case omRecon: {
    const TOrderType Code = FMode == omPatrol ? ordPatrol : ordRecon;
    const std::string Route = RouteText(FRoutePoints);
    for (const TUnit* Unit : FSelectedUnits) Records.push_back(OrderRecord::OrderText(Code, Unit->ID, Route));
    break;
  }
  case omRebase:
    if (T)
      for (const TUnit* Unit : FSelectedUnits)
        Records.push_back(OrderRecord::OrderText(ordRebaseCarrier, T->GetZone()->GetIndex(), Unit->ID, T->ID));
    break;
  default:
    return {};
  }
  return Leave(std::move(Records));
}

std::optional<std::string> UnitNameRefusal(const std::string& Name) {
  if (Name.empty()) return "A unit's name cannot be empty";
  if (Name.find_first_of(";~|#^`%\r\n") != std::string::npos)
    return "A unit's name cannot hold any of these characters: ; ~ | # ^ ` % or a line break";
  return std::nullopt;
}

std::vector<std::string> TOrderEntry::EachUnitAlone(int Code) const {
  std::vector<std::string> Records;
  for (const TUnit* Unit : FSelectedUnits) Records.push_back(OrderRecord::OrderText(static_cast<TOrderType>(Code), Unit->ID));
  return Records;
}

TDirectStep TOrderEntry::Direct(TDirectOrder Order, std::int32_t Depth) const {
  TDirectStep Step;
  const TBrenmoorZone* S = FSelectedZone;
  const std::int32_t Zone = S ? S->GetIndex() : -1;
  const std::int32_t Nation = FCurrentNation ? FCurrentNation->GetIndex() : -1;
  // Orders of the selected zone or the current nation need them.
  const auto Zoned = [&](std::string Record) {
    if (S) Step.Records.push_back(std::move(Record));
  };
  switch (Order) {
  case doClearOrders:
    Step.Records = EachUnitAlone(ordNone);
    Step.HideButton = true;
    break;
  case doLaunch: Step.Records = EachUnitAlone(ordLaunch); break;
  case doRetreat: Step.Records = EachUnitAlone(ordRetreat); break;
  case doMerge: Zoned(OrderRecord::OrderText(ordMerge, Zone, UnitListText(FSelectedUnits))); break;
  case doConsolidate:
    // One merge per kind of unit, of all the current nation's units of that kind here.
    if (!S) break;
    for (TUnitKind Kind : {ukArmy, ukAirForce, ukNavy}) {
      std::vector<TUnit*> Units;
      for (int I = 0; I < S->GetUnitCount(); ++I) {
        TUnit* Unit = S->GetUnit(I);
        if (Unit->GetKind() == Kind && FCurrentNation && Unit->GetOwner() == FCurrentNation) Units.push_back(Unit);
      }
      if (!Units.empty()) Step.Records.push_back(OrderRecord::OrderText(ordMerge, Zone, UnitListText(Units)));
    }
    break;
  case doBaseHere:
    Step.LeaveMode = true;
    if (S) Step.Records = EachUnit(ordRebase, S);
    break;
  case doAtomic:
    if (S && FCurrentNation) Step.Records.push_back(OrderRecord::OrderText(ordAtomicBomb, Nation, Zone));
    break;
  case doReturnToBase:
    Step.Records = EachUnitAlone(ordReturnToBase);
    Step.HideButton = true;
    break;
  case doBuildConvoys: {
    // Merchant ships as the zone's resources pay for, five each; no other type.
    if (!S) break;
    std::string Quantities;
    for (int T = 0; T < UnitTypeCount; ++T)
      Quantities += IntToStr(T == utMerchantShip ? static_cast<std::int32_t>(std::trunc(S->GetResources() / 5)) : 0) + "#";
    Step.Records.push_back(OrderRecord::OrderText(ordBuildUnit, Zone, static_cast<int>(ukNavy), Quantities));
    Step.HideButton = true;
    break;
  }
  case doBuildFactory:
  case doBuildRockets:
  case doBuildAirfield:
  case doBuildPort: {
    // The zone's buildings: one order each, with the zone alone.
    const TOrderType Code = Order == doBuildFactory   ? ordBuildFactory
                            : Order == doBuildRockets ? ordBuildRocket
                            : Order == doBuildAirfield ? ordBuildAirfield
                                                       : ordBuildPort;
    Zoned(OrderRecord::OrderText(Code, Zone));
    Step.HideButton = true;
    break;
  }
  case doSurface: Step.Records = EachUnitAlone(ordSurface); break;
  case doSubmerge: Step.Records = EachUnitAlone(ordSubmerge); break;
  case doKamakaze: Step.Records = EachUnitAlone(ordKamakaze); break;
  case doGlobalRoute: Zoned(OrderRecord::OrderText(ordGlobalRoute, Zone, Depth)); break;
  case doGlobalClear:
    if (FCurrentNation) Step.Records.push_back(OrderRecord::OrderText(ordGlobalClear, Nation));
    break;
  }
  return Step;
}

TRenameStep RenameUnit(const TUnit& Unit, const std::string& NewName) {
  TRenameStep Step;
  if (NewName == Unit.GetName()) return Step;
  if (std::optional<std::string> Refusal = UnitNameRefusal(NewName)) {
    Step.Refusal = *Refusal;
    return Step;
  }
  Step.Record = OrderRecord::OrderText(ordRenameUnit, Unit.ID, NewName);
  return Step;
}

TDiplomacyStep DiplomacyStep(const TNation& Current, const TNation& Target, int Action) {
  static constexpr const char* Notices[] = {
      "Denounced Recent Actions of ", "Launched Propaganda Campaign in ", "Exerted Diplomatic Pressure on ",
      "Conducted Summit Meeting with ", "Infiltrated ", "Tightened Security in ", "Aided Rebels ",
      "Aided Government in "};
  static_assert(std::size(Notices) == DiplomaticActionCount, "one notice per diplomatic action");
  TDiplomacyStep Step;
  if (Current.GetDiplomaticActions() == 0) {
    Step.Notice = "No Diplomatic Actions at this time";
    Step.Color = ncRed;
    return Step;
  }
  if (!IsDiplomaticAction(Action)) return Step;
  if (Action == daExertPressure && Target.GetMajorPower()) {
    Step.Notice = "You cannot Pressure Major Powers";
    Step.Color = ncRed;
    return Step;
  }
  if (Action == daTightenSecurity && !(Target.GetCapital() && Target.GetCapital()->GetOwner() == &Current)) {
    Step.Notice = "Cannot Tighten Security in " + Target.GetName();
    Step.Color = ncRed;
    return Step;
  }
  Step.Notice = Notices[Action] + Target.GetName();
  Step.Record = OrderRecord::OrderText(ordDiplomatic, Current.GetIndex(), Target.GetIndex(), Action);
  return Step;
}

std::vector<std::string> FormationRecords(const std::vector<TNation*>& Nations, const std::string& FormationText) {
  std::vector<std::string> Records;
  for (const TNation* Nation : Nations)
    Records.push_back(OrderRecord::OrderText(ordFormations, Nation->GetIndex(), FormationText));
  return Records;
}
