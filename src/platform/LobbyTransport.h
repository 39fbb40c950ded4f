#pragma once
// The lobby connection's TCP socket: a QTcpSocket on the main thread. Received bytes are handed
// on from a queued call rather than from the socket's read signal itself, so a handler that
// opens a modal window (and so runs a nested event loop) still receives the lines that arrive
// meanwhile, in order.
#include <QObject>
#include <QTcpSocket>
#include <memory>

#include "lobby/LobbyTransport.h"

class TTcpLobbyTransport : public QObject, public TLobbyTransport {
  Q_OBJECT
public:
  // How long a closed connection may take to hand its last bytes to the network.
  static constexpr int CloseTimeoutMs = 10000;

  explicit TTcpLobbyTransport(QObject* Parent = nullptr);
  ~TTcpLobbyTransport() override;

  void Connect(const std::string& Host, bool HostIsAddress, int Port) override;
  std::int64_t Write(std::string_view Bytes) override;
  bool Connected() const override;
  void Close() override;

private:
  void ReadyRead();
  void SocketDisconnected();
  void SocketError(QAbstractSocket::SocketError Error);
  void PostDelivery();
  // Hands the pending bytes on (All: every one; else up to the first line end, the rest in a
  // delivery posted before the handler runs), then a pending disconnect once none are left.
  void Deliver(unsigned Generation, bool All = false);
  void ReleaseSocket();

  QTcpSocket* FSocket = nullptr;  // owned; handed to deleteLater when it is done
  unsigned FGeneration = 0;
  QByteArray FPending;
  bool FDeliveryPosted = false;
  bool FDisconnectPending = false;
};
