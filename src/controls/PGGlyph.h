#pragma once
// The glyph engine of the caption bar's items: it renders a glyph (a cell of a picture strip)
// and a caption into one drawing per state (up, disabled, down), made when first drawn and
// made again after any change, and draws it onto an item, on a button face when asked. A
// state without its own cell shows cell 0, embossed when disabled.
#include <QColor>
#include <QFont>
#include <QImage>
#include <QString>
#include <array>
#include <functional>

#include "controls/PGGlyphLayout.h"

class QPainter;

// The look of a button face: the window system's current one, the old one with a black
// outline, or the new one.
enum TButtonStyle { bsAutoDetect, bsWin31, bsNew };

class TPGGlyphEngine {
public:
  TPGGlyphEngine();

  int BevelWidth() const { return FBevelWidth; }
  void SetBevelWidth(int Value);
  // Draw a button face under the drawing.
  bool Button() const { return FButton; }
  void SetButton(bool Value);
  TButtonStyle ButtonStyle() const { return FButtonStyle; }
  void SetButtonStyle(TButtonStyle Value);
  QString Caption() const { return FCaption; }
  void SetCaption(const QString& Value);
  QFont Font() const { return FFont; }
  void SetFont(const QFont& Value);
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& Value);
  TPGGlyphLayout Layout() const { return FLayout; }
  void SetLayout(TPGGlyphLayout Value);
  int Margin() const { return FMargin; }
  void SetMargin(int Value);
  int Spacing() const { return FSpacing; }
  void SetSpacing(int Value);
  // The number of cells of the picture (derived from it when it is set).
  int NumGlyphs() const { return FNumGlyphs; }
  void SetNumGlyphs(int Value);
  const QImage& Picture() const { return FPicture; }
  // Copies the picture; its cells are NumGlyphs as derived from its size.
  void SetPicture(const QImage& Value);
  TPGGlyphState State() const { return FState; }
  void SetState(TPGGlyphState Value);
  // The drawing is blitted with TransparentColor masked out.
  bool Transparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  QColor TransparentColor() const { return FTransparentColor; }
  void SetTransparentColor(const QColor& Value);

  // Fired whenever the drawings are made anew.
  std::function<void(TPGGlyphEngine* Sender)> OnRefreshDrawings;

  // The cell size of the picture.
  int CellWidth() const { return FCellWidth; }
  int CellHeight() const { return FCellHeight; }
  // Size and places of a drawing (the same for every state).
  TGlyphDrawingLayout CalcLayout() const;
  // The drawing of State, made when missing.
  const QImage& Drawing(TPGGlyphState State);
  // Draws the current state into Dest of Canvas: the drawing centred and clipped, one pixel
  // further right and down while down, on a button face when Button is set.
  void Draw(QPainter& Canvas, const QRect& Dest);
  // Recomputes the cells, renders every drawing that exists again and fires OnRefreshDrawings.
  void RefreshDrawings();

private:
  QImage RenderDrawing(TPGGlyphState State) const;

  int FBevelWidth = 2;
  bool FButton = false;
  TButtonStyle FButtonStyle = bsAutoDetect;
  QString FCaption;
  QFont FFont;
  QColor FFontColor = QColor(0, 0, 0);
  TPGGlyphLayout FLayout = glGlyphLeft;
  int FMargin = 2;
  int FSpacing = 2;
  int FNumGlyphs = 0;
  QImage FPicture;
  TPGGlyphState FState = gsUp;
  bool FTransparent = true;
  QColor FTransparentColor = QColor(255, 255, 255);
  int FCellWidth = 0;
  int FCellHeight = 0;
  std::array<QImage, 3> FDrawings;
};

// The disabled look of Image: every pixel that is not Background, as a white shape one pixel
// right and down and a shadow shape over it, on Face.
QImage EmbossImage(const QImage& Image, const QColor& Background, const QColor& Face);

// Draws the window system's button face into Rect (pressed: sunk), BevelWidth rings deep;
// returns the rectangle inside it where the content goes (one pixel further while pressed).
QRect DrawButtonFace(QPainter& Canvas, const QRect& Rect, int BevelWidth, bool Pressed, TButtonStyle Style);

// The 16 x 16 glyph of a 32 x 32 icon (ShrinkIconToGlyph); another size is scaled to 32 x 32 first.
QImage ShrinkIconToGlyph(const QImage& Icon);
