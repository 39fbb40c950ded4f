#include <QLineEdit>
#include <QPushButton>

#include "controls/ElasticPanel.h"
#include "platform/WidgetUtils.h"
#include "support/GuiTest.h"

namespace {
// A panel designed 400 x 300 with one child at its designed bounds.
struct ElasticPanelTest : TGuiTest {
  TElasticPanel Panel;
  QPushButton* Child = new QPushButton("Move", &Panel);
  ElasticPanelTest() {
    Panel.setObjectName("pnlGame");
    Panel.resize(400, 300);
    Panel.SetDTWidth(400);
    Panel.SetDTHeight(300);
    Child->setObjectName("btnMove");
    Child->setGeometry(100, 50, 80, 40);
    // A hidden widget hears of its size changes only when it is shown.
    Panel.show();
  }
};
}  // namespace

TEST_F(ElasticPanelTest, ScalesChildrenFromTheirDesignedBounds) {
  struct Case {
    const char* Name;
    QSize PanelSize;
    bool Horizontal, Vertical;
    int Tag;
    QRect Designed, Expected;
  };
  const std::vector<Case> Cases = {
      {"wider", {600, 300}, true, true, 0, {100, 50, 80, 40}, {150, 50, 120, 40}},
      {"both ways", {200, 600}, true, true, 0, {100, 50, 80, 40}, {50, 100, 40, 80}},
      {"tag -1 keeps its height", {400, 600}, true, true, -1, {100, 50, 80, 40}, {100, 100, 80, 40}},
      {"not horizontally", {600, 600}, false, true, 0, {100, 50, 80, 40}, {100, 100, 80, 80}},
      {"not vertically", {600, 600}, true, false, 0, {100, 50, 80, 40}, {150, 50, 120, 40}},
      // 5 x 0.5 = 2.5 and 7 x 0.5 = 3.5: halves round to even.
      {"halves to even", {200, 150}, true, true, 0, {5, 7, 7, 5}, {2, 4, 4, 2}},
      {"back to the designed size", {400, 300}, true, true, 0, {100, 50, 80, 40}, {100, 50, 80, 40}},
  };
  for (const Case& C : Cases) {
    SCOPED_TRACE(C.Name);
    TElasticPanel P;
    P.resize(400, 300);
    P.SetDTWidth(400);
    P.SetDTHeight(300);
    P.show();
    P.SetElasticHorizontal(C.Horizontal);
    P.SetElasticVertical(C.Vertical);
    auto* W = new QPushButton(&P);
    SetComponentTag(W, C.Tag);
    W->setGeometry(C.Designed);
    P.Loaded();
    P.resize(600, 450);  // an intermediate size first: scaling never accumulates
    P.resize(C.PanelSize);
    EXPECT_EQ(W->geometry(), C.Expected);
  }
}

TEST_F(ElasticPanelTest, EditsKeepTheirHeightUnlessAsked) {
  auto* Edit = new QLineEdit(&Panel);
  Edit->setGeometry(10, 100, 100, 21);
  Panel.Loaded();
  Panel.resize(800, 600);
  EXPECT_EQ(Edit->geometry(), QRect(20, 200, 200, 21));
  EXPECT_EQ(Child->geometry(), QRect(200, 100, 160, 80));

  Panel.SetResizeEditHeights(true);
  Panel.resize(800, 900);
  EXPECT_EQ(Edit->geometry(), QRect(20, 300, 200, 63));
}

TEST_F(ElasticPanelTest, LeavesAloneWhatItDidNotRecord) {
  Panel.resize(800, 600);
  EXPECT_EQ(Child->geometry(), QRect(100, 50, 80, 40)) << "nothing moves before loading";
  EXPECT_FALSE(Panel.Ready());

  Panel.resize(400, 300);
  Panel.Loaded();
  auto* Later = new QPushButton(&Panel);
  Later->setGeometry(10, 10, 30, 30);
  auto* Gone = new QPushButton(&Panel);
  Panel.Loaded();
  delete Gone;
  auto* Latest = new QPushButton(&Panel);
  Latest->setGeometry(20, 20, 30, 30);
  Panel.resize(800, 600);
  EXPECT_EQ(Later->geometry(), QRect(20, 20, 60, 60));
  EXPECT_EQ(Latest->geometry(), QRect(20, 20, 30, 30));
}

TEST_F(ElasticPanelTest, TakesItsSizeAsTheDesignedOneWhenNoneIsGiven) {
  TElasticPanel P;
  P.resize(300, 200);
  P.show();
  auto* W = new QPushButton(&P);
  W->setGeometry(30, 20, 60, 40);
  P.Loaded();
  EXPECT_EQ(P.DTWidth(), 300);
  EXPECT_EQ(P.DTHeight(), 200);
  P.resize(600, 100);
  EXPECT_EQ(W->geometry(), QRect(60, 10, 120, 20));

  TElasticPanel Empty;
  Empty.resize(0, 0);
  Empty.show();
  auto* V = new QPushButton(&Empty);
  V->setGeometry(1, 2, 3, 4);
  Empty.Loaded();
  Empty.resize(50, 50);
  EXPECT_EQ(V->geometry(), QRect(1, 2, 3, 4)) << "a panel designed with no size scales nothing";
}

TEST_F(ElasticPanelTest, AHiddenPanelRescalesWhenItIsShown) {
  QWidget Window;
  auto* Screen = new TElasticPanel(&Window);
  Screen->resize(400, 300);
  auto* Button = new QPushButton("Move", Screen);
  Button->setGeometry(100, 50, 80, 40);
  auto* Edit = new QLineEdit(Screen);
  Edit->setGeometry(20, 200, 150, 21);
  auto* Wide = new QPushButton("Elastic", Screen);
  Wide->setGeometry(20, 240, 360, 40);
  Screen->Loaded();
  GrabToPng(*Screen, "designed");
  Window.resize(600, 450);
  Screen->resize(600, 450);
  EXPECT_EQ(Button->geometry(), QRect(100, 50, 80, 40));
  Window.show();
  EXPECT_EQ(Button->geometry(), QRect(150, 75, 120, 60));
  EXPECT_EQ(Edit->geometry(), QRect(30, 300, 225, 21));
  GrabToPng(*Screen, "enlarged");
}
