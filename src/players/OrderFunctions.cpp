// The game functions that give orders, and those with state of their own: the patrol route,
// the nearest-enemy search, the brain's private data, random numbers, the version check,
// script output and chat.
//
// An order function makes its checks and then writes one order record, exactly as the rules'
// order stage reads it (code ";" then each field followed by ";"; units by identifier, zones
// and nations by index), into the order sink. A failed check ends the function silently and
// the script goes on; an invalid index ends the run with a script error.
#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <string>

#include "engine/DiplomacyTypes.h"
#include "engine/OrderRecord.h"
#include "engine/UnitRules.h"
#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "players/ScriptModule.h"
#include "script/ScriptExceptions.h"

namespace {

using TModule = TdmScript;

// --- Writing an order ---

template <class... Ts>
void Issue(TModule& M, TOrderType Code, const Ts&... Fields) {
  if (TOrderSink* Sink = M.GetOrderSink()) Sink->IssueOrder(OrderRecord::OrderText(Code, Fields...));
}

// --- Common checks ---

bool MayTake(const TUnit* Unit, TOrderType Code) { return Unit->CanTakeOrder().Contains(Code); }

// The own unit of argument 0 that may take the order (it becomes CurrentUnit), or nullptr.
TUnit* OwnUnitFor(TModule& M, const TArgList& Args, TOrderType Code) {
  if (!M.OwnUnitArgument(Args, 0)) return nullptr;
  return MayTake(M.CurrentUnit, Code) ? M.CurrentUnit : nullptr;
}

bool Land(const TBrenmoorZone* Zone) { return Zone->GetSea() == 0; }

// The nation may attack the zone (an unowned zone too); false without a nation.
bool Attackable(const TNation* Nation, const TBrenmoorZone* Zone) { return Nation && Nation->CanAttackZone(Zone); }

// Whether the zone's owner is allied with the nation (false for an unowned zone).
bool OwnerAlliedWith(const TBrenmoorZone* Zone, const TNation* Nation) {
  return Zone->GetOwner() && Nation && Zone->GetOwner()->IsAlliedWith(Nation);
}

// The steps between the zones are at most Reach.
bool WithinReach(TBrenmoorZone* From, TBrenmoorZone* To, std::int64_t Reach) {
  return From->GetTrueDistance(To) <= Reach;
}

// The cost of the path from the unit's zone to the target with the engine's dock and bombard
// step costs.
std::int32_t DockPathCost(TModule& M, TUnit* Unit, TBrenmoorZone* Target) {
  TBrenmoorEngine& E = M.Engine();
  E.SetPathMode(1);
  struct TReset {
    TBrenmoorEngine& E;
    ~TReset() { E.SetPathMode(0); }
  } Reset{E};
  return E.FindPathCost(Unit->GetZone(), Target);
}

bool FlagSeven(TModule& M) { return M.Engine().HasEngineOption(7); }

bool ResourcesForWork(const TBrenmoorZone* Zone) { return Zone->GetResources() >= TBrenmoorEngine::ImprovementCost; }

// The player's progress in the research group reaches the group's threshold.
bool Researched(const TNation* Player, int Group) {
  return Player->GetResearchProgress(Group) >= DefaultResearchCosts[static_cast<std::size_t>(Group)];
}

std::string PatrolText(const TModule& M) {
  std::string S;
  for (const std::int32_t Zone : M.PatrolZones) S += IntToStr(Zone) + "#";
  return S;
}

// A zone argument that must name a zone at least 0 (a negative one, the "none" of the search,
// gives nothing); an index past the zones is an error.
TBrenmoorZone* TargetAtLeastZero(TModule& M, const TArgList& Args, std::int32_t I) {
  if (TModule::IntArg(Args, I) < 0) return nullptr;
  return M.ValidZoneArgument(Args, I);
}

// --- Unit orders ---

void UnitOnly(TModule& M, const TArgList& Args, TOrderType Code) {
  if (TUnit* U = OwnUnitFor(M, Args, Code)) Issue(M, Code, U->ID);
}

void OrderUnitClear(TModule& M, const TArgList& A, TValue&) { UnitOnly(M, A, ordNone); }
void OrderUnitLaunch(TModule& M, const TArgList& A, TValue&) { UnitOnly(M, A, ordLaunch); }
void OrderUnitRetreat(TModule& M, const TArgList& A, TValue&) { UnitOnly(M, A, ordRetreat); }
void OrderUnitReturnToBase(TModule& M, const TArgList& A, TValue&) { UnitOnly(M, A, ordReturnToBase); }
void OrderUnitSurface(TModule& M, const TArgList& A, TValue&) { UnitOnly(M, A, ordSurface); }
void OrderUnitSubmerge(TModule& M, const TArgList& A, TValue&) { UnitOnly(M, A, ordSubmerge); }

void OrderUnitMove(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordMove);
  if (!U) return;
  TBrenmoorZone* Z = TargetAtLeastZero(M, A, 1);
  if (!Z) return;
  // The move is given whatever its path costs; the search leaves the unit's path ready.
  U->FindPathTo(Z);
  Issue(M, ordMove, Z->GetIndex(), U->ID);
}

