#include "server/EventServer.h"

#include <asio/post.hpp>

#include <chrono>
#include <csignal>
#include <vector>

TEventServer::TEventServer(TLobbyServer& Core, int HashThreads) : FCore(Core) {
  FPool = std::make_unique<TWorkerPool>(HashThreads, [this](TWorkerPool::TDone Done) {
    asio::post(FIo, [this, Done = std::move(Done)] {
      Done();
      ScheduleFlush();
    });
  });
  FCore.OnSlowWork = [this](TLobbyServer::TSlowJob Job) { FPool->Submit(std::move(Job)); };
}

TEventServer::~TEventServer() {
  FPool.reset();
  FCore.OnSlowWork = nullptr;
  for (auto& [Id, C] : FClients) C.Connection->Close();
  FClients.clear();
  if (FConsole) FConsole->release();  // the descriptor is the caller's
  asio::error_code Ignored;
  FAcceptor.close(Ignored);
  // The cancelled waits let go of their connections.
  FIo.restart();
  FIo.poll();
}

TMillis TEventServer::Now() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

void TEventServer::Listen(const std::string& Address, int Port) {
  asio::error_code E;
  const asio::ip::address_v4 A = asio::ip::make_address_v4(Address, E);
  if (E) throw EEventServer("Not an IPv4 address: " + Address);
  const asio::ip::tcp::endpoint End(A, static_cast<unsigned short>(Port));
  FAcceptor.open(End.protocol(), E);
  if (!E) FAcceptor.set_option(asio::socket_base::reuse_address(true), E);
  if (!E) FAcceptor.bind(End, E);
  if (E)
    throw EEventServer("Cannot listen on " + Address + ":" + std::to_string(Port) + ": " + E.message());
  FAcceptor.listen(1024, E);
  if (E) throw EEventServer("Cannot listen: " + E.message());
  FPort = FAcceptor.local_endpoint().port();
}

void TEventServer::SetTls(asio::ssl::context* Context, bool AllowPlain, const std::string& Fingerprint) {
  FTls = Context;
  FAllowPlain = AllowPlain;
  FFingerprint = Fingerprint;
}

void TEventServer::SetConsole(int Fd) {
  try {
    FConsole.emplace(FIo, Fd);
  } catch (const std::exception&) {
    FConsole.reset();  // not a descriptor the loop can wait on (a file, /dev/null): no console
  }
}

void TEventServer::StopOnSignals() {
  FSignals.emplace(FIo, SIGINT, SIGTERM);
  FSignals->async_wait([this](const asio::error_code& E, int) {
    if (!E) Stop();
  });
}

void TEventServer::Stop() { FIo.stop(); }

void TEventServer::Run() {
  Accept();
  Tick();
  if (FConsole) ReadConsole();
  FIo.run();
}

void TEventServer::Accept() {
  FAcceptor.async_accept([this](const asio::error_code& E, asio::ip::tcp::socket Socket) {
    if (E == asio::error::operation_aborted) return;
    if (E) {
      // Out of descriptors or memory: try again shortly rather than spin.
      FAcceptRetry.expires_after(std::chrono::milliseconds(100));
      FAcceptRetry.async_wait([this](const asio::error_code& W) {
        if (!W) Accept();
      });
      return;
    }
    Added(std::move(Socket));
    Accept();
  });
}

void TEventServer::Added(asio::ip::tcp::socket Socket) {
  asio::error_code E;
  Socket.set_option(asio::ip::tcp::no_delay(true), E);
  const asio::ip::tcp::endpoint Peer = Socket.remote_endpoint(E);
  if (E) return;  // gone already
  const TSessionId Id = FCore.Open(Peer.address().to_string(), Now());
  auto C = std::make_shared<TStreamConnection>(std::move(Socket), FTls, FAllowPlain);
  if (FTls && !FAllowPlain) C->PlainRefusal = FCore.EncodeLine(std::string("LOGIN|FAIL|") + PlainRefusal);
  C->OnRead = [this, Id](std::string_view Bytes) {
    FCore.Receive(Id, Bytes, Now());
    ScheduleFlush();
    return FCore.WantsInput(Id);
  };
  C->OnWritten = [this](std::size_t N) { FCore.CountBytesWritten(N); };
  C->OnClosed = [this, Id] { DropClient(Id); };
  FClients[Id].Connection = C;
  C->Start();
  ScheduleFlush();
}

