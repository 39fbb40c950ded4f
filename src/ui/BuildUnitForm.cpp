#include "ui/BuildUnitForm.h"

#include <QEvent>
#include <QLineEdit>
#include <QSpinBox>

#include "controls/GraphicPanel.h"
#include "engine/BrenmoorEngine.h"
#include "engine/BrenmoorZone.h"
#include "engine/Nation.h"
#include "foundation/NumberText.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
TGraphicPanel* MakePanel(QWidget* Parent, const char* Name, const QRect& Place) {
  auto* Panel = new TGraphicPanel(Parent);
  Panel->setObjectName(Name);
  Panel->setGeometry(Place);
  Panel->SetBevelOuter(bvLowered);
  return Panel;
}
void ShowFigure(TGraphicPanel* Panel, const char* Caption, std::int64_t Value) {
  Panel->SetCaption(QString("%1 %2").arg(Caption).arg(Value));
}
}  // namespace

TfrmBuildUnit::TfrmBuildUnit() : TGameWindow("frmBuildUnit", "Build Unit", false, {420, 330}) {
  setFixedSize(420, 330);
  MakeFormLabel(this, "lblHint", "Select the number of Forces that will be contained within this new Unit.",
                {8, 8, 404, 18});
  FIcons = MakeUnitIcons(this);
  FForces = new TBrenmoorForcesListBox(this);
  FForces->setObjectName("lbForces");
  FForces->setGeometry(8, 34, 200, 244);
  FForces->SetCellForces(FIcons);
  FForces->SetKeepZeroForces(true);
  MakeFormLabel(this, "lblQuantity", "Quantity:", {220, 36, 80, 18});
  FQty = new QSpinBox(this);
  FQty->setObjectName("spinQty");
  FQty->setGeometry(300, 34, 112, 24);
  FQty->setRange(0, MaxBuildQuantity);
  FUnitCost = MakePanel(this, "gpnlUnitCost", {220, 68, 192, 30});
  FCost = MakePanel(this, "gpnlCost", {220, 108, 192, 30});
  FAvailable = MakePanel(this, "gpnlAvailable", {220, 148, 192, 30});
  FETA = MakePanel(this, "gpnlETA", {220, 188, 192, 30});
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {252, 292, 75, 25});
  FProceed = MakeFormButton(this, "btnProceed", "Proceed", {337, 292, 75, 25});

  connect(FForces, &QListWidget::itemSelectionChanged, this, [this] { ChooseRow(); });
  connect(FForces, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { TakeMostAffordable(); });
  connect(FQty, &QSpinBox::valueChanged, this, [this](int Value) { QuantityChanged(Value); });
  FQty->installEventFilter(this);
  FQty->findChild<QLineEdit*>()->installEventFilter(this);
  Cancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  FProceed->OnClick = [this](TGraphicControl*) { done(mrOk); };
}

int TfrmBuildUnit::Owner() const { return FNation ? FNation->GetIndex() : -1; }

void TfrmBuildUnit::Prepare(TUnitKind Kind, TNation* Nation, TBrenmoorZone* Zone) {
  FKind = Kind;
  FNation = Nation;
  FZone = Zone;
  setWindowTitle(QString("Build ") + UnitKindNames[Kind]);
  FForces->clear();
  FForces->SetBrenmoorEngine(Nation ? &Nation->GetEngine() : nullptr);
  if (Nation && Zone)
    for (const std::int32_t T : BuildableTypes(Nation->GetEngine(), *Nation, *Zone, Kind)) FForces->SetQty(T, Owner(), 0);
  SetSpin(0);
  if (FForces->count() > 0) FForces->setCurrentRow(0);
  ChooseRow();
}

TForceCounts TfrmBuildUnit::Quantities() const {
  TForceCounts Counts{};
  for (int T = 0; T < UnitTypeCount; ++T) Counts[static_cast<std::size_t>(T)] = FForces->GetQty(T, Owner());
  return Counts;
}

void TfrmBuildUnit::UpdateCost() {
  if (!FNation || !FZone) return;
  FEstimate = EstimateBuild(FNation->GetEngine(), *FZone, FKind, Quantities());
  ShowFigure(FCost, "Total Cost:", FEstimate.CostShown);
  ShowFigure(FAvailable, "Resources Available:", FEstimate.Available);
  ShowFigure(FETA, "Turns to Complete:", FEstimate.Turns);
  FProceed->setVisible(FEstimate.CanProceed);
}

void TfrmBuildUnit::ChooseRow() {
  const int Type = FForces->SelectedType();
  SetSpin(FForces->GetQty(Type, Owner()));
  FUnitCost->SetCaption(QString("Unit Cost: %1").arg(UnitTypes[static_cast<std::size_t>(Type)].Resources));
  UpdateCost();
}

void TfrmBuildUnit::QuantityChanged(int Value) {
  // Without a chosen type there is nothing to set (the quantity would go to a type not offered).
  if (FSettingSpin || !FForces->currentItem()) return;
  FForces->SetQty(FForces->SelectedType(), Owner(), Value);
  UpdateCost();
}

void TfrmBuildUnit::TakeMostAffordable() {
  if (!FNation || !FZone || !FForces->currentItem()) return;
  FQty->setValue(MostAffordableQuantity(FNation->GetEngine(), *FZone, FKind, Quantities(), FForces->SelectedType()));
}

void TfrmBuildUnit::SetSpin(int Value) {
  FSettingSpin = true;
  FQty->setValue(Value);
  FSettingSpin = false;
}

bool TfrmBuildUnit::eventFilter(QObject* Watched, QEvent* Event) {
  if (Event->type() == QEvent::MouseButtonDblClick) TakeMostAffordable();
  return TGameWindow::eventFilter(Watched, Event);
}
