#pragma once
// The one start of a game, whichever way it starts: a solo game or a duel of computer players
// from the set-up screen, a saved solo game, an online game on its host or on a guest, a
// restored online game. From a set-up it hands the major powers to their players (a new game)
// or keeps a saved game's players and claims this machine's, places a new game's zones and
// units, and makes the rules take orders from the game's users only: from then on every order
// that reaches the machine that runs the rules is checked against its sender (a human power
// obeys its player; the computer's powers and the minor nations obey the host, the first of
// the impulse users), and a refused order is dropped and kept in the refusal log.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/EngineTypes.h"
#include "screens/LobbyRules.h"

class TBrenmoorEngine;
class TImpulseUsers;
class TNation;

enum TStartMode : std::uint8_t {
  smSolo,   // one machine: the ticked powers played here by "[SOLO]", the others by the computer
  smDuel,   // one machine: every power played by the computer
  smHost,   // online: this machine runs the rules (the first user of the room)
  smGuest,  // online: this machine replays the host's changes
};

struct TGameSetUp {
  TStartMode Mode = smSolo;
  // A new game from the scenario the engine has read (its zones and units are placed now);
  // otherwise the game the engine holds (loaded from a file or from SavedText) goes on.
  bool NewGame = true;
  // A saved game's state text, loaded first (a guest of a restored game); loaded games only.
  std::optional<std::string> SavedText;
  // A new game: every major power in nation order, its player or the computer. A loaded game
  // keeps the players it was saved with.
  std::vector<TPowerAssignment> Powers;
  // This machine's player: the lobby identifier online, "[SOLO]" on one machine.
  std::string OwnPlayer = SoloPlayerName;
  // The rules' random seed, when the start sets one (else the engine keeps its own).
  std::optional<std::uint64_t> Seed;
};

struct TGameStart {
  // Empty when the game started; else why not (the message shown): no power changed hands
  // and no users were set (a saved text that did load stays loaded).
  std::string Refusal;
  // The major powers played on this machine, in nation order.
  std::vector<TNation*> LocalNations;
  bool AllComputer = false;
  // The impulse the game goes on from: 0 for a new game, the saved one for a loaded game.
  std::int32_t Impulse = 0;
  bool Started() const { return Refusal.empty(); }
};

// The refusals of a start.
inline constexpr const char* MultiPlayerInSoloMessage = "You cannot open Multi-Player games in Solo mode!";
inline constexpr const char* SoloInNetworkMessage = "You cannot open a Solo game in Network mode!";
inline constexpr const char* NotInThisGameMessage = "You were not originally in this Game";

// Starts the game of SetUp on Engine with Users as the impulse users (the impulse clock, whose
// first user is the host; on one machine the solo user). The engine's scenario is read already
// and, for a new game, its map set loaded.
TGameStart StartGameRules(TBrenmoorEngine& Engine, TImpulseUsers& Users, const TGameSetUp& SetUp);

// The powers of a solo set-up: Ticked (nation indices) played here by "[SOLO]", every other
// major power by the computer; none ticked is a duel.
std::vector<TPowerAssignment> SoloPowers(const TBrenmoorEngine& Engine, const std::vector<int>& Ticked);

// The major powers whose stored player is OwnPlayer and that are alive and played by a
// person: the powers this machine plays in a loaded game.
std::vector<TNation*> ClaimedNations(const TBrenmoorEngine& Engine, const std::string& OwnPlayer);
