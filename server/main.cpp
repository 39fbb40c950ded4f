// brenmoor-lobby: the lobby server of online games.
//   brenmoor-lobby --port 4000 --db lobby.db [--tls-cert FILE --tls-key FILE] [--allow-plain]
// Speaks TLS; without a certificate of its own it makes a self-signed one beside the database.
// Stops cleanly on SIGINT or SIGTERM; reads operator commands from standard input
// ("shout <text>", "stats", "quit").
#include <sys/stat.h>

#include <csignal>
#include <cstdio>
#include <iostream>
#include <optional>
#include <string>

#include "foundation/NumberText.h"
#include "server/AccountStore.h"
#include "server/LobbyServer.h"
#include "server/EventServer.h"
#include "server/TlsIdentity.h"

#include <asio/ssl/context.hpp>

namespace {

const char* kUsage =
    "usage: brenmoor-lobby [--port N] [--db FILE] [--bind ADDRESS] [--key KEY]\n"
    "                      [--latest-version V] [--latest-build N] [--max-connections N]\n"
    "                      [--max-per-address N] [--ping-interval MS] [--hash-cost N]\n"
    "                      [--hash-threads N] [--tls-cert FILE --tls-key FILE]\n"
    "                      [--allow-plain]\n"
    "  --port N             TCP port (default 4000; 0 takes a free one)\n"
    "  --db FILE            the accounts database (default lobby.db)\n"
    "  --bind ADDRESS       IPv4 address to listen on (default 0.0.0.0, all)\n"
    "  --key KEY            the line scrambling key the game uses (default MorqTeln)\n"
    "  --latest-version V   newest game version announced at log-in (default 4)\n"
    "  --latest-build N     newest game build announced at log-in (default 2)\n"
    "  --max-connections N  users logged in at once (default 1000)\n"
    "  --max-per-address N  connections at once from one address, 0 = any (default 16)\n"
    "  --ping-interval MS   time between latency pings (default 15000)\n"
    "  --hash-cost N        password hashing cost, 1..11 (default: the library's)\n"
    "  --hash-threads N     threads that hash passwords, 1..64 (default: a quarter of the\n"
    "                       processors, 1 to 4)\n"
    "  --tls-cert FILE      the certificate (PEM, with its chain) the lobby shows the game;\n"
    "  --tls-key FILE       and its private key. Without them the lobby makes a self-signed\n"
    "                       certificate on its first start and keeps it beside the database\n"
    "                       (lobby.db: lobby.crt and lobby.key, owner-only); players check it\n"
    "                       by the SHA-256 fingerprint printed on start and by \"stats\"\n"
    "  --allow-plain        let in clients without TLS too (games of the old protocol): their\n"
    "                       passwords and lines cross the network as they are, readable by\n"
    "                       anyone on the way, and a captured log-in can be sent again. TLS\n"
    "                       clients stay encrypted. Without it such clients are refused\n";

std::optional<int> IntArg(const std::string& Text) {
  auto V = TryStrToInt(Text);
  if (!V) return std::nullopt;
  return *V;
}

}  // namespace

int main(int argc, char** argv) {
  TServerConfig Config;
  int Port = 4000;
  std::string Db = "lobby.db";
  std::string Bind = "0.0.0.0";
  int HashThreads = TWorkerPool::DefaultThreads();
  std::string CertFile, KeyFile;
  bool AllowPlain = false;
  for (int I = 1; I < argc; ++I) {
    const std::string A = argv[I];
    if (A == "--help" || A == "-h") {
      std::cout << kUsage;
      return 0;
    }
    if (A == "--allow-plain") {
      AllowPlain = true;
      continue;
    }
    if (I + 1 >= argc) {
      std::cerr << "brenmoor-lobby: " << A << " needs a value\n" << kUsage;
      return 2;
    }
    const std::string V = argv[++I];
    std::optional<int> N = IntArg(V);
    auto NeedInt = [&](int Min, int Max) {
      if (!N || *N < Min || *N > Max) {
        std::cerr << "brenmoor-lobby: " << A << " takes a number from " << Min << " to " << Max << "\n";
        std::exit(2);
      }
      return *N;
    };
    if (A == "--port") Port = NeedInt(0, 65535);
    else if (A == "--db") Db = V;
    else if (A == "--bind") Bind = V;
    else if (A == "--key") Config.Key = V;
    else if (A == "--latest-version") Config.LatestVersion = V;
    else if (A == "--latest-build") Config.LatestBuild = NeedInt(0, 1000000);
    else if (A == "--max-connections") Config.MaxConnections = NeedInt(1, 100000);
    else if (A == "--max-per-address") Config.MaxConnectionsPerAddress = NeedInt(0, 100000);
    else if (A == "--ping-interval") Config.PingInterval = NeedInt(100, 3600000);
    else if (A == "--hash-cost") Config.HashCost = NeedInt(1, 11);
    else if (A == "--hash-threads") HashThreads = NeedInt(1, 64);
    else if (A == "--tls-cert") CertFile = V;
    else if (A == "--tls-key") KeyFile = V;
    else {
      std::cerr << "brenmoor-lobby: unknown option " << A << "\n" << kUsage;
      return 2;
    }
  }
  if (Config.Key.empty()) {
    std::cerr << "brenmoor-lobby: the scrambling key may not be empty\n";
    return 2;
  }
  if (CertFile.empty() != KeyFile.empty()) {
    std::cerr << "brenmoor-lobby: --tls-cert and --tls-key go together\n";
    return 2;
  }
  try {
    const bool Own = CertFile.empty();
    const TTlsIdentity Identity = Own ? LoadTlsIdentity(DefaultCertificateFile(Db), DefaultKeyFile(Db), true)
                                      : LoadTlsIdentity(CertFile, KeyFile, false);
    const std::unique_ptr<asio::ssl::context> Tls = MakeServerTlsContext(Identity);
    if (Identity.Made) std::cerr << "lobby: made a self-signed certificate " << Identity.CertificateFile << std::endl;
    struct stat KeyMode {};
    if (::stat(Identity.KeyFile.c_str(), &KeyMode) == 0 && (KeyMode.st_mode & 077) != 0)
      std::cerr << "lobby: warning: others than its owner can read the key " << Identity.KeyFile << std::endl;
    TAccountStore Store(Db);
    TLobbyServer Core(Config, Store, TEventServer::Now());
    Core.OnLog = [](const std::string& T) { std::cerr << "lobby: " << T << std::endl; };
    std::signal(SIGPIPE, SIG_IGN);
    TEventServer Server(Core, HashThreads);
    Server.SetTls(Tls.get(), AllowPlain, Identity.Fingerprint);
    Server.Listen(Bind, Port);
    Server.SetConsole(0);
    Server.OnConsoleOutput = [](const std::string& T) { std::cout << T << std::endl; };
    Server.StopOnSignals();
    std::cout << "brenmoor-lobby listening on " << Bind << ":" << Server.Port() << std::endl;
    std::cout << "certificate SHA-256 fingerprint " << Identity.Fingerprint << std::endl;
    if (AllowPlain) std::cout << "clients without TLS are let in too (--allow-plain)" << std::endl;
    Server.Run();
    std::cerr << "lobby: stopped" << std::endl;
  } catch (const EBrenmoor& E) {
    std::cerr << "brenmoor-lobby: " << E.what() << "\n";
    return 1;
  }
  return 0;
}
