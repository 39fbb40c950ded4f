#include "sprites/Bitmap.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <fstream>
#include <iterator>
#include <limits>
#include <sstream>

namespace {

constexpr std::uint32_t FileHeaderSize = 14;
constexpr std::uint32_t InfoHeaderSize = 40;
constexpr std::uint32_t CompressionNone = 0;
constexpr std::uint32_t CompressionBitFields = 3;
// Larger than any picture of the game by far; keeps every size computation within 32 bits.
constexpr std::int64_t MaxSide = 32768;
constexpr std::int64_t MaxPixelBytes = std::int64_t(1) << 28;

[[noreturn]] void Fail(const std::string& Name, const std::string& What) {
  throw EBitmap("Bitmap \"" + Name + "\": " + What);
}

std::uint16_t Get16(std::string_view B, std::size_t At) {
  return std::uint16_t(std::uint8_t(B[At]) | (std::uint8_t(B[At + 1]) << 8));
}
std::uint32_t Get32(std::string_view B, std::size_t At) {
  return std::uint32_t(std::uint8_t(B[At])) | (std::uint32_t(std::uint8_t(B[At + 1])) << 8) |
         (std::uint32_t(std::uint8_t(B[At + 2])) << 16) | (std::uint32_t(std::uint8_t(B[At + 3])) << 24);
}
void Put16(std::string& B, std::uint16_t V) {
  B += char(V & 0xFF);
  B += char(V >> 8);
}
void Put32(std::string& B, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) B += char((V >> (8 * I)) & 0xFF);
}
void Set32(std::string& B, std::size_t At, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) B[At + I] = char((V >> (8 * I)) & 0xFF);
}

std::string Num(std::int64_t V) { return std::to_string(V); }

bool IsSupportedDepth(int Bits) { return Bits == 8 || Bits == 16 || Bits == 24; }

}  // namespace

std::int32_t TBitmap::RowBytesFor(std::int32_t Width, int BitsPerPixel) {
  return std::int32_t(((std::int64_t(Width) * BitsPerPixel + 31) / 32) * 4);
}

TBitmap::TBitmap(std::int32_t Width, std::int32_t Height, int BitsPerPixel, bool TopDown)
    : FWidth(Width), FHeight(Height), FBitsPerPixel(BitsPerPixel), FTopDown(TopDown) {
  if (!IsSupportedDepth(BitsPerPixel)) throw EBitmap("Bitmap: " + Num(BitsPerPixel) + " bits per pixel is not supported");
  if (Width < 0 || Height < 0 || Width > MaxSide || Height > MaxSide ||
      std::int64_t(RowBytesFor(Width, BitsPerPixel)) * Height > MaxPixelBytes)
    throw EBitmap("Bitmap: a size of " + Num(Width) + " x " + Num(Height) + " pixels is not possible");
  FPixels.assign(std::size_t(GetRowBytes()) * std::size_t(Height), 0);
  if (BitsPerPixel == 8) FColors.assign(256, TRGBQuad{});
  FSizeImageField = std::uint32_t(FPixels.size());
}

std::uint8_t* TBitmap::ScanLine(std::int32_t Y) {
  if (Y < 0 || Y >= FHeight) return nullptr;
  const std::int32_t Row = FTopDown ? Y : FHeight - 1 - Y;
  return FPixels.data() + std::size_t(Row) * std::size_t(GetRowBytes());
}

const std::uint8_t* TBitmap::ScanLine(std::int32_t Y) const { return const_cast<TBitmap*>(this)->ScanLine(Y); }

void TBitmap::SetColorTable(std::vector<TRGBQuad> Colors) {
  if (Colors.size() > 256) throw EBitmap("Bitmap: a colour table holds at most 256 entries");
  // An 8-bit table of all 256 entries may be written as "0 entries used", as it was.
  const bool FullByZero = FBitsPerPixel == 8 && Colors.size() == 256 && FColorsUsedField == 0;
  FColors = std::move(Colors);
  FColorsUsedField = FullByZero ? 0 : std::uint32_t(FColors.size());
}

TRGBQuad TBitmap::GetColor(int I) const {
  return I >= 0 && std::size_t(I) < FColors.size() ? FColors[std::size_t(I)] : TRGBQuad{};
}

