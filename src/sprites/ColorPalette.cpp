#include "sprites/ColorPalette.h"

#include <optional>

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "sprites/Bitmap.h"

namespace {

// The colour numbers of one line: each up to the next "," or the end of the line.
std::optional<std::uint8_t> ReadNumber(std::string& Rest) {
  std::string Token = NextToken(Rest, ",");
  const auto First = Token.find_first_not_of(" \t\r");
  if (First == std::string::npos) return std::nullopt;
  Token = Token.substr(First, Token.find_last_not_of(" \t\r") - First + 1);
  const auto V = TryStrToInt(Token);
  if (!V || *V < 0 || *V > 255) return std::nullopt;
  return std::uint8_t(*V);
}

}  // namespace

const std::array<TPaletteEntry, 20>& TColorPalette::StaticColors() {
  static const std::array<TPaletteEntry, 20> Colors = {{
      {0, 0, 0, 0},       {128, 0, 0, 0},     {0, 128, 0, 0},     {128, 128, 0, 0},   {0, 0, 128, 0},
      {128, 0, 128, 0},   {0, 128, 128, 0},   {192, 192, 192, 0}, {192, 220, 192, 0}, {166, 202, 240, 0},
      {255, 251, 240, 0}, {160, 160, 164, 0}, {128, 128, 128, 0}, {255, 0, 0, 0},     {0, 255, 0, 0},
      {255, 255, 0, 0},   {0, 0, 255, 0},     {255, 0, 255, 0},   {0, 255, 255, 0},   {255, 255, 255, 0},
  }};
  return Colors;
}

TColorPalette::TColorPalette() {
  const auto& Static = StaticColors();
  for (int I = 0; I < 10; ++I) FEntries[std::size_t(I)] = Static[std::size_t(I)];
  for (int I = 246; I < 256; ++I) FEntries[std::size_t(I)] = Static[std::size_t(I - 236)];
  for (int I = 10; I < 246; ++I) {
    const auto V = std::uint8_t(I);
    FEntries[std::size_t(I)] = {V, V, V, EntryFlag()};
  }
  RewriteText();
}

void TColorPalette::Loaded() {
  if (!FPaletteEntries.empty()) SetPaletteEntries(FPaletteEntries);
  RebuildPalette(true);
}

void TColorPalette::SetPaletteEntries(const std::vector<std::string>& Lines) {
  FLoading = true;
  if (Lines.empty()) return;
  if (Lines.size() != EntryCount) throw EPalette("Exactly 256 entries must exist");
  if (&Lines != &FPaletteEntries) FPaletteEntries = Lines;
  ReadText();
  RebuildPalette(false);
}

void TColorPalette::SetPalEntryFlag(TPalEntryFlag Value) { FPalEntryFlag = Value; }

void TColorPalette::SetFromBitmap(const TBitmap& Bitmap) {
  for (int I = 10; I < 246; ++I) {
    const TRGBQuad C = Bitmap.GetColor(I);
    FEntries[std::size_t(I)] = {C.Red, C.Green, C.Blue, EntryFlag()};
  }
  // The entries now come from the bitmap, not from the text.
  FLoading = true;
  RebuildPalette(true);
}

TColor TColorPalette::ColorValueOf(int Index) const {
  const TPaletteEntry& E = FEntries[std::size_t(Index & 0xFF)];
  return RGBColor(E.Red, E.Green, E.Blue);
}

std::uint8_t TColorPalette::NearestIndex(TColor Color) const {
  if (IsPaletteIndexColor(Color)) return std::uint8_t(Color & 0xFF);
  const int R = GetRValue(Color), G = GetGValue(Color), B = GetBValue(Color);
  int Best = 0;
  int BestDistance = 1 << 30;
  for (int I = 0; I < EntryCount && BestDistance > 0; ++I) {
    const TPaletteEntry& E = FEntries[std::size_t(I)];
    const int DR = E.Red - R, DG = E.Green - G, DB = E.Blue - B;
    const int Distance = DR * DR + DG * DG + DB * DB;
    if (Distance < BestDistance) {
      BestDistance = Distance;
      Best = I;
    }
  }
  return std::uint8_t(Best);
}

void TColorPalette::Assign(const TColorPalette& Source) {
  if (&Source == this) return;
  FPaletteEntries = Source.FPaletteEntries;
  FPalEntryFlag = Source.FPalEntryFlag;
  FLoading = false;
  RebuildPalette(false);
}

void TColorPalette::RebuildPalette(bool Rewrite) {
  if (!FPaletteEntries.empty() && !FLoading) ReadText();
  ++FChangeCount;
  if (Rewrite) RewriteText();
}

void TColorPalette::ReadText() {
  const std::size_t Count = std::min<std::size_t>(FPaletteEntries.size(), EntryCount);
  for (std::size_t I = 0; I < Count; ++I) {
    std::string Rest = FPaletteEntries[I];
    const auto R = ReadNumber(Rest);
    const auto G = R ? ReadNumber(Rest) : std::nullopt;
    const auto B = G ? ReadNumber(Rest) : std::nullopt;
    if (!B) {
      if (OnLoadError) OnLoadError(*this, "Error Loading Palette Data");
      return;
    }
    FEntries[I] = {*R, *G, *B, IsStaticEntry(int(I)) ? std::uint8_t(0) : EntryFlag()};
  }
}

void TColorPalette::RewriteText() {
  FPaletteEntries.resize(EntryCount);
  for (std::size_t I = 0; I < EntryCount; ++I) {
    const TPaletteEntry& E = FEntries[I];
    FPaletteEntries[I] = IntToStr(E.Red) + "," + IntToStr(E.Green) + "," + IntToStr(E.Blue);
  }
}
