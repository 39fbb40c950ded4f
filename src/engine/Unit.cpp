#include "engine/Unit.h"

#include <algorithm>
#include <limits>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/SavedFields.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

namespace {

const TUnitTypeInfo& Info(int Type) { return UnitTypes[static_cast<std::size_t>(Type)]; }

std::string ZoneName(const TBrenmoorZone* Zone) { return Zone ? Zone->GetName() : std::string(); }

std::int32_t ZoneIndex(const TBrenmoorZone* Zone) { return Zone ? Zone->GetIndex() : -1; }

std::string IDList(const std::vector<TUnit*>& Units) {
  std::string S;
  for (const TUnit* Unit : Units) S += IntToStr(Unit->ID) + "#";
  return S;
}

void EraseUnit(std::vector<TUnit*>& Units, const TUnit* Unit) { std::erase(Units, Unit); }

}  // namespace

TUnit::TUnit(TBrenmoorEngine& Engine, TNation* Owner, TUnitKind Kind)
    : FOwner(Owner), FKind(Kind), FEngine(&Engine), FCreatingNation(Owner) {
  if (Owner) {
    FOrdinal = Owner->NextKindOrdinal(Kind);
    FTypeFactors = Owner->GetTypeFactors();
  } else {
    FTypeFactors.fill(1.0f);
  }
}

TUnit::TUnit(TBrenmoorEngine& Engine) : FEngine(&Engine) { FTypeFactors.fill(1.0f); }

TUnit::~TUnit() {
  if (!FEngine->IsClearing()) Unlink();
  // Whatever still names the unit or is named by it lets go, also while the game is cleared
  // (the units go one by one and every pointer left must be to a unit still there).
  Aim(nullptr);
  FOpponents.reset();
  DropReferencesToThis();
  FEngine->UnitDestroyed(this);
}

void TUnit::Unlink() {
  for (TUnit* Unit : FBoardedUnits) Unit->FTransport = nullptr;
  FBoardedUnits.clear();
  for (TUnit* Unit : FBasedUnits) Unit->FBaseUnit = nullptr;
  FBasedUnits.clear();
  DropReferencesToThis();
  if (FBaseUnit) EraseUnit(FBaseUnit->FBasedUnits, this);
  FBaseUnit = nullptr;
  if (FTransport) EraseUnit(FTransport->FBoardedUnits, this);
  FTransport = nullptr;
}

void TUnit::DropReferencesToThis() {
  // A unit aimed at itself keeps its aim until it is freed.
  std::vector<TUnit*> Aimers = std::move(FAimedBy);
  FAimedBy.clear();
  for (TUnit* Unit : Aimers) {
    if (Unit == this) {
      FAimedBy.push_back(this);
      continue;
    }
    Unit->FDestinationUnit = nullptr;
    Unit->FDestinationUnitName.clear();
  }
  // The places in the lists are taken out; this unit's entries go with the moved list.
  std::vector<TNaming> Namings = std::move(FNamedIn);
  FNamedIn.clear();
  for (const TNaming& Naming : Namings) Naming.List->Erase(this);
}

void TUnit::Aim(TUnit* Target) {
  if (Target == FDestinationUnit) return;
  if (FDestinationUnit) {
    std::vector<TUnit*>& Aimers = FDestinationUnit->FAimedBy;
    const auto It = std::find(Aimers.begin(), Aimers.end(), this);
    if (It != Aimers.end()) {
      *It = Aimers.back();
      Aimers.pop_back();
    }
  }
  FDestinationUnit = Target;
  if (Target) Target->FAimedBy.push_back(this);
}

const std::vector<TUnit*>& TUnit::GetOpponents() const {
  static const std::vector<TUnit*> None;
  return FOpponents ? FOpponents->GetUnits() : None;
}

void TUnit::SetOpponents(std::vector<TUnit*> Units) {
  if (Units.empty())
    FOpponents.reset();
  else
    FOpponents = std::make_shared<TOpponentList>(std::move(Units));
}

void TUnit::SetOpponents(std::shared_ptr<TOpponentList> List) { FOpponents = std::move(List); }

void TUnit::ClearOpponents() { FOpponents.reset(); }

// --- Opponent lists ---

TOpponentList::TOpponentList(std::vector<TUnit*> Units) : FUnits(std::move(Units)) {
  FSlots.resize(FUnits.size());
  for (std::size_t I = 0; I < FUnits.size(); ++I) {
    std::vector<TUnit::TNaming>& Named = FUnits[I]->FNamedIn;
    FSlots[I] = static_cast<std::uint32_t>(Named.size());
    Named.push_back({this, static_cast<std::uint32_t>(I)});
  }
}