void OrderUnitMerge(TModule& M, const TArgList& A, TValue&) {
  TUnit* First = M.UnitArgument(A, 0);
  TUnit* Second = M.UnitArgument(A, 1);
  M.CurrentUnit = First;
  // Only the player's own units, standing in one zone, merge.
  TNation* Player = M.Player();
  if (First->GetOwner() != Player || Second->GetOwner() != Player) return;
  if (!First->GetZone() || First->GetZone() != Second->GetZone()) return;
  M.MergeList.assign({First, Second});
  if (!M.Engine().UnitRules().CanMergeUnits(M.MergeList)) return;
  Issue(M, ordMerge, First->GetZone()->GetIndex(), IntToStr(First->ID) + "#" + IntToStr(Second->ID) + "#");
}

void OrderUnitDock(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordDock);
  if (!U) return;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  if (!Land(Z) || Z->IsEnemyOf(M.Player()) || !Z->IsPort()) return;
  if (DockPathCost(M, U, Z) >= 2000) return;
  Issue(M, ordDock, Z->GetIndex(), U->ID);
}

void OrderUnitDividePct(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordDivide);
  if (!U) return;
  // A share outside 0..100 would split off more than the unit holds.
  const std::int32_t Percent = TModule::IntArg(A, 1);
  if (Percent < 0 || Percent > 100) return;
  std::string Text;
  for (int T = 0; T < UnitTypeCount; ++T)
    Text += IntToStr(RoundHalfEven(static_cast<double>(U->GetCount(T)) * Percent / 100.0)) + "#";
  Issue(M, ordDivide, U->ID, Text);
}

void OrderUnitEmbark(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordEmbark);
  if (!U) return;
  TUnit* T = M.UnitArgument(A, 1);
  TBrenmoorZone* TZ = T->GetZone();
  if (!TZ || !U->GetZone() || Land(TZ)) return;
  if (!T->GetOwner() || !T->GetOwner()->IsAlliedWith(U->GetOwner())) return;
  if (!TZ->IsNeighbour(U->GetZone())) return;
  const std::int32_t Room = T->GetTransportRoom();
  if (Room <= 0 || Room < U->GetTransportWeight()) return;
  Issue(M, ordEmbark, TZ->GetIndex(), U->ID, T->ID);
}

void OrderUnitDisembark(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordDisembark);
  if (!U) return;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  if (!U->GetZone() || !Z->IsNeighbour(U->GetZone()) || !Land(Z)) return;
  if (!Attackable(U->GetOwner(), Z) && !OwnerAlliedWith(Z, U->GetOwner())) return;
  Issue(M, ordDisembark, Z->GetIndex(), U->ID);
}

void OrderUnitIntercept(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordIntercept);
  if (!U) return;
  TUnit* Target = M.UnitArgument(A, 1);
  if (Target->GetKind() != ukNavy) return;
  Issue(M, ordIntercept, U->ID, Target->ID);
}

