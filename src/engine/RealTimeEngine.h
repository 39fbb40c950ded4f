#pragma once
// The impulse clock: paces the game in impulses of a fixed interval, collects the order records
// entered on every machine, lets the host (the first user of the game's room) run the rules on
// them, and carries the host's change records to every other machine. It runs over the lobby
// connection for an online game, or alone for a solo game.
//
// Messages (lobby data messages, fields separated by "|", each record followed by the order
// delimiter "~"):
//   "ORDERS|" user "|" impulse "|" order records      every client, to the room (the host
//                                                     keeps its own)
//   "CHANGES|" impulse "|" change records             the host, to the room
//
// The clock is a state machine on the main thread. Every step of an impulse runs from the
// injected scheduler and posts the next one only when it returns: a wait step every 20 ms while
// the orders or changes are missing, the rest of the interval after the impulse (the interval
// counts from the end of BeforeProcess to the end of the processing), 100 ms at a time while
// paused. Each activation starts a new run (TClockRun); a step of a run that is no
// longer the clock's current one ends at once, so a closed game is never processed, an old run
// never overlaps a new one, and nothing touches a clock that is gone. Handlers may deactivate,
// reactivate or even destroy the clock (the rules let the window system process messages while
// an impulse runs); the step ends as soon as it sees it.
//
// The host waits until every user of its list has sent orders for this impulse: a message
// from somebody outside the list, in another user's name, of another impulse, or a second one
// from the same user is not counted. A client takes "CHANGES|" only from the host and only for its current impulse.
// A user who leaves the room is dropped at once (DropUser), so the host never waits for orders
// that cannot come; a user the rules take out (MarkUserRemoved) leaves after the impulse.
//
// A handler that fails does not stop the game: the step carries on as if the handler had
// returned, posts its successor, and then raises the first failure to the scheduler.
#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/ImpulseScheduler.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUser.h"

class TRealTimeEngine;

// The lobby connection as the clock uses it. While the clock is linked it takes the
// connection's data messages, keeps the impulse messages and hands every other one back to the
// handler it replaced; and it hears when a user leaves the room.
class TImpulseConnection {
public:
  using TDataHandler = std::function<void(const std::string& Text, const std::string& From)>;
  using TDepartureHandler = std::function<void(const std::string& UserId)>;
  // A clock still linked forgets the connection.
  virtual ~TImpulseConnection();
  // The own user's identifier ("" before the log-in).
  virtual std::string GetOwnUserId() const = 0;
  // The users of the joined room, in the server's order (the first is the host).
  virtual std::vector<TVexilUserPtr> GetRoomUsers() const = 0;
  // A data message to the room's other users.
  virtual void SendData(const std::string& Text) = 0;
  // Puts OnData in the place of the connection's data handler and OnDeparture where it learns
  // of a user leaving the room; returns the data handler it replaced (empty for none).
  virtual TDataHandler Link(TDataHandler OnData, TDepartureHandler OnDeparture) = 0;
  // Gives the connection back what Link replaced.
  virtual void Unlink() = 0;

private:
  friend class TRealTimeEngine;
  TRealTimeEngine* FLinkedClock = nullptr;
};

// The clock over the game's lobby connection. It takes the connection's OnDataReceived and
// chains its OnRemoveUser (the handler that was there runs first, then the clock drops the user
// unless that handler did) while linked. It must go before the connection does.
class TVexilImpulseConnection : public TImpulseConnection {
public:
  explicit TVexilImpulseConnection(TVexilConnection& Connection) : FConnection(Connection) {}
  ~TVexilImpulseConnection() override;
  TVexilImpulseConnection(const TVexilImpulseConnection&) = delete;
  TVexilImpulseConnection& operator=(const TVexilImpulseConnection&) = delete;

  std::string GetOwnUserId() const override;
  std::vector<TVexilUserPtr> GetRoomUsers() const override;
  void SendData(const std::string& Text) override { FConnection.SendData(Text); }
  TDataHandler Link(TDataHandler OnData, TDepartureHandler OnDeparture) override;
  void Unlink() override;

private:
  TVexilConnection& FConnection;
  bool FLinked = false;
  TStringFromEvent FSavedData;
  TUserEvent FSavedRemoveUser;
};

