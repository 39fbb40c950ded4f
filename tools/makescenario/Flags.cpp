#include <cstdlib>
#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "MapArt.h"
#include "StandardScenario.h"
#include "sprites/DIBCanvas.h"

namespace {

// Colours of the map's colour table that flags are drawn with; the table's static entries
// keep their colours on every display, and the flags need nothing else.
enum TFlagColor : std::uint16_t {
  Black = 0, Maroon = 1, Green = 2, Navy = 4, Red = 249, Yellow = 251, Blue = 252, White = 255,
  Gold = 14, Orange = 16, SkyBlue = 156, MidBlue = 131,
  // The frame of every cell; no flag uses it.
  Frame = 248
};

// Draws into one cell's inside: W x H pixels from the cell's left edge plus one.
class TFlagPen {
public:
  static constexpr int W = FlagCellWidth - 2;
  static constexpr int H = FlagCellHeight - 2;
  TFlagPen(TDIBCanvas& Canvas, int Cell) : FCanvas(Canvas), FX(Cell * FlagCellWidth + 1), FY(1) {}

  void Rect(int X, int Y, int Width, int Height, std::uint16_t Color) {
    FCanvas.SetBrushColor(Color);
    FCanvas.FillRect(TRect{FX + X, FY + Y, FX + X + Width, FY + Y + Height});
  }
  void Fill(std::uint16_t Color) { Rect(0, 0, W, H, Color); }
  // Horizontal bands of the given relative heights, top first.
  void Bands(std::vector<std::pair<std::uint16_t, int>> List) {
    int Total = 0, Done = 0;
    for (const auto& B : List) Total += B.second;
    for (const auto& [Color, Part] : List) {
      const int Top = Done * H / Total;
      Done += Part;
      Rect(0, Top, W, Done * H / Total - Top, Color);
    }
  }
  void HStripes(std::vector<std::uint16_t> Colors) {
    std::vector<std::pair<std::uint16_t, int>> List;
    for (std::uint16_t C : Colors) List.push_back({C, 1});
    Bands(List);
  }
  void VStripes(std::vector<std::uint16_t> Colors) {
    const int N = static_cast<int>(Colors.size());
    for (int I = 0; I < N; ++I) Rect(I * W / N, 0, (I + 1) * W / N - I * W / N, H, Colors[std::size_t(I)]);
  }
  void Disc(int X, int Y, int Radius, std::uint16_t Color) {
    FCanvas.SetBrushColor(Color);
    FCanvas.FillCircle(FX + X, FY + Y, Radius);
  }
  void Dot(int X, int Y, std::uint16_t Color) { Rect(X, Y, 1, 1, Color); }
  // A cross whose upright stands towards the hoist, with a narrower inner cross when given.
  void NordicCross(std::uint16_t Field, std::uint16_t Cross, int Inner = -1) {
    Fill(Field);
    Rect(8, 0, 5, H, Cross);
    Rect(0, 5, W, 4, Cross);
    if (Inner >= 0) {
      Rect(9, 0, 3, H, std::uint16_t(Inner));
      Rect(0, 6, W, 2, std::uint16_t(Inner));
    }
  }
  // A triangle from the hoist, its point Depth pixels into the flag.
  void HoistTriangle(int Depth, std::uint16_t Color) {
    for (int Y = 0; Y < H; ++Y) {
      const int Off = std::abs(2 * Y + 1 - H);
      Rect(0, Y, Depth * (H - Off) / H + 1, 1, Color);
    }
  }
  void Diamond(int Inset, std::uint16_t Color) {
    const int Half = H / 2;
    for (int Y = 1; Y < H - 1; ++Y) {
      const int Off = std::abs(2 * Y + 1 - H) / 2;
      const int Reach = (W / 2 - Inset) * (Half - Off) / Half;
      Rect(W / 2 - Reach, Y, 2 * Reach, 1, Color);
    }
  }
  // The union flag of the British Isles, in a box at (X, Y).
  void Union(int X, int Y, int Width, int Height) {
    Rect(X, Y, Width, Height, Navy);
    for (int I = 0; I < Width; ++I) {
      const int D = I * (Height - 1) / (Width - 1);
      Rect(X + I, Y + D, 1, 1, White);
      Rect(X + I, Y + Height - 1 - D, 1, 1, White);
      if (I + 1 < Width) {
        Rect(X + I + 1, Y + D, 1, 1, White);
        Rect(X + I + 1, Y + Height - 1 - D, 1, 1, White);
      }
    }
    Rect(X + Width / 2 - 2, Y, 4, Height, White);
    Rect(X, Y + Height / 2 - 2, Width, 4, White);
    Rect(X + Width / 2 - 1, Y, 2, Height, Red);
    Rect(X, Y + Height / 2 - 1, Width, 2, Red);
  }

private:
  TDIBCanvas& FCanvas;
  int FX;
  int FY;
};

using TFlagDesign = std::function<void(TFlagPen&)>;

const std::map<std::string, TFlagDesign>& Designs() {
  static const std::map<std::string, TFlagDesign> D = {
      {"Germany", [](TFlagPen& P) { P.HStripes({Black, White, Red}); }},
      {"Italy", [](TFlagPen& P) { P.VStripes({Green, White, Red}); }},
      {"Japan", [](TFlagPen& P) { P.Fill(White); P.Disc(14, 6, 4, Red); }},
      {"United Kingdom", [](TFlagPen& P) { P.Union(0, 0, TFlagPen::W, TFlagPen::H); }},
      {"France", [](TFlagPen& P) { P.VStripes({Navy, White, Red}); }},
      {"USSR", [](TFlagPen& P) { P.Fill(Red); P.Rect(3, 2, 3, 3, Yellow); P.Rect(4, 1, 1, 1, Yellow); }},
      {"United States",
       [](TFlagPen& P) {
         for (int I = 0; I < 7; ++I) P.Rect(0, I * 2, TFlagPen::W, 1, Red);
         for (int I = 0; I < 7; ++I) P.Rect(0, I * 2 + 1, TFlagPen::W, 1, White);
         P.Rect(0, 0, 13, 8, Navy);
         for (int Y = 1; Y < 8; Y += 2)
           for (int X = 1 + (Y / 2) % 2; X < 13; X += 3) P.Dot(X, Y, White);
       }},
      {"Poland", [](TFlagPen& P) { P.HStripes({White, Red}); }},
      {"Canada", [](TFlagPen& P) { P.Fill(Red); P.Union(0, 0, 14, 7); P.Disc(22, 9, 2, Gold); }},
      {"Australia",
       [](TFlagPen& P) {
         P.Fill(Navy);
         P.Union(0, 0, 14, 7);
         for (auto [X, Y] : {std::pair{7, 11}, {21, 3}, {25, 7}, {21, 11}, {18, 7}}) P.Disc(X, Y, X == 7 ? 1 : 0, White);
       }},
      {"New Zealand",
       [](TFlagPen& P) {
         P.Fill(Navy);
         P.Union(0, 0, 14, 7);
         for (auto [X, Y] : {std::pair{22, 3}, {25, 7}, {19, 8}, {22, 11}}) P.Disc(X, Y, 1, Red);
       }},
      {"South Africa", [](TFlagPen& P) { P.HStripes({Orange, White, MidBlue}); P.Rect(12, 5, 6, 4, Red); }},
      {"Slovakia", [](TFlagPen& P) { P.HStripes({White, Blue, Red}); }},
      {"China", [](TFlagPen& P) { P.Fill(Red); P.Rect(0, 0, 15, 7, Navy); P.Disc(7, 3, 2, White); }},
      {"Manchukuo",
       [](TFlagPen& P) {
         P.Fill(Gold);
         P.Rect(0, 0, 10, 2, Red);
         P.Rect(0, 2, 10, 1, Navy);
         P.Rect(0, 3, 10, 1, White);
         P.Rect(0, 4, 10, 2, Black);
       }},
      {"Mongolia", [](TFlagPen& P) { P.VStripes({Red, Blue, Red}); P.Disc(4, 6, 2, Gold); }},
      {"Thailand", [](TFlagPen& P) { P.Bands({{Red, 1}, {White, 1}, {Navy, 2}, {White, 1}, {Red, 1}}); }},
      {"Ireland", [](TFlagPen& P) { P.VStripes({Green, White, Orange}); }},
      {"Norway", [](TFlagPen& P) { P.NordicCross(Red, White, Navy); }},
      {"Sweden", [](TFlagPen& P) { P.NordicCross(MidBlue, Yellow); }},
      {"Finland", [](TFlagPen& P) { P.NordicCross(White, Navy); }},
      {"Denmark", [](TFlagPen& P) { P.NordicCross(Red, White); }},
      {"Netherlands", [](TFlagPen& P) { P.HStripes({Red, White, Navy}); }},
      {"Belgium", [](TFlagPen& P) { P.VStripes({Black, Yellow, Red}); }},
      {"Switzerland", [](TFlagPen& P) { P.Fill(Red); P.Rect(13, 2, 4, 10, White); P.Rect(10, 5, 10, 4, White); }},
      {"Spain", [](TFlagPen& P) { P.Bands({{Red, 1}, {Yellow, 2}, {Red, 1}}); }},
      {"Portugal", [](TFlagPen& P) { P.Rect(0, 0, 12, TFlagPen::H, Green); P.Rect(12, 0, 18, TFlagPen::H, Red); P.Disc(12, 6, 3, Gold); }},
      {"Lithuania", [](TFlagPen& P) { P.HStripes({Yellow, Green, Red}); }},
      {"Latvia", [](TFlagPen& P) { P.Bands({{Maroon, 2}, {White, 1}, {Maroon, 2}}); }},
      {"Estonia", [](TFlagPen& P) { P.HStripes({MidBlue, Black, White}); }},
      {"Yugoslavia", [](TFlagPen& P) { P.HStripes({Navy, White, Red}); }},
      {"Hungary", [](TFlagPen& P) { P.HStripes({Red, White, Green}); }},
      {"Romania", [](TFlagPen& P) { P.VStripes({Navy, Yellow, Red}); }},
      {"Bulgaria", [](TFlagPen& P) { P.HStripes({White, Green, Red}); }},
      {"Greece",
       [](TFlagPen& P) {
         for (int I = 0; I < 9; ++I) P.Rect(0, I * TFlagPen::H / 9, TFlagPen::W, (I + 1) * TFlagPen::H / 9 - I * TFlagPen::H / 9, I % 2 ? White : MidBlue);
         P.Rect(0, 0, 11, 8, MidBlue);
         P.Rect(4, 0, 2, 8, White);
         P.Rect(0, 3, 11, 2, White);
       }},
      {"Turkey", [](TFlagPen& P) { P.Fill(Red); P.Disc(11, 6, 4, White); P.Disc(12, 6, 3, Red); P.Disc(17, 6, 1, White); }},
      {"Iraq", [](TFlagPen& P) { P.HStripes({Black, White, Green}); P.HoistTriangle(9, Red); }},
      {"Iran", [](TFlagPen& P) { P.HStripes({Green, White, Red}); P.Disc(14, 6, 1, Gold); }},
      {"Afghanistan", [](TFlagPen& P) { P.VStripes({Black, Red, Green}); P.Disc(14, 6, 2, White); }},
      {"Saudi Arabia", [](TFlagPen& P) { P.Fill(Green); P.Rect(6, 3, 18, 2, White); P.Rect(6, 9, 18, 1, White); }},
      {"Egypt", [](TFlagPen& P) { P.Fill(Green); P.Disc(13, 6, 4, White); P.Disc(14, 6, 3, Green); P.Dot(19, 6, White); }},
      {"Mexico", [](TFlagPen& P) { P.VStripes({Green, White, Red}); P.Disc(14, 6, 2, Maroon); }},
      {"Colombia", [](TFlagPen& P) { P.Bands({{Yellow, 2}, {Navy, 1}, {Red, 1}}); }},
      {"Venezuela", [](TFlagPen& P) { P.HStripes({Yellow, Navy, Red}); }},
      {"Peru", [](TFlagPen& P) { P.VStripes({Red, White, Red}); }},
      {"Chile", [](TFlagPen& P) { P.HStripes({White, Red}); P.Rect(0, 0, 9, 7, Navy); P.Disc(4, 3, 1, White); }},
      {"Argentina", [](TFlagPen& P) { P.HStripes({SkyBlue, White, SkyBlue}); P.Disc(14, 6, 1, Gold); }},
      {"Brazil", [](TFlagPen& P) { P.Fill(Green); P.Diamond(3, Yellow); P.Disc(14, 6, 3, Navy); }},
  };
  return D;
}

}  // namespace

TBitmap DrawFlags(const std::vector<std::string>& Nations) {
  TBitmap Strip(static_cast<std::int32_t>(Nations.size()) * FlagCellWidth, FlagCellHeight, 8);
  Strip.SetColorTable(MapColorTable());
  auto Canvas = TDIBCanvas::CreateFromBitmap(Strip);
  Canvas->Fill(Frame);
  for (std::size_t I = 0; I < Nations.size(); ++I) {
    const auto Design = Designs().find(Nations[I]);
    if (Design == Designs().end()) throw EScenarioSource("No flag is drawn for " + Nations[I]);
    TFlagPen Pen(*Canvas, static_cast<int>(I));
    Design->second(Pen);
  }
  return Strip;
}
