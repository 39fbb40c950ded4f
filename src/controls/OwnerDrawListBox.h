#pragma once
// A list box of fixed-height rows that it draws itself. By default a row shows its item's text
// only up to the first delimiter (";"), so an item can carry hidden fields after it (an
// identifier, say); otherwise the drawing is left to OnCustomDraw. The game's unit and forces
// lists derive from it and call DrawItem first.
#include <QColor>
#include <QListWidget>
#include <QString>
#include <functional>

class QPainter;

// The state of the row being drawn: a combination of these.
enum TOwnerDrawStateItem : unsigned { odSelected = 1, odFocused = 2, odDisabled = 4 };
using TOwnerDrawState = unsigned;

class TOwnerDrawListBox : public QListWidget {
  Q_OBJECT
public:
  explicit TOwnerDrawListBox(QWidget* Parent = nullptr);

  int ItemHeight() const { return FItemHeight; }
  void SetItemHeight(int Value);
  // The background of a selected row (navy).
  QColor SelectColor() const { return FSelectColor; }
  void SetSelectColor(const QColor& Value);
  // The background of the other rows and of the list (the window colour).
  QColor Color() const { return FColor; }
  void SetColor(const QColor& Value);
  // The text colour of the rows that are not selected (a selected row's text is white).
  QColor FontColor() const { return FFontColor; }
  void SetFontColor(const QColor& Value);
  // The one character at which a row's shown text ends.
  QString Delimiter() const { return FDelimiter; }
  void SetDelimiter(const QString& Value);
  bool UseDelimiter() const { return FUseDelimiter; }
  void SetUseDelimiter(bool Value);
  // Draw the text (else OnCustomDraw draws the row on the background).
  bool DefaultDrawing() const { return FDefaultDrawing; }
  void SetDefaultDrawing(bool Value);

  // What a row with this item text shows by default: the text before the first delimiter when
  // UseDelimiter (nothing when it holds none), else all of it.
  QString ShownText(const QString& Item) const;

  using TDrawItemEvent = std::function<void(TOwnerDrawListBox* Control, QPainter& Canvas, int Index,
                                            const QRect& Rect, TOwnerDrawState State)>;
  TDrawItemEvent OnCustomDraw;

  // Draws row Index into Rect: the background in SelectColor or Color, then, with a transparent
  // brush and the pen in the text colour (white on a selected row), the shown text at the
  // rectangle's top-left corner, or OnCustomDraw without DefaultDrawing.
  virtual void DrawItem(QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState State);

protected:
  // Rows are as wide as the viewport: a change of its width (the list grows with its window,
  // or the scroll bar comes or goes) lays them out again, so texts drawn against a row's right
  // edge stay whole in view.
  void resizeEvent(QResizeEvent* Event) override;

private:
  QColor FSelectColor;
  QColor FColor;
  QColor FFontColor;
  QString FDelimiter = ";";
  int FItemHeight = 18;
  bool FUseDelimiter = true;
  bool FDefaultDrawing = true;
};
