// Erase in one batch against erase one value at a time, as the Erase command
// did it: the node tables, the tree's fields, where each stopped and the
// balancing events must all agree. The randomised test and the fuzz target
// share it.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "TreeCore.h"

namespace EraseDiff {

// Every event as one line, indices included.
class EventLog : public TreeCore::TreeObserver {
 public:
  void OnInsert(std::int16_t value, std::int32_t node) override { Add('i', value, node, 0); }
  void OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) override {
    Add('r', value, node, static_cast<int>(kind));
  }
  void OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) override {
    Add('f', value, node, rightHeavy ? 1 : 0);
  }
  void OnErase(std::int16_t value, std::int32_t node) override { Add('e', value, node, 0); }
  std::vector<std::string> Lines;

 private:
  void Add(char what, std::int16_t value, std::int32_t node, int extra) {
    Lines.push_back(std::string(1, what) + " " + std::to_string(value) + " " +
                    std::to_string(node) + " " + std::to_string(extra));
  }
};

// The Erase command's loop over DeleteNode.
inline TreeCore::EraseResult EraseOneByOne(TreeCore::EngineState& engine, TreeCore::TreeRec& tree,
                                           std::span<const std::int16_t> values) {
  TreeCore::EraseResult result;
  for (const std::int16_t v : values) {
    if (!tree.Exists) {
      result.Stop = TreeCore::EraseStop::Empty;
      break;
    }
    const std::int32_t index = TreeCore::FindValue(tree, v);
    if (index == -1) {
      result.Stop = TreeCore::EraseStop::Missing;
      break;
    }
    TreeCore::DeleteNode(engine, tree, index);
    ++result.Erased;
  }
  return result;
}

// The first difference between two records, or an empty text.
inline std::string Difference(const TreeCore::TreeRec& a, const TreeCore::TreeRec& b) {
  if (a.Exists != b.Exists || a.Root != b.Root || a.Count != b.Count || a.Height != b.Height ||
      a.TreeLeftHeight != b.TreeLeftHeight || a.TreeRightHeight != b.TreeRightHeight)
    return "tree fields differ (Root " + std::to_string(a.Root) + " vs " + std::to_string(b.Root) +
           ", Count " + std::to_string(a.Count) + " vs " + std::to_string(b.Count) + ")";
  if (a.Nodes.size() != b.Nodes.size()) return "table sizes differ";
  for (std::size_t i = 0; i < a.Nodes.size(); ++i) {
    const TreeCore::NodeRec &x = a.Nodes[i], &y = b.Nodes[i];
    if (x.Data != y.Data || x.Kind != y.Kind || x.Level != y.Level ||
        x.LeftHeight != y.LeftHeight || x.RightHeight != y.RightHeight || x.Parent != y.Parent ||
        x.LeftChild != y.LeftChild || x.RightChild != y.RightChild ||
        x.ControlIndex != y.ControlIndex || x.Description.view() != y.Description.view())
      return "slot " + std::to_string(i) + " differs";
  }
  return {};
}

// Builds `get`, erases `erase` both ways, and names the first disagreement.
inline std::string Compare(std::span<const std::int16_t> get, std::span<const std::int16_t> erase) {
  TreeCore::EngineState oneEngine, batchEngine;
  EventLog oneLog, batchLog;
  TreeCore::TreeRec one, batch;
  TreeCore::ResetTree(oneEngine, one, false);
  for (const std::int16_t v : get) TreeCore::InsertValue(oneEngine, one, v);
  batch = one;
  oneEngine.Observer = &oneLog;
  batchEngine.Observer = &batchLog;
  const TreeCore::EraseResult want = EraseOneByOne(oneEngine, one, erase);
  const TreeCore::EraseResult got = TreeCore::EraseValues(batchEngine, batch, erase);
  if (got.Erased != want.Erased || got.Stop != want.Stop)
    return "batch erased " + std::to_string(got.Erased) + " (stop " +
           std::to_string(static_cast<int>(got.Stop)) + "), one by one " +
           std::to_string(want.Erased) + " (stop " + std::to_string(static_cast<int>(want.Stop)) +
           ")";
  if (std::string d = Difference(batch, one); !d.empty()) return d;
  if (batchLog.Lines != oneLog.Lines) {
    std::size_t i = 0;
    while (i < batchLog.Lines.size() && i < oneLog.Lines.size() &&
           batchLog.Lines[i] == oneLog.Lines[i])
      ++i;
    return "event " + std::to_string(i) + " differs: batch \"" +
           (i < batchLog.Lines.size() ? batchLog.Lines[i] : "") + "\", one by one \"" +
           (i < oneLog.Lines.size() ? oneLog.Lines[i] : "") + "\"";
  }
  return {};
}

}  // namespace EraseDiff
