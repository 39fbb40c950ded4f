#pragma once
// The readable source of a world map and its compilation into zones in map pixels.
//
// The source is drawn in longitude and latitude (hundredths of a degree are kept exactly) and
// mapped to pixels by a piecewise linear scale on each axis ("xmap", "ymap"), so that crowded
// parts of the world (Europe) get more pixels per degree than the open oceans.
//
// A record starts at the beginning of a line; lines that begin with white space continue it;
// "#" starts a comment. Fields are separated by "|":
//   size   | width | height                  the map's extent in pixels
//   tiles  | width | height                  the size of the background bitmaps
//   xmap   | lon:x lon:x ...                 knots of the longitude scale (ascending)
//   ymap   | lat:y lat:y ...                 knots of the latitude scale (descending latitude)
//   vertex | NAME lon,lat NAME lon,lat ...   named corners shared by several zones
//   path   | NAME | items                    a named run of corners (a border used twice)
//   land   | name | owner | biome | items    a land zone; owner ends in "*" for its capital;
//                                            biome: g temperate, d desert, t tundra, j jungle,
//                                            s steppe
//   sea    | name | items                    a sea zone
//   link   | zone | zone                     a link that is not a shared edge (strait, seam)
// Items of a zone's outline, in order around it: "lon,lat" a corner; NAME a named corner;
// ">PATH" a path forward, "<PATH" backward; in sea zones "~A..B" the coast from corner A to
// corner B, walked with the land on the right (the land zones' own corners, so the two sides
// of a coast always agree). A corner that repeats the one before it is dropped, and so is a
// last corner equal to the first. Sea zones are listed counter-clockwise (north up), land
// zones either way.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Geometry.h"

// Raised for a source that cannot be compiled; the message names the line and what is wrong.
class EWorldSource : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// A corner in hundredths of a degree: longitude east, latitude north.
struct TGeoPoint {
  std::int32_t Lon = 0;
  std::int32_t Lat = 0;
  friend auto operator<=>(const TGeoPoint&, const TGeoPoint&) = default;
};

struct TWorldZone {
  std::string Name;
  bool Sea = false;
  // Land zones: the owning nation of 1939, whether the zone is its capital, the biome letter.
  std::string Owner;
  bool Capital = false;
  char Biome = 'g';
  int Line = 0;
  std::vector<TGeoPoint> Geo;
  // The corners in map pixels, starting at the top-most corner (left-most of equals).
  std::vector<TPoint> Points;
  // Indexes of the zones that share an edge with this one, ascending.
  std::vector<int> Neighbours;
};

struct TWorldLink {
  int ZoneA = 0;
  int ZoneB = 0;
};

struct TWorldMap {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  std::int32_t TileWidth = 512;
  std::int32_t TileHeight = 512;
  std::vector<TWorldZone> Zones;
  std::vector<TWorldLink> Links;
  int FindZone(const std::string& Name) const;
};

// Reads and compiles a source text; FileName is used in errors.
TWorldMap CompileWorld(const std::string& Text, const std::string& FileName);
TWorldMap CompileWorldFile(const std::string& FileName);
