// The cache's text store: slot classes, moves between them, and the limits
// of what a slot can hold.
#include <string>

#include <gtest/gtest.h>

#include "config/NyConfigStringStore.h"

using ny::config::ConfigStringStore;

TEST(ConfigStringStore, TextsTakeTheClassTheirLengthSelects) {
  ConfigStringStore store;
  std::string s59(59, 's'), m60(60, 'm'), m199(199, 'm'), l200(200, 'l'), l1033(1033, 'l');
  EXPECT_EQ(store.Add(s59.c_str(), 59), 0u);
  EXPECT_EQ(store.Add(m60.c_str(), 60), 0x10000000u);
  EXPECT_EQ(store.Add(m199.c_str(), 199), 0x10000001u);
  EXPECT_EQ(store.Add(l200.c_str(), 200), 0x20000000u);
  EXPECT_EQ(store.Add(l1033.c_str(), 1033), 0x20000001u);
  EXPECT_EQ(store.Add(std::string(1034, 'x').c_str(), 1034), ConfigStringStore::kInvalidId);
  EXPECT_EQ(store.Text(0x10000001u), m199);
  EXPECT_EQ(store.Text(0x20000001u), l1033);
  EXPECT_EQ(store.ShortCount(), 1u);
}

TEST(ConfigStringStore, AValueGrowsPastItsSlotAndShrinksBackInPlace) {
  ConfigStringStore store;
  uint32_t id = store.Add("ten bytes!", 10);
  std::string hundred(100, 'h');
  uint32_t grown = store.Replace(id, hundred.c_str(), hundred.size());
  EXPECT_EQ(grown, 0x10000000u);
  EXPECT_EQ(store.Text(grown), hundred);
  uint32_t shrunk = store.Replace(grown, "ten bytes?", 10);
  EXPECT_EQ(shrunk, grown);
  EXPECT_STREQ(store.Text(shrunk), "ten bytes?");
  EXPECT_EQ(store.ShortCount(), 1u);  // the short slot is not given back
  // A short text that grows within its class keeps its id and its neighbours.
  uint32_t small = store.Add("a", 1);
  uint32_t next = store.Add("next", 4);
  std::string fifty(50, 'f');
  EXPECT_EQ(store.Replace(small, fifty.c_str(), fifty.size()), small);
  EXPECT_EQ(store.Text(small), fifty);
  EXPECT_STREQ(store.Text(next), "next");
  EXPECT_EQ(store.ShortCount(), 3u);
  // A short text that grows long goes straight to a long slot.
  std::string big(500, 'b');
  EXPECT_EQ(store.Replace(id, big.c_str(), big.size()), 0x20000000u);
  EXPECT_EQ(store.Replace(0x20000000u, std::string(1034, 'x').c_str(), 1034), ConfigStringStore::kInvalidId);
  EXPECT_EQ(store.Text(0x20000000u), big);
}

TEST(ConfigStringStore, ManyBlocksKeepEveryTextAndClearStartsAfresh) {
  ConfigStringStore store;
  for (int i = 0; i < 2000; ++i) {
    std::string text = "text " + std::to_string(i);
    ASSERT_EQ(store.Add(text.c_str(), text.size()), static_cast<uint32_t>(i));
  }
  for (int i = 0; i < 2000; i += 97) EXPECT_EQ(store.Text(i), "text " + std::to_string(i));
  store.Clear();
  EXPECT_EQ(store.ShortCount(), 0u);
  EXPECT_EQ(store.Add("again", 5), 0u);
  EXPECT_STREQ(store.Text(0), "again");
}
