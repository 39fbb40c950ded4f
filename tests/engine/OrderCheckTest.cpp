// The host's check of each order record against the user who sent it: a user orders only the
// units, zones and nations of the powers it plays, what the unit can do now, with counts it
// has and clean texts; the machine that runs the rules orders the computer's powers and the
// minor nations. A record that fails is skipped by the impulse as if it had never come.
#include <gtest/gtest.h>

#include <functional>

#include "engine/OrderCodes.h"
#include "engine/OrderRecord.h"
#include "engine/kit/RulesKit.h"

namespace {

using namespace kit;
using TRecords = std::vector<std::string>;
using R = TOrderRefusal;
constexpr R Given = R::None;

// "Host" runs the rules; "Ann" plays Albion and "Bob" Freedonia.
struct TUsers : TKitUsers {
  TUsers() { Names = {"Host", "Ann", "Bob"}; }
};

void SetPlayers(TKitWorld& W, TUsers* Users) {
  W.N(0)->SetPlayerName("Ann");
  W.N(2)->SetPlayerName("Bob");
  W.N(1)->SetComputerPlayer(true);
  W.Engine().SetImpulseUsers(Users);
}

struct TCheckRow {
  const char* Name;
  std::function<void(TKitWorld&)> Setup;
  std::string Record;
  std::string Sender;
  TOrderRefusal Expected;
};

const std::vector<TCheckRow>& CheckRows() {
  const auto AnnArmy = [](TKitWorld& W) { W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}}); };  // 12
  const auto BobArmy = [](TKitWorld& W) { W.MakeUnit(2, ukArmy, kzAlba, {{utInfantry, 1}}); };  // 12
  const auto OnStrike = [](TKitWorld& W) { W.Engine().ApplyOrder("13;1;1;"); };
  static const std::vector<TCheckRow> Rows = {
      // Whose unit, zone and nation.
      {"her own army", nullptr, "1;1;0;", "Ann", Given},
      {"another player's army", nullptr, "1;1;0;", "Bob", R::NotTheSenders},
      {"a player's army by the host", nullptr, "1;1;0;", "Host", R::NotTheSenders},
      {"the computer's army by the host", nullptr, "1;0;2;", "Host", Given},
      {"the computer's army by a player", nullptr, "1;0;2;", "Ann", R::NotTheSenders},
      {"a minor's army by the host", nullptr, "1;4;10;", "Host", Given},
      {"a build in her zone", nullptr, "19;0;0;" + CountsText({{utInfantry, 2}}) + ";", "Ann", Given},
      {"a build in another's zone", nullptr, "19;0;0;" + CountsText({{utInfantry, 2}}) + ";", "Bob", R::NotTheSenders},
      {"a build in a zone of no one", nullptr, "19;2;2;" + CountsText({{utDestroyer, 1}}) + ";", "Host", R::NotTheSenders},
      {"her nation's formations", nullptr, "25;0;-#-#-#-#-#-#-#15#-#-#-#-#-#-#-#-#;", "Ann", Given},
      {"another nation's formations", nullptr, "25;1;-#-#-#-#-#-#-#15#-#-#-#-#-#-#-#-#;", "Ann", R::NotTheSenders},
      {"the computer's formations by the host", nullptr, "25;1;-#-#-#-#-#-#-#15#-#-#-#-#-#-#-#-#;", "Host", Given},
      {"her declaration of war", nullptr, "28;0;1;", "Ann", Given},
      {"a declaration for another nation", nullptr, "28;0;1;", "Bob", R::NotTheSenders},
      {"her diplomacy", nullptr, "27;0;3;0;", "Ann", Given},
      {"diplomacy for another nation", nullptr, "27;1;3;0;", "Ann", R::NotTheSenders},
      {"diplomacy without its target", nullptr, "27;0;", "Ann", R::MissingField},
      {"diplomacy with no actions left needs no target", [](TKitWorld& W) { W.N(0)->SetDiplomaticActions(0); }, "27;0;", "Ann", Given},
      {"rockets of the minor's site by the host", nullptr, "32;1;5;", "Host", Given},
      {"rockets of another's site", nullptr, "32;1;5;", "Ann", R::NotTheSenders},
      {"routes from her zone", nullptr, "17;0;1;5;", "Ann", Given},
      {"routes from another's zone", nullptr, "17;0;1;5;", "Bob", R::NotTheSenders},
      // What the unit can do now.
      {"fighters cannot bombard", nullptr, "23;1;1;", "Ann", R::CannotTakeOrder},
      {"an army cannot dock", nullptr, "5;2;0;", "Ann", R::CannotTakeOrder},
      {"a fleet cannot invade", nullptr, "10;0;4;", "Ann", R::CannotTakeOrder},
      {"a plane on a mission takes no new mission", OnStrike, "13;0;1;", "Ann", R::CannotTakeOrder},
      {"a plane on a mission returns", OnStrike, "15;1;", "Ann", Given},
      {"a plane on a mission is not stopped in the air", OnStrike, "0;1;", "Ann", R::CannotTakeOrder},
      {"an army without an order may be stopped", nullptr, "0;0;", "Ann", Given},
      // Counts.
      {"divide part of an army", nullptr, "6;0;" + CountsText({{utInfantry, 2}}) + ";", "Ann", Given},
      {"divide more than the army holds", nullptr, "6;0;" + CountsText({{utInfantry, 6}}) + ";", "Ann", R::CountAboveHolding},
      {"divide a negative count", nullptr, "6;0;" + CountsText({{utInfantry, -1}, {utArmor, 1}}) + ";", "Ann", R::CountAboveHolding},
      {"divide nothing", nullptr, "6;0;" + CountsText({}) + ";", "Ann", R::NothingCounted},
      {"divide seventeen counts", nullptr, "6;0;" + CountsText({{utInfantry, 1}}) + "0#;", "Ann", R::TooManyItems},
      {"build a negative count", nullptr, "19;0;0;" + CountsText({{utInfantry, 3}, {utArmor, -1}}) + ";", "Ann", R::OutOfRange},
      {"build nothing", nullptr, "19;0;0;" + CountsText({}) + ";", "Ann", R::NothingCounted},
      {"build of no unit kind", nullptr, "19;0;3;" + CountsText({{utInfantry, 2}}) + ";", "Ann", R::OutOfRange},
      {"build of ships as an army", nullptr, "19;0;0;" + CountsText({{utBattleship, 1}}) + ";", "Ann", R::WrongUnitKind},
      {"route nothing", nullptr, "17;0;1;0;", "Ann", R::OutOfRange},
      {"route a negative amount", nullptr, "17;0;1;-5;", "Ann", R::OutOfRange},
      {"supply walk of no depth", nullptr, "40;0;0;", "Ann", R::OutOfRange},
      {"research over a byte", nullptr, "31;0;10#300#;", "Ann", R::OutOfRange},
      {"research with words", nullptr, "31;0;10#x#;", "Ann", R::NotANumber},
      {"research", nullptr, "31;0;10#1#1#1#1#1#1#1#1#;", "Ann", Given},
      // Texts.
      {"a clean name", nullptr, "39;0;Old Guard;", "Ann", Given},
      {"a name with a bar", nullptr, "39;0;Old|Guard;", "Ann", R::UncleanText},
      {"a name with a tilde", nullptr, "39;0;Old~Guard;", "Ann", R::UncleanText},
      {"formations that cannot be read", nullptr, "25;0;x#;", "Ann", R::BadFormation},
      {"formations at the window's lowest and highest", nullptr, "25;0;10#100#-#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", Given},
      {"a weight off the window's steps of 5", nullptr, "25;0;12#-#-#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", R::BadFormation},
      {"a weight below 10", nullptr, "25;0;-#5#-#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", R::BadFormation},
      {"a weight above 100", nullptr, "25;0;-#-#105#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", R::BadFormation},
      {"a weight of 65,535", nullptr, "25;0;-#-#-#65535#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", R::BadFormation},
      {"a weight of 0", nullptr, "25;0;-#-#-#-#-#-#-#-#-#-#-#-#-#-#-#0#;", "Ann", R::BadFormation},
      // Lists.
      {"merge her units", AnnArmy, "4;0;0#12#;", "Ann", Given},
      {"merge a unit twice", nullptr, "4;0;0#0#;", "Ann", R::UnitNamedTwice},
      {"merge with another's unit", BobArmy, "4;0;0#12#;", "Ann", R::NotTheSenders},
      {"merge units of another zone", nullptr, "4;1;0#5#;", "Ann", R::UnitsApart},
      {"merge beyond what a unit holds",
       [](TKitWorld& W) { W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 65535}}); }, "4;0;0#12#;", "Ann", R::CannotMerge},
      {"embark and divide", nullptr, "36;0;2;4;0#;", "Ann", Given},
      {"embark and divide a unit twice", nullptr, "36;0;2;4;0#0#;", "Ann", R::UnitNamedTwice},
      {"embark and divide another's army", BobArmy, "36;0;2;4;12#;", "Ann", R::NotTheSenders},
      {"embark and divide onto another's ship", nullptr, "36;0;2;7;0#;", "Ann", R::NotTheSenders},
      {"embark on another's ship", nullptr, "7;0;0;7;", "Ann", R::NotTheSenders},
      {"embark on an ally's ship", [](TKitWorld& W) { W.N(2)->SetAlliance("Allies"); }, "7;0;0;7;", "Ann", Given},
      {"land wings on the carrier", nullptr, "37;0;2;4;1#;", "Ann", Given},
      {"land wings where the carrier is not", nullptr, "37;0;0;4;1#;", "Ann", R::NotTheCarriersZone},
      {"land an army on the carrier", nullptr, "37;0;2;4;1#0#;", "Ann", R::NotAnAirUnit},
      {"patrol of one zone", nullptr, "11;4;2#;", "Ann", R::TooFewZones},
      {"patrol", nullptr, "11;4;2#3#;", "Ann", Given},
      // Places.
      {"border towards a neighbour", nullptr, "21;0;1;", "Ann", Given},
      {"border towards a zone far away", nullptr, "21;0;4;", "Ann", R::NotANeighbour},
      {"port zone on the coast", nullptr, "42;0;2;", "Ann", Given},
      {"port zone far out at sea", nullptr, "42;0;3;", "Ann", R::NotASeaNeighbour},
      {"port zone on land", nullptr, "42;0;1;", "Ann", R::NotASeaNeighbour},
      // Surrender.
      {"surrender for oneself", nullptr, "43;Ann;", "Ann", Given},
      {"surrender for another", nullptr, "43;Bob;", "Ann", R::NotTheSender},
      {"surrender for no one", nullptr, "43;;", "", R::NotTheSender},
      // Records no program writes.
      {"a unit of no one", nullptr, "1;1;999;", "Ann", R::NoSuchUnit},
      {"a zone outside the map", nullptr, "1;99;0;", "Ann", R::NoSuchZone},
      {"a field missing", nullptr, "1;1;", "Ann", R::MissingField},
      {"words for numbers", nullptr, "1;x;0;", "Ann", R::NotANumber},
      {"no code", nullptr, "x;0;", "Ann", R::NoCode},
      {"code 44", nullptr, "44;0;", "Ann", R::UnknownCode},
      {"no delimiter", nullptr, "1", "Ann", R::MissingField},
      {"empty", nullptr, "", "Ann", R::NoCode},
  };
  return Rows;
}

}  // namespace

