#include "foundation/NumberText.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace {

bool IsDigit(char C) { return C >= '0' && C <= '9'; }

// Checks the float grammar exactly, so from_chars is never asked to guess.
bool IsFloatText(std::string_view T) {
  std::size_t I = 0;
  if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
  std::size_t Digits = 0;
  while (I < T.size() && IsDigit(T[I])) { ++I; ++Digits; }
  if (I < T.size() && T[I] == '.') {
    ++I;
    while (I < T.size() && IsDigit(T[I])) { ++I; ++Digits; }
  }
  if (Digits == 0) return false;
  if (I < T.size() && (T[I] == 'e' || T[I] == 'E')) {
    ++I;
    if (I < T.size() && (T[I] == '+' || T[I] == '-')) ++I;
    std::size_t ExpDigits = 0;
    while (I < T.size() && IsDigit(T[I])) { ++I; ++ExpDigits; }
    if (ExpDigits == 0) return false;
  }
  return I == T.size();
}

template <class Int>
std::optional<Int> ParseInt(std::string_view Text) {
  std::size_t I = 0;
  bool Negative = false;
  if (I < Text.size() && (Text[I] == '+' || Text[I] == '-')) {
    Negative = Text[I] == '-';
    ++I;
  }
  if (I == Text.size()) return std::nullopt;
  // Accumulate negatively so the smallest value fits.
  Int Value = 0;
  for (; I < Text.size(); ++I) {
    if (!IsDigit(Text[I])) return std::nullopt;
    const Int Digit = Text[I] - '0';
    if (Value < (std::numeric_limits<Int>::min() + Digit) / 10) return std::nullopt;
    Value = Value * 10 - Digit;
  }
  if (!Negative) {
    if (Value == std::numeric_limits<Int>::min()) return std::nullopt;
    Value = -Value;
  }
  return Value;
}

}  // namespace

std::optional<std::int32_t> TryStrToInt(std::string_view Text) { return ParseInt<std::int32_t>(Text); }

std::optional<std::int64_t> TryStrToInt64(std::string_view Text) { return ParseInt<std::int64_t>(Text); }

std::int32_t StrToIntDef(std::string_view Text, std::int32_t Default) {
  return TryStrToInt(Text).value_or(Default);
}

std::int32_t StrToInt(std::string_view Text) {
  if (auto V = TryStrToInt(Text)) return *V;
  throw EConvertError("'" + std::string(Text) + "' is not a valid integer value");
}

std::optional<long double> TryStrToFloat(std::string_view Text) {
  if (!IsFloatText(Text)) return std::nullopt;
  std::string_view T = Text;
  bool Negative = false;
  if (T.front() == '+' || T.front() == '-') {
    Negative = T.front() == '-';
    T.remove_prefix(1);
  }
  long double Value = 0;
  const auto [Ptr, Ec] = std::from_chars(T.data(), T.data() + T.size(), Value, std::chars_format::general);
  if (Ec == std::errc::result_out_of_range) {
    // Too large is infinite, too small is zero (from_chars leaves Value alone then). A number
    // is too small when its exponent is negative or its whole part is all zeros.
    const std::size_t E = T.find_first_of("eE");
    const std::string_view Whole = T.substr(0, std::min(T.find('.'), E));
    const bool Tiny = (E != std::string_view::npos && E + 1 < T.size() && T[E + 1] == '-') ||
                      Whole.find_first_not_of('0') == std::string_view::npos;
    Value = Tiny ? 0.0L : std::numeric_limits<long double>::infinity();
  } else if (Ec != std::errc() || Ptr != T.data() + T.size()) {
    return std::nullopt;
  }
  return Negative ? -Value : Value;
}

long double StrToFloat(std::string_view Text) {
  if (auto V = TryStrToFloat(Text)) return *V;
  throw EConvertError("'" + std::string(Text) + "' is not a valid floating point value");
}

std::string IntToStr(std::int64_t Value) {
  char Buf[32];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, Value);
  return std::string(Buf, R.ptr);
}

std::string FloatToStr(long double Value) {
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  if (Value == 0) return "0";

  // d.dddddddddddddde[+-]x: 15 significant digits, correctly rounded.
  char Buf[64];
  const auto R = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific, 14);
  std::string_view Sci(Buf, R.ptr - Buf);
  std::string Sign;
  if (Sci.front() == '-') {
    Sign = "-";
    Sci.remove_prefix(1);
  }
  const std::size_t EPos = Sci.find('e');
  std::string Digits;
  for (char C : Sci.substr(0, EPos))
    if (C != '.') Digits += C;
  while (Digits.size() > 1 && Digits.back() == '0') Digits.pop_back();
  int Exp = 0;
  std::from_chars(Sci.data() + EPos + 1 + (Sci[EPos + 1] == '+'), Sci.data() + Sci.size(), Exp);

  std::string Out = Sign;
  if (Exp < -5 || Exp >= 15) {
    Out += Digits[0];
    if (Digits.size() > 1) Out += "." + Digits.substr(1);
    Out += "E" + std::to_string(Exp);
  } else if (Exp < 0) {
    Out += "0." + std::string(static_cast<std::size_t>(-Exp - 1), '0') + Digits;
  } else {
    const std::size_t IntLen = static_cast<std::size_t>(Exp) + 1;
    if (Digits.size() <= IntLen) {
      Out += Digits + std::string(IntLen - Digits.size(), '0');
    } else {
      Out += Digits.substr(0, IntLen) + "." + Digits.substr(IntLen);
    }
  }
  return Out;
}
