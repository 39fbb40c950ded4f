#pragma once
// Device-independent bitmaps in memory and our own reader and writer of uncompressed ".bmp"
// files: 8 bits per pixel with a colour table (the map set's artwork and the icon sheets),
// 16 bits (5-5-5, or 5-6-5 given by bit-field masks) and 24 bits.
//
// The pixel memory holds the rows exactly as the file does: each row padded to a multiple of
// 4 bytes, bottom row first unless the bitmap is top-down. So a bitmap whose width is a
// multiple of 4 can lend its memory straight to a TDIBCanvas (TDIBCanvas::CreateFromBitmap),
// and a file read and written again comes out byte for byte the same (header fields the game
// does not use, the file-size field, the gap before the pixels, the rows' fill bytes and any
// bytes after the pixels are kept as read). The file-size field is written as read only
// while the file is as long as it was; a bitmap made here, or one whose layout changed,
// gets its real length.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/Exception.h"
#include "foundation/Geometry.h"

// Raised for a bitmap file that cannot be read or written, naming the file and what is wrong.
class EBitmap : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// One colour table entry as the file stores it.
struct TRGBQuad {
  std::uint8_t Blue = 0;
  std::uint8_t Green = 0;
  std::uint8_t Red = 0;
  std::uint8_t Reserved = 0;
  friend bool operator==(const TRGBQuad&, const TRGBQuad&) = default;
};

class TBitmap {
public:
  // An empty bitmap (0 x 0, 8 bits per pixel, no colour table).
  TBitmap() = default;
  // Width x Height pixels of BitsPerPixel (8, 16 or 24) set to 0; an 8-bit bitmap gets a
  // colour table of 256 black entries, a 16-bit one is 5-5-5 without masks. Raises EBitmap
  // for another depth or a size that is negative or too large.
  TBitmap(std::int32_t Width, std::int32_t Height, int BitsPerPixel, bool TopDown = false);

  // Reads a whole file; Name is the file's name in every error.
  static TBitmap LoadFromFile(const std::string& FileName);
  static TBitmap LoadFromBytes(std::string_view Bytes, const std::string& Name);
  void SaveToFile(const std::string& FileName) const;
  std::string SaveToBytes() const;

  std::int32_t GetWidth() const { return FWidth; }
  std::int32_t GetHeight() const { return FHeight; }
  int GetBitsPerPixel() const { return FBitsPerPixel; }
  // Row 0 of memory is the top row (a negative height in the file).
  bool GetTopDown() const { return FTopDown; }
  // Bytes of one row in memory and in the file: the pixels, padded to a multiple of 4.
  std::int32_t GetRowBytes() const { return RowBytesFor(FWidth, FBitsPerPixel); }
  static std::int32_t RowBytesFor(std::int32_t Width, int BitsPerPixel);

  // The start of the pixel memory: the bottom row of a bottom-up bitmap, the top row otherwise.
  std::uint8_t* GetBits() { return FPixels.data(); }
  const std::uint8_t* GetBits() const { return FPixels.data(); }
  // Row Y counted from the top of the picture (0 <= Y < Height).
  std::uint8_t* ScanLine(std::int32_t Y);
  const std::uint8_t* ScanLine(std::int32_t Y) const;

  // The colour table as stored (up to 256 entries; an 8-bit file may store fewer).
  const std::vector<TRGBQuad>& GetColorTable() const { return FColors; }
  void SetColorTable(std::vector<TRGBQuad> Colors);
  // Entry I of the colour table, black beyond its end.
  TRGBQuad GetColor(int I) const;

  // 16 bits per pixel: true when the file gives bit-field masks; the masks (5-5-5 without them).
  bool GetHasBitFields() const { return FHasBitFields; }
  std::uint32_t GetRedMask() const { return FRedMask; }
  std::uint32_t GetGreenMask() const { return FGreenMask; }
  std::uint32_t GetBlueMask() const { return FBlueMask; }
  // Gives a 16-bit bitmap bit-field masks (0x7C00/0x3E0/0x1F or 0xF800/0x7E0/0x1F).
  void SetBitFields(std::uint32_t RedMask, std::uint32_t GreenMask, std::uint32_t BlueMask);

  // The colour of pixel (X, Y) (from the top) as $00BBGGRR: the colour table's entry at 8
  // bits, the masks' colour at 16, the pixel at 24. 0 outside the picture.
  std::uint32_t GetPixelColor(std::int32_t X, std::int32_t Y) const;
  // Source stretched (or shrunk) onto DestRect of this bitmap (Right and Bottom exclusive),
  // nearest pixel, clipped. Between 8-bit bitmaps each colour of Source becomes the nearest
  // colour of this bitmap's table (the index itself when the tables are equal); bitmaps of
  // one other depth copy their pixels unchanged. Raises EBitmap for two different depths.
  void StretchDraw(const TRect& DestRect, const TBitmap& Source);

private:
  std::int32_t FWidth = 0;
  std::int32_t FHeight = 0;
  int FBitsPerPixel = 8;
  bool FTopDown = false;
  std::vector<std::uint8_t> FPixels;
  std::vector<TRGBQuad> FColors;
  bool FHasBitFields = false;
  std::uint32_t FRedMask = 0x7C00;
  std::uint32_t FGreenMask = 0x3E0;
  std::uint32_t FBlueMask = 0x1F;
  // Kept as read so that a file is written back unchanged.
  std::uint32_t FFileSizeField = 0;  // as read; written while the file keeps FReadLength
  std::size_t FReadLength = 0;       // the length of the file read (0: made here)
  std::uint16_t FReserved1 = 0;
  std::uint16_t FReserved2 = 0;
  std::uint32_t FSizeImageField = 0;  // 0, or the image size the file gave (kept as read)
  std::int32_t FXPelsPerMeter = 0;
  std::int32_t FYPelsPerMeter = 0;
  std::uint32_t FColorsUsedField = 0;  // 0 means the full table of 2^bits entries
  std::uint32_t FColorsImportant = 0;
  std::string FHeaderExtra;  // header bytes beyond the first 40 (larger header versions)
  std::string FGap;          // bytes between the colour table and the pixels
  std::string FTrailer;      // bytes after the pixels
};