TOpponentList::~TOpponentList() {
  // Each entry goes by moving the unit's last entry into its slot.
  for (std::size_t I = 0; I < FUnits.size(); ++I) {
    std::vector<TUnit::TNaming>& Named = FUnits[I]->FNamedIn;
    const std::uint32_t Slot = FSlots[I];
    Named[Slot] = Named.back();
    Named[Slot].List->FSlots[Named[Slot].Place] = Slot;
    Named.pop_back();
  }
}

void TOpponentList::Erase(const TUnit* Unit) {
  std::size_t Kept = 0;
  for (std::size_t I = 0; I < FUnits.size(); ++I) {
    TUnit* Other = FUnits[I];
    if (Other == Unit) continue;
    if (Kept != I) {
      FUnits[Kept] = Other;
      FSlots[Kept] = FSlots[I];
      Other->FNamedIn[FSlots[Kept]].Place = static_cast<std::uint32_t>(Kept);
    }
    ++Kept;
  }
  FUnits.resize(Kept);
  FSlots.resize(Kept);
}

void TUnit::Remove(bool SendChange) {
  if (SendChange) FEngine->AddUnitChange(this, chUnitRemoved);
  Unlink();
}

// --- Queries ---

std::int32_t TUnit::GetTotalCount() const {
  std::int32_t Total = 0;
  for (std::uint16_t C : FCounts) Total += C;
  return Total;
}

std::int32_t TUnit::GetEffectiveCount() const {
  std::int32_t Total = 0;
  for (int T = 0; T < UnitTypeCount; ++T) Total += GetCount(T) - GetDamaged(T);
  return Total;
}

std::int64_t TUnit::GetValue() const {
  std::int64_t Total = 0;
  if (!FOwner) return 0;
  for (int T = 0; T < UnitTypeCount; ++T)
    Total += static_cast<std::int64_t>(GetCount(T) - GetDamaged(T)) * FOwner->GetUnitCost(T);
  return Total;
}

std::uint16_t TUnit::UnitSpeed() const {
  std::uint16_t Lowest = std::numeric_limits<std::uint16_t>::max();
  bool Any = false;
  for (int T = 0; T < UnitTypeCount; ++T)
    if (GetCount(T) > 0) {
      Lowest = std::min(Lowest, Info(T).Speed);
      Any = true;
    }
  return Any ? Lowest : 0;
}

std::uint16_t TUnit::GetRange() const {
  std::uint16_t Lowest = std::numeric_limits<std::uint16_t>::max();
  bool Any = false;
  for (int T = 0; T < UnitTypeCount; ++T)
    if (GetCount(T) > 0) {
      Lowest = std::min(Lowest, Info(T).Range);
      Any = true;
    }
  return Any ? Lowest : 0;
}

std::int32_t TUnit::GetTransportWeight() const {
  std::int32_t Total = 0;
  for (int T = 0; T < UnitTypeCount; ++T) Total += GetCount(T) * Info(T).Weight;
  return Total;
}

std::int32_t TUnit::GetTransportRoom() const {
  std::int32_t Room = 2 * GetCount(utTransport);
  for (const TUnit* Unit : FBoardedUnits) Room -= Unit->GetTransportWeight();
  return Room;
}

std::int32_t TUnit::GetCarrierRoom() const {
  std::int32_t Room = 3 * GetCount(utCarrier);
  for (const TUnit* Unit : FBasedUnits) Room -= Unit->GetTotalCount();
  return Room;
}

bool TUnit::IsCarrierCapable() const {
  for (int T = 0; T < UnitTypeCount; ++T)
    if (GetCount(T) > 0 && Info(T).Carrier == 0) return false;
  return true;
}

bool TUnit::IsSubsOnly() const {
  if (GetCount(utSubmarine) == 0) return false;
  for (int T = 0; T < UnitTypeCount; ++T)
    if (T != utSubmarine && GetCount(T) > 0) return false;
  return true;
}

bool TUnit::IsTallied() const { return FOwner && (!FSubmerged || FOwner->GetLocalPlayer()); }

bool TUnit::RidesOn(const TUnit* Carrier) const {
  // Upwards through transports and carriers; a unit met twice closes a loop, which ends the
  // walk (a loop through Carrier has met it already).
  std::vector<const TUnit*> Seen;
  std::vector<const TUnit*> Next{this};
  while (!Next.empty()) {
    const TUnit* Unit = Next.back();
    Next.pop_back();
    for (const TUnit* Up : {Unit->FTransport, Unit->FBaseUnit}) {
      if (!Up) continue;
      if (Up == Carrier) return true;
      if (std::find(Seen.begin(), Seen.end(), Up) != Seen.end()) continue;
      Seen.push_back(Up);
      Next.push_back(Up);
    }
  }
  return false;
}

bool TUnit::IsVisibleTo(const TNation* Nation) const {
  if (!Nation || !FZone) return false;
  if (!((FZone->GetSeenBy() >> Nation->GetMajorIndex()) & 1u)) return false;
  return !FSubmerged || Nation->IsAlliedWith(FOwner);
}

