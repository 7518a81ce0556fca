// A growing array of 32-bit words that never holds two copies of itself (see block_store.h).
#include "model/block_store.h"

#include <cstdlib>
#include <cstring>
#include <new>

BlockStore::~BlockStore() { std::free(words_); }

void BlockStore::Append(const std::vector<int32_t>& words) {
  if (words.empty()) return;
  const size_t limit = SIZE_MAX / sizeof(int32_t);
  if (words.size() > limit - size_) throw std::bad_alloc();
  const size_t needed = size_ + words.size();
  if (needed > capacity_) {
    size_t capacity = capacity_ < 1024 ? 1024 : capacity_;
    while (capacity < needed) capacity = capacity > limit / 2 ? limit : capacity * 2;
    void* grown = std::realloc(words_, capacity * sizeof(int32_t));
    if (!grown) throw std::bad_alloc();
    words_ = static_cast<int32_t*>(grown);
    capacity_ = capacity;
  }
  std::memcpy(words_ + size_, words.data(), words.size() * sizeof(int32_t));
  size_ = needed;
}

void BlockStore::Release() {
  std::free(words_);
  words_ = nullptr;
  size_ = capacity_ = 0;
}

bool operator==(const BlockStore& store, const std::vector<int32_t>& words) {
  return store.size() == words.size() &&
         (words.empty() || std::memcmp(store.data(), words.data(), words.size() * sizeof(int32_t)) == 0);
}
