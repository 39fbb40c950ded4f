#include <gtest/gtest.h>

#include "EngineFixture.h"
#include "engine/GameRecords.h"

namespace {

class RecordsTest : public WorldFixture {
protected:
  void SetUp() override {
    WorldFixture::SetUp();
    LoadWorld(false);
  }
  // A random event read from its scenario line.
  TRandomEvent Event(const std::string& Line) {
    TRandomEvent E(Engine);
    E.ReadScenarioRecord(Line);
    return E;
  }
};

}  // namespace

TEST_F(RecordsTest, KindSetsReadTheirFirstThreeCharacters) {
  EXPECT_EQ(KindSetToText(0), "000");
  EXPECT_EQ(KindSetToText(KindBit(ukArmy) | KindBit(ukNavy)), "101");
  EXPECT_EQ(KindSetToText(AllUnitKinds), "111");
  EXPECT_EQ(TextToKindSet("011"), KindBit(ukAirForce) | KindBit(ukNavy));
  EXPECT_EQ(TextToKindSet("1"), KindBit(ukArmy));
  EXPECT_EQ(TextToKindSet("0001"), 0);
  EXPECT_EQ(TextToKindSet("x1y"), KindBit(ukAirForce));
  EXPECT_EQ(TextToKindSet(""), 0);
}

TEST_F(RecordsTest, RandomEventLineFillsEveryFieldAndExecutesIntoItsActiveEvent) {
  const TRandomEvent E = Event("1~110~The harvest fails~1~2~10~-15~ignored~Brae~harvest.bmp~Albion~Alba~Famine~2~");
  EXPECT_EQ(E.NationFilter, efNation);
  EXPECT_EQ(E.Kinds, KindBit(ukArmy) | KindBit(ukAirForce));
  EXPECT_EQ(E.History, "The harvest fails");
  EXPECT_EQ(E.AreaKind, eaZone);
  EXPECT_EQ(E.Effect, efCombat);
  EXPECT_EQ(E.Duration, 10);
  EXPECT_EQ(E.Percent, -15);
  EXPECT_EQ(E.TriggerName, "Brae");
  EXPECT_EQ(E.Picture, "harvest.bmp");
  EXPECT_EQ(E.FilterName, "Albion");
  EXPECT_EQ(E.AreaValue, "Alba");
  EXPECT_EQ(E.Title, "Famine");
  EXPECT_EQ(E.Trigger, 2);
  EXPECT_FALSE(E.Fired);

  const auto A = E.Execute();
  EXPECT_EQ(A->NationFilter, efNation);
  EXPECT_EQ(A->FilterNation, N(0));
  EXPECT_EQ(A->AreaZone, Z(zAlba));
  EXPECT_EQ(A->Effect, efCombat);
  EXPECT_EQ(A->Duration, 10);
  EXPECT_EQ(A->Kinds, E.Kinds);
  EXPECT_FLOAT_EQ(A->Factor, 0.85f);

  // The other filters and areas: an alliance by its index among the alliance names, a nation
  // of an area, a rectangle of four integers.
  const auto B = Event("2~001~~2~1~-1~20~~~~Axis~Ruritania~~0~").Execute();
  EXPECT_EQ(B->FilterAlliance, 1);
  EXPECT_EQ(B->AreaNation, N(1));
  EXPECT_EQ(Event("0~111~~4~1~0~0~~~~~Axis~~0~").Execute()->AreaAlliance, 1);
  EXPECT_EQ(Event("0~111~~5~1~0~0~~North~~~10,20,300,400~~0~").Execute()->Area, (TRect{10, 20, 300, 400}));
}

