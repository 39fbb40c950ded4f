// The replay of change records on a machine that does not run the rules.
#include <gtest/gtest.h>

#include "engine/Replay.h"
#include "engine/UnitRules.h"
#include "engine/kit/RulesKit.h"
#include "foundation/ListError.h"
#include "foundation/NumberText.h"

namespace {

using namespace kit;

// A field of a change record: a kit zone, an order or a unit kind by its number.
template <class T>
auto FieldOf(const T& Value) {
  if constexpr (std::is_enum_v<T>)
    return static_cast<int>(Value);
  else
    return Value;
}

// The record the host writes for Code with these fields.
template <class... Ts>
std::string Change(TChangeCode Code, const Ts&... Fields) {
  return ChangeRecord(Code, FieldOf(Fields)...);
}

class ReplayTest : public ::testing::Test {
protected:
  void SetUp() override {
    W.Sink.Host = false;
    E.SetRandomGenerator(&None);
  }
  void TearDown() override {
    EXPECT_EQ(None.Draws(), 0);
    EXPECT_TRUE(W.Sink.Records.empty());
    EXPECT_EQ(CheckInvariants(E), "");
  }
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TForbiddenRandom None;
};

}  // namespace

TEST_F(ReplayTest, UnitRecordsFindTheirUnitOrAreSkipped) {
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  E.ApplyStateChange(Change(chUnitMove, Army->ID, kzBrae));
  EXPECT_EQ(Army->GetZone(), W.Z(kzBrae));
  EXPECT_EQ(Army->GetOrganization(), 100.0f);  // the replayed move draws no loss
  const std::string Before = DumpState(E);
  for (const std::string& Record : {Change(chUnitMove, 999, kzBrae), std::string("59;1;"), std::string("-1;"), std::string("x;"), std::string(),
                                    Change(chUnitRemoved, 999)})
    E.ApplyStateChange(Record);
  EXPECT_EQ(DumpState(E), Before);
  // An order record without destinations is the host's unit without them: whatever the guest
  // had goes.
  Army->SetDestinationZone(W.Z(kzDunmore));
  Army->SetDestinationUnit(W.UnitIn(kzBrae, 1, ukArmy));
  E.ApplyStateChange(Change(chUnitOrder, Army->ID, ordInvade, -1, -1, true));
  EXPECT_EQ(Army->GetOrder(), ordInvade);
  EXPECT_EQ(Army->GetDestinationZone(), nullptr);
  EXPECT_EQ(Army->GetDestinationUnit(), nullptr);
  EXPECT_TRUE(Army->GetAttacking());
  // A unit removed takes its counts out of the tallies.
  const std::int32_t ID = Army->ID;
  E.ApplyStateChange(Change(chUnitRemoved, ID));
  EXPECT_EQ(E.GetUnitByID(ID), nullptr);
}

// Units hold up to 65535 of a type each, and several may stand together: the zone's tally
// keeps the whole count, so that one of them leaving takes only its own counts with it.
TEST_F(ReplayTest, TalliesKeepCountsPastWhatOneUnitHolds) {
  struct Case {
    const char* Name;
    std::vector<std::string> Records;
    std::uint16_t NorthSea, Channel;
  };
  TUnit* Fleet = W.UnitIn(kzNorthSea, 0, ukNavy);
  ASSERT_EQ(Fleet->GetCount(utTransport), 2);
  const std::string Full = CountsText({{utTransport, 65535}}), Most = CountsText({{utTransport, 40000}});
  // One more fleet in the North Sea, one in the Channel, a transport each.
  TUnit* Second = W.MakeUnit(0, ukNavy, kzNorthSea, {{utTransport, 1}});
  TUnit* Third = W.MakeUnit(0, ukNavy, kzChannel, {{utTransport, 1}});
  const std::int32_t F = Fleet->ID, S = Second->ID, T = Third->ID;
  const Case Cases[] = {
      {"a full fleet beside another leaves the game", {Change(chUnitStrength, S, Full, 0), Change(chUnitRemoved, S)}, 2, 1},
      {"a big fleet passes through a zone with another",
       {Change(chUnitStrength, F, Most, 0), Change(chUnitStrength, T, Most, 0), Change(chUnitMove, T, kzNorthSea),
        Change(chUnitMove, T, kzChannel)},
       40000, 40000},
      {"its counts fall to what one unit holds", {Change(chUnitStrength, T, CountsText({{utTransport, 3}}), 0)}, 40000, 3},
  };
  for (const Case& C : Cases) {
    for (const std::string& Record : C.Records) {
      E.ApplyStateChange(Record);
      ASSERT_EQ(CheckInvariants(E), "") << C.Name << ", after " << Record;
    }
    EXPECT_EQ(W.Z(kzNorthSea)->GetTally(0, utTransport), C.NorthSea) << C.Name;
    EXPECT_EQ(W.Z(kzChannel)->GetTally(0, utTransport), C.Channel) << C.Name;
  }
  // While both big fleets stand together the tally reads the most a count holds.
  E.ApplyStateChange(Change(chUnitMove, T, kzNorthSea));
  E.ApplyStateChange(Change(chUnitStrength, T, Most, 0));
  EXPECT_EQ(W.Z(kzNorthSea)->GetTally(0, utTransport), 65535);
  EXPECT_EQ(W.Z(kzNorthSea)->GetTallies()[0][utTransport], 80000);
}

