#include "SchemeModel.h"

#include <algorithm>

#include "Messages.h"

namespace SchemeModel {

namespace {
std::string Num(long long v) {
  return std::to_string(v);
}
std::string Quoted(std::string_view text) {
  std::string s = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') s += '\\';
    s += c;
  }
  return s + '"';
}
}  // namespace

// ---- Lines --------------------------------------------------------------------

void Model::State() {
  std::string s = "{\"event\":\"state\"";
  const auto field = [&s](const char* name, long long v) {
    s.append(",\"").append(name).append("\":").append(Num(v));
  };
  field("root", t_.Root);
  field("count", t_.Count);
  field("height", t_.Height);
  field("left", t_.TreeLeftHeight);
  field("right", t_.TreeRightHeight);
  s.append(",\"nodes\":[");
  for (std::int32_t i = 0; i < t_.Count; ++i) {
    const Node& n = N(i);
    s.append(i ? ",[" : "[");
    for (const std::int32_t v :
         {std::int32_t{n.Data}, n.Parent, n.LeftChild, n.RightChild, n.Level})
      s.append(Num(v)).append(",");
    s.append(Quoted(n.Kind)).append(",").append(Num(n.LeftHeight)).append(",");
    s.append(Num(n.RightHeight)).append("]");
  }
  Line(s.append("]}"));
}

void Model::Run(bool get, const std::vector<std::int16_t>& values, std::string_view refusal) {
  rotations_ = {};
  fixUps_ = 0;
  message_ = refusal;
  if (refusal.empty() && get) {
    t_.Nodes.assign(1, Node{});  // Root, Height and the tree's heights stay
    t_.Exists = false;
    t_.Count = 0;
    for (const std::int16_t v : values) {
      State();
      Insert(v);
    }
  } else if (refusal.empty()) {
    for (const std::int16_t v : values) {
      const std::int32_t k = t_.Exists ? Find(v) : -1;
      if (k == -1) {
        message_ =
            t_.Exists ? TreeCommands::Messages::NotInTree : TreeCommands::Messages::TreeEmpty;
        break;
      }
      Delete(k);
    }
  }
  if (!message_.empty()) Line("{\"event\":\"message\",\"text\":" + Quoted(message_) + "}");
  State();
  Line("{\"event\":\"done\",\"nodes\":" + Num(t_.Count) + ",\"height\":" + Num(t_.Height) + "}");
}

// ---- Small helpers ----------------------------------------------------------

// In `parent` (if any), the link that holds `from` (left tested first) now holds `to`.
void Model::Relink(std::int32_t parent, std::int32_t from, std::int32_t to) {
  if (parent == -1) return;
  if (N(parent).LeftChild == from)
    N(parent).LeftChild = to;
  else if (N(parent).RightChild == from)
    N(parent).RightChild = to;
}

// The in-order neighbour on one side: the child there, then as far the other
// way as the links go; the node itself without a child on that side.
std::int32_t Model::Farthest(std::int32_t i, bool right) {
  std::int32_t j = Kid(i, right);
  if (j == -1) return i;
  while (Kid(j, !right) != -1) j = Kid(j, !right);
  return j;
}

// A subtree that moved up one level, in order.
void Model::LowerLevels(std::int32_t i) {
  if (i == -1) return;
  LowerLevels(N(i).LeftChild);
  --N(i).Level;
  LowerLevels(N(i).RightChild);
}

// ---- Insertion and heights --------------------------------------------------------

void Model::Insert(std::int16_t value) {
  t_.Nodes.resize(static_cast<std::size_t>(t_.Count) + 1);
  const auto add = [&] {
    Node& n = N(t_.Count++);
    if (n.Kind != "Root") n.Kind = "Leaf";
    n.Data = value;
    n.LeftChild = n.RightChild = -1;
    return t_.Count - 1;
  };
  if (!t_.Exists) {
    t_.Exists = true;
    N(t_.Count).Parent = -1;
    N(t_.Count).Kind = "Root";
    t_.Root = t_.Count;
    N(add()).Level = 1;
    t_.TreeLeftHeight = t_.TreeRightHeight = 0;
    t_.Height = std::max(t_.Height, 1);
    Line("{\"event\":\"insert\",\"value\":" + Num(value) + ",\"node\":" + Num(t_.Count - 1) + "}");
    return;
  }
  std::int32_t b = t_.Root, level = 2;
  bool right = N(b).Data < value;
  for (; Kid(b, right) != -1; ++level, right = N(b).Data < value) b = Kid(b, right);
  if (N(b).Kind != "Root") N(b).Kind = "Interior";
  Kid(b, right) = t_.Count;
  const std::int32_t n = add();
  N(n).Parent = b;
  N(n).Level = level;
  t_.Height = std::max(t_.Height, level);
  Line("{\"event\":\"insert\",\"value\":" + Num(value) + ",\"node\":" + Num(n) + "}");
  UpdateHeights(n);
  Rebalance(n, false);
}

