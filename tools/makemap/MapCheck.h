#pragma once
// The map set validator: loads a map set with the game's own readers, as the game does (from
// the program folder, with the game's grid and outline settings), and checks everything the
// game and the scenario rely on. Each problem is one line of text naming the zone or line.
#include <string>
#include <vector>

#include "ZoneLabels.h"

struct TMapCheckOptions {
  // The game's grid: first row below a zone's first corner, column and row steps.
  int GridMarginTop = 16;
  int GridWidth = 20;
  int GridHeight = 26;
  // Every land zone needs room for this many unit slots.
  int MinLandSlots = 3;
  // Storms need room: the map must be at least this wide.
  int MinWidth = 1600;
};

struct TMapCheckResult {
  std::vector<std::string> Problems;
  int LandZones = 0;
  int SeaZones = 0;
  int Links = 0;
  int Width = 0;
  int Height = 0;
  int FewestLandSlots = 0;
  std::string FewestSlotsZone;
  bool Ok() const { return Problems.empty(); }
};

// Checks the map set MapSetName (relative to Folder, which is made the current folder while
// the map set and its bitmaps are read, as the program folder is when the game runs).
TMapCheckResult CheckMapSet(const std::string& Folder, const std::string& MapSetName,
                            const TMapCheckOptions& Options = {});

// Draws the whole map as the game shows it before a game starts (background, land and sea
// outlines in the game's outline colours, land names at their first corners as the game
// labels them, sea names at their middles, a dot at every unit slot) and writes it as a PNG.
// Fonts come from FontsFolder. Raises an exception when the map set cannot be read.
void WriteMapPicture(const std::string& Folder, const std::string& MapSetName, const std::string& FontsFolder,
                     const std::string& PngFile);

// How the land zones' labels sit on the map set MapSetName in Folder (relative to it), measured
// with the fonts of FontsFolder; capitals come from the owners' side file maps/<stem>.owners.txt
// when there is one. Raises an exception when the map set or the fonts cannot be read.
TLabelReport CheckLabels(const std::string& Folder, const std::string& MapSetName, const std::string& FontsFolder);
