// The saved-game state text of the rules engine: writing the whole game as one line of values
// and restoring a game from it.
//
// A load is tried in full on a scratch engine first, with a map of the same zones (the map
// set the scenario names, or a copy of the linked map's zones): the scenario read again, the
// counts checked against it and the map, the zone pass, every object read and every reference
// resolved. Only when all of that went through is the live game replaced, by the same steps,
// so that a text that cannot be used leaves the running game as it was.
#include "engine/SavedGame.h"

#include <charconv>

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "sprites/MapSet.h"

namespace {

// The values in the order of the text's header.
enum : std::size_t {
  vVersion, vFormat, vScenarioFile, vNationCount, vZoneCount, vRoutingCount, vStormCount, vUnitCount, vAllianceCount,
  vLastRandomEventDate, vActiveEventCount, vDate, vFreeForAll, vAllComputer, HeaderValueCount
};

constexpr int SavedGameFormat = 2;

// A double in the shortest decimal form that reads back to the same value ("4", "14915.5"):
// a loaded game goes on from exactly the date the saved one had.
std::string ShortestFloat(double Value) {
  if (Value == 0) return "0";
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, Value);
  return std::string(Buf, R.ptr);
}

// A copy of the map's zones (corners, name, sea) for the scratch engine, in the same order.
void CopyZones(const TZoneMap& From, TZoneMap& To) {
  for (int I = 0; I < From.ZoneCount(); ++I) {
    const TZone* Zone = From.GetZone(I);
    std::string Text;
    for (const TPoint& P : Zone->GetPoints()) Text += (Text.empty() ? "" : ",") + IntToStr(P.X) + "," + IntToStr(P.Y);
    Text += ";" + Zone->GetName() + ";" + IntToStr(Zone->GetSea()) + ";";
    To.AddZone(To.CreateZone(Text));
  }
}

}  // namespace

std::string SavedFileNamePart(const std::string& FileName) {
  const std::size_t P = FileName.find_last_of("\\:/");
  return P == std::string::npos ? FileName : FileName.substr(P + 1);
}

// The values of a saved game, split and checked before any engine is touched.
struct TBrenmoorEngine::TSavedGame {
  std::vector<std::string> Values;
  double Version = 0;
  std::string ScenarioFile;
  int NationCount = 0;
  int ZoneCount = 0;
  int RoutingCount = 0;
  int StormCount = 0;
  int UnitCount = 0;
  int AllianceCount = 0;
  int ActiveEventCount = 0;
  TDateTime LastRandomEventDate = 0;
  TDateTime Date = 0;
  bool FreeForAll = false;
  bool AllComputer = false;
  std::int32_t Impulse = 0;
  // The identifier the next unit takes (-1: not kept).
  std::int32_t NextUnitID = -1;

  explicit TSavedGame(const std::string& Text) {
    std::size_t Start = 0;
    for (std::size_t P = Text.find(';'); P != std::string::npos; P = Text.find(';', Start)) {
      Values.push_back(Text.substr(Start, P - Start));
      Start = P + 1;
    }
    if (Start < Text.size()) Values.push_back(Text.substr(Start));
    if (Values.empty() || Values[vVersion].empty()) throw EBrenmoorEngine("This is no saved game of Brenmoor");
    Version = StrToFiniteDouble(Values[vVersion]);
    if (Version > SavedGameVersion)
      throw EBrenmoorEngine("This game was saved with Version " + FloatToStr(Version) + " of Brenmoor, and you have version " +
                            ShortestFloat(SavedGameVersion) + ".");
    if (Values.size() < HeaderValueCount) {
      if (Values.size() > vFormat && StrToIntDef(Values[vFormat], 0) < 0) throw EBrenmoorEngine("This saved game holds no game");
      throw CutShort(HeaderValueCount);
    }
    if (StrToIntDef(Values[vFormat], 0) < 0) throw EBrenmoorEngine("This saved game holds no game");
    ScenarioFile = Values[vScenarioFile];
    NationCount = Count(vNationCount, "nations");
    ZoneCount = Count(vZoneCount, "zones");
    RoutingCount = Count(vRoutingCount, "routings");
    StormCount = Count(vStormCount, "storms");
    UnitCount = Count(vUnitCount, "units");
    AllianceCount = Count(vAllianceCount, "alliances");
    ActiveEventCount = Count(vActiveEventCount, "active events");
    LastRandomEventDate = StrToFiniteDouble(Values[vLastRandomEventDate]);
    Date = StrToFiniteDouble(Values[vDate]);
    FreeForAll = Values[vFreeForAll] == "1";
    AllComputer = Values[vAllComputer] == "1";
    const std::size_t Needed = FiredListValue() + 1;
    if (Values.size() < Needed) throw CutShort(Needed);
    // Texts from before the impulse was kept end with the fired list: impulse 0.
    if (Values.size() > Needed) Impulse = StrToIntDef(Values[Needed], 0);
    // And texts from before the next unit identifier was kept end with the impulse.
    if (Values.size() > Needed + 1) NextUnitID = StrToIntDef(Values[Needed + 1], -1);
  }

