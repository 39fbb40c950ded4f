#include <gtest/gtest.h>

#include <filesystem>
#include <cstring>
#include <fstream>

#include "CanvasPictures.h"
#include "sprites/Bitmap.h"
#include "sprites/Canvas.h"
#include "sprites/ColorPalette.h"
#include "sprites/FontLibrary.h"
#include "sprites/ImageFiles.h"
#include "support/ScratchFolder.h"

namespace {

const std::string FontsFolder = std::string(BRENMOOR_SOURCE_DIR) + "/data/fonts";

TFontLibrary& Fonts() {
  static TFontLibrary Library(FontsFolder);
  return Library;
}

// A palette whose entries 1-9 are distinct pure colours, so colours map to small digits.
const TColorPalette& DigitPalette() {
  static const TColorPalette P = [] {
    TColorPalette Q;
    std::vector<std::string> L = Q.GetPaletteEntries();
    L[1] = "255,0,0";
    L[2] = "0,255,0";
    L[3] = "0,0,255";
    L[4] = "255,255,0";
    L[5] = "0,255,255";
    L[6] = "255,0,255";
    L[7] = "128,0,0";
    L[8] = "0,128,0";
    L[9] = "0,0,128";
    Q.SetPaletteEntries(L);
    return Q;
  }();
  return P;
}

struct TPainted {
  std::unique_ptr<TDIBCanvas> Dib;
  std::unique_ptr<TCanvas> Canvas;
};

TPainted Painted(std::int32_t W, std::int32_t H, TBitDepth Depth = bd8) {
  TPainted P;
  P.Dib = MakeCanvas(W, H, Depth);
  P.Canvas = std::make_unique<TCanvas>(P.Dib.get(), &DigitPalette(), Fonts());
  return P;
}

}  // namespace

TEST(FontLibrary, MapsTheGameFontsToBundledFiles) {
  const struct {
    const char* Name;
    bool Bold;
    const char* File;
  } Cases[] = {
      {"Small Fonts", false, "DejaVuSans.ttf"},
      {"small fonts", true, "DejaVuSans-Bold.ttf"},
      {"Arial", false, "LiberationSans-Regular.ttf"},
      {"Imprint MT Shadow", false, "rareduvi.ttf"},
      {"Times New Roman", true, "LiberationSerif-Bold.ttf"},
      {"No Such Face", false, "LiberationSans-Regular.ttf"},  // as "Arial"
  };
  for (const auto& C : Cases) EXPECT_EQ(Fonts().FileOf(C.Name, C.Bold), C.File) << C.Name;
  const struct {
    int Points, Pixels;
  } Sizes[] = {{7, 9}, {8, 11}, {22, 29}, {9, 12}, {1, 1}, {0, 0}, {-8, -11}};
  for (const auto& S : Sizes) EXPECT_EQ(TFontLibrary::PointsToPixels(S.Points), S.Pixels) << S.Points;
}

TEST(FontLibrary, RefusesAMissingOrMalformedTable) {
  const TScratchFolder Scratch("brenmoor-fonts");
  const std::filesystem::path& Folder = Scratch.Path();
  auto Message = [&](const std::string& Table) -> std::string {
    if (!Table.empty()) std::ofstream(Folder / "fonts.txt") << Table;
    try {
      TFontLibrary L(Folder.string());
      L.GetFace("Arial", false, 11);
      return "";
    } catch (const EFontLibrary& E) {
      return E.what();
    }
  };
  EXPECT_NE(Message("").find("fonts.txt\" cannot be read"), std::string::npos);
  EXPECT_NE(Message("# only a comment\nArial=Liberation Sans;x.ttf;x.ttf;\nbroken line\n").find("line 3"), std::string::npos);
  EXPECT_NE(Message("# nothing\n").find("names no font"), std::string::npos);
  EXPECT_NE(Message("Arial=Liberation Sans;missing.ttf;missing.ttf;\n").find("missing.ttf\" cannot be read"), std::string::npos);
}

