#include "engine/kit/RulesKit.h"

#include <algorithm>
#include <bit>
#include <string_view>
#include <type_traits>
#include <charconv>
#include <sstream>
#include <tuple>

#include "engine/ImpulseSteps.h"
#include "engine/UpkeepRules.h"
#include "sprites/MapSet.h"

namespace kit {

// --- Generators ---

std::int32_t TScriptedRandom::Random(std::int32_t N) {
  ++FDraws;
  if (FInts.empty()) throw ERulesDraw("A scripted draw Random(" + std::to_string(N) + ") with no integer queued");
  const std::int32_t V = FInts.front();
  FInts.pop_front();
  if (N > 0 && (V < 0 || V >= N))
    throw ERulesDraw("The scripted integer " + std::to_string(V) + " is outside Random(" + std::to_string(N) + ")");
  return V;
}

double TScriptedRandom::Random() {
  ++FDraws;
  if (FFloats.empty()) throw ERulesDraw("A scripted draw Random() with no float queued");
  const double V = FFloats.front();
  FFloats.pop_front();
  return V;
}

std::uint64_t TScriptedRandom::Next() {
  ++FDraws;
  throw ERulesDraw("A scripted generator gives no raw bits");
}

std::int32_t TForbiddenRandom::Random(std::int32_t N) {
  ++FDraws;
  throw ERulesDraw("The replaying engine drew Random(" + std::to_string(N) + ")");
}

double TForbiddenRandom::Random() {
  ++FDraws;
  throw ERulesDraw("The replaying engine drew Random()");
}

std::uint64_t TForbiddenRandom::Next() {
  ++FDraws;
  throw ERulesDraw("The replaying engine drew raw bits");
}

// --- Dump ---

namespace {

std::string Exact(double V) {
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, V);
  return std::string(Buf, R.ptr);
}

std::string Exact(float V) {
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, V);
  return std::string(Buf, R.ptr);
}

std::string NationRef(const TNation* Nation) { return Nation ? std::to_string(Nation->GetIndex()) : "-1"; }

// The references of the walk: a zone, nation or unit by its index or identifier, -1 for none.
std::int64_t ZoneNo(const TBrenmoorZone* Zone) { return Zone ? Zone->GetIndex() : -1; }
std::int64_t NationNo(const TNation* Nation) { return Nation ? Nation->GetIndex() : -1; }
std::int64_t UnitNo(const TUnit* Unit) { return Unit ? static_cast<std::int64_t>(Unit->ID) : -1; }

// The text of the walk: one "prefix.key=value" line a field, lists' items with their
// separators.
class TTextSink {
public:
  void Prefix(const char* Name) { FPrefix = Name; }
  void Prefix(const char* Name, std::int64_t Index) { FPrefix = Name + std::to_string(Index) + "."; }
  void Begin(const char* Key) { FText += FPrefix + Key + "="; }
  void Begin(const char* Key, std::int64_t Index) { FText += FPrefix + Key + std::to_string(Index) + "="; }
  template <class T>
  void Put(const T& V) {
    if constexpr (std::is_same_v<T, bool>) {
      FText += V ? '1' : '0';
    } else if constexpr (std::is_integral_v<T>) {
      char Buf[24];
      const auto R = std::to_chars(Buf, Buf + sizeof Buf, static_cast<std::int64_t>(V));
      FText.append(Buf, R.ptr);
    } else if constexpr (std::is_floating_point_v<T>) {
      FText += Exact(V);
    } else {
      FText += V;
    }
  }
  void Sep(char C) { FText += C; }
  void End() { FText += '\n'; }
  std::string Take() { return std::move(FText); }

private:
  std::string FText;
  std::string FPrefix;
};

