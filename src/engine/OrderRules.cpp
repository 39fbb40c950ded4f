// The rules of each order, one beside the other: the host's check of a record against the user
// who sent it (a peer may order only what its powers own, only what the unit can do now, only
// counts the unit or zone has, and only clean texts), then what the order does in the order
// stage, each effect going out as a change record for the other machines. The effect asks no
// one who sent the record, and draws no random number.
#include "engine/OrderRules.h"

#include <algorithm>
#include <cassert>

#include "engine/BrenmoorEngine.h"
#include "engine/CombatRules.h"
#include "engine/DiplomacyRules.h"
#include "engine/OrderCodes.h"
#include "engine/OrderRecord.h"
#include "engine/ResearchRules.h"
#include "engine/SupplyRules.h"
#include "engine/UnitRules.h"
#include "foundation/NumberText.h"

namespace {

using namespace OrderRecord;
using R = TOrderRefusal;
constexpr R Ok = R::None;

// The fields of one record read front to back as its code's description names them. A zone
// or nation index outside the lists and an identifier no unit has read as nullptr; a missing
// or non-numeric field as 0 or "".
class TOrderFields {
public:
  TOrderFields(const TBrenmoorEngine& Engine, TOrderType Code, const std::string& Record)
      : FEngine(Engine), FCode(OrderCodeOf(Code)), FRecord(Record), FFields(Record) {
    FFields.Int();
  }
  TOrderType Code() const { return FCode.Code; }
  TBrenmoorZone* Zone() {
    Next(TOrderFieldKind::Zone);
    const std::int32_t I = FFields.Int();
    return I >= 0 && I < FEngine.GetZoneCount() ? FEngine.GetZone(I) : nullptr;
  }
  TNation* Nation() {
    Next(TOrderFieldKind::Nation);
    const std::int32_t I = FFields.Int();
    return I >= 0 && I < FEngine.GetNationCount() ? FEngine.GetNation(I) : nullptr;
  }
  TUnit* Unit() {
    Next(TOrderFieldKind::Unit);
    return FEngine.GetUnitByID(FFields.Int());
  }
  std::int32_t Int() {
    Next(TOrderFieldKind::Int);
    return FFields.Int();
  }
  // A text field of any kind: a name, or a "#"-list.
  std::string Text() {
    [[maybe_unused]] const TOrderField& Field = FCode.Fields[FAt++];
    assert(FAt <= FCode.FieldCount && !IsIntegerField(Field.Kind));
    return FFields.Text();
  }
  // A field the order writes and its rules do not use.
  void Skip() {
    ++FAt;
    FFields.Text();
  }
  // Whether the value (the integer, or one count, of the field read last) lies in the range
  // the rules allow that field.
  bool Fits(std::int32_t Value) const {
    const TOrderField& Field = FCode.Fields[FAt - 1];
    return Value >= Field.Lowest && Value <= Field.Highest;
  }
  // The shape refusal of the record's first Count fields, for an order that reads more fields
  // in some states than in others.
  TOrderRefusal ShapeOfFirst(std::size_t Count) const { return OrderShapeRefusal(FRecord, FCode, Count, false); }

private:
  void Next([[maybe_unused]] TOrderFieldKind Kind) {
    assert(FAt < FCode.FieldCount && FCode.Fields[FAt].Kind == Kind);
    ++FAt;
  }
  const TBrenmoorEngine& FEngine;
  const TOrderCode& FCode;
  const std::string& FRecord;
  TRecordFields FFields;
  std::size_t FAt = 0;
};

// Whom the sender plays, and what of it the sender may order.
class TSender {
public:
  TSender(const TBrenmoorEngine& Engine, const std::string& Name) : FEngine(Engine), FName(Name) {}
  const std::string& Name() const { return FName; }
  const TBrenmoorEngine& Engine() const { return FEngine; }
  R Plays(const TNation* Nation) const {
    if (!Nation) return R::NoSuchNation;
    return FEngine.SenderPlays(FName, Nation) ? Ok : R::NotTheSenders;
  }
  R Owns(const TUnit* Unit) const {
    if (!Unit) return R::NoSuchUnit;
    return Unit->GetOwner() && FEngine.SenderPlays(FName, Unit->GetOwner()) ? Ok : R::NotTheSenders;
  }
  R Owns(const TBrenmoorZone* Zone) const {
    if (!Zone) return R::NoSuchZone;
    return Zone->GetOwner() && FEngine.SenderPlays(FName, Zone->GetOwner()) ? Ok : R::NotTheSenders;
  }
  // A unit that the sender owns and that can take the order now.
  R Orders(const TUnit* Unit, TOrderType Order) const {
    if (const R Why = Owns(Unit); Why != Ok) return Why;
    return Unit->CanTakeOrder().Contains(Order) ? Ok : R::CannotTakeOrder;
  }
  // Every identifier of the "#"-list a known unit and none twice; the list not empty.
  R ReadUnits(const std::string& List, std::vector<TUnit*>& Units) const {
    std::vector<std::int32_t> IDs;
    if (!ReadIntList(List, IDs)) return R::NotANumber;
    if (IDs.empty()) return R::NoSuchUnit;
    Units.clear();
    for (const std::int32_t ID : IDs) {
      TUnit* U = FEngine.GetUnitByID(ID);
      if (!U) return R::NoSuchUnit;
      if (std::find(Units.begin(), Units.end(), U) != Units.end()) return R::UnitNamedTwice;
      Units.push_back(U);
    }
    return Ok;
  }

private:
  const TBrenmoorEngine& FEngine;
  const std::string& FName;
};

// Resources after a build or improvement: never below zero.
float AfterCost(float Resources, double Cost) { return static_cast<float>(std::max(0.0, static_cast<double>(Resources) - Cost)); }

// The first sea zone among the zone's neighbours, or nullptr.
TBrenmoorZone* FirstSeaNeighbour(const TBrenmoorZone* Zone) {
  if (!Zone) return nullptr;
  for (TZone* Near : Zone->GetNeighbours())
    if (Near->GetSea() != 0) return static_cast<TBrenmoorZone*>(Near);
  return nullptr;
}

// --- Stop: the unit's order cleared ---

R CheckStop(const TSender& S, TOrderFields& F) {
  const TUnit* U = F.Unit();
  if (const R Why = S.Owns(U); Why != Ok) return Why;
  return U->GetOrder() == ordNone || U->CanTakeOrder().Contains(ordNone) ? Ok : R::CannotTakeOrder;
}

R ApplyStop(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  U->SetOrder(ordNone);
  E.SendUnitOrder(U);
  return Ok;
}

// --- A zone and the sender's unit that takes the order (moves, landings, air missions) ---

R CheckZoneAndUnit(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* Z = F.Zone();
  const TUnit* U = F.Unit();
  if (!Z) return R::NoSuchZone;
  return S.Orders(U, F.Code());
}

// Move, dock, invade, bombard: the unit heads for the zone in its action impulses.
R ApplyMove(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* To = F.Zone();
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  if (!To) return R::NoSuchZone;
  U->SetDestinationZone(To);
  U->SetOrder(F.Code());
  U->SetAttacking(F.Code() == ordInvade);
  E.SendUnitOrder(U);
  return Ok;
}

R ApplyDisembark(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* To = F.Zone();
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  if (!To) return R::NoSuchZone;
  U->SetDestinationZone(To);
  U->SetOrder(ordDisembark);
  U->SetAttacking(To->CountAllUnits(U->GetOwner(), false, true, false) || !To->IsAlliedTo(U->GetOwner()));
  E.SendUnitOrder(U);
  return Ok;
}

R ApplyRebase(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* To = F.Zone();
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  if (!To) return R::NoSuchZone;
  U->SetOrder(ordNone);
  E.SendUnitOrder(U);
  U->LeaveBase(To);
  U->MoveToZone(To, mmReplay);
  return Ok;
}

R ApplyAirStrike(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* To = F.Zone();
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  if (!To) return R::NoSuchZone;
  U->SetOrder(ordAirStrike);
  U->MoveToZone(To, mmReplay);
  E.SendUnitOrder(U);
  E.Fire(E.OnAirStrikeZone, U->GetOwner(), To);
  E.AddChange(chZoneStrike, U->GetOwner() ? U->GetOwner()->GetIndex() : -1, To->GetIndex(), 1);
  return Ok;
}

R ApplyBomb(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* To = F.Zone();
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  if (!To) return R::NoSuchZone;
  U->SetOrder(ordBomb);
  U->MoveToZone(To, mmReplay);
  E.SendUnitOrder(U);
  return Ok;
}

// --- The sender's unit alone, taking the order ---

R CheckUnit(const TSender& S, TOrderFields& F) { return S.Orders(F.Unit(), F.Code()); }

R ApplyLaunch(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  if (U->GetPreviousZone())
    U->SetDestinationZone(U->GetPreviousZone());
  else if (TBrenmoorZone* Sea = FirstSeaNeighbour(U->GetZone()))
    U->SetDestinationZone(Sea);
  U->SetOrder(ordLaunch);
  E.SendUnitOrder(U);
  return Ok;
}

R ApplyRetreat(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  U->SetDestinationZone(U->GetPreviousZone());
  U->SetOrder(ordRetreat);
  E.SendUnitOrder(U);
  return Ok;
}

R ApplyReturnToBase(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  U->SetOrder(ordNone);
  if (U->GetBaseUnit())
    U->MoveToZone(U->GetBaseUnit()->GetZone(), mmReplay);
  else if (U->GetBaseZone())
    U->MoveToZone(U->GetBaseZone(), mmReplay);
  E.SendUnitOrder(U);
  return Ok;
}

R ApplySubmerge(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  U->SetSubmerged(F.Code() == ordSubmerge);
  E.AddUnitChange(U, chUnitSubmerged, F.Code() == ordSubmerge);
  return Ok;
}

R ApplyKamikaze(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  return E.Combat().Kamikaze(U) ? Ok : R::CannotTakeOrder;
}

// --- Merge: the listed units of one zone become one ---

R CheckMerge(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* Z = F.Zone();
  if (!Z) return R::NoSuchZone;
  std::vector<TUnit*> Units;
  if (const R Why = S.ReadUnits(F.Text(), Units); Why != Ok) return Why;
  for (const TUnit* U : Units) {
    if (const R Why = S.Owns(U); Why != Ok) return Why;
    if (U->GetZone() != Z) return R::UnitsApart;
  }
  return S.Engine().UnitRules().CanMergeUnits(Units) ? Ok : R::CannotMerge;
}

R ApplyMerge(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  if (!From) return R::NoSuchZone;
  const std::string List = F.Text();
  if (!E.UnitRules().MergeUnits(From, List)) return R::CannotMerge;
  E.AddChange(chUnitsMerged, From->GetIndex(), List);
  return Ok;
}

// --- Divide: the counts split off into a new unit ---

R CheckDivide(const TSender& S, TOrderFields& F) {
  const TUnit* U = F.Unit();
  if (const R Why = S.Orders(U, ordDivide); Why != Ok) return Why;
  std::vector<std::int32_t> Counts;
  if (!ReadIntList(F.Text(), Counts)) return R::NotANumber;
  if (Counts.size() > UnitTypeCount) return R::TooManyItems;
  std::int64_t Total = 0;
  for (std::size_t T = 0; T < Counts.size(); ++T) {
    if (Counts[T] < 0 || Counts[T] > U->GetCount(static_cast<int>(T))) return R::CountAboveHolding;
    Total += Counts[T];
  }
  return Total > 0 ? Ok : R::NothingCounted;
}

R ApplyDivide(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  const std::string Counts = F.Text();
  if (!E.UnitRules().DivideUnit(U, Counts, nullptr)) return R::CannotDivide;
  E.AddUnitChange(U, chUnitDivided, Counts, -1, -1);
  return Ok;
}

// --- Embark on a transport, rebase on a carrier ---

R CheckBoard(const TSender& S, TOrderFields& F) {
  F.Skip();
  const TUnit* U = F.Unit();
  const TUnit* Ship = F.Unit();
  if (const R Why = S.Orders(U, F.Code() == ordEmbark ? ordEmbark : ordRebase); Why != Ok) return Why;
  if (!Ship) return R::NoSuchUnit;
  if (Ship->GetKind() != ukNavy || Ship == U) return R::NotAShip;
  // A transport or carrier of an ally takes the sender's units as well as one of its own.
  const bool Friendly = Ship->GetOwner() && U->GetOwner() && Ship->GetOwner()->IsAlliedWith(U->GetOwner());
  return S.Owns(Ship) == Ok || Friendly ? Ok : R::NotTheSenders;
}

R ApplyEmbark(TBrenmoorEngine& E, TOrderFields& F) {
  F.Skip();
  TUnit* U = F.Unit();
  TUnit* Transport = F.Unit();
  if (!U || !Transport) return R::NoSuchUnit;
  U->SetDestinationZone(Transport->GetZone());
  U->SetDestinationUnit(Transport);
  U->SetOrder(ordEmbark);
  E.SendUnitOrder(U);
  return Ok;
}

R ApplyRebaseCarrier(TBrenmoorEngine& E, TOrderFields& F) {
  F.Skip();
  TUnit* U = F.Unit();
  TUnit* Carrier = F.Unit();
  if (!U || !Carrier) return R::NoSuchUnit;
  U->SetOrder(ordNone);
  E.SendUnitOrder(U);
  U->JoinBase(Carrier);
  U->MoveToZone(Carrier->GetZone(), mmReplay);
  return Ok;
}

// --- Load a transport or a carrier with the listed units, splitting what does not fit ---

R CheckLoad(const TSender& S, TOrderFields& F) {
  F.Skip();
  const TBrenmoorZone* At = F.Zone();
  const TUnit* Ship = F.Unit();
  if (const R Why = S.Owns(Ship); Why != Ok) return Why;
  if (Ship->GetKind() != ukNavy) return R::NotAShip;
  std::vector<TUnit*> Units;
  if (const R Why = S.ReadUnits(F.Text(), Units); Why != Ok) return Why;
  const bool Carrier = F.Code() == ordRebaseDivide;
  if (Carrier && !At) return R::NoSuchZone;
  if (Carrier && At != Ship->GetZone()) return R::NotTheCarriersZone;
  for (const TUnit* U : Units) {
    if (U == Ship) return R::NotAShip;
    if (Carrier && U->GetKind() != ukAirForce) return R::NotAnAirUnit;
    if (const R Why = S.Orders(U, Carrier ? ordRebase : ordEmbark); Why != Ok) return Why;
  }
  return Ok;
}

R ApplyLoad(TBrenmoorEngine& E, TOrderFields& F) {
  F.Skip();  // the from zone, not used
  TBrenmoorZone* At = F.Zone();
  TUnit* Ship = F.Unit();
  const std::string List = F.Text();
  if (!Ship) return R::NoSuchUnit;
  // Air units land in the carrier's zone as the record names it.
  if (F.Code() == ordRebaseDivide && !At) return R::NoSuchZone;
  E.LoadShip(F.Code() == ordEmbarkDivide, At, Ship, List);
  return Ok;
}

// --- Intercept a ship at sea ---

R CheckIntercept(const TSender& S, TOrderFields& F) {
  const TUnit* U = F.Unit();
  if (const R Why = S.Orders(U, ordIntercept); Why != Ok) return Why;
  return F.Unit() ? Ok : R::NoSuchUnit;
}

R ApplyIntercept(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  TUnit* Target = F.Unit();
  if (!U || !Target) return R::NoSuchUnit;
  if (!Target->GetZone()) return R::UnitNowhere;
  if (Target->GetZone()->GetSea() == 0) {
    U->SetOrder(ordNone);
  } else {
    U->SetDestinationZone(Target->GetZone());
    U->SetDestinationUnit(Target);
    U->SetOrder(ordIntercept);
    U->SetAttacking(true);
  }
  E.SendUnitOrder(U);
  return Ok;
}

// --- Patrol and recon along a route of zones ---

R CheckPatrol(const TSender& S, TOrderFields& F) {
  const TUnit* U = F.Unit();
  if (const R Why = S.Orders(U, F.Code()); Why != Ok) return Why;
  std::vector<TBrenmoorZone*> Zones;
  if (!ReadZoneList(S.Engine(), F.Text(), Zones)) return R::NoSuchZone;
  return Zones.size() >= 2 ? Ok : R::TooFewZones;
}

R ApplyPatrol(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  if (!U) return R::NoSuchUnit;
  std::vector<TBrenmoorZone*> Zones;
  // A list of fewer than two zones, or naming no zone, would leave the patrol nowhere to go.
  if (!ReadZoneList(E, F.Text(), Zones)) return R::NoSuchZone;
  if (Zones.size() < 2) return R::TooFewZones;
  std::string List;
  for (const TBrenmoorZone* Z : Zones) List += IntToStr(Z->GetIndex()) + "#";
  U->SetPatrolZones(Zones);
  U->SetOrder(F.Code());
  U->SetPatrolIndex(0);
  U->SetPatrolStep(1);
  U->SetDestinationZone(Zones[1]);
  E.AddUnitChange(U, chUnitPatrol, List, static_cast<int>(F.Code()));
  return Ok;
}

// --- Orders the order stage leaves alone (the atomic bomb, base here) ---

R CheckNothing(const TSender&, TOrderFields&) { return Ok; }
R ApplyNothing(TBrenmoorEngine&, TOrderFields&) { return R::NoEffect; }

// --- Route resources from a zone of the sender's ---

R CheckRoute(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* From = F.Zone();
  const TBrenmoorZone* To = F.Zone();
  const std::int32_t Amount = F.Int();
  if (const R Why = S.Owns(From); Why != Ok) return Why;
  if (!To) return R::NoSuchZone;
  return F.Fits(Amount) ? Ok : R::OutOfRange;
}

R ApplyRoute(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  TBrenmoorZone* To = F.Zone();
  std::int32_t Amount = F.Int();
  if (!From || !To) return R::NoSuchZone;
  if (static_cast<double>(Amount) > static_cast<double>(From->GetResources()))
    Amount = static_cast<std::int32_t>(From->GetResources());
  // A zone in debt has nothing to send, and a routing of less than nothing would take from
  // its target; a routing to the zone itself is none. Nothing is taken or recorded then.
  if (Amount <= 0) return R::NothingToSend;
  if (!E.Supply().CreateRouting(From, To, Amount)) return R::NothingToSend;
  E.AddChange(chRoutingCreated, From->GetIndex(), To->GetIndex(), Amount);
  return Ok;
}

// --- A zone of the sender's and another zone (its supply source, its port zone) ---

R CheckSupplySource(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* From = F.Zone();
  const TBrenmoorZone* To = F.Zone();
  if (const R Why = S.Owns(From); Why != Ok) return Why;
  return To ? Ok : R::NoSuchZone;
}

R ApplySupplySource(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  TBrenmoorZone* To = F.Zone();
  if (!From || !To) return R::NoSuchZone;
  if (!From->IsAlliedTo(To->GetOwner())) return R::NotAllied;
  From->SetSupplySource(To);
  E.AddChange(chSupplySource, From->GetIndex(), To->GetIndex());
  return Ok;
}

R CheckPortZone(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* From = F.Zone();
  const TBrenmoorZone* To = F.Zone();
  if (const R Why = S.Owns(From); Why != Ok) return Why;
  if (!To) return R::NoSuchZone;
  // A port zone is a sea zone beside the zone.
  return To->GetSea() != 0 && From->IsNeighbour(To) ? Ok : R::NotASeaNeighbour;
}

R ApplyPortZone(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  TBrenmoorZone* To = F.Zone();
  if (!From || !To) return R::NoSuchZone;
  From->SetPortZone(To);
  E.AddChange(chPortZone, From->GetIndex(), To->GetIndex());
  return Ok;
}

// --- Build units in a zone of the sender's ---

R CheckBuildUnit(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* From = F.Zone();
  const std::int32_t Kind = F.Int();
  const bool KindFits = F.Fits(Kind);
  const std::string Text = F.Text();
  if (const R Why = S.Owns(From); Why != Ok) return Why;
  if (!KindFits) return R::OutOfRange;
  std::vector<std::int32_t> Counts;
  if (!ReadIntList(Text, Counts)) return R::NotANumber;
  if (Counts.size() > UnitTypeCount) return R::TooManyItems;
  std::int64_t Total = 0;
  for (std::size_t T = 0; T < Counts.size(); ++T) {
    if (!F.Fits(Counts[T])) return R::OutOfRange;
    // One unit of the order's kind: a fleet holds no infantry.
    if (Counts[T] > 0 && UnitTypes[T].Kind != Kind) return R::WrongUnitKind;
    Total += Counts[T];
  }
  return Total > 0 ? Ok : R::NothingCounted;
}

R ApplyBuildUnit(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  const std::int32_t Kind = F.Int() & 0xFF;
  const std::string Text = F.Text();
  if (!From) return R::NoSuchZone;
  if (From->GetBuilding()) return R::AlreadyBuilding;
  TBuildFigures B = ReadBuild(Text);
  // A computer player builds only what the zone can pay; a human player may overspend.
  if (B.Cost > static_cast<double>(From->GetResources()) && From->GetOwner() && From->GetOwner()->GetComputerPlayer())
    return R::CannotPay;
  // A conquered zone works for its conqueror at less than its strength.
  if (From->GetOriginalOwner() && !From->GetOriginalOwner()->IsAlliedWith(From->GetOwner())) B.Total = 0.6f * B.Total;
  E.ApplyModifiers(efUnitCost, B.Cost, From, B.EventKind);
  From->SetBuildKind(Kind);
  for (int T = 0; T < UnitTypeCount; ++T) From->SetBuildQueue(T, B.Counts[static_cast<std::size_t>(T)]);
  From->SetBuildTotal(B.Total);
  From->SetResources(AfterCost(From->GetResources(), B.Cost));
  From->SetBuildProgressPoints(0.0f);
  From->SetBuilding(true);
  // The total goes with the record: the guest cannot know the factors the host applied.
  E.AddChange(chBuildStarted, From->GetIndex(), Kind, CountsText(B.Counts), From->GetResources(), B.Total);
  return Ok;
}

// --- Improve a zone of the sender's: a factory, a rocket site, an airfield, a port ---

R CheckZone(const TSender& S, TOrderFields& F) { return S.Owns(F.Zone()); }

R ApplyImprovement(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  if (!From) return R::NoSuchZone;
  if (From->GetBuilding()) return R::AlreadyBuilding;
  TChangeCode Change = chFactoryBuilt;
  switch (F.Code()) {
    case ordBuildFactory:
      if (From->GetFactories() >= From->GetIndustry()) return R::AlreadyBuilt;
      From->SetFactories(From->GetFactories() + 1);
      Change = chFactoryBuilt;
      break;
    case ordBuildRocket:
      if (From->GetRocketSite()) return R::AlreadyBuilt;
      From->SetRocketSite(true);
      Change = chRocketSiteBuilt;
      break;
    case ordBuildAirfield:
      if (From->IsAirfield()) return R::AlreadyBuilt;
      From->SetAirfield(true);
      Change = chAirfieldBuilt;
      break;
    default:
      if (From->IsPort()) return R::AlreadyBuilt;
      From->SetPort(true);
      Change = chPortBuilt;
      break;
  }
  From->SetResources(AfterCost(From->GetResources(), TBrenmoorEngine::ImprovementCost));
  E.AddChange(Change, From->GetIndex(), From->GetResources());
  return Ok;
}

// --- A border defence level towards a neighbour ---

R CheckBorder(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* From = F.Zone();
  const TBrenmoorZone* Neighbour = F.Zone();
  if (const R Why = S.Owns(From); Why != Ok) return Why;
  if (!Neighbour) return R::NoSuchZone;
  return From->IsNeighbour(Neighbour) ? Ok : R::NotANeighbour;
}

R ApplyBorder(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  TBrenmoorZone* Neighbour = F.Zone();
  if (!From || !Neighbour) return R::NoSuchZone;
  if (From->GetBuilding()) return R::AlreadyBuilding;
  const std::int32_t Level = From->GetBorderDefense(Neighbour);
  if (Level >= 4) return R::AlreadyBuilt;
  From->SetBorderDefense(Neighbour, Level + 1);
  From->SetResources(AfterCost(From->GetResources(), TBrenmoorEngine::ImprovementCost));
  E.AddChange(chBorderDefenceBuilt, From->GetIndex(), Neighbour->GetIndex(), From->GetResources());
  return Ok;
}

// --- Rockets of a site of the sender's at a zone ---

R CheckRocketTarget(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* Target = F.Zone();
  const TBrenmoorZone* Site = F.Zone();
  if (!Target) return R::NoSuchZone;
  return S.Owns(Site);
}

R ApplyRocketTarget(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* Target = F.Zone();
  TBrenmoorZone* Site = F.Zone();
  if (!Target || !Site) return R::NoSuchZone;
  Site->SetRocketTarget(Site->GetOwner() == Target->GetOwner() ? nullptr : Target);
  E.AddChange(chRocketTarget, Target->GetIndex(), Site->GetIndex());
  return Ok;
}

// --- Supply walk from a zone of the sender's, and the clearing of a nation's sources ---

R CheckSupplyWalk(const TSender& S, TOrderFields& F) {
  const TBrenmoorZone* From = F.Zone();
  const std::int32_t Depth = F.Int();
  if (const R Why = S.Owns(From); Why != Ok) return Why;
  return F.Fits(Depth) ? Ok : R::OutOfRange;
}

R ApplySupplyWalk(TBrenmoorEngine& E, TOrderFields& F) {
  TBrenmoorZone* From = F.Zone();
  const std::int32_t Depth = F.Int();
  if (!From) return R::NoSuchZone;
  E.Supply().ComputeSupply(From, Depth);
  E.AddChange(chSupplyWalk, From->GetIndex(), Depth);
  return Ok;
}

R CheckNation(const TSender& S, TOrderFields& F) { return S.Plays(F.Nation()); }

R ApplySupplyClear(TBrenmoorEngine& E, TOrderFields& F) {
  TNation* N = F.Nation();
  if (!N) return R::NoSuchNation;
  E.Supply().ResetSupplySources(N);
  E.AddChange(chSupplyReset, N->GetIndex());
  return Ok;
}

// --- A nation's formation weights ---

R CheckFormations(const TSender& S, TOrderFields& F) {
  if (const R Why = S.Plays(F.Nation()); Why != Ok) return Why;
  return IsFormationChoice(F.Text()) ? Ok : R::BadFormation;
}

R ApplyFormations(TBrenmoorEngine& E, TOrderFields& F) {
  TNation* N = F.Nation();
  const std::string Text = F.Text();
  if (!N) return R::NoSuchNation;
  if (!IsFormationText(Text)) return R::BadFormation;
  E.UnitRules().SetFormations(N, Text);
  E.AddChange(chUnitCosts, N->GetIndex(), Text);
  return Ok;
}

// --- Diplomacy and war ---

// The target and the action are read only while the nation has actions left.
R CheckDiplomatic(const TSender& S, TOrderFields& F) {
  const TNation* N = F.Nation();
  if (const R Why = S.Plays(N); Why != Ok) return Why;
  if (N->GetDiplomaticActions() == 0) return Ok;
  if (const R Why = F.ShapeOfFirst(3); Why != Ok) return Why;
  return F.Nation() ? Ok : R::NoSuchNation;
}

R ApplyDiplomatic(TBrenmoorEngine& E, TOrderFields& F) {
  TNation* N = F.Nation();
  if (!N) return R::NoSuchNation;
  if (N->GetDiplomaticActions() <= 0) return R::NoDiplomaticAction;
  TNation* Target = F.Nation();
  const std::int32_t Action = F.Int();
  if (!Target) return R::NoSuchNation;
  E.Diplomacy().DiplomaticAction(N, Target, Action);
  return Ok;
}

R CheckDeclareWar(const TSender& S, TOrderFields& F) {
  if (const R Why = S.Plays(F.Nation()); Why != Ok) return Why;
  return F.Nation() ? Ok : R::NoSuchNation;
}

R ApplyDeclareWar(TBrenmoorEngine& E, TOrderFields& F) {
  TNation* N = F.Nation();
  TNation* Target = F.Nation();
  if (!N || !Target) return R::NoSuchNation;
  // A relation held at 100, or war on oneself, drifts nowhere: the loop ends with it.
  while (N->GetRelation(Target) > -100)
    if (!E.Diplomacy().DriftRelation(N, Target, -20000)) break;
  return Ok;
}

// --- Research allocation ---

R CheckResearch(const TSender& S, TOrderFields& F) {
  if (const R Why = S.Plays(F.Nation()); Why != Ok) return Why;
  std::vector<std::int32_t> Values;
  if (!ReadIntList(F.Text(), Values)) return R::NotANumber;
  if (Values.size() > 1 + ResearchGroupCount) return R::TooManyItems;
  for (std::size_t I = 0; I < Values.size(); ++I)
    if (Values[I] < 0 || (I > 0 && Values[I] > 255)) return R::OutOfRange;
  return Ok;
}

R ApplyResearch(TBrenmoorEngine& E, TOrderFields& F) {
  TNation* N = F.Nation();
  const std::string Text = F.Text();
  if (!N) return R::NoSuchNation;
  E.Research().SetResearchAllocation(N, Text);
  E.AddChange(chResearchAllocation, N->GetIndex(), Text);
  return Ok;
}

// --- A unit's name ---

R CheckRename(const TSender& S, TOrderFields& F) { return S.Owns(F.Unit()); }

R ApplyRename(TBrenmoorEngine& E, TOrderFields& F) {
  TUnit* U = F.Unit();
  const std::string Text = F.Text();
  if (!U) return R::NoSuchUnit;
  E.RenameUnit(U, Text);
  E.AddUnitChange(U, chUnitRenamed, Text);
  return Ok;
}

// --- Surrender, in one's own name only ---

R CheckSurrender(const TSender& S, TOrderFields& F) {
  const std::string Name = F.Text();
  return !Name.empty() && Name == S.Name() ? Ok : R::NotTheSender;
}

R ApplySurrender(TBrenmoorEngine& E, TOrderFields& F) {
  const std::string Name = F.Text();
  E.AddChange(chPlayerRemoved, Name);
  E.Diplomacy().RemovePlayer(Name);
  return Ok;
}

// --- The rules of every order code ---

struct TOrderRule {
  TOrderType Code;
  R (*Check)(const TSender&, TOrderFields&);
  R (*Apply)(TBrenmoorEngine&, TOrderFields&);
};

constexpr std::array<TOrderRule, OrderTypeCount> Rules = {{
    {ordNone, CheckStop, ApplyStop},
    {ordMove, CheckZoneAndUnit, ApplyMove},
    {ordLaunch, CheckUnit, ApplyLaunch},
    {ordRetreat, CheckUnit, ApplyRetreat},
    {ordMerge, CheckMerge, ApplyMerge},
    {ordDock, CheckZoneAndUnit, ApplyMove},
    {ordDivide, CheckDivide, ApplyDivide},
    {ordEmbark, CheckBoard, ApplyEmbark},
    {ordDisembark, CheckZoneAndUnit, ApplyDisembark},
    {ordIntercept, CheckIntercept, ApplyIntercept},
    {ordInvade, CheckZoneAndUnit, ApplyMove},
    {ordPatrol, CheckPatrol, ApplyPatrol},
    {ordRebase, CheckZoneAndUnit, ApplyRebase},
    {ordAirStrike, CheckZoneAndUnit, ApplyAirStrike},
    {ordAtomicBomb, CheckNothing, ApplyNothing},
    {ordReturnToBase, CheckUnit, ApplyReturnToBase},
    {ordRecon, CheckPatrol, ApplyPatrol},
    {ordRoute, CheckRoute, ApplyRoute},
    {ordAutoRoute, CheckSupplySource, ApplySupplySource},
    {ordBuildUnit, CheckBuildUnit, ApplyBuildUnit},
    {ordBuildFactory, CheckZone, ApplyImprovement},
    {ordBuildBorder, CheckBorder, ApplyBorder},
    {ordBomb, CheckZoneAndUnit, ApplyBomb},
    {ordBombard, CheckZoneAndUnit, ApplyMove},
    {ordRebaseCarrier, CheckBoard, ApplyRebaseCarrier},
    {ordFormations, CheckFormations, ApplyFormations},
    {ordBaseHere, CheckNothing, ApplyNothing},
    {ordDiplomatic, CheckDiplomatic, ApplyDiplomatic},
    {ordDeclareWar, CheckDeclareWar, ApplyDeclareWar},
    {ordSurface, CheckUnit, ApplySubmerge},
    {ordSubmerge, CheckUnit, ApplySubmerge},
    {ordResearch, CheckResearch, ApplyResearch},
    {ordTargetRockets, CheckRocketTarget, ApplyRocketTarget},
    {ordBuildRocket, CheckZone, ApplyImprovement},
    {ordBuildAirfield, CheckZone, ApplyImprovement},
    {ordBuildPort, CheckZone, ApplyImprovement},
    {ordEmbarkDivide, CheckLoad, ApplyLoad},
    {ordRebaseDivide, CheckLoad, ApplyLoad},
    {ordKamakaze, CheckUnit, ApplyKamikaze},
    {ordRenameUnit, CheckRename, ApplyRename},
    {ordGlobalRoute, CheckSupplyWalk, ApplySupplyWalk},
    {ordGlobalClear, CheckNation, ApplySupplyClear},
    {ordPortZone, CheckPortZone, ApplyPortZone},
    {ordSurrender, CheckSurrender, ApplySurrender},
}};

static_assert(InOrderCodeOrder(Rules), "one rule per order code, in code order");

}  // namespace