void OrderUnitInvade(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnUnitArgument(A, 0)) return;
  TUnit* U = M.CurrentUnit;
  TBrenmoorZone* Z = TargetAtLeastZero(M, A, 1);
  if (!Z || !MayTake(U, ordInvade)) return;
  if (!Land(Z) || !U->GetZone() || !Z->IsNeighbour(U->GetZone()) || !Z->GetOwner()) return;
  if (!Attackable(U->GetOwner(), Z)) return;
  Issue(M, ordInvade, Z->GetIndex(), U->ID);
}

void PatrolOrder(TModule& M, const TArgList& A, TOrderType Code) {
  TUnit* U = OwnUnitFor(M, A, Code);
  if (!U) return;
  // The order heads for the route's second zone: a route of fewer than two zones is none;
  // nor is one of another game's map.
  if (M.PatrolZones.size() < 2) return;
  for (const std::int32_t Zone : M.PatrolZones)
    if (Zone >= M.Engine().GetZoneCount()) return;
  Issue(M, Code, U->ID, PatrolText(M));
}

void OrderUnitPatrol(TModule& M, const TArgList& A, TValue&) { PatrolOrder(M, A, ordPatrol); }
void OrderUnitRecon(TModule& M, const TArgList& A, TValue&) { PatrolOrder(M, A, ordRecon); }

void OrderUnitRebase(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordRebase);
  if (!U) return;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  if (!U->GetZone() || !WithinReach(U->GetZone(), Z, 3 * static_cast<std::int64_t>(U->GetRange()))) return;
  if (!OwnerAlliedWith(Z, U->GetOwner()) || !Z->IsAirfield()) return;
  Issue(M, ordRebase, Z->GetIndex(), U->ID);
}

void OrderUnitAirStrike(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnUnitArgument(A, 0)) return;
  TUnit* U = M.CurrentUnit;
  TBrenmoorZone* Z = TargetAtLeastZero(M, A, 1);
  if (!Z || !MayTake(U, ordAirStrike) || !U->GetZone()) return;
  if (!WithinReach(Z, U->GetZone(), U->GetRange())) return;
  if (!Attackable(U->GetOwner(), Z)) return;
  Issue(M, ordAirStrike, Z->GetIndex(), U->ID);
}

void OrderUnitBomb(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordBomb);
  if (!U) return;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  if (!U->GetZone() || !WithinReach(Z, U->GetZone(), U->GetRange())) return;
  if (!Land(Z) || !Attackable(U->GetOwner(), Z)) return;
  Issue(M, ordBomb, Z->GetIndex(), U->ID);
}

void OrderUnitBombard(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordBombard);
  if (!U) return;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  if (!Land(Z) || !Attackable(U->GetOwner(), Z) || !U->GetZone()) return;
  if (DockPathCost(M, U, Z) >= 2000) return;
  Issue(M, ordBombard, Z->GetIndex(), U->ID);
}

void OrderUnitRebaseCarrier(TModule& M, const TArgList& A, TValue&) {
  TUnit* U = OwnUnitFor(M, A, ordRebase);
  if (!U) return;
  TUnit* Carrier = M.UnitArgument(A, 1);
  TBrenmoorZone* CZ = Carrier->GetZone();
  if (!CZ || !U->GetZone() || !WithinReach(CZ, U->GetZone(), U->GetRange())) return;
  const std::int32_t Room = Carrier->GetCarrierRoom();
  if (Room <= 0) return;
  if (!Carrier->GetOwner() || !Carrier->GetOwner()->IsAlliedWith(U->GetOwner())) return;
  if (TModule::BoolArg(A, 2)) {
    // As many planes as the carrier takes, the rest split off.
    Issue(M, ordRebaseDivide, U->GetZone()->GetIndex(), CZ->GetIndex(), Carrier->ID, IntToStr(U->ID) + "#");
  } else if (U->GetTotalCount() <= Room) {
    Issue(M, ordRebaseCarrier, CZ->GetIndex(), U->ID, Carrier->ID);
  }
}

