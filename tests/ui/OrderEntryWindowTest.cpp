// Orders given on the game screen of the Standard scenario: the order buttons and the map's
// zone clicks in their modes, the questions answered through the scripted prompter, Esc and
// Enter, the records reaching the impulse clock and the rules moving the units at the impulse.
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QLineEdit>
#include <QLabel>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <QTimer>
#include <array>
#include <functional>
#include <optional>
#include <algorithm>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "controls/ColorButton.h"
#include "controls/ColorProgressBar.h"
#include "controls/GraphicPanel.h"
#include "controls/ModalSteps.h"
#include "ui/DiplomacyForm.h"
#include "ui/FormParts.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/Unit.h"
#include "engine/kit/Records.h"
#include "foundation/NumberText.h"
#include "foundation/StringUtils.h"
#include "screens/OrderEntry.h"
#include "platform/RegistryManager.h"
#include "platform/SpriteSurfaceView.h"
#include "sprites/ZoneSpriteSurface.h"
#include "platform/WidgetUtils.h"
#include "support/GuiTest.h"
#include "ui/StandardGameScreen.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/OrdersPanel.h"
#include "screens/PanelRules.h"
#include "screens/PolicyRules.h"
#include "ui/DivideUnitForm.h"
#include "ui/FormationsForm.h"
#include "ui/ResearchForm.h"
#include "ui/UnitLists.h"

namespace {

struct OrderEntryWindowTest : TGuiTest {
  std::unique_ptr<TBrenmoorForms> Forms;

  // The main window on the Standard scenario's game screen, the nations of Played played here
  // by "Ann", the first one current.
  TfrmMain& StartGame(const std::vector<std::string>& Played = {"Germany"}) {
    Forms = StartStandardGameScreen(Settings, Played);
    return Forms->Main();
  }
  static TBrenmoorZone* Zone(TfrmMain& Main, const char* Name) { return Main.brm().FindZoneByName(Name); }
  static void Click(TfrmMain& Main, const char* Button) {
    auto* Control = Main.findChild<TColorButton*>(Button);
    ASSERT_NE(Control, nullptr) << Button;
    ClickControl(Control);
  }
  // Chooses Units in the units list as a player's clicks do.
  static void Select(TfrmMain& Main, const std::vector<TUnit*>& Units) {
    auto* List = Main.findChild<TBrenmoorUnitListBox*>("lbUnits");
    List->clearSelection();
    for (int I = 0; I < List->count(); ++I)
      if (std::find(Units.begin(), Units.end(), List->Units(I)) != Units.end()) List->item(I)->setSelected(true);
  }
  static std::vector<std::string> Orders(TfrmMain& Main) {
    std::vector<std::string> Records;
    std::string Text = Main.rte().GetOrdersBuffer();
    while (!Text.empty()) Records.push_back(NextToken(Text, "~"));
    return Records;
  }
  static std::string Label(TfrmMain& Main, const char* Name) {
    return Main.findChild<QLabel*>(Name)->text().toStdString();
  }
};

TEST_F(OrderEntryWindowTest, OrdersGivenByClicksAndKeysReachTheClockAndMoveTheUnitsAtTheImpulse) {
  TfrmMain& Main = StartGame();
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  TUnit* Army = Berlin->GetUnit(0);
  TUnit* Air = Berlin->GetUnit(1);
  ASSERT_EQ(Army->GetKind(), ukArmy);

  // No order mode while no game runs.
  Main.surfaceZoneClick(Berlin);
  EXPECT_EQ(Main.SelectedZone(), Berlin);
  Select(Main, {Army});
  Click(Main, "btnMove");
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  EXPECT_FALSE(Main.findChild<QWidget*>("pnlOrderTarget")->isVisible());

  // The order buttons are those the selection allows.
  auto Shown = [&](const char* Name) { return Main.findChild<QWidget*>(Name)->isVisible(); };
  EXPECT_TRUE(Shown("btnMove"));
  EXPECT_TRUE(Shown("btnEmbark"));
  EXPECT_FALSE(Shown("btnPatrol"));
  EXPECT_FALSE(Shown("btnAirStrike"));
  // Routing the zone's resources is an order of the zone: it waits on the zone tab.
  EXPECT_FALSE(Shown("btnAutoRoute"));
  EXPECT_TRUE(Main.findChild<QWidget*>("btnAutoRoute")->isVisibleTo(Main.findChild<QWidget*>("tabZone")));

  // The space bar centres on the capital only while a game runs.
  TZoneSpriteSurface& Surface = Main.surface();
  Surface.SetOffsetX(0);
  QTest::keyClick(&Main, Qt::Key_Space);
  EXPECT_EQ(Surface.GetOffsetX(), 0);
  Main.rte().SetActive(true);
  QTest::keyClick(&Main, Qt::Key_Space);
  EXPECT_NEAR(Surface.GetOffsetX() + Surface.GetWidth() / 2, Berlin->GetCenterX(), 2);

  Click(Main, "btnMove");
  EXPECT_EQ(Main.Orders().OrderMode(), omMove);
  EXPECT_TRUE(Main.findChild<QWidget*>("pnlOrderTarget")->isVisible());
  EXPECT_FALSE(Main.findChild<QWidget*>("pageControls")->isVisible());
  EXPECT_EQ(Label(Main, "lblOrderTarget"), "Click Destination Zone");
  // A zone out of reach is refused and the mode stays.
  Main.surfaceZoneClick(Zone(Main, "Warsaw"));
  EXPECT_EQ(Label(Main, "lblOrderError"), "Unit cannot reach the Destination Zone");
  EXPECT_TRUE(Main.findChild<QWidget*>("lblOrderError")->isVisible());
  // The refusal reads in the prompt's face, not the window's display face.
  EXPECT_EQ(Main.findChild<QWidget*>("lblOrderError")->font(), Main.findChild<QWidget*>("lblOrderTarget")->font());
  EXPECT_EQ(Main.Orders().OrderMode(), omMove);
  // Esc leaves the mode, with the tabs in front again.
  QTest::keyClick(&Main, Qt::Key_Escape);
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  EXPECT_TRUE(Main.findChild<QWidget*>("pageControls")->isVisible());

  // Next to Poland the move asks to invade; Yes queues the invasion.
  Click(Main, "btnMove");
  Prompter.AnswerYes();
  Main.surfaceZoneClick(Zone(Main, "Poznan"));
  ASSERT_FALSE(Prompter.Prompts().empty());
  EXPECT_EQ(Prompter.Prompts().back().Text, "Invade Poznan?");
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);

