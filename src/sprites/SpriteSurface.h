#pragma once
// TSpriteSurface is the map's drawing surface without its window: a back buffer (a bitmap
// whose pixels a TDIBCanvas and a TCanvas draw into), the sprite engines that draw on it in
// order of Priority, the virtual area that the window shows a part of (OffsetX, OffsetY), and
// the steps of one animation frame. The window that shows it (TSurfaceHost) paces the frames
// on the main thread, shows the finished buffer and hands on the mouse.
//
// One frame (RenderFrame): BeforeRender; the buffer is made again when the window's size or
// the bit depth changed; AutoBlank fills it; BeforeSpriteRender; every engine moves its
// sprites; every engine renders its sprites and tests their collisions; AfterSpriteRender;
// the frame counter at (4, 4) when ShowPerformance; the host shows the buffer; AfterRender;
// pending messages are processed.
//
// The surface does not own its engines, palette, scroll bars or host. Engines, factories and
// the host are told when the surface goes; the palette and the scroll bars must outlive it or
// be unset first.
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Geometry.h"
#include "sprites/Bitmap.h"
#include "sprites/Canvas.h"
#include "sprites/DIBCanvas.h"

class TColorPalette;
class TFontLibrary;
class TSprite;
class TSpriteEngine;
class TSpriteFactory;
class TSpriteSurface;

// Raised by a surface that cannot draw.
class EFlickwing : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

enum TMouseButton : std::uint8_t { mbLeft, mbRight, mbMiddle };
// Keys and buttons held during a mouse event.
enum TShiftFlag : std::uint8_t {
  ssShift = 1,
  ssAlt = 2,
  ssCtrl = 4,
  ssLeft = 8,
  ssRight = 16,
  ssMiddle = 32,
  ssDouble = 64,
};
using TShiftState = std::uint8_t;

// A scroll bar the surface keeps in step with its offsets. The window that owns the bar
// calls the surface's ScrollBarChange when the player moves it.
class TSurfaceScrollBar {
public:
  virtual ~TSurfaceScrollBar() = default;
  virtual void SetVisible(bool Value) = 0;
  // The range is 0 .. Max.
  virtual void SetMax(std::int32_t Value) = 0;
  virtual std::int32_t GetPosition() const = 0;
  virtual void SetPosition(std::int32_t Value) = 0;
};

// The window that shows a surface.
class TSurfaceHost {
public:
  virtual ~TSurfaceHost() = default;
  // A frame begins: the window may give the surface its current size first.
  virtual void FrameStarting(TSpriteSurface& Surface) = 0;
  // Active changed: start (or stop) running RenderFrame every AnimationInterval.
  virtual void ActiveChanged(TSpriteSurface& Surface) = 0;
  // The frame is complete in the back buffer: show it (the one block transfer of a frame).
  virtual void ShowFrame(TSpriteSurface& Surface) = 0;
  // The surface is being destroyed: forget it.
  virtual void SurfaceGone(TSpriteSurface& Surface) = 0;
};

// Ms to wait after a frame that took Elapsed ms so that frames start Interval ms apart;
// slow frames run back to back.
constexpr std::int64_t FrameDelay(std::int64_t Interval, std::int64_t Elapsed) {
  return Interval - Elapsed > 0 ? Interval - Elapsed : 0;
}

// The back buffer's pixels as 32-bit $FFRRGGBB pixels (an 8-bit buffer through its colour
// table, a 16-bit one through its masks), Width x Height of them, PixelsPerRow apart. Columns
// and rows beyond the buffer are set to opaque black.
void CopyFrameToRGB32(const TBitmap& Buffer, std::uint32_t* Pixels, std::int32_t PixelsPerRow, std::int32_t Width,
                      std::int32_t Height);

// CopyFrameToRGB32 for a window that shows one frame after another into the same pixels: it
// keeps the last 8-bit frame it converted and writes only the pixels of the blocks that changed
// since, which gives the same pixels as a whole conversion while the target is left alone
// between frames. Anything else (another target, size, colour table or depth) converts the
// whole frame; so does the first frame after Invalidate. It returns the part of the target it
// wrote (empty when the frame is the one before), so that the window repaints only that.
class TFrameConverter {
public:
  TRect Convert(const TBitmap& Buffer, std::uint32_t* Pixels, std::int32_t PixelsPerRow, std::int32_t Width,
                std::int32_t Height);
  // The target was written by someone else: the next frame is converted whole.
  void Invalidate() { FValid = false; }

private:
  bool FValid = false;
  const std::uint32_t* FPixels = nullptr;
  std::int32_t FPixelsPerRow = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  std::int32_t FBufferWidth = 0;
  std::int32_t FBufferHeight = 0;
  std::uint32_t FTable[256] = {};
  std::vector<std::uint8_t> FPrevious;
};

