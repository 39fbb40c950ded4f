#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <functional>
#include <string>
#include <vector>

#include "platform/LobbyTransport.h"
#include "support/WaitUntil.h"

namespace {

// A loopback server that writes Bytes in one write to the first client, then closes when told.
struct TOneWriteServer {
  explicit TOneWriteServer(QByteArray Bytes, bool CloseAfter) {
    EXPECT_TRUE(Server.listen(QHostAddress::LocalHost, 0));
    QObject::connect(&Server, &QTcpServer::newConnection, [this, Bytes, CloseAfter] {
      QTcpSocket* Peer = Server.nextPendingConnection();
      Peer->write(Bytes);
      Peer->flush();
      if (CloseAfter) Peer->disconnectFromHost();
    });
  }
  QTcpServer Server;
};

}  // namespace

// Lines that come in one read reach the connection one by one: the handler of the first may run
// a modal window (an event loop of its own) and still receives the next lines while it is open,
// in their order; a disconnect follows the last line.
TEST(TcpLobbyTransport, LinesOfOneReadReachAHandlerThatRunsItsOwnEventLoop) {
  TOneWriteServer Peer("begin\nchat one\nchat two\n", true);
  TTcpLobbyTransport Transport;
  Transport.SetPlainOnly(true);  // a peer of the old protocol
  std::vector<std::string> Received;
  bool Disconnected = false, HeardInside = false;
  Transport.OnBytesReceived = [&](TLobbyTransport*, std::string_view Bytes) {
    Received.emplace_back(Bytes);
    if (Bytes == "begin\n") HeardInside = WaitUntil([&] { return Received.size() >= 3; });
  };
  Transport.OnDisconnected = [&](TLobbyTransport*) {
    Disconnected = true;
    Received.emplace_back("(disconnected)");
  };
  Transport.Connect("127.0.0.1", true, Peer.Server.serverPort());
  ASSERT_TRUE(WaitUntil([&] { return Disconnected; }));
  EXPECT_TRUE(HeardInside);
  EXPECT_EQ(Received, (std::vector<std::string>{"begin\n", "chat one\n", "chat two\n", "(disconnected)"}));
}
