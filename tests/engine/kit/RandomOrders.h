#pragma once
// A seeded stream of order records for long games and benchmarks: mostly records that a
// player could have entered from the live state (a unit that may take the order, a
// neighbouring zone, an own zone, counts within what the unit has), each with the name of the
// user who may send it, and a small share of hostile records (another power's unit, indices
// out of range, bad counts, forbidden characters, repeated identifiers, a surrender for
// somebody else, garbage and unknown codes).
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"
#include "engine/ImpulseSteps.h"

namespace kit {

struct TGeneratedOrder {
  std::string Record;
  std::string Sender;
  // A record the host must refuse or that cannot do what it claims.
  bool Hostile = false;
  // The order code the record was written for (-1 for garbage).
  int Code = -1;
};

class TRandomOrders {
public:
  explicit TRandomOrders(std::uint64_t Seed);

  // The users of the game, the host first. A nation played by a human takes orders from its
  // player; a computer-played one from the host. Hostile records claim the other names.
  std::vector<std::string> Users{"Host"};
  // Percent of hostile records.
  int HostilePercent = 5;
  // Relative weight of each order code among the valid records; 0 leaves a code out. A
  // surrender is left out unless a test asks for one (Surrender).
  std::array<int, OrderTypeCount> Weights{};

  // The sender whose orders the host takes for the nation.
  std::string SenderFor(const TNation* Nation) const;
  // Count records from the engine's state now.
  std::vector<TGeneratedOrder> Generate(TBrenmoorEngine& Engine, int Count);
  // One record: valid in (100 - HostilePercent) percent of the calls.
  TGeneratedOrder Next(TBrenmoorEngine& Engine);
  // A valid record of the code, or an empty record when the state offers none.
  TGeneratedOrder Valid(TBrenmoorEngine& Engine, TOrderType Code);
  TGeneratedOrder Hostile(TBrenmoorEngine& Engine);
  // The surrender of the nation's player, sent by that player.
  TGeneratedOrder Surrender(const TNation* Nation) const;

  // Valid records written so far, per code.
  const std::array<int, OrderTypeCount>& Written() const { return FWritten; }
  TRandomGenerator& Pick() { return FPick; }

private:
  int R(int N) { return N > 0 ? FPick.Random(N) : 0; }
  bool Chance(int Percent) { return R(100) < Percent; }
  template <class T>
  T* Any(const std::vector<T*>& Items) {
    return Items.empty() ? nullptr : Items[static_cast<std::size_t>(R(static_cast<int>(Items.size())))];
  }
  // Nations whose orders somebody may send: the living ones (the host orders the minors).
  std::vector<TNation*> Players(TBrenmoorEngine& E) const;
  TUnit* AnyUnit(TBrenmoorEngine& E, TOrderType Code);
  TBrenmoorZone* AnyOwnZone(TBrenmoorEngine& E, bool LandOnly);
  TBrenmoorZone* Neighbour(TBrenmoorZone* Zone, int Sea);
  std::string ZoneWalk(TBrenmoorZone* Start, int Sea);
  std::string UnitOrder(TBrenmoorEngine& E, TOrderType Code, TUnit*& Unit);
  std::string ZoneOrder(TBrenmoorEngine& E, TOrderType Code, TNation*& Owner);
  std::string NationOrder(TBrenmoorEngine& E, TOrderType Code, TNation*& Owner);

  TRandomGenerator FPick;
  std::array<int, OrderTypeCount> FWritten{};
};

// Host hooks that queue Count of the stream's records, each from its sender, when the host
// collects the impulse's orders.
inline TImpulseHooks QueueOrdersHooks(TRandomOrders& Orders, int Count) {
  TImpulseHooks Hooks;
  Hooks.OnCollectOrders = [&Orders, Count](TBrenmoorEngine* E, std::int32_t) {
    for (const TGeneratedOrder& O : Orders.Generate(*E, Count)) E->QueueOrder(O.Record, O.Sender);
  };
  return Hooks;
}

}  // namespace kit
