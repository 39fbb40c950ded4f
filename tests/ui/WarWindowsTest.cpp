// What the player sees and hears of the war on the Standard scenario: a short seeded game with
// its news, a storm on the map and the first score point; every happening's panel, sprite and
// sound; the pending random event; the battle sounds' timer; the news, score history, final
// scores and event windows (each grabbed to a picture).
#include <QComboBox>
#include <QLabel>
#include <QLineSeries>
#include <QChartView>
#include <QChart>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "controls/CellImage.h"
#include "controls/ColorButton.h"
#include "controls/ElasticPanel.h"
#include "controls/ModalSteps.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "engine/RealTimeEngine.h"
#include "engine/SupplyRules.h"
#include "engine/Unit.h"
#include "engine/UpkeepRules.h"
#include "engine/kit/Records.h"
#include "foundation/NumberText.h"
#include "screens/WarNews.h"
#include "platform/RegistryManager.h"
#include "platform/SpriteSurfaceView.h"
#include "platform/ThreadTimer.h"
#include "platform/WidgetUtils.h"
#include "sprites/BombBlastSprite.h"
#include "sprites/SpriteEngine.h"
#include "sprites/StormSprite.h"
#include "sprites/ZoneSpriteSurface.h"
#include "support/GuiTest.h"
#include "ui/StandardGameScreen.h"
#include "ui/EventForm.h"
#include "ui/FinalScoresForm.h"
#include "ui/GameWindows.h"
#include "ui/MainForm.h"
#include "ui/NewsForm.h"
#include "ui/ScoresForm.h"

namespace {

const std::filesystem::path ProgramFolder = std::filesystem::path(BRENMOOR_BINARY_DIR) / "bin";

struct WarWindowsTest : TGuiTest {
  std::unique_ptr<TBrenmoorForms> Forms;

  // The main window on the Standard scenario's game screen, Germany played here by "Ann".
  TfrmMain& StartGame() {
    Forms = StartStandardGameScreen(Settings);
    Germany = Forms->Main().brm().FindNation("Germany");
    Forms->Main().ClearWarRecord();
    return Forms->Main();
  }
  // One impulse as every machine runs it, then what the main window does after it.
  static void RunImpulse(TfrmMain& Main, int Impulse) {
    TBrenmoorEngine& E = Main.brm();
    E.SetImpulse(Impulse);
    E.Upkeep().BeginImpulse();
    E.ProcessImpulse();
    E.Supply().SupplyUpkeep();
    E.Upkeep().UpdateVisibility(Impulse);
    E.Upkeep().EndImpulseUpkeep(Impulse);
    E.AdvanceDate();
    Main.ExpireStandingActions();
  }
  TfrmNews& News() const { return *qobject_cast<TfrmNews*>(Forms->Form("frmNews")); }
  TfrmScores& Scores() const { return *qobject_cast<TfrmScores*>(Forms->Form("frmScores")); }
  std::vector<std::string> NewsLines() const {
    std::vector<std::string> Lines;
    auto* List = News().findChild<TOwnerDrawListBox*>("lbNews");
    for (int I = 0; I < List->count(); ++I) Lines.push_back(News().LineText(I).toStdString());
    return Lines;
  }
  static QLabel* Panel(TfrmMain& Main, const char* Name) { return Main.findChild<QLabel*>(Name); }
  static QColor TextColor(QLabel* Label) { return Label->palette().color(QPalette::WindowText); }
  // The effect sprites that are live or waiting to be.
  static std::vector<TSprite*> Effects(TfrmMain& Main) {
    std::vector<TSprite*> Sprites;
    for (std::int32_t I = 0; I < Main.engineEffects().SpriteCount(); ++I) Sprites.push_back(Main.engineEffects().GetSprite(I));
    return Sprites;
  }
  static TSprite* SpriteOf(TfrmMain& Main, const TStorm* Storm) {
    for (TSprite* Sprite : Effects(Main))
      if (Sprite->GetData() == Storm && !Sprite->GetDead()) return Sprite;
    return nullptr;
  }

