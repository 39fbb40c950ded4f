// The steps of one impulse run in one order on every machine: the number, the date, the
// computer player's turn (host only), the reset, the orders or the replay, the supply upkeep,
// the visibility, the window's map work, the rest of the upkeep and the next number.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/ImpulseSteps.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/RandomOrders.h"
#include "engine/kit/RulesKit.h"

namespace {

using kit::TKitWorld;

// Marks that each step leaves in the kit's world, set before the impulse, and a hook that reads
// them back: which steps ran before the hook shows in what it reads.
class TStepTrace {
public:
  explicit TStepTrace(TKitWorld& W) : FWorld(W), FStart(W.Engine().GetDate()) {
    W.Engine().SetImpulse(0);
    W.Z(0)->SetBombCount(2);  // BeginImpulse clears it
    W.Z(0)->SetIncome(-5);    // SupplyUpkeep sets it anew
    W.N(3)->SetCountdown(5);  // EndImpulseUpkeep lowers it
    for (int Z = 0; Z < W.Engine().GetZoneCount(); ++Z) W.Z(Z)->SetSeenBy(0);  // UpdateVisibility sets it
  }

  std::string Read(const char* Where) {
    TBrenmoorEngine& E = FWorld.Engine();
    return std::string(Where) + " impulse=" + std::to_string(E.GetImpulse()) + " days=" + std::to_string(E.GetDate() - FStart) +
           " bombs=" + std::to_string(FWorld.Z(0)->GetBombCount()) + " income=" + (FWorld.Z(0)->GetIncome() == -5 ? "old" : "new") +
           " seen=" + (FWorld.Z(0)->GetSeenBy() != 0 ? "yes" : "no") + " countdown=" + std::to_string(FWorld.N(3)->GetCountdown()) +
           " queued=" + std::to_string(E.GetOrderCount());
  }

  TImpulseHooks Hooks(bool QueueOrder) {
    TImpulseHooks H;
    H.OnComputerTurn = [this](TBrenmoorEngine* Sender, std::int32_t Impulse) {
      EXPECT_EQ(Sender, &FWorld.Engine());
      Lines.push_back(Read("turn") + " of " + std::to_string(Impulse));
    };
    H.OnCollectOrders = [this, QueueOrder](TBrenmoorEngine* Sender, std::int32_t) {
      Lines.push_back(Read("orders"));
      if (QueueOrder) Sender->QueueOrder(rec::None(rec::TUnitId(-1)), "Host");  // an order of nothing: the rules take it and drop it
    };
    H.OnMapWork = [this](TBrenmoorEngine*, std::int32_t Impulse) { Lines.push_back(Read("map") + " of " + std::to_string(Impulse)); };
    return H;
  }

