#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/FieldRanges.h"
#include "engine/ImpulseSteps.h"
#include "foundation/NumberText.h"

namespace {

class ZoneTest : public WorldFixture {};

// The world's scenario with one zone line replaced.
std::string WithZoneLine(const std::string& Name, const std::string& Line) {
  std::string Text = WorldScenarioText;
  const std::size_t Start = Text.find("Zone=" + Name + ";");
  const std::size_t End = Text.find('\n', Start);
  return Text.replace(Start, End - Start, Line);
}

}  // namespace

TEST_F(ZoneTest, ScenarioRecordFillsTheZone) {
  LoadWorld(false);
  TBrenmoorZone* A = Z(zAlba);
  EXPECT_EQ(A->GetIndex(), 0);
  EXPECT_EQ(Z(zFerro)->GetIndex(), 5);
  EXPECT_EQ(A->GetIndustry(), 10);
  EXPECT_EQ(A->GetFactories(), 2);
  EXPECT_EQ(A->GetRichResources(), 3);
  EXPECT_EQ(A->GetEffectiveIndustry(), 13);
  EXPECT_EQ(A->GetOwner(), N(0));
  EXPECT_EQ(A->GetOriginalOwner(), N(0));  // "" means the owner.
  EXPECT_TRUE(A->GetCapital());
  EXPECT_FLOAT_EQ(A->GetResources(), 12.5f);
  EXPECT_EQ(A->GetTally(0, utInfantry), 5);
  EXPECT_EQ(A->GetTally(0, utArmor), 2);
  EXPECT_TRUE(A->HasTallyOfKinds(0, KindBit(ukArmy)));
  EXPECT_FALSE(A->HasTallyOfKinds(0, KindBit(ukNavy)));
  EXPECT_TRUE(A->GetPort());
  EXPECT_FALSE(A->GetAirfield());
  EXPECT_EQ(A->GetSupplySource(), A);
  // Alba's border text: level 2 towards Brae, applied once the zones are numbered.
  EXPECT_EQ(A->GetBorderDefense(Z(zBrae)), 2);
  EXPECT_EQ(A->GetBorderDefenseCount(), 1);
  EXPECT_EQ(A->GetBorderDefenseZone(0), Z(zBrae));
  EXPECT_EQ(A->GetBorderDefenseValue(0), 2);

  EXPECT_EQ(Z(zBrae)->GetOriginalOwner(), N(0));
  EXPECT_EQ(Z(zBrae)->GetOwner(), N(1));
  EXPECT_EQ(Z(zNorthSea)->GetOwner(), nullptr);
  // Dunmore's line ends after the capital field: its resources are its industry.
  EXPECT_FLOAT_EQ(Z(zDunmore)->GetResources(), 4.0f);
  EXPECT_EQ(N(2)->GetCapital(), Z(zDunmore));
  EXPECT_TRUE(Z(zFerro)->GetAirfield());
  EXPECT_TRUE(Z(zFerro)->GetRocketSite());
  EXPECT_EQ(Z(zChannel)->GetTerrainDefenseValue(), 25);
  EXPECT_EQ(Z(zChannel)->GetTerrainDefense(), 0);  // At sea it is no defence...
  EXPECT_TRUE(Z(zChannel)->IsHazardousSea());      // ...but a hazard.
}

TEST_F(ZoneTest, ZoneLineOfNoZoneIsReportedAndSkipped) {
  std::vector<std::string> Messages;
  Engine.OnMessage = [&](TBrenmoorEngine*, const std::string& Text) { Messages.push_back(Text); };
  LoadWorld(false, std::string(WorldScenarioText) + "Zone=Atlantis;5;0;0;0;x;0;;;0\n");
  EXPECT_EQ(Messages, std::vector<std::string>{"Zone Atlantis not found"});
  EXPECT_EQ(Z(zAlba)->GetIndustry(), 10);
}

TEST_F(ZoneTest, ColourIndexOfHazardOwnerAndTerrain) {
  Map.SetColorIndexLand(62);
  Map.SetColorIndexSea(156);
  LoadWorld(false);
  EXPECT_EQ(Z(zChannel)->GetColorIndex(), 106);
  Z(zChannel)->SetOwner(N(0));
  EXPECT_EQ(Z(zChannel)->GetColorIndex(), 106);  // A hazard whatever its owner.
  EXPECT_EQ(Z(zNorthSea)->GetColorIndex(), 156);
  EXPECT_EQ(Z(zAlba)->GetColorIndex(), 253);
  EXPECT_EQ(Z(zFerro)->GetColorIndex(), 244);
  Z(zAlba)->SetOwner(nullptr);
  EXPECT_EQ(Z(zAlba)->GetColorIndex(), 62);
}

