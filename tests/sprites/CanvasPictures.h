#pragma once
// Small canvases for the drawing tests and their pixels as rows of characters: "." for 0,
// "1".."9" for those values, "#" for any other.
#include <memory>
#include <string>
#include <vector>

#include "sprites/DIBCanvas.h"

inline std::unique_ptr<TDIBCanvas> MakeCanvas(std::int32_t Width, std::int32_t Height, TBitDepth Depth = bd8,
                                              bool BottomUp = false) {
  auto C = std::make_unique<TDIBCanvas>();
  C->SetBitDepth(Depth);
  C->SetWidth(Width);
  C->SetHeight(Height);
  C->SetBottomUp(BottomUp);
  C->AllocateBits();
  return C;
}

inline char PixelChar(std::uint16_t V) {
  if (V == 0) return '.';
  if (V < 10) return char('0' + V);
  return '#';
}

inline std::vector<std::string> Picture(const TDIBCanvas& C) {
  std::vector<std::string> Rows;
  for (std::int32_t Y = 0; Y < C.GetHeight(); ++Y) {
    std::string Row;
    for (std::int32_t X = 0; X < C.GetWidth(); ++X) Row += PixelChar(C.GetPixel(X, Y));
    Rows.push_back(Row);
  }
  return Rows;
}

// Rows joined by newlines, so a failing comparison prints as a picture.
inline std::string PictureText(const TDIBCanvas& C) {
  std::string S = "\n";
  for (const auto& Row : Picture(C)) S += Row + "\n";
  return S;
}

inline std::string PictureText(const std::vector<std::string>& Rows) {
  std::string S = "\n";
  for (const auto& Row : Rows) S += Row + "\n";
  return S;
}
