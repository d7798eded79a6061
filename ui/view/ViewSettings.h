// The pad's remembered view preferences.
#pragma once

#include <QString>

namespace TreeUi {

class ViewSettings {
 public:
  // The corner hint that tells how to see the whole tree.
  static bool ShowHint();
  static void SetShowHint(bool on);
  // Get Tree and Erase fit the new drawing instead of showing it at 100 %.
  static bool FitNewTrees();
  static void SetFitNewTrees(bool on);

  // The main pad draws in the compact layout.
  static bool CompactLayout();
  static void SetCompactLayout(bool on);

  // The steps pane changes at once instead of moving.
  static bool ReduceMotion();
  static void SetReduceMotion(bool on);

  // Keeps the preferences in this INI file instead (tests); empty restores
  // the application's settings.
  static void UseFile(const QString& path);
};

}  // namespace TreeUi