TEST(FontLibrary, TheProgramFolderHoldsTheFonts) {
  // The build copies data/ into the program folder, beside the test programs.
  EXPECT_TRUE(std::filesystem::exists(TFontLibrary::ProgramFontsFolder() + "/fonts.txt"));
  EXPECT_GT(TFontLibrary::Default().GetFace("Small Fonts", false, 9).GetHeight(), 0);
}

TEST(Canvas, ColoursMapToTheNearestEntryOrToColourWords) {
  auto P = Painted(8, 4);
  const struct {
    TColor Color;
    std::uint16_t Value;
  } Cases[] = {
      {clRed, 1}, {RGBColor(250, 10, 0), 1}, {clAqua, 5}, {clYellow, 4}, {clNavy, 9}, {clWhite, 255}, {PaletteIndexColor(71), 71},
  };
  for (const auto& C : Cases) EXPECT_EQ(P.Canvas->DeviceColor(C.Color), C.Value) << std::hex << C.Color;
  auto P16 = Painted(8, 4, bd16);
  EXPECT_EQ(P16.Canvas->DeviceColor(clRed), 0xF800);
  EXPECT_EQ(P16.Canvas->DeviceColor(clLime), 0x07E0);
  EXPECT_EQ(P16.Canvas->DeviceColor(PaletteIndexColor(3)), 0x001F);  // the entry's colour
  auto P15 = Painted(8, 4, bd15);
  EXPECT_EQ(P15.Canvas->DeviceColor(clRed), 0x7C00);
  EXPECT_EQ(P15.Canvas->DeviceColor(clWhite), 0x7FFF);

  // A change of the palette is seen at the next drawing.
  TColorPalette Mine;
  auto D = MakeCanvas(4, 4);
  TCanvas C(D.get(), &Mine, Fonts());
  EXPECT_EQ(C.DeviceColor(RGBColor(200, 0, 0)), 249);
  auto L = Mine.GetPaletteEntries();
  L[20] = "200,0,0";
  Mine.SetPaletteEntries(L);
  EXPECT_EQ(C.DeviceColor(RGBColor(200, 0, 0)), 20);
}

TEST(Canvas, SettingAClearBrushsColourMakesItSolid) {
  TBrush B;
  B.SetStyle(bsClear);
  B.SetColor(clRed);
  EXPECT_EQ(B.GetStyle(), bsSolid);
  B.SetStyle(bsClear);
  EXPECT_EQ(B.GetColor(), clRed);
  EXPECT_EQ(B.GetStyle(), bsClear);
}

TEST(Canvas, PenLinesLeaveOutTheirLastPoint) {
  const struct {
    const char* What;
    TPenStyle Style;
    int Width;
    std::vector<TPoint> Points;
    std::vector<std::string> Expected;
  } Cases[] = {
      {"solid", psSolid, 1, {{0, 1}, {5, 1}}, {"............", "11111.......", "............", "............"}},
      {"steep", psSolid, 1, {{2, 0}, {2, 3}}, {"..1.........", "..1.........", "..1.........", "............"}},
      {"dotted", psDot, 1, {{0, 0}, {12, 0}}, {"111...111...", "............", "............", "............"}},
      // The pattern runs on from one line to the next.
      {"dotted on", psDot, 1, {{0, 0}, {4, 0}, {4, 3}}, {"111.........", "............", "....1.......", "............"}},
      {"width 2", psSolid, 2, {{1, 1}, {4, 1}}, {"1111........", "1111........", "............", "............"}},
      {"width 2 down", psSolid, 2, {{6, 1}, {6, 3}}, {".....11.....", ".....11.....", ".....11.....", "............"}},
      {"clear", psClear, 1, {{0, 0}, {11, 3}}, {"............", "............", "............", "............"}},
      {"outside", psSolid, 2, {{0, -5}, {0, 9}}, {"1...........", "1...........", "1...........", "1..........."}},
  };
  for (const auto& C : Cases) {
    auto P = Painted(12, 4);
    P.Canvas->Pen().SetColor(clRed);
    P.Canvas->Pen().SetStyle(C.Style);
    P.Canvas->Pen().SetWidth(C.Width);
    P.Canvas->MoveTo(C.Points[0].X, C.Points[0].Y);
    for (std::size_t I = 1; I < C.Points.size(); ++I) P.Canvas->LineTo(C.Points[I].X, C.Points[I].Y);
    EXPECT_EQ(PictureText(*P.Dib), PictureText(C.Expected)) << C.What;
    EXPECT_EQ(P.Canvas->GetPenPos(), C.Points.back()) << C.What;
  }
}

