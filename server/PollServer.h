#pragma once
// The lobby server's sockets: one thread, one poll loop over the listening socket, the
// clients and the operator's console. It feeds the server core bytes and the time and sends
// what the core answers; a client that stops reading is cut off once its backlog is too big,
// and every client is read in turns so none can starve the others.
#include <atomic>
#include <functional>
#include <map>
#include <string>

#include "server/LobbyServer.h"

class EPollServer : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

class TPollServer {
public:
  // Output a client may leave unread before it is cut off.
  static constexpr std::size_t MaxBacklog = 64u << 20;
  // How long a connection the core is closing may take to read its last lines.
  static constexpr TMillis CloseGraceMs = 5000;

  explicit TPollServer(TLobbyServer& Core);
  ~TPollServer();
  TPollServer(const TPollServer&) = delete;
  TPollServer& operator=(const TPollServer&) = delete;

  // Binds and listens; Port 0 takes a free port (see Port()). Raises EPollServer.
  void Listen(const std::string& Address, int Port);
  int Port() const { return FPort; }
  // Reads operator commands from this descriptor ("shout <text>", "stats", "quit").
  void SetConsole(int Fd) { FConsole = Fd; }
  std::function<void(const std::string& Text)> OnConsoleOutput;
  // Runs until Stop() (safe from a signal handler or another thread) or "quit".
  void Run();
  void Stop();
  // The monotonic clock the loop gives the core.
  static TMillis Now();

private:
  struct TClient {
    int Fd = -1;
    std::string Out;
    std::size_t OutPos = 0;
    TMillis ClosingSince = -1;
  };

  void Accept();
  void ReadClient(TSessionId Id, TClient& C);
  void WriteClient(TSessionId Id, TClient& C);
  void Flush();
  void DropLingering(TMillis Now);
  void DropClient(TSessionId Id);
  void ReadConsole();
  void ConsoleCommand(const std::string& Line);

  TLobbyServer& FCore;
  int FListen = -1;
  int FPort = 0;
  int FWake[2] = {-1, -1};
  int FConsole = -1;
  std::string FConsoleBuffer;
  std::atomic<bool> FStop{false};
  std::map<TSessionId, TClient> FClients;
};