  // A patrol of the Baltic fleet ends with Enter.
  TBrenmoorZone* Baltic = Zone(Main, "Baltic Sea");
  TUnit* Fleet = Main.brm().AddUnit(std::make_unique<TUnit>(Main.brm(), Main.CurrentNation(), ukNavy), Baltic);
  Fleet->SetCount(utDestroyer, 3);
  ASSERT_TRUE(Fleet->CanTakeOrder().Contains(ordPatrol));
  Main.surfaceZoneClick(Baltic);
  Select(Main, {Fleet});
  Click(Main, "btnPatrol");
  Main.surfaceZoneClick(Zone(Main, "North Sea"));
  EXPECT_TRUE(Main.findChild<QWidget*>("btnOrderProceed")->isVisible());
  QTest::keyClick(&Main, Qt::Key_Return);
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);

  // The air force strikes Krakow; the army moves to the Ruhr.
  Main.surfaceZoneClick(Berlin);
  Select(Main, {Air});
  Click(Main, "btnAirStrike");
  EXPECT_EQ(Label(Main, "lblOrderTarget"), "Click a target Zone within 4 Zones of your Base");
  Main.surfaceZoneClick(Zone(Main, "Krakow"));
  Select(Main, {Army});
  Click(Main, "btnMove");
  Main.surfaceZoneClick(Zone(Main, "Ruhr"));

  const std::vector<std::string> Expected{
      rec::Invade(Army, Zone(Main, "Poznan")->GetIndex()),
      rec::Patrol(Fleet, rec::Zones({Baltic->GetIndex(), Zone(Main, "North Sea")->GetIndex()})),
      rec::AirStrike(Air, Zone(Main, "Krakow")->GetIndex()), rec::Move(Army, Zone(Main, "Ruhr")->GetIndex())};
  EXPECT_EQ(Orders(Main), Expected);
  GrabToPng(Main);
  Main.rte().SetActive(false);

  // The rules take the orders at the impulse: the last order of the army counts.
  for (const std::string& Record : Expected) Main.brm().QueueOrder(Record, "Ann");
  Main.brm().SetImpulse(1);
  Main.brm().ProcessImpulse();
  EXPECT_EQ(Fleet->GetOrder(), ordPatrol);
  EXPECT_EQ(Air->GetOrder(), ordAirStrike);
  for (int Impulse = 2; Impulse <= 10 && Army->GetZone() != Zone(Main, "Ruhr"); ++Impulse) {
    Main.brm().SetImpulse(Impulse);
    Main.brm().ProcessImpulse();
  }
  EXPECT_EQ(Army->GetZone(), Zone(Main, "Ruhr"));
}

