// The host and a replaying guest stay one game over hundreds of impulses of division,
// merging, drift, formations, supply walks, routings, conquests, storms and the upkeep.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <set>

#include "engine/DiplomacyRules.h"
#include "engine/SupplyRules.h"
#include "engine/UnitRules.h"
#include "engine/kit/RulesKit.h"

namespace {

using kit::TKitWorld;

// What a host's rules do in one impulse, chosen by a director generator of the test's own
// (the rules' draws come from the host engine's generator). Each action writes its record
// before it acts, as the order stage does.
class TDirector {
public:
  explicit TDirector(std::uint64_t Seed) : FPick(Seed) {}

  void operator()(TKitWorld& W, std::int32_t Impulse) {
    TBrenmoorEngine& E = W.Engine();
    const int Actions = FPick.Random(4);
    for (int A = 0; A < Actions; ++A) Act(W, E, Impulse);
  }

private:
  TUnit* AnyUnit(TBrenmoorEngine& E) { return E.GetUnitCount() ? E.GetUnit(FPick.Random(E.GetUnitCount())) : nullptr; }
  TNation* AnyNation(TBrenmoorEngine& E) { return E.GetNation(FPick.Random(E.GetNationCount())); }
  TBrenmoorZone* AnyZone(TBrenmoorEngine& E) { return E.GetZone(FPick.Random(E.GetZoneCount())); }

