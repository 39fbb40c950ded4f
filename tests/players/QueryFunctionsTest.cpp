#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/kit/RulesKit.h"
#include "players/ScriptModule.h"

namespace {

// "I:3", "B:True", "S:abc"; "-" for an empty value.
std::string Show(const TValue& V) {
  switch (V.Kind()) {
    case vkBoolean: return "B:" + V.AsString();
    case vkInteger: return "I:" + V.AsString();
    case vkFloat: return "F:" + V.AsString();
    case vkString: return "S:" + V.AsString();
    case vkArray: return "A";
    case vkEmpty: break;
  }
  return "-";
}

struct TCase {
  const char* Expression;
  const char* Expected;
};

// The kit's world as Albion (nation 0) sees it after a few changes:
// - Albion sees Brae, North Sea, Channel, Dunmore and Gorse, but neither its own home Alba nor
//   Ferro nor Hale (so the same zone answers once seen, once unseen);
// - Lichtenburg is allied with Albion, Ruritania at war with it, Freedonia neutral;
// - Dunmore holds, besides Freedonia's submerged submarines (id 8, hidden from Albion) and its
//   infantry (id 9), an Albion army (id 12), a Ruritanian air force (id 13) and fleet (id 14)
//   and a Lichtenburg army (id 15); Albion has submerged submarines of its own in the Channel
//   (id 16);
// - Gorse is a rocket site aimed at Dunmore, Ferro (unseen) one aimed at Hale.
// Albion's seen-unit list is then, by identifier: 2 3 4 5 6 7 9 11 12 13 14 15 16.
class QueryFunctions : public ::testing::Test {
protected:
  QueryFunctions() {
    TBrenmoorEngine& E = World.Engine();
    for (int Z : {kit::kzBrae, kit::kzNorthSea, kit::kzChannel, kit::kzDunmore, kit::kzGorse})
      World.Z(Z)->SetVisibleTo(World.N(0), true);
    World.N(0)->SetRelationDirect(World.N(3), 100);
    World.N(3)->SetRelationDirect(World.N(0), 100);
    World.UnitIn(kit::kzDunmore, 2, ukNavy)->SetSubmerged(true);
    World.MakeUnit(0, ukArmy, kit::kzDunmore, {{utArmor, 1}, {utArtillery, 2}});
    World.MakeUnit(1, ukAirForce, kit::kzDunmore, {{utDiveBomber, 2}, {utFighter, 1}});
    World.MakeUnit(1, ukNavy, kit::kzDunmore, {{utCruiser, 1}});
    World.MakeUnit(3, ukArmy, kit::kzDunmore, {{utInfantry, 4}});
    World.MakeUnit(0, ukNavy, kit::kzChannel, {{utSubmarine, 2}})->SetSubmerged(true);
    World.Z(kit::kzGorse)->SetRocketSite(true);
    World.Z(kit::kzGorse)->SetRocketTarget(World.Z(kit::kzDunmore));
    World.Z(kit::kzFerro)->SetRocketTarget(World.Z(kit::kzHale));
    World.Z(kit::kzHale)->SetStorm(true);
    World.Z(kit::kzBrae)->SetEmbattled(true);
    World.Z(kit::kzAlba)->SetSupplySource(World.Z(kit::kzNorthSea));

    Module.SetBrenmoorEngine(&E);
    Module.CurrentEngine = &E;
    Module.CurrentBrain = &Brain();
    Brain().SetExceptions(true);
  }

  TBrenmoorBrain& Brain() { return Module.GetBrain(0); }
  TUnit* Unit(std::int32_t ID) { return World.Engine().GetUnitByID(ID); }

  // Runs "r := Expression" in Albion's brain: R's value, or the text of the error.
  std::string Eval(const std::string& Expression) {
    Brain().SetText("r := " + Expression);
    try {
      if (!Brain().Execute()) return "refused";
    } catch (const std::exception& E) {
      return E.what();
    }
    TDataItem* R = Brain().FindDataItem("R");
    return R ? Show(R->Value()) : "no R";
  }

  void Check(const std::vector<TCase>& Cases) {
    for (const TCase& C : Cases) EXPECT_EQ(Eval(C.Expression), C.Expected) << C.Expression;
  }