TEST(Canvas, DashesAreEighteenOnAndSixOff) {
  auto P = Painted(40, 4);
  P.Canvas->Pen().SetColor(clRed);
  P.Canvas->Pen().SetStyle(psDash);
  P.Canvas->MoveTo(0, 0);
  P.Canvas->LineTo(40, 0);
  P.Canvas->MoveTo(0, 2);  // MoveTo starts the pattern again
  P.Canvas->LineTo(30, 2);
  const std::string Dash = std::string(18, '1') + std::string(6, '.') + std::string(16, '1');
  EXPECT_EQ(Picture(*P.Dib)[0], Dash);
  EXPECT_EQ(Picture(*P.Dib)[2], Dash.substr(0, 30) + std::string(10, '.'));
}

TEST(Canvas, RectanglesFillAndFrame) {
  auto P = Painted(8, 5);
  P.Canvas->Pen().SetColor(clRed);
  P.Canvas->Brush().SetColor(clLime);
  P.Canvas->MoveTo(7, 4);
  P.Canvas->Rectangle(1, 0, 6, 4);
  EXPECT_EQ(PictureText(*P.Dib), PictureText({".11111..", ".12221..", ".12221..", ".11111..", "........"}));
  EXPECT_EQ(P.Canvas->GetPenPos(), (TPoint{7, 4}));  // not moved

  // A hollow 4 x 4 box around a point, as the rocket target's.
  auto Q = Painted(8, 5);
  Q.Canvas->Brush().SetStyle(bsClear);
  Q.Canvas->Pen().SetColor(clBlue);
  Q.Canvas->Rectangle(4 - 2, 2 - 2, 4 + 2, 2 + 2);
  EXPECT_EQ(PictureText(*Q.Dib), PictureText({"..3333..", "..3..3..", "..3..3..", "..3333..", "........"}));

  auto F = Painted(8, 5);
  F.Canvas->Brush().SetColor(clYellow);
  F.Canvas->FillRect({-2, 3, 3, 9});
  F.Canvas->FrameRect({4, 0, 8, 3});
  F.Canvas->Brush().SetStyle(bsClear);
  F.Canvas->FillRect({0, 0, 8, 5});  // a clear brush fills nothing
  EXPECT_EQ(PictureText(*F.Dib), PictureText({"....4444", "....4..4", "....4444", "444.....", "444....."}));
}

TEST(Canvas, StretchDrawScalesByTheNearestPixel) {
  auto S = MakeCanvas(4, 2);
  std::memcpy(S->ScanLine(0), "\x01\x02\x03\x04", 4);
  std::memcpy(S->ScanLine(1), "\x05\x06\x07\x08", 4);
  auto P = Painted(8, 4);
  P.Canvas->StretchDraw({0, 0, 8, 4}, *S);
  EXPECT_EQ(PictureText(*P.Dib), PictureText({"11223344", "11223344", "55667788", "55667788"}));
  auto Q = Painted(8, 4);
  Q.Canvas->StretchDraw({-1, 2, 3, 3}, *S);  // shrunk and clipped
  EXPECT_EQ(PictureText(*Q.Dib), PictureText({"........", "........", "234.....", "........"}));
  auto W = MakeCanvas(4, 2, bd16);
  EXPECT_THROW(Q.Canvas->StretchDraw({0, 0, 4, 4}, *W), EDIBCanvas);
}