TEST(OrderCheckTest, ASenderOrdersOnlyWhatItsPowersHoldAndCanDo) {
  for (const TCheckRow& Row : CheckRows()) {
    SCOPED_TRACE(Row.Name);
    TUsers Users;
    TKitWorld W;
    SetPlayers(W, &Users);
    if (Row.Setup) Row.Setup(W);
    EXPECT_EQ(W.Engine().CheckOrder(Row.Record, Row.Sender), Row.Expected) << Row.Record << " from " << Row.Sender;
    W.Engine().SetImpulseUsers(nullptr);
  }
}

TEST(OrderCheckTest, WithoutImpulseUsersAnySenderRunsTheRules) {
  TKitWorld W;
  SetPlayers(W, nullptr);
  TBrenmoorEngine& E = W.Engine();
  EXPECT_EQ(E.CheckOrder("1;0;2;", "Anyone"), Given);
  EXPECT_EQ(E.CheckOrder("1;0;2;", ""), Given);
  // A human-played power still obeys only its player.
  EXPECT_EQ(E.CheckOrder("1;1;0;", "Anyone"), R::NotTheSenders);
  EXPECT_EQ(E.CheckOrder("1;1;0;", "Ann"), Given);
}

// The hostile records change nothing: the game with them is the game without them, draw for
// draw and record for record.
TEST(OrderCheckTest, AnImpulseSkipsTheRecordsThatFailAsIfTheyHadNeverCome) {
  const std::vector<std::pair<std::string, std::string>> Valid = {
      {"1;1;0;", "Ann"}, {"19;1;0;" + CountsText({{utInfantry, 1}}) + ";", "Host"}, {"2;8;", "Bob"}, {"39;0;Old Guard;", "Ann"}};
  std::vector<std::pair<std::string, std::string>> Hostile;
  for (const TCheckRow& Row : CheckRows())
    if (Row.Expected != Given && !Row.Setup) Hostile.emplace_back(Row.Record, Row.Sender);
  std::string Dumps[2];
  TRecords Records[2];
  for (int Pass = 0; Pass < 2; ++Pass) {
    TUsers Users;
    TKitWorld W;
    SetPlayers(W, &Users);
    W.Engine().SetImpulse(4);
    for (std::size_t I = 0; I < Valid.size(); ++I) {
      W.Engine().QueueOrder(Valid[I].first, Valid[I].second);
      if (Pass == 1)
        for (std::size_t J = I; J < Hostile.size(); J += Valid.size()) W.Engine().QueueOrder(Hostile[J].first, Hostile[J].second);
    }
    W.Engine().ProcessImpulse();
    Dumps[Pass] = DumpState(W.Engine());
    Records[Pass] = W.Sink.Records;
    W.Engine().SetImpulseUsers(nullptr);
  }
  EXPECT_EQ(FirstDifference(Dumps[0], Dumps[1]), "");
  EXPECT_EQ(Records[0], Records[1]);
  EXPECT_EQ(Records[0].front(), "3;0;1;1;-1;0;");
}

