#include "server/LobbyServer.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "lobby/LobbyProtocol.h"
#include "lobby/VexilServerStats.h"
#include "lobby/VexilUtils.h"
#include "server/PasswordHash.h"

namespace {

constexpr int kMajorPowers = 7;
constexpr int kHallOfFameEntries = 10;
constexpr int kGameLogEntries = 50;
constexpr std::size_t kMaxRoomName = 200;

// A user name goes into room lists, player lists ("," separated) and the hall of fame, so it
// keeps to printable ASCII without any of the game's separators.
bool ValidUserName(const std::string& Name) {
  if (Name.empty() || Name.size() > 24 || Name.front() == ' ' || Name.back() == ' ' ||
      Name.front() == '[')
    return false;
  for (const char C : Name) {
    if (C < 0x20 || C > 0x7e) return false;
    if (std::string_view("|^`~;,%#=\"").find(C) != std::string_view::npos) return false;
  }
  return true;
}

bool ValidPassword(const std::string& Password) {
  if (Password.empty() || Password.size() > 64) return false;
  return std::none_of(Password.begin(), Password.end(),
                      [](char C) { return static_cast<unsigned char>(C) < 0x20; });
}

// Text kept for the hall-of-fame reply may not hold its separators nor control characters.
std::string Clean(std::string_view Text, std::size_t Max) {
  std::string S;
  for (const char C : Text) {
    if (static_cast<unsigned char>(C) < 0x20 || std::string_view("`~;%|").find(C) != std::string_view::npos)
      continue;
    if (S.size() == Max) break;
    S += C;
  }
  return S;
}

std::vector<std::string> Fields(std::string S, std::string_view Delim) {
  std::vector<std::string> F;
  while (!S.empty()) F.push_back(NextToken(S, Delim));
  return F;
}

// A record field as kept: no "|" (it would split the lines the record travels in), no control
// characters, at most Max bytes.
std::string Truncated(const std::string& S, std::size_t Max) {
  std::string T;
  for (const char C : S)
    if (C != '|' && static_cast<unsigned char>(C) >= 0x20 && T.size() < Max) T += C;
  return T;
}

// The part of a user's record the player may edit, as it is kept with the account.
std::string ProfileOf(const TVexilUser& U) {
  TVexilUser P;
  P.SetFirstName(Truncated(U.FirstName(), 24));
  P.SetLastName(Truncated(U.LastName(), 24));
  P.SetCity(Truncated(U.City(), 24));
  P.SetCountry(Truncated(U.Country(), 24));
  P.SetEMail(Truncated(U.EMail(), 48));
  P.SetHomePage(Truncated(U.HomePage(), 48));
  P.SetComments(Truncated(U.Comments(), 1000));
  P.SetGlyph(U.Glyph());
  P.SetIcq(Truncated(U.Icq(), 20));
  return P.SaveToString();
}

std::string RankOf(std::int64_t Wins) {
  static const std::pair<std::int64_t, const char*> Ranks[] = {
      {75, "General"}, {50, "Colonel"},  {35, "Major"},   {20, "Captain"},
      {10, "Lieutenant"}, {6, "Sergeant"}, {3, "Corporal"}, {1, "Private"}};
  for (const auto& [Min, Name] : Ranks)
    if (Wins >= Min) return Name;
  return "Recruit";
}

std::string Quoted(const std::string& S) { return "\"" + S + "\""; }

std::string Lower(std::string S) {
  for (char& C : S)
    if (C >= 'A' && C <= 'Z') C = static_cast<char>(C - 'A' + 'a');
  return S;
}

TWireLine Shared(std::string Wire) { return std::make_shared<const std::string>(std::move(Wire)); }

std::string ErrorLine(std::string_view Reason) { return LobbyLine(lcError, {Reason}); }
std::string LoginFailLine(std::string_view Reason) { return LobbyLine(lcLoginResult, {LobbyLoginFail, Reason}); }

// The start of every data line a user sends, which may be longer than a command line.
bool IsDataLine(std::string_view Line) {
  static const std::string Prefix = LobbyLine(lcSend, {LobbyDataKind, ""});
  return Line.substr(0, Prefix.size()) == Prefix;
}

constexpr TMillis kSweepMs = 10000;

}  // namespace

bool TLobbyServer::TBucket::Has(double Burst, double Rate, TMillis Now, double Need) {
  Tokens = std::min(Burst, Tokens + static_cast<double>(Now - Stamp) / 1000.0 * Rate);
  Stamp = Now;
  return Tokens >= std::min(Need, Burst) - 1e-9;  // a whole token's worth despite rounding
}

namespace {

}  // namespace

TLobbyServer::TLobbyServer(TServerConfig Config, TAccountStore& Store, TMillis Now)
    : FConfig(std::move(Config)), FStore(Store), FStartedAt(Now) {
  if (!FConfig.Key.empty()) FScrambler.emplace(FConfig.Key);
  auto Lobby = std::make_unique<TRoom>();
  Lobby->Name = LobbyChatRoom;
  Lobby->Permanent = true;
  FRoomIndex[Lobby->Name] = Lobby.get();
  FRooms.push_back(std::move(Lobby));
  FDummyHash = HashPassword("no such user", FConfig.HashCost);
}

// --- framing --------------------------------------------------------------------------------

std::string TLobbyServer::EncodeLine(std::string_view Line) const {
  std::string S(Line);
  if (FScrambler) FScrambler->EncryptString(S);
  std::string Wire = EscapeLine(S);
  Wire += kVexilLineEnd;
  return Wire;
}

