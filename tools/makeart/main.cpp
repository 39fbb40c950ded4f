// brenmoor_makeart <fonts folder> <data folder>: writes the game screens' artwork (the map's
// icon sheets and the windows' glyphs under art/game, the cursors and the title picture under
// art) and the help book under help, the same bytes on every machine. The fonts folder gives
// the title's lettering.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "GameArtDraw.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <fonts folder> <data folder>\n", argc > 0 ? argv[0] : "brenmoor_makeart");
    return 2;
  }
  try {
    const std::filesystem::path Folder(argv[2]);
    for (const TArtFile& File : GameArtFiles(argv[1])) {
      const std::filesystem::path Path = Folder / File.Path;
      std::filesystem::create_directories(Path.parent_path());
      std::ofstream Out(Path, std::ios::binary);
      Out.write(File.Bytes.data(), std::streamsize(File.Bytes.size()));
      if (!Out) throw std::runtime_error("cannot write " + Path.string());
      std::printf("%s (%zu bytes)\n", Path.string().c_str(), File.Bytes.size());
    }
  } catch (const std::exception& E) {
    std::fprintf(stderr, "brenmoor_makeart: %s\n", E.what());
    return 1;
  }
  return 0;
}
