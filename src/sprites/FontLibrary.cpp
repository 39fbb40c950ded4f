#include "sprites/FontLibrary.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <filesystem>
#include <fstream>

#include "foundation/StringUtils.h"

struct TFontEntry {
  std::string Name;  // the game's font name
  std::string Family;
  std::size_t Regular = 0;  // numbers of the face files
  std::size_t Bold = 0;
};

namespace {

// Windows-1252 characters 0x80-0x9F as Unicode; the five unused ones map to themselves.
constexpr std::uint16_t Cp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::uint32_t ToUnicode(std::uint8_t Char) { return Char >= 0x80 && Char < 0xA0 ? Cp1252High[Char - 0x80] : Char; }

char LowerChar(char C) { return C >= 'A' && C <= 'Z' ? char(C - 'A' + 'a') : C; }

bool SameName(std::string_view A, std::string_view B) {
  if (A.size() != B.size()) return false;
  for (std::size_t I = 0; I < A.size(); ++I)
    if (LowerChar(A[I]) != LowerChar(B[I])) return false;
  return true;
}

std::string Trim(const std::string& S) {
  const auto First = S.find_first_not_of(" \t\r\n");
  if (First == std::string::npos) return {};
  return S.substr(First, S.find_last_not_of(" \t\r\n") - First + 1);
}

// Whole pixels from 26.6 fixed point, rounded up.
std::int32_t CeilPixels(FT_Long V) { return std::int32_t((V + 63) >> 6); }
std::int32_t RoundPixels(FT_Long V) { return std::int32_t((V + 32) >> 6); }

}  // namespace

TFontFace::TFontFace(FT_FaceRec_* Face, std::int32_t PixelSize) : FFace(Face), FPixelSize(PixelSize) {
  FT_Set_Pixel_Sizes(Face, 0, FT_UInt(PixelSize));
  const FT_Fixed YScale = Face->size->metrics.y_scale;
  const auto* OS2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(Face, FT_SFNT_OS2));
  if (OS2 && OS2->version != 0xFFFF && OS2->usWinAscent + OS2->usWinDescent > 0) {
    // The cell the window system gives a face: its ascent and descent for the screen.
    FAscent = CeilPixels(FT_MulFix(OS2->usWinAscent, YScale));
    FDescent = CeilPixels(FT_MulFix(OS2->usWinDescent, YScale));
  } else {
    FAscent = CeilPixels(Face->size->metrics.ascender);
    FDescent = CeilPixels(-Face->size->metrics.descender);
  }
  FUnderlineThickness = std::max(1, RoundPixels(FT_MulFix(Face->underline_thickness, YScale)));
  const std::int32_t Below = std::max(1, RoundPixels(FT_MulFix(-Face->underline_position, YScale)));
  FUnderlineTop = std::clamp(FAscent + Below - FUnderlineThickness / 2, FAscent, std::max(FAscent, GetHeight() - FUnderlineThickness));
}

void TFontFace::Render(std::uint8_t Char) {
  TGlyph& G = FGlyphs[Char];
  FRendered[Char] = true;
  // The face is shared by the sizes of its file: set this one before each glyph.
  FT_Set_Pixel_Sizes(FFace, 0, FT_UInt(FPixelSize));
  const FT_UInt Index = FT_Get_Char_Index(FFace, ToUnicode(Char));
  if (FT_Load_Glyph(FFace, Index, FT_LOAD_RENDER | FT_LOAD_TARGET_MONO | FT_LOAD_MONOCHROME) != 0) return;
  const FT_GlyphSlot Slot = FFace->glyph;
  G.Advance = RoundPixels(Slot->advance.x);
  const FT_Bitmap& B = Slot->bitmap;
  G.OffsetX = Slot->bitmap_left;
  G.OffsetY = FAscent - Slot->bitmap_top;
  G.Width = std::int32_t(B.width);
  G.Height = std::int32_t(B.rows);
  for (std::int32_t Row = 0; Row < G.Height; ++Row) {
    const unsigned char* Line = B.buffer + std::ptrdiff_t(Row) * B.pitch;
    auto Bit = [&](std::int32_t X) {
      if (B.pixel_mode == FT_PIXEL_MODE_MONO) return (Line[X >> 3] & (0x80 >> (X & 7))) != 0;
      return Line[X] >= 128;  // a grey bitmap, should the face bring one: no blending all the same
    };
    for (std::int32_t X = 0; X < G.Width;) {
      if (!Bit(X)) {
        ++X;
        continue;
      }
      const std::int32_t Start = X;
      while (X < G.Width && Bit(X)) ++X;
      G.Spans.push_back({std::int16_t(Row), std::int16_t(Start), std::int16_t(X - Start)});
    }
  }
}

std::int32_t TFontFace::TextWidth(std::string_view Text) {
  std::int32_t W = 0;
  for (char C : Text) W += Glyph(std::uint8_t(C)).Advance;
  return W;
}

