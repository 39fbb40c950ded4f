#include "platform/LobbyTransport.h"

#include <QCryptographicHash>
#include <QHostAddress>
#include <QSslCertificate>
#include <QSslConfiguration>
#include <QTimer>
#include <utility>

#include "lobby/VexilUtils.h"
#include "platform/Prompter.h"
#include "platform/RegistryManager.h"

std::string TRegistryTrustStore::Read(const std::string& Name) const { return FSettings.ReadString(Name); }

void TRegistryTrustStore::Write(const std::string& Name, const std::string& Value) {
  FSettings.WriteString(Name, Value);
}

std::string TMemoryTrustStore::Read(const std::string& Name) const {
  const auto It = FValues.find(Name);
  return It == FValues.end() ? std::string() : It->second;
}

TTcpLobbyTransport::TTcpLobbyTransport(std::unique_ptr<TServerTrustStore> Store, QObject* Parent)
    : QObject(Parent),
      FStore(Store ? std::move(Store) : std::make_unique<TMemoryTrustStore>()),
      FTrust(*FStore),
      FHandshakeTimer(new QTimer(this)) {
  FHandshakeTimer->setSingleShot(true);
  connect(FHandshakeTimer, &QTimer::timeout, this, [this] {
    if (FSocket && !FEncrypted && !FPlain) PostHandshakeEnded();
  });
}

TTcpLobbyTransport::~TTcpLobbyTransport() {
  // Going away (the program ends): hand the kernel what it takes now and close at once, this
  // socket and those still closing (children of the transport, deleted with it).
  for (QSslSocket* Closing : findChildren<QSslSocket*>(Qt::FindDirectChildrenOnly)) Closing->flush();
  if (!FSocket) return;
  FSocket->disconnect(this);
  FSocket->flush();
  delete FSocket;
}

void TTcpLobbyTransport::Connect(const std::string& Host, bool HostIsAddress, int Port) {
  FHost = Host;
  FHostIsAddress = HostIsAddress;
  FPort = Port;
  FPlain = FPlainOnly;
  StartAttempt();
}

void TTcpLobbyTransport::StartAttempt() {
  ReleaseSocket();
  ++FGeneration;
  FPending.clear();
  FDeliveryPosted = false;
  FDisconnectPending = false;
  FTcpConnected = false;
  FEncrypted = false;
  FHandshakeEndPosted = false;
  FVerdict = vdNone;
  FVerdictMessage.clear();
  FFingerprint.clear();
  FHandshakeTimer->stop();
  FSocket = new QSslSocket();
  FSocket->setSocketOption(QAbstractSocket::LowDelayOption, 1);
  if (!FPlain) {
    QSslConfiguration Config = FSocket->sslConfiguration();
    Config.setProtocol(QSsl::TlsV1_2OrLater);
    FSocket->setSslConfiguration(Config);
  }
  connect(FSocket, &QSslSocket::connected, this, [this] { SocketConnected(); });
  connect(FSocket, &QSslSocket::encrypted, this, [this] { SocketEncrypted(); });
  connect(FSocket, &QSslSocket::sslErrors, this, [this](const QList<QSslError>& E) { SslErrors(E); });
  connect(FSocket, &QSslSocket::readyRead, this, [this] { ReadyRead(); });
  connect(FSocket, &QSslSocket::bytesWritten, this, [this](qint64) {
    if (OnReadyWrite && Connected()) OnReadyWrite(this);
  });
  connect(FSocket, &QSslSocket::disconnected, this, [this] { SocketDisconnected(); });
  connect(FSocket, &QSslSocket::errorOccurred, this, [this](QAbstractSocket::SocketError E) { SocketError(E); });
  const QString Name = QString::fromLatin1(FHost.data(), static_cast<qsizetype>(FHost.size()));
  const quint16 P = static_cast<quint16>(FPort);
  if (FPlain) {
    if (FHostIsAddress)
      FSocket->connectToHost(QHostAddress(Name), P);
    else
      FSocket->connectToHost(Name, P);
  } else {
    // The name the certificate must carry is the one the player gave, address or host name.
    FSocket->connectToHostEncrypted(Name, P);
  }
}

std::int64_t TTcpLobbyTransport::Write(std::string_view Bytes) {
  if (!Connected()) return -1;
  return FSocket->write(Bytes.data(), static_cast<qint64>(Bytes.size()));
}

bool TTcpLobbyTransport::Connected() const {
  return FSocket && FSocket->state() == QAbstractSocket::ConnectedState && (FPlain || FEncrypted);
}

TLobbyLink TTcpLobbyTransport::Link() const {
  if (!Connected()) return llNone;
  return FPlain ? llPlain : llTls;
}

void TTcpLobbyTransport::Close() {
  ++FGeneration;
  FPending.clear();
  FDeliveryPosted = false;
  FDisconnectPending = false;
  FHandshakeTimer->stop();
  ReleaseSocket();
}

