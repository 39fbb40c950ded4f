// The divide-unit and build-unit windows driven by clicks: what a click, a held arrow and a
// double click move, when Proceed shows, what the windows return, how an open divide window
// follows the unit after an impulse, and a picture of each with Standard-scenario forces; the
// start-up makes these windows and the policy windows as their own classes.
#include <QLineEdit>
#include <QSpinBox>

#include "controls/GraphicPanel.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "platform/RegistryManager.h"
#include "platform/ThreadTimer.h"
#include "ui/BuildUnitForm.h"
#include "ui/DiplomacyForm.h"
#include "ui/DivideUnitForm.h"
#include "ui/FormParts.h"
#include "ui/FormationsForm.h"
#include "ui/GameWindows.h"
#include "ui/ResearchForm.h"
#include "ui/UnitLists.h"
#include "ui/StandardWindowsFixture.h"

namespace {

struct DivideUnitTest : StandardWindowsTest {
  void SetUp() override {
    Unit = Game.MakeUnit("Germany", ukArmy, "Berlin", {{utInfantry, 3}, {utArmor, 2}});
    Germany = Game.Nation("Germany")->GetIndex();
    Form.SetUnit(Unit);
    Parent = Form.findChild<TBrenmoorForcesListBox*>("lbParent");
    New = Form.findChild<TBrenmoorForcesListBox*>("lbNew");
    Proceed = Form.findChild<TBrenmoorOrderButton*>("btnProceed");
    Right = Form.findChild<TBrenmoorOrderButton*>("btnRightArrow");
    ASSERT_TRUE(Parent && New && Proceed && Right);
  }
  TfrmDivideUnit Form;
  TUnit* Unit = nullptr;
  int Germany = 0;
  TBrenmoorForcesListBox* Parent = nullptr;
  TBrenmoorForcesListBox* New = nullptr;
  TBrenmoorOrderButton* Proceed = nullptr;
  TBrenmoorOrderButton* Right = nullptr;
};

TEST_F(DivideUnitTest, AClickOnTheArrowMovesOneAndProceedReturnsTheNewUnitsForces) {
  const int Result = RunModal(Form, [&](QDialog&) {
    // On show the parent's first type is chosen, and nothing can be divided yet.
    EXPECT_EQ(Parent->currentRow(), 0);
    EXPECT_FALSE(Proceed->isVisible());
    QTest::mousePress(Right, Qt::LeftButton);
    EXPECT_TRUE(RunUntil([&] { return New->GetQty(utInfantry, Germany) == 1; }));
    QTest::mouseRelease(Right, Qt::LeftButton);
    QTest::qWait(50);
    EXPECT_EQ(New->GetQty(utInfantry, Germany), 1);
    EXPECT_EQ(Parent->GetQty(utInfantry, Germany), 2);
    EXPECT_FALSE(Form.timerDivide().Enabled());
    EXPECT_TRUE(Proceed->isVisible());
    // A double click moves a whole type, both ways; a unit moved whole cannot be divided.
    DoubleClickRow(*Parent, 1);
    EXPECT_EQ(Parent->count(), 1);
    EXPECT_EQ(New->GetQty(utArmor, Germany), 2);
    DoubleClickRow(*Parent, 0);
    EXPECT_EQ(Parent->count(), 0);
    EXPECT_EQ(New->GetQty(utInfantry, Germany), 3);
    EXPECT_FALSE(Proceed->isVisible());
    DoubleClickRow(*New, 0);
    EXPECT_EQ(Parent->GetQty(utInfantry, Germany), 3);
    EXPECT_TRUE(Proceed->isVisible());
    GrabToPng(Form);
    QTest::mouseClick(Proceed, Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(Form.NewForcesText(), "0#0#0#0#2#0#0#0#0#0#0#0#0#0#0#0#");
}

TEST_F(DivideUnitTest, AHeldArrowRepeatsFasterDownToEveryHundredMilliseconds) {
  Parent->setCurrentRow(0);
  QTest::mousePress(Right, Qt::LeftButton);
  TThreadedTimer& Timer = Form.timerDivide();
  EXPECT_TRUE(Timer.Enabled());
  EXPECT_EQ(Timer.Interval(), 500);
  const int Intervals[] = {400, 320, 256, 205, 164};
  for (const int Interval : Intervals) {
    Timer.OnTimer(&Timer);
    EXPECT_EQ(Timer.Interval(), Interval);
  }
  // Five steps moved the three infantry and then the two armor, each time from the first row.
  EXPECT_EQ(Parent->count(), 0);
  EXPECT_EQ(New->GetQty(utInfantry, Germany), 3);
  EXPECT_EQ(New->GetQty(utArmor, Germany), 2);
  for (int I = 0; I < 4; ++I) Timer.OnTimer(&Timer);
  EXPECT_EQ(Timer.Interval(), 100);
  QTest::mouseRelease(Right, Qt::LeftButton);
  EXPECT_FALSE(Timer.Enabled());
}

TEST_F(DivideUnitTest, AfterAnImpulseTheSidesFollowTheUnitAndTheWindowClosesWhenItIsGone) {
  const int Result = RunModal(Form, [&](QDialog&) {
    DoubleClickRow(*Parent, 0);
    ASSERT_EQ(New->GetQty(utInfantry, Germany), 3);
    // Losses come off the new unit first; reinforcements join the parent.
    Unit->SetCount(utInfantry, 1);
    Unit->SetCount(utArmor, 4);
    Form.RefreshForUnit(Unit);
    EXPECT_EQ(New->GetQty(utInfantry, Germany), 1);
    EXPECT_EQ(Parent->GetQty(utInfantry, Germany), 0);
    EXPECT_EQ(Parent->GetQty(utArmor, Germany), 4);
    EXPECT_TRUE(Form.isVisible());
    // The unit is destroyed in the next impulse.
    Form.RefreshForUnit(nullptr);
    EXPECT_FALSE(Form.isVisible());
  });
  EXPECT_EQ(Result, mrCancel);
  // A unit caught in battle closes it as well.
  Form.SetUnit(Unit);
  const int Embattled = RunModal(Form, [&](QDialog&) {
    Unit->GetZone()->SetEmbattled(true);
    Form.RefreshForUnit(Unit);
    EXPECT_FALSE(Form.isVisible());
  });
  EXPECT_EQ(Embattled, mrCancel);
}

struct BuildUnitTest : StandardWindowsTest {
  void SetUp() override {
    Germany = Game.Nation("Germany");
    Berlin = Game.Zone("Berlin");
    Berlin->SetFactories(3);
    Berlin->SetResources(10.0f);
    Forces = Form.findChild<TBrenmoorForcesListBox*>("lbForces");
    Qty = Form.findChild<QSpinBox*>("spinQty");
    Proceed = Form.findChild<TBrenmoorOrderButton*>("btnProceed");
    ASSERT_TRUE(Forces && Qty && Proceed);
  }
  QString Panel(const char* Name) const { return Form.findChild<TGraphicPanel*>(Name)->Caption(); }
  TfrmBuildUnit Form;
  TNation* Germany = nullptr;
  TBrenmoorZone* Berlin = nullptr;
  TBrenmoorForcesListBox* Forces = nullptr;
  QSpinBox* Qty = nullptr;
  TBrenmoorOrderButton* Proceed = nullptr;
};

TEST_F(BuildUnitTest, ProceedShowsWhileTheCostIsAtMostTheResourcesAndADoubleClickTakesTheMost) {
  Form.Prepare(ukArmy, Germany, Berlin);
  EXPECT_EQ(Form.windowTitle(), "Build Army");
  ASSERT_EQ(Forces->count(), 4);
  const int Result = RunModal(Form, [&](QDialog&) {
    ClickRow(*Forces, 2);
    EXPECT_EQ(Forces->SelectedType(), utInfantry);
    EXPECT_EQ(Panel("gpnlUnitCost"), "Unit Cost: 2");
    Qty->setValue(5);
    EXPECT_EQ(Forces->GetQty(utInfantry, Germany->GetIndex()), 5);
    EXPECT_EQ(Panel("gpnlCost"), "Total Cost: 10");
    EXPECT_EQ(Panel("gpnlAvailable"), "Resources Available: 10");
    EXPECT_EQ(Panel("gpnlETA"), "Turns to Complete: 2");
    EXPECT_TRUE(Proceed->isVisible());
    Qty->setValue(6);
    EXPECT_FALSE(Proceed->isVisible());
    // One armor chosen too, then the most infantry the zone can still pay: (10 - 4) / 2.
    ClickRow(*Forces, 3);
    Qty->setValue(1);
    ClickRow(*Forces, 2);
    EXPECT_EQ(Qty->value(), 6);
    DoubleClickRow(*Forces, 2);
    EXPECT_EQ(Qty->value(), 3);
    EXPECT_TRUE(Proceed->isVisible());
    GrabToPng(Form);
    QTest::mouseClick(Proceed, Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrOk);
  const TForceCounts Counts = Form.Quantities();
  EXPECT_EQ(Counts[utInfantry], 3);
  EXPECT_EQ(Counts[utArmor], 1);
  EXPECT_EQ(ForceCountsText(Counts), "0#0#0#3#1#0#0#0#0#0#0#0#0#0#0#0#");
}

TEST_F(BuildUnitTest, AZoneWithoutFactoriesOffersOnlyMerchantShipsAndCancelReturnsCancel) {
  Berlin->SetFactories(0);
  Form.Prepare(ukNavy, Germany, Berlin);
  EXPECT_EQ(Form.windowTitle(), "Build Navy");
  ASSERT_EQ(Forces->count(), 1);
  EXPECT_EQ(Forces->TypeOf(0), utMerchantShip);
  const int Result = RunModal(Form, [&](QDialog&) {
    QTest::mouseDClick(Qty->findChild<QLineEdit*>(), Qt::LeftButton);
    EXPECT_EQ(Qty->value(), 2);
    EXPECT_EQ(Panel("gpnlCost"), "Total Cost: 10");
    QTest::mouseClick(Form.findChild<TBrenmoorOrderButton*>("btnCancel"), Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrCancel);
}

}  // namespace

namespace {

TEST_F(StandardWindowsTest, StartUpMakesTheOrderAndPolicyWindowsAsTheirOwnClasses) {
  TBrenmoorForms Forms(std::make_unique<TRegistryManager>(Settings.FileName()));
  EXPECT_NE(dynamic_cast<TfrmDivideUnit*>(Forms.Form("frmDivideUnit")), nullptr);
  EXPECT_NE(dynamic_cast<TfrmBuildUnit*>(Forms.Form("frmBuildUnit")), nullptr);
  EXPECT_NE(dynamic_cast<TfrmDiplomacy*>(Forms.Form("frmDiplomacy")), nullptr);
  EXPECT_NE(dynamic_cast<TfrmResearch*>(Forms.Form("frmResearch")), nullptr);
  EXPECT_NE(dynamic_cast<TfrmFormations*>(Forms.Form("frmFormations")), nullptr);
}

}  // namespace