TEST(Canvas, PicturesAreDrawnInTheTargetsColours) {
  TBitmap Icon(3, 2, 8);  // its own table: 1 is red, 2 green, 3 the key (bottom-left)
  Icon.SetColorTable({{0, 0, 0, 0}, {0, 0, 255, 0}, {0, 255, 0, 0}, {255, 255, 255, 0}});
  std::memcpy(Icon.ScanLine(0), "\x01\x02\x01", 3);
  std::memcpy(Icon.ScanLine(1), "\x03\x03\x02", 3);
  auto P = Painted(8, 3);
  P.Canvas->Draw(1, 0, Icon);
  P.Canvas->Draw(6, 1, Icon, true);  // clipped; the key's pixels left out
  EXPECT_EQ(PictureText(*P.Dib), PictureText({".121....", ".##2..12", "........"}));
  EXPECT_EQ(P.Dib->GetPixel(1, 1), 255);  // white, the nearest entry

  TBitmap Rgb(2, 1, 24);
  Rgb.ScanLine(0)[2] = 255;  // red, then black
  auto Q = Painted(4, 2, bd16);
  Q.Canvas->Draw(-1, 1, Rgb);
  Q.Canvas->Draw(2, 0, Rgb);
  EXPECT_EQ(Q.Dib->GetPixel(0, 1), 0);
  EXPECT_EQ(Q.Dib->GetPixel(2, 0), 0xF800);
  EXPECT_EQ(Q.Dib->GetPixel(3, 0), 0);
}

TEST(Canvas, TextMetrics) {
  auto P = Painted(64, 16);
  TCanvas& C = *P.Canvas;
  C.Font().SetName("Small Fonts");
  C.Font().SetSize(7);
  const int H = C.TextHeight("Hg");
  EXPECT_GE(H, 9);
  EXPECT_LE(H, 14);
  EXPECT_EQ(C.TextHeight(""), H);
  EXPECT_EQ(C.TextWidth(""), 0);
  EXPECT_EQ(C.TextWidth("Berlin"), C.TextWidth("Ber") + C.TextWidth("lin"));
  EXPECT_GT(C.TextWidth(" "), 0);
  EXPECT_GT(C.TextWidth("W"), C.TextWidth("i"));
  // Bold comes from the bold face: heavier strokes.
  auto Ink = [&](TFontStyles Style) {
    P.Dib->Fill(0);
    C.Font().SetStyle(Style);
    C.Brush().SetStyle(bsClear);
    C.Font().SetColor(clRed);
    C.TextOut(0, 0, "Stal");
    int N = 0;
    for (int Y = 0; Y < 16; ++Y)
      for (int X = 0; X < 64; ++X) N += P.Dib->GetPixel(X, Y) == 1;
    return N;
  };
  EXPECT_GT(Ink(fsBold), Ink(0));
  C.Font().SetSize(22);
  EXPECT_GT(C.TextHeight("x"), 2 * H);
  const TTextSize E = C.TextExtent("[more]");
  EXPECT_EQ(E.Width, C.TextWidth("[more]"));
  EXPECT_EQ(E.Height, C.TextHeight("[more]"));
  TCanvas Blind(nullptr, nullptr, Fonts());  // measures without a target
  EXPECT_GT(Blind.TextWidth("abc"), 0);
  Blind.TextOut(0, 0, "abc");
}

