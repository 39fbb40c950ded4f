#pragma once
// A generated world for games of seven computer players: a grid of 15 x 8 square zones whose
// top row is sea; seven major powers, each holding two columns of the land (alliance A the
// even ones, B the odd ones, so every border is a front), and a minor nation on the last
// column. Every power starts with an army and a garrison, fighters and a fleet off its coast;
// building is allowed.
#include <string>

namespace seven_power_world {

constexpr int Width = 15;
constexpr int Height = 8;
constexpr int Majors = 7;

inline int ZoneIndex(int X, int Y) { return Y * Width + X; }
inline std::string ZoneName(int X, int Y) { return "Z" + std::to_string(ZoneIndex(X, Y)); }

inline std::string MapText() {
  std::string Text;
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      const int L = X * 50, T = Y * 50;
      Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 50) + "," + std::to_string(T) +
              "," + std::to_string(L + 50) + "," + std::to_string(T + 50) + "," + std::to_string(L) + "," +
              std::to_string(T + 50) + ";" + ZoneName(X, Y) + ";" + (Y == 0 ? "1" : "0") + ";";
      if (X + 1 < Width) Text += std::to_string(ZoneIndex(X + 1, Y)) + "#";
      if (X > 0) Text += std::to_string(ZoneIndex(X - 1, Y)) + "#";
      if (Y + 1 < Height) Text += std::to_string(ZoneIndex(X, Y + 1)) + "#";
      if (Y > 0) Text += std::to_string(ZoneIndex(X, Y - 1)) + "#";
      Text += "\n";
    }
  return Text;
}

inline std::string ScenarioText() {
  std::string Text = "Description=Seven powers\nNationCount=8\nAlliance=A\nAlliance=B\nEngineOptions=00000001\n";
  for (int N = 0; N < Majors; ++N)
    Text += "Nation=Power" + std::to_string(N) + "," + (N % 2 == 0 ? "A" : "B") + ",1,Adj" + std::to_string(N) +
            ",0,,,0,0,100,5,," + std::to_string(N) + ",0,\n";
  Text += "Nation=Minor,,0,Minorish,0,,,0,0,100,0,,7,0,\n";
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      if (Y == 0) {
        // A fleet of destroyers and transports off each power's coast.
        const int N = X / 2;
        const std::string Tallies = X % 2 == 0 && N < Majors ? std::to_string(N) + "#10#2#" + std::to_string(N) + "#9#1#" : "";
        Text += "Zone=" + ZoneName(X, Y) + ";0;0;0;0;x;-1;" + Tallies + ";;0;0;0;;0;0;0;0;\n";
        continue;
      }
      const int Owner = X / 2 < Majors ? X / 2 : Majors;
      const bool Capital = X % 2 == 0 && Y == 4 && Owner < Majors;
      const bool Factory = Owner < Majors && (Capital || (X % 2 == 1 && Y == 2));
      const int Row = Owner < Majors ? Owner : 7;
      std::string Tallies;
      if (Capital) Tallies = std::to_string(Row) + "#3#6#" + std::to_string(Row) + "#4#2#" + std::to_string(Row) + "#5#2#";
      else if (Y == 6) Tallies = std::to_string(Row) + "#3#3#";
      Text += "Zone=" + ZoneName(X, Y) + ";4;" + (Factory ? "2" : "0") + ";0;0;x;" + std::to_string(Owner) + ";" + Tallies + ";;" +
              (Capital ? "1" : "0") + ";30;0;;" + (Y == 1 ? "1" : "0") + ";" + (Capital ? "1" : "0") + ";0;0;\n";
    }
  Text += "ImpulseRate=1\n";
  return Text;
}

}  // namespace seven_power_world
