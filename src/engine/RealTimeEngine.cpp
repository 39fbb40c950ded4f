#include "engine/RealTimeEngine.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <string_view>
#include <utility>

#include "foundation/ListError.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"

namespace {
// Runs a handler of the clock's events; a failure is kept (the first one) instead of breaking
// off the step, which raises it once it has posted its successor.
template <class F>
void Guarded(std::exception_ptr& Failure, F&& Handler) {
  try {
    Handler();
  } catch (...) {
    if (!Failure) Failure = std::current_exception();
  }
}

// The impulse number of a "ORDERS|user|impulse|..." or "CHANGES|impulse|..." message, its
// head and the fields before the number already cut off.
std::optional<std::int32_t> ImpulseField(std::string& Rest) { return TryStrToInt(NextToken(Rest, "|")); }
}  // namespace

// --- The connection ---

TImpulseConnection::~TImpulseConnection() {
  if (FLinkedClock) FLinkedClock->ConnectionGone(this);
}

TVexilImpulseConnection::~TVexilImpulseConnection() { Unlink(); }

std::string TVexilImpulseConnection::GetOwnUserId() const {
  return FConnection.OwnUser() ? FConnection.OwnUser()->UserId() : std::string();
}

std::vector<TVexilUserPtr> TVexilImpulseConnection::GetRoomUsers() const {
  std::vector<TVexilUserPtr> Users;
  for (int I = 0; I < FConnection.UserCount(); ++I)
    if (FConnection.Users(I)) Users.push_back(FConnection.Users(I));
  return Users;
}

TImpulseConnection::TDataHandler TVexilImpulseConnection::Link(TDataHandler OnData, TDepartureHandler OnDeparture) {
  Unlink();
  FSavedData = FConnection.OnDataReceived;
  FSavedRemoveUser = FConnection.OnRemoveUser;
  FLinked = true;
  // Each handler copies what it captured before calling anything: a handler it calls may
  // replace the connection's event, and with it this handler.
  FConnection.OnDataReceived = [OnData = std::move(OnData)](TVexilConnection*, const std::string& Text,
                                                             const std::string& From) {
    const TDataHandler Handler = OnData;
    if (Handler) Handler(Text, From);
  };
  FConnection.OnRemoveUser = [Saved = FSavedRemoveUser, OnDeparture = std::move(OnDeparture)](
                                 TVexilConnection* Sender, const TVexilUserPtr& User) {
    const TUserEvent Previous = Saved;
    const TDepartureHandler Departure = OnDeparture;
    const TVexilUserPtr Leaving = User;
    if (Previous) Previous(Sender, Leaving);
    if (Departure && Leaving) Departure(Leaving->UserId());
  };
  if (!FSavedData) return {};
  return [Saved = FSavedData, Connection = &FConnection](const std::string& Text, const std::string& From) {
    Saved(Connection, Text, From);
  };
}

void TVexilImpulseConnection::Unlink() {
  if (!FLinked) return;
  FLinked = false;
  FConnection.OnDataReceived = std::exchange(FSavedData, {});
  FConnection.OnRemoveUser = std::exchange(FSavedRemoveUser, {});
}

// --- The run ---

bool TClockRun::IsCurrent() const {
  const TRealTimeEngine* Clock = *FLife;
  return Clock && Clock->FActive && Clock->FGeneration == FGeneration;
}

// --- The clock ---

TRealTimeEngine::TRealTimeEngine(TImpulseScheduler& Scheduler)
    : FScheduler(Scheduler), FLife(std::make_shared<TRealTimeEngine*>(this)) {}

TRealTimeEngine::~TRealTimeEngine() {
  // A destructor cannot pass a failing OnDeactivate on; the clock goes all the same.
  try {
    SetActive(false);
  } catch (...) {
  }
  SetConnection(nullptr);
  *FLife = nullptr;
}

void TRealTimeEngine::SetImpulse(std::int32_t Value) {
  if (!FActive) FImpulse = Value;
}

void TRealTimeEngine::SetConnection(TImpulseConnection* Connection) {
  if (Connection == FConnection) return;
  if (TImpulseConnection* Old = std::exchange(FConnection, nullptr)) {
    FPreviousData = {};
    Old->FLinkedClock = nullptr;
    Old->Unlink();
  }
  if (!Connection) return;
  // A connection serves one clock.
  if (Connection->FLinkedClock) Connection->FLinkedClock->SetConnection(nullptr);
  FConnection = Connection;
  Connection->FLinkedClock = this;
  FPreviousData = Connection->Link(
      [Life = FLife](const std::string& Text, const std::string& From) {
        if (TRealTimeEngine* Clock = *Life) Clock->DataReceived(Text, From);
      },
      [Life = FLife](const std::string& UserId) {
        if (TRealTimeEngine* Clock = *Life) Clock->DropUser(UserId);
      });
}

