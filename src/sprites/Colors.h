#pragma once
// Colours as the game's windows give them: TColor is $00BBGGRR (red in the low byte). A value
// with the high byte $01 names a palette entry directly ($010000nn is entry nn), so code that
// knows the palette index of what it draws can pass it through a colour unchanged.
#include <cstdint>

using TColor = std::uint32_t;

constexpr TColor clBlack = 0x000000;
constexpr TColor clMaroon = 0x000080;
constexpr TColor clGreen = 0x008000;
constexpr TColor clOlive = 0x008080;
constexpr TColor clNavy = 0x800000;
constexpr TColor clPurple = 0x800080;
constexpr TColor clTeal = 0x808000;
constexpr TColor clGray = 0x808080;
constexpr TColor clSilver = 0xC0C0C0;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clYellow = 0x00FFFF;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clFuchsia = 0xFF00FF;
constexpr TColor clAqua = 0xFFFF00;
constexpr TColor clWhite = 0xFFFFFF;

constexpr TColor RGBColor(std::uint8_t R, std::uint8_t G, std::uint8_t B) {
  return TColor(R) | (TColor(G) << 8) | (TColor(B) << 16);
}
constexpr std::uint8_t GetRValue(TColor C) { return std::uint8_t(C & 0xFF); }
constexpr std::uint8_t GetGValue(TColor C) { return std::uint8_t((C >> 8) & 0xFF); }
constexpr std::uint8_t GetBValue(TColor C) { return std::uint8_t((C >> 16) & 0xFF); }

// The colour that stands for palette entry Index.
constexpr TColor PaletteIndexColor(std::uint8_t Index) { return 0x01000000u | Index; }
constexpr bool IsPaletteIndexColor(TColor C) { return (C >> 24) == 0x01; }
