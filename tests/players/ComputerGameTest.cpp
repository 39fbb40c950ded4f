// A whole game of seven computer players on the default script: a thousand impulses with no
// script error, the guest replaying the host's game in step.
#include <gtest/gtest.h>

#include "ComputerGame.h"

namespace players_test {
namespace {

TEST(ComputerGame, SevenDefaultBrainsPlayAThousandImpulsesAndTheGuestKeepsStep) {
  TComputerGame Game(1941, true);
  const TBrenmoorEngine& E = Game.Host().Engine();
  ASSERT_EQ(E.GetMajorCount(), 7);
  int OwnersAtStart[seven_power_world::Width * seven_power_world::Height];
  for (int Z = 0; Z < E.GetZoneCount(); ++Z) OwnersAtStart[Z] = E.GetZone(Z)->GetOwner() ? E.GetZone(Z)->GetOwner()->GetIndex() : -1;
  // The whole games are compared at every tenth impulse and the last; the guest's draws and
  // records, and the brains' messages, at every one.
  for (int I = 0; I < 1000; ++I) {
    const std::string Fault = Game.RunImpulse(I % 10 == 0 || I == 999);
    ASSERT_EQ(Fault, "");
  }
  // Every power played its default script (brain6 for the seventh), and the script did what it
  // says: armies built and split, invasions and air strikes given, zones changing hands.
  for (int N = 0; N < 7; ++N) {
    EXPECT_TRUE(E.GetNation(N)->GetScriptLoaded()) << N;
    EXPECT_EQ(Game.Module.GetBrain(N).Text(), TdmScript::DefaultScript()) << N;
  }
  for (int Code : {ordDivide, ordInvade, ordAirStrike, ordBuildUnit}) EXPECT_GT(Game.OrdersByCode[Code], 0) << Code;
  int Changed = 0;
  for (int Z = 0; Z < E.GetZoneCount(); ++Z)
    Changed += (E.GetZone(Z)->GetOwner() ? E.GetZone(Z)->GetOwner()->GetIndex() : -1) != OwnersAtStart[Z];
  EXPECT_GT(Changed, 0);
  // The guest's module ran no brain.
  EXPECT_FALSE(Game.Guest()->Engine().GetNation(0)->GetScriptLoaded());
}

}  // namespace
}  // namespace players_test