  TNation* Germany = nullptr;
};

bool Contains(const std::vector<std::string>& Lines, const std::string& Line) {
  return std::find(Lines.begin(), Lines.end(), Line) != Lines.end();
}

}  // namespace

TEST_F(WarWindowsTest, AShortSeededGameShowsItsNewsAStormThatComesAndGoesAndTheFirstScorePoint) {
  TfrmMain& Main = StartGame();
  TBrenmoorEngine& E = Main.brm();
  E.SetRandomSeed(1939);
  TNation* Poland = E.FindNation("Poland");
  TBrenmoorZone* Poznan = E.FindZoneByName("Poznan");
  TUnit* Army = E.FindZoneByName("Berlin")->GetUnit(0);
  // Italy declares war on Poland; Germany's army invades Poznan.
  TNation* Italy = E.FindNation("Italy");
  Italy->SetRelation(Poland, -100);
  E.QueueOrder(rec::Invade(Army, Poznan->GetIndex()), "Ann");
  RunImpulse(Main, 1);
  Main.AddScorePoint();

  // The war is news and in the message panel, in cyan; the first line is the newest.
  const std::string Declared = "9/1/1939- Italy has declared war on Poland!";
  EXPECT_TRUE(Contains(NewsLines(), Declared));
  EXPECT_TRUE(Panel(Main, "pnlMessage")->isVisible());
  EXPECT_EQ(Panel(Main, "pnlMessage")->text(), "Italy has declared war on Poland!");
  EXPECT_EQ(TextColor(Panel(Main, "pnlMessage")), QColor(0, 255, 255));

  // One score point per power after the first impulse; the two alliances on their chart.
  for (int I = 0; I < ChartSeriesCount; ++I) {
    EXPECT_EQ(Scores().NationSeries(I)->count(), 1) << I;
    EXPECT_TRUE(Scores().NationSeries(I)->isVisible()) << I;
    EXPECT_EQ(Scores().AllianceSeries(I)->isVisible(), I < 2) << I;
  }
  EXPECT_EQ(Scores().NationSeries(0)->at(0).y(), Germany->GetWorldDomination());
  EXPECT_GT(Germany->GetWorldDomination(), 0);
  EXPECT_EQ(Scores().NationSeries(0)->name(), "Germany");
  EXPECT_EQ(Scores().AllianceSeries(1)->name(), "Allies");
  EXPECT_EQ(Scores().Labels(), QStringList{"Sep-1939"});

  // The game goes on until a storm comes and goes with it.
  TStorm* Storm = nullptr;
  int Impulse = 2;
  for (; Impulse < 600 && !Storm; ++Impulse) {
    RunImpulse(Main, Impulse);
    if (E.GetStormCount() > 0) Storm = E.GetStorm(0);
    if (Impulse % 30 == 0) Main.AddScorePoint();
  }
  ASSERT_NE(Storm, nullptr);
  Main.engineEffects().MoveSprites();
  TSprite* Sprite = SpriteOf(Main, Storm);
  ASSERT_NE(Sprite, nullptr);
  auto* Drawn = dynamic_cast<TStormSprite*>(Sprite);
  ASSERT_NE(Drawn, nullptr);
  EXPECT_EQ(Drawn->GetStormWidth(), Storm->Width);
  EXPECT_EQ(Drawn->GetStormHeight(), Storm->Height);
  EXPECT_EQ(static_cast<int>(Drawn->GetParticles().size()), Storm->Width * Storm->Height / 500);
  // Grab the map with the storm over it, a few frames on.
  Main.surface().CenterOn(Storm->X + Storm->Width / 2, Storm->Y + Storm->Height / 2);
  for (int Frame = 0; Frame < 5; ++Frame) Main.surface().RenderFrame();
  Main.surfaceView().update();
  GrabToPng(Main, "storm");
  bool Moved = false;
  auto Blowing = [&] {
    for (int I = 0; I < E.GetStormCount(); ++I)
      if (E.GetStorm(I) == Storm) return true;
    return false;
  };
  for (; Impulse < 800 && Blowing(); ++Impulse) {
    RunImpulse(Main, Impulse);
    if (!Blowing()) break;
    Main.engineEffects().MoveSprites();
    ASSERT_NE(SpriteOf(Main, Storm), nullptr);
    EXPECT_EQ(SpriteOf(Main, Storm)->GetX(), static_cast<float>(Storm->X));
    EXPECT_EQ(SpriteOf(Main, Storm)->GetY(), static_cast<float>(Storm->Y));
    Moved = Moved || SpriteOf(Main, Storm)->GetX() != Drawn->GetX();
  }
  ASSERT_FALSE(Blowing());
  // Gone from the map at the next move pass; another storm has its own sprite.
  Main.engineEffects().MoveSprites();
  int StormSprites = 0;
  for (TSprite* Left : Effects(Main)) StormSprites += dynamic_cast<TStormSprite*>(Left) != nullptr;
  EXPECT_EQ(StormSprites, E.GetStormCount());
  Main.AddScorePoint();
  EXPECT_GE(Scores().NationSeries(0)->count(), 2);

  // The windows as a player sees them after the game so far.
  News().show();
  Scores().show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&Scores()));
  GrabToPng(News(), "news");
  GrabToPng(*Scores().chartScores()->window(), "scores-by-nation");
  ClickControl(Scores().findChild<TColorButton*>("btnAlliance"));
  GrabToPng(Scores(), "scores-by-alliance");
}