TEST_F(ZoneTest, PortsAndAirfieldsByFlagOrEngineOption) {
  LoadWorld(false);
  EXPECT_TRUE(Z(zAlba)->IsPort());
  EXPECT_FALSE(Z(zBrae)->IsPort());
  EXPECT_FALSE(Z(zAlba)->IsAirfield());
  EXPECT_TRUE(Z(zFerro)->IsAirfield());
  Engine.SetEngineOptions(1u << 5);
  for (int I = 0; I < Engine.GetZoneCount(); ++I) EXPECT_TRUE(Z(I)->IsAirfield()) << I;
  Engine.SetEngineOptions(1u << 6);
  // Ports follow the map: coastal land zones, not Ferro inland, not the sea.
  EXPECT_TRUE(Z(zAlba)->IsPort());
  EXPECT_TRUE(Z(zBrae)->IsPort());
  EXPECT_TRUE(Z(zDunmore)->IsPort());
  EXPECT_FALSE(Z(zFerro)->IsPort());
  EXPECT_FALSE(Z(zNorthSea)->IsPort());
  EXPECT_TRUE(Z(zBrae)->IsCoastal());
  EXPECT_FALSE(Z(zFerro)->IsCoastal());
}

TEST_F(ZoneTest, BorderDefencesAddOnlyPositiveLevelsAndDeleteAtZero) {
  LoadWorld(false);
  TBrenmoorZone* B = Z(zBrae);
  B->SetBorderDefense(Z(zAlba), 0);
  EXPECT_EQ(B->GetBorderDefenseCount(), 0);
  B->SetBorderDefense(Z(zAlba), -1);
  EXPECT_EQ(B->GetBorderDefenseCount(), 0);
  B->SetBorderDefense(Z(zAlba), 2);
  B->SetBorderDefense(Z(zDunmore), 1);
  B->SetBorderDefense(Z(zAlba), 3);
  EXPECT_EQ(B->GetBorderDefense(Z(zAlba)), 3);
  EXPECT_EQ(B->GetBorderDefenseZone(0), Z(zAlba));
  B->SetBorderDefense(Z(zAlba), 0);
  EXPECT_EQ(B->GetBorderDefense(Z(zAlba)), 0);
  EXPECT_EQ(B->GetBorderDefenseCount(), 1);
  EXPECT_EQ(B->GetBorderDefenseZone(0), Z(zDunmore));
}

TEST_F(ZoneTest, BuildProgressIsPercentOfTheQueuesPoints) {
  LoadWorld(false);
  TBrenmoorZone* A = Z(zAlba);
  EXPECT_EQ(A->GetBuildProgress(), 100);  // Empty queue.
  A->SetBuildQueue(utInfantry, 2);        // 2 x 1.0
  A->SetBuildQueue(utArmor, 1);           // 1 x 2.0
  A->SetBuildProgressPoints(1.5f);
  EXPECT_EQ(A->GetBuildProgress(), 37);   // 37.5 truncated.
  A->SetBuildProgressPoints(4.0f);
  EXPECT_EQ(A->GetBuildProgress(), 100);
}

TEST_F(ZoneTest, TalliesNeverWrapBelowZero) {
  LoadWorld(false);
  TBrenmoorZone* A = Z(zAlba);
  A->ChangeTally(0, utInfantry, -9);
  EXPECT_EQ(A->GetTally(0, utInfantry), 0);
  A->ChangeTally(0, utInfantry, 70000);
  EXPECT_EQ(A->GetTally(0, utInfantry), 65535);
}

