#include "TraceJson.h"

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

void JsonTraceWriter::OnInsert(std::int16_t value, std::int32_t node) {
  Line("{\"event\":\"insert\",\"value\":" + N(value) + ",\"node\":" + N(node) + "}");
}

void JsonTraceWriter::OnRotate(TreeCore::ChainKind kind, std::int32_t node, std::int16_t value) {
  Line(std::string("{\"event\":\"rotate\",\"kind\":\"") + TreeCore::ChainKindText(kind) +
       "\",\"node\":" + N(node) + ",\"value\":" + N(value) + "}");
}

void JsonTraceWriter::OnFixUp(bool rightHeavy, std::int32_t node, std::int16_t value) {
  Line(std::string("{\"event\":\"fixup\",\"side\":\"") + (rightHeavy ? "right" : "left") +
       "\",\"node\":" + N(node) + ",\"value\":" + N(value) + "}");
}

void JsonTraceWriter::OnErase(std::int16_t value, std::int32_t node) {
  Line("{\"event\":\"erase\",\"value\":" + N(value) + ",\"node\":" + N(node) + "}");
}

void JsonTraceWriter::Message(std::string_view text) {
  Line("{\"event\":\"message\",\"text\":" + JsonString(text) + "}");
}

void JsonTraceWriter::Done(const TreeCore::TreeRec& tree) {
  Line("{\"event\":\"done\",\"nodes\":" + N(tree.Count) + ",\"height\":" + N(tree.Height) + "}");
}

}  // namespace TreeTrace
