#include "sprites/SpriteSurface.h"

#include <cstring>

#include <algorithm>
#include <chrono>
#include <string>

#include "foundation/NumberText.h"
#include "foundation/ProcessMessages.h"
#include "sprites/ColorPalette.h"
#include "sprites/FontLibrary.h"
#include "sprites/SpriteEngine.h"

namespace {

const char* const kNoPalette = "ColorPalette property must be assigned";

std::int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

// The colour table of an 8-bit buffer: the palette's 256 entries.
std::vector<TRGBQuad> PaletteTable(const TColorPalette& Palette) {
  std::vector<TRGBQuad> Table(256);
  for (int I = 0; I < 256; ++I) {
    const TPaletteEntry E = Palette.ColorOf(I);
    Table[std::size_t(I)] = {E.Blue, E.Green, E.Red, 0};
  }
  return Table;
}

// A bitmap in a surface pixel format.
std::unique_ptr<TBitmap> NewSurfaceBitmap(std::int32_t Width, std::int32_t Height, TBitDepth Depth,
                                          const TColorPalette* Palette, bool TopDown) {
  auto B = std::make_unique<TBitmap>(Width, Height, Depth == bd8 ? 8 : 16, TopDown);
  if (Depth == bd8) {
    // A palette unset by a render event: the default one, until the frame's check stops it.
    B->SetColorTable(PaletteTable(Palette ? *Palette : TColorPalette()));
  } else if (Depth == bd15) {
    B->SetBitFields(0x7C00, 0x3E0, 0x1F);
  } else {
    B->SetBitFields(0xF800, 0x7E0, 0x1F);
  }
  return B;
}

}  // namespace

void CopyFrameToRGB32(const TBitmap& Buffer, std::uint32_t* Pixels, std::int32_t PixelsPerRow, std::int32_t Width,
                      std::int32_t Height) {
  const std::int32_t W = std::min(Width, Buffer.GetWidth()), H = std::min(Height, Buffer.GetHeight());
  const bool Eight = Buffer.GetBitsPerPixel() == 8;
  std::uint32_t Table[256];
  if (Eight) {
    for (int I = 0; I < 256; ++I) {
      const TRGBQuad Q = Buffer.GetColor(I);
      Table[I] = 0xFF000000u | (std::uint32_t(Q.Red) << 16) | (std::uint32_t(Q.Green) << 8) | Q.Blue;
    }
  }
  const bool Wide = Buffer.GetBitsPerPixel() == 16 && Buffer.GetGreenMask() == 0x7E0;
  for (std::int32_t Y = 0; Y < Height; ++Y) {
    std::uint32_t* To = Pixels + std::ptrdiff_t(Y) * PixelsPerRow;
    std::int32_t X = 0;
    if (Y < H && W > 0) {
      const std::uint8_t* From = Buffer.ScanLine(Y);
      if (Eight) {
        for (; X < W; ++X) To[X] = Table[From[X]];
      } else if (Buffer.GetBitsPerPixel() == 16) {
        for (; X < W; ++X) {
          const std::uint32_t V = std::uint32_t(From[2 * X]) | (std::uint32_t(From[2 * X + 1]) << 8);
          std::uint32_t R, G, B;
          if (Wide) {
            R = (V >> 11) & 0x1F;
            G = (V >> 5) & 0x3F;
            B = V & 0x1F;
            G = (G << 2) | (G >> 4);
          } else {
            R = (V >> 10) & 0x1F;
            G = (V >> 5) & 0x1F;
            B = V & 0x1F;
            G = (G << 3) | (G >> 2);
          }
          R = (R << 3) | (R >> 2);
          B = (B << 3) | (B >> 2);
          To[X] = 0xFF000000u | (R << 16) | (G << 8) | B;
        }
      } else {
        for (; X < W; ++X) {
          const std::uint32_t C = Buffer.GetPixelColor(X, Y);
          To[X] = 0xFF000000u | ((C & 0xFF) << 16) | (C & 0xFF00) | ((C >> 16) & 0xFF);
        }
      }
    }
    for (; X < Width; ++X) To[X] = 0xFF000000u;
  }
}

