// The lobby's link as someone on the path sees it: the real server program speaks TLS, a game of
// the old protocol is refused unless the server lets plain clients in, and a log-in read
// through a relay shows no password and, sent again, logs nobody in. The certificate the
// server makes is its owner's alone, and its fingerprint is the one the game sees.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <QCryptographicHash>
#include <QSslCertificate>
#include <QSslSocket>
#include <QTcpSocket>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "foundation/StringEncryptor.h"
#include "lobby/VexilConnection.h"
#include "lobby/VexilUtils.h"
#include "platform/LobbyTransport.h"
#include "ServerTestSupport.h"
#include "server/LoopbackRelay.h"
#include "server/LoopbackConnection.h"
#include "server/ServerProcess.h"
#include "server/TlsIdentity.h"
#include "support/WaitUntil.h"

namespace {

const char* kKey = "MorqTeln";

// A game's connection to Port; Plain: a game of the old protocol, without TLS.
struct TGame {
  std::unique_ptr<TVexilConnection> C;
  TStringEncryptor Scrambler{kKey};
  std::vector<std::string> Failures, Added;
  bool LoggedIn = false, Disconnected = false;

  explicit TGame(int Port, bool Plain = false) {
    C = LoopbackConnection(Port, Scrambler, Plain);
    C->OnLoginSuccess = [this](auto*, const TVexilUserPtr&) { LoggedIn = true; };
    C->OnLoginFailed = [this](auto*, const std::string& S) { Failures.push_back(S); };
    C->OnAddUser = [this](auto*, const TVexilUserPtr& U) { Added.push_back(U->UserId()); };
    C->OnDisconnected = [this](auto*) { Disconnected = true; };
  }
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
};

TServerOptions PlainAllowed() {
  TServerOptions O;
  O.AllowPlain = true;
  return O;
}
TServerOptions OwnCertificate(const std::string& Certificate, const std::string& Key) {
  TServerOptions O;
  O.CertificateFile = Certificate;
  O.KeyFile = Key;
  return O;
}

std::string WireLine(std::string Line) {
  TStringEncryptor(kKey).EncryptString(Line);
  return EscapeLine(Line) + "\n";
}

bool Holds(const QByteArray& Bytes, const std::string& Text) {
  return Bytes.contains(QByteArray(Text.data(), static_cast<qsizetype>(Text.size())));
}

// Sends Bytes on a fresh plain connection to Port, as they were captured, and waits until the
// server has closed it or a while has passed.
void SendAgain(int Port, const QByteArray& Bytes) {
  QTcpSocket S;
  S.connectToHost("127.0.0.1", static_cast<quint16>(Port));
  ASSERT_TRUE(WaitUntil([&] { return S.state() == QAbstractSocket::ConnectedState; }));
  S.write(Bytes);
  WaitUntil([&] {
    S.readAll();
    return S.state() == QAbstractSocket::UnconnectedState;
  });
}

}  // namespace

TEST(LobbyTls, TheSystemHasATlsBackend) {
  // Qt's TLS plugins come with Debian's libqt6network6 and load libssl3 at run time.
  ASSERT_TRUE(QSslSocket::supportsSsl()) << "Qt finds no TLS backend: install libssl3 (libssl-dev brings it)";
  EXPECT_TRUE(QSslSocket::availableBackends().contains("openssl"));
}

TEST(LobbyTls, AGameWithoutTlsIsRefusedUnlessPlainClientsAreAllowed) {
  TTempDir Dir;
  {
    TServerProcess Server(Dir.File("lobby.db"));
    ASSERT_NO_FATAL_FAILURE(Server.Start());
    TGame Old(Server.Port(), true);
    EXPECT_FALSE(Old.LogIn("ann", "pw-ann", true));
    EXPECT_EQ(Old.Failures, (std::vector<std::string>{
                                "This lobby takes encrypted connections only: please update the game to log in"}));
    // The refused game made no account: a game with TLS makes it now.
    TGame New(Server.Port());
    EXPECT_TRUE(New.LogIn("ann", "pw-ann", true));
    EXPECT_EQ(New.C->Link(), llTls);
    EXPECT_EQ(Server.Stop(), 0);
  }
  TServerProcess Server(Dir.File("lobby.db"), PlainAllowed());
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  TGame Old(Server.Port(), true), New(Server.Port());
  ASSERT_TRUE(New.LogIn("ann", "pw-ann", false));
  ASSERT_TRUE(Old.LogIn("bob", "pw-bob", true));
  EXPECT_EQ(Old.C->Link(), llPlain);
  EXPECT_EQ(New.C->Link(), llTls);
  // Both meet in the lobby's chat room, and lines pass between the two kinds of connection.
  ASSERT_TRUE(WaitUntil([&] { return New.C->UserCount() == 2 && Old.C->UserCount() == 2; }));
  std::vector<std::string> Heard;
  New.C->OnChatReceived = [&](auto*, const std::string& S, const std::string& F) { Heard.push_back(F + ": " + S); };
  Old.C->SendChat("hello from the old game");
  ASSERT_TRUE(WaitUntil([&] { return !Heard.empty(); }));
  EXPECT_EQ(Heard[0], "bob: hello from the old game");
  EXPECT_EQ(Server.Stop(), 0);
}

