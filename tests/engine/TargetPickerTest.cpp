// The running-sum picker of a shot's target gives, for every draw, the target that the walk
// over the opponents' values gives, also after hits have lowered their values.
#include <gtest/gtest.h>

#include <algorithm>

#include "engine/TargetPicker.h"
#include "engine/kit/RulesKit.h"

using namespace kit;

TEST(TargetPickerTest, GivesTheWalksTargetForEveryDraw) {
  TKitWorld W;
  TRandomGenerator Pick(8);
  std::int64_t Largest = 0;
  for (int N = 1; N <= 2; ++N)
    for (int T = 0; T < UnitTypeCount; ++T) W.N(N)->SetUnitCost(T, static_cast<std::uint16_t>(Pick.Random(4) == 0 ? 0 : Pick.Random(20) + 1));
  for (int Round = 0; Round < 30; ++Round) {
    std::vector<TUnit*> Opponents;
    const int Size = Round == 0 ? 1 : Pick.Random(12) + 1;
    for (int I = 0; I < Size; ++I) {
      TUnit* U = W.MakeUnit(1 + Pick.Random(2), ukArmy, kzHale, {});
      // Some opponents are worth nothing: no units, or every unit already hit.
      for (int T : {utArtillery, utInfantry, utArmor})
        if (Pick.Random(3) != 0) U->SetCount(T, static_cast<std::uint16_t>(Pick.Random(6)));
      if (Pick.Random(4) == 0)
        for (int T = 0; T < UnitTypeCount; ++T) U->SetDamaged(T, U->GetCount(T));
      Opponents.push_back(U);
    }
    TTargetPicker Picker;
    Picker.Reset(Opponents);
    for (int Hit = 0; Hit < 20; ++Hit) {
      std::int64_t Total = 0;
      for (TUnit* U : Opponents) Total += U->GetValue();
      ASSERT_EQ(Picker.Total(), Total);
      Largest = std::max(Largest, Total);
      for (std::int64_t R = 0; R <= Total + 2; ++R)
        ASSERT_EQ(Picker.Pick(R), PickTargetByWalk(Opponents, R)) << "round " << Round << " hit " << Hit << " draw " << R;
      // A hit on a random undamaged unit lowers that opponent's value by its cost.
      const int I = Pick.Random(Size);
      TUnit* U = Opponents[static_cast<std::size_t>(I)];
      for (int T = 0; T < UnitTypeCount; ++T)
        if (U->GetCount(T) > U->GetDamaged(T)) {
          U->SetDamaged(T, static_cast<std::uint16_t>(U->GetDamaged(T) + 1));
          Picker.Lower(I, U->GetOwner()->GetUnitCost(T));
          break;
        }
    }
  }
  // The lists were worth enough for the draws to pass many targets.
  EXPECT_GT(Largest, 50);
  TTargetPicker Empty;
  Empty.Reset({});
  EXPECT_EQ(Empty.Pick(0), -1);
}
