// The work every machine does around an impulse, identically and without random numbers or
// change records: the impulse preparation, visibility and the after-impulse upkeep.
#include <algorithm>
#include <limits>

#include "engine/UnitRules.h"
#include "engine/UpkeepRules.h"
#include "foundation/NumberText.h"

namespace {

// Sets the engine's local-only switch for the life of the guard and restores what it was.
class TLocalOnly {
public:
  explicit TLocalOnly(TBrenmoorEngine& Engine) : FEngine(Engine), FOld(Engine.GetLocalOnly()) { FEngine.SetLocalOnly(true); }
  ~TLocalOnly() { FEngine.SetLocalOnly(FOld); }
  TLocalOnly(const TLocalOnly&) = delete;
  TLocalOnly& operator=(const TLocalOnly&) = delete;

private:
  TBrenmoorEngine& FEngine;
  bool FOld;
};

// Two rectangles share at least one pixel (the right and bottom edges lie outside).
bool Intersects(const TRect& A, const TRect& B) {
  return !A.IsEmpty() && !B.IsEmpty() && A.Left < B.Right && B.Left < A.Right && A.Top < B.Bottom && B.Top < A.Bottom;
}

}  // namespace

// --- Zone presence and visibility ---

bool TBrenmoorZone::CountUnits(const TNation* Nation, bool Own, bool Enemy, bool Neutral, TUnitKinds Kinds) const {
  if (!Nation) return false;
  for (const auto& Unit : FUnits) {
    const TNation* Owner = Unit->GetOwner();
    if (!Owner || !(Kinds & KindBit(Unit->GetKind()))) continue;
    if (Owner == Nation && Own) return true;
    if (!Nation->GetAlliance().empty()) {
      if (Owner->GetAlliance().empty() && Neutral && Owner != Nation) return true;
      if (Owner->GetAlliance() == Nation->GetAlliance() && Own) return true;
      if (Owner->GetAlliance() != Nation->GetAlliance() && Enemy) return true;
    } else {
      const std::int32_t Relation = Nation->GetRelation(Owner);
      if (Relation >= 100 && Own) return true;
      if (Relation <= -100 && Enemy) return true;
      if (Neutral && Owner != Nation) return true;
    }
  }
  return false;
}

bool TBrenmoorZone::IsVisibleTo(const TNation* Nation) const {
  if (!Nation || Nation->GetIndex() < 0 || Nation->GetIndex() > 7) return false;
  return (FSeenBy >> Nation->GetIndex()) & 1u;
}

void TBrenmoorZone::SetVisibleTo(const TNation* Nation, bool Value) {
  if (!Nation || Nation->GetIndex() < 0 || Nation->GetIndex() > 7) return;
  const auto Bit = static_cast<std::uint8_t>(1u << Nation->GetIndex());
  FSeenBy = static_cast<std::uint8_t>(Value ? FSeenBy | Bit : FSeenBy & ~Bit);
}

bool TBrenmoorZone::IsVisibleToLocalPlayer() const {
  for (int I = 0; I < FEngine->GetMajorCount(); ++I) {
    const TNation* Nation = FEngine->GetNation(I);
    if (Nation->GetLocalPlayer() && !Nation->GetComputerPlayer() && IsVisibleTo(Nation)) return true;
  }
  return false;
}

std::int32_t TBrenmoorZone::GetTrueDistance(TBrenmoorZone* Other) { return FEngine->FindPathLength(this, Other); }

// --- Nations ---

void TNation::CountDownInfluence() {
  const auto Items = FInfluence.Items();
  for (auto It = Items.rbegin(); It != Items.rend(); ++It) {
    const std::int32_t Left = StrToIntDef(It->second, 0);
    if (Left <= 1)
      FInfluence.Delete(It->first);
    else
      FInfluence.Set(It->first, IntToStr(Left - 1));
  }
}

// --- The engine ---

void TUpkeepRules::BeginImpulse() {
  std::int64_t World = 0;
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = FEngine.GetZone(I);
    Zone->SetBombCount(0);
    Zone->SetStrikeCount(0);
    World += Zone->GetIndustry();
  }
  FEngine.SetWorldIndustry(static_cast<std::int32_t>(
      std::clamp<std::int64_t>(World, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max())));
  for (TUnit* Unit : FEngine.GetUnits()) {
    Unit->SetFought(false);
    Unit->SetSurfaced(false);
  }
}

