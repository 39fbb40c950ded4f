#include "lobby/VexilConnection.h"

#include <algorithm>

#include "foundation/NumberText.h"
#include "lobby/LobbyProtocol.h"
#include "lobby/VexilUtils.h"

namespace {

TVexilUserPtr ReadUser(const std::string& Record) {
  auto User = std::make_shared<TVexilUser>();
  User->LoadFromString(Record);
  return User;
}

}  // namespace

TVexilConnection::TVexilConnection(std::unique_ptr<TLobbyTransport> Transport)
    : FTransport(std::move(Transport)) {
  FTransport->OnConnected = [this](TLobbyTransport*) { TransportConnected(); };
  FTransport->OnBytesReceived = [this](TLobbyTransport*, std::string_view B) { TransportBytes(B); };
  FTransport->OnReadyWrite = [this](TLobbyTransport*) { SendQueued(); };
  FTransport->OnDisconnected = [this](TLobbyTransport*) { TransportDisconnected(); };
  FTransport->OnError = [this](TLobbyTransport*, int Code) { TransportError(Code); };
}

TVexilConnection::~TVexilConnection() {
  FTransport->OnConnected = nullptr;
  FTransport->OnBytesReceived = nullptr;
  FTransport->OnReadyWrite = nullptr;
  FTransport->OnDisconnected = nullptr;
  FTransport->OnError = nullptr;
  if (FActive || FConnecting) {
    SendQueued();
    FTransport->Close();
  }
}

void TVexilConnection::SetActive(bool Value) {
  if (Value) {
    if (FActive || FConnecting) return;
    FConnecting = true;
    FLoggedIn = false;
    ++FGeneration;
    FTransport->Connect(FHost, IsDottedAddress(FHost), FPort);
    return;
  }
  if (FConnecting) {
    FConnecting = false;
    ++FGeneration;
    FTransport->Close();
    return;
  }
  if (!FActive) return;
  SendQueued();
  FClosing = true;
  FLoggedIn = false;
  FTransport->Close();
  ConnectionEnded(false);
  FClosing = false;
}

void TVexilConnection::SetHost(std::string Value) {
  if (!FActive && !FConnecting) FHost = std::move(Value);
}

void TVexilConnection::SetPort(int Value) {
  if (!FActive && !FConnecting) FPort = Value;
}

void TVexilConnection::SetSubjectCode(std::string Value) {
  if (!FActive && !FConnecting) FSubjectCode = std::move(Value);
}

TVexilUserPtr TVexilConnection::FindUser(std::string_view UserId) const {
  for (const TVexilUserPtr& U : FUsers)
    if (U->UserId() == UserId) return U;
  return nullptr;
}

// --- outgoing -------------------------------------------------------------------------------

void TVexilConnection::Login(const std::string& UserName, const std::string& Password) {
  SendLine(LobbyLine(lcLogin, {UserName, FSubjectCode, Password}));
}

void TVexilConnection::LoginNew(const std::string& UserName, const std::string& Record) {
  SendLine(LobbyLine(lcLoginNew, {UserName, FSubjectCode, Record}));
}

void TVexilConnection::CreateSubject(const std::string& Name, int Count) {
  SendLine(LobbyLine(lcCreateSubject, {Name, IntToStr(Count)}));
}

void TVexilConnection::JoinSubject(const std::string& Name) {
  if (Name == FCurrentSubject) return;
  SendLine(LobbyLine(lcJoinSubject, {Name}));
}

void TVexilConnection::RequestServerStats() { SendLine(LobbyLine(lcServerStats)); }

void TVexilConnection::RequestUserInfo(const std::string& UserId) { SendLine(LobbyLine(lcUserInfo, {UserId})); }

void TVexilConnection::SendChat(const std::string& Text) { SendLine(LobbyLine(lcSend, {LobbyChatKind, Text})); }

void TVexilConnection::SendData(const std::string& Text) { SendLine(LobbyLine(lcSend, {LobbyDataKind, Text})); }

void TVexilConnection::SendCustom(const std::string& MessageType, const std::string& Text) {
  SendLine(LobbyLine(lcCustom, {MessageType, Text}));
}

void TVexilConnection::UpdateUser() {
  if (!FOwnUser) return;
  SendLine(LobbyLine(lcUserUpdate, {FOwnUser->UserId(), FOwnUser->SaveToString()}));
}

