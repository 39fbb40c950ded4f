#pragma once
// The script module: the seven brains of the computer players, the registry of the game
// functions they call, and the module's working state (the brain and engine of the run, the
// unit and zone last named by an argument, the patrol route being built, the rings of the
// nearest-enemy search). Orders, chat and script output leave through sinks that the main
// window implements, so the whole module runs headless.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/ImpulseSteps.h"
#include "foundation/Bitset.h"
#include "foundation/Random.h"
#include "players/Brain.h"
#include "script/ScriptFunctions.h"

// Where a computer player's orders go: one order record each, as a human's order entry writes
// it (the main window hands it to the impulse clock).
class TOrderSink {
public:
  virtual ~TOrderSink() = default;
  virtual void IssueOrder(const std::string& Record) = 0;
};

// Where a script's chat and output go (the lobby connection and the chat and output windows).
class TScriptChatSink {
public:
  virtual ~TScriptChatSink() = default;
  // Line: "GAMECHAT|" player ";" channel ";" text, for the lobby connection.
  virtual void SendGameChat(const std::string& Line) = 0;
  // Appends Text (player "> " text) to the memo of Channel (0 all, 1 allied, 2 enemy) and
  // shows the chat window; another channel appends nothing but still shows the window.
  virtual void ShowChat(std::int32_t Channel, const std::string& Text) = 0;
  // Shows the script output window and appends the line.
  virtual void Print(const std::string& Line) = 0;
};

// What the player is told of a computer player that failed, in the program's words.
struct TBrainReport {
  enum TKind : std::uint8_t {
    // The script did not compile: "Could not compile Brain Script for <nation>" and why; the
    // nation plays an empty script for the rest of the game (a message box).
    brCompile,
    // A run failed: the turn ended at the error (a line of the script output window).
    brRun,
    // A run took more than the step budget and was ended there (as brRun).
    brSteps,
  };
  TKind Kind = brRun;
  const TNation* Nation = nullptr;
  std::string Text;
};

class TdmScript {
public:
  static constexpr int BrainCount = 7;
  // The steps (calls and passes of loops without one, TFuncs::SetStepBudget) a computer
  // player's turn may take. The default script takes about twelve thousand a turn and never
  // more than twenty-five thousand in whole games of the Standard scenario, so a sound script
  // stays far below; ten million take some tenths of a second, a wait the player notices but
  // that does not stop the game. Steps, not time: whether and where a turn ends must not
  // depend on the machine or its load, so that a game of computer players replays alike.
  static constexpr std::uint64_t TurnStepBudget = 10'000'000;

  TdmScript();
  ~TdmScript();
  TdmScript(const TdmScript&) = delete;
  TdmScript& operator=(const TdmScript&) = delete;

  // brain0..brain6: PlayerIndex 0..6, errors shown (Exceptions false), the module's registry.
  TBrenmoorBrain& GetBrain(int I) { return *FBrains.at(static_cast<std::size_t>(I)); }
  // brain0..brain5 for a nation of index 0..5, brain6 for any other.
  TBrenmoorBrain& BrainForPlayer(const TNation* Nation);
  // The engine every brain plays (the main window's).
  void SetBrenmoorEngine(TBrenmoorEngine* Engine);
  TBrenmoorEngine* GetBrenmoorEngine() const { return FEngine; }
  TFuncs& GetFuncs() { return FFuncs; }
  // The game functions, in registration order.
  std::int32_t GameFunctionCount() const { return static_cast<std::int32_t>(FGameFunctions.size()); }
  TFunc& GameFunction(std::int32_t I) const { return *FGameFunctions.at(static_cast<std::size_t>(I)); }

  void SetOrderSink(TOrderSink* Sink) { FOrderSink = Sink; }
  void SetChatSink(TScriptChatSink* Sink) { FChatSink = Sink; }
  // The impulse number that Print writes (the impulse clock's).
  void SetCurrentImpulse(std::int32_t Value) { FCurrentImpulse = Value; }
  // The generator of the scripts' Random (seed it to replay a game of computer players).
  TRandomGenerator& GetRandom() { return FRandom; }

  // --- State of the run ---
  TBrenmoorEngine* CurrentEngine = nullptr;
  TBrenmoorBrain* CurrentBrain = nullptr;
  TUnit* CurrentUnit = nullptr;
  TBrenmoorZone* CurrentZone = nullptr;
  // The patrol route being built, by zone index (it outlives runs, brains and games, so it
  // holds no pointer into a map that may be loaded anew); PatrolStart -1 for none.
  std::vector<std::int32_t> PatrolZones;
  std::int32_t PatrolStart = -1;
  std::vector<TBrenmoorZone*> SearchRing;
  std::vector<TBrenmoorZone*> NextRing;
  std::vector<TUnit*> MergeList;

  // --- Argument conventions of the game functions (argument I of the call) ---
  // The brain of the run; without one a game function raises a script error.
  TBrenmoorBrain& Brain() const;
  TBrenmoorEngine& Engine() const;
  // The nation of the brain of the run.
  TNation* Player() const;
  static std::int32_t IntArg(const TArgList& Args, std::int32_t I);
  static bool BoolArg(const TArgList& Args, std::int32_t I);
  static std::string StringArg(const TArgList& Args, std::int32_t I);
  // A position in the seen-unit list; outside it raises the list's index error.
  TUnit* UnitArgument(const TArgList& Args, std::int32_t I = 0) const;
  // UnitArgument; the unit becomes CurrentUnit; true when the player owns it.
  bool OwnUnitArgument(const TArgList& Args, std::int32_t I = 0);
  // An index into the zones; -1 gives nullptr; other values outside raise the index error.
  TBrenmoorZone* ZoneArgument(const TArgList& Args, std::int32_t I = 0) const;
  // ZoneArgument, except that -1 (no zone) is a script error too.
  TBrenmoorZone* ValidZoneArgument(const TArgList& Args, std::int32_t I = 0) const;
  // ZoneArgument; the zone becomes CurrentZone; true when the player sees it.
  bool VisibleZoneArgument(const TArgList& Args, std::int32_t I = 0);
  // ZoneArgument; the zone becomes CurrentZone; true when the player owns it.
  bool OwnZoneArgument(const TArgList& Args, std::int32_t I = 0);
  TNation* NationArgument(const TArgList& Args, std::int32_t I = 0) const;