// The hash of the walk: FNV-1a over the values themselves, integers and floats' bit patterns
// a 64-bit word at a time, texts with their length. Each step is a bijection of the running
// hash, so two walks of the same shape that differ in one value always differ in the hash.
class THashSink {
public:
  void Prefix(const char*) {}
  void Prefix(const char*, std::int64_t Index) { Word(static_cast<std::uint64_t>(Index)); }
  void Begin(const char*) {}
  void Begin(const char*, std::int64_t Index) { Word(static_cast<std::uint64_t>(Index)); }
  template <class T>
  void Put(const T& V) {
    if constexpr (std::is_integral_v<T>) {
      Word(static_cast<std::uint64_t>(static_cast<std::int64_t>(V)));
    } else if constexpr (std::is_floating_point_v<T>) {
      Word(std::bit_cast<std::uint64_t>(static_cast<double>(V)));
    } else {
      const std::string_view S(V);
      Word(S.size());
      for (unsigned char C : S) Byte(C);
    }
  }
  void Sep(char) {}
  void End() { Word(0x454e44ULL); }
  std::uint64_t Hash() const { return FHash; }

private:
  static constexpr std::uint64_t Prime = 1099511628211ULL;
  void Word(std::uint64_t W) { FHash = (FHash ^ W) * Prime; }
  void Byte(unsigned char C) { FHash = (FHash ^ C) * Prime; }
  std::uint64_t FHash = 14695981039346656037ULL;
};

template <class TSink, class T>
void Line(TSink& S, const char* Key, const T& Value) {
  S.Begin(Key);
  S.Put(Value);
  S.End();
}

// Key=items, each followed by Separator.
template <class TSink, class TRange>
void List(TSink& S, const char* Key, const TRange& Items, char Separator = ',') {
  S.Begin(Key);
  for (const auto& V : Items) {
    S.Put(V);
    S.Sep(Separator);
  }
  S.End();
}

// Key=Get(0),Get(1),...,Get(Count-1),
template <class TSink, class TGet>
void Each(TSink& S, const char* Key, int Count, TGet Get) {
  S.Begin(Key);
  for (int I = 0; I < Count; ++I) {
    S.Put(Get(I));
    S.Sep(',');
  }
  S.End();
}

template <class TSink>
void Pairs(TSink& S, const char* Key, const std::vector<std::pair<std::string, std::string>>& Items) {
  S.Begin(Key);
  for (const auto& [K, V] : Items) {
    S.Put(K);
    S.Sep('=');
    S.Put(V);
    S.Sep('#');
  }
  S.End();
}

