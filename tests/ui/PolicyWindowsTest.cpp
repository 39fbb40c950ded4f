// The diplomacy, research and formations windows driven by clicks on the Standard scenario:
// the choices and texts they return, the refusals of a declaration of war, the research
// window's labels, the formations window's jet row and the value still being typed when
// Proceed is pressed, and a picture of each.
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include "controls/ColorProgressBar.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/Nation.h"
#include "platform/WidgetUtils.h"
#include "ui/DiplomacyForm.h"
#include "ui/FormParts.h"
#include "ui/FormationsForm.h"
#include "ui/ResearchForm.h"
#include "ui/UnitLists.h"
#include "ui/StandardWindowsFixture.h"

namespace {

struct DiplomacyTest : StandardWindowsTest {
  void SetUp() override {
    Germany = Game.Nation("Germany");
    Germany->SetAttackWithoutWar(true);
    Form.SetCurrentNation(Germany);
    Form.SetCellFlags(&Flags);
    for (const char* Name : {"Italy", "Japan", "United Kingdom", "USSR", "Sweden", "Poland", "Spain", "Turkey"})
      Form.AddNation(Game.Nation(Name));
    Nations = Form.findChild<TOwnerDrawListBox*>("lbNations");
    DeclareWar = Form.findChild<TBrenmoorOrderButton*>("btnDeclareWar");
    ASSERT_TRUE(Nations && DeclareWar);
  }
  int Row(const char* Name) const {
    for (int I = 0; I < Nations->count(); ++I)
      if (Form.NationOf(I) == Game.Nation(Name)) return I;
    return -1;
  }
  TfrmDiplomacy Form;
  TNation* Germany = nullptr;
  TOwnerDrawListBox* Nations = nullptr;
  TBrenmoorOrderButton* DeclareWar = nullptr;
};

TEST_F(DiplomacyTest, AnActionNeedsANationAndReturnsItWithTheActionsNumber) {
  Germany->SetRelationDirect(Game.Nation("Poland"), -100);
  const int Result = RunModal(Form, [&](QDialog&) {
    EXPECT_EQ(Form.windowTitle(), "Diplomatic/Espionage Actions - Germany");
    auto* Propaganda = FindComponentByTag<TBrenmoorOrderButton>(&Form, 1);
    ASSERT_NE(Propaganda, nullptr);
    EXPECT_EQ(Propaganda->Caption(), "Propaganda");
    QTest::mouseClick(Propaganda, Qt::LeftButton);
    EXPECT_EQ(Prompter.Messages(), std::vector<std::string>{"First Select a Nation"});
    ClickRow(*Nations, Row("Sweden"));
    EXPECT_EQ(Form.findChild<TColorProgressBar*>("progStability")->Value(), Game.Nation("Sweden")->GetStability());
    GrabToPng(Form);
    QTest::mouseClick(Propaganda, Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(Form.Target(), Game.Nation("Sweden"));
  EXPECT_EQ(Form.Action(), 1);
}

TEST_F(DiplomacyTest, DeclaringWarIsRefusedWithoutANationOnAnAllyAndOnAnEnemyAndElseAsksFirst) {
  TNation* Sweden = Game.Nation("Sweden");
  Germany->SetRelationDirect(Sweden, 20);
  Prompter.AnswerNo().AnswerYes();
  const int Result = RunModal(Form, [&](QDialog&) {
    EXPECT_TRUE(DeclareWar->isVisible());
    QTest::mouseClick(DeclareWar, Qt::LeftButton);
    // Never offered against the nation itself, nor against an ally or an enemy.
    Form.AddNation(Germany);
    Form.SelectNation(Germany);
    EXPECT_FALSE(DeclareWar->isVisible());
    Germany->SetRelationDirect(Game.Nation("Spain"), 100);
    Form.SelectNation(Game.Nation("Spain"));
    EXPECT_FALSE(DeclareWar->isVisible());
    Form.SelectNation(Sweden);
    EXPECT_TRUE(DeclareWar->isVisible());
    // The relations move while the window is open.
    Germany->SetRelationDirect(Sweden, 100);
    QTest::mouseClick(DeclareWar, Qt::LeftButton);
    Germany->SetRelationDirect(Sweden, -100);
    QTest::mouseClick(DeclareWar, Qt::LeftButton);
    Germany->SetRelationDirect(Sweden, 20);
    QTest::mouseClick(DeclareWar, Qt::LeftButton);
    EXPECT_TRUE(Form.isVisible());
    QTest::mouseClick(DeclareWar, Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrYes);
  EXPECT_EQ(Form.Target(), Sweden);
  EXPECT_EQ(Prompter.Messages(), (std::vector<std::string>{"First Select a Nation",
                                                          "You cannot Declare War on an Allied Nation",
                                                          "You are already at war with this Nation"}));
  ASSERT_EQ(Prompter.Prompts().size(), 5u);
  EXPECT_EQ(Prompter.Prompts()[4].Text, "Declare War on Sweden?");
}

TEST_F(DiplomacyTest, WithoutAttackWithoutWarThereIsNoDeclareWarAndCancelReturnsCancel) {
  Germany->SetAttackWithoutWar(false);
  const int Result = RunModal(Form, [&](QDialog&) {
    EXPECT_FALSE(DeclareWar->isVisible());
    ClickRow(*Nations, Row("Sweden"));
    EXPECT_FALSE(DeclareWar->isVisible());
    QTest::mouseClick(Form.findChild<TBrenmoorOrderButton*>("btnCancel"), Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrCancel);
}

TEST_F(StandardWindowsTest, TheResearchWindowShowsTheNationsResearchAndReturnsItsAllocation) {
  TNation* Germany = Game.Nation("Germany");
  Germany->SetResearchSpendingTotal(40);
  Germany->SetResearchSpending(0, 5);
  Germany->SetResearchSpending(6, 10);
  Germany->SetResearchProgress(0, 10);
  Germany->SetResearchLevel(0, 11);
  Germany->SetResearchLevel(1, 21);
  Germany->SetResearchLevel(4, 10);
  Germany->SetResearchProgress(6, Game.Engine.GetResearchCost(6));
  Germany->SetResearchProgress(7, static_cast<std::uint16_t>(Game.Engine.GetResearchCost(7) - 1));
  TfrmResearch Form;
  Form.Prepare(Germany);
  EXPECT_EQ(Form.windowTitle(), "Research Options - Germany");
  const auto Label = [&](int Tag) { return FindComponentByTag<QLabel>(&Form, Tag); };
  EXPECT_EQ(Form.findChild<QLabel*>("lblPct")->text(), "40%");
  EXPECT_EQ(Label(10)->text(), "40%");
  EXPECT_EQ(Label(16)->text(), "100%");
  EXPECT_EQ(Label(30)->text(), "12th Upgrade");
  EXPECT_EQ(Label(31)->text(), "22nd Upgrade");
  EXPECT_EQ(Label(32)->text(), "1st Upgrade");
  EXPECT_EQ(Label(34)->text(), "11th Upgrade");
  EXPECT_EQ(Label(33), nullptr);
  EXPECT_TRUE(Form.findChild<QLabel*>("lblJet")->font().bold());
  EXPECT_FALSE(Form.findChild<QLabel*>("lblRocket")->font().bold());
  EXPECT_FALSE(Form.findChild<QLabel*>("lblAtomic")->font().bold());
  EXPECT_EQ(Form.SpendingText(), "40#5#0#0#0#0#0#10#0#");
  const int Result = RunModal(Form, [&](QDialog&) {
    auto* Pct = Form.findChild<QSlider*>("trackPct");
    Pct->setFocus();
    QTest::keyClick(Pct, Qt::Key_PageUp);
    EXPECT_EQ(Form.findChild<QLabel*>("lblPct")->text(), "50%");
    auto* Radar = FindComponentByTag<QSlider>(&Form, 4);
    Radar->setFocus();
    QTest::keyClick(Radar, Qt::Key_Right);
    QTest::keyClick(Radar, Qt::Key_Right);
    GrabToPng(Form);
    QTest::mouseClick(Form.findChild<TBrenmoorOrderButton*>("btnProceed"), Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(Form.SpendingText(), "50#5#0#0#0#2#0#10#0#");
}

TEST_F(StandardWindowsTest, TheFormationsWindowTakesTheValueBeingTypedAndShowsJetsOnlyOnceResearched) {
  TNation* Germany = Game.Nation("Germany");
  TfrmFormations Form;
  Form.SetCurrentNation(Germany);
  for (int T = 0; T < UnitTypeCount; ++T)
    if (QSpinBox* Spin = Form.Spin(T)) {
      EXPECT_EQ(FindComponentByTag<QSpinBox>(&Form, T), Spin);
      EXPECT_EQ(Spin->value(), 10);
      EXPECT_EQ(Spin->singleStep(), 5);
      Spin->setValue(10 + 5 * T);
    }
  EXPECT_EQ(Form.Spin(utAtomicBomber), nullptr);
  const int Result = RunModal(Form, [&](QDialog&) {
    EXPECT_FALSE(Form.findChild<QLabel*>("lblJet")->isVisible());
    EXPECT_FALSE(Form.findChild<QSpinBox*>("spinJet")->isVisible());
    // "5" is on its way to a weight but out of range as it stands.
    QSpinBox* Infantry = Form.Spin(utInfantry);
    Infantry->setFocus();
    Infantry->selectAll();
    QTest::keyClicks(Infantry, "5");
    EXPECT_EQ(Infantry->findChild<QLineEdit*>()->text(), "5");
    GrabToPng(Form);
    QTest::mouseClick(Form.findChild<TBrenmoorOrderButton*>("btnProceed"), Qt::LeftButton);
  });
  EXPECT_EQ(Result, mrOk);
  EXPECT_EQ(Form.Spin(utInfantry)->value(), 10);
  EXPECT_EQ(Form.FormationText(), "10#15#20#10#30#35#40#45#-#55#60#65#70#75#80#85#");

  Germany->SetResearchProgress(6, Game.Engine.GetResearchCost(6));
  const int Again = RunModal(Form, [&](QDialog&) {
    EXPECT_TRUE(Form.findChild<QLabel*>("lblJet")->isVisible());
    EXPECT_TRUE(Form.findChild<QSpinBox*>("spinJet")->isVisible());
    GrabToPng(Form, "jets");
  });
  EXPECT_EQ(Again, mrCancel);
}

}  // namespace