bool TUnit::CanAttack(const TUnit* Other) const {
  if (!Other || !FOwner || !Other->FOwner) return false;
  const bool AtWar = FOwner->IsAtWarWith(Other->FOwner);
  if (FOrder == ordRecon || Other->FOrder == ordRecon) return AtWar;
  if (Other->FZone && Other->FZone->GetSea() != 0)
    return AtWar || (FOrder == ordIntercept && FDestinationUnit == Other) ||
           (Other->FOrder == ordIntercept && Other->FDestinationUnit == this);
  return !FOwner->IsAlliedWith(Other->FOwner);
}

bool TUnit::CanAttackArmy(const TUnit* Other) const {
  if (!Other || Other->FKind != ukArmy || !FOwner || !Other->FOwner) return false;
  // Attacking without war reaches every nation it is not allied with, never its own side.
  if (FOwner->GetAttackWithoutWar()) return !FOwner->IsAlliedWith(Other->FOwner);
  return FOwner->IsAtWarWith(Other->FOwner);
}

std::string TUnit::GetName() const {
  if (!FCustomName.empty()) return FCustomName;
  std::string Name = FCreatingNation ? FCreatingNation->GetAdjective() : std::string();
  Name += " " + IntToStr(FOrdinal);
  // The suffix follows the last two digits: 11th, 12th, 13th, 111th, but 21st, 101st.
  const std::int32_t LastTwo = std::abs(FOrdinal % 100);
  if (LastTwo >= 10 && LastTwo <= 19)
    Name += "th ";
  else
    switch (LastTwo % 10) {
      case 1: Name += "st "; break;
      case 2: Name += "nd "; break;
      case 3: Name += "rd "; break;
      default: Name += "th "; break;
    }
  if (FKind == ukNavy)
    Name += GetCount(utMerchantShip) > 0 ? "Convoy" : "Fleet";
  else
    Name += UnitKindNames[FKind];
  return Name;
}

std::string TUnit::ExperienceText() const {
  if (FExperience < 1.1f) return "Green";
  if (FExperience < 1.3f) return "Rookie";
  if (FExperience < 1.5f) return "Seasoned";
  if (FExperience < 1.8f) return "Veteran";
  return "Crack";
}

std::string TUnit::OrderText() const {
  switch (FOrder) {
    case ordNone: return "- No Orders -";
    case ordMove:
      return FDestinationZone && FDestinationZone->GetSea() != 0 ? "Move" : "Move " + ZoneName(FDestinationZone);
    case ordLaunch: return "Launch";
    case ordRetreat: return "Retreat";
    case ordDock: return "Dock " + ZoneName(FDestinationZone);
    case ordDivide: return "Divide";
    case ordEmbark: return "Embark";
    case ordDisembark: return "Disembark " + ZoneName(FDestinationZone);
    case ordIntercept: return "Intercept " + FDestinationUnitName;
    case ordInvade: return "Invade " + ZoneName(FDestinationZone);
    case ordPatrol: return "Patroling";
    case ordAirStrike: return FZone && FZone->GetSea() != 0 ? "Air Strike" : "Air Strike " + ZoneName(FZone);
    case ordRecon: return "Recon";
    case ordBomb: return "Bomb " + ZoneName(FZone);
    case ordBombard: return "Bombard " + ZoneName(FDestinationZone);
    default: return {};
  }
}

TOrderSet TUnit::CanTakeOrder() const {
  TOrderSet Orders;
  if (!FZone) return Orders;
  const bool AtSea = FZone->GetSea() != 0;
  const bool Embattled = FZone->GetEmbattled();
  switch (FKind) {
    case ukArmy:
      if (!AtSea) {
        if (!(Embattled && FPreviousZone && FAttacking)) {
          Orders.Include(ordMove);
          if (!Embattled) {
            Orders.Include(ordInvade);
            if (FZone->IsCoastal() && GetTransportWeight() > 0) Orders.Include(ordEmbark);
            if (!FZone->IsEnemyOf(FOwner)) Orders.Include(ordDivide);
          }
        } else if (FPreviousZone->GetSea() == 0) {
          Orders.Include(ordRetreat);
        }
      } else if (!Embattled) {
        Orders.Include(ordDisembark);
      }
      break;
    case ukAirForce:
      if (FOrder != ordNone) {
        Orders.Include(ordReturnToBase);
      } else {
        Orders.Include(ordRebase);
        Orders.Include(ordAirStrike);
        Orders.Include(ordRecon);
        if (GetCount(utBomber) > 0 || GetCount(utAtomicBomber) > 0) Orders.Include(ordBomb);
        if (!FBaseUnit && !Embattled) Orders.Include(ordDivide);
      }
      if (FZone->IsAlliedTo(FOwner) && FZone != FBaseZone && FZone->IsAirfield()) Orders.Include(ordBaseHere);
      if (FOrder == ordBomb && GetCount(utAtomicBomber) > 0) Orders.Include(ordAtomicBomb);
      if (FOwner && FOwner->GetKamakazeAllowed() && AtSea && Embattled) Orders.Include(ordKamakaze);
      break;
    case ukNavy:
      if (!AtSea) {
        Orders.Include(ordLaunch);
      } else {
        if (!Embattled || !FPreviousZone) {
          Orders.Include(ordMove);
          Orders.Include(ordDock);
          Orders.Include(ordIntercept);
          Orders.Include(ordPatrol);
        } else {
          Orders.Include(ordRetreat);
        }
        if (IsSubsOnly()) Orders.Include(FSubmerged ? ordSurface : ordSubmerge);
        if (!Embattled && FBasedUnits.empty() && FBoardedUnits.empty()) Orders.Include(ordDivide);
        if (GetCount(utBattleship) > 0 && !Embattled) Orders.Include(ordBombard);
      }
      break;
  }
  if (FKind != ukAirForce && FOrder != ordNone) Orders.Include(ordNone);
  return Orders;
}

