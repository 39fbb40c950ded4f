#pragma once
// Numbers to and from text, the same on every machine whatever the user's locale:
// "." is the decimal separator and no thousands separators are written or read.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "foundation/Exception.h"

// Raised when a text is not the number it should be.
class EConvertError : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// Optional sign and decimal digits, within 32 bits; nothing else.
std::optional<std::int32_t> TryStrToInt(std::string_view Text);
// The integer, or Default when the text is not one.
std::int32_t StrToIntDef(std::string_view Text, std::int32_t Default);
// The integer; raises EConvertError "'x' is not a valid integer value" when the text is not one.
std::int32_t StrToInt(std::string_view Text);
// Optional sign and decimal digits, within 64 bits.
std::optional<std::int64_t> TryStrToInt64(std::string_view Text);

// Optional sign, digits, an optional "." fraction and an optional exponent ("E" or "e",
// optional sign, digits); at least one digit before the exponent.
std::optional<long double> TryStrToFloat(std::string_view Text);
// Raises EConvertError "'x' is not a valid floating point value" when the text is not a number.
long double StrToFloat(std::string_view Text);

std::string IntToStr(std::int64_t Value);
// 15 significant digits without trailing zeros; exponent form ("1.5E-7", "1E15") only when
// the decimal exponent is below -5 or at least 15. Infinities and NaN give "INF", "-INF", "NAN".
std::string FloatToStr(long double Value);
