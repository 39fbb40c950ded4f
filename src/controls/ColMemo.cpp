#include "controls/ColMemo.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextDocument>
#include <QTextLayout>
#include <algorithm>

#include "platform/Application.h"
#include "platform/TextCodec.h"

namespace {

TColor FromQColor(const QColor& C) {
  return RGBColor(static_cast<std::uint8_t>(C.red()), static_cast<std::uint8_t>(C.green()),
                  static_cast<std::uint8_t>(C.blue()));
}

bool IsMoveKey(int Key) {
  switch (Key) {
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_End:
    case Qt::Key_Home:
    case Qt::Key_Left:
    case Qt::Key_Up:
    case Qt::Key_Right:
    case Qt::Key_Down: return true;
    default: return false;
  }
}

}  // namespace

TColorMemo::TColorMemo(QWidget* Parent) : QPlainTextEdit(Parent) {
  // Hot spots change the cursor while the mouse merely passes over them.
  viewport()->setMouseTracking(true);
  FColorizer.ColorRules().OnChange = [this](TDrawRules*) { Recolour(); };
  FColorizer.OnDraw = [this](TSyntaxColorizer*, TColorRule& Rule, std::int32_t RangeStart, std::span<TDrawKey> Table,
                             int& Count, int Limit) {
    if (OnDraw) OnDraw(this, Rule, FRangeStart + RangeStart, Table, Count, Limit);
  };
  FConnections = {
      connect(this, &QPlainTextEdit::textChanged, this, [this] { Change(); }),
      connect(this, &QPlainTextEdit::selectionChanged, this, [this] { Recolour(); }),
      connect(this, &QPlainTextEdit::cursorPositionChanged, this, [this] { Recolour(); }),
      connect(verticalScrollBar(), &QScrollBar::valueChanged, this,
              [this] {
                if (OnVScroll) RunGuarded([&] { OnVScroll(this); });
                Recolour();
              }),
      connect(horizontalScrollBar(), &QScrollBar::valueChanged, this,
              [this] {
                if (OnHScroll) RunGuarded([&] { OnHScroll(this); });
                Recolour();
              }),
  };
}

TColorMemo::~TColorMemo() {
  // The edit's own destruction (of its document, say) must not reach the memo's handlers once
  // the memo's members are gone.
  for (const QMetaObject::Connection& C : FConnections) disconnect(C);
  FColorizer.ColorRules().OnChange = nullptr;
}

void TColorMemo::SetColorRules(const TDrawRules& Value) {
  FColorizer.ColorRules().Assign(Value);  // recolours through the rules' OnChange
}

void TColorMemo::SetColorLimMax(int Value) {
  FColorizer.SetColorLimMax(Value);
  Recolour();
}

void TColorMemo::SetRedrawAlways(bool Value) {
  FColorizer.SetRedrawAlways(Value);
  Recolour();
}

void TColorMemo::SetHotSpot(const THotSpot& Value) {
  FColorizer.SetHotSpot(Value);
  Recolour();
}

QCursor TColorMemo::HotSpotCursor() { return QCursor(Qt::PointingHandCursor); }

QColor TColorMemo::ToQColor(TColor Color) const {
  if (Color == clWindow) return palette().color(QPalette::Base);
  return QColor(GetRValue(Color), GetGValue(Color), GetBValue(Color));
}

void TColorMemo::Change() {
  if (OnChange) RunGuarded([&] { OnChange(this); });
  Recolour();
}

void TColorMemo::Recolour() {
  RunGuarded([&] { DrawColoredLines(); });
}

void TColorMemo::DrawColoredLines() {
  if (FColoring || !isVisible()) return;
  FColoring = true;
  struct TGuard {
    bool& Flag;
    ~TGuard() { Flag = false; }
  } Guard{FColoring};

  const QTextBlock First = firstVisibleBlock();
  if (!First.isValid()) return;
  // The lines in view: every line from the first visible one whose top is inside the viewport.
  const QPointF Offset = contentOffset();
  const int Height = viewport()->height();
  QTextBlock Last = First;
  for (QTextBlock B = First.next(); B.isValid(); B = B.next()) {
    if (blockBoundingGeometry(B).translated(Offset).top() >= Height) break;
    Last = B;
  }
  const QTextBlock ScanStart = document()->findBlockByNumber(FColorizer.ScanStartLine(First.blockNumber()));

  // The text from the scan start to the end of the last line in view; a line break is one
  // character, as in the document, so an index of the text is a document position less the
  // range's start.
  FText.clear();
  FLines.clear();
  for (QTextBlock B = ScanStart; B.isValid(); B = B.next()) {
    FLines.push_back({B, static_cast<int>(FText.size())});
    FText += FromQString(B.text());
    if (B == Last) break;
    FText += '\n';
  }
  FRangeStart = ScanStart.position();

  TColoringState State;
  State.FontColor = FromQColor(palette().color(QPalette::Text));
  State.MemoColor = clWindow;
  State.WantTabs = !tabChangesFocus();
  const QTextCursor Caret = textCursor();
  State.Caret = Caret.position() - FRangeStart;
  State.CaretLineStart = Caret.block().position() - FRangeStart;
  State.SelStart = Caret.selectionStart() - FRangeStart;
  State.SelLength = Caret.selectionEnd() - Caret.selectionStart();
  FRuns = FColorizer.FindRuns(FText, 0, static_cast<std::int32_t>(FText.size()), State);
  ApplyRuns();
  for (TKeyDescr& Run : FRuns) {
    Run.Start += FRangeStart;
    Run.End += FRangeStart;
  }
}