  void Act(TKitWorld& W, TBrenmoorEngine& E, std::int32_t Impulse) {
    switch (FPick.Random(11)) {
      case 0: {  // Divide half of each type off a unit.
        TUnit* U = AnyUnit(E);
        if (!U || U->GetTotalCount() < 2) break;
        std::string Counts;
        for (int T = 0; T < UnitTypeCount; ++T) Counts += std::to_string(U->GetCount(T) / 2) + "#";
        E.AddUnitChange(U, chUnitDivided, Counts, -1, -1);
        E.UnitRules().DivideUnit(U, Counts, nullptr);
        break;
      }
      case 1: {  // Merge the units of one owner and kind in a zone (a duplicate named too).
        TUnit* U = AnyUnit(E);
        if (!U) break;
        std::string IDs;
        for (int I = 0; I < U->GetZone()->GetUnitCount(); ++I) {
          TUnit* V = U->GetZone()->GetUnit(I);
          if (V->GetOwner() == U->GetOwner() && V->GetKind() == U->GetKind() && !V->GetTransport() && !V->GetBaseUnit())
            IDs += std::to_string(V->ID) + "#";
        }
        IDs += IDs;
        E.AddChange(chUnitsMerged, U->GetZone()->GetIndex(), IDs);
        E.UnitRules().MergeUnits(U->GetZone(), IDs);
        break;
      }
      case 2: {  // Drift, the extremes included.
        static const std::int64_t Amounts[] = {-20000, -1000, -50, 30, 200, std::numeric_limits<std::int32_t>::max(),
                                               std::numeric_limits<std::int32_t>::min()};
        E.Diplomacy().DriftRelation(AnyNation(E), AnyNation(E), Amounts[FPick.Random(7)]);
        break;
      }
      case 3: {
        TNation* N = AnyNation(E);
        const std::string Text = std::to_string(FPick.Random(50)) + "#-#" + std::to_string(FPick.Random(50)) + "#-#-#-#-#" +
                                 std::to_string(FPick.Random(50)) + "#-#-#-#-#-#-#-#-#";
        E.AddChange(chUnitCosts, N->GetIndex(), Text);
        E.UnitRules().SetFormations(N, Text);
        break;
      }
      case 4: {
        TBrenmoorZone* Z = AnyZone(E);
        const int Depth = FPick.Random(4) + 1;
        E.AddChange(chSupplyWalk, Z->GetIndex(), Depth);
        E.Supply().ComputeSupply(Z, Depth);
        break;
      }
      case 5: {
        TNation* N = AnyNation(E);
        E.AddChange(chSupplyReset, N->GetIndex());
        E.Supply().ResetSupplySources(N);
        break;
      }
      case 6: {
        TBrenmoorZone* From = AnyZone(E);
        TBrenmoorZone* To = AnyZone(E);
        const int Amount = FPick.Random(5);
        E.AddChange(chRoutingCreated, From->GetIndex(), To->GetIndex(), Amount);
        E.Supply().CreateRouting(From, To, Amount);
        break;
      }
      case 7: {  // A land zone changes hands (its air units may lose their home).
        TBrenmoorZone* Z = AnyZone(E);
        if (Z->GetSea() != 0) break;
        TNation* N = E.GetNation(FPick.Random(E.GetMajorCount()));
        E.AddChange(chZoneConquered, Z->GetIndex(), N->GetIndex(), N->GetIndex());
        Z->SetOwner(N);
        E.Fire(E.OnConquerZone, N, Z);
        break;
      }
      case 8: {  // An army steps to a neighbour and loses organisation, which goes out as the host's value.
        TUnit* U = AnyUnit(E);
        if (!U || U->GetKind() != ukArmy || U->GetTransport()) break;
        TBrenmoorZone* Next = U->GetZone()->GetNeighbor(FPick.Random(U->GetZone()->NeighbourCount()));
        if (Next->GetSea() != 0) break;
        U->MoveToZone(Next, mmImpulse);
        E.AddChange(chUnitOrganization, "0#" + std::to_string(U->ID) + "#" + SingleToStr(U->GetOrganization()) + "#");
        break;
      }
      case 9: {  // A storm comes or moves.
        if (E.GetStormCount() == 0 || FPick.Random(2) == 0) {
          TStorm Storm(E);
          Storm.X = FPick.Random(500);
          Storm.Y = FPick.Random(200);
          Storm.Width = 40;
          Storm.Height = 40;
          E.AddChange(chStormCreated, Storm.SaveToString());
          auto New = std::make_unique<TStorm>(E);
          New->LoadFromString(Storm.SaveToString());
          E.Fire(E.OnCreateStorm, E.AddStorm(std::move(New)));
        } else {
          const int I = FPick.Random(E.GetStormCount());
          TStorm* S = E.GetStorm(I);
          S->X = FPick.Random(500);
          S->Y = FPick.Random(200);
          E.AddChange(chStormMoved, I, S->X, S->Y);
          E.Fire(E.OnMoveStorm, S);
        }
        break;
      }
      case 10: {  // Influence and countdowns that the upkeep counts down.
        TNation* N = AnyNation(E);
        TNation* M = AnyNation(E);
        const int Value = FPick.Random(4);
        N->SetInfluence(M, Value);
        E.AddChange(chInfluence, N->GetIndex(), M->GetIndex(), Value);
        N->SetCountdown(FPick.Random(5));
        E.AddChange(chCountdown, N->GetIndex(), N->GetCountdown());
        break;
      }
      default: break;
    }
    (void)W;
    (void)Impulse;
  }

  TRandomGenerator FPick;
};

}  // namespace

TEST(TwoEngineTest, HostAndGuestStayOneGameOverSeededImpulses) {
  for (std::uint64_t Seed : {1u, 7u, 1940u}) {
    kit::TTwoEngineHarness Harness(Seed);
    TDirector Director(Seed * 31 + 5);
    std::set<int> Codes;
    int Removed = 0;
    Harness.Host().Engine().OnRemoveUnit = [&Removed, Old = Harness.Host().Engine().OnRemoveUnit](TBrenmoorEngine* E, TUnit* U) {
      ++Removed;
      Old(E, U);
    };
    for (int I = 0; I < 300; ++I) {
      const std::string Fault = Harness.RunImpulse(std::ref(Director));
      ASSERT_EQ(Fault, "") << "seed " << Seed;
      for (const std::string& Record : Harness.LastRecords()) Codes.insert(std::stoi(Record));
    }
    // Every kind of record the director writes went through the framing, and units went.
    for (int Code : {1, 10, 13, 14, 26, 27, 28, 30, 31, 32, 43, 53, 54}) EXPECT_TRUE(Codes.count(Code)) << "record " << Code;
    EXPECT_GT(Removed, 0);
    // The game did move: the host wrote records and the world changed.
    EXPECT_NE(kit::DumpState(Harness.Host().Engine()), kit::DumpState(kit::TKitWorld().Engine()));
  }
}