TEST_F(WarWindowsTest, EveryHappeningShowsItsPanelItsSpritesAndItsNews) {
  TfrmMain& Main = StartGame();
  TBrenmoorEngine& E = Main.brm();
  TNation* Poland = E.FindNation("Poland");
  TNation* Italy = E.FindNation("Italy");
  TBrenmoorZone* Warsaw = E.FindZoneByName("Warsaw");
  TBrenmoorZone* Berlin = E.FindZoneByName("Berlin");
  QLabel* Message = Panel(Main, "pnlMessage");
  QLabel* Notify = Panel(Main, "pnlNotify");

  E.OnReinforcement(&E, Warsaw);
  EXPECT_TRUE(Notify->isVisible());
  EXPECT_EQ(Notify->text(), "Reinforcements arrived at Warsaw");
  EXPECT_EQ(TextColor(Notify), QColor(255, 255, 0));
  ClickControl(Notify->findChild<TColorButton*>("btnHideNotify"));
  EXPECT_FALSE(Notify->isVisible());
  // A tech upgrade of a nation played elsewhere says nothing here.
  E.OnUpgradeTech(&E, Italy, 2);
  EXPECT_FALSE(Notify->isVisible());
  E.OnUpgradeUnitType(&E, Germany, utFighter);
  EXPECT_EQ(Notify->text(), "Germany Received Tech Upgrade for Fighter");
  EXPECT_EQ(TextColor(Notify), QColor(0, 255, 0));

  // A rocket: the news, one blast near the zone's centre.
  E.OnRocketAttack(&E, Germany, Warsaw);
  std::vector<TSprite*> Blasts = Effects(Main);
  ASSERT_EQ(Blasts.size(), 1u);
  EXPECT_LE(std::abs(Blasts[0]->GetX() - float(Warsaw->GetCenterX())), 3.0f);
  EXPECT_LE(std::abs(Blasts[0]->GetY() - float(Warsaw->GetCenterY())), 3.0f);
  // The atomic bomb: three blasts at the centre in Z orders 1, 2 and 3, and the news.
  E.OnAtomicBomb(&E, Germany, Warsaw);
  Blasts = Effects(Main);
  ASSERT_EQ(Blasts.size(), 4u);
  for (int I = 1; I <= 3; ++I) {
    EXPECT_EQ(Blasts[std::size_t(I)]->GetZ(), I);
    EXPECT_EQ(Blasts[std::size_t(I)]->GetX(), float(Warsaw->GetCenterX()));
    EXPECT_NE(dynamic_cast<TBombBlastSprite*>(Blasts[std::size_t(I)]), nullptr);
  }
  E.OnDiplomacy(&E, Italy, Poland, 5);
  E.OnCoup(&E, Poland);
  E.OnBombZone(&E, Germany, Warsaw);
  E.OnBombZone(&E, Germany, Warsaw);
  // A zone taken from its scenario owner is conquered; one given back to it liberated.
  Warsaw->SetOwner(Germany);
  E.OnConquerZone(&E, Germany, Warsaw);
  Warsaw->SetOwner(Poland);
  E.OnConquerZone(&E, Poland, Warsaw);
  const std::vector<std::string> Expected = {
      "9/1/1939- Warsaw has been Liberated!",
      "9/1/1939- Germany has conquered Warsaw!",
      "9/1/1939- Germany has launched a bombing raid into Warsaw!",
      "9/1/1939- A coup has occurred in Poland and a new government has taken power",
      "9/1/1939- Italy and Poland concluded a Summit, and made some astounding strides forward!",
      "9/1/1939- Germany has dropped an Atomic Bomb on Warsaw!",
      "9/1/1939- Germany has launched a rocket attack into Warsaw!",
  };
  EXPECT_EQ(NewsLines(), Expected);
  // The diplomacy news centres on the actor's capital, the bomb's on its zone.
  EXPECT_EQ(News().News()->Items()[4].Zone, Italy->GetCapital()->GetIndex());
  EXPECT_EQ(News().News()->Items()[5].Zone, Warsaw->GetIndex());

  // An annexation conquers without a word; a conquest is news and red in the message panel.
  EXPECT_FALSE(Message->isVisible());
  Poland->SetRelationDirect(Germany, 100);
  E.OnConquerNation(&E, Poland, Germany);
  EXPECT_FALSE(Message->isVisible());
  EXPECT_EQ(NewsLines().size(), Expected.size());
  E.OnConquerNation(&E, Italy, Germany);
  EXPECT_TRUE(Message->isVisible());
  EXPECT_EQ(Message->text(), "Italy has been conquered by Germany!");
  EXPECT_EQ(TextColor(Message), QColor(255, 0, 0));
  EXPECT_EQ(NewsLines().front(), "9/1/1939- Italy has been conquered by Germany!");
  EXPECT_EQ(News().News()->Items().front().Zone, Italy->GetCapital()->GetIndex());
  ClickControl(Message->findChild<TColorButton*>("btnHideMessage"));
  EXPECT_FALSE(Message->isVisible());
  // The conquered nation played here leaves the current-nation list.
  E.OnConquerNation(&E, Germany, Italy);
  EXPECT_EQ(Main.findChild<QComboBox*>("cmbCurrentNation")->count(), 0);
  EXPECT_EQ(Main.CurrentNation(), nullptr);

  // The double click on a line centres the map on its zone, as the map centres on it.
  TZoneSpriteSurface& Surface = Main.surface();
  Surface.CenterOnZone(Warsaw);
  const QPoint OnWarsaw(Surface.GetOffsetX(), Surface.GetOffsetY());
  Surface.CenterOnZone(Berlin);
  ASSERT_NE(QPoint(Surface.GetOffsetX(), Surface.GetOffsetY()), OnWarsaw);
  auto* List = News().findChild<TOwnerDrawListBox*>("lbNews");
  const std::vector<std::string> Now = NewsLines();
  const auto Liberated = std::find(Now.begin(), Now.end(), "9/1/1939- Warsaw has been Liberated!");
  ASSERT_NE(Liberated, Now.end());
  emit List->itemDoubleClicked(List->item(static_cast<int>(Liberated - Now.begin())));
  EXPECT_EQ(QPoint(Surface.GetOffsetX(), Surface.GetOffsetY()), OnWarsaw);
}

