#include "ui/MapScroller.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>

#include "gamemap/MapNavigation.h"
#include "sprites/SpriteSurface.h"

TSpriteSurfaceScroller::TSpriteSurfaceScroller(QWidget* Parent) : QWidget(Parent) {
  setCursor(Qt::CrossCursor);
  setObjectName("scroller");
}

TSpriteSurfaceScroller::~TSpriteSurfaceScroller() { SetSpriteSurface(nullptr); }

void TSpriteSurfaceScroller::SetSpriteSurface(TSpriteSurface* Value) {
  if (Value == FSurface) return;
  if (FSurface) FSurface->BeforeRender = std::move(FPreviousBeforeRender);
  FPreviousBeforeRender = nullptr;
  FSurface = Value;
  if (!FSurface) return;
  FPreviousBeforeRender = std::move(FSurface->BeforeRender);
  FSurface->BeforeRender = [this](TSpriteSurface& Sender) {
    if (FPreviousBeforeRender) FPreviousBeforeRender(Sender);
    ScrollStep();
  };
}

void TSpriteSurfaceScroller::SetGlyph(const QPixmap& Value) {
  FGlyph = Value;
  update();
}

void TSpriteSurfaceScroller::SetColorHighlight(const QColor& Value) {
  FColorHighlight = Value;
  update();
}

void TSpriteSurfaceScroller::SetColorShadow(const QColor& Value) {
  FColorShadow = Value;
  update();
}

void TSpriteSurfaceScroller::ScrollStep() {
  if (!FScrolling || !FSurface) return;
  const TScrollDelta D = ScrollerStep(width(), height(), FLastX, FLastY, FMaxScroll);
  TSpriteSurface& S = *FSurface;
  const std::int32_t X = ClampOffset(S.GetOffsetX(), D.DX, S.GetVirtualWidth(), S.GetWidth());
  const std::int32_t Y = ClampOffset(S.GetOffsetY(), D.DY, S.GetVirtualHeight(), S.GetHeight());
  if (X != S.GetOffsetX()) S.SetOffsetX(X);
  if (Y != S.GetOffsetY()) S.SetOffsetY(Y);
}

void TSpriteSurfaceScroller::Remember(const QMouseEvent* Event) {
  FLastX = Event->position().toPoint().x();
  FLastY = Event->position().toPoint().y();
}

void TSpriteSurfaceScroller::mousePressEvent(QMouseEvent* Event) {
  QWidget::mousePressEvent(Event);
  FScrolling = true;
  Remember(Event);
  if (OnScrollStart) OnScrollStart(*this);
}

void TSpriteSurfaceScroller::mouseMoveEvent(QMouseEvent* Event) {
  QWidget::mouseMoveEvent(Event);
  Remember(Event);
}

void TSpriteSurfaceScroller::mouseReleaseEvent(QMouseEvent* Event) {
  QWidget::mouseReleaseEvent(Event);
  FScrolling = false;
  Remember(Event);
  if (OnScrollEnd) OnScrollEnd(*this);
}

void TSpriteSurfaceScroller::mouseDoubleClickEvent(QMouseEvent* Event) {
  QWidget::mouseDoubleClickEvent(Event);
  Remember(Event);
  const TScrollerJump J = ScrollerDoubleClick(width(), height(), FLastX, FLastY);
  if (J.Centre()) {
    if (OnCenter) OnCenter(*this);
    return;
  }
  if (!FSurface) return;
  TSpriteSurface& S = *FSurface;
  if (J.Right) S.SetOffsetX(std::max(0, S.GetVirtualWidth() - S.GetWidth()));
  if (J.Left) S.SetOffsetX(0);
  if (J.Bottom) S.SetOffsetY(std::max(0, S.GetVirtualHeight() - S.GetHeight()));
  if (J.Top) S.SetOffsetY(0);
}

void TSpriteSurfaceScroller::paintEvent(QPaintEvent*) {
  QPainter P(this);
  if (FGlyph.width() >= 1) {
    P.drawPixmap(rect(), FGlyph);
    return;
  }
  // The compass drawn by hand: a fill, lit top and right edges, shaded bottom and left ones, a
  // diamond lit on its upper half, and the two axes.
  const int W = width(), H = height(), CX = W / 2, CY = H / 2;
  P.fillRect(rect(), palette().window());
  P.setPen(FColorHighlight);
  P.drawLine(0, 0, W - 1, 0);
  P.drawLine(W - 1, 0, W - 1, H - 1);
  P.drawPolyline(QPolygon({QPoint(0, CY), QPoint(CX, 0), QPoint(W - 1, CY)}));
  P.setPen(FColorShadow);
  P.drawLine(0, H - 1, W - 1, H - 1);
  P.drawLine(0, 0, 0, H - 1);
  P.drawPolyline(QPolygon({QPoint(W - 1, CY), QPoint(CX, H - 1), QPoint(0, CY)}));
  P.drawLine(CX, 0, CX, H - 1);
  P.drawLine(0, CY, W - 1, CY);
}