// --- Fields ---

void TUnit::SetZone(TBrenmoorZone* Zone) {
  FZone = Zone;
  if (!FBaseZone && !FBaseUnit) FBaseZone = Zone;
}

void TUnit::SetDestinationUnit(TUnit* Unit) {
  // The target's name is taken when the unit is aimed at it. Aimed at the same target again
  // (a replayed order names its target every time), the unit keeps the name it took then:
  // the target's name may have changed with its ships since, and every machine must show the
  // same.
  if (Unit && Unit == FDestinationUnit) return;
  Aim(Unit);
  FDestinationUnitName = Unit ? Unit->GetName() : std::string();
}

void TUnit::RefreshDestinationUnitName() {
  if (FDestinationUnit) FDestinationUnitName = FDestinationUnit->GetName();
}

void TUnit::SetOrganization(float Value) {
  Value = std::clamp(Value, 25.0f, 100.0f);
  if (Value != FOrganization) {
    FOrganization = Value;
    FOrganizationChanged = true;
  }
}

// --- Tallies ---

void TUnit::MoveTallies(TBrenmoorZone* From, TBrenmoorZone* To) {
  if (!IsTallied()) return;
  const int Row = FOwner->GetMajorIndex();
  for (int T = 0; T < UnitTypeCount; ++T) {
    if (GetCount(T) == 0) continue;
    if (From) From->ChangeTally(Row, T, -GetCount(T));
    if (To) To->ChangeTally(Row, T, GetCount(T));
  }
}

void TUnit::ChangeTallies(int Sign) {
  if (!IsTallied() || !FZone) return;
  const int Row = FOwner->GetMajorIndex();
  for (int T = 0; T < UnitTypeCount; ++T)
    if (GetCount(T) != 0) FZone->ChangeTally(Row, T, Sign * GetCount(T));
}

// --- Operations with effects ---

void TUnit::MoveToZone(TBrenmoorZone* Zone, TMoveMode Mode) {
  if (!Zone || !FZone) return;
  if (FKind == ukNavy && Zone->GetSea() == 0 && (FZone->GetSea() == 0 || FOrder != ordDock)) return;
  TBrenmoorZone* Old = FZone;
  // Leaving and entering: a move into the zone it stands in rejoins at the end of its units.
  std::unique_ptr<TUnit> Self = Old->ReleaseUnit(this);
  if (!Self) throw EBrenmoorEngine("Unit " + std::to_string(ID) + " is not among the units of its zone");
  Zone->AdoptUnit(std::move(Self));
  // A move into the zone the unit stands in only rejoins the end of its units. The replay
  // meets one for every unit that moved with its transport or carrier (the unit's own record
  // and its ship's both move it), and must leave its previous zone as the host's.
  const bool Stays = Old == Zone;
  if (!Stays) {
    MoveTallies(Old, Zone);
    FPreviousZone = Old;
  }
  SetZone(Zone);

  // Moving costs organisation; only the host's impulse rules draw it, the replay and the
  // upkeep of every machine only repeat the move.
  if (Mode == mmImpulse && !Stays) {
    LoseOrganization(0.02);
    if (Zone->GetStorm()) LoseOrganization(0.1);
    if (Zone->IsHazardousSea()) LoseOrganization(0.1);
    if (FKind == ukArmy && !Zone->IsAlliedTo(FOwner)) {
      const std::int32_t Level = Zone->GetBorderDefense(Old);
      for (std::int32_t I = 0; I < Level; ++I) LoseOrganization(0.2);
    }
  }

  const std::vector<TUnit*> Boarded = FBoardedUnits;
  for (TUnit* Unit : Boarded) Unit->MoveToZone(Zone, Mode);

  const std::vector<TUnit*> Based = FBasedUnits;
  for (TUnit* Unit : Based) {
    if (Unit->FOrder != ordNone && Unit->FZone &&
        FEngine->FindPathLength(Zone, Unit->FZone) <= static_cast<std::int32_t>(Unit->GetRange()))
      continue;
    if (Unit->FOrder != ordNone) {
      Unit->FOrder = ordNone;
      FEngine->SendUnitOrder(Unit);
    }
    Unit->MoveToZone(Zone, Mode);
  }

  FEngine->AddUnitChange(this, chUnitMove, Zone->GetIndex());
}

