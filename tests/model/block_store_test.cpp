// The integer stores: words appended across many growths stay in order, and emptying gives a
// store that takes words again.
#include <gtest/gtest.h>

#include "model/block_store.h"

namespace {

TEST(BlockStore, KeepsEveryWordInOrderAcrossItsGrowths) {
  BlockStore store;
  std::vector<int32_t> expected;
  EXPECT_TRUE(store.empty());
  store.Append({});
  EXPECT_TRUE(store.empty());
  // Blocks of uneven sizes, from one word to more than the first capacity at once.
  for (int32_t block = 0; block < 400; ++block) {
    std::vector<int32_t> words(static_cast<size_t>(1 + (block * 37) % 3000));
    for (size_t i = 0; i < words.size(); ++i) words[i] = block * 100000 + static_cast<int32_t>(i);
    const size_t before = store.size();
    store.Append(words);
    expected.insert(expected.end(), words.begin(), words.end());
    ASSERT_EQ(before + words.size(), store.size());
  }
  EXPECT_TRUE(store == expected);
  EXPECT_EQ(expected.back(), store[store.size() - 1]);
  EXPECT_EQ(std::vector<int32_t>(store.begin(), store.end()), expected);
  expected.back() += 1;
  EXPECT_FALSE(store == expected);
}

TEST(BlockStore, ReleasedStoreIsEmptyAndTakesWordsAgain) {
  BlockStore store;
  store.Append(std::vector<int32_t>(5000, 7));
  store.Release();
  EXPECT_TRUE(store.empty());
  EXPECT_EQ(nullptr, store.data());
  store.Append({1, 2, 3});
  EXPECT_TRUE(store == (std::vector<int32_t>{1, 2, 3}));
}

}  // namespace