std::optional<std::string> TLobbyServer::DecodeLine(std::string_view Wire) const {
  std::optional<std::string> S = UnescapeLine(Wire);
  if (S && FScrambler) FScrambler->DecryptString(*S);
  return S;
}

// --- sessions -------------------------------------------------------------------------------

TLobbyServer::TSession* TLobbyServer::Find(TSessionId Id) {
  auto It = FSessions.find(Id);
  return It == FSessions.end() ? nullptr : &It->second;
}

TLobbyServer::TRoom* TLobbyServer::FindRoom(const std::string& Name) {
  auto It = FRoomIndex.find(Name);
  return It == FRoomIndex.end() ? nullptr : It->second;
}

int TLobbyServer::PendingAllowance() const {
  if (FConfig.MaxPendingConnections > 0) return FConfig.MaxPendingConnections;
  return std::min(FConfig.MaxConnections, std::max(16, FConfig.MaxConnections / 10));
}

TSessionId TLobbyServer::Open(const std::string& Address, TMillis Now) {
  FNow = Now;
  int FromAddress = 0;
  int Pending = 0;
  TSession* Idlest = nullptr;  // the oldest idle connection not logged in
  for (auto& [Id, S] : FSessions) {
    if (S.Closing) continue;
    if (S.Address == Address) ++FromAddress;
    if (S.LoggedIn) continue;
    ++Pending;
    if (!S.Waiting && Now - S.OpenedAt >= FConfig.PendingGrace &&
        (!Idlest || S.OpenedAt < Idlest->OpenedAt || (S.OpenedAt == Idlest->OpenedAt && S.Id < Idlest->Id)))
      Idlest = &S;
  }
  const TSessionId Id = FNextId++;
  TSession& S = FSessions[Id];
  S.Id = Id;
  S.Address = Address;
  S.OpenedAt = Now;
  S.Chat = {FConfig.ChatBurst, Now};
  S.DataLines = {FConfig.DataBurst, Now};
  S.DataBytes = {FConfig.DataBytesBurst, Now};
  ++FTotalConnections;
  FPeakConnections = std::max<std::int32_t>(FPeakConnections, FLoggedIn + Pending + 1);
  const std::string Full = "The lobby is full; please try again later";
  if (FLoggedIn >= FConfig.MaxConnections) {
    CloseSession(S, Full);
  } else if (FConfig.MaxConnectionsPerAddress > 0 && FromAddress >= FConfig.MaxConnectionsPerAddress) {
    CloseSession(S, "Too many connections from your address");
  } else if (Pending >= PendingAllowance()) {
    if (Idlest)
      CloseSession(*Idlest, "Others are waiting to log in; please log in as soon as you connect");
    else
      CloseSession(S, Full);
  }
  return Id;
}

void TLobbyServer::Closed(TSessionId Id, TMillis) {
  TSession* S = Find(Id);
  if (!S) return;
  if (S->LoggedIn) Log(S->UserId + " left");
  SetLoggedIn(*S, false);
  Leave(*S);
  FSessions.erase(Id);
}

void TLobbyServer::SetLoggedIn(TSession& S, bool LoggedIn) {
  if (S.LoggedIn == LoggedIn) return;
  S.LoggedIn = LoggedIn;
  FLoggedIn += LoggedIn ? 1 : -1;
}

void TLobbyServer::Kill(TSessionId Id, const std::string& Reason) {
  if (TSession* S = Find(Id)) CloseSession(*S, Reason);
}

void TLobbyServer::Send(TSession& S, std::string_view Line) { SendWire(S, Shared(EncodeLine(Line))); }

void TLobbyServer::SendWire(TSession& S, const TWireLine& Wire) {
  if (S.Closing) return;
  S.Out.push_back(Wire);
  MarkDirty(S);
}

void TLobbyServer::MarkDirty(TSession& S) {
  if (S.Dirty) return;
  S.Dirty = true;
  FDirty.push_back(S.Id);
}

void TLobbyServer::SendToLoggedIn(std::string_view Line) {
  const TWireLine Wire = Shared(EncodeLine(Line));
  for (auto& [Id, S] : FSessions)
    if (S.LoggedIn) SendWire(S, Wire);
}

void TLobbyServer::CloseSession(TSession& S, const std::string& Reason) {
  if (S.Closing) return;
  Send(S, ErrorLine(Reason));
  Log((S.LoggedIn ? S.UserId : S.Address) + " cut off: " + Reason);
  SetLoggedIn(S, false);
  S.Closing = true;
  MarkDirty(S);
  Leave(S);
}

bool TLobbyServer::Bad(TSession& S, const std::string& Reason) {
  Send(S, ErrorLine(Reason));
  if (++S.BadLines > FConfig.MaxBadLines) CloseSession(S, "Too many bad lines");
  return false;
}

std::vector<TSessionId> TLobbyServer::TakeDirty() {
  std::vector<TSessionId> D = std::move(FDirty);
  FDirty.clear();
  for (const TSessionId Id : D)
    if (TSession* S = Find(Id)) S->Dirty = false;
  return D;
}

std::string TLobbyServer::TakeOutput(TSessionId Id) {
  std::vector<TWireLine> Lines;
  TakeLines(Id, Lines);
  std::string Out;
  for (const TWireLine& L : Lines) Out += *L;
  return Out;
}

void TLobbyServer::TakeLines(TSessionId Id, std::vector<TWireLine>& Lines) {
  TSession* S = Find(Id);
  if (!S) return;
  for (TWireLine& L : S->Out) Lines.push_back(std::move(L));
  S->Out.clear();
}

