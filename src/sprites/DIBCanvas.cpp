#include "sprites/DIBCanvas.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "sprites/Bitmap.h"
#include "sprites/LineWalk.h"

struct TDIBCanvas::TRoutines {
  void (*SetPixel)(TDIBCanvas& C, std::int32_t X, std::int32_t Y, std::uint16_t Color);
  std::uint16_t (*GetPixel)(const TDIBCanvas& C, std::int32_t X, std::int32_t Y);
  void (*DrawLine)(TDIBCanvas& C, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2);
  void (*Fill)(TDIBCanvas& C, std::uint16_t Color);
  void (*FillRect)(TDIBCanvas& C, const TRect& R, std::uint16_t Color);
};

namespace {

// One palette index per pixel.
struct TPixel8 {
  static constexpr std::int32_t Bytes = 1;
  static void Put(std::uint8_t* P, std::uint16_t Color) { *P = std::uint8_t(Color); }
  static std::uint16_t Get(const std::uint8_t* P) { return *P; }
  static void FillRow(std::uint8_t* P, std::int32_t Count, std::uint16_t Color) {
    std::memset(P, std::uint8_t(Color), std::size_t(Count));
  }
};

// One 16-bit colour word per pixel, in the machine's (little-endian) order.
struct TPixel16 {
  static constexpr std::int32_t Bytes = 2;
  static void Put(std::uint8_t* P, std::uint16_t Color) { std::memcpy(P, &Color, 2); }
  static std::uint16_t Get(const std::uint8_t* P) {
    std::uint16_t V;
    std::memcpy(&V, P, 2);
    return V;
  }
  static void FillRow(std::uint8_t* P, std::int32_t Count, std::uint16_t Color) {
    if ((Color & 0xFF) == (Color >> 8)) {
      std::memset(P, Color & 0xFF, std::size_t(Count) * 2);
      return;
    }
    // Eight bytes at a time, then the last words one by one.
    const std::uint64_t Pattern = std::uint64_t(Color) * 0x0001000100010001ull;
    std::int32_t I = 0;
    for (; I + 4 <= Count; I += 4) std::memcpy(P + 2 * I, &Pattern, 8);
    for (; I < Count; ++I) Put(P + 2 * I, Color);
  }
};

// Copies the bytes that differ from Key, eight at a time: a byte of From ^ Key is zero exactly
// where the key is, and that byte of To is kept.
void CopyKeyed8(std::uint8_t* To, const std::uint8_t* From, std::int64_t Count, std::uint8_t Key) {
  constexpr std::uint64_t Low7 = 0x7F7F7F7F7F7F7F7Full;
  const std::uint64_t Keys = std::uint64_t(Key) * 0x0101010101010101ull;
  std::int64_t J = 0;
  for (; J + 8 <= Count; J += 8) {
    std::uint64_t S, D;
    std::memcpy(&S, From + J, 8);
    std::memcpy(&D, To + J, 8);
    const std::uint64_t X = S ^ Keys;
    // The high bit of each byte: set when that byte of X is not zero.
    const std::uint64_t NonZero = (((X & Low7) + Low7) | X) & ~Low7;
    const std::uint64_t Take = (NonZero >> 7) * 0xFF;
    D = (S & Take) | (D & ~Take);
    std::memcpy(To + J, &D, 8);
  }
  for (; J < Count; ++J)
    if (From[J] != Key) To[J] = From[J];
}

}  // namespace