namespace {

// A field of the kind as a writer would give it: only its shape matters here.
std::string SampleField(TOrderFieldKind Kind) {
  switch (Kind) {
    case TOrderFieldKind::Zone:
    case TOrderFieldKind::Nation:
    case TOrderFieldKind::Unit: return "0";
    case TOrderFieldKind::Int: return "1";
    case TOrderFieldKind::Text: return "Ann";
    case TOrderFieldKind::ZoneList: return "0#1#";
    case TOrderFieldKind::UnitList: return "0#";
    case TOrderFieldKind::Counts: return CountsText({{utInfantry, 1}});
    case TOrderFieldKind::Research: return "10#";
    case TOrderFieldKind::Formation: return "-#";
  }
  return "";
}

}  // namespace

// Each code's record as its writer writes it has exactly the fields its description names: one
// field fewer is missing, one more is too many. The host reads only the fields the rules read,
// so it takes a record with more (the rules ignore them) and refuses one with fewer.
TEST(OrderCheckTest, EachCodesWriterWritesTheShapeItsDescriptionNames) {
  for (int C = 0; C < OrderTypeCount; ++C) {
    const TOrderCode& Code = OrderCodeOf(static_cast<TOrderType>(C));
    SCOPED_TRACE(Code.Name);
    std::vector<std::string> Fields;
    for (std::size_t I = 0; I < Code.FieldCount; ++I) Fields.push_back(SampleField(Code.Fields[I].Kind));
    const std::string Record = OrderRecord::OrderFieldsText(Code.Code, Fields);
    EXPECT_EQ(Record.substr(0, Record.find(';')), std::to_string(C));
    EXPECT_EQ(OrderShapeRefusal(Record, Code, Code.FieldCount, true), Given) << Record;
    EXPECT_EQ(OrderShapeRefusal(Record, Code, Code.ReadCount, false), Given) << Record;
    EXPECT_EQ(OrderShapeRefusal(Record + "1;", Code, Code.FieldCount, true), R::ExtraField) << Record;
    EXPECT_EQ(OrderShapeRefusal(Record + "1;", Code, Code.ReadCount, false), Given) << Record;
    if (Code.FieldCount == 0) continue;
    const std::string Short = Record.substr(0, Record.rfind(';', Record.size() - 2) + 1);
    EXPECT_EQ(OrderShapeRefusal(Short, Code, Code.FieldCount, true), R::MissingField) << Short;
    if (Code.ReadCount == Code.FieldCount) {
      EXPECT_EQ(OrderShapeRefusal(Short, Code, Code.ReadCount, false), R::MissingField) << Short;
    }
    // A word where the first field must be a number.
    if (IsIntegerField(Code.Fields[0].Kind)) {
      const std::string Word = std::to_string(C) + ";x" + Record.substr(Record.find(';') + 2);
      EXPECT_EQ(OrderShapeRefusal(Word, Code, Code.FieldCount, true), R::NotANumber) << Word;
    }
  }
  // The writer joins the fields' values as change records are joined.
  EXPECT_EQ(OrderRecord::OrderText(ordMove, 12, 40), "1;12;40;");
  EXPECT_EQ(OrderRecord::OrderText(ordRenameUnit, 7, std::string("Old Guard")), "39;7;Old Guard;");
}

