#pragma once
// The lobby server's behaviour without sockets: sessions open, receive bytes, close and are
// ticked with the time; the server answers with lines to send and sessions to close. One
// connection's bad input is refused, counted and in the end cut off, never felt by the others.
// Password hashing is handed to OnSlowWork, so a loop can run it on other threads while the
// connection that asked waits and every other goes on.
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "foundation/StringEncryptor.h"
#include "lobby/LobbyProtocol.h"
#include "lobby/VexilUser.h"
#include "server/AccountStore.h"

using TSessionId = std::uint64_t;
using TMillis = std::int64_t;  // a steady clock in milliseconds
// One framed line as it goes on the wire, shared by every guest it is relayed to.
using TWireLine = std::shared_ptr<const std::string>;

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
  int MaxConnections = 1000;          // users logged in at once
  int MaxConnectionsPerAddress = 16;  // 0: no limit
  // Connections not yet logged in have an allowance of their own (0: a tenth of MaxConnections,
  // 16 at least, MaxConnections at most); when it is used up, the oldest of them that has been
  // idle for PendingGrace makes room for the newcomer, so idle connections never keep users out.
  int MaxPendingConnections = 0;
  TMillis PendingGrace = 2000;
  int LoginFailures = 5;              // per address and user name within LoginFailureWindow
  TMillis LoginFailureWindow = 60000;
  // Failed log-ins as one user from anywhere: past AccountFailures within the window, every
  // further one doubles the wait before the next try, from AccountBackoff up to AccountBackoffMax.
  int AccountFailures = 10;
  TMillis AccountBackoff = 1000;
  TMillis AccountBackoffMax = 15 * 60000;
  // Password checks, new accounts and new passwords from one address, and successful log-ins
  // and record changes of one user: a burst, then a pace.
  double AddressLoginBurst = 10;
  double AddressLoginsPerSecond = 0.5;
  double AccountLoginBurst = 5;
  double AccountLoginsPerSecond = 0.05;
  int MaxHashJobs = 64;    // password hashes waiting or running at once
  double ChatBurst = 20;   // chat lines that may come at once...
  double ChatPerSecond = 4;  // ...and the pace they may keep up
  // Data lines of one user: past the burst the lobby stops reading the user's lines until the
  // pace allows the next, so nothing is lost and the sender is slowed, not the room.
  double DataBurst = 200;
  double DataPerSecond = 50;
  double DataBytesBurst = 32u << 20;
  double DataBytesPerSecond = 4u << 20;
  // Output a connection may leave unsent before it is cut off.
  std::size_t MaxBacklogBytes = 32u << 20;
  std::size_t MaxBacklogLines = 100000;
  int RoomsPerWindow = 5;  // rooms one session may create within RoomWindow
  TMillis RoomWindow = 60000;
  int HashCost = 0;        // yescrypt cost, 0 = the library's default
  int MaxGuests = 32;      // the largest player count of a game room
};

class TLobbyServer {
public:
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
  // Cuts a session off (the loop's verdict on a client that takes nothing).
  void Kill(TSessionId Id, const std::string& Reason);

  // Sessions that have lines to send, want closing or want input again since the last call.
  std::vector<TSessionId> TakeDirty();
  std::string TakeOutput(TSessionId Id);
  // The same lines as shared buffers, appended to Lines.
  void TakeLines(TSessionId Id, std::vector<TWireLine>& Lines);
  bool WantsClose(TSessionId Id) const;
  // False while the session waits for a password check or its data pace: the loop reads
  // nothing more from it until it is marked dirty and says true again.
  bool WantsInput(TSessionId Id) const;

  // Slow work (a password hash) and what to do with its result back on the loop: the loop runs
  // Job where it likes and then, on its own thread, the function Job returned. Unassigned: at once.
  using TSlowDone = std::function<void()>;
  using TSlowJob = std::function<TSlowDone()>;
  std::function<void(TSlowJob Job)> OnSlowWork;

