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
//
// Per game and power the table gives the orders by kind, the units built by type, the armies
// that embarked and the landings on enemy shores (disembarking into a zone that was not the
// power's or an ally's at the start of the impulse), the research levels reached and the
// script's errors; the summary adds them up per power over all games, and with --versus sums
// each script's industry share and counts the games each script and each side led.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>
#include <unordered_map>
#include <vector>

#include "ComputerGame.h"
#include "engine/ChangeCodes.h"
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

// The fields of a change record ("code;field;...;").
std::vector<std::string> RecordFields(const std::string& Record) {
  std::vector<std::string> Fields;
  std::stringstream S(Record);
  for (std::string Field; std::getline(S, Field, ';');) Fields.push_back(Field);
  return Fields;
}

// A field that is a whole number, or Otherwise.
int FieldNumber(const std::vector<std::string>& Fields, std::size_t I, int Otherwise = -1) {
  int Value = Otherwise;
  if (I >= Fields.size()) return Otherwise;
  const std::string& F = Fields[I];
  const auto [End, Error] = std::from_chars(F.data(), F.data() + F.size(), Value);
  return Error == std::errc() && End == F.data() + F.size() ? Value : Otherwise;
}

// What one power did in one game (and, added up, in all games).
struct TPowerPlay {
  std::map<int, int> Orders;
  std::array<int, UnitTypeCount> Built{};
  int Embarks = 0;
  // Armies that disembarked into a zone that was neither the power's nor an ally's.
  int Invasions = 0;
  std::array<int, ResearchGroupCount> Levels{};
  int Share = 0;
  // The turns that ended with an error, those of them that spent the step budget, and what
  // the player was told first.
  int Errors = 0;
  int OverBudget = 0;
  std::string FirstError;
  // The script steps of its turns: their sum, the most of one turn, the turns.
  std::uint64_t Steps = 0;
  std::uint64_t StepsMax = 0;
  int Turns = 0;

  void Add(const TPowerPlay& O) {
    for (const auto& [Code, Count] : O.Orders) Orders[Code] += Count;
    for (std::size_t T = 0; T < Built.size(); ++T) Built[T] += O.Built[T];
    Embarks += O.Embarks;
    Invasions += O.Invasions;
    Share += O.Share;
    Errors += O.Errors;
    OverBudget += O.OverBudget;
    if (FirstError.empty()) FirstError = O.FirstError;
    Steps += O.Steps;
    StepsMax = std::max(StepsMax, O.StepsMax);
    Turns += O.Turns;
  }
};

// "Infantry 12 Armor 3" of the types built (" none" when nothing was).
std::string BuiltText(const std::array<int, UnitTypeCount>& Built) {
  std::string Text;
  for (std::size_t T = 0; T < Built.size(); ++T)
    if (Built[T]) Text += std::string(" ") + UnitTypes[T].Name + " " + std::to_string(Built[T]);
  return Text.empty() ? " none" : Text;
}

std::string OrdersText(const std::map<int, int>& Orders) {
  std::string Text;
  for (const auto& [Code, Count] : Orders) Text += std::string(" ") + OrderName(Code) + " " + std::to_string(Count);
  return Text.empty() ? " none" : Text;
}

// Reads the host's change records of one impulse for what the powers did in it: the builds
// started (kept per zone until the unit is built), the units built, the embarks and the
// landings. Owners and zone owners are those of the start of the impulse where the unit or
// zone may have changed hands or gone since.
class TPlayCounter {
public:
  explicit TPlayCounter(int Majors) : FMajors(Majors) {}

  // Before the impulse: who owns what.
  void Before(const TBrenmoorEngine& E) {
    FUnitOwner.clear();
    for (int U = 0; U < E.GetUnitCount(); ++U) {
      const TUnit* Unit = E.GetUnit(U);
      FUnitOwner[Unit->ID] = Unit->GetOwner();
    }
    FZoneOwner.assign(static_cast<std::size_t>(E.GetZoneCount()), nullptr);
    for (int Z = 0; Z < E.GetZoneCount(); ++Z) FZoneOwner[static_cast<std::size_t>(Z)] = E.GetZone(Z)->GetOwner();
  }