void TUpkeepRules::UpdateVisibility(std::int32_t Impulse) {
  const int Majors = std::min(FEngine.GetMajorCount(), FEngine.GetNationCount());
  // A zone seen by N is seen by every major power allied with N too.
  const auto See = [&](TBrenmoorZone* Zone, const TNation* Nation) {
    std::uint8_t Bits = Zone->GetSeenBy();
    if (Nation->GetIndex() < Majors) Bits = static_cast<std::uint8_t>(Bits | (1u << Nation->GetIndex()));
    for (int M = 0; M < Majors; ++M)
      if (FEngine.GetNation(M)->IsAlliedWith(Nation)) Bits = static_cast<std::uint8_t>(Bits | (1u << M));
    Zone->SetSeenBy(Bits);
  };
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) FEngine.GetZone(I)->SetSeenBy(0);
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    TBrenmoorZone* Zone = FEngine.GetZone(I);
    for (int M = 0; M < Majors; ++M) {
      const TNation* Nation = FEngine.GetNation(M);
      const bool Owns = Zone->GetOwner() == Nation;
      if (Owns || Zone->CountAllUnits(Nation, true, false, false)) See(Zone, Nation);
      if (Owns)
        for (int K = 0; K < Zone->NeighbourCount(); ++K) See(Zone->GetNeighbor(K), Nation);
    }
  }
  // Destroyers look into the sea zones around them, more of them more often; the chance
  // comes from the impulse and the zone, the same on every machine.
  const auto Base = static_cast<std::uint32_t>(Impulse) * 31333u;
  for (const TUnit* Unit : FEngine.GetUnits()) {
    const TNation* Owner = Unit->GetOwner();
    if (!Owner || Owner->GetIndex() < 0 || Owner->GetIndex() >= Majors || !Unit->GetZone()) continue;
    if (Unit->GetOrder() == ordRecon) {
      for (int K = 0; K < Unit->GetPatrolZoneCount(); ++K)
        if (Unit->GetPatrolZone(K)) See(Unit->GetPatrolZone(K), Owner);
      continue;
    }
    const std::int32_t Destroyers = Unit->GetCount(utDestroyer);
    if (Destroyers <= 0) continue;
    for (int K = 0; K < Unit->GetZone()->NeighbourCount(); ++K) {
      TBrenmoorZone* Zone = Unit->GetZone()->GetNeighbor(K);
      if (Zone->GetSea() == 0) continue;
      const auto V = static_cast<std::int32_t>(Base * static_cast<std::uint32_t>(Zone->GetIndex()));
      if (10 * Destroyers > V % 100) See(Zone, Owner);
    }
  }
  for (const auto& Nation : FEngine.GetNations())
    for (const auto& [Name, Value] : Nation->GetInfluenceList().Items()) {
      if (StrToIntDef(Value, 0) <= 0) continue;
      const std::int32_t Index = StrToIntDef(Name, -1);
      if (Index < 0 || Index >= FEngine.GetNationCount()) continue;
      const TNation* Influenced = FEngine.GetNation(Index);
      for (int I = 0; I < FEngine.GetZoneCount(); ++I)
        if (FEngine.GetZone(I)->GetOwner() == Influenced) See(FEngine.GetZone(I), Nation.get());
    }
}

void TUpkeepRules::RebaseHomelessAirUnit(TUnit* Unit) {
  if (!Unit || !Unit->GetZone()) return;
  TBrenmoorZone* Start = Unit->GetBaseUnit() && Unit->GetBaseUnit()->GetZone() ? Unit->GetBaseUnit()->GetZone() : Unit->GetZone();
  std::int32_t Budget = Unit->GetRange();
  const TNation* Owner = Unit->GetOwner();
  // Depth first with one budget for the whole search: the neighbours first, then, while the
  // budget lasts, the neighbours' neighbours.
  const auto Search = [&](const auto& Self, TBrenmoorZone* Zone) -> TBrenmoorZone* {
    for (int I = 0; I < Zone->NeighbourCount(); ++I) {
      TBrenmoorZone* N = Zone->GetNeighbor(I);
      if (N->GetSea() == 0 && N->GetOwner() && N->GetOwner()->IsAlliedWith(Owner)) return N;
    }
    if (Budget <= 0) return nullptr;
    --Budget;
    for (int I = 0; I < Zone->NeighbourCount(); ++I)
      if (TBrenmoorZone* Found = Self(Self, Zone->GetNeighbor(I))) return Found;
    return nullptr;
  };
  if (TBrenmoorZone* Home = Search(Search, Start)) {
    Unit->LeaveBase(Home);
    // Every machine repeats this move: it draws no organisation loss.
    Unit->MoveToZone(Home, mmReplay);
    Unit->SetOrder(ordNone);
  } else {
    TUnitRules::UntallyUnit(Unit);
    Unit->Remove(false);
    FEngine.FreeUnit(Unit);
  }
}

