#pragma once
// The navigator: a small copy of the whole map (the map set's preview) with a box around the
// part the window shows; dragging in it centres the map there. It repaints whenever the
// surface's offsets change.
#include <QColor>
#include <QImage>
#include <QWidget>
#include <functional>

class QPainter;
class TBitmap;
class TSpriteSurface;

// An 8-bit picture (the map's preview) as a Qt image of the same colours.
QImage ImageOfBitmap(const TBitmap& Bitmap);

class TSpriteSurfaceNavigator : public QWidget {
  Q_OBJECT
public:
  // 185 x 41, cross cursor.
  explicit TSpriteSurfaceNavigator(QWidget* Parent = nullptr);
  // Gives the surface its previous OnOffsetChange back.
  ~TSpriteSurfaceNavigator() override;

  TSpriteSurface* SpriteSurface() const { return FSurface; }
  // Follows the surface's offsets (its OnOffsetChange, after the one it had). The surface must
  // outlive the navigator or be unset first.
  void SetSpriteSurface(TSpriteSurface* Value);
  const QImage& Background() const { return FBackground; }
  // Copies the picture; the scaled copy is made again at the next paint.
  void SetBackground(const QImage& Value);
  void InvalidateBackground() { FRebuild = true; }
  QColor BoxColor() const { return FBoxColor; }
  void SetBoxColor(const QColor& Value);
  bool Dragging() const { return FDragging; }

  std::function<void(TSpriteSurfaceNavigator& Sender, QPainter& Painter)> OnCustomPaint;

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;

private:
  TSpriteSurface* FSurface = nullptr;
  std::function<void(TSpriteSurface&)> FPreviousOffsetChange;
  QImage FBackground;
  QImage FCache;
  bool FRebuild = true;
  QColor FBoxColor = Qt::white;
  bool FDragging = false;
};
