// The real lobby server program on a free loopback port with a temporary database, and real
// game connections over TCP. Every wait has a deadline; the server is stopped by each test.
#include <gtest/gtest.h>
#include <sys/prctl.h>

#include <csignal>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QProcess>
#include <QSslSocket>
#include <functional>
#include <memory>

#include "foundation/StringEncryptor.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUtils.h"
#include "platform/LobbyTransport.h"
#include "ServerTestSupport.h"
#include "server/LoopbackConnection.h"
#include "server/ServerProcess.h"
#include "support/WaitUntil.h"

namespace {

const char* kKey = "MorqTeln";

// A game's connection whose events are written down.
struct TClient {
  std::unique_ptr<TVexilConnection> C;
  TStringEncryptor Scrambler{kKey};
  std::vector<std::string> Failures, Errors, Subjects, Chat, Data, Removed, Custom, Shouts;
  bool LoggedIn = false, Begun = false, Disconnected = false;

  explicit TClient(int Port) {
    C = LoopbackConnection(Port, Scrambler);
    C->OnLoginSuccess = [this](auto*, const TVexilUserPtr&) { LoggedIn = true; };
    C->OnLoginFailed = [this](auto*, const std::string& S) { Failures.push_back(S); };
    C->OnServerError = [this](auto*, const std::string& S) { Errors.push_back(S); };
    C->OnAddSubject = [this](auto*, const std::string& S) { Subjects.push_back(S); };
    C->OnChatReceived = [this](auto*, const std::string& S, const std::string& F) {
      Chat.push_back(F + ": " + S);
    };
    C->OnDataReceived = [this](auto*, const std::string& S, const std::string& F) {
      Data.push_back(F + ": " + S);
    };
    C->OnRemoveUser = [this](auto*, const TVexilUserPtr& U) { Removed.push_back(U->UserId()); };
    C->OnBeginSubject = [this](auto*) { Begun = true; };
    C->OnCustomMessage = [this](auto*, const std::string& T, const std::string& S) {
      Custom.push_back(T + ": " + S);
    };
    C->OnDisconnected = [this](auto*) { Disconnected = true; };
    C->OnShout = [this](auto*, const std::string& S) { Shouts.push_back(S); };
  }
  // Connects and logs in (or makes the account); true when the server accepted.
  bool LogIn(const std::string& Name, const std::string& Password, bool New) {
    C->OnConnected = [=, this](auto*) {
      if (New)
        C->LoginNew(Name, Name + TCoreFixture::NewRecord(Password));
      else
        C->Login(Name, Password);
    };
    C->SetActive(true);
    const std::size_t Before = Failures.size();
    WaitUntil([&] { return LoggedIn || Failures.size() > Before || Disconnected; });
    return LoggedIn;
  }
  bool InRoom(const std::string& Room, int Users) {
    return WaitUntil([&] { return C->CurrentSubject() == Room && C->UserCount() == Users; });
  }
};

// A socket that speaks the framing by hand (inside TLS, as the lobby speaks), for what no game
// would send.
struct TRawClient {
  QSslSocket Socket;
  explicit TRawClient(int Port) {
    Socket.connectToHostEncrypted("127.0.0.1", static_cast<quint16>(Port));
    EXPECT_TRUE(WaitUntil([&] { return Socket.isEncrypted(); }));
  }
  void SendLine(const std::string& Line) {
    std::string S = Line;
    TStringEncryptor(kKey).EncryptString(S);
    const std::string Wire = EscapeLine(S) + "\n";
    Socket.write(Wire.data(), static_cast<qint64>(Wire.size()));
  }
  bool ClosedByServer() {
    return WaitUntil([&] {
      Socket.readAll();
      return Socket.state() == QAbstractSocket::UnconnectedState;
    });
  }
};

}  // namespace