TRect TFrameConverter::Convert(const TBitmap& Buffer, std::uint32_t* Pixels, std::int32_t PixelsPerRow,
                               std::int32_t Width, std::int32_t Height) {
  const TRect Whole{0, 0, std::max(Width, 0), std::max(Height, 0)};
  if (Buffer.GetBitsPerPixel() != 8 || Width <= 0 || Height <= 0) {
    CopyFrameToRGB32(Buffer, Pixels, PixelsPerRow, Width, Height);
    FValid = false;
    return Whole;
  }
  std::uint32_t Table[256];
  for (int I = 0; I < 256; ++I) {
    const TRGBQuad Q = Buffer.GetColor(I);
    Table[I] = 0xFF000000u | (std::uint32_t(Q.Red) << 16) | (std::uint32_t(Q.Green) << 8) | Q.Blue;
  }
  const std::int32_t W = std::min(Width, Buffer.GetWidth()), H = std::min(Height, Buffer.GetHeight());
  const bool Same = FValid && FPixels == Pixels && FPixelsPerRow == PixelsPerRow && FWidth == Width &&
                    FHeight == Height && FBufferWidth == Buffer.GetWidth() && FBufferHeight == Buffer.GetHeight() &&
                    std::equal(std::begin(Table), std::end(Table), std::begin(FTable));
  if (!Same) {
    CopyFrameToRGB32(Buffer, Pixels, PixelsPerRow, Width, Height);
    std::copy(std::begin(Table), std::end(Table), std::begin(FTable));
    FPixels = Pixels;
    FPixelsPerRow = PixelsPerRow;
    FWidth = Width;
    FHeight = Height;
    FBufferWidth = Buffer.GetWidth();
    FBufferHeight = Buffer.GetHeight();
    FPrevious.assign(std::size_t(std::max(W, 0)) * std::size_t(std::max(H, 0)), 0);
    for (std::int32_t Y = 0; Y < H; ++Y) std::memcpy(&FPrevious[std::size_t(Y) * std::size_t(W)], Buffer.ScanLine(Y), std::size_t(W));
    FValid = true;
    return Whole;
  }
  // The bounds of what changed: rows Top .. Bottom - 1, columns Left .. Right - 1.
  std::int32_t Left = W, Right = 0, Top = H, Bottom = 0;
  // Blocks of 16 pixels: compared as two 64-bit words, converted only when they differ.
  constexpr std::int32_t Block = 16;
  for (std::int32_t Y = 0; Y < H; ++Y) {
    const std::uint8_t* From = Buffer.ScanLine(Y);
    std::uint8_t* Was = &FPrevious[std::size_t(Y) * std::size_t(W)];
    std::uint32_t* To = Pixels + std::ptrdiff_t(Y) * PixelsPerRow;
    std::int32_t X = 0;
    for (; X + Block <= W; X += Block) {
      std::uint64_t A[2], B[2];
      std::memcpy(A, From + X, Block);
      std::memcpy(B, Was + X, Block);
      if (A[0] == B[0] && A[1] == B[1]) continue;
      for (std::int32_t I = X; I < X + Block; ++I) To[I] = Table[From[I]];
      std::memcpy(Was + X, From + X, Block);
      Left = std::min(Left, X);
      Right = std::max(Right, X + Block);
      Top = std::min(Top, Y);
      Bottom = Y + 1;
    }
    for (; X < W; ++X)
      if (Was[X] != From[X]) {
        To[X] = Table[From[X]];
        Was[X] = From[X];
        Left = std::min(Left, X);
        Right = std::max(Right, X + 1);
        Top = std::min(Top, Y);
        Bottom = Y + 1;
      }
  }
  if (Right <= Left || Bottom <= Top) return {};
  return {Left, Top, Right, Bottom};
}

