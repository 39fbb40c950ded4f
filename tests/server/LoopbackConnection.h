#pragma once
// A game's connection to the test's own lobby server on the loopback: the real transport (TLS
// unless Plain), the game's room code, and the lobby's scrambler on every line both ways.
#include <memory>
#include <string>

#include "foundation/StringEncryptor.h"
#include "lobby/VexilConnection.h"
#include "platform/LobbyTransport.h"

// Scrambler must outlive the connection.
inline std::unique_ptr<TVexilConnection> LoopbackConnection(int Port, TStringEncryptor& Scrambler, bool Plain = false) {
  auto Transport = std::make_unique<TTcpLobbyTransport>();
  Transport->SetPlainOnly(Plain);
  auto C = std::make_unique<TVexilConnection>(std::move(Transport));
  C->SetHost("127.0.0.1");
  C->SetPort(Port);
  C->SetSubjectCode("Brenmoor");
  C->OnEncryptString = [&Scrambler](auto*, std::string& S) { Scrambler.EncryptString(S); };
  C->OnDecryptString = [&Scrambler](auto*, std::string& S) { Scrambler.DecryptString(S); };
  return C;
}
