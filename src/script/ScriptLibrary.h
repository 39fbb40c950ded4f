#pragma once
// The text building of the script library: "format" fills placeholders with values, and
// "formatdatetime" writes a day count with date-time pattern letters. Both are our own code,
// the same on every machine whatever the user's locale; script text never reaches the C
// library's printf.
#include <string>
#include <string_view>
#include <vector>

#include "foundation/DateUtils.h"
#include "script/ScriptValue.h"

// Pattern filled in with one value. Placeholders: "%" [index ":"] ["-"] [width] ["." prec]
// type, with type d (integer), u (unsigned), x (hexadecimal), e, f, g, n (number with
// thousands separators), m (money) and s (text); "%%" is one "%". A placeholder that is
// malformed, that has no value left, or whose type does not fit the value raises
// EValueError "Format '<pattern>' invalid or incompatible with argument".
std::string FormatValue(std::string_view Pattern, const TValue& Value);

// The script's "format": piece by piece, each value with the part of Format that leads up
// to the next placeholder (text before the first goes with the first piece, text after the
// last with the last value's piece). No values give the empty text; placeholders beyond the
// values are lost with their text. "%%" is a "%" of the text.
std::string FormatPiecewise(std::string_view Format, const std::vector<const TValue*>& Values);

// Date written with pattern letters: d dd ddd dddd ddddd (m/d/yyyy) dddddd (dddd, mmmm d,
// yyyy), m mm mmm mmmm (minutes right after h or hh), yy yyyy, h hh, n nn, s ss, z zzz,
// am/pm a/p ampm (12-hour clock), t (h:nn ampm), tt (h:nn:ss ampm), c (date, and the time
// when there is one), "/" and ":"; text in double or single quotes is copied. A day count
// outside the years 1..9999 raises EValueError.
std::string FormatDateTime(std::string_view Pattern, TDateTime Value);

// The current local date and time as a day count.
TDateTime NowDateTime();
