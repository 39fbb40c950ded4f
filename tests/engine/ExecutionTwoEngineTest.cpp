// Thousands of seeded impulses of unit execution, production, storms, coups, combat and
// research on the host; the guest replays the records and stays the same game.
#include <gtest/gtest.h>

#include <set>

#include "engine/EndOfImpulseRules.h"
#include "engine/ExecutionRules.h"
#include "engine/kit/RulesKit.h"

namespace {

using kit::TKitWorld;

// The same on both machines before the run: a zone at work on a fleet, storms allowed.
void Prepare(TKitWorld& W) {
  TBrenmoorEngine& E = W.Engine();
  E.SetEngineOptions(static_cast<std::uint8_t>(E.GetEngineOptions() | 6));
  // An unsteady minor, so coups come by chance too.
  W.N(3)->SetStability(20);
  for (int N = 0; N < E.GetNationCount(); ++N)
    for (int T = 0; T < UnitTypeCount; ++T) W.N(N)->SetUnitCost(T, UnitTypes[static_cast<std::size_t>(T)].Resources);
  for (int Z : {kit::kzAlba, kit::kzDunmore}) {
    TBrenmoorZone* Zone = W.Z(Z);
    Zone->SetBuilding(true);
    Zone->SetBuildKind(Z == kit::kzAlba ? ukNavy : ukArmy);
    Zone->SetBuildQueue(Z == kit::kzAlba ? utBattleship : utInfantry, 2);
    Zone->SetBuildTotal(6.0f);
  }
}

class TDirector {
public:
  explicit TDirector(std::uint64_t Seed) : FPick(Seed) {}

  void operator()(TKitWorld& W, std::int32_t Impulse) {
    TBrenmoorEngine& E = W.Engine();
    for (TUnit* U : E.GetUnits()) U->ResetImpulseState();
    const int Orders = FPick.Random(4);
    for (int I = 0; I < Orders; ++I) Order(E);
    E.Execution().ExecuteUnits(Impulse);
    // The kit's map is narrower than most storms.
    E.EndOfImpulse().EndOfImpulseStages(Impulse, 500, 200);
    if (FPick.Random(40) == 0) E.EndOfImpulse().Coup(E.GetNation(FPick.Random(E.GetNationCount())), FPick.Random(50) + 50);
  }

private:
  void Order(TBrenmoorEngine& E) {
    if (E.GetUnitCount() == 0) return;
    TUnit* U = E.GetUnit(FPick.Random(E.GetUnitCount()));
    if (U->GetTransport()) return;
    static const TOrderType Kinds[] = {ordMove, ordInvade, ordPatrol, ordRecon, ordBombard, ordAirStrike,
                                       ordBomb, ordIntercept, ordRetreat, ordLaunch, ordDock, ordEmbark,
                                       ordDisembark};
    const TOrderType Kind = Kinds[FPick.Random(static_cast<int>(std::size(Kinds)))];
    TBrenmoorZone* Zone = E.GetZone(FPick.Random(E.GetZoneCount()));
    if (Kind == ordPatrol || Kind == ordRecon) {
      std::string List = std::to_string(U->GetZone()->GetIndex()) + "#";
      const int More = FPick.Random(3) + 1;
      for (int I = 0; I < More; ++I) List += std::to_string(FPick.Random(E.GetZoneCount())) + "#";
      const std::string Record = ChangeRecord(5, U->ID, List, static_cast<int>(Kind));
      E.ApplyStateChange(Record);
      if (E.WritesChanges()) E.GetChangeSink()->AddChange(Record);
      return;
    }
    U->SetOrder(Kind);
    U->SetDestinationZone(Zone);
    TUnit* Other = E.GetUnit(FPick.Random(E.GetUnitCount()));
    if (Other != U) U->SetDestinationUnit(Other);
    if (Kind == ordBomb && U->GetKind() == ukAirForce) U->MoveToZone(Zone, mmImpulse);
    E.SendUnitOrder(U);
  }

  TRandomGenerator FPick;
};

}  // namespace

// The kit's world with random events: by chance, on a coup and on a zone's conquest.
const std::string EventScenario = std::string(kit::KitScenarioText) +
                                  "RandomEvent=1~110~History~1~2~10~-15~x~Brae~p.bmp~Albion~Alba~Famine~2~\n"
                                  "RandomEvent=0~001~~0~5~0~10~~~~~~Storm at sea~0~\n"
                                  "RandomEvent=0~111~~0~1~0~-20~~~~~~Plague~0~\n";

TEST(ExecutionTwoEngineTest, TheGuestReplaysUnitStepsStormsCoupsAndProduction) {
  std::set<int> All;
  for (std::uint64_t Seed : {3u, 29u, 1942u}) {
    kit::TTwoEngineHarness Harness(Seed, EventScenario);
    Prepare(Harness.Host());
    Prepare(Harness.Guest());
    TDirector Director(Seed * 31 + 7);
    for (int I = 0; I < kit::LongGameImpulses(1500); ++I) {
      const std::string Fault = Harness.RunImpulse(std::ref(Director));
      ASSERT_EQ(Fault, "") << "seed " << Seed;
      ASSERT_EQ(kit::CheckInvariants(Harness.Host().Engine()), "") << "seed " << Seed << " impulse " << I;
      for (const std::string& Record : Harness.LastRecords()) All.insert(std::stoi(Record));
    }
  }
  // Moves, orders, patrols, strikes, builds, storms and coups all went through (in the whole
  // games; a sanitizer build's shortened ones only keep host and guest together).
  if (!kit::LongGamesRunInFull) return;
  for (int Code : {0, 3, 15, 18, 20, 21, 22, 25, 26, 27, 29, 34, 38, 43}) EXPECT_TRUE(All.count(Code)) << "record " << Code;
}