TEST(TwoEngineTest, AMismatchNamesTheImpulseTheLineAndTheRecords) {
  kit::TTwoEngineHarness Harness(3);
  // The host changes a zone's resources without telling anyone.
  const std::string Fault = Harness.RunImpulse([](TKitWorld& W, std::int32_t) {
    W.Engine().AddChange(chCountdown, 1, 2);
    W.N(1)->SetCountdown(2);
    W.Z(kit::kzAlba)->SetFactories(99);
  });
  EXPECT_NE(Fault.find("Impulse 0: "), std::string::npos) << Fault;
  EXPECT_NE(Fault.find("zone0.factories=99"), std::string::npos) << Fault;
  EXPECT_NE(Fault.find("32;1;2;"), std::string::npos) << Fault;
}

TEST(TwoEngineTest, AGuestThatDrawsOrWritesIsCaught) {
  kit::TTwoEngineHarness Harness(3);
  // A drift record replayed as a drift would draw on the guest: here the guest is made to.
  EXPECT_THROW(Harness.Guest().Engine().Diplomacy().DriftRelation(Harness.Guest().N(0), Harness.Guest().N(2), 1), kit::ERulesDraw);
  const std::string Fault = Harness.RunImpulse(nullptr);
  EXPECT_NE(Fault.find("drew"), std::string::npos) << Fault;
}

TEST(TwoEngineTest, FramingCarriesEveryRecordInOrder) {
  const std::vector<std::string> Records{"0;17;42;", "6;;", "30;0;2;-100;"};
  EXPECT_EQ(kit::FrameChanges(12, Records), "CHANGES|12|0;17;42;~6;;~30;0;2;-100;~");
  EXPECT_EQ(kit::UnframeChanges(kit::FrameChanges(12, Records)), Records);
  EXPECT_TRUE(kit::UnframeChanges("CHANGES|3|").empty());
}

