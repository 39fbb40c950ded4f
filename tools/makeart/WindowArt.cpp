// The windows' pictures: the order and toolbar buttons' glyphs, the diplomacy counter, the
// status bar's icons, the victory list's bullet, the gradient cells, the submerged mark and the
// scroller's compass. Glyphs lie on the key colour (their bottom-left pixel), left out when drawn.
#include <array>
#include <functional>
#include <map>

#include "GameArtDraw.h"

namespace C = ArtColors;

namespace {

constexpr int OW = GameArt::IconWidth, OH = GameArt::IconHeight;
constexpr int TS = GameArt::ToolbarGlyphSize;

TPixels Order() { return TPixels(OW, OH, C::GlyphKey); }
TPixels Tool() { return TPixels(TS, TS, C::GlyphKey); }

// Outlines every shape of the board in black, as the map's icons are.
TPixels& Outlined(TPixels& P) {
  P.OutlineShapes(0, 0, P.Width() - 1, P.Height() - 1, C::GlyphKey, C::Black);
  return P;
}

// An arrow from (X1, Y1) to (X2, Y2) along one axis or a diagonal, its head at the second end.
void Arrow(TPixels& P, int X1, int Y1, int X2, int Y2, std::uint8_t Color, int Thick = 2, int Head = 4) {
  P.Line(X1, Y1, X2, Y2, Color, Thick);
  const int DX = (X2 > X1) - (X2 < X1), DY = (Y2 > Y1) - (Y2 < Y1);
  // The head: a filled triangle whose tip is one pixel beyond the end.
  const int TX = X2 + DX, TY = Y2 + DY;
  const int BX = X2 - DX * Head, BY = Y2 - DY * Head;
  // Perpendicular (-DY, DX).
  P.Polygon({{TX + (DX > 0), TY + (DY > 0)},
             {BX - DY * Head + (DX > 0), BY + DX * Head + (DY > 0)},
             {BX + DY * Head + (DX > 0), BY - DX * Head + (DY > 0)}},
            Color);
}

// A small green "+" in the top-right corner: the build orders.
void PlusMark(TPixels& P) {
  const int X = P.Width() - 4, Y = 3;
  P.Rect(X - 3, Y - 1, X + 2, Y, C::Lime);
  P.Rect(X - 1, Y - 3, X, Y + 2, C::Lime);
}

// A small red cross.
void Cross(TPixels& P, int X1, int Y1, int X2, int Y2) {
  P.Line(X1, Y1, X2, Y2, C::Red, 3);
  P.Line(X1, Y2, X2, Y1, C::Red, 3);
}

// Waves along row Y.
void Waves(TPixels& P, int Y, std::uint8_t Color = C::Water) {
  for (int X = 1; X < P.Width() - 1; ++X) P.Set(X, Y + ((X / 2) % 2), Color);
}

// A small hull at the bottom of an order glyph.
void SmallHull(TPixels& P, int Y) {
  P.Polygon({{1, Y}, {19, Y}, {16, Y + 4}, {4, Y + 4}}, C::LightGrey);
  P.Rect(8, Y - 3, 12, Y - 1, C::LightGrey);
}

void Plane(TPixels& P, int CX, int CY, std::uint8_t Color) {
  P.Rect(CX - 1, CY - 5, CX, CY + 4, Color);
  P.Rect(CX - 7, CY - 2, CX + 6, CY - 1, Color);
  P.Rect(CX - 3, CY + 3, CX + 2, CY + 4, Color);
}

void Crosshair(TPixels& P, int CX, int CY, int R, std::uint8_t Color) {
  P.Ring2(2 * CX + 1, 2 * CY + 1, 2 * R, 2 * R - 3, Color);
  P.Line(CX, CY - R - 1, CX, CY - R + 3, Color);
  P.Line(CX, CY + R - 3, CX, CY + R + 1, Color);
  P.Line(CX - R - 1, CY, CX - R + 3, CY, Color);
  P.Line(CX + R - 3, CY, CX + R + 1, CY, Color);
}

void Anchor(TPixels& P, int CX, int Top, std::uint8_t Color) {
  P.Ring2(2 * CX + 1, 2 * Top + 3, 4, 1, Color);
  P.Rect(CX - 3, Top + 3, CX + 3, Top + 3, Color);
  P.Rect(CX, Top + 3, CX, Top + 11, Color);
  P.Line(CX - 5, Top + 8, CX, Top + 12, Color);
  P.Line(CX + 5, Top + 8, CX, Top + 12, Color);
}

void Rocket(TPixels& P, int CX, int Top, int Height) {
  P.Rect(CX - 1, Top + 2, CX + 1, Top + Height - 3, C::LightGrey);
  P.Set(CX, Top + 1, C::White);
  P.Rect(CX - 1, Top + 1, CX + 1, Top + 1, C::White);
  P.Set(CX, Top, C::White);
  P.Rect(CX - 3, Top + Height - 4, CX - 2, Top + Height - 2, C::LightGrey);
  P.Rect(CX + 2, Top + Height - 4, CX + 3, Top + Height - 2, C::LightGrey);
  P.Rect(CX - 1, Top + Height - 2, CX + 1, Top + Height - 1, C::Orange);
}

void Coins(TPixels& P, int X, int Y) {
  for (int I = 0; I < 3; ++I) P.Rect(X, Y - 2 * I, X + 6, Y - 2 * I + 1, C::Gold);
  P.Rect(X + 1, Y - 5, X + 5, Y - 5, C::Yellow);
}

void Globe(TPixels& P, int CX2, int CY2, int R2) {
  P.Disc2(CX2, CY2, R2, C::Water);
  P.Polygon({{CX2 / 2 - R2 / 4, CY2 / 2 - R2 / 4}, {CX2 / 2, CY2 / 2 - R2 / 3}, {CX2 / 2 + 1, CY2 / 2},
             {CX2 / 2 - 2, CY2 / 2 + R2 / 4}},
            C::Green);
  P.Polygon({{CX2 / 2 + 2, CY2 / 2 - 1}, {CX2 / 2 + R2 / 3, CY2 / 2 - 2}, {CX2 / 2 + R2 / 3, CY2 / 2 + R2 / 4}},
            C::Green);
}

// The diplomacy counter: a treaty scroll carrying Seals red seals.
TPixels Treaty(int Seals) {
  TPixels P = Tool();
  P.Rect(4, 3, 19, 20, C::Sand);
  P.Rect(3, 2, 20, 3, C::Brown);
  P.Rect(3, 20, 20, 21, C::Brown);
  for (int Y = 6; Y <= 12; Y += 2) P.Rect(6, Y, 17, Y, C::DarkGrey);
  for (int I = 0; I < Seals; ++I) P.Disc2(2 * (7 + 5 * I) + 1, 2 * 16 + 1, 5, C::Red);
  return Outlined(P);
}

TPixels CompassGlyph() {
  // 57 x 57: a dark disc, a ring, the eight points and the axes, lit from the top left.
  TPixels P(57, 57, C::Black);
  P.Disc2(57, 57, 56, C::Slate);
  P.Ring2(57, 57, 56, 52, C::Gold);
  P.Ring2(57, 57, 36, 33, C::DarkGrey);
  // Main points: north, east, south, west; each half light and half dark.
  const int M = 28;
  P.Polygon({{M, 3}, {M + 1, 3}, {M + 1, M}, {M - 4, M - 4}}, C::White);
  P.Polygon({{M + 1, 3}, {M + 5, M - 4}, {M + 1, M}}, C::MidGrey);
  P.Polygon({{54, M}, {54, M + 1}, {M + 1, M + 1}, {M + 5, M - 4}}, C::White);
  P.Polygon({{54, M + 1}, {M + 5, M + 5}, {M + 1, M + 1}}, C::MidGrey);
  P.Polygon({{M + 1, 54}, {M, 54}, {M, M + 1}, {M + 5, M + 5}}, C::White);
  P.Polygon({{M, 54}, {M - 4, M + 5}, {M, M + 1}}, C::MidGrey);
  P.Polygon({{3, M + 1}, {3, M}, {M, M}, {M - 4, M + 5}}, C::White);
  P.Polygon({{3, M}, {M - 4, M - 4}, {M, M}}, C::MidGrey);
  // The north point in red.
  P.Polygon({{M, 3}, {M + 1, 3}, {M + 1, M - 8}, {M - 2, M - 10}}, C::Red);
  P.Polygon({{M + 1, 3}, {M + 3, M - 10}, {M + 1, M - 8}}, C::Brick);
  P.Disc2(57, 57, 5, C::Gold);
  return P;
}

using TMaker = std::function<TPixels()>;

const std::map<std::string, TMaker>& OrderMakers() {
  static const std::map<std::string, TMaker> Makers = {
      {"btnMove", [] { TPixels P = Order(); Arrow(P, 2, 8, 15, 8, C::Lime, 3, 5); return Outlined(P); }},
      {"btnRetreat", [] { TPixels P = Order(); Arrow(P, 17, 8, 4, 8, C::Yellow, 3, 5); return Outlined(P); }},
      {"btnDock", [] { TPixels P = Order(); Anchor(P, 10, 1, C::White); Waves(P, 14); return Outlined(P); }},
      {"btnEmbark", [] { TPixels P = Order(); SmallHull(P, 10); Arrow(P, 10, 0, 10, 5, C::Lime, 2, 3); return Outlined(P); }},
      {"btnDisembark", [] { TPixels P = Order(); SmallHull(P, 10); Arrow(P, 10, 6, 10, 1, C::Yellow, 2, 3); return Outlined(P); }},
      {"btnIntercept", [] { TPixels P = Order(); Crosshair(P, 10, 8, 6, C::Red); return Outlined(P); }},
      {"btnInvade", [] { TPixels P = Order(); P.Rect(13, 10, 19, 14, C::Sand); Waves(P, 13); Arrow(P, 1, 6, 12, 6, C::Red, 3, 4); return Outlined(P); }},
      {"btnPatrol", [] { TPixels P = Order(); P.Ring2(21, 17, 14, 10, C::LightGrey); P.Polygon({{14, 2}, {19, 7}, {13, 9}}, C::LightGrey); return Outlined(P); }},
      {"btnRecon", [] { TPixels P = Order(); P.Disc2(13, 19, 9, C::DarkGrey); P.Disc2(27, 19, 9, C::DarkGrey); P.Disc2(13, 19, 5, C::Water); P.Disc2(27, 19, 5, C::Water); P.Rect(8, 6, 11, 8, C::DarkGrey); return Outlined(P); }},
      {"btnBombard", [] { TPixels P = Order(); P.Polygon({{10, 0}, {12, 6}, {19, 4}, {13, 9}, {18, 15}, {10, 11}, {2, 15}, {7, 9}, {1, 4}, {8, 6}}, C::Orange); P.Disc2(21, 17, 5, C::Yellow); return Outlined(P); }},
      {"btnAirStrike", [] { TPixels P = Order(); Plane(P, 7, 6, C::LightGrey); Arrow(P, 15, 3, 15, 12, C::Red, 2, 3); return Outlined(P); }},
      {"btnBomb", [] { TPixels P = Order(); P.Disc2(21, 21, 9, C::DarkGrey); P.Rect(8, 1, 12, 3, C::DarkGrey); P.Rect(7, 0, 13, 0, C::DarkGrey); return Outlined(P); }},
      {"btnAtomic", [] { TPixels P = Order(); P.Disc2(21, 17, 15, C::Yellow); P.Polygon({{10, 8}, {6, 1}, {14, 1}}, C::Black); P.Polygon({{10, 8}, {2, 12}, {6, 15}}, C::Black); P.Polygon({{10, 8}, {18, 12}, {14, 15}}, C::Black); P.Disc2(21, 17, 3, C::Yellow); P.Disc2(21, 17, 2, C::Black); return P; }},
      {"btnKamakaze", [] { TPixels P = Order(); P.Disc2(27, 9, 7, C::Red); Plane(P, 8, 9, C::White); return Outlined(P); }},
      {"btnBaseHere", [] { TPixels P = Order(); P.Rect(1, 10, 18, 13, C::DarkGrey); for (int X = 2; X < 18; X += 5) P.Rect(X, 11, X + 2, 11, C::White); Plane(P, 10, 5, C::LightGrey); return Outlined(P); }},
      {"btnRebase", [] { TPixels P = Order(); Plane(P, 6, 7, C::LightGrey); Arrow(P, 13, 12, 18, 12, C::Lime, 2, 3); P.Line(13, 4, 13, 12, C::Lime, 2); return Outlined(P); }},
      {"btnReturnToBase", [] { TPixels P = Order(); P.Line(15, 2, 15, 12, C::Lime, 2); P.Line(15, 12, 5, 12, C::Lime, 2); Arrow(P, 5, 12, 5, 4, C::Lime, 2, 3); return Outlined(P); }},
      {"btnSubmerge", [] { TPixels P = Order(); Waves(P, 4); Arrow(P, 10, 6, 10, 13, C::Water, 3, 4); return Outlined(P); }},
      {"btnSurface", [] { TPixels P = Order(); Waves(P, 12); Arrow(P, 10, 10, 10, 2, C::White, 3, 4); return Outlined(P); }},
      {"btnLaunch", [] { TPixels P = Order(); Rocket(P, 10, 0, 16); return Outlined(P); }},
      {"btnDivide", [] { TPixels P = Order(); P.Rect(1, 6, 6, 10, C::LightGrey); Arrow(P, 7, 8, 14, 2, C::Lime, 2, 3); Arrow(P, 7, 8, 14, 14, C::Lime, 2, 3); return Outlined(P); }},
      {"btnMerge", [] { TPixels P = Order(); P.Rect(13, 6, 18, 10, C::LightGrey); Arrow(P, 1, 2, 8, 7, C::Lime, 2, 3); Arrow(P, 2, 13, 8, 9, C::Lime, 2, 3); return Outlined(P); }},
      {"btnConsolidate", [] { TPixels P = Order(); for (int I = 0; I < 3; ++I) P.Rect(4 + I, 2 + 4 * I, 15 + I, 4 + 4 * I, C::LightGrey); return Outlined(P); }},
      {"btnAimRockets", [] { TPixels P = Order(); Rocket(P, 5, 1, 14); Crosshair(P, 14, 8, 4, C::Red); return Outlined(P); }},
      {"btnClearOrders", [] { TPixels P = Order(); Cross(P, 5, 3, 14, 12); return Outlined(P); }},
      {"btnAutoRoute", [] { TPixels P = Order(); for (int X = 1; X < 13; X += 4) P.Rect(X, 7, X + 1, 9, C::Yellow); Arrow(P, 13, 8, 15, 8, C::Yellow, 3, 4); return Outlined(P); }},
      {"btnRouteResources", [] { TPixels P = Order(); Coins(P, 1, 12); Arrow(P, 10, 8, 16, 8, C::Yellow, 2, 3); return Outlined(P); }},
      {"btnBuildFactory", [] { TPixels P = Order(); P.Polygon({{1, 15}, {1, 7}, {5, 4}, {5, 7}, {9, 4}, {9, 7}, {13, 4}, {13, 15}}, C::Brick); P.Rect(13, 2, 15, 15, C::LightGrey); PlusMark(P); return Outlined(P); }},
      {"btnBuildBorderDefense", [] { TPixels P = Order(); for (int R = 0; R < 3; ++R) for (int I = 0; I < 3; ++I) P.Rect(1 + 6 * I + 3 * (R % 2), 6 + 3 * R, 5 + 6 * I + 3 * (R % 2), 7 + 3 * R, C::MidGrey); PlusMark(P); return Outlined(P); }},
      {"btnBuildRockets", [] { TPixels P = Order(); Rocket(P, 7, 0, 16); PlusMark(P); return Outlined(P); }},
      {"btnBuildAirfield", [] { TPixels P = Order(); P.Rect(0, 9, 14, 13, C::DarkGrey); for (int X = 1; X < 14; X += 5) P.Rect(X, 11, X + 2, 11, C::White); Plane(P, 7, 4, C::LightGrey); PlusMark(P); return Outlined(P); }},
      {"btnBuildPort", [] { TPixels P = Order(); Anchor(P, 7, 2, C::White); PlusMark(P); return Outlined(P); }},
      {"btnPortZone", [] { TPixels P = Order(); Anchor(P, 6, 2, C::White); Arrow(P, 12, 9, 17, 9, C::Water, 2, 3); return Outlined(P); }},
      {"btnBuildConvoys", [] { TPixels P = Order(); SmallHull(P, 10); Coins(P, 2, 6); PlusMark(P); return Outlined(P); }},
      {"btnBuildLand", [] { TPixels P = UnitIcon(4, 5); PlusMark(P); return P; }},
      {"btnBuildAir", [] { TPixels P = UnitIcon(5, 5); PlusMark(P); return P; }},
      {"btnBuildSea", [] { TPixels P = UnitIcon(10, 5); PlusMark(P); return P; }},
  };
  return Makers;
}

const std::map<std::string, TMaker>& ToolMakers() {
  static const std::map<std::string, TMaker> Makers = {
      {"btnNavigator", [] { TPixels P = Tool(); P.Rect(1, 4, 22, 19, C::Ocean); P.Polygon({{3, 7}, {10, 5}, {12, 12}, {6, 17}}, C::Forest); P.Polygon({{14, 8}, {21, 6}, {20, 16}, {15, 13}}, C::Forest); P.Frame(8, 8, 16, 14, C::White); return Outlined(P); }},
      {"btnNews", [] { TPixels P = Tool(); P.Rect(3, 3, 20, 20, C::White); P.Rect(5, 5, 18, 7, C::Black); for (int Y = 10; Y <= 18; Y += 2) { P.Rect(5, Y, 10, Y, C::DarkGrey); P.Rect(13, Y, 18, Y, C::DarkGrey); } return Outlined(P); }},
      {"btnScores", [] { TPixels P = Tool(); P.Rect(3, 12, 7, 21, C::Red); P.Rect(10, 5, 14, 21, C::Gold); P.Rect(17, 9, 21, 21, C::Water); return Outlined(P); }},
      {"btnCommunicate", [] { TPixels P = Tool(); P.Rect(2, 3, 15, 11, C::White); P.Polygon({{4, 11}, {8, 11}, {4, 15}}, C::White); P.Rect(9, 12, 21, 19, C::Gold); P.Polygon({{17, 19}, {20, 19}, {20, 23}}, C::Gold); return Outlined(P); }},
      {"btnShowOrders", [] { TPixels P = Tool(); for (int I = 0; I < 4; ++I) P.Rect(2 + 4 * I, 19 - 4 * I, 3 + 4 * I, 20 - 4 * I, C::White); Arrow(P, 15, 8, 19, 4, C::White, 2, 4); P.Rect(2, 19, 5, 22, C::Lime); return Outlined(P); }},
      {"btnPause", [] { TPixels P = Tool(); P.Rect(6, 4, 9, 19, C::White); P.Rect(14, 4, 17, 19, C::White); return Outlined(P); }},
      {"btnFastAIDuel", [] { TPixels P = Tool(); P.Polygon({{3, 4}, {12, 12}, {3, 20}}, C::Lime); P.Polygon({{12, 4}, {21, 12}, {12, 20}}, C::Lime); return Outlined(P); }},
      {"btnResearch", [] { TPixels P = Tool(); P.Rect(9, 2, 14, 9, C::White); P.Polygon({{9, 9}, {15, 9}, {21, 21}, {3, 21}}, C::White); P.Polygon({{6, 15}, {18, 15}, {21, 21}, {3, 21}}, C::Lime); P.Rect(8, 1, 15, 2, C::LightGrey); return Outlined(P); }},
      {"btnFormations", [] { TPixels P = Tool(); P.Rect(9, 3, 14, 7, C::LightGrey); P.Rect(3, 10, 8, 14, C::LightGrey); P.Rect(15, 10, 20, 14, C::LightGrey); P.Rect(9, 17, 14, 21, C::LightGrey); return Outlined(P); }},
      {"btnSurrender", [] { TPixels P = Tool(); P.Rect(4, 2, 5, 22, C::Brown); P.Polygon({{6, 3}, {20, 4}, {18, 8}, {21, 12}, {6, 12}}, C::White); return Outlined(P); }},
      {"btnFinalScore", [] { TPixels P = Tool(); P.Polygon({{5, 3}, {19, 3}, {17, 11}, {12, 14}, {7, 11}}, C::Gold); P.Rect(11, 14, 12, 18, C::Gold); P.Rect(7, 19, 16, 21, C::Gold); P.Ring2(9, 13, 6, 3, C::Gold); P.Ring2(39, 13, 6, 3, C::Gold); return Outlined(P); }},
      {"btnRandomEvent", [] { TPixels P = Tool(); P.Rect(4, 4, 19, 19, C::White); P.Disc2(17, 17, 3, C::Black); P.Disc2(24, 24, 3, C::Black); P.Disc2(31, 31, 3, C::Black); P.Disc2(31, 17, 3, C::Black); P.Disc2(17, 31, 3, C::Black); return Outlined(P); }},
      {"btnSave", [] { TPixels P = Tool(); P.Rect(3, 3, 20, 20, C::Blue); P.Rect(7, 3, 16, 9, C::LightGrey); P.Rect(13, 4, 15, 8, C::Blue); P.Rect(6, 13, 17, 20, C::White); return Outlined(P); }},
      {"btnExitGame", [] { TPixels P = Tool(); P.Rect(3, 2, 13, 21, C::Brown); P.Rect(5, 4, 11, 21, C::Black); Arrow(P, 9, 12, 19, 12, C::Red, 3, 4); return Outlined(P); }},
      {"btnGlobalRoute", [] { TPixels P = Tool(); Globe(P, 24, 24, 20); Arrow(P, 3, 20, 19, 20, C::Yellow, 2, 3); return Outlined(P); }},
      {"btnGlobalClear", [] { TPixels P = Tool(); Globe(P, 24, 24, 20); Cross(P, 13, 13, 21, 21); return Outlined(P); }},
  };
  return Makers;
}

TPixels GreenBullet() {
  TPixels P(12, 12, C::GlyphKey);
  P.Disc2(12, 12, 10, C::Black);
  P.Disc2(12, 12, 8, C::Green);
  P.Disc2(10, 10, 4, C::Lime);
  P.Set(4, 4, C::White);
  return P;
}

TPixels GradientCells() {
  // Eight cells of 32 x 16, each from black on the left to the colour slot's colour on the
  // right, mixed by an ordered 4 x 4 dither (an 8-bit palette has no ramp per colour).
  static const int Bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};
  TPixels P(8 * 32, 16, C::Black);
  for (int Cell = 0; Cell < 8; ++Cell)
    for (int Y = 0; Y < 16; ++Y)
      for (int X = 0; X < 32; ++X)
        if (X * 16 / 32 > Bayer[Y % 4][X % 4]) P.Set(Cell * 32 + X, Y, C::SlotColor(Cell));
  return P;
}

