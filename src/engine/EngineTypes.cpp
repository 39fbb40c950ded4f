#include "engine/EngineTypes.h"

#include <charconv>
#include <cmath>
#include <limits>

#include "foundation/DateUtils.h"
#include "foundation/NumberText.h"

std::string SingleToStr(float Value) {
  if (!std::isfinite(Value)) return FloatToStr(static_cast<long double>(Value));
  // The shortest digits that give Value back as a float32, then written as the game writes
  // every number (so 1.05f is "1.05", not its double expansion).
  char Buffer[64];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value);
  const double Shortest = static_cast<double>(StrToFloat(std::string_view(Buffer, static_cast<std::size_t>(Result.ptr - Buffer))));
  return FloatToStr(static_cast<long double>(Shortest));
}

namespace {
// Within Limit, infinities and NaN never are.
bool Within(long double Value, long double Limit) { return std::fabs(Value) <= Limit; }
}  // namespace

std::optional<float> TryStrToSingle(std::string_view Text) {
  const auto Value = TryStrToFloat(Text);
  if (!Value || !Within(*Value, std::numeric_limits<float>::max())) return std::nullopt;
  return static_cast<float>(*Value);
}

float StrToSingle(std::string_view Text) {
  const long double Value = StrToFloat(Text);
  if (!Within(Value, std::numeric_limits<float>::max()))
    throw EConvertError("'" + std::string(Text) + "' is out of range for a floating point value");
  return static_cast<float>(Value);
}

double StrToFiniteDouble(std::string_view Text) {
  const long double Value = StrToFloat(Text);
  if (!Within(Value, std::numeric_limits<double>::max()))
    throw EConvertError("'" + std::string(Text) + "' is out of range for a floating point value");
  return static_cast<double>(Value);
}

std::string FormatTwoDecimals(double Value) {
  if (!std::isfinite(Value)) return FloatToStr(static_cast<long double>(Value));
  char Buffer[400];
  const auto Result = std::to_chars(Buffer, Buffer + sizeof Buffer, Value, std::chars_format::fixed, 2);
  std::string Text(Buffer, Result.ptr);
  if (Text == "-0.00") Text = "0.00";
  return Text;
}

std::string LongDateToStr(double Date) {
  static constexpr const char* MonthNames[] = {"January", "February", "March",     "April",   "May",      "June",
                                               "July",    "August",   "September", "October", "November", "December"};
  const TDateParts D = DecodeDate(Date);
  if (D.Month < 1 || D.Month > 12) return DateToStr(Date);
  return std::string(MonthNames[D.Month - 1]) + " " + IntToStr(D.Day) + ", " + IntToStr(D.Year);
}