void TColorMemo::ApplyRuns() {
  FKeyPieces.clear();
  const THotSpot& Spot = FColorizer.HotSpot();
  std::size_t FirstRun = 0;
  for (const TLine& Line : FLines) {
    const int Start = Line.Offset;
    const int End = Start + Line.Block.length() - 1;  // the line's text, without its break
    QList<QTextLayout::FormatRange> Formats;
    while (FirstRun < FRuns.size() && FRuns[FirstRun].End < Start) ++FirstRun;
    for (std::size_t I = FirstRun; I < FRuns.size() && FRuns[I].Start < End; ++I) {
      const TKeyDescr& Run = FRuns[I];
      if (Run.ZOrder == zoSelection || Run.ZOrder == zoTab) continue;  // the edit shows those
      const int From = std::max(Run.Start, Start);
      const int To = std::min(Run.End + 1, End);
      if (To <= From) continue;
      if (Run.Keyword && OnDrawKey) {
        FKeyPieces.push_back({Line.Block, From - Start, To - From, FText.substr(static_cast<std::size_t>(From),
                                                                             static_cast<std::size_t>(To - From))});
        continue;
      }
      QTextLayout::FormatRange Range;
      Range.start = From - Start;
      Range.length = To - From;
      if (Run.ZOrder == zoHotSpotMarker) {
        // The marker character vanishes into a block of the marker colour.
        Range.format.setForeground(ToQColor(Run.Color));
        Range.format.setBackground(ToQColor(Run.Color));
      } else {
        Range.format.setForeground(ToQColor(Run.Color));
        if (Run.ZOrder == zoHotSpotText && Spot.Underlined) Range.format.setFontUnderline(true);
      }
      Formats.append(Range);
    }
    QTextLayout* Layout = Line.Block.layout();
    if (Layout && Layout->formats() != Formats) {
      Layout->setFormats(Formats);
      document()->markContentsDirty(Line.Block.position(), Line.Block.length());
    }
  }
  if (!FKeyPieces.empty()) viewport()->update();
}

int TColorMemo::CharFromPos(const QPoint& Point) const {
  QTextBlock Block = firstVisibleBlock();
  if (!Block.isValid()) return -1;
  const QPointF Offset = contentOffset();
  // Above the text: the first line in view; below it: the last line.
  for (QTextBlock B = Block; B.isValid(); B = B.next()) {
    Block = B;
    if (Point.y() < blockBoundingGeometry(B).translated(Offset).bottom()) break;
  }
  const QRectF Geometry = blockBoundingGeometry(Block).translated(Offset);
  const QTextLayout* Layout = Block.layout();
  if (!Layout || Layout->lineCount() == 0) return Block.position();
  const QPointF Local = QPointF(Point) - Geometry.topLeft();
  QTextLine Line = Layout->lineAt(Layout->lineCount() - 1);
  for (int I = 0; I < Layout->lineCount(); ++I) {
    if (Local.y() < Layout->lineAt(I).rect().bottom()) {
      Line = Layout->lineAt(I);
      break;
    }
  }
  return Block.position() + Line.xToCursor(Local.x(), QTextLine::CursorOnCharacter);
}

bool TColorMemo::HotSpotAt(int Position, std::string* Text) const {
  if (Position < 0) return false;
  const QTextBlock Block = document()->findBlock(Position);
  if (!Block.isValid()) return false;
  const THotSpot& Spot = FColorizer.HotSpot();
  return FindHotSpotText(FromQString(Block.text()), Position - Block.position(), Spot.BeginChar, Spot.EndChar, Text);
}

void TColorMemo::keyPressEvent(QKeyEvent* Event) {
  const Qt::KeyboardModifiers Shift = Event->modifiers();
  if (textCursor().hasSelection() && !(Shift & Qt::ShiftModifier) && IsMoveKey(Event->key())) {
    // The caret moves on from the selection's end.
    QTextCursor C = textCursor();
    C.setPosition(C.selectionEnd());
    setTextCursor(C);
    Recolour();
  }
  int Key = Event->key();
  if (OnKeyDown) RunGuarded([&] { OnKeyDown(this, Key, Shift); });
  if (Key == 0) {
    Event->accept();
    return;
  }
  QPlainTextEdit::keyPressEvent(Event);
}

