#pragma once
// The window of a sprite surface: shows the surface's back buffer, paces its frames and hands
// it the mouse and the scroll bars.
//
// Frames run in a main-thread timer's slot, never in a paint event: while the surface is
// Active a frame starts AnimationInterval ms after the previous one started (at once after a
// slower one). Each finished frame is converted to RGB (8-bit pixels through the buffer's
// colour table) only where it differs from the frame before, and only that part of the window
// is painted again; a paint only copies that picture. The surface's width is the
// window's rounded down to a multiple of 4; the one to three spare columns are black. An
// inactive surface that has shown no frame since it stopped is painted white with a black
// frame.
#include <QImage>
#include <QPointer>
#include <QScrollBar>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <memory>

#include "sprites/SpriteSurface.h"

class TSpriteSurfaceView : public QWidget, private TSurfaceHost {
  Q_OBJECT
public:
  // Shows Surface (not owned) and takes its size. A surface destroyed first is forgotten:
  // the view then shows its last frame and hands on nothing.
  explicit TSpriteSurfaceView(TSpriteSurface& Surface, QWidget* Parent = nullptr);
  ~TSpriteSurfaceView() override;

  // nullptr once the surface is gone.
  TSpriteSurface* Surface() const { return FSurface; }
  // The bars the surface keeps in step with its offsets (nullptr for none; not owned).
  void SetScrollBarHorz(QScrollBar* Bar);
  void SetScrollBarVert(QScrollBar* Bar);
  // The picture of the last frame shown.
  const QImage& FrameImage() const { return FImage; }
  // Frames shown since the view was made.
  int FramesShown() const { return FFramesShown; }
  // Paints of the window since it was made: a frame that changed nothing is not painted.
  int Paints() const { return FPaints; }

protected:
  void paintEvent(QPaintEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void moveEvent(QMoveEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

private:
  class TBar;
  void FrameStarting(TSpriteSurface& Surface) override;
  void ActiveChanged(TSpriteSurface& Surface) override;
  void ShowFrame(TSpriteSurface& Surface) override;
  void SurfaceGone(TSpriteSurface& Surface) override;
  void Tick();
  // The surface takes the window's place and size (a hidden window's resize event waits).
  void SyncBounds();
  void SetBar(std::unique_ptr<TBar>& Slot, QScrollBar* Bar, bool Horizontal);

  TSpriteSurface* FSurface;
  QTimer FTimer;
  // Counts starts, so a frame that stops and restarts the surface is not re-armed twice.
  unsigned FGeneration = 0;
  QImage FImage;
  TFrameConverter FConverter;
  bool FShownSinceStop = false;
  int FFramesShown = 0;
  int FPaints = 0;
  std::unique_ptr<TBar> FBarHorz;
  std::unique_ptr<TBar> FBarVert;
};
