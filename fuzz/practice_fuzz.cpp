// Feeds arbitrary lines to the --practice protocol and checks what it writes:
// one JSON object a line, an error line exactly when the status says so.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

#include "PracticeProtocol.h"

namespace {

void Require(bool ok, const char* what) {
  if (ok) return;
  std::fprintf(stderr, "property failed: %s\n", what);
  std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
  std::ostringstream out;
  const int status = Practice::RunPracticeMode(in, out);
  Require(status == 0 || status == 2, "status 0 or 2");
  std::istringstream lines(out.str());
  bool errors = false;
  for (std::string line; std::getline(lines, line);) {
    Require(line.size() >= 2 && line.front() == '{' && line.back() == '}', "one object a line");
    // No blanks outside strings, and strings closed.
    bool inString = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
      const char c = line[i];
      if (inString && c == '\\') {
        ++i;
        continue;
      }
      if (c == '"') inString = !inString;
      Require(inString || (c != ' ' && c != '\t'), "no blanks outside strings");
      Require(static_cast<unsigned char>(c) >= 0x20, "control characters escaped");
    }
    Require(!inString, "strings closed");
    if (line.rfind("{\"ok\":false,\"error\":\"line ", 0) == 0) errors = true;
  }
  Require(errors == (status == 2), "status 2 exactly after an error line");
  return 0;
}
