// The marks a tree pane can carry, each with the one thing it means in every
// window (the steps window, the compare window and the PDF handout), and the
// legend that names them: drawn in a widget, or onto a page.
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

class QPainter;

namespace TreeUi {

enum class Mark {
  Involved,  // the highlight ring
  Subject,   // the balancing roles' rings, RolePen 0..5
  Middle,
  Bottom,
  NewTop,
  Neighbour,
  Lift,
  OtherDepth,  // compared trees: RolePen 6
  Selected,    // compared trees: RolePen 7
  Unbalanced,  // the circle in the warning colour
  Balance,     // a badge: right height minus left height
  ChangedBalance,
};

// The role ring pens of the compare window's marks.
inline constexpr int OtherDepthRole = 6;
inline constexpr int SelectedRole = 7;

// What the mark means, in a few words.
QString MarkMeaning(Mark mark);
// The balancing role's ring (0..5).
Mark RoleMark(int role);
// Every balancing role's ring, in order.
std::vector<Mark> RoleMarks();

// Lays the legend out in rows no wider than `width` from `topLeft`, painting
// it when `painter` is given; returns the height it takes.
double PaintLegend(QPainter* painter, QPointF topLeft, double width, const QFont& font,
                   const QColor& text, const std::vector<Mark>& marks);

class MarkLegend final : public QWidget {
  Q_OBJECT

 public:
  explicit MarkLegend(QWidget* parent = nullptr);
  void SetMarks(std::vector<Mark> marks);
  const std::vector<Mark>& Marks() const { return marks_; }

  bool hasHeightForWidth() const override { return true; }
  int heightForWidth(int width) const override;
  QSize sizeHint() const override;
  QSize minimumSizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  std::vector<Mark> marks_;
};

}  // namespace TreeUi
