#include "ExperimentsPlots.h"

#include <QAreaSeries>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLogValueAxis>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>
#include <QToolTip>
#include <QValueAxis>
#include <algorithm>
#include <cmath>

namespace TreeUi {

namespace {

using namespace TreeExperiments;

// One colour per kind, in AllKinds' order; the tree by the line's style.
const QColor KindColours[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xff, 0x7f, 0x0e),
                              QColor(0x2c, 0xa0, 0x2c), QColor(0xd6, 0x27, 0x28),
                              QColor(0x94, 0x67, 0xbd)};

QColor ColourOf(ListKind kind) {
  return KindColours[static_cast<std::size_t>(kind)];
}

const char* const Titles[] = {"Levels", "Rotations per insertion", "Fix-ups per insertion (scheme)",
                              "Time per insertion (\u00b5s)"};

QString TreeLabel(TreeName tree) {
  return tree == TreeName::Scheme ? QStringLiteral("scheme") : QStringLiteral("AVL");
}

QString Number(double v) {
  return QString::number(v, 'g', v >= 100 ? 6 : 4);
}

}  // namespace

ExperimentsPlots::ExperimentsPlots(QWidget* parent) : QObject(parent) {
  for (int p = 0; p < PlotCount; ++p) {
    auto* chart = new QChart;
    chart->setTitle(QString::fromUtf8(Titles[p]));
    chart->legend()->setAlignment(Qt::AlignRight);
    QFont small = chart->legend()->font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    chart->legend()->setFont(small);
    chart->setMargins(QMargins(2, 2, 2, 2));
    auto* x = new QLogValueAxis;
    x->setBase(8);
    x->setLabelFormat(QStringLiteral("%.0f"));
    x->setTitleText(QStringLiteral("n"));
    x->setMinorTickCount(0);
    QFont labels = x->labelsFont();
    labels.setPointSizeF(labels.pointSizeF() * 0.85);
    x->setLabelsFont(labels);
    auto* y = new QValueAxis;
    y->setLabelFormat(p == Levels ? QStringLiteral("%.0f") : QStringLiteral("%.4g"));
    chart->addAxis(x, Qt::AlignBottom);
    chart->addAxis(y, Qt::AlignLeft);
    auto* view = new QChartView(chart, parent);
    view->setObjectName(QStringLiteral("ExperimentsPlot%1").arg(p));
    view->setRenderHint(QPainter::Antialiasing);
    view->setContextMenuPolicy(Qt::CustomContextMenu);
    views_[static_cast<std::size_t>(p)] = view;
    charts_[static_cast<std::size_t>(p)] = chart;
    xAxes_[static_cast<std::size_t>(p)] = x;
    yAxes_[static_cast<std::size_t>(p)] = y;
  }
}

Measure ExperimentsPlots::MeasureOf(int plot) const {
  switch (plot) {
    case Levels:
      return Measure::Levels;
    case Rotations:
      return rotations_;
    case FixUps:
      return Measure::FixUps;
    default:
      return Measure::Micros;
  }
}

