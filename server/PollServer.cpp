#include "server/PollServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kReadChunk = 64u << 10;
constexpr int kReadsPerTurn = 4;  // a busy client yields after this many chunks per turn
constexpr int kAcceptsPerTurn = 64;
constexpr int kTickMs = 50;

void SetNonBlocking(int Fd) { fcntl(Fd, F_SETFL, fcntl(Fd, F_GETFL, 0) | O_NONBLOCK); }

}  // namespace

TPollServer::TPollServer(TLobbyServer& Core) : FCore(Core) {
  if (pipe(FWake) != 0) throw EPollServer("Cannot make the wake-up pipe");
  SetNonBlocking(FWake[0]);
  SetNonBlocking(FWake[1]);
}

TPollServer::~TPollServer() {
  for (auto& [Id, C] : FClients) close(C.Fd);
  if (FListen >= 0) close(FListen);
  close(FWake[0]);
  close(FWake[1]);
}

TMillis TPollServer::Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TPollServer::Listen(const std::string& Address, int Port) {
  FListen = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (FListen < 0) throw EPollServer("Cannot make the listening socket");
  const int One = 1;
  setsockopt(FListen, SOL_SOCKET, SO_REUSEADDR, &One, sizeof One);
  sockaddr_in A{};
  A.sin_family = AF_INET;
  A.sin_port = htons(static_cast<std::uint16_t>(Port));
  if (inet_pton(AF_INET, Address.c_str(), &A.sin_addr) != 1)
    throw EPollServer("Not an IPv4 address: " + Address);
  if (bind(FListen, reinterpret_cast<sockaddr*>(&A), sizeof A) != 0)
    throw EPollServer("Cannot listen on " + Address + ":" + std::to_string(Port) + ": " +
                      std::strerror(errno));
  if (listen(FListen, 256) != 0) throw EPollServer("Cannot listen: " + std::string(std::strerror(errno)));
  SetNonBlocking(FListen);
  socklen_t Len = sizeof A;
  getsockname(FListen, reinterpret_cast<sockaddr*>(&A), &Len);
  FPort = ntohs(A.sin_port);
}

void TPollServer::Stop() {
  FStop = true;
  const char B = 1;
  [[maybe_unused]] const ssize_t R = write(FWake[1], &B, 1);
}

void TPollServer::Run() {
  std::vector<pollfd> Fds;
  std::vector<TSessionId> Ids;
  TMillis LastTick = Now();
  while (!FStop) {
    Fds.clear();
    Ids.clear();
    Fds.push_back({FWake[0], POLLIN, 0});
    Fds.push_back({FListen, POLLIN, 0});
    Fds.push_back({FConsole, static_cast<short>(FConsole >= 0 ? POLLIN : 0), 0});
    for (auto& [Id, C] : FClients) {
      short Events = POLLIN;
      if (C.OutPos < C.Out.size()) Events |= POLLOUT;
      Fds.push_back({C.Fd, Events, 0});
      Ids.push_back(Id);
    }
    const int N = poll(Fds.data(), Fds.size(), kTickMs);
    if (N < 0 && errno != EINTR) throw EPollServer("poll failed: " + std::string(std::strerror(errno)));
    if (N > 0) {
      if (Fds[0].revents & POLLIN) {
        char Buf[64];
        while (read(FWake[0], Buf, sizeof Buf) > 0) {
        }
      }
      if (Fds[1].revents & POLLIN) Accept();
      if (FConsole >= 0 && (Fds[2].revents & (POLLIN | POLLHUP | POLLERR))) ReadConsole();
      for (std::size_t I = 0; I < Ids.size(); ++I) {
        const short R = Fds[I + 3].revents;
        if (!R) continue;
        auto It = FClients.find(Ids[I]);
        if (It == FClients.end()) continue;
        if (R & POLLOUT) WriteClient(It->first, It->second);
        It = FClients.find(Ids[I]);
        if (It != FClients.end() && (R & (POLLIN | POLLHUP | POLLERR))) ReadClient(It->first, It->second);
      }
    }
    const TMillis T = Now();
    if (T - LastTick >= kTickMs) {
      FCore.Tick(T);
      LastTick = T;
    }
    Flush();
    DropLingering(T);
  }
}

void TPollServer::DropLingering(TMillis T) {
  std::vector<TSessionId> Gone;
  for (auto& [Id, C] : FClients) {
    if (!FCore.WantsClose(Id)) continue;
    if (C.ClosingSince < 0) C.ClosingSince = T;
    if (T - C.ClosingSince >= CloseGraceMs) Gone.push_back(Id);
  }
  for (const TSessionId Id : Gone) DropClient(Id);
}

