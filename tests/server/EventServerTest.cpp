// The server core on its event loop in a thread of the test, reached by loopback sockets, plain
// and over TLS: a guest that stops reading is cut off while the others of its room get every
// line.
#include <gtest/gtest.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include <asio/ssl/context.hpp>
#include <openssl/ssl.h>

#include "server/EventServer.h"
#include "server/TlsIdentity.h"
#include "ServerTestSupport.h"

namespace {

constexpr int kDeadlineMs = 15000;

TMillis Clock() { return TEventServer::Now(); }

// A socket speaking the lobby's framing, plain or over TLS (checking no certificate); every
// wait has a deadline.
class TSocketClient {
public:
  TSocketClient(const TLobbyServer& Core, int Port, int ReceiveBuffer = 0, bool Tls = false) : FCore(Core) {
    FFd = socket(AF_INET, SOCK_STREAM, 0);
    if (ReceiveBuffer > 0) setsockopt(FFd, SOL_SOCKET, SO_RCVBUF, &ReceiveBuffer, sizeof ReceiveBuffer);
    sockaddr_in A{};
    A.sin_family = AF_INET;
    A.sin_port = htons(static_cast<std::uint16_t>(Port));
    inet_pton(AF_INET, "127.0.0.1", &A.sin_addr);
    EXPECT_EQ(connect(FFd, reinterpret_cast<sockaddr*>(&A), sizeof A), 0);
    if (!Tls) return;
    FContext = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_verify(FContext, SSL_VERIFY_NONE, nullptr);
    FSsl = SSL_new(FContext);
    SSL_set_fd(FSsl, FFd);
    EXPECT_EQ(SSL_connect(FSsl), 1);
  }
  ~TSocketClient() {
    if (FSsl) SSL_free(FSsl);
    if (FContext) SSL_CTX_free(FContext);
    close(FFd);
  }

  void Send(const std::string& Line) {
    const std::string Wire = FCore.EncodeLine(Line);
    std::size_t Done = 0;
    while (Done < Wire.size()) {
      const ssize_t N = FSsl ? SSL_write(FSsl, Wire.data() + Done, static_cast<int>(Wire.size() - Done))
                             : send(FFd, Wire.data() + Done, Wire.size() - Done, MSG_NOSIGNAL);
      ASSERT_GT(N, 0);
      Done += static_cast<std::size_t>(N);
    }
  }
  // The next line, or nothing when the deadline passes or the server closed the connection.
  std::optional<std::string> Next() {
    const TMillis Deadline = Clock() + kDeadlineMs;
    while (true) {
      const std::size_t End = FIn.find('\n');
      if (End != std::string::npos) {
        std::optional<std::string> Line = FCore.DecodeLine(std::string_view(FIn).substr(0, End));
        FIn.erase(0, End + 1);
        return Line;
      }
      if (!Fill(Deadline)) return std::nullopt;
    }
  }
  // Skips lines until one begins with Prefix.
  bool WaitFor(const std::string& Prefix) {
    while (std::optional<std::string> L = Next())
      if (L->rfind(Prefix, 0) == 0) return true;
    return false;
  }
  // True when the server closes the connection before the deadline (what was sent is dropped).
  bool ClosedByServer() {
    const TMillis Deadline = Clock() + kDeadlineMs;
    while (Fill(Deadline)) FIn.clear();
    return FClosed;
  }

private:
  bool Fill(TMillis Deadline) {
    if (FClosed) return false;
    pollfd P{FFd, POLLIN, 0};
    const TMillis Left = Deadline - Clock();
    if (!(FSsl && SSL_pending(FSsl) > 0) && (Left <= 0 || poll(&P, 1, static_cast<int>(Left)) <= 0)) return false;
    char Buf[65536];
    const ssize_t N = FSsl ? SSL_read(FSsl, Buf, sizeof Buf) : recv(FFd, Buf, sizeof Buf, 0);
    if (N <= 0) {
      FClosed = true;
      return false;
    }
    FIn.append(Buf, static_cast<std::size_t>(N));
    return true;
  }

