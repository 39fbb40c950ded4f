#pragma once
// The game's bevelled button, on every window and the base of its order buttons: a push
// button, or a toggle that stays down. Its face is a flat colour or a cell of a TCellImage; its
// bevel lights up in ColorHot while the mouse is over it; its caption may carry a glyph and one
// character drawn in ColorHot. Everything is painted by hand, the same under every style.
#include <QChar>
#include <QColor>
#include <QPixmap>
#include <QPointer>
#include <QString>

#include "controls/CellImage.h"
#include "controls/GraphicControl.h"

class TColorButton : public TGraphicControl {
  Q_OBJECT
public:
  // 75 x 25, with the window system's button colours.
  explicit TColorButton(QWidget* Parent = nullptr);

  // Number of bevel rings.
  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  // The face while up.
  QColor Color() const { return FColor; }
  void SetColor(const QColor& Value);
  // The lit side of the bevel.
  QColor ColorHighlight() const { return FColorHighlight; }
  void SetColorHighlight(const QColor& Value);
  // The dark side of the bevel, and the face while down.
  QColor ColorShadow() const { return FColorShadow; }
  void SetColorShadow(const QColor& Value);
  // Both sides of the bevel while the mouse is over the button; the highlighted character.
  QColor ColorHot() const { return FColorHot; }
  void SetColorHot(const QColor& Value);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  // The caption's colour (its face is the widget's font).
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& Value);
  // Only a toggle button (StayDown) can be put down or up by this; a push button ignores it.
  bool Down() const { return FDown; }
  void SetDown(bool Value);
  // A picture beside the caption (left, its corner colour transparent), or instead of it.
  const QPixmap& Glyph() const { return FGlyph; }
  void SetGlyph(const QPixmap& Value);
  // A glyph without caption fills the space inside the bevel.
  bool Stretch() const { return FStretch; }
  void SetStretch(bool Value);
  // Toggle mode: every press flips Down. Setting it puts the button up.
  bool StayDown() const { return FStayDown; }
  void SetStayDown(bool Value);
  // The caption's character drawn in ColorHot (a null character: none).
  QChar HighlightChar() const { return FHighlightChar; }
  void SetHighlightChar(QChar Value);
  // When set, the face is cell (IndexDown while down, else IndexUp; row 0) of this image,
  // stretched over the button. Not owned; forgotten when the image goes.
  TCellImage* CellImage() const { return FCellImage; }
  void SetCellImage(TCellImage* Value) { FCellImage = Value; }
  int IndexUp() const { return FIndexUp; }
  void SetIndexUp(int Value) { FIndexUp = Value; }
  int IndexDown() const { return FIndexDown; }
  void SetIndexDown(int Value) { FIndexDown = Value; }
  // While down, the caption is drawn in Color.
  bool InvertFontColor() const { return FInvertFontColor; }
  void SetInvertFontColor(bool Value) { FInvertFontColor = Value; }
  // The mouse is over the button.
  bool Hot() const { return FHot; }

protected:
  void MouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
  void MouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
  void enterEvent(QEnterEvent* Event) override;
  void leaveEvent(QEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;

private:
  int FBevelWidth = 1;
  QColor FColor;
  QColor FColorHighlight;
  QColor FColorShadow;
  QColor FColorHot;
  QColor FFontColor;
  QString FCaption;
  bool FDown = false;
  QPixmap FGlyph;
  // The glyph with the colour of its bottom-left pixel made transparent.
  QPixmap FTransparentGlyph;
  bool FHot = false;
  bool FStretch = false;
  bool FStayDown = false;
  QChar FHighlightChar;
  QPointer<TCellImage> FCellImage;
  int FIndexUp = 0;
  int FIndexDown = 0;
  bool FInvertFontColor = true;
};