  std::vector<std::string> Lines;

private:
  TKitWorld& FWorld;
  TDateTime FStart;
};

TEST(ImpulseStepsTest, AHostImpulseRunsItsStepsInTheGamesOrder) {
  TKitWorld W;
  TStepTrace Trace(W);
  const TDateTime Start = W.Engine().GetDate();
  EXPECT_EQ(RunHostImpulse(W.Engine(), 8, Trace.Hooks(true)), Start);
  Trace.Lines.push_back(Trace.Read("after"));
  EXPECT_EQ(Trace.Lines, (std::vector<std::string>{
                             "turn impulse=8 days=3.000000 bombs=2 income=old seen=no countdown=5 queued=0 of 8",
                             "orders impulse=8 days=3.000000 bombs=0 income=old seen=no countdown=5 queued=0",
                             "map impulse=8 days=3.000000 bombs=0 income=new seen=yes countdown=5 queued=0 of 8",
                             "after impulse=9 days=3.000000 bombs=0 income=new seen=yes countdown=4 queued=0",
                         }));
}

TEST(ImpulseStepsTest, AGuestImpulseHasNoTurnAndNoOrdersButTheSameUpkeep) {
  TKitWorld W;
  W.Sink.Host = false;
  TStepTrace Trace(W);
  const TDateTime Start = W.Engine().GetDate();
  EXPECT_EQ(RunGuestImpulse(W.Engine(), 8, {"6;;"}, Trace.Hooks(false)), Start);
  Trace.Lines.push_back(Trace.Read("after"));
  EXPECT_EQ(Trace.Lines, (std::vector<std::string>{
                             "map impulse=8 days=3.000000 bombs=0 income=new seen=yes countdown=5 queued=0 of 8",
                             "after impulse=9 days=3.000000 bombs=0 income=new seen=yes countdown=4 queued=0",
                         }));
  // The pieces the window's clock handlers call, on a machine that is not the host: no turn.
  Trace.Lines.clear();
  EXPECT_EQ(BeforeImpulse(W.Engine(), 9, false, Trace.Hooks(false)), Start + 3);
  AfterImpulse(W.Engine(), Trace.Hooks(false));
  EXPECT_EQ(Trace.Lines.size(), 1u);
  EXPECT_EQ(W.Engine().GetImpulse(), 10);
}

// A host and a guest that play whole impulses, the guest from the host's records, stay one
// game, and the date of both moves on by the impulse rate once per impulse.
TEST(ImpulseStepsTest, HostAndGuestWholeImpulsesStayOneGameAndAdvanceTheDateOncePerImpulse) {
  TKitWorld Host, Guest;
  Guest.Sink.Host = false;
  kit::TForbiddenRandom None;
  Guest.Engine().SetRandomGenerator(&None);
  Host.Engine().SetRandomSeed(34);
  for (TKitWorld* W : {&Host, &Guest}) W->Engine().Upkeep().UpdateVisibility(0);
  kit::TRandomOrders Orders(71);
  TImpulseHooks HostHooks;
  int Turns = 0;
  HostHooks.OnComputerTurn = [&Turns](TBrenmoorEngine*, std::int32_t) { ++Turns; };
  HostHooks.OnCollectOrders = [&Orders](TBrenmoorEngine* E, std::int32_t) {
    for (const kit::TGeneratedOrder& O : Orders.Generate(*E, 8)) E->QueueOrder(O.Record, O.Sender);
  };
  const TDateTime Start = Host.Engine().GetDate();
  const double Rate = Host.Engine().GetImpulseRate();
  const int Impulses = 60;
  std::size_t Records = 0;
  for (std::int32_t I = 0; I < Impulses; ++I) {
    Host.Sink.Records.clear();
    EXPECT_EQ(RunHostImpulse(Host.Engine(), I, HostHooks), Start + I * Rate);
    Records += Host.Sink.Records.size();
    EXPECT_EQ(RunGuestImpulse(Guest.Engine(), I, kit::UnframeChanges(kit::FrameChanges(I, Host.Sink.Records))), Start + I * Rate);
    ASSERT_EQ(None.Draws(), 0) << I;
    ASSERT_TRUE(Guest.Sink.Records.empty()) << I;
    ASSERT_EQ(kit::CompareStates(Host.Engine(), Guest.Engine(), kit::TDumpOptions{false, false}), "") << I;
  }
  EXPECT_EQ(Turns, Impulses);
  EXPECT_GT(Records, 0u);
  for (TKitWorld* W : {&Host, &Guest}) {
    EXPECT_EQ(W->Engine().GetDate(), Start + Impulses * Rate);
    EXPECT_EQ(W->Engine().GetImpulse(), Impulses);
  }
}

// The two-engine harness plays its impulses by the same steps: the date moves on there too.
TEST(ImpulseStepsTest, TheTwoEngineHarnessAdvancesTheDateOncePerImpulse) {
  kit::TTwoEngineHarness Game(5);
  const TDateTime Start = Game.Host().Engine().GetDate();
  for (int I = 0; I < 4; ++I) ASSERT_EQ(Game.RunImpulse({}), "");
  for (TKitWorld* W : {&Game.Host(), &Game.Guest()}) {
    EXPECT_EQ(W->Engine().GetDate(), Start + 4 * W->Engine().GetImpulseRate());
    EXPECT_EQ(W->Engine().GetImpulse(), 4);
  }
}

}  // namespace