void TPollServer::Accept() {
  for (int I = 0; I < kAcceptsPerTurn; ++I) {
    sockaddr_in A{};
    socklen_t Len = sizeof A;
    const int Fd = accept4(FListen, reinterpret_cast<sockaddr*>(&A), &Len, SOCK_NONBLOCK | SOCK_CLOEXEC);
    if (Fd < 0) return;
    const int One = 1;
    setsockopt(Fd, IPPROTO_TCP, TCP_NODELAY, &One, sizeof One);
    char Text[INET_ADDRSTRLEN] = {};
    inet_ntop(AF_INET, &A.sin_addr, Text, sizeof Text);
    const TSessionId Id = FCore.Open(Text, Now());
    FClients[Id].Fd = Fd;
  }
}

void TPollServer::ReadClient(TSessionId Id, TClient& C) {
  char Buf[kReadChunk];
  for (int I = 0; I < kReadsPerTurn; ++I) {
    const ssize_t N = recv(C.Fd, Buf, sizeof Buf, 0);
    if (N > 0) {
      FCore.Receive(Id, std::string_view(Buf, static_cast<std::size_t>(N)), Now());
      if (static_cast<std::size_t>(N) < sizeof Buf) return;
      continue;
    }
    if (N < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) return;
    DropClient(Id);  // closed by the peer, or broken
    return;
  }
}

void TPollServer::WriteClient(TSessionId Id, TClient& C) {
  while (C.OutPos < C.Out.size()) {
    const ssize_t N = send(C.Fd, C.Out.data() + C.OutPos, C.Out.size() - C.OutPos, MSG_NOSIGNAL);
    if (N > 0) {
      C.OutPos += static_cast<std::size_t>(N);
      FCore.CountBytesWritten(static_cast<std::size_t>(N));
      continue;
    }
    if (N < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR)) break;
    DropClient(Id);
    return;
  }
  if (C.OutPos == C.Out.size()) {
    C.Out.clear();
    C.OutPos = 0;
  } else if (C.OutPos > (1u << 20) && C.OutPos > C.Out.size() / 2) {
    C.Out.erase(0, C.OutPos);
    C.OutPos = 0;
  }
  if (C.OutPos == 0 && C.Out.empty() && FCore.WantsClose(Id)) {
    shutdown(C.Fd, SHUT_WR);
    DropClient(Id);
  }
}

void TPollServer::Flush() {
  for (const TSessionId Id : FCore.TakeDirty()) {
    auto It = FClients.find(Id);
    if (It == FClients.end()) continue;
    TClient& C = It->second;
    C.Out += FCore.TakeOutput(Id);
    if (C.Out.size() - C.OutPos > MaxBacklog) {
      FCore.Kill(Id, "You are not reading what the lobby sends");
      C.Out.clear();
      C.OutPos = 0;
      DropClient(Id);
      continue;
    }
    WriteClient(Id, C);
  }
}

void TPollServer::DropClient(TSessionId Id) {
  auto It = FClients.find(Id);
  if (It == FClients.end()) return;
  close(It->second.Fd);
  FClients.erase(It);
  FCore.Closed(Id, Now());
}

void TPollServer::ReadConsole() {
  char Buf[4096];
  const ssize_t N = read(FConsole, Buf, sizeof Buf);
  if (N <= 0) {
    if (N < 0 && (errno == EAGAIN || errno == EINTR)) return;
    FConsole = -1;  // the console went away; the lobby goes on
    return;
  }
  FConsoleBuffer.append(Buf, static_cast<std::size_t>(N));
  std::size_t End;
  while ((End = FConsoleBuffer.find('\n')) != std::string::npos) {
    std::string Line = FConsoleBuffer.substr(0, End);
    FConsoleBuffer.erase(0, End + 1);
    if (!Line.empty() && Line.back() == '\r') Line.pop_back();
    ConsoleCommand(Line);
  }
  if (FConsoleBuffer.size() > 65536) FConsoleBuffer.clear();
}

void TPollServer::ConsoleCommand(const std::string& Line) {
  auto Say = [this](const std::string& T) {
    if (OnConsoleOutput) OnConsoleOutput(T);
  };
  if (Line.rfind("shout ", 0) == 0) {
    FCore.Shout(Line.substr(6));
  } else if (Line == "stats") {
    Say("stats " + FCore.StatsText(Now()));
  } else if (Line == "quit" || Line == "stop") {
    Stop();
  } else if (!Line.empty()) {
    Say("commands: shout <text>, stats, quit");
  }
}
