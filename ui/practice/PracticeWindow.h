// The practice window: the student names (level 1), also points at (level
// 2), or carries out (level 3) every step of Get Tree or Erase on a list or
// a seeded exercise, and the checker answers each step at once.
#pragma once

#include <QString>
#include <QWidget>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "Exercises.h"
#include "PracticeChecker.h"
#include "PracticeProtocol.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QVBoxLayout;

namespace TreeUi {

class TreePane;

// Where the cursor stands at level 3: a node, or the free child position on
// one side of a node (Node -1: the root's place in an empty tree).
struct PracticeTarget {
  std::int32_t Node = -1;
  bool Free = false;
  bool Right = false;
  bool operator==(const PracticeTarget&) const = default;
};

// The nodes and free child positions of `tree` in in-order, as the arrow
// keys walk them; with `free` false, the nodes only.
std::vector<PracticeTarget> PracticeTargets(const TreeCore::TreeRec& tree, bool free);

class PracticeWindow final : public QWidget {
  Q_OBJECT

 public:
  explicit PracticeWindow(QWidget* parent = nullptr);
  ~PracticeWindow() override;

  // Practice on Get Tree of `list` (the Get Tree box as typed), from an empty tree.
  void StartList(const QString& list);
  // A new exercise from `seed` at difficulty 1 or 2.
  void StartExercise(std::uint32_t seed, int difficulty);
  void SetLevel(Practice::Level level);
  Practice::Level CurrentLevel() const { return level_; }

  // ---- Answers ---------------------------------------------------------------
  // An event button: at level 2 and 3 with the chosen node (or position).
  void AnswerEvent(Practice::Answer answer);
  void ShowMe();
  void Hint();
  // Picks the target under the cursor (Enter): a node is chosen; a free
  // position answers the insert at once.
  void PickCursor();
  void MoveCursor(int step);  // along the in-order targets
  void MoveCursorUp();
  void MoveCursorDown();

  // ---- Saving ----------------------------------------------------------------
  bool SaveResults(const QString& path, QString* error = nullptr);
  bool SaveSheet(const QString& path, QString* error = nullptr);

  // ---- For the tests ---------------------------------------------------------
  bool Finished() const { return !checker_.Active(); }
  const Practice::Checker& Checker() const { return checker_; }
  const Practice::Score& Total() const { return total_; }
  QString Words() const;
  QString ScoreText() const;
  QString ListText() const;
  TreePane* Pane() const { return pane_; }
  const PracticeTarget& Cursor() const { return cursor_; }
  std::int32_t Chosen() const { return chosen_; }
  std::int32_t HintRing() const { return hintRing_; }
  bool BadgesShown() const { return badges_; }
  const Practice::Transcript& Results() const { return transcript_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void BuildChoices(QVBoxLayout* layout);
  void BuildListAndPane(QVBoxLayout* layout);
  void BuildButtons(QVBoxLayout* layout);
  std::pair<QPushButton*, QPushButton*> BuildSaveButtons();
  struct Command {
    Practice::CommandKind Kind;
    std::string List;
    std::size_t From = 0;
  };
  void Start(std::vector<Command> commands, QString title);
  void BeginNext();
  void Refresh();
  void KeepCursor();
  void Said(const Practice::Verdict& verdict, bool shown);
  QPushButton* EventButton(const QString& text, const QString& name, Practice::Answer answer);

  Practice::Level level_ = Practice::Level::Event;
  TreeTrace::Engine engine_;
  TreeCore::TreeRec tree_;
  Practice::Checker checker_;
  Practice::Score total_;
  Practice::Transcript transcript_;
  std::vector<Command> commands_;
  std::size_t next_ = 0;
  std::uint32_t seed_ = 1;
  bool exercise_ = false;
  bool badges_ = false;
  int hints_ = 0;  // hints on the current step
  std::int32_t hintRing_ = -1;
  std::int32_t chosen_ = -1;
  PracticeTarget cursor_;
  QString words_;

  QComboBox* levelBox_ = nullptr;
  QComboBox* difficultyBox_ = nullptr;
  QLineEdit* seedBox_ = nullptr;
  QLabel* list_ = nullptr;
  QLabel* score_ = nullptr;
  QLabel* words_label_ = nullptr;
  QLabel* cursorLabel_ = nullptr;
  TreePane* pane_ = nullptr;
  std::vector<QPushButton*> events_;
};

}  // namespace TreeUi