void TColorMemo::keyReleaseEvent(QKeyEvent* Event) {
  QPlainTextEdit::keyReleaseEvent(Event);
  if (Event->key() == Qt::Key_Shift) Recolour();
  int Key = Event->key();
  if (OnKeyUp) RunGuarded([&] { OnKeyUp(this, Key, Event->modifiers()); });
}

void TColorMemo::mousePressEvent(QMouseEvent* Event) {
  QPlainTextEdit::mousePressEvent(Event);
  if (Event->button() == Qt::LeftButton) {
    FPressed = true;
    Recolour();
  }
  const QPoint P = Event->position().toPoint();
  if (OnMouseDown) RunGuarded([&] { OnMouseDown(this, Event->button(), Event->modifiers(), P.x(), P.y()); });
}

void TColorMemo::mouseReleaseEvent(QMouseEvent* Event) {
  QPlainTextEdit::mouseReleaseEvent(Event);
  const QPoint P = Event->position().toPoint();
  if (Event->button() == Qt::LeftButton) {
    Recolour();
    const bool Clicked = FPressed && viewport()->rect().contains(P);
    FPressed = false;
    if (Clicked && OnClick) RunGuarded([&] { OnClick(this); });
  }
  if (OnMouseUp) RunGuarded([&] { OnMouseUp(this, Event->button(), Event->modifiers(), P.x(), P.y()); });
  if (Event->button() == Qt::LeftButton && FOverHotSpot) {
    std::string Text;
    if (HotSpotAt(CharFromPos(P), &Text) && OnHotSpotClick) RunGuarded([&] { OnHotSpotClick(this, Text); });
  }
}

void TColorMemo::mouseMoveEvent(QMouseEvent* Event) {
  QPlainTextEdit::mouseMoveEvent(Event);
  const QPoint P = Event->position().toPoint();
  if (HotSpot().Active) {
    const bool Over = HotSpotAt(CharFromPos(P), nullptr);
    if (Over != FOverHotSpot) {
      FOverHotSpot = Over;
      if (Over) {
        viewport()->setCursor(HotSpotCursor());
      } else {
        // Back to its parent's cursor, or the edit's own when the parent has none of its own.
        QWidget* Parent = parentWidget();
        viewport()->setCursor(Parent && Parent->testAttribute(Qt::WA_SetCursor) ? Parent->cursor()
                                                                                 : QCursor(Qt::IBeamCursor));
      }
    }
  } else if (FOverHotSpot) {
    FOverHotSpot = false;
    viewport()->setCursor(Qt::IBeamCursor);
  }
  if (OnMouseMove) RunGuarded([&] { OnMouseMove(this, Event->modifiers(), P.x(), P.y()); });
}

void TColorMemo::resizeEvent(QResizeEvent* Event) {
  QPlainTextEdit::resizeEvent(Event);
  Recolour();
}

void TColorMemo::showEvent(QShowEvent* Event) {
  QPlainTextEdit::showEvent(Event);
  Recolour();
}

void TColorMemo::changeEvent(QEvent* Event) {
  QPlainTextEdit::changeEvent(Event);
  if (Event->type() == QEvent::PaletteChange || Event->type() == QEvent::FontChange) Recolour();
}

void TColorMemo::paintEvent(QPaintEvent* Event) {
  QPlainTextEdit::paintEvent(Event);
  if (!OnDrawKey || FKeyPieces.empty()) return;
  QPainter Canvas(viewport());
  Canvas.setFont(font());
  const QFontMetrics Metrics(font());
  const QPointF Offset = contentOffset();
  for (const TKeyPiece& Piece : FKeyPieces) {
    if (!Piece.Block.isValid() || Piece.Position + Piece.Length > Piece.Block.length() - 1) continue;
    const QTextLayout* Layout = Piece.Block.layout();
    if (!Layout) continue;
    const QTextLine Line = Layout->lineForTextPosition(Piece.Position);
    if (!Line.isValid()) continue;
    const QPointF Top = blockBoundingGeometry(Piece.Block).translated(Offset).topLeft();
    const QRect Rect(QPoint(qRound(Top.x() + Line.cursorToX(Piece.Position)), qRound(Top.y() + Line.y())),
                     QSize(Metrics.horizontalAdvance(ToQString(Piece.Text)), qRound(Line.height())));
    if (!Rect.intersects(Event->rect())) continue;
    Canvas.save();
    RunGuarded([&] { OnDrawKey(this, Canvas, Piece.Text, Rect); });
    Canvas.restore();
  }
}
