// brenmoor_checkmap <data folder> [picture.png]: checks <data folder>/Standard.brmmap as the
// game loads it (the data folder standing for the program folder) and prints every problem;
// with a picture name, also draws the whole map with outlines and names into that PNG.
#include <cstdio>
#include <exception>
#include <filesystem>

#include "MapCheck.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <data folder> [picture.png]\n", argc > 0 ? argv[0] : "brenmoor_checkmap");
    return 2;
  }
  const std::string Folder = argv[1];
  const TMapCheckResult R = CheckMapSet(Folder, "Standard.brmmap");
  for (const std::string& P : R.Problems) std::printf("%s\n", P.c_str());
  std::printf("%d land zones, %d sea zones, %d links, %d x %d pixels, fewest unit slots %d (%s): %s\n", R.LandZones,
              R.SeaZones, R.Links, R.Width, R.Height, R.FewestLandSlots, R.FewestSlotsZone.c_str(),
              R.Ok() ? "ok" : "PROBLEMS");
  if (argc == 3) {
    try {
      WriteMapPicture(Folder, "Standard.brmmap", (std::filesystem::path(Folder) / "fonts").string(), argv[2]);
      std::printf("picture: %s\n", argv[2]);
    } catch (const std::exception& E) {
      std::fprintf(stderr, "brenmoor_checkmap: %s\n", E.what());
      return 1;
    }
  }
  return R.Ok() ? 0 : 1;
}
