// Long seeded games through the whole impulse: the host takes a stream of order records from
// its users (mostly sound, some hostile), checks and carries them out, runs the units and the
// end-of-impulse stages with storms, random events, research, diplomacy and reinforcements;
// the guest replays the framed change records and stays the same game after every impulse. A
// third machine joins late from the host's saved game (with what a saved game does not hold)
// and follows from there. Then the faults these games found, each in its smallest game.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>

#include "KeptGame.h"
#include "engine/DiplomacyRules.h"
#include "engine/UnitRules.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

using kit::TKitWorld;
using kit::CountsText;

constexpr const char* ScenarioFile = "longgame.brmscen";

// The kit's world with random events of every trigger and immediate effect, and
// reinforcements for every power, an atomic bomber among them.
const std::string LongScenario =
    std::string(kit::KitScenarioText) +
    // New storms of both kinds; diplomacy reported.
    "EngineOptions=01110000\n"
    // By chance: resources, organisation, units destroyed in one nation's zones, unit costs.
    "RandomEvent=0~111~Windfall~0~5~0~20~x~~~~~Windfall~0~\n"
    "RandomEvent=0~111~Plague~0~1~0~-20~~~~~~Plague~0~\n"
    "RandomEvent=0~100~Mutiny~2~0~0~30~~~~~Ruritania~Mutiny~0~\n"
    "RandomEvent=0~111~Shortage~0~6~20~20~~~~~~Shortage~0~\n"
    "RandomEvent=0~011~Fog~0~2~10~-30~~~~~~Fog~0~\n"
    // On a coup, on a conquest and on a liberation.
    "RandomEvent=0~111~Reform~0~5~0~10~~Lichtenburg~~~~Reform~1~\n"
    "RandomEvent=1~110~History~1~2~10~-15~x~Brae~p.bmp~Albion~Alba~Famine~2~\n"
    "RandomEvent=0~111~Freedom~1~1~0~10~~Alba~~~Alba~Freedom~3~\n"
    "RandomEvent=0~111~Fall~1~5~0~-10~~Dunmore~~~Dunmore~Fall~2~\n"
    "Reinforcement=" + CountsText({{utBattleship, 2}, {utDestroyer, 1}}) + ",5,0,North Sea\n" +
    "Reinforcement=" + CountsText({{utBattleship, 1}, {utCruiser, 2}}) + ",25,1,Channel\n" +
    "Reinforcement=" + CountsText({{utInfantry, 3}, {utArmor, 1}}) + ",12,0,Alba\n" +
    "Reinforcement=" + CountsText({{utBomber, 2}, {utAtomicBomber, 1}}) + ",20,1,Brae\n" +
    "Reinforcement=" + CountsText({{utSubmarine, 2}, {utDestroyer, 1}}) + ",30,2,Channel\n" +
    "Reinforcement=" + CountsText({{utTransport, 2}, {utInfantry, 2}}) + ",45,0,North Sea\n" +
    "Reinforcement=" + CountsText({{utInfantry, 2}}) + ",60,3,Ferro\n" +
    "Reinforcement=" + CountsText({{utFighter, 2}, {utDiveBomber, 1}}) + ",90,1,Gorse\n";

// The host plays Albion, Ann Freedonia; the computer plays Ruritania on the host.
const std::vector<std::string> Users{"Host", "Ann"};

// The same on every machine before the run: who plays what, costs, a rocket site, research
// under way.
void Prepare(TKitWorld& W) {
  TBrenmoorEngine& E = W.Engine();
  W.N(0)->SetComputerPlayer(false);
  W.N(0)->SetPlayerName("Host");
  W.N(1)->SetComputerPlayer(true);
  W.N(2)->SetComputerPlayer(false);
  W.N(2)->SetPlayerName("Ann");
  E.SetAllComputer(false);
  W.N(3)->SetStability(20);
  for (int N = 0; N < E.GetNationCount(); ++N)
    for (int T = 0; T < UnitTypeCount; ++T) W.N(N)->SetUnitCost(T, UnitTypes[static_cast<std::size_t>(T)].Resources);
  W.Z(kit::kzBrae)->SetRocketSite(true);
  for (int N = 0; N < 3; ++N) W.N(N)->SetResearchSpendingTotal(20 + 10 * N);
}