// One run of the clock, from an activation to the deactivation: the Sender of every
// per-impulse event, lent for the handler's call. A handler that wants to tell later whether
// its run still goes on keeps shared_from_this().
class TClockRun : public std::enable_shared_from_this<TClockRun> {
public:
  TClockRun(std::shared_ptr<TRealTimeEngine*> Life, std::uint64_t Generation)
      : FLife(std::move(Life)), FGeneration(Generation) {}
  // The clock, nullptr once it is gone.
  TRealTimeEngine* GetClock() const { return *FLife; }
  std::uint64_t GetGeneration() const { return FGeneration; }
  // True while the clock exists and this is its current run.
  bool IsCurrent() const;

private:
  friend class TRealTimeEngine;
  std::shared_ptr<TRealTimeEngine*> FLife;
  std::uint64_t FGeneration;
  // The impulse under way.
  std::string FOrdersMessage;
  bool FDoneWaiting = false;
  bool FOwnOrdersAdded = false;
  bool FOwnOrdersSent = false;
  std::int64_t FStartTime = 0;
  std::int32_t FRemaining = 0;
};

using TClockRunEvent = std::function<void(TClockRun* Sender)>;
using TCollectOrdersEvent = std::function<void(TClockRun* Sender, const std::string& Text, const std::string& Id)>;
using TProcessStateChangeEvent = std::function<void(TClockRun* Sender, const std::string& Text)>;
using TClockUserEvent = std::function<void(TClockRun* Sender, const TVexilUserPtr& AUser)>;
using TSoloUserInfoEvent = std::function<void(TRealTimeEngine* Sender, const TVexilUserPtr& AUser)>;
using TClockEvent = std::function<void(TRealTimeEngine* Sender)>;

class TRealTimeEngine : public TChangeSink, public TImpulseUsers {
public:
  static constexpr std::int32_t DefaultInterval = 4000;
  // The interval of a duel of computer players at full speed.
  static constexpr std::int32_t FastDuelInterval = 100;
  static constexpr std::int32_t WaitStepMs = 20;
  static constexpr std::int32_t PauseStepMs = 100;

  // The scheduler must outlive the clock.
  explicit TRealTimeEngine(TImpulseScheduler& Scheduler);
  // Deactivates (OnDeactivate fires) and unlinks the connection.
  ~TRealTimeEngine() override;
  TRealTimeEngine(const TRealTimeEngine&) = delete;
  TRealTimeEngine& operator=(const TRealTimeEngine&) = delete;

  // --- Properties ---
  std::int32_t GetImpulse() const { return FImpulse; }
  // Ignored while active.
  void SetImpulse(std::int32_t Value);
  // Milliseconds per impulse; a new value paces the impulses that start after it.
  std::int32_t GetInterval() const { return FInterval; }
  void SetInterval(std::int32_t Value) { FInterval = Value; }
  char GetOrderDelimiter() const { return FOrderDelimiter; }
  void SetOrderDelimiter(char Value) { FOrderDelimiter = Value; }
  // The lobby connection, nullptr for none (a solo game). Linking takes the connection's data
  // messages; unlinking gives them back. The users are read from it at activation.
  TImpulseConnection* GetConnection() const { return FConnection; }
  void SetConnection(TImpulseConnection* Connection);
  bool GetActive() const { return FActive; }
  // Activation: the users (the room's, or the solo user after OnSoloUserInfo), a new run whose
  // first impulse starts at once, OnActivate. Deactivation: the run ends, the buffers, messages
  // and users go, OnDeactivate.
  void SetActive(bool Value);
  // While set the clock waits in steps of 100 ms after finishing an impulse.
  bool GetPaused() const { return FPaused; }
  void SetPaused(bool Value) { FPaused = Value; }
  // The current run (nullptr while inactive).
  TClockRun* GetRun() const { return FRun.get(); }

