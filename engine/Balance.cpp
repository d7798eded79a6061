// Balance checks, rotations and the heavy-side fix-ups (docs/balancing.md,
// "The balance check", "Chain rotations", "The heavy-side fix-up").
//
// Rebalance -> CheckBalance -> fix-up -> Rebalance -> ... can nest millions
// of calls deep on a sorted list, and the depth has no useful bound. So the
// chain runs as one loop over an explicit, heap-allocated stack of resumable
// frames, in exactly the order the nested calls would take.
//
// The speed-ups of Tuning live here too; with them off, what runs is the
// plain procedure (docs/performance.md says what each one does and gains).
#include <algorithm>
#include <cassert>
#include <cctype>
#include <optional>
#include <string>

#include "Internal.h"
#include "TestHooks.h"
#include "TreeCore.h"

namespace TreeCore {
namespace {

using Detail::At;
using Detail::HeldRebalance;
using Detail::InBatch;
using Detail::OutOfBalance;
using Detail::ParentWritten;
using Link = std::int32_t NodeRec::*;

// The two child links seen from the heavy side: for the right-heavy fix-up
// `heavy` is RightChild and `light` LeftChild; the mirror swaps them.
struct Sides {
  Link heavy;
  Link light;
};
constexpr Sides RightSides{&NodeRec::RightChild, &NodeRec::LeftChild};
constexpr Sides LeftSides{&NodeRec::LeftChild, &NodeRec::RightChild};

// LeftmostOfRight(i) when `after`, else RightmostOfLeft(i): i's in-order
// neighbour on that side, or i itself when it has no child there. The links
// kept for an insertion give it without the walk down.
template <bool after>
std::int32_t Neighbour(const EngineState& e, const TreeRec& t, std::int32_t i) {
  if ((after ? At(t, i).RightChild : At(t, i).LeftChild) == -1) return i;
  if (e.InOrder.InUse) {
    const std::int32_t kept =
        (after ? e.InOrder.After : e.InOrder.Before)[static_cast<std::size_t>(i)];
    assert(kept == (after ? LeftmostOfRight(t, i) : RightmostOfLeft(t, i)) &&
           "the in-order links went out of step with the tree");
    return kept;
  }
  return after ? LeftmostOfRight(t, i) : RightmostOfLeft(t, i);
}

struct FixUpOutcome {
  bool ran = false;
  std::int32_t a = -1;
  std::int32_t b = -1;
  bool liftHeld = false;  // the lift step's Rebalance at b is still owed
  std::int32_t step5Node = -1;
  bool step5SkipWalk = false;
  bool step5Done = false;  // the height update and the Rebalance around n have run
  bool bSettled = false;   // the lift step left b settled
};

bool ParkedChainRotated(EngineState& e, TreeRec& t, std::int32_t n);

// The heavy-side fix-up: n's in-order neighbour on the heavy side takes its
// place and n sinks to a leaf beside its other neighbour, so the in-order
// sequence stays and one node crosses to the light side (docs/balancing.md,
// "The heavy-side fix-up"). The Rebalance calls it owes are not made here:
// the outcome names them and the caller makes them when their turn comes.
// Compiled once per side, so that the links are fixed offsets, and once more
// without the reports of its writes (`certified` false) for a fix-up that
// starts with no path found balanced: nothing here certifies a path, so none
// can be spoiled (docs/performance.md, "Walks bound by their loads").
template <InBatch B, bool rightHeavy, bool certified = true>
FixUpOutcome FixUpSteps(EngineState& e, TreeRec& t, std::int32_t n, bool deleting) {
  constexpr Sides sd = rightHeavy ? RightSides : LeftSides;
  FixUpOutcome out;
  // Nothing hangs on the heavy side: no neighbour to move up.
  if (At(t, n).*sd.heavy == -1) return out;
  out.ran = true;
  Detail::NotifyFixUp(e, t, rightHeavy, n);

  const std::int32_t s = Neighbour<rightHeavy>(e, t, n);
  const std::int32_t o = Neighbour<!rightHeavy>(e, t, n);
  std::int32_t& a = out.a;
  std::int32_t& b = out.b;
  bool direct = false;

  // Take s out of its place first, so that the links it leaves can be mended
  // before it moves up.
  if (s == At(t, n).*sd.heavy) {
    direct = true;
  } else {
    a = At(t, s).*sd.heavy;
    b = At(t, s).Parent;
    At(t, b).*sd.light = a;
    if (a != -1) {
      ParentWritten<certified>(e, a);
      At(t, a).Parent = b;
      // a's whole subtree moves up one level, not a alone.
      Detail::LevelLoweringPass(e, t, At(t, b).*sd.light);
    } else if (At(t, b).*sd.heavy != -1) {
      // Why: b would be left with only a heavy-side subtree, two levels deep
      // on one side; its leftmost heavy descendant takes it as a child
      // (docs/balancing.md, "The lift step").
      const std::int32_t k = Neighbour<rightHeavy>(e, t, b);
      const std::int32_t r = At(t, b).*sd.heavy;
      At(t, k).*sd.light = b;
      At(t, k).Kind = NodeKind::Interior;  // k has just received b as a child
      const std::int32_t oldParent = At(t, b).Parent;
      ParentWritten<certified>(e, r);
      ParentWritten<certified>(e, b);
      At(t, r).Parent = oldParent;
      At(t, r).Kind = At(t, b).Kind;
      Detail::ReplaceChildLink(t, oldParent, b, r);
      At(t, b).Parent = k;
      At(t, b).*sd.heavy = -1;
      At(t, b).Level = At(t, k).Level + 1;
      At(t, b).Kind = NodeKind::Leaf;
      Detail::Touch<B>(e, k);
      Detail::Touch<B>(e, r);
      Detail::Touch<B>(e, oldParent);
      Detail::LevelLoweringPass(e, t, r);
      Detail::Heights<B, certified>(e, t, b);
      // r has taken b's place under b's old parent.
      Detail::HeightsUnlessSettled<B, certified>(e, t, r);
      // The Rebalance at b would restart a fix-up on n while this one still
      // holds s detached; it runs once this fix-up has put everything back.
      out.liftHeld = true;
      // The update from b has just made b a leaf that k counts, and the one
      // from r climbs from above k: b is settled, unless it is taken for the
      // root or k is marked Root (the walk recomputed k there).
      out.bSettled =
          Detail::SettledMayBeSkipped<B>(e) && b != t.Root && At(t, k).Kind != NodeKind::Root;
      if (!out.bSettled) Detail::HeightsUnlessSettled<B, certified>(e, t, b);
    }
  }

  // s takes n's place, with n's kind, heights and level.
  NodeRec& N = At(t, n);
  Detail::Touch<B>(e, N.Parent);
  if (N.Parent != -1) Detail::ReplaceChildLink(t, N.Parent, n, s);
  ParentWritten<certified>(e, s);
  ParentWritten<certified>(e, n);
  {
    NodeRec& S = At(t, s);
    S.Parent = N.Parent;
    S.Kind = N.Kind;
    if (S.Kind == NodeKind::Root) t.Root = s;
    S.LeftHeight = N.LeftHeight;
    S.RightHeight = N.RightHeight;
    S.Level = N.Level;
    if (s != N.*sd.heavy) {
      S.*sd.heavy = N.*sd.heavy;
      if (S.*sd.heavy != -1) {
        ParentWritten<certified>(e, S.*sd.heavy);
        At(t, S.*sd.heavy).Parent = s;
      }
    }
  }
  Detail::HeightsWritten<certified>(e, t, s);

  // Why: n must stay where the in-order sequence puts it, so it is parked as
  // a leaf beside its other neighbour (docs/balancing.md, "The parked node").
  if (o != n) {
    At(t, s).*sd.light = N.*sd.light;
    if (At(t, s).*sd.light != -1) {
      ParentWritten<certified>(e, At(t, s).*sd.light);
      At(t, At(t, s).*sd.light).Parent = s;
    }
    At(t, o).*sd.heavy = n;
    N.Parent = o;
    At(t, o).Kind = NodeKind::Interior;
  } else {
    At(t, s).*sd.light = n;
    N.Parent = s;
  }
  N.Level = At(t, N.Parent).Level + 1;
  N.LeftChild = -1;
  N.RightChild = -1;
  N.Kind = NodeKind::Leaf;
  if (Detail::Batched<B>(e))
    for (const std::int32_t i : {n, s, o, a, b, N.Parent, At(t, s).LeftChild, At(t, s).RightChild})
      Detail::Touch<B>(e, i);

  // s's heavy subtree moved up together with s: its levels follow.
  if (direct) {
    const std::int32_t c = At(t, s).*sd.heavy;
    // Without that child the refresh starts at s, whose heights came from n.
    Detail::Heights<B, certified>(e, t, c != -1 ? c : s);
    Detail::LevelLoweringPass(e, t, At(t, s).*sd.heavy);
  }

  // The heights around the parked node; the Rebalance there is the caller's.
  if (deleting) {
    out.step5Node = At(t, n).Parent;
    Detail::Heights<B, certified>(e, t, out.step5Node);
    out.step5SkipWalk = true;
  } else {
    out.step5Node = n;
    out.step5SkipWalk = !rightHeavy;
    if constexpr (B == InBatch::No && !rightHeavy) {
      // Most fix-ups leave no such chain: o or its parent has a right child.
      const std::int32_t oParent = At(t, o).Parent;
      if (o != n && At(t, o).RightChild == -1 && oParent != -1 && At(t, oParent).RightChild == -1 &&
          ParkedChainRotated(e, t, n)) {
        out.step5Done = true;
        return out;
      }
    }
    Detail::Heights<B, certified>(e, t, n);
  }
  return out;
}

// The left-heavy fix-up parks n as the only child of o, and o is the only
// child of its parent a: the height update from n raises the path above a,
// the Rebalance at n then finds the root balanced and the LL chain a-o-n,
// and the rotation's update from a lowers the same path again. Both updates
// climb the same path from a's parent, so one climb gives what the two
// leave: at each node the first update's value, then the second's while it
// still changes something. Nothing is written until the climb has ended
// below the root, since an update that reaches the root changes what the
// root check reads; there, and wherever the case is not exactly this one,
// the function returns false with nothing changed, and the steps run one by
// one (docs/performance.md, "A raise and its undoing in one climb"). An
// observer hears of the rotation on the tree as the first update leaves it.
[[gnu::noinline]] bool ParkedChainRotated(EngineState& e, TreeRec& t, std::int32_t n) {
  if (!e.Tuning.ParkedChainClimb || (e.OperationFlags & Detail::LineBreaksAssigned) == 0)
    return false;
  NodeRec* const nodes = t.Nodes.data();
  const std::int32_t root = t.Root;
  NodeRec& N = nodes[n];
  const std::int32_t o = N.Parent;
  if (o == -1 || root == -1 || n == root || o == root || N.LeftChild != -1 || N.RightChild != -1)
    return false;
  NodeRec& O = nodes[o];
  if (O.LeftChild != n || O.RightChild != -1 || O.Kind == NodeKind::Root) return false;
  const std::int32_t a = O.Parent;
  if (a == -1 || a == root) return false;
  NodeRec& A = nodes[a];
  if (A.LeftChild != o || A.RightChild != -1 || A.Kind == NodeKind::Root ||
      A.Kind == NodeKind::Leaf)
    return false;
  // The root check comes between the two updates; the climb below gives up
  // before either update reaches the root (marked Root, or without a
  // parent), so it reads the heights it has now.
  if (nodes[root].Kind != NodeKind::Root || OutOfBalance(nodes[root])) return false;
  const std::int32_t top = A.Parent;
  // The first update looks for a in top's right link first, the rotation
  // replaces it in the left link first: a held by both would part them.
  if (top != -1 && nodes[top].LeftChild == a && nodes[top].RightChild == a) return false;

  // The first update at o and at a; the second's first step writes 1 into
  // o's right side, and carries 2 on when that changed anything.
  bool first = O.LeftHeight != 1;
  std::int32_t firstHeight = 1 + std::max(1, O.RightHeight);
  const bool firstAtA = first;
  const std::int32_t firstAHeight = firstHeight;
  if (first) {
    first = A.LeftHeight != firstHeight;
    firstHeight = 1 + std::max(firstHeight, A.RightHeight);
  }
  bool second = O.RightHeight != 1;
  std::int32_t secondHeight = 2;

  // The climb from a's parent: each height is first what the first update
  // writes there, then what the second does, while each is still going.
  struct Write {
    std::int32_t node;
    std::int32_t* side;
    std::int32_t firstLeft;  // as the first update leaves it
    std::int32_t height;     // as both leave it
  };
  constexpr int kWrites = 64;
  Write writes[kWrites];
  int count = 0;
  const bool watched = e.Observer != nullptr;
  std::int32_t c = a;
  std::int32_t p = top;
  while (first || second) {
    if (p == -1) return false;
    NodeRec& Q = nodes[p];
    if (Q.Kind == NodeKind::Root) return false;
    std::int32_t* side;
    std::int32_t other;
    if (Q.RightChild == c) {
      side = &Q.RightHeight;
      other = Q.LeftHeight;
    } else if (Q.LeftChild == c) {
      side = &Q.LeftHeight;
      other = Q.RightHeight;
    } else {
      return false;
    }
    const std::int32_t current = *side;
    std::int32_t firstLeft = current;
    if (first) {
      first = firstHeight != current;
      firstLeft = firstHeight;
      firstHeight = 1 + std::max(other, firstHeight);
    }
    std::int32_t height = firstLeft;
    if (second) {
      second = secondHeight != firstLeft;
      height = secondHeight;
      secondHeight = 1 + std::max(other, secondHeight);
    }
    // Most often the second update puts back what the first changed.
    if (height != current || (watched && firstLeft != current)) {
      if (count == kWrites) return false;
      writes[count++] = {p, side, firstLeft, height};
    }
    c = p;
    p = Q.Parent;
  }

  // n as the first update leaves it, then the rotation's links and levels.
  N.LeftHeight = 0;
  N.RightHeight = 0;
  N.Kind = NodeKind::Leaf;
  TREECORE_COUNT(e, Rebalance);
  TREECORE_COUNT(e, CheckBalance);
  if (watched) [[unlikely]] {
    O.LeftHeight = 1;
    if (firstAtA) A.LeftHeight = firstAHeight;
    for (int i = 0; i < count; ++i) *writes[i].side = writes[i].firstLeft;
    Detail::NotifyRotate(e, t, ChainKind::LL, a);
  }
  ParentWritten(e, a);
  ParentWritten(e, o);
  const std::int32_t formerOLevel = O.Level;
  N.Level = O.Level;
  if (top != -1) Detail::ReplaceChildLink(t, top, a, o);
  O.RightChild = a;
  O.Parent = top;
  O.Level = A.Level;
  O.Kind = A.Kind;
  A.Parent = o;
  A.Level = formerOLevel;
  A.LeftChild = -1;
  // o ends with a leaf on each side; a is a leaf.
  O.LeftHeight = 1;
  O.RightHeight = 1;
  A.LeftHeight = 0;
  A.RightHeight = 0;
  A.Kind = NodeKind::Leaf;
  for (int i = 0; i < count; ++i) {
    *writes[i].side = writes[i].height;
    Detail::HeightsWritten(e, t, writes[i].node);
  }
  return true;
}

// The height refreshes after the Rebalance around the parked node: the nodes
// the neighbour left behind, and the last slot of the table (or the root's
// heavy child when the root sits there), as the scheme prescribes
// (docs/balancing.md, "Deliberate corrections").
template <InBatch B>
void FixUpStep6(EngineState& e, TreeRec& t, const FixUpOutcome& out, bool rightHeavy) {
  if (out.a != -1) Detail::Heights<B>(e, t, out.a);
  // After the lift step, b stays settled when no Rebalance has run since.
  if (out.b != -1 && !(out.bSettled && out.step5Done)) Detail::HeightsUnlessSettled<B>(e, t, out.b);
  // The last slot of the table; within a batch erase, the last slot not yet removed.
  const std::int32_t last = Detail::Batched<B>(e) ? e.Batch->LastLive : t.Count - 1;
  if (t.Root == last)
    Detail::Heights<B>(e, t, rightHeavy ? At(t, t.Root).RightChild : At(t, t.Root).LeftChild);
  else
    Detail::HeightsUnlessSettled<B>(e, t, last);
}

// ---- The frame machine ------------------------------------------------------

using Frame = Detail::BalanceFrame;

enum FrameKind : std::uint8_t { RebalanceKind, FixUpKind };

enum Stage : std::uint8_t {
  Start,
  AfterRootCheck,  // Rebalance: the root check has returned
  AfterCheckW,     // Rebalance: the check of w in the upward walk has returned
  AfterStep5,      // fix-up: the Rebalance around the parked node has returned
};

enum FrameFlag : std::uint8_t { SkipWalk = 1, RightHeavy = 2, LiftHeld = 4 };

// The frame keeps the kind in one bit, the stage and the flags in three each.
static_assert(FixUpKind <= 1 && AfterStep5 <= 7 && (SkipWalk | RightHeavy | LiftHeld) <= 7);

bool Has(const Frame& f, FrameFlag flag) {
  return (f.flags & flag) != 0;
}

Frame RebalanceFrame(std::int32_t node, bool skipWalk) {
  Frame f;
  f.kind = RebalanceKind;
  f.top = node;
  f.flags = skipWalk ? SkipWalk : 0;
  return f;
}

Frame FixUpFrame(std::int32_t node, bool rightHeavy) {
  Frame f;
  f.kind = FixUpKind;
  f.top = node;
  f.flags = rightHeavy ? RightHeavy : 0;
  return f;
}

// Pushes the fix-up a node out of balance needs: right-heavy when its balance
// is +2 or more, left-heavy otherwise.
[[gnu::noinline]] void PushFixUp(EngineState& e, const NodeRec& x, std::int32_t node) {
  e.Frames.push_back(FixUpFrame(node, Detail::BalanceOf(x) >= 2));
}

// CheckBalance: pushes the fix-up the node needs, if any.
inline bool PushCheck(EngineState& e, TreeRec& t, std::int32_t node) {
  TREECORE_COUNT(e, CheckBalance);
  const NodeRec& x = At(t, node);
  if (!OutOfBalance(x)) return false;
  PushFixUp(e, x, node);
  return true;
}

// The chain hanging from a, if a has one: one child x with one child y, and y
// childless (docs/balancing.md, "Chain rotations").
std::optional<ChainKind> FindChain(TreeRec& t, std::int32_t a) {
  const NodeRec& A = At(t, a);
  if ((A.LeftChild == -1) == (A.RightChild == -1)) return std::nullopt;
  const bool xLeft = A.LeftChild != -1;
  const NodeRec& X = At(t, xLeft ? A.LeftChild : A.RightChild);
  if ((X.LeftChild == -1) == (X.RightChild == -1)) return std::nullopt;
  const bool yLeft = X.LeftChild != -1;
  const NodeRec& Y = At(t, yLeft ? X.LeftChild : X.RightChild);
  if (Y.LeftChild != -1 || Y.RightChild != -1) return std::nullopt;
  if (xLeft) return yLeft ? ChainKind::LL : ChainKind::LR;
  return yLeft ? ChainKind::RL : ChainKind::RR;
}

template <InBatch B>
void RotateChain(EngineState& e, TreeRec& tree, ChainKind kind, std::int32_t top);

// A fresh stamp for a walk; older stamps never equal it.
std::uint32_t NextWalkId(EngineState& e) {
  if (e.LastWalkId == UINT32_MAX) [[unlikely]] {
    std::fill(e.WalkStamp.begin(), e.WalkStamp.end(), 0u);
    e.LastWalkId = 0;
    e.WalkCertificate = 0;
  }
  return ++e.LastWalkId;
}

// WalkChecks, stopping at a path an earlier walk found balanced
// (docs/performance.md, "Certified walks"). A walk that reaches the root
// certifies the path it checked.
void CertifiedWalkChecks(EngineState& e, TreeRec& t, Frame& f) {
  const NodeRec* const nodes = t.Nodes.data();
  std::uint32_t* const stamps = e.WalkStamp.data();
  const std::uint32_t certificate = e.WalkCertificate;
  const std::uint32_t id = NextWalkId(e);
  std::int32_t w = f.walk;
  while (w != -1) {
    if (certificate != 0 && stamps[w] == certificate) {
      // The nodes this walk passed join the path they lead into.
      for (std::int32_t v = f.walk; v != w; v = nodes[v].Parent) stamps[v] = certificate;
      e.Frames.pop_back();
      return;
    }
    TREECORE_COUNT(e, CheckBalance);
    const NodeRec& x = nodes[w];
    if (OutOfBalance(x)) [[unlikely]] {
      f.walk = w;
      f.stage = AfterCheckW;
      PushFixUp(e, x, w);
      return;
    }
    stamps[w] = id;
    w = x.Parent;
  }
  e.WalkCertificate = id;
  e.Frames.pop_back();
}

// The upward walk of a Rebalance from f.walk: every node up to the root gets
// the check the root had. Most checks find nothing to fix: the walk goes on
// without going back through the loop; a check that starts a fix-up
// suspends it, and the frame resumes at that node's parent.
void WalkChecks(EngineState& e, TreeRec& t, Frame& f) {
  if (e.Tuning.CertifiedWalks) {
    CertifiedWalkChecks(e, t, f);
    return;
  }
  for (std::int32_t w = f.walk; w != -1; w = At(t, w).Parent) {
    TREECORE_COUNT(e, CheckBalance);
    const NodeRec& x = At(t, w);
    if (OutOfBalance(x)) {
      f.walk = w;
      f.stage = AfterCheckW;
      PushFixUp(e, x, w);
      return;
    }
  }
  e.Frames.pop_back();
}

// Frames never move while others are pushed above them, so each step works
// on its own frame through a reference.
template <InBatch B>
void StepRebalance(EngineState& e, TreeRec& t, Frame& f) {
  auto& stack = e.Frames;
  switch (f.stage) {
    case Start: {
      TREECORE_COUNT(e, Rebalance);
      const std::int32_t n = f.top;
      if (n != t.Root) {
        const std::int32_t p = At(t, n).Parent;
        // A parent without a parent is the root, whatever its kind says.
        if (p == -1 || At(t, p).Kind == NodeKind::Root || At(t, p).Parent == -1) {
          stack.pop_back();
          return;
        }
        f.top = At(t, p).Parent;
      }
      f.stage = AfterRootCheck;
      if (PushCheck(e, t, t.Root)) return;
      [[fallthrough]];
    }
    case AfterRootCheck: {
      const std::int32_t a = f.top;
      const NodeKind kind = At(t, a).Kind;
      if (kind == NodeKind::Root || kind == NodeKind::Leaf) {
        stack.pop_back();
        return;
      }
      const std::optional<ChainKind> chain = FindChain(t, a);
      if (chain) RotateChain<B>(e, t, *chain, a);
      if (Has(f, SkipWalk)) {
        stack.pop_back();
        return;
      }
      f.walk = At(t, a).Parent;
      WalkChecks(e, t, f);
      return;
    }
    case AfterCheckW:
      f.walk = At(t, f.walk).Parent;
      WalkChecks(e, t, f);
      return;
  }
}

template <InBatch B>
void StepFixUp(EngineState& e, TreeRec& t, Frame& f) {
  auto& stack = e.Frames;
  const bool rightHeavy = Has(f, RightHeavy);
  if (f.stage == Start) {
    TREECORE_COUNT(e, FixUps);
    const bool certified = e.WalkCertificate != 0;  // see FixUpSteps
    const FixUpOutcome out = rightHeavy
                                 ? (certified ? FixUpSteps<B, true>(e, t, f.top, false)
                                              : FixUpSteps<B, true, false>(e, t, f.top, false))
                                 : (certified ? FixUpSteps<B, false>(e, t, f.top, false)
                                              : FixUpSteps<B, false, false>(e, t, f.top, false));
    assert((certified || e.WalkCertificate == 0) && "a fix-up certified a path");
    if (!out.ran) {
      stack.pop_back();
      return;
    }
    f.top = out.a;
    f.walk = out.b;
    if (out.liftHeld) f.flags |= LiftHeld;
    f.stage = AfterStep5;
    if (!out.step5Done) {
      stack.push_back(RebalanceFrame(out.step5Node, out.step5SkipWalk));
      // The loop would take that frame next; it starts here instead.
      StepRebalance<B>(e, t, stack.back());
      return;
    }
    FixUpStep6<B>(e, t, out, rightHeavy);
  } else {
    // After the Rebalance around the parked node: the last height refreshes,
    // then the lift step's Rebalance at b, held back until now because it
    // would start a fix-up on n while s was still detached
    // (docs/balancing.md, "Deliberate corrections").
    FixUpOutcome out;
    out.a = f.top;
    out.b = f.walk;
    FixUpStep6<B>(e, t, out, rightHeavy);
  }
  if (Has(f, LiftHeld))
    f = RebalanceFrame(f.walk, false);
  else
    stack.pop_back();
}

// A sorted list nests the frames millions deep: that storage goes back once
// the loop is done. An observer may also leave the loop by an exception (a
// cancelled job does): the frames of that run go with it, so that the
// instance can run again.
struct FramesReleased {
  EngineState& e;
  ~FramesReleased() { e.Frames.Release(); }
};

template <InBatch B>
void RunLoop(EngineState& e, TreeRec& t) {
  auto& stack = e.Frames;
  // Certificates live for one run: outside it nobody reports writes.
  if (e.Tuning.CertifiedWalks && e.WalkStamp.size() < t.Nodes.size())
    e.WalkStamp.resize(t.Nodes.size(), 0u);
  e.WalkCertificate = 0;
  struct EndCertificate {
    EngineState& e;
    ~EndCertificate() { e.WalkCertificate = 0; }
  } end{e};
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.kind == RebalanceKind)
      StepRebalance<B>(e, t, top);
    else
      StepFixUp<B>(e, t, top);
  }
}

