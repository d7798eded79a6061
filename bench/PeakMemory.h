// The process's peak resident memory, for the benchmarks that report it.
#pragma once

#include <sys/resource.h>

namespace Bench {

// Megabytes (MiB) the process has held resident at most so far.
inline double PeakResidentMB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024.0;  // ru_maxrss is in KiB
}

}  // namespace Bench
