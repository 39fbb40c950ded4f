// What the zone and units tabs show on the Standard scenario: the industry words, the build
// buttons at the 25-resource edge, the automatic-route text, the units listed without the
// submerged fleets of nations played elsewhere, and the order buttons of a mixed selection.
#include <gtest/gtest.h>

#include "screens/PanelRules.h"
#include "gamemap/StandardGameFixture.h"

namespace {

TEST(PanelRulesTest, TheIndustryLineNamesItsWeight) {
  const struct {
    int Industry;
    const char* Text;
  } Cases[] = {{0, "No Industry [0]"},       {1, "Light Industry [1]"}, {2, "Light Industry [2]"},
               {3, "Moderate Industry [3]"}, {4, "Moderate Industry [4]"}, {5, "Heavy Industry [5]"},
               {12, "Heavy Industry [12]"}};
  for (const auto& C : Cases) EXPECT_EQ(IndustryText(C.Industry), C.Text);
}

class PanelRulesGameTest : public ::testing::Test {
protected:
  PanelRulesGameTest() { G.Nation("Germany")->SetLocalPlayer(true); }
  TStandardGame G;
};

TEST_F(PanelRulesGameTest, ImprovementsNeedTwentyFiveResourcesAndNoBuildingUnderWay) {
  TBrenmoorZone* Berlin = G.Zone("Berlin");
  TNation* Germany = G.Nation("Germany");
  Berlin->SetBuilding(false);
  Berlin->SetFactories(Berlin->GetIndustry() - 1);
  Berlin->SetResources(24.9f);
  TZonePanel P = ZonePanelState(G.Engine, *Berlin, Germany);
  EXPECT_TRUE(P.Land && P.Owned);
  EXPECT_EQ(P.ResourcesText, "24 Resources");
  EXPECT_EQ(P.QuantityMax, 24);
  EXPECT_FALSE(P.BuildFactory);
  EXPECT_FALSE(P.BuildBorderDefense);
  EXPECT_TRUE(P.BuildLand);
  EXPECT_TRUE(P.BuildConvoys);
  Berlin->SetResources(25.0f);
  P = ZonePanelState(G.Engine, *Berlin, Germany);
  EXPECT_TRUE(P.BuildFactory);
  EXPECT_TRUE(P.BuildBorderDefense);
  EXPECT_EQ(P.BuildAirfield, !Berlin->IsAirfield());
  EXPECT_FALSE(P.BuildRockets);  // no Rocket Technology yet
  EXPECT_EQ(P.FlagHint, "Controlled by Germany");
  // A building under way hides every build button.
  Berlin->SetBuilding(true);
  P = ZonePanelState(G.Engine, *Berlin, Germany);
  EXPECT_FALSE(P.BuildFactory || P.BuildBorderDefense || P.BuildLand || P.BuildSea || P.PortZone);
  EXPECT_TRUE(P.Building);
  // A zone routing its resources elsewhere names the target and offers no route.
  Berlin->SetSupplySource(G.Zone("Ruhr"));
  P = ZonePanelState(G.Engine, *Berlin, Germany);
  EXPECT_EQ(P.ResourcesText, "[AR to Ruhr]");
  EXPECT_FALSE(P.RouteResources);
  // A zone played elsewhere shows what it is, but no buttons.
  P = ZonePanelState(G.Engine, *G.Zone("Warsaw"), Germany);
  EXPECT_FALSE(P.Owned);
  EXPECT_FALSE(P.BuildLand);
  EXPECT_EQ(P.FlagHint, "Controlled by Poland");
}

TEST_F(PanelRulesGameTest, SubmergedFleetsOfNationsPlayedElsewhereAreNotListed) {
  TBrenmoorZone* Sea = G.Zone("North Sea");
  Sea->FreeUnits();
  TUnit* Own = G.MakeUnit("Germany", ukNavy, "North Sea", {{utSubmarine, 2}});
  TUnit* Enemy = G.MakeUnit("United Kingdom", ukNavy, "North Sea", {{utSubmarine, 2}});
  TUnit* Surfaced = G.MakeUnit("United Kingdom", ukNavy, "North Sea", {{utCruiser, 1}});
  Own->SetSubmerged(true);
  Enemy->SetSubmerged(true);
  EXPECT_EQ(ListedUnits(*Sea), (std::vector<TUnit*>{Own, Surfaced}));
}

TEST_F(PanelRulesGameTest, TheOrderButtonsAreThoseEverySelectedUnitAllowsAndNoneForAForeignUnit) {
  TBrenmoorZone* Berlin = G.Zone("Berlin");
  Berlin->SetVisibleTo(G.Nation("Germany"), true);
  TUnit* Army = Berlin->GetUnit(0);
  TUnit* Air = Berlin->GetUnit(1);
  TNation* Germany = G.Nation("Germany");
  TUnitPanel P = UnitPanelState(G.Engine, *Berlin, {Army}, Germany);
  EXPECT_TRUE(P.One);
  EXPECT_EQ(P.Allowed, Army->CanTakeOrder());
  EXPECT_TRUE(P.Allowed.Contains(ordMove));
  EXPECT_EQ(P.Divide, Army->CanTakeOrder().Contains(ordDivide));

  P = UnitPanelState(G.Engine, *Berlin, {Army, Air}, Germany);
  EXPECT_FALSE(P.One);
  EXPECT_FALSE(P.Divide);
  for (int O = 0; O < OrderTypeCount; ++O)
    EXPECT_EQ(P.Allowed.Contains(TOrderType(O)),
              Army->CanTakeOrder().Contains(TOrderType(O)) && Air->CanTakeOrder().Contains(TOrderType(O)));

  TUnit* Foreign = G.MakeUnit("Poland", ukArmy, "Berlin", {{utInfantry, 1}});
  EXPECT_TRUE(UnitPanelState(G.Engine, *Berlin, {Army, Foreign}, Germany).Allowed.Empty());
  // A foreign unit listed first is overridden by the first own unit.
  EXPECT_EQ(UnitPanelState(G.Engine, *Berlin, {Foreign, Army}, Germany).Allowed, Army->CanTakeOrder());

  // Two armies of the current nation may be consolidated, unless one carries others.
  G.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 1}});
  EXPECT_TRUE(UnitPanelState(G.Engine, *Berlin, {}, Germany).Consolidate);
  Berlin->SetEmbattled(true);
  EXPECT_FALSE(UnitPanelState(G.Engine, *Berlin, {}, Germany).Consolidate);
  Berlin->SetEmbattled(false);

  // A zone no nation played here sees hides the order controls.
  Berlin->SetSeenBy(0);
  EXPECT_TRUE(UnitPanelState(G.Engine, *Berlin, {Army}, Germany).Hidden);
}

} // namespace

