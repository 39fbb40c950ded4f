#include <QCoreApplication>
#include <QPainter>
#include <QScrollBar>

#include "controls/OwnerDrawListBox.h"
#include "support/GuiTest.h"

namespace {
struct OwnerDrawListBoxTest : TGuiTest {
  TOwnerDrawListBox List;
  OwnerDrawListBoxTest() {
    List.setObjectName("lbUnits");
    List.resize(160, 100);
    List.addItems({"12;1st Panzer Army", "7;Home Fleet"});
    List.show();
    QCoreApplication::processEvents();
  }
  // The viewport's picture, where the rows are.
  QImage Rows() { return List.viewport()->grab().toImage(); }
};

bool HasColour(const QImage& Picture, const QRect& Area, const std::function<bool(const QColor&)>& Test) {
  for (int Y = Area.top(); Y <= Area.bottom(); ++Y)
    for (int X = Area.left(); X <= Area.right(); ++X)
      if (Test(Picture.pixelColor(X, Y))) return true;
  return false;
}
}  // namespace

TEST_F(OwnerDrawListBoxTest, ShowsTheTextBeforeTheDelimiter) {
  struct Case {
    QString Item;
    QString Delimiter;
    bool UseDelimiter;
    QString Shown;
  };
  const std::vector<Case> Cases = {
      {"12;1st Panzer Army", ";", true, "12"},
      {"12;1st Panzer Army;x;", ";", true, "12"},
      {";Hidden", ";", true, ""},
      {"No delimiter", ";", true, ""},
      {"12;1st Panzer Army", ";", false, "12;1st Panzer Army"},
      {"Land#3#", "#", true, "Land"},
  };
  for (const Case& C : Cases) {
    List.SetDelimiter(C.Delimiter);
    List.SetUseDelimiter(C.UseDelimiter);
    EXPECT_EQ(List.ShownText(C.Item), C.Shown) << C.Item.toStdString();
  }
}

TEST_F(OwnerDrawListBoxTest, RowsAreItemHeightHigh) {
  EXPECT_EQ(List.ItemHeight(), 18);
  EXPECT_EQ(List.visualItemRect(List.item(1)).top(), 18);
  EXPECT_EQ(List.visualItemRect(List.item(1)).height(), 18);
  List.SetItemHeight(24);
  QCoreApplication::processEvents();
  EXPECT_EQ(List.visualItemRect(List.item(1)).top(), 24);
}

TEST_F(OwnerDrawListBoxTest, ASelectedRowIsNavyWithWhiteText) {
  List.setCurrentRow(1);
  const QImage Picture = GrabToPng(List);
  const QImage Viewport = Rows();
  const QRect First = List.visualItemRect(List.item(0));
  const QRect Second = List.visualItemRect(List.item(1));
  const QColor Navy(0, 0, 0x80);
  EXPECT_EQ(Viewport.pixelColor(Second.right() - 2, Second.center().y()), Navy);
  EXPECT_TRUE(HasColour(Viewport, Second, [](const QColor& C) { return C.lightness() > 200; }));
  EXPECT_EQ(Viewport.pixelColor(First.right() - 2, First.center().y()), QColor(Qt::white));
  EXPECT_TRUE(HasColour(Viewport, First, [](const QColor& C) { return C.lightness() < 80; }));
  // Only the number is shown, at the left of the row.
  const int TextWidth = QFontMetrics(List.font()).horizontalAdvance("12");
  EXPECT_FALSE(HasColour(Viewport, First.adjusted(TextWidth + 2, 0, 0, 0),
                         [](const QColor& C) { return C.lightness() < 200; }));
  EXPECT_TRUE(HasColour(Viewport, QRect(First.left(), First.top(), 3, First.height()),
                        [](const QColor& C) { return C.lightness() < 200; }));
  (void)Picture;
}

TEST_F(OwnerDrawListBoxTest, WithoutDefaultDrawingTheEventDrawsOnTheBackground) {
  List.SetDefaultDrawing(false);
  List.setCurrentRow(0);
  std::vector<std::pair<int, QRect>> Drawn;
  TOwnerDrawState FirstState = 0;
  List.OnCustomDraw = [&](TOwnerDrawListBox* Control, QPainter& Canvas, int Index, const QRect& Rect,
                          TOwnerDrawState State) {
    EXPECT_EQ(Control, &List);
    if (Index == 0) FirstState = State;
    Drawn.emplace_back(Index, Rect);
    Canvas.fillRect(Rect.left() + 2, Rect.top() + 2, 8, 8, QColor(0, 160, 0));
  };
  const QImage Viewport = Rows();
  ASSERT_EQ(Drawn.size(), 2u);
  EXPECT_EQ(Drawn[1].first, 1);
  EXPECT_EQ(Drawn[1].second.height(), 18);
  EXPECT_TRUE(FirstState & odSelected);
  EXPECT_EQ(Viewport.pixelColor(5, 18 + 5), QColor(0, 160, 0));
  EXPECT_EQ(Viewport.pixelColor(40, 18 + 5), QColor(Qt::white));
  EXPECT_EQ(Viewport.pixelColor(40, 5), QColor(0, 0, 0x80));
  GrabToPng(List);
}

// Rows are as wide as the part of the list that shows them: when enough rows come for the
// scroll bar to appear, or the list is made wider, a text drawn against a row's right edge
// stays whole in view.
TEST_F(OwnerDrawListBoxTest, RowsFollowTheViewportsWidthWhenTheScrollBarComesAndTheListGrows) {
  const auto RowsFitTheViewport = [&](const char* When) {
    QCoreApplication::processEvents();
    for (int I = 0; I < List.count(); ++I)
      EXPECT_EQ(List.visualItemRect(List.item(I)).right(), List.viewport()->width() - 1) << When << " row " << I;
  };
  RowsFitTheViewport("two rows");
  for (int I = 0; I < 12; ++I) List.addItem(QString("%1;Army").arg(I));
  QCoreApplication::processEvents();
  ASSERT_TRUE(List.verticalScrollBar()->isVisible());
  RowsFitTheViewport("with the scroll bar");
  List.resize(300, 100);
  RowsFitTheViewport("wider");
}