TEST_F(OrderEntryWindowTest, TheMapShowsTheOrderLinesAndTheMovingSupplyDotsWithoutChangingTheGame) {
  TfrmMain& Main = StartGame();
  Main.Orders().scrollerCenter();
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  // Orders of the kinds the map draws, and two zones whose resources go to Berlin.
  TUnit* Army = Berlin->GetUnit(0);
  Army->SetOrder(ordMove);
  Army->SetDestinationZone(Zone(Main, "Poznan"));
  TUnit* Air = Berlin->GetUnit(1);
  Air->SetOrder(ordMove);
  Air->SetDestinationZone(Zone(Main, "Krakow"));
  TUnit* East = Zone(Main, "East Prussia")->GetUnit(0);
  East->SetOrder(ordInvade);
  East->SetDestinationZone(Zone(Main, "Warsaw"));
  Zone(Main, "Ruhr")->SetSupplySource(Berlin);
  Zone(Main, "Hamburg")->SetSupplySource(Berlin);
  Main.surfaceZoneClick(Berlin);
  Select(Main, {Army});
  ClickControl(Main.findChild<TColorButton*>("btnShowOrders"));
  ASSERT_TRUE(Main.findChild<TColorButton*>("btnShowOrders")->Down());

  const std::string Before = Main.brm().SaveToString();
  TZoneSpriteSurface& Surface = Main.surface();
  Surface.SetActive(true);
  const int Start = Main.surfaceView().FramesShown();
  ASSERT_TRUE(RunUntil([&] { return Main.surfaceView().FramesShown() > Start + 10; }));
  GrabToPng(Main);
  Surface.SetActive(false);
  EXPECT_EQ(Main.brm().SaveToString(), Before);
}

TEST_F(OrderEntryWindowTest, AZoneClickListsItsUnitsAndChoosesTheFirstAndTheListSelectsWithTheirForces) {
  // Italy played here as well, Germany the current nation.
  TfrmMain& Main = StartGame({"Germany", "Italy"});
  TNation* Germany = Main.CurrentNation();
  TNation* Italy = Main.brm().FindNation("Italy");
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  TUnit* Army = Berlin->GetUnit(0);
  TUnit* Air = Berlin->GetUnit(1);
  TUnit* Italian = Main.brm().AddUnit(std::make_unique<TUnit>(Main.brm(), Italy, ukArmy), Berlin);
  Italian->SetCount(utInfantry, 2);
  TUnit* Sub = Main.brm().AddUnit(std::make_unique<TUnit>(Main.brm(), Main.brm().FindNation("Poland"), ukNavy), Berlin);
  Sub->SetCount(utSubmarine, 1);
  Sub->SetSubmerged(true);
  auto* Units = Main.findChild<TBrenmoorUnitListBox*>("lbUnits");
  auto* Forces = Main.findChild<TBrenmoorForcesListBox*>("lbForces");
  ASSERT_NE(Units, nullptr);
  ASSERT_NE(Forces, nullptr);
  auto ForcesRowsOf = [](const std::vector<TUnit*>& Of) {
    int Rows = 0;
    for (TUnit* Unit : Of)
      for (int T = 0; T < UnitTypeCount; ++T) Rows += Unit->GetCount(T) != 0;
    return Rows;
  };

  // The zone's units are listed, the enemy's submerged fleet not; the first is chosen.
  Main.surfaceZoneClick(Berlin);
  EXPECT_EQ(Units->count(), Berlin->GetUnitCount() - 1);
  for (int I = 0; I < Units->count(); ++I) EXPECT_NE(Units->Units(I), Sub);
  EXPECT_EQ(Main.Orders().SelectedUnitCount(), 1);
  EXPECT_EQ(Main.SelectedUnit(0), Units->Units(0));
  EXPECT_EQ(Main.SelectedUnit(1), nullptr);
  EXPECT_EQ(Main.SelectedUnits(), std::vector<TUnit*>{Units->Units(0)});
  EXPECT_EQ(Forces->count(), ForcesRowsOf({Units->Units(0)}));
  EXPECT_EQ(Main.CurrentNation(), Germany);

  // Two units chosen: both selected, in the list's order, with the forces of both.
  Select(Main, {Air, Army});
  EXPECT_EQ(Main.Orders().SelectedUnitCount(), 2);
  EXPECT_EQ(Forces->count(), ForcesRowsOf({Army, Air}));
  EXPECT_TRUE(Main.findChild<QWidget*>("btnMove")->isVisible() || !Air->CanTakeOrder().Contains(ordMove));

  // A unit of the other nation played here makes it the current nation.
  Select(Main, {Italian});
  EXPECT_EQ(Main.SelectedUnit(0), Italian);
  EXPECT_EQ(Main.CurrentNation(), Italy);
  EXPECT_EQ(Main.findChild<QComboBox*>("cmbCurrentNation")->currentIndex(), 1);

  // Listing the zone again keeps the units still here; a unit gone leaves the selection.
  Select(Main, {Army, Italian});
  Italian->MoveToZone(Zone(Main, "Ruhr"), mmImpulse);
  ASSERT_EQ(Italian->GetZone(), Zone(Main, "Ruhr"));
  Main.UpdateInfoPanels();
  EXPECT_EQ(Main.SelectedUnits(), std::vector<TUnit*>{Army});
  EXPECT_EQ(Forces->count(), ForcesRowsOf({Army}));
}

