#include "CaptionArt.h"

#include <cstdint>
#include <map>

namespace {

struct TColour {
  std::uint8_t R, G, B;
};

// The letters of the drawings. "." is the transparent colour: the glyph engine takes the
// colour of a cell's top-left pixel as transparent, so every drawing starts with a ".".
const std::map<char, TColour>& Palette() {
  static const std::map<char, TColour> Colours = {
      {'.', {255, 0, 255}},  // transparent
      {'#', {0, 0, 0}},        // black
      {'g', {128, 128, 128}},  // gray
      {'s', {192, 192, 192}},  // silver
      {'w', {255, 255, 255}},  // white
      {'n', {0, 0, 128}},      // navy
      {'r', {128, 0, 0}},      // maroon
      {'y', {255, 255, 0}},    // yellow
      {'e', {0, 128, 0}},      // green
  };
  return Colours;
}

void SetPixel(TBitmap& Bitmap, int X, int Y, TColour C) {
  std::uint8_t* Pixel = Bitmap.ScanLine(Y) + X * 3;
  Pixel[0] = C.B;
  Pixel[1] = C.G;
  Pixel[2] = C.R;
}

TCaptionPicture FromDrawing(const std::string& Name, const std::vector<std::string>& Rows) {
  if (Rows.empty() || Rows[0].empty()) throw EBrenmoor(Name + ": empty drawing");
  const int Width = static_cast<int>(Rows[0].size());
  const int Height = static_cast<int>(Rows.size());
  TBitmap Bitmap(Width, Height, 24);
  for (int Y = 0; Y < Height; ++Y) {
    if (static_cast<int>(Rows[Y].size()) != Width) throw EBrenmoor(Name + ": row " + std::to_string(Y) + " differs in length");
    for (int X = 0; X < Width; ++X) {
      const auto Found = Palette().find(Rows[Y][X]);
      if (Found == Palette().end()) throw EBrenmoor(Name + ": no colour for '" + std::string(1, Rows[Y][X]) + "'");
      SetPixel(Bitmap, X, Y, Found->second);
    }
  }
  return TCaptionPicture{Name, std::move(Bitmap)};
}

// The close button's cross, in both styles.
const std::vector<std::string> Cross = {
    "...........",
    "...........",
    "..##....##.",
    "...##..##..",
    "....####...",
    ".....##....",
    "....####...",
    "...##..##..",
    "..##....##.",
    "...........",
};

// The game's emblem: a white star on a green disc with a gray and silver rim, on black (its
// corner colour, so the bar shows there), 32 x 32, in whole numbers only so that every
// machine draws the same pixels. Black and gray halve to clean shades in a glyph.
TCaptionPicture MainIcon() {
  TBitmap Bitmap(32, 32, 24);
  // The star's points, in tenths of a pixel, around the middle (16, 16).
  const int Star[10][2] = {{160, 50},  {186, 124}, {265, 126}, {203, 174}, {225, 249},
                           {160, 205}, {95, 249},  {117, 174}, {55, 126},  {134, 124}};
  auto InStar = [&](int PX, int PY) {
    bool Inside = false;
    for (int I = 0, J = 9; I < 10; J = I++) {
      const int XI = Star[I][0], YI = Star[I][1], XJ = Star[J][0], YJ = Star[J][1];
      if ((YI > PY) != (YJ > PY)) {
        // PX < XI + (PY - YI) * (XJ - XI) / (YJ - YI), without division.
        const long long Lhs = static_cast<long long>(PX - XI) * (YJ - YI);
        const long long Rhs = static_cast<long long>(PY - YI) * (XJ - XI);
        if (YJ - YI > 0 ? Lhs < Rhs : Lhs > Rhs) Inside = !Inside;
      }
    }
    return Inside;
  };
  const TColour Key = Palette().at('#');
  for (int Y = 0; Y < 32; ++Y)
    for (int X = 0; X < 32; ++X) {
      // Distance of the pixel's centre from the middle, in half pixels, squared.
      const int DX = 2 * X + 1 - 32;
      const int DY = 2 * Y + 1 - 32;
      const int D2 = DX * DX + DY * DY;
      TColour C = Key;
      if (D2 <= 30 * 30) C = Palette().at('g');
      if (D2 <= 28 * 28) C = Palette().at('s');
      if (D2 <= 25 * 25) C = Palette().at('e');
      if (InStar(X * 10 + 5, Y * 10 + 5)) C = Palette().at('w');
      SetPixel(Bitmap, X, Y, C);
    }
  return TCaptionPicture{"MAINICON", std::move(Bitmap)};
}

}  // namespace

