#include "platform/SpriteSurfaceView.h"

#include <QElapsedTimer>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>

namespace {

TShiftState ShiftOf(const QMouseEvent& E) {
  TShiftState S = 0;
  const Qt::KeyboardModifiers M = E.modifiers();
  if (M & Qt::ShiftModifier) S |= ssShift;
  if (M & Qt::AltModifier) S |= ssAlt;
  if (M & Qt::ControlModifier) S |= ssCtrl;
  const Qt::MouseButtons B = E.buttons();
  if (B & Qt::LeftButton) S |= ssLeft;
  if (B & Qt::RightButton) S |= ssRight;
  if (B & Qt::MiddleButton) S |= ssMiddle;
  if (E.type() == QEvent::MouseButtonDblClick) S |= ssDouble;
  return S;
}

TMouseButton ButtonOf(const QMouseEvent& E) {
  switch (E.button()) {
    case Qt::RightButton:
      return mbRight;
    case Qt::MiddleButton:
      return mbMiddle;
    default:
      return mbLeft;
  }
}

}  // namespace

// One of the window's scroll bars as the surface sees it.
class TSpriteSurfaceView::TBar : public TSurfaceScrollBar {
public:
  TBar(TSpriteSurface& Surface, QScrollBar* Bar, std::function<void()> OnGone) : FBar(Bar) {
    FChanged = QObject::connect(Bar, &QScrollBar::valueChanged, Bar, [this, &Surface](int) { Surface.ScrollBarChange(this); });
    FGone = QObject::connect(Bar, &QObject::destroyed, Bar, std::move(OnGone));
  }
  ~TBar() override {
    QObject::disconnect(FChanged);
    QObject::disconnect(FGone);
  }
  QScrollBar* Bar() const { return FBar; }
  void SetVisible(bool Value) override {
    if (FBar) FBar->setVisible(Value);
  }
  void SetMax(std::int32_t Value) override {
    if (FBar) FBar->setRange(0, Value);
  }
  std::int32_t GetPosition() const override { return FBar ? FBar->value() : 0; }
  void SetPosition(std::int32_t Value) override {
    if (FBar) FBar->setValue(Value);
  }

private:
  QPointer<QScrollBar> FBar;
  QMetaObject::Connection FChanged;
  QMetaObject::Connection FGone;
};

TSpriteSurfaceView::TSpriteSurfaceView(TSpriteSurface& Surface, QWidget* Parent) : QWidget(Parent), FSurface(&Surface) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setMouseTracking(true);
  FTimer.setSingleShot(true);
  FTimer.setTimerType(Qt::PreciseTimer);
  connect(&FTimer, &QTimer::timeout, this, [this] { Tick(); });
  FSurface->SetHost(this);
  resize(std::max(FSurface->GetWidth(), 0), std::max(FSurface->GetHeight(), 0));
  SyncBounds();
  if (FSurface->GetActive()) ActiveChanged(*FSurface);
}

TSpriteSurfaceView::~TSpriteSurfaceView() {
  FTimer.stop();
  SetScrollBarHorz(nullptr);
  SetScrollBarVert(nullptr);
  if (FSurface && FSurface->GetHost() == this) FSurface->SetHost(nullptr);
}

void TSpriteSurfaceView::SurfaceGone(TSpriteSurface&) {
  FTimer.stop();
  // The surface no longer holds the bars: only our side of them goes.
  FBarHorz.reset();
  FBarVert.reset();
  FSurface = nullptr;
}

void TSpriteSurfaceView::SetBar(std::unique_ptr<TBar>& Slot, QScrollBar* Bar, bool Horizontal) {
  if (Bar && Slot && Slot->Bar() == Bar) return;
  if (!FSurface) {
    Slot.reset();
    return;
  }
  if (Horizontal)
    FSurface->SetScrollBarHorz(nullptr);
  else
    FSurface->SetScrollBarVert(nullptr);
  Slot.reset();
  if (!Bar) return;
  // A bar that goes is forgotten.
  if (!FSurface) return;
  Slot = std::make_unique<TBar>(*FSurface, Bar, [this, Horizontal] {
    if (Horizontal)
      SetScrollBarHorz(nullptr);
    else
      SetScrollBarVert(nullptr);
  });
  if (Horizontal)
    FSurface->SetScrollBarHorz(Slot.get());
  else
    FSurface->SetScrollBarVert(Slot.get());
  SyncBounds();
  FSurface->UpdateScrollBars();
}

void TSpriteSurfaceView::SetScrollBarHorz(QScrollBar* Bar) { SetBar(FBarHorz, Bar, true); }

