#pragma once
// The game screens' artwork, drawn by code: the map's icon sheets, the windows' glyphs, the
// cursors, the title picture and the help book. Everything is made with integer arithmetic
// (and exact halves), so every machine writes the same bytes.
#include <cstdint>
#include <string>
#include <vector>

#include "Pixels.h"
#include "gamemap/GameArt.h"
#include "sprites/Bitmap.h"

// The entries of the map's palette (tools/makemap) the artwork is drawn in.
namespace ArtColors {
constexpr std::uint8_t Black = 0;
constexpr std::uint8_t Green = 2;
constexpr std::uint8_t LightGrey = 7;
constexpr std::uint8_t Gold = 14;
constexpr std::uint8_t Orange = 16;
constexpr std::uint8_t Brick = 22;
constexpr std::uint8_t Sand = 35;
constexpr std::uint8_t Brown = 35;
constexpr std::uint8_t Forest = 39;
constexpr std::uint8_t Slate = 52;
constexpr std::uint8_t DarkGrey = 100;
constexpr std::uint8_t Water = 131;
constexpr std::uint8_t Ocean = 130;
constexpr std::uint8_t MidGrey = 160;
constexpr std::uint8_t Red = 249;
constexpr std::uint8_t Lime = 250;
constexpr std::uint8_t Yellow = 251;
constexpr std::uint8_t Blue = 252;
constexpr std::uint8_t Magenta = 253;
constexpr std::uint8_t White = 255;
// The colour left out of the windows' glyphs (their bottom-left pixel).
constexpr std::uint8_t GlyphKey = Magenta;
// The zone colour of each tally row: the major powers' colour slots 0-6, then the minor nations.
std::uint8_t SlotColor(int Row);
}  // namespace ArtColors

// The map's colour table (the one of the map's tiles).
const std::vector<TRGBQuad>& ArtColorTable();

// The map's icon sheets (MapIcons.cpp).
TPixels UnitTallySheet();
// One tally cell on the glyph key instead of the slate tile (for buttons and lists).
TPixels UnitIcon(int Type, int Row);
TPixels FactoryIcon();
TPixels ResourceIcon();
TPixels CapitalIcon();
TPixels PortIcon();
TPixels AirfieldIcon();
TPixels RocketIcon();

// One generated file: its path relative to the data folder and its bytes.
struct TArtFile {
  std::string Path;
  std::string Bytes;
};

// The windows' glyphs and pictures (WindowArt.cpp): name (as in GameArt) and picture.
struct TNamedPicture {
  std::string Name;
  TPixels Picture;
};
std::vector<TNamedPicture> WindowPictures();

// A Windows cursor file of a 32 x 32 picture with its hotspot (CursorArt.cpp).
std::string TargetCursorFile();
std::string BusyCursorFile();
// The title picture: a landing-craft scene, 640 x 450, as JPEG bytes (TitleArt.cpp). The
// title's lettering takes its face from the fonts folder.
std::string TitlePictureJpeg(const std::string& FontsFolder);
// The help book's pages (HelpPages.cpp).
std::vector<TArtFile> HelpPages();

// Everything the generator writes.
std::vector<TArtFile> GameArtFiles(const std::string& FontsFolder);
