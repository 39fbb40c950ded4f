#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

#include "EngineFixture.h"
#include "foundation/DateUtils.h"
#include "foundation/ListError.h"
#include "foundation/ProcessMessages.h"
#include "support/ScratchFolder.h"
#include "engine/UnitRules.h"

namespace {

class ScenarioTest : public WorldFixture {
protected:
  // The world's scenario with more lines after its last one (line 15, "ImpulseRate=3").
  static std::string WorldWith(const std::string& Lines) { return std::string(WorldScenarioText) + Lines; }

  // What must survive a refused load of the world loaded with its units.
  struct TSnapshot {
    int Nations = 0;
    int Units = 0;
    TDateTime Date = 0;
    std::string Description;
    TNation* AlbaOwner = nullptr;
    std::string Tallies;
  };
  TSnapshot Snapshot() {
    return {Engine.GetNationCount(), Engine.GetUnitCount(), Engine.GetDate(), Engine.GetDescription(), Z(zAlba)->GetOwner(),
            Engine.CheckTallies()};
  }
  void ExpectWorldWhole(const TSnapshot& Before, const std::string& Context) {
    EXPECT_EQ(Engine.GetNationCount(), Before.Nations) << Context;
    EXPECT_EQ(Engine.GetUnitCount(), Before.Units) << Context;
    EXPECT_EQ(Engine.GetDate(), Before.Date) << Context;
    EXPECT_EQ(Engine.GetDescription(), Before.Description) << Context;
    EXPECT_EQ(Z(zAlba)->GetOwner(), Before.AlbaOwner) << Context;
    EXPECT_EQ(Engine.CheckTallies(), "") << Context;
  }
};

}  // namespace

TEST_F(ScenarioTest, EveryKeyOfTheScenarioIsRead) {
  LoadWorld(true, WorldWith("Date=6/22/41\n"
                            "EngineOptions=00000110\n"
                            "Wrapping=1,0\n"
                            "ResearchGroups=30#21#22#250#16#11#61#62#\n"
                            "RandomEvent=1~110~History~1~2~10~-15~x~Brae~p.bmp~Albion~Alba~Famine~2~\n"
                            "RandomEvent=0~001~~0~5~0~10~~~~~~Storm at sea~0~\n"
                            "VictoryCondition=Allies~0~1~Allies~60~\n"
                            "Reinforcement=0#0#0#5#2#0#0#0#0#0#0#0#0#0#0#1#,12,1,Brae\n"
                            "MapSet=maps\\world.map\n"
                            "ImpulseRate=7\n"));
  EXPECT_EQ(Engine.GetDescription(), "A small world");
  EXPECT_EQ(Engine.GetDate(), EncodeDate(1941, 6, 22));
  EXPECT_EQ(LongDateToStr(Engine.GetDate()), "June 22, 1941");
  EXPECT_DOUBLE_EQ(Engine.GetImpulseRate(), 3) << "the first ImpulseRate line counts";
  Engine.AdvanceDate();
  EXPECT_EQ(Engine.GetDate(), EncodeDate(1941, 6, 25));
  EXPECT_EQ(Engine.GetAlliances(), (std::vector<std::string>{"Allies", "Axis"}));
  EXPECT_EQ(Engine.IndexOfAlliance("Axis"), 1);
  EXPECT_EQ(Engine.IndexOfAlliance("axis"), -1);
  EXPECT_EQ(Engine.GetScenarioNationCount(), 4);
  EXPECT_EQ(Engine.GetMajorCount(), 3);

  // Characters 6 and 7: every zone an airfield, ports by the map's coast.
  EXPECT_EQ(Engine.GetEngineOptions(), 0x60);
  for (int I = 0; I < Engine.GetZoneCount(); ++I) {
    EXPECT_TRUE(Z(I)->IsAirfield()) << I;
    EXPECT_EQ(Z(I)->IsPort(), Z(I)->IsCoastal()) << I;
  }
  EXPECT_TRUE(Engine.GetWrapHorizontal());
  EXPECT_FALSE(Engine.GetWrapVertical());
  const std::uint16_t Costs[] = {30, 21, 22, 250, 16, 11, 61, 62};
  for (int G = 0; G < ResearchGroupCount; ++G) EXPECT_EQ(Engine.GetResearchCost(G), Costs[G]) << G;

  ASSERT_EQ(Engine.GetRandomEventCount(), 2);
  EXPECT_EQ(Engine.GetRandomEvent(0)->Title, "Famine");
  EXPECT_EQ(Engine.GetRandomEvent(1)->Index, 1);
  EXPECT_EQ(Engine.GetRandomEvent(1)->Title, "Storm at sea");
  ASSERT_EQ(Engine.GetVictoryConditionCount(), 1);
  EXPECT_EQ(Engine.GetVictoryCondition(0)->GetDescription(), "Allies:Achieve 60% World Domination");
  ASSERT_EQ(Engine.GetReinforcementCount(), 1);
  EXPECT_EQ(Engine.GetReinforcement(0)->Nation, N(1));
  EXPECT_EQ(Engine.GetReinforcement(0)->GetZone(), Z(zBrae));
  EXPECT_EQ(Engine.GetReinforcement(0)->ArrivalImpulse, 12);
  EXPECT_EQ(Engine.GetMapSet(), "maps\\world.map");
  EXPECT_THROW(Engine.GetRandomEvent(2), EListError);
  EXPECT_THROW(Engine.GetAlliance(-1), EListError);

  // The zone pass marks every random event not fired and sets all-computer.
  EXPECT_FALSE(Engine.GetAllComputer());
  EXPECT_FALSE(Engine.IsSoloGame());
  Engine.GetRandomEvent(0)->Fired = true;
  for (int I = 0; I < Engine.GetMajorCount(); ++I) N(I)->SetComputerPlayer(true);
  Engine.LoadZoneData();
  EXPECT_FALSE(Engine.GetRandomEvent(0)->Fired);
  EXPECT_TRUE(Engine.GetAllComputer());
  EXPECT_TRUE(Engine.IsSoloGame());
  N(1)->SetComputerPlayer(false);
  N(1)->SetPlayerName("[SOLO]");
  EXPECT_TRUE(Engine.IsSoloGame());
  N(1)->SetPlayerName("Ann");
  EXPECT_FALSE(Engine.IsSoloGame());
}

