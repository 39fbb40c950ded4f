#pragma once
// An image whose picture is a grid of equal cells (flags, unit symbols, gradients); buttons
// and list boxes take single cells from it. It shows its picture unscaled and takes its size.
#include <QPixmap>
#include <QWidget>

class TCellImage : public QWidget {
  Q_OBJECT
public:
  explicit TCellImage(QWidget* Parent = nullptr);

  const QPixmap& Picture() const { return FPicture; }
  // Copies the picture and takes its size.
  void SetPicture(const QPixmap& Picture);
  // Columns and rows of the grid.
  int NumCellsX() const { return FNumCellsX; }
  void SetNumCellsX(int Value) { FNumCellsX = Value; }
  int NumCellsY() const { return FNumCellsY; }
  void SetNumCellsY(int Value) { FNumCellsY = Value; }

  // Cell (X, Y), (picture width div NumCellsX) x (picture height div NumCellsY) pixels; nothing
  // when X or Y lies outside the grid. The cell belongs to the image and the next call
  // overwrites it.
  const QPixmap* GetCell(int X, int Y);

protected:
  void paintEvent(QPaintEvent* Event) override;

private:
  QPixmap FPicture;
  QPixmap FCell;
  int FNumCellsX = 0;
  int FNumCellsY = 0;
};
