// The map's icon sheets: the unit tallies in every colour slot, factories, rich resources,
// capital, port, airfield and rocket site. Each cell is 20 x 16 on a dark slate tile, the
// shapes in one flat colour with a black outline, so they read at 100 % over any land or sea.
#include <array>

#include "GameArtDraw.h"

namespace {

// Keys of the pictures below: '#' the body colour (the nation's in a tally), 'w' white,
// 'k' black, 'g' light grey, 'd' dark grey, 'y' yellow, 'r' red, 'o' orange, 'b' water,
// 'n' brown; anything else leaves the tile.
const std::string Keys = "#wkgdyrobn";

std::vector<std::uint8_t> KeyColors(std::uint8_t Body) {
  return {Body, ArtColors::White, ArtColors::Black, ArtColors::LightGrey, ArtColors::DarkGrey,
          ArtColors::Yellow, ArtColors::Red, ArtColors::Orange, ArtColors::Water, ArtColors::Brown};
}

using TArt = std::vector<std::string>;

// The sixteen unit types in their order: merchant ship, artillery, AA gun, infantry, armour,
// fighter, dive bomber, bomber, atomic bomber, transport, destroyer, submarine, cruiser,
// carrier, battleship, jet fighter.
const std::array<TArt, 16>& UnitArt() {
  static const std::array<TArt, 16> Art = [] {
    std::array<TArt, 16> A = {{
      // Merchant ship: derricks fore and aft, a funnel over the stern house.
      {"....................",
       "....................",
       "....................",
       "..g........g........",
       "..g.......g.g.......",
       "..g........g...gg...",
       "..g..g.....g...##...",
       ".ggg.g....ggg..##...",
       "..g..g.....g..####..",
       ".##################.",
       "..###ww###ww###ww#..",
       "...##############...",
       "....############....",
       "...bbbb.bbbb.bbbb...",
       "....................",
       "...................."},
      // Artillery: a long barrel on a two-wheeled carriage with its trail.
      {"....................",
       "....................",
       "....................",
       "..............###...",
       "............###.....",
       "..........###.......",
       "........###.........",
       "......####..........",
       ".....######.........",
       "....##kkk##.........",
       "...##kgggk####......",
       "..##.kgkgk...####...",
       ".##..kgggk......##..",
       "......kkk...........",
       "....................",
       "...................."},
      // AA gun: twin barrels pointing up from a turntable, flak bursts above.
      {"...............ww...",
       "..............wwww..",
       "..........ww...ww...",
       ".........wwww.......",
       "..........ww.##.....",
       ".............##.....",
       "............##.##...",
       "...........##.##....",
       "..........##.##.....",
       ".........#####......",
       "........######......",
       ".......########.....",
       ".....############...",
       "....##############..",
       "....................",
       "...................."},
      // Infantry: a soldier in a helmet, rifle on the shoulder.
      {"....................",
       "...........k........",
       "........####k.......",
       ".......######k......",
       "........gggg.k......",
       "........gggg..k.....",
       ".........gg...k.....",
       ".......######.k.....",
       "......########k.....",
       "......##.####.#.....",
       "......##.####.......",
       "......g..####.......",
       ".........##.##......",
       ".........##.##......",
       "........kkk.kkk.....",
       "...................."},
      // Armour: a tank with turret and gun over its tracks.
      {"....................",
       "....................",
       "....................",
       "....................",
       "........######......",
       ".......########kkkkk",
       ".......########.....",
       "...##############...",
       "..################..",
       "..kkkkkkkkkkkkkkkk..",
       ".kgkgkgkgkgkgkgkgkk.",
       ".kkgkgkgkgkgkgkgkk..",
       "..kkkkkkkkkkkkkkkk..",
       "....................",
       "....................",
       "...................."},
      // Fighter: a single-engine plane seen from above, straight wings, propeller.
      {".........kk.........",
       "........kkkk........",
       ".........##.........",
       ".........##.........",
       ".........ww.........",
       "..################..",
       ".##################.",
       ".........##.........",
       ".........##.........",
       ".........##.........",
       ".........##.........",
       ".......######.......",
       ".......######.......",
       "....................",
       "....................",
       "...................."},
      // Dive bomber: gull wings, plunging nose down, a bomb falling away.
      {"....................",
       ".........##.........",
       "........####........",
       ".###....####....###.",
       "..####..####..####..",
       "....############....",
       "......########......",
       ".........##.........",
       ".........##.........",
       ".........ww.........",
       "........kkkk........",
       "....................",
       ".........kk.........",
       "........kddk........",
       ".........kk.........",
       "...................."},
      // Bomber: four engines on long wings, seen from above.
      {".........##.........",
       "........####........",
       "........#ww#........",
       "...k.k..####..k.k...",
       "..################..",
       "####################",
       "..################..",
       "........####........",
       "........####........",
       "........####........",
       "........####........",
       "......########......",
       "......########......",
       "....................",
       "....................",
       "...................."},
      // Atomic bomber: the bomber (below) with the yellow atomic mark on its fuselage.
      {},
      // Transport: a troopship with a long deckhouse of portholes.
      {"....................",
       "....................",
       "....................",
       "........kk..........",
       "........##..........",
       "......######........",
       "...##############...",
       "...#w#w#w#w#w#w##...",
       "...##############...",
       ".##################.",
       "..################..",
       "...##############...",
       "....############....",
       "...bbbb.bbbb.bbbb...",
       "....................",
       "...................."},
      // Destroyer: a low, fast hull with two raked funnels and a bow gun.
      {"....................",
       "....................",
       "....................",
       "....................",
       "....................",
       ".......kk..kk.......",
       ".......##..##.......",
       "......##..##........",
       "....##########.kk...",
       "..#################.",
       "...###############..",
       ".....###########....",
       "....................",
       "..bbbb.bbbb.bbbb....",
       "....................",
       "...................."},
      // Submarine: a cigar hull awash, conning tower and periscope.
      {"....................",
       "....................",
       "....................",
       "....................",
       "..........k.........",
       "..........k.........",
       ".........###........",
       "........#####.......",
       "...#####################.",
       "..##################..",
       "...################...",
       "bbbbbbbbbbbbbbbbbbbb",
       ".bbbb.bbbb.bbbb.bbbb",
       "....................",
       "....................",
       "...................."},
      // Cruiser: two turrets, a tower and a funnel.
      {"....................",
       "....................",
       "....................",
       "..........k.........",
       ".........###........",
       ".........###.kk.....",
       "...kk###.###.##.....",
       "....###..####.###kk.",
       "...###############..",
       ".##################.",
       "..################..",
       "...##############...",
       "....................",
       "..bbbb.bbbb.bbbb....",
       "....................",
       "...................."},
      // Carrier: a flat flight deck overhanging the hull, the island on the right.
      {"....................",
       "....................",
       "....................",
       "....................",
       "..............k.....",
       ".............###....",
       ".............###....",
       "####################",
       "#w#w#w#w#w#w#w#w#w##",
       "..################..",
       "...##############...",
       "....############....",
       "....................",
       "..bbbb.bbbb.bbbb....",
       "....................",
       "...................."},
      // Battleship: a big hull with three heavy turrets and a tall tower.
      {"....................",
       "..........k.........",
       ".........###........",
       "........#####.......",
       "........#####.......",
       ".kkk###.#####.###kkk",
       "....###.#####.###...",
       ".kkk###########.....",
       "###################.",
       "####################",
       ".##################.",
       "..################..",
       "...##############...",
       "..bbbb.bbbb.bbbb....",
       "....................",
       "...................."},
      // Jet fighter: swept wings, no propeller, twin exhaust.
      {".........##.........",
       ".........##.........",
       "........####........",
       "........#ww#........",
       ".......######.......",
       "......########......",
       ".....##########.....",
       "....####.##.####....",
       "...###...##...###...",
       "..##.....##.....##..",
       ".........##.........",
       "........####........",
       ".......##..##.......",
       ".......oo..oo.......",
       "....................",
       "...................."},
  }};
    A[8] = A[7];
    A[8][5].replace(7, 6, "yyyyyy");
    A[8][6].replace(7, 6, "ykkkky");
    A[8][7].replace(8, 4, "ykky");
    A[8][8].replace(8, 4, "yyyy");
    return A;
  }();
  return Art;
}

TPixels Tile(int Width, int Height) { return TPixels(Width, Height, ArtColors::Slate); }

// One cell: the art drawn at (X, Y) in Body, outlined in black within the cell, on Ground.
void DrawCell(TPixels& Sheet, int X, int Y, const TArt& Art, std::uint8_t Body,
              std::uint8_t Ground = ArtColors::Slate) {
  // A cell's 20 columns only; longer rows are cut.
  TArt Cut = Art;
  for (std::string& Row : Cut)
    if (Row.size() > std::size_t(GameArt::IconWidth)) Row.resize(std::size_t(GameArt::IconWidth));
  Sheet.Ascii(X, Y, Cut, Keys, KeyColors(Body));
  Sheet.OutlineShapes(X, Y, X + GameArt::IconWidth - 1, Y + GameArt::IconHeight - 1, Ground, ArtColors::Black);
}

TPixels OneCell(const TArt& Art, std::uint8_t Body) {
  TPixels Sheet = Tile(GameArt::IconWidth, GameArt::IconHeight);
  DrawCell(Sheet, 0, 0, Art, Body);
  return Sheet;
}

}  // namespace

