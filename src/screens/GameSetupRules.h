#pragma once
// What the set-up screen and the game's start and end decide, without windows: the set-up's
// refusals and questions, the game toolbar's and status bar's controls by the engine's options,
// the impulse interval, the score history's timing, the zone the map centres on at the start,
// the victory found after an impulse and whether a victory may go on in free-for-all.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class TBrenmoorEngine;
class TBrenmoorZone;
class TNation;

// --- Set-up ---

// The alliance column of the set-up's nation list: the alliance, or "[" + the nation's name +
// "]" for a nation without one (so that it can only be chosen alone).
std::string AllianceColumnText(const std::string& NationName, const std::string& Alliance);

// The two lines of the victory-condition list for a condition's description: "*" + the part
// before its first ":" + ":" (a heading), then the rest after that ":".
std::vector<std::string> VictoryConditionLines(const std::string& Description);

struct TSetupChoice {
  bool ScenarioSelected = false;
  // A solo set-up (else an online one).
  bool Solo = true;
  // Online: the number of players chosen.
  int Players = 2;
  // Solo: the alliance column of every ticked nation, in list order.
  std::vector<std::string> TickedAlliances;
};

enum TSetupVerdict : std::uint8_t {
  // Nothing starts; Message says why.
  svRefuse,
  // Solo: no nation ticked; ask Message (Yes starts a duel of computer players).
  svAskAIDuel,
  // Online: ask for the game's name (then the room is made).
  svAskGameName,
  // Solo: the game starts with the ticked nations played here.
  svStart,
};

struct TSetupDecision {
  TSetupVerdict Verdict = svRefuse;
  std::string Message;
  // Online refusal: the player count goes back to 2 and takes the focus.
  bool ResetPlayers = false;
};

inline constexpr const char* NoScenarioMessage = "Please select a Scenario file.";
inline constexpr const char* TooFewPlayersMessage = "Please Select at least 2 Players for an Online Game.";
inline constexpr const char* MixedAlliancesMessage = "The Nations that you select must all belong to the same Alliance.";
inline constexpr const char* AIDuelQuestion =
    "You have not selected to control any Nations.  Do you want to conduct an AI Duel?";

TSetupDecision JudgeSetup(const TSetupChoice& Choice);

// --- The game screen's controls ---

// Which of the game toolbar's buttons and the status bar's nation controls show.
struct TGameControls {
  bool News = false;
  bool Research = false;
  bool Diplomacy = false;
  bool Formations = false;
  bool Communicate = false;
  bool Pause = false;
  bool Surrender = false;
  bool FastAIDuel = false;
  // The status bar's controls of the current nation (flag, resources, score, the nation list).
  bool NationControls = false;
};
// EngineOptions: the scenario's option bits (bit 0 diplomacy, bit 3 news, bit 4 research).
TGameControls GameControlsShown(std::uint8_t EngineOptions, bool AllComputer, bool LoggedIn);

// The impulse interval: the fast duel's while its button is down in a game of computer players
// only, else the normal one.
std::int32_t ImpulseInterval(bool AllComputer, bool FastDuelDown);

// --- The score history ---

// A point of the score history is taken every 30 impulses; a new game starts the count at 30,
// so its first point comes after its first impulse.
inline constexpr int ScorePointImpulses = 30;
struct TScorePointStep {
  int Counter = 0;
  bool AddPoint = false;
};
// The count after one more impulse, and whether a point is due now.
TScorePointStep ScorePointAfterImpulse(int Counter);

// --- The start ---

// The zone the map centres on and selects when a game starts: the current nation's capital;
// else, from zone 0 on, the zone of highest industry whose owner is played here (the first of
// equals); zone 0 when none is; nullptr only for a map without zones.
TBrenmoorZone* StartingZone(const TBrenmoorEngine& Engine, const TNation* CurrentNation);

// --- The end ---

// A game's end as EndGame takes it: the banner's message, whether it is a victory, whether the
// impulse clock stops.
struct TGameEnd {
  std::string Message;
  bool IsVictory = false;
  bool Stop = false;
};

// What the after-impulse victory check reads from the engine.
struct TVictoryState {
  bool FreeForAll = false;
  // The victorious nation's name, else the victorious alliance's ("" for none).
  std::string WinnerNation;
  std::string WinnerAlliance;
  // The engine's own test: not in a game of computer players only, and two major powers alive.
  bool CanContinueFreeForAll = false;
  int LivingMajors = 0;
  // The first living major power in index order ("" for none).
  std::string FirstLivingMajor;
};
TVictoryState VictoryStateOf(const TBrenmoorEngine& Engine);
// The end the state calls for after an impulse, nothing while the game goes on.
std::optional<TGameEnd> VictoryAfterImpulse(const TVictoryState& State);

// Free-for-all is offered after a victory when the game may go on in it (FreeForAllMayGoOn,
// the engine's rule) and more than one living major power has industry.
struct TFreeForAllState {
  int LivingMajors = 0;
  bool AllComputer = false;
  int LivingMajorsWithIndustry = 0;
};
TFreeForAllState FreeForAllStateOf(const TBrenmoorEngine& Engine);
bool OffersFreeForAll(const TFreeForAllState& State);
inline constexpr const char* FreeForAllQuestion = "  Do you want to continue in Free For All Mode?";
inline constexpr const char* FreeForAllNotice = "FFA will commece after all non-FFA players have left the game.";
