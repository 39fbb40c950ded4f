#include "ui/FormationsForm.h"

#include <QLabel>
#include <QSpinBox>

#include "engine/Nation.h"
#include "screens/PolicyRules.h"
#include "platform/WidgetUtils.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
struct TWeightRow {
  int Type;
  const char* Caption;
  const char* Spin;
};
// The three columns: land, air and sea units, as the window lists them.
const std::array<std::vector<TWeightRow>, 3> Columns{{
    {{utArtillery, "Artillery", "spinArtillery"}, {utAAGun, "AA-Gun", "spinAAGun"},
     {utInfantry, "Infantry", "spinInfantry"}, {utArmor, "Armor", "spinArmor"}},
    {{utFighter, "Fighter", "spinFighter"}, {utDiveBomber, "Dive Bomber", "spinDiveBomber"},
     {utBomber, "Bomber", "spinBomber"}, {utJetFighter, "Jet Fighter", "spinJet"}},
    {{utMerchantShip, "Merchant", "spinMerchant"}, {utTransport, "Transport", "spinTransport"},
     {utDestroyer, "Destroyer", "spinDestroyer"}, {utSubmarine, "Submarine", "spinSubmarine"},
     {utCruiser, "Cruiser", "spinCruiser"}, {utCarrier, "Cariier", "spinCarrier"},
     {utBattleship, "Battleship", "spinBattleship"}},
}};
constexpr std::array<const char*, 3> ColumnCaptions{"Land Units", "Air Units", "Sea Units"};
constexpr int ColumnWidth = 150;
constexpr int RowHeight = 28;
}  // namespace

TfrmFormations::TfrmFormations() : TGameWindow("frmFormations", "Specify Formations", false, {470, 340}) {
  setFixedSize(470, 340);
  for (std::size_t C = 0; C < Columns.size(); ++C) {
    const int Left = 8 + static_cast<int>(C) * ColumnWidth;
    QLabel* Group = MakeFormLabel(this, "", ColumnCaptions[C], {Left, 8, ColumnWidth - 8, 18});
    QFont Bold = Group->font();
    Bold.setBold(true);
    Group->setFont(Bold);
    int Top = 32;
    for (const TWeightRow& Row : Columns[C]) {
      QLabel* Label = MakeFormLabel(this, Row.Type == utJetFighter ? "lblJet" : "", Row.Caption, {Left, Top + 3, 80, 18});
      auto* Spin = new QSpinBox(this);
      Spin->setObjectName(Row.Spin);
      Spin->setGeometry(Left + 82, Top, 56, 24);
      Spin->setRange(FormationWeightLowest, FormationWeightHighest);
      Spin->setSingleStep(FormationWeightStep);
      Spin->setValue(StartingFormationWeight);
      // A value typed out of range is brought within it when the edit is left.
      Spin->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
      SetComponentTag(Spin, Row.Type);
      FSpins[static_cast<std::size_t>(Row.Type)] = Spin;
      if (Row.Type == utJetFighter) FJetLabel = Label;
      Top += RowHeight;
    }
  }
  auto* Text = MakeFormLabel(this, "lblExplain",
                             "Assign weights to Unit Types above.  Unit Types with higher weights are closer to the "
                             "front in formations, and thus have a greater chance of absorbing casualties.",
                             {8, 232, 454, 54});
  Text->setWordWrap(true);
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {302, 304, 75, 25});
  auto* Proceed = MakeFormButton(this, "btnProceed", "Proceed", {387, 304, 75, 25});
  Cancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  // The focus goes through two spin edits before the click is handled, so a value still being
  // typed is taken (and brought within 10 to 100) first.
  Proceed->OnMouseDown = [this](TGraphicControl*, Qt::MouseButton, Qt::KeyboardModifiers, int, int) {
    FSpins[utArtillery]->setFocus();
    FSpins[utAAGun]->setFocus();
  };
  Proceed->OnClick = [this](TGraphicControl*) { done(mrOk); };
}

std::string TfrmFormations::FormationText() const {
  std::array<std::optional<std::int32_t>, UnitTypeCount> Weights;
  for (std::size_t T = 0; T < UnitTypeCount; ++T)
    if (FSpins[T]) Weights[T] = FSpins[T]->value();
  return ::FormationText(Weights);
}

void TfrmFormations::showEvent(QShowEvent* Event) {
  TGameWindow::showEvent(Event);
  const bool Jets = FCurrent && JetFormationShown(*FCurrent);
  FJetLabel->setVisible(Jets);
  FSpins[utJetFighter]->setVisible(Jets);
}
