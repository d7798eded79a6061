// `treetest --export FILE LIST`: draws the tree that Get Tree draws for LIST
// and writes it to FILE (SVG or PNG by the name's ending), without a window
// or a display. LIST "-" reads the list from standard input.
#pragma once

#include <string>

#include "CompactLayout.h"

namespace TreeApp {

struct ExportOptions {
  TreeCore::TreeLayout Layout = TreeCore::TreeLayout::Slots;
  // A PNG's longer side in pixels, enlarging small trees too; 0 draws it as
  // it always was (100 %, or fitted to 4096 pixels when larger).
  int Fit = 0;
};

// The exit status. Refusals go to standard error with the window's words and
// exit status 2; a file that cannot be written gives status 1. `program` is
// argv[0], for the PNG's GUI application.
int RunExportMode(const std::string& path, std::string list, char* program,
                  const ExportOptions& options = {});

}  // namespace TreeApp