void Run(EngineState& e, TreeRec& t) {
  if (e.Batch != nullptr)
    RunLoop<InBatch::Yes>(e, t);
  else
    RunLoop<InBatch::No>(e, t);
}

void RunFrame(EngineState& e, TreeRec& t, const Frame& first) {
  assert(e.Frames.empty() && "the balancing loop is not re-entered");
  const FramesReleased released{e};
  e.Frames.push_back(first);
  Run(e, t);
}

void FixUp(EngineState& e, TreeRec& t, std::int32_t index, bool deleting, bool rightHeavy) {
  if (!deleting) {
    RunFrame(e, t, FixUpFrame(index, rightHeavy));
    return;
  }
  // Called on its own there is no cut to wait for: the held calls run at once.
  for (const HeldRebalance& held : Detail::FixUpForDeletion(e, t, index, rightHeavy))
    Detail::RebalanceIn(e, t, held.Node, held.SkipWalk);
}

// Not inlined: most Rebalance steps do not rotate, and inlined, the
// registers it needs would be saved and restored around every one of them
// (docs/performance.md, "Walks bound by their loads").
template <InBatch B>
[[gnu::noinline]] void RotateChain(EngineState& e, TreeRec& tree, ChainKind kind,
                                   std::int32_t top) {
  Detail::NotifyRotate(e, tree, kind, top);
  const std::int32_t a = top;
  NodeRec& A = At(tree, a);
  const std::int32_t P = A.Parent;
  // a and its chain are relinked below; a path found balanced through
  // them no longer holds.
  ParentWritten(e, a);
  ParentWritten(e, A.LeftChild);
  ParentWritten(e, A.RightChild);
  Detail::Touch<B>(e, a);
  Detail::Touch<B>(e, P);
  Detail::Touch<B>(e, A.LeftChild);
  Detail::Touch<B>(e, A.RightChild);

  if (kind == ChainKind::RR || kind == ChainKind::LL) {
    const bool rr = kind == ChainKind::RR;
    const Link outer = rr ? &NodeRec::RightChild : &NodeRec::LeftChild;
    const Link inner = rr ? &NodeRec::LeftChild : &NodeRec::RightChild;
    const std::int32_t x = A.*outer;
    NodeRec& X = At(tree, x);
    const std::int32_t y = X.*outer;
    const std::int32_t formerXLevel = X.Level;
    At(tree, y).Level = X.Level;
    if (P != -1) Detail::ReplaceChildLink(tree, P, a, x);
    X.*inner = a;
    X.Parent = P;
    X.Level = A.Level;
    X.Kind = A.Kind;
    if (X.Kind == NodeKind::Root) tree.Root = x;
    A.Parent = x;
    A.Level = formerXLevel;
    A.*outer = -1;
    Detail::Touch<B>(e, y);
    Detail::Heights<B>(e, tree, a);
    Detail::HeightsUnlessSettled<B>(e, tree, y);
  } else {
    const bool rl = kind == ChainKind::RL;
    const Link outer = rl ? &NodeRec::RightChild : &NodeRec::LeftChild;
    const Link inner = rl ? &NodeRec::LeftChild : &NodeRec::RightChild;
    const std::int32_t x = A.*outer;
    NodeRec& X = At(tree, x);
    const std::int32_t y = X.*inner;
    NodeRec& Y = At(tree, y);
    ParentWritten(e, y);
    if (P != -1) Detail::ReplaceChildLink(tree, P, a, y);
    Y.*inner = a;
    Y.*outer = x;
    Y.Parent = P;
    Y.Level = A.Level;
    Y.Kind = A.Kind;
    if (Y.Kind == NodeKind::Root) tree.Root = y;
    X.Parent = y;
    X.*inner = -1;
    A.Parent = y;
    A.Level = X.Level;
    A.*outer = -1;
    Detail::Touch<B>(e, y);
    Detail::Heights<B>(e, tree, a);
    Detail::Heights<B>(e, tree, x);
  }
}

}  // namespace