  kit::TKitWorld World;
  TdmScript Module;
};

TEST_F(QueryFunctions, GameWideQueriesAndUnitIndexes) {
  Check({
      {"GetZoneCount()", "I:8"},
      {"GetUnitCount()", "I:13"},
      {"GetCurrentPlayer()", "I:0"},
      {"GetNationCount()", "I:4"},
      // Script indexes are places in the seen-unit list, not identifiers.
      {"FindUnitID(4)", "I:2"},
      {"FindUnitID(16)", "I:12"},
      {"GetUnitID(6)", "I:9"},
      // Unseen units: Albion's own in unseen Alba, Freedonia's submerged submarines.
      {"FindUnitID(0)", "I:-1"},
      {"FindUnitID(8)", "I:-1"},
      {"FindUnitID(99)", "I:-1"},
      {"FindZoneName('Dunmore')", "I:4"},
      {"FindZoneName('dunmore')", "I:-1"},
      {"FindNationName('Ruritania')", "I:1"},
      {"FindNationName('RURITANIA')", "I:-1"},
      {"FindNationName('')", "I:-1"},
      {"Distance(0, 1)", "I:100"},
      {"Distance(0, 6)", "I:400"},
      {"Distance(2, 3)", "I:150"},
      {"TrueDistance(0, 0)", "I:0"},
      {"TrueDistance(0, 4)", "I:2"},
      {"TrueDistance(0, 6)", "I:4"},
      // A decimal index is taken by the language's whole-number conversion.
      {"GetZoneName(0.6)", "S:Brae"},
  });
}

TEST_F(QueryFunctions, ZoneAnswersWhenSeenAndWhenNot) {
  // Alba unseen (its own home, but no seen bit), then seen: the "seen" rows fall back to their
  // defaults while the owner, name, value and neighbours stay readable.
  struct TRow {
    const char* Expression;
    const char* Unseen;
    const char* Seen;
  };
  const std::vector<TRow> Rows = {
      {"IsZoneVisible(0)", "B:False", "B:True"},
      {"GetZoneResources(0)", "I:0", "I:12"},
      {"GetZoneFactories(0)", "I:0", "I:2"},
      {"IsZoneAirfield(0)", "B:False", "B:True"},
      {"IsZonePort(0)", "B:False", "B:True"},
      {"GetZoneUnitCount(0)", "I:0", "I:2"},
      {"GetZoneUnit(0, 1)", "I:-1", "I:1"},
      {"GetZoneName(0)", "S:Alba", "S:Alba"},
      {"GetZoneOwner(0)", "I:0", "I:0"},
      {"GetZoneValue(0)", "I:10", "I:10"},
      {"GetZoneResourceBonus(0)", "I:3", "I:3"},
      {"IsZoneCapital(0)", "B:True", "B:True"},
      {"IsZoneAllied(0)", "B:True", "B:True"},
      {"GetZoneNeighborCount(0)", "I:2", "I:2"},
      {"GetZoneNeighbor(0, 1)", "I:2", "I:2"},
      {"GetZoneBorderDefense(0, 1)", "I:2", "I:2"},
      {"GetZoneAutoRouteZone(0)", "I:2", "I:2"},
      // Ferro: an unseen rocket site with a target.
      {"IsZoneRocket(5)", "B:False", "B:True"},
      {"GetZoneRocketTarget(5)", "I:-1", "I:7"},
  };
  for (const TRow& R : Rows) EXPECT_EQ(Eval(R.Expression), R.Unseen) << R.Expression;
  World.Z(kit::kzAlba)->SetVisibleTo(World.N(0), true);
  World.Z(kit::kzFerro)->SetVisibleTo(World.N(0), true);
  for (const TRow& R : Rows) EXPECT_EQ(Eval(R.Expression), R.Seen) << R.Expression;
}

TEST_F(QueryFunctions, ZoneQueries) {
  // Sea zones with an owner still count neither as enemy nor as allied.
  World.Z(kit::kzNorthSea)->SetOwner(World.N(1));
  World.Z(kit::kzChannel)->SetOwner(World.N(0));
  Check({
      {"GetZoneName(3)", "S:Channel"},
      {"IsZoneLand(1)", "B:True"},
      {"IsZoneLand(3)", "B:False"},
      {"GetZoneTerrainBonus(6)", "I:10"},
      {"GetZoneTerrainBonus(3)", "I:0"},  // a hazardous sea: no terrain defence
      {"GetZoneResources(1)", "I:6"},
      {"IsZoneAirfield(1)", "B:True"},
      {"IsZonePort(1)", "B:False"},
      {"IsZoneRocket(6)", "B:True"},
      {"GetZoneRocketTarget(6)", "I:4"},
      {"GetZoneRocketTarget(1)", "I:-1"},
      {"GetZoneOwner(1)", "I:1"},
      {"GetZoneOwner(7)", "I:2"},
      {"GetZoneOwner(-1)", "I:-1"},
      {"IsZoneCapital(1)", "B:False"},
      {"IsZoneStorming(7)", "B:True"},
      {"IsZoneStorming(6)", "B:False"},
      {"IsZoneEmbattled(1)", "B:True"},
      {"IsZoneEmbattled(4)", "B:False"},
      {"IsZoneEnemy(1)", "B:True"},   // Ruritania
      {"IsZoneEnemy(4)", "B:False"},  // Freedonia, neutral
      {"IsZoneEnemy(5)", "B:False"},  // Lichtenburg, allied
      {"IsZoneAllied(5)", "B:True"},
      {"IsZoneAllied(1)", "B:False"},
      {"IsZoneAllied(4)", "B:False"},
      {"GetZoneOwner(2)", "I:1"},
      {"IsZoneEnemy(2)", "B:False"},
      {"GetZoneOwner(3)", "I:0"},
      {"IsZoneAllied(3)", "B:False"},
      {"GetZoneNeighborCount(1)", "I:4"},
      {"GetZoneNeighbor(1, 3)", "I:4"},
      {"IsZoneNeighbor(1, 4)", "B:True"},
      {"IsZoneNeighbor(1, 5)", "B:False"},
      {"GetZoneBorderDefense(1, 0)", "I:0"},
      {"GetZoneAutoRouteZone(1)", "I:-1"},  // Ruritania's
      {"GetZoneUnitCount(4)", "I:6"},
      {"GetZoneUnit(4, 0)", "I:-1"},  // Freedonia's submerged submarines
      {"GetZoneUnit(4, 1)", "I:6"},
  });
}

TEST_F(QueryFunctions, ZoneUnitAndCapitalBecomeTheCurrentOnes) {
  EXPECT_EQ(Eval("GetZoneUnit(4, 1)"), "I:6");
  EXPECT_EQ(Module.CurrentUnit, Unit(9));
  EXPECT_EQ(Module.CurrentZone, World.Z(kit::kzDunmore));
  EXPECT_EQ(Eval("GetNationCapitalZone(3)"), "I:5");
  EXPECT_EQ(Module.CurrentZone, World.Z(kit::kzFerro));
  EXPECT_EQ(Eval("GetNationCapitalZone(1)"), "I:-1");
  EXPECT_EQ(Module.CurrentZone, nullptr);
}

TEST_F(QueryFunctions, ZoneForceCountsBySideAndKind) {
  // Dunmore as Albion sees it: Freedonia (neutral) Infantry 3 - its submerged Submarines 3 are
  // hidden; Albion Armor 1 and Artillery 2, Lichtenburg (allied) Infantry 4; Ruritania (enemy)
  // Dive Bomber 2, Fighter 1 and Cruiser 1.
  Check({
      {"GetZoneForceCount(4, true, true, true, true, true, true)", "I:14"},
      {"GetZoneForceCount(4, true, false, false, true, true, true)", "I:7"},
      {"GetZoneForceCount(4, false, true, false, true, true, true)", "I:4"},
      {"GetZoneForceCount(4, false, false, true, true, true, true)", "I:3"},
      {"GetZoneForceCount(4, true, true, true, true, false, false)", "I:10"},
      {"GetZoneForceCount(4, true, true, true, false, true, false)", "I:3"},
      {"GetZoneForceCount(4, true, true, true, false, false, true)", "I:1"},
      {"GetZoneForceCount(4, false, true, false, false, true, false)", "I:3"},
      {"GetZoneForceCount(4, false, false, false, true, true, true)", "I:0"},
      {"GetZoneForceCount(4, true, true, true, false, false, false)", "I:0"},
      // 45 + 60 + 60 + 110 + 25 and 60 + 35 + 80 + 55 + 25.
      {"GetZoneForceCountAttack(4, true, true, true, true, true, true)", "I:300"},
      {"GetZoneForceCountDefense(4, true, true, true, true, true, true)", "I:255"},
      {"GetZoneForceCountAttack(4, true, false, false, true, false, false)", "I:120"},
      {"GetZoneForceCountDefense(4, false, true, false, true, true, true)", "I:80"},
      // Albion's own submerged submarines in the Channel count; Freedonia's destroyers there
      // are neutral.
      {"GetZoneForceCount(3, true, false, false, true, true, true)", "I:2"},
      {"GetZoneForceCount(3, true, true, true, true, true, true)", "I:4"},
      // An unseen zone shows no force.
      {"GetZoneForceCount(5, true, true, true, true, true, true)", "I:0"},
  });
}

TEST_F(QueryFunctions, SidesFollowTheOwnersViewInCountsAndThePlayersViewForZones) {
  // Relations may differ by side. A force counts by its owner's view of the player, a zone
  // is enemy or allied by the player's view of its owner.
  World.N(2)->SetRelationDirect(World.N(0), 100);
  Check({
      {"GetZoneForceCount(4, true, false, false, true, true, true)", "I:10"},
      {"GetZoneForceCount(4, false, false, true, true, true, true)", "I:0"},
      {"IsZoneAllied(4)", "B:False"},
  });
  World.N(2)->SetRelationDirect(World.N(0), -100);
  Check({
      {"GetZoneForceCount(4, false, true, false, true, true, true)", "I:7"},
      {"IsZoneEnemy(4)", "B:False"},
  });
  World.N(0)->SetRelationDirect(World.N(2), -100);
  EXPECT_EQ(Eval("IsZoneEnemy(4)"), "B:True");
}

TEST_F(QueryFunctions, UnitQueries) {
  // Index 2 is Albion's fleet in the North Sea (Transport 2, Carrier 1) with the infantry
  // aboard (index 3) and fighters on its carrier (index 4); index 1 Ruritania's bombers,
  // index 9 its Dive Bomber 2 + Fighter 1, index 12 Albion's submerged submarines.
  Check({
      {"GetUnitOwner(2)", "I:0"},
      {"GetUnitOwner(0)", "I:1"},
      {"GetUnitOwner(11)", "I:3"},
      {"GetUnitClass(2)", "I:2"},
      {"GetUnitClass(1)", "I:1"},
      {"GetUnitClass(0)", "I:0"},
      {"GetUnitZone(2)", "I:2"},
      {"GetUnitZone(7)", "I:6"},
      {"GetUnitForceCount(2)", "I:3"},
      {"GetUnitForceCountType(2, 9)", "I:2"},
      {"GetUnitForceCountType(2, 13)", "I:1"},
      {"GetUnitForceCountType(2, 15)", "I:0"},
      {"GetUnitForceCountClass(2, true, true, false)", "I:0"},
      {"GetUnitForceCountClass(2, false, false, true)", "I:3"},
      {"GetUnitForceCountClass(9, true, true, true)", "I:3"},
      {"GetUnitForceCountAttack(2)", "I:20"},
      {"GetUnitForceCountDefense(2)", "I:40"},
      {"GetUnitForceCountAttack(9)", "I:110"},
      {"GetUnitForceCountDefense(9)", "I:55"},
      {"IsUnitAttacking(2)", "B:False"},
      {"GetUnitBaseUnit(4)", "I:2"},
      {"GetUnitBaseUnit(3)", "I:-1"},
      {"GetUnitBaseZone(4)", "I:-1"},
      {"GetUnitBaseZone(3)", "I:2"},
      {"GetUnitCarrierRoom(2)", "I:1"},
      {"GetUnitRange(1)", "I:5"},
      {"GetUnitRange(9)", "I:4"},
      {"GetUnitRange(0)", "I:0"},
      {"IsUnitSubmerged(12)", "B:True"},
      {"IsUnitSubmerged(5)", "B:False"},
      {"IsUnitSubsOnly(12)", "B:True"},
      {"IsUnitSubsOnly(5)", "B:False"},
      {"GetUnitTransportRoom(2)", "I:2"},
      {"GetUnitTransportWeight(3)", "I:2"},
      {"GetUnitTransportWeight(8)", "I:4"},
      {"GetUnitBasedCount(2)", "I:1"},
      {"GetUnitBased(2, 0)", "I:4"},
      {"GetUnitBoardedCount(2)", "I:1"},
      {"GetUnitBoarded(2, 0)", "I:3"},
      {"GetUnitBoardedCount(3)", "I:0"},
  });
}

TEST_F(QueryFunctions, CarrierWeight) {
  Check({
      {"GetUnitCarrierWeight(4)", "I:2"},           // Fighter 2
      {"GetUnitCarrierWeight(9)", "I:3"},           // Dive Bomber 2, Fighter 1
      {"GetUnitCarrierWeight(1)", "I:2147483647"},  // Bomber 2
      {"GetUnitCarrierWeight(3)", "I:0"},           // an army
      {"GetUnitCarrierWeight(2)", "I:0"},           // a fleet
  });
  // A Bomber spoils the unit whatever else it holds, though the fighters come first.
  Unit(13)->SetCount(utBomber, 1);
  EXPECT_EQ(Eval("GetUnitCarrierWeight(9)"), "I:2147483647");
  Unit(13)->SetCount(utBomber, 0);
  Unit(13)->SetCount(utJetFighter, 4);
  EXPECT_EQ(Eval("GetUnitCarrierWeight(9)"), "I:7");
}

TEST_F(QueryFunctions, OwnUnitRowsAnswerOnlyForThePlayersUnits) {
  TUnit* Own = Unit(5);  // the infantry aboard Albion's fleet, index 3
  Own->SetExperience(1.239f);
  Own->SetOrganizationDirect(87.5f);
  Own->SetOrder(ordInvade);
  Own->SetDestinationZone(World.Z(kit::kzDunmore));
  Own->SetDestinationUnit(Unit(7));
  TUnit* Other = Unit(2);  // Ruritania's infantry in Brae, index 0
  Other->SetOrder(ordMove);
  Other->SetDestinationZone(World.Z(kit::kzAlba));
  Other->SetDestinationUnit(Unit(4));
  Check({
      {"GetUnitExperience(3)", "I:123"},
      {"GetUnitOrganization(3)", "I:8750"},
      {"GetUnitOrder(3)", "I:10"},
      {"GetUnitDestinationZone(3)", "I:4"},
      {"GetUnitDestinationUnit(3)", "I:5"},
      {"GetUnitOrder(2)", "I:0"},
      {"GetUnitDestinationZone(2)", "I:-1"},
      {"GetUnitDestinationUnit(2)", "I:-1"},
      {"GetUnitID(0)", "I:2"},
      {"GetUnitOwner(0)", "I:1"},
      {"GetUnitExperience(0)", "I:-1"},
      {"GetUnitOrganization(0)", "I:-1"},
      {"GetUnitOrder(0)", "I:-1"},
      {"GetUnitDestinationZone(0)", "I:-1"},
      {"GetUnitDestinationUnit(0)", "I:-1"},
  });
  // A destination unit the player does not see has no script index.
  Own->SetDestinationUnit(Unit(8));
  EXPECT_EQ(Eval("GetUnitDestinationUnit(3)"), "I:-1");
  EXPECT_EQ(Module.CurrentUnit, Own);
}

TEST_F(QueryFunctions, NationQueries) {
  TNation* Freedonia = World.N(2);
  Freedonia->SetStability(42);
  Freedonia->SetDiplomaticActions(3);
  Freedonia->SetResearchSpendingTotal(30);
  Freedonia->SetResearchSpending(4, 12);
  Freedonia->SetResearchLevel(7, 2);
  Freedonia->SetResearchProgress(3, 150);
  World.N(1)->SetAlive(false);
  Check({
      {"GetNationName(3)", "S:Lichtenburg"},
      {"GetNationAlliance(1)", "S:Axis"},
      {"GetNationAlliance(2)", "S:"},
      {"IsNationMajorPower(2)", "B:True"},
      {"IsNationMajorPower(3)", "B:False"},
      {"IsNationActive(0)", "B:True"},
      {"IsNationActive(1)", "B:False"},
      {"GetNationStance(2, 3)", "I:-30"},
      {"GetNationStance(3, 0)", "I:100"},
      {"IsNationAtWarWith(0, 1)", "B:True"},
      {"IsNationAtWarWith(0, 2)", "B:False"},
      {"IsNationAlliedWith(0, 3)", "B:True"},
      {"IsNationAlliedWith(0, 2)", "B:False"},
      {"IsNationAlliedWith(2, 2)", "B:True"},
      {"GetNationDiplomaticActions(2)", "I:3"},
      {"GetNationCapitalZone(2)", "I:4"},
      {"GetNationStability(2)", "I:42"},
      {"GetNationTotalResearchSpending(2)", "I:30"},
      {"GetNationResearchItemSpending(2, 4)", "I:12"},
      {"GetNationResearchItemSpending(2, 5)", "I:0"},
      {"GetNationResearchItemLevel(2, 7)", "I:2"},
      {"GetNationResearchItemProgress(2, 3)", "I:150"},
  });
}

TEST(QueryFunctionNames, FindTheFirstExactMatch) {
  // A map whose Gorse is called "Brae" and whose Hale is called "brae".
  std::string Map = kit::KitMapText;
  Map.replace(Map.find(";Gorse;"), 7, ";Brae;");
  Map.replace(Map.find(";Hale;"), 6, ";brae;");
  std::string Scenario = kit::KitScenarioText;
  const auto Gorse = Scenario.find("Zone=Gorse;");
  Scenario.erase(Gorse, Scenario.find('\n', Gorse) + 1 - Gorse);
  Scenario.replace(Scenario.find("Zone=Hale;"), 10, "Zone=brae;");
  kit::TKitWorld World(Scenario, Map);
  World.N(3)->SetName("Freedonia");
  TdmScript Module;
  Module.SetBrenmoorEngine(&World.Engine());
  Module.CurrentEngine = &World.Engine();
  Module.CurrentBrain = &Module.GetBrain(0);
  TBrenmoorBrain& Brain = Module.GetBrain(0);
  Brain.SetExceptions(true);
  Brain.SetText(
      "a := FindZoneName('Brae'); b := FindZoneName('brae'); c := FindZoneName('BRAE');"
      "d := FindNationName('Freedonia'); e := FindNationName('freedonia')");
  ASSERT_TRUE(Brain.Execute());
  EXPECT_EQ(Show(Brain.FindDataItem("A")->Value()), "I:1");
  EXPECT_EQ(Show(Brain.FindDataItem("B")->Value()), "I:7");
  EXPECT_EQ(Show(Brain.FindDataItem("C")->Value()), "I:-1");
  EXPECT_EQ(Show(Brain.FindDataItem("D")->Value()), "I:2");
  EXPECT_EQ(Show(Brain.FindDataItem("E")->Value()), "I:-1");
}

TEST_F(QueryFunctions, BadIndexesEndTheRunWithAScriptError) {
  Check({
      // Zone -1 is no zone: only GetZoneOwner accepts it.
      {"GetZoneName(-1)", "Runtimeerror: Invalid zone -1 [Position 6]"},
      {"GetZoneResources(-1)", "Runtimeerror: Invalid zone -1 [Position 6]"},
      {"GetZoneAutoRouteZone(-1)", "Runtimeerror: Invalid zone -1 [Position 6]"},
      {"IsZoneNeighbor(1, -1)", "Runtimeerror: Invalid zone -1 [Position 6]"},
      {"Distance(-1, 1)", "Runtimeerror: Invalid zone -1 [Position 6]"},
      {"GetZoneForceCount(-1, true, true, true, true, true, true)", "Runtimeerror: Invalid zone -1 [Position 6]"},
      {"GetZoneOwner(8)", "Runtimeerror: List index out of bounds (8) [Position 6]"},
      {"GetZoneOwner(-2)", "Runtimeerror: List index out of bounds (-2) [Position 6]"},
      {"TrueDistance(0, 8)", "Runtimeerror: List index out of bounds (8) [Position 6]"},
      {"GetZoneNeighbor(1, 4)", "Runtimeerror: List index out of bounds (4) [Position 6]"},
      {"GetZoneUnit(4, 6)", "Runtimeerror: List index out of bounds (6) [Position 6]"},
      // Units: places in the seen-unit list.
      {"GetUnitID(13)", "Runtimeerror: List index out of bounds (13) [Position 6]"},
      {"GetUnitOwner(-1)", "Runtimeerror: List index out of bounds (-1) [Position 6]"},
      {"GetUnitExperience(13)", "Runtimeerror: List index out of bounds (13) [Position 6]"},
      {"GetUnitForceCountType(2, 16)", "Runtimeerror: List index out of bounds (16) [Position 6]"},
      {"GetUnitForceCountType(2, -1)", "Runtimeerror: List index out of bounds (-1) [Position 6]"},
      {"GetUnitBased(2, 1)", "Runtimeerror: List index out of bounds (1) [Position 6]"},
      {"GetUnitBoarded(3, 0)", "Runtimeerror: List index out of bounds (0) [Position 6]"},
      // Nations and research groups.
      {"GetNationName(4)", "Runtimeerror: List index out of bounds (4) [Position 6]"},
      {"GetNationStance(0, -1)", "Runtimeerror: List index out of bounds (-1) [Position 6]"},
      {"GetNationCapitalZone(-1)", "Runtimeerror: List index out of bounds (-1) [Position 6]"},
      {"GetNationResearchItemLevel(0, 8)", "Runtimeerror: List index out of bounds (8) [Position 6]"},
  });
}

TEST_F(QueryFunctions, TheRegistryRefusesCallsThatDoNotFitTheDeclaration) {
  Check({
      {"GetZoneCount(1)", "Runtimeerror: Too many arguments for function GETZONECOUNT! [Position 6]"},
      {"GetZoneName()", "Runtimeerror: Not enough arguments for function GETZONENAME (0 instead of 1). [Position 6]"},
      {"GetZoneName(1, 2)", "Runtimeerror: Too many arguments for function GETZONENAME! [Position 6]"},
      {"GetZoneForceCount(4, true, true, true, true, true)",
       "Runtimeerror: Not enough arguments for function GETZONEFORCECOUNT (6 instead of 7). [Position 6]"},
      {"GetUnitBased(2)", "Runtimeerror: Not enough arguments for function GETUNITBASED (1 instead of 2). [Position 6]"},
      {"GetZoneName('Alba')",
       "Runtimeerror: Funktion GETZONENAME expects type INTEGER/FLOAT instead of type STRING at argument 1 [Position 6]"},
      {"GetZoneForceCount(4, 1, true, true, true, true, true)",
       "Runtimeerror: Funktion GETZONEFORCECOUNT expects type BOOLEAN instead of type INTEGER at argument 2 [Position 6]"},
  });
}

TEST_F(QueryFunctions, AFailedCallStopsTheRunAndIsShownOnce) {
  std::vector<std::string> Shown;
  Brain().SetExceptions(false);
  Brain().OnShowMessage = [&](TScript*, const std::string& Text) { Shown.push_back(Text); };
  Brain().SetText("a := 1; b := GetZoneName(99); a := 2");
  EXPECT_FALSE(Brain().Execute());
  ASSERT_EQ(Shown.size(), 1u);
  EXPECT_NE(Shown[0].find("List index out of bounds (99)"), std::string::npos) << Shown[0];
  EXPECT_EQ(Show(Brain().FindDataItem("A")->Value()), "I:1");
}

TEST_F(QueryFunctions, NoRunningBrainIsAScriptError) {
  Module.CurrentBrain = nullptr;
  EXPECT_EQ(Eval("GetZoneCount()"), "Runtimeerror: No computer player is running [Position 6]");
  Module.CurrentBrain = &Brain();
  Module.CurrentEngine = nullptr;
  EXPECT_EQ(Eval("GetNationCount()"), "Runtimeerror: No game is running [Position 6]");
}

}  // namespace