// The state hash sees what the dump shows: one changed field anywhere in the game changes it,
// the same state gives the same hash, and what a comparison leaves out (the local view, the
// host's scratch) stays out of it.
TEST(TwoEngineTest, TheStateHashChangesWithEveryFieldTheDumpCompares) {
  using TChange = std::function<void(kit::TKitWorld&)>;
  const kit::TDumpOptions Shared{false, false};
  const kit::TDumpOptions Full;
  struct TCase {
    const char* Name;
    TChange Change;
    bool Shared;  // the field is compared between machines, not only in the full dump
  };
  const std::vector<TCase> Cases = {
      {"date", [](kit::TKitWorld& W) { W.Engine().SetDate(W.Engine().GetDate() + 1e-9); }, true},
      {"world industry", [](kit::TKitWorld& W) { W.Engine().SetWorldIndustry(W.Engine().GetWorldIndustry() + 1); }, true},
      {"free for all", [](kit::TKitWorld& W) { W.Engine().SetFreeForAll(!W.Engine().GetFreeForAll()); }, true},
      {"player name", [](kit::TKitWorld& W) { W.N(1)->SetPlayerName("Anna"); }, true},
      {"routing", [](kit::TKitWorld& W) { W.Engine().Supply().CreateRouting(W.Z(kit::kzAlba), W.Z(kit::kzBrae), 3); }, true},
      {"storm", [](kit::TKitWorld& W) { W.Engine().AddStorm(std::make_unique<TStorm>(W.Engine())); }, true},
      {"relation", [](kit::TKitWorld& W) { W.N(2)->SetRelationDirect(W.N(3), W.N(2)->GetRelation(W.N(3)) + 1); }, true},
      {"nation name", [](kit::TKitWorld& W) { W.N(3)->SetName("Lichtenburh"); }, true},
      {"nation factor", [](kit::TKitWorld& W) { W.N(1)->SetTypeFactor(5, std::nextafter(W.N(1)->GetTypeFactor(5), 9.0f)); }, true},
      {"research level", [](kit::TKitWorld& W) { W.N(0)->SetResearchLevel(7, W.N(0)->GetResearchLevel(7) + 1); }, true},
      {"brain data", [](kit::TKitWorld& W) { W.N(0)->SetBrainData("Plan", "North"); }, true},
      {"zone owner", [](kit::TKitWorld& W) { W.Z(kit::kzHale)->SetOwner(W.N(0)); }, true},
      {"zone resources", [](kit::TKitWorld& W) { W.Z(kit::kzGorse)->SetResources(W.Z(kit::kzGorse)->GetResources() + 0.25f); }, true},
      {"build queue", [](kit::TKitWorld& W) { W.Z(kit::kzAlba)->SetBuildQueue(3, 1); }, true},
      {"unit count", [](kit::TKitWorld& W) { W.UnitIn(kit::kzBrae, 1, ukArmy)->SetCount(3, 5); }, true},
      {"unit organization", [](kit::TKitWorld& W) { W.UnitIn(kit::kzBrae, 1, ukArmy)->SetOrganizationDirect(0.5f); }, true},
      {"unit patrol", [](kit::TKitWorld& W) { W.UnitIn(kit::kzBrae, 1, ukArmy)->SetPatrolStep(1); }, true},
      {"unit name", [](kit::TKitWorld& W) { W.UnitIn(kit::kzBrae, 1, ukArmy)->SetCustomName("Iron"); }, true},
      {"new unit", [](kit::TKitWorld& W) { W.MakeUnit(3, ukArmy, kit::kzFerro, {{utInfantry, 1}}); }, true},
      {"local player", [](kit::TKitWorld& W) { W.N(1)->SetLocalPlayer(true); }, false},
      {"tally", [](kit::TKitWorld& W) { W.Z(kit::kzHale)->SetTally(0, 2, 9); }, false},
      {"damaged", [](kit::TKitWorld& W) { W.UnitIn(kit::kzBrae, 1, ukArmy)->SetDamaged(3, 1); }, false},
      {"sort key", [](kit::TKitWorld& W) { W.UnitIn(kit::kzBrae, 1, ukArmy)->SetSortKey(0.75f); }, false},
  };
  kit::TKitWorld Base;
  ASSERT_EQ(kit::StateHash(Base.Engine()), kit::StateHash(kit::TKitWorld().Engine()));
  ASSERT_EQ(kit::StateHash(Base.Engine(), Shared), kit::StateHash(kit::TKitWorld().Engine(), Shared));
  for (const TCase& Case : Cases) {
    kit::TKitWorld W;
    Case.Change(W);
    ASSERT_NE(kit::DumpState(W.Engine()), kit::DumpState(Base.Engine())) << Case.Name << ": the change shows in the dump";
    EXPECT_NE(kit::StateHash(W.Engine(), Full), kit::StateHash(Base.Engine(), Full)) << Case.Name;
    EXPECT_EQ(kit::StateHash(W.Engine(), Shared) != kit::StateHash(Base.Engine(), Shared), Case.Shared) << Case.Name;
  }

  // Over a played game the hash tells the states apart exactly where their dumps differ.
  kit::TTwoEngineHarness Harness(11);
  TDirector Director(11 * 31 + 5);
  std::set<std::string> Dumps;
  std::set<std::uint64_t> Hashes;
  for (int I = 0; I < 120; ++I) {
    ASSERT_EQ(Harness.RunImpulse(std::ref(Director)), "");
    TBrenmoorEngine& H = Harness.Host().Engine();
    ASSERT_EQ(kit::StateHash(H, Shared), kit::StateHash(Harness.Guest().Engine(), Shared)) << "impulse " << I;
    if (Dumps.insert(kit::DumpState(H)).second) {
      EXPECT_TRUE(Hashes.insert(kit::StateHash(H)).second) << "impulse " << I << ": two different states share a hash";
    }
  }
  EXPECT_EQ(Hashes.size(), Dumps.size());
}