void TRealTimeEngine::ConnectionGone(TImpulseConnection* Connection) {
  if (Connection != FConnection) return;
  FConnection = nullptr;
  FPreviousData = {};
}

void TRealTimeEngine::SetActive(bool Value) {
  if (Value == FActive) return;
  if (Value)
    Activate();
  else
    Deactivate();
}

void TRealTimeEngine::Activate() {
  std::vector<TVexilUserPtr> Users;
  TVexilUserPtr Solo;
  if (FConnection) {
    Users = FConnection->GetRoomUsers();
    std::erase(Users, nullptr);
  } else {
    Solo = std::make_shared<TVexilUser>();
    if (OnSoloUserInfo) OnSoloUserInfo(this, Solo);
    if (FActive) return;  // the handler started the clock itself
    Users.push_back(Solo);
  }
  FUsersToRemove.clear();
  FReceived.clear();
  FReceivedChanges.clear();
  FHaveChanges = false;
  FUsers = std::move(Users);
  FSoloUser = std::move(Solo);
  FActive = true;
  FRun = std::make_shared<TClockRun>(FLife, ++FGeneration);
  Schedule(FRun, 0, &TRealTimeEngine::BeginStep);
  if (OnActivate) OnActivate(this);
}

void TRealTimeEngine::Deactivate() {
  FActive = false;
  ++FGeneration;
  if (FPending) FScheduler.Cancel(std::exchange(FPending, 0));
  FRun.reset();
  FOrders.clear();
  FChanges.clear();
  FReceived.clear();
  FReceivedChanges.clear();
  FHaveChanges = false;
  FUsers.clear();
  FUsersToRemove.clear();
  FSoloUser.reset();
  if (OnDeactivate) OnDeactivate(this);
}

void TRealTimeEngine::Schedule(const std::shared_ptr<TClockRun>& Run, std::int32_t DelayMs, TStep Step) {
  FPending = FScheduler.Post(std::max(DelayMs, 0), [Run, Step] {
    // The step keeps its run alive while it works, whatever becomes of the clock.
    const std::shared_ptr<TClockRun> Self = Run;
    TRealTimeEngine* Clock = Self->GetClock();
    if (!Clock || !Self->IsCurrent()) return;
    Clock->FPending = 0;
    std::exception_ptr Failure;
    (Clock->*Step)(Self, Failure);
    if (Failure) std::rethrow_exception(Failure);
  });
}

// From here on a step checks its run after every handler: a handler may have deactivated the
// clock (the run is stale, the step ends) or destroyed it (then nothing of it is touched).

void TRealTimeEngine::BeginStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure) {
  Guarded(Failure, [&] {
    if (BeforeProcess) BeforeProcess(Run.get());
  });
  if (!Run->IsCurrent()) return;
  Run->FStartTime = FScheduler.NowMs();
  Run->FOrdersMessage = "ORDERS|" + GetUserName() + "|" + IntToStr(FImpulse) + "|" + FOrders;
  FOrders.clear();
  Run->FDoneWaiting = false;
  Run->FOwnOrdersAdded = false;
  Run->FOwnOrdersSent = false;
  WaitStep(Run, Failure);
}

void TRealTimeEngine::WaitStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure) {
  // Host or client is asked anew at every step: when the host drops, the next user takes over
  // with the orders the others sent to the whole room.
  if (IsHost()) {
    if (!Run->FOwnOrdersAdded) {
      Run->FOwnOrdersAdded = true;
      const std::string Own = GetUserName();
      if (!HasOrdersFrom(Own, FImpulse)) FReceived.push_back({Own, FImpulse, Run->FOrdersMessage});
    }
    Run->FDoneWaiting = AllOrdersIn();
  } else {
    if (!Run->FOwnOrdersSent) {
      Run->FOwnOrdersSent = true;
      if (FConnection) FConnection->SendData(Run->FOrdersMessage);
      // A connection that fails on the send may close the game at once.
      if (!Run->IsCurrent()) return;
    }
    Run->FDoneWaiting = FHaveChanges;
  }
  if (Run->FDoneWaiting)
    ProcessStep(Run, Failure);
  else
    Schedule(Run, WaitStepMs, &TRealTimeEngine::WaitStep);
}