TPixels UnitTallySheet() {
  TPixels Sheet = Tile(16 * GameArt::IconWidth, 8 * GameArt::IconHeight);
  for (int Row = 0; Row < 8; ++Row)
    for (int Type = 0; Type < 16; ++Type)
      DrawCell(Sheet, Type * GameArt::IconWidth, Row * GameArt::IconHeight, UnitArt()[std::size_t(Type)],
               ArtColors::SlotColor(Row));
  return Sheet;
}

TPixels UnitIcon(int Type, int Row) {
  TPixels Cell(GameArt::IconWidth, GameArt::IconHeight, ArtColors::GlyphKey);
  DrawCell(Cell, 0, 0, UnitArt()[std::size_t(Type)], ArtColors::SlotColor(Row), ArtColors::GlyphKey);
  return Cell;
}

TPixels FactoryIcon() {
  return OneCell({"....................",
                  "..............dd....",
                  "...........dd.dd....",
                  "..............gg....",
                  "..............gg....",
                  "..............gg....",
                  "...#...#...#..gg....",
                  "...##..##..##.gg....",
                  "...###.###.######...",
                  "...##############...",
                  "...#yy#yy#yy#yy##...",
                  "...##############...",
                  "...##############...",
                  "....................",
                  "....................",
                  "...................."},
                 ArtColors::Brick);
}

