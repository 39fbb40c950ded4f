#include "screens/GameSession.h"

#include <algorithm>
#include <array>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"

// --- The start handshake ---

namespace {

struct TTransition {
  TSessionState From;
  TSessionEvent Event;
  TSessionState To;
};

// Every step of the handshake; an event that is not listed for a state changes nothing.
constexpr std::array Transitions{
    TTransition{ssNone, seMadeRoom, ssRoomMade},
    TTransition{ssRoomMade, seMadeRoom, ssRoomMade},
    TTransition{ssInRoom, seMadeRoom, ssRoomMade},
    TTransition{ssRoomMade, seJoinedOwnRoom, ssRoomMade},
    TTransition{ssNone, seJoinedGameRoom, ssInRoom},
    TTransition{ssRoomMade, seJoinedGameRoom, ssInRoom},
    TTransition{ssInRoom, seJoinedGameRoom, ssInRoom},
    TTransition{ssAwaitingStart, seJoinedGameRoom, ssInRoom},
    TTransition{ssRoomMade, seJoinedOtherRoom, ssNone},
    TTransition{ssInRoom, seJoinedOtherRoom, ssNone},
    TTransition{ssAwaitingStart, seJoinedOtherRoom, ssNone},
    TTransition{ssStarting, seJoinedOtherRoom, ssNone},
    TTransition{ssRoomMade, seRoomBegun, ssStarting},
    TTransition{ssInRoom, seRoomBegun, ssAwaitingStart},
    TTransition{ssAwaitingStart, seStartReceived, ssStarting},
    TTransition{ssStarting, seStarted, ssPlaying},
    // A game on one machine starts from wherever the lobby stood.
    TTransition{ssNone, seStarted, ssPlaying},
    TTransition{ssRoomMade, seStarted, ssPlaying},
    TTransition{ssInRoom, seStarted, ssPlaying},
    TTransition{ssStarting, seStartFailed, ssNone},
    TTransition{ssAwaitingStart, seHostLeft, ssNone},
    TTransition{ssPlaying, seGameClosed, ssNone},
    TTransition{ssStarting, seGameClosed, ssNone},
};

}  // namespace

std::optional<TSessionState> SessionTransition(TSessionState State, TSessionEvent Event) {
  for (const TTransition& T : Transitions)
    if (T.From == State && T.Event == Event) return T.To;
  return std::nullopt;
}

std::string_view SessionStateName(TSessionState State) {
  switch (State) {
    case ssNone: return "no online game";
    case ssRoomMade: return "room made";
    case ssInRoom: return "in a game room";
    case ssAwaitingStart: return "awaiting the host's start";
    case ssStarting: return "starting";
    case ssPlaying: return "playing";
  }
  return "?";
}

bool TGameSession::Fire(TSessionEvent Event) {
  const std::optional<TSessionState> To = SessionTransition(FState, Event);
  if (!To) return false;
  FState = *To;
  if (FState == ssNone || FState == ssInRoom) FBegunRoomHost.clear();
  return true;
}

void TGameSession::MadeRoom(const std::string& RoomName, bool Restored) {
  if (!Fire(seMadeRoom)) return;
  FHostedRoom = RoomName;
  FRestored = Restored;
}

void TGameSession::JoinedRoom(const std::string& Room) {
  if (!FHostedRoom.empty() && Room == FHostedRoom) {
    Fire(seJoinedOwnRoom);
    return;
  }
  // Joining any other room ends this machine's hosting.
  StopHosting();
  Fire(RoomKindOf(Room) == rkChat ? seJoinedOtherRoom : seJoinedGameRoom);
}

TSessionState TGameSession::RoomBegun(const std::string& Host) {
  if (Fire(seRoomBegun)) FBegunRoomHost = Host;
  return FState;
}

bool TGameSession::UserLeft(const std::string& UserId) {
  if (FState != ssAwaitingStart || UserId.empty() || UserId != FBegunRoomHost) return false;
  return Fire(seHostLeft);
}

void TGameSession::StopHosting() {
  FHostedRoom.clear();
  FRestored = false;
}

// --- The data messages ---

std::string_view DataRefusalText(TDataRefusal Refusal) {
  switch (Refusal) {
    case dlNone: return "";
    case dlUnknownWord: return "not a message of the game";
    case dlNotNow: return "not at this moment of the game";
    case dlNotSeated: return "the sender plays no part in this game";
    case dlNotTheHost: return "only the host sends it";
    case dlFieldCount: return "fields missing or too many";
    case dlTooLong: return "a field too long";
    case dlBadField: return "a field that does not read";
    case dlNotTheSenders: return "a power the sender does not play";
    case dlNoHandler: return "nobody takes it here";
  }
  return "?";
}

const std::vector<TDataWord>& DataWords() {
  static const std::vector<TDataWord> Words{
      {dwPlayers, "BRMPLAYERS", saHost, true, ',', 0, MaxPlayerName, MaxPlayerName},
      {dwSaved, "SAVED", saHost, true, '\0', 1, MaxDataText, MaxDataText},
      {dwGameChat, "GAMECHAT", saSeatedPlayer, false, ';', 3, MaxNationName, MaxChatText},
  };
  return Words;
}