bool TLobbyServer::WantsClose(TSessionId Id) const {
  auto It = FSessions.find(Id);
  return It != FSessions.end() && It->second.Closing;
}

bool TLobbyServer::WantsInput(TSessionId Id) const {
  auto It = FSessions.find(Id);
  return It != FSessions.end() && !It->second.Closing && !It->second.Waiting && It->second.ResumeAt < 0;
}

// --- input ----------------------------------------------------------------------------------

void TLobbyServer::Receive(TSessionId Id, std::string_view Bytes, TMillis Now) {
  FNow = Now;
  FBytesRead += static_cast<long double>(Bytes.size());
  TSession* S = Find(Id);
  if (!S || S->Closing) return;
  S->In.append(Bytes);
  HandleInput(*S, Now);
}

// Handles the whole lines received, in order, until the session has to wait (for a password
// check or its data pace); what is left waits in In for the next call.
void TLobbyServer::HandleInput(TSession& S, TMillis Now) {
  if (S.Handling) return;
  S.Handling = true;
  while (!S.Closing && !S.Waiting && S.ResumeAt < 0) {
    // The bytes scanned before hold no line feed: a long data line arriving in many pieces is
    // scanned once, not once per piece.
    const std::size_t End = S.In.find(kVexilLineEnd, std::max(S.InPos, S.Scanned));
    if (End == std::string::npos) {
      S.Scanned = S.In.size();
      break;
    }
    const std::string_view Raw = std::string_view(S.In).substr(S.InPos, End - S.InPos);
    // A whole line is held to the cap an unfinished one meets, so that the same bytes end the
    // session alike whether they come at once or in pieces.
    if (RawLineTooLong(S, Raw)) {
      CloseSession(S, "Line too long");
      break;
    }
    std::optional<std::string> Line = DecodeLine(Raw);
    if (!Line) {
      S.InPos = End + 1;
      Bad(S, "That line is not framed as a lobby line");
      continue;
    }
    // Only a user who has logged in may send the long data lines.
    const bool Data = S.LoggedIn && IsDataLine(*Line);
    if (Line->size() > (Data ? FConfig.MaxDataLine : FConfig.MaxCommandLine)) {
      CloseSession(S, "Line too long");
      break;
    }
    if (Data && DataPaced(S, Line->size(), Now)) break;
    S.InPos = End + 1;
    HandleLine(S, std::move(*Line), Now);
  }
  S.Handling = false;
  if (S.Closing) {
    S.In.clear();
    S.InPos = S.Scanned = 0;
    return;
  }
  S.In.erase(0, S.InPos);
  S.Scanned -= std::min(S.Scanned, S.InPos);
  S.InPos = 0;
  if (S.Waiting || S.ResumeAt >= 0) return;  // the loop reads nothing more meanwhile
  if (RawLineTooLong(S, S.In)) CloseSession(S, "Line too long");
}

// A line as it came (framed, escaped) may be as long as the cap of its kind twice over (for its
// framing) and its two framing bytes; a data line shows its kind in its first bytes.
bool TLobbyServer::RawLineTooLong(const TSession& S, std::string_view Raw) const {
  if (Raw.size() <= 2 * FConfig.MaxCommandLine + 2) return false;
  std::string Head(Raw.substr(0, 24));
  while (!Head.empty() && !UnescapeLine(Head)) Head.pop_back();
  std::optional<std::string> Plain = DecodeLine(Head);
  const bool Data = S.LoggedIn && Plain && IsDataLine(*Plain);
  return !Data || Raw.size() > 2 * FConfig.MaxDataLine + 2;
}

// True when the user's data pace holds this line back; the session then resumes by itself.
bool TLobbyServer::DataPaced(TSession& S, std::size_t Bytes, TMillis Now) {
  const double B = static_cast<double>(Bytes);
  const bool Lines = S.DataLines.Has(FConfig.DataBurst, FConfig.DataPerSecond, Now);
  const bool Room = S.DataBytes.Has(FConfig.DataBytesBurst, FConfig.DataBytesPerSecond, Now, B);
  if (Lines && Room) {
    S.DataLines.Tokens -= 1;
    S.DataBytes.Tokens -= std::min(B, FConfig.DataBytesBurst);
    return false;
  }
  const double LineWait = Lines ? 0 : (1 - S.DataLines.Tokens) / FConfig.DataPerSecond;
  const double ByteWait =
      Room ? 0 : (std::min(B, FConfig.DataBytesBurst) - S.DataBytes.Tokens) / FConfig.DataBytesPerSecond;
  S.ResumeAt = Now + std::max<TMillis>(1, static_cast<TMillis>(std::ceil(1000.0 * std::max(LineWait, ByteWait) - 1e-6)));
  return true;
}

void TLobbyServer::Await(TSession& S, std::function<std::optional<std::string>()> Work,
                         std::function<void(TSession*, const std::optional<std::string>&)> Then) {
  S.Waiting = true;
  ++FHashJobs;
  const TSessionId Id = S.Id;
  TSlowJob Job = [this, Id, Work = std::move(Work), Then = std::move(Then)]() -> TSlowDone {
    std::optional<std::string> Result;
    try {
      Result = Work();
    } catch (const std::exception&) {
      Result.reset();
    }
    return [this, Id, Result = std::move(Result), Then] {
      --FHashJobs;
      TSession* S = Find(Id);
      if (S) S->Waiting = false;
      Then(S, Result);
      if (S && !S->Closing) {
        MarkDirty(*S);  // it may want input again
        HandleInput(*S, FNow);
      }
    };
  };
  if (OnSlowWork)
    OnSlowWork(std::move(Job));
  else
    Job()();
}

