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

#include "engine/SavedFields.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "sprites/MapSet.h"

namespace {

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

// The values of a saved game, split and checked before any engine is touched. They are views
// of the text, which outlives them (the load reads them while it runs).
struct TBrenmoorEngine::TSavedGame {
  TSavedValues Values;
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
  // The place of the first value of each run of objects, and of the fired list.
  std::size_t FirstNation = 0;
  std::size_t FirstZone = 0;
  std::size_t FirstRouting = 0;
  std::size_t FirstStorm = 0;
  std::size_t FirstUnit = 0;
  std::size_t FirstAlliance = 0;
  std::size_t FirstActiveEvent = 0;
  std::size_t FiredList = 0;
  // The values the counts ask for when the text holds fewer; 0 when it holds them all.
  std::size_t Needed = 0;

  explicit TSavedGame(std::string_view Text) : Values(Text, ';', TSavedValues::Split) {
    Values.SetRecord("Saved game");
    TNoScratch Scratch;
    Fields().Read(*this, Values, Scratch);
  }
  TSavedGame(const TSavedGame&) = delete;
  TSavedGame& operator=(const TSavedGame&) = delete;

  std::size_t NationValue(int I) const { return FirstNation + static_cast<std::size_t>(I); }
  std::size_t ZoneValue(int I) const { return FirstZone + static_cast<std::size_t>(I); }
  std::size_t RoutingValue(int I) const { return FirstRouting + static_cast<std::size_t>(I); }
  std::size_t StormValue(int I) const { return FirstStorm + static_cast<std::size_t>(I); }
  std::size_t UnitValue(int I) const { return FirstUnit + static_cast<std::size_t>(I); }
  std::size_t AllianceValue(int I) const { return FirstAlliance + static_cast<std::size_t>(I); }
  std::size_t ActiveEventValue(int I) const { return FirstActiveEvent + static_cast<std::size_t>(I); }
  std::size_t FiredListValue() const { return FiredList; }
  std::string_view Value(std::size_t I) const { return Values.At(I); }
  EBrenmoorEngine CutShort() const { return CutShort(Needed); }
  // True when a record at place I that cannot be read is the early end of the text: the text
  // holds fewer values than its counts ask for, and I is its last (which the end may have cut
  // through) or beyond. A record before that is damaged where it stands, and says so.
  bool EndsAt(std::size_t I) const { return Needed != 0 && I + 1 >= Values.Size(); }

  // The game's top record: written from the engine, read into the values of a saved game. The
  // first 14 values are the header; then every object's field, the fired list and what later
  // versions appended.
  using TFields = TSavedFields<TBrenmoorEngine, TSavedGame>;
  static const TFields& Fields();

private:
  static constexpr std::size_t HeaderValueCount = 14;
  std::string_view LastRandomEventDateText;

