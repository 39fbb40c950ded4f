#include "ScenarioCheck.h"

#include <exception>
#include <filesystem>
#include <map>
#include <memory>
#include <set>

#include "StandardScenario.h"
#include "engine/BrenmoorEngine.h"
#include "foundation/CurrentFolder.h"
#include "foundation/DateUtils.h"
#include "sprites/Bitmap.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"

const char* const MajorPowerSlots[7] = {"Germany", "Italy", "Japan", "United Kingdom", "France", "USSR", "United States"};

namespace {

namespace fs = std::filesystem;


bool HasType(const TUnit& U, TUnitType T) { return U.GetCount(T) > 0; }

// The checks of the loaded game.
void CheckGame(TBrenmoorEngine& Engine, TScenarioCheckResult& R) {
  auto& Problems = R.Problems;
  R.Nations = Engine.GetNationCount();
  R.Majors = Engine.GetMajorCount();
  R.Units = Engine.GetUnitCount();
  R.RandomEvents = Engine.GetRandomEventCount();
  R.VictoryConditions = Engine.GetVictoryConditionCount();
  R.Reinforcements = Engine.GetReinforcementCount();

  // The nations: the majors first in the hall of fame's order, each name once.
  if (Engine.GetScenarioNationCount() != Engine.GetNationCount())
    Problems.push_back("NationCount is " + std::to_string(Engine.GetScenarioNationCount()) + " but " +
                       std::to_string(Engine.GetNationCount()) + " nations are listed");
  if (R.Majors != 7) Problems.push_back(std::to_string(R.Majors) + " major powers instead of 7");
  for (int I = 0; I < 7 && I < R.Nations; ++I)
    if (Engine.GetNation(I)->GetName() != MajorPowerSlots[I] || !Engine.GetNation(I)->GetMajorPower())
      Problems.push_back("Nation " + std::to_string(I) + " is " + Engine.GetNation(I)->GetName() + ", not the major power " +
                         MajorPowerSlots[I]);
  std::set<std::string> Names;
  for (int I = 0; I < R.Nations; ++I) {
    const TNation* N = Engine.GetNation(I);
    if (!Names.insert(N->GetName()).second) Problems.push_back("The nation " + N->GetName() + " is listed twice");
    if (!N->GetAlliance().empty() && Engine.IndexOfAlliance(N->GetAlliance()) < 0)
      Problems.push_back(N->GetName() + "'s alliance " + N->GetAlliance() + " has no Alliance line");
    for (int J = 0; J < R.Nations; ++J)
      if (J != I && N->GetRelation(Engine.GetNation(J)) != Engine.GetNation(J)->GetRelation(N))
        Problems.push_back("The relations of " + N->GetName() + " and " + Engine.GetNation(J)->GetName() + " differ");
    // A major and a minor at 100 without sharing an alliance: the minor would have joined.
    for (int J = 0; J < R.Nations; ++J) {
      const TNation* M = Engine.GetNation(J);
      if (N->GetMajorPower() && !M->GetMajorPower() && N->GetRelation(M) >= 100 &&
          (N->GetAlliance().empty() || N->GetAlliance() != M->GetAlliance()))
        Problems.push_back(N->GetName() + " and " + M->GetName() + " are at 100 outside an alliance");
    }
  }
  // Every alliance named has a member.
  for (int A = 0; A < Engine.GetAllianceCount(); ++A) {
    bool Member = false;
    for (int I = 0; I < R.Nations; ++I) Member = Member || Engine.GetNation(I)->GetAlliance() == Engine.GetAlliance(A);
    if (!Member) Problems.push_back("The alliance " + Engine.GetAlliance(A) + " has no member (every free major would join it)");
  }

  // Zones: every zone of the map has a zone line, every land zone an owner; one capital per
  // nation, which the nation knows as its capital.
  std::map<std::string, int> ZoneLines;
  for (const std::string& Line : Engine.GetScenarioLines())
    if (Line.rfind("Zone=", 0) == 0) ++ZoneLines[Line.substr(5, Line.find(';') - 5)], ++R.ZoneLines;
  std::map<const TNation*, int> Capitals, Owned;
  bool Rocket = false, Border = false, Hazard = false;
  for (int I = 0; I < Engine.GetZoneCount(); ++I) {
    TBrenmoorZone* Z = Engine.GetZone(I);
    const std::string Name = "Zone " + Z->GetName();
    if (ZoneLines[Z->GetName()] != 1)
      Problems.push_back(Name + " has " + std::to_string(ZoneLines[Z->GetName()]) + " zone lines instead of 1");
    if (Z->GetSea()) {
      if (Z->GetOwner()) Problems.push_back(Name + " is a sea zone with an owner");
      if (Z->GetIndustry() || Z->GetCapital() || Z->GetPort() || Z->GetAirfield())
        Problems.push_back(Name + " is a sea zone with industry, a capital, a port or an airfield");
      Hazard = Hazard || Z->IsHazardousSea();
    } else {
      if (!Z->GetOwner()) Problems.push_back(Name + " has no owner");
      if (Z->GetOriginalOwner() != Z->GetOwner()) Problems.push_back(Name + "'s original owner is not its owner");
      if (Z->GetPort() && !Z->IsCoastal()) Problems.push_back(Name + " is a port without a coast");
      if (Z->GetIndustry() < 0 || Z->GetResources() < 0) Problems.push_back(Name + " has negative industry or resources");
      if (Z->GetOwner()) ++Owned[Z->GetOwner()];
    }
    if (Z->GetCapital()) {
      ++Capitals[Z->GetOwner()];
      if (Z->GetOwner() && Z->GetOwner()->GetCapital() != Z) Problems.push_back(Name + " is not its owner's capital");
    }
    Rocket = Rocket || Z->GetRocketSite();
    for (int B = 0; B < Z->GetBorderDefenseCount(); ++B) {
      Border = true;
      if (!Z->IsNeighbour(Z->GetBorderDefenseZone(B)))
        Problems.push_back(Name + " has a border defence towards " + Z->GetBorderDefenseZone(B)->GetName() + ", no neighbour");
    }
  }
  for (const auto& [Zone, Count] : ZoneLines)
    if (!Engine.FindZoneByName(Zone)) Problems.push_back("Zone " + Zone + " is no zone of the map");
  for (int I = 0; I < R.Nations; ++I) {
    const TNation* N = Engine.GetNation(I);
    if (Capitals[N] != 1) Problems.push_back(N->GetName() + " has " + std::to_string(Capitals[N]) + " capitals");
    if (!Owned[N]) Problems.push_back(N->GetName() + " owns no zone");
  }
  if (!Rocket) Problems.push_back("No zone is a rocket site");
  if (!Border) Problems.push_back("No zone has a border defence");
  if (!Hazard) Problems.push_back("No sea is hazardous");

  // The tallies are what the units hold.
  const std::string Tallies = Engine.CheckTallies();
  if (!Tallies.empty()) Problems.push_back("Tallies: " + Tallies);

  // The units: every major power has armies, air forces and fleets; the fleets carry what
  // they can; somewhere a transport fleet with an army aboard, a carrier with its planes,
  // submarines and a merchant convoy. No battle and no conquest is due at the first impulse.
  std::map<const TNation*, std::set<int>> Kinds;
  bool Transport = false, Carrier = false, Submarines = false, Convoy = false;
  for (int I = 0; I < Engine.GetUnitCount(); ++I) {
    const TUnit& U = *Engine.GetUnit(I);
    const std::string Name = U.GetName() + " in " + U.GetZone()->GetName();
    Kinds[U.GetOwner()].insert(U.GetKind());
    if (U.GetKind() == ukNavy) {
      if (U.GetTransportRoom() < 0) Problems.push_back(Name + " carries more than its transports can");
      if (U.GetCarrierRoom() < 0) Problems.push_back(Name + " bases more planes than its carriers can");
      Transport = Transport || (HasType(U, utTransport) && U.GetBoardedCount() > 0);
      Carrier = Carrier || (HasType(U, utCarrier) && U.GetBasedCount() > 0);
      Submarines = Submarines || HasType(U, utSubmarine);
      Convoy = Convoy || HasType(U, utMerchantShip);
    } else if (U.GetZone()->GetSea()) {
      if (U.GetKind() == ukArmy && !U.GetTransport()) Problems.push_back(Name + " stands at sea without a transport");
      if (U.GetKind() == ukAirForce && !U.GetBaseUnit()) Problems.push_back(Name + " flies at sea without a carrier");
    } else if (U.GetKind() == ukArmy && !U.GetOwner()->IsAlliedWith(U.GetZone()->GetOwner())) {
      Problems.push_back(Name + " stands in a zone of a nation it is not allied with");
    }
    for (int J = 0; J < U.GetZone()->GetUnitCount(); ++J)
      if (U.GetOwner()->IsAtWarWith(U.GetZone()->GetUnit(J)->GetOwner())) {
        Problems.push_back(Name + " starts in a zone with an enemy");
        break;
      }
  }
  for (int I = 0; I < R.Majors; ++I)
    for (int K = 0; K < UnitKindCount; ++K)
      if (!Kinds[Engine.GetNation(I)].count(K))
        Problems.push_back(Engine.GetNation(I)->GetName() + " has no " + UnitKindNames[std::size_t(K)]);
  if (!Transport) Problems.push_back("No transport fleet carries an army");
  if (!Carrier) Problems.push_back("No carrier fleet carries planes");
  if (!Submarines) Problems.push_back("No fleet of submarines");
  if (!Convoy) Problems.push_back("No merchant convoy");

  // Random events: every trigger, effect, area and filter; an event's trigger names a nation
  // or a land zone.
  std::set<int> Triggers, Effects, Areas, Filters;
  for (int I = 0; I < R.RandomEvents; ++I) {
    const TRandomEvent& E = *Engine.GetRandomEvent(I);
    Triggers.insert(E.Trigger);
    Effects.insert(E.Effect);
    Areas.insert(E.AreaKind);
    Filters.insert(E.NationFilter);
    if (E.Trigger == 1 && !Engine.FindNation(E.TriggerName))
      Problems.push_back("The random event " + E.Title + " waits for a coup in " + E.TriggerName + ", no nation");
    if ((E.Trigger == 2 || E.Trigger == 3) && (!Engine.FindZoneByName(E.TriggerName) || Engine.FindZoneByName(E.TriggerName)->GetSea()))
      Problems.push_back("The random event " + E.Title + " waits for " + E.TriggerName + ", no land zone");
    if (E.Kinds == 0) Problems.push_back("The random event " + E.Title + " touches no kind of unit");
    if (E.GetDescription().empty()) Problems.push_back("The random event " + E.Title + " has no description");
  }
  for (int T = 0; T <= 3; ++T)
    if (!Triggers.count(T)) Problems.push_back("No random event has the trigger " + std::to_string(T));
  for (int F = 0; F <= 6; ++F)
    if (!Effects.count(F)) Problems.push_back("No random event has the effect " + std::to_string(F));
  for (int A = 0; A <= 5; ++A)
    if (!Areas.count(A)) Problems.push_back("No random event has the area " + std::to_string(A));
  for (int F = 0; F <= 2; ++F)
    if (!Filters.count(F)) Problems.push_back("No random event has the nation filter " + std::to_string(F));

  // Victory conditions: every kind, none met at the start (the world industry as the first
  // impulse counts it).
  std::int32_t World = 0;
  for (int I = 0; I < Engine.GetZoneCount(); ++I) World += Engine.GetZone(I)->GetIndustry();
  Engine.SetWorldIndustry(World);
  const auto AllianceDomination = [&](const std::string& Alliance) {
    int D = 0;
    for (int I = 0; I < R.Nations; ++I)
      if (Engine.GetNation(I)->GetAlliance() == Alliance) D += Engine.GetNation(I)->GetWorldDomination();
    return D;
  };
  std::set<int> VictoryKinds;
  for (int I = 0; I < R.VictoryConditions; ++I) {
    const TVictoryCondition& C = *Engine.GetVictoryCondition(I);
    VictoryKinds.insert(C.Kind);
    const TNation* Subject = Engine.FindNation(C.Subject);
    bool Met = false;
    switch (C.Kind) {
      case 0: Met = Subject && Subject->GetWorldDomination() >= C.Target; break;
      case 1: Met = AllianceDomination(C.Subject) >= C.Target; break;
      case 2: Met = Subject && Subject->GetWorldDomination() <= C.Target; break;
      case 3: Met = AllianceDomination(C.Subject) <= C.Target; break;
      case 4: Met = Subject && C.Target <= 0; break;
      default: break;
    }
    if (Met) Problems.push_back("The victory condition \"" + C.GetDescription() + "\" is met at the start");
  }
  for (int K = 0; K <= 4; ++K)
    if (!VictoryKinds.count(K)) Problems.push_back("No victory condition of kind " + std::to_string(K));

  // Reinforcements for every major power, each after the start.
  std::set<const TNation*> Reinforced;
  for (int I = 0; I < R.Reinforcements; ++I) {
    const TReinforcement& Re = *Engine.GetReinforcement(I);
    Reinforced.insert(Re.Nation);
    const std::string Name = "A reinforcement of " + Re.Nation->GetName() + " in " + Re.ZoneName;
    if (Re.ArrivalImpulse <= 0) Problems.push_back(Name + " arrives at the start");
    // Its armies and planes at sea board the nation's first fleet there: that must be its own.
    TBrenmoorZone* Z = Re.GetZone();
    bool Cargo = false;
    for (int T = 0; T < UnitTypeCount; ++T) Cargo = Cargo || (Re.GetCount(T) > 0 && UnitTypes[std::size_t(T)].Kind != ukNavy);
    if (Z && Z->GetSea() && Cargo)
      for (int U = 0; U < Z->GetUnitCount(); ++U)
        if (Z->GetUnit(U)->GetOwner() == Re.Nation && Z->GetUnit(U)->GetKind() == ukNavy) {
          Problems.push_back(Name + " would board the fleet that is there at the start");
          break;
        }
  }
  for (int I = 0; I < R.Majors; ++I)
    if (!Reinforced.count(Engine.GetNation(I))) Problems.push_back(Engine.GetNation(I)->GetName() + " gets no reinforcements");

  // The scenario's own keys.
  bool Research = false, Storms = false;
  for (const std::string& Line : Engine.GetScenarioLines()) Research = Research || Line.rfind("ResearchGroups=", 0) == 0;
  Storms = Engine.HasEngineOption(1) || Engine.HasEngineOption(2);
  if (!Research) Problems.push_back("The scenario has no ResearchGroups line");
  if (!Storms) Problems.push_back("Storms are not enabled (EngineOptions bit 1 or 2)");
  if (Engine.GetDate() != EncodeDate(1939, 9, 1)) Problems.push_back("The scenario does not start on 9/1/1939 but on " + DateToStr(Engine.GetDate()));
}

}  // namespace