class TSpriteSurface {
public:
  // 185 x 41 (the width rounded to 184), virtual size 185 x 41, inactive, no engines. The
  // painter of the render events takes its glyphs from Fonts (the program's by default).
  TSpriteSurface();
  explicit TSpriteSurface(TFontLibrary& Fonts);
  virtual ~TSpriteSurface();
  TSpriteSurface(const TSpriteSurface&) = delete;
  TSpriteSurface& operator=(const TSpriteSurface&) = delete;

  // One frame (see above). An 8-bit surface without a palette becomes inactive and raises
  // EFlickwing "ColorPalette property must be assigned".
  void RenderFrame();
  // The next frame makes the buffer again (and its colour table from the palette).
  void RebuildFrame();
  // Shows (X, Y) in the middle of the window, kept within the virtual area.
  void CenterOn(std::int32_t X, std::int32_t Y);
  // A new bitmap of Graphic's size in the surface's pixel format with Graphic drawn at
  // (0, 0): 8 bits with the palette's colours (EFlickwing "ColorPalette property must be
  // assigned" without one), or 16 bits of bd15 or bd16.
  std::unique_ptr<TBitmap> CreateSurfaceBitmap(const TBitmap& Graphic) const;

  // The engines, in the order they run (Priority, higher first). Engines add and remove
  // themselves (TSpriteEngine::SetSpriteSurface, its destruction).
  void AddEngine(TSpriteEngine* Engine);
  void RemoveEngine(TSpriteEngine* Engine);
  void SortEngines();
  const std::vector<TSpriteEngine*>& GetEngines() const { return FEngines; }

