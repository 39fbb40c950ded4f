#pragma once
// The rules test kit: the tests' world (TestWorld.h) on its own map and engine, rules
// generators that are seeded, scripted or forbidden, a canonical dump of an engine's whole
// state with its hash, an invariant check, and the two-engine harness in which a host runs the rules and a
// guest replays its change records through the "CHANGES|" framing.
#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/kit/Records.h"
#include "engine/kit/TestWorld.h"
#include "support/ScratchFolder.h"

namespace kit {

// --- Rules generators ---

// Raised by the forbidden generator and by a scripted one that has run out.
class ERulesDraw : public EBrenmoor {
public:
  using EBrenmoor::EBrenmoor;
};

// Hands out the queued values in order, integers to Random(N) and floats to Random(); a draw
// with nothing queued of its sort raises ERulesDraw. An integer queued at or above N is a
// test's mistake and raises too.
class TScriptedRandom : public TRandomGenerator {
public:
  void QueueInt(std::int32_t Value) { FInts.push_back(Value); }
  void QueueFloat(double Value) { FFloats.push_back(Value); }
  std::int32_t Random(std::int32_t N) override;
  double Random() override;
  std::uint64_t Next() override;
  int Draws() const { return FDraws; }
  bool Empty() const { return FInts.empty() && FFloats.empty(); }

private:
  std::deque<std::int32_t> FInts;
  std::deque<double> FFloats;
  int FDraws = 0;
};

// Every draw raises ERulesDraw (after counting it): the replaying engine draws nothing.
class TForbiddenRandom : public TRandomGenerator {
public:
  std::int32_t Random(std::int32_t N) override;
  double Random() override;
  std::uint64_t Next() override;
  int Draws() const { return FDraws; }

private:
  int FDraws = 0;
};

// --- Impulse users ---

// The users of an online game as the impulse clock knows them, the host first.
class TKitUsers : public TImpulseUsers {
public:
  TKitUsers() = default;
  explicit TKitUsers(std::vector<std::string> AName) : Names(std::move(AName)) {}
  int GetUserCount() const override { return static_cast<int>(Names.size()); }
  std::string GetUserName(int I) const override { return Names.at(static_cast<std::size_t>(I)); }
  void MarkUserRemoved(const std::string& Name) override { Removed.push_back(Name); }
  std::vector<std::string> Names;
  std::vector<std::string> Removed;
};

// The "#"-text of sixteen unit counts (unit-type order), the types not listed 0: what divide,
// build and reinforcement records carry.
inline std::string CountsText(std::initializer_list<std::pair<TUnitType, int>> Pieces) { return rec::Counts(Pieces); }

// --- Dump, hash, invariants ---

struct TDumpOptions {
  // The local player's view: the nations' local-player flags and the zones' tallies (a
  // submerged fleet is counted only where its nation is played).
  bool LocalView = true;
  // The host's scratch values: damaged counts, the organisation-changed, experience-changed
  // and combat flags of the units, the rules generator's state.
  bool HostScratch = true;
};

// Every persistent field of the engine's game, one "key=value" line each in a fixed order,
// floats as exact round-trip text. Read-only.
std::string DumpState(TBrenmoorEngine& Engine, const TDumpOptions& Options = {});
// FNV-1a of the text.
std::uint64_t DumpHash(const std::string& Dump);
// A 64-bit hash of the same fields as DumpState, in the same order, taken from the values
// themselves without writing the text: two states that differ in one field hash apart; equal
// states hash alike. What a state comparison runs every impulse; the dump shows a difference.
std::uint64_t StateHash(TBrenmoorEngine& Engine, const TDumpOptions& Options = {});
// "" when the two states hash alike; else the first line where their dumps differ (host A,
// guest B).
std::string CompareStates(TBrenmoorEngine& A, TBrenmoorEngine& B, const TDumpOptions& Options = {});
// The first line where two dumps differ ("" when equal), with both lines.
std::string FirstDifference(const std::string& A, const std::string& B);

// "" when the model holds together; else the first fault: tallies against a recount, each unit
// in exactly one zone and in the engine's list under its identifier, transport and carrier
// links both ways, no dead nation owning a zone or a unit.
std::string CheckInvariants(const TBrenmoorEngine& Engine);

// A temporary folder holding one scenario file, the current folder while it lives: a saved
// game names its scenario, which the machine that loads it reads from its current folder.
class TScenarioFolder {
public:
  TScenarioFolder(const std::string& FileName, const std::string& Text);

private:
  TScratchFolder FFolder{"brenmoor-scenario", scCurrent};
};

// --- The two-engine harness ---

// The impulses of a long seeded game: the full count in an ordinary build, a quarter under the
// address and undefined-behaviour sanitizers, which make every impulse many times slower, so
// that a busy machine stays within the test time limit. What a game must have exercised is
// asserted by the full run.
constexpr int LongGameImpulses(int Full) {
#ifdef BRENMOOR_SANITIZED_BUILD
  return Full / 4;
#else
  return Full;
#endif
}
constexpr bool LongGamesRunInFull = LongGameImpulses(4) == 4;

// The "CHANGES|" message of an impulse and its records (the framing the impulse clock uses).
std::string FrameChanges(std::int32_t Impulse, const std::vector<std::string>& Records);
std::vector<std::string> UnframeChanges(const std::string& Message);

// What a machine that joins a running game needs from the host: "JOIN|" + the saved game
// (whose scenario the joining machine reads from its current folder) + "|" + the one thing a
// saved game does not hold: the fleets under water (a saved game shows them surfaced), each
// identifier followed by "#"; + "|" + every unit's identifier and its 16 type factors in full
// (a saved game keeps two decimals), each followed by "#".
std::string JoinText(TBrenmoorEngine& Host);
// Loads the join message into the engine.
void LoadJoinText(TBrenmoorEngine& Engine, const std::string& Message);

// Host H runs the rules of each impulse (the test's step, with H's seeded generator); its
// records travel framed to guest G, which replays them with a forbidden generator; then both
// run the upkeep. After every impulse the two dumps (without local view and host scratch) must
// be equal, G must have drawn nothing and written nothing, and both must have fired the same
// events.
class TTwoEngineHarness {
public:
  using TStep = std::function<void(TKitWorld& Host, std::int32_t Impulse)>;
  explicit TTwoEngineHarness(std::uint64_t Seed, const std::string& Scenario = KitScenarioText,
                             const std::string& ScenarioFile = {});