TDataLine ReadDataLine(std::string_view Line) {
  TDataLine Read;
  const std::size_t Bar = Line.find('|');
  const std::string_view Head = Line.substr(0, Bar);
  const auto Found = std::find_if(DataWords().begin(), DataWords().end(), [&](const TDataWord& W) { return Head == W.Word; });
  if (Found == DataWords().end() || Bar == std::string_view::npos) {
    Read.Refusal = Found == DataWords().end() ? dlUnknownWord : dlFieldCount;
    return Read;
  }
  const TDataWord& W = *Found;
  std::string_view Rest = Line.substr(Bar + 1);
  std::vector<std::string> Fields;
  const auto Refuse = [&](TDataRefusal Why) {
    Read.Refusal = Why;
    return Read;
  };
  if (W.Delimiter == '\0') {
    if (Rest.size() > W.MaxLast) return Refuse(dlTooLong);
    Fields.emplace_back(Rest);
  } else if (W.Fields == 0) {
    // A list: each field followed by the delimiter (the last one may go without).
    if (Rest.empty()) return Refuse(dlFieldCount);
    while (!Rest.empty()) {
      const std::size_t End = Rest.find(W.Delimiter);
      const std::string_view Field = Rest.substr(0, End);
      if (Field.size() > W.MaxField) return Refuse(dlTooLong);
      Fields.emplace_back(Field);
      Rest = End == std::string_view::npos ? std::string_view() : Rest.substr(End + 1);
    }
  } else {
    for (int F = 0; F + 1 < W.Fields; ++F) {
      const std::size_t End = Rest.find(W.Delimiter);
      if (End == std::string_view::npos) return Refuse(dlFieldCount);
      if (End > W.MaxField) return Refuse(dlTooLong);
      Fields.emplace_back(Rest.substr(0, End));
      Rest = Rest.substr(End + 1);
    }
    if (Rest.size() > W.MaxLast) return Refuse(dlTooLong);
    Fields.emplace_back(Rest);
  }
  Read.Word = &W;
  Read.Fields = std::move(Fields);
  Read.Rest = std::string(Line.substr(Bar + 1));
  return Read;
}

bool TGameSession::IsSeated(const std::string& Sender) const {
  const TImpulseUsers* Users = FEngine.GetImpulseUsers();
  if (!Users) return false;
  for (int I = 0; I < Users->GetUserCount(); ++I)
    if (Users->GetUserName(I) == Sender) return true;
  return false;
}

bool TGameSession::IsHost(const std::string& Sender) const {
  const TImpulseUsers* Users = FEngine.GetImpulseUsers();
  return Users && Users->GetUserCount() > 0 && Users->GetUserName(0) == Sender;
}

TDataRefusal TGameSession::Judge(const TDataLine& Read, const std::string& Sender, TChatLine& Chat) const {
  if (Read.Refusal != dlNone) return Read.Refusal;
  const TDataWord& W = *Read.Word;
  if (W.AtStart) {
    // Only the host of the begun room hands out the powers or the saved game, and only once.
    if (FState != ssAwaitingStart) return dlNotNow;
    if (Sender.empty() || Sender != FBegunRoomHost) return dlNotTheHost;
    return dlNone;
  }
  if (FState != ssPlaying) return dlNotNow;
  if (!IsSeated(Sender)) return dlNotSeated;
  if (W.From == saHost && !IsHost(Sender)) return dlNotTheHost;
  if (W.Id == dwGameChat) {
    const std::string& Channel = Read.Fields[1];
    if (Channel != "0" && Channel != "1" && Channel != "2") return dlBadField;
    TNation* Nation = FEngine.FindNation(Read.Fields[0]);
    // A power of the game that its sender plays: his own, or the computer's for the host.
    if (!Nation || !Nation->GetMajorPower() || !FEngine.SenderPlays(Sender, Nation)) return dlNotTheSenders;
    Chat.Nation = Nation;
    Chat.Channel = Channel[0] - '0';
    Chat.Text = Read.Fields[2];
  }
  return dlNone;
}

TDataRefusal TGameSession::Receive(const std::string& Line, const std::string& Sender) {
  const TDataLine Read = ReadDataLine(Line);
  TChatLine Chat;
  TDataRefusal Why = Judge(Read, Sender, Chat);
  if (Why == dlNone) {
    switch (Read.Word->Id) {
      case dwPlayers:
        if (!OnPlayers) Why = dlNoHandler;
        break;
      case dwSaved:
        if (!OnSaved) Why = dlNoHandler;
        break;
      case dwGameChat:
        if (!OnChat) Why = dlNoHandler;
        break;
    }
  }
  if (Why != dlNone) {
    if (OnRefused) OnRefused(Sender, Line, Why);
    return Why;
  }
  // The start comes once: a second list or saved game finds the start under way.
  if (Read.Word->AtStart) Fire(seStartReceived);
  switch (Read.Word->Id) {
    case dwPlayers: OnPlayers(Sender, Read.Rest); break;
    case dwSaved: OnSaved(Sender, Read.Fields[0]); break;
    case dwGameChat: OnChat(Sender, Chat); break;
  }
  return dlNone;
}