  // The control's place and size: a width of 1 or more is rounded down to a multiple of 4;
  // without UseVirtualSize the virtual area follows the size.
  virtual void SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height);
  std::int32_t GetLeft() const { return FLeft; }
  std::int32_t GetTop() const { return FTop; }
  std::int32_t GetWidth() const { return FWidth; }
  std::int32_t GetHeight() const { return FHeight; }

  // The window's mouse events, X and Y in window pixels. The events get virtual coordinates;
  // a release over a visible sprite of a clicking engine goes to OnSpriteClick.
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y);
  // The first visible sprite, of the engines that click their sprites, whose bounds hold the
  // virtual point; nullptr when none does.
  TSprite* SpriteAt(std::int32_t X, std::int32_t Y) const;

  bool GetActive() const { return FActive; }
  // Tells the host to start or stop the frames when the value changes.
  void SetActive(bool Value);
  std::int32_t GetAnimationInterval() const { return FAnimationInterval; }
  void SetAnimationInterval(std::int32_t Value) { FAnimationInterval = Value; }
  bool GetAutoBlank() const { return FAutoBlank; }
  void SetAutoBlank(bool Value) { FAutoBlank = Value; }
  std::uint16_t GetAutoBlankColorIndex() const { return FAutoBlankColorIndex; }
  void SetAutoBlankColorIndex(std::uint16_t Value) { FAutoBlankColorIndex = Value; }
  TBitDepth GetBitDepth() const { return FBitDepth; }
  // Takes effect at the next frame.
  void SetBitDepth(TBitDepth Value) { FBitDepth = Value; }
  TColorPalette* GetColorPalette() const { return FColorPalette; }
  void SetColorPalette(TColorPalette* Value);

  std::int32_t GetOffsetX() const { return FOffsetX; }
  std::int32_t GetOffsetY() const { return FOffsetY; }
  // Only with UseVirtualSize: stores (no clamping), moves the scroll bar, fires OnOffsetChange.
  void SetOffsetX(std::int32_t Value);
  void SetOffsetY(std::int32_t Value);
  TSurfaceScrollBar* GetScrollBarHorz() const { return FScrollBarHorz; }
  TSurfaceScrollBar* GetScrollBarVert() const { return FScrollBarVert; }
  void SetScrollBarHorz(TSurfaceScrollBar* Value);
  void SetScrollBarVert(TSurfaceScrollBar* Value);
  // A bar was moved by the player: the offsets follow the bars (unless the surface is moving
  // them itself).
  virtual void ScrollBarChange(TSurfaceScrollBar* Sender);
  // Shows the bars where the virtual area is larger than the window, their range the rest.
  void UpdateScrollBars();

  bool GetShowPerformance() const { return FShowPerformance; }
  void SetShowPerformance(bool Value) { FShowPerformance = Value; }
  bool GetUseVirtualSize() const { return FUseVirtualSize; }
  // False: the virtual area becomes the window's size and the offsets 0 (no event).
  void SetUseVirtualSize(bool Value);
  std::int32_t GetVirtualWidth() const { return FVirtualWidth; }
  std::int32_t GetVirtualHeight() const { return FVirtualHeight; }
  // Stored only with UseVirtualSize; the scroll bars are updated either way.
  void SetVirtualWidth(std::int32_t Value);
  void SetVirtualHeight(std::int32_t Value);
  bool GetWrapHorizontal() const { return FWrapHorizontal; }
  void SetWrapHorizontal(bool Value) { FWrapHorizontal = Value; }
  bool GetWrapVertical() const { return FWrapVertical; }
  void SetWrapVertical(bool Value) { FWrapVertical = Value; }

  // The font of the frame counter.
  TFont& Font() { return FFont; }

  // The back buffer (nullptr before the first frame), the canvas over its pixels and the
  // painter on the same pixels.
  const TBitmap* GetBackBuffer() const { return FBuffer.get(); }
  TDIBCanvas& GetDIBCanvas() { return *FDIBCanvas; }
  TCanvas& GetCanvas() { return *FCanvas; }
  // Frames since the last second mark, and the count shown for the last second.
  std::int32_t GetFrameCount() const { return FFrameCount; }
  std::int32_t GetFramesShown() const { return FFramesShown; }

  TSurfaceHost* GetHost() const { return FHost; }
  void SetHost(TSurfaceHost* Value) { FHost = Value; }

  std::function<void(TSpriteSurface& Sender)> AfterRender;
  std::function<void(TSpriteSurface& Sender)> BeforeRender;
  std::function<void(TSpriteSurface& Sender, TCanvas& Canvas, TDIBCanvas& DIBCanvas)> AfterSpriteRender;
  std::function<void(TSpriteSurface& Sender, TCanvas& Canvas, TDIBCanvas& DIBCanvas)> BeforeSpriteRender;
  std::function<void(TSpriteSurface& Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y)>
      OnMouseDown;
  std::function<void(TSpriteSurface& Sender, TShiftState Shift, std::int32_t X, std::int32_t Y)> OnMouseMove;
  std::function<void(TSpriteSurface& Sender, TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y)>
      OnMouseUp;
  std::function<void(TSpriteSurface& Sender)> OnOffsetChange;
  std::function<void(TSpriteSurface& Sender, TSprite& Sprite)> OnSpriteClick;

private:
  friend class TSpriteFactory;
  void CreateBuffer();
  void FreeBuffer();
  void DrawPerformance();

  bool FActive = false;
  std::int32_t FAnimationInterval = 0;
  bool FAutoBlank = false;
  std::uint16_t FAutoBlankColorIndex = 0;
  TBitDepth FBitDepth = bd8;
  TColorPalette* FColorPalette = nullptr;
  std::int32_t FOffsetX = 0;
  std::int32_t FOffsetY = 0;
  TSurfaceScrollBar* FScrollBarHorz = nullptr;
  TSurfaceScrollBar* FScrollBarVert = nullptr;
  bool FShowPerformance = false;
  bool FUseVirtualSize = false;
  std::int32_t FVirtualWidth = 185;
  std::int32_t FVirtualHeight = 41;
  bool FWrapHorizontal = false;
  bool FWrapVertical = false;
  std::int32_t FLeft = 0;
  std::int32_t FTop = 0;
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  TFont FFont;

  std::vector<TSpriteEngine*> FEngines;
  // Factories drawing for this surface, told when it goes.
  std::vector<TSpriteFactory*> FFactories;
  TSurfaceHost* FHost = nullptr;
  TFontLibrary& FFonts;

  std::unique_ptr<TBitmap> FBuffer;
  std::unique_ptr<TDIBCanvas> FDIBCanvas;
  std::unique_ptr<TCanvas> FCanvas;
  bool FBufferExists = false;
  // Raised while the surface moves its own scroll bars.
  bool FOffsetUpdate = false;
  std::int32_t FFrameCount = 0;
  std::int32_t FFramesShown = 0;
  std::int64_t FNextSecond = 0;
};
