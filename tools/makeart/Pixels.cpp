#include "Pixels.h"

#include <algorithm>
#include <cstdlib>

TPixels::TPixels(int Width, int Height, std::uint8_t Fill)
    : FWidth(Width), FHeight(Height), FPixels(std::size_t(Width * Height), Fill) {}

std::uint8_t TPixels::Get(int X, int Y) const {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
  return FPixels[std::size_t(Y * FWidth + X)];
}

void TPixels::Set(int X, int Y, std::uint8_t C) {
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return;
  FPixels[std::size_t(Y * FWidth + X)] = C;
}

void TPixels::Rect(int X1, int Y1, int X2, int Y2, std::uint8_t C) {
  for (int Y = std::min(Y1, Y2); Y <= std::max(Y1, Y2); ++Y)
    for (int X = std::min(X1, X2); X <= std::max(X1, X2); ++X) Set(X, Y, C);
}

void TPixels::Frame(int X1, int Y1, int X2, int Y2, std::uint8_t C) {
  for (int X = X1; X <= X2; ++X) {
    Set(X, Y1, C);
    Set(X, Y2, C);
  }
  for (int Y = Y1; Y <= Y2; ++Y) {
    Set(X1, Y, C);
    Set(X2, Y, C);
  }
}

void TPixels::Disc2(int CX2, int CY2, int R2, std::uint8_t C) { Ring2(CX2, CY2, R2, -1, C); }

void TPixels::Ring2(int CX2, int CY2, int ROuter2, int RInner2, std::uint8_t C) {
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) {
      const int DX = 2 * X + 1 - CX2, DY = 2 * Y + 1 - CY2;
      const int D = DX * DX + DY * DY;
      if (D <= ROuter2 * ROuter2 && (RInner2 < 0 || D > RInner2 * RInner2)) Set(X, Y, C);
    }
}

void TPixels::Line(int X1, int Y1, int X2, int Y2, std::uint8_t C, int Thick) {
  const int DX = std::abs(X2 - X1), DY = -std::abs(Y2 - Y1);
  const int SX = X1 < X2 ? 1 : -1, SY = Y1 < Y2 ? 1 : -1;
  int Error = DX + DY;
  const int Lo = -(Thick - 1) / 2, Hi = Thick / 2;
  for (;;) {
    Rect(X1 + Lo, Y1 + Lo, X1 + Hi, Y1 + Hi, C);
    if (X1 == X2 && Y1 == Y2) break;
    const int E2 = 2 * Error;
    if (E2 >= DY) {
      Error += DY;
      X1 += SX;
    }
    if (E2 <= DX) {
      Error += DX;
      Y1 += SY;
    }
  }
}

void TPixels::Polygon(const std::vector<std::pair<int, int>>& Corners, std::uint8_t C) {
  // Doubled coordinates: the middle of pixel (X, Y) is (2X + 1, 2Y + 1).
  for (int Y = 0; Y < FHeight; ++Y)
    for (int X = 0; X < FWidth; ++X) {
      const long PX = 2 * X + 1, PY = 2 * Y + 1;
      bool Inside = false;
      for (std::size_t I = 0, J = Corners.size() - 1; I < Corners.size(); J = I++) {
        const long AX = 2L * Corners[J].first, AY = 2L * Corners[J].second;
        const long BX = 2L * Corners[I].first, BY = 2L * Corners[I].second;
        if ((AY > PY) == (BY > PY)) continue;
        // PX < AX + (PY - AY) (BX - AX) / (BY - AY), without division.
        const long Lhs = (PX - AX) * (BY - AY), Rhs = (PY - AY) * (BX - AX);
        if (BY > AY ? Lhs < Rhs : Lhs > Rhs) Inside = !Inside;
      }
      if (Inside) Set(X, Y, C);
    }
}

void TPixels::Ascii(int X, int Y, const std::vector<std::string>& Rows, const std::string& Keys,
                    const std::vector<std::uint8_t>& Colors) {
  for (std::size_t R = 0; R < Rows.size(); ++R)
    for (std::size_t K = 0; K < Rows[R].size(); ++K) {
      const std::size_t At = Keys.find(Rows[R][K]);
      if (At != std::string::npos && At < Colors.size()) Set(X + int(K), Y + int(R), Colors[At]);
    }
}

void TPixels::OutlineShapes(int X1, int Y1, int X2, int Y2, std::uint8_t Background, std::uint8_t Outline) {
  std::vector<std::pair<int, int>> Marks;
  for (int Y = Y1; Y <= Y2; ++Y)
    for (int X = X1; X <= X2; ++X) {
      if (Get(X, Y) != Background) continue;
      const int N[4][2] = {{X - 1, Y}, {X + 1, Y}, {X, Y - 1}, {X, Y + 1}};
      for (const auto& P : N) {
        if (P[0] < X1 || P[0] > X2 || P[1] < Y1 || P[1] > Y2) continue;
        const std::uint8_t V = Get(P[0], P[1]);
        if (V != Background && V != Outline) {
          Marks.push_back({X, Y});
          break;
        }
      }
    }
  for (const auto& M : Marks) Set(M.first, M.second, Outline);
}

void TPixels::Paste(int X, int Y, const TPixels& Source, int Skip) {
  for (int SY = 0; SY < Source.Height(); ++SY)
    for (int SX = 0; SX < Source.Width(); ++SX) {
      const std::uint8_t V = Source.Get(SX, SY);
      if (Skip >= 0 && V == Skip) continue;
      Set(X + SX, Y + SY, V);
    }
}

TBitmap TPixels::ToBitmap(const std::vector<TRGBQuad>& Colors) const {
  TBitmap Picture(FWidth, FHeight, 8);
  Picture.SetColorTable(Colors);
  for (int Y = 0; Y < FHeight; ++Y) {
    std::uint8_t* Row = Picture.ScanLine(Y);
    for (int X = 0; X < FWidth; ++X) Row[X] = Get(X, Y);
  }
  return Picture;
}
