#include <cmath>
#include <cstdint>
#include <limits>

#include "foundation/ListError.h"
#include "players/ScriptModule.h"
#include "engine/ReinforcementRules.h"

// The game functions that only read the game, for the nation of the brain that runs. Units are
// answered by their place in the brain's seen-unit list (-1 for a unit it does not see), zones
// and nations by their index in the engine's lists. Rows marked "seen" answer only for a zone
// the player sees and give a fixed default otherwise; rows marked "own" answer only for the
// player's own units and give -1 otherwise, so that a script learns nothing of another nation's
// orders, experience or organisation.

namespace {

using TQuery = TValue (*)(TdmScript& S, const TArgList& A);

struct TQueryRow {
  const char* Declaration;
  TQuery Eval;
};

constexpr std::int32_t NoCarrier = std::numeric_limits<std::int32_t>::max();

// --- Results ---

TValue Int(std::int64_t V) {
  if (V > std::numeric_limits<std::int32_t>::max()) V = std::numeric_limits<std::int32_t>::max();
  if (V < std::numeric_limits<std::int32_t>::min()) V = std::numeric_limits<std::int32_t>::min();
  return TValue(static_cast<std::int32_t>(V));
}
TValue Bool(bool V) { return TValue(V); }
TValue Text(const std::string& V) { return TValue(V); }
TValue ZoneIndex(const TBrenmoorZone* Zone) { return Int(Zone ? Zone->GetIndex() : -1); }
TValue NationIndex(const TNation* Nation) { return Int(Nation ? Nation->GetIndex() : -1); }
TValue UnitIndex(TdmScript& S, const TUnit* Unit) { return Int(S.Brain().IndexOfUnit(Unit)); }

// A game value truncated towards zero to a whole number (experience and organisation times
// 100, a zone's resources), held to 32 bits; the product of a float and 100 is exact in double.
TValue Truncated(double V) {
  if (std::isnan(V)) return Int(0);
  if (V >= 2147483647.0) return Int(std::numeric_limits<std::int32_t>::max());
  if (V <= -2147483648.0) return Int(std::numeric_limits<std::int32_t>::min());
  return Int(static_cast<std::int32_t>(std::trunc(V)));
}

// --- Further arguments ---

// A unit type (0..15 in the order of the unit types); another value is the list's index error.
int TypeArgument(const TArgList& A, std::int32_t I) {
  const std::int32_t T = TdmScript::IntArg(A, I);
  if (T < 0 || T >= UnitTypeCount) throw EListError::IndexOutOfBounds(T);
  return T;
}

// A research group (0..7 in the order of the research groups).
int GroupArgument(const TArgList& A, std::int32_t I) {
  const std::int32_t G = TdmScript::IntArg(A, I);
  if (G < 0 || G >= ResearchGroupCount) throw EListError::IndexOutOfBounds(G);
  return G;
}

// A position in one of a unit's lists (cargo, based air units).
int ListArgument(const TArgList& A, std::int32_t I, int Count) {
  const std::int32_t J = TdmScript::IntArg(A, I);
  if (J < 0 || J >= Count) throw EListError::IndexOutOfBounds(J);
  return J;
}

// --- Force counts ---

std::int32_t CountWeight(int) { return 1; }
std::int32_t AttackWeight(int T) { return UnitTypes[static_cast<std::size_t>(T)].Attack; }
std::int32_t DefenseWeight(int T) { return UnitTypes[static_cast<std::size_t>(T)].Defense; }

// The counts of the unit's types of the selected kinds (bit k for kind k), each times Weight.
std::int64_t UnitForce(const TUnit* Unit, TUnitKinds Kinds, std::int32_t (*Weight)(int)) {
  std::int64_t Sum = 0;
  for (int T = 0; T < UnitTypeCount; ++T)
    if (Kinds & KindBit(UnitTypes[static_cast<std::size_t>(T)].Kind))
      Sum += static_cast<std::int64_t>(Unit->GetCount(T)) * Weight(T);
  return Sum;
}

// Zone, then six flags: allied, enemy, neutral, Army, Air Force, Navy. Every unit the player
// sees in the zone counts on its side (owner allied with the player, else at war with it, else
// neutral), by the types of the selected kinds.
TValue ZoneForce(TdmScript& S, const TArgList& A, std::int32_t (*Weight)(int)) {
  const TBrenmoorZone* Zone = S.ValidZoneArgument(A);
  const TNation* Player = S.Player();
  const bool Allied = TdmScript::BoolArg(A, 1);
  const bool Enemy = TdmScript::BoolArg(A, 2);
  const bool Neutral = TdmScript::BoolArg(A, 3);
  TUnitKinds Kinds = 0;
  if (TdmScript::BoolArg(A, 4)) Kinds |= KindBit(ukArmy);
  if (TdmScript::BoolArg(A, 5)) Kinds |= KindBit(ukAirForce);
  if (TdmScript::BoolArg(A, 6)) Kinds |= KindBit(ukNavy);
  std::int64_t Sum = 0;
  for (int I = 0; I < Zone->GetUnitCount(); ++I) {
    const TUnit* Unit = Zone->GetUnit(I);
    if (!Unit->IsVisibleTo(Player)) continue;
    const TNation* Owner = Unit->GetOwner();
    const bool Counts = Owner && Owner->IsAlliedWith(Player) ? Allied
                        : Owner && Owner->IsAtWarWith(Player) ? Enemy
                                                               : Neutral;
    if (Counts) Sum += UnitForce(Unit, Kinds, Weight);
  }
  return Int(Sum);
}

// What the unit's air types weigh on a carrier: a type that cannot be based on one makes the
// whole unit unfit (the largest whole number).
TValue CarrierWeight(const TUnit* Unit) {
  std::int64_t Sum = 0;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const TUnitTypeInfo& Info = UnitTypes[static_cast<std::size_t>(T)];
    if (Info.Kind != ukAirForce || Unit->GetCount(T) == 0) continue;
    if (Info.Carrier == 0) return Int(NoCarrier);
    Sum += static_cast<std::int64_t>(Unit->GetCount(T)) * Info.Carrier;
  }
  return Int(Sum);
}

