#pragma once
// One client's socket on the loop. Readiness comes from the event library; reads go in bounded
// turns (a busy client yields to the others), and the queue of shared lines is written with
// scatter I/O as far as the socket takes it, the rest when it can take more. Nothing here
// blocks the loop, and nothing knows the lobby's lines.
//
// Given a TLS context the connection is encrypted (OpenSSL on the socket itself, driven by the
// loop's readiness waits): it reads the first byte the client sends without taking it; a TLS
// hand-shake begins with a record of type 22, and anything else is a client without TLS, let in
// as it is when plain clients are allowed, else answered with the refusal text and closed.
// Lines queued before the hand-shake is done wait for it. A TLS connection holds no buffers of
// its own while it waits: records are read into one buffer the loop shares, the library gives
// its record buffers back when they are empty, and the lines in one encrypted write are copied
// into a piece of at most one record that is let go once it is sent.
#include <asio/ip/tcp.hpp>
#include <asio/ssl/context.hpp>
#include <asio/steady_timer.hpp>

#include <cstddef>
#include <deque>
#include <functional>
#include <array>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

using TSharedBytes = std::shared_ptr<const std::string>;

class TStreamConnection : public std::enable_shared_from_this<TStreamConnection> {
public:
  using TPtr = std::shared_ptr<TStreamConnection>;
  static constexpr std::size_t ReadChunk = 64u << 10;
  static constexpr int ReadsPerTurn = 4;

  // The first byte of a TLS hand-shake.
  static constexpr unsigned char TlsHandshakeRecord = 22;
  // Bytes of a TLS connection's lines handed to one encrypted write: one full record.
  static constexpr std::size_t TlsWriteChunk = 16u << 10;
  // How long a TLS connection that is closed waits for the peer's answer to its close_notify.
  static constexpr int ShutdownWaitMs = 250;

  enum TLink : unsigned char { lkPending, lkPlain, lkTls, lkRefused };

  // Plain: no TLS context. Tls (not owned) outlives the connection.
  explicit TStreamConnection(asio::ip::tcp::socket Socket, asio::ssl::context* Tls = nullptr,
                             bool AllowPlain = false);
  ~TStreamConnection();
  TStreamConnection(const TStreamConnection&) = delete;
  TStreamConnection& operator=(const TStreamConnection&) = delete;

  // Bytes read; true to go on reading, false to read nothing more until ResumeReading.
  std::function<bool(std::string_view Bytes)> OnRead;
  // Bytes the socket took.
  std::function<void(std::size_t Bytes)> OnWritten;
  // A connection with a TLS context: the hand-shake is done (Tls) or a plain client is let in
  // (!Tls). Lines flow from now on.
  std::function<void(bool Tls)> OnEstablished;
  // Sent to a client without TLS when plain clients are not allowed, before it is closed.
  std::string PlainRefusal;
  // The connection is over: the peer closed it, it broke, or the queue was sent after
  // CloseAfterWriting. Fired once, never after Close.
  std::function<void()> OnClosed;

  // Starts the connection: reading, or first the look at the first byte and the hand-shake.
  void Start();
  void ResumeReading();
  // Adds a line to the queue; Write sends it.
  void Queue(TSharedBytes Bytes);
  void Write();
  // Reads nothing more; ends the connection once the queue is sent.
  void CloseAfterWriting();
  void Close();

  std::size_t QueuedBytes() const { return FOutBytes - FOutOffset + FTlsOut.size() - FTlsOutOffset; }
  std::size_t QueuedLines() const { return FOut.size(); }
  const asio::ip::tcp::socket& Socket() const { return FSocket; }
  TLink Link() const { return FLink; }

private:
  void ReadTurn();
  void Ended();
  void PeekFirstByte();
  void Refuse();
  void DrainRefused();
  void Established(bool Tls);
  void Handshake();
  void ReadTls();
  void WriteTls();
  void ShutdownTls();
  // Waits for the socket on behalf of a TLS call that asked for it (SSL_ERROR_WANT_...).
  void AwaitTls(int Error, void (TStreamConnection::*Then)());

  struct TFreeSsl {
    void operator()(SSL* S) const;
  };

  asio::ip::tcp::socket FSocket;
  asio::ssl::context* FTlsContext = nullptr;
  std::unique_ptr<SSL, TFreeSsl> FSsl;
  bool FAllowPlain = false;
  TLink FLink = lkPlain;
  std::string FTlsOut;             // the bytes of the encrypted write under way
  std::size_t FTlsOutOffset = 0;   // of which the library has taken these
  bool FShuttingDown = false;
  std::unique_ptr<asio::steady_timer> FShutdownTimer;
  std::deque<TSharedBytes> FOut;
  std::size_t FOutOffset = 0;  // bytes of the first line already sent
  std::size_t FOutBytes = 0;   // bytes of every queued line
  bool FReadScheduled = false;  // a read turn is posted or waits for the socket
  bool FWriteWaiting = false;
  bool FCloseAfterWriting = false;
  bool FClosed = false;
};
