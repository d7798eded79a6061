// libFuzzer entry: streams of Get Tree and Erase lists over the engine, with
// the whole tree checked after every call.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "EngineDriver.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string problem = EngineDriver::Run(data, size);
  if (!problem.empty()) {
    std::fprintf(stderr, "tree broken: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
