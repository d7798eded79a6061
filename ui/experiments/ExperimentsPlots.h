// The Experiments window's four plots against n (a log scale shared by all):
// levels with their bounds, rotations, fix-ups and time per insertion. They
// draw the statistics they are given; hovering a point shows its figures.
#pragma once

#include <QObject>
#include <QString>
#include <array>
#include <map>
#include <tuple>

#include "ExperimentTable.h"

class QAreaSeries;
class QChart;
class QChartView;
class QLineSeries;
class QValueAxis;
class QLogValueAxis;
class QWidget;

namespace TreeUi {

class ExperimentsPlots final : public QObject {
  Q_OBJECT

 public:
  enum Plot { Levels, Rotations, FixUps, Micros, PlotCount };

  explicit ExperimentsPlots(QWidget* parent);
  QChartView* View(int plot) const { return views_[static_cast<std::size_t>(plot)]; }

  // Empties the plots and makes the series of an experiment's kinds and trees.
  void Reset(const TreeExperiments::Settings& settings);
  // Draws these statistics (all so far).
  void Show(
      const std::map<TreeExperiments::Aggregate::Key, TreeExperiments::Aggregate::Stats>& stats);
  // Which rotations the rotations plot counts: Measure::Rotations (all
  // kinds summed) or one of RR, RL, LL, LR.
  void SetRotations(TreeExperiments::Measure measure);
  TreeExperiments::Measure RotationsShown() const { return rotations_; }
  // Writes a plot as PNG or SVG, by the name's ending; false when it cannot.
  bool Save(int plot, const QString& path) const;
  // The text hovering the plot's point of (kind, tree) nearest `n` shows.
  QString PointText(int plot, TreeExperiments::ListKind kind, TreeExperiments::TreeName tree,
                    double n) const;

 private:
  struct Mean {
    QLineSeries* line = nullptr;
    QAreaSeries* band = nullptr;  // min..max, the levels of drawn kinds only
  };
  using Key = std::tuple<int, TreeExperiments::ListKind, TreeExperiments::TreeName>;
  TreeExperiments::Measure MeasureOf(int plot) const;
  void Refresh();
  void Retitle();

  std::array<QChartView*, PlotCount> views_{};
  std::array<QChart*, PlotCount> charts_{};
  std::array<QLogValueAxis*, PlotCount> xAxes_{};
  std::array<QValueAxis*, PlotCount> yAxes_{};
  std::array<QString, PlotCount> names_;  // the titles without the line styles
  std::map<Key, Mean> series_;
  std::map<TreeExperiments::Aggregate::Key, TreeExperiments::Aggregate::Stats> stats_;
  TreeExperiments::Measure rotations_ = TreeExperiments::Measure::Rotations;
  double boundsTop_ = 0;
  bool bothTrees_ = true;
};

}  // namespace TreeUi