  std::size_t NationValue(int I) const { return HeaderValueCount + static_cast<std::size_t>(I); }
  std::size_t ZoneValue(int I) const { return NationValue(NationCount) + static_cast<std::size_t>(I); }
  std::size_t RoutingValue(int I) const { return ZoneValue(ZoneCount) + static_cast<std::size_t>(I); }
  std::size_t StormValue(int I) const { return RoutingValue(RoutingCount) + static_cast<std::size_t>(I); }
  std::size_t UnitValue(int I) const { return StormValue(StormCount) + static_cast<std::size_t>(I); }
  std::size_t AllianceValue(int I) const { return UnitValue(UnitCount) + static_cast<std::size_t>(I); }
  std::size_t ActiveEventValue(int I) const { return AllianceValue(AllianceCount) + static_cast<std::size_t>(I); }
  std::size_t FiredListValue() const { return ActiveEventValue(ActiveEventCount); }
  const std::string& Value(std::size_t I) const { return Values[I]; }

private:
  int Count(std::size_t I, const char* What) const {
    const std::int32_t N = StrToIntDef(Values[I], 0);
    // More objects than values could ever hold is a damaged text, not a reason to reserve
    // memory.
    if (N < 0 || static_cast<std::size_t>(N) > Values.size())
      throw EBrenmoorEngine("The saved game's number of " + std::string(What) + " " + Values[I] + " cannot be used");
    return N;
  }
  EBrenmoorEngine CutShort(std::size_t Needed) const {
    return EBrenmoorEngine("The saved game is cut short: it holds " + std::to_string(Values.size()) + " of its " +
                           std::to_string(Needed) + " values");
  }
};

std::string TBrenmoorEngine::SaveToString() {
  CheckNoImpulse("saved");
  std::string S;
  const auto Add = [&S](const std::string& Value) {
    S += Value;
    S += ';';
  };
  Add(ShortestFloat(SavedGameVersion));
  Add(IntToStr(SavedGameFormat));
  Add(FScenarioFile);
  Add(IntToStr(GetNationCount()));
  Add(IntToStr(GetZoneCount()));
  Add(IntToStr(GetRoutingCount()));
  Add(IntToStr(GetStormCount()));
  Add(IntToStr(GetUnitCount()));
  Add(IntToStr(GetAllianceCount()));
  Add(ShortestFloat(FLastRandomEventDate));
  Add(IntToStr(GetActiveEventCount()));
  Add(ShortestFloat(FDate));
  Add(TokenText(FFreeForAll));
  Add(TokenText(FAllComputer));
  for (const auto& Nation : FNations) Add(Nation->SaveToString());
  for (int I = 0; I < GetZoneCount(); ++I) Add(GetZone(I)->SaveToString());
  for (const auto& Routing : FRoutings) Add(Routing->SaveToString());
  for (const auto& Storm : FStorms) Add(Storm->SaveToString());
  for (const TUnit* Unit : FUnits) Add(Unit->SaveToString());
  for (const std::string& Alliance : FAlliances) Add(Alliance);
  for (const auto& Event : FActiveEvents) Add(Event->SaveToString());
  std::string Fired;
  for (std::size_t I = 0; I < FRandomEvents.size(); ++I)
    if (FRandomEvents[I]->Fired) Fired += IntToStr(static_cast<std::int64_t>(I)) + "#";
  Add(Fired);
  // Appended after the fired list, so that a text without it still loads (impulse 0).
  Add(IntToStr(FImpulse));
  // The identifier the next unit takes: the newest units may have gone, and a machine that
  // joins a game from this text must give new units the identifiers the host gives them.
  Add(IntToStr(FUnits.NextID()));
  return S;
}