TEST_F(ReplayTest, ZoneAndNationRecords) {
  W.Z(kzAlba)->SetEmbattled(true);
  E.ApplyStateChange(Change(chEmbattledZones, ""));
  EXPECT_FALSE(W.Z(kzAlba)->GetEmbattled());
  E.ApplyStateChange(Change(chEmbattledZones, "1#4#"));
  EXPECT_TRUE(W.Z(kzBrae)->GetEmbattled());
  EXPECT_TRUE(W.Z(kzDunmore)->GetEmbattled());
  TNation* N = W.N(1);
  for (int T = 0; T < UnitTypeCount; ++T) N->SetUnitCost(T, 3);
  E.ApplyStateChange(Change(chUnitCosts, 1, "-#-#-#-#-#-#-#12#-#-#-#-#-#-#-#-#"));
  EXPECT_EQ(N->GetUnitCost(utBomber), 12);
  EXPECT_EQ(N->GetUnitCost(utAtomicBomber), 12);
  EXPECT_EQ(N->GetUnitCost(utFighter), 3);
  // A rocket target of the zone's own owner is none.
  E.ApplyStateChange(Change(chRocketTarget, kzGorse, kzBrae));
  EXPECT_EQ(W.Z(kzBrae)->GetRocketTarget(), nullptr);
  E.ApplyStateChange(Change(chRocketTarget, kzAlba, kzBrae));
  EXPECT_EQ(W.Z(kzBrae)->GetRocketTarget(), W.Z(kzAlba));
  // Diplomatic actions never wrap below none.
  W.N(0)->SetDiplomaticActions(0);
  E.ApplyStateChange(Change(chDiplomaticActionUsed, 0));
  E.ApplyStateChange(Change(chStability, 0, 2, 40));
  EXPECT_EQ(W.N(0)->GetDiplomaticActions(), 0);
  EXPECT_EQ(W.N(2)->GetStability(), 40);
  // A relation record fires the war event as on the host.
  std::vector<int> War;
  E.OnDeclareWar = [&](TBrenmoorEngine*, TNation* A, TNation* B) { War = {A->GetIndex(), B->GetIndex()}; };
  E.ApplyStateChange(Change(chRelation, 2, 3, -100));
  EXPECT_EQ(W.N(3)->GetRelation(W.N(2)), -100);
  EXPECT_EQ(War, (std::vector<int>{2, 3}));
  // A routing to its own zone is refused and takes nothing.
  const float Resources = W.Z(kzAlba)->GetResources();
  E.ApplyStateChange(Change(chRoutingCreated, kzAlba, kzAlba, 5));
  EXPECT_EQ(E.GetRoutingCount(), 0);
  EXPECT_EQ(W.Z(kzAlba)->GetResources(), Resources);
  E.ApplyStateChange(Change(chRoutingCreated, kzAlba, kzBrae, 5));
  EXPECT_EQ(E.GetRoutingCount(), 1);
  EXPECT_FLOAT_EQ(W.Z(kzAlba)->GetResources(), Resources - 5);
  // An index outside its list raises the list's error.
  EXPECT_THROW(E.ApplyStateChange(Change(chSupplySource, kzAlba, 99)), EListError);
  EXPECT_THROW(E.ApplyStateChange(Change(chCountdown, 9, 1)), EListError);
}