TPixels ResourceIcon() {
  return OneCell({"....................",
                  "....................",
                  "....................",
                  "........w...........",
                  ".......www..........",
                  "........w...........",
                  "..........###.......",
                  ".....###.#####......",
                  "....##w######w#.....",
                  "...####w########....",
                  "..######.#######....",
                  "..nnnnnnnnnnnnnnnn..",
                  "...nnnnnnnnnnnnnn...",
                  "....................",
                  "....................",
                  "...................."},
                 ArtColors::Gold);
}

TPixels CapitalIcon() {
  // A gold star, 12 x 12, beside the capital's name.
  TPixels Sheet(12, 12, ArtColors::Black);
  Sheet.Ascii(0, 0,
              {"............",
               ".....##.....",
               ".....##.....",
               "....####....",
               "############",
               ".##########.",
               "..########..",
               "...######...",
               "...######...",
               "..###..###..",
               "..##....##..",
               "............"},
              Keys, KeyColors(ArtColors::Yellow));
  return Sheet;
}

TPixels PortIcon() {
  return OneCell({"....................",
                  ".........##.........",
                  "........#..#........",
                  ".........##.........",
                  ".......######.......",
                  ".........##.........",
                  ".........##.........",
                  ".........##.........",
                  "...#.....##.....#...",
                  "..###....##....###..",
                  "...##....##....##...",
                  "....###..##..###....",
                  "......########......",
                  "........####........",
                  "....................",
                  "...................."},
                 ArtColors::White);
}

TPixels AirfieldIcon() {
  return OneCell({"....................",
                  "...........##.......",
                  "...........##.......",
                  "........########....",
                  "...........##.......",
                  "..........####......",
                  "....................",
                  "dddddddddddddddddddd",
                  "dddddddddddddddddddd",
                  "dwwwdddwwwdddwwwdddw",
                  "dddddddddddddddddddd",
                  "dddddddddddddddddddd",
                  "....................",
                  "....................",
                  "....................",
                  "...................."},
                 ArtColors::White);
}

TPixels RocketIcon() {
  return OneCell({".........w..........",
                  "........www.........",
                  "........www.........",
                  "........#w#.........",
                  "........###.........",
                  "........###.........",
                  "........###.........",
                  "........#k#.........",
                  "........###.........",
                  ".......#####........",
                  "......##.#.##.......",
                  "........ooo.........",
                  ".......oyyyo........",
                  "...dddddddddddddd...",
                  "...dddddddddddddd...",
                  "...................."},
                 ArtColors::LightGrey);
}