void OrderUnitEmbarkAll(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnUnitArgument(A, 0)) return;
  TUnit* Transport = M.CurrentUnit;
  if (Transport->GetTransportRoom() < 1 || !Transport->GetZone()) return;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  M.CurrentZone = Z;
  TNation* Player = M.Player();
  std::string Text;
  for (int I = 0; I < Z->GetUnitCount(); ++I) {
    const TUnit* Unit = Z->GetUnit(I);
    if (Unit->GetOwner() && Unit->GetOwner()->IsAlliedWith(Player) && MayTake(Unit, ordEmbark))
      Text += IntToStr(Unit->ID) + "#";
  }
  if (Text.empty()) return;
  Issue(M, ordEmbarkDivide, Z->GetIndex(), Transport->GetZone()->GetIndex(), Transport->ID, Text);
}

void OrderUnitDisembarkAll(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnUnitArgument(A, 0)) return;
  TUnit* Transport = M.CurrentUnit;
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 1);
  if (!Land(Z) || !Transport->GetZone() || !Z->IsNeighbour(Transport->GetZone())) return;
  for (int I = 0; I < Transport->GetBoardedCount(); ++I) {
    const TUnit* Cargo = Transport->GetBoarded(I);
    if (Attackable(Cargo->GetOwner(), Z) || OwnerAlliedWith(Z, Cargo->GetOwner()))
      Issue(M, ordDisembark, Z->GetIndex(), Cargo->ID);
  }
}

// --- Zone and nation orders ---

void OrderRouteResources(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0)) return;
  TBrenmoorZone* Source = M.CurrentZone;
  TBrenmoorZone* Target = M.ValidZoneArgument(A, 1);
  if (Target == Source || !OwnerAlliedWith(Target, M.Player())) return;
  // Nothing or less than nothing routed would make resources.
  std::int64_t Amount = TModule::IntArg(A, 2);
  if (Amount <= 0) return;
  const double Available = static_cast<double>(Source->GetResources());
  if (static_cast<double>(Amount) > Available) Amount = static_cast<std::int64_t>(Available);
  if (Amount <= 0) return;
  Issue(M, ordRoute, Source->GetIndex(), Target->GetIndex(), static_cast<std::int32_t>(Amount));
}

void OrderAutoRouteResources(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0)) return;
  TBrenmoorZone* Source = M.CurrentZone;
  TBrenmoorZone* Target = M.ValidZoneArgument(A, 1);
  if (!OwnerAlliedWith(Target, M.Player())) return;
  Issue(M, ordAutoRoute, Source->GetIndex(), Target->GetIndex());
}

// The counts of a build order, arguments 1.. for the types of the kind in type order. False
// when a count is negative or beyond what a build queue holds.
bool ReadBuildCounts(const TArgList& A, TUnitKind Kind, std::array<std::int32_t, UnitTypeCount>& Counts) {
  Counts.fill(0);
  std::int32_t Arg = 1;
  for (int T = 0; T < UnitTypeCount; ++T) {
    if (UnitTypes[static_cast<std::size_t>(T)].Kind != Kind) continue;
    const std::int32_t N = TModule::IntArg(A, Arg++);
    if (N < 0 || N > std::numeric_limits<std::uint16_t>::max()) return false;
    Counts[static_cast<std::size_t>(T)] = N;
  }
  return true;
}

void BuildOrder(TModule& M, const TArgList& A, TUnitKind Kind) {
  if (!FlagSeven(M) || !M.OwnZoneArgument(A, 0)) return;
  TBrenmoorZone* Z = M.CurrentZone;
  std::array<std::int32_t, UnitTypeCount> Counts;
  if (!ReadBuildCounts(A, Kind, Counts)) return;
  TNation* Player = M.Player();
  if (Kind == ukArmy && Z->GetFactories() <= 0) return;
  if (Kind == ukNavy && Z->GetFactories() <= 0) {
    for (int T = 0; T < UnitTypeCount; ++T)
      if (T != utMerchantShip && Counts[static_cast<std::size_t>(T)] > 0) return;
  }
  if (Kind == ukAirForce) {
    if (!Researched(Player, 6)) Counts[utJetFighter] = 0;
    if (!Researched(Player, 3)) Counts[utAtomicBomber] = 0;
  }
  std::int64_t Cost = 0;
  std::string Text;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::int32_t N = Counts[static_cast<std::size_t>(T)];
    Cost += static_cast<std::int64_t>(N) * UnitTypes[static_cast<std::size_t>(T)].Resources;
    Text += IntToStr(N) + "#";
  }
  if (static_cast<double>(Cost) > static_cast<double>(Z->GetResources())) return;
  Issue(M, ordBuildUnit, Z->GetIndex(), static_cast<std::int32_t>(Kind), Text);
}

