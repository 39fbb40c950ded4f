#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "EngineFixture.h"
#include "engine/ImpulseSteps.h"
#include "engine/SavedFields.h"
#include "engine/SavedGame.h"
#include "engine/UnitRules.h"
#include "foundation/NumberText.h"
#include "support/ScratchFolder.h"

namespace {

// The world's scenario with two random events and the map set it names.
const std::string SavedWorldScenario = std::string(WorldScenarioText) +
                                       "MapSet=maps\\world.map\n"
                                       "RandomEvent=1~110~History~1~2~10~-15~x~Brae~p.bmp~Albion~Alba~Famine~2~\n"
                                       "RandomEvent=0~001~~0~5~0~10~~~~~~Storm at sea~0~\n";

// A map set loader that loads from the current folder into a zone map, as the map surface does.
class TFolderMapSetLoader : public TBrenmoorEngine::TMapSetLoader {
public:
  explicit TFolderMapSetLoader(TZoneMap& Map, std::string Name) : FMap(&Map), Name(std::move(Name)) {}
  std::string GetMapSetFile() const override { return Name; }
  void SetMapSetFile(const std::string& FileName) override {
    if (MapSetFileNamePart(FileName) == MapSetFileNamePart(Name)) return;
    LoadZoneMapFromFile(*FMap, FileName);
    Name = FileName;
    ++Loads;
  }
  TZoneMap* FMap;
  std::string Name;
  int Loads = 0;
};

// Another machine: its own map of the world and its own engine.
struct TOtherMachine {
  TOtherMachine() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    LoadZoneMap(Map, TMapSet::Parse(WorldMapText, "world.map"));
    Engine.SetZoneMap(&Map);
  }
  ~TOtherMachine() { Engine.SetZoneMap(nullptr); }
  TZoneMap Map;
  TBrenmoorEngine Engine;
};

class SavedGameTest : public WorldFixture {
protected:
  void SetUp() override {
    WorldFixture::SetUp();
    ScenarioPath = Folder.Write("world.brmscen", SavedWorldScenario);
    Folder.Write("world.map", WorldMapText);
  }

  // The world at impulse 7 with something of every kind that a saved game holds.
  void BuildRichGame() {
    // From the current folder, where a saved game's scenario is looked for.
    Engine.SetScenarioFile("world.brmscen");
    Engine.LoadZoneData();
    Engine.PlaceInitialUnits();
    // A gap among the identifiers: the loaded ones must not close it.
    TUnit* Gone = UnitIn(zFerro, 3, ukArmy);
    ASSERT_NE(Gone, nullptr);
    Z(zFerro)->ChangeTally(N(3)->GetMajorIndex(), utInfantry, -Gone->GetCount(utInfantry));
    Gone->Remove(false);
    Engine.FreeUnit(Gone);

    Ship = UnitIn(zNorthSea, 0, ukNavy);
    Cargo = UnitIn(zNorthSea, 0, ukArmy);
    ASSERT_NE(Ship, nullptr);
    ASSERT_NE(Cargo, nullptr);
    ASSERT_EQ(Cargo->GetTransport(), Ship);
    Ship->SetCount(utCarrier, 1);
    Z(zNorthSea)->ChangeTally(0, utCarrier, 1);
    Plane = MakeUnit(0, ukAirForce, zNorthSea, {{utFighter, 3}});
    Ship->AddBased(Plane);
    Plane->SetBaseUnit(Ship);

    Patrol = MakeUnit(1, ukNavy, zChannel, {{utDestroyer, 2}});
    Patrol->SetOrder(ordPatrol);
    Patrol->SetPatrolZones({Z(zChannel), Z(zNorthSea)});
    Patrol->SetPatrolIndex(1);
    Patrol->SetPatrolStep(2);
    Patrol->SetCustomName("Grey Wolves");
    Sub = MakeUnit(1, ukNavy, zChannel, {{utSubmarine, 4}});
    Sub->SetSubmerged(true);

    Attacker = UnitIn(zAlba, 0, ukArmy);
    ASSERT_NE(Attacker, nullptr);
    Attacker->SetOrder(ordMove);
    Attacker->SetDestinationZone(Z(zBrae));
    Attacker->SetDestinationUnit(UnitIn(zBrae, 1, ukArmy));
    Attacker->SetAttacking(true);
    Attacker->SetOrganization(80.5f);
    Attacker->SetExperience(1.25f);

    Z(zAlba)->SetBuilding(true);
    Z(zAlba)->SetBuildQueue(utInfantry, 4);
    Z(zAlba)->SetBuildQueue(utArmor, 1);
    Z(zAlba)->SetBuildTotal(6.0f);
    Z(zAlba)->SetBuildProgressPoints(2.5f);
    Z(zBrae)->SetBorderDefense(Z(zDunmore), 3);
    Z(zDunmore)->SetRocketSite(true);
    Z(zDunmore)->SetRocketTarget(Z(zAlba));
    Z(zBrae)->SetPort(true);
    Z(zFerro)->SetSupplySource(Z(zDunmore));
    Z(zFerro)->SetResources(7.25f);

    TStorm* Storm = Engine.AddStorm(std::make_unique<TStorm>(Engine));
    Storm->X = 120;
    Storm->Y = 40;
    Storm->Width = 30;
    Storm->Height = 20;
    Storm->Lifetime = 5;
    Storm->StormType = stRain;
    Storm->ChanceUp = 25;
    Engine.AddRouting(std::make_unique<TRouting>(Engine, Z(zAlba), 5, Z(zBrae)));
    TActiveEvent* Event = Engine.AddActiveEvent(std::make_unique<TActiveEvent>(Engine));
    Event->AreaKind = eaZone;
    Event->AreaZone = Z(zFerro);
    Event->NationFilter = efNation;
    Event->FilterNation = N(1);
    Event->Effect = efCombat;
    Event->Kinds = AllUnitKinds;
    Event->Factor = 1.5f;
    Event->Duration = 3;
    Engine.GetRandomEvent(1)->Fired = true;
    N(0)->SetInfluence(N(3), 40);
    N(1)->SetStability(85);
    Engine.SetImpulse(7);
    for (int I = 0; I < 7; ++I) Engine.SetDate(Engine.GetDate() + 0.1);
    Engine.SetLastRandomEventDate(Engine.GetDate() - 0.3);
    ExpectTalliesHold();
  }

