#pragma once
// An online game as this machine takes part in it, without windows: the start handshake from
// the game room to the running game as one state machine (named states, events and one table
// of transitions), and every in-game data message besides the impulse clock's own ("ORDERS|",
// "CHANGES|") read through one table: its word, its fields and their longest texts, who may
// send it (any player seated at the game, or the host only) and when, and its handler. The
// sender of a line is the identifier the lobby server stamps on it, never a name inside it.
//
// Data messages:
//   "BRMPLAYERS|" player "," ... (one per major power)   the host of a new game, at its start
//   "SAVED|" state text                                    the host of a restored game, at its start
//   "GAMECHAT|" nation ";" channel ";" text                 a seated player, in the game, for a
//                                                          power he plays (the host also for the
//                                                          computer's); the text at most 500
//                                                          characters
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "screens/LobbyRules.h"

class TBrenmoorEngine;
class TImpulseUsers;
class TNation;

// --- The start handshake ---

enum TSessionState : std::uint8_t {
  ssNone,           // no online game: the lobby, a chat room, or a game on one machine
  ssRoomMade,       // this machine made a game room and waits for its players
  ssInRoom,         // this machine joined another player's game room
  ssAwaitingStart,  // the joined room began: the host's player list or saved game is due
  ssStarting,       // the game is being started here: the host hands out the powers (a
                    // restored game's are its own), a guest has the host's list or game
  ssPlaying,        // the game runs
};

enum TSessionEvent : std::uint8_t {
  seMadeRoom,         // this machine made a game room (new or restored)
  seJoinedOwnRoom,    // the server put this machine in the room it made
  seJoinedGameRoom,   // this machine joined another player's game room
  seJoinedOtherRoom,  // a chat room, the lobby
  seRoomBegun,        // every player is in: the room begins
  seStartReceived,    // the host's player list or saved game came
  seStarted,          // the game started here (a game on one machine too)
  seStartFailed,      // the game did not start (the host gave up assigning, a list that does not read)
  seHostLeft,         // the begun room's host left before the game started
  seGameClosed,       // the game screen was left
};

// The state after Event in State; nothing when the event does not apply there (it changes
// nothing then).
std::optional<TSessionState> SessionTransition(TSessionState State, TSessionEvent Event);
std::string_view SessionStateName(TSessionState State);

// --- The data messages ---

enum TDataAuthority : std::uint8_t {
  saSeatedPlayer,  // one of the game's players (the impulse users)
  saHost,          // the host only: the begun room's first user, in the game the first impulse user
};

enum TDataRefusal : std::uint8_t {
  dlNone,
  dlUnknownWord,     // not a word of the table
  dlNotNow,          // a word of the start while the game runs, or of the game before it
  dlNotSeated,       // the sender plays no part in this game
  dlNotTheHost,      // only the host sends it
  dlFieldCount,      // fields missing or too many
  dlTooLong,         // a field longer than its word allows
  dlBadField,        // a field that does not read (a channel other than 0, 1, 2)
  dlNotTheSenders,   // chat for a power the sender does not play, or no power of the game
  dlNoHandler,       // nobody takes the word here
};
std::string_view DataRefusalText(TDataRefusal Refusal);

enum TDataWordId : std::uint8_t { dwPlayers, dwSaved, dwGameChat };

struct TDataWord {
  TDataWordId Id;
  const char* Word;
  TDataAuthority From;
  // Taken while the start is awaited (else while the game runs).
  bool AtStart;
  // The delimiter between the fields; '\0' for one field holding the whole rest.
  char Delimiter;
  // The number of fields, the last taking the rest of the line (0: a list of any length, each
  // field followed by the delimiter).
  int Fields;
  // The longest text of each field, and of the last one.
  std::size_t MaxField;
  std::size_t MaxLast;
};

// The longest chat text a line may carry; the chat window says so.
inline constexpr std::size_t MaxChatText = 500;
// The longest player name the lobby gives out.
inline constexpr std::size_t MaxPlayerName = 24;
// The longest name of a nation in a chat line.
inline constexpr std::size_t MaxNationName = 64;
// The longest data line the lobby server carries (a saved game's whole state text).
inline constexpr std::size_t MaxDataText = 8u << 20;

// The table: one row per word.
const std::vector<TDataWord>& DataWords();

// One data line read by the table: its word and fields (empty when refused).
struct TDataLine {
  TDataRefusal Refusal = dlNone;
  const TDataWord* Word = nullptr;
  std::vector<std::string> Fields;
  // Everything after the word's "|".
  std::string Rest;
};
// Cuts Line ("WORD|rest") by its word's row: the word known, the field count and lengths
// within the row's; the sender and the moment are not judged here.
TDataLine ReadDataLine(std::string_view Line);

struct TChatLine {
  TNation* Nation = nullptr;
  int Channel = 0;
  std::string Text;
};

class TGameSession {
public:
  // Players: the list as it came (each player followed by ",").
  using TPlayersHandler = std::function<void(const std::string& Sender, const std::string& Players)>;
  using TSavedHandler = std::function<void(const std::string& Sender, const std::string& Text)>;
  using TChatHandler = std::function<void(const std::string& Sender, const TChatLine& Chat)>;
  using TRefusalHandler = std::function<void(const std::string& Sender, const std::string& Line, TDataRefusal Why)>;

  // Engine: the game's rules, whose impulse users are the seated players and whose nations
  // the chat names.
  explicit TGameSession(const TBrenmoorEngine& Engine) : FEngine(Engine) {}

  // --- The handshake ---
  TSessionState GetState() const { return FState; }
  // Applies Event; false (nothing changed) when it does not apply in the current state.
  bool Fire(TSessionEvent Event);
  // This machine made the room RoomName (a restored game's when Restored).
  void MadeRoom(const std::string& RoomName, bool Restored);
  // The server put this machine in Room.
  void JoinedRoom(const std::string& Room);
  // The room began with Host as its first user. Returns the state it leads to: ssStarting
  // on the host, ssAwaitingStart on a guest.
  TSessionState RoomBegun(const std::string& Host);
  // A user left the room: true when it was the host of a begun room whose game has not
  // started here (the game will not start).
  bool UserLeft(const std::string& UserId);
  // Whether this machine made the room it is in (it hosts its game), and whether that room
  // holds a restored game.
  bool GetHosting() const { return !FHostedRoom.empty(); }
  bool GetRestoring() const { return FRestored; }
  const std::string& GetHostedRoom() const { return FHostedRoom; }
  const std::string& GetBegunRoomHost() const { return FBegunRoomHost; }
  // This machine hosts no room any more (the host cancelled the start).
  void StopHosting();

  // --- The data messages ---
  // Routes one data line from Sender: to its word's handler when the table, the sender and
  // the moment allow it; otherwise OnRefused hears why and nothing else happens.
  TDataRefusal Receive(const std::string& Line, const std::string& Sender);
  TPlayersHandler OnPlayers;
  TSavedHandler OnSaved;
  TChatHandler OnChat;
  TRefusalHandler OnRefused;

private:
  bool IsSeated(const std::string& Sender) const;
  bool IsHost(const std::string& Sender) const;
  TDataRefusal Judge(const TDataLine& Read, const std::string& Sender, TChatLine& Chat) const;

  const TBrenmoorEngine& FEngine;
  TSessionState FState = ssNone;
  std::string FHostedRoom;
  bool FRestored = false;
  std::string FBegunRoomHost;
};
