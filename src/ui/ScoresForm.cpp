#include "ui/ScoresForm.h"

#include <QCategoryAxis>
#include <QChart>
#include <QChartView>
#include <QHBoxLayout>
#include <QLegendMarker>
#include <QLineSeries>
#include <QStackedLayout>
#include <QValueAxis>
#include <QVBoxLayout>
#include <algorithm>
#include <cmath>

#include "controls/ColorButton.h"
#include "engine/BrenmoorEngine.h"
#include "screens/WarNews.h"
#include "platform/TextCodec.h"
#include "sprites/ColorPalette.h"

namespace {

QCategoryAxis* BottomAxis(QChartView* View) {
  const auto Axes = View->chart()->axes(Qt::Horizontal);
  return Axes.isEmpty() ? nullptr : qobject_cast<QCategoryAxis*>(Axes.first());
}
QValueAxis* LeftAxis(QChartView* View) {
  const auto Axes = View->chart()->axes(Qt::Vertical);
  return Axes.isEmpty() ? nullptr : qobject_cast<QValueAxis*>(Axes.first());
}

// The series takes Value as its next point and is shown.
void AddPoint(QLineSeries* Series, int X, std::int32_t Value) {
  Series->append(X, Value);
  Series->setVisible(true);
}

TColorButton* MakeToggle(QWidget* Parent, const char* Name, const QString& Caption) {
  auto* Button = new TColorButton(Parent);
  Button->setObjectName(Name);
  Button->SetCaption(Caption);
  Button->SetStayDown(true);
  Button->setFixedSize(90, 25);
  return Button;
}

}  // namespace

TfrmScores::TfrmScores() : TGameWindow("frmScores", "Score History", true, {480, 320}) {
  auto* Layout = new QVBoxLayout(this);
  Layout->setContentsMargins(4, 4, 4, 4);
  FCharts = new QStackedLayout;
  FNationView = MakeChart("chartScores", FNationSeries);
  FAllianceView = MakeChart("chartAlliance", FAllianceSeries);
  FCharts->addWidget(FNationView);
  FCharts->addWidget(FAllianceView);
  Layout->addLayout(FCharts, 1);
  auto* Control = new QWidget(this);
  Control->setObjectName("pnlControl");
  auto* Row = new QHBoxLayout(Control);
  Row->setContentsMargins(0, 0, 0, 0);
  FByNation = MakeToggle(Control, "btnNation", "By Nation");
  FByAlliance = MakeToggle(Control, "btnAlliance", "By Alliance");
  auto* Close = new TColorButton(Control);
  Close->setObjectName("btnClose");
  Close->SetCaption("Close");
  Close->setFixedSize(75, 25);
  Row->addWidget(FByNation);
  Row->addWidget(FByAlliance);
  Row->addStretch(1);
  Row->addWidget(Close);
  Layout->addWidget(Control);
  FByNation->OnClick = [this](TGraphicControl*) { btnNationClick(); };
  FByAlliance->OnClick = [this](TGraphicControl*) { btnAllianceClick(); };
  Close->OnClick = [this](TGraphicControl*) { close(); };
  FByNation->SetDown(true);
  ShowChart(true);
}

TfrmScores::~TfrmScores() = default;

QChartView* TfrmScores::MakeChart(const char* Name, std::vector<QLineSeries*>& Series) {
  auto* Chart = new QChart;
  Chart->legend()->setAlignment(Qt::AlignRight);
  Chart->setMargins(QMargins(2, 2, 2, 2));
  auto* Bottom = new QCategoryAxis;
  Bottom->setLabelsPosition(QCategoryAxis::AxisLabelsPositionOnValue);
  // The first label sits on 0, inside the axis.
  Bottom->setStartValue(-1);
  Bottom->setRange(-0.25, 1);
  auto* Left = new QValueAxis;
  Left->setGridLineVisible(false);
  Left->setLabelFormat("%d");
  Left->setRange(0, 10);
  Left->setTickCount(6);
  Chart->addAxis(Bottom, Qt::AlignBottom);
  Chart->addAxis(Left, Qt::AlignLeft);
  for (int I = 0; I < ChartSeriesCount; ++I) {
    auto* Line = new QLineSeries;
    Line->setPointsVisible(true);
    Chart->addSeries(Line);
    Line->attachAxis(Bottom);
    Line->attachAxis(Left);
    Line->setVisible(false);
    Series.push_back(Line);
  }
  auto* View = new QChartView(Chart, this);
  View->setObjectName(Name);
  View->setRenderHint(QPainter::Antialiasing);
  return View;
}