  // A folder of its own, current for the test's life: a saved game's scenario is looked for there.
  TScratchFolder Folder{"brenmoor-saved", scCurrent};
  std::string ScenarioPath;
  TUnit* Ship = nullptr;
  TUnit* Cargo = nullptr;
  TUnit* Plane = nullptr;
  TUnit* Patrol = nullptr;
  TUnit* Sub = nullptr;
  TUnit* Attacker = nullptr;
};

// The identifiers of the engine's units in list order.
std::vector<std::int32_t> UnitIDs(const TBrenmoorEngine& Engine) {
  std::vector<std::int32_t> IDs;
  for (const TUnit* Unit : Engine.GetUnits()) IDs.push_back(Unit->ID);
  return IDs;
}

// The values of a text split at ";".
std::vector<std::string> Values(const std::string& Text) {
  std::vector<std::string> V;
  std::string Rest = Text;
  while (!Rest.empty()) V.push_back(NextToken(Rest, ";"));
  return V;
}

}  // namespace

TEST_F(SavedGameTest, AGameSavedAndLoadedIsTheSameGameToTheLastByte) {
  BuildRichGame();
  const std::vector<std::int32_t> IDs = UnitIDs(Engine);
  const std::string Text = Engine.SaveToString();
  EXPECT_EQ(Text.substr(0, 18), "4;2;world.brmscen;");
  const std::string Next = IntToStr(Engine.GetUnits().NextID());
  EXPECT_EQ(Text.substr(Text.size() - 7 - Next.size()), ";1#;7;" + Next + ";")
      << "the fired list, the impulse, then the next unit's identifier";

  // Saving changes nothing: the submarines stay submerged and uncounted here.
  EXPECT_TRUE(Sub->GetSubmerged());
  EXPECT_EQ(Z(zChannel)->GetTally(1, utSubmarine), 0);
  EXPECT_EQ(Engine.SaveToString(), Text);
  ExpectTalliesHold();

  TOtherMachine Other;
  Other.Engine.LoadFromString(Text);
  TBrenmoorEngine& E = Other.Engine;
  EXPECT_EQ(E.SaveToString(), Text);
  EXPECT_EQ(E.CheckTallies(), "");
  EXPECT_EQ(UnitIDs(E), IDs);
  EXPECT_EQ(E.GetUnits().NextID(), IDs.back() + 1);
  EXPECT_EQ(E.GetScenarioFile(), "world.brmscen");
  EXPECT_EQ(E.GetImpulse(), 7);
  EXPECT_EQ(E.GetDate(), Engine.GetDate());
  EXPECT_EQ(E.GetLastRandomEventDate(), Engine.GetLastRandomEventDate());
  EXPECT_EQ(E.GetSavedVersion(), 4.0);

  // Every reference names the same objects by identifier and index.
  TUnit* LoadedShip = E.GetUnitByID(Ship->ID);
  TUnit* LoadedAttacker = E.GetUnitByID(Attacker->ID);
  TUnit* LoadedPatrol = E.GetUnitByID(Patrol->ID);
  ASSERT_NE(LoadedShip, nullptr);
  ASSERT_NE(LoadedAttacker, nullptr);
  ASSERT_NE(LoadedPatrol, nullptr);
  EXPECT_EQ(E.GetUnitByID(Cargo->ID)->GetTransport(), LoadedShip);
  ASSERT_EQ(LoadedShip->GetBoardedCount(), 1);
  EXPECT_EQ(LoadedShip->GetBoarded(0)->ID, Cargo->ID);
  ASSERT_EQ(LoadedShip->GetBasedCount(), 1);
  EXPECT_EQ(LoadedShip->GetBased(0)->ID, Plane->ID);
  EXPECT_EQ(E.GetUnitByID(Plane->ID)->GetBaseUnit(), LoadedShip);
  ASSERT_NE(LoadedAttacker->GetDestinationUnit(), nullptr);
  EXPECT_EQ(LoadedAttacker->GetDestinationUnit()->ID, Attacker->GetDestinationUnit()->ID);
  EXPECT_EQ(LoadedAttacker->GetDestinationUnitName(), Attacker->GetDestinationUnitName());
  EXPECT_EQ(LoadedAttacker->GetDestinationZone(), E.GetZone(zBrae));
  EXPECT_EQ(LoadedAttacker->GetZone(), E.GetZone(zAlba));
  EXPECT_EQ(LoadedPatrol->GetCustomName(), "Grey Wolves");
  ASSERT_EQ(LoadedPatrol->GetPatrolZoneCount(), 2);
  EXPECT_EQ(LoadedPatrol->GetPatrolZone(1), E.GetZone(zNorthSea));
  EXPECT_FALSE(E.GetUnitByID(Sub->ID)->GetSubmerged()) << "written surfaced";
  EXPECT_EQ(E.GetZone(zChannel)->GetTally(1, utSubmarine), 4);
  EXPECT_EQ(E.GetNation(0)->GetCapital(), E.GetZone(zAlba));
  EXPECT_EQ(E.GetNation(0)->GetInfluence(E.GetNation(3)), 40);
  EXPECT_EQ(E.GetZone(zAlba)->GetBuildQueue(utInfantry), 4);
  EXPECT_EQ(E.GetZone(zAlba)->GetBorderDefense(E.GetZone(zBrae)), 2);
  EXPECT_EQ(E.GetZone(zBrae)->GetBorderDefense(E.GetZone(zDunmore)), 3);
  EXPECT_EQ(E.GetZone(zDunmore)->GetRocketTarget(), E.GetZone(zAlba));
  EXPECT_TRUE(E.GetZone(zBrae)->GetPort());
  EXPECT_EQ(E.GetZone(zFerro)->GetSupplySource(), E.GetZone(zDunmore));
  EXPECT_EQ(E.GetZone(zAlba)->GetSupplySource(), E.GetZone(zAlba));
  ASSERT_EQ(E.GetRoutingCount(), 1);
  EXPECT_EQ(E.GetRouting(0)->ToZone, E.GetZone(zBrae));
  ASSERT_EQ(E.GetActiveEventCount(), 1);
  EXPECT_EQ(E.GetActiveEvent(0)->FilterNation, E.GetNation(1));
  EXPECT_EQ(E.GetActiveEvent(0)->AreaZone, E.GetZone(zFerro));
  EXPECT_EQ(E.GetStormCount(), 1);
  EXPECT_FALSE(E.GetRandomEvent(0)->Fired);
  EXPECT_TRUE(E.GetRandomEvent(1)->Fired);
  EXPECT_EQ(E.GetAlliances(), Engine.GetAlliances());

  // The loaded aim is known to its target: the target gone, the attacker aims at nothing.
  E.FreeUnit(LoadedAttacker->GetDestinationUnit());
  EXPECT_EQ(LoadedAttacker->GetDestinationUnit(), nullptr);
  EXPECT_EQ(LoadedAttacker->GetDestinationUnitName(), "");

  // A new unit follows the highest identifier loaded.
  TUnit* New = E.AddUnit(std::make_unique<TUnit>(E, E.GetNation(0), ukArmy), E.GetZone(zAlba));
  EXPECT_EQ(New->ID, IDs.back() + 1);

  // The same text loads over the running game too, and a load sends no change record.
  Sink.Records.clear();
  Engine.LoadFromString(Text);
  EXPECT_EQ(Engine.SaveToString(), Text);
  EXPECT_EQ(Sink.Records, std::vector<std::string>{});

  // A scenario stored with the folders of the machine that saved it is read from here.
  Engine.SetScenarioFile(ScenarioPath);
  const std::string WithFolder = Engine.SaveToString();
  EXPECT_EQ(WithFolder.substr(4, ScenarioPath.size()), ScenarioPath) << "the scenario as set";
  for (const std::string Stored : {"C:\\Games\\world.brmscen", "C:world.brmscen", "../saves/world.brmscen"}) {
    const std::vector<std::string> V = Values(Text);
    std::string S;
    for (std::size_t I = 0; I < V.size(); ++I) S += (I == 2 ? Stored : V[I]) + ";";
    Other.Engine.LoadFromString(S);
    EXPECT_EQ(Other.Engine.GetScenarioFile(), "world.brmscen") << Stored;
    EXPECT_EQ(Other.Engine.SaveToString(), Text) << Stored;
  }
}