TEST_F(ScenarioTest, TheDateDefaultsToNovember1940AndOldYearsMoveOn) {
  struct Case {
    const char* Line;
    TDateTime Date;
  };
  const Case Cases[] = {
      {"", EncodeDate(1940, 11, 1)},           {"Date=9/1/1939\n", EncodeDate(1939, 9, 1)},
      {"Date=12/7/41\n", EncodeDate(1941, 12, 7)}, {"Date=1/1/00\n", EncodeDate(2000, 1, 1)},
      {"Date=3/4/1900\n", EncodeDate(2000, 3, 4)}, {"Date=3/4/1901\n", EncodeDate(1901, 3, 4)},
  };
  for (const Case& C : Cases) {
    LoadWorld(false, WorldWith(C.Line));
    EXPECT_EQ(Engine.GetDate(), C.Date) << C.Line;
  }
}

TEST_F(ScenarioTest, EveryScenarioStartsWithTheDefaultResearchCostsAndNoRandomEventDate) {
  LoadWorld(false, WorldWith("ResearchGroups=1#2#3#4#5#6#7#8#\n"));
  EXPECT_EQ(Engine.GetResearchCost(3), 4);
  Engine.SetLastRandomEventDate(EncodeDate(1941, 1, 1));
  LoadWorld(false);
  for (int G = 0; G < ResearchGroupCount; ++G) EXPECT_EQ(Engine.GetResearchCost(G), DefaultResearchCosts[G]) << G;
  EXPECT_EQ(Engine.GetLastRandomEventDate(), 0);
}

TEST_F(ScenarioTest, EveryNationStartsWithTheFormationsWindowsWeights) {
  LoadWorld(false);
  Engine.UnitRules().SetFormations(N(1), "55#-#-#-#-#-#-#-#-#-#-#-#-#-#-#-#");
  // A new scenario starts everyone afresh: 10 for every type, the Atomic Bomber's the Bomber's.
  LoadWorld(false);
  for (int I = 0; I < Engine.GetNationCount(); ++I)
    for (int T = 0; T < UnitTypeCount; ++T) EXPECT_EQ(N(I)->GetUnitCost(T), StartingFormationWeight) << I << " " << T;
}

