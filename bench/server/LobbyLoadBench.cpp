// Load on the lobby server over loopback: 200 connections in 20 chat rooms of 10, each
// connection sending chat lines that the server relays to the 9 others of its room. Reports the
// relayed lines per second and the 99th percentile of the time from send to arrival.
#include <benchmark/benchmark.h>
#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "server/AccountStore.h"
#include "server/LobbyServer.h"
#include "server/PollServer.h"

namespace {

constexpr int kClients = 200;
constexpr int kRooms = 20;
constexpr int kPerRoom = kClients / kRooms;
constexpr int kLinesPerRound = 4;  // each connection's chat lines per round
constexpr int kDeadlineMs = 20000;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

struct TLoadClient {
  int Fd = -1;
  std::string In;
};

// The server in a thread of its own, and 200 plain sockets driven from this one.
class TLoad {
public:
  TLoad() {
    std::string Pattern = (std::filesystem::temp_directory_path() / "brenmoor-load-XXXXXX").string();
    FDir = mkdtemp(Pattern.data());
    FStore = std::make_unique<TAccountStore>((FDir / "lobby.db").string());
    TServerConfig Config;
    Config.HashCost = 1;
    Config.MaxConnectionsPerAddress = 0;
    Config.ChatBurst = 1e12;
    Config.ChatPerSecond = 1e12;
    Config.RoomsPerWindow = 1000;
    Config.LoginFailures = 1000000;
    FCore = std::make_unique<TLobbyServer>(Config, *FStore, TPollServer::Now());
    FServer = std::make_unique<TPollServer>(*FCore);
    FServer->Listen("127.0.0.1", 0);
    FThread = std::thread([this] { FServer->Run(); });

    FClients.resize(kClients);
    for (int I = 0; I < kClients; ++I) {
      TLoadClient& C = FClients[I];
      C.Fd = socket(AF_INET, SOCK_STREAM, 0);
      sockaddr_in A{};
      A.sin_family = AF_INET;
      A.sin_port = htons(static_cast<std::uint16_t>(FServer->Port()));
      inet_pton(AF_INET, "127.0.0.1", &A.sin_addr);
      if (connect(C.Fd, reinterpret_cast<sockaddr*>(&A), sizeof A) != 0)
        throw std::runtime_error("cannot connect to the lobby");
      const int One = 1;
      setsockopt(C.Fd, IPPROTO_TCP, TCP_NODELAY, &One, sizeof One);
      const std::string Name = "u" + std::to_string(I);
      Send(C, "LOGINNEW|" + Name + "|Brenmoor|" + Name + "^pw^^^^^^^^01/01/2000^01/01/2000^0^^0`0`^^");
    }
    WaitFor([](const std::string& L) { return L.rfind("JOINSUBJECT|Lobby Chat", 0) == 0; }, kClients);
    for (int R = 0; R < kRooms; ++R) Send(FClients[R * kPerRoom], "CREATESUBJECT|Room " + std::to_string(R) + "|0|");
    WaitFor([](const std::string& L) { return L.rfind("JOINSUBJECT|Room ", 0) == 0; }, kRooms);
    for (int I = 0; I < kClients; ++I)
      if (I % kPerRoom != 0) Send(FClients[I], "JOINSUBJECT|Room " + std::to_string(I / kPerRoom));
    WaitFor([](const std::string& L) { return L.rfind("JOINSUBJECT|Room ", 0) == 0; },
            kClients - kRooms);
  }

  ~TLoad() {
    for (TLoadClient& C : FClients) close(C.Fd);
    FServer->Stop();
    FThread.join();
    FServer.reset();
    FCore.reset();
    FStore.reset();
    std::error_code E;
    std::filesystem::remove_all(FDir, E);
  }

  // One round: every connection sends its lines; waits until every relayed copy arrived and
  // notes each copy's time from send to arrival.
  void Round(std::vector<double>& LatenciesMs) {
    for (TLoadClient& C : FClients)
      for (int K = 0; K < kLinesPerRound; ++K) Send(C, "SEND|CHAT|" + std::to_string(NowNs()));
    const int Expected = kClients * kLinesPerRound * (kPerRoom - 1);
    WaitFor(
        [&](const std::string& L) {
          if (L.rfind("SEND|", 0) != 0) return false;
          const std::size_t At = L.rfind('|');
          LatenciesMs.push_back(static_cast<double>(NowNs() - std::stoll(L.substr(At + 1))) / 1e6);
          return true;
        },
        Expected);
  }

  static constexpr int RelayedPerRound = kClients * kLinesPerRound * (kPerRoom - 1);

private:
  void Send(TLoadClient& C, const std::string& Line) {
    const std::string Wire = FCore->EncodeLine(Line);
    std::size_t Done = 0;
    while (Done < Wire.size()) {
      const ssize_t N = send(C.Fd, Wire.data() + Done, Wire.size() - Done, MSG_NOSIGNAL);
      if (N <= 0) throw std::runtime_error("the lobby stopped taking lines");
      Done += static_cast<std::size_t>(N);
    }
  }

  // Reads every connection until Count lines have matched.
  template <class Match>
  void WaitFor(Match M, int Count) {
    std::vector<pollfd> Fds;
    for (TLoadClient& C : FClients) Fds.push_back({C.Fd, POLLIN, 0});
    const std::int64_t Deadline = NowNs() + std::int64_t{kDeadlineMs} * 1000000;
    int Seen = 0;
    char Buf[65536];
    while (Seen < Count) {
      if (NowNs() > Deadline) throw std::runtime_error("the lobby did not answer in time");
      if (poll(Fds.data(), Fds.size(), 100) <= 0) continue;
      for (std::size_t I = 0; I < Fds.size(); ++I) {
        if (!(Fds[I].revents & POLLIN)) continue;
        const ssize_t N = recv(Fds[I].fd, Buf, sizeof Buf, MSG_DONTWAIT);
        if (N <= 0) continue;
        std::string& In = FClients[I].In;
        In.append(Buf, static_cast<std::size_t>(N));
        std::size_t Start = 0, End;
        while ((End = In.find('\n', Start)) != std::string::npos) {
          const auto Line = FCore->DecodeLine(std::string_view(In).substr(Start, End - Start));
          Start = End + 1;
          if (Line && M(*Line)) ++Seen;
        }
        In.erase(0, Start);
      }
    }
  }

  std::filesystem::path FDir;
  std::unique_ptr<TAccountStore> FStore;
  std::unique_ptr<TLobbyServer> FCore;
  std::unique_ptr<TPollServer> FServer;
  std::thread FThread;
  std::vector<TLoadClient> FClients;
};

void BM_RelayChatIn20RoomsOf10(benchmark::State& State) {
  TLoad Load;
  std::vector<double> Latencies;
  std::int64_t Relayed = 0;
  for (auto _ : State) {
    Load.Round(Latencies);
    Relayed += TLoad::RelayedPerRound;
  }
  std::sort(Latencies.begin(), Latencies.end());
  const double P99 = Latencies.empty() ? 0 : Latencies[(Latencies.size() - 1) * 99 / 100];
  State.counters["relayed_lines_per_s"] =
      benchmark::Counter(static_cast<double>(Relayed), benchmark::Counter::kIsRate);
  State.counters["p99_relay_ms"] = P99;
}
BENCHMARK(BM_RelayChatIn20RoomsOf10)->UseRealTime()->Unit(benchmark::kMillisecond);

}  // namespace