void TTcpLobbyTransport::ReleaseSocket() {
  if (!FSocket) return;
  QSslSocket* S = FSocket;
  FSocket = nullptr;
  S->disconnect(this);
  // A TLS close announces itself to the peer first, so it takes a turn of the loop or more: the
  // closing socket is the transport's until it is done, and goes with the transport at the latest.
  S->setParent(this);
  if (S->state() == QAbstractSocket::UnconnectedState) {
    S->deleteLater();
    return;
  }
  // The queued bytes still go out; the socket deletes itself when the close is done, or after
  // a deadline when the peer takes nothing more.
  connect(S, &QSslSocket::disconnected, S, &QObject::deleteLater);
  QTimer::singleShot(CloseTimeoutMs, S, [S] { S->abort(); S->deleteLater(); });
  S->disconnectFromHost();
}

void TTcpLobbyTransport::SocketConnected() {
  FTcpConnected = true;
  if (FPlain) {
    FTrust.NoteLink(FHost, FPort, llPlain);
    if (OnConnected) OnConnected(this);
    return;
  }
  FHandshakeTimer->start(HandshakeTimeoutMs);
}

void TTcpLobbyTransport::SocketEncrypted() {
  FHandshakeTimer->stop();
  FEncrypted = true;
  if (FFingerprint.empty()) {
    const QByteArray Digest = FSocket->peerCertificate().digest(QCryptographicHash::Sha256);
    FFingerprint = TServerTrust::FormatFingerprint(std::string_view(Digest.constData(), static_cast<std::size_t>(Digest.size())));
  }
  FTrust.NoteLink(FHost, FPort, llTls);
  if (OnConnected) OnConnected(this);
}

// Called inside the hand-shake: only what needs no question is settled here. A certificate
// that is neither vouched for nor known makes the hand-shake fail, and the player is asked
// afterwards; a Yes connects again, and then the kept fingerprint lets it through.
void TTcpLobbyTransport::SslErrors(const QList<QSslError>&) {
  const QByteArray Digest = FSocket->peerCertificate().digest(QCryptographicHash::Sha256);
  FFingerprint = TServerTrust::FormatFingerprint(std::string_view(Digest.constData(), static_cast<std::size_t>(Digest.size())));
  const TTrustDecision D = FTrust.Decide(FHost, FPort, FFingerprint, false);
  if (D.Verdict == tvAccept) {
    FSocket->ignoreSslErrors();
    return;
  }
  FVerdict = D.Verdict == tvAsk ? vdAsk : vdRefuse;
  FVerdictMessage = D.Message;
}

void TTcpLobbyTransport::PostHandshakeEnded() {
  if (FHandshakeEndPosted) return;
  FHandshakeEndPosted = true;
  FHandshakeTimer->stop();
  const unsigned Generation = FGeneration;
  QMetaObject::invokeMethod(this, [this, Generation] {
    if (Generation == FGeneration) HandshakeEnded();
  }, Qt::QueuedConnection);
}

void TTcpLobbyTransport::HandshakeEnded() {
  const TVerdict Verdict = FVerdict;
  const std::string Message = FVerdictMessage;
  const std::string Fingerprint = FFingerprint;
  ReleaseSocket();
  const unsigned Generation = ++FGeneration;
  if (Verdict == vdRefuse) {
    Prompter().ShowMessage(Message);
    if (Generation == FGeneration) AttemptEnded();
    return;
  }
  const bool Yes = Prompter().Confirm(Verdict == vdAsk ? Message : TServerTrust::PlainQuestion(FHost, FPort));
  if (Generation != FGeneration) return;  // closed meanwhile
  if (!Yes) {
    AttemptEnded();
    return;
  }
  if (Verdict == vdAsk)
    FTrust.Trust(FHost, FPort, Fingerprint);
  else
    FPlain = true;
  StartAttempt();
}

void TTcpLobbyTransport::AttemptEnded() {
  if (OnDisconnected) OnDisconnected(this);
}

void TTcpLobbyTransport::ReadyRead() {
  FPending += FSocket->readAll();
  PostDelivery();
}

void TTcpLobbyTransport::SocketDisconnected() {
  if (FTcpConnected && !FPlain && !FEncrypted) {
    PostHandshakeEnded();
    return;
  }
  if (FSocket) FPending += FSocket->readAll();
  FDisconnectPending = true;
  PostDelivery();
}

void TTcpLobbyTransport::SocketError(QAbstractSocket::SocketError Error) {
  // A hand-shake that went wrong, or a server that closed instead of answering it.
  if (FTcpConnected && !FPlain && !FEncrypted) {
    PostHandshakeEnded();
    return;
  }
  // The peer closing is a disconnect, not an error. A TLS peer announces it (close_notify) and
  // may wait for the connection to end: what came before is taken, then it is ended here.
  if (Error == QAbstractSocket::RemoteHostClosedError) {
    if (FSocket && FEncrypted && FSocket->state() == QAbstractSocket::ConnectedState) {
      FPending += FSocket->readAll();
      PostDelivery();
      FSocket->disconnectFromHost();
    }
    return;
  }
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
