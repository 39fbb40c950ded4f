#pragma once
// The arithmetic of the glyph engine (PGGlyph.h) that needs no window: the cells of a glyph
// strip, where glyph and caption go in a drawing, and the reduction of a 32 x 32 icon to a
// 16 x 16 glyph.
#include <array>
#include <cstdint>

#include "controls/CaptionBarRules.h"
#include "foundation/Geometry.h"

// Where the glyph stands beside the caption.
enum TPGGlyphLayout { glGlyphLeft, glGlyphRight, glGlyphTop, glGlyphBottom };

// The number of cells of a glyph strip Width x Height: Width div Height, at least 1, and 1
// again above 4; 0 for an empty picture.
int GlyphCountFor(int Width, int Height);
// The cell a state shows: its own when the strip has one, else cell 0.
int GlyphCellFor(TPGGlyphState State, int NumGlyphs);
// Cell N of a strip of cells CellWidth x CellHeight.
TRect GlyphCellRect(int N, int CellWidth, int CellHeight);

struct TGlyphDrawingLayout {
  int Width = 0;
  int Height = 0;
  TPoint Glyph;
  TPoint Text;
};
// The size of a drawing of a glyph GlyphWidth x GlyphHeight (0 x 0 for none) and a caption
// TextWidth x TextHeight, with Margin around and Spacing between them, and their places.
// Raises ECaptionBar "Bad TPGGlyphState type." for an unknown layout.
TGlyphDrawingLayout CalcGlyphLayout(TPGGlyphLayout Layout, int GlyphWidth, int GlyphHeight, int TextWidth,
                                    int TextHeight, int Margin, int Spacing);

// Colours as $RRGGBB.
using TIconPixels = std::array<std::uint32_t, 32 * 32>;
using TGlyphPixels = std::array<std::uint32_t, 16 * 16>;

// Reduces a 32 x 32 icon (rows from the top) to a 16 x 16 glyph: each row is halved, then each
// column of the result, by pairs of pixels that keep black outlines and the gray and silver
// shades of the window system's icons instead of blurring them.
TGlyphPixels ShrinkIconToGlyph(const TIconPixels& Icon);
