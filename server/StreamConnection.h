#pragma once
// One client's socket on the loop. Readiness comes from the event library; reads go in bounded
// turns (a busy client yields to the others), and the queue of shared lines is written with
// scatter I/O as far as the socket takes it, the rest when it can take more. Nothing here
// blocks the loop, and nothing knows the lobby's lines.
#include <asio/ip/tcp.hpp>

#include <cstddef>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

using TSharedBytes = std::shared_ptr<const std::string>;

class TStreamConnection : public std::enable_shared_from_this<TStreamConnection> {
public:
  using TPtr = std::shared_ptr<TStreamConnection>;
  static constexpr std::size_t ReadChunk = 64u << 10;
  static constexpr int ReadsPerTurn = 4;

  explicit TStreamConnection(asio::ip::tcp::socket Socket);
  ~TStreamConnection();
  TStreamConnection(const TStreamConnection&) = delete;
  TStreamConnection& operator=(const TStreamConnection&) = delete;

  // Bytes read; true to go on reading, false to read nothing more until ResumeReading.
  std::function<bool(std::string_view Bytes)> OnRead;
  // Bytes the socket took.
  std::function<void(std::size_t Bytes)> OnWritten;
  // The connection is over: the peer closed it, it broke, or the queue was sent after
  // CloseAfterWriting. Fired once, never after Close.
  std::function<void()> OnClosed;

  void ResumeReading();
  // Adds a line to the queue; Write sends it.
  void Queue(TSharedBytes Bytes);
  void Write();
  // Reads nothing more; ends the connection once the queue is sent.
  void CloseAfterWriting();
  void Close();

  std::size_t QueuedBytes() const { return FOutBytes - FOutOffset; }
  std::size_t QueuedLines() const { return FOut.size(); }
  const asio::ip::tcp::socket& Socket() const { return FSocket; }

private:
  void ReadTurn();
  void Ended();

  asio::ip::tcp::socket FSocket;
  std::deque<TSharedBytes> FOut;
  std::size_t FOutOffset = 0;  // bytes of the first line already sent
  std::size_t FOutBytes = 0;   // bytes of every queued line
  bool FReadScheduled = false;  // a read turn is posted or waits for the socket
  bool FWriteWaiting = false;
  bool FCloseAfterWriting = false;
  bool FClosed = false;
};