// Every persistent field of the game in a fixed order, into the text or the hash.
template <class TSink>
void WalkState(TBrenmoorEngine& E, const TDumpOptions& O, TSink& S) {
  S.Prefix("engine.");
  Line(S, "date", E.GetDate());
  Line(S, "impulseRate", E.GetImpulseRate());
  Line(S, "lastRandomEvent", E.GetLastRandomEventDate());
  Line(S, "worldIndustry", E.GetWorldIndustry());
  Line(S, "freeForAll", E.GetFreeForAll());
  Line(S, "allComputer", E.GetAllComputer());
  Line(S, "options", static_cast<int>(E.GetEngineOptions()));
  Line(S, "majors", E.GetMajorCount());
  Line(S, "nationCount", E.GetScenarioNationCount());
  S.Begin("winner");
  S.Put(E.GetWinnerName());
  S.Sep('/');
  S.Put(NationNo(E.GetWinnerNation()));
  S.End();
  Line(S, "orders", E.GetOrderCount());
  Line(S, "nextUnitID", E.GetUnits().NextID());
  Line(S, "description", E.GetDescription());
  Line(S, "scenarioFile", E.GetScenarioFile());
  S.Begin("wrap");
  S.Put(static_cast<int>(E.GetWrapHorizontal()));
  S.Sep(',');
  S.Put(static_cast<int>(E.GetWrapVertical()));
  S.End();
  Each(S, "researchCosts", ResearchGroupCount, [&](int G) { return E.GetResearchCost(G); });
  for (int I = 0; I < E.GetAllianceCount(); ++I) {
    S.Begin("alliance", I);
    S.Put(E.GetAlliance(I));
    S.Sep('/');
    S.Put(E.GetAllianceDomination(I));
    S.End();
  }
  for (int I = 0; I < E.GetStormCount(); ++I) {
    S.Begin("storm", I);
    S.Put(E.GetStorm(I)->SaveToString());
    S.End();
  }
  for (int I = 0; I < E.GetRoutingCount(); ++I) {
    const TRouting* R = E.GetRouting(I);
    S.Begin("routing", I);
    S.Put(ZoneNo(R->FromZone));
    S.Sep('>');
    S.Put(ZoneNo(R->ToZone));
    S.Sep(':');
    S.Put(R->Amount);
    S.End();
  }
  for (int I = 0; I < E.GetActiveEventCount(); ++I) {
    const TActiveEvent* A = E.GetActiveEvent(I);
    S.Begin("active", I);
    S.Put(A->SaveToString());
    S.Sep('/');
    S.Put(A->Factor);
    S.End();
  }
  for (int I = 0; I < E.GetRandomEventCount(); ++I) {
    S.Begin("randomFired", I);
    S.Put(E.GetRandomEvent(I)->Fired);
    S.End();
  }
  if (O.HostScratch) Line(S, "random", E.GetRandom().GetStateText());

  for (int I = 0; I < E.GetNationCount(); ++I) {
    const TNation* N = E.GetNation(I);
    S.Prefix("nation", I);
    Line(S, "name", N->GetName());
    Line(S, "alliance", N->GetAlliance());
    Line(S, "major", N->GetMajorPower());
    Line(S, "adjective", N->GetAdjective());
    Line(S, "text2", N->GetText2());
    Line(S, "attackWithoutWar", N->GetAttackWithoutWar());
    Line(S, "kamikaze", N->GetKamakazeAllowed());
    Line(S, "aiScript", N->GetAIScript());
    Line(S, "scriptLoaded", N->GetScriptLoaded());
    Line(S, "alive", N->GetAlive());
    Each(S, "relations", E.GetNationCount(), [&](int K) { return static_cast<int>(N->GetRelation(E.GetNation(K))); });
    Each(S, "costs", UnitTypeCount, [&](int T) { return N->GetUnitCost(T); });
    List(S, "factors", N->GetTypeFactors());
    S.Begin("kindCounters");
    S.Put(N->GetKindCounter(ukArmy));
    S.Sep(',');
    S.Put(N->GetKindCounter(ukAirForce));
    S.Sep(',');
    S.Put(N->GetKindCounter(ukNavy));
    S.End();
    Line(S, "stability", N->GetStability());
    Line(S, "diplomaticActions", static_cast<int>(N->GetDiplomaticActions()));
    Line(S, "interval", N->GetDiplomaticActionInterval());
    Line(S, "countdown", N->GetCountdown());
    Pairs(S, "influence", N->GetInfluenceList().Items());
    Line(S, "capital", ZoneNo(N->GetCapital()));
    Line(S, "player", N->GetPlayerName());
    Line(S, "computer", N->GetComputerPlayer());
    Line(S, "value5", N->GetValue5());
    Line(S, "researchTotal", N->GetResearchSpendingTotal());
    S.Begin("research");
    for (int G = 0; G < ResearchGroupCount; ++G) {
      S.Put(N->GetResearchProgress(G));
      S.Sep('/');
      S.Put(static_cast<int>(N->GetResearchSpending(G)));
      S.Sep('/');
      S.Put(N->GetResearchLevel(G));
      S.Sep(',');
    }
    S.End();
    Line(S, "researchPoints", N->GetResearchPoints());
    Line(S, "colorSlot", static_cast<int>(N->GetColorSlot()));
    Line(S, "scoreDeduction", N->GetScoreDeduction());
    Line(S, "tag", N->GetTag());
    Pairs(S, "brainData", N->GetBrainDataList().Items());
    if (O.LocalView) Line(S, "localPlayer", N->GetLocalPlayer());
  }

  for (int I = 0; I < E.GetZoneCount(); ++I) {
    const TBrenmoorZone* Z = E.GetZone(I);
    S.Prefix("zone", I);
    Line(S, "name", Z->GetName());
    Line(S, "index", Z->GetIndex());
    Line(S, "owner", NationNo(Z->GetOwner()));
    Line(S, "originalOwner", NationNo(Z->GetOriginalOwner()));
    Line(S, "industry", Z->GetIndustry());
    Line(S, "factories", Z->GetFactories());
    Line(S, "rich", Z->GetRichResources());
    Line(S, "capital", Z->GetCapital());
    Line(S, "embattled", Z->GetEmbattled());
    Line(S, "income", Z->GetIncome());
    Line(S, "resources", Z->GetResources());
    Line(S, "supplySource", ZoneNo(Z->GetSupplySource()));
    S.Begin("borders");
    for (int B = 0; B < Z->GetBorderDefenseCount(); ++B) {
      S.Put(ZoneNo(Z->GetBorderDefenseZone(B)));
      S.Sep('=');
      S.Put(Z->GetBorderDefenseValue(B));
      S.Sep('#');
    }
    S.End();
    Line(S, "building", Z->GetBuilding());
    Each(S, "buildQueue", UnitTypeCount, [&](int T) { return Z->GetBuildQueue(T); });
    Line(S, "buildProgress", Z->GetBuildProgressPoints());
    Line(S, "buildTotal", Z->GetBuildTotal());
    Line(S, "buildKind", Z->GetBuildKind());
    Line(S, "bombCount", Z->GetBombCount());
    Line(S, "strikeCount", Z->GetStrikeCount());
    Line(S, "seenBy", static_cast<int>(Z->GetSeenBy()));
    Line(S, "storm", Z->GetStorm());
    Line(S, "port", Z->GetPort());
    Line(S, "airfield", Z->GetAirfield());
    Line(S, "terrainDefense", static_cast<int>(Z->GetTerrainDefenseValue()));
    Line(S, "rocketSite", Z->GetRocketSite());
    Line(S, "rocketTarget", ZoneNo(Z->GetRocketTarget()));
    Line(S, "portZone", ZoneNo(Z->GetPortZone()));
    Each(S, "units", Z->GetUnitCount(), [&](int U) { return UnitNo(Z->GetUnit(U)); });
    if (O.LocalView)
      for (int Row = 0; Row < TallyRowCount; ++Row) {
        S.Begin("tally", Row);
        for (int T = 0; T < UnitTypeCount; ++T) {
          S.Put(Z->GetTally(Row, T));
          S.Sep(',');
        }
        S.End();
      }
  }

  for (const TUnit* U : E.GetUnits()) {
    S.Prefix("unit", static_cast<std::int64_t>(U->ID));
    Line(S, "owner", NationNo(U->GetOwner()));
    Line(S, "kind", static_cast<int>(U->GetKind()));
    Line(S, "creator", NationNo(U->GetCreatingNation()));
    Line(S, "zone", ZoneNo(U->GetZone()));
    Each(S, "counts", UnitTypeCount, [&](int T) { return U->GetCount(T); });
    Each(S, "factors", UnitTypeCount, [&](int T) { return U->GetTypeFactor(T); });
    Line(S, "organization", U->GetOrganization());
    Line(S, "experience", U->GetExperience());
    Line(S, "order", static_cast<int>(U->GetOrder()));
    Line(S, "destinationZone", ZoneNo(U->GetDestinationZone()));
    S.Begin("destinationUnit");
    S.Put(UnitNo(U->GetDestinationUnit()));
    S.Sep('/');
    S.Put(U->GetDestinationUnitName());
    S.End();
    Line(S, "previousZone", ZoneNo(U->GetPreviousZone()));
    Line(S, "attacking", U->GetAttacking());
    S.Begin("patrol");
    for (int K = 0; K < U->GetPatrolZoneCount(); ++K) {
      S.Put(ZoneNo(U->GetPatrolZone(K)));
      S.Sep(',');
    }
    S.Sep('/');
    S.Put(U->GetPatrolIndex());
    S.Sep('/');
    S.Put(U->GetPatrolStep());
    S.End();
    Line(S, "ordinal", U->GetOrdinal());
    Line(S, "baseZone", ZoneNo(U->GetBaseZone()));
    Line(S, "baseUnit", UnitNo(U->GetBaseUnit()));
    Line(S, "transport", UnitNo(U->GetTransport()));
    Each(S, "boarded", U->GetBoardedCount(), [&](int K) { return UnitNo(U->GetBoarded(K)); });
    Each(S, "based", U->GetBasedCount(), [&](int K) { return UnitNo(U->GetBased(K)); });
    Line(S, "submerged", U->GetSubmerged());
    Line(S, "surfaced", U->GetSurfaced());
    Line(S, "customName", U->GetCustomName());
    if (O.HostScratch) {
      Each(S, "damaged", UnitTypeCount, [&](int T) { return U->GetDamaged(T); });
      Line(S, "organizationChanged", U->GetOrganizationChanged());
      Line(S, "fought", U->GetFought());
      Line(S, "combatFlag", static_cast<int>(U->GetCombatFlag()));
      // The acting order's key, drawn afresh by the host at every impulse.
      Line(S, "sortKey", U->GetSortKey());
    }
  }
}

}  // namespace

