#pragma once
// Game dates: days since 30 December 1899 as a double (the fraction is the time of day);
// 0 means "no date". Written and read as "m/d/yyyy" whatever the user's locale.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Exception.h"

using TDateTime = double;

class EDateError : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

struct TDateParts {
  int Year = 0;
  int Month = 0;
  int Day = 0;
};

bool IsLeapYear(int Year);
int DaysInMonth(int Year, int Month);
// The date of Year (1..9999), Month, Day, or nothing when they are not a date.
std::optional<TDateTime> TryEncodeDate(int Year, int Month, int Day);
// Raises EDateError "Invalid argument to date encode" when they are not a date.
TDateTime EncodeDate(int Year, int Month, int Day);
// The calendar date of a day number (its time of day ignored).
TDateParts DecodeDate(TDateTime Date);
// 1 for Sunday .. 7 for Saturday.
int DayOfWeek(TDateTime Date);
// "m/d/yyyy", as "11/1/1940".
std::string DateToStr(TDateTime Date);
// "m/d/yyyy" (a one- to four-digit year taken as it stands); nothing when it is not a date.
std::optional<TDateTime> TryStrToDate(std::string_view Text);
