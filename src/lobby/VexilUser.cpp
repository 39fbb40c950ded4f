#include "lobby/VexilUser.h"

#include <chrono>
#include <cmath>
#include <ctime>

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

namespace {

constexpr std::string_view kField = "^";
constexpr std::string_view kItem = "`";

std::string TwoDigits(int V) { return (V < 10 ? "0" : "") + std::to_string(V); }

TDateTime ReadDate(const std::string& Text) {
  if (auto D = TryStrToDate(Text)) return *D;
  return VexilToday();
}

// The glyph of field 14: width, height, then every colour column by column, each followed by
// "`". Anything that does not read, a size beyond 32 x 32 or a wrong number of colours gives
// an empty glyph: the size comes from another machine and must not be trusted.
TUserGlyph ReadGlyph(std::string Field) {
  TUserGlyph Glyph;
  const auto W = TryStrToInt(NextToken(Field, kItem));
  const auto H = TryStrToInt(NextToken(Field, kItem));
  if (!W || !H || *W < 0 || *H < 0 || *W > TUserGlyph::MaxSize || *H > TUserGlyph::MaxSize)
    return {};
  Glyph.SetSize(*W, *H);
  TTokenReader Reader(Field);
  for (int X = 0; X < *W; ++X)
    for (int Y = 0; Y < *H; ++Y) {
      if (Reader.AtEnd()) return {};
      const auto C = TryStrToInt(Reader.Next('`'));
      if (!C) return {};
      Glyph.SetPixel(X, Y, *C);
    }
  if (!Reader.AtEnd()) return {};
  return Glyph;
}

}  // namespace

std::string VexilDateToStr(TDateTime Date) {
  const TDateParts P = DecodeDate(Date);
  std::string Year = std::to_string(P.Year);
  while (Year.size() < 4) Year.insert(0, "0");
  return TwoDigits(P.Month) + "/" + TwoDigits(P.Day) + "/" + Year;
}

TDateTime VexilToday() {
  const std::time_t Now = std::time(nullptr);
  std::tm Local{};
  localtime_r(&Now, &Local);
  return EncodeDate(Local.tm_year + 1900, Local.tm_mon + 1, Local.tm_mday);
}

void TUserGlyph::SetSize(int Width, int Height) {
  if (Width < 0 || Height < 0 || Width > MaxSize || Height > MaxSize)
    throw EConvertError("The glyph is larger than 32 x 32");
  FWidth = Width;
  FHeight = Height;
  FPixels.assign(static_cast<std::size_t>(Width) * static_cast<std::size_t>(Height), 0);
}

std::size_t TUserGlyph::Index(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
    throw EConvertError("The glyph has no pixel there");
  return static_cast<std::size_t>(X) * static_cast<std::size_t>(FHeight) +
         static_cast<std::size_t>(Y);
}

void TVexilUser::LoadFromString(std::string_view Record) {
  std::string S(Record);
  TVexilUser U;
  U.FUserId = NextToken(S, kField);
  U.FPassword = NextToken(S, kField);
  U.FFirstName = NextToken(S, kField);
  U.FLastName = NextToken(S, kField);
  U.FCity = NextToken(S, kField);
  U.FCountry = NextToken(S, kField);
  U.FEMail = NextToken(S, kField);
  U.FHomePage = NextToken(S, kField);
  U.FComments = NextToken(S, kField);
  U.FFirstDate = ReadDate(NextToken(S, kField));
  U.FSecondDate = ReadDate(NextToken(S, kField));
  U.FServerNumber = StrToInt(NextToken(S, kField));
  std::string Info = NextToken(S, kField);
  while (!Info.empty()) U.FInfo.push_back(NextToken(Info, kItem));
  U.FGlyph = ReadGlyph(NextToken(S, kField));
  U.FIcq = NextToken(S, kField);
  U.FPings = FPings;
  *this = std::move(U);
}

std::string TVexilUser::SaveToString() const {
  std::string Glyph = IntToStr(FGlyph.Width()) + "`" + IntToStr(FGlyph.Height()) + "`";
  for (int X = 0; X < FGlyph.Width(); ++X)
    for (int Y = 0; Y < FGlyph.Height(); ++Y) {
      Glyph += IntToStr(FGlyph.Pixel(X, Y));
      Glyph += '`';
    }
  return Tokenize(kField, FUserId, FPassword, FFirstName, FLastName, FCity, FCountry, FEMail,
                  FHomePage, FComments, VexilDateToStr(FFirstDate), VexilDateToStr(FSecondDate),
                  FServerNumber, JoinStrings(FInfo, kItem), Glyph, FIcq);
}

void TVexilUser::AddPing(std::int32_t Milliseconds) {
  for (std::size_t I = 0; I + 1 < FPings.size(); ++I) FPings[I] = FPings[I + 1];
  FPings.back() = Milliseconds;
}

std::int32_t TVexilUser::AveragePing() const {
  std::int64_t Sum = 0;
  std::int64_t Count = 0;
  for (const std::int32_t P : FPings)
    if (P > 0) {
      Sum += P;
      ++Count;
    }
  return Count == 0 ? 0 : static_cast<std::int32_t>(Sum / Count);
}

std::string TVexilUser::InfoName(int Index) const {
  const std::string& Item = FInfo.at(static_cast<std::size_t>(Index));
  return Item.substr(0, Item.find('='));
}

std::string TVexilUser::InfoValue(int Index) const {
  const std::string& Item = FInfo.at(static_cast<std::size_t>(Index));
  const std::size_t Eq = Item.find('=');
  return Eq == std::string::npos ? std::string() : Item.substr(Eq + 1);
}

std::string TVexilUser::InfoByName(std::string_view Name) const {
  for (int I = 0; I < InfoCount(); ++I)
    if (InfoName(I) == Name) return InfoValue(I);
  return {};
}
