#pragma once
// The Standard scenario: the Second World War from 1 September 1939 on the Standard map. The
// readable tables of the 1939 world (nations, alliances and relations, the zones' industry
// and defences, the armies, air forces and fleets, the random events, the victory conditions
// and the reinforcements) live in StandardScenario.cpp; MakeStandardScenario turns them, with
// the map set and its owners' side file, into the scenario file and the flags bitmap.
#include <string>
#include <vector>

#include "foundation/Exception.h"
#include "sprites/Bitmap.h"

// The tables and the map disagree (a zone of no map, a unit placement the game would not
// keep, a nation without flag...): the message names the entry.
class EScenarioSource : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// A flag cell of the flags bitmap: the nation lists and the hall of fame draw it at the left
// of an 18- or 20-pixel line with the name 34 or 35 pixels to the right.
constexpr int FlagCellWidth = 32;
constexpr int FlagCellHeight = 16;

struct TScenarioFiles {
  // "Standard.brmscen" (CR LF line ends).
  std::string Scenario;
  // "StandardFlags.bmp": one row of flag cells in nation order, 8 bits per pixel with the
  // map's colour table.
  TBitmap Flags;
};

// Reads DataFolder/Standard.brmmap and DataFolder/maps/Standard.owners.txt and makes the
// scenario and its flags. Raises EScenarioSource when the tables do not fit the map.
TScenarioFiles MakeStandardScenario(const std::string& DataFolder);

// The flags of the named nations in that order, FlagCellWidth x FlagCellHeight each, framed
// in a grey that no flag uses. Raises EScenarioSource for a nation without a flag design.
TBitmap DrawFlags(const std::vector<std::string>& Nations);