namespace Detail {

std::vector<HeldRebalance> FixUpForDeletion(EngineState& state, TreeRec& tree, std::int32_t index,
                                            bool rightHeavy) {
  TREECORE_COUNT(state, FixUps);
  const FixUpOutcome out = rightHeavy ? FixUpSteps<InBatch::Ask, true>(state, tree, index, true)
                                      : FixUpSteps<InBatch::Ask, false>(state, tree, index, true);
  std::vector<HeldRebalance> held;
  if (!out.ran) return held;
  if (out.liftHeld) held.push_back({out.b, true});
  held.push_back({out.step5Node, out.step5SkipWalk});
  FixUpStep6<InBatch::Ask>(state, tree, out, rightHeavy);
  return held;
}

}  // namespace Detail

void CheckBalance(EngineState& state, TreeRec& tree, std::int32_t node) {
  Detail::BeginOperation(state);
  assert(state.Frames.empty() && "the balancing loop is not re-entered");
  const FramesReleased released{state};
  if (PushCheck(state, tree, node)) Run(state, tree);
}

namespace Detail {

void RebalanceIn(EngineState& state, TreeRec& tree, std::int32_t node, bool skipWalk) {
  RunFrame(state, tree, RebalanceFrame(node, skipWalk));
}

}  // namespace Detail