TSpriteSurface::TSpriteSurface() : TSpriteSurface(TFontLibrary::Default()) {}

TSpriteSurface::TSpriteSurface(TFontLibrary& Fonts)
    : FFonts(Fonts), FDIBCanvas(std::make_unique<TDIBCanvas>()), FCanvas(std::make_unique<TCanvas>(FDIBCanvas.get(), nullptr, Fonts)) {
  FFont.SetColor(clWhite);
  TSpriteSurface::SetBounds(0, 0, 185, 41);
  FVirtualWidth = 185;
  FVirtualHeight = 41;
}

TSpriteSurface::~TSpriteSurface() {
  FActive = false;
  if (FHost) FHost->SurfaceGone(*this);
  for (TSpriteEngine* E : std::vector<TSpriteEngine*>(FEngines)) E->SurfaceFreed();
  for (TSpriteFactory* F : std::vector<TSpriteFactory*>(FFactories)) F->FSpriteSurface = nullptr;
}

void TSpriteSurface::CreateBuffer() {
  FBuffer = NewSurfaceBitmap(FDIBCanvas->GetWidth(), FDIBCanvas->GetHeight(), FDIBCanvas->GetBitDepth(), FColorPalette,
                             !FDIBCanvas->GetBottomUp());
  FDIBCanvas->SetBits(FBuffer->GetBits());
  FCanvas->SetTarget(FDIBCanvas.get());
  FCanvas->SetPalette(FColorPalette);
  FBufferExists = true;
}

void TSpriteSurface::FreeBuffer() {
  FDIBCanvas->SetBits(nullptr);
  FBuffer.reset();
  FBufferExists = false;
}

void TSpriteSurface::RenderFrame() {
  if (FHost) FHost->FrameStarting(*this);
  if (FBitDepth == bd8 && !FColorPalette) {
    SetActive(false);
    throw EFlickwing(kNoPalette);
  }
  if (!FBufferExists) {
    // The buffer of the canvas's size; a new depth is taken at once.
    FDIBCanvas->SetBitDepth(FBitDepth);
    CreateBuffer();
  }
  if (BeforeRender) BeforeRender(*this);
  ++FFrameCount;
  // A new size, or a new depth (which would otherwise wait for the next change of size).
  if (FDIBCanvas->GetWidth() != FWidth || FDIBCanvas->GetHeight() != FHeight || FDIBCanvas->GetBitDepth() != FBitDepth) {
    FreeBuffer();
    FDIBCanvas->SetBitDepth(FBitDepth);
    FDIBCanvas->SetWidth(FWidth);
    FDIBCanvas->SetHeight(FHeight);
    CreateBuffer();
  }
  // The painter maps colours against the palette as it is now.
  FCanvas->SetPalette(FBitDepth == bd8 ? FColorPalette : nullptr);
  if (FAutoBlank) FDIBCanvas->Fill(FAutoBlankColorIndex);
  if (BeforeSpriteRender) BeforeSpriteRender(*this, *FCanvas, *FDIBCanvas);
  // Copies: an engine's handler may add or remove engines while the passes run.
  const std::vector<TSpriteEngine*> Engines(FEngines);
  auto StillHere = [this](TSpriteEngine* E) { return std::find(FEngines.begin(), FEngines.end(), E) != FEngines.end(); };
  for (TSpriteEngine* E : Engines)
    if (StillHere(E)) E->MoveSprites();
  for (TSpriteEngine* E : Engines) {
    if (!StillHere(E)) continue;
    E->RenderSprites(*FCanvas, *FDIBCanvas);
    if (StillHere(E)) E->CollisionPass();
  }
  if (AfterSpriteRender) AfterSpriteRender(*this, *FCanvas, *FDIBCanvas);
  if (FShowPerformance) DrawPerformance();
  if (FHost) FHost->ShowFrame(*this);
  if (AfterRender) AfterRender(*this);
  ProcessMessages();
}

