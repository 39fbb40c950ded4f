#include "server/StreamConnection.h"

#include <sys/socket.h>
#include <sys/uio.h>

#include <array>
#include <cerrno>
#include <climits>

#include <asio/post.hpp>

namespace {

constexpr int kMaxPieces = IOV_MAX < 1024 ? IOV_MAX : 1024;

bool WouldBlock() { return errno == EAGAIN || errno == EWOULDBLOCK; }

}  // namespace

TStreamConnection::TStreamConnection(asio::ip::tcp::socket Socket) : FSocket(std::move(Socket)) {
  FSocket.non_blocking(true);
}

TStreamConnection::~TStreamConnection() { Close(); }

void TStreamConnection::ResumeReading() {
  if (FClosed || FCloseAfterWriting || FReadScheduled) return;
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
  asio::error_code Ignored;
  FSocket.close(Ignored);
}
