// One client's connection as the lobby server reads it off the socket: the bytes arrive in
// pieces of any size, and the server must make the same lines of them however they are cut.
// The first 8 bytes of the input choose the cuts (each the length of a piece, 1 to 64, in
// turn), the rest is the stream. The lobby's key is empty and its line limits small, so that
// the stream is the lines themselves and a line beyond its limit is easily reached. The
// stream is given at once and in the chosen pieces (cuts of 1 give it byte by byte): both
// times the client hears the same, every line it hears can be read, and the session is
// closed at the same point; the statistics' figures aside, which count the bytes read so far.
// (Each server hashes a password when it starts, which makes a run dear: two servers a run.)
#include <algorithm>
#include <vector>

#include "FuzzTarget.h"
#include "foundation/StringUtils.h"
#include "server/LobbyServer.h"

namespace {

struct THeard {
  std::string Lines;
  bool Closed = false;
};

THeard Connection(const std::string& Stream, const std::vector<std::size_t>& Cuts) {
  TServerConfig Config;
  Config.Key.clear();
  Config.MaxCommandLine = 128;
  Config.MaxDataLine = 400;
  Config.HashCost = 1;
  TAccountStore Store(":memory:");
  const TMillis Now = 1000;
  TLobbyServer Server(Config, Store, Now);
  const TSessionId Id = Server.Open("127.0.0.1", Now);
  THeard Heard;
  const auto Drain = [&] {
    for (const TSessionId Dirty : Server.TakeDirty()) {
      std::string Out = Server.TakeOutput(Dirty);
      fuzz::Require(Dirty == Id, "a session that does not exist was heard from");
      while (!Out.empty()) {
        const std::string Line = NextToken(Out, "\n");
        fuzz::Require(Server.DecodeLine(Line).has_value(), "the server sent a line that cannot be read: " + Line);
        // The statistics count the bytes read so far, which the cuts move: only that they
        // were answered is compared.
        Heard.Lines += (Line.rfind("SERVERSTATS|", 0) == 0 ? std::string("SERVERSTATS|") : Line) + "\n";
      }
    }
  };
  std::size_t Pos = 0;
  for (std::size_t I = 0; Pos < Stream.size() && !Heard.Closed; ++I) {
    const std::size_t Piece = std::min(Cuts[I % Cuts.size()], Stream.size() - Pos);
    Server.Receive(Id, std::string_view(Stream).substr(Pos, Piece), Now);
    Pos += Piece;
    Drain();
    if (Server.WantsClose(Id)) Heard.Closed = true;
  }
  Server.Closed(Id, Now);
  return Heard;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  // A few thousand bytes make every cut that matters.
  if (Size < 8 || Size > 4096) return 0;
  std::vector<std::size_t> Cuts;
  for (std::size_t I = 0; I < 8; ++I) Cuts.push_back(1 + Data[I] % 64);
  const std::string Stream(reinterpret_cast<const char*>(Data) + 8, Size - 8);
  const THeard Whole = Connection(Stream, {Stream.size() + 1});
  const THeard Pieces = Connection(Stream, Cuts);
  fuzz::Require(Pieces.Closed == Whole.Closed, "the session is closed for some cuts of the stream only");
  fuzz::Require(Pieces.Lines == Whole.Lines, "cut in pieces, the stream is answered differently:\n" + Pieces.Lines + "\nat once:\n" + Whole.Lines);
  return 0;
}