TEST_F(OrderEntryWindowTest, TheButtonsThatOrderAtOnceQueueTheirRecordsAndHideWhenDone) {
  TfrmMain& Main = StartGame();
  Main.rte().SetActive(true);
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  Berlin->SetBuilding(false);
  Berlin->SetFactories(Berlin->GetIndustry() - 1);
  Berlin->SetResources(30.0f);
  TUnit* Army = Berlin->GetUnit(0);
  Army->SetOrder(ordMove);
  Army->SetDestinationZone(Zone(Main, "Ruhr"));
  Main.surfaceZoneClick(Berlin);
  ASSERT_EQ(Main.SelectedUnits(), std::vector<TUnit*>{Army});
  const int B = Berlin->GetIndex();
  auto Shown = [&](const char* Name) { return Main.findChild<QWidget*>(Name)->isVisible(); };

  // The army's orders are cleared, and the button goes with them.
  ASSERT_TRUE(Shown("btnClearOrders"));
  Click(Main, "btnClearOrders");
  EXPECT_FALSE(Shown("btnClearOrders"));
  EXPECT_FALSE(Shown("btnKamakaze"));  // not an order an army takes

  // On the zone tab: a factory, then the global route at the depth chosen.
  Main.findChild<QTabWidget*>("pageControls")->setCurrentIndex(1);
  ASSERT_TRUE(Shown("pnlZoneOwned"));
  ASSERT_TRUE(Shown("btnBuildFactory"));
  Click(Main, "btnBuildFactory");
  EXPECT_FALSE(Shown("btnBuildFactory"));
  Main.findChild<QSpinBox*>("spinGlobalRouteDepth")->setValue(2);
  Click(Main, "btnGlobalRoute");
  Click(Main, "btnGlobalClear");
  // A zone played elsewhere offers none of them.
  Main.surfaceZoneClick(Zone(Main, "Warsaw"));
  EXPECT_FALSE(Shown("pnlZoneOwned"));

  // A double click renames a unit played here; a name the record cannot carry is refused.
  Main.surfaceZoneClick(Berlin);
  Main.findChild<QTabWidget*>("pageControls")->setCurrentIndex(0);
  auto* Units = Main.findChild<TBrenmoorUnitListBox*>("lbUnits");
  Prompter.AnswerText("Panzer Group North");
  // The list's double-click signal, as a double click on the first row sends it (a synthetic
  // mouse double click depends on the timing of the machine).
  emit Units->itemDoubleClicked(Units->item(0));
  ASSERT_FALSE(Prompter.Prompts().empty());
  EXPECT_EQ(Prompter.Prompts().back().Text, "New Name:");
  Prompter.AnswerText("North;South");
  Main.Orders().lbUnitsDblClick(Army);
  EXPECT_EQ(Prompter.Prompts().back().Kind, pkMessage);

  const int Germany = Main.CurrentNation()->GetIndex();
  EXPECT_EQ(Orders(Main), (std::vector<std::string>{rec::None(Army), rec::BuildFactory(B), rec::GlobalRoute(B, 2),
                                                    rec::GlobalClear(Germany), rec::RenameUnit(Army, "Panzer Group North")}));
  Main.rte().SetActive(false);
}


// Steps done in the next modal window, a click on one of its buttons last.
std::unique_ptr<QTimer> Then(std::function<void(QDialog&)> Steps, const char* Button) {
  return WhenModal([Steps, Button](QDialog& Window) {
    if (Steps) Steps(Window);
    auto* Control = Window.findChild<TColorButton*>(Button);
    ASSERT_NE(Control, nullptr) << Button;
    QTest::mouseClick(Control, Qt::LeftButton);
  });
}

