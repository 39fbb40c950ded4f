// brenmoor_maketipart <data folder>: writes the controls' pictures (the tip of the day's bulb,
// the button edit's glyph) into <data folder>/art/controls, drawn the same way on every machine.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "TipArt.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s <data folder>\n", argc > 0 ? argv[0] : "brenmoor_maketipart");
    return 2;
  }
  try {
    const std::filesystem::path Folder = std::filesystem::path(argv[1]) / "art" / "controls";
    std::filesystem::create_directories(Folder);
    for (const TControlArt& Art : ControlArt()) {
      const std::filesystem::path Path = Folder / Art.FileName;
      Art.Picture.SaveToFile(Path.string());
      std::printf("%s (%d x %d)\n", Path.string().c_str(), Art.Picture.GetWidth(), Art.Picture.GetHeight());
    }
  } catch (const std::exception& E) {
    std::fprintf(stderr, "brenmoor_maketipart: %s\n", E.what());
    return 1;
  }
  return 0;
}