// The host's log of refused records is off unless asked for; on, it names each record the
// impulse refused or that did nothing, with the reason, and none that acted.
TEST(OrderCheckTest, TheHostLogsRefusedRecordsWithTheirReasonsOnlyWhenAsked) {
  for (const bool Logging : {false, true}) {
    SCOPED_TRACE(Logging);
    TUsers Users;
    TKitWorld W;
    SetPlayers(W, &Users);
    W.Engine().SetRefusalLog(Logging);
    W.Engine().QueueOrder("1;1;0;", "Ann");
    W.Engine().QueueOrder("1;1;0;", "Bob");
    W.Engine().QueueOrder("39;0;Old|Guard;", "Ann");
    W.Engine().QueueOrder("20;0;", "Ann");
    W.Engine().QueueOrder("20;0;", "Ann");
    W.Engine().SetImpulse(4);
    W.Z(kzAlba)->SetFactories(W.Z(kzAlba)->GetIndustry() - 1);
    W.Engine().ProcessImpulse();
    const TRecords Refused = {"1;1;0; refused: not the sender's", "39;0;Old|Guard; refused: a field holds a message delimiter",
                              "20;0; refused: already built"};
    EXPECT_EQ(W.Engine().GetRefusalLog(), Logging ? Refused : TRecords());
    W.Engine().SetImpulseUsers(nullptr);
  }
}
