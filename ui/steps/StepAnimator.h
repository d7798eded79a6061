// Motion in the steps window's pane: going from one shown state to the next
// moves every node from its old place to its new one (an inserted node fades
// in, a removed one fades out), and Play runs through the events at the
// chosen speed. The pane itself changes at once, as it always has; the
// motion is painted over it and gone when it ends. Everything runs off a
// clock the tests can step, and nothing waits: input goes on meanwhile.
#pragma once

#include <QElapsedTimer>
#include <QFont>
#include <QObject>
#include <QRectF>
#include <QTimer>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "StepMotion.h"
#include "TraceRecorder.h"

class QAction;
class QComboBox;
class QMenu;
class QPainter;
class QPushButton;
class QWidget;

namespace TreeUi {

class DrawSurface;

// Milliseconds, and a tick about once a frame while running.
class MotionClock {
 public:
  virtual ~MotionClock() = default;
  virtual double Now() const = 0;
  virtual void Run(bool on) = 0;
  void OnTick(std::function<void()> tick) { tick_ = std::move(tick); }

 protected:
  void Tick() {
    if (tick_) tick_();
  }

 private:
  std::function<void()> tick_;
};

// The application's clock: a frame timer and the time since it was made.
class TimerClock final : public MotionClock {
 public:
  TimerClock();
  double Now() const override;
  void Run(bool on) override;

 private:
  QTimer timer_;
  QElapsedTimer elapsed_;
};

// A shown state: value i after event k, or after the whole value (Event -1).
struct StepPosition {
  std::ptrdiff_t Value = -1;
  std::ptrdiff_t Event = -1;
};

// For each slot of the tree shown at `from` (`fromCount` slots), its slot in
// the tree shown at `to`, or -1: worked out from the recorded inserts and
// erases between them, in either direction.
std::vector<std::int32_t> SlotsBetween(const TreeTrace::TraceRecorder& recorder, StepPosition from,
                                       std::int32_t fromCount, StepPosition to,
                                       std::int32_t toCount);

// Paints one frame over a viewport-sized widget, `offset` pixels from the
// frames' origin.
void PaintMotionFrame(QPainter& painter, const TreeCore::MotionFrames& frames, QPointF offset,
                      const QRectF& area, bool fitCaptions, const QFont& captionFont);

class StepAnimator final : public QObject {
  Q_OBJECT

 public:
  // Speeds the control offers, as multiples of the normal pace.
  static constexpr double Speeds[] = {0.25, 0.5, 1, 2, 4};
  static constexpr int NormalSpeed = 2;
  // A move at normal speed, and the pause after it while playing.
  static constexpr double MoveMs = 600, DwellMs = 700;
  // Larger trees change at once: their frames would not keep pace.
  static constexpr std::size_t MaxMovingNodes = 4000;

  // `forward` shows the next event; `restart` the first. The controls and
  // the "Reduce Motion" item go into `window`'s keys and `menu`.
  StepAnimator(DrawSurface* pane, QWidget* window, QMenu* menu,
               std::function<const TreeTrace::TraceRecorder&()> recorder,
               std::function<void()> forward, std::function<void()> restart);
  ~StepAnimator() override;

  // The Play/Pause button and the speed control, for the window's button row.
  QWidget* Controls() const { return controls_; }

  // ---- Wiring: the pane is about to show another state, and has shown it.
  void Leaving();
  void Arrived(StepPosition position);
  // A new command: the next state shown has no state before it, and play stops.
  void Forget();

  // ---- Controls ----------------------------------------------------------
  void Play();
  void Pause();
  bool Playing() const { return playing_; }
  void SetSpeed(int index);
  int Speed() const { return speed_; }
  bool ReduceMotion() const;
  void SetReduceMotion(bool on);

  // ---- For the tests ------------------------------------------------------
  void SetClock(std::unique_ptr<MotionClock> clock);
  bool Animating() const { return animating_; }
  // 0..1 through the running move.
  double Progress() const;
  const TreeCore::MotionFrames& Frames() const { return frames_; }
  QWidget* Overlay() const { return overlay_; }
  QPushButton* PlayButton() const { return play_; }
  QComboBox* SpeedBox() const { return speedBox_; }
  QAction* ReduceMotionAction() const { return reduce_; }

 private:
  void OnTick();
  void Finish();
  void UpdateClock();
  double Pace() const { return Speeds[speed_]; }
  TreeCore::Placement PanePlacement() const;

  DrawSurface* pane_;
  std::function<const TreeTrace::TraceRecorder&()> recorder_;
  std::function<void()> forward_, restart_;
  std::unique_ptr<MotionClock> clock_;
  QWidget* controls_ = nullptr;
  QPushButton* play_ = nullptr;
  QComboBox* speedBox_ = nullptr;
  QAction* reduce_ = nullptr;
  QWidget* overlay_ = nullptr;

  // The state shown before, as it looked, while the pane draws the next.
  bool known_ = false;
  StepPosition position_;
  std::int32_t count_ = 0;
  bool captured_ = false;
  TreeCore::Scene leaving_;
  QRectF leavingSurface_;

  TreeCore::MotionFrames frames_;
  QRectF fromSurface_, toSurface_;
  bool animating_ = false;
  double start_ = 0;
  bool playing_ = false;
  bool arrived_ = false;
  double nextStep_ = 0;
  int speed_ = NormalSpeed;

  friend class MotionOverlay;
};

}  // namespace TreeUi
