#include "server/StreamConnection.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdint>

#include <asio/post.hpp>
#include <asio/steady_timer.hpp>

#include <openssl/bio.h>
#include <openssl/err.h>
#include <openssl/ssl.h>

namespace {

constexpr int kMaxPieces = IOV_MAX < 1024 ? IOV_MAX : 1024;
// A record holds at most 16 KB: this many make a turn as long as a plain connection's.
constexpr int kTlsReadsPerTurn = 16;

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

// The library reads and writes the socket through these, so that a peer that has gone makes a
// failed write (never a SIGPIPE that would end the server).
int SocketWrite(BIO* B, const char* Bytes, int N) {
  BIO_clear_retry_flags(B);
  const ssize_t Sent = send(static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(B))), Bytes,
                            static_cast<std::size_t>(N), MSG_NOSIGNAL);
  if (Sent < 0 && (errno == EINTR || WouldBlock())) BIO_set_retry_write(B);
  return static_cast<int>(Sent);
}

int SocketRead(BIO* B, char* Bytes, int N) {
  BIO_clear_retry_flags(B);
  const ssize_t Got = recv(static_cast<int>(reinterpret_cast<intptr_t>(BIO_get_data(B))), Bytes,
                           static_cast<std::size_t>(N), 0);
  if (Got < 0 && (errno == EINTR || WouldBlock())) BIO_set_retry_read(B);
  return static_cast<int>(Got);
}

long SocketControl(BIO*, int Command, long, void*) { return Command == BIO_CTRL_FLUSH ? 1 : 0; }

int SocketCreate(BIO* B) {
  BIO_set_init(B, 1);
  return 1;
}

const BIO_METHOD* SocketMethod() {
  static BIO_METHOD* Method = [] {
    BIO_METHOD* M = BIO_meth_new(BIO_get_new_index() | BIO_TYPE_SOURCE_SINK, "lobby socket");
    if (!M) return M;
    BIO_meth_set_write(M, SocketWrite);
    BIO_meth_set_read(M, SocketRead);
    BIO_meth_set_ctrl(M, SocketControl);
    BIO_meth_set_create(M, SocketCreate);
    return M;
  }();
  return Method;
}

}  // namespace

void TStreamConnection::TFreeSsl::operator()(SSL* S) const { SSL_free(S); }

TStreamConnection::TStreamConnection(asio::ip::tcp::socket Socket, asio::ssl::context* Tls, bool AllowPlain)
    : FSocket(std::move(Socket)), FTlsContext(Tls), FAllowPlain(AllowPlain) {
  FSocket.non_blocking(true);
  if (Tls) FLink = lkPending;
}

TStreamConnection::~TStreamConnection() { Close(); }

void TStreamConnection::Start() {
  if (FLink == lkPending)
    PeekFirstByte();
  else
    ResumeReading();
}

// The client speaks first in both protocols: its first byte tells which one it speaks.
void TStreamConnection::PeekFirstByte() {
  FReadScheduled = true;
  FSocket.async_wait(asio::socket_base::wait_read, [Self = shared_from_this()](const asio::error_code& E) {
    Self->FReadScheduled = false;
    if (E || Self->FClosed) return;
    unsigned char First = 0;
    const ssize_t N = recv(Self->FSocket.native_handle(), &First, 1, MSG_PEEK);
    if (N < 0 && (errno == EINTR || WouldBlock())) {
      Self->PeekFirstByte();
      return;
    }
    if (N <= 0) {
      Self->Ended();
      return;
    }
    if (First != TlsHandshakeRecord) {
      if (Self->FAllowPlain)
        Self->Established(false);
      else
        Self->Refuse();
      return;
    }
    Self->FSsl.reset(SSL_new(Self->FTlsContext->native_handle()));
    BIO* Bio = Self->FSsl ? BIO_new(SocketMethod()) : nullptr;
    if (!Bio) {
      ERR_clear_error();
      Self->Ended();
      return;
    }
    BIO_set_data(Bio, reinterpret_cast<void*>(static_cast<intptr_t>(Self->FSocket.native_handle())));
    SSL_set_bio(Self->FSsl.get(), Bio, Bio);
    SSL_set_accept_state(Self->FSsl.get());
    // Records come in whole reads rather than a header and a body; what is read ahead is
    // read before the connection waits again, so none of it waits unseen.
    SSL_set_read_ahead(Self->FSsl.get(), 1);
    SSL_set_mode(Self->FSsl.get(), SSL_MODE_ENABLE_PARTIAL_WRITE | SSL_MODE_ACCEPT_MOVING_WRITE_BUFFER);
    Self->Handshake();
  });
}

