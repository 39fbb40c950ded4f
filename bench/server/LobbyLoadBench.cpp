// The lobby server under load over loopback, beside a bare fan-out relay of the same lines on
// the same event library and socket code (no protocol, no scrambling, no TLS) as the yardstick.
// The lobby runs twice: with plain connections (--allow-plain's clients) and over TLS, as the
// game connects; the TLS clients check no certificate (they measure, they do not trust).
//
// Each run: N clients, each from a loopback address of its own, in rooms of a given size, each
// sending a data line every 100 ms; every line is counted at every receiver, sequence-checked
// and timed at the measuring receivers. The servers run in processes of their own (this
// program started again), so their resident memory and processor time are the server's alone.
// Printed: p50, p99 and max of the time from send to arrival, lines lost (never arrived: the
// wait after the last send goes on while lines still come, so a late line is not lost), clients
// the server cut off, lines out of order, peak RSS and CPU of the server, and for the lobby the
// relay p99 while 50 users log in at once (real password hashing) against the rest of the run,
// and over TLS how fast the lobby takes hand-shakes: those of the 50, and 1,000 at once.
//
//   bench_server                 the figures (a few minutes)
//   bench_server --big           the same with 5,000 clients in rooms of 10 too
//   bench_server --quick         a short check that runs in seconds (CI): fails on a lost line
//   bench_server --seconds S     sending time of each run (default 20)
//   bench_server --only TEXT     only the runs whose name holds TEXT
//   bench_server --server KIND   only the runs of that server (bare, lobby or tls)
//   bench_server --hash-cost N   the cost the new accounts of the log-in burst hash at
#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <signal.h>
#include <sys/epoll.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <charconv>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <unordered_map>
#include <vector>

#include <asio/io_context.hpp>
#include <asio/post.hpp>
#include <asio/signal_set.hpp>
#include <asio/ssl/context.hpp>
#include <openssl/err.h>
#include <openssl/ssl.h>

#include "foundation/StringEncryptor.h"
#include "lobby/VexilUtils.h"
#include "server/AccountStore.h"
#include "server/EventServer.h"
#include "server/PasswordHash.h"
#include "server/StreamConnection.h"
#include "server/TlsIdentity.h"

