// brenmoor_makemap [--fonts folder] <world source> <data folder> [name]: compiles the world
// source into the map set <data folder>/<name>.brmmap (name "Standard" unless given), its
// background tiles <data folder>/maps/<name>_*.bmp and the owners' side file
// <data folder>/maps/<name>.owners.txt. The land zones' labels are measured with the game's
// fonts in the fonts folder (<data folder>/fonts unless given).
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <vector>

#include "MapArt.h"
#include "WorldSource.h"
#include "ZoneLabels.h"

namespace {

void WriteText(const std::filesystem::path& Path, const std::string& Text) {
  std::ofstream Out(Path, std::ios::binary);
  Out << Text;
  if (!Out) throw EWorldSource("Cannot write \"" + Path.string() + "\"");
}

int Usage(const char* Program) {
  std::fprintf(stderr, "usage: %s [--fonts folder] <world source> <data folder> [name]\n", Program);
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  const char* Program = argc > 0 ? argv[0] : "brenmoor_makemap";
  std::string Fonts;
  std::vector<std::string> Args;
  for (int I = 1; I < argc; ++I) {
    if (std::strcmp(argv[I], "--help") == 0 || std::strcmp(argv[I], "-h") == 0) {
      std::printf("usage: %s [--fonts folder] <world source> <data folder> [name]\n", Program);
      return 0;
    }
    if (std::strcmp(argv[I], "--fonts") == 0) {
      if (I + 1 >= argc) {
        std::fprintf(stderr, "brenmoor_makemap: --fonts needs a folder\n");
        return Usage(Program);
      }
      Fonts = argv[++I];
      continue;
    }
    if (argv[I][0] == '-' && argv[I][1] != 0) {
      std::fprintf(stderr, "brenmoor_makemap: unknown option \"%s\"\n", argv[I]);
      return Usage(Program);
    }
    Args.emplace_back(argv[I]);
  }
  if (Args.size() != 2 && Args.size() != 3) return Usage(Program);
  try {
    const std::string Name = Args.size() == 3 ? Args[2] : "Standard";
    const std::filesystem::path Data(Args[1]);
    if (Fonts.empty()) Fonts = (Data / "fonts").string();
    TWorldMap World = CompileWorldFile(Args[0]);
    TLabelMeasure Measure(Fonts);
    PlaceLabels(World, Measure);
    const TMapSetFiles Files = MakeMapSetFiles(World, Name);
    std::filesystem::create_directories(Data / "maps");
    for (const auto& [File, Tile] : Files.Tiles) Tile.SaveToFile((Data / File).string());
    WriteText(Data / (Name + ".brmmap"), Files.MapSet);
    WriteText(Data / "maps" / (Name + ".owners.txt"), Files.Owners);
    int Land = 0;
    for (const TWorldZone& Z : World.Zones) Land += Z.Sea ? 0 : 1;
    std::printf("%s: %d land zones, %d sea zones, %d links, %d x %d pixels in %zu tiles\n", Name.c_str(), Land,
                int(World.Zones.size()) - Land, int(World.Links.size()), World.Width, World.Height, Files.Tiles.size());
  } catch (const std::exception& E) {
    std::fprintf(stderr, "brenmoor_makemap: %s\n", E.what());
    return 1;
  }
  return 0;
}