template <class TPixel>
struct TDepthRoutines {
  static std::uint8_t* At(const TDIBCanvas& C, std::int32_t X, std::int32_t Y) {
    return C.FRow0 + std::ptrdiff_t(Y) * C.FRowStep + std::ptrdiff_t(X) * TPixel::Bytes;
  }
  static void SetPixel(TDIBCanvas& C, std::int32_t X, std::int32_t Y, std::uint16_t Color) {
    TPixel::Put(At(C, X, Y), Color);
  }
  static std::uint16_t GetPixel(const TDIBCanvas& C, std::int32_t X, std::int32_t Y) { return TPixel::Get(At(C, X, Y)); }
  static void DrawLine(TDIBCanvas& C, std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2) {
    const std::uint16_t Color = C.FPenColor;
    WalkClippedLine(X1, Y1, X2, Y2, C.FClipRect, true,
                    [&](std::int32_t X, std::int32_t Y, std::int64_t) { TPixel::Put(At(C, X, Y), Color); });
  }
  static void Fill(TDIBCanvas& C, std::uint16_t Color) {
    TPixel::FillRow(static_cast<std::uint8_t*>(C.FBits), C.FPixelCount, Color);
  }
  static void FillRect(TDIBCanvas& C, const TRect& R, std::uint16_t Color) {
    const std::int32_t Left = std::max(R.Left, 0), Top = std::max(R.Top, 0);
    const std::int32_t Right = std::min(R.Right, C.FWidth), Bottom = std::min(R.Bottom, C.FHeight);
    if (Left >= Right || Top >= Bottom) return;
    for (std::int32_t Y = Top; Y < Bottom; ++Y) TPixel::FillRow(At(C, Left, Y), Right - Left, Color);
  }
  static const TDIBCanvas::TRoutines Table;
};

template <class TPixel>
const TDIBCanvas::TRoutines TDepthRoutines<TPixel>::Table = {
    &TDepthRoutines::SetPixel, &TDepthRoutines::GetPixel, &TDepthRoutines::DrawLine,
    &TDepthRoutines::Fill,     &TDepthRoutines::FillRect,
};

namespace {

// Keeps every byte count of the canvas within 32 bits.
void CheckSize(std::int32_t Width, std::int32_t Height, TBitDepth Depth) {
  if (std::int64_t(Width) * Height * (Depth == bd8 ? 1 : 2) > INT32_MAX)
    throw EDIBCanvas("A canvas of " + std::to_string(Width) + " x " + std::to_string(Height) + " pixels is too large");
}

}  // namespace

TDIBCanvas::TDIBCanvas() { ChooseRoutines(); }

TDIBCanvas::~TDIBCanvas() = default;

std::unique_ptr<TDIBCanvas> TDIBCanvas::CreateFromBitmap(TBitmap& Bitmap) {
  if (Bitmap.GetWidth() % 4 != 0) throw EInvalidWidth();
  TBitDepth Depth;
  if (Bitmap.GetBitsPerPixel() == 8) {
    Depth = bd8;
  } else if (Bitmap.GetBitsPerPixel() == 16 && (!Bitmap.GetHasBitFields() || Bitmap.GetGreenMask() == 0x3E0)) {
    Depth = bd15;
  } else if (Bitmap.GetBitsPerPixel() == 16 && Bitmap.GetGreenMask() == 0x7E0) {
    Depth = bd16;
  } else {
    throw EDIBCanvas("A bitmap of " + std::to_string(Bitmap.GetBitsPerPixel()) +
                     " bits per pixel cannot become a canvas (8 or 16 expected)");
  }
  auto C = std::make_unique<TDIBCanvas>();
  C->FWidth = Bitmap.GetWidth();
  C->FHeight = Bitmap.GetHeight();
  C->FBitDepth = Depth;
  C->FBottomUp = !Bitmap.GetTopDown();
  C->FBits = Bitmap.GetBits();
  C->ChooseRoutines();
  if (C->FHeight > 0) C->FTransparentColor = C->GetPixel(0, C->FHeight - 1);
  return C;
}

std::unique_ptr<TDIBCanvas> TDIBCanvas::CreateFromBitmap(std::unique_ptr<TBitmap> Bitmap) {
  auto C = CreateFromBitmap(*Bitmap);
  C->FOwnedBitmap = std::move(Bitmap);
  return C;
}

void TDIBCanvas::SetWidth(std::int32_t Value) {
  if (Value % 4 != 0) throw EInvalidWidth();
  CheckSize(Value, FHeight, FBitDepth);
  FWidth = std::max(Value, 0);
  ChooseRoutines();
}

