// brenmoor_checkmap <data folder> [picture.png]: checks <data folder>/Standard.brmmap as the
// game loads it (the data folder standing for the program folder) and prints every problem;
// with a picture name, also draws the whole map with outlines and names into that PNG.
// brenmoor_checkmap --labels <map set> [--fonts folder]: prints for each land zone of the map
// set (a .brmmap file, or a data folder holding Standard.brmmap) the share of its label that
// lies on the zone and the labels it overlaps, then one summary line.
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "MapCheck.h"

namespace {

namespace fs = std::filesystem;

const char* const UsageText =
    "usage: %s <data folder> [picture.png]\n"
    "       %s --labels <map set or data folder> [--fonts folder]\n"
    "The first form checks <data folder>/Standard.brmmap with the game's readers and can draw the\n"
    "whole map into a PNG; --labels tells how the land zones' labels sit on their zones.\n";

int Usage(const char* Program, bool Asked) {
  std::fprintf(Asked ? stdout : stderr, UsageText, Program, Program);
  return Asked ? 0 : 2;
}

int BadArgument(const char* Program, const std::string& What) {
  std::fprintf(stderr, "brenmoor_checkmap: %s\n", What.c_str());
  return Usage(Program, false);
}

int Labels(const char* Program, const std::string& Target, std::string Fonts) {
  std::error_code Ec;
  fs::path Folder, MapSet;
  if (fs::is_directory(Target, Ec)) {
    Folder = Target;
    MapSet = "Standard.brmmap";
  } else if (fs::is_regular_file(Target, Ec)) {
    Folder = fs::path(Target).parent_path();
    if (Folder.empty()) Folder = ".";
    MapSet = fs::path(Target).filename();
  } else {
    return BadArgument(Program, "no map set or data folder \"" + Target + "\"");
  }
  if (Fonts.empty()) Fonts = (Folder / "fonts").string();
  if (!fs::is_directory(Fonts, Ec)) return BadArgument(Program, "no fonts folder \"" + Fonts + "\" (give one with --fonts)");
  const TLabelReport R = CheckLabels(Folder.string(), MapSet.string(), Fonts);
  for (const TLabelFit& F : R.Zones) {
    std::string Line = F.Name + ": " + std::to_string(F.Percent()) + "% inside";
    for (std::size_t I = 0; I < F.Overlaps.size(); ++I) {
      std::string Other;
      for (const TLabelFit& G : R.Zones)
        if (G.Zone == F.Overlaps[I]) Other = G.Name;
      Line += (I ? ", " : "; overlaps ") + Other;
    }
    std::printf("%s\n", Line.c_str());
  }
  std::printf("labels: %d of %zu land zones at least 90%% inside, %d overlaps\n", R.WellInside, R.Zones.size(),
              R.OverlapPairs);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const char* Program = argc > 0 ? argv[0] : "brenmoor_checkmap";
  std::vector<std::string> Args(argv + (argc > 0 ? 1 : 0), argv + argc);
  try {
    for (const std::string& A : Args)
      if (A == "--help" || A == "-h") return Usage(Program, true);
    if (!Args.empty() && Args[0] == "--labels") {
      std::string Target, Fonts;
      for (std::size_t I = 1; I < Args.size(); ++I) {
        if (Args[I] == "--fonts") {
          if (I + 1 >= Args.size()) return BadArgument(Program, "--fonts needs a folder");
          Fonts = Args[++I];
        } else if (Args[I].size() > 1 && Args[I][0] == '-') {
          return BadArgument(Program, "unknown option \"" + Args[I] + "\"");
        } else if (Target.empty()) {
          Target = Args[I];
        } else {
          return BadArgument(Program, "--labels takes one map set");
        }
      }
      if (Target.empty()) return BadArgument(Program, "--labels needs a map set or data folder");
      return Labels(Program, Target, Fonts);
    }
    if (Args.size() != 1 && Args.size() != 2) return Usage(Program, false);
    for (const std::string& A : Args)
      if (A.size() > 1 && A[0] == '-') return BadArgument(Program, "unknown option \"" + A + "\"");
    const std::string Folder = Args[0];
    std::error_code Ec;
    if (!fs::is_directory(Folder, Ec)) return BadArgument(Program, "no data folder \"" + Folder + "\"");
    const TMapCheckResult R = CheckMapSet(Folder, "Standard.brmmap");
    for (const std::string& P : R.Problems) std::printf("%s\n", P.c_str());
    std::printf("%d land zones, %d sea zones, %d links, %d x %d pixels, fewest unit slots %d (%s): %s\n", R.LandZones,
                R.SeaZones, R.Links, R.Width, R.Height, R.FewestLandSlots, R.FewestSlotsZone.c_str(),
                R.Ok() ? "ok" : "PROBLEMS");
    if (Args.size() == 2) {
      WriteMapPicture(Folder, "Standard.brmmap", (fs::path(Folder) / "fonts").string(), Args[1]);
      std::printf("picture: %s\n", Args[1].c_str());
    }
    return R.Ok() ? 0 : 1;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "brenmoor_checkmap: %s\n", E.what());
    return 1;
  }
}
