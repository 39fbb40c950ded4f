#pragma once
// Helpers of the lobby server tests: a temporary folder and a server core driven line by line,
// whose answers are read back as plain lines with each user record shortened to its name.
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "lobby/VexilUtils.h"
#include "server/LobbyServer.h"
#include "support/ScratchFolder.h"

class TTempDir {
public:
  std::string File(const std::string& Name) const { return (FFolder.Path() / Name).string(); }

private:
  TScratchFolder FFolder{"brenmoor-lobby"};
};

// "JOINSUBJECT|Room|ann^...^|bob^...^" reads "JOINSUBJECT|Room|ann|bob".
inline std::string ShortenRecords(const std::string& Line) {
  std::string Out;
  std::size_t Start = 0;
  while (true) {
    const std::size_t Bar = Line.find('|', Start);
    std::string Field = Line.substr(Start, Bar == std::string::npos ? Bar : Bar - Start);
    const std::size_t Caret = Field.find('^');
    if (Caret != std::string::npos) Field = Field.substr(0, Caret);
    Out += Field;
    if (Bar == std::string::npos) break;
    Out += '|';
    Start = Bar + 1;
  }
  return Out;
}

struct TCoreFixture {
  explicit TCoreFixture(TServerConfig Config = TestConfig())
      : Store(std::make_unique<TAccountStore>(Dir.File("lobby.db"))),
        Core(std::make_unique<TLobbyServer>(Config, *Store, Now)) {}

  static TServerConfig TestConfig() {
    TServerConfig C;
    C.HashCost = 1;
    C.MaxDataLine = 1u << 20;
    return C;
  }

  TSessionId Connect(const std::string& Address = "10.0.0.1") { return Core->Open(Address, Now); }
  void Say(TSessionId Id, const std::string& Line) { Core->Receive(Id, Core->EncodeLine(Line), Now); }
  // The lines sent to Id since the last look, framing and scrambling undone.
  std::vector<std::string> Raw(TSessionId Id) {
    std::vector<std::string> Lines;
    const std::string Out = Core->TakeOutput(Id);
    std::size_t Start = 0, End;
    while ((End = Out.find('\n', Start)) != std::string::npos) {
      Lines.push_back(Core->DecodeLine(std::string_view(Out).substr(Start, End - Start)).value());
      Start = End + 1;
    }
    return Lines;
  }
  std::vector<std::string> Lines(TSessionId Id) {
    std::vector<std::string> L = Raw(Id);
    for (std::string& Line : L) Line = ShortenRecords(Line);
    return L;
  }
  void Quiet(std::initializer_list<TSessionId> Ids) {
    for (TSessionId Id : Ids) Core->TakeOutput(Id);
  }
  static std::string NewRecord(const std::string& Password, const std::string& City = "") {
    return "^" + Password + "^First^Last^" + City + "^^^^^01/01/2000^01/01/2000^0^^0`0`^^";
  }
  TSessionId NewUser(const std::string& Name, const std::string& Address = "10.0.0.1") {
    const TSessionId Id = Connect(Address);
    Say(Id, "LOGINNEW|" + Name + "|Brenmoor|" + Name + NewRecord("pw-" + Name));
    return Id;
  }

  TTempDir Dir;
  TMillis Now = 1'000'000;
  std::unique_ptr<TAccountStore> Store;
  std::unique_ptr<TLobbyServer> Core;
};

using TLines = std::vector<std::string>;
