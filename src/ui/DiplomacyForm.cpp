#include "ui/DiplomacyForm.h"

#include <QFontMetrics>
#include <QPainter>

#include "controls/CellImage.h"
#include "controls/ColorProgressBar.h"
#include "controls/OwnerDrawListBox.h"
#include "engine/Nation.h"
#include "screens/PolicyRules.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "platform/WidgetUtils.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
constexpr int DeclareWarTag = 11;
}  // namespace

TfrmDiplomacy::TfrmDiplomacy() : TGameWindow("frmDiplomacy", "Diplomacy/Espionage Options", false, {420, 320}) {
  setFixedSize(420, 320);
  MakeFormLabel(this, "lblSelectNation", "Select a Nation", {8, 8, 240, 18});
  FNations = new TOwnerDrawListBox(this);
  FNations->setObjectName("lbNations");
  FNations->setGeometry(8, 28, 256, 252);
  FNations->SetDefaultDrawing(false);
  FNations->OnCustomDraw = [this](TOwnerDrawListBox*, QPainter& Canvas, int Index, const QRect& Rect,
                                  TOwnerDrawState State) { DrawNation(Canvas, Index, Rect, State & odSelected); };
  MakeFormLabel(this, "lblChooseAction", "Choose an Action", {276, 8, 136, 18});
  for (int A = 0; A < static_cast<int>(DiplomaticActionCaptions.size()); ++A) {
    const QString Name = QString("btnAction%1").arg(A);
    auto* Button = MakeFormButton(this, Name.toLatin1().constData(), DiplomaticActionCaptions[static_cast<std::size_t>(A)],
                                  {276, 28 + A * 28, 136, 25}, A);
    Button->OnClick = [this, Button](TGraphicControl*) { ActionClick(Button); };
  }
  FDeclareWar = MakeFormButton(this, "btnDeclareWar", "Declare War", {276, 256, 136, 25}, DeclareWarTag);
  FDeclareWar->SetFontColor(QColor(255, 0, 0));
  FDeclareWar->OnClick = [this](TGraphicControl*) { DeclareWarClick(); };
  MakeFormLabel(this, "lblStability", "Stability:", {8, 290, 64, 18});
  FStability = new TColorProgressBar(this);
  FStability->setObjectName("progStability");
  FStability->setGeometry(72, 290, 121, 17);
  FStability->SetValueLow(33);
  FStability->SetValueMedium(66);
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {337, 288, 75, 25});
  Cancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  connect(FNations, &QListWidget::itemSelectionChanged, this, [this] { ChooseNation(); });
}

void TfrmDiplomacy::SetCellFlags(TCellImage* Value) {
  FFlags = Value;
  FNations->viewport()->update();
}

void TfrmDiplomacy::AddNation(TNation* Nation) {
  auto* Row = new QListWidgetItem(ToQString(Nation->GetName()));
  Row->setData(Qt::UserRole, QVariant::fromValue(static_cast<void*>(Nation)));
  FNations->addItem(Row);
}

TNation* TfrmDiplomacy::NationOf(int Row) const {
  const QListWidgetItem* Item = FNations->item(Row);
  return Item ? static_cast<TNation*>(Item->data(Qt::UserRole).value<void*>()) : nullptr;
}

void TfrmDiplomacy::SelectNation(TNation* Nation) {
  for (int I = 0; I < FNations->count(); ++I)
    if (NationOf(I) == Nation) FNations->setCurrentRow(I);
}

TNation* TfrmDiplomacy::ChosenNation() const {
  const int Row = FNations->currentRow();
  return Row >= 0 && FNations->item(Row)->isSelected() ? NationOf(Row) : nullptr;
}

void TfrmDiplomacy::showEvent(QShowEvent* Event) {
  TGameWindow::showEvent(Event);
  if (FCurrent) setWindowTitle(ToQString("Diplomatic/Espionage Actions - " + FCurrent->GetName()));
  // Offered to a nation that may attack without war; once a nation is chosen, only against it
  // when the war is not already there or impossible.
  FDeclareWar->setVisible(FCurrent && FCurrent->GetAttackWithoutWar());
  if (ChosenNation()) ChooseNation();
}

void TfrmDiplomacy::DrawNation(QPainter& Canvas, int Index, const QRect& Rect, bool Selected) {
  const TNation* Nation = NationOf(Index);
  if (!Nation) return;
  if (FFlags)
    if (const QPixmap* Flag = FFlags->GetCell(Nation->GetIndex(), 0)) Canvas.drawPixmap(Rect.topLeft(), *Flag);
  Canvas.drawText(Rect.left() + 35, Rect.top() + QFontMetrics(Canvas.font()).ascent(), ToQString(Nation->GetName()));
  if (!FCurrent) return;
  QFont Small("Arial");
  Small.setPointSize(8);
  Canvas.setFont(Small);
  switch (RelationColor(FCurrent->GetRelation(Nation), FCurrent->RelationText(Nation), Selected)) {
    case rcWhite: Canvas.setPen(Qt::white); break;
    case rcGreen: Canvas.setPen(QColor(0, 128, 0)); break;
    case rcRed: Canvas.setPen(QColor(255, 0, 0)); break;
    case rcFontColor: Canvas.setPen(FNations->FontColor()); break;
  }
  const QString Text = ToQString(RelationLineText(*FCurrent, *Nation));
  const QFontMetrics Metrics(Small);
  Canvas.drawText(Rect.right() + 1 - 4 - Metrics.horizontalAdvance(Text), Rect.top() + 2 + Metrics.ascent(), Text);
}

void TfrmDiplomacy::ChooseNation() {
  const TNation* Chosen = ChosenNation();
  FStability->SetValue(Chosen ? Chosen->GetStability() : 0);
  FDeclareWar->setVisible(DeclareWarOffered(FCurrent, Chosen));
}

void TfrmDiplomacy::ActionClick(TBrenmoorOrderButton* Button) {
  TNation* Chosen = ChosenNation();
  if (!Chosen) {
    Prompter().ShowMessage(SelectNationFirst);
    return;
  }
  FTarget = Chosen;
  FAction = ComponentTag(Button);
  done(mrOk);
}

void TfrmDiplomacy::DeclareWarClick() {
  TNation* Chosen = ChosenNation();
  if (const auto Refusal = DeclareWarRefusal(FCurrent, Chosen)) {
    Prompter().ShowMessage(*Refusal);
    return;
  }
  if (!Prompter().Confirm(DeclareWarQuestion(*Chosen))) return;
  FTarget = Chosen;
  FAction = -1;
  done(mrYes);
}