namespace OrderRules {

TOrderRefusal Check(const TBrenmoorEngine& Engine, const std::string& Record, const std::string& Sender) {
  // No text of a record may carry the delimiters of the messages around it.
  if (Record.find_first_of("~|") != std::string::npos) return R::UncleanText;
  // A record cut short or with words for numbers is no order anyone's program writes.
  const auto Read = TryStrToInt(std::string_view(Record).substr(0, Record.find(';')));
  if (!Read) return R::NoCode;
  if (Record.find(';') == std::string::npos) return R::MissingField;
  const int Code = *Read & 0xFF;
  if (Code >= OrderTypeCount) return R::UnknownCode;
  const TOrderCode& Description = OrderCodeOf(static_cast<TOrderType>(Code));
  if (const R Why = OrderShapeRefusal(Record, Description, Description.ReadCount, false); Why != Ok) return Why;
  TOrderFields F(Engine, Description.Code, Record);
  return Rules[static_cast<std::size_t>(Code)].Check(TSender(Engine, Sender), F);
}

TOrderRefusal Apply(TBrenmoorEngine& Engine, const std::string& Record) {
  // The code reads as the fields do: a missing or non-numeric code as 0.
  const int Code = StrToIntDef(std::string_view(Record).substr(0, Record.find(';')), 0) & 0xFF;
  if (Code >= OrderTypeCount) return R::UnknownCode;
  TOrderFields F(Engine, static_cast<TOrderType>(Code), Record);
  return Rules[static_cast<std::size_t>(Code)].Apply(Engine, F);
}

}  // namespace OrderRules