TEST(Canvas, TextOutFillsTheCellOnASolidBrushOnly) {
  for (const char* Face : {"Small Fonts", "Arial", "Imprint MT Shadow"}) {
    auto Opaque = Painted(64, 24);
    auto Clear = Painted(64, 24);
    for (TPainted* P : {&Opaque, &Clear}) {
      P->Dib->Fill(7);
      P->Canvas->Font().SetName(Face);
      P->Canvas->Font().SetSize(8);
      P->Canvas->Font().SetColor(clRed);
      P->Canvas->Brush().SetColor(clLime);
    }
    Clear.Canvas->Brush().SetStyle(bsClear);
    const std::string Text = " R12 ";
    Opaque.Canvas->TextOut(3, 2, Text);
    Clear.Canvas->TextOut(3, 2, Text);
    const int W = Opaque.Canvas->TextWidth(Text), H = Opaque.Canvas->TextHeight(Text);
    int Glyph = 0;
    for (int Y = 0; Y < 24; ++Y)
      for (int X = 0; X < 64; ++X) {
        const bool Inside = X >= 3 && X < 3 + W && Y >= 2 && Y < 2 + H;
        const auto O = Opaque.Dib->GetPixel(X, Y), C = Clear.Dib->GetPixel(X, Y);
        if (!Inside) {
          EXPECT_EQ(O, 7) << Face << " at " << X << "," << Y;
          EXPECT_EQ(C, 7) << Face << " at " << X << "," << Y;
          continue;
        }
        EXPECT_TRUE(O == 1 || O == 2) << Face << " at " << X << "," << Y;  // font or brush
        EXPECT_EQ(C, O == 1 ? 1 : 7) << Face << " at " << X << "," << Y;   // the same glyph pixels
        Glyph += O == 1;
      }
    EXPECT_GT(Glyph, 10) << Face;
  }
}

TEST(Canvas, TextIsWindows1252) {
  auto Shape = [](const char* Text) {
    auto P = Painted(24, 16);
    P.Canvas->Font().SetName("Arial");
    P.Canvas->Font().SetSize(8);
    P.Canvas->Font().SetColor(clRed);
    P.Canvas->TextOut(2, 1, Text);
    return PictureText(*P.Dib);
  };
  const std::string Missing = Shape("\x81");  // no character: the face's missing-glyph box
  EXPECT_NE(Shape("\x80"), Missing);          // the euro sign
  EXPECT_NE(Shape("\x92"), Missing);          // a closing quote
  EXPECT_NE(Shape("\xf6"), Shape("o"));       // o with two dots
}

TEST(Canvas, UnderlineRunsUnderTheWholeText) {
  auto P = Painted(64, 20);
  P.Canvas->Brush().SetStyle(bsClear);
  P.Canvas->Font().SetName("Small Fonts");
  P.Canvas->Font().SetSize(7);
  P.Canvas->Font().SetStyle(fsUnderline);
  P.Canvas->Font().SetColor(clBlue);
  P.Canvas->TextOut(2, 1, " Paris ");
  const int W = P.Canvas->TextWidth(" Paris ");
  int FullRows = 0;
  for (int Y = 0; Y < 20; ++Y) {
    int Set = 0;
    for (int X = 2; X < 2 + W; ++X) Set += P.Dib->GetPixel(X, Y) == 3;
    if (Set == W) {
      ++FullRows;
      EXPECT_GT(Y, 1 + P.Canvas->TextHeight("x") / 2);  // below the middle of the cell
      EXPECT_LT(Y, 1 + P.Canvas->TextHeight("x"));
    }
  }
  EXPECT_GE(FullRows, 1);
  EXPECT_EQ(P.Dib->GetPixel(1, 1 + P.Canvas->TextHeight("x") - 2), 0);
}

