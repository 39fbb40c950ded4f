// The computer player's turn: which brain runs at an impulse, the loading of its script (the
// nation's file, the built-in default script, a script that does not compile), the current
// brain during compiling, errors during a run and the stop of a script that does not end.

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "PlayersFixture.h"
#include "foundation/ProcessMessages.h"
#include "support/ScratchFolder.h"

namespace players_test {
namespace {

// The fixture with the three major powers computer-played, in a folder of its own that holds
// the scripts the test writes.
class TBrainTurn : public TPlayersFixture {
public:
  TBrainTurn() {
    for (int N = 0; N < 3; ++N) {
      World.N(N)->SetComputerPlayer(true);
      World.N(N)->SetAIScript("p" + IntToStr(N) + ".brmai");
    }
  }
  ~TBrainTurn() override { SetProcessMessagesHook(nullptr); }
  void WriteScript(const std::string& Name, const std::string& Text) { std::ofstream(Folder / Name, std::ios::binary) << Text; }
  int Count(const std::string& Message) const { return static_cast<int>(std::count(Messages.begin(), Messages.end(), Message)); }

  const TScratchFolder Scratch{"brenmoor-brain", scCurrent};
  const std::filesystem::path Folder = Scratch.Path();
};

TEST_F(TBrainTurn, TheMajorPowerOfTheImpulseModSevenPlaysWhenComputerPlayedAndAlive) {
  for (int N = 0; N < 3; ++N) WriteScript("p" + IntToStr(N) + ".brmai", "Print('ran')");
  // Slots 3 to 6 lie past the three major powers.
  for (int Impulse = 0; Impulse < 14; ++Impulse) Module.RunTurn(Impulse, true);
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"0:0:ran", "1:1:ran", "2:2:ran", "0:7:ran", "1:8:ran", "2:9:ran"}));
  // A machine that does not run the rules runs no brain; nor does a human power or a dead one.
  Chat.Printed.clear();
  for (int Impulse = 0; Impulse < 7; ++Impulse) Module.RunTurn(Impulse, false);
  World.N(1)->SetComputerPlayer(false);
  World.N(2)->SetAlive(false);
  for (int Impulse = 14; Impulse < 21; ++Impulse) Module.RunTurn(Impulse, true);
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"0:14:ran"}));
  EXPECT_TRUE(Messages.empty());
}

TEST_F(TBrainTurn, AScriptIsLoadedOnceAGameFromTheNationsFile) {
  WriteScript("p0.brmai", "Print('first')");
  Module.RunTurn(0, true);
  EXPECT_TRUE(World.N(0)->GetScriptLoaded());
  WriteScript("p0.brmai", "Print('second')");
  Module.RunTurn(7, true);
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"0:0:first", "0:7:first"}));
}

TEST_F(TBrainTurn, WithoutItsFileANationPlaysTheDefaultScript) {
  World.N(0)->SetAIScript("");
  World.N(1)->SetAIScript("missing.brmai");
  // Building is allowed and Albion is rich: the default script builds armies.
  Engine().SetEngineOptions(0x80);
  World.Z(kit::kzAlba)->SetResources(200);
  for (int Impulse = 0; Impulse < 28; ++Impulse) {
    EXPECT_TRUE(Module.RunTurn(Impulse, true) || Impulse % 7 > 2) << Impulse;
  }
  EXPECT_EQ(World.N(0)->GetAIScript(), "Default.brmai");
  EXPECT_EQ(World.N(1)->GetAIScript(), "missing.brmai");
  EXPECT_EQ(Module.GetBrain(0).Text(), TdmScript::DefaultScript());
  EXPECT_EQ(Module.GetBrain(1).Text(), TdmScript::DefaultScript());
  EXPECT_TRUE(Messages.empty()) << Messages.front();
  // A build order of Alba's, whatever it builds.
  EXPECT_TRUE(std::any_of(Orders.Records.begin(), Orders.Records.end(), [](const std::string& R) {
    OrderRecord::TRecordFields F(R);
    return F.Int() == ordBuildUnit && F.Int() == kit::kzAlba;
  }));
  // A file under the default name is the nation's script.
  TdmScript Other;
  Other.SetBrenmoorEngine(&Engine());
  Other.SetChatSink(&Chat);
  World.N(0)->SetScriptLoaded(false);
  WriteScript("Default.brmai", "Print('mine')");
  Other.RunTurn(0, true);
  EXPECT_EQ(Chat.Printed.back(), "0:0:mine");
}

