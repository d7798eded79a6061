#include "CompareMode.h"

#include <string>

#include "CommandInput.h"
#include "Compare.h"
#include "TraceJson.h"

namespace TreeTrace {

namespace {

std::string Side(const SideResult& side, bool withFixUps) {
  std::string s = "{\"nodes\":" + std::to_string(side.Nodes) +
                  ",\"levels\":" + std::to_string(side.Levels) + ",\"rotations\":{";
  for (std::size_t k = 0; k < side.Rotations.size(); ++k) {
    if (k) s += ',';
    s += std::string("\"") + Avl::RotationText(static_cast<Avl::Rotation>(k)) +
         "\":" + std::to_string(side.Rotations[k]);
  }
  s += '}';
  if (withFixUps) s += ",\"fixups\":" + std::to_string(side.FixUps);
  s += ",\"preorder\":[";
  for (std::size_t i = 0; i < side.Preorder.size(); ++i) {
    if (i) s += ',';
    s += std::to_string(side.Preorder[i]);
  }
  return s + "]}";
}

}  // namespace

int RunCompareMode(std::istream& in, std::ostream& out, std::ostream& err) {
  CompareRun run;
  return ReadCommandLines(
      in, err, "--compare", [&](TreeCommands::CommandKind kind, std::string_view list) {
        const CompareResult result = run.Run(kind, list);
        std::string line = std::string("{\"command\":\"") +
                           (kind == TreeCommands::CommandKind::Get ? "get" : "erase") + '"';
        if (!result.Refused)
          line +=
              ",\"scheme\":" + Side(result.Scheme, true) + ",\"avl\":" + Side(result.Avl, false);
        if (!result.Message.empty()) line += ",\"message\":" + JsonString(result.Message);
        out << line << "}\n";
        out.flush();
      });
}

}  // namespace TreeTrace
