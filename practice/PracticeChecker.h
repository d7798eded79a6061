// Practice: the student names each step of a recorded Get Tree or Erase, and
// each answer is held to the event the scheme took at that moment, with the
// node indexes `--trace` writes. Free of Qt: the window and `--practice` share it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "EventStates.h"
#include "TraceEngine.h"
#include "TraceRecorder.h"

namespace Practice {

using TreeCommands::CommandKind;

// 1: name the event; 2: also its node; 3: also place each value.
enum class Level : std::uint8_t { Event = 1, Node = 2, Place = 3 };

enum class StepKind : std::uint8_t { Insert, Rotate, FixUp, Erase, Balanced, Missing };

// One step as the scheme took it.
struct Step {
  StepKind Kind = StepKind::Balanced;
  TreeCore::ChainKind Chain = TreeCore::ChainKind::RR;  // a rotation's kind
  bool Right = false;            // a fix-up's heavy side; the side an insert hangs on
  std::int32_t Node = -1;        // the slot filled, the chain's top, the fixed or erased node
  std::int32_t Parent = -1;      // an insert's parent; -1 for the first node
  std::int16_t ParentValue = 0;  // its value
  std::int16_t Value = 0;        // the value at Node; for balanced and missing, the value worked on
  std::string Message;           // missing: the window's message
  bool Removal = false;          // a fix-up that sinks the node being erased
};

// An answer; members left empty were not given.
struct Answer {
  StepKind Kind = StepKind::Balanced;
  std::optional<TreeCore::ChainKind> Chain;
  std::optional<bool> Right;
  std::optional<std::int32_t> Node;
  std::optional<std::int32_t> Parent;
  std::optional<std::int16_t> Value;
};

struct Verdict {
  bool Right = false;
  Step Expected;
  std::string Why;  // empty when right
};

struct Score {
  std::uint64_t Steps = 0;     // steps answered, right or shown
  std::uint64_t FirstTry = 0;  // right at the first answer
  std::uint64_t Tries = 0;     // answers, "show" included
  std::uint64_t Shown = 0;
  std::uint64_t Hints = 0;
  std::uint64_t Unanswered = 0;  // run without questions when a new command came
};

// The answer that names `step` in full.
Answer ModelAnswer(const Step& step);

class Checker {
 public:
  // Runs the command on `tree` as Get Tree or Erase does and asks from value
  // `from` (0-based) on; the values before it run without questions. Returns
  // the window's refusal, and then leaves the tree and any command in
  // progress alone.
  std::string Begin(CommandKind kind, std::string_view list, std::size_t from,
                    TreeTrace::Engine& engine, TreeCore::TreeRec& tree);

  // A step is waiting for its answer.
  bool Active() const { return active_; }
  CommandKind Kind() const { return recorder_.Kind(); }
  const Step& Current() const { return steps_[step_]; }
  // The index in the command's list of the value being worked on.
  std::size_t CurrentValue() const { return value_; }
  const std::vector<std::int16_t>& Values() const { return values_; }
  // The table as the scheme stood when the current step came (for an
  // insert, the tree before its value): rebuilt on the first call at a step.
  const TreeCore::TreeRec& TreeNow() const;
  const TreeTrace::TraceRecorder& Recorder() const { return recorder_; }

  // Right answers advance; wrong ones say why and wait.
  Verdict Check(const Answer& answer, Level level);
  // "Show me": the step, counted as shown; advances.
  Verdict Show();
  void CountHint() { ++score_.Hints; }
  // Runs the rest without questions (counted unanswered) and ends the command.
  Score Finish();
  const Score& CurrentScore() const { return score_; }

 private:
  void EnterValue(std::size_t index);
  void Advance();
  std::uint64_t StepsLeft() const;

  TreeTrace::TraceRecorder recorder_;
  std::vector<std::int16_t> values_;
  std::string stop_;  // the message of an Erase that stopped
  bool active_ = false;
  std::size_t value_ = 0;  // index in values_
  std::vector<Step> steps_;
  // The tree before the current value, run forward a value at a time; the
  // table at the current step is rebuilt from it only when asked for.
  mutable TreeCore::TreeRec live_;
  mutable std::size_t liveValue_ = 0;  // the value live_ stands before
  mutable TreeCore::TreeRec now_;
  mutable bool nowValid_ = false;
  // The engine that runs live_ forward; it keeps its in-order links from
  // value to value, so a copy of the checker starts an engine of its own.
  class EngineSlot {
   public:
    EngineSlot() = default;
    EngineSlot(const EngineSlot&) {}
    EngineSlot& operator=(const EngineSlot&) {
      engine_.reset();
      return *this;
    }
    EngineSlot(EngineSlot&&) = default;
    EngineSlot& operator=(EngineSlot&&) = default;
    TreeTrace::Engine& Get() const {
      if (!engine_) engine_ = std::make_unique<TreeTrace::Engine>();
      return *engine_;
    }

   private:
    mutable std::unique_ptr<TreeTrace::Engine> engine_;
  } advance_;
  std::size_t step_ = 0;
  bool tried_ = false;  // the current step has had a wrong answer
  Score score_;
};

// Why `answer` is not `expected`, from the rule and the heights in `tree`
// (the table when the step came), without naming what is expected.
std::string WhyWrong(const Step& expected, const Answer& answer, Level level,
                     const TreeCore::TreeRec& tree, CommandKind kind, std::int16_t value);

// Whether `answer` names `expected` as far as `level` asks.
bool Matches(const Step& expected, const Answer& answer, Level level);

// The step in words, as the steps window says it.
std::string DescribeStep(const Step& step);

}  // namespace Practice