namespace {

TEST_F(PanelRulesGameTest, TheSelectionKeepsOnlyListedUnitsAndChoosesTheirNationWhenPlayedHere) {
  TBrenmoorZone* Berlin = G.Zone("Berlin");
  TNation* Germany = G.Nation("Germany");
  TNation* Italy = G.Nation("Italy");
  TUnit* Army = Berlin->GetUnit(0);
  TUnit* Air = Berlin->GetUnit(1);
  TUnit* Italian = G.MakeUnit("Italy", ukArmy, "Berlin", {{utInfantry, 1}});
  TUnit* Polish = G.MakeUnit("Poland", ukArmy, "Berlin", {{utInfantry, 1}});
  TUnit* Elsewhere = G.MakeUnit("Germany", ukArmy, "Ruhr", {{utInfantry, 1}});
  const std::vector<TUnit*> Listed = ListedUnits(*Berlin);

  const struct {
    std::vector<TUnit*> Selected;
    std::vector<TUnit*> Kept;
  } Kept[] = {
      {{}, {}},
      {{Air, Army}, {Air, Army}},
      {{Elsewhere, Army, Elsewhere}, {Army}},
      {{Army, Army}, {Army}},
  };
  for (const auto& C : Kept) EXPECT_EQ(KeptSelection(Listed, C.Selected), C.Kept);

  // Germany and Italy are played here, Poland is not.
  const std::vector<TNation*> Local{Germany, Italy};
  const struct {
    std::vector<TUnit*> Selected;
    TNation* Current;
    TNation* Chosen;
  } Chosen[] = {
      {{}, Germany, Germany},
      {{Army}, Germany, Germany},
      {{Italian}, Germany, Italy},
      {{Army}, Italy, Germany},
      {{Polish}, Germany, Germany},          // played elsewhere: the current nation stays
      {{Italian, Army}, Germany, Germany},   // the last unit of a nation played here decides
      {{Army, Italian, Polish}, Germany, Italy},
      {{Army}, nullptr, Germany},
  };
  for (const auto& C : Chosen) EXPECT_EQ(NationOfSelection(C.Selected, C.Current, Local), C.Chosen);
}

TEST(PanelRulesTest, EachZoneButtonFollowsItsOwnPartOfTheZonePanel) {
  // Each button that the zone decides shows for its own flag alone; the automatic route and the
  // global orders show on any owned zone.
  const struct {
    TZoneButtonKind Button;
    bool TZonePanel::*Flag;
  } Decided[] = {
      {zbRouteResources, &TZonePanel::RouteResources}, {zbBorderDefense, &TZonePanel::BuildBorderDefense},
      {zbPortZone, &TZonePanel::PortZone},             {zbBuildFactory, &TZonePanel::BuildFactory},
      {zbBuildRockets, &TZonePanel::BuildRockets},     {zbBuildAirfield, &TZonePanel::BuildAirfield},
      {zbBuildPort, &TZonePanel::BuildPort},           {zbBuildConvoys, &TZonePanel::BuildConvoys},
      {zbBuildLand, &TZonePanel::BuildLand},           {zbBuildAir, &TZonePanel::BuildAir},
      {zbBuildSea, &TZonePanel::BuildSea},
  };
  for (const auto& Shown : Decided) {
    TZonePanel Zone;
    Zone.Land = Zone.Owned = true;
    Zone.*Shown.Flag = true;
    for (int B = 0; B < ZoneButtonCount; ++B) {
      const auto Button = static_cast<TZoneButtonKind>(B);
      const bool Always = Button == zbAutoRoute || Button == zbGlobalRoute || Button == zbGlobalClear;
      EXPECT_EQ(ZoneButtonShown(Button, Zone), Always || Button == Shown.Button) << int(Shown.Button) << " " << B;
    }
  }
}

TEST(PanelRulesTest, TheZoneTabsKeysPressTheirButtons) {
  EXPECT_EQ(ZoneButtonOfKey('R'), zbRouteResources);
  EXPECT_EQ(ZoneButtonOfKey('A'), zbAutoRoute);
  EXPECT_EQ(ZoneButtonOfKey('G'), zbGlobalRoute);
  EXPECT_EQ(ZoneButtonOfKey('C'), zbGlobalClear);
  for (char Other : {'B', 'M', 'r', ' ', '\0'}) EXPECT_FALSE(ZoneButtonOfKey(Other).has_value()) << Other;
}

}  // namespace