void TUnit::InvadeZone(TMoveMode Mode) {
  if (!FDestinationZone || !FZone || FZone == FDestinationZone || !FEngine->GetZoneMap()) return;
  const bool SeaPath = FOrder == ordDock || FOrder == ordBombard;
  if (SeaPath) FEngine->SetPathMode(1);
  FindPathTo(FDestinationZone);
  FEngine->SetPathMode(0);
  TZoneMap& Map = *FEngine->GetZoneMap();
  if (Map.PathCount() <= 1) return;
  TBrenmoorZone* Next = static_cast<TBrenmoorZone*>(Map.GetPathZone(1));
  if (FKind == ukArmy && !Next->IsAlliedTo(FOwner)) {
    if (Next != FDestinationZone || FOrder != ordInvade) return;
    FEngine->AddChange(chZoneStrike, FOwner ? FOwner->GetIndex() : -1, Next->GetIndex());
    if (FEngine->OnInvadeZone) FEngine->OnInvadeZone(FEngine, FOwner, Next);
  }
  MoveToZone(Next, Mode);
}

void TUnit::Embark(TMoveMode Mode) {
  TUnit* Ship = FDestinationUnit;
  // Only an army boards, and only a fleet takes it: a ship in another's hold would carry it round.
  if (!Ship || !Ship->FZone || !FZone || Ship == this || FKind != ukArmy || Ship->FKind != ukNavy) return;
  if (!FZone->IsNeighbour(Ship->FZone) || Ship->FZone->GetEmbattled() || FTransport == Ship) return;
  if (Ship->GetTransportRoom() < GetTransportWeight()) return;
  FEngine->AddUnitChange(this, chUnitEmbarked);
  // An army still in the hold of a fleet that docked leaves that fleet for the new one.
  if (FTransport) FTransport->RemoveBoarded(this);
  Ship->AddBoarded(this);
  FTransport = Ship;
  MoveToZone(Ship->FZone, Mode);
}

void TUnit::Disembark(TMoveMode Mode) {
  if (!FDestinationZone || !FZone) return;
  if (!FZone->IsNeighbour(FDestinationZone) || FZone->GetEmbattled()) return;
  FEngine->AddUnitChange(this, chUnitDisembarked);
  if (FTransport) FTransport->RemoveBoarded(this);
  MoveToZone(FDestinationZone, Mode);
  FTransport = nullptr;
}

void TUnit::JoinBase(TUnit* Carrier) {
  if (!Carrier || Carrier == this) return;
  if (FBaseUnit) FBaseUnit->RemoveBased(this);
  FBaseUnit = Carrier;
  Carrier->AddBased(this);
  FBaseZone = nullptr;
  FEngine->AddUnitChange(this, chUnitBase, ZoneIndex(Carrier->FZone), Carrier->ID);
}

void TUnit::LeaveBase(TBrenmoorZone* Zone) {
  if (FBaseUnit) FBaseUnit->RemoveBased(this);
  FBaseUnit = nullptr;
  FBaseZone = Zone;
  FEngine->AddUnitChange(this, chUnitBase, ZoneIndex(Zone), -1);
}

void TUnit::SetSubmerged(bool Value) {
  if (Value == FSubmerged) return;
  // The machine that does not play the owner stops counting a submerged fleet, and counts
  // all of it again when it surfaces (whatever it holds by then).
  ChangeTallies(-1);
  FSubmerged = Value;
  ChangeTallies(+1);
  if (!Value) FSurfaced = true;
}

void TUnit::ChangeOwner(TNation* Nation) {
  ChangeTallies(-1);
  FOwner = Nation;
  ChangeTallies(+1);
}

void TUnit::LoseOrganization(double Factor) {
  const double R = FEngine->GetRandom().Random();
  SetOrganization(static_cast<float>((1.0 - R * Factor) * FOrganization));
}

void TUnit::GainExperience() {
  FFought = true;
  const double R = FEngine->GetRandom().Random();
  // Experience far beyond 2 falls back, no further than a saved game holds.
  const double Gained = FExperience * (1.0 + R * 0.05 * (2.0 - FExperience));
  FExperience = static_cast<float>(std::clamp(Gained, FieldRange::Experience.Min, FieldRange::Experience.Max));
}

