#include "sprites/MapSet.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <limits>
#include <system_error>

#include "foundation/ListError.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "sprites/Bitmap.h"

namespace {

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

// Folders may be separated by "\" as well as "/".
std::string SlashedName(std::string Name) {
  std::replace(Name.begin(), Name.end(), '\\', '/');
  return Name;
}

bool SameTextAscii(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I) {
    char CA = A[I], CB = B[I];
    if (CA >= 'a' && CA <= 'z') CA = char(CA - 'a' + 'A');
    if (CB >= 'a' && CB <= 'z') CB = char(CB - 'a' + 'A');
    if (CA != CB) return false;
  }
  return true;
}

std::uint32_t Get32(const char* B) {
  return std::uint32_t(std::uint8_t(B[0])) | (std::uint32_t(std::uint8_t(B[1])) << 8) |
         (std::uint32_t(std::uint8_t(B[2])) << 16) | (std::uint32_t(std::uint8_t(B[3])) << 24);
}
std::uint16_t Get16(const char* B) { return std::uint16_t(std::uint8_t(B[0]) | (std::uint8_t(B[1]) << 8)); }

// The size and depth of a ".bmp" file from its headers alone, with the checks the bitmap
// reader makes of them; the map set's bitmaps must have 8 bits per pixel.
void ReadBitmapHeader(const std::string& FileName, TMapSetRecord& R) {
  auto Fail = [&](const std::string& What) { throw EBitmap("Bitmap " + Quoted(FileName) + ": " + What); };
  std::ifstream In(FileName, std::ios::binary);
  if (!In) Fail("the file cannot be opened");
  char B[54] = {};
  In.read(B, sizeof B);
  const std::streamsize Got = In.gcount();
  if (Got < 18) Fail("the file is too short for a bitmap header (" + std::to_string(Got) + " bytes)");
  if (B[0] != 'B' || B[1] != 'M') Fail("not a bitmap file (it does not begin with \"BM\")");
  const std::uint32_t HeaderSize = Get32(B + 14);
  if (HeaderSize != 40 && HeaderSize != 52 && HeaderSize != 56 && HeaderSize != 108 && HeaderSize != 124)
    Fail("a bitmap header of " + std::to_string(HeaderSize) + " bytes is not supported");
  if (Got < 54) Fail("the file ends inside the bitmap header");
  const std::int32_t Width = std::int32_t(Get32(B + 18));
  const std::int32_t RawHeight = std::int32_t(Get32(B + 22));
  const std::uint16_t Planes = Get16(B + 26);
  const std::uint16_t Bits = Get16(B + 28);
  const std::uint32_t Compression = Get32(B + 30);
  if (Planes != 1) Fail(std::to_string(Planes) + " colour planes (1 expected)");
  if (Bits != 8) Fail(std::to_string(Bits) + " bits per pixel (a map's bitmaps have 8)");
  if (Compression != 0) Fail("compressed bitmaps are not supported (compression " + std::to_string(Compression) + ")");
  if (Width <= 0) Fail("a width of " + std::to_string(Width) + " pixels");
  if (RawHeight == 0 || RawHeight == std::numeric_limits<std::int32_t>::min())
    Fail("a height of " + std::to_string(RawHeight) + " pixels");
  R.Width = Width;
  R.Height = RawHeight < 0 ? -RawHeight : RawHeight;
  R.BitsPerPixel = Bits;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// TMapSet

EMapSet TMapSet::LineError(int Line, const std::string& What) const {
  return EMapSet("Map set " + Quoted(FFileName) + ", line " + std::to_string(Line) + ": " + What);
}

TMapSet TMapSet::LoadFromFile(const std::string& FileName) {
  const std::string Name = SlashedName(FileName);
  std::error_code Error;
  if (FileName.empty() || !std::filesystem::is_regular_file(Name, Error))
    throw EMapSet("Map set file " + Quoted(FileName) + " does not exist");
  std::ifstream In(Name, std::ios::binary);
  if (!In) throw EMapSet("Map set file " + Quoted(FileName) + " cannot be opened");
  const std::string Text((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  if (In.bad()) throw EMapSet("Map set file " + Quoted(FileName) + " cannot be read");
  TMapSet Set = Parse(Text, FileName);
  Set.ReadBitmapHeaders();
  return Set;
}

TMapSet TMapSet::Parse(std::string_view Text, const std::string& FileName) {
  TMapSet Set;
  Set.FFileName = FileName;
  std::error_code Error;
  const std::filesystem::path Current = std::filesystem::current_path(Error);

  int LineNumber = 0;
  std::size_t At = 0;
  while (At < Text.size()) {
    std::size_t End = Text.find_first_of("\r\n", At);
    if (End == std::string_view::npos) End = Text.size();
    const std::string_view Line = Text.substr(At, End - At);
    At = End;
    if (At < Text.size()) At += Text[At] == '\r' && At + 1 < Text.size() && Text[At + 1] == '\n' ? 2 : 1;
    ++LineNumber;

    const std::size_t Eq = Line.find('=');
    const std::string_view Key = Line.substr(0, Eq);
    TMapSetRecord R;
    R.Line = LineNumber;
    R.Value = Eq == std::string_view::npos ? std::string() : std::string(Line.substr(Eq + 1));
    if (Key == "Bitmap") {
      R.Kind = mkBitmap;
      R.Index = Set.BitmapCount();
      std::filesystem::path Path(SlashedName(R.Value));
      if (Path.is_relative() && !Current.empty()) Path = Current / Path;
      R.FileName = Path.string();
      Set.FBitmaps.push_back(Set.FRecords.size());
    } else if (Key == "Element") {
      R.Kind = mkElement;
      R.Index = Set.ElementCount();
      // The place follows the last ":", so a bitmap text may hold a drive's ":".
      const std::size_t Colon = R.Value.rfind(':');
      R.BitmapText = R.Value.substr(0, Colon);
      std::string Place = Colon == std::string::npos ? std::string() : R.Value.substr(Colon + 1);
      R.X = NextTokenInt(Place, ",");
      R.Y = NextTokenInt(Place, ",");
      for (std::size_t I : Set.FBitmaps)
        if (SameTextAscii(Set.FRecords[I].Value, R.BitmapText)) {
          R.Bitmap = Set.FRecords[I].Index;
          break;
        }
      if (R.Bitmap < 0) throw Set.LineError(LineNumber, "no earlier Bitmap line gives " + Quoted(R.BitmapText));
      Set.FElements.push_back(Set.FRecords.size());
    } else if (Key == "Zone") {
      R.Kind = mkZone;
      R.Index = Set.ZoneCount();
      Set.FZones.push_back(Set.FRecords.size());
    } else if (Key == "Link") {
      R.Kind = mkLink;
      R.Index = Set.LinkCount();
      std::string Pair = R.Value;
      R.ZoneA = NextTokenInt(Pair, ",");
      R.ZoneB = NextTokenInt(Pair, ",");
      for (int Z : {R.ZoneA, R.ZoneB})
        if (Z < 0 || Z >= Set.ZoneCount())
          throw Set.LineError(LineNumber, "the link names zone " + std::to_string(Z) + ", which no earlier Zone line gives");
      Set.FLinks.push_back(Set.FRecords.size());
    } else {
      continue;
    }
    Set.FRecords.push_back(std::move(R));
  }
  return Set;
}

void TMapSet::ReadBitmapHeaders() {
  for (std::size_t I : FBitmaps) {
    TMapSetRecord& R = FRecords[I];
    try {
      ReadBitmapHeader(R.FileName, R);
    } catch (const EBrenmoor& E) {
      throw LineError(R.Line, E.what());
    }
  }
}

const TMapSetRecord& TMapSet::GetBitmap(int I) const {
  if (I < 0 || I >= BitmapCount()) throw EListError::IndexOutOfBounds(I);
  return FRecords[FBitmaps[std::size_t(I)]];
}
const TMapSetRecord& TMapSet::GetElement(int I) const {
  if (I < 0 || I >= ElementCount()) throw EListError::IndexOutOfBounds(I);
  return FRecords[FElements[std::size_t(I)]];
}
const TMapSetRecord& TMapSet::GetZone(int I) const {
  if (I < 0 || I >= ZoneCount()) throw EListError::IndexOutOfBounds(I);
  return FRecords[FZones[std::size_t(I)]];
}
const TMapSetRecord& TMapSet::GetLink(int I) const {
  if (I < 0 || I >= LinkCount()) throw EListError::IndexOutOfBounds(I);
  return FRecords[FLinks[std::size_t(I)]];
}

TMapExtent TMapSet::GetExtent() const {
  std::int64_t Width = 0, Height = 0;
  for (std::size_t I : FElements) {
    const TMapSetRecord& E = FRecords[I];
    const TMapSetRecord& B = GetBitmap(E.Bitmap);
    Width = std::max(Width, std::int64_t(E.X) + B.Width);
    Height = std::max(Height, std::int64_t(E.Y) + B.Height);
  }
  constexpr std::int64_t Max = std::numeric_limits<std::int32_t>::max();
  return {std::int32_t(std::min(Width, Max)), std::int32_t(std::min(Height, Max))};
}

// ---------------------------------------------------------------------------------------------
// Loading into a zone map

std::unique_ptr<TZoneMap> StageZoneMap(TZoneMap& Target, const TMapSet& Set) {
  auto Staged = std::make_unique<TZoneMap>();
  Staged->SetColorIndexLand(Target.GetColorIndexLand());
  Staged->SetColorIndexSea(Target.GetColorIndexSea());
  Staged->SetGridMarginTop(Target.GetGridMarginTop());
  Staged->SetGridWidth(Target.GetGridWidth());
  Staged->SetGridHeight(Target.GetGridHeight());

  for (const TMapSetRecord& R : Set.GetRecords()) {
    if (R.Kind == mkZone) {
      try {
        Staged->AddZone(Target.CreateZone(R.Value));
      } catch (const EBrenmoor& E) {
        throw Set.LineError(R.Line, E.what());
      }
    } else if (R.Kind == mkLink) {
      if (R.ZoneA < 0 || R.ZoneA >= Staged->ZoneCount() || R.ZoneB < 0 || R.ZoneB >= Staged->ZoneCount())
        throw Set.LineError(R.Line, "the link names a zone that no earlier Zone line gives");
      Staged->AddLink(Staged->GetZone(R.ZoneA), Staged->GetZone(R.ZoneB));
    }
  }

  // The neighbour texts may name zones of later lines, so they are read after the whole file.
  for (int I = 0; I < Staged->ZoneCount(); ++I) {
    TZone* Zone = Staged->GetZone(I);
    const int Line = Set.GetZone(I).Line;
    std::string Text = Zone->GetNeighbourText();
    while (!Text.empty()) {
      const std::string Token = NextToken(Text, "#");
      const std::optional<std::int32_t> N = TryStrToInt(Token);
      if (!N) throw Set.LineError(Line, "the neighbour " + Quoted(Token) + " is not a zone number");
      if (*N < 0 || *N >= Staged->ZoneCount())
        throw Set.LineError(Line, "the neighbour " + std::to_string(*N) + " is not a zone of the map (it has " +
                                      std::to_string(Staged->ZoneCount()) + " zones)");
      TZoneMap::AddNeighbour(Zone, Staged->GetZone(*N));
    }
  }

  Staged->SetExtent(Set.GetExtent());
  for (int I = 0; I < Staged->LinkCount(); ++I)
    TZoneMap::MakeMutual(Staged->GetLink(I)->GetZoneA(), Staged->GetLink(I)->GetZoneB());
  // A zone too large for the grid is refused by its line before the grid is built.
  for (int I = 0; I < Staged->ZoneCount(); ++I) {
    try {
      Staged->CheckGrid(*Staged->GetZone(I));
    } catch (const EBrenmoor& E) {
      throw Set.LineError(Set.GetZone(I).Line, E.what());
    }
  }
  Staged->BuildGrid();
  return Staged;
}

void LoadZoneMap(TZoneMap& Target, const TMapSet& Set) {
  std::unique_ptr<TZoneMap> Staged = StageZoneMap(Target, Set);
  Target.ReplaceWith(*Staged);
}

TMapSet LoadZoneMapFromFile(TZoneMap& Target, const std::string& FileName) {
  TMapSet Set = TMapSet::LoadFromFile(FileName);
  LoadZoneMap(Target, Set);
  return Set;
}

std::string MapSetFileNamePart(const std::string& FileName) {
  const std::size_t P = FileName.find_last_of("\\/:");
  return P == std::string::npos ? FileName : FileName.substr(P + 1);
}
