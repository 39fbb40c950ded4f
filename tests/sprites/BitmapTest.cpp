#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "sprites/Bitmap.h"

namespace {

void Put16(std::string& B, std::size_t At, std::uint16_t V) {
  B[At] = char(V & 0xFF);
  B[At + 1] = char(V >> 8);
}
void Put32(std::string& B, std::size_t At, std::uint32_t V) {
  for (int I = 0; I < 4; ++I) B[At + std::size_t(I)] = char((V >> (8 * I)) & 0xFF);
}

// A 5 x 3 picture at 8 bits: rows of 8 bytes (5 pixels and 3 fill bytes).
TBitmap Sample8() {
  TBitmap B(5, 3, 8);
  std::vector<TRGBQuad> Colors(256);
  for (int I = 0; I < 256; ++I) Colors[std::size_t(I)] = {std::uint8_t(I), std::uint8_t(I / 2), std::uint8_t(255 - I), 0};
  B.SetColorTable(Colors);
  for (int Y = 0; Y < 3; ++Y)
    for (int X = 0; X < 5; ++X) B.ScanLine(Y)[X] = std::uint8_t(10 * Y + X);
  return B;
}

// A hand-made file: 4 x 2 at 8 bits, two colours in the table, resolution fields set, four
// bytes between the table and the pixels, fill bytes that are not zero.
std::string HandMadeFile() {
  std::string B(14 + 40 + 8 + 4 + 8, '\0');
  B[0] = 'B';
  B[1] = 'M';
  Put32(B, 2, std::uint32_t(B.size()));
  Put16(B, 6, 0x1234);
  Put32(B, 10, 14 + 40 + 8 + 4);
  Put32(B, 14, 40);
  Put32(B, 18, 4);
  Put32(B, 22, 2);
  Put16(B, 26, 1);
  Put16(B, 28, 8);
  Put32(B, 34, 0);  // image size left 0, as many writers do
  Put32(B, 38, 2835);
  Put32(B, 42, 2835);
  Put32(B, 46, 2);
  Put32(B, 50, 2);
  const char Table[] = "\x10\x20\x30\x00\xff\xee\xdd\x00";
  B.replace(54, 8, Table, 8);
  B.replace(62, 4, "GAP!", 4);
  B.replace(66, 8, "\x00\x01\x01\x00\x01\x00\x00\x01", 8);
  return B;
}

}  // namespace

TEST(Bitmap, RowsArePaddedAndOrderedAsInTheFile) {
  TBitmap B = Sample8();
  EXPECT_EQ(B.GetRowBytes(), 8);
  EXPECT_EQ(B.GetBits()[2 * 8 + 1], 1);  // bottom-up: the top row is last in memory
  TBitmap T(5, 3, 8, true);
  T.ScanLine(0)[1] = 1;
  EXPECT_EQ(T.GetBits()[1], 1);
  EXPECT_EQ(TBitmap::RowBytesFor(5, 24), 16);
  EXPECT_EQ(TBitmap::RowBytesFor(3, 16), 8);
  EXPECT_EQ(B.ScanLine(3), nullptr);
  EXPECT_EQ(B.GetColor(300), TRGBQuad{});
  EXPECT_THROW(TBitmap(4, 4, 32), EBitmap);
  EXPECT_THROW(TBitmap(-1, 4, 8), EBitmap);
}

TEST(Bitmap, FilesRoundTripByteForByte) {
  TBitmap Eight = Sample8();
  TBitmap Sixteen(6, 2, 16, true);
  Sixteen.SetBitFields(0xF800, 0x7E0, 0x1F);
  Sixteen.ScanLine(1)[3] = 0xAB;
  TBitmap Plain16(3, 3, 16);
  Plain16.ScanLine(2)[5] = 0x7C;
  TBitmap Rgb(3, 2, 24);
  Rgb.ScanLine(0)[2] = 0xFF;
  for (const TBitmap* B : {&Eight, &Sixteen, &Plain16, &Rgb}) {
    const std::string Bytes = B->SaveToBytes();
    const TBitmap Back = TBitmap::LoadFromBytes(Bytes, "sample.bmp");
    EXPECT_EQ(Back.SaveToBytes(), Bytes) << B->GetBitsPerPixel();
    EXPECT_EQ(Back.GetWidth(), B->GetWidth());
    EXPECT_EQ(Back.GetHeight(), B->GetHeight());
    EXPECT_EQ(Back.GetTopDown(), B->GetTopDown());
    EXPECT_EQ(Back.GetColorTable(), B->GetColorTable());
    EXPECT_EQ(Back.GetGreenMask(), B->GetGreenMask());
    for (int Y = 0; Y < B->GetHeight(); ++Y)
      EXPECT_EQ(std::string(reinterpret_cast<const char*>(Back.ScanLine(Y)), std::size_t(B->GetRowBytes())),
                std::string(reinterpret_cast<const char*>(B->ScanLine(Y)), std::size_t(B->GetRowBytes())));
  }
  const std::string Hand = HandMadeFile();
  const TBitmap H = TBitmap::LoadFromBytes(Hand, "hand.bmp");
  EXPECT_EQ(H.SaveToBytes(), Hand);
  EXPECT_EQ(H.GetColorTable().size(), 2u);
  EXPECT_EQ(H.GetColor(1), (TRGBQuad{0xFF, 0xEE, 0xDD, 0}));
  EXPECT_EQ(H.ScanLine(0)[1], 0);  // the top row is the second in the file
  EXPECT_EQ(H.ScanLine(1)[1], 1);
}