void TDIBCanvas::SetHeight(std::int32_t Value) {
  CheckSize(FWidth, Value, FBitDepth);
  FHeight = std::max(Value, 0);
  ChooseRoutines();
}

void TDIBCanvas::SetBottomUp(bool Value) {
  FBottomUp = Value;
  ChooseRoutines();
}

void TDIBCanvas::SetBitDepth(TBitDepth Value) {
  CheckSize(FWidth, FHeight, Value);
  FBitDepth = Value;
  ChooseRoutines();
}

void TDIBCanvas::SetBits(void* Bits) {
  FOwnedMemory.clear();
  FOwnedMemory.shrink_to_fit();
  FOwnsBits = false;
  FBits = Bits;
  ChooseRoutines();
}

void TDIBCanvas::AllocateBits() {
  FOwnsBits = true;
  ChooseRoutines();
}

void TDIBCanvas::ChooseRoutines() {
  FBytesPerPixel = FBitDepth == bd8 ? 1 : 2;

  FPixelCount = FWidth * FHeight;
  FImageSize = FPixelCount * FBytesPerPixel;
  FClipRect = {0, 0, FWidth - 1, FHeight - 1};
  if (FOwnsBits) {
    FOwnedMemory.assign(std::size_t(FImageSize), 0);
    FBits = FOwnedMemory.data();
  }
  const std::int32_t RowBytes = FWidth * FBytesPerPixel;
  auto* Bits = static_cast<std::uint8_t*>(FBits);
  if (!Bits || FHeight == 0) {
    FRow0 = Bits;
    FRowStep = RowBytes;
  } else if (FBottomUp) {
    FRow0 = Bits + std::ptrdiff_t(FHeight - 1) * RowBytes;
    FRowStep = -RowBytes;
  } else {
    FRow0 = Bits;
    FRowStep = RowBytes;
  }
  FRoutines = FBitDepth == bd8 ? &TDepthRoutines<TPixel8>::Table : &TDepthRoutines<TPixel16>::Table;
}

std::uint8_t* TDIBCanvas::ScanLine(std::int32_t Y) const {
  if (!FBits || Y < 0 || Y >= FHeight) return nullptr;
  return FRow0 + std::ptrdiff_t(Y) * FRowStep;
}

void TDIBCanvas::Plot(std::int32_t X, std::int32_t Y, std::uint16_t Color) {
  if (!FBits || X < 0 || Y < 0 || X >= FClipRect.Right || Y >= FClipRect.Bottom) return;
  FRoutines->SetPixel(*this, X, Y, Color);
}

std::uint16_t TDIBCanvas::GetPixel(std::int32_t X, std::int32_t Y) const {
  if (!FBits || X < 0 || Y < 0 || X >= FWidth || Y >= FHeight) return 0;
  return FRoutines->GetPixel(*this, X, Y);
}

void TDIBCanvas::MoveTo(std::int32_t X, std::int32_t Y) { FPenPos = {X, Y}; }

void TDIBCanvas::LineTo(std::int32_t X, std::int32_t Y) {
  if (FBits) FRoutines->DrawLine(*this, FPenPos.X, FPenPos.Y, X, Y);
  FPenPos = {X, Y};
}

void TDIBCanvas::FillRect(const TRect& R) {
  if (FBits) FRoutines->FillRect(*this, R, FBrushColor);
}

void TDIBCanvas::Fill(std::uint16_t Color) {
  if (FBits) FRoutines->Fill(*this, Color);
}

