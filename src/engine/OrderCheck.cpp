// The host's check of every order record against the user who sent it, before the order
// stage carries it out: a peer may order only what its powers own, only what the unit can do
// now, only counts the unit or zone has, and only clean texts. A record that fails is skipped
// silently, as a computer player's order that the rules refuse.
#include <algorithm>
#include <array>

#include "engine/BrenmoorEngine.h"
#include "engine/OrderRecord.h"
#include "foundation/NumberText.h"

namespace OrderRecord {

bool ReadIntList(std::string List, std::vector<std::int32_t>& Values) {
  Values.clear();
  while (!List.empty()) {
    const auto Value = TryStrToInt(NextToken(List, "#"));
    if (!Value) return false;
    Values.push_back(*Value);
  }
  return true;
}

bool ReadZoneList(const TBrenmoorEngine& Engine, std::string List, std::vector<TBrenmoorZone*>& Zones) {
  Zones.clear();
  std::vector<std::int32_t> Indices;
  if (!ReadIntList(std::move(List), Indices)) return false;
  for (const std::int32_t I : Indices) {
    if (I < 0 || I >= Engine.GetZoneCount()) return false;
    Zones.push_back(Engine.GetZone(I));
  }
  return true;
}

TBuildFigures ReadBuild(std::string List) {
  TBuildFigures B;
  for (int T = 0; T < UnitTypeCount; ++T) {
    const auto& Type = UnitTypes[static_cast<std::size_t>(T)];
    const std::uint16_t Count = static_cast<std::uint16_t>(std::clamp<std::int32_t>(NextTokenInt(List, "#"), 0, 65535));
    B.Counts[static_cast<std::size_t>(T)] = Count;
    if (Count > 0) B.EventKind = Type.Kind;
    B.Total += static_cast<float>(Count) * Type.Production;
    B.Cost += static_cast<double>(Count) * Type.Resources;
  }
  return B;
}

std::string CountsText(const std::array<std::uint16_t, UnitTypeCount>& Counts) {
  std::string S;
  for (const std::uint16_t N : Counts) S += IntToStr(N) + "#";
  return S;
}

bool IsFormationText(std::string Text) {
  for (int T = 0; T < UnitTypeCount; ++T) {
    // A missing field is one that SetFormations cannot read either.
    const std::string Field = NextToken(Text, "#");
    if (Field != "-" && !TryStrToInt(Field)) return false;
  }
  return true;
}

bool IsFormationChoice(std::string Text) {
  for (int T = 0; T < UnitTypeCount; ++T) {
    const std::string Field = NextToken(Text, "#");
    if (Field == "-") continue;
    const auto Weight = TryStrToInt(Field);
    if (!Weight || *Weight < FormationWeightLowest || *Weight > FormationWeightHighest || *Weight % FormationWeightStep != 0)
      return false;
  }
  return true;
}

}  // namespace OrderRecord

namespace {

// The fields each order code needs after its code, "i" an integer (a zone, nation or unit too),
// "t" a text. The diplomatic order needs its target and action only while actions are left.
constexpr std::array<const char*, OrderTypeCount> OrderShapes = {
    "i",   "ii",  "i",   "i",  "it", "ii",  "it",   "iii",  "ii",   "ii", "ii", "it", "ii", "ii", "",
    "i",   "it",  "iii", "ii", "iit", "i",  "ii",   "ii",   "ii",   "iii", "it", "",   "i",  "ii", "i",
    "i",   "it",  "ii",  "i",  "i",  "i",   "iiit", "iiit", "i",    "it",  "ii", "i",  "ii", "t"};

// Whether the record holds the fields of the shape after its code, each ended by ";", the
// integers readable as integers.
bool HasShape(const std::string& Record, const char* Shape) {
  std::size_t At = Record.find(';');
  for (const char* K = Shape; *K; ++K) {
    if (At == std::string::npos) return false;
    const std::size_t End = Record.find(';', At + 1);
    if (End == std::string::npos) return false;
    if (*K == 'i' && !TryStrToInt(std::string_view(Record).substr(At + 1, End - At - 1))) return false;
    At = End;
  }
  return true;
}

}  // namespace

bool TBrenmoorEngine::SenderPlays(const std::string& Sender, const TNation* Nation) const {
  if (!Nation) return false;
  if (Nation->GetMajorPower() && !Nation->GetComputerPlayer()) return Nation->GetPlayerName() == Sender;
  // The computer's powers and the minor nations obey the machine that runs the rules.
  if (!FImpulseUsers || FImpulseUsers->GetUserCount() == 0) return true;
  return FImpulseUsers->GetUserName(0) == Sender;
}

