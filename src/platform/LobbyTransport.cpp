#include "platform/LobbyTransport.h"

#include <QHostAddress>
#include <QTimer>
#include <utility>

#include "lobby/VexilUtils.h"

TTcpLobbyTransport::TTcpLobbyTransport(QObject* Parent) : QObject(Parent) {}

TTcpLobbyTransport::~TTcpLobbyTransport() {
  // Going away (the program ends): hand the kernel what it takes now and close at once.
  if (!FSocket) return;
  FSocket->disconnect(this);
  FSocket->flush();
  delete FSocket;
}

void TTcpLobbyTransport::Connect(const std::string& Host, bool HostIsAddress, int Port) {
  ReleaseSocket();
  ++FGeneration;
  FPending.clear();
  FDeliveryPosted = false;
  FDisconnectPending = false;
  FSocket = new QTcpSocket();
  FSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  connect(FSocket, &QTcpSocket::connected, this, [this] {
    if (OnConnected) OnConnected(this);
  });
  connect(FSocket, &QTcpSocket::readyRead, this, [this] { ReadyRead(); });
  connect(FSocket, &QTcpSocket::bytesWritten, this, [this](qint64) {
    if (OnReadyWrite) OnReadyWrite(this);
  });
  connect(FSocket, &QTcpSocket::disconnected, this, [this] { SocketDisconnected(); });
  connect(FSocket, &QTcpSocket::errorOccurred, this,
          [this](QAbstractSocket::SocketError E) { SocketError(E); });
  const QString Name = QString::fromLatin1(Host.data(), static_cast<qsizetype>(Host.size()));
  const quint16 P = static_cast<quint16>(Port);
  if (HostIsAddress)
    FSocket->connectToHost(QHostAddress(Name), P);
  else
    FSocket->connectToHost(Name, P);
}

std::int64_t TTcpLobbyTransport::Write(std::string_view Bytes) {
  if (!Connected()) return -1;
  return FSocket->write(Bytes.data(), static_cast<qint64>(Bytes.size()));
}

bool TTcpLobbyTransport::Connected() const {
  return FSocket && FSocket->state() == QAbstractSocket::ConnectedState;
}

void TTcpLobbyTransport::Close() {
  ++FGeneration;
  FPending.clear();
  FDeliveryPosted = false;
  FDisconnectPending = false;
  ReleaseSocket();
}

void TTcpLobbyTransport::ReleaseSocket() {
  if (!FSocket) return;
  QTcpSocket* S = FSocket;
  FSocket = nullptr;
  S->disconnect(this);
  if (S->state() == QAbstractSocket::UnconnectedState) {
    S->deleteLater();
    return;
  }
  // The queued bytes still go out; the socket deletes itself when the close is done, or after
  // a deadline when the peer takes nothing more.
  connect(S, &QTcpSocket::disconnected, S, &QObject::deleteLater);
  QTimer::singleShot(CloseTimeoutMs, S, [S] { S->abort(); S->deleteLater(); });
  S->disconnectFromHost();
}

void TTcpLobbyTransport::ReadyRead() {
  FPending += FSocket->readAll();
  PostDelivery();
}

void TTcpLobbyTransport::SocketDisconnected() {
  if (FSocket) FPending += FSocket->readAll();
  FDisconnectPending = true;
  PostDelivery();
}

void TTcpLobbyTransport::SocketError(QAbstractSocket::SocketError Error) {
  // The peer closing is a disconnect, not an error.
  if (Error == QAbstractSocket::RemoteHostClosedError) return;
  const unsigned Generation = FGeneration;
  // An error while connecting ends the attempt; one that comes with a disconnect is reported
  // before the bytes that came first would be: hand those on now.
  if (!FPending.isEmpty()) Deliver(Generation, true);
  if (Generation != FGeneration) return;
  if (OnError) OnError(this, static_cast<int>(Error));
}

void TTcpLobbyTransport::PostDelivery() {
  if (FDeliveryPosted) return;
  FDeliveryPosted = true;
  const unsigned Generation = FGeneration;
  QMetaObject::invokeMethod(this, [this, Generation] { Deliver(Generation); },
                            Qt::QueuedConnection);
}

void TTcpLobbyTransport::Deliver(unsigned Generation, bool All) {
  if (Generation != FGeneration) return;  // a call posted for a connection since closed
  FDeliveryPosted = false;
  if (!FPending.isEmpty()) {
    // One line at a time, the delivery of the rest posted first: a handler of the line that
    // runs a modal window (an event loop of its own) still receives the lines that came in the
    // same read, in their order, instead of finding them only after the window has closed.
    const qsizetype End = All ? -1 : FPending.indexOf(kVexilLineEnd);
    QByteArray Bytes;
    if (End < 0 || End + 1 == FPending.size()) {
      Bytes = std::exchange(FPending, QByteArray());
    } else {
      Bytes = FPending.left(End + 1);
      FPending.remove(0, End + 1);
      PostDelivery();
    }
    if (OnBytesReceived)
      OnBytesReceived(this, std::string_view(Bytes.constData(), static_cast<std::size_t>(Bytes.size())));
    if (Generation != FGeneration) return;
  }
  // The disconnect follows the last of the bytes that came before it.
  if (FDisconnectPending && FPending.isEmpty()) {
    FDisconnectPending = false;
    if (OnDisconnected) OnDisconnected(this);
  }
}