void TSpriteSurfaceView::SetScrollBarVert(QScrollBar* Bar) { SetBar(FBarVert, Bar, false); }

void TSpriteSurfaceView::FrameStarting(TSpriteSurface&) { SyncBounds(); }

void TSpriteSurfaceView::ActiveChanged(TSpriteSurface& Surface) {
  if (Surface.GetActive()) {
    ++FGeneration;
    FTimer.start(0);
  } else {
    FTimer.stop();
    FShownSinceStop = false;
    update();
  }
}

void TSpriteSurfaceView::Tick() {
  if (!FSurface || !FSurface->GetActive()) return;
  const unsigned Generation = FGeneration;
  QElapsedTimer Clock;
  Clock.start();
  FSurface->RenderFrame();
  if (!FSurface || !FSurface->GetActive() || Generation != FGeneration) return;
  FTimer.start(int(FrameDelay(FSurface->GetAnimationInterval(), Clock.elapsed())));
}

void TSpriteSurfaceView::ShowFrame(TSpriteSurface& Surface) {
  const TBitmap* Buffer = Surface.GetBackBuffer();
  if (!Buffer) return;
  const int W = std::max(width(), 0), H = std::max(height(), 0);
  if (FImage.width() != W || FImage.height() != H) {
    FImage = QImage(W, H, QImage::Format_RGB32);
    // New pixels, perhaps where the old ones were: the next frame is converted whole.
    FConverter.Invalidate();
  }
  // Only the blocks that changed since the last frame are converted, and only their part of
  // the window is painted again: a frame like the one before costs the window nothing.
  TRect Changed;
  if (W > 0 && H > 0)
    Changed = FConverter.Convert(*Buffer, reinterpret_cast<std::uint32_t*>(FImage.bits()), int(FImage.bytesPerLine() / 4), W, H);
  ++FFramesShown;
  if (!FShownSinceStop) {
    // The white field of a stopped surface gives way to the frame everywhere.
    FShownSinceStop = true;
    update();
  } else if (!Changed.IsEmpty()) {
    update(Changed.Left, Changed.Top, Changed.Width(), Changed.Height());
  }
}

void TSpriteSurfaceView::paintEvent(QPaintEvent* Event) {
  ++FPaints;
  QPainter P(this);
  if ((!FSurface || !FSurface->GetActive()) && !FShownSinceStop) {
    P.fillRect(rect(), Qt::white);
    P.setPen(Qt::black);
    P.drawRect(0, 0, width() - 1, height() - 1);
    return;
  }
  // Only the part to be painted is copied.
  const QRect Part = Event->rect() & FImage.rect();
  if (!Part.isEmpty()) P.drawImage(Part.topLeft(), FImage, Part);
  if (FImage.width() < width()) P.fillRect(FImage.width(), 0, width() - FImage.width(), height(), Qt::black);
  if (FImage.height() < height()) P.fillRect(0, FImage.height(), width(), height() - FImage.height(), Qt::black);
}

void TSpriteSurfaceView::SyncBounds() {
  if (!FSurface) return;
  const int W = width() >= 1 ? width() - width() % 4 : 0;
  if (FSurface->GetLeft() != x() || FSurface->GetTop() != y() || FSurface->GetWidth() != W || FSurface->GetHeight() != height())
    FSurface->SetBounds(x(), y(), width(), height());
}

void TSpriteSurfaceView::resizeEvent(QResizeEvent* Event) {
  QWidget::resizeEvent(Event);
  SyncBounds();
}

void TSpriteSurfaceView::moveEvent(QMoveEvent* Event) {
  QWidget::moveEvent(Event);
  SyncBounds();
}

void TSpriteSurfaceView::mousePressEvent(QMouseEvent* Event) {
  if (!FSurface) return;
  const QPoint P = Event->position().toPoint();
  FSurface->MouseDown(ButtonOf(*Event), ShiftOf(*Event), P.x(), P.y());
}

void TSpriteSurfaceView::mouseMoveEvent(QMouseEvent* Event) {
  if (!FSurface) return;
  const QPoint P = Event->position().toPoint();
  FSurface->MouseMove(ShiftOf(*Event), P.x(), P.y());
}

void TSpriteSurfaceView::mouseReleaseEvent(QMouseEvent* Event) {
  if (!FSurface) return;
  const QPoint P = Event->position().toPoint();
  FSurface->MouseUp(ButtonOf(*Event), ShiftOf(*Event), P.x(), P.y());
}
