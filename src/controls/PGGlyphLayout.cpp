#include "controls/PGGlyphLayout.h"

#include <algorithm>

int GlyphCountFor(int Width, int Height) {
  if (Width <= 0 || Height <= 0) return 0;
  const int Count = Width / std::max(Height, 1);
  if (Count < 1 || Count > 4) return 1;
  return Count;
}

int GlyphCellFor(TPGGlyphState State, int NumGlyphs) {
  return static_cast<int>(State) + 1 <= NumGlyphs ? static_cast<int>(State) : 0;
}

TRect GlyphCellRect(int N, int CellWidth, int CellHeight) {
  return TRect{N * CellWidth, 0, (N + 1) * CellWidth, CellHeight};
}

TGlyphDrawingLayout CalcGlyphLayout(TPGGlyphLayout Layout, int GlyphWidth, int GlyphHeight, int TextWidth,
                                    int TextHeight, int Margin, int Spacing) {
  TGlyphDrawingLayout Out;
  int ContentWidth = 0;
  int ContentHeight = 0;
  switch (Layout) {
    case glGlyphLeft:
    case glGlyphRight:
      ContentWidth = GlyphWidth + TextWidth + Spacing;
      ContentHeight = std::max(GlyphHeight, TextHeight);
      break;
    case glGlyphTop:
    case glGlyphBottom:
      ContentWidth = std::max(GlyphWidth, TextWidth);
      ContentHeight = GlyphHeight + TextHeight + Spacing;
      break;
    default:
      throw ECaptionBar("Bad TPGGlyphState type.");
  }
  Out.Width = ContentWidth + 2 * Margin;
  Out.Height = ContentHeight + 2 * Margin;
  const int W = Out.Width;
  const int H = Out.Height;
  switch (Layout) {
    case glGlyphLeft:
      Out.Glyph = TPoint{Margin, (H - GlyphHeight) / 2};
      Out.Text = TPoint{Margin + GlyphWidth + Spacing, (H - TextHeight) / 2};
      break;
    case glGlyphRight:
      Out.Text = TPoint{Margin, (H - TextHeight) / 2};
      Out.Glyph = TPoint{Margin + TextWidth + Spacing, (H - GlyphHeight) / 2};
      break;
    case glGlyphTop:
      Out.Glyph = TPoint{(W - GlyphWidth) / 2, Margin};
      Out.Text = TPoint{(W - TextWidth) / 2, Margin + GlyphHeight + Spacing};
      break;
    case glGlyphBottom:
      Out.Text = TPoint{(W - TextWidth) / 2, Margin};
      Out.Glyph = TPoint{(W - GlyphWidth) / 2, Margin + TextHeight + Spacing};
      break;
  }
  return Out;
}

namespace {
constexpr std::uint32_t Black = 0x000000;
constexpr std::uint32_t Gray = 0x808080;
constexpr std::uint32_t Silver = 0xC0C0C0;
constexpr std::uint32_t White = 0xFFFFFF;

// The mean of two channel values, a tie going to the even one.
std::uint32_t HalfEven(std::uint32_t A, std::uint32_t B) {
  const std::uint32_t Sum = A + B;
  const std::uint32_t Low = Sum / 2;
  if (Sum % 2 == 0) return Low;
  return Low % 2 == 0 ? Low : Low + 1;
}

std::uint32_t Average(std::uint32_t P, std::uint32_t Q) {
  std::uint32_t Out = 0;
  for (int Shift : {16, 8, 0}) Out |= HalfEven((P >> Shift) & 0xFF, (Q >> Shift) & 0xFF) << Shift;
  return Out;
}

// Halves one line of 32 pixels (Source[I * Stride]) into 16 (Target[I * TargetStride]).
void HalveLine(const std::uint32_t* Source, int Stride, std::uint32_t* Target, int TargetStride, bool Horizontal) {
  auto At = [&](int I) { return Source[I * Stride]; };
  int S = 0;
  int T = 0;
  while (S < 32 && T < 16) {
    const std::uint32_t P = At(S);
    const std::uint32_t Q = At(S + 1);
    const bool Edge = S == 0 || S == 30;
    // A run of two equal pairs inside the line keeps its pixels (the next pair is not the
    // line's last one, whose edge rule must still apply).
    if (!Edge && S + 2 < 30 && At(S + 2) == P && At(S + 3) == Q) {
      Target[T * TargetStride] = P;
      Target[(T + 1) * TargetStride] = Q;
      S += 4;
      T += 2;
      continue;
    }
    std::uint32_t Out;
    if (Edge && (P == Black || Q == Black))
      Out = Black;
    else if (Edge && (P == Gray || Q == Gray))
      Out = Gray;
    else if ((P == Silver && Q == Gray) || (P == Gray && Q == Silver))
      Out = Gray;
    else if ((P == White && Q == Silver) || (P == Silver && Q == White))
      Out = Silver;
    else if (Horizontal)
      Out = P == Black || Q == Black ? Black : Average(P, Q);
    else
      Out = P == Gray || Q == Gray ? Gray : Average(P, Q);
    Target[T * TargetStride] = Out;
    S += 2;
    T += 1;
  }
}
}  // namespace

TGlyphPixels ShrinkIconToGlyph(const TIconPixels& Icon) {
  // 32 rows of 16 after the horizontal pass.
  std::array<std::uint32_t, 16 * 32> Half{};
  for (int Y = 0; Y < 32; ++Y) HalveLine(&Icon[Y * 32], 1, &Half[Y * 16], 1, true);
  TGlyphPixels Glyph{};
  for (int X = 0; X < 16; ++X) HalveLine(&Half[X], 16, &Glyph[X], 16, false);
  return Glyph;
}