std::string DumpState(TBrenmoorEngine& E, const TDumpOptions& O) {
  TTextSink S;
  WalkState(E, O, S);
  return S.Take();
}

std::uint64_t StateHash(TBrenmoorEngine& E, const TDumpOptions& O) {
  THashSink S;
  WalkState(E, O, S);
  return S.Hash();
}

std::uint64_t DumpHash(const std::string& Dump) {
  std::uint64_t H = 14695981039346656037ULL;
  for (unsigned char C : Dump) {
    H ^= C;
    H *= 1099511628211ULL;
  }
  return H;
}

std::string CompareStates(TBrenmoorEngine& A, TBrenmoorEngine& B, const TDumpOptions& Options) {
  if (StateHash(A, Options) == StateHash(B, Options)) return {};
  const std::string Difference = FirstDifference(DumpState(A, Options), DumpState(B, Options));
  return Difference.empty() ? "the state hashes differ" : Difference;
}

std::string FirstDifference(const std::string& A, const std::string& B) {
  std::istringstream SA(A), SB(B);
  std::string LA, LB;
  for (int Line = 1;; ++Line) {
    const bool HasA = static_cast<bool>(std::getline(SA, LA));
    const bool HasB = static_cast<bool>(std::getline(SB, LB));
    if (!HasA && !HasB) return {};
    if (!HasA) LA = "(end)";
    if (!HasB) LB = "(end)";
    if (LA != LB || !HasA || !HasB) return "line " + std::to_string(Line) + ": host '" + LA + "', guest '" + LB + "'";
  }
}

