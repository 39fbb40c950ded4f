#include "screens/LobbyRules.h"

#include <algorithm>
#include <set>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "screens/GameStart.h"

namespace {

// The Index-th field of Text between Delim (0 the first); "" past the end.
std::string Field(std::string_view Text, char Delim, int Index) {
  std::size_t Start = 0;
  for (int I = 0; I < Index; ++I) {
    const std::size_t At = Text.find(Delim, Start);
    if (At == std::string_view::npos) return "";
    Start = At + 1;
  }
  const std::size_t End = Text.find(Delim, Start);
  return std::string(Text.substr(Start, End == std::string_view::npos ? std::string_view::npos : End - Start));
}

// The fields of a list whose every item is followed by Delim (a last item without one counts).
std::vector<std::string> Items(std::string_view Text, char Delim) {
  std::vector<std::string> Out;
  std::size_t Start = 0;
  while (Start < Text.size()) {
    const std::size_t At = Text.find(Delim, Start);
    if (At == std::string_view::npos) {
      Out.emplace_back(Text.substr(Start));
      break;
    }
    Out.emplace_back(Text.substr(Start, At - Start));
    Start = At + 1;
  }
  return Out;
}

// Up to the first Delim (the whole text without one).
std::string_view Before(std::string_view Text, char Delim) { return Text.substr(0, Text.find(Delim)); }

}  // namespace

// --- Rooms ---

TRoomKind RoomKindOf(std::string_view Room) {
  if (!Room.empty() && Room.front() == '~') return rkNewGame;
  if (!Room.empty() && Room.front() == '%') return rkRestoredGame;
  return rkChat;
}

std::string NewGameRoomName(const std::string& GameName, const std::string& ScenarioFile) {
  return "~" + GameName + ";" + ScenarioFile + ";" + ProgramVersionText;
}

std::string RestoredGameRoomName(const std::string& SavedFileName, const std::vector<std::string>& Players) {
  std::string Name = "%" + std::string(Before(SavedFileName, '.'));
  for (const std::string& Player : Players) Name += "," + Player;
  return Name;
}

std::string RoomDisplayName(std::string_view Room) {
  switch (RoomKindOf(Room)) {
    case rkNewGame:
      return std::string(Before(Room.substr(1), ';'));
    case rkRestoredGame:
      return std::string(Before(Room.substr(1), ','));
    case rkChat:
      break;
  }
  return std::string(Room);
}

std::string RoomScenarioFile(std::string_view Room) { return Field(Room, ';', 1); }
std::string RoomVersionText(std::string_view Room) { return Field(Room, ';', 2); }

std::vector<std::string> RestoredRoomPlayers(std::string_view Room) {
  const std::size_t Comma = Room.find(',');
  if (Comma == std::string_view::npos) return {};
  std::vector<std::string> Players = Items(Room.substr(Comma + 1), ',');
  std::erase(Players, std::string());
  return Players;
}

bool VersionJoins(std::string_view VersionText) {
  const std::optional<long double> Version = TryStrToFloat(VersionText);
  return Version && *Version == static_cast<long double>(ProgramVersion);
}

std::string VersionRefusal(const std::string& VersionText) {
  return "This Game was created with Brenmoor version " + VersionText + ", and you have version " +
         ProgramVersionText;
}

TRoomChoice RoomChoice(std::string_view Room, std::string_view CurrentRoom) {
  TRoomChoice Choice;
  if (Room == CurrentRoom) return Choice;
  switch (RoomKindOf(Room)) {
    case rkNewGame:
      Choice.JoinGame = true;
      Choice.Message = "Scenario: " + RoomScenarioFile(Room);
      break;
    case rkRestoredGame:
      Choice.JoinGame = true;
      Choice.Message = "Restored Game";
      break;
    case rkChat:
      Choice.JoinChat = true;
      break;
  }
  return Choice;
}

std::optional<std::string> JoinRefusal(std::string_view Room, const std::string& OwnUserId, bool ScenarioFileThere) {
  switch (RoomKindOf(Room)) {
    case rkNewGame: {
      const std::string Scenario = RoomScenarioFile(Room);
      if (Scenario.empty() || !ScenarioFileThere) return "You do not have the Scenario File: " + Scenario;
      const std::string Version = RoomVersionText(Room);
      if (!VersionJoins(Version)) return VersionRefusal(Version);
      return std::nullopt;
    }
    case rkRestoredGame: {
      const std::vector<std::string> Players = RestoredRoomPlayers(Room);
      if (std::find(Players.begin(), Players.end(), OwnUserId) == Players.end()) return std::string(NotInThisGameMessage);
      return std::nullopt;
    }
    case rkChat:
      break;
  }
  return std::nullopt;
}