// A writer that gets the file-size field wrong, or adds bytes after the pixels, still gets
// its file back unchanged; once the layout changes, the field is the file's real length.
TEST(Bitmap, TheSizeFieldAndBytesAfterThePixelsAreKeptAsRead) {
  for (const std::uint32_t Field : {0u, 12345u}) {
    std::string Odd = HandMadeFile() + "tail";
    Put32(Odd, 2, Field);
    TBitmap B = TBitmap::LoadFromBytes(Odd, "odd.bmp");
    EXPECT_EQ(B.SaveToBytes(), Odd) << Field;
    B.SetColorTable(std::vector<TRGBQuad>(3));
    const std::string Changed = B.SaveToBytes();
    std::uint32_t Written = 0;
    for (int I = 0; I < 4; ++I) Written |= std::uint32_t(std::uint8_t(Changed[2 + std::size_t(I)])) << (8 * I);
    EXPECT_EQ(Written, Changed.size()) << Field;
    EXPECT_EQ(Changed.substr(Changed.size() - 4), "tail");
  }
}

TEST(Bitmap, FilesOnDisk) {
  const std::string Name = (std::filesystem::temp_directory_path() / "brenmoor_bitmap_test.bmp").string();
  const TBitmap B = Sample8();
  B.SaveToFile(Name);
  EXPECT_EQ(TBitmap::LoadFromFile(Name).SaveToBytes(), B.SaveToBytes());
  std::filesystem::remove(Name);
  try {
    TBitmap::LoadFromFile(Name);
    FAIL() << "a missing file was read";
  } catch (const EBitmap& E) {
    EXPECT_NE(std::string(E.what()).find(Name), std::string::npos) << E.what();
  }
  EXPECT_THROW(B.SaveToFile("/nonexistent-folder/x.bmp"), EBitmap);
}

TEST(Bitmap, MalformedFilesAreRefusedNamingTheFault) {
  const std::string Good = Sample8().SaveToBytes();
  const std::size_t PixelsAt = 14 + 40 + 1024;
  const struct {
    const char* What;
    std::string Bytes;
    const char* Expected;
  } Cases[] = {
      {"empty", "", "too short"},
      {"no signature", "XY" + Good.substr(2), "does not begin with \"BM\""},
      {"header cut", Good.substr(0, 30), "ends inside the bitmap header"},
      {"old header", [&] { auto B = Good; Put32(B, 14, 12); return B; }(), "header of 12 bytes"},
      {"planes", [&] { auto B = Good; Put16(B, 26, 2); return B; }(), "2 colour planes"},
      {"depth", [&] { auto B = Good; Put16(B, 28, 32); return B; }(), "32 bits per pixel"},
      {"run lengths", [&] { auto B = Good; Put32(B, 30, 1); return B; }(), "compression 1"},
      {"masks at 8 bits", [&] { auto B = Good; Put32(B, 30, 3); return B; }(), "bit-field masks"},
      {"no width", [&] { auto B = Good; Put32(B, 18, 0); return B; }(), "width of 0"},
      {"negative width", [&] { auto B = Good; Put32(B, 18, std::uint32_t(-5)); return B; }(), "width of -5"},
      {"no height", [&] { auto B = Good; Put32(B, 22, 0); return B; }(), "height of 0"},
      {"huge", [&] { auto B = Good; Put32(B, 18, 100000); return B; }(), "too large"},
      {"lowest height", [&] { auto B = Good; Put32(B, 22, 0x80000000u); return B; }(), "too large"},
      {"huge table", [&] { auto B = Good; Put32(B, 46, 300); return B; }(), "colour table of 300"},
      {"table cut", Good.substr(0, 14 + 40 + 100), "ends inside the colour table"},
      {"offset inside", [&] { auto B = Good; Put32(B, 10, 54); return B; }(), "offset 54 lies inside"},
      {"pixels cut", Good.substr(0, Good.size() - 1), "pixel data is truncated"},
      {"offset past end", [&] { auto B = Good; Put32(B, 10, 1u << 30); return B; }(), "pixel data is truncated"},
      {"pixels missing", Good.substr(0, PixelsAt), "pixel data is truncated"},
  };
  for (const auto& C : Cases) {
    try {
      TBitmap::LoadFromBytes(C.Bytes, "maps/europe.bmp");
      ADD_FAILURE() << C.What << " was read";
    } catch (const EBitmap& E) {
      const std::string Message = E.what();
      EXPECT_NE(Message.find("\"maps/europe.bmp\""), std::string::npos) << C.What << ": " << Message;
      EXPECT_NE(Message.find(C.Expected), std::string::npos) << C.What << ": " << Message;
    }
  }
}

