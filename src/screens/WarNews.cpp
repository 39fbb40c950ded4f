#include "screens/WarNews.h"

#include <algorithm>
#include <cmath>

#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/DiplomacyTypes.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/NumberText.h"
#include "foundation/Random.h"
#include "foundation/StringUtils.h"

// --- Happenings ---

TWarNotice ReinforcementNotice(const std::string& ZoneName) {
  return {"Reinforcements arrived at " + ZoneName, npNotify, NoticeYellow, false};
}

namespace {
TWarNotice LocalUpgrade(const TNation& Nation, std::string Text) {
  if (!Nation.GetLocalPlayer()) return {};
  return {std::move(Text), npNotify, NoticeGreen, false};
}

TWarNotice BetweenTwo(const TNation& A, const TNation& B, const std::string& Verb) {
  const bool Major = A.GetMajorPower() || B.GetMajorPower();
  return {A.GetName() + Verb + B.GetName() + "!", Major ? npMessage : npNone, Major ? NoticeCyan : 0u, true};
}

TWarNotice NewsOnly(std::string Text) { return {std::move(Text), npNone, 0, true}; }
}  // namespace

TWarNotice UnitTypeUpgradeNotice(const TNation& Nation, TUnitType Type) {
  const std::string Name = Type < UnitTypeCount ? UnitTypes[Type].Name : "";
  return LocalUpgrade(Nation, Nation.GetName() + " Received Tech Upgrade for " + Name);
}

TWarNotice TechUpgradeNotice(const TNation& Nation, int Group) {
  const std::string Name = Group >= 0 && Group < ResearchGroupCount ? ResearchGroupNames[std::size_t(Group)] : "";
  return LocalUpgrade(Nation, Nation.GetName() + " Recieved Tech Upgrade in " + Name);
}

TWarNotice AlliesNotice(const TNation& A, const TNation& B) { return BetweenTwo(A, B, " has allied with "); }
TWarNotice WarNotice(const TNation& A, const TNation& B) { return BetweenTwo(A, B, " has declared war on "); }

TWarNotice AllianceNotice(const TNation& Nation) {
  return {Nation.GetName() + " has joined " + Nation.GetAlliance(), npMessage, NoticeYellow, true};
}

TWarNotice ExileNotice(const TNation& Nation, const TNation& Host) {
  return NewsOnly(Nation.GetName() + " has set up a govt in exile in " + Host.GetName());
}

TWarNotice CoupNotice(const TNation& Nation) {
  return NewsOnly("A coup has occurred in " + Nation.GetName() + " and a new government has taken power");
}

TWarNotice AtomicBombNotice(const TNation& Nation, const std::string& ZoneName) {
  return NewsOnly(Nation.GetName() + " has dropped an Atomic Bomb on " + ZoneName + "!");
}

TWarNotice DiplomacyNotice(const TNation& Actor, int Outcome, const TNation& Target) {
  const std::string& A = Actor.GetName();
  const std::string& T = Target.GetName();
  switch (Outcome) {
    case drDenounced: return NewsOnly(A + " denounces the recent actions of " + T + ".");
    case drPropagandaFound: return NewsOnly("It has been learned that " + A + " has undertakne a propaganda campaign in " + T + ".");
    case drPressureResisted: return NewsOnly(A + " pressures " + T + ", but " + T + " is not moved by the demands.");
    case drPressureYielded: return NewsOnly(A + " pressures " + T + " to capitulate, and " + T + " gives in to the demands.");
    case drSummitFailed: return NewsOnly(A + " and " + T + " concluded a Summit, but could not agreee on several important matters.");
    case drSummitTriumph: return NewsOnly(A + " and " + T + " concluded a Summit, and made some astounding strides forward!");
    case drSummitAgreed: return NewsOnly(A + " and " + T + " concluded a Summit, and found common ground on many important issues.");
    case drAgentCaught: return NewsOnly(A + " has apprehended an enemy agent in " + T + ".");
    case drRebelAidFound: return NewsOnly(A + " was discovered aiding the Rebels in " + T + ".");
    case drGovernmentAidFound: return NewsOnly("It has been discovered that " + A + " has been offering aid to " + T + ".");
    default: return {};
  }
}

TWarNotice ConquestNotice(const TNation& Conquered, const TNation& Conqueror) {
  if (Conquered.GetRelation(&Conqueror) >= 100) return {};
  return {Conquered.GetName() + " has been conquered by " + Conqueror.GetName() + "!", npMessage, NoticeRed, true};
}

// --- News items ---

std::string NewsMessageItem(std::int32_t Day, const std::string& Text) {
  return Tokenize(";", 'M', Day, Text.substr(0, Text.find(';')));
}