TEST_F(ZoneTest, SavedFieldRoundTripKeepsBuiltPortsAndAirfields) {
  LoadWorld();
  TBrenmoorZone* B = Z(zBrae);
  B->SetBuilding(true);
  B->SetBuildQueue(utFighter, 2);
  B->SetBuildKind(ukAirForce);
  B->SetBuildTotal(8.0f);
  B->SetBuildProgressPoints(2.25f);
  B->SetResources(7.1f);
  B->SetIncome(4);
  B->SetBombCount(2);
  B->SetStrikeCount(1);
  B->SetSupplySource(Z(zDunmore));
  B->SetBorderDefense(Z(zDunmore), 3);
  B->SetRocketTarget(Z(zAlba));
  B->SetPortZone(Z(zChannel));
  B->SetPort(true);       // Built in the game.
  B->SetAirfield(true);
  const std::string Saved = B->SaveToString();
  EXPECT_EQ(Saved,
            "0#0#0#0#0#2#0#0#0#0#0#0#0#0#0#0#~1~0~1~1~0~1~0~4~7.1~0~6~1~2~4~4=3#~1~8~2.25~0~0~3~1~1~1#~");

  LoadWorld(false);
  B = Z(zBrae);
  B->LoadFromString(Saved);
  EXPECT_EQ(B->GetUnitCount(), 0);
  for (int I = 0; I < Engine.GetZoneCount(); ++I) Z(I)->ResolveLoadedReferences();
  EXPECT_TRUE(B->GetBuilding());
  EXPECT_EQ(B->GetBuildQueue(utFighter), 2);
  EXPECT_EQ(B->GetBuildProgress(), 28);
  EXPECT_EQ(B->GetSupplySource(), Z(zDunmore));
  EXPECT_EQ(B->GetBorderDefense(Z(zDunmore)), 3);
  EXPECT_EQ(B->GetRocketTarget(), Z(zAlba));
  EXPECT_EQ(B->GetPortZone(), Z(zChannel));
  EXPECT_TRUE(B->GetPort());
  EXPECT_TRUE(B->GetAirfield());
  EXPECT_EQ(B->GetTally(1, utInfantry), 0);  // Rebuilt from its (no) units.
  // The same text, but for the zone's units in order: none came back here.
  EXPECT_EQ(B->SaveToString(), Saved.substr(0, Saved.size() - 3) + "~");

  // A text of an older version ends after the port zone: the scenario's flags stay.
  LoadWorld(false);
  const std::string Older = Saved.substr(0, Saved.size() - 7);
  Z(zAlba)->LoadFromString(Older);
  EXPECT_TRUE(Z(zAlba)->GetPort());
  EXPECT_FALSE(Z(zAlba)->GetAirfield());
  // A queue is written only while building; an empty field is skipped when read.
  Z(zFerro)->SetBuildQueue(utInfantry, 1);
  EXPECT_EQ(Z(zFerro)->SaveToString().substr(0, 5), "~0~1~");
}

TEST_F(ZoneTest, RecordsThatWouldOverrunTheModelAreRefusedNamingTheLine) {
  struct Case {
    const char* Zone;
    const char* Line;
    const char* Message;
  };
  // The Alba line is line 9 and the Ferro line line 14 of the world's scenario.
  const Case Cases[] = {
      {"Alba", "Zone=Alba;1;0;0;0;x;0;7#3#1#;;0", "Scenario line 9, field Zone: Zone Alba: the tally row 7 type 3 is a minor nation's row in a zone no minor nation owns"},
      {"Alba", "Zone=Alba;1;0;0;0;x;-1;7#3#1#;;0", "Scenario line 9, field Zone: Zone Alba: the tally row 7 type 3 is a minor nation's row in a zone no minor nation owns"},
      {"Alba", "Zone=Alba;1;0;0;0;x;0;8#3#1#;;0", "Scenario line 9, field Zone: Zone Alba: the tally row 8 type 3 has a row outside 0..7"},
      {"Alba", "Zone=Alba;1;0;0;0;x;0;0#16#1#;;0", "Scenario line 9, field Zone: Zone Alba: the tally row 0 type 16 has a type outside 0..15"},
      {"Alba", "Zone=Alba;1;0;0;0;x;0;0#3#70000#;;0", "Scenario line 9, field Zone: Zone Alba: the tally row 0 type 3 has a count outside 0..65535"},
      {"Alba", "Zone=Alba;1;0;0;0;x;0;5#3#1#;;0", "Scenario line 9, field Zone: Zone Alba: the tally row 5 type 3 is the row of no major power"},
      {"Alba", "Zone=Alba;1;0;0;0;x;4;;;0", "Scenario line 9, field Zone: Zone Alba: the owner 4 is no nation"},
      {"Alba", "Zone=Alba;1;0;0;0;x;0;;7;0", "Scenario line 9, field Zone: Zone Alba: the original owner 7 is no nation"},
      {"Alba", "Zone=Alba;1;0;0;0;x;-1;;;1", "Scenario line 9, field Zone: Zone Alba is a capital without owner"},
      {"Alba", "Zone=Alba;1;0;0;0;x;0;;;0;1;1;2#6#;", "Scenario line 9, field Zone: Zone Alba: the border defence towards zone 6 is no zone"},
      {"Ferro", "Zone=Ferro;1;0;0;0;x;3;7#3#1#;;0;x", "Scenario line 14, field Zone: 'x' is not a valid floating point value"},
  };
  for (const Case& C : Cases) {
    EXPECT_EQ(EngineError([&] { LoadWorld(false, WithZoneLine(C.Zone, C.Line)); }), C.Message) << C.Line;
  }
  // A row-7 tally of a minor's zone, and rows of nobody with a count of 0, are fine.
  EXPECT_EQ(EngineError([&] { LoadWorld(false, WithZoneLine("Alba", "Zone=Alba;1;0;0;0;x;0;7#3#0#5#3#0#;;0")); }), "");
  // A saved field naming a nation or zone that does not exist is refused too.
  LoadWorld(false);
  std::string Saved = Z(zAlba)->SaveToString();
  std::string Bad = Saved;
  Bad.replace(Bad.find("~0~0~3~0~"), 9, "~0~9~3~0~");
  EXPECT_EQ(EngineError([&] { Z(zAlba)->LoadFromString(Bad); }), "Zone Alba: the owner 9 is no nation");
}