void OrderBuildArmy(TModule& M, const TArgList& A, TValue&) { BuildOrder(M, A, ukArmy); }
void OrderBuildAirForce(TModule& M, const TArgList& A, TValue&) { BuildOrder(M, A, ukAirForce); }
void OrderBuildNavy(TModule& M, const TArgList& A, TValue&) { BuildOrder(M, A, ukNavy); }

void OrderBuildFactory(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0) || !FlagSeven(M)) return;
  TBrenmoorZone* Z = M.CurrentZone;
  if (!ResourcesForWork(Z) || Z->GetFactories() >= Z->GetIndustry()) return;
  Issue(M, ordBuildFactory, Z->GetIndex());
}

void OrderBuildBorderDefense(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0) || !FlagSeven(M)) return;
  TBrenmoorZone* Z = M.CurrentZone;
  if (!ResourcesForWork(Z)) return;
  TBrenmoorZone* Neighbour = M.ValidZoneArgument(A, 1);
  if (!Z->IsNeighbour(Neighbour) || Z->GetBorderDefense(Neighbour) >= 4) return;
  Issue(M, ordBuildBorder, Z->GetIndex(), Neighbour->GetIndex());
}

void OrderTargetRocket(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0)) return;
  TBrenmoorZone* Site = M.CurrentZone;
  if (!Site->GetRocketSite()) return;
  TBrenmoorZone* Target = M.ValidZoneArgument(A, 1);
  if (!Land(Target)) return;
  if (Target != Site && !Attackable(Site->GetOwner(), Target)) return;
  if (Site->GetTrueDistance(Target) >= 6) return;
  // The rules read the target first, then the site.
  Issue(M, ordTargetRockets, Target->GetIndex(), Site->GetIndex());
}

void OrderBuildRocket(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0) || !FlagSeven(M)) return;
  TBrenmoorZone* Z = M.CurrentZone;
  if (!Researched(M.Player(), 7) || Z->GetRocketSite() || !ResourcesForWork(Z)) return;
  Issue(M, ordBuildRocket, Z->GetIndex());
}

void OrderBuildAirfield(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0)) return;
  TBrenmoorZone* Z = M.CurrentZone;
  if (Z->IsAirfield() || !FlagSeven(M) || !ResourcesForWork(Z)) return;
  Issue(M, ordBuildAirfield, Z->GetIndex());
}

void OrderBuildPort(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0)) return;
  TBrenmoorZone* Z = M.CurrentZone;
  if (Z->IsPort() || !Z->IsCoastal() || !FlagSeven(M) || !ResourcesForWork(Z)) return;
  Issue(M, ordBuildPort, Z->GetIndex());
}

void OrderZoneConsolidate(TModule& M, const TArgList& A, TValue&) {
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 0);
  M.CurrentZone = Z;
  if (Z->GetEmbattled()) return;
  TNation* Player = M.Player();
  for (TUnitKind Kind : {ukArmy, ukNavy, ukAirForce}) {
    if (Kind == ukArmy && !Land(Z)) continue;
    std::string List;
    for (int I = 0; I < Z->GetUnitCount(); ++I) {
      const TUnit* U = Z->GetUnit(I);
      if (U->GetKind() != Kind || U->GetOwner() != Player || U->GetBaseUnit() || U->GetBasedCount() > 0 ||
          U->GetBoardedCount() > 0 || U->GetSubmerged())
        continue;
      List += IntToStr(U->ID) + "#";
    }
    if (!List.empty()) Issue(M, ordMerge, Z->GetIndex(), List);
  }
}

void OrderGlobalRouteResources(TModule& M, const TArgList& A, TValue&) {
  if (!M.OwnZoneArgument(A, 0)) return;
  Issue(M, ordGlobalRoute, M.CurrentZone->GetIndex(), TModule::IntArg(A, 1));
}

