// Seeded practice exercises: a starting tree, values to insert and, at
// difficulty 2, values to erase, chosen so that the asked part takes at least
// two rotations or fix-ups. The draws are portable: the same seed gives the
// same exercise on every machine.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace Practice {

// Exercise values are drawn from 1..99, without repeats, so they read easily.
inline constexpr int ExerciseLow = 1;
inline constexpr int ExerciseHigh = 99;
inline constexpr int MinMoves = 2;

struct Exercise {
  std::uint32_t Seed = 0;
  int Difficulty = 1;  // 1: inserts only; 2: then erases
  std::vector<std::int16_t> Start;
  std::vector<std::int16_t> Inserts;
  std::vector<std::int16_t> Erases;  // the last may be missing from the tree
  // The protocol's command lines: "get START, INSERTS from K" (the starting
  // tree runs without questions) and, at difficulty 2, "erase ERASES".
  std::vector<std::string> Commands() const;
};

// Difficulty 1: 7-31 starting values and 3-8 to insert; difficulty 2 adds
// 2-4 to erase, the last of which may be missing.
Exercise MakeExercise(std::uint32_t seed, int difficulty);

// The rotations and fix-ups the exercise's asked part takes.
int ExerciseMoves(const Exercise& exercise);

// The exercises of a sheet: seeds seed, seed+1, ..., difficulties 1 and 2 in turn.
std::vector<Exercise> SheetExercises(std::uint32_t seed, int count);

}  // namespace Practice