void TVexilConnection::SendLine(std::string Line) {
  if (!FActive) return;
  if (OnEncryptString) OnEncryptString(this, Line);
  std::string Wire = EscapeLine(Line);
  Wire += kVexilLineEnd;
  FQueue.push_back(std::move(Wire));
  SendQueued();
}

void TVexilConnection::SendQueued() {
  // A short write leaves the rest of its line first in the queue; it goes out before anything
  // else when the socket has room again, so no line is ever cut or reordered.
  if (FSending) return;
  FSending = true;
  while (!FQueue.empty() && FTransport->Connected()) {
    const std::string& First = FQueue.front();
    const std::int64_t Taken =
        FTransport->Write(std::string_view(First).substr(FFirstSent));
    if (Taken <= 0) break;
    FFirstSent += static_cast<std::size_t>(Taken);
    if (FFirstSent < First.size()) break;
    FQueue.pop_front();
    FFirstSent = 0;
  }
  FSending = false;
}

// --- transport events -----------------------------------------------------------------------

void TVexilConnection::TransportConnected() {
  if (!FConnecting) return;
  FConnecting = false;
  FActive = true;
  ++FGeneration;
  FBuffer.clear();
  FBufferPos = 0;
  FQueue.clear();
  FFirstSent = 0;
  FCurrentSubject.clear();
  if (OnConnected) OnConnected(this);
}

void TVexilConnection::TransportBytes(std::string_view Bytes) {
  if (!FActive) return;
  FBuffer.append(Bytes);
  ProcessBuffer();
}

void TVexilConnection::TransportDisconnected() {
  if (FConnecting) {
    FConnecting = false;
    ++FGeneration;
    if (OnDisconnected) OnDisconnected(this);
    return;
  }
  if (FActive) ConnectionEnded(true);
}

void TVexilConnection::TransportError(int ErrorCode) {
  if (!FActive && !FConnecting) return;
  if (OnSocketError) OnSocketError(this, ErrorCode);
  if (!FActive && !FConnecting) return;  // the handler closed it
  FTransport->Close();
  TransportDisconnected();
}

void TVexilConnection::ConnectionEnded(bool ByServer) {
  FActive = false;
  ++FGeneration;
  FQueue.clear();
  FFirstSent = 0;
  FBuffer.clear();
  FBufferPos = 0;
  ClearUsers();
  if (ByServer) {
    // A client that reconnects must log in again and rejoin its subject by name.
    FLoggedIn = false;
    FCurrentSubject.clear();
  }
  if (!FClosing && OnDisconnected) OnDisconnected(this);
}

// --- incoming -------------------------------------------------------------------------------

void TVexilConnection::ProcessBuffer() {
  // Each line is cut out of the buffer before it is handled, so a handler that pumps messages
  // (and so reads more bytes into a nested call) finds the buffer consistent; the loop ends as
  // soon as a handler closed the connection.
  const std::uint64_t Generation = FGeneration;
  while (FActive && FGeneration == Generation) {
    const std::size_t End = FBuffer.find(kVexilLineEnd, FBufferPos);
    if (End == std::string::npos) break;
    std::string Wire = FBuffer.substr(FBufferPos, End - FBufferPos);
    FBufferPos = End + 1;
    ProcessLine(std::move(Wire));
  }
  if (!FActive || FGeneration != Generation) return;
  if (FBufferPos > 0) {
    FBuffer.erase(0, FBufferPos);
    FBufferPos = 0;
  }
  if (FBuffer.size() > MaxReceiveBuffer) {
    FTransport->Close();
    ConnectionEnded(true);
  }
}

void TVexilConnection::ProcessLine(std::string Wire) {
  std::optional<std::string> Unescaped = UnescapeLine(Wire);
  if (!Unescaped) return;  // not a line any server of ours sends: dropped
  std::string Line = std::move(*Unescaped);
  if (OnDecryptString) OnDecryptString(this, Line);
  if (OnStringRead) OnStringRead(this, Line);
  // A word not in the protocol's table is ignored; a line short of its command's fields is
  // handled as far as it goes, the missing fields empty.
  TLobbyReadResult Read = ReadLobbyLine(std::move(Line), ldToClient);
  if (Read.Result == lrUnknownCommand) return;
  try {
    ProcessCommand(Read.Message);
  } catch (const EConvertError&) {
    // A number or record that does not read: the line is dropped and the connection goes on.
  }
}

