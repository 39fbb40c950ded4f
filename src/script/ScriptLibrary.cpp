#include "script/ScriptLibrary.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <ctime>

#include "foundation/NumberText.h"

namespace {

[[noreturn]] void BadFormat(std::string_view Pattern) {
  throw EValueError("Format '" + std::string(Pattern) + "' invalid or incompatible with argument");
}

// Significant digits and decimal exponent of a finite double rounded to Digits (1..18)
// significant digits: Value = 0.d1d2d3... * 10^(Exponent + 1), i.e. d1 stands at 10^Exponent.
struct TDigits {
  bool Negative = false;
  std::string Digits;  // exactly the requested count
  int Exponent = 0;
};

TDigits Significant(double Value, int Digits) {
  TDigits R;
  R.Negative = std::signbit(Value) && Value != 0;
  char Buf[64];
  const auto Res = std::to_chars(Buf, Buf + sizeof Buf, std::fabs(Value), std::chars_format::scientific, Digits - 1);
  const std::string_view Text(Buf, static_cast<std::size_t>(Res.ptr - Buf));
  const std::size_t E = Text.find('e');
  for (std::size_t I = 0; I < E; ++I)
    if (Text[I] != '.') R.Digits += Text[I];
  int Exp = 0;
  std::from_chars(Text.data() + E + (Text[E + 1] == '+' ? 2 : 1), Text.data() + Text.size(), Exp);
  R.Exponent = Exp;
  return R;
}

std::string Fixed(double Value, int Decimals) {
  char Buf[400];
  const auto Res = std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::fixed, Decimals);
  std::string S(Buf, static_cast<std::size_t>(Res.ptr - Buf));
  if (S.size() > 1 && S[0] == '-' && S.find_first_not_of("-0.") == std::string::npos) S.erase(0, 1);  // no "-0.00"
  return S;
}

// "1234567.89" as "1,234,567.89" (a leading "-" stays in front).
std::string WithThousands(const std::string& S) {
  const std::size_t Start = S[0] == '-' ? 1 : 0;
  std::size_t Point = S.find('.');
  if (Point == std::string::npos) Point = S.size();
  std::string R = S.substr(0, Start);
  for (std::size_t I = Start; I < Point; ++I) {
    R += S[I];
    const std::size_t Left = Point - I - 1;
    if (Left > 0 && Left % 3 == 0) R += ',';
  }
  return R + S.substr(Point);
}

std::string Scientific(double Value, int Digits) {
  const TDigits D = Significant(Value, Digits);
  std::string S = D.Negative ? "-" : "";
  S += D.Digits[0];
  if (D.Digits.size() > 1) S += "." + D.Digits.substr(1);
  S += D.Exponent < 0 ? "E-" : "E+";
  std::string E = IntToStr(std::abs(D.Exponent));
  while (E.size() < 3) E = "0" + E;
  return S + E;
}

std::string General(double Value, int Digits) {
  if (Value == 0) return "0";
  TDigits D = Significant(Value, Digits);
  while (D.Digits.size() > 1 && D.Digits.back() == '0') D.Digits.pop_back();
  std::string S = D.Negative ? "-" : "";
  if (D.Exponent < -5 || D.Exponent >= Digits) {
    S += D.Digits[0];
    if (D.Digits.size() > 1) S += "." + D.Digits.substr(1);
    return S + "E" + IntToStr(D.Exponent);
  }
  if (D.Exponent < 0) return S + "0." + std::string(static_cast<std::size_t>(-D.Exponent - 1), '0') + D.Digits;
  const std::size_t IntDigits = static_cast<std::size_t>(D.Exponent + 1);
  if (D.Digits.size() <= IntDigits) return S + D.Digits + std::string(IntDigits - D.Digits.size(), '0');
  return S + D.Digits.substr(0, IntDigits) + "." + D.Digits.substr(IntDigits);
}

bool IsNumber(const TValue& V) { return V.Kind() == vkInteger || V.Kind() == vkFloat; }

// Reads a run of decimal digits at I (at most 4, so a width cannot be absurd).
bool ReadNumber(std::string_view P, std::size_t& I, int& Number) {
  const std::size_t Start = I;
  Number = 0;
  while (I < P.size() && P[I] >= '0' && P[I] <= '9') {
    if (I - Start >= 4) return false;
    Number = Number * 10 + (P[I] - '0');
    ++I;
  }
  return true;
}

