#pragma once
// The background art of a compiled world and the files of its map set: flat, posterised land
// and sea drawn into one 8-bit picture, cut into tiles that share one colour table, the map
// set text naming the tiles, placing them and listing the zones and links, and the side file
// of the land zones' owners for the scenario.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "WorldSource.h"
#include "sprites/Bitmap.h"

// Palette entries the art is drawn with (the game's own entries are listed in MapArt.cpp).
namespace MapColors {
constexpr std::uint8_t Ocean = 130;
constexpr std::uint8_t Shallows = 131;
constexpr std::uint8_t LandOutline = 62;
constexpr std::uint8_t SeaOutline = 156;
}  // namespace MapColors

// The 256 colours every tile carries.
const std::vector<TRGBQuad>& MapColorTable();

// The whole map, Width x Height, 8 bits per pixel with MapColorTable.
TBitmap DrawWorld(const TWorldMap& World);

struct TMapSetFiles {
  // The map set's text (CR LF line ends).
  std::string MapSet;
  // Tile i is the file Tiles[i].first (relative to the program folder, "/" separated).
  std::vector<std::pair<std::string, TBitmap>> Tiles;
  // The owners' side file text.
  std::string Owners;
};

// Everything the map compiler writes for a world called Name ("Standard").
TMapSetFiles MakeMapSetFiles(const TWorldMap& World, const std::string& Name);