void TLobbyServer::HandleLine(TSession& S, std::string Line, TMillis Now) {
  TLobbyReadResult Read = ReadLobbyLine(std::move(Line), ldToServer);
  if (Read.Result == lrUnknownCommand) {
    Bad(S, S.LoggedIn ? "Unknown command" : "Please log in first");
    return;
  }
  TLobbyMessage& M = Read.Message;
  if (M.Command == lcPingReply) {
    if (S.PingSentAt >= 0) {
      S.Latency = static_cast<std::int32_t>(std::max<TMillis>(1, Now - S.PingSentAt));
      S.PingSentAt = -1;
      S.LastPing = Now;
    }
    return;
  }
  const bool LoggingIn = M.Command == lcLogin || M.Command == lcLoginNew;
  if (!S.LoggedIn && !LoggingIn) {
    Bad(S, "Please log in first");
    return;
  }
  if (S.LoggedIn && LoggingIn) {
    Send(S, ErrorLine("You are logged in already"));
    return;
  }
  if (Read.Result == lrWrongFieldCount) {
    Bad(S, LobbyFieldCountError(LobbyCommandRow(M.Command)));
    return;
  }
  switch (M.Command) {
    case lcLogin:
    case lcLoginNew:
      HandleLogin(S, M, M.Command == lcLoginNew, Now);
      break;
    case lcCreateSubject:
      HandleCreate(S, M, Now);
      break;
    case lcJoinSubject: {
      const std::string& Name = M[0];
      if (Name == S.Room) return;
      TRoom* Room = FindRoom(Name);
      if (!Room)
        Send(S, ErrorLine("There is no room named " + Quoted(Name)));
      else if (Room->Begun)
        Send(S, ErrorLine("The game in " + Quoted(Name) + " has already begun"));
      else
        Join(S, *Room);
      break;
    }
    case lcSend:
      HandleSend(S, M, Now);
      break;
    case lcServerStats:
      Send(S, LobbyLine(lcServerStatsReply, {StatsText(Now)}));
      break;
    case lcUserInfo:
      if (std::optional<TAccount> A = FStore.Find(M[0]))
        Send(S, LobbyLine(lcUserInfoReply, {RecordOf(*A)}));
      else
        Send(S, ErrorLine("There is no user named " + Quoted(M[0])));
      break;
    case lcUserUpdate:
      HandleUserUpdate(S, M);
      break;
    case lcCustom:
      HandleCustom(S, M);
      break;
    default:
      Bad(S, "Unknown command");
      break;
  }
}

// --- log-in ---------------------------------------------------------------------------------

bool TLobbyServer::LoginRateLimited(const std::string& Key, TMillis Now) {
  auto It = FLoginFailures.find(Key);
  if (It == FLoginFailures.end()) return false;
  std::deque<TMillis>& Times = It->second;
  while (!Times.empty() && Now - Times.front() >= FConfig.LoginFailureWindow) Times.pop_front();
  if (Times.empty()) {
    FLoginFailures.erase(It);
    return false;
  }
  return static_cast<int>(Times.size()) >= FConfig.LoginFailures;
}

void TLobbyServer::NoteLoginFailure(const std::string& Key, TMillis Now) {
  FLoginFailures[Key].push_back(Now);
}

void TLobbyServer::NoteAccountFailure(std::int64_t AccountId, TMillis Now) {
  TAccountFailures& F = FAccountFailures[AccountId];
  if (Now - F.Last >= FConfig.LoginFailureWindow && Now >= F.BlockedUntil) F.Count = 0;
  F.Last = Now;
  if (++F.Count < FConfig.AccountFailures) return;
  const int Doublings = std::min(F.Count - FConfig.AccountFailures, 30);
  const TMillis Wait = std::min(FConfig.AccountBackoffMax, FConfig.AccountBackoff << Doublings);
  F.BlockedUntil = Now + Wait;
}

bool TLobbyServer::AddressPace(const std::string& Address, TMillis Now) {
  return FAddressLogins.try_emplace(Address, TBucket{FConfig.AddressLoginBurst, Now})
      .first->second.Has(FConfig.AddressLoginBurst, FConfig.AddressLoginsPerSecond, Now);
}

bool TLobbyServer::AccountPace(std::int64_t AccountId, TMillis Now) {
  return FAccountLogins.try_emplace(AccountId, TBucket{FConfig.AccountLoginBurst, Now})
      .first->second.Has(FConfig.AccountLoginBurst, FConfig.AccountLoginsPerSecond, Now);
}

