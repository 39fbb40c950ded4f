#include "sprites/ImageFiles.h"

#include <array>
#include <cstring>
#include <fstream>

#include "sprites/ColorPalette.h"
#include "sprites/DIBCanvas.h"

namespace {

const TColorPalette& PaletteOrDefault(const TColorPalette* Palette) {
  static const TColorPalette Default;
  return Palette ? *Palette : Default;
}

std::uint32_t Crc32(const std::string& Bytes, std::size_t From) {
  static const auto Table = [] {
    std::array<std::uint32_t, 256> T{};
    for (std::uint32_t N = 0; N < 256; ++N) {
      std::uint32_t C = N;
      for (int K = 0; K < 8; ++K) C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
      T[N] = C;
    }
    return T;
  }();
  std::uint32_t C = 0xFFFFFFFFu;
  for (std::size_t I = From; I < Bytes.size(); ++I) C = Table[(C ^ std::uint8_t(Bytes[I])) & 0xFF] ^ (C >> 8);
  return C ^ 0xFFFFFFFFu;
}

void PutBE32(std::string& B, std::uint32_t V) {
  for (int I = 3; I >= 0; --I) B += char((V >> (8 * I)) & 0xFF);
}

void PutChunk(std::string& Out, const char* Type, const std::string& Data) {
  PutBE32(Out, std::uint32_t(Data.size()));
  const std::size_t Start = Out.size();
  Out += Type;
  Out += Data;
  const std::uint32_t Crc = Crc32(Out, Start);
  PutBE32(Out, Crc);
}

// A zlib stream of stored (uncompressed) deflate blocks: no compressor needed.
std::string StoredZlib(const std::string& Raw) {
  std::string Z = "\x78\x01";
  std::size_t At = 0;
  do {
    const std::size_t Len = std::min<std::size_t>(Raw.size() - At, 65535);
    const bool Last = At + Len == Raw.size();
    Z += char(Last ? 1 : 0);
    Z += char(Len & 0xFF);
    Z += char(Len >> 8);
    Z += char(~Len & 0xFF);
    Z += char((~Len >> 8) & 0xFF);
    Z.append(Raw, At, Len);
    At += Len;
  } while (At < Raw.size());
  std::uint32_t A = 1, B = 0;
  for (char C : Raw) {
    A = (A + std::uint8_t(C)) % 65521;
    B = (B + A) % 65521;
  }
  PutBE32(Z, (B << 16) | A);
  return Z;
}

void WriteFile(const std::string& FileName, const std::string& Bytes) {
  std::ofstream Out(FileName, std::ios::binary | std::ios::trunc);
  if (!Out) throw EBitmap("Picture \"" + FileName + "\": the file cannot be created");
  Out.write(Bytes.data(), std::streamsize(Bytes.size()));
  Out.close();
  if (!Out) throw EBitmap("Picture \"" + FileName + "\": the file cannot be written");
}

}  // namespace

TBitmap CanvasToBitmap(const TDIBCanvas& Canvas, const TColorPalette* Palette) {
  const bool Eight = Canvas.GetBitDepth() == bd8;
  TBitmap Bmp(Canvas.GetWidth(), Canvas.GetHeight(), Eight ? 8 : 16, false);
  if (Eight) {
    const TColorPalette& P = PaletteOrDefault(Palette);
    std::vector<TRGBQuad> Colors(256);
    for (int I = 0; I < 256; ++I) {
      const TPaletteEntry E = P.ColorOf(I);
      Colors[std::size_t(I)] = {E.Blue, E.Green, E.Red, 0};
    }
    Bmp.SetColorTable(std::move(Colors));
  } else if (Canvas.GetBitDepth() == bd16) {
    Bmp.SetBitFields(0xF800, 0x7E0, 0x1F);
  } else {
    Bmp.SetBitFields(0x7C00, 0x3E0, 0x1F);
  }
  const std::size_t RowBytes = std::size_t(Canvas.GetRowBytes());
  for (std::int32_t Y = 0; Y < Canvas.GetHeight(); ++Y) {
    const std::uint8_t* From = Canvas.ScanLine(Y);
    if (From) std::memcpy(Bmp.ScanLine(Y), From, RowBytes);
  }
  return Bmp;
}

void SaveCanvasToBmp(const TDIBCanvas& Canvas, const TColorPalette* Palette, const std::string& FileName) {
  CanvasToBitmap(Canvas, Palette).SaveToFile(FileName);
}

std::string CanvasToPng(const TDIBCanvas& Canvas, const TColorPalette* Palette) {
  const bool Eight = Canvas.GetBitDepth() == bd8;
  const std::int32_t W = Canvas.GetWidth(), H = Canvas.GetHeight();
  std::string Out = "\x89PNG\r\n\x1a\n";
  std::string Header;
  PutBE32(Header, std::uint32_t(W));
  PutBE32(Header, std::uint32_t(H));
  Header += char(8);               // bits per sample
  Header += char(Eight ? 3 : 2);   // paletted or red-green-blue
  Header += std::string(3, '\0');  // deflate, adaptive filtering, no interlace
  PutChunk(Out, "IHDR", Header);
  if (Eight) {
    const TColorPalette& P = PaletteOrDefault(Palette);
    std::string Plte;
    for (int I = 0; I < 256; ++I) {
      const TPaletteEntry E = P.ColorOf(I);
      Plte += char(E.Red);
      Plte += char(E.Green);
      Plte += char(E.Blue);
    }
    PutChunk(Out, "PLTE", Plte);
  }
  std::string Raw;
  Raw.reserve(std::size_t(H) * (1 + std::size_t(W) * (Eight ? 1 : 3)));
  for (std::int32_t Y = 0; Y < H; ++Y) {
    Raw += '\0';  // no filter
    for (std::int32_t X = 0; X < W; ++X) {
      const std::uint16_t V = Canvas.GetPixel(X, Y);
      if (Eight) {
        Raw += char(V);
      } else if (Canvas.GetBitDepth() == bd16) {
        Raw += char(((V >> 11) & 0x1F) * 255 / 31);
        Raw += char(((V >> 5) & 0x3F) * 255 / 63);
        Raw += char((V & 0x1F) * 255 / 31);
      } else {
        Raw += char(((V >> 10) & 0x1F) * 255 / 31);
        Raw += char(((V >> 5) & 0x1F) * 255 / 31);
        Raw += char((V & 0x1F) * 255 / 31);
      }
    }
  }
  PutChunk(Out, "IDAT", StoredZlib(Raw));
  PutChunk(Out, "IEND", "");
  return Out;
}

void SaveCanvasToPng(const TDIBCanvas& Canvas, const TColorPalette* Palette, const std::string& FileName) {
  WriteFile(FileName, CanvasToPng(Canvas, Palette));
}