// Up from n while a height changes; the root is always finished, and so is a
// parentless node that is not marked so.
void Model::UpdateHeights(std::int32_t n) {
  if (n == -1) return;
  if (N(n).LeftChild == -1) N(n).LeftHeight = 0;
  if (N(n).RightChild == -1) N(n).RightHeight = 0;
  if (N(n).LeftChild == -1 && N(n).RightChild == -1) N(n).Kind = "Leaf";
  std::int32_t c = n;
  if (n != t_.Root) {
    while (N(c).Parent != -1) {
      const std::int32_t p = N(c).Parent;
      const std::int32_t height = 1 + std::max(N(c).LeftHeight, N(c).RightHeight);
      bool changed = false;
      for (const bool right : {true, false}) {
        if (Kid(p, right) != c) continue;
        std::int32_t& side = right ? N(p).RightHeight : N(p).LeftHeight;
        changed = side != height;
        side = height;
        break;
      }
      c = p;
      if (N(c).Kind == "Root") break;
      if (!changed) return;
    }
    for (const bool right : {false, true}) {
      const std::int32_t child = Kid(c, right);
      if (child != -1)
        (right ? N(c).RightHeight : N(c).LeftHeight) =
            1 + std::max(N(child).LeftHeight, N(child).RightHeight);
    }
  }
  t_.TreeLeftHeight = N(c).LeftHeight;
  t_.TreeRightHeight = N(c).RightHeight;
  t_.Height = std::max(t_.TreeLeftHeight, t_.TreeRightHeight);
}

// ---- Balance check, chains and rotations ------------------------------------

void Model::Rebalance(std::int32_t n, bool skipWalk) {
  std::int32_t a = n;
  if (n != t_.Root) {
    const std::int32_t p = N(n).Parent;
    if (p == -1 || N(p).Kind == "Root" || N(p).Parent == -1) return;
    a = N(p).Parent;
  }
  CheckBalance(t_.Root);
  if (N(a).Kind == "Root" || N(a).Kind == "Leaf") return;
  // A bare chain: a with one child x, x with one child y, y with none.
  const auto only = [&](std::int32_t i, bool& right) {
    const bool l = N(i).LeftChild != -1, r = N(i).RightChild != -1;
    right = r;
    return l != r ? Kid(i, r) : -1;
  };
  bool first = false, second = false;
  const std::int32_t x = only(a, first);
  const std::int32_t y = x == -1 ? -1 : only(x, second);
  if (y != -1 && N(y).LeftChild == -1 && N(y).RightChild == -1) Rotate(first, second, a);
  if (skipWalk) return;
  for (std::int32_t w = N(a).Parent; w != -1; w = N(w).Parent) CheckBalance(w);
}

void Model::CheckBalance(std::int32_t n) {
  const int d = N(n).RightHeight - N(n).LeftHeight;
  if (d >= 2 || d <= -2) FixUp(n, d >= 2, nullptr);
}

// `first`, `second`: the sides of x under a and of y under x (true: right).
void Model::Rotate(bool first, bool second, std::int32_t a) {
  const std::string kind = {first ? 'R' : 'L', second ? 'R' : 'L'};
  ++rotations_[(first ? 0 : 2) + (first == second ? 0 : 1)];
  State();
  Line("{\"event\":\"rotate\",\"kind\":\"" + kind + "\",\"node\":" + Num(a) +
       ",\"value\":" + Num(N(a).Data) + "}");
  const std::int32_t x = Kid(a, first), y = Kid(x, second), p = N(a).Parent;
  // The middle value goes on top, in a's place, level and kind.
  const std::int32_t top = first == second ? x : y;
  const std::int32_t formerX = N(x).Level;
  if (first == second) N(y).Level = formerX;
  Relink(p, a, top);
  if (first != second) {
    Kid(y, first) = x;
    N(x).Parent = y;
    Kid(x, second) = -1;
  }
  Kid(top, !first) = a;
  N(top).Parent = p;
  N(top).Level = N(a).Level;
  N(top).Kind = N(a).Kind;
  if (N(top).Kind == "Root") t_.Root = top;
  N(a).Parent = top;
  N(a).Level = formerX;
  Kid(a, first) = -1;
  UpdateHeights(a);
  UpdateHeights(first == second ? y : x);
}

