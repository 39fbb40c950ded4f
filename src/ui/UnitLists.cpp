#include "ui/UnitLists.h"

#include <QFontMetrics>
#include <QPainter>
#include <vector>

#include "controls/TransparentGlyph.h"
#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "screens/ForcesRules.h"
#include "platform/TextCodec.h"

namespace {
void SetRowUnit(QListWidgetItem* Row, TUnit* Unit) {
  Row->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(Unit)));
}
TUnit* RowUnit(const QListWidgetItem* Row) {
  return Row ? static_cast<TUnit*>(Row->data(Qt::UserRole).value<void*>()) : nullptr;
}
// The text drawn with its top at Y, as the game's lists draw their rows.
void DrawTextAt(QPainter& Canvas, int X, int Y, const QString& Text) {
  Canvas.drawText(X, Y + QFontMetrics(Canvas.font()).ascent(), Text);
}
}  // namespace

TBrenmoorUnitListBox::TBrenmoorUnitListBox(QWidget* Parent) : TOwnerDrawListBox(Parent) { SetDefaultDrawing(false); }

void TBrenmoorUnitListBox::SetCellFlags(TCellImage* Value) {
  FCellFlags = Value;
  viewport()->update();
}

void TBrenmoorUnitListBox::SetSubmergedGlyph(const QPixmap& Value) {
  FSubmergedGlyph = Value;
  FTransparentSubmerged = MakeGlyphTransparent(Value);
  viewport()->update();
}

void TBrenmoorUnitListBox::AddUnit(TUnit* Unit) {
  if (!Unit) return;
  const auto IsLocal = [](const TUnit* U) { return U && U->GetOwner() && U->GetOwner()->GetLocalPlayer(); };
  std::vector<bool> Local;
  for (int I = 0; I < count(); ++I) Local.push_back(IsLocal(Units(I)));
  auto* Row = new QListWidgetItem("~" + ToQString(Unit->GetName()));
  SetRowUnit(Row, Unit);
  insertItem(UnitInsertPosition(Local, IsLocal(Unit)), Row);
}

TUnit* TBrenmoorUnitListBox::Units(int I) const { return RowUnit(item(I)); }

void TBrenmoorUnitListBox::DrawItem(QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState State) {
  TOwnerDrawListBox::DrawItem(Canvas, Index, Rect, State);
  const TUnit* Unit = Units(Index);
  if (!Unit) return;
  if (FCellFlags && Unit->GetOwner())
    if (const QPixmap* Flag = FCellFlags->GetCell(Unit->GetOwner()->GetIndex(), 0))
      Canvas.drawPixmap(Rect.left(), Rect.top() + 1, *Flag);
  DrawTextAt(Canvas, Rect.left() + 34, Rect.top(), ToQString(Unit->GetName()));
  if (Unit->GetSubmerged() && !FTransparentSubmerged.isNull()) {
    const QSize Size = FTransparentSubmerged.size();
    Canvas.drawPixmap(Rect.right() + 1 - 2 - Size.width(), Rect.top() + (Rect.height() - Size.height()) / 2,
                      FTransparentSubmerged);
  }
}

TBrenmoorForcesListBox::TBrenmoorForcesListBox(QWidget* Parent) : TOwnerDrawListBox(Parent) {
  SetDefaultDrawing(false);
}

void TBrenmoorForcesListBox::SetCellForces(TCellImage* Value) {
  FCellForces = Value;
  viewport()->update();
}

void TBrenmoorForcesListBox::AddForcesOf(TUnit* Unit) {
  if (!Unit) return;
  const std::int32_t Owner = Unit->GetOwner() ? Unit->GetOwner()->GetIndex() : -1;
  for (int T = 0; T < UnitTypeCount; ++T) {
    if (Unit->GetCount(T) == 0) continue;
    auto* Row = new QListWidgetItem(ToQString(UnitForcesLineText(Owner, T, Unit->GetCount(T), Unit->GetTypeFactor(T))));
    SetRowUnit(Row, Unit);
    addItem(Row);
  }
}

namespace {
std::vector<std::string> LinesOf(const QListWidget& List) {
  std::vector<std::string> Lines;
  for (int I = 0; I < List.count(); ++I) Lines.push_back(FromQString(List.item(I)->text()));
  return Lines;
}
}  // namespace

std::int32_t TBrenmoorForcesListBox::GetQty(int Type, int Owner) const {
  const std::int32_t I = FindForcesLine(LinesOf(*this), Type, Owner);
  return I < 0 ? 0 : ParseForcesLine(FromQString(item(I)->text())).Quantity;
}

void TBrenmoorForcesListBox::SetQty(int Type, int Owner, std::int32_t Quantity) {
  const std::int32_t I = FindForcesLine(LinesOf(*this), Type, Owner);
  const QString Text = ToQString(QuantityLineText(Owner, Type, Quantity));
  switch (SetQuantityStep(I >= 0, Quantity, FKeepZeroForces)) {
    case sqNothing: break;
    case sqDelete: delete takeItem(I); break;
    case sqRewrite: item(I)->setText(Text); break;
    case sqAppend: addItem(Text); break;
  }
}

int TBrenmoorForcesListBox::SelectedType() const {
  const int Row = currentRow();
  if (Row < 0 || !item(Row)->isSelected()) return utInfantry;
  return TypeOf(Row);
}

int TBrenmoorForcesListBox::TypeOf(int I) const {
  const QListWidgetItem* Row = item(I);
  return Row ? ParseForcesLine(FromQString(Row->text())).Type : utInfantry;
}

int TBrenmoorForcesListBox::OwnerOf(int I) const {
  const QListWidgetItem* Row = item(I);
  return Row ? ParseForcesLine(FromQString(Row->text())).Owner : -1;
}

TUnit* TBrenmoorForcesListBox::UnitOf(int I) const { return RowUnit(item(I)); }

void TBrenmoorForcesListBox::DrawItem(QPainter& Canvas, int Index, const QRect& Rect, TOwnerDrawState State) {
  TOwnerDrawListBox::DrawItem(Canvas, Index, Rect, State);
  const QListWidgetItem* Row = item(Index);
  if (!Row) return;
  const TForcesLine Line = ParseForcesLine(FromQString(Row->text()));
  if (FCellForces) {
    const std::int32_t ColorRow = FEngine ? ForcesColorRow(*FEngine, Line.Owner) : MinorTallyRow;
    if (const QPixmap* Icon = FCellForces->GetCell(Line.Type, ColorRow)) Canvas.drawPixmap(Rect.topLeft(), *Icon);
  }
  DrawTextAt(Canvas, Rect.left() + 24, Rect.top(), ToQString(ForcesCountText(Line.Type, Line.Quantity)));
  const QString Level = ToQString(VeteranLevelText(Line.Strength));
  if (!Level.isEmpty()) {
    const QFont Font = Canvas.font();
    QFont Plain = Font;
    Plain.setBold(false);
    Canvas.setFont(Plain);
    const int Width = QFontMetrics(Plain).horizontalAdvance(Level);
    DrawTextAt(Canvas, Rect.right() + 1 - 2 - Width, Rect.top(), Level);
    Canvas.setFont(Font);
  }
  if (const TUnit* Unit = RowUnit(Row); Unit && IsLastForcesLineOfUnit(*Unit, Line.Type)) {
    Canvas.setPen(QPen(Qt::black, 1, Qt::SolidLine));
    Canvas.drawLine(Rect.left(), Rect.bottom(), Rect.right(), Rect.bottom());
  }
}