void TLobbyServer::HandleLogin(TSession& S, TLobbyMessage& M, bool NewUser, TMillis Now) {
  const std::string Name = M[0];
  // M[1] is the product code; M[2] the password, or the new user's record.
  const std::string P = std::move(M.Fields[2]);
  // A guesser of one user's password from one address waits; the others from there do not.
  const std::string FailureKey = S.Address + "\n" + Lower(Name);
  auto Refuse = [&](const std::string& Reason) {
    Send(S, LoginFailLine(Reason));
    if (++S.BadLines > FConfig.MaxBadLines) CloseSession(S, "Too many bad lines");
  };
  if (LoginRateLimited(FailureKey, Now)) {
    Refuse("Too many failed log-ins from your address; please wait a minute");
    return;
  }
  std::optional<TAccount> Known = FStore.Find(Name);
  if (Known && !NewUser) {
    auto F = FAccountFailures.find(Known->Id);
    if (F != FAccountFailures.end() && Now < F->second.BlockedUntil) {
      const TMillis Seconds = (F->second.BlockedUntil - Now + 999) / 1000;
      Refuse("Too many failed log-ins as " + Known->Name + "; please wait " + IntToStr(Seconds) +
             (Seconds == 1 ? " second" : " seconds"));
      return;
    }
    if (!AccountPace(Known->Id, Now)) {
      Refuse("Too many log-ins as " + Known->Name + "; please wait a minute");
      return;
    }
  }
  TVexilUser U;
  if (NewUser) {
    try {
      U.LoadFromString(P);
    } catch (const EConvertError&) {
      Send(S, LoginFailLine("The new user's record does not read"));
      return;
    }
    if (!ValidUserName(Name)) {
      Send(S, LoginFailLine("A user name has 1 to 24 letters, digits and simple marks"));
      return;
    }
    if (!ValidPassword(U.Password())) {
      Send(S, LoginFailLine("A password has 1 to 64 characters"));
      return;
    }
    if (Known) {
      Send(S, LoginFailLine("The user name " + Name + " is taken"));
      return;
    }
  }
  if (!AddressPace(S.Address, Now)) {
    Refuse("Too many log-ins from your address; please wait a moment");
    return;
  }
  if (FHashJobs >= FConfig.MaxHashJobs) {
    Send(S, LoginFailLine("The lobby is busy; please try again in a moment"));
    return;
  }
  FAddressLogins[S.Address].Tokens -= 1;

  if (!NewUser) {
    // An unknown name costs as much as a wrong password, so the answer's speed tells nothing.
    const std::string Hash = Known ? Known->Hash : FDummyHash;
    const std::string Password = P;
    Await(
        S, [Password, Hash]() -> std::optional<std::string> {
          if (!VerifyPassword(Password, Hash)) return std::nullopt;
          return std::string();
        },
        [this, Name, FailureKey, Known](TSession* S, const std::optional<std::string>& Ok) {
          if (!Ok || !Known) {
            NoteLoginFailure(FailureKey, FNow);
            if (Known) NoteAccountFailure(Known->Id, FNow);
            if (!S || S->Closing) return;
            Log("failed log-in as " + Quoted(Clean(Name, 24)) + " from " + S->Address);
            Send(*S, LoginFailLine("Unknown user name or wrong password"));
            return;
          }
          FAccountFailures.erase(Known->Id);
          FAccountLogins[Known->Id].Tokens -= 1;
          if (!S || S->Closing) return;
          // The record as it is now: it may have changed while the password was checked.
          const std::optional<TAccount> A = FStore.Find(Known->Name);
          if (!A) {
            Send(*S, LoginFailLine("Unknown user name or wrong password"));
            return;
          }
          FinishLogin(*S, *A, FNow);
        });
    return;
  }
  TAccount A;
  A.Name = Name;
  A.Profile = ProfileOf(U);
  const std::string Password = U.Password();
  const int Cost = FConfig.HashCost;
  Await(
      S, [Password, Cost]() -> std::optional<std::string> { return HashPassword(Password, Cost); },
      [this, A](TSession* S, const std::optional<std::string>& Hash) mutable {
        if (!S || S->Closing) return;
        if (!Hash) {
          Send(*S, LoginFailLine("The lobby could not keep your password; please try again"));
          return;
        }
        A.Hash = *Hash;
        A.Created = A.LastLogin = VexilToday();
        if (!FStore.Create(A)) {
          Send(*S, LoginFailLine("The user name " + A.Name + " is taken"));
          return;
        }
        Log("new user " + A.Name + " from " + S->Address);
        FAccountLogins[A.Id] = TBucket{FConfig.AccountLoginBurst - 1, FNow};
        FinishLogin(*S, A, FNow);
      });
}

void TLobbyServer::FinishLogin(TSession& S, const TAccount& Account, TMillis Now) {
  for (auto& [Id, Other] : FSessions)
    if (Id != S.Id && Other.LoggedIn && Other.AccountId == Account.Id)
      CloseSession(Other, "You have logged in from another place");
  if (FLoggedIn >= FConfig.MaxConnections) {
    Send(S, LoginFailLine("The lobby is full; please try again later"));
    CloseSession(S, "The lobby is full; please try again later");
    return;
  }
  TAccount A = Account;
  A.LastLogin = VexilToday();
  FStore.UpdateLastLogin(A.Id, A.LastLogin);
  SetLoggedIn(S, true);
  S.AccountId = A.Id;
  S.UserId = A.Name;
  S.Record = RecordOf(A);
  S.LastPing = Now;
  S.PingSentAt = -1;
  Log(S.UserId + " logged in from " + S.Address);
  Send(S, LobbyLine(lcLoginResult, {LobbyLoginSuccess, S.Record}));
  Send(S, LobbyLine(lcCustomReply, {LobbyVersionMessage, FConfig.LatestVersion + "|" + IntToStr(FConfig.LatestBuild)}));
  Send(S, LobbyListLine(lcSubjects, {}, RoomNames()));
  Join(S, *FindRoom(LobbyChatRoom));
}

std::string TLobbyServer::RecordOf(const TAccount& A) const {
  TVexilUser U;
  try {
    U.LoadFromString(A.Profile);
  } catch (const EConvertError&) {
    U = TVexilUser();
  }
  U.SetUserId(A.Name);
  U.SetPassword("");
  U.SetFirstDate(A.Created);
  U.SetSecondDate(A.LastLogin);
  U.SetServerNumber(static_cast<std::int32_t>(A.Id));
  U.SetInfo({std::string(LobbyWinsInfo) + "=" + IntToStr(A.Wins), std::string(LobbyLossesInfo) + "=" + IntToStr(A.Losses),
             std::string(LobbyScoreInfo) + "=" + IntToStr(A.Score), std::string(LobbyRankInfo) + "=" + RankOf(A.Wins)});
  return U.SaveToString();
}