namespace {
std::string NationName(const TBrenmoorEngine& Engine, std::int32_t I) {
  return I >= 0 && I < Engine.GetNationCount() ? Engine.GetNation(I)->GetName() : "?";
}
std::string ZoneName(const TBrenmoorEngine& Engine, std::int32_t I) {
  return I >= 0 && I < Engine.GetZoneCount() ? Engine.GetZone(I)->GetName() : "?";
}
std::int32_t IndexOf(const TNation* Nation) { return Nation ? Nation->GetIndex() : -1; }
std::int32_t IndexOf(const TBrenmoorZone* Zone) { return Zone ? Zone->GetIndex() : -1; }

// The sentences of the items of a nation and a zone: the words between them and the end.
struct TNationZoneSentence {
  char Letter;
  const char* Middle;
  const char* End;
};
constexpr TNationZoneSentence NationZoneSentences[] = {
    {'A', " has launched an air strike into ", "!"}, {'B', " is bombarding ", "!"},
    {'C', " has conquered ", "!"},                   {'I', " has invaded ", "!"},
    {'K', " has launched a rocket attack into ", "!"}, {'O', " has launched a bombing raid into ", "!"}};
}  // namespace

std::string NewsLine(const TBrenmoorEngine& Engine, const std::string& Item) {
  TTokenReader Fields(Item);
  const std::string_view Letter = Fields.Next(';');
  const std::string Date = DateToStr(Fields.NextInt(';')) + "- ";
  if (Letter.size() != 1) return "";
  for (const TNationZoneSentence& S : NationZoneSentences)
    if (Letter[0] == S.Letter) {
      const std::string Nation = NationName(Engine, Fields.NextInt(';'));
      return Date + Nation + S.Middle + ZoneName(Engine, Fields.NextInt(';')) + S.End;
    }
  switch (Letter[0]) {
    case 'L': return Date + ZoneName(Engine, Fields.NextInt(';')) + " has been Liberated!";
    case 'M': return Date + std::string(Fields.Next(';'));
    case 'R': return Date + "Attacking forces were repulsed at " + ZoneName(Engine, Fields.NextInt(';')) + ".";
    default: return "";
  }
}

std::int32_t TWarNews::Today() const { return static_cast<std::int32_t>(std::trunc(FEngine.GetDate())); }

void TWarNews::Insert(std::string Text, std::int32_t Zone) {
  FItems.push_front({std::move(Text), Zone});
  if (OnInsert) OnInsert(FItems.front());
}

void TWarNews::InsertNationZone(char Letter, const TNation* Nation, const TBrenmoorZone* Zone) {
  Insert(Tokenize(";", Letter, Today(), IndexOf(Nation), IndexOf(Zone)), IndexOf(Zone));
}

void TWarNews::Begin(TStandingKind Kind, const TNation* Nation, const TBrenmoorZone* Zone) {
  FStanding[Kind].push_back({IndexOf(Nation), FEngine.GetImpulse(), IndexOf(Zone), IndexOf(Zone ? Zone->GetOwner() : nullptr)});
}

int TWarNews::FindStandingAction(TStandingKind Kind, const TNation* Nation, const TBrenmoorZone* Zone) const {
  const std::vector<TStandingAction>& List = FStanding[Kind];
  for (std::size_t I = 0; I < List.size(); ++I)
    if (List[I].Nation == IndexOf(Nation) && List[I].Zone == IndexOf(Zone)) return static_cast<int>(I);
  return -1;
}

void TWarNews::AddConquest(const TNation* Nation, const TBrenmoorZone* Zone) {
  InsertNationZone('C', Nation, Zone);
  if (const int I = FindStandingAction(skInvasion, Nation, Zone); I >= 0)
    FStanding[skInvasion].erase(FStanding[skInvasion].begin() + I);
}

void TWarNews::AddInvasion(const TNation* Nation, const TBrenmoorZone* Zone) {
  if (Has(skInvasion, Nation, Zone)) return;
  InsertNationZone('I', Nation, Zone);
  Begin(skInvasion, Nation, Zone);
}

void TWarNews::AddLiberation(const TBrenmoorZone* Zone) {
  Insert(Tokenize(";", 'L', Today(), IndexOf(Zone)), IndexOf(Zone));
}

void TWarNews::AddMessage(const std::string& Text, const TBrenmoorZone* Zone) {
  Insert(NewsMessageItem(Today(), Text), IndexOf(Zone));
}

void TWarNews::AddAirStrike(const TNation* Nation, const TBrenmoorZone* Zone) {
  if (Has(skAirStrike, Nation, Zone) || Has(skInvasion, Nation, Zone)) return;
  InsertNationZone('A', Nation, Zone);
  Begin(skAirStrike, Nation, Zone);
}

void TWarNews::AddBombardment(const TNation* Nation, const TBrenmoorZone* Zone) {
  if (const int I = FindStandingAction(skBombardment, Nation, Zone); I >= 0) {
    FStanding[skBombardment][std::size_t(I)].Impulse = FEngine.GetImpulse();
    return;
  }
  if (Has(skAirStrike, Nation, Zone) || Has(skInvasion, Nation, Zone)) return;
  InsertNationZone('B', Nation, Zone);
  Begin(skBombardment, Nation, Zone);
}

void TWarNews::AddRocketAttack(const TNation* Nation, const TBrenmoorZone* Zone) {
  if (Has(skRocketAttack, Nation, Zone)) return;
  InsertNationZone('K', Nation, Zone);
  Begin(skRocketAttack, Nation, Zone);
}