TEST_F(OrderEntryWindowTest, TheWindowsOfOrdersGiveTheirChoicesAsOrdersAndDiplomacyShowsItsNotices) {
  // Italy played here as well, Germany the current nation.
  TfrmMain& Main = StartGame({"Germany", "Italy"});
  TNation* Germany = Main.CurrentNation();
  TNation* Italy = Main.brm().FindNation("Italy");
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  Berlin->SetBuilding(false);
  Berlin->SetResources(40.0f);
  TUnit* Army = Berlin->GetUnit(0);
  const int G = Germany->GetIndex();
  const int B = Berlin->GetIndex();
  auto Shown = [&](const char* Name) { return Main.findChild<QWidget*>(Name)->isVisible(); };

  // No window opens while no game runs.
  Main.surfaceZoneClick(Berlin);
  {
    auto Armed = WhenModal([](QDialog&) { ADD_FAILURE() << "a window opened while no game runs"; });
    Main.Orders().btnResearchClick();
    Main.Orders().btnFormationsClick();
    Main.Orders().btnDiplomacyClick();
    Main.Orders().BuildUnits(ukArmy);
  }
  Main.rte().SetActive(true);

  // Divide: the first infantry go into a new unit.
  ASSERT_EQ(Main.SelectedUnits(), std::vector<TUnit*>{Army});
  ASSERT_TRUE(Shown("btnDivide"));
  std::string NewForces;
  {
    auto Armed = Then(
        [&](QDialog& Window) {
          auto* Parent = Window.findChild<TBrenmoorForcesListBox*>("lbParent");
          // A double click moves the whole first type across.
          const QPoint At = Parent->visualItemRect(Parent->item(0)).center();
          QTest::mouseClick(Parent->viewport(), Qt::LeftButton, {}, At);
          QTest::mouseDClick(Parent->viewport(), Qt::LeftButton, {}, At);
          NewForces = static_cast<TfrmDivideUnit&>(Window).NewForcesText();
        },
        "btnProceed");
    Click(Main, "btnDivide");
  }

  // Build: five infantry in Berlin, from the zone tab.
  Main.findChild<QTabWidget*>("pageControls")->setCurrentIndex(1);
  ASSERT_TRUE(Shown("btnBuildLand"));
  {
    auto Armed = Then(
        [&](QDialog& Window) {
          auto* Forces = Window.findChild<TBrenmoorForcesListBox*>("lbForces");
          for (int I = 0; I < Forces->count(); ++I)
            if (Forces->TypeOf(I) == utInfantry) Forces->setCurrentRow(I);
          Window.findChild<QSpinBox*>("spinQty")->setValue(5);
        },
        "btnProceed");
    Click(Main, "btnBuildLand");
  }

  // Formations: the weights start at the nation's and go to both nations played here.
  Germany->SetUnitCost(utInfantry, 35);
  {
    auto Armed = Then(
        [&](QDialog& Window) {
          auto* Infantry = static_cast<TfrmFormations&>(Window).Spin(utInfantry);
          EXPECT_EQ(Infantry->value(), 35);
          Infantry->setValue(60);
        },
        "btnProceed");
    Click(Main, "btnFormations");
  }
  std::string Weights;
  {
    std::array<std::optional<std::int32_t>, UnitTypeCount> W;
    for (int T = 0; T < UnitTypeCount; ++T)
      if (T != utAtomicBomber) W[static_cast<std::size_t>(T)] = T == utInfantry ? 60 : Germany->GetUnitCost(T);
    Weights = FormationText(W);
  }

  // Research: the window's allocation as it stands.
  std::string Spending;
  {
    auto Armed = Then([&](QDialog& Window) { Spending = static_cast<TfrmResearch&>(Window).SpendingText(); }, "btnProceed");
    Click(Main, "btnResearch");
  }

  // Diplomacy: propaganda in Sweden with its notice in cyan; pressure on a major power is
  // refused in red; war on Sweden after the question.
  auto* Diplomacy = dynamic_cast<TfrmDiplomacy*>(Forms->Form("frmDiplomacy"));
  ASSERT_NE(Diplomacy, nullptr);
  TNation* Sweden = Main.brm().FindNation("Sweden");
  TNation* Britain = Main.brm().FindNation("United Kingdom");
  for (TNation* Nation : {Sweden, Britain}) Diplomacy->AddNation(Nation);
  Germany->SetDiplomaticActions(2);
  Germany->SetAttackWithoutWar(true);
  auto Act = [&](TNation* Target, const char* Button) {
    auto Armed = Then([&](QDialog&) { Diplomacy->SelectNation(Target); }, Button);
    Click(Main, "btnDiplomacy");
  };
  auto Notice = [&] { return Main.findChild<QLabel*>("pnlNotify"); };
  Act(Sweden, "btnAction1");
  ASSERT_NE(Notice(), nullptr);
  EXPECT_EQ(Notice()->text().toStdString(), "Launched Propaganda Campaign in Sweden");
  EXPECT_EQ(Notice()->palette().color(QPalette::WindowText).name(), QString("#00ffff"));
  GrabToPng(Main, "notice");
  Act(Britain, "btnAction2");
  EXPECT_EQ(Notice()->text().toStdString(), "You cannot Pressure Major Powers");
  EXPECT_EQ(Notice()->palette().color(QPalette::WindowText).name(), QString("#ff0000"));
  Prompter.AnswerYes();
  Act(Sweden, "btnDeclareWar");
  Germany->SetDiplomaticActions(0);
  Act(Sweden, "btnAction0");
  EXPECT_EQ(Notice()->text().toStdString(), "No Diplomatic Actions at this time");

  const int I = Italy->GetIndex();
  const int S = Sweden->GetIndex();
  EXPECT_EQ(Orders(Main), (std::vector<std::string>{
                              rec::Divide(Army, NewForces),
                              rec::BuildUnit(B, ukArmy, rec::Counts({{utInfantry, 5}})),
                              rec::Formations(G, Weights),
                              rec::Formations(I, Weights),
                              rec::Research(G, Spending),
                              rec::Diplomatic(G, S, 1),
                              rec::DeclareWar(G, S),
                          }));
  EXPECT_NE(NewForces, std::string(UnitTypeCount * 2, '0'));
  Main.rte().SetActive(false);
}