void TUpkeepRules::EndImpulseUpkeep(std::int32_t Impulse) {
  TLocalOnly LocalOnly(FEngine);

  // 1. Storm cover: a zone is under a storm when one of its corners lies inside it.
  for (int I = 0; I < FEngine.GetZoneCount(); ++I) {
    FEngine.ProcessPendingMessages();
    TBrenmoorZone* Zone = FEngine.GetZone(I);
    Zone->SetStorm(false);
    for (const auto& Storm : FEngine.GetStorms()) {
      const TRect Rect{Storm->X, Storm->Y, Storm->X + Storm->Width, Storm->Y + Storm->Height};
      if (!Intersects(Rect, Zone->GetBounds())) continue;
      if (std::any_of(Zone->GetPoints().begin(), Zone->GetPoints().end(), [&](const TPoint& P) { return Rect.Contains(P); })) {
        Zone->SetStorm(true);
        break;
      }
    }
  }

  // 2. Homeless air units, in unit-list order; a unit taken out goes alone, so the others
  // are found again by their identifiers.
  std::vector<std::int32_t> AirUnits;
  for (const TUnit* Unit : FEngine.GetUnits())
    if (Unit->GetKind() == ukAirForce) AirUnits.push_back(Unit->ID);
  for (const std::int32_t ID : AirUnits) {
    FEngine.ProcessPendingMessages();
    TUnit* Unit = FEngine.GetUnitByID(ID);
    if (!Unit) continue;
    bool Homeless;
    if (TUnit* Carrier = Unit->GetBaseUnit()) {
      Homeless = Carrier->GetCarrierRoom() < 0;
    } else {
      const TBrenmoorZone* Base = Unit->GetBaseZone();
      Homeless = !Base || !Base->GetOwner() || !Base->GetOwner()->IsAlliedWith(Unit->GetOwner());
    }
    if (Homeless) RebaseHomelessAirUnit(Unit);
  }

  // 3. Diplomatic actions come back at the nation's interval, up to three.
  for (const auto& Nation : FEngine.GetNations()) {
    if (!Nation->GetMajorPower() || !Nation->GetAlive()) continue;
    const std::int32_t Interval = Nation->GetDiplomaticActionInterval();
    if (Interval > 0 && Nation->GetDiplomaticActions() < 3 && Impulse % Interval == 0)
      Nation->SetDiplomaticActions(static_cast<std::uint8_t>(Nation->GetDiplomaticActions() + 1));
  }

  // 4. Countdowns and influence.
  for (const auto& Nation : FEngine.GetNations()) {
    FEngine.ProcessPendingMessages();
    if (Nation->GetCountdown() > 0) Nation->SetCountdown(Nation->GetCountdown() - 1);
    Nation->CountDownInfluence();
  }

  // 5. Active events: a negative duration lasts for ever; one at 0 ends.
  for (int I = FEngine.GetActiveEventCount() - 1; I >= 0; --I) {
    TActiveEvent* Event = FEngine.GetActiveEvent(I);
    if (Event->Duration < 0) continue;
    if (Event->Duration > 0) --Event->Duration;
    if (Event->Duration == 0) FEngine.DeleteActiveEvent(Event);
  }

  // 6. Alliances (not in a free-for-all).
  if (!FEngine.GetFreeForAll()) JoinAlliances();
  // 7. Players who play nothing any more leave (not in an all-computer game).
  if (!FEngine.GetAllComputer()) RemoveIdlePlayers();
  // 8. and 9. Dominations and the winner.
  FindWinner(Impulse);
}

