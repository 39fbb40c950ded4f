#pragma once
// The game's connection to the lobby server: one line of text per message, fields separated by
// "|", every line passed through the scrambling events and framed so that any byte survives.
// Through it a player logs in, lists and joins subjects (the server's chat and game rooms),
// sees the users of the joined subject, chats, and exchanges data and custom messages. All
// events arrive on the main thread, fired only when assigned, with the connection as sender.
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "lobby/LobbyProtocol.h"
#include "lobby/LobbyTransport.h"
#include "lobby/VexilServerStats.h"
#include "lobby/VexilUser.h"

class TVexilConnection;

using TVexilUserPtr = std::shared_ptr<TVexilUser>;
using TNotifyEvent = std::function<void(TVexilConnection* Sender)>;
using TUserEvent = std::function<void(TVexilConnection* Sender, const TVexilUserPtr& User)>;
using TStringEvent = std::function<void(TVexilConnection* Sender, const std::string& Text)>;
using TStringFromEvent =
    std::function<void(TVexilConnection* Sender, const std::string& Text, const std::string& From)>;
using TCustomMessageEvent = std::function<void(TVexilConnection* Sender,
                                               const std::string& MessageType,
                                               const std::string& Text)>;
using TStatusEvent =
    std::function<void(TVexilConnection* Sender, const TVexilServerStats& Stats)>;
using TEncryptEvent = std::function<void(TVexilConnection* Sender, std::string& Line)>;
using TSocketErrorEvent = std::function<void(TVexilConnection* Sender, int ErrorCode)>;

class TVexilConnection {
public:
  // A server that sends this much without a line feed is cut off.
  static constexpr std::size_t MaxReceiveBuffer = 32u << 20;

  explicit TVexilConnection(std::unique_ptr<TLobbyTransport> Transport);
  virtual ~TVexilConnection();
  TVexilConnection(const TVexilConnection&) = delete;
  TVexilConnection& operator=(const TVexilConnection&) = delete;

  // True while connected. Writing True starts connecting (Active turns True when the
  // connection is made); writing False flushes what is queued and closes without
  // OnDisconnected, or abandons an attempt that is still connecting.
  bool Active() const { return FActive; }
  void SetActive(bool Value);
  bool Connecting() const { return FConnecting; }
  const std::string& Host() const { return FHost; }
  void SetHost(std::string Value);
  int Port() const { return FPort; }
  void SetPort(int Value);
  const std::string& SubjectCode() const { return FSubjectCode; }
  void SetSubjectCode(std::string Value);
  bool LoggedIn() const { return FLoggedIn; }
  // Whether the connection is encrypted (llTls) or crosses the network as it is (llPlain).
  TLobbyLink Link() const { return FTransport->Link(); }

  const std::string& CurrentSubject() const { return FCurrentSubject; }
  const std::vector<std::string>& Subjects() const { return FSubjects; }
  // The own user after a log-in, nothing before.
  const TVexilUserPtr& OwnUser() const { return FOwnUser; }
  // The users of the joined subject, in the server's order.
  int UserCount() const { return static_cast<int>(FUsers.size()); }
  const TVexilUserPtr& Users(int Index) const { return FUsers.at(static_cast<std::size_t>(Index)); }
  // The first user of the joined subject with that identifier, or nothing.
  TVexilUserPtr FindUser(std::string_view UserId) const;
  const TVexilServerStats& ServerStats() const { return FStats; }

  void Login(const std::string& UserName, const std::string& Password);
  void LoginNew(const std::string& UserName, const std::string& Record);
  void CreateSubject(const std::string& Name, int Count);
  void CreateChatSubject(const std::string& Name) { CreateSubject(Name, 0); }
  // Sends nothing when Name is the current subject.
  void JoinSubject(const std::string& Name);
  void RequestServerStats();
  void RequestUserInfo(const std::string& UserId);
  void SendChat(const std::string& Text);
  void SendData(const std::string& Text);
  void SendCustom(const std::string& MessageType, const std::string& Text);
  // Sends the own user's record (nothing before a log-in).
  void UpdateUser();
  // Scrambles, frames and sends one line in order after all queued before it; dropped while
  // not Active.
  void SendLine(std::string Line);
  // Sends as much of the queue as the socket takes now; the rest goes when it has room.
  void SendQueued();
  // Lines waiting for the socket (the first may be partly sent).
  std::size_t QueuedLines() const { return FQueue.size(); }

  TNotifyEvent OnConnected, OnDisconnected, OnBeginSubject;
  TUserEvent OnLoginSuccess, OnAddUser, OnRemoveUser, OnUserInfo;
  TStringEvent OnLoginFailed, OnAddSubject, OnRemoveSubject, OnJoinSubject, OnServerError, OnShout,
      OnStringRead;
  TStringFromEvent OnChatReceived, OnDataReceived;
  TCustomMessageEvent OnCustomMessage;
  TStatusEvent OnServerStatus;
  TEncryptEvent OnEncryptString, OnDecryptString;
  // The socket reported an error (the window shows "Error Code " and the code); the connection
  // then closes as if the server had closed it.
  TSocketErrorEvent OnSocketError;

protected:
  // Handles one received line, cut into its fields by the lobby protocol's table.
  virtual void ProcessCommand(const TLobbyMessage& Message);

private:
  void TransportConnected();
  void TransportBytes(std::string_view Bytes);
  void TransportDisconnected();
  void TransportError(int ErrorCode);
  void ConnectionEnded(bool ByServer);
  void ProcessBuffer();
  void ProcessLine(std::string Wire);
  void AddUserFromServer(TVexilUserPtr User);
  void ClearUsers() { FUsers.clear(); }

  std::unique_ptr<TLobbyTransport> FTransport;
  std::string FHost = "localhost";
  int FPort = 0;
  std::string FSubjectCode;
  bool FActive = false;
  bool FConnecting = false;
  bool FLoggedIn = false;
  bool FClosing = false;
  bool FSending = false;
  // Counts connections and closes, so a loop over received lines stops when a handler closed
  // (or closed and reopened) the connection beneath it.
  std::uint64_t FGeneration = 0;
  std::string FBuffer;
  std::size_t FBufferPos = 0;
  std::deque<std::string> FQueue;  // framed lines; the first may be partly sent
  std::size_t FFirstSent = 0;
  TVexilUserPtr FOwnUser;
  std::vector<TVexilUserPtr> FUsers;
  std::vector<std::string> FSubjects;
  std::string FCurrentSubject;
  TVexilServerStats FStats;
};
