#include <gtest/gtest.h>

#include "foundation/Bitset.h"

TEST(BitSet, CapacityIsWholeBytes) {
  TBitSet B;
  B.SetCapacity(10);
  EXPECT_EQ(B.Capacity(), 16);
  B.SetBit(3, true);
  B.SetCapacity(16);
  EXPECT_FALSE(B.GetBit(3));  // a new capacity clears every bit
  B.SetCapacity(0);
  EXPECT_EQ(B.Capacity(), 0);
  EXPECT_FALSE(B.GetBit(0));
  B.SetBit(0, true);  // no storage: nothing happens
  EXPECT_FALSE(B.GetBit(0));
}

TEST(BitSet, WritesRunLengthText) {
  const struct {
    std::vector<int> Set;
    const char* Text;
  } Cases[] = {
      {{2, 3}, "02:2:12:"},
      {{}, "016:"},
      {{0}, "11:15:"},
      {{15}, "015:1:"},
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15}, "116:"},
  };
  for (const auto& C : Cases) {
    TBitSet B;
    B.SetCapacity(16);
    for (int I : C.Set) B.SetBit(I, true);
    EXPECT_EQ(B.GetAsText(), C.Text);
    TBitSet Copy;
    Copy.SetCapacity(16);
    Copy.Assign(B);
    for (int I = 0; I < 16; ++I) EXPECT_EQ(Copy.GetBit(I), B.GetBit(I)) << C.Text << " bit " << I;
  }
  TBitSet Empty;
  EXPECT_EQ(Empty.GetAsText(), "0");
}

TEST(BitSet, ReadsRunLengthTextAndKeepsBitsAfterTheLastRun) {
  TBitSet B;
  B.SetCapacity(16);
  B.SetAll(true);
  B.SetAsText("03:2:");
  for (int I = 0; I < 3; ++I) EXPECT_FALSE(B.GetBit(I));
  EXPECT_TRUE(B.GetBit(3));
  EXPECT_TRUE(B.GetBit(4));
  EXPECT_TRUE(B.GetBit(15));
  B.SetDelimiter(',');
  B.SetAsText("12,");
  EXPECT_EQ(B.GetAsText(), "12,1,13,");
}

TEST(BitSet, TextThatDescribesTooManyBitsStopsAtTheCapacity) {
  TBitSet B;
  B.SetCapacity(8);
  B.SetAsText("12000000000:5:");
  EXPECT_EQ(B.GetAsText(), "18:");
  B.SetAsText("0-4:x:3:");  // bad lengths count as empty runs
  EXPECT_EQ(B.GetAsText(), "03:5:");
  EXPECT_FALSE(B.GetBit(-1));
  EXPECT_FALSE(B.GetBit(8));
  B.SetBit(8, true);
  B.SetBit(-1, true);
  EXPECT_EQ(B.GetAsText(), "03:5:");
}