TEST_F(ScenarioTest, RefusedScenariosNameTheLineAndTheFieldAndLeaveTheGameWhole) {
  LoadWorld();
  Engine.SetDate(EncodeDate(1942, 2, 2));
  const TSnapshot Before = Snapshot();
  ASSERT_GT(Before.Units, 0);
  const std::string Two = "NationCount=2\nNation=A,Allies,1,A,0,\nNation=B,Axis,1,B,0,\n";  // Lines 1..3.
  std::string EightMajors = "NationCount=8\n";
  for (char C = 'A'; C <= 'H'; ++C) EightMajors += std::string("Nation=") + C + ",,1," + C + ",0,\n";
  struct Case {
    std::string Text;
    std::string Message;
  };
  const Case Cases[] = {
      {"NationCount=1\nNation=A,,1,A,0,\nNation=B,,1,B,0,\nImpulseRate=1\n",
       "Scenario line 3, field Nation: more Nation lines than NationCount 1"},
      {"NationCount=2\nNation=A,,0,A,0,\nNation=B,,1,B,0,\nImpulseRate=1\n",
       "Scenario line 3, field Nation: the major power B after a minor nation"},
      {EightMajors + "ImpulseRate=1\n", "Scenario line 9, field Nation: the major power H is one more than 7"},
      {"Nation=A,,1,A,0,\nNationCount=2\n", "Scenario line 1, field Nation: a Nation line before NationCount"},
      {"NationCount=1\nNation=A,,1,A,0,\nNationCount=2\n", "Scenario line 3, field NationCount: a NationCount line after the first Nation line"},
      {"NationCount=two\n", "Scenario line 1, field NationCount: 'two' is not a valid integer value"},
      {Two, "Scenario, field ImpulseRate: the scenario gives no ImpulseRate"},
      {Two + "ImpulseRate=0\n", "Scenario line 4, field ImpulseRate: the impulse rate 0 is not above 0 days"},
      {Two + "ImpulseRate=-2.5\n", "Scenario line 4, field ImpulseRate: the impulse rate -2.5 is not above 0 days"},
      {Two + "ImpulseRate=1e400\n", "Scenario line 4, field ImpulseRate: the impulse rate 1e400 is above a century"},
      {Two + "ImpulseRate=fast\n", "Scenario line 4, field ImpulseRate: 'fast' is not a valid floating point value"},
      {Two + "ImpulseRate=1\nDate=2/29/1941\n", "Scenario line 5, field Date: '2/29/1941' is not a date month/day/year"},
      {Two + "ImpulseRate=1\nDate=soon\n", "Scenario line 5, field Date: 'soon' is not a date month/day/year"},
      {Two + "ImpulseRate=1\nReinforcement=0#,1,2,Alba\n", "Scenario line 5, field Reinforcement: the nation 2 is no nation"},
      {Two + "Reinforcement=0#,1,-1,Alba\nImpulseRate=1\n", "Scenario line 4, field Reinforcement: the nation -1 is no nation"},
      {Two + "ImpulseRate=1\nVictoryCondition=C~1~0~A~50~\n", "Scenario line 5, field VictoryCondition: the winner 'C' is no nation"},
      {Two + "ImpulseRate=1\nVictoryCondition=Allies~1~0~A~50~\n", "Scenario line 5, field VictoryCondition: the winner 'Allies' is no nation"},
      {Two + "ImpulseRate=1\nVictoryCondition=Allies~0~1~Comintern~50~\n",
       "Scenario line 5, field VictoryCondition: the subject 'Comintern' is no alliance"},
      {Two + "ImpulseRate=1\nVictoryCondition=A~1~4~Allies~50~\n", "Scenario line 5, field VictoryCondition: the subject 'Allies' is no nation"},
      {Two + "ImpulseRate=1\nVictoryCondition=A~1~5~B~50~\n", "Scenario line 5, field VictoryCondition: field 3 (Kind): the value 5 is outside 0..4"},
      {Two + "ImpulseRate=1\nRandomEvent=x~111~~0~1~0~0~~~~~~~0~\n",
       "Scenario line 5, field RandomEvent: field 1 (NationFilter): 'x' is not a valid integer value"},
      {Two + "ImpulseRate=1\nRandomEvent=0~111~~6~1~0~0~~~~~~~0~\n",
       "Scenario line 5, field RandomEvent: field 4 (AreaKind): the value 6 is outside 0..5"},
      {Two + "ImpulseRate=1\nRandomEvent=0~111~~5~1~0~0~~~~~1,2,3~~0~\n",
       "Scenario line 5, field RandomEvent: field 12 (AreaValue): the rectangle '1,2,3' is not four integers left,top,right,bottom"},
      {Two + "ImpulseRate=1\nRandomEvent=1~111~~0~1~0~0~~~~C~~~0~\n", "Scenario line 5, field RandomEvent: the filter nation 'C' is no nation"},
      {Two + "ImpulseRate=1\nRandomEvent=0~111~~4~1~0~0~~~~~Comintern~~0~\n",
       "Scenario line 5, field RandomEvent: the area alliance 'Comintern' is no alliance"},
      {Two + "ImpulseRate=1\nResearchGroups=1#2#x#\n", "Scenario line 5, field ResearchGroups: the cost 'x' of Conventional Sea is not an integer 0..65535"},
      {Two + "ImpulseRate=1\nResearchGroups=1#2#3#\n", "Scenario line 5, field ResearchGroups: the cost '' of Atomic is not an integer 0..65535"},
      // Alliance names go into the saved game's values, where ";" and "~" end them.
      {"Alliance=Axis;Pact\n" + Two + "ImpulseRate=1\n", "Scenario line 1, field Alliance: the alliance name 'Axis;Pact' holds \";\" or \"~\""},
      {"NationCount=1\nNation=A,,1,A,0,,,0,0,100,4,1;1e39;\nImpulseRate=1\n",
       "Scenario line 2, field Nation: '1e39' is out of range for a floating point value"},
      {"NationCount=1\nNation=A,Allies~1,1,A,0,\nImpulseRate=1\n",
       "Scenario line 2, field Nation: the alliance name 'Allies~1' holds \";\" or \"~\""},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(EngineError([&] { Engine.ReadScenario(C.Text); }), C.Message) << C.Text;
    ExpectWorldWhole(Before, C.Text);
  }
  // A file names itself.
  EXPECT_EQ(EngineError([&] { Engine.ReadScenario(Two, "europe.brmscen"); }),
            "Scenario file \"europe.brmscen\", field ImpulseRate: the scenario gives no ImpulseRate");
  EXPECT_EQ(EngineError([&] { Engine.ReadScenario("NationCount=x\n", "europe.brmscen"); }),
            "Scenario file \"europe.brmscen\", line 1, field NationCount: 'x' is not a valid integer value");
  // The game is the old one in every respect: its next zone pass still works.
  EXPECT_EQ(Engine.GetMapSet(), "");
  EXPECT_EQ(Engine.GetNation(0)->GetName(), "Albion");
  // Seven majors before the minors are fine.
  std::string Seven = "NationCount=8\n";
  for (char C = 'A'; C <= 'G'; ++C) Seven += std::string("Nation=") + C + ",,1," + C + ",0,\n";
  Engine.ReadScenario(Seven + "Nation=M,,0,M,0,\nImpulseRate=1\n");
  EXPECT_EQ(Engine.GetMajorCount(), 7);
  EXPECT_EQ(Engine.GetUnitCount(), 0);
}

