// The Standard world as the game starts it (its scenario and map set from the program folder)
// played for a few hundred impulses by a seeded stream of orders: the model holds together
// after every impulse and a guest that replays the records stays the same game.
#include <gtest/gtest.h>

#include <set>

#include "StandardMachine.h"
#include "engine/ImpulseSteps.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

TEST(StandardWorldRunTest, AFewHundredImpulsesOfSeededOrdersKeepTheModelWholeOnHostAndGuest) {
  TStandardMachine Host, Guest;
  kit::TForbiddenRandom None;
  Guest.Sink.Host = false;
  Guest.Engine.SetRandomGenerator(&None);
  Host.Engine.SetRandomSeed(1939);
  ASSERT_GT(Host.Engine.GetUnitCount(), 200);
  ASSERT_EQ(kit::CheckInvariants(Host.Engine), "");

  // The computer plays every power and the host sends every order: no users are online.
  kit::TRandomOrders Orders(917);
  Orders.HostilePercent = 0;
  std::set<int> Codes;
  const kit::TDumpOptions Shared{false, false};
  const TImpulseHooks HostHooks = kit::QueueOrdersHooks(Orders, 12);
  for (std::int32_t Impulse = 0; Impulse < kit::LongGameImpulses(300); ++Impulse) {
    Host.Sink.Records.clear();
    RunHostImpulse(Host.Engine, Impulse, HostHooks);
    const std::vector<std::string> Records = kit::UnframeChanges(kit::FrameChanges(Impulse, Host.Sink.Records));
    for (const std::string& Record : Records) Codes.insert(std::stoi(Record));
    RunGuestImpulse(Guest.Engine, Impulse, Records);
    for (TBrenmoorEngine* E : {&Host.Engine, &Guest.Engine})
      ASSERT_EQ(kit::CheckInvariants(*E), "") << "impulse " << Impulse << (E == &Host.Engine ? " host" : " guest");
    ASSERT_EQ(None.Draws(), 0);
    ASSERT_TRUE(Guest.Sink.Records.empty());
    ASSERT_EQ(kit::CompareStates(Host.Engine, Guest.Engine, Shared), "") << "impulse " << Impulse;
  }
  // The world was at war and at work: moves, combat, builds, storms (in the whole run).
  if (!kit::LongGamesRunInFull) return;
  for (int Code : {0, 3, 12, 21, 22, 23, 26, 27}) EXPECT_TRUE(Codes.count(Code)) << "change " << Code;
}