// A zone lists its units in the order they came in, which the rules read (the first fleet an
// army placed at sea boards): a loaded game keeps that order, not the identifiers' order.
TEST_F(SavedGameTest, AZoneKeepsTheOrderOfItsUnitsAndANewUnitItsIdentifier) {
  BuildRichGame();
  // The newest unit goes at once: the next one still takes the identifier after it.
  Engine.FreeUnit(Engine.AddUnit(std::make_unique<TUnit>(Engine), Engine.GetZone(0)));
  const std::int32_t NextID = Engine.GetUnits().NextID();
  const auto ZoneOrders = [](const TBrenmoorEngine& E) {
    std::vector<std::vector<std::int32_t>> Orders;
    for (int I = 0; I < E.GetZoneCount(); ++I) {
      Orders.emplace_back();
      for (int J = 0; J < E.GetZone(I)->GetUnitCount(); ++J) Orders.back().push_back(E.GetZone(I)->GetUnit(J)->ID);
    }
    return Orders;
  };
  // The first unit of a zone with several leaves and comes back: it is the zone's last now.
  const auto Alone = [](const TUnit* U) {
    return !U->GetTransport() && !U->GetBaseUnit() && U->GetBoardedCount() == 0 && U->GetBasedCount() == 0;
  };
  TBrenmoorZone* Crowded = nullptr;
  for (int I = 0; I < Engine.GetZoneCount() && !Crowded; ++I) {
    TBrenmoorZone* Z = Engine.GetZone(I);
    if (Z->GetUnitCount() >= 2 && Z->NeighbourCount() > 0 && Alone(Z->GetUnit(0))) Crowded = Z;
  }
  ASSERT_NE(Crowded, nullptr);
  TUnit* First = Crowded->GetUnit(0);
  First->MoveToZone(Crowded->GetNeighbor(0), mmReplay);
  First->MoveToZone(Crowded, mmReplay);
  ASSERT_EQ(Crowded->GetUnit(Crowded->GetUnitCount() - 1), First);

  TOtherMachine Other;
  Other.Engine.LoadFromString(Engine.SaveToString());
  EXPECT_EQ(ZoneOrders(Other.Engine), ZoneOrders(Engine));
  EXPECT_EQ(Other.Engine.GetUnits().NextID(), NextID);
  EXPECT_EQ(Other.Engine.SaveToString(), Engine.SaveToString());
}

TEST_F(SavedGameTest, ASavedGameKeepsItsOwnFormationWeights) {
  BuildRichGame();
  Engine.UnitRules().SetFormations(N(0), "35#100#-#-#-#-#-#-#-#-#-#-#-#-#-#-#");
  // A game saved before the scenario gave starting weights holds none: it keeps them too.
  for (int T = 0; T < UnitTypeCount; ++T) N(2)->SetUnitCost(T, 0);
  TOtherMachine Other;
  Other.Engine.LoadFromString(Engine.SaveToString());
  for (int I = 0; I < Engine.GetNationCount(); ++I)
    for (int T = 0; T < UnitTypeCount; ++T)
      EXPECT_EQ(Other.Engine.GetNation(I)->GetUnitCost(T), N(I)->GetUnitCost(T)) << I << " " << T;
  EXPECT_EQ(Other.Engine.GetNation(0)->GetUnitCost(0), 35);
  EXPECT_EQ(Other.Engine.GetNation(2)->GetUnitCost(utInfantry), 0);
  EXPECT_EQ(Other.Engine.GetNation(1)->GetUnitCost(utInfantry), StartingFormationWeight);
}