TEST_F(RecordsTest, RandomEventDescriptionsSayWhatWhomWhereAndHowLong) {
  struct Case {
    const char* Line;
    const char* Description;
  };
  // The world's impulse rate is 3 days.
  const Case Cases[] = {
      {"1~110~~1~1~10~10~~~~Albion~Alba~~0~", "+10% to Organizational Level of Land Units owned by Albion in Alba for 30 days"},
      {"0~011~~0~2~-1~-5~~~~~~~0~", "-5% to Combat Level of Air Units permanently"},
      {"2~001~~2~3~0~5~~~~Axis~Ruritania~~0~", "+5% to Bombing Damage of Sea Units of Axis in Zones Owned by Ruritania "},
      {"0~111~~3~4~2~50~~~~~Albion~~0~", "+50% to Bombardment Level of All Units in Zones Originally Owned by Albion for 6 days"},
      {"0~100~~4~0~0~25~~~~~Allies~~0~", "25% of Land Units in Zones Controlled by Allies  are Destroyed"},
      {"0~111~~5~5~0~40~~the North~~~0,0,10,10~~0~", "+40 Resources in the North "},
      {"0~111~~0~6~-1~-20~~~~~~~0~", "+20% to Unit Cost for All Units built permanently"},
      {"1~111~~1~6~3~20~~~~Albion~Alba~~0~", "-20% to Unit Cost for All Units owned by Albion built in Alba for 9 days"},
      {"0~111~~0~7~0~20~~~~~~~0~", ""},
  };
  for (const Case& C : Cases) EXPECT_EQ(Event(C.Line).GetDescription(), C.Description) << C.Line;
  // Half a day rounds to even.
  Engine.SetImpulseRate(2.5);
  EXPECT_EQ(Event("0~111~~0~1~1~1~~~~~~~0~").GetDescription(), "+1% to Organizational Level of All Units for 2 days");
}

TEST_F(RecordsTest, VictoryConditionDescriptionsNameTheWinnerTheGoalAndTheDate) {
  struct Case {
    const char* Line;
    const char* Description;
  };
  // The game starts on 11/1/1940 at 3 days an impulse.
  const Case Cases[] = {
      {"Albion~1~0~Albion~60~", "Albion:Achieve 60% World Domination"},
      {"Allies~0~1~Axis~40~", "Allies:Axis must Achieve 40% World Domination"},
      {"Albion~1~2~Ruritania~10~", "Albion:Reduce Ruritania to 10% World Domination"},
      {"Allies~0~3~Axis~0~", "Allies:Reduce Axis to 0% World Domination"},
      {"Albion~1~4~Freedonia~10~", "Albion:Freedonia must Survive until 12/1/1940"},
      {"Albion~1~4~Albion~100~", "Albion:Survive until 8/28/1941"},
  };
  for (const Case& C : Cases) {
    TVictoryCondition V(Engine);
    V.ReadScenarioRecord(C.Line);
    EXPECT_EQ(V.GetDescription(), C.Description) << C.Line;
  }
  TVictoryCondition V(Engine);
  V.ReadScenarioRecord("Axis~0~3~Allies~25~");
  EXPECT_FALSE(V.WinnerIsNation);
  EXPECT_EQ(V.Winner, "Axis");
  EXPECT_EQ(V.Kind, 3);
  EXPECT_FALSE(V.SubjectIsNation());
  EXPECT_EQ(V.Subject, "Allies");
  EXPECT_EQ(V.Target, 25);
}

