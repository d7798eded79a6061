// A stack kept in fixed-size blocks rather than one growing array.
//
// The balancing loop nests millions of frames on a sorted list. A growing
// array copies itself into one twice its size each time it fills, so at the
// moment of the last copy the old and the new storage are both held: half as
// much again as the frames need, and more when the freed arrays cannot be
// reused. Blocks are never copied, a frame never moves (a reference to one
// stays good while frames are pushed above it), and the blocks go back one by
// one once the loop is done.
#pragma once

#include <cassert>
#include <cstddef>
#include <memory>
#include <utility>
#include <vector>

namespace TreeCore::Detail {

template <class T, std::size_t BlockBits = 12>
class BlockStack {
 public:
  static constexpr std::size_t BlockSize = std::size_t{1} << BlockBits;

  BlockStack() = default;
  // A stack moved from is left empty, not with a count of blocks it no
  // longer has.
  BlockStack(BlockStack&& other) noexcept
      : blocks_(std::move(other.blocks_)),
        size_(std::exchange(other.size_, 0)),
        top_(std::exchange(other.top_, nullptr)) {
    other.blocks_.clear();
  }
  BlockStack& operator=(BlockStack&& other) noexcept {
    if (this == &other) return *this;
    blocks_ = std::move(other.blocks_);
    size_ = std::exchange(other.size_, 0);
    top_ = std::exchange(other.top_, nullptr);
    other.blocks_.clear();
    return *this;
  }
  BlockStack(const BlockStack&) = delete;
  BlockStack& operator=(const BlockStack&) = delete;

  void push_back(const T& item) {
    if ((size_ & (BlockSize - 1)) == 0) {
      // The first item of a block: the next block, allocated if need be.
      if (size_ == blocks_.size() * BlockSize) blocks_.push_back(std::make_unique<T[]>(BlockSize));
      top_ = blocks_[size_ >> BlockBits].get();
    } else {
      ++top_;
    }
    *top_ = item;
    ++size_;
  }
  void pop_back() {
    assert(size_ > 0 && "pop_back on an empty stack");
    --size_;
    if ((size_ & (BlockSize - 1)) != 0)
      --top_;
    else
      // The last item of the block below, if there is one.
      top_ = size_ == 0 ? nullptr : &blocks_[(size_ >> BlockBits) - 1][BlockSize - 1];
  }

  T& operator[](std::size_t i) { return blocks_[i >> BlockBits][i & (BlockSize - 1)]; }
  const T& operator[](std::size_t i) const { return blocks_[i >> BlockBits][i & (BlockSize - 1)]; }
  // The top item without finding its block: the balancing loop reads it at
  // every step.
  T& back() {
    assert(size_ > 0 && "back on an empty stack");
    return *top_;
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  // Items the blocks held now can take without another allocation.
  std::size_t capacity() const { return blocks_.size() * BlockSize; }

  // Empties the stack and frees every block but the first, which is kept so
  // that short runs allocate nothing. The blocks go last to first, the
  // reverse of their allocation, so that the allocator can give the memory
  // back as it goes.
  void Release() {
    size_ = 0;
    top_ = nullptr;
    while (blocks_.size() > 1) blocks_.pop_back();
    // The table of blocks of a deep run is not kept either.
    if (blocks_.capacity() > 1) {
      std::vector<std::unique_ptr<T[]>> kept;
      if (!blocks_.empty()) kept.push_back(std::move(blocks_.front()));
      blocks_.swap(kept);
    }
  }

 private:
  std::vector<std::unique_ptr<T[]>> blocks_;
  std::size_t size_ = 0;
  T* top_ = nullptr;  // the top item; nullptr while empty
};

}  // namespace TreeCore::Detail