void ExperimentsPlots::Reset(const Settings& settings) {
  bothTrees_ = settings.Scheme && settings.Avl;
  Retitle();
  series_.clear();
  stats_.clear();
  for (QChart* chart : charts_) chart->removeAllSeries();
  const double low = settings.Sizes.empty() ? 1 : settings.Sizes.front();
  const double high = settings.Sizes.empty() ? 2 : settings.Sizes.back();
  for (int p = 0; p < PlotCount; ++p) {
    QChart* chart = charts_[static_cast<std::size_t>(p)];
    const auto attach = [&](QAbstractSeries* s) {
      chart->addSeries(s);
      s->attachAxis(xAxes_[static_cast<std::size_t>(p)]);
      s->attachAxis(yAxes_[static_cast<std::size_t>(p)]);
    };
    xAxes_[static_cast<std::size_t>(p)]->setRange(low / 1.4, high * 1.4);
    for (const ListKind kind : settings.Kinds) {
      for (const TreeName tree : {TreeName::Scheme, TreeName::Avl}) {
        if ((tree == TreeName::Scheme && !settings.Scheme) ||
            (tree == TreeName::Avl && (!settings.Avl || p == FixUps)))
          continue;
        Mean mean;
        mean.line = new QLineSeries;
        mean.line->setName(QString::fromLatin1(KindName(kind)));
        QPen pen(ColourOf(kind), 2);
        if (tree == TreeName::Avl) pen.setStyle(Qt::DashLine);
        mean.line->setPen(pen);
        mean.line->setPointsVisible(true);
        if (p == Levels && IsDrawn(kind)) {
          mean.band = new QAreaSeries;
          // The band's edges go with it when the chart deletes it.
          for (const bool upper : {true, false}) {
            auto* edge = new QLineSeries(mean.band);
            upper ? mean.band->setUpperSeries(edge) : mean.band->setLowerSeries(edge);
          }
          QColor fill = ColourOf(kind);
          fill.setAlpha(tree == TreeName::Scheme ? 60 : 35);
          mean.band->setBrush(fill);
          mean.band->setPen(Qt::NoPen);
          mean.band->setName(mean.line->name() + QStringLiteral(" min\u2013max"));
          attach(mean.band);
          chart->legend()->markers(mean.band).constFirst()->setVisible(false);
        }
        attach(mean.line);
        // The legend names the kinds (by colour); the line's style gives the tree.
        if (tree == TreeName::Avl && settings.Scheme && p != FixUps)
          chart->legend()->markers(mean.line).constFirst()->setVisible(false);
        connect(mean.line, &QLineSeries::hovered, this,
                [this, p, kind, tree](const QPointF& point, bool state) {
                  if (!state) {
                    QToolTip::hideText();
                    return;
                  }
                  QToolTip::showText(QCursor::pos(), PointText(p, kind, tree, point.x()),
                                     views_[static_cast<std::size_t>(p)]);
                });
        series_[{p, kind, tree}] = mean;
      }
    }
  }
  // The bounds: the fewest levels n values can take, and AVL's most.
  auto* least = new QLineSeries;
  least->setName(QStringLiteral("least possible"));
  least->setPen(QPen(Qt::black, 1.5, Qt::DotLine));
  auto* worst = new QLineSeries;
  worst->setName(QStringLiteral("AVL worst case"));
  worst->setPen(QPen(Qt::darkGray, 1.5, Qt::DashDotLine));
  boundsTop_ = 0;
  for (const int n : settings.Sizes) {
    least->append(n, LeastLevels(n));
    worst->append(n, AvlWorstLevels(n));
    boundsTop_ = std::max<double>(boundsTop_, AvlWorstLevels(n));
  }
  for (QLineSeries* s : {least, worst}) {
    charts_[Levels]->addSeries(s);
    s->attachAxis(xAxes_[Levels]);
    s->attachAxis(yAxes_[Levels]);
  }
  Refresh();
}

void ExperimentsPlots::Show(const std::map<Aggregate::Key, Aggregate::Stats>& stats) {
  stats_ = stats;
  Refresh();
}

void ExperimentsPlots::SetRotations(Measure measure) {
  rotations_ = measure;
  Retitle();
  Refresh();
}

void ExperimentsPlots::Retitle() {
  for (int p = 0; p < PlotCount; ++p) {
    QString title = QString::fromUtf8(Titles[p]);
    if (p == Rotations && rotations_ != Measure::Rotations)
      title =
          QStringLiteral("%1 rotations per insertion")
              .arg(QStringLiteral("RR,RL,LL,LR")
                       .split(',')[static_cast<int>(rotations_) - static_cast<int>(Measure::RR)]);
    names_[static_cast<std::size_t>(p)] = title;
    // Saved alone, a plot still says which line is which tree.
    if (p != FixUps && bothTrees_) title += QStringLiteral(" \u2014 solid: scheme, dashed: AVL");
    charts_[static_cast<std::size_t>(p)]->setTitle(title);
  }
}

