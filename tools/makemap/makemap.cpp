// brenmoor_makemap <world source> <data folder> [name]: compiles the world source into the map
// set <data folder>/<name>.brmmap (name "Standard" unless given), its background tiles
// <data folder>/maps/<name>_*.bmp and the owners' side file <data folder>/maps/<name>.owners.txt.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "MapArt.h"
#include "WorldSource.h"

namespace {

void WriteText(const std::filesystem::path& Path, const std::string& Text) {
  std::ofstream Out(Path, std::ios::binary);
  Out << Text;
  if (!Out) throw EWorldSource("Cannot write \"" + Path.string() + "\"");
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: %s <world source> <data folder> [name]\n", argc > 0 ? argv[0] : "brenmoor_makemap");
    return 2;
  }
  try {
    const std::string Name = argc == 4 ? argv[3] : "Standard";
    const TWorldMap World = CompileWorldFile(argv[1]);
    const TMapSetFiles Files = MakeMapSetFiles(World, Name);
    const std::filesystem::path Data(argv[2]);
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
