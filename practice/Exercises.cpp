#include "Exercises.h"

#include <numeric>
#include <random>

#include "ReadyLists.h"
#include "TraceCommands.h"

namespace Practice {

namespace {

std::uint64_t Moves(const TreeTrace::TraceRecorder& recorder, std::size_t from) {
  std::uint64_t moves = 0;
  for (std::size_t i = from; i < recorder.ValueCount(); ++i) {
    const TreeTrace::ValueStep& step = recorder.Step(i);
    moves += step.FixUps;
    for (const std::uint32_t r : step.Rotations) moves += r;
  }
  return moves;
}

}  // namespace

std::vector<std::string> Exercise::Commands() const {
  std::vector<std::int16_t> all = Start;
  all.insert(all.end(), Inserts.begin(), Inserts.end());
  std::vector<std::string> lines{"get " + TreeCommands::ListText(all) + " from " +
                                 std::to_string(Start.size() + 1)};
  if (!Erases.empty()) lines.push_back("erase " + TreeCommands::ListText(Erases));
  return lines;
}

int ExerciseMoves(const Exercise& exercise) {
  TreeTrace::Engine engine;
  TreeCore::TreeRec tree;
  TreeTrace::TraceRecorder recorder;
  std::vector<std::int16_t> all = exercise.Start;
  all.insert(all.end(), exercise.Inserts.begin(), exercise.Inserts.end());
  TreeTrace::RunGetTree(engine, tree, TreeCommands::ListText(all), &recorder);
  std::uint64_t moves = Moves(recorder, exercise.Start.size());
  if (!exercise.Erases.empty()) {
    TreeTrace::RunErase(engine, tree, TreeCommands::ListText(exercise.Erases), &recorder);
    moves += Moves(recorder, 0);
  }
  return static_cast<int>(moves);
}

Exercise MakeExercise(std::uint32_t seed, int difficulty) {
  std::mt19937 rng(seed);
  const auto draw = [&rng](int low, int high) {
    return low +
           static_cast<int>(TreeCommands::DrawBelow(rng, static_cast<std::uint32_t>(high - low + 1)));
  };
  // Partial shuffles by Below only, so that no library's distribution enters.
  const auto shuffleFront = [&rng](std::vector<std::int16_t>& v, std::size_t n) {
    for (std::size_t i = 0; i < n && i < v.size(); ++i) {
      const std::size_t j = i + TreeCommands::DrawBelow(rng, static_cast<std::uint32_t>(v.size() - i));
      std::swap(v[i], v[j]);
    }
  };
  Exercise e;
  e.Seed = seed;
  e.Difficulty = difficulty >= 2 ? 2 : 1;
  // Every draw that fails the two-moves rule is followed by the next from
  // the same generator; a few tries suffice in practice.
  for (;;) {
    const int start = draw(7, 31);
    const int inserts = draw(3, 8);
    std::vector<std::int16_t> pool(ExerciseHigh - ExerciseLow + 1);
    std::iota(pool.begin(), pool.end(), static_cast<std::int16_t>(ExerciseLow));
    shuffleFront(pool, static_cast<std::size_t>(start + inserts + 1));
    e.Start.assign(pool.begin(), pool.begin() + start);
    e.Inserts.assign(pool.begin() + start, pool.begin() + start + inserts);
    e.Erases.clear();
    if (e.Difficulty == 2) {
      const int erases = draw(2, 4);
      const bool missing = draw(0, 1) == 1;
      std::vector<std::int16_t> held(pool.begin(), pool.begin() + start + inserts);
      shuffleFront(held, static_cast<std::size_t>(erases));
      e.Erases.assign(held.begin(), held.begin() + erases);
      // A value drawn for neither the tree nor the list.
      if (missing) e.Erases.back() = pool[static_cast<std::size_t>(start + inserts)];
    }
    if (ExerciseMoves(e) >= MinMoves) return e;
  }
}

std::vector<Exercise> SheetExercises(std::uint32_t seed, int count) {
  std::vector<Exercise> sheet;
  for (int i = 0; i < count; ++i)
    sheet.push_back(MakeExercise(seed + static_cast<std::uint32_t>(i), 1 + i % 2));
  return sheet;
}

}  // namespace Practice