  TKitWorld& Host() { return *FHost; }
  TKitWorld& Guest() { return *FGuest; }
  // One impulse; "" when both machines agree, else a report: the impulse, the first
  // differing line (or event, or draw) and the impulse's records.
  std::string RunImpulse(const TStep& Step);
  std::int32_t GetImpulse() const { return FImpulse; }
  const std::vector<std::string>& LastRecords() const { return FLastRecords; }
  // A third machine joins between impulses from the host's join message (JoinText), takes the
  // guest's impulse users and from then on replays every impulse's records as the guest does,
  // its dump and events compared with the host's too. Raises what the load raises.
  void JoinLate();
  TKitWorld* Late() { return FLate.get(); }

private:
  void HookEvents(TBrenmoorEngine& Engine, std::vector<std::string>& Log);
  // "" when the replaying machine wrote nothing and drew nothing.
  static std::string CompareReplay(TKitWorld& Machine, const TForbiddenRandom& Random, const char* Name);

  // Before the worlds: the engines report to these until they are gone.
  TForbiddenRandom FGuestRandom;
  std::vector<std::string> FHostEvents;
  std::vector<std::string> FGuestEvents;
  std::unique_ptr<TKitWorld> FHost;
  std::unique_ptr<TKitWorld> FGuest;
  std::string FScenario;
  std::string FScenarioFile;
  TForbiddenRandom FLateRandom;
  std::vector<std::string> FLateEvents;
  std::unique_ptr<TKitWorld> FLate;
  std::vector<std::string> FLastRecords;
  std::int32_t FImpulse = 0;
};

}  // namespace kit