bool TBrenmoorEngine::CheckOrder(const std::string& Record, const std::string& Sender) const {
  using namespace OrderRecord;
  // No text of a record may carry the delimiters of the messages around it.
  if (Record.find_first_of("~|") != std::string::npos) return false;
  // A record cut short or with words for numbers is no order anyone's program writes.
  const auto Read = TryStrToInt(std::string_view(Record).substr(0, Record.find(';')));
  if (!Read || Record.find(';') == std::string::npos) return false;
  const int Code = *Read & 0xFF;
  if (Code >= OrderTypeCount || !HasShape(Record, OrderShapes[static_cast<std::size_t>(Code)])) return false;
  TRecordFields F(Record);
  F.Int();

  const auto ZoneAt = [this](std::int32_t I) -> TBrenmoorZone* { return I >= 0 && I < GetZoneCount() ? GetZone(I) : nullptr; };
  const auto NationAt = [this](std::int32_t I) -> TNation* { return I >= 0 && I < GetNationCount() ? GetNation(I) : nullptr; };
  const auto Plays = [&](const TNation* N) { return SenderPlays(Sender, N); };
  const auto OwnUnit = [&](const TUnit* U) { return U && U->GetOwner() && Plays(U->GetOwner()); };
  const auto OwnZone = [&](const TBrenmoorZone* Z) { return Z && Z->GetOwner() && Plays(Z->GetOwner()); };
  const auto Takes = [](const TUnit* U, TOrderType Order) { return U->CanTakeOrder().Contains(Order); };
  // A unit that the sender owns and that can take the order now.
  const auto Ordered = [&](const TUnit* U, TOrderType Order) { return OwnUnit(U) && Takes(U, Order); };
  const auto Ship = [&](const TUnit* S, const TUnit* U) { return OwnUnit(S) && S->GetKind() == ukNavy && S != U; };
  // Every identifier a known unit and none twice.
  const auto ReadUnits = [this](const std::string& List, std::vector<TUnit*>& Units) {
    std::vector<std::int32_t> IDs;
    if (!ReadIntList(List, IDs) || IDs.empty()) return false;
    Units.clear();
    for (const std::int32_t ID : IDs) {
      TUnit* U = GetUnitByID(ID);
      if (!U || std::find(Units.begin(), Units.end(), U) != Units.end()) return false;
      Units.push_back(U);
    }
    return true;
  };

  switch (static_cast<TOrderType>(Code)) {
    case ordNone: {
      const TUnit* U = GetUnitByID(F.Int());
      return OwnUnit(U) && (U->GetOrder() == ordNone || Takes(U, ordNone));
    }
    case ordMove: case ordDock: case ordInvade: case ordBombard: case ordDisembark: case ordRebase: case ordAirStrike: case ordBomb: {
      const TBrenmoorZone* Z = ZoneAt(F.Int());
      return Z && Ordered(GetUnitByID(F.Int()), static_cast<TOrderType>(Code));
    }
    case ordLaunch: case ordRetreat: case ordReturnToBase: case ordSurface: case ordSubmerge: case ordKamakaze:
      return Ordered(GetUnitByID(F.Int()), static_cast<TOrderType>(Code));
    case ordMerge: {
      const TBrenmoorZone* Z = ZoneAt(F.Int());
      std::vector<TUnit*> Units;
      if (!Z || !ReadUnits(F.Text(), Units)) return false;
      for (const TUnit* U : Units)
        if (!OwnUnit(U) || U->GetZone() != Z) return false;
      return CanMergeUnits(Units);
    }
    case ordDivide: {
      const TUnit* U = GetUnitByID(F.Int());
      std::vector<std::int32_t> Counts;
      if (!Ordered(U, ordDivide) || !ReadIntList(F.Text(), Counts) || Counts.size() > UnitTypeCount) return false;
      std::int64_t Total = 0;
      for (std::size_t T = 0; T < Counts.size(); ++T) {
        if (Counts[T] < 0 || Counts[T] > U->GetCount(static_cast<int>(T))) return false;
        Total += Counts[T];
      }
      return Total > 0;
    }
    case ordEmbark: case ordRebaseCarrier: {
      F.Int();
      const TUnit* U = GetUnitByID(F.Int());
      const TUnit* S = GetUnitByID(F.Int());
      // A transport or carrier of an ally takes the sender's units as well as one of its own.
      const bool Friendly = S && U && S->GetOwner() && U->GetOwner() && S->GetOwner()->IsAlliedWith(U->GetOwner());
      return Ordered(U, Code == ordEmbark ? ordEmbark : ordRebase) && S && S->GetKind() == ukNavy && S != U &&
             (OwnUnit(S) || Friendly);
    }
    case ordIntercept: {
      const TUnit* U = GetUnitByID(F.Int());
      return Ordered(U, ordIntercept) && GetUnitByID(F.Int());
    }
    case ordPatrol: case ordRecon: {
      const TUnit* U = GetUnitByID(F.Int());
      std::vector<TBrenmoorZone*> Zones;
      return Ordered(U, static_cast<TOrderType>(Code)) && ReadZoneList(*this, F.Text(), Zones) && Zones.size() >= 2;
    }
    case ordAtomicBomb: case ordBaseHere: return true;
    case ordRoute: {
      const TBrenmoorZone* From = ZoneAt(F.Int());
      const TBrenmoorZone* To = ZoneAt(F.Int());
      return OwnZone(From) && To && F.Int() > 0;
    }
    case ordAutoRoute: case ordPortZone: {
      const TBrenmoorZone* From = ZoneAt(F.Int());
      const TBrenmoorZone* To = ZoneAt(F.Int());
      if (!OwnZone(From) || !To) return false;
      // A port zone is a sea zone beside the zone.
      return Code == ordAutoRoute || (To->GetSea() != 0 && From->IsNeighbour(To));
    }
    case ordBuildUnit: {
      const TBrenmoorZone* From = ZoneAt(F.Int());
      const std::int32_t Kind = F.Int();
      std::vector<std::int32_t> Counts;
      if (!OwnZone(From) || Kind < ukArmy || Kind > ukNavy || !ReadIntList(F.Text(), Counts) || Counts.size() > UnitTypeCount)
        return false;
      std::int64_t Total = 0;
      for (std::size_t T = 0; T < Counts.size(); ++T) {
        if (Counts[T] < 0 || Counts[T] > 65535) return false;
        // One unit of the order's kind: a fleet holds no infantry.
        if (Counts[T] > 0 && UnitTypes[T].Kind != Kind) return false;
        Total += Counts[T];
      }
      return Total > 0;
    }
    case ordBuildFactory: case ordBuildRocket: case ordBuildAirfield: case ordBuildPort: return OwnZone(ZoneAt(F.Int()));
    case ordBuildBorder: {
      const TBrenmoorZone* From = ZoneAt(F.Int());
      const TBrenmoorZone* Neighbour = ZoneAt(F.Int());
      return OwnZone(From) && Neighbour && From->IsNeighbour(Neighbour);
    }
    case ordFormations: {
      const TNation* N = NationAt(F.Int());
      return Plays(N) && IsFormationChoice(F.Text());
    }
    case ordDiplomatic: {
      const TNation* N = NationAt(F.Int());
      if (!Plays(N)) return false;
      return N->GetDiplomaticActions() == 0 || (HasShape(Record, "iii") && NationAt(F.Int()));
    }
    case ordDeclareWar: {
      const TNation* N = NationAt(F.Int());
      return Plays(N) && NationAt(F.Int());
    }
    case ordResearch: {
      const TNation* N = NationAt(F.Int());
      std::vector<std::int32_t> Values;
      if (!Plays(N) || !ReadIntList(F.Text(), Values) || Values.size() > 1 + ResearchGroupCount) return false;
      for (std::size_t I = 0; I < Values.size(); ++I)
        if (Values[I] < 0 || (I > 0 && Values[I] > 255)) return false;
      return true;
    }
    case ordTargetRockets: {
      const TBrenmoorZone* Target = ZoneAt(F.Int());
      const TBrenmoorZone* Site = ZoneAt(F.Int());
      return Target && OwnZone(Site);
    }
    case ordEmbarkDivide: case ordRebaseDivide: {
      F.Int();
      const TBrenmoorZone* At = ZoneAt(F.Int());
      const TUnit* S = GetUnitByID(F.Int());
      std::vector<TUnit*> Units;
      if (!Ship(S, nullptr) || !ReadUnits(F.Text(), Units)) return false;
      if (Code == ordRebaseDivide && (!At || At != S->GetZone())) return false;
      for (const TUnit* U : Units) {
        if (U == S) return false;
        if (Code == ordEmbarkDivide ? !Ordered(U, ordEmbark) : (U->GetKind() != ukAirForce || !Ordered(U, ordRebase))) return false;
      }
      return true;
    }
    case ordRenameUnit: return OwnUnit(GetUnitByID(F.Int()));
    case ordGlobalRoute: {
      const TBrenmoorZone* From = ZoneAt(F.Int());
      return OwnZone(From) && F.Int() > 0;
    }
    case ordGlobalClear: return Plays(NationAt(F.Int()));
    case ordSurrender: {
      const std::string Name = F.Text();
      return !Name.empty() && Name == Sender;
    }
  }
  return false;
}