void TStreamConnection::Handshake() {
  ERR_clear_error();
  const int R = SSL_do_handshake(FSsl.get());
  if (R == 1) {
    Established(true);
    return;
  }
  AwaitTls(SSL_get_error(FSsl.get(), R), &TStreamConnection::Handshake);
}

void TStreamConnection::AwaitTls(int Error, void (TStreamConnection::*Then)()) {
  if (Error != SSL_ERROR_WANT_READ && Error != SSL_ERROR_WANT_WRITE) {
    ERR_clear_error();
    Ended();  // closed by the peer, broken, or not TLS after all
    return;
  }
  // Reading (and the hand-shake and the close) and writing wait each on their own.
  const bool Writing = Then == &TStreamConnection::Write;
  (Writing ? FWriteWaiting : FReadScheduled) = true;
  FSocket.async_wait(Error == SSL_ERROR_WANT_READ ? asio::socket_base::wait_read : asio::socket_base::wait_write,
                     [Self = shared_from_this(), Writing, Then](const asio::error_code& E) {
                       (Writing ? Self->FWriteWaiting : Self->FReadScheduled) = false;
                       if (E || Self->FClosed) return;
                       ((*Self).*Then)();
                     });
}

void TStreamConnection::Established(bool Tls) {
  FLink = Tls ? lkTls : lkPlain;
  if (!Tls) FSsl.reset();
  const TPtr Self = shared_from_this();
  if (OnEstablished) OnEstablished(Tls);
  if (FClosed) return;
  ResumeReading();
  Write();
}

// A client of the old protocol where only TLS is spoken: what it sent is dropped, it is told
// why in a line of its own protocol, and the connection ends once it has gone.
void TStreamConnection::Refuse() {
  FLink = lkRefused;
  FSsl.reset();
  FOut.clear();
  FOutBytes = FOutOffset = 0;
  std::array<char, 4096> Drop;
  while (recv(FSocket.native_handle(), Drop.data(), Drop.size(), 0) > 0) {
  }
  if (!PlainRefusal.empty()) {
    [[maybe_unused]] const ssize_t N = send(FSocket.native_handle(), PlainRefusal.data(), PlainRefusal.size(), MSG_NOSIGNAL);
  }
  asio::error_code Ignored;
  FSocket.shutdown(asio::socket_base::shutdown_send, Ignored);
  DrainRefused();
}

// Until the client closes (or the lobby's deadline for connections that never log in).
void TStreamConnection::DrainRefused() {
  FReadScheduled = true;
  FSocket.async_wait(asio::socket_base::wait_read, [Self = shared_from_this()](const asio::error_code& E) {
    Self->FReadScheduled = false;
    if (E || Self->FClosed) return;
    std::array<char, 4096> Rest;
    const ssize_t N = recv(Self->FSocket.native_handle(), Rest.data(), Rest.size(), 0);
    if (N == 0 || (N < 0 && errno != EINTR && !WouldBlock())) {
      Self->Ended();
      return;
    }
    Self->DrainRefused();
  });
}

