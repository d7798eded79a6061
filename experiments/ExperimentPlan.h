// What an experiment runs, how its options are read, and one list's run
// through both trees.
#pragma once

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "Compare.h"
#include "ExperimentLists.h"

namespace TreeExperiments {

struct Settings {
  std::vector<ListKind> Kinds{AllKinds.begin(), AllKinds.end()};
  std::vector<int> Sizes = DefaultSizes();  // ascending, each once
  int Repeats = DefaultRepeats;             // for the drawn kinds
  std::uint32_t Seed = DefaultSeed;
  bool Scheme = true, Avl = true;  // which trees
};

// The options as typed; each gives the value, or the message saying what is
// wrong. Kinds keep their order (a repeated one counts once); sizes are
// sorted and each kept once.
std::variant<std::vector<ListKind>, std::string> ReadKinds(std::string_view text);
std::variant<std::vector<int>, std::string> ReadSizes(std::string_view text);
// Each list is kept in the plan: a bound keeps it to some hundreds of thousands.
inline constexpr int MaxRepeats = 10000;
std::variant<int, std::string> ReadRepeats(std::string_view text);
std::variant<std::uint32_t, std::string> ReadSeedText(std::string_view text);

struct ListId {
  ListKind Kind = ListKind::Random;
  int Size = 0;
  int Repeat = 1;  // from 1
  friend bool operator==(const ListId&, const ListId&) = default;
};
// Every list of the experiment, in the order of its rows: kind as given,
// size ascending, repeat.
std::vector<ListId> PlanLists(const Settings& settings);

enum class TreeName : std::uint8_t { Scheme, Avl };

struct TreeFigures {
  int Levels = 0;
  TreeTrace::RotationCounts Rotations{};
  std::uint32_t FixUps = 0;  // the scheme's only
  double Ms = 0;             // the insertions alone
};

struct ListResult {
  ListId Id;
  std::optional<TreeFigures> Scheme, Avl;  // the trees chosen
};

// Makes the list and runs it through the chosen trees, counted as --compare
// counts it; nullopt when `cancel` stopped it.
std::optional<ListResult> RunList(const ListId& id, const Settings& settings,
                                  const std::atomic<bool>* cancel = nullptr);

}  // namespace TreeExperiments
