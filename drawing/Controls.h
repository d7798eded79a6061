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
    items_[slot] = items_[0];
    items_[slot].Visible = false;
    loaded_[slot] = true;
    z_[slot] = ++front_;
  }

  void Unload(std::int16_t k) {
    if (k <= 0 || !IsLoaded(k)) {
      assert(!"Unload: element 0 or an element that does not exist");
      return;
    }
    const auto slot = static_cast<std::size_t>(k);
    loaded_[slot] = false;
    items_[slot] = T{};
    // Keep the storage tight once the tail is gone.
    while (items_.size() > 1 && !loaded_.back()) {
      items_.pop_back();
      loaded_.pop_back();
      z_.pop_back();
    }
  }

  bool IsLoaded(std::int16_t k) const {
    return k >= 0 && static_cast<std::size_t>(k) < loaded_.size() &&
           loaded_[static_cast<std::size_t>(k)];
  }

  T& operator[](std::int16_t k) {
    assert(IsLoaded(k));
    return items_[static_cast<std::size_t>(k)];
  }
  const T& operator[](std::int16_t k) const {
    assert(IsLoaded(k));
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

  // Stacking key: an element with a larger key is drawn over one with a smaller.
  std::int64_t ZKey(std::int16_t k) const { return z_[static_cast<std::size_t>(k)]; }

  // One past the highest loaded index.
  std::int16_t UpperBound() const { return static_cast<std::int16_t>(items_.size()); }

 private:
  std::vector<T> items_;
  std::vector<bool> loaded_;
  std::vector<std::int64_t> z_;
  std::int64_t front_ = 0;
  std::int64_t back_ = 0;
};

}  // namespace TreeCore
