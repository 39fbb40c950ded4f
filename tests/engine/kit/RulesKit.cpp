#include "engine/kit/RulesKit.h"

#include <fstream>

#include <chrono>

#include <algorithm>
#include <charconv>
#include <sstream>
#include <tuple>

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

// --- The world ---

const char* const KitMapText =
    "Zone=0,0,100,0,100,100,0,100;Alba;0;1#2#\n"
    "Zone=100,0,200,0,200,100,100,100;Brae;0;0#2#3#4#\n"
    "Zone=0,100,200,100,200,200,0,200;North Sea;1;0#1#3#\n"
    "Zone=200,100,300,100,300,200,200,200;Channel;1;2#1#4#7#\n"
    "Zone=200,0,300,0,300,100,200,100;Dunmore;0;1#3#5#\n"
    "Zone=300,0,400,0,400,100,300,100;Ferro;0;4#6#\n"
    "Zone=400,0,500,0,500,100,400,100;Gorse;0;5#7#\n"
    "Zone=300,100,400,100,400,200,300,200;Hale;0;3#6#\n";

const char* const KitScenarioText =
    "Description=The kit's world\n"
    "NationCount=4\n"
    "Alliance=Allies\n"
    "Alliance=Axis\n"
    "Nation=Albion,Allies,1,Albish,5,,notes,0,3,80,4,1.5;0.5;,2,1,albion.brmai\n"
    "Nation=Ruritania,Axis,1,Ruritanian,0,,,1,0,100,3,,1,0,\n"
    "Nation=Freedonia,,1,Freedonian,0,3=-30;,,0,0,100,5,,3,0,\n"
    "Nation=Lichtenburg,,0,Lichtenburgish,0,2=-30;,,0,0,100,0,,0,0,\n"
    "Zone=Alba;10;2;0;3;x;0;0#3#5#0#4#2#0#5#3#;;1;12.5;1;2#1#;1;1;0;0;\n"
    "Zone=Brae;6;1;0;0;x;1;1#3#4#1#7#2#;0;0;6;0;;0;1;0;0;\n"
    "Zone=North Sea;0;0;0;0;x;-1;0#9#2#0#13#1#0#3#2#0#5#2#;;0;0;0;;0;0;0;0;\n"
    "Zone=Channel;0;0;0;0;x;-1;2#10#2#;;0;0;0;;0;0;25;0;\n"
    "Zone=Dunmore;4;0;0;0;x;2;2#11#3#2#3#3#;;1;4;0;;0;0;0;0;\n"
    "Zone=Ferro;3;0;0;0;x;3;7#3#2#;;1;3;0;;0;1;0;1;\n"
    "Zone=Gorse;5;1;0;0;x;1;1#4#2#;;0;5;0;;0;0;10;0;\n"
    "Zone=Hale;2;0;0;0;x;2;;;0;2;0;;0;0;0;0;\n"
    "ImpulseRate=3\n";

TKitWorld::TKitWorld(const std::string& Scenario, const std::string& MapText, const std::string& ScenarioFile) {
  Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
    AZone = FEngine.CreateZone(*Sender, S);
  };
  LoadZoneMap(Map, TMapSet::Parse(MapText, "kit.map"));
  FEngine.SetZoneMap(&Map);
  FEngine.SetChangeSink(&Sink);
  FEngine.SetRandomSeed(1940);
  FEngine.ReadScenario(Scenario, ScenarioFile);
  FEngine.LoadZoneData();
  FEngine.PlaceInitialUnits();
  Sink.Records.clear();
}

TKitWorld::~TKitWorld() { FEngine.SetZoneMap(nullptr); }

TUnit* TKitWorld::MakeUnit(int Nation, TUnitKind Kind, int Zone, std::initializer_list<std::pair<TUnitType, int>> Counts) {
  TUnit* Unit = FEngine.AddUnit(std::make_unique<TUnit>(FEngine, N(Nation), Kind), Z(Zone));
  for (const auto& [Type, Count] : Counts) {
    Unit->SetCount(Type, static_cast<std::uint16_t>(Count));
    if (Unit->IsTallied()) Z(Zone)->ChangeTally(N(Nation)->GetMajorIndex(), Type, Count);
  }
  return Unit;
}