TEST_F(SavedGameTest, TwoMachinesGoOnAlikeFromASavedGame) {
  BuildRichGame();
  TOtherMachine Other;
  Other.Engine.LoadFromString(Engine.SaveToString());
  ASSERT_TRUE(Other.Engine.GetRandom().SetStateText(Engine.GetRandom().GetStateText()));
  // The submarines surface on both (the loaded one is surfaced already).
  Sub->SetSubmerged(false);

  // The same impulses on both: moves that draw their losses of organisation, experience,
  // a storm's life, the date.
  const auto Impulse = [](TBrenmoorEngine& E, int K) {
    const std::vector<std::int32_t> IDs = UnitIDs(E);
    for (std::int32_t ID : IDs) {
      TUnit* Unit = E.GetUnitByID(ID);
      if (!Unit || Unit->GetTransport() || Unit->GetBaseUnit()) continue;
      TBrenmoorZone* Zone = Unit->GetZone();
      if (Zone->NeighbourCount() == 0) continue;
      Unit->MoveToZone(Zone->GetNeighbor((ID + K) % Zone->NeighbourCount()), mmImpulse);
      Unit->GainExperience();
    }
    E.GetStorm(0)->Lifetime -= 1;
    E.AdvanceDate();
    E.SetImpulse(E.GetImpulse() + 1);
  };
  for (int K = 0; K < 5; ++K) {
    Impulse(Engine, K);
    Impulse(Other.Engine, K);
    ASSERT_EQ(Other.Engine.SaveToString(), Engine.SaveToString()) << "after impulse " << Engine.GetImpulse();
  }
  EXPECT_EQ(Other.Engine.GetRandom().GetStateText(), Engine.GetRandom().GetStateText());
}

TEST_F(SavedGameTest, ATextThatCannotBeUsedIsRefusedAndTheGameStays) {
  BuildRichGame();
  const std::string Text = Engine.SaveToString();
  std::vector<std::string> V = Values(Text);
  const auto With = [&V](std::size_t I, const std::string& Value) {
    std::vector<std::string> W = V;
    W[I] = Value;
    std::string S;
    for (const std::string& X : W) S += X + ";";
    return S;
  };
  const std::size_t FirstUnit = 14 + 4 + 6 + 1 + 1;
  const std::string FirstID = IntToStr(Engine.GetUnit(0)->ID);
  // The first unit's field standing in zone 99.
  std::vector<std::string> Fields;
  for (std::string Rest = V[FirstUnit]; !Rest.empty();) Fields.push_back(NextToken(Rest, "~"));
  ASSERT_EQ(Fields[8], FirstID);
  Fields[17] = "99";
  std::string Astray;
  for (const std::string& F : Fields) Astray += F + "~";
  std::string CutShort;
  for (std::size_t I = 0; I + 3 < V.size(); ++I) CutShort += V[I] + ";";
  Folder.Write("three.brmscen", "NationCount=3\nNation=A,,1,A,0,\nNation=B,,1,B,0,\nNation=C,,0,C,0,\nImpulseRate=1\n");
  struct TCase {
    std::string Text;
    std::string Message;
  };
  const std::vector<TCase> Cases{
      {With(0, "4.5"), "This game was saved with Version 4.5 of Brenmoor, and you have version 4."},
      {"4.5;2;", "This game was saved with Version 4.5 of Brenmoor, and you have version 4."},
      {With(1, "-1"), "This saved game holds no game"},
      {"4;-1;", "This saved game holds no game"},
      {With(2, "C:\\games\\nowhere.brmscen"), "File does not exist: nowhere.brmscen"},
      {With(2, "three.brmscen"), "The saved game has 4 nations, but its scenario \"three.brmscen\" has 3"},
      {With(4, "7"), "The saved game has 7 zones, but the map has 6"},
      {With(3, "-2"), "The saved game's number of nations -2 cannot be used"},
      {CutShort, "The saved game is cut short: it holds " + std::to_string(V.size() - 3) + " of its " + std::to_string(V.size() - 2) +
                     " values"},
      {"", "This is no saved game of Brenmoor"},
      {With(FirstUnit, Astray), "Unit " + FirstID + ": the zone 99 is no zone"},
      {With(FirstUnit + 1, V[FirstUnit]), "Unit " + FirstID + " is there twice"},
  };
  for (const TCase& Case : Cases) {
    EXPECT_EQ(EngineError([&] { Engine.LoadFromString(Case.Text); }), Case.Message) << Case.Text.substr(0, 40);
    EXPECT_EQ(Engine.SaveToString(), Text) << Case.Message;
    EXPECT_EQ(Engine.GetUnitByID(Sub->ID), Sub) << Case.Message;
    EXPECT_TRUE(Sub->GetSubmerged()) << Case.Message;
    ExpectTalliesHold();
  }
  // A version that is no number is a conversion error.
  EXPECT_THROW(Engine.LoadFromString(With(0, "four")), EConvertError);
  EXPECT_EQ(Engine.SaveToString(), Text);
}

