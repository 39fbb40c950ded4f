#include <gtest/gtest.h>

#include "engine/kit/RulesKit.h"
#include "players/ScriptModule.h"

namespace {

TEST(ScriptModule, EachMajorSlotHasItsBrainAndEveryOtherNationTheLast) {
  kit::TKitWorld World;
  TdmScript Module;
  for (int I = 0; I < TdmScript::BrainCount; ++I) {
    EXPECT_EQ(Module.GetBrain(I).GetPlayerIndex(), I);
    EXPECT_FALSE(Module.GetBrain(I).Exceptions());
  }
  for (int I = 0; I < World.Engine().GetNationCount(); ++I)
    EXPECT_EQ(&Module.BrainForPlayer(World.N(I)), &Module.GetBrain(I < 6 ? I : 6));
}

}  // namespace
