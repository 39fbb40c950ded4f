// Lines from two clients as the lobby server receives them, under the server's shipped
// configuration (its key scrambles every line, its limits on command and data lines hold): a
// line beginning "B>" comes from the second client, every other from the first; each is
// scrambled and framed as a client sends it, unless it begins "W>" (after "B>"), which goes
// on the wire as it stands. Each is answered or refused, never felt by the other session, and
// every line the server sends can be read back.
#include "FuzzTarget.h"
#include "foundation/StringUtils.h"
#include "server/LobbyServer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  TServerConfig Config;
  // Only the password hash is cheaper than shipped: a log-in would take most of a run.
  Config.HashCost = 1;
  TAccountStore Store(":memory:");
  TMillis Now = 1000;
  TLobbyServer Server(Config, Store, Now);
  const TSessionId A = Server.Open("127.0.0.1", Now);
  const TSessionId B = Server.Open("127.0.0.2", Now);
  bool Open[2] = {true, true};
  const auto Drain = [&Server] {
    for (const TSessionId Id : Server.TakeDirty()) {
      std::string Out = Server.TakeOutput(Id);
      while (!Out.empty()) {
        const std::string Line = NextToken(Out, "\n");
        fuzz::Require(Server.DecodeLine(Line).has_value(), "the server sent a line that cannot be read: " + Line);
      }
    }
  };
  std::string Rest = fuzz::Text(Data, Size);
  for (int I = 0; I < 256 && !Rest.empty(); ++I) {
    std::string Line = NextToken(Rest, "\n");
    const bool FromB = Line.rfind("B>", 0) == 0;
    if (FromB) Line.erase(0, 2);
    const TSessionId Id = FromB ? B : A;
    const bool Wire = Line.rfind("W>", 0) == 0;
    if (Wire) Line.erase(0, 2);
    // A session the server wants closed is closed, as the poll loop does, and hears no more.
    if (!Open[FromB]) continue;
    Server.Receive(Id, Wire ? Line + "\n" : Server.EncodeLine(Line), Now += 10);
    Drain();
    if (Server.WantsClose(Id)) {
      Server.Closed(Id, Now);
      Open[FromB] = false;
    }
  }
  Server.Tick(Now += 120000);
  Drain();
  if (Open[0]) Server.Closed(A, Now);
  if (Open[1]) Server.Closed(B, Now);
  return 0;
}