TEST_F(ScenarioTest, AZonePassThatCannotUseTheMapNamesTheLineAndLeavesNoHalfGame) {
  struct Case {
    std::string Lines;
    std::string Message;
  };
  const Case Cases[] = {
      {"Reinforcement=0#,3,1,Atlantis\n", "Scenario line 16, field Reinforcement: the zone 'Atlantis' is no zone of the map"},
      {"RandomEvent=0~111~~1~1~0~0~~~~~Atlantis~~0~\n", "Scenario line 16, field RandomEvent: the area zone 'Atlantis' is no zone of the map"},
  };
  for (const Case& C : Cases) {
    Engine.ReadScenario(WorldWith(C.Lines), "world.brmscen");
    EXPECT_EQ(EngineError([&] { Engine.LoadZoneData(); }), "Scenario file \"world.brmscen\", " + C.Message.substr(9)) << C.Lines;
    EXPECT_EQ(Engine.GetNationCount(), 0);
    EXPECT_EQ(Z(zAlba)->GetOwner(), nullptr);
  }
  // A zone line of a zone the map lacks is only reported.
  std::vector<std::string> Messages;
  Engine.OnMessage = [&](TBrenmoorEngine* Sender, const std::string& Text) {
    EXPECT_EQ(Sender, &Engine);
    Messages.push_back(Text);
  };
  LoadWorld(true, WorldWith("Zone=Atlantis;5;0;0;0;x;0;;;0\n"));
  EXPECT_EQ(Messages, (std::vector<std::string>{"Zone Atlantis not found"}));
  EXPECT_EQ(Z(zAlba)->GetOwner(), N(0));
}

