// One file's keys as the cache loads them, line by line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/NyMultiByte.h"
#include "config/NyConfigKeyTable.h"

using namespace ny::config;

namespace {

struct Loaded {
  ConfigStringStore store;
  ConfigKeyTable table;
  std::vector<bool> kept;

  explicit Loaded(const std::vector<std::string>& lines) {
    LoadScratch scratch;
    for (const std::string& line : lines) kept.push_back(table.LoadLine(store, line.c_str(), scratch));
  }
  // The value found for the pair, or "(none)".
  std::string Find(const char* section, const char* key) {
    std::string s, k;
    ny::mb::FoldCase(section, s);
    ny::mb::FoldCase(key, k);
    const ConfigKeyIndex::Entry* entry = table.FindKey(store, s, k);
    return entry ? store.TextAt(entry->value) : "(none)";
  }
};

}  // namespace

TEST(ConfigKeyTable, FirstKeyInFileOrderAcrossSectionsOfOneName) {
  Loaded file(
      {"Orphan=0", "[Main]", "Size=1", "size=2", "[Other]", "Size=3", "[MAIN]", "Size=4", "Late=5", "junk"});
  EXPECT_EQ(file.Find("main", "SIZE"), "1");
  EXPECT_EQ(file.Find("Main", "Late"), "5");  // a later section of the name still answers
  EXPECT_EQ(file.Find("Other", "size"), "3");
  EXPECT_EQ(file.Find("Main", "Orphan"), "(none)");  // before any header: not kept
  EXPECT_EQ(file.table.m_sectionsByName["main"].size(), 2u);
  EXPECT_EQ(file.kept, std::vector<bool>(10, true));
}

TEST(ConfigKeyTable, TextsTooLongToKeepAreReported) {
  const std::string longHeader = "[" + std::string(1100, 'h') + "]";
  const std::string longKey = std::string(1200, 'k') + "=1";
  Loaded file({"[Main]", longKey, "Ok=1", longHeader, "Apart=2"});
  EXPECT_EQ(file.kept, (std::vector<bool>{true, false, true, false, true}));
  EXPECT_EQ(file.Find("Main", "Ok"), "1");
  // The keys under a cut header are kept apart from every name.
  EXPECT_EQ(file.Find(longHeader.substr(1, longHeader.size() - 2).c_str(), "Apart"), "(none)");
  EXPECT_EQ(file.table.m_sections.size(), 2u);
}