  const TServerConfig& Config() const { return FConfig; }
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
  struct TBucket {
    double Tokens = 0;
    TMillis Stamp = 0;
    // Refills at Rate a second up to Burst; true when Need (at most Burst) is there. The
    // caller takes what it uses.
    bool Has(double Burst, double Rate, TMillis Now, double Need = 1);
  };
  struct TSession {
    TSessionId Id = 0;
    std::string Address;
    TMillis OpenedAt = 0;
    std::string In;
    std::size_t InPos = 0;    // bytes of In already handled
    std::size_t Scanned = 0;  // In from InPos to here holds no line feed
    std::deque<TWireLine> Out;
    bool Dirty = false;
    bool Closing = false;
    bool LoggedIn = false;
    bool Waiting = false;     // for slow work it asked for
    bool Handling = false;    // its input is being handled
    TMillis ResumeAt = -1;    // its data pace holds its input until then
    std::int64_t AccountId = 0;
    std::string UserId;
    std::string Record;  // the user's record as the others see it
    std::string Room;
    int BadLines = 0;
    TBucket Chat, DataLines, DataBytes;
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

  struct TAccountFailures {
    int Count = 0;
    TMillis Last = 0;
    TMillis BlockedUntil = 0;
  };

  TSession* Find(TSessionId Id);
  TRoom* FindRoom(const std::string& Name);
  void Send(TSession& S, std::string_view Line);
  void SendWire(TSession& S, const TWireLine& Wire);
  void MarkDirty(TSession& S);
  void SendToLoggedIn(std::string_view Line);
  void CloseSession(TSession& S, const std::string& Reason);
  void SetLoggedIn(TSession& S, bool LoggedIn);
  bool Bad(TSession& S, const std::string& Reason);
  void HandleInput(TSession& S, TMillis Now);
  bool RawLineTooLong(const TSession& S, std::string_view Raw) const;
  bool DataPaced(TSession& S, std::size_t Bytes, TMillis Now);
  void HandleLine(TSession& S, std::string Line, TMillis Now);
  // Runs Work as slow work; the session waits, and Then gets the result (nothing when Work
  // failed) and the session, unless that is gone by then.
  void Await(TSession& S, std::function<std::optional<std::string>()> Work,
             std::function<void(TSession* S, const std::optional<std::string>& Result)> Then);
  void HandleLogin(TSession& S, TLobbyMessage& M, bool NewUser, TMillis Now);
  void FinishLogin(TSession& S, const TAccount& A, TMillis Now);
  bool LoginRateLimited(const std::string& Key, TMillis Now);
  void NoteLoginFailure(const std::string& Key, TMillis Now);
  void NoteAccountFailure(std::int64_t AccountId, TMillis Now);
  // True when the pace of password checks from the address, or of the user's log-ins and
  // record changes, allows one more now (the caller takes it).
  bool AddressPace(const std::string& Address, TMillis Now);
  bool AccountPace(std::int64_t AccountId, TMillis Now);
  void Sweep(TMillis Now);
  void Join(TSession& S, TRoom& Room);
  void Leave(TSession& S);
  void HandleCreate(TSession& S, const TLobbyMessage& M, TMillis Now);
  void HandleSend(TSession& S, const TLobbyMessage& M, TMillis Now);
  void HandleCustom(TSession& S, const TLobbyMessage& M);
  void HandleUserUpdate(TSession& S, const TLobbyMessage& M);
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
  int PendingAllowance() const;

  std::unordered_map<TSessionId, TSession> FSessions;
  std::vector<std::unique_ptr<TRoom>> FRooms;  // in creation order
  std::unordered_map<std::string, TRoom*> FRoomIndex;
  std::map<std::string, std::deque<TMillis>> FLoginFailures;  // by address and user name
  std::map<std::int64_t, TAccountFailures> FAccountFailures;
  std::map<std::string, TBucket> FAddressLogins;
  std::map<std::int64_t, TBucket> FAccountLogins;
  std::vector<TSessionId> FDirty;
  TSessionId FNextId = 1;
  TMillis FNow = 0;        // the latest time the loop gave
  TMillis FSweptAt = 0;
  int FLoggedIn = 0;
  int FHashJobs = 0;
  TMillis FStartedAt = 0;
  std::int32_t FTotalConnections = 0;
  std::int32_t FTotalSubjects = 0;
  std::int32_t FPeakConnections = 0;
  long double FBytesRead = 0;
  long double FBytesWritten = 0;
  std::string FDummyHash;  // checked against for unknown names, so they cost as much
};