void TRealTimeEngine::ProcessStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure) {
  const std::string_view Delimiter(&FOrderDelimiter, 1);
  if (IsHost()) {
    // This impulse's orders, one message per player, in the order they came.
    const std::string Own = GetUserName();
    std::vector<TReceivedOrders> Messages;
    for (const TReceivedOrders& M : FReceived)
      if (M.Impulse == FImpulse && (M.User == Own || IsUser(M.User))) Messages.push_back(M);
    const std::int32_t Impulse = FImpulse;
    std::erase_if(FReceived, [Impulse](const TReceivedOrders& M) { return M.Impulse <= Impulse; });
    if (OnCollectOrders) {
      for (const TReceivedOrders& M : Messages) {
        std::string Rest = M.Text;
        NextToken(Rest, "|");  // "ORDERS"
        const std::string User = NextToken(Rest, "|");
        NextToken(Rest, "|");  // the impulse
        while (!Rest.empty()) {
          const std::string Record = NextToken(Rest, Delimiter);
          Guarded(Failure, [&] {
            if (OnCollectOrders) OnCollectOrders(Run.get(), Record, User);
          });
          if (!Run->IsCurrent()) return;
        }
      }
    }
    Guarded(Failure, [&] {
      if (OnProcessOrders) OnProcessOrders(Run.get());
    });
    if (!Run->IsCurrent()) return;
    const std::string Message = "CHANGES|" + IntToStr(FImpulse) + "|" + FChanges;
    FChanges.clear();
    if (FUsers.size() > 1 && FConnection) {
      FConnection->SendData(Message);
      if (!Run->IsCurrent()) return;
    }
  } else {
    std::string Rest = std::exchange(FReceivedChanges, {});
    FHaveChanges = false;
    const std::int32_t Impulse = FImpulse;
    std::erase_if(FReceived, [Impulse](const TReceivedOrders& M) { return M.Impulse <= Impulse; });
    NextToken(Rest, "|");  // "CHANGES"
    NextToken(Rest, "|");  // the impulse
    while (OnProcessStateChange && !Rest.empty()) {
      const std::string Record = NextToken(Rest, Delimiter);
      Guarded(Failure, [&] {
        if (OnProcessStateChange) OnProcessStateChange(Run.get(), Record);
      });
      if (!Run->IsCurrent()) return;
    }
  }
  ++FImpulse;
  const std::int64_t Remaining = static_cast<std::int64_t>(FInterval) - (FScheduler.NowMs() - Run->FStartTime);
  Run->FRemaining = static_cast<std::int32_t>(std::clamp<std::int64_t>(Remaining, 0, std::numeric_limits<std::int32_t>::max()));

  // The users the rules took out leave now.
  while (!FUsersToRemove.empty()) {
    const TVexilUserPtr User = FUsersToRemove.front();
    if (std::find(FUsers.begin(), FUsers.end(), User) != FUsers.end()) {
      Guarded(Failure, [&] {
        if (OnUserRemoved) OnUserRemoved(Run.get(), User);
      });
      if (!Run->IsCurrent()) return;
      if (User->UserId() == GetUserName()) {
        // This machine's player is out: the clock stops, and this impulse still ends.
        Guarded(Failure, [this] { Deactivate(); });
        TRealTimeEngine* Clock = Run->GetClock();
        // Unless OnDeactivate destroyed the clock or started it again.
        if (Clock && !Clock->FActive && Clock->FGeneration == Run->FGeneration + 1)
          Guarded(Failure, [&] {
            if (Clock->AfterProcess) Clock->AfterProcess(Run.get());
          });
        return;
      }
      if (auto It = std::find(FUsers.begin(), FUsers.end(), User); It != FUsers.end()) FUsers.erase(It);
    }
    if (auto It = std::find(FUsersToRemove.begin(), FUsersToRemove.end(), User); It != FUsersToRemove.end())
      FUsersToRemove.erase(It);
  }

  Guarded(Failure, [&] {
    if (AfterProcess) AfterProcess(Run.get());
  });
  if (!Run->IsCurrent()) return;
  Schedule(Run, Run->FRemaining, &TRealTimeEngine::ResumeStep);
}

void TRealTimeEngine::ResumeStep(const std::shared_ptr<TClockRun>& Run, std::exception_ptr& Failure) {
  if (FPaused)
    Schedule(Run, PauseStepMs, &TRealTimeEngine::ResumeStep);
  else
    BeginStep(Run, Failure);
}

// --- Orders, changes, users ---