// A damaged text says what is damaged: the record and field that cannot be read, as a value
// out of its range does. "Cut short" is only for a text that really ends early, wherever the
// end falls; a value in the middle that swallowed its neighbours' separators leaves fewer
// values too, but is no early end.
TEST_F(SavedGameTest, ADamagedTextNamesTheFieldAndOnlyAnEarlyEndIsCutShort) {
  BuildRichGame();
  const std::string Text = Engine.SaveToString();
  const std::vector<std::string> V = Values(Text);
  const std::string Needed = std::to_string(V.size() - 2);
  const auto CutShortOf = [&](const std::string& Cut) {
    return "The saved game is cut short: it holds " + std::to_string(Values(Cut).size()) + " of its " + Needed + " values";
  };
  // The routing's record with one of its fields replaced.
  const std::size_t Routing = 14 + 4 + 6;
  const auto RoutingWith = [&](std::size_t Field, const std::string& Value) {
    std::vector<std::string> Fields;
    for (std::string Rest = V[Routing]; !Rest.empty();) Fields.push_back(NextToken(Rest, "~"));
    Fields[Field] = Value;
    std::string Record;
    for (const std::string& F : Fields) Record += F + "~";
    std::string S;
    for (std::size_t I = 0; I < V.size(); ++I) S += (I == Routing ? Record : V[I]) + ";";
    return S;
  };
  // Every byte of a stretch in the middle inverted: separators among them are lost.
  std::string Inverted = Text;
  const std::size_t From = Text.size() / 2 - std::min<std::size_t>(100, Text.size() / 4);
  for (std::size_t I = From; I < Text.size() - From; ++I) Inverted[I] = static_cast<char>(~Inverted[I]);
  ASSERT_LT(Values(Inverted).size(), V.size());
  const std::string InTheMiddle = Text.substr(0, Text.size() / 2);
  std::string WholeValues;
  for (std::size_t I = 0; I < V.size() / 2; ++I) WholeValues += V[I] + ";";
  struct TCase {
    std::string Name;
    std::string Text;
    std::string Message;  // "" : only that it names a record's field and is no early end
  };
  const std::vector<TCase> Cases{
      {"ends in the middle of a record", InTheMiddle, CutShortOf(InTheMiddle)},
      {"ends after a whole record", WholeValues, CutShortOf(WholeValues)},
      {"a word in a number field", RoutingWith(1, "many"), "Routing: field 2 (amount): 'many' is not a valid integer value"},
      {"a word in a number field of a short text", RoutingWith(1, "many").substr(0, Text.size() / 2),
       "Routing: field 2 (amount): 'many' is not a valid integer value"},
      {"bytes inverted in the middle", Inverted, ""},
  };
  for (const TCase& Case : Cases) {
    const std::string Message = EngineError([&] { Engine.LoadFromString(Case.Text); });
    if (Case.Message.empty()) {
      EXPECT_EQ(Message.find("cut short"), std::string::npos) << Case.Name << ": " << Message;
      EXPECT_NE(Message.find(": field "), std::string::npos) << Case.Name << ": " << Message;
    } else {
      EXPECT_EQ(Message, Case.Message) << Case.Name;
    }
    EXPECT_EQ(Engine.SaveToString(), Text) << Case.Name;
  }
}

// Texts no honest writer makes: units carrying each other (the next move of the fleet would
// move its cargo, which moves the fleet, for ever) and numbers beyond a float, which the next
// save would write as "INF", which nothing loads. Refused, and the game that was there stays.
TEST_F(SavedGameTest, UnitsCarryingEachOtherAndNumbersBeyondAFloatAreRefused) {
  BuildRichGame();
  const std::string Text = Engine.SaveToString();
  const std::vector<std::string> V = Values(Text);
  // The text with one field of the unit of identifier ID replaced.
  const auto WithUnitField = [&V](std::int32_t ID, std::size_t Field, const std::string& Value) {
    std::string S;
    for (const std::string& X : V) {
      std::vector<std::string> Fields;
      for (std::string Rest = X; !Rest.empty();) Fields.push_back(NextToken(Rest, "~"));
      if (Fields.size() == 25 && Fields[8] == IntToStr(ID)) {
        Fields[Field] = Value;
        std::string U;
        for (const std::string& F : Fields) U += F + "~";
        S += U + ";";
      } else {
        S += X + ";";
      }
    }
    return S;
  };
  const std::string ShipID = IntToStr(Ship->ID);
  const auto Refused = [&](const std::string& Bad) {
    EXPECT_NE(Bad, Text);
    const std::string Message = [&] {
      try {
        Engine.LoadFromString(Bad);
      } catch (const EBrenmoor& E) {
        return std::string(E.what());
      }
      return std::string();
    }();
    EXPECT_EQ(Engine.SaveToString(), Text);
    ExpectTalliesHold();
    return Message;
  };
  // The army in the ship's hold holding the ship; the plane based on the ship basing it.
  // (the first of the loop in the list of units is named).
  const auto Loop = [](const TUnit* A, const TUnit* B) { return "Unit " + IntToStr(std::min(A->ID, B->ID)) + " is carried by a unit it carries"; };
  EXPECT_EQ(Refused(WithUnitField(Cargo->ID, 20, ShipID + "#")), Loop(Ship, Cargo));
  EXPECT_EQ(Refused(WithUnitField(Plane->ID, 19, ShipID + "#")), Loop(Ship, Plane));
  EXPECT_EQ(Refused(WithUnitField(Attacker->ID, 7, "1e39")), "'1e39' is out of range for a floating point value");
  EXPECT_EQ(Refused(WithUnitField(Attacker->ID, 1, "2.2e40#1#1#1#1#1#1#1#1#1#1#1#1#1#1#1#")),
            "'2.2e40' is out of range for a floating point value");
  EXPECT_EQ(Refused(WithUnitField(Attacker->ID, 11, "-1e400")), "'-1e400' is out of range for a floating point value");
  std::string FarDate;
  for (std::size_t I = 0; I < V.size(); ++I) FarDate += (I == 11 ? "1e400" : V[I]) + ";";
  EXPECT_EQ(Refused(FarDate), "'1e400' is out of range for a floating point value");
  // The largest float itself is a float (the load replaces every unit: only the identifier
  // stays).
  const std::int32_t AttackerID = Attacker->ID;
  Engine.LoadFromString(WithUnitField(AttackerID, 7, "3.4e38"));
  Engine.LoadFromString(Engine.SaveToString());
  EXPECT_EQ(Engine.GetUnitByID(AttackerID)->GetExperience(), 3.4e38f);
}

