#pragma once
// The steps of one impulse in the one order every machine runs them, for the main window's
// impulse-clock handlers, the script module, the tests and the benchmarks alike:
//
//   before the impulse (every machine): the impulse number, the date label's date kept and
//     the date advanced by the impulse rate, the computer player's turn (the machine that
//     runs the rules only), the per-impulse reset (BeginImpulse);
//   the impulse: the host queues the impulse's orders and runs the rules (ProcessImpulse),
//     a guest replays the host's change records in the order written;
//   after the impulse (every machine): SupplyUpkeep, UpdateVisibility, the window's map
//     work, EndImpulseUpkeep, the next impulse number.
//
// The window's own work at these points comes in as hooks; a hook that is not assigned is
// skipped, so a headless game pays nothing for it.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/BrenmoorEngine.h"

struct TImpulseHooks {
  using TImpulseEvent = std::function<void(TBrenmoorEngine* Sender, std::int32_t Impulse)>;
  // The computer player of the impulse takes its turn: after the date advanced, before the
  // per-impulse reset. Called only on the machine that runs the rules. Its orders reach the
  // engine with the impulse's other orders.
  TImpulseEvent OnComputerTurn;
  // A whole host impulse only: the impulse's orders are queued (QueueOrder), after the turn
  // and the reset, before the rules run. The window's clock queues them itself.
  TImpulseEvent OnCollectOrders;
  // After the supply upkeep and the visibility update, before the end-of-impulse upkeep: the
  // window's map work (bomb blasts, the count of embattled zones).
  TImpulseEvent OnMapWork;
};

// The first steps of impulse Impulse: the engine takes the impulse number, its date advances
// by the impulse rate, on the host (Host) the computer player's turn runs, then BeginImpulse.
// Returns the date as it was before the advance (the date label shows it).
TDateTime BeforeImpulse(TBrenmoorEngine& Engine, std::int32_t Impulse, bool Host, const TImpulseHooks& Hooks = {});

// A guest's impulse: the host's change records of the impulse replayed in order.
void ReplayChanges(TBrenmoorEngine& Engine, const std::vector<std::string>& Records);

// The last steps of the impulse at the engine's impulse number (set by BeforeImpulse):
// SupplyUpkeep, UpdateVisibility, the map work, EndImpulseUpkeep, then the engine goes on to
// the next impulse number.
void AfterImpulse(TBrenmoorEngine& Engine, const TImpulseHooks& Hooks = {});

// A whole impulse on the machine that runs the rules: BeforeImpulse (host), the orders
// collected (OnCollectOrders), ProcessImpulse, AfterImpulse. Returns BeforeImpulse's date.
TDateTime RunHostImpulse(TBrenmoorEngine& Engine, std::int32_t Impulse, const TImpulseHooks& Hooks = {});

// A whole impulse on a guest: BeforeImpulse (not host: no computer player's turn), the
// host's records replayed, AfterImpulse. Returns BeforeImpulse's date.
TDateTime RunGuestImpulse(TBrenmoorEngine& Engine, std::int32_t Impulse, const std::vector<std::string>& Records,
                          const TImpulseHooks& Hooks = {});