void TVexilConnection::AddUserFromServer(TVexilUserPtr User) {
  if (FOwnUser && User->UserId() == FOwnUser->UserId()) User = FOwnUser;
  FUsers.push_back(User);
  if (OnAddUser) OnAddUser(this, User);
}

void TVexilConnection::ProcessCommand(const TLobbyMessage& M) {
  switch (M.Command) {
    case lcLoginResult: {
      if (M[0] != LobbyLoginSuccess) {
        if (OnLoginFailed) OnLoginFailed(this, M[1]);
        return;
      }
      TVexilUserPtr User;
      try {
        User = ReadUser(M[1]);
      } catch (const EConvertError&) {
        FLoggedIn = false;
        if (OnLoginFailed) OnLoginFailed(this, "The server sent a user record that does not read");
        return;
      }
      FLoggedIn = true;
      FOwnUser = User;
      if (OnLoginSuccess) OnLoginSuccess(this, FOwnUser);
      break;
    }
    case lcSent:
      if (M[1] == LobbyChatKind) {
        if (OnChatReceived) OnChatReceived(this, M[2], M[0]);
      } else if (M[1] == LobbyDataKind) {
        if (OnDataReceived) OnDataReceived(this, M[2], M[0]);
      }
      break;
    case lcPing: {
      SendLine(LobbyLine(lcPingReply));
      std::string Pairs = M[0];
      while (!Pairs.empty()) {
        const std::string UserId = Split(Pairs);
        const std::int32_t Ms = StrToInt(Split(Pairs));
        if (TVexilUserPtr U = FindUser(UserId)) U->AddPing(Ms);
      }
      break;
    }
    case lcSubjects:
      FSubjects.clear();
      for (const std::string& Name : M.Fields) {
        FSubjects.push_back(Name);
        if (OnAddSubject) OnAddSubject(this, Name);
      }
      break;
    case lcAddSubject:
      FSubjects.push_back(M[0]);
      if (OnAddSubject) OnAddSubject(this, M[0]);
      break;
    case lcRemoveSubject: {
      const std::string Name = M[0];
      if (OnRemoveSubject) OnRemoveSubject(this, Name);
      auto It = std::find(FSubjects.begin(), FSubjects.end(), Name);
      if (It != FSubjects.end()) FSubjects.erase(It);
      break;
    }
    case lcJoinedSubject: {
      const std::string Name = M[0];
      std::vector<TVexilUserPtr> Guests;  // every record is read before anything changes
      for (std::size_t I = 1; I < M.Fields.size(); ++I) Guests.push_back(ReadUser(M[I]));
      FCurrentSubject = Name;
      ClearUsers();
      if (OnJoinSubject) OnJoinSubject(this, Name);
      const std::uint64_t Generation = FGeneration;
      for (TVexilUserPtr& U : Guests) {
        if (FGeneration != Generation) return;
        AddUserFromServer(std::move(U));
      }
      break;
    }
    case lcAddGuest:
      AddUserFromServer(ReadUser(M[1]));
      break;
    case lcRemoveGuest: {
      TVexilUserPtr User = FindUser(M[0]);
      if (!User) return;
      if (OnRemoveUser) OnRemoveUser(this, User);
      auto It = std::find(FUsers.begin(), FUsers.end(), User);
      if (It != FUsers.end()) FUsers.erase(It);
      break;
    }
    case lcBeginSubject:
      if (OnBeginSubject) OnBeginSubject(this);
      break;
    case lcServerStatsReply:
      FStats.LoadFromString(M[0]);
      if (OnServerStatus) OnServerStatus(this, FStats);
      break;
    case lcUserInfoReply: {
      const TVexilUserPtr Temp = ReadUser(M[0]);
      if (TVexilUserPtr U = FindUser(Temp->UserId())) {
        U->LoadFromString(M[0]);
        if (OnUserInfo) OnUserInfo(this, U);
      }
      break;
    }
    case lcShout:
      if (OnShout) OnShout(this, M[0]);
      break;
    case lcError:
      if (OnServerError) OnServerError(this, M[0]);
      break;
    case lcCustomReply:
      if (OnCustomMessage) OnCustomMessage(this, M[0], M[1]);
      break;
    default:
      break;  // the game's own commands never come back to it
  }
}