TEST_F(WarWindowsTest, TheNoticePanelStaysAboveTheGameScreensBottomAsItIsResized) {
  TfrmMain& Main = StartGame();
  QLabel* Notify = Panel(Main, "pnlNotify");
  for (QSize Size : {QSize(900, 700), QSize(640, 480), QSize(1200, 560)}) {
    Main.resize(Size);
    ASSERT_TRUE(RunUntil([&] { return Notify->y() == Main.pnlGame()->height() - 66; })) << Size.width();
  }
  Main.ShowNotify("Reinforcements arrived at Warsaw", NoticeYellow);
  Main.ShowMessagePanel("Germany has declared war on Poland!", NoticeCyan);
  GrabToPng(Main, "panels");
}

TEST_F(WarWindowsTest, APendingRandomEventBlinksItsButtonUntilThePlayerReadsIt) {
  TfrmMain& Main = StartGame();
  TBrenmoorEngine& E = Main.brm();
  ASSERT_GT(E.GetRandomEventCount(), 0);
  TRandomEvent* Event = E.GetRandomEvent(0);
  auto* Button = Main.findChild<TColorButton*>("btnRandomEvent");
  ASSERT_NE(Button, nullptr);
  EXPECT_FALSE(Button->isVisibleTo(&Main));
  E.OnRandomEvent(&E, Event);
  EXPECT_TRUE(Main.RandomEventPending());
  EXPECT_EQ(Main.PendingRandomEvent(), Event);
  EXPECT_TRUE(Button->isVisible());

  // The timer's beats blink it between black-and-grey and yellow, only while the clock runs.
  // The running clock plays impulses while the event window is up; none of them may draw a
  // random event of its own (the rules draw one only 30 days after the last), or it would take
  // the window's place.
  E.SetLastRandomEventDate(E.GetDate());
  Main.rte().SetActive(true);
  Button->SetColorHighlight(Qt::green);
  Main.timerExplosionsTimer();
  EXPECT_EQ(Button->ColorHighlight(), QColor(Qt::black));
  EXPECT_EQ(Button->ColorShadow(), QColor(128, 128, 128));
  Main.timerExplosionsTimer();
  EXPECT_EQ(Button->ColorHighlight(), QColor(Qt::yellow));
  EXPECT_EQ(Button->ColorShadow(), QColor(Qt::yellow));

  // The click shows the event modally; afterwards the button stays black and grey.
  std::string Title, Effects, History;
  int HistoryTop = -1;
  auto Armed = WhenModal([&](QDialog& Window) {
    auto* Shown = qobject_cast<TfrmEvent*>(&Window);
    ASSERT_NE(Shown, nullptr);
    Title = Shown->lblDescription()->text().toStdString();
    Effects = Shown->lblEffects()->text().toStdString();
    History = Shown->memoHistorical()->toPlainText().toStdString();
    HistoryTop = Shown->memoHistorical()->verticalScrollBar()->value();
    GrabToPng(Window, "event");
    ClickControl(Window.findChild<QWidget*>("btnClose"));
  });
  ClickControl(Button);
  EXPECT_EQ(Title, Event->Title);
  EXPECT_EQ(Effects, Event->GetDescription());
  EXPECT_EQ(History, Event->History);
  EXPECT_EQ(HistoryTop, 0);
  EXPECT_FALSE(Main.RandomEventPending());
  EXPECT_EQ(Button->ColorHighlight(), QColor(Qt::black));
  EXPECT_EQ(Button->ColorShadow(), QColor(128, 128, 128));
  Main.timerExplosionsTimer();
  EXPECT_EQ(Button->ColorHighlight(), QColor(Qt::black));
  Main.rte().SetActive(false);
}

