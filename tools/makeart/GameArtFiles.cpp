#include <array>

#include "GameArtDraw.h"
#include "MapArt.h"

namespace ArtColors {
std::uint8_t SlotColor(int Row) {
  // The zone colours of the colour slots (the nations' own), then the minor nations' grey.
  static constexpr std::array<std::uint8_t, 8> Colors{249, 16, 253, 77, 254, 2, 252, 244};
  return Colors[std::size_t(Row & 7)];
}
}  // namespace ArtColors

const std::vector<TRGBQuad>& ArtColorTable() { return MapColorTable(); }

namespace {

TArtFile Picture(const std::string& Name, const TPixels& Pixels) {
  return {GameArt::PicturePath(Name), Pixels.ToBitmap(ArtColorTable()).SaveToBytes()};
}

}  // namespace

std::vector<TArtFile> GameArtFiles(const std::string& FontsFolder) {
  std::vector<TArtFile> Out;
  const TPixels Sheets[] = {FactoryIcon(), ResourceIcon(), UnitTallySheet(), CapitalIcon(),
                            PortIcon(),    AirfieldIcon(), RocketIcon()};
  for (std::size_t I = 0; I < GameArt::IconSheets.size(); ++I) Out.push_back(Picture(GameArt::IconSheets[I], Sheets[I]));
  for (const TNamedPicture& P : WindowPictures()) Out.push_back(Picture(P.Name, P.Picture));
  Out.push_back({GameArt::TargetCursor, TargetCursorFile()});
  Out.push_back({GameArt::BusyCursor, BusyCursorFile()});
  Out.push_back({GameArt::TitlePicture, TitlePictureJpeg(FontsFolder)});
  for (TArtFile& Page : HelpPages()) Out.push_back(std::move(Page));
  return Out;
}
