#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "foundation/DateUtils.h"
#include "foundation/MyUtils.h"
#include "foundation/Rounding.h"

TEST(Date, CountsDaysFromTheEndOf1899) {
  EXPECT_EQ(EncodeDate(1899, 12, 30), 0.0);
  EXPECT_EQ(EncodeDate(1900, 1, 1), 2.0);
  EXPECT_EQ(EncodeDate(1940, 11, 1), 14916.0);
  EXPECT_EQ(EncodeDate(2000, 3, 1), 36586.0);
  EXPECT_EQ(EncodeDate(1899, 12, 29), -1.0);
  EXPECT_THROW(EncodeDate(1941, 2, 29), EDateError);
  EXPECT_FALSE(TryEncodeDate(0, 1, 1));
  EXPECT_FALSE(TryEncodeDate(1940, 13, 1));
  EXPECT_TRUE(TryEncodeDate(1940, 2, 29));
  EXPECT_FALSE(TryEncodeDate(1900, 2, 29));
  EXPECT_TRUE(TryEncodeDate(2000, 2, 29));
}

TEST(Date, DecodesAndWritesEveryDayOfAFewCenturies) {
  for (int Year : {1, 1600, 1899, 1900, 1939, 1945, 2000, 2100, 9999}) {
    for (int Month = 1; Month <= 12; ++Month) {
      for (int Day = 1; Day <= DaysInMonth(Year, Month); ++Day) {
        const TDateTime D = EncodeDate(Year, Month, Day);
        const TDateParts P = DecodeDate(D + 0.75);
        ASSERT_EQ(P.Year, Year);
        ASSERT_EQ(P.Month, Month);
        ASSERT_EQ(P.Day, Day);
        ASSERT_EQ(TryStrToDate(DateToStr(D)), D);
      }
    }
  }
  EXPECT_EQ(DateToStr(EncodeDate(1940, 11, 1)), "11/1/1940");
  EXPECT_EQ(DayOfWeek(EncodeDate(1941, 12, 7)), 1);  // a Sunday
  EXPECT_EQ(DayOfWeek(0), 7);                        // a Saturday
  EXPECT_FALSE(TryStrToDate("11/31/1940"));
  EXPECT_FALSE(TryStrToDate("11-1-1940"));
}

TEST(StrToDateMDY, ReadsTheScenarioDates) {
  const struct {
    const char* Text;
    TDateTime Expected;
  } Cases[] = {
      {"11/1/1940", EncodeDate(1940, 11, 1)},
      {"2/30/41", 0},
      {"1/1/00", EncodeDate(2000, 1, 1)},
      {"1/1/1900", EncodeDate(2000, 1, 1)},
      {"1/1/1899", EncodeDate(1999, 1, 1)},
      {"9/1/39", EncodeDate(1939, 9, 1)},
      {"9/1/1901", EncodeDate(1901, 9, 1)},
      {"9/1/x", EncodeDate(2000, 9, 1)},
      {"", 0},
      {"13/1/1940", 0},
      {"garbage", 0},
  };
  for (const auto& C : Cases) EXPECT_EQ(StrToDateMDY(C.Text), C.Expected) << C.Text;
}

TEST(RoundHalfEven, RoundsTiesToEven) {
  const struct {
    double Value;
    std::int64_t Expected;
  } Cases[] = {{0.5, 0},   {1.5, 2},   {2.5, 2},   {-0.5, 0},  {-1.5, -2}, {-2.5, -2},
               {2.4999, 2}, {2.5001, 3}, {-2.5001, -3}, {7.0, 7},   {0.0, 0},
               {4503599627370495.5, 4503599627370496}};
  for (const auto& C : Cases) EXPECT_EQ(RoundHalfEven(C.Value), C.Expected) << C.Value;
  EXPECT_EQ(RoundHalfEven(std::numeric_limits<double>::quiet_NaN()), 0);
  EXPECT_EQ(RoundHalfEven(1e300), std::numeric_limits<std::int64_t>::max());
  EXPECT_EQ(RoundHalfEven(-1e300), std::numeric_limits<std::int64_t>::min());
  EXPECT_EQ(RoundHalfEven32(1e10), std::numeric_limits<std::int32_t>::max());
  EXPECT_EQ(RoundHalfEven32(-3.5), -4);
}