// A major power without an alliance joins the first whose living major members all stand at
// 100 with it, both ways, and is at war with every other alliance's members.
void TUpkeepRules::JoinAlliances() {
  const auto Members = [this](const std::string& Alliance) {
    std::vector<TNation*> Result;
    for (const auto& M : FEngine.GetNations())
      if (M->GetAlive() && M->GetMajorPower() && M->GetAlliance() == Alliance) Result.push_back(M.get());
    return Result;
  };
  for (const auto& Nation : FEngine.GetNations()) {
    TNation* N = Nation.get();
    if (!N->GetAlive() || !N->GetMajorPower() || !N->GetAlliance().empty()) continue;
    for (const std::string& Alliance : FEngine.GetAlliances()) {
      const auto InIt = Members(Alliance);
      const bool Admitted = std::all_of(InIt.begin(), InIt.end(), [N](const TNation* M) {
        return N->GetRelation(M) == 100 && M->GetRelation(N) == 100;
      });
      if (!Admitted) continue;
      for (const std::string& Other : FEngine.GetAlliances()) {
        if (Other == Alliance) continue;
        for (TNation* M : Members(Other)) {
          N->SetRelation(M, -100);
          M->SetRelation(N, -100);
        }
      }
      N->SetAlliance(Alliance);
      FEngine.Fire(FEngine.OnAlliance, N);
      // A nation belongs to one alliance: once in, the scan for it ends.
      break;
    }
  }
}

// Players who play nothing any more leave.
void TUpkeepRules::RemoveIdlePlayers() {
  const auto PlaysAliveMajor = [this](const std::string& Name) {
    return std::any_of(FEngine.GetNations().begin(), FEngine.GetNations().end(),
                       [&](const auto& N) { return N->GetAlive() && N->GetMajorPower() && N->GetPlayerName() == Name; });
  };
  if (FEngine.IsSoloGame()) {
    const bool AllComputer = std::all_of(FEngine.GetNations().begin(), FEngine.GetNations().end(), [](const auto& N) {
      return !N->GetAlive() || !N->GetMajorPower() || N->GetComputerPlayer();
    });
    if (AllComputer) FEngine.Fire(FEngine.OnRemovePlayer, std::string(SoloPlayerName));
  } else if (FEngine.GetImpulseUsers()) {
    for (int I = FEngine.GetImpulseUsers()->GetUserCount() - 1; I >= 0; --I) {
      const std::string Name = FEngine.GetImpulseUsers()->GetUserName(I);
      if (PlaysAliveMajor(Name)) continue;
      FEngine.GetImpulseUsers()->MarkUserRemoved(Name);
      FEngine.Fire(FEngine.OnRemovePlayer, Name);
    }
  }
}

// The dominations, then the first victory condition met names the winner.
void TUpkeepRules::FindWinner(std::int32_t Impulse) {
  // 8. Dominations.
  FEngine.SetWinner({}, nullptr);
  const auto AllianceDomination = [this](const std::string& Alliance) {
    std::int64_t Sum = 0;
    for (const auto& N : FEngine.GetNations())
      if (N->GetAlliance() == Alliance) Sum += N->GetWorldDomination();
    return Sum;
  };
  std::vector<std::int32_t> Dominations;
  for (const std::string& Alliance : FEngine.GetAlliances())
    Dominations.push_back(static_cast<std::int32_t>(std::min<std::int64_t>(AllianceDomination(Alliance), std::numeric_limits<std::int32_t>::max())));
  FEngine.SetAllianceDominations(std::move(Dominations));

  // 9. The first victory condition met names the winner.
  for (const auto& Condition : FEngine.GetVictoryConditions()) {
    const TNation* Subject = Condition->SubjectIsNation() ? FEngine.FindNation(Condition->Subject) : nullptr;
    bool Met = false;
    switch (Condition->Kind) {
      case 0: Met = Subject && Subject->GetWorldDomination() >= Condition->Target; break;
      case 1: Met = AllianceDomination(Condition->Subject) >= Condition->Target; break;
      case 2: Met = Subject && Subject->GetWorldDomination() <= Condition->Target; break;
      case 3: Met = AllianceDomination(Condition->Subject) <= Condition->Target; break;
      // A fallen nation stays in the list; only one still alive has survived.
      case 4: Met = Subject && Subject->GetAlive() && Impulse >= Condition->Target; break;
      default: break;
    }
    if (!Met) continue;
    if (Condition->WinnerIsNation)
      FEngine.SetWinner({}, FEngine.FindNation(Condition->Winner));
    else
      FEngine.SetWinner(Condition->Winner, nullptr);
    break;
  }
}

std::int32_t TUpkeepRules::GetAllianceDomination(const std::string& AllianceName) const {
  std::int32_t Sum = 0;
  for (const auto& Nation : FEngine.GetNations())
    if (Nation->GetMajorPower() && Nation->GetAlliance() == AllianceName) Sum += Nation->GetWorldDomination();
  return Sum;
}