class TKitUsersFor : public kit::TKitUsers {
public:
  TKitUsersFor() { Names = Users; }
};

// The host's part of each impulse: the orders of the users arrive as "ORDERS|" messages, are
// cut into records as the impulse clock cuts them and queued with their sender; then the
// impulse runs. At chosen impulses a player surrenders or the free-for-all starts, as the
// game's flow would do.
class TLongGame {
public:
  TLongGame(std::uint64_t Seed, int Impulses) : Harness(Seed, LongScenario, ScenarioFile), Orders(Seed * 7919 + 13), FImpulses(Impulses) {
    Orders.Users = Users;
    for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) Prepare(*W);
    Harness.Host().Engine().SetImpulseUsers(&HostUsers);
    Harness.Guest().Engine().SetImpulseUsers(&GuestUsers);
  }

  void operator()(TKitWorld& W, std::int32_t Impulse) {
    TBrenmoorEngine& E = W.Engine();
    if (Log != nullptr) *Log += "impulse " + std::to_string(Impulse) + "\n";
    // The users marked after the last impulse are gone (the clock's removal step, on every
    // machine).
    for (const std::string& Name : HostUsers.Removed) {
      std::erase(HostUsers.Names, Name);
      std::erase(GuestUsers.Names, Name);
      std::erase(Orders.Users, Name);
    }
    HostUsers.Removed.clear();
    GuestUsers.Removed.clear();
    std::vector<kit::TGeneratedOrder> Batch = Orders.Generate(E, Orders.Pick().Random(8) + 1);
    // Ann gives up once she is there to do so.
    if (SurrenderAt >= 0 && Impulse >= SurrenderAt && !Surrendered && W.N(2)->GetAlive() &&
        std::count(HostUsers.Names.begin(), HostUsers.Names.end(), "Ann")) {
      Batch.push_back(Orders.Surrender(W.N(2)));
      Surrendered = true;
    }
    std::map<std::string, std::string> Messages;
    for (const kit::TGeneratedOrder& O : Batch) {
      // What the host's check makes of it (the order stage asks the same again).
      const bool Ok = E.CheckOrder(O.Record, O.Sender) == TOrderRefusal::None;
      (O.Hostile ? (Ok ? HostileAccepted : HostileRefused) : (Ok ? ValidAccepted : ValidRefused))++;
      if (Log != nullptr) *Log += (Ok ? "taken " : "refused ") + O.Record + "\n";
      Messages[O.Sender] += O.Record + "~";
      ++Sent;
      Hostile += O.Hostile;
    }
    // A message from somebody who is no user of the game is dropped by the clock.
    for (const std::string& User : HostUsers.Names) {
      const auto It = Messages.find(User);
      if (It == Messages.end()) continue;
      std::string Text = "ORDERS|" + User + "|" + std::to_string(Impulse) + "|" + It->second;
      NextToken(Text, "|");
      const std::string Name = NextToken(Text, "|");
      NextToken(Text, "|");
      while (!Text.empty()) E.QueueOrder(NextToken(Text, "~"), Name);
    }
    if (Impulse == FreeForAllAt) E.Diplomacy().StartFreeForAll();
    E.ProcessImpulse();
  }

  // Runs the game; every change code seen goes into Codes, and After (when given) sees each
  // impulse once it has run. "" or the first fault.
  std::string Run(std::set<int>& Codes, int JoinAt = -1, const std::function<void(int)>& After = {}) {
    for (int I = 0; I < FImpulses; ++I) {
      if (I == JoinAt) Harness.JoinLate();
      const std::string Fault = Harness.RunImpulse(std::ref(*this));
      if (!Fault.empty()) return Fault;
      for (const std::string& Record : Harness.LastRecords()) Codes.insert(std::stoi(Record));
      if (After) After(I);
      if (testing::Test::HasFatalFailure()) return {};
    }
    return {};
  }

  kit::TTwoEngineHarness Harness;
  kit::TRandomOrders Orders;
  TKitUsersFor HostUsers;
  TKitUsersFor GuestUsers;
  int SurrenderAt = -1;
  bool Surrendered = false;
  int FreeForAllAt = -1;
  int Sent = 0;
  int Hostile = 0;
  int HostileAccepted = 0, HostileRefused = 0, ValidAccepted = 0, ValidRefused = 0;
  // When set, each impulse's number and the host's verdict on every order record.
  std::string* Log = nullptr;

