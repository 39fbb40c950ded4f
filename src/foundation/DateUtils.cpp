#include "foundation/DateUtils.h"

#include <cmath>

#include "foundation/StringUtils.h"

namespace {

// Days from 1 January of year 1 to the given date of the proleptic Gregorian calendar.
std::int64_t DaysFromCivil(int Y, int M, int D) {
  Y -= M <= 2;
  const std::int64_t Era = (Y >= 0 ? Y : Y - 399) / 400;
  const std::int64_t Yoe = Y - Era * 400;
  const std::int64_t Doy = (153 * (M + (M > 2 ? -3 : 9)) + 2) / 5 + D - 1;
  const std::int64_t Doe = Yoe * 365 + Yoe / 4 - Yoe / 100 + Doy;
  return Era * 146097 + Doe - 719468;  // days since 1 January 1970
}

const std::int64_t kEpoch1899 = DaysFromCivil(1899, 12, 30);

}  // namespace

bool IsLeapYear(int Year) { return (Year % 4 == 0 && Year % 100 != 0) || Year % 400 == 0; }

int DaysInMonth(int Year, int Month) {
  static const int Days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (Month < 1 || Month > 12) return 0;
  return Month == 2 && IsLeapYear(Year) ? 29 : Days[Month - 1];
}

std::optional<TDateTime> TryEncodeDate(int Year, int Month, int Day) {
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInMonth(Year, Month))
    return std::nullopt;
  return static_cast<TDateTime>(DaysFromCivil(Year, Month, Day) - kEpoch1899);
}

TDateTime EncodeDate(int Year, int Month, int Day) {
  if (auto D = TryEncodeDate(Year, Month, Day)) return *D;
  throw EDateError("Invalid argument to date encode");
}

TDateParts DecodeDate(TDateTime Date) {
  std::int64_t Z = static_cast<std::int64_t>(std::floor(Date)) + kEpoch1899 + 719468;
  const std::int64_t Era = (Z >= 0 ? Z : Z - 146096) / 146097;
  const std::int64_t Doe = Z - Era * 146097;
  const std::int64_t Yoe = (Doe - Doe / 1460 + Doe / 36524 - Doe / 146096) / 365;
  const std::int64_t Doy = Doe - (365 * Yoe + Yoe / 4 - Yoe / 100);
  const std::int64_t Mp = (5 * Doy + 2) / 153;
  TDateParts P;
  P.Day = static_cast<int>(Doy - (153 * Mp + 2) / 5 + 1);
  P.Month = static_cast<int>(Mp < 10 ? Mp + 3 : Mp - 9);
  P.Year = static_cast<int>(Yoe + Era * 400 + (P.Month <= 2));
  return P;
}

int DayOfWeek(TDateTime Date) {
  // Day 0 (30 December 1899) was a Saturday.
  const std::int64_t D = static_cast<std::int64_t>(std::floor(Date));
  return static_cast<int>(((D % 7) + 7 + 6) % 7) + 1;
}

std::string DateToStr(TDateTime Date) {
  const TDateParts P = DecodeDate(Date);
  return std::to_string(P.Month) + "/" + std::to_string(P.Day) + "/" + std::to_string(P.Year);
}

std::optional<TDateTime> TryStrToDate(std::string_view Text) {
  std::string S(Text);
  const auto M = TryStrToInt(NextToken(S, "/"));
  const auto D = TryStrToInt(NextToken(S, "/"));
  const auto Y = TryStrToInt(S);
  if (!M || !D || !Y) return std::nullopt;
  return TryEncodeDate(*Y, *M, *D);
}