TEST(LobbyTls, ALogInReadOnTheWayShowsNoPasswordAndCannotBeSentAgain) {
  TTempDir Dir;
  TServerProcess Server(Dir.File("lobby.db"), PlainAllowed());
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  TLoopbackRelay Relay(Server.Port());
  TGame Watcher(Server.Port());
  ASSERT_TRUE(Watcher.LogIn("watcher", "pw-w", true));

  const std::string Password = "Sesame-77";
  {
    TGame Ann(Relay.Port());
    ASSERT_TRUE(Ann.LogIn("ann", Password, true));
    Ann.C->SetActive(false);
  }
  {
    TGame Ann(Relay.Port());
    ASSERT_TRUE(Ann.LogIn("ann", Password, false));
    Ann.C->SetActive(false);
  }
  ASSERT_EQ(Relay.Captures().size(), 2u);
  // The watcher has seen both log-ins come and go.
  ASSERT_TRUE(WaitUntil([&] {
    return std::count(Watcher.Added.begin(), Watcher.Added.end(), "ann") == 2 && Watcher.C->UserCount() == 1;
  }));
  for (const auto& C : Relay.Captures()) {
    ASSERT_FALSE(C->Up.isEmpty());
    EXPECT_EQ(static_cast<unsigned char>(C->Up[0]), 22) << "a TLS hand-shake comes first";
    for (const QByteArray* Bytes : {&C->Up, &C->Down}) {
      EXPECT_FALSE(Holds(*Bytes, Password));
      EXPECT_FALSE(Holds(*Bytes, WireLine("LOGIN|ann|Brenmoor|" + Password)));
      EXPECT_FALSE(Holds(*Bytes, WireLine("LOGINNEW|ann|Brenmoor|ann" + TCoreFixture::NewRecord(Password))));
      EXPECT_FALSE(Holds(*Bytes, "LOGIN"));
    }
  }
  // What the game sent for the log-in, sent again on a new connection, brings nobody in.
  const std::size_t Seen = Watcher.Added.size();
  ASSERT_NO_FATAL_FAILURE(SendAgain(Server.Port(), Relay.Captures()[1]->Up));
  WaitUntil([] { return false; }, 300);
  EXPECT_EQ(Watcher.Added.size(), Seen);

  // The same through a game without TLS (the server lets it in): there the log-in is on the
  // wire as it goes, and sending it again logs in. This is what TLS keeps from the path.
  {
    TGame Old(Relay.Port(), true);
    ASSERT_TRUE(Old.LogIn("ann", Password, false));
    Old.C->SetActive(false);
  }
  ASSERT_EQ(Relay.Captures().size(), 3u);
  const QByteArray Plain = Relay.Captures()[2]->Up;
  EXPECT_TRUE(Holds(Plain, WireLine("LOGIN|ann|Brenmoor|" + Password)));
  ASSERT_TRUE(WaitUntil([&] { return Watcher.C->UserCount() == 1; }));
  QTcpSocket Replay;
  Replay.connectToHost("127.0.0.1", static_cast<quint16>(Server.Port()));
  ASSERT_TRUE(WaitUntil([&] { return Replay.state() == QAbstractSocket::ConnectedState; }));
  Replay.write(Plain);
  EXPECT_TRUE(WaitUntil([&] { return Watcher.C->FindUser("ann") != nullptr; }));
  EXPECT_EQ(Server.Stop(), 0);
}

TEST(LobbyTls, TheServersCertificateIsItsOwnersAndNamedByItsFingerprint) {
  TTempDir Dir;
  TServerProcess Server(Dir.File("lobby.db"));
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  const std::string Fingerprint = Server.Fingerprint();
  EXPECT_EQ(Fingerprint.size(), 32u * 3 - 1);
  for (const std::string& File : {Dir.File("lobby.crt"), Dir.File("lobby.key")}) {
    struct stat S {};
    ASSERT_EQ(::stat(File.c_str(), &S), 0) << File;
    EXPECT_EQ(S.st_mode & 0777, 0600u) << File;
  }
  // The fingerprint printed is the digest of the certificate the game is shown.
  QSslSocket Socket;
  Socket.connectToHostEncrypted("127.0.0.1", static_cast<quint16>(Server.Port()));
  ASSERT_TRUE(WaitUntil([&] { return Socket.isEncrypted(); }));
  const QByteArray Digest = Socket.peerCertificate().digest(QCryptographicHash::Sha256);
  EXPECT_EQ(TServerTrust::FormatFingerprint(std::string_view(Digest.constData(), std::size_t(Digest.size()))),
            Fingerprint);
  EXPECT_GE(Socket.sessionProtocol(), QSsl::TlsV1_2);
  Socket.abort();
  Server.Console("stats");
  EXPECT_EQ(Server.AwaitOutput("certificate SHA-256"), "certificate SHA-256 fingerprint " + Fingerprint);
  // A restart keeps the certificate.
  EXPECT_EQ(Server.Stop(), 0);
  ASSERT_NO_FATAL_FAILURE(Server.Start());
  EXPECT_EQ(Server.Fingerprint(), Fingerprint);
  EXPECT_EQ(Server.Stop(), 0);

  // A certificate of the operator's own is used as it is; one without its key is refused.
  MakeSelfSignedCertificate(Dir.File("own.crt"), Dir.File("own.key"), "lobby.example");
  TServerProcess Own(Dir.File("lobby.db"), OwnCertificate(Dir.File("own.crt"), Dir.File("own.key")));
  ASSERT_NO_FATAL_FAILURE(Own.Start());
  EXPECT_EQ(Own.Fingerprint(), CertificateFingerprint(Dir.File("own.crt")));
  EXPECT_NE(Own.Fingerprint(), Fingerprint);
  EXPECT_EQ(Own.Stop(), 0);
  EXPECT_THROW(LoadTlsIdentity(Dir.File("own.crt"), Dir.File("missing.key"), false), ETlsIdentity);
  EXPECT_THROW(LoadTlsIdentity(Dir.File("own.crt"), Dir.File("lobby.key"), false), ETlsIdentity);
}