// ---- The heavy-side fix-up --------------------------------------------------

// n's in-order neighbour on the heavy side takes n's place and n sinks to a
// leaf beside its neighbour on the other side. A removal passes `held`: the
// fix-up's Rebalance calls wait there until the parked n is cut off.
void Model::FixUp(std::int32_t n, bool right, std::vector<Held>* held) {
  const bool h = right;
  ++fixUps_;
  State();
  Line(std::string("{\"event\":\"fixup\",\"side\":\"") + (h ? "right" : "left") +
       "\",\"node\":" + Num(n) + ",\"value\":" + Num(N(n).Data) + "}");
  const std::int32_t s = Farthest(n, h), o = Farthest(n, !h);
  std::int32_t a = -1, b = -1, lifted = -1;
  const bool direct = s == Kid(n, h);
  // 1. Take s out: its child a moves up a level into its place under b.
  if (!direct) {
    a = Kid(s, h);
    b = N(s).Parent;
    Kid(b, !h) = a;
    if (a != -1) {
      N(a).Parent = b;
      LowerLevels(a);
    } else if (Kid(b, h) != -1) {
      // The lift step: b's child r takes b's place, b drops below its successor k.
      const std::int32_t k = Farthest(b, h), r = Kid(b, h);
      Kid(k, !h) = b;
      N(k).Kind = "Interior";
      N(r).Parent = N(b).Parent;
      N(r).Kind = N(b).Kind;
      Relink(N(b).Parent, b, r);
      N(b).Parent = k;
      Kid(b, h) = -1;
      N(b).Level = N(k).Level + 1;
      N(b).Kind = "Leaf";
      LowerLevels(r);
      UpdateHeights(b);
      UpdateHeights(r);
      lifted = b;
      if (held) held->push_back({b, true});
    }
  }
  // 2. s takes n's place.
  Relink(N(n).Parent, n, s);
  N(s).Parent = N(n).Parent;
  N(s).Kind = N(n).Kind;
  if (N(s).Kind == "Root") t_.Root = s;
  N(s).LeftHeight = N(n).LeftHeight;
  N(s).RightHeight = N(n).RightHeight;
  N(s).Level = N(n).Level;
  if (s != Kid(n, h)) {
    Kid(s, h) = Kid(n, h);
    if (Kid(s, h) != -1) N(Kid(s, h)).Parent = s;
  }
  // 3. n sinks to a leaf, after its other neighbour o (or under s).
  if (o != n) {
    Kid(s, !h) = Kid(n, !h);
    if (Kid(s, !h) != -1) N(Kid(s, !h)).Parent = s;
    Kid(o, h) = n;
    N(n).Parent = o;
    N(o).Kind = "Interior";
  } else {
    Kid(s, !h) = n;
    N(n).Parent = s;
  }
  N(n).Level = N(N(n).Parent).Level + 1;
  N(n).LeftChild = N(n).RightChild = -1;
  N(n).Kind = "Leaf";
  // 4. s's heavy subtree came up with it.
  if (direct) {
    UpdateHeights(Kid(s, h) == -1 ? s : Kid(s, h));
    LowerLevels(Kid(s, h));
  }
  // 5. Around n; only the right-heavy fix-up lets the walk run.
  if (held) {
    UpdateHeights(N(n).Parent);
    held->push_back({N(n).Parent, false});
  } else {
    UpdateHeights(n);
    Rebalance(n, !h);
  }
  // 6. Closing refreshes.
  if (a != -1) UpdateHeights(a);
  if (b != -1) UpdateHeights(b);
  UpdateHeights(t_.Root == t_.Count - 1 ? Kid(t_.Root, h) : t_.Count - 1);
  if (lifted != -1 && !held) {
    Rebalance(lifted, false);
    UpdateHeights(lifted);
  }
}