std::vector<std::string> RestoredGamePlayers(const TBrenmoorEngine& Engine) {
  std::vector<std::string> Players;
  for (int I = 0; I < Engine.GetNationCount(); ++I) {
    const TNation* Nation = Engine.GetNation(I);
    if (!Nation->GetMajorPower() || !Nation->GetAlive() || Nation->GetComputerPlayer()) continue;
    if (std::find(Players.begin(), Players.end(), Nation->GetPlayerName()) == Players.end())
      Players.push_back(Nation->GetPlayerName());
  }
  return Players;
}

std::string LatencyText(std::int32_t AveragePing) {
  return AveragePing == 0 ? std::string("Latency Unknown") : "Latency: " + std::to_string(AveragePing) + " milliseconds";
}

std::string UserListText(const std::string& UserId, const std::string& Score, const std::string& Rank) {
  return Score.empty() ? UserId : UserId + " (" + Score + ") " + Rank;
}

std::string SubjectCaption(int UserCount, const std::string& DisplayName) {
  return IntToStr(UserCount) + (UserCount == 1 ? " Player in " : " Players in ") + DisplayName;
}

// --- Texts inside names and fields ---

std::optional<std::string> DelimiterRefusal(std::string_view Text, std::string_view What,
                                            std::string_view Delimiters) {
  const bool Bad = std::any_of(Text.begin(), Text.end(), [&](char C) {
    return C == '\n' || C == '\r' || Delimiters.find(C) != std::string_view::npos;
  });
  if (!Bad) return std::nullopt;
  std::string Listed;
  for (const char C : Delimiters) Listed += std::string(1, C) + " ";
  return "The " + std::string(What) + " may not contain any of " + Listed + "or a line break.";
}

// --- The player list ---

std::string PlayerListText(const std::vector<TPowerAssignment>& Powers) {
  std::string List;
  for (const TPowerAssignment& P : Powers) List += (P.Computer() ? std::string(ComputerPlayerMark) : P.Player) + ",";
  return List;
}

std::optional<std::vector<TPowerAssignment>> ParsePlayerList(std::string_view List, int MajorCount,
                                                             std::string* Error) {
  const auto Refuse = [&](const std::string& Why) -> std::optional<std::vector<TPowerAssignment>> {
    if (Error) *Error = Why;
    return std::nullopt;
  };
  const std::vector<std::string> Fields = Items(List, ',');
  if (static_cast<int>(Fields.size()) != MajorCount)
    return Refuse("The list of players names " + IntToStr(static_cast<std::int64_t>(Fields.size())) +
                  " powers, and the game has " + IntToStr(MajorCount));
  std::vector<TPowerAssignment> Powers;
  for (const std::string& F : Fields) {
    if (F.empty()) return Refuse("The list of players leaves a power without a player");
    Powers.push_back({F == ComputerPlayerMark ? std::string() : F});
  }
  return Powers;
}

std::string ValidateAssignments(const std::vector<TAssignRow>& Rows, int RoomUserCount) {
  std::set<std::string> Unique;
  for (const TAssignRow& Row : Rows) {
    if (Row.Player.empty()) continue;
    Unique.insert(Row.Player);
    for (const TAssignRow& Other : Rows)
      if (&Other != &Row && Other.Player == Row.Player && Other.Alliance != Row.Alliance)
        return "Do not Assign a Player to Nations that belong to different Alliances";
  }
  if (static_cast<int>(Unique.size()) != RoomUserCount) return "Please Assign each Player to at least 1 Nation";
  return "";
}

// --- In-game chat ---

std::optional<TChatDelivery> ChatDelivery(int Channel, bool Allied, bool AtWar, const std::function<bool()>& Decode) {
  switch (Channel) {
    case 0:
      return TChatDelivery{0, false};
    case 1:
      if (Allied) return TChatDelivery{1, false};
      // An enemy's word to his allies shows on the enemies' page when it is decoded.
      if (Decode()) return TChatDelivery{2, true};
      return std::nullopt;
    case 2:
      if (AtWar) return TChatDelivery{2, false};
      return std::nullopt;
    default:
      return std::nullopt;
  }
}

