#pragma once
// The lobby server's sockets: one loop on the event library (epoll underneath) over the
// listening socket, the clients, the operator's console, a 50 ms timer and the stop signals.
// It feeds the server core bytes and the time and sends what the core answers, each relayed
// line one shared buffer for all its guests; a client that falls behind by more than its budget
// is cut off and the others are not slowed. Password hashing runs on a small worker pool whose
// results come back to the loop.
#include <asio/io_context.hpp>
#include <asio/ip/tcp.hpp>
#include <asio/posix/stream_descriptor.hpp>
#include <asio/signal_set.hpp>
#include <asio/steady_timer.hpp>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>

#include "server/LobbyServer.h"
#include "server/StreamConnection.h"
#include "server/WorkerPool.h"

class EEventServer : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

class TEventServer {
public:
  // How long a connection the core is closing may take to read its last lines.
  static constexpr TMillis CloseGraceMs = 5000;
  static constexpr TMillis TickMs = 50;

  explicit TEventServer(TLobbyServer& Core, int HashThreads = TWorkerPool::DefaultThreads());
  ~TEventServer();
  TEventServer(const TEventServer&) = delete;
  TEventServer& operator=(const TEventServer&) = delete;

  // Binds and listens; Port 0 takes a free port (see Port()). Raises EEventServer.
  void Listen(const std::string& Address, int Port);
  int Port() const { return FPort; }
  // Speaks TLS over Context (not owned; it outlives the server) to every client that comes
  // from now on; with AllowPlain, clients without TLS are let in as well. Fingerprint is what
  // "stats" says of the certificate.
  void SetTls(asio::ssl::context* Context, bool AllowPlain, const std::string& Fingerprint);
  // A client without TLS is told this in a log-in failure when only TLS is spoken.
  static constexpr const char* PlainRefusal =
      "This lobby takes encrypted connections only: please update the game to log in";
  // Reads operator commands from this descriptor ("shout <text>", "stats", "quit").
  void SetConsole(int Fd);
  std::function<void(const std::string& Text)> OnConsoleOutput;
  // SIGINT and SIGTERM stop the loop, answered within a turn of it.
  void StopOnSignals();
  // Runs until Stop() (safe from another thread), a stop signal or "quit".
  void Run();
  void Stop();
  // The monotonic clock the loop gives the core.
  static TMillis Now();

private:
  struct TClient {
    TStreamConnection::TPtr Connection;
    bool Closing = false;
    TMillis ClosingSince = -1;
  };

  void Accept();
  void Added(asio::ip::tcp::socket Socket);
  void ScheduleFlush();
  void Flush();
  void Tick();
  void DropClient(TSessionId Id);
  void ReadConsole();
  void ConsoleCommand(const std::string& Line);

  TLobbyServer& FCore;
  asio::io_context FIo{1};
  asio::ip::tcp::acceptor FAcceptor{FIo};
  asio::steady_timer FTimer{FIo};
  asio::steady_timer FAcceptRetry{FIo};
  std::optional<asio::signal_set> FSignals;
  std::optional<asio::posix::stream_descriptor> FConsole;
  std::array<char, 4096> FConsoleRead{};
  std::string FConsoleBuffer;
  int FPort = 0;
  bool FFlushScheduled = false;
  asio::ssl::context* FTls = nullptr;
  bool FAllowPlain = false;
  std::string FFingerprint;
  std::unordered_map<TSessionId, TClient> FClients;
  std::unique_ptr<TWorkerPool> FPool;  // last: its threads stop before the loop goes
};