void TUnit::ResetImpulseState() {
  FDamaged.fill(0);
  FOrganizationChanged = false;
}

void TUnit::ApplyLosses() {
  const bool FreeForAll = FEngine->GetFreeForAll();
  bool Damage = false;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::uint16_t Damaged = GetDamaged(T);
    if (Damaged == 0) continue;
    Damage = true;
    const std::uint16_t Lost = std::min(Damaged, GetCount(T));
    if (IsTallied() && FZone) FZone->ChangeTally(FOwner->GetMajorIndex(), T, -Lost);
    SetCount(T, static_cast<std::uint16_t>(GetCount(T) - Lost));
    if (!FreeForAll && FOwner) FOwner->SetScoreDeduction(FOwner->GetScoreDeduction() + Lost);
    SetDamaged(T, 0);
  }
  if (!Damage) return;
  SendStrengths();
  if (GetTransportRoom() >= 0) return;

  // The transports lost cannot carry their cargo: pieces of it (at most a type's transport
  // weight of units each) go down at random until what is left fits.
  for (const TUnit* Unit : FBoardedUnits)
    if (Unit->FKind != ukArmy)
      throw EBrenmoorEngine("Non-Land Unit Boarded (" + GetName() + ", " + Unit->GetName() + ")");
  struct TPiece {
    TUnit* Unit;
    int Type;
    std::uint16_t Count;
  };
  std::vector<TPiece> Pieces;
  for (TUnit* Unit : FBoardedUnits)
    for (int T = 0; T < UnitTypeCount; ++T) {
      const std::uint16_t Weight = std::max<std::uint16_t>(1, Info(T).Weight);
      for (int Left = Unit->GetCount(T); Left > 0; Left -= Weight)
        Pieces.push_back({Unit, T, static_cast<std::uint16_t>(std::min<int>(Left, Weight))});
    }
  std::vector<TUnit*> Cut;
  while (GetTransportRoom() < 0 && !Pieces.empty()) {
    const auto I = static_cast<std::size_t>(FEngine->GetRandom().Random(static_cast<std::int32_t>(Pieces.size())));
    const TPiece Piece = Pieces[I];
    Pieces.erase(Pieces.begin() + static_cast<std::ptrdiff_t>(I));
    TUnit* Unit = Piece.Unit;
    if (Unit->IsTallied() && Unit->FZone) Unit->FZone->ChangeTally(Unit->FOwner->GetMajorIndex(), Piece.Type, -Piece.Count);
    Unit->SetCount(Piece.Type, static_cast<std::uint16_t>(Unit->GetCount(Piece.Type) - Piece.Count));
    if (!FreeForAll && Unit->FOwner) Unit->FOwner->SetScoreDeduction(Unit->FOwner->GetScoreDeduction() + Piece.Count);
    if (std::find(Cut.begin(), Cut.end(), Unit) == Cut.end()) Cut.push_back(Unit);
  }
  for (TUnit* Unit : FBoardedUnits)
    if (std::find(Cut.begin(), Cut.end(), Unit) != Cut.end()) Unit->SendStrengths();
}

void TUnit::SendStrengths() {
  if (!FEngine->WritesChanges()) return;
  std::string Counts;
  for (std::uint16_t C : FCounts) Counts += IntToStr(C) + "#";
  FEngine->AddUnitChange(this, chUnitStrength, Counts, FOwner ? FOwner->GetScoreDeduction() : 0);
}

bool TUnit::UnloadMerchants() {
  if (!FZone) return false;
  const std::uint16_t Ships = GetCount(utMerchantShip);
  FZone->SetResources(FZone->GetResources() + 5.0f * Ships);
  if (IsTallied()) FZone->ChangeTally(FOwner->GetMajorIndex(), utMerchantShip, -Ships);
  SetCount(utMerchantShip, 0);
  for (TUnit* Unit : FBoardedUnits) {
    Unit->FTransport = nullptr;
    Unit->FOrder = ordNone;
  }
  FBoardedUnits.clear();
  if (GetTotalCount() != 0) return false;
  Remove(false);
  FEngine->FreeUnit(this);
  return true;
}

bool TUnit::RemoveIfEmpty() {
  if (GetTotalCount() != 0) return false;
  Remove(true);
  FEngine->FreeUnit(this);
  return true;
}

void TUnit::FindPathTo(TBrenmoorZone* Zone) {
  FEngine->SetPathUnit(this);
  FEngine->SetPathAll(false);
  FEngine->FindPath(FZone, Zone);
}