TEST_F(RecordsTest, ActiveEventsChangeOnlyTheValuesTheyTouch) {
  // Zones: Alba (Albion's, Allies), Brae (Ruritania's, Axis), Dunmore (Freedonia's, originally
  // too), Ferro (Lichtenburg's). Centres: Alba 50,50; Brae 150,50; Dunmore 250,50.
  TActiveEvent E(Engine);
  E.Effect = efCombat;
  E.Kinds = KindBit(ukArmy);
  E.Factor = 1.5f;
  const auto Value = [&](int Effect, int Zone, TUnitKind Kind) {
    double V = 10;
    E.ApplyModifier(Effect, V, Z(Zone), Kind);
    return V;
  };
  EXPECT_DOUBLE_EQ(Value(efCombat, zAlba, ukArmy), 15);
  EXPECT_DOUBLE_EQ(Value(efOrganization, zAlba, ukArmy), 10) << "another effect";
  EXPECT_DOUBLE_EQ(Value(efCombat, zAlba, ukNavy), 10) << "another kind";

  E.NationFilter = efNation;
  E.FilterNation = N(0);
  EXPECT_DOUBLE_EQ(Value(efCombat, zAlba, ukArmy), 15);
  EXPECT_DOUBLE_EQ(Value(efCombat, zBrae, ukArmy), 10);
  EXPECT_DOUBLE_EQ(Value(efCombat, zChannel, ukArmy), 10) << "a zone of nobody";
  E.NationFilter = efAlliance;
  E.FilterAlliance = 1;
  EXPECT_DOUBLE_EQ(Value(efCombat, zBrae, ukArmy), 15);
  EXPECT_DOUBLE_EQ(Value(efCombat, zAlba, ukArmy), 10);
  E.NationFilter = efEveryNation;

  struct AreaCase {
    TEventArea Area;
    int Zone;
    bool Touched;
  };
  E.AreaZone = Z(zBrae);
  E.AreaNation = N(2);
  E.AreaAlliance = 0;
  E.Area = TRect{100, 0, 251, 100};
  const AreaCase Areas[] = {
      {eaZone, zBrae, true},       {eaZone, zAlba, false},      {eaOwnedBy, zDunmore, true},          {eaOwnedBy, zAlba, false},
      {eaOriginallyOwnedBy, zDunmore, true}, {eaOriginallyOwnedBy, zFerro, false}, {eaAlliance, zAlba, true},
      {eaAlliance, zBrae, false},  {eaAlliance, zChannel, false}, {eaRectangle, zBrae, true},
      {eaRectangle, zDunmore, true}, {eaRectangle, zAlba, false}, {eaEverywhere, zFerro, true},
  };
  for (const AreaCase& C : Areas) {
    E.AreaKind = C.Area;
    EXPECT_DOUBLE_EQ(Value(efCombat, C.Zone, ukArmy), C.Touched ? 15 : 10) << int(C.Area) << " " << C.Zone;
  }

  // A unit: its own kind, owner and zone.
  E.AreaKind = eaOwnedBy;
  E.AreaNation = N(0);
  E.Kinds = KindBit(ukNavy);
  TUnit* Fleet = MakeUnit(0, ukNavy, zAlba, {{utDestroyer, 1}});
  TUnit* Army = MakeUnit(0, ukArmy, zAlba, {{utInfantry, 1}});
  double V = 4;
  E.ApplyModifier(efCombat, V, Fleet);
  EXPECT_DOUBLE_EQ(V, 6);
  E.ApplyModifier(efCombat, V, Army);
  EXPECT_DOUBLE_EQ(V, 6);
  // The engine applies every active event in turn.
  Engine.AddActiveEvent(std::make_unique<TActiveEvent>(Engine))->Kinds = AllUnitKinds;
  TActiveEvent* Second = Engine.AddActiveEvent(std::make_unique<TActiveEvent>(Engine));
  Second->Kinds = AllUnitKinds;
  Second->Factor = 0.5f;
  V = 8;
  Engine.ApplyModifiers(efDestroyUnits, V, Army);
  EXPECT_DOUBLE_EQ(V, 4);
}