TEST_F(OrderEntryWindowTest, TheZoneTabShowsTheZoneAndTheUnitsTabOneUnitsDetails) {
  TfrmMain& Main = StartGame();
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  Berlin->SetBuilding(true);
  Berlin->SetBuildTotal(50.0f);
  Berlin->SetBuildProgressPoints(20.0f);
  Berlin->SetResources(24.9f);
  Main.surfaceZoneClick(Berlin);
  auto Text = [&](const char* Name) { return Label(Main, Name); };
  auto OnTab = [&](const char* Name) {
    return Main.findChild<QWidget*>(Name)->isVisibleTo(Main.findChild<QWidget*>("tabZone"));
  };
  EXPECT_TRUE(OnTab("pnlLandZone"));
  EXPECT_EQ(Text("lblZoneNameMain"), "Berlin");
  EXPECT_EQ(Text("lblZoneName"), "Berlin");
  EXPECT_EQ(Text("lblZoneValue"), IndustryText(Berlin->GetIndustry()));
  EXPECT_EQ(Text("lblZoneFactories"), IntToStr(Berlin->GetFactories()) + " Factories");
  EXPECT_EQ(Text("lblZoneResources"), "24 Resources");
  EXPECT_TRUE(OnTab("imZoneFlagMain"));
  EXPECT_TRUE(OnTab("progBuilding"));
  EXPECT_EQ(Main.findChild<TColorProgressBar*>("progBuilding")->Value(), Berlin->GetBuildProgress());
  // Building: nothing new can be started.
  for (const char* Name : {"btnBuildFactory", "btnBuildLand", "btnBuildSea", "btnPortZone", "btnBuildConvoys"})
    EXPECT_FALSE(OnTab(Name)) << Name;
  EXPECT_TRUE(OnTab("btnRouteResources"));
  EXPECT_TRUE(OnTab("btnAutoRoute"));

  // The units tab with the zone's first unit chosen: its organisation, experience and order.
  TUnit* Army = Main.SelectedUnit(0);
  ASSERT_NE(Army, nullptr);
  Main.findChild<QTabWidget*>("pageControls")->setCurrentIndex(1);
  GrabToPng(Main, "zone tab");
  Main.findChild<QTabWidget*>("pageControls")->setCurrentIndex(0);
  EXPECT_TRUE(Main.findChild<QWidget*>("progOrganization")->isVisible());
  EXPECT_EQ(Main.findChild<TGraphicPanel*>("gpnlExperienceLevel")->Caption().toStdString(), Army->ExperienceText());
  EXPECT_EQ(Main.findChild<TGraphicPanel*>("gpnlOrderDesc")->Caption().toStdString(), Army->OrderText());
  GrabToPng(Main, "units tab");

  // A sea zone: no land information; the details hide with two units chosen.
  Select(Main, {Berlin->GetUnit(0), Berlin->GetUnit(1)});
  EXPECT_FALSE(Main.findChild<QWidget*>("progOrganization")->isVisible());
  Main.surfaceZoneClick(Zone(Main, "North Sea"));
  EXPECT_FALSE(OnTab("pnlLandZone"));
  EXPECT_FALSE(OnTab("pnlZoneOwned"));
}

TEST_F(OrderEntryWindowTest, TheGamesKeysClickTheOrderButtonsOnlyWhileAGameRuns) {
  TfrmMain& Main = StartGame();
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  Berlin->SetResources(40.0f);
  Main.surfaceZoneClick(Berlin);
  auto* Units = Main.findChild<TBrenmoorUnitListBox*>("lbUnits");
  Units->setFocus();
  // No game: the letter goes to the list as ever.
  QTest::keyClick(Units, Qt::Key_M);
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  Main.rte().SetActive(true);
  // M moves, even with the list in focus; Esc leaves the mode again.
  QTest::keyClick(Units, Qt::Key_M);
  EXPECT_EQ(Main.Orders().OrderMode(), omMove);
  QTest::keyClick(&Main, Qt::Key_M);
  EXPECT_EQ(Main.Orders().OrderMode(), omMove);
  QTest::keyClick(&Main, Qt::Key_Escape);
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  // A letter no shown button carries does nothing (patrol is a fleet's).
  QTest::keyClick(&Main, Qt::Key_P);
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);

  // On the zone tab: R routes, A routes automatically, G gives the global route, C clears it.
  QTest::keyClick(&Main, Qt::Key_F5);
  EXPECT_FALSE(Main.Orders().UnitsTabShowing());
  QTest::keyClick(&Main, Qt::Key_R);
  EXPECT_EQ(Main.Orders().OrderMode(), omRouteResources);
  // A double click on the quantity takes all the resources.
  auto* Qty = Main.findChild<QSpinBox*>("spinRouteQty");
  Qty->setValue(3);
  QTest::mouseDClick(Qty->findChild<QLineEdit*>(), Qt::LeftButton);
  EXPECT_EQ(Qty->value(), 40);
  QTest::keyClick(&Main, Qt::Key_Escape);
  QTest::keyClick(&Main, Qt::Key_A);
  EXPECT_EQ(Main.Orders().OrderMode(), omAutoRoute);
  QTest::keyClick(&Main, Qt::Key_Escape);
  EXPECT_FALSE(Main.Orders().UnitsTabShowing());
  QTest::keyClick(&Main, Qt::Key_G);
  QTest::keyClick(&Main, Qt::Key_C);
  EXPECT_EQ(Orders(Main), (std::vector<std::string>{rec::GlobalRoute(Berlin->GetIndex(), 3),
                                                    rec::GlobalClear(Main.CurrentNation()->GetIndex())}));
  // The typed depth stays in its box.
  auto* Depth = Main.findChild<QSpinBox*>("spinGlobalRouteDepth");
  Depth->setFocus();
  QTest::keyClick(Depth->findChild<QLineEdit*>(), Qt::Key_C);
  EXPECT_EQ(Orders(Main).size(), 2u);
  Main.rte().SetActive(false);
}

