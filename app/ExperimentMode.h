// `treetest --experiment`: lists of chosen kinds and sizes through the scheme
// and the AVL tree, one CSV row per list and tree, on every core. Needs no
// display.
#pragma once

#include <ostream>

#include "ExperimentPlan.h"

namespace TreeExperiments {

// Writes the CSV (or, with `lists`, each list as a line) on `out` and
// returns the exit status, 0.
int RunExperimentMode(const Settings& settings, bool lists, std::ostream& out,
                      unsigned threads = 0);

}  // namespace TreeExperiments
