// Research: the spending of a nation on the eight groups, the progress the impulse adds by
// chance, and the level gained when a group's progress reaches its cost (a conventional group
// improves one unit type of the nation).
#include <vector>

#include "engine/ResearchRules.h"
#include "foundation/NumberText.h"

namespace {

constexpr int ResearchConventionalLand = 0;
constexpr int ResearchConventionalAir = 1;
constexpr int ResearchConventionalSea = 2;
constexpr int ResearchRadar = 4;
constexpr int ResearchCodeBreaking = 5;
constexpr int ResearchJet = 6;

}  // namespace

void TResearchRules::SetResearchAllocation(TNation* Nation, const std::string& Text) {
  if (!Nation) return;
  std::string Rest = Text;
  Nation->SetResearchSpendingTotal(NextTokenInt(Rest, "#"));
  for (int G = 0; G < ResearchGroupCount; ++G) Nation->SetResearchSpending(G, static_cast<std::uint8_t>(NextTokenInt(Rest, "#")));
}

bool TResearchRules::AdvanceResearch(TNation* N, int G, std::int32_t Pick) {
  // A negative pick would choose outside the list of types.
  if (!N || G < 0 || G >= ResearchGroupCount || Pick < 0) return false;
  N->SetResearchLevel(G, static_cast<std::uint16_t>(N->GetResearchLevel(G) + 1));
  if (G <= ResearchConventionalSea) {
    std::vector<int> Types;
    for (int T = 0; T < UnitTypeCount; ++T) {
      const TUnitKind Kind = UnitTypes[static_cast<std::size_t>(T)].Kind;
      if (G == ResearchConventionalLand && Kind == ukArmy) Types.push_back(T);
      if (G == ResearchConventionalSea && Kind == ukNavy) Types.push_back(T);
      if (G == ResearchConventionalAir && Kind == ukAirForce && T != utAtomicBomber &&
          (T != utJetFighter || N->GetResearchProgress(ResearchJet) >= FEngine.GetResearchCost(ResearchJet)))
        Types.push_back(T);
    }
    const int T = Types[static_cast<std::size_t>(Pick) % Types.size()];
    const float Factor = static_cast<float>(static_cast<double>(N->GetTypeFactor(T)) + 0.1);
    N->SetTypeFactor(T, Factor);
    if (T == utBomber) N->SetTypeFactor(utAtomicBomber, Factor);
    FEngine.Fire(FEngine.OnUpgradeUnitType, N, static_cast<TUnitType>(T));
  } else {
    FEngine.Fire(FEngine.OnUpgradeTech, N, G);
  }
  // Atomic, jet and rocket research stay complete once their cost is reached.
  if (G <= ResearchConventionalSea || G == ResearchRadar || G == ResearchCodeBreaking) N->SetResearchProgress(G, 0);
  return true;
}

void TResearchRules::ResearchStage() {
  std::string Progress;
  for (int I = 0; I < FEngine.GetNationCount(); ++I) {
    TNation* N = FEngine.GetNation(I);
    if (!N->GetMajorPower()) continue;
    FEngine.ProcessPendingMessages();
    if (!N->GetAlive() || (N->GetResearchSpendingTotal() & 0xFF) == 0) continue;
    std::int32_t Sum = 0;
    for (int G = 0; G < ResearchGroupCount; ++G) Sum += N->GetResearchSpending(G);
    if (Sum == 0) {
      std::string Text = IntToStr(N->GetResearchSpendingTotal()) + "#";
      for (int G = 0; G < ResearchGroupCount; ++G) {
        N->SetResearchSpending(G, 1);
        Text += "1#";
      }
      Sum = ResearchGroupCount;
      FEngine.AddChange(chResearchAllocation, I, Text);
    }
    for (int G = 0; G < ResearchGroupCount; ++G) {
      const float Chance = static_cast<float>(N->GetResearchSpending(G)) / static_cast<float>(Sum) * N->GetResearchPoints();
      if (!(static_cast<float>(FEngine.GetRandom().Random(100)) < Chance)) continue;
      N->SetResearchProgress(G, static_cast<std::uint16_t>(N->GetResearchProgress(G) + 1));
      Progress += IntToStr(I) + "#" + IntToStr(G) + "#";
      if (N->GetResearchProgress(G) != FEngine.GetResearchCost(G)) continue;
      const std::int32_t Pick = FEngine.GetRandom().Random(100);
      AdvanceResearch(N, G, Pick);
      // The progress made so far goes out first: the guest then gains the level with the
      // same progress in hand (the jet fighter's condition reads it).
      FEngine.AddChange(chResearchProgress, Progress);
      Progress.clear();
      FEngine.AddChange(chResearchLevel, IntToStr(I) + "#" + IntToStr(G) + "#" + IntToStr(Pick) + "#");
    }
  }
  if (!Progress.empty()) FEngine.AddChange(chResearchProgress, Progress);
}

bool TResearchRules::ApplyResearchLevels(const std::string& List) {
  struct TLevel {
    TNation* Nation;
    std::int32_t Group;
    std::int32_t Pick;
  };
  std::vector<TLevel> Levels;
  std::string Rest = List;
  while (!Rest.empty()) {
    TNation* Nation = FEngine.GetNation(NextTokenInt(Rest, "#"));
    const std::int32_t Group = NextTokenInt(Rest, "#");
    const std::int32_t Pick = NextTokenInt(Rest, "#");
    if (Group < 0 || Group >= ResearchGroupCount || Pick < 0 || Pick > 99) return false;
    Levels.push_back({Nation, Group, Pick});
  }
  for (const TLevel& L : Levels) AdvanceResearch(L.Nation, L.Group, L.Pick);
  return true;
}

