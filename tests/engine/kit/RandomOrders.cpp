#include "engine/UnitRules.h"
#include "engine/kit/RandomOrders.h"

#include <algorithm>

namespace kit {

namespace {

std::string F(std::int64_t V) { return std::to_string(V) + ";"; }
std::string F(const std::string& V) { return V + ";"; }
std::string Z(const TBrenmoorZone* Zone) { return F(Zone ? Zone->GetIndex() : -1); }
std::string U(const TUnit* Unit) { return F(Unit ? Unit->ID : -1); }
TBrenmoorZone* Game(TZone* Zone) { return static_cast<TBrenmoorZone*>(Zone); }

bool IsUnitOrder(TOrderType Code) {
  switch (Code) {
    case ordNone: case ordMove: case ordLaunch: case ordRetreat: case ordMerge: case ordDock: case ordDivide:
    case ordEmbark: case ordDisembark: case ordIntercept: case ordInvade: case ordPatrol: case ordRebase:
    case ordAirStrike: case ordReturnToBase: case ordRecon: case ordBomb: case ordBombard: case ordRebaseCarrier:
    case ordSurface: case ordSubmerge: case ordEmbarkDivide: case ordRebaseDivide: case ordKamakaze:
    case ordRenameUnit: case ordAtomicBomb: case ordBaseHere:
      return true;
    default:
      return false;
  }
}

bool IsNationOrder(TOrderType Code) {
  return Code == ordFormations || Code == ordDiplomatic || Code == ordDeclareWar || Code == ordResearch ||
         Code == ordGlobalClear || Code == ordSurrender;
}

// Whether the unit may take the order as the order entry offers it: the unit's own set, and
// the orders that the entry builds from another (a rebase onto a carrier, the loading lists,
// a merge, a rename).
bool MayTake(const TUnit* Unit, TOrderType Code) {
  const TOrderSet Set = Unit->CanTakeOrder();
  switch (Code) {
    case ordRenameUnit: return true;
    case ordMerge: return Set.Contains(ordDivide) || Unit->GetKind() == ukAirForce;
    case ordRebaseCarrier: return Set.Contains(ordRebase) && Unit->IsCarrierCapable();
    case ordEmbarkDivide: return Unit->GetKind() == ukNavy && Unit->GetCount(utTransport) > 0 && Unit->GetZone()->GetSea() != 0;
    case ordRebaseDivide: return Unit->GetKind() == ukNavy && Unit->GetCount(utCarrier) > 0 && Unit->GetZone()->GetSea() != 0;
    default: return Set.Contains(Code);
  }
}

}  // namespace

TRandomOrders::TRandomOrders(std::uint64_t Seed) : FPick(Seed) {
  Weights.fill(4);
  // Orders that change much at once or end a game come seldom; the skipped codes now and then.
  for (TOrderType Code : {ordDeclareWar, ordGlobalClear, ordFormations}) Weights[Code] = 1;
  for (TOrderType Code : {ordAtomicBomb, ordBaseHere}) Weights[Code] = 1;
  Weights[ordSurrender] = 0;
  for (TOrderType Code : {ordMove, ordInvade, ordBuildUnit, ordAirStrike, ordBomb, ordPatrol}) Weights[Code] = 8;
  // Orders that few units can take: asked more often, so that the state now and then offers one.
  for (TOrderType Code : {ordRebaseDivide, ordRebaseCarrier, ordEmbarkDivide, ordKamakaze}) Weights[Code] = 8;
}

std::string TRandomOrders::SenderFor(const TNation* Nation) const {
  const std::string Host = Users.empty() ? std::string("Host") : Users.front();
  if (!Nation || Nation->GetComputerPlayer() || Nation->GetPlayerName().empty()) return Host;
  return Nation->GetPlayerName();
}

std::vector<TNation*> TRandomOrders::Players(TBrenmoorEngine& E) const {
  std::vector<TNation*> Out;
  for (int I = 0; I < E.GetNationCount(); ++I)
    if (TNation* N = E.GetNation(I); N->GetAlive()) Out.push_back(N);
  return Out;
}

TUnit* TRandomOrders::AnyUnit(TBrenmoorEngine& E, TOrderType Code) {
  const int Count = E.GetUnitCount();
  if (Count == 0) return nullptr;
  // A few looks at random, then one pass from a random start: the order is seldom missed
  // when some unit may take it, and the stream stays cheap on large worlds.
  for (int Try = 0; Try < 12; ++Try) {
    TUnit* Unit = E.GetUnit(R(Count));
    if (Unit->GetOwner() && Unit->GetZone() && MayTake(Unit, Code)) return Unit;
  }
  if (Count > 400) return nullptr;
  const int Start = R(Count);
  for (int I = 0; I < Count; ++I) {
    TUnit* Unit = E.GetUnit((Start + I) % Count);
    if (Unit->GetOwner() && Unit->GetZone() && MayTake(Unit, Code)) return Unit;
  }
  return nullptr;
}

TBrenmoorZone* TRandomOrders::AnyOwnZone(TBrenmoorEngine& E, bool LandOnly) {
  const int Count = E.GetZoneCount();
  for (int Try = 0; Try < 20 && Count > 0; ++Try) {
    TBrenmoorZone* Zone = E.GetZone(R(Count));
    const TNation* Owner = Zone->GetOwner();
    if (!Owner || !Owner->GetAlive()) continue;
    if (LandOnly && Zone->GetSea() != 0) continue;
    return Zone;
  }
  return nullptr;
}

// A neighbour of the zone: Sea 1 a sea zone, 0 a land zone, -1 either.
TBrenmoorZone* TRandomOrders::Neighbour(TBrenmoorZone* Zone, int Sea) {
  if (!Zone) return nullptr;
  std::vector<TBrenmoorZone*> Near;
  for (TZone* N : Zone->GetNeighbours())
    if (Sea < 0 || (N->GetSea() != 0) == (Sea == 1)) Near.push_back(Game(N));
  return Any(Near);
}

// Zones from Start on, each the neighbour of the one before (Sea as for Neighbour).
std::string TRandomOrders::ZoneWalk(TBrenmoorZone* Start, int Sea) {
  std::string List = std::to_string(Start->GetIndex()) + "#";
  TBrenmoorZone* At = Start;
  const int More = R(3) + 1;
  for (int I = 0; I < More; ++I) {
    TBrenmoorZone* Next = Neighbour(At, Sea);
    if (!Next) Next = Start;
    List += std::to_string(Next->GetIndex()) + "#";
    At = Next;
  }
  return List;
}

std::string TRandomOrders::UnitOrder(TBrenmoorEngine& E, TOrderType Code, TUnit*& Unit) {
  Unit = AnyUnit(E, Code);
  if (!Unit) return {};
  TBrenmoorZone* Here = Unit->GetZone();
  TNation* Owner = Unit->GetOwner();
  const std::string C = F(static_cast<int>(Code));
  const auto Near = [&](int Sea) { return Neighbour(Here, Sea); };
  switch (Code) {
    case ordNone: case ordLaunch: case ordRetreat: case ordReturnToBase: case ordSurface: case ordSubmerge:
    case ordKamakaze:
      return C + U(Unit);
    case ordAtomicBomb: case ordBaseHere:
      return C;
    case ordMove: case ordInvade: {
      TBrenmoorZone* To = Near(Unit->GetKind() == ukNavy ? 1 : 0);
      return To ? C + Z(To) + U(Unit) : std::string();
    }
    case ordDock: {
      std::vector<TBrenmoorZone*> Ports;
      for (TZone* N : Here->GetNeighbours())
        if (N->GetSea() == 0 && Game(N)->IsAlliedTo(Owner)) Ports.push_back(Game(N));
      TBrenmoorZone* To = Any(Ports);
      return To ? C + Z(To) + U(Unit) : std::string();
    }
    case ordDisembark: {
      TBrenmoorZone* To = Near(0);
      return To ? C + Z(To) + U(Unit) : std::string();
    }
    case ordBombard: {
      TBrenmoorZone* To = Near(0);
      return To ? C + Z(To) + U(Unit) : std::string();
    }
    case ordAirStrike: case ordBomb: {
      std::vector<TBrenmoorZone*> Targets;
      for (TZone* N : Here->GetNeighbours())
        if (!Game(N)->IsAlliedTo(Owner)) Targets.push_back(Game(N));
      TBrenmoorZone* To = Any(Targets);
      if (!To) To = Near(-1);
      return To ? C + Z(To) + U(Unit) : std::string();
    }
    case ordRebase: {
      std::vector<TBrenmoorZone*> Homes;
      if (Here->GetSea() == 0 && Here->IsAlliedTo(Owner)) Homes.push_back(Here);
      for (TZone* N : Here->GetNeighbours())
        if (N->GetSea() == 0 && Game(N)->IsAlliedTo(Owner)) Homes.push_back(Game(N));
      TBrenmoorZone* To = Any(Homes);
      return To ? C + Z(To) + U(Unit) : std::string();
    }
    case ordEmbark: {
      std::vector<TUnit*> Ships;
      for (TZone* N : Here->GetNeighbours())
        for (int I = 0; I < Game(N)->GetUnitCount(); ++I) {
          TUnit* Ship = Game(N)->GetUnit(I);
          if (Ship->GetOwner() == Owner && Ship->GetKind() == ukNavy && Ship->GetTransportRoom() >= Unit->GetTransportWeight())
            Ships.push_back(Ship);
        }
      TUnit* Ship = Any(Ships);
      return Ship ? C + Z(Ship->GetZone()) + U(Unit) + U(Ship) : std::string();
    }
    case ordIntercept: {
      std::vector<TUnit*> Targets;
      for (TZone* N : Here->GetNeighbours())
        for (int I = 0; I < Game(N)->GetUnitCount(); ++I)
          if (TUnit* T = Game(N)->GetUnit(I); T->GetKind() == ukNavy && T->GetOwner() != Owner) Targets.push_back(T);
      for (int I = 0; I < Here->GetUnitCount(); ++I)
        if (TUnit* T = Here->GetUnit(I); T->GetKind() == ukNavy && T->GetOwner() != Owner) Targets.push_back(T);
      TUnit* Target = Any(Targets);
      return Target ? C + U(Unit) + U(Target) : std::string();
    }
    case ordPatrol: return C + U(Unit) + F(ZoneWalk(Here, 1));
    case ordRecon: return C + U(Unit) + F(ZoneWalk(Here, -1));
    case ordRebaseCarrier: {
      std::vector<TUnit*> Carriers;
      const auto Look = [&](TBrenmoorZone* Zone) {
        for (int I = 0; I < Zone->GetUnitCount(); ++I)
          if (TUnit* S = Zone->GetUnit(I); S->GetOwner() == Owner && S->GetCarrierRoom() >= Unit->GetTotalCount()) Carriers.push_back(S);
      };
      Look(Here);
      for (TZone* N : Here->GetNeighbours()) Look(Game(N));
      TUnit* Carrier = Any(Carriers);
      return Carrier ? C + Z(Carrier->GetZone()) + U(Unit) + U(Carrier) : std::string();
    }
    case ordDivide: {
      // Some of each type, not all of every type and not nothing.
      std::array<int, UnitTypeCount> Part{};
      int Taken = 0, Left = 0;
      for (int T = 0; T < UnitTypeCount; ++T) {
        Part[static_cast<std::size_t>(T)] = R(Unit->GetCount(T) + 1);
        Taken += Part[static_cast<std::size_t>(T)];
        Left += Unit->GetCount(T) - Part[static_cast<std::size_t>(T)];
      }
      if (Taken == 0 || Left == 0) return {};
      std::string List;
      for (int V : Part) List += std::to_string(V) + "#";
      return C + U(Unit) + List + ";";
    }
    case ordMerge: {
      std::vector<TUnit*> Mates;
      for (int I = 0; I < Here->GetUnitCount(); ++I)
        if (TUnit* M = Here->GetUnit(I); M != Unit && M->GetOwner() == Owner && M->GetKind() == Unit->GetKind()) Mates.push_back(M);
      if (Mates.empty()) return {};
      std::vector<TUnit*> Merged{Unit};
      const int More = std::min<int>(static_cast<int>(Mates.size()), R(2) + 1);
      for (int I = 0; I < More; ++I) Merged.push_back(Mates[static_cast<std::size_t>(I)]);
      if (!E.UnitRules().CanMergeUnits(Merged)) return {};
      std::string List;
      for (const TUnit* M : Merged) List += std::to_string(M->ID) + "#";
      return C + Z(Here) + List + ";";
    }
    case ordEmbarkDivide: case ordRebaseDivide: {
      // The transport loads armies from the coast around it; the carrier takes planes from
      // its own zone and those around.
      std::vector<TUnit*> Cargo;
      const auto Look = [&](TBrenmoorZone* Zone) {
        for (int I = 0; I < Zone->GetUnitCount(); ++I) {
          TUnit* M = Zone->GetUnit(I);
          if (M->GetOwner() != Owner || M->GetTransport() || M->GetBaseUnit() == Unit) continue;
          if (M->GetKind() == (Code == ordEmbarkDivide ? ukArmy : ukAirForce) &&
              M->CanTakeOrder().Contains(Code == ordEmbarkDivide ? ordEmbark : ordRebase))
            Cargo.push_back(M);
        }
      };
      if (Code == ordRebaseDivide) Look(Here);
      for (TZone* N : Here->GetNeighbours()) Look(Game(N));
      if (Cargo.empty()) return {};
      std::string List;
      const int Count = std::min<int>(static_cast<int>(Cargo.size()), R(3) + 1);
      for (int I = 0; I < Count; ++I) List += std::to_string(Cargo[static_cast<std::size_t>(I)]->ID) + "#";
      return C + Z(Cargo.front()->GetZone()) + Z(Here) + U(Unit) + List + ";";
    }
    case ordRenameUnit: {
      static const char* const Names[] = {"Iron Guard", "Sea Wolves", "1st Lancers", "Night Owls", "Old Faithful"};
      return C + U(Unit) + F(std::string(Names[R(5)]) + " " + std::to_string(R(100)));
    }
    default:
      return {};
  }
}

std::string TRandomOrders::ZoneOrder(TBrenmoorEngine& E, TOrderType Code, TNation*& Owner) {
  TBrenmoorZone* Zone = AnyOwnZone(E, true);
  if (!Zone) return {};
  Owner = Zone->GetOwner();
  const std::string C = F(static_cast<int>(Code));
  const auto OwnOther = [&]() -> TBrenmoorZone* {
    std::vector<TBrenmoorZone*> Own;
    for (int I = 0; I < E.GetZoneCount(); ++I)
      if (TBrenmoorZone* O = E.GetZone(I); O != Zone && O->GetOwner() == Owner) Own.push_back(O);
    return Any(Own);
  };
  switch (Code) {
    case ordRoute: {
      TBrenmoorZone* To = OwnOther();
      const int Have = static_cast<int>(Zone->GetResources());
      if (!To || Have < 1) return {};
      return C + Z(Zone) + Z(To) + F(R(Have) + 1);
    }
    case ordAutoRoute: {
      TBrenmoorZone* To = Chance(30) ? Zone : OwnOther();
      return To ? C + Z(Zone) + Z(To) : std::string();
    }
    case ordBuildUnit: {
      if (Zone->GetBuilding()) return {};
      const int Kind = R(3);
      std::vector<int> Types;
      for (int T = 0; T < UnitTypeCount; ++T)
        if (UnitTypes[static_cast<std::size_t>(T)].Kind == Kind) Types.push_back(T);
      std::array<int, UnitTypeCount> Counts{};
      const int Kinds = R(2) + 1;
      for (int I = 0; I < Kinds; ++I) Counts[static_cast<std::size_t>(Types[static_cast<std::size_t>(R(static_cast<int>(Types.size())))])] += R(3) + 1;
      std::string List;
      for (int V : Counts) List += std::to_string(V) + "#";
      return C + Z(Zone) + F(Kind) + F(List);
    }
    case ordBuildFactory:
      return !Zone->GetBuilding() && Zone->GetFactories() < Zone->GetIndustry() ? C + Z(Zone) : std::string();
    case ordBuildBorder: {
      TBrenmoorZone* To = Neighbour(Zone, 0);
      return To && !Zone->GetBuilding() && Zone->GetBorderDefense(To) < 4 ? C + Z(Zone) + Z(To) : std::string();
    }
    case ordTargetRockets: {
      std::vector<TBrenmoorZone*> Sites, Targets;
      for (int I = 0; I < E.GetZoneCount(); ++I) {
        TBrenmoorZone* S = E.GetZone(I);
        if (S->GetRocketSite() && S->GetOwner()) Sites.push_back(S);
      }
      TBrenmoorZone* Site = Any(Sites);
      if (!Site) return {};
      Owner = Site->GetOwner();
      for (int I = 0; I < E.GetZoneCount(); ++I)
        if (TBrenmoorZone* T = E.GetZone(I); T->GetSea() == 0 && T->GetOwner() && !T->IsAlliedTo(Owner)) Targets.push_back(T);
      TBrenmoorZone* Target = Chance(10) ? Site : Any(Targets);
      return Target ? C + Z(Target) + Z(Site) : std::string();
    }
    case ordBuildRocket:
      return !Zone->GetBuilding() && !Zone->GetRocketSite() ? C + Z(Zone) : std::string();
    case ordBuildAirfield:
      return !Zone->GetBuilding() && !Zone->IsAirfield() ? C + Z(Zone) : std::string();
    case ordBuildPort:
      return !Zone->GetBuilding() && !Zone->IsPort() && Neighbour(Zone, 1) ? C + Z(Zone) : std::string();
    case ordGlobalRoute:
      return C + Z(Zone) + F(R(4) + 1);
    case ordPortZone: {
      TBrenmoorZone* Sea = Neighbour(Zone, 1);
      return Sea ? C + Z(Zone) + Z(Sea) : std::string();
    }
    default:
      return {};
  }
}

std::string TRandomOrders::NationOrder(TBrenmoorEngine& E, TOrderType Code, TNation*& Owner) {
  Owner = Any(Players(E));
  if (!Owner) return {};
  const std::string C = F(static_cast<int>(Code));
  std::vector<TNation*> Others;
  for (int I = 0; I < E.GetNationCount(); ++I)
    if (TNation* N = E.GetNation(I); N != Owner && N->GetAlive()) Others.push_back(N);
  TNation* Other = Any(Others);
  switch (Code) {
    case ordFormations: {
      std::string List;
      // The weights the formations window offers: 10 to 100 in steps of 5.
      for (int T = 0; T < UnitTypeCount; ++T) List += (Chance(60) ? std::string("-") : std::to_string((R(19) + 2) * 5)) + "#";
      return C + F(Owner->GetIndex()) + F(List);
    }
    case ordDiplomatic:
      if (!Other || Owner->GetDiplomaticActions() == 0) return {};
      return C + F(Owner->GetIndex()) + F(Other->GetIndex()) + F(R(8));
    case ordDeclareWar:
      if (!Other || Owner->IsAlliedWith(Other)) return {};
      return C + F(Owner->GetIndex()) + F(Other->GetIndex());
    case ordResearch: {
      std::string List = std::to_string(R(60) + 10) + "#";
      for (int G = 0; G < ResearchGroupCount; ++G) List += std::to_string(Chance(30) ? 0 : R(10) + 1) + "#";
      return C + F(Owner->GetIndex()) + F(List);
    }
    case ordGlobalClear:
      return C + F(Owner->GetIndex());
    default:
      return {};
  }
}

TGeneratedOrder TRandomOrders::Valid(TBrenmoorEngine& E, TOrderType Code) {
  TGeneratedOrder Out;
  Out.Code = Code;
  if (Code == ordSurrender) return Out;
  if (IsUnitOrder(Code)) {
    TUnit* Unit = nullptr;
    Out.Record = UnitOrder(E, Code, Unit);
    Out.Sender = SenderFor(Unit ? Unit->GetOwner() : nullptr);
  } else {
    TNation* Owner = nullptr;
    Out.Record = IsNationOrder(Code) ? NationOrder(E, Code, Owner) : ZoneOrder(E, Code, Owner);
    Out.Sender = SenderFor(Owner);
  }
  if (!Out.Record.empty()) ++FWritten[Code];
  return Out;
}

TGeneratedOrder TRandomOrders::Surrender(const TNation* Nation) const {
  TGeneratedOrder Out;
  Out.Code = ordSurrender;
  Out.Sender = SenderFor(Nation);
  Out.Record = F(static_cast<int>(ordSurrender)) + F(Out.Sender);
  return Out;
}

TGeneratedOrder TRandomOrders::Hostile(TBrenmoorEngine& E) {
  TGeneratedOrder Out;
  Out.Hostile = true;
  const std::string Host = Users.empty() ? std::string("Host") : Users.front();
  const auto Someone = [&]() -> std::string { return Users.empty() ? Host : Users[static_cast<std::size_t>(R(static_cast<int>(Users.size())))]; };
  // Another user than the one who may send it (the host when there is nobody else).
  const auto Intruder = [&](const std::string& Rightful) {
    for (int Try = 0; Try < 8; ++Try)
      if (std::string S = Someone(); S != Rightful) return S;
    return std::string("Stranger");
  };
  const int Zones = E.GetZoneCount();
  const int Nations = E.GetNationCount();
  TUnit* Unit = E.GetUnitCount() > 0 ? E.GetUnit(R(E.GetUnitCount())) : nullptr;
  const std::string Rightful = SenderFor(Unit ? Unit->GetOwner() : nullptr);
  switch (R(12)) {
    case 0: {
      // A valid record of some unit, sent by somebody who does not play its owner.
      static const TOrderType Codes[] = {ordMove, ordInvade, ordDivide, ordRenameUnit, ordPatrol, ordAirStrike, ordNone};
      TGeneratedOrder V = Valid(E, Codes[R(7)]);
      if (!V.Record.empty()) --FWritten[V.Code];
      Out.Record = V.Record.empty() ? F(ordMove) + F(0) + U(Unit) : V.Record;
      Out.Code = V.Code;
      Out.Sender = Intruder(V.Sender.empty() ? Rightful : V.Sender);
      return Out;
    }
    case 1: {
      // Zone, nation and unit numbers outside their lists.
      const std::int64_t Bad[] = {-1, -2, Zones, Zones + 7, 2147483647LL, -2147483647LL, 99999999999LL};
      const std::int64_t B = Bad[R(7)];
      const std::int64_t BN[] = {-1, Nations, Nations + 3, 255};
      switch (R(8)) {
        case 0: Out.Record = F(ordMove) + F(B) + U(Unit); Out.Code = ordMove; break;
        case 1: Out.Record = F(ordBuildFactory) + F(B); Out.Code = ordBuildFactory; break;
        case 2: Out.Record = F(ordRoute) + F(B) + F(0) + F(5); Out.Code = ordRoute; break;
        case 3: Out.Record = F(ordResearch) + F(BN[R(4)]) + F("20#1#1#1#1#1#1#1#1#"); Out.Code = ordResearch; break;
        case 4: Out.Record = F(ordDiplomatic) + F(0) + F(BN[R(4)]) + F(2); Out.Code = ordDiplomatic; break;
        case 5: Out.Record = F(ordPatrol) + U(Unit) + F("0#" + std::to_string(B) + "#"); Out.Code = ordPatrol; break;
        case 6: Out.Record = F(ordTargetRockets) + F(B) + F(R(std::max(Zones, 1))); Out.Code = ordTargetRockets; break;
        default: Out.Record = F(ordGlobalClear) + F(BN[R(4)]); Out.Code = ordGlobalClear; break;
      }
      Out.Sender = Host;
      return Out;
    }
    case 2: {
      // Counts below zero, beyond what the unit has, beyond any 16-bit count.
      if (!Unit) break;
      std::string List;
      const int Type = R(UnitTypeCount);
      const int Way = R(3);
      for (int T = 0; T < UnitTypeCount; ++T) {
        int V = Unit->GetCount(T) / 2;
        if (T == Type) V = Way == 0 ? -3 : Way == 1 ? Unit->GetCount(T) + 5 : 70000;
        List += std::to_string(V) + "#";
      }
      Out.Record = F(ordDivide) + U(Unit) + List + ";";
      Out.Code = ordDivide;
      Out.Sender = Rightful;
      return Out;
    }
    case 3: {
      // A build of negative or huge counts, a route of a negative amount, formation weights
      // the formations window never offers.
      TBrenmoorZone* Zone = AnyOwnZone(E, true);
      if (!Zone) break;
      Out.Sender = SenderFor(Zone->GetOwner());
      if (Chance(25)) {
        static const char* const Weights[] = {"65535", "0", "12", "105", "-5", "5"};
        std::string List;
        for (int T = 0; T < UnitTypeCount; ++T) List += (T == utInfantry ? std::string(Weights[R(6)]) : std::string("-")) + "#";
        Out.Record = F(ordFormations) + F(Zone->GetOwner()->GetIndex()) + F(List);
        Out.Code = ordFormations;
      } else if (Chance(50)) {
        std::string List;
        for (int T = 0; T < UnitTypeCount; ++T) List += std::to_string(T == utInfantry ? (Chance(50) ? -5 : 65536 + 2) : 0) + "#";
        Out.Record = F(ordBuildUnit) + Z(Zone) + F(0) + F(List);
        Out.Code = ordBuildUnit;
      } else {
        Out.Record = F(ordRoute) + Z(Zone) + Z(Zone) + F(Chance(50) ? -50 : 1000000);
        Out.Code = ordRoute;
      }
      return Out;
    }
    case 4: {
      // Texts with the characters the records and messages are cut at.
      static const char* const Texts[] = {"Bad~Name", "Pipe|Line", "Semi;Colon", "~", "|", "a;b~c|d"};
      Out.Sender = Rightful;
      Out.Record = F(ordRenameUnit) + U(Unit) + Texts[R(6)] + ";";
      Out.Code = ordRenameUnit;
      if (Chance(30)) {
        TNation* N = Nations > 0 ? E.GetNation(R(Nations)) : nullptr;
        Out.Sender = SenderFor(N);
        Out.Record = F(ordResearch) + F(N ? N->GetIndex() : 0) + "10#1|#1#1#1#~1#1#1#1#;";
        Out.Code = ordResearch;
      }
      return Out;
    }
    case 5: {
      // A merge or a loading list that names a unit twice.
      if (!Unit) break;
      Out.Sender = Rightful;
      const std::string Twice = std::to_string(Unit->ID) + "#" + std::to_string(Unit->ID) + "#";
      if (Chance(50)) {
        Out.Record = F(ordMerge) + Z(Unit->GetZone()) + Twice + ";";
        Out.Code = ordMerge;
      } else {
        Out.Record = F(ordEmbarkDivide) + Z(Unit->GetZone()) + Z(Unit->GetZone()) + U(Unit) + Twice + ";";
        Out.Code = ordEmbarkDivide;
      }
      return Out;
    }
    case 6: {
      // A surrender in another user's name.
      const std::string Victim = Someone();
      Out.Sender = Intruder(Victim);
      Out.Record = F(ordSurrender) + F(Victim);
      Out.Code = ordSurrender;
      return Out;
    }
    case 7: {
      static const char* const Garbage[] = {"", ";", ";;;;", "x", "1", "1;", "abc;def;", "-1;", "1;;;", "19;0;",
                                            "4;", "36;", "6;0;", "11;0;", "27;", "999999999999999999999;1;2;"};
      Out.Record = Garbage[R(16)];
      Out.Sender = Someone();
      return Out;
    }
    case 8: {
      // Codes the game does not know.
      static const int Codes[] = {44, 45, 99, 255, -1, -44, 1000};
      Out.Record = F(Codes[R(7)]) + F(0) + F(0) + F(0);
      Out.Sender = Someone();
      return Out;
    }
    case 9: {
      // Unit identifiers of no unit, and none.
      const std::int64_t IDs[] = {-1, E.GetUnits().NextID(), E.GetUnits().NextID() + 100, -7};
      Out.Record = F(ordMove) + F(R(std::max(Zones, 1))) + F(IDs[R(4)]);
      Out.Code = ordMove;
      Out.Sender = Someone();
      return Out;
    }
    case 10: {
      // A nation order for a nation the sender does not play.
      if (Nations == 0) break;
      TNation* N = E.GetNation(R(Nations));
      Out.Sender = Intruder(SenderFor(N));
      Out.Record = F(ordDeclareWar) + F(N->GetIndex()) + F((N->GetIndex() + 1) % Nations);
      Out.Code = ordDeclareWar;
      return Out;
    }
    default: {
      // A patrol of one zone and an empty one.
      if (!Unit) break;
      Out.Sender = Rightful;
      Out.Record = F(ordPatrol) + U(Unit) + (Chance(50) ? std::to_string(Unit->GetZone()->GetIndex()) + "#;" : std::string(";"));
      Out.Code = ordPatrol;
      return Out;
    }
  }
  Out.Record = "garbage";
  Out.Sender = Someone();
  return Out;
}

TGeneratedOrder TRandomOrders::Next(TBrenmoorEngine& E) {
  if (Chance(HostilePercent)) return Hostile(E);
  int Total = 0;
  for (int W : Weights) Total += W;
  for (int Try = 0; Try < 8 && Total > 0; ++Try) {
    int Pick = R(Total);
    int Code = 0;
    while (Pick >= Weights[static_cast<std::size_t>(Code)]) Pick -= Weights[static_cast<std::size_t>(Code++)];
    TGeneratedOrder V = Valid(E, static_cast<TOrderType>(Code));
    if (!V.Record.empty()) return V;
  }
  return {};
}

std::vector<TGeneratedOrder> TRandomOrders::Generate(TBrenmoorEngine& E, int Count) {
  std::vector<TGeneratedOrder> Out;
  for (int I = 0; I < Count; ++I)
    if (TGeneratedOrder O = Next(E); !O.Record.empty() || O.Hostile) Out.push_back(std::move(O));
  return Out;
}

}  // namespace kit
