// A growing array of 32-bit words that never holds two copies of itself.
//
// The integer stores take every model's blocks one after another, so they reach hundreds of
// megabytes on a large data set. A std::vector moves to new storage each time it outgrows its
// old one, holding both while it copies: the peak then lands anywhere between 1.5 and 3 times
// the data, by where the data set's total falls against the growth steps. Here the storage
// grows through realloc, which the C library carries out for large blocks by remapping pages in
// place; capacity that nothing has been written to yet takes no memory.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

class BlockStore {
 public:
  BlockStore() = default;
  ~BlockStore();
  BlockStore(const BlockStore&) = delete;
  BlockStore& operator=(const BlockStore&) = delete;

  size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  const int32_t* data() const { return words_; }
  const int32_t* begin() const { return words_; }
  const int32_t* end() const { return words_ + size_; }
  int32_t operator[](size_t i) const { return words_[i]; }

  // Adds the words at the end; throws std::bad_alloc, leaving the store as it was, when there
  // is no memory for them.
  void Append(const std::vector<int32_t>& words);
  // Empties the store and gives its memory back.
  void Release();

 private:
  int32_t* words_ = nullptr;
  size_t size_ = 0;
  size_t capacity_ = 0;
};

bool operator==(const BlockStore& store, const std::vector<int32_t>& words);
