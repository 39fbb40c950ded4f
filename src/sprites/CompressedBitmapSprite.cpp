#include "sprites/CompressedBitmapSprite.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "foundation/NumberText.h"
#include "foundation/Rounding.h"
#include "sprites/Bitmap.h"
#include "sprites/SpriteSurface.h"

namespace {

constexpr std::size_t kHeaderBytes = 16;
constexpr std::int32_t kMaxSide = 32768;

std::int32_t ReadInt32(std::string_view Data, std::size_t At) {
  std::uint32_t V = 0;
  for (int I = 3; I >= 0; --I) V = (V << 8) | std::uint8_t(Data[At + std::size_t(I)]);
  return std::int32_t(V);
}

std::uint16_t ReadWord(std::string_view Data, std::size_t At) {
  return std::uint16_t(std::uint8_t(Data[At]) | (std::uint16_t(std::uint8_t(Data[At + 1])) << 8));
}

void WriteInt32(std::string& To, std::int32_t Value) {
  const auto V = std::uint32_t(Value);
  for (int I = 0; I < 4; ++I) To.push_back(char((V >> (8 * I)) & 0xFF));
}

void WriteWord(std::string& To, std::uint16_t Value) {
  To.push_back(char(Value & 0xFF));
  To.push_back(char(Value >> 8));
}

[[noreturn]] void Refuse(const std::string& What) { throw ECompressedBitmapSprite("BitmapData: " + What); }

}  // namespace

// ---------------------------------------------------------------------------------------
// TCompressedBitmap

TCompressedBitmap::TCompressedBitmap(const TBitmap* Bitmap) {
  if (!Bitmap) return;
  if (Bitmap->GetBitsPerPixel() != 8) throw ECompressedBitmapSprite("Only 256 color bitmaps are supported");
  if (Bitmap->GetWidth() <= 0 || Bitmap->GetHeight() <= 0) throw ECompressedBitmapSprite("Bitmap must have size > 0");
  FWidth = Bitmap->GetWidth();
  FHeight = Bitmap->GetHeight();
  std::int32_t Color = -1;
  std::uint32_t Count = 0;
  try {
    for (std::int32_t Y = 0; Y < FHeight; ++Y) {
      const std::uint8_t* Row = Bitmap->ScanLine(Y);
      for (std::int32_t X = 0; X < FWidth; ++X) {
        if (Row[X] != Color || Count == 65535) {
          if (Count > 0) FRuns.push_back({std::uint16_t(Count), std::uint16_t(Color)});
          Color = Row[X];
          Count = 0;
        }
        ++Count;
      }
    }
    if (Count > 0) FRuns.push_back({std::uint16_t(Count), std::uint16_t(Color)});
    FRuns.shrink_to_fit();
    IndexRows();
  } catch (const std::bad_alloc&) {
    const std::int64_t Size = std::int64_t(FRuns.size()) * 4;
    FRuns = {};
    FRowStarts = {};
    FWidth = 0;
    FHeight = 0;
    throw ECompressedBitmapSprite("Could not allocate " + IntToStr(Size) + " bytes for bitmap data");
  }
}

void TCompressedBitmap::IndexRows() {
  FRowStarts.assign(std::size_t(FHeight), {});
  std::int64_t RunStart = 0;  // the pixel number of the current run's first pixel
  std::size_t Run = 0;
  for (std::int32_t Row = 0; Row < FHeight; ++Row) {
    const std::int64_t Pixel = std::int64_t(Row) * FWidth;
    while (Run < FRuns.size() && RunStart + FRuns[Run].Count <= Pixel) RunStart += FRuns[Run++].Count;
    FRowStarts[std::size_t(Row)] = {std::uint32_t(Run), std::uint32_t(Pixel - RunStart)};
  }
}

