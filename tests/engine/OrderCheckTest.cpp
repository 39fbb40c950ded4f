// The host's check of each order record against the user who sent it: a user orders only the
// units, zones and nations of the powers it plays, what the unit can do now, with counts it
// has and clean texts; the machine that runs the rules orders the computer's powers and the
// minor nations. A record that fails is skipped by the impulse as if it had never come.
#include <gtest/gtest.h>

#include <functional>

#include "engine/kit/RulesKit.h"

namespace {

using namespace kit;
using TRecords = std::vector<std::string>;

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
  bool Accepted;
};

const std::vector<TCheckRow>& CheckRows() {
  const auto AnnArmy = [](TKitWorld& W) { W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 1}}); };  // 12
  const auto BobArmy = [](TKitWorld& W) { W.MakeUnit(2, ukArmy, kzAlba, {{utInfantry, 1}}); };  // 12
  const auto OnStrike = [](TKitWorld& W) { W.Engine().ApplyOrder("13;1;1;"); };
  static const std::vector<TCheckRow> Rows = {
      // Whose unit, zone and nation.
      {"her own army", nullptr, "1;1;0;", "Ann", true},
      {"another player's army", nullptr, "1;1;0;", "Bob", false},
      {"a player's army by the host", nullptr, "1;1;0;", "Host", false},
      {"the computer's army by the host", nullptr, "1;0;2;", "Host", true},
      {"the computer's army by a player", nullptr, "1;0;2;", "Ann", false},
      {"a minor's army by the host", nullptr, "1;4;10;", "Host", true},
      {"a build in her zone", nullptr, "19;0;0;" + CountsText({{utInfantry, 2}}) + ";", "Ann", true},
      {"a build in another's zone", nullptr, "19;0;0;" + CountsText({{utInfantry, 2}}) + ";", "Bob", false},
      {"a build in a zone of no one", nullptr, "19;2;2;" + CountsText({{utDestroyer, 1}}) + ";", "Host", false},
      {"her nation's formations", nullptr, "25;0;-#-#-#-#-#-#-#15#-#-#-#-#-#-#-#-#;", "Ann", true},
      {"another nation's formations", nullptr, "25;1;-#-#-#-#-#-#-#15#-#-#-#-#-#-#-#-#;", "Ann", false},
      {"the computer's formations by the host", nullptr, "25;1;-#-#-#-#-#-#-#15#-#-#-#-#-#-#-#-#;", "Host", true},
      {"her declaration of war", nullptr, "28;0;1;", "Ann", true},
      {"a declaration for another nation", nullptr, "28;0;1;", "Bob", false},
      {"her diplomacy", nullptr, "27;0;3;0;", "Ann", true},
      {"diplomacy for another nation", nullptr, "27;1;3;0;", "Ann", false},
      {"diplomacy without its target", nullptr, "27;0;", "Ann", false},
      {"diplomacy with no actions left needs no target", [](TKitWorld& W) { W.N(0)->SetDiplomaticActions(0); }, "27;0;", "Ann", true},
      {"rockets of the minor's site by the host", nullptr, "32;1;5;", "Host", true},
      {"rockets of another's site", nullptr, "32;1;5;", "Ann", false},
      {"routes from her zone", nullptr, "17;0;1;5;", "Ann", true},
      {"routes from another's zone", nullptr, "17;0;1;5;", "Bob", false},
      // What the unit can do now.
      {"fighters cannot bombard", nullptr, "23;1;1;", "Ann", false},
      {"an army cannot dock", nullptr, "5;2;0;", "Ann", false},
      {"a fleet cannot invade", nullptr, "10;0;4;", "Ann", false},
      {"a plane on a mission takes no new mission", OnStrike, "13;0;1;", "Ann", false},
      {"a plane on a mission returns", OnStrike, "15;1;", "Ann", true},
      {"a plane on a mission is not stopped in the air", OnStrike, "0;1;", "Ann", false},
      {"an army without an order may be stopped", nullptr, "0;0;", "Ann", true},
      // Counts.
      {"divide part of an army", nullptr, "6;0;" + CountsText({{utInfantry, 2}}) + ";", "Ann", true},
      {"divide more than the army holds", nullptr, "6;0;" + CountsText({{utInfantry, 6}}) + ";", "Ann", false},
      {"divide a negative count", nullptr, "6;0;" + CountsText({{utInfantry, -1}, {utArmor, 1}}) + ";", "Ann", false},
      {"divide nothing", nullptr, "6;0;" + CountsText({}) + ";", "Ann", false},
      {"divide seventeen counts", nullptr, "6;0;" + CountsText({{utInfantry, 1}}) + "0#;", "Ann", false},
      {"build a negative count", nullptr, "19;0;0;" + CountsText({{utInfantry, 3}, {utArmor, -1}}) + ";", "Ann", false},
      {"build nothing", nullptr, "19;0;0;" + CountsText({}) + ";", "Ann", false},
      {"build of no unit kind", nullptr, "19;0;3;" + CountsText({{utInfantry, 2}}) + ";", "Ann", false},
      {"build of ships as an army", nullptr, "19;0;0;" + CountsText({{utBattleship, 1}}) + ";", "Ann", false},
      {"route nothing", nullptr, "17;0;1;0;", "Ann", false},
      {"route a negative amount", nullptr, "17;0;1;-5;", "Ann", false},
      {"supply walk of no depth", nullptr, "40;0;0;", "Ann", false},
      {"research over a byte", nullptr, "31;0;10#300#;", "Ann", false},
      {"research with words", nullptr, "31;0;10#x#;", "Ann", false},
      {"research", nullptr, "31;0;10#1#1#1#1#1#1#1#1#;", "Ann", true},
      // Texts.
      {"a clean name", nullptr, "39;0;Old Guard;", "Ann", true},
      {"a name with a bar", nullptr, "39;0;Old|Guard;", "Ann", false},
      {"a name with a tilde", nullptr, "39;0;Old~Guard;", "Ann", false},
      {"formations that cannot be read", nullptr, "25;0;x#;", "Ann", false},
      {"formations at the window's lowest and highest", nullptr, "25;0;10#100#-#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", true},
      {"a weight off the window's steps of 5", nullptr, "25;0;12#-#-#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", false},
      {"a weight below 10", nullptr, "25;0;-#5#-#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", false},
      {"a weight above 100", nullptr, "25;0;-#-#105#-#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", false},
      {"a weight of 65,535", nullptr, "25;0;-#-#-#65535#-#-#-#-#-#-#-#-#-#-#-#-#;", "Ann", false},
      {"a weight of 0", nullptr, "25;0;-#-#-#-#-#-#-#-#-#-#-#-#-#-#-#0#;", "Ann", false},
      // Lists.
      {"merge her units", AnnArmy, "4;0;0#12#;", "Ann", true},
      {"merge a unit twice", nullptr, "4;0;0#0#;", "Ann", false},
      {"merge with another's unit", BobArmy, "4;0;0#12#;", "Ann", false},
      {"merge units of another zone", nullptr, "4;1;0#5#;", "Ann", false},
      {"merge beyond what a unit holds",
       [](TKitWorld& W) { W.MakeUnit(0, ukArmy, kzAlba, {{utInfantry, 65535}}); }, "4;0;0#12#;", "Ann", false},
      {"embark and divide", nullptr, "36;0;2;4;0#;", "Ann", true},
      {"embark and divide a unit twice", nullptr, "36;0;2;4;0#0#;", "Ann", false},
      {"embark and divide another's army", BobArmy, "36;0;2;4;12#;", "Ann", false},
      {"embark and divide onto another's ship", nullptr, "36;0;2;7;0#;", "Ann", false},
      {"embark on another's ship", nullptr, "7;0;0;7;", "Ann", false},
      {"embark on an ally's ship", [](TKitWorld& W) { W.N(2)->SetAlliance("Allies"); }, "7;0;0;7;", "Ann", true},
      {"land wings on the carrier", nullptr, "37;0;2;4;1#;", "Ann", true},
      {"land wings where the carrier is not", nullptr, "37;0;0;4;1#;", "Ann", false},
      {"land an army on the carrier", nullptr, "37;0;2;4;1#0#;", "Ann", false},
      {"patrol of one zone", nullptr, "11;4;2#;", "Ann", false},
      {"patrol", nullptr, "11;4;2#3#;", "Ann", true},
      // Places.
      {"border towards a neighbour", nullptr, "21;0;1;", "Ann", true},
      {"border towards a zone far away", nullptr, "21;0;4;", "Ann", false},
      {"port zone on the coast", nullptr, "42;0;2;", "Ann", true},
      {"port zone far out at sea", nullptr, "42;0;3;", "Ann", false},
      {"port zone on land", nullptr, "42;0;1;", "Ann", false},
      // Surrender.
      {"surrender for oneself", nullptr, "43;Ann;", "Ann", true},
      {"surrender for another", nullptr, "43;Bob;", "Ann", false},
      {"surrender for no one", nullptr, "43;;", "", false},
      // Records no program writes.
      {"a unit of no one", nullptr, "1;1;999;", "Ann", false},
      {"a zone outside the map", nullptr, "1;99;0;", "Ann", false},
      {"a field missing", nullptr, "1;1;", "Ann", false},
      {"words for numbers", nullptr, "1;x;0;", "Ann", false},
      {"no code", nullptr, "x;0;", "Ann", false},
      {"code 44", nullptr, "44;0;", "Ann", false},
      {"no delimiter", nullptr, "1", "Ann", false},
      {"empty", nullptr, "", "Ann", false},
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
    EXPECT_EQ(W.Engine().CheckOrder(Row.Record, Row.Sender), Row.Accepted) << Row.Record << " from " << Row.Sender;
    W.Engine().SetImpulseUsers(nullptr);
  }
}

