// libFuzzer entry: a Get Tree list and an Erase list, erased in one batch and
// one value at a time; the tables, the stops and the events must agree.
//
// Format: the first byte is the length of the Get Tree list; one signed byte
// per value follows, then the Erase list, one signed byte per value.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "EraseDiff.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t length = data[0];
  std::vector<std::int16_t> get, erase;
  for (std::size_t i = 1; i < size; ++i)
    (i <= length ? get : erase).push_back(static_cast<std::int8_t>(data[i]));
  const std::string problem = EraseDiff::Compare(get, erase);
  if (!problem.empty()) {
    std::fprintf(stderr, "batch erase differs: %s\n", problem.c_str());
    std::abort();
  }
  return 0;
}