TEST_F(TBrainTurn, AScriptThatDoesNotCompileIsReportedOnceAndPlaysNothing) {
  WriteScript("p0.brmai", "OrderGlobalClearResources(0); x := ;");
  EXPECT_TRUE(Module.RunTurn(0, true));
  EXPECT_TRUE(Module.RunTurn(7, true));
  EXPECT_TRUE(Module.RunTurn(14, true));
  EXPECT_EQ(Count("Could not compile Brain Script for Albion"), 1);
  ASSERT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Messages[0].rfind("Script Error: ", 0), 0u) << Messages[0];
  EXPECT_EQ(Module.GetBrain(0).Text(), "");
  EXPECT_TRUE(Orders.Records.empty());
  // A constant that fails while the script compiles is a compile failure as well.
  WriteScript("p1.brmai", "CONST X = Version(9); Print('never')");
  Module.RunTurn(1, true);
  Module.RunTurn(8, true);
  EXPECT_EQ(Count("Could not compile Brain Script for Ruritania"), 1);
  EXPECT_TRUE(Chat.Printed.empty());
}

TEST_F(TBrainTurn, AnErrorInARunEndsThatRunOnlyAndIsShownOnce) {
  WriteScript("p0.brmai", "OrderGlobalClearResources(0); Version(5); OrderGlobalClearResources(0)");
  EXPECT_FALSE(Module.RunTurn(0, true));
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("created for version 5 of Brenmoor"), std::string::npos) << Messages[0];
  EXPECT_FALSE(Module.RunTurn(7, true));
  EXPECT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Orders.Records, (std::vector<std::string>{rec::GlobalClear(0), rec::GlobalClear(0)}));
}

TEST_F(TBrainTurn, ConstantsSeeTheBrainOfTheTurnWhileTheScriptCompiles) {
  const std::string Text = "CONST ME = GetCurrentPlayer(); CONST SEEN = GetUnitCount(); "
                           "if SEEN = GetUnitCount() then Print(IntToStr(ME)) else Print('stale')";
  for (int N = 0; N < 3; ++N) WriteScript("p" + IntToStr(N) + ".brmai", Text);
  // Ruritania's is the first brain ever to run.
  Module.RunTurn(1, true);
  Module.RunTurn(2, true);
  Module.RunTurn(7, true);
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"1:1:1", "2:2:2", "0:7:0"}));
  EXPECT_TRUE(Messages.empty()) << Messages.front();
}

TEST_F(TBrainTurn, AScriptThatLoopsWithoutEndStopsWhenTheGameEnds) {
  WriteScript("p0.brmai", "OrderGlobalClearResources(0); while true do x := 1");
  // The window closes while the script runs: its handler stops the scripts.
  int Calls = 0;
  SetProcessMessagesHook([&] {
    if (++Calls == 1000) Module.StopScripts();
  });
  EXPECT_FALSE(Module.RunTurn(0, true));
  EXPECT_LE(Calls, 1001);
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("Script stopped."), std::string::npos) << Messages[0];
  // The next game's turn runs again.
  SetProcessMessagesHook(nullptr);
  WriteScript("p1.brmai", "Print('next')");
  EXPECT_TRUE(Module.RunTurn(1, true));
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"1:1:next"}));
}

// `while true do x := x + 1;` ends when its turn has spent the budget: the order before the
// loop stands, the window was pumped all the while, the other powers play, and the player is
// told once however many turns loop.
TEST_F(TBrainTurn, AnEndlessLoopEndsWithItsTurnsStepBudgetAndPlayGoesOn) {
  WriteScript("p0.brmai", "OrderGlobalClearResources(0);\nx := 0;\nwhile true do x := x + 1;");
  WriteScript("p1.brmai", "Print('next')");
  std::vector<TBrainReport> Reports;
  Module.OnReport = [&](const TBrainReport& R) { Reports.push_back(R); };
  std::uint64_t Pumps = 0;
  SetProcessMessagesHook([&] { ++Pumps; });
  EXPECT_FALSE(Module.RunTurn(0, true));
  EXPECT_TRUE(Module.LastTurnOverBudget());
  EXPECT_EQ(Module.LastTurnSteps(), TdmScript::TurnStepBudget);
  EXPECT_GE(Pumps, TdmScript::TurnStepBudget - 10);
  EXPECT_EQ(Orders.Records, (std::vector<std::string>{rec::GlobalClear(0)}));
  ASSERT_EQ(Messages.size(), 1u);
  EXPECT_NE(Messages[0].find("Runtimeerror: The run took more than 10000000 steps"), std::string::npos) << Messages[0];
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].Kind, TBrainReport::brSteps);
  EXPECT_EQ(Reports[0].Nation, World.N(0));
  const std::string& Told = Reports[0].Text;
  EXPECT_EQ(Told.rfind("The script of Albion ran too long: its turn took more than 10000000 steps and was ended in p0.brmai, "
                       "line 3, column ",
                       0),
            0u)
      << Told;
  EXPECT_NE(Told.find(". The orders it gave before stand; Albion stands idle for the rest of this turn."), std::string::npos) << Told;
  EXPECT_EQ(Told.find("Position"), std::string::npos) << Told;

  EXPECT_TRUE(Module.RunTurn(1, true));
  EXPECT_FALSE(Module.LastTurnOverBudget());
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"1:1:next"}));
  // Albion's next turn loops again and ends again; the player has been told.
  EXPECT_FALSE(Module.RunTurn(7, true));
  EXPECT_EQ(Messages.size(), 2u);
  EXPECT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Orders.Records.size(), 2u);
  // Stopping the scripts (the game ends) is nobody's error: nothing is told.
  SetProcessMessagesHook([&] {
    if (++Pumps % 1000 == 0) Module.StopScripts();
  });
  WriteScript("p2.brmai", "while true do x := 1");
  EXPECT_FALSE(Module.RunTurn(2, true));
  EXPECT_EQ(Reports.size(), 1u);
}

