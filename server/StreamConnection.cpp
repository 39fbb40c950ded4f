#include "server/StreamConnection.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <climits>

#include <asio/post.hpp>
#include <asio/steady_timer.hpp>
#include <asio/ssl.hpp>
#include <asio/write.hpp>

namespace {

constexpr int kMaxPieces = IOV_MAX < 1024 ? IOV_MAX : 1024;

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

}  // namespace

TStreamConnection::TStreamConnection(asio::ip::tcp::socket Socket, asio::ssl::context* Tls, bool AllowPlain)
    : FSocket(std::move(Socket)), FAllowPlain(AllowPlain) {
  FSocket.non_blocking(true);
  if (Tls) {
    FTls.emplace(FSocket, *Tls);
    FLink = lkPending;
  }
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
    Self->FReadScheduled = true;
    Self->FTls->async_handshake(asio::ssl::stream_base::server, [Self](const asio::error_code& H) {
      Self->FReadScheduled = false;
      if (Self->FClosed) return;
      if (H) {
        Self->Ended();
        return;
      }
      Self->Established(true);
    });
  });
}

void TStreamConnection::Established(bool Tls) {
  FLink = Tls ? lkTls : lkPlain;
  if (!Tls) FTls.reset();
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
  FTls.reset();
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

void TStreamConnection::ReadTls() {
  FReadScheduled = true;
  if (!FTlsIn) FTlsIn = std::make_unique<std::array<char, 16384>>();
  FTls->async_read_some(asio::buffer(*FTlsIn), [Self = shared_from_this()](const asio::error_code& E, std::size_t N) {
    Self->FReadScheduled = false;
    if (Self->FClosed || Self->FCloseAfterWriting) return;
    if (E) {
      Self->Ended();  // closed by the peer, or broken
      return;
    }
    const bool More = Self->OnRead(std::string_view(Self->FTlsIn->data(), N));
    if (Self->FClosed || Self->FCloseAfterWriting || !More) return;
    Self->ReadTls();
  });
}

// The queued lines go out as one contiguous piece per encrypted write, so records are full.
void TStreamConnection::WriteTls() {
  if (FOut.empty()) {
    if (FCloseAfterWriting && !FShuttingDown) {
      // The close is announced (close_notify); the peer's answer is waited for only briefly,
      // since many clients close the connection without one.
      FShuttingDown = true;
      FWriteWaiting = true;
      FTls->async_shutdown([Self = shared_from_this()](const asio::error_code&) {
        Self->FWriteWaiting = false;
        Self->Ended();
      });
      FShutdownTimer = std::make_unique<asio::steady_timer>(FSocket.get_executor());
      FShutdownTimer->expires_after(std::chrono::milliseconds(ShutdownWaitMs));
      FShutdownTimer->async_wait([Self = shared_from_this()](const asio::error_code& E) {
        if (!E) Self->Ended();
      });
    }
    return;
  }
  FTlsOut.clear();
  while (!FOut.empty() && (FTlsOut.empty() || FTlsOut.size() + FOut.front()->size() <= TlsWriteChunk)) {
    FTlsOut += *FOut.front();
    FOutBytes -= FOut.front()->size();
    FOut.pop_front();
  }
  FWriteWaiting = true;
  asio::async_write(*FTls, asio::buffer(FTlsOut), [Self = shared_from_this()](const asio::error_code& E, std::size_t N) {
    Self->FWriteWaiting = false;
    if (Self->FClosed) return;
    // A connection that has sent all it had gives the piece's memory back: most of a lobby's
    // connections wait most of the time.
    if (Self->FOut.empty())
      std::string().swap(Self->FTlsOut);
    else
      Self->FTlsOut.clear();
    if (E) {
      Self->Ended();
      return;
    }
    if (Self->OnWritten) Self->OnWritten(N);
    Self->Write();
  });
}

void TStreamConnection::ResumeReading() {
  if (FClosed || FCloseAfterWriting || FReadScheduled) return;
  if (FLink == lkPending || FLink == lkRefused) return;
  if (FLink == lkTls) {
    ReadTls();
    return;
  }
  FReadScheduled = true;
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
}