void TSpriteSurface::DrawPerformance() {
  const std::int64_t Now = NowMs();
  if (Now > FNextSecond) {
    FNextSecond = Now + 1000;
    FFramesShown = FFrameCount;
    FFrameCount = 0;
  }
  TCanvas& C = *FCanvas;
  C.Brush().SetStyle(bsSolid);
  C.Brush().SetColor(clBlack);
  C.Font().SetName(FFont.GetName());
  C.Font().SetSize(FFont.GetSize());
  C.Font().SetStyle(FFont.GetStyle());
  C.Font().SetColor(FFont.GetColor());
  C.TextOut(4, 4, IntToStr(FFramesShown));
}

void TSpriteSurface::RebuildFrame() {
  FBufferExists = false;
  RenderFrame();
}

void TSpriteSurface::CenterOn(std::int32_t X, std::int32_t Y) {
  std::int64_t OX = std::int64_t(X) - FWidth / 2, OY = std::int64_t(Y) - FHeight / 2;
  if (OX + FWidth > FVirtualWidth) OX = std::int64_t(FVirtualWidth) - FWidth;
  if (OY + FHeight > FVirtualHeight) OY = std::int64_t(FVirtualHeight) - FHeight;
  SetOffsetX(std::int32_t(std::max<std::int64_t>(OX, 0)));
  SetOffsetY(std::int32_t(std::max<std::int64_t>(OY, 0)));
}

std::unique_ptr<TBitmap> TSpriteSurface::CreateSurfaceBitmap(const TBitmap& Graphic) const {
  if (FBitDepth == bd8 && !FColorPalette) throw EFlickwing(kNoPalette);
  const std::int32_t W = Graphic.GetWidth(), H = Graphic.GetHeight();
  auto Result = NewSurfaceBitmap(W, H, FBitDepth, FColorPalette, false);
  // The canvas's rows must be whole words: draw on a buffer of the width rounded up, then
  // take its columns.
  auto Work = NewSurfaceBitmap((W + 3) / 4 * 4, H, FBitDepth, FColorPalette, false);
  auto Canvas = TDIBCanvas::CreateFromBitmap(*Work);
  TCanvas Painter(Canvas.get(), FBitDepth == bd8 ? FColorPalette : nullptr, FFonts);
  Painter.Draw(0, 0, Graphic);
  const std::size_t Bytes = std::size_t(W) * (FBitDepth == bd8 ? 1 : 2);
  for (std::int32_t Y = 0; Y < H; ++Y) std::copy_n(Work->ScanLine(Y), Bytes, Result->ScanLine(Y));
  return Result;
}

void TSpriteSurface::AddEngine(TSpriteEngine* Engine) {
  if (!Engine || std::find(FEngines.begin(), FEngines.end(), Engine) != FEngines.end()) return;
  FEngines.push_back(Engine);
  SortEngines();
}

void TSpriteSurface::RemoveEngine(TSpriteEngine* Engine) { std::erase(FEngines, Engine); }

void TSpriteSurface::SortEngines() {
  std::stable_sort(FEngines.begin(), FEngines.end(),
                   [](const TSpriteEngine* A, const TSpriteEngine* B) { return A->GetPriority() > B->GetPriority(); });
}

void TSpriteSurface::SetBounds(std::int32_t Left, std::int32_t Top, std::int32_t Width, std::int32_t Height) {
  if (Width >= 1) Width -= Width % 4;
  FLeft = Left;
  FTop = Top;
  FWidth = std::max(Width, 0);
  FHeight = std::max(Height, 0);
  if (!FUseVirtualSize) {
    FVirtualWidth = FWidth;
    FVirtualHeight = FHeight;
  }
  UpdateScrollBars();
}

void TSpriteSurface::MouseDown(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseDown) OnMouseDown(*this, Button, Shift, X + FOffsetX, Y + FOffsetY);
}

void TSpriteSurface::MouseMove(TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseMove) OnMouseMove(*this, Shift, X + FOffsetX, Y + FOffsetY);
}