TEST(OrderCheckTest, WithoutImpulseUsersAnySenderRunsTheRules) {
  TKitWorld W;
  SetPlayers(W, nullptr);
  TBrenmoorEngine& E = W.Engine();
  EXPECT_TRUE(E.CheckOrder("1;0;2;", "Anyone"));
  EXPECT_TRUE(E.CheckOrder("1;0;2;", ""));
  // A human-played power still obeys only its player.
  EXPECT_FALSE(E.CheckOrder("1;1;0;", "Anyone"));
  EXPECT_TRUE(E.CheckOrder("1;1;0;", "Ann"));
}

// The hostile records change nothing: the game with them is the game without them, draw for
// draw and record for record.
TEST(OrderCheckTest, AnImpulseSkipsTheRecordsThatFailAsIfTheyHadNeverCome) {
  const std::vector<std::pair<std::string, std::string>> Valid = {
      {"1;1;0;", "Ann"}, {"19;1;0;" + CountsText({{utInfantry, 1}}) + ";", "Host"}, {"2;8;", "Bob"}, {"39;0;Old Guard;", "Ann"}};
  std::vector<std::pair<std::string, std::string>> Hostile;
  for (const TCheckRow& Row : CheckRows())
    if (!Row.Accepted && !Row.Setup) Hostile.emplace_back(Row.Record, Row.Sender);
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