TEST_F(ZoneTest, ANewScenarioLeavesNothingOfTheLastGameInZonesItDoesNotName) {
  LoadWorld();
  TBrenmoorZone* C = Z(zChannel);
  C->SetEmbattled(true);
  C->SetBuilding(true);
  C->SetBuildQueue(utDestroyer, 2);
  C->SetPort(true);
  C->SetAirfield(true);
  C->SetRocketSite(true);
  C->SetRocketTarget(Z(zAlba));
  C->SetPortZone(Z(zNorthSea));
  C->SetBombCount(3);
  C->SetBorderDefense(Z(zBrae), 1);
  std::string Text = WorldScenarioText;
  Text.erase(Text.find("Zone=Channel"), Text.find("Zone=Dunmore") - Text.find("Zone=Channel"));
  LoadWorld(true, Text);
  EXPECT_FALSE(C->GetEmbattled());
  EXPECT_FALSE(C->GetBuilding());
  EXPECT_EQ(C->GetBuildQueue(utDestroyer), 0);
  EXPECT_FALSE(C->GetPort());
  EXPECT_FALSE(C->GetAirfield());
  EXPECT_FALSE(C->GetRocketSite());
  EXPECT_EQ(C->GetRocketTarget(), nullptr);
  EXPECT_EQ(C->GetPortZone(), nullptr);
  EXPECT_EQ(C->GetBombCount(), 0);
  EXPECT_EQ(C->GetBorderDefenseCount(), 0);
  EXPECT_EQ(C->GetTerrainDefenseValue(), 0);
  EXPECT_EQ(C->GetSupplySource(), C);
  EXPECT_EQ(C->GetUnitCount(), 0);
  EXPECT_EQ(Engine.GetUnitCount(), 6);
  ExpectTalliesHold();
}

// The numbers of a scenario's zone record at the ends of their ranges start a game that plays
// on (the sanitizer build stops on a sum that leaves its type); beyond, the file is refused
// naming the line, the zone, the field and the range, and nothing of it is loaded.
TEST_F(ZoneTest, ZoneNumbersWithinTheirRangesPlayAndBeyondAreRefused) {
  using namespace FieldRange;
  const std::string Top = IntToStr(Large);
  // Industry, factories, rich resources, resources, border count (with its defences), terrain.
  LoadWorld(true, WithZoneLine("Alba", "Zone=Alba;" + Top + ";" + Top + ";0;" + Top + ";x;0;0#3#5#0#4#2#;;1;1000000000;1;" + Top +
                                           "#1#;1;0;255;0;"));
  EXPECT_EQ(Z(zAlba)->GetEffectiveIndustry(), 2 * Large);
  for (std::int32_t Impulse = 0; Impulse < 2; ++Impulse) RunHostImpulse(Engine, Impulse);
  ExpectTalliesHold();

  struct TCase {
    std::string Line;
    std::string Message;
  };
  const std::string Where = "Scenario line 9, field Zone: Zone Alba: the ";
  const TCase Cases[] = {
      {"Zone=Alba;2147483647;0;0;0;x;0;;;0", Where + "industry 2147483647 is outside 0..1000000"},
      {"Zone=Alba;-1;0;0;0;x;0;;;0", Where + "industry -1 is outside 0..1000000"},
      {"Zone=Alba;1;1000001;0;0;x;0;;;0", Where + "factories 1000001 is outside 0..1000000"},
      {"Zone=Alba;1;0;0;2147483647;x;0;;;0", Where + "rich resources 2147483647 is outside 0..1000000"},
      {"Zone=Alba;1;0;0;99999999999999999999;x;0;;;0", Where + "rich resources 99999999999999999999 is outside 0..1000000"},
      {"Zone=Alba;1;0;0;0;x;2147483647;;;0", Where + "owner 2147483647 is outside -1..1000000"},
      {"Zone=Alba;1;0;0;0;x;0;;;0;2e9", Where + "resources 2e9 is outside -1000000000..1000000000"},
      {"Zone=Alba;1;0;0;0;x;0;;;0;1;10001", Where + "border count 10001 is outside 0..10000"},
      {"Zone=Alba;1;0;0;0;x;0;;;0;1;1;2147483647#1#;", Where + "border defence 2147483647 is outside -1000000..1000000"},
      {"Zone=Alba;1;0;0;0;x;0;;;0;1;0;;0;0;256;0;", Where + "terrain defence 256 is outside 0..255"},
  };
  for (const TCase& C : Cases) EXPECT_EQ(EngineError([&] { LoadWorld(false, WithZoneLine("Alba", C.Line)); }), C.Message) << C.Line;
}
