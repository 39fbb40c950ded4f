#include "ui/NavigatorView.h"

#include <QMouseEvent>
#include <QPainter>

#include "gamemap/MapNavigation.h"
#include "sprites/Bitmap.h"
#include "sprites/SpriteSurface.h"

QImage ImageOfBitmap(const TBitmap& Bitmap) {
  QImage Image(Bitmap.GetWidth(), Bitmap.GetHeight(), QImage::Format_RGB32);
  for (int Y = 0; Y < Bitmap.GetHeight(); ++Y) {
    auto* Row = reinterpret_cast<QRgb*>(Image.scanLine(Y));
    for (int X = 0; X < Bitmap.GetWidth(); ++X) {
      const std::uint32_t C = Bitmap.GetPixelColor(X, Y);
      Row[X] = qRgb(int(C & 0xFF), int((C >> 8) & 0xFF), int((C >> 16) & 0xFF));
    }
  }
  return Image;
}

TSpriteSurfaceNavigator::TSpriteSurfaceNavigator(QWidget* Parent) : QWidget(Parent) {
  setObjectName("navigator");
  resize(185, 41);
  setCursor(Qt::CrossCursor);
}

TSpriteSurfaceNavigator::~TSpriteSurfaceNavigator() { SetSpriteSurface(nullptr); }

void TSpriteSurfaceNavigator::SetSpriteSurface(TSpriteSurface* Value) {
  if (Value == FSurface) return;
  if (FSurface) FSurface->OnOffsetChange = std::move(FPreviousOffsetChange);
  FPreviousOffsetChange = nullptr;
  FSurface = Value;
  if (FSurface) {
    FPreviousOffsetChange = std::move(FSurface->OnOffsetChange);
    FSurface->OnOffsetChange = [this](TSpriteSurface& Sender) {
      if (FPreviousOffsetChange) FPreviousOffsetChange(Sender);
      repaint();
    };
  }
  update();
}

void TSpriteSurfaceNavigator::SetBackground(const QImage& Value) {
  FBackground = Value.copy();
  FRebuild = true;
  update();
}

void TSpriteSurfaceNavigator::SetBoxColor(const QColor& Value) {
  FBoxColor = Value;
  update();
}

void TSpriteSurfaceNavigator::mousePressEvent(QMouseEvent* Event) {
  QWidget::mousePressEvent(Event);
  FDragging = true;
}

void TSpriteSurfaceNavigator::mouseMoveEvent(QMouseEvent* Event) {
  QWidget::mouseMoveEvent(Event);
  if (!FDragging || !FSurface) return;
  const QPoint At = Event->position().toPoint();
  const TPoint Centre =
      NavigatorCentre(width(), height(), FSurface->GetVirtualWidth(), FSurface->GetVirtualHeight(), At.x(), At.y());
  FSurface->CenterOn(Centre.X, Centre.Y);
}

void TSpriteSurfaceNavigator::mouseReleaseEvent(QMouseEvent* Event) {
  QWidget::mouseReleaseEvent(Event);
  FDragging = false;
}

void TSpriteSurfaceNavigator::paintEvent(QPaintEvent*) {
  QPainter P(this);
  if (!FSurface) {
    P.fillRect(rect(), Qt::white);
    P.setPen(Qt::black);
    P.drawRect(0, 0, width() - 1, height() - 1);
    return;
  }
  if (FCache.size() != size() || FRebuild) {
    FCache = QImage(size(), QImage::Format_RGB32);
    if (FBackground.width() > 0)
      FCache = FBackground.scaled(size(), Qt::IgnoreAspectRatio, Qt::FastTransformation);
    else
      FCache.fill(Qt::black);
    FRebuild = false;
  }
  P.drawImage(0, 0, FCache);
  const TRect Box = NavigatorBox(width(), height(), FSurface->GetVirtualWidth(), FSurface->GetVirtualHeight(),
                                 FSurface->GetOffsetX(), FSurface->GetOffsetY(), FSurface->GetWidth(),
                                 FSurface->GetHeight());
  // A frame along the box's outer pixels, its right and bottom edges outside it.
  P.setPen(FBoxColor);
  P.setBrush(Qt::NoBrush);
  P.drawRect(Box.Left, Box.Top, std::max(0, Box.Right - Box.Left - 1), std::max(0, Box.Bottom - Box.Top - 1));
  if (OnCustomPaint) OnCustomPaint(*this, P);
}