void ExperimentsPlots::Refresh() {
  std::array<double, PlotCount> top{boundsTop_, 0, 0, 0};
  for (auto& [key, mean] : series_) {
    const auto [plot, kind, tree] = key;
    const auto m = static_cast<std::size_t>(MeasureOf(plot));
    QList<QPointF> means, lows, highs;
    for (const auto& [k, stats] : stats_) {
      if (k.Kind != kind || k.Tree != tree) continue;
      means.append({static_cast<double>(k.Size), stats[m].Mean});
      lows.append({static_cast<double>(k.Size), stats[m].Min});
      highs.append({static_cast<double>(k.Size), stats[m].Max});
      // What is drawn: the band's top, or the mean.
      top[static_cast<std::size_t>(plot)] =
          std::max(top[static_cast<std::size_t>(plot)], mean.band ? stats[m].Max : stats[m].Mean);
    }
    mean.line->replace(means);
    if (mean.band) {
      mean.band->upperSeries()->replace(highs);
      mean.band->lowerSeries()->replace(lows);
    }
  }
  for (int p = 0; p < PlotCount; ++p) {
    const double t = top[static_cast<std::size_t>(p)];
    QValueAxis* y = yAxes_[static_cast<std::size_t>(p)];
    if (p == Levels) {
      // Whole levels, a tick every five.
      const int top = 5 * static_cast<int>(std::ceil((t + 1) / 5));
      y->setRange(0, top);
      y->setTickCount(top / 5 + 1);
    } else {
      y->setRange(0, t > 0 ? t * 1.05 : 1);
      y->applyNiceNumbers();
    }
  }
}

QString ExperimentsPlots::PointText(int plot, ListKind kind, TreeName tree, double n) const {
  const Aggregate::Stats* best = nullptr;
  int size = 0;
  double distance = 0;
  for (const auto& [k, stats] : stats_) {
    if (k.Kind != kind || k.Tree != tree) continue;
    const double d = std::abs(std::log2(k.Size) - std::log2(std::max(n, 0.5)));
    if (!best || d < distance) {
      best = &stats;
      size = k.Size;
      distance = d;
    }
  }
  if (!best) return {};
  const Stat s = (*best)[static_cast<std::size_t>(MeasureOf(plot))];
  QString text = QStringLiteral("%1, %2, n = %3\n%4: ")
                     .arg(QString::fromLatin1(KindName(kind)), TreeLabel(tree))
                     .arg(size)
                     .arg(names_[static_cast<std::size_t>(plot)]);
  if (s.Count > 1)
    text += QStringLiteral("mean %1, min %2, max %3 (%4 lists)")
                .arg(Number(s.Mean), Number(s.Min), Number(s.Max))
                .arg(s.Count);
  else
    text += Number(s.Mean);
  if (plot == Levels)
    text += QStringLiteral("\nleast possible %1, AVL worst case %2")
                .arg(LeastLevels(size))
                .arg(AvlWorstLevels(size));
  return text;
}

bool ExperimentsPlots::Save(int plot, const QString& path) const {
  QChartView* view = views_[static_cast<std::size_t>(plot)];
  QSaveFile file(path);
  if (!file.open(QIODevice::WriteOnly)) return false;
  if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
    QSvgGenerator svg;
    svg.setOutputDevice(&file);
    svg.setSize(view->size());
    svg.setViewBox(view->rect());
    svg.setTitle(charts_[static_cast<std::size_t>(plot)]->title());
    QPainter painter;
    if (!painter.begin(&svg)) return false;
    view->render(&painter);
    painter.end();
  } else if (!view->grab().save(&file, "PNG")) {
    return false;
  }
  return file.commit();
}

}  // namespace TreeUi