std::unique_ptr<TCompressedBitmap> TCompressedBitmap::ReadBitmapData(std::string_view Data) {
  if (Data.size() < kHeaderBytes) Refuse("the data is cut short (" + IntToStr(std::int64_t(Data.size())) + " bytes)");
  const std::int32_t Width = ReadInt32(Data, 0), Height = ReadInt32(Data, 4);
  const std::int32_t Size = ReadInt32(Data, 8), RunCount = ReadInt32(Data, 12);
  if (Width < 0 || Height < 0 || Size < 0 || RunCount < 0)
    Refuse("a negative width, height, size or run count (" + IntToStr(Width) + ", " + IntToStr(Height) + ", " +
           IntToStr(Size) + ", " + IntToStr(RunCount) + ")");
  // No bitmap the game reads is larger (and the row index must stay small).
  if (Width > kMaxSide || Height > kMaxSide)
    Refuse("a size of " + IntToStr(Width) + " x " + IntToStr(Height) + " pixels is too large");
  if (std::int64_t(Size) != std::int64_t(RunCount) * 4)
    Refuse("Size " + IntToStr(Size) + " does not hold " + IntToStr(RunCount) + " runs");
  if (Data.size() - kHeaderBytes != std::size_t(Size))
    Refuse(IntToStr(Size) + " bytes of runs announced, " + IntToStr(std::int64_t(Data.size() - kHeaderBytes)) + " given");
  auto B = std::make_unique<TCompressedBitmap>();
  B->FRuns.resize(std::size_t(RunCount));
  std::int64_t Pixels = 0;
  for (std::size_t I = 0; I < B->FRuns.size(); ++I) {
    TBitmapRun& R = B->FRuns[I];
    R.Count = ReadWord(Data, kHeaderBytes + 4 * I);
    R.Color = ReadWord(Data, kHeaderBytes + 4 * I + 2);
    if (R.Color > 255) Refuse("run " + IntToStr(std::int64_t(I)) + " has colour " + IntToStr(R.Color));
    Pixels += R.Count;
  }
  if (Pixels != std::int64_t(Width) * Height)
    Refuse("the runs hold " + IntToStr(Pixels) + " pixels, not " + IntToStr(Width) + " x " + IntToStr(Height));
  B->FWidth = Width;
  B->FHeight = Height;
  B->IndexRows();
  return B;
}

std::string TCompressedBitmap::WriteBitmapData() const {
  std::string Out;
  Out.reserve(kHeaderBytes + FRuns.size() * 4);
  WriteInt32(Out, FWidth);
  WriteInt32(Out, FHeight);
  WriteInt32(Out, GetSize());
  WriteInt32(Out, GetRunCount());
  for (const TBitmapRun& R : FRuns) {
    WriteWord(Out, R.Count);
    WriteWord(Out, R.Color);
  }
  return Out;
}

std::unique_ptr<TBitmap> TCompressedBitmap::Decompress() const {
  auto B = std::make_unique<TBitmap>((FWidth + 3) / 4 * 4, FHeight, 8, true);
  auto Canvas = TDIBCanvas::CreateFromBitmap(*B);
  Blit(*Canvas, 0, 0);
  if (B->GetWidth() == FWidth) return B;
  auto Exact = std::make_unique<TBitmap>(FWidth, FHeight, 8, true);
  for (std::int32_t Y = 0; Y < FHeight; ++Y) std::memcpy(Exact->ScanLine(Y), B->ScanLine(Y), std::size_t(FWidth));
  return Exact;
}