TEST_F(WarWindowsTest, TheExplosionsPaceFollowsTheEmbattledZonesWhileTheClockRuns) {
  TfrmMain& Main = StartGame();
  TThreadedTimer& Timer = Main.timerExplosions();
  struct TCase {
    int Zones;
    int Shortest;
    int Longest;
  };
  Main.rte().SetActive(true);
  for (const TCase& C : {TCase{12, 1250, 1349}, TCase{40, 200, 598}, TCase{3, 5000, 5099}}) {
    Main.SetZonesUnderAttack(C.Zones);
    for (int I = 0; I < 50; ++I) {
      Main.timerExplosionsTimer();
      EXPECT_GE(Timer.Interval(), C.Shortest) << C.Zones;
      EXPECT_LE(Timer.Interval(), C.Longest) << C.Zones;
    }
  }
  // No battle: the pace is left as it was; the clock stopped: nothing happens.
  Timer.SetInterval(777);
  Main.SetZonesUnderAttack(0);
  Main.timerExplosionsTimer();
  EXPECT_EQ(Timer.Interval(), 777);
  Main.rte().SetActive(false);
  Main.SetZonesUnderAttack(40);
  Main.timerExplosionsTimer();
  EXPECT_EQ(Timer.Interval(), 777);
}

TEST_F(WarWindowsTest, TheNewsAndScoreWindowsCloseReleasingTheirButtonsAndClearAsAsked) {
  TfrmMain& Main = StartGame();
  TBrenmoorEngine& E = Main.brm();
  E.OnInvadeZone(&E, Germany, E.FindZoneByName("Warsaw"));
  ASSERT_EQ(NewsLines().size(), 1u);
  for (auto [ButtonName, Window] : {std::pair{"btnNews", static_cast<QWidget*>(&News())},
                                    std::pair{"btnScores", static_cast<QWidget*>(&Scores())}}) {
    auto* Button = Main.findChild<TColorButton*>(ButtonName);
    ClickControl(Button);
    EXPECT_TRUE(Button->Down()) << ButtonName;
    EXPECT_TRUE(Window->isVisible()) << ButtonName;
    ClickControl(Window->findChild<TColorButton*>("btnClose"));
    EXPECT_FALSE(Window->isVisible()) << ButtonName;
    EXPECT_FALSE(Button->Down()) << ButtonName;
  }
  // Clear empties the list but not the standing invasion: it is not told again.
  News().findChild<QAction*>("mniClear")->trigger();
  EXPECT_TRUE(NewsLines().empty());
  E.OnInvadeZone(&E, Germany, E.FindZoneByName("Warsaw"));
  EXPECT_TRUE(NewsLines().empty());
  // A new game empties everything.
  Main.AddScorePoint();
  Main.ClearWarRecord();
  E.OnInvadeZone(&E, Germany, E.FindZoneByName("Warsaw"));
  EXPECT_EQ(NewsLines().size(), 1u);
  EXPECT_EQ(Scores().NationSeries(0)->count(), 0);
  EXPECT_TRUE(Scores().Labels().isEmpty());

  // The charts' toggles are exclusive and bring their chart to the front.
  auto* ByNation = Scores().findChild<TColorButton*>("btnNation");
  auto* ByAlliance = Scores().findChild<TColorButton*>("btnAlliance");
  EXPECT_TRUE(ByNation->Down());
  EXPECT_EQ(Scores().FrontChart(), Scores().chartScores());
  ClickControl(ByAlliance);
  EXPECT_FALSE(ByNation->Down());
  EXPECT_EQ(Scores().FrontChart(), Scores().chartAlliance());
  ClickControl(ByNation);
  EXPECT_FALSE(ByAlliance->Down());
  EXPECT_EQ(Scores().FrontChart(), Scores().chartScores());
}