TPixels SubmergedMark() {
  // 20 x 12: a submarine's tower below the waves.
  TPixels P(20, 12, C::GlyphKey);
  P.Rect(8, 3, 11, 6, C::LightGrey);
  P.Rect(10, 0, 10, 3, C::LightGrey);
  P.Polygon({{2, 7}, {18, 7}, {16, 10}, {4, 10}}, C::LightGrey);
  Outlined(P);
  Waves(P, 5, C::Water);
  return P;
}

TPixels NationResources() {
  TPixels P(16, 16, C::GlyphKey);
  for (int I = 0; I < 4; ++I) P.Rect(3, 13 - 3 * I, 12, 14 - 3 * I, C::Gold);
  P.Rect(4, 3, 11, 3, C::Yellow);
  return Outlined(P);
}

TPixels NationValue() {
  TPixels P(16, 16, C::GlyphKey);
  Globe(P, 16, 16, 13);
  return Outlined(P);
}

TPixels ResourceBonus() {
  TPixels P = ResourceIcon();
  return P;
}

}  // namespace

std::vector<TNamedPicture> WindowPictures() {
  std::vector<TNamedPicture> Out;
  for (std::size_t I = 0; I < GameArt::DiplomacyGlyphs.size(); ++I)
    Out.push_back({GameArt::DiplomacyGlyphs[I], Treaty(int(I))});
  Out.push_back({GameArt::GreenBullet, GreenBullet()});
  Out.push_back({GameArt::Gradient, GradientCells()});
  Out.push_back({GameArt::SubmergedGlyph, SubmergedMark()});
  Out.push_back({GameArt::CompassGlyph, CompassGlyph()});
  Out.push_back({GameArt::NationResources, NationResources()});
  Out.push_back({GameArt::NationValue, NationValue()});
  Out.push_back({GameArt::ZoneResourceBonus, ResourceBonus()});
  for (const char* Name : GameArt::OrderGlyphs) Out.push_back({Name, OrderMakers().at(Name)()});
  for (const char* Name : GameArt::ToolbarGlyphs) Out.push_back({Name, ToolMakers().at(Name)()});
  return Out;
}
