#pragma once
// The colour memo: a plain-text editor that shows its text in the colours of its rules
// (keywords, strings, comments...) and marks clickable hot spots. After every change, scroll,
// resize, click and caret move it colours the lines in view (and, for rules whose keys span
// several lines, as many lines above them) with the key engine of TSyntaxColorizer and puts the
// runs on the lines' layouts as additional formats: they change how the text is shown, never the
// document, so they are not on the undo stack and do not count as an edit.
#include <QCursor>
#include <QPlainTextEdit>
#include <QTextBlock>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "controls/SyntaxColorizer.h"

class TColorMemo : public QPlainTextEdit {
  Q_OBJECT
public:
  explicit TColorMemo(QWidget* Parent = nullptr);
  ~TColorMemo() override;

  // The rules, in the order their keys are merged; changing them recolours the memo.
  TDrawRules& ColorRules() { return FColorizer.ColorRules(); }
  void SetColorRules(const TDrawRules& Value);
  // The size of the table OnDraw fills.
  int ColorLimMax() const { return FColorizer.ColorLimMax(); }
  void SetColorLimMax(int Value);
  // Gives the text from the start of the caret's line to the caret the text colour.
  bool RedrawAlways() const { return FColorizer.RedrawAlways(); }
  void SetRedrawAlways(bool Value);
  const THotSpot& HotSpot() const { return FColorizer.HotSpot(); }
  void SetHotSpot(const THotSpot& Value);

  // The document position of the character under Point (viewport coordinates): on a line, the
  // character whose cell holds the point's x (the line's end right of its text); above or below
  // the text, the nearest line. -1 for an empty memo.
  int CharFromPos(const QPoint& Point) const;
  // The mouse is over a hot spot and the viewport shows HotSpotCursor.
  bool OverHotSpot() const { return FOverHotSpot; }
  // The cursor over hot spots (the memo's own, not the map's target cursor).
  static QCursor HotSpotCursor();

  // Colours the lines in view now.
  virtual void DrawColoredLines();
  // The runs of the last colouring; their positions are document positions.
  const std::vector<TKeyDescr>& Runs() const { return FRuns; }

  using TNotifyEvent = std::function<void(TColorMemo* Sender)>;
  using TKeyEvent = std::function<void(TColorMemo* Sender, int& Key, Qt::KeyboardModifiers Shift)>;
  using TMouseEvent = std::function<void(TColorMemo* Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
                                         int X, int Y)>;
  using TMouseMoveEvent = std::function<void(TColorMemo* Sender, Qt::KeyboardModifiers Shift, int X, int Y)>;
  // The text of the clicked hot spot (without its markers).
  using THotSpotClickEvent = std::function<void(TColorMemo* Sender, const std::string& Text)>;
  // For a dtEventDraw rule: fill up to Limit entries of Table, relative to the document position
  // RangeStart of the first coloured line, and set Count.
  using TDrawEvent = std::function<void(TColorMemo* Sender, TColorRule& Rule, int RangeStart,
                                        std::span<TDrawKey> Table, int& Count, int Limit)>;
  // Draws a keyword over the memo's own painting of it (the keyword then gets no colour of its
  // own): its text and its rectangle in the viewport.
  using TDrawKeyEvent = std::function<void(TColorMemo* Sender, QPainter& Canvas, const std::string& Text,
                                           const QRect& Rect)>;

  TNotifyEvent OnChange;
  TNotifyEvent OnClick;
  // Setting Key to 0 keeps the memo from handling the key.
  TKeyEvent OnKeyDown;
  TKeyEvent OnKeyUp;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  THotSpotClickEvent OnHotSpotClick;
  TDrawEvent OnDraw;
  TDrawKeyEvent OnDrawKey;
  TNotifyEvent OnHScroll;
  TNotifyEvent OnVScroll;

protected:
  void keyPressEvent(QKeyEvent* Event) override;
  void keyReleaseEvent(QKeyEvent* Event) override;
  void mousePressEvent(QMouseEvent* Event) override;
  void mouseReleaseEvent(QMouseEvent* Event) override;
  void mouseMoveEvent(QMouseEvent* Event) override;
  void resizeEvent(QResizeEvent* Event) override;
  void showEvent(QShowEvent* Event) override;
  void paintEvent(QPaintEvent* Event) override;
  void changeEvent(QEvent* Event) override;

private:
  // Whether the character at document Position lies in a hot spot; Text gets the hot spot's text.
  bool HotSpotAt(int Position, std::string* Text) const;
  void Change();
  // DrawColoredLines from a Qt event: a failing handler is shown, not thrown.
  void Recolour();
  void ApplyRuns();
  QColor ToQColor(TColor Color) const;

  // A keyword handed to OnDrawKey at the next paint.
  struct TKeyPiece {
    QTextBlock Block;
    int Position = 0;  // in the block
    int Length = 0;
    std::string Text;
  };
  // A coloured line and where its text starts in FText.
  struct TLine {
    QTextBlock Block;
    int Offset = 0;
  };

  TSyntaxColorizer FColorizer;
  std::vector<QMetaObject::Connection> FConnections;
  std::string FText;
  std::vector<TLine> FLines;
  std::vector<TKeyDescr> FRuns;
  std::vector<TKeyPiece> FKeyPieces;
  int FRangeStart = 0;
  bool FColoring = false;
  bool FOverHotSpot = false;
  bool FPressed = false;
};