namespace {

const char* kKey = "MorqTeln";
constexpr std::int64_t kIntervalNs = 100'000'000;  // one line per client every 100 ms
constexpr int kClientThreads = 4;
constexpr std::size_t kMeasureAll = 500'000;  // deliveries a second up to which every receiver measures
constexpr int kMeasuringReceivers = 20;        // above it, this many spread over the clients

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void Fail(const std::string& What) { throw std::runtime_error(What); }

// --- the two servers, each in a child process ---------------------------------------------------

// The child says on its pipe first its port, then that its loop has stopped.
void TellStopped(int Pipe) {
  const char B = 1;
  [[maybe_unused]] const ssize_t N = write(Pipe, &B, 1);
  close(Pipe);
}

// The bare relay: a client's first line names its room ("R <room>", answered "J"); every
// further line goes to the room's other clients as it is, one shared buffer for all of them.
void RunBareRelay(int PortPipe) {
  asio::io_context Io{1};
  asio::ip::tcp::acceptor Acceptor(Io, asio::ip::tcp::endpoint(asio::ip::make_address_v4("127.0.0.1"), 0));
  Acceptor.listen(1024);
  const int Port = Acceptor.local_endpoint().port();
  if (write(PortPipe, &Port, sizeof Port) != sizeof Port) _exit(3);
  asio::signal_set Signals(Io, SIGTERM, SIGINT);
  Signals.async_wait([&](const asio::error_code&, int) { Io.stop(); });

  struct TPeer {
    TStreamConnection::TPtr C;
    std::string In;
    int Room = -1;
  };
  std::unordered_map<std::uint64_t, TPeer> Peers;
  std::unordered_map<int, std::vector<std::uint64_t>> Rooms;
  std::vector<std::uint64_t> Dirty;
  bool FlushScheduled = false;
  std::uint64_t NextId = 1;
  auto Flush = [&] {
    FlushScheduled = false;
    std::vector<std::uint64_t> D = std::move(Dirty);
    Dirty.clear();
    for (const std::uint64_t Id : D)
      if (auto It = Peers.find(Id); It != Peers.end()) It->second.C->Write();
  };
  auto Queue = [&](std::uint64_t Id, const TSharedBytes& B) {
    auto It = Peers.find(Id);
    if (It == Peers.end()) return;
    if (It->second.C->QueuedLines() == 0) Dirty.push_back(Id);
    It->second.C->Queue(B);
  };
  std::function<void()> Accept = [&] {
    Acceptor.async_accept([&](const asio::error_code& E, asio::ip::tcp::socket S) {
      if (E) return;
      S.set_option(asio::ip::tcp::no_delay(true));
      const std::uint64_t Id = NextId++;
      auto C = std::make_shared<TStreamConnection>(std::move(S));
      Peers[Id].C = C;
      C->OnRead = [&, Id](std::string_view Bytes) {
        TPeer& P = Peers[Id];
        P.In.append(Bytes);
        std::size_t Start = 0, End;
        while ((End = P.In.find('\n', Start)) != std::string::npos) {
          const std::string_view Line = std::string_view(P.In).substr(Start, End + 1 - Start);
          Start = End + 1;
          if (P.Room < 0) {
            P.Room = std::atoi(std::string(Line.substr(2)).c_str());
            Rooms[P.Room].push_back(Id);
            Queue(Id, std::make_shared<const std::string>("J\n"));
            continue;
          }
          const TSharedBytes B = std::make_shared<const std::string>(Line);
          for (const std::uint64_t G : Rooms[P.Room])
            if (G != Id) Queue(G, B);
        }
        P.In.erase(0, Start);
        if (!FlushScheduled && !Dirty.empty()) {
          FlushScheduled = true;
          asio::post(Io, Flush);
        }
        return true;
      };
      C->OnClosed = [&, Id] {
        auto It = Peers.find(Id);
        if (It == Peers.end()) return;
        if (It->second.Room >= 0) std::erase(Rooms[It->second.Room], Id);
        Peers.erase(It);
      };
      C->ResumeReading();
      Accept();
    });
  };
  Accept();
  Io.run();
  TellStopped(PortPipe);
  for (auto& [Id, P] : Peers) P.C->Close();
  Peers.clear();
}

struct TRunShape {
  int Clients = 0;
  int RoomSize = 10;  // 0: everyone in the one room the lobby starts them in
  int BurstLogins = 0;
};

// The lobby with N accounts made beforehand (with the cheapest hash, so that setting up 5,000
// log-ins takes seconds); new accounts hash at the library's cost, as in service.
void RunLobby(int PortPipe, int Accounts, int HashCost, bool Tls) {
  std::string Pattern = (std::filesystem::temp_directory_path() / "brenmoor-loadbench-XXXXXX").string();
  const std::filesystem::path Dir = mkdtemp(Pattern.data());
  int Code = 0;
  {
    TAccountStore Store((Dir / "lobby.db").string());
    const std::string Cheap = HashPassword("pw", 1);
    Store.Begin();
    for (int I = 0; I < Accounts; ++I) {
      TAccount A;
      A.Name = "u" + std::to_string(I);
      A.Hash = Cheap;
      A.Profile = "^^^^^^^^^01/01/2000^01/01/2000^0^^0`0`^^";
      A.Created = A.LastLogin = 40000;
      Store.Create(A);
    }
    Store.Commit();
    TServerConfig Config;
    Config.MaxConnections = 20000;
    Config.MaxPendingConnections = 1000;
    Config.HashCost = HashCost;
    TLobbyServer Core(Config, Store, TEventServer::Now());
    // Why a client was cut off is worth seeing beside the figures; log-ins are not.
    Core.OnLog = [](const std::string& T) {
      if (T.find(" cut off: ") != std::string::npos) std::fprintf(stderr, "lobby: %s\n", T.c_str());
    };
    TEventServer Server(Core);
    std::unique_ptr<asio::ssl::context> Context;
    if (Tls) {
      const TTlsIdentity Identity =
          LoadTlsIdentity((Dir / "lobby.crt").string(), (Dir / "lobby.key").string(), true);
      Context = MakeServerTlsContext(Identity);
      Server.SetTls(Context.get(), false, Identity.Fingerprint);
    }
    Server.Listen("127.0.0.1", 0);
    Server.StopOnSignals();
    const int Port = Server.Port();
    if (write(PortPipe, &Port, sizeof Port) != sizeof Port) Code = 3;
    if (Code == 0) Server.Run();
    TellStopped(PortPipe);
  }
  std::error_code E;
  std::filesystem::remove_all(Dir, E);
  if (Code) _exit(Code);
}

// A server in a process of its own: this program started again, so that the memory it
// counts is the server's alone (a child that was only forked would count the pages it shares
// with the clients' process, such as what earlier runs left behind).
class TChild {
public:
  // The arguments after "--serve"; the child is told its pipe's descriptor last.
  explicit TChild(const std::vector<std::string>& Serve) {
    int Pipe[2];
    if (pipe(Pipe) != 0) Fail("no pipe");
    std::vector<std::string> Args = {"bench_server", "--serve"};
    Args.insert(Args.end(), Serve.begin(), Serve.end());
    Args.push_back(std::to_string(Pipe[1]));
    std::vector<char*> Argv;
    for (std::string& A : Args) Argv.push_back(A.data());
    Argv.push_back(nullptr);
    FPid = fork();
    if (FPid < 0) Fail("cannot fork");
    if (FPid == 0) {
      prctl(PR_SET_PDEATHSIG, SIGKILL);
      close(Pipe[0]);
      execv("/proc/self/exe", Argv.data());
      _exit(127);
    }
    close(Pipe[1]);
    pollfd P{Pipe[0], POLLIN, 0};
    if (poll(&P, 1, 120000) <= 0 || read(Pipe[0], &FPort, sizeof FPort) != sizeof FPort)
      Fail("the server did not start");
    FPipe = Pipe[0];
  }
  ~TChild() {
    if (FPipe >= 0) close(FPipe);
    if (FPid > 0) {
      kill(FPid, SIGKILL);
      waitpid(FPid, nullptr, 0);
    }
  }
  int Port() const { return FPort; }
  // Peak resident memory in MB and processor seconds so far.
  double PeakRssMb() const {
    FILE* F = std::fopen(("/proc/" + std::to_string(FPid) + "/status").c_str(), "r");
    if (!F) return 0;
    char Line[256];
    double Kb = 0;
    while (std::fgets(Line, sizeof Line, F))
      if (std::strncmp(Line, "VmHWM:", 6) == 0) Kb = std::atof(Line + 6);
    std::fclose(F);
    return Kb / 1024;
  }
  double CpuSeconds() const {
    FILE* F = std::fopen(("/proc/" + std::to_string(FPid) + "/stat").c_str(), "r");
    if (!F) return 0;
    char Buf[1024] = {};
    const std::size_t N = std::fread(Buf, 1, sizeof Buf - 1, F);
    std::fclose(F);
    const char* P = std::strrchr(Buf, ')');
    if (!P || N == 0) return 0;
    unsigned long long U = 0, S = 0;
    // After the name: state, then fields 4 to 13, then utime (14) and stime (15).
    std::sscanf(P + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &U, &S);
    return static_cast<double>(U + S) / static_cast<double>(sysconf(_SC_CLK_TCK));
  }
  // SIGTERM, and the milliseconds until the server's loop has stopped (then it exits).
  double Stop() {
    const std::int64_t T = NowNs();
    kill(FPid, SIGTERM);
    pollfd P{FPipe, POLLIN, 0};
    const bool Stopped = poll(&P, 1, 30000) > 0;
    const double Ms = static_cast<double>(NowNs() - T) / 1e6;
    waitpid(FPid, nullptr, 0);
    FPid = -1;
    return Stopped ? Ms : -1;
  }

private:
  pid_t FPid = -1;
  int FPipe = -1;
  int FPort = 0;
};

// --- the clients ----------------------------------------------------------------------------

struct TWire {
  bool Lobby = true;
  bool Tls = false;
  TStringEncryptor Scrambler{kKey};
  std::string SendPrefix, PingPrefix;  // how those lines begin on the wire
  TWire() {
    SendPrefix = Encode("SEND|").substr(0, 5);
    PingPrefix = Encode("PING").substr(0, 4);
  }
  std::string Encode(std::string Line) const {
    Scrambler.EncryptString(Line);
    return EscapeLine(Line) + "\n";
  }
  std::optional<std::string> Decode(std::string_view Wire) const {
    std::optional<std::string> S = UnescapeLine(Wire);
    if (S) Scrambler.DecryptString(*S);
    return S;
  }
  // The payload of a relayed data line ("<sender>;<seq>;<sent ns>"), read without allocating
  // so that the lobby's receivers cost no more than the bare relay's: printable text scrambles
  // to bytes that need no escape, so a line without one is undone byte by byte.
  std::string_view Payload(std::string_view Wire, std::array<char, 256>& Buf) const {
    if (!Lobby) return Wire.substr(std::min<std::size_t>(2, Wire.size()));
    const std::string& Key = Scrambler.Key();
    if (Wire.size() > Buf.size() || Wire.find(kVexilEscape) != std::string_view::npos) return {};
    for (std::size_t I = 0; I < Wire.size(); ++I)
      Buf[I] = static_cast<char>(static_cast<unsigned char>(Wire[I]) -
                                 static_cast<unsigned char>(Key[(I + 1) % Key.size()]));
    const std::string_view Line(Buf.data(), Wire.size());
    const std::size_t At = Line.find("|DATA|");
    return At == std::string_view::npos ? std::string_view() : Line.substr(At + 6);
  }
};

// "<sender>;<seq>;<sent ns>"
bool ReadPayload(std::string_view P, int& From, int& Seq, std::int64_t& Sent) {
  const char* End = P.data() + P.size();
  auto R = std::from_chars(P.data(), End, From);
  if (R.ec != std::errc() || R.ptr == End || *R.ptr != ';') return false;
  R = std::from_chars(R.ptr + 1, End, Seq);
  if (R.ec != std::errc() || R.ptr == End || *R.ptr != ';') return false;
  R = std::from_chars(R.ptr + 1, End, Sent);
  return R.ec == std::errc() && R.ptr == End;
}

struct TClient {
  int Fd = -1;
  SSL* Ssl = nullptr;  // over TLS
  int Index = 0;
  int RoomStart = 0;  // index of the room's first client
  int RoomSize = 0;
  bool Measuring = false;
  std::string In, Out;
  std::vector<std::int32_t> LastSeq;  // per sender of the room, at a measuring receiver
  std::int64_t Received = 0;
  std::int32_t Seq = 0;
  bool Cut = false;  // the server closed it
};

struct TSample {
  std::int64_t SentNs;
  std::int64_t LatencyNs;
};

struct TResult {
  std::vector<TSample> Samples;
  std::int64_t Received = 0, Reordered = 0, Sent = 0, Expected = 0;
  int Cut = 0;  // clients the server closed
};

int ConnectFrom(const std::string& From, int Port) {
  const int Fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (Fd < 0) Fail(std::string("no socket: ") + std::strerror(errno));
  sockaddr_in L{};
  L.sin_family = AF_INET;
  inet_pton(AF_INET, From.c_str(), &L.sin_addr);
  if (bind(Fd, reinterpret_cast<sockaddr*>(&L), sizeof L) != 0) Fail("cannot bind " + From);
  sockaddr_in A{};
  A.sin_family = AF_INET;
  A.sin_port = htons(static_cast<std::uint16_t>(Port));
  inet_pton(AF_INET, "127.0.0.1", &A.sin_addr);
  if (connect(Fd, reinterpret_cast<sockaddr*>(&A), sizeof A) != 0)
    Fail(std::string("cannot connect: ") + std::strerror(errno));
  const int One = 1;
  setsockopt(Fd, IPPROTO_TCP, TCP_NODELAY, &One, sizeof One);
  return Fd;
}

// The clients' TLS: 1.2 or newer, writes that may be partial and retried from a moved buffer.
SSL_CTX* ClientTls() {
  static SSL_CTX* Ctx = [] {
    SSL_CTX* C = SSL_CTX_new(TLS_client_method());
    SSL_CTX_set_min_proto_version(C, TLS1_2_VERSION);
    SSL_CTX_set_verify(C, SSL_VERIFY_NONE, nullptr);
    SSL_CTX_set_mode(C, SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    return C;
  }();
  return Ctx;
}

void Open(const TWire& W, TClient& C, const std::string& From, int Port) {
  C.Fd = ConnectFrom(From, Port);
  if (!W.Tls) return;
  fcntl(C.Fd, F_SETFL, fcntl(C.Fd, F_GETFL) | O_NONBLOCK);
  C.Ssl = SSL_new(ClientTls());
  SSL_set_fd(C.Ssl, C.Fd);
  SSL_set_connect_state(C.Ssl);
}

void CloseClient(TClient& C) {
  if (C.Ssl) SSL_free(C.Ssl);
  C.Ssl = nullptr;
  if (C.Fd >= 0) close(C.Fd);
  C.Fd = -1;
}

// As recv and send without waiting: bytes, 0 when closed, -1 with errno EAGAIN when nothing now.
ssize_t Recv(TClient& C, char* Buf, std::size_t N) {
  if (!C.Ssl) return recv(C.Fd, Buf, N, MSG_DONTWAIT);
  const int R = SSL_read(C.Ssl, Buf, static_cast<int>(N));
  if (R > 0) return R;
  const int E = SSL_get_error(C.Ssl, R);
  if (E == SSL_ERROR_WANT_READ || E == SSL_ERROR_WANT_WRITE) {
    errno = EAGAIN;
    return -1;
  }
  if (E == SSL_ERROR_SSL) {
    char Text[256];
    ERR_error_string_n(ERR_get_error(), Text, sizeof Text);
    std::fprintf(stderr, "client %d: TLS error %s\n", C.Index, Text);
  }
  ERR_clear_error();
  return 0;
}
ssize_t Send(TClient& C, const char* Bytes, std::size_t N) {
  if (!C.Ssl) return send(C.Fd, Bytes, N, MSG_NOSIGNAL | MSG_DONTWAIT);
  const int R = SSL_write(C.Ssl, Bytes, static_cast<int>(N));
  if (R > 0) return R;
  const int E = SSL_get_error(C.Ssl, R);
  if (E == SSL_ERROR_WANT_READ || E == SSL_ERROR_WANT_WRITE) {
    errno = EAGAIN;
    return -1;
  }
  errno = EPIPE;
  return -1;
}

// Drives the hand-shakes of the given clients at once; the nanoseconds until the last is done.
std::int64_t Handshake(const std::vector<TClient*>& Clients, int Ms = 60000) {
  const std::int64_t Start = NowNs(), Deadline = Start + std::int64_t{Ms} * 1'000'000;
  std::vector<TClient*> Left = Clients;
  std::vector<pollfd> Fds;
  while (!Left.empty()) {
    if (NowNs() > Deadline) Fail("the hand-shakes did not finish in time");
    Fds.clear();
    std::vector<TClient*> Still;
    for (TClient* C : Left) {
      const int R = SSL_connect(C->Ssl);
      if (R == 1) continue;
      const int E = SSL_get_error(C->Ssl, R);
      if (E != SSL_ERROR_WANT_READ && E != SSL_ERROR_WANT_WRITE) Fail("a TLS hand-shake failed");
      Still.push_back(C);
      Fds.push_back({C->Fd, static_cast<short>(E == SSL_ERROR_WANT_READ ? POLLIN : POLLOUT), 0});
    }
    Left = std::move(Still);
    if (!Left.empty()) poll(Fds.data(), Fds.size(), 100);
  }
  return NowNs() - Start;
}

std::string AddressOf(int Index, int Block = 1) {
  return "127." + std::to_string(Block) + "." + std::to_string(Index / 250) + "." + std::to_string(Index % 250 + 1);
}

void SendAll(TClient& C, const std::string& Bytes) {
  std::size_t Done = 0;
  while (Done < Bytes.size()) {
    const ssize_t N = Send(C, Bytes.data() + Done, Bytes.size() - Done);
    if (N < 0 && (errno == EAGAIN || errno == EINTR)) {
      pollfd P{C.Fd, POLLOUT, 0};
      poll(&P, 1, 100);
      continue;
    }
    if (N <= 0) Fail("the server stopped taking lines");
    Done += static_cast<std::size_t>(N);
  }
}

// Reads the given clients until Done(client, line) has held once for each (setup: log-ins and
// joins; nothing else is counted then).
template <class Match>
void AwaitEach(const TWire& W, std::vector<TClient*> Clients, Match Done, int Ms = 60000) {
  std::vector<pollfd> Fds;
  for (TClient* C : Clients) Fds.push_back({C->Fd, POLLIN, 0});
  std::vector<bool> Met(Clients.size(), false);
  std::size_t Left = Clients.size();
  const std::int64_t Deadline = NowNs() + std::int64_t{Ms} * 1'000'000;
  char Buf[65536];
  while (Left > 0) {
    if (NowNs() > Deadline) Fail("the server did not answer in time (" + std::to_string(Left) + " waiting)");
    if (poll(Fds.data(), Fds.size(), 100) <= 0) continue;
    for (std::size_t I = 0; I < Fds.size(); ++I) {
      if (!(Fds[I].revents & (POLLIN | POLLHUP | POLLERR))) continue;
      std::string& In = Clients[I]->In;
      // Until nothing is left: TLS may hold more than one read's worth inside.
      ssize_t N;
      while ((N = Recv(*Clients[I], Buf, sizeof Buf)) > 0) In.append(Buf, static_cast<std::size_t>(N));
      if (N == 0) Fail("the server closed a client during setup");
      std::size_t Start = 0, End;
      while ((End = In.find('\n', Start)) != std::string::npos) {
        const std::string_view Wire = std::string_view(In).substr(Start, End - Start);
        Start = End + 1;
        std::optional<std::string> Line;
        if (W.Lobby)
          Line = W.Decode(Wire);
        else
          Line = std::string(Wire);
        if (!Line) continue;
        if (W.Lobby && Line->rfind("LOGIN|FAIL", 0) == 0) Fail("a log-in failed: " + *Line);
        if (W.Lobby && Line->rfind("PING", 0) == 0) SendAll(*Clients[I], W.Encode("PING|"));
        if (!Met[I] && Done(*Clients[I], *Line)) {
          Met[I] = true;
          --Left;
        }
      }
      In.erase(0, Start);
    }
  }
}

// Reads what the first Count clients have been sent, answering pings and dropping the rest;
// true when anything came.
bool AnswerPings(const TWire& W, std::vector<TClient>& Clients, std::size_t Count) {
  char Buf[65536];
  bool Any = false;
  for (std::size_t I = 0; I < Count && I < Clients.size(); ++I) {
    TClient& C = Clients[I];
    if (C.Fd < 0) continue;
    ssize_t N;
    while ((N = Recv(C, Buf, sizeof Buf)) > 0) {
      Any = true;
      C.In.append(Buf, static_cast<std::size_t>(N));
    }
    std::size_t Start = 0, End;
    while ((End = C.In.find('\n', Start)) != std::string::npos) {
      if (W.Lobby && std::string_view(C.In).substr(Start).rfind(W.PingPrefix, 0) == 0)
        SendAll(C, W.Encode("PING|"));
      Start = End + 1;
    }
    C.In.erase(0, Start);
  }
  return Any;
}

// Reads what is left from setup until the line has been quiet for a moment, answering pings.
void Drain(const TWire& W, std::vector<TClient>& Clients) {
  std::int64_t QuietSince = NowNs();
  while (NowNs() - QuietSince < 300'000'000) {
    if (AnswerPings(W, Clients, Clients.size())) QuietSince = NowNs();
    usleep(20000);
  }
  for (TClient& C : Clients) C.In.clear();
}

void Setup(const TWire& W, std::vector<TClient>& Clients, int Port, int RoomSize) {
  constexpr int kWave = 50;  // within the lobby's allowance of password checks at once
  const int N = static_cast<int>(Clients.size());
  for (int First = 0; First < N; First += kWave) {
    // Those of the waves before answer the lobby's pings while the others log in: a setup
    // longer than the ping's deadline must not get them cut off.
    if (W.Lobby) AnswerPings(W, Clients, static_cast<std::size_t>(First));
    std::vector<TClient*> Wave;
    for (int I = First; I < std::min(N, First + kWave); ++I) {
      TClient& C = Clients[I];
      Open(W, C, AddressOf(I), Port);
      Wave.push_back(&C);
    }
    if (W.Tls) Handshake(Wave);
    for (TClient* C : Wave) {
      if (W.Lobby)
        SendAll(*C, W.Encode("LOGIN|u" + std::to_string(C->Index) + "|Brenmoor|pw"));
      else
        SendAll(*C, "R " + std::to_string(C->RoomStart) + "\n");
    }
    if (!W.Lobby) {
      AwaitEach(W, Wave, [](TClient&, const std::string& L) { return L == "J"; });
      continue;
    }
    AwaitEach(W, Wave, [](TClient&, const std::string& L) { return L.rfind("JOINSUBJECT|Lobby Chat", 0) == 0; });
    if (RoomSize == 0) continue;
    // The room's first client makes it, then the others join; the wave leaves the lobby's chat.
    std::vector<TClient*> Hosts, Guests;
    for (TClient* C : Wave) (C->Index == C->RoomStart ? Hosts : Guests).push_back(C);
    auto Joined = [](TClient& C, const std::string& L) {
      return L.rfind("JOINSUBJECT|Room " + std::to_string(C.RoomStart) + "|", 0) == 0;
    };
    for (TClient* C : Hosts) SendAll(*C, W.Encode("CREATESUBJECT|Room " + std::to_string(C->RoomStart) + "|0|"));
    AwaitEach(W, Hosts, Joined);
    for (TClient* C : Guests) SendAll(*C, W.Encode("JOINSUBJECT|Room " + std::to_string(C->RoomStart)));
    AwaitEach(W, Guests, Joined);
  }
  Drain(W, Clients);
}

// One thread's share of the clients: sends on time, reads, counts, checks and times.
class TClientThread {
public:
  TClientThread(const TWire& W, std::vector<TClient*> Clients, std::int64_t Start, std::int64_t StopSending,
                std::atomic<std::int64_t>& Received, std::atomic<std::int64_t>& Expected,
                std::atomic<int>& DoneSending, std::atomic<bool>& Finished, int Total)
      : FWire(W), FClients(std::move(Clients)), FStart(Start), FStopSending(StopSending),
        FReceived(Received), FExpected(Expected), FDoneSending(DoneSending), FFinished(Finished),
        FTotal(Total) {}

  void Run(TResult& R) {
    const int Ep = epoll_create1(EPOLL_CLOEXEC);
    for (std::size_t I = 0; I < FClients.size(); ++I) {
      fcntl(FClients[I]->Fd, F_SETFL, fcntl(FClients[I]->Fd, F_GETFL) | O_NONBLOCK);
      epoll_event E{};
      E.events = EPOLLIN;
      E.data.u64 = I;
      epoll_ctl(Ep, EPOLL_CTL_ADD, FClients[I]->Fd, &E);
    }
    std::size_t Cursor = 0;
    std::int64_t Round = 0;
    epoll_event Events[256];
    char Buf[65536];
    while (!FFinished.load(std::memory_order_relaxed)) {
      // Sends that are due: client i of the whole set sends at Start + round * 100 ms + its phase.
      std::int64_t Now = NowNs();
      std::int64_t NextDue = FStopSending;
      while (Now < FStopSending && !FClients.empty()) {
        TClient& C = *FClients[Cursor];
        if (C.Cut) {
          if (++Cursor == FClients.size()) {
            Cursor = 0;
            ++Round;
          }
          continue;
        }
        const std::int64_t Due = FStart + Round * kIntervalNs + kIntervalNs * C.Index / FTotal;
        if (Due > Now) {
          NextDue = Due;
          break;
        }
        SendLine(C, Now);
        if (++Cursor == FClients.size()) {
          Cursor = 0;
          ++Round;
        }
      }
      if (Now >= FStopSending && !FSaidDone) {
        FSaidDone = true;
        FDoneSending.fetch_add(1);
      }
      for (TClient* C : FPending) Flush(*C);
      std::erase_if(FPending, [](TClient* C) { return C->Out.empty(); });
      // Never a busy wait: a send may leave up to a millisecond late (its time is taken then).
      const int Wait = static_cast<int>(std::clamp<std::int64_t>((NextDue - Now + 999'999) / 1'000'000, 1, 5));
      const int N = epoll_wait(Ep, Events, 256, Wait);
      for (int K = 0; K < N; ++K) {
        TClient& C = *FClients[Events[K].data.u64];
        while (true) {
          const ssize_t Got = Recv(C, Buf, sizeof Buf);
          if (Got == 0 && !C.Cut) {
            // Closed by the server: its lines are lost; it is waited on no more (an end of
            // file stays readable).
            C.Cut = true;
            ++R.Cut;
            epoll_ctl(Ep, EPOLL_CTL_DEL, C.Fd, nullptr);
          }
          if (Got <= 0) break;
          C.In.append(Buf, static_cast<std::size_t>(Got));
          Lines(C, R);
          // A short read empties the socket; TLS is read until it says so itself.
          if (!C.Ssl && static_cast<std::size_t>(Got) < sizeof Buf) break;
        }
      }
    }
    close(Ep);
  }

private:
  void SendLine(TClient& C, std::int64_t Now) {
    const std::string Payload = std::to_string(C.Index) + ";" + std::to_string(C.Seq++) + ";" + std::to_string(Now);
    C.Out += FWire.Lobby ? FWire.Encode("SEND|DATA|" + Payload) : "D " + Payload + "\n";
    FExpected.fetch_add(C.RoomSize - 1, std::memory_order_relaxed);
    if (Flush(C)) FPending.push_back(&C);
  }
  // True when bytes are left for later.
  bool Flush(TClient& C) {
    while (!C.Out.empty()) {
      const ssize_t N = Send(C, C.Out.data(), C.Out.size());
      if (N <= 0) return true;
      C.Out.erase(0, static_cast<std::size_t>(N));
    }
    return false;
  }
  void Lines(TClient& C, TResult& R) {
    std::size_t Start = 0, End;
    std::int64_t Count = 0;
    while ((End = C.In.find('\n', Start)) != std::string::npos) {
      const std::string_view Wire = std::string_view(C.In).substr(Start, End - Start);
      Start = End + 1;
      if (FWire.Lobby && Wire.rfind(FWire.PingPrefix, 0) == 0) {
        C.Out += FWire.Encode("PING|");
        if (Flush(C)) FPending.push_back(&C);
        continue;
      }
      if (Wire.rfind(FWire.Lobby ? std::string_view(FWire.SendPrefix) : std::string_view("D "), 0) != 0) continue;
      ++Count;
      if (!C.Measuring) continue;
      int From = 0, Seq = 0;
      std::int64_t Sent = 0;
      if (!ReadPayload(FWire.Payload(Wire, FDecoded), From, Seq, Sent)) {
        ++R.Reordered;  // unreadable counts as out of order
        continue;
      }
      const std::int64_t Now = NowNs();
      R.Samples.push_back({Sent, Now - Sent});
      std::int32_t& Last = C.LastSeq[static_cast<std::size_t>(From - C.RoomStart)];
      if (Seq <= Last) ++R.Reordered;
      Last = std::max(Last, Seq);
    }
    C.In.erase(0, Start);
    if (Count) {
      C.Received += Count;
      R.Received += Count;
      FReceived.fetch_add(Count, std::memory_order_relaxed);
    }
  }

  const TWire& FWire;
  std::array<char, 256> FDecoded;
  std::vector<TClient*> FClients;
  std::vector<TClient*> FPending;
  std::int64_t FStart, FStopSending;
  std::atomic<std::int64_t>& FReceived;
  std::atomic<std::int64_t>& FExpected;
  std::atomic<int>& FDoneSending;
  bool FSaidDone = false;
  std::atomic<bool>& FFinished;
  int FTotal;
};

// 50 users (of their own addresses) log in at once, making new accounts; tells when the last
// of them got the answer.
struct TBurst {
  std::int64_t Start = 0, End = 0;
  std::int64_t HandshakeNs = 0;  // over TLS: until the last hand-shake was done
  int Succeeded = 0;
};

TBurst LogInAtOnce(const TWire& W, int Port, int Users) {
  TBurst B;
  std::vector<TClient> Clients(static_cast<std::size_t>(Users));
  std::vector<TClient*> All;
  B.Start = NowNs();
  for (int I = 0; I < Users; ++I) {
    Open(W, Clients[I], AddressOf(I, 2), Port);
    All.push_back(&Clients[I]);
  }
  if (W.Tls) B.HandshakeNs = Handshake(All);
  for (int I = 0; I < Users; ++I) {
    const std::string Name = "burst" + std::to_string(I);
    SendAll(Clients[I], W.Encode("LOGINNEW|" + Name + "|Brenmoor|" + Name +
                                    "^secret-" + Name + "^^^^^^^^01/01/2000^01/01/2000^0^^0`0`^^"));
  }
  AwaitEach(W, All, [&](TClient&, const std::string& L) {
    if (L.rfind("LOGIN|SUCCESS|", 0) != 0) return false;
    ++B.Succeeded;
    return true;
  });
  B.End = NowNs();
  for (TClient& C : Clients) CloseClient(C);
  return B;
}

struct TFigures {
  double P50 = 0, P99 = 0, Max = 0;
  std::int64_t Lost = 0, Reordered = 0, Samples = 0;
  int Cut = 0;
  double RssMb = 0, Cpu = 0, StopMs = 0;
  double QuietP99 = -1, BurstP99 = -1, BurstSeconds = 0, BurstHandshakeSeconds = 0;
};

double Percentile(std::vector<std::int64_t>& V, double P) {
  if (V.empty()) return 0;
  const std::size_t K = std::min(V.size() - 1, static_cast<std::size_t>(P * static_cast<double>(V.size() - 1)));
  std::nth_element(V.begin(), V.begin() + static_cast<std::ptrdiff_t>(K), V.end());
  return static_cast<double>(V[K]) / 1e6;
}

TFigures Measure(bool Lobby, bool Tls, const TRunShape& Shape, double Seconds, int HashCost) {
  TChild Server(Lobby ? std::vector<std::string>{Tls ? "tls" : "lobby", std::to_string(Shape.Clients),
                                                 std::to_string(HashCost)}
                      : std::vector<std::string>{"bare"});
  TWire W;
  W.Lobby = Lobby;
  W.Tls = Tls;
  const int Size = Shape.RoomSize == 0 ? Shape.Clients : Shape.RoomSize;
  std::vector<TClient> Clients(static_cast<std::size_t>(Shape.Clients));
  const std::size_t Deliveries = static_cast<std::size_t>(Shape.Clients) * static_cast<std::size_t>(Size - 1) * 10;
  const int Stride = Deliveries <= kMeasureAll ? 1 : std::max(1, Shape.Clients / kMeasuringReceivers);
  for (int I = 0; I < Shape.Clients; ++I) {
    TClient& C = Clients[I];
    C.Index = I;
    C.RoomStart = I / Size * Size;
    C.RoomSize = std::min(Size, Shape.Clients - C.RoomStart);
    C.Measuring = I % Stride == 0;
    if (C.Measuring) C.LastSeq.assign(static_cast<std::size_t>(C.RoomSize), -1);
  }
  Setup(W, Clients, Server.Port(), Shape.RoomSize);

  std::atomic<std::int64_t> Received{0}, ExpectedCount{0};
  std::atomic<int> DoneSending{0};
  std::atomic<bool> Finished{false};
  const std::int64_t Start = NowNs() + 50'000'000;
  const std::int64_t StopSending = Start + static_cast<std::int64_t>(Seconds * 1e9);
  const double Cpu0 = Server.CpuSeconds();
  std::vector<TResult> Results(kClientThreads);
  std::vector<std::thread> Threads;
  std::vector<std::unique_ptr<TClientThread>> Workers;
  for (int T = 0; T < kClientThreads; ++T) {
    std::vector<TClient*> Mine;
    for (int I = T; I < Shape.Clients; I += kClientThreads) Mine.push_back(&Clients[I]);
    Workers.push_back(std::make_unique<TClientThread>(W, Mine, Start, StopSending, Received, ExpectedCount,
                                                      DoneSending, Finished, Shape.Clients));
    Threads.emplace_back([&, T] { Workers[T]->Run(Results[T]); });
  }
  TBurst Burst;
  if (Shape.BurstLogins > 0) {
    std::this_thread::sleep_for(std::chrono::nanoseconds(Start - NowNs() + (StopSending - Start) / 3));
    Burst = LogInAtOnce(W, Server.Port(), Shape.BurstLogins);
  }
  std::this_thread::sleep_for(std::chrono::nanoseconds(std::max<std::int64_t>(0, StopSending - NowNs())));
  const double CpuSend = Server.CpuSeconds() - Cpu0;
  const std::int64_t Deadline = NowNs() + 10'000'000'000;
  while (DoneSending.load() < kClientThreads && NowNs() < Deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  // Lines still on their way are late, not lost: the wait goes on while they arrive, and ends
  // when nothing has come for a while (or after two minutes, whatever comes).
  const std::int64_t Expected = ExpectedCount.load();
  const std::int64_t GiveUp = NowNs() + 120'000'000'000;
  std::int64_t Seen = Received.load(), QuietUntil = NowNs() + 5'000'000'000;
  while (Received.load() < Expected && NowNs() < QuietUntil && NowNs() < GiveUp) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (const std::int64_t Now = Received.load(); Now != Seen) {
      Seen = Now;
      QuietUntil = NowNs() + 5'000'000'000;
    }
  }
  Finished = true;
  for (std::thread& T : Threads) T.join();

  TFigures F;
  F.RssMb = Server.PeakRssMb();
  F.Cpu = 100.0 * CpuSend / Seconds;
  F.StopMs = Server.Stop();
  F.Lost = Expected - Received.load();
  std::vector<std::int64_t> All, Quiet, During;
  for (TResult& R : Results) {
    F.Reordered += R.Reordered;
    F.Cut += R.Cut;
    for (const TSample& S : R.Samples) {
      All.push_back(S.LatencyNs);
      if (Shape.BurstLogins > 0) {
        // The others' lines outside the log-ins (a second after the start and after they end).
        if ((S.SentNs >= Start + 1'000'000'000 && S.SentNs < Burst.Start) ||
            S.SentNs > Burst.End + 1'000'000'000)
          Quiet.push_back(S.LatencyNs);
        if (S.SentNs >= Burst.Start && S.SentNs <= Burst.End) During.push_back(S.LatencyNs);
      }
    }
  }
  for (TClient& C : Clients) CloseClient(C);
  F.Samples = static_cast<std::int64_t>(All.size());
  F.P50 = Percentile(All, 0.50);
  F.P99 = Percentile(All, 0.99);
  F.Max = All.empty() ? 0 : static_cast<double>(*std::max_element(All.begin(), All.end())) / 1e6;
  if (Shape.BurstLogins > 0) {
    F.QuietP99 = Percentile(Quiet, 0.99);
    F.BurstP99 = Percentile(During, 0.99);
    F.BurstSeconds = static_cast<double>(Burst.End - Burst.Start) / 1e9;
    F.BurstHandshakeSeconds = static_cast<double>(Burst.HandshakeNs) / 1e9;
    if (Burst.Succeeded != Shape.BurstLogins) F.Lost += 1'000'000'000;  // shows as a failure
  }
  return F;
}

// N connections at once to a lobby over TLS, each from an address of its own: the seconds from
// the first connect to the last hand-shake done, and the server's processor seconds meanwhile.
struct THandshakes {
  double Seconds = 0, Cpu = 0;
};
THandshakes HandshakesAtOnce(int N) {
  TChild Server({"tls", "0", "1"});
  TWire W;
  W.Tls = true;
  std::vector<TClient> Clients(static_cast<std::size_t>(N));
  std::vector<TClient*> All;
  const double Cpu0 = Server.CpuSeconds();
  const std::int64_t Start = NowNs();
  for (int I = 0; I < N; ++I) {
    Open(W, Clients[I], AddressOf(I, 3), Server.Port());
    All.push_back(&Clients[I]);
  }
  Handshake(All);
  THandshakes H;
  H.Seconds = static_cast<double>(NowNs() - Start) / 1e9;
  // The server may still be finishing the last ones' records: give it a moment before asking.
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
  H.Cpu = Server.CpuSeconds() - Cpu0;
  for (TClient& C : Clients) CloseClient(C);
  Server.Stop();
  return H;
}

std::string Name(const TRunShape& S) {
  std::string N = S.RoomSize == 0 ? "one room of " + std::to_string(S.Clients)
                                   : std::to_string(S.Clients) + " in rooms of " + std::to_string(S.RoomSize);
  if (S.BurstLogins) N += " + " + std::to_string(S.BurstLogins) + " log-ins";
  return N;
}

void Raise(rlim_t Want) {
  rlimit L{};
  getrlimit(RLIMIT_NOFILE, &L);
  if (L.rlim_cur >= Want) return;
  L.rlim_cur = std::min(Want, L.rlim_max);
  setrlimit(RLIMIT_NOFILE, &L);
}

}  // namespace

// The server side of a run, in the process TChild starts: --serve bare|lobby|tls [accounts
// hash-cost] pipe.
int Serve(int argc, char** argv) {
  signal(SIGPIPE, SIG_IGN);
  const std::string Kind = argv[2];
  const int Pipe = std::atoi(argv[argc - 1]);
  try {
    if (Kind == "bare")
      RunBareRelay(Pipe);
    else if (argc == 6)
      RunLobby(Pipe, std::atoi(argv[3]), std::atoi(argv[4]), Kind == "tls");
    else
      return 2;
  } catch (const std::exception& E) {
    std::fprintf(stderr, "server: %s\n", E.what());
    return 2;
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc >= 4 && std::string(argv[1]) == "--serve") return Serve(argc, argv);
  bool Quick = false, Big = false;
  std::string Only;  // runs whose name holds this text
  int HashCost = 0;  // of the new accounts: 0, the library's default
  std::string OnlyServer;  // bare, lobby or tls: only that server
  double Seconds = 20;
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "--quick") Quick = true;
    else if (A == "--big") Big = true;
    else if (A == "--seconds" && I + 1 < argc) Seconds = std::atof(argv[++I]);
    else if (A == "--only" && I + 1 < argc) Only = argv[++I];
    else if (A == "--hash-cost" && I + 1 < argc) HashCost = std::atoi(argv[++I]);
    else if (A == "--server" && I + 1 < argc) OnlyServer = argv[++I];
    else {
      std::fprintf(stderr, "usage: bench_server [--quick] [--big] [--seconds S] [--only TEXT] [--server bare|lobby|tls] [--hash-cost N]\n");
      return 2;
    }
  }
  signal(SIGPIPE, SIG_IGN);
  std::vector<TRunShape> Runs;
  if (Quick) {
    Seconds = 0.5;
    Runs = {{40, 10, 0}, {20, 0, 0}, {40, 10, 3}};
  } else {
    Runs = {{200, 10, 0}, {1000, 10, 0}};
    if (Big) Runs.push_back({5000, 10, 0});
    Runs.push_back({200, 0, 0});
    Runs.push_back({1000, 0, 0});
    Runs.push_back({200, 10, 50});
    if (!Only.empty()) std::erase_if(Runs, [&](const TRunShape& R) { return Name(R).find(Only) == std::string::npos; });
  }
  int Most = 0;
  for (const TRunShape& R : Runs) Most = std::max(Most, R.Clients);
  Raise(static_cast<rlim_t>(2 * Most + 1000));

  std::printf("Each client sends a data line every 100 ms for %.1f s; latency from send to arrival.\n", Seconds);
  std::printf("bare: the plain relay; lobby: plain connections; tls: the lobby over TLS, as the game connects.\n");
  std::printf("%-32s %-6s %8s %8s %9s %9s %5s %6s %8s %7s %8s\n", "run", "server", "p50 ms", "p99 ms", "max ms",
              "lost", "cut", "order", "RSS MB", "CPU %", "stop ms");
  bool Sound = true;
  for (const TRunShape& R : Runs) {
    for (const int Kind : {0, 1, 2}) {
      const bool Lobby = Kind > 0, Tls = Kind == 2;
      const char* Server = Kind == 0 ? "bare" : Kind == 1 ? "lobby" : "tls";
      if (!Lobby && R.BurstLogins) continue;
      if (!OnlyServer.empty() && OnlyServer != Server) continue;
      TFigures F;
      try {
        F = Measure(Lobby, Tls, R, Seconds, Quick ? 1 : HashCost);
      } catch (const std::exception& E) {
        std::printf("%-32s %-6s failed: %s\n", Name(R).c_str(), Server, E.what());
        Sound = false;
        continue;
      }
      std::printf("%-32s %-6s %8.2f %8.2f %9.2f %9lld %5d %6lld %8.1f %7.1f %8.1f\n", Name(R).c_str(), Server, F.P50,
                  F.P99, F.Max, static_cast<long long>(F.Lost), F.Cut, static_cast<long long>(F.Reordered), F.RssMb, F.Cpu,
                  F.StopMs);
      if (R.BurstLogins)
        std::printf("%-32s %-6s relay p99 %.2f ms outside the log-ins, %.2f ms during them (%.2f s)\n", "", "",
                    F.QuietP99, F.BurstP99, F.BurstSeconds);
      if (R.BurstLogins && Tls)
        std::printf("%-32s %-6s the %d log-ins' TLS hand-shakes in %.1f ms: %.0f a second\n", "", "", R.BurstLogins,
                    F.BurstHandshakeSeconds * 1e3,
                    F.BurstHandshakeSeconds > 0 ? R.BurstLogins / F.BurstHandshakeSeconds : 0.0);
      Sound = Sound && F.Lost == 0 && F.Reordered == 0;
      std::fflush(stdout);
    }
  }
  if (Only.empty() || std::string("hand-shakes").find(Only) != std::string::npos) {
    const int N = Quick ? 50 : 1000;
    try {
      const THandshakes H = HandshakesAtOnce(N);
      std::printf("TLS hand-shakes, %d at once: %.2f s, %.0f a second (server CPU %.2f s, %.0f a CPU second)\n", N,
                  H.Seconds, N / H.Seconds, H.Cpu, H.Cpu > 0 ? N / H.Cpu : 0.0);
    } catch (const std::exception& E) {
      std::printf("TLS hand-shakes failed: %s\n", E.what());
      Sound = false;
    }
  }
  if (!Sound) std::printf("FAILED: a line was lost or out of order, or a run failed\n");
  return Sound ? 0 : 1;
}
