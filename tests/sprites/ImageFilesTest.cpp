#include <gtest/gtest.h>

#include <array>

#include "CanvasPictures.h"
#include "sprites/ColorPalette.h"
#include "sprites/ImageFiles.h"

namespace {

std::uint32_t BE32(const std::string& B, std::size_t At) {
  return (std::uint32_t(std::uint8_t(B[At])) << 24) | (std::uint32_t(std::uint8_t(B[At + 1])) << 16) |
         (std::uint32_t(std::uint8_t(B[At + 2])) << 8) | std::uint32_t(std::uint8_t(B[At + 3]));
}

std::uint32_t Crc(const std::string& B) {
  std::uint32_t C = 0xFFFFFFFFu;
  for (char Ch : B) {
    C ^= std::uint8_t(Ch);
    for (int K = 0; K < 8; ++K) C = (C & 1) ? 0xEDB88320u ^ (C >> 1) : C >> 1;
  }
  return ~C;
}

struct TChunk {
  std::string Type, Data;
};

// The chunks of a PNG file, each checked against its CRC.
std::vector<TChunk> Chunks(const std::string& Png) {
  std::vector<TChunk> Result;
  EXPECT_EQ(Png.substr(0, 8), std::string("\x89PNG\r\n\x1a\n", 8));
  for (std::size_t At = 8; At + 12 <= Png.size();) {
    const std::uint32_t Len = BE32(Png, At);
    TChunk C{Png.substr(At + 4, 4), Png.substr(At + 8, Len)};
    EXPECT_EQ(BE32(Png, At + 8 + Len), Crc(C.Type + C.Data)) << C.Type;
    Result.push_back(C);
    At += 12 + Len;
  }
  return Result;
}

// The data of a zlib stream of stored blocks, its checksum checked.
std::string Unstore(const std::string& Z) {
  std::string Raw;
  std::size_t At = 2;
  for (bool Last = false; !Last;) {
    Last = Z[At] & 1;
    EXPECT_EQ(Z[At] & 6, 0);  // stored
    const std::size_t Len = std::uint8_t(Z[At + 1]) | (std::uint8_t(Z[At + 2]) << 8);
    const std::size_t NLen = std::uint8_t(Z[At + 3]) | (std::uint8_t(Z[At + 4]) << 8);
    EXPECT_EQ(Len ^ NLen, 0xFFFFu);
    Raw += Z.substr(At + 5, Len);
    At += 5 + Len;
  }
  std::uint32_t A = 1, B = 0;
  for (char C : Raw) A = (A + std::uint8_t(C)) % 65521, B = (B + A) % 65521;
  EXPECT_EQ(BE32(Z, At), (B << 16) | A);
  return Raw;
}

}  // namespace

TEST(ImageFiles, AnEightBitCanvasIsAPalettedPng) {
  TColorPalette Palette;
  auto C = MakeCanvas(300, 250);  // more than one stored block
  C->Plot(1, 0, 249);
  C->Plot(299 - 1, 249 - 1, 7);
  const auto List = Chunks(CanvasToPng(*C, &Palette));
  ASSERT_EQ(List.size(), 4u);
  EXPECT_EQ(List[0].Type, "IHDR");
  EXPECT_EQ(BE32(List[0].Data, 0), 300u);
  EXPECT_EQ(BE32(List[0].Data, 4), 250u);
  EXPECT_EQ(List[0].Data.substr(8), std::string("\x08\x03\x00\x00\x00", 5));
  EXPECT_EQ(List[1].Type, "PLTE");
  ASSERT_EQ(List[1].Data.size(), 768u);
  EXPECT_EQ(List[1].Data.substr(249 * 3, 3), std::string("\xff\0\0", 3));
  EXPECT_EQ(List[2].Type, "IDAT");
  const std::string Raw = Unstore(List[2].Data);
  ASSERT_EQ(Raw.size(), 250u * 301u);
  EXPECT_EQ(Raw[0], 0);  // no filter
  EXPECT_EQ(std::uint8_t(Raw[2]), 249);
  EXPECT_EQ(std::uint8_t(Raw[248 * 301 + 1 + 298]), 7);
  EXPECT_EQ(List[3].Type, "IEND");
}

TEST(ImageFiles, SixteenBitCanvasesBecomeRedGreenBlue) {
  for (TBitDepth Depth : {bd15, bd16}) {
    auto C = MakeCanvas(4, 2, Depth, true);
    C->Plot(0, 0, Depth == bd16 ? 0xF800 : 0x7C00);
    C->Plot(1, 0, Depth == bd16 ? 0x07E0 : 0x03E0);
    const auto List = Chunks(CanvasToPng(*C, nullptr));
    ASSERT_EQ(List.size(), 3u);
    EXPECT_EQ(List[0].Data[9], 2);
    EXPECT_EQ(Unstore(List[1].Data), std::string("\0\xff\0\0\0\xff\0\0\0\0\0\0\0", 13) + std::string(13, '\0'));
  }
}

TEST(ImageFiles, ABmpOfACanvasReadsBackTheSamePixels) {
  TColorPalette Palette;
  auto C = MakeCanvas(8, 3);
  C->Plot(2, 1, 200);
  const TBitmap B = CanvasToBitmap(*C, &Palette);
  const TBitmap Back = TBitmap::LoadFromBytes(B.SaveToBytes(), "canvas.bmp");
  EXPECT_EQ(Back.ScanLine(1)[2], 200);
  EXPECT_EQ(Back.GetColor(249), (TRGBQuad{0, 0, 255, 0}));
  auto C16 = MakeCanvas(4, 2, bd16);
  C16->Fill(0xF800);
  const TBitmap B16 = CanvasToBitmap(*C16, nullptr);
  EXPECT_EQ(B16.GetBitsPerPixel(), 16);
  EXPECT_EQ(B16.GetRedMask(), 0xF800u);
  EXPECT_EQ(B16.ScanLine(1)[1], 0xF8);
  EXPECT_THROW(SaveCanvasToPng(*C, nullptr, "/nonexistent-folder/x.png"), EBitmap);
}