// ---- Search and removal -------------------------------------------------------

std::int32_t Model::Find(std::int16_t value) {
  std::int32_t i = t_.Root;
  while (i != -1 && N(i).Data != value) i = Kid(i, N(i).Data < value);
  return i;
}

void Model::Delete(std::int32_t k) {
  State();
  Line("{\"event\":\"erase\",\"value\":" + Num(N(k).Data) + ",\"node\":" + Num(k) + "}");
  Node& n = N(k);
  if (n.Kind == "Leaf") {
    const std::int32_t p = n.Parent;
    Kid(p, N(p).LeftChild != k) = -1;
    UpdateHeights(p);
    Rebalance(p, false);
  } else if (n.Kind == "Root" && n.LeftChild == -1 && n.RightChild == -1) {
    t_.Exists = false;
  } else if (n.LeftChild == -1 || n.RightChild == -1) {
    const std::int32_t c = n.LeftChild == -1 ? n.RightChild : n.LeftChild;
    Relink(n.Parent, k, c);
    N(c).Parent = n.Parent;
    LowerLevels(c);
    if (N(c).Parent == -1) t_.Root = c;
    UpdateHeights(c);
  } else {
    std::vector<Held> held;
    FixUp(k, !(n.LeftHeight > n.RightHeight), &held);
    const std::int32_t p = N(k).Parent;
    if (N(p).RightChild == k || N(p).LeftChild == k) {
      Kid(p, N(p).RightChild == k) = -1;
      UpdateHeights(p);
    }
    for (const Held& call : held) {
      Rebalance(call.node, true);
      if (call.refreshAfter) UpdateHeights(call.node);
    }
  }
  Renumber(k);
  // The shape check at slot 0: a right-leaning bare chain starting there.
  if (!t_.Exists) return;
  const Node& first = N(0);
  if (first.LeftChild != -1 || first.RightChild == -1) return;
  const Node& r = N(first.RightChild);
  if (r.LeftChild != -1 || r.RightChild == -1) return;
  const Node& g = N(r.RightChild);
  if (g.LeftChild == -1 && g.RightChild == -1) Rebalance(t_.Root, false);
}

// Slot k goes: links renumbered, kinds from the links, the gap closed, then
// childless nodes with stale heights refreshed.
void Model::Renumber(std::int32_t k) {
  for (std::int32_t i = 0; i < t_.Count; ++i) {
    Node& n = N(i);
    for (std::int32_t* link : {&n.LeftChild, &n.RightChild, &n.Parent})
      *link = *link == k ? -1 : *link > k ? *link - 1 : *link;
    if (i != k && n.Parent == -1) {
      n.Kind = "Root";
      t_.Root = i < k ? i : i - 1;
    } else {
      n.Kind = n.LeftChild == -1 && n.RightChild == -1 ? "Leaf" : "Interior";
    }
  }
  t_.Nodes.erase(t_.Nodes.begin() + k);
  if (t_.Nodes.empty()) t_.Nodes.emplace_back();
  --t_.Count;
  for (std::int32_t i = 0; i < t_.Count; ++i)
    if (N(i).LeftChild == -1 && N(i).RightChild == -1 &&
        (N(i).LeftHeight != 0 || N(i).RightHeight != 0))
      UpdateHeights(i);
}

// ---- What --compare reads off the tree -----------------------------------------

std::vector<std::int16_t> Model::Preorder() const {
  std::vector<std::int16_t> out;
  const auto walk = [&](const auto& self, std::int32_t i) -> void {
    if (i == -1) return;
    const Node& n = t_.Nodes[static_cast<std::size_t>(i)];
    out.push_back(n.Data);
    self(self, n.LeftChild);
    self(self, n.RightChild);
  };
  if (t_.Exists) walk(walk, t_.Root);
  return out;
}

int Model::Levels() const {
  const auto depth = [&](const auto& self, std::int32_t i) -> int {
    if (i == -1) return 0;
    const Node& n = t_.Nodes[static_cast<std::size_t>(i)];
    return 1 + std::max(self(self, n.LeftChild), self(self, n.RightChild));
  };
  return t_.Exists ? depth(depth, t_.Root) : 0;
}

}  // namespace SchemeModel
