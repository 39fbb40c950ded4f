// The glyph engine: the cells of a glyph strip, the places of glyph and caption, the drawings
// of the states (the disabled one embossed) and the reduction of icons to glyphs.
#include <QApplication>
#include <QPainter>
#include <QPalette>
#include <string>
#include <vector>

#include "controls/PGGlyph.h"
#include "support/GuiTest.h"

namespace {
// A strip of Cells cells of Size x Size, cell N a frame of the transparent top-left colour
// around a square of Colours[N].
QImage Strip(int Cells, int Size, const std::vector<QColor>& Colours) {
  QImage Picture(Cells * Size, Size, QImage::Format_RGB32);
  Picture.fill(QColor(255, 0, 255));
  QPainter Canvas(&Picture);
  for (int N = 0; N < Cells; ++N) Canvas.fillRect(N * Size + 2, 2, Size - 4, Size - 4, Colours[N]);
  return Picture;
}

struct GlyphEngineTest : TGuiTest {
  TPGGlyphEngine Engine;
};
}  // namespace

TEST(GlyphCells, TheStripsSizeGivesTheCells) {
  struct Case {
    int Width, Height, Count;
  };
  const std::vector<Case> Cases = {
      {64, 16, 4}, {80, 16, 1}, {16, 16, 1}, {40, 20, 2}, {10, 20, 1}, {0, 0, 0}, {0, 16, 0},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Width << " x " << C.Height);
    EXPECT_EQ(GlyphCountFor(C.Width, C.Height), C.Count);
  }
  EXPECT_EQ(GlyphCellFor(gsDown, 3), 2);
  EXPECT_EQ(GlyphCellFor(gsDown, 2), 0) << "no cell of its own: cell 0";
  EXPECT_EQ(GlyphCellFor(gsDisabled, 2), 1);
  EXPECT_EQ(GlyphCellRect(2, 16, 16), (TRect{32, 0, 48, 16}));
}