  void After(const TBrenmoorEngine& E, const std::vector<std::string>& Records, std::vector<TPowerPlay>& Powers) {
    const auto PowerOf = [&](const TNation* N) -> TPowerPlay* {
      const int I = N ? N->GetIndex() : -1;
      return I >= 0 && I < FMajors ? &Powers[static_cast<std::size_t>(I)] : nullptr;
    };
    const auto OwnerBefore = [&](int ID) -> const TNation* {
      const auto It = FUnitOwner.find(ID);
      if (It != FUnitOwner.end()) return It->second;
      const TUnit* Unit = E.GetUnitByID(ID);
      return Unit ? Unit->GetOwner() : nullptr;
    };
    for (const std::string& Record : Records) {
      const std::vector<std::string> F = RecordFields(Record);
      const int Code = FieldNumber(F, 0);
      if (Code == chBuildStarted) {
        std::array<int, UnitTypeCount> Counts{};
        std::stringstream S(F.size() > 3 ? F[3] : std::string());
        std::size_t T = 0;
        for (std::string Count; T < Counts.size() && std::getline(S, Count, '#'); ++T)
          Counts[T] = FieldNumber({Count}, 0, 0);
        FBuilding[FieldNumber(F, 1)] = Counts;
      } else if (Code == chUnitsBuilt) {
        const int Zone = FieldNumber(F, 1);
        const auto It = FBuilding.find(Zone);
        if (It == FBuilding.end() || Zone < 0 || Zone >= E.GetZoneCount()) continue;
        if (TPowerPlay* P = PowerOf(E.GetZone(Zone)->GetOwner()))
          for (std::size_t T = 0; T < P->Built.size(); ++T) P->Built[T] += It->second[T];
        FBuilding.erase(It);
      } else if (Code == chUnitEmbarked) {
        if (TPowerPlay* P = PowerOf(OwnerBefore(FieldNumber(F, 1)))) ++P->Embarks;
      } else if (Code == chUnitDisembarked) {
        const int ID = FieldNumber(F, 1);
        const TNation* Owner = OwnerBefore(ID);
        const TUnit* Unit = E.GetUnitByID(ID);
        // An army that is gone by the end of the impulse fell in the fight for its beach.
        const TBrenmoorZone* Zone = Unit ? Unit->GetZone() : nullptr;
        const TNation* Held =
            Zone && Zone->GetIndex() < static_cast<int>(FZoneOwner.size()) ? FZoneOwner[static_cast<std::size_t>(Zone->GetIndex())] : nullptr;
        const bool Enemy = !Unit || (Held && Owner && !Held->IsAlliedWith(Owner));
        if (TPowerPlay* P = PowerOf(Owner); P && Enemy) ++P->Invasions;
      }
    }
  }

private:
  int FMajors;
  std::unordered_map<std::int32_t, const TNation*> FUnitOwner;
  std::vector<const TNation*> FZoneOwner;
  // The counts of the builds under way, by zone.
  std::map<int, std::array<int, UnitTypeCount>> FBuilding;
};

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
  // The script steps of the turns.
  std::uint64_t StepsSum = 0;
  std::uint64_t StepsMax = 0;
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
  // By major power: its name, its script, whether the first script played it, what it did.
  std::vector<std::string> Names;
  std::vector<TPowerFigures> Powers;
  std::vector<TPowerPlay> Plays;
  // The industry shares of the first script's powers and of the --versus script's.
  int ChallengerShare = 0;
  int VersusShare = 0;
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
  std::vector<TPowerPlay> Plays(static_cast<std::size_t>(Majors));
  TPlayCounter Counter(Majors);
  // The fall of major powers, as the news tells it.
  std::string Falls;
  E.OnConquerNation = [&Falls](TBrenmoorEngine* Sender, TNation* Fallen, TNation* Victor) {
    if (!Fallen->GetMajorPower()) return;
    Falls += "  impulse " + std::to_string(Sender->GetImpulse()) + ": " + Fallen->GetName() + " falls to " +
             (Victor ? Victor->GetName() : std::string("?")) + "\n";
  };
  for (int I = 0; I < O.Impulses; ++I) {
    // The whole games are compared now and then: the dump is the dear part.
    Counter.Before(E);
    const std::string Fault = Game.RunImpulse(I % 25 == 0);
    Counter.After(E, Game.Host().Sink.Records, Plays);
    // What the players would be told, once per power and error.
    for (const TBrainReport& Report : Game.Reports) {
      const int N = Report.Nation ? Report.Nation->GetIndex() : -1;
      if (N >= 0 && N < Majors && Plays[static_cast<std::size_t>(N)].FirstError.empty())
        Plays[static_cast<std::size_t>(N)].FirstError = Report.Text;
      if (!O.Quiet) std::printf("  impulse %d: %s\n", I, Report.Text.c_str());
    }
    Game.Reports.clear();
    if (!Game.Messages.empty()) {
      R.ScriptErrors += static_cast<int>(Game.Messages.size());
      // A brain speaks only in its own turn: the messages are those of the power of the impulse.
      if (I % 7 < Majors) {
        TPowerPlay& P = Plays[static_cast<std::size_t>(I % 7)];
        ++P.Errors;
        P.OverBudget += Game.LastTurnOverBudget;
      }
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
      P.StepsSum += Game.LastTurnSteps;
      P.StepsMax = std::max(P.StepsMax, Game.LastTurnSteps);
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
    TPowerPlay& Play = Plays[static_cast<std::size_t>(N)];
    for (int G = 0; G < ResearchGroupCount; ++G) Play.Levels[static_cast<std::size_t>(G)] = Nation->GetResearchLevel(G);
    Play.Share = Nation->GetWorldDomination();
    Play.Orders = Game.OrdersByPower[static_cast<std::size_t>(N)];
    Play.Steps = P.StepsSum;
    Play.StepsMax = P.StepsMax;
    Play.Turns = P.Turns;
    (P.Challenger ? R.ChallengerShare : R.VersusShare) += Play.Share;
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
    std::printf("    built:%s; embarks %d, landings on enemy shores %d\n", BuiltText(Play.Built).c_str(), Play.Embarks,
                Play.Invasions);
    if (Play.Errors)
      std::printf("    turns ended by an error %d, by the step budget %d; the player was told first: %s\n", Play.Errors,
                  Play.OverBudget, Play.FirstError.c_str());
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
  for (int N = 0; N < Majors; ++N) R.Names.push_back(E.GetNation(N)->GetName());
  R.Powers = Powers;
  R.Plays = std::move(Plays);
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
  // By major power: the name, what it did in all games, the games in which it reached level 1
  // of each research group and the highest level, its shares by script (sum, games).
  std::vector<std::string> Names;
  std::vector<TPowerPlay> Totals;
  std::vector<std::array<int, ResearchGroupCount>> Reached, Highest;
  std::vector<std::map<std::string, std::pair<int, int>>> SharesByScript;
  // --versus: the shares summed over games, the games each script led, the games the side led
  // when the first script played it and when the other did.
  int ChallengerShare = 0, VersusShare = 0, VersusAhead = 0, SideAheadAsChallenger = 0, SideAheadAsVersus = 0;
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
    ChallengerShare += R.ChallengerShare;
    VersusShare += R.VersusShare;
    VersusAhead += R.VersusShare > R.ChallengerShare;
    if (SideWins) ++((Seed % 2 == 0) ? SideAheadAsChallenger : SideAheadAsVersus);
    if (Names.size() < R.Names.size()) {
      Names = R.Names;
      Totals.resize(Names.size());
      Reached.resize(Names.size());
      Highest.resize(Names.size());
      SharesByScript.resize(Names.size());
    }
    for (std::size_t N = 0; N < R.Plays.size(); ++N) {
      const TPowerPlay& Play = R.Plays[N];
      Totals[N].Add(Play);
      for (std::size_t G = 0; G < Play.Levels.size(); ++G) {
        Reached[N][G] += Play.Levels[G] > 0;
        Highest[N][G] = std::max(Highest[N][G], Play.Levels[G]);
      }
      auto& [Sum, Games] = SharesByScript[N][R.Powers[N].Script];
      Sum += Play.Share;
      ++Games;
    }
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
  if (!O.Versus.empty()) {
    const std::string A = ScriptName(O.Script), B = ScriptName(O.Versus);
    std::printf("\n  %s's powers ahead on industry share in %d of %d games", A.c_str(), ChallengerAhead, O.Seeds);
    std::printf("\n  industry share summed over the games: %s %d (%.1f%% a game), %s %d (%.1f%% a game)", A.c_str(),
                ChallengerShare, static_cast<double>(ChallengerShare) / O.Seeds, B.c_str(), VersusShare,
                static_cast<double>(VersusShare) / O.Seeds);
    std::printf("\n  wins on industry: %s %d, %s %d, even %d", A.c_str(), ChallengerAhead, B.c_str(), VersusAhead,
                O.Seeds - ChallengerAhead - VersusAhead);
    std::printf("\n  wins on industry of the side (%zu powers): played by %s %d of %d, played by %s %d of %d", O.Side.size(),
                A.c_str(), SideAheadAsChallenger, (O.Seeds + (O.FirstSeed % 2 == 0 ? 1 : 0)) / 2, B.c_str(),
                SideAheadAsVersus, (O.Seeds + (O.FirstSeed % 2 == 1 ? 1 : 0)) / 2);
  }
  std::printf("\n  side (%zu powers) ahead in %d games; unit count within 3x the start in %d games", O.Side.size(), SideAhead, Bounded);
  std::printf("\n  every %s power raised a research level in %d games", ScriptName(O.Script).c_str(), AllResearched);
  std::printf("\n  turn of a power: %.2f ms on average, slowest %.2f ms (%.2f ms of processor time); first turn (compiling the "
              "script) at most %.2f ms (%.2f ms)",
              Turns ? TurnMsSum / Turns : 0.0, TurnMsMax, CpuMsMax, FirstTurnMsMax, FirstCpuMsMax);
  {
    std::uint64_t Steps = 0, StepsMax = 0;
    int StepTurns = 0, OverBudget = 0;
    for (const TPowerPlay& T : Totals) {
      Steps += T.Steps;
      StepsMax = std::max(StepsMax, T.StepsMax);
      StepTurns += T.Turns;
      OverBudget += T.OverBudget;
    }
    std::printf("\n  script steps of a turn: %.0f on average, at most %llu (the budget of a turn is %llu); turns ended by the "
                "budget %d",
                StepTurns ? static_cast<double>(Steps) / StepTurns : 0.0, static_cast<unsigned long long>(StepsMax),
                static_cast<unsigned long long>(TdmScript::TurnStepBudget), OverBudget);
  }
  std::printf("\n  script errors %d; stopped games %d\n  order kinds given in every game:", Errors, Faults);
  for (int C : *GameCodes) std::printf(" %s", OrderName(C));
  std::printf("\n  order kinds given in some games only:");
  for (const auto& [Code, Count] : GamesWithCode)
    if (!GameCodes->count(Code)) std::printf(" %s %d", OrderName(Code), Count);
  std::printf("\n  order kinds given by every %s power in every game:", ScriptName(O.Script).c_str());
  for (int C : *Codes) std::printf(" %s", OrderName(C));
  std::printf("\n  by power, over all games (share: the mean industry share at the end; research: the games in which the "
              "power reached a level of the group, and its highest level):");
  for (std::size_t N = 0; N < Names.size(); ++N) {
    const TPowerPlay& T = Totals[N];
    std::printf("\n  %s: share %.1f%%", Names[N].c_str(), static_cast<double>(T.Share) / O.Seeds);
    if (SharesByScript[N].size() > 1)
      for (const auto& [Script, Sum] : SharesByScript[N])
        std::printf(", %s %.1f%% in %d games", Script.c_str(), static_cast<double>(Sum.first) / Sum.second, Sum.second);
    std::printf("; script steps of a turn %.0f on average, at most %llu", T.Turns ? static_cast<double>(T.Steps) / T.Turns : 0.0,
                static_cast<unsigned long long>(T.StepsMax));
    std::printf("; turns ended by an error %d, by the step budget %d", T.Errors, T.OverBudget);
    if (!T.FirstError.empty()) std::printf("\n    the player was told first: %s", T.FirstError.c_str());
    std::printf("\n    orders:%s", OrdersText(T.Orders).c_str());
    std::printf("\n    built:%s; embarks %d, landings on enemy shores %d", BuiltText(T.Built).c_str(), T.Embarks, T.Invasions);
    std::printf("\n    research:");
    for (std::size_t G = 0; G < Reached[N].size(); ++G)
      std::printf("%s %s %d/%d", G ? "," : "", ResearchGroupNames[G], Reached[N][G], Highest[N][G]);
  }
  std::printf("\n");
  // A game that stopped or a script error fails the run (the build's smoke test reads it).
  return Faults || Errors ? 1 : 0;
}
