#pragma once
// Research: the spending of a nation on the eight groups, the progress the impulse adds by
// chance, and the level gained when a group's progress reaches its cost.
#include <cstdint>
#include <string>

#include "engine/BrenmoorEngine.h"

class TResearchRules {
public:
  explicit TResearchRules(TBrenmoorEngine& Engine) : FEngine(Engine) {}
  TResearchRules(const TResearchRules&) = delete;
  TResearchRules& operator=(const TResearchRules&) = delete;

  // The total and eight group spendings from "total#g0#...#g7#" (the groups as bytes).
  void SetResearchAllocation(TNation* Nation, const std::string& Text);
  // One level gained in the group; Pick chooses the unit type a conventional group improves.
  // A group outside 0..7 or a negative pick is refused (false, nothing changes).
  bool AdvanceResearch(TNation* Nation, int Group, std::int32_t Pick);
  // The research stage of an impulse: progress by chance for every living major power that
  // spends, and the levels reached. Change 41 goes out before each change 42, so that a
  // guest replays the progress in the order the host made it.
  void ResearchStage();
  // Applies the triples of a change 42 ("nation#group#pick#..."): a list naming a group
  // outside 0..7 or a pick outside 0..99 is refused whole (false).
  bool ApplyResearchLevels(const std::string& List);

private:
  TBrenmoorEngine& FEngine;
};
