#include "controls/CellImage.h"

#include <QPainter>

TCellImage::TCellImage(QWidget* Parent) : QWidget(Parent) {}

void TCellImage::SetPicture(const QPixmap& Picture) {
  FPicture = Picture;
  if (!FPicture.isNull()) resize(FPicture.size());
  update();
}

const QPixmap* TCellImage::GetCell(int X, int Y) {
  if (X < 0 || Y < 0 || X >= FNumCellsX || Y >= FNumCellsY) return nullptr;
  const int CellWidth = FPicture.width() / FNumCellsX;
  const int CellHeight = FPicture.height() / FNumCellsY;
  FCell = FPicture.copy(X * CellWidth, Y * CellHeight, CellWidth, CellHeight);
  return &FCell;
}

void TCellImage::paintEvent(QPaintEvent*) {
  if (FPicture.isNull()) return;
  QPainter Canvas(this);
  Canvas.drawPixmap(0, 0, FPicture);
}