TUnit* TKitWorld::UnitIn(int Zone, int Nation, TUnitKind Kind) {
  for (int I = 0; I < Z(Zone)->GetUnitCount(); ++I) {
    TUnit* Unit = Z(Zone)->GetUnit(I);
    if (Unit->GetOwner() == N(Nation) && Unit->GetKind() == Kind) return Unit;
  }
  return nullptr;
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

std::string ZoneRef(const TBrenmoorZone* Zone) { return Zone ? std::to_string(Zone->GetIndex()) : "-1"; }
std::string NationRef(const TNation* Nation) { return Nation ? std::to_string(Nation->GetIndex()) : "-1"; }
std::string UnitRef(const TUnit* Unit) { return Unit ? std::to_string(Unit->ID) : "-1"; }

class TDump {
public:
  template <class T>
  void Line(const std::string& Key, const T& Value) {
    std::ostringstream S;
    S << Value;
    FText += FPrefix + Key + "=" + S.str() + "\n";
  }
  void Prefix(const std::string& P) { FPrefix = P; }
  std::string Text() const { return FText; }

private:
  std::string FText;
  std::string FPrefix;
};

}  // namespace

std::string DumpState(TBrenmoorEngine& E, const TDumpOptions& O) {
  TDump D;
  D.Prefix("engine.");
  D.Line("date", Exact(E.GetDate()));
  D.Line("impulseRate", Exact(E.GetImpulseRate()));
  D.Line("lastRandomEvent", Exact(E.GetLastRandomEventDate()));
  D.Line("worldIndustry", E.GetWorldIndustry());
  D.Line("freeForAll", E.GetFreeForAll());
  D.Line("allComputer", E.GetAllComputer());
  D.Line("options", static_cast<int>(E.GetEngineOptions()));
  D.Line("majors", E.GetMajorCount());
  D.Line("nationCount", E.GetScenarioNationCount());
  D.Line("winner", E.GetWinnerName() + "/" + NationRef(E.GetWinnerNation()));
  D.Line("orders", E.GetOrderCount());
  D.Line("nextUnitID", E.GetUnits().NextID());
  D.Line("description", E.GetDescription());
  D.Line("scenarioFile", E.GetScenarioFile());
  D.Line("wrap", std::to_string(E.GetWrapHorizontal()) + "," + std::to_string(E.GetWrapVertical()));
  std::string Costs;
  for (int G = 0; G < ResearchGroupCount; ++G) Costs += std::to_string(E.GetResearchCost(G)) + ",";
  D.Line("researchCosts", Costs);
  for (int I = 0; I < E.GetAllianceCount(); ++I)
    D.Line("alliance" + std::to_string(I), E.GetAlliance(I) + "/" + std::to_string(E.GetAllianceDomination(I)));
  for (int I = 0; I < E.GetStormCount(); ++I) D.Line("storm" + std::to_string(I), E.GetStorm(I)->SaveToString());
  for (int I = 0; I < E.GetRoutingCount(); ++I) {
    const TRouting* R = E.GetRouting(I);
    D.Line("routing" + std::to_string(I), ZoneRef(R->FromZone) + ">" + ZoneRef(R->ToZone) + ":" + std::to_string(R->Amount));
  }
  for (int I = 0; I < E.GetActiveEventCount(); ++I) {
    const TActiveEvent* A = E.GetActiveEvent(I);
    D.Line("active" + std::to_string(I), A->SaveToString() + "/" + Exact(A->Factor));
  }
  for (int I = 0; I < E.GetRandomEventCount(); ++I) D.Line("randomFired" + std::to_string(I), E.GetRandomEvent(I)->Fired);
  if (O.HostScratch) D.Line("random", E.GetRandom().GetStateText());

  for (int I = 0; I < E.GetNationCount(); ++I) {
    const TNation* N = E.GetNation(I);
    D.Prefix("nation" + std::to_string(I) + ".");
    D.Line("name", N->GetName());
    D.Line("alliance", N->GetAlliance());
    D.Line("major", N->GetMajorPower());
    D.Line("adjective", N->GetAdjective());
    D.Line("text2", N->GetText2());
    D.Line("attackWithoutWar", N->GetAttackWithoutWar());
    D.Line("kamikaze", N->GetKamakazeAllowed());
    D.Line("aiScript", N->GetAIScript());
    D.Line("scriptLoaded", N->GetScriptLoaded());
    D.Line("alive", N->GetAlive());
    std::string List;
    for (int K = 0; K < E.GetNationCount(); ++K) List += std::to_string(N->GetRelation(E.GetNation(K))) + ",";
    D.Line("relations", List);
    List.clear();
    for (int T = 0; T < UnitTypeCount; ++T) List += std::to_string(N->GetUnitCost(T)) + ",";
    D.Line("costs", List);
    List.clear();
    for (float F : N->GetTypeFactors()) List += Exact(F) + ",";
    D.Line("factors", List);
    D.Line("kindCounters", std::to_string(N->GetKindCounter(ukArmy)) + "," + std::to_string(N->GetKindCounter(ukAirForce)) + "," +
                               std::to_string(N->GetKindCounter(ukNavy)));
    D.Line("stability", N->GetStability());
    D.Line("diplomaticActions", static_cast<int>(N->GetDiplomaticActions()));
    D.Line("interval", N->GetDiplomaticActionInterval());
    D.Line("countdown", N->GetCountdown());
    List.clear();
    for (const auto& [K, V] : N->GetInfluenceList().Items()) List += K + "=" + V + "#";
    D.Line("influence", List);
    D.Line("capital", ZoneRef(N->GetCapital()));
    D.Line("player", N->GetPlayerName());
    D.Line("computer", N->GetComputerPlayer());
    D.Line("value5", N->GetValue5());
    D.Line("researchTotal", N->GetResearchSpendingTotal());
    List.clear();
    for (int G = 0; G < ResearchGroupCount; ++G)
      List += std::to_string(N->GetResearchProgress(G)) + "/" + std::to_string(N->GetResearchSpending(G)) + "/" +
              std::to_string(N->GetResearchLevel(G)) + ",";
    D.Line("research", List);
    D.Line("researchPoints", Exact(N->GetResearchPoints()));
    D.Line("colorSlot", static_cast<int>(N->GetColorSlot()));
    D.Line("scoreDeduction", N->GetScoreDeduction());
    D.Line("tag", N->GetTag());
    List.clear();
    for (const auto& [K, V] : N->GetBrainDataList().Items()) List += K + "=" + V + "#";
    D.Line("brainData", List);
    if (O.LocalView) D.Line("localPlayer", N->GetLocalPlayer());
  }

  for (int I = 0; I < E.GetZoneCount(); ++I) {
    const TBrenmoorZone* Z = E.GetZone(I);
    D.Prefix("zone" + std::to_string(I) + ".");
    D.Line("name", Z->GetName());
    D.Line("index", Z->GetIndex());
    D.Line("owner", NationRef(Z->GetOwner()));
    D.Line("originalOwner", NationRef(Z->GetOriginalOwner()));
    D.Line("industry", Z->GetIndustry());
    D.Line("factories", Z->GetFactories());
    D.Line("rich", Z->GetRichResources());
    D.Line("capital", Z->GetCapital());
    D.Line("embattled", Z->GetEmbattled());
    D.Line("income", Z->GetIncome());
    D.Line("resources", Exact(Z->GetResources()));
    D.Line("supplySource", ZoneRef(Z->GetSupplySource()));
    std::string List;
    for (int B = 0; B < Z->GetBorderDefenseCount(); ++B)
      List += ZoneRef(Z->GetBorderDefenseZone(B)) + "=" + std::to_string(Z->GetBorderDefenseValue(B)) + "#";
    D.Line("borders", List);
    D.Line("building", Z->GetBuilding());
    List.clear();
    for (int T = 0; T < UnitTypeCount; ++T) List += std::to_string(Z->GetBuildQueue(T)) + ",";
    D.Line("buildQueue", List);
    D.Line("buildProgress", Exact(Z->GetBuildProgressPoints()));
    D.Line("buildTotal", Exact(Z->GetBuildTotal()));
    D.Line("buildKind", Z->GetBuildKind());
    D.Line("bombCount", Z->GetBombCount());
    D.Line("strikeCount", Z->GetStrikeCount());
    D.Line("seenBy", static_cast<int>(Z->GetSeenBy()));
    D.Line("storm", Z->GetStorm());
    D.Line("port", Z->GetPort());
    D.Line("airfield", Z->GetAirfield());
    D.Line("terrainDefense", static_cast<int>(Z->GetTerrainDefenseValue()));
    D.Line("rocketSite", Z->GetRocketSite());
    D.Line("rocketTarget", ZoneRef(Z->GetRocketTarget()));
    D.Line("portZone", ZoneRef(Z->GetPortZone()));
    List.clear();
    for (int U = 0; U < Z->GetUnitCount(); ++U) List += UnitRef(Z->GetUnit(U)) + ",";
    D.Line("units", List);
    if (O.LocalView)
      for (int Row = 0; Row < TallyRowCount; ++Row) {
        List.clear();
        for (int T = 0; T < UnitTypeCount; ++T) List += std::to_string(Z->GetTally(Row, T)) + ",";
        D.Line("tally" + std::to_string(Row), List);
      }
  }

  for (const TUnit* U : E.GetUnits()) {
    D.Prefix("unit" + std::to_string(U->ID) + ".");
    D.Line("owner", NationRef(U->GetOwner()));
    D.Line("kind", static_cast<int>(U->GetKind()));
    D.Line("creator", NationRef(U->GetCreatingNation()));
    D.Line("zone", ZoneRef(U->GetZone()));
    std::string List;
    for (int T = 0; T < UnitTypeCount; ++T) List += std::to_string(U->GetCount(T)) + ",";
    D.Line("counts", List);
    List.clear();
    for (int T = 0; T < UnitTypeCount; ++T) List += Exact(U->GetTypeFactor(T)) + ",";
    D.Line("factors", List);
    D.Line("organization", Exact(U->GetOrganization()));
    D.Line("experience", Exact(U->GetExperience()));
    D.Line("order", static_cast<int>(U->GetOrder()));
    D.Line("destinationZone", ZoneRef(U->GetDestinationZone()));
    D.Line("destinationUnit", UnitRef(U->GetDestinationUnit()) + "/" + U->GetDestinationUnitName());
    D.Line("previousZone", ZoneRef(U->GetPreviousZone()));
    D.Line("attacking", U->GetAttacking());
    List.clear();
    for (int K = 0; K < U->GetPatrolZoneCount(); ++K) List += ZoneRef(U->GetPatrolZone(K)) + ",";
    D.Line("patrol", List + "/" + std::to_string(U->GetPatrolIndex()) + "/" + std::to_string(U->GetPatrolStep()));
    D.Line("ordinal", U->GetOrdinal());
    D.Line("baseZone", ZoneRef(U->GetBaseZone()));
    D.Line("baseUnit", UnitRef(U->GetBaseUnit()));
    D.Line("transport", UnitRef(U->GetTransport()));
    List.clear();
    for (int K = 0; K < U->GetBoardedCount(); ++K) List += UnitRef(U->GetBoarded(K)) + ",";
    D.Line("boarded", List);
    List.clear();
    for (int K = 0; K < U->GetBasedCount(); ++K) List += UnitRef(U->GetBased(K)) + ",";
    D.Line("based", List);
    D.Line("submerged", U->GetSubmerged());
    D.Line("surfaced", U->GetSurfaced());
    D.Line("customName", U->GetCustomName());
    if (O.HostScratch) {
      List.clear();
      for (int T = 0; T < UnitTypeCount; ++T) List += std::to_string(U->GetDamaged(T)) + ",";
      D.Line("damaged", List);
      D.Line("organizationChanged", U->GetOrganizationChanged());
      D.Line("fought", U->GetFought());
      D.Line("combatFlag", static_cast<int>(U->GetCombatFlag()));
      // The acting order's key, drawn afresh by the host at every impulse.
      D.Line("sortKey", Exact(U->GetSortKey()));
    }
  }
  return D.Text();
}