  // --- Orders and changes ---
  // One order record entered on this machine, for the next impulse's "ORDERS|" message.
  void AddOrder(const std::string& Record);
  // TChangeSink: one change record of the host's rules, for the impulse's "CHANGES|" message
  // (ignored on a client).
  void AddChange(const std::string& Record) override;
  bool IsActive() const override { return FActive; }
  // True without users, without connection, or when the own user is the first user.
  bool IsHost() const override;
  const std::string& GetOrdersBuffer() const { return FOrders; }
  const std::string& GetChangesBuffer() const { return FChanges; }

  // --- Users ---
  // The own user's identifier: the connection's, else the solo user's, else "User".
  std::string GetUserName() const;
  int GetUserCount() const override { return static_cast<int>(FUsers.size()); }
  // User I; an index outside raises EListError.
  const TVexilUserPtr& GetUser(int I) const;
  // TImpulseUsers: user I's identifier.
  std::string GetUserName(int I) const override { return GetUser(I)->UserId(); }
  // Deletes the first user with that identifier from the list.
  void RemoveUser(const std::string& Name);
  // TImpulseUsers: the first user with that identifier leaves after the current impulse
  // (OnUserRemoved; the own user's removal deactivates the clock once AfterProcess has run).
  void MarkUserRemoved(const std::string& Name) override;
  // A player has left the room: out of the list at once, with the orders he sent, so no wait
  // counts on him (OnUserRemoved). The own user's departure deactivates the clock. True when he
  // was one of the players. The main window calls it when the lobby reports the departure;
  // the connection adapter does too, after the main window's handler.
  bool DropUser(const std::string& Name);

  // --- The connection's data ---
  // "ORDERS|" and "CHANGES|" are the clock's; every other message goes to the data handler
  // the clock replaced.
  void DataReceived(const std::string& Text, const std::string& Id);

  // --- Events ---
  TClockRunEvent BeforeProcess;
  TCollectOrdersEvent OnCollectOrders;
  TClockRunEvent OnProcessOrders;
  TProcessStateChangeEvent OnProcessStateChange;
  TClockUserEvent OnUserRemoved;
  TClockRunEvent AfterProcess;
  TSoloUserInfoEvent OnSoloUserInfo;
  TClockEvent OnActivate;
  TClockEvent OnDeactivate;

private:
  friend class TClockRun;
  friend class TImpulseConnection;
  using TStep = void (TRealTimeEngine::*)(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure);
  // One "ORDERS|" message kept for its impulse.
  struct TReceivedOrders {
    std::string User;
    std::int32_t Impulse;
    std::string Text;
  };

  void Activate();
  void Deactivate();
  void Schedule(const std::shared_ptr<TClockRun>& Run, std::int32_t DelayMs, TStep Step);
  void BeginStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure);
  void WaitStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure);
  void ProcessStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure);
  void ResumeStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure);
  bool AllOrdersIn() const;
  bool IsUser(const std::string& Name) const;
  bool HasOrdersFrom(const std::string& User, std::int32_t Impulse) const;
  void ConnectionGone(TImpulseConnection* Connection);

  TImpulseScheduler& FScheduler;
  // Points at the clock while it exists; every run and every handler given to the connection
  // holds it, so nothing reaches a clock that is gone.
  std::shared_ptr<TRealTimeEngine*> FLife;
  std::uint64_t FGeneration = 0;
  std::shared_ptr<TClockRun> FRun;
  TImpulseScheduler::THandle FPending = 0;
  std::int32_t FImpulse = 0;
  std::int32_t FInterval = DefaultInterval;
  char FOrderDelimiter = '~';
  bool FActive = false;
  bool FPaused = false;
  TImpulseConnection* FConnection = nullptr;
  TImpulseConnection::TDataHandler FPreviousData;
  std::string FOrders;
  std::string FChanges;
  // The host's "CHANGES|" message for the current impulse, once it is here.
  std::string FReceivedChanges;
  bool FHaveChanges = false;
  std::vector<TReceivedOrders> FReceived;
  std::vector<TVexilUserPtr> FUsers;
  std::vector<TVexilUserPtr> FUsersToRemove;
  TVexilUserPtr FSoloUser;
};