// A failure of a run is told with the power, the script file, the line and the column, once
// per power and error: the same error in a later turn (another index, the same place) is not
// told again, another error is, and so is the same error of another power.
TEST_F(TBrainTurn, AFailedRunIsToldOncePerPowerAndErrorWithItsLineAndColumn) {
  const std::string Text = "OrderGlobalClearResources(0);\r\n"
                           "if Type(n) = tINTEGER then n := n + 1 else n := 100000;\r\n"
                           "z := 0; if n > 100001 then y := 1 div z;\r\n"
                           "x := GetUnitOwner(n)";
  WriteScript("p0.brmai", Text);
  WriteScript("p1.brmai", Text);
  std::vector<std::string> Told;
  Module.OnReport = [&](const TBrainReport& R) {
    EXPECT_EQ(R.Kind, TBrainReport::brRun);
    Told.push_back(R.Nation->GetName() + ": " + R.Text);
  };
  for (int Impulse : {0, 1, 7, 14}) EXPECT_FALSE(Module.RunTurn(Impulse, true)) << Impulse;
  EXPECT_EQ(Messages.size(), 4u);
  EXPECT_EQ(Told, (std::vector<std::string>{
                      "Albion: The script of Albion failed in p0.brmai, line 4, column 6: List index out of bounds (100000). "
                      "Albion stands idle for the rest of this turn.",
                      "Ruritania: The script of Ruritania failed in p1.brmai, line 4, column 6: List index out of bounds "
                      "(100000). Ruritania stands idle for the rest of this turn.",
                      "Albion: The script of Albion failed in p0.brmai, line 3, column 35: Division by zero. Albion stands "
                      "idle for the rest of this turn."}));
  // A new game tells again.
  Module.NewGame();
  EXPECT_FALSE(Module.RunTurn(21, true));
  EXPECT_EQ(Told.size(), 4u);
}

// The player is told that a script does not compile, and where, in one message.
TEST_F(TBrainTurn, AScriptThatDoesNotCompileIsToldWithItsPlace) {
  WriteScript("p0.brmai", "OrderGlobalClearResources(0);\nx := ;");
  World.N(1)->SetAIScript("missing.brmai");
  std::vector<TBrainReport> Reports;
  Module.OnReport = [&](const TBrainReport& R) { Reports.push_back(R); };
  Module.RunTurn(0, true);
  // A nation without its file plays the built-in default script: nothing to tell.
  Module.RunTurn(1, true);
  Module.RunTurn(7, true);
  ASSERT_EQ(Reports.size(), 1u);
  EXPECT_EQ(Reports[0].Kind, TBrainReport::brCompile);
  EXPECT_EQ(Reports[0].Nation, World.N(0));
  EXPECT_EQ(Reports[0].Text, "Could not compile Brain Script for Albion\n\nSyntax error in p0.brmai, line 2, column 6: "
                             "Expression expected.\n\nAlbion stands idle for the rest of the game.");
}

TEST_F(TBrainTurn, TheClocksFirstStepShowsTheDateAdvancesItRunsTheTurnAndResetsTheImpulse) {
  WriteScript("p0.brmai", "Print('ran')");
  const TDateTime Date = Engine().GetDate();
  World.Z(kit::kzAlba)->SetBombCount(2);
  EXPECT_EQ(Module.BeforeProcess(0, false), LongDateToStr(Date));
  EXPECT_EQ(Engine().GetDate(), Date + Engine().GetImpulseRate());
  EXPECT_EQ(World.Z(kit::kzAlba)->GetBombCount(), 0);
  EXPECT_TRUE(Chat.Printed.empty());
  EXPECT_EQ(Module.BeforeProcess(7, true), LongDateToStr(Date + Engine().GetImpulseRate()));
  EXPECT_EQ(Chat.Printed, (std::vector<std::string>{"0:7:ran"}));
}

}  // namespace
}  // namespace players_test
