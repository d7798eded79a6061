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
  // Appended piece by piece: long chains of + on strings trip a false
  // -Wrestrict in GCC 12 at -O3.
  std::string line = "{\"event\":\"state\"";
  const auto field = [&line](const char* name, long long value) {
    line.append(",\"").append(name).append("\":").append(N(value));
  };
  field("root", tree.Root);
  field("count", tree.Count);
  field("height", tree.Height);
  field("left", tree.TreeLeftHeight);
  field("right", tree.TreeRightHeight);
  line.append(",\"nodes\":[");
  const std::size_t count =
      std::min(tree.Nodes.size(), static_cast<std::size_t>(std::max(tree.Count, 0)));
  for (std::size_t i = 0; i < count; ++i) {
    const TreeCore::NodeRec& n = tree.Nodes[i];
    line.append(i > 0 ? ",[" : "[");
    for (const long long v :
         {static_cast<long long>(n.Data), static_cast<long long>(n.Parent),
          static_cast<long long>(n.LeftChild), static_cast<long long>(n.RightChild),
          static_cast<long long>(n.Level)})
      line.append(N(v)).append(",");
    line.append(JsonString(TreeCore::KindText(n.Kind))).append(",");
    line.append(N(n.LeftHeight)).append(",").append(N(n.RightHeight)).append("]");
  }
  return line.append("]}");
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