bool CanDecodeEnemyChat(int OwnCodeBreaking, int SenderCodeBreaking, int Draw) {
  return OwnCodeBreaking - 30 * SenderCodeBreaking + 10 >= Draw;
}

std::string GameChatMessage(const std::string& Nation, int Channel, const std::string& Text) {
  return "GAMECHAT|" + Nation + ";" + IntToStr(Channel) + ";" + Text;
}

std::optional<TGameChat> ParseGameChat(std::string_view Rest) {
  const std::size_t First = Rest.find(';');
  if (First == std::string_view::npos) return std::nullopt;
  const std::size_t Second = Rest.find(';', First + 1);
  if (Second == std::string_view::npos) return std::nullopt;
  return TGameChat{std::string(Rest.substr(0, First)), std::string(Rest.substr(First + 1, Second - First - 1)),
                   std::string(Rest.substr(Second + 1))};
}

// --- The result of a victory ---

std::vector<TPowerResult> PowerResults(const TBrenmoorEngine& Engine) {
  std::vector<TPowerResult> Powers;
  for (int I = 0; I < Engine.GetNationCount(); ++I) {
    const TNation* N = Engine.GetNation(I);
    if (!N->GetMajorPower()) continue;
    Powers.push_back({N->GetName(), N->GetDisplayName(), N->GetAlliance(), N->GetAlive(), !N->GetComputerPlayer(),
                      N->GetScore()});
  }
  return Powers;
}

std::optional<std::string> GameLogText(const std::string& ScenarioFile, const std::vector<TPowerResult>& Powers,
                                       const std::string& WinnerAlliance, const std::string& WinnerNation,
                                       int AllianceCount) {
  // Powers without alliance are left out of the defeated when the scenario has alliances.
  const auto Skipped = [&](const TPowerResult& P) { return P.Alliance.empty() && AllianceCount >= 2; };
  std::string Text = std::string(Before(ScenarioFile, '.')) + ";";
  bool HumanLoser = false;
  if (!WinnerAlliance.empty()) {
    Text += WinnerAlliance + ";";
    for (const TPowerResult& P : Powers)
      if (P.Alliance == WinnerAlliance && P.Alive) Text += P.DisplayName + ",";
    Text += ";";
    for (const TPowerResult& P : Powers) {
      if (P.Alliance == WinnerAlliance || Skipped(P)) continue;
      Text += P.DisplayName + ",";
      HumanLoser = HumanLoser || (P.Human && !P.Alliance.empty());
    }
    Text += ";";
  } else {
    const auto Winner = std::find_if(Powers.begin(), Powers.end(),
                                     [&](const TPowerResult& P) { return P.Name == WinnerNation; });
    if (Winner == Powers.end()) return std::nullopt;
    Text += Winner->Name + ";" + Winner->DisplayName + ";";
    for (const TPowerResult& P : Powers) {
      if (&P == &*Winner || Skipped(P)) continue;
      Text += P.DisplayName + ";";
      HumanLoser = HumanLoser || P.Human;
    }
    Text += ";";
  }
  if (!HumanLoser) return std::nullopt;
  return Text;
}

std::string ScoreText(const std::vector<TPowerResult>& Powers) {
  std::string Text;
  for (const TPowerResult& P : Powers) Text += P.DisplayName + ";" + IntToStr(P.Score) + ";";
  return Text;
}

// --- What the server sends ---

std::string VersionNotice(std::string_view Text, const std::string& WebAddress) {
  const std::string VersionText(Before(Text, '|'));
  const std::size_t Bar = Text.find('|');
  const std::int32_t Build = Bar == std::string_view::npos ? 0 : StrToIntDef(Text.substr(Bar + 1), 0);
  const std::optional<long double> Version = TryStrToFloat(VersionText);
  if (Version && *Version > static_cast<long double>(ProgramVersion))
    return "Version " + VersionText + " of Brenmoor is now available. You currently have Version " +
           ProgramVersionText + ".  Visit the Quillfen Web Site at " + WebAddress + " to download the latest Version.";
  if (Build > ProgramBuild)
    return "Build " + IntToStr(Build) + " has been released, and you have Build " + IntToStr(ProgramBuild) +
           ".  Visit the Quillfen Web Site at " + WebAddress + " to download the latest Build.";
  return "";
}