private:
  int FImpulses;
};

// A folder of its own for the scenario file, the current folder while it lives.
struct TScenarioFolder : kit::TScenarioFolder {
  TScenarioFolder() : kit::TScenarioFolder(ScenarioFile, LongScenario) {}
};

}  // namespace

TEST(LongGameTest, HostAndGuestStayOneGameThroughSeededOrdersAndEveryChangeCodeIsExercised) {
  std::set<int> Codes;
  std::array<int, OrderTypeCount> Written{};
  int Sent = 0, Hostile = 0, ValidAccepted = 0, ValidRefused = 0, HostileRefused = 0;
  const std::uint64_t Seeds[] = {3, 29, 1942, 77};
  for (std::size_t S = 0; S < std::size(Seeds); ++S) {
    TLongGame Game(Seeds[S], kit::LongGameImpulses(400));
    // One game sees a player surrender, another the free-for-all start.
    if (S == 1) Game.SurrenderAt = 10;
    if (S == 2) Game.FreeForAllAt = kit::LongGameImpulses(200);
    const std::string Fault = Game.Run(Codes);
    ASSERT_EQ(Fault, "") << "seed " << Seeds[S];
    for (int C = 0; C < OrderTypeCount; ++C) Written[static_cast<std::size_t>(C)] += Game.Orders.Written()[static_cast<std::size_t>(C)];
    Sent += Game.Sent;
    Hostile += Game.Hostile;
    ValidAccepted += Game.ValidAccepted;
    ValidRefused += Game.ValidRefused;
    HostileRefused += Game.HostileRefused;
  }
  // The shortened games of a sanitizer build keep host and guest together; what the whole
  // games must have gone through is the full run's to say.
  if (!kit::LongGamesRunInFull) return;
  std::string Missing;
  for (int Code = 0; Code <= 58; ++Code)
    if (!Codes.count(Code)) Missing += std::to_string(Code) + " ";
  EXPECT_EQ(Missing, "") << "change codes never written";
  std::string Unwritten;
  for (int C = 0; C < OrderTypeCount; ++C)
    if (C != ordSurrender && Written[static_cast<std::size_t>(C)] == 0) Unwritten += std::to_string(C) + " ";
  EXPECT_EQ(Unwritten, "") << "order codes the stream never wrote";
  // About one record in twenty is hostile; the host takes the sound ones (a few meet a state
  // that an earlier record of the impulse changed) and refuses nearly all of the others (a
  // text cut at its ";" is still a name, a route to the zone itself does nothing).
  EXPECT_GT(Hostile * 100, Sent * 2);
  EXPECT_LT(Hostile * 100, Sent * 10);
  EXPECT_GT(ValidAccepted, 19 * ValidRefused);
  EXPECT_GT(HostileRefused * 100, Hostile * 90);
}

TEST(LongGameTest, AMachineThatJoinsLateFromTheSavedGameFollowsTheHost) {
  const TScenarioFolder Folder;
  for (const auto& [Seed, JoinAt] : {std::pair<std::uint64_t, int>{5, 120}, {1944, 250}}) {
    TLongGame Game(Seed, kit::LongGameImpulses(350));
    std::set<int> Codes;
    const std::string Fault = Game.Run(Codes, kit::LongGameImpulses(JoinAt));
    ASSERT_EQ(Fault, "") << "seed " << Seed;
    ASSERT_NE(Game.Harness.Late(), nullptr);
  }
}

