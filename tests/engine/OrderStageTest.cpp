// The order stage and the whole impulse on the machine that runs the rules: each order code's
// record in, the state and change records out, refusals included; and each order's records
// replayed on a guest into the same game.
#include <gtest/gtest.h>

#include "engine/kit/RulesKit.h"

namespace {

using namespace kit;

}  // namespace

TEST(OrderStageTest, AnImpulseRunsTheQueuedOrdersThenTheUnitsAndTheStages) {
  TKitWorld W;
  TBrenmoorEngine& E = W.Engine();
  TUnit* Army = W.UnitIn(kzAlba, 0, ukArmy);
  E.SetImpulse(9);
  for (int N = 0; N < E.GetNationCount(); ++N) W.N(N)->SetComputerPlayer(true);
  E.QueueOrder("1;1;" + std::to_string(Army->ID) + ";", "");
  E.ProcessImpulse();
  EXPECT_EQ(E.GetOrderCount(), 0);
  EXPECT_EQ(Army->GetDestinationZone(), W.Z(kzBrae));
  EXPECT_FALSE(E.IsImpulseRunning());
  ASSERT_FALSE(W.Sink.Records.empty());
  EXPECT_EQ(W.Sink.Records.front(), "3;" + std::to_string(Army->ID) + ";1;1;-1;0;");
}