// Reads until the library has nothing more (the socket is empty and no whole record is left),
// or yields to the others after a turn and comes back.
void TStreamConnection::ReadTls() {
  if (FClosed || FCloseAfterWriting || FReadScheduled) return;
  static thread_local std::array<char, 16384> Buffer;
  for (int I = 0; I < kTlsReadsPerTurn; ++I) {
    ERR_clear_error();
    const int N = SSL_read(FSsl.get(), Buffer.data(), static_cast<int>(Buffer.size()));
    if (N <= 0) {
      AwaitTls(SSL_get_error(FSsl.get(), N), &TStreamConnection::ReadTls);
      return;
    }
    const bool More = OnRead(std::string_view(Buffer.data(), static_cast<std::size_t>(N)));
    if (FClosed || FCloseAfterWriting || !More) return;
  }
  FReadScheduled = true;
  asio::post(FSocket.get_executor(), [Self = shared_from_this()] {
    Self->FReadScheduled = false;
    Self->ReadTls();
  });
}

// The queued lines go out in pieces of one record each, so records are full; the library
// takes a piece as far as the socket does and the rest when it can take more.
void TStreamConnection::WriteTls() {
  if (FShuttingDown) return;
  while (true) {
    if (FTlsOutOffset == FTlsOut.size()) {
      FTlsOut.clear();
      FTlsOutOffset = 0;
      if (FOut.empty()) break;
      while (!FOut.empty() && (FTlsOut.empty() || FTlsOut.size() + FOut.front()->size() <= TlsWriteChunk)) {
        FTlsOut += *FOut.front();
        FOutBytes -= FOut.front()->size();
        FOut.pop_front();
      }
    }
    ERR_clear_error();
    const int N = SSL_write(FSsl.get(), FTlsOut.data() + FTlsOutOffset, static_cast<int>(FTlsOut.size() - FTlsOutOffset));
    if (N <= 0) {
      AwaitTls(SSL_get_error(FSsl.get(), N), &TStreamConnection::Write);
      return;
    }
    FTlsOutOffset += static_cast<std::size_t>(N);
    if (OnWritten) OnWritten(static_cast<std::size_t>(N));
    if (FClosed) return;
  }
  // A connection that has sent all it had gives the piece's memory back: most of a lobby's
  // connections wait most of the time.
  std::string().swap(FTlsOut);
  if (FCloseAfterWriting) ShutdownTls();
}

// The close is announced (close_notify); the peer's answer is waited for only briefly, since
// many clients close the connection without one.
void TStreamConnection::ShutdownTls() {
  if (FClosed) return;
  if (!FShuttingDown) {
    FShuttingDown = true;
    FShutdownTimer = std::make_unique<asio::steady_timer>(FSocket.get_executor());
    FShutdownTimer->expires_after(std::chrono::milliseconds(ShutdownWaitMs));
    FShutdownTimer->async_wait([Self = shared_from_this()](const asio::error_code& E) {
      if (!E) Self->Ended();
    });
  }
  ERR_clear_error();
  int R = SSL_shutdown(FSsl.get());
  if (R == 0) R = SSL_shutdown(FSsl.get());  // ours is sent: now the peer's
  if (R == 1) {
    Ended();
    return;
  }
  AwaitTls(SSL_get_error(FSsl.get(), R), &TStreamConnection::ShutdownTls);
}

void TStreamConnection::ResumeReading() {
  if (FClosed || FCloseAfterWriting || FReadScheduled) return;
  if (FLink == lkPending || FLink == lkRefused) return;
  FReadScheduled = true;
  if (FLink == lkTls) {
    // The library may hold a record read already: it is read first, not waited for.
    asio::post(FSocket.get_executor(), [Self = shared_from_this()] {
      Self->FReadScheduled = false;
      Self->ReadTls();
    });
    return;
  }
  asio::post(FSocket.get_executor(), [Self = shared_from_this()] { Self->ReadTurn(); });
}

