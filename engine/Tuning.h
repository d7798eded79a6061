// The engine's speed-ups, each behind a switch of its own. Every one leaves
// each node table, each event and the table an observer finds at each event
// exactly as the plain procedure leaves them (but for the batch erase, whose
// observer finds the removed slots in the table until it ends); only the time
// changes. docs/balancing.md describes the plain procedures,
// docs/performance.md each speed-up and what it gains.
//
// An engine runs with every speed-up on (the default). With every one off,
// Tuning::Plain(), it runs the procedures step by step as docs/balancing.md
// describes them, writes in their order included: the engine a program uses
// to show each step, in the same program as a fast one. The engine tests run
// each speed-up, alone and all together, against the plain engine.
#pragma once

namespace TreeCore {

struct Tuning {
  // A balance walk stops at a path an earlier walk of the same run found
  // balanced, instead of checking every node up to the root
  // (docs/performance.md, "Certified walks").
  bool CertifiedWalks = true;
  // A left-heavy fix-up whose parked node completes an LL chain climbs once
  // for its height update and the rotation's (docs/performance.md, "A raise
  // and its undoing in one climb").
  bool ParkedChainClimb = true;
  // On an engine whose caller sets KeepInOrderLinks, insertions keep every
  // node's in-order neighbours and the fix-ups read them instead of walking
  // down the tree (docs/performance.md, "Neighbours kept in order").
  bool InOrderLinks = true;
  // A height update that would write nothing is not walked
  // (docs/performance.md, "Updates that would write nothing").
  bool SkipSettledHeights = true;
  // The renumbering after a removal relinks each slot's three links in one
  // vector operation and closes the gap in the same pass
  // (docs/performance.md, "The renumbering in one pass").
  bool OnePassRenumbering = true;
  // EraseValues marks the removed slots and closes the table's gaps once, at
  // the end, instead of after every removal (docs/performance.md, "Erase in
  // one batch"). An observer meanwhile finds the removed slots still in the
  // table; its events name each slot as the closed-up table numbers it.
  bool BatchErase = true;

  // Every speed-up off.
  static constexpr Tuning Plain() { return {false, false, false, false, false, false}; }

  friend constexpr bool operator==(const Tuning&, const Tuning&) = default;
};

}  // namespace TreeCore