std::int64_t TCompressedBitmap::Blit(TDIBCanvas& Canvas, std::int32_t X, std::int32_t Y, std::int64_t* Runs) const {
  if (Canvas.GetBitDepth() != bd8 || !Canvas.GetBits() || FWidth <= 0 || FHeight <= 0 || FRuns.empty()) return 0;
  const std::int64_t CW = Canvas.GetWidth(), CH = Canvas.GetHeight();
  // The bitmap's rows and columns that land on the canvas.
  const std::int64_t FirstRow = std::max<std::int64_t>(0, -std::int64_t(Y));
  const std::int64_t EndRow = std::min<std::int64_t>(FHeight, CH - Y);
  const std::int64_t FirstCol = std::max<std::int64_t>(0, -std::int64_t(X));
  const std::int64_t EndCol = std::min<std::int64_t>(FWidth, CW - X);
  if (FirstRow >= EndRow || FirstCol >= EndCol) return 0;

  std::int64_t Written = 0, Walked = 0;
  std::size_t Run = FRowStarts[std::size_t(FirstRow)].Run;
  std::int64_t Remaining = std::int64_t(FRuns[Run].Count) - FRowStarts[std::size_t(FirstRow)].Used;
  std::int64_t Row = FirstRow, Col = 0;
  std::uint8_t* Line = Canvas.ScanLine(std::int32_t(Y + Row));
  while (Row < EndRow) {
    const auto Color = std::uint8_t(FRuns[Run].Color);
    ++Walked;
    while (Remaining > 0 && Row < EndRow) {
      const std::int64_t Segment = std::min<std::int64_t>(Remaining, FWidth - Col);
      const std::int64_t A = std::max(Col, FirstCol), B = std::min(Col + Segment, EndCol);
      if (A < B) {
        std::memset(Line + X + A, Color, std::size_t(B - A));
        Written += B - A;
      }
      Col += Segment;
      Remaining -= Segment;
      if (Col == FWidth) {
        Col = 0;
        if (++Row < EndRow) Line = Canvas.ScanLine(std::int32_t(Y + Row));
      }
    }
    if (++Run >= FRuns.size()) break;
    Remaining = FRuns[Run].Count;
  }
  if (Runs) *Runs += Walked;
  return Written;
}

// ---------------------------------------------------------------------------------------
// TCompressedBitmapSprite

std::int64_t TCompressedBitmapSprite::RunsWalked = 0;
std::int64_t TCompressedBitmapSprite::PixelsWritten = 0;

TCompressedBitmapSprite::TCompressedBitmapSprite(std::shared_ptr<const TCompressedBitmap> Bitmap)
    : FBitmap(Bitmap ? std::move(Bitmap) : std::make_shared<const TCompressedBitmap>()) {}

void TCompressedBitmapSprite::GetBoundsRect(TRect& R) const {
  const TPoint P = GetPosition();
  R.Left = P.X;
  R.Top = P.Y;
  R.Right = P.X + FBitmap->GetWidth() - 1;
  R.Bottom = P.Y + FBitmap->GetHeight() - 1;
}

void TCompressedBitmapSprite::Render(TCanvas&, TDIBCanvas& DIBCanvas) {
  const TPoint P = GetPosition();
  const std::int32_t OX = GetSurface() ? GetSurface()->GetOffsetX() : 0;
  const std::int32_t OY = GetSurface() ? GetSurface()->GetOffsetY() : 0;
  const std::int64_t X = std::int64_t(P.X) - OX, Y = std::int64_t(P.Y) - OY;
  // Far beyond the canvas (and beyond 32 bits): nothing to draw.
  if (X > INT32_MAX / 2 || X < INT32_MIN / 2 || Y > INT32_MAX / 2 || Y < INT32_MIN / 2) return;
  PixelsWritten += FBitmap->Blit(DIBCanvas, std::int32_t(X), std::int32_t(Y), &RunsWalked);
}

// ---------------------------------------------------------------------------------------
// TCompressedBitmapSpriteFactory

TCompressedBitmapSpriteFactory::TCompressedBitmapSpriteFactory() : FBitmap(std::make_shared<const TCompressedBitmap>()) {}

std::unique_ptr<TSprite> TCompressedBitmapSpriteFactory::CreateSprite() {
  return std::make_unique<TCompressedBitmapSprite>(FBitmap);
}

void TCompressedBitmapSpriteFactory::SetBitmap(const TBitmap* Bitmap) {
  FBitmap = std::make_shared<const TCompressedBitmap>(Bitmap);
}

float TCompressedBitmapSpriteFactory::GetCompression() const {
  if (FBitmap->GetSize() == 0) return 0;
  return float(double(FBitmap->GetWidth()) * FBitmap->GetHeight() / FBitmap->GetSize());
}

void TCompressedBitmapSpriteFactory::ReadBitmapData(std::string_view Data) {
  FBitmap = TCompressedBitmap::ReadBitmapData(Data);
}
