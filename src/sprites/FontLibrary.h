#pragma once
// The glyphs the canvas painter draws with. The game names its fonts ("Arial", "Small Fonts",
// "Imprint MT Shadow"...); the font table "fonts.txt" of the fonts folder maps each name to a
// bundled face file, regular and bold. Glyphs are rendered by FreeType without anti-aliasing
// (an 8-bit palette has nothing to blend with), hinted for their size, and kept per face file
// and pixel size, so a text that was drawn once costs only table look-ups after that.
//
// Text is bytes in Windows-1252, as every text of the game is.
#include <array>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "foundation/Exception.h"

// Raised for a font table or face file that cannot be read, naming it.
class EFontLibrary : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// One horizontal run of set pixels of a glyph, relative to the glyph's top-left.
struct TGlyphSpan {
  std::int16_t Row = 0;
  std::int16_t Left = 0;
  std::int16_t Length = 0;
};

struct TGlyph {
  // Offset of the glyph's top-left from the pen position (X) and from the text cell's top (Y).
  std::int32_t OffsetX = 0;
  std::int32_t OffsetY = 0;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  // How far the pen moves on: whole pixels.
  std::int32_t Advance = 0;
  std::vector<TGlyphSpan> Spans;
};

struct TFontEntry;
class TFontLibrary;
struct FT_FaceRec_;
struct FT_LibraryRec_;

// One face at one pixel size: its cell metrics and its glyphs, rendered at first use.
class TFontFace {
public:
  // The text cell: Ascent rows above the baseline, Descent below; Height = Ascent + Descent.
  std::int32_t GetAscent() const { return FAscent; }
  std::int32_t GetDescent() const { return FDescent; }
  std::int32_t GetHeight() const { return FAscent + FDescent; }
  // The underline's first row (from the cell's top) and its thickness in rows (at least 1).
  std::int32_t GetUnderlineTop() const { return FUnderlineTop; }
  std::int32_t GetUnderlineThickness() const { return FUnderlineThickness; }
  // The glyph of one Windows-1252 character.
  const TGlyph& Glyph(std::uint8_t Char) {
    if (!FRendered[Char]) Render(Char);
    return FGlyphs[Char];
  }
  // The sum of the characters' advances.
  std::int32_t TextWidth(std::string_view Text);

private:
  friend class TFontLibrary;
  TFontFace(FT_FaceRec_* Face, std::int32_t PixelSize);
  void Render(std::uint8_t Char);

  FT_FaceRec_* FFace;  // shared by every size of one file
  std::int32_t FPixelSize;
  std::int32_t FAscent = 0;
  std::int32_t FDescent = 0;
  std::int32_t FUnderlineTop = 0;
  std::int32_t FUnderlineThickness = 1;
  std::array<TGlyph, 256> FGlyphs;
  std::array<bool, 256> FRendered{};
};

class TFontLibrary {
public:
  // Reads the font table FontsFolder + "/fonts.txt"; faces are opened at first use. Raises
  // EFontLibrary when the table cannot be read or a line of it is not "name=family;regular
  // file;bold file;".
  explicit TFontLibrary(std::string FontsFolder);
  ~TFontLibrary();
  TFontLibrary(const TFontLibrary&) = delete;
  TFontLibrary& operator=(const TFontLibrary&) = delete;

  // The "fonts" folder beside the running program.
  static std::string ProgramFontsFolder();
  // One library over ProgramFontsFolder for the whole program, made at first use.
  static TFontLibrary& Default();

  const std::string& GetFontsFolder() const { return FFontsFolder; }
  // The face file for a game font name (compared without regard to case); a name the table
  // does not hold takes the face of "Arial" (or of the table's first line), as the window
  // system substitutes a face it does not have.
  const std::string& FileOf(std::string_view FontName, bool Bold) const;
  // The face for a font name, bold or not, with an em of PixelSize pixels. Raises
  // EFontLibrary when its file cannot be read.
  TFontFace& GetFace(std::string_view FontName, bool Bold, std::int32_t PixelSize);
  // A font's point size as pixels of the em on the game's 96 dots-per-inch screen (rounded
  // half away from zero, as the window system does): 7 gives 9, 8 gives 11.
  static std::int32_t PointsToPixels(std::int32_t Size);

private:
  const TFontEntry& EntryOf(std::string_view FontName) const;
  FT_FaceRec_* OpenFace(std::size_t File);

  std::string FFontsFolder;
  FT_LibraryRec_* FLibrary = nullptr;
  std::vector<std::unique_ptr<TFontEntry>> FEntries;
  // Each face file once, and its face (opened at first use, shared by all its sizes).
  std::vector<std::string> FFiles;
  std::vector<FT_FaceRec_*> FFaces;
  // (file number, pixel size) -> that size of the face.
  std::map<std::pair<std::size_t, std::int32_t>, std::unique_ptr<TFontFace>> FSizes;
};
