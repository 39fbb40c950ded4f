#include "ui/ResearchForm.h"

#include <QLabel>
#include <QSlider>

#include "engine/BrenmoorEngine.h"
#include "engine/Nation.h"
#include "screens/ForcesRules.h"
#include "screens/PolicyRules.h"
#include "platform/TextCodec.h"
#include "platform/WidgetUtils.h"
#include "ui/FormParts.h"
#include "ui/UnitLists.h"

namespace {
// Tags: the group's track bar g, its progress 10 + g, its label 20 + g, its upgrade 30 + g.
constexpr int ProgressTag = 10;
constexpr int GroupLabelTag = 20;
constexpr int UpgradeTag = 30;
// The components' names by group.
constexpr std::array<const char*, ResearchGroupCount> GroupNames{"Land", "Air",  "Sea", "Atomic",
                                                                 "Radar", "Code", "Jet", "Rocket"};
constexpr int RowTop = 84;
constexpr int RowHeight = 28;

QSlider* MakeTrack(QWidget* Parent, const QString& Name, int Max, const QRect& Place) {
  auto* Track = new QSlider(Qt::Horizontal, Parent);
  Track->setObjectName(Name);
  Track->setRange(0, Max);
  Track->setTickPosition(QSlider::TicksBelow);
  Track->setPageStep(1);
  Track->setGeometry(Place);
  return Track;
}
QByteArray Name(const char* Prefix, int Group, const char* Suffix = "") {
  return (QString(Prefix) + GroupNames[static_cast<std::size_t>(Group)] + Suffix).toLatin1();
}
}  // namespace

TfrmResearch::TfrmResearch() : TGameWindow("frmResearch", "Research", false, {460, 370}) {
  setFixedSize(460, 370);
  MakeFormLabel(this, "lblSpendPct", "Percent of Production to Spend on Research:", {8, 8, 300, 18});
  FPct = MakeTrack(this, "trackPct", 100, {8, 28, 380, 26});
  FPct->setTickInterval(10);
  FPct->setPageStep(10);
  FPctLabel = MakeFormLabel(this, "lblPct", "0%", {396, 32, 56, 18});
  MakeFormLabel(this, "lblBreakdown", "Spending Breakdown:", {8, 60, 200, 18});
  MakeFormLabel(this, "lblUntilCompletion", "% until completion", {300, 60, 150, 18});
  for (int G = 0; G < ResearchGroupCount; ++G) {
    const int Top = RowTop + G * RowHeight;
    auto* Label = MakeFormLabel(this, Name("lbl", G).constData(), ResearchGroupNames[static_cast<std::size_t>(G)],
                                {8, Top + 4, 130, 18});
    SetComponentTag(Label, GroupLabelTag + G);
    FGroups[static_cast<std::size_t>(G)] = MakeTrack(this, Name("track", G), 10, {140, Top, 150, 26});
    SetComponentTag(FGroups[static_cast<std::size_t>(G)], G);
    SetComponentTag(MakeFormLabel(this, Name("lbl", G, "Progress").constData(), "0%", {300, Top + 4, 44, 18}),
                    ProgressTag + G);
    if (IsUpgradeResearchGroup(G))
      SetComponentTag(MakeFormLabel(this, Name("lbl", G, "Upgrade").constData(), "", {350, Top + 4, 102, 18}),
                      UpgradeTag + G);
  }
  auto* Cancel = MakeFormButton(this, "btnCancel", "Cancel", {292, 334, 75, 25});
  auto* Proceed = MakeFormButton(this, "btnProceed", "Proceed", {377, 334, 75, 25});
  Cancel->OnClick = [this](TGraphicControl*) { done(mrCancel); };
  Proceed->OnClick = [this](TGraphicControl*) { done(mrOk); };
  connect(FPct, &QSlider::valueChanged, this, [this](int Value) { FPctLabel->setText(QString("%1%").arg(Value)); });
}

void TfrmResearch::Prepare(TNation* Nation) {
  if (!Nation) return;
  setWindowTitle(ToQString("Research Options - " + Nation->GetName()));
  FPct->setValue(Nation->GetResearchSpendingTotal());
  FPctLabel->setText(QString("%1%").arg(Nation->GetResearchSpendingTotal()));
  const TBrenmoorEngine& Engine = Nation->GetEngine();
  for (int G = 0; G < ResearchGroupCount; ++G) {
    FGroups[static_cast<std::size_t>(G)]->setValue(Nation->GetResearchSpending(G));
    if (auto* Progress = FindComponentByTag<QLabel>(this, ProgressTag + G))
      Progress->setText(ToQString(ResearchProgressText(Nation->GetResearchProgress(G), Engine.GetResearchCost(G))));
    if (auto* Label = FindComponentByTag<QLabel>(this, GroupLabelTag + G); Label && IsCompletingResearchGroup(G)) {
      QFont Font = Label->font();
      Font.setBold(ResearchComplete(*Nation, G));
      Label->setFont(Font);
    }
    if (auto* Upgrade = FindComponentByTag<QLabel>(this, UpgradeTag + G))
      Upgrade->setText(ToQString(UpgradeText(Nation->GetResearchLevel(G))));
  }
}

std::string TfrmResearch::SpendingText() const {
  std::array<std::int32_t, ResearchGroupCount> Groups{};
  for (std::size_t G = 0; G < ResearchGroupCount; ++G) Groups[G] = FGroups[G]->value();
  return ResearchSpendingText(FPct->value(), Groups);
}
