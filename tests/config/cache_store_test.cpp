// The cache's text store: slot classes, moves between them, and the limits
// of what a slot can hold.
#include <gtest/gtest.h>

#include <string>

#include "config/NyConfigStringStore.h"

using ny::config::ConfigStringStore;

// The length selects the class (short < 60, middle < 200, long to 1033); a
// short text outgrows its slot in place, a middle or long one moves and shrinks back.
TEST(ConfigStringStore, SlotClassesAndMoves) {
  ConfigStringStore store;
  const std::pair<size_t, uint32_t> adds[] = {{59, 0},
                                              {60, 0x10000000u},
                                              {199, 0x10000001u},
                                              {200, 0x20000000u},
                                              {1033, 0x20000001u},
                                              {1034, ConfigStringStore::kInvalidId}};
  for (const auto& [length, id] : adds) {
    std::string text(length, static_cast<char>('a' + length % 26));
    ASSERT_EQ(store.Add(text.c_str(), length), id) << length;
    if (id != ConfigStringStore::kInvalidId) EXPECT_EQ(store.Text(id), text) << length;
  }
  std::string hundred(100, 'h'), fifty(50, 'f'), big(500, 'b');
  uint32_t id = store.Add("ten bytes!", 10), grown = store.Replace(id, hundred.c_str(), hundred.size());
  EXPECT_EQ(grown, 0x10000002u);
  EXPECT_EQ(store.Text(grown), hundred);
  EXPECT_EQ(store.Replace(grown, "ten bytes?", 10), grown);
  EXPECT_STREQ(store.Text(grown), "ten bytes?");
  uint32_t small = store.Add("a", 1), next = store.Add("next", 4);
  EXPECT_EQ(store.Replace(small, fifty.c_str(), fifty.size()), small);
  EXPECT_EQ(store.Text(small) + std::string(store.Text(next)), fifty + "next");
  EXPECT_EQ(store.ShortCount(), 4u);  // a short slot is not given back
  EXPECT_EQ(store.Replace(id, big.c_str(), big.size()), 0x20000002u);
  EXPECT_EQ(store.Replace(0x20000002u, std::string(1034, 'x').c_str(), 1034), ConfigStringStore::kInvalidId);
  EXPECT_EQ(store.Text(0x20000002u), big);  // too long for any slot: the old text stays
}

// 2000 texts of 50 bytes fill more than one 64 KB chunk.
TEST(ConfigStringStore, ManyChunksKeepEveryTextAndClearStartsAfresh) {
  ConfigStringStore store;
  auto text = [](uint32_t i) { return std::to_string(i) + std::string(45, '.'); };
  for (uint32_t i = 0; i < 2000; ++i) ASSERT_EQ(store.Add(text(i).c_str(), text(i).size()), i);
  for (uint32_t i = 0; i < 2000; i += 97) EXPECT_EQ(store.Text(i), text(i));
  store.Clear();
  EXPECT_EQ(store.ShortCount(), 0u);
  EXPECT_EQ(store.Add("again", 5), 0u);
  EXPECT_STREQ(store.Text(0), "again");
}
