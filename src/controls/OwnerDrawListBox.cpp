#include "controls/OwnerDrawListBox.h"

#include <QAbstractItemDelegate>
#include <QApplication>
#include <QPainter>
#include <QResizeEvent>

#include "platform/Application.h"

namespace {
// Hands the painting of each row to the list box's DrawItem and gives rows its ItemHeight.
class TOwnerDrawDelegate : public QAbstractItemDelegate {
public:
  explicit TOwnerDrawDelegate(TOwnerDrawListBox* List) : QAbstractItemDelegate(List), FList(List) {}

  void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
    TOwnerDrawState State = 0;
    if (Option.state & QStyle::State_Selected) State |= odSelected;
    if (Option.state & QStyle::State_HasFocus) State |= odFocused;
    if (!(Option.state & QStyle::State_Enabled)) State |= odDisabled;
    Painter->save();
    Painter->setClipRect(Option.rect);
    Painter->setFont(FList->font());
    RunGuarded([&] { FList->DrawItem(*Painter, Index.row(), Option.rect, State); });
    Painter->restore();
    if (State & odFocused) {
      QStyleOptionFocusRect Focus;
      Focus.QStyleOption::operator=(Option);
      Focus.backgroundColor = (State & odSelected) ? FList->SelectColor() : FList->Color();
      FList->style()->drawPrimitive(QStyle::PE_FrameFocusRect, &Focus, Painter, FList);
    }
  }

  QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override {
    return QSize(FList->viewport()->width(), FList->ItemHeight());
  }

private:
  TOwnerDrawListBox* FList;
};
}  // namespace

TOwnerDrawListBox::TOwnerDrawListBox(QWidget* Parent) : QListWidget(Parent) {
  const QPalette Colors = QApplication::palette();
  FSelectColor = QColor(0, 0, 0x80);
  FColor = Colors.color(QPalette::Base);
  FFontColor = Colors.color(QPalette::Text);
  setItemDelegate(new TOwnerDrawDelegate(this));
  setUniformItemSizes(false);
  SetColor(FColor);
}

void TOwnerDrawListBox::resizeEvent(QResizeEvent* Event) {
  QListWidget::resizeEvent(Event);
  if (Event->size().width() != Event->oldSize().width()) scheduleDelayedItemsLayout();
}

void TOwnerDrawListBox::SetItemHeight(int Value) {
  if (Value == FItemHeight) return;
  FItemHeight = Value;
  scheduleDelayedItemsLayout();
  viewport()->update();
}

void TOwnerDrawListBox::SetSelectColor(const QColor& Value) {
  FSelectColor = Value;
  viewport()->update();
}

void TOwnerDrawListBox::SetColor(const QColor& Value) {
  FColor = Value;
  QPalette Colors = viewport()->palette();
  Colors.setColor(QPalette::Base, Value);
  viewport()->setPalette(Colors);
  viewport()->update();
}

void TOwnerDrawListBox::SetFontColor(const QColor& Value) {
  FFontColor = Value;
  viewport()->update();
}

void TOwnerDrawListBox::SetDelimiter(const QString& Value) {
  FDelimiter = Value;
  viewport()->update();
}

void TOwnerDrawListBox::SetUseDelimiter(bool Value) {
  FUseDelimiter = Value;
  viewport()->update();
}

void TOwnerDrawListBox::SetDefaultDrawing(bool Value) {
  FDefaultDrawing = Value;
  viewport()->update();
}

QString TOwnerDrawListBox::ShownText(const QString& Item) const {
  if (!FUseDelimiter) return Item;
  const qsizetype At = FDelimiter.isEmpty() ? -1 : Item.indexOf(FDelimiter.front());
  return At < 0 ? QString() : Item.left(At);
}

void TOwnerDrawListBox::DrawItem(QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState State) {
  const bool Selected = State & odSelected;
  Canvas.fillRect(Rect, Selected ? FSelectColor : FColor);
  Canvas.setBrush(Qt::NoBrush);
  Canvas.setPen(Selected ? QColor(Qt::white) : FFontColor);
  if (FDefaultDrawing) {
    const QListWidgetItem* Row = item(Index);
    if (!Row) return;
    const QFontMetrics Metrics(Canvas.font());
    Canvas.drawText(Rect.left(), Rect.top() + Metrics.ascent(), ShownText(Row->text()));
  } else if (OnCustomDraw) {
    OnCustomDraw(this, Canvas, Index, Rect, State);
  }
}