// The event library reports readiness on an edge, so a turn reads until the socket is empty
// (a short read says so) before it waits again, or yields to the others and comes back.
void TStreamConnection::ReadTurn() {
  FReadScheduled = false;
  if (FClosed || FCloseAfterWriting) return;
  static thread_local std::array<char, ReadChunk> Buffer;
  for (int I = 0; I < ReadsPerTurn; ++I) {
    const ssize_t N = recv(FSocket.native_handle(), Buffer.data(), Buffer.size(), 0);
    if (N < 0 && errno == EINTR) continue;
    if (N < 0 && WouldBlock()) break;
    if (N <= 0) {
      Ended();  // closed by the peer, or broken
      return;
    }
    const bool More = OnRead(std::string_view(Buffer.data(), static_cast<std::size_t>(N)));
    if (FClosed || FCloseAfterWriting || !More) return;
    if (static_cast<std::size_t>(N) < Buffer.size()) break;
    if (I + 1 == ReadsPerTurn) {
      FReadScheduled = true;
      asio::post(FSocket.get_executor(), [Self = shared_from_this()] { Self->ReadTurn(); });
      return;
    }
  }
  FReadScheduled = true;
  FSocket.async_wait(asio::socket_base::wait_read, [Self = shared_from_this()](const asio::error_code& E) {
    Self->FReadScheduled = false;
    if (!E) Self->ReadTurn();
  });
}

void TStreamConnection::Queue(TSharedBytes Bytes) {
  if (FClosed || Bytes->empty()) return;
  FOutBytes += Bytes->size();
  FOut.push_back(std::move(Bytes));
}

void TStreamConnection::Write() {
  if (FClosed || FWriteWaiting) return;
  if (FLink == lkPending || FLink == lkRefused) return;  // after the hand-shake
  if (FLink == lkTls) {
    WriteTls();
    return;
  }
  std::array<iovec, kMaxPieces> Pieces;
  while (!FOut.empty()) {
    std::size_t N = 0;
    for (auto It = FOut.begin(); It != FOut.end() && N < Pieces.size(); ++It, ++N) {
      const std::size_t Skip = N == 0 ? FOutOffset : 0;
      Pieces[N].iov_base = const_cast<char*>((*It)->data() + Skip);
      Pieces[N].iov_len = (*It)->size() - Skip;
    }
    msghdr Message{};
    Message.msg_iov = Pieces.data();
    Message.msg_iovlen = N;
    const ssize_t Sent = sendmsg(FSocket.native_handle(), &Message, MSG_NOSIGNAL);
    if (Sent < 0 && errno == EINTR) continue;
    if (Sent < 0 && WouldBlock()) {
      FWriteWaiting = true;
      FSocket.async_wait(asio::socket_base::wait_write, [Self = shared_from_this()](const asio::error_code& E) {
        Self->FWriteWaiting = false;
        if (!E) Self->Write();
      });
      return;
    }
    if (Sent <= 0) {
      Ended();
      return;
    }
    std::size_t Left = static_cast<std::size_t>(Sent);
    while (Left > 0) {
      const std::size_t Rest = FOut.front()->size() - FOutOffset;
      if (Left < Rest) {
        FOutOffset += Left;
        break;
      }
      Left -= Rest;
      FOutBytes -= FOut.front()->size();
      FOut.pop_front();
      FOutOffset = 0;
    }
    if (OnWritten) OnWritten(static_cast<std::size_t>(Sent));
  }
  if (FCloseAfterWriting) {
    asio::error_code Ignored;
    FSocket.shutdown(asio::socket_base::shutdown_send, Ignored);
    Ended();
  }
}

void TStreamConnection::CloseAfterWriting() {
  if (FClosed || FCloseAfterWriting) return;
  FCloseAfterWriting = true;
  if (FLink == lkRefused) return;  // it ends when the client goes
  if (FLink == lkPending) {
    // Nobody to write to yet: a hand-shake that has not finished is not waited for.
    Ended();
    return;
  }
  Write();
}

void TStreamConnection::Ended() {
  if (FClosed) return;
  const TPtr Self = shared_from_this();  // OnClosed may drop the last other owner
  Close();
  if (OnClosed) OnClosed();
}

void TStreamConnection::Close() {
  if (FClosed) return;
  FClosed = true;
  FOut.clear();
  FOutBytes = FOutOffset = 0;
  if (FShutdownTimer) FShutdownTimer->cancel();
  asio::error_code Ignored;
  FSocket.close(Ignored);
  FSsl.reset();
  std::string().swap(FTlsOut);
  FTlsOutOffset = 0;
}
