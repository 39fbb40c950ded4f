#pragma once
// The compass scroller over the map: while the mouse is held on it the map scrolls every frame
// toward the side pointed at, faster the farther from its middle; a double click near an edge
// jumps to that edge of the map, elsewhere it asks its owner to centre (on the player's
// capital). Its steps run as the surface's BeforeRender, after the one the surface had.
#include <QColor>
#include <QPixmap>
#include <QWidget>
#include <cstdint>
#include <functional>

class TSpriteSurface;

class TSpriteSurfaceScroller : public QWidget {
  Q_OBJECT
public:
  explicit TSpriteSurfaceScroller(QWidget* Parent = nullptr);
  // Gives the surface its previous BeforeRender back.
  ~TSpriteSurfaceScroller() override;

  TSpriteSurface* SpriteSurface() const { return FSurface; }
  // Installs the scroll step as the surface's BeforeRender, keeping the one it had and running
  // it first; nullptr (or another surface) gives the old surface its own back. The surface must
  // outlive the scroller or be unset first.
  void SetSpriteSurface(TSpriteSurface* Value);
  // Pixels per frame at the rim.
  std::int32_t MaxScroll() const { return FMaxScroll; }
  void SetMaxScroll(std::int32_t Value) { FMaxScroll = Value; }
  // Drawn stretched over the scroller when it is not empty.
  const QPixmap& Glyph() const { return FGlyph; }
  void SetGlyph(const QPixmap& Value);
  QColor ColorHighlight() const { return FColorHighlight; }
  void SetColorHighlight(const QColor& Value);
  QColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(const QColor& Value);
  bool Scrolling() const { return FScrolling; }

  // One frame's scroll (the surface's BeforeRender calls it).
  void ScrollStep();

  std::function<void(TSpriteSurfaceScroller& Sender)> OnCenter;
  std::function<void(TSpriteSurfaceScroller& Sender)> OnScrollStart;
  std::function<void(TSpriteSurfaceScroller& Sender)> OnScrollEnd;

protected:
  void paintEvent(QPaintEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseDoubleClickEvent(QMouseEvent* Event) override;

private:
  void Remember(const QMouseEvent* Event);

  TSpriteSurface* FSurface = nullptr;
  std::function<void(TSpriteSurface&)> FPreviousBeforeRender;
  std::int32_t FMaxScroll = 100;
  QPixmap FGlyph;
  QColor FColorHighlight = Qt::white;
  QColor FColorShadow = Qt::darkGray;
  bool FScrolling = false;
  int FLastX = 0;
  int FLastY = 0;
};
