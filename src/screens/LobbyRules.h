#pragma once
// What the lobby screens and online games decide, without windows: the room names of new,
// restored and chat rooms and the names shown for them, the checks for joining a game room,
// the join buttons, the room caption and the players list's lines, the texts that may not
// hold a room name's delimiters, the player list of a new online game and its refusals, a
// restored game's players, the assign-players window's validation, where a game chat line
// shows and the chance to decode an enemy's chat, the game log entry and the scores sent at a
// victory, the server's version notice, the hall of fame's reply read into lines, and this
// machine's phase with the lobby from one log-in to the next.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/LobbyProtocol.h"

class TBrenmoorEngine;

// The program's version as the rooms and the server's notice know it, and its build.
inline constexpr const char* ProgramVersionText = "4";
inline constexpr double ProgramVersion = 4.0;
inline constexpr int ProgramBuild = 2;
// A power of the player list played by the computer.
inline constexpr const char* ComputerPlayerMark = "#COMP#";

// --- Rooms ---

enum TRoomKind : std::uint8_t { rkNewGame, rkRestoredGame, rkChat };

TRoomKind RoomKindOf(std::string_view Room);
// "~" + game + ";" + scenario file + ";" + the program's version.
std::string NewGameRoomName(const std::string& GameName, const std::string& ScenarioFile);
// "%" + the saved file's name up to its first "." + "," + each player's name.
std::string RestoredGameRoomName(const std::string& SavedFileName, const std::vector<std::string>& Players);
// The name shown for a room: a game's name, a restored game's file name, else the whole name.
std::string RoomDisplayName(std::string_view Room);
// A new game room's scenario file (its second ";" field) and version text (its third).
std::string RoomScenarioFile(std::string_view Room);
std::string RoomVersionText(std::string_view Room);
// A restored game room's players: the names after its first ",".
std::vector<std::string> RestoredRoomPlayers(std::string_view Room);

// Whether a new game room of that version text may be joined: its number must be 4 exactly
// ("4" and "4.0" both read so); the refusal's text otherwise.
bool VersionJoins(std::string_view VersionText);
std::string VersionRefusal(const std::string& VersionText);

// "N Players in " + room, or "1 Player in " + room.
std::string SubjectCaption(int UserCount, const std::string& DisplayName);

// A room chosen in the rooms list: which join button shows, and the server message line it
// puts up (empty: the line stays as it is). The room this machine is in shows neither button.
struct TRoomChoice {
  bool JoinGame = false;
  bool JoinChat = false;
  std::string Message;
  bool operator==(const TRoomChoice&) const = default;
};
TRoomChoice RoomChoice(std::string_view Room, std::string_view CurrentRoom);

// Why Room may not be joined by OwnUserId, nothing when it may: a new game's scenario file
// must be here (ScenarioFileThere) and its version join; a restored game takes only its own
// players. A chat room is always open.
std::optional<std::string> JoinRefusal(std::string_view Room, const std::string& OwnUserId, bool ScenarioFileThere);

// The players of a restored game's room: each human player of a living major power, once, in
// nation order.
std::vector<std::string> RestoredGamePlayers(const TBrenmoorEngine& Engine);

// The line under the players list for a user's average ping (0: not measured yet).
std::string LatencyText(std::int32_t AveragePing);
// A user's line in the players list: the identifier, and with a score the score and the rank.
std::string UserListText(const std::string& UserId, const std::string& Score, const std::string& Rank);

// --- Texts that travel inside a room name or a field ---

// The delimiters of a room name: none of them, nor a line break, may be part of a name.
inline constexpr std::string_view RoomNameDelimiters = ";~%,";
// The refusal of Text, named What ("Game name", "Chat text"...), when it holds one of
// Delimiters or a line break; nothing when it may go.
std::optional<std::string> DelimiterRefusal(std::string_view Text, std::string_view What,
                                            std::string_view Delimiters = RoomNameDelimiters);

// --- The player list of a new online game ---

// One major power's player in the list: a lobby user, or the computer (empty).
struct TPowerAssignment {
  std::string Player;
  bool Computer() const { return Player.empty(); }
};
// Each power's user name followed by ",", "#COMP#," for the computer.
std::string PlayerListText(const std::vector<TPowerAssignment>& Powers);
// Reads a list for MajorCount powers: one field per power; a list of another length, or an
// empty name, is refused (Error set, nothing returned).
std::optional<std::vector<TPowerAssignment>> ParsePlayerList(std::string_view List, int MajorCount,
                                                             std::string* Error = nullptr);

// One line of the assign-players window: the "Alliance" column's text and the user assigned.
struct TAssignRow {
  std::string Alliance;
  std::string Player;  // empty: the computer
};
// The window's validation: empty when accepted, else the refusal shown.
std::string ValidateAssignments(const std::vector<TAssignRow>& Rows, int RoomUserCount);

// --- In-game chat ---

