#include <QPainter>

#include "controls/CellImage.h"
#include "support/GuiTest.h"

namespace {
struct CellImageTest : TGuiTest {
  TCellImage Image;
  CellImageTest() {
    // Three columns and two rows of 10 x 10 cells, each a colour of its own, with two spare
    // pixels at the right and bottom that belong to no cell.
    QPixmap Picture(32, 22);
    Picture.fill(Qt::black);
    QPainter Canvas(&Picture);
    for (int X = 0; X < 3; ++X)
      for (int Y = 0; Y < 2; ++Y) Canvas.fillRect(X * 10, Y * 10, 10, 10, QColor(X * 100, Y * 100, 50));
    Canvas.end();
    Image.SetPicture(Picture);
  }
};
}  // namespace

TEST_F(CellImageTest, GivesTheCellsOfTheGrid) {
  EXPECT_EQ(Image.size(), QSize(32, 22)) << "the image takes its picture's size";
  EXPECT_EQ(Image.GetCell(0, 0), nullptr) << "no grid yet";
  Image.SetNumCellsX(3);
  Image.SetNumCellsY(2);
  const QPixmap* Cell = Image.GetCell(2, 1);
  ASSERT_NE(Cell, nullptr);
  EXPECT_EQ(Cell->size(), QSize(10, 11));  // 32 div 3 by 22 div 2
  EXPECT_EQ(Cell->toImage().pixelColor(5, 5), QColor(200, 100, 50));
  EXPECT_EQ(Image.GetCell(0, 0)->toImage().pixelColor(9, 9), QColor(0, 0, 50));
  GrabToPng(Image);

  for (const auto& [X, Y] : std::vector<std::pair<int, int>>{{3, 0}, {0, 2}, {-1, 0}, {0, -1}})
    EXPECT_EQ(Image.GetCell(X, Y), nullptr) << X << "," << Y;
}
