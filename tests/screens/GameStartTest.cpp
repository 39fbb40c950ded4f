// The one start of a game for every way a game starts: who plays which power, a new game's
// units, the saved game's players and this machine's claim, the refusals that leave the game
// as it was, and the check of every order against its sender that the start switches on (the
// lines a hostile third player sent in a game of the Standard world among them).
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/CurrentFolder.h"
#include "engine/kit/RulesKit.h"
#include "screens/GameStart.h"
#include "sprites/MapSet.h"
#include "sprites/ZoneMap.h"

namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

// The users of a game as the impulse clock lists them: the first is the host.
using TUsers = kit::TKitUsers;

// The Standard scenario read and its map set loaded, as the window has them when a game is
// about to start: no zone data, no units yet.
struct TFreshStandard {
  TFreshStandard() {
    Map.OnCreateZone = [this](TZoneMap* Sender, std::unique_ptr<TZone>& AZone, const std::string& S) {
      AZone = Engine.CreateZone(*Sender, S);
    };
    Engine.SetZoneMap(&Map);
    const TCurrentFolder In(ProgramFolder);
    Engine.SetScenarioFile("Standard.brmscen");
    LoadZoneMapFromFile(Map, MapSetFileNamePart(Engine.GetMapSet()));
  }
  ~TFreshStandard() { Engine.SetZoneMap(nullptr); }
  TNation* N(const char* Name) const { return Engine.FindNation(Name); }
  TGameStart Start(TImpulseUsers& Users, const TGameSetUp& SetUp) {
    const TCurrentFolder In(ProgramFolder);
    return StartGameRules(Engine, Users, SetUp);
  }
  TBrenmoorEngine Engine;
  TZoneMap Map;
};

// Germany to ann, France to bob, Italy to cy; the other powers to the computer.
std::vector<TPowerAssignment> ThreePlayers() {
  return {{"ann"}, {"cy"}, {""}, {""}, {"bob"}, {""}, {""}};
}

std::vector<std::string> Names(const std::vector<TNation*>& Nations) {
  std::vector<std::string> Out;
  for (const TNation* N : Nations) Out.push_back(N->GetName());
  return Out;
}