// Whether an enemy's allied chat is read: own - 30 x sender + 10 >= Draw (Draw is Random(100)).
bool CanDecodeEnemyChat(int OwnCodeBreaking, int SenderCodeBreaking, int Draw);
// "GAMECHAT|" + nation + ";" + channel + ";" + text, and its reading.
std::string GameChatMessage(const std::string& Nation, int Channel, const std::string& Text);
struct TGameChat {
  std::string Nation;
  std::string Channel;
  std::string Text;
};
// The part after "GAMECHAT|"; nothing when it lacks its fields.
std::optional<TGameChat> ParseGameChat(std::string_view Rest);

// Where a game chat line sent on Channel (0 everyone, 1 the allies, 2 the enemies) shows in
// this machine's chat window: its page and whether it was decoded; nothing when this nation
// does not see it. Allied and AtWar: the sender's standing to the current nation. Decode draws
// the chance to read an enemy's allied chat, and is called only when that chance decides.
struct TChatDelivery {
  int Page = 0;
  bool Decoded = false;
  bool operator==(const TChatDelivery&) const = default;
};
std::optional<TChatDelivery> ChatDelivery(int Channel, bool Allied, bool AtWar, const std::function<bool()>& Decode);

// --- The result of a victory, for the server ---

struct TPowerResult {
  std::string Name;
  std::string DisplayName;
  std::string Alliance;
  bool Alive = true;
  bool Human = false;
  std::int32_t Score = 0;
};
// Each major power of the game's engine as its result is sent.
std::vector<TPowerResult> PowerResults(const TBrenmoorEngine& Engine);
// The "BRMLOGIT" text; nothing when it is not sent (no human-played power lost, or, for an
// alliance victory, none that belongs to an alliance). WinnerAlliance set: that alliance won,
// else WinnerNation did.
std::optional<std::string> GameLogText(const std::string& ScenarioFile, const std::vector<TPowerResult>& Powers,
                                       const std::string& WinnerAlliance, const std::string& WinnerNation,
                                       int AllianceCount);
// The "BRMSCORE" text: display name + ";" + score + ";" per power.
std::string ScoreText(const std::vector<TPowerResult>& Powers);

// --- What the server sends ---

// The "BRMVERSION" notice for "version|build"; empty when this program is the newest.
std::string VersionNotice(std::string_view Text, const std::string& WebAddress);

struct THallOfFameEntry {
  std::int32_t Score = 0;
  std::string Name;
  std::string Third;
};
struct TGameLogRecord {
  std::string Date, Scenario, Winner, Victors, Defeated;
};
struct TScheduleRecord {
  std::string Player, Times;
};
struct THallOfFame {
  // "*" + slot, then each entry as score ";" name ";" third, for slots 0..6.
  std::vector<std::string> Lines;
  std::vector<TGameLogRecord> GameLog;
  std::vector<TScheduleRecord> Schedule;
};
// The three "`"-ended sections of the "BRMHOF" reply.
THallOfFame ParseHallOfFame(std::string_view Text);
// The nation of a hall-of-fame slot: "Germany"... "United States", "?" for another.
std::string HallOfFameNation(int Slot);
// A hall-of-fame line drawn: a slot heading, or an entry.
struct THallOfFameLine {
  bool Heading = false;
  int Slot = 0;
  THallOfFameEntry Entry;
};
THallOfFameLine ReadHallOfFameLine(std::string_view Line);

// --- This machine's phase with the lobby server ---

// Where this machine stands with the lobby server between two log-ins.
enum class TLobbyPhase : std::uint8_t {
  lpOffline,        // no connection: the title screen offers the log-in
  lpConnecting,     // a log-in began; the connection has not reached the server yet
  lpOnline,         // the connection reached the server since the log-in began
  lpUserInfoAsked,  // online, and a user's information was asked for: its answer opens the dialog
};

enum class TLobbyEvent : std::uint8_t {
  leLoginStarted,      // the log-in window was confirmed: the connection opens
  leConnected,         // the connection reached the server
  leUserInfoAsked,     // the player asked for a user's information
  leUserInfoAnswered,  // that answer came and is taken (one dialog for one question)
  leDisconnected,      // the connection closed (lost, refused, or left by the player)
};

// The phase after Event in Phase; nothing when the event does not apply there (it changes
// nothing then).
std::optional<TLobbyPhase> LobbyPhaseTransition(TLobbyPhase Phase, TLobbyEvent Event);
std::string_view LobbyPhaseName(TLobbyPhase Phase);

// This machine's phase with the lobby server, moved only by the events of the table.
class TLobbyPresence {
public:
  TLobbyPhase GetPhase() const { return FPhase; }
  // Applies Event; false (nothing changed) when it does not apply in the current phase.
  bool Fire(TLobbyEvent Event);
  // The connection reached the server since the last log-in began (and has not closed).
  bool Reached() const { return FPhase == TLobbyPhase::lpOnline || FPhase == TLobbyPhase::lpUserInfoAsked; }
  bool UserInfoAsked() const { return FPhase == TLobbyPhase::lpUserInfoAsked; }

private:
  TLobbyPhase FPhase = TLobbyPhase::lpOffline;
};
