#pragma once
// One lobby user and the one-line record in which the lobby server describes it: fifteen fields,
// each followed by "^" (identifier, password, names, address, comments, two dates, the server's
// number, "name=value" info tokens, the glyph and the ICQ text).
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/DateUtils.h"

// The small picture a user shows beside the name: at most 32 x 32 colour values (0x00BBGGRR).
class TUserGlyph {
public:
  static constexpr int MaxSize = 32;

  int Width() const { return FWidth; }
  int Height() const { return FHeight; }
  bool Empty() const { return FWidth == 0 || FHeight == 0; }
  // Clears the picture to colour 0; a size beyond MaxSize or below 0 raises EConvertError.
  void SetSize(int Width, int Height);
  std::int32_t Pixel(int X, int Y) const { return FPixels[Index(X, Y)]; }
  void SetPixel(int X, int Y, std::int32_t Color) { FPixels[Index(X, Y)] = Color; }
  bool operator==(const TUserGlyph&) const = default;

private:
  std::size_t Index(int X, int Y) const;

  int FWidth = 0;
  int FHeight = 0;
  std::vector<std::int32_t> FPixels;  // column by column: x * height + y
};

class TVexilUser {
public:
  static constexpr int PingSamples = 5;

  // Reads a record into this user; every field but the latency samples is replaced. A server
  // number that is not an integer raises EConvertError and leaves the user as it was; a date
  // that does not convert becomes today; a glyph that does not read becomes empty.
  void LoadFromString(std::string_view Record);
  std::string SaveToString() const;

  // Drops the oldest latency sample and keeps Milliseconds as the newest.
  void AddPing(std::int32_t Milliseconds);
  // The mean of the samples above 0 (rounded toward zero), 0 when there is none.
  std::int32_t AveragePing() const;

  int InfoCount() const { return static_cast<int>(FInfo.size()); }
  std::string InfoName(int Index) const;
  std::string InfoValue(int Index) const;
  // The value of the item Name, "" when there is none.
  std::string InfoByName(std::string_view Name) const;
  const std::vector<std::string>& Info() const { return FInfo; }
  void SetInfo(std::vector<std::string> Items) { FInfo = std::move(Items); }

  const std::string& UserId() const { return FUserId; }
  void SetUserId(std::string V) { FUserId = std::move(V); }
  const std::string& Password() const { return FPassword; }
  void SetPassword(std::string V) { FPassword = std::move(V); }
  const std::string& FirstName() const { return FFirstName; }
  void SetFirstName(std::string V) { FFirstName = std::move(V); }
  const std::string& LastName() const { return FLastName; }
  void SetLastName(std::string V) { FLastName = std::move(V); }
  const std::string& City() const { return FCity; }
  void SetCity(std::string V) { FCity = std::move(V); }
  const std::string& Country() const { return FCountry; }
  void SetCountry(std::string V) { FCountry = std::move(V); }
  const std::string& EMail() const { return FEMail; }
  void SetEMail(std::string V) { FEMail = std::move(V); }
  const std::string& HomePage() const { return FHomePage; }
  void SetHomePage(std::string V) { FHomePage = std::move(V); }
  const std::string& Comments() const { return FComments; }
  void SetComments(std::string V) { FComments = std::move(V); }
  TDateTime FirstDate() const { return FFirstDate; }
  void SetFirstDate(TDateTime V) { FFirstDate = V; }
  TDateTime SecondDate() const { return FSecondDate; }
  void SetSecondDate(TDateTime V) { FSecondDate = V; }
  std::int32_t ServerNumber() const { return FServerNumber; }
  void SetServerNumber(std::int32_t V) { FServerNumber = V; }
  const TUserGlyph& Glyph() const { return FGlyph; }
  void SetGlyph(const TUserGlyph& V) { FGlyph = V; }
  const std::string& Icq() const { return FIcq; }
  void SetIcq(std::string V) { FIcq = std::move(V); }
  const std::array<std::int32_t, PingSamples>& PingSamplesMs() const { return FPings; }

private:
  std::string FUserId, FPassword, FFirstName, FLastName, FCity, FCountry, FEMail, FHomePage,
      FComments;
  TDateTime FFirstDate = 0;
  TDateTime FSecondDate = 0;
  std::int32_t FServerNumber = 0;
  std::vector<std::string> FInfo;
  TUserGlyph FGlyph;
  std::string FIcq;
  std::array<std::int32_t, PingSamples> FPings{};
};

// The record's date text, "mm/dd/yyyy".
std::string VexilDateToStr(TDateTime Date);
// Today's date on this machine.
TDateTime VexilToday();