TFontLibrary::TFontLibrary(std::string FontsFolder) : FFontsFolder(std::move(FontsFolder)) {
  const std::string TableName = FFontsFolder + "/fonts.txt";
  std::ifstream In(TableName);
  if (!In) throw EFontLibrary("The font table \"" + TableName + "\" cannot be read");
  std::string Line;
  for (int Number = 1; std::getline(In, Line); ++Number) {
    Line = Trim(Line);
    if (Line.empty() || Line[0] == '#') continue;
    const auto Eq = Line.find('=');
    auto E = std::make_unique<TFontEntry>();
    std::string Rest = Eq == std::string::npos ? std::string() : Line.substr(Eq + 1);
    E->Name = Trim(Line.substr(0, Eq == std::string::npos ? 0 : Eq));
    E->Family = Trim(NextToken(Rest, ";"));
    const std::string Regular = Trim(NextToken(Rest, ";"));
    const std::string Bold = Trim(NextToken(Rest, ";"));
    if (E->Name.empty() || Regular.empty() || Bold.empty())
      throw EFontLibrary("The font table \"" + TableName + "\": line " + std::to_string(Number) +
                         " is not \"name=family;regular file;bold file;\"");
    auto FileNumber = [this](const std::string& File) {
      const auto It = std::find(FFiles.begin(), FFiles.end(), File);
      if (It != FFiles.end()) return std::size_t(It - FFiles.begin());
      FFiles.push_back(File);
      FFaces.push_back(nullptr);
      return FFiles.size() - 1;
    };
    E->Regular = FileNumber(Regular);
    E->Bold = FileNumber(Bold);
    FEntries.push_back(std::move(E));
  }
  if (FEntries.empty()) throw EFontLibrary("The font table \"" + TableName + "\" names no font");
  if (FT_Init_FreeType(&FLibrary) != 0) throw EFontLibrary("The glyph renderer cannot be started");
}

TFontLibrary::~TFontLibrary() {
  FSizes.clear();
  for (FT_Face Face : FFaces)
    if (Face) FT_Done_Face(Face);
  if (FLibrary) FT_Done_FreeType(FLibrary);
}

std::string TFontLibrary::ProgramFontsFolder() {
  std::error_code Error;
  const auto Exe = std::filesystem::read_symlink("/proc/self/exe", Error);
  return ((Error ? std::filesystem::current_path() : Exe.parent_path()) / "fonts").string();
}

TFontLibrary& TFontLibrary::Default() {
  static TFontLibrary Library(ProgramFontsFolder());
  return Library;
}

const TFontEntry& TFontLibrary::EntryOf(std::string_view FontName) const {
  for (const auto& E : FEntries)
    if (SameName(E->Name, FontName)) return *E;
  for (const auto& E : FEntries)
    if (SameName(E->Name, "Arial")) return *E;
  return *FEntries.front();
}

const std::string& TFontLibrary::FileOf(std::string_view FontName, bool Bold) const {
  const TFontEntry& E = EntryOf(FontName);
  return FFiles[Bold ? E.Bold : E.Regular];
}

FT_FaceRec_* TFontLibrary::OpenFace(std::size_t File) {
  if (FFaces[File]) return FFaces[File];
  const std::string Path = FFontsFolder + "/" + FFiles[File];
  FT_Face Face = nullptr;
  if (FT_New_Face(FLibrary, Path.c_str(), 0, &Face) != 0)
    throw EFontLibrary("The font file \"" + Path + "\" cannot be read");
  if (!FT_IS_SCALABLE(Face)) {
    FT_Done_Face(Face);
    throw EFontLibrary("The font file \"" + Path + "\" holds no scalable face");
  }
  FT_Select_Charmap(Face, FT_ENCODING_UNICODE);
  FFaces[File] = Face;
  return Face;
}

TFontFace& TFontLibrary::GetFace(std::string_view FontName, bool Bold, std::int32_t PixelSize) {
  PixelSize = std::clamp(PixelSize, 1, 1000);
  const TFontEntry& E = EntryOf(FontName);
  const auto Key = std::make_pair(Bold ? E.Bold : E.Regular, PixelSize);
  if (auto It = FSizes.find(Key); It != FSizes.end()) return *It->second;
  FT_FaceRec_* Face = OpenFace(Key.first);
  auto Size = std::unique_ptr<TFontFace>(new TFontFace(Face, PixelSize));
  return *FSizes.emplace(Key, std::move(Size)).first->second;
}

std::int32_t TFontLibrary::PointsToPixels(std::int32_t Size) {
  const std::int64_t Scaled = std::int64_t(Size) * 96;
  return std::int32_t(Scaled >= 0 ? (Scaled + 36) / 72 : -((-Scaled + 36) / 72));
}
