#include "foundation/MyUtils.h"

#include <cstdlib>

#include "foundation/StringUtils.h"

namespace {

void CheckBit(int Bit, const char* Operation) {
  if (Bit < 0 || Bit > 7) throw EMyUtils("Value of " + std::to_string(Bit) + " in " + Operation);
}

}  // namespace

bool GetBitOfChar(char C, int Bit) {
  CheckBit(Bit, "GetBitOfChar");
  return (static_cast<unsigned char>(C) >> Bit) & 1u;
}

void SetBitOfChar(char& C, int Bit, bool Value) {
  CheckBit(Bit, "SetBitOfChar");
  const unsigned char Mask = static_cast<unsigned char>(1u << Bit);
  unsigned char B = static_cast<unsigned char>(C);
  B = Value ? (B | Mask) : (B & ~Mask);
  C = static_cast<char>(B);
}

TDateTime StrToDateMDY(const std::string& S) {
  std::string Rest = S;
  const int Month = NextTokenInt(Rest, "/");
  const int Day = NextTokenInt(Rest, "/");
  std::string YearText = NextToken(Rest, "/");
  if (YearText.size() == 2) YearText = "19" + YearText;
  int Year = StrToIntDef(YearText, 1900);
  if (static_cast<std::uint16_t>(Year) <= 1900) Year += 100;
  return TryEncodeDate(Year, Month, Day).value_or(0.0);
}

std::int32_t ManhattanDistance(TPoint A, TPoint B) {
  // In 64 bits, so points far apart cannot overflow before the result is known.
  const std::int64_t D = std::llabs(std::int64_t{A.X} - B.X) + std::llabs(std::int64_t{A.Y} - B.Y);
  return D > INT32_MAX ? INT32_MAX : static_cast<std::int32_t>(D);
}