TEST(GlyphCells, GlyphAndCaptionArePlacedByTheLayout) {
  // A glyph of 16 x 10 and a caption of 30 x 12, Margin 2 and Spacing 3.
  struct Case {
    TPGGlyphLayout Layout;
    int Width, Height;
    TPoint Glyph, Text;
  };
  const std::vector<Case> Cases = {
      {glGlyphLeft, 53, 16, {2, 3}, {21, 2}},
      {glGlyphRight, 53, 16, {35, 3}, {2, 2}},
      {glGlyphTop, 34, 29, {9, 2}, {2, 15}},
      {glGlyphBottom, 34, 29, {9, 17}, {2, 2}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(testing::Message() << "layout " << C.Layout);
    const TGlyphDrawingLayout L = CalcGlyphLayout(C.Layout, 16, 10, 30, 12, 2, 3);
    EXPECT_EQ(L.Width, C.Width);
    EXPECT_EQ(L.Height, C.Height);
    EXPECT_EQ(L.Glyph, C.Glyph);
    EXPECT_EQ(L.Text, C.Text);
  }
  try {
    CalcGlyphLayout(static_cast<TPGGlyphLayout>(9), 16, 10, 30, 12, 2, 3);
    ADD_FAILURE() << "no error";
  } catch (const ECaptionBar& Error) {
    EXPECT_STREQ(Error.what(), "Bad TPGGlyphState type.");
  }
}

TEST_F(GlyphEngineTest, EachStateDrawsItsOwnCell) {
  const QColor Up(200, 0, 0), Disabled(0, 200, 0), Down(0, 0, 200);
  Engine.SetPicture(Strip(3, 16, {Up, Disabled, Down}));
  EXPECT_EQ(Engine.NumGlyphs(), 3);
  EXPECT_EQ(Engine.CellWidth(), 16);
  EXPECT_EQ(Engine.CellHeight(), 16);
  // No caption: the drawing is the cell, the spacing beside it and the margins.
  for (auto [State, Colour] : {std::pair{gsUp, Up}, std::pair{gsDisabled, Disabled}, std::pair{gsDown, Down}}) {
    SCOPED_TRACE(testing::Message() << "state " << State);
    const QImage& Drawing = Engine.Drawing(State);
    EXPECT_EQ(Drawing.size(), QSize(22, 20));
    EXPECT_EQ(Drawing.pixelColor(10, 10), Colour);
    EXPECT_EQ(Drawing.pixelColor(3, 3), Engine.TransparentColor()) << "the cell's corner colour is transparent";
  }
}

TEST_F(GlyphEngineTest, ADisabledStateWithoutItsOwnCellShowsCellZeroEmbossed) {
  Engine.SetPicture(Strip(1, 16, {QColor(200, 0, 0)}));
  const QImage& Disabled = Engine.Drawing(gsDisabled);
  const QColor Shadow = QColor::fromRgb(QApplication::palette().color(QPalette::Dark).rgb());
  // The square (4..15 of the drawing) in the shadow colour, its white copy one pixel further.
  EXPECT_EQ(Disabled.pixelColor(4, 4), Shadow);
  EXPECT_EQ(Disabled.pixelColor(15, 15), Shadow);
  EXPECT_EQ(Disabled.pixelColor(16, 16), QColor(255, 255, 255));
  EXPECT_EQ(Disabled.pixelColor(3, 3), Engine.TransparentColor());
  // The up state keeps its colours.
  EXPECT_EQ(Engine.Drawing(gsUp).pixelColor(10, 10), QColor(200, 0, 0));

  // With a button face the emboss lies on the face colour.
  Engine.SetButton(true);
  const QColor Face = QColor::fromRgb(QApplication::palette().color(QPalette::Button).rgb());
  EXPECT_EQ(Engine.Drawing(gsDisabled).pixelColor(1, 1), Face);
}

TEST_F(GlyphEngineTest, DrawingsAreMadeAgainAfterAChange) {
  int Refreshes = 0;
  Engine.OnRefreshDrawings = [&](TPGGlyphEngine*) { ++Refreshes; };
  Engine.SetPicture(Strip(1, 16, {QColor(200, 0, 0)}));
  EXPECT_EQ(Engine.Drawing(gsUp).pixelColor(10, 10), QColor(200, 0, 0));
  Engine.SetPicture(Strip(1, 16, {QColor(0, 0, 200)}));
  EXPECT_EQ(Engine.Drawing(gsUp).pixelColor(10, 10), QColor(0, 0, 200));
  Engine.SetMargin(5);
  EXPECT_EQ(Engine.Drawing(gsUp).size(), QSize(28, 26));
  EXPECT_EQ(Refreshes, 3);
}

TEST_F(GlyphEngineTest, ACaptionBesideTheGlyphInTheFontColour) {
  Engine.SetFont(QApplication::font());
  Engine.SetFontColor(QColor(0, 0, 0));
  Engine.SetCaption("Brenmoor");
  Engine.SetPicture(Strip(1, 12, {QColor(200, 0, 0)}));
  const TGlyphDrawingLayout Layout = Engine.CalcLayout();
  const QImage& Drawing = Engine.Drawing(gsUp);
  ASSERT_EQ(Drawing.size(), QSize(Layout.Width, Layout.Height));
  bool Ink = false;
  for (int Y = 0; Y < Drawing.height(); ++Y)
    for (int X = Layout.Text.X; X < Drawing.width(); ++X) {
      const QColor C = Drawing.pixelColor(X, Y);
      // Hard-edged text: only the font colour and the transparent colour.
      EXPECT_TRUE(C == QColor(0, 0, 0) || C == Engine.TransparentColor()) << X << "," << Y;
      Ink = Ink || C == QColor(0, 0, 0);
    }
  EXPECT_TRUE(Ink);
}

TEST_F(GlyphEngineTest, ADownDrawingWithoutAFaceMovesOnePixel) {
  Engine.SetPicture(Strip(1, 16, {QColor(200, 0, 0)}));
  QImage Target(40, 40, QImage::Format_RGB32);
  auto Render = [&](TPGGlyphState State) {
    Target.fill(Qt::black);
    Engine.SetState(State);
    QPainter Canvas(&Target);
    Engine.Draw(Canvas, QRect(0, 0, 40, 40));
  };
  // The drawing (22 x 20) is centred at (9, 10): its square starts 4 pixels further.
  Render(gsUp);
  EXPECT_EQ(Target.pixelColor(14, 14), QColor(200, 0, 0));
  EXPECT_EQ(Target.pixelColor(13, 13), QColor(0, 0, 0)) << "transparent around the square";
  Render(gsDown);
  EXPECT_EQ(Target.pixelColor(14, 14), QColor(0, 0, 0));
  EXPECT_EQ(Target.pixelColor(15, 15), QColor(200, 0, 0));
}

TEST(ShrinkIcon, PairsKeepOutlinesAndShades) {
  constexpr std::uint32_t Black = 0, Gray = 0x808080, Silver = 0xC0C0C0, White = 0xFFFFFF;
  TIconPixels Icon{};
  Icon.fill(White);
  // Row 0 (a line whose every pair is looked at): the first pair has black, the last gray.
  Icon[0] = Black;
  Icon[30] = Gray;
  // Row 2: pairs inside the line: silver-gray, white-silver, two colours averaged, a pair with black.
  const std::uint32_t Row2[8] = {Silver, Gray, White, Silver, 0x102030, 0x304051, 0xFF0000, Black};
  for (int I = 0; I < 8; ++I) Icon[2 * 32 + 2 + I] = Row2[I];
  const TGlyphPixels Glyph = ShrinkIconToGlyph(Icon);
  EXPECT_EQ(Glyph[0], Black) << "an edge pair with black";
  EXPECT_EQ(Glyph[15], Gray) << "an edge pair with gray";
  // Row 1 of the glyph halves rows 2 and 3 of the icon; row 3 is white, so each column pairs
  // the pixel of row 2 with white in the vertical pass.
  EXPECT_EQ(Glyph[16 + 1], Gray) << "silver with gray, then gray with white";
  EXPECT_EQ(Glyph[16 + 2], Silver) << "white with silver, then silver with white";
  // (0x10+0x30)/2 = 0x20, (0x20+0x40)/2 = 0x30, (0x30+0x51)/2 = 0x40.5 -> 0x40; then with white.
  EXPECT_EQ(Glyph[16 + 3], 0x9098A0u) << "averaged twice, ties to even";
  EXPECT_EQ(Glyph[16 + 4], 0x808080u) << "black in the row, then averaged with white";
}

TEST(ShrinkIcon, RunsOfEqualPairsAreKeptAndTheGlyphOfTheGamesIcon) {
  // Two equal pairs (p, q)(p, q) inside a row keep p and q.
  TIconPixels Icon{};
  Icon.fill(0xFFFFFF);
  const std::uint32_t P = 0x112233, Q = 0x445566;
  for (int Y = 0; Y < 32; ++Y) {
    Icon[Y * 32 + 4] = P;
    Icon[Y * 32 + 5] = Q;
    Icon[Y * 32 + 6] = P;
    Icon[Y * 32 + 7] = Q;
  }
  const TGlyphPixels Glyph = ShrinkIconToGlyph(Icon);
  EXPECT_EQ(Glyph[5 * 16 + 2], P);
  EXPECT_EQ(Glyph[5 * 16 + 3], Q);

  // The Qt version takes any picture and scales it to 32 x 32 first.
  QImage Plain(64, 64, QImage::Format_RGB32);
  Plain.fill(QColor(0, 128, 0));
  const QImage Small = ShrinkIconToGlyph(Plain);
  EXPECT_EQ(Small.size(), QSize(16, 16));
  EXPECT_EQ(Small.pixelColor(8, 8), QColor(0, 128, 0));
}