TEST_F(SavedGameTest, ATextWithoutTheImpulseLoadsAtImpulseZero) {
  Engine.SetScenarioFile(ScenarioPath);
  Engine.LoadZoneData();
  // A game without routings, storms, units, active or fired events writes every count.
  const std::string Text = Engine.SaveToString();
  const std::vector<std::string> V = Values(Text);
  ASSERT_EQ(V.size(), 14u + 4 + 6 + 2 + 3);
  EXPECT_EQ(std::vector<std::string>(V.begin() + 5, V.begin() + 9), (std::vector<std::string>{"0", "0", "0", "2"}));
  EXPECT_EQ(Text.substr(Text.size() - 6), ";;0;0;");
  Engine.SetImpulse(12);
  TOtherMachine Other;
  Other.Engine.SetImpulse(3);
  // Older texts end with the fired list, or with the impulse.
  Other.Engine.LoadFromString(Text.substr(0, Text.size() - 4));
  EXPECT_EQ(Other.Engine.GetImpulse(), 0);
  Other.Engine.LoadFromString(Text.substr(0, Text.size() - 2));
  EXPECT_EQ(Other.Engine.GetImpulse(), 0);
  Other.Engine.LoadFromString(Engine.SaveToString());
  EXPECT_EQ(Other.Engine.GetImpulse(), 12);
}

TEST_F(SavedGameTest, AScenarioOfAnotherMapSetReloadsTheMapFirst) {
  BuildRichGame();
  const std::string Text = Engine.SaveToString();
  TOtherMachine Other;
  // The other machine shows another map set of fewer zones.
  LoadZoneMap(Other.Map, TMapSet::Parse("Zone=0,0,10,0,10,10;Solo;0;\n", "solo.map"));
  TFolderMapSetLoader Loader(Other.Map, "maps/solo.map");
  Other.Engine.SetMapSetLoader(&Loader);
  Other.Engine.LoadFromString(Text);
  EXPECT_EQ(Loader.Loads, 1);
  EXPECT_EQ(Loader.Name, "world.map");
  EXPECT_EQ(Other.Engine.GetZoneCount(), 6);
  EXPECT_EQ(Other.Engine.SaveToString(), Text);
  // The same map set again loads nothing.
  Other.Engine.LoadFromString(Text);
  EXPECT_EQ(Loader.Loads, 1);

  // A map set whose zones do not fit is refused before the map changes.
  Folder.Write("world.map", "Zone=0,0,10,0,10,10;Solo;0;\n");
  Loader.Name = "solo.map";
  LoadZoneMap(Other.Map, TMapSet::Parse(WorldMapText, "solo.map"));
  Loader.Name = "world.map";
  Other.Engine.LoadFromString(Text);
  Loader.Name = "solo.map";
  const std::string Before = Other.Engine.SaveToString();
  EXPECT_EQ(EngineError([&] { Other.Engine.LoadFromString(Text); }), "The saved game has 6 zones, but the map has 1");
  EXPECT_EQ(Loader.Loads, 1);
  EXPECT_EQ(Other.Map.ZoneCount(), 6);
  EXPECT_EQ(Other.Engine.SaveToString(), Before);
}

TEST_F(SavedGameTest, NothingIsSavedOrLoadedWhileAnImpulseRuns) {
  BuildRichGame();
  const std::string Text = Engine.SaveToString();
  TBrenmoorEngine::TImpulseRun Run(Engine);
  EXPECT_EQ(EngineError([&] { Engine.SaveToString(); }), "The game cannot be saved while an impulse runs");
  EXPECT_EQ(EngineError([&] { Engine.LoadFromString(Text); }), "The game cannot be loaded while an impulse runs");
}

