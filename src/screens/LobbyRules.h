#pragma once
// What the lobby screens and online games decide, without windows: the room names of new,
// restored and chat rooms and the names shown for them, the checks for joining a game room,
// the room caption, the texts that may not hold a room name's delimiters, the player list of a
// new online game and its refusals, the assign-players window's validation, the chance to
// decode an enemy's chat, the game log entry and the scores sent at a victory, the server's
// version notice, the hall of fame's reply read into lines, and this machine's phase with the lobby from
// one log-in to the next.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/LobbyProtocol.h"

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

// --- The result of a victory, for the server ---

struct TPowerResult {
  std::string Name;
  std::string DisplayName;
  std::string Alliance;
  bool Alive = true;
  bool Human = false;
  std::int32_t Score = 0;
};
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