const char* const ShortDays[] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
const char* const LongDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
const char* const ShortMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
const char* const LongMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                  "July",    "August",   "September", "October", "November", "December"};

std::string TwoDigits(int V) { return (V < 10 ? "0" : "") + IntToStr(V); }

char Lower(char C) { return C >= 'A' && C <= 'Z' ? static_cast<char>(C - 'A' + 'a') : C; }

bool StartsWithNoCase(std::string_view S, std::size_t I, std::string_view Word) {
  if (S.size() - I < Word.size()) return false;
  for (std::size_t K = 0; K < Word.size(); ++K)
    if (Lower(S[I + K]) != Word[K]) return false;
  return true;
}

struct TDateTimeParts {
  int Year, Month, Day, DayOfWeek;  // DayOfWeek 1 = Sunday
  int Hour, Minute, Second, MSec;
};

void WriteDateTime(std::string_view P, const TDateTimeParts& T, std::string& Out, int Depth);

void WriteAmPm(std::string_view P, std::size_t& I, const TDateTimeParts& T, std::string& Out) {
  const bool Pm = T.Hour >= 12;
  // "am/pm" and "a/p" are written in the case the pattern has them.
  if (StartsWithNoCase(P, I, "am/pm")) {
    Out.append(P.substr(Pm ? I + 3 : I, 2));
    I += 5;
  } else if (StartsWithNoCase(P, I, "a/p")) {
    Out += P[Pm ? I + 2 : I];
    I += 3;
  } else {  // ampm
    Out += Pm ? "PM" : "AM";
    I += 4;
  }
}

bool HasAmPm(std::string_view P) {
  for (std::size_t I = 0; I < P.size(); ++I) {
    if (P[I] == '"' || P[I] == '\'') {
      const char Q = P[I];
      for (++I; I < P.size() && P[I] != Q; ++I) {
      }
      continue;
    }
    if (StartsWithNoCase(P, I, "am/pm") || StartsWithNoCase(P, I, "a/p") || StartsWithNoCase(P, I, "ampm")) return true;
  }
  return false;
}

void WriteDateTime(std::string_view P, const TDateTimeParts& T, std::string& Out, int Depth) {
  const bool Twelve = HasAmPm(P);
  bool AfterHour = false;
  std::size_t I = 0;
  auto Run = [&](char C) {
    std::size_t N = 0;
    while (I + N < P.size() && Lower(P[I + N]) == C) ++N;
    return N;
  };
  while (I < P.size()) {
    const char C = P[I];
    const char L = Lower(C);
    if (C == '"' || C == '\'') {
      std::size_t J = I + 1;
      while (J < P.size() && P[J] != C) ++J;
      Out.append(P.substr(I + 1, J - I - 1));
      I = J < P.size() ? J + 1 : J;
      continue;
    }
    if (L == 'a' && (StartsWithNoCase(P, I, "am/pm") || StartsWithNoCase(P, I, "a/p") || StartsWithNoCase(P, I, "ampm"))) {
      WriteAmPm(P, I, T, Out);
      continue;
    }
    switch (L) {
      case 'd': {
        const std::size_t N = Run('d');
        I += N;
        if (N == 1) Out += IntToStr(T.Day);
        else if (N == 2) Out += TwoDigits(T.Day);
        else if (N == 3) Out += ShortDays[T.DayOfWeek - 1];
        else if (N == 4) Out += LongDays[T.DayOfWeek - 1];
        else if (Depth < 1) WriteDateTime(N == 5 ? "m/d/yyyy" : "dddd, mmmm d, yyyy", T, Out, Depth + 1);
        AfterHour = false;
        continue;
      }
      case 'm': {
        const std::size_t N = Run('m');
        I += N;
        if (AfterHour && N <= 2) {
          Out += N == 1 ? IntToStr(T.Minute) : TwoDigits(T.Minute);
        } else if (N == 1) {
          Out += IntToStr(T.Month);
        } else if (N == 2) {
          Out += TwoDigits(T.Month);
        } else if (N == 3) {
          Out += ShortMonths[T.Month - 1];
        } else {
          Out += LongMonths[T.Month - 1];
        }
        AfterHour = false;
        continue;
      }
      case 'y': {
        const std::size_t N = Run('y');
        I += N;
        if (N <= 2) Out += TwoDigits(T.Year % 100);
        else Out += IntToStr(T.Year);
        AfterHour = false;
        continue;
      }
      case 'h': {
        const std::size_t N = Run('h');
        I += N;
        int H = T.Hour;
        if (Twelve) {
          H %= 12;
          if (H == 0) H = 12;
        }
        Out += N == 1 ? IntToStr(H) : TwoDigits(H);
        AfterHour = true;
        continue;
      }
      case 'n': {
        const std::size_t N = Run('n');
        I += N;
        Out += N == 1 ? IntToStr(T.Minute) : TwoDigits(T.Minute);
        AfterHour = false;
        continue;
      }
      case 's': {
        const std::size_t N = Run('s');
        I += N;
        Out += N == 1 ? IntToStr(T.Second) : TwoDigits(T.Second);
        AfterHour = false;
        continue;
      }
      case 'z': {
        const std::size_t N = Run('z');
        I += N;
        std::string Ms = IntToStr(T.MSec);
        if (N >= 3)
          while (Ms.size() < 3) Ms = "0" + Ms;
        Out += Ms;
        continue;
      }
      case 't': {
        const std::size_t N = Run('t');
        I += N;
        if (Depth < 1) WriteDateTime(N == 1 ? "h:nn ampm" : "h:nn:ss ampm", T, Out, Depth + 1);
        AfterHour = false;
        continue;
      }
      case 'c': {
        ++I;
        if (Depth < 1) {
          WriteDateTime("m/d/yyyy", T, Out, Depth + 1);
          if (T.Hour || T.Minute || T.Second || T.MSec) {
            Out += ' ';
            WriteDateTime("h:nn:ss ampm", T, Out, Depth + 1);
          }
        }
        AfterHour = false;
        continue;
      }
      default:
        Out += C;
        ++I;
        continue;
    }
  }
}

}  // namespace