void OrderGlobalClearResources(TModule& M, const TArgList&, TValue&) {
  Issue(M, ordGlobalClear, M.Player()->GetIndex());
}

void OrderChangeFormations(TModule& M, const TArgList& A, TValue&) {
  // Arguments 0..6: Artillery..Bomber; 7: Merchant Ship; 8..14: Transport..Jet Fighter. The
  // Atomic Bomber takes the Bomber's value in the rules; 200 stands for "not given".
  constexpr int NotGiven = -1;
  std::array<std::int32_t, UnitTypeCount> Arg{};
  Arg.fill(NotGiven);
  for (int T = utArtillery; T <= utBomber; ++T) Arg[static_cast<std::size_t>(T)] = T - 1;
  Arg[utMerchantShip] = 7;
  for (int T = utTransport; T <= utJetFighter; ++T) Arg[static_cast<std::size_t>(T)] = T - 1;
  std::string Text;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::int32_t I = Arg[static_cast<std::size_t>(T)];
    const std::int32_t V = I == NotGiven ? 200 : TModule::IntArg(A, I);
    Text += V == 200 ? std::string("-#") : IntToStr(V) + "#";
  }
  Issue(M, ordFormations, M.Player()->GetIndex(), Text);
}

void OrderDiplomatic(TModule& M, const TArgList& A, TValue&) {
  TNation* Player = M.Player();
  if (Player->GetDiplomaticActions() == 0) return;
  // The host's lists take only a nation of the game other than the player, and an action of
  // the rules.
  const std::int32_t Target = TModule::IntArg(A, 0);
  const std::int32_t Action = TModule::IntArg(A, 1);
  if (Target < 0 || Target >= M.Engine().GetNationCount() || Target == Player->GetIndex()) return;
  if (!IsDiplomaticAction(Action)) return;
  Issue(M, ordDiplomatic, Player->GetIndex(), Target, Action);
}

std::string ResearchText(const TNation* Player, std::int32_t Total, std::int32_t Group, std::int32_t Level) {
  std::string Text = IntToStr(Total) + "#";
  for (int G = 0; G < ResearchGroupCount; ++G)
    Text += IntToStr(G == Group ? Level : static_cast<std::int32_t>(Player->GetResearchSpending(G))) + "#";
  return Text;
}

void OrderChangeResearchSpending(TModule& M, const TArgList& A, TValue&) {
  TNation* Player = M.Player();
  Issue(M, ordResearch, Player->GetIndex(), ResearchText(Player, std::clamp(TModule::IntArg(A, 0), 0, 100), -1, 0));
}

void OrderChangeResearchLevel(TModule& M, const TArgList& A, TValue&) {
  TNation* Player = M.Player();
  Issue(M, ordResearch, Player->GetIndex(),
        ResearchText(Player, Player->GetResearchSpendingTotal(), TModule::IntArg(A, 0), std::clamp(TModule::IntArg(A, 1), 0, 10)));
}

// --- Other functions ---

void ClearPatrolZones(TModule& M, const TArgList& A, TValue&) {
  TBrenmoorZone* Start = M.ValidZoneArgument(A, 0);
  M.PatrolZones.clear();
  M.PatrolStart = Start->GetIndex();
}

void AddPatrolZone(TModule& M, const TArgList& A, TValue&) {
  TBrenmoorZone* Z = M.ValidZoneArgument(A, 0);
  const std::int32_t Last = M.PatrolZones.empty() ? M.PatrolStart : M.PatrolZones.back();
  // A route of another game's map may name zones this one lacks: it connects to nothing.
  if (Last < 0 || Last >= M.Engine().GetZoneCount()) return;
  if (M.Engine().GetZone(Last)->IsNeighbour(Z)) M.PatrolZones.push_back(Z->GetIndex());
}

