#pragma once
// A relay on a free loopback port that passes each connection on to a lobby server's port and
// writes down every byte that goes each way, as someone on the path between the game and the
// server would see them. Told to refuse TLS, it stands for a server of the old protocol: a
// connection whose first byte begins a TLS hand-shake is closed, any other is passed on.
#include <gtest/gtest.h>

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <memory>
#include <vector>

class TLoopbackRelay {
public:
  struct TCapture {
    QByteArray Up;    // from the game to the server
    QByteArray Down;  // from the server to the game
  };

  explicit TLoopbackRelay(int TargetPort, bool RefuseTls = false) : FTarget(TargetPort), FRefuseTls(RefuseTls) {
    EXPECT_TRUE(FServer.listen(QHostAddress::LocalHost));
    QObject::connect(&FServer, &QTcpServer::newConnection, [this] {
      while (QTcpSocket* Game = FServer.nextPendingConnection()) Relay(Game);
    });
  }
  int Port() const { return FServer.serverPort(); }
  // One capture per connection, in the order they came.
  const std::vector<std::unique_ptr<TCapture>>& Captures() const { return FCaptures; }
  int Refused() const { return FRefused; }

private:
  void Relay(QTcpSocket* Game) {
    auto* Server = new QTcpSocket(Game);
    FCaptures.push_back(std::make_unique<TCapture>());
    TCapture* C = FCaptures.back().get();
    auto Pending = std::make_shared<QByteArray>();
    auto First = std::make_shared<bool>(true);
    QObject::connect(Game, &QTcpSocket::readyRead, Game, [=, this] {
      const QByteArray Bytes = Game->readAll();
      if (*First && !Bytes.isEmpty()) {
        *First = false;
        if (FRefuseTls && static_cast<unsigned char>(Bytes[0]) == 22) {
          ++FRefused;
          Game->disconnectFromHost();
          return;
        }
      }
      C->Up += Bytes;
      if (Server->state() == QAbstractSocket::ConnectedState)
        Server->write(Bytes);
      else
        *Pending += Bytes;
    });
    QObject::connect(Server, &QTcpSocket::connected, Game, [=] {
      Server->write(*Pending);
      Pending->clear();
    });
    QObject::connect(Server, &QTcpSocket::readyRead, Game, [=] {
      const QByteArray Bytes = Server->readAll();
      C->Down += Bytes;
      Game->write(Bytes);
    });
    QObject::connect(Server, &QTcpSocket::disconnected, Game, [=] { Game->disconnectFromHost(); });
    QObject::connect(Game, &QTcpSocket::disconnected, Game, [=] {
      Server->disconnectFromHost();
      Game->deleteLater();
    });
    Server->connectToHost(QHostAddress::LocalHost, static_cast<quint16>(FTarget));
  }

  QTcpServer FServer;
  int FTarget;
  bool FRefuseTls;
  int FRefused = 0;
  std::vector<std::unique_ptr<TCapture>> FCaptures;
};