std::string FormatValue(std::string_view P, const TValue& Value) {
  std::string Out;
  bool Used = false;
  for (std::size_t I = 0; I < P.size(); ++I) {
    if (P[I] != '%') {
      Out += P[I];
      continue;
    }
    ++I;
    if (I < P.size() && P[I] == '%') {
      Out += '%';
      continue;
    }
    // "%" [index ":"] ["-"] [width] ["." prec] type
    int Number = 0;
    const std::size_t NumberStart = I;
    if (!ReadNumber(P, I, Number)) BadFormat(P);
    if (I < P.size() && P[I] == ':') {
      if (I == NumberStart || Number != 0) BadFormat(P);  // one value: only index 0
      Used = false;
      ++I;
    } else {
      I = NumberStart;
    }
    bool Left = false;
    if (I < P.size() && P[I] == '-') {
      Left = true;
      ++I;
    }
    int Width = 0;
    if (!ReadNumber(P, I, Width)) BadFormat(P);
    int Prec = -1;
    if (I < P.size() && P[I] == '.') {
      ++I;
      if (!ReadNumber(P, I, Prec)) BadFormat(P);
    }
    if (I >= P.size() || Used) BadFormat(P);
    const char Type = Lower(P[I]);
    Used = true;

    std::string S;
    switch (Type) {
      case 'd':
      case 'u':
      case 'x': {
        if (Value.Kind() != vkInteger) BadFormat(P);
        const std::int32_t V = Value.AsInteger();
        bool Negative = false;
        if (Type == 'd') {
          Negative = V < 0;
          S = IntToStr(Negative ? -static_cast<std::int64_t>(V) : V);
        } else if (Type == 'u') {
          S = IntToStr(static_cast<std::uint32_t>(V));
        } else {
          char Buf[16];
          const auto Res = std::to_chars(Buf, Buf + sizeof Buf, static_cast<std::uint32_t>(V), 16);
          S.assign(Buf, Res.ptr);
          for (char& C : S)
            if (C >= 'a' && C <= 'f') C = static_cast<char>(C - 'a' + 'A');
        }
        if (Prec > 32) Prec = 32;
        while (static_cast<int>(S.size()) < Prec) S = "0" + S;
        if (Negative) S = "-" + S;
        break;
      }
      case 'e':
      case 'f':
      case 'g':
      case 'n':
      case 'm': {
        if (!IsNumber(Value)) BadFormat(P);
        const double V = Value.AsFloat();
        if (Type == 'e') {
          S = Scientific(V, Prec < 0 ? 15 : (Prec < 1 ? 1 : (Prec > 18 ? 18 : Prec)));
        } else if (Type == 'g') {
          S = General(V, Prec < 0 ? 15 : (Prec < 1 ? 1 : (Prec > 18 ? 18 : Prec)));
        } else {
          const int Decimals = Prec < 0 ? 2 : (Prec > 18 ? 18 : Prec);
          if (std::fabs(V) >= 1e18) {
            S = Scientific(V, 15);  // a fixed form of such a number says nothing more
          } else {
            S = Fixed(V, Decimals);
            if (Type != 'f') S = WithThousands(S);
            if (Type == 'm') S = S[0] == '-' ? "($" + S.substr(1) + ")" : "$" + S;
          }
        }
        break;
      }
      case 's': {
        if (Value.Kind() != vkString && !IsNumber(Value)) BadFormat(P);
        S = Value.AsString();
        if (Prec >= 0 && static_cast<std::size_t>(Prec) < S.size()) S.resize(static_cast<std::size_t>(Prec));
        break;
      }
      default: BadFormat(P);
    }
    if (static_cast<int>(S.size()) < Width) {
      const std::string Pad(static_cast<std::size_t>(Width) - S.size(), ' ');
      S = Left ? S + Pad : Pad + S;
    }
    Out += S;
  }
  return Out;
}

