#pragma once
// The eight diplomatic actions a major power may spend its diplomatic actions on, by the number
// the diplomatic order carries, and the outcomes they report (the number of the diplomacy
// change record and of the engine's OnDiplomacy event).
#include <cstdint>

enum TDiplomaticAction : std::int32_t {
  daDenounce = 0,
  daPropaganda = 1,
  daExertPressure = 2,
  daArrangeSummit = 3,
  daInfiltrate = 4,
  daTightenSecurity = 5,
  daAidRebels = 6,
  daAidGovernment = 7,
};
inline constexpr std::int32_t DiplomaticActionCount = 8;

// True for a number the diplomatic order may carry; any other does nothing but spend the action.
constexpr bool IsDiplomaticAction(std::int32_t Action) { return Action >= 0 && Action < DiplomaticActionCount; }

enum TDiplomacyOutcome : std::int32_t {
  drDenounced = 0,           // denounce
  drPropagandaFound = 1,     // propaganda, noticed by the target
  drPressureResisted = 2,    // exert pressure
  drPressureYielded = 3,
  drSummitFailed = 4,        // arrange summit
  drSummitTriumph = 5,
  drSummitAgreed = 6,
  drAgentCaught = 7,         // tighten security: an enemy's influence on the target ran out
  drRebelAidFound = 8,       // aid rebels, noticed by the target
  drGovernmentAidFound = 9,  // aid government, noticed by the target
};

// Whether a game may go on in free-for-all after a victory: not in a game between computer
// players only, and only while at least two major powers live. The engine's
// CanContinueFreeForAll and the victory display's question both ask this.
constexpr bool FreeForAllMayGoOn(std::int32_t LivingMajors, bool AllComputer) { return !AllComputer && LivingMajors >= 2; }