void Rebalance(EngineState& state, TreeRec& tree, std::int32_t node, bool skipWalk) {
  Detail::BeginOperation(state);
  Detail::RebalanceIn(state, tree, node, skipWalk);
}

void RebalanceRightHeavy(EngineState& state, TreeRec& tree, std::int32_t index, bool deleting) {
  Detail::BeginOperation(state);
  FixUp(state, tree, index, deleting, true);
}

void RebalanceLeftHeavy(EngineState& state, TreeRec& tree, std::int32_t index, bool deleting) {
  Detail::BeginOperation(state);
  FixUp(state, tree, index, deleting, false);
}

void Rotate(EngineState& state, TreeRec& tree, std::string_view kind, std::int32_t top) {
  Detail::BeginOperation(state);
  // The kind is compared upper-cased; any other text does nothing.
  std::string upper(kind);
  for (char& ch : upper) ch = static_cast<char>(std::toupper(static_cast<unsigned char>(ch)));
  for (const ChainKind k : {ChainKind::RR, ChainKind::LL, ChainKind::RL, ChainKind::LR})
    if (upper == ChainKindText(k)) {
      RotateChain<InBatch::Ask>(state, tree, k, top);
      return;
    }
}

void CheckBalance(TreeRec& tree, std::int32_t node) {
  CheckBalance(DefaultEngine(), tree, node);
}

void Rebalance(TreeRec& tree, std::int32_t node, bool skipWalk) {
  Rebalance(DefaultEngine(), tree, node, skipWalk);
}

void Rotate(TreeRec& tree, std::string_view kind, std::int32_t top) {
  Rotate(DefaultEngine(), tree, kind, top);
}

void RebalanceRightHeavy(TreeRec& tree, std::int32_t index, bool deleting) {
  RebalanceRightHeavy(DefaultEngine(), tree, index, deleting);
}

void RebalanceLeftHeavy(TreeRec& tree, std::int32_t index, bool deleting) {
  RebalanceLeftHeavy(DefaultEngine(), tree, index, deleting);
}

}  // namespace TreeCore
