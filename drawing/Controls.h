// Lightweight drawing elements: plain records kept in control arrays whose
// element 0 is the design-time template. The window paints them; nothing here
// knows about any windowing toolkit.
#pragma once

#include <cassert>
#include <cstdint>
#include <string>
#include <vector>

namespace TreeCore {

struct Label {
  float Left = 0, Top = 0, Width = 0, Height = 0;
  std::string Caption;
  std::string ToolTipText;
  bool Visible = false;
};

struct Shape {
  float Left = 0, Top = 0, Width = 0, Height = 0;
  float BorderWidth = 1;
  bool Visible = false;
};

struct Line {
  float X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
  bool Visible = false;
};

// Misuse (loading an element twice, touching one that does not exist) asserts
// in debug builds and does nothing in release builds.
template <class T>
class ControlArray {
 public:
  explicit ControlArray(T templateElement) {
    items_.push_back(std::move(templateElement));
    loaded_.push_back(true);
    z_.push_back(0);
  }

  // Element k becomes an invisible copy of element 0, in front of the others.
  void Load(std::int16_t k) {
    if (k <= 0 || IsLoaded(k)) {
      assert(!"Load: element exists already");
      return;
    }
    const auto slot = static_cast<std::size_t>(k);
    if (slot >= items_.size()) {
      items_.resize(slot + 1);
      loaded_.resize(slot + 1, false);
      z_.resize(slot + 1, 0);
    }
    // Assigning over a record that an earlier Unload left behind reuses its
    // text buffers: redrawing a large tree then allocates next to nothing.
    items_[slot] = items_[0];
    items_[slot].Visible = false;
    loaded_[slot] = true;
    z_[slot] = ++front_;
    if (slot >= upper_) upper_ = slot + 1;
  }

  void Unload(std::int16_t k) {
    if (k <= 0 || !IsLoaded(k)) {
      assert(!"Unload: element 0 or an element that does not exist");
      return;
    }
    // The record stays as storage for the next Load of this index, which
    // overwrites all of it; nothing of it can be reached until then.
    loaded_[static_cast<std::size_t>(k)] = false;
    while (upper_ > 1 && !loaded_[upper_ - 1]) --upper_;
  }

  bool IsLoaded(std::int16_t k) const {
    return k >= 0 && static_cast<std::size_t>(k) < loaded_.size() &&
           loaded_[static_cast<std::size_t>(k)];
  }

  // A missing element yields a scratch record, so a stray write lands nowhere.
  T& operator[](std::int16_t k) {
    if (!IsLoaded(k)) {
      assert(!"operator[]: element does not exist");
      scratch_ = T{};
      return scratch_;
    }
    return items_[static_cast<std::size_t>(k)];
  }
  const T& operator[](std::int16_t k) const {
    if (!IsLoaded(k)) {
      assert(!"operator[]: element does not exist");
      return blank_;
    }
    return items_[static_cast<std::size_t>(k)];
  }

  // position 0 brings the element to the front of this array's drawing order;
  // any other position sends it to the back.
  void ZOrder(std::int16_t k, int position) {
    if (!IsLoaded(k)) {
      assert(!"ZOrder: element does not exist");
      return;
    }
    z_[static_cast<std::size_t>(k)] = position == 0 ? ++front_ : --back_;
  }

  // Stacking key: an element with a larger key is drawn over one with a
  // smaller. A missing element has key 0.
  std::int64_t ZKey(std::int16_t k) const {
    return IsLoaded(k) ? z_[static_cast<std::size_t>(k)] : 0;
  }

  // One past the highest loaded index. Wider than an index: element 32767 may
  // exist, and then the bound is 32768.
  std::int32_t UpperBound() const { return static_cast<std::int32_t>(upper_); }

 private:
  std::vector<T> items_;
  std::vector<bool> loaded_;
  std::vector<std::int64_t> z_;
  std::int64_t front_ = 0;
  std::int64_t back_ = 0;
  std::size_t upper_ = 1;
  T scratch_{};
  static inline const T blank_{};
};

// Calls f(element) for every loaded, visible element, in index order.
template <class T, class F>
void ForEachVisible(const ControlArray<T>& array, F&& f) {
  for (std::int32_t k = 0; k < array.UpperBound(); ++k) {
    const auto i = static_cast<std::int16_t>(k);
    if (array.IsLoaded(i) && array[i].Visible) f(array[i]);
  }
}

}  // namespace TreeCore