void FindClosestEnemyZone(TModule& M, const TArgList& A, TValue& Result) {
  Result = TValue(std::int32_t{-1});
  TBrenmoorZone* Start = M.ZoneArgument(A, 0);
  M.CurrentZone = Start;
  if (!Start) return;
  TBrenmoorEngine& E = M.Engine();
  TNation* Player = M.Player();
  if (E.GetZoneCount() != M.ZoneCountCache) {
    M.ZoneCountCache = E.GetZoneCount();
    M.Bits.SetCapacity(M.ZoneCountCache);
  }
  M.Bits.SetAll(false);
  std::int32_t Rings = TModule::IntArg(A, 1);
  const bool Sea = Start->GetSea() != 0;
  M.NextRing.clear();
  M.SearchRing.assign({Start});
  // A ring with nothing left to search ends the search whatever rings remain.
  while (Rings > 0 && !M.SearchRing.empty()) {
    for (TBrenmoorZone* Z : M.SearchRing) {
      if (M.Bits.GetBit(Z->GetIndex())) continue;
      M.Bits.SetBit(Z->GetIndex(), true);
      for (int I = 0; I < Z->NeighbourCount(); ++I) {
        auto* N = static_cast<TBrenmoorZone*>(Z->GetNeighbour(I));
        if ((N->GetSea() != 0) == Sea) M.NextRing.push_back(N);
        if (Land(N) && Player->CanAttackZone(N)) {
          Result = TValue(N->GetIndex());
          M.SearchRing.clear();
          M.NextRing.clear();
          return;
        }
      }
    }
    M.SearchRing.swap(M.NextRing);
    M.NextRing.clear();
    --Rings;
  }
}

void GetBrainData(TModule& M, const TArgList& A, TValue& Result) {
  Result = TValue(M.Player()->GetBrainData(TModule::StringArg(A, 0)));
}

void SetBrainData(TModule& M, const TArgList& A, TValue&) {
  M.Player()->SetBrainData(TModule::StringArg(A, 0), TModule::StringArg(A, 1));
}

void Random(TModule& M, const TArgList& A, TValue& Result) {
  M.Brain();
  const std::int64_t Low = TModule::IntArg(A, 0);
  const std::int64_t Span = std::clamp<std::int64_t>(std::int64_t{TModule::IntArg(A, 1)} - Low, 0, std::numeric_limits<std::int32_t>::max());
  const std::int64_t V = Low + M.GetRandom().Random(static_cast<std::int32_t>(Span));
  Result = TValue(static_cast<std::int32_t>(V));
}

void Version(TModule& M, const TArgList& A, TValue&) {
  M.Brain();
  const double V = A.Value(0).AsFloat();
  if (V > 4.0)
    throw ERTE("This Script file was created for version " + FloatToStr(static_cast<long double>(V)) +
               " of Brenmoor, and you have version 4.  Please upgrade Brenmoor before attempting to use this Script.");
}

void Print(TModule& M, const TArgList& A, TValue&) {
  const std::string Line =
      IntToStr(M.Brain().GetPlayerIndex()) + ":" + IntToStr(M.GetCurrentImpulse()) + ":" + TModule::StringArg(A, 0);
  if (TScriptChatSink* Sink = M.GetChatSink()) Sink->Print(Line);
}

void OrderChat(TModule& M, const TArgList& A, TValue&) {
  const TNation* Player = M.Player();
  // A chat line is one line of the lobby protocol: a line break would end it early.
  std::string Text = TModule::StringArg(A, 0);
  std::erase_if(Text, [](char C) { return C == '\r' || C == '\n'; });
  const std::int32_t Channel = TModule::IntArg(A, 1);
  TScriptChatSink* Sink = M.GetChatSink();
  if (!Sink) return;
  Sink->SendGameChat("GAMECHAT|" + Player->GetName() + ";" + IntToStr(Channel) + ";" + Text);
  Sink->ShowChat(Channel, Player->GetName() + "> " + Text);
}

using THandler = void (*)(TModule& M, const TArgList& Args, TValue& Result);

struct TEntry {
  const char* Declaration;
  THandler Handler;
};