void TLobbyServer::RefreshRecord(const std::string& UserId) {
  std::optional<TAccount> A = FStore.Find(UserId);
  if (!A) return;
  for (auto& [Id, S] : FSessions)
    if (S.LoggedIn && S.AccountId == A->Id) S.Record = RecordOf(*A);
}

// --- rooms ----------------------------------------------------------------------------------

std::vector<std::string> TLobbyServer::RoomNames() const {
  std::vector<std::string> Names;
  for (const auto& R : FRooms)
    if (R->Listed) Names.push_back(R->Name);
  return Names;
}

void TLobbyServer::Join(TSession& S, TRoom& Room) {
  Leave(S);
  Room.Guests.push_back(S.Id);
  S.Room = Room.Name;
  std::vector<std::string> Records;
  Records.reserve(Room.Guests.size());
  for (const TSessionId G : Room.Guests) Records.push_back(FSessions[G].Record);
  Send(S, LobbyListLine(lcJoinedSubject, {Room.Name}, Records));
  const TWireLine Wire = Shared(EncodeLine(LobbyLine(lcAddGuest, {Room.Name, S.Record})));
  for (const TSessionId G : Room.Guests)
    if (G != S.Id) SendWire(FSessions[G], Wire);
  if (Room.Capacity > 0 && static_cast<int>(Room.Guests.size()) >= Room.Capacity && !Room.Begun) {
    Room.Begun = true;
    for (const TSessionId G : Room.Guests) Room.Members.push_back(FSessions[G].UserId);
    const TWireLine Begin = Shared(EncodeLine(LobbyLine(lcBeginSubject)));
    for (const TSessionId G : Room.Guests) SendWire(FSessions[G], Begin);
    Log("the game in " + Quoted(Room.Name) + " begins");
    if (Room.Listed) {
      Room.Listed = false;
      SendToLoggedIn(LobbyLine(lcRemoveSubject, {Room.Name}));
    }
  }
}

void TLobbyServer::Leave(TSession& S) {
  if (S.Room.empty()) return;
  const std::string Name = std::exchange(S.Room, std::string());
  TRoom* Found = FindRoom(Name);
  if (!Found) return;
  TRoom& Room = *Found;
  std::erase(Room.Guests, S.Id);
  const TWireLine Wire = Shared(EncodeLine(LobbyLine(lcRemoveGuest, {S.UserId})));
  for (const TSessionId G : Room.Guests) SendWire(FSessions[G], Wire);
  if (Room.Guests.empty() && !Room.Permanent) {
    if (Room.Listed) SendToLoggedIn(LobbyLine(lcRemoveSubject, {Room.Name}));
    FRoomIndex.erase(Room.Name);
    std::erase_if(FRooms, [&](const auto& R) { return R.get() == Found; });
  }
}

void TLobbyServer::HandleCreate(TSession& S, const TLobbyMessage& M, TMillis Now) {
  const std::string& Name = M[0];
  const std::optional<std::int32_t> Count = TryStrToInt(M[1]);
  if (!Count || *Count < 0 || *Count > FConfig.MaxGuests) {
    Bad(S, "The player count of a room is 0 to " + IntToStr(FConfig.MaxGuests));
    return;
  }
  if (Name.empty() || Name.size() > kMaxRoomName ||
      std::any_of(Name.begin(), Name.end(), [](char C) { return static_cast<unsigned char>(C) < 0x20; })) {
    Bad(S, "A room's name has 1 to 200 characters");
    return;
  }
  if (FindRoom(Name)) {
    Send(S, ErrorLine("A room named " + Quoted(Name) + " already exists"));
    return;
  }
  while (!S.RoomsCreated.empty() && Now - S.RoomsCreated.front() >= FConfig.RoomWindow)
    S.RoomsCreated.pop_front();
  if (static_cast<int>(S.RoomsCreated.size()) >= FConfig.RoomsPerWindow) {
    Send(S, ErrorLine("You are creating rooms too fast; please wait a minute"));
    return;
  }
  S.RoomsCreated.push_back(Now);
  auto Room = std::make_unique<TRoom>();
  Room->Name = Name;
  Room->Capacity = *Count;
  TRoom& R = *Room;
  FRoomIndex[Name] = &R;
  FRooms.push_back(std::move(Room));
  ++FTotalSubjects;
  Log(S.UserId + " made the room " + Quoted(Name));
  SendToLoggedIn(LobbyLine(lcAddSubject, {Name}));
  Join(S, R);
}

void TLobbyServer::HandleSend(TSession& S, const TLobbyMessage& M, TMillis Now) {
  const std::string& Kind = M[0];
  if (Kind != LobbyChatKind && Kind != LobbyDataKind) {
    Bad(S, "Only CHAT and DATA can be sent");
    return;
  }
  TRoom* Room = FindRoom(S.Room);
  if (!Room) return;
  if (Kind == LobbyChatKind) {
    if (!S.Chat.Has(FConfig.ChatBurst, FConfig.ChatPerSecond, Now)) {
      Send(S, ErrorLine("You are chatting too fast; please wait a moment"));
      return;
    }
    S.Chat.Tokens -= 1;
  }
  const TWireLine Wire = Shared(EncodeLine(LobbyLine(lcSent, {S.UserId, Kind, M[1]})));
  for (const TSessionId G : Room->Guests)
    if (G != S.Id) SendWire(FSessions[G], Wire);
}

