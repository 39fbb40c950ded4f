// brenmoor_tournament: seeded games of computer players only, headless, on a scenario of the
// program folder, with a script per major power; a table per game and a summary at the end.
// It is how a script is tried against another before it is given to players.
//
//   brenmoor_tournament [--folder DIR] [--scenario FILE] [--seeds N] [--first-seed S]
//                       [--impulses N] [--script FILE] [--versus FILE] [--side NAMES]
//                       [--guest] [--quiet] [--slow MS]
//
// --script is the script of every major power (the program folder's "Default.brmai" unless
// given). With --versus the game is a match: in games of even seed the powers named by --side
// (a ","-list, "Germany,Italy,Japan" unless given) play --script and the others --versus; in
// games of odd seed the other way round. A game ends when the scenario names a winner or after
// --impulses impulses (1000 unless given). --guest replays every game on a second machine and
// checks that both stay the same game. --slow lists every turn of a script that took longer than
// MS milliseconds.
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "ComputerGame.h"
#include "engine/UpkeepRules.h"
#include "foundation/FileText.h"

namespace {

using players_test::TComputerGame;
using players_test::TWorldText;

struct TOptions {
  std::filesystem::path Folder;
  std::string Scenario = "Standard.brmscen";
  int Seeds = 20;
  std::uint64_t FirstSeed = 1;
  int Impulses = 1000;
  std::filesystem::path Script;
  std::filesystem::path Versus;
  std::set<std::string> Side{"Germany", "Italy", "Japan"};
  bool Guest = false;
  bool Quiet = false;
  // Turns slower than this many milliseconds are listed (0: none).
  double Slow = 0;
};

// The orders a script gives, by code, as the tables name them.
const char* OrderName(int Code) {
  static const char* const Names[] = {"clear",     "move",      "launch",   "retreat",  "merge",     "dock",       "divide",
                                      "embark",    "disembark", "intercept", "invade",  "patrol",    "rebase",     "airstrike",
                                      "atomic",    "return",    "recon",    "route",    "autoroute", "build",      "factory",
                                      "border",    "bomb",      "bombard",  "carrier",  "formations", "basehere",  "diplomacy",
                                      "declare",   "surface",   "submerge", "research", "rocket",    "buildrocket", "airfield",
                                      "port",      "embarkall", "carrierall", "kamikaze", "rename",  "globalroute", "globalclear",
                                      "portzone",  "surrender"};
  return Code >= 0 && Code < OrderTypeCount ? Names[Code] : "?";
}

[[noreturn]] void Fail(const std::string& Text) {
  std::fprintf(stderr, "brenmoor_tournament: %s\n", Text.c_str());
  std::exit(2);
}

constexpr const char* UsageText =
    "usage: brenmoor_tournament [--folder DIR] [--scenario FILE] [--seeds N] [--first-seed S]\n"
    "                           [--impulses N] [--script FILE] [--versus FILE] [--side NAMES]\n"
    "                           [--guest] [--quiet] [--slow MS]\n";

// A whole number of an option, at least Least; anything else stops with the option named.
template <class TNumber>
TNumber NumberOf(const std::string& Option, const std::string& Text, TNumber Least) {
  TNumber Value{};
  const auto [End, Error] = std::from_chars(Text.data(), Text.data() + Text.size(), Value);
  if (Error != std::errc() || End != Text.data() + Text.size() || Value < Least)
    Fail(Option + " takes a whole number from " + std::to_string(Least) + ", not '" + Text + "'");
  return Value;
}

std::string ReadText(const std::filesystem::path& File) {
  std::string Text;
  if (ReadFileText(File.string(), Text) != ftRead) Fail("cannot read " + File.string());
  return Text;
}

TOptions ReadOptions(int Argc, char** Argv) {
  TOptions O;
  O.Folder = std::filesystem::absolute(Argv[0]).parent_path();
  for (int I = 1; I < Argc; ++I) {
    const std::string A = Argv[I];
    const auto Value = [&]() -> std::string {
      if (I + 1 >= Argc) Fail(A + " needs a value");
      return Argv[++I];
    };
    if (A == "--folder") O.Folder = Value();
    else if (A == "--scenario") O.Scenario = Value();
    else if (A == "--seeds") O.Seeds = NumberOf<int>(A, Value(), 1);
    else if (A == "--first-seed") O.FirstSeed = NumberOf<std::uint64_t>(A, Value(), 0);
    else if (A == "--impulses") O.Impulses = NumberOf<int>(A, Value(), 1);
    else if (A == "--script") O.Script = Value();
    else if (A == "--versus") O.Versus = Value();
    else if (A == "--slow") O.Slow = NumberOf<int>(A, Value(), 0);
    else if (A == "--guest") O.Guest = true;
    else if (A == "--quiet") O.Quiet = true;
    else if (A == "--side") {
      O.Side.clear();
      std::stringstream S(Value());
      for (std::string Name; std::getline(S, Name, ',');) O.Side.insert(Name);
    } else if (A == "--help") {
      std::fputs(UsageText, stdout);
      std::exit(0);
    } else {
      std::fputs(UsageText, stderr);
      Fail("unknown option " + A);
    }
  }
  O.Folder = std::filesystem::absolute(O.Folder);
  if (O.Script.empty()) O.Script = O.Folder / "Default.brmai";
  O.Script = std::filesystem::absolute(O.Script);
  if (!O.Versus.empty()) O.Versus = std::filesystem::absolute(O.Versus);
  if (O.Seeds < 1 || O.Impulses < 1) Fail("--seeds and --impulses must be above 0");
  return O;
}

// The scenario and the map set it names, from the folder.
TWorldText ReadWorld(const TOptions& O) {
  TWorldText W;
  W.Scenario = ReadText(O.Folder / O.Scenario);
  W.ScenarioFile = O.Scenario;
  std::stringstream Lines(W.Scenario);
  for (std::string Line; std::getline(Lines, Line);) {
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    if (Line.rfind("MapSet=", 0) == 0) W.Map = ReadText(O.Folder / Line.substr(7));
  }
  if (W.Map.empty()) Fail(O.Scenario + " names no map set");
  return W;
}

std::set<int> Common(const std::set<int>& A, const std::set<int>& B) {
  std::set<int> Both;
  std::set_intersection(A.begin(), A.end(), B.begin(), B.end(), std::inserter(Both, Both.end()));
  return Both;
}

std::string ScriptName(const std::filesystem::path& File) { return File.stem().string(); }

// How the winner won: the first condition of the scenario that names it and holds now.
std::string HowWon(TBrenmoorEngine& E, const std::string& Winner) {
  for (int I = 0; I < E.GetVictoryConditionCount(); ++I) {
    const TVictoryCondition* C = E.GetVictoryCondition(I);
    if (C->Winner != Winner) continue;
    const TNation* N = C->SubjectIsNation() ? E.FindNation(C->Subject) : nullptr;
    const std::int32_t D = N ? N->GetWorldDomination() : E.Upkeep().GetAllianceDomination(C->Subject);
    switch (C->Kind) {
      case 0:
      case 1:
        if (D >= C->Target) return "domination";
        break;
      case 2:
      case 3:
        if (D <= C->Target) return "conquest";
        break;
      case 4:
        if (E.GetImpulse() >= C->Target) return "time";
        break;
      default: break;
    }
  }
  return "?";
}

struct TPowerFigures {
  std::string Script;
  // Played by the first script (--script), not by --versus.
  bool Challenger = false;
  bool OnSide = false;
  // The first turn compiles the script; the others only run it.
  double FirstTurnMs = 0;
  double TurnMsSum = 0;
  double TurnMsMax = 0;
  double CpuMsMax = 0;
  double FirstCpuMs = 0;
  int Turns = 0;
};

struct TGameResult {
  std::string Winner;
  std::string How;
  int Impulse = 0;
  int StartUnits = 0;
  int MaxUnits = 0;
  int ScriptErrors = 0;
  double SideShare = 0;
  double OtherShare = 0;
  double TurnMsMax = 0;
  double FirstTurnMsMax = 0;
  double TurnMsSum = 0;
  double CpuMsMax = 0;
  double FirstCpuMsMax = 0;
  int Turns = 0;
  std::set<int> CodesEveryPower;
  // The order kinds that the first script's powers gave in the game.
  std::set<int> CodesInGame;
  // Major powers without a research level at the end.
  int NoResearch = 0;
  std::string Fault;
};

TGameResult PlayGame(const TOptions& O, const TWorldText& World, std::uint64_t Seed) {
  TComputerGame Game(Seed, O.Guest, World);
  TBrenmoorEngine& E = Game.Host().Engine();
  const int Majors = std::min(E.GetMajorCount(), 7);
  std::vector<TPowerFigures> Powers(static_cast<std::size_t>(Majors));
  for (int N = 0; N < Majors; ++N) {
    TPowerFigures& P = Powers[static_cast<std::size_t>(N)];
    P.OnSide = O.Side.count(E.GetNation(N)->GetName()) > 0;
    const bool Challenger = O.Versus.empty() || (P.OnSide == (Seed % 2 == 0));
    const std::filesystem::path& File = Challenger ? O.Script : O.Versus;
    P.Script = ScriptName(File);
    P.Challenger = Challenger;
    E.GetNation(N)->SetAIScript(File.string());
  }
  TGameResult R;
  R.StartUnits = R.MaxUnits = E.GetUnitCount();
  // The fall of major powers, as the news tells it.
  std::string Falls;
  E.OnConquerNation = [&Falls](TBrenmoorEngine* Sender, TNation* Fallen, TNation* Victor) {
    if (!Fallen->GetMajorPower()) return;
    Falls += "  impulse " + std::to_string(Sender->GetImpulse()) + ": " + Fallen->GetName() + " falls to " +
             (Victor ? Victor->GetName() : std::string("?")) + "\n";
  };
  for (int I = 0; I < O.Impulses; ++I) {
    // The whole games are compared now and then: the dump is the dear part.
    const std::string Fault = Game.RunImpulse(I % 25 == 0);
    if (!Game.Messages.empty()) {
      R.ScriptErrors += static_cast<int>(Game.Messages.size());
      if (!O.Quiet) std::printf("  impulse %d: %s\n", I, Game.Messages.front().c_str());
      Game.Messages.clear();
    } else if (!Fault.empty()) {
      R.Fault = Fault;
      break;
    }
    const int Slot = I % 7;
    if (Slot < Majors && E.GetNation(Slot)->GetAlive()) {
      TPowerFigures& P = Powers[static_cast<std::size_t>(Slot)];
      const double Ms = Game.LastTurnSeconds * 1000.0;
      if (O.Slow > 0 && Ms > O.Slow)
        std::printf("  impulse %d: %s's turn took %.2f ms (%d units in the game, %d turns played)\n", I,
                    E.GetNation(Slot)->GetName().c_str(), Ms, E.GetUnitCount(), P.Turns);
      if (P.Turns == 0) {
        P.FirstTurnMs = Ms;
        P.FirstCpuMs = Game.LastTurnCpuSeconds * 1000.0;
      } else {
        P.TurnMsSum += Ms;
        P.TurnMsMax = std::max(P.TurnMsMax, Ms);
        P.CpuMsMax = std::max(P.CpuMsMax, Game.LastTurnCpuSeconds * 1000.0);
      }
      ++P.Turns;
    }
    R.MaxUnits = std::max(R.MaxUnits, E.GetUnitCount());
    R.Impulse = I;
    if (E.GetWinnerNation() || !E.GetWinnerName().empty()) {
      R.Winner = E.GetWinnerNation() ? E.GetWinnerNation()->GetName() : E.GetWinnerName();
      R.How = HowWon(E, R.Winner);
      break;
    }
  }

  std::printf("Game of seed %llu: ", static_cast<unsigned long long>(Seed));
  if (!R.Fault.empty()) std::printf("stopped: %s\n", R.Fault.c_str());
  else if (R.Winner.empty()) std::printf("no winner after %d impulses (%s)\n", R.Impulse + 1, LongDateToStr(E.GetDate()).c_str());
  else std::printf("%s wins by %s at impulse %d (%s)\n", R.Winner.c_str(), R.How.c_str(), R.Impulse, LongDateToStr(E.GetDate()).c_str());
  std::printf("%s", Falls.c_str());
  std::printf("  units %d at the start, at most %d, %d at the end; script errors %d\n", R.StartUnits, R.MaxUnits, E.GetUnitCount(),
              R.ScriptErrors);
  std::printf("  %-15s %-12s %5s %-6s %-6s %-16s %6s %6s %9s %9s %9s\n", "power", "script", "share", "alive", "spent",
              "research levels", "units", "losses", "first ms", "turn ms", "max ms");
  std::vector<int> UnitsOf(static_cast<std::size_t>(Majors), 0);
  for (int U = 0; U < E.GetUnitCount(); ++U) {
    const TNation* Owner = E.GetUnit(U)->GetOwner();
    if (Owner && Owner->GetIndex() < Majors) ++UnitsOf[static_cast<std::size_t>(Owner->GetIndex())];
  }
  std::set<int> Codes;
  for (int C = 0; C < OrderTypeCount; ++C) Codes.insert(C);
  for (int N = 0; N < Majors; ++N) {
    const TNation* Nation = E.GetNation(N);
    const TPowerFigures& P = Powers[static_cast<std::size_t>(N)];
    std::string Levels;
    int LevelSum = 0;
    for (int G = 0; G < ResearchGroupCount; ++G) {
      Levels += (G ? " " : "") + std::to_string(Nation->GetResearchLevel(G));
      LevelSum += Nation->GetResearchLevel(G);
    }
    if (P.Challenger) R.NoResearch += LevelSum == 0;
    std::printf("  %-15s %-12s %4d%% %-6s %4d%% %-16s %6d %6d %9.2f %9.2f %9.2f\n", Nation->GetName().c_str(), P.Script.c_str(),
                Nation->GetWorldDomination(), Nation->GetAlive() ? "yes" : "no", Nation->GetResearchSpendingTotal(), Levels.c_str(),
                UnitsOf[static_cast<std::size_t>(N)], Nation->GetScoreDeduction(), P.FirstTurnMs,
                P.Turns > 1 ? P.TurnMsSum / (P.Turns - 1) : 0.0,
                P.TurnMsMax);
    (P.OnSide ? R.SideShare : R.OtherShare) += Nation->GetWorldDomination();
    R.TurnMsMax = std::max(R.TurnMsMax, P.TurnMsMax);
    R.FirstTurnMsMax = std::max(R.FirstTurnMsMax, P.FirstTurnMs);
    R.TurnMsSum += P.TurnMsSum;
    R.CpuMsMax = std::max(R.CpuMsMax, P.CpuMsMax);
    R.FirstCpuMsMax = std::max(R.FirstCpuMsMax, P.FirstCpuMs);
    R.Turns += std::max(0, P.Turns - 1);
    std::string Orders;
    std::set<int> Given;
    for (const auto& [Code, Count] : Game.OrdersByPower[static_cast<std::size_t>(N)]) {
      Orders += std::string(" ") + OrderName(Code) + " " + std::to_string(Count);
      Given.insert(Code);
    }
    std::printf("    orders:%s\n", Orders.empty() ? " none" : Orders.c_str());
    // The kinds every power of the first script gave (a power that fell early may lack some).
    if (P.Challenger) {
      R.CodesInGame.insert(Given.begin(), Given.end());
      Codes = Common(Codes, Given);
    }
  }
  R.CodesEveryPower = Codes;
  std::string All;
  for (const auto& [Code, Count] : Game.OrdersByCode) All += std::string(" ") + OrderName(Code) + " " + std::to_string(Count);
  std::printf("  all orders:%s\n\n", All.c_str());
  std::fflush(stdout);
  return R;
}

}  // namespace