void TBitmap::SetBitFields(std::uint32_t RedMask, std::uint32_t GreenMask, std::uint32_t BlueMask) {
  if (FBitsPerPixel != 16) throw EBitmap("Bitmap: only a 16-bit bitmap has bit-field masks");
  FHasBitFields = true;
  FRedMask = RedMask;
  FGreenMask = GreenMask;
  FBlueMask = BlueMask;
  if (FHeaderExtra.size() >= 12) {
    Set32(FHeaderExtra, 0, RedMask);
    Set32(FHeaderExtra, 4, GreenMask);
    Set32(FHeaderExtra, 8, BlueMask);
  }
}

TBitmap TBitmap::LoadFromFile(const std::string& FileName) {
  std::ifstream In(FileName, std::ios::binary);
  if (!In) Fail(FileName, "the file cannot be opened");
  std::string Bytes((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
  if (In.bad()) Fail(FileName, "the file cannot be read");
  return LoadFromBytes(Bytes, FileName);
}

TBitmap TBitmap::LoadFromBytes(std::string_view B, const std::string& Name) {
  if (B.size() < FileHeaderSize + 4) Fail(Name, "the file is too short for a bitmap header (" + Num(B.size()) + " bytes)");
  if (B[0] != 'B' || B[1] != 'M') Fail(Name, "not a bitmap file (it does not begin with \"BM\")");
  const std::uint32_t OffBits = Get32(B, 10);
  const std::uint32_t HeaderSize = Get32(B, 14);
  if (HeaderSize != 40 && HeaderSize != 52 && HeaderSize != 56 && HeaderSize != 108 && HeaderSize != 124)
    Fail(Name, "a bitmap header of " + Num(HeaderSize) + " bytes is not supported");
  if (B.size() < FileHeaderSize + HeaderSize) Fail(Name, "the file ends inside the bitmap header");

  TBitmap Bmp;
  Bmp.FFileSizeField = Get32(B, 2);
  Bmp.FReadLength = B.size();
  Bmp.FReserved1 = Get16(B, 6);
  Bmp.FReserved2 = Get16(B, 8);
  const std::int32_t Width = std::int32_t(Get32(B, 18));
  const std::int32_t RawHeight = std::int32_t(Get32(B, 22));
  const std::uint16_t Planes = Get16(B, 26);
  const std::uint16_t Bits = Get16(B, 28);
  const std::uint32_t Compression = Get32(B, 30);
  Bmp.FSizeImageField = Get32(B, 34);
  Bmp.FXPelsPerMeter = std::int32_t(Get32(B, 38));
  Bmp.FYPelsPerMeter = std::int32_t(Get32(B, 42));
  Bmp.FColorsUsedField = Get32(B, 46);
  Bmp.FColorsImportant = Get32(B, 50);
  Bmp.FHeaderExtra = std::string(B.substr(FileHeaderSize + InfoHeaderSize, HeaderSize - InfoHeaderSize));

  if (Planes != 1) Fail(Name, Num(Planes) + " colour planes (1 expected)");
  if (!IsSupportedDepth(Bits)) Fail(Name, Num(Bits) + " bits per pixel is not supported (8, 16 or 24 expected)");
  if (Compression == CompressionBitFields) {
    if (Bits != 16) Fail(Name, "bit-field masks are supported only at 16 bits per pixel");
  } else if (Compression != CompressionNone) {
    Fail(Name, "compressed bitmaps are not supported (compression " + Num(Compression) + ")");
  }
  if (Width <= 0) Fail(Name, "a width of " + Num(Width) + " pixels");
  if (RawHeight == 0) Fail(Name, "a height of 0 pixels");
  const std::int64_t Height = RawHeight < 0 ? -std::int64_t(RawHeight) : RawHeight;
  if (Width > MaxSide || Height > MaxSide) Fail(Name, "a size of " + Num(Width) + " x " + Num(Height) + " pixels is too large");
  Bmp.FWidth = Width;
  Bmp.FHeight = std::int32_t(Height);
  Bmp.FTopDown = RawHeight < 0;
  Bmp.FBitsPerPixel = Bits;

  std::size_t At = FileHeaderSize + HeaderSize;
  if (Compression == CompressionBitFields) {
    Bmp.FHasBitFields = true;
    if (HeaderSize == InfoHeaderSize) {
      if (B.size() < At + 12) Fail(Name, "the file ends inside the bit-field masks");
      Bmp.FRedMask = Get32(B, At);
      Bmp.FGreenMask = Get32(B, At + 4);
      Bmp.FBlueMask = Get32(B, At + 8);
      At += 12;
    } else {
      Bmp.FRedMask = Get32(Bmp.FHeaderExtra, 0);
      Bmp.FGreenMask = Get32(Bmp.FHeaderExtra, 4);
      Bmp.FBlueMask = Get32(Bmp.FHeaderExtra, 8);
    }
  }

  std::uint32_t Colors = Bmp.FColorsUsedField;
  if (Colors == 0 && Bits == 8) Colors = 256;
  if (Colors > 256) Fail(Name, "a colour table of " + Num(Colors) + " entries (at most 256)");
  if (B.size() < At + std::size_t(Colors) * 4) Fail(Name, "the file ends inside the colour table");
  Bmp.FColors.resize(Colors);
  for (std::uint32_t I = 0; I < Colors; ++I) {
    const std::size_t P = At + std::size_t(I) * 4;
    Bmp.FColors[I] = {std::uint8_t(B[P]), std::uint8_t(B[P + 1]), std::uint8_t(B[P + 2]), std::uint8_t(B[P + 3])};
  }
  At += std::size_t(Colors) * 4;

  if (OffBits < At) Fail(Name, "the pixel data offset " + Num(OffBits) + " lies inside the headers (they end at " + Num(At) + ")");
  const std::int64_t PixelBytes = std::int64_t(RowBytesFor(Width, Bits)) * Height;
  if (PixelBytes > MaxPixelBytes) Fail(Name, "a size of " + Num(Width) + " x " + Num(Height) + " pixels is too large");
  const std::int64_t Available = std::int64_t(B.size()) - std::int64_t(OffBits);
  if (Available < PixelBytes)
    Fail(Name, "the pixel data is truncated (" + Num(PixelBytes) + " bytes expected from offset " + Num(OffBits) +
                   ", the file holds " + Num(Available < 0 ? 0 : Available) + ")");
  Bmp.FGap = std::string(B.substr(At, OffBits - At));
  const auto* First = reinterpret_cast<const std::uint8_t*>(B.data()) + OffBits;
  Bmp.FPixels.assign(First, First + PixelBytes);
  Bmp.FTrailer = std::string(B.substr(OffBits + std::size_t(PixelBytes)));
  return Bmp;
}

std::string TBitmap::SaveToBytes() const {
  const bool Masks = FHasBitFields && FBitsPerPixel == 16;
  const std::uint32_t HeaderSize = InfoHeaderSize + std::uint32_t(FHeaderExtra.size());
  const std::uint32_t MaskBytes = Masks && FHeaderExtra.empty() ? 12 : 0;
  const std::uint32_t OffBits = FileHeaderSize + HeaderSize + MaskBytes + std::uint32_t(FColors.size()) * 4 + std::uint32_t(FGap.size());
  const std::size_t Length = OffBits + FPixels.size() + FTrailer.size();
  std::string B;
  B.reserve(Length);
  B += "BM";
  Put32(B, FReadLength != 0 && Length == FReadLength ? FFileSizeField : std::uint32_t(Length));
  Put16(B, FReserved1);
  Put16(B, FReserved2);
  Put32(B, OffBits);
  Put32(B, HeaderSize);
  Put32(B, std::uint32_t(FWidth));
  Put32(B, std::uint32_t(FTopDown ? -FHeight : FHeight));
  Put16(B, 1);
  Put16(B, std::uint16_t(FBitsPerPixel));
  Put32(B, Masks ? CompressionBitFields : CompressionNone);
  Put32(B, FSizeImageField);
  Put32(B, std::uint32_t(FXPelsPerMeter));
  Put32(B, std::uint32_t(FYPelsPerMeter));
  Put32(B, FColorsUsedField);
  Put32(B, FColorsImportant);
  B += FHeaderExtra;
  if (MaskBytes) {
    Put32(B, FRedMask);
    Put32(B, FGreenMask);
    Put32(B, FBlueMask);
  }
  for (const TRGBQuad& C : FColors) {
    B += char(C.Blue);
    B += char(C.Green);
    B += char(C.Red);
    B += char(C.Reserved);
  }
  B += FGap;
  B.append(reinterpret_cast<const char*>(FPixels.data()), FPixels.size());
  B += FTrailer;
  return B;
}

void TBitmap::SaveToFile(const std::string& FileName) const {
  const std::string Bytes = SaveToBytes();
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  if (!Out) Fail(FileName, "the file cannot be created");
  Out.write(Bytes.data(), std::streamsize(Bytes.size()));
  Out.close();
  if (!Out) Fail(FileName, "the file cannot be written");
}

std::uint32_t TBitmap::GetPixelColor(std::int32_t X, std::int32_t Y) const {
  if (X < 0 || X >= FWidth || Y < 0 || Y >= FHeight) return 0;
  const std::uint8_t* Row = ScanLine(Y);
  auto RGB = [](std::uint32_t R, std::uint32_t G, std::uint32_t B) { return R | (G << 8) | (B << 16); };
  if (FBitsPerPixel == 8) {
    const TRGBQuad C = GetColor(Row[X]);
    return RGB(C.Red, C.Green, C.Blue);
  }
  if (FBitsPerPixel == 24) return RGB(Row[3 * X + 2], Row[3 * X + 1], Row[3 * X]);
  const std::uint32_t V = std::uint32_t(Row[2 * X]) | (std::uint32_t(Row[2 * X + 1]) << 8);
  // Each channel scaled from its mask's width to 8 bits.
  auto Channel = [V](std::uint32_t Mask) -> std::uint32_t {
    if (Mask == 0) return 0;
    int Shift = 0;
    while (!((Mask >> Shift) & 1)) ++Shift;
    const std::uint32_t Max = Mask >> Shift;
    return (((V & Mask) >> Shift) * 255 + Max / 2) / Max;
  };
  return RGB(Channel(FRedMask), Channel(FGreenMask), Channel(FBlueMask));
}

void TBitmap::StretchDraw(const TRect& DestRect, const TBitmap& Source) {
  if (Source.FBitsPerPixel != FBitsPerPixel)
    throw EBitmap("Bitmap: a bitmap of " + Num(Source.FBitsPerPixel) + " bits per pixel cannot be drawn onto one of " +
                  Num(FBitsPerPixel));
  const std::int64_t DW = std::int64_t(DestRect.Right) - DestRect.Left, DH = std::int64_t(DestRect.Bottom) - DestRect.Top;
  if (DW <= 0 || DH <= 0 || Source.FWidth == 0 || Source.FHeight == 0) return;
  // Source index -> this bitmap's index, by the nearest colour of the two tables.
  std::array<std::uint8_t, 256> Map{};
  if (FBitsPerPixel == 8) {
    for (int I = 0; I < 256; ++I) {
      const TRGBQuad C = Source.GetColor(I);
      if (GetColor(I) == C) {
        Map[std::size_t(I)] = std::uint8_t(I);
        continue;
      }
      int Best = 0, BestDistance = 1 << 30;
      for (int J = 0; J < 256 && BestDistance > 0; ++J) {
        const TRGBQuad E = GetColor(J);
        const int DR = E.Red - C.Red, DG = E.Green - C.Green, DB = E.Blue - C.Blue;
        if (DR * DR + DG * DG + DB * DB < BestDistance) {
          BestDistance = DR * DR + DG * DG + DB * DB;
          Best = J;
        }
      }
      Map[std::size_t(I)] = std::uint8_t(Best);
    }
  }
  const std::int64_t Left = std::max<std::int64_t>(DestRect.Left, 0), Right = std::min<std::int64_t>(DestRect.Right, FWidth);
  const std::int64_t Top = std::max<std::int64_t>(DestRect.Top, 0), Bottom = std::min<std::int64_t>(DestRect.Bottom, FHeight);
  const std::size_t Bpp = std::size_t(FBitsPerPixel / 8);
  for (std::int64_t Y = Top; Y < Bottom; ++Y) {
    const std::uint8_t* From = Source.ScanLine(std::int32_t((Y - DestRect.Top) * Source.FHeight / DH));
    std::uint8_t* To = ScanLine(std::int32_t(Y));
    for (std::int64_t X = Left; X < Right; ++X) {
      const std::size_t SX = std::size_t((X - DestRect.Left) * Source.FWidth / DW);
      if (Bpp == 1)
        To[X] = Map[From[SX]];
      else
        std::memcpy(To + std::size_t(X) * Bpp, From + SX * Bpp, Bpp);
    }
  }
}
