#pragma once
// "Score History": each major power's share of world industry and each alliance's share over
// the game, one point per score period, in two charts of seven line series each (By Nation,
// By Alliance; one in front at a time). Powers or alliances beyond the seventh are left out of
// the charts, and the chart's title says how many.
#include <QStringList>
#include <vector>

#include "ui/GameWindows.h"

class QChart;
class QChartView;
class QLineSeries;
class QStackedLayout;
class TBrenmoorEngine;
class TColorButton;
class TColorPalette;

class TfrmScores : public TGameWindow {
  Q_OBJECT
public:
  TfrmScores();
  ~TfrmScores() override;

  // The map's palette, from which each power's series takes its colour slot's colour.
  void SetPalette(const TColorPalette* Palette) { FPalette = Palette; }
  // Removes every point of every series of both charts.
  void Clear();
  // One point per power and alliance of the engine, labelled with the game date "mmm-yyyy".
  void AddScorePoint(const TBrenmoorEngine& Engine);

  QChartView* chartScores() const { return FNationView; }
  QChartView* chartAlliance() const { return FAllianceView; }
  QLineSeries* NationSeries(int I) const { return FNationSeries.at(std::size_t(I)); }
  QLineSeries* AllianceSeries(int I) const { return FAllianceSeries.at(std::size_t(I)); }
  // The points' labels along the bottom axis, oldest first.
  const QStringList& Labels() const { return FLabels; }
  // The chart in front.
  QChartView* FrontChart() const;

  void btnNationClick();
  void btnAllianceClick();

private:
  QChartView* MakeChart(const char* Name, std::vector<QLineSeries*>& Series);
  void ShowChart(bool ByNation);
  void AppendLabel(const QString& Label);

  const TColorPalette* FPalette = nullptr;
  QChartView* FNationView;
  QChartView* FAllianceView;
  std::vector<QLineSeries*> FNationSeries;
  std::vector<QLineSeries*> FAllianceSeries;
  QStackedLayout* FCharts;
  TColorButton* FByNation;
  TColorButton* FByAlliance;
  QStringList FLabels;
};