void TLobbyServer::HandleUserUpdate(TSession& S, const TLobbyMessage& M) {
  const std::string& Name = M[0];
  const std::string& Record = M[1];
  if (Name != S.UserId) {
    Send(S, ErrorLine("You can change only your own record"));
    return;
  }
  TVexilUser U;
  try {
    U.LoadFromString(Record);
  } catch (const EConvertError&) {
    Send(S, ErrorLine("Your record does not read"));
    return;
  }
  if (!U.Password().empty() && !ValidPassword(U.Password())) {
    Send(S, ErrorLine("A password has 1 to 64 characters"));
    return;
  }
  const bool NewPassword = !U.Password().empty();
  if (!AccountPace(S.AccountId, FNow) || (NewPassword && !AddressPace(S.Address, FNow))) {
    Send(S, ErrorLine("You are changing your record too often; please wait a minute"));
    return;
  }
  if (NewPassword && FHashJobs >= FConfig.MaxHashJobs) {
    Send(S, ErrorLine("The lobby is busy; please try again in a moment"));
    return;
  }
  FAccountLogins[S.AccountId].Tokens -= 1;
  if (NewPassword) FAddressLogins[S.Address].Tokens -= 1;
  const std::int64_t AccountId = S.AccountId;
  const std::string UserId = S.UserId;
  const std::string Profile = ProfileOf(U);
  auto Store = [this, AccountId, UserId, Profile](TSession* S, const std::optional<std::string>& Hash) {
    // The change is kept even when its sender is gone by the time its password is hashed.
    if (Hash && !Hash->empty()) FStore.UpdateHash(AccountId, *Hash);
    FStore.UpdateProfile(AccountId, Profile);
    RefreshRecord(UserId);
    if (!S || S->Closing) return;
    if (!Hash)
      Send(*S, ErrorLine("The lobby could not keep your password; please try again"));
    else
      Send(*S, LobbyLine(lcUserInfoReply, {S->Record}));
  };
  if (!NewPassword) {
    Store(&S, std::string());
    return;
  }
  const std::string Password = U.Password();
  const int Cost = FConfig.HashCost;
  Await(S, [Password, Cost]() -> std::optional<std::string> { return HashPassword(Password, Cost); },
        std::move(Store));
}

// --- custom messages ------------------------------------------------------------------------

TLobbyServer::TRoom* TLobbyServer::HostedBegunRoom(TSession& S) {
  TRoom* Room = FindRoom(S.Room);
  if (!Room || !Room->Begun || Room->Guests.empty() || Room->Guests.front() != S.Id) return nullptr;
  return Room;
}

void TLobbyServer::HandleCustom(TSession& S, const TLobbyMessage& M) {
  const std::string& Type = M[0];
  const std::string& P = M[1];
  if (Type == LobbyHallOfFameMessage) {
    Send(S, LobbyLine(lcCustomReply, {LobbyHallOfFameMessage, HallOfFameText()}));
  } else if (Type == LobbyScheduleMessage) {
    FStore.SetSchedule(S.UserId, Clean(P, 200));
    Send(S, LobbyLine(lcCustomReply, {LobbyHallOfFameMessage, HallOfFameText()}));
  } else if (Type == LobbyGameResultMessage || Type == LobbyGameScoreMessage) {
    const bool LogIt = Type == LobbyGameResultMessage;
    TRoom* Room = HostedBegunRoom(S);
    if (!Room) {
      Send(S, ErrorLine("Only the host of a game that has begun reports its result"));
    } else if (LogIt ? Room->ResultLogged : Room->ScoreLogged) {
      Send(S, ErrorLine("The result of this game is in already"));
    } else {
      try {
        FStore.Begin();
        if (LogIt)
          HandleLogIt(S, *Room, P);
        else
          HandleScore(S, *Room, P);
        FStore.Commit();
      } catch (const EBrenmoor& E) {
        FStore.Rollback();
        Send(S, ErrorLine(E.what()));
        return;
      }
      (LogIt ? Room->ResultLogged : Room->ScoreLogged) = true;
      for (const std::string& M : Room->Members) RefreshRecord(M);
    }
  }
}

void TLobbyServer::HandleLogIt(TSession&, TRoom& Room, const std::string& Text) {
  // Scenario;alliance;victor,victor,;defeated,defeated,;  or
  // Scenario;nation;victor;defeated;defeated;;
  const std::vector<std::string> F = Fields(Text, ";");
  if (F.size() < 3 || F[0].empty() || F[1].empty())
    throw EConvertError("The game's result does not read");
  TGameLogEntry E;
  E.Date = DateToStr(VexilToday());
  E.Scenario = Clean(F[0], 100);
  E.Winner = Clean(F[1], 100);
  std::vector<std::string> Victors, Defeated;
  if (F[2].find(',') != std::string::npos) {
    Victors = Fields(F[2], ",");
    if (F.size() > 3) Defeated = Fields(F[3], ",");
  } else {
    Victors = {F[2]};
    for (std::size_t I = 3; I < F.size(); ++I)
      if (!F[I].empty()) Defeated.push_back(F[I]);
  }
  for (const std::string& V : Victors) E.Victors += Clean(V, 100) + ",";
  for (const std::string& D : Defeated) E.Defeated += Clean(D, 100) + ",";
  FStore.AddGameLog(E);
  for (const std::string& M : Room.Members) {
    const bool Won = std::find(Victors.begin(), Victors.end(), M) != Victors.end();
    const bool Lost = std::find(Defeated.begin(), Defeated.end(), M) != Defeated.end();
    if (!Won && !Lost) continue;
    if (std::optional<TAccount> A = FStore.Find(M)) FStore.AddResult(A->Id, Won ? 1 : 0, Won ? 0 : 1, 0);
  }
  Log("result of " + Quoted(Room.Name) + ": " + E.Winner);
}