// Two seeded games of the long scenario kept as text: each impulse's order records with the
// host's verdict and its change records, and the saved game at impulses 100 and 200, each read
// back by a new machine and saved again unchanged.
TEST(LongGameTest, TheSeededGamesWriteTheKeptRecordsAndSavedGames) {
  const TScenarioFolder Folder;
  for (const auto& [Seed, Name] : {std::pair<std::uint64_t, const char*>{3, "kit-3"}, {1942, "kit-1942"}}) {
    TLongGame Game(Seed, 200);
    if (Seed == 3) Game.SurrenderAt = 10;
    if (Seed == 1942) Game.FreeForAllAt = 100;
    std::string Log;
    Game.Log = &Log;
    std::set<int> Codes;
    const std::string Fault = Game.Run(Codes, -1, [&](int Impulse) {
      for (const std::string& Record : Game.Harness.LastRecords()) Log += Record + "\n";
      if (Impulse != 99 && Impulse != 199) return;
      const std::string Saved = Game.Harness.Host().Engine().SaveToString();
      kept::ExpectKept(std::string(Name) + "-saved-" + std::to_string(Impulse + 1) + ".txt", Saved);
      TKitWorld Reader(LongScenario, kit::KitMapText, ScenarioFile);
      Reader.Engine().LoadFromString(Saved);
      EXPECT_EQ(kit::FirstDifference(Reader.Engine().SaveToString(), Saved), "") << Name << " impulse " << Impulse;
    });
    ASSERT_EQ(Fault, "") << Name;
    if (testing::Test::HasFatalFailure()) return;
    kept::ExpectKept(std::string(Name) + "-records.txt", Log);
  }
}

namespace {

// A short two-machine game of the kit's world: Setup runs on both machines alike, then each
// impulse queues its records (from the host, who plays every major power here) and runs.
std::string RunScripted(const std::function<void(TKitWorld&)>& Setup,
                        const std::vector<std::vector<std::function<std::string(TKitWorld&)>>>& Impulses,
                        kit::TTwoEngineHarness& Harness) {
  for (TKitWorld* W : {&Harness.Host(), &Harness.Guest()}) {
    for (int N = 0; N < W->Engine().GetMajorCount(); ++N) {
      W->N(N)->SetComputerPlayer(false);
      W->N(N)->SetPlayerName("Host");
    }
    Setup(*W);
  }
  for (const auto& Orders : Impulses) {
    const std::string Fault = Harness.RunImpulse([&](TKitWorld& W, std::int32_t) {
      for (const auto& Order : Orders) W.Engine().QueueOrder(Order(W), "Host");
      W.Engine().ProcessImpulse();
    });
    if (!Fault.empty()) return Fault;
  }
  return {};
}

}  // namespace

TEST(LongGameTest, AnArmyInTheHoldOfADockedFleetThatEmbarksOnAnotherLeavesTheFirst) {
  kit::TTwoEngineHarness Harness(11);
  const auto Setup = [](TKitWorld& W) {
    // Albion's fleet with its infantry aboard docks in Alba; a transport waits in the North Sea.
    TUnit* Fleet = W.UnitIn(kit::kzNorthSea, 0, ukNavy);
    ASSERT_GT(Fleet->GetBoardedCount(), 0);
    Fleet->SetOrder(ordDock);
    Fleet->MoveToZone(W.Z(kit::kzAlba), mmReplay);
    Fleet->SetOrder(ordNone);
    W.MakeUnit(0, ukNavy, kit::kzNorthSea, {{utTransport, 3}});
  };
  const auto Embark = [](TKitWorld& W) {
    TUnit* Army = W.Z(kit::kzAlba)->GetUnit(0);
    for (int I = 0; I < W.Z(kit::kzAlba)->GetUnitCount(); ++I)
      if (W.Z(kit::kzAlba)->GetUnit(I)->GetTransport()) Army = W.Z(kit::kzAlba)->GetUnit(I);
    EXPECT_NE(Army->GetTransport(), nullptr);
    return rec::Embark(Army, W.UnitIn(kit::kzNorthSea, 0, ukNavy), kit::kzNorthSea);
  };
  // The infantry acts at impulse 3 of ten.
  EXPECT_EQ(RunScripted(Setup, {{Embark}, {}, {}, {}, {}}, Harness), "");
}