THallOfFame ParseHallOfFame(std::string_view Text) {
  THallOfFame Out;
  const std::vector<std::string> Sections = Items(Text, '`');
  const auto Section = [&](std::size_t I) { return I < Sections.size() ? Sections[I] : std::string(); };
  const std::vector<std::string> Groups = Items(Section(0), '~');
  for (int Slot = 0; Slot < 7; ++Slot) {
    Out.Lines.push_back("*" + IntToStr(Slot));
    if (static_cast<std::size_t>(Slot) >= Groups.size()) continue;
    const std::vector<std::string> F = Items(Groups[static_cast<std::size_t>(Slot)], ';');
    for (std::size_t I = 0; I + 2 < F.size(); I += 3) Out.Lines.push_back(F[I] + ";" + F[I + 1] + ";" + F[I + 2]);
  }
  const std::vector<std::string> Log = Items(Section(1), ';');
  for (std::size_t I = 0; I + 4 < Log.size(); I += 5)
    Out.GameLog.push_back({Log[I], Log[I + 1], Log[I + 2], Log[I + 3], Log[I + 4]});
  for (const std::string& Entry : Items(Section(2), ';')) {
    const std::size_t Percent = Entry.find('%');
    if (Percent == std::string::npos) continue;
    Out.Schedule.push_back({Entry.substr(0, Percent), Entry.substr(Percent + 1)});
  }
  return Out;
}

std::string HallOfFameNation(int Slot) {
  static const char* const Names[] = {"Germany", "Italy", "Japan", "United Kingdom", "France", "USSR", "United States"};
  return Slot >= 0 && Slot < 7 ? Names[Slot] : "?";
}

THallOfFameLine ReadHallOfFameLine(std::string_view Line) {
  THallOfFameLine Out;
  if (!Line.empty() && Line.front() == '*') {
    Out.Heading = true;
    Out.Slot = StrToIntDef(Line.substr(1), -1);
    return Out;
  }
  Out.Entry.Score = StrToIntDef(Field(Line, ';', 0), 0);
  Out.Entry.Name = Field(Line, ';', 1);
  Out.Entry.Third = Field(Line, ';', 2);
  return Out;
}

// --- The phase with the lobby server ---

namespace {

struct TPhaseTransition {
  TLobbyPhase From;
  TLobbyEvent Event;
  TLobbyPhase To;
};

using enum TLobbyPhase;
using enum TLobbyEvent;

// Every step between the phases; an event that is not listed for a phase changes nothing. A log-in,
// the server reached and a closed connection apply in every phase; a question for a
// user's information is asked only over a connection that reached the server, and a reaching
// or a closing connection forgets it, so that no answer of an old connection opens a dialog.
constexpr TPhaseTransition PhaseTransitions[] = {
    {lpOffline, leLoginStarted, lpConnecting},       {lpConnecting, leLoginStarted, lpConnecting},
    {lpOnline, leLoginStarted, lpConnecting},        {lpUserInfoAsked, leLoginStarted, lpConnecting},
    {lpOffline, leConnected, lpOnline},              {lpConnecting, leConnected, lpOnline},
    {lpOnline, leConnected, lpOnline},               {lpUserInfoAsked, leConnected, lpOnline},
    {lpOnline, leUserInfoAsked, lpUserInfoAsked},    {lpUserInfoAsked, leUserInfoAsked, lpUserInfoAsked},
    {lpUserInfoAsked, leUserInfoAnswered, lpOnline}, {lpOffline, leDisconnected, lpOffline},
    {lpConnecting, leDisconnected, lpOffline},       {lpOnline, leDisconnected, lpOffline},
    {lpUserInfoAsked, leDisconnected, lpOffline},
};

}  // namespace

std::optional<TLobbyPhase> LobbyPhaseTransition(TLobbyPhase Phase, TLobbyEvent Event) {
  for (const TPhaseTransition& T : PhaseTransitions)
    if (T.From == Phase && T.Event == Event) return T.To;
  return std::nullopt;
}

std::string_view LobbyPhaseName(TLobbyPhase Phase) {
  switch (Phase) {
    case lpOffline: return "offline";
    case lpConnecting: return "connecting";
    case lpOnline: return "online";
    case lpUserInfoAsked: return "user information asked";
  }
  return "?";
}

bool TLobbyPresence::Fire(TLobbyEvent Event) {
  const std::optional<TLobbyPhase> Next = LobbyPhaseTransition(FPhase, Event);
  if (!Next) return false;
  FPhase = *Next;
  return true;
}