TEST(GameStartTest, ANewGameHandsThePowersToTheirPlayersPlacesTheUnitsAndChecksEveryOrderItsSenderGives) {
  struct TCase {
    const char* Name;
    TStartMode Mode;
    std::vector<TPowerAssignment> Powers;
    std::string Own;
    std::vector<std::string> Users;
    std::vector<std::string> Local;
    bool AllComputer;
  };
  const TCase Cases[] = {
      {"solo", smSolo, {}, SoloPlayerName, {SoloPlayerName}, {"Germany", "Italy"}, false},
      {"duel", smDuel, {}, SoloPlayerName, {SoloPlayerName}, {}, true},
      {"host", smHost, ThreePlayers(), "ann", {"ann", "bob", "cy"}, {"Germany"}, false},
      {"guest", smGuest, ThreePlayers(), "bob", {"ann", "bob", "cy"}, {"France"}, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFreshStandard W;
    TUsers Users(C.Users);
    TGameSetUp SetUp;
    SetUp.Mode = C.Mode;
    SetUp.OwnPlayer = C.Own;
    SetUp.Powers = C.Mode == smSolo   ? SoloPowers(W.Engine, {0, 1})
                   : C.Mode == smDuel ? SoloPowers(W.Engine, {})
                                      : C.Powers;
    SetUp.Seed = 7;
    const TGameStart Start = W.Start(Users, SetUp);
    ASSERT_TRUE(Start.Started()) << Start.Refusal;
    EXPECT_EQ(Names(Start.LocalNations), C.Local);
    EXPECT_EQ(Start.AllComputer, C.AllComputer);
    EXPECT_EQ(W.Engine.GetAllComputer(), C.AllComputer);
    EXPECT_EQ(Start.Impulse, 0);
    EXPECT_GT(W.Engine.GetUnitCount(), 100);
    EXPECT_EQ(W.Engine.GetImpulseUsers(), &Users);
    for (int I = 0; I < W.Engine.GetMajorCount(); ++I) {
      const TNation* Power = W.Engine.GetNation(I);
      const bool Listed = std::find(C.Local.begin(), C.Local.end(), Power->GetName()) != C.Local.end();
      EXPECT_EQ(Power->GetLocalPlayer(), Listed) << Power->GetName();
    }
    // The computer's United States obeys the machine that runs the rules, and nobody else.
    EXPECT_EQ(W.Engine.CheckOrder("28;6;4;", C.Users.front()), TOrderRefusal::None);
    EXPECT_EQ(W.Engine.CheckOrder("28;6;4;", "zed"), TOrderRefusal::NotTheSenders);
  }
}

TEST(GameStartTest, TheHostileThirdPlayersOrdersAreRefusedOnTheHostAndTheGameGoesOn) {
  TFreshStandard W;
  TUsers Users({"ann", "bob", "cy"});
  TGameSetUp SetUp;
  SetUp.Mode = smHost;
  SetUp.OwnPlayer = "ann";
  SetUp.Powers = ThreePlayers();
  ASSERT_TRUE(W.Start(Users, SetUp).Started());
  TBrenmoorEngine& E = W.Engine;
  struct TCase {
    const char* Record;
    const char* Sender;
    TOrderRefusal Expected;
  };
  const TCase Cases[] = {
      {"28;3;4;", "cy", TOrderRefusal::NotTheSenders},   // the computer's United Kingdom
      {"28;6;4;", "cy", TOrderRefusal::NotTheSenders},   // the computer's United States
      {"28;7;0;", "cy", TOrderRefusal::NotTheSenders},   // Poland, a minor nation
      {"28;4;0;", "cy", TOrderRefusal::NotTheSenders},   // bob's France
      {"28;0;4;", "cy", TOrderRefusal::NotTheSenders},   // ann's Germany
      {"28;1;4;", "cy", TOrderRefusal::None},            // his own Italy
      {"28;6;4;", "ann", TOrderRefusal::None},           // the host speaks for the computer
      {"28;7;0;", "ann", TOrderRefusal::None},           // and for the minor nations
      {"28;4;0;", "ann", TOrderRefusal::NotTheSenders},  // but not for bob's France
      {"43;ann;", "cy", TOrderRefusal::NotTheSender},    // a surrender in ann's name
  };
  for (const TCase& C : Cases) EXPECT_EQ(E.CheckOrder(C.Record, C.Sender), C.Expected) << C.Record << " from " << C.Sender;

  // 400 renames for the unit identifiers 0..399: only Italy's own units take a new name.
  const TNation* Italy = W.N("Italy");
  int Italian = 0;
  for (int Id = 0; Id < 400; ++Id) {
    if (const TUnit* U = E.GetUnitByID(Id); U && U->GetOwner() == Italy) ++Italian;
    E.QueueOrder("39;" + std::to_string(Id) + ";Renamed;", "cy");
  }
  E.QueueOrder("28;6;4;", "cy");
  E.ProcessImpulse();
  int Renamed = 0;
  for (int I = 0; I < E.GetUnitCount(); ++I)
    if (E.GetUnit(I)->GetCustomName() == "Renamed") {
      ++Renamed;
      EXPECT_EQ(E.GetUnit(I)->GetOwner(), Italy);
    }
  EXPECT_EQ(Renamed, Italian);
  EXPECT_GT(Italian, 0);
  EXPECT_GT(W.N("United States")->GetRelation(W.N("France")), -100);
  // Each refused record is in the log with its reason.
  const auto& Log = E.GetRefusalLog();
  EXPECT_NE(std::find(Log.begin(), Log.end(), "28;6;4; refused: " + std::string(OrderRefusalText(TOrderRefusal::NotTheSenders))),
            Log.end());
  EXPECT_EQ(static_cast<int>(Log.size()), 400 - Italian + 1);
}

TEST(GameStartTest, WhenTheHostDropsTheNextUserCommandsTheComputersPowersAndNothingElseChangesHands) {
  TFreshStandard W;
  TUsers Users({"ann", "bob", "cy"});
  TGameSetUp SetUp;
  SetUp.Mode = smGuest;
  SetUp.OwnPlayer = "bob";
  SetUp.Powers = ThreePlayers();
  ASSERT_TRUE(W.Start(Users, SetUp).Started());
  Users.Names.erase(Users.Names.begin());  // ann has left the room: bob is the first user
  TBrenmoorEngine& E = W.Engine;
  EXPECT_EQ(E.CheckOrder("28;6;4;", "bob"), TOrderRefusal::None);
  EXPECT_EQ(E.CheckOrder("28;6;4;", "ann"), TOrderRefusal::NotTheSenders);
  EXPECT_EQ(E.CheckOrder("28;6;4;", "cy"), TOrderRefusal::NotTheSenders);
  // Ann's Germany stays hers: neither the new host nor cy commands it.
  EXPECT_EQ(E.CheckOrder("28;0;4;", "bob"), TOrderRefusal::NotTheSenders);
  EXPECT_EQ(E.CheckOrder("28;0;4;", "cy"), TOrderRefusal::NotTheSenders);
  EXPECT_EQ(E.CheckOrder("28;1;4;", "cy"), TOrderRefusal::None);
}

TEST(GameStartTest, ASavedGameKeepsItsPlayersAndClaimsThisMachinesPowersOrIsRefusedUnchanged) {
  // An online game of ann, bob and cy, saved at its start.
  TFreshStandard Online;
  TUsers Users({"ann", "bob", "cy"});
  TGameSetUp Host;
  Host.Mode = smHost;
  Host.OwnPlayer = "ann";
  Host.Powers = ThreePlayers();
  ASSERT_TRUE(Online.Start(Users, Host).Started());
  Online.Engine.SetImpulse(12);
  const std::string OnlineText = Online.Engine.SaveToString();
  TFreshStandard Solo;
  TUsers SoloUsers({SoloPlayerName});
  TGameSetUp SoloSetUp;
  SoloSetUp.Powers = SoloPowers(Solo.Engine, {3});
  ASSERT_TRUE(Solo.Start(SoloUsers, SoloSetUp).Started());
  const std::string SoloText = Solo.Engine.SaveToString();

  struct TCase {
    const char* Name;
    TStartMode Mode;
    std::string Text;
    std::string Own;
    std::string Refusal;
    std::vector<std::string> Local;
  };
  const TCase Cases[] = {
      {"the guest of a restored game", smGuest, OnlineText, "bob", "", {"France"}},
      {"its host", smHost, OnlineText, "ann", "", {"Germany"}},
      {"a player who was not in it", smGuest, OnlineText, "zed", NotInThisGameMessage, {}},
      {"an online game on one machine", smSolo, OnlineText, SoloPlayerName, MultiPlayerInSoloMessage, {}},
      {"a solo game online", smHost, SoloText, "ann", SoloInNetworkMessage, {}},
      {"a solo game", smSolo, SoloText, SoloPlayerName, "", {"United Kingdom"}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFreshStandard W;
    TUsers Guests({"ann", "bob", "cy"});
    TGameSetUp SetUp;
    SetUp.Mode = C.Mode;
    SetUp.NewGame = false;
    SetUp.SavedText = C.Text;
    SetUp.OwnPlayer = C.Own;
    const TGameStart Start = W.Start(Guests, SetUp);
    EXPECT_EQ(Start.Refusal, C.Refusal);
    EXPECT_EQ(Names(Start.LocalNations), C.Local);
    EXPECT_EQ(W.Engine.GetImpulseUsers(), C.Refusal.empty() ? &Guests : nullptr);
    if (C.Refusal.empty() && C.Mode != smSolo) {
      EXPECT_EQ(Start.Impulse, 12);
      EXPECT_EQ(W.N("Italy")->GetPlayerName(), "cy");
      EXPECT_TRUE(W.N("United States")->GetComputerPlayer());
    }
  }

  // A text the engine cannot read is refused, and the game that was there stays.
  TFreshStandard W;
  TGameSetUp Broken;
  Broken.Mode = smGuest;
  Broken.NewGame = false;
  Broken.SavedText = "not a saved game";
  Broken.OwnPlayer = "bob";
  EXPECT_FALSE(W.Start(Users, Broken).Started());
  EXPECT_EQ(W.Engine.GetImpulseUsers(), nullptr);
}

TEST(GameStartTest, ANewGameWhosePowersDoNotFitItsModeIsRefusedBeforeAnythingIsPlaced) {
  struct TCase {
    const char* Name;
    TStartMode Mode;
    std::vector<TPowerAssignment> Powers;
  };
  const TCase Cases[] = {
      {"too few powers", smHost, {{"ann"}, {"bob"}}},
      {"a solo game with an online player", smSolo, {{"ann"}, {""}, {""}, {""}, {""}, {""}, {""}}},
      {"a duel with a player", smDuel, {{SoloPlayerName}, {""}, {""}, {""}, {""}, {""}, {""}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    TFreshStandard W;
    TUsers Users({"ann"});
    TGameSetUp SetUp;
    SetUp.Mode = C.Mode;
    SetUp.Powers = C.Powers;
    SetUp.OwnPlayer = C.Mode == smHost ? "ann" : SoloPlayerName;
    EXPECT_FALSE(W.Start(Users, SetUp).Started());
    EXPECT_EQ(W.Engine.GetUnitCount(), 0);
    EXPECT_EQ(W.Engine.GetImpulseUsers(), nullptr);
    EXPECT_FALSE(W.N("Germany")->GetLocalPlayer());
  }
}

}  // namespace
