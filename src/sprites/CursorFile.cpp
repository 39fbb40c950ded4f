#include "sprites/CursorFile.h"

#include "sprites/Bitmap.h"

namespace {

void Put16(std::string& Out, std::uint32_t V) {
  Out += char(V & 0xFF);
  Out += char((V >> 8) & 0xFF);
}
void Put32(std::string& Out, std::uint32_t V) {
  Put16(Out, V & 0xFFFF);
  Put16(Out, V >> 16);
}
std::uint32_t Get16(std::string_view B, std::size_t At) {
  return std::uint32_t(std::uint8_t(B[At])) | (std::uint32_t(std::uint8_t(B[At + 1])) << 8);
}
std::uint32_t Get32(std::string_view B, std::size_t At) { return Get16(B, At) | (Get16(B, At + 2) << 16); }

constexpr std::size_t DirSize = 6 + 16;
constexpr std::size_t InfoSize = 40;

std::size_t MaskRowBytes(std::int32_t Width) { return std::size_t((Width + 31) / 32 * 4); }

}  // namespace

std::string WriteCursorFile(const TCursorPicture& P) {
  if (P.Width < 1 || P.Width > 256 || P.Height < 1 || P.Height > 256)
    throw EBitmap("A cursor must be 1 to 256 pixels on each side");
  if (P.HotX < 0 || P.HotY < 0 || P.HotX >= P.Width || P.HotY >= P.Height)
    throw EBitmap("A cursor's hotspot must lie inside its picture");
  if (P.Pixels.size() != std::size_t(P.Width) * std::size_t(P.Height))
    throw EBitmap("A cursor's picture must have width x height pixels");
  const std::size_t MaskBytes = MaskRowBytes(P.Width) * std::size_t(P.Height);
  const std::size_t ImageBytes = InfoSize + P.Pixels.size() * 4 + MaskBytes;
  std::string Out;
  Put16(Out, 0);
  Put16(Out, 2);  // a cursor
  Put16(Out, 1);
  Out += char(P.Width == 256 ? 0 : P.Width);
  Out += char(P.Height == 256 ? 0 : P.Height);
  Out += char(0);
  Out += char(0);
  Put16(Out, std::uint32_t(P.HotX));
  Put16(Out, std::uint32_t(P.HotY));
  Put32(Out, std::uint32_t(ImageBytes));
  Put32(Out, std::uint32_t(DirSize));
  // The picture's header: the height counts the colour rows and the mask's rows.
  Put32(Out, InfoSize);
  Put32(Out, std::uint32_t(P.Width));
  Put32(Out, std::uint32_t(2 * P.Height));
  Put16(Out, 1);
  Put16(Out, 32);
  Put32(Out, 0);
  Put32(Out, std::uint32_t(ImageBytes - InfoSize));
  for (int I = 0; I < 4; ++I) Put32(Out, 0);
  for (std::int32_t Y = P.Height - 1; Y >= 0; --Y)
    for (std::int32_t X = 0; X < P.Width; ++X) Put32(Out, P.Pixels[std::size_t(Y * P.Width + X)]);
  for (std::int32_t Y = P.Height - 1; Y >= 0; --Y) {
    std::string Row(MaskRowBytes(P.Width), '\0');
    for (std::int32_t X = 0; X < P.Width; ++X)
      if ((P.Pixels[std::size_t(Y * P.Width + X)] >> 24) == 0) Row[std::size_t(X / 8)] |= char(0x80 >> (X % 8));
    Out += Row;
  }
  return Out;
}

TCursorPicture ReadCursorFile(std::string_view B, const std::string& Name) {
  auto Fail = [&](const std::string& What) { return EBitmap(Name + ": " + What); };
  if (B.size() < DirSize || Get16(B, 0) != 0 || Get16(B, 2) != 2 || Get16(B, 4) < 1)
    throw Fail("not a cursor file");
  TCursorPicture P;
  P.HotX = std::int32_t(Get16(B, 10));
  P.HotY = std::int32_t(Get16(B, 12));
  const std::size_t Offset = Get32(B, 18);
  if (Offset > B.size() || B.size() - Offset < InfoSize) throw Fail("the cursor's picture is cut off");
  const std::int32_t Width = std::int32_t(Get32(B, Offset + 4));
  const std::int32_t Height2 = std::int32_t(Get32(B, Offset + 8));
  if (Get32(B, Offset) < InfoSize || Get16(B, Offset + 14) != 32 || Get32(B, Offset + 16) != 0)
    throw Fail("only cursors of 32-bit pixels can be read");
  if (Width < 1 || Width > 256 || Height2 < 2 || Height2 > 512 || Height2 % 2 != 0)
    throw Fail("the cursor's size is not one a cursor can have");
  P.Width = Width;
  P.Height = Height2 / 2;
  if (P.HotX >= P.Width || P.HotY >= P.Height) throw Fail("the cursor's hotspot lies outside its picture");
  const std::size_t Pixels = Offset + Get32(B, Offset);
  if (Pixels > B.size() || (B.size() - Pixels) / 4 < std::size_t(P.Width) * std::size_t(P.Height))
    throw Fail("the cursor's picture is cut off");
  P.Pixels.resize(std::size_t(P.Width) * std::size_t(P.Height));
  for (std::int32_t Row = 0; Row < P.Height; ++Row)
    for (std::int32_t X = 0; X < P.Width; ++X)
      P.Pixels[std::size_t((P.Height - 1 - Row) * P.Width + X)] = Get32(B, Pixels + 4 * std::size_t(Row * P.Width + X));
  return P;
}