// --- The table ---

const TQueryRow QueryRows[] = {
    // Game-wide queries.
    {"GetZoneCount(): integer", [](TdmScript& S, const TArgList&) { return Int(S.Engine().GetZoneCount()); }},
    {"GetUnitCount(): integer", [](TdmScript& S, const TArgList&) { return Int(S.Brain().UnitCount()); }},
    {"GetCurrentPlayer(): integer", [](TdmScript& S, const TArgList&) { return Int(S.Brain().GetPlayerIndex()); }},
    {"GetNationCount(): integer", [](TdmScript& S, const TArgList&) { return Int(S.Engine().GetNationCount()); }},
    {"FindZoneName( string ): integer",
     [](TdmScript& S, const TArgList& A) { return ZoneIndex(S.Engine().FindZoneByName(TdmScript::StringArg(A, 0))); }},
    {"FindNationName( string ): integer",
     [](TdmScript& S, const TArgList& A) { return NationIndex(S.Engine().FindNation(TdmScript::StringArg(A, 0))); }},
    {"FindUnitID( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const std::int32_t ID = TdmScript::IntArg(A, 0);
       const TBrenmoorBrain& B = S.Brain();
       for (std::int32_t I = 0; I < B.UnitCount(); ++I)
         if (B.GetUnit(I)->ID == ID) return Int(I);
       return Int(-1);
     }},
    {"Distance( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return Int(S.Engine().Reinforcements().ZoneDistance(S.ValidZoneArgument(A, 0), S.ValidZoneArgument(A, 1)));
     }},
    {"TrueDistance( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       TBrenmoorZone* From = S.ValidZoneArgument(A, 0);
       return Int(From->GetTrueDistance(S.ValidZoneArgument(A, 1)));
     }},

    // Zone queries.
    {"GetZoneName( mult ): string", [](TdmScript& S, const TArgList& A) { return Text(S.ValidZoneArgument(A)->GetName()); }},
    {"IsZoneLand( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.ValidZoneArgument(A)->GetSea() == 0); }},
    {"GetZoneValue( mult ): integer", [](TdmScript& S, const TArgList& A) { return Int(S.ValidZoneArgument(A)->GetIndustry()); }},
    {"IsZoneVisible( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.VisibleZoneArgument(A)); }},
    {"GetZoneTerrainBonus( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.ValidZoneArgument(A)->GetTerrainDefense()); }},
    {"GetZoneResourceBonus( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.ValidZoneArgument(A)->GetRichResources()); }},
    {"GetZoneResources( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return S.VisibleZoneArgument(A) ? Truncated(S.CurrentZone->GetResources()) : Int(0);
     }},
    {"GetZoneFactories( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.VisibleZoneArgument(A) ? S.CurrentZone->GetFactories() : 0); }},
    {"IsZoneAirfield( mult ): boolean",
     [](TdmScript& S, const TArgList& A) { return Bool(S.VisibleZoneArgument(A) && S.CurrentZone->IsAirfield()); }},
    {"IsZonePort( mult ): boolean",
     [](TdmScript& S, const TArgList& A) { return Bool(S.VisibleZoneArgument(A) && S.CurrentZone->IsPort()); }},
    {"IsZoneRocket( mult ): boolean",
     [](TdmScript& S, const TArgList& A) { return Bool(S.VisibleZoneArgument(A) && S.CurrentZone->GetRocketSite()); }},
    {"GetZoneRocketTarget( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return S.VisibleZoneArgument(A) ? ZoneIndex(S.CurrentZone->GetRocketTarget()) : Int(-1);
     }},
    {"GetZoneUnitCount( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.VisibleZoneArgument(A) ? S.CurrentZone->GetUnitCount() : 0); }},
    {"GetZoneUnit( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       if (!S.VisibleZoneArgument(A)) return Int(-1);
       S.CurrentUnit = S.CurrentZone->GetUnit(TdmScript::IntArg(A, 1));
       return UnitIndex(S, S.CurrentUnit);
     }},
    {"GetZoneOwner( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TBrenmoorZone* Zone = S.ZoneArgument(A);
       return NationIndex(Zone ? Zone->GetOwner() : nullptr);
     }},
    {"IsZoneCapital( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.ValidZoneArgument(A)->GetCapital()); }},
    {"IsZoneStorming( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.ValidZoneArgument(A)->GetStorm()); }},
    {"IsZoneEmbattled( mult ): boolean",
     [](TdmScript& S, const TArgList& A) { return Bool(S.ValidZoneArgument(A)->GetEmbattled()); }},
    {"IsZoneEnemy( mult ): boolean",
     [](TdmScript& S, const TArgList& A) {
       const TBrenmoorZone* Zone = S.ValidZoneArgument(A);
       return Bool(Zone->GetSea() == 0 && Zone->GetOwner() && S.Player()->IsAtWarWith(Zone->GetOwner()));
     }},
    {"IsZoneAllied( mult ): boolean",
     [](TdmScript& S, const TArgList& A) {
       const TBrenmoorZone* Zone = S.ValidZoneArgument(A);
       return Bool(Zone->GetSea() == 0 && Zone->GetOwner() && S.Player()->IsAlliedWith(Zone->GetOwner()));
     }},
    {"GetZoneNeighborCount( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.ValidZoneArgument(A)->NeighbourCount()); }},
    {"GetZoneNeighbor( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return ZoneIndex(S.ValidZoneArgument(A)->GetNeighbor(TdmScript::IntArg(A, 1)));
     }},
    {"IsZoneNeighbor( mult, mult ): boolean",
     [](TdmScript& S, const TArgList& A) {
       const TBrenmoorZone* Zone = S.ValidZoneArgument(A, 0);
       return Bool(Zone->IsNeighbour(S.ValidZoneArgument(A, 1)));
     }},
    {"GetZoneBorderDefense( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TBrenmoorZone* Zone = S.ValidZoneArgument(A, 0);
       return Int(Zone->GetBorderDefense(S.ValidZoneArgument(A, 1)));
     }},
    {"GetZoneAutoRouteZone( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       S.ValidZoneArgument(A);
       return S.OwnZoneArgument(A) ? ZoneIndex(S.CurrentZone->GetSupplySource()) : Int(-1);
     }},
    {"GetZoneForceCount( mult, boolean, boolean, boolean, boolean, boolean, boolean ): integer",
     [](TdmScript& S, const TArgList& A) { return ZoneForce(S, A, CountWeight); }},
    {"GetZoneForceCountAttack( mult, boolean, boolean, boolean, boolean, boolean, boolean ): integer",
     [](TdmScript& S, const TArgList& A) { return ZoneForce(S, A, AttackWeight); }},
    {"GetZoneForceCountDefense( mult, boolean, boolean, boolean, boolean, boolean, boolean ): integer",
     [](TdmScript& S, const TArgList& A) { return ZoneForce(S, A, DefenseWeight); }},

    // Unit queries.
    {"GetUnitID( mult ): integer", [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->ID); }},
    {"GetUnitOwner( mult ): integer", [](TdmScript& S, const TArgList& A) { return NationIndex(S.UnitArgument(A)->GetOwner()); }},
    {"GetUnitClass( mult ): integer", [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetKind()); }},
    {"GetUnitZone( mult ): integer", [](TdmScript& S, const TArgList& A) { return ZoneIndex(S.UnitArgument(A)->GetZone()); }},
    {"GetUnitForceCount( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(UnitForce(S.UnitArgument(A), AllUnitKinds, CountWeight)); }},
    {"GetUnitForceCountType( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TUnit* Unit = S.UnitArgument(A);
       return Int(Unit->GetCount(TypeArgument(A, 1)));
     }},
    {"GetUnitForceCountClass( mult, boolean, boolean, boolean ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TUnit* Unit = S.UnitArgument(A);
       TUnitKinds Kinds = 0;
       if (TdmScript::BoolArg(A, 1)) Kinds |= KindBit(ukArmy);
       if (TdmScript::BoolArg(A, 2)) Kinds |= KindBit(ukAirForce);
       if (TdmScript::BoolArg(A, 3)) Kinds |= KindBit(ukNavy);
       return Int(UnitForce(Unit, Kinds, CountWeight));
     }},
    {"GetUnitForceCountAttack( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(UnitForce(S.UnitArgument(A), AllUnitKinds, AttackWeight)); }},
    {"GetUnitForceCountDefense( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(UnitForce(S.UnitArgument(A), AllUnitKinds, DefenseWeight)); }},
    {"IsUnitAttacking( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.UnitArgument(A)->GetAttacking()); }},
    {"GetUnitBaseUnit( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return UnitIndex(S, S.UnitArgument(A)->GetBaseUnit()); }},
    {"GetUnitBaseZone( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return ZoneIndex(S.UnitArgument(A)->GetBaseZone()); }},
    {"GetUnitCarrierRoom( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetCarrierRoom()); }},
    {"GetUnitCarrierWeight( mult ): integer", [](TdmScript& S, const TArgList& A) { return CarrierWeight(S.UnitArgument(A)); }},
    {"GetUnitExperience( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return S.OwnUnitArgument(A) ? Truncated(static_cast<double>(S.CurrentUnit->GetExperience()) * 100.0) : Int(-1);
     }},
    {"GetUnitOrder( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.OwnUnitArgument(A) ? S.CurrentUnit->GetOrder() : -1); }},
    {"GetUnitDestinationZone( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return S.OwnUnitArgument(A) ? ZoneIndex(S.CurrentUnit->GetDestinationZone()) : Int(-1);
     }},
    {"GetUnitDestinationUnit( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return S.OwnUnitArgument(A) ? UnitIndex(S, S.CurrentUnit->GetDestinationUnit()) : Int(-1);
     }},
    {"GetUnitOrganization( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       return S.OwnUnitArgument(A) ? Truncated(static_cast<double>(S.CurrentUnit->GetOrganization()) * 100.0) : Int(-1);
     }},
    {"GetUnitRange( mult ): integer", [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetRange()); }},
    {"IsUnitSubmerged( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.UnitArgument(A)->GetSubmerged()); }},
    {"IsUnitSubsOnly( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.UnitArgument(A)->IsSubsOnly()); }},
    {"GetUnitTransportRoom( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetTransportRoom()); }},
    {"GetUnitTransportWeight( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetTransportWeight()); }},
    {"GetUnitBasedCount( mult ): integer", [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetBasedCount()); }},
    {"GetUnitBased( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TUnit* Unit = S.UnitArgument(A);
       return UnitIndex(S, Unit->GetBased(ListArgument(A, 1, Unit->GetBasedCount())));
     }},
    {"GetUnitBoardedCount( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.UnitArgument(A)->GetBoardedCount()); }},
    {"GetUnitBoarded( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TUnit* Unit = S.UnitArgument(A);
       return UnitIndex(S, Unit->GetBoarded(ListArgument(A, 1, Unit->GetBoardedCount())));
     }},

    // Nation queries.
    {"GetNationName( mult ): string", [](TdmScript& S, const TArgList& A) { return Text(S.NationArgument(A)->GetName()); }},
    {"GetNationAlliance( mult ): string",
     [](TdmScript& S, const TArgList& A) { return Text(S.NationArgument(A)->GetAlliance()); }},
    {"IsNationMajorPower( mult ): boolean",
     [](TdmScript& S, const TArgList& A) { return Bool(S.NationArgument(A)->GetMajorPower()); }},
    {"IsNationActive( mult ): boolean", [](TdmScript& S, const TArgList& A) { return Bool(S.NationArgument(A)->GetAlive()); }},
    {"GetNationStance( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TNation* Nation = S.NationArgument(A, 0);
       return Int(Nation->GetRelation(S.NationArgument(A, 1)));
     }},
    {"IsNationAtWarWith( mult, mult ): boolean",
     [](TdmScript& S, const TArgList& A) {
       const TNation* Nation = S.NationArgument(A, 0);
       return Bool(Nation->IsAtWarWith(S.NationArgument(A, 1)));
     }},
    {"IsNationAlliedWith( mult, mult ): boolean",
     [](TdmScript& S, const TArgList& A) {
       const TNation* Nation = S.NationArgument(A, 0);
       return Bool(Nation->IsAlliedWith(S.NationArgument(A, 1)));
     }},
    {"GetNationDiplomaticActions( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.NationArgument(A)->GetDiplomaticActions()); }},
    {"GetNationCapitalZone( mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       S.CurrentZone = S.NationArgument(A)->GetCapital();
       return ZoneIndex(S.CurrentZone);
     }},
    {"GetNationStability( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.NationArgument(A)->GetStability()); }},
    {"GetNationTotalResearchSpending( mult ): integer",
     [](TdmScript& S, const TArgList& A) { return Int(S.NationArgument(A)->GetResearchSpendingTotal()); }},
    {"GetNationResearchItemSpending( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TNation* Nation = S.NationArgument(A);
       return Int(Nation->GetResearchSpending(GroupArgument(A, 1)));
     }},
    {"GetNationResearchItemLevel( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TNation* Nation = S.NationArgument(A);
       return Int(Nation->GetResearchLevel(GroupArgument(A, 1)));
     }},
    {"GetNationResearchItemProgress( mult, mult ): integer",
     [](TdmScript& S, const TArgList& A) {
       const TNation* Nation = S.NationArgument(A);
       return Int(Nation->GetResearchProgress(GroupArgument(A, 1)));
     }},
};

}  // namespace

void TdmScript::RegisterQueryFunctions() {
  for (const TQueryRow& Row : QueryRows) {
    const TQuery Eval = Row.Eval;
    AddGameFunction(Row.Declaration, [this, Eval](TFunc*, const TArgList& Args, TValue& Result) {
      // Every query reads the game of a running brain: without one the call is a script error.
      Brain();
      Engine();
      Result = Eval(*this, Args);
    });
  }
}
