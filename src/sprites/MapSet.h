#pragma once
// The map set file: text lines "key=value" naming the background bitmaps ("Bitmap"), the
// elements that place them ("Element"), the zone polygons ("Zone") and the links between
// zones ("Link"). TMapSet reads the file into records in file order; the loader below fills a
// zone map from them (zones through the map's OnCreateZone, links, neighbours, grid) and gives
// the map its extent from the bitmaps' headers and the elements' places, with no pixels read.
// The map surface makes its sprite factories, background sprites and preview from the same
// records.
//
// A line ends at CR, LF or CR LF, and is cut at its first "=" into key and value (a line
// without "=" is a key with an empty value). Keys are compared exactly, case included; lines
// with other keys are ignored. Numbers that cannot be read count as 0.
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Exception.h"
#include "sprites/ZoneMap.h"

// Raised for a map set that cannot be read or loaded; the message names the file and, for a
// line that cannot be used, the line's number.
class EMapSet : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

enum TMapSetKind : std::uint8_t { mkBitmap, mkElement, mkZone, mkLink };

// One line of a map set that the game uses.
struct TMapSetRecord {
  TMapSetKind Kind = mkBitmap;
  // The line's number in the file, counted from 1.
  int Line = 0;
  // The value as read: the text after the first "=".
  std::string Value;
  // The record's position among the records of its kind: a Bitmap's place in the factory
  // list, a Zone's index in the zone list.
  int Index = 0;

  // Bitmap: the file to read: the value with "\" as well as "/" separating folders, a
  // relative name resolved against the folder that was current when the map set was read.
  std::string FileName;
  // Bitmap: the picture's size and depth from the file's header (0 until they are read).
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  int BitsPerPixel = 0;

  // Element "bitmap text:x,y": the bitmap text, the Index of the first earlier Bitmap line
  // whose value is that text (letters compared regardless of case), and the place.
  std::string BitmapText;
  int Bitmap = -1;
  std::int32_t X = 0;
  std::int32_t Y = 0;

  // Link "i,j": the indexes of two zones of earlier Zone lines.
  int ZoneA = 0;
  int ZoneB = 0;
};

class TMapSet {
public:
  // Reads and parses the file, then the header of every Bitmap line's file. Raises EMapSet
  // naming the file when it does not exist or cannot be read, and naming the line for a
  // line that cannot be used (an Element of a bitmap no earlier Bitmap line gives, a Link to
  // a zone no earlier Zone line gives, a bitmap that is missing, unreadable or not of 8 bits
  // per pixel).
  static TMapSet LoadFromFile(const std::string& FileName);
  // Parses the text of a map set called FileName (used in errors); reads no bitmap.
  static TMapSet Parse(std::string_view Text, const std::string& FileName);
  // Reads the header of every Bitmap line's file into its record.
  void ReadBitmapHeaders();

  const std::string& GetFileName() const { return FFileName; }
  // Every used line, in file order.
  const std::vector<TMapSetRecord>& GetRecords() const { return FRecords; }
  int BitmapCount() const { return static_cast<int>(FBitmaps.size()); }
  int ElementCount() const { return static_cast<int>(FElements.size()); }
  int ZoneCount() const { return static_cast<int>(FZones.size()); }
  int LinkCount() const { return static_cast<int>(FLinks.size()); }
  // Record I of a kind; an index outside raises EListError.
  const TMapSetRecord& GetBitmap(int I) const;
  const TMapSetRecord& GetElement(int I) const;
  const TMapSetRecord& GetZone(int I) const;
  const TMapSetRecord& GetLink(int I) const;

  // The right and bottom edges of the farthest elements (each element's place plus its
  // bitmap's size), never below 0: 0 x 0 for a map set without elements.
  TMapExtent GetExtent() const;

  // The error for a line: "Map set "file", line n: what".
  EMapSet LineError(int Line, const std::string& What) const;

private:
  std::string FFileName;
  std::vector<TMapSetRecord> FRecords;
  std::vector<std::size_t> FBitmaps;
  std::vector<std::size_t> FElements;
  std::vector<std::size_t> FZones;
  std::vector<std::size_t> FLinks;
};

// Everything of a load that can fail, into a map of its own so that Target keeps its zones
// when a line cannot be used: every Zone line becomes a zone made by Target.CreateZone (so
// OnCreateZone gets Target as Sender and the zone belongs to Target), every Link line a link;
// after the whole file each zone's neighbour text adds its neighbours (one way, no test for
// presence), every link is made mutual, the grid is built with Target's grid settings and the
// extent is the set's. Raises EMapSet naming the line of a zone that cannot be made, whose
// neighbour text names no zone of the map, or that is too large for the grid
// (TZoneMap::CheckGrid).
std::unique_ptr<TZoneMap> StageZoneMap(TZoneMap& Target, const TMapSet& Set);
// StageZoneMap, then Target.ReplaceWith the staged map.
void LoadZoneMap(TZoneMap& Target, const TMapSet& Set);
// Reads the file (TMapSet::LoadFromFile) and loads it into Target; the records are handed
// back for the map surface's bitmaps and elements.
TMapSet LoadZoneMapFromFile(TZoneMap& Target, const std::string& FileName);

// The file-name part of a map set's name: the text after its last "\", "/" or ":".
std::string MapSetFileNamePart(const std::string& FileName);
