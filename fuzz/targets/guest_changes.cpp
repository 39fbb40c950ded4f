// The "CHANGES|" messages a guest receives from the host, one a line, an impulse each: every
// record is replayed as the impulse clock hands it over (a failing record does not stop the
// rest), then the upkeep runs. The guest draws nothing and writes nothing, its model holds
// together (tallies equal units) and its game saves and loads again.
#include "EngineFuzz.h"
#include "FuzzTarget.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
  fuzz::TFuzzWorld W;
  TBrenmoorEngine& E = W.Engine();
  kit::TForbiddenRandom None;
  W.World().Sink.Host = false;
  E.SetRandomGenerator(&None);
  std::string Rest = fuzz::Text(Data, Size);
  for (int Impulse = 0; !Rest.empty() && Impulse < 16; ++Impulse) {
    const std::string Message = NextToken(Rest, "\n");
    BeforeImpulse(E, Impulse, false);
    for (const std::string& Record : kit::UnframeChanges(Message)) {
      try {
        E.ApplyStateChange(Record);
      } catch (const kit::ERulesDraw& Draw) {
        fuzz::Require(std::string("the replay drew a random number: ") + Draw.what() + " in " + Record);
      } catch (const EBrenmoor&) {
      }
      if (const std::string Fault = kit::CheckInvariants(E); !Fault.empty()) fuzz::Require(Fault + " after the record " + Record);
    }
    try {
      AfterImpulse(E);
    } catch (const kit::ERulesDraw& Draw) {
      fuzz::Require(std::string("the upkeep drew a random number: ") + Draw.what());
    } catch (const EBrenmoor&) {
    }
    fuzz::Require(kit::CheckInvariants(E));
    fuzz::Require(W.World().Sink.Records.empty(), "the guest wrote a change record");
  }
  fuzz::Require(fuzz::CheckSavesAndLoads(E));
  return 0;
}