// Lines are sent once the handlers that are ready have run, so a guest gets every line of
// the turn in one write.
void TEventServer::ScheduleFlush() {
  if (FFlushScheduled) return;
  FFlushScheduled = true;
  asio::post(FIo, [this] { Flush(); });
}

void TEventServer::Flush() {
  FFlushScheduled = false;
  const TServerConfig& Config = FCore.Config();
  std::vector<TWireLine> Lines;
  for (const TSessionId Id : FCore.TakeDirty()) {
    auto It = FClients.find(Id);
    if (It == FClients.end()) continue;
    const TStreamConnection::TPtr C = It->second.Connection;
    Lines.clear();
    FCore.TakeLines(Id, Lines);
    for (TWireLine& L : Lines) C->Queue(std::move(L));
    if (C->QueuedBytes() > Config.MaxBacklogBytes || C->QueuedLines() > Config.MaxBacklogLines) {
      FCore.Kill(Id, "You are not reading what the lobby sends");
      C->Close();
      DropClient(Id);
      continue;
    }
    if (FCore.WantsClose(Id)) {
      if (!It->second.Closing) {
        It->second.Closing = true;
        It->second.ClosingSince = Now();
      }
      C->CloseAfterWriting();  // may drop the client
      continue;
    }
    C->Write();
    if (FCore.WantsInput(Id)) C->ResumeReading();
  }
}

void TEventServer::Tick() {
  const TMillis T = Now();
  FCore.Tick(T);
  std::vector<TSessionId> Lingering;
  for (const auto& [Id, C] : FClients)
    if (C.Closing && T - C.ClosingSince >= CloseGraceMs) Lingering.push_back(Id);
  for (const TSessionId Id : Lingering) DropClient(Id);
  Flush();
  FTimer.expires_after(std::chrono::milliseconds(TickMs));
  FTimer.async_wait([this](const asio::error_code& E) {
    if (!E) Tick();
  });
}

void TEventServer::DropClient(TSessionId Id) {
  auto It = FClients.find(Id);
  if (It == FClients.end()) return;
  const TStreamConnection::TPtr C = std::move(It->second.Connection);
  FClients.erase(It);
  C->OnClosed = nullptr;
  C->Close();
  FCore.Closed(Id, Now());
  ScheduleFlush();
}

void TEventServer::ReadConsole() {
  FConsole->async_read_some(asio::buffer(FConsoleRead), [this](const asio::error_code& E, std::size_t N) {
    if (E) return;  // the console went away; the lobby goes on
    FConsoleBuffer.append(FConsoleRead.data(), N);
    std::size_t End;
    while ((End = FConsoleBuffer.find('\n')) != std::string::npos) {
      std::string Line = FConsoleBuffer.substr(0, End);
      FConsoleBuffer.erase(0, End + 1);
      if (!Line.empty() && Line.back() == '\r') Line.pop_back();
      ConsoleCommand(Line);
    }
    if (FConsoleBuffer.size() > 65536) FConsoleBuffer.clear();
    ScheduleFlush();
    ReadConsole();
  });
}

void TEventServer::ConsoleCommand(const std::string& Line) {
  auto Say = [this](const std::string& T) {
    if (OnConsoleOutput) OnConsoleOutput(T);
  };
  if (Line.rfind("shout ", 0) == 0) {
    FCore.Shout(Line.substr(6));
  } else if (Line == "stats") {
    Say("stats " + FCore.StatsText(Now()));
    if (FTls) Say("certificate SHA-256 fingerprint " + FFingerprint + (FAllowPlain ? " (plain clients allowed)" : ""));
  } else if (Line == "quit" || Line == "stop") {
    Stop();
  } else if (!Line.empty()) {
    Say("commands: shout <text>, stats, quit");
  }
}