// Typing over the map in a running game gives orders at most: no key saves, opens or leaves
// the game behind the player's back (a question or a file dialog would fail the prompter).
TEST_F(OrderEntryWindowTest, NoKeyOverTheMapSavesOrLeavesTheGame) {
  TfrmMain& Main = StartGame();
  Main.surfaceZoneClick(Zone(Main, "Berlin"));
  Main.rte().SetActive(true);
  // A letter may open a window of orders (W divides): it is closed again and named.
  std::vector<std::string> Windows;
  QTimer Closer;
  QObject::connect(&Closer, &QTimer::timeout, [&] {
    if (auto* Window = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
      Windows.push_back(Window->objectName().toStdString());
      Window->reject();
    }
  });
  Closer.start(10);
  std::vector<int> Keys = {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter, Qt::Key_Escape, Qt::Key_Tab};
  for (int K = Qt::Key_A; K <= Qt::Key_Z; ++K) Keys.push_back(K);
  for (int K = Qt::Key_F1; K <= Qt::Key_F12; ++K) Keys.push_back(K);
  for (QWidget* Target : {static_cast<QWidget*>(&Main.surfaceView()), static_cast<QWidget*>(&Main)})
    for (const Qt::KeyboardModifiers Modifiers : {Qt::KeyboardModifiers(), Qt::KeyboardModifiers(Qt::ControlModifier),
                                                   Qt::KeyboardModifiers(Qt::AltModifier)})
      for (const int Key : Keys) {
        QTest::keyClick(Target, static_cast<Qt::Key>(Key), Modifiers);
        // Whatever order mode a letter began ends again, so the next key starts afresh.
        if (Main.Orders().OrderMode() != omNone) QTest::keyClick(&Main, Qt::Key_Escape);
      }
  Closer.stop();
  for (const TPrompt& Asked : Prompter.Prompts()) EXPECT_NE(Asked.Kind, pkSaveFile) << Asked.Options.Title;
  for (const std::string& Name : Windows) EXPECT_EQ(Name, "frmDivideUnit");
  EXPECT_TRUE(Main.rte().GetActive());
  EXPECT_EQ(Main.FrontScreen(), Main.pnlGame());
  Main.rte().SetActive(false);
}

TEST_F(OrderEntryWindowTest, AnOrderModeEndsWhenTheGameClosesOrASelectedUnitLeavesTheGame) {
  TfrmMain& Main = StartGame();
  Main.rte().SetActive(true);
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  Main.surfaceZoneClick(Berlin);
  TUnit* Army = Main.SelectedUnit(0);
  ASSERT_NE(Army, nullptr);
  const int Listed = Main.findChild<TBrenmoorUnitListBox*>("lbUnits")->count();

  // Another unit going changes nothing here.
  TUnit* Other = Main.brm().AddUnit(std::make_unique<TUnit>(Main.brm(), Main.CurrentNation(), ukArmy), Zone(Main, "Ruhr"));
  Other->SetCount(utInfantry, 1);
  Click(Main, "btnMove");
  Main.brm().FreeUnit(Other);
  EXPECT_EQ(Main.Orders().OrderMode(), omMove);

  // The selected army going ends the mode, and it leaves the lists and the selection.
  Main.brm().FreeUnit(Army);
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  EXPECT_TRUE(Main.SelectedUnits().empty() || Main.SelectedUnits().front() != Army);
  auto* Units = Main.findChild<TBrenmoorUnitListBox*>("lbUnits");
  EXPECT_EQ(Units->count(), Listed - 1);
  for (int I = 0; I < Units->count(); ++I) EXPECT_NE(Units->Units(I), Army);

  // Closing the game leaves the mode too.
  Main.surfaceZoneClick(Berlin);
  Click(Main, "btnMove");
  ASSERT_EQ(Main.Orders().OrderMode(), omMove);
  Main.CloseGame();
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  EXPECT_TRUE(Main.findChild<QWidget*>("pageControls")->isVisible());
}