void TUnit::AddBoarded(TUnit* Unit) {
  if (std::find(FBoardedUnits.begin(), FBoardedUnits.end(), Unit) == FBoardedUnits.end()) FBoardedUnits.push_back(Unit);
}

void TUnit::RemoveBoarded(const TUnit* Unit) { EraseUnit(FBoardedUnits, Unit); }

void TUnit::AddBased(TUnit* Unit) {
  if (std::find(FBasedUnits.begin(), FBasedUnits.end(), Unit) == FBasedUnits.end()) FBasedUnits.push_back(Unit);
}

void TUnit::RemoveBased(const TUnit* Unit) { EraseUnit(FBasedUnits, Unit); }

// --- Saved game ---

// The unit's saved field: 25 values, each followed by "~".
struct TUnit::TSavedRecord {
  // The zones named before the identifier are checked once it is read: their errors name it.
  struct TScratch {
    std::int32_t BaseZone = -1;
    std::int32_t DestinationZone = -1;
  };
  using TFields = TSavedFields<TUnit, TUnit, TScratch>;
  using Member = TMemberFields<TUnit, TScratch>;

  static TBrenmoorZone* ZoneAt(const TUnit& U, std::int32_t Index, const char* What) {
    if (Index < 0) return nullptr;
    if (Index >= U.FEngine->GetZoneCount())
      throw EBrenmoorEngine("Unit " + std::to_string(U.ID) + ": the " + What + " " + std::to_string(Index) + " is no zone");
    return U.FEngine->GetZone(Index);
  }
  static TNation* NationAt(const TUnit& U, std::int32_t Index, const char* What) {
    if (Index < 0) return nullptr;
    if (Index >= U.FEngine->GetNationCount())
      throw EBrenmoorEngine("Unit " + std::to_string(U.ID) + ": the " + What + " " + std::to_string(Index) + " is no nation");
    return U.FEngine->GetNation(Index);
  }
  // A code of an enumeration of Count values (an order, a kind), refused outside it.
  template <class TCode>
  static TFields::TField Code(const char* Name, TCode TUnit::*Member, int Count, const char* Noun) {
    return TFields::Field(Name, [Member](const TUnit& U) { return IntToStr(U.*Member); },
                          [Name, Member, Count, Noun](TUnit& U, TSavedValues& R) {
                            const std::int32_t Code = R.NextInt();
                            if (Code < 0 || Code >= Count)
                              throw EBrenmoorEngine("Unit " + std::to_string(U.ID) + ": the " + Name + " " + std::to_string(Code) +
                                                    " is no " + Noun);
                            U.*Member = static_cast<TCode>(Code);
                          });
  }