void TLobbyServer::HandleScore(TSession&, TRoom& Room, const std::string& Text) {
  // Per major power in nation order: display name;score;
  std::string S = Text;
  const std::string Date = DateToStr(VexilToday());
  for (int Slot = 0; Slot < kMajorPowers && !S.empty(); ++Slot) {
    const std::string Name = NextToken(S, ";");
    const std::int32_t Score = StrToInt(NextToken(S, ";"));
    if (std::find(Room.Members.begin(), Room.Members.end(), Name) == Room.Members.end()) continue;
    FStore.AddHallOfFame({Slot, Score, Name, Date});
    if (std::optional<TAccount> A = FStore.Find(Name)) FStore.AddResult(A->Id, 0, 0, Score);
  }
}

std::string TLobbyServer::HallOfFameText() {
  std::string T;
  for (int Slot = 0; Slot < kMajorPowers; ++Slot) {
    for (const THallOfFameEntry& E : FStore.HallOfFame(Slot, kHallOfFameEntries))
      T += IntToStr(E.Score) + ";" + E.Name + ";" + E.Date + ";";
    T += "~";
  }
  T += "`";
  for (const TGameLogEntry& E : FStore.GameLog(kGameLogEntries))
    T += E.Date + ";" + E.Scenario + ";" + E.Winner + ";" + E.Victors + ";" + E.Defeated + ";";
  T += "`";
  for (const TScheduleEntry& E : FStore.Schedule()) T += E.Name + "%" + E.Times + ";";
  T += "`";
  return T;
}

// --- time -----------------------------------------------------------------------------------

void TLobbyServer::Tick(TMillis Now) {
  FNow = Now;
  std::vector<TSessionId> Resumed;
  for (auto& [Id, S] : FSessions) {
    if (S.Closing) continue;
    if (S.ResumeAt >= 0 && Now >= S.ResumeAt) Resumed.push_back(Id);
    if (!S.LoggedIn) {
      if (Now - S.OpenedAt >= FConfig.LoginTimeout)
        CloseSession(S, "Please log in within " + IntToStr(FConfig.LoginTimeout / 1000) + " seconds");
      continue;
    }
    if (S.PingSentAt >= 0) {
      if (Now - S.PingSentAt >= FConfig.PingTimeout) CloseSession(S, "No answer to the lobby's ping");
      continue;
    }
    if (Now - S.LastPing < FConfig.PingInterval) continue;
    std::string Pairs;
    if (TRoom* Room = FindRoom(S.Room))
      for (const TSessionId G : Room->Guests) {
        const TSession& Guest = FSessions[G];
        if (Guest.Latency <= 0) continue;
        if (!Pairs.empty()) Pairs += kVexilDelimiter;
        Pairs += Guest.UserId + kVexilDelimiter + IntToStr(Guest.Latency);
      }
    Send(S, LobbyLine(lcPing, {Pairs}));
    S.PingSentAt = Now;
  }
  for (const TSessionId Id : Resumed)
    if (TSession* S = Find(Id); S && !S->Closing) {
      S->ResumeAt = -1;
      MarkDirty(*S);  // it wants input again
      HandleInput(*S, Now);
    }
  if (Now - FSweptAt >= kSweepMs) Sweep(Now);
}

// Forgets the pacing of addresses and users that have been quiet for long enough that a
// fresh start is the same.
void TLobbyServer::Sweep(TMillis Now) {
  FSweptAt = Now;
  std::erase_if(FLoginFailures, [&](const auto& E) {
    return E.second.empty() || Now - E.second.back() >= FConfig.LoginFailureWindow;
  });
  std::erase_if(FAccountFailures, [&](const auto& E) {
    return Now >= E.second.BlockedUntil && Now - E.second.Last >= FConfig.LoginFailureWindow;
  });
  auto Full = [Now](TBucket B, double Burst, double Rate) {
    B.Has(Burst, Rate, Now);
    return B.Tokens >= Burst;
  };
  std::erase_if(FAddressLogins, [&](auto& E) {
    return Full(E.second, FConfig.AddressLoginBurst, FConfig.AddressLoginsPerSecond);
  });
  std::erase_if(FAccountLogins, [&](auto& E) {
    return Full(E.second, FConfig.AccountLoginBurst, FConfig.AccountLoginsPerSecond);
  });
}

void TLobbyServer::Shout(const std::string& Text) {
  Log("shout: " + Text);
  SendToLoggedIn(LobbyLine(lcShout, {Text}));
}

std::string TLobbyServer::StatsText(TMillis Now) const {
  TVexilServerStats Stats;
  std::int32_t Open = 0;
  for (const auto& [Id, S] : FSessions)
    if (!S.Closing) ++Open;
  std::int32_t Rooms = 0;
  for (const auto& R : FRooms)
    if (!R->Permanent) ++Rooms;
  Stats.SetTimeActive((Now - FStartedAt) / 1000);
  Stats.SetCurrentConnections(Open);
  Stats.SetTotalConnections(FTotalConnections);
  Stats.SetCurrentSubjects(Rooms);
  Stats.SetTotalSubjects(FTotalSubjects);
  Stats.SetPeakConnections(FPeakConnections);
  Stats.SetBytesRead(FBytesRead);
  Stats.SetBytesWritten(FBytesWritten);
  return Stats.SaveToString();
}
