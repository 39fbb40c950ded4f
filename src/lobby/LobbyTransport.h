#pragma once
// What the lobby connection needs of a socket: connect, write, close, and the events of a
// non-blocking client socket, all delivered on the main thread. The program's transport is a
// TCP socket of the platform layer; tests drive a scripted one.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "lobby/ServerTrust.h"

class TLobbyTransport {
public:
  virtual ~TLobbyTransport() = default;

  // Starts connecting to Host (a dotted address when HostIsAddress, else a host name) and
  // Port; the outcome arrives later as OnConnected, or OnError and/or OnDisconnected.
  virtual void Connect(const std::string& Host, bool HostIsAddress, int Port) = 0;
  // Hands bytes to the socket: the number it took (possibly fewer than given, 0 included),
  // or -1 when the send failed.
  virtual std::int64_t Write(std::string_view Bytes) = 0;
  virtual bool Connected() const = 0;
  // How the connection runs: encrypted, plain, or not at all (a scripted transport: plain).
  virtual TLobbyLink Link() const { return Connected() ? llPlain : llNone; }
  // Ends the connection or the attempt; bytes already taken are still sent where the socket
  // can. No event of the closed connection follows.
  virtual void Close() = 0;

  std::function<void(TLobbyTransport* Sender)> OnConnected;
  std::function<void(TLobbyTransport* Sender, std::string_view Bytes)> OnBytesReceived;
  // The socket has room for more bytes after a short write.
  std::function<void(TLobbyTransport* Sender)> OnReadyWrite;
  // The peer closed the connection, or the attempt ended without one.
  std::function<void(TLobbyTransport* Sender)> OnDisconnected;
  std::function<void(TLobbyTransport* Sender, int ErrorCode)> OnError;
};