  // Registers one game function: its declaration text and its handler.
  void AddGameFunction(const std::string& Declaration, TFunc::TOnEvalEvent Handler);

  // The turn at the start of an impulse on the machine that runs the rules: the brain of the
  // major power of Impulse mod 7, when that power is computer-played and alive, plays the
  // module's engine. Its script is loaded and compiled at the nation's first run in the game
  // (the nation's AIScript file, "Default.brmai" when it names none, read relative to the
  // current folder; the built-in default script when the file does not exist). A script that
  // does not compile is reported once, through OnShowMessage, and the nation then plays an
  // empty script for the rest of the game. A run may take TurnStepBudget steps; a failure
  // (an error or the budget spent) ends the run where it happened: the orders the script gave
  // before stand, as a human player's orders stand, and the other powers play on. Every
  // failure goes to OnShowMessage; the player hears of it through OnReport once per power
  // and error in a game. Host false: no brain runs. Returns true when a brain ran and its
  // script ended without an error.
  bool RunTurn(std::int32_t Impulse, bool Host);
  // The steps the last turn's run took, and whether it was ended for spending the budget
  // (0 and false when the last turn ran no brain).
  std::uint64_t LastTurnSteps() const { return FLastTurnSteps; }
  bool LastTurnOverBudget() const { return FLastTurnOverBudget; }

  // The turn as the impulse's steps call it (TImpulseHooks::OnComputerTurn): RunTurn on the
  // machine that runs the rules, for the module's engine.
  TImpulseHooks::TImpulseEvent TurnHook();

  // The whole of the main window's handler at the start of an impulse, on every machine: the
  // engine's steps before the impulse (BeforeImpulse: the impulse number, the date advanced
  // by the impulse rate, the turn on the host, the per-impulse reset), returning the date as
  // the date label shows it ("mmmm d, yyyy", the date before the advance). The window clears
  // its own bombardment-sound flag after it.
  std::string BeforeProcess(std::int32_t Impulse, bool Host);

  // The built-in default script (used when a nation's script file does not exist): the text
  // of the program folder's Default.brmai, built into the program.
  static const char* DefaultScript();

  // Ends every running script at its next call (the game ends or the window closes). The
  // next compile or run of a script clears the stop again.
  void StopScripts() { FFuncs.SetStopped(true); }

  // A new game: forgets the patrol route, the nearest-enemy search's sizes and the unit and
  // zone of the last run (they belong to the game that went).
  void NewGame();

  // Where the brains' messages go as the script component writes them (every script error,
  // at every run, and the refusal of a script that does not compile). Headless when
  // unassigned.
  std::function<void(const std::string& Text)> OnShowMessage;
  // What the player is told of a failed computer player: the power, the script file, the line
  // and column, and that the power stands idle. A script that does not compile is reported
  // when it is loaded; a failure of a run once per power and error (the same error at the
  // same place in a later turn, or a later turn that also spends the budget, is not told
  // again in that game). The program shows a compile failure in a message box and a run's
  // failure in the script output window.
  std::function<void(const TBrainReport& Report)> OnReport;

private:
  // Query functions (QueryFunctions.cpp) and orders and stateful functions
  // (OrderFunctions.cpp), each adding its handlers with AddGameFunction.
  void RegisterQueryFunctions();
  void RegisterOrderFunctions();

  // Reads and compiles the nation's script for Brain (the first run of the nation in a game).
  void LoadBrainScript(TNation& Nation, TBrenmoorBrain& Brain);
  void ShowMessage(const std::string& Text) {
    if (OnShowMessage) OnShowMessage(Text);
  }
  // The failure of a run of Brain, for OnReport once per power and error.
  void ReportRunFailure(const TNation& Nation, const TBrenmoorBrain& Brain, const std::exception& Error);
  // "Germany.brmai, line 3, column 7" of a position in Brain's script (without a position:
  // the script alone).
  std::string PlaceText(const TBrenmoorBrain& Brain, std::int32_t Position) const;

  TFuncs FFuncs;
  TBrenmoorEngine* FEngine = nullptr;
  std::array<std::unique_ptr<TBrenmoorBrain>, BrainCount> FBrains;
  std::vector<std::unique_ptr<TFunc>> FGameFunctions;
  TOrderSink* FOrderSink = nullptr;
  TScriptChatSink* FChatSink = nullptr;
  std::int32_t FCurrentImpulse = 0;
  TRandomGenerator FRandom;
  std::uint64_t FLastTurnSteps = 0;
  bool FLastTurnOverBudget = false;
  // Per brain: where its script came from (the nation's file name, or the built-in default
  // script), and the failures of its runs already told in this game.
  std::array<std::string, BrainCount> FScriptSource;
  std::array<std::set<std::string>, BrainCount> FReported;

public:
  // Used by the order functions.
  TOrderSink* GetOrderSink() const { return FOrderSink; }
  TScriptChatSink* GetChatSink() const { return FChatSink; }
  std::int32_t GetCurrentImpulse() const { return FCurrentImpulse; }
  // The visited set of the nearest-enemy search and the zone count it was sized for.
  TBitSet Bits;
  std::int32_t ZoneCountCache = 0;
};