TEST_F(WarWindowsTest, PowersAndAlliancesBeyondTheSeventhAreLeftOutOfTheChartsAndSaidSo) {
  TfrmMain& Main = StartGame();
  TBrenmoorEngine& E = Main.brm();
  std::vector<std::string> Names;
  for (int I = 1; I <= 9; ++I) Names.push_back("Pact " + IntToStr(I));
  E.SetAlliances(Names);
  // Two more major powers made as Italy is (a scenario file refuses them; the chart must not
  // rely on that).
  std::ifstream In(ProgramFolder / "Standard.brmscen");
  std::string Line;
  while (std::getline(In, Line) && Line.rfind("Nation=Italy,", 0) != 0) {
  }
  ASSERT_FALSE(Line.empty());
  for (const char* Name : {"Prussia", "Burgundy"}) {
    const std::string Record = Name + Line.substr(std::strlen("Nation=Italy"));
    E.AddNation(std::make_unique<TNation>(E, Record, E.GetScenarioNationCount()));
  }
  ASSERT_EQ(E.GetMajorCount(), 9);
  E.Upkeep().BeginImpulse();
  Main.AddScorePoint();
  Main.AddScorePoint();
  for (int I = 0; I < ChartSeriesCount; ++I)
    for (QLineSeries* Series : {Scores().NationSeries(I), Scores().AllianceSeries(I)}) {
      EXPECT_TRUE(Series->isVisible()) << I;
      EXPECT_EQ(Series->count(), 2) << I;
    }
  EXPECT_EQ(Scores().NationSeries(6)->name(), "United States");
  EXPECT_EQ(Scores().AllianceSeries(6)->name(), "Pact 7");
  EXPECT_EQ(Scores().chartScores()->chart()->title(), "(2 more powers not charted)");
  EXPECT_EQ(Scores().chartAlliance()->chart()->title(), "(2 more alliances not charted)");
  // Two points in the same month keep their labels.
  EXPECT_EQ(Scores().Labels(), (QStringList{"Sep-1939", "Sep-1939"}));
  // Back to fewer alliances: the series beyond them are hidden and the title says nothing.
  E.SetAlliances({"Axis", "Allies"});
  Main.AddScorePoint();
  EXPECT_FALSE(Scores().AllianceSeries(2)->isVisible());
  EXPECT_EQ(Scores().chartAlliance()->chart()->title(), "");
}

