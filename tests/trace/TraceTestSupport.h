#pragma once

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "EventStates.h"
#include "TraceCommands.h"
#include "TreeCore.h"

namespace TraceTest {

inline std::vector<std::int16_t> Shuffled(int n, unsigned seed) {
  std::vector<std::int16_t> v(static_cast<std::size_t>(n));
  for (int i = 0; i < n; ++i) v[static_cast<std::size_t>(i)] = static_cast<std::int16_t>(i + 1);
  std::shuffle(v.begin(), v.end(), std::mt19937(seed));
  return v;
}

inline std::string Join(const std::vector<std::int16_t>& v) {
  std::string s;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (i != 0) s += ',';
    s += std::to_string(v[i]);
  }
  return s;
}

// Field-by-field equality of the parts the engine computes.
inline bool SameTree(const TreeCore::TreeRec& a, const TreeCore::TreeRec& b) {
  if (a.Exists != b.Exists || a.Root != b.Root || a.Count != b.Count || a.Height != b.Height ||
      a.TreeLeftHeight != b.TreeLeftHeight || a.TreeRightHeight != b.TreeRightHeight ||
      a.Nodes.size() != b.Nodes.size())
    return false;
  for (std::size_t i = 0; i < a.Nodes.size(); ++i) {
    const auto &x = a.Nodes[i], &y = b.Nodes[i];
    if (x.Data != y.Data || x.Kind != y.Kind || x.Level != y.Level ||
        x.LeftHeight != y.LeftHeight || x.RightHeight != y.RightHeight || x.Parent != y.Parent ||
        x.LeftChild != y.LeftChild || x.RightChild != y.RightChild)
      return false;
  }
  return true;
}

// Get Tree `get`, then Erase `erase` when it is not empty, recorded; the
// states of the last value's first event of `type`.
struct FirstEvent {
  TreeTrace::TraceRecorder Recorder;
  std::size_t Value = 0;
  TreeTrace::EventStates States;
  bool Found = false;

  FirstEvent(const char* get, const char* erase, TreeTrace::EventType type) {
    TreeTrace::Engine engine;
    TreeCore::TreeRec tree;
    const bool erasing = *erase != '\0';
    TreeTrace::RunGetTree(engine, tree, get, erasing ? nullptr : &Recorder);
    if (erasing) TreeTrace::RunErase(engine, tree, erase, &Recorder);
    Value = Recorder.ValueCount() - 1;
    const auto events = Recorder.EventsOf(Value);
    std::size_t k = 0;
    while (k < events.size() && events[k].Type != type) ++k;
    Found = k < events.size();
    if (Found) States = TreeTrace::StatesAt(Recorder, Value, k);
  }
};

}  // namespace TraceTest