void TBrenmoorEngine::LoadFromString(const std::string& Text) {
  CheckNoImpulse("loaded");
  const TSavedGame Saved(Text);
  // The scenario is looked for under its file name alone, in the current folder.
  const std::string ScenarioName = SavedFileNamePart(Saved.ScenarioFile);
  const std::string ScenarioText = ReadScenarioText(ScenarioName);

  // The whole load on a scratch engine first. Its map is declared first so that it goes last.
  TZoneMap ScratchMap;
  TBrenmoorEngine Scratch;
  ScratchMap.OnCreateZone = [&Scratch](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
    AZone = Scratch.CreateZone(*Sender, S);
  };
  Scratch.SetZoneMap(&ScratchMap);
  Scratch.ReadScenario(ScenarioText, ScenarioName);
  const std::string MapSet = MapSetFileNamePart(Scratch.GetMapSet());
  const bool NewMapSet = FMapSetLoader && !MapSet.empty() && MapSetFileNamePart(FMapSetLoader->GetMapSetFile()) != MapSet;
  if (NewMapSet) {
    // No grid slots: the load needs none.
    ScratchMap.SetGridWidth(0);
    LoadZoneMap(ScratchMap, TMapSet::LoadFromFile(MapSet));
  } else if (FZoneMap) {
    // A zone the engine did not make would be refused by the live zone pass only after the
    // old game had gone: it is refused here.
    for (int I = 0; I < FZoneMap->ZoneCount(); ++I)
      if (!dynamic_cast<TBrenmoorZone*>(FZoneMap->GetZone(I)))
        throw EBrenmoorEngine("Zone " + FZoneMap->GetZone(I)->GetName() + " was not made by the rules engine");
    CopyZones(*FZoneMap, ScratchMap);
  }
  Scratch.ReadSavedGame(Saved, ScenarioText);

  // It can be used: the same steps on the live game.
  if (NewMapSet) FMapSetLoader->SetMapSetFile(MapSet);
  try {
    ReadSavedGame(Saved, ScenarioText);
  } catch (...) {
    // Only a change under the load (a file changed between the two reads) gets here: no
    // half-read game stays behind.
    FreeGame();
    throw;
  }
}

void TBrenmoorEngine::ReadSavedGame(const TSavedGame& Saved, const std::string& ScenarioText) {
  ReadScenario(ScenarioText, SavedFileNamePart(Saved.ScenarioFile));
  if (GetNationCount() != Saved.NationCount)
    throw EBrenmoorEngine("The saved game has " + std::to_string(Saved.NationCount) + " nations, but its scenario \"" + FScenarioFile +
                          "\" has " + std::to_string(GetNationCount()));
  if (GetZoneCount() != Saved.ZoneCount)
    throw EBrenmoorEngine("The saved game has " + std::to_string(Saved.ZoneCount) + " zones, but the map has " +
                          std::to_string(GetZoneCount()));
  LoadZoneData();
  try {
    FLastRandomEventDate = Saved.LastRandomEventDate;
    FDate = Saved.Date;
    FFreeForAll = Saved.FreeForAll;
    FAllComputer = Saved.AllComputer;
    for (int I = 0; I < Saved.NationCount; ++I) GetNation(I)->LoadFromString(Saved.Value(Saved.NationValue(I)));
    for (int I = 0; I < Saved.ZoneCount; ++I) GetZone(I)->LoadFromString(Saved.Value(Saved.ZoneValue(I)));
    for (int I = 0; I < Saved.RoutingCount; ++I) {
      auto Routing = std::make_unique<TRouting>(*this);
      Routing->LoadFromString(Saved.Value(Saved.RoutingValue(I)));
      AddRouting(std::move(Routing));
    }
    for (int I = 0; I < Saved.StormCount; ++I) {
      auto Storm = std::make_unique<TStorm>(*this);
      Storm->LoadFromString(Saved.Value(Saved.StormValue(I)));
      AddStorm(std::move(Storm));
    }
    for (int I = 0; I < Saved.UnitCount; ++I) {
      auto Unit = std::make_unique<TUnit>(*this);
      Unit->LoadFromString(Saved.Value(Saved.UnitValue(I)));
      // At its own identifier: orders and change records name units by it.
      AddLoadedUnit(std::move(Unit));
    }
    std::vector<std::string> Alliances;
    for (int I = 0; I < Saved.AllianceCount; ++I) Alliances.push_back(Saved.Value(Saved.AllianceValue(I)));
    FAlliances = std::move(Alliances);
    for (int I = 0; I < Saved.ActiveEventCount; ++I) {
      auto Event = std::make_unique<TActiveEvent>(*this);
      Event->LoadFromString(Saved.Value(Saved.ActiveEventValue(I)));
      AddActiveEvent(std::move(Event));
    }
    TTokenReader Fired(Saved.Value(Saved.FiredListValue()));
    while (!Fired.AtEnd()) {
      const std::int32_t Index = StrToIntDef(Fired.Next('#'), -1);
      if (Index >= 0 && Index < GetRandomEventCount()) GetRandomEvent(Index)->Fired = true;
    }
    FUnits.RaiseNextID(Saved.NextUnitID);
    ResolveLoadedReferences();
    // Moving a unit moves what it carries: a unit carried by itself would move forever.
    for (const TUnit* Unit : FUnits)
      if (Unit->RidesOn(Unit)) throw EBrenmoorEngine("Unit " + std::to_string(Unit->ID) + " is carried by a unit it carries");
    FImpulse = Saved.Impulse;
    FSavedVersion = Saved.Version;
  } catch (...) {
    FreeGame();
    throw;
  }
}