void TfrmScores::Clear() {
  for (QLineSeries* Line : FNationSeries) Line->clear();
  for (QLineSeries* Line : FAllianceSeries) Line->clear();
  FLabels.clear();
  for (QChartView* View : {FNationView, FAllianceView}) {
    QCategoryAxis* Bottom = BottomAxis(View);
    for (const QString& Label : Bottom->categoriesLabels()) Bottom->remove(Label);
    Bottom->setRange(-0.25, 1);
    LeftAxis(View)->setRange(0, 10);
  }
}

void TfrmScores::AppendLabel(const QString& Label) {
  const int X = static_cast<int>(FLabels.size());
  FLabels.push_back(Label);
  // The axis keeps each label once: a repeated date is told apart by invisible spaces.
  const QString Shown = Label + QString(static_cast<int>(std::count(FLabels.begin(), FLabels.end(), Label)) - 1, QChar(0x200B));
  for (QChartView* View : {FNationView, FAllianceView}) {
    QCategoryAxis* Bottom = BottomAxis(View);
    Bottom->append(Shown, X);
    Bottom->setRange(-0.25, std::max(X, 1) + 0.25);
  }
}

void TfrmScores::AddScorePoint(const TBrenmoorEngine& Engine) {
  const TScorePoint Point = TakeScorePoint(Engine);
  const int X = static_cast<int>(FLabels.size());
  const int Powers = std::min<int>(static_cast<int>(Point.Nations.size()), ChartSeriesCount);
  const int Alliances = std::min<int>(static_cast<int>(Point.Alliances.size()), ChartSeriesCount);
  // The first point: each power's series takes its colour and its name.
  if (FNationSeries.front()->count() == 0)
    for (int I = 0; I < Powers; ++I) {
      const TNation* Nation = Engine.GetNation(I);
      if (FPalette) FNationSeries[std::size_t(I)]->setColor(QColorOfValue(FPalette->ColorValueOf(Nation->GetColorIndex())));
      FNationSeries[std::size_t(I)]->setName(ToQString(Nation->GetName()));
    }
  std::int32_t Top = 10;
  for (int I = 0; I < Powers; ++I) {
    AddPoint(FNationSeries[std::size_t(I)], X, Point.Nations[std::size_t(I)]);
    Top = std::max(Top, Point.Nations[std::size_t(I)]);
  }
  for (int I = Powers; I < ChartSeriesCount; ++I) FNationSeries[std::size_t(I)]->setVisible(false);
  std::int32_t AllianceTop = 10;
  for (int I = 0; I < Alliances; ++I) {
    QLineSeries* Line = FAllianceSeries[std::size_t(I)];
    Line->setName(ToQString(Point.Alliances[std::size_t(I)].first));
    AddPoint(Line, X, Point.Alliances[std::size_t(I)].second);
    AllianceTop = std::max(AllianceTop, Point.Alliances[std::size_t(I)].second);
  }
  for (int I = Alliances; I < ChartSeriesCount; ++I) FAllianceSeries[std::size_t(I)]->setVisible(false);
  AppendLabel(ToQString(Point.Label));
  // The left axis starts at 0 and reaches the highest share so far, in steps of a round number.
  for (auto [View, High] : {std::pair{FNationView, Top}, std::pair{FAllianceView, AllianceTop}}) {
    QValueAxis* Left = LeftAxis(View);
    const double Reach = std::ceil(std::max(Left->max(), double(High)) / 10.0) * 10.0;
    Left->setRange(0, Reach);
  }
  // Hidden series stay out of the legend; those left out are told in the title.
  for (QChartView* View : {FNationView, FAllianceView})
    for (QLegendMarker* Marker : View->chart()->legend()->markers())
      Marker->setVisible(Marker->series()->isVisible());
  FNationView->chart()->setTitle(ToQString(LeftOutNote(static_cast<int>(Point.Nations.size()) - Powers, "powers")));
  FAllianceView->chart()->setTitle(ToQString(LeftOutNote(static_cast<int>(Point.Alliances.size()) - Alliances, "alliances")));
}

void TfrmScores::ShowChart(bool ByNation) { FCharts->setCurrentWidget(ByNation ? FNationView : FAllianceView); }

QChartView* TfrmScores::FrontChart() const { return qobject_cast<QChartView*>(FCharts->currentWidget()); }

void TfrmScores::btnNationClick() {
  FByAlliance->SetDown(!FByNation->Down());
  ShowChart(FByNation->Down());
}

void TfrmScores::btnAllianceClick() {
  FByNation->SetDown(!FByAlliance->Down());
  ShowChart(FByNation->Down());
}
