// Whole games of seven computer players on the default script: on the generated seven-power
// world and on the Standard world of the program folder, with no script error, the guest
// replaying the host's game in step, and the script playing every part of the game; and a game
// in which one power's script never ends its turn.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "ComputerGame.h"
#include "foundation/FileText.h"
#include "support/ScratchFolder.h"

namespace players_test {
namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

std::string ProgramFile(const std::string& Name) {
  std::string Text;
  EXPECT_EQ(ReadFileText((ProgramFolder / Name).string(), Text), ftRead) << Name;
  return Text;
}

// The Standard scenario and its map set as the program folder holds them.
TWorldText StandardWorld() { return {ProgramFile("Standard.brmscen"), ProgramFile("Standard.brmmap"), "Standard.brmscen"}; }

int OwnerIndex(const TBrenmoorZone* Zone) { return Zone->GetOwner() ? Zone->GetOwner()->GetIndex() : -1; }

TEST(ComputerGame, TheBuiltInScriptIsTheProgramFoldersDefaultScript) {
  const std::string File = ProgramFile("Default.brmai");
  EXPECT_EQ(File, TdmScript::DefaultScript());
  // It is the script itself, not the simple player it replaced.
  EXPECT_EQ(File.find("placeholder"), std::string::npos);
}

TEST(ComputerGame, SevenDefaultBrainsPlayAThousandImpulsesAndTheGuestKeepsStep) {
  TComputerGame Game(1941, true);
  const TBrenmoorEngine& E = Game.Host().Engine();
  ASSERT_EQ(E.GetMajorCount(), 7);
  std::vector<int> OwnersAtStart;
  for (int Z = 0; Z < E.GetZoneCount(); ++Z) OwnersAtStart.push_back(OwnerIndex(E.GetZone(Z)));
  const TDateTime StartDate = E.GetDate();
  // The whole games are compared at every tenth impulse and the last; the guest's draws and
  // records, and the brains' messages, at every one.
  for (int I = 0; I < 1000; ++I) {
    const std::string Fault = Game.RunImpulse(I % 10 == 0 || I == 999);
    ASSERT_EQ(Fault, "");
  }
  // Both machines' dates moved on once per impulse.
  for (kit::TKitWorld* W : {&Game.Host(), Game.Guest()}) {
    EXPECT_EQ(W->Engine().GetDate(), StartDate + 1000 * W->Engine().GetImpulseRate());
    EXPECT_EQ(W->Engine().GetImpulse(), 1000);
  }
  // Every power played its default script (brain6 for the seventh).
  for (int N = 0; N < 7; ++N) {
    EXPECT_TRUE(E.GetNation(N)->GetScriptLoaded()) << N;
    EXPECT_EQ(Game.Module.GetBrain(N).Text(), TdmScript::DefaultScript()) << N;
  }
  for (int Code : {ordInvade, ordMove, ordMerge, ordBuildUnit, ordAirStrike, ordResearch, ordFormations}) EXPECT_GT(Game.OrdersByCode[Code], 0) << Code;
  int Changed = 0;
  for (int Z = 0; Z < E.GetZoneCount(); ++Z) Changed += OwnerIndex(E.GetZone(Z)) != OwnersAtStart[static_cast<std::size_t>(Z)];
  EXPECT_GT(Changed, 0);
  // The guest's module ran no brain.
  EXPECT_FALSE(Game.Guest()->Engine().GetNation(0)->GetScriptLoaded());
}

// A power whose script loops without end loses each of its turns to the step budget and is
// told of once; the others play on, and the guest keeps step with the host.
TEST(ComputerGame, APowerWhoseScriptNeverEndsLosesItsTurnsAndTheGameGoesOn) {
  const TScratchFolder Scratch("brenmoor-loop", scCurrent);
  std::ofstream(Scratch.Path() / "Loop.brmai", std::ios::binary) << "x := 0;\nwhile true do x := x + 1;";
  TComputerGame Game(1940, true);
  TBrenmoorEngine& E = Game.Host().Engine();
  E.GetNation(2)->SetAIScript("Loop.brmai");
  int LostTurns = 0;
  // Every impulse compares the two machines, but one whose brain spoke stops at the message.
  for (int I = 0; I < 22; ++I) {
    const std::string Fault = Game.RunImpulse();
    if (I % 7 == 2) {
      EXPECT_NE(Fault.find("a brain reported"), std::string::npos) << I << ": " << Fault;
      EXPECT_TRUE(Game.LastTurnOverBudget) << I;
      EXPECT_EQ(Game.LastTurnSteps, TdmScript::TurnStepBudget) << I;
      EXPECT_EQ(Game.Messages.size(), 1u) << I;
      LostTurns += Game.LastTurnOverBudget;
      Game.Messages.clear();
    } else {
      ASSERT_EQ(Fault, "") << I;
      EXPECT_FALSE(Game.LastTurnOverBudget) << I;
    }
  }
  EXPECT_EQ(LostTurns, 3);
  ASSERT_EQ(Game.Reports.size(), 1u);
  EXPECT_EQ(Game.Reports[0].Kind, TBrainReport::brSteps);
  EXPECT_EQ(Game.Reports[0].Nation, E.GetNation(2));
  for (int N : {0, 1, 3, 4, 5, 6}) EXPECT_GT(Game.OrdersByPower[static_cast<std::size_t>(N)].size(), 0u) << N;
  EXPECT_TRUE(Game.OrdersByPower[2].empty());
}

// The Standard world: every major power plays the default script until the scenario names a
// winner (before its last date), the guest in step throughout.
TEST(ComputerGame, SevenDefaultBrainsPlayAWholeGameOfTheStandardWorldAndTheGuestKeepsStep) {
  const TCurrentFolder In(ProgramFolder);
  TComputerGame Game(1939, true, StandardWorld());
  const TBrenmoorEngine& E = Game.Host().Engine();
  ASSERT_EQ(E.GetMajorCount(), 7);
  const int StartUnits = E.GetUnitCount();
  // The United Kingdom's time condition: the scenario's last impulse.
  constexpr int LastImpulse = 731;
  bool Won = false;
  while (!Won && Game.GetImpulse() <= LastImpulse) {
    const int I = Game.GetImpulse();
    const std::string Fault = Game.RunImpulse(I % 20 == 0);
    ASSERT_EQ(Fault, "");
    // The script merges its units: the game does not fill up with them.
    ASSERT_LE(E.GetUnitCount(), 3 * StartUnits) << "impulse " << I;
    Won = E.GetWinnerNation() || !E.GetWinnerName().empty();
  }
  ASSERT_TRUE(Won);
  ASSERT_EQ(Game.RunImpulse(true), "") << "the game at its end";
  // Every part of the game: the economy, research, diplomacy, formations, the armies, the air
  // forces and the fleets.
  for (int Code : {ordNone, ordMove, ordLaunch, ordMerge, ordDock, ordDivide, ordEmbark, ordDisembark, ordIntercept, ordInvade,
                   ordPatrol, ordRebase, ordAirStrike, ordReturnToBase, ordRoute, ordAutoRoute, ordBuildUnit, ordBuildFactory,
                   ordBuildBorder, ordBomb, ordBombard, ordFormations, ordDiplomatic, ordSubmerge, ordResearch, ordBuildAirfield,
                   ordGlobalRoute, ordGlobalClear})
    EXPECT_GT(Game.OrdersByCode[Code], 0) << "order " << Code;
  // The formations the script sets at its first turn took: infantry and battleships draw the
  // enemy's fire, artillery and merchant ships are kept out of it.
  for (int N = 0; N < 7; ++N) {
    const TNation* Nation = E.GetNation(N);
    EXPECT_EQ(Nation->GetUnitCost(utInfantry), 100) << Nation->GetName();
    EXPECT_EQ(Nation->GetUnitCost(utBattleship), 100) << Nation->GetName();
    EXPECT_EQ(Nation->GetUnitCost(utArtillery), 20) << Nation->GetName();
    EXPECT_EQ(Nation->GetUnitCost(utMerchantShip), 10) << Nation->GetName();
  }
  // Every major power's research went up.
  for (int N = 0; N < 7; ++N) {
    int Levels = 0;
    for (int G = 0; G < ResearchGroupCount; ++G) Levels += E.GetNation(N)->GetResearchLevel(G);
    EXPECT_GT(Levels, 0) << E.GetNation(N)->GetName();
  }
}

}  // namespace
}  // namespace players_test