TEST_F(ReplayTest, DivisionAndMergeGiveTheHostsIdentifiers) {
  TKitWorld Host;
  TUnit* HostArmy = Host.UnitIn(kzAlba, 0, ukArmy);
  TUnit* HostNew = Host.Engine().UnitRules().DivideUnit(HostArmy, "0#0#0#2#", nullptr);
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  E.ApplyStateChange(Change(chUnitDivided, Army->ID, "0#0#0#2#", -1, -1));
  TUnit* New = E.GetUnitByID(HostNew->ID);
  ASSERT_NE(New, nullptr);
  EXPECT_EQ(New->GetCount(utInfantry), 2);
  const std::int32_t NewID = New->ID;
  E.ApplyStateChange(Change(chUnitsMerged, kzAlba, IntToStr(NewID) + "#" + IntToStr(Army->ID) + "#"));
  EXPECT_EQ(E.GetUnitByID(NewID), nullptr);
  EXPECT_EQ(Army->GetCount(utInfantry), 5);
  // Supply walks and resets.
  W.Z(kzBrae)->SetOwner(W.N(0));
  E.ApplyStateChange(Change(chSupplyWalk, kzAlba, 1));
  EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzAlba));
  E.ApplyStateChange(Change(chSupplyReset, 0));
  EXPECT_EQ(W.Z(kzBrae)->GetSupplySource(), W.Z(kzBrae));
}

TEST_F(ReplayTest, ABuildStartsWithTheTotalTheHostComputed) {
  // A conquered zone builds at 0.6 of the production points: the host's total comes along.
  E.ApplyStateChange(Change(chBuildStarted, kzBrae, ukArmy, CountsText({{utInfantry, 2}}), 2, "1.2"));
  TBrenmoorZone* Brae = W.Z(kzBrae);
  EXPECT_TRUE(Brae->GetBuilding());
  EXPECT_EQ(Brae->GetBuildKind(), ukArmy);
  EXPECT_EQ(Brae->GetBuildQueue(utInfantry), 2);
  EXPECT_EQ(Brae->GetBuildTotal(), 1.2f);
  EXPECT_EQ(Brae->GetResources(), 2.0f);
  EXPECT_EQ(Brae->GetBuildProgressPoints(), 0.0f);
  // A record of an older host without it: the plain sum of the production points.
  E.ApplyStateChange(Change(chBuildStarted, kzAlba, ukNavy, CountsText({{utCarrier, 1}, {utBattleship, 1}}), 0));
  EXPECT_EQ(W.Z(kzAlba)->GetBuildTotal(), 50.0f);
  EXPECT_EQ(W.Z(kzAlba)->GetBuildKind(), ukNavy);
}

TEST_F(ReplayTest, ARecordCutShortChangesNothing) {
  const std::string Before = DumpState(E);
  // Every code without its fields (58, the free-for-all start, has none).
  for (int Code = 0; Code < 58; ++Code) EXPECT_NO_THROW(E.ApplyStateChange(std::to_string(Code) + ";")) << Code;
  for (const char* Record : {"8;0;", "9;0;1;", "0;0;", "3;0;1;1;", "12;0;0;0#0#0#1#;", "44;0;0;0;0;0;", "57;0;1;1;", "13;0;0#0#0#1#;-1;"})
    EXPECT_NO_THROW(E.ApplyStateChange(Record)) << Record;
  EXPECT_EQ(FirstDifference(DumpState(E), Before), "");
}

// Each code's replay reads the fields its description gives: a record one field short of the
// ones every host sends changes nothing, and a unit-addressed one naming no unit is skipped
// before any other field is read (here "99", which names no zone, nation or storm).
TEST_F(ReplayTest, EachCodeReadsTheFieldsOfItsDescription) {
  const std::string Before = DumpState(E);
  for (std::int32_t C = 0; C < ChangeCodeCount; ++C) {
    const auto Code = static_cast<TChangeCode>(C);
    const TChangeShape& Shape = ChangeShape(Code);
    EXPECT_EQ(TReplayRules::AddressesUnit(Code), Shape.UnitAddressed) << Shape.Name;
    const std::int32_t Required = RequiredChangeFields(Code);
    std::string Short = std::to_string(C) + ";";
    for (std::int32_t I = 1; I < Required; ++I) Short += "0;";
    if (Required > 0) {
      EXPECT_NO_THROW(E.ApplyStateChange(Short)) << Short;
    }
    if (!Shape.UnitAddressed) continue;
    std::string NoUnit = std::to_string(C) + ";999;";
    for (std::size_t I = 1; I < Shape.Fields.size(); ++I) NoUnit += "99;";
    EXPECT_NO_THROW(E.ApplyStateChange(NoUnit)) << NoUnit;
  }
  EXPECT_EQ(FirstDifference(DumpState(E), Before), "");
}

