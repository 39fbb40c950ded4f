#pragma once
// The lobby server's behaviour without sockets: sessions open, receive bytes, close and are
// ticked with the time; the server answers with bytes to send and sessions to close. One
// connection's bad input is refused, counted and in the end cut off, never felt by the others.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "foundation/StringEncryptor.h"
#include "lobby/VexilUser.h"
#include "server/AccountStore.h"

using TSessionId = std::uint64_t;
using TMillis = std::int64_t;  // a steady clock in milliseconds

struct TServerConfig {
  // The key both sides scramble every line with; empty: lines are sent as they are.
  std::string Key = "MorqTeln";
  // The newest game version and build, sent as "BRMVERSION" at each log-in.
  std::string LatestVersion = "4";
  int LatestBuild = 2;
  std::size_t MaxCommandLine = 64u << 10;
  std::size_t MaxDataLine = 8u << 20;
  int MaxBadLines = 10;
  TMillis LoginTimeout = 30000;
  TMillis PingInterval = 15000;
  TMillis PingTimeout = 60000;
  int MaxConnections = 1000;
  int MaxConnectionsPerAddress = 16;  // 0: no limit
  int LoginFailures = 5;              // per address within LoginFailureWindow
  TMillis LoginFailureWindow = 60000;
  double ChatBurst = 20;   // chat lines that may come at once...
  double ChatPerSecond = 4;  // ...and the pace they may keep up
  int RoomsPerWindow = 5;  // rooms one session may create within RoomWindow
  TMillis RoomWindow = 60000;
  int HashCost = 0;        // yescrypt cost, 0 = the library's default
  int MaxGuests = 32;      // the largest player count of a game room
};

class TLobbyServer {
public:
  static constexpr const char* LobbyRoom = "Lobby Chat";

  TLobbyServer(TServerConfig Config, TAccountStore& Store, TMillis Now);

  // A new connection from Address; past a connection limit it is answered with an error and
  // marked for closing at once.
  TSessionId Open(const std::string& Address, TMillis Now);
  void Receive(TSessionId Id, std::string_view Bytes, TMillis Now);
  // The connection is gone (the peer closed it, or the server after WantsClose).
  void Closed(TSessionId Id, TMillis Now);
  // Pings, ping and log-in deadlines.
  void Tick(TMillis Now);
  // A message from the operator to everyone logged in.
  void Shout(const std::string& Text);
  // Cuts a session off (the poll loop's verdict on a client that takes nothing).
  void Kill(TSessionId Id, const std::string& Reason);

  // Sessions that have bytes to send or want closing since the last call.
  std::vector<TSessionId> TakeDirty();
  std::string TakeOutput(TSessionId Id);
  bool WantsClose(TSessionId Id) const;
  void CountBytesWritten(std::size_t N) { FBytesWritten += static_cast<long double>(N); }

  // The plain line as it goes on the wire (scrambled, framed, with its line feed) and back.
  std::string EncodeLine(std::string_view Line) const;
  std::optional<std::string> DecodeLine(std::string_view Wire) const;

  std::size_t SessionCount() const { return FSessions.size(); }
  // What the operator reads: log-ins, rooms, refusals; never a password or a record.
  std::function<void(const std::string& Text)> OnLog;
  std::string StatsText(TMillis Now) const;
  std::vector<std::string> RoomNames() const;

private:
  struct TSession {
    TSessionId Id = 0;
    std::string Address;
    TMillis OpenedAt = 0;
    std::string In;
    std::string Out;
    bool Closing = false;
    bool LoggedIn = false;
    std::int64_t AccountId = 0;
    std::string UserId;
    std::string Record;  // the user's record as the others see it
    std::string Room;
    int BadLines = 0;
    double ChatTokens = 0;
    TMillis ChatStamp = 0;
    std::deque<TMillis> RoomsCreated;
    TMillis LastPing = 0;
    TMillis PingSentAt = -1;
    std::int32_t Latency = 0;
  };
  struct TRoom {
    std::string Name;
    int Capacity = 0;  // players of a game room; 0: a chat room without limit
    std::vector<TSessionId> Guests;  // in join order, the creator first
    bool Permanent = false;
    bool Listed = true;
    bool Begun = false;
    std::vector<std::string> Members;  // the guests when the game began
    bool ResultLogged = false;
    bool ScoreLogged = false;
  };

  TSession* Find(TSessionId Id);
  TRoom* FindRoom(const std::string& Name);
  void Send(TSession& S, std::string_view Line);
  void SendWire(TSession& S, const std::string& Wire);
  void SendToLoggedIn(std::string_view Line);
  void CloseSession(TSession& S, const std::string& Reason);
  bool Bad(TSession& S, const std::string& Reason);
  void HandleLine(TSession& S, std::string Line, TMillis Now);
  void HandleLogin(TSession& S, std::string P, bool NewUser, TMillis Now);
  void FinishLogin(TSession& S, const TAccount& A, TMillis Now);
  bool LoginRateLimited(const std::string& Address, TMillis Now);
  void NoteLoginFailure(const std::string& Address, TMillis Now);
  void Join(TSession& S, TRoom& Room);
  void Leave(TSession& S);
  void HandleCreate(TSession& S, std::string P, TMillis Now);
  void HandleSend(TSession& S, std::string P, TMillis Now);
  void HandleCustom(TSession& S, std::string P);
  void HandleUserUpdate(TSession& S, std::string P);
  void HandleLogIt(TSession& S, TRoom& Room, const std::string& Text);
  void HandleScore(TSession& S, TRoom& Room, const std::string& Text);
  std::string HallOfFameText();
  std::string RecordOf(const TAccount& A) const;
  void RefreshRecord(const std::string& UserId);
  void Log(const std::string& Text) {
    if (OnLog) OnLog(Text);
  }
  TRoom* HostedBegunRoom(TSession& S);

  TServerConfig FConfig;
  TAccountStore& FStore;
  std::optional<TStringEncryptor> FScrambler;
  std::map<TSessionId, TSession> FSessions;
  std::vector<std::unique_ptr<TRoom>> FRooms;  // in creation order
  std::map<std::string, std::deque<TMillis>> FLoginFailures;
  std::vector<TSessionId> FDirty;
  TSessionId FNextId = 1;
  TMillis FStartedAt = 0;
  std::int32_t FTotalConnections = 0;
  std::int32_t FTotalSubjects = 0;
  std::int32_t FPeakConnections = 0;
  long double FBytesRead = 0;
  long double FBytesWritten = 0;
  std::string FDummyHash;  // checked against for unknown names, so they cost as much
};