// Texts of every older shape of the game's record and of the zone's: each reads what the
// tables name for the fields it lacks, and everything else as the newest text has it.
TEST_F(SavedGameTest, TextsOfEveryOlderShapeReadWithTheDefaultsOfTheFieldsTheyLack) {
  BuildRichGame();
  // The newest unit goes at once: only a text that keeps the next identifier knows of it.
  Engine.FreeUnit(Engine.AddUnit(std::make_unique<TUnit>(Engine), Engine.GetZone(0)));
  // A zone whose units are not in identifier order: its first unit leaves and comes back.
  TBrenmoorZone* Crowded = nullptr;
  for (int I = 0; I < Engine.GetZoneCount() && !Crowded; ++I) {
    TBrenmoorZone* Zone = Engine.GetZone(I);
    const TUnit* U = Zone->GetUnitCount() >= 2 ? Zone->GetUnit(0) : nullptr;
    if (U && Zone->NeighbourCount() > 0 && !U->GetTransport() && !U->GetBaseUnit() && U->GetBoardedCount() == 0 &&
        U->GetBasedCount() == 0)
      Crowded = Zone;
  }
  ASSERT_NE(Crowded, nullptr);
  TUnit* First = Crowded->GetUnit(0);
  First->MoveToZone(Crowded->GetNeighbor(0), mmReplay);
  First->MoveToZone(Crowded, mmReplay);
  const std::string Text = Engine.SaveToString();
  const std::vector<std::string> V = Values(Text);
  const std::int32_t NextID = Engine.GetUnits().NextID();
  std::int32_t LargestID = 0;
  for (const TUnit* Unit : Engine.GetUnits()) LargestID = std::max(LargestID, Unit->ID);
  ASSERT_GT(NextID, LargestID + 1);

  // The text without its last Values values, and with the last ZoneFields fields of every zone's value cut.
  const std::size_t FirstZone = 14 + static_cast<std::size_t>(Engine.GetNationCount());
  const auto Older = [&](std::size_t Values, std::size_t ZoneFields) {
    std::string S;
    for (std::size_t I = 0; I + Values < V.size(); ++I) {
      std::string Value = V[I];
      if (I >= FirstZone && I < FirstZone + static_cast<std::size_t>(Engine.GetZoneCount()))
        for (std::size_t F = 0; F < ZoneFields; ++F) Value.erase(Value.find_last_of('~', Value.size() - 2) + 1);
      S += Value + ";";
    }
    return S;
  };
  const auto ZoneOrder = [](const TBrenmoorEngine& E, int Zone) {
    std::vector<std::int32_t> IDs;
    for (int J = 0; J < E.GetZone(Zone)->GetUnitCount(); ++J) IDs.push_back(E.GetZone(Zone)->GetUnit(J)->ID);
    return IDs;
  };
  const std::vector<std::int32_t> SavedOrder = ZoneOrder(Engine, Crowded->GetIndex());
  std::vector<std::int32_t> IdentifierOrder = SavedOrder;
  std::sort(IdentifierOrder.begin(), IdentifierOrder.end());
  ASSERT_NE(SavedOrder, IdentifierOrder);

  struct TCase {
    const char* Shape;
    std::string Text;
    std::int32_t Impulse, NextID;
    std::vector<std::int32_t> CrowdedOrder;
    bool BraePort;
  };
  const TCase Cases[] = {
      {"newest", Text, 7, NextID, SavedOrder, true},
      {"without the next identifier", Older(1, 0), 7, LargestID + 1, SavedOrder, true},
      {"without the impulse", Older(2, 0), 0, LargestID + 1, SavedOrder, true},
      {"zones without their units' order", Older(2, 1), 0, LargestID + 1, IdentifierOrder, true},
      {"zones without built ports and airfields", Older(2, 3), 0, LargestID + 1, IdentifierOrder, false},
  };
  for (const TCase& Case : Cases) {
    TOtherMachine Other;
    Other.Engine.LoadFromString(Case.Text);
    EXPECT_EQ(Other.Engine.GetImpulse(), Case.Impulse) << Case.Shape;
    EXPECT_EQ(Other.Engine.GetUnits().NextID(), Case.NextID) << Case.Shape;
    EXPECT_EQ(ZoneOrder(Other.Engine, Crowded->GetIndex()), Case.CrowdedOrder) << Case.Shape;
    EXPECT_EQ(Other.Engine.GetZone(zBrae)->GetPort(), Case.BraePort) << Case.Shape;
    // Everything the older shapes hold reads as the newest text has it.
    EXPECT_EQ(UnitIDs(Other.Engine), UnitIDs(Engine)) << Case.Shape;
    EXPECT_EQ(Other.Engine.GetZone(zAlba)->GetBuildQueue(utInfantry), 4) << Case.Shape;
    EXPECT_EQ(Other.Engine.GetUnitByID(Sub->ID)->GetCount(utSubmarine), 4) << Case.Shape;
  }
}

namespace {

// Where a saved number lies: the records of one kind (every one of them gets the value), the
// field's place in the record and its delimiter, and the range the readers declare for it.
enum TRecordKind { rkNation, rkZone, rkRouting, rkStorm, rkUnit, rkActiveEvent, rkGame };
struct TRangeCase {
  TRecordKind Kind;
  std::size_t Field;  // from 0; for rkGame the place counted from the end of the text
  const char* Name;
  TFloatRange Range;  // integers too: they are exact in a double
  bool List = false;  // a "#"-list whose every item gets the value
  bool IsFloat = false;
};

TRangeCase I(TRecordKind K, std::size_t F, const char* N, TValueRange R, bool List = false) {
  return {K, F, N, {static_cast<double>(R.Min), static_cast<double>(R.Max)}, List, false};
}
TRangeCase Fl(TRecordKind K, std::size_t F, const char* N, TFloatRange R, bool List = false) { return {K, F, N, R, List, true}; }

std::string NumberText(double V, bool IsFloat) {
  if (!IsFloat && std::abs(V) >= 1e19) return "99999999999999999999";
  return IsFloat ? FloatToStr(V) : IntToStr(static_cast<std::int64_t>(V));
}

}  // namespace