TEST(Bitmap, LargerHeadersAndTheirMasksAreKept) {
  // A 108-byte header with 5-6-5 masks in it, as picture editors write.
  std::string B(14 + 108 + 8, '\0');
  B[0] = 'B';
  B[1] = 'M';
  Put32(B, 2, std::uint32_t(B.size()));
  Put32(B, 10, 14 + 108);
  Put32(B, 14, 108);
  Put32(B, 18, 2);
  Put32(B, 22, 2);
  Put16(B, 26, 1);
  Put16(B, 28, 16);
  Put32(B, 30, 3);
  Put32(B, 54, 0xF800);
  Put32(B, 58, 0x7E0);
  Put32(B, 62, 0x1F);
  B[70] = 'W';  // colour space fields: kept as they are
  const TBitmap Bmp = TBitmap::LoadFromBytes(B, "editor.bmp");
  EXPECT_TRUE(Bmp.GetHasBitFields());
  EXPECT_EQ(Bmp.GetRedMask(), 0xF800u);
  EXPECT_EQ(Bmp.GetGreenMask(), 0x7E0u);
  EXPECT_EQ(Bmp.SaveToBytes(), B);
}

TEST(Bitmap, PixelColoursAtEveryDepth) {
  TBitmap Eight(4, 2, 8);
  Eight.SetColorTable({{0, 0, 0, 0}, {0x30, 0x20, 0x10, 0}});
  Eight.ScanLine(1)[2] = 1;
  EXPECT_EQ(Eight.GetPixelColor(2, 1), 0x302010u);
  EXPECT_EQ(Eight.GetPixelColor(4, 1), 0u);
  TBitmap Rgb(2, 1, 24);
  Rgb.ScanLine(0)[3] = 0x0A;  // blue, green, red
  Rgb.ScanLine(0)[5] = 0xC0;
  EXPECT_EQ(Rgb.GetPixelColor(1, 0), 0x0A00C0u);
  TBitmap Word(2, 1, 16);
  Word.ScanLine(0)[0] = 0x1F;  // 5-5-5 blue at its full
  EXPECT_EQ(Word.GetPixelColor(0, 0), 0xFF0000u);
  Word.SetBitFields(0xF800, 0x7E0, 0x1F);
  Word.ScanLine(0)[2] = 0xE0;  // 5-6-5 green 0x3F... of 0x07E0
  Word.ScanLine(0)[3] = 0x07;
  EXPECT_EQ(Word.GetPixelColor(1, 0), 0x00FF00u);
}

TEST(Bitmap, StretchDrawMapsColoursBetweenTables) {
  std::vector<TRGBQuad> Table(256);
  for (int I = 0; I < 256; ++I) Table[std::size_t(I)] = {std::uint8_t(I), std::uint8_t(I), std::uint8_t(I), 0};
  TBitmap Source(3, 2, 8);
  Source.SetColorTable(Table);
  for (int X = 0; X < 3; ++X) {
    Source.ScanLine(0)[X] = std::uint8_t(10 + X);
    Source.ScanLine(1)[X] = std::uint8_t(20 + X);
  }
  TBitmap Preview(150, 4, 8);  // no multiple of 4 needed
  Preview.SetColorTable(Table);
  Preview.StretchDraw({0, 0, 6, 4}, Source);
  EXPECT_EQ(Preview.ScanLine(0)[0], 10);
  EXPECT_EQ(Preview.ScanLine(1)[5], 12);
  EXPECT_EQ(Preview.ScanLine(3)[2], 21);
  EXPECT_EQ(Preview.ScanLine(0)[6], 0);

  auto Shifted = Table;  // the same colours four entries later
  for (int I = 0; I < 256; ++I) Shifted[std::size_t(I)] = Table[std::size_t((I + 252) % 256)];
  TBitmap Other(150, 2, 8);
  Other.SetColorTable(Shifted);
  Other.StretchDraw({148, -1, 151, 1}, Source);  // clipped on two sides: source row 1 shows
  EXPECT_EQ(Other.ScanLine(0)[148], 24);
  EXPECT_EQ(Other.ScanLine(0)[149], 25);
  EXPECT_EQ(Other.ScanLine(1)[148], 0);
  TBitmap Rgb(2, 2, 24);
  EXPECT_THROW(Preview.StretchDraw({0, 0, 2, 2}, Rgb), EBitmap);
}