std::string FormatPiecewise(std::string_view Format, const std::vector<const TValue*>& Values) {
  // Where the placeholders begin; a "%%" is a "%" of the text, not a placeholder.
  std::vector<std::size_t> Starts;
  for (std::size_t I = 0; I < Format.size(); ++I) {
    if (Format[I] != '%') continue;
    if (I + 1 < Format.size() && Format[I + 1] == '%') {
      ++I;
      continue;
    }
    Starts.push_back(I);
  }
  // Value k takes the text from where value k-1 stopped up to the placeholder after its
  // own, or to the end when there is none.
  std::string Result;
  std::size_t From = 0;
  for (std::size_t K = 0; K < Values.size(); ++K) {
    const std::size_t To = K + 1 < Starts.size() ? Starts[K + 1] : Format.size();
    Result += FormatValue(Format.substr(From, To - From), *Values[K]);
    From = To;
  }
  return Result;
}

std::string FormatDateTime(std::string_view Pattern, TDateTime Value) {
  // Days of the years 1 to 9999.
  if (!(Value > -693594.0 && Value < 2958466.0)) throw EValueError("Invalid date value");
  TDateTimeParts T{};
  const TDateParts D = DecodeDate(Value);
  T.Year = D.Year;
  T.Month = D.Month;
  T.Day = D.Day;
  T.DayOfWeek = DayOfWeek(Value);
  double Fraction = std::fabs(Value - std::floor(Value));
  if (Value < 0) Fraction = std::fabs(Value - std::trunc(Value));  // before 1899 the time counts the same way
  std::int64_t Ms = std::llround(Fraction * 86400000.0);
  if (Ms >= 86400000) Ms = 86399999;
  T.Hour = static_cast<int>(Ms / 3600000);
  T.Minute = static_cast<int>(Ms / 60000 % 60);
  T.Second = static_cast<int>(Ms / 1000 % 60);
  T.MSec = static_cast<int>(Ms % 1000);
  std::string Out;
  WriteDateTime(Pattern.empty() ? std::string_view("c") : Pattern, T, Out, 0);
  return Out;
}

TDateTime NowDateTime() {
  const auto Now = std::chrono::system_clock::now();
  const std::time_t Seconds = std::chrono::system_clock::to_time_t(Now);
  std::tm Local{};
  localtime_r(&Seconds, &Local);
  const auto Ms = std::chrono::duration_cast<std::chrono::milliseconds>(Now.time_since_epoch()).count() % 1000;
  const double Time = (Local.tm_hour * 3600.0 + Local.tm_min * 60.0 + Local.tm_sec + static_cast<double>(Ms) / 1000.0) / 86400.0;
  return EncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday) + Time;
}