TEST_F(ScenarioTest, AScenarioFileAndItsMapSetLoadIntoAWholeModel) {
  const TScratchFolder Folder("brenmoor-scenario");
  Folder.Write("world.map", WorldMapText);
  const std::string File = Folder.Write("world.brmscen", WorldWith("MapSet=maps\\world.map\nDate=5/10/1940\n"));

  // The game's start: the scenario, its map set, the zone pass, the starting units. The map
  // set is new to the map, so its zones are replaced under the scenario's nations.
  LoadWorld();
  Engine.SetScenarioFile(File);
  EXPECT_EQ(Engine.GetScenarioFile(), File);
  EXPECT_EQ(Engine.GetUnitCount(), 0);
  EXPECT_EQ(Engine.GetNationCount(), 4);
  LoadZoneMapFromFile(Map, (Folder.Path() / MapSetFileNamePart(Engine.GetMapSet())).string());
  EXPECT_EQ(Engine.GetNationCount(), 4) << "a new map set keeps the scenario just read";
  Engine.LoadZoneData();
  Engine.PlaceInitialUnits();

  EXPECT_EQ(Engine.GetDate(), EncodeDate(1940, 5, 10));
  EXPECT_EQ(N(0)->GetCapital(), Z(zAlba));
  EXPECT_EQ(Z(zFerro)->GetOwner(), N(3));
  EXPECT_NE(UnitIn(zAlba, 0, ukArmy), nullptr);
  EXPECT_NE(UnitIn(zNorthSea, 0, ukNavy), nullptr);
  EXPECT_EQ(Z(zDunmore)->GetIndex(), zDunmore);
  ExpectTalliesHold();

  // A file that is not there, and one that cannot be used, leave this game as it is.
  const TSnapshot Before = Snapshot();
  const std::string Missing = (Folder.Path() / "nowhere.brmscen").string();
  EXPECT_EQ(EngineError([&] { Engine.SetScenarioFile(Missing); }), "File does not exist: " + Missing);
  ExpectWorldWhole(Before, "missing file");
  EXPECT_EQ(EngineError([&] { Engine.SetScenarioFile(Folder.Path().string()); }), "File does not exist: " + Folder.Path().string());
  EXPECT_EQ(EngineError([&] { Engine.SetScenarioFile(""); }), "File does not exist: ");
  const std::string Bad = Folder.Write("bad.brmscen", "NationCount=1\r\nNation=A,,1,A,0,\r\nNation=B,,1,B,0,\r\n");
  EXPECT_EQ(EngineError([&] { Engine.SetScenarioFile(Bad); }),
            "Scenario file \"" + Bad + "\", line 3, field Nation: more Nation lines than NationCount 1");
  ExpectWorldWhole(Before, "bad file");
  EXPECT_EQ(Engine.GetScenarioFile(), File);
}

TEST_F(ScenarioTest, AMapSetReloadLetsGoOfTheGameBeforeItsZonesGo) {
  LoadWorld();
  Engine.AddRouting(std::make_unique<TRouting>(Engine, Z(zAlba), 5, Z(zBrae)));
  Engine.AddActiveEvent(std::make_unique<TActiveEvent>(Engine))->AreaZone = Z(zFerro);
  Engine.AddStorm(std::make_unique<TStorm>(Engine));
  TUnit* Army = UnitIn(zAlba, 0, ukArmy);
  ASSERT_NE(Army, nullptr);
  Army->SetDestinationZone(Z(zBrae));
  Engine.SetPathUnit(Army);
  const int Units = Engine.GetUnitCount();
  int Removed = 0;
  Engine.OnRemoveUnit = [&](TBrenmoorEngine* Sender, TUnit*) {
    EXPECT_EQ(Sender, &Engine);
    EXPECT_GT(Map.ZoneCount(), 0) << "the zones are still there";
    ++Removed;
  };

  LoadZoneMap(Map, TMapSet::Parse(WorldMapText, "world.map"));
  EXPECT_EQ(Removed, Units);
  EXPECT_EQ(Engine.GetUnitCount(), 0);
  EXPECT_EQ(Engine.GetRoutingCount(), 0);
  EXPECT_EQ(Engine.GetActiveEventCount(), 0);
  EXPECT_EQ(Engine.GetStormCount(), 1);
  EXPECT_EQ(Engine.GetPathUnit(), nullptr);
  for (int I = 0; I < Engine.GetNationCount(); ++I) EXPECT_EQ(N(I)->GetCapital(), nullptr) << I;

  // The scenario's zone pass fills the new zones, and the game goes on there.
  Engine.LoadZoneData();
  Engine.PlaceInitialUnits();
  EXPECT_EQ(Engine.GetUnitCount(), Units);
  EXPECT_EQ(N(0)->GetCapital(), Z(zAlba));
  ExpectTalliesHold();
  // Clearing the map outright is as safe.
  Map.Clear();
  EXPECT_EQ(Engine.GetUnitCount(), 0);
  EXPECT_EQ(Engine.GetZoneCount(), 0);

  // A map of plain zones (made without the engine) holds nothing of the game to let go of.
  TZoneMap Plain;
  LoadZoneMap(Plain, TMapSet::Parse(WorldMapText, "plain.map"));
  {
    TBrenmoorEngine Other;
    Other.SetZoneMap(&Plain);
    LoadZoneMap(Plain, TMapSet::Parse(WorldMapText, "plain.map"));
    Other.ClearGame();
    Other.SetZoneMap(nullptr);
  }
  EXPECT_EQ(Plain.ZoneCount(), 6);
}