// Every number a saved game holds, at either end of its range, in every record of its kind at
// once: the game loads and plays on two impulses without a sum or product of them leaving its
// type (the sanitizer build stops on one); a value beyond the end refuses the whole text with
// the record, the field and the range named, and the game that was there stays.
TEST_F(SavedGameTest, EveryNumberAtTheEndsOfItsRangePlaysOnAndBeyondIsRefused) {
  BuildRichGame();
  const std::string Text = Engine.SaveToString();
  const std::vector<std::string> V = Values(Text);
  const std::size_t Counts[] = {static_cast<std::size_t>(Engine.GetNationCount()), static_cast<std::size_t>(Engine.GetZoneCount()),
                                static_cast<std::size_t>(Engine.GetRoutingCount()), static_cast<std::size_t>(Engine.GetStormCount()),
                                static_cast<std::size_t>(Engine.GetUnitCount())};
  // The first value of each kind's run, and the delimiter of its fields.
  std::size_t First[rkGame];
  First[rkNation] = 14;
  for (int K = rkZone; K <= rkUnit; ++K) First[K] = First[K - 1] + Counts[K - 1];
  First[rkActiveEvent] = First[rkUnit] + Counts[rkUnit] + static_cast<std::size_t>(Engine.GetAllianceCount());
  const char Delims[] = {'~', '~', '~', '%', '~', '#'};
  ASSERT_EQ(Engine.GetActiveEventCount(), 1);

  // The text with the field of every record of the case's kind set to Value.
  const auto With = [&](const TRangeCase& C, const std::string& Value) {
    std::vector<std::string> W = V;
    if (C.Kind == rkGame) {
      W[W.size() - C.Field] = Value;
    } else {
      const std::size_t Count = C.Kind == rkActiveEvent ? 1 : Counts[C.Kind];
      for (std::size_t R = First[C.Kind]; R < First[C.Kind] + Count; ++R) {
        std::vector<std::string> Fields;
        for (std::string Rest = W[R]; !Rest.empty();) Fields.push_back(NextToken(Rest, std::string(1, Delims[C.Kind])));
        if (C.List) {
          std::string List;
          for (std::string Rest = Fields.at(C.Field); !Rest.empty(); NextToken(Rest, "#")) List += Value + "#";
          Fields.at(C.Field) = List;
        } else {
          Fields.at(C.Field) = Value;
        }
        W[R].clear();
        for (const std::string& F : Fields) W[R] += F + Delims[C.Kind];
      }
    }
    std::string S;
    for (const std::string& X : W) S += X + ";";
    return S;
  };
  using namespace FieldRange;
  const TRangeCase Cases[] = {
      I(rkNation, 0, "unit costs", Count, true),
      Fl(rkNation, 2, "type factors", TypeFactor, true),
      I(rkNation, 3, "kind counters", Count, true),
      I(rkNation, 8, "diplomatic action interval", DiplomaticInterval),
      I(rkNation, 11, "countdown", NationNumber),
      I(rkNation, 12, "stability", NationNumber),
      I(rkNation, 13, "value 5", NationNumber),
      I(rkNation, 17, "research spending total", ResearchSpendingTotal),
      I(rkNation, 20, "score deduction", ScoreDeduction),
      I(rkZone, 3, "factories", Factories),
      I(rkZone, 7, "rich resources", RichResources),
      Fl(rkZone, 9, "resources", Resources),
      I(rkZone, 11, "industry", Industry),
      I(rkZone, 12, "strike count", StrikeCount),
      I(rkZone, 13, "bomb count", StrikeCount),
      I(rkZone, 14, "income", Income),
      Fl(rkZone, 17, "build total", BuildAmount),
      Fl(rkZone, 18, "build progress", BuildAmount),
      I(rkRouting, 1, "amount", Amount),
      I(rkStorm, 0, "Height", MapSize),
      I(rkStorm, 1, "Lifetime", Impulses),
      I(rkStorm, 2, "X", MapPlace),
      I(rkStorm, 3, "Y", MapPlace),
      I(rkStorm, 5, "Width", MapSize),
      I(rkStorm, 6, "chance down", Chance),
      I(rkStorm, 7, "chance left", Chance),
      I(rkStorm, 8, "chance right", Chance),
      I(rkStorm, 9, "chance up", Chance),
      I(rkUnit, 0, "counts", Count, true),
      Fl(rkUnit, 1, "type factors", TypeFactor, true),
      Fl(rkUnit, 7, "experience", Experience),
      I(rkUnit, 9, "ordinal", Ordinal),
      Fl(rkUnit, 11, "organization", Organization),
      Fl(rkUnit, 22, "sort key", SortKey),
      I(rkActiveEvent, 8, "Duration", Impulses),
      Fl(rkActiveEvent, 10, "Factor", Factor),
      I(rkActiveEvent, 11, "Area left", MapPlace),
      I(rkActiveEvent, 12, "Area top", MapPlace),
      I(rkActiveEvent, 13, "Area right", MapPlace),
      I(rkActiveEvent, 14, "Area bottom", MapPlace),
      I(rkGame, 2, "impulse", Impulse),
  };
  for (const TRangeCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    for (const double End : {C.Range.Min, C.Range.Max}) {
      const std::string Value = NumberText(End, C.IsFloat);
      SCOPED_TRACE(Value);
      TOtherMachine Other;
      ASSERT_EQ(EngineError([&] { Other.Engine.LoadFromString(With(C, Value)); }), "") << C.Name << " " << Value;
      for (int Impulse = 0; Impulse < 2; ++Impulse) {
        try {
          RunHostImpulse(Other.Engine, Other.Engine.GetImpulse());
        } catch (const EBrenmoorEngine&) {
          // A rule that refuses the state it meets ends the impulse; the numbers held.
        } catch (const EBrenmoor& E) {
          ADD_FAILURE() << C.Name << " " << Value << ": the impulse failed: " << E.what();
        }
      }
      EXPECT_EQ(Other.Engine.CheckTallies(), "") << C.Name << " " << Value;
      // And the game it became saves and loads again.
      try {
        TOtherMachine Again;
        Again.Engine.LoadFromString(Other.Engine.SaveToString());
      } catch (const EBrenmoor& E) {
        ADD_FAILURE() << C.Name << " " << Value << ": the game played on cannot be loaded again: " << E.what();
      }
    }
    // Beyond either end (a float range that reaches the largest float has no beyond; a float
    // one beyond would round to the end).
    // The ends of 32 bits and numbers beyond 64 too (a zone's rich resources of 2147483647 once
    // overflowed its effective industry, an impulse of 2147483647 the next impulse's number).
    std::vector<double> Beyonds;
    for (const double End : {C.Range.Min, C.Range.Max}) {
      const double Beyond = !C.IsFloat ? End + (End == C.Range.Min ? -1 : 1) : End == 0 ? -1 : End * 2;
      if (!C.IsFloat || std::abs(Beyond) < 1e38) Beyonds.push_back(Beyond);
    }
    if (!C.IsFloat)
      for (const double Far : {2147483647.0, -2147483648.0, 1e20})
        if (!C.Range.Holds(Far)) Beyonds.push_back(Far);
    for (const double Beyond : Beyonds) {
      const std::string Value = NumberText(Beyond, C.IsFloat && std::abs(Beyond) < 1e19);
      const std::string Message = EngineError([&] { Engine.LoadFromString(With(C, Value)); });
      EXPECT_NE(Message.find(std::string("(") + C.Name + "): "), std::string::npos) << Message;
      EXPECT_NE(Message.find(Value), std::string::npos) << Message;
      // (Digits beyond 64 bits are no integer to the readers that refuse a text that is none.)
      if (std::abs(Beyond) < 1e19 || Message.find("is not a valid integer value") == std::string::npos) {
        EXPECT_NE(Message.find(" is outside " + SavedValue::RangeText(C.Range)), std::string::npos) << Message;
      }
      EXPECT_EQ(Engine.SaveToString(), Text) << C.Name;
    }
  }
}
