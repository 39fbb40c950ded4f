#include "ui/AIScriptsForm.h"

#include <QLabel>

#include "controls/ButtonEdit.h"
#include "platform/Prompter.h"
#include "platform/TextCodec.h"
#include "platform/WidgetUtils.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
constexpr int RowTop = 56;
constexpr int RowHeight = 30;
}  // namespace

TfrmAIScripts::TfrmAIScripts() : TGameWindow("frmAIScripts", "Specify AI Scripts", false, {400, 328}) {
  setFixedSize(400, 328);
  auto* Intro = MakeFormLabel(this, "lblIntro",
                              "Specify the AI Script files that the computer will use to control Nations for this "
                              "Scenario",
                              {8, 8, 384, 40});
  Intro->setWordWrap(true);
  for (int I = 0; I < AIScriptRowCount; ++I) {
    const int Top = RowTop + I * RowHeight;
    const std::size_t Row = static_cast<std::size_t>(I);
    FLabels[Row] = MakeFormLabel(this, QString("lblNation%1").arg(I).toLatin1().constData(), "", {8, Top + 3, 150, 18});
    SetComponentTag(FLabels[Row], I);
    auto* Edit = new TButtonEdit(this);
    Edit->setObjectName(QString("edtScript%1").arg(I));
    Edit->setGeometry(164, Top, 228, 24);
    Edit->SetGlyph(ButtonEditGlyph());
    SetComponentTag(Edit, I);
    Edit->OnButtonClick = [this, I](TButtonEdit*) { EditButtonClick(I); };
    FEdits[Row] = Edit;
  }
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {236, 294, 75, 25});
  auto* Proceed = MakeFormButton(this, "btnProceed", "Proceed", {317, 294, 75, 25});
  Cancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  Proceed->OnClick = [this](TGraphicControl*) { done(mrOk); };
}

void TfrmAIScripts::ShowNations(const TBrenmoorEngine& Engine) {
  const auto Rows = AIScriptRows(Engine);
  for (std::size_t I = 0; I < Rows.size(); ++I) {
    FLabels[I]->setText(ToQString(Rows[I].Nation));
    FEdits[I]->setText(ToQString(Rows[I].File));
    FLabels[I]->setVisible(Rows[I].Visible);
    FEdits[I]->setVisible(Rows[I].Visible);
  }
}

std::array<std::string, AIScriptRowCount> TfrmAIScripts::Files() const {
  std::array<std::string, AIScriptRowCount> Files;
  for (std::size_t I = 0; I < Files.size(); ++I) Files[I] = FromQString(FEdits[I]->text());
  return Files;
}

void TfrmAIScripts::StoreScripts(TBrenmoorEngine& Engine) const { StoreAIScripts(Engine, Files()); }

void TfrmAIScripts::EditButtonClick(int Row) {
  const auto Chosen = Prompter().OpenFile({"Select AI Script File", AIScriptFilter, AIScriptExtension, "", ""});
  if (!Chosen) return;
  FEdits[static_cast<std::size_t>(Row)]->setText(ToQString(FileNamePart(*Chosen)));
}

void TfrmAIScripts::showEvent(QShowEvent* Event) {
  TGameWindow::showEvent(Event);
  for (TButtonEdit* Edit : FEdits)
    if (Edit->text().isEmpty()) Edit->setText(DefaultAIScriptFile);
}
