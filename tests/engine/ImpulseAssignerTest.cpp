#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/ExecutionRules.h"
#include "engine/ImpulseAssigner.h"

using TRows = std::vector<std::string>;

TEST(ImpulseAssigner, GeneratesRowsForTheNumberOfImpulses) {
  TImpulseAssigner A;
  EXPECT_EQ(A.GetImpulses(), 0);
  EXPECT_TRUE(A.GetImpulseActions().empty());
  struct TCase {
    int N;
    TRows Rows;
  };
  for (const TCase& Case : {TCase{-3, {}}, TCase{0, {}}, TCase{1, {"1"}}, TCase{2, {"01", "11"}},
                            TCase{3, {"001", "011", "111"}},
                            TCase{7, {"0000001", "0001001", "0010101", "0101010", "0110110", "0111111", "1111111"}}}) {
    A.SetImpulses(Case.N);
    EXPECT_EQ(A.GetImpulses(), Case.N);
    EXPECT_EQ(A.GetImpulseActions(), Case.Rows) << Case.N;
  }
}

// Ten impulses in extended precision: where r/10 has no exact binary form the accumulator
// falls just short of 1 at the last impulse: the row of speed 6 loses its tenth action, as
// the stored row has it.
TEST(ImpulseAssigner, TenImpulsesGeneratedDifferFromTheStoredRowsWhichWin) {
  TImpulseAssigner A;
  A.SetImpulses(10);
  const TRows Generated = {"0000000001", "0000100001", "0001001001", "0010100101", "0101010101",
                           "0101101011", "0110110110", "0111101111", "0111111110", "1111111111"};
  EXPECT_EQ(A.GetImpulseActions(), Generated);
  const TRows Stored(TImpulseAssigner::StoredImpulseActions.begin(), TImpulseAssigner::StoredImpulseActions.end());
  std::vector<int> Differ;
  for (int R = 0; R < 10; ++R)
    if (Generated[static_cast<std::size_t>(R)] != Stored[static_cast<std::size_t>(R)]) Differ.push_back(R);
  EXPECT_EQ(Differ, (std::vector<int>{1, 3, 4, 7}));

  const TImpulseAssigner Game = TImpulseAssigner::Standard();
  EXPECT_EQ(Game.GetImpulses(), 10);
  EXPECT_EQ(Game.GetImpulseActions(), Stored);
  // The rules' own table is the same schedule.
  for (int Impulse = 0; Impulse < 30; ++Impulse)
    for (int Speed = 0; Speed < 10; ++Speed)
      EXPECT_EQ(Game.IsActionImpulse(Impulse % 10, Speed), TExecutionRules::IsActionImpulse(Impulse, Speed))
          << "impulse " << Impulse << ", speed " << Speed;
}

TEST(ImpulseAssigner, ActionImpulseReadsTheRowAtTheOneBasedPosition) {
  TImpulseAssigner A;
  A.LoadImpulseActions({"1000000001", "0100000000", "01"});
  struct TCase {
    int Position, Row;
    bool Acts;
  };
  for (const TCase& Case : {TCase{1, 0, true}, TCase{0, 0, true}, TCase{-5, 0, true}, TCase{2, 0, false},
                            TCase{10, 0, true}, TCase{11, 0, false}, TCase{0, 1, false}, TCase{2, 1, true},
                            TCase{2, 2, true}, TCase{3, 2, false}, TCase{1, 3, false}, TCase{1, -1, false}})
    EXPECT_EQ(A.IsActionImpulse(Case.Position, Case.Row), Case.Acts) << Case.Position << ", row " << Case.Row;
  // Impulses written again generates anew.
  A.SetImpulses(2);
  EXPECT_EQ(A.GetImpulseActions(), (TRows{"01", "11"}));
}