  const TLobbyServer& FCore;
  int FFd = -1;
  SSL_CTX* FContext = nullptr;
  SSL* FSsl = nullptr;
  std::string FIn;
  bool FClosed = false;
};

struct TLoopFixture {
  explicit TLoopFixture(TServerConfig Config, bool WithTls = false)
      : Store(Dir.File("lobby.db")), Core(Config, Store, Clock()), Server(Core, 1), Tls(WithTls) {
    std::signal(SIGPIPE, SIG_IGN);
    if (Tls) {
      const TTlsIdentity Identity = LoadTlsIdentity(Dir.File("lobby.crt"), Dir.File("lobby.key"), true);
      Context = MakeServerTlsContext(Identity);
      Server.SetTls(Context.get(), false, Identity.Fingerprint);
    }
    Server.Listen("127.0.0.1", 0);
    Thread = std::thread([this] { Server.Run(); });
  }
  ~TLoopFixture() {
    Server.Stop();
    Thread.join();
  }
  std::unique_ptr<TSocketClient> User(const std::string& Name, int ReceiveBuffer = 0) {
    auto C = std::make_unique<TSocketClient>(Core, Server.Port(), ReceiveBuffer, Tls);
    C->Send("LOGINNEW|" + Name + "|Brenmoor|" + Name + TCoreFixture::NewRecord("pw"));
    EXPECT_TRUE(C->WaitFor("JOINSUBJECT|Lobby Chat"));
    return C;
  }

  TTempDir Dir;
  TAccountStore Store;
  TLobbyServer Core;
  std::unique_ptr<asio::ssl::context> Context;  // outlives the server
  TEventServer Server;
  bool Tls;
  std::thread Thread;
};

void SlowGuestIsCutAndTheOthersGetEveryLine(bool Tls) {
  TServerConfig Config = TCoreFixture::TestConfig();
  Config.MaxBacklogBytes = 1u << 20;
  Config.DataBurst = 1e9;
  Config.DataBytesBurst = 1e12;
  Config.MaxConnectionsPerAddress = 0;
  TLoopFixture F(Config, Tls);
  auto Ann = F.User("ann");
  auto Bob = F.User("bob");
  auto Cid = F.User("cid", 4096);  // reads nothing from here on
  ASSERT_TRUE(Bob->WaitFor("ADDGUEST|Lobby Chat|cid"));

  // 12 MiB: more than the kernel buffers of the slow guest's socket and its budget together.
  const int Lines = 1500;
  const std::string Payload(8 << 10, 'p');
  std::thread Sender([&] {
    for (int I = 0; I < Lines; ++I) Ann->Send("SEND|DATA|" + std::to_string(I) + "|" + Payload);
    Ann->Send("SEND|CHAT|done");
  });
  int Next = 0;
  bool InOrder = true, CidLeft = false;
  std::optional<std::string> L;
  while (!(L && *L == "SEND|ann|CHAT|done") && (L = Bob->Next())) {
    CidLeft = CidLeft || *L == "REMOVEGUEST|cid";
    if (L->rfind("SEND|ann|DATA|", 0) != 0) continue;
    InOrder = InOrder && *L == "SEND|ann|DATA|" + std::to_string(Next) + "|" + Payload;
    ++Next;
  }
  Sender.join();
  EXPECT_EQ(Next, Lines);
  EXPECT_TRUE(InOrder);
  EXPECT_TRUE(CidLeft);
  EXPECT_TRUE(Cid->ClosedByServer());
}

}  // namespace

TEST(LobbyEventLoop, AGuestThatStopsReadingIsCutAndTheOthersGetEveryLine) { SlowGuestIsCutAndTheOthersGetEveryLine(false); }

// Over TLS the lines of the encrypted write under way count in the guest's budget too.
TEST(LobbyEventLoop, AGuestOverTlsThatStopsReadingIsCutAndTheOthersGetEveryLine) {
  SlowGuestIsCutAndTheOthersGetEveryLine(true);
}
