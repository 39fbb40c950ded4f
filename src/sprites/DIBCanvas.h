#pragma once
// TDIBCanvas draws straight into the pixel memory of a device-independent bitmap: 8 bits per
// pixel (palette indexes) or 16 bits (bd15 5-5-5 or bd16 5-6-5 colour words; the two differ
// only in how the surface shows them), rows top-down or bottom-up. Every sprite draws into
// the sprite surface's TDIBCanvas; the game's icon sheets are TDIBCanvas objects over bitmaps.
//
// Memory: Width pixels per row with no fill bytes (Width is a multiple of 4, so 8-bit and
// 16-bit rows are whole 32-bit words); pixel (X, Y) lies at memory row Y (top-down) or
// Height - 1 - Y (bottom-up), column X. The memory belongs to whoever gives it (SetBits,
// CreateFromBitmap) unless the canvas allocates its own (AllocateBits).
//
// Colours are 16-bit values: a palette index (low byte) at 8 bits, a colour word at 16.
// Edges, as the game relies on them:
//  - ClipRect is (0, 0, Width - 1, Height - 1), read as inclusive bounds by lines and circles
//    (a line reaches the last column and row) and as Right/Bottom-exclusive by Plot (Plot on
//    the last column or row draws nothing).
//  - FillRect and CopyFrom take rectangles whose Right and Bottom lie outside them.
//  - Draw copies the source's ClipRect: its last column and row are not drawn.
#include <cstdint>
#include <memory>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Geometry.h"

class TBitmap;

// Raised when two canvases of different depths meet or a bitmap cannot become a canvas.
class EDIBCanvas : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// Raised for a width that is not a multiple of 4.
class EInvalidWidth : public EDIBCanvas {
public:
  EInvalidWidth() : EDIBCanvas("Width must be a multiple of 4") {}
};

enum TBitDepth : std::uint8_t { bd8, bd15, bd16 };

class TDIBCanvas {
public:
  // An empty canvas: no pixels, 0 x 0, bd8, top-down.
  TDIBCanvas();
  ~TDIBCanvas();
  TDIBCanvas(const TDIBCanvas&) = delete;
  TDIBCanvas& operator=(const TDIBCanvas&) = delete;

  // A canvas over the bitmap's pixel memory (which must outlive it): Width and Height of the
  // bitmap, BottomUp unless the bitmap is top-down, bd8 for 8 bits per pixel, bd15 or bd16
  // for 16 (by its masks); transparent colour := the bottom-left pixel (0, Height - 1).
  // Raises EInvalidWidth for a width that is not a multiple of 4 and EDIBCanvas for other
  // depths.
  static std::unique_ptr<TDIBCanvas> CreateFromBitmap(TBitmap& Bitmap);
  // The same, the canvas keeping the bitmap (freed with the canvas).
  static std::unique_ptr<TDIBCanvas> CreateFromBitmap(std::unique_ptr<TBitmap> Bitmap);

  std::int32_t GetWidth() const { return FWidth; }
  std::int32_t GetHeight() const { return FHeight; }
  // Width must be a multiple of 4 (else EInvalidWidth); not negative.
  void SetWidth(std::int32_t Value);
  void SetHeight(std::int32_t Value);
  bool GetBottomUp() const { return FBottomUp; }
  void SetBottomUp(bool Value);
  TBitDepth GetBitDepth() const { return FBitDepth; }
  void SetBitDepth(TBitDepth Value);

  // The pixel memory (ImageSize bytes), not owned; nullptr draws nothing.
  void* GetBits() const { return FBits; }
  void SetBits(void* Bits);
  // Gives the canvas zeroed memory of its own for its size and depth; a later change of size
  // or depth allocates it again.
  void AllocateBits();
  bool GetOwnsBits() const { return FOwnsBits; }

  std::int32_t GetImageSize() const { return FImageSize; }
  std::int32_t GetPixelCount() const { return FPixelCount; }
  std::int32_t GetBytesPerPixel() const { return FBytesPerPixel; }
  std::int32_t GetRowBytes() const { return FWidth * FBytesPerPixel; }
  const TRect& GetClipRect() const { return FClipRect; }
  // The first byte of row Y (counted from the top); nullptr outside the canvas or without
  // memory. For direct writers such as compressed sprites.
  std::uint8_t* ScanLine(std::int32_t Y) const;

  std::uint16_t GetBrushColor() const { return FBrushColor; }
  void SetBrushColor(std::uint16_t Value) { FBrushColor = Value; }
  std::uint16_t GetPenColor() const { return FPenColor; }
  void SetPenColor(std::uint16_t Value) { FPenColor = Value; }
  // The colour key that transparent copies from this canvas skip.
  std::uint16_t GetTransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(std::uint16_t Value) { FTransparentColor = Value; }

  // Sets the pixel when 0 <= X < ClipRect.Right and 0 <= Y < ClipRect.Bottom.
  void Plot(std::int32_t X, std::int32_t Y, std::uint16_t Color);
  // The pixel at (X, Y); 0 outside the canvas.
  std::uint16_t GetPixel(std::int32_t X, std::int32_t Y) const;

  TPoint GetPenPos() const { return FPenPos; }
  void MoveTo(std::int32_t X, std::int32_t Y);
  // A line from the pen position to (X, Y), both ends included, in the pen colour, clipped to
  // ClipRect; the pen position becomes (X, Y).
  void LineTo(std::int32_t X, std::int32_t Y);
  // R (Right and Bottom exclusive), clipped to the canvas, in the brush colour.
  void FillRect(const TRect& R);
  // The whole canvas in Color; the brush colour is kept.
  void Fill(std::uint16_t Color);
  // A filled circle in the brush colour (midpoint circle; radius 0 is one pixel, a negative
  // radius nothing), clipped to ClipRect.
  void FillCircle(std::int32_t X, std::int32_t Y, std::int32_t Radius);
  // Source's pixels of SrcRect (Right and Bottom exclusive) to (X, Y), clipped to both
  // canvases; with Transparent, pixels equal to Source's transparent colour are skipped.
  // Source may be this canvas. Raises EDIBCanvas when the depths differ (bd15 and bd16 are
  // both 16 bits and copy as they are).
  void CopyFrom(std::int32_t X, std::int32_t Y, const TRect& SrcRect, const TDIBCanvas& Source, bool Transparent);
  // CopyFrom of Source's ClipRect: Width - 1 columns and Height - 1 rows.
  void Draw(std::int32_t X, std::int32_t Y, const TDIBCanvas& Source, bool Transparent);

private:
  // The set-pixel, get-pixel, line, fill and fill-rectangle routines of one depth.
  struct TRoutines;
  template <class TPixel>
  friend struct TDepthRoutines;
  void ChooseRoutines();

  // Address of row 0 and the signed step from one row to the next.
  std::uint8_t* FRow0 = nullptr;
  std::int32_t FRowStep = 0;

  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  bool FBottomUp = false;
  std::uint16_t FBrushColor = 0;
  std::uint16_t FPenColor = 0;
  std::uint16_t FTransparentColor = 0;
  void* FBits = nullptr;
  TPoint FPenPos;
  std::unique_ptr<TBitmap> FOwnedBitmap;
  std::vector<std::uint8_t> FOwnedMemory;
  bool FOwnsBits = false;
  TBitDepth FBitDepth = bd8;
  std::int32_t FImageSize = 0;
  std::int32_t FPixelCount = 0;
  std::int32_t FBytesPerPixel = 1;
  TRect FClipRect{0, 0, -1, -1};
  const TRoutines* FRoutines = nullptr;
};