TLoadedScenario::TLoadedScenario(const std::string& ScenarioFile) {
  Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
    AZone = Engine.CreateZone(*Sender, S);
  };
  Engine.OnMessage = [this](TBrenmoorEngine*, const std::string& Text) { Messages.push_back(Text); };
  // The map surface is linked for the engine's whole life, as on the main window.
  Engine.SetZoneMap(&Map);
  try {
    Engine.SetScenarioFile(ScenarioFile);
    const std::string MapSet = MapSetFileNamePart(Engine.GetMapSet());
    if (MapSet.empty()) throw EScenarioSource("The scenario names no MapSet");
    const TMapSet Set = LoadZoneMapFromFile(Map, MapSet);
    if (Set.BitmapCount() > 0) MapColors = TBitmap::LoadFromFile(Set.GetBitmap(0).FileName).GetColorTable();
    Engine.LoadZoneData();
    Engine.PlaceInitialUnits();
  } catch (...) {
    Engine.SetZoneMap(nullptr);
    throw;
  }
}

TLoadedScenario::~TLoadedScenario() { Engine.SetZoneMap(nullptr); }

TScenarioCheckResult CheckScenario(const std::string& Folder, const std::string& ScenarioFile) {
  TScenarioCheckResult R;
  const fs::path Scenario = fs::absolute(fs::path(Folder) / ScenarioFile);
  TCurrentFolder Current(Folder);
  std::vector<TRGBQuad> MapColors;
  try {
    TLoadedScenario Loaded(Scenario.string());
    R.Problems = Loaded.Messages;
    MapColors = Loaded.MapColors;
    CheckGame(Loaded.Engine, R);
  } catch (const std::exception& E) {
    R.Problems.push_back(std::string("The game cannot load the scenario: ") + E.what());
  }

  // The flags: one cell per nation in one row, 8 bits per pixel.
  const std::string Base = Scenario.stem().string();
  const fs::path FlagsFile = Scenario.parent_path() / (Base + "Flags.bmp");
  try {
    const TBitmap Flags = TBitmap::LoadFromFile(FlagsFile.string());
    if (Flags.GetBitsPerPixel() != 8) R.Problems.push_back(FlagsFile.filename().string() + " is not of 8 bits per pixel");
    if (Flags.GetWidth() != R.Nations * FlagCellWidth || Flags.GetHeight() != FlagCellHeight)
      R.Problems.push_back(FlagsFile.filename().string() + " is " + std::to_string(Flags.GetWidth()) + " x " +
                           std::to_string(Flags.GetHeight()) + ", not " + std::to_string(R.Nations) + " cells of " +
                           std::to_string(FlagCellWidth) + " x " + std::to_string(FlagCellHeight));
    // The game turns the flags into the map's palette: they show their own colours only
    // where the two palettes agree.
    std::set<int> Used;
    for (int Y = 0; Y < Flags.GetHeight(); ++Y)
      for (int X = 0; X < Flags.GetWidth(); ++X) Used.insert(Flags.ScanLine(Y)[X]);
    for (int C : Used)
      if (C >= static_cast<int>(MapColors.size()) || !(Flags.GetColor(C) == MapColors[std::size_t(C)])) {
        R.Problems.push_back(FlagsFile.filename().string() + " draws with colour " + std::to_string(C) +
                             ", which the map's palette gives another colour");
        break;
      }
    // Every nation has a flag of its own.
    const int Cells = Flags.GetWidth() / FlagCellWidth;
    const auto Cell = [&](int K) {
      std::string Pixels;
      for (int Y = 0; Y < Flags.GetHeight(); ++Y)
        Pixels.append(reinterpret_cast<const char*>(Flags.ScanLine(Y)) + K * FlagCellWidth, FlagCellWidth);
      return Pixels;
    };
    std::map<std::string, int> Seen;
    for (int K = 0; K < Cells; ++K) {
      const auto [It, New] = Seen.emplace(Cell(K), K);
      if (!New) R.Problems.push_back("The flag cells " + std::to_string(It->second) + " and " + std::to_string(K) + " are the same");
    }
  } catch (const std::exception& E) {
    R.Problems.push_back(E.what());
  }
  return R;
}