  int Count(std::string_view Value, const char* What) const {
    const std::int32_t N = StrToIntDef(Value, 0);
    // More objects than values could ever hold is a damaged text, not a reason to reserve
    // memory.
    if (N < 0 || static_cast<std::size_t>(N) > Values.Size())
      throw EBrenmoorEngine("The saved game's number of " + std::string(What) + " " + std::string(Value) + " cannot be used");
    return N;
  }
  // A date of the game: days since 30 December 1899 within the years the calendar holds.
  static TDateTime DateIn(std::string_view Text, const char* What) {
    const double Date = StrToFiniteDouble(Text);
    if (!FieldRange::Date.Holds(Date))
      throw EBrenmoorEngine(std::string("Saved game: the ") + What + " " + std::string(Text) + " is outside " + SavedValue::RangeText(FieldRange::Date));
    return Date;
  }
  EBrenmoorEngine CutShort(std::size_t Count) const {
    return EBrenmoorEngine("The saved game is cut short: it holds " + std::to_string(Values.Size()) + " of its " +
                           std::to_string(Count) + " values");
  }
  // A count of the header, refused when the text could never hold that many objects.
  static TFields::TField CountField(const char* What, int (TBrenmoorEngine::*Get)() const, int TSavedGame::*Counted) {
    return TFields::Field(
        std::string("number of ") + What, [Get](const TBrenmoorEngine& E) { return IntToStr((E.*Get)()); },
        [What, Counted](TSavedGame& G, TSavedValues& V) { G.*Counted = G.Count(V.Next(), What); });
  }
  // A run of objects' fields, one value each: read later by place, so the reader only notes
  // where it starts.
  static TFields::TField Run(const char* What, int TSavedGame::*Counted, std::size_t TSavedGame::*First,
                             std::function<void(const TBrenmoorEngine&, TSavedText&)> Write) {
    return TFields::Field(What, std::move(Write), [Counted, First](TSavedGame& G, TSavedValues& V) {
      G.*First = V.Skip(static_cast<std::size_t>(G.*Counted));
    });
  }
};

const TBrenmoorEngine::TSavedGame::TFields& TBrenmoorEngine::TSavedGame::Fields() {
  using F = TFields;
  using V = TSavedValues;
  using E = TBrenmoorEngine;
  static const TFields Table(';', {
    F::Field("version", [](const E&) { return ShortestFloat(SavedGameVersion); },
             [](TSavedGame& G, V& R) {
               const std::string_view Version = R.Next();
               if (Version.empty()) throw EBrenmoorEngine("This is no saved game of Brenmoor");
               G.Version = StrToFiniteDouble(Version);
               if (G.Version > SavedGameVersion)
                 throw EBrenmoorEngine("This game was saved with Version " + FloatToStr(G.Version) + " of Brenmoor, and you have version " +
                                       ShortestFloat(SavedGameVersion) + ".");
             }),
    F::Step("the whole header",
            [](TSavedGame& G) {
              if (G.Values.Size() >= HeaderValueCount) return;
              if (G.Values.Size() > 1 && StrToIntDef(G.Values.At(1), 0) < 0) throw EBrenmoorEngine("This saved game holds no game");
              throw G.CutShort(HeaderValueCount);
            }),
    F::Field("format", [](const E&) { return IntToStr(SavedGameFormat); },
             [](TSavedGame&, V& R) {
               if (R.NextInt() < 0) throw EBrenmoorEngine("This saved game holds no game");
             }),
    F::Field("scenario file", [](const E& En) { return En.FScenarioFile; }, [](TSavedGame& G, V& R) { G.ScenarioFile = std::string(R.Next()); }),
    CountField("nations", &E::GetNationCount, &TSavedGame::NationCount),
    CountField("zones", &E::GetZoneCount, &TSavedGame::ZoneCount),
    CountField("routings", &E::GetRoutingCount, &TSavedGame::RoutingCount),
    CountField("storms", &E::GetStormCount, &TSavedGame::StormCount),
    CountField("units", &E::GetUnitCount, &TSavedGame::UnitCount),
    CountField("alliances", &E::GetAllianceCount, &TSavedGame::AllianceCount),
    // Converted once the count after it is checked.
    F::Field("last random event date", [](const E& En) { return ShortestFloat(En.FLastRandomEventDate); },
             [](TSavedGame& G, V& R) { G.LastRandomEventDateText = R.Next(); }),
    CountField("active events", &E::GetActiveEventCount, &TSavedGame::ActiveEventCount),
    F::Step("last random event date", [](TSavedGame& G) { G.LastRandomEventDate = DateIn(G.LastRandomEventDateText, "last random event date"); }),
    F::Field("date", [](const E& En) { return ShortestFloat(En.FDate); }, [](TSavedGame& G, V& R) { G.Date = DateIn(R.Next(), "date"); }),
    F::Field("free for all", [](const E& En) { return TokenText(En.FFreeForAll); }, [](TSavedGame& G, V& R) { G.FreeForAll = R.NextFlag(); }),
    F::Field("all computer", [](const E& En) { return TokenText(En.FAllComputer); }, [](TSavedGame& G, V& R) { G.AllComputer = R.NextFlag(); }),
    Run("nations", &TSavedGame::NationCount, &TSavedGame::FirstNation,
        [](const E& En, TSavedText& T) {
          for (const auto& Nation : En.FNations) T.Add(Nation->SaveToString());
        }),
    Run("zones", &TSavedGame::ZoneCount, &TSavedGame::FirstZone,
        [](const E& En, TSavedText& T) {
          for (int I = 0; I < En.GetZoneCount(); ++I) T.Add(En.GetZone(I)->SaveToString());
        }),
    Run("routings", &TSavedGame::RoutingCount, &TSavedGame::FirstRouting,
        [](const E& En, TSavedText& T) {
          for (const auto& Routing : En.FRoutings) T.Add(Routing->SaveToString());
        }),
    Run("storms", &TSavedGame::StormCount, &TSavedGame::FirstStorm,
        [](const E& En, TSavedText& T) {
          for (const auto& Storm : En.FStorms) T.Add(Storm->SaveToString());
        }),
    Run("units", &TSavedGame::UnitCount, &TSavedGame::FirstUnit,
        [](const E& En, TSavedText& T) {
          for (const TUnit* Unit : En.FUnits) T.Add(Unit->SaveToString());
        }),
    Run("alliances", &TSavedGame::AllianceCount, &TSavedGame::FirstAlliance,
        [](const E& En, TSavedText& T) {
          for (const std::string& Alliance : En.FAlliances) T.Add(Alliance);
        }),
    Run("active events", &TSavedGame::ActiveEventCount, &TSavedGame::FirstActiveEvent,
        [](const E& En, TSavedText& T) {
          for (const auto& Event : En.FActiveEvents) T.Add(Event->SaveToString());
        }),
    F::Field("fired random events",
             [](const E& En) {
               std::string Fired;
               for (std::size_t I = 0; I < En.FRandomEvents.size(); ++I)
                 if (En.FRandomEvents[I]->Fired) Fired += IntToStr(static_cast<std::int64_t>(I)) + "#";
               return Fired;
             },
             [](TSavedGame& G, V& R) {
               // Fewer values than the counts ask for: the text ended early, or a damaged value
               // swallowed the separators of its neighbours. Which of the two, the records tell
               // when they are read (ReadSavedGame).
               if (R.Position() >= G.Values.Size()) G.Needed = R.Position() + 1;
               G.FiredList = R.Position();
               R.Next();
             }),
    // Appended after the fired list: texts from before it was kept load at impulse 0.
    F::Later(1, "impulse", [](const E& En) { return IntToStr(En.FImpulse); },
             [](TSavedGame& G, V& R) { G.Impulse = SavedValue::LenientInt(R, FieldRange::Impulse); }, [](TSavedGame& G) { G.Impulse = 0; }),
    // The identifier the next unit takes: the newest units may have gone, and a machine that
    // joins a game from this text must give new units the identifiers the host gives them.
    // Texts from before it was kept end with the impulse: not kept.
    F::Later(2, "next unit identifier", [](const E& En) { return IntToStr(En.FUnits.NextID()); },
             [](TSavedGame& G, V& R) { G.NextUnitID = SavedValue::LenientInt(R, FieldRange::UnitIDOrNone); }, [](TSavedGame& G) { G.NextUnitID = -1; }),
  });
  return Table;
}

std::string TBrenmoorEngine::SaveToString() {
  CheckNoImpulse("saved");
  return TSavedGame::Fields().Write(*this);
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
    // Each record read at its place; what cannot be read where the text ends early is that
    // early end.
    const auto Read = [&Saved](std::size_t Place, const auto& Load) {
      try {
        Load(Saved.Value(Place));
      } catch (const EBrenmoor&) {
        if (Saved.EndsAt(Place)) throw Saved.CutShort();
        throw;
      }
    };
    for (int I = 0; I < Saved.NationCount; ++I)
      Read(Saved.NationValue(I), [&](std::string_view Text) { GetNation(I)->LoadFromString(Text); });
    for (int I = 0; I < Saved.ZoneCount; ++I) Read(Saved.ZoneValue(I), [&](std::string_view Text) { GetZone(I)->LoadFromString(Text); });
    for (int I = 0; I < Saved.RoutingCount; ++I) {
      auto Routing = std::make_unique<TRouting>(*this);
      Read(Saved.RoutingValue(I), [&](std::string_view Text) { Routing->LoadFromString(Text); });
      AddRouting(std::move(Routing));
    }
    for (int I = 0; I < Saved.StormCount; ++I) {
      auto Storm = std::make_unique<TStorm>(*this);
      Read(Saved.StormValue(I), [&](std::string_view Text) { Storm->LoadFromString(Text); });
      AddStorm(std::move(Storm));
    }
    for (int I = 0; I < Saved.UnitCount; ++I) {
      auto Unit = std::make_unique<TUnit>(*this);
      Read(Saved.UnitValue(I), [&](std::string_view Text) { Unit->LoadFromString(Text); });
      // At its own identifier: orders and change records name units by it.
      AddLoadedUnit(std::move(Unit));
    }
    std::vector<std::string> Alliances;
    for (int I = 0; I < Saved.AllianceCount; ++I) Alliances.emplace_back(Saved.Value(Saved.AllianceValue(I)));
    FAlliances = std::move(Alliances);
    for (int I = 0; I < Saved.ActiveEventCount; ++I) {
      auto Event = std::make_unique<TActiveEvent>(*this);
      Read(Saved.ActiveEventValue(I), [&](std::string_view Text) { Event->LoadFromString(Text); });
      AddActiveEvent(std::move(Event));
    }
    // Every record could be read, but the text holds fewer values than its counts ask for.
    if (Saved.Needed != 0) throw Saved.CutShort();
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
