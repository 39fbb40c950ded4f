// brenmoor_checkscenario <data folder> [scenario]: loads the scenario (Standard.brmscen by
// default) into the rules engine with the map set it names, as the game starts a new game from
// the program folder, and prints every problem.
#include <cstdio>

#include "ScenarioCheck.h"

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s <data folder> [scenario]\n", argc > 0 ? argv[0] : "brenmoor_checkscenario");
    return 2;
  }
  const TScenarioCheckResult R = CheckScenario(argv[1], argc == 3 ? argv[2] : "Standard.brmscen");
  for (const std::string& P : R.Problems) std::printf("%s\n", P.c_str());
  std::printf("%d nations (%d major powers), %d zone lines, %d units, %d random events, %d victory conditions, "
              "%d reinforcements: %s\n",
              R.Nations, R.Majors, R.ZoneLines, R.Units, R.RandomEvents, R.VictoryConditions, R.Reinforcements,
              R.Ok() ? "ok" : "PROBLEMS");
  return R.Ok() ? 0 : 1;
}