TEST_F(RecordsTest, SavedFieldsWriteTheirValuesAndReadBack) {
  TStorm S(Engine);
  S.Height = 80;
  S.Lifetime = 5;
  S.X = 120;
  S.Y = -4;
  S.StormType = stRain;
  S.Width = 60;
  S.ChanceDown = 10;
  S.ChanceLeft = 20;
  S.ChanceRight = 30;
  S.ChanceUp = 40;
  EXPECT_EQ(S.SaveToString(), "80%5%120%-4%1%60%10%20%30%40%");
  TStorm S2(Engine);
  S2.LoadFromString(S.SaveToString());
  EXPECT_EQ(S2.SaveToString(), S.SaveToString());
  EXPECT_EQ(S2.ChanceUp, 40);

  TRouting R(Engine, Z(zAlba), 12, Z(zFerro));
  EXPECT_EQ(R.SaveToString(), "0~12~5~");
  TRouting R2(Engine);
  R2.LoadFromString(R.SaveToString());
  EXPECT_EQ(R2.FromZone, Z(zAlba));
  EXPECT_EQ(R2.Amount, 12);
  EXPECT_EQ(R2.ToZone, Z(zFerro));

  TActiveEvent A(Engine);
  A.NationFilter = efAlliance;
  A.AreaAlliance = 1;
  A.FilterAlliance = 0;
  A.AreaNation = N(3);
  A.AreaZone = Z(zDunmore);
  A.Effect = efUnitCost;
  A.AreaKind = eaRectangle;
  A.Duration = -1;
  A.Kinds = KindBit(ukArmy) | KindBit(ukNavy);
  A.Factor = 1.1f;
  A.Area = TRect{-10, 20, 300, 400};
  EXPECT_EQ(A.SaveToString(), "2#1#0#3#-1#4#6#5#-1#101#1.1#-10#20#300#400#");
  TActiveEvent A2(Engine);
  A2.LoadFromString(A.SaveToString());
  EXPECT_EQ(A2.SaveToString(), A.SaveToString());
  EXPECT_EQ(A2.Area, (TRect{-10, 20, 300, 400}));
  EXPECT_EQ(A2.AreaNation, N(3));
  EXPECT_EQ(A2.FilterNation, nullptr);
  EXPECT_EQ(A2.Factor, 1.1f);

  // Fields that name nothing or are no numbers are refused by name.
  EXPECT_EQ(EngineError([&] { R2.LoadFromString("0~12~6~"); }), "Routing: the to-zone 6 is no zone");
  EXPECT_EQ(EngineError([&] { S2.LoadFromString("80%5%x%"); }), "Storm: field 3 (X): 'x' is not a valid integer value");
  EXPECT_EQ(EngineError([&] { A2.LoadFromString("0#0#0#4#"); }), "Active event: the area nation 4 is no nation");
  EXPECT_THROW(A2.LoadFromString("0#0#0#-1#-1#-1#0#0#0#111#many#0#0#0#0#"), EBrenmoorEngine);
}

TEST_F(RecordsTest, ReinforcementLineGivesItsCountsArrivalNationAndZone) {
  TReinforcement R(Engine);
  R.ReadScenarioRecord("0#0#0#5#2#0#0#0#0#0#0#0#0#0#0#1#,12,1,Brae");
  EXPECT_EQ(R.GetCount(utInfantry), 5);
  EXPECT_EQ(R.GetCount(utArmor), 2);
  EXPECT_EQ(R.GetCount(utJetFighter), 1);
  EXPECT_EQ(R.GetCount(utFighter), 0);
  EXPECT_EQ(R.ArrivalImpulse, 12);
  EXPECT_EQ(R.NationIndex, 1);
  EXPECT_EQ(R.ZoneName, "Brae");
  EXPECT_EQ(R.GetZone(), Z(zBrae));
  R.ZoneName = "Atlantis";
  EXPECT_EQ(R.GetZone(), nullptr);
  EXPECT_EQ(EngineError([&] { R.ReadScenarioRecord("0#70000#,1,0,Alba"); }), "field 1 (counts): field 2 (count): the value 70000 is outside 0..65535");
  EXPECT_EQ(EngineError([&] { R.ReadScenarioRecord("0#,soon,0,Alba"); }), "field 2 (ArrivalImpulse): 'soon' is not a valid integer value");
}
