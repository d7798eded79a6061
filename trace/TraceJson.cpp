#include "TraceJson.h"

#include <algorithm>
#include <cstdio>

namespace TreeTrace {

namespace {
std::string N(long long v) {
  return std::to_string(v);
}
}  // namespace

std::string JsonString(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (static_cast<unsigned char>(c) < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", static_cast<unsigned>(c));
          out += buf;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

void JsonTraceWriter::Line(const std::string& line) {
  out_ << line << '\n';
}

std::string StateLine(const TreeCore::TreeRec& tree) {
  std::string line = "{\"event\":\"state\",\"root\":" + N(tree.Root) +
                     ",\"count\":" + N(tree.Count) + ",\"height\":" + N(tree.Height) +
                     ",\"left\":" + N(tree.TreeLeftHeight) +
                     ",\"right\":" + N(tree.TreeRightHeight) + ",\"nodes\":[";
  const std::size_t count =
      std::min(tree.Nodes.size(), static_cast<std::size_t>(std::max(tree.Count, 0)));
  for (std::size_t i = 0; i < count; ++i) {
    const TreeCore::NodeRec& n = tree.Nodes[i];
    if (i > 0) line += ',';
    line += "[" + N(n.Data) + "," + N(n.Parent) + "," + N(n.LeftChild) + "," + N(n.RightChild) +
            "," + N(n.Level) + "," + JsonString(TreeCore::KindText(n.Kind)) + "," +
            N(n.LeftHeight) + "," + N(n.RightHeight) + "]";
  }
  return line + "]}";
}

void JsonTraceWriter::State() {
  if (states_ != nullptr) Line(StateLine(*states_));
}

void JsonTraceWriter::OnInsert(std::int16_t value, std::int32_t node) {
  Line("{\"event\":\"insert\",\"value\":" + N(value) + ",\"node\":" + N(node) + "}");
}

void JsonTraceWriter::OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) {
  State();
  Line(std::string("{\"event\":\"rotate\",\"kind\":\"") + TreeCore::ChainKindText(kind) +
       "\",\"node\":" + N(node) + ",\"value\":" + N(value) + "}");
}

void JsonTraceWriter::OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) {
  State();
  Line(std::string("{\"event\":\"fixup\",\"side\":\"") + (rightHeavy ? "right" : "left") +
       "\",\"node\":" + N(node) + ",\"value\":" + N(value) + "}");
}

void JsonTraceWriter::OnErase(std::int16_t value, std::int32_t node) {
  State();
  Line("{\"event\":\"erase\",\"value\":" + N(value) + ",\"node\":" + N(node) + "}");
}

void JsonTraceWriter::Message(std::string_view text) {
  Line("{\"event\":\"message\",\"text\":" + JsonString(text) + "}");
}

void JsonTraceWriter::Done(const TreeCore::TreeRec& tree) {
  State();
  Line("{\"event\":\"done\",\"nodes\":" + N(tree.Count) + ",\"height\":" + N(tree.Height) + "}");
}

}  // namespace TreeTrace