std::uint64_t DumpHash(const std::string& Dump) {
  std::uint64_t H = 14695981039346656037ULL;
  for (unsigned char C : Dump) {
    H ^= C;
    H *= 1099511628211ULL;
  }
  return H;
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
  for (TKitWorld* W : {FHost.get(), FGuest.get()}) W->Engine().UpdateVisibility(0);
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
    // The impulse clock's number, the same on every machine while the impulse runs.
    for (TBrenmoorEngine* E : {&H, &G, L})
      if (E) E->SetImpulse(Impulse);
    H.BeginImpulse();
    G.BeginImpulse();
    if (L) L->BeginImpulse();
    {
      TBrenmoorEngine::TImpulseRun Run(H);
      if (Step) Step(*FHost, Impulse);
    }
    FLastRecords = FHost->Sink.Records;
    const std::vector<std::string> Received = UnframeChanges(FrameChanges(Impulse, FLastRecords));
    for (const std::string& Record : Received) G.ApplyStateChange(Record);
    if (L)
      for (const std::string& Record : Received) L->ApplyStateChange(Record);
    for (TBrenmoorEngine* E : {&H, &G, L}) {
      if (!E) continue;
      E->SupplyUpkeep();
      E->UpdateVisibility(Impulse);
      E->EndImpulseUpkeep(Impulse);
      E->SetImpulse(Impulse + 1);
    }
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
  const std::string DH = DumpState(H, Shared);
  for (auto [W, Events, Name] : {std::tuple{FGuest.get(), &FGuestEvents, "guest"}, std::tuple{FLate.get(), &FLateEvents, "late guest"}}) {
    if (!W) continue;
    if (FHostEvents != *Events) {
      std::size_t I = 0;
      while (I < FHostEvents.size() && I < Events->size() && FHostEvents[I] == (*Events)[I]) ++I;
      return Where + "event " + std::to_string(I) + " differs: host '" + (I < FHostEvents.size() ? FHostEvents[I] : "(none)") + "', " +
             Name + " '" + (I < Events->size() ? (*Events)[I] : "(none)") + "'" + Records();
    }
    const std::string DG = DumpState(W->Engine(), Shared);
    if (DumpHash(DH) != DumpHash(DG) || DH != DG)
      return Where + (W == FLate.get() ? "(late guest) " : "") + FirstDifference(DH, DG) + Records();
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
  return Text;
}

void LoadJoinText(TBrenmoorEngine& E, const std::string& Message) {
  std::string Rest = Message;
  NextToken(Rest, "|");  // "JOIN"
  E.LoadFromString(NextToken(Rest, "|"));
  // The fleets under water, as the host's records of fleets that submerge tell it.
  std::string Submerged = NextToken(Rest, "|");
  while (!Submerged.empty()) E.ApplyStateChange(TBrenmoorEngine::ChangeRecord(37, std::stoi(NextToken(Submerged, "#")), true));
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
  Late->Engine().UpdateVisibility(FImpulse > 0 ? FImpulse - 1 : 0);
  FLate = std::move(Late);
}

std::string CountsText(std::initializer_list<std::pair<TUnitType, int>> Pieces) {
  std::array<int, UnitTypeCount> N{};
  for (const auto& [Type, Count] : Pieces) N[static_cast<std::size_t>(Type)] = Count;
  std::string S;
  for (int C : N) S += std::to_string(C) + "#";
  return S;
}

TScenarioFolder::TScenarioFolder(const std::string& FileName, const std::string& Text)
    : FPath(std::filesystem::temp_directory_path() /
            ("brenmoor-scenario-" + std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()))) {
  std::filesystem::create_directories(FPath);
  std::ofstream(FPath / FileName, std::ios::binary) << Text;
  FCurrent = std::make_unique<TCurrentFolder>(FPath);
}

TScenarioFolder::~TScenarioFolder() {
  FCurrent.reset();
  std::error_code Ignored;
  std::filesystem::remove_all(FPath, Ignored);
}

}  // namespace kit