void TRealTimeEngine::AddOrder(const std::string& Record) {
  FOrders += Record;
  FOrders += FOrderDelimiter;
}

void TRealTimeEngine::AddChange(const std::string& Record) {
  if (!IsHost()) return;
  FChanges += Record;
  FChanges += FOrderDelimiter;
}

bool TRealTimeEngine::IsHost() const {
  return FUsers.empty() || !FConnection || FConnection->GetOwnUserId() == FUsers.front()->UserId();
}

std::string TRealTimeEngine::GetUserName() const {
  if (FConnection) {
    std::string Own = FConnection->GetOwnUserId();
    if (!Own.empty()) return Own;
  }
  if (FSoloUser) return FSoloUser->UserId();
  return "User";
}

const TVexilUserPtr& TRealTimeEngine::GetUser(int I) const {
  if (I < 0 || I >= GetUserCount()) throw EListError::IndexOutOfBounds(I);
  return FUsers[static_cast<std::size_t>(I)];
}

bool TRealTimeEngine::IsUser(const std::string& Name) const {
  return std::any_of(FUsers.begin(), FUsers.end(), [&](const TVexilUserPtr& U) { return U->UserId() == Name; });
}

bool TRealTimeEngine::HasOrdersFrom(const std::string& User, std::int32_t Impulse) const {
  return std::any_of(FReceived.begin(), FReceived.end(),
                     [&](const TReceivedOrders& M) { return M.Impulse == Impulse && M.User == User; });
}

bool TRealTimeEngine::AllOrdersIn() const {
  return std::all_of(FUsers.begin(), FUsers.end(),
                     [&](const TVexilUserPtr& U) { return HasOrdersFrom(U->UserId(), FImpulse); });
}

void TRealTimeEngine::RemoveUser(const std::string& Name) {
  auto It = std::find_if(FUsers.begin(), FUsers.end(), [&](const TVexilUserPtr& U) { return U->UserId() == Name; });
  if (It != FUsers.end()) FUsers.erase(It);
}

void TRealTimeEngine::MarkUserRemoved(const std::string& Name) {
  auto It = std::find_if(FUsers.begin(), FUsers.end(), [&](const TVexilUserPtr& U) { return U->UserId() == Name; });
  if (It != FUsers.end()) FUsersToRemove.push_back(*It);
}

bool TRealTimeEngine::DropUser(const std::string& Name) {
  if (!FActive) return false;
  auto It = std::find_if(FUsers.begin(), FUsers.end(), [&](const TVexilUserPtr& U) { return U->UserId() == Name; });
  if (It == FUsers.end()) return false;
  const TVexilUserPtr User = *It;
  FUsers.erase(It);
  std::erase(FUsersToRemove, User);
  std::erase_if(FReceived, [&](const TReceivedOrders& M) { return M.User == Name; });
  const std::shared_ptr<TClockRun> Run = FRun;
  if (OnUserRemoved) OnUserRemoved(Run.get(), User);
  if (!Run->IsCurrent()) return true;
  // Out of the room, this machine can neither send nor hear the impulses.
  if (Name == GetUserName()) SetActive(false);
  return true;
}

// --- The connection's data ---

void TRealTimeEngine::DataReceived(const std::string& Text, const std::string& Id) {
  const std::string_view Head = std::string_view(Text).substr(0, Text.find('|'));
  if (Head == "ORDERS") {
    // One message per player and impulse, from the player himself, for this impulse or the
    // next (a client that is one impulse ahead of this one).
    if (!FActive || !IsUser(Id)) return;
    std::string Rest = Text;
    NextToken(Rest, "|");
    if (NextToken(Rest, "|") != Id) return;
    const std::optional<std::int32_t> Impulse = ImpulseField(Rest);
    if (!Impulse) return;
    const std::int64_t Ahead = static_cast<std::int64_t>(*Impulse) - FImpulse;
    if (Ahead < 0 || Ahead > 1 || HasOrdersFrom(Id, *Impulse)) return;
    FReceived.push_back({Id, *Impulse, Text});
  } else if (Head == "CHANGES") {
    // Only the host's, only for this impulse.
    if (!FActive || IsHost() || FUsers.front()->UserId() != Id) return;
    std::string Rest = Text;
    NextToken(Rest, "|");
    if (ImpulseField(Rest) != FImpulse) return;
    FReceivedChanges = Text;
    FHaveChanges = true;
  } else if (FPreviousData) {
    const TImpulseConnection::TDataHandler Previous = FPreviousData;
    Previous(Text, Id);
  }
}