TEST_F(OrderEntryWindowTest, TheBannerIsDrawnOverTheMap) {
  TfrmMain& Main = StartGame();
  Main.Orders().scrollerCenter();
  TZoneSpriteSurface& Surface = Main.surface();
  Surface.SetActive(true);
  int Start = Main.surfaceView().FramesShown();
  ASSERT_TRUE(RunUntil([&] { return Main.surfaceView().FramesShown() > Start + 2; }));
  const QImage Without = Main.surfaceView().grab().toImage();
  Main.SetBannerText("P A U S E D");
  Start = Main.surfaceView().FramesShown();
  ASSERT_TRUE(RunUntil([&] { return Main.surfaceView().FramesShown() > Start + 2; }));
  const QImage With = Main.surfaceView().grab().toImage();
  GrabToPng(Main);
  Surface.SetActive(false);
  // White and navy letters in the middle of the map.
  int White = 0;
  for (int Y = With.height() / 2 - 15; Y < With.height() / 2 + 15; ++Y)
    for (int X = With.width() / 4; X < With.width() * 3 / 4; ++X)
      White += With.pixelColor(X, Y) == QColor(Qt::white) && Without.pixelColor(X, Y) != QColor(Qt::white);
  EXPECT_GT(White, 50);
}


TEST_F(OrderEntryWindowTest, ASelectedZonePlayedHereShowsTheLinkToItsPortZoneAndThePortPicture) {
  TfrmMain& Main = StartGame();
  TBrenmoorZone* Hamburg = Zone(Main, "Hamburg");
  TBrenmoorZone* Sea = Zone(Main, "North Sea");
  TZoneSpriteSurface& Surface = Main.surface();
  Surface.CenterOnZone(Hamburg);
  Main.surfaceZoneClick(Hamburg);
  auto Frame = [&] {
    const int Start = Main.surfaceView().FramesShown();
    EXPECT_TRUE(RunUntil([&] { return Main.surfaceView().FramesShown() > Start + 2; }));
    return Main.surfaceView().grab().toImage();
  };
  Surface.SetActive(true);
  Hamburg->SetPortZone(nullptr);
  const QImage Without = Frame();
  Hamburg->SetPortZone(Sea);
  const QImage With = Frame();
  GrabToPng(Main);
  Surface.SetActive(false);
  // The picture's 12 x 12 pixels around the port zone's centre changed.
  const int X = Sea->GetCenterX() - Surface.GetOffsetX();
  const int Y = Sea->GetCenterY() - Surface.GetOffsetY();
  ASSERT_TRUE(With.rect().contains(X, Y));
  int Changed = 0;
  for (int DY = -6; DY < 6; ++DY)
    for (int DX = -6; DX < 6; ++DX) Changed += With.pixel(X + DX, Y + DY) != Without.pixel(X + DX, Y + DY);
  EXPECT_GT(Changed, 20);
}


TEST_F(OrderEntryWindowTest, ADoubleClickOnAFleetOfTheTargetListBoardsItWhenProceedingIsOffered) {
  TfrmMain& Main = StartGame();
  Main.rte().SetActive(true);
  TBrenmoorZone* Berlin = Zone(Main, "Berlin");
  TBrenmoorZone* Baltic = Zone(Main, "Baltic Sea");
  Baltic->FreeUnits();
  auto Fleet = [&](int Transports) {
    TUnit* Unit = Main.brm().AddUnit(std::make_unique<TUnit>(Main.brm(), Main.CurrentNation(), ukNavy), Baltic);
    Unit->SetCount(utTransport, Transports);
    return Unit;
  };
  TUnit* Big = Fleet(7);
  Fleet(7);
  Main.surfaceZoneClick(Berlin);
  TUnit* Army = Main.SelectedUnit(0);
  ASSERT_EQ(Army->GetKind(), ukArmy);
  Click(Main, "btnEmbark");
  Main.surfaceZoneClick(Baltic);
  auto* Targets = Main.findChild<TBrenmoorUnitListBox*>("lbUnitTarget");
  ASSERT_EQ(Targets->count(), 2);
  ASSERT_TRUE(Main.findChild<QWidget*>("btnOrderProceed")->isVisible());
  emit Targets->itemDoubleClicked(Targets->item(0));
  EXPECT_EQ(Main.Orders().OrderMode(), omNone);
  EXPECT_EQ(Orders(Main), std::vector<std::string>{rec::Embark(Army, Big, Baltic->GetIndex())});
  Main.rte().SetActive(false);
}

}  // namespace