constexpr TEntry OrderFunctionTable[] = {
    {"OrderUnitClear( mult )", OrderUnitClear},
    {"OrderUnitMove( mult, mult )", OrderUnitMove},
    {"OrderUnitLaunch( mult )", OrderUnitLaunch},
    {"OrderUnitRetreat( mult )", OrderUnitRetreat},
    {"OrderUnitMerge( mult, mult )", OrderUnitMerge},
    {"OrderUnitDock( mult, mult )", OrderUnitDock},
    {"OrderUnitDividePct( mult, mult )", OrderUnitDividePct},
    {"OrderUnitEmbark( mult, mult )", OrderUnitEmbark},
    {"OrderUnitDisembark( mult, mult )", OrderUnitDisembark},
    {"OrderUnitIntercept( mult, mult )", OrderUnitIntercept},
    {"OrderUnitInvade( mult, mult )", OrderUnitInvade},
    {"OrderUnitPatrol( mult )", OrderUnitPatrol},
    {"OrderUnitRebase( mult, mult )", OrderUnitRebase},
    {"OrderUnitAirStrike( mult, mult )", OrderUnitAirStrike},
    {"OrderUnitReturnToBase( mult )", OrderUnitReturnToBase},
    {"OrderUnitRecon( mult )", OrderUnitRecon},
    {"OrderUnitBomb( mult, mult )", OrderUnitBomb},
    {"OrderUnitBombard( mult, mult )", OrderUnitBombard},
    {"OrderUnitRebaseCarrier( mult, mult, boolean )", OrderUnitRebaseCarrier},
    {"OrderUnitSurface( mult )", OrderUnitSurface},
    {"OrderUnitSubmerge( mult )", OrderUnitSubmerge},
    {"OrderUnitEmbarkAll( mult, mult )", OrderUnitEmbarkAll},
    {"OrderUnitDisembarkAll( mult, mult )", OrderUnitDisembarkAll},
    {"OrderRouteResources( mult, mult, mult )", OrderRouteResources},
    {"OrderAutoRouteResources( mult, mult )", OrderAutoRouteResources},
    {"OrderBuildArmy( mult, mult, mult, mult, mult )", OrderBuildArmy},
    {"OrderBuildAirForce( mult, mult, mult, mult, mult, mult )", OrderBuildAirForce},
    {"OrderBuildNavy( mult, mult, mult, mult, mult, mult, mult, mult )", OrderBuildNavy},
    {"OrderBuildFactory( mult )", OrderBuildFactory},
    {"OrderBuildBorderDefense( mult, mult )", OrderBuildBorderDefense},
    {"OrderTargetRocket( mult, mult )", OrderTargetRocket},
    {"OrderBuildRocket( mult )", OrderBuildRocket},
    {"OrderBuildAirfield( mult )", OrderBuildAirfield},
    {"OrderBuildPort( mult )", OrderBuildPort},
    {"OrderZoneConsolidate( mult )", OrderZoneConsolidate},
    {"OrderGlobalRouteResources( mult, mult )", OrderGlobalRouteResources},
    {"OrderGlobalClearResources( mult )", OrderGlobalClearResources},
    {"OrderChangeFormations( mult, mult, mult, mult, integer, mult, mult, mult, mult, mult, mult, mult, mult, mult, mult )",
     OrderChangeFormations},
    {"OrderDiplomatic( mult, mult )", OrderDiplomatic},
    {"OrderChangeResearchSpending( mult )", OrderChangeResearchSpending},
    {"OrderChangeResearchLevel( mult, mult )", OrderChangeResearchLevel},
    {"ClearPatrolZones( mult )", ClearPatrolZones},
    {"AddPatrolZone( mult )", AddPatrolZone},
    {"FindClosestEnemyZone( mult, mult ): integer", FindClosestEnemyZone},
    {"GetBrainData( string ): string", GetBrainData},
    {"SetBrainData( string, string )", SetBrainData},
    {"Random( mult, mult ): integer", Random},
    {"Version( mult )", Version},
    {"Print( string )", Print},
    {"OrderChat( string, mult )", OrderChat},
};

}  // namespace

void TdmScript::RegisterOrderFunctions() {
  for (const TEntry& E : OrderFunctionTable) {
    const THandler Handler = E.Handler;
    AddGameFunction(E.Declaration, [this, Handler](TFunc*, const TArgList& Args, TValue& Result) { Handler(*this, Args, Result); });
  }
}