  static const TFields& Fields() {
    using F = TFields;
    using V = TSavedValues;
    static const TFields Table('~', {
      F::Field("counts", [](const TUnit& U) { return SavedValue::List(U.FCounts, [](std::uint16_t C) { return IntToStr(C); }); },
               [](TUnit& U, V& R) { SavedValue::ReadIntList(R, U.FCounts, FieldRange::Count); }),
      F::Field("type factors", [](const TUnit& U) { return SavedValue::List(U.FTypeFactors, [](float F) { return FormatTwoDecimals(F); }); },
               [](TUnit& U, V& R) { SavedValue::ReadFloatList(R, U.FTypeFactors, FieldRange::TypeFactor); }),
      Member::Flag("attacking", &TUnit::FAttacking),
      F::Field("base zone", [](const TUnit& U) { return SavedValue::IndexOf(U.FBaseZone); },
               [](TUnit&, V& R, TScratch& S) { S.BaseZone = SavedValue::LenientInt(R, FieldRange::Index); }),
      F::Field("destination unit", [](const TUnit& U) { return IntToStr(U.FDestinationUnit ? U.FDestinationUnit->ID : -1); },
               [](TUnit& U, V& R) { U.FDestinationUnitID = SavedValue::LenientInt(R, FieldRange::UnitIDOrNone); }),
      F::Field("destination zone", [](const TUnit& U) { return SavedValue::IndexOf(U.FDestinationZone); },
               [](TUnit&, V& R, TScratch& S) { S.DestinationZone = SavedValue::LenientInt(R, FieldRange::Index); }),
      Member::Text("destination unit name", &TUnit::FDestinationUnitName),
      Member::Single("experience", &TUnit::FExperience, FieldRange::Experience),
      F::Field("identifier", [](const TUnit& U) { return IntToStr(U.ID); }, [](TUnit& U, V& R) {
                 U.ID = SavedValue::LenientInt(R, FieldRange::UnitID);
                 R.SetRecord("Unit " + std::to_string(U.ID));
               }),
      F::Step("zones named before the identifier",
              [](TUnit& U, TScratch& S) {
                U.FBaseZone = ZoneAt(U, S.BaseZone, "base zone");
                U.FDestinationZone = ZoneAt(U, S.DestinationZone, "destination zone");
              }),
      Member::Int("ordinal", &TUnit::FOrdinal, FieldRange::Ordinal),
      Code("order", &TUnit::FOrder, OrderTypeCount, "order"),
      Member::Single("organization", &TUnit::FOrganization, FieldRange::Organization),
      F::Field("creating nation", [](const TUnit& U) { return SavedValue::IndexOf(U.FCreatingNation); },
               [](TUnit& U, V& R) { U.FCreatingNation = NationAt(U, SavedValue::LenientInt(R, FieldRange::Index), "creating nation"); }),
      F::Field("owner", [](const TUnit& U) { return SavedValue::IndexOf(U.FOwner); },
               [](TUnit& U, V& R) {
                 U.FOwner = NationAt(U, SavedValue::LenientInt(R, FieldRange::Index), "owner");
                 if (!U.FOwner) throw EBrenmoorEngine("Unit " + std::to_string(U.ID) + " has no owner");
               }),
      Member::Int("patrol step", &TUnit::FPatrolStep, FieldRange::PatrolPlace),
      Member::Int("patrol index", &TUnit::FPatrolIndex, FieldRange::PatrolPlace),
      Code("kind", &TUnit::FKind, UnitKindCount, "unit kind"),
      F::Field("zone", [](const TUnit& U) { return SavedValue::IndexOf(U.FZone); },
               [](TUnit& U, V& R) {
                 U.FLoadedZoneIndex = SavedValue::LenientInt(R, FieldRange::Index);
                 U.FZone = ZoneAt(U, U.FLoadedZoneIndex, "zone");
                 if (!U.FZone) throw EBrenmoorEngine("Unit " + std::to_string(U.ID) + " stands in no zone");
               }),
      F::Field("previous zone", [](const TUnit& U) { return SavedValue::IndexOf(U.FPreviousZone); },
               [](TUnit& U, V& R) { U.FPreviousZone = ZoneAt(U, SavedValue::LenientInt(R, FieldRange::Index), "previous zone"); }),
      // The units it carries are found by their identifiers once every unit is read.
      F::Field("based units", [](const TUnit& U) { return IDList(U.FBasedUnits); }, [](TUnit& U, V& R) { U.FBasedIDs = std::string(R.Next()); }),
      F::Field("boarded units", [](const TUnit& U) { return IDList(U.FBoardedUnits); },
               [](TUnit& U, V& R) { U.FBoardedIDs = std::string(R.Next()); }),
      F::Field("patrol zones", [](const TUnit& U) { return SavedValue::List(U.FPatrolZones, SavedValue::IndexOf<TBrenmoorZone>); },
               [](TUnit& U, V& R) {
                 U.FPatrolZones.clear();
                 TSavedValues L(R.Next(), '#');
                 while (!L.AtEnd()) U.FPatrolZones.push_back(ZoneAt(U, StrToIntDef(L.Next(), -1), "patrol zone"));
                 std::erase(U.FPatrolZones, nullptr);
               }),
      Member::Single("sort key", &TUnit::FSortKey, FieldRange::SortKey),
      // A submerged fleet is written surfaced, as the game has always loaded it; the live unit
      // stays submerged (surfacing it would change this machine's tallies).
      F::Field("submerged", [](const TUnit&) { return std::string("0"); }, [](TUnit& U, V& R) { U.FSubmerged = R.NextFlag(); }),
      Member::Text("custom name", &TUnit::FCustomName),
    });
    return Table;
  }
};

std::string TUnit::SaveToString() const { return TSavedRecord::Fields().Write(*this); }

void TUnit::LoadFromString(std::string_view Text) { TSavedRecord::Fields().Read(*this, Text, "Unit"); }

void TUnit::ResolveLoadedReferences() {
  // The target with the name the unit took when it was aimed at it, as the game was saved.
  if (TUnit* Target = FEngine->GetUnitByID(FDestinationUnitID)) Aim(Target);
  TTokenReader Based(FBasedIDs);
  while (!Based.AtEnd()) {
    TUnit* Unit = FEngine->GetUnitByID(StrToIntDef(Based.Next('#'), -1));
    if (!Unit || Unit == this) continue;
    if (Unit->FBaseUnit) Unit->FBaseUnit->RemoveBased(Unit);
    Unit->FBaseUnit = this;
    Unit->FBaseZone = nullptr;
    AddBased(Unit);
  }
  TTokenReader Boarded(FBoardedIDs);
  while (!Boarded.AtEnd()) {
    TUnit* Unit = FEngine->GetUnitByID(StrToIntDef(Boarded.Next('#'), -1));
    if (!Unit || Unit == this) continue;
    if (Unit->FTransport) Unit->FTransport->RemoveBoarded(Unit);
    Unit->FTransport = this;
    AddBoarded(Unit);
  }
}