void TSpriteSurface::MouseUp(TMouseButton Button, TShiftState Shift, std::int32_t X, std::int32_t Y) {
  if (OnMouseUp) OnMouseUp(*this, Button, Shift, X + FOffsetX, Y + FOffsetY);
  if (!OnSpriteClick) return;
  if (TSprite* S = SpriteAt(X + FOffsetX, Y + FOffsetY)) OnSpriteClick(*this, *S);
}

TSprite* TSpriteSurface::SpriteAt(std::int32_t X, std::int32_t Y) const {
  for (const TSpriteEngine* E : FEngines) {
    if (!E->GetClickSprites()) continue;
    const std::int32_t Count = E->SpriteCount();
    for (std::int32_t I = 0; I < Count; ++I) {
      TSprite* S = E->GetSprite(I);
      if (!S->GetVisible()) continue;
      TRect R;
      S->GetBoundsRect(R);
      if (X >= R.Left && X <= R.Right && Y >= R.Top && Y <= R.Bottom) return S;
    }
  }
  return nullptr;
}

void TSpriteSurface::SetActive(bool Value) {
  if (Value == FActive) return;
  FActive = Value;
  if (FHost) FHost->ActiveChanged(*this);
}

void TSpriteSurface::SetColorPalette(TColorPalette* Value) { FColorPalette = Value; }

void TSpriteSurface::SetOffsetX(std::int32_t Value) {
  if (!FUseVirtualSize) return;
  FOffsetX = Value;
  if (FScrollBarHorz) {
    FOffsetUpdate = true;
    FScrollBarHorz->SetPosition(Value);
    FOffsetUpdate = false;
  }
  if (OnOffsetChange) OnOffsetChange(*this);
}

void TSpriteSurface::SetOffsetY(std::int32_t Value) {
  if (!FUseVirtualSize) return;
  FOffsetY = Value;
  if (FScrollBarVert) {
    FOffsetUpdate = true;
    FScrollBarVert->SetPosition(Value);
    FOffsetUpdate = false;
  }
  if (OnOffsetChange) OnOffsetChange(*this);
}

void TSpriteSurface::SetScrollBarHorz(TSurfaceScrollBar* Value) { FScrollBarHorz = Value; }

void TSpriteSurface::SetScrollBarVert(TSurfaceScrollBar* Value) { FScrollBarVert = Value; }

void TSpriteSurface::ScrollBarChange(TSurfaceScrollBar*) {
  if (FOffsetUpdate) return;
  if (FScrollBarHorz) SetOffsetX(FScrollBarHorz->GetPosition());
  if (FScrollBarVert) SetOffsetY(FScrollBarVert->GetPosition());
}

void TSpriteSurface::UpdateScrollBars() {
  if (FScrollBarHorz) {
    FScrollBarHorz->SetVisible(FWidth < FVirtualWidth);
    if (FWidth < FVirtualWidth) FScrollBarHorz->SetMax(FVirtualWidth - FWidth);
  }
  if (FScrollBarVert) {
    FScrollBarVert->SetVisible(FHeight < FVirtualHeight);
    if (FHeight < FVirtualHeight) FScrollBarVert->SetMax(FVirtualHeight - FHeight);
  }
}

void TSpriteSurface::SetUseVirtualSize(bool Value) {
  FUseVirtualSize = Value;
  if (!Value) {
    FVirtualWidth = FWidth;
    FVirtualHeight = FHeight;
    FOffsetX = 0;
    FOffsetY = 0;
    UpdateScrollBars();
  }
}

void TSpriteSurface::SetVirtualWidth(std::int32_t Value) {
  if (FUseVirtualSize) FVirtualWidth = Value;
  UpdateScrollBars();
}

void TSpriteSurface::SetVirtualHeight(std::int32_t Value) {
  if (FUseVirtualSize) FVirtualHeight = Value;
  UpdateScrollBars();
}
