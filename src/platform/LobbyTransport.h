#pragma once
// The lobby connection's socket: a QSslSocket on the main thread that speaks TLS 1.2 or newer.
// The certificate is judged by TServerTrust: one an authority of the system signed for the
// host goes through; for any other the player is shown its fingerprint and asked (trust on first
// use, kept in the settings per host and port), and a changed one is refused with a warning. A
// server whose hand-shake fails (it does not speak TLS) is reached in plain only after the
// player accepted the warning that the password then crosses the network unprotected. The
// questions go through the prompter, each from a queued call, never from inside the socket's
// own signals.
//
// Received bytes are handed on from a queued call rather than from the socket's read signal
// itself, so a handler that opens a modal window (and so runs a nested event loop) still
// receives the lines that arrive meanwhile, in order.
#include <QObject>
#include <QSslSocket>
#include <map>
#include <memory>

#include "lobby/LobbyTransport.h"
#include "lobby/ServerTrust.h"

class QTimer;
class TRegistryManager;

// The trust decisions kept in the game's settings store.
class TRegistryTrustStore : public TServerTrustStore {
public:
  explicit TRegistryTrustStore(TRegistryManager& Settings) : FSettings(Settings) {}
  std::string Read(const std::string& Name) const override;
  void Write(const std::string& Name, const std::string& Value) override;

private:
  TRegistryManager& FSettings;
};

// Kept for the life of the process only (a transport made without the settings).
class TMemoryTrustStore : public TServerTrustStore {
public:
  std::string Read(const std::string& Name) const override;
  void Write(const std::string& Name, const std::string& Value) override { FValues[Name] = Value; }

private:
  std::map<std::string, std::string> FValues;
};

class TTcpLobbyTransport : public QObject, public TLobbyTransport {
  Q_OBJECT
public:
  // How long a closed connection may take to hand its last bytes to the network.
  static constexpr int CloseTimeoutMs = 10000;
  // How long a TLS hand-shake may take before the server counts as one that does not speak TLS.
  static constexpr int HandshakeTimeoutMs = 10000;

  // Store: where trusted fingerprints are kept (nullptr: for this transport's life only).
  explicit TTcpLobbyTransport(std::unique_ptr<TServerTrustStore> Store = nullptr, QObject* Parent = nullptr);
  ~TTcpLobbyTransport() override;

  void Connect(const std::string& Host, bool HostIsAddress, int Port) override;
  std::int64_t Write(std::string_view Bytes) override;
  bool Connected() const override;
  void Close() override;
  TLobbyLink Link() const override;

  // Plain from the start, without TLS or question (a peer known to speak the old protocol).
  void SetPlainOnly(bool Value) { FPlainOnly = Value; }
  TServerTrust& Trust() { return FTrust; }
  // The SHA-256 fingerprint of the certificate of the connection ("" when plain or none).
  const std::string& Fingerprint() const { return FFingerprint; }

private:
  enum TVerdict : unsigned char { vdNone, vdAsk, vdRefuse };

  void StartAttempt();
  void ReadyRead();
  void SocketConnected();
  void SocketEncrypted();
  void SslErrors(const QList<QSslError>& Errors);
  void SocketDisconnected();
  void SocketError(QAbstractSocket::SocketError Error);
  // The TLS hand-shake did not come through: what the player is asked or told, from a queued call.
  void HandshakeEnded();
  void PostHandshakeEnded();
  void AttemptEnded();
  void PostDelivery();
  // Hands the pending bytes on (All: every one; else up to the first line end, the rest in a
  // delivery posted before the handler runs), then a pending disconnect once none are left.
  void Deliver(unsigned Generation, bool All = false);
  void ReleaseSocket();

  std::unique_ptr<TServerTrustStore> FStore;
  TServerTrust FTrust;
  QSslSocket* FSocket = nullptr;  // owned; handed to deleteLater when it is done
  QTimer* FHandshakeTimer = nullptr;
  unsigned FGeneration = 0;
  QByteArray FPending;
  bool FDeliveryPosted = false;
  bool FDisconnectPending = false;
  std::string FHost;
  bool FHostIsAddress = false;
  int FPort = 0;
  bool FPlainOnly = false;
  bool FPlain = false;         // this attempt speaks plain
  bool FTcpConnected = false;  // this attempt reached the server
  bool FEncrypted = false;
  bool FHandshakeEndPosted = false;
  TVerdict FVerdict = vdNone;
  std::string FVerdictMessage;
  std::string FFingerprint;
};