int main(int Argc, char** Argv) {
  const TOptions O = ReadOptions(Argc, Argv);
  const TWorldText World = ReadWorld(O);
  const TCurrentFolder In(O.Folder);
  std::vector<TGameResult> Results;
  std::map<std::string, int> Winners;
  std::map<std::string, int> Hows;
  int SideAhead = 0, ChallengerAhead = 0, Bounded = 0, Faults = 0, Errors = 0;
  double TurnMsMax = 0, FirstTurnMsMax = 0, TurnMsSum = 0, CpuMsMax = 0, FirstCpuMsMax = 0;
  int Turns = 0;
  std::vector<int> Ends;
  std::optional<std::set<int>> Codes;
  std::optional<std::set<int>> GameCodes;
  std::map<int, int> GamesWithCode;
  int AllResearched = 0;
  for (int G = 0; G < O.Seeds; ++G) {
    const std::uint64_t Seed = O.FirstSeed + static_cast<std::uint64_t>(G);
    TGameResult R = PlayGame(O, World, Seed);
    if (!R.Fault.empty()) ++Faults;
    Errors += R.ScriptErrors;
    ++Winners[R.Winner.empty() ? "(none)" : R.Winner];
    ++Hows[R.How.empty() ? "(none)" : R.How];
    if (!R.Winner.empty()) Ends.push_back(R.Impulse);
    const bool SideWins = R.SideShare > R.OtherShare;
    SideAhead += SideWins;
    // The first script plays the side in games of even seed.
    ChallengerAhead += (Seed % 2 == 0) == SideWins && R.SideShare != R.OtherShare;
    Bounded += R.MaxUnits <= 3 * R.StartUnits;
    TurnMsMax = std::max(TurnMsMax, R.TurnMsMax);
    FirstTurnMsMax = std::max(FirstTurnMsMax, R.FirstTurnMsMax);
    TurnMsSum += R.TurnMsSum;
    CpuMsMax = std::max(CpuMsMax, R.CpuMsMax);
    FirstCpuMsMax = std::max(FirstCpuMsMax, R.FirstCpuMsMax);
    Turns += R.Turns;
    AllResearched += R.NoResearch == 0;
    GameCodes = GameCodes ? Common(*GameCodes, R.CodesInGame) : R.CodesInGame;
    for (int C : R.CodesInGame) ++GamesWithCode[C];
    Codes = Codes ? Common(*Codes, R.CodesEveryPower) : R.CodesEveryPower;
  }
  std::sort(Ends.begin(), Ends.end());
  std::printf("Summary of %d games (seeds %llu to %llu), %s", O.Seeds, static_cast<unsigned long long>(O.FirstSeed),
              static_cast<unsigned long long>(O.FirstSeed + static_cast<std::uint64_t>(O.Seeds) - 1), ScriptName(O.Script).c_str());
  if (!O.Versus.empty()) std::printf(" against %s", ScriptName(O.Versus).c_str());
  std::printf("\n  winners:");
  for (const auto& [Name, Count] : Winners) std::printf(" %s %d", Name.c_str(), Count);
  std::printf("\n  how:");
  for (const auto& [Name, Count] : Hows) std::printf(" %s %d", Name.c_str(), Count);
  if (!Ends.empty())
    std::printf("\n  ending impulse: first %d, median %d, last %d", Ends.front(), Ends[Ends.size() / 2], Ends.back());
  if (!O.Versus.empty()) std::printf("\n  %s's powers ahead on industry share in %d of %d games", ScriptName(O.Script).c_str(), ChallengerAhead, O.Seeds);
  std::printf("\n  side (%zu powers) ahead in %d games; unit count within 3x the start in %d games", O.Side.size(), SideAhead, Bounded);
  std::printf("\n  every %s power raised a research level in %d games", ScriptName(O.Script).c_str(), AllResearched);
  std::printf("\n  turn of a power: %.2f ms on average, slowest %.2f ms (%.2f ms of processor time); first turn (compiling the "
              "script) at most %.2f ms (%.2f ms)",
              Turns ? TurnMsSum / Turns : 0.0, TurnMsMax, CpuMsMax, FirstTurnMsMax, FirstCpuMsMax);
  std::printf("\n  script errors %d; stopped games %d\n  order kinds given in every game:", Errors, Faults);
  for (int C : *GameCodes) std::printf(" %s", OrderName(C));
  std::printf("\n  order kinds given in some games only:");
  for (const auto& [Code, Count] : GamesWithCode)
    if (!GameCodes->count(Code)) std::printf(" %s %d", OrderName(Code), Count);
  std::printf("\n  order kinds given by every %s power in every game:", ScriptName(O.Script).c_str());
  for (int C : *Codes) std::printf(" %s", OrderName(C));
  std::printf("\n");
  // A game that stopped or a script error fails the run (the build's smoke test reads it).
  return Faults || Errors ? 1 : 0;
}