// --- Invariants ---

std::string CheckInvariants(const TBrenmoorEngine& E) {
  if (std::string Tallies = E.CheckTallies(); !Tallies.empty()) return Tallies;
  int InZones = 0;
  for (int I = 0; I < E.GetZoneCount(); ++I) {
    const TBrenmoorZone* Z = E.GetZone(I);
    if (Z->GetOwner() && !Z->GetOwner()->GetAlive()) return "Zone " + Z->GetName() + " is owned by the dead " + Z->GetOwner()->GetName();
    for (int K = 0; K < Z->GetUnitCount(); ++K) {
      const TUnit* U = Z->GetUnit(K);
      ++InZones;
      if (E.GetUnitByID(U->ID) != U) return "Unit " + std::to_string(U->ID) + " in " + Z->GetName() + " is not the engine's unit of that identifier";
      if (U->GetZone() != Z) return "Unit " + std::to_string(U->ID) + " stands in " + Z->GetName() + " but names another zone";
    }
  }
  if (InZones != E.GetUnitCount())
    return std::to_string(InZones) + " units stand in zones, the engine lists " + std::to_string(E.GetUnitCount());
  for (const TUnit* U : E.GetUnits()) {
    const std::string Name = "Unit " + std::to_string(U->ID);
    if (!U->GetZone() || U->GetZone()->IndexOfUnit(U) < 0) return Name + " is not among its zone's units";
    if (U->GetOwner() && !U->GetOwner()->GetAlive()) return Name + " belongs to the dead " + U->GetOwner()->GetName();
    if (const TUnit* T = U->GetTransport()) {
      bool Found = false;
      for (int K = 0; K < T->GetBoardedCount(); ++K) Found |= T->GetBoarded(K) == U;
      if (!Found) return Name + " rides unit " + std::to_string(T->ID) + ", which does not carry it";
    }
    if (const TUnit* B = U->GetBaseUnit()) {
      bool Found = false;
      for (int K = 0; K < B->GetBasedCount(); ++K) Found |= B->GetBased(K) == U;
      if (!Found) return Name + " is based on unit " + std::to_string(B->ID) + ", which does not list it";
    }
    for (int K = 0; K < U->GetBoardedCount(); ++K)
      if (U->GetBoarded(K)->GetTransport() != U) return Name + " carries unit " + std::to_string(U->GetBoarded(K)->ID) + ", which rides another";
    for (int K = 0; K < U->GetBasedCount(); ++K)
      if (U->GetBased(K)->GetBaseUnit() != U) return Name + " lists unit " + std::to_string(U->GetBased(K)->ID) + ", which is based elsewhere";
  }
  return {};
}