TEST(LongGameTest, AUnitDividedFromOneThatPropagandaShookInTheSameImpulseIsTheSameOnTheGuest) {
  kit::TTwoEngineHarness Harness(12);
  // Organisation well below the top, so that the upkeep's recovery leaves a difference seen.
  const auto Setup = [](TKitWorld& W) {
    W.N(1)->SetDiplomaticActions(2);
    W.UnitIn(kit::kzAlba, 0, ukArmy)->SetOrganizationDirect(50.0f);
  };
  // Ruritania's propaganda shakes Albion's units in Albion's zones, then Albion divides its army.
  const auto Propaganda = [](TKitWorld&) { return rec::Diplomatic(1, 0, 1); };
  const auto Divide = [](TKitWorld& W) {
    TUnit* Army = W.UnitIn(kit::kzAlba, 0, ukArmy);
    std::string Counts;
    for (int T = 0; T < UnitTypeCount; ++T) Counts += std::to_string(Army->GetCount(T) / 2) + "#";
    return rec::Divide(Army, Counts);
  };
  const auto Merge = [](TKitWorld& W) {
    std::string List;
    for (int I = 0; I < W.Z(kit::kzAlba)->GetUnitCount(); ++I)
      if (TUnit* U = W.Z(kit::kzAlba)->GetUnit(I); U->GetKind() == ukArmy && U->GetOwner() == W.N(0)) List += rec::Units({U});
    return rec::Merge(kit::kzAlba, List);
  };
  EXPECT_EQ(RunScripted(Setup, {{Propaganda, Divide}, {}, {Propaganda, Merge}, {}}, Harness), "");
}

TEST(LongGameTest, ATargetRenamedAfterTheOrderKeepsTheNameTheOrderShowsOnEveryMachine) {
  kit::TTwoEngineHarness Harness(13);
  // Freedonia's destroyers hunt Albion's fleet, which is renamed while they do; a new order of
  // the hunter sends its destination unit again.
  const rec::TUnitId Hunter = Harness.Host().UnitIn(kit::kzChannel, 2, ukNavy);
  const rec::TUnitId Prey = Harness.Host().UnitIn(kit::kzNorthSea, 0, ukNavy);
  const auto Intercept = [&](TKitWorld&) { return rec::Intercept(Hunter, Prey); };
  const auto Rename = [&](TKitWorld&) { return rec::RenameUnit(Prey, "Home Fleet"); };
  const auto Stop = [&](TKitWorld&) { return rec::None(Hunter); };
  // Hunter and prey strong enough to outlast the fight that the hunt starts.
  const auto Strong = [](TKitWorld& W) {
    for (const auto& [Zone, Nation] : {std::pair{kit::kzChannel, 2}, std::pair{kit::kzNorthSea, 0}}) {
      TUnit* U = W.UnitIn(Zone, Nation, ukNavy);
      U->SetCount(utDestroyer, static_cast<std::uint16_t>(U->GetCount(utDestroyer) + 60));
      W.Z(Zone)->ChangeTally(Nation, utDestroyer, 60);
    }
  };
  EXPECT_EQ(RunScripted(Strong, {{Intercept}, {Rename}, {Stop}}, Harness), "");
  const TUnit* Host = Harness.Host().Engine().GetUnitByID(Hunter.ID);
  ASSERT_NE(Host, nullptr);
  // The units aiming at a unit know it by its new name.
  EXPECT_EQ(Host->GetDestinationUnitName(), "Home Fleet");
}

