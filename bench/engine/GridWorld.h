#pragma once
// The benchmarks' world: a map set text of 300 square zones in a grid of 20 x 15, the left column
// sea, each zone joined to its right and lower neighbours.
#include <string>

namespace grid_world {

constexpr int GridWidth = 20;
constexpr int GridHeight = 15;

inline std::string GridMapText() {
  std::string Text;
  for (int Y = 0; Y < GridHeight; ++Y)
    for (int X = 0; X < GridWidth; ++X) {
      const int L = X * 50, T = Y * 50;
      Text += "Zone=" + std::to_string(L) + "," + std::to_string(T) + "," + std::to_string(L + 50) + "," +
              std::to_string(T) + "," + std::to_string(L + 50) + "," + std::to_string(T + 50) + "," +
              std::to_string(L) + "," + std::to_string(T + 50) + ";Z" + std::to_string(Y * GridWidth + X) + ";" +
              (X == 0 ? "1" : "0") + ";";
      if (X + 1 < GridWidth) Text += std::to_string(Y * GridWidth + X + 1) + "#";
      if (Y + 1 < GridHeight) Text += std::to_string((Y + 1) * GridWidth + X) + "#";
      Text += "\n";
    }
  return Text;
}

}  // namespace grid_world