// --- Harness ---

std::string FrameChanges(std::int32_t Impulse, const std::vector<std::string>& Records) {
  std::string S = "CHANGES|" + std::to_string(Impulse) + "|";
  for (const std::string& R : Records) S += R + "~";
  return S;
}

std::vector<std::string> UnframeChanges(const std::string& Message) {
  std::string Rest = Message;
  NextToken(Rest, "|");  // "CHANGES"
  NextToken(Rest, "|");  // the impulse
  std::vector<std::string> Records;
  while (!Rest.empty()) Records.push_back(NextToken(Rest, "~"));
  return Records;
}

TTwoEngineHarness::TTwoEngineHarness(std::uint64_t Seed, const std::string& Scenario, const std::string& ScenarioFile)
    : FHost(std::make_unique<TKitWorld>(Scenario, KitMapText, ScenarioFile)),
      FGuest(std::make_unique<TKitWorld>(Scenario, KitMapText, ScenarioFile)),
      FScenario(Scenario),
      FScenarioFile(ScenarioFile) {
  FHost->Engine().SetRandomSeed(Seed);
  FGuest->Sink.Host = false;
  FGuest->Engine().SetRandomGenerator(&FGuestRandom);
  // Each machine plays its own nation: what differs by that stays out of the comparison.
  FHost->N(0)->SetLocalPlayer(true);
  FGuest->N(2)->SetLocalPlayer(true);
  HookEvents(FHost->Engine(), FHostEvents);
  HookEvents(FGuest->Engine(), FGuestEvents);
  for (TKitWorld* W : {FHost.get(), FGuest.get()}) W->Engine().Upkeep().UpdateVisibility(0);
}

