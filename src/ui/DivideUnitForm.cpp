#include "ui/DivideUnitForm.h"

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "engine/Unit.h"
#include "foundation/Rounding.h"
#include "platform/ThreadTimer.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
constexpr int FirstRepeat = 500;
constexpr int FastestRepeat = 100;
}  // namespace

TfrmDivideUnit::TfrmDivideUnit() : TGameWindow("frmDivideUnit", "Divide Unit", false, {400, 300}) {
  setFixedSize(400, 300);
  MakeFormLabel(this, "lblHint", "Create a New Unit by moving some of the Forces out of the Parent Unit.",
                {8, 8, 384, 18});
  MakeFormLabel(this, "lblParent", "Parent Unit", {8, 34, 160, 16});
  MakeFormLabel(this, "lblNew", "New Unit", {232, 34, 160, 16});
  FIcons = MakeUnitIcons(this);
  const auto MakeList = [this](const char* Name, int Left) {
    auto* List = new TBrenmoorForcesListBox(this);
    List->setObjectName(Name);
    List->setGeometry(Left, 52, 160, 192);
    List->SetCellForces(FIcons);
    List->SetKeepZeroForces(false);
    return List;
  };
  FParent = MakeList("lbParent", 8);
  FNew = MakeList("lbNew", 232);
  FRight = MakeFormButton(this, "btnRightArrow", ">>", {176, 110, 48, 25});
  FLeft = MakeFormButton(this, "btnLeftArrow", "<<", {176, 150, 48, 25});
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {232, 260, 75, 25});
  FProceed = MakeFormButton(this, "btnProceed", "Proceed", {317, 260, 75, 25});
  FTimer = new TThreadedTimer(this);
  FTimer->setObjectName("timerDivide");
  FTimer->SetInterval(FirstRepeat);
  FTimer->OnTimer = [this](TThreadedTimer*) { TimerTick(); };

  for (TBrenmoorOrderButton* Arrow : {FRight, FLeft}) {
    Arrow->OnMouseDown = [this, Arrow](TGraphicControl*, Qt::MouseButton Button, Qt::KeyboardModifiers, int, int) {
      if (Button == Qt::LeftButton) ArrowDown(Arrow);
    };
    Arrow->OnMouseUp = [this](TGraphicControl*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { ArrowUp(); };
  }
  connect(FParent, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* Row) { MoveAll(FParent, FNew, FParent->row(Row)); });
  connect(FNew, &QListWidget::itemDoubleClicked, this,
          [this](QListWidgetItem* Row) { MoveAll(FNew, FParent, FNew->row(Row)); });
  Cancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  FProceed->OnClick = [this](TGraphicControl*) { done(mrOk); };
}

void TfrmDivideUnit::SetUnit(TUnit* Unit) {
  FUnit = Unit;
  FOwner = Unit ? Unit->GetOwner() : nullptr;
  FParent->clear();
  FNew->clear();
  TBrenmoorEngine* Engine = Unit ? &Unit->GetEngine() : nullptr;
  FParent->SetBrenmoorEngine(Engine);
  FNew->SetBrenmoorEngine(Engine);
  if (Unit) {
    const int Owner = FOwner ? FOwner->GetIndex() : -1;
    for (int T = 0; T < UnitTypeCount; ++T) FParent->SetQty(T, Owner, Unit->GetCount(T));
  }
  FProceed->setVisible(true);
}

std::string TfrmDivideUnit::NewForcesText() const { return ForceCountsText(Forces().New); }

TDivideForces TfrmDivideUnit::Forces() const {
  TDivideForces F;
  const int Owner = FOwner ? FOwner->GetIndex() : -1;
  for (int T = 0; T < UnitTypeCount; ++T) {
    F.Parent[static_cast<std::size_t>(T)] = FParent->GetQty(T, Owner);
    F.New[static_cast<std::size_t>(T)] = FNew->GetQty(T, Owner);
  }
  return F;
}

void TfrmDivideUnit::UpdateProceed() { FProceed->setVisible(DivideCanProceed(Forces())); }

void TfrmDivideUnit::MoveOne(TBrenmoorForcesListBox* From, TBrenmoorForcesListBox* To) {
  if (!From->currentItem() || !From->currentItem()->isSelected()) return;
  const int Owner = FOwner ? FOwner->GetIndex() : -1;
  const int Type = From->SelectedType();
  std::int32_t Source = From->GetQty(Type, Owner);
  std::int32_t Target = To->GetQty(Type, Owner);
  if (!MoveOneForce(Source, Target)) return;
  From->SetQty(Type, Owner, Source);
  To->SetQty(Type, Owner, Target);
}

void TfrmDivideUnit::MoveAll(TBrenmoorForcesListBox* From, TBrenmoorForcesListBox* To, int Row) {
  if (Row < 0) return;
  const int Owner = FOwner ? FOwner->GetIndex() : -1;
  const int Type = From->TypeOf(Row);
  std::int32_t Source = From->GetQty(Type, Owner);
  std::int32_t Target = To->GetQty(Type, Owner);
  MoveAllForces(Source, Target);
  From->SetQty(Type, Owner, Source);
  To->SetQty(Type, Owner, Target);
  UpdateProceed();
}

void TfrmDivideUnit::ArrowDown(TBrenmoorOrderButton* Arrow) {
  FHeldArrow = Arrow;
  FTimer->SetEnabled(false);
  FTimer->SetInterval(FirstRepeat);
  FTimer->SetEnabled(true);
}

void TfrmDivideUnit::ArrowUp() {
  FHeldArrow = nullptr;
  FTimer->SetEnabled(false);
}

void TfrmDivideUnit::TimerTick() {
  if (FHeldArrow == FRight)
    MoveOne(FParent, FNew);
  else if (FHeldArrow == FLeft)
    MoveOne(FNew, FParent);
  FTimer->SetInterval(std::max(RoundHalfEven32(FTimer->Interval() * 0.8), FastestRepeat));
  UpdateProceed();
  for (TBrenmoorForcesListBox* List : {FNew, FParent})
    if (List->count() > 0 && List->selectedItems().isEmpty()) List->setCurrentRow(0);
}

void TfrmDivideUnit::RefreshForUnit(TUnit* Unit) {
  TDivideForces F = Forces();
  if (Unit && Unit->GetZone() && !Unit->GetZone()->GetEmbattled()) {
    const TDivideForces Old = F;
    FitDivideToUnit(F, *Unit);
    const int Owner = FOwner ? FOwner->GetIndex() : -1;
    for (std::size_t T = 0; T < UnitTypeCount; ++T) {
      if (F.New[T] != Old.New[T]) FNew->SetQty(static_cast<int>(T), Owner, F.New[T]);
      if (F.Parent[T] != Old.Parent[T]) FParent->SetQty(static_cast<int>(T), Owner, F.Parent[T]);
    }
  }
  if (!DivideStaysOpen(Unit, F)) {
    FUnit = nullptr;
    done(mrCancel);
  }
  UpdateProceed();
}

void TfrmDivideUnit::showEvent(QShowEvent* Event) {
  TGameWindow::showEvent(Event);
  UpdateProceed();
  if (FParent->count() > 0) FParent->setCurrentRow(0);
}

void TfrmDivideUnit::hideEvent(QHideEvent* Event) {
  ArrowUp();
  TGameWindow::hideEvent(Event);
}