void TDIBCanvas::FillCircle(std::int32_t X, std::int32_t Y, std::int32_t Radius) {
  if (!FBits) return;
  const std::uint16_t Color = FBrushColor;
  auto Span = [&](std::int64_t X1, std::int64_t X2, std::int64_t Row) {
    if (Row < FClipRect.Top || Row > FClipRect.Bottom) return;
    X1 = std::max<std::int64_t>(X1, FClipRect.Left);
    X2 = std::min<std::int64_t>(X2, FClipRect.Right);
    if (X1 > X2) return;
    FRoutines->FillRect(*this, {std::int32_t(X1), std::int32_t(Row), std::int32_t(X2 + 1), std::int32_t(Row + 1)}, Color);
  };
  std::int64_t CX = 0, CY = Radius, D = 3 - 2 * std::int64_t(Radius);
  while (CY >= CX) {
    Span(X - CX, X + CX, Y + CY);
    Span(X - CX, X + CX, Y - CY);
    Span(X - CY, X + CY, Y + CX);
    Span(X - CY, X + CY, Y - CX);
    if (D >= 0) {
      D += 4 * (CX - CY) + 10;
      --CY;
    } else {
      D += 4 * CX + 6;
    }
    ++CX;
  }
}

void TDIBCanvas::CopyFrom(std::int32_t X, std::int32_t Y, const TRect& SrcRect, const TDIBCanvas& Source, bool Transparent) {
  if ((FBitDepth == bd8) != (Source.FBitDepth == bd8))
    throw EDIBCanvas("A canvas cannot be copied onto a canvas of another bit depth");
  if (!FBits || !Source.FBits) return;
  // Within the source first (nothing is read outside its memory), then within this canvas.
  std::int64_t SX = SrcRect.Left, SY = SrcRect.Top, DX = X, DY = Y;
  std::int64_t W = std::int64_t(SrcRect.Right) - SrcRect.Left, H = std::int64_t(SrcRect.Bottom) - SrcRect.Top;
  if (SX < 0) { DX -= SX; W += SX; SX = 0; }
  if (SY < 0) { DY -= SY; H += SY; SY = 0; }
  if (DX < 0) { SX -= DX; W += DX; DX = 0; }
  if (DY < 0) { SY -= DY; H += DY; DY = 0; }
  W = std::min({W, std::int64_t(Source.FWidth) - SX, std::int64_t(FWidth) - DX});
  H = std::min({H, std::int64_t(Source.FHeight) - SY, std::int64_t(FHeight) - DY});
  if (W <= 0 || H <= 0) return;

  const std::int32_t Bpp = FBytesPerPixel;
  const std::size_t RowBytes = std::size_t(W) * std::size_t(Bpp);
  const bool Self = &Source == this;
  // A copy within one canvas goes through a row buffer, rows in the order that reads each
  // source row before it is overwritten.
  std::vector<std::uint8_t> Buffer(Self ? RowBytes : 0);
  const bool Upward = Self && DY > SY;
  for (std::int64_t I = 0; I < H; ++I) {
    const std::int64_t Row = Upward ? H - 1 - I : I;
    const std::uint8_t* From = Source.ScanLine(std::int32_t(SY + Row)) + SX * Bpp;
    std::uint8_t* To = ScanLine(std::int32_t(DY + Row)) + DX * Bpp;
    if (Self) {
      std::memcpy(Buffer.data(), From, RowBytes);
      From = Buffer.data();
    }
    if (!Transparent) {
      std::memcpy(To, From, RowBytes);
    } else if (Bpp == 1) {
      CopyKeyed8(To, From, W, std::uint8_t(Source.FTransparentColor));
    } else {
      const std::uint16_t Key = Source.FTransparentColor;
      for (std::int64_t J = 0; J < W; ++J) {
        const std::uint16_t V = TPixel16::Get(From + 2 * J);
        if (V != Key) TPixel16::Put(To + 2 * J, V);
      }
    }
  }
}

void TDIBCanvas::Draw(std::int32_t X, std::int32_t Y, const TDIBCanvas& Source, bool Transparent) {
  CopyFrom(X, Y, Source.FClipRect, Source, Transparent);
}

void LineDDA(std::int32_t X1, std::int32_t Y1, std::int32_t X2, std::int32_t Y2,
             const std::function<void(std::int32_t X, std::int32_t Y)>& Visit) {
  const TRect All{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX};
  WalkClippedLine(X1, Y1, X2, Y2, All, false, [&](std::int32_t X, std::int32_t Y, std::int64_t) { Visit(X, Y); });
}