void TTwoEngineHarness::HookEvents(TBrenmoorEngine& E, std::vector<std::string>& Log) {
  const auto N = [](const TNation* Nation) { return NationRef(Nation); };
  const auto Z = [](const TZone* Zone) { return Zone ? Zone->GetName() : std::string("-"); };
  E.OnRemoveUnit = [&Log](TBrenmoorEngine*, TUnit* U) { Log.push_back("RemoveUnit " + std::to_string(U->ID)); };
  E.OnDeclareWar = [&Log, N](TBrenmoorEngine*, TNation* A, TNation* B) { Log.push_back("DeclareWar " + N(A) + " " + N(B)); };
  E.OnDeclareAllies = [&Log, N](TBrenmoorEngine*, TNation* A, TNation* B) { Log.push_back("DeclareAllies " + N(A) + " " + N(B)); };
  E.OnAlliance = [&Log, N](TBrenmoorEngine*, TNation* A) { Log.push_back("Alliance " + N(A)); };
  E.OnConquerZone = [&Log, N, Z](TBrenmoorEngine*, TNation* A, TBrenmoorZone* Zone) { Log.push_back("ConquerZone " + N(A) + " " + Z(Zone)); };
  E.OnInvadeZone = [&Log, N, Z](TBrenmoorEngine*, TNation* A, TBrenmoorZone* Zone) { Log.push_back("InvadeZone " + N(A) + " " + Z(Zone)); };
  E.OnCreateStorm = [&Log](TBrenmoorEngine*, TStorm* S) { Log.push_back("CreateStorm " + S->SaveToString()); };
  E.OnMoveStorm = [&Log](TBrenmoorEngine*, TStorm* S) { Log.push_back("MoveStorm " + S->SaveToString()); };
  E.OnRemoveStorm = [&Log](TBrenmoorEngine*, TStorm* S) { Log.push_back("RemoveStorm " + S->SaveToString()); };
  E.OnRemovePlayer = [&Log](TBrenmoorEngine*, const std::string& Name) { Log.push_back("RemovePlayer " + Name); };
}

std::string TTwoEngineHarness::RunImpulse(const TStep& Step) {
  const std::int32_t Impulse = FImpulse++;
  TBrenmoorEngine& H = FHost->Engine();
  TBrenmoorEngine& G = FGuest->Engine();
  FHostEvents.clear();
  FGuestEvents.clear();
  FHost->Sink.Records.clear();
  FGuest->Sink.Records.clear();
  const std::string Where = "Impulse " + std::to_string(Impulse) + ": ";
  const auto Records = [this] {
    std::string S = "\nThe impulse's records:\n";
    for (const std::string& R : FLastRecords) S += "  " + R + "\n";
    return S;
  };
  FLastRecords.clear();
  TBrenmoorEngine* L = FLate ? &FLate->Engine() : nullptr;
  if (FLate) {
    FLateEvents.clear();
    FLate->Sink.Records.clear();
  }
  try {
    // The impulse clock's number and the date, the same on every machine while the impulse runs.
    for (TBrenmoorEngine* E : {&H, &G, L})
      if (E) BeforeImpulse(*E, Impulse, E == &H);
    {
      TBrenmoorEngine::TImpulseRun Run(H);
      if (Step) Step(*FHost, Impulse);
    }
    FLastRecords = FHost->Sink.Records;
    const std::vector<std::string> Received = UnframeChanges(FrameChanges(Impulse, FLastRecords));
    ReplayChanges(G, Received);
    if (L) ReplayChanges(*L, Received);
    for (TBrenmoorEngine* E : {&H, &G, L})
      if (E) AfterImpulse(*E);
  } catch (const EBrenmoor& Error) {
    return Where + Error.what() + Records();
  }
  if (std::string Fault = CompareReplay(*FGuest, FGuestRandom, "guest"); !Fault.empty()) return Where + Fault + Records();
  if (FLate)
    if (std::string Fault = CompareReplay(*FLate, FLateRandom, "late guest"); !Fault.empty())
      return Where + Fault + Records();
  // The upkeep writes nothing on the host either.
  if (FHost->Sink.Records.size() != FLastRecords.size()) return Where + "the host's upkeep wrote " + FHost->Sink.Records.back() + Records();
  for (TKitWorld* W : {FHost.get(), FGuest.get(), FLate.get()}) {
    if (!W) continue;
    if (std::string Fault = CheckInvariants(W->Engine()); !Fault.empty())
      return Where + (W == FHost.get() ? "host: " : W == FGuest.get() ? "guest: " : "late guest: ") + Fault + Records();
  }
  const TDumpOptions Shared{false, false};
  for (auto [W, Events, Name] : {std::tuple{FGuest.get(), &FGuestEvents, "guest"}, std::tuple{FLate.get(), &FLateEvents, "late guest"}}) {
    if (!W) continue;
    if (FHostEvents != *Events) {
      std::size_t I = 0;
      while (I < FHostEvents.size() && I < Events->size() && FHostEvents[I] == (*Events)[I]) ++I;
      return Where + "event " + std::to_string(I) + " differs: host '" + (I < FHostEvents.size() ? FHostEvents[I] : "(none)") + "', " +
             Name + " '" + (I < Events->size() ? (*Events)[I] : "(none)") + "'" + Records();
    }
    if (std::string Difference = CompareStates(H, W->Engine(), Shared); !Difference.empty())
      return Where + (W == FLate.get() ? "(late guest) " : "") + Difference + Records();
  }
  return {};
}