TEST(Canvas, TextIsClippedAtEveryEdge) {
  auto Whole = Painted(48, 16);
  Whole.Canvas->Font().SetName("Arial");
  Whole.Canvas->Font().SetSize(8);
  Whole.Canvas->Brush().SetColor(clLime);
  Whole.Canvas->TextOut(8, 2, "Wg");
  // The same text at the corners, partly outside: what shows must be what the whole text has there.
  const struct {
    int X, Y;
  } Places[] = {{-5, -4}, {40, 10}, {-100, 3}, {44, -8}, {1000, 1000}};
  for (const auto& At : Places) {
    auto P = Painted(48, 16);
    P.Canvas->Font().SetName("Arial");
    P.Canvas->Font().SetSize(8);
    P.Canvas->Brush().SetColor(clLime);
    P.Canvas->TextOut(At.X, At.Y, "Wg");
    for (int Y = 0; Y < 16; ++Y)
      for (int X = 0; X < 48; ++X) {
        const int WX = X - At.X + 8, WY = Y - At.Y + 2;
        const std::uint16_t Expected = WX >= 0 && WX < 48 && WY >= 0 && WY < 16 ? Whole.Dib->GetPixel(WX, WY) : 0;
        ASSERT_EQ(P.Dib->GetPixel(X, Y), Expected) << At.X << "," << At.Y << " pixel " << X << "," << Y;
      }
  }
}

TEST(Canvas, DrawsOnSixteenBitCanvases) {
  auto P = Painted(16, 16, bd15);
  P.Canvas->Brush().SetColor(clWhite);
  P.Canvas->Font().SetColor(clBlack);
  P.Canvas->TextOut(0, 0, "8");
  bool Black = false, White = false;
  for (int Y = 0; Y < P.Canvas->TextHeight("8"); ++Y)
    for (int X = 0; X < P.Canvas->TextWidth("8"); ++X) {
      Black = Black || P.Dib->GetPixel(X, Y) == 0;
      White = White || P.Dib->GetPixel(X, Y) == 0x7FFF;
    }
  EXPECT_TRUE(Black && White);
  P.Canvas->Pen().SetColor(clRed);
  P.Canvas->MoveTo(0, 15);
  P.Canvas->LineTo(16, 15);
  EXPECT_EQ(P.Dib->GetPixel(15, 15), 0x7C00);
}

// Not a comparison: a picture of the painter's work for a person to look at.
TEST(Canvas, WritesASamplePicture) {
  TColorPalette Palette;
  auto Dib = MakeCanvas(240, 120);
  TCanvas C(Dib.get(), &Palette, Fonts());
  Dib->Fill(Palette.NearestIndex(RGBColor(40, 40, 120)));
  C.Brush().SetColor(clBlack);
  C.Font().SetName("Arial");
  C.Font().SetSize(8);
  C.Font().SetColor(clWhite);
  C.TextOut(10, 8, " Berlin ");
  C.Font().SetName("Small Fonts");
  C.Font().SetSize(7);
  C.Font().SetStyle(fsUnderline);
  C.Font().SetColor(clYellow);
  C.TextOut(10, 26, " Moscow ");
  C.Font().SetStyle(0);
  C.Brush().SetColor(clOlive);
  C.Font().SetColor(clBlack);
  C.TextOut(10, 42, " R12 ");
  C.Brush().SetColor(clYellow);
  C.TextOut(60, 42, "[more]");
  C.Pen().SetStyle(psDot);
  C.Pen().SetColor(clAqua);
  C.MoveTo(120, 10);
  C.LineTo(230, 60);
  C.Pen().SetStyle(psDash);
  C.Pen().SetColor(clMaroon);
  C.LineTo(130, 100);
  C.Pen().SetStyle(psSolid);
  C.Pen().SetWidth(2);
  C.Pen().SetColor(clWhite);
  C.LineTo(120, 10);
  C.Brush().SetStyle(bsClear);
  C.Font().SetName("Imprint MT Shadow");
  C.Font().SetSize(22);
  C.Font().SetColor(clNavy);
  C.TextOut(10, 70, "Victory");
  C.Font().SetColor(clWhite);
  C.TextOut(12, 72, "Victory");
  const std::string Name = std::string(BRENMOOR_BINARY_DIR) + "/canvas-sample.png";
  SaveCanvasToPng(*Dib, &Palette, Name);
  EXPECT_TRUE(std::filesystem::exists(Name));
}