TEST(LongGameTest, AMachineThatJoinsLateCountsTheSameResearchPointsForAMinorNation) {
  const TScenarioFolder Folder;
  kit::TTwoEngineHarness Harness(14, LongScenario, ScenarioFile);
  // A minor nation that spends on research gathers points it never uses.
  const auto Setup = [](TKitWorld& W) { W.N(3)->SetResearchSpendingTotal(50); };
  const auto Nothing = [](TKitWorld&) { return rec::None(rec::TUnitId(-1)); };
  ASSERT_EQ(RunScripted(Setup, {{Nothing}, {Nothing}, {Nothing}}, Harness), "");
  Harness.JoinLate();
  EXPECT_EQ(RunScripted([](TKitWorld&) {}, {{Nothing}, {Nothing}}, Harness), "");
}

TEST(LongGameTest, AMachineThatJoinsLateGivesNewUnitsTheHostsIdentifiersAndKeepsEachZonesOrder) {
  const TScenarioFolder Folder;
  kit::TTwoEngineHarness Harness(15, LongScenario, ScenarioFile);
  std::int32_t Army = -1;
  const auto Setup = [&](TKitWorld& W) {
    // An old unit arrives where a newer one stands: the zone's order is not the units'.
    TUnit* Old = W.UnitIn(kit::kzAlba, 0, ukArmy);
    W.MakeUnit(0, ukArmy, kit::kzDunmore, {{utArmor, 1}});
    Old->MoveToZone(W.Z(kit::kzDunmore), mmReplay);
    Army = Old->ID;
    // The newest unit is gone again (a convoy that delivered): the next identifier is beyond
    // every unit's.
    TUnit* Gone = W.MakeUnit(0, ukArmy, kit::kzAlba, {{utInfantry, 1}});
    TUnitRules::UntallyUnit(Gone);
    Gone->Remove(false);
    W.Engine().FreeUnit(Gone);
  };
  const auto Nothing = [](TKitWorld&) { return rec::None(rec::TUnitId(-1)); };
  const auto Divide = [&](TKitWorld&) { return rec::Divide(rec::TUnitId(Army), rec::Counts({{utInfantry, 1}})); };
  ASSERT_EQ(RunScripted(Setup, {{Nothing}}, Harness), "");
  Harness.JoinLate();
  EXPECT_EQ(RunScripted([](TKitWorld&) {}, {{Divide}, {Nothing}}, Harness), "");
}

TEST(LongGameTest, ASubmarineFleetThatDividesUnderWaterIsCountedAlikeOnEveryMachine) {
  kit::TTwoEngineHarness Harness(16);
  std::int32_t Subs = -1;
  // Albion's submarines, which only the host (Albion's machine) counts while they are under water.
  const auto Setup = [&](TKitWorld& W) { Subs = W.MakeUnit(0, ukNavy, kit::kzChannel, {{utSubmarine, 4}})->ID; };
  const auto Submerge = [&](TKitWorld&) { return rec::Submerge(rec::TUnitId(Subs)); };
  const auto Divide = [&](TKitWorld&) { return rec::Divide(rec::TUnitId(Subs), rec::Counts({{utSubmarine, 2}})); };
  EXPECT_EQ(RunScripted(Setup, {{Submerge}, {Divide}, {}}, Harness), "");
}

// Garbage, a code or an index that is no number and a number too large for an integer are
// no orders: the host's check refuses them rather than reading them as 0 (an order for unit 0
// or zone 0), as the long games sent them.
TEST(LongGameTest, GarbageAndNumbersOutOfRangeAreRefusedByTheHostsCheck) {
  TKitWorld W;
  for (int N = 0; N < W.Engine().GetNationCount(); ++N) W.N(N)->SetComputerPlayer(true);
  ASSERT_NE(W.Engine().GetUnitByID(0), nullptr);
  for (const char* Record : {"", ";;;;", "x", "abc;def;", "1", "1;", "0;x;", "17;99999999999;1;5;", "32;99999999999;0;"})
    EXPECT_NE(W.Engine().CheckOrder(Record, "Host"), TOrderRefusal::None) << Record;
}