std::string TTwoEngineHarness::CompareReplay(TKitWorld& Machine, const TForbiddenRandom& Random, const char* Name) {
  if (!Machine.Sink.Records.empty()) return std::string("the ") + Name + " wrote the record " + Machine.Sink.Records.front();
  if (Random.Draws() > 0) return std::string("the ") + Name + " drew a random number";
  return {};
}

std::string JoinText(TBrenmoorEngine& Host) {
  std::string Text = "JOIN|" + Host.SaveToString() + "|";
  for (const TUnit* Unit : Host.GetUnits())
    if (Unit->GetSubmerged()) Text += std::to_string(Unit->ID) + "#";
  Text += "|";
  for (const TUnit* Unit : Host.GetUnits()) {
    Text += std::to_string(Unit->ID) + "#";
    for (int T = 0; T < UnitTypeCount; ++T) Text += Exact(Unit->GetTypeFactor(T)) + "#";
  }
  return Text;
}

void LoadJoinText(TBrenmoorEngine& E, const std::string& Message) {
  std::string Rest = Message;
  NextToken(Rest, "|");  // "JOIN"
  E.LoadFromString(NextToken(Rest, "|"));
  // The fleets under water, as the host's records of fleets that submerge tell it.
  std::string Submerged = NextToken(Rest, "|");
  while (!Submerged.empty()) E.ApplyStateChange(ChangeRecord(chUnitSubmerged, std::stoi(NextToken(Submerged, "#")), true));
  // The units' type factors as the host holds them: the saved game keeps two decimals, and a
  // merge of units with different factors gives values between them.
  std::string Factors = NextToken(Rest, "|");
  while (!Factors.empty()) {
    TUnit* Unit = E.GetUnitByID(std::stoi(NextToken(Factors, "#")));
    for (int T = 0; T < UnitTypeCount; ++T) {
      const std::string Text = NextToken(Factors, "#");
      float Value = 0;
      std::from_chars(Text.data(), Text.data() + Text.size(), Value);
      if (Unit) Unit->SetTypeFactor(T, Value);
    }
  }
}

void TTwoEngineHarness::JoinLate() {
  const std::string Message = JoinText(FHost->Engine());
  auto Late = std::make_unique<TKitWorld>(FScenario, KitMapText, FScenarioFile);
  Late->Sink.Host = false;
  Late->Engine().SetRandomGenerator(&FLateRandom);
  LoadJoinText(Late->Engine(), Message);
  // The online users are the same on every machine.
  Late->Engine().SetImpulseUsers(FGuest->Engine().GetImpulseUsers());
  HookEvents(Late->Engine(), FLateEvents);
  Late->Engine().Upkeep().UpdateVisibility(FImpulse > 0 ? FImpulse - 1 : 0);
  FLate = std::move(Late);
}

TScenarioFolder::TScenarioFolder(const std::string& FileName, const std::string& Text) { FFolder.Write(FileName, Text); }

}  // namespace kit