TEST_F(ScenarioTest, NothingLoadsSavesOrClearsTheGameWhileAnImpulseRuns) {
  LoadWorld();
  const TSnapshot Before = Snapshot();
  std::vector<std::string> Refusals;
  // A window handler that runs while the rules let pending messages through.
  SetProcessMessagesHook([&] {
    const std::function<void()> Attempts[] = {
        [&] { Engine.ClearGame(); },
        [&] { Engine.ReadScenario(WorldScenarioText); },
        [&] { Engine.SetScenarioFile("world.brmscen"); },
        [&] { Engine.LoadZoneData(); },
        [&] { Engine.PlaceInitialUnits(); },
        [&] { Engine.CheckNoImpulse("saved"); },
    };
    for (const auto& Attempt : Attempts) Refusals.push_back(EngineError(Attempt));
  });
  {
    TBrenmoorEngine::TImpulseRun Run(Engine);
    EXPECT_TRUE(Engine.IsImpulseRunning());
    Engine.ProcessPendingMessages();
  }
  SetProcessMessagesHook(nullptr);
  EXPECT_FALSE(Engine.IsImpulseRunning());
  EXPECT_EQ(Refusals, (std::vector<std::string>{
                          "The game cannot be cleared while an impulse runs", "The game cannot be loaded while an impulse runs",
                          "The game cannot be loaded while an impulse runs", "The game cannot be loaded while an impulse runs",
                          "The game cannot be loaded while an impulse runs", "The game cannot be saved while an impulse runs"}));
  ExpectWorldWhole(Before, "after the impulse");
  // Between impulses all of it works again.
  Engine.CheckNoImpulse("saved");
  Engine.ClearGame();
  EXPECT_EQ(Engine.GetNationCount(), 0);
}

TEST_F(ScenarioTest, EventsFireOnlyWhenAssignedWithTheEngineAsSender) {
  LoadWorld(false);
  Engine.Fire(Engine.OnConquerZone, N(0), Z(zBrae));  // Not assigned: nothing happens.
  std::vector<std::string> Heard;
  Engine.OnConquerZone = [&](TBrenmoorEngine* Sender, TNation* Nation, TBrenmoorZone* Zone) {
    EXPECT_EQ(Sender, &Engine);
    Heard.push_back(Nation->GetName() + " takes " + Zone->GetName());
  };
  Engine.OnDiplomacy = [&](TBrenmoorEngine* Sender, TNation* Nation, TNation* Target, int n) {
    EXPECT_EQ(Sender, &Engine);
    Heard.push_back(Nation->GetName() + " to " + Target->GetName() + " " + std::to_string(n));
  };
  Engine.OnPlayerSurrender = [&](TBrenmoorEngine* Sender, const std::string& Name) {
    EXPECT_EQ(Sender, &Engine);
    Heard.push_back(Name + " surrenders");
  };
  Engine.OnUpgradeUnitType = [&](TBrenmoorEngine*, TNation* Nation, TUnitType Type) {
    Heard.push_back(Nation->GetName() + " " + UnitTypes[Type].Name);
  };
  Engine.Fire(Engine.OnConquerZone, N(0), Z(zBrae));
  Engine.Fire(Engine.OnDiplomacy, N(1), N(2), 3);
  Engine.Fire(Engine.OnPlayerSurrender, std::string("Ann"));
  Engine.Fire(Engine.OnUpgradeUnitType, N(2), utJetFighter);
  EXPECT_EQ(Heard, (std::vector<std::string>{"Albion takes Brae", "Ruritania to Freedonia 3", "Ann surrenders", "Freedonia Jet Fighter"}));
}
