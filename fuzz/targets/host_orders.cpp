// The "ORDERS|user|impulse|records" messages the host collects from its players, one a line:
// each impulse (0 to 7) takes the messages of its number, the host checks every record
// against its sender and runs the rules, and a guest replays the host's change records. Host
// and guest end every impulse in the same game, the guest draws nothing, both models hold
// together, and the host's game saves and loads again.
#include <map>
#include <vector>

#include "EngineFuzz.h"
#include "FuzzTarget.h"
#include "foundation/NumberText.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  constexpr int Impulses = 8;
  // The messages by impulse, as the impulse clock keeps them: the head, a user of the game,
  // an impulse number.
  std::map<int, std::vector<std::pair<std::string, std::string>>> Orders;
  std::string Rest = fuzz::Text(Data, Size);
  while (!Rest.empty()) {
    std::string Message = NextToken(Rest, "\n");
    if (NextToken(Message, "|") != "ORDERS") continue;
    const std::string User = NextToken(Message, "|");
    const auto Impulse = TryStrToInt(NextToken(Message, "|"));
    if (!Impulse || *Impulse < 0 || *Impulse >= Impulses) continue;
    while (!Message.empty()) Orders[*Impulse].emplace_back(NextToken(Message, "~"), User);
  }
  kit::TTwoEngineHarness Game(1, kit::KitScenarioText, fuzz::ScenarioFile);
  kit::TKitUsers HostUsers, GuestUsers;
  fuzz::SetPlayers(Game.Host(), HostUsers);
  fuzz::SetPlayers(Game.Guest(), GuestUsers);
  for (int Impulse = 0; Impulse < Impulses; ++Impulse) {
    const std::string Fault = Game.RunImpulse([&](kit::TKitWorld& Host, std::int32_t I) {
      for (const auto& [Record, User] : Orders[I]) Host.Engine().QueueOrder(Record, User);
      Host.Engine().ProcessImpulse();
    });
    fuzz::Require(Fault);
  }
  fuzz::Require(fuzz::CheckSavesAndLoads(Game.Host().Engine()));
  return 0;
}
