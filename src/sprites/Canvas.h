#pragma once
// TCanvas is the painter the map and its sprites draw with: the window system's canvas (pen,
// brush, font, lines, rectangles, text) drawn into the same pixel memory as the TDIBCanvas it
// is given, so the sprite surface's render events get both over one back buffer.
//
// Colours are TColor values ($00BBGGRR). On an 8-bit canvas each is drawn as the nearest entry
// of the palette (a palette-index colour as that entry); on a 15- or 16-bit canvas as the
// colour word.
//
// It behaves as the window system's canvas does, which the game's drawing relies on:
//  - Lines (MoveTo/LineTo) leave out their last point, so a closed outline sets every corner
//    once. A pen of width 2 or more draws a square of that size centred on each point
//    (covering X - Width/2 .. X - Width/2 + Width - 1). psDot draws 3 pixels on and 3 off,
//    psDash 18 on and 6 off; the pattern runs on across LineTo calls and starts again at
//    MoveTo; psClear draws no line.
//  - Setting the brush colour of a clear brush makes the brush solid.
//  - Rectangle, FillRect and FrameRect take rectangles whose Right and Bottom lie outside.
//  - TextOut draws at (X, Y), the top-left of the text cell (TextWidth x TextHeight); with a
//    solid brush the cell is filled in the brush colour first, with a clear brush only the
//    glyphs are drawn. The pen position is not moved.
// Everything is clipped to the canvas (all of it: the last column and row included). A
// canvas painter without a target measures text but draws nothing.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "foundation/Geometry.h"
#include "sprites/Colors.h"

class TBitmap;
class TColorPalette;
class TDIBCanvas;
class TFontFace;
class TFontLibrary;

enum TPenStyle : std::uint8_t { psSolid, psDash, psDot, psClear };
enum TBrushStyle : std::uint8_t { bsSolid, bsClear };
enum TFontStyle : std::uint8_t { fsBold = 1, fsUnderline = 2 };
// A set of TFontStyle bits.
using TFontStyles = std::uint8_t;

class TPen {
public:
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  TPenStyle GetStyle() const { return FStyle; }
  void SetStyle(TPenStyle Value) { FStyle = Value; }
  std::int32_t GetWidth() const { return FWidth; }
  // Width 0 or less draws as 1.
  void SetWidth(std::int32_t Value) { FWidth = Value; }

private:
  TColor FColor = clBlack;
  TPenStyle FStyle = psSolid;
  std::int32_t FWidth = 1;
};

class TBrush {
public:
  TColor GetColor() const { return FColor; }
  // A clear brush becomes solid.
  void SetColor(TColor Value) {
    FColor = Value;
    if (FStyle == bsClear) FStyle = bsSolid;
  }
  TBrushStyle GetStyle() const { return FStyle; }
  void SetStyle(TBrushStyle Value) { FStyle = Value; }

private:
  TColor FColor = clWhite;
  TBrushStyle FStyle = bsSolid;
};

class TFont {
public:
  const std::string& GetName() const { return FName; }
  void SetName(std::string Value) {
    if (Value == FName) return;
    FName = std::move(Value);
    ++FChanges;
  }
  // Points; the em is TFontLibrary::PointsToPixels(Size) pixels high.
  std::int32_t GetSize() const { return FSize; }
  void SetSize(std::int32_t Value) {
    if (Value == FSize) return;
    FSize = Value;
    ++FChanges;
  }
  TFontStyles GetStyle() const { return FStyle; }
  void SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    ++FChanges;
  }
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value) { FColor = Value; }
  // Rises with every change of name, size or style.
  std::uint32_t GetChanges() const { return FChanges; }

private:
  std::string FName = "MS Sans Serif";
  std::int32_t FSize = 8;
  TFontStyles FStyle = 0;
  TColor FColor = clBlack;
  std::uint32_t FChanges = 0;
};

struct TTextSize {
  std::int32_t Width = 0;
  std::int32_t Height = 0;
};

class TCanvas {
public:
  // Draws into Target (may be nullptr) with the palette of an 8-bit target (nullptr maps
  // every colour against a default palette) and the faces of Fonts. None is owned.
  TCanvas(TDIBCanvas* Target, const TColorPalette* Palette, TFontLibrary& Fonts);
  ~TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;

  TDIBCanvas* GetTarget() const { return FTarget; }
  void SetTarget(TDIBCanvas* Value) { FTarget = Value; }
  const TColorPalette* GetPalette() const { return FPalette; }
  void SetPalette(const TColorPalette* Value);

  TPen& Pen() { return FPen; }
  TBrush& Brush() { return FBrush; }
  TFont& Font() { return FFont; }

  TPoint GetPenPos() const { return FPenPos; }
  void MoveTo(std::int32_t X, std::int32_t Y);
  // A line from the pen position to (X, Y) (that point left out) in the pen; the pen
  // position becomes (X, Y).
  void LineTo(std::int32_t X, std::int32_t Y);
  // The brush fills the inside, then the pen draws the frame along its outer pixels.
  void Rectangle(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2);
  void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
  // R in the brush (nothing with a clear brush).
  void FillRect(const TRect& R);
  // A frame one pixel wide along R's outer pixels in the brush colour (nothing when clear).
  void FrameRect(const TRect& R);
  void TextOut(std::int32_t X, std::int32_t Y, std::string_view Text);
  std::int32_t TextWidth(std::string_view Text);
  std::int32_t TextHeight(std::string_view Text);
  TTextSize TextExtent(std::string_view Text);
  // Source stretched (or shrunk) onto Dest, nearest pixel, clipped; the pixel values are
  // copied unchanged (the same palette). Raises EDIBCanvas when the depths differ.
  void StretchDraw(const TRect& Dest, const TDIBCanvas& Source);
  // The whole picture with its top-left at (X, Y), clipped, each pixel's colour drawn as the
  // target's nearest (see DeviceColor). With Transparent, pixels of the colour of the
  // picture's bottom-left pixel are left out, as transparent pictures of the game are drawn.
  void Draw(std::int32_t X, std::int32_t Y, const TBitmap& Picture, bool Transparent = false);

  // The value a colour is drawn with on the target: a palette index or a colour word.
  std::uint16_t DeviceColor(TColor Color);

private:
  TFontFace& CurrentFace();
  void PenPoint(std::int32_t X, std::int32_t Y, std::uint16_t Color);
  void FillBox(std::int64_t Left, std::int64_t Top, std::int64_t Right, std::int64_t Bottom, std::uint16_t Color);

  TDIBCanvas* FTarget;
  const TColorPalette* FPalette;
  TFontLibrary& FFonts;
  TPen FPen;
  TBrush FBrush;
  TFont FFont;
  TPoint FPenPos;
  // Position in the pen's on/off pattern, kept across connected lines.
  std::int64_t FPatternPos = 0;
  // The face of the font as it was at FFaceChanges, and what it was looked up by.
  TFontFace* FFace = nullptr;
  std::uint32_t FFaceChanges = 0;
  std::string FFaceName;
  bool FFaceBold = false;
  std::int32_t FFaceSize = 0;
  // Colours mapped to palette entries, valid for one palette change count.
  struct TMapped {
    TColor Color = 0;
    std::uint16_t Value = 0;
    bool Valid = false;
  };
  std::array<TMapped, 16> FMapped{};
  std::uint32_t FMappedPalette = 0;
};