TEST_F(WarWindowsTest, TheFinalScoresListEachMajorPowerWithItsFigures) {
  TfrmMain& Main = StartGame();
  TBrenmoorEngine& E = Main.brm();
  for (int I = 0; I < E.GetMajorCount(); ++I) {
    E.GetNation(I)->SetTag(50 * (I + 1));
    E.GetNation(I)->SetScoreDeduction(100 * I);
  }
  Germany->SetTag(100);
  Germany->SetScoreDeduction(250);
  E.FindNation("United States")->SetTag(700);
  // The scenario's flags in the main window's picture grid, as a game's start puts them there.
  auto* Flags = Main.findChild<TCellImage*>("cellFlags");
  ASSERT_NE(Flags, nullptr);
  Flags->SetPicture(QPixmap(QString::fromStdString((ProgramFolder / "StandardFlags.bmp").string())));
  Flags->SetNumCellsX(E.GetNationCount());
  Flags->SetNumCellsY(1);
  using TTexts = std::array<std::string, 3>;
  EXPECT_EQ(FinalScoreTexts(*Germany), (TTexts{"2000", "-250", "1,750"}));
  EXPECT_EQ(FinalScoreTexts(*E.FindNation("United States")), (TTexts{"14000", "-600", "13,400"}));
  std::vector<std::string> Listed;
  auto Armed = WhenModal([&](QDialog& Window) {
    auto* Final = qobject_cast<TfrmFinalScores*>(&Window);
    ASSERT_NE(Final, nullptr);
    auto* List = Final->findChild<TOwnerDrawListBox*>("lbNations");
    for (int I = 0; I < List->count(); ++I) Listed.push_back(Final->NationOf(I)->GetName());
    GrabToPng(Window, "final-scores");
    ClickControl(Window.findChild<QWidget*>("btnCancel"));
  });
  ClickControl(Main.findChild<TColorButton*>("btnFinalScore"));
  EXPECT_EQ(Listed, (std::vector<std::string>{"Germany", "Italy", "Japan", "United Kingdom", "France", "USSR",
                                              "United States"}));
  EXPECT_EQ(Forms->Form("frmFinalScores")->result(), QDialog::Accepted);
}