std::vector<TCaptionPicture> MakeCaptionPictures() {
  std::vector<TCaptionPicture> Pictures;
  Pictures.push_back(FromDrawing("SBK_SYSTEMCLOSE_95", Cross));
  Pictures.push_back(FromDrawing("SBK_SYSTEMCLOSE_31", Cross));
  Pictures.push_back(FromDrawing("SBK_MAXIMIZE_95", {
                                                        "...........",
                                                        ".#########.",
                                                        ".#########.",
                                                        ".#.......#.",
                                                        ".#.......#.",
                                                        ".#.......#.",
                                                        ".#.......#.",
                                                        ".#.......#.",
                                                        ".#########.",
                                                        "...........",
                                                    }));
  Pictures.push_back(FromDrawing("SBK_RESTORE_95", {
                                                       "...........",
                                                       "...######..",
                                                       "...######..",
                                                       "...#....#..",
                                                       ".######.#..",
                                                       ".######.#..",
                                                       ".#....###..",
                                                       ".#....#....",
                                                       ".######....",
                                                       "...........",
                                                   }));
  Pictures.push_back(FromDrawing("SBK_MINIMIZE_95", {
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                        "..######...",
                                                        "..######...",
                                                        "...........",
                                                    }));
  Pictures.push_back(FromDrawing("SBK_MAXIMIZE_31", {
                                                        "...........",
                                                        "...........",
                                                        ".....#.....",
                                                        "....###....",
                                                        "...#####...",
                                                        "..#######..",
                                                        ".#########.",
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                    }));
  Pictures.push_back(FromDrawing("SBK_RESTORE_31", {
                                                       "...........",
                                                       ".....#.....",
                                                       "....###....",
                                                       "...#####...",
                                                       "..#######..",
                                                       "...........",
                                                       "..#######..",
                                                       "...#####...",
                                                       "....###....",
                                                       ".....#.....",
                                                   }));
  Pictures.push_back(FromDrawing("SBK_MINIMIZE_31", {
                                                        "...........",
                                                        "...........",
                                                        "...........",
                                                        ".#########.",
                                                        "..#######..",
                                                        "...#####...",
                                                        "....###....",
                                                        ".....#.....",
                                                        "...........",
                                                        "...........",
                                                    }));
  Pictures.push_back(FromDrawing("SBK_SYSTEMMENU_31", {
                                                          ".............",
                                                          ".............",
                                                          ".............",
                                                          ".###########.",
                                                          ".#wwwwwwwww#g",
                                                          ".###########g",
                                                          "..gggggggggg.",
                                                          ".............",
                                                          ".............",
                                                          ".............",
                                                      }));
  // The switches' glyphs fill a button of the main window's bar (20 x 19, 16 x 15 inside its
  // bevel) with the glyph engine's margins and spacing: 10 x 11.
  // The sound switch: a loudspeaker with its sound.
  Pictures.push_back(FromDrawing("SOUND", {
                                              "..........",
                                              "....#.....",
                                              "...##...#.",
                                              "..#w#.#..#",
                                              "##ww#..#.#",
                                              "#sww#..#.#",
                                              "##ww#..#.#",
                                              "..#w#.#..#",
                                              "...##...#.",
                                              "....#.....",
                                              "..........",
                                          }));
  // The music switch: two joined notes.
  Pictures.push_back(FromDrawing("MUSIC", {
                                              "..........",
                                              "...#######",
                                              "...#######",
                                              "...#.....#",
                                              "...#.....#",
                                              "...#.....#",
                                              "...#.....#",
                                              ".nn#...nn#",
                                              "nnnn..nnnn",
                                              ".nn....nn.",
                                              "..........",
                                          }));
  Pictures.push_back(MainIcon());
  return Pictures;
}