void TWarNews::AddBombingRaid(const TNation* Nation, const TBrenmoorZone* Zone) {
  if (Has(skBombingRaid, Nation, Zone)) return;
  InsertNationZone('O', Nation, Zone);
  Begin(skBombingRaid, Nation, Zone);
}

void TWarNews::ExpireStandingActions() {
  const std::int32_t Impulse = FEngine.GetImpulse();
  auto ZoneOf = [&](const TStandingAction& A) {
    return A.Zone >= 0 && A.Zone < FEngine.GetZoneCount() ? FEngine.GetZone(A.Zone) : nullptr;
  };
  auto NationOf = [&](const TStandingAction& A) {
    return A.Nation >= 0 && A.Nation < FEngine.GetNationCount() ? FEngine.GetNation(A.Nation) : nullptr;
  };
  // Each list from its last entry to its first; Ended says whether the action is over.
  auto Walk = [&](TStandingKind Kind, const std::function<bool(const TStandingAction&, TBrenmoorZone&, TNation&)>& Ended) {
    std::vector<TStandingAction>& List = FStanding[Kind];
    for (std::size_t I = List.size(); I-- > 0;) {
      TBrenmoorZone* Zone = ZoneOf(List[I]);
      TNation* Nation = NationOf(List[I]);
      if (!Zone || !Nation || Ended(List[I], *Zone, *Nation)) List.erase(List.begin() + std::ptrdiff_t(I));
    }
  };
  Walk(skInvasion, [&](const TStandingAction& A, TBrenmoorZone& Zone, TNation&) {
    const TNation* Owner = Zone.GetOwner();
    const bool Attacked = Owner ? Zone.CountAllUnits(Owner, false, true, true) : Zone.GetUnitCount() > 0;
    if (Attacked) return false;
    // Held by the owner it had: the attack was repulsed. Taken by a third nation (whose
    // conquest was told): over without a line, so that a later invasion is told again.
    if (IndexOf(Owner) == A.ZoneOwner) Insert(Tokenize(";", 'R', Today(), A.Zone), A.Zone);
    return true;
  });
  Walk(skAirStrike, [](const TStandingAction&, TBrenmoorZone& Zone, TNation& Nation) {
    return !Zone.HasTallyOfKinds(Nation.GetMajorIndex(), KindBit(ukAirForce));
  });
  Walk(skBombardment, [&](const TStandingAction& A, TBrenmoorZone&, TNation&) { return Impulse - A.Impulse > 10; });
  Walk(skRocketAttack, [&](const TStandingAction& A, TBrenmoorZone&, TNation&) { return Impulse - A.Impulse > 30; });
  Walk(skBombingRaid, [](const TStandingAction&, TBrenmoorZone& Zone, TNation& Nation) {
    for (int U = 0; U < Zone.GetUnitCount(); ++U) {
      const TUnit* Unit = Zone.GetUnit(U);
      if (Unit->GetOwner() == &Nation && Unit->GetOrder() == ordBomb && Nation.CanAttackZone(&Zone)) return false;
    }
    return true;
  });
}

void TWarNews::ClearNews() {
  ClearItems();
  for (auto& List : FStanding) List.clear();
}

void TWarNews::ClearItems() {
  FItems.clear();
  if (OnClear) OnClear();
}

// --- The score history ---

std::string ScoreDateLabel(TDateTime Date) {
  static constexpr const char* Months[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                           "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
  const TDateParts Parts = DecodeDate(Date);
  if (Parts.Month < 1 || Parts.Month > 12) return "";
  std::string Year = IntToStr(Parts.Year);
  if (Year.size() < 4) Year.insert(0, 4 - Year.size(), '0');
  return std::string(Months[Parts.Month - 1]) + "-" + Year;
}

std::string LeftOutNote(int Count, const char* What) {
  if (Count <= 0) return "";
  return "(" + IntToStr(Count) + " more " + What + " not charted)";
}

TScorePoint TakeScorePoint(const TBrenmoorEngine& Engine) {
  TScorePoint Point;
  Point.Label = ScoreDateLabel(Engine.GetDate());
  for (int I = 0; I < Engine.GetMajorCount() && I < Engine.GetNationCount(); ++I)
    Point.Nations.push_back(Engine.GetNation(I)->GetWorldDomination());
  for (int I = 0; I < Engine.GetAllianceCount(); ++I)
    Point.Alliances.emplace_back(Engine.GetAlliance(I), Engine.GetAllianceDomination(I));
  return Point;
}

// --- Final scores ---

TFinalScore FinalScoreOf(const TNation& Nation) {
  const std::int64_t Value = std::int64_t{Nation.GetTag()} * 20;
  return {Value, -std::int64_t{Nation.GetScoreDeduction()}, Value - Nation.GetScoreDeduction()};
}

// --- Battle sounds ---

std::int32_t ExplosionInterval(std::int32_t ZonesUnderAttack, TRandomGenerator& Random) {
  std::int32_t Interval = 5000 / (std::max(ZonesUnderAttack, 0) / 4 + 1);
  if (Interval < 500) Interval = Random.Random(300) + 200;
  return Interval + Random.Random(100);
}
