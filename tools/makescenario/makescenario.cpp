// brenmoor_makescenario <data folder> <output folder>: makes the Standard scenario from its
// tables and the map set in <data folder> (Standard.brmmap and maps/Standard.owners.txt) and
// writes <output folder>/Standard.brmscen and <output folder>/StandardFlags.bmp, the same bytes
// on every machine.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>

#include "StandardScenario.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s <data folder> <output folder>\n", argc > 0 ? argv[0] : "brenmoor_makescenario");
    return 2;
  }
  try {
    const TScenarioFiles Files = MakeStandardScenario(argv[1]);
    const std::filesystem::path Out(argv[2]);
    std::filesystem::create_directories(Out);
    std::ofstream Scenario(Out / "Standard.brmscen", std::ios::binary);
    Scenario << Files.Scenario;
    Scenario.close();
    if (!Scenario) throw EScenarioSource("Cannot write " + (Out / "Standard.brmscen").string());
    Files.Flags.SaveToFile((Out / "StandardFlags.bmp").string());
    std::printf("%s: Standard.brmscen, StandardFlags.bmp\n", Out.string().c_str());
  } catch (const std::exception& E) {
    std::fprintf(stderr, "brenmoor_makescenario: %s\n", E.what());
    return 1;
  }
  return 0;
}