// Records that no host writes and that would break the game here are dropped whole, with a
// note for whoever debugs it: a unit carried by itself (its next move would never end), a
// fleet of more than submarines under water or an army (the tallies would lose it), a zone or
// a conquest going to a dead nation, a bomb on another zone's tallies.
TEST_F(ReplayTest, RecordsNoHostWritesAreDroppedWithANote) {
  std::vector<std::string> Notes;
  E.OnDebugNote = [&](TBrenmoorEngine*, const std::string& Text) { Notes.push_back(Text); };
  TUnit* Fleet = W.UnitIn(kzNorthSea, 0, ukNavy);
  TUnit* Planes = W.UnitIn(kzNorthSea, 0, ukAirForce);
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  ASSERT_TRUE(Fleet && Planes && Army);
  const std::int32_t F = Fleet->ID, P = Planes->ID, A = Army->ID;
  E.ApplyStateChange(Change(chUnitBase, P, kzNorthSea, F));
  ASSERT_EQ(Planes->GetBaseUnit(), Fleet);
  TUnit* Mixed = W.MakeUnit(2, ukNavy, kzChannel, {{utSubmarine, 2}, {utDestroyer, 1}});
  const std::string Before = DumpState(E);
  const std::vector<std::string> Dropped{
      "4;;;;",                                            // unit 0 on carrier 0 (the fields left empty)
      Change(chUnitBase, F, kzNorthSea, F),               // the fleet on itself
      Change(chUnitBase, F, kzNorthSea, P),               // the fleet on the planes it carries
      Change(chUnitSubmerged, A, true),                   // an army under water
      Change(chUnitSubmerged, Mixed->ID, true),           // destroyers under water
      Change(chNationConquered, 1, 1, -1, true, ""),      // a nation conquering itself
      Change(chAtomicBomb, 1, kzAlba, A, 5, 1, 1),        // Albion's army bombing for Ruritania
  };
  for (const std::string& Record : Dropped) EXPECT_NO_THROW(E.ApplyStateChange(Record)) << Record;
  ASSERT_EQ(Notes.size(), Dropped.size());
  EXPECT_EQ(Notes[1], "Change record 4;" + IntToStr(F) + ";2;" + IntToStr(F) + "; dropped: the unit would carry itself");
  EXPECT_EQ(Fleet->GetBaseUnit(), nullptr);
  EXPECT_FALSE(Army->GetSubmerged());
  EXPECT_FALSE(Mixed->GetSubmerged());
  EXPECT_EQ(FirstDifference(DumpState(E), Before), "");
  // The fleet still moves, and what it carries with it.
  E.ApplyStateChange(Change(chUnitMove, F, kzChannel));
  EXPECT_EQ(Fleet->GetZone(), W.Z(kzChannel));
  EXPECT_EQ(Planes->GetZone(), W.Z(kzChannel));

  // Lichtenburg falls to Albion; nothing goes to it afterwards, nor does it conquer.
  E.ApplyStateChange(Change(chNationConquered, 0, 3, -1, true, ""));
  ASSERT_FALSE(W.N(3)->GetAlive());
  Notes.clear();
  E.ApplyStateChange(Change(chZoneConquered, kzAlba, 0, 3));
  E.ApplyStateChange(Change(chNationConquered, 3, 2, -1, true, ""));
  E.ApplyStateChange(Change(chNationConquered, 1, 2, 3, false, ""));
  EXPECT_EQ(Notes.size(), 3u);
  EXPECT_EQ(W.Z(kzAlba)->GetOwner(), W.N(0));
  EXPECT_TRUE(W.N(2)->GetAlive());
}

// A number beyond a float's range in a record would be saved as "INF", which no machine
// loads: in a list it is skipped as any item that is no number, elsewhere it is refused as
// one before the record changes anything.
TEST_F(ReplayTest, NumbersBeyondAFloatAreRefused) {
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  const std::string A = IntToStr(Army->ID);
  E.ApplyStateChange(Change(chUnitExperience, "0#" + A + "#1e39#"));
  E.ApplyStateChange(Change(chUnitOrganization, "0#" + A + "#-1e39#"));
  E.ApplyStateChange(Change(chResourceEffects, "0#1e39#"));
  EXPECT_EQ(Army->GetExperience(), 1.0f);
  EXPECT_EQ(Army->GetOrganization(), 100.0f);
  const std::string Before = DumpState(E);
  for (const char* Record : {"8;0;1e39;", "47;0;3.5e38;", "19;0;0;4;1e40;", "12;0;0;0#0#0#2#;1e39;"})
    EXPECT_THROW(E.ApplyStateChange(Record), EConvertError) << Record;
  EXPECT_EQ(FirstDifference(DumpState(E), Before), "");
  E.ApplyStateChange(Change(chUnitExperience, "0#" + A + "#3e38#"));
  EXPECT_EQ(Army->GetExperience(), 3e38f);
}
