#pragma once
// The 256-entry palette of the game's 8-bit pictures. Entries 0-9 and 246-255 are the twenty
// static colours every 8-bit screen keeps; entries 10-245 come from the palette's text (256
// lines "r,g,b"), from a bitmap's colour table, or start as a grey ramp. The sprite surface
// builds the colour table of its back buffer from ColorOf, and the canvas painter maps the
// colours it is given to the nearest entry (NearestIndex).
#include <array>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "sprites/Colors.h"

class TBitmap;

// Raised for a list of entries that is not 256 lines long.
class EPalette : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// How entries 10-245 are marked: pcNoCollapse (flag 4) or pcReserved (flag 1).
enum TPalEntryFlag : std::uint8_t { pcNoCollapse, pcReserved };

struct TPaletteEntry {
  std::uint8_t Red = 0;
  std::uint8_t Green = 0;
  std::uint8_t Blue = 0;
  std::uint8_t Flags = 0;
  friend bool operator==(const TPaletteEntry&, const TPaletteEntry&) = default;
};

class TColorPalette {
public:
  static constexpr int EntryCount = 256;
  // The twenty static colours: entries 0-9 and 246-255 (red, green, blue).
  static const std::array<TPaletteEntry, 20>& StaticColors();
  static bool IsStaticEntry(int Index) { return Index < 10 || Index >= 246; }

  // Static entries, a grey ramp (red = green = blue = the index) in 10-245 with the entry
  // flag, pcNoCollapse, and the text rewritten from the entries.
  TColorPalette();

  // After the palette's settings are given: reads the text when it holds lines, then
  // rebuilds and rewrites the text.
  void Loaded();

  // 256 lines of red, green and blue in decimal separated by ",".
  const std::vector<std::string>& GetPaletteEntries() const { return FPaletteEntries; }
  // An empty list changes nothing; any count other than 256 raises EPalette "Exactly 256
  // entries must exist". Otherwise the lines are kept and read in order: entries 0-9 and
  // 246-255 get flags 0, the others the entry flag. A line that cannot be read (a number
  // missing, not a number, or outside 0..255) fires OnLoadError with "Error Loading Palette
  // Data" and ends the reading there: the entries read before it take their new values, the
  // rest keep theirs. The text is not rewritten.
  void SetPaletteEntries(const std::vector<std::string>& Lines);

  TPalEntryFlag GetPalEntryFlag() const { return FPalEntryFlag; }
  // Stores the flag; it applies to entries 10-245 at the next change of entries.
  void SetPalEntryFlag(TPalEntryFlag Value);

  // Entries 10-245 from the bitmap's colour table (black beyond its end), with the entry
  // flag; then rebuilds and rewrites the text. The bitmap is not kept.
  void SetFromBitmap(const TBitmap& Bitmap);

  // Entry Index (taken modulo 256).
  TPaletteEntry ColorOf(int Index) const { return FEntries[std::size_t(Index & 0xFF)]; }
  // The entry as a colour ($00BBGGRR).
  TColor ColorValueOf(int Index) const;
  // The entry closest to Color (least squared distance in red, green and blue; the lowest
  // index among equals). A palette-index colour ($010000nn) gives its index nn.
  std::uint8_t NearestIndex(TColor Color) const;

  // The other palette's text and entry flag; the entries are read from that text.
  void Assign(const TColorPalette& Source);
  // Re-reads the text first when it holds lines and no list was given since the last
  // Assign; then counts a change of the palette (GetChangeCount); with RewriteText the
  // text becomes the 256 entries.
  void RebuildPalette(bool RewriteText);
  // Rises with every rebuild, so users of the entries know when to read them again.
  std::uint32_t GetChangeCount() const { return FChangeCount; }

  // Fired with the error text when a line of the entries cannot be read (the game shows it
  // in a message box).
  std::function<void(TColorPalette& Sender, const std::string& Message)> OnLoadError;

private:
  std::uint8_t EntryFlag() const { return FPalEntryFlag == pcNoCollapse ? 4 : 1; }
  void ReadText();
  void RewriteText();

  bool FLoading = false;
  std::vector<std::string> FPaletteEntries;
  TPalEntryFlag FPalEntryFlag = pcNoCollapse;
  std::array<TPaletteEntry, EntryCount> FEntries{};
  std::uint32_t FChangeCount = 0;
};