TEST(LobbyEndToEnd, AccountsRoomsAndRelayOverLoopback) {
  TTempDir Dir;
  TServerProcess Server(Dir.File("lobby.db"));
  ASSERT_NO_FATAL_FAILURE(Server.Start());

  TClient Ann(Server.Port()), Bob(Server.Port()), Cid(Server.Port()), Eve(Server.Port());
  ASSERT_TRUE(Ann.LogIn("ann", "secret-a", true));
  ASSERT_TRUE(Bob.LogIn("bob", "secret-b", true));
  ASSERT_TRUE(Cid.LogIn("cid", "secret-c", true));
  EXPECT_FALSE(Eve.LogIn("ann", "wrong", false));
  EXPECT_EQ(Eve.Failures, (std::vector<std::string>{"Unknown user name or wrong password"}));
  ASSERT_TRUE(Ann.InRoom("Lobby Chat", 3));
  EXPECT_EQ(Ann.C->Users(0)->UserId(), "ann");
  EXPECT_EQ(Ann.C->Users(0), Ann.C->OwnUser());
  EXPECT_TRUE(WaitUntil([&] { return !Ann.Custom.empty(); }));
  EXPECT_EQ(Ann.Custom[0], "BRMVERSION: 4|2");

  // A game room for two: Ann creates it, Bob joins, it begins; Cid comes too late.
  const std::string Room = "~War;Standard.brmscen;4";
  Ann.C->CreateSubject(Room, 2);
  ASSERT_TRUE(WaitUntil([&] { return !Bob.Subjects.empty() && Bob.Subjects.back() == Room; }));
  Bob.C->JoinSubject(Room);
  ASSERT_TRUE(WaitUntil([&] { return Ann.Begun && Bob.Begun; }));
  EXPECT_EQ(Bob.C->Users(0)->UserId(), "ann");  // the creator first
  EXPECT_EQ(Bob.C->Users(1)->UserId(), "bob");
  Cid.C->JoinSubject(Room);
  ASSERT_TRUE(WaitUntil([&] { return !Cid.Errors.empty(); }));
  EXPECT_EQ(Cid.Errors[0], "The game in \"" + Room + "\" has already begun");
  EXPECT_EQ(Cid.C->CurrentSubject(), "Lobby Chat");

  // Relay keeps the order, never echoes to the sender, and carries any byte.
  // (Chat is paced by the server: 15 lines are within its burst.)
  for (int I = 0; I < 50; ++I) {
    if (I < 15) Ann.C->SendChat("chat " + std::to_string(I));
    Ann.C->SendData("ORDERS|" + std::to_string(I) + "|");
  }
  std::string Big;
  Big.reserve(2 << 20);
  for (int I = 0; I < (2 << 20); ++I) Big += static_cast<char>((I * 7 + I / 256) & 0xff);
  Ann.C->SendData(Big);
  Bob.C->SendChat("from bob");
  ASSERT_TRUE(WaitUntil([&] { return Bob.Data.size() == 51 && Ann.Chat.size() == 1; }));
  ASSERT_EQ(Bob.Chat.size(), 15u);
  for (int I = 0; I < 50; ++I) {
    if (I < 15) {
      EXPECT_EQ(Bob.Chat[I], "ann: chat " + std::to_string(I));
    }
    EXPECT_EQ(Bob.Data[I], "ann: ORDERS|" + std::to_string(I) + "|");
  }
  EXPECT_TRUE(Bob.Data[50] == "ann: " + Big);
  EXPECT_EQ(Ann.Chat, (std::vector<std::string>{"bob: from bob"}));
  EXPECT_TRUE(Ann.Data.empty());
  EXPECT_TRUE(Cid.Chat.empty());

  // A restart keeps the accounts.
  Ann.C->SetActive(false);
  Bob.C->SetActive(false);
  Cid.C->SetActive(false);
  EXPECT_EQ(Server.Stop(), 0);
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  TClient Again(Server.Port()), Wrong(Server.Port());
  EXPECT_TRUE(Again.LogIn("bob", "secret-b", false));
  EXPECT_FALSE(Wrong.LogIn("cid", "secret-a", false));
  EXPECT_EQ(Server.Stop(), 0);
}

