#include <gtest/gtest.h>

#include "foundation/MyUtils.h"

TEST(BitOfChar, ReadsAndWritesEachBit) {
  char C = 0;
  for (int Bit = 0; Bit < 8; ++Bit) {
    SetBitOfChar(C, Bit, true);
    EXPECT_TRUE(GetBitOfChar(C, Bit));
  }
  EXPECT_EQ(static_cast<unsigned char>(C), 255);
  SetBitOfChar(C, 7, false);
  EXPECT_EQ(static_cast<unsigned char>(C), 127);
  EXPECT_TRUE(GetBitOfChar('\x01', 0));
  EXPECT_FALSE(GetBitOfChar('\x01', 1));
  EXPECT_TRUE(GetBitOfChar('\x80', 7));
}

TEST(BitOfChar, RefusesBitNumbersOutsideAByte) {
  char C = 0;
  try {
    SetBitOfChar(C, 8, true);
    ADD_FAILURE();
  } catch (const EMyUtils& E) {
    EXPECT_STREQ(E.what(), "Value of 8 in SetBitOfChar");
  }
  EXPECT_THROW(GetBitOfChar(C, 8), EMyUtils);
  EXPECT_THROW(GetBitOfChar(C, -1), EMyUtils);
  EXPECT_EQ(C, 0);
}

TEST(ManhattanDistance, AddsTheAxisDistances) {
  EXPECT_EQ(ManhattanDistance({1, 5}, {4, 1}), 7);
  EXPECT_EQ(ManhattanDistance({-3, -3}, {-3, -3}), 0);
  EXPECT_EQ(ManhattanDistance({INT32_MIN, 0}, {INT32_MAX, 0}), INT32_MAX);
}