TEST(LobbyEndToEnd, DroppedAndHostileClientsLeaveTheOthersAlone) {
  TTempDir Dir;
  TServerProcess Server(Dir.File("lobby.db"));
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  TClient Ann(Server.Port()), Bob(Server.Port());
  ASSERT_TRUE(Ann.LogIn("ann", "pw", true));
  ASSERT_TRUE(Bob.LogIn("bob", "pw", true));

  // A client that drops without a word leaves the room for the others.
  TRawClient Dan(Server.Port());
  Dan.SendLine("LOGINNEW|dan|Brenmoor|dan" + TCoreFixture::NewRecord("pw"));
  ASSERT_TRUE(Ann.InRoom("Lobby Chat", 3));
  Dan.Socket.abort();
  ASSERT_TRUE(WaitUntil([&] { return Ann.Removed == std::vector<std::string>{"dan"}; }));

  // Garbage, and a line that never ends: both cut off.
  TRawClient Garbage(Server.Port()), Endless(Server.Port());
  for (int I = 0; I < 20; ++I) Garbage.Socket.write("\x01\x02 not a lobby line\n");
  const QByteArray Chunk(64 << 10, 'A');
  for (int I = 0; I < 4; ++I) Endless.Socket.write(Chunk);
  EXPECT_TRUE(Garbage.ClosedByServer());
  EXPECT_TRUE(Endless.ClosedByServer());

  // Meanwhile the game goes on, and latencies are measured.
  Ann.C->SendChat("still here");
  ASSERT_TRUE(WaitUntil([&] { return Bob.Chat == std::vector<std::string>{"ann: still here"}; }));
  ASSERT_TRUE(WaitUntil([&] {
    const TVexilUserPtr A = Bob.C->FindUser("ann");
    return A && A->AveragePing() >= 1;
  }));
  EXPECT_FALSE(Ann.Disconnected);
  EXPECT_FALSE(Bob.Disconnected);

  // The operator's shout reaches everyone.
  Server.Console("shout The lobby closes for upkeep");
  ASSERT_TRUE(WaitUntil([&] { return !Ann.Shouts.empty() && !Bob.Shouts.empty(); }));
  EXPECT_EQ(Bob.Shouts[0], "The lobby closes for upkeep");

  // A server that goes away is a disconnect for its clients.
  EXPECT_EQ(Server.Stop(), 0);
  EXPECT_TRUE(WaitUntil([&] { return Ann.Disconnected && Bob.Disconnected; }));
  EXPECT_FALSE(Ann.C->Active());
}

TEST(LobbyEndToEnd, LinesKeepComingWhileAHandlerRunsAModalLoop) {
  TTempDir Dir;
  TServerProcess Server(Dir.File("lobby.db"));
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  TClient Ann(Server.Port()), Bob(Server.Port());
  ASSERT_TRUE(Ann.LogIn("ann", "pw", true));
  ASSERT_TRUE(Bob.LogIn("bob", "pw", true));
  ASSERT_TRUE(Bob.InRoom("Lobby Chat", 2));

  // When the game begins the host's window opens a modal window (its own event loop), in which
  // the other player's chat must still arrive; after it closes, the next lines follow in order.
  bool HeardInside = false;
  Ann.C->OnBeginSubject = [&](auto*) {
    Ann.Begun = true;
    HeardInside = WaitUntil([&] { return !Ann.Chat.empty(); });
  };
  Bob.C->OnBeginSubject = [&](auto*) {
    Bob.Begun = true;
    Bob.C->SendChat("ready when you are");
    Bob.C->SendChat("second line");
  };
  Ann.C->CreateSubject("~Duel;Standard.brmscen;4", 2);
  ASSERT_TRUE(WaitUntil([&] { return !Bob.Subjects.empty(); }));
  Bob.C->JoinSubject("~Duel;Standard.brmscen;4");
  ASSERT_TRUE(WaitUntil([&] { return Ann.Begun && Bob.Begun && Ann.Chat.size() == 2; }));
  EXPECT_TRUE(HeardInside);
  EXPECT_EQ(Ann.Chat, (std::vector<std::string>{"bob: ready when you are", "bob: second line"}));
  EXPECT_EQ(Server.Stop(), 0);
}
